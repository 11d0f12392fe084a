// Summaries of average P and T over more temperatures or pressures than a
// line holds: the table goes on in further blocks of the same rows, and
// every block holds what a run over just its own values gives.
#include <string>

#include "harness.h"

using e2e::has;

namespace {

// The summary table: from the line after the heading that starts with
// title up to the closing note.
std::string table(const std::string& text, const std::string& title) {
  const std::size_t at = text.find("\n" + title);
  if (at == std::string::npos) return "(no " + title + ")";
  const std::size_t from = text.find('\n', at + 1) + 1;
  const std::size_t to = text.find("\n[ jx351", from);
  return text.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

std::string averageT(const std::string& calcp) {
  return "axfile hcax\nwith pk bk mk H2O CO2\ncalctype 2\ndataok yes\ndiagramPT 0.5 20 400 1100\nfluidpresent yes\n" +
         calcp + "\nsetfluid 0.4\nmaxsdt 160\nprintcor no\nautoexit yes\n*\n";
}

std::string averageP(const std::string& calct) {
  return "axfile rkax\ncalctype 1\nrunname rockb\ndataok yes\nwith ex wy exy exyy exxy\ndiagramPT 1 15 400 800\n" +
         calct + "\nmaxsdp yes 5\nprintcor no\nautoexit\n*\n";
}

}  // namespace

TEST(AverageWideSummary, EveryAverageReachesTheFilesInBlocks) {
  struct Case {
    std::string fixture, prefs, script, title;
    std::string all, first, rest;  // the whole list and the two blocks it makes
  };
  // By hand from the field widths: a row takes a value while the line's
  // length before it plus the value's text stays within 250. Average T rows
  // (label 8, fields 9, texts of at most 6) take 27 pressures; average P rows
  // (label 7, fields 8, texts of 5) take 30 temperatures.
  const Case cases[] = {
      {"h2oco2", "dsfile 7hc\nscriptfile hc\ncalcmode 2\n", "jx-hc.txt", "Average temperatures", "calcP 1 5 0.1",
       "calcP 1 3.6 0.1", "calcP 3.7 5 0.1"},
      {"avrock", "dsfile 7rk\nscriptfile rk\ncalcmode 2\n", "jx-rk.txt", "Average pressures", "calcT 400 800 10",
       "calcT 400 690 10", "calcT 700 800 10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.all);
    auto script = [&](const std::string& list) { return c.fixture == "h2oco2" ? averageT(list) : averageP(list); };
    auto go = [&](const std::string& list) {
      return e2e::run({c.fixture}, "", {{"jx-prefs.txt", c.prefs}, {c.script, script(list)}});
    };
    const e2e::Run all = go(c.all), first = go(c.first), rest = go(c.rest);
    const std::string out = c.fixture == "h2oco2" ? "jx-hc-o.txt" : "jx-rk-o.txt";
    for (const e2e::Run* r : {&all, &first, &rest}) {
      EXPECT_EQ(r->status, 0);
      EXPECT_FALSE(has(r->out, "bombed")) << r->out;
    }
    const std::string want = table(first.files.at(out), c.title) + table(rest.files.at(out), c.title);
    EXPECT_EQ(table(all.files.at(out), c.title), want);
    EXPECT_EQ(want.find('\xa4'), std::string::npos);
    EXPECT_TRUE(has(all.files.at("jx-log.txt"), want));
  }
}
