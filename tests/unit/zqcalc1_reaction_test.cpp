// Reaction Gibbs energy, ln K and affinity against closed forms on rows of
// constant volume and no heat capacity, whose G is H - T S + (P - Pr) V.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_model.h"
#include "frame/zqute1.h"
#include "handrows.h"
#include "iotestsupport.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

constexpr extended Rg = CONST::RGAS;

struct hsv {
  const char* name;
  extended H, S, V;
};
// End-members 1..4 of the calculation.
const std::vector<hsv> rows = {
    {"a", -900, 0.05L, 2.2L}, {"b", -1500, 0.09L, 4.4L}, {"c", -650, 0.03L, 1.1L}, {"d", -2100, 0.12L, 6.0L}};

class Reactions : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    ZQUTE1::SETUP();
    RESETMODEL();
    RESETSOLVER();
    TD->fill(0);
    R->fill(0);
    CALCMODE = calcmodetype::nlecalc;
    DSMODE = 6;
    WITHOLDSET = false;
    FLUIDTYPE = ftype::notset;
    NCV = static_cast<smallint>(rows.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
      const long i = static_cast<long>(k + 1);
      testsupport::handrow(i, rows[k].name, rows[k].H, rows[k].S, rows[k].V);
    }
    CO2POS = H2OPOS = 0;
    AQSIPOS = 0;
    NAQSI = 4;
  }
  void TearDown() override {
    ZQUTE1::CLEANUP();
    RESETMODEL();
    RESETSOLVER();
    NCV = 0;
    NR = 0;
    CO2POS = H2OPOS = AQSIPOS = 0;
    DSMODE = 0;
    testsupport::freshstate();
  }
  static void reaction(long k, const std::vector<smallint>& nu) {
    for (std::size_t j = 0; j < nu.size(); ++j) (*R)(k, static_cast<long>(j + 1)) = nu[j];
  }
};

TEST_F(Reactions, GibbsEnergyOfConstantVolumeRows) {
  const std::vector<std::vector<smallint>> reactionset = {{-1, -1, 0, 1}, {2, 0, -3, 0}, {1, -2, 1, 1}};
  for (std::size_t r = 0; r < reactionset.size(); ++r) {
    reaction(1, reactionset[r]);
    extended dH = 0, dS = 0, dVw = 0;
    longint used = 0;
    for (std::size_t j = 0; j < rows.size(); ++j) {
      used += reactionset[r][j] != 0;
      dH += reactionset[r][j] * rows[j].H;
      dS += reactionset[r][j] * rows[j].S;
      dVw += reactionset[r][j] * rows[j].V;
    }
    for (auto [P, T] : {std::pair<extended, extended>{0.001L, 298.15L}, {12, 900}, {35, 1600}}) {
      extended dV = 0, dGdT = 0, dG0 = 0;
      const longint before = IO::NGEM;
      ZQCALC1::CALCDG0(1, dV, dGdT, dG0, P, T);
      EXPECT_EQ(IO::NGEM - before, 3 * used) << "three evaluations of each end-member taking part";
      EXPECT_NEAR(dG0, dH - T * dS + (P - CONST::PR) * dVw, 1e-7L) << "reaction " << r << " at " << P << ", " << T;
      EXPECT_NEAR(dV, dVw, 1e-7L);
      EXPECT_NEAR(dGdT, -dS, 1e-7L);
    }
  }
}

TEST_F(Reactions, EmptyRowAndNonPositiveTemperature) {
  for (long j = 1; j <= NCV; ++j) {
    (*TD)(j, TDSLOT::XCO2) = -5;
    (*TD)(j, TDSLOT::XH2O) = -5;
  }
  extended dV = 9, dGdT = 9, dmu = 9;
  const longint before = IO::NGEM;
  ZQCALC1::CALCDMU(1, dV, dGdT, dmu, 10, 900, 0.3L, 0.7L);
  EXPECT_EQ(dV, 0);
  EXPECT_EQ(dGdT, 0);
  EXPECT_EQ(dmu, 0);
  EXPECT_EQ(IO::NGEM, before);
  for (long j = 1; j <= NCV; ++j) EXPECT_EQ((*TD)(j, TDSLOT::XCO2), -5);

  reaction(1, {1, -1, 0, 0});
  for (extended T : {0.0L, -10.0L})
    EXPECT_EQ(fatal([&] { ZQCALC1::CALCDG0(1, dV, dGdT, dmu, 10, T); }), "calcdg0: T <= 0 !");
}

