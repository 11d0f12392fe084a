// Sorting, median and spread, quantiles, and powers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"

namespace {

// A list in a vector whose other entries are -999.
std::unique_ptr<sortvector> sample(const std::vector<extended>& xs) {
  auto v = std::make_unique<sortvector>("sample");
  v->fill(-999);
  std::copy(xs.begin(), xs.end(), v->begin());
  return v;
}

std::vector<extended> head(const sortvector& v, int n) { return {v.begin(), v.begin() + n}; }

TEST(ZqMath1Sort, Sorts) {
  const struct {
    std::vector<extended> in, out;
  } cases[] = {{{3, 1, 2}, {1, 2, 3}}, {{5}, {5}}, {{2, 2, 1, 2, 1}, {1, 1, 2, 2, 2}}};
  for (const auto& c : cases)
    for (bool quick : {false, true}) {
      auto v = sample(c.in);
      const auto n = static_cast<smallint>(c.in.size());
      quick ? ZQMATH1::QUICKSORT(*v, 1, n) : ZQMATH1::SORT(*v, n);
      EXPECT_EQ(head(*v, n + 1), [&] { auto o = c.out; o.push_back(-999); return o; }());
    }
  // The longest list, with many equal values.
  std::mt19937_64 gen(5);
  auto v = std::make_unique<sortvector>("v");
  for (auto& x : *v) x = static_cast<int>(gen() % 601) - 300;
  std::vector<extended> expect(v->begin(), v->end());
  std::sort(expect.begin(), expect.end());
  ZQMATH1::SORT(*v, maxsortlen);
  EXPECT_EQ(head(*v, maxsortlen), expect);
}

TEST(ZqMath1Sort, StatisticsAndPowers) {
  const struct {
    std::vector<extended> in;
    extended median;
  } medians[] = {{{5, 1, 3}, 3}, {{4, 1, 3, 2}, 2.5L}, {{7}, 7}};
  for (const auto& c : medians) {
    auto v = sample(c.in);
    EXPECT_EQ(ZQMATH1::FINDMEDIAN(*v, static_cast<smallint>(c.in.size())), c.median);
    EXPECT_EQ(head(*v, static_cast<int>(c.in.size())), c.in);  // the caller's order kept
  }
  // Deviations about 3 are 2, 1, 0, 1, 97: median 1.
  EXPECT_EQ(ZQMATH1::FINDNMAD(*sample({1, 2, 3, 4, 100}), 5, 3), 1 / 0.6745L);
  EXPECT_EQ(ZQMATH1::FINDNMAD(*sample({42}), 1, 0), 0);

  auto v = sample({1, 2, 3, 4});
  EXPECT_EQ(ZQMATH1::QUANTILE(*v, 4, 0.5L), 2.5L);
  EXPECT_EQ(ZQMATH1::QUANTILE(*v, 4, 0.3L), 2);
  EXPECT_EQ(ZQMATH1::QI(0.5L, 10), 5);
  EXPECT_EQ(ZQMATH1::QI(0.025L, 100), 3);
  EXPECT_EQ(ZQMATH1::QI(0.975L, 1000), 975);

  // The extended value nearest to each power, as a correct reading gives.
  for (int k = -10; k <= 10; ++k)
    EXPECT_EQ(ZQMATH1::TENTOPOWER(static_cast<smallint>(k)), std::strtold(("1e" + std::to_string(k)).c_str(), nullptr));
  const struct {
    extended x;
    smallint p, q;
    extended expect;
  } exact[] = {{0, 0, 1, 1}, {2, 3, 1, 8}, {4, 1, 2, 2}, {-2, 7, 1, -128}, {3, 6, 1, 729}, {2, 8, 1, 256}};
  for (const auto& c : exact) EXPECT_EQ(ZQMATH1::TOPOWER(c.x, c.p, c.q), c.expect) << c.x << "^" << c.p;
  EXPECT_NEAR(static_cast<double>(ZQMATH1::TOPOWER(8, 2, 3)), 4, 1e-15);
}

TEST(ZqMath1Sort, BadCallsStopTheRun) {
  testsupport::freshstate();
  auto v = sample({1, 2});
  const struct {
    std::function<void()> call;
    const char* where;
    const char* message;
  } rows[] = {
      {[&] { ZQMATH1::FINDMEDIAN(*v, 0); }, "findmedian", "zero length list"},
      {[&] { ZQMATH1::TENTOPOWER(11); }, "tentopower", "stuffed"},
      {[&] { ZQMATH1::TENTOPOWER(-11); }, "tentopower", "stuffed"},
      // lengths beyond the vector are refused before anything is touched
      {[&] { ZQMATH1::SORT(*v, 5001); }, "sort", nullptr},
      {[&] { ZQMATH1::QUICKSORT(*v, 0, 2); }, "quicksort", nullptr},
      {[&] { ZQMATH1::FINDNMAD(*v, -3, 0); }, "findnmad", nullptr},
  };
  for (const auto& r : rows) {
    testsupport::Terminal term;
    try {
      r.call();
      ADD_FAILURE() << r.where << " went on";
    } catch (const IO::runend& e) {
      EXPECT_EQ(e.where, r.where);
      EXPECT_EQ(e.message, r.message ? r.message : e.message);
    }
  }
  EXPECT_EQ(head(*v, 3), (std::vector<extended>{1, 2, -999}));
}

}  // namespace
