// The printers of a solved calc-mode-1 point on a hand-filled result: ol
// and opx solutions and quartz in excess out of MgO, FeO, SiO2, with a
// spinel in the run that is not in the assemblage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "csvparse.h"
#include "iotestsupport.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "frame/zqglobal_nle.h"
#include "frame/zqglobal_sensitivity.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

const std::string deg = "\xA1";

void solution(smallint p, const std::string& name, const std::string& var, extended low, extended high) {
  ptype1& r = (*PREC1)[p];
  r.name = name;
  r.nvar = r.nvar0 = 1;
  r.xvar[1].name = var;
  r.varname0[1] = var;
  r.varkept[1] = true;
  r.xvar[1].low = low;
  r.xvar[1].high = high;
}

void record(smallint i, const std::string& name, bool hasmode, smallint nem, extended x, extended mode) {
  suphasetype& r = SU.ph[i];
  r.name = name;
  r.hasmode = hasmode;
  r.nem = nem;
  r.varnames[1] = "x(" + name + ")";
  r.x[1] = x;
  r.mode[1] = mode;
}

class PointPrinters : public ::testing::Test {
 protected:
  assemblage::tables t;
  testsupport::ScratchDir dir;
  ZQNLE2::solvestate st;

  void SetUp() override {
    NUV = NUVLEFT = 3;
    const char* comps[] = {"MgO", "FeO", "SiO2"};
    for (long c = 1; c <= 3; ++c) COMPNAME[c] = comps[c - 1], BCOMPS[c] = true;
    NPSS = 2;
    NP0 = 2;
    NP = 4;
    solution(1, "ol", "x(ol)", 0, 1);
    solution(2, "opx", "x(opx)", -1, 1);
    (*PREC0)[1].name = "q";
    (*PREC0)[2].name = "sp";
    st.PH.fill(false);
    st.PH[1] = st.PH[2] = st.PH[3] = true;
    PINEX[3] = true;
    NPINEX = 1;
    NCV = 5;
    STARTSS[1] = STARTSS[3] = true;
    EM2SS[1] = 1;
    EM2SS[3] = 2;
    NX = 4;
    NXP = 0;
    XNAME[1] = "P(kbar)";
    XNAME[2] = "T(" + deg + "C)";
    XNAME[3] = "x(ol)";
    XNAME[4] = "x(opx)";
    const extended xs[] = {10, 973.15L, 0.1234567L, 0.25L};
    const bool bs[] = {false, false, true, false};
    for (long v = 1; v <= 4; ++v) X[v] = xs[v - 1], BX[v] = bs[v - 1];
    CONVSTATUS = "ef";
    NLEIT = 7;
    SU.nph = 3;
    record(1, "ol", true, 2, 0.1234567L, 0.6L);
    record(2, "opx", true, 2, 0.25L, 0.4L);
    record(3, "q", false, 1, 0, 0);
    SU.pressure = 10;
    SU.temperature = 973.15L;
    SU.nmodeset = 1;
    SU.ncomp = 1;
    SU.gsys[1] = -4321.12345L;
    SU.hsys[1] = -3456.5L;
    SU.ssys[1] = 1.2345L;
    SU.vsys[1] = 4.5678L;
    SU.rhosys[1] = 3.2101L;
    CALCG = true;
    MODESBYNLE = false;
    MODESAFTERNLE = false;
    IO::CONTROLIO.pagewidth = 80;
    IO::CONTROLIO.dontwrap = false;  // the 80-character modes lines reach the terminal whole
    MAINLOOP = 1;
    NCOMP = 1;
    CONTROLJX.plotix = yes;
    CONTROLJX.plotixcode = 1;
    NWHSTRINGS = 4;
    const char* with[] = {"ol", "opx", "q", "sp"};
    for (long n = 1; n <= 4; ++n) WHSTRINGS[n] = with[n - 1];
    XPRECISION = 4;
    PPRECISION = 3;
    TPRECISION = 2;
    st.NOK = 1;
    testsupport::openchannel(CHANNEL::LOGBIT, "log.txt");
    testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk.txt");
    testsupport::openchannel(CHANNEL::CSVBIT, "a.csv");
    testsupport::openchannel(CHANNEL::CSV2BIT, "a-2.csv");
  }

  std::string file(const std::string& name) {
    IO::FLUSHER();
    return dir.read(name);
  }
  // What a printer writes to the terminal.
  std::string terminal(void (ZQNLE2::solvestate::*printer)()) {
    testsupport::Terminal term;
    (st.*printer)();
    return term.text();
  }
};

const std::string statusline = "------------------------------------------------------------ef 7\n";
const std::string variables = " P(kbar)     T(" + deg + "C)     x(ol)    x(opx)\n  10.000   700.000    0.1235      0.25\n";
const std::string modes =
    "\nmode          ol       opx           G           H         S         V       rho\n"
    "          0.6000    0.4000 -4321.12345 -3456.50000    1.2345    4.5678    3.2101\n";
