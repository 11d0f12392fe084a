// Random x(CO2) and ln a sections of three made-up phases with an ideal
// fluid (or an ln a variable), checked against their closed forms: every
// line the window test keeps or drops, every point printed on its lines and
// every side a Schreinemakers row names. With Gibbs energies
//   G = H - T S + (P - Pr) V,  mu(CO2) = RT ln x,  mu(H2O) = RT ln(1 - x),  mu(L) = RT ln a,
// phase i with h_i H2O, c_i CO2 (or q_i L) has Phi_i = G_i - h_i mu(H2O) - c_i mu(CO2)
// (or G_i - q_i mu(L)); the reaction i -> j (fluid or L released as needed)
// has the affinity Phi_j - Phi_i, so its line is T = A / B or P = Pr - C / dV
// in closed form, and the stable phase at a point is the one of least Phi.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

enum class kind { tx, px, tlna, plna, pt };

struct phase {
  int h = 0, c = 0;  // H2O and CO2, or L in h
  extended H = 0, S = 0, V = 0;
};

// One section: three phases, its kind, window and fixed value.
struct section {
  kind k = kind::tx;
  phase p[3];
  extended ylo = 0, yhi = 0, ulo = 0, uhi = 0, fixed = 0;
  bool xco2() const { return k == kind::tx || k == kind::px; }
  bool tcalc() const { return k == kind::tx || k == kind::tlna || k == kind::pt; }
  bool pt() const { return k == kind::pt; }
  // Phi of phase i at (y, u): y is T or P, u is x(CO2) or ln a.
  extended phi(int i, extended y, extended u) const {
    const extended T = tcalc() ? y : fixed, P = pt() ? u : tcalc() ? fixed : y, RT = CONST::RGAS * T;
    if (pt()) return p[i].H - T * p[i].S + (P - CONST::PR) * p[i].V;
    const phase& f = p[i];
    extended g = f.H - T * f.S + (P - CONST::PR) * f.V;
    if (xco2()) return g - f.h * RT * std::log(1 - u) - f.c * RT * std::log(u);
    return g - f.h * RT * u;
  }
  // The line of reaction i -> j at u: the affinity is linear in y.
  extended line(int i, int j, extended u) const {
    const extended a = phi(j, ylo, u) - phi(i, ylo, u), b = phi(j, yhi, u) - phi(i, yhi, u);
    return a == b ? NAN : ylo - a * (yhi - ylo) / (b - a);
  }
  extended uat(extended s) const {  // s in [0, 1]: evenly in ln(x / (1 - x)) for x(CO2)
    if (!xco2()) return ulo + s * (uhi - ulo);
    const extended a = std::log(ulo / (1 - ulo)), b = std::log(uhi / (1 - uhi));
    return 1 / (1 + std::exp(-(a + s * (b - a))));
  }
  // How deep the line enters the window (negative: how far it stays out).
  extended depth(int i, int j) const {
    extended best = -1e30L;
    for (int n = 0; n <= 4000; ++n)
      for (extended u : {uat(n / 4000.0L), ulo + (uhi - ulo) * n / 4000.0L}) {
        const extended y = line(i, j, u);
        if (std::isfinite(y)) best = std::max(best, std::min(y - ylo, yhi - y));
      }
    return best;
  }
};

const int PAIRS[3][2] = {{0, 1}, {0, 2}, {1, 2}};

