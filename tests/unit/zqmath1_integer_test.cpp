// Exact integer arithmetic: divisors, multiples, rank and null space.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"

namespace {

using intmatrix = std::vector<std::vector<long long>>;

// The matrix tables the routines want, on the heap.
struct matrices {
  std::unique_ptr<liemmatrix> a = std::make_unique<liemmatrix>("a");
  std::unique_ptr<icmatrix> c = std::make_unique<icmatrix>("C");
  std::unique_ptr<rmatrix> r = std::make_unique<rmatrix>("R");
  // The run's own tables, left by an earlier test, are put back afterwards:
  // dropped, they would be lost to the heap.
  icmatrix* const runc = ZQGLOBAL::C;
  rmatrix* const runr = ZQGLOBAL::R;
  matrices() {
    ZQGLOBAL::C = c.get();
    ZQGLOBAL::R = r.get();
    ZQGLOBAL::NR = 0;
    testsupport::freshstate();
  }
  ~matrices() {
    ZQGLOBAL::C = runc;
    ZQGLOBAL::R = runr;
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

IO::runend fatal(const std::function<void()>& f) {
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
  testsupport::freshstate();
  const struct {
    longint a, b, gcd, lcm;
  } cases[] = {{0, 0, 0, 0}, {-12, 18, 6, 36}, {-3, -3, 3, -3}, {-3, 3, 3, 3}, {4, 6, 2, 12}, {0, -5, 5, 0}};
  for (const auto& t : cases) {
    EXPECT_EQ(ZQMATH1::GCD(t.a, t.b), t.gcd) << t.a << " " << t.b;
    EXPECT_EQ(ZQMATH1::LCM(t.a, t.b), t.lcm) << t.a << " " << t.b;
  }
  EXPECT_EQ(ZQMATH1::VECTORGCD(vec({-4}), 1), -4);
  EXPECT_EQ(ZQMATH1::VECTORGCD(vec({-4, 6}), 2), 2);
  EXPECT_EQ(ZQMATH1::VECTORGCD(vec({0, 0, 0}), 3), 0);
  EXPECT_EQ(ZQMATH1::VECTORGCD(vec({12, -18, 30}), 3), 6);
  EXPECT_EQ(ZQMATH1::VECTORLCM(vec({4, 6}), 0), 0);
  EXPECT_EQ(ZQMATH1::VECTORLCM(vec({4, 6, 10}), 3), 60);

  emvector v("v");
  v[1] = 0.5L;
  v[2] = 0.25L;
  v[3] = 2;
  longint m = 0;
  ZQMATH1::REALS2INTEGERS(v, 3, m);
  EXPECT_EQ(m, 4);
  EXPECT_EQ(v[1] * 100 + v[2] * 10 + v[3], 218);

  // Multiples that do not fit stop the run; the running one is 16 bits.
  EXPECT_EQ(fatal([] { ZQMATH1::VECTORLCM(vec({200, 199}), 2); }).where, "vectorlcm");
  EXPECT_EQ(fatal([] { ZQMATH1::LCM(2000000000, 1999999999); }).where, "lcm");
  EXPECT_EQ(fatal([] { ZQMATH1::GCD(-2147483647 - 1, 0); }).where, "gcd");
}

TEST(ZqMath1Integer, RankAndNullSpace) {
  matrices t;
  const struct {
    intmatrix a;
    int rank;
  } ranks[] = {
      {{{0, 0, 0}, {0, 0, 0}}, 0},
      {{{0, 0, 5}, {0, 0, 0}}, 1},
      {{{3, 1, 4, 1}}, 1},
      {{{0, 2, 1}, {0, 4, 2}, {1, 0, 0}}, 2},
      {{{3, -536870912}, {2, 1073741824}}, 2},  // 2^32 must not wrap to 0
  };
  for (const auto& c : ranks) {
    t.set(c.a);
    EXPECT_EQ(ZQMATH1::CALCRANK(*t.a, static_cast<smallint>(c.a.size()), static_cast<smallint>(c.a[0].size())), c.rank);
  }
  EXPECT_EQ((*t.a)(2, 2), 1073741824);  // the caller's matrix is left as it was

  const struct {
    intmatrix a;
    int rank;
    intmatrix reactions;
  } spaces[] = {
      {{{1, 1, 2}}, 1, {{-2, 0, 1}, {-1, 1, 0}}},
      {{{1, 0, 2}, {0, 0, 3}}, 2, {{0, 0, 0}}},  // a zero column: an all-zero reaction
      {{{1, 2}, {3, 4}, {5, 7}}, 2, {}},
      {{{0, 1, 0, 2}, {1, 0, 1, 1}, {0, 0, 1, 1}}, 3, {{0, -2, -1, 1}}},
  };
  for (const auto& c : spaces) {
    t.set(c.a);
    ZQGLOBAL::NR = 5;  // appended after what is there
    const auto n = static_cast<int>(c.a[0].size());
    EXPECT_EQ(ZQMATH1::NULLSPACE(*t.a, static_cast<smallint>(c.a.size()), static_cast<smallint>(n)), c.rank);
    ASSERT_EQ(ZQGLOBAL::NR, 5 + static_cast<int>(c.reactions.size()));
    for (size_t k = 0; k < c.reactions.size(); ++k) EXPECT_EQ(t.reaction(6 + static_cast<int>(k), n), c.reactions[k]);
  }
}

TEST(ZqMath1Integer, RandomCompositions) {
  matrices t;
  std::mt19937 gen(271828);
  for (int trial = 0; trial < 300; ++trial) {
    const int m = 1 + gen() % 6, n = m + gen() % 8;
    intmatrix a(m, std::vector<long long>(n));
    for (auto& row : a)
      for (auto& x : row) x = gen() % 3 == 0 ? gen() % 5 : 0;
    if (m > 2 && trial % 4 == 1)  // a dependent row
      for (int j = 0; j < n; ++j) a[m - 1][j] = a[0][j] - 2 * a[1][j];
    t.set(a);
    ZQGLOBAL::NR = 0;
    const smallint rank = ZQMATH1::CALCRANK(*t.a, static_cast<smallint>(m), static_cast<smallint>(n));
    ASSERT_EQ(ZQMATH1::NULLSPACE(*t.a, static_cast<smallint>(m), static_cast<smallint>(n)), rank) << trial;
    ASSERT_EQ(ZQGLOBAL::NR, n - rank) << trial;
    // Each reaction balances (checked inside) and is in lowest terms.
    for (int k = 1; k <= ZQGLOBAL::NR; ++k) {
      long long g = 0;
      for (long long x : t.reaction(k, n)) g = std::gcd(g, x);
      EXPECT_TRUE(g == 0 || g == 1) << "trial " << trial << " reaction " << k;
    }
  }
}

TEST(ZqMath1Integer, NullSpaceFaultsStopTheRun) {
  matrices t;
  const struct {
    intmatrix a;
    int nr;
    const char* part;
  } rows[] = {
      {{{1, 1, 2}}, 149, "too many reactions"},
      {{{7, 0, 30000}, {0, 2, 1}}, 0, "too large"},  // a coefficient of -60000
  };
  for (const auto& r : rows) {
    t.set(r.a);
    ZQGLOBAL::NR = static_cast<smallint>(r.nr);
    const auto e = fatal([&] { ZQMATH1::NULLSPACE(*t.a, static_cast<smallint>(r.a.size()), 3); });
    EXPECT_EQ(e.where, "nullspace");
    EXPECT_NE(e.message.find(r.part), std::string::npos) << e.message;
  }
  // Entries whose elimination passes even 64 bits.
  std::mt19937 gen(99);
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 6; ++j) (*t.a)(i, j) = static_cast<longint>(1000000000 + gen() % 100000000);
  EXPECT_NE(fatal([&] { ZQMATH1::NULLSPACE(*t.a, 5, 6); }).message.find("overflow"), std::string::npos);
  EXPECT_EQ(fatal([&] { ZQMATH1::CALCRANK(*t.a, 3, 401); }).where, "calcrank");

  t.set({{1, 1, 2}});
  (*t.c)(1, 3) = 3;  // C no longer the matrix handed over
  const auto e = fatal([&] { ZQMATH1::NULLSPACE(*t.a, 1, 3); });
  EXPECT_EQ(e.where, "nullspace");
  EXPECT_EQ(e.message, "reaction doesn't balance");
}

}  // namespace
