#include "frame/zqglobal_sensitivity.h"

namespace ZQGLOBAL {

eqmatrix DEQDX{"DEQDX"};
eqmatrix INVDEQDX{"INVDEQDX"};
smallint KMPDEN = 0;

void RESETSENSITIVITY() {
  DEQDX.fill(0);
  INVDEQDX.fill(0);
  KMPDEN = 0;
}

namespace {
const bool sensitivitydefaults = (RESETSENSITIVITY(), true);
}  // namespace

}  // namespace ZQGLOBAL
