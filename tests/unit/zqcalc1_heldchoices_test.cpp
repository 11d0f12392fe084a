// Differences over P and T across a switch of an end-member's Gibbs energy
// (a series' length or form, an interval count, a formula's branch): a state
// just below the switch, or on it, must show its own smooth derivative, not
// the jump between the two forms divided by the step. Exact values are from
// 40-digit mpmath: the pressure-explicit volume as V0 y with y the root of
// P(y) under the exact e^k (Ei(-k(1 + x)) - Ei(-k)); the water's RT ln f from
// the roots of its cubic (polyroots) with the state's own branches held over
// the step. Where no closed form is at hand the derivative is the program's
// G asked the plain way on the state's own side of the switch: a backward
// difference over ten forward steps.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_dataset.h"
#include "frame/zqglobal_model.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "model/zqcalc1.h"
#include "model/zqcalc1_gem.h"

using namespace ZQGLOBAL;
using CONST::TR;

namespace {

using slots = std::vector<std::pair<int, long double>>;

// A made-up pressure-explicit row (V0 13.6, alpha0 3e-5, K0 2000, K' 5.5,
// theta 700) and a soft one (K0 100, K' 4), whose series gives way to the
// continued fraction near 72 kbar at 1000 K.
const slots pa = {{1, -2170}, {2, 0.095L}, {3, 13.6L}, {4, 0.15L},     {8, 3e-5L},
                  {9, 2000},  {10, 5.5L},  {11, -0.00275L}, {12, 700}, {31, 3}};
const slots soft = {{9, 100}, {10, 4}, {11, -0.04L}};
const slots water = {{1, -241.81L}, {2, 0.1888L}};

constexpr long double dP = 1e-5L, dT = 0.001L;  // the reaction table's steps

class HeldChoices : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    ZQUTE1::SETUP();
    RESETMODEL();
    TD->fill(0);
    R->fill(0);
    CALCMODE = calcmodetype::nlecalc;
    DSMODE = 7;
    WITHOLDSET = false;
    FLUIDTYPE = ftype::notset;
    QVB = true;
    NUMERICAL = false;
    USESP = false;
    NCV = 1;
    (*R)(1, 1) = 1;
  }
  void TearDown() override {
    ZQUTE1::CLEANUP();
    RESETMODEL();
    NCV = 0;
    DSMODE = 0;
    testsupport::freshstate();
  }
  static void row(const std::string& name, const slots& s, const slots& changes = {}) {
    for (int k = 1; k <= maxtd; ++k) (*TD)(1, k) = 0;
    for (auto [k, v] : s) (*TD)(1, k) = v;
    for (auto [k, v] : changes) (*TD)(1, k) = v;
    NAME[1] = name;
  }
  static long double g(long double P, long double T) {
    extended G = 0;
    ZQCALC1::GEM(1, P, T, G);
    return G;
  }
  struct diffs {
    long double dV, dGdT, dG0;
  };
  static diffs table(long double P, long double T) {
    diffs d{};
    ZQCALC1::CALCDG0(1, d.dV, d.dGdT, d.dG0, P, T);
    return d;
  }
  // The table at (P, T) against the derivatives on the state's own side of
  // any switch near it: over ten steps below the state, or ten above it
  // (one of the two lies wholly on its side); V relative, S absolute. G at
  // the state is the free evaluation's.
  static void ownside(long double P, long double T, long double relV, long double tolS, const std::string& what) {
    const diffs d = table(P, T);
    const long double g0 = g(P, T);
    EXPECT_EQ(d.dG0, g0) << what;
    const long double vb = (g0 - g(P - 10 * dP, T)) / (10 * dP), vf = (g(P + 10 * dP, T) - g0) / (10 * dP);
    const long double sb = (g0 - g(P, T - 10 * dT)) / (10 * dT), sf = (g(P, T + 10 * dT) - g0) / (10 * dT);
    EXPECT_TRUE(std::fabs(d.dV - vb) <= relV * std::fabs(vb) || std::fabs(d.dV - vf) <= relV * std::fabs(vf))
        << what << " P " << (double)P << " T " << (double)T << ": " << (double)d.dV << " for " << (double)vb
        << " or " << (double)vf;
    EXPECT_TRUE(std::fabs(d.dGdT - sb) <= tolS || std::fabs(d.dGdT - sf) <= tolS)
        << what << " P " << (double)P << " T " << (double)T << ": " << (double)d.dGdT << " for " << (double)sb
        << " or " << (double)sf;
  }
  // The series form at the volume root of the row at (P, T).
  static int seriesform(long double P, long double T) {
    ZQCALC1::gemcontext c;
    ZQCALC1::gemread(c, 1, P, T);
    int used = 0;
    ZQCALC1::deleiterms(c.CALCV(P, T) - 1, c.Kp, 0, used);
    return used;
  }
};

