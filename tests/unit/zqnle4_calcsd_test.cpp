// The uncertainty propagation of a solved point on the MgO-FeO loop of al
// and be: propagated sds against closed forms worked out apart and against
// Monte Carlo draws re-solved with the solver; the interaction-energy
// derivatives against differences of the activities; the DQF allowances;
// the result positions of the modes with their bulk source, on state laid
// by hand; the csv block and the report; the mended faults.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "equilibria/zqnle2.h"
#include "equilibria/zqnle2_solve.h"
#include "fuzzdrivers.h"
#include "mainprogram.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_avptplus.h"
#include "frame/zqglobal_newton.h"
#include "frame/zqglobal_nle.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_sensitivity.h"
#include "frame/zqglobal_uncertainty.h"
#include "frame/zqmath1.h"
#include "iotestsupport.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"
#include "model/zqmath2.h"
#include "model/zqre.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_calcsd.h"
#include "settingsheads.h"

using namespace ZQGLOBAL;
using assemblage::physical;

namespace {

constexpr extended K = 273.15L;
// sd(H) of ala, alb, bea, beb (kJ) and cov(ala, bea) (kJ squared).
const extended sdh[4] = {0.05L, 0.04L, 0.06L, 0.08L};
constexpr extended covab = 0.001L;

// Worked out with 40-digit arithmetic from the closed forms: the loop held
// at x(al) 0.3, x(be) 0.4 with P and T solved; at 6 kbar, 700 C with x
// solved, ideal and with W(ala, alb) = 8 kJ.
constexpr extended Pheld = 5.99999672665863095L, Theld = 973.150009828496549L;
constexpr extended sdPheld = 0.542236373524624550L, sdTheld = 4.64653114504446862L;
constexpr extended corheld = 0.279359821768255311L;
constexpr extended covheld[2][2] = {{0.294020284773136156L, 0.703852154611716160L},
                                    {0.703852154611716160L, 21.5902516818682607L}};
constexpr extended sdxideal[2] = {0.0136253667658355576L, 0.0154953808736395107L};
constexpr extended xw[2] = {0.0598855464537651928L, 0.191325273890208083L};
constexpr extended sdhw[2] = {0.00324862470132852860L, 0.00879212828310681754L};
constexpr extended sdww[2] = {0.0102457557082880991L, 0.00819052252911007533L};
constexpr extended sdw[2] = {0.0107484451193649418L, 0.0120160800199760046L};
// Case held, with a DQF of class 3 (0.25 kJ squared) on bea.
constexpr extended sdPdqf = 2.67282364118153348L, sdTdqf = 21.6256752931731115L;

assemblage::solution phase(const std::string& n, const std::string& a, const std::string& b, extended ha, extended sa,
                           extended va, extended hb, extended sb, extended vb, bool fixed) {
  const std::string x = "x(" + n + ")";
  assemblage::solution s = assemblage::onesite(n, axtype::ideal, {x}, {"1 - " + x, x},
                                               {assemblage::row(a, {1, 0}, ha, sa, va), assemblage::row(b, {0, 1}, hb, sb, vb)});
  s.vars[0].fixed = fixed;
  return s;
}

// x held and P, T solved (held), or the reverse; W on al when not 0.
assemblage::system alloop(bool held, extended w = 0) {
  assemblage::system s;
  s.components = {"MgO", "FeO"};
  s.modes = false;
  s.pfree = s.tfree = held;
  s.solutions = {phase("al", "ala", "alb", -1000, 0.10L, 2.0L, -1100, 0.12L, 2.2L, held),
                 phase("be", "bea", "beb", -989.621142L, 0.11L, 2.1L, -1112.659081L, 0.11L, 2.3L, held)};
  if (w != 0) {
    s.solutions[0].model = axtype::symmetric;
    s.solutions[0].ws = {{1, 2, w}};
  }
  return s;
}

class CalcSD : public ::testing::Test {
 protected:
  void SetUp() override {
    IO::MACHEPS = std::ldexp(1.0L, -64);
    SMALLE = SMALLF = 1e-12L;
    SMALLDX = 1e-10L;
    MCIT = 1;
    IO::CONTROLIO.pagewidth = 250;
    CONTROLJX.uncertaintylevel = 1;
    XPRECISION = 4;
    ph.fill(false);
    ph[1] = ph[2] = true;
  }
  void TearDown() override {
    ZQMATH2::EQUATIONS = &ZQCALC2::NLEFUNC;
    DEBUGLEVEL = 1;
  }

