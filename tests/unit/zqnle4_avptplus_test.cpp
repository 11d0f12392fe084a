// The avPT+ basis, fits, solve with errors on both sides, the covariances
// of the calculated side, the brute-force table and the driver's stops, on
// the linear fixture and variations of it. Expected numbers were worked out
// apart from this code (the generalised least-squares estimate of the
// linear fixture).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "avptplus_testsupport.h"
#include "frame/channels.h"
#include "iotestsupport.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"

using namespace ZQGLOBAL;
using avpttest::count;
using ZQNLE4::avptplusstate;

namespace {

class AvptPlus : public ::testing::Test {
 protected:
  void SetUp() override { avpttest::setuplinear(); }
  void TearDown() override { RELEASEJXCALC(); }

  // The driver's state after its set-up, fits and rock side; what those
  // steps wrote to the terminal in out.
  std::unique_ptr<avptplusstate> prepared(std::string* out = nullptr) {
    auto s = std::make_unique<avptplusstate>();
    testsupport::Terminal term;
    s->SETUPKIND();
    s->FITS();
    s->ROCKSIDE();
    if (out != nullptr) *out = term.text();
    return s;
  }
  // A driver run that ends the run: how, with the terminal in out.
  static std::string drive(std::string& out, const std::string& answers = "") {
    return testsupport::answered(answers, [] { ZQNLE4::AVPTPLUSDRIVER(); }, out);
  }
};

}  // namespace

TEST(AvptPlusBasis, TermsAndDerivativesAtTheCentreAndItsEdges) {
  testsupport::freshstate();
  AVPGUESS = 6;
  AVTGUESS = 600;
  NPOLY = 13;
  polyvector ip, jp, coef, terms, dp, dt;
  const extended ipows[13] = {0, 1, 2, 3, 4, 0, 0, 0, 0, 1, 2, 1, 2};
  const extended jpows[13] = {0, 0, 0, 0, 0, 1, 2, 3, 4, 1, 1, 2, 2};
  for (int k = 1; k <= 13; ++k) ip[k] = ipows[k - 1], jp[k] = jpows[k - 1], coef[k] = 0.1L * k;
  // p = (P - 6) / 12, t = (T - 600) / 300; term k, its value, dP and dT
  const struct {
    extended P, T;
    int k;
    extended term, dP, dT;
  } rows[] = {
      {6, 600, 1, 1, 0, 0},           {6, 600, 2, 0, 1.0L / 12, 0},
      {-6, 600, 4, -1, 3.0L / 12, 0}, {-6, 600, 5, 1, -4.0L / 12, 0},
      {18, 900, 13, 1, 2.0L / 12, 2.0L / 300}, {18, 300, 11, -1, -2.0L / 12, 1.0L / 300},
      {6, 300, 9, 1, 0, -4.0L / 300},
  };
  for (const auto& r : rows) {
    ZQNLE4::PTTERMS(r.P, r.T, ip, jp, terms);
    ZQNLE4::DPTTERMS(r.P, r.T, ip, jp, dp, dt);
    EXPECT_TRUE(std::fabs(terms[r.k] - r.term) < 1e-18L && std::fabs(dp[r.k] - r.dP) < 1e-18L &&
                std::fabs(dt[r.k] - r.dT) < 1e-18L)
        << r.k;
  }
  extended fp, ft;
  EXPECT_NEAR(ZQNLE4::SUMPTTERMS(6, 600, coef, ip, jp), 0.1L, 1e-18L);
  // the analytic slopes against central differences away from the centre
  const extended P = 8.3L, T = 655, h = 1e-4L;
  ZQNLE4::SUMDPTTERMS(coef, ip, jp, P, T, fp, ft);
  EXPECT_NEAR(fp, (ZQNLE4::SUMPTTERMS(P + h, T, coef, ip, jp) - ZQNLE4::SUMPTTERMS(P - h, T, coef, ip, jp)) / (2 * h), 1e-9L);
  EXPECT_NEAR(ft, (ZQNLE4::SUMPTTERMS(P, T + h, coef, ip, jp) - ZQNLE4::SUMPTTERMS(P, T - h, coef, ip, jp)) / (2 * h), 1e-9L);
  // a 5-term basis reads and writes the first 5 entries only
  NPOLY = 5;
  terms.fill(-7);
  ip[6] = std::nanl("");
  ZQNLE4::PTTERMS(7, 600, ip, jp, terms);
  EXPECT_TRUE(terms[6] == -7 && std::fabs(terms[5] - std::pow(1.0L / 12, 4)) < 1e-18L);
}

