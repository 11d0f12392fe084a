// First-order propagation of the data uncertainties onto a solved point:
// the interaction-energy and enthalpy covariances of the end-members, the
// sensitivities of the unknowns from the inverse Jacobian, the covariance
// of the results and their standard deviations by source.
#include <cmath>
#include <memory>
#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_nle.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_sensitivity.h"
#include "frame/zqglobal_uncertainty.h"
#include "frame/zqute1.h"
#include "input/zqread1.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_calcsd.h"

using namespace ZQGLOBAL;

namespace ZQNLE4 {

namespace {

constexpr extended dqfmake = 0.05L;  // sd of a made end-member's DQF: this share of its constant
constexpr extended dqfmod = 0.5L;    // sd of a modified end-member's DQF: this share
constexpr extended dqfordervar = 0.25L;  // variance of an order-disorder or transition DQF (kJ squared)
constexpr extended dqfrcalvar = 1.0L;    // variance of a DQF from a reaction calculation

using sensmatrix = fmatrix<extended, 1, maxeq, 1, maxem>;     // a row per free position over the end-members
using projmatrix = fmatrix<extended, 1, maxem, 1, maxeq>;     // a covariance times those rows

// Work of one call, made once: the two end-member covariances alone are
// 5 MB.
struct calcsdwork {
  covmatrix ch{"calcsd ch"};    // enthalpies, DQF allowances added
  covmatrix cw{"calcsd cw"};    // interaction energies, inside each phase's block
  sensmatrix g{"calcsd g"};     // d(position)/d(mu of end-member): the rows of A R, then of C R
  eqmatrix e{"calcsd e"};       // d(position)/d(bulk log ratio): the rows of B, then of D
  projmatrix chg{"calcsd chg"};  // ch times row jb of g, as column jb
  projmatrix cwg{"calcsd cwg"};  // cw likewise
  eqmatrix covbe{"calcsd covbe"};  // COVBP times row jb of e, as column jb
  wderivmatrix d{"calcsd d"};
  farray<extended, 1, maxw> sdw{"calcsd sdw"};  // sd of each interaction energy of the phase at hand
  farray<smallint, 1, maxeq> row{"calcsd row"};  // per position: its free row, 0 when fixed
};

calcsdwork& work() {
  static std::unique_ptr<calcsdwork> wk;
  if (!wk) wk = std::make_unique<calcsdwork>();
  return *wk;
}

extended sdof(extended variance) { return variance > UNCERTAINTY::VARFLOOR ? std::sqrt(variance) : UNCERTAINTY::NOSD; }

// The end-member positions of the assemblage's solution phases: each
// block's first position (where STARTSS is true) and its phase record.
template <typename F>
void eachsolutionphase(const bemvector& ph, F f) {
  for (long k = 1; k <= NCV; ++k)
    if (STARTSS[k] && EM2SS[k] >= 1 && EM2SS[k] <= NPSS && ph[EM2SS[k]])
      f((*PREC1)[EM2SS[k]], static_cast<long>(k - 1), EM2X[k]);
}

// Everything CALCSD writes back to zero, the sds in SU included.
void clearoutputs() {
  SDX.fill(0);
  SDXH.fill(0);
  SDXW.fill(0);
  SDXBP.fill(0);
  COVX.fill(0);
  CORPT = 0;
  for (long c = 1; c <= SU.nph; ++c) {
    SU.ph[c].xsd.fill(0);
    SU.ph[c].modesd = 0;
  }
}

// The interaction-energy covariance of one phase into cw at block s. The
// reader gives an ideal phase the slots of every pair, all W = 0, which no
// activity of it uses: it has no W to be uncertain about, and its block
// stays 0.
void wcovariance(calcsdwork& wk, const ptype1& phase, long s, smallint firstx, extended p, extended t) {
  if (phase.model == axtype::ideal) return;
  WDERIVATIVES(phase, X, firstx, p, t, wk.d);
  for (long m = 1; m <= phase.nw; ++m) {
    const extended W = phase.wa[m] + phase.wb[m] * t + phase.wc[m] * p;
    extended sw = std::fabs(UNCERTAINTY::SDWRELATIVE * W);
    if (sw < UNCERTAINTY::SDWFLOOR) sw = UNCERTAINTY::SDWFLOOR;
    wk.sdw[m] = sw;
  }
  for (long k = 1; k <= phase.nprop; ++k)
    for (long l = k; l <= phase.nprop; ++l) {
      extended sum = 0;
      for (long m = 1; m <= phase.nw; ++m) sum += wk.d(k, m) * wk.d(l, m) * wk.sdw[m] * wk.sdw[m];
      wk.cw(s + k, s + l) = sum;
      wk.cw(s + l, s + k) = sum;
    }
}

// v^T M u over 1..n for a row v of rows, a column u of cols.
template <typename Rows, typename Cols>
extended quadratic(const Rows& rows, long i, const Cols& cols, long j, long n) {
  extended sum = 0;
  for (long p = 1; p <= n; ++p) sum += rows(i, p) * cols(p, j);
  return sum;
}

}  // namespace

long UNKNOWNOF(long position, long n) {
  if (n == NX || position < NX + KMPDEN) return position;
  return position + 1;
}

void WDERIVATIVES(const ptype1& phase, const eqvector& x, smallint firstx, extended p, extended t,
                  wderivmatrix& d) {
  const long ne = phase.nprop;
  static farray<extended, 1, maxssem> a{"wderivatives a"}, phi{"wderivatives phi"};
  extended size = 0;
  for (long k = 1; k <= ne; ++k) {
    a[k] = phase.alphaa[k] + phase.alphab[k] * t + phase.alphac[k] * p;
    phi[k] = a[k] * ZQUTE1::SUBSTERM(phase.prop[k], x, firstx);
    size += phi[k];
  }
  for (long k = 1; k <= ne; ++k) phi[k] = phi[k] / size;
  long m = 0;
  for (long i = 1; i < ne; ++i)
    for (long j = i + 1; j <= ne; ++j) {
      if (++m > phase.nw) return;
      for (long k = 1; k <= ne; ++k) {
        const extended di = (k == i ? 1 : 0) - phi[i];
        const extended dj = (k == j ? 1 : 0) - phi[j];
        d(k, m) = -2 * a[k] / (a[i] + a[j]) * di * dj;
      }
    }
}

extended DQFVARIANCE(const emtype& em) {
  const extended v = em.dqfa;
  switch (em.dqfcode) {
    case -1: return 0;
    case 0: IO::ERROREXIT("calcsd", "dqf unclassified", yourfault); return 0;
    case 1: return (dqfmake * v) * (dqfmake * v);
    case 2: return (dqfmod * v) * (dqfmod * v);
    case 3:
    case 4: return dqfordervar;
    case 5: return dqfrcalvar;
    default: IO::ERROREXIT("calcsd", "dqfubar", yourfault); return 0;
  }
}

void calcsdstate::run() {
  if (JROW != JCOL) IO::ERROREXIT("calcsd", "jrow <> jcol", yourfault);
  ZQREAD1::CHECKCOVARIANCE("calcsd");
  calcsdwork& wk = work();
  const bool modes = MODESBYNLE && NXP > 0;
  n = static_cast<smallint>(modes ? NX + NXP - 1 : NX);
  // Everything is cleared first, so no position keeps an earlier point's
  // values, and a point without a denominator mode has no uncertainties.
  clearoutputs();
  if (modes && KMPDEN < 1) return;
  const extended p = SU.pressure, t = SU.temperature;
  const long ncv = NCV, nb = modes ? NUVLEFT - 1 : 0;

  // The end-member covariances: W inside each solution phase's block; the
  // data-set enthalpies with the DQF allowances.
  for (long i = 1; i <= ncv; ++i)
    for (long j = 1; j <= ncv; ++j) {
      wk.cw(i, j) = 0;
      wk.ch(i, j) = COVINUSE(i, j);
    }
  eachsolutionphase(ph, [&](const ptype1& phase, long s, smallint firstx) {
    wcovariance(wk, phase, s, firstx, p, t);
    for (long k = 1; k <= phase.nprop; ++k) wk.ch(s + k, s + k) += DQFVARIANCE(phase.em[k]);
  });

  // Sensitivity rows of the free positions, in order: the rows of the
  // inverse Jacobian over the reactions times R, and over the bulk rows.
  long nfree = 0;
  for (long i = 1; i <= n; ++i) {
    wk.row[i] = 0;
    if (!BX[UNKNOWNOF(i, n)]) continue;
    const long r = ++nfree;
    wk.row[i] = static_cast<smallint>(r);
    for (long e = 1; e <= ncv; ++e) {
      extended sum = 0;
      for (long q = 1; q <= NR; ++q) sum += INVDEQDX(r, q) * (*R)(q, e);
      wk.g(r, e) = sum;
    }
    for (long q = 1; q <= nb; ++q) wk.e(r, q) = INVDEQDX(r, NR + q);
  }
  for (long jb = 1; jb <= nfree; ++jb) {
    for (long e = 1; e <= ncv; ++e) {
      extended sh = 0, sw = 0;
      for (long q = 1; q <= ncv; ++q) {
        sh += wk.ch(e, q) * wk.g(jb, q);
        sw += wk.cw(e, q) * wk.g(jb, q);
      }
      wk.chg(e, jb) = sh;
      wk.cwg(e, jb) = sw;
    }
    for (long q = 1; q <= nb; ++q) {
      extended sb = 0;
      for (long r = 1; r <= nb; ++r) sb += COVBP(q, r) * wk.e(jb, r);
      wk.covbe(q, jb) = sb;
    }
  }

  // The three sources are independent: no cross terms.
  for (long i = 1; i <= n; ++i) {
    const long ia = wk.row[i];
    if (ia == 0) continue;
    for (long j = i; j <= n; ++j) {
      const long jb = wk.row[j];
      if (jb == 0) continue;
      const extended h = quadratic(wk.g, ia, wk.chg, jb, ncv);
      const extended w = quadratic(wk.g, ia, wk.cwg, jb, ncv);
      const extended b = modes ? quadratic(wk.e, ia, wk.covbe, jb, nb) : 0;
      COVX(i, j) = h + w + b;
      COVX(j, i) = COVX(i, j);
      if (j != i) continue;
      SDX[i] = sdof(h + w + b);
      SDXH[i] = sdof(h);
      SDXW[i] = sdof(w);
      if (modes) SDXBP[i] = sdof(b);
    }
  }

  // A marker is no standard deviation to divide by.
  if (BX[1] && BX[2]) {
    if (SDX[1] > 0 && SDX[2] > 0) CORPT = COVX(1, 2) / (SDX[1] * SDX[2]);
    std::string line;
    IO::ADDREAL(CORPT, 4, true, 10, line);
    IO::WRITETERMINAL(line + "\n");
  }

  for (long c = 1; c <= SU.nph; ++c) {
    suphasetype& e = SU.ph[c];
    if (e.firstx > 0)
      for (long v = 1; v <= e.nem - 1; ++v) e.xsd[v] = SDX[e.firstx + v - 1];
  }
  if (modes) {
    // Mode d is the d-th entry that has a mode, as the mode printers count.
    smallint d = 0;
    for (long c = 1; c <= SU.nph; ++c) {
      suphasetype& e = SU.ph[c];
      if (!e.hasmode || ++d > NXP) continue;
      e.modesd = d == KMPDEN ? 0 : SDX[d < KMPDEN ? NX + d : NX + d - 1];
    }
  }

  if (CONTROLJX.avptplus == yes) ACCUMULATE();
  if (CONTROLJX.uncertaintylevel >= 2) PRINTSDINFO();
}

void CALCSD(const bemvector& ph) {
  calcsdstate state(ph);
  state.run();
}

}  // namespace ZQNLE4
