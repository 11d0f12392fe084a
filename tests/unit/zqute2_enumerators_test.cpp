// The subset and odometer enumerators: the order of their tuples.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqute2.h"

namespace {

using tuples = std::vector<std::vector<int>>;

// All tuples of one enumeration; positions beyond k stay -1 throughout.
tuples enumerate(smallint k, bool choose, smallint n, const iemvector& max) {
  iemvector c("c");
  choose ? ZQUTE2::SETUPCHOOSE(c, k) : ZQUTE2::SETUPLOOPER(c, k);
  tuples out;
  bool more = true;
  while (out.size() < 100000) {
    choose ? ZQUTE2::CHOOSE(c, k, n, more) : ZQUTE2::LOOPER(c, max, k, more);
    if (!more) break;
    out.emplace_back(c.begin(), c.begin() + k);
  }
  for (int j = k + 1; j <= maxem; ++j) EXPECT_EQ(c[j], -1);
  return out;
}

tuples subsets(smallint k, smallint n) { return enumerate(k, true, n, iemvector{}); }

tuples odometer(const std::vector<int>& max) {
  iemvector m("max");
  for (size_t j = 0; j < max.size(); ++j) m[static_cast<long>(j) + 1] = static_cast<smallint>(max[j]);
  return enumerate(static_cast<smallint>(max.size()), false, 0, m);
}

TEST(ZqUte2Enumerators, Order) {
  EXPECT_EQ(subsets(2, 3), (tuples{{1, 2}, {1, 3}, {2, 3}}));
  EXPECT_EQ(subsets(1, 3), (tuples{{1}, {2}, {3}}));
  EXPECT_EQ(subsets(3, 3), (tuples{{1, 2, 3}}));
  EXPECT_EQ(subsets(3, 2), tuples{});  // no 3-subset of two numbers
  EXPECT_EQ(subsets(5, 20).size(), 15504u);
  EXPECT_EQ(odometer({2, 3}), (tuples{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}}));
  EXPECT_EQ(odometer({1, 1, 1}), (tuples{{1, 1, 1}}));
  EXPECT_EQ(odometer({2, 0}), tuples{});  // a position without values
  EXPECT_EQ(odometer({3, 4, 5, 2}).size(), 120u);
}

TEST(ZqUte2Enumerators, TupleLengthsBeyondTheVectorStopTheRun) {
  testsupport::freshstate();
  iemvector c("c");
  bool more = true;
  const auto where = [&](const std::function<void()>& f) -> std::string {
    testsupport::Terminal term;
    try {
      f();
    } catch (const IO::runend& e) {
      return e.where;
    }
    return "";
  };
  EXPECT_EQ(where([&] { ZQUTE2::SETUPCHOOSE(c, 401); }), "setupchoose");
  EXPECT_EQ(where([&] { ZQUTE2::LOOPER(c, c, -1, more); }), "looper");
}

}  // namespace
