// Fixtures shared by the unit tests: every global fresh before and after
// a test, or a suite, and what they set up between.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "frame/zqute1.h"
#include "iotestsupport.h"

namespace testsupport {

// The work arrays allocated around each test, the terminal 200 columns wide.
class WorkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    freshstate();
    ZQGLOBAL::ALLOCATEWORK();
    IO::CONTROLIO.pagewidth = 200;
  }
  void TearDown() override {
    ZQGLOBAL::RELEASEWORK();
    freshstate();
  }
  static std::string run(const std::string& answers, const std::function<void()>& f, std::string& out) {
    return answered(answers, f, out);
  }
};

// The units set up once for the whole suite.
class UnitsSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    freshstate();
    ZQUTE1::SETUP();
  }
  static void TearDownTestSuite() {
    ZQUTE1::CLEANUP();
    freshstate();
  }
};

}  // namespace testsupport
