// The solver's narration at debug levels 2 to 4 and its check of the
// analytic Jacobian against forward differences.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "assemblage_testsupport.h"
#include "frame/bytes.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "frame/zqglobal_nle.h"
#include "iotestsupport.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"
#include "model/zqmath2.h"
#include "model/zqmath2_run.h"
#include "model/zqre.h"
#include "solverrecipe.h"

using namespace ZQGLOBAL;
using assemblage::physical;

namespace {

constexpr extended xalpha = 0.4080716030130941004197679707L, xbeta = 0.5155842113049219121425483185L;
constexpr extended malpha = 0.6100141401732420117260824801L, mbeta = 0.3899858598267579882739175199L;

using testsupport::lines;

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::string real(extended v, smallint places, bool fixed, smallint width) {
  std::string s;
  IO::ADDREAL(v, places, fixed, width, s);
  return s;
}

class Trace : public ::testing::Test {
 protected:
  void SetUp() override {
    IO::MACHEPS = std::ldexp(1.0L, -64);
    SMALLE = 1e-8L;
    SMALLF = 1e-6L;
    SMALLDX = 0.005L;
    MCIT = 1;
    IO::CONTROLIO.pagewidth = 250;
    RESETNLE();
    spoil.clear();
  }
  void TearDown() override {
    ZQMATH2::EQUATIONS = &ZQCALC2::NLEFUNC;
    DEBUGLEVEL = 1;
  }
  static void reactions() {
    bool found = false;
    ZQRE::CALCRE2(found);
    ASSERT_TRUE(found);
  }
  static void loop() {
    assemblage::layout(solverrecipe::binaryloop(true, false, false));
    COMPK[1] = 0.55L;
    COMPK[2] = 0.45L;
    assemblage::setpoint(5, 900, {xalpha, xbeta}, {malpha, mbeta});
    reactions();
  }
  static void recipe() {
    assemblage::layout(solverrecipe::threephases(false));
    const solverrecipe::point pt = solverrecipe::threephasespoint(false);
    assemblage::setpoint(8, 1000, pt.x, pt.modes);
    assemblage::solvable(pt.lambda);
    reactions();
  }

  // Analytic entries (row, column) multiplied by a factor, or set.
  struct change {
    long row, col;
    extended factor, value;
  };
  static std::vector<change> spoil;
  static bool spoiled(const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac) {
    const bool ok = ZQCALC2::NLEFUNC(x, jac, r, dojac);
    if (dojac)
      for (const change& c : spoil) jac(c.row, c.col) = c.factor != 0 ? jac(c.row, c.col) * c.factor : c.value;
    return ok;
  }
  // The check's report line of a solve that starts at its solution.
  static std::string checkline(smallint level = 3) {
    ZQMATH2::EQUATIONS = &spoiled;
    DEBUGLEVEL = level;
    testsupport::Terminal term;
    smallint code = -1;
    EXPECT_TRUE(ZQMATH2::NLE(code));
    const std::string out = term.text();
    const std::size_t at = out.find("\njacobian: ");
    if (at == std::string::npos) return "(none)\n" + out;
    return out.substr(at + 1);
  }