TEST_F(HeldChoices, SeriesLengthAndFormHeldOverTheSteps) {
  row("pa", pa);
  // The series drops from seven terms to six at 4.9739943 kbar (1000 K):
  // V is V0 y = 13.9783520240653 there, not 13.114.
  EXPECT_NE(seriesform(4.97399L, 1000), seriesform(4.97399L + dP, 1000));
  EXPECT_NE(seriesform(4.974L, 1000), seriesform(4.974L, 1000 + dT));
  EXPECT_NEAR(table(4.97399L, 1000).dV, 13.9783520240653L, 2e-7L);
  ownside(4.97399L, 1000, 1e-7L, 2e-5L, "count in P");
  ownside(4.974L, 1000, 1e-7L, 2e-5L, "count in T");

  // Soft: near 72.1398 kbar the continued fraction takes over, 2.5e-7 off
  // in D; V0 y = 9.61688520719271 there.
  row("soft", pa, soft);
  EXPECT_NE(seriesform(72.1398L, 1000), seriesform(72.1398L + dP, 1000));
  EXPECT_NE(seriesform(72.13981L, 1000), seriesform(72.13981L, 1000 + dT));
  EXPECT_NEAR(table(72.1398L, 1000).dV, 9.61688520719271L, 2e-5L);
  ownside(72.1398L, 1000, 1e-6L, 1e-4L, "fraction in P");
  ownside(72.13981L, 1000, 1e-6L, 1e-4L, "fraction in T");
}

TEST_F(HeldChoices, TailEstimateHeldOverTheTemperatureStep) {
  QVB = false;
  row("pa", pa);
  // |t7| passes 0.00025 at 572.06796756627162 K, where the tail adds
  // -3.8672402355e-5 kJ to G (mpmath, the series' own terms).
  const long double Ts = 572.06796756627162L;
  EXPECT_NEAR(g(5, Ts + 1e-11L) - g(5, Ts - 1e-11L), -3.8672402355e-5L, 1e-11L);
  for (long double below : {5e-4L, 1e-7L, 0.0L, -1e-7L}) ownside(5, Ts - below, 1e-7L, 1e-5L, "tail");
  ownside(5, 298.9175L + CONST::KELVIN, 1e-7L, 1e-5L, "tail at a typed temperature");
}

TEST_F(HeldChoices, SimpsonCountHeldOverTheTemperatureStep) {
  QVB = false;
  NUMERICAL = true;
  row("pa", pa);
  // 715 C: (T - Tr)/20 = 34.5, a tie to 34; a step up rounds to 35, made 36.
  const long double T = 715 + CONST::KELVIN;
  ASSERT_NE(ZQCALC1::simpsonintervals(T - TR), ZQCALC1::simpsonintervals(T + dT - TR));
  ownside(5, T, 1e-7L, 1e-5L, "Simpson at 715 C");
}

