// The start of calc mode 9 a second time in one process (a test binary, a
// fuzz driver that runs a whole run per input): its tables are there already,
// emptied, and the heap monitor counts none of them again.
#include <gtest/gtest.h>

#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "lsq/lsqds.h"

namespace {

class LeastSquaresStart : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    ZQUTE1::SETUP();
    ZQGLOBAL::CALCMODE = calcmodetype::lsqdscalc;
    dir.write("ds-prefs.txt", "*\n");
  }
  void TearDown() override {
    ZQUTE1::CLEANUP();
    testsupport::freshstate();
  }
  testsupport::ScratchDir dir;
};

TEST_F(LeastSquaresStart, TablesAreCountedOnceWhenMade) {
  LSQDS::INTRO();
  const longint once = IO::HEAPSIZE;
  ZQGLOBAL::TDA[1].h = -910;
  (*LSQDS::Y)[1] = 2;

  IO::CONTROLIO.monitorheap = true;
  testsupport::Terminal term;
  for (int run = 2; run <= 4; ++run) {
    SCOPED_TRACE(run);
    LSQDS::INTRO();
    EXPECT_EQ(IO::HEAPSIZE, once);
    EXPECT_EQ(term.text().find("space allocated"), std::string::npos) << term.text();
    // Found as a fresh run makes them.
    EXPECT_EQ(ZQGLOBAL::TDA[1].h, 0);
    EXPECT_EQ((*LSQDS::Y)[1], 0);
  }
}

}  // namespace
