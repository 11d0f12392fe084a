// The composition of a solution phase at X, the one reaction among the
// columns of a real composition matrix, and a reaction's text.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

using rows = std::vector<std::vector<extended>>;

struct reactioncase {
  const char* what;
  rows c;  // m rows of n columns
  std::vector<extended> nu;  // expected; empty: no reaction
};

}  // namespace

TEST(RealReaction, CoefficientsBalanceWithTheLastPivotColumnAtMinusOne) {
  assemblage::tables t;
  const reactioncase cases[] = {
      {"third column the sum of the first two", {{1, 0, 1}, {0, 1, 1}}, {1, 1, -1}},
      {"more components than needed, last diagonal cleared", {{1, 2}, {1, 2}, {0, 0}}, {2, -1}},
      {"a zero first column moves to the end of the pivot order", {{0, 1, 1}, {0, 1, 2}}, {-1, 0, 0}},
      {"fewer components than columns less one: unfilled rows are zero", {{1, 2, 3}}, {3, 0, -1}},
      {"a row exchange for a zero pivot", {{0, 1, 1}, {1, 0, 1}}, {1, 1, -1}},
      {"two independent columns over three components", {{1, 0}, {0, 1}, {1, 1}}, {}},
  };
  static cmatrix c{"test c"};
  for (const reactioncase& rc : cases) {
    SCOPED_TRACE(rc.what);
    const long m = static_cast<long>(rc.c.size()), n = static_cast<long>(rc.c[0].size());
    c.fill(99);  // rows beyond m must not be read
    for (long i = 1; i <= m; ++i)
      for (long j = 1; j <= n; ++j) c(i, j) = rc.c[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
    NCV = 6;
    emvector nu{"nu"};
    nu.fill(7);
    testsupport::Terminal term;
    const std::string how = fatal([&] { ZQNLE3::REALREACTION(c, static_cast<smallint>(m), static_cast<smallint>(n), nu); });
    if (rc.nu.empty()) {
      EXPECT_EQ(how, "realreaction: no reaction - WHY");
      continue;
    }
    ASSERT_EQ(how, "");
    for (long j = 1; j <= n; ++j) EXPECT_NEAR(nu[j], rc.nu[static_cast<std::size_t>(j - 1)], 1e-15L) << j;
    for (long j = n + 1; j <= NCV; ++j) EXPECT_EQ(nu[j], 0) << j;
    EXPECT_EQ(nu[NCV + 1], 7);
    for (long i = 1; i <= m; ++i) {
      extended s = 0;
      for (long j = 1; j <= n; ++j) s += c(i, j) * nu[j];
      EXPECT_NEAR(s, 0, 1e-15L) << "row " << i;
    }
  }
}

TEST(Reaction2String, SmallCoefficientsInUnitsOrTenths) {
  struct textcase {
    const char* what;
    std::vector<extended> nu;
    const char* text;
  };
  const textcase cases[] = {
      {"whole multiples shown in units", {0.5L, 1, -1.5L}, "3c = a + 2b"},
      {"halves shown in tenths", {1, 1.5L, -2.5L}, "25c = 10a + 15b"},
      {"a trace term gets the coefficient 0", {1, -1, 0.0005L}, "10b = 10a + 0c"},
      {"a negative trace term on the left", {2, -2, -0.0001L}, "10b + 0c = 10a"},
      {"below 1e-7 of the largest a term is left out", {1, -1, 1e-8L}, "b = a"},
      {"tenths rounded half away from zero", {1, 2.25L, -3.25L}, "33c = 10a + 23b"},
      {"scaled to the smallest significant term", {-4, 2, 2}, "2a = b + c"},
  };
  IO::strings names{"names"};
  names[1] = "a";
  names[2] = "b";
  names[3] = "c";
  for (const textcase& tc : cases) {
    SCOPED_TRACE(tc.what);
    emvector nu{"nu"};
    for (std::size_t i = 0; i < tc.nu.size(); ++i) nu[static_cast<long>(i + 1)] = tc.nu[i];
    std::string s = "old";
    ZQNLE3::REACTION2STRING(nu, names, static_cast<smallint>(tc.nu.size()), s);
    EXPECT_EQ(s, tc.text);
  }
}

TEST(MakePhase, ProportionsOfThePhasesOwnVariablesOverTheDivisors) {
  assemblage::tables t;
  using assemblage::row;
  assemblage::system s;
  s.components = {"A", "B"};
  s.compdiv = {1, 2};
  s.solutions.push_back(assemblage::onesite("one", axtype::ideal, {"x"}, {"1 - x", "x"},
                                            {row("e1", {1, 0}, 0, 0, 0), row("e2", {1, 2}, 0, 0, 0)}));
  s.solutions.push_back(assemblage::onesite("two", axtype::ideal, {"y"}, {"1 - y", "y"},
                                            {row("f1", {2, 0}, 0, 0, 0), row("f2", {0, 4}, 0, 0, 0)}));
  assemblage::layout(s);
  X[3] = 0.25L;
  X[4] = 0.5L;
  cvector comp{"comp"};
  comp.fill(9);
  ZQNLE3::MAKEPHASE(1, comp);
  EXPECT_NEAR(comp[1], 1, 1e-18L);
  EXPECT_NEAR(comp[2], 0.25L, 1e-18L);
  EXPECT_EQ(comp[3], 9);
  ZQNLE3::MAKEPHASE(3, comp);
  EXPECT_NEAR(comp[1], 1, 1e-18L);
  EXPECT_NEAR(comp[2], 1, 1e-18L);
}
