// The dogmin bookkeeping of a point and the dogmin report, driven by hand
// on result records: solutions al (x(al)) and be (x(be), with a second,
// boiled-down variable y(be)) out of MgO and FeO, and quartz in excess.
#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "equilibria/zqnle2.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/zqglobal_dogmin.h"
#include "frame/zqglobal_mode1.h"
#include "frame/zqglobal_script.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

const std::string deg = "\xA1";

// One phase record of a seen assemblage: name, phase number, mode, its
// variable's value (none for quartz).
struct entry {
  std::string name;
  smallint phase;
  extended mode;
  extended x;
};

class Dogmin : public ::testing::Test {
 protected:
  assemblage::tables t;
  testsupport::ScratchDir dir;
  ZQNLE2::solvestate st;

  void SetUp() override {
    NPSS = 2;
    NP0 = 1;
    NP = 3;
    ptype1& al = (*PREC1)[1];
    al.name = "al";
    al.nvar = 1;
    al.xvar[1].name = "x(al)";
    al.xvar[1].high = 1;
    ptype1& be = (*PREC1)[2];
    be.name = "be";
    be.nvar = 1;
    be.nvar0 = 2;
    be.varname0[1] = "x(be)";
    be.varname0[2] = "y(be)";
    be.varkept[1] = true;
    be.xvar[1].name = "x(be)";
    be.xvar[1].low = -0.5L;
    be.xvar[1].high = 1;
    (*PREC0)[1].name = "q";
    PINEX[3] = true;
    NPINEX = 1;
    HEAD1 = "head one";
    HEAD2 = "head two";
    HEAD3 = "head three";
    IO::CONTROLIO.pagewidth = 80;
    IO::CONTROLIO.dontwrap = false;  // the report's lines reach the terminal whole
    DOGMIN = true;
    testsupport::openchannel(CHANNEL::DETAILSBIT, "ic.txt");
    testsupport::openchannel(CHANNEL::LOGBIT, "log.txt");
  }

  std::string file(const std::string& name) {
    IO::FLUSHER();
    return dir.read(name);
  }

  // A grid of n points at 6 kbar and 650, 700, ... degrees.
  void grid(smallint n) {
    NGMIN = n;
    for (smallint k = 1; k <= n; ++k) {
      GMININFO[k] = gminrec{};
      GMININFO[k].p = 6;
      GMININFO[k].t = 923.15L + 50 * (k - 1);
      GMININFO[k].del = 100;
    }
  }

  // The equilibrium just solved: its phases as SU records and as PH.
  void solved(const std::vector<entry>& es, extended g) {
    SU = sutype{};
    SU.nph = static_cast<smallint>(es.size());
    SU.variance = static_cast<smallint>(4 - static_cast<int>(es.size()) + 1);
    SU.pressure = GMININFO[1].p;
    SU.temperature = GMININFO[1].t;
    SU.nuv = SU.nuvleft = 2;
    SU.compname[1] = "MgO";
    SU.compname[2] = "FeO";
    SU.bulk(1, 1) = 0.65L;
    SU.bulk(1, 2) = 0.35L;
    st.PH.fill(false);
    for (smallint i = 1; i <= SU.nph; ++i) {
      const entry& e = es[static_cast<std::size_t>(i - 1)];
      suphasetype& r = SU.ph[i];
      r.name = e.name;
      r.phase = e.phase;
      r.hasmode = true;
      r.mode[1] = e.mode;
      r.nem = e.name == "q" ? 1 : 2;
      r.varnames[1] = "x(" + e.name + ")";
      r.x[1] = e.x;
      r.comp[1] = 1 - e.x;
      r.comp[2] = e.x;
      st.PH[e.name == "al" ? 1 : e.name == "be" ? 2 : 3] = true;
    }
    GIBBS = g;
  }

