// The avPT+ crossover search on small made tables (the single solve
// replaced by a table of answers), the report lines and the statistics
// helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "frame/zqmath1.h"
#include "avptx_testsupport.h"

using namespace ZQGLOBAL;
using namespace avptxtest;

namespace {

struct searched {
  bool ok;
  extended p, t;
  smallint code;
  std::string out, end;
};

searched search(avptplusstate& s, bool nominal) {
  searched r{false, s.AVTPLUS ? AVTFIXEDP : AVPGUESS, s.AVPPLUS ? AVPFIXEDT : AVTGUESS, -1, "", ""};
  r.end = testsupport::answered("", [&] { r.ok = s.AVPTPLUSX(ROCKXYZ, s.JXXYZ, r.p, r.t, s.SIGFIT, r.code, nominal); },
                                r.out);
  return r;
}

}  // namespace

TEST(AvptXCrossover, OneVariableBracketHalvingAndInterpolation) {
  struct fc {
    const char* what;
    int kind;
    std::vector<made> rows;
    bool ok;
    extended result;  // P for avP+, T for avT+
    smallint code;
    std::vector<const char*> lines;
  };
  const fc cases[] = {
      {"two calcs: no halving, linear interpolation", 2, {{4, 600, 5, 0}, {8, 600, 6, 0}}, true, 16.0L / 3, 0,
       {"there is a crossover defining avP+"}},
      {"both misfits positive, lower end nearer", 2, {{4, 600, 3, 0}, {5, 600, 3.5L, 0}, {6, 600, 4.2L, 0}}, false, 0, 3,
       {"there is NOT a crossover", "no solution in the range of the calculations"}},
      {"both misfits positive, upper end nearer", 2, {{4, 600, 2, 0}, {5, 600, 3.5L, 0}, {6, 600, 5.5L, 0}}, false, 0,
       2, {"there is NOT a crossover"}},
      {"avT+ halves down to the neighbours of the crossing", 3,
       {{6, 500, 0, 620}, {6, 550, 0, 620}, {6, 600, 0, 620}, {6, 650, 0, 620}, {6, 700, 0, 620}}, true, 620, 0,
       {"there is a crossover defining avT+",
        " 1 500.000 620.000  -1.200  : 3 600.000 620.000  -0.200  : 5 700.000 620.000   0.800",
        " 3 600.000 620.000  -0.200  : 4 650.000 620.000   0.300  : 5 700.000 620.000   0.800"}},
      {"unsolvable ends are skipped", 2,
       {{3, 600, 0, 0, false}, {4, 600, 5, 0}, {8, 600, 6, 0}, {9, 600, 0, 0, false}}, true, 16.0L / 3, 0, {}},
      {"a result of exactly 0 is a failure", 2, {{-2, 600, -1, 0}, {2, 600, 1, 0}}, false, 0, 0, {}},
      {"equal bracketing misfits fail as at the end of avPT+", 2, {{4, 600, 4, 0}, {6, 600, 6, 0}}, false, 0, 3, {}},
  };
  for (const fc& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = fresh(c.kind, c.rows);
    const searched r = search(*s, true);
    EXPECT_EQ(r.end, "");
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.code, c.code);
    if (c.ok) {
      EXPECT_NEAR(static_cast<double>(c.kind == 2 ? r.p : r.t), static_cast<double>(c.result), 1e-12);
    }
    std::size_t at = 0;
    for (const char* l : c.lines) {
      at = r.out.find(std::string("\n") + l + "\n", at);
      EXPECT_NE(at, std::string::npos) << l << "\n" << r.out;
    }
  }
}

