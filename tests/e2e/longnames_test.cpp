// Calc mode 1 on a made-up system whose pure phases carry names of 22
// characters, the longest the readers keep: 21 oxide components, an ideal
// one-site solution ss of 10 one-oxide end-members (e01 held at x = 0.05 by
// the pure phase p01 of its oxide) and pure phases q11..q21 of one oxide
// each. With 13 phases a heading of their names is longer than a line's
// usual length; each such line is written whole.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

#include "harness.h"
#include "madeupdataset.h"

namespace {

using e2e::has;

using madeup::oxide;
const std::vector<oxide>& oxides = madeup::oxides21();
constexpr int nss = 10;      // end-members of ss, the first 10 oxides
constexpr double x1 = 0.05;  // e01's fraction in ss
constexpr double Rgas = 0.0083144626;

std::string two(int k) { return (k < 10 ? "0" : "") + std::to_string(k); }

// Pure phase k (0-based oxide) named at 22 characters: p01www.., q11www..
std::string purename(int k) {
  return (k == 0 ? "p01" : "q" + std::to_string(k + 1)) + std::string(19, 'w');
}

std::string num(double v) { return e2e::fixed(v, 12); }

std::string record(const std::string& name, const oxide& o, double H, double S) {
  return madeup::oneoxiderecord(name, "fx", o, H, S);
}

std::string dataset() {
  std::string s = "7 22 don't alter this line or the layout of the records below, made up for long names\n\n";
  for (int k = 0; k < nss; ++k) s += record("e" + two(k + 1), oxides[k], -500.0 - 3 * k, 0.03);
  s += record(purename(0), oxides[0], -500.0, 0.03 - Rgas * std::log(x1));
  for (int k = nss; k < 21; ++k) s += record(purename(k), oxides[k], -400.0 - k, 0.02);
  s += "1.0\n";
  for (int i = 0; i < 22; ++i) {
    s += "0.01";
    for (int j = i + 1; j < 22; ++j) s += " 0";
    s += "\n";
  }
  return s + "\nmade-up long-name system (sigfit =  1.000)\n";
}

std::string axfile() {
  std::string s = "% made-up pure phases of long names and one ideal solution\n" + purename(0) + "\n";
  for (int k = nss; k < 21; ++k) s += purename(k) + "\n";
  s += "ss " + std::to_string(nss) + " 1\n";
  for (int k = 1; k < nss; ++k) s += "  v" + two(k) + "(ss) 0.1\n";
  for (int k = 1; k < nss; ++k) s += "  p(e" + two(k) + ") 1  1 0 1 1 v" + two(k) + "\n";
  std::string last = " 1  1 1 " + std::to_string(nss - 1);
  for (int k = 1; k < nss; ++k) last += " -1 v" + two(k);
  s += "  p(e" + two(nss) + ")" + last + "\n  ideal\n  " + std::to_string(nss) + "\n";
  for (int k = 1; k < nss; ++k) s += "  s" + two(k) + " 1  1 0 1 1 v" + two(k) + "\n";
  s += "  s" + two(nss) + last + "\n";
  for (int k = 1; k <= nss; ++k) s += "  e" + two(k) + " 1 1 s" + two(k) + " 1\n";
  return s + "*\n";
}

// The bulk in moles: 10 of ss, 2 of p01 and 3 of each q.
double amount(int k) { return k == 0 ? 10 * x1 + 2 : k < nss ? 10 * (1 - x1) / (nss - 1) : 3; }

std::string script(const std::string& more) {
  std::string s = "axfile lnax\nwith ss " + purename(0);
  for (int k = nss; k < 21; ++k) s += (k % 4 == 0 ? " \\\n" : " ") + purename(k);
  s += "\ninexcess\ncalcP 5\ncalcT 500\ndiagramPT 1 10 400 800\npseudosection\nbulk";
  for (const oxide& o : oxides) s += " " + o.name;
  s += "\nbulk";
  for (int k = 0; k < 21; ++k) s += " " + num(amount(k)).substr(0, 8);
  return s + "\n" + more + "zeromodeiso no\nmodeiso no\nautoexit yes\n*\n";
}

std::map<std::string, std::string> inputs(const std::string& more) {
  return {{"jx-prefs.txt", "dsfile 7ln\nscriptfile ln\ncalcmode 1\n*\n"},
          {"jx-ds7ln.txt", dataset()},
          {"jx-lnax.txt", axfile()},
          {"jx-ln.txt", script(more)}};
}

std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string w; in >> w;) v.push_back(w);
  return v;
}

