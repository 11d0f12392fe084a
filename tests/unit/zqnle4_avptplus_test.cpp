// The avPT+ basis, fits, solve with errors on both sides, the covariances
// of the calculated side, the brute-force table and the driver's stops, on
// the linear fixture and variations of it. Expected numbers were worked out
// apart from this code (the generalised least-squares estimate of the
// linear fixture).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "avptplus_testsupport.h"
#include "frame/channels.h"
#include "iotestsupport.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"

using namespace ZQGLOBAL;
using ZQNLE4::avptplusstate;

namespace {

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class AvptPlus : public ::testing::Test {
 protected:
  void SetUp() override { avpttest::setuplinear(); }
  void TearDown() override { RELEASEJXCALC(); }

  // The driver's state after its set-up, fits and rock side, as the solve
  // finds it; the terminal output of those steps in out.
  std::unique_ptr<avptplusstate> prepared(std::string* out = nullptr) {
    auto s = std::make_unique<avptplusstate>();
    testsupport::Terminal term;
    s->SETUPKIND();
    s->FITS();
    s->ROCKSIDE();
    if (out != nullptr) *out = term.text();
    return s;
  }
};

}  // namespace

// ---------------------------------------------------------------- basis

TEST(AvptPlusBasis, TermsAndDerivativesAtTheCentreAndItsEdges) {
  testsupport::freshstate();
  AVPGUESS = 6;
  AVTGUESS = 600;
  NPOLY = 13;
  polyvector ip, jp, coef, terms, dp, dt;
  const extended ipows[13] = {0, 1, 2, 3, 4, 0, 0, 0, 0, 1, 2, 1, 2};
  const extended jpows[13] = {0, 0, 0, 0, 0, 1, 2, 3, 4, 1, 1, 2, 2};
  for (int k = 1; k <= 13; ++k) {
    ip[k] = ipows[k - 1];
    jp[k] = jpows[k - 1];
    coef[k] = 0.1L * k;
  }
  struct row {
    extended P, T;
    int k;
    extended term, dP, dT;
  };
  // p = (P - 6) / 12, t = (T - 600) / 300
  const row rows[] = {
      {6, 600, 1, 1, 0, 0},                  // the (0,0) term: 1, no slope
      {6, 600, 2, 0, 1.0L / 12, 0},          // (1,0) at the centre
      {-6, 600, 4, -1, 3.0L / 12, 0},        // (3,0) at p = -1
      {-6, 600, 5, 1, -4.0L / 12, 0},        // (4,0) at p = -1
      {18, 900, 13, 1, 2.0L / 12, 2.0L / 300},  // (2,2) at p = t = 1
      {18, 300, 11, -1, -2.0L / 12, 1.0L / 300},  // (2,1) at p = 1, t = -1
      {6, 300, 9, 1, 0, -4.0L / 300},        // (0,4) at t = -1
  };
  for (const row& r : rows) {
    ZQNLE4::PTTERMS(r.P, r.T, ip, jp, terms);
    ZQNLE4::DPTTERMS(r.P, r.T, ip, jp, dp, dt);
    EXPECT_NEAR(terms[r.k], r.term, 1e-18L) << r.k;
    EXPECT_NEAR(dp[r.k], r.dP, 1e-18L) << r.k;
    EXPECT_NEAR(dt[r.k], r.dT, 1e-18L) << r.k;
  }
  // at the centre the sum is the first coefficient, the P slope the second / 12
  extended fp, ft;
  EXPECT_NEAR(ZQNLE4::SUMPTTERMS(6, 600, coef, ip, jp), 0.1L, 1e-18L);
  ZQNLE4::SUMDPTTERMS(coef, ip, jp, 6, 600, fp, ft);
  EXPECT_NEAR(fp, 0.2L / 12, 1e-18L);
  EXPECT_NEAR(ft, 0.6L / 300, 1e-18L);

  // the analytic slopes against central differences away from the centre
  const extended P = 8.3L, T = 655, h = 1e-4L;
  ZQNLE4::SUMDPTTERMS(coef, ip, jp, P, T, fp, ft);
  const extended fdp = (ZQNLE4::SUMPTTERMS(P + h, T, coef, ip, jp) - ZQNLE4::SUMPTTERMS(P - h, T, coef, ip, jp)) / (2 * h);
  const extended fdt = (ZQNLE4::SUMPTTERMS(P, T + h, coef, ip, jp) - ZQNLE4::SUMPTTERMS(P, T - h, coef, ip, jp)) / (2 * h);
  EXPECT_NEAR(fp, fdp, 1e-9L);
  EXPECT_NEAR(ft, fdt, 1e-9L);

  // a 5-term basis reads and writes the first 5 entries only
  NPOLY = 5;
  terms.fill(-7);
  ip[6] = std::nanl("");
  ZQNLE4::PTTERMS(7, 600, ip, jp, terms);
  EXPECT_EQ(terms[6], -7);
  EXPECT_NEAR(terms[5], std::pow(1.0L / 12, 4), 1e-18L);
}

