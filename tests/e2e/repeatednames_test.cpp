// Names written twice in the lists a calc-mode-1 run reads from its script
// or at its prompts: with the same value the run is the run with the name
// written once, with another value it stops naming the repeat.
//
// alloop: the MgO-FeO loop of two one-site ideal solutions al and be, bulk
// MgO:FeO = 65:35. With G = H - TS + (P - 0.001) V of the data set rows the
// lines at 4, 6 and 8 kbar are roots of the two exchange equalities and
// (modes) the mass balance m x(al) + (1 - m) x(be) = 0.35, worked out apart
// in mpmath to 30 digits:
//   mode of al 0.3: 667.71936, 718.13616, 773.22844 C;
//   mode of al 0:   693.45355, 734.77816, 781.36141 C;
//   x(al) 0.3 (no bulk): none at 4 kbar, 700.00019 C at 6, 782.23406 C at 8.
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

using e2e::has;

namespace {

std::string loopscript(const std::string& lines, bool bulk) {
  return "axfile alax\nwith al be\ninexcess\ndiagramPT 2 10 400 1100\ncalcTatP yes\ncalcP 4 8 2\n" +
         std::string(bulk ? "pseudosection\nbulk MgO FeO\nbulk 65 35\n" : "pseudosection no\n") + lines +
         "modebox no\nautoexit yes\n*\n";
}

// P and T of each result line, as printed: the rows under each table head
// up to the next empty line, other rows (modes, potentials) passed over.
std::vector<std::pair<double, double>> points(const std::string& out) {
  std::vector<std::pair<double, double>> rows;
  const std::string head = " P(kbar)     T(";
  const std::regex row("^ +([0-9]+\\.[0-9]{3}) +([0-9]+\\.[0-9]{3}) ");
  for (std::size_t at = out.find(head); at != std::string::npos; at = out.find(head, at + 1)) {
    std::istringstream in(out.substr(out.find('\n', at) + 1));
    std::smatch m;
    for (std::string line; std::getline(in, line) && !line.empty();)
      if (std::regex_search(line, m, row)) rows.emplace_back(std::stod(m[1]), std::stod(m[2]));
  }
  return rows;
}

void expectline(const e2e::Run& r, const std::vector<std::pair<double, double>>& want, const std::string& what) {
  SCOPED_TRACE(what);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(has(r.out, "effective variance = 1")) << r.out;
  const auto got = points(r.out);
  ASSERT_EQ(got.size(), want.size()) << r.out;
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].first, want[i].first);
    EXPECT_NEAR(got[i].second, want[i].second, 0.0006);
  }
}

void expectstop(const e2e::Run& r, const std::string& bombed) {
  EXPECT_EQ(r.status, 1) << bombed;
  EXPECT_TRUE(has(r.out, "-- run bombed in " + bombed)) << r.out;
  EXPECT_FALSE(has(r.out, " P(kbar)")) << r.out;
}

const std::vector<std::pair<double, double>> modeline{{4, 667.71936}, {6, 718.13616}, {8, 773.22844}};
const std::vector<std::pair<double, double>> zeroline{{4, 693.45355}, {6, 734.77816}, {8, 781.36141}};
const std::vector<std::pair<double, double>> isoline{{6, 700.00019}, {8, 782.23406}};

