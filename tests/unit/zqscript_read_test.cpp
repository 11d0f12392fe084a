// The frame of the script reader: logical lines, typed info items, switch
// words and the reset of every setting between reads.
#include "zqscript_testsupport.h"

using namespace scripttest;
using namespace ZQGLOBAL;
using ZQSCRIPT::INFOINT;
using ZQSCRIPT::INFOREAL;
using ZQSCRIPT::INFOSTRING;
using ZQSCRIPT::INFOTYPE;
using ZQSCRIPT::NINFO;

namespace {

std::string words(int n, const std::string& w) {
  std::string s;
  for (int i = 0; i < n; ++i) s += w + " ";
  return s;
}

}  // namespace

class ScriptGrammar : public ScriptTest {};

// "calcsdnle" only informs, so the info items of the last line stay to be seen.
TEST_F(ScriptGrammar, ContinuationLinesJoinIntoOneLine) {
  struct Case {
    std::string text;
    std::vector<std::string> items;
  } cases[] = {
      {"calcsdnle 400 500 \\\n10\n", {"400", "500", "10"}},
      {"calcsdnle 400 500 \\\n\\\ncalcsdnle 7\n", {"7"}},              // a lone "\" ends the line
      {"calcsdnle 1 \\\n% just a comment\ncalcsdnle 2\n", {"2"}},    // blank ends the joined line
      {"calcsdnle 1 \\\n* 2\n", {"1", "*", "2"}},                    // "*" after a continuation is a word
      {"calcsdnle 400 500\\\n", {"400", "500\\"}},                   // glued "\" is part of the word
      {"calcsdnle 1 2 % 3 4\n", {"1", "2"}},                         // comment cut
      {"calcsdnle 1\n*\ncalcsdnle 9\n", {"1"}},                      // "*" ends the script
  };
  for (const auto& c : cases) {
    read(c.text);
    ASSERT_EQ(NINFO, static_cast<smallint>(c.items.size())) << c.text;
    for (std::size_t i = 0; i < c.items.size(); ++i) EXPECT_EQ(INFOSTRING[i + 1], c.items[i]) << c.text;
    EXPECT_EQ(IO::NFAIL, 0);
  }
}

TEST_F(ScriptGrammar, PhysicalLineAndWordLimits) {
  auto lines = [](int n) {
    std::string s = "calcsdnle \\\n";
    for (int i = 2; i < n; ++i) s += "x \\\n";
    return s + "y\n";
  };
  // 49 physical lines are joined (the 48 items then overflow the info);
  // the 50th physical line is fatal in the joining itself
  auto e = fatal(lines(49));
  EXPECT_EQ(e.message, "too much info");
  e = fatal(lines(50));
  EXPECT_EQ(e.where, "readcontrol");
  EXPECT_EQ(e.message, "multiline gone berko");

  // lines are at most 255 characters, so the words come 100 a line
  const std::string w400 = words(100, "a") + "\\\n" + words(100, "b") + "\\\n" + words(100, "c") + "\\\n" +
                           words(100, "d");
  e = fatal(w400 + "\\\ne\n");
  EXPECT_EQ(e.message, "too many strings in a multiline: lines 1 to 5 of \"jx-tst.txt\" hold more than 400 words");
  e = fatal(w400 + "\n");
  EXPECT_EQ(e.message, "too much info");
  EXPECT_EQ(e.where, "reading script for a");
}

TEST_F(ScriptGrammar, InfoItemCountLimit) {
  read("calcsdnle " + words(40, "1") + "\n");
  EXPECT_EQ(NINFO, 40);
  auto e = fatal("calcsdnle " + words(41, "1") + "\n");
  EXPECT_EQ(e.message, "too much info");
  EXPECT_EQ(e.where, "reading script for calcsdnle");
}

TEST_F(ScriptGrammar, TypedItems) {
  read("calcsdnle 3/4 40000 -3 2.5 gt\n");
  EXPECT_EQ(INFOTYPE[1], valuetype::arational);
  EXPECT_EQ(INFOREAL[1], static_cast<extended>(0.75));
  EXPECT_EQ(INFOINT[1], 0);
  EXPECT_EQ(INFOTYPE[2], valuetype::aninteger);
  EXPECT_EQ(INFOINT[2], 0);
  EXPECT_EQ(INFOREAL[2], 40000);
  EXPECT_EQ(INFOINT[3], -3);
  EXPECT_EQ(INFOREAL[3], -3);
  EXPECT_EQ(INFOTYPE[4], valuetype::areal);
  EXPECT_EQ(INFOTYPE[5], valuetype::astring);
  EXPECT_EQ(INFOREAL[5], 0);
  EXPECT_EQ(INFOTYPE[6], valuetype::anemptystring);
  for (const char* bad : {"calcsdnle 3/0\n", "calcsdnle 0/3\n"}) {
    auto e = fatal(bad);
    EXPECT_EQ(e.where, "reading script for calcsdnle") << bad;
    EXPECT_EQ(e.message, "number is not a number") << bad;
  }
}

TEST_F(ScriptGrammar, SwitchWords) {
  struct Case {
    std::string line;
    controlboolean sw;
    int n;
  } cases[] = {
      {"with yes g q", yes, 2}, {"with g q", yes, 2}, {"with on g q", yes, 2}, {"with none", no, 0},
  };
  for (const auto& c : cases) {
    read(c.line + "\n");
    EXPECT_EQ(CONTROLJX.with, c.sw) << c.line;
    EXPECT_EQ(NWHSTRINGS, c.n) << c.line;
  }
  read("with no g q\n");
  EXPECT_EQ(CONTROLJX.with, no);
  EXPECT_EQ(NWHSTRINGS, 0);
}