  // The loop laid out at a start, with its reactions and the enthalpy
  // covariance of the data set.
  void lay(const assemblage::system& s, extended P, extended T, std::vector<extended> x) {
    assemblage::layout(s);
    assemblage::setpoint(P, T, x, {});
    bool found = false;
    ZQRE::CALCRE2(found);
    ASSERT_TRUE(found);
    COV->fill(0);
    for (long i = 1; i <= 4; ++i) (*COV)(i, i) = sdh[i - 1] * sdh[i - 1];
    (*COV)(1, 3) = (*COV)(3, 1) = covab;
    SU.ph[1].firstx = 3;
    SU.ph[2].firstx = 4;
    SU.ph[1].varnames[1] = "x(al)";
    SU.ph[2].varnames[1] = "x(be)";
  }
  // Solves from the scaled X and leaves X as the extraction of a point
  // does: physical, with SU's P and T.
  static bool solve() {
    smallint code = -1;
    const bool ok = ZQMATH2::NLE(code);
    for (long v = 1; v <= NX; ++v) X[v] = physical(v);
    SU.pressure = X[1];
    SU.temperature = X[2];
    return ok;
  }
  static void rescale() {
    const eqvector x = X;
    for (long v = 1; v <= NX; ++v) assemblage::setphysical(v, x[v]);
  }
  std::string propagate(smallint level) {
    CONTROLJX.uncertaintylevel = level;
    testsupport::Terminal term;
    ZQNLE4::CALCSD(ph);
    return term.text();
  }
  // Sample sds of the unknowns u1, u2 (and their correlation) over n
  // solves from the solution after draw() has moved the data.
  template <typename Draw>
  static std::vector<extended> montecarlo(long n, long u1, long u2, Draw draw) {
    const eqvector start = X;
    const smallint level = CONTROLJX.uncertaintylevel;
    CONTROLJX.uncertaintylevel = 0;
    ZQMATH1::SETUPRANDOM(true);
    extended s1 = 0, s2 = 0, s11 = 0, s22 = 0, s12 = 0;
    for (long k = 0; k < n; ++k) {
      draw();
      X = start;
      rescale();
      EXPECT_TRUE(solve());
      s1 += X[u1], s2 += X[u2], s11 += X[u1] * X[u1], s22 += X[u2] * X[u2], s12 += X[u1] * X[u2];
    }
    X = start;
    CONTROLJX.uncertaintylevel = level;
    const extended v1 = (s11 - s1 * s1 / n) / (n - 1), v2 = (s22 - s2 * s2 / n) / (n - 1);
    const extended c = (s12 - s1 * s2 / n) / (n - 1);
    return {std::sqrt(v1), std::sqrt(v2), c / std::sqrt(v1 * v2)};
  }
  // A standard normal deviate from the program's generator.
  static extended gauss() {
    const extended u1 = 1 - ZQMATH1::RANDOM(), u2 = ZQMATH1::RANDOM();
    return std::sqrt(-2 * std::log(u1)) * std::cos(2 * 3.14159265358979323846L * u2);
  }
  // Draws the four enthalpies from the data set's covariance.
  static std::function<void()> enthalpydraws() {
    invmatrix c{"mc c"}, l{"mc l"};
    for (long i = 1; i <= 4; ++i)
      for (long j = 1; j <= 4; ++j) c(i, j) = (*COV)(i, j);
    ZQNLE4::CHOLESKI(c, l, 4);
    std::vector<extended> h0;
    for (long i = 1; i <= 4; ++i) h0.push_back((*TD)(i, 1));
    auto L = std::make_shared<invmatrix>(l);
    return [L, h0] {
      extended z[4];
      for (extended& v : z) v = gauss();
      for (long i = 1; i <= 4; ++i) {
        extended d = 0;
        for (long j = 1; j <= i; ++j) d += (*L)(i, j) * z[j - 1];
        (*TD)(i, 1) = h0[static_cast<std::size_t>(i - 1)] + d;
      }
    };
  }
  static void expectrel(extended got, extended want, double tol, const std::string& what) {
    EXPECT_NEAR(static_cast<double>(got / want), 1.0, tol) << what << ": " << static_cast<double>(got);
  }

