// The utilities of calc mode 0 called directly after the start-up of a run:
// the menus, the table grid, the end-member, fluid and reaction tables, the
// end-members of a chemical system and the activities from chemical
// potentials. Expected numbers come from G = H - T S + (P - 0.001) V of two
// made-up silica rows, worked out by hand.
#include "utilities/zqmode0.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "input/zqread1.h"
#include "input/zqscript.h"
#include "iotestsupport.h"
#include "mainprogram.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

const std::string deg = "\xC2\xB0";

// One data-set record of the made-up version-6 set: no heat capacity, no
// expansion, no compressibility.
std::string record(const std::string& name, const std::string& longname, const std::string& formula, extended h,
                   extended s, extended v) {
  return name + "  " + longname + "  1  " + formula + "  0\n0\n" + IO::REAL2STR(h, 4, true) + " " +
         IO::REAL2STR(s, 5, true) + " " + IO::REAL2STR(v, 4, true) + " 0.0 0.0 0.0 0.0\n0.0 0.0 0.0\n\n";
}

// A data set of the given records, with a zero covariance.
std::string dataset(const std::vector<std::string>& records) {
  std::string s = "6 " + std::to_string(records.size()) +
                  " don't alter this line or the layout of the records below, made up for the utilities\n\n";
  for (const std::string& r : records) s += r;
  s += "0\n";
  for (std::size_t i = 0; i < records.size() * (records.size() + 1) / 2; ++i) s += "0.0 ";
  return s + "\n\nmade-up data set (sigfit =  0.000)\n";
}

const std::string QA = record("qa", "quartza", "1 1.0  10 2.0", -910, 0.0415, 2.269);
const std::string QB = record("qb", "quartzb", "1 1.0  10 2.0", -905, 0.045, 2.40);

class Utilities : public ::testing::Test {
 protected:
  void TearDown() override {
    if (ZQREAD1::PDATA.f != nullptr) IO::FILECLOSE(ZQREAD1::PDATA, true, "dsfile");
    // The start-up's tables go with the test, as at the end of a run.
    ZQUTE1::CLEANUP();
    testsupport::freshstate();
  }

  // The files of a run on the qa-qb data set with the given script lines
  // and a-x file, started as a calc-mode-1 run starts and then turned to
  // calc mode 0.
  void start(const std::string& script, const std::string& ax = "qa\nqb\n*\n",
             const std::string& ds = dataset({QA, QB})) {
    testsupport::freshstate();
    mark = term.text().size();
    dir.write("jx-prefs.txt", "dsfile 6qm\nscriptfile qm\n*\n");
    dir.write("jx-ds6qm.txt", ds);
    dir.write("jx-qmax.txt", ax);
    dir.write("jx-qm.txt", "axfile qmax\ndiagramPT 1 10 300 800\nautoexit\n" + script + "*\n");
    ASSERT_EQ(fatal([] {
                IO::INITIALISEIO(MAINPROGRAM::VERSION);
                CONTROLCODE = 1;
                CALCMODE = calcmodetype::nlecalc;
                ZQUTE1::SETUP();
                ZQUTE1::STARTOUT();
              }),
              "");
    CONTROLCODE = 0;
    CALCMODE = calcmodetype::utilitycalc;
    IO::CONTROLIO.autoexit = true;
  }

  // A whole utilities pass on the given answers: "" or how the run ended.
  std::string run(const std::string& answers) {
    testsupport::Answers a(answers);
    return fatal([] { ZQMODE0::DOUTILITIES(); });
  }

  std::string file(const std::string& name) {
    IO::FLUSHER();
    return dir.read(name);
  }
  // The terminal since the last start.
  std::string out() { return term.text().substr(mark); }
  std::string summary() { return file("jx-qm-o.txt"); }
  std::string drawing() { return file("jx-qm-qk.txt"); }

  static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  testsupport::Terminal term;
  testsupport::ScratchDir dir;
  std::size_t mark = 0;
};

