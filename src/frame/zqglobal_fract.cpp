// The carried bulk of a fractionation run, with its reset.
#include "frame/zqglobal_fract.h"

namespace ZQGLOBAL {

// Defaults: RESETFRACT below.
cvector COMPU{"COMPU"};
cvector COMPFU{"COMPFU"};

void RESETFRACT() {
  COMPU.fill(0);
  COMPFU.fill(0);
}

}  // namespace ZQGLOBAL