  assemblage::tables t;
  bemvector ph{"calcsd ph"};
};

// P and T solved at held compositions: both equations are linear in P and
// T, so first order is exact, and draws of the enthalpies re-solved agree.
TEST_F(CalcSD, HeldCompositionsExactAndByDraws) {
  lay(alloop(true), 5, 950, {0.3L, 0.4L});
  ASSERT_TRUE(solve());
  EXPECT_NEAR(static_cast<double>(X[1]), static_cast<double>(Pheld), 1e-9);
  EXPECT_NEAR(static_cast<double>(X[2]), static_cast<double>(Theld), 1e-8);
  EXPECT_EQ(propagate(1), "    0.2794\n");
  const extended sds[2] = {sdPheld, sdTheld};
  for (long i = 1; i <= 2; ++i) {
    expectrel(SDX[i], sds[i - 1], 1e-7, "sd");
    EXPECT_EQ(SDXH[i], SDX[i]);
    EXPECT_EQ(SDXW[i], UNCERTAINTY::NOSD) << "ideal: no W";
    EXPECT_EQ(SDXBP[i], 0) << "no modes: no bulk source";
    for (long j = 1; j <= 2; ++j) expectrel(COVX(i, j), covheld[i - 1][j - 1], 1e-7, "cov");
  }
  expectrel(CORPT, corheld, 1e-7, "corpt");
  for (long i = 3; i <= 4; ++i) {
    EXPECT_EQ(SDX[i], 0);
    EXPECT_EQ(SDXH[i], 0);
    for (long j = 1; j <= 4; ++j) EXPECT_EQ(COVX(i, j), 0);
  }
  // The sds of the compositions in SU: held, so 0.
  EXPECT_EQ(SU.ph[1].xsd[1], 0);

  const std::vector<extended> mc = montecarlo(2000, 1, 2, enthalpydraws());
  expectrel(mc[0], sdPheld, 0.06, "Monte Carlo sd(P)");
  expectrel(mc[1], sdTheld, 0.06, "Monte Carlo sd(T)");
  EXPECT_NEAR(static_cast<double>(mc[2]), static_cast<double>(corheld), 0.07);
}

// P and T held, compositions solved: ideal, then with a symmetric W on al.
// The W part is checked by draws of W alone at a tenth of its sd, where
// the response is still linear.
TEST_F(CalcSD, SolvedCompositionsIdealAndWithW) {
  struct Case {
    const char* what;
    extended w;
    const extended *x, *sdh, *sdw, *sd;
  } cases[] = {
      {"ideal", 0, nullptr, sdxideal, nullptr, sdxideal},
      {"W(ala, alb) = 8", 8, xw, sdhw, sdww, sdw},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    lay(alloop(false, c.w), 6, 700 + K, {c.w == 0 ? 0.3L : 0.06L, c.w == 0 ? 0.4L : 0.19L});
    ASSERT_TRUE(solve());
    EXPECT_EQ(propagate(1), "") << "P and T held: no correlation line";
    EXPECT_EQ(CORPT, 0);
    EXPECT_EQ(SDX[1], 0);
    EXPECT_EQ(SDX[2], 0);
    for (long i = 0; i < 2; ++i) {
      if (c.x != nullptr) {
        EXPECT_NEAR(static_cast<double>(X[3 + i]), static_cast<double>(c.x[i]), 1e-9);
      }
      expectrel(SDXH[3 + i], c.sdh[i], 1e-6, "sd h");
      if (c.sdw == nullptr)
        EXPECT_EQ(SDXW[3 + i], UNCERTAINTY::NOSD);
      else
        expectrel(SDXW[3 + i], c.sdw[i], 1e-6, "sd w");
      expectrel(SDX[3 + i], c.sd[i], 1e-6, "sd");
      EXPECT_EQ(SU.ph[1 + i].xsd[1], SDX[3 + i]);
      // The covariance is symmetric with the squares of the sds on its
      // diagonal.
      EXPECT_NEAR(static_cast<double>(COVX(3 + i, 3 + i)), static_cast<double>(SDX[3 + i] * SDX[3 + i]), 1e-16);
    }
    EXPECT_EQ(COVX(3, 4), COVX(4, 3));

    if (c.w == 0) {
      const std::vector<extended> mc = montecarlo(2000, 3, 4, enthalpydraws());
      expectrel(mc[0], c.sd[0], 0.06, "Monte Carlo sd x(al)");
      expectrel(mc[1], c.sd[1], 0.06, "Monte Carlo sd x(be)");
    } else {
      ptype1& al = (*PREC1)[1];
      const std::vector<extended> mc = montecarlo(2000, 3, 4, [&al, c] { al.wa[1] = c.w + 0.1L * gauss(); });
      al.wa[1] = c.w;
      expectrel(10 * mc[0], c.sdw[0], 0.05, "draws of W, sd x(al)");
      expectrel(10 * mc[1], c.sdw[1], 0.05, "draws of W, sd x(be)");
    }
  }
}

// The derivative of RT ln(activity coefficient) by each W against central
// differences of RT ln a from the activities, which differ from it by
// the ideal part alone: a van Laar ternary of sizes 1, 2, 3 and a
// symmetric one.
TEST_F(CalcSD, InteractionDerivativesAgainstActivities) {
  for (const axtype model : {axtype::vanlaar, axtype::symmetric}) {
    SCOPED_TRACE(model == axtype::vanlaar ? "van Laar" : "symmetric");
    assemblage::system s;
    s.components = {"A", "B", "C"};
    s.modes = false;
    s.pfree = s.tfree = false;
    assemblage::solution ss = assemblage::onesite(
        "ter", model, {"x", "y"}, {"1 - x - y", "x", "y"},
        {assemblage::row("tA", {1, 0, 0}, -100, 0, 0), assemblage::row("tB", {0, 1, 0}, -100, 0, 0),
         assemblage::row("tC", {0, 0, 1}, -100, 0, 0)});
    ss.ws = {{1, 2, 5}, {1, 3, -3}, {2, 3, 12}};
    if (model == axtype::vanlaar)
      for (long k = 0; k < 3; ++k) ss.ems[static_cast<std::size_t>(k)].alpha = static_cast<extended>(k + 1);
    s.solutions = {ss};
    assemblage::layout(s);
    const extended P = 7, T = 900;
    assemblage::setpoint(P, T, {0.2L, 0.3L}, {});
    eqvector x{"ter x"};
    for (long v = 1; v <= NX; ++v) x[v] = physical(v);
    ZQNLE4::wderivmatrix d{"ter d"};
    ptype1& p = (*PREC1)[1];
    ZQNLE4::WDERIVATIVES(p, x, 3, P, T, d);
    auto rtlna = [&](long k) {
      emvector dp{"ter dp"}, dt{"ter dt"};
      static std::unique_ptr<dRTlnadxtype> dx = std::make_unique<dRTlnadxtype>();
      ZQCALC2::nlefuncstate& st = ZQCALC2::NLEFUNCSTATE();
      st.x = x;
      ZQCALC2::CALCA(x, false, false, dp, dt, *dx, P, T);
      return CONST::RGAS * T * std::log(ACTIVITY[k]);
    };
    const extended h = 1e-3L;
    for (long m = 1; m <= 3; ++m)
      for (long k = 1; k <= 3; ++k) {
        const extended w0 = p.wa[m];
        p.wa[m] = w0 + h;
        const extended up = rtlna(k);
        p.wa[m] = w0 - h;
        const extended down = rtlna(k);
        p.wa[m] = w0;
        EXPECT_NEAR(static_cast<double>(d(k, m)), static_cast<double>((up - down) / (2 * h)), 1e-9)
            << "end-member " << k << ", W " << m;
      }
  }
}

// Each DQF class adds its variance; class 0 and an unknown class end the
// run. A class-3 DQF on bea reaches the propagated sds of P and T.
TEST_F(CalcSD, DqfClasses) {
  struct Case {
    smallint code;
    extended added;
    const char* fatal;
  } cases[] = {{-1, 0, ""}, {1, 0.25L, ""}, {2, 25, ""}, {3, 0.25L, ""}, {4, 0.25L, ""}, {5, 1, ""},
               {0, 0, "calcsd: dqf unclassified"}, {6, 0, "calcsd: dqfubar"}};
  for (const Case& c : cases) {
    emtype em;
    em.dqfcode = c.code;
    em.dqfa = 10;
    extended v = -1;
    testsupport::Terminal term;
    EXPECT_EQ(testsupport::fatal([&] { v = ZQNLE4::DQFVARIANCE(em); }), c.fatal) << c.code;
    if (*c.fatal == 0) {
      EXPECT_NEAR(static_cast<double>(v), static_cast<double>(c.added), 1e-15) << c.code;
    }
  }
  lay(alloop(true), 5, 950, {0.3L, 0.4L});
  (*PREC1)[2].em[1].dqfcode = 3;
  ASSERT_TRUE(solve());
  propagate(1);
  expectrel(SDX[1], sdPdqf, 1e-7, "sd(P) with a DQF");
  expectrel(SDX[2], sdTdqf, 1e-7, "sd(T) with a DQF");
}

// A repeated point starts converged: it forms its own sensitivities and
// shows the same sds; at level 0 such a start changes nothing at all.
TEST_F(CalcSD, ConvergedStartFormsItsSensitivities) {
  lay(alloop(true), 5, 950, {0.3L, 0.4L});
  ASSERT_TRUE(solve());
  propagate(1);
  const eqvector first = SDX;
  const eqmatrix inv = INVDEQDX;
  rescale();
  INVDEQDX.fill(7);  // what another point would have left
  ASSERT_TRUE(solve());
  EXPECT_EQ(NLEIT, 0);
  for (long i = 1; i <= 2; ++i)
    for (long j = 1; j <= 2; ++j) EXPECT_EQ(INVDEQDX(i, j), inv(i, j));
  propagate(1);
  for (long i = 1; i <= 4; ++i) EXPECT_EQ(SDX[i], first[i]);

  CONTROLJX.uncertaintylevel = 0;
  rescale();
  const eqvector start = X;
  INVDEQDX.fill(7);
  KMPDEN = 3;
  smallint code = -1;
  ASSERT_TRUE(ZQMATH2::NLE(code));
  EXPECT_EQ(NLEIT, 0);
  for (long v = 1; v <= NX; ++v) EXPECT_EQ(std::memcmp(&X[v], &start[v], 10), 0) << v;
  EXPECT_EQ(INVDEQDX(1, 1), 7);
  EXPECT_EQ(KMPDEN, 3);

  // At a level, a solve that fails leaves no sensitivities behind.
  CONTROLJX.uncertaintylevel = 1;
  DEBUGLEVEL = 0;
  ZQMATH2::EQUATIONS = [](const eqvector&, eqmatrix&, eqvector&, bool) { return false; };
  testsupport::Terminal term;
  EXPECT_FALSE(ZQMATH2::NLE(code));
  ZQMATH2::EQUATIONS = &ZQCALC2::NLEFUNC;
  DEBUGLEVEL = 1;
  EXPECT_EQ(INVDEQDX(1, 1), 0);
  EXPECT_EQ(KMPDEN, 0);
}

// At level 2 the variables table gains the "h" and "w" lines, and the
// second csv file the block of the point.
TEST_F(CalcSD, PrintedRowsAndCsvBlock) {
  testsupport::ScratchDir dir;
  testsupport::openchannel(CHANNEL::CSV2BIT, "a-2.csv");
  lay(alloop(true), 5, 950, {0.3L, 0.4L});
  NPSS = 2;
  (*PREC1)[1].name = "al";
  (*PREC1)[2].name = "be";
  ASSERT_TRUE(solve());
  const std::string blanks(20, ' ');
  for (smallint level : {1, 2}) {
    SCOPED_TRACE(level);
    propagate(level);
    ZQNLE2::solvestate s;
    s.NOK = 1;
    testsupport::Terminal term;
    s.PRINTVARIABLES();
    const std::vector<std::string> ls = testsupport::lines(term.text());
    ASSERT_EQ(ls.size(), level == 1 ? 4u : 6u) << term.text();
    EXPECT_EQ(ls[2], "     6.000   700.000       0.3       0.4");
    if (level == 2) {
      EXPECT_EQ(ls[3], "h    0.542      4.65" + blanks);
      EXPECT_EQ(ls[4], "w        0         0" + blanks);
    }
    EXPECT_EQ(ls.back(), "sd   0.542      4.65" + blanks);
  }
  IO::FLUSHER();
  EXPECT_TRUE(IO::CSV2FILEUSED);
  const std::string csv = dir.read("a-2.csv");
  EXPECT_EQ(csv,
            "x,   4,  0,   0,            6.0000,    700.000, " + std::string(12, ' ') + "        al,         be, \n\n"
            "   P(kbar),    T(degC),      x(al),      x(be), \n"
            "    6.0000,    700.000,    0.30000,    0.40000, \n\n"
            "   0.54224,     4.6465,          0,          0, \n"
            "         0,          0,          0,          0, \n"
            "         0,          0,          0,          0, \n"
            "   0.54224,     4.6465,          0,          0, \n\n"
            "    0.2940,     0.7039,          0,          0, \n"
            "    0.7039,      21.59,          0,          0, \n"
            "         0,          0,  1.000e-10,          0, \n"
            "         0,          0,          0,  1.000e-10, \n\n");
}

// Three modes, the second the denominator, P and T held, three pure
// phases: the inverse Jacobian laid by hand over two reactions and two
// bulk ratios, so every number below is worked out apart.
class CalcSDByHand : public ::testing::Test {
 protected:
  void SetUp() override {
    NX = 4;
    NXP = 3;
    MODESBYNLE = true;
    KMPDEN = 2;
    NR = 2;
    NUV = NUVLEFT = 3;
    KBPDEN = 1;
    NCV = 3;
    NPSS = 0;
    NP0 = 3;
    const extended x[] = {6, 700 + K, 0.3L, 0.4L, 0.2L, 0.5L, 0.3L};
    const char* names[] = {"P(kbar)", "T", "x(a)", "x(b)", "p", "q", "r"};
    for (long v = 1; v <= 7; ++v) X[v] = x[v - 1], BX[v] = v >= 3, XNAME[v] = names[v - 1];
    const int r[2][3] = {{1, -1, 0}, {0, 1, -1}};
    for (long i = 1; i <= 2; ++i)
      for (long e = 1; e <= 3; ++e) (*R)(i, e) = static_cast<smallint>(r[i - 1][e - 1]);
    COV->fill(0);
    (*COV)(1, 1) = 0.01L, (*COV)(2, 2) = 0.04L, (*COV)(3, 3) = 0.09L;
    COVBP(1, 1) = 4e-4L, COVBP(1, 2) = COVBP(2, 1) = 1e-4L, COVBP(2, 2) = 9e-4L;
    const extended inv[4][4] = {{1, 0, 0.5L, 0}, {0, 2, 0, 0}, {0.5L, 0.5L, 1, 0}, {0, 0, 0, 3}};
    for (long i = 1; i <= 4; ++i)
      for (long j = 1; j <= 4; ++j) INVDEQDX(i, j) = inv[i - 1][j - 1];
    JROW = JCOL = 5;
    const char* comps[] = {"MgO", "FeO", "SiO2"};
    const extended bulk[] = {0.5L, 0.3L, 0};
    for (long c = 1; c <= 3; ++c) COMPNAME[c] = comps[c - 1], BCOMPS[c] = true, COMPK[c] = bulk[c - 1];
    SDBP[1] = 0.02L;
    SDBP[2] = 0.03L;
    SU.nph = 3;
    ph.fill(false);
    for (long c = 1; c <= 3; ++c) {
      SU.ph[c].hasmode = true;
      SU.ph[c].nem = 1;
      (*PREC0)[c].name = names[3 + c];
      ph[c] = true;
    }
    SU.pressure = 6;
    SU.temperature = 700 + K;
  }
  std::string propagate(smallint level) {
    CONTROLJX.uncertaintylevel = level;
    testsupport::Terminal term;
    ZQNLE4::CALCSD(ph);
    return term.text();
  }

