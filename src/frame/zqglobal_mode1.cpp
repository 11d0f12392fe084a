// The calc-mode-1 set-up's shared state and its defaults.
#include "frame/zqglobal_mode1.h"

#include "frame/constants.h"
#include "frame/zqglobal_reset.h"

namespace ZQGLOBAL {

// Defaults: RESETMODE1 below.
smallint NMODEISO, NXYZISO, FLUIDPOS;
isolistmatrix LISO{"LISO"};
farray<smallint, 1, maxisolists> NLISO{"NLISO"};
extended TYPP, TYPT;
bool NONUNITA;
smallint LOWESTCOPYSLOT;
farray<gminrec, 1, maxgmin> GMININFO{"GMININFO"};
smallint NGMIN, NONEDOG, NGIOK;

void RESETMODE1() {
  NMODEISO = NXYZISO = 0;
  LISO.fill(0);
  NLISO.fill(0);
  FLUIDPOS = 0;
  // The same widest windows as the default scaling of P and T.
  TYPP = 0.01L / (CONST::PCEILING - CONST::PFLOOR);
  TYPT = 0.1L / (CONST::TCEILING - CONST::TFLOOR);
  NONUNITA = false;
  LOWESTCOPYSLOT = maxem + 1;
  for (long k = 1; k <= maxgmin; ++k) GMININFO[k] = gminrec{};
  NGMIN = NONEDOG = NGIOK = 0;
}

}  // namespace ZQGLOBAL
