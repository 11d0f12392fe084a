// Exact integer arithmetic: divisors, multiples, rank and null space.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "iotestsupport.h"
#include "zqglobal.h"
#include "zqmath1.h"

namespace {

using i128 = __int128;
using intmatrix = std::vector<std::vector<long long>>;

// Rank by Bareiss elimination in 128-bit integers: an independent oracle.
int bareissrank(intmatrix a) {
  const int m = static_cast<int>(a.size()), n = static_cast<int>(a[0].size());
  std::vector<std::vector<i128>> b(m, std::vector<i128>(n));
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j) b[i][j] = a[i][j];
  int rank = 0;
  i128 prev = 1;
  for (int col = 0; col < n && rank < m; ++col) {
    int piv = -1;
    for (int r = rank; r < m; ++r)
      if (b[r][col] != 0) {
        piv = r;
        break;
      }
    if (piv < 0) continue;
    std::swap(b[piv], b[rank]);
    for (int r = rank + 1; r < m; ++r) {
      for (int j = col + 1; j < n; ++j) b[r][j] = (b[rank][col] * b[r][j] - b[r][col] * b[rank][j]) / prev;
      b[r][col] = 0;
    }
    prev = b[rank][col];
    ++rank;
  }
  return rank;
}

// The matrix tables the routines want, on the heap (640 kB each).
struct matrices {
  std::unique_ptr<liemmatrix> a = std::make_unique<liemmatrix>("a");
  std::unique_ptr<cmatrix> c = std::make_unique<cmatrix>("C");
  std::unique_ptr<rmatrix> r = std::make_unique<rmatrix>("R");
  matrices() {
    ZQGLOBAL::C = c.get();
    ZQGLOBAL::R = r.get();
    ZQGLOBAL::NR = 0;
    testsupport::resetio();
  }
  ~matrices() {
    ZQGLOBAL::C = nullptr;
    ZQGLOBAL::R = nullptr;
  }
  // The composition matrix and its longint copy, as the reaction builder
  // hands them over.
  void set(const intmatrix& m) {
    for (size_t i = 0; i < m.size(); ++i)
      for (size_t j = 0; j < m[i].size(); ++j) {
        (*a)(i + 1, j + 1) = static_cast<longint>(m[i][j]);
        (*c)(i + 1, j + 1) = static_cast<smallint>(m[i][j]);
      }
  }
  std::vector<long long> reaction(int k, int n) const {
    std::vector<long long> v;
    for (int l = 1; l <= n; ++l) v.push_back((*r)(k, l));
    return v;
  }
};

liemvector vec(std::initializer_list<longint> xs) {
  liemvector v("v");
  int i = 1;
  for (longint x : xs) v[i++] = x;
  return v;
}

template <class F>
IO::runend fatal(F f) {
  testsupport::Terminal term;
  try {
    f();
  } catch (const IO::runend& e) {
    return e;
  }
  ADD_FAILURE() << "no fatal error";
  return {};
}

TEST(ZqMath1Integer, DivisorsAndMultiples) {
  testsupport::resetio();
  struct {
    longint a, b, gcd, lcm;
  } cases[] = {{0, 0, 0, 0},   {-12, 18, 6, 36}, {-3, -3, 3, -3}, {-3, 3, 3, 3}, {4, 6, 2, 12},
               {7, 0, 7, 0},   {0, -5, 5, 0},    {17, 5, 1, 85},  {-4, 6, 2, 12}, {30000, 20000, 10000, 60000}};
  for (const auto& t : cases) {
    EXPECT_EQ(ZQMATH1::GCD(t.a, t.b), t.gcd) << t.a << " " << t.b;
    EXPECT_EQ(ZQMATH1::LCM(t.a, t.b), t.lcm) << t.a << " " << t.b;
  }

  EXPECT_EQ(ZQMATH1::VECTORGCD(vec({-4}), 1), -4);
  EXPECT_EQ(ZQMATH1::VECTORGCD(vec({-4, 6}), 2), 2);
  EXPECT_EQ(ZQMATH1::VECTORGCD(vec({0, 0, 0}), 3), 0);
  EXPECT_EQ(ZQMATH1::VECTORGCD(vec({12, -18, 30}), 3), 6);
  EXPECT_EQ(ZQMATH1::VECTORGCD(vec({12, -18, 30}), 0), 0);
  EXPECT_EQ(ZQMATH1::VECTORGCD(vec({12}), 401), 0);

  EXPECT_EQ(ZQMATH1::VECTORLCM(vec({4, 6}), 0), 0);
  EXPECT_EQ(ZQMATH1::VECTORLCM(vec({4, 6, 10}), 3), 60);
  EXPECT_EQ(ZQMATH1::VECTORLCM(vec({-5}), 1), -5);
}

