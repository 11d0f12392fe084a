// The sd of an ideal activity where a site fraction lies within the
// difference step of its zero: the sd is the derivative's, however the
// step falls, against the derivatives worked out by hand.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "frame/zqglobal.h"
#include "input/zqread1.h"

using namespace ZQGLOBAL;

namespace {

// A ternary ideal phase on the sites xA = x, xB = y, xC = 1 - x - y; its
// end-members' ideal activities: ac = xA xC, rc = xC^(1/2), cc = xC.
class ActivitySdNearAZero : public ::testing::Test {
 protected:
  assemblage::tables t;
  static constexpr extended step = 0.001L;  // the difference step of the sd

  void SetUp() override {
    assemblage::system s;
    s.components = {"X"};
    assemblage::solution so;
    so.name = "sol";
    so.model = axtype::ideal;
    so.vars = {{"x"}, {"y"}};
    so.sites = {{"xA", "x"}, {"xB", "y"}, {"xC", "1 - x - y"}};
    const auto em = [](const char* name, const char* prop, std::vector<std::array<int, 3>> ideal) {
      assemblage::endmember e = assemblage::row(name, {1}, 0, 0, 0);
      e.prop = prop;
      e.ideal = std::move(ideal);
      return e;
    };
    so.ems = {em("ac", "x", {{1, 1, 1}, {3, 1, 1}}), em("rc", "y", {{3, 1, 2}}), em("cc", "1 - x - y", {{3, 1, 1}})};
    s.solutions.push_back(so);
    assemblage::layout(s);
  }
  static void calc(extended x, extended y, extended sdx, extended sdy, eqvector& a, eqvector& sd) {
    ptype1& p = (*PREC1)[1];
    p.xvar[1].sd = sdx;
    p.xvar[2].sd = sdy;
    eqvector v{"x"};
    v[1] = x;
    v[2] = y;
    ZQREAD1::CALCACTIVITIES(1, v, 5, 873.15L, a, sd);
  }
};

// xC = 0.0005 with sd 0.0002 in x and y: a = 1 - x - y has the slope -1
// in each, so sd(a) = sqrt(2) 0.0002 and sd(a)/a = 0.565685...; a step
// of 0.001 in either variable takes xC below 0.
TEST_F(ActivitySdNearAZero, LinearSiteActivityAcrossItsZero) {
  eqvector a{"a"}, sd{"sd"};
  const extended both = 2.8284271247461900976e-4L;  // sqrt(2) * 0.0002
  calc(0.6L, 0.3995L, 0.0002L, 0.0002L, a, sd);
  EXPECT_NEAR(a[3], 0.0005L, 1e-15L);
  EXPECT_NEAR(sd[3], both, 1e-15L);
  EXPECT_NEAR(sd[3] / a[3], 0.56568542494923801952L, 1e-11L);
  // The same away from the zero, and with one variable's sd alone.
  calc(0.6L, 0.3985L, 0.0002L, 0.0002L, a, sd);
  EXPECT_NEAR(sd[3], both, 1e-15L);
  calc(0.6L, 0.3995L, 0, 0.0002L, a, sd);
  EXPECT_NEAR(sd[3], 0.0002L, 1e-15L);
  // xA = 0.0004 and xC = 0.0003: a step of 0.001, or 0.0005, in x takes
  // one or the other below 0 on either side. d(xA xC)/dx = xC - xA, and
  // a difference of the product over s differs from it by s alone, and s
  // is at most half the step.
  calc(0.0004L, 0.9993L, 0.0002L, 0, a, sd);
  EXPECT_NEAR(a[1], 1.2e-7L, 1e-18L);
  EXPECT_LE(std::fabs(sd[1] - 0.0002L * 0.0001L), 0.0002L * 0.0005L);
}

// Site fractions drawn just below the step (the difference crosses 0), at
// it, above it and far from it, in x and in 1 - x - y.
TEST_F(ActivitySdNearAZero, RandomSiteFractionsAroundTheStep) {
  std::mt19937_64 rng(20261208);
  std::uniform_real_distribution<double> u(0, 1);
  const auto near = [&](int regime) -> extended {
    switch (regime) {
      case 0: return step * (0.01L + 0.99L * u(rng));  // below the step
      case 1: return step;                             // at it
      case 2: return step * (1 + 2 * u(rng));          // above it
      default: return 0.05L + 0.85L * u(rng);          // far from it
    }
  };
  eqvector a{"a"}, sd{"sd"};
  const extended inf = std::numeric_limits<extended>::infinity();
  for (int draw = 0; draw < 400; ++draw) {
    const extended x = near(draw % 4), xc = near(draw / 4 % 3);
    const extended y = 1 - x - xc;
    const extended sdx = 0.0001L + 0.0009L * u(rng), sdy = 0.0001L + 0.0009L * u(rng);
    calc(x, y, sdx, sdy, a, sd);
    SCOPED_TRACE("x " + std::to_string((double)x) + ", xC " + std::to_string((double)xc));
    const extended c = 1 - x - y;
    // cc = xC: slope -1 in both variables.
    EXPECT_NEAR(sd[3], std::hypot(sdx, sdy), 1e-12L);
    // ac = xA xC: slopes xC - xA in x (within the step) and -xA in y.
    EXPECT_LE(std::fabs(sd[1] - std::hypot(sdx * (c - x), sdy * x)), sdx * step + 1e-15L);
    // rc = xC^(1/2): its slope in each variable is -1/(2 sqrt(xi)) at some
    // xi between xC and a point of the same side within the step.
    // Right at the step either side may hold, so no bound from above.
    const extended slope = sd[2] / std::hypot(sdx, sdy);
    EXPECT_TRUE(std::isfinite(slope));
    EXPECT_GE(slope, 0.5L / std::sqrt(c + step) * (1 - 1e-12L));
    const extended off = 1e-12L;
    const extended above = c > step + off ? 0.5L / std::sqrt(c - step) : inf;
    EXPECT_LE(slope, c < step - off ? 0.5L / std::sqrt(c) * (1 + off) : above);
  }
}

}  // namespace
