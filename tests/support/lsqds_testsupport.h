// A calc-mode-9 run's start for the unit tests: fresh state, the start-up's
// tables, the least-squares preferences and its files in a scratch folder;
// everything given back afterwards, whatever order the tests run in.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "lsq/lsqds.h"

namespace lsqtest {

class Mode9Test : public ::testing::Test {
 protected:
  // The run set up with the given end-member and a-x files (suffix "t").
  void start(const std::string& emfile, const std::string& axfile) {
    testsupport::freshstate();
    ZQUTE1::SETUP();
    ZQGLOBAL::CALCMODE = calcmodetype::lsqdscalc;
    dir.write("ds-prefs.txt", "emsuffix t\naxsuffix t\nxpsuffix t\n*\n");
    LSQDS::INTRO();
    IO::CONTROLIO.strictaxnames = false;
    dir.write("ds-emt.txt", emfile);
    dir.write("ds-axt.txt", axfile);
  }
  void TearDown() override {
    ZQUTE1::CLEANUP();
    testsupport::freshstate();
  }
  testsupport::ScratchDir dir;
};

}  // namespace lsqtest
