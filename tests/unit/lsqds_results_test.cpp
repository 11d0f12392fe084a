// The results tables of calc mode 9: how an experiment's brackets, its
// weighting factor and its status are shown, the calorimetry columns, and
// the temperature and pressure solves of a bracket that the table uses.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

// pa = pb with G = H - T S + (P - 0.001) V: dS -0.005, dV -0.2, so at ch
// = -4 and 5 kbar the equilibrium lies at 999.96 K.
class LeastSquaresResults : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    ZQUTE1::SETUP();
    CALCMODE = calcmodetype::lsqdscalc;
    dir.write("ds-prefs.txt", "jxdssuffix r\n*\n");
    LSQDS::INTRO();
    const long double h[] = {-1000, -1004}, s[] = {0.050, 0.045}, v[] = {2.5, 2.3};
    for (int i = 1; i <= 2; ++i) {
      TDA[i] = tdrec{};
      TDA[i].name = PHNAMES[i] = i == 1 ? "pa" : "pb";
      TDA[i].h = h[i - 1];
      TDA[i].s = s[i - 1];
      TDA[i].v = v[i - 1];
      TDA[i].theta = 10;
      TDA[i].smax = TDA[i].vmax = -1;
      TDA[i].bwfac = 1;
    }
    NTP = LSQDS::NTOT = 2;
    DSMODE = 6;
    testsupport::openchannel(CHANNEL::SUMMARYBIT, "sum.txt");
  }
  void TearDown() override {
    ZQUTE1::CLEANUP();
    testsupport::freshstate();
  }
  xprec& record() {
    LSQDS::XPW->assign(1, xprec{});
    LSQDS::NXPW = 1;
    xprec& x = LSQDS::XP(1);
    x.use = true;
    x.row = 1;
    x.nrx = 2;
    x.rxem[1] = 1;
    x.rxem[2] = 2;
    x.rxcoef[1] = -1;
    x.rxcoef[2] = 1;
    x.rxtext = "pa = pb";
    x.label = "lab";
    x.rfac = 1;
    x.ch = -4;
    x.sdch = 0.05L;
    x.hlow = -4.1L;
    x.hhigh = -3.9L;
    x.nofluid = true;
    x.nbr = 1;
    x.br[1].p = 5;
    x.br[1].t = 1000;
    x.br[1].dh = -3.95L;
    (*LSQDS::HAT)[1] = 0.5L;
    GIXPW = 1;
    return x;
  }
  std::string summary() {
    IO::FILECLOSE(IO::CHANNELFILE(CHANNEL::SUMMARYBIT), true, "sum");
    IO::WHATSOPEN &= ~CHANNEL::SUMMARY;
    return dir.read("sum.txt");
  }
  testsupport::ScratchDir dir;
  testsupport::Terminal term;
};

TEST_F(LeastSquaresResults, ExperimentTables) {
  const struct {
    const char* what;
    bool use;
    controlboolean printomit;
    bool fluid;
    long double xco2, p, rfac;
    const char* shown;   // empty: nothing printed
    const char* hidden;
  } cases[] = {
      {"unused, printed", false, yes, false, 0, 5, 1, "\n*  1  pa = pb   (lab)\n", "uH ="},
      {"unused, printed", false, yes, false, 0, 5, 1, "   ** NOT USED **\n", ")  1"},
      {"unused, left out", false, no, false, 0, 5, 1, "", ""},
      {"no fluid", true, yes, false, 0, 5, 1, "\n        0        -       5.0    ", ", r ="},
      {"x(CO2) 0", true, yes, true, 0, 5, 1, "\n        0        0       5.0    ", ""},
      {"x(CO2) 1", true, yes, true, 1, 5, 1, "\n        0        1       5.0    ", ""},
      {"x(CO2) between", true, yes, true, 0.25L, 5, 1, "\n        0     0.25       5.0    ", ""},
      {"whole rfac", true, yes, false, 0, 5, 2, ", h = 0.50, r = 2\n", ""},
      {"fractional rfac", true, yes, false, 0, 5, 1.5L, ", h = 0.50, r = 1.50\n", ""},
      {"high pressure", true, yes, false, 0, 150, 1, "\n        0        -       150       727    ", ""},
      {"used", true, yes, false, 0, 5, 1, "\n1) 1  pa = pb   (lab)\n\n", "NOT USED"},
  };
  for (const auto& c : cases) {
    SetUp();
    xprec& x = record();
    x.use = c.use;
    x.nofluid = !c.fluid;
    x.br[1].xco2 = c.xco2;
    x.br[1].p = c.p;
    x.rfac = c.rfac;
    CONTROLDS.printomit = c.printomit;
    ASSERT_EQ(fatal([] { LSQDS::WRITEFULL(1); }), "") << c.what;
    const std::string s = summary();
    if (*c.shown == '\0') {
      EXPECT_EQ(s, "") << c.what;
      continue;
    }
    EXPECT_NE(s.find(c.shown), std::string::npos) << c.what << "\n" << s;
    if (*c.hidden != '\0') {
      EXPECT_EQ(s.find(c.hidden), std::string::npos) << c.what << "\n" << s;
    }
  }
}

