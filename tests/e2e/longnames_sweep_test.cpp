// Every output of a run holds every name and value whatever the length of
// the names: each run is made twice on one made-up system, once with short
// names and once with every name renamed to the longest the readers take
// (pure phases and site fractions of 22 characters, end-members of 19 so
// that "p(name)" is 22, solutions of 12 with variables of 8 so that
// "var(solution)" is 22). Every file the long run leaves must hold each
// word and number of the short run's file of its name (its names renamed),
// wherever the longer lines put them, with no cut mark (the byte 0xA4) in
// any of them; and what the program reads back of its own files (the
// copy-back blocks pasted into a script, the drawing data given to the
// drawing program) taken from the long run reads back to the same results.
#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "runfiles.h"

namespace {

namespace fs = std::filesystem;
using e2e::has;

// Short names and the long names they become.
using Renaming = std::map<std::string, std::string>;

std::string padded(const std::string& name, std::size_t length, char fill) {
  return name + std::string(length > name.size() ? length - name.size() : 0, fill);
}

bool wordchar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

// The text with every whole word that is a short name replaced by its long
// name (a word: a run of letters, digits and underscores).
std::string renamed(const std::string& text, const Renaming& to) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (!wordchar(text[i])) {
      out += text[i++];
      continue;
    }
    std::size_t j = i;
    while (j < text.size() && wordchar(text[j])) ++j;
    const std::string w = text.substr(i, j - i);
    const auto it = to.find(w);
    out += it == to.end() ? w : it->second;
    i = j;
  }
  return out;
}

std::vector<std::string> lines(const std::string& text);

// The words and numbers of a text: split at blanks and at the brackets and
// marks that join names to their neighbours, leaving out what holds no
// letter or digit (rules, bars) and what differs between two runs anyway
// (the time of the run and how long it took).
std::vector<std::string> tokens(const std::string& text) {
  static const std::regex elapsed("elapsed = [0-9]+ msecs");
  const std::string t = std::regex_replace(e2e::stamped(text), elapsed, "");
  std::vector<std::string> v;
  std::string w;
  auto flush = [&] {
    // a rule with a word after it: the word alone
    const std::size_t rule = w.find_first_not_of("-=^*<>");
    if (rule != std::string::npos && rule >= 2) w.erase(0, rule);
    // a coefficient written against a name: the two apart
    const std::size_t name = w.find_first_not_of("0123456789.");
    if (name != std::string::npos && name > 0 && name + 1 < w.size() &&
        std::isalpha(static_cast<unsigned char>(w[name])) != 0 && w[name] != 'e' && w[name] != 'E') {
      v.push_back(w.substr(0, name));
      w.erase(0, name);
    }
    for (char c : w)
      if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
        v.push_back(w);
        break;
      }
    w.clear();
  };
  for (char c : t) {
    if (std::isspace(static_cast<unsigned char>(c)) != 0 ||
        std::string_view("(){}[],;:=|\"'\\%").find(c) != std::string_view::npos)
      flush();
    else
      w += c;
  }
  flush();
  return v;
}

// The short run's text with its names renamed as the long run writes them:
// the heading of the table of variables gives each variable's name cut to
// 9 characters, as that table always has.
std::string aslong(const std::string& shorttext, const Renaming& to) {
  static const std::regex heading("^ {1,2}P\\(kbar\\) +T\\(");
  std::string out;
  for (const std::string& l : lines(renamed(shorttext, to))) {
    if (!std::regex_search(l, heading)) {
      out += l + "\n";
      continue;
    }
    std::istringstream in(l);
    for (std::string w; in >> w;) out += " " + (w.rfind("P(", 0) == 0 || w.rfind("T(", 0) == 0 ? w : w.substr(0, 9));
    out += "\n";
  }
  return out;
}

// A name longer than its field is written whole and touches its
// neighbours: the words with the long names taken out of them as words of
// their own.
std::vector<std::string> separated(const std::vector<std::string>& words, const Renaming& to) {
  std::vector<std::string> out;
  for (std::string w : words) {
    while (!w.empty()) {
      std::size_t at = std::string::npos, length = 0;
      for (const auto& [from, name] : to) {
        const std::size_t i = w.find(name);
        if (i != std::string::npos && (i < at || (i == at && name.size() > length))) at = i, length = name.size();
      }
      if (at == std::string::npos || length == w.size()) {
        out.push_back(w);
        break;
      }
      if (at > 0) out.push_back(w.substr(0, at));
      out.push_back(w.substr(at, length));
      w.erase(0, at + length);
    }
  }
  return out;
}

// What the long run's text lacks of the short run's, the short run's names
// renamed: each word with how many times it is missing.
std::string missing(const std::string& shorttext, const std::string& longtext, const Renaming& to) {
  std::map<std::string, int> count;
  for (const std::string& w : separated(tokens(longtext), to)) ++count[w];
  std::map<std::string, int> lack;
  for (const std::string& w : separated(tokens(aslong(shorttext, to)), to)) {
    const auto it = to.find(w);
    if (--count[it == to.end() ? w : it->second] < 0) ++lack[it == to.end() ? w : it->second];
  }
  std::string out;
  for (const auto& [w, n] : lack) out += " " + w + (n > 1 ? " (x" + std::to_string(n) + ")" : "");
  return out;
}

// The first line of text where a long name runs into what stands beside
// it, so that a reader splitting at blanks takes the two for one word: a
// letter, digit or opening bracket right after the name, or a letter right
// before it. Empty when every long name stands apart.
std::string touching(const std::string& text, const Renaming& to) {
  const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
  for (const std::string& l : lines(text))
    for (const auto& [from, name] : to)
      for (std::size_t at = l.find(name); at != std::string::npos; at = l.find(name, at + 1)) {
        const std::size_t end = at + name.size();
        if ((end < l.size() && (wordchar(l[end]) || l[end] == '[')) || (at > 0 && letter(l[at - 1]))) return l;
      }
  return "";
}

