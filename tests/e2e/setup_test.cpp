// The a-x models set up against the script, seen from outside: whole runs
// on a made-up data set, a-x file and script.
#include "harness.h"

using e2e::has;

namespace {

const std::string script =
    "axfile qzax\nwith qtzx spx sp2 mx\ninexcess\ncalcP 6\ncalcT 600\nsamecoding spx sp2\nxyzguess x(sp2) 0.3\nxyzguess x(mx) 0.3\n"
    "xyzguess y(mx) 0\ndiagramPT 4 10 400 700\npseudosection no\nautoexit\n*\n";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

TEST(SetupRun, SameCodingGuessesAndBoilDownGoThrough) {
  const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "setup/base"}, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.out, "\nreading ax: qtzx kyx spx mx \n")) << r.out;
  EXPECT_TRUE(has(r.out, "with axfile jx-qzax.txt and scriptfile jx-st.txt\n\n"));
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  EXPECT_TRUE(has(r.files.at("jx-log.txt"), "reading ax: qtzx kyx spx mx \n"));
}

TEST(SetupRun, BadStartingGuessesReachTheSummary) {
  const e2e::Run r =
      e2e::run({"dataset/jx-ds7qz1.txt", "setup/base"}, "", {{"jx-st.txt", replaced(script, "xyzguess y(mx) 0", "xyzguess y(mx) 0.9")}});
  const std::string lines =
      "\nfor mx, site fractions are:\nxM =    -0.200000\nxG =     0.300000\nxK =     0.900000\n"
      "site fractions must all be positive (starting guess problems)\n";
  EXPECT_TRUE(has(r.out, lines)) << r.out;
  EXPECT_TRUE(has(r.files.at("jx-st-o.txt"), lines));
  EXPECT_TRUE(has(r.files.at("jx-st-o.txt"), "-- run bombed in setupphases : inconsistent starting guesses"));
}

TEST(SetupRun, BatchVariantsAndTheirSummaries) {
  const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "setup/base", "setup/batch"}, "");
  // The set-up goes through; the items themselves (a solution beside
  // phases it shares no reaction with) cannot be solved: each is named in
  // turn with its counts, and the run stops after the last. mx-1 (Fe3O4,
  // MgO) beside qtzx (SiO2) or spx (MgAl2O4, MgO), and mx-2 (Fe3O4,
  // Al2SiO5) beside qtzx, span 3 components: 3 + 2 - 2 = 3 by the phase
  // rule. At P given, T and each free x are unknowns; only spx and mx-1
  // share a reaction (the MgO exchange).
  const std::string counts = "variance 1 given, 3 by the phase rule; ";
  const std::string first = "batch 1 (mx-1 qtzx): " + counts + "0 equations for 2 unknowns";
  std::size_t at = 0;
  for (const std::string& line : {first, "batch 2 (spx mx-1): " + counts + "1 equation for 3 unknowns",
                                  "batch 3 (mx-2 qtzx): " + counts + "0 equations for 2 unknowns"}) {
    at = r.out.find("\n" + line + "\n", at);
    ASSERT_NE(at, std::string::npos) << line << r.out;
  }
  const std::string stop = "bombed in batch : " + first + "; and 2 more items that cannot be calculated\n";
  EXPECT_EQ(r.out.find("bombed"), r.out.find(stop, at)) << r.out;
  const std::string batches =
      "\nsummary of batches\n"
      "      qtzx    mx   spx\n"
      " 1:      0     1     .\n"
      " 2:      .     1     0\n"
      " 3:      0     2     .\n";
  EXPECT_TRUE(has(r.out, "\n" + batches)) << r.out;
  const std::string mc = "\nsummary of mc info\n" + std::string(37, ' ') +
                         "      value     range\n"
                         " 1 :      mx      W(mtx,kyx)  1   2  1     6.000     0.500;  also    mx-1   mx-2\n\n";
  const std::string& log = r.files.at("jx-log.txt");
  EXPECT_TRUE(has(log, batches)) << log;
  EXPECT_TRUE(has(log, mc)) << log;
  EXPECT_TRUE(has(r.files.at("jx-st-o.txt"), mc));
}

}  // namespace
