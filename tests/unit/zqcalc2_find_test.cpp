// The one-reaction solver against closed forms (zqfind_testsupport.h):
// straight lines, a line bending back in T, coded roots, Newton's limits,
// and the spread and slope of a position. Reference numbers come from
// 40-digit arithmetic on the rows' closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "model/zqcalc2.h"
#include "zqfind_testsupport.h"

using namespace ZQGLOBAL;
using findtest::roots;
using testsupport::fatal;

namespace {

using Find = findtest::FindTest;
constexpr extended NaN = std::numeric_limits<extended>::quiet_NaN();
constexpr extended Inf = std::numeric_limits<extended>::infinity();
constexpr extended NONE = ZQCALC2::NOSECONDROOT;

TEST(SameSign, ZeroIsBothSignsAndNaNIsNeither) {
  struct pair {
    extended a, b;
    bool same;
  };
  for (const pair& c : std::vector<pair>{{0, 0, true}, {0, -1, true}, {-0.0L, 3, true}, {Inf, 5, true},
                                         {1, -1, false}, {-Inf, 1, false}, {NaN, 1, false}, {NaN, NaN, false}}) {
    EXPECT_EQ(ZQCALC2::SAMESIGN(c.a, c.b), c.same) << c.a << ", " << c.b;
    EXPECT_EQ(ZQCALC2::SAMESIGN(c.b, c.a), c.same) << c.b << ", " << c.a;
  }
}

// Roots and coded values on the polymorphs' straight line (dmu = -3 +
// 0.005 T - 0.1 (P - Pr)) and on the bend (two roots in T at 5 kbar);
// derivative results of a root outside the window stay 0.
TEST_F(Find, RootsAndCodedValues) {
  struct cas {
    const char* what;
    bool bend;
    findtype kind;
    extended lo, hi, at, x1, x2;
  };
  const findtype P = findtype::findp, T = findtype::findt;
  const std::vector<cas> cases = {
      {"P at 700 K", false, P, 0, 40, 700, 5.001L, NONE},
      {"P at 873.15 K", false, P, 0, 40, 873.15L, 13.6585L, NONE},
      {"T at 5.001 kbar", false, T, 300, 1300, 5.001L, 700, NONE},
      {"P below, slopes negative", false, P, 10, 40, 700, 9, NONE},
      {"P above, slopes negative", false, P, 0, 4, 700, 5, NONE},
      {"T below, slopes positive", false, T, 800, 1300, 5.001L, 799, NONE},
      {"T above, slopes positive", false, T, 300, 600, 5.001L, 601, NONE},
      {"bend: both roots, larger first", true, T, 300, 1300, 5, 1243.301659549866218L, 352.998340450133782L},
      // A window holding one root and the extremum near 798 K: the other
      // root is coded beyond the end where dmu heads away from 0.
      {"bend: lower half", true, T, 300, 800, 5, 352.998340450133782L, 801},
      {"bend: upper half", true, T, 790, 1300, 5, 1243.301659549866218L, 789},
      {"bend: dmu above 0 throughout", true, T, 400, 1200, CONST::PR, 399, 1201},
      {"bend: dmu below 0 throughout", true, T, 300, 1300, 40, ZQCALC2::NOROOT, NONE},
      {"bend: P at 900 K", true, P, 0, 40, 900, 23.77865775L, NONE},
  };
  for (const cas& c : cases) {
    rows(c.bend ? findtest::BEND : findtest::POLYMORPHS);
    if (c.kind == P)
      window(c.lo, c.hi, 300, 1300);
    else
      window(0, 40, c.lo, c.hi);
    const roots r = find(c.kind, c.at);
    EXPECT_NEAR(r.x1, c.x1, 1e-6L) << c.what;
    EXPECT_NEAR(r.x2, c.x2, 1e-6L) << c.what;
    const bool in1 = c.lo <= c.x1 && c.x1 <= c.hi, in2 = in1 && c.lo <= c.x2 && c.x2 <= c.hi;
    // dV and dmu/dT at the root: the line's own where it is straight.
    EXPECT_EQ(r.dV1 != 0, in1) << c.what;
    EXPECT_EQ(r.dmudT1 != 0, in1) << c.what;
    EXPECT_EQ(r.dV2 != 0, in2) << c.what;
    if (in1 && !c.bend) {
      EXPECT_NEAR(r.dV1, -0.1L, 1e-9L) << c.what;
      EXPECT_NEAR(r.dmudT1, 0.005L, 1e-9L) << c.what;
    }
  }
  // A guess inside leads to the root; one outside (or no number) makes no
  // search and leaves the derivative results untouched.
  rows(findtest::POLYMORPHS);
  window(0, 40, 300, 1300);
  EXPECT_NEAR(find(P, 700, true, 20).x1, 5.001L, 1e-7L);
  for (extended guess : {-5.0L, 41.0L, NaN}) {
    roots r;
    EXPECT_EQ(gems([&] { r = find(P, 700, true, guess); }), 0);
    EXPECT_EQ(r.x1, ZQCALC2::NOROOT);
    EXPECT_EQ(r.x2, NONE);
    EXPECT_EQ(r.dV1 + r.dV2 + r.dmudT1 + r.dmudT2, 36);
  }
}

// dmu exactly 0 at the low end is no sign change: the root there is
// reported below the window, whichever way the line slopes.
TEST_F(Find, RootExactlyAtTheLowEnd) {
  rows({{"a", 0, 1, 0}, {"b", 512, 2, 0}});  // dmu = +-(512 - T)
  window(0, 40, 512, 1000);
  for (smallint sign : {1, -1}) {
    reaction({static_cast<smallint>(-sign), sign});
    ASSERT_EQ(dmu(5, 512), 0);
    const roots r = find(findtype::findt, 5);
    EXPECT_EQ(r.x1, 511) << sign;
    EXPECT_EQ(r.x2, NONE) << sign;
  }
}

// Newton at the set-up precisions stops at a T step below 0.001 K and takes
// at most 10 steps. Near a double root each step about halves the distance,
// so where it starts decides the count: 6 Gibbs energies a step, 6 more for
// the derivatives at a root found. A flat affinity ends a run at once.
TEST_F(Find, NewtonLimits) {
  // dmu = -(1e-5) (T - 798.15)^2 up to rounding.
  rows({{"A", -1000, 0.100L, 1}, {"B", -1005.4815L, 0.090L, 1, 2e-5L}});
  const extended T0 = 798.15L;
  struct start {
    smallint tprecision;
    extended from;
    bool found;
    long evaluations;
  };
  for (const start& s : std::vector<start>{{2, 0.6L, true, 66}, {2, 1.2L, false, 60}, {3, 0.6L, false, 78}}) {
    TPRECISION = s.tprecision;
    roots r;
    EXPECT_EQ(gems([&] { r = find(findtype::findt, 5, true, T0 + s.from); }), s.evaluations) << s.from;
    EXPECT_NEAR(r.x1, s.found ? T0 : ZQCALC2::NOROOT, 0.002L) << s.from;
  }
  TPRECISION = 2;
  // dmu 10 everywhere, and 0 everywhere: no step is taken from a flat point.
  for (extended Hb : {10.0L, 0.0L}) {
    rows({{"a", 0, 1, 1}, {"b", Hb, 1, 1}});
    roots r;
    EXPECT_EQ(gems([&] { r = find(findtype::findt, 5, true, 700); }), 6) << Hb;
    EXPECT_EQ(r.x1, ZQCALC2::NOROOT) << Hb;
    EXPECT_EQ(r.x2, NONE) << Hb;
  }
}

// The slope dT/dP is Clapeyron's dV/dS; the spread is that of the reaction
// enthalpy, and of ln K once activities carry uncertainties (not in calc
// mode 1). P spreads take R T at the T given, T spreads at the root.
TEST_F(Find, PositionSpreadAndSlope) {
  (*COV)(1, 1) = 0.25L;
  (*COV)(1, 2) = (*COV)(2, 1) = 0.1L;
  (*COV)(2, 2) = 0.16L;
  (*COV)(3, 3) = 99;  // not in the reaction
  struct position {
    calcmodetype mode;
    extended act1, sd1, act2, sd2;
    extended P, T, slope, sdP, sdT;
  };
  const extended sd0P = 4.582575694955840007L, sd0T = 91.651513899116800132L;
  const std::vector<position> cases = {
      {calcmodetype::phasecalc, 1, 0, 1, 0, 5.001L, 700, 20, sd0P, sd0T},
      {calcmodetype::rockcalc, 0.5L, 0.05L, 0.8L, 0.04L, 32.355587225005205811L, 392.91415580368240603L,
       0.1L / (0.005L + CONST::RGAS * std::log(1.6L)), 7.958747640678148805L, 65.785773281381172726L},
      {calcmodetype::nlecalc, 1, 0.05L, 1, 0.04L, 5.001L, 700, 20, sd0P, sd0T},
  };
  for (const position& c : cases) {
    CALCMODE = c.mode;
    ACTIVITY[1] = c.act1, SDACTIVITY[1] = c.sd1;
    ACTIVITY[2] = c.act2, SDACTIVITY[2] = c.sd2;
    extended P1 = 0, P2 = 0, sd1 = 0, sd2 = 0, slope1 = 0, slope2 = 7;
    ZQCALC2::PFIXEDT(1, P1, P2, sd1, sd2, slope1, 700, 0, 1, slope2);
    EXPECT_NEAR(P1, c.P, 1e-7L);
    EXPECT_NEAR(slope1, c.slope, 1e-7L);
    EXPECT_NEAR(sd1, c.sdP, 1e-9L);
    EXPECT_EQ(sd2, ZQCALC2::SDOUTSIDE);
    EXPECT_EQ(slope2, 7);
    ZQCALC2::TFIXEDP(1, P1, P2, sd1, sd2, slope1, 5.001L, 0, 1, slope2);
    EXPECT_NEAR(P1, c.T, 1e-6L);
    EXPECT_NEAR(slope1, c.slope, 1e-7L);
    EXPECT_NEAR(sd1, c.sdT, 1e-8L);
    EXPECT_EQ(sd2, ZQCALC2::SDOUTSIDE);
  }
  // A reaction variance below 0 (0.25 + 0.16 - 2 x 0.3) is 0, no NaN.
  (*COV)(1, 2) = (*COV)(2, 1) = 0.3L;
  for (const bool atT : {true, false}) {
    extended P1 = 0, P2 = 0, sd1 = 7, sd2 = 0, slope1 = 0, slope2 = 0;
    if (atT)
      ZQCALC2::PFIXEDT(1, P1, P2, sd1, sd2, slope1, 700, 0, 1, slope2);
    else
      ZQCALC2::TFIXEDP(1, P1, P2, sd1, sd2, slope1, 5.001L, 0, 1, slope2);
    EXPECT_EQ(sd1, 0) << atT;
  }
  (*COV)(1, 2) = (*COV)(2, 1) = 0.1L;
  // The bend: two temperatures with slopes of opposite sign, from the
  // forward-difference dmu/dT (0.001 K) at each root.
  rows(findtest::BEND);
  extended T1 = 0, T2 = 0, sd1 = 0, sd2 = 0, slope1 = 0, slope2 = 0;
  ZQCALC2::TFIXEDP(1, T1, T2, sd1, sd2, slope1, 5, 0, 1, slope2);
  EXPECT_NEAR(slope1, -11.232114441623633L, 1e-7L);
  EXPECT_NEAR(slope2, 11.232139673759281L, 1e-7L);
  EXPECT_NEAR(sd1, sd0P * -slope1, 1e-6L);  // sqrt(covH) / |dmu/dT|
  // Outside the window: 1e31 and the slopes untouched.
  rows(findtest::POLYMORPHS);
  window(10, 40, 300, 600);
  slope1 = 3, slope2 = 4;
  ZQCALC2::PFIXEDT(1, T1, T2, sd1, sd2, slope1, 700, 0, 1, slope2);
  ZQCALC2::TFIXEDP(1, T1, T2, sd1, sd2, slope1, 5.001L, 0, 1, slope2);
  EXPECT_EQ(sd1, ZQCALC2::SDOUTSIDE);
  EXPECT_EQ(sd2, ZQCALC2::SDOUTSIDE);
  EXPECT_EQ(slope1 + slope2, 7);
}

// Below 1 kbar the P tolerance is relative: a reaction releasing a gas,
// whose R T ln f makes the line curve at low P, is solved for its pressure
// to parts in 1e8 of it; the 1e-4 kbar used above 1 kbar would leave up to
// 4e-5 of it.
TEST_F(Find, PressureOfAGasReleaseBelowOneKbar) {
  window(0.0005L, 1, 300, 1300);
  for (const extended root : {0.002L, 0.005L, 0.01L, 0.03L, 0.1L, 0.4L}) {
    SCOPED_TRACE(static_cast<double>(root));
    rows({{"A", 0, 0.1L, 2}, {"B", 0, 0.1L, 1}, {"CH4", 0, 0.1L, 0}});
    reaction({-1, 1, 1});
    (*TD)(2, TDSLOT::H) = -dmu(root, 700);  // puts the root at `root` kbar
    ASSERT_NEAR(dmu(root, 700), 0, 1e-12L);
    const roots r = find(findtype::findp, 700);
    EXPECT_NEAR(r.x1, root, 1e-7L * root);
    EXPECT_EQ(r.x2, NONE);
  }
}

// A reaction releasing CO2 (a solid row standing in for it, so only ln x
// enters): dmu = dG0 + R T ln x(CO2) is zero at x = exp(-dG0 / R T).
TEST_F(Find, XCO2OfAReactionReleasingCO2) {
  rows({{"A", -1000, 0.10L, 1}, {"B", -997.7L, 0.10L, 1}, {"C", 0, 0.001L, 0}});
  CO2POS = 3;
  reaction({-1, 1, 1});
  extended dV = 0, dmudT = 0, dG0 = 0;
  ZQCALC1::CALCDG0(1, dV, dmudT, dG0, 5, 800);
  const extended root = std::exp(-dG0 / (CONST::RGAS * 800));
  ASSERT_TRUE(root > 0.1L && root < 0.9L);
  for (bool guess : {false, true}) {
    roots r;
    r.x1 = 0.5L;
    ZQCALC2::FIND(1, findtype::findxco2, guess, r.x1, r.x2, r.dV1, 5, 800, 0, 1, r.dV2, r.dmudT1, r.dmudT2);
    EXPECT_NEAR(r.x1, root, 1e-5L) << guess;
    EXPECT_EQ(r.x2, NONE) << guess;
    EXPECT_EQ(r.dV1 + r.dV2 + r.dmudT1 + r.dmudT2, 0) << guess;
  }
  testsupport::Terminal quiet;
  for (findtype kind : {findtype::findlna, findtype::findmu})
    EXPECT_EQ(fatal([&] { find(kind, 5); }), "find: unimplemented");
}

}  // namespace