const std::string rule = "% ----------------------------------------------------------\n";

TEST_F(PointPrinters, WholePointOnEveryChannel) {
  std::string shown;
  {
    testsupport::Terminal term;
    st.PRINTRESULT();
    st.PRINTMORESTUFF();
    shown = term.text();
  }
  EXPECT_EQ(shown, statusline + variables + modes);
  EXPECT_EQ(file("log.txt"), statusline + variables + modes + "\n" + rule +
                                 "% at P = 10.0, T = 700, for: ol opx q\n" + rule + "ptguess 10.000 700.00\n" + rule +
                                 "xyzguess x(ol)        0.1234567\n% -----------------------------\n"
                                 "xyzguess x(opx)       0.2500000  range -1.000 1.000\n" +
                                 rule + "\n");
  // G with seven decimals needs a mantissa beyond what the number text
  // holds, so it comes out with seven significant digits in exponent form.
  EXPECT_EQ(file("qk.txt"), "10.000 700.00  -4.321123e+3 -3456.50000 1.234500 4.567800 3.210100 % x(opx) = 0.25\n");
  const std::string csv = file("a.csv");
  EXPECT_EQ(csv, "   P(kbar),      T(" + deg + "C),          G,          H,          S,          V,        rho, \n"
                 "    10.000,     700.00, -4321.12345, -3456.50000,     1.2345,     4.5678,     3.2101,   ol opx - q \n");
  EXPECT_EQ(file("a-2.csv"), "   10.000,    700.00,   0.12346,   0.25000, \n");
  EXPECT_TRUE(IO::CSVFILEUSED && IO::CSV2FILEUSED);

  // Both files as a csv reader sees them: every row complete, the cells
  // laid out as written, the numbers readable.
  bool complete = false;
  const auto rows = csvparse::rows(csv, &complete);
  ASSERT_TRUE(complete);
  ASSERT_EQ(rows.size(), 2u);
  ASSERT_EQ(rows[0].size(), 8u);
  ASSERT_EQ(rows[1].size(), 8u);
  EXPECT_EQ(rows[0][1], "      T(" + deg + "C)");
  EXPECT_EQ(rows[1][7], "   ol opx - q ");
  const long double expect[] = {10, 700, -4321.12345L, -3456.5L, 1.2345L, 4.5678L, 3.2101L};
  for (int c = 0; c < 7; ++c) {
    long double x = 0;
    ASSERT_TRUE(csvparse::number(rows[1][c], x)) << rows[1][c];
    EXPECT_NEAR(static_cast<double>(x), static_cast<double>(expect[c]), 1e-9);
  }
  const auto rows2 = csvparse::rows(file("a-2.csv"), &complete);
  ASSERT_TRUE(complete);
  ASSERT_EQ(rows2.size(), 1u);
  ASSERT_EQ(rows2[0].size(), 5u);
  EXPECT_EQ(rows2[0][4], " ");
  long double x = 0;
  EXPECT_TRUE(csvparse::number(rows2[0][2], x));
  EXPECT_NEAR(static_cast<double>(x), 0.12346, 1e-12);
}

// A point with no mode row (its assemblage not seen) has no system
// properties: with them asked for in the rows it has no record and no row
// of the first csv file, whose heading and assemblage wait for the item's
// next row; without them its record and row stay.
TEST_F(PointPrinters, PointWithoutModeRowHasNoPropertyRows) {
  SU.nmodeset = 0;
  st.PRINTROWQK();
  st.PRINTCSV();
  EXPECT_EQ(file("qk.txt"), "");
  EXPECT_EQ(file("a.csv"), "");
  EXPECT_FALSE(IO::CSVFILEUSED);
  EXPECT_EQ(file("a-2.csv"), "   10.000,    700.00,   0.12346,   0.25000, \n");
  SU.nmodeset = 1;
  st.NOK = 2;
  st.PRINTCSV();
  EXPECT_EQ(file("a.csv"),
            "   P(kbar),      T(" + deg + "C),          G,          H,          S,          V,        rho, \n"
            "    10.000,     700.00, -4321.12345, -3456.50000,     1.2345,     4.5678,     3.2101,   ol opx - q \n");
  SU.nmodeset = 0;
  CONTROLJX.plotixcode = 0;
  st.NOK = 3;
  st.PRINTROWQK();
  st.PRINTCSV();
  EXPECT_EQ(file("qk.txt"), "10.000 700.00  % x(opx) = 0.25\n");
  EXPECT_TRUE(file("a.csv").ends_with("ol opx - q \n    10.000,     700.00, \n"));
}

