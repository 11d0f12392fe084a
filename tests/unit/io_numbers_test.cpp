// Number text and the decimal record: the look of every printed number, and
// exact reading of number texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "io.h"

namespace {

using IO::DecForm;
using IO::Decimal;
using IO::DecStyle;

struct RealCase {
  extended x;
  smallint places;
  bool fixed;
  const char* text;
};

TEST(IoNumReal2Str, Table) {
  const std::string blanks19(19, ' ');
  const RealCase cases[] = {
      // plain and exponent form, 4 significant figures
      {123.456L, 4, false, "123.5"},
      {0.001234L, 4, false, "0.001234"},
      {0.00001234L, 4, false, "1.234e-5"},
      {123456.0L, 4, false, "1.235e+5"},
      {12345.0L, 4, false, "12345"},
      {1234.0L, 4, false, "1234"},
      {-123.456L, 4, false, "-123.5"},
      {1.0L, 4, false, "1.000"},
      {0.5L, 3, false, "0.500"},
      // the carry into the next power of ten
      {9.99996L, 4, false, "10.00"},
      {0.099999L, 3, false, "0.100"},
      {99999.6L, 4, false, "1.000e+5"},
      {0.0001L, 1, false, "0.0001"},
      {1.5e-5L, 2, false, "1.5e-5"},
      {2.5e7L, 3, false, "2.50e+7"},
      // fixed
      {3.14159L, 2, true, "3.14"},
      {0.05L, 2, true, "0.05"},
      {-0.001L, 2, true, "-0.00"},
      {1230000.0L, 2, true, "1.2e+6"},
      {12345.678L, 2, true, "12345.68"},
      {123456.7L, 2, true, "1.2e+5"},
      {7.0L, 0, true, "7"},
      {-7.25L, 1, true, "-7.2"},  // 72.5 goes to even
      {0.125L, 2, true, "0.12"},
      {0.375L, 2, true, "0.38"},
      {1e15L, 2, true, "1.0e+15"},
      // below 1e-12 everything is "0", with no sign
      {1e-13L, 4, false, "0"},
      {-1e-13L, 4, false, "0"},
      {1e-13L, 2, true, "0"},
      {0.0L, 3, true, "0"},
      // magnitudes that cannot be shown
      {1e21L, 0, true, blanks19.c_str()},
      {1e25L, 4, false, blanks19.c_str()},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IO::REAL2STR(c.x, c.places, c.fixed), c.text)
        << "x=" << static_cast<double>(c.x) << " places=" << c.places << " fixed=" << c.fixed;
}

TEST(IoNumReal2Str, NegativeUnshowableKeepsItsSign) {
  EXPECT_EQ(IO::REAL2STR(-1e25L, 4, false), "-" + std::string(20, ' '));
  EXPECT_EQ(IO::INT2STR(-3e9L), "-" + std::string(20, ' '));
}

TEST(IoNumReal2Str, PlainBetweenMinusFourAndPlaces) {
  // leading digit 10^E: plain for -4 <= E <= places, exponent outside
  struct Row {
    extended x;
    bool plain;
  };
  const Row rows[] = {{1.5e-5L, false}, {1.5e-4L, true}, {1.5e3L, true}, {1.5e4L, true}, {1.5e5L, false}};
  for (const auto& r : rows) {
    const std::string s = IO::REAL2STR(r.x, 4, false);
    EXPECT_EQ(s.find('e') == std::string::npos, r.plain) << s;
  }
}

struct IntCase {
  extended x;
  const char* text;
};

TEST(IoNumInt2Str, Table) {
  const std::string blanks19(19, ' ');
  const IntCase cases[] = {
      {2.5L, "2"},           {3.5L, "4"},           {-2.5L, "-2"},        {0.5L, "0"},
      {1.5L, "2"},           {-0.4L, "-0"},         {1e-13L, "0"},        {-1e-13L, "0"},
      {0.0L, "0"},           {42.0L, "42"},         {-17.6L, "-18"},      {2147483645.0L, "2147483645"},
      {2147483646.0L, blanks19.c_str()}, {1e30L, blanks19.c_str()},
  };
  for (const auto& c : cases) EXPECT_EQ(IO::INT2STR(c.x), c.text) << static_cast<double>(c.x);
}

struct DecCase {
  const char* text;
  bool valid;
  int sgn;
  int exp;
  const char* sig;
};

TEST(IoNumStr2Dec, Table) {
  const DecCase cases[] = {
      {"1.5e-3", true, 0, -4, "15"},
      {"-1.5E3", true, 1, 2, "15"},
      {"  0042 ", true, 0, 0, "42"},
      {"0.000", true, 0, 0, "0"},
      {"-0", true, 1, 0, "0"},
      {"12.", true, 0, 0, "12"},
      {".5", true, 0, -1, "5"},
      {"7e0", true, 0, 0, "7"},
      {"2.50", true, 0, -2, "250"},
      {"1e+5", false, 0, 0, "0"},
      {"+5", false, 0, 0, "0"},
      {"-", false, 0, 0, "0"},
      {"", false, 0, 0, "0"},
      {"   ", false, 0, 0, "0"},
      {"1.2.3", false, 0, 0, "0"},
      {"1e5.5", false, 0, 0, "0"},
      {"1e--5", false, 0, 0, "0"},
      {"1,5", false, 0, 0, "0"},
      {"1e", false, 0, 0, "0"},
      {"1e-", false, 0, 0, "0"},
      {".", false, 0, 0, "0"},
      {"e5", false, 0, 0, "0"},
      {"3/4", false, 0, 0, "0"},
      // values an extended cannot hold are not numbers
      {"1e99999", false, 0, 0, "0"},
      {"1e5000", false, 0, 0, "0"},
      {"1e-5000", false, 0, 0, "0"},
      {"99999999999999999999e-99999", false, 0, 0, "0"},
      {"1e4932", true, 0, 4932, "1"},
      {"0e99999", true, 0, 0, "0"},
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

TEST(IoNumStr2Dec, LongDigitStringKeepsItsSize) {
  Decimal d;
  smallint index = 1;
  bool valid = false;
  IO::STR2DEC("1234567890123456789012345", index, d, valid);
  ASSERT_TRUE(valid);
  EXPECT_EQ(d.sig.size(), 22u);
  EXPECT_EQ(d.exp, 3);
  EXPECT_EQ(IO::DEC2NUM(d), 1234567890123456789012000.0L);
  IO::STR2DEC("100000000000000000000000000", index, d, valid);
  ASSERT_TRUE(valid);
  EXPECT_EQ(d.sig.size(), 22u);
  EXPECT_EQ(d.exp, 5);
  EXPECT_EQ(IO::DEC2NUM(d), 1e26L);
}

struct ExactCase {
  const char* text;
  extended value;
};

TEST(IoNumDec2Num, ExactToTheLastBit) {
  const ExactCase cases[] = {
      {"0.1", 0.1L},
      {"0.2", 0.2L},
      {"0.3", 0.3L},
      {"-273.15", -273.15L},
      {"1.7976931348623157e308", 1.7976931348623157e308L},
      {"2.2250738585072014e-308", 2.2250738585072014e-308L},
      {"1.18973149535723176502e4932", std::numeric_limits<extended>::max()},
      {"3.36210314311209350626e-4932", std::numeric_limits<extended>::min()},
      {"3.64519953188247460253e-4951", std::numeric_limits<extended>::denorm_min()},
      {"2e-4951", std::numeric_limits<extended>::denorm_min()},  // nearest is the smallest
      {"9007199254740993", 9007199254740993.0L},
      {"18446744073709551615", 18446744073709551615.0L},  // 2^64 - 1, all 64 bits
      {"18446744073709551617", 18446744073709551616.0L},  // tie: stays at 2^64 (even)
      {"123456789012345678901", 123456789012345678901.0L},
      {"8.314472e-3", 8.314472e-3L},
      {"6.02214076e23", 6.02214076e23L},
      {"1e-40", 1e-40L},
      {"1e40", 1e40L},
      {"4.9406564584124654e-324", 4.9406564584124654e-324L},
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
}

// The library's own reader is correctly rounded for long double on this
// platform; it serves here only as the judge of many generated texts.
TEST(IoNumDec2Num, AgreesWithCorrectRoundingOverTheRange) {
  std::mt19937_64 g(20240607);
  for (int it = 0; it < 2000; ++it) {
    const int nd = 1 + static_cast<int>(g() % 21);
    std::string digits;
    for (int i = 0; i < nd; ++i) digits += static_cast<char>('1' + g() % 9);
    const int e = it % 2 == 0 ? static_cast<int>(g() % 60) - 30 : static_cast<int>(g() % 9800) - 4960;
    const std::string text = digits + "e" + std::to_string(e);
    const extended judge = std::strtold(text.c_str(), nullptr);
    Decimal d;
    smallint index = 1;
    bool valid = false;
    IO::STR2DEC(text, index, d, valid);
    if (std::isinf(judge) || judge == 0) {
      EXPECT_FALSE(valid) << text;
      continue;
    }
    ASSERT_TRUE(valid) << text;
    EXPECT_EQ(IO::DEC2NUM(d), judge) << text;
  }
}

TEST(IoNumTen, ExactOverTheWholeRange) {
  EXPECT_EQ(IO::TEN(0), 1.0L);
  EXPECT_EQ(IO::TEN(27), 1e27L);
  EXPECT_EQ(IO::TEN(-1), 0.1L);
  EXPECT_EQ(IO::TEN(64), 1e64L);
  EXPECT_EQ(IO::TEN(100), 1e100L);
  EXPECT_EQ(IO::TEN(-100), 1e-100L);
  EXPECT_EQ(IO::TEN(4932), 1e4932L);
  EXPECT_EQ(IO::TEN(-4950), 1e-4950L);
  EXPECT_TRUE(std::isinf(IO::TEN(4933)));
  EXPECT_EQ(IO::TEN(-5000), 0.0L);
}

TEST(IoNumNum2Dec, FloatRecord) {
  struct Row {
    extended x;
    smallint digits;
    int sgn, exp;
    const char* sig;
  };
  const Row rows[] = {
      {123.456L, 4, 0, -1, "1235"},
      {-0.001234L, 4, 1, -6, "1234"},
      {9.99996L, 4, 0, -2, "1000"},
      {1.0L, 1, 0, 0, "1"},
  };
  for (const auto& r : rows) {
    Decimal d;
    IO::NUM2DEC(DecForm{DecStyle::FloatDecimal, r.digits}, r.x, d);
    EXPECT_EQ(d.sgn, r.sgn);
    EXPECT_EQ(d.exp, r.exp) << static_cast<double>(r.x);
    EXPECT_EQ(d.sig, r.sig);
  }
}

TEST(IoNumDec2Str, Forms) {
  DecStr s;
  IO::DEC2STR(DecForm{DecStyle::FloatDecimal, 3}, Decimal{0, -2, "100"}, s);
  EXPECT_EQ(s, "1.00e-0");
  IO::DEC2STR(DecForm{DecStyle::FloatDecimal, 3}, Decimal{1, -1, "250"}, s);
  EXPECT_EQ(s, "-2.50e+1");
  IO::DEC2STR(DecForm{DecStyle::FixedDecimal, 3}, Decimal{0, -3, "5"}, s);
  EXPECT_EQ(s, "0.005");
  IO::DEC2STR(DecForm{DecStyle::FixedDecimal, 0}, Decimal{0, 0, "5"}, s);
  EXPECT_EQ(s, "5");
  IO::DEC2STR(DecForm{DecStyle::FixedDecimal, 2}, Decimal{0, 0, std::string(22, '1')}, s);
  EXPECT_EQ(s, "?");
}

TEST(IoNumAddno, PlacesFollowTheValue) {
  struct Row {
    extended x;
    const char* text;
  };
  const Row rows[] = {
      {3.0L, "     3"},
      {2.25L, "  2.25"},
      {-0.125L, "-0.125"},
      {1.0L / 3.0L, "0.33333333"},  // never more than eight places
  };
  for (const auto& r : rows) {
    std::string line;
    IO::ADDNO(r.x, 6, line);
    EXPECT_EQ(line, r.text);
  }
}

}  // namespace
