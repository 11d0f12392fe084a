// Calc mode 3's pieces on hand-made inputs: the window widening, the table's
// column choices, the crossing search and its chords, the stability rules
// against a brute-force comparison of Gibbs energies, and the uncertainty of
// an intersection against the 2 x 2 propagation done in exact fractions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "frame/channels.h"
#include "frame/zqglobal_refinder.h"
#include "model/zqcalc2_pseudo.h"
#include "reactions/zqptx.h"
#include "zqfind_testsupport.h"

using namespace ZQGLOBAL;

namespace {


// Three polymorphs with closed-form lines: ura = vel, ura = wex and vel = wex
// meet at 4.50067 kbar, 773.143 K.
const std::vector<findtest::row> POLY = {
    {"ura", 0, 0.100L, 2.00L}, {"vel", -6.8315L, 0.090L, 1.80L}, {"wex", 20.45375L, 0.125L, 1.75L}};
const smallint NU[3][3] = {{1, -1, 0}, {1, 0, -1}, {0, 1, -1}};
constexpr extended XP = 4.5006666666666667L, XT = 773.14333333333333L;

class Ptx : public findtest::FindTest {
 protected:
  static void polymorphs();
  static void bentline();
};

// The closed-form line that bends back in T, solved for T along P.
void Ptx::bentline() {
  rows(findtest::BEND);
  NNE = 2;
  NE = 0;
  RLINES[1] = "1)  A = B";
  CALCVARIABLE = calcvariabletype::calctemperature;
  OTHERVARIABLE = othervariabletype::fixedpressure;
  ZQPTX::PTMODE = findtype::findt;
  PPRECISION = 3, TPRECISION = 2;
  LNAPOS = MUPOS = 0;
  CONTROLJX.runnametext = "";
}

void Ptx::polymorphs() {
  rows(POLY);
  NNE = 3;
  NE = 0;
  NR = 3;
  for (long k = 1; k <= 3; ++k)
    for (long e = 1; e <= 3; ++e) (*R)(k, e) = NU[k - 1][e - 1];
  (*COV)(2, 2) = 0.04L;
  (*COV)(3, 3) = 0.09L;
  DIAGRAMMODE = diagramtype::ptcalc;
  CALCVARIABLE = calcvariabletype::calctemperature;
  ZQPTX::PTMODE = findtype::findt;
  FIXEDXCO2 = 0, FIXEDXH2O = 0;
  FIXEDP = 4.5L, FIXEDT = 773.15L;
}

TEST(PtxText, StripnKeepsFluidDigitsAndTheReactionNumber) {
  const std::pair<std::string, std::string> cases[] = {
      {"3)  2vel = 2ura", "3)  vel = ura"},
      {"12) 3wex + H2O = CO2 + 10ura", "12) wex + H2O = CO2 + ura"},
      {"1)  a2b = c", "1)  ab = c"},
      {"1234567", "1234"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ZQPTX::STRIPN(in), out) << in;
}

TEST_F(Ptx, WideningIsClampedOneSidedAndRestoredBitForBit) {
  struct cas {
    calcvariabletype cv;
    extended lo, hi, wlo, whi;
  } cases[] = {
      {calcvariabletype::calctemperature, 400, 500, 283, 900},
      {calcvariabletype::calctemperature, 700, 2800, 400, 3000},
      {calcvariabletype::calcpressure, ABSPLOW + 2, 1497, ABSPLOW, 1500},
      {calcvariabletype::calcpressure, 10.1L, 20.3L, 5.1L, 25.3L},
  };
  for (const cas& c : cases) {
    const bool t = c.cv == calcvariabletype::calctemperature;
    window(3.3L, 7.7L, 555.5L, 666.6L);
    (t ? TLOW : PLOW) = c.lo / 3 * 3;
    (t ? THIGH : PHIGH) = c.hi / 7 * 7;
    const extended lo = t ? TLOW : PLOW, hi = t ? THIGH : PHIGH;
    ZQPTX::ENLARGEWINDOW(c.cv);
    EXPECT_NEAR(t ? TLOW : PLOW, c.wlo, 1e-12L);
    EXPECT_NEAR(t ? THIGH : PHIGH, c.whi, 1e-12L);
    EXPECT_EQ(t ? PLOW : TLOW, t ? 3.3L : 555.5L);  // the other window stays
    ZQPTX::RESTOREWINDOW(c.cv);
    ZQPTX::RESTOREWINDOW(c.cv);
    EXPECT_EQ(t ? TLOW : PLOW, lo);
    EXPECT_EQ(t ? THIGH : PHIGH, hi);
  }
}

TEST(PtxTable, ShownColumnsThinOutLongLists) {
  struct cas {
    smallint n;
    std::vector<int> shown;
  } cases[] = {
      {1, {1}},
      {20, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
      {21, {1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21}},
      {201, {1, 12, 23, 34, 45, 56, 67, 78, 89, 100, 111, 122, 133, 144, 155, 166, 177, 188, 199, 201}},
  };
  for (const cas& c : cases) {
    farray<bool, 1, maxlistvalues> shown{};
    ZQPTX::SHOWNCOLUMNS(c.n, shown);
    std::vector<int> got;
    for (int i = 1; i <= maxlistvalues; ++i)
      if (shown[i]) got.push_back(i);
    EXPECT_EQ(got, c.shown) << c.n;
  }
}

TEST_F(Ptx, ReferenceColumnMovesToTheNearestInWindowTheUpperOnATie) {
  window(0, 40, 400, 500);
  struct cas {
    std::vector<extended> row;
    smallint j0, want;
  } cases[] = {
      {{450, 450, 450}, 2, 2},
      {{450, 1e21L, 450}, 2, 3},          // equal distance: the upper
      {{-1e21L, 390, 450, 600, 450}, 2, 3},
      {{450, 600, 600, 600, 450}, 3, 5},  // the tie again, farther out
      {{450, 600, 600, 600, 600}, 4, 1},
      {{399, 501, 1e21L}, 2, 0},          // nowhere inside
      {{400, 501}, 2, 1},                 // the bounds count as inside
  };
  for (const cas& c : cases) {
    farray<extended, 1, maxlistvalues> row{};
    for (std::size_t i = 0; i < c.row.size(); ++i) row[static_cast<long>(i + 1)] = c.row[i];
    EXPECT_EQ(ZQPTX::NEARESTINRANGE(row, c.j0, static_cast<smallint>(c.row.size()), findtype::findt), c.want);
  }
}

// The crossing marks of two single-branch lines given by their values.
std::vector<int> marks(const std::vector<extended>& a, const std::vector<extended>& b) {
  const smallint n = static_cast<smallint>(a.size());
  farray<extended, 1, maxlistvalues> X{};
  for (long m = 1; m <= n; ++m) {
    X[m] = static_cast<extended>(m);
    ZQPTX::RLINE1(1, m) = a[static_cast<std::size_t>(m - 1)];
    ZQPTX::RLINE1(2, m) = b[static_cast<std::size_t>(m - 1)];
    ZQPTX::RLINE2(1, m) = ZQPTX::RLINE2(2, m) = ZQPTX::NOSECONDLINE;
  }
  ZQPTX::crossings c;
  farray<smallint, 1, ZQPTX::maxintreactions> rn{};
  rn[1] = 1, rn[2] = 2;
  c.LOAD(2, rn, n, X);
  bool found = false;
  c.CROSSOVER(found);
  std::vector<int> got;
  for (smallint m = 1; m <= n; ++m)
    if (c.mk(1, 1, m)) got.push_back(m);
  EXPECT_EQ(found, !got.empty());
  return got;
}

TEST_F(Ptx, CrossingsAreMarkedWhereTheOrderChangesInsideTheWindow) {
  window(0, 40, 400, 900);
  ZQPTX::PTMODE = findtype::findt;
  struct cas {
    const char* what;
    std::vector<extended> a, b;
    std::vector<int> want;
  } cases[] = {
      {"one change", {500, 520, 540, 560}, {530, 530, 530, 530}, {3}},
      // Lines that meet at a list value, to the table's rounding, cross there
      // or close by: marked in the intervals on both sides of it (each
      // refines to where they cross, printed once).
      {"below, then equal, then below", {500, 530, 520}, {530, 530, 530}, {2, 3}},
      {"above, then equal, then above", {560, 530, 540}, {530, 530, 530}, {2, 3}},
      {"below, then equal to the rounding, then above", {500, 530.000001L, 540}, {530, 530, 530}, {2, 3}},
      {"equal at the first value", {530, 520, 510}, {530, 530, 530}, {2}},
      {"changes at two neighbours: both", {500, 540, 500, 490}, {530, 530, 530, 530}, {2, 3}},
      {"a gap restarts the comparison", {500, 1e21L, 560}, {530, 530, 530}, {}},
      {"outside the window", {300, 950, 950}, {530, 530, 530}, {}},
      {"never crossing", {500, 510, 520}, {530, 540, 550}, {}},
  };
  for (const cas& c : cases) EXPECT_EQ(marks(c.a, c.b), c.want) << c.what;
}

TEST(PtxChords, ChordCrossingAndItsRefusals) {
  ZQPTX::crossings c;
  struct cas {
    extended xlo, xhi, Alo, Ahi, Blo, Bhi;
    bool ok;
    extended x, y;
  } cases[] = {
      {1, 2, 10, 20, 20, 10, true, 1.5L, 15},
      {-1, 0, 0, 2, 2, 0, true, -0.5L, 1},           // a bracket ending at 0 (ln a lists)
      {-1e-12L, 0, 0, 2, 2, 0, false, 0, 0},         // too narrow
      {1, 2, 10, 20, 11, 21, false, 0, 0},           // parallel
      {3, 3, 10, 20, 20, 10, false, 0, 0},           // zero width
  };
  for (const cas& k : cases) {
    c.xlo = k.xlo, c.xhi = k.xhi, c.Alo = k.Alo, c.Ahi = k.Ahi, c.Blo = k.Blo, c.Bhi = k.Bhi;
    extended x = 0, y = 0;
    bool ok = true;
    c.CROSSPTX(x, y, ok);
    EXPECT_EQ(ok, k.ok) << k.xlo << " " << k.xhi;
    if (ok) {
      EXPECT_NEAR(x, k.x, 1e-15L);
      EXPECT_NEAR(y, k.y, 1e-15L);
    }
  }
}

TEST(PtxSets, SkipTestsReadAllThreeWords) {
  IO::longint3 a, b, c;
  IO::BSET2(a, 70);
  IO::BSET2(b, 70);
  IO::BSET2(b, 3);
  IO::BSET2(c, 3);
  EXPECT_TRUE(ZQPTX::BSHARE3(a, b));
  EXPECT_TRUE(ZQPTX::BWITHIN3(a, b));
  EXPECT_FALSE(ZQPTX::BWITHIN3(b, a));
  EXPECT_FALSE(ZQPTX::BSHARE3(a, c));
  EXPECT_TRUE(ZQPTX::BWITHIN3(c, b));
}

TEST_F(Ptx, IntersectionUncertaintyIsTheTwoByTwoPropagation) {
  polymorphs();
  window(1, 8, 573.15L, 973.15L);
  struct cas {
    smallint r1, r2;
  } cases[] = {{1, 3}, {3, 1}, {1, 2}, {2, 3}};
  for (const cas& c : cases) {
    extended sdp = -1, sdt = -1, cor = -1;
    ZQPTX::INTERSECTIONPTX(c.r1, c.r2, XP, XT, sdp, sdt, cor);
    EXPECT_NEAR(sdp, 0.77746025264604L, 2e-6L) << c.r1 << c.r2;
    EXPECT_NEAR(sdt, 10.413666234542205L, 2e-5L);
    EXPECT_NEAR(cor, -0.1537070062818706L, 2e-6L);
  }
  COV->fill(0);
  extended sdp = -1, sdt = -1, cor = -1;
  ZQPTX::INTERSECTIONPTX(1, 3, XP, XT, sdp, sdt, cor);
  EXPECT_EQ(sdp, 0);
  EXPECT_EQ(sdt, 0);
  EXPECT_EQ(cor, 0);
  // An ln a variance of vel enters as the enthalpy variance of vel does, times (R T)^2.
  COV->fill(0);
  (*COV)(2, 2) = 0.04L;
  extended ap = 0, at = 0, ac = 0;
  ZQPTX::INTERSECTIONPTX(1, 3, XP, XT, ap, at, ac);
  COV->fill(0);
  // An activity this close to 1 leaves the lines' slopes as they were.
  ACTIVITY[2] = 0.9999999L;
  SDACTIVITY[2] = 0.01L * ACTIVITY[2];  // sd(ln a) = 0.01
  ZQPTX::INTERSECTIONPTX(1, 3, XP, XT, sdp, sdt, cor);
  const extended scale = CONST::RGAS * XT * 0.01L / 0.2L;
  EXPECT_NEAR(sdp, ap * scale, 1e-6L);
  EXPECT_NEAR(sdt, at * scale, 1e-5L);
  EXPECT_NEAR(cor, ac, 1e-6L);
  ACTIVITY[2] = 1;
  SDACTIVITY[2] = 0;
  // Other diagrams leave the results untouched.
  DIAGRAMMODE = diagramtype::txcalc;
  sdp = sdt = cor = 7;
  ZQPTX::INTERSECTIONPTX(1, 3, XP, XT, sdp, sdt, cor);
  EXPECT_EQ(sdp, 7);
}

// pd = pa has no entropy change (a line at constant P) and pe = pa no volume
// change (a line at constant T): any two of a point's reactions, a flat or a
// steep one among them, give the point's one spread. Expected values are the
// inverse of the two lines' slopes applied to the enthalpy covariance,
// worked out independently.
TEST_F(Ptx, IntersectionUncertaintyOfFlatAndSteepLines) {
  rows({{"pa", 0, 0.08L, 2.2L}, {"pb", 14.536L, 0.099L, 1.85L}, {"pd", -0.84983L, 0.08L, 2.37L},
        {"pe", 8, 0.09L, 2.2L}});
  NNE = 4, NE = 0, NR = 5;
  const smallint nu[5][4] = {{-1, 1, 0, 0}, {-1, 0, 1, 0}, {0, -1, 1, 0}, {-1, 0, 0, 1}, {0, 0, -1, 1}};
  for (long k = 1; k <= 5; ++k)
    for (long e = 1; e <= 4; ++e) (*R)(k, e) = nu[k - 1][e - 1];
  (*COV)(1, 1) = 0.04L, (*COV)(2, 2) = 0.09L, (*COV)(3, 3) = 0.25L, (*COV)(4, 4) = 0.16L;
  (*COV)(1, 2) = (*COV)(2, 1) = 0.01L;
  (*COV)(3, 4) = (*COV)(4, 3) = 0.03L;
  CALCVARIABLE = calcvariabletype::calctemperature;
  ZQPTX::PTMODE = findtype::findt;
  window(1, 10, 573.15L, 1073.15L);
  struct cas {
    extended T;
    std::vector<std::pair<smallint, smallint>> pairs;
    extended sdp, sdt, cor;
  } cases[] = {
      {672.96578947368421L, {{2, 1}, {1, 2}, {2, 3}, {1, 3}}, 3.16774400419677L, 63.6552384313389L,
       -0.962767749997656L},
      {800, {{2, 4}, {4, 2}, {4, 5}, {2, 5}}, 3.16774400419677L, 44.7213595499958L, -0.29065917948809L},
  };
  for (const cas& c : cases)
    for (const auto& [r1, r2] : c.pairs) {
      extended sdp = -1, sdt = -1, cor = -1;
      ZQPTX::INTERSECTIONPTX(r1, r2, 5, c.T, sdp, sdt, cor);
      EXPECT_NEAR(sdp, c.sdp, 1e-9L) << r1 << " " << r2;
      EXPECT_NEAR(sdt, c.sdt, 1e-7L) << r1 << " " << r2;
      EXPECT_NEAR(cor, c.cor, 1e-9L) << r1 << " " << r2;
    }
}

// G of end-member e at (P, T) from its row, as the fixture's rows define it.
extended gibbs(long e, extended P, extended T) {
  return (*TD)(e, TDSLOT::H) - T * (*TD)(e, TDSLOT::S) + (P - CONST::PR) * (*TD)(e, TDSLOT::V);
}

TEST_F(Ptx, IntersectionStabilityAgreesWithBruteForce) {
  polymorphs();
  window(1, 8, 573.15L, 973.15L);
  NINT = 1;
  NIR[1] = 3;
  IO::BCLEAR2(IBIT[1]);
  for (smallint e = 1; e <= 3; ++e) IO::BSET2(IBIT[1], e);
  for (smallint k = 1; k <= 3; ++k) {
    IO::BCLEAR2(RBIT[k]);
    for (smallint e = 1; e <= 3; ++e)
      if ((*R)(k, e) != 0) IO::BSET2(RBIT[k], e);
  }
  // Every reaction lies within the intersection's set: it is stable.
  EXPECT_TRUE(ZQPTX::ISTABLE(1, XP, XT));
  // A two-phase "intersection" {ura, vel} judged by the reactions through wex:
  // metastable exactly where some other phase is lower in G than both.
  IO::BCLEAR2(IBIT[1]);
  IO::BSET2(IBIT[1], 1);
  IO::BSET2(IBIT[1], 2);
  for (extended P : {2.0L, 4.0L, 6.0L})
    for (extended T : {700.0L, 773.0L, 850.0L}) {
      const extended g1 = gibbs(1, P, T), g2 = gibbs(2, P, T), g3 = gibbs(3, P, T);
      const bool want = !(g3 < std::max(g1, g2));
      EXPECT_EQ(ZQPTX::ISTABLE(1, P, T), want) << P << " " << T;
    }
}

}  // namespace

namespace {

// On an ln a diagram the stability of a point is judged with the pseudo
// end-member at the point's ln a, whatever value the line table left in it.
TEST_F(Ptx, LnaStabilityUsesThePointsValue) {
  rows({{"A", -100, 0.1L, 2.0L}, {"B", -100, 0.1L, 2.0L}, {"X", 0, 0, 0}});
  NNE = 3;
  NE = 0;
  NR = 1;
  LNAPOS = 3;
  KEEPLNAS[1] = 0;
  reaction({-1, 1, 1});  // A = B + X: its affinity is R T ln a
  DIAGRAMMODE = diagramtype::plnacalc;
  FIXEDT = 800;
  CALCVARIABLE = calcvariabletype::calcpressure;
  IO::BCLEAR2(RBIT[1]);
  IO::BCLEAR2(IBIT[1]);
  for (smallint e = 1; e <= 3; ++e) IO::BSET2(RBIT[1], e);
  IO::BSET2(IBIT[1], 1);
  IO::BSET2(IBIT[1], 2);
  struct cas {
    extended left, at;
    bool stable;
  } cases[] = {{1, -1, false}, {-1, 1, true}, {-1, -1, false}, {1, 1, true}};
  for (const cas& c : cases) {
    ZQCALC2::SETLNAPSEUDO(c.left);
    EXPECT_EQ(ZQPTX::ISTABLE(1, c.at, 5), c.stable) << c.left << " " << c.at;
  }
  LNAPOS = 0;
}

}  // namespace

namespace {

TEST_F(Ptx, ActivitiesAreNotedListedOrTabulated) {
  struct cas {
    std::vector<extended> a;  // activities of e1, e2, ...; H2O sits at position 2
    std::string want;
  } cases[] = {
      {{1, 1, 0.999L}, "\nUnit activities\n"},
      {{0.5L, 0.2L, 1, 0.25L},
       "\nUnit activities except :\n     name        a sd(ln a)\n       e1    0.500  0.20000\n       e4    0.250  0.40000\n"},
      {{0.5L, 1, 0.5L, 0.5L, 0.5L, 1, 1, 1, 1, 1, 1},
       "\n          "
       "       e1       e3       e4       e5       e6       e7       e8       e9\n"
       "a             0.500    0.500    0.500    0.500     1.00     1.00     1.00     1.00\n"
       "sd(ln a)    0.20000  0.20000  0.20000  0.20000        0        0        0        0\n"
       "\n                e10      e11\n"
       "a              1.00     1.00\n"
       "sd(ln a)          0        0\n"},
  };
  for (const cas& c : cases) {
    NCV = static_cast<smallint>(c.a.size());
    H2OPOS = 2;
    for (long i = 1; i <= NCV; ++i) {
      NAME[i] = "e" + std::to_string(i);
      ACTIVITY[i] = c.a[static_cast<std::size_t>(i - 1)];
      SDACTIVITY[i] = ACTIVITY[i] < 1 ? 0.1L : 0;
    }
    VARLNA.fill(3);
    // The summary file keeps lines the terminal would cut.
    testsupport::ScratchDir dir;
    testsupport::openchannel(CHANNEL::SUMMARYBIT, "sum.txt");
    testsupport::Terminal term;
    ZQPTX::ACTIVITYTABLE();
    std::fflush(IO::CHANNELFILE(CHANNEL::SUMMARYBIT).f);
    std::ifstream in("sum.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(c.want), std::string::npos) << text;
    if (c.a.size() == 3) {
      EXPECT_EQ(VARLNA[1], 0);
    }
    testsupport::resetio();
  }
  H2OPOS = 0;
}

// A reaction line across a pressure window, solved at five temperatures: it
// leaves the window below and above, and has a sd(P) from the enthalpy of B.
TEST_F(Ptx, LineTableMarksAndUncertaintyCells) {
  NNE = 2;
  NE = 0;
  RLINES[1] = "1)  A = B";
  (*COV)(2, 2) = 0.01L;
  DIAGRAMMODE = diagramtype::ptcalc;
  CALCVARIABLE = calcvariabletype::calcpressure;
  OTHERVARIABLE = othervariabletype::fixedtemperature;
  ZQPTX::PTMODE = findtype::findp;
  PPRECISION = 3, TPRECISION = 2;
  LNAPOS = MUPOS = 0;
  FIXEDT = 700, FIXEDP = 5, FIXEDXH2O = 0, FIXEDXCO2 = 0;
  window(4, 6, 600, 800);
  NLT = 5;
  for (long i = 1; i <= 5; ++i) LT[i] = 640 + 20 * i;
  CONTROLJX.runnametext = "";
  testsupport::Terminal term;
  ZQPTX::PTXTABLE();
  const std::string out = term.text();
  EXPECT_EQ(ZQPTX::RLINE2(1, 1), ZQPTX::NOSECONDLINE);
  for (long i = 1; i <= 5; ++i) EXPECT_NEAR(ZQPTX::RLINE1(1, i), 3.001L + (i - 1), 1e-6L) << i;
  EXPECT_EQ(PLOW, 4);  // the widened window is restored
  EXPECT_EQ(PHIGH, 6);
  const std::string want =
      "Prsessures in the range 4.0 <-> 6.0kbar;  \nuncertainties at 427" "\xA1" "C \n\n"
      "P(kbar)  386.85  406.85  426.85  446.85  466.85     sdT     sdP\n\n"
      "1            -   4.001   5.001       +       +      20    1.00\n" +
      std::string(46, ' ') + "\n";
  EXPECT_NE(out.find(want), std::string::npos) << out;
  EXPECT_NE(out.find("linearised at T = 427, P = 5.0\n"), std::string::npos) << out;
}


// The table's ln K takes ln x of the fluid only for a mole fraction strictly
// between 0 and 1, as the lines themselves do: A = B + 2 F with all
// activities 1 has ln K = 0 when x(F) is 0 (nothing to take) and when it is 1
// (ln 1 = 0), F standing as H2O or as CO2.
TEST_F(Ptx, LnKTakesTheFluidOnlyBetweenItsEnds) {
  const struct {
    bool h2o;
    extended x;
  } cases[] = {{true, 0}, {true, 1}, {false, 0}, {false, 1}};
  for (const auto& c : cases) {
    rows({{"A", -2000, 0.100L, 3.0L}, {"B", -2003, 0.095L, 2.9L}, {"F", -300, 0.2L, 2.0L}});
    NNE = 3;
    NE = 0;
    NR = 1;
    reaction({-1, 1, 2});
    RLINES[1] = "1)  A = B + 2F";
    (c.h2o ? H2OPOS : CO2POS) = 3;
    (c.h2o ? CO2POS : H2OPOS) = 0;
    (c.h2o ? FIXEDXH2O : FIXEDXCO2) = c.x;
    (c.h2o ? FIXEDXCO2 : FIXEDXH2O) = 1 - c.x;
    CALCVARIABLE = calcvariabletype::calcpressure;
    OTHERVARIABLE = othervariabletype::fixedtemperature;
    ZQPTX::PTMODE = findtype::findp;
    PPRECISION = 3, TPRECISION = 2;
    LNAPOS = MUPOS = 0;
    FIXEDT = 700, FIXEDP = 5;
    window(1, 10, 600, 800);
    NLT = 1;
    LT[1] = 700;
    CONTROLJX.runnametext = "";
    std::string out;
    {
      testsupport::Terminal term;
      ZQPTX::PTXTABLE();
      out = term.text();
    }
    const std::string what = std::string(c.h2o ? "H2O" : "CO2") + " x " + std::to_string((double)c.x);
    const std::size_t at = out.find("\n1 ", out.find("ln_K"));
    ASSERT_NE(at, std::string::npos) << what << "\n" << out;
    std::istringstream row(out.substr(at + 1, out.find('\n', at + 1) - at - 1));
    std::vector<std::string> f;
    for (std::string w; row >> w;) f.push_back(w);
    ASSERT_EQ(f.size(), 7u) << what << "\n" << out;
    EXPECT_EQ(std::strtod(f[5].c_str(), nullptr), 0.0) << what << "\n" << out;
    EXPECT_NE(f[5].find_first_of("0123456789"), std::string::npos) << what << "\n" << out;
  }
  H2OPOS = CO2POS = 0;
}
}  // namespace

namespace {

// The Schreinemakers table of the polymorphs' intersection against the
// Gibbs energies themselves: a reaction is stable on a side of the point
// when, on its line there, the phase it leaves out lies higher than its own.
TEST_F(Ptx, SchreinemakersColumnsAgreeWithTheGibbsEnergies) {
  polymorphs();
  CALCVARIABLE = calcvariabletype::calctemperature;
  OTHERVARIABLE = othervariabletype::fixedpressure;
  PPRECISION = 3, TPRECISION = 2;
  LNAPOS = MUPOS = 0;
  window(1, 8, 573.15L, 973.15L);
  NLP = 8;
  for (long i = 1; i <= 8; ++i) LP[i] = static_cast<extended>(i);
  CONTROLJX.runnametext = "";
  for (smallint k = 1; k <= 3; ++k) ZQCALC2::MAKERLINE(k);
  NINT = 1;
  NIR[1] = 3;
  IO::BCLEAR2(IBIT[1]);
  for (smallint k = 1; k <= 3; ++k) {
    IR(1, k) = k;
    IO::BSET2(IBIT[1], k);
    IO::BCLEAR2(RBIT[k]);
    for (smallint e = 1; e <= 3; ++e)
      if ((*R)(k, e) != 0) IO::BSET2(RBIT[k], e);
  }
  testsupport::ScratchDir dir;
  testsupport::openchannel(CHANNEL::SUMMARYBIT, "sum.txt");
  {
    testsupport::Terminal term;
    ZQPTX::PTXTABLE();
    ZQPTX::INTERSECTIONS();
  }
  std::fflush(IO::CHANNELFILE(CHANNEL::SUMMARYBIT).f);
  std::ifstream in("sum.txt", std::ios::binary);
  std::string line;
  int rows = 0;
  while (std::getline(in, line)) {
    if (line.size() < 86 || line[1] != ')') continue;
    const smallint k = static_cast<smallint>(line[0] - '0');
    long absent = 0;
    for (long e = 1; e <= 3; ++e)
      if ((*R)(k, e) == 0) absent = e;
    long p = 0;
    for (long e = 1; e <= 3; ++e)
      if (e != absent) p = e;
    // On the line of k at T0 -+ 40 K: P from its (linear) affinity.
    for (int side = 0; side < 2; ++side) {
      const extended T = XT + (side == 0 ? -40 : 40);
      long q = 0;
      for (long e = 1; e <= 3; ++e)
        if (e != absent && e != p) q = e;
      const extended dH = (*TD)(p, TDSLOT::H) - (*TD)(q, TDSLOT::H);
      const extended dS = (*TD)(p, TDSLOT::S) - (*TD)(q, TDSLOT::S);
      const extended dV = (*TD)(p, TDSLOT::V) - (*TD)(q, TDSLOT::V);
      const extended P = CONST::PR - (dH - T * dS) / dV;
      const bool stable = gibbs(absent, P, T) > gibbs(p, P, T);
      const std::string cell = line.substr(side == 0 ? 66 : 76, 10);
      EXPECT_EQ(cell == "    stable", stable) << line << " side " << side;
      EXPECT_TRUE(cell == "    stable" || cell == std::string(10, ' ')) << line;
    }
    ++rows;
  }
  EXPECT_EQ(rows, 3);
  testsupport::resetio();
}

}  // namespace

namespace {

// A line that bends back in T has two roots at each pressure: the table keeps
// the lower in its first row and the higher in its second, as the closed form
// 1e-5 u^2 - 0.01 u + 0.0185 + 0.1 (P - Pr) = 0, u = T - Tr, gives them.
TEST_F(Ptx, BentLineKeepsItsLowerRootFirst) {
  bentline();
  DIAGRAMMODE = diagramtype::ptcalc;
  FIXEDT = 700, FIXEDP = 2, FIXEDXH2O = 0, FIXEDXCO2 = 0;
  window(1, 4, 300, 1400);
  NLP = 4;
  for (long i = 1; i <= 4; ++i) LP[i] = static_cast<extended>(i);
  std::string out;
  {
    testsupport::Terminal term;
    ZQPTX::PTXTABLE();
    out = term.text();
  }
  for (long i = 1; i <= 4; ++i) {
    const extended c = 0.0185L + 0.1L * (LP[i] - CONST::PR);
    const extended d = std::sqrt(1e-4L - 4e-5L * c);
    EXPECT_NEAR(ZQPTX::RLINE1(1, i), CONST::TR + (0.01L - d) / 2e-5L, 0.05L) << i;
    EXPECT_NEAR(ZQPTX::RLINE2(1, i), CONST::TR + (0.01L + d) / 2e-5L, 0.05L) << i;
  }
  // Both rows carry four values and their uncertainty cells (no data-set sd: 0).
  const std::size_t at = out.find("\n1 ", out.find("sdT"));
  ASSERT_NE(at, std::string::npos) << out;
  const std::string second = out.substr(out.find('\n', at + 1) + 1, 6 + 4 * 8);
  EXPECT_EQ(second.substr(0, 6), "      ");
  EXPECT_EQ(second.find_first_not_of(' '), 7u) << out;  // "1013.02" fills its field but one
}


// The same line in a window of 300 to 700 K, searched up to 1100 K: at 1 and
// 10 kbar its higher root (1286.2, 1183.1 K) lies beyond the search and the
// column keeps its one root first, the mark above second; at 20 kbar both roots
// (578.6, 1017.6 K) are found, lower first.
TEST_F(Ptx, BentLineWithOneRootInSomeColumnsKeepsItFirst) {
  bentline();
  FIXEDT = 500, FIXEDP = 10, FIXEDXH2O = 0, FIXEDXCO2 = 0;
  window(1, 20, 300, 700);
  NLP = 3;
  LP[1] = 1, LP[2] = 10, LP[3] = 20;
  {
    testsupport::Terminal term;
    ZQPTX::PTXTABLE();
  }
  for (long i = 1; i <= 3; ++i) {
    const extended c = 0.0185L + 0.1L * (LP[i] - CONST::PR);
    const extended d = std::sqrt(1e-4L - 4e-5L * c);
    EXPECT_NEAR(ZQPTX::RLINE1(1, i), CONST::TR + (0.01L - d) / 2e-5L, 0.05L) << i;
    if (i < 3) {
      // Only a mark above the search stands for the higher root.
      EXPECT_GT(ZQPTX::RLINE2(1, i), 1100) << i;
      EXPECT_LT(ZQPTX::RLINE2(1, i), ZQPTX::SOLUTIONBOUND) << i;
    } else
      EXPECT_NEAR(ZQPTX::RLINE2(1, i), CONST::TR + (0.01L + d) / 2e-5L, 0.05L) << i;
  }
}
}  // namespace

namespace {

// Reactions outside every printed intersection: judged where their line first
// enters the window, "*not known*" when it never does, nothing at all when
// every reaction was involved.
TEST_F(Ptx, UninvolvedReactionsAreJudgedWhereTheirLineEntersTheWindow) {
  polymorphs();
  OTHERVARIABLE = othervariabletype::fixedpressure;
  window(1, 4, 573.15L, 973.15L);
  NLP = 4;
  for (long i = 1; i <= 4; ++i) LP[i] = static_cast<extended>(i);
  for (smallint k = 1; k <= 3; ++k) {
    ZQCALC2::MAKERLINE(k);
    IO::BCLEAR2(RBIT[k]);
    for (smallint e = 1; e <= 3; ++e)
      if ((*R)(k, e) != 0) IO::BSET2(RBIT[k], e);
    for (long i = 1; i <= 4; ++i) {
      ZQPTX::RLINE1(k, i) = ZQPTX::NOLINE;
      ZQPTX::RLINE2(k, i) = ZQPTX::NOSECONDLINE;
    }
  }
  // ura = vel at 1 and 2 kbar only in the second branch; wex = ura nowhere.
  ZQPTX::RLINE2(1, 2) = 703.13L + 20;
  for (long i = 1; i <= 4; ++i) ZQPTX::RLINE1(3, i) = 505.00L + CONST::KELVIN - (i - 1) * 1.43L;
  brvector involved{};
  std::string out;
  {
    testsupport::Terminal term;
    ZQPTX::RSTABLE(involved);
    out = term.text();
  }
  EXPECT_EQ(out, "\n" + std::string(52, '-') + "\nStability of reactions not involved in intersections :\n\n" +
                     "<= stable => 1)  vel = ura\n*not known*  2)  wex = ura\nmetastable   3)  wex = vel\n");
  involved.fill(true);
  testsupport::Terminal term;
  ZQPTX::RSTABLE(involved);
  EXPECT_EQ(term.text(), "");
}

}  // namespace
