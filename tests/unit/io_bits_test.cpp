// Tests of the bit sets: members of the wide sets and inclusion.
#include <gtest/gtest.h>

#include "frame/io.h"
#include "iotestsupport.h"

namespace {

std::string fatal(const std::function<void()>& call) {
  testsupport::Terminal term;
  return testsupport::fatal(call);
}

TEST(BitSets, WideSetsMapMembersOntoThreeWords) {
  testsupport::freshstate();
  IO::longint3 s;
  for (smallint i : {0, 30, 31, 60, 61, 90}) IO::BSET2(s, i);
  IO::BSET2(s, 31);
  EXPECT_EQ(s.w1, 1 | (1 << 30));
  EXPECT_EQ(s.w2, 2 | (1 << 30));
  EXPECT_EQ(s.w3, 2 | (1 << 30));
  for (smallint i : {0, 30, 31, 60, 61, 90}) EXPECT_TRUE(IO::BTST2(s, i)) << i;
  EXPECT_FALSE(IO::BTST2(s, 32));
  EXPECT_EQ(fatal([&] { IO::BSET2(s, 91); }), "BSet2: out of range");
  EXPECT_EQ(fatal([&] { IO::BSET2(s, -1); }), "BSet: out of range");
  EXPECT_EQ(fatal([&] { IO::BTST2(s, -1); }), "BTst2: out of range");
  longint one = 0;
  EXPECT_EQ(fatal([&] { IO::BSET(one, 31); }), "BSet: out of range");
}

TEST(BitSets, Inclusion) {
  IO::longint3 empty, a, b;
  IO::BSET2(a, 5);
  IO::BSET2(b, 5);
  IO::BSET2(b, 70);
  EXPECT_TRUE(IO::BSUBSET2(empty, b));
  EXPECT_FALSE(IO::BSUBSET2(a, empty));
  EXPECT_TRUE(IO::BSUBSET2(a, b));
  EXPECT_FALSE(IO::BSUBSET2(b, a));
  IO::BCLEAR2(b);
  EXPECT_TRUE(IO::BSUBSET2(b, empty));
  EXPECT_TRUE(IO::BSUBSET(0, 5));
  EXPECT_TRUE(IO::BSUBSET(4, 5));
  EXPECT_FALSE(IO::BSUBSET(2, 5));
  EXPECT_FALSE(IO::BSUBSET(1, 0));
}

}  // namespace
