// Cordierite's channel fluid, the aqueous-species term by mode and the
// Debye-Hueckel solvent; the other fluid terms are tested through GEM.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "model/zqcalc1_terms.h"
#include "zqcalc1_testsupport.h"

namespace {

using testsupport::near;

TEST(FluidTerms, CordieriteHydration) {
  testsupport::modelswitches sw(true);
  ZQGLOBAL::CALCMODE = calcmodetype::rockcalc;
  struct hydr {
    bool sp, oldset;
    extended xco2, G;
  };
  for (const hydr& h : {hydr{true, false, 0.3L, -8.747149299821867L}, hydr{true, true, 0.3L, -8.132235024269442L},
                        hydr{false, false, 0, -10.07578770208269L}}) {
    ZQGLOBAL::USESP = h.sp;
    ZQGLOBAL::WITHOLDSET = h.oldset;
    EXPECT_TRUE(near(ZQCALC1::HYDRATIONTERM("fcrd", 5, 973.15L, h.xco2, 1 - h.xco2), h.G, 1e-10L));
  }
  // Never positive, and nothing left as the fluid's fugacity vanishes.
  extended last = -1e9L;
  for (extended P : {1.0L, 1e-2L, 1e-4L}) {
    const extended g = ZQCALC1::HYDRATIONTERM("crd", P, 973.15L, 0.5L, 0.5L);
    EXPECT_LT(last, g);
    last = g;
  }
  EXPECT_LT(last, 0);
  EXPECT_GT(last, -1e-3L);
  EXPECT_EQ(ZQCALC1::HYDRATIONTERM("crd", 5, 973.15L, 0, 0), 0);
  // Where it applies.
  for (auto [mode, hydrous, applies] :
       {std::tuple{calcmodetype::nlecalc, true, false}, {calcmodetype::phasecalc, false, true},
        {calcmodetype::lsqdscalc, false, false}, {calcmodetype::lsqdscalc, true, true}}) {
    ZQGLOBAL::CALCMODE = mode;
    ZQGLOBAL::MAKECDHYDROUS = hydrous;
    EXPECT_EQ(ZQCALC1::HYDRATIONTERM("crd", 5, 973.15L, 0.3L, 0.7L) != 0, applies);
    EXPECT_EQ(ZQCALC1::HYDRATIONTERM("crd2", 5, 973.15L, 0.3L, 0.7L), 0);
  }
}

TEST(FluidTerms, AqueousSpeciesByMode) {
  testsupport::modelswitches sw(true);
  const extended full = ZQCALC1::AQUEOUSTERM(2, 473.15L, -0.5L, 0, 0, 0, 0, 1);
  EXPECT_TRUE(near(full, 27.53205865153428L, 1e-10L));
  EXPECT_EQ(ZQCALC1::AQUEOUSTERM(2, 773.15L, 0, 2, 0.5L, 0.1L, 0, 1), 0);
  // No ionic strength, no solute term.
  EXPECT_EQ(ZQCALC1::AQUEOUSTERM(2, 773.15L, 1, 2, 0.5L, 0, 0, 1), ZQCALC1::AQUEOUSTERM(2, 773.15L, 1, 0, 0, 0, 0, 1));
  // The least-squares mode keeps only the density term.
  ZQGLOBAL::CALCMODE = calcmodetype::lsqdscalc;
  EXPECT_TRUE(near(ZQCALC1::AQUEOUSTERM(2, 473.15L, -0.5L, 2, 0.5L, 0.1L, 0, 1), full - 0.03354L * 473.15L, 1e-14L));
}

TEST(Solvent, DebyeHueckel) {
  testsupport::modelswitches sw(true);
  struct solvent {
    extended P, T, nCO2, nH2O, V, g, eps, dh;
  };
  const solvent cases[] = {
      {0.001L, 298.15L, 0, 1, 1.872311477933009L, 4.347455695477792L, 75.23595748565141L, -0.2793086784862316L},
      {2, 773.15L, 0, 1, 2.590022557598192L, 2.654953337654710L, 13.75097650899669L, -0.6153845602734028L},
      {2, 773.15L, 0.5L, 2, 3.439113936996924L, 2.606047734725214L, 8.555488561602592L, -1.006341897966045L},
  };
  for (const solvent& s : cases) {
    SCOPED_TRACE(static_cast<double>(s.eps));
    const extended x = s.nCO2 / (s.nCO2 + s.nH2O), y = s.nH2O / (s.nCO2 + s.nH2O);
    EXPECT_TRUE(near(ZQCALC1::VH2OCO2(s.P, s.T, x, y), s.V, 1e-9L));  // the mixture's excess volume too
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

TEST(Solvent, DebyeHueckelOfTheSolvent) {
  testsupport::modelswitches sw(true);
  // Independent values at the states above: x runs from 1e-9, where the
  // closed form of sigma(x) cancels to nothing, across to 59.
  struct term {
    extended nCO2, nH2O, I, dh;
  };
  for (const term& t : {term{0, 1, 0.1L, 4.604303459039035311e-30L}, term{0, 1, 1e17L, 0.002268293337405480763L},
                        term{0, 1, 1e21L, 3.526089930813641166L}, term{0.5L, 2, 2, 9.698153898640856525e-28L},
                        term{0.5L, 2, 3e15L, 0.00004802546548301419235L}}) {
    SCOPED_TRACE(static_cast<double>(t.I));
    EXPECT_TRUE(near(ZQCALC1::DHSOLVENT(2, 773.15L, t.nCO2, t.nH2O, t.I), t.dh, 1e-9L));
  }
  EXPECT_EQ(ZQCALC1::DHSOLVENT(2, 773.15L, 0, 1, 0), 0);
  testsupport::Terminal term;
  IO::CONTROLIO.pagewidth = 200;
  ZQGLOBAL::DEBUGLEVEL = 5;
  ZQCALC1::DHSOLVENT(2, 773.15L, 0, 1, 1e17L);
  EXPECT_EQ(term.text(), "xco2 = 0, xh2o = 1.000, I = 1.0000e+17, A = 1.3883373, DH(solvent) = 0.00227\n");
}

TEST(Solvent, MixtureVolumeAtThePureEnds) {
  testsupport::modelswitches sw(true);
  extended VH = 0, VC = 0, g = 0;
  ZQCALC1::H2OPROPS(2, 773.15L, VH, g);
  ZQCALC1::CO2PROPS(2, 773.15L, VC, g);
  EXPECT_EQ(ZQCALC1::VH2OCO2(2, 773.15L, 0, 0.3L), VH);  // x(H2O) unused without CO2
  EXPECT_EQ(ZQCALC1::VH2OCO2(2, 773.15L, 1, 0), VC);
}

// The mixture's volume differences the pure volumes over 1e-4 kbar, so with
// the cubic those must be its exact roots: a root left within the Newton
// steps' 0.1 % moved the excess term's slope from state to state. Expected
// from the exact roots at 40 digits (mpmath's polyroots), liquid water with
// its saturation step and the virial terms included.
TEST(Solvent, MixtureVolumeOfTheCubicRestsOnExactRoots) {
  testsupport::modelswitches sw(false);
  struct mixture {
    extended P, T, xCO2, V;
  };
  for (const mixture& m : {mixture{2, 773.15L, 0.3L, 3.793710313647699516L},
                           mixture{0.5L, 573.15L, 0.1L, 3.468362797044371969L},
                           mixture{1.5L, 846.4923L, 0.4L, 5.26952442276196666L},
                           mixture{6, 973.15L, 0.25L, 2.812679950724175439L}}) {
    SCOPED_TRACE(static_cast<double>(m.P));
    EXPECT_TRUE(near(ZQCALC1::VH2OCO2(m.P, m.T, m.xCO2, 1 - m.xCO2), m.V, 1e-12L));
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
            "xco2 = 0, xh2o = 1.000, I = 0.10000, A = 10.337972, B x 10^-10 = 3.0304286, DH(solute) = -0.61538\n");
}

}  // namespace
