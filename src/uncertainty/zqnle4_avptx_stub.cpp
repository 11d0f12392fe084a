// Stands in for the avPT+ nominal solve, its report, the diagnostics and
// the Monte Carlo limits until they land: the driver returns after its fits.
#include "uncertainty/zqnle4_avptplus.h"

namespace ZQNLE4 {

void avptplusstate::NOMINALANDLIMITS() {}

}  // namespace ZQNLE4
