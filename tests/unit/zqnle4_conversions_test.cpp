// What calc mode 1 works out of a solved point for printing: the melt by
// weight, a(H2O), mu(O) and mu through a pseudo end-member, the solids
// beside a buffered fluid, and the reaction among the phases.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "frame/constants.h"
#include "frame/zqglobal_nle.h"
#include "frame/zqglobal_results.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;
using assemblage::row;
using testsupport::fatal;

namespace {

using ems = std::vector<assemblage::endmember>;
using strs = std::vector<std::string>;

// Solutions and pure phases over the components laid out, every
// compositional variable at x; the phases of inph in the assemblage (all
// when empty).
bemvector lay(const strs& comps, const std::vector<bool>& free, const std::vector<assemblage::solution>& sols,
              const ems& pures, extended x, const std::vector<bool>& inph = {}) {
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

// ---------------------------------------------------------------- melt

// Melts of fo, fa and q over SiO2, MgO, FeO at x = y = 0.2 (composition
// 1.0, 1.2, 0.4) under the names given, and the "convliq" matrix of rows.
bemvector melts(const strs& names, const std::vector<bool>& inph, const std::vector<std::vector<extended>>& rows,
                long cols = 3) {
  std::vector<assemblage::solution> sols;
  for (const std::string& n : names)
    sols.push_back(assemblage::onesite(
        n, axtype::ideal, {"x", "y"}, {"1 - x - y", "x", "y"},
        {row("fo", {1, 2, 0}, 0, 0, 0), row("fa", {1, 0, 2}, 0, 0, 0), row("q", {1, 0, 0}, 0, 0, 0)}));
  const bemvector ph = lay({"SiO2", "MgO", "FeO"}, {}, sols, {}, 0.2L, inph);
  CONVLIQROW = static_cast<smallint>(rows.size());
  CONVLIQCOL = static_cast<smallint>(cols);
  for (long r = 1; r <= CONVLIQROW; ++r)
    for (long j = 1; j <= cols; ++j) CONVLIQINFO(r, j) = rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(j - 1)];
  return ph;
}

const std::vector<std::vector<extended>> MG2SIO4_FE2SIO4_SIO2 = {{1, 2, 0}, {1, 0, 2}, {1, 0, 0}};

}  // namespace

TEST(Conv2Wt, TheMeltIsTheFirstPhaseInTheAssemblageNamedLiq) {
  const char* const printed =
      "\n                SiO2    MgO    FeO\n              38.462 46.154 15.385 ==>\n"
      "               60.00  20.00  20.00 ==>\n               61.53  29.71   8.76\n";
  const std::pair<strs, std::vector<bool>> found[] = {
      {{"liq"}, {true}}, {{"liquid"}, {true}}, {{"liq", "liq2"}, {false, true}}, {{"opx", "liq"}, {false, true}}};
  const std::pair<strs, long> notfound[] = {{{"li"}, 3}, {{"Liq"}, 3}, {{"liq"}, 2}};  // the last: 2 columns
  assemblage::tables t;
  emvector v{"v"};
  for (const auto& [names, inph] : found) {
    // The other phases at another composition: the wrong one would show.
    const bemvector ph = melts(names, inph, MG2SIO4_FE2SIO4_SIO2);
    if (names.size() == 2) X[inph[0] ? 5 : 3] = 0.5L;
    v.fill(-1);
    testsupport::Terminal term;
    ZQNLE4::CONV2WT(ph, v);
    EXPECT_EQ(term.text(), printed) << names.back();
    EXPECT_NEAR(v[1], 61.532908264124494L, 1e-12L);  // from the oxide masses, worked out aside
    EXPECT_EQ(v[4], -1);
  }
  for (const auto& [names, cols] : notfound) {
    const bemvector ph = melts(names, {true}, MG2SIO4_FE2SIO4_SIO2, cols);
    v.fill(-1);
    testsupport::Terminal term;
    ZQNLE4::CONV2WT(ph, v);
    EXPECT_TRUE(term.text().empty() && v[1] == -1) << names[0];
  }
  // A melt of no amount: zeros for every species, nothing printed.
  const bemvector ph = melts({"liq"}, {true}, MG2SIO4_FE2SIO4_SIO2);
  for (long m = 1; m <= 3; ++m) (*PREC1)[1].em[m].comp.fill(0);
  testsupport::Terminal term;
  ZQNLE4::CONV2WT(ph, v);
  EXPECT_TRUE(term.text().empty() && v[1] == 0 && v[3] == 0 && v[4] == -1);
}

