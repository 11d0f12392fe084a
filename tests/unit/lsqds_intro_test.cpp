// Calc mode 9 started again in one process (a test binary, the whole-run
// fuzz target): its tables are found made and counted, so the heap count
// stays where the first start left it.
#include <gtest/gtest.h>

#include <string>

#include "lsqds_testsupport.h"

namespace {

class LeastSquaresStart : public lsqtest::Mode9Test {};

TEST_F(LeastSquaresStart, TablesAreCountedOnceWhenMade) {
  start("", "");
  const longint once = IO::HEAPSIZE;
  IO::CONTROLIO.monitorheap = true;
  testsupport::Terminal term;
  LSQDS::INTRO();
  LSQDS::INTRO();
  EXPECT_EQ(IO::HEAPSIZE, once);
  EXPECT_EQ(term.text().find("space allocated"), std::string::npos) << term.text();
}

}  // namespace
