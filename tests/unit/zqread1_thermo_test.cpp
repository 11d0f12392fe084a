// Tests of the data-set reader: every generation's records, type codes,
// covariances and the oxide components of a choice.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "covblocks.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "input/zqread1.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace {

using testsupport::fatal;

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(SOLVARINTH_FIXTURES) + "/dataset/" + name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << "fixture lacks: " << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// Numbers go through the program's own decimal conversion, so allow for a
// last-digit difference from the compiler's reading of the same literal.
bool close(long double got, long double want) {
  if (got == want) return true;
  return std::fabs(got - want) <= 1e-17L * std::fabs(want);
}

class DataSetReader : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    ZQUTE1::SETUP();
  }
  void TearDown() override {
    IO::FILECLOSE(ZQREAD1::PDATA, true, "dsfile");
    ZQUTE1::CLEANUP();
    testsupport::freshstate();
  }

  void install(const std::string& dsfile, const std::string& text) {
    dir.write("jx-ds" + dsfile + ".txt", text);
    IO::CONTROLIO.dsfile = dsfile;
  }
  void installfixture(const std::string& dsfile) { install(dsfile, fixture("jx-ds" + dsfile + ".txt")); }

  void choose(const std::vector<const char*>& names) {
    NCV = 0;
    for (const char* n : names) {
      NCV = static_cast<smallint>(NCV + 1);
      NAME[NCV] = n;
    }
  }
  void readall(const std::vector<const char*>& names) {
    try {
      ZQREAD1::READTHERMO(1);
      choose(names);
      ZQREAD1::READTHERMO(2);
      ZQREAD1::READTHERMO(3);
    } catch (const IO::runend& e) {
      FAIL() << "stopped in " << e.where << " : " << e.message;
    }
  }
  long position(const std::string& name) const {
    for (long p = 1; p <= NCV; ++p)
      if (NAME[p] == name) return p;
    ADD_FAILURE() << name << " not chosen";
    return 1;
  }

  // A block of m end-members c1 ... cm, all in one reaction, each entry
  // read as c(i, j) and rounded by h; their names.
  std::vector<std::string> block(int m, const std::function<long double(int, int)>& c, long double h) {
    std::vector<std::string> names;
    NCV = NTP = static_cast<smallint>(m);
    NR = 1;
    for (int i = 1; i <= m; ++i) {
      names.push_back("c" + std::to_string(i));
      NAME[i] = PHNAMES[i] = names.back();
      (*TD)(i, TDSLOT::MAKEEM) = 0;
      (*R)(1, i) = 1;
      for (int j = 1; j <= m; ++j) {
        (*COV)(i, j) = c(i, j);
        COVROUNDING(i, j) = static_cast<double>(h);
      }
    }
    return names;
  }

  testsupport::ScratchDir dir;
  testsupport::Terminal term;
};

// "where: message" of the fatal stop, "" when the run went on.
// A row as the reader should fill it: the positions not listed are 0.
struct rowcase { const char* name; std::map<int, long double> values; };

void expectrows(const std::vector<rowcase>& rows) {
  for (const rowcase& r : rows) {
    long p = 1;
    while (p <= NCV && NAME[p] != r.name) ++p;
    ASSERT_LE(p, NCV) << r.name << " not chosen";
    for (int k = 1; k <= maxtd; ++k) {
      const auto it = r.values.find(k);
      const long double want = it == r.values.end() ? 0.0L : it->second;
      EXPECT_TRUE(close((*TD)(p, k), want)) << r.name << " position " << k << ": " << (double)(*TD)(p, k)
                                           << " wanted " << (double)want;
    }
  }
}

// Defaults of the order-disorder positions of a row without such terms.
std::map<int, long double> plain(std::map<int, long double> v) {
  v.emplace(15, -1.0L);
  v.emplace(16, -1.0L);
  v.emplace(25, 1.0L);
  return v;
}

// Records standing in more than one generation of the fixtures.
const std::map<int, long double> mgoxrow = {
    {1, -601.5L}, {2, 0.0269L}, {3, 1.125L},  {4, 0.0605L}, {5, 0.000362L}, {6, -535.8L}, {7, -0.2992L},
    {8, 0.0000311L}, {9, 1616.0L}, {10, 3.95L}, {11, -3.95L / 1616.0L}, {12, 535}, {15, -1}, {16, -1},
    {20, 1.0L}, {21, 0.1L}, {22, 2.0L}, {24, 1.0L}, {25, 0.5L}, {31, 2}};
const std::map<int, long double> aqrow =
    plain({{1, -230.0L}, {2, -0.0108L}, {3, -0.0019L}, {5, 0.0001L}, {12, 3745}, {17, 0.00029L - 298.15L * 0.0001L},
           {31, 8}});

std::map<int, long double> with(std::map<int, long double> v, std::map<int, long double> changes) {
  for (const auto& [k, x] : changes) v[k] = x;
  return v;
}

