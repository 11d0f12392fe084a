// Reading the run's inputs as a user meets it: script lines that are taken
// or refused, notices that must stand on lines of their own, input files
// that cannot be read, and inputs that an output would overwrite.
#include <sstream>

#include "runfiles.h"

using e2e::has;

namespace {

// Settles the calc-mode-1 dialogue, so that a run asks nothing.
const std::string settled = "inexcess\ncalcTatP yes\ncalcP 6\ncalcT 400 700\n";
const std::string head = "axfile qzax\nwith qtzx\n" + settled + "diagramPT 4 10 400 700\npseudosection no\n";

std::string script(const std::string& lines) { return head + lines + "autoexit\n*\n"; }

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

// Whether the text holds this whole line.
bool hasline(const std::string& text, const std::string& line) {
  for (const std::string& l : lines(text))
    if (l == line) return true;
  return false;
}

const std::string problems = "there are script problems listed immediately above:";

TEST(ReadingRun, ConvergenceTolerances) {
  struct Case {
    std::string lines, answers;
    bool goes_on;        // no question, no stop
    std::string shown;   // on the terminal, or empty
  };
  const Case cases[] = {
      {"convergence 1e-10 0 0.001 1e-7\n", "", true, "\nconv: 1e-10 0 1e-3 1e-7\n"},
      {"strictscripting\nconvergence 1e-10 0 0 1e-7\n", "", true, "\nconv: 1e-10 0 0 1e-7\n"},
      {"convergence 1e-10 1e-6 -0.001 1e-7\n", "no\n", false,
       "\nfor convergence, info given is -0.001\", but a tolerance may not be negative\n"},
      {"convergence 0 1e-6 0.001 1e-7\n", "no\n", false,
       "\nfor convergence, info given is 0\", but this tolerance must be greater than 0\n"},
      {"strictscripting\nconvergence 1e-10 1e-6 0.001 -1e-7\n", "", false,
       "-- run bombed in reading script for convergence : reals inappropriate\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, c.answers, {{"jx-qtest.txt", script(c.lines)}});
    EXPECT_EQ(r.status, has(c.shown, "-- run bombed") ? 1 : 0);
    EXPECT_TRUE(has(r.out, c.shown)) << r.out;
    EXPECT_EQ(has(r.out, problems) || has(r.out, "bombed"), !c.goes_on) << r.out;
    EXPECT_EQ(has(r.out, "conv:"), c.goes_on);
  }
}

TEST(ReadingRun, ConvertLines) {
  struct Case {
    std::string lines, message;  // message empty: the line is taken
  };
  const Case cases[] = {
      {"convert bulk wt2mole SiO2 Al2O3 50.2 14.8\nconvert gt 2 SiO2 FeO\nconvert gt wt2xyz 38 30\n", ""},
      {"convert bulk wt2mole SiO2 Al2O3 50.2\n", "not enough input for oxides in convert bulk"},
      {"convert bulk SiO2 50.2\n", "wrong form for convert bulk"},
      {"convert gt wt2xyz 38 30\n", "missing mineral start line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "", {{"jx-qtest.txt", script(c.lines)}});
    EXPECT_EQ(r.status, c.message.empty() ? 0 : 1);
    EXPECT_FALSE(has(r.out, "unrecognised")) << r.out;
    if (c.message.empty()) {
      EXPECT_FALSE(has(r.out, "bombed")) << r.out;
      EXPECT_FALSE(has(r.out, problems));
    } else {
      const std::string block = "\n-- run bombed in reading scripts : " + c.message + "\n";
      EXPECT_TRUE(has(r.out, block)) << r.out;
      EXPECT_TRUE(has(r.files.at("jx-qtest-o.txt"), block));
    }
  }
}

TEST(ReadingRun, NoticesStandOnLinesOfTheirOwn) {
  // Too few numbers for the P-T rectangle; the next line's trace follows on
  // a line of its own.
  const e2e::Run pt = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "",
                               {{"jx-qtest.txt", "axfile qzax\nwith qtzx\n" + settled + "diagramPT 4 10 400\n"
                                                 "convergence 1e-8 1e-6 0.005 1e-6\npseudosection no\nautoexit\n*\n"}});
  const std::string notice = "for diagramPT, 4 numbers needed to define a PT rectangle";
  EXPECT_TRUE(has(pt.out, "\n\n" + notice + "\nconv: 1e-8 1e-6 1e-2 1e-6\n")) << pt.out;
  EXPECT_TRUE(hasline(pt.files.at("jx-log.txt"), notice)) << pt.files.at("jx-log.txt");

  // A 1 after a pure phase named like its end-member, met while the
  // "reading ax:" progress line is open.
  const e2e::Run ax = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1", "reading"}, "y\n",
                               {{"jx-qtest.txt", "axfile qzamb\nwith qtzx\n" + settled + "diagramPT 4 10 400 700\n"
                                                 "pseudosection no\nautoexit\n*\n"}});
  EXPECT_FALSE(has(ax.out, "bombed")) << ax.out;
  for (const std::string* text : {&ax.out, &ax.files.at("jx-log.txt")}) {
    const std::vector<std::string> l = lines(*text);
    std::size_t i = 0;
    while (i < l.size() && l[i].rfind("reading ax: ", 0) != 0) ++i;
    ASSERT_LT(i + 3, l.size()) << *text;
    EXPECT_EQ(l[i], "reading ax: qtzx ");
    EXPECT_EQ(l[i + 1], "datafile appears to be ambiguous: a 1 immediately follows qtzx;");
    EXPECT_EQ(l[i + 2], "this means either an activity of 1, or it's a 1 end-member phase.");
    EXPECT_EQ(l[i + 3].rfind("the '1' its activity ? ", 0), 0u) << l[i + 3];
  }
}

TEST(ReadingRun, AnInputThatCannotBeReadStopsTheRun) {
  // The script is a folder: a read error, not an empty script.
  const e2e::Run r = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "", {}, {"jx-qtest.txt"});  // over the fixture's file
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.out, "-- run bombed in read in rstrings : problems reading\n")) << r.out;
  EXPECT_EQ(r.files.count("jx-qtest-o.txt"), 0u);

  // So is the preferences file.
  const e2e::Run p = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "", {}, {"jx-prefs.txt"});
  EXPECT_TRUE(has(p.out, "-- run bombed in read in rstrings : problems reading\n")) << p.out;

  // And an a-x file, met in the pass.
  std::string s = script("");
  s.replace(s.find("qzax"), 4, "qzdir");
  const e2e::Run a = e2e::run({"dataset/jx-ds7qz1.txt", "frame/mode1"}, "", {{"jx-qtest.txt", s}}, {"jx-qzdir.txt"});
  EXPECT_TRUE(has(a.out, "-- run bombed in read in rstrings : problems reading\n")) << a.out;
  EXPECT_TRUE(has(a.files.at("jx-qtest-o.txt"), "with axfile jx-qzdir.txt"));
}