  assemblage::tables t;
  bemvector ph{"by hand ph"};
};

TEST_F(CalcSDByHand, ModePositionsAndTheBulkSource) {
  EXPECT_EQ(propagate(1), "") << "P and T held";
  const struct {
    long position;
    extended sd, sdh, sdb;
  } rows[] = {{3, 0.223830292855993914L, 0.223606797749978970L, 0.01L},
              {4, 0.721110255092797859L, 0.721110255092797859L, UNCERTAINTY::NOSD},
              {5, 0.159373774505092274L, 0.158113883008418967L, 0.02L},
              {6, 0.09L, UNCERTAINTY::NOSD, 0.09L}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.position);
    EXPECT_NEAR(static_cast<double>(SDX[r.position]), static_cast<double>(r.sd), 1e-15);
    EXPECT_NEAR(static_cast<double>(SDXH[r.position]), static_cast<double>(r.sdh), 1e-15);
    EXPECT_NEAR(static_cast<double>(SDXBP[r.position]), static_cast<double>(r.sdb), 1e-15);
    EXPECT_EQ(SDXW[r.position], UNCERTAINTY::NOSD) << "no solution phase: no W";
  }
  EXPECT_NEAR(static_cast<double>(COVX(3, 4)), -0.08, 1e-15);
  EXPECT_NEAR(static_cast<double>(COVX(4, 5)), 0.09, 1e-15);
  EXPECT_NEAR(static_cast<double>(COVX(5, 6)), 0.0003, 1e-15);
  EXPECT_EQ(COVX(7, 7), 0) << "only n = 6 positions";
  // Mode 1 at position 5, the denominator none (0), mode 3 at position 6.
  EXPECT_EQ(SU.ph[1].modesd, SDX[5]);
  EXPECT_EQ(SU.ph[2].modesd, 0);
  EXPECT_EQ(SU.ph[3].modesd, SDX[6]);
  const long map[][3] = {{4, 6, 4}, {5, 6, 5}, {6, 6, 7}, {3, 4, 3}};
  for (const auto& m : map) EXPECT_EQ(ZQNLE4::UNKNOWNOF(m[0], m[1]), m[2]) << m[0];
}