TEST_F(PointPrinters, ListRowModeBoxAndBanner) {
  CONTROLJX.plotix = no;
  st.PRINTMORESTUFF();
  EXPECT_EQ(file("qk.txt"), "{10.000, 700.0000, -4.32112e+3, -3456.50000, 1.234500, 4.567800, 3.210100},\n");
  CONTROLJX.modebox = yes;
  testsupport::Terminal term;
  st.PRINTRESULT();
  st.PRINTMORESTUFF();
  EXPECT_EQ(file("qk.txt"), "{10.000, 700.0000, -4.32112e+3, -3456.50000, 1.234500, 4.567800, 3.210100},\n"
                            "\n{{10.000, 700.00, 0}, {\"ol\", 0.60000}, {\"opx\", 0.40000}, {\"q\", 0}}, \n");
  const std::string csv = file("a.csv");
  EXPECT_EQ(csv, "   P(kbar),      T(C),      prop,        ol,       opx,         q,        sp,\n"
                 "    10.000,    700.00,         0,   0.60000,   0.40000,         0,         0,\n");
  const auto rows = csvparse::rows(csv);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].size(), 8u);
  EXPECT_EQ(rows[1][7], "");
  EXPECT_EQ(terminal(&ZQNLE2::solvestate::PRINTHEADER1),
            "<==========================================================>\nphases: ol opx (q) or [sp] \n");
}

// Ten-character right-justified field, as the tables lay them out.
std::string f10(const std::string& s) { return std::string(s.size() < 10 ? 10 - s.size() : 0, ' ') + s; }

TEST_F(PointPrinters, TozeroRenormalisesModes) {
  ZQNLE2::tozerobtype zeroed{"zeroed"};
  extended f = 0;
  ZQNLE2::TOZEROFAC(zeroed, f);
  EXPECT_EQ(f, 1);
  NTOZEROSTRINGS = 1;
  TOZEROSTRINGS[1] = "opx";
  SU.ph[1].mode[1] = 0.8L;
  SU.ph[2].mode[1] = 0.2L;
  ZQNLE2::TOZEROFAC(zeroed, f);
  EXPECT_NEAR(static_cast<double>(f), 1.25, 1e-15);
  EXPECT_TRUE(zeroed[2]);
  EXPECT_FALSE(zeroed[1] || zeroed[3]);
  EXPECT_EQ(terminal(&ZQNLE2::solvestate::PRINTMODES),
            "\nmode          ol       opx           G\n"
            "          0.8000    0.2000 -4321.12345\n"
            "           1.000         z\n");
  // The zeroed phase leaves the mode box, the csv heading and the csv row
  // alike, so that the columns stay aligned.
  st.PRINTMODEBOX();
  EXPECT_EQ(file("qk.txt"), "\n{{10.000, 700.00, 0}, {\"ol\", 1.00000}, {\"q\", 0}}, \n");
  const auto rows = csvparse::rows(file("a.csv"));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (csvparse::row{"   P(kbar)", "      T(C)", "      prop", "        ol", "         q", "        sp", ""}));
  EXPECT_EQ(rows[1], (csvparse::row{"    10.000", "    700.00", "         0", "   1.00000", "         0", "         0", ""}));
}

// On a univariant line the mode box writes a csv row for each end of the
// line that the modes worked out after the solve gave; modes solved with
// the equations give the point's one row only.
TEST_F(PointPrinters, ModeBoxRowsOfAUnivariantLine) {
  VARIANCE = OVARIANCE = 1;
  MODESBYNLE = true;
  st.PRINTMODEBOX();
  auto rows = csvparse::rows(file("a.csv"));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1][3], "   0.60000");

  testsupport::openchannel(CHANNEL::CSVBIT, "a.csv");
  MAINLOOP = 2;
  MODESBYNLE = false;
  MODESAFTERNLE = true;
  SU.nmodeset = 2;
  SU.ph[1].mode[2] = 0.25L;
  SU.ph[2].mode[2] = 0.75L;
  st.PRINTMODEBOX();
  rows = csvparse::rows(file("a.csv"));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][3], "   0.60000");
  EXPECT_EQ(rows[1][3], "   0.25000");
  EXPECT_EQ(rows[1][4], "   0.75000");
  EXPECT_EQ(rows[0][1], rows[1][1]);
}

TEST_F(PointPrinters, NoBulkListsEveryPhaseWhenNoModes) {
  SU.ncomp = 0;
  NCOMP = 0;
  for (smallint i = 1; i <= 3; ++i) SU.ph[i].mode[1] = 0;
  CALCG = false;
  st.PRINTCSV();
  EXPECT_EQ(file("a.csv"), "   P(kbar),      T(" + deg + "C), \n    10.000,     700.00,   ol opx q \n");
}

// A point whose modes were not worked out carries the -1 of "no mode" on
// the phases that take one, 0 on the others: every phase is named.
TEST_F(PointPrinters, NoModesWorkedOutListsEveryPhase) {
  SU.ncomp = 0;
  NCOMP = 0;
  SU.ph[1].mode[1] = -1;
  SU.ph[2].mode[1] = -1;
  SU.ph[3].mode[1] = 0;
  CALCG = false;
  st.PRINTCSV();
  EXPECT_EQ(file("a.csv"), "   P(kbar),      T(" + deg + "C), \n    10.000,     700.00,   ol opx q \n");
}