// ---------------------------------------------------------------- fits

TEST_F(AvptPlus, LinearCalcsFitExactlyWithTheFullBasis) {
  std::string out;
  const auto s = prepared(&out);
  EXPECT_EQ(NPOLY, 13);
  EXPECT_FALSE(s->AVPPLUS || s->AVTPLUS || s->ONEP || s->ONET);
  EXPECT_EQ(s->ELL, 1);
  EXPECT_EQ(count(out, "not full rank"), 0u);
  // a + b (P - 6) + c (T - 600): p's coefficient 12 b, t's 300 c
  for (int i = 0; i < 3; ++i)
    for (int j = 1; j <= 13; ++j) {
      const extended want = j == 1 ? avpttest::a[i] : j == 2 ? 12 * avpttest::b[i] : j == 6 ? 300 * avpttest::c[i] : 0;
      EXPECT_NEAR(PTCOEFF(i + 1, j), want, 1e-10L) << i << " " << j;
    }
  EXPECT_NEAR(s->JXXYZ[2], 0.50L, 1e-10L);
  EXPECT_TRUE(s->PMIN == 4 && s->PMAX == 8 && s->TMIN == 500 && s->TMAX == 700);
  EXPECT_NEAR(s->ROCKVIH(2, 2), 1 / 0.012L, 1e-9L);
}

TEST_F(AvptPlus, FitReportShowsNoMisfitOnLinearCalcs) {
  const auto s = prepared();
  testsupport::Terminal term;
  s->FITREPORT();
  const auto lines = testsupport::lines(term.text());
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[1], "difference between jx xyz and its poly");
  EXPECT_EQ(lines[3], "       xyz    med e*    max e*");
  for (int i = 1; i <= 3; ++i) {
    const std::string& l = lines[3 + i];
    ASSERT_EQ(l.size(), 30u) << l;
    EXPECT_EQ(l.substr(0, 10), "        x" + std::to_string(i));
    for (const std::string& field : {l.substr(10, 10), l.substr(20, 10)})
      EXPECT_TRUE(field == "         0" || field == "    0.0000") << l;
  }
}

TEST_F(AvptPlus, ConstantAndDependentColumnsAndDecreasingPressures) {
  // x2 the same everywhere: fitted as that constant, with no rank note
  for (int k = 1; k <= NJX; ++k) (*JXCALC)[k].xyz[2] = 0.5L + (k % 2) * 5e-6L;
  auto s = prepared();
  EXPECT_TRUE(s->XYZCONST[2] && !s->XYZCONST[1]);
  EXPECT_EQ(PTCOEFF(2, 1), (*JXCALC)[1].xyz[2]);
  for (int j = 2; j <= 13; ++j) EXPECT_EQ(PTCOEFF(2, j), 0);

  // three temperatures only: t^3 and t^4 depend on 1, t, t^2
  avpttest::setupempty();
  for (int ip = 8; ip >= 4; --ip)
    for (int it = 0; it < 3; ++it) {
      const extended p = ip, t = 500 + 100 * it;
      avpttest::addcalc(p, t, {avpttest::linear(0, p, t), avpttest::linear(1, p, t), avpttest::linear(2, p, t)},
                        avpttest::sdxyz);
    }
  std::string out;
  s = prepared(&out);
  EXPECT_EQ(count(out, "\nnot full rank for x"), 3u) << out;
  EXPECT_NE(out.find("not full rank for x1: npoly = 13, ell = 3\n"), std::string::npos) << out;
  EXPECT_TRUE(s->PMIN == 4 && s->PMAX == 8);
  // the kept singular values still reproduce the linear calcs
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 13; ++j) s->COEFFROW[j] = PTCOEFF(i, j);
    EXPECT_NEAR(ZQNLE4::SUMPTTERMS(5, 600, s->COEFFROW, s->IPOW, s->JPOW), avpttest::linear(i - 1, 5, 600), 1e-10L);
  }
}

