// The dialogue that keeps or replaces the fixed x(CO2) or the x(CO2)
// window of a calculation between runs.
#include <string>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;

namespace ZQNLE4 {

void DOXCO2() {
  if (NLX != 1) return;
  IO::PUTSTR(1, "x(CO2) was " + IO::REAL2STR(LISO(1, 1), 3, true), 1, CHANNEL::TERMLOG);
  if (IO::QUERY("keep using this value")) return;
  extended x = 0;
  IO::PROMPTREAL("new fixed x(CO2)", x);
  LISO(1, 1) = x;
  LXCO2[1] = x;
}

void DOXCO2RANGE() {
  IO::PUTSTR(1,
             "x(CO2) low,high was " + IO::REAL2STR(XCO2LOW, 4, true) + " and " + IO::REAL2STR(XCO2HIGH, 4, true),
             1, CHANNEL::TERMLOG);
  if (IO::QUERY("keep using these values")) return;
  IO::rrvector v{"doxco2range v"};
  smallint n = 2;
  IO::PROMPTREALS("x(CO2) low,high", v, n);
  XCO2LOW = v[1];
  XCO2HIGH = v[2];
  ZQUTE1::XCO2OK(XCO2LOW, XCO2HIGH, xOKtype::mustbedifferent);
  ZQUTE1::LISTXCO2();
  NLISO[1] = NLX;
  for (long k = 1; k <= NLX; ++k) LISO(1, k) = LXCO2[k];
}

}  // namespace ZQNLE4