TEST(RepeatedNames, ModeAndZeroModeIsoplethsNamedTwiceAreNamedOnce) {
  struct Case {
    std::string lines, answers;
    const std::vector<std::pair<double, double>>& want;
  };
  const Case cases[] = {
      {"zeromodeiso no\nmodeiso yes al 0.3\n", "", modeline},
      {"zeromodeiso no\nmodeiso yes al 0.3 al 0.3\n", "", modeline},
      {"zeromodeiso no\nmodeiso yes\n", "al al\n0.3\n0.3\n", modeline},
      {"zeromodeiso no\nmodeiso yes\n", "1 al\n0.3\n0.3 0.3 0.1\n", modeline},
      {"zeromodeiso yes al\nmodeiso no\n", "", zeroline},
      {"zeromodeiso yes al al\nmodeiso no\n", "", zeroline},
      {"zeromodeiso yes\nmodeiso no\n", "al al\n", zeroline},
  };
  for (const Case& c : cases) {
    const e2e::Run r = e2e::run({"alloop"}, c.answers, {{"jx-al.txt", loopscript(c.lines, true)}});
    expectline(r, c.want, c.lines + c.answers);
    EXPECT_EQ(r.out.find("mode of al set to"), r.out.rfind("mode of al set to")) << r.out;
  }
  expectstop(e2e::run({"alloop"}, "", {{"jx-al.txt", loopscript("zeromodeiso no\nmodeiso yes al 0.3 al 0.4\n", true)}}),
             "readmodeisopleths : al given twice with different values");
  expectstop(e2e::run({"alloop"}, "al al\n0.3\n0.3 0.4 0.1\n",
                      {{"jx-al.txt", loopscript("zeromodeiso no\nmodeiso yes\n", true)}}),
             "readmodeisopleths : al given twice with different values");
}

TEST(RepeatedNames, CompositionIsoplethNamedTwiceIsNamedOnce) {
  for (const std::string lines : {"isopleth x(al) 0.3\n", "isopleth x(al) 0.3 x(al) 0.3\n"}) {
    const e2e::Run r = e2e::run({"alloop"}, "", {{"jx-al.txt", loopscript(lines, false)}});
    expectline(r, isoline, lines);
    EXPECT_TRUE(has(r.out, "x(al) set to 0.3\n")) << r.out;
  }
  // typed at the prompt, and a position in the list for the name
  const e2e::Run typed =
      e2e::run({"alloop"}, "x(al) 1\n0.3\n0.3\n", {{"jx-al.txt", loopscript("isopleth yes\n", false)}});
  expectline(typed, isoline, "typed");

  expectstop(e2e::run({"alloop"}, "", {{"jx-al.txt", loopscript("isopleth x(al) 0.3 x(al) 0.35\n", false)}}),
             "readisopleths : x(al) given twice with different values");
  expectstop(
      e2e::run({"alloop"}, "x(al) x(al)\n0.3\n0.3 0.4 0.05\n", {{"jx-al.txt", loopscript("isopleth yes\n", false)}}),
      "readisopleths : x(al) given twice with different values");
}

// muvar (see the chemical-potential tests): mu(SiO2) -950 at 4 kbar and
// 800 C gives x(olv) 0.4966, x(pyx) 0.3199 in closed form.
TEST(RepeatedNames, ChemicalPotentialNamedTwiceIsNamedOnce) {
  const auto script = [](const std::string& mu) {
    return "axfile mvax\nwith olv pyx\ninexcess\n" + mu + "\ncalcP 4\ncalcT 800\ndiagramPT 1 10 400 1200\n"
           "pseudosection no\nautoexit yes\n*\n";
  };
  const e2e::Run r = e2e::run({"muvar"}, "", {{"jx-mv.txt", script("mu SiO2 -950 SiO2 -950")}});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.out, "phases: olv pyx (mu(SiO2))")) << r.out;
  EXPECT_TRUE(has(r.out, "   4.000   800.000    0.4966    0.3199\n")) << r.out;
  EXPECT_TRUE(has(r.out, "-950.00000  -652.82454  -339.99402")) << r.out;

  const e2e::Run d = e2e::run({"muvar"}, "", {{"jx-mv.txt", script("mu SiO2 -950 SiO2 -951")}});
  expectstop(d, "reading scripts : SiO2 given twice in \"mu\" with different values");
}

