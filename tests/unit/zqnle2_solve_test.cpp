// The routines of the run loop driven on hand-made layouts: the starting
// modes, the order in which a point's loop levels are consumed, the
// unscaling of a solution with its window marks and mode-sum warning, the
// ionic-strength passes around a stand-in solver, and the variance check.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_nle.h"
#include "frame/zqglobal_runloop.h"
#include "model/zqmath2.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

class SolveState : public ::testing::Test {
 protected:
  assemblage::tables t;
  testsupport::ScratchDir dir;
  ZQNLE2::solvestate st;
  void TearDown() override { ZQNLE2::NLESOLVER = ZQMATH2::NLE; }
  // Two pure phases of one component whose modes the solver takes.
  void twopurephases() {
    NUV = NUVLEFT = 1;
    COMPNAME[1] = "SiO2";
    BCOMPS[1] = true;
    ICOMP[1] = 1;
    COMPDIV[1] = 1;
    NPSS = 0;
    NP0 = 2;
    (*PREC0)[1].name = "pa";
    (*PREC0)[2].name = "pb";
    (*PREC0)[1].comp[1] = (*PREC0)[2].comp[1] = 1;
    st.PH.fill(false);
    st.PH[1] = st.PH[2] = true;
    NCV = 2;
    MODESBYNLE = true;
    NX = 2;
    NXP = 2;
    NXPSS = 0;
    MP2SS[1] = 1, MP2SS[2] = 2;
    BX[1] = BX[2] = false;
    BX[3] = BX[4] = true;
    XNAME[3] = "pa", XNAME[4] = "pb";
    XFACA[3] = XFACA[4] = 1;
    XFACB[3] = XFACB[4] = 0;
    PHI = 1;
  }
};

// ---------------------------------------------------------------- starting modes

struct modecase {
  const char* what;
  std::vector<extended> guess;  // MODEG per mode, 0 for none
  std::vector<extended> held;   // held value per mode, -1 when solved for
  std::vector<extended> want;   // starting modes, empty when the run stops
  const char* stop;             // the fatal end, "" when none
};

TEST_F(SolveState, StartingModes) {
  const extended third = 1.0L / 3;
  const extended fifteenth = 1.0L / 15;
  const std::vector<modecase> cases = {
      {"a single mode is 1 whatever its guess", {0.4L}, {-1}, {1}, ""},
      {"no guesses: spread around 1/n", {0, 0, 0}, {-1, -1, -1}, {third - fifteenth, third, third + fifteenth}, ""},
      {"guesses over 1 leave 0.01 to the other", {0.6L, 0.6L, 0}, {-1, -1, -1}, {0.495L, 0.495L, 0.01L}, ""},
      {"every mode guessed: rescaled to 1", {0.3L, 0.3L, 0.2L}, {-1, -1, -1}, {0.375L, 0.375L, 0.25L}, ""},
      {"guesses beside a held mode, adding to 1 in extended only nearly",
       {0.02L, 0.53L, 0},
       {-1, -1, 0.45L},
       {0.02L, 0.53L, 0.45L},
       ""},
      {"held and guessed adding to 1.05", {0.3L, 0.3L, 0}, {-1, -1, 0.45L}, {}, "setmodeguess: mode isopleths not sum to 1"},
      {"held and guessed adding to 1.2", {0.5L, 0}, {-1, 0.7L}, {}, "setmodeguess: mode isopleths not sum to 1"},
      {"held and guessed over 1 beside a free mode",
       {0.5L, 0, 0},
       {-1, 0.7L, -1},
       {},
       "setmodeguess: mode isopleths sum to >1"},
      {"held modes alone short of 1", {0, 0}, {0.5L, 0.4L}, {}, "mode guess subs: don't sum to 1"},
  };
  for (const modecase& c : cases) {
    SCOPED_TRACE(c.what);
    NX = 2;
    NXP = static_cast<smallint>(c.guess.size());
    for (smallint i = 1; i <= NXP; ++i) {
      MODEG[i] = c.guess[i - 1];
      BX[NX + i] = c.held[i - 1] < 0;
      XGUESS[NX + i] = BX[NX + i] ? -99 : c.held[i - 1];
      XNAME[NX + i] = "m" + std::to_string(i);
    }
    std::string out;
    const std::string end = testsupport::answered("", [&] { st.SETMODEGUESS(); }, out);
    EXPECT_EQ(end, c.stop);
    if (c.want.empty()) continue;
    for (smallint i = 1; i <= NXP; ++i) EXPECT_NEAR(XGUESS[NX + i], c.want[i - 1], 1e-15L) << i;
  }
}

