// The union of two one-word bit sets.
#include <gtest/gtest.h>

#include "frame/io.h"
#include "iotestsupport.h"

namespace {

longint setof(std::initializer_list<smallint> members) {
  longint s = 0;
  for (smallint i : members) IO::BSET(s, i);
  return s;
}

TEST(BitSets, UnionHoldsEveryMemberOfEitherSetAndNoOther) {
  testsupport::freshstate();
  struct Case {
    std::initializer_list<smallint> a, b;
  };
  const Case cases[] = {
      {{}, {}},             // two empty sets
      {{}, {0, 30}},        // the empty set adds nothing
      {{3, 7}, {3, 7}},     // a set with itself
      {{0, 1, 2}, {2, 30}}, // overlapping, both ends of the word
      {{10}, {4, 5, 6}},    // disjoint
  };
  for (const Case& c : cases) {
    const longint a = setof(c.a), b = setof(c.b);
    const longint u = IO::BOR(a, b);
    EXPECT_EQ(u, IO::BOR(b, a));
    for (smallint i = 0; i <= 30; ++i) {
      const bool either = IO::BTST(a, i) || IO::BTST(b, i);
      EXPECT_EQ(IO::BTST(u, i), either) << "member " << i;
    }
    // Both sets are subsets of their union; bit 31 is never set.
    EXPECT_TRUE(IO::BSUBSET(a, u));
    EXPECT_TRUE(IO::BSUBSET(b, u));
    EXPECT_GE(u, 0);
  }
}

}  // namespace
