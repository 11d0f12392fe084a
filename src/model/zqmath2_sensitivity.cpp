// The inverse Jacobian of a converged solve in the coordinates in which the
// data uncertainties are stated: the bulk as log ratios over a denominator
// component, the modes as log ratios over a denominator mode.
#include <cmath>
#include <memory>
#include <string>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_bulk.h"
#include "frame/zqglobal_numerics.h"
#include "frame/zqglobal_sensitivity.h"
#include "frame/zqmath1.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"
#include "model/zqmath2.h"
#include "model/zqmath2_run.h"

using namespace ZQGLOBAL;

namespace ZQMATH2 {

namespace {

constexpr extended smallmode = 1e-8L;     // a mode below this cannot be the denominator
constexpr smallint tracewidth = 11;       // field of the b and m traces
constexpr smallint traceplaces = 5;

using bulkratiomatrix = fmatrix<extended, 1, maxcomp, 1, maxcomp>;

// Work of MAKEDEQDX, made once: the staging copy alone is 130 kB.
struct deqdxwork {
  eqmatrix t{"deqdx staging"};
  bulkratiomatrix b{"deqdx b"};   // db'/db: a row per free component but the denominator
  eqmatrix m{"deqdx m"};          // dm/dm': a row per free mode, a column per free mode but the denominator
  eqvector modes{"deqdx modes"};  // the modes of the solution, 0 where not free
};

deqdxwork& work() {
  static std::unique_ptr<deqdxwork> w;
  if (!w) w = std::make_unique<deqdxwork>();
  return *w;
}

std::string field(extended v) {
  std::string s;
  IO::ADDREAL(v, traceplaces, true, tracewidth, s);
  return s;
}

// No log ratios exist for this point: the uncertainty step passes it over.
void nouncertainties() {
  IO::WRITETERMINAL("no uncertainties: zero mode or bulk component\n");
  KMPDEN = 0;
  INVDEQDX.fill(0);
}

}  // namespace

void nlerun::MAKEDEQDX() {
  deqdxwork& w = work();
  NLEFUNCDRIVER(X, jac, resid);
  const smallint n = nfree;

  smallint c = 0;
  for (long i = 1; i <= NX + NXP; ++i) {
    if (!BX[i]) continue;
    ++c;
    const extended f = i > NX ? XFACA[i] * PHI : XFACA[i];
    for (long j = 1; j <= JROW; ++j) DEQDX(j, c) = RNSITE[j] * jac(j, c) * f;
  }
  if (RANKDEFICIT > 0)
    IO::ERROREXIT("makedeqdx", "rank deficit comps not yet implemented for uncertainty calcs", yourfault);

  smallint s = n;
  if (NXP > 0) {
    if (DEBUGLEVEL > 1) ZQCALC2::DEBUGPRINT(DEQDX, "deqdx, as is", JROW, JROW);
    smallint nx = 0, nm = 0;
    for (long i = 1; i <= NX; ++i)
      if (BX[i]) ++nx;
    for (long i = NX + 1; i <= NX + NXP; ++i)
      if (BX[i]) ++nm;

    // A zero bulk component has no log ratio.
    // The denominator is a component number; the bulk is over the free ones.
    const smallint den = KBPDENFREE();
    bool zero = den < 1 || den > NUVLEFT;
    for (long r = 1; r <= NUVLEFT && !zero; ++r) zero = !(COMPK[r] != 0);
    if (zero) {
      nouncertainties();
      return;
    }
    bulkratiomatrix& B = w.b;
    B.fill(0);
    smallint row = 0;
    for (long r = 1; r <= NUVLEFT; ++r) {
      if (r == den) continue;
      ++row;
      B(row, r) = 1 / COMPK[r];
      B(row, den) = -1 / COMPK[den];
    }

    eqvector& m = w.modes;
    for (long k = 1; k <= NXP; ++k) m[k] = 0;
    KMPDEN = 0;
    for (long i = NX + 1; i <= NX + NXP; ++i) {
      if (!BX[i]) continue;
      m[i - NX] = (X[i] - XFACB[i]) / (XFACA[i] * PHI);
      if (KMPDEN == 0 && std::fabs(m[i - NX]) >= smallmode) KMPDEN = static_cast<smallint>(i - NX);
    }
    if (KMPDEN == 0) {
      nouncertainties();
      return;
    }

    eqmatrix& M = w.m;
    M.fill(0);
    smallint r = 0;
    for (long k = 1; k <= NXP; ++k) {
      if (!BX[NX + k]) continue;
      ++r;
      smallint col = 0;
      for (long l = 1; l <= NXP; ++l) {
        if (!BX[NX + l]) continue;
        ++col;
        if (l < KMPDEN) M(r, col) = -m[k] * m[l];
        if (l > KMPDEN) M(r, col - 1) = -m[k] * m[l];
      }
      if (k < KMPDEN) M(r, r) = M(r, r) + m[k];
      if (k > KMPDEN) M(r, r - 1) = M(r, r - 1) + m[k];
    }

    if (DEBUGLEVEL > 1) {
      std::string t = "\nb, db'/db\n";
      for (long k = 1; k <= NUVLEFT; ++k) t += field(COMPK[k]);
      t += "\n\n";
      for (long i = 1; i <= NUVLEFT - 1; ++i) {
        for (long k = 1; k <= NUVLEFT; ++k) t += field(B(i, k));
        t += "\n";
      }
      t += "\nm, dm/dm'\n";
      extended sum = 0;
      for (long k = 1; k <= NXP; ++k) {
        t += field(m[k]);
        sum = sum + m[k];
      }
      t += "  sum = " + field(sum) + "\n\n";
      for (long i = 1; i <= nm; ++i) {
        for (long k = 1; k <= nm - 1; ++k) t += field(M(i, k));
        t += "\n";
      }
      IO::WRITETERMINAL(t);
    }

    // The bulk rows by the log-ratio bulk; the last row has no ratio left.
    eqmatrix& T = w.t;
    for (long j = 1; j <= n; ++j)
      for (long k = 1; k <= n; ++k) T(j, k) = DEQDX(j, k);
    for (long j = NR + 1; j <= n - 1; ++j)
      for (long k = 1; k <= n; ++k) {
        extended sum = 0;
        for (long q = 1; q <= NUVLEFT; ++q) sum += B(j - NR, q) * DEQDX(NR + q, k);
        T(j, k) = sum;
      }
    for (long k = 1; k <= n; ++k) T(n, k) = 0;
    for (long j = 1; j <= n; ++j)
      for (long k = 1; k <= n; ++k) DEQDX(j, k) = T(j, k);
    // The mode columns by the log-ratio modes; the reaction rows do not
    // depend on the modes.
    for (long j = NR + 1; j <= n - 1; ++j)
      for (long k = nx + 1; k <= n - 1; ++k) {
        extended sum = 0;
        for (long q = nx + 1; q <= nx + nm; ++q) sum += DEQDX(j, q) * M(q - nx, k - nx);
        T(j, k) = sum;
      }
    for (long j = NR + 1; j <= n; ++j) T(j, n) = 0;
    for (long j = 1; j <= n; ++j)
      for (long k = 1; k <= n; ++k) DEQDX(j, k) = T(j, k);
    if (DEBUGLEVEL > 1) ZQCALC2::DEBUGPRINT(DEQDX, "deqdx, after", static_cast<smallint>(JROW - 1),
                                            static_cast<smallint>(JROW - 1));
    s = static_cast<smallint>(n - 1);
  }

  for (long i = 1; i <= s; ++i)
    for (long j = 1; j <= s; ++j) USVD(i, j) = DEQDX(i, j);
  if (s > 0) ZQMATH1::CALCSVD(s, s);
  // Values at or below the solver's own cut-off would put entries near
  // 1e19 into the inverse.
  const extended cut = s > 0 ? svdcutoff * SSVD[s] : 0;
  INVDEQDX.fill(0);
  for (long i = 1; i <= s; ++i)
    for (long j = 1; j <= s; ++j) {
      extended sum = 0;
      for (long k = 1; k <= s; ++k) {
        if (SSVD[k] <= cut) {
          IO::WRITETERMINAL("deqdx is singular\n");
          sum = 0;
        } else {
          sum += VSVD(i, k) * USVD(j, k) / SSVD[k];
        }
      }
      INVDEQDX(i, j) = sum;
    }
  if (s < n)
    for (long j = 1; j <= n; ++j) {
      INVDEQDX(n, j) = 0;
      INVDEQDX(j, n) = 0;
    }
}

}  // namespace ZQMATH2