TEST_F(DataSetReader, Generation7EveryRecordKind) {
  installfixture("7qz1");
  readall({"qtzx", "grox", "spnx", "wqL", "hqaq", "mtx", "mgox", "kyx"});
  EXPECT_EQ(DSMODE, 7);
  EXPECT_EQ(NTP, 8);
  EXPECT_TRUE(USESP);
  EXPECT_EQ(PDATAFILENAME, "jx-ds7qz1.txt");
  EXPECT_EQ(LONGPHNAMES[2], "grossularx");
  EXPECT_EQ(WHEN1, "made-up data set qz1, 6 dec 2026");
  EXPECT_NE(term.text().find("\nmade-up data set qz1, 6 dec 2026\n\n"), std::string::npos);
  EXPECT_EQ(ZQREAD1::PDATA.f, nullptr);

  const std::vector<rowcase> rows = {
      {"qtzx", plain({{1, -910.70L}, {2, 0.04150L}, {3, 2.2690L}, {4, 0.09290L}, {5, -0.000642L}, {6, -714.90L},
                      {7, -0.7161L}, {8, 0.0000065L}, {9, 750.0L}, {10, 4.10L}, {11, -4.10L / 750.0L},
                      {12, 525}})},
      // Einstein temperature from the record, k0'' from the record
      {"grox", {{1, -6643.0L}, {2, 0.2550L}, {3, 12.535L}, {4, 0.6260L}, {8, 0.0000220L}, {9, 1720.0L},
                {10, 5.53L}, {11, -0.00322L}, {12, 377.0L}, {14, 1100.0L}, {15, 0.0100L}, {16, 0.0500L},
                {25, 1}, {31, 4}}},
      {"spnx", {{1, -2301.2L}, {2, 0.0820L}, {3, 3.978L}, {4, 0.2229L}, {5, 0.0061L}, {8, 0.0000193L},
                {9, 1922.0L}, {10, 4.04L}, {11, -0.00210L}, {12, 560.0L}, {15, -1}, {16, -1}, {20, 8.0L},
                {22, 1.2L}, {24, 2.0L}, {25, 1.0L}, {31, 5}}},
      {"wqL", plain({{1, -285.83L}, {2, 0.0700L}, {3, 1.8070L}, {4, 0.0758L}, {8, 0.0002L}, {9, 20.0L},
                     {10, 4.0L}, {11, -4.0L / 20.0L}, {13, -0.0055L}})},
      {"hqaq", aqrow},
      {"mtx", {{1, -1114.5L}, {2, 0.1460L}, {3, 4.452L}, {4, 0.2625L}, {5, -0.0072L}, {6, -1926.2L},
               {7, -1.6557L}, {8, 0.0000371L}, {9, 1857.0L}, {10, 4.05L}, {11, -4.05L / 1857.0L}, {12, 390},
               {14, 848.0L}, {15, 0.035L}, {25, 1}, {31, 1}}},
      {"mgox", mgoxrow},
      {"kyx", plain({{1, -2593.0L}, {2, 0.0830L}, {3, 4.414L}, {4, 0.2794L}, {5, -0.0071L}, {8, 0.0000192L},
                     {9, 1601.0L}, {10, 4.05L}, {11, -0.00253L}, {12, 480.0L}, {31, 3}})},
  };
  expectrows(rows);

  const long g = position("grox");
  EXPECT_EQ(NSITE[g], 3);
  EXPECT_EQ(NOX[g], 4);
  EXPECT_EQ(OXCODE(g, 4), 10);
  EXPECT_EQ(OXNO(g, 4), 12.0L);
  EXPECT_EQ(NOOX[g], 20.0L);
}

TEST_F(DataSetReader, Generation6ReadsEinsteinTypesAsOrdinary) {
  installfixture("6qz1");
  readall({"andx"});
  EXPECT_EQ(DSMODE, 6);
  EXPECT_EQ(NTP, 4);
  EXPECT_EQ(WHEN1, "made-up data set qz6");
  // type 4 in generation 6: ten ordinary numbers, k0'' computed, Landau terms
  expectrows({{"andx", {{1, -5769.1L}, {2, 0.3160L}, {3, 13.204L}, {4, 0.6387L}, {6, -4955.1L}, {7, -3.9892L},
                        {8, 0.0000286L}, {9, 1588.0L}, {10, 5.68L}, {11, -5.68L / 1588.0L}, {12, 478}, {14, 2.5L},
                        {25, 1}, {31, 4}}}});
}

TEST_F(DataSetReader, Generation5TypeCodesAndEinsteinRule) {
  installfixture("5qz1");
  readall({"fqL", "mgox", "hqaq", "nvx", "lowx", "f51x"});
  EXPECT_EQ(NTP, 51);
  EXPECT_FALSE(USESP);
  EXPECT_EQ(LONGPHNAMES[1], "");
  EXPECT_EQ(PHNAMES[51], "f51x");
  EXPECT_EQ(WHEN1, "made-up data set qz5 from the test shop");
  const std::vector<rowcase> rows = {
      {"fqL", plain({{1, -920.0L}, {2, 0.0500L}, {3, 2.7L}, {4, 0.08L}, {8, 0.000015L}, {9, 150.0L}, {10, 6.0L},
                     {11, -0.04L}, {13, -0.08L}, {31, 7}})},
      // generation 5 reads k0'' as it stands
      {"mgox", with(mgoxrow, {{11, -0.0024L}})},
      {"hqaq", aqrow},
      // no volume; S = 0 over four atoms gives round(10636/6.44)
      {"nvx", plain({{1, -100.0L}, {12, 1652}, {31, 6}})},
      // a computed Einstein temperature of 7 is raised to 10
      {"lowx", plain({{1, -1.0L}, {2, 1.513L}, {3, 1.0L}, {9, 10.0L}, {10, 4.0L}, {12, 10}})},
      {"f51x", plain({{1, -600.0L}, {2, 0.027L}, {3, 1.1L}, {4, 0.06L}, {8, 0.00003L}, {9, 1600.0L}, {10, 4.0L},
                      {11, -0.0025L}, {12, 533}})},
  };
  expectrows(rows);
}