// ---------------------------------------------------------------- run kinds and stops

TEST_F(AvptPlus, RunKindFromTheCalcsAndTheCalcType) {
  struct kind {
    bool onet, onep;
    smallint calctype;
    std::string fatal;
    bool avp, avt;
    smallint npoly;
  };
  const kind kinds[] = {
      {true, false, 2, "", true, false, 5},
      {true, false, 3, "", true, false, 5},
      {true, false, 1, "avptplusdriver: cannot do avPT+ with calcs at just one P or T", false, false, 5},
      {false, true, 3, "", false, true, 5},
      {false, true, 2, "", false, true, 5},
      {false, true, 1, "avptplusdriver: cannot do avPT+ with calcs at just one P or T", false, false, 5},
      {true, true, 2, "avptplusdriver: onep/onet mess", false, false, 0},
      {false, false, 2, "", true, false, 13},
      {false, false, 3, "", false, true, 13},
  };
  for (const kind& k : kinds) {
    avpttest::setupempty();
    AVPTCALCTYPE = k.calctype;
    for (int n = 0; n < 9; ++n) {
      const extended p = k.onep ? 6 : 4 + 0.5L * n, t = k.onet ? 600 : 500 + 25 * ((n * 4) % 9);
      avpttest::addcalc(p, t, {avpttest::linear(0, p, t), avpttest::linear(1, p, t), avpttest::linear(2, p, t)},
                        avpttest::sdxyz);
    }
    avptplusstate s;
    EXPECT_EQ(testsupport::fatal([&] { s.SETUPKIND(); }), k.fatal) << k.calctype << k.onet << k.onep;
    if (!k.fatal.empty()) continue;
    EXPECT_EQ(s.AVPPLUS, k.avp);
    EXPECT_EQ(s.AVTPLUS, k.avt);
    EXPECT_EQ(NPOLY, k.npoly);
    if (k.npoly == 5) {
      EXPECT_TRUE(k.onet ? s.IPOW[5] == 4 && s.JPOW[5] == 0 : s.IPOW[5] == 0 && s.JPOW[5] == 4);
    }
  }
}

TEST_F(AvptPlus, DriverStopsOnABadStoreOrRock) {
  std::string out;
  // five calcs: the two advice lines, then the stop
  NJX = 5;
  EXPECT_EQ(testsupport::answered("", [] { ZQNLE4::AVPTPLUSDRIVER(); }, out),
            "avptplus driver: too few calcs, njx = 5");
  EXPECT_NE(out.find("\npseudosection field is too small or not there, starting guess \n"
                     "problems, or calcT and/or calcP and/or diagramPT inappropriately set\n"),
            std::string::npos)
      << out;
  // no minerals but three variables per calc
  avpttest::setuplinear();
  NMIN = -2;
  EXPECT_EQ(testsupport::answered("", [] { ZQNLE4::AVPTPLUSDRIVER(); }, out),
            "avptplusdriver: bung assembly of rockVxyz");
  // a rock variable with no spread leaves a singular covariance
  avpttest::setuplinear();
  MINERAL[1].sdxyz[3] = 0;
  EXPECT_EQ(testsupport::answered("", [] { ZQNLE4::AVPTPLUSDRIVER(); }, out),
            "avptplusdriver: covariance not positive definite");
  // no guesses to scale the temperature misfits by: stopped before a solve
  for (const auto& [pg, tg] : {std::pair<extended, extended>{0, 600}, {-6, 600}, {6, 2}}) {
    avpttest::setuplinear();
    AVPGUESS = pg;
    AVTGUESS = tg;
    EXPECT_EQ(testsupport::answered("", [] { ZQNLE4::AVPTPLUSDRIVER(); }, out),
              "avptplusdriver: avP and avT guesses needed");
    EXPECT_EQ(out.find("brute force"), std::string::npos);
  }
}

