// A zero-mode line of a ternary solution ga beside the one-phase field of
// another, gb, on the made-up MgO-FeO-MnO system of the zeromode fixture:
// gb holds the whole bulk, so its composition does not move at all along
// a Newton step while its site fractions are rows of the solver's window.
// The expected lines are roots of the three exchange equations of ga
// against gb at the bulk (mpmath, from the data and models written out by
// hand); the printed values must be those roots rounded.
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

using e2e::has;

namespace {

struct point {
  double p, t, x, y;  // kbar, C, ga's x and y
};

struct linecase {
  const char* what;
  const char* lines;  // the script's bulk, calculation and guesses
  double xb, yb;      // gb's composition: the bulk's FeO and MnO shares
  std::vector<point> points;
};

// The numbers of the result line after each table head, as printed.
std::vector<std::vector<std::string>> resultlines(const std::string& out) {
  std::vector<std::vector<std::string>> rows;
  const std::string head = " P(kbar)     T(";
  for (std::size_t at = out.find(head); at != std::string::npos; at = out.find(head, at + 1)) {
    const std::size_t from = out.find('\n', at) + 1;
    std::istringstream in(out.substr(from, out.find('\n', from) - from));
    std::vector<std::string> row;
    for (std::string w; in >> w;) row.push_back(w);
    rows.push_back(row);
  }
  return rows;
}

// value is the printed rounding of want: within half its last digit.
void rounded(const std::string& value, double want, const std::string& what) {
  const std::size_t dot = value.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(value.size() - dot - 1);
  EXPECT_LE(std::fabs(std::strtod(value.c_str(), nullptr) - want), 0.5 * std::pow(10.0, -decimals) + 1e-12)
      << what << ": " << value << " for " << want;
}

TEST(ZeroModeLine, BesideAOnePhaseFieldOfATernary) {
  const std::vector<linecase> cases = {
      {"T at P", "bulk 55 30 15\ncalcTatP yes\ncalcP 3 9 3\ncalcT 200 800\nptguess 3 330\n"
                 "xyzguess x(ga) 0.06\nxyzguess y(ga) 0.2\n",
       0.3, 0.15,
       {{3, 317.816075047, 0.05498849225, 0.212507161},
        {6, 335.410481602, 0.05957242823, 0.2130104952},
        {9, 353.264426844, 0.06429939539, 0.2133869452}}},
      {"P at T", "bulk 55 30 15\ncalcTatP no\ncalcT 325 345 20\ncalcP 1 12\nptguess 4 325\n"
                 "xyzguess x(ga) 0.06\nxyzguess y(ga) 0.2\n",
       0.3, 0.15,
       {{4.23020216, 325, 0.05685029408, 0.2127292797}, {7.616815829, 345, 0.0621028289, 0.2132287752}}},
      {"little MnO", "bulk 40 58 2\ncalcTatP yes\ncalcP 2 11 3\ncalcT 100 800\nptguess 2 120\n"
                     "xyzguess x(ga) 0.03\nxyzguess y(ga) 0.03\n",
       0.58, 0.02,
       {{2, 115.235710175, 0.03177158298, 0.03503246853},
        {5, 125.548059383, 0.03604345436, 0.03555673185},
        {8, 136.006579215, 0.04071910822, 0.03605720996},
        {11, 146.624489361, 0.04582449729, 0.03653291266}}},
      {"little FeO", "bulk 80 5 15\ncalcTatP yes\ncalcP 2 11 3\ncalcT 100 800\nptguess 2 520\n"
                     "xyzguess x(ga) 0.01\nxyzguess y(ga) 0.15\n",
       0.05, 0.15,
       {{2, 528.792516608, 0.01291695839, 0.1621912729},
        {5, 549.596955241, 0.01360467642, 0.1628439698},
        {8, 570.446192537, 0.01429286905, 0.1634571499},
        {11, 591.339050673, 0.014980617, 0.1640335806}}},
      {"an uneven bulk", "bulk 63.7 21.4 14.9\ncalcTatP yes\ncalcP 1.5 10.5 3\ncalcT 100 800\nptguess 1.5 370\n"
                         "xyzguess x(ga) 0.05\nxyzguess y(ga) 0.2\n",
       0.214, 0.149,
       {{1.5, 381.120703592, 0.04406707518, 0.1889921979},
        {4.5, 400.078019344, 0.04728402462, 0.1895794472},
        {7.5, 419.229664749, 0.05056239223, 0.1900807901},
        {10.5, 438.576640936, 0.05389490377, 0.1905013703}}},
  };
  for (const linecase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string script = std::string("axfile zmax\nwith ga gb\ninexcess\ndiagramPT 1 12 100 800\npseudosection\n"
                                           "bulk MgO FeO MnO\n") +
                               c.lines + "zeromodeiso yes ga\nmodeiso no\nautoexit yes\n*\n";
    const e2e::Run r = e2e::run({"zeromode"}, "", {{"jx-zm.txt", script}});
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(has(r.out, "nothing in range")) << r.out;
    const auto rows = resultlines(r.out);
    EXPECT_EQ(rows.size(), c.points.size()) << r.out;
    if (rows.size() != c.points.size()) continue;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      ASSERT_EQ(rows[i].size(), 6u) << r.out;
      const point& w = c.points[i];
      rounded(rows[i][0], w.p, "P");
      rounded(rows[i][1], w.t, "T");
      rounded(rows[i][2], w.x, "x(ga)");
      rounded(rows[i][3], w.y, "y(ga)");
      rounded(rows[i][4], c.xb, "x(gb)");
      rounded(rows[i][5], c.yb, "y(gb)");
    }
    // The summary holds the same lines, and the drawing data one record a point.
    const std::string& summary = r.files.at("jx-zm-o.txt");
    EXPECT_EQ(resultlines(summary), rows) << summary;
    std::size_t records = 0;
    for (std::size_t at = r.files.at("jx-zm-qk.txt").find("% ga = 0"); at != std::string::npos;
         at = r.files.at("jx-zm-qk.txt").find("% ga = 0", at + 1))
      ++records;
    EXPECT_EQ(records, c.points.size()) << r.files.at("jx-zm-qk.txt");
  }
  // gb's properties at the first point of the line: G = sum q (G_i + RT ln q)
  // over its end-members at the bulk's shares q, S from the same sum.
  const e2e::Run r = e2e::run({"zeromode"}, "", {});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.files.at("jx-zm-o.txt"),
                  "\n   3.000   317.816   0.05499    0.2125    0.3000    0.1500\n\n"
                  "mode          ga        gb           G           H         S         V       rho\n"
                  "                     1.000 -1057.77199  -991.58204    0.1120    2.0400"))
      << r.files.at("jx-zm-o.txt");
}

}  // namespace
