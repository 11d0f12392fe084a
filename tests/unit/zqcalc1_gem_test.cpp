// End-member Gibbs energies against values worked out independently in
// 40-digit arithmetic, and against the identities G must obey: dG/dP = V,
// -T d2G/dT2 = Cp, the modulus and expansion at the reference state.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_model.h"
#include "frame/zqglobal_reset.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "model/zqcalc1.h"
#include "model/zqcalc1_gem.h"
#include "model/zqcalc2_pseudo.h"
#include "worktest.h"

using namespace ZQGLOBAL;
using CONST::PR;
using CONST::TR;
using testsupport::fatal;

namespace {

using slots = std::vector<std::pair<int, long double>>;

// The rows the cases share, by slot.
const slots solid = {{1, -5000},   {2, 0.25L},     {3, 10},           {4, 0.5L},  {5, 1e-5L}, {6, -3000},
                     {7, -3},      {8, 2.5e-5L},   {9, 1500},         {10, 4},    {11, -4.0L / 1500},
                     {12, 500}};
const slots liquid = {{1, -4000}, {2, 0.2L}, {3, 4},  {4, 0.3L},  {8, 5e-5L},
                      {9, 300},   {10, 6},   {11, -0.02L}, {13, -0.05L}};
const slots older = {{1, -4000}, {2, 0.2L}, {3, 5}, {4, 0.3L}, {8, 3e-5L}, {9, 10}, {11, 1000}, {12, 4}, {13, -0.2L}};
const slots explicitrow = {{1, -3000}, {2, 0.15L}, {3, 5},     {4, 0.2L}, {5, 1e-5L}, {8, 3e-5L},
                           {9, 1000},  {10, 4},    {11, -0.004L}, {12, 600}, {31, 3}};

// A modulus, K' and the pressure term they give at the limit of the form.
struct eoslimit {
  long double K0, Kp, gv;
};

bool near(long double got, long double want, long double rel) {
  return std::fabs(got - want) <= rel * std::fabs(want);
}

class Gem : public testsupport::UnitsSuite {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    RESETMODEL();
    TD->fill(0);
    CALCMODE = calcmodetype::nlecalc;
    DSMODE = 6;
    WITHOLDSET = false;
    QVB = true;
    NUMERICAL = false;
    GIXPW = 1;
  }
  void TearDown() override {
    RESETMODEL();
    CALCMODE = calcmodetype::nlecalc;
    WITHOLDSET = false;
    DSMODE = 0;
    testsupport::freshstate();
  }

  // Row i := the given slots, everything else 0, named name.
  static void row(int i, const std::string& name, const slots& s, const slots& changes = {}) {
    for (int k = 1; k <= maxtd; ++k) (*TD)(i, k) = 0;
    for (auto [k, v] : s) (*TD)(i, k) = v;
    for (auto [k, v] : changes) (*TD)(i, k) = v;
    NAME[i] = name;
  }
  static long double g(int i, long double P, long double T) {
    extended G = 0;
    ZQCALC1::GEM(static_cast<smallint>(i), P, T, G);
    return G;
  }
  static long double dgdp(int i, long double P, long double T, long double h = 1e-3L) {
    return (g(i, P + h, T) - g(i, P - h, T)) / (2 * h);
  }
  static long double cp(int i, long double P, long double T, long double h = 0.5L) {
    return -T * (g(i, P, T + h) - 2 * g(i, P, T) + g(i, P, T - h)) / (h * h);
  }
  // Bulk modulus and expansion from the second derivatives of G.
  static long double modulus(int i, long double P, long double T, long double h = 0.01L) {
    const long double d2 = (g(i, P + h, T) - 2 * g(i, P, T) + g(i, P - h, T)) / (h * h);
    return -dgdp(i, P, T) / d2;
  }
  static long double expansion(int i, long double P, long double T, long double hp = 0.01L, long double ht = 1) {
    const long double d2 = (g(i, P + hp, T + ht) - g(i, P + hp, T - ht) - g(i, P - hp, T + ht) + g(i, P - hp, T - ht)) /
                           (4 * hp * ht);
    return d2 / dgdp(i, P, T);
  }
  static ZQCALC1::gemcontext context(int i, long double P, long double T) {
    ZQCALC1::gemcontext c;
    ZQCALC1::gemread(c, static_cast<smallint>(i), P, T);
    return c;
  }
};

