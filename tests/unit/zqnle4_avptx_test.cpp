// The avPT+ crossover search on small made tables (the single solve
// replaced by a table of answers), the report lines, the statistics
// helpers and the Monte Carlo passes with a made solve.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "frame/zqmath1.h"
#include "iotestsupport.h"
#include "uncertainty/zqnle4_avptplus.h"

using namespace ZQGLOBAL;
using ZQNLE4::avptplusstate;

namespace {

// What the made solve answers for each stored calculation.
struct made {
  extended p, t;  // the calculation's own P (kbar) and T (degrees C)
  extended sp, st;  // the solved P and T
  bool ok = true;
};
std::vector<made> table;
int solves = 0;

bool madesolve(avptplusstate& s, smallint k, extended& p, extended& t, extended& sigfit) {
  ++solves;
  const made& m = table.at(static_cast<std::size_t>(k - 1));
  const bool movep = !s.AVTPLUS, movet = !s.AVPPLUS;
  if (movep) p = m.ok ? m.sp : 0;
  if (movet) t = m.ok ? m.st : 0;
  sigfit = m.ok ? 1 : 0;
  return m.ok;
}

// A fresh state over the made table, avP+ (kind 2), avT+ (3) or avPT+ (1).
std::unique_ptr<avptplusstate> fresh(int kind, const std::vector<made>& rows) {
  testsupport::freshstate();
  ALLOCATEJXCALC();
  table = rows;
  solves = 0;
  NJX = static_cast<smallint>(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    (*JXCALC)[static_cast<long>(i + 1)].p = rows[i].p;
    (*JXCALC)[static_cast<long>(i + 1)].t = rows[i].t;
  }
  AVPGUESS = 6;
  AVTGUESS = 600;
  AVPFIXEDT = 600;
  AVTFIXEDP = 6;
  CPINC = 1;
  AVPTALGO = 2;
  auto s = std::make_unique<avptplusstate>();
  s->AVPPLUS = kind == 2;
  s->AVTPLUS = kind == 3;
  s->SOLVESEAM = madesolve;
  return s;
}

// Blocks of two calculations (500 and 700 degrees C) at each P, all solved
// at T st and at the P of solvedp for their block.
std::vector<made> blocks(const std::vector<extended>& ps, const std::vector<extended>& solvedp, extended st = 620) {
  std::vector<made> rows;
  for (std::size_t b = 0; b < ps.size(); ++b)
    for (extended t : {500.0L, 700.0L}) rows.push_back({ps[b], t, solvedp[b], st});
  return rows;
}

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
       {"there is a crossover defining avT+"}},
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
    if (c.line != nullptr) {
      EXPECT_NE(r.out.find(std::string(c.line) + "\n"), std::string::npos) << r.out;
    }
    if (!c.nominal) {
      EXPECT_EQ(r.out, "");
    }
    if (!c.ok && c.nominal) {
      EXPECT_NE(r.out.find("no solution in the range of the calculations"), std::string::npos);
    }
  }
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
    IO::CONTROLIO.pagewidth = 250;  // the terminal shows the long line whole
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

