// The singular value decomposition on the shared matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "iotestsupport.h"
#include "zqglobal.h"
#include "zqmath1.h"

namespace {

using ZQGLOBAL::SSVD;
using ZQGLOBAL::USVD;
using ZQGLOBAL::VSVD;
using matrix = std::vector<std::vector<extended>>;

constexpr extended eps = std::numeric_limits<extended>::epsilon();

// Fills USVD with a, and the rest of all three with rubbish that the
// decomposition must neither read nor leave in SSVD.
void load(const matrix& a) {
  USVD.fill(7);
  VSVD.fill(-7);
  SSVD.fill(99);
  for (size_t i = 0; i < a.size(); ++i)
    for (size_t j = 0; j < a[i].size(); ++j) USVD(i + 1, j + 1) = a[i][j];
}

matrix randommatrix(std::mt19937_64& gen, int m, int n) {
  std::uniform_real_distribution<double> d(-1, 1);
  matrix a(m, std::vector<extended>(n));
  for (auto& row : a)
    for (auto& x : row) x = static_cast<extended>(d(gen)) + static_cast<extended>(d(gen)) * 1e-17L;
  return a;
}

// Checks the factors: U S V^T gives back a, V is orthogonal, the columns of
// U of non-zero values are orthonormal, the values ascend and are not
// negative, and SSVD is clean beyond n.
void checkfactors(const matrix& a, const std::string& what) {
  const int m = static_cast<int>(a.size()), n = static_cast<int>(a[0].size());
  const extended wmax = SSVD[n];
  // A few units of extended precision; double would be some 2000 times off.
  const extended tol = 32 * eps * std::max<extended>(wmax, 1);
  for (int j = 1; j <= n; ++j) EXPECT_GE(SSVD[j], 0) << what;
  for (int j = 2; j <= n; ++j) EXPECT_LE(SSVD[j - 1], SSVD[j]) << what;
  for (int j = n + 1; j <= maxsvdcols; ++j) ASSERT_EQ(SSVD[j], 0) << what << " w[" << j << "]";

  extended worst = 0;
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) {
      extended s = 0;
      for (int k = 1; k <= n; ++k) s += USVD(i, k) * SSVD[k] * VSVD(j, k);
      worst = std::max(worst, std::fabs(s - a[i - 1][j - 1]));
    }
  EXPECT_LE(worst, tol) << what << ": reconstruction";

  worst = 0;
  for (int p = 1; p <= n; ++p)
    for (int q = 1; q <= n; ++q) {
      extended s = 0;
      for (int k = 1; k <= n; ++k) s += VSVD(k, p) * VSVD(k, q);
      worst = std::max(worst, std::fabs(s - (p == q ? 1 : 0)));
    }
  EXPECT_LE(worst, 32 * eps) << what << ": V orthogonal";

  const extended zero = 64 * std::max(m, n) * eps * wmax;
  worst = 0;
  for (int p = 1; p <= n; ++p)
    for (int q = 1; q <= n; ++q) {
      if (SSVD[p] <= zero || SSVD[q] <= zero) continue;
      extended s = 0;
      for (int k = 1; k <= m; ++k) s += USVD(k, p) * USVD(k, q);
      worst = std::max(worst, std::fabs(s - (p == q ? 1 : 0)));
    }
  EXPECT_LE(worst, 32 * eps) << what << ": U orthonormal";
}

TEST(ZqMath1Svd, RandomMatrices) {
  testsupport::resetio();
  std::mt19937_64 gen(20240611);
  // Up to the solver's 90 x 90 Jacobian, taller ones for the least-squares
  // fits, and wide ones.
  const int sizes[][2] = {{1, 1}, {1, 5}, {5, 1}, {2, 2}, {3, 3}, {7, 4}, {4, 7},
                          {30, 12}, {12, 30}, {90, 90}, {200, 40}, {800, 6}};
  for (const auto& s : sizes) {
    const matrix a = randommatrix(gen, s[0], s[1]);
    load(a);
    ZQMATH1::CALCSVD(static_cast<smallint>(s[0]), static_cast<smallint>(s[1]));
    checkfactors(a, std::to_string(s[0]) + " x " + std::to_string(s[1]));
  }
}