// The scratch folder of one run of the current test, made afresh with the
// given files.
fs::path folder(const std::string& tag, const std::map<std::string, std::string>& files) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const fs::path dir = e2e::scratchroot() / (std::string(info->test_suite_name()) + "." + info->name() + "." + tag);
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::remove_all(e2e::runinfo(dir));
  fs::create_directories(e2e::runinfo(dir));
  for (const auto& [name, content] : files) std::ofstream(dir / name, std::ios::binary) << content;
  return dir;
}

e2e::Run runwith(const std::string& tag, const std::map<std::string, std::string>& files, const std::string& answers,
                 const std::string& program = SOLVARINTH_EXE) {
  return e2e::runinfolder(folder(tag, files), answers, 4000000, 60, program);
}

// The files with their names renamed; the preferences name files only.
std::map<std::string, std::string> renamedfiles(const std::map<std::string, std::string>& files, const Renaming& to) {
  std::map<std::string, std::string> out;
  for (const auto& [name, content] : files)
    out[name] = name.find("prefs") == std::string::npos ? renamed(content, to) : content;
  return out;
}

struct Pair {
  e2e::Run shortrun, longrun;
};

// The text less its lines that hold random draws, which differ between any
// two runs.
std::string kept(const std::string& text, const std::regex& drawn) {
  std::string out;
  for (const std::string& l : lines(text))
    if (!std::regex_search(l, drawn)) out += l + "\n";
  return out;
}

// The run with short names and with long (the files renamed, unless the
// long run's files are given): both end as they should, the long one
// leaves the files the short one left, each holding every word and number
// of the short one's, and no file holds a cut mark.
Pair sweep(const std::string& tag, const std::map<std::string, std::string>& files, const std::string& answers,
           const Renaming& to, const std::string& program = SOLVARINTH_EXE, int status = 0,
           const std::map<std::string, std::string>& longfiles = {}, const std::regex& drawn = std::regex("^$")) {
  SCOPED_TRACE(tag);
  Pair p{
      runwith(tag + "-short", files, answers, program),
      runwith(tag + "-long", longfiles.empty() ? renamedfiles(files, to) : longfiles, renamed(answers, to), program)};
  EXPECT_EQ(p.shortrun.status, status) << p.shortrun.out;
  EXPECT_EQ(p.longrun.status, status) << p.longrun.out;
  for (const auto& [name, text] : p.shortrun.files) {
    if (files.count(name) == 1) continue;
    EXPECT_EQ(p.longrun.files.count(name), 1u) << name;
    if (p.longrun.files.count(name) == 1) {
      EXPECT_EQ(missing(kept(text, drawn), kept(p.longrun.files.at(name), drawn), to), "")
          << name << " of the long run lacks these";
    }
  }
  for (const auto& [name, text] : p.longrun.files) {
    EXPECT_FALSE(has(text, "\xA4")) << name << " holds a cut mark";
    if (longfiles.count(name) == 0 && files.count(name) == 0) {
      EXPECT_EQ(touching(text, to), "") << name << ": a long name touches its neighbour";
    }
  }
  EXPECT_EQ(touching(p.longrun.out, to), "") << "the terminal: a long name touches its neighbour";
  EXPECT_FALSE(has(p.longrun.out, "\xA4")) << "the terminal holds a cut mark";
  EXPECT_EQ(p.shortrun.files.size(), p.longrun.files.size());
  return p;
}

// A file a run left, empty when it left none.
std::string fileof(const e2e::Run& r, const std::string& name) {
  const auto it = r.files.find(name);
  return it == r.files.end() ? std::string() : it->second;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

// The numbers of the lines from the first that starts with the given text
// up to the first empty line, or of so many lines.
std::vector<double> numbersfrom(const std::string& text, const std::string& start, std::size_t most = 1000) {
  std::vector<double> v;
  std::size_t in = 0;
  for (const std::string& l : lines(text)) {
    if (in == 0 && l.rfind(start, 0) == 0)
      in = 1;
    else if (in > 0 && (l.find_first_not_of(' ') == std::string::npos || ++in > most))
      break;
    if (in == 0) continue;
    for (const std::string& w : tokens(l)) {
      std::size_t used = 0;
      try {
        const double d = std::stod(w, &used);
        if (used == w.size()) v.push_back(d);
      } catch (const std::exception&) {
      }
    }
  }
  return v;
}

// ---------------------------------------------------------------- calc mode 1

const std::string oxides =
    "SiO2 Al2O3 CaO MgO FeO K2O Na2O TiO2 MnO O Cl2O SO2 NiO ZrO2 CuO Cr2O3 F2O P2O5 BaO Li2O Rb2O SrO ZnO";
const std::string rock =
    "bulk " + oxides +
    "\nbulk 2.5 1.055556 1.055556 1.055556 1.055556 1.055556 1.055556 1.055556 1.055556 3 1.055556 "
    "3 3 3 3 3 3 3 3 3 3 3 3\n";
// The phases over several lines, as a script holds long names.
const std::string allphases = "ss p01 q11 q12 q13 \\\n  q14 q15 q16 q17 q18 \\\n  q19 q20 q21 q22 q23";

// The names of the made-up system of tests/fixtures/longnames at their
// longest; end-members of the given length.
Renaming mode1names(std::size_t endmember = 19) {
  Renaming to{{"ss", padded("ss", 12, 'w')},
              {"tt", padded("tt", 12, 'w')},
              {"w10", padded("w10", 8, 'v')},
              {"p01", padded("p01", 22, 'w')},
              {"r12", padded("r12", 22, 'w')}};
  for (int k = 1; k <= 10; ++k) {
    const std::string n = (k < 10 ? "0" : "") + std::to_string(k);
    to["e" + n] = padded("e" + n, endmember, 'e');
    to["s" + n] = padded("s" + n, 22, 'f');
    if (k < 10) to["v" + n] = padded("v" + n, 8, 'v');
  }
  for (int k = 11; k <= 23; ++k) to["q" + std::to_string(k)] = padded("q" + std::to_string(k), 22, 'w');
  for (const char* n : {"t01", "t02"}) to[n] = padded(n, endmember, 'e');
  for (const char* n : {"u01", "u02"}) to[n] = padded(n, 22, 'f');
  return to;
}

std::map<std::string, std::string> mode1files(const std::string& script) {
  return e2e::startfiles({"longnames"}, {{"jx-lw.txt", "axfile lwax\n" + script + "autoexit yes\n*\n"}});
}

// One point of a rock at 5 kbar and 550 C with every phase.
std::string point(const std::string& extra, const std::string& bulk = rock) {
  return "with " + allphases + "\ninexcess\ncalcP 5\ncalcT 550\ndiagramPT 1 10 400 800\npseudosection\n" + bulk +
         extra + "zeromodeiso no\nmodeiso no\n";
}

// The rock's composition as the summary gives it: its oxides and amounts.
std::vector<double> composition(const e2e::Run& r) {
  return numbersfrom(fileof(r, "jx-lw-o.txt"), "composition (from", 3);
}

// A rock read from a pasted block is the rock of the run it came from.
void samecomposition(const e2e::Run& from, const e2e::Run& again, const std::string& block) {
  EXPECT_EQ(again.status, 0) << again.out;
  const std::vector<double> before = composition(from), after = composition(again);
  EXPECT_FALSE(before.empty());
  EXPECT_EQ(after.size(), before.size()) << block;
  for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) EXPECT_NEAR(after[i], before[i], 2e-3) << i;
}

