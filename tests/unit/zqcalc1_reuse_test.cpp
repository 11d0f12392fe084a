// Every evaluation served from a cache or a memo, or skipped, against the
// same evaluation made afresh, bit for bit: the fluid states in every order
// of asking, the Tait row invariants of a row that changes between calls,
// a fluid row whose slots change, and the reaction energies taken for all
// reactions at once, with the count of GEM calls they stand for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_dataset.h"
#include "frame/zqglobal_model.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "model/zqcalc1.h"
#include "worktest.h"

using namespace ZQGLOBAL;

namespace {

using slots = std::vector<std::pair<int, long double>>;

// The same bits, a zero's sign included.
bool same(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }

const slots tait = {{1, -5000}, {2, 0.25L}, {3, 10},  {4, 0.5L},  {5, 1e-5L},         {6, -3000},
                    {7, -3},    {8, 2.5e-5L}, {9, 1500}, {10, 4}, {11, -4.0L / 1500}, {12, 500}};
const slots liquid = {{1, -4000}, {2, 0.2L}, {3, 4}, {4, 0.3L}, {8, 5e-5L}, {9, 300}, {10, 6}, {11, -0.02L}, {13, -0.05L}};
const slots water = {{1, -241.81L}, {2, 0.1887L}, {TDSLOT::XCO2, 0.3L}, {TDSLOT::XH2O, 0.7L}};

class Reuse : public testsupport::UnitsSuite {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    RESETMODEL();
    RESETSOLVER();
    TD->fill(0);
    R->fill(0);
    CALCMODE = calcmodetype::nlecalc;
    DSMODE = 6;
    WITHOLDSET = false;
    FLUIDTYPE = ftype::ih2oco2;
  }
  void TearDown() override {
    RESETMODEL();
    RESETSOLVER();
    NR = 0;
    NCV = 0;
    DSMODE = 0;
    FLUIDTYPE = ftype::notset;
    testsupport::freshstate();
  }
  static void row(long i, const std::string& name, const slots& s) {
    for (long k = 1; k <= maxtd; ++k) (*TD)(i, k) = 0;
    for (auto [k, v] : s) (*TD)(i, k) = v;
    NAME[i] = name;
  }
  static long double g(long i, long double P, long double T) {
    extended G = 0;
    ZQCALC1::GEM(static_cast<smallint>(i), P, T, G);
    return G;
  }
  // G of row i's present values as a row never evaluated before would
  // give it: copied to a spare row whose memo holds another row's values
  // first, the fluid caches emptied.
  static long double fresh(long i, long double P, long double T) {
    constexpr long spare = maxem;
    row(spare, "other", tait);
    (*TD)(spare, 9) = 1234.5L;
    (*TD)(spare, 12) = 321;
    g(spare, P, T);
    for (long k = 1; k <= maxtd; ++k) (*TD)(spare, k) = (*TD)(i, k);
    NAME[spare] = NAME[i];
    ZQCALC1::RESETFLUIDCACHE();
    return g(spare, P, T);
  }
};

// The states an evaluation of the equations asks the fluids for: the point,
// the activity code's steps, the reaction energies' steps.
TEST_F(Reuse, FluidStatesInEveryOrder) {
  using props = void (*)(extended, extended, extended&, extended&);
  const std::vector<std::pair<extended, extended>> states = {
      {8, 1000}, {8, 1000.01L}, {8.001L, 1000}, {8.00001L, 1000}, {8, 1000.001L}};
  for (bool sp : {false, true})
    for (props f : {props(ZQCALC1::H2OPROPS), props(ZQCALC1::CO2PROPS)}) {
      USESP = sp;
      std::vector<std::pair<extended, extended>> want;
      for (auto [P, T] : states) {
        ZQCALC1::RESETFLUIDCACHE();
        extended V = 0, RTlnf = 0;
        f(P, T, V, RTlnf);
        want.push_back({V, RTlnf});
      }
      std::vector<std::size_t> order = {0, 1, 2, 3, 4};
      ZQCALC1::RESETFLUIDCACHE();
      do
        for (std::size_t k : order) {
          extended V = 0, RTlnf = 0;
          f(states[k].first, states[k].second, V, RTlnf);
          ASSERT_TRUE(same(V, want[k].first) && same(RTlnf, want[k].second)) << "sp " << sp << " state " << k;
        }
      while (std::next_permutation(order.begin(), order.end()));
    }
  // The other equation of state at a state already kept is evaluated anew.
  ZQCALC1::RESETFLUIDCACHE();
  extended Vrk = 0, Vsp = 0, Vsp2 = 0, f = 0;
  USESP = false;
  ZQCALC1::H2OPROPS(8, 1000, Vrk, f);
  USESP = true;
  ZQCALC1::H2OPROPS(8, 1000, Vsp, f);
  ZQCALC1::RESETFLUIDCACHE();
  ZQCALC1::H2OPROPS(8, 1000, Vsp2, f);
  EXPECT_FALSE(same(Vrk, Vsp));
  EXPECT_TRUE(same(Vsp, Vsp2));
  USESP = false;
}

