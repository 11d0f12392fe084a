// The melt of a solved assemblage recast onto the "convliq" species: which
// phase is the melt, the peeling of species, the residual report and the
// printed percentages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

using species = std::vector<std::vector<extended>>;

const species MG2SIO4_FE2SIO4_SIO2 = {{1, 2, 0}, {1, 0, 2}, {1, 0, 0}};

class Conv2Wt : public ::testing::Test {
 protected:
  assemblage::tables t;

  // Solution phases of the given names, each a melt of forsterite,
  // fayalite and silica end-members over SiO2, MgO, FeO; phase `melt` at
  // proportions 0.6, 0.2, 0.2 (the others at 0.2, 0.5, 0.3), so that its
  // composition is (1.0, 1.2, 0.4). In ph: those of `inph`.
  bemvector phases(const std::vector<std::string>& names, const std::vector<bool>& inph, long melt) {
    using assemblage::row;
    assemblage::system s;
    s.components = {"SiO2", "MgO", "FeO"};
    for (const std::string& n : names)
      s.solutions.push_back(assemblage::onesite(n, axtype::ideal, {"x", "y"}, {"1 - x - y", "x", "y"},
                                                {row("fo", {1, 2, 0}, 0, 0, 0), row("fa", {1, 0, 2}, 0, 0, 0),
                                                 row("q", {1, 0, 0}, 0, 0, 0)}));
    assemblage::layout(s);
    bemvector ph{"ph"};
    for (long p = 1; p <= static_cast<long>(names.size()); ++p) {
      ph[p] = inph[static_cast<std::size_t>(p - 1)];
      X[2 * p + 1] = p == melt ? 0.2L : 0.5L;
      X[2 * p + 2] = p == melt ? 0.2L : 0.3L;
    }
    return ph;
  }

  static void matrix(const species& rows, long cols = 3) {
    CONVLIQROW = static_cast<smallint>(rows.size());
    CONVLIQCOL = static_cast<smallint>(cols);
    for (long r = 1; r <= CONVLIQROW; ++r)
      for (long j = 1; j <= cols; ++j) CONVLIQINFO(r, j) = rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(j - 1)];
  }
};

const char* const MELTLINES =
    "\n                SiO2    MgO    FeO\n"
    "              38.462 46.154 15.385 ==>\n"
    "               60.00  20.00  20.00 ==>\n"
    "               61.53  29.71   8.76\n";

}  // namespace

TEST_F(Conv2Wt, TheMeltIsTheFirstPhaseInTheAssemblageNamedLiq) {
  struct meltcase {
    const char* what;
    std::vector<std::string> names;
    std::vector<bool> inph;
    long melt;  // 0: no melt, nothing printed
  };
  const meltcase cases[] = {
      {"liq", {"liq"}, {true}, 1},
      {"liq and more", {"liquid"}, {true}, 1},
      {"two letters only", {"li"}, {true}, 0},
      {"capitals", {"Liq"}, {true}, 0},
      {"a liq outside the assemblage is passed over", {"liq", "liq2"}, {false, true}, 2},
      {"end-members of earlier phases counted", {"opx", "liq"}, {true, true}, 2},
  };
  for (const meltcase& mc : cases) {
    SCOPED_TRACE(mc.what);
    const bemvector ph = phases(mc.names, mc.inph, mc.melt == 0 ? 1 : mc.melt);
    matrix(MG2SIO4_FE2SIO4_SIO2);
    emvector v{"v"};
    v.fill(-1);
    testsupport::Terminal term;
    ZQNLE4::CONV2WT(ph, v);
    if (mc.melt == 0) {
      EXPECT_EQ(term.text(), "");
      EXPECT_EQ(v[1], -1);
      continue;
    }
    EXPECT_EQ(term.text(), MELTLINES);
    EXPECT_NEAR(v[1], 61.532908, 1e-6L);
    EXPECT_EQ(v[4], -1);
  }
}

TEST_F(Conv2Wt, PeelingTheSpeciesOffTheMelt) {
  struct peelcase {
    const char* what;
    species rows;
    std::vector<extended> wt;  // expected v
    const char* residual;      // standard output before the four lines, "" for none
    const char* fault;         // "" when the run goes on
  };
  const peelcase cases[] = {
      {"identity: oxide wt%", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {43.797212, 35.254581, 20.948207}, "", ""},
      {"stuck with a residual: reported, then printed", {{1, 0, 2}, {1, 2, 0}, {1, 1, 0}}, {100, 0, 0},
       "residual mol = {  SiO2    0.80} {   MgO    1.20} \n", ""},
      {"pass limit with FeO left", {{1, 2, 0}, {1, 0, 0}}, {}, "residual mol = {   FeO    0.40} \n",
       "conv2wt: couldn't make mol%"},
      {"every column in two rows: nothing peeled", {{1, 1, 1}, {1, 1, 1}}, {},
       "residual mol = {  SiO2    1.00} {   MgO    1.20} {   FeO    0.40} \n", "conv2wt: sum of mol% = 0 2"},
      {"species without mass", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}}, {43.797212, 35.254581, 20.948207, 0}, "", ""},
  };
  for (const peelcase& pc : cases) {
    SCOPED_TRACE(pc.what);
    testsupport::resetio();  // a fatal stop closes the terminal channel
    const bemvector ph = phases({"liq"}, {true}, 1);
    matrix(pc.rows);
    emvector v{"v"};
    testsupport::Terminal term;
    const std::string how = fatal([&] { ZQNLE4::CONV2WT(ph, v); });
    EXPECT_EQ(how, pc.fault);
    const std::string out = term.text();
    const std::string residual = pc.residual;
    EXPECT_EQ(out.substr(0, residual.size()), residual);
    if (*pc.fault != 0) continue;
    EXPECT_EQ(testsupport::lines(out.substr(residual.size())).size(), 5u) << out;
    for (std::size_t r = 0; r < pc.wt.size(); ++r) EXPECT_NEAR(v[static_cast<long>(r + 1)], pc.wt[r], 1e-6L) << r;
  }
}

TEST_F(Conv2Wt, MatrixOfOtherWidthOrAnEmptyMelt) {
  const bemvector ph = phases({"liq"}, {true}, 1);
  emvector v{"v"};
  v.fill(-1);
  testsupport::Terminal term;
  matrix(MG2SIO4_FE2SIO4_SIO2, 2);
  ZQNLE4::CONV2WT(ph, v);
  EXPECT_EQ(term.text(), "");
  EXPECT_EQ(v[1], -1);

  // A melt with nothing in it: zeros, no output.
  for (long i = 1; i <= NUV; ++i)
    for (long m = 1; m <= 3; ++m) (*PREC1)[1].em[m].comp[i] = 0;
  matrix(MG2SIO4_FE2SIO4_SIO2);
  ZQNLE4::CONV2WT(ph, v);
  EXPECT_EQ(term.text(), "");
  EXPECT_EQ(v[1], 0);
  EXPECT_EQ(v[3], 0);
  EXPECT_EQ(v[4], -1);

  // A component of no oxide gives its species no mass.
  phases({"liq"}, {true}, 1);
  COMPNAME[1] = "Si";
  matrix({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
  const std::string how = fatal([&] { ZQNLE4::CONV2WT(ph, v); });
  EXPECT_EQ(how, "");
  EXPECT_EQ(v[1], 0);
  EXPECT_NEAR(v[2], 100 * 1.2L * 40.3044L / (1.2L * 40.3044L + 0.4L * 71.8464L), 1e-12L);
}
