// Calc mode 9's equilibria given with their phases: every kind of bracket
// of a group, each reaction of it reversed or not, first or second, in H2O,
// CO2 and mixed fluids. What the group's solve found stands on the same
// pair in every reaction's table, at the bracket's own fluid; and where no
// limit depends on the enthalpies the fit is the same at every iteration
// count.
#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"

using e2e::has;

namespace {

// The fixture's end-members (constant V and Cp; H2O and CO2 the mode's
// fluids with their mixing), the ideal lm-pe phase ss (x(ss) = x(pe)), and
// calorimetry with sd 0.001 that keeps the fitted enthalpies at the file's.
const std::vector<std::string> fixture = {"lsqgroups"};

std::string iterations(int n) { return std::to_string(n) + "\nn\nn\nn\nn\nn\n"; }

// A file of the fixture as it stands.
std::string groupfile(const std::string& name) {
  return e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/lsqgroups/" + name);
}

// The fixture's preferences with the composition reversal's experiments,
// whose calorimetry leaves the fit to the experiments too.
const std::string samepair = "jxdssuffix g9\nemsuffix g9\naxsuffix g9\nxpsuffix sp\ninfolevel 2\nuserfac no\n*\n";

// Numbers of a text, sorted, as one key: a pair reads the same whichever
// half a reversal put first.
std::string key(const std::string& text) {
  std::istringstream in(text);
  std::vector<double> v;
  for (double d = 0; in >> d;) v.push_back(d);
  std::sort(v.begin(), v.end());
  std::string k;
  for (double d : v) k += std::to_string(d) + " ";
  return k;
}

struct line {
  std::string key, calc;  // x(CO2), P and T; the calc column
  std::string limits;     // everything up to the limits, H(high) included
};

// The bracket lines of the results table of the record titled title.
std::vector<line> bracketlines(const std::string& sum, const std::string& title) {
  std::vector<line> ls;
  const std::size_t at = sum.find(title);
  if (at == std::string::npos) return ls;
  for (std::size_t from = sum.find('\n', sum.find("ln_K", at)) + 1;;) {
    const std::size_t end = sum.find('\n', from);
    const std::string l = sum.substr(from, end - from);
    if (l.size() < 74) break;
    ls.push_back({key(l.substr(13, 31)), l.substr(67, 7), l.substr(0, 60)});
    from = end + 1;
  }
  return ls;
}

// The compositions of the group's own table under heading, in its order;
// a bracket not solved gives none.
std::vector<double> solvedx(const std::string& sum, const std::string& heading) {
  std::vector<double> xs;
  const std::size_t at = sum.find(heading);
  if (at == std::string::npos) return xs;
  for (std::size_t from = sum.find('\n', sum.find("T(C)", at)) + 1;;) {
    const std::size_t end = sum.find('\n', from);
    const std::string l = sum.substr(from, end - from);
    if (l.empty()) break;
    if (l.find("not converged") == std::string::npos) xs.push_back(std::stod(l.substr(l.rfind(' '))));
    from = end + 1;
  }
  return xs;
}

// Own solves (mpmath, 40 digits) of this fixture's equilibria with the
// end-member file's enthalpies, the fluid at the bracket's x(CO2): ideal
// RT ln x plus the mixing term of the fluid model. The univariant group
// br = pe + H2O, po = lm + H2O with x(ss) free; the divariant ones for x(ss)
// at the bracket's P and T.
struct solved {
  const char* bracket;  // x(CO2), P and T as the table prints them
  double value;
  double tolerance;  // the printed rounding
};
const solved unknowncomps[] = {
    {"0.30 1.0 2.2 500", 3.96708, 0.006},  // P at 500 C, x(ss) 0.514729
    {"0 1.0 2.2 500", 2.42520, 0.006},     // x(ss) 0.532676
    {"0 2.6 490 540", 469.790, 0.6},       // T at 2.6 kbar, x(ss) 0.477273
    {"0 2.8 500 550", 445.258, 0.6},       // x(ss) 0.429976
    {"0 2.7 560", 456.597, 0.6},           // a single half-bracket, x(ss) 0.452057
};
const solved givencomps[] = {
    {"0 2.5 550", 485.616, 0.6},  // x(ss) 0.506735
    {"0 3.0 470", 426.436, 0.6},  // x(ss) 0.392647
};

TEST(LeastSquaresGroupRuns, EveryRecordOfAGroupShowsItsSolveAtTheBracketsFluid) {
  const e2e::Run r = e2e::run(fixture, iterations(1));
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string& sum = r.files.at("ds-og9.txt");
  // ucbr: br = pe + H2O as written, po = lm + H2O reversed; ucpo the same
  // reactions the other way round, so the reversed one is first. gvbr and
  // gvpo likewise with given compositions and a composition reversal at one
  // P, T and x(CO2), which reverses br = pe + H2O.
  // A P pair written code 1 first (1.0 kbar) shows its code-0 half (2.2)
  // first in both reactions, reversed or not, as the previous build shows
  // the file written code 0 first (it showed 1.0 2.2 in br = pe + H2O, with
  // its limits the wrong way round); a reversed record shows a given
  // composition's half-bracket on the other side.
  const char* const pairturned = "0.30    2.2   1.0 ";
  const char* const halfasread = "1.5       450 ";
  const char* const halfturned = "1.5            450 ";
  const struct {
    const char* title;
    const char* shows;
    const solved* begin;
    const solved* end;
  } records[] = {
      {"^  br = pe + H2O   (ucbr)", pairturned, std::begin(unknowncomps), std::end(unknowncomps)},
      {"^  po = lm + H2O   (ucbr)", pairturned, std::begin(unknowncomps), std::end(unknowncomps)},
      {"^  po = lm + H2O   (ucpo)", pairturned, std::begin(unknowncomps), std::end(unknowncomps)},
      {"^  br = pe + H2O   (ucpo)", pairturned, std::begin(unknowncomps), std::end(unknowncomps)},
      {"^  br = pe + H2O   (gvbr)", halfturned, std::begin(givencomps), std::end(givencomps)},
      {"^  po = lm + H2O   (gvbr)", halfasread, std::begin(givencomps), std::end(givencomps)},
      {"^  po = lm + H2O   (gvpo)", halfasread, std::begin(givencomps), std::end(givencomps)},
      {"^  br = pe + H2O   (gvpo)", halfturned, std::begin(givencomps), std::end(givencomps)},
  };
  for (const auto& rec : records) {
    const std::vector<line> ls = bracketlines(sum, rec.title);
    ASSERT_FALSE(ls.empty()) << rec.title << sum;
    EXPECT_TRUE(std::any_of(ls.begin(), ls.end(), [&](const line& b) { return has(b.limits, rec.shows); }))
        << rec.title;
    for (const solved* s = rec.begin; s != rec.end; ++s) {
      const auto l = std::find_if(ls.begin(), ls.end(), [&](const line& b) { return b.key == key(s->bracket); });
      ASSERT_NE(l, ls.end()) << rec.title << " " << s->bracket;
      EXPECT_NEAR(std::atof(l->calc.c_str()), s->value, s->tolerance) << rec.title << " " << s->bracket;
    }
  }
  for (const char* heading : {"(unknown comps)  (ucbr)", "(unknown comps)  (ucpo)"}) {
    const std::vector<double> xs = solvedx(sum, heading);
    const double own[] = {0.514729, 0.532676, 0.477273, 0.429976, 0.452057};
    ASSERT_EQ(xs.size(), 5u) << heading << sum;
    for (std::size_t k = 0; k < xs.size(); ++k) EXPECT_NEAR(xs[k], own[k], 0.00006) << heading << k;
  }
  for (const char* heading : {"  (gvbr)\n", "  (gvpo)\n"}) {
    const std::vector<double> xs = solvedx(sum, heading);
    ASSERT_EQ(xs.size(), 2u) << heading << sum;
    EXPECT_NEAR(xs[0], 0.506735, 0.00006) << heading;
    EXPECT_NEAR(xs[1], 0.392647, 0.00006) << heading;
  }
  // Divariant: x(ss) = a(pe) = exp(-dG/RT) of br = pe + H2O, the T pair at
  // x(CO2) 0.2 (the others in H2O alone); 1 - a(lm) of cc = lm + CO2 in CO2
  // alone and at x(CO2) 0.6. In table order: each pair with its lower
  // half first, as the previous build shows the file written code 0 first.
  const struct {
    const char* heading;
    std::vector<double> own;
  } divariant[] = {
      {"  (dvh)\n", {0.662422, 0.743462, 0.813389, 0.507528, 0.780714}},
      {"  (dvc)\n", {0.784858, 0.658995, 0.791719, 0.656807}},
  };
  for (const auto& d : divariant) {
    const std::vector<double> xs = solvedx(sum, d.heading);
    ASSERT_EQ(xs.size(), d.own.size()) << d.heading << sum;
    for (std::size_t k = 0; k < xs.size(); ++k) EXPECT_NEAR(xs[k], d.own[k], 0.00006) << d.heading << k;
  }
}

// Where compositions are given every limit is independent of the
// enthalpies: the rows, and each bracket's side and limits, must be the
// same whatever the number of iterations (the unknown-composition groups'
// rows move, as their compositions are solved from the second on).
TEST(LeastSquaresGroupRuns, GivenCompositionsGiveTheSameRowsAtEveryIterationCount) {
  const char* titles[] = {"^  br = pe + H2O   (gvbr)", "^  po = lm + H2O   (gvbr)", "^  po = lm + H2O   (gvpo)",
                          "^  br = pe + H2O   (gvpo)", "^  br = pe + H2O   (dvh)",  "^  cc = lm + CO2   (dvc)"};
  std::string first;
  for (int n = 1; n <= 3; ++n) {
    const e2e::Run r = e2e::run(fixture, iterations(n));
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string& log = r.files.at("jx-log.txt");
    const std::size_t at = log.rfind("\n 13)");
    ASSERT_NE(at, std::string::npos) << log;
    std::string seen = log.substr(at, log.find("\n\n", at) - at);
    for (const char* title : titles)
      for (const line& l : bracketlines(r.files.at("ds-og9.txt"), title)) seen += "\n" + l.limits;
    if (n == 1) {
      first = seen;
      // Own fit's rows (limits and widths of the brackets as read,
      // 40 digits): 67.230171 (sd 4.98461) and 52.138678 (sd 4.50088).
      EXPECT_TRUE(has(seen, "\n 13)    67.2302    4.9846    br  =  pe  H2O ")) << seen;
      EXPECT_TRUE(has(seen, "\n 14)    52.1387    4.5009    po  =  H2O  lm ")) << seen;
      EXPECT_TRUE(has(seen, "\n 15)    52.1387    4.5009    po  =  H2O  lm ")) << seen;
      EXPECT_TRUE(has(seen, "\n 16)    67.2302    4.9846    br  =  pe  H2O ")) << seen;
    } else {
      EXPECT_EQ(seen, first) << n << " iterations";
    }
  }
}

// The composition reversal with calorimetry that leaves the fit to the
// experiments too: the own weighted least squares (40 digits) gives
// lm -713.0189 (sd 3.248), po -987.0811 (sd 3.248), pe sd 3.2592,
// cH of po = lm + H2O 32.2636 (sd 4.4941), of br = pe + H2O 63.29916
// (sd 3.6394) - at every iteration count.
TEST(LeastSquaresGroupRuns, ACompositionReversalFitsTheSameAtEveryIterationCount) {
  for (int n = 1; n <= 3; ++n) {
    const e2e::Run r = e2e::run(fixture, iterations(n), {{"ds-prefs.txt", samepair}});
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string& sum = r.files.at("ds-og9.txt");
    for (const char* fitted : {"\npe         -619.84   3.26 ", "\nlm         -713.02   3.25 ",
                               "\npo         -987.08   3.25 ", "cH =  32.26 (sd  4.49)", "cH =  63.30 (sd  3.64)"})
      EXPECT_TRUE(has(sum, fitted)) << n << " iterations: " << fitted << "\n" << sum;
    EXPECT_TRUE(has(r.files.at("jx-log.txt"), "\n 10)    52.1387    4.5009    po  =  H2O  lm ")) << n;
  }
}

// An experiments file as blocks: the two calorimetry sections, then each
// experiment with its header, its reactions (names, coefficients) and its
// bracket lines; comments dropped.
struct experiment {
  std::string header, count;
  std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> reactions;
  std::string brackets;
};
struct experiments {
  std::string calorimetry;
  std::vector<experiment> list;
};

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> w;
  for (std::string t; in >> t;) w.push_back(t);
  return w;
}

