// Typed answers that the program cannot take as they stand: an answer longer
// than a line, and a fixed x(CO2) outside 0 to 1. Each is refused and asked
// again, and the run goes on as a run given the good answer at once.
#include <string>

#include "harness.h"

using e2e::has;
using e2e::stamped;

namespace {

const std::string txscript =
    "axfile hcax\nwith pk bk mk H2O CO2\ncalctype 2\ndiagramPT 1 8 300 900\nschreinemakers yes\nautoexit yes\n*\n";

const std::string ptscript =
    "axfile hcax\nwith pk bk mk H2O CO2\ndiagramPT 1 8 300 900\nfluidexcess ask\nschreinemakers yes\nautoexit yes\n*\n";

// Excess names, the T-x(CO2) window, the offered x(CO2) refused; then the
// typed list and the fixed P.
std::string txanswers(const std::string& lists) { return "\n400 800 0.1 0.95\nn\n" + lists + "3\n"; }

// P-T, fluid present and in excess, no more in excess, T at P, the P list;
// then the fixed x(CO2).
std::string ptanswers(const std::string& xco2) { return "1\ny\ny\n\ny\n1 8 1.5\n" + xco2; }

}  // namespace

TEST(TypedAnswers, AListLongerThanALineIsAskedAgainNeverCut) {
  // 262 characters: cut at 255 the list would end "0.32 0.4" with 0.7 lost.
  std::string longlist;
  for (int i = 10; i <= 32; i += 2) longlist += "0." + std::to_string(i) + "0000000000000000 ";
  longlist += "0.4468 0.7";
  ASSERT_GT(longlist.size(), 255u);
  const std::string shortlist = "0.1 0.12 0.14 0.16 0.18 0.2 0.22 0.24 0.26 0.28 0.3 0.32 0.4468 0.7";
  const e2e::Run refused = e2e::run({"h2oco2"}, txanswers(longlist + "\n" + shortlist + "\n"), {{"jx-hc.txt", txscript}});
  const e2e::Run direct = e2e::run({"h2oco2"}, txanswers(shortlist + "\n"), {{"jx-hc.txt", txscript}});
  EXPECT_EQ(refused.status, 0);
  EXPECT_FALSE(has(refused.out, "bombed")) << refused.out;
  const std::string refusal = "x(CO2) in ascending order : answer of " + std::to_string(longlist.size()) +
                              " characters, longer than 255: not taken, enter it again\n";
  EXPECT_TRUE(has(refused.out, refusal)) << refused.out;
  EXPECT_TRUE(has(refused.files.at("jx-log.txt"), refusal + "x(CO2) in ascending order :  " + shortlist + " \n"));
  // Every typed value, the window's ends around them, in the table's head.
  const std::string& sum = refused.files.at("jx-hc-o.txt");
  EXPECT_TRUE(has(sum, "x(CO2)      0.1     0.12     0.14     0.16     0.18      0.2     0.22     0.24     0.26     "
                       "0.28      0.3     0.32   0.4468      0.7     0.95      sdT\n"))
      << sum;
  EXPECT_EQ(stamped(sum), stamped(direct.files.at("jx-hc-o.txt")));
}

TEST(TypedAnswers, FixedXCO2OutsideZeroToOneIsAskedAgain) {
  const e2e::Run direct = e2e::run({"h2oco2"}, ptanswers("0.4\n"), {{"jx-hc.txt", ptscript}});
  EXPECT_EQ(direct.status, 0);
  EXPECT_TRUE(has(direct.files.at("jx-hc-o.txt"), "(for x(CO2) = 0.4 and x(H2O) = 0.6)"));
  for (const std::string& wrong : {std::string("1.5\n"), std::string("-0.3\n"), std::string("1.5\n-0.3\n")}) {
    SCOPED_TRACE(wrong);
    const e2e::Run r = e2e::run({"h2oco2"}, ptanswers(wrong + "0.4\n"), {{"jx-hc.txt", ptscript}});
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(has(r.out, "bombed")) << r.out;
    const std::string& log = r.files.at("jx-log.txt");
    EXPECT_TRUE(has(log, "fixed x(CO2) : " + wrong.substr(0, wrong.find('\n')) +
                             "\nnot valid : \nfluid is just H2O-CO2\nfixed x(CO2) : "))
        << log;
    EXPECT_FALSE(has(r.files.at("jx-hc-o.txt"), "x(H2O) = -")) << r.files.at("jx-hc-o.txt");
    EXPECT_EQ(stamped(r.files.at("jx-hc-o.txt")), stamped(direct.files.at("jx-hc-o.txt")));
  }
}
