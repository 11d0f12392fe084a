// Stands in for the run loop until it lands: an equilibrium handed to it is
// not calculated.
#include "equilibria/zqnle2.h"

namespace ZQNLE2 {

void SOLVE(const bemvector& /*PH*/) {}

}  // namespace ZQNLE2
