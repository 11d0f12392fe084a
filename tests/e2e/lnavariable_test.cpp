// Calc mode 1 with an ln a held by the script, on a made-up system whose
// answers have a closed form.
//
// lnarow: an ideal one-site binary mix (ma, mb) beside a pure MgO phase at a
// fixed ln a, 600 C: ln(1 - x(mix)) = (G(p) + RT ln a - G(ma)) / RT, where a
// row with no entropy is H alone (no volume term either); worked out apart
// in 30 digits.
#include "harness.h"

using e2e::has;

namespace {

const std::string deg = "\xA1";

std::string lnascript(const std::string& phase, const std::string& lna) {
  return "axfile lrax\nwith mix " + phase + "\ninexcess\nlna yes " + phase + " " + lna +
         "\ncalcP 3 11 4\ncalcT 600\ndiagramPT 1 12 300 1000\npseudosection no\nautoexit yes\n*\n";
}

// The row's own entropy decides whether it is H alone, whatever ln a: pz has
// none (H + RT ln a, never its volume), pr has R/4 (at ln a = 1/4 the
// carried entropy is 0, yet -TS and the volume term stay).
TEST(LnaVariable, RowsOwnEntropyDecidesAtEveryValue) {
  struct Case {
    std::string phase, lna, shown;
    std::vector<std::string> x;  // at 3, 7, 11 kbar
  };
  const Case cases[] = {
      {"pz", "-0.3", "   -0.3000", {"0.7760", "0.9256", "0.9753"}},
      {"pz", "0", "         0", {"0.6976", "0.8995", "0.9666"}},
      {"pr", "0.25", "    0.2500", {"0.2285", "0.6433", "0.8351"}},
      {"pr", "-0.4", "   -0.4000", {"0.5973", "0.8138", "0.9139"}},
  };
  for (const Case& c : cases) {
    const e2e::Run r = e2e::run({"lnarow"}, "", {{"jx-lr.txt", lnascript(c.phase, c.lna)}});
    EXPECT_EQ(r.status, 0);
    const std::string head = " P(kbar)     T(" + deg + "C)  ln a(" + c.phase + ")    x(mix)\n";
    const std::string rows = head + "   3.000   600.000" + c.shown + "    " + c.x[0] + "\n" + "   7.000   600.000" +
                             c.shown + "    " + c.x[1] + "\n" + "  11.000   600.000" + c.shown + "    " + c.x[2] +
                             "\n";
    EXPECT_TRUE(has(r.out, rows)) << c.phase << " " << c.lna << "\n" << r.out;
    EXPECT_TRUE(has(r.files.at("jx-lr-o.txt"), rows)) << c.phase << " " << c.lna;
  }
  // A label of 22 characters in place of the name: the heading keeps it a
  // word of its own, the rows as they are.
  const std::string label = "abcdefghijklmnopqrstuv";
  const e2e::Run r = e2e::run({"lnarow"}, "", {{"jx-lr.txt", lnascript("pz", "-0.3 " + label)}});
  EXPECT_TRUE(has(r.out, " P(kbar)     T(" + deg + "C) ln a(" + label + ")    x(mix)\n   3.000   600.000   -0.3000"))
      << r.out;
}

}  // namespace
