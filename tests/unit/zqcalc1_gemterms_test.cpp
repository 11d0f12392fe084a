// The fluid, ordering, hydration and aqueous terms as GEM adds them to a
// data-set row: which rows get which term, and Gibbs-Duhem of the fluid
// mixture through the whole evaluation.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_model.h"
#include "frame/zqute1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc1_terms.h"
#include "zqcalc1_testsupport.h"
#include "worktest.h"

using namespace ZQGLOBAL;
using testsupport::near;

namespace {

using slots = std::vector<std::pair<int, long double>>;

// A gas row of the kind the data sets carry: no volume, a heat capacity.
const slots gasrow = {{1, -241.81L}, {2, 0.1888L}, {4, 0.0401L}, {5, 8.656e-06L}, {6, 487.5L}, {7, -0.2512L}};
const slots solid = {{1, -5000}, {2, 0.25L}, {3, 10}, {4, 0.5L}, {5, 1e-5L}, {6, -3000}, {7, -3},
                     {8, 2.5e-5L}, {9, 1500}, {10, 4}, {11, -4.0L / 1500}, {12, 500}};
const slots landau = {{14, 800}, {15, 0.004L}, {16, 0.04L}};
const slots order = {{20, 10}, {21, 0.05L}, {22, 3}, {23, 0.02L}, {24, 2}, {25, 1}};

class GemTerms : public testsupport::UnitsSuite {
 protected:
  void SetUp() override {
    RESETMODEL();
    TD->fill(0);
    DSMODE = 6;
  }
  void TearDown() override {
    RESETMODEL();
    DSMODE = 0;
  }
  testsupport::modelswitches sw{true};

  static void row(int i, const std::string& name, const slots& s, const slots& more = {},
                  const slots& evenmore = {}) {
    for (int k = 1; k <= maxtd; ++k) (*TD)(i, k) = 0;
    for (const slots* part : {&s, &more, &evenmore})
      for (auto [k, v] : *part) (*TD)(i, k) = v;
    NAME[i] = name;
  }
  static long double g(int i, long double P, long double T) {
    extended G = 0;
    ZQCALC1::GEM(static_cast<smallint>(i), P, T, G);
    return G;
  }
  static void fluid(int i, long double xco2) {
    (*TD)(i, TDSLOT::XCO2) = xco2;
    (*TD)(i, TDSLOT::XH2O) = 1 - xco2;
  }
};

// A row named for a fluid gets that fluid's RT ln f (40-digit values); the
// same row under any other name gets nothing.
TEST_F(GemTerms, FluidsByExactName) {
  struct named {
    const char* name;
    extended P, T, RTlnf;
  };
  const named fluids[] = {{"H2O", 10, 873.15L, 68.20912572468776L}, {"CO2", 10, 873.15L, 94.11258910248463L},
                          {"CH4", 1, 800, 48.88981096280458L},      {"H2", 1, 800, 48.02364356799874L},
                          {"CO", 1, 800, 49.13950168378672L},       {"H2S", 1, 800, 46.41235102236185L},
                          {"S2", 1, 800, 47.52297134555291L},       {"h2o", 1, 800, 0},
                          {"H2O ", 1, 800, 0},                      {"O2", 1, 800, 0}};
  row(2, "gas", gasrow);
  for (const named& f : fluids) {
    row(1, f.name, gasrow);
    EXPECT_NEAR(static_cast<double>(g(1, f.P, f.T) - g(2, f.P, f.T)), static_cast<double>(f.RTlnf), 1e-8) << f.name;
  }
  // No entropy: H alone, no fluid term.
  row(3, "H2O", gasrow, {{2, 0}});
  EXPECT_EQ(g(3, 5, 900), -241.81L);
}

TEST_F(GemTerms, FluidMixtureThroughGem) {
  row(1, "H2O", gasrow);
  row(2, "CO2", gasrow);
  const long double P = 2, T = 773.15L;
  fluid(1, 0);
  fluid(2, 1);
  const long double pureH = g(1, P, T), pureC = g(2, P, T);
  for (int i : {1, 2}) fluid(i, 0.3L);
  EXPECT_EQ(g(1, P, T), pureH);  // not an H2O-CO2 fluid: no mixing term
  FLUIDTYPE = ftype::ih2oco2;
  EXPECT_TRUE(near(g(1, P, T) - pureH, 0.8686241379935821L, 1e-8L));
  EXPECT_TRUE(near(g(2, P, T) - pureC, 2.069436643288208L, 1e-8L));
  // Nothing at either pure end.
  fluid(1, 0);
  fluid(2, 1);
  EXPECT_EQ(g(1, P, T), pureH);
  EXPECT_EQ(g(2, P, T), pureC);
  // Gibbs-Duhem along x(CO2).
  for (long double x : {0.1L, 0.5L, 0.8L}) {
    const long double h = 1e-5L;
    auto slope = [&](int i) {
      fluid(i, x + h);
      const long double up = g(i, P, T);
      fluid(i, x - h);
      return (up - g(i, P, T)) / (2 * h);
    };
    EXPECT_NEAR(static_cast<double>((1 - x) * slope(1) + x * slope(2)), 0, 1e-7) << static_cast<double>(x);
  }
}

TEST_F(GemTerms, OrderingTerms) {
  row(1, "plain", solid);
  row(2, "lan", solid, landau);
  EXPECT_TRUE(near(g(2, 10, 850) - g(1, 10, 850), -0.4049012973023165L, 1e-10L));
  // Order-disorder, alone or with a Landau transition, which it replaces.
  row(3, "od", solid, order);
  row(4, "both", solid, landau, order);
  EXPECT_TRUE(near(g(3, 10, 1100) - g(1, 10, 1100), ZQCALC1::ORDERTERM(10, 1100, 10, 0.05L, 3, 0.02L, 2, 1), 1e-12L));
  EXPECT_EQ(g(4, 10, 1100), g(3, 10, 1100));
  // The older generation: its own Landau form from alpha0, alpha1, K0, K',
  // dK/dT in its slots, and no order-disorder term whatever the slots hold.
  WITHOLDSET = true;
  const slots oldsolid = {{1, -4000}, {2, 0.2L}, {3, 5}, {4, 0.3L}, {8, 2e-5L}, {9, -1e-3L}, {11, 1000}, {12, 4},
                          {13, -0.1L}};
  row(1, "plain", oldsolid);
  row(2, "lan", oldsolid, landau);
  EXPECT_TRUE(near(g(2, 10, 850) - g(1, 10, 850), -0.4011640048048860L, 1e-10L));
  row(3, "od", oldsolid, order);
  EXPECT_EQ(g(3, 10, 1100), g(1, 10, 1100));
}

TEST_F(GemTerms, HydrationAndAqueousSpecies) {
  row(1, "crd", solid);
  row(2, "plain", solid);
  fluid(1, 0.3L);
  EXPECT_EQ(g(1, 5, 973.15L), g(2, 5, 973.15L));  // none in calc mode 1
  CALCMODE = calcmodetype::rockcalc;
  EXPECT_TRUE(near(g(1, 5, 973.15L) - g(2, 5, 973.15L), -8.747149299821867L, 1e-9L));
  row(3, "Na+", solid, {{17, 1}, {18, 2}, {19, 0.5L}, {26, 0.1L}, {27, 0}, {28, 1}});
  EXPECT_TRUE(near(g(3, 2, 773.15L) - g(2, 2, 773.15L), -163.3997943747050L, 1e-10L));
}

}  // namespace
