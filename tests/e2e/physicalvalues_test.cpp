// Every place a user types or gives a pressure or temperature (answers,
// script lines, calc mode 9's experiments), and the a-x file's van Laar
// sizes: a value no calculation can take (T at or below -273.15 C, P at or
// below 0 kbar, a size at or below 0) ends the run naming it as the user's
// fault, before anything is calculated from it.
#include "harness.h"

namespace {

using e2e::has;

std::string fixture(const std::string& path) { return e2e::slurp(e2e::fs::path(SOLVARINTH_FIXTURES) / path); }

// Every "@" of text replaced by v.
std::string with(std::string text, const std::string& v) {
  for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + v.size()))
    text.replace(at, 1, v);
  return text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

// The made-up binary sol of aa and bb with pure cc (tests/fixtures/rock) in
// calc mode 2 or 3, with more script lines.
std::map<std::string, std::string> rock(int mode, const std::string& more) {
  return {{"jx-prefs.txt", "dsfile 7ab\nscriptfile qt\ncalcmode " + std::to_string(mode) + "\n"},
          {"jx-qt.txt", "axfile abax\nwith sol cc\nautoexit yes\ndataok yes\nmaxsdp yes 20\ninexcess\n"
                        "schreinemakers no\n" + more + "*\n"}};
}
const std::string window = "diagramPT 1 8 300 700\n", ax = "ptforaxe 5 500\n" + window;
// The loop of alp and bet (tests/fixtures/loop) in calc mode 1.
std::map<std::string, std::string> loop(const std::string& more) {
  return {{"jx-lp.txt", "axfile lpax\nwith bet alp\ninexcess\ndiagramPT 4 10 400 700\npseudosection no\ncalcP 5\n"
                        "calcT 600\nbatchxyzguess startblock\nbatchxyzguess x(alp) 0.4\nbatchxyzguess x(bet) 0.5\n" +
                            more + "autoexit\n*\n"}};
}
// The fit of tests/fixtures/lsq with a bracket's first words, and an oxide
// calorimetry datum, as given.
std::map<std::string, std::string> fit(const std::string& bracket, const std::string& oxide = "") {
  const std::string xp = replaced(fixture("lsq/ds-xpgr.txt"), "1 5 520 0", bracket);
  return {{"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix gr\naxsuffix gr\nxpsuffix gr\n*\n"},
          {"ds-xpgr.txt", replaced(xp, "% oxide calorimetry\n", "% oxide calorimetry\n" + oxide)}};
}
// sol as a van Laar phase whose size of aa is given.
std::string vanlaar(const std::string& aa) {
  const std::string asf = replaced(fixture("rock/jx-abax.txt"), "  sf\n", "  asf\n");
  return replaced(asf, "  2\n", "  a(aa) " + aa + "\n  a(bb) 1 0 0\n  2\n");
}

struct Place {
  std::string stop;  // where-word and the value's name, as the stop gives them
  char what;         // P, T (t in UTF-8), K(elvin) or s(ize)
  std::string fixture;
  std::map<std::string, std::string> files;  // "@" stands for the value, in these and the answers
  std::string answers;
  std::string program = SOLVARINTH_EXE;
};