TEST_F(SolveState, StartingModesThatDoNotAddUpAreShown) {
  NX = 2;
  NXP = 2;
  BX[3] = BX[4] = false;
  XGUESS[3] = 0.5L;
  XGUESS[4] = 0.4L;
  XNAME[3] = "pa";
  XNAME[4] = "pb";
  std::string out;
  EXPECT_EQ(testsupport::answered("", [&] { st.SETMODEGUESS(); }, out), "mode guess subs: don't sum to 1");
  EXPECT_NE(out.find("mode setup problem: sum =     0.9000\n\nmode guesses: \n     pa   0.50000\n     pb   0.40000\n\n"),
            std::string::npos)
      << out;
}

// ---------------------------------------------------------------- starting vector

// One solution phase of two variables, the first held at an isopleth; two
// mode unknowns, the first held; a bulk range of three steps; one ln a
// variable; P and T from their lists.
TEST_F(SolveState, LoopLevelsAreConsumedInTheirOrder) {
  NPSS = 1;
  NP0 = 1;
  ptype1& p = (*PREC1)[1];
  p.name = "alp";
  p.nvar = 2;
  p.xvar[1].guess = 0.1L;
  p.xvar[2].guess = 0.2L;
  p.modefaca = 2;
  p.modefacb = 0.5L;
  (*PREC0)[1].modefaca = 1;
  (*PREC0)[1].modefacb = 0;
  st.PH.fill(false);
  st.PH[1] = st.PH[2] = true;
  NX = 4;
  NXP = 2;
  NXPSS = 1;
  MP2SS[1] = 1;
  MP2SS[2] = 1;
  const bool free[] = {true, true, false, true, false, true};
  for (smallint i = 1; i <= 6; ++i) BX[i] = free[i - 1], XFACA[i] = 1, XFACB[i] = 0;
  XFACA[4] = 10;
  XFACB[4] = 1;
  PXSET[3] = 1;
  PXSET[5] = 2;
  for (smallint k = 1; k <= 3; ++k) LISO(1, k) = 0.3L + 0.1L * k, LISO(2, k) = 0.1L * k;
  MODESBYNLE = true;
  NCOMP = 3;
  NUV = NUVLEFT = 2;
  BCOMPS[1] = BCOMPS[2] = true;
  ICOMP[1] = 2;
  ICOMP[2] = 2;
  COMP1[1] = 60, COMP1[2] = 40, COMP2[1] = 40, COMP2[2] = 60;
  PROP1 = 0;
  PROP2 = 1;
  NLNA = 1;
  LNANAME[1] = "per";
  NCV = 3;
  NAME[1] = "aA", NAME[2] = "aB", NAME[3] = "per";
  KEEPLNAS[1] = 0.1L;
  LLNA(1, 1) = -1, LLNA(1, 2) = -2;
  for (smallint k = 1; k <= 3; ++k) LP[k] = k, LT[k] = 800 + 100 * k;
  PFACA = 0.1L, PFACB = 0, TFACA = 0.001L, TFACB = 0;
  iemvector at{"test AT"};
  const smallint levels[] = {2, 3, 2, 2, 1, 3};  // isopleth, held mode, bulk step, ln a, P, T
  for (smallint l = 1; l <= 6; ++l) at[l] = levels[l - 1];
  st.SETX(at, 1);
  EXPECT_EQ(p.xvar[1].guess, LISO(1, 2));
  EXPECT_EQ(X[3], LISO(1, 2));                    // held: unscaled
  EXPECT_NEAR(X[4], 1 + 10 * 0.2L, 1e-15L);       // free: scaled
  EXPECT_EQ(SU.kcomp, 2);
  EXPECT_NEAR(PROPK, 0.5L, 1e-18L);
  EXPECT_NEAR(COMPK[1], 0.5L, 1e-18L);
  EXPECT_NEAR(PHI, std::sqrt(2.0L), 1e-18L);      // two atoms per unit of bulk
  EXPECT_NEAR(XGUESS[5], 0.3L, 1e-18L);           // the held mode's isopleth value
  EXPECT_NEAR(XGUESS[6], 0.7L, 1e-18L);           // the rest to the free mode
  EXPECT_NEAR(X[5], 0.3L * PHI, 1e-18L);
  EXPECT_NEAR(X[6], 0.7L, 1e-15L);               // a pure phase's scale
  EXPECT_EQ(FIXEDLNA[1], -2);
  EXPECT_NEAR((*TD)(3, TDSLOT::S), 0.1L + 2 * CONST::RGAS, 1e-18L);
  EXPECT_EQ(FIXEDP, 1);
  EXPECT_EQ(FIXEDT, 1100);
  EXPECT_NEAR(X[1], 0.1L, 1e-17L);
  EXPECT_NEAR(X[2], 1.1L, 1e-17L);
  EXPECT_EQ(SU.nmodeset, 1);

  LNANAME[1] = "none";
  EXPECT_EQ(fatal([&] { st.SETX(at, 1); }), "setx: lna name not recognised");
}