  assemblage::tables tables;
};
std::vector<Trace::change> Trace::spoil;

TEST_F(Trace, JacobianCheckOfTheLoop) {
  const std::string none = "jacobian: no difference with fd\n\n";
  const extended shrink = 1 / 1.1L;
  const std::string tenth = IO::REAL2STR(shrink - 1, 4, false);
  const struct {
    const char* what;
    std::vector<change> spoil;
    bool qname;
    std::string line;
  } table[] = {
      {"analytic", {}, false, none},
      {"one entry", {{2, 1, 1.1L, 0}}, false, "jacobian: prop diff with fd: eq2,x = " + tenth + "; : just these\n\n"},
      {"zero entry below the threshold", {{1, 3, 0, 5e-9L}}, false, none},
      {"zero entry at the threshold", {{1, 3, 0, 1e-8L}}, false,
       "jacobian: prop diff with fd: eq1,alpha = " + IO::REAL2STR(-1, 4, false) + "; : just these\n\n"},
      {"order variable passed over", {{1, 1, 1.1L, 0}, {3, 1, 1.1L, 0}}, true, none},
      {"the column after it counted", {{1, 1, 1.1L, 0}, {4, 2, 1.1L, 0}}, true,
       "jacobian: prop diff with fd: eq4,x = " + tenth + "; : just these\n\n"},
  };
  for (const auto& t : table) {
    loop();
    if (t.qname) XNAME[3] = "Qx";
    spoil = t.spoil;
    EXPECT_EQ(checkline(), t.line) << t.what;
  }
}

// The recipe's nine unknowns: the analytic Jacobian agrees everywhere;
// seven spoiled entries give six items and the count. At level 4 a single
// line end follows.
TEST_F(Trace, JacobianCheckOfTheRecipe) {
  recipe();
  EXPECT_EQ(checkline(4), "jacobian: no difference with fd\n");

  // Seven entries of size, in the order the check meets them.
  recipe();
  static eqmatrix jac{"trace jac"};
  eqvector r{"trace r"};
  ASSERT_TRUE(ZQCALC2::NLEFUNC(X, jac, r, true));
  std::vector<std::pair<long, long>> big;
  for (long c = 1; c <= JCOL && big.size() < 7; ++c)
    for (long row = 1; row <= JROW && big.size() < 7; ++row)
      if (std::fabs(jac(row, c)) > 1e-3L) big.push_back({row, c});
  ASSERT_EQ(big.size(), 7u);
  spoil.clear();
  for (auto [row, c] : big) spoil.push_back({row, c, 2, 0});
  const std::string line = checkline(3);
  std::string items;
  for (std::size_t k = 0; k < 6; ++k) {
    long v = 2, seen = 0;
    while (seen < big[k].second)
      if (BX[++v]) ++seen;
    items += "eq" + std::to_string(big[k].first) + "," + XNAME[v] + " = " + IO::REAL2STR(-0.5L, 4, false) + "; ";
  }
  EXPECT_EQ(line, "jacobian: prop diff with fd: " + items + ": of 7 in all\n\n");
}

// A solve of the loop from an off start at each level: the same solution,
// and the narration the level stands for.
TEST_F(Trace, LoopSolvedAtEachLevel) {
  std::vector<extended> at1;
  for (smallint level : {1, 2, 3, 4}) {
    loop();
    assemblage::setpoint(5, 900, {0.3L, 0.6L}, {0.5L, 0.5L});
    DEBUGLEVEL = level;
    testsupport::Terminal term;
    smallint code = -1;
    ASSERT_TRUE(ZQMATH2::NLE(code)) << level;
    std::vector<extended> got;
    for (long i = 3; i <= 6; ++i) got.push_back(physical(i));
    if (level == 1) {
      at1 = got;
      EXPECT_EQ(term.text(), "");
      continue;
    }
    for (std::size_t k = 0; k < got.size(); ++k) EXPECT_EQ(got[k], at1[k]) << level << " " << k;
    const std::string out = term.text();
    const std::vector<std::string> ls = lines(out);
    const smallint iters = NLEIT;
    const std::string dashes(59, '-');
    // Names of the unknowns listing: 62 blanks, then P, T and the others.
    const std::string listing = std::string(62, ' ') + "   P(kbar)     T(\xA1" "C)         x         x     alpha      beta";
    std::size_t heads = 0;
    for (const std::string& l : ls)
      if (l.find("slope") != std::string::npos) ++heads;
    EXPECT_EQ(count(out, "starting guesses:"), level == 4 ? 0u : 1u) << level;
    if (level != 4) { EXPECT_LT(out.find("starting guesses:"), out.find(dashes)) << level; }
    EXPECT_EQ(count(out, "jacobian: no difference with fd"), level == 2 ? 0u : 1u) << level;
    if (level == 2) {
      // One head, then per iteration one line and the unknowns.
      EXPECT_EQ(count(out, dashes), 1u);
      EXPECT_EQ(heads, 1u);
      EXPECT_EQ(count(out, listing), static_cast<std::size_t>(iters)) << out;
      EXPECT_NE(out.find("\n 1 "), std::string::npos) << out;
    } else {
      // A rule and a head per line search.
      EXPECT_EQ(count(out, dashes), static_cast<std::size_t>(iters)) << level;
      EXPECT_EQ(heads, static_cast<std::size_t>(iters)) << level;
      EXPECT_EQ(count(out, listing), level == 3 ? static_cast<std::size_t>(iters) : 0u) << level;
      EXPECT_NE(out.find(level == 3 ? "\n 1  0      f" : "\n 1         f"), std::string::npos) << out;
      EXPECT_NE(out.find("\n 0 "), std::string::npos) << level;
      EXPECT_NE(out.find("\n s "), std::string::npos) << level;
    }
    // Level 4: the equations' printers at the first evaluation of each
    // iteration.
    const std::size_t eachiter = level == 4 ? static_cast<std::size_t>(iters) : 0u;
    EXPECT_EQ(count(out, "\nactivity\n"), eachiter) << level;
    EXPECT_EQ(count(out, "\nxyz\n"), eachiter) << level;
    EXPECT_EQ(count(out, "\nresiduals (f = "), eachiter) << level;
    EXPECT_EQ(count(out, "projc: (rankdeficit = 0) diagonal\n"), level == 4 ? 1u : 0u) << level;
    EXPECT_EQ(count(out, "\nln K\n"), level == 4 ? eachiter - 1 : 0u) << level;
  }
}

// ---------------------------------------------------------------- layouts

class TraceLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetio();
    RESETSOLVER();
    RESETNLE();
    IO::CONTROLIO.pagewidth = 250;
  }
  void TearDown() override {
    RESETSOLVER();
    NX = NXP = NR = 0;
    DEBUGLEVEL = 1;
    RESETNLE();
    testsupport::resetio();
  }
  // P, T and n - 2 more unknowns, all free, scaled as they are.
  static void unknowns(long n) {
    NX = static_cast<smallint>(n);
    NXP = 0;
    XNAME[1] = "P(kbar)";
    XNAME[2] = std::string("T(") + macroman::degree + "C)";
    X[1] = 5;
    X[2] = 973.15L;
    for (long i = 1; i <= n; ++i) {
      BX[i] = true;
      XFACA[i] = 1;
      XFACB[i] = 0;
      if (i > 2) {
        XNAME[i] = "v" + std::to_string(i);
        X[i] = 0.25L;
      }
    }
  }
};

