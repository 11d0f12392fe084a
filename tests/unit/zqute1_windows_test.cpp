// Calculation windows: range tests, repair against the overall window, and
// the checks that ask for a window again.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "frame/io.h"
#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;
using testsupport::Answers;
using testsupport::Terminal;

namespace {

using testsupport::fatal;

constexpr extended K = 273.15L;

class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    IO::CONTROLIO.pagewidth = 200;
    FIGPLOW = 1;
    FIGPHIGH = 10;
    FIGTLOW = 400 + K;
    FIGTHIGH = 800 + K;
  }
  void TearDown() override { testsupport::freshstate(); }
  testsupport::ScratchDir dir;
};

TEST_F(Windows, InRangeIncludesBothLimitsForEveryKind) {
  struct Case {
    findtype kind;
    extended* low;
    extended* high;
  };
  const Case cases[] = {{findtype::findt, &TLOW, &THIGH},       {findtype::findp, &PLOW, &PHIGH},
                        {findtype::findxco2, &XCO2LOW, &XCO2HIGH}, {findtype::findlna, &LNALOW, &LNAHIGH},
                        {findtype::findmu, &MULOW, &MUHIGH}};
  for (const Case& c : cases) {
    TLOW = PLOW = XCO2LOW = LNALOW = MULOW = -100;
    THIGH = PHIGH = XCO2HIGH = LNAHIGH = MUHIGH = 100;
    *c.low = 0.25L;
    *c.high = 0.5L;
    EXPECT_TRUE(ZQUTE1::INRANGE(0.25L, c.kind));
    EXPECT_TRUE(ZQUTE1::INRANGE(0.5L, c.kind));
    EXPECT_FALSE(ZQUTE1::INRANGE(0.2L, c.kind));
    EXPECT_FALSE(ZQUTE1::INRANGE(0.6L, c.kind));
    EXPECT_FALSE(ZQUTE1::INRANGE(std::nanl(""), c.kind));
  }
  EXPECT_EQ(fatal([] { ZQUTE1::INRANGE(0, static_cast<findtype>(9)); }), "inrange: unknown type");
}

TEST_F(Windows, PokAndTokRepairAgainstTheOverallWindow) {
  struct Case {
    bool t;
    extended low, high;
    xOKtype how;
    extended wantlow, wanthigh;
    std::string said;
  };
  const Case cases[] = {
      {false, 8, 3, xOKtype::canbesame, 3, 8, "P(low) must be less than P(high): values swapped\n"},
      {false, 0.5L, 12, xOKtype::canbesame, 0.5L, 10, "P(high) must be less than 10.0: this used\n"},
      {false, 0.5L, 5, xOKtype::canbesame, 1, 5, "P(low) must be greater than 1.0: this used\n"},
      {false, 5, 5, xOKtype::mustbedifferent, 1, 10,
       "P window needed but P(low) = P(high): overall P window used (script overridden)\n"},
      {false, 5, 5, xOKtype::canbesame, 5, 5, ""},
      {true, 500 + K, 900 + K, xOKtype::canbesame, 500 + K, 800 + K, "T(high) must be less than 800.0: this used\n"},
      {true, 300 + K, 500 + K, xOKtype::canbesame, 400 + K, 500 + K, "T(low) must be greater than 400.0: this used\n"},
      {true, 600 + K, 500 + K, xOKtype::canbesame, 500 + K, 600 + K,
       "T(low) must be less than T(high): values swapped\n"},
      {true, 600 + K, 600 + K, xOKtype::mustbedifferent, 400 + K, 800 + K,
       "T window needed but T(low) = T(high): overall T window used (script overridden)\n"},
  };
  for (const Case& c : cases) {
    Terminal term;
    extended low = c.low, high = c.high;
    if (c.t)
      ZQUTE1::TOK(low, high, c.how);
    else
      ZQUTE1::POK(low, high, c.how);
    EXPECT_EQ(low, c.wantlow) << c.said;
    EXPECT_EQ(high, c.wanthigh) << c.said;
    EXPECT_EQ(term.text(), c.said);
  }
}