TEST_F(LeastSquaresResults, StatusAndCalculatedTemperature) {
  const struct {
    long double ch;
    bool dir;
    const char* line;
  } cases[] = {
      // The lower limit -3.95 missed by 0.05 with sd 0.05: too low but OK;
      // T at ch = -4 is 999.96 K, 26.81 C, 2sd from 0.05 / 0.005.
      {-4, false, "   too low but OK\n"},
      {-4, false, "\n        0        -       5.0       727         -3.95                   727    20   (-3.95"},
      {-3.8L, false, "   too high but OK\n"},
      {-3.5L, false, "   too high \n"},
      {-3.95L, true, "   within bracket\n"},
  };
  for (const auto& c : cases) {
    SetUp();
    xprec& x = record();
    x.ch = c.ch;
    x.hlow = -3.95L;
    x.hhigh = -3.85L;
    x.br[1].dir = c.dir;
    x.br[1].dh = c.dir ? -3.85L : -3.95L;
    LSQDS::WRITEFULL(1);
    const std::string s = summary();
    EXPECT_NE(s.find(c.line), std::string::npos) << c.line << "\n" << s;
  }
}

TEST_F(LeastSquaresResults, CalorimetryColumns) {
  // A direct datum with an sd below 0.002 has no e*; an oxide datum with
  // sd 0 none either; a datum without a row shows no leverage.
  TDA[1].hcal = -1000.3L;
  TDA[1].sdhcal = 0.001L;
  TDA[2].hcal = -1003.5L;
  TDA[2].sdhcal = 0.7L;
  LSQDS::CALROW[1] = 1;
  (*LSQDS::HAT)[1] = 0.25L;
  (*LSQDS::HAT)[2] = 0.75L;
  LSQDS::NOXCAL = 1;
  oxcalrec& o = (*LSQDS::OXCAL)[1];
  o.use = true;
  o.nterm = 2;
  o.em[1] = 1;
  o.em[2] = 2;
  o.coef[1] = 1;
  o.coef[2] = -1;
  o.t = 973.15L;
  o.hobs = o.h298 = -3.8L;
  LSQDS::OXROW[1] = 2;
  LSQDS::XPW->clear();
  LSQDS::NXPW = 0;
  ASSERT_EQ(fatal(LSQDS::OUTXY), "");
  const std::string s = summary();
  EXPECT_NE(s.find("\npa      -1000.30   0.00    <0>   0.25\n"), std::string::npos) << s;
  EXPECT_NE(s.find("\npb      -1003.50   0.70   0.71       \n"), std::string::npos) << s;
  EXPECT_NE(s.find("\npa      700     -3.8     0     -3.8    ***   0.75\n"), std::string::npos) << s;
}

