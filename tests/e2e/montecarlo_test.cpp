// Monte Carlo series of the built program: the solvus of mx1 and mx2 at
// 5 kbar and 900 K, with W(sA,sB) of both phases on one range of centre 20
// and width 1. Every written run is checked against the binodal of a
// symmetric solution at W = a + 0.5 (the P term 0.1 at 5 kbar).
#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "braces.h"
#include "harness.h"

namespace {

const std::string script(const std::string& extra) {
  return "axfile mxax\nwith mx1 mx2\ninexcess\ndiagramPT 4 10 400 700\npseudosection no\n"
         "batchxyzguess startblock\nbatchxyzguess x(mx1) 0.1\nbatchxyzguess x(mx2) 0.9\n"
         "batch mx1 mx2 2 1 1 5 626.85 1 1 0 0\n" +
         extra +
         "mcrange r1 20 1\nmc mx1 a W(sA,sB) =r1\nmc mx2 a W(sA,sB) =r1\nmcit 2000 30000\n"
         "debuglevel 0\nautoexit\n*\n";
}

// The x of the A-poor side of the solvus: ln((1 - x)/x) = (W/RT)(1 - 2x).
double binodal(double W) {
  const double RT = 0.0083144 * 900;
  double lo = 1e-9, hi = 0.4999;
  auto f = [&](double x) { return std::log((1 - x) / x) - (W / RT) * (1 - 2 * x); };
  for (int i = 0; i < 200; ++i) {
    const double m = (lo + hi) / 2;
    (f(lo) * f(m) <= 0 ? hi : lo) = m;
  }
  return (lo + hi) / 2;
}

struct block {
  double a, x1;
};

// The drawn W and x(mx1) of every run written to the drawing data file.
std::vector<block> blocks(const std::string& qk) {
  const std::regex one("\\{\\{\\(\\* cw \\*\\) \\n  ([0-9.]+)\\n[^\\n]*\\n \\{\\{ \\(\\* 1 \\*\\) \\{ [0-9.]+, [0-9.]+\\}, "
                       "\\{([0-9.]+), ");
  std::vector<block> out;
  for (auto it = std::sregex_iterator(qk.begin(), qk.end(), one); it != std::sregex_iterator(); ++it)
    out.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
  return out;
}

TEST(MonteCarloRun, FilteredSolvusRunsLieOnTheBinodal) {
  const e2e::Run r = e2e::run({"loop"}, "", {{"jx-lp.txt", script("filter 1 x(mx1) 0 0.100999\nbatchreq 1\n")}});
  EXPECT_EQ(r.status, 0);
  ASSERT_EQ(r.out.find("bombed"), std::string::npos) << r.out;
  const auto bs = blocks(r.files.at("jx-lp-qk.txt"));
  EXPECT_NEAR(static_cast<double>(bs.size()), 1000, 90);
  for (const block& b : bs) {
    EXPECT_GT(b.a, 20);
    EXPECT_NEAR(b.x1, binodal(b.a + 0.5), 1e-4) << b.a;
  }
  EXPECT_NEAR(binodal(19.5), 0.122867, 1e-6);
  EXPECT_NEAR(binodal(21.5), 0.083821, 1e-6);
  // One csv line per written run after the heading.
  const std::string& csv = r.files.at("jx-lp.csv");
  long lines = 0;
  for (char c : csv) lines += c == '\n';
  EXPECT_EQ(lines, static_cast<long>(bs.size()) + 1);
  EXPECT_NE(r.files.at("jx-lp-qk.txt").find(" filter = {{ (* 1 *) { {3, 0, 0.1010} }}};\n"), std::string::npos);
}

// The first run keeps the model's W, whose x(mx1) lies just above the
// filter: the runs written come later, and the summary's header
// (values on the new-way line, items) still heads their rows, once.
TEST(MonteCarloRun, SummaryHeaderWhenTheFirstRunFails) {
  std::string s = script("filter 1 x(mx1) 0 0.100999\nbatchreq 1\n");
  s.replace(s.find("mcit 2000 30000"), 15, "mcit 40 2");
  const e2e::Run r = e2e::run({"loop"}, "", {{"jx-lp.txt", s}});
  ASSERT_EQ(r.out.find("bombed"), std::string::npos) << r.out;
  const std::string& qk = r.files.at("jx-lp-qk.txt");
  EXPECT_EQ(blocks(qk).size(), 2u) << qk;
  EXPECT_EQ(qk.find("*)},  (* 1 *)"), std::string::npos) << qk;
  const std::string& o = r.files.at("jx-lp-o.txt");
  const std::regex head("starting to accumulate results\n\n\n\n2 1 \n\n[0-9.]+ \n1 1 4 5\\.000 626\\.85 ");
  EXPECT_TRUE(std::regex_search(o, head)) << o;
  EXPECT_EQ(o.find("2 1 \n", o.find("2 1 \n") + 1), std::string::npos) << o;
}

TEST(MonteCarloRun, GaussianDrawsWithoutFiltersAreAllWritten) {
  const e2e::Run r = e2e::run({"loop"}, "", {{"jx-lp.txt", script("gaussmc yes\n")}});
  ASSERT_EQ(r.out.find("bombed"), std::string::npos) << r.out;
  const auto bs = blocks(r.files.at("jx-lp-qk.txt"));
  ASSERT_EQ(bs.size(), 2000u);
  double s = 0, s2 = 0;
  for (const block& b : bs) s += b.a;
  const double mean = s / static_cast<double>(bs.size());
  for (const block& b : bs) s2 += (b.a - mean) * (b.a - mean);
  EXPECT_NEAR(std::sqrt(s2 / static_cast<double>(bs.size() - 1)), 0.5, 0.03);
}

// A series that ends on its run count, whether or not its last run
// passed, or that has no passing run at all, still closes its results
// list; the count of blocks follows it. Run 1 keeps the model's W, whose
// x(mx1) near 0.101 passes a filter below 0.11 and fails one below 0.05,
// which no draw of W within 1 of 20 reaches (x stays above 0.08).
TEST(MonteCarloRun, ResultsListClosedWhenTheRunCountEndsTheSeries) {
  for (const char* high : {"0.11", "0.05"}) {
    SCOPED_TRACE(high);
    std::string s = script("filter 1 x(mx1) 0 " + std::string(high) + "\nbatchreq 1\n");
    s.replace(s.find("mcit 2000 30000"), 15, "mcit 6 50");
    const e2e::Run r = e2e::run({"loop"}, "", {{"jx-lp.txt", s}});
    ASSERT_EQ(r.out.find("bombed"), std::string::npos) << r.out;
    const std::string& qk = r.files.at("jx-lp-qk.txt");
    EXPECT_TRUE(e2e::balanced(qk)) << qk;
    const std::size_t n = blocks(qk).size();
    EXPECT_EQ(n > 0, std::string(high) == "0.11") << qk;
    const std::string end = n > 0 ? "}};\n\n" : " results = {\n};\n\n";
    EXPECT_EQ(qk.substr(qk.size() - end.size() - std::to_string(n).size() - 1), end + std::to_string(n) + "\n") << qk;
  }
}

}  // namespace
