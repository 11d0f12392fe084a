// Calc mode 3 without a fluid phase, on made-up magnesia, its hydrate and
// its carbonate: a typed activity of H2O or CO2 of 0 or below is refused
// and asked again, and the run then is the run with the good value typed at
// once (the typed value's own lines are checked on their own elsewhere).
#include <string>

#include "harness.h"

using e2e::has;
using e2e::stamped;

namespace {

e2e::Run typed(const std::string& activities) {
  return e2e::run({"h2oco2"}, "1\nn\n\ny\n1 8 1.5\n" + activities,
                  {{"jx-prefs.txt", "dsfile 7hc\nscriptfile ta\ncalcmode 3\nsetpagewidth 200\n"},
                   {"jx-ta.txt",
                    "axfile hcax\nwith pk bk mk H2O CO2\ndiagramPT 1 8 300 900\nfluidexcess ask\n"
                    "schreinemakers yes\nautoexit yes\n*\n"}});
}

TEST(TypedActivity, ZeroOrBelowIsAskedAgainInCalcMode3) {
  const e2e::Run plain = typed("0.5 0.3\n");
  ASSERT_FALSE(has(plain.out, "bombed")) << plain.out;
  const std::string& o = plain.files.at("jx-ta-o.txt");
  EXPECT_TRUE(has(o, "(for a(CO2) = 0.5 and a(H2O) = 0.3)")) << o;
  // The run of a(CO2) = 1 is another: the value typed is the one used.
  EXPECT_NE(stamped(typed("1 0.3\n").files.at("jx-ta-o.txt")), stamped(o));
  // Above 1 is no fluid's activity either: a(CO2) = 2 would run as a(CO2) = 1.
  for (const char* bad :
       {"-0.5 0.3\n", "0 0.3\n", "0.5 -0.5\n", "0.5 0\n", "-0.5 -0.5\n", "2 0.3\n", "0.5 1.5\n"}) {
    const e2e::Run r = typed(std::string(bad) + "0.5 0.3\n");
    EXPECT_EQ(r.status, 0) << bad;
    EXPECT_TRUE(has(r.out, "fixed a(CO2), a(H2O) : not valid : \nfixed a(CO2), a(H2O) : ")) << bad << r.out;
    ASSERT_TRUE(r.files.count("jx-ta-o.txt")) << bad;
    EXPECT_EQ(stamped(r.files.at("jx-ta-o.txt")), stamped(o)) << bad;
  }
}

}  // namespace
