// The linearised reactions of the utilities among 44 end-members: the
// table of coefficients and a, b, c goes on in blocks and the drawing
// data's rows in further lines, and every a, b and c is that of the
// reaction's own coefficients. The end-members are made up of MgO and SiO2
// with constant H, S and V, so that a = dH - 0.001 dV, b = -dS and c = dV.
#include <cmath>
#include <map>
#include <sstream>

#include "harness.h"

namespace {

using e2e::fixed;
using e2e::has;

constexpr int nem = 44;

struct member {
  int mg, si;
  double H, S, V;
};

member em(int k) {
  member m;
  m.mg = 1 + k % 5;
  m.si = 1 + (k * 7) % 9;
  m.H = -600.0 * m.mg - 900.0 * m.si - 3.7 * k;
  m.S = 0.027 * m.mg + 0.042 * m.si + 0.001 * (k % 7);
  m.V = 1.1 * m.mg + 2.3 * m.si + 0.05 * (k % 5) - 0.1;
  return m;
}

// Half a unit in the fourth significant figure of x, as a is written.
double foursig(double x) { return x == 0 ? 1e-9 : 0.5001 * std::pow(10.0, std::floor(std::log10(std::fabs(x))) - 3); }

std::string two(int k) { return (k < 10 ? "0" : "") + std::to_string(k); }


std::map<std::string, std::string> inputs() {
  std::string ds = "6 " + std::to_string(nem) + " don't alter this line or the layout of the records below, made up\n\n";
  std::string ax = "% made-up pure phases\n";
  for (int k = 1; k <= nem; ++k) {
    const member m = em(k);
    ds += "p" + two(k) + "  madep" + two(k) + "  1  5 " + std::to_string(m.mg) + ".0  1 " + std::to_string(m.si) +
          ".0  10 " + std::to_string(m.mg + 2 * m.si) + ".0  0\n0\n" + fixed(m.H, 2) + " " + fixed(m.S, 5) + " " +
          fixed(m.V, 4) + " 0.0 0.0 0.0 0.0\n0.0 0.0 0.0\n\n";
    ax += "p" + two(k) + "\n";
  }
  ds += "0\n";
  for (int i = 0; i < nem * (nem + 1) / 2; ++i) ds += (i % 20 == 19 ? "0.0\n" : "0.0 ");
  ds += "\n\nmade-up MgO-SiO2 phases (sigfit =  0.000)\n";
  return {{"jx-prefs.txt", "dsfile 6rw\nscriptfile rw\ncalcmode 0\n*\n"},
          {"jx-ds6rw.txt", ds},
          {"jx-rwax.txt", ax + "*\n"},
          {"jx-rw.txt", "axfile rwax\ndiagramPT 1 12 300 800\n*\n"}};
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

TEST(WideRows, LinearisedReactionsOfManyEndMembersKeepABAndC) {
  const e2e::Run r =
      e2e::run({}, "2\n4\n\n\n5\n500\n1\n4 6\n400 600\n0\nn\n\n", inputs(), {}, SOLVARINTH_UTILITYRUN);
  ASSERT_EQ(r.status, 0) << r.out;
  for (const auto& [name, text] : r.files) EXPECT_FALSE(has(text, "\xA4")) << name;
  const std::string& sum = r.files.at("jx-rw-o.txt");

  // The table, block after block: per row label (the reaction's number, or
  // blank for the heading), its words.
  std::map<std::string, std::vector<std::string>> rows;
  std::vector<std::string> order;
  const std::vector<std::string> ls = lines(sum);
  std::size_t i = 0;
  while (i < ls.size() && !has(ls[i], "(a, b and c includes")) ++i;
  ASSERT_LT(i, ls.size()) << sum;
  // The first block sets the rows; a later one has the same labels in turn.
  for (++i; i < ls.size() && !ls[i].empty(); ++i) order.push_back(ls[i].substr(0, 5));
  i = i - order.size();
  for (;;) {
    for (std::size_t k = 0; k < order.size(); ++k, ++i) {
      std::istringstream in(ls[i].substr(5));
      for (std::string w; in >> w;) rows[order[k]].push_back(w);
    }
    bool more = i + order.size() < ls.size() && ls[i].empty();
    for (std::size_t k = 0; more && k < order.size(); ++k) more = ls[i + 1 + k].substr(0, 5) == order[k];
    if (!more) break;
    ++i;
  }
  ASSERT_EQ(rows["     "].size(), static_cast<std::size_t>(nem + 3)) << sum;
  ASSERT_GE(order.size(), 2u);

  // The drawing data's rows, joined over their lines.
  const std::string& qk = r.files.at("jx-rw-qk.txt");
  const std::size_t at = qk.find("(* reaction thermo linearised");
  ASSERT_NE(at, std::string::npos) << qk;
  std::string body = qk.substr(qk.find('\n', at), qk.find("}};", at) - qk.find('\n', at));
  std::vector<std::vector<double>> list;
  for (std::size_t open = body.find('{'); open != std::string::npos; open = body.find('{', open + 1)) {
    if (open + 1 < body.size() && body[open + 1] == '{') continue;
    std::string row = body.substr(open + 1, body.find('}', open) - open - 1);
    for (char& c : row)
      if (c == ',') c = ' ';
    std::istringstream in(row);
    list.emplace_back();
    for (double x = 0; in >> x;) list.back().push_back(x);
  }
  ASSERT_EQ(list.size(), order.size() - 1);

  int negative = 0;
  for (std::size_t k = 1; k < order.size(); ++k) {
    const std::vector<std::string>& w = rows[order[k]];
    SCOPED_TRACE(order[k]);
    ASSERT_EQ(w.size(), static_cast<std::size_t>(nem + 3));
    double dH = 0, dS = 0, dV = 0;
    for (int e = 1; e <= nem; ++e) {
      const std::string& nu = w[static_cast<std::size_t>(e - 1)];
      const double n = nu == "." ? 0 : std::stod(nu);
      const member m = em(e);
      dH += n * m.H, dS += n * m.S, dV += n * m.V;
      EXPECT_EQ(list[k - 1][static_cast<std::size_t>(e)], n);
    }
    const double a = std::stod(w[nem]), b = std::stod(w[nem + 1]), c = std::stod(w[nem + 2]);
    EXPECT_NEAR(a, dH - 0.001 * dV, foursig(dH - 0.001 * dV) + 1e-6);
    EXPECT_NEAR(b, -dS, 6e-6);
    EXPECT_NEAR(c, dV, 6e-4);
    ASSERT_EQ(list[k - 1].size(), static_cast<std::size_t>(nem + 4));
    EXPECT_EQ(list[k - 1][0], std::stod(order[k]));
    EXPECT_NEAR(list[k - 1][nem + 1], dH - 0.001 * dV, foursig(dH - 0.001 * dV) + 1e-6);
    EXPECT_NEAR(list[k - 1][nem + 2], -dS, 6e-6);
    EXPECT_NEAR(list[k - 1][nem + 3], dV, 6e-4);
    if (dV < 0) ++negative;
  }
  EXPECT_GT(negative, 0);
}

}  // namespace
