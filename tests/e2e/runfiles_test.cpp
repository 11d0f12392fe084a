// The run's files when the folder holds a file under two names (symbolic
// and hard links) or a name holds a NUL byte: no file the run reads is
// written over, and the run stops before it makes any output file. Each run
// is held to a file size and a time, so that a run that feeds on its own
// output fails its test instead of filling the disk or never ending.
#include <sys/stat.h>

#include <set>

#include "harness.h"
#include "runfiles.h"

using e2e::expectuntouched;
using e2e::filelimit;
using e2e::has;
using namespace std::string_literals;

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> mode1 = {"dataset/jx-ds7qz1.txt", "frame/mode1"};

// A run whose files clash, stopped at start-up with the message given,
// every file it began with as it was.
struct StartoutCase {
  const char* what;
  std::vector<std::string> fixtures;
  std::map<std::string, std::string> extra;
  std::vector<e2e::Link> links;
  std::string answers, message;
  bool log;  // a log is made at the stop
};

template <std::size_t N>
void expectstartoutstops(const StartoutCase (&cases)[N]) {
  for (const StartoutCase& c : cases) {
    SCOPED_TRACE(c.what);
    const e2e::Run r = e2e::runfilelimited(c.fixtures, c.answers, filelimit, c.extra, c.links);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.out, "\n-- run bombed in startout : " + c.message + "\n")) << r.out;
    expectuntouched(r, c.fixtures, c.extra, c.links, c.log);
  }
}

TEST(RunFiles, AnOutputThatIsAFileOfTheRunUnderAnotherNameStopsTheRun) {
  const std::string same = ", the same file under another name";
  const StartoutCase cases[] = {
      {"details file linked to the script", mode1, {}, {{"jx-qtest-ic.txt", "jx-qtest.txt"}}, "n\n\n",
       "the output file \"jx-qtest-ic.txt\" would overwrite the script file \"jx-qtest.txt\"" + same, true},
      {"log linked to the preferences", mode1, {}, {{"jx-log.txt", "jx-prefs.txt"}}, "n\n\n",
       "the output file \"jx-log.txt\" would overwrite the preferences file \"jx-prefs.txt\"" + same, false},
      // Without the check the log, being the script, is read back as script
      // lines that each add a complaint to the log, without end.
      {"log a hard link of the script", mode1, {}, {{"jx-log.txt", "jx-qtest.txt", true}}, "n\n\n",
       "the output file \"jx-log.txt\" would overwrite the script file \"jx-qtest.txt\"" + same, false},
      {"a-x information file linked to the a-x file", mode1, {}, {{"jx-qtest-it.txt", "jx-qzax.txt"}}, "n\n\n",
       "the output file \"jx-qtest-it.txt\" would overwrite the a-x file \"jx-qzax.txt\"" + same, true},
      {"csv file a hard link of the data set", mode1, {}, {{"jx-qtest.csv", "jx-ds7qz1.txt", true}}, "n\n\n",
       "the output file \"jx-qtest.csv\" would overwrite the data-set file \"jx-ds7qz1.txt\"" + same, true},
      {"two outputs one file", mode1, {{"jx-qtest-o.txt", "an old summary\n"}},
       {{"jx-qtest-ic.txt", "jx-qtest-o.txt"}}, "n\n\n",
       "two files of the run, \"jx-qtest-o.txt\" and \"jx-qtest-ic.txt\", are the same file under two names", true},
      {"least-squares csv linked to its end-member file", {"lsq"}, {}, {{"ds-6cv.csv", "ds-emcv-f.txt"}}, "0\n",
       "the output file \"ds-6cv.csv\" would overwrite the end-member file \"ds-emcv-f.txt\"" + same, true},
  };
  expectstartoutstops(cases);
}