TEST_F(Windows, RetryFamilyMessagesAndPrompts) {
  using check = void (*)(extended&, extended&, xOKtype);
  struct Case {
    check f;
    extended low, high;
    xOKtype how;
    std::string said;
  };
  const std::string mu = "\xB5";
  const Case cases[] = {
      {ZQUTE1::POK3, 4, 4, xOKtype::mustbedifferent, "P(low) must be less than P(high) : try again\nP low,high : "},
      {ZQUTE1::POK3, 5, 4, xOKtype::canbesame,
       "P(low) must be less than or equal to P(high) : try again\nP low,high : "},
      {ZQUTE1::POK3, 1, 1600, xOKtype::canbesame, "P(high) must be less than 1500 : try again\nP low,high : "},
      {ZQUTE1::POK3, 0, 5, xOKtype::canbesame, "P(low) must be greater than 0.001 : try again\nP low,high : "},
      {ZQUTE1::TOK3, 5 + K, 700 + K, xOKtype::canbesame,
       "T(low) must be greater than 10 : try again\n T low,high : "},
      {ZQUTE1::TOK3, 500 + K, 2800 + K, xOKtype::canbesame,
       "T(high) must be less than 2727 : try again\n T low,high : "},
      {ZQUTE1::XCO2OK, 0.5L, 1, xOKtype::canbesame, "x(CO2) high must be less than 1 : try again\nx(CO2) low,high : "},
      {ZQUTE1::XCO2OK, 0, 0.5L, xOKtype::canbesame,
       "x(CO2) low must be greater than 0 : try again\nx(CO2) low,high : "},
      {ZQUTE1::XCO2OK, 0.5L, 0.5L, xOKtype::mustbedifferent,
       "x(CO2) low must be less than x(CO2) high : try again\nx(CO2) low,high : "},
      {ZQUTE1::XH2OOK, 0.6L, 0.5L, xOKtype::canbesame,
       "x(H2O) low must be less than or equal to x(H2O) high : try again\nx(H2O) low,high : "},
      {ZQUTE1::AOK, 2, 1, xOKtype::canbesame,
       "a(low) must be less than or equal to a(high) : try again\nactivity low,high : "},
      {ZQUTE1::LNAOK, 1, 1, xOKtype::mustbedifferent,
       "log a(low) must be less than log a(high) : try again\nlog a low,high : "},
      {ZQUTE1::MUOK, 1, 1, xOKtype::mustbedifferent,
       mu + "(low) must be less than " + mu + "(high) : try again\n" + mu + " low,high : "},
  };
  for (const Case& c : cases) {
    Terminal term;
    // A pair that every member accepts; temperatures are typed in °C.
    const bool t = c.f == ZQUTE1::TOK3;
    Answers a(t ? "400 500\n" : "0.2 0.3\n");
    extended low = c.low, high = c.high;
    c.f(low, high, c.how);
    EXPECT_EQ(term.text(), c.said);
    EXPECT_EQ(low, t ? 400 + K : 0.2L);
    EXPECT_EQ(high, t ? 500 + K : 0.3L);
  }
}

TEST_F(Windows, FifthFailedCheckEndsTheRunButAFifthGoodPairIsTaken) {
  {
    Terminal term;
    Answers a("4 4\n4 4\n4 4\n2 6\n");
    extended low = 4, high = 4;
    ZQUTE1::POK3(low, high, xOKtype::mustbedifferent);
    EXPECT_EQ(low, 2);
    EXPECT_EQ(high, 6);
  }
  {
    Terminal term;
    Answers a("4 4\n4 4\n4 4\n4 4\n2 6\n");
    extended low = 4, high = 4;
    EXPECT_EQ(fatal([&] { ZQUTE1::POK3(low, high, xOKtype::mustbedifferent); }), "*OK: too many tries");
    EXPECT_EQ(low, 4);
  }
}

}  // namespace
