// The combined average P-T of a rock: every reaction of the set becomes a
// line P = p0 + s T of the P-T plane, and the point that fits all lines at
// once, weighted by the covariance their enthalpy and activity
// uncertainties give the lines, is found by Gauss-Newton steps that also
// move the lines within their uncertainties. A table then shows what
// doubling each ln a uncertainty does to the result.
#include <cmath>
#include <limits>
#include <vector>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "frame/zqute1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "reactions/zqavpt.h"

using namespace ZQGLOBAL;

namespace ZQAVPT {

namespace {

constexpr longint mask = CHANNEL::TERMSUMLOG;
constexpr smallint MAXPTITER = 10;      // Gauss-Newton iterations
constexpr smallint FROZENFROM = 3;      // from this iteration on the lines keep their linearisation
constexpr extended TSTEPDONE = 0.1L;    // K: a step in T below this has converged
constexpr extended PSTEPDONE = 0.01L;   // kbar: likewise in P
constexpr smallint MINREACTIONS = 3;    // two parameters and at least one degree of freedom

// A number in its field, or a blank field when it has no value.
void cell(extended x, smallint places, smallint width, std::string& line) {
  if (std::isfinite(x))
    IO::ADDREAL(x, places, true, width, line);
  else
    IO::ADDSTR("", width, line);
}
void intcell(extended x, smallint width, std::string& line) {
  if (std::isfinite(x))
    IO::ADDINT(x, width, line);
  else
    IO::ADDSTR("", width, line);
}

// The fit's state, shared by the iterations, the results and the
// diagnostics of one call.
struct avptfit {
  extended& P;
  extended& T;
  extended xco2, xh2o;
  avrvector p0{"avpt p0"}, s{"avpt s"}, p0adj{"avpt p0'"}, sadj{"avpt s'"}, d{"avpt d"}, e{"avpt e"},
      r{"avpt r"};
  covmatrix covh{"avpt covh"}, covlnk{"avpt covlnk"};
  invmatrix V{"avpt V"}, W{"avpt W"};
  extended w0 = 0, w1 = 0, w2 = 0, D = 0;

  // The lines at the current P and T; false when a reaction has no volume
  // change, so no line P(T).
  bool linearise() {
    ZQCALC2::CALCVARLNA();
    for (long k = 1; k <= NR; ++k) {
      extended dV = 0, dmudT = 0, dmu = 0;
      ZQCALC1::CALCDMU(static_cast<smallint>(k), dV, dmudT, dmu, P, T, xco2, xh2o);
      if (dV == 0) return false;
      p0[k] = -(dmu - P * dV - T * dmudT) / dV;
      s[k] = -dmudT / dV;
      p0adj[k] = p0[k];
      sadj[k] = s[k];
      d[k] = -1 / dV;
      e[k] = CONST::RGAS * d[k];
    }
    CALCCOV(covh, covlnk);
    return true;
  }

  // Weights of the lines at the current T and the sums of the normal
  // equations; false when the lines fix no point.
  bool weigh() {
    const long nr = NR;
    const bool withh = CONTROLJX.justrelu != yes;
    for (long i = 1; i <= nr; ++i)
      for (long j = i; j <= nr; ++j) {
        const extended h = withh ? d[i] * covh(i, j) * d[j] : 0;
        V(i, j) = V(j, i) = h + T * T * e[i] * covlnk(i, j) * e[j];
      }
    POSDEFINVERT(V, W, NR);
    w0 = w1 = w2 = 0;
    for (long i = 1; i <= nr; ++i)
      for (long j = 1; j <= nr; ++j) {
        w0 += W(i, j);
        w1 -= W(i, j) * sadj[j];
        w2 += sadj[i] * W(i, j) * sadj[j];
      }
    D = w0 * w2 - w1 * w1;
    return D > 0;
  }

  // One Gauss-Newton step from the current point, the lines moved within
  // their uncertainties towards the new point.
  void step(extended& dP, extended& dT) {
    const long nr = NR;
    extended F1 = 0, F2 = 0;
    for (long k = 1; k <= nr; ++k) r[k] = s[k] * T + p0[k] - P;
    for (long k = 1; k <= nr; ++k)
      for (long j = 1; j <= nr; ++j) {
        F1 += W(k, j) * r[k];
        F2 -= r[k] * W(k, j) * sadj[j];
      }
    // With w1 = 0 the quotients have no value; the same step over D does.
    if (w1 != 0)
      dT = (F1 / w0 - F2 / w1) / (w1 / w0 - w2 / w1);
    else
      dT = (F2 * w0 - F1 * w1) / D;
    dP = (F1 - w1 * dT) / w0;
    avrvector q{"avpt q"}, wq{"avpt Wq"};
    for (long l = 1; l <= nr; ++l) q[l] = (P + dP) - (p0adj[l] + sadj[l] * (T + dT));
    for (long j = 1; j <= nr; ++j) {
      wq[j] = 0;
      for (long l = 1; l <= nr; ++l) wq[j] += W(l, j) * q[l];
    }
    for (long k = 1; k <= nr; ++k) {
      extended hp = 0, ls = 0;
      for (long j = 1; j <= nr; ++j) {
        hp += covh(k, j) * d[j] * wq[j];
        ls += covlnk(k, j) * e[j] * wq[j];
      }
      p0adj[k] += d[k] * hp;
      sadj[k] += T * e[k] * ls;
    }
  }

