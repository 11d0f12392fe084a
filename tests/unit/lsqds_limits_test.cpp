// The enthalpy limits of an experiment from its brackets' limits and
// widths, against values worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "lsq/lsqds.h"

namespace {

struct half {
  bool up;
  long double h, s, p;
};

class LeastSquaresLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    dir.write("ds-prefs.txt", "*\n");
    LSQDS::INTRO();
  }
  void TearDown() override { testsupport::freshstate(); }
  xprec& load(const std::vector<half>& hs, bool grouped) {
    LSQDS::XPW->assign(1, xprec{});
    xprec& x = LSQDS::XP(1);
    x.grouped = grouped;
    x.nbr = static_cast<smallint>(hs.size());
    for (smallint b = 1; b <= x.nbr; ++b) {
      const half& h = hs[static_cast<std::size_t>(b - 1)];
      x.br[b].dir = h.up;
      x.br[b].dh = h.h;
      x.br[b].sd2 = h.s;
      x.br[b].p = h.p;
      x.br[b].t = 1000 + b;
    }
    LSQDS::SAMEPTX(1);
    return x;
  }
  testsupport::ScratchDir dir;
  testsupport::Terminal term;
};

TEST_F(LeastSquaresLimits, ClassesAndLimits) {
  const struct {
    std::vector<long double> lower, upper;
    smallint hcase;
    double hlow, hhigh;
    long double width = 1;  // of every bracket
  } cases[] = {
      {{-10, -8}, {-2, -3}, 1, -7.480125, -3.519875},
      {{-4, -6}, {-5, -2}, 2, -5.896925, -3.103075},
      {{-10, -6, -4}, {-5, 0, 2}, 3, -5.039782, -2.245932},
      {{-10, 3, 4}, {-8, -6, 5}, 4, -3.1642, 0.1642},
      {{-20, -10, 3}, {-4, -3, 1}, 5, -9.257925, -3.742075},
      {{-10, -5, 3}, {-4, -3, 1}, 6, -5.396925, -2.603075},
      // both medians at the extremes: the middle, not 0/0
      {{-9, -4, -4}, {-3.5, -3.5, 0}, 3, -5.146925, -2.353075},
      // the lowest upper limit on the lower median, or the upper median on
      // the highest lower limit: still the medians' side of the extremes
      {{-10, -6, -3}, {-6, 0, 2}, 3, -4.896925, -2.103075},
      {{-10, -6, -3}, {-5, -3, 2}, 3, -5.896925, -3.103075},
      // one side with three limits, the other with two: the short side's
      // extreme stands in for its median
      {{-10, -6, -4}, {-3, 0}, 3, -5.896925, -3.103075},
      // wider brackets: the medians' gap, -3 - -10 = 7, is 7 / (2 x 2) = 1.75
      // in their widths, class 5 with that gap
      {{-20, -10, 3}, {-4, -3, 1}, 5, -9.5489625, -3.4510375, 2},
  };
  for (const auto& c : cases) {
    std::vector<half> hs;
    // Each bracket at its own pressure: no reversal pairs.
    for (long double h : c.lower) hs.push_back({false, h, c.width, 1.0L + hs.size()});
    for (long double h : c.upper) hs.push_back({true, h, c.width, 1.0L + hs.size()});
    xprec& x = load(hs, false);
    LSQDS::CALCHLIMS(1);
    EXPECT_EQ(x.hcase, c.hcase) << c.hlow;
    EXPECT_NEAR((double)x.hlow, c.hlow, 1e-6);
    EXPECT_NEAR((double)x.hhigh, c.hhigh, 1e-6);
    EXPECT_EQ((double)x.rval, 1.5);
    EXPECT_EQ((double)x.wsum, 0.0);
  }
}

