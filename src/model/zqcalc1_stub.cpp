#include "frame/io.h"
#include "model/zqcalc1.h"

namespace ZQCALC1 {

// These stand in until the end-member thermodynamics land: only the count
// of evaluations is kept.
void GEM(smallint, extended, extended, extended& G) {
  G = 0;
  ++IO::NGEM;
}

void GEMDRIVER(smallint i, extended P, extended T, extended& G) { GEM(i, P, T, G); }

extended EI(extended) { return 0; }
extended DELEI(extended, extended) { return 0; }
extended POW(extended x, smallint n) {
  extended r = 1;
  for (smallint k = 1; k <= n; ++k) r = r * x;
  return r;
}

}  // namespace ZQCALC1
