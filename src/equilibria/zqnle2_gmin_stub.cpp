// Stands in for the Gibbs-energy minimisation report until it lands: a
// dogmin run ends without it.
#include "equilibria/zqnle2.h"

namespace ZQNLE2 {

void PRINTGMIN() {}

}  // namespace ZQNLE2