TEST_F(Gem, StandardSolidValuesAndIdentities) {
  row(1, "zq", solid);
  EXPECT_EQ(g(1, PR, TR), -5000 - TR * 0.25L);
  struct {
    long double P, T, G;
  } cases[] = {{PR, 1000, -5426.693129458L}, {10, 900, -5258.451881587L}, {30, 1200, -5267.020864290L}};
  for (auto c : cases) EXPECT_TRUE(near(g(1, c.P, c.T), c.G, 1e-12L)) << c.P << " " << c.T;

  EXPECT_TRUE(near(dgdp(1, 10, 900), 10.111848401L, 1e-9L));
  EXPECT_TRUE(near(cp(1, PR, 800), 0.3972464828L, 1e-7L));
  EXPECT_TRUE(near(modulus(1, PR, TR), 1500.004L, 1e-6L));
  EXPECT_TRUE(near(expansion(1, PR, TR), 2.49999e-5L, 1e-5L));

  // The Tait parameters of the row reproduce its modulus.
  ZQCALC1::gemcontext c = context(1, 10, 900);
  c.pressureterm();
  EXPECT_TRUE(near(c.ea * c.eb * c.ec, 1.0L / 1500, 1e-15L));

  // A stiff solid (K0 up to 1e25) and a small K': where 1 + eb P keeps no
  // digits the term still tends to its limits, incompressible with thermal
  // expansion and of constant modulus.
  const eoslimit limits[] = {{1e15L, 4, 101.82588729844618339L}, {1e20L, 4, 101.82588729844673126L},
                {1e25L, 4, 101.82588729844673127L}, {1500, 1e-15L, 101.42129946409502954L},
                {1500, 1e-12L, 101.42129946409504001L}};
  for (auto k : limits) {
    row(2, "zs", solid, {{9, k.K0}, {10, k.Kp}, {11, -k.Kp / k.K0}});
    EXPECT_TRUE(near(context(2, 10, 900).pressureterm(), k.gv, 1e-15L)) << k.K0 << " " << k.Kp;
  }
  // A read K'' leaving 1 + K' + K'' K0 within a hair of 0: ea past reach.
  row(2, "zs", solid, {{11, -0.003333333333L}});
  EXPECT_TRUE(near(context(2, 10, 900).pressureterm(), 101.46504588987687157L, 1e-15L));
}