TEST_F(DataSetReader, OlderGenerationRowsAndOxideCounts) {
  installfixture("5qzold");
  ZQREAD1::READTHERMO(1);
  EXPECT_EQ(DSMODE, -1);
  EXPECT_TRUE(WITHOLDSET);
  EXPECT_EQ(NTP, 190);
  EXPECT_EQ(PHNAMES[190], "o190");
  const std::string creation = "older made-up set, by hand (fit of 1 dec 2026: 1.23)";
  EXPECT_EQ(WHEN1, creation.substr(0, creation.size() - 25));
  CONTROLJX.witholdset = true;
  choose({"oqtz", "olqL", "oland", "oaq", "o190"});
  ZQREAD1::READTHERMO(2);
  ZQREAD1::READTHERMO(3);
  const std::vector<rowcase> rows = {
      {"oqtz", plain({{1, -910.7L}, {2, 0.0415L}, {3, 2.269L}, {4, 0.0979L}, {5, -0.0000335L}, {6, -636.2L},
                      {7, -0.7740L}, {8, 0.0000065L}, {9, 0.0000001L}, {11, 750.0L}, {12, 1050.0L}, {13, 0.5L}})},
      // a liquid of the older generation reads no further number
      {"olqL", plain({{1, -920.0L}, {2, 0.050L}, {3, 2.70L}, {4, 0.08L}, {8, 0.000015L}, {11, 150.0L},
                      {13, -0.08L}, {31, 7}})},
      {"oland", {{1, -1114.5L}, {2, 0.146L}, {3, 4.452L}, {4, 0.2625L}, {5, -0.0072L}, {6, -1926.2L},
                 {7, -1.6557L}, {8, 0.0000371L}, {11, 1857.0L}, {12, 390.0L}, {14, 848.0L}, {15, 0.035L},
                 {25, 1}, {31, 1}}},
      {"oaq", with(aqrow, {{12, 0}})},
      {"o190", plain({{1, -600.0L}, {2, 0.027L}, {3, 1.1L}, {4, 0.06L}, {8, 0.00003L}, {11, 1600.0L},
                      {12, 500.0L}})},
  };
  expectrows(rows);
  for (long c = 1; c <= NUV; ++c) EXPECT_EQ(ICOMP[c], 1) << COMPNAME[c];
}

TEST_F(DataSetReader, CovariancesInSinglePrecisionAtEveryPosition) {
  installfixture("7qz1");
  ZQREAD1::READTHERMO(1);
  COV->fill(42.0L);
  choose({"mgox", "qtzx", "mgox"});
  ZQREAD1::READTHERMO(2);
  ZQREAD1::READTHERMO(3);
  auto single = [](float x) { return static_cast<long double>(x); };
  EXPECT_EQ((*COV)(2, 2), single(0.1f));
  for (long p : {1L, 3L}) {
    EXPECT_EQ((*COV)(p, 2), single(1.7f));
    EXPECT_EQ((*COV)(2, p), single(1.7f));
    for (long q : {1L, 3L}) EXPECT_EQ((*COV)(p, q), single(7.7f));
  }
  // pairs of records the calculation does not use keep what they held
  EXPECT_TRUE((*COV)(1, 4) == 42.0L && (*COV)(4, 4) == 42.0L);
  // the same record twice: the same row and formula at both positions
  for (int k = 1; k <= maxtd; ++k) EXPECT_EQ((*TD)(1, k), (*TD)(3, k));
  EXPECT_EQ(NOX[3], NOX[1]);
  EXPECT_EQ(NOOX[3], 2.0L);
}

TEST_F(DataSetReader, OxideComponentsOfAGeneration7Choice) {
  struct compcase { std::vector<const char*> names; std::vector<std::string> comps; std::vector<int> icomp; };
  const compcase cases[] = {
      // magnetite-like mtx leaves one surplus oxygen: "O" for all
      {{"grox", "mtx", "wqL", "kyx", "mgox", "qtzx"},
       {"H2O", "SiO2", "Al2O3", "CaO", "MgO", "FeO", "O"},
       {3, 3, 5, 2, 2, 2, 1}},
      {{"grox", "wqL", "kyx", "spnx"}, {"H2O", "SiO2", "Al2O3", "CaO", "MgO"}, {3, 3, 5, 2, 2}},
  };
  for (const compcase& c : cases) {
    installfixture("7qz1");
    ZQREAD1::READTHERMO(1);
    choose(c.names);
    ZQREAD1::READTHERMO(2);
    ASSERT_EQ(NUV, static_cast<smallint>(c.comps.size()));
    EXPECT_TRUE(NU == NUV && NNE == NCV && NE == 0);
    for (long k = 1; k <= NUV; ++k) {
      EXPECT_EQ(COMPNAME[k], c.comps[k - 1]);
      EXPECT_EQ(ICOMP[k], c.icomp[k - 1]) << COMPNAME[k];
      EXPECT_EQ(COMPDIV[k], 1);
    }
    ZQREAD1::READTHERMO(3);
  }
  // the last choice: grossular-like grox is 3 CaO, 1 Al2O3, 3 SiO2
  EXPECT_EQ(std::vector<int>({(*C)(2, 1), (*C)(3, 1), (*C)(4, 1), (*C)(1, 2)}), std::vector<int>({3, 1, 3, 1}));
}