TEST_F(TraceLayout, UnknownsInPairsOfThirteenAfterPAndT) {
  const std::string values = "    5.0000  700.0000";
  for (long n : {15, 16, 29}) {
    unknowns(n);
    smallint code = 0;
    ZQMATH2::nlerun run(code);
    testsupport::Terminal term;
    run.INTERMEDIATE();
    const std::vector<std::string> ls = lines(term.text());
    const std::size_t pairs = n == 15 ? 1 : n == 16 ? 2 : 3;
    ASSERT_EQ(ls.size(), 2 * pairs) << n;
    EXPECT_EQ(ls[0].substr(0, 82), std::string(62, ' ') + "   P(kbar)     T(\xA1" "C)");
    EXPECT_EQ(ls[1].substr(0, 82), std::string(62, ' ') + values);
    EXPECT_EQ(ls[0].size(), 62u + 150);
    if (pairs > 1) {
      EXPECT_EQ(ls[2], std::string(82, ' ') + "       v16" + (n == 29 ? "       v17       v18       v19       v20       v21       v22       v23       v24       v25       v26       v27       v28" : ""));
      EXPECT_EQ(ls[3].substr(0, 92), std::string(82, ' ') + "    0.2500");
    }
    if (n == 29) { EXPECT_EQ(ls[5], std::string(82, ' ') + "    0.2500"); }
  }
}

// The trace line of one trial at each level, with its head where the level
// puts it.
TEST_F(TraceLayout, TraceLineAtEachLevel) {
  unknowns(2);
  const struct {
    smallint level;
    extended step, maxdx;
    bool nearsing;
    std::string want;
  } table[] = {
      {3, 1, 0.02L, false, " s" + real(0.5L, 4, false, 10) + real(-0.25L, 4, false, 12) + std::string(13, ' ') + "1 x" +
                               real(0.125L, 4, false, 11) + real(0.02L, 4, false, 10) + "\n"},
      {3, 0.123456789L, 100, true, "@s" + real(0.5L, 4, false, 10) + real(-0.25L, 4, false, 12) +
                                       real(0.123456789L, 8, false, 14) + " x" + real(0.125L, 4, false, 11) +
                                       std::string(10, ' ') + "\n"},
      {4, 1, 0, false, "\n" + std::string(59, '-') + "\n 7         f       slope          step         maxe     maxdx\n"
                       " s" + real(0.5L, 4, false, 10) + real(-0.25L, 4, false, 12) + std::string(13, ' ') + "1 x" +
                       real(0.125L, 4, false, 11) + std::string(10, ' ') + "\n"},
      {2, 0.123456789L, 0.02L, false, " 7  " + real(0.5L, 4, false, 10) + real(-0.25L, 4, false, 12) +
                                          real(0.123456789L, 4, false, 10) + " x" + real(0.125L, 4, false, 11) +
                                          real(0.02L, 4, false, 10) + "\n" + std::string(62, ' ') +
                                          "   P(kbar)     T(\xA1" "C)\n" + std::string(62, ' ') +
                                          "    5.0000  700.0000\n"},
  };
  for (const auto& t : table) {
    DEBUGLEVEL = t.level;
    NEARSING = t.nearsing;
    smallint code = 0;
    ZQMATH2::nlerun run(code);
    run.iter = 7;
    run.traceline = 0;
    run.maxe = 0.125L;
    run.maxdx = t.maxdx;
    testsupport::Terminal term;
    run.PRINTINFO('s', 'x', 0.5L, -0.25L, t.step);
    EXPECT_EQ(term.text(), t.want) << t.level;
    EXPECT_EQ(run.traceline, 1);
  }
}