TEST_F(Gem, LiquidAndOlderGeneration) {
  row(1, "zqL", liquid);
  EXPECT_TRUE(near(g(1, 10, 1500), -4624.812040318L, 1e-12L));
  EXPECT_TRUE(near(dgdp(1, 10, 1500), 4.092469830L, 1e-9L));

  // The same numbers without the final L are a solid: other G.
  row(2, "zqS", liquid, {{12, 500}});
  EXPECT_GT(std::fabs(g(2, 10, 1500) - g(1, 10, 1500)), 1e-3L);

  WITHOLDSET = true;
  row(3, "old", older);
  ZQCALC1::gemcontext c = context(3, 10, 900);
  const long double gv = c.pressureterm();
  EXPECT_TRUE(near(gv, 50.233925923L, 1e-10L));
  // The closed form is the integral of the Murnaghan volume.
  const long double kt = 1000 - 0.2L * (900 - TR);
  const long double vt = 5 * (1 + 3e-5L * ((900 - TR) - 2 * 10 * (std::sqrt(900.0L) - std::sqrt(TR))));
  auto v = [&](long double p) { return vt * std::pow((1 + 4 * p / kt) / (1 + 4 * PR / kt), -0.25L); };
  const int n = 2000;
  const long double h = (10 - PR) / n;
  long double simpson = v(PR) + v(10);
  for (int k = 1; k < n; ++k) simpson += (k % 2 ? 4 : 2) * v(PR + k * h);
  EXPECT_TRUE(near(gv, simpson * h / 3, 1e-12L));
  // Stiff, K' near 1 and K' at or near 0 (constant modulus): the closed
  // form's limits, not its lost digits.
  const eoslimit limits[] = {{1e14L, 4, 50.515733539087509933L}, {1e20L, 4, 50.515733539090035464L},
                {1000, 1 + 1e-15L, 50.230778046342548968L}, {1000, 0, 50.229705124029515292L},
                {1000, 1e-18L, 50.229705124029515292L}};
  for (auto k : limits) {
    row(5, "oldx", older, {{11, k.K0}, {12, k.Kp}});
    EXPECT_TRUE(near(context(5, 10, 900).pressureterm(), k.gv, 1e-15L)) << k.K0 << " " << k.Kp;
  }
  WITHOLDSET = false;
  row(6, "stiffL", liquid, {{9, 1e20L}, {11, -6e-20L}, {13, 0}});
  EXPECT_TRUE(near(context(6, 10, 1500).pressureterm(), 42.473143099665109602L, 1e-15L));
  row(7, "flatL", liquid, {{11, -0.02917791232L}});
  EXPECT_TRUE(near(context(7, 10, 1500).pressureterm(), 41.663415747748946047L, 1e-15L));

  // No modulus: constant volume, in either generation.
  for (bool old : {true, false}) {
    WITHOLDSET = old;
    row(4, "cv", old ? older : solid, {{old ? 11 : 9, 0}});
    EXPECT_EQ(context(4, 10, 900).pressureterm(), (10 - PR) * (*TD)(4, 3)) << old;
  }
}