// How many times text holds part.
int count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The lines of text from the one that starts with first, n of them.
std::vector<std::string> linesfrom(const std::string& text, const std::string& first, std::size_t n) {
  const std::vector<std::string> all = testsupport::lines(text);
  for (std::size_t i = 0; i < all.size(); ++i)
    if (all[i].rfind(first, 0) == 0)
      return std::vector<std::string>(all.begin() + static_cast<long>(i),
                                      all.begin() + static_cast<long>(std::min(all.size(), i + n)));
  return {};
}

const std::string GRIDPROMPT = "P in kbar: list of values OR start, finish, interval : ";
const std::string MADE = "qa\nqb\nqm 1 qmm make 1 qa 1 DQF 1.5 -0.001 0.02\n*\n";

TEST_F(Utilities, MenusTakeScriptCodesOrStopOnAnythingButACode) {
  const std::string limit = ", between 0 and 4";
  const std::string umenu =
      "\nutility code:\n     0 = phase diagram drawing (plotix)\n     1 = convert wt% for bulk "
      "and minerals into a useful form\n     2 = thermodynamic tables\n     3 = calculate "
      "activities from mu\n     4 = end-member list in a chemical system\nutility code : ";
  const std::string tmenu = "\ntable code:\n     0 = end-member thermo\n     1 = RT ln f(H2O) and RT ln f(CO2)\n";
  struct Case {
    std::string script, answers, end;
    bool umenu, tmenu;
  } cases[] = {
      {"utilitycode 2\ntablecode 0\n", "\n\n", "", false, false},
      {"tablecode 0\n", "2\n\n\n", "", true, false},
      {"utilitycode 2\ntablecode 7\n", "0\n\n\n", "", false, true},
      {"", "x\n", "doutilities: integer needed (1)" + limit, true, false},
      {"", "5\n", "doutilities: integer needed (2)" + limit, true, false},
      // Too large for a code: not taken as the 0 a failed conversion leaves.
      {"", "99999\n", "doutilities: 99999 too large: replace with (2)" + limit, true, false},
      {"utilitycode 2\n", "x\n", "tabledriver: integer needed (1)" + limit, false, true},
      {"utilitycode 2\n", "5\n", "tabledriver: integer needed (2)" + limit, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script + "| " + c.answers);
    start(c.script);
    EXPECT_EQ(run(c.answers), c.end);
    EXPECT_EQ(has(out(), umenu), c.umenu) << out();
    EXPECT_EQ(has(out(), tmenu), c.tmenu);
    EXPECT_EQ(has(file("jx-log.txt"), umenu.substr(0, 40)), c.umenu);
    EXPECT_EQ(has(summary(), "    qa = -"), c.end.empty());
    TearDown();
  }
}

TEST_F(Utilities, WithAllTakesEveryPhase) {
  for (const auto& [with, names] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {"with all\n", {"qa", "qb", "qm"}}, {"", {"qa", "qb", "qm"}}, {"with qb qm\n", {"qb", "qm"}}}) {
    start("utilitycode 2\ntablecode 0\n" + with, MADE);
    EXPECT_EQ(run("\n\n"), "");
    std::vector<std::string> got;
    for (long k = 1; k <= NCV; ++k) got.push_back(NAME[k]);
    EXPECT_EQ(got, names) << with;
    TearDown();
  }
}