// ---------------------------------------------------------------- the solve

TEST_F(AvptPlus, SolveAgainstAnyCalcMatchesTheGeneralisedLeastSquaresEstimate) {
  const auto s = prepared();
  AVPTINFOLEVEL = 1;
  for (const smallint k : {1, 23, 45}) {
    extended p = 6, t = 600, sigfit = -1;
    testsupport::Terminal term;
    ASSERT_TRUE(s->AVPTPLUS(ROCKXYZ, s->JXXYZ, k, p, t, sigfit, true)) << k;
    const std::string out = term.text();
    // the first step is exact on linear calcs; the second confirms it
    EXPECT_NE(out.find("\niteration info\n 1: dP = "), std::string::npos) << out;
    EXPECT_NE(out.find("\n 2: dP = "), std::string::npos) << out;
    EXPECT_EQ(out.find("\n 3: dP"), std::string::npos) << out;
    EXPECT_NE(out.find("\nconverged\n\n"), std::string::npos) << out;
    EXPECT_NEAR(p, 6.500010L, 5e-7L);
    EXPECT_NEAR(t, 620.000012L, 5e-7L);
    EXPECT_NEAR(sigfit, 1.500002L, 5e-7L);
    const extended opt[3] = {0.331900L, 0.508547L, 0.189700L};
    const extended optsd[3] = {0.004472L, 0.005367L, 0.003578L};
    const extended estar[6] = {0.759903L, 2.015743L, 1.599796L, -0.379952L, -1.007871L, -0.799898L};
    extended sum = 0;
    for (int i = 1; i <= 3; ++i) {
      EXPECT_NEAR(s->XYZOPT[i], opt[i - 1], 5e-7L);
      EXPECT_NEAR(s->XYZOPT[3 + i], opt[i - 1], 5e-7L);
      EXPECT_NEAR(s->XYZOPTSD[i], optsd[i - 1], 5e-7L);
      EXPECT_NEAR(s->JXSD[i], avpttest::sdxyz[i - 1], 1e-18L);
    }
    for (int i = 1; i <= 6; ++i) {
      EXPECT_NEAR(s->ESTAR[i], estar[i - 1], 5e-6L);
      sum += s->ESTAR[i] * s->ESTAR[i];
    }
    // q = 2n - 2 = 4 in avPT+
    EXPECT_NEAR(sum, 4 * sigfit * sigfit, 1e-12L);
  }
}

