// The solver on the equilibrium equations of hand-made assemblages with
// known solutions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "frame/zqglobal_nle.h"
#include "iotestsupport.h"
#include "model/zqcalc2.h"
#include "model/zqmath2.h"
#include "model/zqre.h"
#include "solverrecipe.h"

using namespace ZQGLOBAL;
using assemblage::physical;

namespace {

class Assemblage : public ::testing::Test {
 protected:
  void SetUp() override {
    IO::MACHEPS = std::ldexp(1.0L, -64);
    SMALLE = 1e-8L;
    SMALLF = 1e-6L;
    SMALLDX = 0.005L;
    MCIT = 1;
    CONVSTATUS = "";
    IO::CONTROLIO.pagewidth = 250;
  }
  void TearDown() override { ZQMATH2::EQUATIONS = &ZQCALC2::NLEFUNC; }
  static void reactions() {
    bool found = false;
    ZQRE::CALCRE2(found);
    ASSERT_TRUE(found);
  }
  static bool solve(smallint& code) { return ZQMATH2::NLE(code); }
  // Convergence settings tight enough to pin a solution to 1e-8 and better:
  // the defaults stop within about 1e-6 of it.
  static void tight() {
    SMALLE = SMALLF = 1e-12L;
    SMALLDX = 1e-10L;
  }

