// The variance words, the P-T frame with the solver's scaling, the starting
// activities, the dogmin grid and the room left for mu rows, on state set
// by hand.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "equilibria/zqnle2.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "iotestsupport.h"
#include "worktest.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace {

using testsupport::fatal;

constexpr extended K = 273.15L;

class Mode1Setup : public testsupport::WorkTest {};

TEST_F(Mode1Setup, VarianceWords) {
  for (const auto& [v, word] : std::vector<std::pair<smallint, std::string>>{
           {0, "invariant"}, {2, "divariant"}, {4, "quadrivariant"}, {5, "5-variant"}, {-1, "-1-variant"}}) {
    IO::PSTR = "are ";
    ZQNLE2::PRINTVAR(v);
    EXPECT_EQ(IO::PSTR, "are " + word);
  }
}

TEST_F(Mode1Setup, ScalingOfPAndT) {
  struct Case {
    extended plow, phigh, tlow, thigh;  // kbar, K
    extended lowerp, upperp, lowert, uppert;
  } cases[] = {
      {5, 15, 600 + K, 1000 + K, 3.25L, 16.75L, 798.15L, 1348.15L},
      {0.001L, 1, 600 + K, 1000 + K, 0.0009L, 1 + 1 + 0.075L * 0.5005L, 798.15L, 1348.15L},
      {5, 15, 2400, 2950, 3.25L, 16.75L, 2325, 3000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plow);
    FIGPLOW = c.plow;
    FIGPHIGH = c.phigh;
    FIGTLOW = c.tlow;
    FIGTHIGH = c.thigh;
    VARIANCE = 0;  // the overall window, asked for nothing
    CONTROLJX.calcT = CONTROLJX.calcP = yes;
    std::string out;
    ASSERT_EQ(run("", ZQNLE2::CALCPTSETUP, out), "");
    const extended sp = c.upperp - c.lowerp, st = c.uppert - c.lowert;
    EXPECT_NEAR(PFACA, 1 / sp, 1e-15L);
    EXPECT_NEAR(PFACB, -c.lowerp / sp, 1e-15L);
    EXPECT_NEAR(TYPP, 0.01L / sp, 1e-17L);
    EXPECT_NEAR(TFACA, 1 / st, 1e-15L);
    EXPECT_NEAR(TFACB, -c.lowert / st, 1e-15L);
    EXPECT_NEAR(TYPT, 0.1L / st, 1e-17L);
    EXPECT_EQ(FIXEDP, (c.plow + c.phigh) / 2);
    EXPECT_EQ(NLP, 1);
    EXPECT_EQ(LT[1], FIXEDT);
  }
  // A guess temperature inside the window wins over a guess pressure.
  CONTROLJX.ptguess = yes;
  T4XYZ = 2500;
  P4XYZ = 7;
  std::string out;
  run("", ZQNLE2::CALCPTSETUP, out);
  EXPECT_EQ(FIXEDT, 2500);
  EXPECT_EQ(FIXEDP, 10);
  T4XYZ = 300;
  run("", ZQNLE2::CALCPTSETUP, out);
  EXPECT_EQ(FIXEDT, (2400 + 2950) / 2.0L);
  EXPECT_EQ(FIXEDP, 7);
}

TEST_F(Mode1Setup, NonUnitActivities) {
  NPSS = 1;
  NP0 = 2;
  ptype1& s = (*PREC1)[1];
  s.nprop = 2;
  s.em[1].nsite = 0;
  s.em[2].nsite = 3;
  (*PREC0)[1].name = "per";
  (*PREC0)[1].activity = 0.9L;
  (*PREC0)[2].name = "q";
  (*PREC0)[2].activity = 0.999995L;
  NCV = 4;
  std::string out;
  run("", ZQNLE2::CHECKA, out);
  EXPECT_TRUE(NONUNITA);
  EXPECT_EQ(out, "non-unit activities :\n     name        a\n      per    0.900\n");
  EXPECT_EQ(NSITE[1], 1);
  EXPECT_EQ(NSITE[2], 3);
  EXPECT_EQ(ACTIVITY[3], 0.9L);
  EXPECT_EQ(ACTIVITY[1], 1);

  (*PREC0)[1].activity = 1;
  run("", ZQNLE2::CHECKA, out);
  EXPECT_FALSE(NONUNITA);
  EXPECT_EQ(out, "");
}

TEST_F(Mode1Setup, DogminGrid) {
  auto lists = [](smallint np, smallint nt) {
    NLP = np;
    NLT = nt;
    for (long i = 1; i <= np; ++i) LP[i] = static_cast<extended>(i);
    for (long i = 1; i <= nt; ++i) LT[i] = 500 + static_cast<extended>(i);
  };
  lists(10, 12);
  DOGLEVEL = 1;
  EXPECT_EQ(fatal(ZQNLE3::SETUPGMIN), "");
  EXPECT_EQ(NGMIN, 120);
  EXPECT_EQ(DOGLEVEL, 2);
  // Pressure major: every temperature at the first pressure first.
  EXPECT_EQ(GMININFO[12].p, 1);
  EXPECT_EQ(GMININFO[12].t, 512);
  EXPECT_EQ(GMININFO[13].p, 2);
  EXPECT_EQ(GMININFO[13].t, 501);
  EXPECT_EQ(GMININFO[120].del, 100);

  lists(1, 1);
  DOGLEVEL = 0;
  ZQNLE3::SETUPGMIN();
  EXPECT_EQ(DOGLEVEL, 0);

  lists(11, 11);
  NGMIN = 5;
  EXPECT_EQ(fatal(ZQNLE3::SETUPGMIN), "setup dogmin: too many PT (max 120");
  EXPECT_EQ(NGMIN, 5);
}

TEST_F(Mode1Setup, MuRowsStayBelowTheMadeEndMembersCopies) {
  NUV = 2;
  COMPNAME[1] = "MgO";
  COMPNAME[2] = "FeO";
  COMPDIV[1] = COMPDIV[2] = 1;
  NMU = 1;
  MUNAME[1] = "FeO";
  FIXEDMU[1] = -300;
  NPSS = 0;
  NP0 = NP = 1;
  (*PREC0)[1].name = "per";
  (*PREC0)[1].comp[1] = 1;
  NCV = 396;
  LOWESTCOPYSLOT = 398;  // the appended row 397 still fits
  std::string out;
  EXPECT_EQ(run("", ZQUTE2::SETUPMU, out), "");
  EXPECT_EQ(NCV, 397);
  NMU = 1;
  NCV = 397;
  NP0 = NP = 1;
  EXPECT_EQ(run("", ZQUTE2::SETUPMU, out), "setupmu: too many end-members" + ZQUTE1::MAXSTR(maxem));
}

}  // namespace
