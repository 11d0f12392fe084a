// The combined average P-T of a hand-made rock: ex, wy and three compounds
// whose reactions are straight lines in P-T (G = H - T S + (P - 0.001) V).
// Reference values were computed apart with 40-digit arithmetic.
#include <cmath>
#include <functional>
#include <tuple>
#include <sstream>
#include <string>
#include <vector>

#include "frame/zqmath1.h"
#include "reactions/zqavpt.h"
#include "zqfind_testsupport.h"
#include "settingsheads.h"

namespace {

using namespace ZQGLOBAL;
using findtest::row;

constexpr extended K = CONST::KELVIN;

// ex + wy = exy, ex + 2 wy = exyy, 2 ex + wy = exxy: three lines through
// 8.001 kbar and 600 C, with uncorrelated sd(H) 0.4, 0.6 and 0.3.
const std::vector<row> ROCK = {{"ex", 0, 0.030L, 1.0L},
                               {"wy", 0, 0.030L, 1.0L},
                               {"exy", 2.4778L, 0.072L, 3.0L},
                               {"exyy", 14.1945L, 0.120L, 4.5L},
                               {"exxy", -4.5074L, 0.094L, 4.0L}};
const std::vector<extended> SDH = {0, 0, 0.4L, 0.6L, 0.3L};
const std::vector<std::vector<smallint>> REACTIONS = {{-1, -1, 1, 0, 0}, {-1, -2, 0, 1, 0}, {-2, -1, 0, 0, 1}};

struct fitresult {
  extended P = 0, T = 0, sdP = 7, sdT = 7, cor = 7, fit = 7;  // 7: untouched
  std::string out;
};

// The numbers of the printed line that starts with `first`.
std::vector<long double> numbers(const std::string& text, const std::string& first) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::istringstream w(line);
    std::string word;
    if (!(w >> word) || word != first) continue;
    std::vector<long double> v;
    while (w >> word) v.push_back(std::stold(word));
    return v;
  }
  return {};
}

