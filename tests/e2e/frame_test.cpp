// The run frame seen from outside: start-up, passes, the end of the run and
// the ways a run stops early.
#include <regex>

#include "harness.h"
#include "../support/settingsheads.h"

using e2e::has;

namespace {

const std::string notices =
    "summary output in the file, \"jx-qtest-o.txt\"\n"
    "other (eg plotix) output in the file, \"jx-qtest-qk.txt\"\n"
    "a-x info in the file, \"jx-qtest-it.txt\"\n"
    "details of calc results in the file, \"jx-qtest-ic.txt\"\n"
    "info in csv format in the files, \"jx-qtest.csv\" and \"jx-qtest-2.csv\"\n"
    "graphics info in the files, \"jx-qtest.svg\"\n\n"
    "these may not all be populated, depending on the calcs;\n"
    "solvarinth should delete empty files at the end of each run\n";

const std::string versionnote =
    "\n[ jx351 is a jx version that performs jx350-consistent mode 1 calculations with the jx360-compliant \n"
    "a-x files ahead of the release of jx360, after which jx351 is deprecated ]\n" +
    std::string(60, '=') + "\n";
// The terminal cuts the long first line at the page width.
const std::string versionnoteshown =
    "\n[ jx351 is a jx version that performs jx350-consistent mode 1 calculations wit#\n"
    "a-x files ahead of the release of jx360, after which jx351 is deprecated ]\n" +
    std::string(60, '=') + "\n";

// The heading of the a-x models of each pass (terminal, summary and log),
// its time stamp replaced by WHEN.
const std::string axhead = std::string(60, '^') +
                           "\n\nSOLVARINTH 3.51 running at WHEN\nusing made-up data set qz1, 6 dec 2026\n"
                           "with axfile jx-qzax.txt and scriptfile jx-qtest.txt\n\n";
// The progress line of the a-x file (terminal and log).
const std::string axread = "reading ax: qtzx grox kyx spx \n";

// The set-up dialogue that the script settles (terminal and log). A single
// phase, which is calculated nothing, is asked nothing about phases in
// excess, so the summary keeps none of the dialogue.
const std::string excess;
const std::string setup = "\nwith: qtzx \n" + excess +
                          "\n" + testsupport::SETTINGSOF + "overall PT window:\n"
                          "overall PT window is P: 4.0 to 10.0 kbar, and T: 400 to 700\xA1" "C (from script)\n"
                          "original variance = 1, effective variance = 1  (0, 0)\n"
                          "\n" + testsupport::SETTINGSOF + "PT calcs:\n"
                          "P at which T of reactions to be calculated: 6.000 kbar (from script)\n"
                          "using overall T window for the T window within which reactions expected to lie\n";
// A pass that calculates nothing says so (terminal, summary and log).
const std::string nothing = "\n<== nothing calculated: no assemblage of these phases can be solved ==>\n";

// What each pass that calculates nothing shows on the terminal: the
// creation line of the data set it reads, the a-x models, then the set-up.
const std::string pass = "\nmade-up data set qz1, 6 dec 2026\n\n" + axhead + axread + setup + nothing;

std::string stamped(const std::string& text) {
  static const std::regex when("running at [0-9]{1,2}\\.[0-9]{2} on [A-Za-z]{3} [0-9]{1,2} [A-Za-z]{3},[0-9]{4}");
  return std::regex_replace(text, when, "running at WHEN");
}

TEST(Frame, TwoPassesThenNormalEnd) {
  const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "\nn\n\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(stamped(r.out), "\nSOLVARINTH 3.51\n\n" + notices + pass + "\nmore phase diagram calculations ? " + pass +
                       "\nmore phase diagram calculations ? " +
                       versionnoteshown + "all done - hit return to exit ? \n");
  // Only the log, the summary and the inputs are left: the optional files
  // received nothing.
  EXPECT_EQ(e2e::names(r), (std::vector<std::string>{"jx-ds7qz1.txt", "jx-log.txt", "jx-prefs.txt", "jx-qtest-o.txt",
                                                     "jx-qtest.txt", "jx-qzax.txt"}));
  EXPECT_EQ(stamped(r.files.at("jx-qtest-o.txt")), axhead + excess + nothing + axhead + excess + nothing + versionnote);
  const std::string& log = r.files.at("jx-log.txt");
  const std::regex head(
      "\\[display/print with fixed width font \\(eg Monaco\\)\\]\n\n\n"
      "\nSOLVARINTH 3\\.51  running at [0-9]{1,2}\\.[0-9]{2} on (Sun|Mon|Tue|Wed|Thu|Fri|Sat) [0-9]{1,2} "
      "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec),[0-9]{4}\n");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(log, m, head, std::regex_constants::match_continuous)) << log;
  EXPECT_EQ(stamped(log.substr(static_cast<std::size_t>(m.length()))),
            notices + axhead + axread + setup + nothing +
                "\nmore phase diagram calculations ? yes\n" + axhead + axread + setup + nothing +
                "\nmore phase diagram calculations ? no\n" +
                versionnote + "all done - hit return to exit ? yes\n");
}