experiments parse(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);)
    if (!l.empty() && l[0] != '%') lines.push_back(l);
  experiments e;
  std::size_t i = 0;
  for (int section = 0; section < 2; ++i) {
    e.calorimetry += lines[i] + "\n";
    section += words(lines[i])[0] == "0" ? 1 : 0;
  }
  while (words(lines[i])[0] != "0") {
    experiment x;
    x.header = lines[i++];
    x.count = lines[i++];
    for (int r = std::stoi(words(x.count)[0]); r > 0; --r, i += 2) x.reactions.push_back({words(lines[i]), words(lines[i + 1])});
    while (words(lines[i])[0] != "-1") x.brackets += lines[i++] + "\n";
    x.brackets += lines[i++] + "\n";
    e.list.push_back(x);
  }
  return e;
}

// The bracket lines with the two lines of each reversal pair (one code 0,
// one code 1, at one x(CO2) and one P or T, the first not paired before)
// the other way round where bit q of flips is set, q counting the pairs.
std::string turnedpairs(const std::string& brackets, unsigned flips) {
  std::vector<std::string> ls;
  std::istringstream in(brackets);
  for (std::string l; std::getline(in, l);) ls.push_back(l);
  unsigned q = 0;
  for (std::size_t i = 1; i < ls.size(); ++i) {
    const std::vector<std::string> a = words(ls[i - 1]), b = words(ls[i]);
    if (a.size() < 4 || b.size() < 4 || a[0] == b[0] || (a[0] != "0" && a[0] != "1") || (b[0] != "0" && b[0] != "1") ||
        a[3] != b[3] || (a[1] != b[1] && a[2] != b[2]))
      continue;
    if (flips >> q++ & 1u) std::swap(ls[i - 1], ls[i]);
    ++i;  // a half paired before pairs with nothing after it
  }
  std::string t;
  for (const std::string& l : ls) t += l + "\n";
  return t;
}