// ---------------------------------------------------------------- extraction

TEST_F(SolveState, SolvedPressureAndTemperatureOutsideTheWindowAreMarked) {
  PLOW = 1, PHIGH = 10, TLOW = 700, THIGH = 1000;
  PFACA = 0.1L, PFACB = 0, TFACA = 0.001L, TFACB = -0.5L;
  NX = 2;
  NXP = 0;
  MODESBYNLE = MODESAFTERNLE = false;
  BX[1] = BX[2] = true;
  struct c {
    extended p, t, shownp, shownt;
  };
  const std::vector<c> cases = {{5, 800, 5, 800}, {12, 1200, 11, 1001}, {0.5L, 650, 0, 699}};
  for (const c& k : cases) {
    X[1] = k.p * PFACA + PFACB;
    X[2] = k.t * TFACA + TFACB;
    bool seen = false;
    st.EXTRACT(seen);
    EXPECT_TRUE(seen);
    EXPECT_NEAR(SU.pressure, k.shownp, 1e-15L);
    EXPECT_NEAR(SU.temperature, k.shownt, 1e-12L);
    EXPECT_NEAR(X[1], k.p, 1e-15L);  // X keeps the solved value
    EXPECT_NEAR(X[2], k.t, 1e-12L);
  }
}

// Two pure phases whose solved modes add to 0.98.
TEST_F(SolveState, ModesNotAddingToOneAreReportedThenNormalised) {
  twopurephases();
  X[1] = 5, X[2] = 900;
  X[3] = 0.49L, X[4] = 0.49L;
  SU.nph = 2;
  SU.ph[1].hasmode = SU.ph[2].hasmode = true;
  SU.ph[1].nem = SU.ph[2].nem = 1;
  NEARSING = false;
  testsupport::Terminal term;
  bool seen = false;
  st.EXTRACT(seen);
  const std::string want =
      "\nsum of modes should be 1, but sum =   0.980000 (phi = 1.000000)\n"
      "           SiO2\n"
      "at      1.00000\n"
      "atcut   1.00000\n\n"
      "             pa        pb\n"
      "x       0.49000   0.49000\n"
      "x       0.50000   0.50000\n";
  EXPECT_EQ(term.text(), want);
  EXPECT_NEAR(SU.ph[1].mode[1], 0.5L, 1e-18L);
  EXPECT_NEAR(SU.ph[2].mode[1], 0.5L, 1e-18L);
  EXPECT_NEAR(st.XRAW[3], 0.5L, 1e-18L);

  // A record count that differs from the phases of the assemblage.
  SU.nph = 3;
  X[3] = X[4] = 0.5L;
  EXPECT_EQ(fatal([&] { st.EXTRACT(seen); }), "extract: number of phases in summary does not match");
}

