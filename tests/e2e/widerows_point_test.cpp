// A calc-mode-1 point of 21 components, more than a line holds: the
// details' bulk rows, the mu rows of the summary, the log and the drawing
// data and the rock's tableau in the log keep every value, and the tableau
// pasted back as an rbi block makes the same rock. The system is made up
// here: an ideal one-site solution ss of 15 one-oxide end-members (e01 at
// x = 0.05, held there by the pure phase p01 of its oxide), and pure phases
// q16..q21 of one oxide each, all with constant H, S and V, so that each
// chemical potential is a G worked out by hand.
#include <cmath>
#include <map>
#include <sstream>

#include "harness.h"
#include "madeupdataset.h"

namespace {

using e2e::has;

using madeup::oxide;
const std::vector<oxide>& oxides = madeup::oxides21();
constexpr int nss = 15;          // end-members of ss, the first 15 oxides
constexpr double x1 = 0.05;      // e01's fraction in ss
constexpr double Rgas = 0.0083144626;
constexpr double P = 5, T = 773.15;

double Hof(int k) { return k < nss ? -500.0 - 3 * k : -400.0 - k; }  // k: 0-based oxide
double Sof(int k) { return k < nss ? 0.03 : 0.02; }
double G(double H, double S) { return H - T * S + (P - 0.001) * 1.0; }

std::string num(double v) { return e2e::fixed(v, 12); }

std::string record(const std::string& name, const oxide& o, double H, double S) {
  return madeup::oneoxiderecord(name, name + "x", o, H, S);
}

std::string dataset() {
  std::string s = "7 22 don't alter this line or the layout of the records below, made up for wide rows\n\n";
  for (int k = 0; k < nss; ++k) s += record("e" + std::string(k < 9 ? "0" : "") + std::to_string(k + 1), oxides[k], Hof(k), Sof(k));
  // G(p01) = G(e01) + R T ln x1, with H alike.
  s += record("p01", oxides[0], Hof(0), Sof(0) - Rgas * std::log(x1));
  for (int k = nss; k < 21; ++k) s += record("q" + std::to_string(k + 1), oxides[k], Hof(k), Sof(k));
  s += "1.0\n";
  for (int i = 0; i < 22; ++i) {
    s += "0.01";
    for (int j = i + 1; j < 22; ++j) s += " 0";
    s += "\n";
  }
  return s + "\nmade-up wide system (sigfit =  1.000)\n";
}

std::string two(int k) { return (k < 10 ? "0" : "") + std::to_string(k); }

std::string axfile() {
  std::string s = "% made-up pure phases and one ideal solution of one-oxide end-members\np01\n";
  for (int k = nss + 1; k <= 21; ++k) s += "q" + std::to_string(k) + "\n";
  s += "ss " + std::to_string(nss) + " 1\n";
  for (int k = 1; k < nss; ++k) s += "  v" + two(k) + "(ss) 0.0667\n";
  for (int k = 1; k < nss; ++k) s += "  p(e" + two(k) + ") 1  1 0 1 1 v" + two(k) + "\n";
  // 1 - v01 - .. - v14, in two products of at most twelve terms each.
  std::string last = " 2  1 1 12";
  for (int k = 1; k < nss; ++k) last += (k == 13 ? "  1 0 2" : "") + std::string(" -1 v") + two(k);
  s += "  p(e15)" + last + "\n  ideal\n  " + std::to_string(nss) + "\n";
  for (int k = 1; k < nss; ++k) s += "  s" + two(k) + " 1  1 0 1 1 v" + two(k) + "\n";
  s += "  s15" + last + "\n";
  for (int k = 1; k <= nss; ++k) s += "  e" + two(k) + " 1 1 s" + two(k) + " 1\n";
  return s + "*\n";
}

// The bulk in moles: 10 of ss, 2 of p01 and 3 of each q; 30 in all.
double amount(int k) { return k == 0 ? 10 * x1 + 2 : k < nss ? 10 * (1 - x1) / (nss - 1) : 3; }

std::string names() {
  std::string s;
  for (const oxide& o : oxides) s += " " + o.name;
  return s;
}

std::string script(const std::string& rock) {
  std::string s = "axfile wideax\nwith ss p01";
  for (int k = nss + 1; k <= 21; ++k) s += " q" + std::to_string(k);
  s += "\ninexcess\ncalcP 5\ncalcT 500\ndiagramPT 1 10 400 800\npseudosection\n";
  if (rock.empty()) {
    s += "bulk" + names() + "\nbulk";
    for (int k = 0; k < 21; ++k) s += " " + num(amount(k)).substr(0, 8);
    s += "\n";
  } else {
    s += rock;
  }
  return s + "printbulkinfo yes\ncalcmu yes\nzeromodeiso no\nmodeiso no\nautoexit yes\n*\n";
}

std::map<std::string, std::string> inputs(const std::string& rock) {
  return {{"jx-prefs.txt", "dsfile 7wide\nscriptfile wide\ncalcmode 1\n*\n"},
          {"jx-ds7wide.txt", dataset()},
          {"jx-wideax.txt", axfile()},
          {"jx-wide.txt", script(rock)}};
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string w; in >> w;) v.push_back(w);
  return v;
}