// The file again, its experiments in the order given, the reactions of
// experiment k turned by turns[k], the names of its reaction r (with their
// coefficients) in their order number perm + k + r, and the lines of its
// pairs turned by the bits of flips + k.
std::string written(const experiments& e, const std::vector<std::size_t>& order, const std::vector<std::size_t>& turns,
                    int perm, unsigned flips = 0) {
  std::string t = e.calorimetry;
  for (std::size_t k : order) {
    const experiment& x = e.list[k];
    t += x.header + "\n" + x.count + "\n";
    for (std::size_t r = 0; r < x.reactions.size(); ++r) {
      const auto& [names, coefs] = x.reactions[(r + turns[k]) % x.reactions.size()];
      // Turned round by p and read backwards every other n: every order of
      // three names, and each name at every place of more.
      const std::size_t n = names.size(), p = static_cast<std::size_t>(perm) + k + r;
      std::vector<std::size_t> at(n);
      for (std::size_t j = 0; j < n; ++j) at[j] = (j + p) % n;
      if (p / n % 2 == 1) std::reverse(at.begin(), at.end());
      std::string line, c;
      for (std::size_t j : at) line += names[j] + " ", c += coefs[j] + " ";
      t += line + "\n" + c + "\n";
    }
    t += flips == 0 ? x.brackets : turnedpairs(x.brackets, flips + static_cast<unsigned>(k));
  }
  return t + "0\n";
}

