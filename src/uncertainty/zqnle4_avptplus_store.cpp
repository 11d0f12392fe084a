// The avPT+ store's filling: each solved point with its uncertainties
// appended as one record of JXCALC, the last step but one of the
// uncertainty propagation when the avPT+ switch is on.
#include <cmath>

#include "frame/bytes.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal_avptplus.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_solver.h"
#include "frame/zqglobal_uncertainty.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"
#include "uncertainty/zqnle4_calcsd.h"

namespace ZQNLE4 {

using namespace ZQGLOBAL;

namespace {

constexpr extended nosd = 1e-10L;  // an sd below this correlates with nothing

// The first unknown named name, 0 when none is.
smallint unknownnamed(const sstring& name) {
  for (smallint i = 1; i <= NX; ++i)
    if (XNAME[i] == name) return i;
  return 0;
}

// The rock's variable names, mineral by mineral, each matched to an unknown.
void collectnames() {
  smallint n = 0;
  for (long m = 1; m <= NMIN; ++m)
    for (long v = 1; v <= MINERAL[m].nxyz; ++v) {
      if (n == maxjxxyz) IO::ERROREXIT("accumulate", "too many xyznames", yourfault);
      const sstring& name = MINERAL[m].xyzname[v];
      const smallint at = unknownnamed(name);
      if (at == 0) {
        IO::WRITETERMINAL(name + " not found\n");
        IO::ERROREXIT("accumulate", "xyz does not match 1", yourfault);
      }
      JXXYZNAME[++n] = XNAME[at];
    }
  NJXXYZ = n;
  IO::WRITETERMINAL("progress - equilibria calcs: ");
}

}  // namespace

// The point at the propagation's n result positions, with their
// covariance COVX, appended to the store.
void calcsdstate::ACCUMULATE() {
  IO::INTERNALCHECK(JXCALC != nullptr, "accumulate", "the store of calculations was never made");
  ++NJX;
  if (NJX > maxjx) {
    IO::WRITETERMINAL("\n\nmade it to T = " + FIXEDW(X[2] - CONST::KELVIN, 6, 1) + macroman::degree_s +
                      "C and P = " + FIXEDW(X[1], 6, 2) + " kbar, with " + RIGHTW(IO::INT2STR(NJX - 1), 3) +
                      "calcs\n");
    IO::ERROREXIT("calcsd", "too many calcs", yourfault);
  }
  if (NJX == 1) collectnames();
  farray<smallint, 1, maxjxxyz> idx{"accumulate idx"};
  for (long i = 1; i <= NJXXYZ; ++i) {
    idx[i] = unknownnamed(JXXYZNAME[i]);
    if (idx[i] == 0) IO::ERROREXIT("accumulate", "xyz does not match 2", yourfault);
    IO::INTERNALCHECK(idx[i] <= n, "accumulate", "a variable beyond the result positions");
  }
  auto cor = [&](long a, long b) -> extended {
    if (std::fabs(SDX[a]) < nosd || std::fabs(SDX[b]) < nosd) return 0;
    return COVX(a, b) / (SDX[a] * SDX[b]);
  };
  const smallint fluid = unknownnamed("x(fluid)");
  jxcalctype& r = (*JXCALC)[NJX];
  r.p = X[1];
  r.t = X[2] - CONST::KELVIN;
  r.xfluid = fluid > 0 ? X[fluid] : 0;
  for (long i = 1; i <= NJXXYZ; ++i) {
    r.xyz[i] = X[idx[i]];
    r.sdxyz[i] = SDX[idx[i]];
  }
  smallint k = 0;
  for (long i = 2; i <= NJXXYZ; ++i)
    for (long j = 1; j < i; ++j) r.cor[++k] = cor(idx[i], idx[j]);
  NCOR = k;
}

}  // namespace ZQNLE4
