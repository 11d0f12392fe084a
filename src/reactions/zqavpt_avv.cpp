// The weighted average of the reactions' positions at a fixed T (average P)
// or fixed P (average T), with its sd and sigfit, the single end-member
// diagnostics at the middle of the list, and the 95% limit of sigfit.
#include <cmath>
#include <vector>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "frame/zqute1.h"
#include "input/zqread1.h"
#include "model/zqcalc2.h"
#include "reactions/zqavpt.h"

using namespace ZQGLOBAL;

namespace ZQAVPT {

namespace {

// A reaction without a root in the window: its sigfit says "no fit".
constexpr extended NOROOTSIGFIT = 100;
// Middle-value tolerances of the fixed T (K) and the fixed P (kbar).
constexpr extended MIDDLETOLT = 1;
constexpr extended MIDDLETOLP = 0.01L;

// The diagnostics path: the same fit over the 2m observations of unit
// variance (enthalpies and ln a of the used end-members), with the residual
// and leverage of each observation and the effect of doubling each ln a
// uncertainty. Returns false when no fit could be formed.
struct diagnostics {
  const avrvector& x;
  const avrvector& d;
  const avrvector& e;
  extended fixed;
  extended limit;
  extended& average;
  extended& sd;
  extended& sigfit;

  bool run() {
    const bool avp = AVMODE != avtype::avtmode;
    const long nr = NR;
    iemvector used{"avv used"};
    const long m = USEDENDMEMBERS(used);
    if (m == 0) return false;
    ENTHALPYOBSERVATIONS(used, static_cast<smallint>(m), d);
    // The ln a observations below them.
    const long n2 = 2 * m;
    for (long c = 1; c <= m; ++c) {
      const long j = used[c];
      for (long k = 1; k <= nr; ++k) USVD(m + c, k) = ROOTOF(VARLNA[j]) * (*R)(k, j) * e[k];
    }
    ZQMATH1::CALCSVD(static_cast<smallint>(n2), static_cast<smallint>(nr));
    std::vector<extended> pinv, h;
    PSEUDOINVERSE(static_cast<smallint>(n2), static_cast<smallint>(nr), pinv, h);
    auto pi = [&](long k, long i) { return pinv[static_cast<std::size_t>((k - 1) * n2 + (i - 1))]; };
    std::vector<extended> a(static_cast<std::size_t>(n2 + 1)), y(a.size()), u(a.size()), q(a.size()),
        r(a.size());
    for (long i = 1; i <= n2; ++i) {
      extended ai = 0, yi = 0;
      for (long k = 1; k <= nr; ++k) {
        const extended p = pi(k, i);
        ai += p;
        yi += p * x[k];
      }
      const auto s = static_cast<std::size_t>(i);
      a[s] = ai, y[s] = yi;
    }
    extended Saa = 0, Say = 0, Syy = 0;
    for (long i = 1; i <= n2; ++i) {
      const auto s = static_cast<std::size_t>(i);
      Saa += a[s] * a[s];
      Say += a[s] * y[s];
      Syy += y[s] * y[s];
    }
    if (!(Saa > 0)) return false;
    average = Say / Saa;
    extended S = Syy - average * Say;
    if (S < 0) S = 0;
    sigfit = std::sqrt(S / (nr - 1));
    sd = 1 / std::sqrt(Saa);
    if (sigfit > 1) sd *= sigfit;
    for (long i = 1; i <= n2; ++i) {
      const auto s = static_cast<std::size_t>(i);
      u[s] = a[s] / Saa;
      q[s] = a[s] * u[s];
      r[s] = a[s] * average - y[s];
    }
    print(used, m, S, Saa, h, u, q, r, avp);
    return true;
  }