TEST(PhysicalValues, EveryPlaceRefusesAValueNoCalculationCanTake) {
  const std::string util = SOLVARINTH_UTILITYRUN, tb = fixture("utilities/jx-tb.txt");
  const Place places[] = {
      {"extractem : P for a-x", 'P', "rock", rock(2, "calctype 1\n" + window), "@\n500\n"},
      {"extractem : T for a-x", 'T', "rock", rock(2, "calctype 1\n" + window), "5\n@\n"},
      {"extractem : P for a-x (from script)", 'P', "rock", rock(3, "calctype 1\n" + window + "ptforaxe @ 500\n"), ""},
      {"extractem : T for a-x (from script)", 'T', "rock", rock(3, "calctype 1\n" + window + "ptforaxe 5 @\n"), ""},
      // calc mode 2's lists: average P at typed T, average T at typed P
      {"docalcpt : T", 'T', "rock", rock(2, "calctype 1\n" + ax), "@\n"},
      {"docalcpt : P", 'P', "rock", rock(2, "calctype 2\n" + ax), "@ 8\n"},
      // calc mode 3's P-ln a and T-ln a windows and their fixed T and P
      {"diagram : P low", 'P', "rock", rock(3, "calctype 5\n" + ax), "aa\nn\n@ 8 -3 0\n"},
      {"diagram : fixed T", 'T', "rock", rock(3, "calctype 5\n" + ax), "aa\nn\n1 8 -3 0\n0.5\n@\n"},
      {"diagram : T high", 'T', "rock", rock(3, "calctype 4\n" + ax), "aa\nn\n300 @ -3 0\n"},
      {"diagram : fixed P", 'P', "rock", rock(3, "calctype 4\n" + ax), "aa\nn\n300 700 -3 0\n0.5\n@\n"},
      {"reading scripts : diagramPT P", 'P', "rock", rock(3, "diagramPT @ 8 300 700\n"), ""},
      {"reading scripts : diagramPT T", 'T', "rock", rock(3, "diagramPT 1 8 @ 700\n"), ""},
      {"reading scripts : calcP P", 'P', "rock", rock(3, window + "calcP @\n"), ""},
      {"reading scripts : calcT T", 'T', "rock", rock(3, window + "calcT @ 600\n"), ""},
      {"reading scripts : ptguess P", 'P', "loop", loop("ptguess @ 600\n"), ""},
      {"reading scripts : ptguess T", 'T', "loop", loop("ptguess 5 @\n"), ""},
      {"reading scripts : batch P", 'P', "loop", loop("batch bet alp 2 1 1 @ 600 1 1 0 0\n"), ""},
      {"reading scripts : batch T", 'T', "loop", loop("batch bet alp 2 1 1 5 @ 1 1 0 0\n"), ""},
      // the utilities: muval's PT, the tables' grid and their linearisation point
      {"reading scripts : muval P", 'P', "utilities", {{"jx-tb.txt", replaced(tb, "PT 5", "PT @")}}, "3\nn\n\n", util},
      {"reading scripts : muval T", 'T', "utilities", {{"jx-tb.txt", replaced(tb, "PT 5 500", "PT 5 @")}}, "3\nn\n\n",
       util},
      {"PTgrid : P", 'P', "utilities", {}, "2\n1\n@\n500\n", util},
      {"PTgrid : T", 't', "utilities", {}, "2\n3\n5\n@ 500\n", util},
      {"rthermo : P", 'P', "utilities", {}, "2\n4\n5\n500\n@\n500\n", util},
      {"rthermo : T", 't', "utilities", {}, "2\n4\n5\n500\n5\n@\n", util},
      {"readxy : P of a bracket of experiment 1 (uc)", 'P', "lsq", fit("1 @ 520 0"), "2\n"},
      {"readxy : T of a bracket of experiment 1 (uc)", 'T', "lsq", fit("1 5 @ 0"), "2\n"},
      {"readxy : the temperature of oxide calorimetry datum 1", 'K', "lsq", fit("1 5 520 0", "1 ma pa\n-1 1 -10 0.5 @\n"),
       "2\n"},
      {"setupphases : van Laar size a(aa) of sol", 's', "rock", {{"jx-abax.txt", vanlaar("@ 0 0")}}, "1\n"},
  };
  for (const Place& p : places) {
    // T in the program's degree sign, t in the utilities' UTF-8 one
    const std::string c = (p.what == 't' ? "\xC2\xB0" : "\xA1") + std::string("C");
    for (const std::string& v : p.what == 'P' || p.what == 'K' ? std::vector<std::string>{"0", "-5"}
                                : p.what == 's'                  ? std::vector<std::string>{"0", "-1"}
                                                                 : std::vector<std::string>{"-273.15", "-400"}) {
      SCOPED_TRACE(p.stop + " " + v);
      std::map<std::string, std::string> files;
      for (const auto& [name, text] : p.files) files[name] = with(text, v);
      const e2e::Run r = e2e::run({p.fixture}, with(p.answers, v), files, {}, p.program);
      const std::string why = p.what == 'P'   ? " kbar: a pressure must be above 0 kbar"
                              : p.what == 's' ? ": a size must be above 0"
                              : p.what == 'K' ? " K: at or below absolute zero (0 K)"
                                              : c + ": at or below absolute zero (-273.15" + c + ")";
      EXPECT_EQ(r.status, 1) << r.out;
      EXPECT_TRUE(has(r.out, "\n-- run bombed in " + p.stop + " = " + v + why + "\n")) << r.out;
      EXPECT_FALSE(has(r.out, "shouldn't have happened")) << r.out;
    }
  }
}

// With "negp" a P for a-x of -5 kbar is taken as it always was, one below
// -50 is refused; muval without its PT line is refused, not run at 0 K; a
// size that changes with P is checked at the P and T of the a-x: 1 - P/4
// is -1 at the fixture's 8 kbar.
TEST(PhysicalValues, NegpMuvalWithoutPTAndASizeThatPassesZero) {
  const auto negp = [](const std::string& p) {
    return e2e::run({"rock"}, "", rock(3, "negp\ncalctype 1\n" + window + "ptforaxe " + p + " 500\n")).out;
  };
  EXPECT_FALSE(has(negp("-5"), "bombed in extractem")) << negp("-5");
  EXPECT_TRUE(has(negp("-60"), "\n-- run bombed in extractem : P for a-x (from script) = -60 kbar: below -50 kbar, "
                               "the lowest pressure with negp\n"));
  const e2e::Run nopt = e2e::run({"utilities"}, "3\nn\n\n", {{"jx-tb.txt", replaced(fixture("utilities/jx-tb.txt"),
                                                                                      "muval PT 5 500\n", "")}},
                                 {}, SOLVARINTH_UTILITYRUN);
  EXPECT_TRUE(has(nopt.out, "\n-- run bombed in acalc : muval gives no PT\n")) << nopt.out;
  const e2e::Run r = e2e::run({"rock"}, "1\n", {{"jx-abax.txt", vanlaar("1 0 -0.25")}});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.out, "\n-- run bombed in calcactivities : van Laar size of aa in sol = -1.0000 at 8.0 kbar, 600\xA1"
                         "C: a size must be above 0\n"))
      << r.out;
}

}  // namespace
