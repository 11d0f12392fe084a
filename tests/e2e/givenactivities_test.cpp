// Activities given by name in the script of calc modes 2 and 3 ("seta",
// "setlna", "setloga"): each is the activity of its end-member, as if the
// a-x file listed it, whichever way it is written or when it is typed.
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "harness.h"

using e2e::has;

namespace {

const std::string deg = "\xA1";

// Calc mode 3, P-T, T at P from 1 to 8 kbar on the ptxlna phases; the a-x
// file lists sil at a = 0.5 unless the test lists it otherwise.
std::string ptscript(const std::string& seta) {
  return "axfile lnax\nwith mta mtb mtc sil\ncalctype 1\ndiagramPT 1 8 300 700\ncalcTatP yes\ncalcP 1 8 1\n" + seta +
         "schreinemakers yes\ninexcess\nautoexit yes\n*\n";
}

std::string axfile(const std::string& sil) { return "mta\nmtb\nmtc\nsil " + sil + "\n*\n"; }

e2e::Run diagram(const std::string& seta, const std::string& sil, const std::string& answers = "n\n") {
  return e2e::run({"ptxlna"}, answers, {{"jx-ln.txt", ptscript(seta)}, {"jx-lnax.txt", axfile(sil)}});
}

// mta + sil = 2 mtb has dH 16.0668, dS 0, dV -5: at P its T is
// (5 (P - 0.001) - dH) / (R ln(1/a)).
double reactiont(double P, double a) { return (5 * (P - 0.001) - 16.0668) / (0.0083144 * std::log(1 / a)) - 273.15; }

std::string fixed2(double v) {
  char s[32];
  std::snprintf(s, sizeof s, "%.2f", v);
  return s;
}

TEST(GivenActivities, DiagramLinesAreThoseOfTheActivity) {
  const e2e::Run plain = diagram("", "0.3");
  ASSERT_FALSE(has(plain.out, "bombed")) << plain.out;
  const std::string want = e2e::stamped(plain.files.at("jx-ln-o.txt"));
  const std::string t5 = fixed2(reactiont(5, 0.3));
  EXPECT_EQ(t5, "618.75");
  EXPECT_TRUE(has(want, " " + t5 + " ")) << want;
  EXPECT_TRUE(has(want, "Unit activities except :\n     name        a sd(ln a)\n      sil    0.300")) << want;
  EXPECT_TRUE(has(want, "Thermodynamics of reactions")) << want;
  EXPECT_TRUE(has(want, "mta + sil = 2mtb")) << want;

  const e2e::Run seta = diagram("seta yes sil 0.3\n", "0.5");
  EXPECT_EQ(seta.status, 0);
  EXPECT_EQ(e2e::stamped(seta.files.at("jx-ln-o.txt")), want);
  // ln 0.3 and log 0.3, each to more places than the table shows. The four
  // lines meet in one point, whose stable sides an activity a few units in
  // the last place away may swap: the lines themselves are compared.
  const std::string lines = want.substr(0, want.find("P-T of intersections"));
  for (const std::string line : {"setlna yes sil -1.2039728043\n", "setloga yes sil -0.5228787453\n"}) {
    const e2e::Run r = diagram(line, "0.5");
    EXPECT_EQ(r.status, 0) << line;
    const std::string got = e2e::stamped(r.files.at("jx-ln-o.txt"));
    EXPECT_EQ(got.substr(0, got.find("P-T of intersections")), lines) << line;
  }
  // A name without a value: its activity is asked for.
  const e2e::Run typed = diagram("seta yes sil\n", "0.5", "0.3\nn\n");
  EXPECT_TRUE(has(typed.out, "a(sil)")) << typed.out;
  EXPECT_EQ(e2e::stamped(typed.files.at("jx-ln-o.txt")), want);
}

// A value that cannot be used is refused, not dropped: a name that is no
// end-member, the end-member of an ln a section's variable, and H2O or CO2
// in a section in x(CO2), whose fluid they are.
TEST(GivenActivities, ValuesThatCannotBeUsedStopTheRun) {
  const e2e::Run r = diagram("seta yes sil 0.3 qtz 0.5\n", "0.5");
  EXPECT_TRUE(has(r.out, "-- run bombed in extractem : seta: qtz is not an end-member of the calculation")) << r.out;
  EXPECT_FALSE(has(r.out, "Unit activities")) << r.out;

  // P-ln a of sil at 500 C (the answers of the project's ln a section);
  // mta's activity is used, sil's is the section's.
  const std::string lna =
      "axfile lnax\nwith mta mtb mtc sil\ncalctype 5\ndiagramPT 1 8 300 700\nschreinemakers yes\ninexcess\n"
      "autoexit yes\n";
  const std::string answers = "sil\nn\n1 8 -2 0\n0.5\n500\n\n";
  const e2e::Run used = e2e::run({"ptxlna"}, answers, {{"jx-ln.txt", lna + "setlna yes mta -0.1\n*\n"}});
  EXPECT_TRUE(has(used.files.at("jx-ln-o.txt"), "Unit activities except :\n     name        a sd(ln a)\n      mta    0.905"))
      << used.out;
  const e2e::Run variable = e2e::run({"ptxlna"}, answers, {{"jx-ln.txt", lna + "setlna yes mta -0.1 sil -1\n*\n"}});
  EXPECT_TRUE(has(variable.out, "-- run bombed in inexcess : setlna: the activity of sil is the section's variable"))
      << variable.out;

  const std::string prefs = "dsfile 7hc\nscriptfile tx\ncalcmode 3\nsetpagewidth 200\n";
  const std::string tx = "axfile hcax\nwith pk bk mk H2O CO2\ncalctype 2\ndiagramPT 1 8 300 700\n";
  for (const std::string line : {"setlna yes H2O -0.5\n", "seta yes pk 0.9 CO2\n"}) {
    const e2e::Run x = e2e::run({"h2oco2"}, "", {{"jx-prefs.txt", prefs}, {"jx-tx.txt", tx + line + "autoexit yes\n*\n"}});
    const std::string name = has(line, "H2O") ? "H2O" : "CO2";
    EXPECT_TRUE(has(x.out, "-- run bombed in extractem : " + line.substr(0, line.find(' ')) + ": the activity of " +
                               name + " is the section's x(CO2)"))
        << x.out;
  }
}

// Calc mode 2 on the avrock rock: exxy listed at a = 0.5, sd 0.05, and set
// to 0.8 by the script keeps sd(ln a) 0.1: the fit is the one of the a-x
// file's own 0.8, sd 0.08, which the project's average P tests check.
TEST(GivenActivities, RockAverageUsesTheActivity) {
  const std::string ax = "% pure phases of the made-up rock\nex\nwy\nexy\nexyy\nexxy 0.5 0.05\n*\n";
  const std::string base =
      "axfile rkax\ncalctype 1\nrunname rockb\ndataok yes\nwith ex wy exy exyy exxy\ndiagramPT 1 15 400 800\n"
      "calcT 500 700 50\nisr ex wy exy exyy exxy\nisr -1 -1 1 0 0\nisr -1 -2 0 1 0\nisr -2 -1 0 0 1\n"
      "printcor yes\nautoexit\n";
  for (const std::string& line : {std::string("seta yes exxy 0.8\n"), std::string("setlna yes exxy -0.2231435513\n")}) {
    const e2e::Run r = e2e::run({"avrock"}, "", {{"jx-rkax.txt", ax}, {"jx-rk.txt", base + line + "*\n"}});
    ASSERT_FALSE(has(r.out, "bombed")) << r.out;
    const std::string& o = r.files.at("jx-rk-o.txt");
    for (const char* want : {"3        9.00     1.57      2.358    0.300  -0.006000    0.5000   -0.2231    0.1000",
                             "    exxy    8.16    0.85    2.949    0.482    0.028     0.800     0.839    0.199    0.005",
                             "av P       6.97    7.58    8.18    8.79    9.39"})
      EXPECT_TRUE(has(o, "\n" + std::string(want) + "\n")) << line << want << "\n" << o;
  }
}

}  // namespace