TEST_F(Utilities, GridFromAnswersRangesListsAndTheScript) {
  const std::vector<extended> none, tenby10 = {0.001L, 10, 20, 30, 40, 50, 60, 70, 80, 90};
  struct Case {
    std::string script, answers, end;
    std::vector<extended> p, t;
  } cases[] = {
      {"", "\n\n", "", {5}, {278.15L}},
      {"", "0 10 2\n25\n", "", {0.001L, 2, 4, 6, 8, 10}, {298.15L}},
      {"", "1 2 3\n100 200\n", "", {1, 2, 3}, {373.15L, 473.15L}},
      {"",
       "4\n0 800 100\n",
       "",
       {4},
       {298.15L, 373.15L, 473.15L, 573.15L, 673.15L, 773.15L, 873.15L, 973.15L, 1073.15L}},
      {"", "0 100 1\n0\n", "", tenby10, {273.15L}},
      {"", "2 2 0.5\n300 300 1\n", "", std::vector<extended>(10, 2), std::vector<extended>(10, 573.15L)},
      // A count far beyond any integer is still only too many points.
      {"",
       "0 1e31 1e-30\n500\n",
       "",
       {0.001L, 1e30L, 2e30L, 3e30L, 4e30L, 5e30L, 6e30L, 7e30L, 8e30L, 9e30L},
       {773.15L}},
      {"", "5 1 1\n", "PTgrid: odd P", none, none},
      {"", "5\n100 800 0\n", "PTgrid: odd P", none, none},
      {"calcP 8\n", "500\n", "", {8}, {773.15L}},
      {"calcP 4 10\n", "6\n500\n", "", {6}, {773.15L}},
      {"calcT 450\n", "6\n", "", {6}, {723.15L}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script + "| " + c.answers);
    start(c.script);
    emvector p{"p"}, t{"t"};
    smallint np = 0, nt = 0;
    EXPECT_EQ(fatal(ZQSCRIPT::READCONTROLJX), "");
    {
      testsupport::Answers a(c.answers);
      EXPECT_EQ(fatal([&] { ZQMODE0::GETPTGRID(p, np, t, nt); }), c.end);
    }
    EXPECT_EQ(count(out(), GRIDPROMPT), c.script == "calcP 8\n" ? 0 : 1);
    if (c.end.empty()) {
      EXPECT_EQ(has(out(), "T" + deg + "C: list of values"), c.script != "calcT 450\n");
      ASSERT_EQ(np, static_cast<smallint>(c.p.size()));
      ASSERT_EQ(nt, static_cast<smallint>(c.t.size()));
      for (long i = 1; i <= np; ++i) EXPECT_NEAR(p[i], c.p[static_cast<std::size_t>(i - 1)], 1e-9L * (1 + p[i]));
      for (long j = 1; j <= nt; ++j) EXPECT_NEAR(t[j], c.t[static_cast<std::size_t>(j - 1)], 1e-9L);
    }
    TearDown();
  }
}

TEST_F(Utilities, EndMemberTableAtOnePointAndOnAWrappedGrid) {
  start("utilitycode 2\ntablecode 0\n");
  EXPECT_EQ(run("5\n500\n"), "");
  EXPECT_TRUE(has(summary(),
                  "\nG at 5.000 kbar and 500.00 " + deg + "C\n\n    qa = -930.7429940000\n    qb = -927.7941500000\n"));
  EXPECT_EQ(drawing(),
            "\n\nlp = {   5.000};\n\nlt = 273.15 + {   500.0};\n    G[qa] ^= {{  -930.74299}};\n"
            "    G[qb] ^= {{  -927.79415}};\n");
  TearDown();

  // 2 x 13: every list of 13 wraps once, after its 12th value. 0 kbar
  // becomes 1 bar: G = -910 - 373.15 x 0.0415, and -905 - 373.15 x 0.045.
  start("utilitycode 2\ntablecode 0\n");
  EXPECT_EQ(run("0 1 1\n100 700 50\n"), "");
  const std::vector<std::string> g = linesfrom(summary(), "G(qa)", 5);
  ASSERT_EQ(g.size(), 5u);
  EXPECT_EQ(g[2].substr(0, 35), "   kbar " + deg + "C         100         150");
  EXPECT_EQ(g[3].substr(0, 22), "  0.001      -925.4857");
  EXPECT_EQ(g[4].substr(0, 22), "    1.0      -923.2190");
  const std::string list = drawing();
  EXPECT_TRUE(has(list, "\nlp = {   0.001,   1.000};\n")) << list;
  EXPECT_TRUE(has(list, "   600.0,   650.0,\n         700.0};\n")) << list;
  const std::vector<std::string> q = linesfrom(list, "G[qb] ^= {", 6);
  ASSERT_EQ(q.size(), 6u);
  EXPECT_EQ(q[2].substr(0, 23), "    {        -921.79175");
  EXPECT_EQ(count(q[2], ","), 12);
  EXPECT_EQ(q[3].substr(0, 6) + q[3].substr(q[3].size() - 2), "      },");
  EXPECT_EQ(q[5].substr(q[5].size() - 3), "}};");
}

