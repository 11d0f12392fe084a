// Cholesky factor and inverse of symmetric positive-definite matrices, LU
// factors with scaled pivoting and the solve over the reaction columns.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqnle4_linalg.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

extended maxabs(const invmatrix& a, long n) {
  extended m = 0;
  for (long i = 1; i <= n; ++i)
    for (long j = 1; j <= n; ++j) m = std::fmax(m, std::fabs(a(i, j)));
  return m;
}

}  // namespace

TEST(Choleski, TwoByTwoAndItsInverseReadingTheLowerTriangleOnly) {
  testsupport::freshstate();
  invmatrix a{"a"}, l{"l"}, ainv{"ainv"};
  a(1, 1) = 4;
  a(2, 1) = 2;
  a(2, 2) = 3;
  a(1, 2) = 1e30L;  // never read
  l.fill(5);
  ZQNLE4::CHOLESKI(a, l, 2);
  EXPECT_EQ(l(1, 1), 2);
  EXPECT_EQ(l(1, 2), 0);
  EXPECT_EQ(l(2, 1), 1);
  EXPECT_EQ(l(2, 2), std::sqrt(2.0L));
  EXPECT_EQ(l(3, 3), 5);  // beyond the order
  ZQNLE4::INVERSE(a, ainv, 2);
  EXPECT_NEAR(ainv(1, 1), 0.375L, 1e-18L);
  EXPECT_NEAR(ainv(1, 2), -0.25L, 1e-18L);
  EXPECT_NEAR(ainv(2, 2), 0.5L, 1e-18L);
  EXPECT_EQ(ainv(1, 2), ainv(2, 1));
}

TEST(Choleski, RandomPositiveDefiniteMatricesOfEveryOrder) {
  testsupport::freshstate();
  std::mt19937 gen(20261207);
  std::uniform_real_distribution<double> u(-1, 1);
  invmatrix b{"b"}, a{"a"}, l{"l"}, ainv{"ainv"};
  for (long n = 1; n <= maxinvorder; ++n) {
    SCOPED_TRACE(n);
    for (long i = 1; i <= n; ++i)
      for (long j = 1; j <= n; ++j) b(i, j) = u(gen);
    for (long i = 1; i <= n; ++i)
      for (long j = 1; j <= n; ++j) {
        extended s = i == j ? static_cast<extended>(n) : 0;
        for (long k = 1; k <= n; ++k) s += b(i, k) * b(j, k);
        a(i, j) = s;
      }
    ZQNLE4::CHOLESKI(a, l, static_cast<smallint>(n));
    ZQNLE4::INVERSE(a, ainv, static_cast<smallint>(n));
    const extended scale = maxabs(a, n), iscale = maxabs(ainv, n);
    for (long i = 1; i <= n; ++i)
      for (long j = 1; j <= n; ++j) {
        extended llt = 0, aai = 0;
        for (long k = 1; k <= n; ++k) {
          llt += l(i, k) * l(j, k);
          aai += a(i, k) * ainv(k, j);
        }
        EXPECT_LE(std::fabs(llt - a(i, j)), 1e-15L * scale) << i << "," << j;
        EXPECT_LE(std::fabs(aai - (i == j ? 1 : 0)), 1e-15L * scale * iscale) << i << "," << j;
        EXPECT_EQ(ainv(i, j), ainv(j, i));
        if (j > i) {
          EXPECT_EQ(l(i, j), 0);
        }
      }
  }
}

TEST(Choleski, NonPositivePivotWritesItsRowAndStops) {
  struct failcase {
    const char* what;
    extended a11, a21, a22;
    const char* line;
  };
  const failcase cases[] = {
      {"zero diagonal in row 1", 0, 0, 1, "  1 0.00000000E+00\n"},
      {"semidefinite: row 2 reaches 0", 1, 1, 1, "  2 0.00000000E+00\n"},
      {"negative pivot in row 2", 1, 2, 1, "  2-3.00000000E+00\n"},
  };
  for (const failcase& fc : cases) {
    SCOPED_TRACE(fc.what);
    testsupport::freshstate();
    invmatrix a{"a"}, l{"l"};
    a(1, 1) = fc.a11;
    a(2, 1) = fc.a21;
    a(2, 2) = fc.a22;
    for (int inv = 0; inv < 2; ++inv) {
      testsupport::Terminal term;
      const std::string how = fatal([&] {
        if (inv == 0)
          ZQNLE4::CHOLESKI(a, l, 2);
        else
          ZQNLE4::INVERSE(a, l, 2);
      });
      EXPECT_EQ(how, "inverse: sqrt negative");
      EXPECT_EQ(term.text().substr(0, std::string(fc.line).size()), fc.line);
    }
  }
  invmatrix a{"a"}, l{"l"};
  EXPECT_EQ(fatal([&] { ZQNLE4::CHOLESKI(a, l, maxinvorder + 1); }).substr(0, 8), "choleski");
}

TEST(MakeLu, PivotsDeterminantAndSingularity) {
  struct lucase {
    const char* what;
    long n;
    std::vector<extended> a;  // row by row
    bool ok;
    std::vector<smallint> piv;
    extended d;
  };
  const lucase cases[] = {
      {"identity: d close to, not at, 0", 3, {1, 0, 0, 0, 1, 0, 0, 0, 1}, true, {1, 2, 3}, -7.22239781e-7L},
      {"equal scaled candidates keep the earlier row; det -2", 2, {1, 1, 1, -1}, true, {1, 2}, -0.6931464583201641L},
      {"a strictly larger scaled candidate below", 2, {1, 3, 2, 0}, true, {2, 2}, -1.7917587469882736L},
      {"zero row", 2, {1, 2, 0, 0}, false, {}, 1000},
  };
  for (const lucase& lc : cases) {
    SCOPED_TRACE(lc.what);
    eqmatrix a{"a"};
    for (long i = 1; i <= lc.n; ++i)
      for (long j = 1; j <= lc.n; ++j) a(i, j) = lc.a[static_cast<std::size_t>((i - 1) * lc.n + j - 1)];
    ieqvector piv{"piv"};
    extended d = 0;
    EXPECT_EQ(ZQNLE4::MAKELU(a, piv, d, static_cast<smallint>(lc.n)), lc.ok);
    EXPECT_NEAR(d, lc.d, 1e-15L);
    for (std::size_t k = 0; k < lc.piv.size(); ++k) EXPECT_EQ(piv[static_cast<long>(k + 1)], lc.piv[k]) << k;
  }
}

TEST(Mle, SolvesEveryReactionColumnLikeADirectSolve) {
  assemblage::tables t;
  std::mt19937 gen(35);
  std::uniform_real_distribution<double> u(-1, 1);
  constexpr long n = 5;
  eqmatrix a{"a"};
  for (long i = 1; i <= n; ++i)
    for (long j = 1; j <= n; ++j) a(i, j) = u(gen) + (i == j ? 3 : 0);
  a(1, 1) = 0;  // the first step must exchange rows
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
      const extended b = i <= NR ? -static_cast<extended>((*R)(i, e)) : 0;
      EXPECT_NEAR(s, b, 1e-16L) << i << "," << e;
    }

  eqmatrix singular{"singular"};
  singular(1, 1) = 1;
  x(1, 1) = 42;
  EXPECT_FALSE(ZQNLE4::MLE(singular, x, 2));
  EXPECT_EQ(x(1, 1), 42);
}