class AvptTest : public findtest::FindTest {
 protected:
  void SetUp() override {
    FindTest::SetUp();
    saved_ = CONTROLJX;
    CALCMODE = calcmodetype::rockcalc;
    rows(ROCK);
    for (long j = 1; j <= NCV; ++j) (*COV)(j, j) = SDH[static_cast<std::size_t>(j - 1)] * SDH[static_cast<std::size_t>(j - 1)];
    setreactions(REACTIONS);
    window(1, 15, 400 + K, 800 + K);
    FIXEDP = 8, FIXEDT = 600 + K;
    FIXEDXCO2 = FIXEDXH2O = 0;
  }
  void TearDown() override {
    if (passdone_) passdone_();
    CONTROLJX = saved_;
    VARLNA.fill(0);
    COV->fill(0);
    FindTest::TearDown();
  }
  static void setreactions(const std::vector<std::vector<smallint>>& rs) {
    NR = static_cast<smallint>(rs.size());
    for (long k = 1; k <= NR; ++k)
      for (long j = 1; j <= NCV; ++j) (*R)(k, j) = rs[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(j - 1)];
  }
  static fitresult avpt() {
    testsupport::Terminal term;
    fitresult r;
    ZQAVPT::AVPT(r.P, r.T, r.sdP, r.sdT, r.cor, r.fit, FIXEDXCO2, FIXEDXH2O);
    r.out = term.text();
    return r;
  }
  // A driver pass of calc type 1 with the script's set of reactions, the
  // diagram's windows the data's and nothing else in the run; what the
  // pass sets is put back after the test.
  void scriptpass() {
    passdone_ = [saved = std::make_tuple(FIX, NLP, NLT, NLX, FIGPLOW, FIGPHIGH, FIGTLOW, FIGTHIGH, NUV, NPSS, FLUIDTYPE,
                                         NEX1)] {
      std::tie(FIX, NLP, NLT, NLX, FIGPLOW, FIGPHIGH, FIGTLOW, FIGTHIGH, NUV, NPSS, FLUIDTYPE, NEX1) = saved;
    };
    CONTROLJX.calctypecode = 1;
    CONTROLJX.dataok = yes;
    CONTROLJX.diagramPT = CONTROLJX.calcP = CONTROLJX.calcT = yes;
    CONTROLJX.isr = yes;
    CONTROLJX.isrdata.nname = NCV;
    for (long j = 1; j <= NCV; ++j) CONTROLJX.isrdata.name[j] = NAME[j];
    FIGPLOW = PLOW, FIGPHIGH = PHIGH, FIGTLOW = TLOW, FIGTHIGH = THIGH;
    NUV = 0, NPSS = 0, NEX1 = 0;
  }
  // The script's set: the first nr reactions; the windows the pass makes
  // its own, unset.
  static void scriptset(smallint nr) {
    CONTROLJX.isrdata.nrow = nr;
    for (long i = 1; i <= nr; ++i)
      for (long j = 1; j <= NCV; ++j) CONTROLJX.isrdata.row(i, j) = REACTIONS[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
    FIX = fixtype::fixnone;
    NLP = NLT = NLX = 4;
  }

 private:
  controljxtype saved_;
  std::function<void()> passdone_;
};

TEST_F(AvptTest, FitOfThreeLines) {
  struct {
    extended dH;  // added to H of exxy
    extended P, T, fit, sdP, sdT;
  } const cases[] = {
      {0, 8.001L, 600 + K, 0, 0.38041964L, 30.903983L},
      {2, 5.663921348L, 465.1685393L + K, 2.1199958L, 0.80648802L, 65.516313L},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dH);
    (*TD)(5, TDSLOT::H) = ROCK[4].H + c.dH;
    const fitresult r = avpt();
    EXPECT_NEAR(r.P, c.P, 1e-8L);
    EXPECT_NEAR(r.T, c.T, 1e-6L);
    EXPECT_NEAR(r.fit, c.fit, 5e-6L);
    EXPECT_NEAR(r.sdP, c.sdP, 1e-7L);
    EXPECT_NEAR(r.sdT, c.sdT, 1e-5L);
    // The generalised-least-squares covariance of the point: the inverse of
    // ((w0, w1), (w1, w2)), the same for both rocks.
    EXPECT_NEAR(r.cor, 0.84103734L, 1e-7L);
    // Unit activities carry no ln a uncertainty: doubling it changes
    // nothing, and its residual and leverage are 0.
    const std::vector<long double> lsq = numbers(r.out, "lsq");
    ASSERT_EQ(lsq.size(), 6u) << r.out;
    for (const char* name : {"ex", "wy", "exy", "exyy", "exxy"}) {
      const std::vector<long double> v = numbers(r.out, name);
      ASSERT_EQ(v.size(), 8u) << name << "\n" << r.out;
      EXPECT_NEAR(v[0], r.P, 0.006L) << name;
      EXPECT_NEAR(v[1], r.sdP, 0.006L) << name;
      EXPECT_EQ(v[2], lsq[2]) << name;
      EXPECT_EQ(v[3], lsq[3]) << name;
      EXPECT_NEAR(v[4], r.cor, 0.0006L) << name;
      EXPECT_NEAR(v[5], r.fit, 0.006L) << name;
      EXPECT_EQ(v[6], 0) << name;
      EXPECT_EQ(v[7], 0) << name;
    }
  }
}

// Average T where one reaction bends: a heat capacity on exxy (b < 0, H
// moved to keep the line through 8.001 kbar and 600 C) gives 2 ex + wy =
// exxy a second temperature, 690.3 C, in the window 400-850 C. The root
// nearer the other reactions' counts, so all three agree on 600 C.
TEST_F(AvptTest, AverageTTakesTheNearerRootOfABentReaction) {
  constexpr extended b = -6.45e-6L, TR = 298.15L;
  testsupport::handrow(5, "exxy", ROCK[4].H + b / 2 * (600 + K - TR) * (600 + K - TR), ROCK[4].S, ROCK[4].V, b);
  window(1, 15, 400 + K, 850 + K);
  AVMODE = avtype::avtmode;
  // The second root, from dmu = (T - 873.15)(-0.004 - b/2 (T - Tr + 575)).
  const extended T2 = TR - 575 - 0.004L / (b / 2);
  extended x1 = 0, x2 = 0, dV1 = 0, dV2 = 0, dT1 = 0, dT2 = 0;
  ZQCALC2::TCALC(3, false, x1, x2, dV1, dV2, 8.001L, 0, 1, dT1, dT2);
  ASSERT_NEAR(x1, T2, 1e-4L);
  ASSERT_NEAR(x2, 600 + K, 1e-4L);
  extended av = 0, sd = 0, fit = 0;
  testsupport::Terminal term;
  ZQAVPT::AVV(av, sd, fit, 8.001L, 0, 1, true);
  // The farther root would pull the average 0.025 K up and the fit to 0.06.
  EXPECT_NEAR(av, 600 + K, 1e-4L);
  EXPECT_NEAR(fit, 0, 1e-4L);
}

