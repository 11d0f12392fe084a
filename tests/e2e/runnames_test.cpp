// The file each input name of a run stands for, at suffix lengths where
// names are cut: an output (the log, or the details file) made beforehand
// as a link to the very file the reader opens is refused at start-up, and
// that file stays as it was. The names are written here from the naming
// rules, apart from the program: an input is prefix + suffix + ".txt",
// except calc mode 9's end-member and experiments files, whose "em"/"xp" +
// suffix is cut to 22 characters; an output is prefix + its name cut to 22.
// A suffix is a word of a line, and a word is its first 22 characters.
#include "harness.h"
#include "runfiles.h"

using e2e::filelimit;
using e2e::has;

namespace {

namespace fs = std::filesystem;

std::string fixture(const std::string& path) { return e2e::slurp(fs::path(SOLVARINTH_FIXTURES) / path); }

std::string cut(const std::string& s) { return s.substr(0, 22); }

// A suffix of n characters, unlike any other of the run's.
std::string suffixof(std::size_t n, char first) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += static_cast<char>(i == 0 ? first : 'a' + i % 26);
  return s;
}

// One run of the case: the files, the input under test, the output linked
// to it, and the program.
struct Laid {
  std::map<std::string, std::string> files;
  std::string input;   // the name of the file the reader opens
  std::string output;  // the name the run would make first, linked to input
};

void expectrefused(const Laid& l, const char* program, const std::string& answers) {
  SCOPED_TRACE(l.output + " -> " + l.input);
  ASSERT_EQ(l.files.count(l.input), 1u);
  const std::vector<e2e::Link> links = {{l.output, l.input}};
  const e2e::Run r = e2e::runfilelimited({}, answers, filelimit, l.files, links, 60, program);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(has(r.out, "\n-- run bombed in startout : the output file \"")) << r.out;
  EXPECT_TRUE(has(r.out, " file \"" + l.input + "\", the same file under another name\n")) << r.out;
  e2e::expectuntouched(r, {}, l.files, links, l.output != "jx-log.txt");
}

// Calc modes 0-3: the data set, the script, the a-x file it names, and the
// drawing data named after the script (read by calc mode 0). Lengths of
// one parity link the log, of the other the details output.
struct Plain {
  int mode;
  std::string ds = "7qz1", script = "qtest", ax = "qzax";
};

Laid plainrun(const Plain& p, const std::string& which, std::size_t n) {
  Plain typed = p;
  if (which == "ds") typed.ds = suffixof(n, 'd');
  if (which == "script" || which == "drawing") typed.script = suffixof(n, 's');
  if (which == "ax") typed.ax = suffixof(n, 'a');
  const Plain q{p.mode, cut(typed.ds), cut(typed.script), cut(typed.ax)};
  Laid l;
  const bool utility = p.mode == 0;
  l.files["jx-prefs.txt"] =
      "dsfile " + typed.ds + "\nscriptfile " + typed.script + "\ncalcmode " + std::to_string(p.mode) + "\n*\n";
  l.files["ds-prefs.txt"] = "*\n";
  l.files["jx-ds" + q.ds + ".txt"] = fixture(utility ? "utilities/jx-ds6ut.txt" : "dataset/jx-ds7qz1.txt");
  std::string script = fixture(utility ? "utilities/jx-tb.txt" : "frame/mode1/jx-qtest.txt");
  const std::string axline = utility ? "axfile utax\n" : "axfile qzax\n";
  script.replace(script.find(axline), axline.size(), "axfile " + typed.ax + "\n");
  l.files["jx-" + q.script + ".txt"] = script;
  l.files["jx-" + q.ax + ".txt"] = fixture(utility ? "utilities/jx-utax.txt" : "frame/mode1/jx-qzax.txt");
  if (utility) l.files["qk-" + q.script + ".txt"] = fixture("drawing/qk-fourfield.txt");
  const std::map<std::string, std::string> inputs = {{"ds", "jx-ds" + q.ds + ".txt"},
                                                     {"script", "jx-" + q.script + ".txt"},
                                                     {"ax", "jx-" + q.ax + ".txt"},
                                                     {"drawing", "qk-" + q.script + ".txt"}};
  l.input = inputs.at(which);
  l.output = n % 2 == 0 ? "jx-log.txt" : "jx-" + cut(q.script + "-ic.txt");
  return l;
}