// The first copy-back block of a log as a user pastes it into the script:
// the block's lines that start with the given text, less its first skip
// characters, each with the lines it goes on in, after the given heading;
// the block ends at its first line that is not a comment.
std::string pasted(const std::string& log, const std::string& start, std::size_t skip, const std::string& heading) {
  std::string block = heading;
  bool inrows = false, seen = false;
  for (const std::string& l : lines(log)) {
    if (l.rfind(start, 0) == 0) {
      block += l.substr(skip) + "\n";
      inrows = !l.empty() && l.back() == '\\';
      seen = true;
    } else if (inrows) {
      block += l + "\n";
      inrows = !l.empty() && l.back() == '\\';
    } else if (seen && l.rfind("%", 0) != 0) {
      break;
    }
  }
  return block;
}

TEST(LongNamesSweep, CalcModeOnePointsLinesAndPseudosections) {
  const Renaming to = mode1names();
  // Points along T of a pseudosection with its bulk information and mu.
  const Pair pts = sweep("points",
                         mode1files("with " + allphases +
                                    "\ninexcess\ncalcP 5\ncalcT 500 600 50\ndiagramPT 1 10 400 800\npseudosection\n" +
                                    rock + "printbulkinfo yes\ncalcmu yes\nzeromodeiso no\nmodeiso no\n"),
                         "", to);
  // The rbi tableau of the long run pasted back makes the same rock, and
  // its first point's starting guesses pasted back are the guesses of ss.
  const std::string tableau = pasted(fileof(pts.longrun, "jx-log.txt"), "bulk  rbi", 6, "rbi " + oxides + "\n");
  const std::string guesses = pasted(fileof(pts.longrun, "jx-log.txt"), "xyzguess", 0, "");
  const e2e::Run again = runwith("points-rbi", renamedfiles(mode1files(point(guesses, tableau)), to), "");
  samecomposition(pts.longrun, again, tableau);
  EXPECT_TRUE(has(fileof(again, "jx-log.txt"), "in the scriptfile: " + to.at("ss") + ";")) << guesses;

  // A univariant line of the pure phases (q12 = r12) at 4, 5 and 6 kbar.
  Pair line = sweep("line",
                    mode1files("with tt p01 q11 q12 q13 \\\n  q15 q16 q17 q18 q19 \\\n  q20 q21 q22 q23 r12\ninexcess\n"
                               "pseudosection no\ncalcTatP yes\ncalcP 4 6 1\ndiagramPT 1 10 400 800\n"
                               "zeromodeiso no\nmodeiso no\n"),
                    "", to);
  // Its drawing data, made into a drawing as a user makes it (the record
  // named, the header and the closing sections), drawn from either run:
  // the drawing of the long run's data holds every phase of the line.
  auto drawing = [](const std::string& qk) {
    std::string d = qk;
    const std::size_t at = d.find("u<k>");
    if (at != std::string::npos) d.replace(at, 4, "u1  ");
    return "2 3 2 1\n" + d + "*\n*\nwindow 400 800 1 10\nbigticks 0 0 0 0\ncircles no\n*\n";
  };
  const std::map<std::string, std::string> drawfiles = {{"jx-prefs.txt", "dsfile 62\nscriptfile ff\ncalcmode 1\n"},
                                                        {"jx-ff.txt", "% drawing only\n*\n"}};
  std::map<std::string, std::string> shortdraw = drawfiles, longdraw = drawfiles;
  shortdraw["qk-ff.txt"] = drawing(fileof(line.shortrun, "jx-lw-qk.txt"));
  longdraw["qk-ff.txt"] = drawing(fileof(line.longrun, "jx-lw-qk.txt"));
  const Pair drawn = sweep("line-draw", shortdraw, "", to, SOLVARINTH_DRAWFILE, 0, longdraw);
  EXPECT_TRUE(has(fileof(drawn.shortrun, "jx-log.txt"), "u1) tt p01")) << drawn.shortrun.out;
}

// The made-up solution ss as a symmetric one (W of e01 and e02 5 kJ, the
// others 0), whose W a Monte Carlo run may draw.
std::map<std::string, std::string> withmargules(std::map<std::string, std::string> files) {
  std::string w = "  sf\n";
  for (int i = 1; i <= 10; ++i)
    for (int j = i + 1; j <= 10; ++j)
      w += "  W(e" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ",e" + (j < 10 ? "0" : "") +
           std::to_string(j) + ") " + (i == 1 && j == 2 ? "5" : "0") + " 0 0\n";
  std::string& ax = files.at("jx-lwax.txt");
  ax.replace(ax.find("  ideal\n"), 8, w);
  return files;
}