// Two pure phases of SiO2 and MgO over a range of four bulks whose atoms
// per oxide differ from step to step (2 + the SiO2 fraction); the rows
// start at step 2. Each row's factor is its own step's atoms over the
// phase's, a line's two rows sharing a step.
TEST_F(SolveState, ModeFactorsTakeTheAtomsOfTheirOwnStep) {
  twopurephases();
  NUV = NUVLEFT = 2;
  COMPNAME[2] = "MgO";
  BCOMPS[2] = true;
  ICOMP[1] = 3;
  ICOMP[2] = 2;
  COMPDIV[2] = 1;
  (*PREC0)[1].comp[2] = 0;
  (*PREC0)[2].comp[1] = 0;
  (*PREC0)[2].comp[2] = 1;
  PSEUDOSECTION = true;
  CALCG = false;
  NCOMP = 4;
  const extended silica[] = {0.8L, 0.6L, 0.3L, 0.1L};
  for (smallint k = 1; k <= 4; ++k) {
    SU.bulk(k, 1) = silica[k - 1];
    SU.bulk(k, 2) = 1 - silica[k - 1];
  }
  SU.nph = 2;
  SU.ph[1].phase = 1;
  SU.ph[2].phase = 2;
  // Every component is free: the atoms of all components and of the free
  // ones are the same.
  st.NORMA[1] = st.NORMB[1] = 3;
  st.NORMA[2] = st.NORMB[2] = 2;
  SU.firstmodeset = 2;
  SU.nmodeset = 2;
  const struct {
    smallint ovariance;
    smallint steps[2];
  } cases[] = {{2, {2, 3}}, {1, {2, 2}}};
  for (const auto& c : cases) {
    OVARIANCE = c.ovariance;
    st.POSTPROCESS();
    for (smallint r = 1; r <= 2; ++r) {
      const extended atoms = 2 + silica[c.steps[r - 1] - 1];
      EXPECT_NEAR(SU.ph[1].modefac[r], atoms / 3, 1e-15L) << c.ovariance << " row " << r;
      EXPECT_NEAR(SU.ph[2].modefac[r], atoms / 2, 1e-15L) << c.ovariance << " row " << r;
    }
  }
  OVARIANCE = 0;
  PSEUDOSECTION = false;
}

