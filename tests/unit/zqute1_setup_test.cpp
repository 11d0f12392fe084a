// Set-up of a run: a second SETUP in one process (a test binary, a fuzz
// driver) finds the same state and the same heap count as the first.
#include <gtest/gtest.h>

#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"

namespace {

using namespace ZQGLOBAL;

// What set-up decides, as one comparable value.
struct snapshot {
  longint heap;
  const void* tables[7];
  std::string constants;
  bool operator==(const snapshot&) const = default;
};

snapshot take() {
  snapshot s{IO::HEAPSIZE, {C, COV, R, PREC0, PREC1, TD, DCOMPDX}, ""};
  for (extended x : {TFACA, TFACB, PFACA, PFACB, ABSPLOW, FIXEDXCO2, FIXEDXH2O, FIXEDLNA[1], FIXEDLNA[6], MOLWT[1],
                     MOLWT[26], static_cast<extended>((*C)(1, 1)), static_cast<extended>((*C)(26, 400))})
    s.constants += IO::REAL2STR(x, 12, false) + " ";
  for (smallint n : {NP0, NPSS, NP, NR, NX, NLNA, PPRECISION, MUPRECISION, GIXPW, NAQSI, VARIANCE, NSITE[1],
                     NSITE[400], static_cast<smallint>(IO::NGEM), static_cast<smallint>(BCOMPS[26])})
    s.constants += IO::INT2STR(n) + " ";
  s.constants += ELNAME[14] + OXNAME[14] + CONVSTATUS + IO::DATAFILENAMESUFFIX;
  return s;
}

class RunSetup : public ::testing::Test {
 protected:
  // A run an earlier test stopped part-way may have left the tables made,
  // and the fresh state keeps them: the heap is counted from none.
  void SetUp() override {
    ZQUTE1::CLEANUP();
    testsupport::freshstate();
  }
  void TearDown() override {
    ZQUTE1::CLEANUP();
    testsupport::freshstate();
  }
};

TEST_F(RunSetup, TwiceIsOnceAndCleanupBalancesTheHeap) {
  const longint before = IO::HEAPSIZE;
  IO::CONTROLIO.monitorheap = true;
  testsupport::Terminal term;
  ZQUTE1::SETUP();
  const snapshot once = take();
  EXPECT_GT(once.heap, before);

  // A run's worth of changes to what set-up owns.
  NPSS = 5;
  NR = 3;
  IO::NGEM = 99;
  FIXEDLNA[1] = -2;
  FIXEDXH2O = 1;
  NSITE[400] = 4;
  (*C)(26, 400) = 7;
  IO::DATAFILENAMESUFFIX = "abc";
  ZQUTE1::SETUP();
  EXPECT_EQ(take(), once);

  // Each table is announced once, when it is made.
  const std::string monitor = term.text();
  std::size_t made = 0;
  for (std::size_t at = monitor.find("space allocated"); at != std::string::npos;
       at = monitor.find("space allocated", at + 1))
    ++made;
  EXPECT_EQ(made, 7u);
  EXPECT_EQ(monitor.find("jxcalc"), std::string::npos) << monitor;

  ZQUTE1::CLEANUP();
  EXPECT_EQ(IO::HEAPSIZE, before);
  EXPECT_EQ(TD, nullptr);
  ZQUTE1::CLEANUP();  // nothing left to give back
  EXPECT_EQ(IO::HEAPSIZE, before);
}

}  // namespace