// Inputs named like an output of the run: the run stops before it creates
// any output file, and the input is left as it was.
TEST(ReadingRun, NoOutputReplacesAnInput) {
  const std::string prefs = "dsfile 7qz1\nscriptfile test\ncalcmode 1\n";
  const std::string axtext = "% my a-x models\nqtzx\ngrox\n";
  struct Case {
    std::string name;                          // why
    std::map<std::string, std::string> files;  // besides the data set
    std::vector<std::string> folders;
    std::string answers;
    std::string input;    // the input that must stay as it was
    std::string message;  // of the stop
  };
  const std::string ds = e2e::slurp(e2e::fs::path(SOLVARINTH_FIXTURES) / "dataset/jx-ds7qz1.txt");
  const Case cases[] = {
      {"a-x file named like the summary",
       {{"jx-prefs.txt", prefs}, {"jx-test.txt", "axfile test-o\n*\n"}, {"jx-test-o.txt", axtext}},
       {},
       "",
       "jx-test-o.txt",
       "startout : the output file \"jx-test-o.txt\" would overwrite the a-x file"},
      {"a-x file given on a continued line, named like the log",
       {{"jx-prefs.txt", prefs}, {"jx-test.txt", "with qtzx \\\n grox\naxfile \\\n log\n"}, {"jx-log.txt", axtext}},
       {},
       "",
       "jx-log.txt",
       "startout : the output file \"jx-log.txt\" would overwrite the a-x file"},
      {"data set named like the summary",
       {{"jx-prefs.txt", "dsfile x-o\nscriptfile dsx\ncalcmode 1\n"}, {"jx-dsx.txt", "axfile qzax\n"},
        {"jx-dsx-o.txt", ds}},
       {},
       "",
       "jx-dsx-o.txt",
       "startout : the output file \"jx-dsx-o.txt\" would overwrite the data-set file"},
      {"script suffix typed at the prompt names the log",
       {{"ds-prefs.txt", "xpsuffix q\n"}, {"jx-log.txt", "axfile qzax\n"}},
       {},
       "1\nlog\n",
       "jx-log.txt",
       "promptdatafile : the file \"jx-log.txt\" is an output file of this run and cannot be read as script info"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::map<std::string, std::string> files = c.files;
    if (!files.count("jx-dsx-o.txt")) files["jx-ds7qz1.txt"] = ds;
    const e2e::Run r = e2e::run({}, c.answers, files, c.folders);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.out, "-- run bombed in " + c.message + "\n")) << r.out;
    EXPECT_EQ(r.files.at(c.input), files.at(c.input));
    // Nothing was made but the log of the dialogue, when it is no input.
    std::map<std::string, std::string> made;
    for (const auto& [name, text] : r.files)
      if (!files.count(name)) made[name] = text;
    if (c.input == "jx-log.txt") {
      EXPECT_TRUE(made.empty()) << made.begin()->first;
    } else {
      ASSERT_EQ(made.size(), 1u);
      EXPECT_TRUE(has(made.at("jx-log.txt"), "-- run bombed in " + c.message)) << made.at("jx-log.txt");
    }
  }
}