TEST(AvptXCrossover, TooFewCalcsEndTheNominalRunButOnlyFailATry) {
  for (const int kind : {1, 2, 3}) {
    auto s = fresh(kind, kind == 1 ? blocks({4}, {6}) : std::vector<made>{{4, 600, 5, 610}});
    EXPECT_EQ(search(*s, true).end, "avptplusx: too few jx calcs, njx = " + std::to_string(NJX));
    const searched r = search(*s, false);
    EXPECT_EQ(r.end, "");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");  // a try prints nothing
  }
  auto s = fresh(2, {{4, 600, 0, 0, false}, {8, 600, 0, 0, false}});
  EXPECT_EQ(search(*s, true).end, "avptplusx: no avP calcs, with njx = 2");
  s = fresh(3, {{6, 500, 0, 0, false}, {6, 700, 0, 620}});
  EXPECT_EQ(search(*s, true).end, "avptplusx: too few avT calcs = 1");
}

TEST(AvptXCrossover, PressureBlocks) {
  struct fc {
    const char* what;
    std::vector<made> rows;
    bool nominal;
    smallint algo;
    bool ok;
    extended p;
    smallint code;
    const char* end;
    const char* line;
  };
  const fc cases[] = {
      // Block misfits -2, -1.5, -1, +0.5, +1: halving ends between 6 and 7 kbar.
      {"full halving", blocks({4, 5, 6, 7, 8}, {6, 6.5L, 7, 6.5L, 7}), true, 2, true, 20.0L / 3, 0, "", "finally"},
      {"a try with the third algorithm halves once", blocks({4, 5, 6, 7, 8}, {6, 6.5L, 7, 6.5L, 7}), false, 3, true, 7,
       0, "", nullptr},
      {"the nominal run halves fully whatever the algorithm", blocks({4, 5, 6, 7, 8}, {6, 6.5L, 7, 6.5L, 7}), true, 3,
       true, 20.0L / 3, 0, "", nullptr},
      {"one good block", [] {
         auto r = blocks({4, 5, 6}, {5, 5, 5}, 800);
         r[2].st = r[3].st = 620;
         return r;
       }(),
       true, 2, false, 0, 1, "", "just one P block"},
      {"misfits of one sign", blocks({4, 5, 6}, {3, 3, 3}), true, 2, false, 0, 2, "", "but delP has the same sign"},
      {"a missing pressure step, in a try", blocks({4, 5, 7}, {5.5L, 5.5L, 5.5L}), false, 2, false, 0, -1,
       "avptplusx: block mismatch", nullptr},
      {"no good block", blocks({4, 5, 6}, {5, 5, 5}, 800), true, 2, false, 0, 1, "", "crossover not found (1)"},
  };
  for (const fc& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = fresh(1, c.rows);
    AVPTALGO = c.algo;
    const searched r = search(*s, c.nominal);
    EXPECT_EQ(r.end, c.end);
    if (*c.end != 0) continue;
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.code, c.code);
    if (c.ok) {
      EXPECT_NEAR(static_cast<double>(r.p), static_cast<double>(c.p), 1e-12);
      EXPECT_NEAR(static_cast<double>(r.t), 620, 1e-9);
    }
    // Every line of the search's narration starts after an empty line.
    if (c.line != nullptr) {
      EXPECT_NE(r.out.find(std::string("\n\n") + c.line + "\n"), std::string::npos) << r.out;
    }
    if (!c.nominal) {
      EXPECT_EQ(r.out, "");
    }
    if (!c.ok && c.nominal) {
      EXPECT_NE(r.out.find("no solution in the range of the calculations"), std::string::npos);
    }
  }
}

namespace {

// Two limbs of solutions: a start at 6.5 kbar or more, or the calculation
// at 700 C, lands on the upper limb (7 kbar, 660 C, sigfit growing with the
// calculation's T), any other start on the lower one (6 kbar, 680 C).
bool twolimbs(avptplusstate&, smallint k, extended& p, extended& t, extended& sigfit) {
  const extended tk = (*JXCALC)[k].t;
  const bool upper = tk >= 700 || p >= 6.5L;
  p = upper ? 7 : 6;
  t = upper ? 660 : 680;
  // At 10 kbar both limbs fit alike, which leaves the crossing undefined.
  sigfit = upper && (*JXCALC)[k].p != 10 ? 1 + (tk - 600) / 100 : 1;
  return true;
}

}  // namespace