  void print(const iemvector& used, long m, extended S, extended Saa, const std::vector<extended>& h, const std::vector<extended>& u, const std::vector<extended>& q,
             const std::vector<extended>& r, bool avp) const {
    const long nr = NR;
    const longint mask = CHANNEL::TERMSUMLOG;
    auto position = [&](extended v, std::string& line) {
      if (avp)
        IO::ADDREAL(v, 2, true, 8, line);
      else
        IO::ADDREAL(v - CONST::KELVIN, 1, true, 8, line);
    };
    std::string& w = IO::WSTR;
    w.clear();
    if (avp) {
      w = "average P at T = " + IO::INT2STR(fixed - CONST::KELVIN) + macroman::degree_s + "C ";
    } else {
      w = "average T at P = " + IO::REAL2STR(fixed, 1, true) + " kbar";
    }
    IO::PUTSTR(1, w, 1, mask);
    w = "  ";
    IO::ADDSTR(avp ? "avP" : "avT", 8, w);
    IO::ADDSTR("sd", 8, w);
    IO::ADDSTR("sigfit", 8, w);
    IO::PUTSTR(0, w, 1, mask);
    w = "  ";
    position(average, w);
    IO::ADDREAL(sd, avp ? 2 : 1, true, 8, w);
    IO::ADDREAL(sigfit, 3, true, 8, w);
    IO::PUTSTR(0, w, 2, mask);
    IO::PUTSTR(0,
               "for 95% confidence, fit (= sd(fit) = sqrt(MSWD)) < " + IO::REAL2STR(limit, 2, true) +
                   " (but larger may be OK)",
               2, mask);
    for (const char* l : {"column:", "1-3: result of doubling the uncertainty on ln a.",
                          "4-5: e* and hat for ln(activity) of end-members",
                          "6-7: observed and calculated activities of endmembers.",
                          "8-9: e* and hat for enthalpies of end-members"})
      IO::PUTSTR(0, l, 1, mask);
    w.clear();
    IO::ADDSTR("", 8, w);
    IO::ADDSTR(avp ? "P" : "T", 8, w);
    IO::ADDSTR("sd", 8, w);
    IO::ADDSTR("sigfit", 9, w);
    IO::ADDSTR("e*", 9, w);
    IO::ADDSTR("hat", 9, w);
    IO::ADDSTR("a(obs)", 10, w);
    IO::ADDSTR("a(calc)", 10, w);
    IO::ADDSTR("e*", 9, w);
    IO::ADDSTR("hat", 9, w);
    IO::PUTSTR(1, w, 1, mask);
    const extended t0 = 1 / (1 - AVVKAPPA * AVVKAPPA);
    for (long c = 1; c <= m; ++c) {
      const long j = used[c];
      const auto i = static_cast<std::size_t>(m + c);
      const auto ic = static_cast<std::size_t>(c);
      const extended t = 1 / ((q[i] - h[i]) + t0);
      const extended av1 = average - t * r[i] * u[i];
      const extended sf1 = ROOTOF((S + t * r[i] * r[i]) / (nr - 1));
      extended sd1 = ROOTOF(1 / Saa - t * u[i] * u[i]);
      if (sigfit > 1) sd1 *= sf1;
      const extended lna = ACTIVITY[j] > 0 ? std::log(ACTIVITY[j]) : 0;
      w.clear();
      IO::ADDNAME(NAME[j], 8, w);
      position(av1, w);
      IO::ADDREAL(sd1, avp ? 2 : 1, true, 8, w);
      IO::ADDREAL(sf1, 3, true, 9, w);
      IO::ADDREAL(r[i], 3, true, 9, w);
      IO::ADDREAL(q[i], 3, true, 9, w);
      IO::ADDREAL(ACTIVITY[j], 3, false, 10, w);
      IO::ADDREAL(std::exp(lna + ROOTOF(VARLNA[j]) * r[i]), 3, false, 10, w);
      IO::ADDREAL(r[ic], 3, true, 9, w);
      IO::ADDREAL(q[ic], 3, true, 9, w);
      IO::PUTSTR(0, w, 1, mask);
    }
    const double ratio = static_cast<double>(nr) / static_cast<double>(m);
    IO::PUTSTR(1, "|e*| >2.5 suspect?  hat >" + IO::REAL2STR(ratio, 2, true) + " influential?", 1, mask);
  }
};

}  // namespace

extended ROOTOF(extended x) { return x > 0 ? std::sqrt(x) : 0; }

smallint USEDENDMEMBERS(iemvector& used) {
  smallint m = 0;
  for (long j = 1; j <= NCV; ++j) {
    bool u = false;
    for (long k = 1; k <= NR && !u; ++k) u = (*R)(k, j) != 0;
    if (u) used[++m] = static_cast<smallint>(j);
  }
  return m;
}

void ENTHALPYOBSERVATIONS(const iemvector& used, smallint m, const avrvector& d) {
  for (long c = 1; c <= m; ++c)
    for (long c2 = 1; c2 <= m; ++c2) USVD(c, c2) = COVINUSE(used[c], used[c2]);
  ZQMATH1::CALCSVD(m, m);
  std::vector<extended> Z(static_cast<std::size_t>(m * m));
  auto z = [&](long c, long c2) -> extended& { return Z[static_cast<std::size_t>((c - 1) * m + (c2 - 1))]; };
  for (long c = 1; c <= m; ++c)
    for (long c2 = c; c2 <= m; ++c2) {
      extended s = 0;
      for (long l = 1; l <= m; ++l) s += VSVD(c2, l) * USVD(c, l) * ROOTOF(SSVD[l]);
      z(c, c2) = z(c2, c) = s;
    }
  for (long c = 1; c <= m; ++c)
    for (long k = 1; k <= NR; ++k) {
      extended s = 0;
      for (long c2 = 1; c2 <= m; ++c2) s += z(c, c2) * (*R)(k, used[c2]);
      USVD(c, k) = d[k] * s;
    }
}

void PSEUDOINVERSE(smallint n, smallint nr, std::vector<extended>& pinv, std::vector<extended>& h) {
  pinv.assign(static_cast<std::size_t>(nr * n), 0);
  h.assign(static_cast<std::size_t>(n + 1), 0);
  const extended cut = AVVSVDCUT * SSVD[nr];
  for (long i = 1; i <= n; ++i)
    for (long k = 1; k <= nr; ++k) {
      extended sum = 0;
      for (long l = 1; l <= nr; ++l)
        if (SSVD[l] > cut) sum += VSVD(k, l) * USVD(i, l) / SSVD[l];
      pinv[static_cast<std::size_t>((k - 1) * n + (i - 1))] = sum;
      if (SSVD[k] > cut) h[static_cast<std::size_t>(i)] += USVD(i, k) * USVD(i, k);
    }
}

extended FITLIMIT(smallint nu) {
  static constexpr extended limits[] = {1.96L, 1.73L, 1.61L, 1.54L, 1.49L, 1.45L, 1.42L, 1.39L, 1.37L, 1.35L};
  if (nu >= 1 && nu <= 10) return limits[nu - 1];
  return 1.34L;
}

void AVV(extended& average, extended& sd, extended& sigfit, extended fixed, extended xco2, extended xh2o,
         bool quiet) {
  average = sd = sigfit = 0;
  // Fewer than two reactions give no average (and no sigfit to divide by).
  if (NR < 2) return;
  const bool avp = AVMODE != avtype::avtmode;
  const findtype kind = avp ? findtype::findp : findtype::findt;
  const extended limit = FITLIMIT(static_cast<smallint>(NR - 1));
  avrvector x1{"avv x1"}, x2{"avv x2"}, g1{"avv g1"}, g2{"avv g2"}, d{"avv d"}, e{"avv e"};
  farray<bool, 1, maxavr> single{"avv single"};
  long ns = 0;
  for (long k = 1; k <= NR; ++k) {
    extended dV1 = 0, dV2 = 0, dT1 = 0, dT2 = 0;
    const auto kk = static_cast<smallint>(k);
    if (avp)
      ZQCALC2::PCALC(kk, false, x1[k], x2[k], dV1, dV2, fixed, xco2, xh2o, dT1, dT2);
    else
      ZQCALC2::TCALC(kk, false, x1[k], x2[k], dV1, dV2, fixed, xco2, xh2o, dT1, dT2);
    g1[k] = avp ? dV1 : dT1;
    g2[k] = avp ? dV2 : dT2;
    if (!ZQUTE1::INRANGE(x1[k], kind)) {
      average = 0, sd = 0, sigfit = NOROOTSIGFIT;
      return;
    }
    single[k] = !ZQUTE1::INRANGE(x2[k], kind);
    if (single[k]) ++ns;
  }
  const extended Te = avp ? fixed : x1[NR];
  ZQCALC2::CALCVARLNA();
  extended ref = avp ? FIXEDP : FIXEDT;
  if (ns >= 1 && ns < NR) {
    extended s = 0;
    for (long k = 1; k <= NR; ++k)
      if (single[k]) s += x1[k];
    ref = s / ns;
  }
  for (long k = 1; k <= NR; ++k)
    if (!single[k] && std::fabs(x2[k] - ref) < std::fabs(x1[k] - ref)) {
      x1[k] = x2[k];
      g1[k] = g2[k];
    }
  for (long k = 1; k <= NR; ++k) {
    d[k] = -1 / g1[k];
    e[k] = d[k] * CONST::RGAS * Te;
  }
  covmatrix covh{"avv covh"}, covlnk{"avv covlnk"};
  CALCCOV(covh, covlnk);
  const bool middle = avp ? std::fabs(fixed - LT[NLT / 2 + 1]) < MIDDLETOLT
                          : std::fabs(fixed - LP[NLP / 2 + 1]) < MIDDLETOLP;
  // The weights are inverted before either path is taken: a singular
  // covariance stops the run at every value of the list alike, the middle
  // one too, where the diagnostics would fit through a pseudo-inverse or,
  // with justrelu, through the enthalpies the weights leave out.
  invmatrix V{"avv V"}, W{"avv W"};
  for (long i = 1; i <= NR; ++i)
    for (long j = i; j <= NR; ++j) {
      const extended h = CONTROLJX.justrelu == yes ? 0 : d[i] * covh(i, j) * d[j];
      V(i, j) = V(j, i) = h + e[i] * covlnk(i, j) * e[j];
    }
  POSDEFINVERT(V, W, NR);
  if (!quiet && middle) {
    // The diagnostics take the enthalpies whatever the weights leave out.
    if (CONTROLJX.justrelu == yes) ZQREAD1::CHECKCOVARIANCE("avv");
    diagnostics diag{x1, d, e, fixed, limit, average, sd, sigfit};
    if (diag.run()) return;
    // No observation carries weight: the plain fit below says what it can.
    average = sd = sigfit = 0;
  }
  extended num = 0, den = 0;
  for (long i = 1; i <= NR; ++i)
    for (long j = 1; j <= NR; ++j) {
      num += W(i, j) * x1[i];
      den += W(i, j);
    }
  average = num / den;
  extended S = 0;
  for (long i = 1; i <= NR; ++i)
    for (long j = 1; j <= NR; ++j) S += W(i, j) * (x1[i] - average) * (x1[j] - average);
  S /= (NR - 1);
  if (S >= 0 && den > 0) {
    sigfit = std::sqrt(S);
    sd = 1 / std::sqrt(den);
    if (sigfit > 1) sd *= sigfit;
  } else {
    sd = 0, sigfit = 0;
  }
}

}  // namespace ZQAVPT
