// Pure H2O and CO2 by both equations of state, the corresponding-states
// gases and the H2O-CO2 mixture volume: reference values worked out to 40
// digits from the model's formulas, and the identity d(RT ln f)/dP = V.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "zqcalc1_testsupport.h"

namespace {

using testsupport::near;
using propsfn = void (*)(extended, extended, extended&, extended&);

struct fluidstate {
  const char* what;
  propsfn props;
  bool sp;
  extended P, T, V, RTlnf;
};

const fluidstate REFERENCE[] = {
    {"H2O RK vapour", ZQCALC1::H2OPROPS, false, 0.1L, 573.15L, 2.534465253362344L, 19.97581667292442L},
    {"H2O RK supercritical", ZQCALC1::H2OPROPS, false, 10, 873.15L, 1.834775515635562L, 67.95939632921223L},
    {"H2O RK liquid", ZQCALC1::H2OPROPS, false, 1, 298.15L, 1.760905764903266L, 1.694401839292087L},
    {"CO2 RK", ZQCALC1::CO2PROPS, false, 10, 873.15L, 3.420086725795834L, 93.97692851940689L},
    {"H2O SP one root", ZQCALC1::H2OPROPS, true, 10, 873.15L, 1.874971959172058L, 68.20912572598040L},
    {"H2O SP one root, 2 kbar", ZQCALC1::H2OPROPS, true, 2, 773.15L, 2.590059909912586L, 42.30729607513426L},
    {"H2O SP liquid of three", ZQCALC1::H2OPROPS, true, 0.1L, 573.15L, 2.530508106129868L, 20.10908818481574L},
    {"H2O SP liquid at 100 C", ZQCALC1::H2OPROPS, true, 0.01L, 373.15L, 1.879123226056435L, 0.01182833534621972L},
    {"H2O SP liquid at 1 bar", ZQCALC1::H2OPROPS, true, 0.001L, 298.15L, 1.872311699549127L, -7.453124030036874L},
    {"H2O SP vapour below switch", ZQCALC1::H2OPROPS, true, 0.001013L, 373.15L, 3018.920612008141L,
     -0.004013799712332948L},
    {"CO2 SP", ZQCALC1::CO2PROPS, true, 10, 873.15L, 3.492740417832184L, 94.11258910483402L},
};

TEST(FluidProperties, ReferenceStates) {
  for (const fluidstate& s : REFERENCE) {
    SCOPED_TRACE(s.what);
    testsupport::modelswitches sw(s.sp);
    extended V = 0, RTlnf = 0;
    s.props(s.P, s.T, V, RTlnf);
    EXPECT_TRUE(near(V, s.V, 1e-9L));
    EXPECT_TRUE(near(RTlnf, s.RTlnf, 1e-9L));
  }
}

// Where the Sterner-Pitzer form has three roots, the one it takes away from
// the switch pressure is the stable one: its RT ln f is below the others'.
// (Near the switch it need not be: at 1.013 bar and 100 C it keeps the
// vapour, as the reference table shows.)
TEST(FluidProperties, SternerPitzerTakesTheStableRoot) {
  struct otherroots {
    extended P, T;
    extended others[2];
  };
  const otherroots cases[] = {
      {0.1L, 573.15L, {20.75633080989486L, 20.57055318432717L}},
      {0.01L, 373.15L, {7.739614273306302L, 6.680478288754814L}},
      {0.001L, 298.15L, {3.527079462195366L, -0.09789538669565854L}},
  };
  testsupport::modelswitches sw(true);
  for (const otherroots& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.P));
    extended V = 0, RTlnf = 0;
    ZQCALC1::H2OPROPS(c.P, c.T, V, RTlnf);
    for (extended other : c.others) EXPECT_LT(RTlnf, other);
  }
}

