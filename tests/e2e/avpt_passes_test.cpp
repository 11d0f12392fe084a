// Calc mode 2 over two passes of one rock: what the second pass starts
// from. The activities the rock came with are taken up again on every pass
// of a rock with a solution phase (its average-P iterations rewrite them),
// and, for a rock of pure phases, when the edits of the last pass are
// dropped.
#include <map>
#include <vector>

#include "harness.h"

using e2e::has;

namespace {

// The lines of text that start with the given piece, in order.
std::vector<std::string> starting(const std::string& text, const std::string& piece) {
  std::vector<std::string> got;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(from, end - from);
    if (line.rfind(piece, 0) == 0) got.push_back(line);
    from = end + 1;
  }
  return got;
}

const std::string rockscript =
    "axfile rkax\nrunname rockb\nwith ex wy exy exyy exxy\ncalctype 1\ndiagramPT 1 15 400 800\n"
    "calcT 500 700 50\nisr ex wy exy exyy exxy\nisr -1 -1 1 0 0\nisr -1 -2 0 1 0\nisr -2 -1 0 0 1\n"
    "printcor yes\n*\n";

TEST(AverageRockPasses, DroppedEditsReturnToTheRocksActivities) {
  struct Case {
    std::string keep;  // answer to carrying the edits over
    std::string table, activities, averages;
  };
  const Case cases[] = {
      {"n", "     a     1.00     1.00     1.00     1.00    0.800",
       "a              1.000     1.000     1.000     1.000    0.8000",
       // as the rock's own data give them on a single pass
       "av P       6.97    7.58    8.18    8.79    9.39"},
      {"y", "     a     1.00     1.00    0.500     1.00    0.800",
       "a              1.000     1.000    0.5000     1.000    0.8000", "av P       7.46    8.07    8.67    9.28    9.88"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keep);
    // Pass 1: a(exy) := 0.5, sd 0.05 in the edit dialogue; another pass;
    // pass 2: keep or drop the edits, data ok, same window; no more.
    const std::string answers = "n\n\ny\nexy\n0.5\n0.05\n\ny\n" + c.keep + "\ny\ny\nn\nn\n\n";
    const e2e::Run r = e2e::run({"avrock"}, answers, {{"jx-rk.txt", rockscript}});
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(has(r.out, "bombed")) << r.out;
    const std::string& log = r.files.at("jx-log.txt");
    EXPECT_TRUE(has(log, "continue with/add to data changes in last calculation ? " +
                             std::string(c.keep == "n" ? "no" : "yes")))
        << log;
    const std::vector<std::string> tables = starting(log, "     a ");
    ASSERT_EQ(tables.size(), 2u) << log;
    EXPECT_EQ(tables[0], "     a     1.00     1.00     1.00     1.00    0.800");
    EXPECT_EQ(tables[1], c.table);
    const std::string& sum = r.files.at("jx-rk-o.txt");
    const std::vector<std::string> acts = starting(sum, "a     ");
    ASSERT_EQ(acts.size(), 2u) << sum;
    EXPECT_EQ(acts[0], "a              1.000     1.000    0.5000     1.000    0.8000");
    EXPECT_EQ(acts[1], c.activities);
    const std::vector<std::string> av = starting(sum, "av P");
    ASSERT_EQ(av.size(), 2u);
    EXPECT_EQ(av[0], "av P       7.46    8.07    8.67    9.28    9.88");
    EXPECT_EQ(av[1], c.averages);
  }
}

TEST(AverageRockPasses, SolutionActivitiesAreTakenUpAgainOnTheNextPass) {
  const std::string script =
      "axfile ssax\nwith sol ex wy exyy\nptforaxe 8 600\ncalctype 1\ncalcT 550 650 50\ndataok yes\n"
      "diagramPT 1 15 400 800\nisr exy exyb ex wy exyy\nisr 1 0 -1 -1 0\nisr 0 0 -1 -2 1\nisr -1 1 0 0 0\n*\n";
  // Another pass, data ok, same window; no more.
  const e2e::Run r = e2e::run({"avrock"}, "y\ny\ny\nn\nn\n\n",
                              {{"jx-prefs.txt", "dsfile 7ss\nscriptfile ss\ncalcmode 2\n"}, {"jx-ss.txt", script}});
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  // The a-x model's activities at 8 kbar and 600 degrees, a(exy) 0.8327 and
  // a(exyb) 0.7718 (sd 0.1042), on both passes.
  const std::vector<std::string> acts = starting(r.files.at("jx-ss-o.txt"), "a     ");
  ASSERT_EQ(acts.size(), 2u);
  for (const std::string& line : acts) EXPECT_EQ(line, "a             0.8327    0.7718     1.000     1.000     1.000");
  const std::string& log = r.files.at("jx-log.txt");
  EXPECT_TRUE(has(log, "\n            exy     exyb       ex       wy     exyy\n"
                       "     a    0.833    0.772     1.00     1.00     1.00\n"
                       " sd(a)   0.0206    0.104        0        0        0\n"))
      << log;
}