// The drawing of four fields alone, as the drawing program reads it.
const std::vector<std::string> drawing = {"drawing/qk-fourfield.txt"};
const std::map<std::string, std::string> drawingfiles = {
    {"jx-prefs.txt", "dsfile 62\nscriptfile fourfield\ncalcmode 1\n"}, {"jx-fourfield.txt", "% drawing only\n*\n"}};

}  // namespace

// Every file a run reads, with a line of more words than a line may hold
// (400): a comment that long is ignored, the run going as without it; a
// line of 400 words passes the line's limit (whatever its reader then makes
// of it); one of 401 stops the run once, naming the file, the line and the
// limit, with status 1 and the log written (but for the preferences, read
// before the log is begun). (The stop used to meet the same
// line again in the check of the run's files that its own end makes, and
// so on until the stack ran out.)
TEST(ReadingRun, ALineOverTheWordLimitStopsOnceAndALongCommentIsIgnored) {
  const std::vector<std::string> mode1 = {"dataset/jx-ds7qz1.txt", "frame/mode1"}, lsq = {"lsq"};
  const std::map<std::string, std::string> lsqfiles = {
      {"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix ab\naxsuffix ab\nxpsuffix ab\n*\n"}};
  struct Case {
    std::vector<std::string> fixtures;
    std::map<std::string, std::string> extra;
    std::string file;  // the file given the long line
    int at;            // the line it is put before (from 0)
    bool comments;     // the file has comments
    std::string answers;
    std::string program;
  };
  const Case cases[] = {
      {mode1, {}, "jx-qtest.txt", 0, true, "n\n\n", SOLVARINTH_EXE},
      {mode1, {}, "jx-qzax.txt", 0, true, "n\n\n", SOLVARINTH_EXE},
      {mode1, {}, "jx-prefs.txt", 0, true, "n\n\n", SOLVARINTH_EXE},
      {mode1, {}, "jx-ds7qz1.txt", 1, false, "n\n\n", SOLVARINTH_EXE},
      {lsq, lsqfiles, "ds-prefs.txt", 0, true, "2\n", SOLVARINTH_EXE},
      {lsq, lsqfiles, "jx-lsq.txt", 0, true, "2\n", SOLVARINTH_EXE},
      {lsq, lsqfiles, "ds-axab.txt", 0, true, "2\n", SOLVARINTH_EXE},
      {lsq, lsqfiles, "ds-xpab.txt", 0, true, "2\n", SOLVARINTH_EXE},
      {lsq, lsqfiles, "ds-emab.txt", 2, false, "2\n", SOLVARINTH_EXE},
      {{"utilities"}, {}, "jx-tb.txt", 0, true, "2\n0\n5\n500\nn\n\n", SOLVARINTH_UTILITYRUN},
      {drawing, drawingfiles, "qk-fourfield.txt", 0, true, "", SOLVARINTH_DRAWFILE},
      {drawing, drawingfiles, "qk-fourfield.txt", 9, true, "", SOLVARINTH_DRAWFILE},
      {drawing, drawingfiles, "jx-fourfield.txt", 0, true, "", SOLVARINTH_DRAWFILE},
  };
  auto words = [](int n) {
    std::string s;
    for (int i = 1; i <= n; ++i) s += (i > 1 ? " w" : "w") + std::to_string(i);
    return s;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + " before line " + std::to_string(c.at + 1));
    const std::string text = e2e::startfiles(c.fixtures, c.extra).at(c.file);
    auto with = [&](const std::string& line) {
      std::size_t at = 0;
      for (int k = 0; k < c.at; ++k) at = text.find('\n', at) + 1;
      std::map<std::string, std::string> extra = c.extra;
      extra[c.file] = text.substr(0, at) + line + "\n" + text.substr(at);
      return e2e::run(c.fixtures, c.answers, extra, {}, c.program);
    };
    const e2e::Run plain = e2e::run(c.fixtures, c.answers, c.extra, {}, c.program);
    ASSERT_EQ(plain.status, 0) << plain.out;
    if (c.comments) {
      const e2e::Run r = with("% " + words(420));
      EXPECT_EQ(r.status, 0);
      EXPECT_EQ(e2e::stamped(r.out), e2e::stamped(plain.out));
    }
    const std::string over = "\": line " + std::to_string(c.at + 1) + " of \"" + c.file + "\" has more than 400 words";
    const e2e::Run at = with(words(400));
    EXPECT_FALSE(has(at.out, over)) << at.out;
    const e2e::Run r = with(words(401));
    EXPECT_EQ(r.status, 1);
    const std::string message = "-- run bombed in string2strings : too many \"w401" + over + "\n";
    EXPECT_TRUE(has(r.out, message)) << r.out;
    EXPECT_EQ(r.out.find("-- run bombed"), r.out.rfind("-- run bombed")) << r.out;
    // The preferences are read before the log is begun.
    if (c.file != "jx-prefs.txt") {
      ASSERT_EQ(r.files.count("jx-log.txt"), 1u);
      EXPECT_TRUE(has(r.files.at("jx-log.txt"), message));
    }
  }
}

