// The kind of phase-diagram section a calc-mode-3 pass draws.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQUTE1 {

void WHICHDIAGRAMTYPE() {
  if (CALCMODE != calcmodetype::phasecalc) {
    DIAGRAMMODE = diagramtype::ptcalc;
    return;
  }
  smallint code = CONTROLJX.calctypecode;
  if (code < 1 || code > 5) {
    IO::PUTSTR(1, "code for type of phase diagram :", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "        1 : pressure-temperature", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "        2 : temperature-x(CO2)", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "        3 : pressure-x(CO2)", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "        4 : temperature-log a", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "        5 : pressure-log a", 1, CHANNEL::TERMLOG);
    IO::PROMPTINTEGER("code", code);
  }
  // The chemical-potential sections (6 and 7) are not offered.
  if (code < 1 || code > 5) code = 1;
  switch (code) {
    case 2: DIAGRAMMODE = diagramtype::txcalc; break;
    case 3: DIAGRAMMODE = diagramtype::pxcalc; break;
    case 4: DIAGRAMMODE = diagramtype::tlnacalc; break;
    case 5: DIAGRAMMODE = diagramtype::plnacalc; break;
    default: DIAGRAMMODE = diagramtype::ptcalc; break;
  }
  if (code == 2 || code == 3) {
    FLUIDTYPE = ftype::ih2oco2;
    CONTROLJX.fluidpresent = yes;
  }
}

}  // namespace ZQUTE1
