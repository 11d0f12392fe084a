// Stand-ins for the result conversions until they are built: each leaves
// its outputs at zero and prints nothing. The report of the uncertainty
// settings stands in too; no script raises the level that calls it.
#include "uncertainty/zqnle4.h"

namespace ZQNLE4 {

void CONV2WT(const bemvector&, emvector&) {}

extended DOCALCAH2O(const bemvector&, extended, extended) { return 0; }

extended DOCALCMUO(const bemvector&, extended, extended) { return 0; }

void DOCALCMU(const bemvector&, extended, extended) {
  for (long j = 1; j <= ZQGLOBAL::NUV; ++j) ZQGLOBAL::MUCALCS(1, j) = 0;
}

void CALCFLUIDCOMP(const bemvector&, extended, extended, extended& co2, extended& h2o) {
  co2 = 0;
  h2o = 0;
}

void PRINTUNCINFO() {}

}  // namespace ZQNLE4