// A pass of the main loop is a calculation of its own: an end-member the
// first pass excluded is back in the second, which gives what a run of the
// same script gives at once.
TEST(AverageRockPasses, ASecondMainPassStartsWithNoExclusions) {
  const std::string script =
      "axfile rkax\nrunname rockb\nwith ex wy exy exyy exxy\ncalctype 1\ndiagramPT 1 15 400 800\n"
      "calcT 500 700 50\nmaxsdp yes 5\n*\n";
  const std::map<std::string, std::string> files = {{"jx-rk.txt", script},
                                                    {"jx-prefs.txt", "dsfile 7rk\nscriptfile rk\ncalcmode 2\n"}};
  // Pass 1 leaves exxy out; then another rock pass whose data are ok.
  const e2e::Run two = e2e::run({"avrock"}, "n\nexxy\ny\nn\ny\ny\nn\nn\n\n", files);
  const e2e::Run fresh = e2e::run({"avrock"}, "y\nn\nn\n\n", files);
  for (const e2e::Run* r : {&two, &fresh}) {
    EXPECT_EQ(r->status, 0);
    EXPECT_FALSE(has(r->out, "bombed")) << r->out;
  }
  const std::string a = e2e::stamped(two.files.at("jx-rk-o.txt")), b = e2e::stamped(fresh.files.at("jx-rk-o.txt"));
  ASSERT_GT(a.size(), b.size());
  EXPECT_EQ(a.substr(a.size() - b.size()), b);
  // Pass 1 without exxy: two reactions. Pass 2 with it: the third, whose
  // position at 600 degrees is the one that moves the average, as the
  // reaction set of the script (all three) gives it: 8.18 kbar.
  EXPECT_EQ(starting(a, "3)  ").size(), 1u) << a;
  EXPECT_TRUE(has(a.substr(a.size() - b.size()), "\n3)  exxy = 2ex + wy\n")) << a;
  const std::vector<std::string> av = starting(a, "av P");
  ASSERT_EQ(av.size(), 2u);
  EXPECT_EQ(av[1].substr(0, 31), "av P       6.97    7.58    8.18");
}

}  // namespace

// A rock with H2O and CO2 answered not fluid-bearing (a(CO2), a(H2O) 0.5)
// and fluid-bearing (x(CO2) 0.3), in both orders, in two calculations of
// one run: each calculation's averages are the fresh run's with its own
// answer, asked as the fresh run asks.
TEST(AverageRockPasses, EachCalculationTakesTheFluidOfItsOwnAnswer) {
  const std::map<std::string, std::string> files = {
      {"jx-prefs.txt", "dsfile 7hc\nscriptfile fx\ncalcmode 2\n"},
      {"jx-fx.txt", "axfile hcax\nwith pk bk mk H2O CO2\ncalctype 1\ndiagramPT 0.01 40 300 1100\ncalcT 500 800 100\n"
                    "dataok yes\nmaxsdp yes 5\nprintcor no\n*\n"}};
  // The answer to "rock was fluid-bearing", and the fluid's.
  const std::map<std::string, std::pair<std::string, std::string>> fluid = {{"n", {"n\n", "0.5\n0.5\n"}},
                                                                            {"y", {"y\n", "0.3\n"}}};
  std::map<std::string, std::string> fresh;
  for (const auto& [bearing, a] : fluid) {
    const e2e::Run r = e2e::run({"h2oco2"}, a.first + a.second + "n\nn\n\n", files);
    const std::vector<std::string> av = starting(r.files.at("jx-fx-o.txt"), "av P");
    ASSERT_EQ(av.size(), 1u) << r.out;
    fresh[bearing] = av[0];
  }
  EXPECT_NE(fresh["n"], fresh["y"]);
  for (const auto& [first, second] : {std::pair{"n", "y"}, std::pair{"y", "n"}}) {
    SCOPED_TRACE(std::string(first) + " then " + second);
    // Another calculation, its data ok: the fluid question comes before the window's.
    const auto &a = fluid.at(first), &b = fluid.at(second);
    const e2e::Run r =
        e2e::run({"h2oco2"}, a.first + a.second + "y\ny\n" + b.first + "y\n" + b.second + "n\nn\n\n", files);
    EXPECT_FALSE(has(r.out, "bombed")) << r.out;
    EXPECT_EQ(starting(r.files.at("jx-fx-o.txt"), "av P"), (std::vector<std::string>{fresh[first], fresh[second]}));
  }
}