// Doubling the ln a uncertainty of one end-member moves the point as a refit
// with that uncertainty does, to first order (the weights follow T, so not
// exactly).
TEST_F(AvptTest, DoublingAnUncertaintyActsLikeARefit) {
  (*TD)(5, TDSLOT::H) = ROCK[4].H + 2;
  ACTIVITY[3] = 0.8L, SDACTIVITY[3] = 0.08L;
  ACTIVITY[5] = 0.7L, SDACTIVITY[5] = 0.1L;
  const fitresult base = avpt();
  for (long j : {3, 5}) {
    SCOPED_TRACE(NAME[j]);
    const std::vector<long double> row = numbers(base.out, NAME[j]);
    ASSERT_EQ(row.size(), 8u) << base.out;
    SDACTIVITY[j] *= 2;
    const fitresult refit = avpt();
    SDACTIVITY[j] /= 2;
    const extended dP = row[0] - base.P, dPrefit = refit.P - base.P;
    const extended dT = row[2] - (base.T - K), dTrefit = refit.T - base.T;
    EXPECT_GT(dP / dPrefit, 0.8L);
    EXPECT_LT(dP / dPrefit, 1.25L);
    EXPECT_GT(dT / dTrefit, 0.8L);
    EXPECT_LT(dT / dTrefit, 1.25L);
    EXPECT_NEAR(row[5], refit.fit, 0.011L);
    // An end-member in one reaction of three is influential, with a
    // residual of either sign.
    EXPECT_GT(row[7], 0.2L);
    EXPECT_NE(row[6], 0);
  }
  // The doubling rows of end-members without an ln a uncertainty keep the
  // lsq point.
  const std::vector<long double> ex = numbers(base.out, "ex");
  EXPECT_NEAR(ex[0], base.P, 0.006L);
}

// The lines are made at the start point and once more at the first step's
// point, and kept from then on; no convergence is taken before the third
// step, even when the start is the answer.
TEST_F(AvptTest, LinesRefreshedTwice) {
  const long perlinearisation = 3 * (3 + 3 + 3);  // G at P, P + dP, T + dT of each end-member of each reaction
  for (extended dH : {0.0L, 2.0L}) {
    SCOPED_TRACE(dH);
    (*TD)(5, TDSLOT::H) = ROCK[4].H + dH;
    EXPECT_EQ(gems([] { avpt(); }), 2 * perlinearisation);
  }
}

