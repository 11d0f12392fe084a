// The run's files at start-up: an output may not take the name of a file
// the run reads, and an input may not be one of the run's outputs.
#include <gtest/gtest.h>

#include "frame/io.h"
#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"

namespace {

class StartOut : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    IO::LOGFILE.name = "jx-log.txt";
    IO::LOGFILE.holding = true;
    IO::WHATSOPEN = CHANNEL::TERMLOG;
  }
  void TearDown() override {
    ZQGLOBAL::CALCMODE = calcmodetype::nlecalc;
    ZQGLOBAL::CONTROLDS = controldstype{};
    testsupport::freshstate();
  }
  testsupport::ScratchDir dir;
  testsupport::Terminal term;
};

TEST_F(StartOut, LeastSquaresOutputNamedLikeItsEndMemberFile) {
  // The csv name is cut to 22 characters after "ds-", leaving the name of
  // the end-member file.
  const std::string d = "emabcdefghijklmnop.txt";
  dir.write("ds-scr" + d + ".txt", "");
  dir.write("ds-emabcdefghijklmnop.txt", "my end-members\n");
  ZQGLOBAL::CALCMODE = calcmodetype::lsqdscalc;
  ZQGLOBAL::CONTROLDS.jxdssuffix = d;
  ZQGLOBAL::CONTROLDS.emsuffix = "abcdefghijklmnop";
  IO::CONTROLIO.scriptfile = "abc";
  EXPECT_EQ(testsupport::fatal(ZQUTE1::STARTOUT),
            "startout: the output file \"ds-emabcdefghijklmnop.txt\" would overwrite the end-member file");
  EXPECT_EQ(dir.read("ds-emabcdefghijklmnop.txt"), "my end-members\n");
  // The log held the dialogue and was made at the stop; no output was.
  EXPECT_TRUE(dir.exists("jx-log.txt"));
  EXPECT_FALSE(dir.exists("ds-o" + d));
}

TEST_F(StartOut, InputsAreNotReadFromTheRunsOutputs) {
  // An "axfile" line after the end mark is never read, so it names nothing.
  dir.write("jx-abc.txt", "axfile qz\n*\naxfile abc-o\n");
  IO::CONTROLIO.scriptfile = "abc";
  ZQUTE1::STARTOUT();
  // The script is back at its start for the reader.
  IO::strings w{"words"};
  smallint n = 0;
  IO::READSTRINGS(IO::DATA, w, n, true);
  EXPECT_EQ(n, 2);
  EXPECT_TRUE(dir.exists("jx-log.txt"));

  // A suffix typed later that names an output, and the log, not yet made.
  sstring suffix = "abc-o";
  IO::textfile f;
  EXPECT_EQ(testsupport::fatal([&] { IO::PROMPTDATAFILE("jx-", suffix, "a-x info", f); }),
            "promptdatafile: the file \"jx-abc-o.txt\" is an output file of this run and cannot be read as a-x info");
  EXPECT_EQ(f.f, nullptr);
}

}  // namespace
