// The composition of the solids beside a buffered fluid, and the reaction
// among the phases of a solved assemblage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_nle.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;
using assemblage::row;
using testsupport::fatal;

namespace {

// A fluid solution of H2O and CO2 end-members over the four components
// SiO2, MgO, H2O, CO2, with x(CO2) its variable.
assemblage::solution fluid(const std::string& name) {
  return assemblage::onesite(name, axtype::ideal, {"x"}, {"1 - x", "x"},
                             {row("H2O", {0, 0, 1, 0}, 0, 0, 0), row("CO2", {0, 0, 0, 1}, 0, 0, 0)});
}

const assemblage::endmember FO = row("fo", {1, 2, 0, 0}, 0, 0, 0);
const assemblage::endmember EN = row("en", {2, 2, 0, 0}, 0, 0, 0);

}  // namespace

TEST(CalcFluidComp, SolidsOverTheFreeComponentsUnderTheirHeads) {
  struct fluidcase {
    const char* what;
    std::vector<std::string> comps;  // H2O and CO2 fixed
    std::vector<assemblage::solution> sols;
    std::vector<assemblage::endmember> pures;
    std::vector<bool> inph;        // solutions, then pures
    std::vector<extended> modes;   // X[NX + k]
    const char* values;
    extended h2o, co2;
  };
  // fo (1, 2) at 0.6 and en (2, 2) at 0.4 give SiO2 40, MgO 60; the solid
  // solution at y = 0.3 is (1.3, 2): 39.39, 60.61. The first variable, the
  // fluid's x(CO2), is 0.3.
  const char* const plain = "         0         0   40.00   60.00";
  const std::vector<std::string> free1 = {"SiO2", "MgO", "H2O", "CO2"};
  const fluidcase cases[] = {
      {"buffered components after the free ones", free1, {}, {FO, EN}, {true, true}, {0.6L, 0.4L}, plain, 0, 0},
      {"a fluid phase takes no proportion", free1, {fluid("fluid")}, {FO, EN}, {true, true, true}, {0.6L, 0.4L},
       plain, 0.7L, 0.3L},
      {"a fluid outside the assemblage is ignored", free1, {fluid("fluid")}, {FO, EN}, {false, true, true},
       {0.6L, 0.4L}, plain, 0, 0},
      {"a pure buffered phase takes no proportion", free1, {}, {FO, row("H2O", {0, 0, 1, 0}, 0, 0, 0), EN},
       {true, true, true}, {0.6L, 0.4L}, plain, 0, 0},
      {"a solid solution at its composition", free1,
       {assemblage::onesite("sp", axtype::ideal, {"y"}, {"1 - y", "y"}, {FO, EN})}, {}, {true}, {1},
       "         0         0   39.39   60.61", 0, 0},
  };
  for (const fluidcase& fc : cases) {
    SCOPED_TRACE(fc.what);
    assemblage::tables t;
    assemblage::system s;
    s.components = fc.comps;
    s.free = {true, true, false, false};
    s.solutions = fc.sols;
    for (const assemblage::endmember& e : fc.pures) s.pures.push_back({e});
    assemblage::layout(s);
    bemvector ph{"ph"};
    for (std::size_t p = 0; p < fc.inph.size(); ++p) ph[static_cast<long>(p + 1)] = fc.inph[p];
    for (long v = 3; v <= NX; ++v) X[v] = v == 3 ? 0.3L : 0.5L;
    for (std::size_t k = 0; k < fc.modes.size(); ++k) X[NX + 1 + static_cast<long>(k)] = fc.modes[k];
    extended co2 = -1, h2o = -1;
    testsupport::Terminal term;
    ZQNLE4::CALCFLUIDCOMP(ph, 10, 900, co2, h2o);
    EXPECT_EQ(term.text(), std::string("\n\n       H2O       CO2    SiO2     MgO\n") + fc.values + "\n");
    EXPECT_NEAR(h2o, fc.h2o, 1e-18L);
    EXPECT_NEAR(co2, fc.co2, 1e-18L);
  }
}

TEST(CalcFluidComp, ValuesFollowTheHeadWhateverTheComponentOrder) {
  assemblage::tables t;
  assemblage::system s;
  s.components = {"H2O", "SiO2", "CO2", "MgO"};
  s.free = {false, true, false, true};
  s.pures = {{row("fo", {0, 1, 0, 2}, 0, 0, 0)}, {row("en", {0, 2, 0, 2}, 0, 0, 0)}};
  assemblage::layout(s);
  bemvector ph{"ph"};
  ph[1] = ph[2] = true;
  X[NX + 1] = 0.6L;
  X[NX + 2] = 0.4L;
  extended co2 = 0, h2o = 0;
  testsupport::Terminal term;
  ZQNLE4::CALCFLUIDCOMP(ph, 10, 900, co2, h2o);
  EXPECT_EQ(term.text(), "\n\n       H2O       CO2    SiO2     MgO\n         0         0   40.00   60.00\n");
}