// Before the names are checked at all, a run that ends keeps its log in
// memory and writes it out at the end: not through a link to a file it
// reads. In calc mode 9 these include the files its own preferences name.
TEST(RunFiles, ARunEndingEarlyWritesNoLogThroughALinkToItsInput) {
  const std::vector<std::string> askmode = {"dataset/jx-ds7qz1.txt", "frame/mode1", "frame/askmode"};
  const std::vector<e2e::Link> toprefs = {{"jx-log.txt", "jx-prefs.txt"}};
  const e2e::Run k = e2e::runfilelimited(askmode, "kill\n", filelimit, {}, toprefs);
  EXPECT_EQ(k.status, 0);
  EXPECT_TRUE(has(k.out, "calcmode code : \n-- run killed --\n")) << k.out;
  expectuntouched(k, askmode, {}, toprefs, false);

  const std::map<std::string, std::string> noscript = {{"ds-prefs.txt", "jxdssuffix absent\nemsuffix cv\n*\n"}};
  const std::vector<e2e::Link> toem = {{"jx-log.txt", "ds-emcv-f.txt", true}};
  const e2e::Run m = e2e::runfilelimited({"lsq"}, "0\n", filelimit, noscript, toem);
  EXPECT_EQ(m.status, 1);
  EXPECT_TRUE(has(m.out, "cannot locate file \"ds-scrabsent.txt\"")) << m.out;
  expectuntouched(m, {"lsq"}, noscript, toem, false);

  // Nor through a link to a script whose suffix was typed.
  const std::vector<std::string> typed = {"dataset/jx-ds7qz1.txt", "frame/mode1/jx-qtest.txt",
                                          "frame/mode1/jx-qzax.txt"};
  const std::map<std::string, std::string> noprefs = {{"ds-prefs.txt", "*\n"}};
  const std::vector<e2e::Link> toscript = {{"jx-log.txt", "jx-qtest.txt", true}};
  const e2e::Run t = e2e::runfilelimited(typed, "1\nqtest\nkill\n", filelimit, noprefs, toscript);
  EXPECT_EQ(t.status, 0);
  EXPECT_TRUE(has(t.out, "suffix to name for thermo dataset datafile : \n-- run killed --\n")) << t.out;
  expectuntouched(t, typed, noprefs, toscript, false);
}

TEST(RunFiles, ALinkToAFileTheRunDoesNotReadIsWrittenThrough) {
  // The same run with plain files gives the texts to expect.
  const e2e::Run plain = e2e::runfilelimited(mode1, "n\n\n", filelimit);
  ASSERT_EQ(plain.status, 0) << plain.out;
  const std::map<std::string, std::string> old = {{"kept-o.txt", "an old summary\n"}, {"kept-log.txt", "an old log\n"}};
  const std::vector<e2e::Link> links = {{"jx-qtest-o.txt", "kept-o.txt"}, {"jx-log.txt", "kept-log.txt", true}};
  const e2e::Run r = e2e::runfilelimited(mode1, "n\n\n", filelimit, old, links);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(e2e::stamped(r.out), e2e::stamped(plain.out));
  EXPECT_EQ(e2e::stamped(r.files.at("kept-o.txt")), e2e::stamped(plain.files.at("jx-qtest-o.txt")));
  EXPECT_EQ(e2e::stamped(r.files.at("kept-log.txt")), e2e::stamped(plain.files.at("jx-log.txt")));
  EXPECT_TRUE(fs::is_symlink(r.dir / "jx-qtest-o.txt"));
  EXPECT_EQ(fs::hard_link_count(r.dir / "jx-log.txt"), 2u);
}

