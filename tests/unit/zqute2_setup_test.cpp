// The P-T set-up, the diagram type and section windows, the fixed fluid, and
// the ln a and chemical-potential variables, driven by piped answers.
#include <gtest/gtest.h>

#include <functional>

#include "frame/io.h"
#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "settingsheads.h"
#include "worktest.h"

using namespace ZQGLOBAL;

namespace {

using testsupport::fatal;

constexpr extended K = 273.15L;

// Runs f with the answers piped in; what it wrote to the terminal.
std::string said(const std::string& answers, const std::function<void()>& f) {
  testsupport::Terminal term;
  testsupport::Answers a(answers);
  f();
  return term.text();
}

class PTSetup : public testsupport::WorkTest {
 protected:
  void SetUp() override {
    WorkTest::SetUp();
    FIGPLOW = 1;
    FIGPHIGH = 10;
    FIGTLOW = 400 + K;
    FIGTHIGH = 800 + K;
    CALCMODE = calcmodetype::phasecalc;
    FIXEDXCO2 = FIXEDXH2O = 0;
    LNANAME[1] = "q";
  }
  testsupport::ScratchDir dir;
};

TEST_F(PTSetup, OverallWindowFromScriptOrTyped) {
  CONTROLJX.diagramPT = yes;
  EXPECT_EQ(said("", ZQUTE2::DOFIGPT),
            "\n" + testsupport::SETTINGSOF + "overall PT window:\n"
            "overall PT window is P: 1.0 to 10.0 kbar, and T: 400 to 800\xA1" "C (from script)\n");
  CONTROLJX.diagramPT = no;
  said("n\n2 12 450 900\n", ZQUTE2::DOFIGPT);
  EXPECT_EQ(FIGPHIGH, 12);
  EXPECT_EQ(FIGTHIGH, 900 + K);
  said("n\n1 10 900 2800\n",
       [] { EXPECT_EQ(fatal(ZQUTE2::DOFIGPT), "dofigPT: inappropriate PT window input"); });
}

TEST_F(PTSetup, CalcPTListsOnePressureAndSearchesTheOverallTWindow) {
  const auto calc = [] { ZQUTE2::DOCALCPT("", "P for it", "T for it"); };
  FIX = fixtype::fixp;
  CONTROLJX.calcP = CONTROLJX.calcT = no;
  EXPECT_EQ(said("5\n", calc),
            "\n" + testsupport::SETTINGSOF + "PT calcs:\n"
            "P for it\nP calcs: between P(low) and P(high), with P increment : "
            "using overall T window for the T for it\n");
  EXPECT_TRUE(PLOW == 5 && PHIGH == 5);
  EXPECT_TRUE(TLOW == FIGTLOW && THIGH == FIGTHIGH);

  FIX = fixtype::fixpt;
  CONTROLJX.calcP = CONTROLJX.calcT = ask;
  PLOW = 2;
  PHIGH = 4;
  TLOW = THIGH = 500 + K;
  PPRECISION = 1;
  TPRECISION = 0;
  EXPECT_EQ(said("y\n", calc),
            "\n" + testsupport::SETTINGSOF + "PT calcs:\nuse PT calcs given in datafile ? "
            "P for it: 2.0 to 4.0 kbar (from script)\nT for it: 500\xA1" "C (from script)\n");
  EXPECT_TRUE(CONTROLJX.calcP == yes && CONTROLJX.calcT == yes);
}

// One side set and the other asked, or left off: only the open side's
// question, worded by what the other holds.
TEST_F(PTSetup, CalcPTMixedAnswersAskOnlyTheOpenSide) {
  const auto calc = [] { ZQUTE2::DOCALCPT("", "P for it", "T for it"); };
  struct Case {
    controlboolean t, p;
    std::string answers, asked;
    controlboolean endt, endp;
  } cases[] = {
      {yes, ask, "n\n7\n", "T calcs set; use P calcs given in datafile ? P for it\n", yes, no},
      {ask, yes, "n\n550\n", "P calcs set; use T calcs given in datafile ? P for it: ", no, yes},
      {no, ask, "y\n550\n", "use P calcs given in datafile ? P for it: ", no, yes},
      {ask, no, "y\n7\n", "use T calcs given in datafile ? P for it\n", yes, no},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    FIX = fixtype::fixpt;
    CONTROLJX.calcT = c.t;
    CONTROLJX.calcP = c.p;
    PLOW = PHIGH = 4;
    TLOW = THIGH = 500 + K;
    PPRECISION = 1;
    TPRECISION = 0;
    EXPECT_EQ(said(c.answers, calc).substr(0, testsupport::SETTINGSOF.size() + 11 + c.asked.size()),
              "\n" + testsupport::SETTINGSOF + "PT calcs:\n" + c.asked);
    EXPECT_EQ(CONTROLJX.calcT, c.endt);
    EXPECT_EQ(CONTROLJX.calcP, c.endp);
    EXPECT_EQ(PLOW, c.endp == yes ? 4 : 7);
    EXPECT_EQ(TLOW, (c.endt == yes ? 500 : 550) + K);
  }
}

TEST_F(PTSetup, FieldWriters) {
  PLOW = 1;
  PHIGH = 200;
  TLOW = 400 + K;
  THIGH = 600 + K;
  XCO2LOW = 0.1L;
  XCO2HIGH = 0.5L;
  PPRECISION = 2;
  TPRECISION = 0;
  struct Case { char kind; extended v; smallint width; std::string want; };
  const Case cases[] = {
      {'p', 150, 8, "     150"}, {'p', 0.05L, 8, "       -"}, {'p', 5, 0, "5.00"},     {'p', -1e30L, 0, " "},
      {'p', 1e20L, 3, "  *"},    {'p', 300, 0, "+"},         {'t', -1e30L, 8, "        "}, {'t', -1e30L, 0, ""},
      {'t', 450, 5, "  450"},    {'t', 300, 0, "-"},         {'x', 0.25L, 0, "0.25"},    {'x', 0.6L, -3, "+  "},
  };
  for (const Case& c : cases) {
    std::string line;
    if (c.kind == 'p') ZQUTE2::WRITEP(c.v, c.width, line);
    if (c.kind == 't') ZQUTE2::WRITET(c.v, c.width, line);
    if (c.kind == 'x') ZQUTE2::WRITEXCO2(c.v, 0, c.width, line);
    EXPECT_EQ(line, c.want) << c.kind << " " << static_cast<double>(c.v);
  }
  PLOW = 0.01L;
  std::string line;
  ZQUTE2::WRITEP(0.05L, 8, line);
  EXPECT_EQ(line, "   0.050");
}

TEST_F(PTSetup, DiagramTypeFromModeScriptOrMenu) {
  struct Case { calcmodetype mode; smallint code; std::string answer; diagramtype want; };
  const Case cases[] = {{calcmodetype::nlecalc, 3, "", diagramtype::ptcalc},
                        {calcmodetype::phasecalc, 3, "", diagramtype::pxcalc},
                        {calcmodetype::phasecalc, 0, "7\n", diagramtype::ptcalc},
                        {calcmodetype::phasecalc, 9, "4\n", diagramtype::tlnacalc},
                        {calcmodetype::phasecalc, 0, "2\n", diagramtype::txcalc}};
  for (const Case& c : cases) {
    CALCMODE = c.mode;
    CONTROLJX.calctypecode = c.code;
    CONTROLJX.fluidpresent = no;
    FLUIDTYPE = ftype::notset;
    const std::string out = said(c.answer, ZQUTE1::WHICHDIAGRAMTYPE);
    EXPECT_EQ(DIAGRAMMODE, c.want);
    const bool x = c.want == diagramtype::pxcalc || c.want == diagramtype::txcalc;
    EXPECT_EQ(FLUIDTYPE == ftype::ih2oco2, x);
    EXPECT_EQ(CONTROLJX.fluidpresent == yes, x);
    EXPECT_EQ(out.find("code for type of phase diagram :") != std::string::npos, !c.answer.empty());
  }
}

TEST_F(PTSetup, TXSectionWindowListAndFixedPressure) {
  CONTROLJX.diagramPT = yes;
  DIAGRAMMODE = diagramtype::txcalc;
  said("400 700 0.1 0.5\n0.2 0.3\n5\n", [] { ZQUTE2::DIAGRAMWINDOWSETUP(true); });
  EXPECT_TRUE(TLOW == 400 + K && THIGH == 700 + K);
  EXPECT_EQ(FIXEDT, 550 + K);
  EXPECT_NEAR(static_cast<double>(FIXEDXH2O), 0.7, 1e-15);
  EXPECT_EQ(NLX, 4);
  EXPECT_EQ(NLP, 0);
  EXPECT_EQ(PHIGH, 5);
  EXPECT_EQ(CALCVARIABLE, calcvariabletype::calctemperature);
}

TEST_F(PTSetup, PLogASectionLabelsOnlyANonFluidName) {
  CONTROLJX.diagramPT = yes;
  CONTROLJX.setfluid = no;
  DIAGRAMMODE = diagramtype::plnacalc;
  EXPECT_NE(said("y\n1 10 -2 0\n0.5\n500\nquartz\n", [] { ZQUTE2::DIAGRAMWINDOWSETUP(true); })
                .find("\nfor labelling purposes in log a, replace name, 'q', with : "),
            std::string::npos);
  EXPECT_TRUE(CONTROLJX.setloga == yes && CONTROLJX.setlna == no && CONTROLJX.seta == no);
  EXPECT_EQ(NLLNA[1], 5);
  EXPECT_EQ(FIXEDLNA[1], -1);
  EXPECT_EQ(FIXEDT, 500 + K);
  EXPECT_EQ(LNANAMEP[1], "quartz");

  LNANAME[1] = "H2O";
  EXPECT_EQ(said("600\n", [] { ZQUTE2::DIAGRAMWINDOWSETUP(false); }).find("labelling"), std::string::npos);
  EXPECT_EQ(FIXEDXH2O, 1);
  EXPECT_EQ(LNANAMEP[1], "H2O");
}

TEST_F(PTSetup, PTSectionWithCO2ActivityAsksNoFluid) {
  CONTROLJX.diagramPT = yes;
  CONTROLJX.calcTatP = CONTROLJX.calcP = CONTROLJX.calcT = yes;
  PLOW = PHIGH = 5;
  TLOW = FIGTLOW;
  THIGH = FIGTHIGH;
  LNANAME[1] = "CO2";
  DIAGRAMMODE = diagramtype::ptcalc;
  said("", [] { ZQUTE2::DIAGRAMWINDOWSETUP(true); });
  EXPECT_EQ(FIX, fixtype::fixp);
  EXPECT_EQ(OTHERVARIABLE, othervariabletype::fixedpressure);
  EXPECT_TRUE(NLP == 1 && NLX == 0);
  EXPECT_TRUE(XCO2LOW == 1 && XCO2HIGH == 1);
}

TEST_F(PTSetup, FluidFromScriptOrAsked) {
  struct Case {
    bool co2;
    ftype kind;
    controlboolean setfluid;
    extended co2value, h2ovalue;  // from the script
    std::string answers, said;
    extended wantco2, wanth2o;
  };
  const Case cases[] = {
      {true, ftype::h2oco2, yes, 0.2L, 0.8L, "", "x(CO2) = 0.2000, x(H2O) = 0.8000 ( from script ) \n", 0.2L, 0.8L},
      {false, ftype::h2o, no, 0, 0, "y\n", "fluid just H2O ? ", 0, 1},
      {false, ftype::h2o, no, 0, 0, "n\n0.7\n", "fluid just H2O ? fluid is just H2O-CO2\nfixed x(H2O) : ", 0.3L,
       0.7L},
      {true, ftype::h2oco2, no, 0, 0, "0\n0.4\n",
       "fluid is just H2O-CO2\nfixed x(CO2) : not valid : \nfluid is just H2O-CO2\nfixed x(CO2) : ", 0.4L, 0.6L},
      // a typed fraction outside 0..1 (the pair still sums to 1) as the script's
      {true, ftype::h2oco2, no, 0, 0, "1.5\n0.4\n",
       "fluid is just H2O-CO2\nfixed x(CO2) : not valid : \nfluid is just H2O-CO2\nfixed x(CO2) : ", 0.4L, 0.6L},
      {true, ftype::h2oco2, no, 0, 0, "-0.3\n0.999\n",
       "fluid is just H2O-CO2\nfixed x(CO2) : not valid : \nfluid is just H2O-CO2\nfixed x(CO2) : ", 0.999L, 0.001L},
      {false, ftype::h2o, no, 0, 0, "n\n1.3\nn\n1\n",
       "fluid just H2O ? fluid is just H2O-CO2\nfixed x(H2O) : not valid : \nfluid just H2O ? fluid is just H2O-CO2\n"
       "fixed x(H2O) : ",
       0, 1},
      // an activity above 1 is no fluid's: asked again; 1 itself is taken
      {false, ftype::absent, no, 0, 0, "1.5\n1\n", "fixed a(H2O) : not valid : \nfixed a(H2O) : ", 0, 1},
      // script values that fail the sum test are replaced by answers, which
      // are then not reported as the script's
      {true, ftype::h2oco2, yes, 0.6L, 0.6L, "0.25\n",
       "x(CO2), x(H2O) from script not valid : \nfluid is just H2O-CO2\nfixed x(CO2) : ", 0.25L, 0.75L},
  };
  for (const Case& c : cases) {
    H2OPOS = 3;
    CO2POS = c.co2 ? 4 : 0;
    FLUIDTYPE = c.kind;
    CONTROLJX.setfluid = c.setfluid;
    FIXEDXCO2 = c.co2value;
    FIXEDXH2O = c.h2ovalue;
    EXPECT_EQ(said(c.answers, ZQUTE1::PROMPTFLUID), c.said);
    EXPECT_NEAR(static_cast<double>(FIXEDXCO2), static_cast<double>(c.wantco2), 1e-15) << c.said;
    EXPECT_NEAR(static_cast<double>(FIXEDXH2O), static_cast<double>(c.wanth2o), 1e-15) << c.said;
  }
  testsupport::Terminal term;
  FLUIDTYPE = ftype::h2oco2;
  CONTROLJX.setfluid = yes;
  CONTROLJX.strictscripting = true;
  FIXEDXCO2 = 0;
  FIXEDXH2O = 1;
  EXPECT_EQ(fatal(ZQUTE1::PROMPTFLUID), "promptfluid: script x(H2O) and/or x(CO2) inappropriate");
  FIXEDXCO2 = FIXEDXH2O = 0.6L;
  EXPECT_EQ(fatal(ZQUTE1::PROMPTFLUID), "promptfluid: bad values from script");
}

TEST_F(PTSetup, ScriptFluidIsTheFluidOfTheSameAnswers) {
  // Each script value against the answers that give the same fluid: the
  // kind of fluid and the values must come out alike, the mixed H2O-CO2
  // fluid included. The kind before the call is the one the set-up leaves
  // (CO2 or H2O in calc mode 3, not yet set in calc mode 2).
  struct Case {
    bool h2o, co2;
    ftype before;
    extended scriptco2;  // "setfluid yes" value; x(H2O) = 1 - it
    std::string answers;
  };
  const Case cases[] = {
      {true, true, ftype::co2, 0.3L, "0.3\n"},
      {true, true, ftype::notset, 0.3L, "0.3\n"},
      {false, true, ftype::co2, 0.4L, "n\n0.4\n"},
      {false, true, ftype::co2, 1, "y\n"},
      {true, false, ftype::h2o, 0.25L, "n\n0.75\n"},
      {true, false, ftype::h2o, 0, "y\n"},
  };
  for (const Case& c : cases) {
    H2OPOS = c.h2o ? 3 : 0;
    CO2POS = c.co2 ? 4 : 0;
    FLUIDTYPE = c.before;
    CONTROLJX.setfluid = yes;
    FIXEDXCO2 = c.scriptco2;
    FIXEDXH2O = 1 - c.scriptco2;
    said("", ZQUTE1::PROMPTFLUID);
    const ftype fromscript = FLUIDTYPE;
    const extended co2 = FIXEDXCO2, h2o = FIXEDXH2O;

    FLUIDTYPE = c.before;
    CONTROLJX.setfluid = no;
    said(c.answers, ZQUTE1::PROMPTFLUID);
    EXPECT_EQ(fromscript, FLUIDTYPE) << c.answers;
    EXPECT_NEAR(static_cast<double>(co2), static_cast<double>(FIXEDXCO2), 1e-15) << c.answers;
    EXPECT_NEAR(static_cast<double>(h2o), static_cast<double>(FIXEDXH2O), 1e-15) << c.answers;
  }
  // A fluid that is absent keeps its fixed activities, whichever way.
  H2OPOS = 3;
  CO2POS = 4;
  FLUIDTYPE = ftype::absent;
  CONTROLJX.setfluid = yes;
  FIXEDXCO2 = 0.3L;
  FIXEDXH2O = 0.7L;
  said("", ZQUTE1::PROMPTFLUID);
  EXPECT_EQ(FLUIDTYPE, ftype::absent);
}

TEST_F(PTSetup, FluidString) {
  struct Case { ftype kind; extended co2, h2o; std::string want; };
  const Case cases[] = {
      {ftype::h2oco2, 0.3L, 0.7L, "head (for x(CO2) = 0.3 and x(H2O) = 0.7)"},
      {ftype::h2o, 0, 1, "head(for x(H2O) = 1.0)"},
      {ftype::co2, 1, 0, "head (for x(CO2) = 1.0)"},
      {ftype::absent, 0.25L, 0.5L, "head (for a(CO2) = 0.25 and a(H2O) = 0.5)"},
      {ftype::absent, 0, 0.5L, "head (for a(H2O) = 0.5)"},
      {ftype::h2oco2, 0, 0, "head"},
  };
  for (const Case& c : cases) {
    FLUIDTYPE = c.kind;
    FIXEDXCO2 = c.co2;
    FIXEDXH2O = c.h2o;
    std::string line = "head";
    ZQUTE1::FLUIDSTRING(line);
    EXPECT_EQ(line, c.want);
  }
}

// Pure phases q (SiO2) and H2O, components SiO2 and MgO.
class LnaMuVariables : public PTSetup {
 protected:
  void SetUp() override {
    PTSetup::SetUp();
    NPSS = 2;
    NP0 = 2;
    NP = 4;
    NCV = 10;
    NUV = 2;
    COMPNAME[1] = "SiO2";
    COMPNAME[2] = "MgO";
    COMPDIV[1] = COMPDIV[2] = 1;
    pure(1, "q", 1, 0.0415L);
    pure(2, "H2O", 0, 0.19L);
    PINEX.fill(false);
    PMBP.fill(false);
    NPINEX = NPMBP = 0;
    NLLNA.fill(0);
    NLMU.fill(0);
  }
  static void pure(long i, const char* name, extended sio2, extended td2) {
    (*PREC0)[i].name = name;
    (*PREC0)[i].comp[1] = sio2;
    (*PREC0)[i].comp[2] = 0;
    (*PREC0)[i].td[2] = td2;
  }
};

TEST_F(LnaMuVariables, LnaTakesPurePhasesOnly) {
  // fo is no pure phase here: refused, naming it, before any is marked
  NLNA = 2;
  LNANAME[1] = "H2O";
  FIXEDLNA[1] = -1;
  LNANAME[2] = "fo";
  FIXEDLNA[2] = 10;
  EXPECT_EQ(fatal(ZQUTE2::SETUPLNA), "setup lna: fo is not a pure phase of the calculation");
  EXPECT_EQ(NPINEX, 0);
  NLNA = 1;
  FLUIDTYPE = ftype::h2o;
  EXPECT_EQ(said("", ZQUTE2::SETUPLNA).substr(0, 34), "in setup lna\n   H2O : q H2O : 2\n  ");
  EXPECT_TRUE(NLNA == 1 && NLLNA[1] == 1);
  EXPECT_EQ(LLNA(1, 1), -1);
  EXPECT_TRUE(PINEX[4] && PMBP[4]);
  EXPECT_EQ(NPINEX, 1);
  EXPECT_EQ(FLUIDTYPE, ftype::absent);
  EXPECT_EQ(KEEPLNAS[1], 0.19L);

  NLNA = 0;
  EXPECT_EQ(said("", ZQUTE2::SETUPLNA).substr(0, 13), "in setup lna\n");
  EXPECT_EQ(NPINEX, 1);
}

TEST_F(LnaMuVariables, MuPhaseAddedAskedForOrRefused) {
  NMU = 1;
  MUNAME[1] = "MgO";
  FIXEDMU[1] = 0;
  EXPECT_NE(said("-700\n", ZQUTE2::SETUPMU).find("mu(MgO): low, high : "), std::string::npos);
  EXPECT_EQ(NMU, 1);
  EXPECT_EQ(NCV, 11);
  EXPECT_TRUE(PINEX[5]);
  EXPECT_EQ((*PREC0)[3].comp[2], 1);
  // Its G is the value itself: enthalpy -700, no entropy.
  EXPECT_EQ((*PREC0)[3].td[1], -700);
  EXPECT_EQ((*PREC0)[3].td[2], 0);
  EXPECT_EQ(NLMU[1], 1);

  struct Case { smallint ncv, np; std::string want; };
  const Case cases[] = {
      {10, 4, "setupmu: SiO2 is same as q"},
      {400, 4, "setupmu: too many end-members (max = 400) "},
      {10, 80, "setupmu: with mu 'phase', max no of phases exceeded"},
  };
  testsupport::Terminal term;
  for (const Case& c : cases) {
    NP0 = 2;
    NP = c.np;
    NCV = c.ncv;
    NMU = 1;
    MUNAME[1] = "SiO2";
    FIXEDMU[1] = -900;
    EXPECT_EQ(fatal(ZQUTE2::SETUPMU), c.want);
  }
  // A name that is not a component: refused, naming it, before any phase
  // is added.
  NP0 = 2;
  NP = 4;
  NCV = 10;
  NMU = 2;
  MUNAME[1] = "MgO";
  FIXEDMU[1] = -700;
  MUNAME[2] = "CaO";
  EXPECT_EQ(fatal(ZQUTE2::SETUPMU), "setupmu: CaO is not a component of the system");
  EXPECT_EQ(NP0, 2);
  EXPECT_EQ(NCV, 10);
}

}  // namespace
