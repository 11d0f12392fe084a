// The least-squares preferences file.
#include "zqscript_testsupport.h"

using namespace scripttest;
using namespace ZQGLOBAL;

class ScriptLsqPrefs : public ScriptTest {
 protected:
  void prefs(const std::string& text) {
    scratch_->write("ds-prefs.txt", text);
    answers_.reset();
    answers_ = std::make_unique<testsupport::Answers>("");
    ZQSCRIPT::READCONTROLDS();
  }
};

TEST_F(ScriptLsqPrefs, Suffixes) {
  struct Case {
    std::string text;
    std::string want;
  } cases[] = {
      {"xpsuffix abc\n", "abc"},       {"xpsuffix yes abc\n", "abc"}, {"xpsuffix abc\nxpsuffix no def\n", "abc"},
      {"xpsuffix abc\nxpsuffix\n", ""}, {"xpsuffix on\n", "on"},         {"xpsuffix abc\n*\nxpsuffix def\n", "abc"},
  };
  for (const auto& c : cases) {
    prefs(c.text);
    EXPECT_EQ(CONTROLDS.xpsuffix, c.want) << c.text;
    EXPECT_FALSE(IO::DATAOPEN);
  }
}

TEST_F(ScriptLsqPrefs, LevelsAndSwitches) {
  prefs("");
  EXPECT_EQ(CONTROLDS.infolevel, 1);
  EXPECT_EQ(CONTROLDS.useqr, yes);
  struct Case {
    std::string text;
    smallint level;
  } levels[] = {{"infolevel 7\n", 3}, {"infolevel 0\n", 0}, {"infolevel 2.5\n", 1}, {"infolevel yes 2\n", 1}};
  for (const auto& c : levels) {
    prefs(c.text);
    EXPECT_EQ(CONTROLDS.infolevel, c.level) << c.text;
  }
  prefs("printomit no\nmoreinputlines yes\nmark456\nUseqr no\ntighten ask\n");
  EXPECT_EQ(CONTROLDS.printomit, yes);
  EXPECT_EQ(CONTROLDS.mark456, yes);
  EXPECT_EQ(CONTROLDS.useqr, yes);
  EXPECT_EQ(CONTROLDS.tighten, ask);
}
