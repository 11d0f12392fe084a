// Every place a user types or gives a pressure or temperature (answers,
// script lines, calc mode 9's experiments), and the a-x file's van Laar
// sizes: a value no calculation can take (T at or below -273.15 C, P at or
// below 0 kbar, a size at or below 0) ends the run naming it as the user's
// fault, before anything is calculated from it. Where the reader has a limit
// of its own and handles what lies below it (a default counted, a clamp, a
// question asked again, a guess switched off), that handling stands, and
// only what the calculation then takes is refused.
#include <cmath>
#include <cstdlib>
#include <functional>

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

std::string logof(const e2e::Run& r) {
  const auto log = r.files.find("jx-log.txt");
  return log == r.files.end() ? "" : log->second;
}

struct Place {
  std::string stop;  // where-word and the value's name, as the stop gives them
  char what;         // P, T, K(elvin) or s(ize)
  std::string fixture;
  std::map<std::string, std::string> files;  // "@" stands for the value, in these and the answers
  std::string answers;
  std::string program = SOLVARINTH_EXE;
  // Where the reader has a limit of its own: a text of the log that tells
  // how it handled every value below the limit (a default counted, a clamp,
  // a question asked again, a switch turned off), so that no value below is
  // refused; and the limit itself, which the reader takes as it stands.
  std::string handled = "";
  std::string limit = "";
  std::vector<std::string> below = {};  // in place of the usual values below
  bool quiet = false;  // the handling writes nothing: the limit gives the handled text too
};

// The loop's point at 5 kbar and 600 C (own closed form in loop_test.cpp).
const std::string looppoint = "\n   5.000   600.000    0.4218    0.5468\n";