// Each pair is measured from its lower limit (dir false) to its upper one,
// whichever of its two halves stands first, and stands lower half first
// afterwards.
TEST_F(LeastSquaresLimits, ReversalPairs) {
  const std::vector<half> pairs = {{true, -2, 1, 5}, {false, -4, 1, 5}, {true, -2.5, 0.5, 8}, {false, -2, 0.5, 8}};
  for (bool grouped : {false, true}) {
    xprec& x = load(pairs, grouped);
    LSQDS::CALCHLIMS(1);
    // One pair of two runs the wrong way: exactly half, nothing reversed.
    // By hand: r = 2 / 2 = 1 and -0.5 / 1, v = 1 x 1.1783 and 0.5 x
    // 0.814325, wsum = sqrt(1/v1^2 + 1/v2^2).
    EXPECT_FALSE(x.reversed);
    EXPECT_EQ((double)x.rval, 1.0);
    EXPECT_NEAR((double)x.wsum, 2.598519, 1e-6);
    EXPECT_EQ(x.hcase, 2);
    EXPECT_NEAR((double)x.hlow, -2.83915, 1e-6);
    EXPECT_NEAR((double)x.hhigh, -1.66085, 1e-6);
    EXPECT_EQ((double)x.br[1].dh, -4.0);
    EXPECT_EQ((double)x.br[3].dh, -2.0);
  }
  // Two pairs, each either way round, each running the right way (upper
  // limits -2 and -1 above lower -4 and -3) or both the wrong way: grouped,
  // the wrong way is taken as written in reverse, every side turned. Either
  // way each pair ends lower half first: (-4, -2) and (-3, -1) with r = 1
  // and wsum = sqrt(2) / 1.1783.
  for (bool wrong : {false, true})
    for (unsigned flips = 0; flips < 4; ++flips) {
      std::vector<half> hs = {{!wrong, -2, 1, 5}, {wrong, -4, 1, 5}, {!wrong, -1, 1, 8}, {wrong, -3, 1, 8}};
      if (flips & 1u) std::swap(hs[0], hs[1]);
      if (flips & 2u) std::swap(hs[2], hs[3]);
      xprec& x = load(hs, true);
      LSQDS::CALCHLIMS(1);
      EXPECT_EQ(x.reversed, wrong) << flips;
      const double h[] = {-4, -2, -3, -1};
      for (smallint b = 1; b <= 4; ++b) {
        EXPECT_EQ((double)x.br[b].dh, h[b - 1]) << wrong << flips << b;
        EXPECT_EQ(x.br[b].dir, b % 2 == 0) << wrong << flips << b;
      }
      EXPECT_TRUE(x.br[2].pairp && x.br[4].pairp) << wrong << flips;
      EXPECT_NEAR((double)x.rval, 1.0, 0);
      EXPECT_NEAR((double)x.wsum, 1.200215, 1e-6);
    }
}

}  // namespace

