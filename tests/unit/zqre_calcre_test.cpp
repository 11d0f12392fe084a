// The reaction finder on polymorphs and small systems whose reaction lines
// are straight (see zqfind_testsupport.h): what each mode keeps, marks,
// excludes and reports; the reduction of the tables; the intersections.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "zqre_testsupport.h"

using namespace ZQGLOBAL;
using retest::phase;
using testsupport::fatal;

namespace {

// One component; A = B at 5 kbar and 700 K, 20 K per kbar (dmu changes sign
// across a window of 0..40 kbar and 700..900 K).
const phase A{"A", {1}, -2000, 0.100L, 3.0L};
const phase B{"B", {1}, -2003, 0.095L, 2.9L};
// 1 kJ above B everywhere: A = C crosses the window, B = C does not.
const phase CB{"C", {1}, -2002, 0.095L, 2.9L};
// Between A and B: all three lines meet at 0 kbar, 500 K and cross the
// window; at 700 K A = C lies at 15 kbar and B = C at -5 kbar.
const phase CM{"C", {1}, -2001, 0.0975L, 2.95L};
// 100 kJ above the others everywhere.
const phase HI{"Hi", {1}, -1900, 0.100L, 3.0L};

class Finder : public retest::FinderTest {
 protected:
  void SetUp() override {
    FinderTest::SetUp();
    window(0, 40, 700, 900);
    DIAGRAMMODE = diagramtype::ptcalc;
  }
  // The search with the terminal captured; ok starts opposite to what is
  // expected of it so that an untouched ok shows.
  static std::string run(bool& ok, const std::string& answers = "") {
    testsupport::Answers in(answers);
    testsupport::Terminal term;
    const std::string f = fatal([&] { ZQRE::CALCRE(ok); });
    EXPECT_EQ(f, "");
    return term.text();
  }
  // Polymorphs all through one point (20 kbar, 800 K) of the window.
  static std::vector<phase> fan(int n) {
    static std::vector<std::string> names;
    names.clear();
    for (int i = 1; i <= n; ++i) names.push_back("p" + std::to_string(i));
    std::vector<phase> list;
    for (int i = 1; i <= n; ++i) {
      const extended S = 0.1L + 0.002L * i, V = 3 - 0.02L * i;
      list.push_back({names[static_cast<std::size_t>(i - 1)].c_str(), {1}, 800 * S - (20 - CONST::PR) * V, S, V});
    }
    return list;
  }
};

// Calc mode 3: reactions crossing the window are kept; the others are
// dropped, and in the Schreinemakers setting their unstable side becomes an
// exclusion that prunes later candidates and earlier rows.
TEST_F(Finder, PhaseDiagramReactions) {
  struct cas {
    const char* what;
    std::vector<phase> phases;
    bool all;
    std::string out;
    std::vector<std::vector<int>> rows;
    smallint nint;
  };
  const std::vector<cas> cases = {
      {"C unstable beside B, found after A = C was kept", {A, B, CB}, false,
       "XX+\nexcluded assemblages | C |\n\nno of reactions = 1, no of intersections = 0\n", {{1, -1, 0}}, 0},
      {"the same, all reactions", {A, B, CB}, true, "XX+\n\n\nno of reactions = 2\n", {{1, -1, 0}, {1, 0, -1}}, 0},
      {"Hi excluded first: its later candidates are not tried", {A, HI, B}, false,
       "+X\nexcluded assemblages | Hi |\n\nno of reactions = 1, no of intersections = 0\n", {{1, 0, -1}}, 0},
      {"three lines through one point", {A, B, CM}, false,
       "XXX\nno excluded assemblages\n\nno of reactions = 3, no of intersections = 1\n",
       {{1, -1, 0}, {1, 0, -1}, {0, 1, -1}}, 1},
      {"X + Y stable against XY nowhere: an excluded assemblage",
       {{"X", {1, 0}, 0, 0.01L, 1}, {"Y", {0, 1}, 0, 0.01L, 1}, {"XY", {1, 1}, -100, 0.02L, 2}}, false,
       "+\nexcluded assemblages | X Y |\n\nno of reactions = 0, no of intersections = 0\n", {}, 0},
  };
  for (const cas& c : cases) {
    const bool twocomp = c.phases[0].comp.size() == 2;
    if (twocomp)
      build({"X", "Y"}, 2, c.phases);
    else
      build({"X"}, 1, c.phases);
    CALCMODE = calcmodetype::phasecalc;
    DOALLREACTIONS = c.all;
    bool ok = false;
    EXPECT_EQ(run(ok), c.out) << c.what;
    EXPECT_TRUE(ok) << c.what;
    ASSERT_EQ(NR, static_cast<smallint>(c.rows.size())) << c.what;
    EXPECT_EQ(NRBIT, NR) << c.what;
    for (smallint k = 1; k <= NR; ++k) {
      EXPECT_EQ(row(k), c.rows[static_cast<std::size_t>(k - 1)]) << c.what << " " << k;
      std::vector<int> inrow;
      for (long j = 1; j <= NNE; ++j)
        if ((*R)(k, j) != 0) inrow.push_back(static_cast<int>(j));
      EXPECT_EQ(members(RBIT[k]), inrow) << c.what << " " << k;
    }
    EXPECT_EQ(NINT, c.nint) << c.what;
    if (NINT == 1) {
      // The triple point: every reaction through it, in order.
      EXPECT_EQ(NIR[1], 3);
      EXPECT_EQ(IR(1, 1) * 100 + IR(1, 2) * 10 + IR(1, 3), 123);
      EXPECT_EQ(members(IBIT[1]), (std::vector<int>{1, 2, 3}));
    }
  }
}

// A new excluded assemblage is never written over an older one: the table
// takes 600, and one more stops the run.
TEST_F(Finder, ExcludedAssemblageTableFull) {
  const std::vector<phase> xy = {{"X", {1, 0}, 0, 0.01L, 1}, {"Y", {0, 1}, 0, 0.01L, 1}, {"XY", {1, 1}, -100, 0.02L, 2}};
  for (smallint held : {599, 600}) {
    build({"X", "Y"}, 2, xy);
    CALCMODE = calcmodetype::phasecalc;
    // Pairs of phases the system does not have: neither inside {X, Y} nor
    // holding it.
    NEX = 0;
    for (smallint i = 4; i <= 90 && NEX < held; ++i)
      for (smallint j = static_cast<smallint>(i + 1); j <= 90 && NEX < held; ++j) EXA[++NEX] = set({i, j});
    bool ok = false;
    testsupport::Terminal term;
    const std::string f = fatal([&] { ZQRE::CALCRE(ok); });
    if (held == 600) {
      EXPECT_EQ(f, "buildexa: too many excluded assemblages");
    } else {
      EXPECT_EQ(f, "");
      EXPECT_EQ(NEX, 600);
      EXPECT_EQ(members(EXA[600]), (std::vector<int>{1, 2}));
      EXPECT_EQ(members(EXA[1]), (std::vector<int>{4, 5}));
    }
    testsupport::resetio();
  }
}

// The exclusions already held wrap their report line after ten names, the
// bars of the second line under the first.
TEST_F(Finder, ExcludedAssemblagesReport) {
  std::vector<phase> list(13, phase{"", {1}, -2000, 0.1L, 3});
  static const std::vector<std::string> names = {"p1", "p2", "p3", "p4",  "p5",  "p6", "p7",
                                                 "p8", "p9", "p10", "p11", "p12", "p13"};
  for (std::size_t i = 0; i < list.size(); ++i) list[i].name = names[i].c_str();
  build({"X"}, 1, list);
  CALCMODE = calcmodetype::phasecalc;
  DOALLREACTIONS = true;
  for (smallint i = 1; i <= 9; ++i) EXEM[i] = i;
  NEX1 = 9;
  EXA[1] = set({10, 11});
  EXA[2] = set({12, 13});
  NEX = 2;
  bool ok = false;
  EXPECT_EQ(run(ok),
            "++++\nexcluded assemblages | p1 | p2 | p3 | p4 | p5 | p6 | p7 | p8 | p9 | p10 p11 |"
            "\n                     | p12 p13 |\n\nno of reactions = 0\n");
}

// A report line longer than a line may be keeps every name: nothing is cut
// in the files, and a terminal that does not wrap shows it whole too.
TEST_F(Finder, ExcludedAssemblagesReportWhole) {
  static std::vector<std::string> names;
  names.clear();
  for (int i = 1; i <= 30; ++i) names.push_back("phase" + std::string(i < 10 ? "0" : "") + std::to_string(i));
  std::vector<phase> list(names.size(), phase{"", {1}, -2000, 0.1L, 3});
  for (std::size_t i = 0; i < list.size(); ++i) list[i].name = names[i].c_str();
  build({"X"}, 1, list);
  CALCMODE = calcmodetype::phasecalc;
  DOALLREACTIONS = true;
  for (smallint i = 1; i <= 30; ++i) EXEM[i] = i;
  NEX1 = 30;
  NEX = 0;
  IO::CONTROLIO.dontwrap = false;  // the terminal shows the line whole
  std::string expected = "\nexcluded assemblages |";
  for (std::size_t i = 0; i < 30; ++i) expected += " " + names[i] + " |";
  expected += "\n\nno of reactions = 0\n";
  bool ok = false;
  EXPECT_EQ(run(ok), expected);
}

// Calc mode 2: marks per candidate, the spread of each kept reaction on the
// terminal, and the end of the search as soon as the set is complete.
TEST_F(Finder, RockReactions) {
  struct cas {
    const char* what;
    std::vector<phase> phases;
    extended sdmax;
    bool rehelp;
    std::string out;
    bool ok;
    smallint nr;
  };
  const std::string done = "\nan independent set of reactions has been calculated\n";
  const std::string part = "\nan INCOMPLETE independent set of reactions has been calculated\n";
  const std::vector<cas> cases = {
      {"complete after two: B = C never tried", {A, B, CM}, 5, false, "reactions : \n|X  1.0\nX  2.0\n" + done, true, 2},
      {"B = C outside first", {B, CM, A}, 5, false, "reactions : \n|0X  1.0\nX  2.0\n" + done, true, 2},
      {"A = C too uncertain", {A, B, CM}, 1.5L, false, "reactions : \n|X  1.0\n:0" + part, false, 1},
      {"B = C dependent on A = B and A = C",
       {A, B, CM, HI},
       5,
       false,
       "reactions : \n|X  1.0\nX  2.0\n0-00" + part,
       false,
       2},
      {"the subsystem described instead of its mark",
       {A, B, CM},
       5,
       true,
       "reactions : \n   X - max 2 (2), A B C  in this system\nX  1.0\nX  2.0\n" + done,
       true,
       2},
      {"as many phases as components", {{"X", {1, 0}}, {"Y", {0, 1}}}, 5, false, "reactions : \n\nno reactions\n",
       false, 0},
  };
  for (const cas& c : cases) {
    if (c.phases[0].comp.size() == 2)
      build({"X", "Y"}, 2, c.phases);
    else
      build({"X"}, 1, c.phases);
    CALCMODE = calcmodetype::rockcalc;
    AVMODE = avtype::avpmode;
    FIXEDT = TLOW;
    SDAVVMAX = c.sdmax;
    REHELP = c.rehelp;
    COV->fill(0);
    (*COV)(1, 1) = 0.01L;  // the first phase: sd 0.1 kJ
    if (c.phases[0].name == std::string("B")) (*COV)(1, 1) = 0, (*COV)(3, 3) = 0.01L;
    bool ok = !c.ok;
    EXPECT_EQ(run(ok), c.out) << c.what;
    EXPECT_EQ(ok, c.ok) << c.what;
    EXPECT_EQ(NR, c.nr) << c.what;
    EXPECT_EQ(INCOMPLETE, c.nr < ONIR) << c.what;
  }
}

// Four hundred fruitless candidates ask once whether to go on.
TEST_F(Finder, NotMuchProgress) {
  std::vector<phase> list;
  static std::vector<std::string> names;
  names.clear();
  for (int i = 1; i <= 30; ++i) names.push_back("q" + std::to_string(i));
  for (int i = 1; i <= 30; ++i) list.push_back({names[static_cast<std::size_t>(i - 1)].c_str(), {1}, -2000 + 10.0L * i, 0.1L, 3});
  const std::string question = "not much progress : exitt ? ";
  for (const char* answer : {"n\n", "y\n"}) {
    build({"X"}, 1, list);
    CALCMODE = calcmodetype::rockcalc;
    AVMODE = avtype::avpmode;
    FIXEDT = TLOW;
    bool ok = answer[0] == 'n';
    const std::string out = run(ok, answer);
    const std::size_t at = out.find(question);
    ASSERT_NE(at, std::string::npos) << answer;
    EXPECT_EQ(out.find(question, at + 1), std::string::npos) << answer;
    const std::size_t marks = std::count(out.begin(), out.end(), '0');
    EXPECT_EQ(marks, answer[0] == 'n' ? 435u : 400u) << answer;
    EXPECT_EQ(ok, answer[0] == 'y') << answer;
    EXPECT_NE(out.find("\nno reactions\n"), std::string::npos);
  }
}

// The full reaction table ends the search incomplete; the full table of
// intersections stops only them.
TEST_F(Finder, TableLimits) {
  struct cas {
    const char* what;
    int phases;
    bool all;
    smallint nr, nint;
    std::string tail;
  };
  const std::vector<cas> cases = {
      {"153 reactions", 18, false, 150, 0,
       "\n\n*** INCOMPLETE set of reactions and intersections ***\n\nno of reactions = 150, no of intersections = 0\n"},
      {"153 reactions, all reactions", 18, true, 150, 0,
       "\n\n*** INCOMPLETE set of reactions ***\n\nno of reactions = 150\n"},
      {"220 triple points", 12, false, 66, 200,
       "\n\n*** INCOMPLETE set of  intersections ***\n\nno of reactions = 66, no of intersections = 200\n"},
  };
  for (const cas& c : cases) {
    build({"X"}, 1, fan(c.phases));
    CALCMODE = calcmodetype::phasecalc;
    DOALLREACTIONS = c.all;
    bool ok = true;
    const std::string out = run(ok);
    EXPECT_FALSE(ok) << c.what;
    EXPECT_EQ(NR, c.nr) << c.what;
    EXPECT_EQ(NINT, c.nint) << c.what;
    ASSERT_GE(out.size(), c.tail.size()) << c.what;
    EXPECT_EQ(out.substr(out.size() - c.tail.size()), c.tail) << c.what;
    EXPECT_EQ(std::count(out.begin(), out.end(), 'X'), c.nr) << c.what;
  }
}

// Rows holding an excluded phase or assemblage leave the tables, with every
// intersection through them; the rest close up with their ln K.
TEST_F(Finder, Reduce) {
  struct cas {
    const char* what;
    std::vector<smallint> exem;
    std::vector<std::vector<smallint>> exa;
    std::vector<int> kept;  // old numbers
    std::vector<std::vector<int>> intersections;  // new numbers
  };
  const std::vector<cas> cases = {
      {"no exclusions", {}, {}, {1, 2, 3, 4}, {{1, 3, 4}, {1, 2, 3}}},
      {"phase 3", {3}, {}, {1, 4}, {}},
      {"assemblage 4 5", {}, {{4, 5}}, {1, 2, 3}, {{1, 2, 3}}},
      {"assemblage 2 3: numbers close up", {}, {{2, 3}}, {1, 3, 4}, {{1, 2, 3}}},
      {"assemblage 1 2 3 holds no reaction", {}, {{1, 2, 3}}, {1, 2, 3, 4}, {{1, 3, 4}, {1, 2, 3}}},
  };
  for (const cas& c : cases) {
    build({"X"}, 1, {{"a", {1}}, {"b", {1}}, {"c", {1}}, {"d", {1}}, {"e", {1}}});
    CALCMODE = calcmodetype::phasecalc;
    const std::vector<std::vector<smallint>> sets = {{1, 2}, {2, 3}, {3, 1}, {4, 5}};
    NR = NRBIT = 4;
    for (smallint k = 1; k <= 4; ++k) {
      const std::vector<smallint>& s = sets[static_cast<std::size_t>(k - 1)];
      for (long j = 1; j <= NCV; ++j) (*R)(k, j) = 0;
      (*R)(k, s[0]) = 1;
      (*R)(k, s[1]) = -1;
      RBIT[k] = set(s);
      ALNK[k] = 10 * k;
    }
    NINT = 2;
    NIR[1] = 3, IR(1, 1) = 1, IR(1, 2) = 3, IR(1, 3) = 4, IBIT[1] = set({1, 2, 3, 4, 5});
    NIR[2] = 3, IR(2, 1) = 1, IR(2, 2) = 2, IR(2, 3) = 3, IBIT[2] = set({1, 2, 3});
    for (smallint p : c.exem) EXEM[++NEX1] = p;
    for (const auto& s : c.exa) EXA[++NEX] = set(s);
    ZQRE::REDUCE(false);
    ASSERT_EQ(NR, static_cast<smallint>(c.kept.size())) << c.what;
    EXPECT_EQ(NRBIT, NR) << c.what;
    for (smallint k = 1; k <= NR; ++k) {
      const int old = c.kept[static_cast<std::size_t>(k - 1)];
      const std::vector<smallint>& s = sets[static_cast<std::size_t>(old - 1)];
      EXPECT_EQ((*R)(k, s[0]), 1) << c.what << " " << k;
      EXPECT_EQ((*R)(k, s[1]), -1) << c.what << " " << k;
      EXPECT_EQ(members(RBIT[k]), members(set(s))) << c.what;
      EXPECT_EQ(ALNK[k], 10 * old) << c.what;
    }
    ASSERT_EQ(NINT, static_cast<smallint>(c.intersections.size())) << c.what;
    for (smallint n = 1; n <= NINT; ++n)
      for (smallint m = 1; m <= 3; ++m)
        EXPECT_EQ(m <= NIR[n] ? IR(n, m) : 0, c.intersections[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(m - 1)])
            << c.what << " " << n;
  }
  // The reaction texts, an ln a variable under its printable label.
  LNAPOS = 2;
  LNANAMEP[1] = "a(b)";
  ZQRE::REDUCE(true);
  EXPECT_EQ(NAME[2], "b");
  EXPECT_NE(RLINES[1].find("a(b)"), std::string::npos) << RLINES[1];
  EXPECT_EQ(INDENTR, static_cast<smallint>(std::max(RLINES[1].size(), RLINES[2].size()) + 2));
}

// Candidate intersections: recorded when three stored reactions lie in
// them, as the union of those reactions' phases; ruled out by exclusions
// and by an intersection already recorded inside them.
TEST_F(Finder, Intersections) {
  std::vector<phase> list(70, phase{"p", {1}});
  build({"X"}, 1, list);
  NR = 4;
  RBIT[1] = set({61, 62});
  RBIT[2] = set({62, 63});
  RBIT[3] = set({61, 63});
  RBIT[4] = set({5, 64});
  ZQRE::CALCI(flags({5, 61, 62, 64}));
  EXPECT_EQ(NINT, 0) << "two reactions only";
  ZQRE::CALCI(flags({5, 61, 62, 63}));
  ASSERT_EQ(NINT, 1);
  EXPECT_EQ(NIR[1], 3);
  EXPECT_EQ(IR(1, 1) * 100 + IR(1, 2) * 10 + IR(1, 3), 123);
  EXPECT_EQ(members(IBIT[1]), (std::vector<int>{61, 62, 63}));

  // Combinations of 4 over the subsystem 5, 61, 62, 63, 64.
  RANKC = 2;
  const bemvector ph = flags({5, 61, 62, 63, 64});
  struct cas {
    const char* what;
    std::vector<smallint> ic;
    std::vector<smallint> exem;
    std::vector<smallint> exa;
    std::vector<int> sel;
    bool skip;
  };
  const std::vector<cas> cases = {
      {"holds the recorded triple", {1, 2, 3, 4}, {}, {}, {5, 61, 62, 63}, true},
      {"holds no recorded set", {1, 2, 3, 5}, {}, {}, {5, 61, 62, 64}, false},
      {"holds an excluded phase", {1, 2, 3, 5}, {64}, {}, {5, 61, 62, 64}, true},
      {"holds an excluded assemblage", {1, 2, 3, 5}, {}, {5, 62}, {5, 61, 62, 64}, true},
      {"an excluded assemblage it does not hold", {1, 2, 3, 5}, {}, {5, 63}, {5, 61, 62, 64}, false},
  };
  for (const cas& c : cases) {
    NEX1 = NEX = 0;
    for (smallint p : c.exem) EXEM[++NEX1] = p;
    if (!c.exa.empty()) EXA[++NEX] = set(c.exa);
    iemvector ic;
    for (std::size_t i = 0; i < c.ic.size(); ++i) ic[static_cast<long>(i + 1)] = c.ic[i];
    bemvector sel;
    bool skip = !c.skip;
    ZQRE::CALCPHASESI(ic, ph, sel, skip);
    EXPECT_EQ(skip, c.skip) << c.what;
    std::vector<int> chosen;
    for (long j = 1; j <= NNE; ++j)
      if (sel[j]) chosen.push_back(static_cast<int>(j));
    EXPECT_EQ(chosen, c.sel) << c.what;
  }
}

// How many reactions a subsystem still owes the independent set: the kept
// reactions are read from their rows, not from the sets of reactions tried.
TEST_F(Finder, SubsystemTarget) {
  build({"X", "Y"}, 2, {{"a", {1, 0}}, {"b", {1, 0}}, {"c", {0, 1}}, {"d", {0, 1}}, {"e", {1, 1}}});
  CALCMODE = calcmodetype::rockcalc;
  // Kept: a = b. Tried and dropped: c = d, whose set stays first in RBIT.
  NR = 1;
  (*R)(1, 1) = 1, (*R)(1, 2) = -1;
  NRBIT = 2;
  RBIT[1] = set({3, 4});
  RBIT[2] = set({1, 2});
  ONIR = 3;
  struct cas {
    const char* what;
    std::vector<smallint> ph;
    smallint rankc, k;
    bool go;
    smallint old, target;
  };
  const std::vector<cas> cases = {
      {"a b: its one reaction is kept", {1, 2}, 1, 2, false, 1, 1},
      {"c d: still owed", {3, 4}, 1, 2, true, 0, 1},
      {"all: two more owed", {1, 2, 3, 4, 5}, 2, 2, true, 1, 3},
      {"c d before the last subset, e unused elsewhere", {3, 4}, 1, 1, true, 0, 1},
  };
  for (const cas& c : cases) {
    const bemvector ph = flags(c.ph);
    ZQRE::NPHSUB = static_cast<smallint>(c.ph.size());
    RANKC = c.rankc;
    EXPECT_EQ(ZQRE::CALCLNIR(ph, c.k), c.go) << c.what;
    EXPECT_EQ(ZQRE::NRSUBOLD, c.old) << c.what;
    EXPECT_EQ(ZQRE::NRSUBTARGET, c.target) << c.what;
  }
  // With one reaction missing and a phase unused outside, the subsystem
  // leaves it to a later one.
  ONIR = 2;
  ZQRE::NPHSUB = 2;
  RANKC = 1;
  EXPECT_FALSE(ZQRE::CALCLNIR(flags({3, 4}), 1));
  // With two missing, a phase unused outside, and a subsystem owing three
  // (its size set by hand) but holding only two unused phases, it asks for
  // two.
  ONIR = 3;
  ZQRE::NPHSUB = 4;
  EXPECT_TRUE(ZQRE::CALCLNIR(flags({3, 4}), 1));
  EXPECT_EQ(ZQRE::NRSUBTARGET, 2);
}

}  // namespace
