// The one reaction among the columns of a real composition matrix, and a
// reaction's text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

TEST(RealReaction, CoefficientsBalanceWithTheLastPivotColumnAtMinusOne) {
  struct rc {
    const char* what;
    std::vector<std::vector<extended>> c;  // m rows of n columns
    std::vector<extended> nu;              // empty: no reaction
  };
  const rc cases[] = {
      {"third column the sum of the first two", {{1, 0, 1}, {0, 1, 1}}, {1, 1, -1}},
      {"more rows than needed, last diagonal cleared", {{1, 2}, {1, 2}, {0, 0}}, {2, -1}},
      {"a zero first column ends the pivot order", {{0, 1, 1}, {0, 1, 2}}, {-1, 0, 0}},
      {"rows beyond m are zero", {{1, 2, 3}}, {3, 0, -1}},
      {"a row exchange", {{0, 1, 1}, {1, 0, 1}}, {1, 1, -1}},
      {"independent columns", {{1, 0}, {0, 1}, {1, 1}}, {}},
  };
  testsupport::freshstate();
  static cmatrix c{"c"};
  for (const rc& k : cases) {
    SCOPED_TRACE(k.what);
    const auto m = static_cast<smallint>(k.c.size()), n = static_cast<smallint>(k.c[0].size());
    c.fill(99);  // rows beyond m are never read
    for (long i = 1; i <= m; ++i)
      for (long j = 1; j <= n; ++j) c(i, j) = k.c[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
    NCV = 6;
    emvector nu{"nu"};
    nu.fill(7);
    testsupport::Terminal term;
    const std::string how = testsupport::fatal([&] { ZQNLE3::REALREACTION(c, m, n, nu); });
    if (k.nu.empty()) {
      EXPECT_EQ(how, "realreaction: no reaction - WHY");
      continue;
    }
    for (long j = 1; j <= NCV + 1; ++j)
      EXPECT_NEAR(nu[j], j <= n ? k.nu[static_cast<std::size_t>(j - 1)] : j <= NCV ? 0 : 7, 1e-15L) << j;
  }
}

TEST(Reaction2String, SmallCoefficientsInUnitsOrTenths) {
  const std::pair<std::vector<extended>, const char*> cases[] = {
      {{0.5L, 1, -1.5L}, "3c = a + 2b"},                // multiples of ten shown in units
      {{1, 1.5L, -2.5L}, "25c = 10a + 15b"},            // otherwise in tenths
      {{1, -1, 0.0005L}, "10b = 10a + 0c"},             // a trace term
      {{2, -2, -0.0001L}, "10b + 0c = 10a"},            // a negative trace term
      {{1, -1, 1e-8L}, "b = a"},                        // below 1e-7 of the largest: left out
      {{1, 2.25L, -3.25L}, "33c = 10a + 23b"},          // halves rounded away from zero
      {{-4, 2, 2}, "2a = b + c"},                       // scaled to the smallest
  };
  IO::strings names{"names"};
  names[1] = "a";
  names[2] = "b";
  names[3] = "c";
  for (const auto& [coefs, text] : cases) {
    emvector nu{"nu"};
    for (std::size_t i = 0; i < coefs.size(); ++i) nu[static_cast<long>(i + 1)] = coefs[i];
    std::string s = "old";
    ZQNLE3::REACTION2STRING(nu, names, 3, s);
    EXPECT_EQ(s, text);
  }
}
