// The calc-mode-1 set-up's shared state and its defaults.
#include "frame/zqglobal_mode1.h"

#include "frame/zqglobal_reset.h"

namespace ZQGLOBAL {

// Defaults: RESETMODE1 below.
isolistmatrix LISO{"LISO"};
farray<smallint, 1, maxisolists> NLISO{"NLISO"};

void RESETMODE1() {
  LISO.fill(0);
  NLISO.fill(0);
}

}  // namespace ZQGLOBAL
