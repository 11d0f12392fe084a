// A batch run of the built program on the made-up loop of alp and bet:
// three items, the "with" list in another order than the a-x file, one of
// them with alp held and T solved for; their rows in the csv files, the
// equil list and the results block of the drawing data file.
#include <regex>
#include <string>

#include "harness.h"

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string script =
    "axfile lpax\nwith bet alp\ninexcess\ndiagramPT 4 10 400 700\npseudosection no\n"
    "batchxyzguess startblock\nbatchxyzguess x(alp) 0.4\nbatchxyzguess x(bet) 0.5\n"
    "batch bet alp 2 1 1 5 626.85 1 1 0 0\n"
    "batch bet alp 2 1 1 5 626.85 1 1 0 1 alp 1 0.35\n"
    "batch bet alp 2 1 1 9 626.85 1 1 0 0\n"
    "debuglevel 0\nautoexit\n*\n";

TEST(BatchRun, ThreeItemsOnOneCsvLine) {
  const e2e::Run r = e2e::run({"loop"}, "", {{"jx-lp.txt", script}});
  // A batch run, like a dogmin run, ends with the time it took.
  EXPECT_TRUE(std::regex_search(r.out, std::regex("=\n(elapsed = [0-9]+ msecs, n = [0-9]+\n)\n$"))) << r.out;
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  const std::string& csv = r.files.at("jx-lp.csv");
  EXPECT_TRUE(has(csv, "   #,        1-P,        1-T,   1-x(alp),   1-x(bet),      1-alp,      1-bet,    #, ")) << csv;
  EXPECT_TRUE(has(csv, "\n   1,      5.000,     626.85,    0.40807,    0.51558,"
                       "    1,      5.000,     685.93,    0.35000,    0.42004,"
                       "    1,      9.000,     626.85,    0.42962,    0.55752, \n"))
      << csv;
  EXPECT_TRUE(has(r.files.at("jx-lp-2.csv"), "   #,        1-G,        1-H,        1-S,        1-V,      1-rho, "));
  const std::string& qk = r.files.at("jx-lp-qk.txt");
  EXPECT_TRUE(has(qk, " equil = {\n{ (* 1 *) {\"alp\", \"bet\"},\n {\"x(alp)\", \"x(bet)\"}},\n")) << qk;
  EXPECT_TRUE(has(qk, " results = {\n")) << qk;
  EXPECT_TRUE(has(qk, " {{ (* 2 *) { 5.000, 685.93}, {0.3500, 0.4200}}},\n")) << qk;
  const std::string& o = r.files.at("jx-lp-o.txt");
  EXPECT_TRUE(has(o, "starting to accumulate results")) << o;
  EXPECT_TRUE(has(o, "\n1 1 4 5.000 626.85 0.4081 0.5156 \n2 1 4 5.000 685.93 0.3500 0.4200 \n")) << o;
}

}  // namespace
