// Random x(CO2) (window and list reaching 1e-4 of either end), ln a and P-T
// (T at a P list, P at a T list) sections of three to six made-up phases,
// some at fixed activities, with the H2O-CO2 fluid (ideal, or of the
// equations of state mixed as van Laar) or an ln a variable, their points
// now and then on a list value, checked against own solutions: every line
// the window test keeps or drops, every point printed (to its printed
// digits) and every point the list holds (printed once), and every side a
// Schreinemakers row names. With Gibbs energies
//   G = H - T S + (P - Pr) V + RT ln a,  mu(L) = RT ln a(L),
//   mu(CO2) = G(CO2) + Gmix(CO2) + RT ln x,  mu(H2O) = G(H2O) + Gmix(H2O) + RT ln(1 - x),
// phase i with h_i H2O, c_i CO2 (or q_i L) has Phi_i = G_i - h_i mu(H2O) - c_i mu(CO2)
// (or G_i - q_i mu(L)); the reaction i -> j (fluid or L released as needed)
// has the affinity Phi_j - Phi_i, the stable phase at a point is the one of
// least Phi, and three phases meet where their Phi are equal. The ideal
// fluid's G and Gmix are 0, so its lines are T = A / B or P = Pr - C / dV in
// closed form; the mixed fluid's rows have H 0 and S FLUIDS, and take G
// and the volumes of the pure fluids from the program's equations of state
// (not tested here) and the own van Laar terms: W = 10.5 (1/V(H2O) + 1/V(CO2)),
//   Gmix(H2O) = 2 W x^2 V(CO2)^2 V(H2O) / ((x V(CO2) + (1 - x) V(H2O))^2 (V(H2O) + V(CO2))), and
//   Gmix(CO2) the same with the fluids and fractions swapped.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "frame/zqglobal_refinder.h"
#include "model/zqcalc2_pseudo.h"
#include "model/zqre.h"
#include "reactions/zqptx.h"
#include "zqfind_testsupport.h"

using namespace ZQGLOBAL;

