// Prompts, answers, the log echo, "kill" and the end of a run.
#include <gtest/gtest.h>

#include "io.h"
#include "iotestsupport.h"

using testsupport::Answers;
using testsupport::Terminal;

namespace {

class Dialogue : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetio();
    testsupport::openchannel(3, "log.txt");
  }
  void TearDown() override { testsupport::resetio(); }
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

TEST_F(Dialogue, PromptRealsCollectsContinuationLines) {
  Terminal term;
  Answers a("1 2\n3 4\n");
  IO::rrvector v;
  smallint n = 3;
  IO::PROMPTREALS("values", v, n);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(v[3], 3.0L);
  EXPECT_EQ(term.text(), "values :   : ");
}

TEST_F(Dialogue, PromptRealsReasksOneBadValueAndRefusesMoreThan40) {
  Terminal term;
  std::string many;
  for (int i = 1; i <= 41; ++i) many += "1 ";
  Answers a(many + "\n2 x 4\n3\n");
  IO::rrvector v;
  smallint n = 0;
  IO::PROMPTREALS("values", v, n);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(v[1], 2.0L);
  EXPECT_EQ(v[2], 3.0L);
  EXPECT_EQ(v[3], 4.0L);
  EXPECT_NE(term.text().find("too many values"), std::string::npos);
  EXPECT_NE(term.text().find("x not a real: replace with : "), std::string::npos);
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
  // A kill closes every channel: open the terminal again for the next case.
  auto killed = [](auto&& call) {
    bool k = false;
    try {
      call();
    } catch (const IO::runend& e) {
      k = e.killed;
    }
    IO::WHATSOPEN = 1;
    return k;
  };
  {
    Answers a(" kill \n");
    EXPECT_TRUE(killed([] { IO::QUERY("q"); }));
  }
  {
    Answers a("kill now\n");
    sstring w;
    EXPECT_FALSE(killed([&] { IO::PROMPTSTRING("w", w); }));
    EXPECT_EQ(w, "kill");
  }
  {
    Answers a("kill now\n");
    extended x;
    EXPECT_TRUE(killed([&] { IO::PROMPTREAL("x", x); }));
  }
  {
    Answers a("KILL\nkills\n3\n");
    smallint i;
    EXPECT_FALSE(killed([&] { IO::PROMPTINTEGER("i", i); }));
  }
  EXPECT_TRUE(IO::KILLSTRING("\tkill\xCA"));
  EXPECT_FALSE(IO::KILLSTRING("Kill"));
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

TEST_F(Dialogue, FilesReadWithAnyLineEnd) {
  dir.write("in.txt", "a b % c\nx%y\r\nlast\rz");
  IO::textfile f;
  f.f = std::fopen("in.txt", "rb");
  IO::strings words;
  smallint n = 0;
  IO::READSTRINGS(f, words, n, true);
  EXPECT_EQ(n, 2);
  IO::READSTRINGS(f, words, n, true);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(words[1], "x%y");
  IO::READSTRINGS(f, words, n, false);
  EXPECT_EQ(words[1], "last");
  EXPECT_FALSE(IO::ENDOFFILE(f));
  IO::READSTRINGS(f, words, n, false);
  EXPECT_EQ(words[1], "z");
  EXPECT_TRUE(IO::ENDOFFILE(f));
  Terminal term;
  EXPECT_THROW(IO::RSTRINGS(f, words, n), IO::runend);
  std::fclose(f.f);
}

}  // namespace