TEST_F(ScriptGrammar, ShiftInfo) {
  read("calcsdnle a b\n");
  ZQSCRIPT::SHIFTINFO(2);
  EXPECT_EQ(NINFO, 2);
  EXPECT_EQ(INFOSTRING[1], "a");
  read("calcsdnle a 2 c\n");
  ZQSCRIPT::SHIFTINFO(1);
  EXPECT_EQ(NINFO, 2);
  EXPECT_EQ(INFOINT[1], 2);
  EXPECT_EQ(INFOSTRING[2], "c");
  EXPECT_EQ(INFOTYPE[3], valuetype::anemptystring);
}

TEST_F(ScriptGrammar, EverySettingIsResetBetweenReads) {
  read("strictscripting\nautoexit\ncalcTatP no\nmodebox\ndebuglevel 4\noutlevel 0\nconvergence 1e-9 1e-7 0.01 "
       "1e-5\nfigure T-x(CO2)\nwith g q\nsetexcess q\ndogmin 1\npseudosection\nbulk SiO2 MgO\nbulk 1 1\nsetfluid 0.3\nrockname xx\nplotix 1\ngaussmc\n"
       "xyzguess x(g) 0.5\nmodeguess g 0.2\nnumerical\nmcit 5 2\n");
  EXPECT_TRUE(CONTROLJX.strictscripting);
  EXPECT_TRUE(DOGMIN);
  EXPECT_EQ(FIXEDXCO2, 0.3L);
  read("");
  EXPECT_FALSE(CONTROLJX.strictscripting);
  EXPECT_FALSE(IO::CONTROLIO.autoexit);
  EXPECT_EQ(CONTROLJX.calcTatP, ask);
  EXPECT_EQ(CONTROLJX.modebox, no);
  EXPECT_EQ(DEBUGLEVEL, 1);
  EXPECT_EQ(OUTLEVEL, 1);
  EXPECT_EQ(SMALLE, 1e-8L);
  EXPECT_EQ(FIGURE, 0);
  EXPECT_FALSE(EXBUFF);
  EXPECT_EQ(NWHSTRINGS, 0);
  EXPECT_EQ(NEXCESSSTRINGS, 0);
  EXPECT_FALSE(DOGMIN);
  EXPECT_EQ(FIXEDXCO2, 0);
  EXPECT_EQ(FIXEDXH2O, 1);
  EXPECT_EQ(CONTROLJX.runname, no);
  EXPECT_EQ(CONTROLJX.plotixcode, 0);
  EXPECT_FALSE(GAUSSMC);
  EXPECT_EQ(NXYZ, -1);
  EXPECT_EQ(NMODEGUESS, -1);
  EXPECT_FALSE(NUMERICAL);
  EXPECT_EQ(MCIT, 1);
  EXPECT_EQ(MCITOK, 1);
  // defaults that are not "no" or 0
  EXPECT_EQ(CONTROLJX.modeiso, ask);
  EXPECT_EQ(CONTROLJX.zeromodeiso, yes);
  EXPECT_EQ(CONTROLJX.doallreactions, ask);
  EXPECT_EQ(CONTROLJX.dataok, ask);
  EXPECT_EQ(CONTROLJX.subrangelow, -1);
  EXPECT_EQ(DOGLEVEL, -1);
  EXPECT_EQ(NCOMP, -3);
  EXPECT_EQ(NBATCH, 1);  // the implicit single item
  EXPECT_EQ(BATCHNO[1], 1);
  EXPECT_EQ(IO::NFAIL, 0);
  EXPECT_FALSE(IO::SCRIPTOPEN);
}

TEST_F(ScriptGrammar, NegativePressureOutlivesTheRead) {
  read("negp\n");
  EXPECT_EQ(ABSPLOW, -50);
  EXPECT_EQ(PFACA, 1 / 1550.0L);
  read("");
  EXPECT_EQ(ABSPLOW, -50);
  EXPECT_EQ(FIGPLOW, -50);
}

TEST_F(ScriptGrammar, LaterPassReopensOrAsksForTheScript) {
  read("");
  MAINLOOP = 2;
  struct Case {
    std::string prefsname, answers, text;
    int level;
    std::string name;
  } cases[] = {
      {"tst", "", "debuglevel 5\n", 5, "jx-tst.txt"},  // named in the preferences: no question
      {"", "\n", "debuglevel 4\n", 4, "jx-tst.txt"},  // Return keeps the script
      {"", "yes\noth\n", "debuglevel 3\n", 2, "jx-oth.txt"},  // "yes" is no keep: the suffix is asked
  };
  scratch_->write("jx-oth.txt", "debuglevel 2\n");
  for (const auto& c : cases) {
    scratch_->write("jx-tst.txt", c.text);
    IO::CONTROLIO.scriptfile = c.prefsname;
    answers_.reset();
    answers_ = std::make_unique<testsupport::Answers>(c.answers);
    ZQSCRIPT::READCONTROLJX();
    EXPECT_EQ(DEBUGLEVEL, c.level) << c.answers;
    EXPECT_EQ(IO::SCRIPTFILENAME, c.name) << c.answers;
  }
}