TEST(Conv2Wt, PeelingTheSpeciesOffTheMelt) {
  const std::vector<extended> oxidewt = {43.79721236393918L, 35.25458084576099L, 20.948206790299842L, 0};
  struct pc {
    std::vector<std::vector<extended>> rows;
    std::vector<extended> wt;
    const char* residual;  // standard output ahead of the four lines
    const char* fault;
  };
  const pc cases[] = {
      {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}}, oxidewt, "", ""},  // identity and a species of no mass
      {{{1, 0, 2}, {1, 2, 0}, {1, 1, 0}}, {100, 0, 0}, "residual mol = {  SiO2    0.80} {   MgO    1.20} \n", ""},
      {{{1, 2, 0}, {1, 0, 0}}, {}, "residual mol = {   FeO    0.40} \n", "conv2wt: couldn't make mol%"},
      {{{1, 1, 1}, {1, 1, 1}}, {}, "residual mol = {  SiO2    1.00} {   MgO    1.20} {   FeO    0.40} \n",
       "conv2wt: sum of mol% = 0 2"},
  };
  assemblage::tables t;
  for (const pc& k : cases) {
    SCOPED_TRACE(k.residual);
    testsupport::resetio();  // a fatal stop closes the terminal channel
    const bemvector ph = melts({"liq"}, {true}, k.rows);
    emvector v{"v"};
    testsupport::Terminal term;
    EXPECT_EQ(fatal([&] { ZQNLE4::CONV2WT(ph, v); }), k.fault);
    const std::string out = term.text(), residual = k.residual;
    EXPECT_EQ(out.substr(0, residual.size()), residual);
    EXPECT_EQ(out.find(" ==>") != std::string::npos, *k.fault == 0) << out;  // the percentages
    for (std::size_t r = 0; r < k.wt.size(); ++r) EXPECT_NEAR(v[static_cast<long>(r + 1)], k.wt[r], 1e-12L) << r;
  }
}

// ---------------------------------------------------------------- potentials

namespace {

constexpr extended P10 = 10, T600 = 873.15L;

// Pure phases, with one made-up reaction standing, to be left as found.
void pures(const strs& comps, const ems& phases) {
  lay(comps, {}, {}, phases, 0);
  USESP = false;
  NR = 1;
  for (long j = 1; j <= NCV; ++j) (*R)(1, j) = static_cast<smallint>(j);
  RLINES[1] = "made up";
}

void expectasfound(smallint ncv) {
  EXPECT_TRUE(NCV == ncv && NNE == ncv && NR == 1 && RLINES[1] == "made up");
  for (long j = 1; j <= NCV; ++j) EXPECT_EQ((*R)(1, j), j);
}

const assemblage::endmember PER = row("per", {1, 0}, -600, 0.027L, 1.1L);

}  // namespace

TEST(Potentials, WaterActivityFromTheReactionThroughH2O) {
  // mu(H2O) = G(1 bar) + RT ln f, RT ln f = 67.95939633 kJ at 10 kbar and
  // 873.15 K: a = exp((G_br - G_per - mu) / RT), worked out aside.
  const std::pair<std::pair<strs, ems>, extended> cases[] = {
      {{{"MgO", "H2O"}, {row("br", {1, 1}, -941.563L, 0.06L, 2.5L), PER}}, 0.49998829839728565L},
      {{{"MgO", "H2O"}, {row("br2", {2, 2}, -1883.126L, 0.12L, 5.0L), PER}}, 0.49998829839728565L},
      {{{"H2O", "MgO"}, {row("br", {1, 1}, -941.563L, 0.06L, 2.5L), row("per", {0, 1}, -600, 0.027L, 1.1L)}},
       0.49998829839728565L},
      {{{"MgO", "SiO2", "H2O"},  // reactions, none through H2O
        {row("per", {1, 0, 0}, -600, 0, 0), row("fo", {2, 1, 0}, -2000, 0, 0), row("en", {2, 2, 0}, -3000, 0, 0)}},
       0},
  };
  assemblage::tables t;
  for (const auto& [system, a] : cases) {
    SCOPED_TRACE(system.second[0].name);
    pures(system.first, system.second);
    const smallint ncv = NCV;
    EXPECT_NEAR(ZQNLE4::DOCALCAH2O(bemvector{}, P10, T600), a, 2e-8L);
    expectasfound(ncv);
    EXPECT_TRUE(a == 0 || ((*TD)(1, TDSLOT::XCO2) == 0 && (*TD)(1, TDSLOT::XH2O) == 1));
  }
}

