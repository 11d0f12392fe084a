// The avPT+ store as the uncertainty propagation fills it, and its x(CO2)
// preprocessing: reordering into pressure blocks, interpolation to a typed
// T or P, the listings and the stops.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "avptplus_testsupport.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_solver.h"
#include "frame/zqglobal_uncertainty.h"
#include "iotestsupport.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"
#include "uncertainty/zqnle4_calcsd.h"

using namespace ZQGLOBAL;
using avpttest::count;
using ZQNLE4::avptplusstate;

namespace {

// A solved point of nx unknowns: P 7.25 kbar, T 873.15 K, unknown i named
// "v" + i (P and T by their own names), sd 0.01 i, covariance 0.0001 i j
// off the diagonal (correlation i j / (i j) = 1 scaled down by 0.5).
class AvptStore : public ::testing::Test {
 protected:
  eqmatrix& covx = COVX;
  smallint nx = 0;
  bemvector ph{"ph"};

  // The store's step of the uncertainty propagation of the point.
  void accumulate() {
    ZQNLE4::calcsdstate sd(ph);
    sd.n = nx;
    sd.ACCUMULATE();
  }

  void SetUp() override {
    testsupport::freshstate();
    ALLOCATEJXCALC();
    point(30);
  }
  void TearDown() override { RELEASEJXCALC(); }

  void point(smallint n) {
    nx = n;
    NX = n;
    X[1] = 7.25L;
    X[2] = 873.15L;
    XNAME[1] = "P(kbar)";
    XNAME[2] = "T(K)";
    for (long i = 3; i <= n; ++i) {
      XNAME[i] = "v" + std::to_string(i);
      X[i] = 0.001L * i;
    }
    for (long i = 1; i <= n; ++i) SDX[i] = 0.01L * i;
    for (long i = 1; i <= n; ++i) {
      for (long j = 1; j <= n; ++j) covx(i, j) = i == j ? SDX[i] * SDX[i] : 0.5L * SDX[i] * SDX[j];
    }
  }
  // Mineral m's variables: the given unknown numbers.
  static void mineral(long m, std::initializer_list<long> unknowns) {
    NMIN = static_cast<smallint>(m);
    MINERAL[m].nxyz = 0;
    for (long u : unknowns) MINERAL[m].xyzname[++MINERAL[m].nxyz] = "v" + std::to_string(u);
  }
};

}  // namespace

TEST_F(AvptStore, RecordsHoldThePointTheRockVariablesAndTheirCorrelations) {
  mineral(1, {5, 3});
  mineral(2, {4});
  XNAME[6] = "x(fluid)";
  X[6] = 0.3L;
  SDX[4] = 0;    // held fixed: correlated with nothing
  SDX[3] = -10;  // the no-variance marker enters the division
  testsupport::Terminal term;
  accumulate();
  EXPECT_EQ(term.text(), "progress - equilibria calcs: ");
  EXPECT_TRUE(NJX == 1 && NJXXYZ == 3 && NCOR == 3);
  EXPECT_TRUE(JXXYZNAME[1] == "v5" && JXXYZNAME[2] == "v3" && JXXYZNAME[3] == "v4");
  const jxcalctype& r = (*JXCALC)[1];
  EXPECT_TRUE(r.p == 7.25L && std::fabs(r.t - 600) < 1e-15L && r.xfluid == 0.3L);
  EXPECT_TRUE(r.xyz[1] == X[5] && r.xyz[2] == X[3] && r.xyz[3] == X[4]);
  EXPECT_TRUE(r.sdxyz[1] == SDX[5] && r.sdxyz[2] == -10 && r.sdxyz[3] == 0);
  // pairs (2,1), (3,1), (3,2): (v3,v5), (v4,v5), (v4,v3)
  EXPECT_NEAR(r.cor[1], 0.5L * 0.03L * 0.05L / (-10 * 0.05L), 1e-18L);
  EXPECT_TRUE(r.cor[2] == 0 && r.cor[3] == 0);

  // a later point: appended against the same names, no progress line again
  X[1] = 8;
  XNAME[6] = "y";
  testsupport::Terminal term2;
  accumulate();
  EXPECT_EQ(term2.text(), "");
  EXPECT_TRUE(NJX == 2 && (*JXCALC)[2].p == 8 && (*JXCALC)[2].xfluid == 0);  // no x(fluid) unknown
}

