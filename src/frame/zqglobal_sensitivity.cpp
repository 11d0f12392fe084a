// The sensitivities of the last converged solve (the Jacobian and its
// inverse), with their reset.
#include "frame/zqglobal_sensitivity.h"

namespace ZQGLOBAL {

// Defaults: RESETSENSITIVITY below.
eqmatrix DEQDX{"DEQDX"};
eqmatrix INVDEQDX{"INVDEQDX"};
smallint KMPDEN;

void RESETSENSITIVITY() {
  DEQDX.fill(0);
  INVDEQDX.fill(0);
  KMPDEN = 0;
}

}  // namespace ZQGLOBAL