TEST_F(Gem, PressureExplicitBothForms) {
  DSMODE = 7;
  row(1, "px", explicitrow);
  struct {
    bool qvb;
    long double y, gseries, gsimpson;
  } cases[] = {{true, 1.012591849058L, -3153.579527569L, -3153.579535452L},
               {false, 1.012591847443L, -3153.579528235L, -3153.579535709L}};
  for (auto k : cases) {
    QVB = k.qvb;
    ZQCALC1::gemcontext c = context(1, 10, 900);
    const long double y = c.CALCV(10, 900);
    EXPECT_TRUE(near(y, k.y, 1e-11L)) << k.qvb;
    c.pressureofy(y, c.thermalpressure(900));
    EXPECT_TRUE(near(c.Pofy, 10, 1e-12L)) << k.qvb;
    NUMERICAL = false;
    VD = 0;
    EXPECT_TRUE(near(g(1, 10, 900), k.gseries, 1e-12L)) << k.qvb;
    EXPECT_EQ(VD, 0) << k.qvb;  // every series converged
    // The exponential form's series stops at terms of 1e-8, so its pressure
    // term is the integral of V to that order only.
    EXPECT_TRUE(near(dgdp(1, 10, 900), 5 * y, k.qvb ? 3e-8L : 1e-9L)) << k.qvb;
    NUMERICAL = true;
    EXPECT_TRUE(near(g(1, 10, 900), k.gsimpson, 1e-12L)) << k.qvb;
    NUMERICAL = false;
    EXPECT_TRUE(near(modulus(1, PR, TR), 1000, 1e-6L)) << k.qvb;
    EXPECT_TRUE(near(expansion(1, PR, TR), 3e-5L, 1e-5L)) << k.qvb;
    // At Pr exactly no pressure term.
    EXPECT_EQ(context(1, PR, 900).pressureterm(), 0) << k.qvb;
    // The start value alone is already close at Pr.
    EXPECT_NEAR(context(1, PR, 900).CALCV0(900), c.CALCV(PR, 900), 1e-6L) << k.qvb;
    // Hot, the thermal pressure is large and every term of the start series
    // counts.
    // The series falls short of the root by 6.3e-7 (1500 K) and 3.6e-5
    // (2500 K) of it; a term of it broken moves the start by more.
    for (const auto& [T, shortfall] : {std::pair{1500.0L, 8e-7L}, std::pair{2500.0L, 4.2e-5L}}) {
      const long double y0 = context(1, PR, T).CALCV0(T), y = context(1, PR, T).CALCV(PR, T);
      EXPECT_LT(y0, y) << k.qvb << " " << T;
      EXPECT_LT(y - y0, shortfall * y) << k.qvb << " " << T;
    }
  }

  // The volume solve inverts P(y) far from the reference state too, where
  // the series start is poor and the solve restarts from a compressed state.
  for (bool qvb : {true, false}) {
    QVB = qvb;
    for (long double P : {PR, 30.0L, 100.0L, 300.0L, 1000.0L})
      for (long double T : {300.0L, 1500.0L, 2500.0L}) {
        ZQCALC1::gemcontext c = context(1, P, T);
        c.pressureofy(c.CALCV(P, T), c.thermalpressure(T));
        EXPECT_NEAR(c.Pofy, P, 1e-11L * (P + 1)) << qvb << " " << P << " " << T;
      }
  }

  // A stiff solid: y - 1 is its thermal expansion alone, the term its
  // integral, however far 1 + eb P is below the arithmetic's unit; without
  // expansion, in either form, V0 (P - Pr).
  for (long double K0 : {1e18L, 1e19L, 1e22L}) {
    QVB = false;
    row(3, "pxs", explicitrow, {{9, K0}, {11, -4 / K0}});
    EXPECT_TRUE(near(context(3, 10, 900).pressureterm(), 51.158497345681281L, 1e-15L)) << K0;
    for (bool qvb : {true, false}) {
      QVB = qvb;
      row(4, "pxn", explicitrow, {{8, 0}, {9, K0}, {11, -4 / K0}});
      EXPECT_TRUE(near(context(4, 10, 900).pressureterm(), 5 * (10 - PR), 1e-15L)) << K0 << qvb;
    }
  }
  // K' within a hair of 0 (or 0 in the exponential form), ea past reach, a
  // stiff exponential form with expansion: the closed form, every digit.
  struct {
    bool qvb;
    long double alpha0, K0, Kp, Kpp, gv;
  } forms[] = {{false, 0, 1000, 1e-12L, -1e-15L, 49.745881002515861706L},
               {true, 3e-5L, 1000, 1e-18L, -1e-21L, 50.857565246622482811L},
               {true, 3e-5L, 1000, 0, 0, 50.857565246622482811L},
               {true, 3e-5L, 1e12L, 4, -4e-12L, 51.158498730224337845L},
               {false, 3e-5L, 2e5L, 4, -2.4999999995e-5L, 51.157231921876034836L},
               {false, 3e-5L, 1000, 1e-17L, -1e-20L, 50.857565628145288921L}};
  for (auto k : forms) {
    QVB = k.qvb;
    row(5, "pxk", explicitrow, {{8, k.alpha0}, {9, k.K0}, {10, k.Kp}, {11, k.Kpp}});
    EXPECT_TRUE(near(context(5, 10, 900).pressureterm(), k.gv, 1e-15L)) << k.qvb << " " << k.K0 << " " << k.Kp;
  }
  // The last one's numerical heat-capacity integral solves the same volumes.
  EXPECT_TRUE(near(context(5, 10, 900).simpson(), -1.1597743218909187275L, 1e-13L));

  // Without thermal expansion the heat capacity is Einstein plus linear.
  row(2, "px0", explicitrow, {{8, 0}});
  const long double T = 700, u = 600 / T;
  EXPECT_TRUE(near(cp(2, PR, T), 0.2L * ZQCALC1::einstein(u) + 1e-5L * T, 1e-7L));
}