  bool inwindow() const { return T <= THIGH && T >= TLOW && P <= PHIGH && P >= PLOW; }
};

// What doubling each ln a uncertainty does to the fit, with the residual
// and leverage of each ln a, over the 2m observations of unit variance (the
// enthalpies and the ln a of the m end-members the reactions use).
struct avptdiagnostics {
  const avptfit& fit;
  extended P, T, sdP, sdT, cor, sigfit, f, limit;

  void run() const {
    const long nr = NR;
    iemvector used{"avpt used"};
    const long m = USEDENDMEMBERS(used);
    if (m == 0) return;
    ENTHALPYOBSERVATIONS(used, static_cast<smallint>(m), fit.d);
    // The ln a observations below them, in the lines' units.
    const long n2 = 2 * m;
    for (long c = 1; c <= m; ++c) {
      const long j = used[c];
      for (long k = 1; k <= nr; ++k) USVD(m + c, k) = fit.e[k] * (*R)(k, j) * T * ROOTOF(VARLNA[j]);
    }
    ZQMATH1::CALCSVD(static_cast<smallint>(n2), static_cast<smallint>(nr));
    // Pseudo-inverse and full-model leverages.
    std::vector<extended> pinv, h;
    PSEUDOINVERSE(static_cast<smallint>(n2), static_cast<smallint>(nr), pinv, h);
    std::vector<extended> y(h.size()), g;
    auto pi = [&](long k, long i) { return pinv[static_cast<std::size_t>((k - 1) * n2 + (i - 1))]; };
    extended S2 = 0;
    for (long i = 1; i <= n2; ++i) {
      extended yi = 0;
      for (long k = 1; k <= nr; ++k) yi += pi(k, i) * fit.r[k];
      y[static_cast<std::size_t>(i)] = yi;
      S2 += yi * yi;
    }
    // The two-parameter design and its pseudo-inverse Q (row 1 P, row 2 T).
    for (long i = 1; i <= n2; ++i) {
      extended g1 = 0, g2 = 0;
      for (long k = 1; k <= nr; ++k) {
        g1 -= pi(k, i);
        g2 += pi(k, i) * fit.sadj[k];
      }
      USVD(i, 1) = g1;
      USVD(i, 2) = g2;
    }
    ZQMATH1::CALCSVD(static_cast<smallint>(n2), 2);
    std::vector<extended> Q;
    PSEUDOINVERSE(static_cast<smallint>(n2), 2, Q, g);
    auto q = [&](long c, long i) -> extended& { return Q[static_cast<std::size_t>((c - 1) * n2 + (i - 1))]; };
    print(used, m, S2, h, y, g, q);
  }