TEST_F(HeldChoices, WaterBranchesHeldOverTheTemperatureStep) {
  DSMODE = 6;
  row("H2O", water);
  const long double S = 0.1888L;
  // dRT ln f/dT over the step with the branches of the state (mpmath).
  struct {
    long double T, dlnf;
  } cases[] = {{672.9995L, 0.103476962113974L},
               {673, 0.0904438099705005L},
               {694.9995L, 0.0871228172261663L},
               {695, 0.0865520951138719L}};
  for (auto c : cases) EXPECT_NEAR(table(2, c.T).dGdT, c.dlnf - S, 1e-7L) << (double)c.T;
  // G at each state keeps the formula's own switches (mpmath jumps).
  EXPECT_NEAR(g(2, 673) - g(2, 673 - 1e-9L), -0.000226153424365L, 1e-9L);
  EXPECT_NEAR(g(2, 695) - g(2, 695 - 1e-9L), -0.000524921425712L, 1e-9L);
}

// Random states just below each switch and on it, rows drawn at random.
TEST_F(HeldChoices, RandomStatesAtEverySwitch) {
  std::mt19937_64 rng(79);
  std::uniform_real_distribution<long double> u(0, 1);
  const auto lerp = [&](long double a, long double b) { return a + (b - a) * u(rng); };
  // Bisection to the switch of f (a step function) inside [a, b].
  const auto edge = [](auto f, long double a, long double b) {
    const auto fa = f(a);
    for (int k = 0; k < 80; ++k) {
      const long double m = (a + b) / 2;
      (f(m) == fa ? a : b) = m;
    }
    return a;
  };
  int seen = 0;
  for (int draw = 0; draw < 12; ++draw) {
    QVB = true;
    NUMERICAL = false;
    DSMODE = 7;
    row("pa", pa, {{9, lerp(100, 2500)}, {10, lerp(4, 7)}, {12, lerp(500, 1200)}});
    // The series form along P, then along T.
    const long double T = lerp(600, 1400);
    long double P = 1;
    for (; P < 60 && seriesform(P, T) == seriesform(P + 0.25L, T); P += 0.25L) {
    }
    if (P < 60) {
      const long double Ps = edge([&](long double p) { return seriesform(p, T); }, P, P + 0.25L);
      for (long double below : {u(rng) * dP, 0.0L}) ownside(Ps - below, T, 2e-6L, 2e-5L, "series P");
      const auto form = [&](long double t) { return seriesform(Ps + dP / 2, t); };
      if (form(T - 50) != form(T + 50)) {
        const long double Ts = edge(form, T - 50, T + 50);
        for (long double below : {u(rng) * dT, 0.0L}) ownside(Ps + dP / 2, Ts - below, 2e-6L, 2e-5L, "series T");
      }
      ++seen;
    }
    // Simpson ties: T - Tr an odd multiple of 10 K.
    QVB = u(rng) < 0.5L;
    NUMERICAL = true;
    const long double Tt = TR + 10 * (2 * std::floor(lerp(3, 60)) + 1);
    for (long double below : {u(rng) * dT, 0.0L}) ownside(lerp(0.5L, 30), Tt - below, 2e-6L, 1e-5L, "Simpson");
    // Water at 673 K and 695 K, on either root.
    DSMODE = 6;
    row("H2O", water);
    const long double Pw = lerp(0.5L, 10);
    for (long double Tw : {673.0L, 695.0L})
      for (long double below : {u(rng) * dT, 0.0L}) ownside(Pw, Tw - below, 2e-4L, 1e-5L, "water");
  }
  EXPECT_GT(seen, 6);
}

