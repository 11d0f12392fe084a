// The table of file channels, open and used, written to the terminal.
#include <gtest/gtest.h>

#include "frame/io.h"
#include "iotestsupport.h"

namespace {

class FileState : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::freshstate(); }
  void TearDown() override { testsupport::freshstate(); }
  testsupport::ScratchDir dir;
};

TEST_F(FileState, OneLinePerFileChannelWithOpenAndUsed) {
  struct Case {
    std::vector<int> open;  // file channels opened
    longint written;        // mask written to after opening
    std::string want;
  };
  const Case cases[] = {
      {{},
       0,
       "no files\n"
       "  out    --\n  log    --\n   ic    --    --\n   it    --    --\n   qk    --    --\n"
       "  csv    --    --\n csv2    --    --\n   ps    --    --\n  svg    --    --\n"},
      {{2, 3, 4, 6},
       CHANNEL::DETAILS,
       "after a details line\n"
       "  out  open\n  log  open\n   ic  open  used\n   it    --    --\n   qk  open    --\n"
       "  csv    --    --\n csv2    --    --\n   ps    --    --\n  svg    --    --\n"},
  };
  for (const Case& c : cases) {
    testsupport::freshstate();
    for (int bit : c.open) testsupport::openchannel(bit, "f" + std::to_string(bit) + ".txt");
    if (c.written != 0) IO::PUTSTR(0, "line", 1, c.written);
    testsupport::Terminal term;
    IO::FILESTATE(c.want.substr(0, c.want.find('\n')));
    EXPECT_EQ(term.text(), c.want);
  }
}

TEST_F(FileState, GoesToTheTerminalOnlyEvenWhenTheLogIsOpen) {
  testsupport::openchannel(3, "log.txt");
  testsupport::Terminal term;
  IO::FILESTATE("state");
  IO::FLUSHER();
  EXPECT_EQ(term.text().substr(0, 6), "state\n");
  EXPECT_EQ(dir.read("log.txt"), "");
}

// A stop raised at each step of a run's end, whichever way the run ends
// (a fatal stop, "kill", its normal end, HALT): the held log's check of the
// run's files (once, or every time it is asked, as a line that stops its
// reader stops it again), the log's creation, and the flush of what the
// files still hold. Every end finishes once: one message at most, the
// files closed, the log written when it can be, and a fatal status exactly
// when a stop was raised; none ends in a recursion (which the sanitizer
// build would show as a stack overflow).
TEST_F(FileState, AStopRaisedWhileTheRunEndsEndsItOnceWithOneMessage) {
  enum class end { stop, kill, normal, halt };
  enum class raise { none, guard, guardonce, logfolder, flush, flushandguard };
  static int guarded = 0;
  for (const end how : {end::stop, end::kill, end::normal, end::halt})
    for (const raise what :
         {raise::none, raise::guard, raise::guardonce, raise::logfolder, raise::flush, raise::flushandguard}) {
      SCOPED_TRACE(static_cast<int>(how) * 10 + static_cast<int>(what));
      testsupport::freshstate();
      IO::CONTROLIO.autoexit = true;
      IO::LOGFILE.name = what == raise::logfolder ? "nofolder/jx-log.txt" : "jx-log.txt";
      IO::LOGFILE.holding = true;
      IO::WHATSOPEN |= CHANNEL::LOG;
      IO::PUTSTR(0, "held line", 1, CHANNEL::LOG);
      guarded = 0;
      if (what == raise::guard || what == raise::flushandguard) IO::HELDLOGGUARD = [] { ++guarded, IO::ERROREXIT("guard", "again", yourfault); };
      if (what == raise::guardonce)
        IO::HELDLOGGUARD = [] {
          if (guarded++ == 0) IO::ERROREXIT("guard", "once", yourfault);
        };
      if (what == raise::flush || what == raise::flushandguard) {
        IO::OPENOUTFILE("/dev/full", IO::ICFILE);
        IO::WHATSOPEN |= CHANNEL::DETAILS;
        IO::PUTSTR(0, std::string(100, 'x'), 1, CHANNEL::DETAILS);
      }
      testsupport::Terminal term;
      int status = -1;
      std::string where;
      try {
        switch (how) {
          case end::stop: IO::ERROREXIT("first", "stop", yourfault);
          case end::kill: IO::USERINTERRUPT();
          case end::normal: IO::IOCLEANUP(); break;
          case end::halt: IO::HALT();
        }
        status = IO::exitdone;
      } catch (const IO::runend& e) {
        status = e.status();
        where = e.where;
      }
      const std::string out = term.text();
      std::size_t messages = 0;
      for (std::size_t at = out.find("-- run bombed"); at != std::string::npos; at = out.find("-- run bombed", at + 1))
        ++messages;
      const bool raised = what != raise::none;
      EXPECT_EQ(messages, raised || how == end::stop ? 1u : 0u) << out;
      EXPECT_EQ(status, raised || how == end::stop ? IO::exitbombed : IO::exitdone) << out;
      EXPECT_LE(guarded, 2);
      // The stop that ends the run is the one whose message is out.
      if (messages == 1) {
        EXPECT_NE(out.find("-- run bombed in " + where + " :"), std::string::npos) << where;
      }
      if (how != end::halt) {
        EXPECT_EQ(IO::WHATSOPEN, 0);
      }
      EXPECT_EQ(IO::ENDING, 0);
      // A check that stops leaves the log unmade (it may be a file the run
      // reads), unless it is asked again, as the stop HALT meets asks it.
      const bool logmade = what == raise::none || what == raise::flush || (what == raise::guardonce && how == end::halt);
      EXPECT_EQ(dir.exists("jx-log.txt"), logmade) << out;
      if (logmade) {
        EXPECT_EQ(dir.read("jx-log.txt").rfind("held line\n", 0), 0u);
      }
      std::remove("jx-log.txt");
    }
}

}  // namespace
