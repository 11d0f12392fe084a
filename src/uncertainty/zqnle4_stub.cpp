// Stands in for the avPT+ estimate until it lands; no script sets the
// switch that calls it.
#include "uncertainty/zqnle4.h"

namespace ZQNLE4 {

void AVPTPLUSDRIVER() {}

}  // namespace ZQNLE4