TEST_F(Gem, DilatationalIntegral) {
  DSMODE = 7;
  row(1, "px", explicitrow);
  ZQCALC1::gemcontext c = context(1, PR, 1000);
  EXPECT_TRUE(near(c.CALCICP(1000), -1.670896262L, 1e-9L));
  EXPECT_TRUE(near(c.simpson(), -1.670905798L, 1e-9L));
  // And what the series adds to G is that integral.
  const long double u = 600.0L / 1000, u0 = 600 / TR;
  const long double einsteinpart =
      0.2L * 600 * (1 / std::expm1(u) - 1 / std::expm1(u0)) -
      1000 * 0.2L * (u * std::exp(u) / std::expm1(u) - u0 * std::exp(u0) / std::expm1(u0) - std::log(std::expm1(u) / std::expm1(u0)));
  const long double linear = 1e-5L * (1000.0L * 1000 - CONST::TR2) / 2 - 1000 * 1e-5L * (1000 - TR);
  EXPECT_TRUE(near(g(1, PR, 1000) - (-3000 - 1000 * 0.15L) - einsteinpart - linear, -1.670896262L, 1e-8L));

  // A low Einstein temperature brings in the tail of the series.
  row(2, "px8", explicitrow, {{12, 800}});
  EXPECT_TRUE(near(context(2, PR, 1000).CALCICP(1000), -2.260692677L, 1e-9L));
  EXPECT_EQ(context(1, PR, TR).CALCICP(TR), 0);
}

TEST_F(Gem, SimpsonIntervals) {
  struct {
    long double dT;
    int n;
  } cases[] = {{2800, 140}, {2820, 138}, {30, 4}, {100, 6}, {90, 4}, {110, 6}, {-50, 4}, {1e30L, 138}};
  for (auto c : cases) EXPECT_EQ(ZQCALC1::simpsonintervals(c.dT), c.n) << c.dT;
}

TEST_F(Gem, ExponentialIntegralsAndPowers) {
  EXPECT_TRUE(near(ZQCALC1::EI(-2), -0.04890037075L, 1e-9L));
  EXPECT_TRUE(near(ZQCALC1::EI(-5), -0.001148295588L, 1e-9L));
  struct {
    long double x, k, want;
    int unconverged;
  } cases[] = {{-0.1L, 4, -0.1300015755L, 0}, {0.05L, 4, 0.04425672712L, 0}, {-0.3L, 6, -1.052416499L, 1},
               {0, 4, 0, 0}};
  for (auto c : cases) {
    VD = 0;
    const long double d = ZQCALC1::DELEI(c.x, c.k);
    EXPECT_TRUE(c.want == 0 ? d == 0 : near(d, c.want, 1e-9L)) << c.x << " " << c.k;
    EXPECT_EQ(VD, c.unconverged) << c.x << " " << c.k;
  }
  const long double x = 1.1L;
  EXPECT_EQ(ZQCALC1::POW(x, 2), x * x);
  EXPECT_EQ(ZQCALC1::POW(x, 3), x * x * x);
  EXPECT_EQ(ZQCALC1::POW(x, 0), 1);
  EXPECT_EQ(ZQCALC1::POW(2, -2), 0.25L);
}

TEST_F(Gem, TermsThatDropOut) {
  row(1, "zq", solid);
  // No entropy: H alone, whatever P and T.
  row(2, "h", solid, {{2, 1e-9L}});
  for (long double P : {PR, 10.0L, 40.0L}) EXPECT_EQ(g(2, P, 1200), -5000);
  // No volume: no pressure term, all else kept.
  row(3, "nov", solid, {{3, 0}});
  EXPECT_EQ(g(3, 30, 1200), g(1, PR, 1200));

  const longint before = IO::NGEM;
  g(1, 10, 900);
  EXPECT_EQ(IO::NGEM, before + 1);
}