namespace {

enum class kind { tx, px, tlna, plna, pt, tp };  // pt: T at a P list, tp: P at a T list

struct phase {
  int h = 0, c = 0;  // H2O and CO2, or L in h
  extended H = 0, S = 0, V = 0, a = 1;  // a: a fixed activity
};

// The x(CO2) list of the sections, reaching 1e-4 of either end.
const std::vector<extended> XLIST = {0.0001L, 0.0005L, 0.001L, 0.005L, 0.01L, 0.03L, 0.06L, 0.1L, 0.15L, 0.2L, 0.3L, 0.4L,
                                     0.5L,    0.6L,    0.7L,   0.8L,   0.85L, 0.9L,  0.94L, 0.97L, 0.99L, 0.999L, 0.9995L,
                                     0.9999L};

// The entropy of the mixed fluid's rows: a row without one is H alone.
constexpr extended FLUIDS = 0.2L;

// One section: its phases, kind, window, fixed value and fluid.
struct section {
  kind k = kind::tx;
  int np = 3;
  phase p[6];
  bool mixing = false;
  extended ylo = 0, yhi = 0, ulo = 0, uhi = 0, fixed = 0;
  bool xco2() const { return k == kind::tx || k == kind::px; }
  bool tcalc() const { return k == kind::tx || k == kind::tlna || k == kind::pt; }
  bool pt() const { return k == kind::pt || k == kind::tp; }
  // Phi of phase i at (y, u): y is T or P, u is x(CO2), ln a or P.
  extended phi(int i, extended y, extended u) const {
    const extended T = tcalc() ? y : k == kind::tp ? u : fixed, P = k == kind::pt ? u : tcalc() ? fixed : y;
    const extended RT = CONST::RGAS * T;
    const phase& f = p[i];
    const extended g = f.H - T * f.S + (P - CONST::PR) * f.V + (f.a == 1 ? 0 : RT * std::log(f.a));
    if (pt()) return g;
    if (!xco2()) return g - f.h * RT * u;
    // ln x, ln(1 - x) and the pure fluids kept for the next call at the same x or y.
    if (u != fy.u) fy.u = u, fy.lnc = std::log(u), fy.lnh = std::log(1 - u);
    extended wh = RT * fy.lnh, wc = RT * fy.lnc;
    if (mixing) {
      if (y != fy.y) {
        fy.y = y;
        ZQCALC1::H2OPROPS(P, T, fy.vh, fy.gh);
        ZQCALC1::CO2PROPS(P, T, fy.vc, fy.gc);
      }
      const extended vh = fy.vh, vc = fy.vc;
      const extended W = 10.5L * (vh + vc) / (vh * vc), d = u * vc + (1 - u) * vh;
      wh += fy.gh - T * FLUIDS + 2 * W * u * u * vc * vc * vh / (d * d * (vh + vc));
      wc += fy.gc - T * FLUIDS + 2 * W * (1 - u) * (1 - u) * vh * vh * vc / (d * d * (vh + vc));
    }
    return g - f.h * wh - f.c * wc;
  }
  mutable struct {
    extended u = NAN, lnc = 0, lnh = 0, y = NAN, vh = 0, vc = 0, gh = 0, gc = 0;
  } fy;
  // The line of reaction i -> j at u of an ideal section: the affinity is linear in y.
  extended line(int i, int j, extended u) const {
    const extended a = phi(j, ylo, u) - phi(i, ylo, u), b = phi(j, yhi, u) - phi(i, yhi, u);
    return a == b ? NAN : ylo - a * (yhi - ylo) / (b - a);
  }
  // The window of y; with the mixed fluid above the liquid-like water that
  // the widened search meets near 283 K.
  void home() { ylo = tcalc() ? (mixing ? 773.15L : 573.15L) : 1, yhi = tcalc() ? 1173.15L : 10; }
  // Steps of an own solution stay near the window.
  bool near(extended y) const { return y >= ylo / 2 && y <= 2 * yhi; }
  // The section's own measure w of u: ln(x / (1 - x)) for x(CO2).
  extended w(extended u) const { return xco2() ? std::log(u / (1 - u)) : u; }
  extended uof(extended w) const { return xco2() ? 1 / (1 + std::exp(-w)) : w; }
  extended uat(extended s) const { return uof(w(ulo) + s * (w(uhi) - w(ulo))); }
  // How deep the line enters the window (negative: how far it stays out);
  // not a number when it runs off to infinity inside the window, where it
  // may pass the window within any step of the samples.
  extended depth(int i, int j) const {
    extended best = -1e30L, before = 0;
    for (int even = 0; even < 2; ++even)
      for (int n = 0; n <= 4000; ++n) {
        const extended y = line(i, j, even ? ulo + (uhi - ulo) * n / 4000.0L : uat(n / 4000.0L));
        if (std::isfinite(y)) best = std::max(best, std::min(y - ylo, yhi - y));
        // A line steep enough to pass the whole window between two samples
        if (n > 0 && std::min(y, before) < ylo && std::max(y, before) > yhi) best = std::max(best, (yhi - ylo) / 2);
        before = y;
      }
    for (int n = 0; n <= 400; ++n) {
      const extended u = uat(n / 400.0L), b = phi(j, yhi, u) - phi(i, yhi, u) - phi(j, ylo, u) + phi(i, ylo, u);
      if (n > 0 && (b < 0) != (before < 0)) return NAN;
      before = b;
    }
    return best;
  }
  // Reaction r as a pair of phases, reactions in the order (0, 1), (0, 2) ...
  std::array<int, 2> pair(int r) const {
    for (int i = 0, n = 1; i < np; ++i)
      for (int j = i + 1; j < np; ++j, ++n)
        if (n == r) return {i, j};
    return {0, 0};
  }
  int reaction(int i, int j) const {
    for (int r = 1;; ++r)
      if (pair(r)[0] == std::min(i, j) && pair(r)[1] == std::max(i, j)) return r;
  }
  // Candidate t as three phases, in the order (0, 1, 2), (0, 1, 3) ...
  std::array<int, 3> triple(int t) const {
    for (int i = 0, n = 1; i < np; ++i)
      for (int j = i + 1; j < np; ++j)
        for (int l = j + 1; l < np; ++l, ++n)
          if (n == t) return {i, j, l};
    return {0, 0, 0};
  }
  int nr() const { return np * (np - 1) / 2; }
  int nt() const { return np * (np - 1) * (np - 2) / 6; }
};

// An own point of candidate t.
struct ownpoint {
  int t = 0;
  extended y = 0, x = 0;
  bool stable = false, tie = false;
};

// The crossing of i -> j and i -> l nearest (y, x): Newton steps with
// differences in (y, w).
bool crossing(const section& s, int i, int j, int l, extended& y, extended& x) {
  const auto A = [&](int b, extended yy, extended ww) { return s.phi(b, yy, s.uof(ww)) - s.phi(i, yy, s.uof(ww)); };
  extended w = s.w(x);
  for (int it = 0; it < 60; ++it) {
    const extended hy = 1e-6L * std::max<extended>(1, std::fabs(y)), hw = 1e-7L;
    const extended f1 = A(j, y, w), f2 = A(l, y, w);
    const extended a11 = (A(j, y + hy, w) - f1) / hy, a12 = (A(j, y, w + hw) - f1) / hw;
    const extended a21 = (A(l, y + hy, w) - f2) / hy, a22 = (A(l, y, w + hw) - f2) / hw;
    const extended det = a11 * a22 - a12 * a21;
    const extended dy = (f1 * a22 - f2 * a12) / det, dw = (a11 * f2 - a21 * f1) / det;
    y -= dy, w -= dw;
    if (!s.near(y) || !(std::fabs(dw) <= 5)) return false;
    if (std::fabs(dy) < 1e-11L * std::max<extended>(1, std::fabs(y)) && std::fabs(dw) < 1e-12L) {
      x = s.uof(w);
      return true;
    }
  }
  return false;
}

// Whether the point o of its candidate's phases is stable: their Phi the
// least; a tie when another phase's is within 1e-6 kJ of theirs.
void classify(const section& s, ownpoint& o) {
  const std::array<int, 3> q = s.triple(o.t);
  const extended f0 = s.phi(q[0], o.y, o.x);
  o.stable = true, o.tie = false;
  for (int l = 0; l < s.np; ++l) {
    if (l == q[0] || l == q[1] || l == q[2]) continue;
    const extended d = s.phi(l, o.y, o.x) - f0;
    if (std::fabs(d) < 1e-6L) o.tie = true;
    if (d < 0) o.stable = false;
  }
}

// Every own point of every candidate in the window (y from ylo to yhi, u
// from ulo to uhi): where both affinities change sign over a cell of a grid
// even in (y, w), refined by Newton steps; with its stability.
std::vector<ownpoint> ownpoints(const section& s) {
  constexpr int NW = 120, NY = 50;
  std::vector<extended> phi(static_cast<std::size_t>(s.np * (NW + 1) * (NY + 1)));
  const auto at = [&](int i, int a, int b) -> extended& {
    return phi[static_cast<std::size_t>((i * (NW + 1) + a) * (NY + 1) + b)];
  };
  const auto wa = [&](int a) { return s.w(s.ulo) + (s.w(s.uhi) - s.w(s.ulo)) * a / NW; };
  const auto yb = [&](int b) { return s.ylo + (s.yhi - s.ylo) * b / NY; };
  std::vector<extended> us(NW + 1);
  for (int a = 0; a <= NW; ++a) us[static_cast<std::size_t>(a)] = s.uof(wa(a));
  for (int b = 0; b <= NY; ++b)
    for (int a = 0; a <= NW; ++a)
      for (int i = 0; i < s.np; ++i) at(i, a, b) = s.phi(i, yb(b), us[static_cast<std::size_t>(a)]);
  std::vector<ownpoint> found;
  for (int t = 1; t <= s.nt(); ++t) {
    const std::array<int, 3> q = s.triple(t);
    for (int a = 0; a < NW; ++a)
      for (int b = 0; b < NY; ++b) {
        bool n1 = false, p1 = false, n2 = false, p2 = false;
        for (int da = 0; da <= 1; ++da)
          for (int db = 0; db <= 1; ++db) {
            const extended f0 = at(q[0], a + da, b + db);
            ((at(q[1], a + da, b + db) - f0 < 0) ? n1 : p1) = true;
            ((at(q[2], a + da, b + db) - f0 < 0) ? n2 : p2) = true;
          }
        if (!(n1 && p1 && n2 && p2)) continue;
        ownpoint o;
        o.t = t, o.y = (yb(b) + yb(b + 1)) / 2, o.x = s.uof((wa(a) + wa(a + 1)) / 2);
        if (!crossing(s, q[0], q[1], q[2], o.y, o.x)) continue;
        if (std::any_of(found.begin(), found.end(), [&](const ownpoint& f) {
              return f.t == t && std::fabs(f.y - o.y) < 1e-6L && std::fabs(s.w(f.x) - s.w(o.x)) < 1e-7L;
            }))
          continue;
        classify(s, o);
        found.push_back(o);
      }
  }
  return found;
}

// The roots of reaction i -> j at u between lo and hi: sign changes on 400
// steps; the last one, halved down to 1e-9 of the steps, in at.
int roots(const section& s, int i, int j, extended u, extended lo, extended hi, extended& at) {
  const auto A = [&](extended y) { return s.phi(j, y, u) - s.phi(i, y, u); };
  int n = 0;
  extended before = A(lo);
  for (int k = 1; k <= 400; ++k) {
    const extended y = lo + (hi - lo) * k / 400, now = A(y);
    if ((now < 0) != (before < 0)) {
      ++n;
      extended a = y - (hi - lo) / 400, b = y;
      for (int h = 0; h < 30; ++h) ((A((a + b) / 2) < 0) == (now < 0) ? b : a) = (a + b) / 2;
      at = (a + b) / 2;
    }
    before = now;
  }
  return n;
}

const int PAIRS[3][2] = {{0, 1}, {0, 2}, {1, 2}};

class Sections : public findtest::FindTest {
 protected:
  // The window: P-T sections span P or T as their list variable.
  static void place(const section& s) {
    if (s.k == kind::pt)
      window(s.ulo, s.uhi, s.ylo, s.yhi);
    else if (s.k == kind::tp)
      window(s.ylo, s.yhi, s.ulo, s.uhi);
    else if (s.tcalc())
      window(0.001L, 40, s.ylo, s.yhi);
    else
      window(s.ylo, s.yhi, 283, 3000);
  }
  // The globals of the section: solids 1..np, then CO2 and H2O or the ln a
  // end-member, in excess; the reactions every pair of solids, the
  // candidates every three.
  static void load(const section& s) {
    std::vector<findtest::row> rowsn;
    const char* names[6] = {"PA", "PB", "PC", "PD", "PE", "PF"};
    for (int i = 0; i < s.np; ++i) rowsn.push_back({names[i], s.p[i].H, s.p[i].S, s.p[i].V});
    if (s.xco2()) {
      rowsn.push_back({s.mixing ? "CO2" : "C", 0, s.mixing ? FLUIDS : 0, 0});
      rowsn.push_back({s.mixing ? "H2O" : "W", 0, s.mixing ? FLUIDS : 0, 0});
    } else if (!s.pt()) {
      rowsn.push_back({"L", 0, 0, 0});
    }
    rows(rowsn);
    for (int i = 0; i < s.np; ++i) ACTIVITY[i + 1] = s.p[i].a;
    FLUIDTYPE = s.mixing ? ftype::ih2oco2 : ftype::notset;
    NNE = static_cast<smallint>(s.np);
    NE = static_cast<smallint>(NCV - s.np);
    CO2POS = s.xco2() ? static_cast<smallint>(s.np + 1) : 0;
    H2OPOS = s.xco2() ? static_cast<smallint>(s.np + 2) : 0;
    LNAPOS = s.xco2() || s.pt() ? 0 : static_cast<smallint>(s.np + 1);
    MUPOS = 0;
    KEEPLNAS[1] = 0;
    LNANAMEP[1] = "L";
    NR = static_cast<smallint>(s.nr());
    R->fill(0);
    for (smallint r = 1; r <= NR; ++r) {
      const std::array<int, 2> ij = s.pair(r);
      const phase &a = s.p[ij[0]], &b = s.p[ij[1]];
      (*R)(r, ij[0] + 1) = -1;
      (*R)(r, ij[1] + 1) = 1;
      if (s.xco2()) {
        (*R)(r, H2OPOS) = static_cast<smallint>(a.h - b.h);
        (*R)(r, CO2POS) = static_cast<smallint>(a.c - b.c);
      } else if (!s.pt()) {
        (*R)(r, LNAPOS) = static_cast<smallint>(a.h - b.h);
      }
      IO::BCLEAR2(RBIT[r]);
      IO::BSET2(RBIT[r], ij[0] + 1);
      IO::BSET2(RBIT[r], ij[1] + 1);
    }
    NINT = static_cast<smallint>(s.nt());
    for (smallint t = 1; t <= NINT; ++t) {
      const std::array<int, 3> q = s.triple(t);
      NIR[t] = 3;
      IO::BCLEAR2(IBIT[t]);
      for (int k = 0; k < 3; ++k) {
        IR(t, k + 1) = static_cast<smallint>(s.reaction(q[PAIRS[k][0]], q[PAIRS[k][1]]));
        IO::BSET2(IBIT[t], q[k] + 1);
      }
    }
    const bool t = s.tcalc();
    DIAGRAMMODE = s.k == kind::tx ? diagramtype::txcalc : s.k == kind::px ? diagramtype::pxcalc
                  : s.k == kind::tlna ? diagramtype::tlnacalc : s.pt() ? diagramtype::ptcalc : diagramtype::plnacalc;
    CALCVARIABLE = t ? calcvariabletype::calctemperature : calcvariabletype::calcpressure;
    OTHERVARIABLE = s.xco2() ? othervariabletype::fixedmolefractionCO2
                    : s.k == kind::pt ? othervariabletype::fixedpressure
                    : s.k == kind::tp ? othervariabletype::fixedtemperature : othervariabletype::fixedlnactivity;
    ZQPTX::PTMODE = t ? findtype::findt : findtype::findp;
    FIXEDP = t ? s.fixed : 5, FIXEDT = t ? 800 : s.fixed;
    FIXEDXCO2 = 0, FIXEDXH2O = 1;
    place(s);
    XCO2LOW = s.xco2() ? s.ulo : 0.001L, XCO2HIGH = s.xco2() ? s.uhi : 0.999L;
    LNALOW = s.xco2() ? -6 : s.ulo, LNAHIGH = s.xco2() ? 0 : s.uhi;
    NLX = static_cast<smallint>(XLIST.size());
    for (long i = 1; i <= NLX; ++i) LXCO2[i] = XLIST[static_cast<std::size_t>(i - 1)];
    NLP = NLT = 10;
    for (long i = 1; i <= NLP; ++i) LP[i] = LT[i] = s.ulo + (s.uhi - s.ulo) * (i - 1) / 9;
    NLLNA[1] = 13;
    for (long i = 1; i <= 13; ++i) LLNA(1, i) = s.ulo + (s.uhi - s.ulo) * (i - 1) / 12;
    PPRECISION = 3, TPRECISION = 2, XCO2PRECISION = 3;
    CONTROLJX.runnametext = "";
    IO::CONTROLIO.pagewidth = 250;
    for (smallint k = 1; k <= NR; ++k) ZQCALC2::MAKERLINE(k);
  }
  // The list values of the section.
  static std::vector<extended> list(const section& s) {
    std::vector<extended> X;
    const long n = s.xco2() ? NLX : s.pt() ? NLP : NLLNA[1];
    for (long i = 1; i <= n; ++i) X.push_back(s.xco2() ? LXCO2[i] : s.pt() ? LP[i] : LLNA(1, i));  // LT is LP
    return X;
  }
  // Whether the point must be printed: inside the window, with the three
  // lines held by the list values on either side of it (or of the list value
  // it lies on), each with one root about the widened window there, two of
  // them crossing, and no other point of the candidate between them.
  static bool holds(const section& s, const ownpoint& o, const std::vector<ownpoint>& all) {
    if (o.x < s.ulo || o.x > s.uhi || o.y < s.ylo + 1e-6L || o.y > s.yhi - 1e-6L) return false;
    const std::vector<extended> X = list(s);
    std::size_t lo = 0, hi = 0;
    for (std::size_t m = 0; m < X.size(); ++m) {
      if (std::fabs(o.x - X[m]) <= 1e-12L + 1e-9L * std::fabs(X[m])) {
        lo = m == 0 ? 0 : m - 1, hi = std::min(m + 1, X.size() - 1);
        break;
      }
      if (m > 0 && X[m - 1] < o.x && o.x < X[m]) lo = m - 1, hi = m;
    }
    if (lo == hi) return false;
    // The one root in the widened window and a little beyond it (where the
    // search marks roots below or above it) lies inside the window.
    ZQPTX::ENLARGEWINDOW(CALCVARIABLE);
    const extended wlo = s.tcalc() ? TLOW : PLOW, whi = s.tcalc() ? THIGH : PHIGH;
    ZQPTX::RESTOREWINDOW(CALCVARIABLE);
    const extended beyond = s.tcalc() ? 10 : 0.5L, below = std::min(beyond, wlo / 2);
    // The lines cross there (lines that only touch change no order).
    const std::array<int, 3> q = s.triple(o.t);
    extended y[2][3];
    for (int k = 0; k < 3; ++k)
      for (int e = 0; e < 2; ++e)
        if (roots(s, q[PAIRS[k][0]], q[PAIRS[k][1]], X[e ? hi : lo], wlo - below, whi + beyond, y[e][k]) != 1 ||
            y[e][k] < wlo + 1e-6L || y[e][k] > whi - 1e-6L)
          return false;
    if ((y[0][0] < y[0][1]) == (y[1][0] < y[1][1])) return false;
    return std::none_of(all.begin(), all.end(), [&](const ownpoint& f) {
      return f.t == o.t && &f != &o && f.x >= X[lo] && f.x <= X[hi];
    });
  }
};

// The numbers after the first and the last "= " of a result line: y and x;
// on a P-T section T (after "T = ") and P.
bool resultline(const std::string& line, bool pt, extended& y, extended& x) {
  if (line.rfind("T = ", 0) != 0 && line.rfind("P = ", 0) != 0) return false;
  if (pt) {
    x = std::stold(line.substr(4));
    y = std::stold(line.substr(line.find("T = ") + 4));
    return true;
  }
  y = std::stold(line.substr(4));
  x = std::stold(line.substr(line.rfind("= ") + 2));
  return true;
}

// Half the last printed digit of x (three significant digits of x(CO2), two
// decimals of ln a, three of P) and of y (two decimals of T, three of P),
// with room for the rounding of a value on a boundary.
extended halfunitx(const section& s, extended xp) {
  const extended h = s.xco2() ? 0.5L * std::pow(10.0L, std::floor(std::log10(xp) + 1e-9L) - 2)
                      : s.k == kind::pt ? 0.0005L : 0.005L;
  return h * (1 + 1e-4L);
}
extended halfunity(const section& s) { return (s.tcalc() ? 0.005L : 0.0005L) * (1 + 1e-4L); }

// Whether a point printed for candidate t at (yp, xp) rounds an own
// crossing of its lines: Newton steps from the printed point and from the
// corners of its rounding, since two crossings may lie a rounding apart.
// The crossing in o, with its stability.
bool printedright(const section& s, int t, extended yp, extended xp, ownpoint& o) {
  const std::array<int, 3> q = s.triple(t);
  const extended hx = halfunitx(s, xp), hy = halfunity(s);
  for (int c = 0; c < 5; ++c) {
    o.t = t;
    o.y = yp + (c == 0 ? 0 : c < 3 ? -hy : hy);
    // "1.00" is the window's end
    o.x = std::min(std::max(xp + (c == 0 ? 0 : c % 2 ? -hx : hx), s.ulo), s.uhi);
    if (!crossing(s, q[0], q[1], q[2], o.y, o.x)) continue;
    classify(s, o);
    if (std::fabs(o.x - xp) <= hx && std::fabs(o.y - yp) <= hy) return true;
  }
  return false;
}

// The line of reaction i -> j at u nearest y: Newton steps in y.
extended lineat(const section& s, int i, int j, extended u, extended y) {
  for (int it = 0; it < 40; ++it) {
    const extended h = 1e-6L * std::max<extended>(1, std::fabs(y)), f = s.phi(j, y, u) - s.phi(i, y, u);
    const extended d = (s.phi(j, y + h, u) - s.phi(i, y + h, u) - f) / h;
    y -= f / d;
    if (!s.near(y)) return NAN;
  }
  return y;
}

// Each row's sides at the stable point o of the phases q: on the line of its
// reaction just below and just above the point, the phase it leaves out lies
// above the two it holds. The count of rows checked.
int rowsides(const section& s, int trial, const std::array<int, 3>& q, const ownpoint& o,
             const std::vector<std::string>& rows) {
  int n = 0;
  for (const std::string& rw : rows) {
    const std::array<int, 2> ij = s.pair(std::stoi(rw));
    const int i = ij[0], j = ij[1], absent = q[0] + q[1] + q[2] - i - j;
    const extended h = s.xco2() ? std::min(1e-4L, std::min(o.x, 1 - o.x) / 20) : 1e-4L;
    bool stable[2] = {false, false}, seen[2] = {false, false};
    for (extended u : {o.x - h, o.x + h}) {
      const extended y = lineat(s, i, j, u, o.y);
      if (!std::isfinite(y) || std::fabs(y - o.y) < 1e-9L) continue;
      const int side = s.k == kind::tp ? u > o.x : y > o.y;  // the columns are low and high T
      seen[side] = true;
      stable[side] = s.phi(absent, y, u) > s.phi(i, y, u);
    }
    if (!seen[0] || !seen[1]) continue;
    EXPECT_EQ(rw.substr(66, 10) == "    stable", stable[0]) << trial << " low side: " << rw;
    EXPECT_EQ(rw.substr(76, 10) == "    stable", stable[1]) << trial << " high side: " << rw;
    ++n;
  }
  return n;
}

// A section with every Phi of phases 0..2 zero at (y0, u0); the others each
// meet phase 0 at a point of their own inside the window.
section randomsection(int trial, const std::function<extended(extended, extended)>& uniform) {
  const int comps[8][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 0}, {0, 2}, {2, 1}, {1, 2}};
  section s;
  s.k = static_cast<kind>(trial % 6);
  s.np = 3 + (trial / 6) % 4;
  s.mixing = s.xco2() && (trial / 24) % 2 == 1;
  const bool t = s.tcalc();
  s.home();
  s.fixed = t ? uniform(2, 8) : uniform(700, 1000);
  s.ulo = s.xco2() ? 0.0001L : s.k == kind::pt ? 1 : s.k == kind::tp ? 573.15L : -6;
  s.uhi = s.xco2() ? 0.9999L : s.k == kind::pt ? 10 : s.k == kind::tp ? 1173.15L : 0;
  const auto anyu = [&] { return s.uat(uniform(0, 1)); };
  const auto anyy = [&] { return uniform(s.ylo + 0.1L * (s.yhi - s.ylo), s.yhi - 0.1L * (s.yhi - s.ylo)); };
  // The invariant point: near x(CO2) 0 or 1 one time in five each, on a
  // value of the list two times in five.
  const int end = std::min((trial / 6) % 5, 3);
  const int node = static_cast<int>(uniform(0, 1) * (s.xco2() ? XLIST.size() : s.pt() ? 10 : 13));
  const extended u0 = end == 3 ? (s.xco2() ? XLIST[static_cast<std::size_t>(node)]
                                           : s.ulo + (s.uhi - s.ulo) * node / (s.pt() ? 9 : 12))
                      : s.pt() ? s.uat(uniform(0.1L, 0.9L)) : !s.xco2() ? uniform(-5.5L, -0.5L)
                      : end == 0 ? uniform(0.0002L, 0.02L) : end == 1 ? uniform(0.98L, 0.9998L) : uniform(0.03L, 0.97L);
  const extended y0 = anyy();
  std::vector<int> used;
  for (int i = 0; i < s.np; ++i) {
    int c = i;
    if (!s.pt()) {
      do c = static_cast<int>(uniform(0, 1) * (s.xco2() ? 8 : 6));
      while (std::find(used.begin(), used.end(), c) != used.end());
    }
    used.push_back(c);
    s.p[i].h = s.xco2() ? comps[c][0] : c;
    s.p[i].c = s.xco2() ? comps[c][1] : 0;
    // Small entropy differences now and then: nearly vertical lines.
    s.p[i].S = (trial / 6) % 3 == 0 ? 0.1L + uniform(0, 0.004L) : uniform(0.02L, 0.3L);
    s.p[i].V = uniform(0.5L, 4);
    s.p[i].a = (trial / 12) % 3 == 2 ? uniform(0.2L, 0.95L) : 1;
    s.p[i].H = 0;
    const extended y = i < 3 ? y0 : anyy(), u = i < 3 ? u0 : anyu();
    s.p[i].H = (i < 3 ? 0 : s.phi(0, y, u)) - s.phi(i, y, u);
  }
  return s;
}

