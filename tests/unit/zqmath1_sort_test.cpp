// Sorting, median and spread, quantiles, and powers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "iotestsupport.h"
#include "zqglobal.h"
#include "zqmath1.h"

namespace {

std::unique_ptr<sortvector> sample(std::initializer_list<extended> xs) {
  auto v = std::make_unique<sortvector>("sample");
  v->fill(-999);
  int i = 1;
  for (extended x : xs) (*v)[i++] = x;
  return v;
}

std::vector<extended> head(const sortvector& v, int n) { return {v.begin(), v.begin() + n}; }

template <class F>
IO::runend fatal(F f) {
  testsupport::resetio();
  testsupport::Terminal term;
  try {
    f();
  } catch (const IO::runend& e) {
    return e;
  }
  ADD_FAILURE() << "no fatal error";
  return {};
}

TEST(ZqMath1Sort, SmallLists) {
  struct {
    std::vector<extended> in, out;
  } cases[] = {
      {{3, 1, 2}, {1, 2, 3}},
      {{5}, {5}},
      {{2, 2, 1, 2, 1}, {1, 1, 2, 2, 2}},
      {{-1e30L, 4, -0.5L, 0, 1e-30L, -7}, {-1e30L, -7, -0.5L, 0, 1e-30L, 4}},
  };
  for (const auto& c : cases) {
    for (bool quick : {false, true}) {
      auto v = std::make_unique<sortvector>("v");
      v->fill(-999);
      std::copy(c.in.begin(), c.in.end(), v->begin());
      const auto n = static_cast<smallint>(c.in.size());
      if (quick)
        ZQMATH1::QUICKSORT(*v, 1, n);
      else
        ZQMATH1::SORT(*v, n);
      EXPECT_EQ(head(*v, n), c.out);
      EXPECT_EQ((*v)[n + 1], -999);  // nothing beyond the list touched
    }
  }
}

TEST(ZqMath1Sort, LongestListsAndSubranges) {
  std::mt19937_64 gen(5);
  std::uniform_int_distribution<int> d(-300, 300);  // many equal values
  auto v = std::make_unique<sortvector>("v");
  for (auto& x : *v) x = d(gen) / 7.0L;
  auto w = std::make_unique<sortvector>(*v);
  ZQMATH1::SORT(*v, maxsortlen);
  std::vector<extended> expect(w->begin(), w->end());
  std::sort(expect.begin(), expect.end());
  EXPECT_EQ(head(*v, maxsortlen), expect);

  // QUICKSORT sorts lo..hi only.
  auto q = std::make_unique<sortvector>(*w);
  ZQMATH1::QUICKSORT(*q, 100, 4000);
  std::vector<extended> mid(w->begin() + 99, w->begin() + 4000);
  std::sort(mid.begin(), mid.end());
  EXPECT_TRUE(std::equal(mid.begin(), mid.end(), q->begin() + 99));
  EXPECT_TRUE(std::equal(w->begin(), w->begin() + 99, q->begin()));
  EXPECT_TRUE(std::equal(w->begin() + 4000, w->end(), q->begin() + 4000));
}

TEST(ZqMath1Sort, MedianAndSpread) {
  struct {
    std::vector<extended> in;
    extended median;
  } medians[] = {
      {{5, 1, 3}, 3}, {{4, 1, 3, 2}, 2.5L}, {{7}, 7}, {{2, 9}, 5.5L}, {{1, 1, 1, 8, 9, 10}, 4.5L}};
  for (const auto& c : medians) {
    auto v = std::make_unique<sortvector>("v");
    std::copy(c.in.begin(), c.in.end(), v->begin());
    EXPECT_EQ(ZQMATH1::FINDMEDIAN(*v, static_cast<smallint>(c.in.size())), c.median);
    // The caller's list keeps its order.
    EXPECT_TRUE(std::equal(c.in.begin(), c.in.end(), v->begin()));
  }

  auto v = sample({1, 2, 3, 4, 100});
  // Deviations about 3 are 2, 1, 0, 1, 97: median 1.
  EXPECT_EQ(ZQMATH1::FINDNMAD(*v, 5, 3), 1 / 0.6745L);
  EXPECT_EQ((*v)[5], 100);
  // Deviations about 0 of -4, 1, 3, 2 are 4, 1, 3, 2: median 2.5.
  v = sample({-4, 1, 3, 2});
  EXPECT_EQ(ZQMATH1::FINDNMAD(*v, 4, 0), 2.5L / 0.6745L);
  v = sample({42});
  EXPECT_EQ(ZQMATH1::FINDNMAD(*v, 1, 0), 0);
}

TEST(ZqMath1Sort, QuantilesAndTheirIndices) {
  auto v = sample({1, 2, 3, 4});
  struct {
    smallint n;
    extended p, q;
  } quantiles[] = {{4, 0.5L, 2.5L}, {4, 0.3L, 2}, {4, 0, 1}, {4, -1, 1}, {4, 1, 4},
                   {4, 0.99L, 4},   {4, 0.25L, 1.5L}, {1, 0.7L, 1}, {0, 0.5L, 0}, {3, 0.5L, 2}};
  for (const auto& c : quantiles) EXPECT_EQ(ZQMATH1::QUANTILE(*v, c.n, c.p), c.q) << c.n << " " << c.p;

  struct {
    extended p;
    smallint n, index;
  } indices[] = {{0.5L, 10, 5}, {0.025L, 100, 3}, {0.975L, 1000, 975}, {0.1L, 3, 1}, {0.16L, 5000, 800}};
  for (const auto& c : indices) EXPECT_EQ(ZQMATH1::QI(c.p, c.n), c.index) << c.p << " " << c.n;
}

TEST(ZqMath1Sort, Powers) {
  // The extended value nearest to each power: what a correctly rounded
  // reading of the decimal text gives (pow is not exact for negative k).
  for (int k = -10; k <= 10; ++k) {
    const std::string text = "1e" + std::to_string(k);
    EXPECT_EQ(ZQMATH1::TENTOPOWER(static_cast<smallint>(k)), std::strtold(text.c_str(), nullptr)) << k;
  }
  EXPECT_EQ(ZQMATH1::TENTOPOWER(-7), 1e-7L);

  struct {
    extended x;
    smallint p, q;
    extended expect;
  } exact[] = {{0, 0, 1, 1},  {2, 3, 1, 8},     {4, 1, 2, 2},      {0.3L, 1, 1, 0.3L}, {3, 2, 1, 9},
               {2, 8, 1, 256}, {-2, 7, 1, -128}, {0.5L, 5, 1, 0.03125L}, {0, 4, 1, 0}, {3, 6, 1, 729}};
  for (const auto& c : exact) EXPECT_EQ(ZQMATH1::TOPOWER(c.x, c.p, c.q), c.expect) << c.x << "^" << c.p << "/" << c.q;
  // Beyond the table: through exp and ln.
  EXPECT_NEAR(static_cast<double>(ZQMATH1::TOPOWER(2, -2, 1)), 0.25, 1e-17);
  EXPECT_NEAR(static_cast<double>(ZQMATH1::TOPOWER(2, 10, 1)), 1024, 1e-12);
  EXPECT_NEAR(static_cast<double>(ZQMATH1::TOPOWER(8, 2, 3)), 4, 1e-15);
  EXPECT_NEAR(static_cast<double>(ZQMATH1::TOPOWER(0.25L, 3, 2)), 0.125, 1e-17);
}

TEST(ZqMath1Sort, BadListsStopTheRun) {
  auto v = sample({1, 2});
  IO::runend e = fatal([&] { ZQMATH1::FINDMEDIAN(*v, 0); });
  EXPECT_EQ(e.where, "findmedian");
  EXPECT_EQ(e.message, "zero length list");
  e = fatal([&] { ZQMATH1::TENTOPOWER(11); });
  EXPECT_EQ(e.where, "tentopower");
  EXPECT_EQ(e.message, "stuffed");
  e = fatal([&] { ZQMATH1::TENTOPOWER(-11); });
  EXPECT_EQ(e.where, "tentopower");
  // Lengths beyond the vector are refused before anything is touched.
  e = fatal([&] { ZQMATH1::SORT(*v, 5001); });
  EXPECT_EQ(e.where, "sort");
  e = fatal([&] { ZQMATH1::QUICKSORT(*v, 0, 2); });
  EXPECT_EQ(e.where, "quicksort");
  e = fatal([&] { ZQMATH1::QUICKSORT(*v, 4000, 5001); });
  EXPECT_EQ(e.where, "quicksort");
  e = fatal([&] { ZQMATH1::FINDMEDIAN(*v, 6000); });
  EXPECT_EQ(e.where, "findmedian");
  e = fatal([&] { ZQMATH1::FINDNMAD(*v, -3, 0); });
  EXPECT_EQ(e.where, "findnmad");
  e = fatal([&] { ZQMATH1::QUANTILE(*v, 5001, 0.5L); });
  EXPECT_EQ(e.where, "quantile");
  EXPECT_EQ((*v)[1], 1);
  EXPECT_EQ((*v)[2], 2);
}

}  // namespace
