// Batch and Monte Carlo runs with the run's mu or ln a variable: every item
// and every run has the variable's phase, though no batch line names it.
//
// mubatch: a symmetric binary qq of qa (MgO) and qb (FeO), W = a + 0.002 T
// + c P, with mu(MgO) held; G = H - T S + (P - 0.001) V. Then
// G(qa) + RT ln(1 - x) + W x^2 = mu(MgO), and
// mu(FeO) = G(qb) + RT ln x + W (1 - x)^2.
#include <cmath>
#include <cstdio>
#include <regex>
#include <string>

#include "harness.h"

using e2e::has;

namespace {

const std::string deg = "\xA1";

struct point {
  double x, mufeo;
};

// The closed form at P (kbar), T (C), with W's a and c terms.
point closedform(double P, double Tc, double a, double c, double mu) {
  const double T = Tc + 273.15, RT = 0.0083144 * T, W = a + 0.002 * T + c * P;
  const double ga = -1010 - 0.090 * T + 2.10 * (P - 0.001), gb = -1120 - 0.110 * T + 2.30 * (P - 0.001);
  const auto f = [&](double x) { return ga + RT * std::log(1 - x) + W * x * x - mu; };
  double lo = 1e-12, hi = 1 - 1e-12;
  for (int i = 0; i < 200; ++i) {
    const double m = 0.5 * (lo + hi);
    (f(lo) * f(m) <= 0 ? hi : lo) = m;
  }
  const double x = 0.5 * (lo + hi);
  return {x, gb + RT * std::log(x) + W * (1 - x) * (1 - x)};
}

std::string fmt(const char* f, double v) {
  char s[32];
  std::snprintf(s, sizeof s, f, v);
  return s;
}

std::string script(const std::string& extra) {
  return "axfile mbax\nwith qq\ninexcess\nmu MgO -1086\ndiagramPT 1 12 200 900\npseudosection no\n"
         "batchxyzguess startblock\nbatchxyzguess x(qq) 0.5\n"
         "batch qq 2 1 1 5 600 1 1 0 0\nbatch qq 2 1 1 4 650 1 1 0 0\n" +
         extra + "autoexit\n*\n";
}

// One item's block as the plain run of the point prints it.
std::string block(double P, double Tc) {
  const point p = closedform(P, Tc, 4, 0.04, -1086);
  return " P(kbar)     T(" + deg + "C)     x(qq)\n" + fmt("%8.3f", P) + fmt("%10.3f", Tc) + "    " +
         fmt("%.4f", p.x) + "\n\n mu            MgO         FeO\n       -1086.00000 " + fmt("%.5f", p.mufeo) + "\n";
}

TEST(BatchVariables, EachItemHasTheRunsMuPhase) {
  EXPECT_EQ(fmt("%.4f", closedform(5, 600, 4, 0.04, -1086).x), "0.8013");
  EXPECT_EQ(fmt("%.5f", closedform(4, 650, 4, 0.04, -1086).mufeo), "-1221.53709");
  const e2e::Run r = e2e::run({"mubatch"}, "", {{"jx-mb.txt", script("")}});
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  const std::string& o = r.files.at("jx-mb-o.txt");
  for (const auto& [P, T] : {std::pair{5.0, 600.0}, std::pair{4.0, 650.0}})
    EXPECT_TRUE(has(o, "phases: qq (mu(MgO)) \n") && has(o, block(P, T))) << P << "\n" << o;
  // The plain run of the first point says the same.
  const e2e::Run plain = e2e::run({"mubatch"}, "");
  EXPECT_TRUE(has(plain.files.at("jx-mb-o.txt"), block(5, 600)));
}

// Every run of the series solves both items with its own drawn W.
TEST(BatchVariables, EveryMonteCarloRunHasTheRunsMuPhase) {
  const std::string mc = "mc qq a W(qa,qb) 4 1\nmc qq c W(qa,qb) 0.04 0.01\nmcit 20 30000\n";
  const e2e::Run r = e2e::run({"mubatch"}, "", {{"jx-mb.txt", script(mc)}});
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  const std::string& o = r.files.at("jx-mb-o.txt");
  const std::regex run("\n(-?[0-9.]+) (-?[0-9.]+) \n1 1 3 5\\.000 600\\.00 ([0-9.]+) \n2 1 3 4\\.000 650\\.00 ([0-9.]+) \n");
  int runs = 0;
  for (auto it = std::sregex_iterator(o.begin(), o.end(), run); it != std::sregex_iterator(); ++it, ++runs) {
    const double a = std::stod((*it)[1]), c = std::stod((*it)[2]);
    EXPECT_NEAR(std::stod((*it)[3]), closedform(5, 600, a, c, -1086).x, 1.5e-4) << (*it)[0];
    EXPECT_NEAR(std::stod((*it)[4]), closedform(4, 650, a, c, -1086).x, 1.5e-4) << (*it)[0];
  }
  EXPECT_EQ(runs, 20) << o;
}

// An ln a held on pz: the item that does not name pz has it as the one
// that does (lnarow: x(mix) = 1 - exp((G(pz) + RT ln a - G(ma)) / RT),
// pz with no entropy being H alone, G(ma) = -1000 - 0.1 T + 2 (P - 0.001)).
TEST(BatchVariables, EachItemHasTheRunsLnaPhase) {
  const std::string s =
      "axfile lrax\nwith mix pz\ninexcess\nlna yes pz -0.3\ndiagramPT 1 12 300 1000\npseudosection no\n"
      "batchxyzguess startblock\nbatchxyzguess x(mix) 0.5\nbatch mix 2 1 1 3 600 1 1 0 0\n"
      "batch mix pz 2 1 1 7 600 1 1 0 0\nautoexit yes\n*\n";
  const e2e::Run r = e2e::run({"lnarow"}, "", {{"jx-lr.txt", s}});
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  const double T = 873.15, RT = 0.0083144 * T;
  for (double P : {3.0, 7.0}) {
    const double x = 1 - std::exp((-1090 - 0.3 * RT - (-1000 - 0.1 * T + 2 * (P - 0.001))) / RT);
    const std::string row = fmt("%8.3f", P) + "   600.000   -0.3000    " + fmt("%.4f", x) + "\n";
    EXPECT_TRUE(has(r.files.at("jx-lr-o.txt"), row)) << row << r.files.at("jx-lr-o.txt");
  }
}

}  // namespace