// A NUL byte is no separator of words, so it stays in a name; the file
// system would end the name there, and every output would be made under
// the name of the file the run reads.
TEST(RunFiles, ANulByteInAFileNameIsRefusedWhereItIsRead) {
  const std::string nul = "\" holds a NUL byte, which no file name can hold\n";
  const std::vector<std::string> prompted = {"dataset/jx-ds7qz1.txt", "frame/mode1/jx-qtest.txt",
                                             "frame/mode1/jx-qzax.txt"};
  struct Case {
    const char* what;
    std::vector<std::string> fixtures;
    std::map<std::string, std::string> extra;
    std::string answers, message;
    bool log;
  };
  const Case cases[] = {
      {"script suffix in the preferences", mode1, {{"jx-prefs.txt", "dsfile 7qz1\nscriptfile qtest.txt\0\ncalcmode 1\n"s}},
       "\n", "readprefs : the scriptfile suffix \"qtest.txt<NUL>" + nul, false},
      {"data-set suffix in the preferences", mode1,
       {{"jx-prefs.txt", "dsfile 7qz1.txt\0 \nscriptfile qtest\ncalcmode 1\n"s}}, "\n",
       "readprefs : the dsfile suffix \"7qz1.txt<NUL>" + nul, false},
      {"script suffix typed at the prompt", prompted, {{"ds-prefs.txt", "*\n"}}, "1\nqtest.txt\0\n\n"s,
       "promptdatafile : the suffix \"qtest.txt<NUL>" + nul, true},
      {"least-squares suffix", {"lsq"},
       {{"ds-prefs.txt", "jxdssuffix emab.txt\0\nemsuffix ab\naxsuffix ab\nxpsuffix ab\n*\n"s},
        {"ds-scremab.txt", "% the least-squares script\n*\n"}},
       "2\n", "readcontrolds : the jxdssuffix \"emab.txt<NUL>" + nul, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const e2e::Run r = e2e::runfilelimited(c.fixtures, c.answers, filelimit, c.extra);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.out, "\n-- run bombed in " + c.message)) << r.out;
    expectuntouched(r, c.fixtures, c.extra, {}, c.log);
  }
}

}  // namespace

namespace {

// The files of the run whose name a prompt answered: the data set's suffix
// is asked before any output is made, so that its file is checked with the
// others, and a name that is no file yet counts by where its links lead.
TEST(RunFiles, ANameTypedAtAPromptIsCheckedBeforeAnyOutputIsMade) {
  const std::vector<std::string> prompted = {"dataset/jx-ds7qz1.txt", "frame/mode1/jx-qtest.txt",
                                             "frame/mode1/jx-qzax.txt"};
  const std::map<std::string, std::string> noprefs = {{"ds-prefs.txt", "*\n"}};
  const std::string same = ", the same file under another name";
  struct Case {
    const char* what;
    std::vector<e2e::Link> links;
    std::string answers, message;
    bool log;
  };
  const Case cases[] = {
      {"details linked to the data set, calc mode 1", {{"jx-qtest-ic.txt", "jx-ds7qz1.txt"}}, "1\nqtest\n7qz1\n\n",
       "the output file \"jx-qtest-ic.txt\" would overwrite the data-set file \"jx-ds7qz1.txt\"" + same, true},
      {"log a hard link of the data set, calc mode 3", {{"jx-log.txt", "jx-ds7qz1.txt", true}}, "3\nqtest\n7qz1\n\n",
       "the output file \"jx-log.txt\" would overwrite the data-set file \"jx-ds7qz1.txt\"" + same, false},
      {"first csv linked to the script, calc mode 2", {{"jx-qtest.csv", "jx-qtest.txt"}}, "2\nqtest\n7qz1\n\n",
       "the output file \"jx-qtest.csv\" would overwrite the script file \"jx-qtest.txt\"" + same, true},
      // Made through the link, the summary would be the data set read next.
      {"summary linked to a data set not there yet", {{"jx-qtest-o.txt", "jx-ds7qz2.txt"}}, "1\nqtest\n7qz2\n\n",
       "the output file \"jx-qtest-o.txt\" would overwrite the data-set file \"jx-ds7qz2.txt\"" + same, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const e2e::Run r = e2e::runfilelimited(prompted, c.answers, filelimit, noprefs, c.links);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.out, "\n-- run bombed in startout : " + c.message + "\n")) << r.out;
    expectuntouched(r, prompted, noprefs, c.links, c.log);
  }

