// The subset and odometer enumerators: the order of their tuples.
#include <gtest/gtest.h>

#include <vector>

#include "iotestsupport.h"
#include "zqglobal.h"
#include "zqute2.h"

namespace {

using tuples = std::vector<std::vector<int>>;

tuples allsubsets(smallint k, smallint n) {
  iemvector c("c");
  ZQUTE2::SETUPCHOOSE(c, k);
  for (int j = k + 1; j <= maxem; ++j) EXPECT_EQ(c[j], -1);
  tuples out;
  bool more = true;
  while (true) {
    ZQUTE2::CHOOSE(c, k, n, more);
    if (!more) break;
    out.emplace_back(c.begin(), c.begin() + k);
    if (out.size() > 100000) break;
  }
  for (int j = k + 1; j <= maxem; ++j) EXPECT_EQ(c[j], -1);
  return out;
}

tuples alltuples(std::vector<int> max) {
  const auto k = static_cast<smallint>(max.size());
  iemvector c("c"), m("max");
  for (int j = 1; j <= k; ++j) m[j] = static_cast<smallint>(max[j - 1]);
  ZQUTE2::SETUPLOOPER(c, k);
  for (int j = k + 1; j <= maxem; ++j) EXPECT_EQ(c[j], -1);
  tuples out;
  bool more = true;
  while (true) {
    ZQUTE2::LOOPER(c, m, k, more);
    if (!more) break;
    out.emplace_back(c.begin(), c.begin() + k);
    if (out.size() > 100000) break;
  }
  for (int j = k + 1; j <= maxem; ++j) EXPECT_EQ(c[j], -1);
  return out;
}

TEST(ZqUte2Enumerators, SubsetsInLexicographicOrder) {
  struct {
    smallint k, n;
    tuples expect;
  } cases[] = {
      {2, 3, {{1, 2}, {1, 3}, {2, 3}}},
      {1, 3, {{1}, {2}, {3}}},
      {3, 3, {{1, 2, 3}}},
      {2, 4, {{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}}},
      {3, 5, {{1, 2, 3}, {1, 2, 4}, {1, 2, 5}, {1, 3, 4}, {1, 3, 5}, {1, 4, 5}, {2, 3, 4}, {2, 3, 5},
              {2, 4, 5}, {3, 4, 5}}},
      {3, 2, {}},  // no 3-subset of two numbers
  };
  for (const auto& c : cases) EXPECT_EQ(allsubsets(c.k, c.n), c.expect) << c.k << " of " << c.n;
  // Counts: 400 choose 1, 20 choose 5.
  EXPECT_EQ(allsubsets(1, 400).size(), 400u);
  EXPECT_EQ(allsubsets(5, 20).size(), 15504u);
}

TEST(ZqUte2Enumerators, OdometerTuples) {
  struct {
    std::vector<int> max;
    tuples expect;
  } cases[] = {
      {{2, 3}, {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}}},
      {{1, 1, 1}, {{1, 1, 1}}},
      {{3}, {{1}, {2}, {3}}},
      {{2, 1, 2}, {{1, 1, 1}, {1, 1, 2}, {2, 1, 1}, {2, 1, 2}}},
      {{2, 0}, {}},  // a position without values: no tuple at all
  };
  for (const auto& c : cases) EXPECT_EQ(alltuples(c.max), c.expect);
  EXPECT_EQ(alltuples({3, 4, 5, 2}).size(), 120u);
}

TEST(ZqUte2Enumerators, TupleLengthsBeyondTheVectorStopTheRun) {
  testsupport::resetio();
  iemvector c("c");
  bool more = true;
  auto where = [&](auto f) -> std::string {
    testsupport::Terminal term;
    try {
      f();
    } catch (const IO::runend& e) {
      return e.where;
    }
    return "";
  };
  EXPECT_EQ(where([&] { ZQUTE2::SETUPCHOOSE(c, 401); }), "setupchoose");
  EXPECT_EQ(where([&] { ZQUTE2::SETUPLOOPER(c, 0); }), "setuplooper");
  EXPECT_EQ(where([&] { ZQUTE2::CHOOSE(c, 401, 401, more); }), "choose");
  EXPECT_EQ(where([&] { ZQUTE2::LOOPER(c, c, -1, more); }), "looper");
}

}  // namespace