TEST(ZqMath1Integer, MultiplesThatDoNotFitStopTheRun) {
  // The running multiple is 16 bits: 200 * 199 = 39800 does not fit.
  IO::runend e = fatal([] { ZQMATH1::VECTORLCM(vec({200, 199}), 2); });
  EXPECT_EQ(e.where, "vectorlcm");
  EXPECT_NE(e.message.find("too large"), std::string::npos);
  e = fatal([] { ZQMATH1::VECTORLCM(vec({40000}), 1); });
  EXPECT_EQ(e.where, "vectorlcm");
  e = fatal([] { ZQMATH1::LCM(2000000000, 1999999999); });
  EXPECT_EQ(e.where, "lcm");
  e = fatal([] { ZQMATH1::GCD(-2147483647 - 1, 0); });
  EXPECT_EQ(e.where, "gcd");
}

TEST(ZqMath1Integer, RealsToIntegers) {
  testsupport::resetio();
  emvector v("v");
  v[1] = 0.5L;
  v[2] = 0.25L;
  v[3] = 2;
  longint m = 0;
  ZQMATH1::REALS2INTEGERS(v, 3, m);
  EXPECT_EQ(m, 4);
  EXPECT_EQ(v[1], 2);
  EXPECT_EQ(v[2], 1);
  EXPECT_EQ(v[3], 8);

  v[1] = -1.0L / 3;
  v[2] = 0.75L;
  ZQMATH1::REALS2INTEGERS(v, 2, m);
  EXPECT_EQ(m, 12);
  EXPECT_EQ(v[1], -4);
  EXPECT_EQ(v[2], 9);
}

TEST(ZqMath1Integer, RankEdgeCases) {
  matrices t;
  struct {
    intmatrix a;
    int rank;
  } cases[] = {
      {{{0, 0, 0}, {0, 0, 0}}, 0},
      {{{0, 0, 5}, {0, 0, 0}}, 1},
      {{{3, 1, 4, 1}}, 1},
      {{{1, 2}, {2, 4}, {3, 6}}, 1},
      {{{1, 0}, {0, 1}, {1, 1}}, 2},
      {{{0, 2, 1}, {0, 4, 2}, {1, 0, 0}}, 2},
      {{{2, 4, 6}, {1, 2, 3}, {0, 0, 1}}, 2},
  };
  for (const auto& c : cases) {
    t.set(c.a);
    const auto m = static_cast<smallint>(c.a.size()), n = static_cast<smallint>(c.a[0].size());
    EXPECT_EQ(ZQMATH1::CALCRANK(*t.a, m, n), c.rank);
    EXPECT_EQ(bareissrank(c.a), c.rank);
  }
  // The caller's matrix is left as it was.
  t.set({{2, 4, 6}, {1, 2, 3}});
  ZQMATH1::CALCRANK(*t.a, 2, 3);
  EXPECT_EQ((*t.a)(2, 1), 1);
  EXPECT_EQ((*t.a)(1, 3), 6);
}