  // Without links the run goes on, the question of the data set coming
  // before the output files are named.
  const e2e::Run r = e2e::runfilelimited(prompted, "1\nqtest\n7qz1\nn\n\n", filelimit, noprefs);
  EXPECT_EQ(r.status, 0) << r.out;
  const std::size_t asked = r.out.find("suffix to name for thermo dataset datafile");
  ASSERT_NE(asked, std::string::npos) << r.out;
  EXPECT_LT(asked, r.out.find("summary output in the file, \"jx-qtest-o.txt\"")) << r.out;
  EXPECT_TRUE(has(r.files.at("jx-qtest-o.txt"), "using made-up data set qz1")) << r.files.at("jx-qtest-o.txt");
  EXPECT_EQ(r.files.at("jx-ds7qz1.txt"), e2e::slurp(fs::path(SOLVARINTH_FIXTURES) / "dataset/jx-ds7qz1.txt"));
}

// The drawing reads qk-<suffix>.txt, which the user may well make a link
// to the drawing data jx-<suffix>-qk.txt of a calc-mode-1 run: the drawing's
// start-up makes that name as an output too.
TEST(RunFiles, TheDrawingsInputIsAmongTheFilesChecked) {
  const std::string qk = e2e::slurp(fs::path(SOLVARINTH_FIXTURES) / "drawing/qk-fourfield.txt");
  const std::map<std::string, std::string> files = {{"jx-prefs.txt", "dsfile 62\nscriptfile ff\ncalcmode 1\n"},
                                                    {"jx-ff.txt", "% drawing only\n*\n"},
                                                    {"jx-ff-qk.txt", qk}};
  std::map<std::string, std::string> withqk = files;
  withqk["qk-ff.txt"] = qk;
  const std::string same = ", the same file under another name";
  const std::string overqk =
      "the output file \"jx-ff-qk.txt\" would overwrite the drawing data file \"qk-ff.txt\"" + same;
  struct Case {
    const char* what;
    const char* program;
    std::map<std::string, std::string> extra;
    std::vector<e2e::Link> links;
    std::string message;
  };
  const Case cases[] = {
      {"drawing run, symbolic link", SOLVARINTH_DRAWFILE, files, {{"qk-ff.txt", "jx-ff-qk.txt"}}, overqk},
      {"drawing run, hard link", SOLVARINTH_DRAWFILE, files, {{"qk-ff.txt", "jx-ff-qk.txt", true}}, overqk},
      {"calc mode 0, symbolic link", SOLVARINTH_UTILITYRUN, files, {{"qk-ff.txt", "jx-ff-qk.txt"}}, overqk},
      {"graphics linked to the drawing's input", SOLVARINTH_DRAWFILE, withqk, {{"jx-ff.svg", "qk-ff.txt"}},
       "the output file \"jx-ff.svg\" would overwrite the drawing data file \"qk-ff.txt\"" + same},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const e2e::Run r = e2e::runfilelimited({}, "\n", filelimit, c.extra, c.links, 60, c.program);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.out, "\n-- run bombed in startout : " + c.message + "\n")) << r.out;
    expectuntouched(r, {}, c.extra, c.links, true);
  }
}

// Two outputs one of which is a symbolic link to the other's name, neither
// there yet: made one after the other they would be one file.
TEST(RunFiles, TwoOutputsThroughALinkThatLeadsNowhereYetStopTheRun) {
  auto two = [](const std::string& a, const std::string& b) {
    return "two files of the run, \"" + a + "\" and \"" + b + "\", are the same file under two names";
  };
  const std::map<std::string, std::string> mode2 = {{"jx-prefs.txt", "dsfile 7qz1\nscriptfile qtest\ncalcmode 2\n"}};
  const StartoutCase cases[] = {
      {"details to the a-x information, calc mode 1", mode1, {}, {{"jx-qtest-ic.txt", "jx-qtest-it.txt"}}, "n\n\n",
       two("jx-qtest-it.txt", "jx-qtest-ic.txt"), true},
      {"first csv to the second, calc mode 2", mode1, mode2, {{"jx-qtest.csv", "jx-qtest-2.csv"}}, "n\n\n",
       two("jx-qtest.csv", "jx-qtest-2.csv"), true},
      {"log to the summary", mode1, {}, {{"jx-log.txt", "jx-qtest-o.txt"}}, "n\n\n",
       two("jx-log.txt", "jx-qtest-o.txt"), false},
      {"graphics to the summary through a second link", mode1, {},
       {{"old-o.txt", "jx-qtest-o.txt"}, {"jx-qtest.svg", "old-o.txt"}}, "n\n\n",
       two("jx-qtest-o.txt", "jx-qtest.svg"), true},
      // The new data set and end-member file are written at the run's end.
      {"new data set to the least-squares summary", {"lsq"}, {}, {{"jx-ds6cv.txt", "ds-o6cv.txt"}}, "0\n",
       two("ds-o6cv.txt", "jx-ds6cv.txt"), true},
      {"new end-member file to the new data set", {"lsq"}, {}, {{"ds-emcv-i.txt", "jx-ds6cv.txt"}}, "0\n",
       two("jx-ds6cv.txt", "ds-emcv-i.txt"), true},
  };
  expectstartoutstops(cases);
}