TEST_F(Reactions, AffinityAddsTheFluidTerms) {
  // 1 "CO2", 2 "H2O", 3 "aqSi", 4 "d"; the rows stay simple solids.
  NAME[1] = "CO2";
  NAME[2] = "H2O";
  NAME[3] = "aqSi";
  CO2POS = 1;
  H2OPOS = 2;
  AQSIPOS = 3;
  ACTIVITY[1] = 0.8L;
  ACTIVITY[2] = 0.6L;
  ACTIVITY[3] = 0.02L;
  ACTIVITY[4] = 0.9L;
  struct row {
    const char* what;
    std::vector<smallint> nu;
    extended xco2, xh2o, lnK;
  };
  const extended ln8 = std::log(0.8L), ln6 = std::log(0.6L), ln02 = std::log(0.02L), ln9 = std::log(0.9L);
  const std::vector<row> cases = {
      {"both fluid terms", {1, -2, 0, 1}, 0.3L, 0.7L, ln8 - 2 * ln6 + ln9 + std::log(0.3L) - 2 * std::log(0.7L)},
      {"pure H2O fluid: no ln x", {1, -2, 0, 1}, 0, 1, ln8 - 2 * ln6 + ln9},
      {"pure CO2 fluid: no ln x", {1, -2, 0, 1}, 1, 0, ln8 - 2 * ln6 + ln9},
      {"aqSi at 2 with NAQSI 4", {0, 0, 2, -1}, 0.3L, 0.7L, 2 * ln02 - ln9 - 8 * std::log(0.7L)},
      {"aqSi without H2O in the fluid", {0, 0, 2, -1}, 1, 0, 2 * ln02 - ln9},
  };
  for (const row& c : cases) {
    reaction(1, c.nu);
    for (long j = 1; j <= NCV; ++j) (*TD)(j, TDSLOT::XCO2) = (*TD)(j, TDSLOT::XH2O) = -5;
    extended lnK = 0;
    ZQCALC1::CALCLNK(1, lnK, 10, 900, c.xco2, c.xh2o);
    EXPECT_NEAR(lnK, c.lnK, 1e-15L) << c.what;
    extended dV = 0, dmudT = 0, dmu = 0, dV0 = 0, dGdT = 0, dG0 = 0;
    ZQCALC1::CALCDMU(1, dV, dmudT, dmu, 10, 900, c.xco2, c.xh2o);
    ZQCALC1::CALCDG0(1, dV0, dGdT, dG0, 10, 900);
    EXPECT_NEAR(dmu, dG0 + 900 * Rg * c.lnK, 1e-9L) << c.what;
    EXPECT_NEAR(dmudT, dGdT + Rg * c.lnK, 1e-9L) << c.what;
    EXPECT_EQ(dV, dV0);
    for (long j = 1; j <= NCV; ++j) {
      const bool in = c.nu[static_cast<std::size_t>(j - 1)] != 0;
      EXPECT_EQ((*TD)(j, TDSLOT::XCO2), in ? c.xco2 : -5) << c.what << " row " << j;
      EXPECT_EQ((*TD)(j, TDSLOT::XH2O), in ? c.xh2o : -5) << c.what << " row " << j;
    }
  }
}

// An activity of 0 stops a reaction that uses the end-member and is ignored
// by one that does not; the table of ln K checks as the single reaction does.
TEST_F(Reactions, ActivityZero) {
  ACTIVITY[3] = 0;
  NR = 2;
  reaction(1, {1, -1, 0, 0});
  reaction(2, {1, 0, -1, 0});
  extended lnK = 5;
  ZQCALC1::CALCLNK(1, lnK, 10, 900, 0, 1);
  EXPECT_EQ(lnK, 0);
  EXPECT_EQ(fatal([&] { ZQCALC1::CALCLNK(2, lnK, 10, 900, 0, 1); }), "calclnk: ln<=0");
  EXPECT_EQ(fatal([] { ZQCALC2::CALCLNK(); }), "calclnk: ln<=0");

  ACTIVITY[1] = 0.5L;
  ACTIVITY[3] = 0.25L;
  ZQCALC2::CALCLNK();
  EXPECT_NEAR(ALNK[1], std::log(0.5L), 1e-18L);
  EXPECT_NEAR(ALNK[2], std::log(0.5L) - std::log(0.25L), 1e-18L);
}

TEST_F(Reactions, VarianceOfLnA) {
  ACTIVITY[1] = 0.5L;
  SDACTIVITY[1] = 0.1L;
  ACTIVITY[2] = 1;
  SDACTIVITY[2] = 0.1L;
  ACTIVITY[3] = 0;
  SDACTIVITY[3] = 0.1L;
  ACTIVITY[4] = 0.2L;
  SDACTIVITY[4] = 0;
  VARLNA.fill(7);
  ZQCALC2::CALCVARLNA();
  for (long j = 1; j <= NCV; ++j) EXPECT_EQ(VARLNA[j], 0) << "calc mode 1";
  EXPECT_EQ(VARLNA[NCV + 1], 7);
  for (calcmodetype mode : {calcmodetype::rockcalc, calcmodetype::phasecalc}) {
    CALCMODE = mode;
    ZQCALC2::CALCVARLNA();
    EXPECT_NEAR(VARLNA[1], 0.04L, 1e-18L);
    EXPECT_EQ(VARLNA[2], 0);
    EXPECT_EQ(VARLNA[3], 0);
    EXPECT_EQ(VARLNA[4], 0);
  }
}

}  // namespace
