// Start-up's names: a run that ends before the names of its files are
// checked writes its log through no link onto a file it has named, and
// every name a run reads, typed at a question or not, is asked and checked
// before any output is made. Each run is held to a file size and a time.
#include <regex>

#include "harness.h"
#include "runfiles.h"

using e2e::expectuntouched;
using e2e::filelimit;
using e2e::has;
using namespace std::string_literals;

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> typed = {"dataset/jx-ds7qz1.txt", "frame/mode1/jx-qtest.txt", "frame/mode1/jx-qzax.txt"};
const std::vector<std::string> utilities = {"utilities/jx-ds6ut.txt", "utilities/jx-tb.txt", "utilities/jx-utax.txt"};
const std::map<std::string, std::string> noprefs = {{"ds-prefs.txt", "*\n"}};

int count(const std::string& text, const std::string& piece) {
  int n = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

std::string qkdata() { return e2e::slurp(fs::path(SOLVARINTH_FIXTURES) / "drawing/qk-fourfield.txt"); }

std::map<std::string, std::string> with(std::map<std::string, std::string> files,
                                        const std::map<std::string, std::string>& more) {
  for (const auto& [name, text] : more) files[name] = text;
  return files;
}

// A run that ends early, the log a link to target, one of the files the
// run has named by then: symbolic and hard, or symbolic only when target is
// no file yet (then nothing may be made there).
struct EarlyEnd {
  const char* what;
  const char* program;
  std::vector<std::string> fixtures;
  std::map<std::string, std::string> extra;
  std::string answers;
  std::vector<std::string> targets;
  int status;
  std::string said;
};

TEST(EarlyEnds, TheHeldLogGoesOverNoFileTheRunHasNamed) {
  const std::string nul = "\" holds a NUL byte, which no file name can hold\n";
  const std::string ds = "suffix to name for thermo dataset datafile : ";
  const std::string killed = "\n-- run killed --\n";
  const std::string qtest = e2e::slurp(fs::path(SOLVARINTH_FIXTURES) / "frame/mode1/jx-qtest.txt");
  const std::map<std::string, std::string> axcut = with(noprefs, {{"jx-qtest.txt", "axfile qzax\0zz\nwith qtzx\n*\n"s}});
  const std::map<std::string, std::string> axnew = with(noprefs, {{"jx-qtest.txt", "axfile qznew\nwith qtzx\n*\n"}});
  const std::map<std::string, std::string> mode0 = {{"jx-prefs.txt", "dsfile 7qz1\nscriptfile qtest\ncalcmode 0\n"}};
  const std::map<std::string, std::string> xpcut = {
      {"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix cv\naxsuffix ab\nxpsuffix on\0ce\ninfolevel 2\n*\n"s}};
  const std::map<std::string, std::string> noscr = {{"ds-prefs.txt", "emsuffix cv\naxsuffix ab\n*\n"}};
  const std::map<std::string, std::string> drawing = with(noprefs, {{"jx-ff.txt", "% drawing only\n*\n"}, {"qk-ff.txt", qkdata()}});
  const std::map<std::string, std::string> drawcut = with(drawing, {{"jx-ff.txt", "axfile a\0b\n*\n"s}});
  const char* const exe = SOLVARINTH_EXE;
  const char* const draw = SOLVARINTH_DRAWFILE;
  const char* const util = SOLVARINTH_UTILITYRUN;
  const EarlyEnd cases[] = {
      {"kill at the data set: the typed script's a-x file and the least-squares preferences", exe, typed, noprefs,
       "1\nqtest\nkill\n", {"jx-qzax.txt", "ds-prefs.txt"}, 0, ds + killed},
      {"end of input at the data set", exe, typed, noprefs, "1\nqtest\n", {"jx-qzax.txt"}, 1, "problems reading"},
      {"NUL at the data set", exe, typed, noprefs, "1\nqtest\n7qz1\0\n"s, {"jx-qzax.txt"}, 1,
       "promptdatafile : the suffix \"7qz1<NUL>" + nul},
      {"no data set typed", exe, typed, noprefs, "1\nqtest\n\n", {"jx-qzax.txt"}, 1,
       "expecting a suffix for data filename"},
      {"calc mode 2, kill at the data set", exe, typed, noprefs, "2\nqtest\nkill\n", {"jx-qzax.txt"}, 0, ds + killed},
      {"calc mode 3, kill at the data set", exe, typed, noprefs, "3\nqtest\nkill\n", {"jx-qzax.txt"}, 0, ds + killed},
      {"NUL in the axfile word: the data set just typed and the script", exe, typed, axcut, "1\nqtest\n7qz1\n",
       {"jx-ds7qz1.txt", "jx-qtest.txt"}, 1, "startout : the axfile suffix \"qzax<NUL>zz" + nul},
      {"kill at the question on the preferences, the preferences naming the files", exe,
       {"dataset/jx-ds7qz1.txt", "frame/mode1"}, {{"jx-prefs.txt", "dsfile 7qz1\nscriptfile qtest\nbogus 1\n"}},
       "kill\n", {"jx-qzax.txt", "jx-qtest.txt"}, 0, "from the prefs file ? " + killed},
      {"a calc mode that is no number", exe, {"dataset/jx-ds7qz1.txt", "frame/mode1", "frame/askmode"}, {}, "x\n",
       {"jx-qzax.txt"}, 1, "getcalcmode : integer needed (1), between 0 and 3"},
      {"end of input at the script", exe, typed, noprefs, "1\n", {"ds-prefs.txt"}, 1, "problems reading"},
      {"kill at the script", exe, typed, noprefs, "1\nkill\n", {"ds-prefs.txt"}, 0,
       "suffix to name for script info datafile : " + killed},
      {"a typed script that is not there", exe, typed, noprefs, "1\nnone\n", {"jx-none.txt"}, 1,
       "cannot locate file \"jx-none.txt\""},
      {"an a-x file not there yet", exe, typed, axnew, "1\nqtest\nkill\n", {"jx-qznew.txt"}, 0, ds + killed},
      {"kill at the calc mode, the preferences naming the files", exe,
       {"dataset/jx-ds7qz1.txt", "frame/mode1", "frame/askmode"}, {}, "kill\n", {"jx-qzax.txt", "jx-ds7qz1.txt"}, 0,
       "calcmode code : " + killed},
      {"calc mode 0 refused", exe, {"dataset/jx-ds7qz1.txt", "frame/mode1"}, mode0, "\n", {"jx-qzax.txt"}, 1,
       "sorry, mode 0 not available: use jx350"},
      {"calc mode 9, NUL in the experiments suffix: every other file its preferences name", exe, {"lsq"}, xpcut, "\n",
       {"ds-emcv-f.txt", "ds-axab.txt", "ds-scr6cv.txt", "jx-lsq.txt"}, 1,
       "readcontrolds : the xpsuffix \"on<NUL>ce" + nul},
      {"calc mode 9, kill at its script's suffix", exe, {"lsq"}, noscr, "kill\n", {"ds-emcv-f.txt", "ds-axab.txt"}, 0,
       "suffix to name for script info datafile : " + killed},
      {"calc mode 9, its typed script not there", exe, {"lsq"}, noscr, "nope\n", {"ds-scrnope.txt"}, 1,
       "cannot locate file \"ds-scrnope.txt\""},
      {"drawing, NUL in the axfile word: the drawing data named after the typed script", draw, {}, drawcut, "ff\n",
       {"qk-ff.txt"}, 1, "startout : the axfile suffix \"a<NUL>b" + nul},
      {"drawing, kill at its data's suffix: the script", draw, {}, drawing, "ff\nkill\n", {"jx-ff.txt", "qk-ff.txt"}, 0,
       "suffix to name for datafile : " + killed},
      {"drawing, no suffix for its data", draw, {}, drawing, "ff\n\n", {"qk-ff.txt", "jx-ff.txt"}, 1,
       "expecting a suffix for data filename"},
      {"utilities, a code outside the menu", util, utilities, noprefs, "tb\n7\n", {"jx-utax.txt", "jx-tb.txt"}, 1,
       "doutilities : integer needed (2), between 0 and 4"},
      {"utilities, kill at the menu: the a-x file", util, utilities, noprefs, "tb\nkill\n", {"jx-utax.txt"}, 0,
       "utility code : " + killed},
      {"utilities, kill at the data set", util, utilities, noprefs, "tb\n2\nkill\n", {"jx-utax.txt"}, 0, ds + killed},
      {"utilities, kill at the conversion's a-x file: the data set just typed", util, {"utilities/jx-ds6ut.txt"},
       with(noprefs, {{"jx-cv.txt", "utilitycode 1\nconvert bulk wt2mole SiO2 MgO 45.0 40.0\n*\n"}}), "cv\n6ut\nkill\n",
       {"jx-ds6ut.txt"}, 0, "suffix to name for a-x info datafile : " + killed},
  };
  for (const EarlyEnd& c : cases) {
    for (const std::string& target : c.targets) {
      const bool there = e2e::startfiles(c.fixtures, c.extra).count(target) == 1;
      for (const bool hard : {false, true}) {
        if (hard && !there) continue;
        SCOPED_TRACE(std::string(c.what) + ", log to " + target + (hard ? " (hard)" : ""));
        const std::vector<e2e::Link> links = {{"jx-log.txt", target, hard}};
        const e2e::Run r = e2e::runfilelimited(c.fixtures, c.answers, filelimit, c.extra, links, 60, c.program);
        EXPECT_EQ(r.status, c.status) << r.out;
        EXPECT_TRUE(has(r.out, c.said)) << r.out;
        expectuntouched(r, c.fixtures, c.extra, links, false);
      }
    }
  }

  // A log linked to a file the run does not read is written through, early
  // end or not: the held text reaches it.
  const std::vector<e2e::Link> kept = {{"jx-log.txt", "kept-log.txt"}};
  const e2e::Run k = e2e::runfilelimited(typed, "1\nqtest\nkill\n", filelimit,
                                         with(noprefs, {{"kept-log.txt", "an old log\n"}}), kept);
  EXPECT_EQ(k.status, 0) << k.out;
  EXPECT_TRUE(has(k.files.at("kept-log.txt"), "[display/print with fixed width font (eg Monaco)]\n"))
      << k.files.at("kept-log.txt");
  EXPECT_TRUE(has(k.files.at("kept-log.txt"), ds + "kill")) << k.files.at("kept-log.txt");
  EXPECT_EQ(k.files.at("jx-qzax.txt"), e2e::slurp(fs::path(SOLVARINTH_FIXTURES) / "frame/mode1/jx-qzax.txt"));
  EXPECT_EQ(k.files.at("jx-qtest.txt"), qtest);
}

// A name the run reads, typed where the utilities or the drawing ask it, is
// asked at start-up: an output that is that file under another name stops
// the run before anything is made or emptied.
TEST(StartupNames, TheUtilitiesAndTheDrawingAskTheirFilesBeforeTheOutputs) {
  const std::string same = ", the same file under another name";
  const std::map<std::string, std::string> script = with(noprefs, {{"jx-ff.txt", "% drawing only\n*\n"}});
  const std::map<std::string, std::string> userqk = with(script, {{"qk-gg.txt", qkdata()}});
  const std::map<std::string, std::string> runqk = with(script, {{"jx-ff-qk.txt", qkdata()}});
  const std::map<std::string, std::string> coded =
      with(noprefs, {{"jx-tb.txt", "utilitycode 2\n" + e2e::slurp(fs::path(SOLVARINTH_FIXTURES) / "utilities/jx-tb.txt")}});
  std::string cv = e2e::slurp(fs::path(SOLVARINTH_FIXTURES) / "utilities/jx-cv.txt");
  cv.replace(cv.find("axfile utax\n"), std::string("axfile utax\n").size(), "utilitycode 1\n");
  const std::map<std::string, std::string> noaxline = with(noprefs, {{"jx-cv.txt", cv}});
  const std::string overgg = "the output file \"jx-ff-qk.txt\" would overwrite the drawing data file \"qk-gg.txt\"" + same;
  const std::string overds = "the output file \"jx-tb-ic.txt\" would overwrite the data-set file \"jx-ds6ut.txt\"" + same;
  struct Case {
    const char* what;
    const char* program;
    std::vector<std::string> fixtures;
    std::map<std::string, std::string> extra;
    e2e::Link link;
    std::string answers, message;
  };
  const Case cases[] = {
      {"drawing: the details output is the user's drawing data", SOLVARINTH_DRAWFILE, {}, userqk,
       {"jx-ff-ic.txt", "qk-gg.txt"}, "ff\ngg\n",
       "the output file \"jx-ff-ic.txt\" would overwrite the drawing data file \"qk-gg.txt\"" + same},
      {"drawing: its data are a run's drawing output", SOLVARINTH_DRAWFILE, {}, runqk, {"qk-gg.txt", "jx-ff-qk.txt"},
       "ff\ngg\n", overgg},
      {"drawing: the same, a hard link", SOLVARINTH_DRAWFILE, {}, runqk, {"qk-gg.txt", "jx-ff-qk.txt", true}, "ff\ngg\n",
       overgg},
      {"utilities: the drawing chosen at the menu", SOLVARINTH_UTILITYRUN, {}, runqk, {"qk-gg.txt", "jx-ff-qk.txt"},
       "ff\n0\ngg\n", overgg},
      {"utilities: the details output is the data set", SOLVARINTH_UTILITYRUN, utilities, noprefs,
       {"jx-tb-ic.txt", "jx-ds6ut.txt"}, "tb\n2\n6ut\n", overds},
      {"utilities: the same, a hard link", SOLVARINTH_UTILITYRUN, utilities, noprefs,
       {"jx-tb-ic.txt", "jx-ds6ut.txt", true}, "tb\n2\n6ut\n", overds},
      {"utilities: the utility from the script", SOLVARINTH_UTILITYRUN, utilities, coded,
       {"jx-tb-ic.txt", "jx-ds6ut.txt"}, "tb\n6ut\n", overds},
      {"calc mode 9: its suffix typed", SOLVARINTH_EXE, {"lsq"}, {{"ds-prefs.txt", "emsuffix cv\n*\n"}},
       {"ds-o6cv.txt", "ds-emcv-f.txt"}, "6cv\n",
       "the output file \"ds-o6cv.txt\" would overwrite the end-member file \"ds-emcv-f.txt\"" + same},
      {"utilities: the conversion's a-x file, its script naming none", SOLVARINTH_UTILITYRUN, utilities, noaxline,
       {"jx-cv-it.txt", "jx-utax.txt"}, "cv\n6ut\nutax\n",
       "the output file \"jx-cv-it.txt\" would overwrite the a-x file \"jx-utax.txt\"" + same},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const e2e::Run r = e2e::runfilelimited(c.fixtures, c.answers, filelimit, c.extra, {c.link}, 60, c.program);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.out, "\n-- run bombed in startout : " + c.message + "\n")) << r.out;
    expectuntouched(r, c.fixtures, c.extra, {c.link}, true);
    // Nothing was asked after the stop, nor twice.
    EXPECT_FALSE(has(r.out, "summary output in the file")) << r.out;
  }
  const e2e::Run coderun = e2e::runfilelimited(utilities, "tb\n6ut\n", filelimit, coded, {{"jx-tb-ic.txt", "jx-ds6ut.txt"}},
                                               60, SOLVARINTH_UTILITYRUN);
  EXPECT_FALSE(has(coderun.out, "utility code")) << coderun.out;
}

