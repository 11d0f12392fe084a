// The rows of a point in the drawing data and the mode box's csv file when
// they hold more than a line: fifteen phases beside fifteen with-list names
// that are not in the point, and a dozen held variables of long names. A csv
// row is written whole on its one line; a drawing-data row goes on in the
// next line; every value stands, none cut; a row that fits is checked
// elsewhere.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "csvparse.h"
#include "iotestsupport.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_solver.h"

using namespace ZQGLOBAL;

namespace {

constexpr long nph = 15;    // phases of the point, the most it can hold
constexpr long nheld = 12;  // held variables
constexpr std::size_t linelength = 250;

std::string two(long k) { return (k < 10 ? "0" : "") + std::to_string(k); }
std::string phase(long k) { return "phase" + two(k); }
// Modes k/120 sum to 1 over the fifteen phases.
double mode(long k) { return static_cast<double>(k) / 120; }
double g(long k) { return -1000.0 - static_cast<double>(k); }
std::string heldname(long k) { return "xvariable" + two(k) + "(" + phase(k) + ")"; }
double held(long k) { return static_cast<double>(k) / 100; }

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

class WideDrawingCsv : public ::testing::Test {
 protected:
  assemblage::tables t;
  testsupport::ScratchDir dir;
  ZQNLE2::solvestate st;

  void SetUp() override {
    SU.nph = nph;
    for (long k = 1; k <= nph; ++k) {
      suphasetype& p = SU.ph[k];
      p.name = phase(k);
      p.hasmode = true;
      p.nem = 1;
      p.mode[1] = static_cast<extended>(k) / 120;
      p.modefac[1] = 1;
      p.g = g(k);
    }
    // The with list: each phase of the point, then a name that is not in it.
    NWHSTRINGS = 2 * nph;
    for (long k = 1; k <= nph; ++k) {
      WHSTRINGS[2 * k - 1] = phase(k);
      WHSTRINGS[2 * k] = "absent" + two(k);
    }
    NX = 2 + nheld;
    NXP = 0;
    for (long k = 1; k <= nheld; ++k) {
      XNAME[2 + k] = heldname(k);
      X[2 + k] = static_cast<extended>(k) / 100;
      BX[2 + k] = false;
    }
    SU.pressure = 10;
    SU.temperature = 973.15L;
    SU.nmodeset = 1;
    SU.ncomp = 1;
    SU.prop[1] = 0.25L;
    SU.gsys[1] = -4321.12345L;
    SU.hsys[1] = -3456.5L;
    SU.ssys[1] = 1.2345L;
    SU.vsys[1] = 4.5678L;
    SU.rhosys[1] = 3.2101L;
    CALCG = true;
    MODESBYNLE = MODESAFTERNLE = false;
    MAINLOOP = 1;
    NCOMP = 1;
    PPRECISION = 3;
    TPRECISION = 2;
    CONTROLJX.plotixcode = 0;
    testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk.txt");
    testsupport::openchannel(CHANNEL::CSVBIT, "a.csv");
  }

  std::string file(const std::string& name) {
    IO::FLUSHER();
    return dir.read(name);
  }

