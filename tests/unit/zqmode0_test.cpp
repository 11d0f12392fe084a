// The utilities of calc mode 0 called directly after the start-up of a run:
// the menus, the table grid, the end-member, fluid and reaction tables, the
// end-members of a chemical system and the activities from chemical
// potentials. Expected numbers come from G = H - T S + (P - 0.001) V of two
// made-up silica rows, worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "input/zqread1.h"
#include "input/zqscript.h"
#include "iotestsupport.h"
#include "mainprogram.h"
#include "utilities/zqmode0.h"

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

  // The script read as a pass reads it.
  static void ZQSCRIPT_READ() { ZQSCRIPT::READCONTROLJX(); }

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

TEST_F(Utilities, MenusTakeScriptCodesOrStopOnAnythingButACode) {
  const std::string limit = ", between 0 and 4";
  struct Case {
    std::string script, answers, end;
    bool utilitymenu, tablemenu;
  } cases[] = {
      {"utilitycode 2\ntablecode 0\n", "\n\n", "", false, false},
      {"tablecode 0\n", "2\n\n\n", "", true, false},
      {"utilitycode 2\ntablecode 7\n", "0\n\n\n", "", false, true},
      {"", "x\n", "doutilities: integer needed (1)" + limit, true, false},
      {"", "\n", "doutilities: integer needed (1)" + limit, true, false},
      {"", "5\n", "doutilities: integer needed (2)" + limit, true, false},
      {"", "-1\n", "doutilities: integer needed (2)" + limit, true, false},
      // Too large for a code: not taken as the 0 a failed conversion leaves.
      {"", "99999\n", "doutilities: 99999 too large: replace with (2)" + limit, true, false},
      {"utilitycode 2\n", "x\n", "tabledriver: integer needed (1)" + limit, false, true},
      {"utilitycode 2\n", "5\n", "tabledriver: integer needed (2)" + limit, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script + "| " + c.answers);
    start(c.script);
    EXPECT_EQ(run(c.answers), c.end);
    const std::string shown = out(), log = file("jx-log.txt");
    const std::string umenu =
        "\nutility code:\n     0 = phase diagram drawing (plotix)\n"
        "     1 = convert wt% for bulk and minerals into a useful form\n     2 = thermodynamic tables\n"
        "     3 = calculate activities from mu\n     4 = end-member list in a chemical system\nutility code : ";
    const std::string tmenu =
        "\ntable code:\n     0 = end-member thermo\n     1 = RT ln f(H2O) and RT ln f(CO2)\n     2 = other fugacities\n"
        "     3 = V(H2O) and V(CO2)\n     4 = linearised reaction thermo\ntable code : ";
    EXPECT_EQ(has(shown, umenu), c.utilitymenu) << shown;
    EXPECT_EQ(has(shown, tmenu), c.tablemenu) << shown;
    EXPECT_EQ(has(log, "utility code:\n     0 = phase"), c.utilitymenu);
    EXPECT_FALSE(has(summary(), "code:"));
    if (c.end.empty()) {
      EXPECT_TRUE(has(summary(), "    qa = -")) << summary();
    }
    TearDown();
  }
}

TEST_F(Utilities, WithAllTakesEveryPhase) {
  const std::string ax = "qa\nqb\nqm 1 qmm make 1 qa 1 DQF 1.5 -0.001 0.02\n*\n";
  struct Case {
    std::string with;
    std::vector<std::string> names;
  } cases[] = {
      {"with all\n", {"qa", "qb", "qm"}},
      {"", {"qa", "qb", "qm"}},
      {"with qb qm\n", {"qb", "qm"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.with);
    start("utilitycode 2\ntablecode 0\n" + c.with, ax);
    EXPECT_EQ(run("\n\n"), "");
    std::vector<std::string> names;
    for (long k = 1; k <= NCV; ++k) names.push_back(NAME[k]);
    EXPECT_EQ(names, c.names);
    for (const std::string& n : c.names) EXPECT_TRUE(has(summary(), "\n" + std::string(6 - n.size(), ' ') + n + " = -"));
    TearDown();
  }
}

TEST_F(Utilities, GridFromAnswersRangesListsAndTheScript) {
  const std::vector<extended> none;
  struct Case {
    std::string script, answers, end;
    std::vector<extended> p, t;
    int prompts;  // pressure prompts shown
  } cases[] = {
      {"", "\n\n", "", {5}, {278.15L}, 1},
      {"", "0 10 2\n25\n", "", {0.001L, 2, 4, 6, 8, 10}, {298.15L}, 1},
      {"", "1 2 3\n100 200\n", "", {1, 2, 3}, {373.15L, 473.15L}, 1},
      {"", "4\n0 800 100\n", "", {4}, {298.15L, 373.15L, 473.15L, 573.15L, 673.15L, 773.15L, 873.15L, 973.15L, 1073.15L}, 1},
      {"", "0 100 1\n0\n", "", {0.001L, 10, 20, 30, 40, 50, 60, 70, 80, 90}, {273.15L}, 1},
      {"", "2 2 0.5\n300 300 1\n", "", std::vector<extended>(10, 2), std::vector<extended>(10, 573.15L), 1},
      // A count far beyond any integer is still only too many points.
      {"", "0 1e30 1e-30\n500\n", "", {0.001L, 1e29L, 2e29L, 3e29L, 4e29L, 5e29L, 6e29L, 7e29L, 8e29L, 9e29L}, {773.15L}, 1},
      {"", "5 1 1\n", "PTgrid: odd P", none, none, 1},
      {"", "5\n100 800 0\n", "PTgrid: odd P", none, none, 1},
      {"calcP 8\n", "500\n", "", {8}, {773.15L}, 0},
      {"calcP 4 10\n", "6\n500\n", "", {6}, {773.15L}, 1},
      {"calcT 450\n", "6\n", "", {6}, {723.15L}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script + "| " + c.answers);
    start(c.script);
    emvector p{"p"}, t{"t"};
    smallint np = 0, nt = 0;
    EXPECT_EQ(fatal([] { ZQSCRIPT_READ(); }), "");
    {
      testsupport::Answers a(c.answers);
      EXPECT_EQ(fatal([&] { ZQMODE0::GETPTGRID(p, np, t, nt); }), c.end);
    }
    EXPECT_EQ(count(out(), "P in kbar: list of values OR start, finish, interval : "), c.prompts);
    if (!c.end.empty()) {
      TearDown();
      continue;
    }
    EXPECT_TRUE(has(out(), "T" + deg + "C: list of values OR start, finish, interval : ") ==
                (c.script.find("calcT") == std::string::npos));
    ASSERT_EQ(np, static_cast<smallint>(c.p.size()));
    ASSERT_EQ(nt, static_cast<smallint>(c.t.size()));
    for (long i = 1; i <= np; ++i) EXPECT_NEAR(p[i], c.p[static_cast<std::size_t>(i - 1)], 1e-9L * (1 + p[i]));
    for (long j = 1; j <= nt; ++j) EXPECT_NEAR(t[j], c.t[static_cast<std::size_t>(j - 1)], 1e-9L);
    TearDown();
  }
}

}  // namespace
