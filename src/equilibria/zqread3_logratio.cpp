// The bulk in log-ratio form: the denominator component, and the log-ratios
// of one bulk with their covariance from the analytical error model.
#include <cmath>
#include <string>

#include "equilibria/zqread3.h"
#include "frame/io.h"
#include "frame/zqglobal.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

namespace {

// Whether name is an oxide of the element/oxide table.
bool isoxide(const sstring& name) {
  for (long k = 1; k <= maxcomp; ++k)
    if (OXNAME[k] == name) return true;
  return false;
}

}  // namespace

void FINDKBPDEN() {
  // A fluid's H2O and CO2 come first, and are the ones a buffer fixes: the
  // denominator is looked for after them.
  smallint s = 0;
  if (NUV >= 2 && COMPNAME[1] == "H2O" && COMPNAME[2] == "CO2")
    s = 2;
  else if (NUV >= 1 && (COMPNAME[1] == "H2O" || COMPNAME[1] == "CO2"))
    s = 1;
  while (s < NUV) {
    ++s;
    if (BCOMPS[s]) break;
  }
  if (s < 1) s = 1;
  KBPDEN = s;
  if (!isoxide(COMPNAME[s])) IO::ERROREXIT("find kbpden", COMPNAME[s] + " not found", yourfault);
}

smallint KBPDENFREE() {
  smallint k = 0;
  for (long j = 1; j <= KBPDEN && j <= NUV; ++j)
    if (BCOMPS[j]) ++k;
  return k;
}

}  // namespace ZQREAD3
