// The random generator: its sequence from fixed seeds, clock seeding, range.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>

#include "iotestsupport.h"
#include "zqglobal.h"
#include "zqmath1.h"

namespace {

using ZQGLOBAL::SEED1;
using ZQGLOBAL::SEED2;
using ZQGLOBAL::SEED3;

TEST(ZqMath1Random, SequenceFromFixedSeeds) {
  ZQMATH1::SETUPRANDOM(true);
  EXPECT_EQ(SEED1, 131);
  EXPECT_EQ(SEED2, 137);
  EXPECT_EQ(SEED3, 141);
  // Worked by hand from s1 := 171 s1 mod 30269, s2 := 172 s2 mod 30307,
  // s3 := 170 s3 mod 30323, u = frac(s1/30269 + s2/30307 + s3/30323):
  //   171*131 = 22401; 172*137 = 23564; 170*141 = 23970 (all below modulus)
  //   u = 0.740064... + 0.777510... + 0.790489... - 2 = 0.308063...
  //   171*22401 = 3830571 = 126*30269 + 16677
  //   172*23564 = 4053008 = 133*30307 + 22177
  //   170*23970 = 4074900 = 134*30323 + 11618
  //   u = 0.550960... + 0.731745... + 0.383141... - 1 = 0.665846...
  //   171*16677 = 2851767 = 94*30269 + 6481
  //   172*22177 = 3814444 = 125*30307 + 26069
  //   170*11618 = 1975060 = 65*30323 + 4065
  //   u = 0.214113... + 0.860164... + 0.134056... - 1 = 0.208334...
  struct {
    longint s1, s2, s3;
    double approx;
  } steps[] = {{22401, 23564, 23970, 0.308063},
               {16677, 22177, 11618, 0.665846},
               {6481, 26069, 4065, 0.208334}};
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
}

IO::timepoint fixedclock() {
  // 13:45:27.345 local time.
  std::tm tm{};
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
  EXPECT_EQ(SEED1, 14);
  EXPECT_EQ(SEED2, 28);
  EXPECT_EQ(SEED3, 346);
}

TEST(ZqMath1Random, NumbersStayInTheUnitInterval) {
  ZQMATH1::SETUPRANDOM(true);
  extended sum = 0;
  const int n = 200000;
  for (int i = 0; i < n; ++i) {
    const extended u = ZQMATH1::RANDOM();
    ASSERT_GE(u, 0);
    ASSERT_LT(u, 1);
    sum += u;
    ASSERT_TRUE(SEED1 >= 1 && SEED1 <= 30268 && SEED2 >= 1 && SEED2 <= 30306 && SEED3 >= 1 && SEED3 <= 30322);
  }
  EXPECT_NEAR(static_cast<double>(sum / n), 0.5, 0.005);
}

}  // namespace