  template <class QF>
  void print(const iemvector& used, long m, extended S2, const std::vector<extended>& h,
             const std::vector<extended>& y, const std::vector<extended>& g, QF& q) const {
    const long nr = NR;
    std::string& w = IO::WSTR;
    IO::PUTSTR(1, "Single end-member diagnostic information", 2, mask);
    for (const char* l : {"avP, avT, sd's, cor, fit are result of doubling the uncertainty on ln a : ",
                          "a ln a suspect if any are v different from lsq values.",
                          "e* are ln a residuals normalised to ln a uncertainties :",
                          "large absolute values, say >2.5, point to suspect info. ",
                          "hat are the diagonal elements of the hat matrix : "})
      IO::PUTSTR(0, l, 1, mask);
    const double ratio = static_cast<double>(nr) / static_cast<double>(m);
    IO::PUTSTR(0, "large values, say >" + IO::REAL2STR(ratio, 2, true) + ", point to influential data. ", 1, mask);
    IO::PUTSTR(0, "For 95% confidence, fit (= sd(fit)) < " + IO::REAL2STR(limit, 2, true), 1, mask);
    IO::PUTSTR(0, "however a larger value may be OK - look at the diagnostics!", 2, mask);
    w.clear();
    IO::ADDSTR("", 8, w);
    IO::ADDSTR("avP", 7, w);
    IO::ADDSTR("sd", 6, w);
    IO::ADDSTR("avT", 7, w);
    IO::ADDSTR("sd", 6, w);
    IO::ADDSTR("cor", 7, w);
    IO::ADDSTR("fit", 6, w);
    IO::PUTSTR(0, w, 1, mask);
    w.clear();
    IO::ADDSTR("lsq", 8, w);
    cell(P, 1, 7, w);
    cell(sdP, 1, 6, w);
    intcell(T - CONST::KELVIN, 7, w);
    intcell(sdT, 6, w);
    cell(cor, 3, 7, w);
    cell(sigfit, 2, 6, w);
    IO::PUTSTR(0, w, 2, mask);
    w.clear();
    IO::ADDSTR("", 8, w);
    for (const char* t : {"P", "sd(P)", "T", "sd(T)", "cor", "fit", "e*"}) IO::ADDSTR(t, 7, w);
    IO::ADDSTR("hat", 6, w);
    IO::PUTSTR(0, w, 1, mask);
    const extended t0 = 1 / (1 - AVVKAPPA * AVVKAPPA);
    for (long c = 1; c <= m; ++c) {
      const long i = m + c;
      const auto ii = static_cast<std::size_t>(i);
      const extended t = 1 / ((g[ii] - h[ii]) + t0);
      const extended P1 = P - q(1, i) * y[ii] * t;
      const extended T1 = T - q(2, i) * y[ii] * t;
      const extended fit1 = ROOTOF((S2 + t * y[ii] * y[ii]) / (nr - 2));
      extended sdP1 = ROOTOF(sdP * sdP / f - t * q(1, i) * q(1, i));
      extended sdT1 = ROOTOF(sdT * sdT / f - t * q(2, i) * q(2, i));
      const extended den = sdP1 * sdT1;
      const extended cor1 = den != 0 ? (sdT * cor * sdP / f - q(2, i) * q(1, i) * t) / den : std::numeric_limits<extended>::quiet_NaN();
      if (fit1 > 1) {
        sdP1 *= fit1;
        sdT1 *= fit1;
      }
      w.clear();
      IO::ADDNAME(NAME[used[c]], 8, w);
      cell(P1, 2, 7, w);
      cell(sdP1, 2, 7, w);
      intcell(T1 - CONST::KELVIN, 7, w);
      intcell(sdT1, 7, w);
      cell(cor1, 3, 7, w);
      cell(fit1, 2, 7, w);
      cell(y[ii], 2, 7, w);
      cell(g[ii], 2, 6, w);
      IO::PUTSTR(0, w, 1, mask);
    }
  }
};

}  // namespace

void AVPT(extended& P, extended& T, extended& sdP, extended& sdT, extended& cor, extended& fit, extended xco2,
          extended xh2o) {
  P = FIXEDP;
  T = FIXEDT;
  const extended limit = FITLIMIT(static_cast<smallint>(NR - 2));
  auto outside = [&] { P = T = 0; };
  // Fewer lines leave no degree of freedom for the fit.
  if (NR < MINREACTIONS) return outside();
  avptfit a{P, T, xco2, xh2o};
  for (smallint n = 1; n <= MAXPTITER; ++n) {
    if (n < FROZENFROM && !a.linearise()) return outside();
    if (!a.weigh()) return outside();
    extended dP = 0, dT = 0;
    a.step(dP, dT);
    P += dP;
    T += dT;
    // Written so that a point that is not a number is outside too.
    if (!a.inwindow()) return outside();
    if (n >= FROZENFROM && std::fabs(dT) < TSTEPDONE && std::fabs(dP) < PSTEPDONE) break;
  }
  const long nr = NR;
  extended rWr = 0;
  for (long j = 1; j <= nr; ++j)
    for (long k = 1; k <= nr; ++k) rWr += a.r[j] * a.W(j, k) * a.r[k];
  fit = ROOTOF(rWr / (nr - 2));
  sdP = std::sqrt(a.w2 / a.D);
  sdT = std::sqrt(a.w0 / a.D);
  cor = -a.w1 / std::sqrt(a.w0 * a.w2);
  extended f = 1;
  if (fit > 1) {
    f = fit * fit;
    sdP *= fit;
    sdT *= fit;
  }
  avptdiagnostics{a, P, T, sdP, sdT, cor, fit, f, limit}.run();
}

void AVERAGEPT() {
  ZQCALC2::CALCLNK();
  std::string& w = IO::WSTR;
  w = CONTROLJX.runnametext.empty() ? "Average PT " : "Average PT for " + CONTROLJX.runnametext;
  ZQUTE1::FLUIDSTRING(w);
  IO::PUTSTR(1, w, 1, mask);
  extended P = 0, T = 0, sdP = 0, sdT = 0, cor = 0, sigfit = 0;
  AVPT(P, T, sdP, sdT, cor, sigfit, FIXEDXCO2, FIXEDXH2O);
  if (!(P > 0)) {
    IO::PUTSTR(2, "Average PT outside window - use average P and/or T", 1, mask);
    return;
  }
  IO::PUTSTR(2,
             "T = " + IO::INT2STR(T - CONST::KELVIN) + macroman::degree_s + "C, " + "sd = " + IO::INT2STR(sdT) + ", ",
             1, mask);
  IO::PUTSTR(0,
             "P = " + IO::REAL2STR(P, 1, true) + " kbars, " + "sd = " + IO::REAL2STR(sdP, 1, true) + ", " +
                 "cor = " + IO::REAL2STR(cor, 3, true) + ", " + "sigfit = " + IO::REAL2STR(sigfit, 2, true),
             1, mask);
}

}  // namespace ZQAVPT
