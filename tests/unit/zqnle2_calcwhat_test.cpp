// The enumeration of the equilibria of a pass, seen through a recording
// run loop, and the exact reduction of a combination's composition matrix,
// on phase tables set by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "equilibria/zqnle2.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "iotestsupport.h"

using namespace ZQGLOBAL;

namespace {

using testsupport::fatal;

// What the enumeration handed on: the phase numbers of each set, with the
// variance and mode switches it had then; "gmin" for the dogmin report.
std::vector<std::string> calls;

void recordsolve(const bemvector& PH) {
  std::string s;
  for (long p = 1; p <= NP; ++p)
    if (PH[p]) s += std::to_string(p);
  if (DOGMIN) s += " v" + std::to_string(VARIANCE) + (MODESBYNLE ? " by" : "") + (MODESAFTERNLE ? " after" : "");
  calls.push_back(s);
}
void recordgmin() { calls.push_back("gmin"); }

class CalcWhat : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    ALLOCATEWORK();
    IO::CONTROLIO.pagewidth = 250;
    calls.clear();
    NCOMP = 0;  // no bulk, as a pass without a pseudosection has it
    ZQNLE2::CALCWHATCALLS.solve = recordsolve;
    ZQNLE2::CALCWHATCALLS.printgmin = recordgmin;
  }
  void TearDown() override {
    ZQNLE2::CALCWHATCALLS = {};
    RELEASEWORK();
    testsupport::freshstate();
  }
  static void components(const std::vector<std::string>& names) {
    NUV = NUVLEFT = NU = static_cast<smallint>(names.size());
    for (long c = 1; c <= NUV; ++c) {
      COMPNAME[c] = names[static_cast<std::size_t>(c - 1)];
      COMPDIV[c] = 1;
      BCOMPS[c] = true;
    }
  }
  // A solution phase of one variable between two end-members.
  static void binary(long i, const std::string& name, std::vector<int> a, std::vector<int> b) {
    ptype1& p = (*PREC1)[i];
    p = ptype1{};
    p.name = name;
    p.nprop = 2;
    p.nvar = 1;
    p.xvar[1].name = "x(" + name + ")";
    for (long c = 1; c <= NUV; ++c) {
      p.em[1].comp[c] = static_cast<smallint>(a[static_cast<std::size_t>(c - 1)]);
      p.em[2].comp[c] = static_cast<smallint>(b[static_cast<std::size_t>(c - 1)]);
    }
    p.em[1].name = name + "A";
    p.em[2].name = name + "B";
  }
  static void pure(long i, const std::string& name, std::vector<int> comp) {
    ptype0& p = (*PREC0)[i];
    p = ptype0{};
    p.name = p.emname = name;
    for (long c = 1; c <= NUV; ++c) p.comp[c] = static_cast<smallint>(comp[static_cast<std::size_t>(c - 1)]);
  }
  static void counts(long npss, long np0) {
    NPSS = static_cast<smallint>(npss);
    NP0 = static_cast<smallint>(np0);
    NP = static_cast<smallint>(npss + np0);
  }
  // alp and bet between MgO and FeO, then pure per (MgO) and wus (FeO).
  static void loop() {
    components({"MgO", "FeO"});
    binary(1, "alp", {1, 0}, {0, 1});
    binary(2, "bet", {1, 0}, {0, 1});
    pure(1, "per", {1, 0});
    pure(2, "wus", {0, 1});
    counts(2, 2);
  }
  static std::string run(std::string& out) {
    return testsupport::answered("", ZQNLE2::CALCWHAT, out);
  }
};