// No point: the reactions' lines cannot be formed or cross nowhere, or too
// few remain for a fit. The caller's sds are left, nothing is printed.
TEST_F(AvptTest, NoPointWithoutLinesThatCross) {
  struct {
    const char* what;
    std::vector<std::vector<smallint>> reactions;
    std::vector<row> rock;
  } const cases[] = {
      {"window", REACTIONS, ROCK},
      {"two reactions", {REACTIONS[0], REACTIONS[1]}, ROCK},
      {"no volume change", REACTIONS, {ROCK[0], ROCK[1], {"exy", 2.4778L, 0.072L, 2.0L}, ROCK[3], ROCK[4]}},
      {"parallel lines",
       REACTIONS,
       {ROCK[0], ROCK[1], {"exy", 2.4778L, 0.072L, 3.0L}, {"exyy", 14.1945L, 0.108L, 4.5L}, {"exxy", -4.5074L, 0.102L, 4.0L}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    rows(c.rock);
    setreactions(c.reactions);
    if (std::string(c.what) == "window") window(1, 5, 400 + K, 800 + K), FIXEDP = 3;
    const fitresult r = avpt();
    EXPECT_EQ(r.P, 0);
    EXPECT_EQ(r.T, 0);
    EXPECT_EQ(std::make_tuple(r.sdP, r.sdT, r.cor, r.fit), std::make_tuple(7.0L, 7.0L, 7.0L, 7.0L));
    EXPECT_EQ(r.out, "");
    window(1, 15, 400 + K, 800 + K), FIXEDP = 8;
  }
}

TEST_F(AvptTest, ReportLines) {
  const std::string deg = "\xA1";
  struct {
    const char* name;
    extended dH, phigh;
    std::string head, tail;  // the report around the diagnostics block
  } const cases[] = {
      {"", 2, 15, "\nAverage PT \n", "\n\nT = 465" + deg + "C, sd = 66, \nP = 5.7 kbars, sd = 0.8, cor = 0.841, sigfit = 2.12\n"},
      {"rk", 0, 15, "\nAverage PT for rk\n", "\n\nT = 600" + deg + "C, sd = 31, \nP = 8.0 kbars, sd = 0.4, cor = 0.841, sigfit = 0\n"},
      {"", 0, 7.5L, "\nAverage PT \n\n\nAverage PT outside window - use average P and/or T\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.head);
    CONTROLJX.runnametext = c.name;
    (*TD)(5, TDSLOT::H) = ROCK[4].H + c.dH;
    window(1, c.phigh, 400 + K, 800 + K);
    testsupport::Terminal term;
    ZQAVPT::AVERAGEPT();
    const std::string out = term.text();
    const auto block = out.find("\nSingle end-member");
    if (c.tail.empty()) {
      EXPECT_EQ(out, c.head);
      continue;
    }
    ASSERT_NE(block, std::string::npos) << out;
    EXPECT_EQ(out.substr(0, block), c.head);
    EXPECT_EQ(out.substr(out.rfind("\n\n\n") + 1), c.tail);
  }
}

// A driver pass with a set calc type: the combined average gets its own
// windows and needs three reactions; the later kinds do nothing.
TEST_F(AvptTest, DriverPassOfEachKind) {
  scriptpass();
  struct {
    avtype mode;
    smallint nr;
    std::vector<std::string> present, absent;
  } const cases[] = {
      {avtype::avptmode,
       3,
       {"P window within which average PT expected to lie: 1", "T window within which average PT expected to lie: 400",
        "\nAverage PT \n",
        "Single end-member diagnostic information", "T = 600\xA1" "C, sd = 31, \n"},
       {"insufficient"}},
      {avtype::avptmode, 2, {"** insufficient reactions for average PT calculations\n"}, {"Average"}},
      {avtype::avptmode, 1, {"** insufficient reactions for average P/T calculations\n"}, {"Average"}},
      {avtype::avpxmode, 3, {"Independent set of reactions"}, {testsupport::SETTINGSOF + "PT calcs", "Average", "insufficient"}},
      {avtype::avptlnamode, 2, {"** insufficient reactions for average PT calculations\n"}, {"Average"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode) * 10 + c.nr);
    scriptset(c.nr);
    testsupport::Terminal term;
    ZQAVPT::ROCKCALCSAS(c.mode);
    const std::string out = term.text();
    for (const std::string& t : c.present) EXPECT_NE(out.find(t), std::string::npos) << t << "\n" << out;
    for (const std::string& t : c.absent) EXPECT_EQ(out.find(t), std::string::npos) << t << "\n" << out;
    EXPECT_EQ(AVMODE, c.mode);
    const bool pt = c.mode == avtype::avptmode;
    EXPECT_EQ(FIX, pt ? fixtype::fixpt : fixtype::fixnone);
    EXPECT_EQ(NLP + NLT + NLX, pt ? 0 : 12);
  }
}

// A reaction of the script's set through an end-member without activity
// stops the pass; the same end-member outside every reaction does not.
TEST_F(AvptTest, ScriptReactionThroughAnEndMemberWithoutActivity) {
  scriptpass();
  for (long j = 1; j <= NCV; ++j) ACTIVITY[j] = 1;
  ACTIVITY[4] = 0;  // exyy, in the second reaction only
  for (const smallint nr : {1, 2}) {
    SCOPED_TRACE(nr);
    scriptset(nr);
    testsupport::Terminal term;
    const std::string stop = testsupport::fatal([] { ZQAVPT::ROCKCALCSAS(avtype::avptmode); });
    EXPECT_EQ(stop, nr == 2 ? "calclnk: ln<=0" : "") << term.text();
    // The stop comes as the set is read, before anything uses its ln K.
    EXPECT_EQ(term.text().find("using independent set of reactions (from script)") != std::string::npos, nr == 1);
    if (nr == 1) {
      EXPECT_EQ(ALNK[1], 0);
    }
  }
  ACTIVITY.fill(0);
}

// The pieces the diagnostics of average P, T and PT share, against what
// they must obey: the rows of the enthalpy observations have the reactions'
// enthalpy covariance as their cross products, and the pseudo-inverse
// inverts on the range with leverages that add up to the rank.
TEST_F(AvptTest, SharedDiagnosticsPieces) {
  EXPECT_EQ(ZQAVPT::ROOTOF(4), 2);
  EXPECT_EQ(ZQAVPT::ROOTOF(-1e-30L), 0);

  iemvector used{"used"};
  EXPECT_EQ(ZQAVPT::USEDENDMEMBERS(used), 5);
  setreactions({{-1, 0, 1, 0, 0}, {0, 0, -1, 0, 1}});
  ASSERT_EQ(ZQAVPT::USEDENDMEMBERS(used), 3);
  EXPECT_EQ(std::vector<smallint>({used[1], used[2], used[3]}), std::vector<smallint>({1, 3, 5}));

  // Correlated enthalpies, a basis with a shared end-member and a singular
  // block (ex and wy carry no uncertainty).
  setreactions(REACTIONS);
  (*COV)(3, 4) = (*COV)(4, 3) = 0.05L;
  (*COV)(3, 5) = (*COV)(5, 3) = -0.03L;
  const long m = ZQAVPT::USEDENDMEMBERS(used);
  ZQAVPT::avrvector d{"d"};
  d[1] = 1.5L, d[2] = -2, d[3] = 0.25L;
  ZQAVPT::ENTHALPYOBSERVATIONS(used, static_cast<smallint>(m), d);
  for (long k = 1; k <= NR; ++k)
    for (long l = 1; l <= NR; ++l) {
      extended rows = 0, want = 0;
      for (long c = 1; c <= m; ++c) rows += USVD(c, k) * USVD(c, l);
      for (long a = 1; a <= NCV; ++a)
        for (long b = 1; b <= NCV; ++b) want += (*R)(k, a) * (*COV)(a, b) * (*R)(l, b);
      EXPECT_NEAR(rows, d[k] * d[l] * want, 1e-15L) << k << " " << l;
    }

  struct {
    std::vector<std::vector<extended>> a;  // rows of the observation matrix
    extended rank;
  } const cases[] = {
      {{{1, 2}, {0, 1}, {3, -1}, {2, 2}}, 2},
      {{{1, 2}, {2, 4}, {-1, -2}}, 1},  // the second column is twice the first
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rank);
    const auto n = static_cast<smallint>(c.a.size());
    for (long i = 1; i <= n; ++i)
      for (long k = 1; k <= 2; ++k) USVD(i, k) = c.a[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(k - 1)];
    ZQMATH1::CALCSVD(n, 2);
    std::vector<extended> pinv, h;
    ZQAVPT::PSEUDOINVERSE(n, 2, pinv, h);
    auto pi = [&](long k, long i) { return pinv[static_cast<std::size_t>((k - 1) * n + (i - 1))]; };
    auto a = [&](long i, long k) { return c.a[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(k - 1)]; };
    extended trace = 0;
    for (long i = 1; i <= n; ++i) trace += h[static_cast<std::size_t>(i)];
    EXPECT_NEAR(trace, c.rank, 1e-15L);
    // A pinv A = A, whatever the rank.
    for (long i = 1; i <= n; ++i)
      for (long k = 1; k <= 2; ++k) {
        extended back = 0;
        for (long l = 1; l <= 2; ++l)
          for (long j = 1; j <= n; ++j) back += a(i, l) * pi(l, j) * a(j, k);
        EXPECT_NEAR(back, a(i, k), 1e-15L) << i << " " << k;
      }
  }
}

}  // namespace