// A Monte Carlo line on a term the activity model never reads would print
// a draw in every run that changes nothing: a symmetric model has no size
// parameters, and a fluid takes its W and sizes from the species' volumes.
TEST(RepeatedNames, MonteCarloDrawOnATermTheModelSetsIsRefused) {
  const std::string mxhead = "axfile mxax\nwith mx1 mx2\ninexcess\ndiagramPT 4 10 400 700\npseudosection no\n"
                             "batchxyzguess startblock\nbatchxyzguess x(mx1) 0.1\nbatchxyzguess x(mx2) 0.9\n"
                             "batch mx1 mx2 2 1 1 5 626.85 1 1 0 0\n";
  const e2e::Run sym =
      e2e::run({"loop"}, "", {{"jx-lp.txt", mxhead + "mc mx1 a a(sA) 1 0.1\nmcit 4 4\nautoexit\n*\n"}});
  expectstop(sym, "read : in mc, a(sA) of mx1 is not used by its a-x model");
  // the W of the same model is drawn
  const e2e::Run w =
      e2e::run({"loop"}, "", {{"jx-lp.txt", mxhead + "mc mx1 a W(sA,sB) 20 1\nmcit 4 4\nautoexit\n*\n"}});
  EXPECT_EQ(w.status, 0);
  EXPECT_FALSE(has(w.out, "bombed")) << w.out;

  const std::string fluidax =
      "fluid 2 1\n  x(fluid) 0.4\n  p(H2O) 1 1 1 1 -1 x\n  p(CO2) 1 1 0 1 1 x\n  asf\n  W(H2O,CO2) 0 0 0\n"
      "  a(H2O) 1 0 0\n  a(CO2) 1 0 0\n  2\n  xH 1 1 1 1 -1 x\n  xC 1 1 0 1 1 x\n  H2O 1 1 xH 1\n  CO2 1 1 xC 1\n*\n";
  const std::string fluidhead = "axfile fvax\nwith fluid\ninexcess\ndiagramPT 0.5 16 300 1300\npseudosection no\n"
                                "batchxyzguess startblock\nbatchxyzguess x(fluid) 0.4\n"
                                "batch fluid 1 1 1 2 590 1 1 0 0\n";
  for (const std::string term : {"W(H2O,CO2)", "a(H2O)", "a(CO2)"}) {
    const e2e::Run r =
        e2e::run({"fluidvolume"}, "",
                 {{"jx-fvax.txt", fluidax},
                  {"jx-fv.txt", fluidhead + "mc fluid a " + term + " 0 5\nmcit 4 4\nautoexit yes\n*\n"}});
    expectstop(r, "read : in mc, " + term + " of fluid is not used by its a-x model");
  }
  // an aqueous phase takes its solvent's size, and CO2's size and W with it,
  // from the volumes too
  const std::string aqhead = "axfile aqax\nwith aqf\ninexcess\ndiagramPT 0.5 16 300 1300\npseudosection no\n"
                             "batchxyzguess startblock\nbatchxyzguess x(aqf) 0.3\nbatch aqf 1 1 1 2 590 1 1 0 0\n";
  for (const std::string term : {"W(H2O,CO2)", "a(H2O)", "a(CO2)"}) {
    const e2e::Run r = e2e::run({"h2oco2"}, "",
                                {{"jx-prefs.txt", "dsfile 7hc\nscriptfile hc\ncalcmode 1\n"},
                                 {"jx-hc.txt", aqhead + "mc aqf b " + term + " 0 5\nmcit 4 4\nautoexit yes\n*\n"}});
    expectstop(r, "read : in mc, " + term + " of aqf is not used by its a-x model");
  }
}

// Calc mode 9: a solution phase named twice in an experiment's header
// would be solved as a phase of its own, with compositions of its own.
TEST(RepeatedNames, SolutionPhaseTwiceInAnExperimentHeaderStops) {
  const std::string xp = "1 ma -1000 0.5\n1 mb -1000 0.5\n1 pa -1010 0.5\n1 pb -1005 0.5\n0\n0\n"
                         "1 ss ss pa pb univariant unknowncomps\n2 1 uc\nma pa\n -1 1\nmb pb\n -1 1\n"
                         "1 5 520 0 0.6 0.6\n0 5 540 0 0.6 0.6\n-1\n0\n";
  const e2e::Run r =
      e2e::run({"lsq"}, "2\n",
               {{"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix gr\naxsuffix gr\nxpsuffix gr\n*\n"}, {"ds-xpgr.txt", xp}});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.out, "-- run bombed in readrc : ss given twice in experiment 1")) << r.out;
}

}  // namespace

