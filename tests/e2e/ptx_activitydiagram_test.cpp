// Calc mode 3 on a pressure-ln a section: three made-up magnesium silicates
// with the silica phase in excess and its activity the diagram variable.
// Volumes are constant and every reaction has dS = 0, so each line is
// P = Pr + (dH - n RT ln a) / (-dV) at T = 500 degrees, with n the silica of
// the reaction: 2 mtb = mta + sil (dH 16.0668, dV -5), 2 mtc = mta + 3 sil
// (dH 25.7052, dV -10), mtc = mtb + sil (dH 4.8192, dV -2.5); the three
// meet where ln a = -1.00002 and P = 4.50004 kbar.
#include "harness.h"

using e2e::has;

namespace {

const std::string deg = "\xA1";

// The silica phase to vary, ln a rather than log a, the window, the step of
// ln a, the fixed temperature and no new label.
const std::string answers = "sil\nn\n1 8 -2 0\n0.5\n500\n\n";

TEST(ActivityDiagram, LinesAndTheirIntersectionFollowTheClosedForms) {
  const e2e::Run r = e2e::run({"ptxlna"}, answers);
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  EXPECT_EQ(e2e::names(r), (std::vector<std::string>{"jx-ds7ln.txt", "jx-ln-o.txt", "jx-ln.txt", "jx-lnax.txt",
                                                     "jx-log.txt", "jx-prefs.txt"}));
  const std::string& sum = r.files.at("jx-ln-o.txt");
  EXPECT_TRUE(has(sum, "\npressure-log a calculations (from script)\nlogs are to the base e (ie natural logs)\n"))
      << sum;
  // The a-x file lists silica at a = 0.5; as the diagram variable it counts
  // at unit activity, and no linearised thermodynamics are printed.
  EXPECT_TRUE(has(sum, "\nUnit activities\n"));
  EXPECT_FALSE(has(sum, "Thermodynamics of reactions"));
  EXPECT_TRUE(has(sum, "\n1)  2mtb = mta + sil\n2)  2mtc = mta + 3sil\n3)  mtc = mtb + sil\n"));

  // sdP: the enthalpy sd 0.2 of every phase through the reaction, over |dV|:
  // sqrt(6 x 0.04) / 5, sqrt(14 x 0.04) / 10, sqrt(3 x 0.04) / 2.5.
  const std::string blankrow = std::string(51, ' ') + "\n";
  const std::string lines = "Prsessures in the range 1.0 <-> 8.0kbar;  for T = 500" + deg +
                            "C\nuncertainties at or near ln a(sil) -1.0\n\n"
                            "ln a       -2.0     -1.5     -1.0     -0.5        0      sdP\n\n"
                            "1         5.786    5.143    4.500    3.857    3.214     0.10\n" + blankrow +
                            "2         6.428    5.464    4.500    3.536    2.572     0.07\n" + blankrow +
                            "3         7.071    5.786    4.500    3.214    1.929     0.14\n" + blankrow;
  // dln a/dP of each line is dV / (n RT): -0.778, -0.519, -0.389.
  const std::string intersection =
      "P-x(sil)  of intersections  : T = 500" + deg + "C\nwindow : P 1.0 <-> 8.0 kbars; ln a(sil) -2.0 <-> 0\n"
      "in excess : sil \n" + std::string(58, '-') + "\n# stable intersection 1 involving mta mtb mtc + (sil)\n" +
      std::string(71, ' ') + "low P    high P   dlna/dp\n"
      "1)  mtb = mta + sil                                          [mtc]              stable    -0.778\n"
      "2)  mtc = mta + sil                                          [mtb]    stable              -0.519\n"
      "3)  mtc = mtb + sil                                          [mta]              stable    -0.389\n\n"
      "P = 4.500kbar ,ln a(sil) = -1.00\n";
  EXPECT_TRUE(has(sum, "\n" + lines + intersection)) << sum;
  EXPECT_TRUE(has(r.files.at("jx-log.txt"), intersection));
}

// The silica of the section with no entropy of its own (ptxlnazero, on
// mta mtb sil): its G is R T ln a at every ln a, never its volume, so
// 2 mtb = mta + sil (dH -8, dS 0, dV of the solids 2) lies at
// P = Pr + (8 - RT ln a) / 2 at 500 degrees, and sdP = sqrt(6 x 0.04) / 2.
TEST(ActivityDiagram, EntropyFreePhaseIsRTlnaAtEveryValue) {
  const e2e::Run r = e2e::run({"ptxlna", "ptxlnazero"}, "sil\nn\n1 8 -1 0\n0.25\n500\n\n");
  EXPECT_EQ(r.status, 0);
  const std::string& sum = r.files.at("jx-ln-o.txt");
  EXPECT_TRUE(has(sum, "\n1)  2mtb = mta + sil\n")) << sum;
  EXPECT_TRUE(has(sum, "ln a       -1.0    -0.75     -0.5    -0.25        0      sdP\n\n"
                       "1         7.215    6.412    5.608    4.805    4.001     0.24\n"))
      << sum;
}

// The made-up silicates of ptxnode, whose four reactions all meet at
// (P0, T0) with G = H - T S + (P - Pr) V, exactly in decimals:
// mta + sil = 2mtb (dS -0.016, dV -5) and mtb + sil = mtc (dS -0.030,
// dV -2.5) vanish there when H(mtb) = (5 (P0 - Pr) - 0.016 T0) / 2 and
// H(mtc) = H(mtb) + 2.5 (P0 - Pr) - 0.030 T0; the fixture is the one at
// 4 kbar, 800 K. In 1e-4 kJ, H(mtb) = 25000 P0 - 80 T0 - 25 and H(mtc) =
// H(mtb) + 25000 P0 - 300 T0 - 25.
std::string nodeset(int P0, int T0) {
  std::string ds = e2e::slurp(e2e::fs::path(SOLVARINTH_FIXTURES) / "ptxnode" / "jx-ds7ln.txt");
  const auto decimal = [](long v) {
    const std::string a = std::to_string(std::labs(v) / 10000), b = std::to_string(10000 + std::labs(v) % 10000);
    return (v < 0 ? "-" : "") + a + "." + b.substr(1);
  };
  const long hb = 25000L * P0 - 80L * T0 - 25, hc = hb + 25000L * P0 - 300L * T0 - 25;
  ds.replace(ds.find("3.5975 "), 7, decimal(hb) + " ");
  ds.replace(ds.find("-10.405 "), 8, decimal(hc) + " ");
  return ds;
}

// The Schreinemakers rows of the point, the same at every (P0, T0): dp/dt
// = dS/dV, and each line stable on the side where its phases lie on the
// lower hull of G (per cation) against x(SiO2), 1 K off the point (own,
// in fractions).
const std::string noderows =
    "1)  mta + mtc = mtb                                          [sil]    stable            -0.00560\n"
    "2)  mta + sil = mtb                                          [mtc]              stable   0.00320\n"
    "3)  mta + sil = mtc                                          [mtb]    stable             0.00760\n"
    "4)  mtb + sil = mtc                                          [mta]              stable    0.0120\n";

// An invariant point on a value of the list is printed once, stable, with
// its rows, where T is solved along a P list holding P0 (both ways round a
// bracket ending there, as the rounding of the table leaves the lines),
// where P is solved along a T list holding T0, and on a T-ln a(sil) section
// at 4 kbar whose list ends at the point (ln a 0, the window's end).
TEST(ActivityDiagram, APointOnAListValueIsPrintedOnce) {
  const auto once = [](const std::string& sum, const std::string& piece) {
    const std::size_t at = sum.find(piece);
    return at != std::string::npos && sum.find(piece, at + 1) == std::string::npos;
  };
  const std::string title = "\n# stable intersection 1 involving mta mtb mtc sil\n";
  for (int P0 : {3, 4, 5, 6})
    for (int T0 : {700, 850, 950}) {
      const e2e::Run r = e2e::run({"ptxlna", "ptxnode"}, "\n\n\n\n\n\n", {{"jx-ds7ln.txt", nodeset(P0, T0)}});
      ASSERT_EQ(r.status, 0) << r.out;
      const std::string& sum = r.files.at("jx-ln-o.txt");
      const std::string point = "\nP = " + std::to_string(P0) + ".000 kbar (sd = ";
      const std::string t = ", T = " + std::to_string(T0 - 274) + ".85 " + deg + "C (sd = ";
      EXPECT_TRUE(once(sum, title) && has(sum, noderows) && once(sum, point) && has(sum, t)) << P0 << " " << T0 << sum;
      for (const char* no : {"finding the intersection", "sorry", "not involved"}) EXPECT_FALSE(has(sum, no)) << sum;
    }
  const std::string pt = e2e::slurp(e2e::fs::path(SOLVARINTH_FIXTURES) / "ptxnode" / "jx-ln.txt");
  std::string tlist = pt;
  tlist.replace(tlist.find("calcTatP yes"), 12, "calcTatP no");
  tlist.replace(tlist.find("calcP 1 8 1"), 11, "calcP 1 8");
  tlist.replace(tlist.find("calcT 300 1000"), 14, "calcT 326.85 926.85 100");
  const e2e::Run p = e2e::run({"ptxlna", "ptxnode"}, "\n\n\n\n\n\n", {{"jx-ln.txt", tlist}});
  const std::string& psum = p.files.at("jx-ln-o.txt");
  EXPECT_TRUE(once(psum, title) && has(psum, noderows) && once(psum, "\nP = 4.000 kbar (sd = ")) << psum;

  std::string lna = pt;
  lna.replace(lna.find("calctype 1"), 10, "calctype 4");
  const e2e::Run a = e2e::run({"ptxlna", "ptxnode"}, "sil\nn\n300 1000 -2 0\n0.25\n4\n\n", {{"jx-ln.txt", lna}});
  const std::string& asum = a.files.at("jx-ln-o.txt");
  EXPECT_TRUE(once(asum, "\n# stable intersection 1 involving mta mtb mtc + (sil)\n")) << asum;
  EXPECT_TRUE(once(asum, "\nT = 526.85 " + deg + "C,ln a(sil) = 0\n")) << asum;
  for (const char* no : {"finding the intersection", "sorry"}) EXPECT_FALSE(has(asum, no)) << asum;
}

}  // namespace