// MAKEOXIDES on formulas set directly, as calc mode 9 hands them over.
class OxideComponents : public DataSetReader {
 protected:
  void formula(long j, const char* name, const std::vector<std::pair<int, long double>>& pairs) {
    NAME[j] = name;
    NOX[j] = 0;
    for (const auto& [code, amount] : pairs) {
      NOX[j] = static_cast<smallint>(NOX[j] + 1);
      OXCODE(j, NOX[j]) = static_cast<smallint>(code);
      OXNO(j, NOX[j]) = amount;
    }
    if (j > NCV) NCV = static_cast<smallint>(j);
  }
};

TEST_F(OxideComponents, FractionsSurplusOxygenAndElements) {
  struct Case {
    const char* what;
    std::vector<std::vector<std::pair<int, long double>>> formulas;
    std::vector<std::string> comps;
    std::vector<int> div, icomp;
    std::vector<std::array<int, 3>> amounts;  // component, end-member, amount
  };
  const Case cases[] = {
      {"Al 1 O 1.5 is half an Al2O3", {{{3, 1}, {10, 1.5L}}, {{1, 1}, {10, 2}}}, {"SiO2", "Al2O3"}, {1, 2}, {3, 5},
       {{2, 1, 1}, {2, 2, 0}}},
      {"0.5 surplus oxygen in one end-member gives O to all", {{{5, 1}, {10, 1.5L}}, {{5, 1}, {10, 1}}},
       {"MgO", "O"}, {1, 2}, {2, 1}, {{2, 1, 1}, {2, 2, 0}}},
      {"a surplus within 0.001 is noise", {{{5, 1}, {10, 1.0005L}}}, {"MgO"}, {1}, {2}, {}},
      {"no oxygen anywhere: the elements, in the oxide order", {{{5, 1}, {1, 0.5L}}, {{11, 2}}}, {"H", "Si", "Mg"},
       {1, 2, 1}, {3, 3, 2}, {{2, 1, 1}, {1, 2, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NCV = 0;
    for (std::size_t j = 0; j < c.formulas.size(); ++j) formula(static_cast<long>(j + 1), "e", c.formulas[j]);
    ZQREAD1::MAKEOXIDES();
    std::vector<std::string> comps;
    std::vector<int> div, icomp;
    for (long k = 1; k <= NUV; ++k) {
      comps.push_back(COMPNAME[k]);
      div.push_back(COMPDIV[k]);
      icomp.push_back(ICOMP[k]);
    }
    EXPECT_EQ(comps, c.comps);
    EXPECT_EQ(div, c.div);
    EXPECT_EQ(icomp, c.icomp);
    for (const auto& [k, j, n] : c.amounts) EXPECT_EQ((*C)(k, j), n) << k << " in " << j;
  }
}

TEST_F(OxideComponents, FormulasItCannotUse) {
  formula(1, "ox", {{5, 1.0L}, {10, 1.0L}});
  formula(2, "full", {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}});
  EXPECT_EQ(fatal(ZQREAD1::MAKEOXIDES), "makeoxides: no room for oxygen in the formula of full: more than 8 elements");
  testsupport::freshstate();
  ZQUTE1::SETUP();
  METALS[5] = 0;
  NCV = 0;
  formula(1, "ox", {{5, 1.0L}, {10, 1.0L}});
  EXPECT_EQ(fatal(ZQREAD1::MAKEOXIDES), "makeoxides: the oxide of Mg in ox has no cation");
}

// Broken copies of the fixtures, one per fatal stop.
struct brokencase {
  const char* fixture;  // dsfile suffix of the fixture copied
  const char* from;     // text replaced in the copy ("" for none)
  const char* to;
  int pass;             // the pass that stops
  const char* where;
  const char* message;
  // A vector, not an initializer_list: the list's array would not outlive
  // the initialisation of the case.
  std::vector<const char*> names = {"qtzx"};
};

void PrintTo(const brokencase& c, std::ostream* os) { *os << c.where << " : " << c.message; }

class BrokenDataSet : public DataSetReader, public ::testing::WithParamInterface<brokencase> {};

const char* const line1of7 = "7 8 don't alter this line or the layout of the records below, made up for testing";

const brokencase brokencases[] = {
    {"7qz1", line1of7, "7 8 don't a b c d e f", 1, "setuptextread", "first line of dsfile incorrectly formed 0"},
    {"7qz1", "7 8 don't", "x7 8 don't", 1, "setuptextread", "first line of dsfile incorrectly formed 1"},
    {"7qz1", "7 8 don't", "7 eight don't", 1, "setuptextread", "first line of dsfile incorrectly formed 4"},
    {"7qz1", "7 8 don't", "7 8 dont", 1, "setuptextread", "first line of dsfile incorrectly formed 2b"},
    {"5qz1", "51 don't", "51 do not", 1, "setuptextread", "first line of dsfile incorrectly formed 2a"},
    {"7qz1", "7 8 don't", "5 8 don't", 1, "setuptextread", "dsmode <> 6 or 7??"},
    {"7qz1", "7 8 don't", "40000 8 don't", 1, "getinteger", "expecting an integer (2); got: 40000 - ntp?"},
    {"7qz1", "7 8 don't", "7 321 don't", 1, "setuptextread", "too many end-members"},
    {"7qz1", "7 8 don't", "7 0 don't", 1, "setuptextread", "no end-members in dsfile"},
    {"7qz1", "testing\n\n", "testing\nx\n", 1, "readthermo", "expecting a blank line"},
    {"7qz1", "testing\n\n", "testing\n\n\n", 1, "readthermo", "not expecting blank line"},
    {"5qzold", "1050.0 0.5 0\n", "1050.0\n", 1, "readthermo", "insufficient info on 2nd line"},
    {"7qz1", "7.8 8.8", "7.8", 1, "setuptextread", "expecting a number; got: made-up - covariances of kyx"},
    {"7qz1", "5.5 5.6", "<cut>", 1, "setuptextread", "unexpected end of dsfile - covariances of hqaq"},
    {"7qz1", "made-up data set qz1, 6 dec 2026 (sigfit =  1.234)\n", "", 1, "setuptextread",
     "unexpected end of dsfile - creation line"},
    {"7qz1", "made-up data set qz1, 6 dec 2026 (sigfit =  1.234)", "(sigfit = 1.234)", 1, "setuptextread",
     "creation line of dsfile shorter than 18 characters"},
    {"5qzold", "older made-up set, by hand (fit of 1 dec 2026: 1.23)", "short (sigfit = 1.2)", 1,
     "setuptextread", "creation line of dsfile shorter than 25 characters"},
    // compositions
    {"7qz1", "quartzx  1  1 1.0", "quartzx  1  -1 1.0", 2, "textcompread", "element code -1 not in 1..26 in qtzx"},
    {"7qz1", "quartzx  1  1 1.0  10 2.0  0",
     "quartzx  1  1 0.1 1 0.1 1 0.1 1 0.1 1 0.1 1 0.1 1 0.1 1 0.1 1 0.2 10 2 0", 2, "textcompread",
     "more than 8 elements in the formula of qtzx"},
    {"7qz1", "quartzx  1  1 1.0", "quartzx  1  x 1.0", 2, "getinteger", "expecting an integer (1); got: x - ell 1"},
    {"7qz1", "quartzx  1  1 1.0", "quartzx  1  1 y", 2, "reading", "expecting a single (1); got: y - oxno"},
    {"7qz1", "quartzx  1  1 1.0", "quartzx  one  1 1.0", 2, "getinteger",
     "expecting an integer (1); got: one - nsite"},
    {"7qz1", "", "", 2, "makep", "stuff up : unrecognised name : nope", {"qtzx", "nope"}},
    {"7qz1", "", "", 2, "makep", "mgox stands more than 4 times in the end-member list",
     {"mgox", "qtzx", "mgox", "mgox", "mgox", "mgox"}},
    {"7qz1", "10 2.0  0", "10 1.0 10 1.0 0", 2, "makeoxides", "more than one oxygen in the formula of qtzx"},
    {"7qz1", "quartzx  1  1 1.0  10 2.0  0", "quartzx  1  0", 2, "makeoxides", "no formula for qtzx"},
    {"7qz1", "", "", 2, "makeoxides", "no end-members to make components from", {}},
    // thermodynamic values
    {"7qz1", "-0.00322", "-0.00330", 3, "texthermoread", "k0pp not regularised?", {"grox"}},
    {"7qz1", "0.0000192 1601.0", "0.0000192 0.0", 3, "texthermoread", "k0 of kyx is zero", {"kyx"}},
    {"7qz1", "-910.70 0.04150", "-910.70 -0.01932", 3, "texthermoread",
     "zero divisor in the Einstein temperature of qtzx"},
    {"7qz1", "-910.70 0.04150", "-910.7O 0.04150", 3, "texthermoread",
     "expecting a number; got: -910.7O - data of qtzx"},
    {"7qz1", "0\n-910.70", "0.5\n-910.70", 3, "texthermoread", "expecting an integer; got: 0.5 - data of qtzx"},
    {"7qz1", "0.0000065 750.0 4.10\n", "0.0000065 750.0\n", 3, "texthermoread",
     "expecting a number; got: grox - data of qtzx", {"qtzx"}},
    {"5qzold", "0  -910.7 0.0415", "0  h 0.0415", 3, "reading", "expecting a single (1); got: h - H", {"oqtz"}},
};

TEST_P(BrokenDataSet, StopsWithItsMessage) {
  const brokencase& c = GetParam();
  std::string text = fixture(std::string("jx-ds") + c.fixture + ".txt");
  if (std::string(c.to) == "<cut>")
    text = text.substr(0, text.find(c.from));
  else if (*c.from != '\0')
    text = replaced(text, c.from, c.to);
  install(c.fixture, text);
  EXPECT_EQ(fatal([&] {
    ZQREAD1::READTHERMO(1);
    if (c.pass == 1) return;
    choose(c.names);
    ZQREAD1::READTHERMO(2);
    if (c.pass == 2) return;
    ZQREAD1::READTHERMO(3);
  }), std::string(c.where) + ": " + c.message);
}

INSTANTIATE_TEST_SUITE_P(EachFatalStop, BrokenDataSet, ::testing::ValuesIn(brokencases));

TEST_F(DataSetReader, FileNameAndCalcModeStops) {
  // a dsfile that does not start with 5, 6 or 7, although the file exists
  install("8qz1", fixture("jx-ds7qz1.txt"));
  EXPECT_EQ(fatal([] { ZQREAD1::READTHERMO(1); }), "setuptextread: bad dsfile name");
  testsupport::freshstate();
  installfixture("5qzold");
  CALCMODE = calcmodetype::lsqdscalc;
  EXPECT_EQ(fatal([] { ZQREAD1::READTHERMO(1); }), "thermo read: old lsqds not implemented");
}

TEST_F(DataSetReader, NameItemsOfTheThirdPass) {
  // the third pass reads the name line again, with its own item word; here
  // the list changes between the passes, so that the second does not see it
  install("7qz1", replaced(fixture("jx-ds7qz1.txt"), "quartzx  1  1 1.0", "quartzx  1  x 1.0"));
  ZQREAD1::READTHERMO(1);
  choose({"mgox"});
  ZQREAD1::READTHERMO(2);
  choose({"qtzx"});
  EXPECT_EQ(fatal([] { ZQREAD1::READTHERMO(3); }), "getinteger: expecting an integer (1); got: x - ell 2");
}

TEST_F(DataSetReader, NumbersSpreadOverLinesAndSignedExponents) {
  // the numbers of a record may stand on its lines in any way, with "+" signs
  install("7qz1", replaced(fixture("jx-ds7qz1.txt"),
                           "0\n-910.70 0.04150 2.2690 0.09290 -0.000642 -714.90 -0.7161\n0.0000065 750.0 4.10\n",
                           "0 -910.70 0.04150\n2.2690\t0.09290 -0.000642 -714.90\n-0.7161 +6.5e-06 7.5E+02 4.10\n"));
  readall({"qtzx", "mgox"});
  const long p = position("qtzx");
  EXPECT_TRUE(close((*TD)(p, 8), 0.0000065L));
  EXPECT_TRUE(close((*TD)(p, 9), 750.0L));
  EXPECT_TRUE(close((*TD)(position("mgox"), 1), -601.5L));
}

// How far each covariance read may lie from what was written: half a unit
// in its last place, plus what single precision changed; a bare integer
// (calc mode 9's " 0" for what its 4 decimals miss) takes the finest place
// of the file; a made end-member takes its recipe's, weighted by the size
// of each coefficient.
TEST_F(DataSetReader, CovarianceRoundingOfEachEntryAsWritten) {
  const struct {
    const char* number;
    bool placed;
    int place;
  } places[] = {{"0.0069", true, -4}, {"6.9e-3", true, -4}, {"-0.25661", true, -5}, {"12", false, 0},
                {"12.50", true, -2},  {"1e-5", true, -5},   {"1E2", true, 2},       {"-7", false, 0},
                {"0.0e-9223372036854775808", true, -5000}, {"1.5e99999999999999999999", true, 5000},
                {"-2.50e-4950", true, -4952}};
  for (const auto& c : places) {
    int place = 99;
    EXPECT_EQ(IO::LASTPLACE(c.number, place), c.placed) << c.number;
    if (c.placed) {
      EXPECT_EQ(place, c.place) << c.number;
    }
  }
  // qtzx is record 1, mgox record 7: (1,1) 0.0069, (1,7) 1.5e-3, (7,7) 0.
  std::string ds = replaced(fixture("jx-ds7qz1.txt"), "0.1 1.2 1.3 1.4 1.5 1.6 1.7 1.8",
                            "0.0069 1.2 1.3 1.4 1.5 1.6 1.5e-3 1.8");
  install("7qz1", replaced(ds, "7.7 7.8 8.8", "0 7.8 8.8"));
  readall({"qtzx", "mgox"});
  const auto single = [](long double x) { return std::fabs(static_cast<long double>(static_cast<float>(x)) - x); };
  const long double qq = 0.00005L + single(0.0069L), qm = 0.00005L + single(0.0015L), mm = 0.00005L;
  EXPECT_NEAR((double)ZQREAD1::COVARIANCEROUNDING(1, 1), (double)qq, 1e-15);
  EXPECT_NEAR((double)ZQREAD1::COVARIANCEROUNDING(1, 2), (double)qm, 1e-15);
  EXPECT_NEAR((double)ZQREAD1::COVARIANCEROUNDING(2, 1), (double)qm, 1e-15);
  EXPECT_NEAR((double)ZQREAD1::COVARIANCEROUNDING(2, 2), (double)mm, 1e-15);
  // Place 3 made of qtzx and mgox, (1 qtzx - 3 mgox)/2; place 4 a row the
  // calculation made, in no file.
  NCV = 4;
  NAME[3] = "made";
  NAME[4] = "pseudo";
  ptype0& made = (*PREC0)[1];
  made.nmake = 2;
  made.makediv = 2;
  made.makename[1] = "qtzx";
  made.makename[2] = "mgox";
  made.makecoef[1] = 1;
  made.makecoef[2] = -3;
  (*TD)(3, TDSLOT::MAKEPHASE) = 0;
  (*TD)(3, TDSLOT::MAKEEM) = 1;
  EXPECT_NEAR((double)ZQREAD1::COVARIANCEROUNDING(3, 3), (double)(0.25L * qq + 2 * 0.75L * qm + 2.25L * mm), 1e-15);
  EXPECT_NEAR((double)ZQREAD1::COVARIANCEROUNDING(3, 2), (double)(0.5L * qm + 1.5L * mm), 1e-15);
  EXPECT_EQ(ZQREAD1::COVARIANCEROUNDING(4, 1), 0.0L);
  EXPECT_EQ(ZQREAD1::COVARIANCEROUNDING(4, 4), 0.0L);
  made.nmake = 0;
}

// Random blocks (covblocks.h) judged with their rounding: a definite block
// is used as read; one rounded from a singular covariance matrix is used,
// as a covariance matrix no further from it than the rounding can reach,
// so that no combination of its end-members has a variance below 0; one
// beyond any covariance matrix stops the run naming its bad members, also
// where no eigenvector of the block shows them. What was read stays as read.
TEST_F(DataSetReader, RandomBlocksUsedOrRefusedByTheirRounding) {
  std::mt19937 rng(92);
  int indefinite = 0;
  int indefiniteinside = 0;
  for (int trial = 0; trial < 300; ++trial) {
    // After the first four kinds' 200, the triples and the blocks inside alternate.
    const auto k = static_cast<covblocks::kind>(trial < 200 ? trial % 4 : 4 + trial % 2);
    const int m = k == covblocks::kind::hidden   ? 3 + static_cast<int>(rng() % 6)
                  : k == covblocks::kind::triple ? 4 + static_cast<int>(rng() % 5)
                  : k == covblocks::kind::inside ? 3 + static_cast<int>(rng() % 6)
                                                 : 1 + static_cast<int>(rng() % 7) + (k == covblocks::kind::beyond ? 1 : 0);
    const covblocks::block b = covblocks::draw(rng, k, m, 1 + trial / 3 % 3);
    // Each entry as the decimal written, to the 80-bit real's last place, so
    // that a block on the edge of its rounding is judged on that edge.
    const auto c = [&b](int i, int j) -> long double {
      return static_cast<long double>(b.units(i - 1, j - 1)) / std::pow(10.0L, b.places);
    };
    const long double h = 0.5L * std::pow(10.0L, -b.places);
    const std::vector<std::string> names = block(m, c, h);
    // Own test of definiteness of a + shift I: every Cholesky pivot above 0.
    const auto definiteby = [m](const auto& a, long double shift) {
      std::vector<long double> L(std::size_t(m * m), 0);
      const auto l = [&L, m](int i, int j) -> long double& { return L[std::size_t((i - 1) * m + j - 1)]; };
      for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= i; ++j) {
          long double s = a(i, j) + (i == j ? shift : 0);
          for (int q = 1; q < j; ++q) s -= l(i, q) * l(j, q);
          if (i == j && !(s > 0)) return false;
          l(i, j) = i == j ? std::sqrt(s) : s / l(j, j);
        }
      return true;
    };
    const bool definite = definiteby(c, 0);
    const std::string stop = fatal([] { ZQREAD1::CHECKCOVARIANCE("judge"); });
    for (int i = 1; i <= m; ++i)
      for (int j = 1; j <= m; ++j) ASSERT_EQ((*COV)(i, j), c(i, j)) << trial;
    // Exact, in units of the last decimal g: 2 g h is 1.
    const auto K = [&b](int i, int j) { return b.units(i - 1, j - 1); };
    if (k == covblocks::kind::triple) {
      // Its direction v proves the triple beyond: 2 v'Kv + (sum |v|)^2 < 0.
      long long form = 0, reach = 0;
      for (int i = 1; i <= m; ++i) {
        reach += std::llabs(b.cert[std::size_t(i - 1)]);
        for (int j = 1; j <= m; ++j) form += 2 * b.cert[std::size_t(i - 1)] * K(i, j) * b.cert[std::size_t(j - 1)];
      }
      EXPECT_LT(form + reach * reach, 0) << trial;
      // No member alone nor pair is: 2 Kii + 1 >= 0 and (2|Kij| - 1)^2 <= (2 Kii + 1)(2 Kjj + 1).
      for (int i = 1; i <= m; ++i) {
        EXPECT_GE(2 * K(i, i) + 1, 0) << trial;
        for (int j = i + 1; j <= m; ++j) {
          const long long g = std::max(0LL, 2 * std::llabs(K(i, j)) - 1);
          EXPECT_LE(g * g, (2 * K(i, i) + 1) * (2 * K(j, j) + 1)) << trial << " " << i << " " << j;
        }
      }
      EXPECT_TRUE(covblocks::eigenvectorsmiss(b)) << trial;
    }
    if (k == covblocks::kind::beyond || k == covblocks::kind::hidden || k == covblocks::kind::triple) {
      EXPECT_EQ(stop, "judge: " + b.stop(names)) << trial;
      continue;
    }
    ASSERT_EQ(stop, "") << trial << "\n" << b.triangle();
    if (k == covblocks::kind::inside) {
      // A covariance matrix n / d lies within the rounding: |2 K d - 2 n g| <= d.
      const long long g = std::llround(std::pow(10.0L, b.places));
      for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j)
          ASSERT_LE(std::llabs(2 * K(i, j) * b.denom - 2 * b.witness[std::size_t(i - 1)][std::size_t(j - 1)] * g), b.denom);
      EXPECT_TRUE(definiteby(
          [&b](int i, int j) { return static_cast<long double>(b.witness[std::size_t(i - 1)][std::size_t(j - 1)]) / b.denom; },
          1e-12L))
          << trial;
      indefiniteinside += definiteby(c, 1e-9L * h) ? 0 : 1;
    }
    indefinite += definite ? 0 : 1;
    long double moved = 0;
    for (int i = 1; i <= m; ++i)
      for (int j = 1; j <= m; ++j) moved = std::max(moved, std::fabs(COVINUSE(i, j) - c(i, j)));
    if (definite) {
      EXPECT_EQ(moved, 0.0L) << trial;
    }
    EXPECT_LE(moved, m * h) << trial;
    EXPECT_LE(moved, h * (1 + 1e-6L)) << trial << "\n" << b.triangle();
    // No combination of the block used has a variance below 0.
    EXPECT_TRUE(definiteby([](int i, int j) { return COVINUSE(i, j); }, 1e-14L)) << trial;
  }
  // The sweep met blocks that rounding left indefinite, and every block
  // made to be usable only inside its rounding is indefinite beyond a hair.
  EXPECT_GE(indefinite, 5) << indefinite;
  EXPECT_EQ(indefiniteinside, 50);
}