TEST_F(AvptPlus, FailedSolvesZeroTheSolvedCoordinatesOnly) {
  auto s = prepared();
  // the first step, to 6.5 kbar, leaves a window that ends at 6.2
  FIGPHIGH = 6.2L;
  extended p = 6, t = 600, sigfit = 9;
  AVPTINFOLEVEL = 1;
  testsupport::Terminal term;
  EXPECT_FALSE(s->AVPTPLUS(ROCKXYZ, s->JXXYZ, 3, p, t, sigfit, true));
  EXPECT_TRUE(p == 0 && t == 0 && sigfit == 0 && s->XYZOPTSD[1] == 0);
  EXPECT_NE(term.text().find("failed (outside of PT data range)\n"), std::string::npos);
  EXPECT_EQ(term.text().find(" 1: dP"), std::string::npos);

  // avP+ by Newton's two-cycle of p^3 - 2p + 2 = 0 between p = 0 and 1: the
  // 60th iteration is the last, and T is never touched
  FIGPHIGH = 30;
  NJXXYZ = 1;
  NPOLY = 5;
  s->AVPPLUS = true;
  for (int j = 1; j <= 5; ++j) {
    s->IPOW[j] = j - 1;
    s->JPOW[j] = 0;
  }
  const extended cubic[5] = {2, -2, 0, 1, 0};
  for (int j = 1; j <= 5; ++j) PTCOEFF(1, j) = cubic[j - 1];
  xyzvector rock, jx;
  rock[1] = 0;
  jx[1] = 2;
  ROCKVXYZ(1, 1) = JXVXYZ(1, 1) = 1e-4L;
  p = 6;
  t = 612;
  testsupport::Terminal term2;
  EXPECT_FALSE(s->AVPTPLUS(rock, jx, 0, p, t, sigfit, true));
  const std::string out = term2.text();
  EXPECT_NE(out.find("\n60: P = "), std::string::npos) << out;
  EXPECT_EQ(out.find("\n61: "), std::string::npos);
  EXPECT_NE(out.find("\nNOT converged\n"), std::string::npos);
  EXPECT_TRUE(p == 0 && t == 612 && sigfit == 0);
}

// ---------------------------------------------------------------- the calculated side's covariance

TEST_F(AvptPlus, CalculatedCovarianceFromOneCalcFromMediansAndItsInverseRoot) {
  auto s = prepared();
  // calc 2 correlates x2 with x1 by 0.5 and carries the no-variance marker on x3
  jxcalctype& c2 = (*JXCALC)[2];
  c2.cor[1] = 0.5L;
  c2.sdxyz[3] = -10;
  s->SINGLECOV(2);
  EXPECT_NEAR(JXVXYZ(2, 1), 0.005L * 0.5L * 0.006L, 1e-20L);
  EXPECT_EQ(JXVXYZ(1, 2), JXVXYZ(2, 1));
  EXPECT_EQ(JXVXYZ(3, 3), 100);  // the marker as it stands
  EXPECT_EQ(s->JXSD[3], -10);
  s->SINGLECOV(1);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j)
      EXPECT_EQ(JXVXYZ(i, j), i == j ? avpttest::sdxyz[i - 1] * avpttest::sdxyz[i - 1] : 0) << i << j;

  // medians, with correlations clipped to 0.95 in magnitude
  struct corcase {
    extended value, used;
  };
  for (const corcase cc : {corcase{0.99L, 0.95L}, {-1, -0.95L}, {0.3L, 0.3L}}) {
    for (int k = 1; k <= NJX; ++k) {
      (*JXCALC)[k].sdxyz[1] = k <= 23 ? 0.02L : 0.001L * k;
      (*JXCALC)[k].cor[2] = k <= 23 ? cc.value : 0;  // pair (3,1)
    }
    s->AVERAGECOV();
    EXPECT_EQ(s->JXSD[1], 0.02L);
    EXPECT_NEAR(JXVXYZ(3, 1), 0.02L * 0.004L * cc.used, 1e-20L) << cc.value;
    EXPECT_EQ(JXVXYZ(1, 3), JXVXYZ(3, 1));
    EXPECT_EQ(JXVXYZ(2, 1), 0);
  }
  s->CALCJXVIH(0);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      extended v = 0;
      for (int a = 1; a <= 3; ++a)
        for (int b = 1; b <= 3; ++b) v += s->JXVIH(i, a) * JXVXYZ(a, b) * s->JXVIH(b, j);
      EXPECT_NEAR(v, i == j ? 1 : 0, 1e-12L) << i << j;
    }
}

// ---------------------------------------------------------------- the default path

