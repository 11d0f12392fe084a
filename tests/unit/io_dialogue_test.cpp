// Prompts, answers, the log echo, "kill" and the end of a run.
#include <gtest/gtest.h>

#include <functional>

#include "frame/io.h"
#include "iotestsupport.h"

using testsupport::Answers;
using testsupport::Terminal;

namespace {

class Dialogue : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    testsupport::openchannel(3, "log.txt");
  }
  void TearDown() override { testsupport::freshstate(); }
  std::string log() {
    IO::FLUSHER();
    return dir.read("log.txt");
  }
  testsupport::ScratchDir dir;
};

TEST_F(Dialogue, PromptRealAsksUntilANumber) {
  Terminal term;
  Answers a("\nabc\n1.5 abc\n");
  extended x = 0;
  IO::PROMPTREAL("pressure", x);
  EXPECT_EQ(x, 1.5L);
  EXPECT_EQ(term.text(), "pressure :   : abc not a real: replace with : ");
  EXPECT_EQ(log(), "pressure : (nothing input)\n  : abc\nabc not a real: replace with :  1.5 abc \n");
}

TEST_F(Dialogue, PromptIntegerTakesIntegralRealsOnly) {
  Terminal term;
  Answers a("40000\n2.5\n1.0\n");
  smallint i = 0;
  IO::PROMPTINTEGER("count", i);
  EXPECT_EQ(i, 1);
  EXPECT_EQ(term.text(), "count : 40000 too large: replace with : 2.5 not an integer: replace with : ");
}

