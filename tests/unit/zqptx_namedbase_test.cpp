// A crossing at which one reaction line is crossed on both of its branches:
// that line is the base of the crossing list, the lines that cross its first
// branch there are refined against each other, and its second branch is left
// for the next call. Three closed-form lines in P (list) and T (solved):
//   K: 1e-5 u^2 - 0.01 u + 0.0185 + 0.1 (P - Pr) = 0, u = T - Tr, two roots;
//   A: T = T* + 500 (P - 23.5), steep; B: T = T* - 50 (P - 23.5);
// with T* the lower root of K at 23.5 kbar, so A, B and K's lower branch
// meet there, and A goes on to cross K's upper branch before 24 kbar.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "reactions/zqptx.h"
#include "zqfind_testsupport.h"

using namespace ZQGLOBAL;

namespace {

// From 30-digit arithmetic on the closed forms.
constexpr extended TSTAR = 683.432956802400106490914858722L;
constexpr extended DHA = -11.0660670431975998935090851413L;
constexpr extended DHB = 18.5838295680240010649091485872L;
constexpr extended P2 = 23.9188681727903995740363405651L, T2 = 892.867043197599893509085141278L;

extended kroot(extended P, bool upper) {
  const extended c = 0.0185L + 0.1L * (P - CONST::PR);
  const extended d = std::sqrt(1e-4L - 4e-5L * c);
  return CONST::TR + (0.01L + (upper ? d : -d)) / 2e-5L;
}
extended lineA(extended P) { return TSTAR + 500 * (P - 23.5L); }
extended lineB(extended P) { return TSTAR - 50 * (P - 23.5L); }

class NamedBase : public findtest::FindTest {
 protected:
  void SetUp() override {
    FindTest::SetUp();
    // K = -A + B of the bending pair; A and B as -C + D and -E + F.
    rows({{"A", -2000, 0.100L, 3.0L},
          {"B", -2003, 0.090L, 2.9L, 2e-5L},
          {"C", -100, 0.050L, 1},
          {"D", -100 + DHA, 0.051L, 1.5L},
          {"E", -200, 0.060L, 2},
          {"F", -200 + DHB, 0.070L, 1.5L}});
    R->fill(0);
    for (long k = 1; k <= 3; ++k) {
      (*R)(k, 2 * k - 1) = -1;
      (*R)(k, 2 * k) = 1;
    }
    NR = 3;
    window(20, 25, 300, 1300);
    DIAGRAMMODE = diagramtype::ptcalc;
    CALCVARIABLE = calcvariabletype::calctemperature;
    ZQPTX::PTMODE = findtype::findt;
    FIXEDXCO2 = FIXEDXH2O = 0;
  }
  // The lines at P = 22, 23, 24 as the line table holds them.
  void load(smallint n) {
    const extended P[3] = {22, 23, 24};
    for (long m = 1; m <= 3; ++m) {
      X[m] = P[m - 1];
      ZQPTX::RLINE1(1, m) = kroot(P[m - 1], false);
      ZQPTX::RLINE2(1, m) = kroot(P[m - 1], true);
      ZQPTX::RLINE1(2, m) = lineA(P[m - 1]);
      ZQPTX::RLINE1(3, m) = lineB(P[m - 1]);
      ZQPTX::RLINE2(2, m) = ZQPTX::RLINE2(3, m) = ZQPTX::NOSECONDLINE;
    }
    farray<smallint, 1, ZQPTX::maxintreactions> rn{};
    for (smallint k = 1; k <= n; ++k) rn[k] = k;
    c.LOAD(n, rn, 3, X);
  }
  farray<extended, 1, maxlistvalues> X{};
  ZQPTX::crossings c;
};

TEST_F(NamedBase, BothBranchesCrossedInOneInterval) {
  ASSERT_LT(lineA(22), TLOW);                // A enters the window after 22 kbar
  ASSERT_LT(lineA(23), kroot(23, false));  // below K's lower branch at 23...
  ASSERT_GT(lineA(24), kroot(24, true));   // ...above its upper one at 24
  load(3);
  bool found = false;
  c.CROSSOVER(found);
  ASSERT_TRUE(found);
  for (smallint k = 1; k <= 3; ++k)
    for (smallint b = 1; b <= 2; ++b) {
      EXPECT_FALSE(c.mk(k, b, 2)) << k << "," << b;
      EXPECT_EQ(c.mk(k, b, 3), b == 1 || k == 1) << k << "," << b;
    }
  // The crossing on the shared point: A and B are listed, K is the base.
  struct Call {
    bool found;
    std::vector<std::pair<smallint, smallint>> list;
    extended x, y, xtol, ytol;
  };
  const Call calls[] = {
      {true, {{2, 1}, {3, 1}}, 23.5L, TSTAR, 1e-9L, 1e-6L},
      // what is left: K's upper branch with A, refined within the tolerances
      // of a P-T section solved for T (0.01 kbar, 0.5 K)
      {true, {{1, 2}, {2, 1}}, P2, T2, 0.01L, 0.5L},
      {false, {}, 0, 0, 0, 0},
  };
  for (const Call& call : calls) {
    extended x = 0, y = 0;
    bool got = false, converged = false;
    c.CALCPTX(x, y, got, converged);
    ASSERT_EQ(got, call.found);
    if (!got) break;
    EXPECT_TRUE(converged);
    ASSERT_EQ(c.nlist, static_cast<smallint>(call.list.size()));
    for (std::size_t i = 0; i < call.list.size(); ++i) {
      EXPECT_EQ(c.lk[static_cast<long>(i + 1)], call.list[i].first) << i;
      EXPECT_EQ(c.lb[static_cast<long>(i + 1)], call.list[i].second) << i;
    }
    EXPECT_NEAR(x, call.x, call.xtol);
    EXPECT_NEAR(y, call.y, call.ytol);
  }
}

TEST_F(NamedBase, CrossingTestReadsTheOrderAsTheSearchDoes) {
  load(3);
  // positions: 1 K, 2 A, 3 B; list position 3 against 2
  struct Case {
    smallint ra, rb, ba, bb, m;
    bool cross;
  };
  const Case cases[] = {
      {1, 2, 1, 1, 3, true},   // A over K's lower branch
      {1, 2, 2, 1, 3, true},   // and over its upper one
      {1, 3, 1, 1, 3, true},   // B under K's lower branch
      {1, 3, 2, 1, 3, false},  // B stays below K's upper branch
      {2, 3, 1, 1, 3, true},
      {1, 3, 1, 1, 2, false},  // no change between 22 and 23 kbar
  };
  for (const Case& k : cases) EXPECT_EQ(c.CROSS(k.ra, k.rb, k.ba, k.bb, k.m), k.cross) << k.ra << k.rb << k.ba << k.bb;
  // As in the crossing search: equal values count as not below, and lines
  // that meet at 24 kbar, to the table's rounding (0.5 K / 1000), cross in
  // the interval ending there, either way round; equal at 23 and apart at 24
  // in the same order is no crossing.
  c.v(3, 1, 3) = c.v(1, 1, 3);
  EXPECT_TRUE(c.CROSS(1, 3, 1, 1, 3));
  EXPECT_TRUE(c.CROSS(3, 1, 1, 1, 3));
  c.v(3, 1, 2) = c.v(1, 1, 2);
  c.v(3, 1, 3) = c.v(1, 1, 3) - 1;
  EXPECT_FALSE(c.CROSS(1, 3, 1, 1, 3));
  c.v(3, 1, 3) = c.v(1, 1, 3) - 4e-4L;
  EXPECT_TRUE(c.CROSS(1, 3, 1, 1, 3));
}

// A base with a single other line leaves no pair to refine: the crossing is
// passed over without a word (a point beyond every window) and the search
// goes on to the base's second branch, never stopping the run.
TEST_F(NamedBase, BaseWithASingleOtherLineIsPassedOver) {
  load(2);  // K and A only: A crosses both branches, nothing else is listed
  bool found = false;
  c.CROSSOVER(found);
  ASSERT_TRUE(found);
  extended x = 0, y = 0;
  bool got = false, converged = false;
  testsupport::Terminal term;
  EXPECT_EQ(testsupport::fatal([&] { c.CALCPTX(x, y, got, converged); }), "");
  EXPECT_TRUE(got);
  EXPECT_FALSE(converged);
  EXPECT_EQ(x, ZQPTX::NOLINE);
  EXPECT_EQ(y, ZQPTX::NOLINE);
  EXPECT_EQ(term.text(), "");
  int calls = 1;
  while (got && calls < 10) {
    c.CALCPTX(x, y, got, converged);
    ++calls;
  }
  EXPECT_FALSE(got) << "the marks are used up";
}

// The list around the base on hand-made values at two list positions:
// position 1 the base with two branches, 2 a second line with two branches,
// 3 a steep line crossing both branches of the base. Which branch of the
// second line is listed depends on which of its branches crosses the base's
// first one; its other mark is left for a later call.
TEST_F(NamedBase, SecondTwoBranchLineIsListedByTheBranchThatCrossesTheBase) {
  struct Case {
    const char* what;
    extended k2b1[2], k2b2[2];
    std::vector<std::pair<smallint, smallint>> list;
    bool k2b1left, k2b2left;  // marks of the second line after the call
  };
  const Case cases[] = {
      {"both branches marked, the first crossing the base's first", {510, 490}, {790, 770}, {{2, 1}, {3, 1}}, false, true},
      {"both branches marked, only the second crossing the base", {600, 610}, {700, 790}, {{2, 2}, {3, 1}}, true, false},
      {"only the second branch marked, crossing the base's first", {400, 420}, {530, 510}, {{2, 2}, {3, 1}}, false,
       false},
      // marked only where the steep line crosses it, nowhere near the base:
      // the base's first branch has a single line, nothing to refine
      {"only the first branch marked, by the steep line alone", {600, 600}, {1000, 1000}, {{3, 1}}, true, false},
      {"only the second branch marked, by the steep line alone", {1000, 1000}, {600, 600}, {{3, 1}}, false, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    for (long m = 1; m <= 2; ++m) {
      X[m] = 21 + static_cast<extended>(m);
      ZQPTX::RLINE1(1, m) = m == 1 ? 500 : 520;
      ZQPTX::RLINE2(1, m) = m == 1 ? 800 : 780;
      ZQPTX::RLINE1(2, m) = k.k2b1[m - 1];
      ZQPTX::RLINE2(2, m) = k.k2b2[m - 1];
      ZQPTX::RLINE1(3, m) = m == 1 ? 450 : 850;
      ZQPTX::RLINE2(3, m) = ZQPTX::NOSECONDLINE;
    }
    farray<smallint, 1, ZQPTX::maxintreactions> rn{};
    rn[1] = 1, rn[2] = 2, rn[3] = 3;
    c.LOAD(3, rn, 2, X);
    bool found = false;
    c.CROSSOVER(found);
    ASSERT_TRUE(found);
    ASSERT_TRUE(c.mk(1, 1, 2) && c.mk(1, 2, 2));
    extended x = 0, y = 0;
    bool got = false, converged = false;
    testsupport::Terminal term;  // the made-up values need not refine
    c.CALCPTX(x, y, got, converged);
    ASSERT_TRUE(got);
    ASSERT_EQ(c.nlist, static_cast<smallint>(k.list.size()));
    for (std::size_t i = 0; i < k.list.size(); ++i) {
      EXPECT_EQ(c.lk[static_cast<long>(i + 1)], k.list[i].first) << i;
      EXPECT_EQ(c.lb[static_cast<long>(i + 1)], k.list[i].second) << i;
    }
    EXPECT_FALSE(c.mk(1, 1, 2));
    EXPECT_TRUE(c.mk(1, 2, 2));  // the base's second branch waits
    EXPECT_EQ(c.mk(2, 1, 2), k.k2b1left);
    EXPECT_EQ(c.mk(2, 2, 2), k.k2b2left);
    EXPECT_TRUE(c.mk(3, 1, 2));  // the steep line crosses the base's second branch too
  }
}


// Three straight P-T lines listed in one interval without a base: the steep
// L3 crosses L1 and L2 there, but L1 and L2 meet only beyond it. With
// dS = 0.01 for each, dmu = dH - 0.01 T + (P - Pr) dV = 0 is the line
// T = 100 dH + 100 dV (P - Pr):
//   L1: T = 600 + 100 (P - 20), L2: T = 650 + 80 (P - 20), L3: T = 700 - 400 (P - 20),
// so L1 and L2 meet at P = 22.5, T = 850 (outside [20, 21]); L3 meets L1 at
// (20.2, 620) and L2 at (20 + 50/480, 658.33), each far off the third line.
// The pair whose chords leave the bracket is not followed there (its
// crossing would be off L3, and the crossing is one no pair settles).
TEST_F(NamedBase, ChordsLeavingTheBracketAreNotFollowed) {
  const auto line = [](extended t20, extended slope) {
    // dH and dV of the line through (20, t20) with the given dT/dP
    return std::pair<extended, extended>((t20 - slope * (20 - CONST::PR)) / 100, slope / 100);
  };
  const std::pair<extended, extended> l[3] = {line(600, 100), line(650, 80), line(700, -400)};
  rows({{"A", 0, 0.1L, 1}, {"B", l[0].first, 0.11L, 1 + l[0].second},
        {"C", 0, 0.1L, 1}, {"D", l[1].first, 0.11L, 1 + l[1].second},
        {"E", 0, 0.1L, 1}, {"F", l[2].first, 0.11L, 1 + l[2].second}});
  window(20, 21, 300, 1300);
  const extended t20[3] = {600, 650, 700}, t21[3] = {700, 730, 300};
  for (long k = 1; k <= 3; ++k) {
    for (long m = 1; m <= 2; ++m) {
      X[m] = 19 + static_cast<extended>(m);
      ZQPTX::RLINE1(k, m) = m == 1 ? t20[k - 1] : t21[k - 1];
      ZQPTX::RLINE2(k, m) = ZQPTX::NOSECONDLINE;
    }
  }
  farray<smallint, 1, ZQPTX::maxintreactions> rn{};
  rn[1] = 1, rn[2] = 2, rn[3] = 3;
  c.LOAD(3, rn, 2, X);
  bool found = false;
  c.CROSSOVER(found);
  ASSERT_TRUE(found);
  extended x = 0, y = 0;
  bool got = false, converged = false;
  testsupport::Terminal term;
  c.CALCPTX(x, y, got, converged);
  EXPECT_TRUE(got);
  EXPECT_FALSE(converged);
  EXPECT_EQ(c.nlist, 3);
  EXPECT_FALSE(c.offline);
  EXPECT_EQ(c.unsettled, "iteration went outside bracket - it shouldn't !!");
  // told of (by the caller, inside the window) where the first chords met
  EXPECT_NEAR(x, 22.5L, 1e-9L);
  EXPECT_NEAR(y, 850, 1e-6L);
  EXPECT_EQ(term.text(), "");
}


// Newton steps on two affinities from a point the chords settled near: K's
// lower branch and A meet at (23.5 kbar, T*) by construction. Steps that
// shrink take the point there, far inside the tolerances, from starts a step
// beyond them too; a bracket that does not hold the crossing, or a window
// the steps would leave, leaves the point where it was.
TEST_F(NamedBase, NewtonStepsEndWhereBothAffinitiesVanish) {
  struct Case {
    extended dx, dy;  // the start, off the crossing
    extended lo, hi;  // the bracket
    bool moves;
  };
  const extended all = std::numeric_limits<extended>::infinity();
  const Case cases[] = {{0.003L, 0.3L, -all, all, true},   {-0.004L, 0.2L, -all, all, true},
                        {0.002L, -0.4L, -all, all, true},  {0.05L, 3, -all, all, true},
                        {0.0005L, 25, 23, 24, true},       {0.05L, 3, 23.52L, 24, false},
                        {0.0005L, 25, -all, 23.4L, false}, {0.003L, 0.3L, -all, all, false}};
  for (const Case& k : cases) {
    ZQPTX::crossings::refinement t;
    t.x = 23.5L + k.dx;
    t.y = TSTAR + k.dy;
    t.lo = k.lo, t.hi = k.hi;
    if (&k == &cases[7]) THIGH = TSTAR + 0.2L;  // the start itself outside the window
    ZQPTX::crossings::NEWTON(1, 2, t, 0.01L, 0.5L);
    EXPECT_EQ(t.converged, k.moves) << k.dx << " " << k.dy;
    if (k.moves) {
      EXPECT_NEAR(t.x, 23.5L, 1e-8L) << k.dx << " " << k.dy;
      EXPECT_NEAR(t.y, TSTAR, 1e-6L) << k.dx << " " << k.dy;
    } else {
      EXPECT_EQ(t.x, 23.5L + k.dx) << k.dx << " " << k.dy;
      EXPECT_EQ(t.y, TSTAR + k.dy) << k.dx << " " << k.dy;
    }
  }
}

// The three lines meeting at 23.5 kbar, now a list value: K's lower branch
// above A above a steeper B (T = T* + 600 (P - 23.5)) at 23 kbar, all in the
// other order at 24, where A and B cross K's upper branch too. The lines
// meet at the list value and are marked in the intervals on both sides of
// it; the point is given once, K's upper branch meets A and B apart, and A
// and B, followed from just past the point, meet nowhere else: nothing more
// is printed or told.
TEST_F(NamedBase, LinesMeetingAtAListValueGiveItsPointOnce) {
  // B as -E + F with dS 0.01 and dV 6: T = 100 dH + 600 (P - Pr).
  rows({{"A", -2000, 0.100L, 3.0L},
        {"B", -2003, 0.090L, 2.9L, 2e-5L},
        {"C", -100, 0.050L, 1},
        {"D", -100 + DHA, 0.051L, 1.5L},
        {"E", 0, 0.1L, 1},
        {"F", TSTAR / 100 - 6 * (23.5L - CONST::PR), 0.11L, 7}});
  const extended P[3] = {23, 23.5L, 24};
  for (long m = 1; m <= 3; ++m) {
    X[m] = P[m - 1];
    ZQPTX::RLINE1(1, m) = m == 2 ? TSTAR : kroot(P[m - 1], false);
    ZQPTX::RLINE2(1, m) = kroot(P[m - 1], true);
    ZQPTX::RLINE1(2, m) = lineA(P[m - 1]);
    ZQPTX::RLINE1(3, m) = TSTAR + 600 * (P[m - 1] - 23.5L);
    ZQPTX::RLINE2(2, m) = ZQPTX::RLINE2(3, m) = ZQPTX::NOSECONDLINE;
  }
  farray<smallint, 1, ZQPTX::maxintreactions> rn{};
  for (smallint k = 1; k <= 3; ++k) rn[k] = k;
  c.LOAD(3, rn, 3, X);
  bool found = false;
  c.CROSSOVER(found);
  ASSERT_TRUE(found && c.mk(1, 1, 2) && c.mk(1, 2, 3));
  testsupport::Terminal term;
  std::vector<std::pair<extended, extended>> points;
  bool got = true;
  for (int call = 0; got && call < 20; ++call) {
    extended x = 0, y = 0;
    bool converged = false;
    c.CALCPTX(x, y, got, converged);
    if (converged) points.emplace_back(x, y);
    EXPECT_FALSE(c.offline);
    EXPECT_EQ(c.unsettled, "");
  }
  EXPECT_FALSE(got) << "the marks are used up";
  ASSERT_EQ(points.size(), 1u);
  EXPECT_EQ(points[0].first, 23.5L);
  EXPECT_NEAR(points[0].second, TSTAR, 1e-6L);
  EXPECT_EQ(term.text(), "");
}

}  // namespace
