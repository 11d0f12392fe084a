// Number text and the decimal record: the look of every printed number, and
// exact reading of number texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "frame/io.h"

namespace {

using IO::DecForm;
using IO::Decimal;
using IO::DecStyle;

constexpr extended nan = std::numeric_limits<extended>::quiet_NaN();
constexpr extended inf = std::numeric_limits<extended>::infinity();

TEST(IoNumReal2Str, Table) {
  const std::string blanks19(19, ' ');
  const struct {
    extended x;
    smallint places;
    bool fixed;
    std::string text;
  } cases[] = {
      {123.456L, 4, false, "123.5"},
      {0.001234L, 4, false, "0.001234"},
      {0.00001234L, 4, false, "1.234e-5"},
      {123456.0L, 4, false, "1.235e+5"},
      {12345.0L, 4, false, "12345"},
      {1.0L, 4, false, "1.000"},
      {9.99996L, 4, false, "10.00"},  // the carry into the next power of ten
      {99999.6L, 4, false, "1.000e+5"},
      {0.0001L, 1, false, "0.0001"},
      {3.14159L, 2, true, "3.14"},
      {0.05L, 2, true, "0.05"},
      {-0.001L, 2, true, "-0.00"},
      {1230000.0L, 2, true, "1.2e+6"},
      {12345.678L, 2, true, "12345.68"},
      {-7.25L, 1, true, "-7.2"},  // ties to even
      {0.375L, 2, true, "0.38"},
      {1e-13L, 4, false, "0"},
      {-1e-13L, 2, true, "0"},
      {1e25L, 4, false, blanks19},
      {-1e25L, 4, false, "-" + std::string(20, ' ')},
      // Nothing that is no number may read as one: no "0", no sign.
      {nan, 4, false, blanks19},
      {nan, 2, true, blanks19},
      {-nan, 4, false, blanks19},
      {inf, 4, false, blanks19},
      {-inf, 2, true, "-" + std::string(20, ' ')},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IO::REAL2STR(c.x, c.places, c.fixed), c.text)
        << "x=" << static_cast<double>(c.x) << " places=" << c.places << " fixed=" << c.fixed;
}

TEST(IoNumInt2Str, Table) {
  const std::string blanks19(19, ' ');
  const struct {
    extended x;
    std::string text;
  } cases[] = {
      {2.5L, "2"},   {3.5L, "4"},       {-2.5L, "-2"},  {-0.4L, "-0"},
      {1e-13L, "0"}, {-17.6L, "-18"},   {2147483645.0L, "2147483645"},
      {2147483646.0L, blanks19},        {-3e9L, "-" + std::string(20, ' ')},
      {nan, blanks19},                  {inf, blanks19},
  };
  for (const auto& c : cases) EXPECT_EQ(IO::INT2STR(c.x), c.text) << static_cast<double>(c.x);
}

TEST(IoNumStr2Dec, Table) {
  const struct {
    const char* text;
    bool valid;
    int sgn, exp;
    const char* sig;
  } cases[] = {
      {"1.5e-3", true, 0, -4, "15"},
      {"-1.5E3", true, 1, 2, "15"},
      {"  0042 ", true, 0, 0, "42"},
      {"0.000", true, 0, 0, "0"},
      {"2.50", true, 0, -2, "250"},
      {"1e4932", true, 0, 4932, "1"},
      {"1234567890123456789012345", true, 0, 3, "1234567890123456789012"},  // keeps its size
      {"1e+5", false, 0, 0, ""},
      {"+5", false, 0, 0, ""},
      {"-", false, 0, 0, ""},
      {"   ", false, 0, 0, ""},
      {"1.2.3", false, 0, 0, ""},
      {"1e5.5", false, 0, 0, ""},
      {"1e--5", false, 0, 0, ""},
      {"3/4", false, 0, 0, ""},
      {"1e5000", false, 0, 0, ""},  // values an extended cannot hold
      {"1e-5000", false, 0, 0, ""},
  };
  for (const auto& c : cases) {
    Decimal d;
    smallint index = 1;
    bool valid = !c.valid;
    IO::STR2DEC(c.text, index, d, valid);
    EXPECT_EQ(valid, c.valid) << '"' << c.text << '"';
    if (!c.valid || !valid) continue;
    EXPECT_EQ(d.sgn, c.sgn) << c.text;
    EXPECT_EQ(d.exp, c.exp) << c.text;
    EXPECT_EQ(d.sig, c.sig) << c.text;
  }
}

TEST(IoNumDec2Num, ExactToTheLastBit) {
  const struct {
    const char* text;
    extended value;
  } cases[] = {
      {"0.1", 0.1L},
      {"-273.15", -273.15L},
      {"1.18973149535723176502e4932", std::numeric_limits<extended>::max()},
      {"3.64519953188247460253e-4951", std::numeric_limits<extended>::denorm_min()},
      {"18446744073709551617", 18446744073709551616.0L},  // tie: stays even
      {"1234567890123456789012345", 1234567890123456789012000.0L},
      {"0.000000000000000000000000000000001", 1e-33L},
  };
  for (const auto& c : cases) {
    Decimal d;
    smallint index = 1;
    bool valid = false;
    IO::STR2DEC(c.text, index, d, valid);
    ASSERT_TRUE(valid) << c.text;
    EXPECT_EQ(IO::DEC2NUM(d), c.value) << c.text;
  }
  EXPECT_EQ(IO::TEN(-1), 0.1L);
  EXPECT_EQ(IO::TEN(100), 1e100L);
  EXPECT_EQ(IO::TEN(-4950), 1e-4950L);
}

TEST(IoNumDec2Str, FormsAndAddno) {
  DecStr s;
  IO::DEC2STR(DecForm{DecStyle::FloatDecimal, 3}, Decimal{0, -2, "100"}, s);
  EXPECT_EQ(s, "1.00e-0");
  IO::DEC2STR(DecForm{DecStyle::FixedDecimal, 3}, Decimal{0, -3, "5"}, s);
  EXPECT_EQ(s, "0.005");
  IO::DEC2STR(DecForm{DecStyle::FixedDecimal, 2}, Decimal{0, 0, std::string(22, '1')}, s);
  EXPECT_EQ(s, "?");
  const struct {
    extended x;
    const char* text;
  } rows[] = {{3.0L, "     3"}, {-0.125L, "-0.125"}, {1.0L / 3.0L, "0.33333333"}};
  for (const auto& r : rows) {
    std::string line;
    IO::ADDNO(r.x, 6, line);
    EXPECT_EQ(line, r.text);
  }
}


// The fixed-point text of the writers that show more digits than the
// decimal record holds: every digit of every value from 1e-300 to 1e300,
// either sign, in the field or past it, and for a value beyond the number
// range or no number a word, never "inf" or "nan". The expected length is
// counted apart from the writer (the digits before the point from log10),
// and the text read back by the C library gives the value to half its last
// decimal (exactly, for the values whose digits reach past the decimals).
TEST(IoNumFixedPoint, EveryDigitFromTinyToHugeAndWordsBeyondTheRange) {
  for (int places : {0, 4, 10})
    for (int e = -300; e <= 300; e += 7)
      for (const extended sign : {1.0L, -1.0L}) {
        const extended x = sign * 1.2345678901234567L * std::pow(10.0L, static_cast<extended>(e));
        const std::string t = IO::FIXEDPOINT(x, 7, places);
        SCOPED_TRACE(std::to_string(e) + " " + std::to_string(places));
        const long before = e >= 0 ? e + 1 : 1;
        const std::size_t want = static_cast<std::size_t>((sign < 0 ? 1 : 0) + before + (places > 0 ? places + 1 : 0));
        EXPECT_EQ(t.size(), std::max<std::size_t>(want, 7)) << t;
        const std::size_t lead = t.find_first_not_of(' ');
        EXPECT_EQ(lead, t.size() - want) << t;
        const extended back = std::strtold(t.c_str(), nullptr);
        if (e >= 25) {
          EXPECT_EQ(back, x) << t;
        } else {
          EXPECT_LE(std::fabs(back - x), 0.5L * std::pow(10.0L, static_cast<extended>(-places)) * 1.0000001L) << t;
        }
      }
  EXPECT_EQ(IO::FIXEDPOINT(inf, 16, 4), "    beyond range");
  EXPECT_EQ(IO::FIXEDPOINT(-inf, 0, 4), "beyond range");
  EXPECT_EQ(IO::FIXEDPOINT(nan, 4, 2), "no number");
  EXPECT_EQ(IO::FIXEDPOINT(std::numeric_limits<extended>::max(), 0, 0).size(), 4933u);
}

}  // namespace