// A point is a result only when every number it would print is finite: any
// one unknown, mode, phase or system property that is not fails it, while
// the properties count only where they are worked out.
TEST_F(SolveState, PointWithAnyNonFiniteNumberFails) {
  NX = 2;
  NXP = 1;
  for (smallint i = 1; i <= 3; ++i) X[i] = 0.5L;
  SU.nph = 2;
  SU.nmodeset = 2;
  for (smallint k = 1; k <= 2; ++k) {
    suphasetype& ph = SU.ph[k];
    ph.hasmode = true;
    ph.mode[1] = ph.mode[2] = 0.5L;
    ph.g = -1000;
    ph.h = -900;
    ph.s = 0.2L;
    ph.v = 2;
    ph.rho = 2.5L;
  }
  for (smallint m = 1; m <= 2; ++m) {
    SU.gsys[m] = -1000;
    SU.hsys[m] = -900;
    SU.ssys[m] = 0.2L;
    SU.vsys[m] = 2;
    SU.rhosys[m] = 2.5L;
  }
  CALCG = true;
  ASSERT_TRUE(st.FINITEPOINT());
  const extended bad[] = {std::numeric_limits<extended>::infinity(), -std::numeric_limits<extended>::infinity(),
                          std::numeric_limits<extended>::quiet_NaN()};
  const struct {
    const char* what;
    extended* slot;
    bool withoutg;  // still fails when no properties are worked out
  } slots[] = {
      {"X[3]", &X[3], true},           {"mode 2 of phase 2", &SU.ph[2].mode[2], true},
      {"g of phase 2", &SU.ph[2].g, false}, {"h of phase 1", &SU.ph[1].h, false},
      {"s of phase 2", &SU.ph[2].s, false}, {"v of phase 1", &SU.ph[1].v, false},
      {"rho of phase 2", &SU.ph[2].rho, false}, {"G of row 2", &SU.gsys[2], false},
      {"H of row 1", &SU.hsys[1], false},   {"S of row 2", &SU.ssys[2], false},
      {"V of row 1", &SU.vsys[1], false},   {"rho of row 2", &SU.rhosys[2], false},
  };
  for (const auto& c : slots) {
    const extended keep = *c.slot;
    for (const extended b : bad) {
      *c.slot = b;
      CALCG = true;
      EXPECT_FALSE(st.FINITEPOINT()) << c.what << " " << static_cast<double>(b);
      CALCG = false;
      EXPECT_EQ(st.FINITEPOINT(), !c.withoutg) << c.what << " without properties";
    }
    *c.slot = keep;
  }
  CALCG = false;
}

// ---------------------------------------------------------------- ionic strength

int solves = 0;
// A solver that converges where it starts, or fails.
bool staysput(smallint& code) {
  ++solves;
  code = 0;
  return true;
}
bool fails(smallint& code) {
  ++solves;
  code = 2;
  return false;
}
// A solver whose aqueous variable swings between two values, so that the
// ionic strength never settles.
bool swings(smallint& code) {
  ++solves;
  X[3] = solves % 2 ? 0.001L : 0.002L;
  code = 0;
  return true;
}

TEST_F(SolveState, IonicStrengthPasses) {
  NPSS = 1;
  ptype1& p = (*PREC1)[1];
  p.name = "aq";
  p.nprop = 2;
  p.prop[1] = assemblage::expr("1 - x", {"x"});
  p.prop[2] = assemblage::expr("x", {"x"});
  NCV = 2;
  STARTSS[1] = true;
  EM2SS[1] = 1;
  EM2X[1] = 3;
  NX = 3;
  X[3] = 0.001L;
  struct c {
    const char* what;
    bool aq;
    ZQNLE2::nlesolvertype solver;
    extended z1, z2;  // charges of the first end-member; the second has 1, 1
    int calls;
    bool ok;
    extended ionic;   // left in both rows, -1 when untouched
    const char* stop;
  };
  const std::vector<c> cases = {
      {"no aqueous phase: one solve", false, staysput, 1, 1, 1, true, -1, ""},
      {"a failed first solve ends it", true, fails, 1, 1, 1, false, 0.00018L, ""},
      {"capped at 0.0018, agreeing on the second pass", true, staysput, 1, 1, 3, true, 0.0018L, ""},
      {"a half-sum below the cap, settled at once", true, staysput, 0, 0, 3, true, 0.0005L, ""},
      {"never settling: the eleventh pass ends the run", true, swings, 0, 0, 12, true, -1, "solve: debye-huckel loop"},
  };
  for (const c& k : cases) {
    SCOPED_TRACE(k.what);
    p.isaq = k.aq;
    p.em[1].td[TDSLOT::CHARGE1] = k.z1;
    p.em[1].td[TDSLOT::CHARGE2] = k.z2;
    p.em[2].td[TDSLOT::CHARGE1] = p.em[2].td[TDSLOT::CHARGE2] = 1;
    (*TD)(1, TDSLOT::IONIC) = (*TD)(2, TDSLOT::IONIC) = -1;
    X[3] = k.z1 == 0 ? 0.001L : 0.001L;
    ZQNLE2::NLESOLVER = k.solver;
    solves = 0;
    bool ok = false;
    EXPECT_EQ(fatal([&] { ok = st.DONLE(); }), k.stop);
    EXPECT_EQ(solves, k.calls);
    if (*k.stop != 0) continue;
    EXPECT_EQ(ok, k.ok);
    EXPECT_EQ(st.NLECODE, k.ok ? 0 : 2);
    EXPECT_NEAR((*TD)(1, TDSLOT::IONIC), k.ionic, 1e-18L);
    EXPECT_NEAR((*TD)(2, TDSLOT::IONIC), k.ionic, 1e-18L);
  }
}

