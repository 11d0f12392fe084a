// Chemical-potential sections of a diagram: the P or T window with the
// window of one component's mu, the value held fixed, and the fluid.
#include <gtest/gtest.h>

#include <functional>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute2.h"
#include "iotestsupport.h"
#include "worktest.h"

using namespace ZQGLOBAL;

namespace {

constexpr extended K = 273.15L;
const std::string mu = "\xB5";

class MuSection : public testsupport::WorkTest {
 protected:
  void SetUp() override {
    WorkTest::SetUp();
    FIGPLOW = 1;
    FIGPHIGH = 10;
    FIGTLOW = 400 + K;
    FIGTHIGH = 800 + K;
    CONTROLJX.diagramPT = yes;
    CONTROLJX.setfluid = no;
    CALCMODE = calcmodetype::phasecalc;
    VARIANCE = 1;
    FIXEDXCO2 = FIXEDXH2O = 0;
  }
  std::string run(const std::string& answers, bool ask) {
    std::string out;
    EXPECT_EQ(testsupport::answered(answers, [ask] { ZQUTE2::DIAGRAMWINDOWSETUP(ask); }, out), "");
    return out;
  }
  testsupport::ScratchDir dir;
};

TEST_F(MuSection, PressureSectionWithAListOfMu) {
  DIAGRAMMODE = diagramtype::pmucalc;
  MUNAME[1] = "CO2";
  const std::string out = run("2 8 -10 0\n20\n2.5\n600\n", true);
  EXPECT_NE(out.find("\nP-" + mu + " window in which the phase diagram to be drawn\nP low, high , " + mu +
                     "(CO2) low, high : "),
            std::string::npos)
      << out;
  EXPECT_NE(out.find(mu + " interval too large : max " + mu + "(high) - " + mu + "(low) =10.0\n"), std::string::npos);
  EXPECT_NE(out.find("fixed T (in \xA1" "C) : "), std::string::npos);
  EXPECT_TRUE(PLOW == 2 && PHIGH == 8);
  EXPECT_TRUE(MULOW == -10 && MUHIGH == 0);
  EXPECT_EQ(OTHERVARIABLE, othervariabletype::fixedchemicalpotential);
  EXPECT_EQ(CALCVARIABLE, calcvariabletype::calcpressure);
  EXPECT_EQ(PPRECISION, 3);
  EXPECT_EQ(FIXEDP, 5);
  EXPECT_EQ(FIXEDMU[1], -5);
  ASSERT_EQ(NLMU[1], 5);
  for (long i = 1; i <= 5; ++i) EXPECT_EQ(LMU(1, i), -10 + 2.5L * static_cast<extended>(i - 1));
  EXPECT_TRUE(FIXEDT == 600 + K && TLOW == FIXEDT && THIGH == FIXEDT);
  EXPECT_EQ(FIXEDXCO2, 1);
  EXPECT_EQ(FIXEDXH2O, 0);
}

TEST_F(MuSection, TemperatureSectionAndTheValuesHeldFixed) {
  struct Case {
    diagramtype kind;
    bool ask;
    sstring name;
    std::string answers;
    extended tlow, thigh, fixedp, fixedt, xco2, xh2o;
    smallint nmu;
  };
  const Case cases[] = {
      // a single mu; a component that is not a fluid asks about the fluid,
      // which without H2O or CO2 asks nothing
      {diagramtype::tmucalc, true, "SiO2", "500 700 -3 -3\n4\n", 500 + K, 700 + K, 4, 600 + K, 0, 0, 1},
      // without the window step only the fixed value is asked
      {diagramtype::pmucalc, false, "H2O", "450\n", 450 + K, 450 + K, 0, 450 + K, 0, 1, 0},
      {diagramtype::tmucalc, false, "CO2", "3\n", 0, 0, 3, 0, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    CALCVARIABLE = calcvariabletype::calcpressure;
    DIAGRAMMODE = c.kind;
    MUNAME[1] = c.name;
    TLOW = THIGH = FIXEDP = FIXEDT = 0;
    NLMU[1] = 0;
    const std::string out = run(c.answers, c.ask);
    EXPECT_EQ(TLOW, c.tlow) << out;
    EXPECT_EQ(THIGH, c.thigh);
    EXPECT_EQ(FIXEDP, c.fixedp);
    EXPECT_EQ(FIXEDT, c.fixedt);
    EXPECT_EQ(FIXEDXCO2, c.xco2);
    EXPECT_EQ(FIXEDXH2O, c.xh2o);
    EXPECT_EQ(NLMU[1], c.nmu);
    if (c.ask) {
      EXPECT_NE(out.find("\nT-" + mu + " window in which the phase diagram to be drawn\nT low, high , " + mu + "(" +
                         c.name + ") low, high : "),
                std::string::npos);
      EXPECT_EQ(LMU(1, 1), -3);
      EXPECT_EQ(FIXEDMU[1], -3);
      // The lines of a T section are solved for T.
      EXPECT_EQ(CALCVARIABLE, calcvariabletype::calctemperature);
    }
    if (c.kind == diagramtype::tmucalc) {
      EXPECT_TRUE(PLOW == c.fixedp && PHIGH == c.fixedp);
    }
  }
}

}  // namespace
