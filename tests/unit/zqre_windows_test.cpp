// Whether a reaction line crosses a diagram's window or an average's, and
// which way round a reaction is written in a diagram, on made-up rows whose
// lines have closed forms (see zqfind_testsupport.h).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "model/zqcalc2.h"
#include "model/zqre.h"
#include "zqfind_testsupport.h"

using namespace ZQGLOBAL;
using findtest::FindTest;
using testsupport::fatal;

namespace {

using Window = FindTest;

std::string pattern(const g4vector& g) {
  std::string s;
  for (long c = 1; c <= 4; ++c) s += g[c] ? '-' : '+';
  return s;
}

// The P-T member on the polymorphs and on the bending line: corner signs,
// and whether it took an edge search (6 Gibbs energies per affinity).
TEST_F(Window, PTCornersAndEdgeSearch) {
  struct cas {
    const char* what;
    std::vector<findtest::row> rows;
    extended plow, phigh, tlow, thigh;
    bool in;
    std::string g;  // "-" where dmu < 0
    bool searched;
  };
  const std::vector<cas> cases = {
      {"two corners of each sign", findtest::POLYMORPHS, 0, 40, 700, 900, true, "+--+", false},
      {"one sign, slopes of one sign on every edge", findtest::POLYMORPHS, 0, 40, 300, 500, false, "----", false},
      {"one sign, line cuts the low-P edge twice", findtest::BEND, 5, 30, 300, 1300, true, "----", true},
      {"one sign, the bend below the window", findtest::BEND, 25, 40, 300, 1300, false, "----", true},
      {"dmu exactly 0 at two corners", {{"a", 0, 1, 0}, {"b", 512, 2, 0}}, 0, 40, 512, 1000, true, "++--", false},
  };
  for (const cas& c : cases) {
    rows(c.rows);
    window(c.plow, c.phigh, c.tlow, c.thigh);
    g4vector g;
    bool in = false;
    const long n = gems([&] { in = ZQRE::INPTXWINDOW(1, g); });
    EXPECT_EQ(in, c.in) << c.what;
    EXPECT_EQ(pattern(g), c.g) << c.what;
    EXPECT_EQ(n > 24, c.searched) << c.what << ": " << n << " Gibbs energies";
  }
}

// Each kind of diagram with a reaction negative only where its first axis
// (P or T) is low and its second high: corner 4 of the P-T window, corner 2
// of the others. The pseudo end-member ends at the last corner's value.
TEST_F(Window, CornerOrderOfEachDiagram) {
  // A + L = B: dmu = -10 + 0.5 (P - Pr) + 0.01 T - [RT ln x, RT ln a or mu];
  // in the P-T window B = A + L instead: 10 + 0.5 (P - Pr) - 0.01 T.
  CO2POS = 3;
  window(0, 40, 500, 2000);
  FIXEDT = 800;
  FIXEDP = CONST::PR;
  KEEPLNAS[1] = 0.01L;
  LNALOW = std::log(0.01L), LNAHIGH = std::log(0.99L);
  MULOW = -8, MUHIGH = 5;
  struct member {
    diagramtype mode;
    std::string g;
    int tdslot;  // of the pseudo end-member, 0 for none
    extended value;
  };
  const std::vector<member> members = {
      {diagramtype::ptcalc, "+++-", 0, 0},
      {diagramtype::pxcalc, "+-++", 0, 0},
      {diagramtype::txcalc, "+-++", 0, 0},
      {diagramtype::plnacalc, "+-++", TDSLOT::S, 0.01L - CONST::RGAS * std::log(0.01L)},
      {diagramtype::tlnacalc, "+-++", TDSLOT::S, 0.01L - CONST::RGAS * std::log(0.01L)},
      {diagramtype::pmucalc, "+-++", TDSLOT::H, -8},
      {diagramtype::tmucalc, "+-++", TDSLOT::H, -8},
  };
  for (const member& m : members) {
    const bool pt = m.mode == diagramtype::ptcalc;
    rows({{"A", -1000, 0.1L, 3}, {"B", pt ? -990.0L : -1010.0L, 0.1L, 3.5L}, {"L", 0, 0.01L, 0}});
    reaction({-1, 1, static_cast<smallint>(pt ? 1 : -1)});
    DIAGRAMMODE = m.mode;
    g4vector g;
    bool in = false;
    const long n = gems([&] { in = ZQRE::INPTXWINDOW(1, g); });
    const int which = static_cast<int>(m.mode);
    EXPECT_TRUE(in) << which;
    EXPECT_EQ(pattern(g), m.g) << which;
    EXPECT_EQ(n, 4 * 9) << which << ": corners only";
    if (m.tdslot != 0) {
      EXPECT_EQ((*TD)(NCV, m.tdslot), m.value) << which;
    }
  }
  // With "setloga" the ln a variable is a log10 a.
  CONTROLJX.setloga = yes;
  for (diagramtype mode : {diagramtype::plnacalc, diagramtype::tlnacalc}) {
    DIAGRAMMODE = mode;
    g4vector g;
    ZQRE::INPTXWINDOW(1, g);
    EXPECT_EQ((*TD)(NCV, TDSLOT::S), 0.01L - 0.019144654296L * LNALOW);
  }
}

// The x(CO2) diagrams look along the fluid the reaction releases: with one
// sign at every corner, a reaction giving 1 CO2 and 3 H2O can still cross
// x(CO2) = 0.25, where its dmu is highest. The same line written the other
// way round, and the P-x section whose T puts dmu above 0 at x(CO2) 0.25
// (-35 + 49 - 13.09 = +0.91 kJ at 700 K), are in the window too: found by
// the values inside it. The diagram variable is left as the corners had it.
TEST_F(Window, FluidReleasedByTheReaction) {
  // dmu = -35 + 0.07 T + R T (ln x + 3 ln(1 - x)) for A = C + 3 W.
  rows({{"A", 35, 0.074L, 0}, {"C", 0, 0.001L, 0}, {"W", 0, 0.001L, 0}});
  CO2POS = 2;
  H2OPOS = 3;
  XCO2LOW = 0.01L;
  XCO2HIGH = 0.99L;
  FIXEDP = 1;
  FIXEDT = 700;
  window(0, 40, 500, 900);
  struct cas {
    const char* what;
    diagramtype mode;
    std::vector<smallint> nu;
    long evaluations;  // affinities: 4 corners, 2 more for the x test; 0: a scan inside
    extended lastx;
  };
  const std::vector<cas> cases = {
      {"T-x, releases CO2 and H2O", diagramtype::txcalc, {-1, 1, 3}, 6, 0.25L},
      {"T-x, the reverse: consumes CO2 and H2O", diagramtype::txcalc, {1, -1, -3}, 0, 0.01L},
      {"P-x, dV the same at both x ends", diagramtype::pxcalc, {-1, 1, 3}, 0, 0.01L},
  };
  for (const cas& c : cases) {
    reaction(c.nu);
    DIAGRAMMODE = c.mode;
    g4vector g;
    bool in = false;
    const long n = gems([&] { in = ZQRE::INPTXWINDOW(1, g); });
    EXPECT_TRUE(in) << c.what;
    if (c.evaluations > 0)
      EXPECT_EQ(n, c.evaluations * 9) << c.what;
    else
      EXPECT_GT(n, 6 * 9) << c.what;
    for (long j = 1; j <= 3; ++j) {
      EXPECT_EQ((*TD)(j, TDSLOT::XCO2), c.lastx) << c.what;
      EXPECT_EQ((*TD)(j, TDSLOT::XH2O), 1 - c.lastx) << c.what;
    }
    // The last end-member's own entropy and enthalpy (the slots a pseudo
    // end-member's value would take) come through a scan as they were.
    EXPECT_EQ((*TD)(3, TDSLOT::S), 0.001L) << c.what;
    EXPECT_EQ((*TD)(3, TDSLOT::H), 0) << c.what;
  }
}

// The window of an average: the reaction must cross both lines of the
// window the same way, or the one line when the window is a line.
TEST_F(Window, AverageWindow) {
  (*COV)(1, 1) = 0.25L;
  (*COV)(1, 2) = (*COV)(2, 1) = 0.1L;
  (*COV)(2, 2) = 0.16L;
  const extended sdP = 4.582575694955840007L, sdT = 91.651513899116800132L;
  NR = 1;
  struct cas {
    const char* what;
    avtype mode;
    bool oneline;
    extended plow, phigh, tlow, thigh, fixedp, fixedt;
    bool in;
    extended sd;
  };
  const std::vector<cas> cases = {
      {"P on one line of T", avtype::avpmode, true, 0, 40, 700, 700, 0, 700, true, sdP},
      {"P on one line, root beyond it", avtype::avpmode, true, 10, 40, 700, 700, 0, 700, false, 1000},
      {"T on one line of P", avtype::avtmode, true, 5.001L, 5.001L, 300, 1300, 5.001L, 0, true, sdT},
      {"P, four corners", avtype::avpmode, false, 0, 40, 650, 750, 0, 700, true, sdP},
      {"P, crossing diagonally", avtype::avpmode, false, 0, 10, 650, 1000, 0, 700, false, 1000},
      {"T, four corners", avtype::avtmode, false, 0, 10, 300, 1300, 5.001L, 0, true, sdT},
      {"T, crossing diagonally", avtype::avtmode, false, 0, 30, 300, 1000, 5.001L, 0, false, 1000},
      {"combined P-T as average P", avtype::avptmode, false, 0, 40, 650, 750, 0, 700, true, sdP},
  };
  for (const cas& c : cases) {
    AVMODE = c.mode;
    JUSTCHECKONE = c.oneline;
    window(c.plow, c.phigh, c.tlow, c.thigh);
    FIXEDP = c.fixedp;
    FIXEDT = c.fixedt;
    extended sd = 0;
    EXPECT_EQ(ZQRE::INAVWINDOW(sd), c.in) << c.what;
    EXPECT_NEAR(sd, c.sd, 1e-8L) << c.what;
  }
  // The other kinds of average never take a reaction.
  for (avtype mode : {avtype::avpxmode, avtype::avtxmode, avtype::avptxmode, avtype::avplnamode,
                      avtype::avtlnamode, avtype::avptlnamode})
    for (bool oneline : {true, false}) {
      AVMODE = mode;
      JUSTCHECKONE = oneline;
      window(0, 40, 300, 1300);
      FIXEDT = 700;
      extended sd = 0;
      EXPECT_FALSE(ZQRE::INAVWINDOW(sd)) << static_cast<int>(mode);
      EXPECT_EQ(sd, 1000);
    }
  // dmu exactly 0 at an end of the line is not positive.
  rows({{"a", 0, 1, 0}, {"b", 512, 2, 0}});
  AVMODE = avtype::avtmode;
  JUSTCHECKONE = true;
  FIXEDP = 5;
  for (smallint sign : {1, -1}) {
    reaction({static_cast<smallint>(-sign), sign});
    extended sd = 0;
    window(0, 40, 512, 1000);
    EXPECT_EQ(ZQRE::INAVWINDOW(sd), sign == -1) << sign;
    window(0, 40, 300, 512);
    EXPECT_EQ(ZQRE::INAVWINDOW(sd), sign == 1) << sign;
  }
}

// After the turn the products are stable just up the diagram's axis: dmu
// there is not positive. A = B goes up in T and down in P, so it is turned
// in the diagrams that look 5 K up and kept in those that look 0.2 kbar up.
TEST_F(Window, TurnReaction) {
  rows({{"A", -2000, 0.100L, 3.0L}, {"B", -2003, 0.095L, 2.9L}, {"L", 0, 0.01L, 0}});
  KEEPLNAS[1] = 0.02L;
  for (diagramtype mode : {diagramtype::ptcalc, diagramtype::txcalc, diagramtype::tlnacalc, diagramtype::tmucalc,
                           diagramtype::pxcalc, diagramtype::plnacalc, diagramtype::pmucalc}) {
    reaction({-1, 1});
    ALNK[1] = 0.5L;
    (*TD)(3, TDSLOT::H) = 0;
    (*TD)(3, TDSLOT::S) = 0.01L;
    DIAGRAMMODE = mode;
    ZQCALC2::TURNREACTION(1, 5.001L, 700, 0, 1, 2, -3);
    const bool up = mode == diagramtype::ptcalc || mode == diagramtype::txcalc || mode == diagramtype::tlnacalc ||
                    mode == diagramtype::tmucalc;
    const smallint s = up ? -1 : 1;
    const int which = static_cast<int>(mode);
    EXPECT_EQ((*R)(1, 1), -s) << which;
    EXPECT_EQ((*R)(1, 2), s) << which;
    EXPECT_EQ((*R)(1, 3), 0) << which;
    EXPECT_EQ(ALNK[1], 0.5L * s) << which;
    EXPECT_LE(dmu(up ? 5.001L : 5.201L, up ? 705 : 700), 0) << which;
    // The pseudo end-member keeps the diagram's variable.
    const bool lna = mode == diagramtype::plnacalc || mode == diagramtype::tlnacalc;
    const bool mu = mode == diagramtype::pmucalc || mode == diagramtype::tmucalc;
    EXPECT_EQ((*TD)(3, TDSLOT::S), lna ? 0.02L - CONST::RGAS * 2 : 0.01L) << which;
    EXPECT_EQ((*TD)(3, TDSLOT::H), mu ? -3 : 0) << which;
  }
  // Outside calc mode 3 only the message.
  for (calcmodetype mode : {calcmodetype::nlecalc, calcmodetype::rockcalc}) {
    CALCMODE = mode;
    DIAGRAMMODE = diagramtype::ptcalc;
    reaction({-1, 1});
    testsupport::Terminal term;
    ZQCALC2::TURNREACTION(1, 5.001L, 700, 0, 1, 2, -3);
    EXPECT_EQ(term.text(), "\ncall of turnreaction unexpected\n");
    EXPECT_EQ((*R)(1, 1), -1);
  }
}

TEST_F(Window, UnknownDiagramStops) {
  testsupport::Terminal quiet;
  DIAGRAMMODE = static_cast<diagramtype>(99);
  g4vector g;
  EXPECT_EQ(fatal([&] { ZQRE::INPTXWINDOW(1, g); }), "inPTXwindow: unknown diagrammode");
  EXPECT_EQ(fatal([] { ZQCALC2::TURNREACTION(1, 5, 700, 0, 1, 0, 0); }), "turnreaction: unknown diagrammode");
}

}  // namespace