TEST(Frame, CalcModeMenuAndHint) {
  // Calc mode 3 asks the kind of diagram before its end-member list.
  // Calc mode 3 on the two pure phases of the data set.
  const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1", "frame/askmode"}, "3\n1\nno\n\n",
                              {{"jx-qtest.txt", "axfile qzax\nwith qtzx grox\ninexcess\ncalcTatP yes\ncalcP 6\n"
                                                "calcT 400 700\ndiagramPT 4 10 400 700\npseudosection no\n*\n"}});
  EXPECT_EQ(r.status, 1);
  const std::string menu =
      "calculation mode (calcmode) :\n"
      "     0 = utilities: data tables, mineral recalc etc\n"
      "     1 = phase diagram calculations (and avPT+)\n"
      "     2 = average pressure-temperature calculations\n"
      "     3 = calculations on all reactions between end-members\n"
      "calcmode code : ";
  EXPECT_TRUE(has(r.out, "\n\n" + menu + "\nthis code can appear in the prefsfile (jx-prefs.txt) as\ncalcmode 3\n\n"))
      << r.out;
  EXPECT_TRUE(has(r.files.at("jx-log.txt"), menu + "3\n\nthis code can appear"));
  // Two pure phases with no reaction between them: both leave the list.
  EXPECT_TRUE(has(r.out, "code : \ngrox excluded\nqtzx excluded\n")) << r.out;
}

TEST(Frame, CalcModeRefusals) {
  struct Case {
    std::string answer, where, message;
    bool mine;
  };
  const Case cases[] = {
      {"4", "getcalcmode", "integer needed (2), between 0 and 3", false},
      {"x", "getcalcmode", "integer needed (1), between 0 and 3", false},
      {"40000", "getcalcmode", "integer needed (2), between 0 and 3", false},
      {"0", "setup", "sorry, mode 0 not available: use jx350", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1", "frame/askmode"}, c.answer + "\n\n");
    EXPECT_EQ(r.status, 1);
    const std::string block = "\n-- run bombed in " + c.where + " : " + c.message + "\n\n";
    EXPECT_TRUE(has(r.out, block)) << r.out;
    EXPECT_TRUE(has(r.files.at("jx-log.txt"), block));
    EXPECT_EQ(has(r.out, "===This shouldn't have happened...===\n"), c.mine);
    EXPECT_TRUE(has(r.out, "\nhit return to exit program\n"));
    // Stopped before the output files were made.
    EXPECT_EQ(r.files.count("jx-qtest-o.txt"), 0u);
  }
}

TEST(Frame, KillAtAnyPromptEndsQuietly) {
  const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1", "frame/askmode"}, "  kill  \n");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.out, "calcmode code : \n-- run killed --\n")) << r.out;
  EXPECT_FALSE(has(r.out, "hit return"));
  EXPECT_TRUE(has(r.files.at("jx-log.txt"), "calcmode code : kill\n\n-- run killed --\n"));

  const e2e::Run later = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "kill\n");
  EXPECT_TRUE(has(later.out, "more phase diagram calculations ? \n-- run killed --\n"));
  EXPECT_TRUE(has(later.files.at("jx-qtest-o.txt"), "-- run killed --"));
  EXPECT_EQ(later.files.count("jx-qtest-ic.txt"), 0u);
}