  // The drawing data's lines, each within a line's length and none cut; a
  // line the next goes on from ends in goeson, the next begins with indent.
  // The row they make, the lines joined by a blank.
  std::string joined(const std::string& goeson, const std::string& indent) {
    const std::string qk = file("qk.txt");
    EXPECT_EQ(qk.find('\xA4'), std::string::npos) << qk;
    std::vector<std::string> ls = lines(qk);
    while (!ls.empty() && ls.front().empty()) ls.erase(ls.begin());
    EXPECT_GE(ls.size(), 2u) << qk;
    std::string all;
    for (std::size_t i = 0; i < ls.size(); ++i) {
      EXPECT_LE(ls[i].size(), linelength) << ls[i];
      if (i > 0) {
        EXPECT_EQ(ls[i].rfind(indent, 0), 0u) << ls[i];
        all += " " + ls[i].substr(indent.size());
      } else {
        all = ls[i];
      }
      if (i + 1 < ls.size()) {
        EXPECT_TRUE(ls[i].ends_with(goeson)) << ls[i];
      }
    }
    return all;
  }
};

TEST_F(WideDrawingCsv, ModeBoxCsvRowsAreWholeAndItsListGoesOnInTheNextLine) {
  st.PRINTMODEBOX();
  const std::string csv = file("a.csv");
  EXPECT_EQ(csv.find('\xA4'), std::string::npos) << csv;
  const auto rows = csvparse::rows(csv);
  ASSERT_EQ(rows.size(), 2u) << csv;
  ASSERT_EQ(rows[0].size(), static_cast<std::size_t>(3 + 2 * nph + 1)) << csv;
  ASSERT_EQ(rows[1].size(), rows[0].size()) << csv;
  EXPECT_EQ(rows[0][0], "   P(kbar)");
  EXPECT_EQ(std::stod(rows[1][0]), 10);
  EXPECT_EQ(std::stod(rows[1][1]), 700);
  EXPECT_EQ(std::stod(rows[1][2]), 0);
  for (long n = 1; n <= 2 * nph; ++n) {
    const std::string name = rows[0][static_cast<std::size_t>(2 + n)];
    const double value = std::stod(rows[1][static_cast<std::size_t>(2 + n)]);
    EXPECT_EQ(name.substr(name.find_first_not_of(' ')), WHSTRINGS[n]);
    EXPECT_NEAR(value, n % 2 == 1 ? mode((n + 1) / 2) : 0, 5e-6) << WHSTRINGS[n];
  }

  // The drawing data's mode box: the position, then each phase's mode.
  const std::string box = joined(",", "  ");
  ASSERT_EQ(box.rfind("{{10.000, 700.00, 0}, ", 0), 0u) << box;
  EXPECT_TRUE(box.ends_with("}}, ")) << box;
  std::size_t at = 0;
  for (long k = 1; k <= nph; ++k) {
    const std::string item = "{\"" + phase(k) + "\", ";
    at = box.find(item, at);
    ASSERT_NE(at, std::string::npos) << phase(k) << " in " << box;
    at += item.size();
    EXPECT_NEAR(std::stod(box.substr(at)), mode(k), 5e-6) << phase(k);
  }
}

TEST_F(WideDrawingCsv, ListRowKeepsEveryProductAndThePosition) {
  CONTROLJX.moreprec = yes;
  st.PRINTROWMATH();
  const std::string row = joined(",", "  ");
  ASSERT_TRUE(row.ends_with("},")) << row;
  std::vector<double> v;
  std::istringstream in(row.substr(1, row.size() - 3));
  for (std::string w; std::getline(in, w, ',');) v.push_back(std::stod(w));
  // P, T, G, H, S, V, rho, each phase's mode times G, the position.
  ASSERT_EQ(v.size(), static_cast<std::size_t>(7 + nph + 1)) << row;
  EXPECT_EQ(v[0], 10);
  EXPECT_EQ(v[1], 700);
  for (long k = 1; k <= nph; ++k) EXPECT_NEAR(v[static_cast<std::size_t>(6 + k)], mode(k) * g(k), 5e-9) << k;
  EXPECT_EQ(v.back(), 0.25);
}

TEST_F(WideDrawingCsv, HeldVariablesGoOnAsAComment) {
  CONTROLJX.plotix = yes;
  st.PRINTROWQK();
  const std::string row = joined(",", std::string(13, ' ') + "% ");
  // The step's position, P, T, then the held variables.
  const std::string head = "0.25000 10.000 700.00  % ";
  ASSERT_EQ(row.rfind(head, 0), 0u) << row;
  std::istringstream in(row.substr(head.size()));
  long k = 0;
  for (std::string item; std::getline(in, item, ',');) {
    ++k;
    const std::size_t eq = item.find(" = ");
    ASSERT_NE(eq, std::string::npos) << item;
    EXPECT_EQ(item.substr(item.find_first_not_of(' '), eq - item.find_first_not_of(' ')), heldname(k));
    EXPECT_NEAR(std::stod(item.substr(eq + 3)), held(k), 1e-12) << item;
  }
  EXPECT_EQ(k, nheld);
}

}  // namespace
