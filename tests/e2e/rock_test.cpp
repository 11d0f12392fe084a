// The rock and diagram set-up as a user meets it in calc mode 3: the
// activities at the script's P and T, the listing of the a-x models, the
// phases in excess, and a system of pure phases only.
#include <cmath>
#include <regex>

#include "harness.h"

using e2e::has;

namespace {

const std::string script =
    "axfile abax\nwith sol cc\nptforaxe 8 600\ndiagramPT 4 10 400 700\npseudosection no\nautoexit\n";

std::string binary(const std::string& model, const std::string& w) {
  return "sol 2 1\n  x(sol) 0.3\n  p(aa) 1 1 1 1 -1 x\n  p(bb) 1 1 0 1 1 x\n  " + model + "\n" + w +
         "  2\n  xA 1 1 1 1 -1 x\n  xB 1 1 0 1 1 x\n  aa 1 1 xA 1\n  bb 1 1 xB 1\ncc\n*\n";
}

TEST(RockRun, ActivitiesAtTheScriptsPT) {
  struct Case {
    std::string ax, aa, bb;
  };
  const Case cases[] = {
      {binary("sf", "  W(aa,bb) 10 0 0\n"), "           aa: a =   0.7924, sd(a) =   0.0196",
       "           bb: a =   0.5892, sd(a) =   0.0795"},
      {binary("sf", "  W(aa,bb) 40 0 0\n"), "           aa: a =   0.9990, sd(a) =   0.0285 ## reset, was   1.1494", ""},
      {binary("ideal", ""), "           aa: a =   0.7000, sd(a) =        0", "           bb: a =   0.3000, sd(a) =        0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ax);
    // The script answers the calc-mode-3 questions that follow the set-up.
    const std::string lines = "calcTatP yes\ncalcP 4 10 2\nschreinemakers yes\n*\n";
    const e2e::Run r = e2e::run({"rock"}, "1\n\n", {{"jx-abax.txt", c.ax}, {"jx-qtest.txt", script + lines}});
    EXPECT_EQ(r.status, 0);
    const std::string head =
        "\nactivities of end-members in solid solutions are calculated with\n"
        "input values of compositional variables at PT: 8.0 kbar, 600\xA1" "C (from script)\n\nsol         \n";
    EXPECT_TRUE(has(r.out, head + c.aa + "\n")) << r.out;
    EXPECT_TRUE(has(r.files.at("jx-log.txt"), c.aa + "\n"));
    EXPECT_TRUE(has(r.out, c.bb + "\n"));
    EXPECT_TRUE(has(r.out, "\naa  bb  cc  \nin excess: names : ")) << r.out;
    EXPECT_FALSE(has(r.out, "bombed"));
  }
}

TEST(RockRun, AskedForPAndTWithoutTheScriptLine) {
  const std::string noline = "axfile abax\nwith sol cc\ndiagramPT 4 10 400 700\npseudosection no\nautoexit\n*\n";
  const e2e::Run r = e2e::run({"rock"}, "1\n8\n600\n\n", {{"jx-qtest.txt", noline}});
  EXPECT_TRUE(has(r.out, "input values of compositional variables\nP for a-x in kbar : T for a-x in \xA1" "C : \n"
                         "sol         \n           aa: a =   0.7924"))
      << r.out;
}

TEST(RockRun, OrderSolvedAndExcludedEndMembersLeftOut) {
  const std::string od = "axfile odax\nwith od ex bb\nptforaxe 8 600\ndiagramPT 4 10 400 700\npseudosection no\nautoexit\n*\n";
  const e2e::Run r = e2e::run({"rock"}, "1\n\n", {{"jx-qtest.txt", od}});
  std::smatch m;
  const std::regex block(
      "\nod          Q\\(od\\) = (0\\.[0-9]{4})\n           aa: a =   (0\\.[0-9]{4}), sd\\(a\\) =   0\\.[0-9]{4}\n"
      "           bb: a =   (0\\.[0-9]{4}), sd");
  ASSERT_TRUE(std::regex_search(r.out, m, block)) << r.out;
  // At the solved order the two end-members' chemical potentials agree:
  // RT ln(a_aa / a_bb) = G_bb - G_aa, which for these rows (equal heat
  // capacity and expansion) is dH - T dS + P dV to within the rounding of
  // the printed activities and the small bulk-modulus term.
  const double t = 873.15, rt = 0.0083144 * t;
  const double dg = 5.70 - t * 0.0015 + 8 * 0.031;
  EXPECT_NEAR(rt * std::log(std::stod(m[2]) / std::stod(m[3])), dg, 0.02);
  // The printed order is the one the activities were taken at.
  const double q = std::stod(m[1]);
  EXPECT_NEAR(std::stod(m[2]), (1 - q) * std::exp(3 * q * q / rt), 2e-4);
  EXPECT_TRUE(has(r.out, "\nex          left out: cc \n           aa: a =   0.6000, sd(a) =        0\n\naa  bb  aa  bb  \n"))
      << r.out;
}

// With the sum-of-squares test switched off and a step tolerance of ten
// typical sizes (1e-3 in Q), the order solve at the script's P and T must
// end on its step once the residual is small: the trace shows each
// iteration's step in Q over its typical size of 1e-4, and those steps
// lead from the start guess of 0.5 to the order printed.
TEST(RockRun, OrderSolveEndsOnItsStepNearTheSolution) {
  const std::string od = "axfile odax\nwith od ex bb\nptforaxe 8 600\ndiagramPT 4 10 400 700\npseudosection no\n"
                         "convergence 1e-8 0 10 1e-6\ndebuglevelq 2\nautoexit\n*\n";
  const e2e::Run r = e2e::run({"rock"}, "1\n\n", {{"jx-qtest.txt", od}});
  std::smatch m;
  const std::regex trace(
      "\n 1 +[^\n]* 1 +[0-9.e-]+ +([0-9.]+)\n[^\n]*\n[^\n]*\n"
      " 2 +[^\n]* 1 +[0-9.e-]+ +([0-9.]+)\n[^\n]*\n[^\n]*\n"
      " 3 +[^\n]* 1 +[0-9.e-]+ +([0-9.]+)\n[^\n]*\n[^\n]*\n"
      "\nstep too small near solution \\(dxconverge\\)\n\nod          Q\\(od\\) = (0\\.[0-9]{4})\n");
  ASSERT_TRUE(std::regex_search(r.out, m, trace)) << r.out;
  const double d1 = std::stod(m[1]), d2 = std::stod(m[2]), d3 = std::stod(m[3]), q = std::stod(m[4]);
  EXPECT_GT(d2, 10);
  EXPECT_LT(d3, 10);
  // Newton overshoots downwards from 0.5 and comes back up.
  EXPECT_NEAR(0.5 - 1e-4 * (d1 - d2 - d3), q, 2e-4);
  // The order reached solves the equilibrium, as in the default solve.
  const double rt = 0.0083144 * 873.15, dg = 5.70 - 873.15 * 0.0015 + 8 * 0.031;
  EXPECT_NEAR(rt * std::log((1 - q) / q) + 3 * (2 * q - 1), dg, 0.01);
  EXPECT_TRUE(has(r.files.at("jx-qtest-o.txt"), "\nstep too small near solution (dxconverge)\n"));
}

const std::string listing =
    "#\nmade-up models for the listing\n#\n\n"
    "--------------------------------------\nvl\n\n"
    " composition variables\n  x(vl)\n\n"
    " site fractions\n   xB = 1 - x\n   xM = x\n\n"
    " proportions\n   bb = 1 - x\n   ab = x\n\n"
    " ideal mixing activities\n  bb = xB\n  ab = xM\n\n"
    " non-ideality by van laar\n  W(bb,ab) = 2.5 - 0.001 T + 0.01 P\n\n"
    "  v(bb) = 1\n  v(ab) = 1.5 + 0.000020 T + 0.0020 P\n\n"
    " \"make\" end-members\n  ab = 1/2 aa + 1/2 bb + 2 - 0.001 T + 0.01 P\n\n\n"
    "--------------------------------------\nid\n\n"
    " composition variables\n  x(id)  range 0.1 <> 0.9\n\n"
    " site fractions\n   xC = 1 - x\n   xX = x\n\n"
    " proportions\n   cc = 1 - x\n   cx = x\n\n"
    " activities\n  cc = xC^2\n  cx = 4 xX^(1/2)\n\n"
    " \"make\" end-members\n  cx = cc - aa + 0 + 0.02 P\n\n\n"
    "--------------------------------------\nsy\n\n"
    " composition variables\n  x(sy)\n\n"
    " site fractions\n   xA = 1 - x\n   xD = x\n\n"
    " proportions\n   aa = 1 - x\n   bd = x\n\n"
    " ideal mixing activities\n  aa = xA\n  bd = xD\n\n"
    " non-ideality by symmetric formalism\n  W(aa,bd) = 4 + 0.05 P\n\n"
    " \"make\" end-members\n  bd = 2 bb\n\n";

TEST(RockRun, AxListingOfTheFirstPassOnly) {
  const std::string twopasses = "axfile mkax\nwith vl id sy cc\nptforaxe 8 600\ndiagramPT 4 10 400 700\npseudosection no\n*\n";
  const e2e::Run r = e2e::run({"rock"}, "1\n\nyes\n1\n\nno\n\n", {{"jx-qtest.txt", twopasses}});
  EXPECT_EQ(r.files.at("jx-qtest-it.txt"), listing);
  EXPECT_TRUE(has(r.out, "           cx: a =   0.9990, sd(a) =        0 ## reset, was   2.8284\n")) << r.out;
  EXPECT_TRUE(has(r.out, "\nbb  ab  cc  cx  aa  bd  cc  \n"));
}

TEST(RockRun, PhasesInExcessFromTheScript) {
  struct Case {
    std::string line, shown;
  };
  const Case cases[] = {
      {"inexcess cc\n", "\nphases in excess: cc  (from script)\n"},
      {"inexcess\n", "\nno phases in excess (from script)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const e2e::Run r = e2e::run({"rock"}, "1\n\n", {{"jx-qtest.txt", script + c.line + "*\n"}});
    EXPECT_TRUE(has(r.out, c.shown)) << r.out;
    EXPECT_TRUE(has(r.files.at("jx-qtest-o.txt"), c.shown.substr(1)));
    EXPECT_FALSE(has(r.out, "in excess: names"));
  }
}

TEST(RockRun, PurePhasesOnlyAskForTheSdParameters) {
  const std::string pure = "axfile pure\nwith cc bb\ndefsdaparams ask\ndiagramPT 4 10 400 700\npseudosection no\nautoexit\n*\n";
  const e2e::Run r =
      e2e::run({"rock"}, "1\nno\n\n", {{"jx-pure.txt", "cc\nbb\naa\n*\n"}, {"jx-qtest.txt", pure}});
  EXPECT_TRUE(has(r.out, "standard default uncertainties on activities ? "
                         "**resetting default uncertainty parameters not currently available\n"))
      << r.out;
  EXPECT_FALSE(has(r.files.at("jx-log.txt"), "**resetting"));
  EXPECT_FALSE(has(r.out, "activities of end-members"));
  EXPECT_TRUE(has(r.out, "\ncc  bb  \n"));
  // No solution phase: nothing was listed, so the a-x information file goes.
  EXPECT_EQ(r.files.count("jx-qtest-it.txt"), 0u);
}

}  // namespace