TEST_F(AvptStore, TwentyFourVariablesAndNone) {
  testsupport::Terminal term;
  mineral(1, {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
  mineral(2, {15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26});
  accumulate();
  EXPECT_TRUE(NJXXYZ == 24 && NCOR == 276 && JXXYZNAME[24] == "v26");
  EXPECT_NEAR((*JXCALC)[1].cor[276], 0.5L, 1e-18L);  // pair (24, 23)

  RESETAVPTPLUS();
  NMIN = -2;
  accumulate();
  EXPECT_TRUE(NJX == 1 && NJXXYZ == 0 && NCOR == 0 && (*JXCALC)[1].p == 7.25L);
}

TEST_F(AvptStore, StopsOnNamesAndOnAFullStore) {
  struct stop {
    const char* what;
    std::function<void()> arrange;
    std::string fatal, out;
  };
  const stop stops[] = {
      {"25 names",
       [] {
         mineral(1, {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
         mineral(2, {15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26});
         mineral(3, {27});
       },
       "accumulate: too many xyznames", ""},
      {"unknown name first",
       [] {
         mineral(1, {3, 4});
         MINERAL[1].xyzname[2] = "V4";  // case counts
       },
       "accumulate: xyz does not match 1", "V4 not found\n"},
      {"unknown name later",
       [] {
         NJX = 1;
         NJXXYZ = 1;
         JXXYZNAME[1] = std::string("nowhere");
       },
       "accumulate: xyz does not match 2", ""},
      {"801st", [] { NJX = 800; }, "calcsd: too many calcs",
       "\n\nmade it to T =  600.0\xA1" "C and P =   7.25 kbar, with 800calcs\n"},
  };
  for (const stop& s : stops) {
    RESETAVPTPLUS();
    NMIN = -2;
    s.arrange();
    std::string out;
    EXPECT_EQ(testsupport::answered("", [&] { accumulate(); }, out), s.fatal) << s.what;
    EXPECT_EQ(out.substr(0, s.out.size()), s.out) << s.what;
    if (s.out.empty()) {
      EXPECT_EQ(out.find("not found"), std::string::npos) << s.what;
    }
  }
  // the 800th is stored
  RESETAVPTPLUS();
  NMIN = -2;
  NJX = 799;
  accumulate();
  EXPECT_EQ(NJX, 800);
  EXPECT_EQ((*JXCALC)[800].p, 7.25L);
}

// ---------------------------------------------------------------- x(CO2) preprocessing

namespace {

// Calcs made x(CO2) section by section at 4, 5, 6 kbar for x(CO2) 0.1, 0.2,
// 0.3, with T rising along each section by 100 C per 0.1 of x(CO2).
class AvptXco2 : public ::testing::Test {
 protected:
  void SetUp() override {
    avpttest::setupempty();
    CONTROLJX.avptpluswithxco2 = yes;
    PLOW = 4;
    PHIGH = 6;
    CPINC = 1;
    CONTROLJX.nxco2values = 3;
    for (int j = 1; j <= 3; ++j) CONTROLJX.xco2list[j] = 0.1L * j;
    for (int j = 1; j <= 3; ++j)
      for (int p = 4; p <= 6; ++p) add(p, 0.1L * j);
  }
  void TearDown() override { RELEASEJXCALC(); }
  static void add(long double p, long double x) {
    const long double t = 500 + 1000 * x;
    avpttest::addcalc(p, t, {p + x, t / 1000, x}, {0.01L * p, 0.001L * t, x}, x);
    jxcalctype& r = (*JXCALC)[NJX];
    for (int m = 1; m <= 3; ++m) r.cor[m] = m * x;
  }
  static std::string run(const std::string& answers, std::string& out) {
    avptplusstate s;
    return testsupport::answered(answers, [&] { s.WITHXCO2PREPROCESS(); }, out);
  }
};

}  // namespace

TEST_F(AvptXco2, ReorderedIntoPressureBlocks) {
  AVPTCALCTYPE = 1;
  std::string out;
  EXPECT_EQ(run("", out), "");
  ASSERT_EQ(NJX, 9);
  for (int k = 1; k <= 9; ++k) {
    EXPECT_EQ((*JXCALC)[k].p, 4 + (k - 1) / 3) << k;
    EXPECT_NEAR((*JXCALC)[k].xfluid, 0.1L * (1 + (k - 1) % 3), 1e-18L) << k;
    EXPECT_NEAR((*JXCALC)[k].cor[2], 2 * (*JXCALC)[k].xfluid, 1e-18L) << k;  // whole records move
  }
  EXPECT_NE(out.find("\ninitial info setup njx = 9\n 1)    4.000  600.00  0.1000\n 2)    5.000  600.00  0.1000\n"
                     " 3)    6.000  600.00  0.1000\n\n 4)    4.000  700.00  0.2000\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("\nend of preprocess (shuffled)\n 1)    4.000  600.00  0.1000\n 2)    4.000  700.00  0.2000\n"
                     " 3)    4.000  800.00  0.3000\n\n 4)    5.000  600.00  0.1000\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("after preprocess"), std::string::npos);
}

TEST_F(AvptXco2, Stops) {
  const std::string many = "withxco2 preprocess: P inc in calcP gives more than 100000 P steps";
  const struct {
    const char* what;
    smallint calctype;
    const char* answer;
    std::function<void()> arrange;
    std::string fatal;
  } stops[] = {
      {"duplicate", 2, "650\n", [] { add(5, 0.2L); }, "withxco2 preprocess: njx mismatch"},
      {"unlisted x(CO2)", 1, "", [] { (*JXCALC)[4].xfluid = 0.15L; }, "withxco2 preprocess: njx mismatch"},
      {"off the calcP steps", 2, "650\n", [] { (*JXCALC)[4].p = 4.5L; }, "withxco2 preprocess: njx mismatch"},
      {"no P step", 1, "", [] { CPINC = 0; }, "withxco2 preprocess: P inc = 0 in calcP"},
      {"steps beyond a long", 1, "", [] { CPINC = 1e-30L; }, many},
      {"one step too many", 1, "", [] { CPINC = 2.0L / 100000; }, many},
      // 100000 steps are sorted over; 5 kbar lies 1.00001e-5 from the nearest two
      {"the most steps", 1, "", [] { CPINC = 2.0L / 99999; }, "withxco2 preprocess: njx mismatch"},
      // avP+: two calcs at one P and the typed T, after a pair that brackets it
      {"flat in T", 2, "800\n",
       [] {
         CONTROLJX.nxco2values = 4;
         CONTROLJX.xco2list[4] = 0.4L;
         add(4, 0.4L);
         (*JXCALC)[NJX].t = 800;
       },
       "withxco2preprocess: divide by zero"},
      {"flat in P", 3, "4\n", [] { (*JXCALC)[2].p = 4; }, "withxco2 preprocess: divide by zero"},
      // the typed fixed T and P: none below absolute zero, no P at or below 0
      {"T below 0 K", 2, "-400\n", [] {},
       "withxco2preprocess: fixed T for avP+ = -400\xA1" "C: at or below absolute zero (-273.15\xA1" "C)"},
      {"no P", 3, "0\n", [] {}, "withxco2 preprocess: fixed P for avT+ = 0 kbar: a pressure must be above 0 kbar"},
  };
  for (const auto& s : stops) {
    SetUp();
    AVPTCALCTYPE = s.calctype;
    s.arrange();
    std::string out;
    EXPECT_EQ(run(s.answer, out), s.fatal) << s.what;
  }
}

TEST_F(AvptXco2, InterpolatedToATypedTemperatureOrPressure) {
  // avP+ at 700 C: each P block brackets 700 twice, the ends included
  AVPTCALCTYPE = 2;
  std::string out;
  EXPECT_EQ(run("700\n", out), "");
  EXPECT_EQ(AVPFIXEDT, 700);
  ASSERT_EQ(NJX, 6);
  for (int k = 1; k <= 6; ++k) {
    const jxcalctype& r = (*JXCALC)[k];
    // f = 1 on the first pair, f = 0 on the second: both the 700 C calc
    EXPECT_TRUE(r.p == 4 + (k - 1) / 2 && r.t == 700 && std::fabs(r.xfluid - 0.2L) < 1e-18L &&
                std::fabs(r.xyz[1] - r.p - 0.2L) < 1e-15L && std::fabs(r.sdxyz[2] - 0.7L) < 1e-15L &&
                std::fabs(r.cor[3] - 0.6L) < 1e-15L)
        << k;
  }
  EXPECT_NE(out.find("\nshuffled\n"), std::string::npos);
  EXPECT_NE(out.find("with x(CO2), the fixed T for avP+ is  : "), std::string::npos) << out;
  EXPECT_NE(out.find("\nafter preprocess\n 1)    4.000  700.00  0.2000\n 2)    4.000  700.00  0.2000\n 3)    5.000"),
            std::string::npos)
      << out;

  // avP+ at 650 C: halfway along the first pair of each block
  SetUp();
  AVPTCALCTYPE = 2;
  EXPECT_EQ(run("650\n", out), "");
  ASSERT_EQ(NJX, 3);
  EXPECT_TRUE(std::fabs((*JXCALC)[2].xyz[1] - 5.15L) < 1e-15L && std::fabs((*JXCALC)[2].sdxyz[1] - 0.05L) < 1e-15L);

  // avT+ at 4.25 kbar: not reordered; neighbours at one T and bracketing P
  SetUp();
  AVPTCALCTYPE = 3;
  EXPECT_EQ(run("4.25\n", out), "");
  EXPECT_EQ(AVTFIXEDP, 4.25L);
  ASSERT_EQ(NJX, 3);
  for (int k = 1; k <= 3; ++k) {
    const jxcalctype& r = (*JXCALC)[k];
    EXPECT_TRUE(r.p == 4.25L && r.t == 500 + 100 * k && std::fabs(r.xyz[1] - 4.25L - 0.1L * k) < 1e-15L &&
                std::fabs(r.sdxyz[1] - 0.0425L) < 1e-15L)
        << k;
  }
  EXPECT_EQ(out.find("shuffled"), std::string::npos);
  EXPECT_NE(out.find("with x(CO2), the fixed P for avT+ is  : "), std::string::npos) << out;
}

TEST_F(AvptXco2, LongListingsAndAnEmptiedStore) {
  // 70 calcs: 50 lines, "...", then calcs 60 to 70
  for (int k = 9; k < 70; ++k) add(4, 0.1L);
  AVPTCALCTYPE = 3;
  std::string out;
  EXPECT_EQ(run("9\n", out), "");
  const std::string first = out.substr(0, out.find("with x(CO2)"));
  EXPECT_NE(first.find("\n50)    4.000"), std::string::npos) << first;
  EXPECT_NE(first.find("\n...\n60)    4.000"), std::string::npos) << first;
  EXPECT_EQ(count(first, "\n51)"), 0u);
  EXPECT_NE(first.find("\n70)    4.000  600.00  0.1000\n"), std::string::npos);
  // no pair brackets 9 kbar: nothing left, and the driver stops at once
  EXPECT_EQ(NJX, 0);
  SetUp();
  AVPTCALCTYPE = 2;
  EXPECT_EQ(testsupport::answered("900\n", [] { ZQNLE4::AVPTPLUSDRIVER(); }, out), "avpt+ driver: njx too small");
}