// The arithmetic's allowance: a least eigenvalue within 64 units in the last
// place of the largest entry per member is 0, so diag(a, 1) with a at
// -128 eps (eps of the 80-bit real, 2^-63), exact in eigenvalues and
// forms, is used as read; at twice that it is indefinite, and used as the
// nearest covariance matrix, diag(0, 1), which lies within a rounding of
// 1e-4; without any rounding it is refused.
TEST_F(DataSetReader, ABlockWithinTheArithmeticsAllowanceIsUsedAsRead) {
  const long double eps = std::ldexp(1.0L, -63);
  for (const long double a : {-128 * eps, -256 * eps})
    for (const long double h : {1e-4L, 0.0L}) {
      block(2, [a](int i, int j) { return i != j ? 0.0L : i == 1 ? a : 1.0L; }, h);
      const std::string stop = fatal([] { ZQREAD1::CHECKCOVARIANCE("judge"); });
      if (a < -128 * eps && h == 0) {
        EXPECT_EQ(stop, "judge: variance below 0 - covariances of c1");
        continue;
      }
      ASSERT_EQ(stop, "") << a << " " << h;
      EXPECT_EQ(COVINUSE(1, 1), a == -128 * eps ? a : 0.0L) << a << " " << h;
      EXPECT_EQ(COVINUSE(2, 2), 1.0L);
      EXPECT_EQ(COVINUSE(1, 2), 0.0L);
    }
}

