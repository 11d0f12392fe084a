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