TEST_F(TraceLayout, JacobianByBlocksOfFreeUnknowns) {
  // 20 compositional unknowns, the fourth held: 19 free in blocks of 18
  // and 1; two reactions, one mass balance, one free mode.
  unknowns(22);
  BX[1] = BX[2] = false;
  BX[6] = false;
  NXP = 1;
  XNAME[23] = "ph";
  BX[23] = true;
  NR = 2;
  JROW = 3;
  // The mass-balance row is that of the first free component.
  const auto bcomps = BCOMPS;
  const smallint nuv = NUV;
  NUV = 2;
  COMPNAME[1] = "MgO";
  COMPNAME[2] = "SiO2";
  BCOMPS[1] = false;
  BCOMPS[2] = true;
  static eqmatrix j{"layout jac"};
  j.fill(0);
  for (long c = 1; c <= 20; ++c) {
    j(1, c) = c;
    j(2, c) = c == 2 ? 5e-11L : -0.001234567L;
    j(3, c) = 2.5L;
  }
  testsupport::Terminal term;
  ZQCALC2::PRINTJAC("jacobian", j, 0, 4, false, 13);
  const std::vector<std::string> ls = lines(term.text());
  // title, 2 blocks of head + 2 reactions, empty, 2 blocks of head + 1
  // row, empty, head and one row of the modes.
  ASSERT_EQ(ls.size(), 2u + 6 + 1 + 4 + 1 + 2);
  EXPECT_EQ(ls[1], "jacobian");
  std::string head = "      ";
  for (long i = 3; i <= 22 && head.size() < 6 + 18 * 13; ++i)
    if (BX[i]) head += std::string(13 - XNAME[i].size(), ' ') + XNAME[i];
  EXPECT_EQ(ls[2], head);
  std::string row2 = "2     ";
  for (long c = 1; c <= 18; ++c) row2 += c == 2 ? std::string(12, ' ') + "-" : real(-0.001234567L, 4, false, 13);
  EXPECT_EQ(ls[4], row2);
  EXPECT_EQ(ls[5], "      " + std::string(10, ' ') + "v22");
  EXPECT_EQ(ls[6], "1     " + real(19, 4, false, 13));
  EXPECT_EQ(ls[8], "");
  EXPECT_EQ(ls[10].substr(0, 19), "SiO2  " + real(2.5L, 4, false, 13));
  EXPECT_EQ(ls[13], "");
  EXPECT_EQ(ls[14], "      " + std::string(11, ' ') + "ph");
  EXPECT_EQ(ls[15], "SiO2  " + real(2.5L, 4, false, 13));
  BCOMPS = bcomps;
  NUV = nuv;
}

TEST_F(TraceLayout, MatrixAsBraceLiteral) {
  static eqmatrix m{"layout m"};
  m.fill(0);
  m(1, 1) = 2.5L;
  testsupport::Terminal term;
  ZQCALC2::DEBUGPRINT(m, "one", 1, 1);
  EXPECT_EQ(term.text(), "\n(* one *)\n{{    2.500}}; \n\n");
  m(1, 2) = 1e-11L;
  m(2, 1) = -3;
  testsupport::Terminal two;
  ZQCALC2::DEBUGPRINT(m, "two", 2, 2);
  EXPECT_EQ(two.text(), "\n(* two *)\n{{    2.500,        0}, \n {   -3.000,        0}}; \n\n");
}

}  // namespace