// ---------------------------------------------------------------- variance check

TEST_F(SolveState, VarianceCheck) {
  // alp (aA, aB; x in the site fractions) and a pure phase pa.
  NPSS = 1;
  NP0 = 1;
  ptype1& p = (*PREC1)[1];
  p.nprop = 2;
  p.nsf = 2;
  p.sf[1] = assemblage::expr("1 - x", {"x"});
  p.sf[2] = assemblage::expr("x", {"x"});
  p.em[1].nsfterm = 1;
  p.em[1].sfterm[1].sfindex = 1;
  p.em[2].nsfterm = 1;
  p.em[2].sfterm[1].sfindex = 2;
  NCV = 3;
  STARTSS[1] = true;
  EM2SS[1] = 1;
  EM2X[1] = 3;
  NX = 3;
  BX[3] = true;
  struct c {
    const char* what;
    smallint nr;
    std::vector<smallint> row;  // coefficients of aA, aB, pa
    smallint variance;
    bool modes, fract;
    smallint debug;
    smallint code;
    const char* terminal;
  };
  const std::vector<c> cases = {
      {"no reactions, quiet", 0, {}, 2, false, false, 0, 1, "#"},
      {"no reactions, talking", 0, {}, 2, false, false, 1, 1, "  cannot calculate this equilibrium (no reactions)\n"},
      {"no reactions in a fractionation run", 0, {}, 2, false, true, 1, 0, ""},
      {"a reaction through the solution", 1, {1, 0, -1}, 2, false, false, 1, 0, ""},
      {"x in no reaction, quiet", 1, {0, 0, 1}, 2, false, false, 0, 2, "@"},
      {"x in no reaction, talking", 1, {0, 0, 1}, 2, false, false, 1, 2,
       "  cannot calculate this equilibrium (degenerate?)\n"},
      {"x in no reaction with the modes solved", 1, {0, 0, 1}, 2, true, false, 1, 0, ""},
  };
  for (const c& k : cases) {
    SCOPED_TRACE(k.what);
    NR = k.nr;
    for (smallint j = 1; j <= 3 && NR > 0; ++j) (*R)(1, j) = k.row[static_cast<std::size_t>(j - 1)];
    VARIANCE = k.variance;
    MODESBYNLE = k.modes;
    DOINGFRACT = k.fract;
    DEBUGLEVEL = k.debug;
    testsupport::Terminal term;
    smallint code = -1;
    st.CHECKVAR(code);
    EXPECT_EQ(code, k.code);
    EXPECT_EQ(term.text(), k.terminal);
  }
}

// ---------------------------------------------------------------- dogmin grid

