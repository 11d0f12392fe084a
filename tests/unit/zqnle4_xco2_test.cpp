// The prompts that keep or replace the fixed x(CO2) and the x(CO2) window.
#include <gtest/gtest.h>

#include <string>

#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

TEST(DoXco2, FixedValueKeptOrReplaced) {
  struct fixedcase {
    const char* what;
    smallint nlx;
    const char* answers;
    extended value;     // LISO[1][1] and LXCO2[1] afterwards
    const char* shown;  // the start of the terminal text
  };
  const fixedcase cases[] = {
      {"a list of two is not asked about", 2, "", 0.25L, ""},
      {"Return keeps the value", 1, "\n", 0.25L, "\nx(CO2) was 0.250\nkeep using this value ? "},
      {"a new value, with no bounds", 1, "n\n1.7\n", 1.7L, "\nx(CO2) was 0.250\n"},
  };
  for (const fixedcase& fc : cases) {
    SCOPED_TRACE(fc.what);
    testsupport::freshstate();
    NLX = fc.nlx;
    LISO(1, 1) = 0.25L;
    LXCO2[1] = 0.25L;
    testsupport::Answers answers(fc.answers);
    testsupport::Terminal term;
    ZQNLE4::DOXCO2();
    EXPECT_EQ(LISO(1, 1), fc.value);
    EXPECT_EQ(LXCO2[1], fc.value);
    const std::string shown = fc.shown;
    EXPECT_EQ(term.text().substr(0, shown.size()), shown);
    if (shown.empty()) {
      EXPECT_EQ(term.text(), "");
    }
  }
}

TEST(DoXco2Range, WindowKeptOrReplacedWithItsList) {
  struct rangecase {
    const char* what;
    const char* answers;
    extended low, high;
    const char* fault;
  };
  // The last answer is the list's own question: values inside the window,
  // or Return for the two limits alone.
  const rangecase cases[] = {
      {"Return keeps the window", "\n", 0.1L, 0.5L, ""},
      {"a new window and its list", "n\n0.2 0.6\n0.3 0.5\n", 0.2L, 0.6L, ""},
      {"two numbers over two lines", "no\n0.2\n0.6\n\n", 0.2L, 0.6L, ""},
      {"equal limits asked again", "n\n0.3 0.3\n0.2 0.4\n\n", 0.2L, 0.4L, ""},
  };
  for (const rangecase& rc : cases) {
    SCOPED_TRACE(rc.what);
    testsupport::freshstate();
    XCO2LOW = 0.1L;
    XCO2HIGH = 0.5L;
    NLX = 0;
    testsupport::Answers answers(rc.answers);
    testsupport::Terminal term;
    EXPECT_EQ(fatal([] { ZQNLE4::DOXCO2RANGE(); }), rc.fault);
    EXPECT_EQ(term.text().substr(0, 43), "\nx(CO2) low,high was 0.1000 and 0.5000\nkeep");
    EXPECT_EQ(XCO2LOW, rc.low);
    EXPECT_EQ(XCO2HIGH, rc.high);
    if (rc.low == 0.1L) {
      EXPECT_EQ(NLX, 0);
      continue;
    }
    ASSERT_GT(NLX, 1);
    EXPECT_EQ(NLISO[1], NLX);
    for (long k = 1; k <= NLX; ++k) EXPECT_EQ(LISO(1, k), LXCO2[k]) << k;
    EXPECT_EQ(LXCO2[1], rc.low);
    EXPECT_EQ(LXCO2[NLX], rc.high);
  }
}
