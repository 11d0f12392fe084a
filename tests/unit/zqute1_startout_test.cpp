// The run's files at start-up: an output may not take the name of a file
// the run reads, and an input may not be one of the run's outputs.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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
  // Named, the data set is not asked for.
  IO::CONTROLIO.dsfile = "7qz";
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
  EXPECT_EQ(testsupport::fatal([&] { IO::PROMPTDATAFILE(IO::AXNAME, suffix, "a-x info", f); }),
            "promptdatafile: the file \"jx-abc-o.txt\" is an output file of this run and cannot be read as a-x info");
  EXPECT_EQ(f.f, nullptr);
}

// An output opened on a file the run already writes under another name,
// or on one another process holds, is refused before it is emptied.
TEST_F(StartOut, AnOutputIsNotEmptiedWhenItIsAnotherOutputOrHeldElsewhere) {
  testsupport::openchannel(CHANNEL::SUMMARYBIT, "jx-a-o.txt");
  IO::WRITEFILE(IO::OUT, "the summary so far\n");
  IO::FLUSHFILE(IO::OUT);
  std::filesystem::create_hard_link("jx-a-o.txt", "jx-a-ic.txt");
  EXPECT_EQ(testsupport::fatal([] { IO::PROMPTOUTFILE("", "jx-a-ic.txt", IO::ICFILE); }),
            "promptoutfile: two files of the run, \"jx-a-o.txt\" and \"jx-a-ic.txt\", are the same file under two "
            "names");
  EXPECT_EQ(dir.read("jx-a-o.txt").rfind("the summary so far\n", 0), 0u);
  // Nor is an input read from an output through a link made later.
  testsupport::openchannel(CHANNEL::SUMMARYBIT, "jx-a-o.txt");
  std::filesystem::create_symlink("jx-a-o.txt", "jx-new.txt");
  IO::textfile f;
  sstring suffix = "new";
  EXPECT_EQ(testsupport::fatal([&] { IO::PROMPTDATAFILE(IO::AXNAME, suffix, "a-x info", f); }),
            "promptdatafile: the file \"jx-new.txt\" is the output file \"jx-a-o.txt\" of this run under another "
            "name and cannot be read as a-x info");
  EXPECT_EQ(f.f, nullptr);

  // A lock taken through another opening of the file stands for another
  // run; let go, the file is made afresh.
  dir.write("jx-b-o.txt", "another run's summary\n");
  const int fd = ::open("jx-b-o.txt", O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  const std::string held =
      "another run is writing \"jx-b-o.txt\": the run files of a folder are one run's at a time; let that run "
      "end, or run in another folder";
  EXPECT_EQ(testsupport::fatal([] { IO::PROMPTOUTFILE("", "jx-b-o.txt", IO::OUT); }), "promptoutfile: " + held);
  EXPECT_EQ(dir.read("jx-b-o.txt"), "another run's summary\n");
  EXPECT_EQ(testsupport::fatal([] { IO::CHECKFOLDERFREE("jx-b-o.txt"); }), "initialiseio: " + held);
  ::close(fd);
  EXPECT_EQ(testsupport::fatal([] { IO::CHECKFOLDERFREE("jx-b-o.txt"); }), "");
  EXPECT_EQ(testsupport::fatal([] { IO::PROMPTOUTFILE("", "jx-b-o.txt", IO::OUT); }), "");
  IO::FILECLOSE(IO::OUT, true, "outfile");
  EXPECT_EQ(dir.read("jx-b-o.txt"), "");
}

}  // namespace
