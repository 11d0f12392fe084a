// Helpers for the end-member model tests: the global switches the model
// reads, set for one test and put back after it, and relative comparison.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "frame/constants.h"
#include "iotestsupport.h"
#include "model/zqcalc1.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_dataset.h"

namespace testsupport {

// The switches of the model as a test wants them; restored on destruction.
struct modelswitches {
  bool usesp = ZQGLOBAL::USESP;
  bool witholdset = ZQGLOBAL::WITHOLDSET;
  bool makecdhydrous = ZQGLOBAL::MAKECDHYDROUS;
  ftype fluidtype = ZQGLOBAL::FLUIDTYPE;
  calcmodetype calcmode = ZQGLOBAL::CALCMODE;
  smallint debuglevel = ZQGLOBAL::DEBUGLEVEL;
  explicit modelswitches(bool sp = true) {
    resetio();
    ZQCALC1::RESETFLUIDCACHE();
    ZQCALC1::RESETHELDCHOICES();
    ZQGLOBAL::USESP = sp;
    ZQGLOBAL::WITHOLDSET = false;
    ZQGLOBAL::MAKECDHYDROUS = false;
    ZQGLOBAL::FLUIDTYPE = ftype::notset;
    ZQGLOBAL::CALCMODE = calcmodetype::nlecalc;
    ZQGLOBAL::DEBUGLEVEL = 1;
  }
  ~modelswitches() {
    ZQGLOBAL::USESP = usesp;
    ZQGLOBAL::WITHOLDSET = witholdset;
    ZQGLOBAL::MAKECDHYDROUS = makecdhydrous;
    ZQGLOBAL::FLUIDTYPE = fluidtype;
    ZQGLOBAL::CALCMODE = calcmode;
    ZQGLOBAL::DEBUGLEVEL = debuglevel;
    ZQCALC1::RESETFLUIDCACHE();
    ZQCALC1::RESETHELDCHOICES();
  }
};

// |a - b| within rel times |b|.
inline ::testing::AssertionResult near(long double a, long double b, long double rel) {
  if (std::fabs(a - b) <= rel * std::fabs(b)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << static_cast<double>(a) << " differs from " << static_cast<double>(b)
                                       << " by more than " << static_cast<double>(rel) << " relative";
}

}  // namespace testsupport
