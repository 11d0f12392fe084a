// The statistics of calc mode 2 on a made-up rock of five end-members
// (G = H - T S + (P - 0.001) V; a(exxy) = 0.8, sd 0.08) over three
// reactions: the covariances, the positive-definite inverse, the weighted
// average with its diagnostics and the summaries. Reference numbers come
// from 40-digit arithmetic on the closed form of the positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_model.h"
#include "frame/zqglobal_refinder.h"
#include "frame/zqute1.h"
#include "handrows.h"
#include "iotestsupport.h"
#include "reactions/zqavpt.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

struct row {
  const char* name;
  extended H, S, V;
  smallint si, mg;
};
const std::vector<row> ROCK = {{"ex", 0, 0.030L, 1.0L, 1, 0},
                               {"wy", 0, 0.030L, 1.0L, 0, 1},
                               {"exy", 3.4778L, 0.072L, 3.0L, 1, 1},
                               {"exyy", 3.9556L, 0.114L, 5.0L, 1, 2},
                               {"exxy", 2.3588L, 0.096L, 3.5L, 2, 1}};
using reactions = std::vector<std::vector<smallint>>;
const reactions BASIS = {{-1, -1, 1, 0, 0}, {-1, -2, 0, 1, 0}, {-2, -1, 0, 0, 1}};

// GLS average, sd and sigfit at 600 C, and the three positions.
constexpr extended AV600 = 8.182403867407891485723674719L;
constexpr extended SD600 = 0.840716794010235827697077995L;
constexpr extended SF600 = 2.965502663034518479128447133L;
constexpr extended X3 = 9.001118672782741385655376673L;

class Avpt : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetio();
    ZQUTE1::SETUP();
    RESETMODEL();
    RESETSOLVER();
    RESETREACTIONS();
    RESETREFINDER();
    TD->fill(0);
    R->fill(0);
    COV->fill(0);
    C->fill(0);
    CALCMODE = calcmodetype::rockcalc;
    DSMODE = 6;
    WITHOLDSET = false;
    FLUIDTYPE = ftype::absent;
    CO2POS = H2OPOS = AQSIPOS = 0;
    NPSS = 0, NP0 = 5, NEX1 = 0;
    NCV = 5, NUV = 2;
    for (long i = 1; i <= NCV; ++i) {
      const row& r = ROCK[static_cast<std::size_t>(i - 1)];
      testsupport::handrow(i, r.name, r.H, r.S, r.V);
      (*C)(1, i) = r.si;
      (*C)(2, i) = r.mg;
    }
    ACTIVITY[5] = 0.8L, SDACTIVITY[5] = 0.08L;
    (*COV)(3, 3) = 0.16L, (*COV)(4, 4) = 0.36L, (*COV)(5, 5) = 0.09L;
    (*COV)(3, 4) = (*COV)(4, 3) = 0.12L;
    set(BASIS);
    PLOW = 1, PHIGH = 15, TLOW = 673.15L, THIGH = 1073.15L;
    FIXEDP = 8, FIXEDT = 873.15L, FIXEDXCO2 = 0, FIXEDXH2O = 1;
    NLT = 5;
    for (long k = 1; k <= NLT; ++k) LT[k] = 773.15L + 50 * (k - 1);
  }
  void TearDown() override {
    ZQUTE1::CLEANUP();
    RESETMODEL();
    RESETSOLVER();
    RESETREACTIONS();
    RESETREFINDER();
    NCV = NR = NUV = DSMODE = NP0 = 0;
    NLT = NLP = 0;
    CONTROLJX.justrelu = no;
    ACTIVITY.fill(0);
    SDACTIVITY.fill(0);
    CALCMODE = mode_;
    std::tie(TLOW, THIGH, PLOW, PHIGH) = windows_;
    std::tie(FIXEDP, FIXEDT, FIXEDXCO2, FIXEDXH2O) = fixed_;
    testsupport::resetio();
  }
  static void set(const reactions& rs) {
    NR = static_cast<smallint>(rs.size());
    R->fill(0);
    for (std::size_t k = 0; k < rs.size(); ++k)
      for (std::size_t j = 0; j < rs[k].size(); ++j) (*R)(static_cast<long>(k + 1), static_cast<long>(j + 1)) = rs[k][j];
    ZQCALC2_CALCLNK();
  }
  static void ZQCALC2_CALCLNK();
  struct fit {
    extended av = -1, sd = -1, sf = -1;
    std::string out;
  };
  static fit avv(extended fixed, bool quiet) {
    fit f;
    testsupport::Terminal term;
    ZQAVPT::AVV(f.av, f.sd, f.sf, fixed, FIXEDXCO2, FIXEDXH2O, quiet);
    f.out = term.text();
    return f;
  }

 private:
  calcmodetype mode_ = CALCMODE;
  std::tuple<extended, extended, extended, extended> windows_{TLOW, THIGH, PLOW, PHIGH};
  std::tuple<extended, extended, extended, extended> fixed_{FIXEDP, FIXEDT, FIXEDXCO2, FIXEDXH2O};
};

}  // namespace

