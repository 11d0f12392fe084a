// The fluid, ordering, hydration and aqueous terms as GEM adds them to a
// data-set row: which rows get which term, and the identities that hold
// through the whole evaluation (Gibbs-Duhem of the fluid mixture, the
// Landau entropy and volume).
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

class GemTerms : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testsupport::resetio();
    ZQUTE1::SETUP();
  }
  static void TearDownTestSuite() {
    ZQUTE1::CLEANUP();
    testsupport::resetio();
  }
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

  static void row(int i, const std::string& name, const slots& s, const slots& more = {}) {
    for (int k = 1; k <= maxtd; ++k) (*TD)(i, k) = 0;
    for (auto [k, v] : s) (*TD)(i, k) = v;
    for (auto [k, v] : more) (*TD)(i, k) = v;
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

// A row named for a fluid gets that fluid's RT ln f; the same row under any
// other name gets nothing.
TEST_F(GemTerms, FluidsByExactName) {
  struct named {
    const char* name;
    extended pcrit, tcrit;  // 0: H2O or CO2
  };
  const named fluids[] = {{"H2O", 0, 0},
                          {"CO2", 0, 0},
                          {"CH4", CONST::PCRITCH4, CONST::TCRITCH4},
                          {"H2", CONST::PCRITH2, CONST::TCRITH2},
                          {"CO", CONST::PCRITCO, CONST::TCRITCO},
                          {"H2S", CONST::PCRITH2S, CONST::TCRITH2S},
                          {"S2", CONST::PCRITS2, CONST::TCRITS2}};
  row(2, "gas", gasrow);
  for (const named& f : fluids) {
    SCOPED_TRACE(f.name);
    row(1, f.name, gasrow);
    extended V = 0, rtlnf = 0;
    if (f.pcrit > 0)
      ZQCALC1::CORRSTATE(5, 900, f.pcrit, f.tcrit, V, rtlnf);
    else if (std::string(f.name) == "H2O")
      ZQCALC1::H2OPROPS(5, 900, V, rtlnf);
    else
      ZQCALC1::CO2PROPS(5, 900, V, rtlnf);
    EXPECT_TRUE(near(g(1, 5, 900) - g(2, 5, 900), rtlnf, 1e-14L));
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
  EXPECT_TRUE(near(g(1, P, T) - pureH, 0.8686115210136707L, 1e-8L));
  EXPECT_TRUE(near(g(2, P, T) - pureC, 2.069427218962865L, 1e-8L));
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
  const long double P = 10;
  EXPECT_TRUE(near(g(2, P, 850) - g(1, P, 850), -0.4049012973023165L, 1e-10L));
  EXPECT_TRUE(near(g(2, P, 950) - g(1, P, 950), -0.6883802112069964L, 1e-10L));
  // Order-disorder, alone or with a Landau transition, which it replaces.
  row(3, "od", solid, order);
  row(4, "both", solid, landau);
  for (auto [k, v] : order) (*TD)(4, k) = v;
  EXPECT_TRUE(near(g(3, P, 1100) - g(1, P, 1100), ZQCALC1::ORDERTERM(P, 1100, 10, 0.05L, 3, 0.02L, 2, 1), 1e-12L));
  EXPECT_EQ(g(4, P, 1100), g(3, P, 1100));
  // A Landau row that cannot be: the run stops, naming it.
  row(5, "badlan", solid, {{14, 0}, {15, 0.004L}, {16, 0.04L}});
  testsupport::Terminal term;
  EXPECT_EQ(testsupport::fatal([] { g(5, 10, 850); }), "gem: badlan: impossible Landau parameters");
}

TEST_F(GemTerms, OlderGenerationOrdering) {
  WITHOLDSET = true;
  // alpha0, alpha1, K0, K', dK/dT in that generation's slots.
  const slots oldsolid = {{1, -4000}, {2, 0.2L}, {3, 5}, {4, 0.3L}, {8, 2e-5L}, {9, -1e-3L}, {11, 1000}, {12, 4},
                          {13, -0.1L}};
  row(1, "plain", oldsolid);
  row(2, "lan", oldsolid, landau);
  EXPECT_TRUE(near(g(2, 10, 850) - g(1, 10, 850), -0.4011640048048860L, 1e-10L));
  // No order-disorder term in that generation, whatever the slots hold.
  row(3, "od", oldsolid, order);
  EXPECT_EQ(g(3, 10, 1100), g(1, 10, 1100));
}

TEST_F(GemTerms, CordieriteHydrationByMode) {
  row(1, "crd", solid);
  row(2, "crdx", solid);
  fluid(1, 0.3L);
  fluid(2, 0.3L);
  const long double P = 5, T = 973.15L;
  EXPECT_EQ(g(1, P, T), g(2, P, T));  // calc mode 1
  CALCMODE = calcmodetype::rockcalc;
  EXPECT_TRUE(near(g(1, P, T) - g(2, P, T), -8.747149299821867L, 1e-9L));
}

TEST_F(GemTerms, AqueousSpecies) {
  row(1, "Na+", solid, {{17, 1}, {18, 2}, {19, 0.5L}, {26, 0.1L}, {27, 0}, {28, 1}});
  row(2, "plain", solid);
  EXPECT_TRUE(near(g(1, 2, 773.15L) - g(2, 2, 773.15L), -163.4078158114468L, 1e-10L));
}

// Every evaluation counts, the ones the fluid cache answers too.
TEST_F(GemTerms, EveryCallCounts) {
  row(1, "H2O", gasrow);
  const longint before = IO::NGEM;
  const long double first = g(1, 3, 900);
  EXPECT_EQ(g(1, 3, 900), first);
  EXPECT_EQ(IO::NGEM, before + 2);
}

}  // namespace