namespace {

// Made tries: a spread of samples about the nominal point; a try fails
// when its number's remainder by `period` is below `nfail`, with `failcode`.
int period = 1, nfail = 0;
smallint failcode = 0;
bool madetry(avptplusstate& s) {
  const bool fail = s.NTRY % period < nfail;
  s.FAILCODE = fail ? failcode : 0;
  s.PTRY = fail ? 0 : s.PNOM + s.UFAC * 0.1L * (s.NTRY % 7 - 3);
  s.TTRY = fail ? 0 : s.TNOM + s.UFAC * (s.NTRY % 5 - 2);
  return !fail;
}

struct passes {
  std::string out, end, csv;
  std::unique_ptr<avptplusstate> s;
};

passes montecarlo(int kind, int per, int nf, smallint code, const std::string& answers) {
  passes r;
  testsupport::ScratchDir dir;
  r.s = fresh(kind, {});
  period = per, nfail = nf, failcode = code;
  r.s->TRYSEAM = madetry;
  r.s->PNOM = 6, r.s->TNOM = 600;
  testsupport::openchannel(CHANNEL::CSVBIT, "samples.csv");
  r.end = testsupport::answered(answers, [&] { r.s->MONTECARLO(); }, r.out);
  IO::WHATSOPEN = 1;
  std::fclose(IO::CSVFILE.f);
  IO::CSVFILE.f = nullptr;
  r.csv = dir.read("samples.csv");
  return r;
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(AvptXMonteCarlo, FirstPassStops) {
  struct fc {
    const char* what;
    int kind, per, nf;
    smallint code;
    smallint tries, good;
    const char* verdict;
  };
  const fc cases[] = {
      {"every try solves", 1, 1, 0, 0, 2000, 2000, "\nlooks like an ok result?\n\n"},
      {"avP+ wants 4000", 2, 1, 0, 0, 4000, 4000, "\nlooks like an ok result?\n\n"},
      {"300 failures in 2000 tries", 1, 20, 3, 1, 2000, 1700,
       "here just for reference: possibly untrustworthy\n\nlots of fails\n"},
      {"299 failures are not enough", 1, 10000, 300, 1, 2299, 2000, "\nlooks like an ok result?\n\n"},
      {"uncounted failures run to 2.5 times the target", 1, 10, 7, 0, 5000, 1500, "\nlooks like an ok result?\n\n"},
  };
  for (const fc& c : cases) {
    SCOPED_TRACE(c.what);
    const passes r = montecarlo(c.kind, c.per, c.nf, c.code, "1\n0\n");
    ASSERT_EQ(r.end, "");
    EXPECT_NE(r.out.find(std::string("mc: good = ") + std::to_string(c.good) + " (tried = " + std::to_string(c.tries)),
              std::string::npos)
        << r.out.substr(0, 400);
    EXPECT_NE(r.out.find(c.verdict), std::string::npos);
    EXPECT_EQ(count(r.csv, "\n"), static_cast<std::size_t>(c.good));
    EXPECT_EQ(r.s->NSAMPLE, c.good);
  }
}

TEST(AvptXMonteCarlo, FurtherPassesAndTheFactorOfTheSamples) {
  struct fc {
    const char* what;
    int kind;
    const char* answers;
    smallint samples;
    extended ufac;  // the factor the csv rows are taken back with
    int asked;      // "ufac to use" prompts
  };
  const fc cases[] = {
      {"0 at once", 1, "1\n0\n", 2000, 1, 1},
      {"1 goes on adding to the first pass", 1, "1\n1\n0\n", 4000, 1, 2},
      {"avP+ already full makes one more try", 2, "1\n1\n0\n", 4001, 1, 2},
      {"refused factors run no pass", 1, "1\n0.2\n-1\n2\n0\n", 4000, 0.2L, 4},
      {"a later 1 starts afresh", 1, "1\n0.5\n1\n0\n", 4000, 1, 3},
      {"the first factor is asked until it is usable", 1, "0\n-0.5\n1.5\n0.5\n0\n", 2000, 0.5L, 1},
  };
  for (const fc& c : cases) {
    SCOPED_TRACE(c.what);
    const passes r = montecarlo(c.kind, 1, 0, 0, c.answers);
    ASSERT_EQ(r.end, "");
    EXPECT_EQ(r.s->NSAMPLE, c.samples);
    EXPECT_EQ(r.s->UFAC, c.ufac);
    EXPECT_EQ(count(r.out, "ufac to use : "), static_cast<std::size_t>(c.asked));
    const std::vector<std::string> rows = testsupport::lines(r.csv);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(c.samples));
    // The made samples are PNOM + ufac * 0.1 * (try % 7 - 3): taken back
    // to a factor of 1 they are 6 + 0.1 * (try % 7 - 3) again.
    const std::string first = c.kind == 2 ? "     5.800" : "     5.800,     599.00";
    EXPECT_EQ(rows[0], first);
  }
}
