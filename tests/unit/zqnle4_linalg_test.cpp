// Cholesky factor and inverse, LU factors with scaled pivoting, and the
// solve over the reaction columns.
#include <gtest/gtest.h>

#include <cmath>
#include <array>
#include <random>
#include <string>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "frame/zqnle4_linalg.h"

using namespace ZQGLOBAL;

TEST(Choleski, FactorAndInverseOfEveryOrderReadingTheLowerTriangleOnly) {
  testsupport::freshstate();
  invmatrix a{"a"}, l{"l"}, ainv{"ainv"};
  a(1, 1) = 4;
  a(2, 1) = 2;
  a(2, 2) = 3;
  a(1, 2) = 1e30L;  // never read
  ZQNLE4::CHOLESKI(a, l, 2);
  EXPECT_TRUE(l(1, 1) == 2 && l(1, 2) == 0 && l(2, 1) == 1 && l(2, 2) == std::sqrt(2.0L));
  ZQNLE4::INVERSE(a, ainv, 2);
  EXPECT_NEAR(ainv(1, 1), 0.375L, 1e-18L);
  EXPECT_NEAR(ainv(2, 1), -0.25L, 1e-18L);
  EXPECT_NEAR(ainv(2, 2), 0.5L, 1e-18L);

  std::mt19937 gen(20261207);
  std::uniform_real_distribution<double> u(-1, 1);
  for (long n = 1; n <= maxinvorder; ++n) {
    invmatrix b{"b"};
    for (long i = 1; i <= n; ++i)
      for (long j = 1; j <= n; ++j) b(i, j) = u(gen);
    for (long i = 1; i <= n; ++i)
      for (long j = 1; j <= n; ++j) {
        a(i, j) = i == j ? n : 0;
        for (long k = 1; k <= n; ++k) a(i, j) += b(i, k) * b(j, k);
      }
    ZQNLE4::CHOLESKI(a, l, static_cast<smallint>(n));
    ZQNLE4::INVERSE(a, ainv, static_cast<smallint>(n));
    // a is of size about n, its inverse of size about 1/n.
    for (long i = 1; i <= n; ++i)
      for (long j = 1; j <= n; ++j) {
        extended llt = 0, aai = 0;
        for (long k = 1; k <= n; ++k) {
          llt += l(i, k) * l(j, k);
          aai += a(i, k) * ainv(k, j);
        }
        EXPECT_LE(std::fabs(llt - a(i, j)), 1e-15L * n) << n << ": " << i << "," << j;
        EXPECT_LE(std::fabs(aai - (i == j ? 1 : 0)), 1e-15L) << n << ": " << i << "," << j;
        EXPECT_TRUE(ainv(i, j) == ainv(j, i) && (j <= i || l(i, j) == 0)) << n << ": " << i << "," << j;
      }
  }
}

TEST(Choleski, NonPositivePivotWritesItsRowAndStops) {
  const std::pair<std::array<extended, 3>, const char*> cases[] = {
      {{0, 0, 1}, "  1 0.00000000E+00\n"},  // zero diagonal in row 1
      {{1, 1, 1}, "  2 0.00000000E+00\n"},  // semidefinite
      {{1, 2, 1}, "  2-3.00000000E+00\n"},
  };
  for (const auto& [v, line] : cases) {
    testsupport::freshstate();
    invmatrix a{"a"}, l{"l"};
    a(1, 1) = v[0];
    a(2, 1) = v[1];
    a(2, 2) = v[2];
    testsupport::Terminal term;
    EXPECT_EQ(testsupport::fatal([&] { ZQNLE4::INVERSE(a, l, 2); }), "inverse: sqrt negative");
    EXPECT_EQ(term.text().substr(0, 19), line);
  }
}

TEST(MakeLu, PivotsDeterminantAndSingularity) {
  struct lc {
    long n;
    std::vector<extended> a;  // row by row
    bool ok;
    std::vector<smallint> piv;
    extended d;  // 0.693147 e + ln dm, worked out aside
  };
  const lc cases[] = {
      {3, {1, 0, 0, 0, 1, 0, 0, 0, 1}, true, {1, 2, 3}, -7.22239781314471e-7L},  // identity
      {2, {1, 1, 1, -1}, true, {1, 2}, -0.6931464583201641L},  // equal candidates: the earlier row
      {2, {1, 3, 2, 0}, true, {2, 2}, -1.7917587469882736L},   // larger scaled candidate below
      {2, {1, 2, 0, 0}, false, {}, 1000},                      // zero row
  };
  for (const lc& k : cases) {
    eqmatrix a{"a"};
    for (long i = 1; i <= k.n; ++i)
      for (long j = 1; j <= k.n; ++j) a(i, j) = k.a[static_cast<std::size_t>((i - 1) * k.n + j - 1)];
    ieqvector piv{"piv"};
    extended d = 0;
    EXPECT_EQ(ZQNLE4::MAKELU(a, piv, d, static_cast<smallint>(k.n)), k.ok);
    EXPECT_NEAR(d, k.d, 1e-15L);
    for (std::size_t i = 0; i < k.piv.size(); ++i) EXPECT_EQ(piv[static_cast<long>(i + 1)], k.piv[i]);
  }
}

TEST(Mle, SolvesEveryReactionColumnLikeADirectSolve) {
  assemblage::tables t;
  std::mt19937 gen(35);
  std::uniform_real_distribution<double> u(-1, 1);
  constexpr long n = 5;
  eqmatrix a{"a"};
  for (long i = 1; i <= n; ++i)
    for (long j = 1; j <= n; ++j) a(i, j) = u(gen) + (i == j && i > 1 ? 3 : 0);  // row 1 needs an exchange
  NR = 3;
  NCV = 4;
  for (long i = 1; i <= NR; ++i)
    for (long e = 1; e <= NCV; ++e) (*R)(i, e) = static_cast<smallint>((i * 7 + e * 3) % 5 - 2);
  static jactype x{"x"};
  ASSERT_TRUE(ZQNLE4::MLE(a, x, n));
  for (long e = 1; e <= NCV; ++e)
    for (long i = 1; i <= n; ++i) {
      extended s = 0;
      for (long j = 1; j <= n; ++j) s += a(i, j) * x(j, e);
      EXPECT_NEAR(s, i <= NR ? -static_cast<extended>((*R)(i, e)) : 0, 1e-16L) << i << "," << e;
    }
  eqmatrix singular{"singular"};
  singular(1, 1) = 1;
  x(1, 1) = 42;
  EXPECT_FALSE(ZQNLE4::MLE(singular, x, 2));
  EXPECT_EQ(x(1, 1), 42);
}