TEST_F(Dialogue, PromptReals) {
  struct Case {
    std::string answers;
    smallint n, wantn;
    extended v1, v3;
    std::string shown;
  };
  std::string fortyone;
  for (int i = 1; i <= 41; ++i) fortyone += "1 ";
  const Case cases[] = {
      // Too few words: one continuation line, whose first word is the third value.
      {"1 2\n3 4\n", 3, 3, 1, 3, "values :   : "},
      // As many as typed; a bad word alone is asked again.
      {"2 x 4\n\n3\n", 0, 3, 2, 4, "values : x not a real: replace with :   : "},
      // More than the table holds: asked again whole.
      {fortyone + "\n5 6 7\n", 0, 3, 5, 7, "values : \ntoo many values"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    Terminal term;
    Answers a(c.answers);
    IO::rrvector v;
    smallint n = c.n;
    IO::PROMPTREALS("values", v, n);
    EXPECT_EQ(n, c.wantn);
    EXPECT_EQ(v[1], c.v1);
    EXPECT_EQ(v[3], c.v3);
    EXPECT_EQ(term.text().substr(0, c.shown.size()), c.shown);
  }
}

TEST_F(Dialogue, QueryAndPromptcontrolAcceptDifferentYes) {
  Terminal term;
  struct Case {
    std::string answer;
    bool query, control;
  };
  const Case cases[] = {{"", true, true},     {"Y", true, false},   {"y", true, true},  {"ok", false, true},
                        {"1", true, true},    {" yes ", true, true}, {"no", false, false}, {"kill now", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    {
      Answers a(c.answer + "\n");
      EXPECT_EQ(IO::QUERY("go on"), c.query);
    }
    Answers a(c.answer + "\n");
    controlboolean cb = ask;
    IO::PROMPTCONTROL("go on", cb);
    EXPECT_EQ(cb, c.control ? yes : no);
    // Settled: a second call asks nothing (there is no answer left to read).
    IO::PROMPTCONTROL("go on", cb);
  }
  EXPECT_NE(log().find("go on ? yes\n"), std::string::npos);
}

TEST_F(Dialogue, QueryHelpAsksOnceMore) {
  Terminal term;
  Answers a("?\n?\n");
  EXPECT_FALSE(IO::QUERY("more"));
  EXPECT_EQ(term.text(), "more ? \nsorry, you are on your own...\n\nmore ? ");
}

TEST_F(Dialogue, KillIsRecognisedOnlyWhereItShouldBe) {
  Terminal term;
  sstring w;
  extended x;
  smallint i;
  controlboolean c = ask;
  struct Case {
    std::string answers;
    std::function<void()> call;
    bool killed;
  };
  const Case cases[] = {
      {" kill \n", [] { IO::QUERY("q"); }, true},
      {"kill\n", [&] { IO::PROMPTCONTROL("q", c); }, true},
      {"kill now\n", [&] { IO::PROMPTSTRING("w", w); }, false},  // only a one-word answer
      {"kill now\n", [&] { IO::PROMPTREAL("x", x); }, true},     // the first word
      {"KILL\nkills\n3\n", [&] { IO::PROMPTINTEGER("i", i); }, false},
      {"1 kill\n", [&] { IO::rrvector v; smallint n = 2; IO::PROMPTREALS("v", v, n); }, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.answers);
    Answers a(k.answers);
    bool killed = false;
    try {
      k.call();
    } catch (const IO::runend& e) {
      killed = e.killed;
    }
    EXPECT_EQ(killed, k.killed);
    IO::WHATSOPEN = 1;  // a kill closes every channel
  }
  EXPECT_TRUE(IO::KILLSTRING("\tkill\xCA"));
}

// HALT, the end of the avPT+ brute force and of the drawing, is no failure;
// an internal fault is one, as every fatal stop.
TEST_F(Dialogue, HaltIsNoFailureAnInternalFaultIs) {
  Terminal term;
  const auto status = [](void (*call)()) {
    try {
      call();
    } catch (const IO::runend& e) {
      return e.status();
    }
    return -1;
  };
  EXPECT_EQ(status([] { IO::HALT(); }), IO::exitdone);
  EXPECT_EQ(status([] { IO::INTERNALCHECK(false, "here", "broken"); }), IO::exitbombed);
}

TEST_F(Dialogue, BackspacesEditTheAnswerAndWordsEchoWithBlanks) {
  Terminal term;
  Answers a("ab\bc\na b\n");
  IO::strings words;
  smallint n = 0;
  IO::PROMPTSTRINGS("w", words, n);
  EXPECT_EQ(words[1], "ac");
  IO::PROMPTSTRINGS("w", words, n);
  EXPECT_EQ(log(), "w : ac\nw :  a b \n");
}

TEST_F(Dialogue, FatalBlockReachesOpenMainChannels) {
  testsupport::openchannel(2, "out.txt");
  testsupport::openchannel(4, "ic.txt");
  testsupport::openchannel(5, "it.txt");
  IO::CONTROLIO.autoexit = false;
  Terminal term;
  Answers a("");  // the Return wait ends at the end of input
  try {
    IO::ERROREXIT("somewhere", "it broke", myfault);
  } catch (const IO::runend& e) {
    EXPECT_EQ(e.where, "somewhere");
  }
  const std::string block =
      "\n-- run bombed in somewhere : it broke\n\n\n===This shouldn't have happened...===\n"
      "please report it to the maintainers of SOLVARINTH\nwith full details, relevant files etc etc\n\n";
  EXPECT_EQ(term.text(), block + "\n\nhit return to exit program\n");
  EXPECT_EQ(dir.read("out.txt"), block);
  EXPECT_EQ(dir.read("log.txt"), block);
  EXPECT_EQ(IO::WHATSOPEN, 0);
  EXPECT_FALSE(dir.exists("it.txt"));  // pruned: nothing was written to it
}

TEST_F(Dialogue, InternalCheckEndsTheRunOnlyWhenBroken) {
  Terminal term;
  EXPECT_EQ(testsupport::fatal([] { IO::INTERNALCHECK(1 + 1 == 2, "adder", "sum wrong"); }), "");
  EXPECT_EQ(term.text(), "");
  try {
    IO::INTERNALCHECK(1 + 1 == 3, "adder", "sum wrong");
    ADD_FAILURE() << "the run did not end";
  } catch (const IO::runend& e) {
    EXPECT_EQ(e.where, "adder");
    EXPECT_EQ(e.message, "sum wrong");
    EXPECT_EQ(e.fault, myfault);
    EXPECT_FALSE(e.killed);
  }
  EXPECT_NE(term.text().find("===This shouldn't have happened...==="), std::string::npos);
}

TEST_F(Dialogue, FilesReadWithAnyLineEnd) {
  dir.write("in.txt", "a b % c\nx%y\r\nlast % \rz");
  IO::textfile f;
  f.f = std::fopen("in.txt", "rb");
  IO::strings words;
  smallint n = 0;
  for (auto [cut, want] : {std::pair{true, "a b "}, {true, "x%y "}, {false, "last % "}, {false, "z "}}) {
    IO::READSTRINGS(f, words, n, cut);
    std::string got;
    for (long i = 1; i <= n; ++i) got += words[i] + " ";
    EXPECT_EQ(got, want);
  }
  EXPECT_TRUE(IO::ENDOFFILE(f));
  Terminal term;
  EXPECT_THROW(IO::RSTRINGS(f, words, n), IO::runend);
  std::fclose(f.f);
}

}  // namespace

namespace {

class LongAnswers : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    testsupport::openchannel(3, "log.txt");
  }
  void TearDown() override { testsupport::freshstate(); }
  std::string log() {
    IO::FLUSHER();
    return dir.read("log.txt");
  }
  testsupport::ScratchDir dir;
};

