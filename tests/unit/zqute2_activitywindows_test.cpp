// The activity and ln a windows of one activity variable, asked for as a
// pair of values, and the fluid that a variable on H2O or CO2 fixes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute2.h"
#include "iotestsupport.h"

using namespace ZQGLOBAL;

namespace {

std::string said(const std::string& answers, const std::function<void()>& f) {
  testsupport::Terminal term;
  testsupport::Answers a(answers);
  f();
  return term.text();
}

class ActivityWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    IO::CONTROLIO.pagewidth = 200;
    CALCVARIABLE = calcvariabletype::calcpressure;
  }
  void TearDown() override { testsupport::freshstate(); }
  testsupport::ScratchDir dir;
};

TEST_F(ActivityWindows, ActivityWindowStepsTheActivityAndKeepsItsLogarithm) {
  struct Case {
    sstring name;
    std::string answers;
    std::vector<extended> activities;  // the list, as activities
    extended xco2, xh2o;               // the fixed fluid after the call
  };
  const Case cases[] = {
      // a step wider than the window is refused with the window's width
      {"CO2", "0.25 1\n2\n0.25\n", {0.25L, 0.5L, 0.75L, 1}, 1, 0},
      {"H2O", "0.25 1\n0.25\n", {0.25L, 0.5L, 0.75L, 1}, 0, 1},
      // the end value is appended after the last whole step
      {"q", "0.1 0.5\n0.3\n", {0.1L, 0.4L, 0.5L}, 0, 0},
      // one value when the limits agree; nothing more is asked
      {"q", "0.3 0.3\n", {0.3L}, 0, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    FIXEDXCO2 = FIXEDXH2O = 0;
    LNANAME[2] = c.name;
    const std::string out = said(c.answers, [] { ZQUTE2::READA(2, 1); });
    EXPECT_EQ(out.substr(0, out.find(" : ") + 3), "activity(" + c.name + "): low, high : ");
    ASSERT_EQ(NLLNA[1], static_cast<smallint>(c.activities.size())) << out;
    for (std::size_t i = 0; i < c.activities.size(); ++i)
      EXPECT_NEAR(static_cast<double>(LLNA(1, static_cast<long>(i + 1))), std::log(static_cast<double>(c.activities[i])),
                  1e-12);
    EXPECT_NEAR(static_cast<double>(LNALOW), std::log(static_cast<double>(c.activities.front())), 1e-15);
    EXPECT_NEAR(static_cast<double>(LNAHIGH), std::log(static_cast<double>(c.activities.back())), 1e-15);
    EXPECT_EQ(FIXEDXCO2, c.xco2);
    EXPECT_EQ(FIXEDXH2O, c.xh2o);
  }
}

TEST_F(ActivityWindows, TooLargeActivityStepShowsTheWidth) {
  LNANAME[1] = "q";
  EXPECT_EQ(said("0.25 1\n2\n0.25\n", [] { ZQUTE2::READA(1, 1); }),
            "activity(q): low, high : activity window : 0.25 <-> 1.0 : \n"
            "activity interval : activity interval too large : \n"
            "   max a(high) - a(low) =0.75\n"
            "try again: activity interval : ");
}

TEST_F(ActivityWindows, LogWindowNamesItsBaseOnEveryMainChannel) {
  testsupport::openchannel(2, "out.txt");
  testsupport::openchannel(3, "log.txt");
  struct Case {
    controlboolean setloga;
    sstring name;
    std::string answers, head;
    std::vector<extended> values;
    extended xco2, xh2o;
  };
  const Case cases[] = {
      {yes, "H2O", "-2 0\n0.5\n", "all logs are to the base 10\nlog a(H2O): low, high : ", {-2, -1.5L, -1, -0.5L, 0}, 0, 1},
      {no, "CO2", "-1 -1\n", "all logs are to the base e (ie natural logs)\nln a(CO2): low, high : ", {-1}, 1, 0},
      {no, "ru", "-3 0\n2\n", "all logs are to the base e (ie natural logs)\nln a(ru): low, high : ", {-3, -1, 0}, 0, 0},
  };
  std::string kept;
  for (const Case& c : cases) {
    FIXEDXCO2 = FIXEDXH2O = 0;
    CONTROLJX.setloga = c.setloga;
    CONTROLJX.setlna = c.setloga == yes ? no : yes;
    LNANAME[1] = c.name;
    const std::string out = said(c.answers, [] { ZQUTE2::READLNA(1, 1); });
    EXPECT_EQ(out.substr(0, c.head.size()), c.head);
    kept += c.head.substr(0, c.head.find('\n') + 1);
    ASSERT_EQ(NLLNA[1], static_cast<smallint>(c.values.size())) << out;
    for (std::size_t i = 0; i < c.values.size(); ++i)
      EXPECT_NEAR(static_cast<double>(LLNA(1, static_cast<long>(i + 1))), static_cast<double>(c.values[i]), 1e-15);
    EXPECT_EQ(FIXEDXCO2, c.xco2);
    EXPECT_EQ(FIXEDXH2O, c.xh2o);
  }
  IO::FLUSHER();
  EXPECT_EQ(dir.read("out.txt"), kept);  // the window lines go to the terminal and log only
}

}  // namespace