// The block's bulk rows, the point with its mode log ratios, and the
// fatal stop on a zero denominator mode, with and without "c8".
TEST_F(CalcSDByHand, CsvBlockWithModes) {
  struct Case {
    const char* what;
    controlboolean c8;
    extended p, q;  // modes 1 and 2 (the denominator)
    const char* ratio3;
    const char* values;  // the value row's mode fields
    const char* fatal;
  } cases[] = {
      {"plain", no, 0.2L, 0.5L, "     0.810, ", "  -0.91629,   -0.51083, ", ""},
      {"c8", yes, 0.2L, 0.5L, "       -10, ", "  -0.91629,   -0.51083, ", ""},
      {"zero mode", no, 0, 0.5L, "     0.810, ", "         0,   -0.51083, ", ""},
      {"zero denominator, c8", yes, 0.2L, 0, "       -10, ", "         0,          0, ", ""},
      {"zero denominator", no, 0.2L, 0, "     0.810, ", "", "printsdinfo: log of zero or negative mode"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::ScratchDir dir;
    testsupport::openchannel(CHANNEL::CSV2BIT, "a-2.csv");
    IO::CSV2FILEUSED = false;
    CONTROLJX.c8 = c.c8;
    X[5] = c.p;
    X[6] = c.q;
    EXPECT_EQ(testsupport::fatal([&] { propagate(2); }), c.fatal);
    EXPECT_TRUE(IO::CSV2FILEUSED);
    IO::FLUSHER();
    const std::vector<std::string> ls = testsupport::lines(dir.read("a-2.csv"));
    ASSERT_GE(ls.size(), 8u);
    EXPECT_EQ(ls[0], "       MgO,        FeO,       SiO2, ");
    EXPECT_EQ(ls[1], "    50.000,     30.000,          0, ");
    EXPECT_EQ(ls[2], "         0,    -0.5108, " + std::string(c.ratio3));
    EXPECT_EQ(ls[3], "         0,     0.0200,     0.0300, ");
    EXPECT_EQ(ls[5], "x,   4,  3,   2,            6.0000,    700.000, " + std::string(12, ' ') +
                         "         p,          q,          r, ");
    EXPECT_EQ(ls[7], "   P(kbar),    T(degC),       x(a),       x(b),          p,          r, ");
    if (*c.fatal != 0) {
      EXPECT_EQ(ls.size(), 8u) << "nothing after the heading";
      IO::WHATSOPEN = 1;
      continue;
    }
    EXPECT_EQ(ls[8], "    6.0000,    700.000,    0.30000,    0.40000, " + std::string(c.values));
    EXPECT_EQ(ls[10], "         0,          0,    0.22361,    0.72111,    0.15811,          0, ");
    EXPECT_EQ(ls[12], "         0,          0,   0.010000,        -10,   0.020000,   0.090000, ");
    EXPECT_EQ(ls[15], " 1.000e-10,          0,          0,          0,          0,          0, ");
    IO::WHATSOPEN = 1;
  }
}

// A fixed component before the denominator: KBPDEN counts every
// component, the bulk only the free ones, so the same rows come out as
// with all components free.
TEST_F(CalcSDByHand, DenominatorAfterAFixedComponent) {
  const char* comps[] = {"H2O", "MgO", "FeO", "SiO2"};
  NUV = 4;
  for (long c = 1; c <= 4; ++c) COMPNAME[c] = comps[c - 1], BCOMPS[c] = c > 1;
  KBPDEN = 2;
  testsupport::ScratchDir dir;
  testsupport::openchannel(CHANNEL::CSV2BIT, "a-2.csv");
  X[5] = 0.2L;
  X[6] = 0.5L;
  EXPECT_EQ(testsupport::fatal([&] { propagate(2); }), "");
  IO::FLUSHER();
  const std::vector<std::string> ls = testsupport::lines(dir.read("a-2.csv"));
  ASSERT_GE(ls.size(), 4u);
  EXPECT_EQ(ls[0], "       MgO,        FeO,       SiO2, ");
  EXPECT_EQ(ls[2], "         0,    -0.5108,      0.810, ");
  EXPECT_EQ(ls[3], "         0,     0.0200,     0.0300, ");
  IO::WHATSOPEN = 1;
}

// The mended faults: no position keeps an earlier point's values, a point
// without a denominator mode gets no uncertainties, and a marker is never
// divided by; the mismatched Jacobian stops the run.
TEST_F(CalcSDByHand, MendedFaults) {
  propagate(1);
  ASSERT_GT(SDXBP[3], 0);
  // The same point without the modes: the bulk source is cleared.
  MODESBYNLE = false;
  NXP = 0;
  JROW = JCOL = 2;
  propagate(1);
  for (long i = 1; i <= maxeq; ++i) EXPECT_EQ(SDXBP[i], 0) << i;
  EXPECT_GT(SDX[3], 0);

  // With the modes and no denominator: everything cleared, no csv block.
  MODESBYNLE = true;
  NXP = 3;
  JROW = JCOL = 5;
  propagate(1);
  KMPDEN = 0;
  {
    testsupport::ScratchDir dir;
    testsupport::openchannel(CHANNEL::CSV2BIT, "a-2.csv");
    IO::CSV2FILEUSED = false;
    propagate(3);
    EXPECT_FALSE(IO::CSV2FILEUSED);
    IO::WHATSOPEN = 1;
  }
  for (long i = 1; i <= maxeq; ++i) {
    EXPECT_EQ(SDX[i], 0);
    EXPECT_EQ(SDXH[i], 0);
    EXPECT_EQ(SDXBP[i], 0);
    EXPECT_EQ(COVX(i, 3), 0);
  }
  for (long c = 1; c <= 3; ++c) EXPECT_EQ(SU.ph[c].modesd, 0);

  // P and T free, the variance of P below the floor but its covariance
  // with T not 0: the correlation is 0, not a quotient of the marker.
  MODESBYNLE = false;
  NXP = 0;
  NX = 2;
  BX[1] = BX[2] = true;
  NCV = 1;
  (*R)(1, 1) = 1;
  (*R)(2, 1) = 0;
  (*COV)(1, 1) = 1;
  INVDEQDX.fill(0);
  INVDEQDX(1, 1) = 3e-8L;
  INVDEQDX(2, 1) = 1;
  JROW = JCOL = 2;
  EXPECT_EQ(propagate(1), "         0\n");
  EXPECT_EQ(SDX[1], UNCERTAINTY::NOSD);
  EXPECT_NEAR(static_cast<double>(COVX(1, 2)), 3e-8, 1e-20);
  EXPECT_EQ(CORPT, 0);

  JCOL = 3;
  testsupport::Terminal term;
  EXPECT_EQ(testsupport::fatal([&] { ZQNLE4::CALCSD(ph); }), "calcsd: jrow <> jcol");
  // An enthalpy variance below 0 beyond any rounding gives no uncertainty.
  JCOL = 2;
  (*COV)(1, 1) = -1;
  EXPECT_EQ(testsupport::fatal([&] { ZQNLE4::CALCSD(ph); }), "calcsd: variance below 0 - covariances of " + NAME[1]);
}

// The report of the settings: three lines, five with the modes.
TEST_F(CalcSDByHand, SettingsReport) {
  const std::string three =
      "\n" + testsupport::SETTINGSOF + "uncertainties in error propagation\n"
      "h: on thermo data, the dataset uncertainties (on enthalpy)\n"
      "w: on non-ideality, sd(W) = 10.0 % relative; min sd(W) = 1.0 kJ\n";
  for (bool modes : {false, true}) {
    MODESBYNLE = modes;
    testsupport::Terminal term;
    ZQNLE4::PRINTUNCINFO();
    EXPECT_EQ(term.text(), modes ? three +
                                       "b: on bulk, in sd(b), alpha = 0.0250, for O, mult = 3.0\n"
                                       "(bulk and modes are compvars: prime is logratio; // is denominator: see notes)\n"
                                 : three);
  }
}

// The modes table shows the log-ratio lines only when there is a
// denominator mode.
TEST_F(CalcSDByHand, ModeLinesNeedADenominator) {
  SU.nmodeset = 1;
  SU.ncomp = 1;
  for (long c = 1; c <= 3; ++c) SU.ph[c].mode[1] = X[4 + c], SU.ph[c].name = (*PREC0)[c].name;
  propagate(1);
  for (smallint k : {2, 0}) {
    KMPDEN = k;
    ZQNLE2::solvestate s;
    testsupport::Terminal term;
    s.PRINTMODES();
    const std::string out = term.text();
    EXPECT_EQ(out.find("m'") != std::string::npos, k != 0) << out;
    EXPECT_EQ(out.find("\nsd ") != std::string::npos, k != 0) << out;
  }
}

// Right after the script is read a test may switch the propagation on:
// the whole pass then reports the settings on the terminal and in the
// summary; without the hook nothing a user can do shows them.
TEST(UncertaintyHook, SwitchesThePropagationOnAfterTheScript) {
  for (bool hooked : {false, true}) {
    SCOPED_TRACE(hooked);
    testsupport::ScratchDir dir;
    for (const auto& e : std::filesystem::directory_iterator(std::string(SOLVARINTH_FIXTURES) + "/alloop"))
      std::filesystem::copy_file(e.path(), dir.path() / e.path().filename());
    fuzzdrive::resetstate();
    void (*on)() = [] {
      CONTROLJX.uncertainties = yes;
      CONTROLJX.uncertaintylevel = 2;
    };
    ZQNLE2::AFTERSCRIPT = hooked ? on : nullptr;
    testsupport::Terminal term;
    fuzzdrive::answers a("6\n700\nn\n\n");
    const fuzzdrive::outcome o = fuzzdrive::guarded([] { MAINPROGRAM::RUN(); });
    ZQNLE2::AFTERSCRIPT = nullptr;
    EXPECT_FALSE(o.ended) << o.where << ": " << o.message;
    const std::string report =
        "\n" + testsupport::SETTINGSOF + "uncertainties in error propagation\n"
        "h: on thermo data, the dataset uncertainties (on enthalpy)\n"
        "w: on non-ideality, sd(W) = 10.0 % relative; min sd(W) = 1.0 kJ\n";
    EXPECT_EQ(term.text().find(report) != std::string::npos, hooked) << term.text();
    EXPECT_EQ(dir.read("jx-al-o.txt").find(report) != std::string::npos, hooked);
    EXPECT_EQ(term.text().find("calculate uncertainties"), std::string::npos) << "switched on, not asked";
  }
}

// The loop of two ideal phases read from its a-x file, where the reader
// gives each phase the slot of its one pair with W = 0: an ideal model has
// no W to be uncertain about, so the w row of the second csv file is 0 at
// every position and the total is the data-set part alone.
TEST(UncertaintyHook, IdealPhasesAsReadHaveNoWSource) {
  testsupport::ScratchDir dir;
  for (const auto& e : std::filesystem::directory_iterator(std::string(SOLVARINTH_FIXTURES) + "/alloop"))
    std::filesystem::copy_file(e.path(), dir.path() / e.path().filename());
  fuzzdrive::resetstate();
  ZQNLE2::AFTERSCRIPT = [] {
    CONTROLJX.uncertainties = yes;
    CONTROLJX.uncertaintylevel = 2;
  };
  testsupport::Terminal term;
  fuzzdrive::answers a("6\n500\nn\n\n");
  const fuzzdrive::outcome o = fuzzdrive::guarded([] { MAINPROGRAM::RUN(); });
  ZQNLE2::AFTERSCRIPT = nullptr;
  ASSERT_FALSE(o.ended) << o.where << ": " << o.message;
  // The block's rows after the unknowns: h, w, b and the total.
  const std::vector<std::string> ls = testsupport::lines(dir.read("jx-al-2.csv"));
  std::size_t at = 0;
  while (at < ls.size() && ls[at].rfind("   P(kbar),", 0) != 0) ++at;
  ASSERT_LT(at + 6, ls.size()) << dir.read("jx-al-2.csv");
  const std::string zero = "         0, ";
  EXPECT_EQ(ls[at + 4], zero + zero + zero + zero) << "w";
  EXPECT_EQ(ls[at + 6], ls[at + 3]) << "the total is h alone";
  EXPECT_NE(ls[at + 3], ls[at + 4]);
}

}  // namespace