TEST(FluidProperties, PressureDerivativeIsVolume) {
  struct form {
    const char* what;
    propsfn props;
    bool sp;
    extended rel;
  };
  // The cubic's Newton steps stop at 0.1 % steps but converge quadratically;
  // the bisection stops at 0.001 cm3, and ln f is stationary in V at the root.
  const form forms[] = {{"H2O RK", ZQCALC1::H2OPROPS, false, 1e-5L},
                        {"CO2 RK", ZQCALC1::CO2PROPS, false, 1e-5L},
                        {"H2O SP", ZQCALC1::H2OPROPS, true, 1e-4L},
                        {"CO2 SP", ZQCALC1::CO2PROPS, true, 1e-4L}};
  const extended states[][2] = {{0.05L, 573.15L}, {0.5L, 473.15L},  {1.5L, 673.15L},
                                {3, 873.15L},     {8, 1073.15L},    {20, 1273.15L}};
  for (const form& f : forms) {
    testsupport::modelswitches sw(f.sp);
    for (const auto& st : states) {
      SCOPED_TRACE(std::string(f.what) + " at P " + std::to_string(static_cast<double>(st[0])) + ", T " +
                   std::to_string(static_cast<double>(st[1])));
      const extended P = st[0], T = st[1], h = 1e-4L * P;
      extended V = 0, g = 0, Vx = 0, gup = 0, gdown = 0;
      f.props(P, T, V, g);
      f.props(P + h, T, Vx, gup);
      f.props(P - h, T, Vx, gdown);
      EXPECT_TRUE(near((gup - gdown) / (2 * h), V, f.rel));
    }
  }
}

TEST(FluidProperties, LowPressureLimitIsIdealGas) {
  struct form {
    propsfn props;
    bool sp;
  };
  const form forms[] = {{ZQCALC1::H2OPROPS, false}, {ZQCALC1::CO2PROPS, false},
                        {ZQCALC1::H2OPROPS, true},  {ZQCALC1::CO2PROPS, true}};
  const extended T = 800;
  for (const form& f : forms) {
    testsupport::modelswitches sw(f.sp);
    extended V = 0, g = 0;
    extended last = 0;
    for (extended P : {1e-2L, 1e-3L, 1e-4L}) {
      f.props(P, T, V, g);
      const extended excess = std::fabs(g - CONST::RGAS * T * std::log(1000 * P));
      if (last > 0) {
        EXPECT_LT(excess, last / 5);
      }
      last = excess;
    }
    EXPECT_LT(last, 1e-3L);
  }
}

// The virial terms start from nothing at their threshold pressures; the
// volume's fourth-root term makes it steep there, but it still closes up.
TEST(FluidProperties, RedlichKwongContinuousAtVirialThreshold) {
  testsupport::modelswitches sw(false);
  struct at {
    propsfn props;
    extended P0;
  };
  for (const at& a : {at{ZQCALC1::H2OPROPS, 2.01L}, at{ZQCALC1::CO2PROPS, 5.01L}}) {
    for (extended T : {573.15L, 873.15L}) {
      extended V0 = 0, g0 = 0, V = 0, g = 0;
      a.props(a.P0, T, V0, g0);
      extended last = 1;
      for (extended d : {1e-6L, 1e-9L, 1e-12L}) {
        a.props(a.P0 + d, T, V, g);
        EXPECT_LT(std::fabs(V - V0), last);
        last = std::fabs(V - V0);
        EXPECT_LT(std::fabs(g - g0), 2 * V0 * d);
      }
      EXPECT_LT(last, 1e-4L);
    }
  }
}

// At 373.15 K the cubic saturates at 0.0010166 kbar: just below it the
// vapour, just above it the liquid.
TEST(FluidProperties, RedlichKwongSaturationAtBoiling) {
  testsupport::modelswitches sw(false);
  extended V = 0, g = 0;
  ZQCALC1::H2OPROPS(0.0010165L, 373.15L, V, g);
  EXPECT_TRUE(near(V, 3006.536997242684L, 1e-9L));
  ZQCALC1::H2OPROPS(0.0010167L, 373.15L, V, g);
  EXPECT_TRUE(near(V, 1.885768364425191L, 1e-9L));
  EXPECT_TRUE(near(g, 0.004947086077912742L, 1e-8L));
}

TEST(FluidProperties, CacheIsKeyedOnTheForm) {
  testsupport::modelswitches sw(true);
  extended Vsp = 0, gsp = 0, Vrk = 0, grk = 0, V = 0, g = 0;
  ZQCALC1::H2OPROPS(10, 873.15L, Vsp, gsp);
  ZQGLOBAL::USESP = false;
  ZQCALC1::H2OPROPS(10, 873.15L, Vrk, grk);
  EXPECT_TRUE(near(Vrk, 1.834775515635562L, 1e-9L));
  ZQGLOBAL::USESP = true;
  ZQCALC1::H2OPROPS(10, 873.15L, V, g);
  EXPECT_EQ(V, Vsp);
  EXPECT_EQ(g, gsp);
}