TEST(PhysicalValues, EveryPlaceRefusesAValueNoCalculationCanTake) {
  const std::string util = SOLVARINTH_UTILITYRUN, exe = SOLVARINTH_EXE, tb = fixture("utilities/jx-tb.txt");
  const std::string degc = "\xA1" "C", table = "2\n1\n5\n500\n";
  const auto tbwith = [&](const std::string& more) {
    return std::map<std::string, std::string>{{"jx-tb.txt", replaced(tb, "muval PT", more + "muval PT")}};
  };
  // the a-x P and T typed, then the window of a calculation of the type
  const auto calctype = [](int mode, int type) { return rock(mode, "calctype " + std::to_string(type) + "\n" + ax); };
  std::map<std::string, std::string> typedt = loop("");
  typedt["jx-lp.txt"] = replaced(typedt["jx-lp.txt"], "calcT 600\n", "calcT no\n");
  const Place places[] = {
      {"extractem : P for a-x", 'P', "rock", rock(2, "calctype 1\n" + window), "@\n500\n"},
      {"extractem : T for a-x", 'T', "rock", rock(2, "calctype 1\n" + window), "5\n@\n"},
      {"extractem : P for a-x (from script)", 'P', "rock", rock(3, "calctype 1\n" + window + "ptforaxe @ 500\n"), ""},
      {"extractem : T for a-x (from script)", 'T', "rock", rock(3, "calctype 1\n" + window + "ptforaxe 5 @\n"), ""},
      // the lists and windows of calc modes 1 and 2, clamped to the overall
      // window where they can be, refused as the calculation takes them
      {"docalcpt : T high", 'T', "rock", calctype(2, 1), "@\n"},
      {"docalcpt : T low", 'T', "rock", calctype(2, 1), "@ 600\n", exe,
       "T(low) must be greater than 300.0: this used", "300"},
      {"docalcpt : P low", 'P', "rock", calctype(2, 2), "@ 20\n"},
      {"docalcpt : P low", 'P', "rock", calctype(2, 2), "@ 8\n", exe,
       "P(low) must be greater than 1.0: this used", "1"},
      {"docalcpt : T low", 'T', "loop", typedt, "@ 800\n"},
      {"docalcpt : T low", 'T', "loop", typedt, "@ 650\n", exe, "T(low) must be greater than 400.0: this used", "400"},
      // calc mode 3's P-T section asks again; its P-ln a and T-ln a windows
      // are clamped or asked again; their fixed T and P are taken as typed
      {"docalcpt : T", 'T', "rock", calctype(3, 1), "n\n@\n400 600\n", exe,
       "T(low) must be greater than 10 : try again", "9.85"},
      {"diagram : P low", 'P', "rock", calctype(3, 5), "aa\nn\n@ 20 -3 0\n"},
      {"diagram : P low", 'P', "rock", calctype(3, 5), "aa\nn\n@ 8 -3 0\n", exe,
       "P(low) must be greater than 1.0: this used", "1"},
      {"diagram : fixed T", 'T', "rock", calctype(3, 5), "aa\nn\n1 8 -3 0\n0.5\n@\n"},
      {"diagram : T high", 'T', "rock", calctype(3, 4), "aa\nn\n300 @ -3 0\n300 700\n", exe,
       "T(low) must be less than T(high) : try again", "301"},
      {"diagram : T low", 'T', "rock", calctype(3, 4), "aa\nn\n@ 700 -3 0\n300 700\n", exe,
       "T(low) must be greater than 10 : try again", "9.85"},
      {"diagram : fixed P", 'P', "rock", calctype(3, 4), "aa\nn\n300 700 -3 0\n0.5\n@\n"},
      // the script's windows and guesses: a default counted, or the guess
      // switched off and the point as without it
      {"reading scripts : diagramPT P", 'P', "rock", rock(3, "diagramPT @ 8 300 700\n"), "", exe,
       "for diagramPT, the bottom of the P range needs to be greater than 0.0009 kbar; default used", "0.0009"},
      {"reading scripts : diagramPT T", 'T', "rock", rock(3, "diagramPT 1 8 @ 700\n"), "", exe,
       "for diagramPT, the bottom of the T range needs to be greater than 10 " + degc + "; default used", "9.85"},
      {"reading scripts : calcP P", 'P', "rock", rock(3, window + "calcP @\n"), "", exe,
       "for calcP, the one P needs to be greater than 1.0 kbar; default used", "1"},
      {"reading scripts : calcT T", 'T', "rock", rock(3, window + "calcT @ 600\n"), "", exe,
       "for calcT, the bottom of the T range needs to be greater than 10 " + degc + "; default used", "9.85"},
      {"reading scripts : calcP P", 'P', "utilities", tbwith("calcP @ 5\n"), "n\n" + table, util,
       "for calcP, the bottom of the P range needs to be greater than 1.0 kbar; default used", "1"},
      {"reading scripts : calcT T", 'T', "utilities", tbwith("calcT @ 500\n"), "n\n" + table, util,
       "for calcT, the bottom of the T range needs to be greater than 10 " + degc + "; default used", "9.85"},
      {"reading scripts : ptguess P", 'P', "loop", loop("ptguess @ 600\n"), "", exe, looppoint, "0.0009", {}, true},
      {"reading scripts : ptguess T", 'T', "loop", loop("ptguess 5 @\n"), "", exe, looppoint, "9.85", {}, true},
      {"reading scripts : batch P", 'P', "loop", loop("batch bet alp 2 1 1 @ 600 1 1 0 0\n"), ""},
      {"reading scripts : batch T", 'T', "loop", loop("batch bet alp 2 1 1 5 @ 1 1 0 0\n"), ""},
      // the utilities: muval's PT, the tables' grid and their linearisation point
      {"reading scripts : muval P", 'P', "utilities", {{"jx-tb.txt", replaced(tb, "PT 5", "PT @")}}, "3\nn\n\n", util},
      {"reading scripts : muval T", 'T', "utilities", {{"jx-tb.txt", replaced(tb, "PT 5 500", "PT 5 @")}}, "3\nn\n\n",
       util},
      {"PTgrid : P", 'P', "utilities", {}, "2\n1\n@\n500\n", util},
      {"PTgrid : T", 'T', "utilities", {}, "2\n3\n5\n@ 500\n", util},
      // a range's first point of 0 kbar or 0 C is 1 bar or 25 C
      {"PTgrid : P", 'P', "utilities", {}, "2\n1\n@ 10 5\n500\n", util, "\n     0.0     -0.005\n", "", {"0"}},
      {"PTgrid : P", 'P', "utilities", {}, "2\n1\n@ 10 5\n500\n", util, "", "", {"-5"}},
      {"PTgrid : T", 'T', "utilities", {}, "2\n3\n5\n@ 500 100\n", util, "C      25     100     200", "", {"0"}},
      {"rthermo : P", 'P', "utilities", {}, "2\n4\n5\n500\n@\n500\n", util},
      {"rthermo : T", 'T', "utilities", {}, "2\n4\n5\n500\n5\n@\n", util},
      {"readxy : P of a bracket of experiment 1 (uc)", 'P', "lsq", fit("1 @ 520 0"), "2\n"},
      {"readxy : T of a bracket of experiment 1 (uc)", 'T', "lsq", fit("1 5 @ 0"), "2\n"},
      // a bracket of code 2 is read and dropped: the fit as without it (its
      // pairs measured from their code-0 halves, as in the fit of this file)
      {"readxy : P of a bracket of experiment 1 (uc)", 'P', "lsq", fit("2 @ 530 0 0.6\n1 5 520 0"), "2\n", exe,
       "\n1:  0.036\n2:  0.046\n"},
      {"readxy : the temperature of oxide calorimetry datum 1", 'K', "lsq", fit("1 5 520 0", "1 ma pa\n-1 1 -10 0.5 @\n"),
       "2\n"},
      {"setupphases : van Laar size a(aa) of sol", 's', "rock", {{"jx-abax.txt", vanlaar("@ 0 0")}}, "1\n"},
  };
  const auto go = [](const Place& p, const std::string& v) {
    std::map<std::string, std::string> files;
    for (const auto& [name, text] : p.files) files[name] = with(text, v);
    return e2e::run({p.fixture}, with(p.answers, v), files, {}, p.program);
  };
  for (const Place& p : places) {
    const std::string c = "\xA1" "C";  // the program's own degree sign, the utilities' stops too
    std::vector<std::string> values = p.below;
    if (values.empty())
      values = p.what == 'P' || p.what == 'K' ? std::vector<std::string>{"0", "-5"}
               : p.what == 's'                ? std::vector<std::string>{"0", "-1"}
                                              : std::vector<std::string>{"-273.15", "-400"};
    for (const std::string& v : values) {
      SCOPED_TRACE(p.stop + " " + v + " " + p.answers);
      const e2e::Run r = go(p, v);
      const std::string why = p.what == 'P'   ? " kbar: a pressure must be above 0 kbar"
                              : p.what == 's' ? ": a size must be above 0"
                              : p.what == 'K' ? " K: at or below absolute zero (0 K)"
                                              : c + ": at or below absolute zero (-273.15" + c + ")";
      EXPECT_FALSE(has(r.out, "shouldn't have happened")) << r.out;
      if (p.handled.empty()) {
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_TRUE(has(r.out, "\n-- run bombed in " + p.stop + " = " + v + why + "\n")) << r.out;
        continue;
      }
      EXPECT_FALSE(has(r.out, "-- run bombed in " + p.stop + " = ")) << r.out;
      EXPECT_TRUE(has(r.out + logof(r), p.handled)) << r.out;
    }
    if (p.limit.empty()) continue;
    SCOPED_TRACE(p.stop + " at the limit " + p.limit);
    const e2e::Run r = go(p, p.limit);
    EXPECT_FALSE(has(r.out, "-- run bombed in " + p.stop + " = ")) << r.out;
    EXPECT_EQ(has(r.out + logof(r), p.handled), p.quiet) << r.out;
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
  // -4 + P/2 is exactly 0 there
  const e2e::Run zero = e2e::run({"rock"}, "1\n", {{"jx-abax.txt", vanlaar("-4 0 0.5")}});
  EXPECT_TRUE(has(zero.out, "\n-- run bombed in calcactivities : van Laar size of aa in sol = 0 at 8.0 kbar, 600\xA1"
                            "C: a size must be above 0\n"))
      << zero.out;
}

// The loop of alp and bet in calc mode 1 at 5 kbar, 600 C.
std::map<std::string, std::string> loopat(const std::string& ax, const std::string& ds) {
  return {{"jx-lpax.txt", ax}, {"jx-ds7lp.txt", ds}, {"jx-lp.txt", loop("")["jx-lp.txt"]}};
}
// The solvus pair mx1 and mx2 of tests/fixtures/loop as van Laar phases,
// sB's size of mx1 given, at 5 kbar, 626.85 C; with mc, as a Monte Carlo
// series on an mc line of sB's size.
std::map<std::string, std::string> solvus(const std::string& size, const std::string& mc = "") {
  std::string ax = fixture("loop/jx-mxax.txt");
  const std::string w = "  sf\n  W(sA,sB) 20 0 0.1\n", vl = "  asf\n  W(sA,sB) 20 0 0.1\n  a(sA) 1 0 0\n  a(sB) ";
  ax = replaced(replaced(ax, w, vl + size + "\n"), w, vl + "1 0 0\n");
  const std::string head = "axfile mxax\nwith mx1 mx2\ninexcess\ndiagramPT 4 10 400 700\npseudosection no\n";
  const std::string script =
      mc.empty() ? head + "xyzguess x(mx1) 0.1\nxyzguess x(mx2) 0.9\ncalcP 5\ncalcT 626.85\nautoexit\n*\n"
                 : head + "batchxyzguess startblock\nbatchxyzguess x(mx1) 0.1\nbatchxyzguess x(mx2) 0.9\n"
                          "batch mx1 mx2 2 1 1 5 626.85 1 1 0 0\nmc mx1 " + mc +
                          "\nmcit 5 5\ndebuglevel 0\nautoexit\n*\n";
  return {{"jx-mxax.txt", ax}, {"jx-lp.txt", script}};
}
// A ternary of MgO, FeO and pr along an isopleth at 600 C, mu(FeO) given:
// where the square of a residual leaves the number range.
std::map<std::string, std::string> ternary(const std::string& mu) {
  return {{"jx-lrax.txt", "mix 3 1\n  x(mix) 0.3\n  y(mix) 0.3\n  p(ma) 1 1 1 2 -1 1 -1 2\n  p(mb) 1 1 0 1 1 1\n"
                          "  p(pr) 1 1 0 1 1 2\n  ideal\n  3\n  xA 1 1 1 2 -1 1 -1 2\n  xB 1 1 0 1 1 1\n"
                          "  xC 1 1 0 1 1 2\n  ma 1 1 xA 1\n  mb 1 1 xB 1\n  pr 1 1 xC 1\npz\n*\n"},
          {"jx-lr.txt", "axfile lrax\nwith mix\ninexcess\nmu FeO " + mu + "\nautoexit yes\nisopleth x(mix) 0.2\n"
                        "calcP 1 12\ncalctatp no\ncalcT 600\ndiagramPT 1 12 300 1000\npseudosection no\n*\n"}};
}

long double number(const std::string& v) { return std::strtold(v.c_str(), nullptr); }

// What a value written at one place of the files does: computed ("") or
// the stop it gives.
struct Number {
  std::string what, fixture;
  std::function<std::map<std::string, std::string>(const std::string&)> files;
  std::function<std::string(const std::string&)> stop;
  std::string answers = "";
};

// Every number of a made-up a-x file, script and data set at, inside and
// beyond its range: a value no calculation can take stops naming it, any
// other runs to a result or to "nothing in range"; never the internal-fault
// text. The stops are written out from the ranges, not from the program.
TEST(PhysicalValues, EveryNumberOfTheFilesAtInsideAndBeyondItsRange) {
  const std::string lpax = fixture("loop/jx-lpax.txt"), lpds = fixture("loop/jx-ds7lp.txt"),
                    abax = fixture("rock/jx-abax.txt");
  const auto lp = [&](const std::string& ax, const std::string& ds = "") { return loopat(ax, ds.empty() ? lpds : ds); };
  // aA's row of H, S, V and Cp with its k-th number v
  const auto aAdata = [&](int k, const std::string& v) {
    std::string row[7] = {"-1000.0", "0.100", "2.00", "0", "0", "0", "0"}, from, to;
    for (int i = 0; i < 7; ++i) {
      from += (i ? " " : "") + row[i];
      to += (i ? " " : "") + (i == k ? v : row[i]);
    }
    return replaced(lpds, from, to);
  };
  const auto computed = [](const std::string&) { return std::string(); };
  // a stored value named as written, or beyond any field in exponent form
  const auto shown = [](const std::string& v) { return v == "-1e3000" ? std::string("-1.0000e+3000") : v; };
  // a constant of an ideal-mixing term, above 0
  const auto constant = [](const std::string& em, const std::string& ph) {
    return [=](const std::string& v) {
      return number(v) > 0 ? "" : "setupphases : normalisation constant of " + em + " in " + ph + " = " + v +
                                      ": a constant must be above 0";
    };
  };
  // a power, a rational above 0 whose terms a smallint holds (1e-320 is the
  // rational 0)
  const auto power = [](const std::string& v) -> std::string {
    if (std::fabs(number(v)) > 32767) return "reading : a rational beyond 32767/1; got: " + v +
                                             " -  power for 1st sf term in tmf for aA";
    if (number(v) >= 0.001L) return "";
    return "setupphases : power of xA in the ideal-mixing term of aA in alp = " + v + ": a power must be above 0";
  };
  // xA three times, its powers summed past a smallint (1.5 + 2 x 16384 = 32769.5, to even 32770)
  const auto powersum = [&](const std::string& v) {
    return power(v).empty() ? "setupphases : power of xA in the ideal-mixing term of aA in alp = 32770: a power must "
                              "be at most 32767" : power(v);
  };
  // sB's size 1 + 5 c at 5 kbar, at or below 0 for c = -1 and -1e3000
  const auto ptsize = [](const std::string& v) -> std::string {
    const std::map<std::string, std::string> size = {{"-1", "-4.0000"}, {"-1e3000", "-5.0000e+3000"}};
    if (!size.count(v)) return "";
    return "calca : van Laar size of sB in mx1 = " + size.at(v) + " at 5.0 kbar, 627\xA1" "C: a size must be above 0";
  };
  const Number numbers[] = {
      {"constant, calc mode 1", "loop",
       [&](const std::string& v) { return lp(replaced(lpax, "aA 1 1", "aA " + v + " 1")); },
       constant("aA", "alp")},
      {"constant, calc mode 3", "rock",
       [&](const std::string& v) {
         auto f = rock(3, "calctype 1\n" + ax + "calcTatP yes\ncalcP 1 8 1\n");
         f["jx-abax.txt"] = replaced(abax, "bb 1 1", "bb " + v + " 1");
         return f;
       },
       constant("bb", "sol")},
      {"constant, calc mode 9", "lsq",
       [&](const std::string& v) {
         auto f = fit("1 5 520 0");
         f["ds-axgr.txt"] = replaced(fixture("lsq/ds-axgr.txt"), "mb 1 1", "mb " + v + " 1");
         return f;
       },
       // an activity beyond any the bracket allows: the experiment does not
       // converge, and the data set is not written
       [&](const std::string& v) {
         const std::string s = constant("mb", "ss")(v);
         return s.empty() && v != "1.5" ? "writing dataset : some \"not converged\" present (dataset not written)" : s;
       },
       "2\nn\n"},
      {"power", "loop", [&](const std::string& v) { return lp(replaced(lpax, "aA 1 1 xA 1", "aA 1 1 xA " + v)); },
       power},
      {"power sum", "loop",
       [&](const std::string& v) { return lp(replaced(lpax, "aA 1 1 xA 1", "aA 1 3 xA " + v + " xA 16384 xA 16384")); },
       powersum},
      {"H", "loop", [&](const std::string& v) { return lp(lpax, aAdata(0, v)); }, computed},
      {"S", "loop", [&](const std::string& v) { return lp(lpax, aAdata(1, v)); }, computed},
      {"V", "loop", [&](const std::string& v) { return lp(lpax, aAdata(2, v)); }, computed},
      {"Cp a", "loop", [&](const std::string& v) { return lp(lpax, aAdata(3, v)); }, computed},
      // 1 + 5 c at 5 kbar, from the a-x file or from an mc line
      {"size P term", "loop", [](const std::string& v) { return solvus("1 0 " + v); }, ptsize},
      {"mc size P term", "loop", [](const std::string& v) { return solvus("1 0 0", "c a(sB) " + v + " 0"); }, ptsize},
      {"size", "loop", [](const std::string& v) { return solvus(v + " 0 0"); },
       [&](const std::string& v) {
         const std::string stop = "setupphases : van Laar size a(sB) of mx1 = " + shown(v);
         return number(v) > 0 ? "" : stop + ": a size must be above 0";
       }},
      {"mc size", "loop", [](const std::string& v) { return solvus("1 0 0", "a a(sB) " + v + " 0"); },
       [&](const std::string& v) {
         const std::string stop = "read : in mc, van Laar size a(sB) of mx1 = " + shown(v);
         return number(v) > 0 ? "" : stop + ": a size must be above 0";
       }},
      // 0 is the value asked for at the terminal
      {"mu", "lnarow", [](const std::string& v) { return ternary(v == "0" ? "-1195" : v); }, computed},
  };
  for (const Number& n : numbers)
    for (const std::string v : {"0", "-1", "1.5", "1e-320", "1e3000", "-1e3000"}) {
      SCOPED_TRACE(n.what + " " + v);
      const e2e::Run r = e2e::run({n.fixture}, n.answers, n.files(v));
      const std::string stop = n.stop(v);
      EXPECT_FALSE(has(r.out, "shouldn't have happened")) << r.out;
      if (stop.empty()) {
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_FALSE(has(r.out, "bombed")) << r.out;
      } else {
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_TRUE(has(r.out, "\n-- run bombed in " + stop + "\n")) << r.out;
      }
    }
}

}  // namespace
