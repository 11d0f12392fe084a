// Calc mode 1 with a chemical potential held by the script, on a made-up
// system whose answers have a closed form.
//
// muvar: two ideal Mg-Fe binaries, olv (two sites: mgs, fes) and pyx (one
// site: mgp, fep), at 4 kbar and 800 C with mu(SiO2) fixed. From
// mgs + SiO2 = 2 mgp and fes + SiO2 = 2 fep, with A = exp((2 G(mgp) - G(mgs)
// - mu) / 2RT) and B = exp((2 G(fep) - G(fes) - mu) / 2RT): x(pyx) =
// (A - 1)/(A - B), x(olv) = B x(pyx), mu(MgO) = G(mgp) + RT ln(1 - x(pyx))
// - mu, mu(FeO) = G(fep) + RT ln x(pyx) - mu (worked out apart in 30 digits).
#include "harness.h"

using e2e::has;

namespace {

const std::string deg = "\xA1";

std::string muscript(const std::string& mu) {
  return "axfile mvax\nwith olv pyx\ninexcess\n" + mu + "\ncalcP 4\ncalcT 800\ndiagramPT 1 10 400 1200\n"
         "pseudosection no\nautoexit yes\n*\n";
}

// One point's table and its chemical potentials, as the terminal and the
// summary show them.
std::string mupoint(const std::string& x, const std::string& mus) {
  return " P(kbar)     T(" + deg + "C)    x(olv)    x(pyx)\n   4.000   800.000    " + x +
         "\n\n mu           SiO2         MgO         FeO\n        " + mus + "\n";
}

TEST(ChemicalPotential, FixedValueIsTheGibbsEnergyOfItsPhase) {
  const e2e::Run r = e2e::run({"muvar"}, "");
  EXPECT_EQ(r.status, 0);
  const std::string want = mupoint("0.4966    0.3199", "-950.00000  -652.82454  -339.99402");
  EXPECT_TRUE(has(r.out, want)) << r.out;
  EXPECT_TRUE(has(r.files.at("jx-mv-o.txt"), want));
  EXPECT_TRUE(has(r.files.at("jx-mv-qk.txt"), "-950.0000   -652.8245   -339.9940")) << r.files.at("jx-mv-qk.txt");

  // -950 / (1 - T): what a potential taken as mu (1 - T) would turn into the
  // point above. Held as the potential itself, nothing is in equilibrium
  // (the closed form gives x(olv) 1.91).
  const e2e::Run off = e2e::run({"muvar"}, "", {{"jx-mv.txt", muscript("mu SiO2 0.88607004616891")}});
  EXPECT_EQ(off.status, 0);
  EXPECT_TRUE(has(off.out, "<== nothing in range ==>")) << off.out;
  EXPECT_FALSE(has(off.out, "   4.000   800.000")) << off.out;
}

// No value in the script: a window and a step asked for, each value of the
// list a point of its own.
TEST(ChemicalPotential, EachListValueIsItsOwnPoint) {
  const e2e::Run r = e2e::run({"muvar"}, "-952 -948\n2\n", {{"jx-mv.txt", muscript("mu SiO2")}});
  EXPECT_EQ(r.status, 0);
  const std::string want = mupoint("0.3288    0.1894", "-952.00000  -649.25736  -342.67365") +
                           "------------------------------------------------------------ef 5\n" +
                           mupoint("0.4966    0.3199", "-950.00000  -652.82454  -339.99402") +
                           "------------------------------------------------------------ef 6\n" +
                           mupoint("0.6466    0.4660", "-948.00000  -656.98198  -338.63859");
  EXPECT_TRUE(has(r.out, want)) << r.out;
  EXPECT_TRUE(has(r.files.at("jx-mv-o.txt"), want));
}

// A name that is no component of the system: cas's CaO is in the data set
// and the a-x file but not among the phases chosen; Al2O3 is nowhere.
TEST(ChemicalPotential, NameThatIsNoComponentStopsTheRun) {
  struct Case {
    std::string line, name;
  };
  const Case cases[] = {
      {"mu CaO -700", "CaO"},
      {"mu Al2O3 -1500", "Al2O3"},
      {"mu SiO2 -950 H2O -300", "H2O"},
  };
  for (const Case& c : cases) {
    const e2e::Run r = e2e::run({"muvar"}, "", {{"jx-mv.txt", muscript(c.line)}});
    const std::string bombed = "-- run bombed in setupmu : " + c.name + " is not a component of the system";
    EXPECT_EQ(r.status, 1) << c.line;
    EXPECT_TRUE(has(r.out, bombed)) << r.out;
    EXPECT_TRUE(has(r.files.at("jx-log.txt"), bombed)) << c.line;
    // Stopped before the variance: nothing counted, nothing calculated.
    EXPECT_FALSE(has(r.out, "variance")) << r.out;
    EXPECT_FALSE(has(r.out, "<====")) << r.out;
  }
}

// Names read while the switch is not on are never set up as phases: they
// count nowhere, and olv + pyx in MgO-FeO-SiO2 keep variance 3 + 2 - 2,
// one above P and T.
TEST(ChemicalPotential, NamesWithTheSwitchOffCountNowhere) {
  for (const std::string line : {"mu ask SiO2 -950", "mu SiO2 -950\nmu no"}) {
    const e2e::Run r = e2e::run({"muvar"}, "", {{"jx-mv.txt", muscript(line)}});
    EXPECT_TRUE(has(r.out, "you will have to set at least 1 compositional variable\n")) << line << "\n" << r.out;
    EXPECT_FALSE(has(r.out, "(mu(SiO2))")) << line;
  }
}

}  // namespace