// A dogmin point needs its record of the P-T grid: more points in an item
// than the grid holds end the run before the point is started.
TEST_F(SolveState, DogminPointsBeyondTheGrid) {
  struct c {
    bool dogmin;
    smallint ngmin, kgmin;  // grid points, points of the item so far
    const char* stop;
  };
  const std::vector<c> cases = {
      {true, 4, 4, "solve: more points than the dogmin PT grid"},
      {true, 1, 1, "solve: more points than the dogmin PT grid"},
      {true, 120, 120, "solve: PT grid in dogmin too big"},
  };
  for (const c& k : cases) {
    DOGMIN = k.dogmin;
    NGMIN = k.ngmin;
    KGMIN = k.kgmin;
    EXPECT_EQ(fatal([&] { st.POINT(); }), k.stop) << k.ngmin;
  }
}

// ---------------------------------------------------------------- mode debug lines

// The mode unknowns at debug levels 3 and 4, standard output only: only
// the solved modes (m(a) and m(c), not m(b)) have columns; the first
// mode's scale is XFACA 0.5, XFACB 0.1 with PHI 2.
TEST_F(SolveState, ModeDebugLines) {
  NX = 2;
  NXP = 3;
  const bool solved[] = {true, false, true};
  const char* names[] = {"m(a)", "m(b)", "m(c)"};
  const extended guess[] = {0.25L, 0.5L, 0.75L}, x[] = {0.35L, 9, 1.5L}, raw[] = {0.4L, 9, 0.6L};
  const extended faca[] = {0.5L, 3, 1}, facb[] = {0.1L, 3, 0};
  for (smallint m = 1; m <= 3; ++m) {
    const smallint i = static_cast<smallint>(NX + m);
    BX[i] = solved[m - 1];
    XNAME[i] = names[m - 1];
    XGUESS[i] = guess[m - 1];
    X[i] = x[m - 1];
    st.XRAW[i] = raw[m - 1];
    XFACA[i] = faca[m - 1];
    XFACB[i] = facb[m - 1];
  }
  PHI = 2;
  const std::string names12 = std::string(12, ' ') + "      m(a)      m(c)\n";
  testsupport::Terminal term;
  st.PRINTMODEDEBUG1();
  EXPECT_EQ(term.text(), names12 +
                             "        setx   0.25000   0.75000  xguess   0.50000   0.10000  phi =    2.00000\n"
                             "               0.35000   1.50000  x       -0.15000   1.35000\n"
                             "               0.25000   0.75000  un      -0.10000   0.90000\n\n");
  testsupport::Terminal after;
  st.PRINTMODEDEBUG2(true, 0.5L);
  EXPECT_EQ(after.text(), names12 + "     extract   0.35000   1.50000  x   0.50000   0.10000  t =    0.50000\n");
  testsupport::Terminal before;
  st.PRINTMODEDEBUG2(false, 1);
  EXPECT_EQ(before.text(), "               0.35000   1.50000  un x\n               0.40000   0.60000  xprint\n\n");
}

// The unscaling of two solved modes prints both lines of the second
// printer at debug levels 3 and 4 only.
TEST_F(SolveState, ModeDebugLinesOfTheUnscaling) {
  twopurephases();
  SU.nph = 2;
  SU.ph[1].hasmode = SU.ph[2].hasmode = true;
  SU.ph[1].nem = SU.ph[2].nem = 1;
  NEARSING = false;
  const std::string lines = std::string(12, ' ') + "        pa        pb\n" +
                            "     extract   0.25000   0.75000  x   1.00000   0.00000  t =    0.00000\n" +
                            std::string(12, ' ') + "   0.25000   0.75000  un x\n" + std::string(12, ' ') +
                            "   0.25000   0.75000  xprint\n\n";
  for (const smallint level : {2, 3, 4, 5}) {
    DEBUGLEVEL = level;
    X[1] = 5, X[2] = 900;
    X[3] = 0.25L, X[4] = 0.75L;
    testsupport::Terminal term;
    bool seen = false;
    st.EXTRACT(seen);
    EXPECT_EQ(term.text(), level == 3 || level == 4 ? lines : "") << level;
  }
  DEBUGLEVEL = 0;
}

}  // namespace