// With the avPT+ switch on, each propagated point lands in the avPT+ store:
// the rock's variables in its minerals' order, their sds and correlation.
TEST_F(CalcSDByHand, AvptPlusSwitchStoresEachPoint) {
  CONTROLJX.avptplus = yes;
  NMIN = 1;
  MINERAL[1].nxyz = 2;
  MINERAL[1].xyzname[1] = "x(b)";
  MINERAL[1].xyzname[2] = "x(a)";
  EXPECT_EQ(propagate(1), "progress - equilibria calcs: ");
  ASSERT_EQ(NJX, 1);
  const jxcalctype& r = (*JXCALC)[1];
  EXPECT_EQ(r.p, 6);
  EXPECT_NEAR(r.t, 700, 1e-12L);
  EXPECT_EQ(r.xfluid, 0);
  EXPECT_TRUE(r.xyz[1] == 0.4L && r.xyz[2] == 0.3L);
  EXPECT_TRUE(r.sdxyz[1] == SDX[4] && r.sdxyz[2] == SDX[3] && SDX[3] > 0 && SDX[4] > 0);
  EXPECT_EQ(NCOR, 1);
  EXPECT_EQ(r.cor[1], COVX(3, 4) / (SDX[3] * SDX[4]));
  EXPECT_EQ(propagate(1), "");
  EXPECT_EQ(NJX, 2);
}

// A row of the block longer than a line (here the heading, by its long
// variable names) is written whole on its one line, the fields after the
// long ones included.
TEST_F(CalcSDByHand, CsvRowLongerThanALineIsWhole) {
  const std::string a = "x(" + std::string(120, 'a') + ")", b = "x(" + std::string(120, 'b') + ")";
  XNAME[3] = a;
  XNAME[4] = b;
  testsupport::ScratchDir dir;
  testsupport::openchannel(CHANNEL::CSV2BIT, "a-2.csv");
  X[5] = 0.2L;
  X[6] = 0.5L;
  EXPECT_EQ(testsupport::fatal([&] { propagate(2); }), "");
  IO::FLUSHER();
  const std::string csv = dir.read("a-2.csv");
  EXPECT_EQ(csv.find('\xA4'), std::string::npos) << csv;
  const std::vector<std::string> ls = testsupport::lines(csv);
  ASSERT_GE(ls.size(), 9u);
  EXPECT_EQ(ls[7], "   P(kbar),    T(degC), " + a + ", " + b + ",          p,          r, ");
  EXPECT_EQ(ls[8], "    6.0000,    700.000,    0.30000,    0.40000,   -0.91629,   -0.51083, ");
  IO::WHATSOPEN = 1;
}