// Rows changed between calls, as least-squares refinement changes them, and
// a fluid row whose mixing slots change: each call gives what a row never
// seen before gives.
TEST_F(Reuse, RowsThatChangeBetweenCalls) {
  struct change {
    const char* what;
    const slots& base;
    const char* name;
    int slot;
    long double value;
  };
  const change cases[] = {
      {"Tait modulus", tait, "t", 9, 1600},
      {"Tait K'", tait, "t", 10, 4.5L},
      {"Tait K''", tait, "t", 11, 0},
      {"Tait K'' to -0", tait, "t", 11, -0.0L},
      {"Einstein temperature", tait, "t", 12, 650},
      {"expansion alone", tait, "t", 8, 3e-5L},
      {"liquid modulus", liquid, "meltL", 9, 320},
      {"liquid dK/dT", liquid, "meltL", 13, -0.07L},
      {"fluid x(CO2)", water, "H2O", TDSLOT::XCO2, 0.6L},
      {"fluid x(H2O)", water, "H2O", TDSLOT::XH2O, 0.4L},
  };
  const std::pair<long double, long double> points[] = {{5, 900}, {5, 1100}, {12.5L, 900}};
  for (const change& c : cases) {
    row(1, c.name, c.base);
    for (auto [P, T] : points) ASSERT_TRUE(same(g(1, P, T), fresh(1, P, T))) << c.what << " before";
    (*TD)(1, c.slot) = c.value;
    for (auto [P, T] : points) EXPECT_TRUE(same(g(1, P, T), fresh(1, P, T))) << c.what << " after";
    const long double changed = g(1, 5, 900);
    row(1, c.name, c.base);
    EXPECT_FALSE(same(g(1, 5, 900), changed)) << c.what << ": the change must show";
  }
}

// Reaction energies for all reactions at once against CALCDG0 on each, with
// and without the steps, sharing end-members, one of them made from others.
TEST_F(Reuse, ReactionEnergiesTakenTogether) {
  row(1, "t", tait);
  row(2, "meltL", liquid);
  row(3, "H2O", water);
  row(4, "s", {{1, -900}, {2, 0.05L}, {3, 2.2L}, {5, 2e-5L}});
  // Row 5: made from rows 1 and 4 by the recipe of pure phase 1.
  row(5, "mk", {{1, -1}, {2, 0.002L}, {3, 0.01L}});
  (*TD)(5, TDSLOT::MAKEEM) = 1;
  (*TD)(5, TDSLOT::MAKEPHASE) = 0;
  ptype0& recipe = (*PREC0)[1];
  recipe.nmake = 2;
  recipe.makediv = 3;
  recipe.makepos[1] = 1;
  recipe.makepos[2] = 4;
  recipe.makecoef[1] = 2;
  recipe.makecoef[2] = -1;
  NCV = 5;
  NR = 3;
  const std::vector<std::vector<smallint>> reactions = {{1, -2, 0, 1, 0}, {0, 1, 3, 0, -1}, {-1, 0, 1, 0, 2}};
  for (long k = 1; k <= NR; ++k)
    for (long j = 1; j <= NCV; ++j) (*R)(k, j) = reactions[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(j - 1)];

  for (auto [pstep, tstep] : {std::pair{true, true}, {true, false}, {false, true}, {false, false}}) {
    const longint n0 = IO::NGEM;
    ZQCALC1::PREPAREDG0(pstep, tstep, 9, 1050);
    const longint together = IO::NGEM - n0;
    longint apart = 0;
    for (long k = 1; k <= NR; ++k) {
      extended dV = 0, dGdT = 0, dG0 = 0, wV = 0, wGdT = 0, wG0 = 0;
      ZQCALC1::PREPAREDDG0(static_cast<smallint>(k), dV, dGdT, dG0);
      ZQCALC1::RESETFLUIDCACHE();
      const longint n1 = IO::NGEM;
      ZQCALC1::CALCDG0(static_cast<smallint>(k), wV, wGdT, wG0, 9, 1050);
      apart += IO::NGEM - n1;
      EXPECT_TRUE(same(dG0, wG0)) << "reaction " << k;
      EXPECT_TRUE(pstep ? same(dV, wV) : dV == 0) << "reaction " << k << " P step " << pstep;
      EXPECT_TRUE(tstep ? same(dGdT, wGdT) : dGdT == 0) << "reaction " << k << " T step " << tstep;
    }
    EXPECT_EQ(together, apart) << "GEM calls counted, steps " << pstep << tstep;
    EXPECT_EQ(apart, 3 * (3 + 4 + 4)) << "members of the three reactions, row 5 by two calls";
  }
  EXPECT_EQ(testsupport::fatal([] { ZQCALC1::PREPAREDG0(true, true, 9, 0); }), "calcdg0: T <= 0 !");
}

}  // namespace