  // One assemblage through the bookkeeping at every grid point: seen where
  // its G is given, else with the outcome code.
  void assemblage(const std::vector<entry>& es, const std::vector<extended>& gs, const std::vector<smallint>& codes) {
    ++NGI;
    for (smallint k = 1; k <= NGMIN; ++k) {
      KGMIN = k;
      const bool seen = codes[static_cast<std::size_t>(k - 1)] == 0;
      solved(es, seen ? gs[static_cast<std::size_t>(k - 1)] : 0);
      st.NLECODE = codes[static_cast<std::size_t>(k - 1)];
      st.PRINTGINFO(false, seen);
    }
  }

  // The lines of the terminal that PRINTGMIN writes.
  std::vector<std::string> report() {
    testsupport::Terminal term;
    ZQNLE2::PRINTGMIN();
    return testsupport::lines(term.text());
  }
};

const entry al{"al", 1, 0.5L, 0.3L}, be{"be", 2, 0.5L, 0.4L}, q{"q", 3, 0.25L, 0};
const entry alonly{"al", 1, 1, 0.35L}, beonly{"be", 2, 1, 0.35L};

bool contains(const std::vector<std::string>& lines, const std::string& line) {
  for (const auto& l : lines)
    if (l == line) return true;
  return false;
}

std::size_t indexof(const std::vector<std::string>& lines, const std::string& start) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind(start, 0) == 0) return i;
  return lines.size();
}

TEST_F(Dogmin, GridRowsMarkEachPointAndKeepTheGapsToTheMinimum) {
  DOGLEVEL = 2;
  grid(3);
  // seen at 1 and 3, failed at 2; then calculated but not seen at 2;
  // then a lower G at 1 and one between at 3; then one above at 1.
  assemblage({al, be, q}, {-100, 0, -50}, {0, 3, 0});
  assemblage({al, q}, {0, 0, 0}, {1, 8, 2});
  assemblage({be, q}, {-101.5L, 0, -49}, {0, 8, 0});
  assemblage({al, be, q}, {-100.25L, 0, -50.5L}, {0, 1, 0});
  const auto rows = testsupport::lines(file("ic.txt"));
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[1], "===========================================================");
  EXPECT_EQ(rows[2], "all equilibria, with q in excess");
  EXPECT_EQ(rows[3], "#     al   be");
  EXPECT_EQ(rows[4], "1      X    X     # - # ");
  EXPECT_EQ(rows[5], "2      X    -     - x - ");
  EXPECT_EQ(rows[6], "3      -    X     # x # ");
  EXPECT_EQ(rows[7], "4      X    X     # - # ");

  struct expect {
    extended gmin, del;
    smallint ncalc, imin;
  };
  // Point 1: -100, then a lower -101.5 (gap 1.5), then -100.25 between
  // (gap 1.25). Point 2: nothing seen. Point 3: -50, -49 above (gap 1),
  // -50.5 lower (gap 0.5).
  const expect want[] = {{-101.5L, 1.25L, 3, 3}, {0, 100, 0, 0}, {-50.5L, 0.5L, 3, 4}};
  for (smallint k = 1; k <= 3; ++k) {
    SCOPED_TRACE(k);
    const gminrec& g = GMININFO[k];
    EXPECT_NEAR(static_cast<double>(g.gmin), static_cast<double>(want[k - 1].gmin), 1e-12);
    EXPECT_NEAR(static_cast<double>(g.del), static_cast<double>(want[k - 1].del), 1e-12);
    EXPECT_EQ(g.ncalc, want[k - 1].ncalc);
    EXPECT_EQ(g.imin, want[k - 1].imin);
  }
  EXPECT_TRUE(GMININFO[1].ph[2] && !GMININFO[1].ph[1]);
  EXPECT_TRUE(GMININFO[3].ph[1] && GMININFO[3].ph[2]);
  EXPECT_EQ(NONEDOG, 0);  // a grid keeps no assemblages

  // The table of minima: a point with nothing seen has no phase columns,
  // a negative gap is shown as wrong, a single one as "-".
  GMININFO[3].del = -0.001L;
  GMININFO[2].ncalc = 1;
  GMININFO[2].gmin = -7;
  GMININFO[2].ph.fill(false);
  GMININFO[2].ph[1] = GMININFO[2].ph[3] = true;
  const auto shown = report();
  EXPECT_EQ(shown[1], "##########################################################");
  EXPECT_EQ(shown[2], "Gibbs energy minimisation with  al be, with, in excess, q");
  EXPECT_EQ(shown[3], "");
  EXPECT_EQ(shown[4], " P(kbar)     T(" + deg + "C)     al     be            G       del     n     #");
  EXPECT_EQ(shown[5], "   6.000   650.000      .      X   -101.50000   1.25000     3     3");
  EXPECT_EQ(shown[6], "   6.000   700.000      X      .     -7.00000         -     1     0");
  EXPECT_EQ(shown[7], "   6.000   750.000      X      X    -50.50000    *wrong     3     4");
  EXPECT_EQ(shown[8], "");
  EXPECT_LT(indexof(shown, "note that dogmin for a single PT"), shown.size());
}