TEST(ZqMath1Integer, RankOfRandomMatricesMatchesBareiss) {
  matrices t;
  std::mt19937 gen(4711);
  for (int trial = 0; trial < 300; ++trial) {
    // Large entries on some trials: the products of the elimination pass 32
    // bits and must not wrap (three rows keep them within 64).
    const bool large = trial % 3 == 0;
    const int m = 1 + gen() % (large ? 3 : 7), n = 1 + gen() % 9;
    const int span = large ? 3000 : 4;
    std::uniform_int_distribution<int> d(-span, span);
    intmatrix a(m, std::vector<long long>(n));
    for (auto& row : a)
      for (auto& x : row) x = trial % 2 ? std::abs(d(gen)) * (gen() % 3 == 0) : d(gen);
    if (m > 2 && trial % 4 == 1)  // a dependent row
      for (int j = 0; j < n; ++j) a[m - 1][j] = a[0][j] - 2 * a[1][j];
    t.set(a);
    EXPECT_EQ(ZQMATH1::CALCRANK(*t.a, static_cast<smallint>(m), static_cast<smallint>(n)), bareissrank(a))
        << "trial " << trial;
  }
}

TEST(ZqMath1Integer, NullSpaceOfOneRow) {
  matrices t;
  t.set({{1, 1, 2}});
  EXPECT_EQ(ZQMATH1::NULLSPACE(*t.a, 1, 3), 1);
  ASSERT_EQ(ZQGLOBAL::NR, 2);
  EXPECT_EQ(t.reaction(1, 3), (std::vector<long long>{-2, 0, 1}));
  EXPECT_EQ(t.reaction(2, 3), (std::vector<long long>{-1, 1, 0}));
}

TEST(ZqMath1Integer, NullSpaceSpecialColumns) {
  matrices t;
  // A column that is zero everywhere gives an all-zero reaction.
  t.set({{1, 0, 2}, {0, 0, 3}});
  EXPECT_EQ(ZQMATH1::NULLSPACE(*t.a, 2, 3), 2);
  ASSERT_EQ(ZQGLOBAL::NR, 1);
  EXPECT_EQ(t.reaction(1, 3), (std::vector<long long>{0, 0, 0}));

  // Full column rank: nothing appended, the count already there kept.
  ZQGLOBAL::NR = 5;
  t.set({{1, 2}, {3, 4}, {5, 7}});
  EXPECT_EQ(ZQMATH1::NULLSPACE(*t.a, 3, 2), 2);
  EXPECT_EQ(ZQGLOBAL::NR, 5);

  // Pivots out of diagonal order: H2O, CO2, and a carbonate-like phase.
  ZQGLOBAL::NR = 0;
  t.set({{0, 1, 0, 2}, {1, 0, 1, 1}, {0, 0, 1, 1}});
  EXPECT_EQ(ZQMATH1::NULLSPACE(*t.a, 3, 4), 3);
  ASSERT_EQ(ZQGLOBAL::NR, 1);
  EXPECT_EQ(t.reaction(1, 4), (std::vector<long long>{0, -2, -1, 1}));
}

