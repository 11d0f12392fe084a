// Tests of the output channels and line building: line ends, masks, the
// terminal cut, fields and reflowed messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "frame/bytes.h"
#include "frame/io.h"
#include "iotestsupport.h"

using testsupport::Terminal;

namespace {

class Channels : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::freshstate(); }
  void TearDown() override { testsupport::freshstate(); }
  testsupport::ScratchDir dir;
};

TEST_F(Channels, LineEndCodesAndOpenLines) {
  Terminal term;
  IO::PUTSTR(0, "ab", 0, CHANNEL::TERMINAL);
  IO::PUTSTR(0, "cd", 1, CHANNEL::TERMINAL);
  IO::PUTSTR(1, "x", 2, CHANNEL::TERMINAL);
  IO::PUTSTR(-1, "y", 7, CHANNEL::TERMINAL);
  EXPECT_EQ(term.text(), "abcd\n\nx\n\n\n\ny\n\n");
}

TEST_F(Channels, MaskReachesOnlyOpenChannelsAndMarksUse) {
  testsupport::openchannel(3, "log.txt");
  Terminal term;
  // Summary (4) and details (16) are not open: only terminal and log get it.
  IO::PUTSTR(0, "hello", 1, CHANNEL::TERMSUMLOG | CHANNEL::DETAILS);
  EXPECT_FALSE(IO::ICFILEUSED);
  testsupport::openchannel(4, "ic.txt");
  IO::PUTSTR(0, "", 0, CHANNEL::DETAILS);
  EXPECT_TRUE(IO::ICFILEUSED);  // even empty text marks the file used
  IO::PUTSTR(0, "dropped", 1, CHANNEL::WINDOW | CHANNEL::FURTHER);  // text window and a never-open file
  IO::FLUSHER();
  EXPECT_EQ(term.text(), "hello\n");
  EXPECT_EQ(dir.read("log.txt"), "hello\n");
  EXPECT_FALSE(IO::PSFILEUSED);
}

TEST_F(Channels, TerminalCutAtPageWidth) {
  testsupport::openchannel(3, "log.txt");
  const std::string hundred(100, 'a'), fits(78, 'b');
  for (bool wrap : {true, false}) {
    IO::CONTROLIO.dontwrap = wrap;
    Terminal term;
    IO::PUTSTR(0, hundred, 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, fits, 1, CHANNEL::TERMLOG);
    EXPECT_EQ(term.text(), (wrap ? std::string(78, 'a') + "#" : hundred) + "\n" + fits + "\n");
  }
  IO::FLUSHER();
  EXPECT_EQ(dir.read("log.txt"), hundred + "\n" + fits + "\n" + hundred + "\n" + fits + "\n");
}

TEST_F(Channels, AddstrFieldsWholeAtAnyLength) {
  struct Case {
    std::string line, text;
    smallint width;
    std::string want;
    bool overrun;  // past the line's length, where a table goes on
  };
  const std::string z(245, 'z');
  const Case cases[] = {
      {"", "ab", 5, "   ab", false},
      {"", "ab", -5, "ab   ", false},
      {"x", "abcdef", 3, "xabcdef", false},                  // too long for its field: whole, no blanks
      {"", std::string(300, 'q'), 0, std::string(300, 'q'), false},  // an empty buffer takes anything
      {z, "12345", 12, z + "       12345", false},  // 250 before the padding: within the line
      {z, "123456", 0, z + "123456", true},           // past 250: whole all the same, no mark
      {z + "123456", "1", 3, z + "123456  1", true},  // and so on after it
  };
  for (const Case& c : cases) {
    std::string line = c.line;
    const std::size_t before = IO::OVERRUNS;
    IO::ADDSTR(c.text, c.width, line);
    EXPECT_EQ(line, c.want) << c.text;
    EXPECT_EQ(IO::OVERRUNS != before, c.overrun) << c.text;
  }
}