TEST_F(Dogmin, ProgressMarksAndTheTooManyLimits) {
  DOGLEVEL = 1;
  grid(1);
  std::string out;
  // An "@" at every 50th equilibrium, at levels below 2 only.
  for (smallint n = 1; n <= 100; ++n) {
    NGI = n;
    KGMIN = 1;
    st.NLECODE = 1;
    testsupport::Terminal term;
    st.PRINTGINFO(false, false);
    out += term.text();
  }
  EXPECT_EQ(out, "@@");
  DOGLEVEL = 2;
  NGI = 150;
  {
    testsupport::Terminal term;
    st.PRINTGINFO(false, false);
    EXPECT_EQ(term.text(), "");
  }

  // 200 seen assemblages are kept; the 201st ends the run after two lines
  // on the terminal.
  DOGLEVEL = 0;
  NGI = 0;
  {
    testsupport::Terminal quiet;
    for (int n = 1; n <= 200; ++n) assemblage({al, be, q}, {-100.0L + n}, {0});
  }
  EXPECT_EQ(NONEDOG, 200);
  std::string end;
  {
    testsupport::Terminal term;
    end = fatal([&] { assemblage({al, be, q}, {-1}, {0}); });
    EXPECT_EQ(term.text().substr(0, 51), "\nuse less phases and/or have more phases in excess\n");
  }
  EXPECT_EQ(end, "dogmin: too many equilibria");
}

TEST_F(Dogmin, ExactlyTwoHundredPrintNoNearMinimumList) {
  DOGLEVEL = 1;
  grid(1);
  {
    testsupport::Terminal quiet;
    for (int n = 1; n <= 200; ++n) assemblage({al, be, q}, {-100.0L + n / 100.0L}, {0});
  }
  auto shown = report();
  EXPECT_EQ(indexof(shown, "assemblage modes for minimum G"), shown.size());
  NONEDOG = 199;
  shown = report();
  EXPECT_LT(indexof(shown, "assemblage modes for minimum G"), shown.size());
}

TEST_F(Dogmin, NearMinimumListInIncreasingGWithinTwoKilojoules) {
  DOGLEVEL = 1;
  struct listcase {
    const char* name;
    std::vector<extended> gs;  // G of each seen assemblage in turn
    std::vector<int> order;    // the rows listed: their equilibrium numbers
  };
  const listcase cases[] = {
      {"ties keep the earlier", {-10, -12, -11, -12}, {2, 4, 3, 1}},
      {"stops beyond 2 above the minimum", {-10.6L, -12.5L, -12, -9}, {2, 3, 1}},
      {"a second 2.5 above leaves one row", {-10, -12.5L}, {2}},
      {"entries of 10000 or more are never listed", {10000, -5, 20000, -4}, {2, 4}},
      {"only unusable entries: no rows", {10000, 10001}, {}},
      {"at most 20 rows", std::vector<extended>(25, -3), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17,
                                                         18, 19, 20}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    grid(1);
    NGI = 0;
    NONEDOG = 0;
    for (extended g : c.gs) assemblage({al, be, q}, {g}, {0});
    const auto shown = report();
    const std::size_t head = indexof(shown, "assemblage modes for minimum G");
    ASSERT_LT(head + 2, shown.size());
    EXPECT_EQ(shown[head], "assemblage modes for minimum G, and near minimum G, at P = 6.00 kbar and T = 650.0" + deg +
                               "C");
    EXPECT_EQ(shown[head + 2], "    #      al      be  :       q            G      odel       del");
    std::vector<int> got;
    for (std::size_t r = head + 3; r < shown.size() && shown[r].size() > 5 && shown[r][4] != ' '; ++r)
      got.push_back(std::stoi(shown[r].substr(0, 5)));
    EXPECT_EQ(got, c.order);
  }
}