TEST_F(AvptPlus, LinearCalcsFitExactlyAndTheReportsShowIt) {
  std::string out;
  const auto s = prepared(&out);
  EXPECT_TRUE(NPOLY == 13 && s->ELL == 1 && !s->AVPPLUS && !s->AVTPLUS);
  EXPECT_EQ(count(out, "not full rank"), 0u);
  // a + b (P - 6) + c (T - 600): p's coefficient 12 b, t's 300 c
  for (int i = 0; i < 3; ++i)
    for (int j = 1; j <= 13; ++j) {
      const extended want = j == 1 ? avpttest::a[i] : j == 2 ? 12 * avpttest::b[i] : j == 6 ? 300 * avpttest::c[i] : 0;
      EXPECT_NEAR(PTCOEFF(i + 1, j), want, 1e-10L) << i << " " << j;
    }
  EXPECT_TRUE(s->PMIN == 4 && s->PMAX == 8 && s->TMIN == 500 && s->TMAX == 700);

  testsupport::Terminal term;
  s->FITREPORT();
  s->LISTS();
  s->FITS();  // SETUPINFO shows the singular values of the last fit
  ZQNLE4::SETUPINFO(s->IPOW, s->JPOW);
  const auto lines = testsupport::lines(term.text());
  ASSERT_EQ(lines.size(), 69u) << term.text();
  EXPECT_TRUE(lines[1] == "difference between jx xyz and its poly" && lines[3] == "       xyz    med e*    max e*");
  for (int i = 1; i <= 3; ++i)  // median and largest e* print as zero
    EXPECT_TRUE(lines[3 + i] == "        x" + std::to_string(i) + "         0         0" ||
                lines[3 + i] == "        x" + std::to_string(i) + "    0.0000    0.0000")
        << lines[3 + i];
  EXPECT_EQ(lines[7], "          P        T       x1       x2       x3   ");
  EXPECT_EQ(lines[8], "  {    4.00,   500.0,  0.1600,  0.4800,  0.2700},");
  EXPECT_EQ(lines[54].substr(0, 30), "{   0.30000000,    0.24000000,");
  EXPECT_TRUE(lines[59] == "singular values" && lines[60].starts_with(" 1"));
  EXPECT_EQ(lines[60].find("0.000000000 2"), std::string::npos) << "a full-rank fit keeps every value";
  EXPECT_EQ(lines[68], std::string(20, ' ') + "         -         -         -");
}

TEST_F(AvptPlus, ConstantAndDependentColumns) {
  // x2 the same everywhere (within 1e-5): the first calc's value, no rank note
  for (int k = 1; k <= NJX; ++k) (*JXCALC)[k].xyz[2] = 0.5L + (k % 2) * 5e-6L;
  auto s = prepared();
  EXPECT_TRUE(s->XYZCONST[2] && !s->XYZCONST[1] && PTCOEFF(2, 1) == (*JXCALC)[1].xyz[2]);
  for (int j = 2; j <= 13; ++j) EXPECT_EQ(PTCOEFF(2, j), 0);

  // three temperatures only, P decreasing: t^3 and t^4 depend on 1, t, t^2
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
  for (int i = 1; i <= 3; ++i) {  // the kept singular values still reproduce the calcs
    for (int j = 1; j <= 13; ++j) s->COEFFROW[j] = PTCOEFF(i, j);
    EXPECT_NEAR(ZQNLE4::SUMPTTERMS(5, 600, s->COEFFROW, s->IPOW, s->JPOW), avpttest::linear(i - 1, 5, 600), 1e-10L);
  }
}

