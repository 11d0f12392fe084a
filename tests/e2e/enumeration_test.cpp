// The equilibria a pass picks out, as a user sees them with the debug
// records on: the made-up loop with periclase and wustite, univariant,
// periclase in excess.
#include <regex>
#include <vector>

#include "harness.h"

using e2e::has;

namespace {

std::string loopax() {
  const std::string ax = e2e::slurp(e2e::fs::path(SOLVARINTH_FIXTURES) / "loop/jx-lpax.txt");
  return std::regex_replace(ax, std::regex("\npb\n"), "\npb\nwus\n");
}

std::string script(const std::string& lines) {
  return "axfile lpax\nwith alp bet per wus\ninexcess per\nacceptvar no\ncalcTatP yes\ncalcP 6\ncalcT 400 700\n"
         "diagramPT 4 10 400 700\npseudosection no\nautoexit\n" +
         lines + "*\n";
}

TEST(Mode1Enumeration, DebugRecordsOfEachCombination) {
  const e2e::Run r = e2e::run({"loop"}, "1\n", {{"jx-lp.txt", script("debuglevel 2\n")}, {"jx-lpax.txt", loopax()}});
  EXPECT_EQ(r.status, 0);
  auto good = [](const std::string& k, const std::string& counts, const std::string& phases) {
    return "\n\nnuv = 2; nuvleft = 2; k = " + k + "; rank = 2; nir = " + counts.substr(counts.size() - 1) +
           "\n\ngood one            : nu = 2; rank = 2; ntake = 3; npmax = 4; " + counts + "\n     MgO FeO  " + phases +
           "   - not pseudosection\n";
  };
  const std::string excluded = "\nexcluded  (not in ex): nu = 2; rank = 2; ntake = 3; npmax = 4; nv = -1; nir = -1\n"
                               "     MgO FeO  alp bet wus   - not pseudosection\n";
  // In this order, each combination's points between its record and the next.
  const std::vector<std::string> records = {good("5", "nv = 3; nir = 3", "alp bet per"), excluded,
                                            good("4", "nv = 2; nir = 2", "alp per wus"),
                                            good("4", "nv = 2; nir = 2", "bet per wus")};
  // Summary and log keep the records whole; the terminal cuts the long line.
  for (const char* file : {"jx-lp-o.txt", "jx-log.txt"}) {
    const std::string& text = r.files.at(file);
    std::size_t at = 0;
    for (const std::string& rec : records) {
      at = text.find(rec, at);
      ASSERT_NE(at, std::string::npos) << file << "\n" << rec << "\n" << text;
      at += rec.size();
    }
  }
  EXPECT_TRUE(has(r.out, "\nexcluded  (not in ex): nu = 2; rank = 2; ntake = 3; npmax = 4; nv = -1; nir = #\n")) << r.out;
  EXPECT_FALSE(has(r.out, "bombed"));

  // Without the debug records a pass shows nothing of its enumeration.
  const e2e::Run q = e2e::run({"loop"}, "1\n", {{"jx-lp.txt", script("")}, {"jx-lpax.txt", loopax()}});
  EXPECT_FALSE(has(q.out, "good one")) << q.out;
  EXPECT_FALSE(has(q.files.at("jx-lp-o.txt"), "nuv = "));
}

}  // namespace
