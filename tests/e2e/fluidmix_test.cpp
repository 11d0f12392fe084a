// An H2O-CO2 fluid beside made-up magnesia, its hydrate and its carbonate
// (pk, bk, mk): the one binary named as an aqueous phase and as a fluid
// phase, and a fixed x(CO2) given in the script or typed at the prompt. The
// expectations are the same calculation asked the plain way (the fluid
// phase's activities and the typed x(CO2) are checked on their own
// elsewhere), and two reaction temperatures from a model written apart.
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

using e2e::has;
using e2e::stamped;

namespace {

std::string prefs(int calcmode, const std::string& script) {
  return "dsfile 7hc\nscriptfile " + script + "\ncalcmode " + std::to_string(calcmode) + "\nsetpagewidth 200\n";
}

// The rest of the first line that begins with prefix; "?" when none does.
std::string rest(const std::string& text, const std::string& prefix) {
  const auto at = text.find("\n" + prefix);
  if (at == std::string::npos) return "?";
  const auto from = at + 1 + prefix.size();
  return text.substr(from, text.find('\n', from) - from);
}

TEST(FluidMixture, AqueousBinaryCountsItsPairOnceAsTheFluidPhaseDoes) {
  const auto run = [](const std::string& phase) {
    return e2e::run({"h2oco2"}, "",
                    {{"jx-prefs.txt", prefs(1, "hq")},
                     {"jx-hq.txt", "axfile aqax\nwith pk bk mk " + phase +
                                       "\ncalcTatP yes\ncalcP 2\ninexcess\ndiagramPT 0.5 16 200 1300\n"
                                       "pseudosection no\nautoexit yes\n*\n"}});
  };
  const e2e::Run aq = run("aqf"), fluid = run("fluid");
  ASSERT_FALSE(has(aq.out, "bombed")) << aq.out;
  ASSERT_FALSE(has(fluid.out, "bombed")) << fluid.out;
  // P, T and x of the point.
  const std::string point = rest(fluid.out, "   2.000 ");
  EXPECT_NE(point, "?") << fluid.out;
  EXPECT_EQ(rest(aq.out, "   2.000 "), point);
  // Ideal activity, gamma and activity of H2O and CO2, in the same columns.
  const std::string& aqic = aq.files.at("jx-hq-ic.txt");
  const std::string& flic = fluid.files.at("jx-hq-ic.txt");
  EXPECT_NE(rest(flic, "fluid H2O"), "?") << flic;
  EXPECT_EQ(rest(aqic, "aqf   H2O"), rest(flic, "fluid H2O")) << aqic;
  EXPECT_EQ(rest(aqic, "      CO2"), rest(flic, "      CO2")) << aqic;
  // The pair stands once in the listing of the model.
  EXPECT_TRUE(has(aq.files.at("jx-hq-it.txt"), " non-ideality by van laar\n  W(H2O,CO2) = 0\n\n"))
      << aq.files.at("jx-hq-it.txt");
}

// Every file of a calc-mode-2 or -3 pass with x(CO2) = 0.3 from the script
// is the file of the pass with 0.3 typed; only the terminal and the log,
// which hold the dialogue, differ. The script's run goes to scriptrun.
void scriptmatchestyped(int calcmode, const std::string& script, const std::string& scriptanswers,
                        const std::string& typedanswers, e2e::Run* scriptrun = nullptr) {
  const auto run = [&](bool fromscript, const std::string& answers) {
    std::string text = script;
    if (fromscript) text.insert(text.find("autoexit"), "setfluid yes 0.3\n");
    return e2e::run({"h2oco2"}, answers, {{"jx-prefs.txt", prefs(calcmode, "fx")}, {"jx-fx.txt", text}});
  };
  const e2e::Run s = run(true, scriptanswers), t = run(false, typedanswers);
  if (scriptrun != nullptr) *scriptrun = s;
  ASSERT_FALSE(has(s.out, "bombed")) << s.out;
  EXPECT_TRUE(has(s.out, "\nx(CO2) = 0.3000, x(H2O) = 0.7000 ( from script ) \n")) << s.out;
  EXPECT_FALSE(has(s.out, "fixed x(CO2)"));
  EXPECT_TRUE(has(t.out, "fluid is just H2O-CO2\nfixed x(CO2) : ")) << t.out;
  EXPECT_TRUE(has(s.files.at("jx-fx-o.txt"), "(for x(CO2) = 0.3 and x(H2O) = 0.7)"));
  ASSERT_EQ(e2e::names(s), e2e::names(t));
  for (const auto& [name, text] : t.files) {
    if (name == "jx-log.txt" || name == "jx-fx.txt") continue;
    EXPECT_EQ(stamped(s.files.at(name)), stamped(text)) << name;
  }
}

// The printed words of the row of reaction k in the table that follows
// the text "from".
std::vector<std::string> row(const std::string& text, const std::string& from, int k) {
  const auto at = text.find(from);
  if (at == std::string::npos) return {};
  std::istringstream words(rest(text.substr(at), std::to_string(k) + " "));
  return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

TEST(FluidMixture, ScriptXCO2GivesTheReactionLinesOfTheTypedOne) {
  e2e::Run s;
  scriptmatchestyped(3,
                     "axfile hcax\nwith pk bk mk H2O CO2\ncalctype 1\ndiagramPT 0.5 10 300 1100\ncalcTatP yes\n"
                     "calcP 1 9 2\nfluidpresent yes\nfluidexcess no\ninexcess\nautoexit yes\n*\n",
                     "1\n", "0.3\n1\n", &s);
  // T (degrees C) of bk = pk + H2O at 3 kbar and of mk = pk + CO2 at 9 kbar,
  // from a model written apart in Python with mpmath at 40 digits: the
  // fixture's rows (solids of constant volume, Cp = a), pure H2O and CO2 from
  // the Sterner-Pitzer equation with its single volume root located on a
  // fine grid and polished, the van Laar term of each fluid end-member in
  // V(H2O) and V(CO2) at x(CO2) = 0.3, and the root in T of
  // dG + RT ln x = 0: 659.0895 and 893.1101 (without the mixing term they
  // would be 643.2501 and 865.2801).
  ASSERT_TRUE(s.files.count("jx-fx-o.txt"));
  const std::string& o = s.files.at("jx-fx-o.txt");
  const std::vector<std::string> hydrate = row(o, "uncertainties at", 1), carbonate = row(o, "uncertainties at", 2);
  ASSERT_GE(hydrate.size(), 5u) << o;
  ASSERT_GE(carbonate.size(), 5u) << o;
  EXPECT_EQ(hydrate[1], "659.09") << o;
  EXPECT_EQ(carbonate[4], "893.11") << o;
}

TEST(FluidMixture, ScriptXCO2GivesTheAveragePressuresOfTheTypedOne) {
  scriptmatchestyped(2,
                     "axfile hcax\nwith pk bk mk H2O CO2\ncalctype 1\ndiagramPT 0.01 40 300 1100\n"
                     "calcT 500 800 100\nfluidpresent yes\ndataok yes\nmaxsdp yes 5\nprintcor no\nautoexit yes\n*\n",
                     "", "0.3\n");
}

}  // namespace