TEST_F(AvptPlus, RunKindFromTheCalcsAndTheCalcType) {
  const std::string onept = "avptplusdriver: cannot do avPT+ with calcs at just one P or T";
  const struct {
    bool onet, onep;
    smallint calctype;
    std::string fatal;
    bool avp, avt;
    smallint npoly;
  } kinds[] = {
      {true, false, 2, "", true, false, 5},  {true, false, 3, "", true, false, 5},  {true, false, 1, onept, 0, 0, 0},
      {false, true, 3, "", false, true, 5},  {false, true, 2, "", false, true, 5},  {false, true, 1, onept, 0, 0, 0},
      {true, true, 2, "avptplusdriver: onep/onet mess", 0, 0, 0},
      {false, false, 2, "", true, false, 13}, {false, false, 3, "", false, true, 13},
  };
  for (const auto& k : kinds) {
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
    EXPECT_TRUE(s.AVPPLUS == k.avp && s.AVTPLUS == k.avt && NPOLY == k.npoly) << k.calctype << k.onet << k.onep;
    if (k.npoly == 5) {
      EXPECT_TRUE(k.onet ? s.IPOW[5] == 4 && s.JPOW[5] == 0 : s.IPOW[5] == 0 && s.JPOW[5] == 4);
    }
  }
}

TEST_F(AvptPlus, DriverStopsOnABadStoreRockOrGuesses) {
  std::string out;
  NJX = 5;  // the two advice lines, then the stop
  EXPECT_EQ(drive(out), "avptplus driver: too few calcs, njx = 5");
  EXPECT_NE(out.find("\npseudosection field is too small or not there, starting guess \n"
                     "problems, or calcT and/or calcP and/or diagramPT inappropriately set\n"),
            std::string::npos)
      << out;
  avpttest::setuplinear();
  NMIN = -2;  // no minerals but three variables per calc
  EXPECT_EQ(drive(out), "avptplusdriver: bung assembly of rockVxyz");
  avpttest::setuplinear();
  MINERAL[1].sdxyz[3] = 0;  // a singular rock covariance
  EXPECT_EQ(drive(out), "avptplusdriver: covariance not positive definite");
  // no guesses to scale the temperature misfits by: stopped before a solve
  for (const auto& [pg, tg] : {std::pair<extended, extended>{0, 600}, {-6, 600}, {6, 2}}) {
    avpttest::setuplinear();
    AVPGUESS = pg;
    AVTGUESS = tg;
    EXPECT_EQ(drive(out), "avptplusdriver: avP and avT guesses needed");
    EXPECT_EQ(out.find("brute force"), std::string::npos);
  }
}

TEST_F(AvptPlus, SolveAgainstAnyCalcMatchesTheGeneralisedLeastSquaresEstimate) {
  const auto s = prepared();
  AVPTINFOLEVEL = 1;
  const extended opt[3] = {0.331900L, 0.508547L, 0.189700L}, optsd[3] = {0.004472L, 0.005367L, 0.003578L};
  const extended estar[6] = {0.759903L, 2.015743L, 1.599796L, -0.379952L, -1.007871L, -0.799898L};
  for (const smallint k : {1, 23, 45}) {
    extended p = 6, t = 600, sigfit = -1;
    testsupport::Terminal term;
    ASSERT_TRUE(s->AVPTPLUS(ROCKXYZ, s->JXXYZ, k, p, t, sigfit, true)) << k;
    // the first step is exact on linear calcs; the second confirms it
    const std::string out = term.text();
    EXPECT_TRUE(out.starts_with("\niteration info\n 1: dP = ") && count(out, ": dP = ") == 2 &&
                out.ends_with("\nconverged\n\n"))
        << out;
    EXPECT_TRUE(std::fabs(p - 6.500010L) < 5e-7L && std::fabs(t - 620.000012L) < 5e-7L) << p << " " << t;
    EXPECT_NEAR(sigfit, 1.500002L, 5e-7L);
    extended sum = 0;
    for (int i = 1; i <= 3; ++i) {
      EXPECT_NEAR(s->XYZOPT[i], opt[i - 1], 5e-7L);
      EXPECT_NEAR(s->XYZOPT[3 + i], opt[i - 1], 5e-7L);
      EXPECT_NEAR(s->XYZOPTSD[i], optsd[i - 1], 5e-7L);
    }
    for (int i = 1; i <= 6; ++i) {
      EXPECT_NEAR(s->ESTAR[i], estar[i - 1], 5e-6L);
      sum += s->ESTAR[i] * s->ESTAR[i];
    }
    EXPECT_NEAR(sum, 4 * sigfit * sigfit, 1e-12L);  // q = 2n - 2 in avPT+
  }
}