TEST(AvptXCrossover, LimbsThatPartArePlacedBySigfit) {
  // In each block the halving ends at 650 C on the lower limb, the upper
  // limb parts from it at every calculation below, and the crossing is
  // placed where the sigfit differences of 650 and 500 C meet (600 C), the
  // pressure misfit interpolated there: P - 10 in both blocks.
  std::vector<made> rows;
  for (extended p : {9.0L, 11.0L})
    for (extended t : {500.0L, 550.0L, 600.0L, 650.0L, 700.0L}) rows.push_back({p, t, 0, 0});
  auto s = fresh(1, rows);
  s->SOLVESEAM = twolimbs;
  CPINC = 2;
  const searched r = search(*s, true);
  ASSERT_EQ(r.end, "");
  EXPECT_TRUE(r.ok);
  EXPECT_NEAR(static_cast<double>(r.p), 10, 1e-12);
  EXPECT_NEAR(static_cast<double>(r.t), 600, 1e-9);
  EXPECT_EQ(s->NLIMBSPLIT, 2);
  EXPECT_NE(r.out.find("\n   9.000  600.00  -1.000   0.200\n  11.000  600.00   1.000   0.200\n"), std::string::npos)
      << r.out;
  // A block between them with an undefined crossing: no number comes out,
  // and the search must not report one as its result.
  std::vector<made> middle;
  for (extended t : {500.0L, 550.0L, 600.0L, 650.0L, 700.0L}) middle.push_back({10, t, 0, 0});
  rows.insert(rows.begin() + 5, middle.begin(), middle.end());
  s = fresh(1, rows);
  s->SOLVESEAM = twolimbs;
  CPINC = 1;
  const searched r2 = search(*s, false);
  EXPECT_FALSE(r2.ok);
}

TEST(AvptXCrossover, NoPressureStepIsNoDivisionByZero) {
  auto s = fresh(1, blocks({4, 5, 6, 7}, {5.5L, 5.5L, 5.5L, 5.5L}));
  CPINC = 0;
  EXPECT_EQ(search(*s, false).end, "avptplusx: P inc = 0 in calcP");
}

TEST(AvptXReport, FailureCountsByKindAndAlgorithm) {
  struct fc {
    smallint algo;
    int kind;
    const char* line;
  };
  const fc cases[] = {
      {2, 2,
       "mc: good = 1990 (tried = 2000; failed: too few data = 1, no crossover (+?) = 2, no crossover (-?) = 3, bad "
       "ih/data = 4)"},
      {2, 3,
       "mc: good = 1990 (tried = 2000; failed: too few data = 1, no crossover (+?) = 2, no crossover (-?) = 3, bad "
       "ih/data = 4)"},
      {2, 1,
       "mc: good = 1990 (tried = 2000; failed: too few data = 1, no block bracket = 2, delP same in ih = 3, no "
       "collapse in ih = 4)"},
      {3, 1, "mc: good = 1990 (tried = 2000, not converged = 10)"},
      {4, 2, "mc: good = 1990 (tried = 2000, not converged = 10)"},
  };
  for (const fc& c : cases) {
    auto s = fresh(c.kind, {});
    AVPTALGO = c.algo;
    s->NFAILED1 = 1, s->NFAILED2 = 2, s->NFAILED3 = 3, s->NFAILED4 = 4;
    std::string out;
    testsupport::answered("", [&] { s->PRINTFAILINFO(2000, 1990); }, out);
    EXPECT_EQ(out, std::string("\n") + c.line + "\n");
    EXPECT_EQ(IO::WSTR, "");
  }
}