TEST(LongNamesSweep, CalcModeOneDogminBatchAndDebug) {
  const Renaming to = mode1names();
  // Dogmin over the assemblages of variance up to 10: its copy-back block
  // of the long run pasted into the script makes the same rock.
  const Pair dog = sweep("dogmin", mode1files(point("maxvar 10\ndogmin yes\n")), "", to);
  const std::string block = pasted(fileof(dog.longrun, "jx-log.txt"), "rbi", 0, "");
  const e2e::Run again = runwith("dogmin-rbi", renamedfiles(mode1files(point("", block)), to), "");
  samecomposition(dog.longrun, again, block);

  // A batch of one item with a Monte Carlo series drawing W(e01,e02) at
  // width 0, so that both runs draw alike; W names end-members of at most
  // 9 characters.
  std::string guesses = "batchxyzguess startblock\nbatchxyzguess v01(ss) 0.05\n";
  for (int k = 2; k <= 9; ++k) guesses += "batchxyzguess v0" + std::to_string(k) + "(ss) 0.1055\n";
  const std::string batch = "batch yes\n" + guesses + "batchbulk" + rock.substr(rock.rfind("bulk") + 4) + "batch " +
                            allphases + " 10 1 1 5 550 1 1 1 0 0 0\nmc ss a W(e01,e02) 5 0\nmcit 3 3\nmcdebug yes\n";
  sweep("batch", withmargules(mode1files(point(batch))), "", mode1names(9));

  // The -it file with an activity of all ten site fractions: e10's ideal
  // activity made their product.
  std::map<std::string, std::string> it = mode1files(point(""));
  std::string product = "  e10 1 10";
  for (int k = 1; k <= 10; ++k)
    product += std::string(k % 4 == 0 ? "\n   " : "") + " s" + (k < 10 ? "0" : "") + std::to_string(k) + " 1";
  it.at("jx-lwax.txt").replace(it.at("jx-lwax.txt").find("  e10 1 1 s10 1"), 15, product);
  sweep("activity", it, "", to);

  // A mode no T gives at 5 kbar: the solver's report of where it stopped.
  std::string nosolution = point("modeiso yes p01 0.5\ndebuglevel 2\n");
  nosolution.replace(nosolution.find("calcT 550"), 9, "calcTatP yes");
  nosolution.erase(nosolution.find("\nmodeiso no\n"), 11);
  sweep("nosolution", mode1files(nosolution), "", to);

  // The solver's reports at every debug level.
  for (int level = 1; level <= 5; ++level)
    sweep("debug" + std::to_string(level), mode1files(point("debuglevel " + std::to_string(level) + "\n")), "", to);
}

// The projection onto a compatibility diagram of the loop of al and be
// (tests/fixtures/alloop), the only kind of system with so few apices.
TEST(LongNamesSweep, CalcModeOneProjection) {
  // al and be first named apart from the words of the program's own text.
  const std::map<std::string, std::string> files = renamedfiles(
      e2e::startfiles({"alloop/jx-ds7al.txt", "alloop/jx-alax.txt"},
                      {{"jx-prefs.txt", "dsfile 7al\nscriptfile pr\ncalcmode 1\n*\n"},
                       {"jx-pr.txt",
                        "axfile alax\nwith al be\ninexcess\ndiagramPT 4 10 400 900\npseudosection no\n"
                        "project\nprojplane MgO FeO\nprojplane F 0 1\nprojplane M 1 0\ncalcP 6\ncalcT 650\n"
                        "autoexit\n*\n"}}),
      {{"al", "pal"}, {"be", "pbe"}});
  Renaming to{{"pal", padded("pal", 12, 'w')}, {"pbe", padded("pbe", 12, 'w')}};
  for (const char* n : {"ala", "alb", "bea", "beb"}) to[n] = padded(n, 19, 'e');
  for (const char* n : {"xMg", "xFe"}) to[n] = padded(n, 22, 'f');
  sweep("projection", files, "\n\n\n", to);
}

// ------------------------------------------------------ calc modes 2 and 3

// Twelve pure phases of eight oxides (tests/fixtures/longnames): four
// independent reactions, and 63 reactions with their intersections.
std::map<std::string, std::string> reactionfiles(
    int mode, const std::string& script,
    const std::string& with = "with ph01 ph02 ph03 ph04 ph05 ph06 \\\n     ph07 ph08 ph09 ph10 ph11 ph12\n") {
  return e2e::startfiles({"longnames"}, {{"jx-prefs.txt", "dsfile 7lr\nscriptfile lr\ncalcmode " +
                                                              std::to_string(mode) + "\nsetpagewidth 250\n*\n"},
                                         {"jx-lr.txt", "axfile lrax\n" + with + script + "autoexit yes\n*\n"}});
}

// The reaction texts of the Schreinemakers tables write the names without
// their digits.
Renaming reactionnames() {
  Renaming to{{"ph", padded("ph", 20, 'x')}};
  for (int k = 1; k <= 12; ++k) {
    const std::string n = std::string(k < 10 ? "ph0" : "ph") + std::to_string(k);
    to[n] = padded(n, 22, 'x');
  }
  return to;
}

TEST(LongNamesSweep, CalcModesTwoAndThree) {
  const Renaming to = reactionnames();
  // The average T of the rock at 5 kbar, with its activity table.
  sweep("avt", reactionfiles(2, "calctype 2\ndataok yes\ndiagramPT 1 20 400 1100\ncalcP 5\nmaxsdt 200\n"), "", to);
  // The reactions' T at 1 to 9 kbar and their intersections with their
  // Schreinemakers tables.
  sweep(
      "ptx",
      reactionfiles(3, "calctype 1\ndiagramPT 1 9 400 800\ncalcTatP yes\ncalcP 1 9 1\nschreinemakers yes\ninexcess\n"),
      "", to);
}

// ------------------------------------------------- the drawing and its areas