// An ln a variable rides in the entropy slot (S := own S - R ln a); the rule
// that a row without entropy is H alone goes by the row's own S, and R T ln a
// is added either way.
TEST_F(Gem, CarriedLnaLeavesTheRowsOwnEntropyRule) {
  const long double R = 0.0083144L, P = 7, T = 900, dP = 7 - 0.001L;
  row(1, "pz", {{1, -1090}, {3, 0.6L}});               // no entropy, a volume
  row(2, "pr", {{1, -1085}, {2, R / 4}, {3, 0.6L}});    // S = R/4: ln a 1/4 empties the slot
  row(3, "pn", {{1, -1080}, {2, 5e-9L}, {3, 0.6L}});    // S below the rule's bound
  struct Case {
    int row;
    long double lna, want;
  };
  const Case cases[] = {
      {1, 0, -1090},
      {1, 0.5L, -1090 + R * T * 0.5L},
      {1, -2.3L, -1090 - R * T * 2.3L},
      {2, 0.25L, -1085 + 0.6L * dP},
      {2, 0, -1085 - T * R / 4 + 0.6L * dP},
      {2, -1, -1085 - T * R / 4 + 0.6L * dP - R * T},
      {3, 1e-6L, -1080 + R * T * 1e-6L},
  };
  for (const Case& c : cases) {
    const long double own = (*TD)(c.row, TDSLOT::S);
    KEEPLNAS[2] = own;
    CARRYLNA(2, static_cast<smallint>(c.row), R * c.lna);
    EXPECT_NEAR(g(c.row, P, T), c.want, 1e-9L) << c.row << " " << c.lna;
    (*TD)(c.row, TDSLOT::S) = own;
  }

  // A row filled afresh after the carry is its own again.
  KEEPLNAS[1] = 0;
  CARRYLNA(1, 1, R * 0.5L);
  row(1, "zq", solid);
  row(4, "zq", solid);
  EXPECT_EQ(g(1, P, T), g(4, P, T));

  // The diagrams' pseudo end-member: the last row, its ln a or its log a.
  row(1, "pz", {{1, -1090}, {3, 0.6L}});
  NCV = 1;
  KEEPLNAS[1] = 0;
  ZQCALC2::SETLNAPSEUDO(-0.4L);
  EXPECT_NEAR(g(1, P, T), -1090 - R * T * 0.4L, 1e-9L);
  CONTROLJX.setloga = yes;
  ZQCALC2::SETLNAPSEUDO(-0.4L);
  EXPECT_NEAR(g(1, P, T), -1090 - 0.019144654296L * T * 0.4L, 1e-9L);
  CONTROLJX.setloga = no;
  RESETWINDOWS();
}

TEST_F(Gem, MadeEndMembers) {
  row(1, "A", solid);
  row(2, "BL", liquid);
  row(3, "made", {{1, 3}, {2, 0.01L}, {3, 0.2L}, {29, 0}, {30, 5}});
  ptype0& p = (*PREC0)[5];
  p.nmake = 2;
  p.makediv = 2;
  p.makecoef[1] = 2;
  p.makepos[1] = 1;
  p.makecoef[2] = -1;
  p.makepos[2] = 2;
  const long double P = 10, T = 900;
  const long double dqf = 3 - T * 0.01L + P * 0.2L;
  const long double want = dqf + 2 * g(1, P, T) / 2 - g(2, P, T) / 2;
  const longint before = IO::NGEM;
  extended G = 0;
  ZQCALC1::GEMDRIVER(3, P, T, G);
  EXPECT_TRUE(near(G, want, 1e-15L));
  EXPECT_EQ(IO::NGEM, before + 2);

  // The same recipe held by an end-member of a solution phase.
  emtype& em = (*PREC1)[2].em[3];
  em.nmake = p.nmake;
  em.makediv = p.makediv;
  em.makecoef = p.makecoef;
  em.makepos = p.makepos;
  row(4, "made1", {{1, 3}, {2, 0.01L}, {3, 0.2L}, {29, 2}, {30, 3}});
  ZQCALC1::GEMDRIVER(4, P, T, G);
  EXPECT_TRUE(near(G, want, 1e-15L));
  // No constituents: the correction alone.
  p.nmake = 0;
  ZQCALC1::GEMDRIVER(3, P, T, G);
  EXPECT_EQ(G, dqf);

  // Slot 30 zero: a data-set row whatever slot 29 says.
  row(5, "zq", solid, {{29, 7}});
  ZQCALC1::GEMDRIVER(5, P, T, G);
  EXPECT_EQ(G, g(1, P, T));

  WITHOLDSET = true;
  EXPECT_EQ(fatal([&] { ZQCALC1::GEMDRIVER(3, P, T, G); }), "gemdriver: depem code for oldset??");
}