  assemblage::tables tables;
};

constexpr extended xalpha = 0.408071603013L, xbeta = 0.515584211305L;
constexpr extended modealpha = 0.610014140173L, modebeta = 0.389985859827L;

TEST_F(Assemblage, BinaryLoopFromSeveralStarts) {
  assemblage::layout(solverrecipe::binaryloop(true, false, false));
  COMPK[1] = 0.55L;
  COMPK[2] = 0.45L;
  tight();
  const std::vector<std::vector<extended>> starts = {
      {0.2L, 0.7L, 0.5L, 0.5L}, {0.6L, 0.3L, 0.3L, 0.7L}, {0.45L, 0.55L, 0.8L, 0.2L}, {0.1L, 0.9L, 0.5L, 0.5L}};
  for (smallint level : {1, 5}) {
    DEBUGLEVEL = level;
    for (const auto& s : starts) {
      assemblage::setpoint(5, 900, {s[0], s[1]}, {s[2], s[3]});
      reactions();
      smallint code = -1;
      EXPECT_TRUE(solve(code)) << level << " " << s[0];
      EXPECT_EQ(code, 0);
      EXPECT_NEAR(physical(3), xalpha, 1e-8L) << level << " " << s[0];
      EXPECT_NEAR(physical(4), xbeta, 1e-8L);
      EXPECT_NEAR(physical(5), modealpha, 1e-8L);
      EXPECT_NEAR(physical(6), modebeta, 1e-8L);
      EXPECT_EQ(physical(1), 5);
      EXPECT_EQ(physical(2), 900);
    }
  }
}

// Equal compositions make the two mode columns equal: the first Jacobian
// is singular.
TEST_F(Assemblage, BinaryLoopFromEqualCompositionsIsNearSingular) {
  assemblage::layout(solverrecipe::binaryloop(true, false, false));
  COMPK[1] = 0.55L;
  COMPK[2] = 0.45L;
  for (const extended x : {0.3L, 0.45L}) {
    for (const bool equal : {true, false}) {
      assemblage::setpoint(5, 900, {x, equal ? x : x + 0.1L}, {0.5L, 0.5L});
      reactions();
      static bool seen, flagged;
      seen = flagged = false;
      ZQMATH2::EQUATIONS = [](const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac) {
        if (NLEIT == 1 && NLESTEPIT == 2 && !seen) seen = true, flagged = NEARSING;
        return ZQCALC2::NLEFUNC(x, jac, r, dojac);
      };
      smallint code = -1;
      testsupport::Terminal term;
      testsupport::fatal([&] { solve(code); });
      EXPECT_TRUE(seen);
      EXPECT_EQ(flagged, equal) << x;
    }
  }
}

TEST_F(Assemblage, BinaryLoopIsoplethWithTemperatureSolved) {
  assemblage::layout(solverrecipe::binaryloop(false, true, true));
  tight();
  // From above 0.6 in x(B, beta) the solve finds another root near 524 K.
  for (const auto& s : std::vector<std::vector<extended>>{{800, 0.2L}, {800, 0.45L}, {1300, 0.3L}, {700, 0.3L}}) {
    assemblage::setpoint(5, s[0], {0.35L, s[1]}, {});
    reactions();
    smallint code = -1;
    EXPECT_TRUE(solve(code)) << s[0];
    EXPECT_NEAR(physical(2), 959.078673123L, 1e-8L);
    EXPECT_NEAR(physical(4), 0.420036591031L, 1e-8L);
    EXPECT_EQ(physical(3), 0.35L);
  }
}

// Two polymorphs of constant volume, T held: the solve is one linear
// equation in P.
TEST_F(Assemblage, PolymorphPairPressure) {
  assemblage::system s;
  s.components = {"c"};
  s.pures.resize(2);
  s.pures[0].em = solverrecipe::em("a", {1}, 0, 0.01L, 1.0L, "", {});
  s.pures[1].em = solverrecipe::em("b", {1}, -3, 0.005L, 0.9L, "", {});
  s.tfree = false;
  s.modes = false;
  assemblage::layout(s);
  // Tight enough for a second step, which takes out the rounding of the
  // first one's difference slope.
  SMALLE = SMALLF = 1e-15L;
  for (const extended p : {1.0L, 20.0L, 45.0L}) {
    assemblage::setpoint(p, 700, {}, {});
    reactions();
    smallint code = -1;
    EXPECT_TRUE(solve(code)) << p;
    // Pr + (T dS - dH) / dV
    EXPECT_NEAR(physical(1), 5.001L, 1e-14L) << p;
  }
}

// The three-phase recipe returns to its point from perturbed starts, with
// the analytic and with the difference Jacobian, every site fraction
// watched along the steps.
TEST_F(Assemblage, ThreePhasesFromPerturbedStarts) {
  assemblage::layout(solverrecipe::threephases(false));
  const solverrecipe::point pt = solverrecipe::threephasespoint(false);
  const auto &x = pt.x, &m = pt.modes;
  assemblage::setpoint(8, 1000, x, m);
  assemblage::solvable(pt.lambda);
  reactions();
  solverrecipe::watchsitefractions();
  tight();
  const extended shifts[][2] = {{0.03L, 0.1L}, {-0.04L, -0.15L}, {0.06L, 0.2L}, {-0.02L, 0.3L}};
  for (smallint level : {1, 5}) {
    DEBUGLEVEL = level;
    for (const auto& d : shifts) {
      std::vector<extended> xs = x, ms = m;
      for (std::size_t i = 0; i < xs.size(); ++i) xs[i] += (i % 2 == 0 ? d[0] : -d[0] / 2);
      for (std::size_t i = 0; i < ms.size(); ++i) ms[i] *= 1 + (i % 2 == 0 ? d[1] : -d[1]);
      assemblage::setpoint(8, 1000, xs, ms);
      smallint code = -1;
      EXPECT_TRUE(solve(code)) << level << " " << static_cast<double>(d[0]);
      EXPECT_EQ(code, 0);
      for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_NEAR(physical(static_cast<long>(3 + i)), x[i], 1e-8L) << level << " var " << i;
      for (std::size_t i = 0; i < m.size(); ++i)
        EXPECT_NEAR(physical(NX + 1 + static_cast<long>(i)), m[i], 1e-8L) << level << " mode " << i;
    }
  }
}

// The equations refuse a start outside the scaled range: code 9, quietly
// at debug level 0 (which then becomes 1) and in a search, the end of the
// run otherwise.
TEST_F(Assemblage, StartOutsideTheRange) {
  assemblage::layout(solverrecipe::binaryloop(true, false, false));
  COMPK[1] = 0.55L;
  COMPK[2] = 0.45L;
  struct row {
    smallint level;
    bool dogmin;
    smallint doglevel;
    std::string fault, head;
    smallint after;
  };
  const row table[] = {
      {0, false, 0, "", "\nillegal start   0  0\n", 1},
      {1, false, 0, "nle: illegal start", "", 1},
      {3, false, 0, "nle: illegal start", "", 3},
      {1, true, 1, "", "solver could not start\n", 1},
      {0, true, 0, "", "", 0},
  };
  for (const row& t : table) {
    assemblage::setpoint(5, 900, {0.3L, 0.5L}, {0.5L, 0.5L});
    X[4] = 1.2L;
    reactions();
    DEBUGLEVEL = t.level;
    DOGMIN = t.dogmin;
    DOGLEVEL = t.doglevel;
    testsupport::Terminal term;
    smallint code = -1;
    EXPECT_EQ(testsupport::fatal([&] { solve(code); }), t.fault);
    if (t.fault.empty()) { EXPECT_EQ(code, 9); }
    EXPECT_EQ(DEBUGLEVEL, t.after);
    // The equations' own report comes first; the solver's lines follow it,
    // with the held values.
    const std::string out = term.text();
    EXPECT_NE(out.find("## bad x value"), std::string::npos);
    EXPECT_NE(out.find(t.head), std::string::npos) << out;
    EXPECT_EQ(out.find("       5.0       627    0.3000    1.2000\n") == std::string::npos, t.dogmin) << out;
    DOGMIN = false;
  }
}

// A site fraction that nobody watches turns negative at a trial point:
// taken softly in a quiet search (code 10), the end of the run otherwise.
TEST_F(Assemblage, UnwatchedSiteFractionTurnsNegative) {
  assemblage::system s = solverrecipe::binaryloop(false, false, false);
  // x may run outside [0, 1] as far as the box is concerned.
  for (auto& so : s.solutions) so.vars[0].low = -1, so.vars[0].high = 2;
  struct row {
    bool dogmin;
    std::string fault;
  };
  for (const row& t : {row{true, ""}, row{false, "calcsf: negative sf term"}}) {
    assemblage::layout(s);
    assemblage::setpoint(5, 900, {0.5L, 0.05L}, {});
    reactions();
    DOGMIN = t.dogmin;
    DOGLEVEL = 0;
    testsupport::Terminal term;
    smallint code = -1;
    EXPECT_EQ(testsupport::fatal([&] { solve(code); }), t.fault);
    if (t.fault.empty()) { EXPECT_EQ(code, 10); }
    DOGMIN = false;
  }
}

}  // namespace
