// The bulk composition of a pseudosection on the MgO-FeO loop system, from
// "bulk" and from "rbi", a range between two bulks and the choices within
// it; the log-ratio denominator; the projection plane with its copy-back
// block.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "equilibria/zqread3.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_projection.h"
#include "iotestsupport.h"
#include "settingsheads.h"
#include "worktest.h"

using namespace ZQGLOBAL;

namespace {

// What a call left: how it ended, the terminal, the log and the summary.
struct Seen {
  std::string end, out, log, sum;
};

class BulkSetup : public testsupport::WorkTest {
 protected:
  // Components in order, every one free, two atoms in each oxide.
  static void components(const std::vector<std::string>& names) {
    NUV = static_cast<smallint>(names.size());
    for (long j = 1; j <= NUV; ++j) {
      COMPNAME[j] = BULKC[j] = names[static_cast<std::size_t>(j - 1)];
      ICOMP[j] = 2;
      COMPDIV[j] = 1;
    }
    CONTROLJX.nbulkoxides = NUV;
    NMU = NLNA = 0;
    EXBUFF = false;
  }
  // A "bulk" of one or two compositions over MgO and FeO.
  static void bulk(std::vector<extended> c1, std::vector<extended> c2 = {}) {
    components({"MgO", "FeO"});
    CONTROLJX.bulk = yes;
    NCOMP = c2.empty() ? 1 : 2;
    for (long j = 1; j <= 2; ++j) {
      COMP1[j] = c1[static_cast<std::size_t>(j - 1)];
      if (!c2.empty()) COMP2[j] = c2[static_cast<std::size_t>(j - 1)];
    }
  }
  // The loop's two solution phases, and pure phases after them.
  static void phases(const std::vector<std::string>& pures = {}) {
    NPSS = 2;
    NP0 = static_cast<smallint>(pures.size());
    NP = static_cast<smallint>(NPSS + NP0);
    (*PREC1)[1] = ptype1{};
    (*PREC1)[1].name = "alp";
    (*PREC1)[2] = ptype1{};
    (*PREC1)[2].name = "bet";
    for (long i = 1; i <= NP0; ++i) {
      (*PREC0)[i] = ptype0{};
      (*PREC0)[i].name = pures[static_cast<std::size_t>(i - 1)];
    }
  }
  // Runs call with the answers typed, the log and summary open afresh.
  Seen run(const std::string& answers, const std::function<void()>& call) {
    IO::WHATSOPEN = 1;
    testsupport::openchannel(CHANNEL::LOGBIT, "log.txt");
    testsupport::openchannel(CHANNEL::SUMMARYBIT, "sum.txt");
    Seen s;
    {
      testsupport::Terminal term;
      testsupport::Answers a(answers);
      s.end = testsupport::fatal(call);
      s.out = term.text();
    }
    IO::FLUSHER();
    s.log = dir.read("log.txt");
    s.sum = dir.read("sum.txt");
    return s;
  }
  testsupport::ScratchDir dir;
};

bool has(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

TEST_F(BulkSetup, OneBulkFromTheScript) {
  struct Case {
    std::vector<std::string> bulkc;
    std::vector<extended> c1;
    controlboolean bulkswitch;
    std::string end, shown;
  } cases[] = {
      {{"MgO", "FeO"}, {55, 45}, yes, "",
       "\n" + testsupport::SETTINGSOF + "bulk composition\ncomposition (from bulk script)\n        MgO      FeO\n     55.000   45.000\n"},
      {{"FeO", "MgO"}, {55, 45}, yes, "readcomps: mismatch of components (oxides) in bulk",
       "\ncomponents (oxides) in bulk should be:\n    MgO FeO\n"},
      {{"MgO"}, {55, 45}, yes, "readcomps: wrong number of components (oxides) in bulk", "should be:\n    MgO FeO\n"},
      {{"MgO", "FeO"}, {55, 45}, no, "readcomps: stopping now",
       "\ninteractive entry of bulk composition has been discontinued\n"
       "Add a bulk or rbi script to the scriptfile, and rerun solvarinth.\n"},
      {{"MgO", "FeO"}, {100, 0}, yes, "readcomps: zeroes not allowed in a bulk (1)", ""},
      {{"MgO", "FeO"}, {110, -10}, yes, "readcomps: negative entries not allowed in a bulk", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.end);
    bulk(c.c1);
    CONTROLJX.bulk = c.bulkswitch;
    CONTROLJX.nbulkoxides = static_cast<smallint>(c.bulkc.size());
    for (long j = 1; j <= CONTROLJX.nbulkoxides; ++j) BULKC[j] = c.bulkc[static_cast<std::size_t>(j - 1)];
    const Seen s = run("", ZQREAD3::READCOMPS);
    EXPECT_EQ(s.end, c.end);
    EXPECT_TRUE(has(s.out, c.shown)) << s.out;
    if (!c.end.empty()) continue;
    EXPECT_EQ(NCOMP, 1);
    EXPECT_NEAR(COMP2[1], 55, 1e-15L);
    EXPECT_TRUE(has(s.sum, "     55.000   45.000\n")) << s.sum;
  }

  // A µ variable on FeO takes it out of the bulk, and the rest is rescaled.
  components({"MgO", "FeO", "SiO2"});
  CONTROLJX.bulk = yes;
  NCOMP = 1;
  COMP1[1] = 50;
  COMP1[2] = 30;
  COMP1[3] = 20;
  NMU = 1;
  MUNAME[1] = "FeO";
  EXPECT_EQ(run("", ZQREAD3::READCOMPS).end, "");
  EXPECT_NEAR(COMP1[1], 71.428571428571428571L, 1e-15L);
  EXPECT_NEAR(COMP1[2], 28.571428571428571429L, 1e-15L);
}

TEST_F(BulkSetup, OneBulkOrSubrangeWithinARange) {
  struct Case {
    std::string label;
    controlboolean split, one;
    extended s1, s2, onep;
    std::string answers, end;
    smallint ncomp;
    extended mgo1, mgo2;  // MgO of the first and last bulk
    std::string shown, logged;
  } cases[] = {
      {"Return keeps the range", yes, no, -1, 1, -1, "\n\n", "", 11, 80, 60,
       "making a bulk composition subrange within the range specified,\n"
       "start and finish proportions across bulk composition range : "
       "how many increments across the composition range (max = 100) : using the default, 10 increments\n",
       "pos        1     2     3     4     5     6     7     8     9    10    11   (in this range)\n"
       "prop       0 0.100 0.200 0.300 0.400 0.500 0.600 0.700 0.800 0.900 1.000   (of overall range)\n"
       "   MgO 80.00 78.00 76.00 74.00 72.00 70.00 68.00 66.00 64.00 62.00 60.00\n"},
      {"one proportion", yes, no, -1, 1, -1, "0.3\n", "", 1, 74, 74,
       "bulk subrange is one bulk, 0.300, between the two script bulk compositions\ncomposition\n"
       "        MgO      FeO\n     74.000   26.000   (0.300 across original range)\n",
       ""},
      {"two proportions", yes, no, -1, 1, -1, "0.2 0.6\n4\n", "", 5, 76, 68,
       "bulk subrange, 0.200 to 0.600, between the two script bulk compositions\n",
       "pos        1     2     3     4     5   (in this range)\n"
       "prop   0.200 0.300 0.400 0.500 0.600   (of overall range)\n"
       "   MgO 76.00 74.00 72.00 70.00 68.00\n   FeO 24.00 26.00 28.00 30.00 32.00\n"},
      {"reversed", yes, no, -1, 1, -1, "0.6 0.2\n", "readcomps: entered bulk composition range is not 0<->1", 0, 0, 0,
       "", ""},
      {"script subrange past 1", yes, no, 0.2L, 1.5L, -1, "", "readcomps: entered bulk composition range is not 0<->1",
       0, 0, 0, "", ""},
      {"script subrange", yes, no, 0.2L, 0.6L, -1, "\n", "", 11, 76, 68,
       "bulk subrange, 0.200 to 0.600, between the two script bulk compositions (from script)\n", ""},
      {"onebulk from the script", no, yes, -1, 1, 0.3L, "", "", 1, 74, 74,
       "one bulk, at 0.300 between the two script bulk compositions (from script)\ncomposition\n", ""},
      {"onebulk typed", no, yes, -1, 1, -1, "1.7\n", "", 1, 60, 60,
       "making one bulk composition within the range specified,\n"
       "proportion across bulk composition range to use : one bulk, at 1.000 between",
       ""},
      {"onebulk declined", no, ask, -1, 1, 0.3L, "n\n\n", "", 11, 80, 60, "composition (from script)\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    bulk({80, 20}, {60, 40});
    CONTROLJX.splitbulk = c.split;
    CONTROLJX.subrangelow = c.s1;
    CONTROLJX.subrangehigh = c.s2;
    CONTROLJX.onebulk = c.one;
    CONTROLJX.onebulkvalue = c.onep;
    const Seen s = run(c.answers, ZQREAD3::READCOMPS);
    ASSERT_EQ(s.end, c.end) << s.out;
    EXPECT_TRUE(has(s.out, c.shown)) << s.out;
    EXPECT_TRUE(has(s.log, c.logged)) << s.log;
    if (!c.end.empty()) continue;
    EXPECT_EQ(NCOMP, c.ncomp);
    EXPECT_NEAR(COMP1[1], c.mgo1, 1e-15L);
    EXPECT_NEAR(COMP2[1], c.mgo2, 1e-15L);
    EXPECT_NEAR(COMP1[1] + COMP1[2], 100, 1e-15L);
  }
  EXPECT_NEAR(CONTROLJX.onebulkvalue, 0.3L, 1e-18L);
}

TEST_F(BulkSetup, IncrementsAcrossARange) {
  struct Case {
    smallint nincbulk;
    std::string answers;
    smallint ncomp;
    bool warned;
    std::string pos;
  } cases[] = {
      {-1, "\n", 11, false, ""},
      {-1, "0\n", 11, true, ""},
      {-1, "150\n", 11, true, ""},
      {-1, "2.5\n", 11, false, ""},
      {-1, "13\n", 14, false,
       "pos        1     3     5     7     9    11    13    14\n"
       "prop       0 0.154 0.308 0.462 0.615 0.769 0.923 1.000\n"
       "   MgO 80.00 76.92 73.85 70.77 67.69 64.62 61.54 60.00\n"},
      {4, "", 4, false, "pos        1     2     3     4\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    bulk({80, 20}, {60, 40});
    NINCBULK = c.nincbulk;
    const Seen s = run(c.answers, ZQREAD3::READCOMPS);
    ASSERT_EQ(s.end, "");
    EXPECT_EQ(NCOMP, c.ncomp);
    EXPECT_EQ(has(s.out, "inappropriate number of increments: 10 used\n"), c.warned) << s.out;
    EXPECT_TRUE(has(s.sum, c.pos)) << s.sum;
    EXPECT_TRUE(has(s.out, "composition (from script)\n     MgO     FeO\n  80.000  20.000\n  60.000  40.000      " +
                               std::to_string(c.ncomp - 1) + " increments\n"))
        << s.out;
  }
}

TEST_F(BulkSetup, BulkFromRockPhases) {
  struct Case {
    extended betmgo, betfeo;
    std::string end;
  } cases[] = {
      {0.5L, 0.5L, ""},
      {0, 0, "readcomps: rbi phase without composition: bet"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.end);
    components({"MgO", "FeO"});
    CONTROLJX.rbi = yes;
    NCOMP = 1;
    NRBIMODE = 2;
    RBISTRP[1] = "alp";
    RBISTRP[2] = "bet";
    RBIMODE[1] = 0.6L;
    RBIMODE[2] = 0.4L;
    RBIC(1, 1) = 0.6L;
    RBIC(1, 2) = 0.4L;
    RBIC(2, 1) = c.betmgo;
    RBIC(2, 2) = c.betfeo;
    const Seen s = run("", ZQREAD3::READCOMPS);
    ASSERT_EQ(s.end, c.end);
    if (!c.end.empty()) continue;
    EXPECT_TRUE(has(s.out, "composition (from rbi script)\n        MgO      FeO\n    56.0000  44.0000\n")) << s.out;
    EXPECT_NEAR(COMP1[1], 56, 1e-15L);
    EXPECT_EQ(NMIN, 0);
    EXPECT_EQ(KBPDEN, 1);
  }
}

TEST(LogRatioDenominator, FirstFreeAfterTheFluid) {
  struct Case {
    std::vector<std::string> names;
    std::vector<bool> free;
    smallint kbpden, amongfree;
    std::string end;
  } cases[] = {
      {{"H2O", "CO2", "SiO2", "MgO"}, {true, true, true, true}, 3, 3, ""},
      {{"H2O", "CO2", "SiO2", "MgO"}, {false, false, false, true}, 4, 1, ""},
      {{"H2O", "CO2", "SiO2", "MgO"}, {false, false, true, true}, 3, 1, ""},
      {{"H2O", "SiO2", "MgO"}, {true, true, true}, 2, 2, ""},
      {{"CO2", "SiO2", "MgO"}, {true, false, true}, 3, 2, ""},
      {{"MgO", "FeO"}, {true, true}, 1, 1, ""},
      {{"MgO", "FeO"}, {false, true}, 2, 1, ""},
      {{"Xx", "FeO"}, {true, true}, 1, 1, "find kbpden: Xx not found"},
  };
  testsupport::freshstate();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names[0] + std::to_string(c.kbpden));
    NUV = static_cast<smallint>(c.names.size());
    for (long j = 1; j <= NUV; ++j) {
      COMPNAME[j] = c.names[static_cast<std::size_t>(j - 1)];
      BCOMPS[j] = c.free[static_cast<std::size_t>(j - 1)];
    }
    testsupport::Terminal term;
    IO::WHATSOPEN = 1;
    EXPECT_EQ(testsupport::fatal(ZQREAD3::FINDKBPDEN), c.end);
    EXPECT_EQ(KBPDEN, c.kbpden);
    EXPECT_EQ(KBPDENFREE(), c.amongfree);
  }
  testsupport::freshstate();
}

TEST_F(BulkSetup, ProjectionPlane) {
  const std::string rule = "% ----------------------------------------------------------\n";
  struct Case {
    std::string label;
    controlboolean scriptplane;
    smallint scriptcount;
    std::vector<std::string> scriptnames;
    std::string answers, end;
    std::vector<std::string> apex;
    std::string shown, logged;
  } cases[] = {
      {"oxide list", no, 0, {}, "0\n2 1\n", "", {"FeO", "MgO"},
       "projection plane has 2 apices\n\ncompositions of the 2 apices are needed in terms of: MgO FeO \n\n"
       "specify apices:\n    0: by oxide list (when each apex just an oxide)\n"
       "    1: apex by apex (eg when some apices are composite)\ncode : oxide list (2 indices) : "
       "\nprojection plane \n           MgO     FeO\nFeO          0   1.000\nMgO      1.000       0\n",
       "\nin form to copy to scriptfile:\n\n" + rule + "projplane             MgO   FeO\n" + rule +
           "projplane    FeO        0     1\nprojplane    MgO        1     0\n" + rule + "\n"},
      {"apex by apex", no, 0, {}, "1\nA 0.33333 2.00001\nFeO\n", "", {"A", "FeO"},
       "1st apex name : 2nd apex name : \nprojection plane \n",
       "projplane    A      0.333     2\nprojplane    FeO        0     1\n"},
      {"composition asked", no, 0, {}, "1\nA\n0.5\n0.5\nMgO\n", "", {"A", "MgO"},
       "1st apex name : apex composition : ", "projplane    A      0.500 0.500\n"},
      {"plain text in a composition", no, 0, {}, "1\nA x 1\n", "readprojplane: short-cutting A", {}, "", ""},
      {"wrong twice", no, 0, {}, "0\n1\n1 2 1\n", "", {},
       "oxide list (2 indices) : 2 needed: try again : still not correct: no projection will be undertaken\n", ""},
      {"not integers", no, 0, {}, "0\n1 x\n", "", {}, "not all integers: no projection will be undertaken\n", ""},
      {"out of the list", no, 0, {}, "0\n1 3\n", "", {}, "not all integers: no projection will be undertaken\n", ""},
      // one corner named twice leaves the plane a corner short
      {"an oxide twice", no, 0, {}, "0\n1 1\n", "readprojplane: MgO given twice as an apex", {}, "", ""},
      {"an apex name twice", no, 0, {}, "1\nA 0.5 0.5\nA 0.5 0.5\n", "readprojplane: A given twice as an apex", {}, "",
       ""},
      {"script plane", yes, 2, {"MgO", "FeO"}, "", "", {"P", "Q"},
       "projection plane has 2 apices\n\nprojection plane (from script) \n", ""},
      {"script plane of other names", yes, 2, {"SiO2", "FeO"}, "", "readprojplane: oxides don't match", {}, "", ""},
      {"script plane of another count", yes, 3, {"MgO", "FeO", "SiO2"}, "0\n1 2\n", "", {"MgO", "FeO"},
       "oxide list (2 indices) : ", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    components({"MgO", "FeO"});
    phases();
    NPINEX = 0;
    CONTROLJX.project = yes;
    CONTROLJX.projplane = c.scriptplane;
    CONTROLJX.projplanedata = c.scriptcount;
    NPROJAPEX = c.scriptplane == yes ? 2 : -1;
    for (long k = 1; k <= c.scriptcount; ++k) PROJPLANEC[k] = c.scriptnames[static_cast<std::size_t>(k - 1)];
    PROJNAMES[1] = "P";
    PROJNAMES[2] = "Q";
    // A script plane brings its own apices: here the two components.
    if (c.scriptplane == yes)
      for (long a = 1; a <= 2; ++a)
        for (long k = 1; k <= 2; ++k) PROJPLANE(a, k) = a == k ? 1 : 0;
    const Seen s = run(c.answers, ZQREAD3::READPROJPLANE);
    ASSERT_EQ(s.end, c.end) << s.out;
    EXPECT_TRUE(has(s.out, c.shown)) << s.out;
    EXPECT_TRUE(has(s.log, c.logged)) << s.log;
    if (!c.end.empty()) continue;
    EXPECT_EQ(CONTROLJX.project, c.apex.empty() ? no : yes);
    if (c.apex.empty()) continue;
    EXPECT_EQ(NPROJAPEX, 2);
    for (long a = 1; a <= 2; ++a) EXPECT_EQ(PROJNAMES[a], c.apex[static_cast<std::size_t>(a - 1)]);
    EXPECT_EQ(has(s.log, "in form to copy"), !c.answers.empty());
  }
  EXPECT_NEAR(PROJPLANE(1, 1), 1, 0);
}

TEST_F(BulkSetup, ProjectionFromAPhaseInExcess) {
  components({"MgO", "FeO", "SiO2"});
  phases({"q"});
  (*PREC0)[1].comp[3] = 2;
  COMPDIV[3] = 2;
  PINEX[3] = true;
  NPINEX = 1;
  CONTROLJX.project = yes;
  const Seen s = run("0\n1 2\n", ZQREAD3::READPROJPLANE);
  ASSERT_EQ(s.end, "");
  EXPECT_TRUE(has(s.out, "\nprojection plane has 2 apices, leaving MgO FeO SiO2 \nto be represented by q and the projection "
                         "plane\n"))
      << s.out;
  EXPECT_TRUE(has(s.out, "\nprojection plane \n           MgO     FeO    SiO2\nMgO      1.000       0       0\n"
                         "FeO          0   1.000       0\n"))
      << s.out;
  EXPECT_EQ(NPROJAPEX, 3);
  EXPECT_EQ(IENPROJPLANE, 1);
  EXPECT_EQ(PROJNAMES[3], "q");
  EXPECT_NEAR(PROJPLANE(3, 3), 1, 0);
}

}  // namespace

namespace {

// The dependency the check names among columns over the free components.
std::string dependency(const std::vector<std::vector<extended>>& cols, const std::vector<std::string>& names) {
  return ZQREAD3::APEXDEPENDENCY(cols, names);
}

}  // namespace

// The first column that is a combination of those before it is named with
// the combination: a sum of two, a multiple, a column of zeros, a phase in
// excess that an apex already gives, a solution phase in excess that is a
// mix of apices and a phase. Independent columns name nothing.
TEST(ApexDependency, TheFirstDependentColumnWithItsCombination) {
  // H2O SiO2 Al2O3 MgO FeO
  const std::vector<extended> w{1, 0, 0, 0, 0}, s{0, 1, 0, 0, 0}, a{0, 0, 1, 0, 0}, m{0, 0, 0, 1, 0},
      f{0, 0, 0, 0, 1}, sp{0, 0, 1, 1, 0}, zero{0, 0, 0, 0, 0};
  EXPECT_EQ(dependency({a, m, f, s, w}, {"A", "M", "F", "q", "wat"}), "");
  EXPECT_EQ(dependency({a, m, sp, s, w}, {"A", "M", "SP", "q", "wat"}), "SP = A + M");
  EXPECT_EQ(dependency({s, a, m, s, w}, {"SiO2", "Al2O3", "MgO", "q", "wat"}), "q = SiO2");
  EXPECT_EQ(dependency({a, m, zero, s, w}, {"A", "M", "Z", "q", "wat"}), "Z = 0");
  EXPECT_EQ(dependency({a, {0, 0, 2, 0, 0}}, {"A", "AA"}), "AA = 2 A");
  // ol with x(ol) = 0.4 in excess beside q: 1.2 MgO + 0.8 FeO + SiO2.
  const std::vector<extended> ol{0, 1, 0, 1.2, 0.8};
  EXPECT_EQ(dependency({w, f, m, s, ol}, {"W", "F", "M", "q", "ol"}), "ol = 0.8 F + 1.2 M + q");
  EXPECT_EQ(dependency({m, s, {0, 1, 0, -1, 0}}, {"M", "q", "d"}), "d = -M + q");
  // 120 random full-rank planes of 2-5 columns over 5 components name
  // nothing; the same with one column made a combination name that column.
  std::mt19937 gen(8484);
  std::uniform_real_distribution<double> value(-2, 2);
  for (int trial = 0; trial < 120; ++trial) {
    const std::size_t n = 2 + static_cast<std::size_t>(trial % 4);
    std::vector<std::vector<extended>> cols(n, std::vector<extended>(5));
    std::vector<std::string> names;
    for (std::size_t j = 0; j < n; ++j) {
      names.push_back("c" + std::to_string(j));
      for (auto& v : cols[j]) v = std::round(value(gen) * 1000) / 1000;
    }
    // At most five random columns of five entries: independent but for a
    // chance of no weight.
    EXPECT_EQ(dependency(cols, names), "") << trial;
    const std::size_t k = 1 + static_cast<std::size_t>(trial) % (n - 1);
    for (std::size_t r = 0; r < 5; ++r) cols[k][r] = 0.5L * cols[0][r] - 1.5L * cols[k - 1][r];
    EXPECT_EQ(dependency(cols, names).substr(0, names[k].size() + 3), names[k] + " = ") << trial;
  }
}

// A plane whose apices, with the pure phases in excess, are dependent
// stops before any row is projected, naming the dependency.
TEST_F(BulkSetup, DependentProjectionPlaneStops) {
  struct Case {
    std::string label;
    std::vector<std::vector<extended>> plane;
    std::string end;
  } cases[] = {
      {"independent", {{1, 0, 0}, {0, 1, 0}}, ""},
      {"a sum of two", {{1, 0, 0}, {1, 0, 1}}, "readprojplane: apices of the projection plane not independent: q = -P + Q"},
      {"an apex of zeros", {{1, 0, 0}, {0, 0, 0}}, "readprojplane: apices of the projection plane not independent: Q = 0"},
      {"an apex the phase in excess gives", {{0, 0, 1}, {1, 0, 0}},
       "readprojplane: apices of the projection plane not independent: q = P"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    components({"MgO", "FeO", "SiO2"});
    phases({"q"});
    (*PREC0)[1].comp[3] = 1;
    PINEX[3] = true;
    NPINEX = 1;
    CONTROLJX.project = yes;
    CONTROLJX.projplane = yes;
    CONTROLJX.projplanedata = 3;
    NPROJAPEX = 2;
    for (long k = 1; k <= 3; ++k) PROJPLANEC[k] = COMPNAME[k];
    PROJNAMES[1] = "P";
    PROJNAMES[2] = "Q";
    for (long a = 1; a <= 2; ++a)
      for (long k = 1; k <= 3; ++k) PROJPLANE(a, k) = c.plane[static_cast<std::size_t>(a - 1)][static_cast<std::size_t>(k - 1)];
    const Seen s = run("", ZQREAD3::READPROJPLANE);
    EXPECT_EQ(s.end, c.end) << s.out;
    EXPECT_TRUE(has(s.out, "projection plane (from script) ")) << s.out;
  }
}