// Asked at start-up, the names lead to the same job as the preferences'.
TEST(StartupNames, TypedNamesRunTheJobThePreferencesWould) {
  // The drawing of qk-gg.txt, typed after the script ff, against the one
  // the preferences name gg for.
  const std::map<std::string, std::string> drawtyped = {
      {"ds-prefs.txt", "*\n"}, {"jx-ff.txt", "% drawing only\n*\n"}, {"qk-gg.txt", qkdata()}};
  const e2e::Run d = e2e::runfilelimited({}, "ff\ngg\n", filelimit, drawtyped, {}, 60, SOLVARINTH_DRAWFILE);
  ASSERT_EQ(d.status, 0) << d.out;
  const std::size_t asked = d.out.find("suffix to name for datafile : ");
  ASSERT_NE(asked, std::string::npos) << d.out;
  EXPECT_LT(asked, d.out.find("summary output in the file, \"jx-ff-o.txt\"")) << d.out;
  EXPECT_EQ(d.out.find("suffix to name for datafile", asked + 1), std::string::npos) << d.out;
  const e2e::Run dp = e2e::runfilelimited(
      {}, "\n", filelimit,
      {{"jx-prefs.txt", "dsfile 62\nscriptfile gg\ncalcmode 1\n"}, {"jx-gg.txt", "% drawing only\n*\n"}, {"qk-gg.txt", qkdata()}},
      {}, 60, SOLVARINTH_DRAWFILE);
  ASSERT_EQ(dp.status, 0) << dp.out;
  EXPECT_EQ(e2e::stamped(d.files.at("jx-ff.svg")), e2e::stamped(dp.files.at("jx-gg.svg")));
  EXPECT_EQ(d.files.at("qk-gg.txt"), qkdata());

  // The end-member table with the script, the utility and the data set
  // typed, against the run the preferences name them for.
  const e2e::Run u = e2e::runfilelimited(utilities, "tb\n2\n6ut\n0\n5\n500\nn\n\n", filelimit, noprefs, {}, 60,
                                         SOLVARINTH_UTILITYRUN);
  ASSERT_EQ(u.status, 0) << u.out;
  EXPECT_LT(u.out.find("utility code : "), u.out.find("summary output in the file")) << u.out;
  EXPECT_EQ(count(u.out, "utility code : "), 1);
  const e2e::Run up = e2e::runfilelimited({"utilities"}, "2\n0\n5\n500\nn\n\n", filelimit, {}, {}, 60,
                                          SOLVARINTH_UTILITYRUN);
  ASSERT_EQ(up.status, 0) << up.out;
  EXPECT_EQ(e2e::stamped(u.files.at("jx-tb-o.txt")), e2e::stamped(up.files.at("jx-tb-o.txt")));

  // The conversion its script chooses, naming no a-x file, with the a-x
  // file typed at start-up, against the script that names it.
  std::string cv = e2e::slurp(fs::path(SOLVARINTH_FIXTURES) / "utilities/jx-cv.txt");
  cv.replace(cv.find("axfile utax\n"), std::string("axfile utax\n").size(), "utilitycode 1\n");
  const std::vector<std::string> cvfiles = {"utilities/jx-ds6ut.txt", "utilities/jx-utax.txt"};
  const e2e::Run c = e2e::runfilelimited(cvfiles, "cv\n6ut\nutax\nn\n\n", filelimit,
                                         with(noprefs, {{"jx-cv.txt", cv}}), {}, 60, SOLVARINTH_UTILITYRUN);
  ASSERT_EQ(c.status, 0) << c.out;
  EXPECT_EQ(count(c.out, "suffix to name for a-x info datafile : "), 1) << c.out;
  EXPECT_LT(c.out.find("suffix to name for a-x info datafile"), c.out.find("summary output in the file")) << c.out;
  const e2e::Run cp = e2e::runfilelimited({"utilities"}, "1\nn\n\n", filelimit,
                                          {{"jx-prefs.txt", "dsfile 6ut\nscriptfile cv\ncalcmode 0\n"}}, {}, 60,
                                          SOLVARINTH_UTILITYRUN);
  ASSERT_EQ(cp.status, 0) << cp.out;
  // The sd of a variable comes from clock-seeded draws: the rest is equal.
  auto drawn = [](const std::string& text) {
    return std::regex_replace(e2e::stamped(text), std::regex("(x\\(ol\\) +[0-9.]+) +[0-9.]+"), "$1");
  };
  EXPECT_EQ(drawn(c.files.at("jx-cv-o.txt")), drawn(cp.files.at("jx-cv-o.txt")));
}

}  // namespace