TEST_F(Dogmin, NearMinimumRowsShowModesPerPhaseAndTheGaps) {
  DOGLEVEL = 1;
  grid(1);
  assemblage({al, be, q}, {-12}, {0});
  assemblage({alonly, q}, {-11.5L}, {0});
  assemblage({beonly, q}, {-11}, {0});
  const auto shown = report();
  const std::size_t head = indexof(shown, "    #      al      be");
  ASSERT_LT(head + 3, shown.size());
  EXPECT_EQ(shown[head + 1], "    1   0.500   0.500  :   0.250    -12.00000         -         -");
  EXPECT_EQ(shown[head + 2], "    2   1.000      -   :   0.250    -11.50000   0.50000   0.50000");
  EXPECT_EQ(shown[head + 3], "    3      -    1.000  :   0.250    -11.00000   1.00000   0.50000");
}

TEST_F(Dogmin, SinglePointReportOfTheStableAssemblage) {
  DOGLEVEL = 1;
  grid(1);
  assemblage({al, be, q}, {-12}, {0});
  assemblage({alonly, q}, {-11.5L}, {0});
  assemblage({beonly, q}, {0}, {8});
  const auto shown = report();
  EXPECT_EQ(shown[2], "Gibbs energy minimisation gives the divariant assemblage al be q ");
  EXPECT_EQ(shown[3], "with, in excess, q, and with no additional phases tried");
  EXPECT_EQ(shown[5], "   P(kbar)     T(" + deg + "C)     x(al)     x(be)");
  EXPECT_EQ(shown[6], "    6.0000   650.000    0.3000    0.4000");
  EXPECT_EQ(shown[8], "mode        al        be         q");
  EXPECT_EQ(shown[9], "        0.5000    0.5000    0.2500");
  EXPECT_EQ(shown[11], "Gibbs energy minimisation info at P = 6.00 kbar and T = 650.0" + deg + "C, with, in excess, q");
  EXPECT_EQ(shown[13], "     al     be            G       del     n     #");
  EXPECT_EQ(shown[14], "      X      X    -12.00000   0.50000     2     1");

  // The details table: one row per assemblage, G of the seen ones, "---"
  // for the one calculated but not seen; then the headers of the run.
  const std::string ic = file("ic.txt");
  EXPECT_NE(ic.find("#     al   be            G\n"
                    "1      X    X      -12.00000\n"
                    "2      X    -      -11.50000\n"
                    "3      -    X        ---\n"),
            std::string::npos);
  EXPECT_NE(ic.find("'---' = calculated but not seen\n-----------------------------------------------------------\n"
                    "head one\nhead two\nhead three\n"),
            std::string::npos);

  // The copy-back blocks of the stable assemblage, whatever was solved last.
  const std::string log = file("log.txt");
  const std::string rule = "% --------------------------------------------------------\n";
  EXPECT_NE(log.find(rule + "rbi                             MgO         FeO\n" + rule +
                     "rbi      al    0.500000    0.700000    0.300000\n"
                     "rbi      be    0.500000    0.600000    0.400000\n"
                     "rbi       q    0.250000           1           0\n" +
                     rule + "% bulk                      65.0000     35.0000\n" + rule),
            std::string::npos);
  EXPECT_NE(log.find(rule + "ptguess 6.0 650\n" + rule + "xyzguess x(al)         0.300000\n" +
                     "% -----------------------------\n"
                     "xyzguess x(be)         0.400000  range -0.500 1.000\n"
                     "xyzguess y(be)                0  % boiler\n" +
                     rule),
            std::string::npos);
}