// A run holds its files while it waits at a prompt: a second run in its
// folder stops before it asks or changes anything.
TEST(RunFiles, ASecondRunStopsWhileAFirstHoldsItsFiles) {
  const std::vector<std::string> loop = {"loop"};
  // The first run alone gives the files to expect.
  const e2e::Run alone = e2e::runfilelimited(loop, "8\n600\nn\n\n", filelimit);
  ASSERT_EQ(alone.status, 0) << alone.out;

  const fs::path dir = e2e::prepare(loop, {}, {});
  e2e::Running first = e2e::startrun(dir, filelimit);
  const std::string answered = "8\n600\n";
  ASSERT_EQ(write(first.tofeed, answered.data(), answered.size()), static_cast<ssize_t>(answered.size()));
  ASSERT_TRUE(e2e::waitfor(first, "more phase diagram calculations ? ")) << first.seen;

  const e2e::Run second = e2e::runinfolder(dir, "\n", filelimit, 60, SOLVARINTH_EXE, "-second");
  EXPECT_EQ(second.status, 1);
  EXPECT_TRUE(has(second.out, "\n-- run bombed in initialiseio : another run is writing \"jx-log.txt\": the run "
                              "files of a folder are one run's at a time; let that run end, or run in another "
                              "folder\n"))
      << second.out;

  const e2e::Run r = e2e::finishrun(first, "n\n\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(e2e::stamped(r.out), e2e::stamped(alone.out));
  ASSERT_EQ(e2e::names(r), e2e::names(alone));
  for (const auto& [name, content] : alone.files)
    EXPECT_EQ(e2e::stamped(r.files.at(name)), e2e::stamped(content)) << name;
}

// A script word that names a file holds a NUL byte: refused as in the
// preferences, before any file is read under the name cut at the NUL.
TEST(RunFiles, ANulByteInAScriptsFileWordIsRefused) {
  const std::string nul = "\" holds a NUL byte, which no file name can hold\n";
  const std::string ax = e2e::slurp(fs::path(SOLVARINTH_FIXTURES) / "frame/mode1/jx-qzax.txt");
  const std::map<std::string, std::string> cut = {
      {"jx-qtest.txt", "axfile qzax\0zz\nwith qtzx\ninexcess\ncalcP 6\ncalcT 400 700\n*\n"s}, {"jx-qzax", ax}};
  const e2e::Run r = e2e::runfilelimited(mode1, "n\n\n", filelimit, cut);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.out, "\n-- run bombed in startout : the axfile suffix \"qzax<NUL>zz" + nul)) << r.out;
  expectuntouched(r, mode1, cut, {}, true);

  // Calc mode 9 reads its script only once the outputs are made.
  const std::map<std::string, std::string> lsqcut = {{"jx-lsq.txt", "axfile ab\0zz\n*\n"s}};
  const e2e::Run l = e2e::runfilelimited({"lsq"}, "0\n", filelimit, lsqcut);
  EXPECT_EQ(l.status, 1);
  EXPECT_TRUE(has(l.out, "\n-- run bombed in reading scripts : the axfile suffix \"ab<NUL>zz" + nul)) << l.out;
  expectuntouched(l, {"lsq"}, lsqcut, {}, true, {"ds-o6cv.txt"});
}

}  // namespace
