// Short texts cut from longer ones, and the class of a real.
#include <gtest/gtest.h>

#include <limits>

#include "frame/io.h"

namespace {

TEST(ShortTexts, CutToTheirLengths) {
  struct Case {
    std::string s, want20, want5;
  };
  const std::string long30 = "abcdefghijklmnopqrstuvwxyz0123";
  const Case cases[] = {
      {"", "", ""},
      {"abc", "abc", "abc"},
      {"abcde", "abcde", "abcde"},
      {"abcdef", "abcdef", "abcde"},
      {long30.substr(0, 22), long30.substr(0, 22), "abcde"},
      {long30, "abcdefghijklmnopqrstuv", "abcde"},
      {" 1.5e-3 ", " 1.5e-3 ", " 1.5e"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IO::MAKESTR20(c.s), c.want20) << c.s;
    EXPECT_EQ(IO::MAKESTR5(c.s), c.want5) << c.s;
  }
}

TEST(ShortTexts, OnlyZeroIsOfTheZeroClass) {
  struct Case {
    extended x;
    IO::NumClass want;
  };
  const Case cases[] = {
      {0.0L, IO::NumClass::ZeroNum},
      {-0.0L, IO::NumClass::ZeroNum},
      {1e-13L, IO::NumClass::NormalNum},  // prints as 0, yet is not zero
      {-2.5L, IO::NumClass::NormalNum},
      {std::numeric_limits<extended>::denorm_min(), IO::NumClass::NormalNum},
      {1e30L, IO::NumClass::NormalNum},
  };
  for (const Case& c : cases) EXPECT_EQ(IO::CLASSREAL(c.x), c.want) << static_cast<double>(c.x);
}

}  // namespace