// The tail of the dilatational series at random rows: the switch is where
// |t7| = kj[7] c theta^14 G(-13) passes 0.00025, from the series' own terms.
TEST_F(HeldChoices, RandomRowsAtTheTailSwitch) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<long double> u(0, 1);
  QVB = false;
  int seen = 0;
  for (int draw = 0; draw < 20; ++draw) {
    const long double theta = 500 + 700 * u(rng), a0 = 2e-5L + 4e-5L * u(rng), K0 = 1000 + 2000 * u(rng);
    row("pa", pa, {{8, a0}, {9, K0}, {12, theta}});
    const long double u0 = theta / TR, xi0 = u0 * u0 * std::exp(u0) / std::pow(std::exp(u0) - 1, 2);
    const long double A = a0 * K0 / xi0, c = A * A * 13.6L / K0;
    const auto t7 = [&](long double T) {
      const long double G = (std::pow(T, -12) - std::pow(TR, -12)) / -12 - T * (std::pow(T, -13) - std::pow(TR, -13)) / -13;
      return std::fabs(-4.79617364e-09L * c * std::pow(theta, 14) * G) > 0.00025L;
    };
    if (t7(300) == t7(1500)) continue;
    long double a = 300, b = 1500;
    for (int k = 0; k < 80; ++k) (t7((a + b) / 2) ? b : a) = (a + b) / 2;
    for (long double below : {5e-4L, 1e-6L, 0.0L}) ownside(5, a - below, 1e-6L, 1e-5L, "tail");
    ++seen;
  }
  EXPECT_GT(seen, 3);
}

// The record itself: a stepped state replays the base's choices in order,
// a nested difference holds its own base, and a stepped path that leaves
// the record goes on free.
TEST(HeldChoiceRecord, ReplayNestingAndLeaving) {
  ZQCALC1::RESETHELDCHOICES();
  using ZQCALC1::choicekind;
  const auto choose = [](choicekind k, smallint natural) { return ZQCALC1::HOLDCHOICE(k, natural); };
  EXPECT_EQ(choose(choicekind::icptail, 1), 1);  // no difference open: free
  {
    ZQCALC1::HELDSTEP outer;
    EXPECT_EQ(choose(choicekind::seriesterms, 7), 7);
    {
      ZQCALC1::HELDSTEP inner;
      EXPECT_EQ(choose(choicekind::water, 3), 3);
      inner.STEPPED();
      EXPECT_EQ(choose(choicekind::water, 1), 3);
    }
    EXPECT_EQ(choose(choicekind::simpsoncount, 34), 34);
    for (int pass = 0; pass < 2; ++pass) {
      outer.STEPPED();
      EXPECT_EQ(choose(choicekind::seriesterms, 6), 7);
      {
        ZQCALC1::HELDSTEP inner;
        EXPECT_EQ(choose(choicekind::water, 2), 3);  // the enclosing base's
        inner.STEPPED();
        EXPECT_EQ(choose(choicekind::water, 0), 3);
      }
      EXPECT_EQ(choose(choicekind::simpsoncount, 36), 34);
      EXPECT_EQ(choose(choicekind::simpsoncount, 36), 36);  // past the record
    }
    outer.STEPPED();
    EXPECT_EQ(choose(choicekind::icptail, 1), 1);  // another kind: left, free on
    EXPECT_EQ(choose(choicekind::seriesterms, 5), 5);
  }
  EXPECT_EQ(choose(choicekind::seriesterms, 4), 4);
  EXPECT_FALSE(ZQCALC1::CHOICESRECORDED());
}

}  // namespace

// The mixture's volume differences the pure volumes over 1e-4 kbar inside
// an evaluation: just below a virial threshold (2.01 kbar for H2O, 5.01
// for CO2, where the terms start with infinite slope) the step keeps the
// state's branch, so the excess term's slope is that of the state's side,
// here asked the plain way one step below.
TEST_F(HeldChoices, MixtureVolumeKeepsItsSideOfAThreshold) {
  const long double h = 1e-4L, x = 0.3L, T = 900;
  const auto mix = [&](long double P) {
    extended vc = 0, vh = 0, f = 0;
    ZQCALC1::CO2PROPS(P, T, vc, f);
    ZQCALC1::H2OPROPS(P, T, vh, f);
    return x * vc + (1 - x) * vh;
  };
  for (long double P : {2.01L - 3e-5L, 5.01L - 3e-5L, 2.01L, 5.01L}) {
    const long double vm = mix(P), below = mix(P - h);
    const long double own = vm + 21 * x * (1 - x) * (1 / vm - 1 / below) / h;
    EXPECT_NEAR(ZQCALC1::VH2OCO2(P, T, x, 1 - x), own, 2e-4L) << (double)P;
  }
}