// The lines of text whose words end with tail.
std::vector<std::string> endingwith(const std::string& text, const std::vector<std::string>& tail) {
  std::vector<std::string> found;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    const std::vector<std::string> w = words(l);
    if (w.size() >= tail.size() && std::equal(tail.begin(), tail.end(), w.end() - static_cast<long>(tail.size())))
      found.push_back(l);
  }
  return found;
}

// Every phase's name in order, ss first, as the run orders them.
std::vector<std::string> phases() {
  std::vector<std::string> v = {"ss", purename(0)};
  for (int k = nss; k < 21; ++k) v.push_back(purename(k));
  return v;
}

// The lines of text that, their blanks taken out, read head, every phase's
// name in order, then tail, whatever blanks part them: none is lost.
std::vector<std::string> holdingall(const std::string& text, const std::string& head, const std::string& tail) {
  std::string want = head;
  for (const std::string& p : phases()) want += p;
  want += tail;
  std::vector<std::string> found;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    std::string packed;
    for (const std::string& w : words(l)) packed += w;
    if (packed == want) found.push_back(l);
  }
  return found;
}

void nocutmark(const e2e::Run& r) {
  for (const auto& [name, text] : r.files) EXPECT_FALSE(has(text, "\xA4")) << name;
  EXPECT_FALSE(has(r.out, "\xA4"));
}

// The lines of a file where a long name touches the word before or after
// it: each long name is three characters and 19 w, so an 'w' run of 19
// followed by a letter or digit, or a name's start after one, is two words
// read as one.
std::vector<std::string> touching(const std::string& text) {
  std::vector<std::string> found;
  std::istringstream in(text);
  const std::string run(19, 'w');
  const auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
  for (std::string l; std::getline(in, l);) {
    for (std::size_t at = l.find(run); at != std::string::npos; at = l.find(run, at + 1)) {
      const std::size_t end = at + run.size();
      if ((end < l.size() && word(l[end])) || (at >= 4 && (word(l[at - 4]) || l[at - 4] == ')'))) {
        found.push_back(l);
        break;
      }
    }
  }
  return found;
}

// No two names of any file of r touch.
void namesapart(const e2e::Run& r) {
  for (const auto& [name, text] : r.files) {
    const std::vector<std::string> t = touching(text);
    EXPECT_TRUE(t.empty()) << name << ": " << (t.empty() ? "" : t[0]);
  }
}

// The lines of text that read as the words head, every phase's name, then
// the words tail: each name a word of its own.
std::size_t readingapart(const std::string& text, const std::vector<std::string>& head,
                         const std::vector<std::string>& tail) {
  std::vector<std::string> want = head;
  for (const std::string& p : phases()) want.push_back(p);
  want.insert(want.end(), tail.begin(), tail.end());
  std::size_t n = 0;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) n += words(l) == want ? 1 : 0;
  return n;
}