// Four fields about one invariant point of the phases fa fb fc fd, each
// point and line also holding nine phases c01..c09 of every field, so that
// a field's phases pass a line's length when named long; the area analysis
// is asked.
const std::string fourfields =
    "2 13 1 2\n"
    "i1 c01 c02 c03 c04 c05 c06 c07 c08 c09\n   fa fb - fc fd invariant 5 600\n"
    "u1 c01 c02 c03 c04 c05 c06 c07 c08 c09\n   fa fb fd - fc i1 end 5 600 5 900\n"
    "u2 c01 c02 c03 c04 c05 c06 c07 c08 c09\n   fa fb fc - fd i1 end 5 600 -5 600\n"
    "u3 c01 c02 c03 c04 c05 c06 c07 c08 c09\n   fa fb - fc i1 end 5 600 5 300\n"
    "u4 c01 c02 c03 c04 c05 c06 c07 c08 c09\n   fa fb - fd i1 end 5 600 15 600\n"
    "*\n*\nwindow 0 10 400 800\nbigticks 2 0 100 400\nnumbering 8\ncircles 4\nanalyse\ninfo four-field test\n*\n";

TEST(LongNamesSweep, DrawingWithItsAreaAnalysis) {
  Renaming to;
  for (const char* n : {"fa", "fb", "fc", "fd"}) to[n] = padded(n, 22, 'z');
  for (int k = 1; k <= 9; ++k) to["c0" + std::to_string(k)] = padded("c0" + std::to_string(k), 22, 'z');
  sweep("fourfields",
        {{"jx-prefs.txt", "dsfile 62\nscriptfile ff\ncalcmode 1\n"},
         {"jx-ff.txt", "% drawing only\n*\n"},
         {"qk-ff.txt", fourfields}},
        "", to, SOLVARINTH_DRAWFILE);
}

// ----------------------------------------------------------- the utilities

// The conversion of a bulk and an olivine analysis (tests/fixtures/utilities,
// its phases first named apart from the words of the program's own text):
// its rbi block, taken from the long run with a mode for ??, makes the
// same rock in calc mode 1.
TEST(LongNamesSweep, UtilitiesConversionReadBack) {
  const Renaming apart{{"q", "pq1"}, {"en", "pe1"}, {"per", "pp1"}, {"br", "pb1"}, {"ol", "ol1"}};
  std::map<std::string, std::string> files =
      renamedfiles(e2e::startfiles({"utilities/jx-ds6ut.txt", "utilities/jx-utax.txt", "utilities/jx-cv.txt"},
                                   {{"jx-prefs.txt", "dsfile 6ut\nscriptfile cv\ncalcmode 0\n*\n"}}),
                   apart);
  files.at("jx-cv.txt") = "utilitycode 1\n" + files.at("jx-cv.txt");
  Renaming to{{"ol1", padded("ol1", 12, 'w')},
              {"fo", padded("fo", 19, 'e')},
              {"fa", padded("fa", 19, 'e')},
              {"xMgM", padded("xMgM", 22, 'f')},
              {"xFeM", padded("xFeM", 22, 'f')}};
  for (const char* n : {"pq1", "pe1", "pp1", "pb1"}) to[n] = padded(n, 22, 'w');
  // The sd and the correlations of x come from random draws.
  const std::regex drawn("^ +x\\(|^mineral +[^ ]+ +(sd|cor) ");
  const Pair cv = sweep("conversion", files, "n\n\n", to, SOLVARINTH_UTILITYRUN, 0, {}, drawn);
  auto rock = [&](const e2e::Run& from) {
    const std::string log = fileof(from, "jx-log.txt");
    std::string block = pasted(log.substr(std::min(log.find("% rbi info"), log.size())), "rbi", 0, "");
    const std::size_t mode = block.find("??");
    if (mode != std::string::npos) {
      block = block.substr(0, block.find("\nrbi", mode) + 1);  // the heading and the first row
      block.replace(mode, 2, "1.0");
    }
    std::map<std::string, std::string> f = files;
    f["jx-prefs.txt"] = "dsfile 6ut\nscriptfile rb\ncalcmode 1\n*\n";
    // with brucite, of its own row, for the water of the block's heading
    f["jx-rb.txt"] =
        "axfile utax\nwith ol1 pb1\ninexcess\ncalcP 5\ncalcT 500\ndiagramPT 1 12 300 800\npseudosection\n"
        "xyzguess x(ol1) 0.15\n" +
        block + "rbi pb1 1.0 1 0 1 0\nzeromodeiso no\nmodeiso no\nautoexit yes\n*\n";
    return f;
  };
  std::map<std::string, std::string> longrock = rock(cv.longrun);
  // (the pasted block's names are long already)
  for (const char* f : {"jx-ds6ut.txt", "jx-utax.txt", "jx-cv.txt", "jx-rb.txt"})
    longrock[f] = renamed(longrock[f], to);
  const Pair again = sweep("conversion-rbi", rock(cv.shortrun), "", to, SOLVARINTH_EXE, 0, longrock);
  EXPECT_TRUE(has(fileof(again.shortrun, "jx-rb-o.txt"), "composition (from")) << again.shortrun.out;
}

TEST(LongNamesSweep, UtilitiesTablesAndSystems) {
  // The linearised reactions among the twelve phases over a P-T grid, then
  // the end-members of the system of all eight oxides.
  sweep("tables", reactionfiles(0, "diagramPT 1 12 300 800\n"),
        "2\n4\n\n\n5\n500\n1\n4 6\n400 600\n0\ny\n4\nSiO2 Al2O3 CaO MgO FeO K2O Na2O MnO\nn\n\n", reactionnames(),
        SOLVARINTH_UTILITYRUN);
  // The activities of the phases of five oxides from their chemical
  // potentials at 5 kbar and 500 C.
  sweep("activities",
        reactionfiles(0,
                      "diagramPT 1 12 300 800\nmuval PT 5 500\nmuval SiO2 Al2O3 CaO MgO FeO\n"
                      "muval -900 -1600 -700 -650 -300\n",
                      "with ph01 ph02 ph03 ph04 ph06 ph09\n"),
        "3\nn\n\n", reactionnames(), SOLVARINTH_UTILITYRUN);
}

// ------------------------------------------------------------- calc mode 9