TEST_F(Sections, LinesPointsAndSidesOfRandomSections) {
  std::mt19937 gen(20261208);
  const auto next = [&] { return static_cast<extended>(gen()) / 4294967296.0L; };
  const std::function<extended(extended, extended)> uniform = [&](extended a, extended b) { return a + (b - a) * next(); };
  int kept = 0, dropped = 0, points = 0, sides = 0, held = 0, onnode = 0, nearends = 0, mixed = 0, many = 0;
  for (int trial = 0; trial < 360; ++trial) {
    section s = randomsection(trial, uniform);
    const bool t = s.tcalc();
    load(s);

    // Every line kept or dropped as its closed form says, also in a window
    // moved off the point, where lines keep roots outside it.
    for (int moved = 0; moved < 2 && !s.mixing; ++moved) {
      if (moved == 1) {
        const extended shift = uniform(0.6L, 1.2L) * (s.yhi - s.ylo);
        s.ylo += shift, s.yhi += shift;
        place(s);
      }
      for (smallint r = 1; r <= 3; ++r) {
        const extended d = s.depth(s.pair(r)[0], s.pair(r)[1]);
        if (!(std::fabs(d) >= 1e-3L * (s.yhi - s.ylo))) continue;  // grazing the window: too close to tell
        g4vector g;
        EXPECT_EQ(ZQRE::INPTXWINDOW(r, g), d > 0) << trial << " moved " << moved << " reaction " << r;
        (d > 0 ? kept : dropped)++;
      }
    }
    s.home();
    load(s);

    testsupport::Terminal term;
    ZQPTX::PTXTABLE();
    ZQPTX::INTERSECTIONS();
    const std::vector<ownpoint> own = ownpoints(s);
    struct printed {
      int t;
      extended y, x;
    };
    std::vector<printed> seen;
    std::istringstream out(term.text());
    std::string line, block;
    std::vector<std::string> rowsseen;
    int cand = 0;
    while (std::getline(out, line)) {
      if (line.find("stable intersection") != std::string::npos) {
        block = line, rowsseen.clear();
        cand = std::stoi(line.substr(line.find("intersection ") + 13));
      }
      const std::size_t close = line.find(')');
      if ((close == 1 || close == 2) && std::isdigit(static_cast<unsigned char>(line[0])) && !block.empty())
        rowsseen.push_back(line);
      extended yp = 0, xp = 0;
      if (!resultline(line, s.pt(), yp, xp)) continue;
      if (s.k == kind::tp) std::swap(xp, yp), xp += CONST::KELVIN;
      if (t) yp += CONST::KELVIN;
      ++points;
      seen.push_back({cand, yp, xp});
      // On its lines to the printed digits: an own crossing of its lines
      // rounds to it, and is stable as printed.
      ownpoint o;
      if (!printedright(s, cand, yp, xp, o)) {
        ADD_FAILURE() << trial << ": " << line << " off its lines; own crossing near it " << o.y << ", " << o.x;
        continue;
      }
      EXPECT_TRUE(o.tie || (block.find("# stable") == 0) == o.stable) << trial << ": " << block;
      if (block.find("# stable") == std::string::npos) continue;
      const std::array<int, 3> q = s.triple(cand);
      sides += rowsides(s, trial, q, o, rowsseen);
      rowsseen.clear();
      block.clear();
    }
    // Every point the list holds is printed, once.
    for (const ownpoint& o : own) {
      if (!holds(s, o, own)) continue;
      ++held;
      for (extended X : list(s)) onnode += std::fabs(o.x - X) <= 1e-12L + 1e-9L * std::fabs(X);
      nearends += s.xco2() && (o.x < 0.02L || o.x > 0.98L);
      mixed += s.mixing;
      many += s.np > 3;
      const auto near = [&](const printed& p) {
        return p.t == o.t && std::fabs(p.x - o.x) <= halfunitx(s, p.x) && std::fabs(p.y - o.y) <= halfunity(s);
      };
      EXPECT_EQ(std::count_if(seen.begin(), seen.end(), near), 1)
          << trial << ": candidate " << o.t << " at " << o.y << ", " << o.x << "\n" << term.text();
    }
  }
  // Not a vacuous sweep.
  EXPECT_GT(kept, 300);
  EXPECT_GT(dropped, 60);
  EXPECT_GT(points, 700);
  EXPECT_GT(sides, 300);
  EXPECT_GT(held, 500);
  EXPECT_GT(onnode, 40);
  EXPECT_GT(nearends, 100);
  EXPECT_GT(mixed, 150);
  EXPECT_GT(many, 500);
  LNAPOS = 0;
  FLUIDTYPE = ftype::notset;
  IO::CONTROLIO.pagewidth = 80;
}