TEST_F(Utilities, EndMemberHeadingsFollowTheDataSetAndMadeRowsListWhatTheyAreMadeFrom) {
  start("utilitycode 2\ntablecode 0\n", MADE);
  EXPECT_EQ(run("\n\n"), "");
  const std::vector<std::string> t = linesfrom(summary(), "Thermodynamic properties", 9);
  ASSERT_EQ(t.size(), 9u);
  EXPECT_EQ(t[1], "(for \"make\": DQF and the thermo of what they are made from)");
  EXPECT_EQ(t[3],
            "                  H        S        V        a        b        c        d       a0    theta       K0"
            "      K0'     K0''    dK/dT      Tc    Smax    Vmax");
  EXPECT_EQ(t[4], std::string(118, ' ') + "     aqcp      dh     dhv       w      wv     fac     n");
  // The made phase: its DQF terms alone, then its constituent in full, the
  // expansion column narrowed for a pure-phase recipe.
  EXPECT_EQ(t[7], "qm             1.50     1.00    0.020");
  EXPECT_EQ(t[8].substr(0, 89),
            "      qa    -910.00    41.50    2.269        0        0        0        0      0      525");

  // The newest data set: c and d only for rows with a heat-capacity type;
  // when any row has them, blanks keep the other rows' columns.
  for (const std::vector<int>& types : {std::vector<int>{4}, std::vector<int>{4, 0}}) {
    TearDown();
    start("");
    DSMODE = 7;
    NCV = static_cast<smallint>(types.size());
    for (long i = 1; i <= NCV; ++i) {
      NAME[i] = "e" + std::to_string(i);
      for (int s = 1; s <= maxtd; ++s) (*TD)(i, s) = 0;
      (*TD)(i, TDSLOT::CODE) = types[static_cast<std::size_t>(i - 1)];
    }
    testsupport::Answers a("kill\n");  // stopped at the grid
    EXPECT_NE(fatal(ZQMODE0::EMTABLE), "");
    const std::vector<std::string> h = linesfrom(summary(), "                  H", 3);
    ASSERT_EQ(h.size(), 3u);
    const std::size_t cd = types.size() == 2 ? 18 : 0;
    EXPECT_TRUE(has(h[0], "        a        b" + std::string(cd, ' ') + "       a0")) << h[0];
    EXPECT_EQ(h[1].substr(0, 118 + cd + 9), std::string(118 + cd, ' ') + "     aqcp");
    EXPECT_EQ(h[2].substr(37, 18 + cd + 9), "        0        0" + std::string(cd, ' ') + "        0");
  }
}

TEST_F(Utilities, ReactionsLinearisedAboutAPointAndTheirDepartures) {
  const std::string qc = record("qc", "quartzc", "1 1.0  10 2.0", -900, 0.05, 2.5);
  struct Case {
    std::string ax, answers, end;
    int grids, matrices;
  } cases[] = {
      {"qa\nqb\n*\n", "\n\n5\n500\n0\n", "", 1, 0},
      {"qa\nqb\n*\n", "\n\n5\n500\n1\n4 5 6\n400 500\n0\n", "", 2, 1},
      {"qa\nqb\nqc\n*\n", "\n\n5\n500\n1\n5\n500\n2\n3\n9\n", "", 2, 3},
      {"qa\n*\n", "", "rthermo: no reactions", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ax + "| " + c.answers);
    start("utilitycode 2\ntablecode 4\n", c.ax, dataset({QA, QB, qc}));
    EXPECT_EQ(run(c.answers), c.end);
    const std::string sum = summary(), qk = drawing();
    EXPECT_EQ(count(out(), GRIDPROMPT), c.grids);
    EXPECT_EQ(count(qk, "(* reaction thermo for ("), c.matrices);
    if (c.ax == "qa\nqb\n*\n") {
      // qa - qb: a = -5 + 0.131 x 0.001, b = 0.0035, c = -0.131.
      EXPECT_TRUE(has(sum, "\n(a, b and c includes fluid fugacities, at P = 5.0 kbar and T = 500" + deg +
                               "C)\n        qa   qb         a         b         c\n"
                               "    1    1   -1    -5.000   0.00350    -0.131\n"))
          << sum;
      EXPECT_TRUE(has(qk, "(* reaction thermo linearised at P = 5.0 kbar and T = 500" + deg +
                              "C *)\n\n{{   1,    1,   -1,    -5.000,   0.00350,    -0.131}};\n"))
          << qk;
    }
    if (c.matrices == 1) {
      // A linear reaction departs nowhere; the list holds dG0 itself,
      // -5 + 0.0035 T - 0.131 (P - 0.001).
      for (const std::string& r : linesfrom(sum, "    4.00", 3)) {
        std::istringstream in(r);
        double v = 0;
        int n = 0;
        for (in >> v; in >> v; ++n) EXPECT_LT(std::fabs(v), 0.005) << r;
        EXPECT_EQ(n, 2);
      }
      EXPECT_TRUE(has(qk,
                      "\n\n(* reaction thermo for (1) *)\n{    4.00,    5.00,    6.00};\n{  673.15,  773.15};\n\n"
                      "{{   -3.1678,   -2.8178},\n {   -3.2988,   -2.9488},\n {   -3.4298,   -3.0798}};\n"))
          << qk;
    }
    TearDown();
  }
}

