// The one-reaction solver against closed forms: lines of constant slope, a
// line that bends back in T, the coded values of roots it cannot report,
// its Newton limits, and the spread and slope of a reaction's position.
// Reference numbers are worked out in 40-digit arithmetic from the rows'
// closed form G = H - T S + (P - Pr) V - b (T - Tr)^2 / 2.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "model/zqcalc2.h"
#include "zqfind_testsupport.h"

using namespace ZQGLOBAL;
using findtest::FindTest;
using testsupport::fatal;

namespace {

constexpr extended NaN = std::numeric_limits<extended>::quiet_NaN();
constexpr extended Inf = std::numeric_limits<extended>::infinity();

TEST(SameSign, ZeroIsBothSignsAndNaNIsNeither) {
  struct pair {
    extended a, b;
    bool same;
  };
  const std::vector<pair> cases = {{0, 0, true},    {0, -1, true},  {2, 0, true},   {-0.0L, 3, true},
                                   {1, -1, false},  {-Inf, 1, false}, {Inf, 5, true}, {NaN, 1, false},
                                   {-1, NaN, false}, {NaN, NaN, false}};
  for (const pair& c : cases) {
    EXPECT_EQ(ZQCALC2::SAMESIGN(c.a, c.b), c.same) << c.a << ", " << c.b;
    EXPECT_EQ(ZQCALC2::SAMESIGN(c.b, c.a), c.same) << c.b << ", " << c.a;
  }
}

using Find = FindTest;

// Straight lines: the root, no second root, and the derivatives at it.
TEST_F(Find, PolymorphsInPAndT) {
  struct line {
    bool solvep;
    extended at, root, tol;
  };
  const std::vector<line> cases = {
      {true, 700, 5.001L, 1e-7L}, {true, 873.15L, 13.6585L, 1e-7L}, {false, 5.001L, 700, 1e-6L}};
  for (const line& c : cases) {
    extended x1 = 0, x2 = 0, dV1 = 9, dV2 = 9, dmudT1 = 9, dmudT2 = 9;
    if (c.solvep)
      ZQCALC2::PCALC(1, false, x1, x2, dV1, dV2, c.at, 0, 1, dmudT1, dmudT2);
    else
      ZQCALC2::TCALC(1, false, x1, x2, dV1, dV2, c.at, 0, 1, dmudT1, dmudT2);
    EXPECT_NEAR(x1, c.root, c.tol) << c.at;
    EXPECT_EQ(x2, ZQCALC2::NOSECONDROOT);
    EXPECT_NEAR(dV1, -0.1L, 1e-9L);
    EXPECT_NEAR(dmudT1, 0.005L, 1e-9L);
    EXPECT_EQ(dV2, 0);
    EXPECT_EQ(dmudT2, 0);
  }
  // A guess inside the window leads Newton to the same root.
  extended x1 = 20, x2 = 0, dV1 = 0, dV2 = 0, dmudT1 = 0, dmudT2 = 0;
  ZQCALC2::PCALC(1, true, x1, x2, dV1, dV2, 700, 0, 1, dmudT1, dmudT2);
  EXPECT_NEAR(x1, 5.001L, 1e-7L);
  EXPECT_EQ(x2, ZQCALC2::NOSECONDROOT);
  EXPECT_NEAR(dV1, -0.1L, 1e-9L);
}

// The slope dT/dP is the Clapeyron slope dV/dS; the spread is that of the
// reaction's enthalpy, and of ln K once activities carry uncertainties.
TEST_F(Find, PositionSpreadAndSlope) {
  (*COV)(1, 1) = 0.25L;
  (*COV)(1, 2) = (*COV)(2, 1) = 0.1L;
  (*COV)(2, 2) = 0.16L;
  (*COV)(3, 3) = 99;  // not in the reaction
  struct position {
    const char* what;
    extended act1, sd1, act2, sd2;
    extended P, T, slope;
  };
  // Activities 0.5 (sd 0.05) and 0.8 (sd 0.04) move the line and add
  // (R T)^2 (0.01 + 0.0025) to the variance.
  const std::vector<position> cases = {
      {"pure phases", 1, 0, 1, 0, 5.001L, 700, 20},
      {"activities with sd", 0.5L, 0.05L, 0.8L, 0.04L, 32.355587225005205811L, 392.91415580368240603L,
       0.1L / (0.005L + CONST::RGAS * std::log(1.6L))},
  };
  for (const position& c : cases) {
    ACTIVITY[1] = c.act1;
    SDACTIVITY[1] = c.sd1;
    ACTIVITY[2] = c.act2;
    SDACTIVITY[2] = c.sd2;
    extended P1 = 0, P2 = 0, sd1 = 0, sd2 = 0, slope1 = 0, slope2 = 7;
    ZQCALC2::PFIXEDT(1, P1, P2, sd1, sd2, slope1, 700, 0, 1, slope2);
    EXPECT_NEAR(P1, c.P, 1e-7L) << c.what;
    EXPECT_NEAR(slope1, c.slope, 1e-7L) << c.what;
    EXPECT_EQ(sd2, ZQCALC2::SDOUTSIDE) << c.what;
    EXPECT_EQ(slope2, 7) << c.what << ": no second root, slope left";
    extended T1 = 0, T2 = 0, tsd1 = 0, tsd2 = 0, tslope1 = 0, tslope2 = 7;
    ZQCALC2::TFIXEDP(1, T1, T2, tsd1, tsd2, tslope1, 5.001L, 0, 1, tslope2);
    EXPECT_NEAR(T1, c.T, 1e-6L) << c.what;
    EXPECT_NEAR(tslope1, c.slope, 1e-7L) << c.what;
    EXPECT_EQ(tsd2, ZQCALC2::SDOUTSIDE) << c.what;
    if (c.act1 == 1) {
      EXPECT_NEAR(sd1, 4.582575694955840007L, 1e-9L) << c.what;
      EXPECT_NEAR(tsd1, 91.651513899116800132L, 1e-8L) << c.what;
    } else {
      // The P spread takes R T at the given T, the T spread at the root.
      EXPECT_NEAR(sd1, 7.958747640678148805L, 1e-9L) << c.what;
      EXPECT_NEAR(tsd1, 65.785773281381172726L, 1e-8L) << c.what;
    }
  }
  // Calc mode 1 knows no activity uncertainties.
  CALCMODE = calcmodetype::nlecalc;
  extended P1 = 0, P2 = 0, sd1 = 0, sd2 = 0, slope1 = 0, slope2 = 0;
  ZQCALC2::PFIXEDT(1, P1, P2, sd1, sd2, slope1, 700, 0, 1, slope2);
  EXPECT_NEAR(sd1, std::sqrt(0.21L) / 0.1L, 1e-9L);
}

TEST_F(Find, PositionOutsideTheWindow) {
  (*COV)(1, 1) = 1;
  window(10, 40, 300, 600);
  extended P1 = 0, P2 = 0, sd1 = 0, sd2 = 0, slope1 = 3, slope2 = 4;
  ZQCALC2::PFIXEDT(1, P1, P2, sd1, sd2, slope1, 700, 0, 1, slope2);
  EXPECT_EQ(P1, 9);
  EXPECT_EQ(sd1, ZQCALC2::SDOUTSIDE);
  EXPECT_EQ(sd2, ZQCALC2::SDOUTSIDE);
  EXPECT_EQ(slope1, 3);
  EXPECT_EQ(slope2, 4);
  ZQCALC2::TFIXEDP(1, P1, P2, sd1, sd2, slope1, 5.001L, 0, 1, slope2);
  EXPECT_EQ(P1, 601);
  EXPECT_EQ(sd1, ZQCALC2::SDOUTSIDE);
  EXPECT_EQ(slope1, 3);
}

// Two temperatures at 5 kbar, the larger first, with slopes of opposite
// sign; the slopes are those of the forward-difference dmu/dT (0.001 K).
TEST_F(Find, LineBendingBackInT) {
  rows(findtest::BEND);
  extended T1 = 0, T2 = 0, sd1 = 0, sd2 = 0, slope1 = 0, slope2 = 0;
  ZQCALC2::TFIXEDP(1, T1, T2, sd1, sd2, slope1, 5, 0, 1, slope2);
  EXPECT_NEAR(T1, 1243.301659549866218L, 1e-6L);
  EXPECT_NEAR(T2, 352.998340450133782L, 1e-6L);
  EXPECT_NEAR(slope1, -11.232114441623633L, 1e-7L);
  EXPECT_NEAR(slope2, 11.232139673759281L, 1e-7L);
  EXPECT_EQ(sd1, 0);
  EXPECT_EQ(sd2, 0);
  // The same roots come back whichever half of the window holds them.
  struct half {
    extended lo, hi, x1, x2;
  };
  // Each half keeps the extremum near 798 K, so the other root is coded
  // beyond the end where dmu heads away from 0.
  for (const half& h : std::vector<half>{{300, 800, 352.998340450133782L, 801},
                                         {790, 1300, 1243.301659549866218L, 789}}) {
    window(0, 40, h.lo, h.hi);
    extended x1 = 0, x2 = 0, dV1 = 0, dV2 = 0, dmudT1 = 0, dmudT2 = 0;
    ZQCALC2::TCALC(1, false, x1, x2, dV1, dV2, 5, 0, 1, dmudT1, dmudT2);
    EXPECT_NEAR(x1, h.x1, 1e-6L) << h.lo;
    EXPECT_EQ(x2, h.x2) << h.lo;
  }
  window(0, 40, 300, 1300);
  extended P1 = 0, P2 = 0, dV1 = 0, dV2 = 0, dmudT1 = 0, dmudT2 = 0;
  ZQCALC2::PCALC(1, false, P1, P2, dV1, dV2, 900, 0, 1, dmudT1, dmudT2);
  EXPECT_NEAR(P1, 23.77865775L, 1e-7L);
  EXPECT_EQ(P2, ZQCALC2::NOSECONDROOT);
}

// Roots it cannot report come back coded; derivative results of a root
// outside the window stay 0.
TEST_F(Find, CodedRoots) {
  struct coded {
    const char* what;
    bool solvep;
    extended lo, hi, at, x1, x2;
  };
  const std::vector<coded> cases = {
      {"P root below, slopes negative", true, 10, 40, 700, 9, ZQCALC2::NOSECONDROOT},
      {"P root above, slopes negative", true, 0, 4, 700, 5, ZQCALC2::NOSECONDROOT},
      {"T root below, slopes positive", false, 800, 1300, 5.001L, 799, ZQCALC2::NOSECONDROOT},
      {"T root above, slopes positive", false, 300, 600, 5.001L, 601, ZQCALC2::NOSECONDROOT},
  };
  for (const coded& c : cases) {
    if (c.solvep)
      window(c.lo, c.hi, 300, 1300);
    else
      window(0, 40, c.lo, c.hi);
    extended x1 = 0, x2 = 0, dV1 = 9, dV2 = 9, dmudT1 = 9, dmudT2 = 9;
    ZQCALC2::FIND(1, c.solvep ? findtype::findp : findtype::findt, false, x1, x2, dV1, c.at, c.at, 0, 1, dV2,
                  dmudT1, dmudT2);
    EXPECT_EQ(x1, c.x1) << c.what;
    EXPECT_EQ(x2, c.x2) << c.what;
    EXPECT_EQ(dV1, 0) << c.what;
    EXPECT_EQ(dmudT1, 0) << c.what;
    EXPECT_EQ(dV2, 0) << c.what;
    EXPECT_EQ(dmudT2, 0) << c.what;
  }

  // A guess outside the window: no search, derivative results untouched.
  for (extended guess : {-5.0L, 41.0L, NaN}) {
    window(0, 40, 300, 1300);
    extended x1 = guess, x2 = 0, dV1 = 9, dV2 = 9, dmudT1 = 9, dmudT2 = 9;
    EXPECT_EQ(findtest::FindTest::gems([&] {
                ZQCALC2::PCALC(1, true, x1, x2, dV1, dV2, 700, 0, 1, dmudT1, dmudT2);
              }),
              0);
    EXPECT_EQ(x1, ZQCALC2::NOROOT);
    EXPECT_EQ(x2, ZQCALC2::NOSECONDROOT);
    EXPECT_EQ(dV1 + dV2 + dmudT1 + dmudT2, 36);
  }
}

// dmu exactly 0 at the window's low end is no sign change: the root there
// is reported below the window, whichever way the line slopes.
TEST_F(Find, RootExactlyAtTheLowEnd) {
  // G = -T and G = 512 - 2 T: dmu = +-(512 - T), exactly 0 at 512 K.
  rows({{"a", 0, 1, 0}, {"b", 512, 2, 0}});
  window(0, 40, 512, 1000);
  for (smallint sign : {1, -1}) {
    reaction({static_cast<smallint>(-sign), sign});
    ASSERT_EQ(dmu(5, 512), 0);
    extended x1 = 0, x2 = 0, dV1 = 0, dV2 = 0, dmudT1 = 0, dmudT2 = 0;
    ZQCALC2::TCALC(1, false, x1, x2, dV1, dV2, 5, 0, 1, dmudT1, dmudT2);
    EXPECT_EQ(x1, 511) << sign;
    EXPECT_EQ(x2, ZQCALC2::NOSECONDROOT) << sign;
  }
}

// Newton at the set-up precisions: a T search stops at a step below
// 0.001 K and takes at most 10 steps. Near a double root each step halves
// the distance, so the count of steps follows from where it starts.
TEST_F(Find, NewtonStepLimitAndTolerance) {
  // dmu = -(1e-5)(T - 798.15)^2 up to rounding: a double root at 798.15 K.
  rows({{"A", -1000, 0.100L, 1}, {"B", -1005.4815L, 0.090L, 1, 2e-5L}});
  const extended T0 = 798.15L;
  struct start {
    extended distance;
    bool found;
    long evaluations;  // Gibbs energies: 6 per step, 6 more for the derivatives
  };
  // From 0.6 K the 10th step is the first below 0.001 K; from 1.2 K the
  // 10th step is still above it and the run gives up.
  for (const start& s : std::vector<start>{{0.6L, true, 66}, {1.2L, false, 60}}) {
    extended x1 = T0 + s.distance, x2 = 0, dV1 = 0, dV2 = 0, dmudT1 = 0, dmudT2 = 0;
    const long n = FindTest::gems([&] { ZQCALC2::TCALC(1, true, x1, x2, dV1, dV2, 5, 0, 1, dmudT1, dmudT2); });
    EXPECT_EQ(n, s.evaluations) << s.distance;
    if (s.found)
      EXPECT_NEAR(x1, T0, 0.002L) << s.distance;
    else
      EXPECT_EQ(x1, ZQCALC2::NOROOT) << s.distance;
  }
  // One more decimal of T allows 3 more steps at a tenth of the tolerance.
  TPRECISION = 3;
  extended x1 = T0 + 0.6L, x2 = 0, dV1 = 0, dV2 = 0, dmudT1 = 0, dmudT2 = 0;
  const long n = FindTest::gems([&] { ZQCALC2::TCALC(1, true, x1, x2, dV1, dV2, 5, 0, 1, dmudT1, dmudT2); });
  EXPECT_EQ(n, 13 * 6);
  EXPECT_EQ(x1, ZQCALC2::NOROOT);
}

// A Newton step from a point where dmu does not change along the variable
// ends the run as a failure, after one evaluation.
TEST_F(Find, FlatAffinityEndsTheRun) {
  struct flat {
    const char* what;
    extended Hb;
  };
  for (const flat& c : std::vector<flat>{{"dmu 10 everywhere", 10}, {"dmu 0 everywhere", 0}}) {
    rows({{"a", 0, 1, 1}, {"b", c.Hb, 1, 1}});
    extended x1 = 700, x2 = 0, dV1 = 0, dV2 = 0, dmudT1 = 0, dmudT2 = 0;
    const long n = FindTest::gems([&] { ZQCALC2::TCALC(1, true, x1, x2, dV1, dV2, 5, 0, 1, dmudT1, dmudT2); });
    EXPECT_EQ(n, 6) << c.what;
    EXPECT_EQ(x1, ZQCALC2::NOROOT) << c.what;
    EXPECT_EQ(x2, ZQCALC2::NOSECONDROOT) << c.what;
  }
}

// A reaction releasing CO2 (a solid row standing in for it, so only ln x
// enters): dmu = dG0 + R T ln x(CO2) is zero at x = exp(-dG0 / R T).
TEST_F(Find, XCO2OfAReactionReleasingCO2) {
  rows({{"A", -1000, 0.10L, 1}, {"B", -997.7L, 0.10L, 1}, {"C", 0, 0.001L, 0}});
  CO2POS = 3;
  reaction({-1, 1, 1});
  const extended T = 800, P = 5;
  extended dV = 0, dmudT = 0, dG0 = 0;
  ZQCALC1::CALCDG0(1, dV, dmudT, dG0, P, T);
  const extended root = std::exp(-dG0 / (CONST::RGAS * T));
  ASSERT_GT(root, 0.1L);
  ASSERT_LT(root, 0.9L);
  for (bool guess : {false, true}) {
    extended x1 = guess ? 0.5L : 0, x2 = 0, dV1 = 9, dV2 = 9, dmudT1 = 9, dmudT2 = 9;
    ZQCALC2::FIND(1, findtype::findxco2, guess, x1, x2, dV1, P, T, 0, 1, dV2, dmudT1, dmudT2);
    EXPECT_NEAR(x1, root, 1e-5L) << guess;
    EXPECT_EQ(x2, ZQCALC2::NOSECONDROOT) << guess;
    EXPECT_EQ(dV1 + dV2 + dmudT1 + dmudT2, 0) << guess;
  }
}

TEST_F(Find, LnAAndMuKindsAreNotSolved) {
  testsupport::Terminal quiet;
  for (findtype kind : {findtype::findlna, findtype::findmu}) {
    extended x1 = 0, x2 = 0, dV1 = 0, dV2 = 0, dmudT1 = 0, dmudT2 = 0;
    EXPECT_EQ(fatal([&] { ZQCALC2::FIND(1, kind, false, x1, x2, dV1, 5, 700, 0, 1, dV2, dmudT1, dmudT2); }),
              "find: unimplemented");
  }
}

}  // namespace