TEST_F(CalcWhat, CombinationsOfEachLevel) {
  struct Case {
    std::string name;
    smallint variance;
    long inexcess;  // phase every combination must hold, 0 for none
    bool batch;
    std::vector<std::string> calls;
  } cases[] = {
      {"three of four", 1, 0, false, {"123", "124", "134", "234"}},
      {"no phase wanted", 4, 0, false, {}},
      {"more phases wanted than there are", -1, 0, false, {}},
      {"per in excess", 1, 3, false, {"123", "134", "234"}},
      {"per in excess, batch", 1, 3, true, {"123", "124", "134", "234"}},
      {"all four, invariant", 0, 0, false, {"1234"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    loop();
    OVARIANCE = VARIANCE = c.variance;
    NPMBP = c.inexcess > 0 ? 1 : 0;
    for (long p = 1; p <= NP; ++p) PMBP[p] = p == c.inexcess;
    CONTROLJX.batch = c.batch ? yes : no;
    calls.clear();
    std::string out;
    EXPECT_EQ(run(out), "");
    EXPECT_EQ(calls, c.calls);
    // A pass that hands nothing on says so.
    EXPECT_EQ(out, c.calls.empty() ? "\n<== nothing calculated: no assemblage of these phases can be solved ==>\n" : "");
  }
}

TEST_F(CalcWhat, DogminWalksDownTheVariances) {
  loop();
  DOGMIN = true;
  MINVARIANCE = 1;
  OVARIANCE = 3;
  std::string out;
  EXPECT_EQ(run(out), "");
  // Level 3 takes the phases that hold every component, with their modes
  // among the unknowns; level 2 every pair but the pure one with no
  // relation left; level 1 none whose unknowns match; then the report.
  EXPECT_EQ(calls, (std::vector<std::string>{"1 v3 by", "2 v3 by", "12 v2 after", "13 v2 after", "14 v2 after",
                                              "23 v2 after", "24 v2 after", "gmin"}));
  EXPECT_EQ(VARIANCE, 1);
  EXPECT_TRUE(MODESBYNLE);
  EXPECT_FALSE(MODESAFTERNLE);

  // A minimum variance above the chosen one is lowered to it.
  calls.clear();
  MINVARIANCE = 3;
  OVARIANCE = 2;
  run(out);
  EXPECT_EQ(calls.size(), 6u);
  EXPECT_EQ(calls.back(), "gmin");
}

TEST_F(CalcWhat, StopsOfThePass) {
  components({"SiO2"});
  pure(1, "q", {1});
  pure(2, "coe", {1});
  counts(0, 2);
  OVARIANCE = 1;
  std::string out;
  EXPECT_EQ(run(out), "calcwhat: not currently implemented");
  EXPECT_EQ(out.rfind("\nno solid solutions involved: run in mode 3\n\n-- run bombed in calcwhat", 0), 0u) << out;
  NCOMP = 1;
  NU = 0;
  EXPECT_EQ(run(out), "calcwhat: nu < 1");
  EXPECT_TRUE(calls.empty());
}

// ---------------------------------------------------------------- the reduction

class CalcRankP : public CalcWhat {
 protected:
  // One pure phase per column of a (rows components).
  static bemvector columns(const std::vector<std::vector<int>>& a) {
    bemvector set{"set"};
    const std::size_t m = a.size(), n = a[0].size();
    for (std::size_t j = 0; j < n; ++j) {
      std::vector<int> comp;
      for (std::size_t i = 0; i < m; ++i) comp.push_back(a[i][j]);
      pure(static_cast<long>(j + 1), "p" + std::to_string(j + 1), comp);
      set[static_cast<long>(j + 1)] = true;
    }
    counts(0, static_cast<long>(n));
    return set;
  }
  static std::string reduce(const bemvector& set, smallint& rank, bool& ok, std::string& out) {
    return testsupport::answered("", [&] { ZQNLE2::CALCRANKP(set, rank, ok); }, out);
  }
};

TEST_F(CalcRankP, BulkInOrOutOfTheReducedSystem) {
  const std::string refused =
      "\nreduced system needed for handling equilibrium involving: en H2O \n"
      "bulk NOT in reduced system\nthis equation must apply\n";
  struct Case {
    std::string name;
    std::vector<std::string> comps;
    std::vector<std::vector<int>> a;
    smallint ncomp;
    std::vector<extended> bulk;
    bool ok;
    std::string out;
  } cases[] = {
      {"no bulk", {"MgO", "SiO2", "H2O"}, {{1, 0}, {1, 0}, {0, 1}}, 0, {}, true, ""},
      {"bulk on the plane", {"MgO", "SiO2", "H2O"}, {{1, 0}, {1, 0}, {0, 1}}, 1, {40, 40, 20}, true, ""},
      {"bulk off it", {"MgO", "SiO2", "H2O"}, {{1, 0}, {1, 0}, {0, 1}}, 1, {45, 35, 20}, false,
       refused + "    - MgO + SiO2 = 0\n"},
      {"two bulks, the second off it", {"MgO", "SiO2", "H2O"}, {{1, 0}, {1, 0}, {0, 1}}, 2, {40, 40, 20}, false,
       refused + "    - MgO + SiO2 = 0\n"},
      {"a coefficient of two", {"MgO", "FeO", "SiO2"}, {{2, 0}, {0, 2}, {1, 1}}, 1, {30, 30, 40}, false,
       "\nreduced system needed for handling equilibrium involving: en H2O \nbulk NOT in reduced system\n"
       "this equation must apply\n    - MgO - FeO +  2SiO2 = 0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    components(c.comps);
    const bemvector set = columns(c.a);
    (*PREC0)[1].name = "en";
    (*PREC0)[2].name = "H2O";
    NCOMP = c.ncomp;
    for (std::size_t i = 0; i < c.bulk.size(); ++i) COMP1[static_cast<long>(i + 1)] = COMP2[static_cast<long>(i + 1)] = c.bulk[i];
    if (c.ncomp == 2) COMP2[1] = 41;
    smallint rank = -1;
    bool ok = !c.ok;
    std::string out;
    EXPECT_EQ(reduce(set, rank, ok, out), "");
    EXPECT_EQ(rank, 2);
    EXPECT_EQ(RANKDEFICIT, 1);
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(out, c.out);
  }
}

TEST_F(CalcRankP, DogminQuietUnlessAskedAndTheDebugDump) {
  components({"MgO", "SiO2", "H2O"});
  const bemvector set = columns({{1, 0}, {1, 0}, {0, 1}});
  NCOMP = 1;
  COMP1[1] = 45;
  COMP1[2] = 35;
  COMP1[3] = 20;
  smallint rank = 0;
  bool ok = true;
  std::string out;
  DOGMIN = true;
  DOGLEVEL = 1;
  EXPECT_EQ(reduce(set, rank, ok, out), "");
  EXPECT_FALSE(ok);
  EXPECT_EQ(out, "");
  DOGLEVEL = 2;
  DEBUGLEVEL = 2;
  EXPECT_EQ(reduce(set, rank, ok, out), "");
  EXPECT_EQ(out, "<" + std::string(50, '=') + ">\nreduced system needed for handling equilibrium involving: p1 p2 \n");

  DOGMIN = false;
  EXPECT_EQ(reduce(set, rank, ok, out), "calcrankp: bulk not in reduced system");
  const std::string dump =
      "\n\n\xA5\xA5\xA5 debugging information \xA5\xA5\xA5\n\n"
      "\nmatrix is rank deficient\n\n"
      "\ncomposition matrix\n   p1   p2\n    1    0      1\n    1    0      1\n    0    1      1\n"
      "\npermutation matrix\n       1 0 0\n       0 0 1\n       0 1 0\n"
      "\nL info\n         0   1   1\n         0   0   1\n        -1   0   0\n"
      "\ninv L\n         1   0   0\n         0   1   0\n        -1   0   1\n"
      "\nprojc\n         1   0   0\n         0   0   1\n        -1   1   0\n"
      "\nrow-reduced matrix, U\n   1   0\n   0   1\n   0   0\n"
      "\nalternatively, projc A\n   1   0\n   0   1\n   0   0\n";
  EXPECT_NE(out.find("    - MgO + SiO2 = 0\n" + dump), std::string::npos) << out;
}

TEST_F(CalcRankP, ProjectionAnnihilatesEveryColumn) {
  std::mt19937 gen(20261207);
  std::uniform_int_distribution<int> entry(-3, 3), size(2, 5), width(1, 4), div(1, 3);
  int deficient = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const int m = size(gen), n = width(gen);
    std::vector<std::vector<int>> a(static_cast<std::size_t>(m), std::vector<int>(static_cast<std::size_t>(n)));
    static liemmatrix copy{"copy"};
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j) copy(i + 1, j + 1) = a[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = entry(gen);
    components(std::vector<std::string>(static_cast<std::size_t>(m), "c"));
    for (long c = 1; c <= m; ++c) COMPDIV[c] = div(gen);
    const bemvector set = columns(a);
    smallint rank = -1;
    bool ok = false;
    std::string out;
    ASSERT_EQ(reduce(set, rank, ok, out), "") << trial;
    EXPECT_TRUE(ok);
    EXPECT_EQ(rank, ZQMATH1::CALCRANK(copy, static_cast<smallint>(m), static_cast<smallint>(n))) << trial;
    EXPECT_EQ(RANKDEFICIT, m - rank);
    if (RANKDEFICIT == 0) continue;
    ++deficient;
    // PROJC / D applied to the columns: an echelon form whose first rank
    // rows have leading entries in rising columns and whose rest vanish.
    long lead = 0;
    for (long r = 1; r <= m; ++r) {
      long first = 0;
      for (long e = 1; e <= n; ++e) {
        extended s = 0;
        for (long c = 1; c <= m; ++c) s += static_cast<extended>(copy(c, e)) * PROJC(r, c) / COMPDIV[c];
        if (s != 0 && first == 0) first = e;
        if (r > rank) {
          EXPECT_EQ(s, 0) << trial << " row " << r << " column " << e;
        }
      }
      if (r <= rank) {
        EXPECT_GT(first, lead) << trial << " row " << r;
        lead = first;
      }
    }
  }
  EXPECT_GT(deficient, 100);
}

TEST_F(CalcRankP, LargeEntriesReduceExactlyOrStop) {
  // Twelve components, the last a copy of the first: a deficit of one.
  std::vector<std::vector<int>> a(12, std::vector<int>(12));
  for (int i = 0; i < 11; ++i)
    for (int j = 0; j < 12; ++j) a[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = 30000 - (7 * i * j + 3 * i + j) % 61;
  a[11] = a[0];
  components(std::vector<std::string>(12, "c"));
  const bemvector set = columns(a);
  NCOMP = 1;
  for (long c = 1; c <= 12; ++c) COMP1[c] = 1;
  smallint rank = 0;
  bool ok = true;
  std::string out;
  const std::string end = reduce(set, rank, ok, out);
  if (end.empty()) {
    EXPECT_EQ(RANKDEFICIT, 1);
    // The copy's relation, whatever its scale: c1 - c12 = 0.
    EXPECT_NE(PROJC(12, 1), 0);
    EXPECT_EQ(PROJC(12, 1), -PROJC(12, 12));
    EXPECT_TRUE(ok);
  } else {
    EXPECT_EQ(end, "calcrankp: integer overflow in elimination: matrix entries too large");
  }
}

}  // namespace

namespace {

// The rank of integer columns by elimination in doubles with a tolerance:
// an own count, apart from the program's exact one.
long ownrank(std::vector<std::vector<double>> cols) {
  long rank = 0;
  const std::size_t rows = cols.empty() ? 0 : cols[0].size();
  std::vector<bool> used(rows, false);
  for (auto& c : cols) {
    std::size_t p = rows;
    for (std::size_t r = 0; r < rows; ++r)
      if (!used[r] && std::fabs(c[r]) > 1e-9 && (p == rows || std::fabs(c[r]) > std::fabs(c[p]))) p = r;
    if (p == rows) continue;
    used[p] = true;
    ++rank;
    const std::vector<double> pivot = c;
    for (auto& d : cols) {
      if (&d == &c) continue;
      const double f = d[p] / pivot[p];
      for (std::size_t r = 0; r < rows; ++r) d[r] -= f * pivot[r];
    }
  }
  return rank;
}

}  // namespace

// The phase rule with every held component open, on made-up systems of 2-5
// components, 1-4 phases (solution phases of two end-members and pure
// phases) and 0-2 mu variables: components = the rank of the end-members
// with a unit column for each held component; each mu takes one off. Half
// the systems keep a held component out of every phase.
TEST_F(CalcWhat, VarianceIsThePhaseRuleWithHeldComponentsOpen) {
  const std::vector<std::string> names = {"SiO2", "MgO", "FeO", "H2O", "CaO"};
  std::mt19937 gen(84);
  auto pick = [&gen](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
  int leftout = 0;
  for (int trial = 0; trial < 400; ++trial) {
    const int nc = pick(2, 5), nph = pick(1, 4), nmu = pick(0, std::min(2, nc - 1));
    components(std::vector<std::string>(names.begin(), names.begin() + nc));
    // The held components: the first nmu of a shuffled list.
    std::vector<int> order(static_cast<std::size_t>(nc));
    for (int c = 0; c < nc; ++c) order[static_cast<std::size_t>(c)] = c;
    std::shuffle(order.begin(), order.end(), gen);
    std::vector<bool> held(static_cast<std::size_t>(nc), false);
    for (int k = 0; k < nmu; ++k) held[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])] = true;
    const bool keepout = nmu > 0 && trial % 2 == 0;
    const std::size_t out = static_cast<std::size_t>(order[0]);
    auto composition = [&]() {
      std::vector<int> v(static_cast<std::size_t>(nc));
      for (std::size_t c = 0; c < v.size(); ++c) v[c] = keepout && c == out ? 0 : pick(0, 3);
      return v;
    };
    std::vector<std::vector<double>> cols;
    const int nss = pick(0, nph);
    for (int i = 1; i <= nss; ++i) {
      const std::vector<int> a = composition(), b = composition();
      binary(i, "s" + std::to_string(i), a, b);
      cols.emplace_back(a.begin(), a.end());
      cols.emplace_back(b.begin(), b.end());
    }
    for (int i = 1; i <= nph - nss; ++i) {
      const std::vector<int> a = composition();
      pure(i, "p" + std::to_string(i), a);
      cols.emplace_back(a.begin(), a.end());
    }
    counts(nss, nph - nss);
    NMU = static_cast<smallint>(nmu);
    for (int k = 1; k <= nmu; ++k) MUNAME[k] = names[static_cast<std::size_t>(order[static_cast<std::size_t>(k - 1)])];
    for (int c = 0; c < nc; ++c)
      if (held[static_cast<std::size_t>(c)]) {
        std::vector<double> unit(static_cast<std::size_t>(nc), 0);
        unit[static_cast<std::size_t>(c)] = 1;
        cols.push_back(unit);
      }
    if (keepout) ++leftout;
    const long expected = ownrank(cols) + 2 - nph - nmu;
    EXPECT_EQ(ZQNLE2::CALCVAR(), expected) << "trial " << trial << ": " << nc << " components, " << nph
                                           << " phases, " << nmu << " mu";
  }
  EXPECT_GT(leftout, 50);
  // The two shapes met first: ol and a hydrate with SiO2 and H2O held (4 - 2 +
  // 2 - 2), and ol alone with SiO2 held (3 - 1 + 2 - 1).
  components({"H2O", "SiO2", "MgO", "FeO"});
  binary(1, "ol", {0, 1, 2, 0}, {0, 1, 0, 2});
  binary(2, "hyd", {1, 0, 1, 0}, {1, 0, 0, 1});
  counts(2, 0);
  NMU = 2;
  MUNAME[1] = "SiO2";
  MUNAME[2] = "H2O";
  EXPECT_EQ(ZQNLE2::CALCVAR(), 2);
  components({"SiO2", "MgO", "FeO"});
  binary(1, "ol", {1, 2, 0}, {1, 0, 2});
  counts(1, 0);
  NMU = 1;
  MUNAME[1] = "SiO2";
  EXPECT_EQ(ZQNLE2::CALCVAR(), 3);
  NMU = 0;
  EXPECT_EQ(ZQNLE2::CALCVAR(), 2 + 2 - 1);
}