TEST(Potentials, ChemicalPotentialsOfFeOAndO) {
  assemblage::tables t;
  pures({"FeO", "O"}, {row("mt", {3, 1}, -1100, 0.15L, 4.5L), row("hm", {2, 1}, -800, 0.09L, 3.0L)});
  MUCALCS(1, 3) = 5;
  MUCALCS(2, 1) = 6;
  // mu(FeO) = G_mt - G_hm, mu(O) = 3 G_hm - 2 G_mt.
  ZQNLE4::DOCALCMU(bemvector{}, P10, T600);
  EXPECT_NEAR(MUCALCS(1, 1), -337.3905L, 1e-9L);
  EXPECT_NEAR(MUCALCS(1, 2), -173.8055L, 1e-9L);
  EXPECT_TRUE(MUCALCS(1, 3) == 5 && MUCALCS(2, 1) == 6);
  expectasfound(2);
  EXPECT_NEAR(ZQNLE4::DOCALCMUO(bemvector{}, P10, T600), -173.8055L, 1e-9L);
  expectasfound(2);
}

TEST(Potentials, MissingComponentOrAFullListStopsBeforeAnyChange) {
  const std::pair<std::pair<strs, int>, const char*> cases[] = {  // routine: a(H2O), mu(O), mu; 3.. full list
      {{{"MgO", "O"}, 0}, "docalcah2o: H2O is not a component"},
      {{{"MgO", "H2O"}, 1}, "docalcmuo: O is not a component"},
      {{{"MgO", "H2O", "O"}, 3}, "docalcah2o: too many end-members"},
      {{{"MgO", "H2O", "O"}, 4}, "docalcmuo: too many end-members"},
      {{{"MgO", "H2O", "O"}, 5}, "docalcmu: too many end-members"},
  };
  assemblage::tables t;
  for (const auto& [system, fault] : cases) {
    testsupport::resetio();
    pures(system.first, {row("per", {1, 0, 0}, -600, 0, 0)});
    if (system.second >= 3) NCV = NNE = maxem;
    const smallint ncv = NCV, routine = static_cast<smallint>(system.second % 3);
    testsupport::Terminal term;
    EXPECT_EQ(fatal([&] {
                if (routine == 0) ZQNLE4::DOCALCAH2O(bemvector{}, P10, T600);
                if (routine == 1) ZQNLE4::DOCALCMUO(bemvector{}, P10, T600);
                if (routine == 2) ZQNLE4::DOCALCMU(bemvector{}, P10, T600);
              }),
              fault);
    EXPECT_TRUE(NCV == ncv && NR == 1);
  }
}

// ---------------------------------------------------------------- fluid and reaction

namespace {

const strs SMHC = {"SiO2", "MgO", "H2O", "CO2"};
const std::vector<bool> BUFFERED = {true, true, false, false};
const assemblage::endmember FO = row("fo", {1, 2, 0, 0}, 0, 0, 0), EN = row("en", {2, 2, 0, 0}, 0, 0, 0);
const assemblage::endmember WATER = row("H2O", {0, 0, 1, 0}, 0, 0, 0), CARB = row("CO2", {0, 0, 0, 1}, 0, 0, 0);

}  // namespace

