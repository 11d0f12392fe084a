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

}  // namespace
