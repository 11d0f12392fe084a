// Calc mode 3 with reaction texts near a line's length: the rows of the
// Schreinemakers table go on in the next line, so that every slope is
// written, and each is the reaction's dS/dV worked out here from the
// reaction as the summary lists it. The system is made up: seven one-oxide
// phases and two of all seven oxides, with 22-character names, constant S
// and V, and H set so that every reaction passes through 5 kbar, 600 C.
#include <cmath>
#include <map>
#include <regex>
#include <sstream>

#include "harness.h"
#include "madeupdataset.h"

namespace {

using e2e::has;

struct oxide {
  int code, metals, oxygens;
};
const std::vector<oxide> oxides = {{1, 1, 2}, {3, 2, 3}, {4, 1, 1}, {5, 1, 1}, {6, 1, 1}, {7, 1, 1}, {8, 2, 1}};

struct phase {
  std::string name;
  std::vector<int> n;  // formula units of each oxide
  double S, V, H;
};

constexpr double P0 = 5, T0 = 873.15;

std::vector<phase> phases() {
  std::vector<phase> p;
  for (int k = 0; k < 9; ++k) {
    phase f;
    f.name = std::string("ph") + static_cast<char>('a' + k) + std::string(19, 'x');
    if (k < 7) {
      f.n.assign(7, 0);
      f.n[static_cast<std::size_t>(k)] = 1;
      f.S = 0.03 + 0.005 * k;
      f.V = 1.0 + 0.3 * k;
    } else if (k == 7) {
      f.n = {1, 1, 1, 1, 1, 1, 1};
      f.S = 0.25;
      f.V = 6.0;
    } else {
      f.n = {2, 1, 3, 1, 2, 1, 1};
      f.S = 0.43;
      f.V = 9.4;
    }
    // G at the point is that of its oxides at potentials -500 - 50 j.
    double g = 0;
    for (std::size_t j = 0; j < 7; ++j) g += f.n[j] * (-500.0 - 50.0 * static_cast<double>(j));
    f.H = g + T0 * f.S - (P0 - 0.001) * f.V;
    p.push_back(f);
  }
  return p;
}

std::string fixed6(double v) { return e2e::fixed(v, 6); }

std::map<std::string, std::string> inputs() {
  const std::vector<phase> ps = phases();
  std::string ds = "7 9 don't alter this line or the layout of the records below, made up for long reactions\n\n";
  std::string ax = "% pure phases only\n", with = "with";
  for (const phase& f : ps) {
    ds += f.name + "  " + f.name.substr(0, 3) + "long  1 ";
    int o = 0;
    for (std::size_t j = 0; j < 7; ++j)
      if (f.n[j] > 0) {
        ds += " " + std::to_string(oxides[j].code) + " " + std::to_string(f.n[j] * oxides[j].metals) + ".0 ";
        o += f.n[j] * oxides[j].oxygens;
      }
    ds += " 10 " + std::to_string(o) + ".0  0\n0\n" + fixed6(f.H) + " " + fixed6(f.S) + " " + fixed6(f.V) +
          " 0 0 0 0\n0 0 0\n\n";
    ax += f.name + "\n";
    with += " " + f.name;
  }
  ds += "1.0\n";
  for (int i = 0; i < 9; ++i) {
    ds += "0.04";
    for (int j = i + 1; j < 9; ++j) ds += " 0";
    ds += "\n";
  }
  ds += "\nmade-up long reactions (sigfit =  1.000)\n";
  return {{"jx-prefs.txt", "dsfile 7lr\nscriptfile lr\ncalcmode 3\n*\n"},
          {"jx-ds7lr.txt", ds},
          {"jx-lrax.txt", ax + "*\n"},
          {"jx-lr.txt", "axfile lrax\n" + with +
                            "\ncalctype 1\ndiagramPT 1 9 400 800\ncalcTatP yes\ncalcP 1 9 1\nschreinemakers yes\n"
                            "inexcess\nautoexit yes\n*\n"}};
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

TEST(WideRows, SchreinemakersRowsKeepTheirSlopes) {
  const e2e::Run r = e2e::run({}, "", inputs());
  ASSERT_EQ(r.status, 0) << r.out;
  for (const auto& [name, text] : r.files) EXPECT_FALSE(has(text, "\xA4")) << name;
  const std::string& sum = r.files.at("jx-lr-o.txt");

  // dS/dV of each reaction from its text in the list of reactions.
  std::map<std::string, double> S, V;
  for (const phase& f : phases()) S[f.name] = f.S, V[f.name] = f.V;
  std::map<int, double> slope;
  const std::regex reaction(R"(^(\d+)\)  (.* = .*)$)");
  for (const std::string& l : lines(sum)) {
    std::smatch m;
    if (!std::regex_match(l, m, reaction) || has(l, "[") || slope.count(std::stoi(m[1]))) continue;
    double dS = 0, dV = 0;
    const std::string text = m[2];
    const std::size_t eq = text.find(" = ");
    for (const auto& [side, sign] : {std::pair{text.substr(0, eq), -1.0}, std::pair{text.substr(eq + 3), 1.0}}) {
      std::istringstream terms(std::regex_replace(side, std::regex(R"( \+ )"), " "));
      for (std::string t; terms >> t;) {
        const std::size_t at = t.find("ph");
        const double nu = at == 0 ? 1 : std::stod(t.substr(0, at));
        dS += sign * nu * S.at(t.substr(at));
        dV += sign * nu * V.at(t.substr(at));
      }
    }
    slope[std::stoi(m[1])] = dS / dV;
  }
  ASSERT_GE(slope.size(), 3u) << sum;

  // The table's rows, joined over their continuations: reaction text,
  // absent phases, and the slope, as three significant figures of dS/dV.
  const std::vector<std::string> ls = lines(sum);
  std::size_t i = 0;
  while (i < ls.size() && !has(ls[i], "dp/dt")) ++i;
  ASSERT_LT(i, ls.size()) << sum;
  int rows = 0, long_rows = 0;
  for (++i; i < ls.size() && !ls[i].empty(); ++i) {
    std::string row = ls[i];
    if (row.size() > 200) ++long_rows;
    while (i + 1 < ls.size() && ls[i + 1].rfind(std::string(50, ' '), 0) == 0) row += ls[++i].substr(50);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(row, m, std::regex(R"(^(\d+)\).*\]\s.*\s(\S+)$)"))) << row;
    const double expected = slope.at(std::stoi(m[1]));
    EXPECT_NEAR(std::stod(m[2]), expected, std::fabs(expected) * 5e-3) << row;
    ++rows;
  }
  EXPECT_GE(rows, 3);
  EXPECT_GE(long_rows, 1);
}

}  // namespace
