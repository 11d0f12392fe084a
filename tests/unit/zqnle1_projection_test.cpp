// The projection of a point's phases onto the compatibility diagram: ol
// and opx out of MgO, FeO, SiO2 with q in excess, onto the apices MgO and
// FeO; cr (silica too) lies in the plane through q.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "equilibria/zqnle1.h"
#include "frame/zqglobal_projection.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_solver.h"
#include "frame/zqglobal_windows.h"

using namespace ZQGLOBAL;

namespace {

class Projection : public ::testing::Test {
 protected:
  assemblage::tables t;
  testsupport::ScratchDir dir;
  bemvector ph{"test ph"};
  IO::strings names{"test names"};
  emvector v{"test v"};

  void SetUp() override {
    using assemblage::row;
    assemblage::system s;
    s.components = {"MgO", "FeO", "SiO2"};
    s.modes = false;
    s.solutions = {assemblage::onesite("ol", axtype::ideal, {"x(ol)"}, {"1 - x(ol)", "x(ol)"},
                                       {row("fo", {2, 0, 1}, 0, 0, 0), row("fa", {0, 2, 1}, 0, 0, 0)}),
                   assemblage::onesite("opx", axtype::ideal, {"x(opx)"}, {"1 - x(opx)", "x(opx)"},
                                       {row("en", {2, 0, 2}, 0, 0, 0), row("fs", {0, 2, 2}, 0, 0, 0)})};
    s.pures = {{row("q", {0, 0, 1}, 0, 0, 0)}, {row("cr", {0, 0, 1}, 0, 0, 0)}};
    assemblage::layout(s);
    X[3] = 0.2L;
    X[4] = 0.3L;
    NP = 4;
    ph.fill(false);
    for (smallint i = 1; i <= 4; ++i) ph[i] = true;
    PINEX[3] = true;
    NPROJAPEX = 3;
    IENPROJPLANE = 1;
    const char* apices[] = {"MgO", "FeO", "q"};
    for (smallint j = 1; j <= 3; ++j) {
      PROJNAMES[j] = apices[j - 1];
      for (smallint i = 1; i <= 3; ++i) PROJPLANE(j, i) = i == j ? 1 : 0;
    }
    SU = sutype{};
    NCOMP = 1;
    COMP1[1] = 38, COMP1[2] = 12, COMP1[3] = 40;
    VARIANCE = 2;
    testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk.txt");
    testsupport::openchannel(CHANNEL::CSVBIT, "a.csv");
  }

  std::string run() {
    testsupport::Terminal term;
    ZQNLE1::MAKEPROJECTION(ph, names, v, 10, 973.15L);
    IO::FLUSHER();
    return term.text();
  }