TEST_F(Gem, LeastSquaresRecordsReadLikeRows) {
  for (int dsmode : {6, 7}) {
    DSMODE = static_cast<smallint>(dsmode);
    row(1, "zq", dsmode == 7 ? explicitrow : solid);
    tdrec& r = TDA[9];
    r = tdrec{};
    const tdmatrix& td = *TD;
    r.h = td(1, 1), r.s = td(1, 2), r.v = td(1, 3);
    if (dsmode == 7) {
      r.eqtype = 3;
      r.cv1 = td(1, 4), r.cv2 = td(1, 5);
      r.cpa = 99;  // not the heat capacity of a pressure-explicit record
    } else {
      r.cpa = td(1, 4), r.cpb = td(1, 5), r.cpc = td(1, 6), r.cpd = td(1, 7);
    }
    r.a0 = td(1, 8), r.k0 = td(1, 9), r.k0p = td(1, 10), r.k0pp = td(1, 11), r.theta = td(1, 12);
    PHNAMES[9] = "zq";
    const long double want = g(1, 10, 900);
    CALCMODE = calcmodetype::lsqdscalc;
    EXPECT_EQ(g(9, 10, 900), want) << dsmode;
    CALCMODE = calcmodetype::nlecalc;
  }
}

TEST_F(Gem, ThermalPressureBeyondTheModulus) {
  // A large expansion drives eb Pth past 1 at high T.
  row(1, "hot", solid, {{8, 1e-3L}});
  EXPECT_EQ(fatal([] { g(1, 10, 300); }), "");
  {
    testsupport::Terminal term;
    EXPECT_EQ(fatal([] { g(1, 10, 1200); }), "gem: hot: b Pth > 1, log(-ve)");
    EXPECT_NE(term.text().find("   1   hot   10.000000       927"), std::string::npos) << term.text();
  }
  FROMOUTXY = true;
  testsupport::Terminal term;
  ZQCALC1::gemcontext c = context(1, 10, 1200);
  const long double gv = c.pressureterm();
  EXPECT_NE(term.text().find("pth problem with hot in outxy at  10.00, 927\n"), std::string::npos) << term.text();
  // The clamped thermal pressure Pr - 0.999/eb.
  EXPECT_TRUE(near(gv, 85.606491762774400L, 1e-12L)) << (double)gv;
}

TEST_F(Gem, ImpossibleParametersStopTheRun) {
  struct {
    const char* name;
    bool old;
    int dsmode;
    slots base;
    slots changes;
    long double T;
  } cases[] = {
      {"kp0", false, 6, solid, {{10, 0}, {11, 0}}, 900},           // ec infinite
      {"eb0", false, 6, solid, {{10, 1}, {11, 2.0L / 1500}}, 900},  // eb 0
      {"ec1", false, 6, solid, {{10, 3}, {11, 4.0L / 1500}}, 900},  // ec 1
      {"ec1short", false, 6, solid, {{10, 1}, {11, 0}}, 900},       // ec = 1/K' = 1
      {"theta0", false, 6, solid, {{12, 0}}, 900},                  // no Einstein temperature
      {"softL", false, 6, liquid, {{13, -0.5L}}, 1000},             // K(T) < 0
      {"oldkp1", true, 6, older, {{12, 1}}, 900},
      {"oldkt", true, 6, older, {{13, -2}}, 900},                   // K(T) < 0
      {"px", false, 7, explicitrow, {{9, 0}}, 900},                  // no modulus
  };
  for (const auto& k : cases) {
    WITHOLDSET = k.old;
    DSMODE = static_cast<smallint>(k.dsmode);
    QVB = false;
    row(1, k.name, k.base, k.changes);
    EXPECT_EQ(fatal([&] { g(1, 10, k.T); }), std::string("gem: ") + k.name + ": impossible equation-of-state parameters");
  }
}

}  // namespace
