// Step limits on hand-made layouts: the box of the scaled unknowns, window
// rows, and the passes over watched site fractions.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "model/zqmath2.h"

using namespace ZQGLOBAL;

namespace {

const extended eps = std::ldexp(1.0L, -64);

class FindLimit : public ::testing::Test {
 protected:
  void SetUp() override {
    IO::MACHEPS = eps;
    NX = 2;
    NXP = 0;
  }
  // P and T held; then free unknowns at the scaled values x, each scaled as
  // faca u + facb.
  void unknowns(const std::vector<extended>& x, extended faca = 1, extended facb = 0) {
    NX = static_cast<smallint>(2 + x.size());
    for (long i = 3; i <= NX; ++i) {
      BX[i] = true;
      X[i] = x[static_cast<std::size_t>(i - 3)];
      XFACA[i] = faca;
      XFACB[i] = facb;
      INACC1[i] = acctype::xaccessible;
      INACC2[i] = acctype::paccessible;
    }
  }
  static eqvector direction(const std::vector<extended>& d) {
    eqvector dx;
    for (std::size_t j = 0; j < d.size(); ++j) dx[static_cast<long>(j + 1)] = d[j];
    return dx;
  }
  // One row c + sum (n_i / d_i) u_i >= 0 over the unknowns 1..NX.
  static void row(const std::vector<smallint>& n, const std::vector<smallint>& d, smallint cn, smallint cd) {
    ++NXVARLIM;
    for (long i = 1; i <= NX; ++i) {
      XVARLIMN(NXVARLIM, i) = n[static_cast<std::size_t>(i - 1)];
      XVARLIMD(NXVARLIM, i) = d[static_cast<std::size_t>(i - 1)];
    }
    XVARLIMN(NXVARLIM, NX + 1) = cn;
    XVARLIMD(NXVARLIM, NX + 1) = cd;
  }

