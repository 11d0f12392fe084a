// How far a Newton step may go: unknowns inside their scaled range, window
// rows non-negative, watched site fractions positive.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "model/zqmath2.h"

using namespace ZQGLOBAL;

namespace ZQMATH2 {

namespace {

constexpr extended nolimit = 1e20L;          // slim when nothing binds
constexpr extended edgemargins = 2;          // MACHEPS kept clear of every limit
constexpr extended flatrate = 5;             // MACHEPS: a row this flat does not move along the step
constexpr extended trialshare = 0.999999999L;  // site fractions are looked at just short of slim
constexpr extended nosf = 100;               // minsf when no site fraction is smaller
constexpr smallint maxsfpasses = 50;
constexpr extended halve = 0.5L;             // correction beyond [0, slim0] or without a rate
constexpr extended towardzero = 0.99L;       // share of a candidate at or before slim
constexpr extended backoff = 0.9L;           // share of slim when the candidate lies beyond it

// Coefficients of a-x expressions are formed in double precision from their
// two integers, then used in extended.
extended ratio(smallint n, smallint d) {
  return static_cast<extended>(static_cast<double>(n) / static_cast<double>(d));
}

}  // namespace

void FINDLIMIT(const eqvector& dx, extended& slim, acctype& acc) {
  const extended eps = IO::MACHEPS;
  slim = nolimit;
  smallint j = 0;
  for (long i = 1; i <= NX + NXP; ++i) {
    if (!BX[i]) continue;
    const extended x = X[i], d = dx[++j];
    if (d < 0 && slim * (-d) > 1 - x) {
      slim = (x - 1 + edgemargins * eps) / d;
      acc = INACC2[i];
    } else if (d > 0 && slim * d > x) {
      slim = (x - edgemargins * eps) / d;
      acc = INACC1[i];
    }
  }

  // Physical values and directions of the compositional unknowns.
  eqvector xs, dxs, xt;
  j = 0;
  for (long i = 1; i <= NX; ++i) {
    if (BX[i]) {
      xs[i] = (X[i] - XFACB[i]) / XFACA[i];
      dxs[i] = dx[++j] / XFACA[i];
    } else {
      xs[i] = X[i];
      dxs[i] = 0;
    }
  }

  for (long r = 1; r <= NXVARLIM; ++r) {
    extended value = ratio(XVARLIMN(r, NX + 1), XVARLIMD(r, NX + 1)), rate = 0;
    bool involved = false;
    for (long i = 1; i <= NX; ++i) {
      const extended q = ratio(XVARLIMN(r, i), XVARLIMD(r, i));
      value += q * xs[i];
      rate += q * dxs[i];
      if (BX[i] && XVARLIMN(r, i) != 0) involved = true;
    }
    if (!involved) continue;
    if (rate < -flatrate * eps) continue;
    if (-flatrate * eps <= rate && rate < flatrate * eps) {
      // A row that does not move cannot be crossed along the step: it only
      // holds the step back when it already stands at its edge. (Its
      // unknowns are still, e.g., a phase's composition pinned to the bulk.)
      if (value <= edgemargins * eps) slim = 0;
    } else if ((value - edgemargins * eps) / rate < slim) {
      slim = (value - edgemargins * eps) / rate;
      acc = acctype::inaccessible;
    }
  }

  const extended slim0 = slim;
  if (!(slim > 0 && NSFNH > 0)) return;
  smallint worst = 0;
  for (smallint pass = 1;; ++pass) {
    for (long i = 1; i <= NX; ++i) xt[i] = xs[i] - dxs[i] * slim * trialshare;
    extended minsf = nosf;
    for (smallint k = 1; k <= NSFNH; ++k) {
      const extended v = ZQUTE1::SUBSTERM((*PREC1)[SFNHIP[k]].sf[SFNHK[k]], xt, SFNHIX[k]);
      if (v < minsf) {
        minsf = v;
        if (v < 0) worst = k;
      }
    }
    if (pass == 1 ? worst == 0 : minsf > 0) break;
    if (pass == maxsfpasses)
      IO::ERROREXIT("findlimit", "too many iterations handling site fractions", yourfault);

    // The rate of the worst expression along the step, from the products of
    // the other factors of each term. A factor at exactly 0 just leaves its
    // term's other derivatives at 0.
    const ptype1& ph = (*PREC1)[SFNHIP[worst]];
    const termtype& term = ph.sf[SFNHK[worst]];
    const smallint o = SFNHIX[worst];
    farray<extended, 1, maxssem> dm;
    farray<extended, 1, maxfactors> fv;
    for (long u = 1; u <= term.nterms; ++u) {
      const sxtermtype& st = term.terms[u];
      for (long v = 1; v <= st.nfactors; ++v) {
        const xtermtype& fac = st.factors[v];
        extended val = ratio(fac.cn, fac.cd);
        for (long e = 1; e <= fac.m; ++e) val = val + ratio(fac.an[e], fac.ad[e]) * xt[fac.v[e] + o - 1];
        fv[v] = val;
      }
      for (long v = 1; v <= st.nfactors; ++v) {
        const xtermtype& fac = st.factors[v];
        if (fac.m < 1) continue;
        extended others = 1;
        for (long w = 1; w <= st.nfactors; ++w)
          if (w != v) others = others * fv[w];
        farray<extended, 1, maxssem> c;
        for (long e = 1; e <= fac.m; ++e) c[fac.v[e]] += ratio(fac.an[e], fac.ad[e]);
        for (long m = 1; m <= ph.nvar; ++m)
          if (c[m] != 0) dm[m] += others * c[m];
      }
    }
    extended ratesf = 0;
    for (long m = 1; m <= ph.nvar; ++m) ratesf += dm[m] * dxs[o + m - 1];

    if (ratesf == 0) {
      slim = halve * slim;
    } else {
      const extended cand = slim + minsf / ratesf;
      if (cand < 0 || cand > slim0)
        slim = halve * slim;
      else if (minsf / ratesf <= 0)
        slim = towardzero * cand;
      else
        slim = backoff * slim;
    }
  }
  acc = acctype::inaccessible;
}

}  // namespace ZQMATH2
