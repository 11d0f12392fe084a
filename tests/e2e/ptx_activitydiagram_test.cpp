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

}  // namespace