TEST_F(AvptPlus, FailedSolvesZeroTheSolvedCoordinatesOnly) {
  auto s = prepared();
  FIGPHIGH = 6.2L;  // the first step, to 6.5 kbar, leaves the window
  extended p = 6, t = 600, sigfit = 9;
  AVPTINFOLEVEL = 1;
  std::string out;
  {
    testsupport::Terminal term;
    EXPECT_FALSE(s->AVPTPLUS(ROCKXYZ, s->JXXYZ, 3, p, t, sigfit, true));
    out = term.text();
  }
  EXPECT_TRUE(p == 0 && t == 0 && sigfit == 0 && s->XYZOPTSD[1] == 0);
  EXPECT_EQ(out, "failed (outside of PT data range)\n\n");  // no iteration line

  // avP+ on Newton's two-cycle of p^3 - 2p + 2 = 0 between p = 0 and 1: the
  // 60th iteration is the last, and T is never touched
  FIGPHIGH = 30;
  NJXXYZ = 1;
  NPOLY = 5;
  s->AVPPLUS = true;
  const extended cubic[5] = {2, -2, 0, 1, 0};
  for (int j = 1; j <= 5; ++j) s->IPOW[j] = j - 1, s->JPOW[j] = 0, PTCOEFF(1, j) = cubic[j - 1];
  xyzvector rock, jx;
  jx[1] = 2;
  ROCKVXYZ(1, 1) = JXVXYZ(1, 1) = 1e-4L;
  p = 6;
  t = 612;
  testsupport::Terminal term;
  EXPECT_FALSE(s->AVPTPLUS(rock, jx, 0, p, t, sigfit, true));
  out = term.text();
  EXPECT_TRUE(out.find("\n60: P = ") != std::string::npos && out.find("\n61: ") == std::string::npos) << out;
  EXPECT_TRUE(out.ends_with("\nNOT converged\n\n") && p == 0 && t == 612 && sigfit == 0);
}