#include "model/zqcalc2.h"

namespace {

void Avpt::ZQCALC2_CALCLNK() { ZQCALC2::CALCLNK(); }

TEST(PosDefInvert, InverseTimesMatrixIsTheIdentity) {
  const std::vector<std::vector<std::vector<extended>>> cases = {
      {{4}},
      {{0.16L, 0.06L}, {0.06L, 0.09L}},
      {{4, 2, 0.6L}, {2, 5, 1}, {0.6L, 1, 3}},
      {{1e-6L, 0, 0, 0}, {0, 2, 0.5L, 0}, {0, 0.5L, 3, 1}, {0, 0, 1, 9}},
  };
  for (const auto& m : cases) {
    const long n = static_cast<long>(m.size());
    invmatrix a{"a"}, ainv{"ainv"};
    a.fill(0);
    for (long i = 1; i <= n; ++i)
      for (long j = 1; j <= n; ++j)
        // Only the lower triangle is read: spoil the upper one.
        a(i, j) = j > i ? 1e9L : m[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
    ZQAVPT::POSDEFINVERT(a, ainv, static_cast<smallint>(n));
    for (long i = 1; i <= n; ++i)
      for (long j = 1; j <= n; ++j) {
        EXPECT_EQ(ainv(i, j), ainv(j, i));
        extended s = 0;
        for (long k = 1; k <= n; ++k) s += m[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(k - 1)] * ainv(k, j);
        EXPECT_NEAR(s, i == j ? 1 : 0, 1e-15L) << "n = " << n << " (" << i << ", " << j << ")";
      }
  }
  invmatrix a{"a"}, ainv{"ainv"};
  a(1, 1) = 4;
  ZQAVPT::POSDEFINVERT(a, ainv, 1);
  EXPECT_EQ(ainv(1, 1), 0.25L);
}

TEST(PosDefInvert, NotPositiveDefiniteStopsTheRun) {
  testsupport::resetio();
  const std::vector<std::vector<std::vector<extended>>> cases = {
      {{0}}, {{-1}}, {{1, 2}, {2, 1}}, {{1, 1}, {1, 1}}};
  for (const auto& m : cases) {
    const long n = static_cast<long>(m.size());
    invmatrix a{"a"}, ainv{"ainv"};
    for (long i = 1; i <= n; ++i)
      for (long j = 1; j <= n; ++j) a(i, j) = m[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
    testsupport::Terminal term;
    EXPECT_EQ(fatal([&] { ZQAVPT::POSDEFINVERT(a, ainv, static_cast<smallint>(n)); }), "posdefinvert: sqrt negative");
  }
  testsupport::resetio();
}

// B B^T with the third row of B the sum of the first two has rank 2, yet
// extended rounding leaves its last Cholesky pivot a few 1e-20 above 0 (the
// rows of B were picked so, by running the factorisation over rows of
// tenths). Such a pivot is none. B B^T + I/100 and a 2 x 2 matrix of
// correlation 1 - 2^-20, whose second pivot is 2^-19 - 2^-40 of its
// diagonal, are still inverted; the latter against its inverse in exact
// rational arithmetic, (1, -r; -r, 1) / (1 - r^2).
TEST(PosDefInvert, SingularUpToRoundingStopsTheRunButASmallTruePivotDoesNot) {
  testsupport::resetio();
  const std::vector<std::vector<extended>> rows12 = {
      {0.1L, 0.1L, 0.3L, 0.4L}, {0.1L, 0.1L, 0.1L, 0.3L}, {0.1L, 0.1L, 0.3L, 0.8L}};
  for (const auto& b12 : rows12) {
    const extended B[3][2] = {{b12[0], b12[1]}, {b12[2], b12[3]}, {b12[0] + b12[2], b12[1] + b12[3]}};
    for (const extended ridge : {0.0L, 0.01L}) {
      invmatrix a{"a"}, ainv{"ainv"};
      for (long i = 1; i <= 3; ++i)
        for (long j = 1; j <= 3; ++j)
          a(i, j) = B[i - 1][0] * B[j - 1][0] + B[i - 1][1] * B[j - 1][1] + (i == j ? ridge : 0);
      if (ridge == 0) {
        testsupport::Terminal term;
        EXPECT_EQ(fatal([&] { ZQAVPT::POSDEFINVERT(a, ainv, 3); }), "posdefinvert: sqrt negative") << b12[2] << b12[3];
        continue;
      }
      ZQAVPT::POSDEFINVERT(a, ainv, 3);
      for (long i = 1; i <= 3; ++i)
        for (long j = 1; j <= 3; ++j) {
          extended s = 0;
          for (long k = 1; k <= 3; ++k) s += a(i, k) * ainv(k, j);
          EXPECT_NEAR(s, i == j ? 1 : 0, 1e-15L) << b12[2] << b12[3] << " (" << i << ", " << j << ")";
        }
    }
  }
  const extended r = 1 - 0x1p-20L;
  invmatrix a{"a"}, ainv{"ainv"};
  a(1, 1) = a(2, 2) = 1;
  a(2, 1) = a(1, 2) = r;
  ZQAVPT::POSDEFINVERT(a, ainv, 2);
  constexpr extended diag = 524288.2500001192093463942272158752517105L, off = -524287.7499998807906536057727841247482895L;
  EXPECT_NEAR(ainv(1, 1), diag, diag * 1e-12L);
  EXPECT_NEAR(ainv(2, 2), diag, diag * 1e-12L);
  EXPECT_NEAR(ainv(1, 2), off, diag * 1e-12L);
  testsupport::resetio();
}

TEST(FitLimit, NinetyFivePercentLimitsByDegreesOfFreedom) {
  const std::vector<std::pair<smallint, extended>> cases = {{1, 1.96L}, {2, 1.73L}, {5, 1.49L}, {9, 1.37L},
                                                            {10, 1.35L}, {11, 1.34L}, {23, 1.34L}, {0, 1.34L}};
  for (const auto& [nu, limit] : cases) EXPECT_EQ(ZQAVPT::FITLIMIT(nu), limit) << nu;
}

TEST_F(Avpt, ReactionCovariances) {
  ZQCALC2::CALCVARLNA();
  ZQAVPT::covmatrix covh{"covh"}, covlnk{"covlnk"};
  const extended h[3][3] = {{0.16L, 0.12L, 0}, {0.12L, 0.36L, 0}, {0, 0, 0.09L}};
  for (const controlboolean justrelu : {no, yes}) {
    CONTROLJX.justrelu = justrelu;
    ZQAVPT::CALCCOV(covh, covlnk);
    for (long i = 1; i <= 3; ++i)
      for (long j = 1; j <= 3; ++j) {
        EXPECT_NEAR(covh(i, j), justrelu == yes ? 0.001L : h[i - 1][j - 1], 1e-18L) << i << j;
        // Only exxy has an ln a variance, (0.08 / 0.8)^2, and only reaction 3 holds it.
        EXPECT_NEAR(covlnk(i, j), i == 3 && j == 3 ? 0.01L : 0, 1e-18L) << i << j;
      }
  }
}

// The enthalpy covariances as the reactions use them: a variance below 0,
// or a covariance beyond the product of the two sd's (here 0.4 x 0.6), has
// no meaning and stops the run naming the end-members; a correlation of 1
// exactly, an end-member in no reaction, or a matrix the weights leave out
// passes.
TEST_F(Avpt, CovarianceWithoutMeaningStopsTheRun) {
  ZQAVPT::covmatrix covh{"covh"}, covlnk{"covlnk"};
  const auto calccov = [&] { return fatal([&] { ZQAVPT::CALCCOV(covh, covlnk); }); };
  const std::string names = NAME[3] + " and " + NAME[4];
  (*COV)(3, 4) = (*COV)(4, 3) = 0.24L;
  EXPECT_EQ(calccov(), "");
  (*COV)(3, 4) = (*COV)(4, 3) = -0.2401L;
  EXPECT_EQ(calccov(), "calccov: covariance beyond the product of the sd's - covariances of " + names);
  (*COV)(3, 4) = (*COV)(4, 3) = 0.12L;
  (*COV)(5, 5) = -0.09L;
  EXPECT_EQ(calccov(), "calccov: variance below 0 - covariances of " + NAME[5]);
  set({{-1, -1, 1, 0, 0}, {-1, -2, 0, 1, 0}});
  EXPECT_EQ(calccov(), "");
  set(BASIS);
  CONTROLJX.justrelu = yes;
  EXPECT_EQ(calccov(), "");
  // The middle value's diagnostics take the enthalpies all the same (with
  // ln a uncertain enough for the weights to stand without them).
  for (long i = 1; i <= 4; ++i) ACTIVITY[i] = 0.9L, SDACTIVITY[i] = 0.09L;
  extended a = 0, sd = 0, f = 0;
  EXPECT_EQ(fatal([&] { ZQAVPT::AVV(a, sd, f, LT[NLT / 2 + 1], 0, 1, false); }),
            "avv: variance below 0 - covariances of " + NAME[5]);
}

TEST_F(Avpt, WeightedAverageBothPathsAndAnyBasis) {
  struct cas {
    const char* what;
    reactions rs;
  };
  const std::vector<cas> cases = {{"basis", BASIS},
                                  {"r1, r2, r1 + r3", {{-1, -1, 1, 0, 0}, {-1, -2, 0, 1, 0}, {-3, -2, 1, 0, 1}}},
                                  {"r3, r1 - r2, r2", {{-2, -1, 0, 0, 1}, {0, 1, 1, -1, 0}, {-1, -2, 0, 1, 0}}}};
  for (const cas& c : cases) {
    set(c.rs);
    for (const bool quiet : {true, false}) {
      const fit f = avv(873.15L, quiet);
      EXPECT_NEAR(f.av, AV600, 1e-9L) << c.what << quiet;
      EXPECT_NEAR(f.sd, SD600, 1e-9L) << c.what << quiet;
      EXPECT_NEAR(f.sf, SF600, 1e-9L) << c.what << quiet;
      EXPECT_EQ(f.out.empty(), quiet) << c.what;
    }
  }
}

// Leaving the enthalpies out of the weights changes the plain fit; the
// diagnostics always weigh them.
TEST_F(Avpt, JustReluLeavesEnthalpiesOutOfThePlainFitOnly) {
  ACTIVITY[3] = ACTIVITY[4] = 0.9L;
  SDACTIVITY[3] = SDACTIVITY[4] = 0.05L;
  set(BASIS);
  const fit both = avv(873.15L, true);
  CONTROLJX.justrelu = yes;
  const fit plain = avv(873.15L, true);
  const fit diag = avv(873.15L, false);
  EXPECT_NEAR(diag.av, both.av, 1e-9L);
  EXPECT_NEAR(diag.sf, both.sf, 1e-9L);
  EXPECT_GT(std::fabs(plain.av - both.av), 1e-3L);
  // Without any ln a variance in reactions 1 and 2 the plain weights are singular.
  ACTIVITY[3] = ACTIVITY[4] = 1;
  set(BASIS);
  testsupport::Terminal term;
  EXPECT_EQ(fatal([] {
              extended a = 0, b = 0, c = 0;
              ZQAVPT::AVV(a, b, c, 873.15L, 0, 1, true);
            }),
            "posdefinvert: sqrt negative");
}

TEST_F(Avpt, NoAverageWithoutTwoReactionsOrARoot) {
  struct cas {
    const char* what;
    reactions rs;
    extended plow, phigh, av, sd, sf;
  };
  const std::vector<cas> cases = {
      {"no reaction", {}, 1, 15, 0, 0, 0},
      {"one reaction", {BASIS[0]}, 1, 15, 0, 0, 0},
      {"reaction 3 beyond the window", BASIS, 1, 8.9L, 0, 0, 100},
      {"reaction 1 beyond the window", BASIS, 7.5L, 15, 0, 0, 100},
  };
  for (const cas& c : cases) {
    set(c.rs);
    PLOW = c.plow, PHIGH = c.phigh;
    for (const bool quiet : {true, false}) {
      const fit f = avv(873.15L, quiet);
      EXPECT_EQ(f.av, c.av) << c.what;
      EXPECT_EQ(f.sd, c.sd) << c.what;
      EXPECT_EQ(f.sf, c.sf) << c.what;
      EXPECT_EQ(f.out, "") << c.what;
    }
  }
}

// The report comes at the upper of two middles, within 1 K of it.
TEST_F(Avpt, DiagnosticsOnlyAtTheMiddleOfTheList) {
  struct cas {
    long n;
    extended fixed;
    bool report;
  };
  const std::vector<cas> cases = {{5, 873.15L, true},  {5, 873.9L, true},  {5, 874.15L, false},
                                  {4, 873.15L, true},  {4, 823.15L, false}, {1, 773.15L, true},
                                  {1, 873.15L, false}};
  for (const cas& c : cases) {
    NLT = static_cast<smallint>(c.n);
    const fit f = avv(c.fixed, false);
    EXPECT_EQ(!f.out.empty(), c.report) << c.n << " " << c.fixed;
  }
}

TEST_F(Avpt, DiagnosticsOfAverageT) {
  AVMODE = avtype::avtmode;
  NLP = 1;
  LP[1] = 8;
  const fit f = avv(8, false);
  EXPECT_NEAR(f.av - CONST::KELVIN, 584.0L, 0.05L);
  EXPECT_NEAR(f.sd, 69.0L, 0.05L);
  EXPECT_NEAR(f.sf, 2.97L, 0.005L);
  EXPECT_NE(f.out.find("average T at P = 8.0 kbar\n       avT      sd  sigfit\n     584.0    69.0   2.965\n"), std::string::npos)
      << f.out;
}

// A reaction whose position lies beyond the window shows no position and
// no correlations with the others; the ones inside are unaffected.
TEST_F(Avpt, TableOfAReactionBeyondTheWindow) {
  CONTROLJX.printcor = yes;
  for (const extended phigh : {X3 + 0.01L, X3 - 0.01L}) {
    PHIGH = phigh;
    testsupport::Terminal term;
    ZQAVPT::TABLE();
    const std::string out = term.text();
    const bool inside = phigh > X3;
    EXPECT_NE(out.find(inside ? std::string("\n3        9.00     1.57      2.358") : "\n3" + std::string(31, ' ') + "0    0.300"), std::string::npos)
        << out;
    EXPECT_NE(out.find("\n1        7.00     0.40      3.477"), std::string::npos) << out;
    const std::string cor = out.substr(out.find("calculated pressures"));
    EXPECT_NE(cor.find(inside ? "        0        0   1.0000\n" : "        0        0        0\n"), std::string::npos)
        << cor;
  }
  CONTROLJX.printcor = no;
}

// The activity table comes in blocks of 14 end-members; an excluded one
// takes no column, and the reactions' end-members need not come first.
TEST_F(Avpt, ActivityTableInBlocksOfFourteen) {
  static const char* names[] = {"e6", "e7", "e8", "e9", "e10", "e11", "e12", "e13", "e14", "e15", "e16"};
  NCV = 16;
  for (long j = 6; j <= NCV; ++j) {
    testsupport::handrow(j, names[j - 6], 0, 0.03L, 1);
    ACTIVITY[j] = 0.5L + static_cast<extended>(j) / 100;
    SDACTIVITY[j] = ACTIVITY[j] / 10;
  }
  NEX1 = 1, EXEM[1] = 7;
  IO::CONTROLIO.pagewidth = 250;
  testsupport::Terminal term;
  ZQAVPT::TABLE();
  const std::string out = term.text();
  const auto field = [](const std::string& s) { return std::string(10 - s.size(), ' ') + s; };
  std::string names1 = std::string(10, ' '), a1 = "a         ", sd1 = "sd(a)/a   ";
  for (const char* n : {"ex", "wy", "exy", "exyy", "exxy"}) names1 += field(n);
  a1 += field("1.000") + field("1.000") + field("1.000") + field("1.000") + field("0.8000");
  sd1 += field("0") + field("0") + field("0") + field("0") + field("0.10000");
  for (long j = 6; j <= 14; ++j) {
    if (j == 7) continue;
    names1 += field(names[j - 6]);
    a1 += field("0." + std::to_string(50 + j) + "00");
    sd1 += field("0.10000");
  }
  const std::string block2 = std::string(10, ' ') + field("e15") + field("e16") + "\na         " + field("0.6500") +
                             field("0.6600") + "\nsd(a)/a   " + field("0.10000") + field("0.10000") + "\n";
  EXPECT_NE(out.find("C\n" + names1 + "\n" + a1 + "\n" + sd1 + "\n" + block2), std::string::npos) << out;
}

TEST_F(Avpt, IncompleteSetStopsBothAverages) {
  INCOMPLETE = true;
  testsupport::Terminal term;
  EXPECT_EQ(fatal([] { ZQAVPT::AVERAGEP(); }), "avP: incomplete set");
  EXPECT_EQ(fatal([] { ZQAVPT::AVERAGET(); }), "avT: incomplete set");
  EXPECT_NE(term.text().find("an incomplete set of independent reactions has been generated;\n"
                             "vary the run conditions to try and get a complete set...\n"),
            std::string::npos);
}

// A rock without solution phases: average T gives only its summary.
TEST_F(Avpt, AverageTSummaries) {
  AVMODE = avtype::avtmode;
  struct cas {
    std::vector<extended> ps;
    std::string line;
  };
  const std::vector<cas> cases = {
      {{8}, "For P = 8.0 kbar, av T =     584.0 \xA1" "C, sd =      69.0, sigfit = 2.97\n"},
      {{30}, "For P = 30.0 kbar, av T = ? \xA1" "C, sd = , sigfit = \n"},
      {{7, 8}, "P            7.00     8.00\nav T        501.6    584.0\n"},
  };
  for (const cas& c : cases) {
    NLP = static_cast<smallint>(c.ps.size());
    for (long k = 1; k <= NLP; ++k) LP[k] = c.ps[static_cast<std::size_t>(k - 1)];
    testsupport::Terminal term;
    ZQAVPT::AVERAGET();
    const std::string out = term.text();
    EXPECT_NE(out.find(c.line), std::string::npos) << out;
    EXPECT_EQ(out.find("average T at P"), std::string::npos) << out;
  }
}

}  // namespace

// Drawing-data list rows wider than a line (60 coefficients; 24 covariances,
// the basis eight times over) go on in the next line, every element kept.
TEST_F(Avpt, DrawingListsWiderThanALineGoOnInTheNextLine) {
  std::vector<std::string> names;
  for (long j = 6; j <= 60; ++j) names.push_back("d" + std::to_string(j));
  NCV = NP0 = 60;
  for (long j = 6; j <= 60; ++j) testsupport::handrow(j, names[static_cast<std::size_t>(j - 6)].c_str(), 0, 0.03L, 1);
  reactions many;
  for (int copy = 0; copy < 8; ++copy) many.insert(many.end(), BASIS.begin(), BASIS.end());
  set(many);
  testsupport::ScratchDir dir;
  testsupport::openchannel(6, "qk.txt");
  testsupport::Terminal term;
  ZQAVPT::SPECIALTABLES();
  IO::FLUSHER();
  std::string qk = dir.read("qk.txt");
  EXPECT_EQ(qk.find('\xa4'), std::string::npos);
  // The rows of a list, each {...} whatever lines it is written on; R COV R'
  // of the basis by hand (as the covariance test has it).
  auto rows = [&](const std::string& head) {
    std::vector<std::vector<double>> got;
    std::size_t at = qk.find(head) + head.size();
    const std::size_t end = qk.find("};", at);
    for (std::size_t open; (open = qk.find('{', at)) < end; at = qk.find('}', open) + 1) {
      std::string inner = qk.substr(open + 1, qk.find('}', open) - open - 1);
      std::replace(inner.begin(), inner.end(), ',', ' ');
      std::istringstream in(inner);
      got.emplace_back(std::istream_iterator<double>(in), std::istream_iterator<double>());
    }
    return got;
  };
  const auto r = rows("r = {"), covh = rows("covh = {");
  const double h[3][3] = {{0.16, 0.12, 0}, {0.12, 0.36, 0}, {0, 0, 0.09}};
  ASSERT_EQ(r.size(), 24u);
  ASSERT_EQ(covh.size(), 24u);
  for (std::size_t k = 0; k < 24; ++k) {
    std::vector<double> want(60, 0);
    std::copy(BASIS[k % 3].begin(), BASIS[k % 3].end(), want.begin());
    EXPECT_EQ(r[k], want) << k;
    ASSERT_EQ(covh[k].size(), 24u);
    for (std::size_t j = 0; j < 24; ++j) EXPECT_NEAR(covh[k][j], h[k % 3][j % 3], 5e-5) << k << " " << j;
  }
  testsupport::resetio();
}
