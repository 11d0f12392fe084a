// The solver's layout of an assemblage and the levels of its point loops:
// on the made-up MgO-FeO loop as a whole pass sets it up (the equilibrium
// handed to a recording run loop), solved there at a known point; and on
// phase tables set by hand for the rows of made end-members, the fixed pure
// phases, the buffered fluid, the limits of the tables and the loop levels.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "equilibria/zqnle2.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "mainprogram.h"
#include "model/zqmath2.h"
#include "model/zqnle3.h"
#include "model/zqre.h"
#include "worktest.h"

using namespace ZQGLOBAL;

namespace {

using testsupport::fatal;

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(SOLVARINTH_FIXTURES) + "/loop/" + name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// What the run loop would be handed, for the test in hand to look at.
std::function<void(const bemvector&)> onsolve;
void recordsolve(const bemvector& PH) { onsolve(PH); }

// One pass of the loop system with the fixture's files and the given
// script, each equilibrium handed to f; the terminal in out.
std::string runloop(const std::string& script, const std::string& answers, const std::function<void(const bemvector&)>& f,
                    std::string& out) {
  testsupport::ScratchDir dir;
  for (const char* name : {"jx-prefs.txt", "jx-ds7lp.txt", "jx-lpax.txt"}) dir.write(name, fixture(name));
  dir.write("jx-lp.txt", script);
  testsupport::freshstate();
  onsolve = f;
  ZQNLE2::CALCWHATCALLS.solve = recordsolve;
  const std::string end = testsupport::answered(answers, [] { MAINPROGRAM::RUN(); }, out);
  ZQNLE2::CALCWHATCALLS = {};
  RELEASEWORK();
  testsupport::freshstate();
  return end;
}

const std::string loopscript =
    "axfile lpax\nwith alp bet\ninexcess\ndiagramPT 4 10 400 700\npseudosection no\nautoexit\n*\n";

long component(const std::string& name) {
  for (long c = 1; c <= NUV; ++c)
    if (COMPNAME[c] == name) return c;
  return 0;
}

// The layout as the run loop gets it, the composition of alp, and the
// loop solved at 5 kbar and 900 K (its compositions worked out
// independently).
TEST(CrossrefsOfTheLoop, LayoutCompositionAndSolve) {
  int calls = 0;
  std::string out;
  runloop(loopscript, "8\n600\n", [&](const bemvector& PH) {
    ++calls;
    ZQNLE3::MAKECROSSREFS(PH);
    ASSERT_EQ(NCV, 4);
    ASSERT_EQ(NX, 4);
    std::string names, xnames;
    for (long k = 1; k <= NCV; ++k) names += NAME[k] + (STARTSS[k] ? "* " : " ");
    for (long i = 1; i <= NX; ++i) xnames += XNAME[i] + " ";
    EXPECT_EQ(names, "aA* aB bA* bB ");
    EXPECT_EQ(xnames, "P(kbar) T(\xA1" "C) x(alp) x(bet) ");
    EXPECT_EQ(EM2X[1], 3);
    EXPECT_EQ(EM2X[3], 4);
    EXPECT_EQ(NXP, 0);

    X[3] = 0.3L;
    cvector comp{"comp"};
    ZQNLE3::MAKEPHASE(1, comp);
    EXPECT_NEAR(comp[component("MgO")], 0.7L, 1e-15L);
    EXPECT_NEAR(comp[component("FeO")], 0.3L, 1e-15L);

    bool found = false;
    ZQRE::CALCRE2(found);
    ASSERT_TRUE(found);
    iemvector loopmax{"loopmax"};
    smallint nloop = 0;
    ZQNLE3::SETUPLOOPS(loopmax, nloop, 0);
    X[1] = 5;
    X[2] = 900;
    for (long v = 3; v <= 4; ++v) X[v] = XFACA[v] * (*PREC1)[v - 2].xvar[1].guess + XFACB[v];
    SMALLE = SMALLF = 1e-12L;
    SMALLDX = 1e-10L;
    smallint code = -1;
    ZQMATH2::NLE(code);
    EXPECT_EQ(code, 0);
    EXPECT_NEAR((X[3] - XFACB[3]) / XFACA[3], 0.408071603013L, 1e-8L);
    EXPECT_NEAR((X[4] - XFACB[4]) / XFACA[4], 0.515584211305L, 1e-8L);
  }, out);
  EXPECT_EQ(calls, 1) << out;
}

// ---------------------------------------------------------------- tables set by hand

class Crossrefs : public testsupport::WorkTest {
 protected:
  void SetUp() override {
    WorkTest::SetUp();
    NUV = NUVLEFT = 2;
    COMPNAME[1] = "MgO";
    COMPNAME[2] = "FeO";
    COMPDIV[1] = COMPDIV[2] = 1;
  }
  // Solution phase i with nem end-members (named name + number, each with a
  // td row of slot numbers plus 100 i) and nem - 1 variables x1, x2, ...
  static ptype1& solution(long i, const std::string& name, long nem) {
    ptype1& p = (*PREC1)[i];
    p = ptype1{};
    p.name = name;
    p.nprop = static_cast<smallint>(nem);
    p.nvar = static_cast<smallint>(nem - 1);
    for (long e = 1; e <= nem; ++e) {
      p.em[e].name = name + std::to_string(e);
      p.em[e].comp[1] = static_cast<smallint>(e);
      for (long s = 1; s <= maxtd; ++s) p.em[e].td[s] = static_cast<extended>(100 * i + s);
    }
    for (long v = 1; v < nem; ++v) {
      p.xvar[v].name = "x" + std::to_string(v) + "(" + name + ")";
      p.xvar[v].xfaca = 1;
      p.xvar[v].typx = 0.5L;
    }
    p.allsfsimple = true;
    NPSS = static_cast<smallint>(std::max<long>(NPSS, i));
    return p;
  }
  static ptype0& pure(long i, const std::string& name) {
    ptype0& p = (*PREC0)[i];
    p = ptype0{};
    p.name = p.emname = name;
    p.comp[2] = 1;
    for (long s = 1; s <= maxtd; ++s) p.td[s] = static_cast<extended>(1000 + s);
    NP0 = static_cast<smallint>(std::max<long>(NP0, i));
    return p;
  }
  static bemvector phases(const std::vector<long>& which) {
    bemvector ph{"ph"};
    for (long p : which) ph[p] = true;
    return ph;
  }
};

TEST_F(Crossrefs, ThermodynamicRowsOfMadeEndMembers) {
  solution(1, "sp", 2).em[2].nmake = 2;
  pure(1, "q").nmake = 1;
  for (const bool older : {false, true}) {
    SCOPED_TRACE(older);
    WITHOLDSET = older;
    ZQNLE3::MAKECROSSREFS(phases({1, 2}));
    ASSERT_EQ(NCV, 3);
    const tdmatrix& td = *TD;
    for (long s = 1; s <= maxtd; ++s) {
      SCOPED_TRACE(s);
      // Not made: the data slots and the code, nothing between.
      EXPECT_EQ(td(1, s), s <= 25 || s == 31 ? 100 + s : 0);
      if (older) {
        EXPECT_EQ(td(2, s), s <= 25 || s == 31 ? 100 + s : 0);
        EXPECT_EQ(td(3, s), s <= 25 || s == 31 ? 1000 + s : 0);
      } else {
        const extended made = s <= 3 || s == 31 ? 100 + s : s == TDSLOT::MAKEPHASE ? 1 : s == TDSLOT::MAKEEM ? 2 : 0;
        EXPECT_EQ(td(2, s), made);
        const extended madepure = s <= 3 || s == 31 ? 1000 + s : s == TDSLOT::MAKEEM ? 1 : 0;
        EXPECT_EQ(td(3, s), madepure);
      }
    }
    EXPECT_EQ((*C)(1, 2), 2);
    EXPECT_EQ((*C)(2, 3), 1);
    EXPECT_EQ(NAME[3], "q");
  }
}

TEST_F(Crossrefs, ModesOfFixedPurePhasesAndTheBufferedFluid) {
  solution(1, "ol", 2);
  solution(2, "fluid", 2).isfluid = true;
  ptype1& sp = solution(3, "sp", 3);
  sp.modeset = true;  // a mode isopleth
  sp.modelist = 2;
  pure(1, "q").modeguess = 0.4L;
  pure(2, "ru");
  MUNAME[1] = "ru";
  NMU = 1;
  MODESBYNLE = true;
  EXBUFF = true;
  EXBFLUIDPOS = 2;  // the fluid's phase number, while it is the first record
  ZQNLE3::MAKECROSSREFS(phases({2, 3, 4, 5}));
  ASSERT_EQ(NX, 2 + 1 + 2);
  EXPECT_EQ(NXPSS, 1);
  ASSERT_EQ(NXP, 2);
  EXPECT_EQ(XNAME[6] + " " + XNAME[7], "sp q");
  EXPECT_EQ(MP2SS[1] * 100 + MP2X[1] * 10 + MP2SS[2], 341);
  EXPECT_FALSE(BX[6]);
  EXPECT_EQ(PXSET[6], 2);
  EXPECT_TRUE(BX[7]);
  EXPECT_EQ(MODEG[2], 0.4L);
  EXPECT_EQ(TYPX[7], 0.0001L);
  EXPECT_EQ(INACC1[7], acctype::paccessible);
  EXPECT_FALSE(NOTHINGMODESET);
  std::string records;
  for (long r = 1; r <= SU.nph; ++r)
    records += SU.ph[r].name + (SU.ph[r].hasmode ? "+" : "-") + std::to_string(SU.ph[r].firstx) + " ";
  EXPECT_EQ(records, "fluid-3 sp+4 q+0 ru-0 ");
  EXPECT_EQ(SU.ph[2].varnames[2], "x2(sp)");

  // Modes after the solve: the names follow the unknowns, none is one.
  MODESBYNLE = false;
  MODESAFTERNLE = true;
  ZQNLE3::MAKECROSSREFS(phases({2, 3, 4, 5}));
  EXPECT_EQ(NXP, 0);
  EXPECT_EQ(XNAME[6] + XNAME[7] + XNAME[8] + XNAME[9], "fluidspqru");
  EXPECT_TRUE(BX[9]);
}

TEST_F(Crossrefs, HeldVariablesLimitsAndSiteFractions) {
  ptype1& a = solution(1, "fluid", 3);
  a.xvar[1].name = "x(CO2)";
  a.xvar[1].isset = true;
  a.xvar[1].setindex = 2;
  ptype1& b = solution(2, "sp", 3);
  b.allsfsimple = false;
  b.nsf = 3;
  b.sfsimple[2] = true;
  b.nvarlim = 1;
  const int num[] = {1, -2, 5}, den[] = {1, 3, 7};
  for (long c = 1; c <= 3; ++c) {
    b.varlimn(1, c) = static_cast<smallint>(num[c - 1]);
    b.varlimd(1, c) = static_cast<smallint>(den[c - 1]);
  }
  FLUIDTYPE = ftype::h2oco2;
  // x(CO2) alone held, then with another: flags XCO2SET, ONLYXCO2SET,
  // STARSET, NOTHINGSET, ONLYONESET.
  for (const bool second : {false, true}) {
    b.xvar[2].isset = second;
    ZQNLE3::MAKECROSSREFS(phases({1, 2}));
    const std::string flags = std::to_string(XCO2SET) + std::to_string(ONLYXCO2SET) + std::to_string(STARSET) +
                              std::to_string(NOTHINGSET) + std::to_string(ONLYONESET);
    EXPECT_EQ(flags, second ? "10100" : "11001");
    EXPECT_EQ(PXCO2, 3);
    EXPECT_EQ(PXSET[3], 2);
    EXPECT_EQ(BX[3] * 10 + BX[6], second ? 0 : 1);
  }
  // sp's variables are unknowns 5 and 6; the constant goes after NX = 6.
  ASSERT_EQ(NXVARLIM, 1);
  std::string row;
  for (long c = 1; c <= 7; ++c) row += std::to_string(XVARLIMN(1, c)) + "/" + std::to_string(XVARLIMD(1, c)) + " ";
  EXPECT_EQ(row, "0/1 0/1 0/1 0/1 1/1 -2/3 5/7 ");
  ASSERT_EQ(NSFNH, 2);
  EXPECT_EQ(SFNHK[1] * 10 + SFNHK[2], 13);
  EXPECT_EQ(SFNHIP[2] * 10 + SFNHIX[2], 25);
}

TEST_F(Crossrefs, LimitsOfTheTables) {
  // 88 compositional unknowns: NX = 90, and the limit row's constant in
  // column 91.
  for (long i = 1; i <= 6; ++i) solution(i, "s" + std::to_string(i), 15);
  ptype1& last = solution(7, "t", 5);
  last.nvarlim = 1;
  last.varlimn(1, 5) = 9;
  const bemvector all = phases({1, 2, 3, 4, 5, 6, 7});
  ZQNLE3::MAKECROSSREFS(all);
  EXPECT_EQ(NX, 90);
  EXPECT_EQ(XVARLIMN(1, 91), 9);

  for (long i = 1; i <= 16; ++i) pure(i, "p" + std::to_string(i));
  bemvector pures = phases({8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22});
  EXPECT_EQ(fatal([&] { ZQNLE3::MAKECROSSREFS(pures); }), "");
  EXPECT_EQ(SU.nph, 15);
  pures[23] = true;
  EXPECT_EQ(fatal([&] { ZQNLE3::MAKECROSSREFS(pures); }),
            "makecrossrefs: too many phases in assemblage" + ZQUTE1::MAXSTR(15));
  MODESBYNLE = true;
  EXPECT_EQ(fatal([&] { ZQNLE3::MAKECROSSREFS(all); }), "makecrossrefs: too many modes-1");
  last.nvar = 5;
  EXPECT_EQ(fatal([&] { ZQNLE3::MAKECROSSREFS(all); }), "makecrossrefs: too many variables");
}

TEST_F(Crossrefs, LevelsOfThePointLoops) {
  struct Case {
    std::string name;
    std::function<void()> state;
    std::vector<smallint> levels;
    bool pfree, tfree;
    std::string said;
  } cases[] = {
      {"invariant", [] { VARIANCE = 0; }, {1, 1}, true, true, ""},
      {"T stepped", [] { VARIANCE = 1; CALCVARIABLE = calcvariabletype::calcpressure; }, {1, 7}, true, false, ""},
      {"P stepped", [] { VARIANCE = 1; CALCVARIABLE = calcvariabletype::calctemperature; }, {5, 1}, false, true, ""},
      {"a held variable and the bulk",
       [] {
         VARIANCE = 2;
         BX[4] = false;
         PXSET[4] = 2;
         NLISO[2] = 3;
         MODESBYNLE = true;
         NCOMP = 11;
       },
       {3, 11, 5, 7}, false, false, ""},
      {"ln a and mu in the reactions",
       [] {
         NLNA = 1;
         LNANAME[1] = "em2";
         NLLNA[1] = 4;
         NMU = 2;
         MUNAME[1] = "nothere";
         MUNAME[2] = "em3";
         NLMU[2] = 6;
         (*R)(1, 2) = 1;
         (*R)(2, 3) = -1;
       },
       {4, 1, 6, 1, 1}, true, true, ""},
      {"ln a of an end-member in no reaction",
       [] {
         NLNA = 1;
         LNANAME[1] = "em1";
         NLLNA[1] = 4;
       },
       {1, 1, 1}, true, true, "equilibrium does not depend on a(em1)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RESETSOLVER();
    R->fill(0);
    NR = 2;
    NCV = 3;
    for (long e = 1; e <= 3; ++e) NAME[e] = "em" + std::to_string(e);
    NX = 4;
    NXP = 0;
    MODESBYNLE = false;
    NLNA = NMU = 0;
    NLP = 5;
    NLT = 7;
    VARIANCE = 0;
    for (long i = 1; i <= 4; ++i) BX[i] = true;
    c.state();
    iemvector loopmax{"loopmax"};
    smallint nloop = -1;
    std::string out;
    EXPECT_EQ(testsupport::answered("", [&] { ZQNLE3::SETUPLOOPS(loopmax, nloop, 3); }, out), "");
    ASSERT_EQ(nloop, static_cast<smallint>(c.levels.size()));
    for (long i = 1; i <= nloop; ++i) EXPECT_EQ(loopmax[i], c.levels[static_cast<std::size_t>(i - 1)]) << i;
    EXPECT_EQ(BX[1], c.pfree);
    EXPECT_EQ(BX[2], c.tfree);
    EXPECT_EQ(out, c.said);
  }
}

}  // namespace
