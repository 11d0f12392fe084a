// The melt of a solved assemblage recast onto the "convliq" species.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

using species = std::vector<std::vector<extended>>;

// Solution phases over SiO2, MgO, FeO, each of fo, fa and q end-members;
// phase `melt` at proportions 0.6, 0.2, 0.2 (composition 1.0, 1.2, 0.4),
// the others at 0.2, 0.5, 0.3. The "convliq" matrix of the rows given.
bemvector melts(const std::vector<std::string>& names, const std::vector<bool>& inph, long melt,
                const species& rows, long cols = 3) {
  using assemblage::row;
  assemblage::system s;
  s.components = {"SiO2", "MgO", "FeO"};
  for (const std::string& n : names)
    s.solutions.push_back(assemblage::onesite(
        n, axtype::ideal, {"x", "y"}, {"1 - x - y", "x", "y"},
        {row("fo", {1, 2, 0}, 0, 0, 0), row("fa", {1, 0, 2}, 0, 0, 0), row("q", {1, 0, 0}, 0, 0, 0)}));
  assemblage::layout(s);
  bemvector ph{"ph"};
  for (long p = 1; p <= static_cast<long>(names.size()); ++p) {
    ph[p] = inph[static_cast<std::size_t>(p - 1)];
    X[2 * p + 1] = p == melt ? 0.2L : 0.5L;
    X[2 * p + 2] = p == melt ? 0.2L : 0.3L;
  }
  CONVLIQROW = static_cast<smallint>(rows.size());
  CONVLIQCOL = static_cast<smallint>(cols);
  for (long r = 1; r <= CONVLIQROW; ++r)
    for (long j = 1; j <= cols; ++j) CONVLIQINFO(r, j) = rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(j - 1)];
  return ph;
}

const species MG2SIO4_FE2SIO4_SIO2 = {{1, 2, 0}, {1, 0, 2}, {1, 0, 0}};
const species IDENTITY = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

}  // namespace

TEST(Conv2Wt, TheMeltIsTheFirstPhaseInTheAssemblageNamedLiq) {
  const char* const printed =
      "\n                SiO2    MgO    FeO\n              38.462 46.154 15.385 ==>\n"
      "               60.00  20.00  20.00 ==>\n               61.53  29.71   8.76\n";
  struct mc {
    std::vector<std::string> names;
    std::vector<bool> inph;
    long melt;  // 0: none, nothing printed
  };
  const mc cases[] = {
      {{"liq"}, {true}, 1},         {{"liquid"}, {true}, 1},           {{"li"}, {true}, 0},
      {{"Liq"}, {true}, 0},         {{"liq", "liq2"}, {false, true}, 2}, {{"opx", "liq"}, {true, true}, 2},
  };
  assemblage::tables t;
  for (const mc& k : cases) {
    SCOPED_TRACE(k.names.back());
    const bemvector ph = melts(k.names, k.inph, k.melt, MG2SIO4_FE2SIO4_SIO2);
    emvector v{"v"};
    v.fill(-1);
    testsupport::Terminal term;
    ZQNLE4::CONV2WT(ph, v);
    EXPECT_EQ(term.text(), k.melt == 0 ? "" : printed);
    EXPECT_NEAR(v[1], k.melt == 0 ? -1 : 61.532908264124494L, 1e-12L);
    EXPECT_EQ(v[4], -1);
  }
  // A matrix of another width is left alone.
  const bemvector ph = melts({"liq"}, {true}, 1, MG2SIO4_FE2SIO4_SIO2, 2);
  emvector v{"v"};
  testsupport::Terminal term;
  ZQNLE4::CONV2WT(ph, v);
  EXPECT_EQ(term.text(), "");
}

TEST(Conv2Wt, PeelingTheSpeciesOffTheMelt) {
  struct pc {
    const char* what;
    species rows;
    std::vector<extended> wt;  // v, from the oxide masses worked out aside
    const char* residual;      // standard output ahead of the four lines
    const char* fault;
  };
  const pc cases[] = {
      {"identity: oxide wt%", IDENTITY, {43.79721236393918L, 35.25458084576099L, 20.948206790299842L}, "", ""},
      {"a species without mass", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}}, {43.79721236393918L, 35.25458084576099L, 20.948206790299842L, 0}, "", ""},
      {"stuck with a residual: reported, then printed", {{1, 0, 2}, {1, 2, 0}, {1, 1, 0}}, {100, 0, 0},
       "residual mol = {  SiO2    0.80} {   MgO    1.20} \n", ""},
      {"pass limit", {{1, 2, 0}, {1, 0, 0}}, {}, "residual mol = {   FeO    0.40} \n", "conv2wt: couldn't make mol%"},
      {"nothing peeled", {{1, 1, 1}, {1, 1, 1}}, {}, "residual mol = {  SiO2    1.00} {   MgO    1.20} {   FeO    0.40} \n",
       "conv2wt: sum of mol% = 0 2"},
  };
  assemblage::tables t;
  for (const pc& k : cases) {
    SCOPED_TRACE(k.what);
    testsupport::resetio();  // a fatal stop closes the terminal channel
    const bemvector ph = melts({"liq"}, {true}, 1, k.rows);
    emvector v{"v"};
    testsupport::Terminal term;
    EXPECT_EQ(fatal([&] { ZQNLE4::CONV2WT(ph, v); }), k.fault);
    const std::string out = term.text(), residual = k.residual;
    EXPECT_EQ(out.substr(0, residual.size()), residual);
    if (*k.fault != 0) continue;
    EXPECT_EQ(testsupport::lines(out.substr(residual.size())).size(), 5u) << out;
    for (std::size_t r = 0; r < k.wt.size(); ++r) EXPECT_NEAR(v[static_cast<long>(r + 1)], k.wt[r], 1e-12L) << r;
  }
}