TEST(CalcFluidComp, NothingToNormaliseStops) {
  struct zerocase {
    const char* what;
    std::vector<assemblage::endmember> pures;
  };
  const zerocase cases[] = {
      {"a phase of no amount", {row("void", {0, 0, 0, 0}, 0, 0, 0)}},
      {"no phase with a proportion", {row("H2O", {0, 0, 1, 0}, 0, 0, 0)}},
  };
  for (const zerocase& zc : cases) {
    SCOPED_TRACE(zc.what);
    assemblage::tables t;
    assemblage::system s;
    s.components = {"SiO2", "MgO", "H2O", "CO2"};
    s.free = {true, true, false, false};
    // A solution phase of no amount, or a pure phase of fixed components only.
    if (zc.pures[0].name == "void")
      s.solutions.push_back(assemblage::onesite("void", axtype::ideal, {"y"}, {"1 - y", "y"},
                                                {zc.pures[0], row("void2", {0, 0, 0, 0}, 0, 0, 0)}));
    else
      s.pures.push_back({zc.pures[0]});
    assemblage::layout(s);
    bemvector ph{"ph"};
    ph[1] = true;
    X[NX + 1] = 1;
    extended co2 = 0, h2o = 0;
    testsupport::Terminal term;
    EXPECT_EQ(fatal([&] { ZQNLE4::CALCFLUIDCOMP(ph, 10, 900, co2, h2o); }), "fificalc: t=0");
  }
}

namespace {

// Pure phases over MgO and H2O in the given order, all in the assemblage.
bemvector hydration(const std::vector<std::string>& order) {
  assemblage::system s;
  s.components = {"MgO", "H2O"};
  for (const std::string& n : order) {
    const std::vector<int> c = n == "br" ? std::vector<int>{1, 1} : n == "per" ? std::vector<int>{1, 0} : std::vector<int>{0, 1};
    s.pures.push_back({row(n, c, 0, 0, 0)});
  }
  assemblage::layout(s);
  bemvector ph{"ph"};
  for (long p = 1; p <= static_cast<long>(order.size()); ++p) ph[p] = true;
  return ph;
}

}  // namespace

TEST(CalcRealReaction, WaterEndsOnTheRightWhateverTheEliminationGives) {
  struct ordercase {
    std::vector<std::string> order;
    const char* text;
  };
  const ordercase cases[] = {
      {{"br", "per", "H2O"}, "br = per + H2O"},  // elimination gives H2O at -1
      {{"H2O", "per", "br"}, "br = H2O + per"},  // and here at +1
      {{"per", "H2O", "br"}, "br = per + H2O"},
  };
  for (const ordercase& oc : cases) {
    SCOPED_TRACE(oc.text);
    assemblage::tables t;
    const bemvector ph = hydration(oc.order);
    IO::strings names{"names"};
    emvector nu{"nu"};
    smallint n = 0;
    std::string s;
    ZQNLE4::CALCREALREACTION(ph, names, nu, n, s);
    EXPECT_EQ(s, oc.text);
    ASSERT_EQ(n, 3);
    for (long k = 1; k <= 3; ++k) {
      EXPECT_EQ(names[k], oc.order[static_cast<std::size_t>(k - 1)]);
      EXPECT_NEAR(nu[k], names[k] == "br" ? -1 : 1, 1e-18L);
    }
  }
}

TEST(CalcRealReaction, NearSingularSolveGivesNoReaction) {
  assemblage::tables t;
  const bemvector ph = hydration({"br", "per", "H2O"});
  NEARSING = true;
  IO::strings names{"names"};
  emvector nu{"nu"};
  nu.fill(7);
  smallint n = 5;
  std::string s;
  ZQNLE4::CALCREALREACTION(ph, names, nu, n, s);
  EXPECT_EQ(s, "####");
  EXPECT_EQ(n, 0);
  EXPECT_EQ(names[3], "H2O");
  EXPECT_EQ(nu[1], 7);
  NEARSING = false;
}

TEST(CalcRealReaction, BufferedFluidOfADivariantAssemblageSplits) {
  struct splitcase {
    smallint ovariance;
    std::vector<std::string> names;
    const char* text;
  };
  // cc + q = wo + CO2 over CaO, SiO2, CO2, H2O, the fluid pure CO2.
  const splitcase cases[] = {
      {2, {"H2O", "CO2", "cc", "wo", "q"}, "cc + q = CO2 + wo"},
      {1, {"fluid", "cc", "wo", "q"}, "cc + q = fluid + wo"},
  };
  for (const splitcase& sc : cases) {
    SCOPED_TRACE(sc.ovariance);
    assemblage::tables t;
    assemblage::system s;
    s.components = {"CaO", "SiO2", "CO2", "H2O"};
    s.solutions.push_back(assemblage::onesite("fluid", axtype::ideal, {"x"}, {"1 - x", "x"},
                                              {row("H2O", {0, 0, 0, 1}, 0, 0, 0), row("CO2", {0, 0, 1, 0}, 0, 0, 0)}));
    s.pures = {{row("cc", {1, 0, 1, 0}, 0, 0, 0)}, {row("wo", {1, 1, 0, 0}, 0, 0, 0)}, {row("q", {0, 1, 0, 0}, 0, 0, 0)}};
    assemblage::layout(s);
    X[3] = 1;
    FLUIDTYPE = ftype::h2oco2;
    EXBUFF = true;
    OVARIANCE = sc.ovariance;
    bemvector ph{"ph"};
    for (long p = 1; p <= 4; ++p) ph[p] = true;
    IO::strings names{"names"};
    emvector nu{"nu"};
    smallint n = 0;
    std::string text;
    ZQNLE4::CALCREALREACTION(ph, names, nu, n, text);
    ASSERT_EQ(n, static_cast<smallint>(sc.names.size()));
    for (long k = 1; k <= n; ++k) EXPECT_EQ(names[k], sc.names[static_cast<std::size_t>(k - 1)]);
    EXPECT_EQ(text, sc.text);
  }
}
