// The value series of isopleths, and the isopleth readers on hand-set
// phases: mode values typed, the x(CO2) series and composition isopleths
// whose values would make a site fraction vanish.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "equilibria/zqread3.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "settingsheads.h"
#include "worktest.h"

using namespace ZQGLOBAL;

namespace {

using testsupport::fatal;

class Isopleths : public testsupport::WorkTest {
 protected:
  // One solution phase "alp" with x = proportion of its second end-member
  // and site fractions 1 - x and x, and a pure phase "per".
  static void loop() {
    NPSS = NP0 = 1;
    NP = 2;
    ptype1& p = (*PREC1)[1];
    p = ptype1{};
    p.name = p.longname = "alp";
    p.nvar = 1;
    p.xvar[1].name = p.xvar[1].readname = "x(alp)";
    p.xvar[1].guess = 0.3L;
    p.xvar[1].high = 1;
    p.nsf = 2;
    for (long k = 1; k <= 2; ++k) {
      termtype& t = p.sf[k];
      t.nterms = 1;
      t.terms[1].coef = 1;
      t.terms[1].nfactors = 1;
      xtermtype& f = t.terms[1].factors[1];
      f.cn = k == 1 ? 1 : 0;
      f.m = 1;
      f.an[1] = k == 1 ? -1 : 1;
      f.ad[1] = 1;
      f.v[1] = 1;
    }
    (*PREC0)[1] = ptype0{};
    (*PREC0)[1].name = "per";
  }
};

TEST_F(Isopleths, Series) {
  struct Case {
    extended low, high, inc;
    std::vector<extended> first;  // the first values
    smallint n;
    extended last;
  } cases[] = {
      {0.1L, 0.5L, 0.1L, {0.1L, 0.2L, 0.3L}, 5, 0.5L},
      {0, 0.9L, 0.3L, {0, 0.3L, 0.6L}, 4, 0.9L},
      {0, 0.5L, 0.001L, {0, 0.005L, 0.01L}, 101, 0.5L},
      {0.1L, 0.5L, 0.7L, {0.1L}, 2, 0.5L},
      {0.4L, 0.4L + 1e-9L, 0.1L, {0.4L}, 1, 0.4L},
      {0, 0.401L, 0.002L, {0, 0.00401L}, 101, 0.401L},  // 202 with high appended: thinned
      {0, 0.4L, 0.002L, {0, 0.002L}, 201, 0.4L},
      // Increments whose count no integer holds are thinned all the same.
      {0.1L, 0.5L, 1e-30L, {0.1L, 0.104L}, 101, 0.5L},
      {0.1L, 0.3L, 1e-4000L, {0.1L, 0.102L}, 101, 0.3L},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.high);
    ZQREAD3::SERIES(c.low, c.high, c.inc, 3);
    ASSERT_EQ(NLISO[3], c.n);
    for (std::size_t k = 0; k < c.first.size(); ++k) EXPECT_NEAR(LISO(3, static_cast<long>(k) + 1), c.first[k], 1e-15L);
    EXPECT_NEAR(LISO(3, c.n), c.last, 1e-15L);
    for (long k = 2; k <= c.n; ++k) EXPECT_GT(LISO(3, k), LISO(3, k - 1));
  }
  EXPECT_EQ(ZQREAD3::SHORTEN("sp_2"), "sp");
  EXPECT_EQ(ZQREAD3::SHORTEN("sp"), "sp");
}

