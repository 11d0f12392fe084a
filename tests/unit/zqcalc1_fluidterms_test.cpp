// The Gibbs-energy terms resting on the fluids: fluids by name, the H2O-CO2
// non-ideality (Gibbs-Duhem), cordierite's channel fluid, aqueous species and
// the Debye-Hueckel solvent.
#include <gtest/gtest.h>

#include <cmath>

#include "model/zqcalc1_terms.h"
#include "zqcalc1_testsupport.h"

namespace {

using testsupport::near;

TEST(FluidTerms, ByExactName) {
  testsupport::modelswitches sw(true);
  extended V = 0, f = 0, Gf = 0, Gmix = 0;
  ZQCALC1::H2OPROPS(5, 900, V, f);
  ZQCALC1::FLUIDTERMS("H2O", 5, 900, 0, 1, Gf, Gmix);
  EXPECT_EQ(Gf, f);
  ZQCALC1::CO2PROPS(5, 900, V, f);
  ZQCALC1::FLUIDTERMS("CO2", 5, 900, 1, 0, Gf, Gmix);
  EXPECT_EQ(Gf, f);
  ZQCALC1::CORRSTATE(5, 900, CONST::PCRITH2S, CONST::TCRITH2S, V, f);
  ZQCALC1::FLUIDTERMS("H2S", 5, 900, 0, 0, Gf, Gmix);
  EXPECT_EQ(Gf, f);
  for (const char* other : {"h2o", "H2O ", "O2", "CH", "q"}) {
    ZQCALC1::FLUIDTERMS(other, 5, 900, 0.5L, 0.5L, Gf, Gmix);
    EXPECT_EQ(Gf, 0) << other;
    EXPECT_EQ(Gmix, 0) << other;
  }
}

TEST(FluidTerms, MixingOnlyInAMixedFluid) {
  testsupport::modelswitches sw(true);
  extended Gf = 0, Gmix = 0;
  ZQCALC1::FLUIDTERMS("H2O", 2, 773.15L, 0.3L, 0.7L, Gf, Gmix);
  EXPECT_EQ(Gmix, 0);  // the fluid is not an H2O-CO2 mixture
  ZQGLOBAL::FLUIDTYPE = ftype::ih2oco2;
  ZQCALC1::FLUIDTERMS("H2O", 2, 773.15L, 0.3L, 0.7L, Gf, Gmix);
  EXPECT_TRUE(near(Gmix, 0.8686115210136707L, 1e-8L));
  ZQCALC1::FLUIDTERMS("CO2", 2, 773.15L, 0.3L, 0.7L, Gf, Gmix);
  EXPECT_TRUE(near(Gmix, 2.069427218962865L, 1e-8L));
  // Each at its own pure end, the other at infinite dilution.
  ZQCALC1::FLUIDTERMS("H2O", 2, 773.15L, 0, 1, Gf, Gmix);
  EXPECT_EQ(Gmix, 0);
  ZQCALC1::FLUIDTERMS("CO2", 2, 773.15L, 1, 0, Gf, Gmix);
  EXPECT_EQ(Gmix, 0);
  ZQCALC1::FLUIDTERMS("H2O", 2, 773.15L, 1, 0, Gf, Gmix);
  EXPECT_GT(Gmix, 0);
}

// Van Laar: the excess energy x_H G_H + x_C G_C vanishes at both ends, and
// x_H dG_H/dx + x_C dG_C/dx = 0 everywhere between.
TEST(FluidTerms, MixingObeysGibbsDuhem) {
  const extended VH = 2.590059909912586L, VC = 5.918870100075722L;
  auto gh = [&](extended x) { return ZQCALC1::MIXTERM(true, VH, VC, x, 1 - x); };
  auto gc = [&](extended x) { return ZQCALC1::MIXTERM(false, VH, VC, x, 1 - x); };
  EXPECT_EQ(1 * gh(0) + 0 * gc(0), 0);
  EXPECT_EQ(0 * gh(1) + 1 * gc(1), 0);
  for (extended x : {0.05L, 0.3L, 0.5L, 0.9L}) {
    const extended h = 1e-6L;
    const extended dh = (gh(x + h) - gh(x - h)) / (2 * h);
    const extended dc = (gc(x + h) - gc(x - h)) / (2 * h);
    EXPECT_NEAR(static_cast<double>((1 - x) * dh + x * dc), 0, 1e-8) << static_cast<double>(x);
  }
}

TEST(FluidTerms, CordieriteHydration) {
  testsupport::modelswitches sw(true);
  ZQGLOBAL::CALCMODE = calcmodetype::rockcalc;
  EXPECT_TRUE(near(ZQCALC1::HYDRATIONTERM("crd", 5, 973.15L, 0.3L, 0.7L), -8.747149299821867L, 1e-10L));
  EXPECT_EQ(ZQCALC1::HYDRATIONTERM("fcrd", 5, 973.15L, 0.3L, 0.7L),
            ZQCALC1::HYDRATIONTERM("crd", 5, 973.15L, 0.3L, 0.7L));
  ZQGLOBAL::WITHOLDSET = true;
  EXPECT_TRUE(near(ZQCALC1::HYDRATIONTERM("crd", 5, 973.15L, 0.3L, 0.7L), -8.132235024269442L, 1e-10L));
  ZQGLOBAL::WITHOLDSET = false;
  ZQGLOBAL::USESP = false;
  EXPECT_TRUE(near(ZQCALC1::HYDRATIONTERM("crd", 5, 973.15L, 0, 1), -10.07578770208269L, 1e-10L));
  ZQGLOBAL::USESP = true;
  // Never positive, and nothing left as the fluid's fugacity vanishes.
  extended last = -1e9L;
  for (extended P : {1.0L, 1e-2L, 1e-4L}) {
    const extended g = ZQCALC1::HYDRATIONTERM("crd", P, 973.15L, 0.5L, 0.5L);
    EXPECT_LE(g, 0);
    EXPECT_GT(g, last);
    last = g;
  }
  EXPECT_GT(last, -1e-3L);
  EXPECT_EQ(ZQCALC1::HYDRATIONTERM("crd", 5, 973.15L, 0, 0), 0);
  // Where it applies.
  struct mode {
    calcmodetype m;
    bool hydrous;
    bool applies;
  };
  for (const mode& m : {mode{calcmodetype::nlecalc, true, false}, mode{calcmodetype::phasecalc, false, true},
                        mode{calcmodetype::lsqdscalc, false, false}, mode{calcmodetype::lsqdscalc, true, true}}) {
    ZQGLOBAL::CALCMODE = m.m;
    ZQGLOBAL::MAKECDHYDROUS = m.hydrous;
    EXPECT_EQ(ZQCALC1::HYDRATIONTERM("crd", 5, 973.15L, 0.3L, 0.7L) != 0, m.applies);
    EXPECT_EQ(ZQCALC1::HYDRATIONTERM("crd2", 5, 973.15L, 0.3L, 0.7L), 0);
  }
}

TEST(FluidTerms, AqueousSpecies) {
  testsupport::modelswitches sw(true);
  struct aqcase {
    const char* what;
    extended T, aq, s18, s19, s26, s27, s28, G;
  };
  const aqcase cases[] = {
      {"above 500 K, pure water", 773.15L, 1, 2, 0.5L, 0.1L, 0, 1, -163.4078158114468L},
      {"above 500 K, CO2 in the solvent", 773.15L, 1, 2, 0.5L, 0.1L, 0.2L, 0.8L, -169.1054139087053L},
      {"below 500 K, no solute term", 473.15L, -0.5L, 0, 0, 0, 0, 1, 27.53583945155543L},
  };
  for (const aqcase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(near(ZQCALC1::AQUEOUSTERM(2, c.T, c.aq, c.s18, c.s19, c.s26, c.s27, c.s28), c.G, 1e-10L));
  }
  EXPECT_EQ(ZQCALC1::AQUEOUSTERM(2, 773.15L, 0, 2, 0.5L, 0.1L, 0, 1), 0);
  // No ionic strength, no solute term.
  EXPECT_EQ(ZQCALC1::AQUEOUSTERM(2, 773.15L, 1, 2, 0.5L, 0, 0, 1), ZQCALC1::AQUEOUSTERM(2, 773.15L, 1, 0, 0, 0, 0, 1));
  // The least-squares mode keeps only the density term.
  const extended full = ZQCALC1::AQUEOUSTERM(2, 473.15L, -0.5L, 0, 0, 0, 0, 1);
  ZQGLOBAL::CALCMODE = calcmodetype::lsqdscalc;
  EXPECT_TRUE(near(ZQCALC1::AQUEOUSTERM(2, 473.15L, -0.5L, 2, 0.5L, 0.1L, 0, 1), full - 0.03354L * 473.15L, 1e-14L));
}

TEST(Solvent, DebyeHueckel) {
  testsupport::modelswitches sw(true);
  struct solvent {
    extended P, T, nCO2, nH2O, V, g, eps, dh;
  };
  const solvent cases[] = {
      {0.001L, 298.15L, 0, 1, 1.872311699549127L, 4.347455299256299L, 75.23594191218615L, -0.2793087390573368L},
      {2, 773.15L, 0, 1, 2.590059909912586L, 2.654929470895050L, 13.75067373631828L, -0.6153985503000533L},
      {2, 773.15L, 0.5L, 2, 3.425410693646333L, 2.612472676114703L, 8.605541546643856L, -1.000328289664421L},
  };
  for (const solvent& s : cases) {
    SCOPED_TRACE(static_cast<double>(s.eps));
    const extended x = s.nCO2 / (s.nCO2 + s.nH2O), y = s.nH2O / (s.nCO2 + s.nH2O);
    EXPECT_TRUE(near(ZQCALC1::VH2OCO2(s.P, s.T, x, y), s.V, 1e-9L));
    EXPECT_TRUE(near(ZQCALC1::AWGF(s.P, s.T, x, y, s.V), s.g, 1e-9L));
    EXPECT_TRUE(near(ZQCALC1::DIELECTRIC(s.P, s.T, x, y, s.V), s.eps, 1e-9L));
    const extended dh = ZQCALC1::DHSOLUTE(s.P, s.T, s.nCO2, s.nH2O, 0.1L, 1);
    EXPECT_TRUE(near(dh, s.dh, 1e-9L));
    EXPECT_EQ(ZQCALC1::DHSOLUTE(s.P, s.T, s.nCO2, s.nH2O, 0, 1), 0);
    EXPECT_TRUE(near(ZQCALC1::DHSOLUTE(s.P, s.T, s.nCO2, s.nH2O, 0.1L, 2.5L), 2.5L * dh, 1e-15L));
    // Only the ratio of the amounts counts.
    EXPECT_TRUE(near(ZQCALC1::DHSOLUTE(s.P, s.T, 3 * s.nCO2, 3 * s.nH2O, 0.1L, 1), dh, 1e-15L));
  }
}

TEST(Solvent, TraceLineAtDebugLevelFive) {
  testsupport::modelswitches sw(true);
  testsupport::Terminal term;
  IO::CONTROLIO.pagewidth = 200;
  ZQCALC1::DHSOLUTE(2, 773.15L, 0, 1, 0.1L, 1);
  EXPECT_EQ(term.text(), "");
  ZQGLOBAL::DEBUGLEVEL = 5;
  ZQCALC1::DHSOLUTE(2, 773.15L, 0, 1, 0.1L, 1);
  EXPECT_EQ(term.text(),
            "xco2 = 0, xh2o = 1.000, I = 0.10000, A = 10.338239, B x 10^-10 = 3.0304401, DH(solute) = -0.61540\n");
}

}  // namespace