TEST(ZqMath1Svd, RankDeficientMatrices) {
  testsupport::resetio();
  std::mt19937_64 gen(31337);
  const int cases[][3] = {{8, 6, 3}, {20, 20, 1}, {40, 25, 24}, {5, 9, 2}};
  for (const auto& c : cases) {
    const int m = c[0], n = c[1], r = c[2];
    const matrix x = randommatrix(gen, m, r), y = randommatrix(gen, r, n);
    matrix a(m, std::vector<extended>(n, 0));
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j)
        for (int k = 0; k < r; ++k) a[i][j] += x[i][k] * y[k][j];
    load(a);
    ZQMATH1::CALCSVD(static_cast<smallint>(m), static_cast<smallint>(n));
    const std::string what = "rank " + std::to_string(r) + " of " + std::to_string(m) + " x " + std::to_string(n);
    checkfactors(a, what);
    // The n - r zero values come first, the rest are clearly not zero.
    const extended zero = 64 * std::max(m, n) * eps * SSVD[n];
    for (int j = 1; j <= n - r; ++j) EXPECT_LE(SSVD[j], zero) << what << " w[" << j << "]";
    EXPECT_GT(SSVD[n - r + 1], 1e-6L) << what;
  }
}

TEST(ZqMath1Svd, DiagonalMatrix) {
  testsupport::resetio();
  const matrix a = {{3, 0, 0}, {0, -1, 0}, {0, 0, 2}};
  load(a);
  ZQMATH1::CALCSVD(3, 3);
  for (int j = 1; j <= 3; ++j) EXPECT_LE(std::fabs(SSVD[j] - j), 8 * eps) << "w[" << j << "]";
  // Each column of V a signed unit vector.
  for (int j = 1; j <= 3; ++j) {
    int units = 0;
    for (int i = 1; i <= 3; ++i) units += std::fabs(std::fabs(VSVD(i, j)) - 1) < 1e-18L;
    EXPECT_EQ(units, 1) << "column " << j;
  }
  checkfactors(a, "diag(3, -1, 2)");
}

TEST(ZqMath1Svd, ZeroMatrix) {
  testsupport::resetio();
  const int m = 4, n = 3;
  load(matrix(m, std::vector<extended>(n, 0)));
  ZQMATH1::CALCSVD(m, n);
  for (int j = 1; j <= n; ++j) EXPECT_EQ(SSVD[j], 0);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) EXPECT_EQ(VSVD(i, j), i == j ? 1 : 0);
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) EXPECT_EQ(USVD(i, j), i == j ? 1 : 0);
}

TEST(ZqMath1Svd, ValueThatNeverConvergesIsReportedAndPassedOver) {
  testsupport::resetio();
  // Nothing is negligible beside a NaN norm: the last value takes all its
  // QR steps, the first splits off at once.
  load({{1, std::numeric_limits<extended>::quiet_NaN()}, {0, 1}});
  testsupport::Terminal term;
  ZQMATH1::CALCSVD(2, 2);
  EXPECT_EQ(term.text(), "too many iterations (k =    2)\n");
}

TEST(ZqMath1Svd, SizesBeyondTheMatricesStopTheRun) {
  testsupport::resetio();
  const int sizes[][2] = {{0, 3}, {3, 0}, {801, 3}, {3, 401}, {-1, -1}};
  for (const auto& s : sizes) {
    testsupport::Terminal term;
    try {
      ZQMATH1::CALCSVD(static_cast<smallint>(s[0]), static_cast<smallint>(s[1]));
      ADD_FAILURE() << s[0] << " x " << s[1] << " accepted";
    } catch (const IO::runend& e) {
      EXPECT_EQ(e.where, "calcsvd");
    }
  }
}

}  // namespace