// A table goes on in a further block, and a flowed row in a further line,
// where an append by the line builder would pass a line's length, measured
// before the padding as always; a table of one row is written too.
TEST_F(Channels, TablesAndRowsGoOnWhereTheBuilderPassesTheLength) {
  IO::CONTROLIO.dontwrap = false;
  auto name = [](long k) { return std::string(k < 10 ? "c0" : "c") + std::to_string(k); };
  std::string block1 = "row  ", block2 = "row  ";
  for (long k = 1; k <= 30; ++k) IO::ADDSTR(name(k), 10, k <= 25 ? block1 : block2);
  ASSERT_EQ(block1.size(), 255u);  // 245 + 3 is within the length; the padding passes it
  {
    Terminal term;
    IO::PUTTABLE(
        1, 30, [](long, std::string& line) { line += "row  "; },
        [&](long, long c, std::string& line) { IO::ADDSTR(name(c), 10, line); }, 1, CHANNEL::TERMINAL);
    EXPECT_EQ(term.text(), "\n" + block1 + "\n\n" + block2 + "\n");
  }
  // 62 fields of 4 reach 249; the 63rd would pass 250 and starts the next
  // line. A field appended past the builder is not measured.
  std::string first = "h", second = "  ";
  for (long k = 1; k <= 80; ++k) (k <= 62 ? first : second) += " " + name(k % 100);
  const std::vector<std::string> lines = IO::FLOWROW(
      "h", 80, [&](long k, std::string& line) { IO::ADDSTR(" " + name(k % 100), 0, line); }, " \\", "  ");
  EXPECT_EQ(lines, (std::vector<std::string>{first + " \\", second}));
  const std::vector<std::string> unmeasured =
      IO::FLOWROW("h", 80, [&](long k, std::string& line) { line += " " + name(k % 100); }, " \\", "  ");
  EXPECT_EQ(unmeasured.size(), 1u);
}

TEST_F(Channels, FormattextReflowsWholeWordsAndRefusesTooMany) {
  Terminal term;
  IO::EESTR.fill("");
  std::string words;
  for (int i = 0; i < 30; ++i) words += "word" + std::string(1, static_cast<char>('a' + i % 26)) + " ";
  IO::EESTR[1] = words.substr(0, 90);
  IO::EESTR[2] = words.substr(90);
  IO::EESTR[4] = "after the empty line: not printed";
  IO::FORMATTEXT(IO::EESTR);
  // 13 six-character words a line: 78 characters with the blank after the last.
  EXPECT_EQ(term.text(), "\n" + words.substr(0, 78) + "\n" + words.substr(78, 78) + "\n" + words.substr(156) + "\n");

  Terminal term2;
  IO::EESTR.fill("");
  IO::FORMATTEXT(IO::EESTR);
  EXPECT_EQ(term2.text(), "\n\n");

  std::string line;
  for (int i = 0; i < 120; ++i) line += "a ";
  for (int i = 1; i <= 4; ++i) IO::EESTR[i] = line;
  try {
    IO::FORMATTEXT(IO::EESTR);
    FAIL() << "no fatal error";
  } catch (const IO::runend& e) {
    EXPECT_EQ(e.where + ": " + e.message, "format text: too many words in lines");
  }
  EXPECT_EQ(term2.text().find("\na a"), std::string::npos);  // nothing of it printed
}

TEST_F(Channels, ArrayIndexOutsideEndsRunAsInternalFault) {
  Terminal term;
  farray<int, 1, 3> a{"TESTARRAY"};
  EXPECT_THROW(a[4] = 1, IO::runend);
  EXPECT_NE(term.text().find("array index : index 4 outside 1..3 of TESTARRAY\n\n\n===This shouldn't"),
            std::string::npos);
  // An index from a count that overflowed is shown in full, not as blanks.
  const std::pair<long, std::string> wild[] = {
      {std::numeric_limits<long>::min() + 1, "-9223372036854775807"}, {3000000000L, "3000000000"}, {-7L, "-7"}};
  for (const auto& w : wild)
    EXPECT_EQ(testsupport::fatal([&] { a[w.first]; }), "array index: index " + w.second + " outside 1..3 of TESTARRAY");
}

// A try's writes wait, in their order, until written as they would have
// been; a stop within it says, closes and asks nothing, and the run goes on.
TEST_F(Channels, ATryIsHeldUntilWrittenAndItsStopIsItsOwn) {
  testsupport::openchannel(3, "log.txt");
  Terminal term;
  IO::heldwrites kept;
  {
    const IO::HOLDWRITES hold(kept);
    IO::PUTSTR(0, "one", 1, CHANNEL::TERMLOG);
    IO::WRITETERMINAL("two\n");
    EXPECT_EQ(testsupport::fatal([] { IO::ERROREXIT("here", "stopped", yourfault); }), "here: stopped");
    IO::PUTSTR(0, "three", 1, CHANNEL::LOG);
  }
  IO::FLUSHER();
  EXPECT_EQ(term.text(), "");
  EXPECT_EQ(dir.read("log.txt"), "");
  EXPECT_FALSE(IO::STOPPING);
  EXPECT_NE(IO::WHATSOPEN, 0);
  IO::WRITEHELD(kept);
  IO::FLUSHER();
  EXPECT_EQ(term.text(), "one\ntwo\n");
  EXPECT_EQ(dir.read("log.txt"), "one\nthree\n");
}

// A full disk: every write to the file fails when it reaches the device.
void openfull(int bit) {
  testsupport::openchannel(bit, "/dev/full");
  std::setvbuf(IO::CHANNELFILE(bit).f, nullptr, _IONBF, 0);
}