class Sections : public findtest::FindTest {
 protected:
  // The window: P-T sections span P as their list variable.
  static void place(const section& s) {
    if (s.pt())
      window(s.ulo, s.uhi, s.ylo, s.yhi);
    else if (s.tcalc())
      window(0.001L, 40, s.ylo, s.yhi);
    else
      window(s.ylo, s.yhi, 283, 3000);
  }
  // The globals of the section: solids 1..3, then CO2 and H2O or the ln a
  // end-member, in excess; reactions 1..3 the pairs; one candidate of all three.
  static void load(const section& s) {
    std::vector<findtest::row> rows3;
    const char* names[3] = {"PA", "PB", "PC"};
    for (int i = 0; i < 3; ++i) rows3.push_back({names[i], s.p[i].H, s.p[i].S, s.p[i].V});
    if (s.xco2()) {
      rows3.push_back({"C", 0, 0, 0});
      rows3.push_back({"W", 0, 0, 0});
    } else if (!s.pt()) {
      rows3.push_back({"L", 0, 0, 0});
    }
    rows(rows3);
    NNE = 3;
    NE = static_cast<smallint>(NCV - 3);
    CO2POS = s.xco2() ? 4 : 0;
    H2OPOS = s.xco2() ? 5 : 0;
    LNAPOS = s.xco2() || s.pt() ? 0 : 4;
    MUPOS = 0;
    KEEPLNAS[1] = 0;
    LNANAMEP[1] = "L";
    NR = 3;
    R->fill(0);
    for (smallint r = 1; r <= 3; ++r) {
      const phase &a = s.p[PAIRS[r - 1][0]], &b = s.p[PAIRS[r - 1][1]];
      (*R)(r, PAIRS[r - 1][0] + 1) = -1;
      (*R)(r, PAIRS[r - 1][1] + 1) = 1;
      if (s.xco2()) {
        (*R)(r, H2OPOS) = static_cast<smallint>(a.h - b.h);
        (*R)(r, CO2POS) = static_cast<smallint>(a.c - b.c);
      } else if (!s.pt()) {
        (*R)(r, LNAPOS) = static_cast<smallint>(a.h - b.h);
      }
      IO::BCLEAR2(RBIT[r]);
      IO::BSET2(RBIT[r], PAIRS[r - 1][0] + 1);
      IO::BSET2(RBIT[r], PAIRS[r - 1][1] + 1);
      IR(1, r) = r;
    }
    NINT = 1;
    NIR[1] = 3;
    IO::BCLEAR2(IBIT[1]);
    for (smallint e = 1; e <= 3; ++e) IO::BSET2(IBIT[1], e);
    const bool t = s.tcalc();
    DIAGRAMMODE = s.k == kind::tx ? diagramtype::txcalc : s.k == kind::px ? diagramtype::pxcalc
                  : s.k == kind::tlna ? diagramtype::tlnacalc : s.pt() ? diagramtype::ptcalc : diagramtype::plnacalc;
    CALCVARIABLE = t ? calcvariabletype::calctemperature : calcvariabletype::calcpressure;
    OTHERVARIABLE = s.xco2() ? othervariabletype::fixedmolefractionCO2
                    : s.pt()  ? othervariabletype::fixedpressure : othervariabletype::fixedlnactivity;
    ZQPTX::PTMODE = t ? findtype::findt : findtype::findp;
    FIXEDP = t ? s.fixed : 5, FIXEDT = t ? 800 : s.fixed;
    FIXEDXCO2 = 0, FIXEDXH2O = 1;
    place(s);
    XCO2LOW = s.xco2() ? s.ulo : 0.001L, XCO2HIGH = s.xco2() ? s.uhi : 0.999L;
    LNALOW = s.xco2() ? -6 : s.ulo, LNAHIGH = s.xco2() ? 0 : s.uhi;
    const std::vector<extended> xs = {0.0001L, 0.0005L, 0.001L, 0.005L, 0.01L, 0.03L, 0.06L, 0.1L, 0.15L, 0.2L, 0.3L, 0.4L,
                                      0.5L,   0.6L,   0.7L,  0.8L,  0.85L, 0.9L, 0.94L, 0.97L, 0.99L, 0.999L,
                                      0.9995L, 0.9999L};
    NLX = static_cast<smallint>(xs.size());
    for (long i = 1; i <= NLX; ++i) LXCO2[i] = xs[static_cast<std::size_t>(i - 1)];
    NLP = 10;
    for (long i = 1; i <= NLP; ++i) LP[i] = s.ulo + (s.uhi - s.ulo) * (i - 1) / 9;
    NLLNA[1] = 13;
    for (long i = 1; i <= 13; ++i) LLNA(1, i) = s.ulo + (s.uhi - s.ulo) * (i - 1) / 12;
    PPRECISION = 3, TPRECISION = 2, XCO2PRECISION = 3;
    CONTROLJX.runnametext = "";
    IO::CONTROLIO.pagewidth = 250;
    for (smallint k = 1; k <= 3; ++k) ZQCALC2::MAKERLINE(k);
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

TEST_F(Sections, LinesPointsAndSidesOfRandomSections) {
  std::mt19937 gen(20261208);
  const auto next = [&] { return static_cast<extended>(gen()) / 4294967296.0L; };
  const auto uniform = [&](extended a, extended b) { return a + (b - a) * next(); };
  const int comps[8][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 0}, {0, 2}, {2, 1}, {1, 2}};
  int kept = 0, dropped = 0, points = 0, sides = 0;
  for (int trial = 0; trial < 300; ++trial) {
    section s;
    s.k = static_cast<kind>(trial % 5);
    const bool t = s.tcalc();
    s.ylo = t ? 573.15L : 1, s.yhi = t ? 1173.15L : 10;
    s.fixed = t ? uniform(2, 8) : uniform(700, 1000);
    s.ulo = s.xco2() ? 0.0001L : s.pt() ? 1 : -6, s.uhi = s.xco2() ? 0.9999L : s.pt() ? 10 : 0;
    // The invariant point: near x(CO2) 0 or 1 one time in four each.
    const int end = (trial / 5) % 4;
    const extended u0 = s.pt() ? uniform(2, 9) : !s.xco2() ? uniform(-5.5L, -0.5L)
                        : end == 0 ? uniform(0.0002L, 0.02L) : end == 1 ? uniform(0.98L, 0.9998L) : uniform(0.03L, 0.97L);
    const extended y0 = uniform(s.ylo + 0.1L * (s.yhi - s.ylo), s.yhi - 0.1L * (s.yhi - s.ylo));
    int used[3] = {-1, -1, -1};
    for (int i = 0; i < 3; ++i) {
      int c = 0;
      do c = static_cast<int>(next() * (s.xco2() ? 8 : 4)); while (c == used[0] || c == used[1]);
      if (s.pt()) c = i;
      used[i] = c;
      s.p[i].h = s.xco2() ? comps[c][0] : c;
      s.p[i].c = s.xco2() ? comps[c][1] : 0;
      // Small entropy differences now and then: nearly vertical lines.
      s.p[i].S = trial % 3 == 0 ? 0.1L + uniform(0, 0.004L) : uniform(0.02L, 0.3L);
      s.p[i].V = uniform(0.5L, 4);
      s.p[i].H = 0;
      s.p[i].H = -s.phi(i, y0, u0);  // every Phi is 0 at the point
    }
    load(s);

    // Every line kept or dropped as its closed form says, also in a window
    // moved off the point, where lines keep roots outside it.
    for (int moved = 0; moved < 2; ++moved) {
      if (moved == 1) {
        const extended shift = uniform(0.6L, 1.2L) * (s.yhi - s.ylo);
        s.ylo += shift, s.yhi += shift;
        place(s);
      }
      for (smallint r = 1; r <= 3; ++r) {
        const extended d = s.depth(PAIRS[r - 1][0], PAIRS[r - 1][1]);
        if (std::fabs(d) < 1e-3L * (s.yhi - s.ylo)) continue;  // grazing the window: too close to tell
        g4vector g;
        EXPECT_EQ(ZQRE::INPTXWINDOW(r, g), d > 0) << trial << " moved " << moved << " reaction " << r;
        (d > 0 ? kept : dropped)++;
      }
    }
    s.ylo = t ? 573.15L : 1, s.yhi = t ? 1173.15L : 10;
    load(s);

    testsupport::Terminal term;
    ZQPTX::PTXTABLE();
    ZQPTX::INTERSECTIONS();
    std::istringstream out(term.text());
    std::string line, block;
    std::vector<std::string> rowsseen;
    extended xtol = 0, ytol = 0;
    ZQPTX::SETLIM(xtol, ytol);
    while (std::getline(out, line)) {
      if (line.find("stable intersection") != std::string::npos) block = line, rowsseen.clear();
      if (line.size() > 3 && line[1] == ')' && !block.empty()) rowsseen.push_back(line);
      extended yp = 0, xp = 0;
      if (!resultline(line, s.pt(), yp, xp)) continue;
      if (t) yp += CONST::KELVIN;
      ++points;
      // On every line: each affinity changes sign within the tolerances and
      // the printed rounding around the point.
      const extended dx =
          xtol + (s.xco2() ? 0.5L * std::pow(10.0L, std::floor(std::log10(xp)) - 2) : s.pt() ? 0.0005L : 0.005L);
      const extended dy = ytol + (t ? 0.005L : 0.0005L);
      for (const auto& pr : PAIRS) {
        bool neg = false, pos = false;
        for (int a = -1; a <= 1; ++a)
          for (int b = -1; b <= 1; ++b) {
            const extended u = s.xco2() ? std::min(std::max(xp + a * dx, xp / 2), (1 + xp) / 2) : xp + a * dx;
            const extended v = s.phi(pr[1], yp + b * dy, u) - s.phi(pr[0], yp + b * dy, u);
            (v < 0 ? neg : pos) = true;
          }
        EXPECT_TRUE(neg && pos) << trial << ": " << line << " off reaction " << pr[0] << pr[1];
      }
      if (block.find("# stable") == std::string::npos) continue;
      // The own point nearest the printed one (the lines may meet twice): Newton
      // steps on Phi_B - Phi_A = Phi_C - Phi_A = 0.
      extended uc = xp, yc = yp;
      for (int it = 0; it < 40; ++it) {
        const extended hu = s.xco2() ? std::min(uc, 1 - uc) * 1e-6L : 1e-6L, hy = 1e-6L;
        const auto f = [&](int a, extended y, extended u) { return s.phi(a, y, u) - s.phi(0, y, u); };
        const extended f1 = f(1, yc, uc), f2 = f(2, yc, uc);
        const extended a11 = (f(1, yc + hy, uc) - f1) / hy, a12 = (f(1, yc, uc + hu) - f1) / hu;
        const extended a21 = (f(2, yc + hy, uc) - f2) / hy, a22 = (f(2, yc, uc + hu) - f2) / hu;
        const extended det = a11 * a22 - a12 * a21;
        yc -= (f1 * a22 - f2 * a12) / det;
        uc -= (a11 * f2 - a21 * f1) / det;
        if (s.xco2()) uc = std::min(std::max(uc, xp / 2), (1 + xp) / 2);
      }
      // Each row's sides: on the line of reaction k just below and just
      // above the point, the phase it leaves out lies above the two it holds.
      for (const std::string& rw : rowsseen) {
        const int k = rw[0] - '1';
        const int i = PAIRS[k][0], j = PAIRS[k][1], absent = 3 - i - j;
        const extended h = s.xco2() ? std::min(1e-4L, std::min(uc, 1 - uc) / 20) : 1e-4L;
        bool stable[2] = {false, false}, seen[2] = {false, false};
        for (extended u : {uc - h, uc + h}) {
          const extended y = s.line(i, j, u);
          if (!std::isfinite(y) || std::fabs(y - yc) < 1e-9L) continue;
          const int side = y > yc ? 1 : 0;
          seen[side] = true;
          stable[side] = s.phi(absent, y, u) > s.phi(i, y, u);
        }
        if (!seen[0] || !seen[1]) continue;
        EXPECT_EQ(rw.substr(66, 10) == "    stable", stable[0]) << trial << " low side: " << rw;
        EXPECT_EQ(rw.substr(76, 10) == "    stable", stable[1]) << trial << " high side: " << rw;
        ++sides;
      }
      rowsseen.clear();
      block.clear();
    }
  }
  // Not a vacuous sweep.
  EXPECT_GT(kept, 300);
  EXPECT_GT(dropped, 60);
  EXPECT_GT(points, 150);
  EXPECT_GT(sides, 300);
  LNAPOS = 0;
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