TEST(AvptXReport, TriesOutsideTheWindow) {
  struct fc {
    int kind;
    smallint algo;
    extended p, tc;  // the try's P and T (degrees C)
    bool solved, outside;
  };
  // Window 4..8 kbar, 500..700 degrees C.
  const fc cases[] = {
      {2, 2, 8, 900, true, false},       // at PHIGH exactly; T is not looked at in avP+
      {2, 2, 8.0001L, 600, true, true},  // no slack on P
      {2, 2, 9, 600, false, false},      // an unsolved try is never outside
      {3, 2, 6, 700.0005L, true, false},  // T has a slack of 0.001
      {3, 2, 6, 700.002L, true, true},
      {3, 2, 6, 499.998L, true, true},
      {1, 2, 3, 600, true, true},
      {1, 2, 6, 700.002L, true, true},
      {1, 2, 6, 600, true, false},
      {1, 4, 30, 1000, true, false},  // never with the fourth algorithm
  };
  for (const fc& c : cases) {
    auto s = fresh(c.kind, {});
    AVPTALGO = c.algo;
    PLOW = 4, PHIGH = 8, TLOW = 773.15L, THIGH = 973.15L;
    s->SOLVED = c.solved;
    s->PTRY = c.p;
    s->TTRY = c.tc;
    s->ITRY = 17;
    bool outside = false;
    std::string out;
    testsupport::answered("", [&] { outside = s->CHECKOUTSIDE(); }, out);
    EXPECT_EQ(outside, c.outside) << c.kind << " " << static_cast<double>(c.p) << " " << static_cast<double>(c.tc);
    EXPECT_EQ(s->NOUTSIDE, c.outside ? 1 : 0);
    EXPECT_EQ(out.empty(), !c.outside);
  }
  auto s = fresh(1, {});
  PLOW = 4, PHIGH = 8, TLOW = 773.15L, THIGH = 973.15L;
  s->SOLVED = true, s->PTRY = 3.5L, s->TTRY = 650, s->ITRY = 17;
  std::string out;
  testsupport::answered("", [&] { s->CHECKOUTSIDE(); }, out);
  EXPECT_EQ(out, std::string(40, ' ') + "   3.500:  4.00 <==>  8.00;   650.00: 500.0 <==> 700.0; 17\n");
}

TEST(AvptXStats, HalfDeviationsAndTheirStops) {
  struct fc {
    std::vector<extended> v;
    extended m;
    extended low, high;
    const char* end;
  };
  const fc cases[] = {
      {{1, 2, 3, 4, 5, 6, 7}, 4, 3 / 0.6745L, 2 / 0.6745L, ""},
      {{5, 6, 7, 8}, 4, -1 / 0.6745L, 2 / 0.6745L, ""},  // nothing below: from the smallest, negative
      {{1, 2, 3, 9}, 4, 3 / 0.6745L, -3 / 0.6745L, ""},   // one above: from the smallest, negative
      {{1, 5, 6, 7}, 4, 0, 0, "findnmad2: problem finding lownmad"},  // exactly one below
      {{1, 1, 4, 4, 4, 4}, 4, 0, 0, "findnmad2: problem finding highnmad"},
      {{1, 2, 3, 5}, 3, 0, 0, "findnmad2: problem finding highnmad"},  // the half above is the last sample
      {{5}, 4, 0, 0, "findnmad2: problem finding lownmad"},             // a lone sample: the empty half is the last
  };
  for (const fc& c : cases) {
    auto s = fresh(1, {});
    s->NSAMPLE = static_cast<smallint>(c.v.size());
    for (std::size_t k = 0; k < c.v.size(); ++k) s->SORTWORK[static_cast<long>(k + 1)] = c.v[k];
    extended low = 0, high = 0;
    std::string out;
    EXPECT_EQ(testsupport::answered("", [&] { s->FINDNMAD2(c.m, low, high); }, out), c.end);
    if (*c.end != 0) continue;
    EXPECT_NEAR(static_cast<double>(low), static_cast<double>(c.low), 1e-12);
    EXPECT_NEAR(static_cast<double>(high), static_cast<double>(c.high), 1e-12);
  }
  // The quantile positions of 2000 samples.
  EXPECT_EQ(ZQMATH1::QI(0.025L, 2000), 50);
  EXPECT_EQ(ZQMATH1::QI(0.975L, 2000), 1950);
}