TEST_F(Dogmin, WideCompositionTablesBreakAtThePageWidth) {
  DOGLEVEL = 0;
  IO::CONTROLIO.pagewidth = 30;
  grid(1);
  assemblage({al, be, q}, {-12}, {0});
  const auto shown = report();
  EXPECT_EQ(shown[5], "   P(kbar)     T(" + deg + "C)     x(al)");
  EXPECT_EQ(shown[6], "    6.0000   650.000    0.3000");
  EXPECT_EQ(shown[7], "                         x(be)");
  EXPECT_EQ(shown[8], "                        0.4000");
  EXPECT_EQ(shown[9], "");
}

TEST_F(Dogmin, ZeroedModesAreRenormalised) {
  DOGLEVEL = 0;
  struct zcase {
    std::vector<std::string> zeroed;
    std::string line;  // the renormalised line, empty when none
  };
  const zcase cases[] = {
      {{}, ""},
      {{"q"}, "        0.6667    0.6667            mode zeroed"},
      {{"q", "al"}, "                  2.0000            modes zeroed"},
  };
  for (const auto& c : cases) {
    grid(1);
    NGI = 0;
    NONEDOG = 0;
    NTOZEROSTRINGS = static_cast<smallint>(c.zeroed.size());
    for (std::size_t k = 0; k < c.zeroed.size(); ++k) TOZEROSTRINGS[static_cast<long>(k + 1)] = c.zeroed[k];
    assemblage({al, be, q}, {-12}, {0});
    const auto shown = report();
    EXPECT_EQ(shown[10], c.line);
  }
}

TEST_F(Dogmin, FeOIsWrittenAsTotalIronBesideO) {
  grid(1);
  assemblage({al, be, q}, {-12}, {0});
  KSU.nuv = 3;
  KSU.compname[3] = "O";
  ZQNLE2::PRINTBULK2();
  EXPECT_NE(file("log.txt").find("rbi                             MgO        FeOt           O\n"), std::string::npos);
}

// A copy-back block of more components than a line holds goes on in the
// next line, each row ended by the script's continuation mark, so that the
// block pasted back reads each row whole: every amount in its place, the
// bulk line as a comment with every component's value.
TEST_F(Dogmin, CopyBackBlockWiderThanALineGoesOnInTheNextLine) {
  grid(1);
  assemblage({al, be, q}, {-12}, {0});
  constexpr smallint ncomp = 22;
  KSU.nuv = KSU.nuvleft = ncomp;
  for (smallint c = 3; c <= ncomp; ++c) {
    KSU.compname[c] = "C" + std::to_string(c);
    KSU.bulk(1, c) = c / 1000.0L;  // written as c/10 mol %
    for (smallint i = 1; i <= KSU.nph; ++i) KSU.ph[i].comp[c] = 100 * i + c;
  }
  ZQNLE2::PRINTBULK2();
  const std::string log = file("log.txt");
  EXPECT_EQ(log.find('\xA4'), std::string::npos);
  // the block's lines from its heading, each row joined over its marks
  std::vector<std::string> rows;
  std::istringstream in(log.substr(log.find("\nrbi ") + 1));
  std::string line, row;
  while (std::getline(in, line) && rows.size() < 8) {
    EXPECT_LE(line.size(), 255U) << line;  // what a reader takes of a line
    const bool goeson = line.size() >= 2 && line.compare(line.size() - 2, 2, " \\") == 0;
    row += goeson ? line.substr(0, line.size() - 2) : line;
    if (!goeson) rows.push_back(std::exchange(row, ""));
  }
  auto words = [](const std::string& text) {
    std::vector<std::string> w;
    std::istringstream ws(text);
    for (std::string x; ws >> x;) w.push_back(x);
    return w;
  };
  ASSERT_GE(rows.size(), 6U);
  const auto heading = words(rows[0]);
  ASSERT_EQ(heading.size(), 1U + ncomp) << rows[0];
  EXPECT_EQ(heading[1], "MgO");
  EXPECT_EQ(heading[ncomp], "C22");
  const char* names[] = {"al", "be", "q"};
  for (int i = 1; i <= 3; ++i) {
    const auto w = words(rows[static_cast<std::size_t>(i + 1)]);
    ASSERT_EQ(w.size(), 3U + ncomp) << rows[static_cast<std::size_t>(i + 1)];
    EXPECT_EQ(w[1], names[i - 1]);
    for (smallint c = 3; c <= ncomp; ++c) EXPECT_EQ(w[static_cast<std::size_t>(c + 2)], std::to_string(100 * i + c));
  }
  // the bulk line and its comment lines after the rule
  const std::size_t at = log.find("% bulk");
  ASSERT_NE(at, std::string::npos);
  std::istringstream bulk(log.substr(at));
  std::vector<std::string> values;
  while (std::getline(bulk, line) && line.rfind("% -", 0) != 0)
    for (const std::string& w : words(line))
      if (w != "%" && w != "bulk") values.push_back(w);
  ASSERT_EQ(values.size(), static_cast<std::size_t>(ncomp));
  EXPECT_EQ(values[0], "65.0000");
  for (smallint c = 3; c <= ncomp; ++c)
    EXPECT_NEAR(std::stod(values[static_cast<std::size_t>(c - 1)]), c / 10.0, 1e-9) << c;
}

