// A step wider than the window is refused with the window's width, shown
// with the decimals of the window limits, and asked again.
#include <gtest/gtest.h>

#include <functional>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"

using namespace ZQGLOBAL;

namespace {

TEST(TooLargeStep, WidthShownAndTheStepAskedAgain) {
  const std::string mu = "\xB5";
  struct Case {
    char kind;  // 'T' LISTT3, 'm' LISTMU, 'a' LISTA
    extended low, high;
    std::string answers, said;
    smallint count;
  };
  const Case cases[] = {
      {'T', 700, 800, "150\n35\n",
       "T interval : T interval too large : max T(high) - T(low) = 100\ntry again: T interval : ", 4},
      {'T', 700.5L, 800.25L, "100\n50\n",
       "T interval : T interval too large : max T(high) - T(low) = 99.75\ntry again: T interval : ", 3},
      {'m', 0, 10, "20\n3\n",
       mu + " window : 0 <-> 10.0 : \n" + mu + " interval : " + mu + " interval too large : max " + mu + "(high) - " +
           mu + "(low) =10.0\ntry again: " + mu + " interval : ",
       5},
      {'a', 0.1L, 0.35L, "1\n0.05\n",
       "activity window : 0.1 <-> 0.35 : \nactivity interval : activity interval too large : \n"
       "   max a(high) - a(low) =0.25\ntry again: activity interval : ",
       6},
  };
  for (const Case& c : cases) {
    testsupport::freshstate();
    IO::CONTROLIO.pagewidth = 200;
    CTINC = 0;
    VARIANCE = 1;
    CALCVARIABLE = calcvariabletype::calcpressure;
    std::function<void()> call;
    std::function<smallint()> count;
    switch (c.kind) {
      case 'T':
        TLOW = c.low;
        THIGH = c.high;
        call = ZQUTE1::LISTT3;
        count = [] { return NLT; };
        break;
      case 'm':
        call = [&] { ZQUTE1::LISTMU(1, c.low, c.high); };
        count = [] { return NLMU[1]; };
        break;
      default:
        call = [&] { ZQUTE1::LISTA(1, c.low, c.high); };
        count = [] { return NLLNA[1]; };
    }
    std::string out;
    EXPECT_EQ(testsupport::answered(c.answers, call, out), "");
    EXPECT_EQ(out, c.said);
    EXPECT_EQ(count(), c.count) << c.said;
  }
  testsupport::freshstate();
}

}  // namespace