TEST(ZqMath1Integer, NullSpaceOfRandomCompositions) {
  matrices t;
  std::mt19937 gen(271828);
  for (int trial = 0; trial < 300; ++trial) {
    const int m = 1 + gen() % 6, n = m + gen() % 8;
    intmatrix a(m, std::vector<long long>(n));
    for (auto& row : a)
      for (auto& x : row) x = gen() % 3 == 0 ? gen() % 5 : 0;
    // No empty end-member; a dependent last row on some trials.
    const bool dependent = m > 2 && trial % 3 == 0;
    for (int j = 0; j < n; ++j) a[gen() % (dependent ? m - 1 : m)][j] = 1 + gen() % 4;
    if (dependent)
      for (int j = 0; j < n; ++j) a[m - 1][j] = a[0][j] + a[1][j];
    t.set(a);
    ZQGLOBAL::NR = 0;
    const smallint rank = ZQMATH1::NULLSPACE(*t.a, static_cast<smallint>(m), static_cast<smallint>(n));
    const int expectedrank = bareissrank(a);
    ASSERT_EQ(rank, expectedrank) << "trial " << trial;
    ASSERT_EQ(ZQGLOBAL::NR, n - expectedrank) << "trial " << trial;

    intmatrix reactions;
    for (int k = 1; k <= ZQGLOBAL::NR; ++k) {
      const std::vector<long long> v = t.reaction(k, n);
      for (int i = 0; i < m; ++i) {
        long long sum = 0;
        for (int l = 0; l < n; ++l) sum += a[i][l] * v[l];
        EXPECT_EQ(sum, 0) << "trial " << trial << " reaction " << k << " component " << i + 1;
      }
      long long g = 0;
      for (long long x : v) g = std::gcd(g, x);
      EXPECT_EQ(g, 1) << "trial " << trial << " reaction " << k;
      reactions.push_back(v);
    }
    // The reactions are independent: a basis, not just members.
    if (!reactions.empty()) {
      EXPECT_EQ(bareissrank(reactions), static_cast<int>(reactions.size()));
    }
  }
}

TEST(ZqMath1Integer, NullSpaceLimitsStopTheRun) {
  matrices t;
  // The reaction table is full.
  t.set({{1, 1, 2}});
  ZQGLOBAL::NR = 149;
  IO::runend e = fatal([&] { ZQMATH1::NULLSPACE(*t.a, 1, 3); });
  EXPECT_EQ(e.where, "nullspace");
  EXPECT_NE(e.message.find("too many reactions"), std::string::npos);
  EXPECT_EQ(ZQGLOBAL::NR, 150);

  // A coefficient of -60000 cannot be held.
  t.set({{7, 0, 30000}, {0, 2, 1}});
  ZQGLOBAL::NR = 0;
  e = fatal([&] { ZQMATH1::NULLSPACE(*t.a, 2, 3); });
  EXPECT_EQ(e.where, "nullspace");
  EXPECT_NE(e.message.find("too large"), std::string::npos);
  EXPECT_EQ(ZQGLOBAL::NR, 0);

  // Entries whose elimination passes even 64 bits.
  std::mt19937 gen(99);
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 6; ++j) (*t.a)(i, j) = static_cast<longint>(1000000000 + gen() % 100000000);
  e = fatal([&] { ZQMATH1::NULLSPACE(*t.a, 5, 6); });
  EXPECT_EQ(e.where, "nullspace");
  EXPECT_NE(e.message.find("overflow"), std::string::npos);

  e = fatal([&] { ZQMATH1::NULLSPACE(*t.a, 0, 3); });
  EXPECT_EQ(e.where, "nullspace");
  e = fatal([&] { ZQMATH1::CALCRANK(*t.a, 3, 401); });
  EXPECT_EQ(e.where, "calcrank");
}

TEST(ZqMath1Integer, NullSpaceReactionsThatDoNotBalanceStopTheRun) {
  matrices t;
  t.set({{1, 1, 2}});
  (*t.c)(1, 3) = 3;  // C no longer the matrix handed over
  IO::runend e = fatal([&] { ZQMATH1::NULLSPACE(*t.a, 1, 3); });
  EXPECT_EQ(e.where, "nullspace");
  EXPECT_EQ(e.message, "reaction doesn't balance");
}

TEST(ZqMath1Integer, WorkingMatrixPrintout) {
  testsupport::ScratchDir dir;
  testsupport::resetio();
  testsupport::openchannel(4, "x-ic.txt");
  auto b = std::make_unique<ZQMATH1::workmatrix>();
  (*b)(1, 1) = 1;
  (*b)(1, 2) = -20;
  (*b)(2, 1) = 300;
  (*b)(2, 2) = 0;
  ZQMATH1::NULLSPACE_PRINTA(*b, 2, 2);
  testsupport::resetio();
  EXPECT_EQ(dir.read("x-ic.txt"), "x =   {{  1, -20},\n       {300,   0}};\n\n");
}

}  // namespace