TEST(Frame, EndOfInputIsAReadError) {
  const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1", "frame/askmode"}, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.out, "-- run bombed in read in prstrings : problems reading\n")) << r.out;

  const e2e::Run q = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "");
  EXPECT_TRUE(has(q.out, "-- run bombed in read in query : problems reading\n")) << q.out;
  EXPECT_TRUE(has(q.files.at("jx-qtest-o.txt"), "-- run bombed in read in query"));
}

// The exit status tells a script or a batch job how the run ended: 0 when
// it ended as the user asked, 1 after a fatal stop, once the stop has done
// all it does (its message in the summary, the Return wait).
TEST(Frame, ExitStatusTellsAFailedRunFromAGoodOne) {
  const std::string pass = "axfile qzax\nwith qtzx\ninexcess\ncalcTatP yes\ncalcP 6\ncalcT 400 700\n"
                           "diagramPT 4 10 400 700\npseudosection no\n";
  const std::string bad = "strictscripting\nconvergence 1e-10 1e-6 0.001 -1e-7\n*\n";
  const std::string wait = "\nhit return to exit program\n";
  const std::string bombed = "\n-- run bombed in reading script for convergence : reals inappropriate\n\n";
  struct Case {
    const char* what;
    std::string answers, script;
    std::string end;      // the terminal's last lines
    std::string summary;  // the summary's last lines
    int status;
  };
  const Case cases[] = {
      {"normal end", "n\n\n", pass + "*\n", "all done - hit return to exit ? \n", versionnote, 0},
      {"kill", "kill\n", pass + "*\n", "more phase diagram calculations ? \n-- run killed --\n\n",
       "\n-- run killed --\n", 0},
      {"fatal stop", "\n", pass + bad, bombed + "\n" + wait, bombed, 1},
      {"fatal stop without the Return wait", "", pass + "autoexit\n" + bad, bombed + "\n", bombed, 1},
      {"end of input at a prompt", "", pass + "*\n",
       "\n-- run bombed in read in query : problems reading\n\n\n" + wait,
       "\n-- run bombed in read in query : problems reading\n\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, c.answers, {{"jx-qtest.txt", c.script}});
    EXPECT_EQ(r.status, c.status);
    ASSERT_GE(r.out.size(), c.end.size());
    EXPECT_EQ(r.out.substr(r.out.size() - c.end.size()), c.end) << r.out;
    const std::string& sum = r.files.at("jx-qtest-o.txt");
    ASSERT_GE(sum.size(), c.summary.size());
    EXPECT_EQ(sum.substr(sum.size() - c.summary.size()), c.summary) << sum;
  }
}

TEST(Frame, MissingScriptStopsBeforeOutputFiles) {
  const e2e::Run r = e2e::run({"frame/noscript"}, "\n");
  EXPECT_TRUE(has(r.out, "\ncannot locate file \"jx-nothere.txt\"\n\n-- run bombed in promptdatafile : datafile needed\n"))
      << r.out;
  EXPECT_EQ(e2e::names(r), (std::vector<std::string>{"jx-log.txt", "jx-prefs.txt"}));
}

TEST(Frame, HeapMonitorReportsAndReturnsToZero) {
  const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "n\n\n", {{"jx-prefs.txt", "dsfile 7qz1\nscriptfile qtest\ncalcmode 1\nmonitorheap\n"}});
  EXPECT_TRUE(has(r.out, "\nspace allocated for c is 20k; , heap now 20k\n")) << r.out;
  EXPECT_TRUE(has(r.out, "space allocated for compdx is 1523k; , heap now 63011k\n"));
  EXPECT_TRUE(has(r.out, "space disposed for dcompdx; heap size now 0k\n"));
  // The seven work arrays and nothing else, each kb(n) = n/1024 to the
  // nearest (ties to even), worked out apart from the program. The first
  // release follows the last question on its line.
  std::string monitor;
  static const std::regex report("space (allocated|disposed) for [^\n]*\n");
  for (std::sregex_iterator m(r.out.begin(), r.out.end(), report), end; m != end; ++m) monitor += m->str();
  EXPECT_EQ(monitor,
            "space allocated for c is 20k; , heap now 20k\n"
            "space allocated for cov is 1562k; , heap now 1583k\n"
            "space allocated for r is 117k; , heap now 1700k\n"
            "space allocated for prec0 is 1875k; , heap now 3575k\n"
            "space allocated for prec1 is 57791k; , heap now 61366k\n"
            "space allocated for td is 121k; , heap now 61487k\n"
            "space allocated for compdx is 1523k; , heap now 63011k\n"
            "space disposed for cov; heap size now 61448k\n"
            "space disposed for c; heap size now 61428k\n"
            "space disposed for r; heap size now 61311k\n"
            "space disposed for prec0; heap size now 59436k\n"
            "space disposed for prec1; heap size now 1645k\n"
            "space disposed for td; heap size now 1523k\n"
            "space disposed for dcompdx; heap size now 0k\n");
}