namespace {

// The value written short, in n characters: as mantissa and exponent with
// zeros after the mantissa's last decimal, so that the word's first 22
// characters would be another number; or, shorter than that allows, with
// zeros before it.
std::string writtenin(const std::string& shortform, const std::string& mantissa, const std::string& exponent,
                      std::size_t n) {
  const std::size_t least = mantissa.size() + 1 + exponent.size();
  if (n < least) return std::string(n > shortform.size() ? n - shortform.size() : 0, '0') + shortform;
  return mantissa + std::string(n - least, '0') + "e" + exponent;
}

}  // namespace

// A number of every reader written in 1 to 40 characters (23 is C's %.16e
// of a negative number with a negative exponent; 22 characters of one
// would be another number): the run is the run of its short form, on the
// terminal and in the files of its results. Readers: the script, the a-x
// file, a typed answer, the drawing's control section.
TEST(ReadingRun, ANumberIsReadWholeAtAnyLength) {
  const std::string loop = "../../examples/mode1";
  struct Case {
    std::vector<std::string> fixtures;
    std::map<std::string, std::string> extra;
    std::string file;  // the file that holds the value, or "typed"
    std::string before, value, after;
    std::string mantissa, exponent;  // the value as mantissa and exponent
    std::string answers;
    std::string program;
    std::string result;  // the file of the results
  };
  const std::string unasked = e2e::startfiles({loop}, {}).at("jx-loop.txt");
  std::string asked = unasked;
  asked.erase(asked.find("calcT 500 800 50\n"), 17);
  const Case cases[] = {
      {{loop}, {}, "jx-loop.txt", "bulk ", "65", " 35\n", "6.5", "1", "", SOLVARINTH_EXE, "jx-loop-o.txt"},
      {{loop}, {}, "jx-loopax.txt", "x(al) ", "0.3", "\n", "3.0", "-1", "", SOLVARINTH_EXE, "jx-loop-o.txt"},
      {{loop}, {{"jx-loop.txt", asked}}, "typed", "", "550", "\n", "5.5", "2", "", SOLVARINTH_EXE, "jx-loop-o.txt"},
      {drawing, drawingfiles, "qk-fourfield.txt", "window 0 ", "10", " 400 800\n", "1.0", "1", "", SOLVARINTH_DRAWFILE,
       "jx-fourfield.svg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + " " + c.value);
    auto with = [&](const std::string& value) {
      std::map<std::string, std::string> extra = c.extra;
      if (c.file == "typed") return e2e::run(c.fixtures, value + c.after, extra, {}, c.program);
      std::string text = e2e::startfiles(c.fixtures, c.extra).at(c.file);
      const std::size_t at = text.find(c.before + c.value + c.after);
      EXPECT_NE(at, std::string::npos);
      extra[c.file] = text.replace(at + c.before.size(), c.value.size(), value);
      return e2e::run(c.fixtures, c.answers, extra, {}, c.program);
    };
    const e2e::Run plain = with(c.value);
    ASSERT_EQ(plain.status, 0) << plain.out;
    ASSERT_EQ(plain.files.count(c.result), 1u);
    for (std::size_t n = 1; n <= 40; n += n < 20 ? 9 : 1) {
      const std::string w = writtenin(c.value, c.mantissa, c.exponent, n);
      if (w.size() != n) continue;
      SCOPED_TRACE(w);
      const e2e::Run r = with(w);
      EXPECT_EQ(r.status, 0) << r.out;
      EXPECT_EQ(e2e::stamped(r.out), e2e::stamped(plain.out));
      ASSERT_EQ(r.files.count(c.result), 1u);
      EXPECT_EQ(e2e::stamped(r.files.at(c.result)), e2e::stamped(plain.files.at(c.result)));
    }
  }
}
