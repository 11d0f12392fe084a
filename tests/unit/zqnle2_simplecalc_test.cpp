// A point with no compositional unknowns solved by its one reaction: the
// polymorphs A = B, dmu = -3 + 0.005 T - 0.1 (P - 0.001), so P = 0.001 +
// (0.005 T - 3) / 0.1 and T = (3 + 0.1 (P - 0.001)) / 0.005; the fluid the
// point assumes, and the stops for a fluid or variable it cannot take.
#include <gtest/gtest.h>

#include "equilibria/zqnle2_solve.h"
#include "zqfind_testsupport.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

class SimpleCalc : public findtest::FindTest {
 protected:
  ZQNLE2::solvestate st;
};

TEST_F(SimpleCalc, OneReactionAlongPOrT) {
  const calcvariabletype P = calcvariabletype::calcpressure, T = calcvariabletype::calctemperature;
  const struct {
    const char* what;
    ftype fluid;
    calcvariabletype along;
    extended fixed;   // T (K) when P is found, P (kbar) when T is
    extended found;   // the closed form
    extended xco2, xh2o;
  } cases[] = {
      {"P at 700 K, no fluid", ftype::absent, P, 700, 5.001L, 0, 0},
      {"P at 873.15 K, water", ftype::h2o, P, 873.15L, 0.001L + (0.005L * 873.15L - 3) / 0.1L, 0, 1},
      {"T at 5.001 kbar, CO2", ftype::co2, T, 5.001L, 700, 1, 0},
      {"T at 12 kbar, no fluid", ftype::absent, T, 12, (3 + 0.1L * (12 - 0.001L)) / 0.005L, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FLUIDTYPE = c.fluid;
    CALCVARIABLE = c.along;
    FIXEDXCO2 = FIXEDXH2O = 0.5L;
    (c.along == P ? FIXEDT : FIXEDP) = c.fixed;
    st.OK = false;
    st.NLECODE = 3;
    ASSERT_EQ(fatal([this] { st.SIMPLECALC(); }), "");
    EXPECT_EQ(FIXEDXCO2, c.xco2);
    EXPECT_EQ(FIXEDXH2O, c.xh2o);
    EXPECT_NEAR(c.along == P ? SU.pressure : SU.temperature, c.found, 1e-6L);
    EXPECT_EQ(c.along == P ? SU.temperature : SU.pressure, c.fixed);
    EXPECT_TRUE(st.OK);
    EXPECT_EQ(st.NLECODE, 0);
  }
}

// A line outside the window: the point is not OK, and the solver's code
// is still 0 (nothing failed).
TEST_F(SimpleCalc, OutsideTheWindow) {
  FLUIDTYPE = ftype::absent;
  const struct {
    calcvariabletype along;
    extended plow, phigh, tlow, thigh, fixed;
  } cases[] = {
      {calcvariabletype::calcpressure, 10, 40, 300, 1300, 700},
      {calcvariabletype::calctemperature, 0, 40, 300, 600, 5.001L},
  };
  for (const auto& c : cases) {
    window(c.plow, c.phigh, c.tlow, c.thigh);
    CALCVARIABLE = c.along;
    FIXEDT = FIXEDP = c.fixed;
    st.OK = true;
    st.NLECODE = 3;
    st.SIMPLECALC();
    EXPECT_FALSE(st.OK);
    EXPECT_EQ(st.NLECODE, 0);
  }
}

TEST_F(SimpleCalc, FluidsAndVariablesItCannotTake) {
  CALCVARIABLE = calcvariabletype::calcpressure;
  FIXEDT = 700;
  const struct {
    ftype fluid;
    const char* stop;
  } cases[] = {
      {ftype::several, "simplecalc: not simple?"},     {ftype::h2oco2, "simplecalc: not simple?"},
      {ftype::h2oaq, "simplecalc: not simple?"},       {ftype::h2oco2aq, "simplecalc: not simple?"},
      {ftype::notset, "simplecalc: unknown fluidtype"}, {ftype::ih2oco2, "simplecalc: unknown fluidtype"},
      {ftype::chos, "simplecalc: unknown fluidtype"},
  };
  for (const auto& c : cases) {
    FLUIDTYPE = c.fluid;
    EXPECT_EQ(fatal([this] { st.SIMPLECALC(); }), c.stop);
  }
  FLUIDTYPE = ftype::absent;
  CALCVARIABLE = static_cast<calcvariabletype>(2);
  EXPECT_EQ(fatal([this] { st.SIMPLECALC(); }), "calc: unknown calcvariable");
}

}  // namespace