namespace {

// pa = pb with G = H - T S + (P - 0.001) V exactly (no Cp, expansion or
// compressibility): dH -4, dS -0.005, dV -0.2.
TEST_F(LeastSquaresLimits, BracketEquilibriaOfALinearReaction) {
  using namespace ZQGLOBAL;
  CALCMODE = calcmodetype::lsqdscalc;
  const long double h[] = {-1000, -1004}, s[] = {0.050, 0.045}, v[] = {2.5, 2.3};
  for (int i = 1; i <= 2; ++i) {
    TDA[i] = tdrec{};
    TDA[i].name = i == 1 ? "pa" : "pb";
    TDA[i].h = h[i - 1];
    TDA[i].s = s[i - 1];
    TDA[i].v = v[i - 1];
    TDA[i].theta = 10;
    TDA[i].smax = TDA[i].vmax = -1;
    TDA[i].bwfac = 1;
  }
  xprec& x = load({{false, 0, 0, 5}}, false);
  x.nrx = 2;
  x.rxem[1] = 1;
  x.rxem[2] = 2;
  x.rxcoef[1] = -1;
  x.rxcoef[2] = 1;
  x.rxpos[1] = 1;
  x.rxpos[2] = 2;
  x.ch = -4;
  x.sdch = 0.05L;
  x.br[1].t = 1000;
  x.br[1].act[1] = x.br[1].act[2] = 1;
  long double t = 0, sdt = 0, p = 0, sdp = 0;
  LSQDS::CALCT(1, 1, t, sdt);
  EXPECT_NEAR((double)t, 999.96, 1e-6);
  EXPECT_NEAR((double)sdt, 10.0, 1e-6);
  LSQDS::CALCP(1, 1, p, sdp);
  EXPECT_NEAR((double)p, 5.001, 1e-6);
  EXPECT_NEAR((double)sdp, 0.25, 1e-6);
  EXPECT_EQ((double)x.br[1].t, 1000.0);
  EXPECT_EQ((double)x.br[1].p, 5.0);
  LSQDS::CALCHBR(1);
  // h = T dS - (P - 0.001) dV; s = 2 sqrt((2.5 dS)^2 + (0.01 P dV)^2).
  EXPECT_NEAR((double)x.br[1].dh, -5 + 0.9998, 1e-6);
  EXPECT_NEAR((double)x.br[1].sd2, 2 * std::sqrt(0.0125 * 0.0125 + 0.01 * 0.01), 1e-6);

  // A bracket at 0.01 kbar, the lowest pressure the solve takes, exactly at
  // equilibrium there: at a T where T R is exactly 8, ln K = -dG/8 takes up
  // the reaction's energy to the last bit. The pressure stays 0.01 and its
  // sd is sdch / |dV|, as at any pressure above it.
  long double t8 = 8 / CONST::RGAS;
  for (int k = 0; k < 64 && t8 * CONST::RGAS != 8; ++k)
    t8 = std::nextafter(t8, t8 * CONST::RGAS < 8 ? 2000.0L : 0.0L);
  ASSERT_EQ(t8 * CONST::RGAS, 8);
  x.br[1].p = 0.01L;
  x.br[1].t = t8;
  x.br[1].lnk = -LSQDS::CALC(1, 0.01L, t8, x.br[1].xco2) / 8;
  LSQDS::CALCP(1, 1, p, sdp);
  EXPECT_EQ(p, 0.01L);
  EXPECT_NEAR((double)sdp, 0.25, 1e-6);
}

// The width of a bracket adds (0.01 nu R T)^2 for each term whose own list
// entry has an activity below 1, oxygen's excepted: each of its entries,
// however often it is written.
TEST_F(LeastSquaresLimits, EveryOxygenTermIsFreeOfTheActivityWidth) {
  using namespace ZQGLOBAL;
  CALCMODE = calcmodetype::lsqdscalc;
  const char* names[] = {"pa", "O2", "pb"};
  for (int i = 1; i <= 3; ++i) {
    TDA[i] = tdrec{};
    TDA[i].name = names[i - 1];
    PHNAMES[i] = names[i - 1];
    TDA[i].h = -1000 - i;
    TDA[i].s = 0.05L - 0.002L * i;
    TDA[i].v = 2.5L - 0.1L * i;
    TDA[i].theta = 10;
    TDA[i].smax = TDA[i].vmax = -1;
    TDA[i].bwfac = 1;
  }
  NTP = 3;
  xprec& x = load({{false, 0, 0, 5}}, false);
  const smallint em[] = {1, 2, 2, 3}, coef[] = {-1, -1, -1, 2};
  x.nrx = x.nem = 4;
  for (smallint k = 1; k <= 4; ++k) {
    x.rxem[k] = x.emds[k] = em[k - 1];
    x.rxcoef[k] = coef[k - 1];
    x.rxpos[k] = k;
    x.emname[k] = names[em[k - 1] - 1];
  }
  x.br[1].t = 900;
  x.br[1].lnk = 0.3L;
  const auto width = [&x](std::vector<long double> a) {
    for (smallint k = 1; k <= 4; ++k) x.br[1].act[k] = a[static_cast<std::size_t>(k - 1)];
    LSQDS::FINDPOSI(x.emds, x.nem);
    LSQDS::CALCHBR(1);
    return x.br[1].sd2;
  };
  const long double none = width({1, 1, 1, 1});
  EXPECT_EQ(width({1, 0.5L, 0.6L, 1}), none);
  EXPECT_EQ(width({1, 1, 0.6L, 1}), none);
  const long double rt = 0.01L * CONST::RGAS * 900;
  const long double pa = width({0.5L, 0.5L, 0.6L, 1}), pb = width({1, 0.5L, 1, 0.9L});
  EXPECT_NEAR((double)(pa * pa / 4 - none * none / 4), (double)(rt * rt), 1e-12);
  EXPECT_NEAR((double)(pb * pb / 4 - none * none / 4), (double)(4 * rt * rt), 1e-12);
  // The terms in every order, each with its own entry (pa at 0.5, pb at
  // 0.9, oxygen's free): (1 + 4)(0.01 R T)^2 whatever order, where the list
  // entry of a term's place would count another coefficient or another
  // activity.
  std::vector<smallint> order = {1, 2, 3, 4};
  do {
    for (smallint k = 1; k <= 4; ++k) {
      const smallint e = order[static_cast<std::size_t>(k - 1)];
      x.rxem[k] = em[e - 1];
      x.rxcoef[k] = coef[e - 1];
      x.rxpos[k] = e;
    }
    const long double both = width({0.5L, 1, 0.6L, 0.9L});
    EXPECT_NEAR((double)(both * both / 4 - none * none / 4), (double)(5 * rt * rt), 1e-12)
        << order[0] << order[1] << order[2] << order[3];
  } while (std::next_permutation(order.begin(), order.end()));
}

}  // namespace