// The rows of the table whose first line starts with first, over its
// blocks: each row's label (its first width bytes) with the words after it.
std::map<std::string, std::vector<std::string>> blocks(const std::string& text, const std::string& first,
                                                       std::size_t width, std::size_t rows) {
  std::map<std::string, std::vector<std::string>> t;
  const std::vector<std::string> ls = lines(text);
  std::size_t i = 0;
  while (i < ls.size() && ls[i].rfind(first, 0) != 0) ++i;
  while (i + rows <= ls.size()) {
    for (std::size_t r = 0; r < rows; ++r) {
      const std::string& l = ls[i + r];
      for (const std::string& w : words(l.substr(std::min(width, l.size())))) t[l.substr(0, width)].push_back(w);
    }
    i += rows;
    if (i + 1 >= ls.size() || !ls[i].empty() || ls[i + 1].rfind(first.substr(0, width), 0) != 0) break;
    ++i;
  }
  return t;
}

// Each oxide's expected chemical potential: G of its q, or of p01, or
// G(e) + R T ln x of the end-member in ss.
double mu(int k) {
  if (k == 0) return G(Hof(0), Sof(0) - Rgas * std::log(x1));
  if (k >= nss) return G(Hof(k), Sof(k));
  return G(Hof(k), Sof(k)) + Rgas * T * std::log((1 - x1) / (nss - 1));
}