  // The numbers of the table row that starts with label.
  static std::vector<double> values(const std::string& out, const std::string& label) {
    std::istringstream in(out);
    std::string line;
    std::vector<double> v;
    while (std::getline(in, line))
      if (line.rfind(label, 0) == 0) {
        std::istringstream words(line.substr(label.size()));
        std::string w;
        while (words >> w && w != "#") v.push_back(std::stod(w));
      }
    return v;
  }
};

TEST_F(Projection, PhasesAsAmountsOfTheApices) {
  const std::string out = run();
  EXPECT_NE(out.find("\nproj        MgO      FeO        q    phase\n"), std::string::npos) << out;
  // Each row is a reaction among MgO, FeO, q and the phase: it balances in
  // every free component, and the two plane apices make 1.
  const std::vector<std::vector<double>> comps = {{1.6, 0.4, 1}, {1.4, 0.6, 2}};
  const char* labels[] = {"ol    ", "opx   "};
  for (int p = 0; p < 2; ++p) {
    SCOPED_TRACE(labels[p]);
    const std::vector<double> r = values(out, labels[p]);
    ASSERT_EQ(r.size(), 4u) << out;
    EXPECT_NEAR(r[0] + r[1], 1, 1e-4);
    const std::vector<double>& c = comps[static_cast<std::size_t>(p)];
    EXPECT_NEAR(r[0] + r[3] * c[0], 0, 1e-3);
    EXPECT_NEAR(r[1] + r[3] * c[1], 0, 1e-3);
    EXPECT_NEAR(r[2] + r[3] * c[2], 0, 1e-3);
  }
  // cr lies in the plane through q: its row is unnormalised, the MgO and
  // FeO columns blank.
  const std::size_t at = out.find("\ncr                  ");
  ASSERT_NE(at, std::string::npos) << out;
  EXPECT_NE(out.find("  #\n", at), std::string::npos);
  EXPECT_EQ(dir.read("qk.txt"), "");
  // The bulk of the one seen step.
  SU.firstmodeset = 1;
  SU.nmodeset = 1;
  const std::string comp = run();
  EXPECT_NE(comp.find("\ncomp        MgO      FeO        q     bulk\n"), std::string::npos) << comp;
  const std::vector<double> b = values(comp, "      ");
  ASSERT_EQ(b.size(), 4u) << comp;
  EXPECT_NEAR(b[0], 0.76, 1e-4);
  EXPECT_NEAR(b[1], 0.24, 1e-4);
  EXPECT_NEAR(b[2] / b[3], -40, 1e-2);  // the bulk in percent, q in oxide units
}

TEST_F(Projection, CompatibilityListsAndCsvRows) {
  CONTROLJX.compatibility = yes;
  CONTROLJX.plotix = yes;
  run();
  const std::string plotix = dir.read("qk.txt");
  EXPECT_NE(plotix.find("   0.8000   0.2000   %  ol      \n"), std::string::npos) << plotix;
  CONTROLJX.plotix = no;
  VARIANCE = 1;
  NISO = 1;
  BX[4] = false;
  X[4] = 0.3L;
  names[1] = "ol", names[2] = "opx", names[3] = "q";
  v[1] = -1, v[2] = 1, v[3] = 0.5L;
  run();
  const std::string lists = dir.read("qk.txt").substr(plotix.size());
  EXPECT_NE(lists.find("(*---------------------------------------------------------*)\n{{10.000, 700.00}, \n"
                       " {\"ol\", }, {\"opx\",}, \n"
                       "         {{\"ol\", "),
            std::string::npos)
      << lists;
  EXPECT_NE(lists.find("1.000000}}, 0.300},   (* x(opx)   *) \n"), std::string::npos) << lists;
  EXPECT_NE(lists.find(",    "), std::string::npos) << lists;
  const std::string csv = dir.read("a.csv");
  EXPECT_NE(csv.find("    ol,  0.800000,  0.200000,  0.500000,    10.000,    700.00, x(opx) =0.300\n"),
            std::string::npos) << csv;
  EXPECT_EQ(csv.substr(csv.size() - 2), "\n\n");
}

// The comp table over a bulk range of five steps between two bulks: the
// MgO share of the plane apices at step k is that of the bulk a quarter of
// the way further per step.
TEST_F(Projection, CompTableOfABulkRange) {
  NCOMP = 5;
  COMP2[1] = 20, COMP2[2] = 30, COMP2[3] = 40;
  const auto mgo = [](smallint k) {
    const double g = (k - 1) / 4.0;
    return (38 * (1 - g) + 20 * g) / (50 * (1 - g) + 50 * g);
  };
  struct {
    const char* what;
    bool bynle;
    smallint ovariance, nmodeset, firstmodeset, kcomp;
    std::vector<smallint> steps;
  } cases[] = {
      {"a univariant line: two rows to a step", false, 1, 4, 2, 1, {2, 3}},
      {"an isopleth across the range: a row a step", false, 2, 3, 2, 1, {2, 3, 4}},
      {"modes solved with the equations: the point's own step", true, 2, 1, 1, 3, {3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MODESBYNLE = c.bynle;
    MODESAFTERNLE = !c.bynle;
    OVARIANCE = c.ovariance;
    VARIANCE = 1;
    SU.nmodeset = c.nmodeset;
    SU.firstmodeset = c.firstmodeset;
    SU.kcomp = c.kcomp;
    const std::string out = run();
    const std::size_t at = out.find("\ncomp ");
    ASSERT_NE(at, std::string::npos) << out;
    const std::string table = out.substr(at);
    EXPECT_EQ(static_cast<std::size_t>(std::count(table.begin(), table.end(), '\n')), c.steps.size() + 2) << table;
    for (smallint k : c.steps) {
      const std::vector<double> b = values(table, std::to_string(k) + "     ");
      ASSERT_EQ(b.size(), 4u) << table;
      EXPECT_NEAR(b[0], mgo(k), 1e-4);
      EXPECT_NEAR(b[1], 1 - mgo(k), 1e-4);
    }
  }
}

}  // namespace

// A csv row longer than a line (here by the held variables' long names) is
// written whole on its one line: a csv reader takes a row as one line.
TEST_F(Projection, CsvRowLongerThanALineIsWhole) {
  CONTROLJX.compatibility = yes;
  CONTROLJX.plotix = no;
  VARIANCE = 1;
  NISO = 1;
  BX[3] = BX[4] = false;
  const std::string ol = "x(" + std::string(120, 'o') + ")", opx = "x(" + std::string(120, 'p') + ")";
  XNAME[3] = ol;
  XNAME[4] = opx;
  names[1] = "ol", names[2] = "opx", names[3] = "q";
  v[1] = -1, v[2] = 1, v[3] = 0.5L;
  run();
  const std::string csv = dir.read("a.csv");
  EXPECT_EQ(csv.find('\xA4'), std::string::npos) << csv;
  EXPECT_NE(csv.find("    ol,  0.800000,  0.200000,  0.500000,    10.000,    700.00, " + ol + " =0.200" + opx +
                     " =0.300\n"),
            std::string::npos)
      << csv;
}

// A phase's list in the drawing data whose coordinates pass the line's end
// (here after a long name) goes on in the next line, every coordinate kept.
TEST_F(Projection, DrawingListGoesOnInTheNextLine) {
  CONTROLJX.compatibility = yes;
  CONTROLJX.plotix = no;
  VARIANCE = 1;
  NISO = 1;
  BX[4] = false;
  const std::string ol = std::string(228, 'o');
  (*PREC1)[1].name = ol;
  names[1] = ol, names[2] = "opx", names[3] = "q";
  v[1] = -1, v[2] = 1, v[3] = 0.5L;
  run();
  const std::string qk = dir.read("qk.txt");
  EXPECT_EQ(qk.find('\xA4'), std::string::npos) << qk;
  const std::string first = "         {{\"" + ol + "\", ";
  const std::size_t at = qk.find(first);
  ASSERT_NE(at, std::string::npos) << qk;
  // The line ends after the name; the coordinates follow, one line on.
  EXPECT_EQ(qk.substr(at + first.size(), 1), "\n") << qk;
  const std::string next = std::string(10, ' ') + " 0.800000,  0.200000,     0.500000}, \n";
  EXPECT_EQ(qk.substr(at + first.size() + 1, next.size()), next) << qk;
  std::istringstream in(qk);
  for (std::string l; std::getline(in, l);) EXPECT_LE(l.size(), 250u) << l;
}

// With a mode or zero-mode isopleth as the one isopleth the held unknown is
// a mode, after the compositional ones: each record closes with its value
// and name as with a held composition, and the csv row ends with them too.
// One isopleth holding nothing the lists show closes as with none.
TEST_F(Projection, ListsClosedWhenTheIsoplethHoldsAMode) {
  CONTROLJX.compatibility = yes;
  CONTROLJX.plotix = no;
  VARIANCE = 1;
  NISO = 1;
  names[1] = "ol", names[2] = "opx", names[3] = "q";
  v[1] = -1, v[2] = 1, v[3] = 0.5L;
  auto braces = [](const std::string& s, char c) { return std::count(s.begin(), s.end(), c); };
  struct {
    const char* what;
    smallint nxp;
    std::string close, csvend;
  } cases[] = {
      {"the mode of opx held at 0.25", 2, "}}, 0.250},   (* opx   *) \n", "700.00, opx =0.250\n"},
      {"the mode of ol held at zero", 2, "}}, 0},   (* ol   *) \n", "700.00, ol =0\n"},
      {"nothing held", 0, "}} },\n", "700.00, \n"},
  };
  std::size_t qkseen = 0, csvseen = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    NXP = c.nxp;
    for (smallint x = 3; x <= 6; ++x) BX[x] = true;
    XNAME[5] = "ol", XNAME[6] = "opx";
    X[5] = 0, X[6] = 0.25L;
    if (c.nxp > 0) BX[c.close.find("opx") != std::string::npos ? 6 : 5] = false;
    run();
    const std::string all = dir.read("qk.txt"), allcsv = dir.read("a.csv");
    const std::string qk = all.substr(qkseen), csv = allcsv.substr(csvseen);
    qkseen = all.size(), csvseen = allcsv.size();
    EXPECT_EQ(braces(qk, '{'), braces(qk, '}')) << qk;
    ASSERT_GE(qk.size(), c.close.size());
    EXPECT_EQ(qk.substr(qk.size() - c.close.size()), c.close) << qk;
    EXPECT_NE(csv.find("    ol,  0.800000,  0.200000,  0.500000,    10.000,    " + c.csvend), std::string::npos) << csv;
  }
}
