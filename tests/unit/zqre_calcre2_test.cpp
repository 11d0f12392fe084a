// The reaction basis of an assemblage, its normalisers and listings, and
// the text of a reaction.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "assemblage_testsupport.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "iotestsupport.h"
#include "model/zqcalc2.h"
#include "model/zqre.h"

using namespace ZQGLOBAL;

namespace {

using intmatrix = std::vector<std::vector<int>>;

// End-members of pure phases only, one per column of comp (rows are
// components).
void purephases(const intmatrix& comp, const std::vector<std::string>& names = {}) {
  assemblage::system s;
  for (std::size_t i = 0; i < comp.size(); ++i) s.components.push_back("c" + std::to_string(i + 1));
  for (std::size_t j = 0; j < comp[0].size(); ++j) {
    assemblage::pure p;
    p.em.name = j < names.size() ? names[j] : "e" + std::to_string(j + 1);
    for (const auto& row : comp) p.em.comp.push_back(row[j]);
    s.pures.push_back(p);
  }
  s.modes = false;
  assemblage::layout(s);
}

std::vector<int> reaction(long k) {
  std::vector<int> v;
  for (long j = 1; j <= NCV; ++j) v.push_back((*R)(k, j));
  return v;
}

TEST(CalcRe2, EveryReactionBalancesAndTheBasisHasFullSize) {
  assemblage::tables t;
  const std::vector<intmatrix> cases = {
      {{1, 1}},                                   // two polymorphs
      {{1, 0, 1, 2}, {0, 1, 1, 1}},               // two components, four phases
      {{2, 0, 1, 0, 3}, {1, 1, 0, 2, 0}, {0, 3, 1, 1, 2}},
      {{1, 2, 3}, {2, 4, 6}},                     // dependent rows
      {{1, 0}, {0, 1}},                           // independent: no reaction
  };
  std::mt19937 rng(17);
  std::vector<intmatrix> all = cases;
  for (int n = 0; n < 20; ++n) {
    const int m = 1 + static_cast<int>(rng() % 4), c = m + static_cast<int>(rng() % 5);
    intmatrix a(static_cast<std::size_t>(m), std::vector<int>(static_cast<std::size_t>(c)));
    for (auto& row : a)
      for (auto& v : row) v = static_cast<int>(rng() % 5);
    // Every end-member holds something: the set-up refuses an empty formula.
    for (std::size_t j = 0; j < a[0].size(); ++j) a[rng() % a.size()][j] += 1;
    all.push_back(a);
  }
  for (const intmatrix& a : all) {
    purephases(a);
    DOGMIN = true;  // quiet when there is no reaction
    liemmatrix* copy = new liemmatrix("copy");
    for (long i = 1; i <= NUV; ++i)
      for (long j = 1; j <= NCV; ++j) (*copy)(i, j) = (*C)(i, j);
    const smallint rank = ZQMATH1::CALCRANK(*copy, NUV, NCV);
    delete copy;
    bool found = false;
    ZQRE::CALCRE2(found);
    EXPECT_EQ(NR, NCV - rank);
    EXPECT_EQ(found, NR > 0);
    for (long k = 1; k <= NR; ++k) {
      bool nonzero = false;
      for (long i = 1; i <= NUV; ++i) {
        long sum = 0;
        for (long j = 1; j <= NCV; ++j) sum += static_cast<long>((*C)(i, j)) * (*R)(k, j);
        EXPECT_EQ(sum, 0) << "reaction " << k << " component " << i;
      }
      for (long j = 1; j <= NCV; ++j) nonzero = nonzero || (*R)(k, j) != 0;
      EXPECT_TRUE(nonzero);
      EXPECT_EQ(RNSITE[k], 1) << "pure phases only";
    }
    for (long k = NR + 1; k <= maxreac; ++k) ASSERT_EQ(RNSITE[k], 1);
  }
}

TEST(CalcRe2, PolymorphsGiveOneReactionTowardsTheLaterColumn) {
  assemblage::tables t;
  purephases({{2, 1, 2}, {1, 0, 1}}, {"ky", "x", "sill"});
  bool found = false;
  ZQRE::CALCRE2(found);
  ASSERT_EQ(NR, 1);
  EXPECT_EQ(reaction(1), (std::vector<int>{-1, 0, 1}));
}

// Solution phases of one end-member per listed multiplicity, all of one
// component, so that any reaction row can be set by hand.
void multiplicities(const std::vector<std::vector<smallint>>& phases, long purecount) {
  assemblage::system s;
  s.components = {"A"};
  for (const auto& mults : phases) {
    assemblage::solution so;
    so.name = "ss" + std::to_string(s.solutions.size() + 1);
    for (std::size_t m = 0; m < mults.size(); ++m) {
      assemblage::endmember e;
      e.name = so.name + "e" + std::to_string(m + 1);
      e.comp = {1};
      e.prop = "0";
      e.nsite = mults[m];
      so.ems.push_back(e);
      if (m + 1 < mults.size()) so.vars.push_back({"v" + std::to_string(m + 1)});
    }
    s.solutions.push_back(so);
  }
  for (long p = 0; p < purecount; ++p) {
    assemblage::pure pu;
    pu.em.name = "p" + std::to_string(p + 1);
    pu.em.comp = {1};
    s.pures.push_back(pu);
  }
  assemblage::layout(s);
}

TEST(MakeRnsite, NormaliserFromSiteMultiplicities) {
  assemblage::tables t;
  const struct {
    std::vector<std::vector<smallint>> phases;
    long pures;
    std::vector<smallint> row;
    smallint expected;
  } cases[] = {
      // 1 A + 2 B = 3 D at multiplicities 2, 1, 4: sqrt(12^2 + 4^2) = 12.65
      {{{2, 1}, {4}}, 0, {-1, -2, 3}, 13},
      {{}, 2, {-1, 1}, 1},                      // pure phases only
      {{{1}}, 1, {-1, 1}, 1},                   // one solution end-member
      {{{100, 100}}, 0, {-4, 4}, 500},          // sqrt(2) 400 = 566
      {{{3, 3}}, 0, {-1, 1}, 4},                // sqrt(18) = 4.24
      {{{1}, {1}}, 0, {-2, 2}, 3},              // sqrt(8) = 2.83
      {{{1, 1}}, 0, {0, 0}, 1},                 // a zero row
  };
  for (const auto& c : cases) {
    multiplicities(c.phases, c.pures);
    NR = 1;
    for (std::size_t j = 0; j < c.row.size(); ++j) (*R)(1, static_cast<long>(j + 1)) = c.row[j];
    RNSITE.fill(7);
    ZQRE::MAKERNSITE();
    EXPECT_EQ(RNSITE[1], c.expected);
    EXPECT_EQ(RNSITE[2], 1);
    EXPECT_EQ(RNSITE[maxreac], 1);
  }
}

TEST(CalcRe2, NoReactionsDumpUnlessDogmin) {
  assemblage::tables t;
  testsupport::ScratchDir dir;
  testsupport::openchannel(2, "out.txt");
  testsupport::openchannel(4, "ic.txt");
  purephases({{1, 0}, {0, 2}}, {"q", "per"});
  COMPNAME[1] = "SiO2";
  COMPNAME[2] = "MgO";
  COMPDIV[2] = 2;
  {
    testsupport::Terminal term;
    DOGMIN = true;
    bool found = true;
    ZQRE::CALCRE2(found);
    EXPECT_FALSE(found);
    EXPECT_EQ(term.text(), "");
  }
  testsupport::Terminal term;
  DOGMIN = false;
  bool found = true;
  ZQRE::CALCRE2(found);
  EXPECT_FALSE(found);
  const std::string dump =
      "\n** no reactions\n\n"
      "q        1   0\n"
      "per      0   2\n"
      "\n"
      "   1   2\n";
  EXPECT_EQ(term.text(), dump);
  IO::FLUSHER();
  EXPECT_EQ(dir.read("out.txt"), dump);
  EXPECT_EQ(dir.read("ic.txt"),
            "\n        SiO2   MgO\n"
            "q          1     0\n"
            "per        0     2\n"
            "div        1     2\n\n"
            "c =   {{  1,   0},\n"
            "       {  0,   2}};\n\n");
}

TEST(CalcRe2, ListingOfPolymorphsInLogAndDrawingFile) {
  assemblage::tables t;
  testsupport::ScratchDir dir;
  testsupport::openchannel(3, "log.txt");
  testsupport::openchannel(6, "qk.txt");
  purephases({{1, 1}}, {"and", "ky"});
  CONTROLJX.incnler = yes;
  INDENTR = 0;
  bool found = false;
  ZQRE::CALCRE2(found);
  ASSERT_TRUE(found);
  IO::FLUSHER();
  EXPECT_EQ(dir.read("log.txt"), "\n1)  and = ky\n");
  EXPECT_EQ(dir.read("qk.txt"),
            "\n\n"
            "name = {\"and\",\"ky\"};\n\n"
            "c =   {{  1},\n"
            "       {  1}};\n\n"
            "div =  {  1};\n\n"
            "(*  and   ky   *)\n\n"
            "re = {{ -1,   1}};\n\n");
}

TEST(CalcRe2, NothingListedWithoutTheSwitch) {
  assemblage::tables t;
  testsupport::ScratchDir dir;
  testsupport::openchannel(3, "log.txt");
  testsupport::openchannel(6, "qk.txt");
  purephases({{1, 1}});
  bool found = false;
  ZQRE::CALCRE2(found);
  IO::FLUSHER();
  EXPECT_EQ(dir.read("log.txt"), "");
  EXPECT_EQ(dir.read("qk.txt"), "");
}

TEST(MakeRline, ReactionText) {
  assemblage::tables t;
  purephases({{1, 1, 1, 1}}, {"A", "B", "C", "D"});
  const struct {
    smallint k;
    std::vector<smallint> row;
    std::string text;
  } cases[] = {
      {3, {-2, -1, 1, 0}, "3)  2A + B = C"},
      {1, {1, 0, -1, 0}, "1)  C = A"},
      {12, {-1, 3, 0, -10}, "12)  A + 10D = 3B"},
  };
  for (const auto& c : cases) {
    for (std::size_t j = 0; j < c.row.size(); ++j) (*R)(c.k, static_cast<long>(j + 1)) = c.row[j];
    INDENTR = 0;
    ZQCALC2::MAKERLINE(c.k);
    EXPECT_EQ(RLINES[c.k], c.text);
    EXPECT_EQ(INDENTR, static_cast<smallint>(c.text.size() + 1));
    INDENTR = 40;
    ZQCALC2::MAKERLINE(c.k);
    EXPECT_EQ(INDENTR, 40) << "never lowered";
  }
}

TEST(MakeRline, LnaVariableShownByItsLabel) {
  assemblage::tables t;
  purephases({{1, 1}}, {"H2O", "ice"});
  NLNA = 1;
  LNANAME[1] = "H2O";
  LNANAMEP[1] = "lnaH2O";
  (*R)(1, 1) = -1;
  (*R)(1, 2) = 1;
  ZQCALC2::MAKERLINE(1);
  EXPECT_EQ(RLINES[1], "1)  lnaH2O = ice");
  EXPECT_EQ(NAME[1], "H2O");
}

}  // namespace