TEST_F(Isopleths, TypedModeValues) {
  struct Case {
    std::string answers, end, shown;
  } cases[] = {
      {"alp\n0.1 0.5 0.1\n", "", "mode of alp set to  values between 0.1 and 0.5\n"},
      {"per\n\n", "", "mode of per set to zero\n"},
      {"2\n0.25\n", "", "mode of per set to 0.25\n"},
      {"alp\n0 1 0.3\n", "readmodeisopleths: isopleth values inappropriate", ""},
      {"alp per qz\n0.1\n0.2\n0.3\n", "readmodeiso: too many modes set", ""},
      // a phase typed again: one mode isopleth when its values agree
      {"alp per alp\n0.1\n0.2\n0.1\n", "", "mode of alp set to 0.1\nmode of per set to 0.2\n"},
      {"alp per alp\n0.1\n0.2\n0.3\n", "readmodeisopleths: alp given twice with different values", ""},
      {"3\n", "readmodeisopleths: position for isopleth out of range", ""},
      {"bet\n", "readisopleths: bet not recognised", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    loop();
    if (c.answers.find("qz") != std::string::npos) {
      NP0 = 2;
      NP = 3;
      (*PREC0)[2] = ptype0{};
      (*PREC0)[2].name = "qz";
    }
    NISO = 0;
    CONTROLJX.modeiso = no;
    CONTROLJX.zeromodeiso = no;
    std::string out;
    EXPECT_EQ(run(c.answers, ZQREAD3::READMODEISOPLETHS, out), c.end);
    EXPECT_NE(out.find(c.shown), std::string::npos) << out;
  }
  EXPECT_TRUE(PMBP[1]);
}

TEST_F(Isopleths, FluidAndCompositionValues) {
  loop();
  (*PREC1)[1].xvar[1].name = "x(CO2)";
  CONTROLJX.nxco2values = 3;
  for (long k = 1; k <= 3; ++k) CONTROLJX.xco2list[k] = 0.1L * static_cast<extended>(k);
  std::string out;
  EXPECT_EQ(run("", ZQREAD3::READXCO2VALUES, out), "");
  EXPECT_EQ(out, "\n" + testsupport::SETTINGSOF + "x(CO2) calcs\nx(CO2) set to values between 0.1 and 0.3\n");
  EXPECT_NEAR(FIXEDXCO2, 0.2L, 1e-18L);
  EXPECT_EQ(NLX, 3);
  loop();
  EXPECT_EQ(run("", ZQREAD3::READXCO2VALUES, out), "readxco2values: x(CO2) not present");

  // x(alp) at 0 and 1 empties a site.
  CONTROLJX.nxco2values = 0;
  struct Case {
    std::string answers, end, shown;
  } cases[] = {
      {"x(alp)\n0 1 0.5\ny\n", "", "x(alp) set to 0.5\n"},
      {"x(alp)\n0 1 0.5\nn\n", ": kill", ""},
      {"x(alp)\n0 1 1\n", "readisopleths: no legal isopleth values for x(alp)", "all of the input isopleth values"},
      {"x(alp)\n\n", "readisopleths: 1 or 3 numbers expected", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    loop();
    NISO = NMODEISO = 0;
    EXPECT_EQ(run(c.answers, ZQREAD3::READISOPLETHS, out), c.end);
    EXPECT_NE(out.find(c.shown), std::string::npos) << c.answers << out;
  }
}


TEST_F(Isopleths, ScriptNamesAndZeroModes) {
  // A script name found only as a variable's second name.
  loop();
  (*PREC1)[1].xvar[1].readname = "xalp";
  NISO = NMODEISO = 0;
  CONTROLJX.isopleth = yes;
  CONTROLJX.isoname1 = "xalp";
  CONTROLJX.isolow1 = 0.1L;
  CONTROLJX.isohigh1 = 0.5L;
  CONTROLJX.isoinc1 = 0.1L;
  std::string out;
  EXPECT_EQ(run("", ZQREAD3::READISOPLETHS, out), "");
  EXPECT_NE(out.find("x(alp) set to values between 0.1 and 0.5\n"), std::string::npos) << out;
  EXPECT_EQ(NLISO[1], 5);

  struct Case {
    sstring mode1, zero1, zero2;
    std::string end, shown;
  } cases[] = {
      {"", "alp", "", "", "mode of alp set to zero\n"},
      {"alp", "alp", "", "readmodeisopleths: phase overlap1 between modeisopleth and zeromodeiso", ""},
      {"alp", "per", "alp", "readmodeisopleths: phase overlap2 between modeisopleth and zeromodeiso", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.end);
    loop();
    NISO = NMODEISO = 0;
    PMBP[1] = false;
    CONTROLJX.modeiso = yes;
    CONTROLJX.zeromodeiso = yes;
    CONTROLJX.modeisoname1 = c.mode1;
    CONTROLJX.modeisohigh1 = c.mode1.empty() ? 0 : 0.5L;
    CONTROLJX.zeromodename1 = c.zero1;
    CONTROLJX.zeromodename2 = c.zero2;
    EXPECT_EQ(run("", ZQREAD3::READMODEISOPLETHS, out), c.end);
    EXPECT_NE(out.find(c.shown), std::string::npos) << out;
    if (!c.end.empty()) continue;
    EXPECT_TRUE(PMBP[1]);
    EXPECT_EQ(NMODEISO, 1);
    EXPECT_EQ(NLISO[1], 1);
    EXPECT_EQ(LISO(1, 1), 0);
  }
}
}  // namespace

namespace {

TEST(FreeComponents, FixedByMuLnaOrBufferedFluid) {
  testsupport::freshstate();
  struct Case {
    smallint nmu, nlna;
    bool exbuff;
    std::string free, end;
  } cases[] = {
      {0, 0, false, "MgO FeO H2O ", ""},
      {1, 0, false, "MgO H2O ", ""},
      {0, 0, true, "MgO FeO ", ""},
      {0, 1, false, "", "setter: setting non-oxide lna not implemented"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.free);
    NUV = 3;
    COMPNAME[1] = "MgO";
    COMPNAME[2] = "FeO";
    COMPNAME[3] = "H2O";
    NMU = c.nmu;
    MUNAME[1] = "FeO";
    NLNA = c.nlna;
    LNANAMEP[1] = "q";
    EXBUFF = c.exbuff;
    CALCG = true;
    testsupport::Terminal term;
    IO::WHATSOPEN = 1;
    EXPECT_EQ(fatal(ZQREAD3::SETTER), c.end);
    if (!c.end.empty()) continue;
    std::string free;
    for (long j = 1; j <= NUV; ++j)
      if (BCOMPS[j]) free += COMPNAME[j] + " ";
    EXPECT_EQ(free, c.free);
    EXPECT_EQ(NUVLEFT, static_cast<smallint>(3 - (c.nmu + (c.exbuff ? 1 : 0))));
    EXPECT_EQ(CALCG, c.nmu == 0 && !c.exbuff);
  }
  testsupport::freshstate();
}

}  // namespace
