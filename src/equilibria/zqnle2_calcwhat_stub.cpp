// Stands in for the enumeration of the equilibria of a pass until it lands:
// a pass sets everything up and calculates nothing.
#include "equilibria/zqnle2.h"

namespace ZQNLE2 {

void CALCWHAT() {}

}  // namespace ZQNLE2
