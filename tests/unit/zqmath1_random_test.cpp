// The random generator: its sequence from fixed seeds, clock seeding, range.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>

#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"

namespace {

using ZQGLOBAL::SEED1;
using ZQGLOBAL::SEED2;
using ZQGLOBAL::SEED3;

TEST(ZqMath1Random, SequenceFromFixedSeeds) {
  ZQMATH1::SETUPRANDOM(true);
  EXPECT_EQ(SEED1 * 1000000LL + SEED2 * 1000 + SEED3, 131137141LL);
  // Worked by hand: s1 := 171 s1 mod 30269, s2 := 172 s2 mod 30307,
  // s3 := 170 s3 mod 30323, u = frac(s1/30269 + s2/30307 + s3/30323).
  const struct {
    longint s1, s2, s3;
    double approx;
  } steps[] = {{22401, 23564, 23970, 0.308063}, {16677, 22177, 11618, 0.665846}, {6481, 26069, 4065, 0.208334}};
  for (const auto& s : steps) {
    const extended u = ZQMATH1::RANDOM();
    EXPECT_EQ(SEED1, s.s1);
    EXPECT_EQ(SEED2, s.s2);
    EXPECT_EQ(SEED3, s.s3);
    // The sum is formed in double, in this order, and its fraction kept.
    const double t = s.s1 / 30269.0 + s.s2 / 30307.0 + s.s3 / 30323.0;
    EXPECT_EQ(u, static_cast<extended>(t - std::trunc(t)));
    EXPECT_NEAR(static_cast<double>(u), s.approx, 1e-6);
  }
  for (int i = 0; i < 20000; ++i) {
    const extended u = ZQMATH1::RANDOM();
    ASSERT_TRUE(u >= 0 && u < 1);
  }
}

IO::timepoint fixedclock() {
  std::tm tm{};  // 13:45:27.345 local time
  tm.tm_year = 2021 - 1900;
  tm.tm_mon = 4;
  tm.tm_mday = 17;
  tm.tm_hour = 13;
  tm.tm_min = 45;
  tm.tm_sec = 27;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm)) + std::chrono::milliseconds(345);
}

TEST(ZqMath1Random, SeedsFromTheClock) {
  const auto saved = IO::CLOCK;
  IO::CLOCK = fixedclock;
  ZQMATH1::SETUPRANDOM(false);
  IO::CLOCK = saved;
  // Hour, second and millisecond, each plus one; the minute is not used.
  EXPECT_EQ(SEED1 * 1000000LL + SEED2 * 1000 + SEED3, 14028346LL);
}

}  // namespace