  assemblage::tables tables;
};

TEST_F(FindLimit, BoxOfTheScaledUnknowns) {
  struct row {
    const char* what;
    std::vector<extended> x, d;
    extended slim;
    acctype acc;
  };
  const row table[] = {
      {"towards 1", {0.5L}, {-1}, 0.5L - std::ldexp(1.0L, -63), acctype::paccessible},
      {"towards 0", {0.25L}, {0.5L}, (0.25L - 2 * eps) / 0.5L, acctype::xaccessible},
      {"not moving", {0.5L}, {0}, 1e20L, acctype::mulimit},
      {"already beyond 1", {1.25L}, {-1}, -0.25L - 2 * eps, acctype::paccessible},
      {"nearest limit wins", {0.5L, 0.9L}, {-1, 1}, 0.5L - 2 * eps, acctype::paccessible},
      {"nearest limit wins, either order", {0.9L, 0.4L}, {-0.2L, 1}, 0.4L - 2 * eps, acctype::xaccessible},
  };
  for (const row& t : table) {
    unknowns(t.x);
    extended slim = 0;
    acctype acc = acctype::mulimit;
    ZQMATH2::FINDLIMIT(direction(t.d), slim, acc);
    EXPECT_EQ(slim, t.slim) << t.what;
    EXPECT_EQ(acc, t.acc) << t.what;
  }
  // A held unknown has no direction entry: the free one after it takes the
  // first.
  unknowns({0.9L, 0.5L});
  BX[3] = false;
  extended slim = 0;
  acctype acc = acctype::mulimit;
  ZQMATH2::FINDLIMIT(direction({-1}), slim, acc);
  EXPECT_EQ(slim, 0.5L - 2 * eps);
}

TEST_F(FindLimit, WindowRowLimitsWithRatiosInDoublePrecision) {
  // 1/3 - u >= 0 with u = 0.25 rising at rate 1.
  unknowns({0.25L});
  row({0, 0, -1}, {1, 1, 1}, 1, 3);
  extended slim = 0;
  acctype acc = acctype::mulimit;
  ZQMATH2::FINDLIMIT(direction({-1}), slim, acc);
  EXPECT_EQ(slim, static_cast<extended>(1.0 / 3.0) - 0.25L - 2 * eps);
  EXPECT_NE(slim, 1.0L / 3 - 0.25L - 2 * eps);
  EXPECT_EQ(acc, acctype::inaccessible);

  // Physical values: u = (X - 0.1) / 0.5, so the row sees 0.3 and 0.3 and
  // rates 0.1 and 0.2 on 1 - u3 - u4 >= 0.
  NXVARLIM = 0;
  unknowns({0.25L, 0.25L}, 0.5L, 0.1L);
  row({0, 0, -1, -1}, {1, 1, 1, 1}, 1, 1);
  ZQMATH2::FINDLIMIT(direction({-0.05L, -0.1L}), slim, acc);
  EXPECT_NEAR(slim, 0.4L / 0.3L, 1e-15L);
  EXPECT_EQ(acc, acctype::inaccessible);
}

// A row flat along the step cannot be crossed along it: it pins slim at 0
// only when it already stands within its margin of 2 MACHEPS, and
// otherwise leaves slim to the other limits. A row on held unknowns only is
// not involved at all.
TEST_F(FindLimit, RowRatesNearZero) {
  struct flat {
    extended rate;
    bool held;
    extended value;  // of the row at the start of the step
    bool zero;
  };
  const extended away = 0.75L;
  const flat table[] = {
      {-6 * eps, false, away, false}, {-5 * eps, false, away, false}, {0, false, away, false},
      {4.9L * eps, false, away, false}, {5 * eps, false, away, false}, {0, true, away, false},
      // at its edge
      {-6 * eps, false, 0, false}, {-5 * eps, false, 0, true}, {0, false, 0, true},
      {4.9L * eps, false, 0, true}, {0, true, 0, false},
      {0, false, 2 * eps, true}, {-5 * eps, false, 2 * eps, true}, {4.9L * eps, false, 2 * eps, true},
      {0, false, 3 * eps, false}, {4.9L * eps, false, 3 * eps, false}, {0, false, 1e-10L, false},
      // already beyond it, not getting further in
      {0, false, -eps, true},
  };
  for (const flat& t : table) {
    NXVARLIM = 0;
    // u3 - 1/4, or u4 - 1/4 when u4 is held, at u3 (u4) = 1/4 + value: the
    // rate is the direction.
    const bool edge = t.value != away;
    unknowns({edge ? 0.25L + t.value : 0.25L, edge ? 0.25L + t.value : 0.5L});
    BX[4] = !t.held;
    row({0, 0, t.held ? smallint(0) : smallint(1), t.held ? smallint(1) : smallint(0)}, {1, 1, 1, 1},
        edge ? smallint(-1) : smallint(1), edge ? smallint(4) : smallint(2));
    extended slim = 0;
    acctype acc = acctype::mulimit;
    ZQMATH2::FINDLIMIT(direction({t.rate, 0}), slim, acc);
    EXPECT_EQ(slim == 0, t.zero) << static_cast<double>(t.rate / eps) << " " << t.held << " "
                                 << static_cast<double>(t.value);
    // A row that does not bind leaves the box to limit the step.
    if (!t.zero && std::fabs(t.rate) < 5 * eps && !t.held) {
      EXPECT_GT(slim, 1e15L);
      EXPECT_EQ(acc, t.rate > 0 ? acctype::xaccessible : t.rate < 0 ? acctype::paccessible : acctype::mulimit);
    }
  }
}

// A site-fraction expression: the sum of coef times a product of linear
// forms in the phase's variables x and y.
using product = std::pair<extended, std::vector<const char*>>;
termtype poly(const std::vector<product>& terms) {
  termtype t;
  for (const auto& [coef, factors] : terms) {
    sxtermtype& st = t.terms[++t.nterms];
    st.coef = coef;
    for (const char* f : factors) st.factors[++st.nfactors] = assemblage::expr(f, {"x", "y"}).terms[1].factors[1];
  }
  return t;
}

// Watched site fractions of a phase of two variables x and y at X[3], X[4].
class SiteFractions : public FindLimit {
 protected:
  void phase(const std::vector<termtype>& sites, extended x, extended y, bool yheld = false) {
    assemblage::system s;
    s.components = {"c"};
    assemblage::solution p;
    p.name = "ph";
    p.vars = {{"x", 0, 1}, {"y", 0, 1, yheld}};
    for (std::size_t k = 0; k < sites.size(); ++k) p.sites.push_back({"s" + std::to_string(k + 1), "x"});
    s.solutions = {p};
    s.pfree = s.tfree = false;
    s.modes = false;
    assemblage::layout(s);
    X[3] = x;
    X[4] = y;
    IO::MACHEPS = eps;
    NSFNH = static_cast<smallint>(sites.size());
    for (long k = 1; k <= NSFNH; ++k) {
      (*PREC1)[1].sf[k] = sites[static_cast<std::size_t>(k - 1)];
      SFNHIP[k] = 1;
      SFNHK[k] = static_cast<smallint>(k);
      SFNHIX[k] = 3;
    }
  }
  // The smallest watched site fraction at the point the passes look at.
  static extended smallest(const eqvector& dx, extended slim) {
    eqvector xt;
    smallint j = 0;
    for (long i = 1; i <= NX; ++i) xt[i] = BX[i] ? X[i] - dx[++j] * slim * 0.999999999L : X[i];
    extended m = 100;
    for (long k = 1; k <= NSFNH; ++k) m = std::min(m, ZQUTE1::SUBSTERM((*PREC1)[1].sf[SFNHK[k]], xt, 3));
    return m;
  }
};

TEST_F(SiteFractions, PassesLeaveEveryWatchedFractionPositive) {
  const std::vector<std::vector<termtype>> sets = {
      {poly({{1, {"1 - x - y"}}}), poly({{1, {"x"}}}), poly({{1, {"y"}}})},
      {poly({{1, {"x", "1 - y"}}, {1, {"-0.05"}}}), poly({{1, {"1 - x", "1 - y"}}, {1, {"-0.1"}}}),
       poly({{1, {"x", "y"}}}), poly({{1, {"1 - x"}}})},
      {poly({{1, {"x - 0.1", "y + 0.2"}}}), poly({{1, {"y"}}, {-1, {"x", "y"}}}), poly({{0.5L, {"1 - x - y"}}})},
      {poly({{2, {"x", "y"}}, {1, {"-0.02"}}}), poly({{1, {"1 - y"}}})},
  };
  int set = 0;
  std::mt19937 rng(18);
  std::uniform_real_distribution<double> start(0.3, 0.7), dir(-3, 3);
  int corrected = 0, runs = 0;
  for (const auto& sites : sets) {
    ++set;
    for (int n = 0; n < 40; ++n) {
      phase(sites, start(rng), start(rng));
      if (smallest(direction({0, 0}), 0) <= 0) continue;
      const eqvector dx = direction({dir(rng), dir(rng)});
      extended slim0 = 0, slim = 0;
      acctype acc0 = acctype::mulimit, acc = acctype::mulimit;
      const smallint watched = NSFNH;
      NSFNH = 0;
      ZQMATH2::FINDLIMIT(dx, slim0, acc0);
      NSFNH = watched;
      ZQMATH2::FINDLIMIT(dx, slim, acc);
      ++runs;
      EXPECT_LE(slim, slim0);
      EXPECT_EQ(acc, acctype::inaccessible);
      const extended m = smallest(dx, slim);
      if (slim < slim0) {
        ++corrected;
        EXPECT_GT(m, 0) << set << " run " << n;
      } else {
        EXPECT_GE(m, 0) << set << " run " << n;
      }
    }
  }
  EXPECT_GT(runs, 100);
  EXPECT_GT(corrected, 20);
}

TEST_F(SiteFractions, AllPositiveAtTheLimitLeavesSlimButMarksIt) {
  phase({poly({{1, {"x + y"}}})}, 0.5L, 0.5L);
  const eqvector dx = direction({-0.25L, -0.25L});
  extended slim = 0;
  acctype acc = acctype::mulimit;
  ZQMATH2::FINDLIMIT(dx, slim, acc);
  EXPECT_EQ(slim, (0.5L - 1 + 2 * eps) / -0.25L);
  EXPECT_EQ(acc, acctype::inaccessible);
}

// The worst expression has a factor at exactly 0 where the passes look:
// its term adds nothing to the rate, and the run goes on.
TEST_F(SiteFractions, FactorAtExactlyZero) {
  phase({poly({{1, {"x", "y - 0.5"}}, {1, {"x - 0.2"}}})}, 0.6L, 0.5L, true);
  const eqvector dx = direction({0.5L});
  extended slim = 0;
  acctype acc = acctype::mulimit;
  EXPECT_EQ(testsupport::fatal([&] { ZQMATH2::FINDLIMIT(dx, slim, acc); }), "");
  EXPECT_GT(smallest(dx, slim), 0);
  EXPECT_LT(slim, 0.8L);
  EXPECT_EQ(acc, acctype::inaccessible);
}

// x y - 0.05 with y held at 0.5 and x falling from 0.6 at 0.5 a unit step:
// the box lets x reach 0, where the expression is negative. Its rate comes
// from the factors' values, so a Newton step on it, exact for a linear
// expression, lands where x = 0.1, at step 1, and the pass keeps 0.99 of it.
TEST_F(SiteFractions, ProductRateFromEachFactorsOwnVariable) {
  phase({poly({{1, {"x", "y"}}, {1, {"-0.05"}}})}, 0.6L, 0.5L, true);
  extended slim = 0;
  acctype acc = acctype::mulimit;
  ZQMATH2::FINDLIMIT(direction({0.5L}), slim, acc);
  EXPECT_NEAR(slim, 0.99L, 1e-8L);
  EXPECT_EQ(acc, acctype::inaccessible);
}

}  // namespace
