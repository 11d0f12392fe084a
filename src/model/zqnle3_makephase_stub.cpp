// Stand-in for the composition of a solution phase until it is built: every
// component 0.
#include "model/zqnle3.h"

namespace ZQNLE3 {

void MAKEPHASE(smallint, cvector& comp) {
  for (long c = 1; c <= ZQGLOBAL::NUV; ++c) comp[c] = 0;
}

}  // namespace ZQNLE3
