// The singular value decomposition on the shared matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"

namespace {

using ZQGLOBAL::SSVD;
using ZQGLOBAL::USVD;
using ZQGLOBAL::VSVD;
using matrix = std::vector<std::vector<extended>>;

constexpr extended eps = std::numeric_limits<extended>::epsilon();

// Loads a into USVD, with rubbish everywhere else that the decomposition
// must neither read nor leave in SSVD, and decomposes it.
void decompose(const matrix& a) {
  USVD.fill(7);
  VSVD.fill(-7);
  SSVD.fill(99);
  for (size_t i = 0; i < a.size(); ++i)
    for (size_t j = 0; j < a[i].size(); ++j) USVD(i + 1, j + 1) = a[i][j];
  ZQMATH1::CALCSVD(static_cast<smallint>(a.size()), static_cast<smallint>(a[0].size()));
}

matrix randommatrix(std::mt19937_64& gen, int m, int n) {
  std::uniform_real_distribution<double> d(-1, 1);
  matrix a(m, std::vector<extended>(n));
  for (auto& row : a)
    for (auto& x : row) x = static_cast<extended>(d(gen)) + static_cast<extended>(d(gen)) * 1e-17L;
  return a;
}

// U S V^T gives back a to a few units of extended precision, V is
// orthogonal, the columns of U of non-zero values orthonormal, the values
// ascend and are not negative, and SSVD is clean beyond n.
void checkfactors(const matrix& a, const std::string& what) {
  const int m = static_cast<int>(a.size()), n = static_cast<int>(a[0].size());
  const extended wmax = SSVD[n], zero = 64 * std::max(m, n) * eps * wmax;
  EXPECT_GE(SSVD[1], 0) << what;
  for (int j = 2; j <= n; ++j) EXPECT_LE(SSVD[j - 1], SSVD[j]) << what;
  for (int j = n + 1; j <= maxsvdcols; ++j) ASSERT_EQ(SSVD[j], 0) << what << " w[" << j << "]";
  extended rec = 0, orthv = 0, orthu = 0;
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) {
      extended s = 0;
      for (int k = 1; k <= n; ++k) s += USVD(i, k) * SSVD[k] * VSVD(j, k);
      rec = std::max(rec, std::fabs(s - a[i - 1][j - 1]));
    }
  for (int p = 1; p <= n; ++p)
    for (int q = 1; q <= n; ++q) {
      extended sv = 0, su = 0;
      for (int k = 1; k <= n; ++k) sv += VSVD(k, p) * VSVD(k, q);
      for (int k = 1; k <= m; ++k) su += USVD(k, p) * USVD(k, q);
      orthv = std::max(orthv, std::fabs(sv - (p == q)));
      if (SSVD[p] > zero && SSVD[q] > zero) orthu = std::max(orthu, std::fabs(su - (p == q)));
    }
  EXPECT_LE(rec, 32 * eps * std::max<extended>(wmax, 1)) << what << ": reconstruction";
  EXPECT_LE(orthv, 32 * eps) << what << ": V orthogonal";
  EXPECT_LE(orthu, 32 * eps) << what << ": U orthonormal";
}

TEST(ZqMath1Svd, FullAndDeficientRank) {
  testsupport::freshstate();
  std::mt19937_64 gen(20240611);
  // m, n, rank: up to the solver's 90 x 90 Jacobian, tall and wide ones.
  const int cases[][3] = {{1, 1, 1}, {1, 5, 1}, {5, 1, 1}, {7, 4, 4}, {4, 7, 4}, {90, 90, 90},
                          {800, 6, 6}, {8, 6, 3}, {40, 25, 24}, {5, 9, 2}};
  for (const auto& c : cases) {
    const int m = c[0], n = c[1], r = c[2];
    matrix a = randommatrix(gen, m, n);
    if (r < std::min(m, n)) {
      const matrix x = randommatrix(gen, m, r), y = randommatrix(gen, r, n);
      for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) {
          a[i][j] = 0;
          for (int k = 0; k < r; ++k) a[i][j] += x[i][k] * y[k][j];
        }
    }
    decompose(a);
    const std::string what = std::to_string(m) + " x " + std::to_string(n) + " rank " + std::to_string(r);
    checkfactors(a, what);
    // The n - r zero values come first, the rest are clearly not zero.
    for (int j = 1; j <= n - r; ++j) EXPECT_LE(SSVD[j], 64 * std::max(m, n) * eps * SSVD[n]) << what;
    EXPECT_GT(SSVD[n - r + 1], 1e-6L) << what;
  }
}

