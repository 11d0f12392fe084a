// Calc mode 1 over two passes of the main loop on the lnarow system: a pass
// with an ln a held on one phase, then a pass of another script. With pz in
// excess and no ln a, x(mix) = 1 - exp((G(pz) - G(ma)) / RT), where pz has
// no entropy and is H alone, G(ma) = -1000 - 0.1 T + 2 (P - 0.001).
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "harness.h"

using e2e::has;

namespace {

const std::string deg = "\xA1";

std::string script(const std::string& phase, const std::string& lna) {
  return "axfile lrax\nwith mix " + phase + "\ninexcess\n" + lna + "calcP 3 11 4\ncalcT 600\n" +
         "diagramPT 1 12 300 1000\npseudosection no\n*\n";
}

// The rows of x(mix) with pz in excess at 3, 7 and 11 kbar, 600 C.
std::string pzrows() {
  const double T = 873.15, RT = 0.0083144 * T;
  std::string rows = " P(kbar)     T(" + deg + "C)    x(mix)\n";
  for (double P : {3.0, 7.0, 11.0}) {
    const double gma = -1000 - 0.1 * T + 2.0 * (P - 0.001);
    char line[64];
    std::snprintf(line, sizeof line, "%8.3f   600.000    %.4f\n", P, 1 - std::exp((-1090 - gma) / RT));
    rows += line;
  }
  return rows;
}

// An empty ds-prefs.txt in place of jx-prefs.txt: the run asks for the
// calc mode, the script and the data set, and each later pass whether to
// keep the script.
const std::vector<std::string> fixture = {"lnarow/jx-ds7lr.txt", "lnarow/jx-lrax.txt"};
const std::map<std::string, std::string> files = {
    {"ds-prefs.txt", ""},
    {"jx-a.txt", script("pr", "lna yes pr 0.25\n")},
    {"jx-b.txt", script("pz", "")},
};

// Pass A leaves pr's row (3) carrying ln a = 1/4 with pr's own S = R/4, the
// carried slot 0; pz takes row 3 in pass B with its own slot 0 too. Pass B
// must not take pz as carrying pass A's variable.
TEST(LnaPasses, NextPassCarriesNoneOfTheLastPassRows) {
  const std::string want = pzrows();
  EXPECT_EQ(want.substr(want.find('\n') + 1, 20), "   3.000   600.000  ");
  EXPECT_TRUE(has(want, "0.6976\n") && has(want, "0.8995\n") && has(want, "0.9666\n")) << want;

  const e2e::Run two = e2e::run(fixture, "1\na\n7lr\ny\nn\nb\nn\n\n", files);
  const e2e::Run fresh = e2e::run(fixture, "1\nb\n7lr\nn\n\n", files);
  for (const e2e::Run* r : {&two, &fresh}) {
    EXPECT_EQ(r->status, 0);
    EXPECT_FALSE(has(r->out, "bombed")) << r->out;
  }
  const std::string& o = two.files.at("jx-a-o.txt");
  const auto second = o.rfind(" P(kbar)");
  ASSERT_NE(second, std::string::npos) << o;
  EXPECT_EQ(o.substr(second, want.size()), want) << o;
  EXPECT_TRUE(has(fresh.files.at("jx-b-o.txt"), want));
  // Pass A itself: pr's own entropy and volume stay at ln a = 1/4.
  EXPECT_TRUE(has(o, "   3.000   600.000    0.2500    0.2285\n")) << o;
}

}  // namespace
