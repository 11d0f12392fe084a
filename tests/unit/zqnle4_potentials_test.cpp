// a(H2O), mu(O) and the chemical potential of every component through a
// pseudo end-member, the end-member list and reactions left as found.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "frame/constants.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;
using assemblage::row;

namespace {

constexpr extended P10 = 10, T600 = 873.15L;
const bemvector NOPHASES{"ph"};

// Pure phases over the components, with one made-up reaction standing.
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
  EXPECT_TRUE(NCV == ncv && NNE == ncv && NR == 1 && RLINES[1] == "made up");
  for (long j = 1; j <= NCV; ++j) EXPECT_EQ((*R)(1, j), j);
}

const assemblage::endmember BR = row("br", {1, 1}, -941.563L, 0.06L, 2.5L), PER = row("per", {1, 0}, -600, 0.027L, 1.1L);

}  // namespace

TEST(Potentials, WaterActivityFromTheReactionThroughH2O) {
  // mu(H2O) = G(1 bar) + RT ln f, RT ln f = 67.95939633 kJ at 10 kbar and
  // 873.15 K: a = exp((G_br - G_per - mu) / RT), worked out aside.
  struct wc {
    std::vector<std::string> comps;
    std::vector<assemblage::endmember> ems;
    extended a;
  };
  const wc cases[] = {
      {{"MgO", "H2O"}, {BR, PER}, 0.49998829839728565L},
      {{"MgO", "H2O"}, {row("br2", {2, 2}, -1883.126L, 0.12L, 5.0L), PER}, 0.49998829839728565L},  // doubled
      {{"H2O", "MgO"}, {row("br", {1, 1}, -941.563L, 0.06L, 2.5L), row("per", {0, 1}, -600, 0.027L, 1.1L)},
       0.49998829839728565L},
      {{"MgO", "SiO2", "H2O"},  // reactions, none through H2O
       {row("per", {1, 0, 0}, -600, 0, 0), row("fo", {2, 1, 0}, -2000, 0, 0), row("en", {2, 2, 0}, -3000, 0, 0)}, 0},
  };
  assemblage::tables t;
  for (const wc& k : cases) {
    SCOPED_TRACE(k.ems[0].name);
    pures(k.comps, k.ems);
    const smallint ncv = NCV;
    const extended a = ZQNLE4::DOCALCAH2O(NOPHASES, P10, T600);
    EXPECT_NEAR(a, k.a, 2e-8L);
    expectasfound(ncv);
    if (k.a > 0) {
      EXPECT_EQ(IO::REAL2STR(a, 4, true), "0.5000");
      EXPECT_TRUE((*TD)(1, TDSLOT::XCO2) == 0 && (*TD)(1, TDSLOT::XH2O) == 1);
    }
  }
}

TEST(Potentials, ChemicalPotentialsOfFeOAndO) {
  assemblage::tables t;
  pures({"FeO", "O"}, {row("mt", {3, 1}, -1100, 0.15L, 4.5L), row("hm", {2, 1}, -800, 0.09L, 3.0L)});
  MUCALCS(1, 3) = 5;
  MUCALCS(2, 1) = 6;
  // mu(FeO) = G_mt - G_hm, mu(O) = 3 G_hm - 2 G_mt.
  ZQNLE4::DOCALCMU(NOPHASES, P10, T600);
  EXPECT_NEAR(MUCALCS(1, 1), -337.3905L, 1e-9L);
  EXPECT_NEAR(MUCALCS(1, 2), -173.8055L, 1e-9L);
  EXPECT_TRUE(MUCALCS(1, 3) == 5 && MUCALCS(2, 1) == 6);
  expectasfound(2);
  EXPECT_NEAR(ZQNLE4::DOCALCMUO(NOPHASES, P10, T600), -173.8055L, 1e-9L);
  expectasfound(2);
}

TEST(Potentials, MissingComponentOrAFullListStopsBeforeAnyChange) {
  struct sc {
    std::vector<std::string> comps;
    bool full;
    int routine;  // a(H2O), mu(O), mu
    const char* fault;
  };
  const sc cases[] = {
      {{"MgO", "O"}, false, 0, "docalcah2o: H2O is not a component"},
      {{"MgO", "H2O"}, false, 1, "docalcmuo: O is not a component"},
      {{"MgO", "H2O", "O"}, true, 0, "docalcah2o: too many end-members"},
      {{"MgO", "H2O", "O"}, true, 1, "docalcmuo: too many end-members"},
      {{"MgO", "H2O", "O"}, true, 2, "docalcmu: too many end-members"},
  };
  assemblage::tables t;
  for (const sc& k : cases) {
    testsupport::resetio();
    pures(k.comps, {row("per", {1, 0, 0}, -600, 0, 0)});
    if (k.full) NCV = NNE = maxem;
    const smallint ncv = NCV;
    testsupport::Terminal term;
    EXPECT_EQ(testsupport::fatal([&] {
                if (k.routine == 0) ZQNLE4::DOCALCAH2O(NOPHASES, P10, T600);
                if (k.routine == 1) ZQNLE4::DOCALCMUO(NOPHASES, P10, T600);
                if (k.routine == 2) ZQNLE4::DOCALCMU(NOPHASES, P10, T600);
              }),
              k.fault);
    EXPECT_TRUE(NCV == ncv && NR == 1);
  }
}
