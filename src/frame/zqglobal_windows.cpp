// The P-T, x(CO2), ln a and mu windows and value lists, the fixed variables
// and the P-T set-up, with their reset.
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_reset.h"

namespace ZQGLOBAL {

static_assert(maxlistrows == maxlna, "one list row per ln a or mu variable");

// Defaults: RESETWINDOWS below; the diagram window (FIG*, CTINC, CPINC) is
// a script setting, reset with the script.
extended TLOW, THIGH, PLOW, PHIGH;
extended XCO2LOW, XCO2HIGH, LNALOW, LNAHIGH, MULOW, MUHIGH;
extended FIGPLOW, FIGPHIGH, FIGTLOW, FIGTHIGH;
extended CTINC, CPINC;

listvector LP{"LP"}, LT{"LT"}, LXCO2{"LXCO2"}, LXH2O{"LXH2O"};
smallint NLP, NLT, NLX;
listmatrix LLNA{"LLNA"}, LMU{"LMU"};

fixtype FIX;
calcvariabletype CALCVARIABLE;
othervariabletype OTHERVARIABLE;
extended FIXEDP, FIXEDT;

farray<extended, 1, maxlistrows> KEEPLNAS{"KEEPLNAS"};
farray<smallint, 1, maxlistrows> LNAROW{"LNAROW"};
farray<extended, 1, maxlistrows> LNATERM{"LNATERM"};
farray<bool, 1, maxphases> PINEX{"PINEX"}, PMBP{"PMBP"};
smallint NPINEX, NPMBP;

void RESETWINDOWS() {
  TLOW = CONST::TFLOOR;
  THIGH = CONST::TCEILING;
  PLOW = CONST::PFLOOR;
  PHIGH = CONST::PCEILING;
  XCO2LOW = XCO2HIGH = LNALOW = LNAHIGH = MULOW = MUHIGH = 0;
  NLP = NLT = NLX = 0;
  FIX = fixtype::fixnone;
  CALCVARIABLE = calcvariabletype::calcpressure;
  OTHERVARIABLE = othervariabletype::fixedtemperature;
  FIXEDP = FIXEDT = 0;
  KEEPLNAS.fill(0);
  RESETLNAROWS();
  PINEX.fill(false);
  PMBP.fill(false);
  NPINEX = NPMBP = 0;
}

void RESETLNAROWS() {
  LNAROW.fill(0);
  LNATERM.fill(0);
}

void CARRYLNA(smallint j, smallint row, extended term) {
  (*TD)(row, TDSLOT::S) = KEEPLNAS[j] - term;
  LNAROW[j] = row;
  LNATERM[j] = term;
}

}  // namespace ZQGLOBAL
