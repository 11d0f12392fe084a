// The composition of the solids beside a buffered fluid, and the reaction
// among the phases of a solved assemblage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "frame/zqglobal_nle.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;
using assemblage::row;

namespace {

using ems = std::vector<assemblage::endmember>;

// Solutions and pure phases over the components, all in the assemblage
// unless inph says otherwise; every compositional variable at x.
bemvector lay(const std::vector<std::string>& comps, const std::vector<bool>& free,
              const std::vector<assemblage::solution>& sols, const ems& pures, extended x,
              const std::vector<bool>& inph = {}) {
  assemblage::system s;
  s.components = comps;
  s.free = free;
  s.solutions = sols;
  for (const assemblage::endmember& e : pures) s.pures.push_back({e});
  assemblage::layout(s);
  for (long v = 3; v <= NX; ++v) X[v] = x;
  bemvector ph{"ph"};
  for (long p = 1; p <= static_cast<long>(sols.size() + pures.size()); ++p)
    ph[p] = inph.empty() || inph[static_cast<std::size_t>(p - 1)];
  return ph;
}

assemblage::solution twoem(const std::string& name, const assemblage::endmember& a, const assemblage::endmember& b) {
  return assemblage::onesite(name, axtype::ideal, {"x"}, {"1 - x", "x"}, {a, b});
}

const std::vector<std::string> SMHC = {"SiO2", "MgO", "H2O", "CO2"};
const std::vector<bool> BUFFERED = {true, true, false, false};
const assemblage::endmember FO = row("fo", {1, 2, 0, 0}, 0, 0, 0), EN = row("en", {2, 2, 0, 0}, 0, 0, 0);
const assemblage::endmember WATER = row("H2O", {0, 0, 1, 0}, 0, 0, 0), CARB = row("CO2", {0, 0, 0, 1}, 0, 0, 0);

}  // namespace

TEST(CalcFluidComp, SolidsOverTheFreeComponentsUnderTheirHeads) {
  // The buffered components after the free ones, where a value line in
  // component order would misplace them. fo (1, 2) at 0.6 and en (2, 2) at
  // 0.4: SiO2 40, MgO 60; the solution of
  // both at x = 0.3 is (1.3, 2): 39.39, 60.61. The fluid at x(CO2) = 0.3.
  struct fc {
    const char* what;
    std::vector<assemblage::solution> sols;
    ems pures;
    std::vector<bool> inph;
    const char* values;
    extended h2o;
  };
  const char* const plain = "         0         0   40.00   60.00";
  const fc cases[] = {
      {"pure phases", {}, {FO, EN}, {}, plain, 0},
      {"a fluid phase takes no proportion", {twoem("fluid", WATER, CARB)}, {FO, EN}, {}, plain, 0.7L},
      {"a fluid outside the assemblage", {twoem("fluid", WATER, CARB)}, {FO, EN}, {false, true, true}, plain, 0},
      {"a pure buffered phase takes no proportion", {}, {FO, WATER, EN}, {}, plain, 0},
      {"a solid solution", {twoem("sp", FO, EN)}, {}, {}, "         0         0   39.39   60.61", 0},
  };
  for (const fc& k : cases) {
    SCOPED_TRACE(k.what);
    assemblage::tables t;
    const bemvector ph = lay(SMHC, BUFFERED, k.sols, k.pures, 0.3L, k.inph);
    X[NX + 1] = k.pures.empty() ? 1 : 0.6L;
    X[NX + 2] = 0.4L;
    extended co2 = -1, h2o = -1;
    testsupport::Terminal term;
    ZQNLE4::CALCFLUIDCOMP(ph, 10, 900, co2, h2o);
    EXPECT_EQ(term.text(), std::string("\n\n       H2O       CO2    SiO2     MgO\n") + k.values + "\n");
    EXPECT_NEAR(h2o, k.h2o, 1e-18L);
    EXPECT_NEAR(co2, k.h2o == 0 ? 0 : 1 - k.h2o, 1e-18L);
  }
}