TEST_F(AvptPlus, CalculatedCovarianceFromOneCalcFromMediansAndItsInverseRoot) {
  auto s = prepared();
  // calc 2 correlates x2 with x1 by 0.5 and carries the no-variance marker on x3
  (*JXCALC)[2].cor[1] = 0.5L;
  (*JXCALC)[2].sdxyz[3] = -10;
  s->SINGLECOV(2);
  EXPECT_NEAR(JXVXYZ(2, 1), 0.005L * 0.5L * 0.006L, 1e-20L);
  EXPECT_TRUE(JXVXYZ(1, 2) == JXVXYZ(2, 1) && JXVXYZ(3, 3) == 100 && s->JXSD[3] == -10);
  s->SINGLECOV(1);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j)
      EXPECT_EQ(JXVXYZ(i, j), i == j ? avpttest::sdxyz[i - 1] * avpttest::sdxyz[i - 1] : 0) << i << j;

  // medians, with correlations clipped to 0.95 in magnitude
  for (const auto& [value, used] : {std::pair<extended, extended>{0.99L, 0.95L}, {-1, -0.95L}, {0.3L, 0.3L}}) {
    for (int k = 1; k <= NJX; ++k) {
      (*JXCALC)[k].sdxyz[1] = k <= 23 ? 0.02L : 0.001L * k;
      (*JXCALC)[k].cor[2] = k <= 23 ? value : 0;  // pair (3,1)
    }
    s->AVERAGECOV();
    EXPECT_EQ(s->JXSD[1], 0.02L);
    EXPECT_NEAR(JXVXYZ(3, 1), 0.02L * 0.004L * used, 1e-20L) << value;
    EXPECT_TRUE(JXVXYZ(1, 3) == JXVXYZ(3, 1) && JXVXYZ(2, 1) == 0);
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
  EXPECT_NE(out.find("\nbrute force: njx = 45\njx min/max P =   4.00  8.00 1.000\n"), std::string::npos) << out;
  // every calc solved: 45 rows of 56 characters, a separator before 5, 6, 7 and 8 kbar
  std::size_t nrows = 0;
  for (const auto& l : testsupport::lines(out))
    if (l.size() == 56 && l.ends_with("1.500")) ++nrows;
  EXPECT_EQ(nrows, 45u) << out;
  for (const char* file : {"out.txt", "log.txt"}) {
    const std::string text = dir.read(file);
    EXPECT_NE(text.find(table), std::string::npos) << file << ":\n" << text;
    EXPECT_TRUE(count(text, "\n-----------------\n   ") == 4 && text.find("-----------------\n   8.000  500.00") != std::string::npos &&
                text.ends_with("   8.000  700.00   6.500  620.00   1.500   0.800   1.500\n"))
        << file << ":\n" << text;
    EXPECT_EQ(text.find("jx min/max"), std::string::npos) << file;
  }
}

TEST_F(AvptPlus, BruteForceKeepsNoResultForAFailedSolve) {
  auto s = prepared();
  FIGTHIGH = 619 + 273.15L;  // every solve leaves the window at 620 C
  testsupport::Terminal term;
  s->BRUTEFORCE(ROCKXYZ, s->JXXYZ);
  for (int i = 1; i <= NJX; ++i) EXPECT_TRUE(s->DELPCALC[i] == 1000000 && s->DELTCALC[i] == 1000000) << i;
  EXPECT_TRUE(term.text().ends_with("  sigfit\n")) << term.text();
}

// With "with x(CO2)" the calcs' x(fluid) is fitted over the same terms as
// the variables: x = 0.2 + 0.01 (P - 6) + 0.0005 (T - 600) gives 0.2, 12 x
// 0.01 for p and 300 x 0.0005 for t; without it the fit is not made. The
// same holds when every variable is constant and no fit of theirs has set
// the cut.
TEST_F(AvptPlus, FluidFittedWhenAskedFor) {
  const struct {
    controlboolean withxco2;
    bool constantxyz;
  } cases[] = {{yes, false}, {yes, true}, {no, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.withxco2) * 10 + c.constantxyz);
    avpttest::setuplinear();
    for (long k = 1; k <= NJX; ++k) {
      jxcalctype& r = (*JXCALC)[k];
      r.xfluid = 0.2L + 0.01L * (r.p - 6) + 0.0005L * (r.t - 600);
      if (c.constantxyz)
        for (long i = 1; i <= NJXXYZ; ++i) r.xyz[i] = 0.1L * i;
    }
    auto s = std::make_unique<avptplusstate>();
    for (long j = 1; j <= 13; ++j) s->XCO2COEFF[j] = 9;
    s->SETUPKIND();  // the fit alone: the switch's regrouping of the calcs is not wanted here
    CONTROLJX.avptpluswithxco2 = c.withxco2;
    s->FITS();
    for (long j = 1; j <= 13; ++j) {
      const extended want = c.withxco2 != yes ? 9 : j == 1 ? 0.2L : j == 2 ? 0.12L : j == 6 ? 0.15L : 0;
      EXPECT_NEAR(s->XCO2COEFF[j], want, 1e-10L) << j;
    }
    if (c.withxco2 == yes) {
      EXPECT_NEAR(ZQNLE4::SUMPTTERMS(5, 650, s->XCO2COEFF, s->IPOW, s->JPOW), 0.215L, 1e-10L);
    }
  }
  CONTROLJX.avptpluswithxco2 = no;
}