TEST(FluidProperties, FatalStops) {
  testsupport::modelswitches sw(true);
  testsupport::Terminal term;
  extended V = 0, g = 0;
  // Denser than any volume the search looks at.
  EXPECT_EQ(testsupport::fatal([&] { ZQCALC1::H2OPROPS(100000, 1000, V, g); }), "sterner-pitzer: no bracket");
  // The whole-interval bisection cannot shrink 66 million litres to 0.001 cm3
  // in 40 halvings.
  const std::size_t from = term.text().size();
  EXPECT_EQ(testsupport::fatal([&] { ZQCALC1::H2OPROPS(1e-7L, 800, V, g); }),
            "sterner-pitzer: did not converge");
  // The note has no line end of its own: the fatal message's starts its line.
  EXPECT_EQ(term.text().substr(from, 29), "P =      0.000, T =      527\n") << term.text();
  V = 1;
  const extended nan = std::nan("");
  EXPECT_EQ(testsupport::fatal([&] { ZQCALC1::FINDVS(1, 800, 0, 100, 0, 0, 0, nan, 1.465L, V, g); }),
            "findVs: did not converge");
}

TEST(FluidProperties, CorrespondingStates) {
  struct gas {
    const char* name;
    extended pcrit, tcrit, V, RTlnf;
  };
  const gas gases[] = {
      {"CH4", CONST::PCRITCH4, CONST::TCRITCH4, 9.720277080132152L, 48.88981096280458L},
      {"H2", CONST::PCRITH2, CONST::TCRITH2, 8.674399305086108L, 48.02364356799874L},
      {"CO", CONST::PCRITCO, CONST::TCRITCO, 9.743938785484488L, 49.13950168378672L},
      {"H2S", CONST::PCRITH2S, CONST::TCRITH2S, 8.419078243572964L, 46.41235102236185L},
      {"S2", CONST::PCRITS2, CONST::TCRITS2, 8.616210259449070L, 47.52297134555291L},
  };
  for (const gas& g : gases) {
    SCOPED_TRACE(g.name);
    extended V = 0, f = 0, fup = 0, fdown = 0, Vx = 0;
    ZQCALC1::CORRSTATE(1, 800, g.pcrit, g.tcrit, V, f);
    EXPECT_TRUE(near(V, g.V, 1e-12L));
    EXPECT_TRUE(near(f, g.RTlnf, 1e-12L));
    for (extended P : {0.01L, 1.0L, 30.0L}) {
      const extended h = 1e-5L * P;
      ZQCALC1::CORRSTATE(P, 800, g.pcrit, g.tcrit, V, f);
      ZQCALC1::CORRSTATE(P + h, 800, g.pcrit, g.tcrit, Vx, fup);
      ZQCALC1::CORRSTATE(P - h, 800, g.pcrit, g.tcrit, Vx, fdown);
      EXPECT_TRUE(near((fup - fdown) / (2 * h), V, 1e-8L));
    }
  }
}

TEST(FluidProperties, MixtureVolume) {
  testsupport::modelswitches sw(true);
  extended VH = 0, VC = 0, g = 0;
  ZQCALC1::H2OPROPS(2, 773.15L, VH, g);
  ZQCALC1::CO2PROPS(2, 773.15L, VC, g);
  EXPECT_EQ(ZQCALC1::VH2OCO2(2, 773.15L, 0, 1), VH);
  EXPECT_EQ(ZQCALC1::VH2OCO2(2, 773.15L, 0, 0.3L), VH);
  EXPECT_EQ(ZQCALC1::VH2OCO2(2, 773.15L, 1, 0), VC);
  // Ideal mixture plus the pressure derivative of the excess term.
  EXPECT_TRUE(near(ZQCALC1::VH2OCO2(2, 773.15L, 0.3L, 0.7L), 3.800400290577047L, 1e-8L));
}

}  // namespace