// The first assemblage seen at a point is its minimum whatever its sign;
// with nothing seen the report says so and writes no stable assemblage.
TEST_F(Dogmin, PositiveEnergiesAndNothingSeen) {
  DOGLEVEL = 1;
  grid(1);
  assemblage({al, be, q}, {5}, {0});
  assemblage({alonly, q}, {3}, {0});
  assemblage({beonly, q}, {4}, {0});
  EXPECT_NEAR(static_cast<double>(GMININFO[1].gmin), 3, 1e-12);
  EXPECT_NEAR(static_cast<double>(GMININFO[1].del), 1, 1e-12);
  EXPECT_EQ(GMININFO[1].imin, 2);
  auto shown = report();
  EXPECT_EQ(shown[2], "Gibbs energy minimisation gives the trivariant assemblage al q ");
  EXPECT_EQ(shown[3], "with, in excess, q, also trying assemblages involving be");
  EXPECT_TRUE(contains(shown, "      X      .      3.00000   1.00000     3     2"));

  // A later pass where nothing is seen: the record kept from the pass
  // before is not used.
  grid(1);
  NGI = 0;
  NONEDOG = 0;
  assemblage({al, be, q}, {0}, {8});
  assemblage({alonly, q}, {0}, {2});
  const std::size_t logbefore = file("log.txt").size();
  shown = report();
  EXPECT_EQ(shown[2], "Gibbs energy minimisation found no assemblage");
  EXPECT_EQ(indexof(shown, "Gibbs energy minimisation gives"), shown.size());
  EXPECT_TRUE(contains(shown, "            0         -     0     0"));
  EXPECT_EQ(file("log.txt").find("ptguess", logbefore), std::string::npos);
}

}  // namespace

// Each row of the copy-back block keeps a blank between the keyword and the
// phase's name at any length of the name, so that the pasted row reads as
// "rbi" and the name, not as one unknown keyword; a name of up to 7
// characters stands where it always has.
TEST_F(Dogmin, CopyBackRowsKeepTheKeywordApartFromTheName) {
  for (const std::size_t length : {7u, 8u, 22u}) {
    SCOPED_TRACE(length);
    grid(1);
    assemblage({al, be, q}, {-12}, {0});
    std::vector<std::string> names;
    for (smallint i = 1; i <= KSU.nph; ++i) {
      KSU.ph[i].name = KSU.ph[i].name + std::string(length - KSU.ph[i].name.size(), 'w');
      names.push_back(KSU.ph[i].name);
    }
    const std::size_t seen = file("log.txt").size();
    ZQNLE2::PRINTBULK2();
    const std::string log = file("log.txt").substr(seen);
    for (const std::string& name : names) {
      EXPECT_NE(log.find("\nrbi " + name + "  "), std::string::npos) << log;
    }
    if (length == 7) {
      EXPECT_NE(log.find("\nrbi " + names[0] + "    0.500000"), std::string::npos) << log;
    }
  }
}
