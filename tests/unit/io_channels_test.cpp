#include <gtest/gtest.h>

#include "bytes.h"
#include "io.h"
#include "iotestsupport.h"

using testsupport::Terminal;

namespace {

class Channels : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::resetio(); }
  void TearDown() override { testsupport::resetio(); }
  testsupport::ScratchDir dir;
};

TEST_F(Channels, LineEndCodesAndOpenLines) {
  Terminal term;
  IO::PUTSTR(0, "ab", 0, 1);
  IO::PUTSTR(0, "cd", 1, 1);
  IO::PUTSTR(1, "x", 2, 1);
  IO::PUTSTR(-1, "y", 7, 1);
  EXPECT_EQ(term.text(), "abcd\n\nx\n\n\n\ny\n\n");
}

TEST_F(Channels, MaskReachesOnlyOpenChannelsAndMarksUse) {
  testsupport::openchannel(3, "log.txt");
  Terminal term;
  // Summary (4) and details (16) are not open: only terminal and log get it.
  IO::PUTSTR(0, "hello", 1, 13 | 16);
  EXPECT_FALSE(IO::ICFILEUSED);
  testsupport::openchannel(4, "ic.txt");
  IO::PUTSTR(0, "", 0, 16);
  EXPECT_TRUE(IO::ICFILEUSED);  // even empty text marks the file used
  IO::PUTSTR(0, "dropped", 1, 2 | 512);  // text window and a never-open file
  IO::FLUSHER();
  EXPECT_EQ(term.text(), "hello\n");
  EXPECT_EQ(dir.read("log.txt"), "hello\n");
  EXPECT_FALSE(IO::PSFILEUSED);
}

TEST_F(Channels, TerminalCutAtPageWidth) {
  testsupport::openchannel(3, "log.txt");
  const std::string hundred(100, 'a');
  const std::string fits(78, 'b');
  {
    Terminal term;
    IO::PUTSTR(0, hundred, 1, 9);
    IO::PUTSTR(0, fits, 1, 9);
    EXPECT_EQ(term.text(), std::string(78, 'a') + "#\n" + fits + "\n");
  }
  IO::CONTROLIO.dontwrap = false;
  {
    Terminal term;
    IO::PUTSTR(0, hundred, 1, 1);
    EXPECT_EQ(term.text(), hundred + "\n");
  }
  IO::FLUSHER();
  EXPECT_EQ(dir.read("log.txt"), hundred + "\n" + fits + "\n");
}

TEST_F(Channels, AddstrFieldsAndFreeze) {
  std::string line;
  IO::ADDSTR("ab", 5, line);
  EXPECT_EQ(line, "   ab");
  line.clear();
  IO::ADDSTR("ab", -5, line);
  EXPECT_EQ(line, "ab   ");
  line.clear();
  IO::ADDSTR("abcdef", 3, line);
  IO::ADDSTR("xy", 0, line);
  EXPECT_EQ(line, "abcdefxy");

  line = std::string(245, 'z');
  IO::ADDSTR("123456", 0, line);
  EXPECT_EQ(line, std::string(245, 'z') + macroman::section);
  IO::ADDSTR("1", 0, line);
  EXPECT_EQ(line, std::string(245, 'z') + macroman::section);
  // An empty buffer takes a field of any length.
  std::string empty;
  IO::ADDSTR(std::string(300, 'q'), 0, empty);
  EXPECT_EQ(empty.size(), 300u);
}

TEST_F(Channels, FormattextReflowsWholeWords) {
  Terminal term;
  IO::EESTR.fill("");
  std::string words;
  for (int i = 0; i < 30; ++i) words += "word" + std::string(1, static_cast<char>('a' + i % 26)) + " ";
  IO::EESTR[1] = words.substr(0, 90);
  IO::EESTR[2] = words.substr(90);
  IO::EESTR[4] = "after the empty line: not printed";
  IO::FORMATTEXT(IO::EESTR);
  const std::string out = term.text();
  ASSERT_EQ(out.substr(0, 1), "\n");
  std::istringstream lines(out.substr(1));
  std::string l;
  int count = 0;
  while (std::getline(lines, l)) {
    ++count;
    ASSERT_LE(l.size(), 79u);  // 78 and the blank after the last word
    EXPECT_EQ(l.back(), ' ');
  }
  EXPECT_EQ(count, 3);  // 30 words of 6 characters: 13 a line
  EXPECT_EQ(out.find("not printed"), std::string::npos);

  Terminal term2;
  IO::EESTR.fill("");
  IO::FORMATTEXT(IO::EESTR);
  EXPECT_EQ(term2.text(), "\n\n");
}

TEST_F(Channels, FormattextRefusesTooManyWords) {
  Terminal term;
  IO::EESTR.fill("");
  std::string line;
  for (int i = 0; i < 120; ++i) line += "a ";
  for (int i = 1; i <= 4; ++i) IO::EESTR[i] = line;
  try {
    IO::FORMATTEXT(IO::EESTR);
    FAIL() << "no fatal error";
  } catch (const IO::runend& e) {
    EXPECT_EQ(e.where, "format text");
    EXPECT_EQ(e.message, "too many words in lines");
  }
  EXPECT_EQ(term.text().find("\na a"), std::string::npos);
}

TEST_F(Channels, ArrayIndexOutsideEndsRunAsInternalFault) {
  Terminal term;
  farray<int, 1, 3> a{"TESTARRAY"};
  try {
    a[4] = 1;
    FAIL() << "no fatal error";
  } catch (const IO::runend& e) {
    EXPECT_EQ(e.message, "index 4 outside 1..3 of TESTARRAY");
  }
  EXPECT_NE(term.text().find("===This shouldn't have happened...==="), std::string::npos);
}

}  // namespace