TEST_F(Utilities, FluidTablesAndTheirLists) {
  // 2 x 3: temperatures in K on the lists, one rtlnfh2o row per pressure.
  start("utilitycode 2\ntablecode 1\n");
  EXPECT_EQ(run("4 5\n400 500 600\n"), "");
  const std::string qk = drawing();
  EXPECT_EQ(qk.substr(0, 79), "\nflp = {   4.000,   5.000};\n\nflt = {   673.2,   773.2,   873.2};\n\nrtlnfh2o = {{");
  const std::vector<std::string> rows = linesfrom(qk, "rtlnfh2o = {{", 3);
  ASSERT_EQ(rows.size(), 2u) << qk;
  EXPECT_EQ(rows[0].substr(39) + rows[1].substr(0, 1) + rows[1].substr(27), "},{}};");
  // The H2O table's pressure column is one wider than the CO2 table's.
  EXPECT_TRUE(has(summary(), "\nRT ln f(H2O)\n\n   kbar " + deg + "C     400     500     600\n     4.0     "));
  EXPECT_TRUE(has(summary(), "\nRT ln f(CO2)\n\n   kbar " + deg + "C     400     500     600\n    4.0     "));
  TearDown();
  // One point: one value a list; the other tables write no lists.
  for (const auto& [code, headings] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {"1", {"RT ln f(H2O)", "RT ln f(CO2)"}},
           {"2", {"RT ln f(CH4)", "RT ln f(H2)", "RT ln f(H2S)", "RT ln f(S2)"}},
           {"3", {"V(H2O)", "V(CO2)"}}}) {
    start("utilitycode 2\ntablecode " + code + "\n");
    EXPECT_EQ(run("5\n526.85\n"), "");
    std::size_t at = 0;
    for (const std::string& h : headings) EXPECT_NE(at = summary().find("\n" + h + "\n\n", at), std::string::npos) << h;
    const std::string one = drawing();
    EXPECT_EQ(one.empty(), code != "1");
    EXPECT_EQ(one.substr(0, std::min<std::size_t>(one.size(), 37)),
              code == "1" ? "\nflp = {   5.000};\n\nflt = {   800.0};" : "");
    TearDown();
  }
}

// Made-up data set of the system list: oxides of Si, Mg, Fe, H and Al.
std::string systemdataset(int polymorphs = 0) {
  std::vector<std::string> r = {
      record("q", "quartz", "1 1.0  10 2.0", -910, 0.04, 2.3),
      record("fo", "forsterite", "5 2.0  1 1.0  10 4.0", -2170, 0.095, 4.4),
      record("ky", "kyanite", "3 2.0  1 1.0  10 5.0", -2590, 0.083, 4.4),
      record("fa", "fayalite", "4 2.0  1 1.0  10 4.0", -1480, 0.15, 4.6),
      record("br", "brucite", "5 1.0  11 2.0  10 2.0", -925, 0.064, 2.5),
      record("hx", "hexite", "5 1.0  11 3.0  10 2.5", -1000, 0.07, 2.6),
  };
  for (int i = 1; i <= polymorphs; ++i)
    r.push_back(record("s" + std::to_string(i), "silica", "1 1.0  10 2.0", -900, 0.04, 2.3));
  return dataset(r);
}