// A fit of twelve end-members (tests/fixtures/longnames, ds-*ln.txt): an
// ideal binary of pa and pb with a bracket of pa = pb, and ten end-members
// p03..p12 of their calorimetry alone.
std::map<std::string, std::string> fitfiles() {
  return e2e::startfiles({"longnames/ds-emln.txt", "longnames/ds-axln.txt", "longnames/ds-xpln.txt"},
                         {{"jx-prefs.txt", "scriptfile lsq\ncalcmode 9\n*\n"},
                          {"jx-lsq.txt", "*\n"},
                          {"ds-scr6ln.txt", "*\n"},
                          {"ds-prefs.txt", "jxdssuffix 6ln\nemsuffix ln\naxsuffix ln\nxpsuffix ln\n*\n"}});
}

TEST(LongNamesSweep, CalcModeNineAndWhatReadsItsFilesBack) {
  Renaming to{{"pa", padded("pa", 19, 'a')},
              {"pb", padded("pb", 19, 'b')},
              {"ab", padded("ab", 12, 'w')},
              {"xA", padded("xA", 22, 'f')},
              {"xB", padded("xB", 22, 'f')}};
  for (int k = 3; k <= 12; ++k) {
    const std::string n = std::string(k < 10 ? "p0" : "p") + std::to_string(k);
    to[n] = padded(n, 22, 'w');
  }
  const Pair fit = sweep("fit", fitfiles(), "2\n", to);
  // The fitted end-member file, given to the fit as its end-members, fits
  // to the same values.
  std::map<std::string, std::string> shortagain = fitfiles(), longagain = renamedfiles(fitfiles(), to);
  shortagain["ds-emln.txt"] = fileof(fit.shortrun, "ds-emln-i.txt");
  longagain["ds-emln.txt"] = fileof(fit.longrun, "ds-emln-i.txt");
  const Pair refit = sweep("refit", shortagain, "2\n", to, SOLVARINTH_EXE, 0, longagain);
  EXPECT_EQ(numbersfrom(fileof(refit.longrun, "ds-o6ln.txt"), "Thermodynamic properties"),
            numbersfrom(fileof(fit.longrun, "ds-o6ln.txt"), "Thermodynamic properties"));
  // The fitted data set, read by calc mode 1 for a point of the binary.
  const std::string axab = fileof(fit.shortrun, "ds-axln.txt");
  auto point1 = [&](const e2e::Run& from, const Renaming& names) {
    return std::map<std::string, std::string>{
        {"jx-prefs.txt", "dsfile 6ln\nscriptfile rb\ncalcmode 1\n*\n"},
        {"jx-ds6ln.txt", fileof(from, "jx-ds6ln.txt")},
        {"jx-rbax.txt", renamed(axab, names)},
        {"jx-rb.txt",
         renamed("axfile rbax\nwith ab\ninexcess\ncalcP 5\ncalcT 700\ndiagramPT 1 10 400 900\npseudosection\n"
                 "bulk SiO2\nbulk 1\nzeromodeiso no\nmodeiso no\nautoexit yes\n*\n",
                 names)}};
  };
  const Pair onfit =
      sweep("dataset-read", point1(fit.shortrun, {}), "", to, SOLVARINTH_EXE, 0, point1(fit.longrun, to));
  EXPECT_TRUE(has(fileof(onfit.shortrun, "jx-rb-o.txt"), "x(ab)")) << onfit.shortrun.out;

  // An unknown-composition univariant of the binary ss of ma and mb with
  // pure pa and pb (tests/fixtures/lsq): the headings of its reactions and
  // of its solved compositions.
  // Its variable x first named apart from the words of the program's own text.
  Renaming group{{"ss", padded("ss", 12, 'w')}, {"xs", padded("xs", 8, 'v')}};
  for (const char* n : {"ma", "mb", "pa", "pb"}) group[n] = padded(n, 19, n[1]);
  for (const char* n : {"xA", "xB"}) group[n] = padded(n, 22, 'f');
  sweep("groups",
        renamedfiles(e2e::startfiles({"lsq"}, {{"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix gr\naxsuffix gr\n"
                                                                "xpsuffix gr\n*\n"}}),
                     {{"x", "xs"}}),
        "2\n", group);
}

// ------------------------------------------------ names one over the length

// text with every name written over its length by the given letters.
std::string oneover(std::string text, const std::string& name, const std::string& more = "x") {
  for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + name.size() + more.size()))
    text.insert(at + name.size(), more);
  return text;
}

// A name at the length the readers keep (22 characters) and over it, by 1
// to 8 characters (23 to 30). Written over in every file that holds it (or
// the answers, "typed"), in one of them with the others at 22, or at a
// length of its own in each, every look-up finds the one entry its cut
// stands for: the run is the run of its cut, file for file. (Names of one
// list that the cut makes one are the test below and the same-coded copies'
// of the a-x set-up's tests.)
void cutsweep(const std::string& tag, const std::map<std::string, std::string>& files, const std::string& name,
              const std::vector<std::string>& holders, const std::string& answers = "") {
  SCOPED_TRACE(tag + " " + name);
  ASSERT_EQ(name.size(), 22u);
  auto over = [&](const std::string& runtag, const std::map<std::string, std::size_t>& in) {
    std::map<std::string, std::string> f = files;
    for (const auto& [h, by] : in) {
      std::string& text = h == "typed" ? f["typed"] = answers : f.at(h);
      EXPECT_TRUE(has(text, name)) << h;
      text = oneover(text, name, std::string("xyzxyzxy").substr(0, by));
    }
    const std::string typed = f.count("typed") == 1 ? f.at("typed") : answers;
    f.erase("typed");
    return runwith(tag + "-" + runtag, f, typed);
  };
  const e2e::Run cut = over("cut", {});
  ASSERT_EQ(cut.status, 0) << cut.out;
  std::map<std::string, std::map<std::string, std::size_t>> runs;
  for (std::size_t by : {1, 8}) {
    for (const std::string& h : holders) runs["over" + std::to_string(by)][h] = by;
  }
  for (std::size_t k = 0; k < holders.size(); ++k) {
    runs["only-" + holders[k]][holders[k]] = 1 + (3 * k) % 8;
    runs["each"][holders[k]] = 2 + (5 * k) % 7;
  }
  for (const auto& [runtag, in] : runs) {
    SCOPED_TRACE(runtag);
    const e2e::Run whole = over(runtag, in);
    EXPECT_EQ(whole.status, 0);
    EXPECT_EQ(e2e::stamped(whole.out), e2e::stamped(cut.out));
    for (const auto& [file, text] : cut.files) {
      if (files.count(file) == 1) continue;
      EXPECT_EQ(e2e::stamped(fileof(whole, file)), e2e::stamped(text)) << file;
    }
  }
}