// What a fit gives: the fitted properties and their sd's, and the data set
// written up to its line of the date.
std::string fitted(const e2e::Run& r, const std::string& ds) {
  const std::string& sum = r.files.at("ds-og9.txt");
  const std::size_t from = sum.find("Thermodynamic properties");
  std::string f = sum.substr(from, sum.find("Direct calorimetry") - from);
  const auto d = r.files.find(ds);
  if (d != r.files.end()) f += d->second.substr(0, d->second.find("produced at"));
  return f;
}

// Every experiment file of the fixture's kinds of group (unknown
// compositions in mixed fluids and H2O, given compositions with a
// composition reversal, divariant in H2O and CO2) written with its
// experiments in another order, each group's reactions either way round and
// the names of every reaction in each of their orders: one fit, at one and
// at two iterations (the unknown compositions solved from the second).
TEST(LeastSquaresGroupRuns, EveryOrderOfExperimentsReactionsAndNamesGivesOneFit) {
  const auto fixturefile = [](const char* name) { return parse(groupfile(name)); };
  // The groups with the looser calorimetry, that leaves the fit to them.
  experiments loose = fixturefile("ds-xpg9.txt");
  loose.calorimetry = fixturefile("ds-xpsp.txt").calorimetry;
  // A group whose second reaction has terms of unlike coefficients, in a
  // mixed fluid: the widths of its brackets tell each term by its entry.
  experiments unlike = parse("0\n0\n1 br po ss H2O univariant\n2 1 unlike\nbr pe H2O\n-1 1 1\nbr po pe lm H2O\n"
                             "-1 -1 1 1 2\n0 2 500 0.3 0.3\n1 2 500 0.3 0.7\n0 1.5 450 0.3 0.5\n1 2.5 550 0.3 0.5\n"
                             "0 3 470 0.3 0.4\n1 1 480 0.3 0.6\n-1\n0\n");
  unlike.calorimetry = loose.calorimetry;
  const struct {
    const char* file;
    experiments e;
    std::string prefs;  // empty: the fixture's
  } files[] = {{"ds-xpg9.txt", fixturefile("ds-xpg9.txt"), ""},
               {"ds-xpg9.txt", loose, ""},
               {"ds-xpsp.txt", fixturefile("ds-xpsp.txt"), samepair},
               {"ds-xpsp.txt", unlike, samepair}};
  for (const auto& f : files) {
    const experiments& e = f.e;
    std::mt19937 rng(92);
    for (int n = 1; n <= 2; ++n) {
      std::string first;
      for (int v = 0; v < 8; ++v) {
        std::vector<std::size_t> order(e.list.size()), turns(e.list.size());
        // Each experiment's reactions either way round over the orders, not
        // all alike (the fixture's groups stand in both orders already).
        for (std::size_t k = 0; k < order.size(); ++k) order[k] = k, turns[k] = std::size_t(v) / (1 + k % 3) % 2;
        if (v > 0) std::shuffle(order.begin(), order.end(), rng);
        std::map<std::string, std::string> extra = {{f.file, written(e, order, turns, v)}};
        if (!f.prefs.empty()) extra["ds-prefs.txt"] = f.prefs;
        const e2e::Run r = e2e::run(fixture, iterations(n), extra);
        ASSERT_EQ(r.status, 0) << f.file << " " << v << "\n" << extra[f.file] << r.out;
        const std::string got = fitted(r, "jx-dsg9.txt");
        if (v == 0)
          first = got;
        else
          EXPECT_EQ(got, first) << f.file << ", " << n << " iterations, order " << v << "\n" << extra[f.file];
      }
    }
  }
}

