// The printers' share of the calc-mode-1 state and its defaults.
#include "frame/zqglobal_results.h"

namespace ZQGLOBAL {

// Defaults: RESETRESULTS below.
smallint OVARIANCE, XPRECISION;
farray<bool, 1, maxphases> PINEX0{"PINEX0"};
smallint NPINEX0, EXBFLUIDPOS;
extended PROP1, PROP2, PROPK;
smallint PXCO2;
bool XCO2SET, DOINGFRACT;
smallint IFRACT, IOUT, NGI;
eqvector SDX{"SDX"}, SDXH{"SDXH"}, SDXW{"SDXW"}, SDXBP{"SDXBP"};

void RESETRESULTS() {
  OVARIANCE = 0;
  XPRECISION = 4;
  PINEX0.fill(false);
  NPINEX0 = 0;
  EXBFLUIDPOS = 0;
  PROP1 = 0;
  PROP2 = 0;
  PROPK = 0;
  PXCO2 = 0;
  XCO2SET = false;
  DOINGFRACT = false;
  IFRACT = 0;
  IOUT = 0;
  NGI = 0;
  SDX.fill(0);
  SDXH.fill(0);
  SDXW.fill(0);
  SDXBP.fill(0);
}

}  // namespace ZQGLOBAL
