// Stand-ins for the report of the uncertainty settings, the uncertainty
// propagation of a point and the avPT+ estimate until they land; no script
// raises the level or sets the switch that calls them.
#include "uncertainty/zqnle4.h"

namespace ZQNLE4 {

void PRINTUNCINFO() {}
// Stand-ins until the uncertainty propagation and avPT+ land: no point gets sds, no estimate is made.
void CALCSD(const bemvector&) {}
void AVPTPLUSDRIVER() {}

}  // namespace ZQNLE4
