// What one evaluation of the equations shows at the higher debug levels,
// and the checks of the activity and composition derivatives against
// forward differences.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "iotestsupport.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"
#include "model/zqre.h"
#include "solverrecipe.h"

using namespace ZQGLOBAL;

namespace {

using testsupport::lines;

std::string field(const std::string& s, std::size_t width) {
  return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

std::string real(extended v, smallint places, bool fixed, std::size_t width) {
  return field(IO::REAL2STR(v, places, fixed), width);
}

class Printers : public ::testing::Test {
 protected:
  void SetUp() override {
    IO::CONTROLIO.pagewidth = 250;
    bcomps = BCOMPS;
    nuv = NUV;
    nuvleft = NUVLEFT;
  }
  void TearDown() override {
    BCOMPS = bcomps;
    NUV = nuv;
    NUVLEFT = nuvleft;
    NCV = 0;
    NX = NXP = NXPSS = NR = 0;
  }
  static ZQCALC2::nlefuncstate& state() { return ZQCALC2::NLEFUNCSTATE(); }
  // n end-members e1, e2, ...
  static void endmembers(long n) {
    NCV = static_cast<smallint>(n);
    for (long i = 1; i <= n; ++i) {
      NAME[i] = "e" + std::to_string(i);
      ACTIVITY[i] = 0.5L / static_cast<extended>(i);
    }
  }
  // Three components, the second fixed by a potential.
  static void components() {
    NUV = 3;
    COMPNAME[1] = "MgO";
    COMPNAME[2] = "CaO";
    COMPNAME[3] = "SiO2";
    BCOMPS[1] = BCOMPS[3] = true;
    BCOMPS[2] = false;
    NUVLEFT = 2;
  }

  assemblage::tables tables;
  farray<bool, 1, maxcomp> bcomps{"printers bcomps"};
  smallint nuv = 0, nuvleft = 0;
};

TEST_F(Printers, ActivitiesTwentyToAPair) {
  for (long n : {20, 21, 40}) {
    endmembers(n);
    testsupport::Terminal term;
    state().PRINTACTIVITY();
    const std::vector<std::string> ls = lines(term.text());
    const std::size_t pairs = (static_cast<std::size_t>(n) + 19) / 20;
    ASSERT_EQ(ls.size(), 2 + 2 * pairs) << n;
    EXPECT_EQ(ls[0], "");
    EXPECT_EQ(ls[1], "activity");
    EXPECT_EQ(ls[2].size(), 220u);
    EXPECT_EQ(ls[2].substr(0, 22), "         e1         e2");
    EXPECT_EQ(ls[3].substr(0, 22), real(0.5L, 5, false, 11) + real(0.25L, 5, false, 11));
    if (n == 21) {
      EXPECT_EQ(ls[4], "        e21");
      EXPECT_EQ(ls[5], real(0.5L / 21, 5, false, 11));
    }
    EXPECT_TRUE(IO::WSTR.empty() && IO::WSTRH.empty());
  }
}

TEST_F(Printers, DerivativesInBlocksOfTwentyFour) {
  NX = 4;
  for (long n : {30, 300}) {
    endmembers(n);
    for (long e = 1; e <= n; ++e) {
      state().drtlnadp[e] = e == 2 ? 0 : 0.001L * e;
      state().drtlnadt[e] = e == 3 ? 1e-9L : -0.01L;
      state().drtlnadx(e, 3) = 2;
      state().drtlnadx(e, 4) = -1.5L;
    }
    testsupport::Terminal term;
    state().PRINTDLNADXYZ();
    const std::vector<std::string> ls = lines(term.text());
    const std::size_t blocks = n == 30 ? 2 : 10;
    // A block: head, dP, dT and one line per unknown 3..NX; later blocks
    // after an empty line.
    ASSERT_EQ(ls.size(), 2 + 5 * blocks + (blocks - 1)) << n;
    EXPECT_EQ(ls[1], "dRTlna/dx etc");
    EXPECT_EQ(ls[2].substr(0, 23), "           e1        e2");
    EXPECT_EQ(ls[2].size(), 3u + 240);
    EXPECT_EQ(ls[3].substr(0, 23), "dP " + real(0.001L, 4, false, 10) + field("-", 10));
    EXPECT_EQ(ls[4].substr(0, 33), "dT " + real(-0.01L, 4, false, 10) + real(-0.01L, 4, false, 10) + field("-", 10));
    EXPECT_EQ(ls[5].substr(0, 13), "dx " + real(2, 4, false, 10));
    EXPECT_EQ(ls[6].substr(0, 13), "   " + real(-1.5L, 4, false, 10));
    EXPECT_EQ(ls[7], "");
    EXPECT_EQ(ls[8].substr(0, 13), "          e25");
    if (n == 30) { EXPECT_EQ(ls[8].size(), 3u + 60); }
    if (n == 300) { EXPECT_EQ(ls[ls.size() - 5].substr(ls[ls.size() - 5].size() - 4), "e240"); }
  }
}

TEST_F(Printers, UnknownsTwentyThenEighteenToAPair) {
  const struct {
    long n;
    std::vector<std::size_t> sizes;  // entries per pair
  } table[] = {{2, {2}}, {20, {20, 0}}, {21, {20, 1}}, {39, {20, 18, 1}}};
  for (const auto& t : table) {
    NX = static_cast<smallint>(t.n);
    NXP = 0;
    for (long v = 1; v <= t.n; ++v) {
      XNAME[v] = v == 1 ? "P(kbar)" : v == 2 ? "T" : "v" + std::to_string(v);
      state().x[v] = v == 1 ? 5 : v == 2 ? 973.15L : 0.125L;
    }
    testsupport::Terminal term;
    state().PRINTXYZ();
    const std::vector<std::string> ls = lines(term.text());
    ASSERT_EQ(ls.size(), 2 + 2 * t.sizes.size()) << t.n;
    EXPECT_EQ(ls[1], "xyz");
    EXPECT_EQ(ls[3].substr(0, 33), real(5, 3, true, 11) + real(700, 4, true, 11) +
                                       (t.n > 2 ? real(0.125L, 6, false, 11) : ""));
    for (std::size_t k = 0; k < t.sizes.size(); ++k) {
      const std::size_t lead = k == 0 ? 0 : 22;
      EXPECT_EQ(ls[2 + 2 * k].size(), lead + 11 * t.sizes[k]) << t.n << " pair " << k;
      EXPECT_EQ(ls[3 + 2 * k].size(), lead + 11 * t.sizes[k]) << t.n << " pair " << k;
      if (k > 0) { EXPECT_EQ(ls[2 + 2 * k].substr(0, 22), std::string(22, ' ')); }
    }
  }
}

TEST_F(Printers, ProjectionOverTheFreeComponents) {
  components();
  RANKDEFICIT = 0;
  {
    testsupport::Terminal term;
    state().PRINTPROJC();
    EXPECT_EQ(term.text(), "projc: (rankdeficit = 0) diagonal\n");
  }
  RANKDEFICIT = 1;
  PROJC(1, 1) = 1;
  PROJC(1, 2) = -2;
  PROJC(2, 1) = 0;
  PROJC(2, 2) = 0;
  testsupport::Terminal term;
  state().PRINTPROJC();
  EXPECT_EQ(term.text(), "\nprojc: (rankdeficit = 1)\n    MgO   SiO2\n      1     -2\n      0      0\n");
  RANKDEFICIT = 0;
}

// ---------------------------------------------------------------- checks

class DerivativeChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    IO::CONTROLIO.pagewidth = 250;
    // An ideal two-site, a symmetric and a van Laar phase at a solution.
    assemblage::layout(solverrecipe::threephases(false));
    const solverrecipe::point pt = solverrecipe::threephasespoint(false);
    assemblage::setpoint(8, 1000, pt.x, pt.modes);
    assemblage::solvable(pt.lambda);
    bool found = false;
    ZQRE::CALCRE2(found);
    ASSERT_TRUE(found);
    ASSERT_TRUE(ZQCALC2::NLEFUNC(X, jac, r, true));
  }
  static ZQCALC2::nlefuncstate& state() { return ZQCALC2::NLEFUNCSTATE(); }

