// a(H2O), mu(O) and the chemical potential of every component through a
// pseudo end-member, and the end-member list and reactions left as found.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "model/zqcalc1.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;
using assemblage::row;
using testsupport::fatal;

namespace {

constexpr extended P10 = 10, T600 = 873.15L;

class Potentials : public ::testing::Test {
 protected:
  assemblage::tables t;
  bemvector ph{"ph"};

  // Pure phases over the components, a reaction set of one made-up row
  // standing before the call.
  void pures(const std::vector<std::string>& comps, const std::vector<assemblage::endmember>& ems) {
    assemblage::system s;
    s.components = comps;
    for (const assemblage::endmember& e : ems) s.pures.push_back({e});
    assemblage::layout(s);
    USESP = false;
    NR = 1;
    for (long j = 1; j <= NCV; ++j) (*R)(1, j) = static_cast<smallint>(j);
    RLINES[1] = "made up";
  }

  void expectasfound(smallint ncv) {
    EXPECT_EQ(NCV, ncv);
    EXPECT_EQ(NNE, ncv);
    EXPECT_EQ(NR, 1);
    EXPECT_EQ(RLINES[1], "made up");
    for (long j = 1; j <= NCV; ++j) EXPECT_EQ((*R)(1, j), j);
  }
};

const assemblage::endmember BR = row("br", {1, 1}, -941.563L, 0.06L, 2.5L);
const assemblage::endmember PER = row("per", {1, 0}, -600, 0.027L, 1.1L);

}  // namespace

TEST_F(Potentials, WaterActivityFromTheReactionThroughH2O) {
  // mu(H2O) = G(1 bar) + RT ln f with RT ln f = 67.95939633 kJ at 10 kbar,
  // 600 C: a = exp((G_br - G_per - mu) / RT), worked out aside.
  struct watercase {
    const char* what;
    std::vector<std::string> comps;
    std::vector<assemblage::endmember> ems;
    extended a;
  };
  const watercase cases[] = {
      {"brucite = periclase + H2O", {"MgO", "H2O"}, {BR, PER}, 0.49998829839728565L},
      {"doubled coefficients", {"MgO", "H2O"}, {row("br2", {2, 2}, -1883.126L, 0.12L, 5.0L), PER}, 0.49998829839728565L},
      {"H2O first among the components", {"H2O", "MgO"}, {row("br", {1, 1}, -941.563L, 0.06L, 2.5L), row("per", {0, 1}, -600, 0.027L, 1.1L)},
       0.49998829839728565L},
      {"no reaction through H2O", {"MgO", "SiO2", "H2O"},
       {row("per", {1, 0, 0}, -600, 0, 0), row("fo", {2, 1, 0}, -2000, 0, 0), row("en", {2, 2, 0}, -3000, 0, 0)}, 0},
  };
  for (const watercase& wc : cases) {
    SCOPED_TRACE(wc.what);
    pures(wc.comps, wc.ems);
    const smallint ncv = NCV;
    testsupport::Terminal term;
    const extended a = ZQNLE4::DOCALCAH2O(ph, P10, T600);
    EXPECT_NEAR(a, wc.a, 2e-8L);
    expectasfound(ncv);
    if (wc.a > 0) {
      EXPECT_EQ(IO::REAL2STR(a, 4, true), "0.5000");
      EXPECT_EQ((*TD)(1, TDSLOT::XCO2), 0);
      EXPECT_EQ((*TD)(1, TDSLOT::XH2O), 1);
    }
  }
}

TEST_F(Potentials, WaterAtOneBarTermAtRoomTemperature) {
  pures({"MgO", "H2O"}, {BR, PER});
  constexpr extended T = CONST::TR;
  extended v = 0, rtlnf = 0;
  ZQCALC1::H2OPROPS(P10, T, v, rtlnf);
  const extended gbr = -941.563L - T * 0.06L + (P10 - 0.001L) * 2.5L;
  const extended gper = -600 - T * 0.027L + (P10 - 0.001L) * 1.1L;
  // G of H2O at 1 bar and 298.15 K: -298.10071716 kJ.
  const extended expected = std::exp((gbr - gper - (-298.10071715670296L + rtlnf)) / (CONST::RGAS * T));
  EXPECT_NEAR(ZQNLE4::DOCALCAH2O(ph, P10, T) / expected, 1, 1e-9L);
}

TEST_F(Potentials, ChemicalPotentialsOfFeOAndO) {
  pures({"FeO", "O"}, {row("mt", {3, 1}, -1100, 0.15L, 4.5L), row("hm", {2, 1}, -800, 0.09L, 3.0L)});
  MUCALCS(1, 3) = 5;
  MUCALCS(2, 1) = 6;
  // mu(FeO) = G_mt - G_hm, mu(O) = 3 G_hm - 2 G_mt.
  ZQNLE4::DOCALCMU(ph, P10, T600);
  EXPECT_NEAR(MUCALCS(1, 1), -337.3905L, 1e-9L);
  EXPECT_NEAR(MUCALCS(1, 2), -173.8055L, 1e-9L);
  EXPECT_EQ(MUCALCS(1, 3), 5);
  EXPECT_EQ(MUCALCS(2, 1), 6);
  expectasfound(2);
  EXPECT_NEAR(ZQNLE4::DOCALCMUO(ph, P10, T600), -173.8055L, 1e-9L);
  expectasfound(2);
}

TEST_F(Potentials, MissingComponentOrAFullListStopsBeforeAnyChange) {
  struct stopcase {
    const char* what;
    std::vector<std::string> comps;
    smallint ncv;  // 0: as laid out
    int routine;   // 0 a(H2O), 1 mu(O), 2 mu
    const char* fault;
  };
  const stopcase cases[] = {
      {"no H2O", {"MgO", "O"}, 0, 0, "docalcah2o: H2O is not a component"},
      {"no O", {"MgO", "H2O"}, 0, 1, "docalcmuo: O is not a component"},
      {"a(H2O) with a full list", {"MgO", "H2O", "O"}, maxem, 0, "docalcah2o: too many end-members"},
      {"mu(O) with a full list", {"MgO", "H2O", "O"}, maxem, 1, "docalcmuo: too many end-members"},
      {"mu with a full list", {"MgO", "H2O", "O"}, maxem, 2, "docalcmu: too many end-members"},
  };
  for (const stopcase& sc : cases) {
    SCOPED_TRACE(sc.what);
    testsupport::resetio();
    pures(sc.comps, {row("per", {1, 0, 0}, -600, 0, 0)});
    if (sc.ncv > 0) NCV = NNE = sc.ncv;
    const smallint ncv = NCV;
    testsupport::Terminal term;
    const std::string how = fatal([&] {
      if (sc.routine == 0) ZQNLE4::DOCALCAH2O(ph, P10, T600);
      if (sc.routine == 1) ZQNLE4::DOCALCMUO(ph, P10, T600);
      if (sc.routine == 2) ZQNLE4::DOCALCMU(ph, P10, T600);
    });
    EXPECT_EQ(how, sc.fault);
    EXPECT_EQ(NCV, ncv);
    EXPECT_EQ(NR, 1);
  }
}
