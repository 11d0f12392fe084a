// The prompts that keep or replace the fixed x(CO2) and the x(CO2) window.
#include <gtest/gtest.h>

#include <string>

#include "iotestsupport.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;

TEST(DoXco2, FixedValueKeptOrReplaced) {
  struct fc {
    smallint nlx;
    const char* answers;
    extended value;
    const char* shown;
  };
  const fc cases[] = {
      {2, "", 0.25L, ""},  // a list of two: nothing asked
      {1, "\n", 0.25L, "\nx(CO2) was 0.250\nkeep using this value ? "},
      {1, "n\n1.7\n", 1.7L, "\nx(CO2) was 0.250\nkeep using this value ? new fixed x(CO2) : "},  // no bounds
  };
  for (const fc& k : cases) {
    testsupport::freshstate();
    NLX = k.nlx;
    LISO(1, 1) = LXCO2[1] = 0.25L;
    testsupport::Answers answers(k.answers);
    testsupport::Terminal term;
    ZQNLE4::DOXCO2();
    EXPECT_TRUE(LISO(1, 1) == k.value && LXCO2[1] == k.value) << k.answers;
    EXPECT_EQ(term.text(), k.shown);
  }
}

TEST(DoXco2Range, WindowKeptOrReplacedWithItsList) {
  // The last answer is the list's own question: Return for the two limits.
  const std::pair<const char*, std::pair<extended, extended>> cases[] = {
      {"\n", {0.1L, 0.5L}},
      {"n\n0.2 0.6\n\n", {0.2L, 0.6L}},
      {"no\n0.2\n0.6\n\n", {0.2L, 0.6L}},
      {"n\n0.3 0.3\n0.2 0.4\n\n", {0.2L, 0.4L}},  // equal limits asked again
  };
  for (const auto& [answers, window] : cases) {
    SCOPED_TRACE(answers);
    testsupport::freshstate();
    XCO2LOW = 0.1L;
    XCO2HIGH = 0.5L;
    NLX = 0;
    testsupport::Answers typed(answers);
    testsupport::Terminal term;
    ZQNLE4::DOXCO2RANGE();
    EXPECT_EQ(term.text().substr(0, 43), "\nx(CO2) low,high was 0.1000 and 0.5000\nkeep");
    EXPECT_TRUE(XCO2LOW == window.first && XCO2HIGH == window.second);
    EXPECT_EQ(NLISO[1], NLX);
    EXPECT_EQ(NLX, window.first == 0.1L ? 0 : 2);
    EXPECT_TRUE(NLX < 2 || (LISO(1, 1) == window.first && LISO(1, 2) == window.second));
  }
}