// Newton steps from near the invariant point of three phases built to meet
// there (every Phi 0 at (y0, u0), so reactions 1 and 2 both vanish): the
// affinities' slopes along x(CO2), by differences that stay between 0 and 1
// near either end, or along ln a, take the point onto it well inside the
// refinement's tolerances.
TEST_F(Sections, NewtonStepsEndOnTheInvariantPoint) {
  struct Case {
    kind k;
    extended u0, y0;
  };
  const Case cases[] = {{kind::tx, 0.3L, 800}, {kind::tx, 0.002L, 700}, {kind::tx, 0.997L, 900},
                        {kind::px, 0.004L, 5}, {kind::px, 0.6L, 7},     {kind::tlna, -2.5L, 750},
                        {kind::plna, -0.3L, 4}};
  for (const Case& c : cases) {
    section s;
    s.k = c.k;
    const bool t = s.tcalc();
    s.ylo = t ? 573.15L : 1, s.yhi = t ? 1173.15L : 10;
    s.fixed = t ? 5 : 850;
    s.ulo = s.xco2() ? 0.0001L : -6, s.uhi = s.xco2() ? 0.9999L : 0;
    const int h[3] = {0, 1, 0}, co[3] = {0, 0, 1};
    const extended S[3] = {0.1L, 0.25L, 0.2L}, V[3] = {1, 2, 1.5L};
    for (int i = 0; i < 3; ++i) {
      s.p[i].h = s.xco2() ? h[i] : h[i] + co[i];
      s.p[i].c = s.xco2() ? co[i] : 0;
      s.p[i].S = S[i] + (s.xco2() ? 0 : 0.03L * i);
      s.p[i].V = V[i];
      s.p[i].H = 0;
      s.p[i].H = -s.phi(i, c.y0, c.u0);
    }
    load(s);
    extended xtol = 0, ytol = 0;
    ZQPTX::SETLIM(xtol, ytol);
    for (const extended f : {0.3L, -0.3L}) {
      ZQPTX::crossings::refinement r;
      r.x = c.u0 + f * xtol;
      r.y = c.y0 - f * ytol;
      r.converged = true;
      ZQPTX::crossings::NEWTON(1, 2, r, xtol, ytol);
      EXPECT_NEAR(r.x, c.u0, xtol / 1000) << static_cast<int>(c.k) << " " << c.u0 << " " << f;
      EXPECT_NEAR(r.y, c.y0, ytol / 1000) << static_cast<int>(c.k) << " " << c.u0 << " " << f;
    }
  }
  LNAPOS = 0;
  IO::CONTROLIO.pagewidth = 80;
}

}  // namespace