TEST(LongNamesSweep, NamesOneOverTheLengthKept) {
  // calc mode 1: a pure phase of the data set, the a-x file and "with",
  // a variable of the a-x file and "xyzguess"
  std::string guesses = "xyzguess v01(ss) 0.05\n";
  for (int k = 2; k <= 9; ++k) guesses += "xyzguess v0" + std::to_string(k) + "(ss) 0.1055\n";
  const Renaming to = mode1names();
  const std::map<std::string, std::string> mode1 = renamedfiles(mode1files(point(guesses)), to);
  cutsweep("mode1", mode1, to.at("p01"), {"jx-ds7lw.txt", "jx-lwax.txt", "jx-lw.txt"});
  cutsweep("mode1", mode1, to.at("v01") + "(" + to.at("ss") + ")", {"jx-lwax.txt", "jx-lw.txt"});
  // and a phase of "with someof" that a typed answer leaves out
  std::map<std::string, std::string> someof = mode1;
  std::string& script = someof.at("jx-lw.txt");
  script.replace(script.find("with "), 5, "with someof " + to.at("r12") + " ");
  cutsweep("someof", someof, to.at("r12"), {"jx-ds7lw.txt", "jx-lwax.txt", "jx-lw.txt", "typed"},
           "omit " + to.at("r12") + "\n");
  // calc mode 3: a phase of the data set, the a-x file and "with"
  const Renaming names = reactionnames();
  cutsweep("mode3",
           renamedfiles(reactionfiles(3, "calctype 1\ndiagramPT 1 9 400 800\ncalcTatP yes\ncalcP 1 9 4\nschreinemakers yes\ninexcess\n"), names),
           names.at("ph05"), {"jx-ds7lr.txt", "jx-lrax.txt", "jx-lr.txt"});
  // calc mode 9: end-members of the end-member, experiments and a-x files
  Renaming fit{{"pa", padded("pa", 22, 'a')}, {"p03", padded("p03", 22, 'w')}};
  const std::map<std::string, std::string> mode9 = renamedfiles(fitfiles(), fit);
  cutsweep("mode9", mode9, fit.at("p03"), {"ds-emln.txt", "ds-xpln.txt"}, "2\n");
  cutsweep("mode9", mode9, fit.at("pa"), {"ds-emln.txt", "ds-axln.txt", "ds-xpln.txt"}, "2\n");
}

// Two records of one data set that only the cut makes one: made-up FeO
// polymorphs of V 1 (G = H - T S + (P - 0.001) V), abcdefghijklmnopqrstuvw
// (23 characters; H -402, S 0.022) and abcdefghijklmnopqrstuv (22; H -403,
// S 0.020) with fc (H -401, S 0.023). The 22-character phase reacts with fc
// at T = 2/0.003 K = 393.52 C at every P, the 23-character one at 1/0.001 K.
// Whichever record comes first and whichever name the a-x file and script
// give, a look-up would take the first record: each run stops naming both.
// With one record of the cut (a decoy for the other), a name of 23 to 30
// characters that the cut makes it, in the a-x file, "with" or "seta", is
// that record: a(name22) 0.9 moves the reaction to
// T = 2/(0.003 + R ln 0.9) K = 668.47 C (R = 0.0083144626, by hand).
TEST(LongNamesSweep, TwoRecordsOneWhenCut) {
  const std::string name22 = "abcdefghijklmnopqrstuv", name23 = name22 + "w";
  auto record = [](const std::string& name, const std::string& h, const std::string& s) {
    return name + "  ablong  1  4 1.0  10 1.0  0\n0\n" + h + " " + s + " 1.0 0 0 0 0\n0 0 0\n\n";
  };
  const std::string with22 = record(name22, "-403", "0.020"), with23 = record(name23, "-402", "0.022"),
                    decoy = record("decoy", "-402", "0.022");
  auto files = [&](const std::string& first, const std::string& second, const std::string& name,
                   const std::string& extra) {
    return std::map<std::string, std::string>{
        {"jx-prefs.txt", "dsfile 7w\nscriptfile w\ncalcmode 3\n"},
        {"jx-ds7w.txt", "7 3 don't alter this line or the layout of the records below: made-up\n\n" + first +
                            second + record("fc", "-401", "0.023") +
                            "1.0\n0.01 0 0\n0.01 0\n0.01\n\nmade-up polymorphs (sigfit =  1.000)\n"},
        {"jx-wax.txt", name + "\nfc\n*\n"},
        {"jx-w.txt", "axfile wax\nwith " + name + " fc\n" + extra +
                         "calctype 1\ndiagramPT 1 10 20 800\ncalcTatP yes\ncalcP 4 6 1\nschreinemakers yes\n"
                         "inexcess\nautoexit yes\n*\n"}};
  };
  const e2e::Run control = runwith("control", files(decoy, with22, name22, ""), "");
  EXPECT_EQ(control.status, 0) << control.out;
  EXPECT_TRUE(has(control.out, "1       393.52  393.52  393.52")) << control.out;
  const std::string stop = "-- run bombed in keepname : ", tail = " are one name when cut to 22 characters";
  const std::map<std::string, std::map<std::string, std::string>> cases = {
      {"first23", files(with23, with22, name22, "")},
      {"first22", files(with22, with23, name23, "")}};
  for (const auto& [tag, f] : cases) {
    const e2e::Run r = runwith(tag, f, "");
    EXPECT_EQ(r.status, 1) << tag;
    EXPECT_TRUE(has(r.out, stop + name22 + " and " + name23 + tail) || has(r.out, stop + name23 + " and " + name22 + tail))
        << tag << "\n" << r.out;
  }
  const e2e::Run seta = runwith("seta", files(decoy, with22, name22, "seta " + name22 + " 0.9\n"), "");
  EXPECT_TRUE(has(seta.out, "1       668.47  668.47  668.47")) << seta.out;
  for (std::size_t n = 23; n <= 30; n += 7) {
    const std::string longer = name22 + std::string(n - 22, 'w');
    const e2e::Run r = runwith("seta" + std::to_string(n), files(decoy, with22, name22, "seta " + longer + " 0.9\n"), "");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(e2e::stamped(r.out), e2e::stamped(seta.out));
    const e2e::Run named = runwith("named" + std::to_string(n), files(decoy, with22, longer, ""), "");
    EXPECT_EQ(e2e::stamped(named.out), e2e::stamped(control.out));
  }
}

}  // namespace