// Groups of br = pe + H2O and po = lm + H2O with unknown compositions
// whose one reversal pair is at 520 C (P pair), at 5.4 kbar (T pair), or
// without compositions (the a-x file's 0.5, solved from the first
// iteration), written with the pair's lines either way round, the
// reactions and names in every order: one fit and one status
// at one to three iterations. The pair's composition is solved at its half
// of code 0. Own fits at two iterations (mpmath, 30 digits: the fluid's
// equation of state and mixing, the brackets' limits, classes and rows, the
// weighted least squares and the group's solve, each half's composition
// its own in both reactions), as br, pe, H2O, lm, po:
//   P pair  -925.977723 -615.68911 -241.735192 -710.830077 -989.269923
//   T pair  -924.944609 -619.821566 -241.802812 -713.459588 -986.640412
//   a-x     -926.299515 -614.401939 -241.703142 -708.912294 -991.187706
// The P pair and a-x fits have no equilibrium at 520 C (x from the one
// reaction and 1 - x from the other add to 1.61 at least over 0.1-30 kbar):
// "not converged", status 1 and no data set, whichever line comes first.
// Then records of several pairs, each pair's lines turned on its own: the
// group with two P pairs (in a mixed fluid and in H2O) and two T pairs, and
// br = pe + H2O as a simple reaction with a P pair, two T pairs and a
// half-bracket; and a pair whose compositions are left off one of its
// lines. Each is written code 0 first at order 0, where the fit is the
// previous build's (its numbers at two iterations below); every other
// order must give the same.
TEST(LeastSquaresGroupRuns, EveryOrderOfAPairsLinesGivesOneFit) {
  std::string em = groupfile("ds-emg9.txt");
  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{{" -925.55\n", " -924.9\n"},
                                                                                  {" -617.41\n", " -619.6\n"},
                                                                                  {" -241.68\n", " -241.81\n"},
                                                                                  {" -703.61\n", " -714.9\n"},
                                                                                  {" -1093.0\n", " -1093.3\n"},
                                                                                  {" -996.49\n", " -986.1\n"}})
    em.replace(em.find(from), from.size(), to);
  const std::string calorimetry = "1 br -924.9 0.5\n1 pe -620.0 1.0\n1 H2O -241.81 0.1\n1 cc -1207.4 0.8\n"
                                  "1 lm -714.0 1.0\n1 CO2 -393.51 0.1\n1 mc -1093.0 1.0\n1 po -986.1 1.0\n0\n0\n";
  const std::string group = "1 br po ss H2O univariant unknowncomps\n2 1 grp\nbr pe H2O\n-1 1 1\npo lm H2O\n-1 1 1\n";
  // A simple reaction reads as an experiment whose activity line leads its
  // brackets.
  const std::string simple = "1 br pe H2O\n -1 1 1  1\n1 1 1  simple\n";
  const struct {
    std::string head, brackets;
    double own[5];
    bool noequilibrium, converges;
  } groups[] = {
      {group, "1 1.4 520 0.4 0.65\n0 2.8 520 0.4 0.65\n-1\n",
       {-925.977723, -615.68911, -241.735192, -710.830077, -989.269923}, true, false},
      {group, "1 5.4 560 0.4 0.65\n0 5.4 480 0.4 0.65\n-1\n",
       {-924.944609, -619.821566, -241.802812, -713.459588, -986.640412}, false, false},
      {group, "1 1.4 520 0.4\n0 2.8 520 0.4\n-1\n", {-926.299515, -614.401939, -241.703142, -708.912294, -991.187706},
       true, false},
      {group,
       "0 2.2 500 0.3 0.6\n1 1 500 0.3 0.6\n0 2.2 500 0 0.6\n1 1 500 0 0.6\n0 2.6 490 0 0.6\n1 2.6 540 0 0.6\n"
       "0 2.8 500 0 0.6\n1 2.8 550 0 0.6\n1 2.7 560 0 0.6\n-1\n",
       {-925.53, -617.50, -241.68, -703.57, -996.53}, false, true},
      {simple, "0 2.2 500 0.3\n1 1 500 0.3\n0 2.6 490 0\n1 2.6 540 0\n0 2.8 500 0\n1 2.8 550 0\n0 2.7 460 0\n-1\n",
       {-924.75, -620.59, -241.82, -714.00, -986.10}, false, true},
      // The compositions left off one line of the pair: from that line on
      // they are the a-x file's, so written code 0 first with the code-0
      // line short both halves start from 0.5 (the a-x fit above), with
      // the code-1 line short the code-0 half keeps its 0.65.
      {group, "0 2.8 520 0.4\n1 1.4 520 0.4 0.65\n-1\n",
       {-926.299515, -614.401939, -241.703142, -708.912294, -991.187706}, true, false},
      {group, "0 2.8 520 0.4 0.65\n1 1.4 520 0.4\n-1\n", {-925.10, -619.18, -241.69, -703.05, -997.05}, false, true},
  };
  const char* names[] = {"br", "pe", "H2O", "lm", "po"};
  for (const auto& g : groups) {
    const experiments e = parse(calorimetry + g.head + g.brackets + "0\n");
    for (int n = 1; n <= 3; ++n) {
      std::string first;
      for (int v = 0; v < 8; ++v) {
        // The first pair's lines turned at odd v, the others by the
        // neighbouring bits of v, so that no two pairs turn alike; the
        // reactions at v 2, 3, 6, 7.
        const std::vector<std::size_t> order = {0}, turns = {std::size_t(v) / 2 % 2};
        const std::string xp = written(e, order, turns, v, static_cast<unsigned>(v ^ (v << 1)));
        const e2e::Run r = e2e::run(fixture, iterations(n), {{"ds-xpg9.txt", xp}, {"ds-emg9.txt", em}});
        const std::string got = "status " + std::to_string(r.status) + "\n" + fitted(r, "jx-dsg9.txt");
        if (v == 0)
          first = got;
        else
          EXPECT_EQ(got, first) << n << " iterations, order " << v << "\n" << xp;
        if (n != 2) continue;
        const std::string& sum = r.files.at("ds-og9.txt");
        for (int k = 0; k < 5; ++k) {
          const std::size_t at = sum.find(std::string("\n") + names[k] + " ", sum.find("Thermodynamic properties"));
          ASSERT_NE(at, std::string::npos) << names[k] << sum;
          EXPECT_NEAR(std::stod(sum.substr(at + 1 + std::string(names[k]).size())), g.own[k], 0.006)
              << names[k] << ", order " << v << "\n" << xp;
        }
        EXPECT_EQ(r.status, g.converges ? 0 : 1) << xp << r.out;
        EXPECT_EQ(r.files.count("jx-dsg9.txt"), g.converges ? 1u : 0u) << xp;
        if (g.noequilibrium) {
          EXPECT_TRUE(has(r.out, "some \"not converged\" present (dataset not written)")) << r.out;
        }
      }
    }
  }
}

}  // namespace