TEST(Frame, NameClashesStopBeforeAnyOutputFile) {
  // With a 22-character suffix every output name is cut to the same text.
  const std::string suffix(22, 's');
  const e2e::Run r = e2e::run({}, "", {{"jx-prefs.txt", "dsfile 7qz1\nscriptfile " + suffix + "\ncalcmode 1\n"},
                                       {"jx-" + suffix + ".txt", "*\n"}});
  EXPECT_TRUE(has(r.out, "-- run bombed in startout : two files of the run would both be named")) << r.out;
  EXPECT_EQ(r.files.size(), 3u);  // prefs, script and log

  // With 20 characters only the details and a-x files clash ("-i"), two
  // names that stand side by side in the list.
  const std::string twenty(20, 't');
  const e2e::Run t = e2e::run({}, "", {{"jx-prefs.txt", "dsfile 7qz1\nscriptfile " + twenty + "\ncalcmode 1\n"},
                                       {"jx-" + twenty + ".txt", "*\n"}});
  EXPECT_TRUE(has(t.out, "two files of the run would both be named \"jx-" + twenty + "-i\"")) << t.out;
  EXPECT_EQ(t.files.size(), 3u);

  const std::string logscript = "dsfile 7qz1\nscriptfile log\ncalcmode 1\n";
  const e2e::Run s = e2e::run({}, "", {{"jx-prefs.txt", logscript}, {"jx-log.txt", "my script\n"}});
  EXPECT_TRUE(has(s.out, "cannot be named like the log file")) << s.out;
  EXPECT_EQ(s.files.at("jx-log.txt"), "my script\n");
}

// A disk that fills during the first pass: the run stops there as a fatal
// stop that names the file, asks nothing more, and says it failed.
TEST(Frame, AFullDiskEndsTheRunAtTheFirstFailedWrite) {
  constexpr rlim_t limit = 800;
  const e2e::Run r = e2e::runfilelimited({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "\nn\n\n", limit);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.out, "\n-- run bombed in writefile : problem writing the file \"jx-log.txt\" (File too large)\n\n"))
      << r.out;
  EXPECT_FALSE(has(r.out, "more phase diagram calculations")) << r.out;
  EXPECT_FALSE(has(r.out, "all done")) << r.out;
  EXPECT_TRUE(has(r.out, "\nproblem writing logfile\n")) << r.out;
  EXPECT_EQ(r.files.at("jx-log.txt").size(), limit);
  // The summary, which still had room, tells the same.
  EXPECT_TRUE(has(r.files.at("jx-qtest-o.txt"), "-- run bombed in writefile : problem writing the file \"jx-log.txt\""));
}

// The a-x file of the script is named like the log: however the run ends
// before start-up has checked the names of its files, the held log is not
// written over it.
TEST(Frame, EarlyEndsLeaveAnAxFileNamedLikeTheLog) {
  const std::string axmodels = "% a-x models kept under the log's name\nqtzx\n";
  const std::string script = "axfile log\nwith qtzx\ninexcess\ncalcTatP yes\ncalcP 6\ncalcT 400 700\n"
                             "diagramPT 4 10 400 700\npseudosection no\n*\n";
  const struct {
    std::string answers;
    int status;
    std::string end;
  } cases[] = {
      {"kill\n", 0, "-- run killed --"},
      {"x\n\n", 1, "-- run bombed in getcalcmode : integer needed (1)"},
      {"\n\n", 1, "-- run bombed in getcalcmode : integer needed (1)"},
      {"", 1, "-- run bombed in read in prstrings : problems reading"},
      {"0\n\n", 1, "-- run bombed in setup : sorry, mode 0 not available"},
      {"1\n\n", 1, "-- run bombed in startout : the output file \"jx-log.txt\" would overwrite the a-x file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers);
    const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/askmode"}, c.answers,
                                {{"jx-qtest.txt", script}, {"jx-log.txt", axmodels}});
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(has(r.out, c.end)) << r.out;
    EXPECT_EQ(r.files.at("jx-log.txt"), axmodels);
  }
  // With the a-x file named otherwise the log of such an end is kept.
  const e2e::Run kept = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1", "frame/askmode"}, "kill\n",
                                 {{"jx-log.txt", axmodels}});
  EXPECT_TRUE(has(kept.files.at("jx-log.txt"), "calcmode code : kill\n\n-- run killed --\n"));
}

