// The rock of a pseudosection point as the user takes it away: the rbi
// table of the log (pasted back as an rbi block it makes the rock it came
// from, or has no modes to paste) and the mode box of the csv and drawing
// data (the position along the bulk range of the step whose modes it
// holds); and the modes of a run with a chemical potential set, the same
// whether worked out after the solve or solved with the equations. The
// expectations are mass balances worked out here from the phase
// compositions the run prints (checked on their own elsewhere).
#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

using e2e::has;

namespace {

// The words of the first line that begins with prefix, after the prefix;
// empty when none does.
std::vector<std::string> wordsafter(const std::string& text, const std::string& prefix, std::size_t from = 0) {
  const std::size_t at = text.find("\n" + prefix, from);
  if (at == std::string::npos) return {};
  const std::size_t begin = at + 1 + prefix.size();
  std::istringstream line(text.substr(begin, text.find('\n', begin) - begin));
  std::vector<std::string> words;
  for (std::string w; line >> w;) words.push_back(w);
  return words;
}

double num(const std::string& word) { return std::stod(word); }

// The line after the first line that begins with prefix.
std::string lineafter(const std::string& text, const std::string& prefix) {
  const std::size_t at = text.find("\n" + prefix);
  if (at == std::string::npos) return "";
  const std::size_t begin = text.find('\n', at + 1) + 1;
  return text.substr(begin, text.find('\n', begin) - begin);
}

// The rbi tables of a log, each from its heading line to its closing note.
std::vector<std::string> rbitables(const std::string& log) {
  std::vector<std::string> tables;
  const std::string heading = "\n%" + std::string(28, ' ');
  for (std::size_t at = log.find(heading); at != std::string::npos; at = log.find(heading, at + 1)) {
    const std::size_t kept = log.find("\n% delete this bulk line", at), left = log.find("\nreplace the ''##''", at);
    const std::size_t end = log.find('\n', std::min(kept, left) + 1);
    tables.push_back(log.substr(at + 1, end - at));
  }
  return tables;
}

// An rbi table pasted into a script as the rbi block: the heading gives the
// component line, each "bulk  rbi" row a phase.
std::string pasted(const std::string& table) {
  std::istringstream in(table);
  std::string block, line;
  while (std::getline(in, line)) {
    if (line.rfind("%  ", 0) == 0) block += "rbi" + line.substr(1) + "\n";
    if (line.rfind("bulk  rbi", 0) == 0) block += "rbi" + line.substr(9) + "\n";
  }
  return block;
}

// The values of the bulk a run reports as made from its rbi block: the
// line after the component names.
std::vector<double> rbibulk(const e2e::Run& r) {
  std::vector<double> v;
  const std::size_t at = r.out.find("composition (from rbi script)");
  if (at == std::string::npos) return v;
  std::istringstream rows(r.out.substr(at));
  std::string line;
  for (int i = 0; i < 3; ++i) std::getline(rows, line);
  std::istringstream words(line);
  for (std::string w; words >> w;) v.push_back(num(w));
  return v;
}

const std::string loopscript =
    "axfile loopax\nwith al be\ninexcess\ncalcP 6\ndiagramPT 4 10 400 900\npseudosection\n"
    "zeromodeiso no\nmodeiso no\nprintbulkinfo yes\nautoexit yes\n";

e2e::Run loop(const std::string& lines) {
  return e2e::run({"../../examples/mode1"}, "", {{"jx-loop.txt", loopscript + lines + "*\n"}});
}

// FeO 42.5 to 34.5 in eight steps at 700 C: the first steps lie outside the
// loop of al and be, the first seen one gives mode row 1.
TEST(RockTable, FirstSeenStepGivesTheModeBoxAndTheBulkLine) {
  const e2e::Run r = loop("calcT 700\nmodebox yes\nbulk MgO FeO\nbulk 57.5 42.5\nbulk 65.5 34.5 8\n");
  ASSERT_EQ(r.status, 0);
  ASSERT_FALSE(has(r.out, "bombed")) << r.out;
  const std::vector<std::string> x = wordsafter(r.files.at("jx-loop-o.txt"), "   6.000 ");
  ASSERT_GE(x.size(), 3u) << r.files.at("jx-loop-o.txt");
  const double xal = num(x[1]), xbe = num(x[2]);
  int k = 1;
  auto feo = [](int step) { return 0.425 - 0.01 * (step - 1); };
  while (k <= 9 && !(feo(k) <= xbe && feo(k) >= xal)) ++k;
  ASSERT_GT(k, 1) << "the first step should lie outside the loop";
  ASSERT_LE(k, 9);
  const double be = (feo(k) - xal) / (xbe - xal), prop = (k - 1) / 8.0;

  const std::vector<std::string> rows = wordsafter(r.files.at("jx-loop.csv"), "     6.000,");
  ASSERT_GE(rows.size(), 4u) << r.files.at("jx-loop.csv");
  EXPECT_NEAR(num(rows[1]), prop, 0.0005);
  EXPECT_NEAR(num(rows[2]), 1 - be, 0.002);
  EXPECT_NEAR(num(rows[3]), be, 0.002);
  const std::vector<std::string> box = wordsafter(r.files.at("jx-loop-qk.txt"), "{{6.000, 700.00, ");
  ASSERT_FALSE(box.empty()) << r.files.at("jx-loop-qk.txt");
  EXPECT_NEAR(num(box[0]), prop, 0.0005);

  const std::vector<std::string> tables = rbitables(r.files.at("jx-log.txt"));
  ASSERT_EQ(tables.size(), 1u) << r.files.at("jx-log.txt");
  const std::vector<std::string> bulk = wordsafter("\n" + tables[0], "% bulk");
  ASSERT_EQ(bulk.size(), 2u) << tables[0];
  EXPECT_NEAR(num(bulk[0]), 100 * (1 - feo(k)), 1e-4);
  EXPECT_NEAR(num(bulk[1]), 100 * feo(k), 1e-4);
  // The table pasted back makes that step's rock.
  const e2e::Run back = loop("calcT 700\n" + pasted(tables[0]));
  const std::vector<double> made = rbibulk(back);
  ASSERT_EQ(made.size(), 2u) << back.out;
  EXPECT_NEAR(made[0], 100 * (1 - feo(k)), 2e-3);
  EXPECT_NEAR(made[1], 100 * feo(k), 2e-3);
}

// Across 500-800 C the rock of 65:35 leaves the loop: a point whose bulk is
// outside has no modes to paste; every table with modes, pasted back, makes
// the rock of 65:35.
TEST(RockTable, PastedBackItMakesItsRockOrHasNoModes) {
  const e2e::Run r = loop("calcT 500 800 50\nbulk MgO FeO\nbulk 65 35\n");
  ASSERT_EQ(r.status, 0);
  const std::vector<std::string> tables = rbitables(r.files.at("jx-log.txt"));
  ASSERT_GE(tables.size(), 4u) << r.files.at("jx-log.txt");
  int unseen = 0, seen = 0;
  for (const std::string& t : tables) {
    if (has(t, "##")) {
      ++unseen;
      EXPECT_FALSE(has(t, "-1.0")) << t;
      EXPECT_FALSE(has(t, "% bulk")) << t;
      continue;
    }
    ++seen;
    const e2e::Run back = loop("calcT 600\n" + pasted(t));
    const std::vector<double> made = rbibulk(back);
    ASSERT_EQ(made.size(), 2u) << t << back.out;
    EXPECT_NEAR(made[0], 65, 2e-3) << t;
    EXPECT_NEAR(made[1], 35, 2e-3) << t;
  }
  EXPECT_GE(unseen, 1);
  EXPECT_GE(seen, 1);
  EXPECT_TRUE(has(r.files.at("jx-log.txt"), "replace the ''##'' by the modes you want to use to make the bulk"));
}

// Olivine and orthopyroxene with mu(SiO2) set: the free components are MgO
// and FeO, the bulk MgO:FeO 60:40.
const std::string muscript =
    "axfile mmax\nwith ol opx\ninexcess\nmu SiO2 -945\ncalcP 4\ndiagramPT 1 10 400 1200\npseudosection\n"
    "zeromodeiso no\nautoexit yes\n";
const std::string mubulk = "bulk SiO2 MgO FeO\nbulk 50 30 20\n";

e2e::Run murun(const std::string& lines, const std::string& answers = "") {
  return e2e::run({"mumodes"}, answers, {{"jx-mm.txt", muscript + lines + "*\n"}});
}

// The modes as shares of the atoms of the free components, from the phase
// compositions: ol (Mg,Fe)2SiO4 has 4 such atoms, opx (Mg,Fe)SiO3 2.
std::vector<double> freeatommodes(double xol, double xopx) {
  // formula units n, m: 2(1 - xol) n + (1 - xopx) m = 0.6, 2 xol n + xopx m = 0.4
  const double det = 2 * (1 - xol) * xopx - (1 - xopx) * 2 * xol;
  const double n = (0.6 * xopx - (1 - xopx) * 0.4) / det;
  const double m = (2 * (1 - xol) * 0.4 - 2 * xol * 0.6) / det;
  return {4 * n / (4 * n + 2 * m), 2 * m / (4 * n + 2 * m)};
}

TEST(RockTable, ModesWithAChemicalPotentialAreOneSetByEitherRoute) {
  // The mode of ol set to 0.4 with the equations: T solved at 4 kbar.
  const e2e::Run iso = murun("calcT 400 1200\nmodeiso yes ol 0.4\n" + mubulk, "y\n");
  ASSERT_FALSE(has(iso.out, "bombed")) << iso.out;
  const std::vector<std::string> point = wordsafter(iso.files.at("jx-mm-o.txt"), "   4.000 ");
  ASSERT_GE(point.size(), 3u) << iso.files.at("jx-mm-o.txt");
  const std::vector<double> byhand = freeatommodes(num(point[1]), num(point[2]));
  EXPECT_NEAR(byhand[0], 0.4, 0.002);

  // The same point with the modes worked out after the solve.
  const e2e::Run after = murun("calcT " + point[0] + "\nmodeiso no\nprintbulkinfo yes\n" + mubulk);
  ASSERT_FALSE(has(after.out, "bombed")) << after.out;
  const std::string& o = after.files.at("jx-mm-o.txt");
  const std::vector<std::string> x = wordsafter(o, "   4.000 ");
  ASSERT_GE(x.size(), 3u) << o;
  std::istringstream modeline(lineafter(o, "mode  "));
  double ol = 0, opx = 0;
  ASSERT_TRUE(modeline >> ol >> opx) << o;
  EXPECT_NEAR(ol + opx, 1, 2e-4);
  EXPECT_NEAR(ol, 0.4, 0.001);
  const std::vector<double> after_byhand = freeatommodes(num(x[1]), num(x[2]));
  EXPECT_NEAR(ol, after_byhand[0], 0.002);
  EXPECT_NEAR(opx, after_byhand[1], 0.002);

  // A mode times its factor is the phase's formula units in the bulk of 1
  // (atoms of MgO and FeO: 0.6 x 2 + 0.4 x 2 = 2): the factor divides those
  // atoms by the phase's own, 4 in ol and 2 in opx.
  std::istringstream factorline(lineafter(after.files.at("jx-mm-ic.txt"), "factor"));
  std::string label;
  double fol = 0, fopx = 0;
  ASSERT_TRUE(factorline >> label >> fol >> fopx) << after.files.at("jx-mm-ic.txt");
  EXPECT_NEAR(fol, 0.5, 1e-5);
  EXPECT_NEAR(fopx, 1.0, 1e-5);

  // Its rbi table: the bulk line under the free components' own headings,
  // and pasted back the table makes the rock of MgO:FeO 60:40.
  const std::vector<std::string> tables = rbitables(after.files.at("jx-log.txt"));
  ASSERT_EQ(tables.size(), 1u) << after.files.at("jx-log.txt");
  const std::string heading = tables[0].substr(0, tables[0].find('\n'));
  const std::string line = tables[0].substr(tables[0].find("% bulk"));
  const std::string bulk = line.substr(0, line.find('\n'));
  ASSERT_EQ(heading.substr(29, 36), "        SiO2         MgO         FeO") << tables[0];
  EXPECT_EQ(bulk, "% bulk" + std::string(29, ' ') + "     60.0000     40.0000") << tables[0];
  const e2e::Run back = murun("calcT " + point[0] + "\nmodeiso no\n" + pasted(tables[0]));
  const std::vector<double> made = rbibulk(back);
  ASSERT_EQ(made.size(), 2u) << back.out;
  EXPECT_NEAR(made[0], 60, 2e-3);
  EXPECT_NEAR(made[1], 40, 2e-3);

  // The rbi table of the route with the equations makes it too.
  const std::vector<std::string> isotables = rbitables(murun("calcT 400 1200\nmodeiso yes ol 0.4\nprintbulkinfo yes\n" +
                                                             mubulk, "y\n").files.at("jx-log.txt"));
  ASSERT_FALSE(isotables.empty());
  const std::vector<double> isomade = rbibulk(murun("calcT " + point[0] + "\nmodeiso no\n" + pasted(isotables[0])));
  ASSERT_EQ(isomade.size(), 2u);
  EXPECT_NEAR(isomade[0], 60, 2e-3);
  EXPECT_NEAR(isomade[1], 40, 2e-3);
}

}  // namespace
