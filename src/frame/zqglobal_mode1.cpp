// The calc-mode-1 set-up's shared state and its defaults.
#include "frame/zqglobal_mode1.h"

#include "frame/constants.h"
#include "frame/zqglobal_reset.h"

namespace ZQGLOBAL {

// Defaults: RESETMODE1 below.
smallint OVARIANCE, NMODEISO, NXYZISO, FLUIDPOS, EXBFLUIDPOS;
isolists LISO{"LISO"};
farray<smallint, 1, maxiso> NLISO{"NLISO"};
extended PROPK;
extended TYPP, TYPT;
smallint XPRECISION;
farray<bool, 1, maxphases> PINEX0{"PINEX0"};
smallint NPINEX0;
bool NONUNITA;
smallint LOWESTCOPYSLOT;
farray<gminrec, 1, maxgmin> GMININFO{"GMININFO"};
smallint NGMIN, NONEDOG, NGI, NGIOK;

void RESETMODE1() {
  OVARIANCE = 0;
  NMODEISO = NXYZISO = 0;
  LISO.fill(0);
  NLISO.fill(0);
  FLUIDPOS = EXBFLUIDPOS = 0;
  PROPK = 0;
  // The same widest windows as the default scaling of P and T.
  TYPP = 0.01L / (CONST::PCEILING - CONST::PFLOOR);
  TYPT = 0.1L / (CONST::TCEILING - CONST::TFLOOR);
  XPRECISION = 4;
  PINEX0.fill(false);
  NPINEX0 = 0;
  NONUNITA = false;
  LOWESTCOPYSLOT = maxem + 1;
  for (long k = 1; k <= maxgmin; ++k) GMININFO[k] = gminrec{};
  NGMIN = NONEDOG = NGI = NGIOK = 0;
}

}  // namespace ZQGLOBAL
