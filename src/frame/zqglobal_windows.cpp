#include "frame/constants.h"
#include "frame/zqglobal.h"

namespace ZQGLOBAL {

static_assert(maxlistrows == maxlna, "one list row per ln a or mu variable");

extended TLOW = CONST::TFLOOR, THIGH = CONST::TCEILING, PLOW = CONST::PFLOOR, PHIGH = CONST::PCEILING;
extended XCO2LOW = 0, XCO2HIGH = 0, LNALOW = 0, LNAHIGH = 0, MULOW = 0, MUHIGH = 0;
extended FIGPLOW = CONST::PFLOOR, FIGPHIGH = CONST::PCEILING, FIGTLOW = CONST::TFLOOR, FIGTHIGH = CONST::TCEILING;
extended CTINC = 0, CPINC = 0;

listvector LP{"LP"}, LT{"LT"}, LXCO2{"LXCO2"}, LXH2O{"LXH2O"};
smallint NLP = 0, NLT = 0, NLX = 0;
listmatrix LLNA{"LLNA"}, LMU{"LMU"};

fixtype FIX = fixtype::fixnone;
calcvariabletype CALCVARIABLE = calcvariabletype::calcpressure;
othervariabletype OTHERVARIABLE = othervariabletype::fixedtemperature;
extended FIXEDP = 0, FIXEDT = 0;

farray<extended, 1, maxlistrows> KEEPLNAS{"KEEPLNAS"};
farray<bool, 1, maxphases> PINEX{"PINEX"}, PMBP{"PMBP"};
smallint NPINEX = 0, NPMBP = 0;

}  // namespace ZQGLOBAL
