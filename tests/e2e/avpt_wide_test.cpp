// Summaries of average T and P over more pressures or temperatures than a
// line holds go on in further blocks of the same rows; each block holds
// what a run over just its own values gives.
#include <string>

#include "harness.h"

namespace {

// The summary table, after the heading that starts with title, up to the
// closing note.
std::string table(const std::string& text, const std::string& title) {
  const std::size_t from = text.find('\n', text.find("\n" + title) + 1) + 1;
  return text.substr(from, text.find("\n[ jx351", from) - from);
}

}  // namespace

TEST(AverageWideSummary, EveryAverageReachesTheFilesInBlocks) {
  // By hand from the field widths, a row takes a value while its length
  // before it plus the value's text stays within 250: average T rows (label
  // 8, fields 9, texts up to 6) take 27 pressures, average P rows (label 7,
  // fields 8, texts up to 5) 30 temperatures.
  const std::string t = "axfile hcax\nwith pk bk mk H2O CO2\ncalctype 2\ndataok yes\ndiagramPT 0.5 20 400 1100\n"
                        "fluidpresent yes\nsetfluid 0.4\nmaxsdt 160\nautoexit yes\n",
                    p = "axfile rkax\ncalctype 1\nrunname rockb\ndataok yes\nwith ex wy exy exyy exxy\n"
                        "diagramPT 1 15 400 800\nmaxsdp yes 5\nautoexit\n";
  const struct {
    std::string fixture, name, script, title, all, first, rest;
  } cases[] = {{"h2oco2", "hc", t, "Average temperatures", "calcP 1 5 0.1", "calcP 1 3.6 0.1", "calcP 3.7 5 0.1"},
               {"avrock", "rk", p, "Average pressures", "calcT 400 800 10", "calcT 400 690 10", "calcT 700 800 10"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.all);
    auto go = [&](const std::string& list) {
      const e2e::Run r = e2e::run({c.fixture}, "",
                                  {{"jx-prefs.txt", "dsfile 7" + c.name + "\nscriptfile " + c.name + "\ncalcmode 2\n"},
                                   {"jx-" + c.name + ".txt", c.script + list + "\n*\n"}});
      EXPECT_EQ(r.status, 0);
      EXPECT_FALSE(e2e::has(r.out, "bombed")) << r.out;
      return r;
    };
    const std::string out = "jx-" + c.name + "-o.txt";
    const e2e::Run all = go(c.all), first = go(c.first), rest = go(c.rest);
    const std::string want = table(first.files.at(out), c.title) + table(rest.files.at(out), c.title);
    EXPECT_EQ(table(all.files.at(out), c.title), want);
    EXPECT_EQ(want.find('\xa4'), std::string::npos);
    EXPECT_TRUE(e2e::has(all.files.at("jx-log.txt"), want));
  }
}
