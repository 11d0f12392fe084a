// ln K of every reaction of the set, and the variance of ln a.
#include <cmath>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc2.h"

using namespace ZQGLOBAL;

namespace ZQCALC2 {

void CALCLNK() {
  for (long i = 1; i <= NR; ++i) {
    extended lnK = 0;
    for (long j = 1; j <= NCV; ++j) {
      const smallint nu = (*R)(i, j);
      if (nu == 0) continue;
      // The logarithm of a non-positive activity would poison every later
      // position of the reaction.
      if (ACTIVITY[j] <= 0) IO::ERROREXIT("calclnk", "ln<=0", myfault);
      lnK = lnK + nu * std::log(ACTIVITY[j]);
    }
    ALNK[i] = lnK;
  }
}

void CALCVARLNA() {
  for (long j = 1; j <= NCV; ++j) VARLNA[j] = 0;
  if (CALCMODE == calcmodetype::nlecalc) return;
  for (long j = 1; j <= NCV; ++j)
    if (ACTIVITY[j] > 0 && ACTIVITY[j] < 1) {
      const extended r = SDACTIVITY[j] / ACTIVITY[j];
      VARLNA[j] = r * r;
    }
}

}  // namespace ZQCALC2