TEST(CalcFluidComp, NothingToNormaliseStops) {
  const assemblage::endmember none = row("void", {0, 0, 0, 0}, 0, 0, 0);
  for (int solution = 0; solution < 2; ++solution) {
    assemblage::tables t;
    // A solution of no amount; or only a pure phase of buffered components.
    const bemvector ph = solution ? lay(SMHC, BUFFERED, {twoem("void", none, none)}, {}, 0.5L)
                                  : lay(SMHC, BUFFERED, {}, {WATER}, 0);
    X[NX + 1] = 1;
    extended co2 = 0, h2o = 0;
    testsupport::Terminal term;
    EXPECT_EQ(testsupport::fatal([&] { ZQNLE4::CALCFLUIDCOMP(ph, 10, 900, co2, h2o); }), "fificalc: t=0");
  }
}

TEST(CalcRealReaction, WaterEndsOnTheRightWhateverTheEliminationGives) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"br", "per", "H2O"}, "br = per + H2O"},  // elimination gives H2O at -1
      {{"H2O", "per", "br"}, "br = H2O + per"},  // and here at +1
      {{"per", "H2O", "br"}, "br = per + H2O"},
  };
  for (const auto& [order, text] : cases) {
    assemblage::tables t;
    ems pures;
    for (const std::string& n : order)
      pures.push_back(row(n, n == "br" ? std::vector<int>{1, 1} : n == "per" ? std::vector<int>{1, 0} : std::vector<int>{0, 1}, 0, 0, 0));
    const bemvector ph = lay({"MgO", "H2O"}, {}, {}, pures, 0);
    IO::strings names{"names"};
    emvector nu{"nu"};
    nu.fill(7);
    smallint n = 0;
    std::string s;
    ZQNLE4::CALCREALREACTION(ph, names, nu, n, s);
    EXPECT_EQ(s, text);
    ASSERT_EQ(n, 3);
    for (long k = 1; k <= 3; ++k) {
      EXPECT_EQ(names[k], order[static_cast<std::size_t>(k - 1)]);
      EXPECT_NEAR(nu[k], names[k] == "br" ? -1 : 1, 1e-18L);
    }
    // A near-singular solve: names, but no reaction.
    NEARSING = true;
    ZQNLE4::CALCREALREACTION(ph, names, nu, n, s);
    EXPECT_TRUE(s == "####" && n == 0 && names[3] == order[2]);
    NEARSING = false;
  }
}

TEST(CalcRealReaction, BufferedFluidOfADivariantAssemblageSplits) {
  // cc + q = wo + CO2 over CaO, SiO2, CO2, H2O, the fluid pure CO2.
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"H2O", "CO2", "cc", "wo", "q"}, "cc + q = CO2 + wo"},  // variance 2
      {{"fluid", "cc", "wo", "q"}, "cc + q = fluid + wo"},     // variance 1
  };
  for (smallint var = 2; var >= 1; --var) {
    const auto& [cols, text] = cases[2 - var];
    assemblage::tables t;
    const bemvector ph = lay({"CaO", "SiO2", "CO2", "H2O"}, {},
                             {twoem("fluid", row("H2O", {0, 0, 0, 1}, 0, 0, 0), row("CO2", {0, 0, 1, 0}, 0, 0, 0))},
                             {row("cc", {1, 0, 1, 0}, 0, 0, 0), row("wo", {1, 1, 0, 0}, 0, 0, 0), row("q", {0, 1, 0, 0}, 0, 0, 0)}, 1);
    FLUIDTYPE = ftype::h2oco2;
    EXBUFF = true;
    OVARIANCE = var;
    IO::strings names{"names"};
    emvector nu{"nu"};
    smallint n = 0;
    std::string s;
    ZQNLE4::CALCREALREACTION(ph, names, nu, n, s);
    ASSERT_EQ(n, static_cast<smallint>(cols.size()));
    for (long k = 1; k <= n; ++k) EXPECT_EQ(names[k], cols[static_cast<std::size_t>(k - 1)]);
    EXPECT_EQ(s, text);
  }
}
