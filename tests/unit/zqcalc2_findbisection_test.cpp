// The one-reaction solver where Newton from the middle of the window fails:
// a root close to a second one just beyond the window's top, reached by
// bisection first and Newton after.
#include <gtest/gtest.h>

#include <cmath>

#include "model/zqcalc2.h"
#include "zqfind_testsupport.h"

using namespace ZQGLOBAL;

namespace {

using FindBisection = findtest::FindTest;

// dmu = c - 1e-5 (T - 798.15)^2: roots at 798.15 -+ sqrt(c / 1e-5). The
// window ends between them, so dmu rises through the whole window and
// changes sign once; from its middle Newton only halves the distance to
// the nearly double root and runs out of steps.
TEST_F(FindBisection, RootNearAnExtremumBeyondTheWindow) {
  struct Case {
    extended half;  // half the distance between the two roots (K)
    extended tlow, thigh;
  };
  const Case cases[] = {
      {0.05L, 300, 798.14L},
      {0.2L, 300, 798.1L},
      {0.05L, 700, 798.12L},
  };
  for (const Case& c : cases) {
    const extended a = 1e-5L;
    // H of B so that dH - Tr dS - a (500)^2 = c - a (T0 - Tr)^2 with dS = -0.01.
    rows({{"A", -1000, 0.100L, 1}, {"B", -1005.4815L + a * c.half * c.half, 0.090L, 1, 2 * a}});
    window(0, 40, c.tlow, c.thigh);
    ASSERT_LT(dmu(5, c.tlow), 0);
    ASSERT_GT(dmu(5, c.thigh), 0);
    // Newton from the middle of the window alone does not get there.
    const findtest::roots newton = find(findtype::findt, 5, true, (c.tlow + c.thigh) / 2);
    EXPECT_EQ(newton.x1, ZQCALC2::NOROOT) << c.half;
    const findtest::roots r = find(findtype::findt, 5);
    // Within the solver's T step (10^-3 K at two printed decimals).
    EXPECT_NEAR(r.x1, 798.15L - c.half, 1e-3L) << c.half;
    EXPECT_EQ(r.x2, ZQCALC2::NOSECONDROOT);
    // dmu/dT at the lower root is 2 a half, up to the forward difference
    // of the affinity's T derivative (a x 10^-3 K).
    EXPECT_NEAR(r.dmudT1, 2 * a * c.half, 2e-8L) << c.half;
    EXPECT_EQ(r.dV1, 0);
  }
}

}  // namespace