// A pair beyond its rounding by a hair, 1e-9 of its covariance, tied to the
// rest so that no eigenvector shows it (the hidden blocks of covblocks.h
// with the pair's covariance moved in): the stop names the pair, found by
// its own closed form, wherever it stands in the block.
TEST_F(DataSetReader, APairBeyondItsRoundingByAHairIsRefused) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 30; ++trial) {
    covblocks::block b = covblocks::draw(rng, covblocks::kind::hidden, 3 + trial % 6);
    const auto x = std::size_t(b.bad[0]), p = std::size_t(b.bad[1]);
    const long double h = 0.5L * std::pow(10.0L, -b.places), cxp = b.c[x][p];
    const long double reach = std::sqrt((b.c[x][x] + h) * (b.c[p][p] + h)) + h;
    const auto c = [&](int i, int j) -> long double {
      const auto a = std::size_t(i - 1), d = std::size_t(j - 1);
      return (a == x && d == p) || (a == p && d == x) ? (cxp < 0 ? -1 : 1) * reach * (1 + 1e-9L) : b.c[a][d];
    };
    const std::vector<std::string> names = block(b.size(), c, h);
    EXPECT_EQ(fatal([] { ZQREAD1::CHECKCOVARIANCE("judge"); }), "judge: " + b.stop(names)) << trial << "\n" << b.triangle();
  }
}

}  // namespace

// The fixed-field name reader: a name ends at a blank or after 8 characters,
// and the next read starts where it stopped.
TEST(DatasetNames, FixedFieldNamesStopAtABlankOrEightCharacters) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  const std::string text = "   py  grossular\n\n  q\nx";
  std::fputs(text.c_str(), file);
  std::rewind(file);
  IO::textfile f;
  f.f = file;
  const std::vector<std::string> expected = {"py      ", "grossula", "r       ", "q       ", "x       ", "        "};
  for (const std::string& want : expected) {
    sstring name = "old";
    ZQREAD1::READNAME(f, name);
    EXPECT_EQ(name, want);
  }
  std::fclose(file);
}