TEST_F(PointPrinters, FirstCsvFileHeadingsPassesAndSkips) {
  CALCG = false;
  struct {
    const char* what;
    smallint mainloop, nok, uncertainty;
    controlboolean modebox;
    smallint ncomp;
    std::string csv, csv2;
  } cases[] = {
      {"first pass, first point", 1, 1, 0, no, 1,
       "   P(kbar),      T(" + deg + "C), \n    10.000,     700.00,   ol opx - q \n",
       "   10.000,    700.00,   0.12346,   0.25000, \n"},
      {"first pass, later point", 1, 2, 0, no, 1, "    10.000,     700.00, \n",
       "   10.000,    700.00,   0.12346,   0.25000, \n"},
      {"second pass, first point", 2, 1, 0, no, 1, "\n    10.000,     700.00,   ol opx - q \n",
       "   10.000,    700.00,   0.12346,   0.25000, \n"},
      {"uncertainties", 1, 2, 1, no, 1, "    10.000,     700.00, \n", ""},
      {"mode box", 1, 1, 0, yes, 1, "", "   10.000,    700.00,   0.12346,   0.25000, \n"},
      {"bulk range", 1, 1, 0, no, 3, "", "   10.000,    700.00,   0.12346,   0.25000, \n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::openchannel(CHANNEL::CSVBIT, "a.csv");
    testsupport::openchannel(CHANNEL::CSV2BIT, "a-2.csv");
    IO::CSVFILEUSED = IO::CSV2FILEUSED = false;
    MAINLOOP = c.mainloop;
    st.NOK = c.nok;
    CONTROLJX.uncertaintylevel = c.uncertainty;
    CONTROLJX.modebox = c.modebox;
    SU.ncomp = c.ncomp;
    st.PRINTCSV();
    EXPECT_EQ(file("a.csv"), c.csv);
    EXPECT_EQ(file("a-2.csv"), c.csv2);
    EXPECT_EQ(IO::CSVFILEUSED, !c.csv.empty());
    EXPECT_EQ(IO::CSV2FILEUSED, !c.csv2.empty());
  }
}

TEST_F(PointPrinters, CsvNamesWithCommasAreQuoted) {
  WHSTRINGS[4] = "sp,\"x\"";
  CONTROLJX.modebox = yes;
  st.PRINTMODEBOX();
  const auto rows = csvparse::rows(file("a.csv"));
  ASSERT_EQ(rows.size(), 2u);
  ASSERT_EQ(rows[0].size(), 8u);
  EXPECT_EQ(rows[0][6], "sp,\"x\"");
  EXPECT_EQ(rows[1].size(), 8u);
}

TEST_F(PointPrinters, VariablesTableCases) {
  struct {
    const char* what;
    void (*setup)(ZQNLE2::solvestate&);
    std::string shown;
  } cases[] = {
      {"near-singular Jacobian marks the first value line",
       [](ZQNLE2::solvestate&) { NEARSING = true; },
       statusline + "  P(kbar)     T(" + deg + "C)     x(ol)    x(opx)\n#  10.000   700.000    0.1235      0.25\n"},
      {"a held value of many decimals shows six",
       [](ZQNLE2::solvestate&) { X[4] = 0.1234567L; },
       statusline + " P(kbar)     T(" + deg + "C)     x(ol)    x(opx)\n  10.000   700.000    0.1235  0.123457\n"},
      {"first good point after two failed ones closes their line",
       [](ZQNLE2::solvestate& s) { IOUT = 2; s.REHEAD = false; },
       "\n" + statusline + variables},
      {"later point without a heading closes the marks line",
       [](ZQNLE2::solvestate& s) { IOUT = 3; s.REHEAD = false; s.NOK = 2; },
       "\n  10.000   700.000    0.1235      0.25\n"},
      {"fractionation: no status line",
       [](ZQNLE2::solvestate&) { DOINGFRACT = true; }, variables},
      {"fixed ln a and uncertainties",
       [](ZQNLE2::solvestate&) {
         NLNA = 1;
         LNANAMEP[1] = "H2O";
         FIXEDLNA[1] = -0.5L;
         CONTROLJX.uncertaintylevel = 2;
         BX[1] = true;
         SDX[1] = 0.1L;
         SDX[3] = 0.002L;
         SDXH[1] = -1;
         SDXH[3] = -1;
         SDXW[3] = 0.25L;
       },
       statusline + "   P(kbar)     T(" + deg + "C) ln a(H2O)     x(ol)    x(opx)\n    10.000   700.000   -0.5000    0.1235      0.25\n"
           "h        0" + std::string(20, ' ') + f10("0") + f10("") + "\n" +
           "w        0" + std::string(20, ' ') + f10("0.2500") + f10("") + "\n" +
           "sd   0.100" + std::string(20, ' ') + f10("0.002000") + f10("") + "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ZQNLE2::solvestate s;
    s.NOK = 1;
    NEARSING = false;
    DOINGFRACT = false;
    IOUT = 0;
    X[4] = 0.25L;
    c.setup(s);
    testsupport::Terminal term;
    s.PRINTVARIABLES();
    EXPECT_EQ(term.text(), c.shown);
    EXPECT_EQ(IOUT, 0);
  }
}

TEST_F(PointPrinters, VariablesWrapInBlocks) {
  NX = 20;
  for (smallint v = 3; v <= 20; ++v) XNAME[v] = "v" + std::to_string(v), X[v] = 0.5L, BX[v] = true;
  const std::string shown = terminal(&ZQNLE2::solvestate::PRINTVARIABLES);
  const auto ls = testsupport::lines(shown);
  ASSERT_EQ(ls.size(), 7u);
  auto names = [](int from, int to) {
    std::string s;
    for (int v = from; v <= to; ++v) s += f10("v" + std::to_string(v));
    return s;
  };
  EXPECT_EQ(ls[1], " P(kbar)     T(" + deg + "C)" + names(3, 8));
  EXPECT_EQ(ls[3], std::string(18, ' ') + names(9, 14));
  EXPECT_EQ(ls[5], std::string(18, ' ') + names(15, 20));
  EXPECT_EQ(ls[6], std::string(18 + 4, ' ') + "0.5000    0.5000    0.5000    0.5000    0.5000    0.5000");
}

TEST_F(PointPrinters, ProgressMarksBreakEvery80) {
  st.NLECODE = 2;
  {
    testsupport::Terminal term;
    for (int k = 0; k < 159; ++k) st.NOTPRINTROW();
    EXPECT_EQ(term.text(), std::string(79, '2') + "\n" + std::string(79, '2') + "\n2");
  }
  IOUT = 0;
  CONTROLJX.avptplus = yes;
  testsupport::Terminal term;
  for (int k = 0; k < 80; ++k) st.NOTPRINTROW();
  EXPECT_EQ(term.text(), "\n");
  EXPECT_EQ(IOUT, 1);
}

TEST_F(PointPrinters, ModesTableCases) {
  CALCG = false;
  struct {
    const char* what;
    void (*setup)();
    std::string shown;
  } cases[] = {
      {"bulk range at variance 1: rows share labels in pairs",
       [] {
         SU.ncomp = 3;
         OVARIANCE = 1;
         SU.nmodeset = 3;
         SU.firstmodeset = 1;
         SU.prop[1] = 0;
         SU.prop[2] = 0.5L;
         for (smallint r = 2; r <= 3; ++r) SU.ph[1].mode[r] = 0.5L, SU.ph[2].mode[r] = 0.5L;
       },
       "\nmode  pos   prop        ol       opx\n"
       "     1         0    0.6000    0.4000\n"
       "                    0.5000    0.5000\n"
       "     2    0.5000    0.5000    0.5000\n"},
      {"a mode outside 0..1 with c8 marks the row and drops the system",
       [] {
         CONTROLJX.c8 = yes;
         CALCG = true;
         SU.ph[1].mode[1] = 1.2L;
         SU.ph[2].mode[1] = 0;
       },
       "\nmode          ol       opx           G           H         S         V       rho\n"
       "#          1.200          \n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SU.ncomp = 1;
    SU.nmodeset = 1;
    OVARIANCE = 0;
    c.setup();
    EXPECT_EQ(terminal(&ZQNLE2::solvestate::PRINTMODES), c.shown);
  }
}

TEST_F(PointPrinters, ModeLogRatiosSkipTheDenominator) {
  CALCG = false;
  CONTROLJX.uncertaintylevel = 1;
  NXP = 3;
  record(3, "q", true, 1, 0, 0.2L);
  SU.ph[1].mode[1] = 0.4L;
  const extended m[] = {0.4L, 0.4L, 0.2L};
  for (smallint d = 1; d <= 3; ++d) X[NX + d] = m[d - 1], BX[NX + d] = true;
  KMPDEN = 2;
  SDX[NX + 1] = 0.01L;
  SDX[NX + 2] = 0.03L;
  const std::string shown = terminal(&ZQNLE2::solvestate::PRINTMODES);
  const auto ls = testsupport::lines(shown);
  ASSERT_EQ(ls.size(), 5u);
  EXPECT_EQ(ls[2], "m         0.4000    0.4000    0.2000");
  EXPECT_EQ(ls[3], "m'    " + f10("0") + f10("//") + f10("-0.6931"));
  EXPECT_EQ(ls[4], "sd    " + f10("0.01000") + std::string(10, ' ') + f10("0.03000"));
  NTOZEROSTRINGS = 1;
  TOZEROSTRINGS[1] = "opx";
  EXPECT_EQ(fatal([&] { st.PRINTMODES(); }), "printmodes: zeroed mode-logratio clash");
}

TEST_F(PointPrinters, ActivitiesWrapInFives) {
  NCV = 30;
  for (smallint e = 1; e <= 30; ++e) NAME[e] = "e" + std::to_string(e), ACTIVITY[e] = 0.5L;
  SU.nmodeset = 0;
  const auto ls = testsupport::lines(terminal(&ZQNLE2::solvestate::PRINTACTIVITIES));
  ASSERT_EQ(ls.size(), 12u);
  EXPECT_EQ(ls[0].substr(0, 19), "  P(kbar)     T(" + deg + "C)");
  EXPECT_EQ(ls[0].size(), 19u + 5 * 12);
  EXPECT_EQ(ls[2].substr(0, 31), std::string(19, ' ') + "          e6");
  EXPECT_EQ(ls[11], " " + std::string(18, ' ') + std::string(4, ' ') + "0.500000" + std::string(4, ' ') + "0.500000" +
                        std::string(4, ' ') + "0.500000" + std::string(4, ' ') + "0.500000" + std::string(4, ' ') +
                        "0.500000");
}

TEST_F(PointPrinters, GuessesOfBoiledDownModelAndMonteCarlo) {
  ptype1& ol = (*PREC1)[1];
  ol.nvar0 = 2;
  ol.varname0[1] = "y(ol)";
  ol.varkept[1] = false;
  ol.varname0[2] = "x(ol)";
  ol.varkept[2] = true;
  DOINGMC = true;
  st.PRINTGUESSES();
  const auto ls = testsupport::lines(file("log.txt"));
  ASSERT_EQ(ls.size(), 12u);
  EXPECT_EQ(ls[4], "batchxyzguess startblock");
  EXPECT_EQ(ls[6], "batchxyzguess y(ol)                0  % boiler");
  EXPECT_EQ(ls[7], "batchxyzguess x(ol)        0.1234567");
  EXPECT_EQ(ls[9], "batchxyzguess x(opx)       0.2500000  range -1.000 1.000");
}

TEST_F(PointPrinters, RbiTableOfThePhases) {
  SU.nuv = 3;
  for (long c = 1; c <= 3; ++c) SU.compname[c] = COMPNAME[c];
  const extended amounts[] = {2.00005L, 2.0002L, 1};
  for (long c = 1; c <= 3; ++c) SU.ph[1].comp[c] = amounts[c - 1];
  st.PRINTBULK();
  const auto ls = testsupport::lines(file("log.txt"));
  ASSERT_EQ(ls.size(), 7u);
  EXPECT_EQ(ls[2], "%" + std::string(28, ' ') + "         MgO         FeO        SiO2");
  EXPECT_EQ(ls[3], "bulk  rbi      ol          ##           2    2.000200           1");
  EXPECT_EQ(ls[6], "replace the ''##'' by the modes you want to use to make the bulk");
}

TEST_F(PointPrinters, RecordHeaderLabelsAndEndLines) {
  struct {
    bool exbuff;
    smallint pxco2;
    bool xco2set;
    smallint ovariance, variance;
    std::string label, word, end;
  } cases[] = {
      {false, 0, false, 0, 0, "i<k>   ", "  invariant", ""},
      {false, 0, false, 1, 1, "u<k>   ", "  univariant", "begin  end  \n\n"},
      {false, 0, false, 2, 2, "d<k>   ", "  divariant", ""},
      {false, 0, false, 3, 2, "t<k>   ", "  trivariant", "begin  end\n\n"},
      {false, 0, false, 2, 1, "u<k>   ", "", "begin  end  \n\n"},
      {false, 0, false, 3, 3, "<name>   ", "", ""},
      {false, 5, false, 1, 1, "i<k>   ", "  univariant", ""},
      {false, 5, false, 2, 2, "u<k>   ", "  divariant", "begin  end\n\n"},
      {false, 5, true, 1, 1, "u<k>   ", "  univariant", "begin  end\n\n"},
      {true, 0, false, 1, 1, "i<k>   ", "  univariant", ""},
      {true, 0, false, 2, 2, "u<k>   ", "  divariant", "begin  end\n\n"},
      {true, 0, false, 3, 3, "<name>   ", "", ""},
      {true, 5, true, 3, 3, "u<k>   ", "", "begin  end\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label + c.word);
    testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk.txt");
    EXBUFF = c.exbuff;
    PXCO2 = c.pxco2;
    XCO2SET = c.xco2set;
    OVARIANCE = c.ovariance;
    VARIANCE = c.variance;
    st.PRINTHEADERO();
    EXPECT_EQ(file("qk.txt"), "\n% ------------------------------\n" + c.label + "ol opx q " + c.word + "\n\n" + c.end);
  }
}

TEST_F(PointPrinters, UnivariantLineTakesColourOfItsZeroModePhases) {
  MODESBYNLE = true;
  OVARIANCE = VARIANCE = 1;
  NXP = 3;
  NXPSS = 2;
  const smallint phase[] = {1, 2, 1};
  for (smallint m = 1; m <= 3; ++m) MP2SS[m] = phase[m - 1], MP2X[m] = m <= 2 ? 3 : 0, BX[NX + m] = m != 3;
  ptype0& q = (*PREC0)[1];
  q.hasrgb = true;
  q.rgb[1] = 10;
  q.rgb[2] = 200;
  q.rgb[3] = 3;
  st.PRINTHEADERO();
  EXPECT_EQ(file("qk.txt"), "\n% ------------------------------\nu<k>   ol opx  - q  univariant\n\nbegin  end  rgb   10 200   3\n\n");
  testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk.txt");
  q.hasrgb = false;
  st.PRINTHEADERO();
  EXPECT_EQ(file("qk.txt"), "\n% ------------------------------\nu<k>   ol opx  - q  univariant\n\nbegin  end  \n\n");
}

TEST_F(PointPrinters, PhaseLineCases) {
  struct {
    const char* what;
    void (*setup)(ZQNLE2::solvestate&);
    std::string shown, qk;
  } cases[] = {
      {"batch item 3 has its number and no left-out list",
       [](ZQNLE2::solvestate&) {
         CONTROLJX.batch = yes;
         IBATCH = 1;
         BATCHNO[1] = 3;
       },
       "<== 3 ==============================================>\nphases: ol opx (q) \n", ""},
      {"H2O and CO2 in excess show once as fluid",
       [](ZQNLE2::solvestate& s) {
         NP0 = 3;
         NP = 5;
         (*PREC0)[1].name = "H2O";
         (*PREC0)[3].name = "CO2";
         s.PH[5] = true;
         PINEX[5] = true;
         NPINEX = 2;
         FLUIDTYPE = ftype::h2oco2;
       },
       "<==========================================================>\nphases: ol opx (fluid) or [sp] \n", ""},
      {"no fluid written when there is none",
       [](ZQNLE2::solvestate& s) {
         NP0 = 3;
         NP = 5;
         (*PREC0)[1].name = "H2O";
         (*PREC0)[3].name = "CO2";
         s.PH[5] = true;
         PINEX[5] = true;
         FLUIDTYPE = ftype::absent;
       },
       "<==========================================================>\nphases: ol opx () or [sp] \n", ""},
      {"two chemical potentials",
       [](ZQNLE2::solvestate& s) {
         NP0 = 4;
         NP = 6;
         NMU = 2;
         MUNAME[1] = "FeO";
         MUNAME[2] = "MgO";
         (*PREC0)[3].name = "muFeO";
         (*PREC0)[4].name = "muMgO";
         s.PH[5] = s.PH[6] = true;
         PINEX[3] = false;
         PINEX[5] = PINEX[6] = true;
         NPINEX = 2;
       },
       "<==========================================================>\nphases: ol opx q (mu(FeO), mu(MgO)) or [sp] \n", ""},
      {"a drawing data header at debug level 1",
       [](ZQNLE2::solvestate&) {
         DEBUGLEVEL = 1;
         VARIANCE = OVARIANCE = 2;
       },
       "<==========================================================>\nphases: ol opx (q) or [sp] \n",
       "\n% ------------------------------\nd<k>   ol opx q   divariant\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk.txt");
    ZQNLE2::solvestate s;
    s.PH = st.PH;
    NP0 = 2;
    NP = 4;
    NMU = 0;
    (*PREC0)[1].name = "q";
    PINEX.fill(false);
    PINEX[3] = true;
    NPINEX = 1;
    DEBUGLEVEL = 0;
    c.setup(s);
    testsupport::Terminal term;
    s.PRINTHEADER1();
    EXPECT_EQ(term.text(), c.shown);
    EXPECT_EQ(file("qk.txt"), c.qk);
    CONTROLJX.batch = no;
  }
}

TEST_F(PointPrinters, MoreStuffRefusesDogmin) {
  DOGMIN = true;
  EXPECT_EQ(fatal([&] { st.PRINTMORESTUFF(); }), "printmorestuff: in here for dogmin?");
}

TEST_F(PointPrinters, TerminalOnlyLinesStayOutOfTheLog) {
  CONTROLJX.moreprec = yes;
  WHEREAT = true;
  SINGRAT = 12345.678L;
  const std::string shown = terminal(&ZQNLE2::solvestate::PRINTRESULT);
  WHEREAT = false;
  const std::string status = "------------------------------------------------------------ef 7     12346\n";
  const std::string extra = "\n{x(ol)->0.1234567000}\n{x(opx)->0.2500000000}\n";
  EXPECT_EQ(shown, "+printresult\n" + status + variables + "+printmodes\n" + modes + extra + "-printmodes\n" +
                       "+printic\n-printic\n-printresult\n");
  const std::string log = file("log.txt");
  EXPECT_EQ(log.substr(0, status.size() + variables.size() + modes.size()), status + variables + modes);
  EXPECT_EQ(log.find("->"), std::string::npos);
  EXPECT_EQ(log.find("printmodes"), std::string::npos);
}

TEST_F(PointPrinters, FractionationBulkFromRbi) {
  // Quartz alone: one row, SiO2 of three atoms, so the bulk is all SiO2.
  st.PH.fill(false);
  st.PH[3] = true;
  STARTSS.fill(false);
  (*PREC0)[1].comp[3] = 1;
  for (long c = 1; c <= 3; ++c) COMPDIV[c] = 1, ICOMP[c] = c == 3 ? 3 : 2;
  NPLEFT = 1;
  st.XRAW[NX + 1] = 0.5L;
  st.PRINTFRACT();
  EXPECT_EQ(file("log.txt"), "% bulk          0         0 100.00000    from rbi\n\n");
  NPLEFT = 2;
  testsupport::Terminal term;
  EXPECT_EQ(fatal([&] { st.PRINTFRACT(); }), "printmorestuff: mismatch");
  const std::string diagnostic = "nxp = 0, npleft = 2k = 1, lnrbimode = 2\n";
  EXPECT_EQ(term.text().substr(0, diagnostic.size()), diagnostic);
}

// Without the drawing-file layout the header is a list comment naming the
// phases whose modes are solved, then those held at zero after "- ".
TEST_F(PointPrinters, ListHeaderNamesSolvedAndHeldPhases) {
  CONTROLJX.plotix = no;
  struct {
    bool ol, opx, q;
    std::string names;
  } cases[] = {
      {true, true, true, "ol opx q "},
      {true, false, true, "ol q - opx "},
      {false, false, false, "- ol opx q "},
      {false, true, true, "opx q - ol "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.names);
    testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk.txt");
    BX[NX + 1] = c.ol;
    BX[NX + 2] = c.opx;
    BX[NX + 3] = c.q;
    st.PRINTHEADERO();
    EXPECT_EQ(file("qk.txt"), "\n(* ------------------------------ *)\n(* " + c.names + "*)\n\n");
  }
  // nothing at all with the mode box, the older layout, or no G
  const struct {
    controlboolean modebox, compatibility;
    bool calcg;
  } quiet[] = {{yes, no, true}, {no, yes, true}, {no, no, false}};
  for (const auto& q : quiet) {
    testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk.txt");
    CONTROLJX.modebox = q.modebox;
    CONTROLJX.compatibility = q.compatibility;
    CALCG = q.calcg;
    st.PRINTHEADERO();
    EXPECT_EQ(file("qk.txt"), "");
  }
}

// "mcdebug" with a batch item that carries a bulk: the free components and
// the bulk on standard output only, after the modes table.
TEST_F(PointPrinters, McdebugShowsTheBatchBulk) {
  COMP1[1] = 40.5L;
  COMP1[2] = 9.25L;
  COMP1[3] = 50.25L;
  IBATCH = 1;
  struct {
    controlboolean mcdebug;
    bool withbulk, feo;
    std::string shown;
  } cases[] = {
      {yes, true, true, "\nwith bulk     MgO     FeO    SiO2\n            40.50    9.25   50.25\n"},
      {yes, true, false, "\nwith bulk     MgO    SiO2\n            40.50   50.25\n"},
      {yes, false, true, ""},
      {no, true, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    CONTROLJX.mcdebug = c.mcdebug;
    BATCHINFO[1].withbulk = c.withbulk;
    BCOMPS[2] = c.feo;
    NUVLEFT = c.feo ? 3 : 2;
    if (!c.feo) COMP1[2] = 50.25L;
    testsupport::openchannel(CHANNEL::LOGBIT, "log.txt");
    const std::string t = terminal(&ZQNLE2::solvestate::PRINTMODES);
    const std::size_t at = t.find("\nwith bulk");
    if (c.shown.empty()) {
      EXPECT_EQ(at, std::string::npos) << t;
      continue;
    }
    ASSERT_NE(at, std::string::npos) << t;
    EXPECT_EQ(t.substr(at, c.shown.size()), c.shown);
    EXPECT_EQ(file("log.txt").find("with bulk"), std::string::npos);
  }
}

// The reaction text goes to the log alone, indented, when it is at least
// five characters long; a line end before it once mode rows are labelled.
TEST_F(PointPrinters, ReactionTextInTheLog) {
  struct {
    std::string text;
    smallint firstmodeset;
    std::string logged;
  } cases[] = {
      {"a = b", 0, "    a = b\n"},
      {"2a = b + c", 1, "\n    2a = b + c\n"},
      {"a= b", 1, ""},
      {"", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    testsupport::openchannel(CHANNEL::LOGBIT, "log.txt");
    st.RSTR = c.text;
    SU.firstmodeset = c.firstmodeset;
    EXPECT_EQ(terminal(&ZQNLE2::solvestate::PRINTREACTION), "");
    EXPECT_EQ(file("log.txt"), c.logged);
  }
}

}  // namespace

// A variable's name of ten characters or more and a value of twelve stay
// apart in the xyzguess block, so that the pasted line reads both.
TEST_F(PointPrinters, GuessOfALongNameAndAWideValueKeepsABlank) {
  (*PREC1)[1].xvar[1].name = "x(olivine1)";
  X[3] = -0.0012345678L;
  st.PRINTGUESSES();
  EXPECT_NE(file("log.txt").find("\nxyzguess x(olivine1) -0.001234568\n"), std::string::npos) << file("log.txt");
}
