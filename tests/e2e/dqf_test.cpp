// DQF terms drawn in Monte Carlo series of the built program, and taken
// only where the a-x file could hold them.
//
// The series: two ideal binaries over sA and sB (rows of H, S and V only)
// at 5 kbar and 600 C; my's end-members are made of one of them each with
// a DQF a + bT + c(P - Pr), so with eA, eB = exp(DQF/RT) of mA and mB the
// two phases meet at x(my) = (eA - 1)/(eA - eB), x(mx) = eB x(my).
#include <algorithm>
#include <cmath>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

namespace {

constexpr double R = 0.0083144, T = 873.15, P = 5, Pr = 0.001;

const std::string axfile(const std::string& mA, const std::string& mB) {
  return "mx 2 1\n  x(mx) 0.4\n  p(sA) 1 1 1 1 -1 x\n  p(sB) 1 1 0 1 1 x\n  ideal\n  2\n"
         "  xA 1 1 1 1 -1 x\n  xB 1 1 0 1 1 x\n  sA 1 1 xA 1\n  sB 1 1 xB 1\n"
         "my 2 1\n  x(my) 0.5\n  p(mA) 1 1 1 1 -1 x\n  p(mB) 1 1 0 1 1 x\n  ideal\n  2\n"
         "  xA 1 1 1 1 -1 x\n  xB 1 1 0 1 1 x\n"
         "  mA 1 1 xA 1 make 1 sA 1" + mA + "\n  mB 1 1 xB 1 make 1 sB 1" + mB + "\n*\n";
}

const std::string script(const std::string& mc) {
  return "axfile dqax\nwith mx my\ninexcess\ndiagramPT 1 12 200 900\npseudosection no\n"
         "batchxyzguess startblock\nbatchxyzguess x(mx) 0.45\nbatchxyzguess x(my) 0.55\n"
         "batch mx my 2 1 1 5 600 1 1 0 0\n" + mc + "debuglevel 0\nautoexit\n*\n";
}

double dqf(double a, double b, double c) { return a + b * T + c * (P - Pr); }

// x(mx) and x(my) where the two binaries meet.
std::pair<double, double> meeting(double dA, double dB) {
  const double eA = std::exp(dA / (R * T)), eB = std::exp(dB / (R * T));
  const double y = (eA - 1) / (eA - eB);
  return {eB * y, y};
}

std::vector<std::vector<double>> csvrows(const std::string& csv) {
  std::vector<std::vector<double>> rows;
  std::istringstream in(csv);
  std::string line;
  std::getline(in, line);  // the heading
  while (std::getline(in, line)) {
    std::vector<double> row;
    std::istringstream cells(line);
    std::string cell;
    while (std::getline(cells, cell, ',')) {
      if (cell.find_first_not_of(' ') == std::string::npos) continue;
      row.push_back(std::stod(cell));
    }
    rows.push_back(row);
  }
  return rows;
}

// A DQF b on a shared range moves with it, as a c term following a function
// of that range does; own-width a and b terms are drawn about their values;
// every run's phases meet where the printed terms put them, and the summary
// prints each own-width term as the run's lines do.
TEST(DqfRuns, DrawnTermsAreTheTermsInTheCalculation) {
  const std::string mc =
      "mcrange rb 0.001 0.0005\nmcfunc fc -0.04 1 20 rb\nmc my b DQF(mB) =rb\n"
      "mc my b DQF(mA) -0.001 0.0004\nmc my a DQF(mA) 2 0.5\nmc my c DQF(mB) ffc\nmcit 60 60\n";
  const e2e::Run r = e2e::run({"loop"}, "", {{"jx-lp.txt", script(mc)},
                                             {"jx-dqax.txt", axfile(" DQF 2 -0.001 0.03", " DQF -2 0.001 -0.02")}});
  EXPECT_EQ(r.status, 0);
  ASSERT_EQ(r.out.find("bombed"), std::string::npos) << r.out;
  const std::string& qk = r.files.at("jx-lp-qk.txt");
  const std::string num = "(-?[0-9.]+)";
  const std::regex block("\\{\\{\\(\\* cw \\*\\) " + num + ", " + num + ", \\n  " + num + "\\n  \\(\\* nw    " + num +
                         ", " + num + ", " + num + ", " + num + " \\*\\)\\}, \\n");
  const auto rows = csvrows(r.files.at("jx-lp.csv"));
  // The summary's own-width values of each run, b with 7 decimals and a
  // with 4, then a blank for the range, whose only parameter is a DQF.
  const std::string& summary = r.files.at("jx-lp-o.txt");
  const std::regex values("\\n" + num + " " + num + "  \\n");
  std::vector<std::pair<double, double>> sums;
  for (auto it = std::sregex_iterator(summary.begin(), summary.end(), values); it != std::sregex_iterator(); ++it)
    sums.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
  ASSERT_EQ(sums.size(), 60u) << summary;
  long n = 0;
  double below = 0, above = 0;
  for (auto it = std::sregex_iterator(qk.begin(), qk.end(), block); it != std::sregex_iterator(); ++it, ++n) {
    SCOPED_TRACE(n + 1);
    const auto& m = *it;
    const double ownb = std::stod(m[1]), owna = std::stod(m[2]), rb = std::stod(m[3]);
    const double bB = std::stod(m[4]), bA = std::stod(m[5]), aA = std::stod(m[6]), cB = std::stod(m[7]);
    EXPECT_EQ(bA, ownb);
    EXPECT_EQ(aA, owna);
    EXPECT_NEAR(bB, rb, 5.1e-6);
    EXPECT_NEAR(cB, -0.04 + 20 * bB, 2e-5);
    // each draw within its range, give or take half a unit of the last
    // decimal the value is written with
    EXPECT_LE(std::fabs(rb - 0.001), 0.0005 + 5e-6);
    EXPECT_LE(std::fabs(bA + 0.001), 0.0004 + 5e-7);
    EXPECT_LE(std::fabs(aA - 2), 0.5 + 5e-6);
    (bB < 0.001 ? below : above) += 1;
    ASSERT_LT(static_cast<std::size_t>(n), rows.size());
    const auto& row = rows[static_cast<std::size_t>(n)];
    ASSERT_GE(row.size(), 5u);
    const double sb = sums[static_cast<std::size_t>(n)].first;
    EXPECT_NEAR(sb, ownb, 5.1e-7);
    EXPECT_NEAR(sums[static_cast<std::size_t>(n)].second, owna, 5.1e-5);
    // The printed terms are rounded (b of mB to 6 decimals: up to 4.4e-4
    // kJ in G): the room is what those roundings move x by, beside the
    // csv's own 5 decimals. A b moving the wrong way is out by up to 0.1.
    const double dA = dqf(aA, sb, 0.03), dB = dqf(-2, bB, cB);
    const double gA = 5e-6 + 5e-8 * T, gB = 5e-7 * T + 5e-6 * (P - Pr);
    const auto [x, y] = meeting(dA, dB);
    double roomx = 6e-6, roomy = 6e-6;
    for (const auto& [sa, sB] : {std::pair<double, double>{gA, gB}, {gA, -gB}}) {
      const auto [x2, y2] = meeting(dA + sa, dB + sB);
      roomx = std::max(roomx, std::fabs(x2 - x) + 6e-6);
      roomy = std::max(roomy, std::fabs(y2 - y) + 6e-6);
    }
    EXPECT_NEAR(row[3], x, roomx);
    EXPECT_NEAR(row[4], y, roomy);
    EXPECT_LT(roomx + roomy, 1e-3);
  }
  EXPECT_EQ(n, 60);
  EXPECT_EQ(rows.size(), 60u);
  EXPECT_GT(below, 5);
  EXPECT_GT(above, 5);
  // Run 1 keeps the model's terms.
  const auto [x1, y1] = meeting(dqf(2, -0.001, 0.03), dqf(-2, 0.001, -0.02));
  EXPECT_NEAR(x1, 0.46694915, 1e-8);
  EXPECT_NEAR(y1, 0.55291914, 1e-8);
  EXPECT_NEAR(rows[0][3], x1, 1e-5);
  EXPECT_NEAR(rows[0][4], y1, 1e-5);
}

// A DQF drawn on an end-member that is not made: with the newer set the
// a-x file could not hold it, so the series is refused with the file's
// message (a series prints the term, and no G would take it).
TEST(DqfRuns, DqfParameterOnAnEndMemberNotMadeIsRefused) {
  const std::string ax = axfile("", " DQF -2 0.001 -0.02");
  for (const char* ph : {"mx a DQF(sA) 3 1.5", "mx b DQF(sB) 0.001 0.0005"}) {
    SCOPED_TRACE(ph);
    const e2e::Run r = e2e::run(
        {"loop"}, "", {{"jx-lp.txt", script("mc my c DQF(mB) -0.02 0.01\nmc " + std::string(ph) + "\nmcit 4 4\n")},
                       {"jx-dqax.txt", ax}});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("-- run bombed in setup phases : need to \"make\" end-member before DQF-ing it"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.files.count("jx-lp.csv"), 0u);
  }
}

}  // namespace
