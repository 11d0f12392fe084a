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

// An answer longer than a line (255) is refused whole and asked again at
// every prompt, never cut; one of exactly 255, or of more before its
// backspaces, is taken whole. The list: 26 values of 10 characters.
TEST_F(Dialogue, AnswersLongerThanALineAreAskedAgainNeverCut) {
  std::string list = "0.12345678", full;
  for (int i = 2; i <= 26; ++i) list += " 0.12345678";
  for (int i = 1; i <= 127; ++i) full += "1 ";
  full += "9";
  const std::string no = "answer of 285 characters, longer than 255: not taken, enter it again\n";
  Terminal term;
  Answers a(list + "\n0.1 0.4468 0.7\n" + std::string(20, 'q') + std::string(20, '\b') + full + "\n" + list +
            "\nn\n");
  IO::rrvector v;
  smallint n = 0;
  IO::PROMPTREALS("x", v, n);
  EXPECT_TRUE(n == 3 && v[1] == 0.1L && v[2] == 0.4468L && v[3] == 0.7L);
  IO::strings words;
  IO::PROMPTSTRINGS("w", words, n);
  EXPECT_TRUE(n == 128 && words[128] == "9");
  EXPECT_FALSE(IO::QUERY("q"));
  EXPECT_EQ(term.text(), "x : " + no + "x : w : q ? " + no + "q ? ");
  const std::string echo = "x : " + no + "x :  0.1 0.4468 0.7 \n";
  EXPECT_EQ(log().substr(0, echo.size()), echo);
}
