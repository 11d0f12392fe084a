// Stand-ins for the details-file blocks until they are built: nothing is
// written.
#include "equilibria/zqnle1.h"

namespace ZQNLE1 {

void PRINTIC() {}

void PRINTICOMBRY() {}

}  // namespace ZQNLE1