// The details' point heading keeps the point's P and T after the 13 names,
// and the modes heading of the summary and the log keeps the last phase and
// the headings of G, H, S, V and rho.
TEST(LongNames, PointHeadingsKeepPTAndEveryColumn) {
  const e2e::Run r = e2e::run({}, "", inputs(""));
  ASSERT_EQ(r.status, 0) << r.out;
  nocutmark(r);
  const std::vector<std::string> heads = endingwith(r.files.at("jx-ln-ic.txt"), {"{5.0000,", "500.000}", "kbar/C"});
  ASSERT_FALSE(heads.empty()) << r.files.at("jx-ln-ic.txt");
  std::vector<std::string> want = phases();
  want.insert(want.end(), {"{5.0000,", "500.000}", "kbar/C"});
  EXPECT_EQ(words(heads[0]), want);
  for (const char* f : {"jx-ln-o.txt", "jx-log.txt"}) {
    EXPECT_FALSE(holdingall(r.files.at(f), "mode", "GHSVrho").empty()) << f << "\n" << r.files.at(f);
    EXPECT_EQ(readingapart(r.files.at(f), {"mode"}, {"G", "H", "S", "V", "rho"}), 1u) << f << "\n" << r.files.at(f);
  }
  namesapart(r);
}

// Dogmin's tables: the details' "all equilibria" heading, the summary's
// phases line with its assemblage number, the dogmin modes heading, and the
// headings of the minimisation info and of the modes for minimum G keep
// every name and every column heading after them.
TEST(LongNames, DogminTablesKeepEveryNameAndColumn) {
  const e2e::Run r = e2e::run({}, "10\n", inputs("dogmin yes\n"));
  ASSERT_EQ(r.status, 0) << r.out;
  nocutmark(r);
  EXPECT_EQ(holdingall(r.files.at("jx-ln-ic.txt"), "#", "G").size(), 1u) << r.files.at("jx-ln-ic.txt");
  for (const char* f : {"jx-ln-o.txt", "jx-log.txt"}) {
    SCOPED_TRACE(f);
    const std::string& text = r.files.at(f);
    EXPECT_FALSE(holdingall(text, "phases:", "#1").empty()) << text;
    EXPECT_EQ(holdingall(text, "mode", "").size(), 1u) << text;  // the dogmin modes; the point's has G .. rho
    EXPECT_EQ(holdingall(text, "", "Gdeln#").size(), 1u) << text;
    EXPECT_EQ(holdingall(text, "#", "Godeldel").size(), 1u) << text;
    EXPECT_EQ(readingapart(text, {"mode"}, {}), 1u) << text;
  }
  namesapart(r);
}

// The packed words of lines[at] and lines[at + 2]: a table's heading over
// its two blocks.
std::string twoblockheading(const std::vector<std::string>& lines, std::size_t at) {
  std::string packed;
  for (std::size_t i : {at, at + 2})
    for (const std::string& w : words(i < lines.size() ? lines[i] : "")) packed += w;
  return packed;
}

// At debug level 2 the starting guesses and each iteration's table go on in
// blocks sized by their values; each block's heading names every column,
// the phases' modes included, however wide the names make it.
TEST(LongNames, DebugTablesHeadEveryColumn) {
  const e2e::Run r = e2e::run({}, "", inputs("debuglevel 2\n"));
  ASSERT_EQ(r.status, 0) << r.out;
  nocutmark(r);
  std::vector<std::string> lines;
  std::istringstream in(r.files.at("jx-ln-o.txt"));
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  std::string names;
  for (const std::string& p : phases()) names += p;
  std::size_t guesses = 0, iterations = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string packed = twoblockheading(lines, i);
    if (lines[i].rfind("starting guesses:", 0) == 0) {
      ++guesses;
      EXPECT_EQ(packed.substr(packed.size() - names.size()), names) << lines[i];
    } else if (i > 0 && lines[i - 1].rfind(" ", 0) == 0 && words(lines[i - 1]).size() == 6 &&
               has(lines[i], "v01(ss)")) {
      ++iterations;
      EXPECT_EQ(packed.size() > names.size() ? packed.substr(packed.size() - names.size()) : "", names) << lines[i];
    }
  }
  EXPECT_EQ(guesses, 1u) << r.files.at("jx-ln-o.txt");
  EXPECT_GE(iterations, 3u) << r.files.at("jx-ln-o.txt");
  namesapart(r);
}

}  // namespace
