// The equilibrium equations: residuals at known solutions, the Jacobian
// against differences of the residuals, phase compositions, solvent slots
// and the guards that refuse or stop a point.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "iotestsupport.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"
#include "model/zqre.h"

using namespace ZQGLOBAL;
using assemblage::endmember;
using assemblage::solution;

namespace {

// ---------------------------------------------------------------- fixtures

using assemblage::onesite;
using assemblage::row;

// An ideal binary of end-members A and B in variable x = x(B).
solution binaryphase(const std::string& name, const std::string& x, const endmember& a, const endmember& b) {
  return onesite(name, axtype::ideal, {x}, {"1 - " + x, x}, {a, b});
}

// Two ideal binary phases alpha and beta of end-members A and B.
assemblage::system binaryloop() {
  assemblage::system s;
  s.components = {"A", "B"};
  s.solutions = {binaryphase("alpha", "x(a)", row("aA", {1, 0}, -1000, 0.10L, 2.0L), row("aB", {0, 1}, -1100, 0.12L, 2.2L)),
                 binaryphase("beta", "x(b)", row("bA", {1, 0}, -990, 0.11L, 2.1L), row("bB", {0, 1}, -1106, 0.115L, 2.15L))};
  return s;
}

// The closed-form solutions of the loop (40-digit arithmetic).
constexpr extended loopxa = 0.4080716030130941004197679707L;
constexpr extended loopxb = 0.5155842113049219121425483185L;
constexpr extended loopma = 0.6100141401732420117260824801L;
constexpr extended loopmb = 0.3899858598267579882739175199L;
constexpr extended loopT = 959.0786731234291263750152721L;
constexpr extended loopxb35 = 0.4200365910306408069554058438L;

// A symmetric ternary, a van Laar binary, an aqueous phase and a pure phase
// over four components.
assemblage::system recipefixture() {
  assemblage::system s;
  s.components = {"A", "B", "C", "W"};
  solution sym = onesite("sym", axtype::symmetric, {"x", "y"}, {"1 - x - y", "x", "y"},
                         {row("e1", {1, 0, 0, 0}, 0, 0.02L, 1.1L), row("e2", {0, 1, 0, 0}, 0, 0.03L, 1.3L),
                          row("e3", {0, 0, 1, 0}, 0, 0.025L, 1.2L)});
  sym.ems[1].nsite = 2;
  sym.ws = {{1, 2, 12, -0.002L, 0.05L}, {1, 3, 6}, {2, 3, 3, 0, 0.1L}};
  solution vl = onesite("vl", axtype::vanlaar, {"y(v)"}, {"1 - y(v)", "y(v)"},
                        {row("v1", {0, 1, 1, 0}, 0, 0.05L, 2.4L), row("v2", {0, 0, 2, 0}, 0, 0.04L, 2.2L)});
  vl.ems[1].alpha = 2;
  vl.ws = {{1, 2, 9, 0.003L, 0.02L}};
  solution aq = onesite("aq", axtype::vanlaar, {"z"}, {"1 - z", "z"},
                        {row("H2O", {0, 0, 0, 1}, 0, 0.07L, 1.8L), row("sol", {1, 0, 0, 1}, 0, 0.09L, 3.0L)});
  aq.ems[0].fluidcode = 1;
  aq.ems[1].alpha = 1.5L;
  aq.ws = {{1, 2, 4, 0.001L, 0}};
  s.solutions = {sym, vl, aq};
  s.pures = {{row("pp", {1, 1, 0, 0}, 0, 0.06L, 2.5L)}};
  s.pfree = s.tfree = false;
  return s;
}

// ---------------------------------------------------------------- helpers

struct evaluation {
  std::unique_ptr<eqmatrix> jac = std::make_unique<eqmatrix>("test jac");
  eqvector r{"test r"};
  bool ok = false;
};

evaluation evaluate(const eqvector& x, bool dojac = true) {
  evaluation e;
  e.ok = ZQCALC2::NLEFUNC(x, *e.jac, e.r, dojac);
  return e;
}

bool reactions() {
  bool found = false;
  ZQRE::CALCRE2(found);
  return found;
}

// Compares the Jacobian at X with central differences of the residuals,
// column by free unknown; P and T columns to ptol, the others to tol.
// P and T step 0.001 kbar and 0.01 K: the fluid volumes behind an aqueous
// phase's activities are smooth only on that scale.
void expectjacobian(extended tol, extended ptol, const std::string& what) {
  testsupport::Terminal quiet;
  evaluation base = evaluate(X);
  ASSERT_TRUE(base.ok) << what;
  ASSERT_EQ(JROW, JCOL) << what;
  long c = 0;
  for (long v = 1; v <= NX + NXP; ++v) {
    if (!BX[v]) continue;
    ++c;
    const extended h = v == 1 ? 0.001L * XFACA[1] : v == 2 ? 0.01L * XFACA[2] : 1e-6L;
    eqvector xp = X, xm = X;
    xp[v] = xp[v] + h;
    xm[v] = xm[v] - h;
    const evaluation ep = evaluate(xp, false), em = evaluate(xm, false);
    ASSERT_TRUE(ep.ok && em.ok) << what << " unknown " << v;
    const extended t = v <= 2 ? ptol : tol;
    for (long i = 1; i <= JROW; ++i) {
      const extended fd = (ep.r[i] - em.r[i]) / (2 * h);
      const extended an = (*base.jac)(i, c);
      EXPECT_LE(std::fabs(an - fd), t * std::max<extended>(1, std::fabs(fd)))
          << what << ": row " << i << " column " << c << " (" << XNAME[v] << ") analytic " << static_cast<double>(an)
          << " differences " << static_cast<double>(fd);
    }
  }
  EXPECT_EQ(c, JCOL) << what;
}

// ---------------------------------------------------------------- binary loop

class BinaryLoop : public ::testing::Test {
 protected:
  assemblage::tables tables;
};

TEST_F(BinaryLoop, ResidualsVanishAtTheClosedFormSolutions) {
  assemblage::system s = binaryloop();
  s.pfree = s.tfree = false;
  assemblage::layout(s);
  ASSERT_TRUE(reactions());
  ASSERT_EQ(NR, 2);
  assemblage::setpoint(5, 900, {loopxa, loopxb}, {loopma, loopmb});
  COMPK[1] = 0.55L;
  COMPK[2] = 0.45L;
  evaluation e = evaluate(X);
  ASSERT_TRUE(e.ok);
  EXPECT_EQ(JROW, 4);
  EXPECT_EQ(JCOL, 4);
  for (long i = 1; i <= 4; ++i) EXPECT_NEAR(static_cast<double>(e.r[i]), 0, 1e-10) << i;
  // ln K of each reaction is the log ratio of its activities.
  EXPECT_NEAR(static_cast<double>(ALNK[1]), std::log(static_cast<double>(loopxb / loopxa)), 1e-12);

  // The isopleth x(B, alpha) = 0.35 with T free; modes after the solve.
  s.modes = false;
  s.tfree = true;
  s.solutions[0].vars[0].fixed = true;
  assemblage::layout(s);
  ASSERT_TRUE(reactions());
  assemblage::setpoint(5, loopT, {0.35L, loopxb35}, {});
  e = evaluate(X);
  ASSERT_TRUE(e.ok);
  EXPECT_EQ(JROW, 2);
  EXPECT_EQ(JCOL, 2);
  for (long i = 1; i <= 2; ++i) EXPECT_NEAR(static_cast<double>(e.r[i]), 0, 1e-10) << i;
}

TEST_F(BinaryLoop, JacobianMatchesDifferencesInEveryLayout) {
  const struct {
    const char* what;
    bool modes, pfree, tfree, xafixed, xbfixed, mafixed, mbfixed;
  } layouts[] = {
      {"modes, P and T fixed", true, false, false, false, false, false, false},
      {"modes, T free, a fixed mode", true, false, true, false, false, true, false},
      {"modes, P free, isopleth", true, true, false, true, false, false, false},
      {"modes, P and T free, isopleth and fixed mode", true, true, true, true, false, false, true},
      {"no modes, P and T fixed", false, false, false, false, false, false, false},
      {"no modes, T free, isopleth", false, false, true, true, false, false, false},
      {"no modes, P free, later isopleth", false, true, false, false, true, false, false},
      {"no modes, P and T free, both fixed", false, true, true, true, true, false, false},
  };
  for (const auto& l : layouts) {
    assemblage::system s = binaryloop();
    s.modes = l.modes;
    s.pfree = l.pfree;
    s.tfree = l.tfree;
    s.solutions[0].vars[0].fixed = l.xafixed;
    s.solutions[1].vars[0].fixed = l.xbfixed;
    s.solutions[0].modefixed = l.mafixed;
    s.solutions[1].modefixed = l.mbfixed;
    assemblage::layout(s);
    ASSERT_TRUE(reactions());
    assemblage::setpoint(5, 900, {0.3L, 0.6L}, l.modes ? std::vector<extended>{0.7L, 0.4L} : std::vector<extended>{});
    COMPK[1] = 0.5L;
    COMPK[2] = 0.5L;
    expectjacobian(1e-7L, 1e-4L, l.what);
  }
}

TEST_F(BinaryLoop, FixedModeCountsInTheSum) {
  assemblage::system s = binaryloop();
  s.tfree = false;
  s.solutions[1].modefixed = true;
  assemblage::layout(s);
  ASSERT_TRUE(reactions());
  assemblage::setpoint(5, 900, {0.3L, 0.6L}, {0.7L, 0.4L});
  COMPK[1] = 0.5L;
  COMPK[2] = 0.5L;
  const evaluation e = evaluate(X);
  ASSERT_TRUE(e.ok);
  // S = 1.1; bulk of A: 0.7 * 0.7 + 0.4 * 0.4 = 0.65.
  EXPECT_NEAR(static_cast<double>(ZQCALC2::NLEFUNCSTATE().sumprop), 1.1, 1e-15);
  EXPECT_NEAR(static_cast<double>(e.r[3]), 1.1 * 0.65 - 0.5, 1e-15);
}

TEST_F(BinaryLoop, MassBalanceAloneWithoutReactions) {
  // One phase: no reaction, two mass-balance rows in its composition and
  // its mode, whose columns follow the composition's.
  assemblage::system s = binaryloop();
  s.solutions.pop_back();
  s.pfree = s.tfree = false;
  assemblage::layout(s);
  DOGMIN = true;
  EXPECT_FALSE(reactions());
  assemblage::setpoint(5, 900, {0.3L}, {0.8L});
  COMPK[1] = 0.5L;
  COMPK[2] = 0.5L;
  expectjacobian(1e-7L, 1e-4L, "no reactions");
  EXPECT_EQ(JROW, 2);
}

// ---------------------------------------------------------------- recipe fixtures

class Recipe : public ::testing::Test {
 protected:
  assemblage::tables tables;
  const std::vector<extended> lambda{-500, -700, -900, -300};
};

TEST_F(Recipe, SymmetricVanLaarAndAqueousPhases) {
  assemblage::layout(recipefixture());
  assemblage::setpoint(8, 1000, {0.3L, 0.25L, 0.4L, 0.2L}, {0.3L, 0.25L, 0.15L, 0.3L});
  assemblage::solvable(lambda);
  ASSERT_TRUE(reactions());
  ASSERT_EQ(NR, 4);
  evaluation e = evaluate(X);
  ASSERT_TRUE(e.ok);
  ASSERT_EQ(JROW, 8);
  for (long i = 1; i <= JROW; ++i) EXPECT_NEAR(static_cast<double>(e.r[i]), 0, 1e-10) << i;
  // The aqueous phase's end-members carry its water proportion.
  EXPECT_NEAR(static_cast<double>((*TD)(7, TDSLOT::XH2O)), 0.8, 1e-18);
  EXPECT_EQ((*TD)(7, TDSLOT::XCO2), 0);
  expectjacobian(1e-7L, 1e-4L, "at the solution");

  // Away from the solution, with P and T free and one isopleth.
  assemblage::system s = recipefixture();
  s.pfree = s.tfree = true;
  s.solutions[0].vars[1].fixed = true;
  s.pures[0].modefixed = true;
  assemblage::layout(s);
  assemblage::setpoint(8.5L, 1030, {0.32L, 0.25L, 0.37L, 0.22L}, {0.28L, 0.27L, 0.16L, 0.3L});
  assemblage::solvable(lambda);
  assemblage::setpoint(8, 1000, {0.3L, 0.25L, 0.4L, 0.2L}, {0.3L, 0.25L, 0.15L, 0.3L});
  ASSERT_TRUE(reactions());
  expectjacobian(1e-7L, 1e-4L, "away from the solution");
}

// The loop with a third component always bound to B: the projected mass
// balance loses one row.
assemblage::system rankdeficient() {
  assemblage::system s;
  s.components = {"A", "B", "C"};
  s.solutions = {binaryphase("alpha", "x(a)", row("aA", {1, 0, 0}, 0, 0.10L, 2.0L), row("aB", {0, 1, 1}, 0, 0.12L, 2.2L)),
                 binaryphase("beta", "x(b)", row("bA", {1, 0, 0}, 0, 0.11L, 2.1L), row("bB", {0, 1, 1}, 0, 0.115L, 2.15L))};
  s.projc = {{1, 0, 0}, {0, 1, 0}, {0, -1, 1}};
  s.rankdeficit = 1;
  s.pfree = s.tfree = false;
  return s;
}

TEST_F(Recipe, RankDeficientMassBalance) {
  assemblage::layout(rankdeficient());
  assemblage::setpoint(6, 950, {0.35L, 0.45L}, {0.55L, 0.5L});
  assemblage::solvable({-400, -600, -200});
  ASSERT_TRUE(reactions());
  evaluation e = evaluate(X);
  ASSERT_TRUE(e.ok);
  EXPECT_EQ(JROW, 4);
  EXPECT_EQ(JCOL, 4);
  for (long i = 1; i <= 5; ++i) EXPECT_NEAR(static_cast<double>(e.r[i]), 0, 1e-10) << i;
  for (long c = 1; c <= 4; ++c) EXPECT_EQ((*e.jac)(5, c), 0) << "no Jacobian row for the left-out residual";
  expectjacobian(1e-7L, 1e-4L, "rank deficient");
}

// ---------------------------------------------------------------- phase compositions

TEST_F(Recipe, CompositionsPerAtomAndTheirDerivatives) {
  assemblage::system s = recipefixture();
  s.icomp = {3, 2, 5, 3};
  s.compdiv = {1, 2, 1, 1};
  for (int fixed = -1; fixed < 4; ++fixed) {
    s.free = {true, true, true, true};
    if (fixed >= 0) s.free[static_cast<std::size_t>(fixed)] = false;
    assemblage::layout(s);
    assemblage::setpoint(8, 1000, {0.3L, 0.25L, 0.4L, 0.2L}, {0.3L, 0.25L, 0.15L, 0.3L});
    ZQCALC2::nlefuncstate& st = ZQCALC2::NLEFUNCSTATE();
    for (long v = 1; v <= NX + NXP; ++v) st.x[v] = assemblage::physical(v);
    st.ok = true;
    st.compcalc.fill(-7);
    st.CALCP();
    ASSERT_TRUE(st.ok);
    for (long p = 1; p <= NXP; ++p) {
      const std::vector<extended> want = assemblage::phasecomposition(p);
      ASSERT_EQ(static_cast<long>(want.size()), NUVLEFT);
      extended atoms = 0;
      long kk = 0;
      for (long k = 1; k <= NUV; ++k) {
        if (!BCOMPS[k]) continue;
        ++kk;
        EXPECT_NEAR(static_cast<double>(st.compcalc(p, kk)), static_cast<double>(want[static_cast<std::size_t>(kk - 1)]), 1e-15);
        atoms += st.compcalc(p, kk) * ICOMP[k];
      }
      EXPECT_NEAR(static_cast<double>(atoms), 1, 1e-15) << "one atom, phase " << p << ", fixed " << fixed;
    }
    // The derivatives against central differences of the compositions ...
    std::unique_ptr<dcompdxarray> analytic = std::make_unique<dcompdxarray>(*DCOMPDX);
    const eqvector keep = st.x;
    for (long p = 1; p <= NXPSS; ++p)
      for (long w = 1; w <= (*PREC1)[MP2SS[p]].nvar; ++w) {
        const long v = MP2X[p] + w - 1;
        constexpr extended h = 1e-6L;
        st.x[v] = keep[v] + h;
        st.CALCP();
        const compcalctype up = st.compcalc;
        st.x[v] = keep[v] - h;
        st.CALCP();
        st.x = keep;
        for (long kk = 1; kk <= NUVLEFT; ++kk)
          EXPECT_NEAR(static_cast<double>((*analytic)[p](kk, w)),
                      static_cast<double>((up(p, kk) - st.compcalc(p, kk)) / (2 * h)), 1e-9)
              << "phase " << p << " variable " << w << " component " << kk;
      }
    // ... and the forward differences of the routine kept for checking
    // them, whose step of 1e-5 leaves an error of that order.
    st.CALCP();
    st.FDCALCDCOMPDX();
    for (long p = 1; p <= NXPSS; ++p)
      for (long w = 1; w <= (*PREC1)[MP2SS[p]].nvar; ++w)
        for (long kk = 1; kk <= NUVLEFT; ++kk) {
          const extended a = (*analytic)[p](kk, w), fd = (*DCOMPDX)[p](kk, w);
          EXPECT_NEAR(static_cast<double>(a), static_cast<double>(fd), 3e-5) << p << " " << w << " " << kk;
          if (p == 1 && w == 1 && kk == 1) {
            EXPECT_NE(a, fd) << "the differences, not the analytic values";
          }
        }
    for (long v = 1; v <= NX; ++v) EXPECT_EQ(st.x[v], assemblage::physical(v)) << "x restored";
  }
}

TEST_F(Recipe, FormulaSumOfZeroRefusesThePoint) {
  assemblage::system s = binaryloop();
  s.pfree = s.tfree = false;
  // Mixed-sign proportions: 1 - 2x and 2x - 1 cancel at any x.
  s.solutions[0].ems[0].prop = "1 - 2*x(a)";
  s.solutions[0].ems[1].prop = "2*x(a) - 1";
  assemblage::layout(s);
  ASSERT_TRUE(reactions());
  assemblage::setpoint(5, 900, {0.3L, 0.6L}, {0.7L, 0.4L});
  testsupport::Terminal term;
  EXPECT_FALSE(evaluate(X).ok);
}

TEST_F(Recipe, SolventSlotsOfAqueousAndFluidPhases) {
  assemblage::system s;
  s.components = {"C", "W", "A"};
  auto solvent = [](const std::string& name) {
    return onesite(name, axtype::vanlaar, {"c", "a"}, {"1 - c - a", "c", "a"},
                   {row("H2O", {0, 1, 0}, 0, 0, 1.8L), row("CO2", {1, 0, 0}, 0, 0, 3.0L), row("sol", {0, 1, 1}, 0, 0, 2.0L)});
  };
  s.solutions = {solvent("aq17"), solvent("fluid"), binaryphase("alpha", "x", row("aA", {1, 0, 0}, 0, 0, 1), row("aB", {0, 0, 1}, 0, 0, 1))};
  s.modes = false;
  assemblage::layout(s);
  for (long j = 1; j <= NCV; ++j) (*TD)(j, TDSLOT::XCO2) = (*TD)(j, TDSLOT::XH2O) = 9;
  ZQCALC2::nlefuncstate& st = ZQCALC2::NLEFUNCSTATE();
  assemblage::setpoint(5, 900, {0.25L, 0.125L, 0.5L, 0.25L, 0.5L}, {});
  for (long v = 1; v <= NX; ++v) st.x[v] = assemblage::physical(v);
  st.HANDLEFLUID();
  const struct {
    long em;
    extended xco2, xh2o;
  } want[] = {{1, 0.25L, 0.625L}, {2, 0.25L, 0.625L}, {3, 0.25L, 0.625L}, {4, 0, 0},
              {5, 0, 0},         {6, 0, 0},          {7, 0, 0},          {8, 0, 0}};
  for (const auto& w : want) {
    EXPECT_EQ((*TD)(w.em, TDSLOT::XCO2), w.xco2) << NAME[w.em];
    EXPECT_EQ((*TD)(w.em, TDSLOT::XH2O), w.xh2o) << NAME[w.em];
  }
}

// ---------------------------------------------------------------- guards

class Guards : public ::testing::Test {
 protected:
  assemblage::tables tables;
  void SetUp() override {
    assemblage::system s = binaryloop();
    s.pfree = s.tfree = false;
    assemblage::layout(s);
    ASSERT_TRUE(reactions());
    assemblage::setpoint(5, 900, {0.3L, 0.6L}, {0.7L, 0.4L});
    COMPK[1] = 0.5L;
    COMPK[2] = 0.5L;
  }
  struct outcome {
    bool ok = false;
    std::string terminal, fatal;
  };
  outcome run(const eqvector& x) {
    outcome o;
    testsupport::Terminal term;
    o.fatal = testsupport::fatal([&] { o.ok = evaluate(x).ok; });
    o.terminal = term.text();
    return o;
  }
};

std::string field(const std::string& s, std::size_t width) {
  return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

TEST_F(Guards, RangeOfTheScaledUnknowns) {
  const struct {
    extended scaled;
    acctype low, high;
    bool ok;
  } cases[] = {
      {0, acctype::xaccessible, acctype::xaccessible, true},   {1, acctype::xaccessible, acctype::xaccessible, true},
      {0, acctype::inaccessible, acctype::xaccessible, false}, {1, acctype::xaccessible, acctype::inaccessible, false},
      {1, acctype::inaccessible, acctype::xaccessible, true},  {-1e-12L, acctype::xaccessible, acctype::xaccessible, false},
      {1 + 1e-12L, acctype::xaccessible, acctype::xaccessible, false}, {NAN, acctype::xaccessible, acctype::xaccessible, false},
  };
  for (const auto& c : cases) {
    eqvector x = X;
    x[NX + 1] = c.scaled;  // the mode of alpha: no site fraction depends on it
    INACC1[NX + 1] = c.low;
    INACC2[NX + 1] = c.high;
    const outcome o = run(x);
    EXPECT_EQ(o.ok, c.ok) << static_cast<double>(c.scaled);
    EXPECT_EQ(o.fatal, "");
    if (c.ok) {
      EXPECT_EQ(o.terminal, "");
      continue;
    }
    const std::string values = field(IO::REAL2STR(5, 2, true), 10) +
                               field(IO::REAL2STR(900 - CONST::KELVIN, 1, true), 10) +
                               field(IO::REAL2STR(0.3L, 4, false), 10) + field(IO::REAL2STR(0.6L, 4, false), 10) +
                               field(IO::REAL2STR(2 * c.scaled, 4, false), 10) + field(IO::REAL2STR(0.4L, 4, false), 10);
    EXPECT_EQ(o.terminal, "## bad alpha value\n\n\nFAILED in nlefunc, at which stage x was:\n"
                          "   P(kbar)     T(\xA1" "C)      x(a)      x(b)     alpha      beta\n" +
                              values + "\n");
  }
}

TEST_F(Guards, SiteFractionsAndRankDeficitByKindOfRun) {
  const std::string report = "\n" + std::string(14, ' ') + "x(a)" + std::string(8, ' ') + "x(b)\n" +
                             "x =  " + field("0", 12) + field("0.60000", 12) + "\n" +
                             "\n" + std::string(5, ' ') + field("s1", 12) + field("s2", 12) + "\n" +
                             "sf = " + field("1.000000", 12) + field("0", 12) + "\n";
  const std::string dogminline = "\nchecksf, negative sf term - change starting guesses?\n";
  const std::string sorryline = "\nsorry - try changing starting guesses!\n";
  const struct {
    bool mc, dogmin;
    smallint level;
    std::string terminal, fatal;
  } sitecases[] = {
      {true, false, 0, "*** NOT OK\n", ""},
      {true, true, 3, "*** NOT OK\n", ""},
      {false, true, 1, "*** NOT OK\n", ""},
      {false, true, 2, report + dogminline + "*** NOT OK\n", ""},
      {false, false, 0, report + sorryline, "calcsf: negative sf term"},
  };
  for (const auto& c : sitecases) {
    DOINGMC = c.mc;
    DOGMIN = c.dogmin;
    DOGLEVEL = c.level;
    eqvector x = X;
    x[3] = 0;  // x(B) of alpha exactly 0
    const outcome o = run(x);
    EXPECT_FALSE(o.ok);
    if (c.fatal.empty())
      EXPECT_EQ(o.terminal, c.terminal) << c.mc << c.dogmin << c.level;
    else
      EXPECT_EQ(o.terminal.substr(0, c.terminal.size()), c.terminal);
    EXPECT_EQ(o.fatal, c.fatal);
  }
  DOINGMC = false;

  // The left-out row of a rank-deficient balance.
  assemblage::layout(rankdeficient());
  ASSERT_TRUE(reactions());
  assemblage::setpoint(6, 950, {0.35L, 0.45L}, {0.55L, 0.5L});
  COMPK.fill(0);
  const struct {
    extended residual;
    bool dogmin;
    smallint level;
    bool ok;
    std::string terminal, fatal;
  } rankcases[] = {
      {0.99e-5L, false, 0, true, "", ""},
      {-0.99e-5L, false, 0, true, "", ""},
      {1e-5L, true, 1, true, "", ""},
      {1e-5L, true, 2, false,
       "residual ( 1.00000E-05) should be zero in rank-deficient case\n"
       "residuals not in reduced system - shouldn't have happened?\n",
       ""},
      {-1e-5L, false, 0, false, "residual (-1.00000E-05) should be zero in rank-deficient case\n",
       "nlefunc: residuals not in reduced system"},
  };
  for (const auto& c : rankcases) {
    DOGMIN = c.dogmin;
    DOGLEVEL = c.level;
    // Row 3 projects C - B; the phases hold as much C as B, so its
    // residual is minus the projected bulk.
    COMPK[2] = 0;
    COMPK[3] = -c.residual;
    const outcome o = run(X);
    EXPECT_EQ(o.ok, c.ok) << static_cast<double>(c.residual);
    EXPECT_EQ(o.terminal.substr(0, c.terminal.size()), c.terminal);
    if (c.fatal.empty()) {
      EXPECT_EQ(o.terminal, c.terminal);
    }
    EXPECT_EQ(o.fatal, c.fatal);
  }
}

TEST_F(Guards, OverflowingActivityRefusesThePoint) {
  assemblage::system s = binaryloop();
  s.pfree = s.tfree = false;
  s.solutions[0].model = axtype::symmetric;
  s.solutions[0].ws = {{1, 2, 1e9L}};
  assemblage::layout(s);
  ASSERT_TRUE(reactions());
  assemblage::setpoint(5, 900, {0.3L, 0.6L}, {0.7L, 0.4L});
  const outcome o = run(X);
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.fatal, "");
}

TEST_F(Guards, NonSquareSystemStopsWithAndWithoutModes) {
  const struct {
    bool modes;
    std::string terminal;
  } cases[] = {
      {true, "\n\nrow 4 (  2  2  0)\ncol 5 (  3  2)\n\n"},
      {false, "\n\nrow 2 (  2  2  0)\ncol 3 (  3  0)\n\n"},
  };
  for (const auto& c : cases) {
    assemblage::system s = binaryloop();
    s.modes = c.modes;
    s.pfree = true;
    s.tfree = false;
    assemblage::layout(s);
    ASSERT_TRUE(reactions());
    assemblage::setpoint(5, 900, {0.3L, 0.6L}, c.modes ? std::vector<extended>{0.7L, 0.4L} : std::vector<extended>{});
    DEBUGLEVEL = 1;
    const outcome o = run(X);
    EXPECT_EQ(o.fatal, "nlefunc: non-square jacobian");
    EXPECT_EQ(o.terminal.substr(0, c.terminal.size()), c.terminal);
    EXPECT_EQ(DEBUGLEVEL, 4);
  }
  IBATCH = 7;
  DEBUGLEVEL = 1;
  const outcome o = run(X);
  const std::string batch = "\nmcjx: batch =   7\n\nrow 2 (  2  2  0)\n";
  EXPECT_EQ(o.terminal.substr(0, batch.size()), batch);
}

}  // namespace