int count(const std::string& text, const std::string& piece) {
  int n = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

const std::string fullblock =
    "\n-- run bombed in writefile : problem writing the file \"/dev/full\" (No space left on device)\n\n";

// The first write that fails ends the run as a fatal stop there and then,
// once: the stop's own writes to the failing file start no second one.
TEST_F(Channels, FirstFailedWriteIsAFatalStop) {
  testsupport::openchannel(3, "log.txt");
  openfull(2);
  Terminal term;
  IO::runend end;
  try {
    IO::PUTSTR(0, "result", 1, CHANNEL::TERMSUMLOG);
    ADD_FAILURE() << "the write to a full disk went unnoticed";
  } catch (const IO::runend& e) {
    end = e;
  }
  EXPECT_TRUE(end.bombed);
  EXPECT_EQ(end.status(), IO::exitbombed);
  EXPECT_EQ(term.text(), "result\n" + fullblock + "\nproblem writing outfile\n");
  EXPECT_EQ(dir.read("log.txt"), fullblock);  // the line stopped at the summary, before the log
  EXPECT_EQ(IO::WHATSOPEN, 0);
}

// A failure while the run is ending anyway leaves that end as it is, or
// turns an end that would say all went well into a fatal stop.
TEST_F(Channels, FailedWritesAtTheEndOfARun) {
  openfull(2);
  Terminal term;
  try {
    IO::ERROREXIT("somewhere", "bad input", yourfault);
  } catch (const IO::runend& e) {
    EXPECT_EQ(e.where, "somewhere");
    EXPECT_TRUE(e.bombed);
  }
  EXPECT_EQ(count(term.text(), "-- run bombed"), 1) << term.text();
  EXPECT_NE(term.text().find("problem writing outfile\n"), std::string::npos);

  // Buffered text that meets the full disk only when flushed.
  for (const auto& [what, end] : std::vector<std::pair<std::string, std::function<void()>>>{
           {"close", [] { IO::IOCLEANUP(); }},
           {"close one file", [] { IO::FILECLOSE(IO::OUT, true, "outfile"); }},
           {"kill", [] { IO::USERINTERRUPT(); }},
           {"halt", [] { IO::HALT(); }}}) {
    SCOPED_TRACE(what);
    testsupport::freshstate();
    testsupport::openchannel(2, "/dev/full");
    IO::PUTSTR(0, "last lines", 1, CHANNEL::SUMMARY);
    Terminal t;
    IO::runend stop;
    try {
      end();
    } catch (const IO::runend& e) {
      stop = e;
    }
    EXPECT_EQ(stop.where, "writefile");
    EXPECT_EQ(stop.status(), IO::exitbombed);
    EXPECT_EQ(count(t.text(), fullblock), 1) << t.text();
  }
}

// A name in a right-justified column: as ADDSTR writes it while narrower
// than the column, one blank before it once as wide or wider, so that two
// names side by side stay two words; left-justified, one blank before it
// after a field that filled its column, else as ADDSTR writes it; unpadded
// as ADDSTR writes it. (Expected strings counted by hand.)
TEST(NamesInColumns, KeepABlankBeforeAWideName) {
  const auto both = [](const std::string& a, const std::string& b, smallint w) {
    std::string line = "mode";
    IO::ADDNAME(a, w, line);
    IO::ADDNAME(b, w, line);
    return line;
  };
  EXPECT_EQ(both("ss", "abcdefgh", 10), "mode        ss  abcdefgh");
  EXPECT_EQ(both("abcdefghi", "ss", 10), "mode abcdefghi        ss");  // 9 of 10: as before
  EXPECT_EQ(both("abcdefghij", "klmnopqrst", 10), "mode abcdefghij klmnopqrst");
  EXPECT_EQ(both("abcdefghijkl", "mnopqrstuvwx", 10), "mode abcdefghijkl mnopqrstuvwx");
  for (const std::string& n : {std::string("ab"), std::string("abcdefghi")}) {
    std::string a, b;
    IO::ADDSTR(n, 10, a);
    IO::ADDNAME(n, 10, b);
    EXPECT_EQ(a, b) << n;
  }
  EXPECT_EQ(both("abcdef", "gh", -6), "mode abcdef gh   ");
  EXPECT_EQ(both("abcde", "gh", -6), "mode abcde gh   ");  // the first fills its 6 with its blank
  std::string padded = "mode  ";
  IO::ADDNAME("abcde", -6, padded);
  IO::ADDNAME("gh", -6, padded);
  EXPECT_EQ(padded, "mode  abcde gh    ");
  EXPECT_EQ(both("ab", "cd", 0), "modeabcd");
}

}  // namespace