namespace {

// ------------------------------------------------- names sharing their cut

// The bundled loop of al and be (examples/mode1), with its script's lines
// from "with" on replaced; at 6 kbar its closed form (the example's test,
// by hand) gives x(al) 0.2922, x(be) 0.5729 at 500 C and the rock's modes
// 0.80311 / 0.19689 at 600 C.
std::map<std::string, std::string> loopfiles(const std::string& script, const std::string& ax = "") {
  std::map<std::string, std::string> f = e2e::startfiles({"../../examples/mode1"}, {});
  f.erase("answers.txt");
  f["jx-loop.txt"] = "axfile loopax\n" + script +
                     "diagramPT 4 10 400 900\npseudosection\nbulk MgO FeO\nbulk 65 35\nzeromodeiso no\n"
                     "modeiso no\nautoexit yes\n*\n";
  if (!ax.empty()) f["jx-loopax.txt"] = ax;
  return f;
}

// text with the whole word from replaced by to after the place at.
std::string renamedafter(std::string text, std::size_t at, const std::string& from, const std::string& to) {
  for (std::size_t i = text.find(from, at); i != std::string::npos; i = text.find(from, i + to.size())) {
    const std::size_t end = i + from.size();
    if (end < text.size() && wordchar(text[end])) continue;
    text.replace(i, from.size(), to);
  }
  return text;
}

}  // namespace

// Site fractions named in 21 to 30 characters: al's and be's sharing their
// first 22 (each phase's looked up among its own) read as the example; al's
// two sharing them are one name to al's look-up, and the run stops naming
// it. A same-coded copy of al named in 19 to 22 characters (its variable
// x(name) of 22 to 25): the copy-back block the run writes, pasted back in
// place of the user's guess, gives the same point.
TEST(LongNamesSweep, NamesSharingTheirCutInOneListAndInTwo) {
  const std::string ax = e2e::startfiles({"../../examples/mode1"}, {}).at("jx-loopax.txt");
  const std::size_t be = ax.find("\nbe ");
  ASSERT_NE(be, std::string::npos);
  const std::string row500 = "   6.000   500.000    0.2922    0.5729\n";
  for (std::size_t n = 21; n <= 30; ++n) {
    SCOPED_TRACE(n);
    auto name = [&](const std::string& stem, char last) { return padded(stem, n - 1, '_') + last; };
    // apart: al's xMg and be's xMg share what the cut keeps from 23 on
    auto phase = [&](const std::string& text, char last) {
      return renamedafter(renamedafter(text, 0, "xMg", name("xMg", last)), 0, "xFe", name("xFe", last));
    };
    const std::string two = phase(ax.substr(0, be), 'a') + phase(ax.substr(be), 'b');
    const e2e::Run apart = runwith("apart" + std::to_string(n), loopfiles("with al be\ninexcess\ncalcP 6\ncalcT 500\n", two), "");
    EXPECT_EQ(apart.status, 0) << apart.out;
    EXPECT_TRUE(has(fileof(apart, "jx-loop-o.txt"), row500)) << apart.out;
    // one phase: al's xMg and xFe named alike to the 22nd character
    const std::string one =
        renamedafter(renamedafter(ax, 0, "xMg", name("xMx", 'g')), 0, "xFe", name("xMx", 'e'));
    const e2e::Run same = runwith("one" + std::to_string(n), loopfiles("with al be\ninexcess\ncalcP 6\ncalcT 500\n", one), "");
    if (n <= 22) {
      EXPECT_EQ(same.status, 0) << same.out;
      EXPECT_TRUE(has(fileof(same, "jx-loop-o.txt"), row500)) << same.out;
    } else {
      EXPECT_EQ(same.status, 1) << same.out;
      EXPECT_TRUE(has(same.out, "-- run bombed in setup phases : " + name("xMx", 'g').substr(0, 22) + " given twice"))
          << same.out;
    }
  }
  for (std::size_t n = 19; n <= 22; ++n) {
    SCOPED_TRACE(n);
    const std::string copy = padded("alcopy", n, 'c');
    const std::string head = "samecoding al " + copy + "\nwith " + copy + " be\ninexcess\ncalcP 6\ncalcT 600\nprintxyz yes\n";
    const e2e::Run first = runwith("copy" + std::to_string(n), loopfiles(head + "xyzguess x(" + copy + ") 0.25\n"), "");
    ASSERT_EQ(first.status, 0) << first.out;
    const std::string modes = "1       0.80311  0.19689\n";
    EXPECT_TRUE(has(fileof(first, "jx-loop-ic.txt"), modes)) << fileof(first, "jx-loop-ic.txt");
    const std::string block = pasted(fileof(first, "jx-log.txt"), "xyzguess", 0, "");
    ASSERT_TRUE(has(block, "xyzguess x(" + copy.substr(0, 20))) << block;
    const e2e::Run again = runwith("copyback" + std::to_string(n), loopfiles(head + block), "");
    EXPECT_EQ(again.status, 0) << again.out;
    EXPECT_TRUE(has(fileof(again, "jx-loop-ic.txt"), modes)) << again.out;
  }
}