TEST(ZqMath1Svd, DiagonalAndZeroMatrices) {
  testsupport::freshstate();
  const matrix a = {{3, 0, 0}, {0, -1, 0}, {0, 0, 2}};
  decompose(a);
  for (int j = 1; j <= 3; ++j) EXPECT_LE(std::fabs(SSVD[j] - j), 8 * eps) << "w[" << j << "]";
  checkfactors(a, "diag(3, -1, 2)");

  decompose(matrix(4, std::vector<extended>(3, 0)));
  for (int j = 1; j <= 3; ++j) EXPECT_EQ(SSVD[j], 0);
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 3; ++j) {
      EXPECT_EQ(USVD(i, j), i == j ? 1 : 0);
      if (i <= 3) {
        EXPECT_EQ(VSVD(i, j), i == j ? 1 : 0);
      }
    }
}

TEST(ZqMath1Svd, NonConvergenceAndBadSizes) {
  testsupport::freshstate();
  {
    // Nothing is negligible beside a NaN norm: the last value takes all its
    // QR steps, the first splits off at once.
    testsupport::Terminal term;
    decompose({{1, std::numeric_limits<extended>::quiet_NaN()}, {0, 1}});
    EXPECT_EQ(term.text(), "too many iterations (k =    2)\n");
  }
  {
    // Entries near 1e-2476, whose squares underflow, slow the QR steps to
    // a crawl: this one converges at the 30th test, 29 sweeps, within the
    // limit, and says nothing.
    testsupport::Terminal term;
    const matrix a = {{0xe.3664236ab4d5p-8226L, -0xc.d9a51627a1d1p-8226L},
                      {0xb.ac222ee8c0a3p-8226L, 0x8.102b0ec6d048p-8228L}};
    decompose(a);
    EXPECT_EQ(term.text(), "");
    EXPECT_GT(SSVD[1], 0);
    EXPECT_GT(SSVD[2], SSVD[1]);
  }
  const int sizes[][2] = {{0, 3}, {801, 3}, {3, 401}};
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

namespace {

// Symmetric eigenvalues by rotations, of random matrices of orders 1 to 12
// (B B', of rank below the order every third time, or B + B', indefinite):
// A q = lambda q with orthonormal q, ascending, the trace kept.
TEST(ZqMath1Eigen, RandomSymmetricMatrices) {
  std::mt19937_64 gen(5);
  ZQMATH1::eigenmatrix a{"a"}, q{"q"};
  emvector values{"values"};
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 1 + trial % 12, rank = n - (trial % 3 == 0 ? 1 : 0);
    const matrix b = randommatrix(gen, n, n);
    matrix s(size_t(n), std::vector<extended>(size_t(n), 0));
    extended trace = 0, sum = 0, largest = 0;
    for (size_t i = 0; i < size_t(n); ++i)
      for (size_t j = 0; j < size_t(n); ++j) {
        if (trial % 2 == 1) s[i][j] = b[i][j] + b[j][i];
        for (size_t k = 0; trial % 2 == 0 && k < size_t(rank); ++k) s[i][j] += b[i][k] * b[j][k];
        a(long(i) + 1, long(j) + 1) = s[i][j];
        largest = std::max(largest, std::fabs(s[i][j]));
        trace += i == j ? s[i][j] : 0;
      }
    ZQMATH1::SYMMETRICEIGEN(n, a, values, q);
    const double tol = 1e-16 * n * double(largest);
    for (long k = 1; k <= n; ++k) {
      sum += values[k];
      EXPECT_LE(values[k > 1 ? k - 1 : k], values[k]) << trial;
      for (long i = 1; i <= n; ++i) {
        extended av = 0, dot = 0;
        for (long j = 1; j <= n; ++j) av += s[size_t(i - 1)][size_t(j - 1)] * q(j, k), dot += q(j, k) * q(j, i);
        EXPECT_NEAR(double(av), double(values[k] * q(i, k)), tol) << trial;
        EXPECT_NEAR(double(dot), i == k ? 1.0 : 0.0, 1e-17 * n) << trial;
      }
    }
    EXPECT_NEAR(double(sum), double(trace), tol) << trial;
  }
}

}  // namespace