TEST_F(LeastSquaresResults, BracketSolvesThatFail) {
  // The reaction's dH moved so that the equilibrium at 5 kbar lies more
  // than T0 away (2200 K from 1000 K), below 300 K (200 K), or above
  // 3000 K (3200 K from 2000 K): each gives 0 with sd 0 and leaves the
  // bracket as it was.
  const struct {
    long double dh, t0;
  } cases[] = {{-10, 1000}, {0, 1000}, {-15, 2000}};
  for (const auto& c : cases) {
    SetUp();
    TDA[2].h = TDA[1].h + c.dh;
    xprec& x = record();
    x.br[1].t = c.t0;
    long double t = 1, sdt = 1;
    LSQDS::CALCT(1, 1, t, sdt);
    EXPECT_EQ((double)t, 0.0) << c.dh;
    EXPECT_EQ((double)sdt, 0.0) << c.dh;
    EXPECT_EQ((double)x.br[1].t, (double)c.t0);
  }
  // P at 1000 K with dH -6: the equilibrium at -5 kbar.
  SetUp();
  TDA[2].h = TDA[1].h - 6;
  xprec& x = record();
  long double p = 1, sdp = 1;
  LSQDS::CALCP(1, 1, p, sdp);
  EXPECT_EQ((double)p, 0.0);
  EXPECT_EQ((double)sdp, 0.0);
  EXPECT_EQ((double)x.br[1].p, 5.0);
}

// The miss and calc columns of paired brackets: a ln K pair at the same
// conditions interpolates ln K* = lnK1 + (cH - dH1) (lnK2 - lnK1) / (dH2 -
// dH1); a T bracket shows the whole degrees between its T and the solved
// 999.96 K, blank when they round to 0.
TEST_F(LeastSquaresResults, MissOfPairedBrackets) {
  const std::string head = "     -       5.0    ";
  const struct {
    const char* what;
    long double ch, lnk1, dh1, lnk2, dh2;
    const char* row;  // from the T column on
  } lnkpairs[] = {
      {"below", -4.25L, 0.5L, -4, 1.5L, -3, "      727      -4.00   -3.00   0.25   0.25  0.10"},
      {"above", -2.5L, 0.5L, -4, 1.5L, -3, "      727      -4.00   -3.00   0.50   2.00  0.10"},
      {"inside", -3.5L, 0.5L, -4, 1.5L, -3, "      727      -4.00   -3.00          1.00  0.10"},
      {"reversed, below", -4.5L, 0.5L, -3, 1.5L, -4, "      727      -3.00   -4.00  -0.50   2.00  0.10"},
      {"reversed, above", -2.75L, 0.5L, -3, 1.5L, -4, "      727      -3.00   -4.00  -0.25   0.25  0.10"},
  };
  for (const auto& c : lnkpairs) {
    SetUp();
    xprec& x = record();
    x.ch = c.ch;
    x.nbr = 2;
    x.br[2] = x.br[1];
    x.br[1].lnk = c.lnk1;
    x.br[1].dh = c.dh1;
    x.br[2].lnk = c.lnk2;
    x.br[2].dh = c.dh2;
    LSQDS::WRITEFULL(1);
    const std::string s = summary();
    EXPECT_NE(s.find("\n  0.50  1.50" + head + c.row + "   ("), std::string::npos) << c.what << "\n" << s;
  }

  const struct {
    const char* what;
    bool pair;
    long double t1, dh1, t2, dh2;
    const char* row;
  } tbrackets[] = {
      {"upper limit passed", false, 900, -4.5L, 0, 0, "        627            -4.50    100    727"},
      {"upper limit held", false, 900, -3.5L, 0, 0, "        627            -3.50           727"},
      {"within a degree", false, 1000.2L, -4.5L, 0, 0, "        727            -4.50           727"},
      {"pair, upper passed", true, 950, -4.5L, 980, -4.2L, "   677  707    -4.50   -4.20     20    727"},
      {"pair, upper held", true, 950, -4.5L, 980, -3.8L, "   677  707    -4.50   -3.80           727"},
      {"pair, within a degree", true, 950, -4.5L, 1000.2L, -4.2L, "   677  727    -4.50   -4.20           727"},
  };
  for (const auto& c : tbrackets) {
    SetUp();
    xprec& x = record();
    x.br[1].t = c.t1;
    x.br[1].dh = c.dh1;
    x.br[1].dir = !c.pair;
    if (c.pair) {
      x.nbr = 2;
      x.br[2] = x.br[1];
      x.br[2].dir = true;
      x.br[2].t = c.t2;
      x.br[2].dh = c.dh2;
    }
    LSQDS::WRITEFULL(1);
    const std::string s = summary();
    EXPECT_NE(s.find("\n        0   " + head + c.row), std::string::npos) << c.what << "\n" << s;
  }
}

}  // namespace
