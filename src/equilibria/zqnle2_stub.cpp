#include "zqnle2.h"

namespace ZQNLE2 {

// Stands in until the phase-equilibrium driver lands: an empty pass.
void NLECALCS() {}

}  // namespace ZQNLE2
