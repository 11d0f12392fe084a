// What one evaluation of the equations shows of its mode unknowns when the
// modes are solved for and the debug level is above 5, and the printers of
// the phase compositions and their derivatives.
#include <gtest/gtest.h>

#include <string>

#include "assemblage_testsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "iotestsupport.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"
#include "model/zqre.h"
#include "solverrecipe.h"

using namespace ZQGLOBAL;

namespace {

class ModePrinters : public ::testing::Test {
 protected:
  void SetUp() override {
    IO::CONTROLIO.pagewidth = 250;
    IO::CONTROLIO.dontwrap = false;
    // The three phases at their solved point, modes 0.35, 0.35 and 0.3.
    assemblage::layout(solverrecipe::threephases(false));
    const solverrecipe::point pt = solverrecipe::threephasespoint(false);
    assemblage::setpoint(8, 1000, pt.x, pt.modes);
    assemblage::solvable(pt.lambda);
    bool found = false;
    ZQRE::CALCRE2(found);
    ASSERT_TRUE(found);
  }
  static ZQCALC2::nlefuncstate& state() { return ZQCALC2::NLEFUNCSTATE(); }
  static std::string evaluate() {
    testsupport::Terminal term;
    ZQCALC2::NLEFUNC(X, jac, r, true);
    return term.text();
  }

  assemblage::tables tables;
  static inline eqmatrix jac{"modeprinters jac"};
  static inline eqvector r{"modeprinters r"};
};

TEST_F(ModePrinters, ModesBeforeAndAfterUnscaling) {
  const std::string B12(12, ' ');
  const std::string want = "before\n" + B12 + "       cpx        ol         g\n" +
                           "     nlefunc   0.17500   0.17500   0.15000  pre un   0.50000         0\n" + B12 +
                           "   0.35000   0.35000   0.30000  un       1.00000\n" + B12 +
                           "   0.70000   0.70000   0.60000  un/phi = mode\n";
  struct Case {
    smallint debug;
    bool modes;
    bool shown;
  };
  for (const Case& c : {Case{6, true, true}, Case{5, true, false}, Case{9, false, false}}) {
    DEBUGLEVEL = c.debug;
    MODESBYNLE = c.modes;
    PHI = 0.5L;
    IO::WSTR = "before";
    const std::string out = evaluate();
    EXPECT_EQ(out.find(want) != std::string::npos, c.shown) << c.debug << "\n" << out;
    EXPECT_EQ(out.find("pre un") != std::string::npos, c.shown) << c.debug;
  }
  DEBUGLEVEL = 1;
  PHI = 1;
}

// The compositions are amounts of the components per atom of the phase
// (MgO and CaO count 2 atoms, SiO2 3): cpx at y 0.3, z 0.05 has 1.65 MgO,
// 0.35 CaO, 2 SiO2 in 10 atoms; ol at x 0.1, c 0.05 has 1.8, 0.2, 1 in 7;
// g at x 0.2, z 0.1 has 2.2, 0.8, 3 in 15. The atoms per formula stay
// fixed, so each derivative is the change of the amount over them.
TEST_F(ModePrinters, CompositionsAndTheirDerivatives) {
  ASSERT_TRUE(ZQCALC2::NLEFUNC(X, jac, r, true));
  ZQCALC2::nlefuncstate& s = state();
  {
    testsupport::Terminal term;
    s.PRINTCOMPCALC();
    s.PRINTDCOMPDX();
    EXPECT_EQ(term.text(),
              "\ncompcalc\n"
              "               MgO        CaO       SiO2\n"
              "    cpx    0.16500   0.035000    0.20000\n"
              "     ol    0.25714   0.028571    0.14286\n"
              "      g    0.14667   0.053333    0.20000\n"
              "\ndcompdx\n"
              "                          MgO        CaO       SiO2\n"
              "    cpx          y   -0.10000    0.10000          0\n"
              "                 z   -0.10000    0.10000          0\n"
              "     ol          x   -0.14286    0.14286          0\n"
              "                 c   -0.28571    0.28571          0\n"
              "      g          x   -0.20000    0.20000          0\n"
              "                 z   -0.13333    0.13333          0\n");
  }
  // A component held by its potential is left out of the headings.
  BCOMPS[2] = false;
  NUVLEFT = 2;
  testsupport::Terminal term;
  s.PRINTCOMPCALC();
  s.PRINTDCOMPDX();
  const std::vector<std::string> l = testsupport::lines(term.text());
  ASSERT_GE(l.size(), 8u);
  EXPECT_EQ(l[2], "               MgO       SiO2");
  EXPECT_EQ(l[8], "                          MgO       SiO2");
  BCOMPS[2] = true;
  NUVLEFT = 3;
}

}  // namespace