TEST(AvptXStats, SamplesBackToTheScaleOfUnitUncertainties) {
  auto s = fresh(1, {});
  s->PNOM = 6, s->TNOM = 600;
  s->UFAC = 0.5L;
  EXPECT_EQ(s->CONVP(7), 8);  // 1 kbar above PNOM becomes 2
  EXPECT_EQ(s->CONVT(590), 580);
  s->UFAC = 1;
  EXPECT_EQ(s->CONVP(7.25L), 7.25L);
  EXPECT_EQ(s->CONVT(590.5L), 590.5L);
}

TEST(AvptXStats, GaussianNumbersRepeatFromTheSeedWithUnitSpread) {
  ZQNLE4::avptgauss a, b;
  a.seed(ZQNLE4::AVPTSEED);
  b.seed(ZQNLE4::AVPTSEED);
  extended sum = 0, sum2 = 0;
  constexpr int n = 200000;
  for (int k = 0; k < n; ++k) {
    const extended x = a.next();
    ASSERT_EQ(x, b.next());
    sum += x;
    sum2 += x * x;
  }
  EXPECT_NEAR(static_cast<double>(sum / n), 0, 0.01);
  EXPECT_NEAR(static_cast<double>(std::sqrt(sum2 / n)), 1, 0.01);
  a.seed(ZQNLE4::AVPTSEED);
  const extended first = a.next();
  a.next();
  a.seed(ZQNLE4::AVPTSEED);  // a fresh seed forgets a waiting number
  EXPECT_EQ(a.next(), first);
}

TEST(AvptXStats, ReportOfOneVariable) {
  auto s = fresh(2, {});
  s->PNOM = 6, s->SIGFIT = 1.5L, s->UFAC = 1;
  s->PMIN = 4, s->PMAX = 8;
  AVPFIXEDT = 600;
  s->NSAMPLE = 9;
  for (int k = 1; k <= 9; ++k) s->PSAMPLE[10 - k] = 5 + 0.25L * (k - 1);  // 7.0 down to 5.0
  std::string out;
  testsupport::answered("", [&] { s->PRINTMC(true); }, out);
  const std::string s20(20, ' ');
  EXPECT_EQ(out,
            "\nthe 95% ci on avP+ is: 5.00 to 7.00 kbar\n"
            "in the context of P range of data: 4.00 to 8.00 kbar\n"
            "\nat 600.0 \xA1"
            "C  " +
                std::string(7, ' ') + "  P kbar  sigfit\n" + "avP+" + std::string(16, ' ') + "   6.000    1.50\n" +
                "median mc" + std::string(11, ' ') + "   6.000\n" + "mid 95% ci" + std::string(10, ' ') +
                "   6.000\n" + "\n" + s20 + "   sd(P)\n" + "from the 95% ci     " +
                "   0.510  symmetry about mid assumed\n" + "2-sided nMAD: low   " +
                "   1.112  from the mid-part of the data\n" + "            : high  " + "   0.741\n" +
                "\nnominally, avP+ = 6.00 \xB1 1.00 kbar, at T = 600.0\n");
  // At another factor the limits are converted and labelled so.
  s->UFAC = 0.5L;
  testsupport::answered("", [&] { s->PRINTMC(true); }, out);
  EXPECT_NE(out.find("\nthe 95% ci on avP+ is: 5.00 to 7.00 kbar (with ufac = 0.500)\n"
                     "    which converts to: 4.00 to 8.00 kbar\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("\nlinear approx          sd(P)\n"), std::string::npos);
  EXPECT_NEAR(static_cast<double>(s->PNMADLOW), 2 * 0.75 / 0.6745, 1e-9);  // deviations doubled
  // A pass without samples prints nothing.
  s->NSAMPLE = 0;
  testsupport::answered("", [&] { s->PRINTMC(true); }, out);
  EXPECT_EQ(out, "");
}