TEST_F(Utilities, EndMembersOfAChemicalSystem) {
  std::string SIO2X27;
  for (int i = 0; i < 27; ++i) SIO2X27 += "SiO2 ";
  const std::string four =
      "\n           SiO2    FeO    MgO    H2O\n       q      1      -      -      -     quartz\n"
      "      fo      1      -      2      -     forsterite\n      fa      1      2      -      -     fayalite\n"
      "      br      -      -      1      1     brucite\n      hx      -      -      1    3/2     hexite\n";
  struct Case {
    std::string answer, end, list;
  } cases[] = {
      {"1 4 5 11", "", four},
      {"SiO2 FeO MgO H2O", "", four},
      {"Si Fe Mg H", "", four},
      // a component typed again, as its oxide, element or number, is one column
      {"SiO2 FeO MgO H2O MgO Mg 5 Si", "", four},
      {"SiO2", "", "\n           SiO2\n       q      1     quartz\n"},
      // a word past the taken ones names no component: the list would be of another system
      {"SiO2 xyz", "domakelist: xyz names none of the components offered", ""},
      {"SiO2 MgO 13", "domakelist: 13 names none of the components offered", ""},
      {"xyz SiO2", "domakelist: something wrong", ""},
      {"TiO2", "domakelist: something wrong", ""},
      {"", "domakelist: no system specified 1", ""},
      {"xyz 13 0", "domakelist: no system specified 2", ""},
      {SIO2X27, "domakelist: more than 26 components named", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    start("utilitycode 4\n", "*\n", systemdataset());
    EXPECT_EQ(run(c.answer + "\n"), c.end);
    EXPECT_TRUE(has(out(), "\ncomponents:SiO2 TiO2 Al2O3 FeO MgO MnO CaO Na2O K2O O H2O CO2 \nwhich system? : "));
    EXPECT_TRUE(has(summary(), c.list)) << summary();
    EXPECT_FALSE(has(summary(), "kyanite"));
    TearDown();
  }

  // q, fo and 37 polymorphs: a header before the 1st and the 32nd line.
  start("utilitycode 4\n", "*\n", systemdataset(37));
  EXPECT_EQ(run("SiO2 MgO\n"), "");
  const std::vector<std::string> l = linesfrom(summary(), "           SiO2    MgO", 60);
  ASSERT_EQ(l.size(), 42u);
  EXPECT_EQ(l[32] + "|" + l[33] + "|" + l[34].substr(0, 8), "|           SiO2    MgO|     s30");
}

TEST_F(Utilities, ActivitiesFromChemicalPotentials) {
  const std::string matrix = "\n      SiO2\n div     1\n\n  qa     1\n  qb     1\n\n2 1 1\n\n";
  struct Case {
    std::string muval, end, lines;
  } cases[] = {
      {"muval SiO2\nmuval -930.0\n", "", matrix + "a(qa) =  1.1225\na(qb) =  0.7095\n"},
      // 10 kJ lower: ln a down by 10 / RT.
      {"muval SiO2\nmuval -940.0\n", "", matrix + "a(qa) =  0.2369\na(qb) =  0.1498\n"},
      // mu of SiO2 equal to G of qa; each line of potentials is a calculation
      // of its own, the second that of -940.0 above.
      {"muval SiO2\nmuval -930.742994\nmuval -940.0\n", "",
       "muval line 1\na(qa) =  1.0000\na(qb) =  0.6321\n\nmuval line 2\na(qa) =  0.2369\na(qb) =  0.1498\n"},
      // MgO is no component of the system: its value would go unused
      {"muval MgO SiO2\nmuval 3 -930.0\n", "acalc: muval names MgO, no component", ""},
      {"muval MgO\nmuval -930.0\n", "acalc: muval names MgO, no component", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.muval);
    start("utilitycode 3\nmuval PT 5 500\n" + c.muval);
    EXPECT_EQ(run(""), c.end);
    EXPECT_TRUE(has(out(), c.lines)) << out();
    EXPECT_FALSE(has(file("jx-log.txt") + summary(), "a(qa)"));
    TearDown();
  }
}

}  // namespace