TEST(Frame, LeastSquaresModeNamesItsFilesFromItsPreferences) {
  // The count 0 converts the end-member file into a data set and asks
  // nothing more.
  const e2e::Run r = e2e::run({"frame/mode1/jx-qtest.txt", "frame/lsq"}, "y\n0\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.out,
                  "intermediate/auxiliary calc results are in the file, \"ds-icqz9.txt\"\n"
                  "dataset in csv format in the file, \"ds-qz9.csv\"\n"
                  "\nrunning LSQDS from within SOLVARINTH 3.51\nat "))
      << r.out;
  // The one switch left to ask is asked; then one pass, with no question
  // about another and no Return wait.
  EXPECT_TRUE(has(r.out, "QR or Choleski to do LSQ: use QR ? "));
  EXPECT_FALSE(has(r.out, "more"));
  EXPECT_FALSE(has(r.out, "all done"));
  EXPECT_TRUE(has(r.files.at("ds-oqz9.txt"), "running LSQDS from within SOLVARINTH 3.51\n"));
  EXPECT_EQ(e2e::names(r), (std::vector<std::string>{"ds-emqz9-f.txt", "ds-oqz9.txt", "ds-prefs.txt", "ds-scrqz9.txt",
                                                     "jx-dsqz9.txt", "jx-log.txt", "jx-prefs.txt", "jx-qtest.txt"}));
}

TEST(Frame, RockModePassesAskForMoreRockCalculations) {
  const e2e::Run r = e2e::run({"avrock"}, "no\nno\n",
                              {{"jx-rk.txt", "axfile rkax\nwith ex wy exy exyy exxy\ncalctype 1\ndataok yes\ndiagramPT 1 15 400 800\n"
                                             "calcT 600\nisr ex wy exy exyy exxy\nisr -1 -1 1 0 0\n"
                                             "isr -1 -2 0 1 0\n*\n"}});
  EXPECT_TRUE(has(r.out, "\nmore rock calculations ? \n[ jx351")) << r.out;
}

TEST(Frame, ScriptProblemsAreCountedThenAskedAbout) {
  const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "n\nn\n\n",
                              {{"jx-qtest.txt",
                                "axfile qzax\nwith qtzx\ndiagramPT 4 10 400 700\npseudosection no\n"
                                "avPT+ yes\nautoexit\n*\n"}});
  EXPECT_TRUE(has(r.out, "there are script problems listed immediately above:\nexit, and correct the scriptfile ? "))
      << r.out;
  // "autoexit" took effect: one pass, no further questions.
  EXPECT_FALSE(has(r.out, "more phase diagram calculations"));
  EXPECT_FALSE(has(r.out, "all done"));
}

TEST(Frame, ElapsedTimeOnlyInPhaseDiagramModeAndWhenAskedFor) {
  const std::string script =
      "axfile qzax\nwith qtzx\ninexcess\ncalcTatP yes\ncalcP 6\ncalcT 400 700\ndiagramPT 4 10 400 700\n"
      "pseudosection no\ndebuglevel 4\nautoexit\n*\n";
  const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "", {{"jx-qtest.txt", script}});
  EXPECT_TRUE(std::regex_search(r.out, std::regex("=\n(elapsed = [0-9]+ msecs, n = 0\n)\n$"))) << r.out;
  EXPECT_FALSE(has(r.files.at("jx-log.txt"), "elapsed"));

  const e2e::Run rock = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "",
                                 {{"jx-qtest.txt", script}, {"jx-prefs.txt", "dsfile 7qz1\nscriptfile qtest\ncalcmode 2\n"}});
  EXPECT_FALSE(has(rock.out, "elapsed")) << rock.out;
}

}  // namespace
