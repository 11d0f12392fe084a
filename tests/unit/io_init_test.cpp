// Start-up of the I/O layer: ordinals, the run stamp, the preferences.
#include <gtest/gtest.h>

#include <ctime>

#include "frame/io.h"
#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"

namespace {

IO::timepoint fixed;
IO::timepoint fixedclock() { return fixed; }

IO::timepoint localtime(int year, int month, int day, int hour, int minute) {
  std::tm tm{};
  tm.tm_year = year - 1900, tm.tm_mon = month - 1, tm.tm_mday = day, tm.tm_hour = hour, tm.tm_min = minute;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

TEST(RunStamp, HoursMinutesWeekdayDate) {
  auto saved = IO::CLOCK;
  IO::CLOCK = fixedclock;
  struct Case {
    int y, mo, d, h, mi;
    const char* stamp;
  };
  const Case cases[] = {{2026, 12, 5, 9, 5, "9.05 on Sat 5 Dec,2026"},
                        {2026, 1, 14, 14, 7, "14.07 on Wed 14 Jan,2026"},
                        {2026, 6, 1, 14, 10, "14.10 on Mon 1 Jun,2026"},
                        {2027, 2, 28, 0, 0, "0.00 on Sun 28 Feb,2027"}};
  for (const Case& c : cases) {
    fixed = localtime(c.y, c.mo, c.d, c.h, c.mi);
    IO::MAKEWHEN();
    EXPECT_EQ(IO::WHENSTRING, c.stamp);
  }
  IO::CLOCK = saved;
}

class Startup : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::freshstate(); }
  void TearDown() override { testsupport::freshstate(); }
  testsupport::ScratchDir dir;
};

TEST_F(Startup, OrdinalsAndMachineEpsilon) {
  dir.write("jx-prefs.txt", "dsfile 1\nscriptfile a\n");
  testsupport::Terminal term;
  IO::INITIALISEIO("SOLVARINTH test");
  for (auto [i, word] : {std::pair{1, "1st"}, {2, "2nd"}, {3, "3rd"}, {11, "11th"}, {12, "12th"}, {22, "22nd"},
                         {101, "101st"}, {113, "113th"}, {400, "400th"}})
    EXPECT_EQ(IO::NTH[i], word);
  EXPECT_EQ(IO::MACHEPS, 1.0L / 18446744073709551616.0L);  // 2^-64
  EXPECT_EQ(term.text(), "\nSOLVARINTH test\n\n");
  // The log is made only once the run's file names are known not to clash;
  // what was written before reaches it then.
  EXPECT_FALSE(dir.exists("jx-log.txt"));
  IO::PUTSTR(0, "later", 1, 8);
  IO::OPENLOG();
  IO::FLUSHER();
  EXPECT_EQ(dir.read("jx-log.txt"), "[display/print with fixed width font (eg Monaco)]\n\n\nlater\n");
}

TEST_F(Startup, PreferencesSettings) {
  struct Case {
    std::string prefs;
    smallint width, calcmode;
    bool dontwrap;
    std::string ds, script;
  };
  const Case cases[] = {
      {"dsfile 62\nscriptfile AFM\nsetpagewidth 60\n", 80, -1, true, "62", "AFM"},
      {"dsfile yes 62\nscriptfile on AFM\nsetpagewidth 300\ncalcmode 2\n", 250, 2, true, "62", "AFM"},
      {"dsfile no 62\ndsfile 7 % later value wins\nscriptfile AFM\nsetpagewidth wide\ndontwrap no\n", 80, -1, false,
       "7", "AFM"},
      {"scriptfile AFM\ncalcmode 9\n\n\n", 80, 9, true, "", "AFM"},
      {"dsfile 1\r\nscriptfile AFM\r\n*\ncalcmode 3\n", 80, -1, true, "1", "AFM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prefs);
    dir.write("jx-prefs.txt", c.prefs);
    testsupport::Terminal term;
    IO::READPREFS();
    EXPECT_EQ(IO::CONTROLIO.pagewidth, c.width);
    EXPECT_EQ(IO::CONTROLIO.calcmode, c.calcmode);
    EXPECT_EQ(IO::CONTROLIO.dontwrap, c.dontwrap);
    EXPECT_EQ(IO::CONTROLIO.dsfile, c.ds);
    EXPECT_EQ(IO::CONTROLIO.scriptfile, c.script);
    EXPECT_EQ(term.text(), "");
  }
}

TEST_F(Startup, PreferencesProblems) {
  testsupport::Terminal term;
  {
    // Unrecognised lines: two questions, both answered no, and the run goes on.
    dir.write("jx-prefs.txt", "dsfile 1\nscriptfile a\nbogus 1\nother\n");
    testsupport::Answers a("n\nn\n");
    IO::READPREFS();
    EXPECT_EQ(IO::NFAIL, 2);
    EXPECT_NE(term.text().find("\nbogus unrecognised\n"), std::string::npos);
    EXPECT_NE(term.text().find("there are script problems in the prefs file listed immediately above:\n"
                               "exit, and delete unrecognised scripts from the prefs file ? "),
              std::string::npos);
  }
  {
    // A comment hides the suffix: the mandatory paragraph, re-flowed, then the stop.
    dir.write("jx-prefs.txt", "dsfile 1\nscriptfile % AFM\n");
    try {
      IO::READPREFS();
      FAIL();
    } catch (const IO::runend& e) {
      EXPECT_EQ(e.where, "reading scripts");
      EXPECT_EQ(e.message, "add mandatory scripts to the prefsfile");
    }
    EXPECT_NE(term.text().find("\n1) new in jx350, the \"scriptfile\" script is mandatory in the prefsfile, \n"
                               "followed by the suffix to the name of the script file."),
              std::string::npos)
        << term.text();
    IO::WHATSOPEN = 1;  // the stop closed the terminal channel
  }
  {
    std::remove("jx-prefs.txt");
    dir.write("ds-prefs.txt", "anything\n");
    IO::READPREFS();
    EXPECT_EQ(IO::CONTROLIO.scriptfile, "");
    std::remove("ds-prefs.txt");
    try {
      IO::READPREFS();
      FAIL();
    } catch (const IO::runend& e) {
      EXPECT_EQ(e.message, "can't open \"jx-prefs.txt\"");
    }
    EXPECT_NE(term.text().find("\n\xA5\xA5 no prefs file \"jx-prefs.txt\"\n\n"), std::string::npos);
  }
}

TEST_F(Startup, LeastSquaresRunKeepsItsSuffixForTheNewDataSet) {
  dir.write("ds-scrqz9.txt", "");
  dir.write("jx-abc.txt", "");
  ZQGLOBAL::CALCMODE = calcmodetype::lsqdscalc;
  ZQGLOBAL::CONTROLDS.jxdssuffix = "qz9";
  IO::CONTROLIO.scriptfile = "abc";
  testsupport::Terminal term;
  ZQUTE1::STARTOUT();
  EXPECT_EQ(IO::DATAFILENAMESUFFIX, "qz9");
  EXPECT_EQ(IO::SCRIPTFILENAME, "jx-abc.txt");
  EXPECT_EQ(IO::WHATSOPEN, 1 + 4 + 16 + 128);
}

}  // namespace
