// Stands in for the report of the uncertainty settings until the
// uncertainty propagation lands; no script raises the level that calls it.
#include "uncertainty/zqnle4.h"

namespace ZQNLE4 {

void PRINTUNCINFO() {}

}  // namespace ZQNLE4
