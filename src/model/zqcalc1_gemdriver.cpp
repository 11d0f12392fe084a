// The Gibbs energy of any end-member in use: a data-set row directly, a made
// end-member as its DQF correction plus its recipe over data-set rows.
#include <cmath>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc1.h"

namespace ZQCALC1 {

void GEMDRIVER(smallint i, extended P, extended T, extended& G) {
  using namespace ZQGLOBAL;
  const tdmatrix& td = *TD;
  // Most rows are no made end-member: a zero slot needs no rounding.
  const extended slot = td(i, TDSLOT::MAKEEM);
  const extended e = slot == 0 ? 0 : std::nearbyint(slot);
  if (e == 0) {
    GEM(i, P, T, G);
    return;
  }
  if (WITHOLDSET) IO::ERROREXIT("gemdriver", "depem code for oldset??", yourfault);
  const extended ph = std::nearbyint(td(i, TDSLOT::MAKEPHASE));
  // Out-of-range numbers meet the tables' own index checks; only keep the
  // conversion itself defined.
  auto index = [](extended x) { return std::fabs(x) < 1e9L ? static_cast<long>(x) : 0L; };

  G = td(i, TDSLOT::H) - T * td(i, TDSLOT::S) + P * td(i, TDSLOT::V);
  smallint n, divisor;
  const makeitype* coef;
  const makeitype* pos;
  if (ph > 0) {
    const emtype& em = (*PREC1)[index(ph)].em[index(e)];
    n = em.nmake;
    divisor = em.makediv;
    coef = &em.makecoef;
    pos = &em.makepos;
  } else {
    const ptype0& p = (*PREC0)[index(e)];
    n = p.nmake;
    divisor = p.makediv;
    coef = &p.makecoef;
    pos = &p.makepos;
  }
  for (smallint k = 1; k <= n; ++k) {
    extended gk = 0;
    GEM((*pos)[k], P, T, gk);
    G = G + (*coef)[k] * gk / divisor;
  }
}

}  // namespace ZQCALC1
