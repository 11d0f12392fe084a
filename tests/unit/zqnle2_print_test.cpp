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

}  // namespace