TEST(WideRows, PointOfMoreComponentsThanALineHolds) {
  const e2e::Run r = e2e::run({}, "", inputs(""));
  ASSERT_EQ(r.status, 0) << r.out;
  for (const auto& [name, text] : r.files) EXPECT_FALSE(has(text, "\xA4")) << name;

  // The details: every bulk value under its own component.
  const std::string& ic = r.files.at("jx-wide-ic.txt");
  // The heading, the bulk and the eight phases' rows, in blocks.
  const std::string icfirst = std::string(14, ' ') + oxides[0].name;
  const auto bulk = blocks(ic, icfirst, 6, 10);
  ASSERT_EQ(bulk.at("      ").size(), 21u) << ic;
  ASSERT_EQ(bulk.at("bulk  ").size(), 21u) << ic;
  for (int k = 0; k < 21; ++k) {
    EXPECT_EQ(bulk.at("      ")[k], oxides[k].name);
    EXPECT_NEAR(std::stod(bulk.at("bulk  ")[k]), 100 * amount(k) / 30, 6e-5) << oxides[k].name;
  }
  EXPECT_EQ(bulk.at("bulk  ")[20], "10.0000");

  // The mu rows in the summary and the log.
  for (const char* f : {"jx-wide-o.txt", "jx-log.txt"}) {
    SCOPED_TRACE(f);
    const auto m = blocks(r.files.at(f), " mu   ", 6, 2);
    ASSERT_EQ(m.at(" mu   ").size(), 21u);
    ASSERT_EQ(m.at("      ").size(), 21u);
    for (int k = 0; k < 21; ++k) {
      EXPECT_EQ(m.at(" mu   ")[k], oxides[k].name);
      EXPECT_NEAR(std::stod(m.at("      ")[k]), mu(k), 2e-4) << oxides[k].name;
    }
  }

  // The drawing data: the heading a comment in each of its lines, the mu
  // row going on under it.
  if (r.files.count("jx-wide-qk.txt")) {
    const std::string& qk = r.files.at("jx-wide-qk.txt");
    std::vector<std::string> heading, values;
    for (const std::string& l : lines(qk)) {
      if (l.rfind(std::string(8, ' ') + "% ", 0) == 0)
        for (const std::string& w : words(l.substr(10))) heading.push_back(w);
      else if (heading.size() == 21 && l.rfind(std::string(10, ' '), 0) == 0)
        for (const std::string& w : words(l)) values.push_back(w);
    }
    ASSERT_EQ(heading.size(), 21u) << qk;
    ASSERT_EQ(values.size(), 21u) << qk;
    for (int k = 0; k < 21; ++k) {
      EXPECT_EQ(heading[k], oxides[k].name);
      EXPECT_NEAR(std::stod(values[k]), mu(k), 2e-4) << oxides[k].name;
    }
  }

  // The tableau in the log: each phase row, joined over its continuation
  // lines, holds its mode and every component's amount.
  const std::string& log = r.files.at("jx-log.txt");
  std::vector<std::string> tableau;
  std::string heading;
  bool inheading = false;
  for (const std::string& l : lines(log)) {
    if (l.rfind("%" + std::string(28, ' '), 0) == 0) {
      heading += l.substr(29);
      inheading = true;
      continue;
    }
    if (inheading && l.rfind("bulk  rbi", 0) == 0) tableau.push_back(l);
    else if (!tableau.empty() && tableau.back().size() > 2 && tableau.back().substr(tableau.back().size() - 2) == " \\")
      tableau.back() = tableau.back().substr(0, tableau.back().size() - 2) + l;
  }
  EXPECT_EQ(words(heading), words(names()));
  ASSERT_EQ(tableau.size(), 8u) << log;
  std::map<std::string, std::vector<double>> amounts;
  for (const std::string& row : tableau) {
    const std::vector<std::string> w = words(row);
    ASSERT_EQ(w.size(), 25u) << row;
    for (std::size_t i = 4; i < w.size(); ++i) amounts[w[2]].push_back(std::stod(w[i]));
  }
  for (int k = nss; k < 21; ++k)
    for (int c = 0; c < 21; ++c) EXPECT_EQ(amounts["q" + std::to_string(k + 1)][c], c == k ? 1 : 0) << k << " " << c;
  for (int c = 0; c < 21; ++c) {
    EXPECT_EQ(amounts["p01"][c], c == 0 ? 1 : 0);
    EXPECT_NEAR(amounts["ss"][c], c == 0 ? x1 : c < nss ? (1 - x1) / (nss - 1) : 0, 3e-6) << c;
  }

  // Pasted back as an rbi block, continuation lines and all, the tableau
  // makes the same rock.
  std::string rock = "rbi" + names() + "\n";
  bool inrows = false;
  for (const std::string& l : lines(log)) {
    if (l.rfind("bulk  rbi", 0) == 0) {
      rock += l.substr(6) + "\n";
      inrows = l.back() == '\\';
    } else if (inrows) {
      rock += l + "\n";
      inrows = l.back() == '\\';
    }
  }
  const e2e::Run again = e2e::run({}, "", inputs(rock));
  ASSERT_EQ(again.status, 0) << again.out;
  const auto bulk2 = blocks(again.files.at("jx-wide-ic.txt"), icfirst, 6, 10);
  ASSERT_EQ(bulk2.at("bulk  ").size(), 21u);
  for (int k = 0; k < 21; ++k)
    EXPECT_NEAR(std::stod(bulk2.at("bulk  ")[k]), std::stod(bulk.at("bulk  ")[k]), 2e-4) << oxides[k].name;
}

}  // namespace