TEST(RunNames, EveryInputOfCalcModesOneToThreeAtLongSuffixes) {
  for (const int mode : {1, 2, 3})
    for (const char* which : {"ds", "script", "ax"})
      for (std::size_t n = 18; n <= 30; ++n) {
        SCOPED_TRACE("calc mode " + std::to_string(mode) + ", " + which + ", " + std::to_string(n));
        expectrefused(plainrun({mode}, which, n), SOLVARINTH_EXE, "\n");
      }
}

TEST(RunNames, EveryInputOfTheUtilitiesAtLongSuffixes) {
  for (const char* which : {"ds", "script", "ax", "drawing"})
    for (std::size_t n = 18; n <= 30; ++n) {
      SCOPED_TRACE(std::string(which) + ", " + std::to_string(n));
      expectrefused(plainrun({0, "6ut", "tb", "utax"}, which, n), SOLVARINTH_UTILITYRUN, "\n");
    }
}

// Calc mode 9: its script, its own script, a-x, end-member (and the one to
// convert) and experiments files, each suffix varied in turn.
struct Lsq {
  std::string script = "lsq", scr = "6cv", ax = "ab", em = "ab", xp = "ab";
};

Laid lsqrun(const std::string& which, std::size_t n) {
  Lsq typed;
  const std::string s = suffixof(n, 'q');
  if (which == "script") typed.script = s;
  if (which == "scr") typed.scr = s;
  if (which == "ax") typed.ax = s;
  if (which == "em" || which == "emf") typed.em = s;
  if (which == "xp") typed.xp = s;
  const Lsq q{cut(typed.script), cut(typed.scr), cut(typed.ax), cut(typed.em), cut(typed.xp)};
  Laid l;
  l.files["jx-prefs.txt"] = "scriptfile " + typed.script + "\ncalcmode 9\n*\n";
  l.files["ds-prefs.txt"] = "jxdssuffix " + typed.scr + "\nemsuffix " + typed.em + "\naxsuffix " + typed.ax +
                            "\nxpsuffix " + typed.xp + "\n*\n";
  l.files["jx-" + q.script + ".txt"] = fixture("lsq/jx-lsq.txt");
  l.files["ds-scr" + q.scr + ".txt"] = fixture("lsq/ds-scr6cv.txt");
  l.files["ds-ax" + q.ax + ".txt"] = fixture("lsq/ds-axab.txt");
  const std::string em = "ds-" + cut("em" + q.em) + ".txt", emf = "ds-" + cut("em" + q.em + "-f") + ".txt";
  l.files[em] = fixture("lsq/ds-emab.txt");
  if (which == "emf") l.files[emf] = fixture("lsq/ds-emcv-f.txt");
  const std::string xp = "ds-" + cut("xp" + q.xp) + ".txt";
  l.files[xp] = fixture("lsq/ds-xpab.txt");
  const std::map<std::string, std::string> inputs = {
      {"script", "jx-" + q.script + ".txt"}, {"scr", "ds-scr" + q.scr + ".txt"}, {"ax", "ds-ax" + q.ax + ".txt"},
      {"em", em}, {"emf", emf}, {"xp", xp}};
  l.input = inputs.at(which);
  l.output = n % 2 == 0 ? "jx-log.txt" : "ds-ic" + cut(q.scr + ".txt");
  return l;
}

TEST(RunNames, EveryInputOfCalcModeNineAtLongSuffixes) {
  for (const char* which : {"script", "scr", "ax", "em", "emf", "xp"})
    for (std::size_t n = 18; n <= 30; ++n) {
      SCOPED_TRACE(std::string(which) + ", " + std::to_string(n));
      expectrefused(lsqrun(which, n), SOLVARINTH_EXE, "\n");
    }
  // The files written at the end: the new end-member file and the new data
  // set over the experiments file read under its cut name.
  for (std::size_t n = 21; n <= 30; n += 3) {
    Laid l = lsqrun("xp", n);
    l.output = "ds-em" + cut("ab-i.txt");
    expectrefused(l, SOLVARINTH_EXE, "\n");
    l.output = "jx-ds" + cut("6cv.txt");
    expectrefused(l, SOLVARINTH_EXE, "\n");
  }
}

// The fit reads its experiments under the cut name, as the names above
// take it: with no link, the run reads that file and fits.
TEST(RunNames, CalcModeNineReadsItsExperimentsUnderTheCutName) {
  const Laid l = lsqrun("xp", 25);
  const e2e::Run r = e2e::runfilelimited({}, "2\n", filelimit, l.files, {}, 60, SOLVARINTH_EXE);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.files.at(l.input), fixture("lsq/ds-xpab.txt"));
  EXPECT_EQ(r.files.count("jx-ds6cv.txt"), 1u) << r.out;
}

}  // namespace