TEST_F(AvptPlus, BruteForceTableThenTheRunStopsWithEveryFileWritten) {
  testsupport::ScratchDir dir;
  testsupport::openchannel(CHANNEL::SUMMARYBIT, "out.txt");
  testsupport::openchannel(CHANNEL::LOGBIT, "log.txt");
  testsupport::Terminal term;
  EXPECT_EQ(testsupport::fatal([] { ZQNLE4::AVPTPLUSDRIVER(); }), ": ");
  const std::string out = term.text();
  const std::string table =
      "\nbrute force: njx = 45\n"
      "       P       T     avP     avT    delP    delT  sigfit\n"
      "   4.000  500.00   6.500  620.00  -2.500  -1.200   1.500\n";
  EXPECT_NE(out.find("jx min/max P =   4.00  8.00 1.000\n"), std::string::npos) << out;
  EXPECT_NE(out.find("brute force: njx = 45\n"), std::string::npos);
  EXPECT_NE(out.find("       P       T     avP     avT    delP    delT  sigfit\n   4.000  500.00   6.500  620.00"),
            std::string::npos)
      << out;
  EXPECT_EQ(count(out, "\n-----------------\n"), 4u);
  for (const char* block : {"-----------------\n   5.000  500.00", "-----------------\n   8.000  500.00"})
    EXPECT_NE(out.find(block), std::string::npos) << block;
  // every calc solved: 45 rows, and the summary and log hold them all
  const auto rows = testsupport::lines(out.substr(out.find("sigfit\n") + 7));
  std::size_t nrows = 0;
  for (const auto& l : rows)
    if (l.size() == 56 && l.substr(53) == "500") ++nrows;
  EXPECT_EQ(nrows, 45u) << out;
  for (const char* file : {"out.txt", "log.txt"}) {
    const std::string text = dir.read(file);
    EXPECT_NE(text.find(table), std::string::npos) << file << ":\n" << text;
    EXPECT_EQ(count(text, "\n-----------------\n"), 4u) << file;
    EXPECT_NE(text.find("   8.000  700.00"), std::string::npos) << file;
    EXPECT_EQ(text.find("jx min/max"), std::string::npos) << file;
  }
}

TEST_F(AvptPlus, BruteForceKeepsNoResultForAFailedSolveAndRestartsFromTheGuess) {
  auto s = prepared();
  FIGTHIGH = 619 + 273.15L;  // every solve leaves the window at 620 C
  testsupport::Terminal term;
  s->BRUTEFORCE(ROCKXYZ, s->JXXYZ);
  const std::string out = term.text();
  for (int i = 1; i <= NJX; ++i) EXPECT_TRUE(s->DELPCALC[i] == 1000000 && s->DELTCALC[i] == 1000000) << i;
  EXPECT_EQ(count(out, "-----"), 0u) << out;
  EXPECT_TRUE(out.ends_with("  sigfit\n")) << out;
}

TEST_F(AvptPlus, FitInfoOnTheTerminalShowsNoCalcMissedByHalfAPercent) {
  const auto s = prepared();
  testsupport::Terminal term;
  s->FITS();  // the singular values of the last fit, not of the rock's covariance
  ZQNLE4::SETUPINFO(s->IPOW, s->JPOW);
  const auto lines = testsupport::lines(term.text());
  ASSERT_EQ(lines.size(), 11u) << term.text();
  EXPECT_EQ(lines[2].find("0.000000000 2"), std::string::npos) << "every singular value of a full-rank fit counts";
  EXPECT_EQ(lines[1], "singular values");
  EXPECT_EQ(lines[2].substr(0, 2), " 1");
  EXPECT_EQ(lines[2].size(), 13u * 24);
  EXPECT_EQ(lines[4], "coeff");
  EXPECT_EQ(lines[5].substr(0, 29), "{     0.300000,      0.240000");
  EXPECT_TRUE(lines[5].ends_with("},"));
  EXPECT_EQ(lines[9], std::string(20, ' ') + "        x1        x2        x3");
  EXPECT_EQ(lines[10], std::string(20, ' ') + "         -         -         -");

  // one calc moved by 1 %: counted for its variable only
  (*JXCALC)[7].xyz[2] *= 1.01L;
  testsupport::Terminal term2;
  ZQNLE4::SETUPINFO(s->IPOW, s->JPOW);
  EXPECT_TRUE(term2.text().ends_with(std::string(20, ' ') + "         -         1         -\n")) << term2.text();
}