TEST(CalcFluidComp, SolidsOverTheFreeComponentsUnderTheirHeads) {
  // The buffered components after the free ones, where values in component
  // order would stand under the wrong heads. fo (1, 2) at 0.6 and en (2, 2)
  // at 0.4: SiO2 40, MgO 60; a solution of both at x = 0.3 is (1.3, 2):
  // 39.39, 60.61; the fluid at x(CO2) = 0.3.
  struct fc {
    std::vector<assemblage::solution> sols;
    ems pures;
    std::vector<bool> inph;
    const char* values;
    extended h2o;
  };
  const char* const plain = "         0         0   40.00   60.00";
  const fc cases[] = {
      {{}, {FO, EN}, {}, plain, 0},
      {{twoem("fluid", WATER, CARB)}, {FO, EN}, {}, plain, 0.7L},                 // no proportion for the fluid
      {{twoem("fluid", WATER, CARB)}, {FO, EN}, {false, true, true}, plain, 0},  // nor outside the assemblage
      {{}, {FO, WATER, EN}, {}, plain, 0},                                        // nor for pure buffered H2O
      {{twoem("sp", FO, EN)}, {}, {}, "         0         0   39.39   60.61", 0},
  };
  for (const fc& k : cases) {
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
  for (int solution = 0; solution < 2; ++solution) {
    assemblage::tables t;
    // A solution of no amount; only a pure phase of buffered components.
    const assemblage::endmember none = row("void", {0, 0, 0, 0}, 0, 0, 0);
    const bemvector ph = solution ? lay(SMHC, BUFFERED, {twoem("void", none, none)}, {}, 0.5L)
                                  : lay(SMHC, BUFFERED, {}, {WATER}, 0);
    X[NX + 1] = 1;
    extended co2 = 0, h2o = 0;
    testsupport::Terminal term;
    EXPECT_EQ(fatal([&] { ZQNLE4::CALCFLUIDCOMP(ph, 10, 900, co2, h2o); }), "fificalc: t=0");
  }
}

TEST(CalcRealReaction, WaterOnTheRightAndABufferedFluidSplit) {
  const std::pair<strs, const char*> orders[] = {
      {{"br", "per", "H2O"}, "br = per + H2O"},  // elimination gives H2O at -1
      {{"H2O", "per", "br"}, "br = H2O + per"},  // and here at +1
  };
  IO::strings names{"names"};
  emvector nu{"nu"};
  smallint n = 0;
  std::string s;
  for (const auto& [order, text] : orders) {
    assemblage::tables t;
    ems phases;
    for (const std::string& p : order)
      phases.push_back(row(p, p == "br" ? std::vector<int>{1, 1} : p == "per" ? std::vector<int>{1, 0} : std::vector<int>{0, 1}, 0, 0, 0));
    const bemvector ph = lay({"MgO", "H2O"}, {}, {}, phases, 0);
    ZQNLE4::CALCREALREACTION(ph, names, nu, n, s);
    EXPECT_EQ(s, text);
    ASSERT_EQ(n, 3);
    for (long k = 1; k <= 3; ++k)
      EXPECT_TRUE(names[k] == order[static_cast<std::size_t>(k - 1)] && nu[k] == (names[k] == "br" ? -1 : 1)) << k;
    NEARSING = true;
    nu.fill(7);
    ZQNLE4::CALCREALREACTION(ph, names, nu, n, s);
    EXPECT_TRUE(s == "####" && n == 0 && names[3] == order[2] && nu[1] == 7);
    NEARSING = false;
  }
  // cc + q = wo + CO2 over CaO, SiO2, CO2, H2O, the fluid pure CO2: split
  // into its end-members at variance 2, one column at variance 1.
  for (smallint var = 1; var <= 2; ++var) {
    assemblage::tables t;
    const bemvector ph = lay({"CaO", "SiO2", "CO2", "H2O"}, {},
                             {twoem("fluid", row("H2O", {0, 0, 0, 1}, 0, 0, 0), row("CO2", {0, 0, 1, 0}, 0, 0, 0))},
                             {row("cc", {1, 0, 1, 0}, 0, 0, 0), row("wo", {1, 1, 0, 0}, 0, 0, 0), row("q", {0, 1, 0, 0}, 0, 0, 0)}, 1);
    FLUIDTYPE = ftype::h2oco2;
    EXBUFF = true;
    OVARIANCE = var;
    ZQNLE4::CALCREALREACTION(ph, names, nu, n, s);
    EXPECT_EQ(n, 3 + var);
    EXPECT_TRUE(names[1] == (var == 2 ? "H2O" : "fluid") && names[n] == "q");
    EXPECT_EQ(s, var == 2 ? "cc + q = CO2 + wo" : "cc + q = fluid + wo");
  }
}