// 26 values of 10 characters: 285 characters with their blanks, more than a
// line; its first part would end in the middle of the 24th value.
std::string longlist() {
  std::string s;
  for (int i = 1; i <= 26; ++i) s += (i > 1 ? " " : "") + std::string("0.12345678");
  return s;
}

const std::string refusal = "answer of 285 characters, longer than 255: not taken, enter it again\n";

}  // namespace

TEST_F(LongAnswers, ListsAreAskedAgainWholeNeverCut) {
  Terminal term;
  Answers a(longlist() + "\n0.1 0.4468 0.7\n");
  IO::rrvector v;
  smallint n = 0;
  IO::PROMPTREALS("x(CO2) in ascending order", v, n);
  ASSERT_EQ(n, 3);
  EXPECT_EQ(v[1], 0.1L);
  EXPECT_EQ(v[2], 0.4468L);
  EXPECT_EQ(v[3], 0.7L);
  EXPECT_EQ(term.text(), "x(CO2) in ascending order : " + refusal + "x(CO2) in ascending order : ");
  EXPECT_EQ(log(), "x(CO2) in ascending order : " + refusal + "x(CO2) in ascending order :  0.1 0.4468 0.7 \n");
}

TEST_F(LongAnswers, EveryPromptRefusesThemAndALineThatFitsIsTakenWhole) {
  // Exactly a line: 127 one-character words and blanks, the last "9".
  std::string full;
  for (int i = 1; i <= 127; ++i) full += "1 ";
  full += "9";
  ASSERT_EQ(full.size(), 255u);
  {
    Terminal term;
    Answers a(full + "\n");
    IO::strings words;
    smallint n = 0;
    IO::PROMPTSTRINGS("names", words, n);
    EXPECT_EQ(n, 128);
    EXPECT_EQ(words[128], "9");
  }
  {
    // A continuation line of a list of three.
    Terminal term;
    Answers a("1\n" + longlist() + "\n2 3\n");
    IO::rrvector v;
    smallint n = 3;
    IO::PROMPTREALS("values", v, n);
    EXPECT_EQ(v[2], 2.0L);
    EXPECT_EQ(v[3], 3.0L);
    EXPECT_EQ(term.text(), "values :   : " + refusal + "  : ");
  }
  {
    Terminal term;
    Answers a(longlist() + "\n2.5\n");
    extended x = 0;
    IO::PROMPTREAL("pressure", x);
    EXPECT_EQ(x, 2.5L);
    EXPECT_EQ(term.text(), "pressure : " + refusal + "pressure : ");
  }
  {
    // Characters typed away with backspaces do not count: 295 typed, 255 kept.
    Terminal term;
    Answers a(std::string(20, 'q') + std::string(20, '\b') + full + "\n");
    IO::strings words;
    smallint n = 0;
    IO::PROMPTSTRINGS("names", words, n);
    EXPECT_EQ(n, 128);
    EXPECT_EQ(words[1], "1");
  }
  {
    Terminal term;
    Answers a(std::string(300, 'n') + "\ny\n");
    EXPECT_TRUE(IO::QUERY("fluid just H2O"));
    EXPECT_EQ(term.text(),
              "fluid just H2O ? answer of 300 characters, longer than 255: not taken, enter it again\nfluid just H2O ? ");
  }
  {
    Terminal term;
    Answers a(std::string(256, 'n') + "\n\n");
    controlboolean c = ask;
    IO::PROMPTCONTROL("use it", c);
    EXPECT_EQ(c, yes);
  }
}
