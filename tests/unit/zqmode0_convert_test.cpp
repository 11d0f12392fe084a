// The conversion utility of calc mode 0, its routines called directly: the
// bulk from a wt% analysis and the printers of a mineral's compositional
// variables. Expected mole% come from the oxide masses of the element/oxide
// table worked out with an independent calculator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_reset.h"
#include "frame/zqmath1.h"
#include "iotestsupport.h"
#include "utilities/zqmode0.h"
#include "worktest.h"

using namespace ZQGLOBAL;
using testsupport::fatal;
using testsupport::Terminal;

namespace {

// A linear a-x expression: the sum of coefficient times variable index.
termtype linear(const std::vector<std::pair<smallint, smallint>>& parts) {
  termtype t;
  t.nterms = 1;
  t.terms[1].coef = 1;
  t.terms[1].nfactors = 1;
  xtermtype& f = t.terms[1].factors[1];
  f.m = static_cast<smallint>(parts.size());
  for (smallint k = 1; k <= f.m; ++k) {
    f.an[k] = parts[static_cast<std::size_t>(k - 1)].first;
    f.ad[k] = 1;
    f.v[k] = parts[static_cast<std::size_t>(k - 1)].second;
  }
  return t;
}

// Variable v of phase 1: numerator cations over denominator cations, each
// expression the plain sum of its cations.
void variable(smallint v, const std::string& name, const std::vector<std::string>& num,
              const std::vector<std::string>& den, bool isorder = false) {
  ptype1& ph = (*PREC1)[1];
  ph.nvar = std::max(ph.nvar, v);
  xvartype& x = ph.xvar[v];
  x.name = name;
  x.isorder = isorder;
  std::vector<std::pair<smallint, smallint>> parts;
  x.nnumnames = static_cast<smallint>(num.size());
  for (smallint k = 1; k <= x.nnumnames; ++k) {
    x.numnames[k] = num[static_cast<std::size_t>(k - 1)];
    parts.push_back({1, k});
  }
  x.numerator = linear(parts);
  parts.clear();
  x.ndennames = static_cast<smallint>(den.size());
  for (smallint k = 1; k <= x.ndennames; ++k) {
    x.dennames[k] = den[static_cast<std::size_t>(k - 1)];
    parts.push_back({1, k});
  }
  x.denominator = linear(parts);
}

// Olivine-like phase: x = Fe2/(Fe2 + Mg), an order parameter, y = Si/Si.
mineraltype& olivine(const std::vector<std::pair<std::string, extended>>& analysis) {
  (*PREC1)[1].name = "ol";
  variable(1, "x", {"Fe2"}, {"Fe2", "Mg"});
  variable(2, "Q", {"Mg"}, {"Mg"}, true);
  variable(3, "y", {"Si"}, {"Si"});
  mineraltype& m = MINERAL[1];
  m.name = "ol";
  m.phase = 1;
  m.analysed = true;
  m.fu = 4;
  m.sdlogwt = 0.02L;
  m.logx = -30;
  m.sdlogx = 0;
  m.nox = static_cast<smallint>(analysis.size());
  for (smallint j = 1; j <= m.nox; ++j) {
    m.inoxide[j] = analysis[static_cast<std::size_t>(j - 1)].first;
    m.wt[j] = analysis[static_cast<std::size_t>(j - 1)].second;
  }
  return m;
}

class Convert : public testsupport::WorkTest {
 protected:
  void SetUp() override {
    WorkTest::SetUp();
    // The script's reset clears only the counts of the mineral records:
    // each test starts from blank records, whatever an earlier one left.
    for (long i = 1; i <= maxminerals; ++i) {
      MINERAL[i] = mineraltype{};
      MINERALCONV[i] = mineralconvtype{};
    }
    testsupport::openchannel(CHANNEL::LOGBIT, "log.txt");
  }
  // An olivine analysed as 40 SiO2, 10 FeO, 50 MgO on 4 oxygens.
  mineralconvtype& olivineanalysis() {
    system({"SiO2", "FeO", "MgO", "O"});
    for (smallint c = 1; c <= 4; ++c) COMPDIV[c] = 1;
    olivine({});
    (*PREC1)[1].noxygens = 4;
    NPSS = 1;
    NP0 = 0;
    mineralconvtype& a = MINERALCONV[1];
    a.name = "ol";
    a.n = 3;
    const char* ox[] = {"SiO2", "FeO", "MgO"};
    const extended wt[] = {40, 10, 50};
    for (smallint j = 1; j <= 3; ++j) {
      a.inoxide[j] = ox[j - 1];
      a.wt[j] = wt[j - 1];
    }
    a.analysed = true;
    a.fu = 4;
    a.sdlogwt = 0.02L;
    a.logx = -30;
    return a;
  }
  std::string log() {
    IO::FLUSHER();
    return dir.read("log.txt");
  }
  static void system(const std::vector<std::string>& names) {
    NUV = static_cast<smallint>(names.size());
    for (smallint c = 1; c <= NUV; ++c) COMPNAME[c] = names[static_cast<std::size_t>(c - 1)];
  }
  static void bulk(const std::vector<std::pair<std::string, extended>>& entries) {
    NCONVB = static_cast<smallint>(entries.size());
    for (smallint j = 1; j <= NCONVB; ++j) {
      CONVOX[j] = entries[static_cast<std::size_t>(j - 1)].first;
      CONVBULK[j] = entries[static_cast<std::size_t>(j - 1)].second;
    }
  }
  // A mineral of three variables with a made-up analysis of silica and iron.
  static mineraltype& garnet(smallint nxyz) {
    (*PREC1)[1].fullname = "garnet";
    mineraltype& m = MINERAL[1];
    m.name = "g";
    m.phase = 1;
    m.analysed = true;
    m.nxyz = nxyz;
    const char* names[] = {"x", "z", "m"};
    const extended values[] = {0.8L, 0.1L, 0.05L}, sds[] = {0.01L, 0.002L, 0.0005L};
    for (smallint j = 1; j <= nxyz; ++j) {
      m.xyzname[j] = names[j - 1];
      m.xyz[j] = values[j - 1];
      m.sdxyz[j] = sds[j - 1];
    }
    m.corxyz(1, 2) = m.corxyz(2, 1) = 0.5L;
    m.corxyz(1, 3) = m.corxyz(3, 1) = -0.25L;
    m.corxyz(2, 3) = m.corxyz(3, 2) = 0.125L;
    m.nox = 3;
    m.opos = 3;
    m.oxname[1] = "SiO2";
    m.oxname[2] = "FeO";
    m.oxname[3] = "Fe2O3";
    m.wt[1] = 40;
    m.wt[2] = 30;
    m.wt[3] = 0.5L;
    m.sdlogwt = 0.02L;
    return m;
  }
  testsupport::ScratchDir dir;
};

TEST_F(Convert, BulkIntoMolePercentWithFerricIron) {
  struct Case {
    std::vector<std::pair<std::string, extended>> entries;
    std::string values, logvalues, typed;
  };
  const Case cases[] = {
      {{{"SiO2", 50}, {"FeO", 10}, {"Fe2O3", 4}, {"MgO", 20}},
       "   53.9412   12.2694   32.1657    1.6236",
       "bulk    53.941  12.269  32.166   1.624",
       "%         SiO2     FeO   Fe2O3     MgO\n%        50.00   10.00    4.00   20.00\n"},
      // Without an FeO entry the ferric iron still reaches FeO.
      {{{"SiO2", 50}, {"Fe2O3", 4}, {"MgO", 20}},
       "   59.2905    3.5693   35.3555    1.7847",
       "bulk    59.291   3.569  35.356   1.785",
       "%         SiO2   Fe2O3     MgO\n%        50.00    4.00   20.00\n"},
  };
  system({"SiO2", "FeO", "MgO", "O"});
  for (const Case& c : cases) {
    bulk(c.entries);
    Terminal term;
    ASSERT_EQ(fatal([] { ZQMODE0::MAKEBULK(); }), "");
    const std::string table = "\n_________________________\nbulk composition in mole%\n"
                              "      SiO2       FeO       MgO         O\n" + c.values + "\n";
    EXPECT_EQ(term.text(), table + "\n[ this bulk info is in scriptfile form in the logfile, ]\n\n");
    const std::string dash = "%-----------------------------------------------------------\n";
    EXPECT_NE(log().find(table + "\n[ for copying into the scriptfile ]\n" + dash +
                         "bulk      SiO2     FeO     MgO       O\n" + c.logvalues + "\n" + dash +
                         "% bulk, in mole%, derived from the following analysis in wt%:\n" + c.typed + dash),
              std::string::npos)
        << c.values;
  }
  EXPECT_NEAR(CONVBULK[4], 4 / (2 * 71.8464L + 16), 1e-15L);  // the appended O, in moles
}

TEST_F(Convert, BulkMissingAndUnusedEntries) {
  system({"SiO2", "MgO", "CaO"});
  bulk({{"SiO2", 50}, {"Xx", 3}, {"K2O", 1}, {"MgO", 20}});
  Terminal term;
  ASSERT_EQ(fatal([] { ZQMODE0::MAKEBULK(); }), "");
  EXPECT_EQ(term.text().substr(0, 240),
            "\nignoring, in the input bulk Xx=3.0000; K2O=0.0106; \n\n_________________________\n"
            "bulk composition in mole%\n      SiO2       MgO       CaO\n   62.6445   37.3555        ??\n"
            "\n[ this bulk info is in scriptfile form in the logfile, ]\n\n");
  EXPECT_NE(log().find("bulk    62.644  37.356      ??\n"), std::string::npos);

  NCONVB = 0;
  Terminal quiet;
  ZQMODE0::MAKEBULK();
  EXPECT_EQ(quiet.text(), "");

  // A negative amount is a given component like any other: shown, and
  // counted in the sum; only the one without an entry is missing.
  bulk({{"SiO2", -5}, {"MgO", 5}});
  Terminal negative;
  ASSERT_EQ(fatal([] { ZQMODE0::MAKEBULK(); }), "");
  EXPECT_NE(negative.text().find("\n      SiO2       MgO       CaO\n -203.7593  303.7593        ??\n"),
            std::string::npos)
      << negative.text();
  EXPECT_NE(log().find("bulk  -203.759 303.759      ??\n"), std::string::npos) << log();

  bulk({{"Xx", 3}, {"CaO", 0}});
  EXPECT_EQ(fatal([] { ZQMODE0::MAKEBULK(); }), "makebulk: the bulk composition sums to 0");
}

TEST_F(Convert, XyzInfoTable) {
  struct Case {
    smallint nxyz;
    bool analysed, useideal;
    std::string want;
  };
  const Case cases[] = {
      {3, true, false,
       "\ng    recalc       xyz   sd(xyz)    correlations\n"
       "          x   0.80000   0.01000    1  0.5000 -0.2500\n"
       "          z   0.10000   0.00200            1  0.1250\n"
       "          m   0.05000   0.00050                    1\n"},
      {1, true, true, "\ng     ideal       xyz   sd(xyz)    \n          x   0.80000   0.01000\n"},
      {1, false, false, "\ng                 xyz   sd(xyz)    \n          x   0.80000   0.01000\n"},
  };
  std::string all;
  for (const Case& c : cases) {
    mineraltype& m = garnet(c.nxyz);
    m.analysed = c.analysed;
    m.useideal = c.useideal;
    Terminal term;
    ZQMODE0::PRINTXYZINFO(1);
    EXPECT_EQ(term.text(), c.want);
    all += c.want;
  }
  EXPECT_EQ(log(), all);
}

TEST_F(Convert, XyzScriptBlock) {
  mineraltype& m = garnet(3);
  m.sdmult = 1;
  m.logx = -20;
  {
    Terminal term;
    ZQMODE0::PRINTXYZSCRIPT(1);
    EXPECT_EQ(term.text(), "");
  }
  const std::string dash = "% ---------------------------------------------------\n";
  EXPECT_EQ(log(), "\n[ xyz info to copy into the scriptfile for avPT+ calcs: ]\n\n% garnet\n" + dash +
                       "mineral    g    3        x        z        m\n"
                       "mineral    g incl        1        1        1\n"
                       "mineral    g  xyz  0.80000  0.10000  0.05000\n"
                       "mineral    g   sd  0.01000  0.00200  0.00050\n\n"
                       "mineral    g  cor        1   0.5000  -0.2500\n"
                       "mineral    g  cor   0.5000        1   0.1250\n"
                       "mineral    g  cor  -0.2500   0.1250        1\n"
                       "\n% xyz calculated with the following analysis in wt% (all Fe as FeO),\n"
                       "%      SiO2      FeO\n%     40.00    30.00\n"
                       "% with, natural logs, sd(log wt%) = 0.020/sqrt(wt%), and\n"
                       "% all Fe set to FeO; uncertainties calculated using monte carlo\n" + dash);
}

// Names as long as their fields or longer keep a blank before them in the
// block to be copied into the script, so that its words read back apart.
TEST_F(Convert, XyzScriptBlockKeepsLongNamesApart) {
  mineraltype& m = garnet(2);
  m.sdmult = 1;
  m.logx = -20;
  m.name = "garnet";
  m.xyzname[1] = "x(garnet)";
  m.xyzname[2] = "z(garnet)";
  Terminal term;
  ZQMODE0::PRINTXYZSCRIPT(1);
  EXPECT_NE(log().find("\nmineral garnet    2 x(garnet) z(garnet)\n"
                       "mineral garnet incl        1        1\n"
                       "mineral garnet  xyz  0.80000  0.10000\n"),
            std::string::npos)
      << log();
}

TEST_F(Convert, XyzScriptIronAndSdMultiplier) {
  struct Case {
    extended logx, sdmult;
    bool useideal;
    std::string tail;
  };
  const std::string mc = "% uncertainties calculated using monte carlo";
  const std::string dash = "% ---------------------------------------------------\n";
  const Case cases[] = {
      {-20, 2, false, "% all Fe set to FeO; uncertainties calculated using monte carlo (sd mult = 2)\n"},
      {0, 1.5L, false, "% all Fe set to Fe2O3; uncertainties calculated using monte carlo (sd mult = 1.5)\n"},
      {-1, 1, false,
       "% log x = log Fe3/(Fe2 + Fe3) = -1.00 \xC2\xB1 0.20 from x range 0.20 to 0.50 (95% \"ci\")\n" + mc + "\n"},
      {-11, 2, false,
       "% log x = log Fe3/(Fe2 + Fe3) = -11.00 \xC2\xB1 0.20 from x range 0.20 to 0.50 (95% \"ci\")\n" + mc +
           " (sd mult = 2)\n"},
      {-0.00005L, 1, true,
       "% log x = log Fe3/(Fe2 + Fe3) = -0.00 \xC2\xB1 0.20 from x range 0.20 to 0.50 (95% \"ci\")\n" + mc + "\n"},
  };
  std::string want;
  for (const Case& c : cases) {
    mineraltype& m = garnet(1);
    m.logx = c.logx;
    m.sdmult = c.sdmult;
    m.useideal = c.useideal;
    m.sigfit = 1.234L;
    m.sdlogx = 0.1L;
    m.xlow = 0.2L;
    m.xhigh = 0.5L;
    ZQMODE0::PRINTXYZSCRIPT(1);
    const std::string sd = c.sdmult == 2 ? "0.02000" : c.sdmult == 1 ? "0.01000" : "0.01500";
    want += "\n[ xyz info to copy into the scriptfile for avPT+ calcs: ]\n\n% garnet\n" + dash +
            "mineral    g    1        x\nmineral    g incl        1\nmineral    g  xyz  0.80000\n"
            "mineral    g   sd  " + sd + "\n\nmineral    g  cor        1\n"
            "\n% xyz calculated with the following analysis in wt% (all Fe as FeO),\n" +
            (c.useideal ? "% using ideal analysis (eg fixed cation sum), with sigfit = 1.23\n" : "") +
            "%      SiO2      FeO\n%     40.00    30.00\n"
            "% with, natural logs, sd(log wt%) = 0.020/sqrt(wt%), and\n" + c.tail + dash;
  }
  EXPECT_EQ(log(), want);
}

TEST_F(Convert, RecalcCationsAndVariable) {
  mineraltype& m = olivine({});
  const char* ox[] = {"SiO2", "FeO", "MgO"};
  const char* cat[] = {"Si", "Fe2", "Mg"};
  const extended mw[] = {60.0848L, 71.8464L, 40.3044L};
  const smallint oxy[] = {2, 1, 1};
  cvector wt{"wt"}, c{"c"};
  const extended given[] = {40, 10, 50};
  m.nox = 3;
  m.opos = m.feopos = 0;
  for (smallint j = 1; j <= 3; ++j) {
    m.oxname[j] = ox[j - 1];
    m.cationname[j] = cat[j - 1];
    m.molwt[j] = mw[j - 1];
    m.oxcations[j] = 1;
    m.oxoxygens[j] = oxy[j - 1];
    wt[j] = given[j - 1];
  }
  for (smallint v = 1; v <= 3; ++v)
    for (smallint k = 1; k <= 2; ++k) {
      xvartype& x = (*PREC1)[1].xvar[v];
      auto at = [&m](const sstring& n) -> smallint {
        for (smallint j = 1; j <= m.nox; ++j)
          if (m.cationname[j] == n) return j;
        return 0;
      };
      x.numcomp[k] = at(x.numnames[k]);
      x.dencomp[k] = at(x.dennames[k]);
    }
  ZQMODE0::empvector xyz{"xyz"};
  EXPECT_EQ(ZQMODE0::RECALC(1, wt, c, xyz, false), 0);
  EXPECT_NEAR(c[1], 0.98218734L, 1e-7L);
  EXPECT_NEAR(c[2], 0.20534964L, 1e-7L);
  EXPECT_NEAR(c[3], 1.83027567L, 1e-7L);
  ASSERT_EQ(m.nxyz, 2);  // the order parameter is not a variable of the analysis
  EXPECT_EQ(m.xyzname[2], "y");
  EXPECT_NEAR(xyz[1], 0.10087792L, 1e-7L);
  EXPECT_EQ(xyz[2], 1);
  for (smallint j = 1; j <= 3; ++j) wt[j] = 0;
  EXPECT_EQ(fatal([&] { ZQMODE0::RECALC(1, wt, c, xyz, false); }), "recalc: psum = 0");
  // Fe is none of an analysis without FeO; where FeO is split, which of Fe2 and Fe3 is the user's to say
  EXPECT_EQ(fatal([&] { ZQMODE0::CHECKCATION(m, "Fe", "x"); }), "");
  m.feopos = 2;
  EXPECT_EQ(fatal([&] { ZQMODE0::CHECKCATION(m, "Fe", "x"); }), "calcxyz: x names Fe: its iron is Fe2 and Fe3");
}

TEST_F(Convert, IronOfEitherOrderReachesTheWorkingAnalysis) {
  for (bool ferricfirst : {false, true}) {
    mineraltype& m = ferricfirst ? olivine({{"SiO2", 40}, {"Fe2O3", 3.3L}, {"FeO", 8}, {"MgO", 50}})
                                 : olivine({{"SiO2", 40}, {"FeO", 8}, {"Fe2O3", 3.3L}, {"MgO", 50}});
    ZQMATH1::SETUPRANDOM(true);
    ASSERT_EQ(fatal([] { ZQMODE0::CALCXYZ(1); }), "");
    EXPECT_NEAR(m.wtwork[m.feopos], 10.969364L, 1e-6L) << ferricfirst;
    EXPECT_EQ(m.nox, 4);  // SiO2, FeO, MgO and the O entry
    EXPECT_EQ(m.oxname[m.opos], "Fe2O3");
    EXPECT_EQ(m.cationname[m.feopos], "Fe2");
  }
  mineraltype& m = olivine({{"SiO2", 40}, {"FeOt", 10}, {"Fe2O3", 0}, {"MgO", 50}});
  ZQMATH1::SETUPRANDOM(true);
  ASSERT_EQ(fatal([] { ZQMODE0::CALCXYZ(1); }), "");
  EXPECT_NEAR(m.xyz[1], 0.10087792L, 1e-7L);  // ln x = -30 leaves the iron ferrous
}

TEST_F(Convert, MonteCarloSpreadAndCorrelations) {
  const std::vector<std::pair<std::string, extended>> analysis = {{"SiO2", 40}, {"FeO", 10}, {"MgO", 50}};
  std::vector<extended> first;
  for (int pass = 0; pass < 2; ++pass) {
    mineraltype& m = olivine(analysis);
    ZQMATH1::SETUPRANDOM(true);
    Terminal term;
    ASSERT_EQ(fatal([] { ZQMODE0::CALCXYZ(1); }), "");
    EXPECT_EQ(term.text().find("in mc,"), std::string::npos);
    ASSERT_EQ(m.nxyz, 2);
    EXPECT_NEAR(m.xyz[1], 0.10087792L, 1e-7L);
    EXPECT_GT(m.sdxyz[1], 0);
    EXPECT_EQ(m.sdxyz[2], 0);
    EXPECT_EQ(m.corxyz(1, 1), 1);
    EXPECT_EQ(m.corxyz(2, 2), 0);  // no spread, no correlation
    EXPECT_EQ(m.corxyz(1, 2), 0);
    const std::vector<extended> got = {m.sdxyz[1], m.corxyz(1, 1)};
    if (pass == 0)
      first = got;
    else
      EXPECT_EQ(got, first);
  }
}

TEST_F(Convert, MonteCarloCorrelationsBounded) {
  // Fe2/(Fe2 + Mg) and Mg/(Fe2 + Mg) move exactly against each other.
  mineraltype& m = olivine({{"SiO2", 40}, {"FeO", 10}, {"MgO", 50}});
  variable(2, "w", {"Mg"}, {"Fe2", "Mg"});
  ZQMATH1::SETUPRANDOM(true);
  ASSERT_EQ(fatal([] { ZQMODE0::CALCXYZ(1); }), "");
  EXPECT_EQ(m.corxyz(1, 2), -0.95L);
  EXPECT_EQ(m.corxyz(2, 1), -0.95L);
  EXPECT_NEAR(m.sdxyz[1], m.sdxyz[2], 1e-12L);
}

// No variable reads Mn, and each variable is a ratio of cations, in which
// the analysis's normalisation cancels: a sample's variables are the same
// whatever MnO was drawn at, however small the entry and however wide its
// sd of ln wt% (a / sqrt(wt%), 6325 at 1e-11 wt% and a = 0.02). With the
// same seeds the spread and correlations are those of MnO at 1 wt%.
TEST_F(Convert, TraceEntryReadByNoVariableLeavesSpreadsAndCorrelations) {
  const auto spread = [](extended mno, extended a) {
    mineraltype& m = olivine({{"SiO2", 40}, {"FeO", 10}, {"MgO", 50}, {"MnO", mno}});
    variable(2, "s", {"Si"}, {"Si", "Fe2"});
    m.sdlogwt = a;
    m.logx = -1;
    m.sdlogx = 0.3L;
    ZQMATH1::SETUPRANDOM(true);
    EXPECT_EQ(fatal([] { ZQMODE0::CALCXYZ(1); }), "");
    return std::vector<extended>{m.sdxyz[1], m.sdxyz[2], m.corxyz(1, 2)};
  };
  for (const extended a : {0.02L, 0.1L}) {
    const std::vector<extended> ordinary = spread(1, a);
    ASSERT_GT(ordinary[0], 1e-4L);
    ASSERT_LT(ordinary[2], -0.05L);
    for (const extended mno : {1e-5L, 1e-10L, 1e-11L, 1e-12L, 1e-30L, 1e-300L, 1e-4000L}) {
      const std::vector<extended> got = spread(mno, a);
      for (std::size_t k = 0; k < got.size(); ++k)
        EXPECT_NEAR(got[k], ordinary[k], 1e-12L) << "MnO " << static_cast<double>(mno) << " a " << static_cast<double>(a)
                                                 << " k " << k;
    }
  }
}

bool firstfail(smallint t, smallint upto) { return t <= upto; }
bool fail3500(smallint t) { return firstfail(t, 3500); }
bool fail3501(smallint t) { return firstfail(t, 3501); }
bool failall(smallint) { return true; }

TEST_F(Convert, MonteCarloFailuresAndFatals) {
  struct Case {
    std::vector<std::pair<std::string, extended>> analysis;
    bool (*seam)(smallint);
    std::string fatal, terminal;
  };
  const std::vector<std::pair<std::string, extended>> ok = {{"SiO2", 40}, {"FeO", 10}, {"MgO", 50}};
  const Case cases[] = {
      {ok, fail3500, "", "in mc, 1500 of 5000 successes\n\n"},
      {ok, fail3501, "calcxyz: low number of successes in mcjx", "in mc, 1499 of 5000 successes\n\n"},
      {ok, failall, "calcxyz: no successes in mcjx", "in mc, 0 of 5000 successes\n\n"},
      {{{"SiO2", 40}, {"F", 1}}, nullptr, "calcxyz: F in ol not implemented", ""},
      {{{"SiO2", 40}, {"O", 1}}, nullptr, "calcxyz: O in analysis not implemented for ol", ""},
      {{{"SiO2", 40}, {"Xy2O", 1}}, nullptr, "calcxyz: oxide unknown Xy2O", ""},
      // No Mg and no iron: x = Fe2/(Fe2 + Mg) has nothing below the line.
      {{{"SiO2", 40}, {"CaO", 10}}, nullptr, "calcxyz: denominator 0 for x in ol", ""},
  };
  for (const Case& c : cases) {
    testsupport::resetio();  // a fatal stop closes the channels
    olivine(c.analysis);
    ZQMATH1::SETUPRANDOM(true);
    ZQMODE0::MCSAMPLEFAILS = c.seam;
    Terminal term;
    EXPECT_EQ(fatal([] { ZQMODE0::CALCXYZ(1); }), c.fatal);
    ZQMODE0::MCSAMPLEFAILS = nullptr;
    EXPECT_EQ(term.text().substr(0, c.terminal.size()), c.terminal) << c.fatal;
  }
}

TEST_F(Convert, RbiRowsOfMineralsAndPurePhases) {
  system({"SiO2", "FeO", "MgO"});
  for (smallint c = 1; c <= 3; ++c) COMPDIV[c] = 1;
  ptype1& ph = (*PREC1)[2];
  ph.name = "ol";
  ph.nvar = 2;
  ph.xvar[1].name = "x";
  ph.xvar[2].name = "Q";
  ph.xvar[2].isorder = true;
  ph.nprop = 2;
  ph.prop[2] = linear({{1, 1}});
  ph.prop[1] = linear({{-1, 1}});
  ph.prop[1].terms[1].factors[1].cn = 1;  // 1 - x
  const smallint fo[] = {1, 0, 2}, fa[] = {1, 8, 0}, q[] = {1, 0, 0};
  for (smallint c = 1; c <= 3; ++c) {
    ph.em[1].comp[c] = fo[c - 1];
    ph.em[2].comp[c] = fa[c - 1];
    (*PREC0)[1].comp[c] = q[c - 1];
  }
  (*PREC1)[1].name = "g";
  NPSS = 2;
  NP0 = 1;
  (*PREC0)[1].name = "q";
  NMIN = 1;
  MINERAL[1].name = "ol";
  MINERAL[1].nxyz = 1;
  MINERAL[1].xyz[1] = 0.25000005L;  // 8 x is 2.0000004: written as 2
  RBIMODE[1] = 0.5L;
  RBIMODE[2] = 0.25L;
  Terminal term;
  ASSERT_EQ(fatal([] { ZQMODE0::MAKERBI(); }), "");
  EXPECT_EQ(term.text(), "[ rbi is in the logfile ]\n");
  EXPECT_EQ(MINERAL[1].phase, 2);
  EXPECT_EQ(X[2], 0);
  const std::string dash = "% -----------------------------------------------------\n";
  EXPECT_EQ(log(), "\n" + dash + "%" + std::string(22, ' ') + "      SiO2       FeO       MgO\n" +
                       "bulk  rbi    ol    0.5000         1         2  1.500000\n"
                       "bulk  rbi     q  0.2500         1         0         0\n" + dash);

  struct Case {
    std::string name;
    smallint nxyz;
    std::string fatal;
  };
  const Case cases[] = {{"zz", 1, "make rbi: unrecognised phase, zz"},
                        {"q", 1, "make rbi: unrecognised phase, q"},
                        {"ol", 2, "make rbi: phase size mismatch"}};
  for (const Case& c : cases) {
    MINERAL[1].name = c.name;
    MINERAL[1].nxyz = c.nxyz;
    EXPECT_EQ(fatal([] { ZQMODE0::MAKERBI(); }), c.fatal);
  }
}

// With 25 components every row of the rbi block is longer than a line's
// usual length: each is written whole, so that the pure phases of the last
// two components show their amounts under them.
TEST_F(Convert, RbiRowsOfManyComponentsAreWhole) {
  std::vector<std::string> names = {"SiO2", "FeO", "MgO"};
  for (int c = 4; c <= 25; ++c) names.push_back("C" + std::to_string(c));
  system(names);
  for (smallint c = 1; c <= 25; ++c) COMPDIV[c] = 1;
  ptype1& ph = (*PREC1)[1];
  ph.name = "ol";
  ph.nvar = 1;
  ph.xvar[1].name = "x";
  ph.nprop = 2;
  ph.prop[2] = linear({{1, 1}});
  ph.prop[1] = linear({{-1, 1}});
  ph.prop[1].terms[1].factors[1].cn = 1;  // 1 - x
  for (smallint c = 1; c <= 25; ++c) ph.em[1].comp[c] = ph.em[2].comp[c] = 0;
  ph.em[1].comp[1] = 1, ph.em[1].comp[3] = 2;  // fo
  ph.em[2].comp[1] = 1, ph.em[2].comp[2] = 2;  // fa
  NPSS = 1;
  NP0 = 2;
  for (smallint j = 1; j <= 2; ++j) {
    (*PREC0)[j].name = j == 1 ? "z24yyy" : "z25yyy";
    for (smallint c = 1; c <= 25; ++c) (*PREC0)[j].comp[c] = c == 23 + j ? 1 : 0;
  }
  NMIN = 1;
  MINERAL[1].name = "ol";
  MINERAL[1].nxyz = 1;
  MINERAL[1].xyz[1] = 0.25L;
  RBIMODE[1] = 0.5L;
  Terminal term;
  ASSERT_EQ(fatal([] { ZQMODE0::MAKERBI(); }), "");
  const std::string l = log();
  EXPECT_EQ(l.find('\xA4'), std::string::npos) << l;
  std::map<std::string, std::vector<std::string>> rows;
  std::istringstream in(l);
  for (std::string line; std::getline(in, line);) {
    std::istringstream ws(line);
    std::vector<std::string> w;
    for (std::string x; ws >> x;) w.push_back(x);
    if (w.size() > 2 && (w[0] == "%" || w[0] == "bulk")) rows[w[0] == "%" ? "%" : w[2]] = w;
  }
  ASSERT_EQ(rows["%"].size(), 26u) << l;
  EXPECT_EQ(rows["%"].back(), "C25");
  // ol at x = 1/4: SiO2 1, FeO 2 x = 1/2, MgO 2 (1 - x) = 3/2.
  const std::vector<std::string> ol = {"bulk", "rbi", "ol", "0.5000", "1", "0.500000", "1.500000"};
  ASSERT_EQ(rows["ol"].size(), 29u) << l;
  EXPECT_EQ(std::vector<std::string>(rows["ol"].begin(), rows["ol"].begin() + 7), ol);
  for (const char* z : {"z24yyy", "z25yyy"}) {
    ASSERT_EQ(rows[z].size(), 29u) << l;
    const std::size_t one = std::string(z) == "z24yyy" ? 27 : 28;
    for (std::size_t k = 4; k < 29; ++k) EXPECT_EQ(rows[z][k], k == one ? "1" : "0") << z << " " << k;
  }
}

TEST_F(Convert, MineralCalcRecalculatesPrintsAndGathersRbiRows) {
  mineralconvtype& a = olivineanalysis();
  a.fu = 5;  // one away from the phase's 4 is accepted
  NMINCONV = 1;
  ZQMATH1::SETUPRANDOM(true);
  Terminal term;
  ASSERT_EQ(fatal([] { ZQMODE0::MINERALCALC(); }), "");
  const std::string t = term.text();
  EXPECT_NE(t.find("\n" + std::string(84, '=') + "\nrecalc of ol\n"), std::string::npos);
  EXPECT_NE(t.find("           SiO2       FeO       MgO         O\n"
                   "wt%      40.000    10.000    50.000         0\n"
                   "             Si       Fe2        Mg       Fe3\n"),
            std::string::npos);
  EXPECT_NE(t.find("[ this xyz info is in scriptfile form in the logfile ]"), std::string::npos);
  EXPECT_NE(t.find("\nmoles of oxides in ol for rbi\n"), std::string::npos);
  const std::string l = log();
  // Five oxygens: the cations are those of the four-oxygen recalculation times 5/4.
  EXPECT_NE(l.find("rbi" + std::string(14, ' ') + "      SiO2       FeO       MgO         O\n"
                   "rbi    ol      ??  1.227734  0.256687  2.287845         0\n"),
            std::string::npos);
  EXPECT_NE(l.find("[ xyz info to copy into the scriptfile for avPT+ calcs: ]"), std::string::npos);
  EXPECT_EQ(NMIN, 1);
  EXPECT_EQ(MINERAL[1].phase, 1);

  struct Case {
    std::string name;
    extended fu;
    smallint count, nconv;
    std::string fatal;
  };
  const Case cases[] = {
      {"zz", 4, 1, 1, "mineralcalc: unrecognised phase, zz"},
      {"ol", 5.01L, 1, 1, "mineralcalc: right formula unit for ol?"},
      {"ol", 4, 0, 1, ""},
      {"ol", 4, 1, 0, "conversions: no converting to be done?"},
  };
  for (const Case& c : cases) {
    testsupport::resetio();
    a.name = c.name;
    a.fu = c.fu;
    NMINCONV = c.count;
    NCONV = c.nconv;
    Terminal again;
    EXPECT_EQ(fatal([&] { c.nconv == 0 ? ZQMODE0::DOCONVERT() : ZQMODE0::MINERALCALC(); }), c.fatal);
    if (c.count == 0) {
      EXPECT_EQ(again.text().substr(0, 28), "\nno analyses to recalculate\n");
    }
  }
}

// A mineral named at six characters or more keeps a blank after "rbi" in
// its row of the block meant for the script, and its amounts stay in their
// columns however long the name: the row pasted back reads as "rbi", the
// name and the amounts of the short-named row above.
TEST_F(Convert, LongMineralNameKeepsItsRbiRowReadable) {
  for (const std::string name : {"olivin", "olivine-of-22-letters-"}) {
    SCOPED_TRACE(name);
    mineralconvtype& a = olivineanalysis();
    a.fu = 5;
    a.name = name;
    (*PREC1)[1].name = name;
    // A pure phase of the same long name's length: its row from the data
    // set's composition (3 SiO2) in the same block.
    NP0 = 1;
    NCV = 3;
    (*PREC0)[1].name = name + "q";
    for (smallint c = 1; c <= 4; ++c) (*C)(c, NCV) = c == 1 ? 3 : 0;
    NWHSTRINGS = 1;
    NMINCONV = 1;
    ZQMATH1::SETUPRANDOM(true);
    const std::size_t seen = log().size();
    Terminal term;
    ASSERT_EQ(fatal([] { ZQMODE0::MINERALCALC(); }), "");
    EXPECT_NE(log().find("\nrbi " + name + "      ??  1.227734  0.256687  2.287845         0\n", seen), std::string::npos)
        << log();
    EXPECT_NE(log().find("\nrbi " + name + "q      ??  3.000000         0         0         0\n", seen),
              std::string::npos)
        << log();
    EXPECT_NE(term.text().find("\n      SiO2       FeO       MgO         O\n  1.227734  0.256687  2.287845         0\n"),
              std::string::npos)
        << term.text();
  }
}

// The constraints of an ideal analysis as its heading writes them: numbers
// within 1e-5 of a whole one as integers, others with 3 decimals.
TEST_F(Convert, IdealConstraintsInTheHeading) {
  mineralconvtype& a = olivineanalysis();
  a.useideal = true;
  const struct {
    extended constant, value;
    std::vector<std::pair<const char*, extended>> terms;
  } rows[] = {
      {2.5L, 3.0000001L, {{"Si", 1}, {"Fe2", -1}, {"Mg", 0.5L}, {"Fe3", -0.25L}}},
      {0, 0.99998L, {{"Si", 2}, {"Mg", 0}, {"Fe2", -3.0000004L}}},
      {0, 1, {{"Si", 1}, {"Mg", 1}}},
  };
  a.nideal = 3;
  for (smallint c = 1; c <= 3; ++c) {
    const auto& r = rows[c - 1];
    a.idealconst[c] = r.constant;
    a.idealvalue[c] = r.value;
    a.nidealterm[c] = static_cast<smallint>(r.terms.size());
    for (smallint t = 1; t <= a.nidealterm[c]; ++t) {
      a.idealname(c, t) = r.terms[static_cast<std::size_t>(t - 1)].first;
      a.idealcoef(c, t) = r.terms[static_cast<std::size_t>(t - 1)].second;
    }
  }
  NMINCONV = 1;
  ZQMATH1::SETUPRANDOM(true);
  Terminal term;
  fatal([] { ZQMODE0::MINERALCALC(); });  // the heading comes before the fit, whatever its end
  EXPECT_NE(term.text().find("\nideal analysis of ol with\n"
                             "  2.500 + Si - Fe2 + 0.500Mg - 0.250Fe3 = 3\n"
                             "   + 2Si - 0Mg - 3Fe2 = 1.000\n"
                             "  Si + Mg = 1\n\n"),
            std::string::npos)
      << term.text();
}

// Constraint c of mineral 1 on its cations: the sum of the named cations
// (coefficient 1 each) equals value.
void constraint(smallint c, const std::vector<std::string>& cations, extended value) {
  mineraltype& m = MINERAL[1];
  m.useideal = true;
  m.nideal = std::max(m.nideal, c);
  m.nidealterm[c] = static_cast<smallint>(cations.size());
  for (smallint t = 1; t <= m.nidealterm[c]; ++t) {
    m.idealname(c, t) = cations[static_cast<std::size_t>(t - 1)];
    m.idealcoef(c, t) = 1;
  }
  m.idealvalue[c] = value;
  m.idealconst[c] = 0;
}

TEST_F(Convert, IdealFitMeetsItsConstraints) {
  struct Case {
    bool twoconstraints;
    std::vector<std::pair<std::string, extended>> analysis;
    bool exact;
  };
  const std::vector<std::pair<std::string, extended>> off = {{"SiO2", 40}, {"FeO", 10}, {"MgO", 50}};
  // One Si, 0.2 Fe and 1.8 Mg on four oxygens: three cations already.
  const std::vector<std::pair<std::string, extended>> exact = {
      {"SiO2", 60.0848L}, {"FeO", 0.2L * 71.8464L}, {"MgO", 1.8L * 40.3044L}};
  const Case cases[] = {{false, off, false}, {true, off, false}, {false, exact, true}};
  for (const Case& c : cases) {
    mineraltype& m = olivine(c.analysis);
    m.nideal = 0;
    constraint(1, {"Si", "Fe2", "Mg"}, 3);
    if (c.twoconstraints) constraint(2, {"Fe2"}, 0.2L);
    ZQMATH1::SETUPRANDOM(true);
    ASSERT_EQ(fatal([] { ZQMODE0::CALCXYZ(1); }), "");
    extended sum = 0, psum = 0;
    for (smallint j = 1; j <= m.nox; ++j) psum += m.wt[j] / m.molwt[j];
    for (smallint k = 1; k <= m.nideal; ++k) {
      extended an = 0;
      for (smallint j = 1; j <= m.nox; ++j) an += m.idealcoef(k, j) * m.wt[j] / m.molwt[j] / psum;
      EXPECT_NEAR(an, 0, 1e-10L) << k;
    }
    for (smallint j = 1; j <= 3; ++j) sum += m.cid[j];
    EXPECT_NEAR(sum, 3, 1e-8L);
    if (c.twoconstraints) {
      EXPECT_NEAR(m.cid[m.fe2pos], 0.2L, 1e-8L);
    }
    if (c.exact) {
      EXPECT_LT(m.sigfit, 1e-6L);
    } else {
      EXPECT_GT(m.sigfit, 0.01L);
    }
    extended wsum = 0;
    for (smallint j = 1; j <= m.nox; ++j) wsum += m.wt[j];
    EXPECT_NEAR(wsum, 100, 1e-10L);
    EXPECT_GT(m.sdxyz[1], 0);
  }
}

// Random garnet analyses with ferric iron, each fitted to one or two random
// constraints naming Fe3 or Fe2 alone, with another cation or with each
// other, some with a constant: the fitted cations as the tables print them
// (Fe2 = FeO - 2 O, Fe3 = 2 O per 12 oxygens) must meet every constraint.
// Each target lies within 0.01 of the analysis's own value, in reach. Some
// write a cation twice (its coefficient split in two terms: the sum is the
// constraint), and some repeat a constraint, as written or doubled, or add
// the sum of the two: what the others give already, met as they are.
TEST_F(Convert, IdealFitHoldsOnPrintedIronForRandomConstraints) {
  std::mt19937 gen(20261208);
  auto u = [&gen] { return static_cast<extended>(std::uniform_real_distribution<double>(0, 1)(gen)); };
  const char* choices[][2] = {{"Fe3", ""}, {"Fe2", ""}, {"Fe3", "Al"}, {"Fe2", "Mg"}, {"Fe3", "Fe2"}, {"Si", "Fe3"}};
  (*PREC1)[1].name = "gt";
  variable(1, "x", {"Fe2"}, {"Fe2", "Mg"});
  variable(2, "f", {"Fe3"}, {"Fe3", "Al"});
  for (int trial = 0; trial < 24; ++trial) {
    SCOPED_TRACE(trial);
    mineraltype fresh{};
    fresh.name = "gt";
    fresh.phase = 1;
    fresh.analysed = true;
    fresh.fu = 12;
    fresh.sdlogwt = 0.02L;
    fresh.logx = std::log(0.02L + 0.2L * u());
    fresh.sdlogx = 0.2L;
    fresh.nox = 5;
    const char* ox[] = {"SiO2", "Al2O3", "FeO", "MgO", "CaO"};
    const extended wt[] = {37 + 2 * u(), 20 + 2 * u(), 15 + 15 * u(), 2 + 8 * u(), 1 + 8 * u()};
    for (smallint j = 1; j <= 5; ++j) {
      fresh.inoxide[j] = ox[j - 1];
      fresh.wt[j] = wt[j - 1];
    }
    mineraltype& m = MINERAL[1];
    m = fresh;
    ASSERT_EQ(fatal([] { ZQMODE0::CALCXYZ(1); }), "");  // the plain cations, to aim the targets
    auto cation = [&m](const cvector& c, const std::string& name) {
      for (smallint j = 1; j <= m.nox; ++j)
        if (m.cationname[j] == name) return c[j];
      return extended{0};
    };
    const cvector plain = m.c0;
    fresh.useideal = true;
    fresh.nideal = static_cast<smallint>(1 + trial % 2);
    for (smallint c = 1; c <= fresh.nideal; ++c) {
      const auto& pick = choices[(trial / 2 + 3 * (c - 1)) % 6];
      fresh.nidealterm[c] = *pick[1] != 0 ? 2 : 1;
      fresh.idealname(c, 1) = pick[0];
      fresh.idealcoef(c, 1) = 1 + u();
      fresh.idealname(c, 2) = pick[1];
      fresh.idealcoef(c, 2) = u() < 0.5L ? -0.5L : 2.0L;
      fresh.idealconst[c] = trial % 3 == 0 ? 0.25L : 0;
      extended v = fresh.idealconst[c] + 0.02L * (u() - 0.5L);
      for (smallint t = 1; t <= fresh.nidealterm[c]; ++t)
        v += fresh.idealcoef(c, t) * cation(plain, fresh.idealname(c, t));
      fresh.idealvalue[c] = v;
      if (trial % 4 == 1) {
        // the first cation written twice, its coefficient split
        fresh.idealname(c, 3) = pick[0];
        fresh.idealcoef(c, 3) = fresh.idealcoef(c, 1) / 4;
        fresh.idealcoef(c, 1) *= 0.75L;
        fresh.idealname(c, 2) = *pick[1] != 0 ? pick[1] : pick[0];
        if (*pick[1] == 0) fresh.idealcoef(c, 2) = 0;
        fresh.nidealterm[c] = 3;
      }
    }
    if (trial % 3 != 2) {
      // the constraints again: the first doubled, or the sum of both
      const smallint c = static_cast<smallint>(fresh.nideal + 1), a = 1, b = fresh.nideal;
      const extended scale = trial % 3 == 0 ? 2 : 1;
      fresh.nidealterm[c] = 0;
      for (smallint from : {a, b}) {
        if (from == b && (a == b || trial % 3 == 0)) break;
        for (smallint t = 1; t <= fresh.nidealterm[from]; ++t) {
          const smallint at = ++fresh.nidealterm[c];
          fresh.idealname(c, at) = fresh.idealname(from, t);
          fresh.idealcoef(c, at) = scale * fresh.idealcoef(from, t);
        }
        fresh.idealvalue[c] += scale * fresh.idealvalue[from];
        fresh.idealconst[c] += scale * fresh.idealconst[from];
      }
      fresh.nideal = c;
    }
    m = fresh;
    ZQMATH1::SETUPRANDOM(true);
    ASSERT_EQ(fatal([] { ZQMODE0::CALCXYZ(1); }), "");
    for (smallint c = 1; c <= fresh.nideal; ++c) {
      extended got = fresh.idealconst[c];
      for (smallint t = 1; t <= fresh.nidealterm[c]; ++t)
        got += fresh.idealcoef(c, t) * cation(m.cid, fresh.idealname(c, t));
      EXPECT_NEAR(got, fresh.idealvalue[c], 1e-9L) << c;
    }
    EXPECT_NEAR(m.xyz[2], cation(m.cid, "Fe3") / (cation(m.cid, "Fe3") + cation(m.cid, "Al")), 1e-12L);
  }
}

TEST_F(Convert, IdealFitFailures) {
  mineraltype& m = olivine({{"SiO2", 40}, {"FeO", 10}, {"MgO", 50}});
  m.nideal = 0;
  constraint(1, {"Mg"}, 10);  // ten Mg on four oxygens cannot be reached
  {
    Terminal term;
    EXPECT_EQ(fatal([] { ZQMODE0::CALCXYZ(1); }), "ideal: ideal analysis calculation failed");
    const std::string want =
        "\nideal analysis iteration did not converge for ol\ninstead, here is the ordinary recalc result:\n";
    EXPECT_EQ(term.text().substr(0, want.size()), want);
  }
  testsupport::resetio();
  cvector w = m.wtwork, s{"s"}, c{"c"};
  for (smallint j = 1; j <= m.nox; ++j) s[j] = 0.01L;
  m.nxyz = 2;
  ZQMODE0::empvector xyz{"xyz"};
  EXPECT_EQ(ZQMODE0::IDEAL(1, w, s, c, xyz, true, false), -1);
  EXPECT_EQ(xyz[1], -1);
  EXPECT_EQ(xyz[2], -1);
  m.nox = 26;
  EXPECT_EQ(fatal([&] { ZQMODE0::IDEAL(1, w, s, c, xyz, true, false); }),
            "ideal: too many oxides for the ideal fit of ol");
  m.nox = 3;
  w[2] = 0;
  EXPECT_EQ(fatal([&] { ZQMODE0::IDEAL(1, w, s, c, xyz, true, false); }), "ideal: p <= 0");
}

TEST_F(Convert, DebugPrintersWriteEveryRow) {
  mineraltype& m = olivine({{"SiO2", 40}, {"FeO", 10}, {"MgO", 50}});
  m.nideal = 0;
  constraint(1, {"Si", "Fe2", "Mg"}, 3);
  ZQMATH1::SETUPRANDOM(true);
  ASSERT_EQ(fatal([] { ZQMODE0::CALCXYZ(1); }), "");
  cvector w = m.wtwork, p{"p"};
  for (smallint j = 1; j <= m.nox; ++j) p[j] = 0.25L;
  Terminal term;
  ZQMODE0::DEBUGRECALC(1, w, p, m.c0);
  const std::vector<std::string> recalc = testsupport::lines(term.text());
  ASSERT_EQ(recalc.size(), 5u);
  EXPECT_EQ(recalc[0], "              SiO2         FeO         MgO       Fe2O3");
  EXPECT_EQ(recalc[3].substr(0, 30), "G.p       15.02120    17.96160");
  ZQMODE0::DEBUGIDEAL(1, 7, p, p);
  const std::vector<std::string> all = testsupport::lines(term.text());
  // p0, one constraint row, four J rows, A, AVzAT, inv, last, delz, count, p, close.
  ASSERT_EQ(all.size(), 5u + 14);
  const char* labels[] = {" p0", "A0", "J", "J", "J", "J", "A", "AVzAT", "inv", "last", "delz", "7", " p"};
  for (std::size_t k = 0; k < 13; ++k) EXPECT_EQ(all[5 + k].rfind(labels[k], 0), 0u) << all[5 + k];
  EXPECT_EQ(all.back(), "-------------------------");
}

}  // namespace