  assemblage::tables tables;
  eqmatrix jac{"checks jac"};
  eqvector r{"checks r"};
};

TEST_F(DerivativeChecks, ActivityDerivativesAgree) {
  ZQCALC2::nlefuncstate& s = state();
  // P and T checked too, though the evaluation held them.
  BX[1] = BX[2] = true;
  const emvector a = ACTIVITY;
  const eqvector x = s.x;
  const dRTlnadxtype& d = s.drtlnadx;
  const extended dp3 = s.drtlnadp[3], dt5 = s.drtlnadt[5], dx47 = d(4, 7);
  struct row {
    const char* what;
    long e, v;
    extended factor;
    std::string word;
  };
  const row table[] = {
      {"analytic", 0, 0, 1, "no difference"},
      {"x derivative doubled", 5, 5, 2, "dx," + NAME[5] + " = " + IO::REAL2STR(-0.5L, 4, false) + "; : just these"},
      {"P derivative doubled", 4, 1, 2, "dx," + NAME[4] + " = " + IO::REAL2STR(-0.5L, 4, false) + "; : just these"},
      {"x derivative lost", 2, 3, 0, "dx," + NAME[2] + " = "},
  };
  for (const row& t : table) {
    extended keep = 0;
    if (t.e > 0) {
      extended& slot = t.v == 1 ? s.drtlnadp[t.e] : s.drtlnadx(t.e, t.v);
      keep = slot;
      ASSERT_GT(std::fabs(slot), 1e-6L) << t.what;
      slot = slot * t.factor;
    }
    testsupport::Terminal term;
    s.FDCHECKDLNADXYZ();
    const std::string out = term.text();
    if (t.e == 0) {
      EXPECT_EQ(out, "\ndRTlna/dx: no difference with fd\n");
    } else {
      EXPECT_EQ(out.substr(0, 32), "\ndRTlna/dx: difference with fd: ") << out;
      EXPECT_NE(out.find(t.word), std::string::npos) << t.what << ": " << out;
      (t.v == 1 ? s.drtlnadp[t.e] : s.drtlnadx(t.e, t.v)) = keep;
    }
    EXPECT_EQ(std::memcmp(&a.data, &ACTIVITY.data, sizeof a.data), 0) << t.what;
    EXPECT_EQ(std::memcmp(&x.data, &s.x.data, sizeof x.data), 0) << t.what;
    EXPECT_EQ(s.p, x[1]);
    EXPECT_EQ(s.t, x[2]);
    EXPECT_EQ(s.drtlnadp[3], dp3);
    EXPECT_EQ(s.drtlnadt[5], dt5);
    EXPECT_EQ(d(4, 7), dx47);
  }
}

// Many differences: six named, then the count.
TEST_F(DerivativeChecks, ManyActivityDifferencesCounted) {
  ZQCALC2::nlefuncstate& s = state();
  long spoiled = 0;
  for (long v = 3; v <= NX; ++v)
    for (long e = 1; e <= NCV; ++e)
      if (std::fabs(s.drtlnadx(e, v)) > 1e-6L) {
        s.drtlnadx(e, v) = 3 * s.drtlnadx(e, v);
        ++spoiled;
      }
  ASSERT_GT(spoiled, 6);
  testsupport::Terminal term;
  s.FDCHECKDLNADXYZ();
  const std::string out = term.text();
  std::size_t items = 0;
  for (std::size_t at = out.find("dx,"); at != std::string::npos; at = out.find("dx,", at + 1)) ++items;
  EXPECT_EQ(items, 6u);
  EXPECT_NE(out.find(": of" + std::to_string(spoiled) + " in all\n"), std::string::npos) << out;
}

// The check compares the derivatives formed at each perturbed point with
// the differences; afterwards the point itself holds again: compositions,
// their derivatives and x.
TEST_F(DerivativeChecks, CompositionDerivativesAgree) {
  ZQCALC2::nlefuncstate& s = state();
  const compcalctype before = s.compcalc;
  const eqvector x = s.x;
  std::vector<extended> derivs;
  for (long p = 1; p <= NXPSS; ++p)
    for (extended v : (*DCOMPDX)[p].data) derivs.push_back(v);
  testsupport::Terminal term;
  s.FDCHECKDCOMPDX();
  EXPECT_EQ(term.text(), "\ndcompdx: no difference with fd\n");
  EXPECT_EQ(std::memcmp(&before.data, &s.compcalc.data, sizeof before.data), 0);
  EXPECT_EQ(std::memcmp(&x.data, &s.x.data, sizeof x.data), 0);
  std::size_t k = 0;
  for (long p = 1; p <= NXPSS; ++p)
    for (extended v : (*DCOMPDX)[p].data) EXPECT_EQ(v, derivs[k++]);
  EXPECT_TRUE(s.ok);
}

}  // namespace
