// The integer reaction among a chosen set of phases: balance, coprime
// coefficients, the pivot bookkeeping, the phases in excess and the
// orientation; the independence test and the ln K term.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "zqre_testsupport.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

class Kernel : public retest::FinderTest {
 protected:
  // The reaction among the chosen phases of the components chosen, with
  // the rank the subsystem is said to have; the chosen set afterwards.
  static std::string react(const std::vector<smallint>& comps, const std::vector<smallint>& chosen, smallint rankc,
                           bemvector* after = nullptr) {
    CALCMODE = calcmodetype::utilitycalc;
    bcvector ox;
    for (smallint i : comps) ox[i] = true;
    bemvector ph;
    for (long j = 1; j <= NCV; ++j) ph[j] = true;
    bemvector sel = flags(chosen);
    RANKC = rankc;
    ZQRE::NPHSUB = NNE;
    NR = 0;
    const std::string f = fatal([&] { ZQRE::CALCR(static_cast<smallint>(comps.size()), ox, ph, sel); });
    if (after != nullptr) *after = sel;
    return f;
  }
};

// Every reaction balances over every component, its coefficients have no
// common factor, and its phases are the ones it names.
TEST_F(Kernel, ReactionsAmongChosenPhases) {
  const std::vector<retest::phase> xy = {
      {"X", {1, 0}}, {"Y", {0, 1}}, {"XY", {1, 1}}, {"X2Y", {2, 1}}, {"X2", {2, 0}}, {"X3", {3, 0}}};
  struct cas {
    const char* what;
    std::vector<smallint> comps, chosen;
    smallint rankc;
    std::vector<int> v;  // over X, Y, XY, X2Y, X2, X3
  };
  const std::vector<cas> cases = {
      {"X + Y = XY", {1, 2}, {1, 2, 3}, 2, {1, 1, -1, 0, 0, 0}},
      {"X + XY = X2Y", {1, 2}, {1, 3, 4}, 2, {1, 0, 1, -1, 0, 0}},
      {"Y + X2Y = 2 XY, the last column negative", {1, 2}, {2, 3, 4}, 2, {0, -1, 2, -1, 0, 0}},
      {"polymorphs", {1}, {1, 5}, 1, {2, 0, 0, 0, -1, 0}},
      {"column swap: X2 takes -1, Y drops out", {1, 2}, {1, 2, 5}, 2, {2, 0, 0, 0, -1, 0}},
      {"zero pivot: X2 gets 0", {1, 2}, {1, 5, 6}, 2, {3, 0, 0, 0, 0, -1}},
  };
  for (const cas& c : cases) {
    build({"X", "Y"}, 2, xy);
    bemvector sel;
    ASSERT_EQ(react(c.comps, c.chosen, c.rankc, &sel), "") << c.what;
    EXPECT_EQ(NR, 1) << c.what;
    const std::vector<int> v = row(1);
    EXPECT_EQ(v, c.v) << c.what;
    for (long i = 1; i <= NUV; ++i) {
      long s = 0;
      for (long j = 1; j <= NCV; ++j) s += static_cast<long>(v[static_cast<std::size_t>(j - 1)]) * (*C)(i, j);
      EXPECT_EQ(s, 0) << c.what << ": component " << i;
    }
    int g = 0;
    for (int x : v) g = std::gcd(g, x);
    EXPECT_EQ(g, 1) << c.what;
    for (long j = 1; j <= NNE; ++j) EXPECT_EQ(sel[j], v[static_cast<std::size_t>(j - 1)] != 0) << c.what << " " << j;
    EXPECT_EQ(members(RBIT[NRBIT]).size(), static_cast<std::size_t>(std::count_if(v.begin(), v.end(), [](int x) { return x != 0; })))
        << c.what;
  }
}

// The phases in excess take up the balance of their own components, with
// the phases' coefficients scaled to keep theirs whole; H2O and CO2
// together never stand among the reactants.
TEST_F(Kernel, PhasesInExcessAndOrientation) {
  struct cas {
    const char* what;
    std::vector<std::string> comps;
    std::vector<longint> compdiv;
    std::vector<retest::phase> phases;
    smallint h2o, co2;
    std::vector<int> v;
  };
  const std::vector<cas> cases = {
      {"brucite = periclase + H2O", {"MgO", "H2O"}, {1, 1},
       {{"br", {1, 1}}, {"per", {1, 0}}, {"H2O", {0, 1}}}, 3, 0, {-1, 1, 1}},
      {"half a mole of H2O: the phases doubled", {"MgO", "H2O"}, {1, 2},
       {{"hb", {1, 1}}, {"per", {1, 0}}, {"H2O", {0, 2}}}, 3, 0, {-2, 2, 1}},
      {"H2O against 2 CO2: their sum decides", {"CaO", "H2O", "CO2"}, {1, 1, 1},
       {{"x", {1, 0, 2}}, {"port", {1, 1, 0}}, {"H2O", {0, 1, 0}}, {"CO2", {0, 0, 1}}}, 3, 4, {-1, 1, -1, 2}},
      {"H2O against CO2 one each: left as found", {"CaO", "H2O", "CO2"}, {1, 1, 1},
       {{"cc", {1, 0, 1}}, {"port", {1, 1, 0}}, {"H2O", {0, 1, 0}}, {"CO2", {0, 0, 1}}}, 3, 4, {1, -1, 1, -1}},
  };
  for (const cas& c : cases) {
    build(c.comps, 1, c.phases, c.compdiv);
    H2OPOS = c.h2o;
    CO2POS = c.co2;
    ASSERT_EQ(react({1}, {1, 2}, 1), "") << c.what;
    EXPECT_EQ(row(1), c.v) << c.what;
    for (long i = 1; i <= NUV; ++i) {
      long s = 0;
      for (long j = 1; j <= NCV; ++j) s += static_cast<long>((*R)(1, j)) * (*C)(i, j);
      EXPECT_EQ(s, 0) << c.what << ": component " << i;
    }
  }
}

// Inconsistent calls stop with the maintainer's messages; a reaction whose
// coefficients outgrow the table stops on the user's data instead of
// wrapping.
TEST_F(Kernel, Stops) {
  const std::vector<retest::phase> xy = {{"X", {1, 0}}, {"Y", {0, 1}}, {"XY", {1, 1}}};
  build({"X", "Y"}, 2, xy);
  {
    testsupport::Terminal term;
    EXPECT_EQ(react({1, 2}, {1, 2}, 2), "calca: wrong no of phases ");
    const std::string t = term.text();
    EXPECT_NE(t.find("ix = 2, no = 2, iy = 2, rankc+1 = 3\n"), std::string::npos) << t;
    EXPECT_NE(t.find("X       " "        *\n"), std::string::npos) << t;
    EXPECT_NE(t.find("     XY         *\n"), std::string::npos) << t;
  }
  {
    testsupport::resetio();  // a fatal stop closes the channels
    testsupport::Terminal term;
    EXPECT_EQ(react({1, 2}, {1, 2}, 1), "re: no reaction - WHY");
    EXPECT_NE(term.text().find("   no =2,  nmax =3, rank =1\n"), std::string::npos) << term.text();
  }
  {
    bcvector ox;
    ox[1] = true;
    bemvector ph = flags({1, 2, 3}), sel = flags({1, 2, 3});
    RANKC = 2;
    EXPECT_EQ(fatal([&] { ZQRE::CALCR(2, ox, ph, sel); }), "calca: wrong no of components 1 2");
  }
  // A phase in excess that holds half a mole of its component, not one:
  // the balance check shows the reaction and the matrix, asks, and stops.
  build({"MgO", "H2O"}, 1, {{"hb", {1, 1}}, {"per", {1, 0}}, {"H2O", {0, 1}}}, {1, 2});
  {
    testsupport::resetio();
    testsupport::Answers in("\n");
    testsupport::Terminal term;
    EXPECT_EQ(react({1}, {1, 2}, 1), "check: unbalanced");
    EXPECT_NE(term.text().find("\n\n      hb       2\n     per      -2\n\n      MgO     H2O\nhb\n       1       1 \xA5\n"),
              std::string::npos)
        << term.text();
    EXPECT_NE(term.text().find("in check ? "), std::string::npos);
  }
  // Two excess components with coprime divisors: the phases' coefficients
  // would be 30000 * 29999.
  build({"X", "W1", "W2"}, 1,
        {{"A", {1, 1, 1}}, {"B", {1, 0, 0}}, {"W1", {0, 30000, 0}}, {"W2", {0, 0, 29999}}}, {1, 30000, 29999});
  EXPECT_EQ(react({1}, {1, 2}, 1), "calcr: reaction coefficient too large");
  EXPECT_EQ(NR, 0);
  // One divisor alone still fits.
  build({"X", "W1"}, 1, {{"A", {1, 1}}, {"B", {1, 0}}, {"W1", {0, 30000}}}, {1, 30000});
  EXPECT_EQ(react({1}, {1, 2}, 1), "");
  EXPECT_EQ(row(1), (std::vector<int>{30000, -30000, -1}));
}

// Independence against the reactions kept so far, with the mode's limit on
// how many there may be.
TEST_F(Kernel, IndependentReactions) {
  std::vector<findtest::row> list;
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (int j = 1; j <= 26; ++j) n.push_back("e" + std::to_string(j));
    return n;
  }();
  for (const std::string& n : names) list.push_back({n.c_str(), 0, 0, 1});
  rows(list);
  auto put = [](std::vector<std::pair<int, int>> terms) {
    for (long j = 1; j <= maxem; ++j) (*R)(NR, j) = 0;
    for (auto [j, nu] : terms) (*R)(NR, j) = static_cast<smallint>(nu);
  };
  CALCMODE = calcmodetype::rockcalc;
  // A chain e1 = e2, e2 = e3, ...: each new link is independent; sums,
  // multiples and reversals of links are not.
  struct cas {
    const char* what;
    std::vector<std::pair<int, int>> terms;
    bool independent;
  };
  const std::vector<cas> probes = {
      {"e1 = e3 through e2", {{1, 1}, {3, -1}}, false},
      {"2 e3 = 2 e1", {{1, -2}, {3, 2}}, false},
      {"e1 = e4", {{1, 1}, {4, -1}}, true},
  };
  NR = 0;
  for (int k = 1; k <= 2; ++k) {
    ++NR;
    put({{k, 1}, {k + 1, -1}});
    ASSERT_TRUE(ZQRE::NEWINDR());
  }
  for (const cas& c : probes) {
    ++NR;
    put(c.terms);
    EXPECT_EQ(ZQRE::NEWINDR(), c.independent) << c.what;
    --NR;
  }
  for (int k = 3; k <= 24; ++k) {
    ++NR;
    put({{k, 1}, {k + 1, -1}});
    ASSERT_TRUE(ZQRE::NEWINDR()) << k;
  }
  ++NR;
  put({{2, 3}, {25, -3}});
  EXPECT_EQ(fatal([] { EXPECT_FALSE(ZQRE::NEWINDR()); }), "") << "a dependent 25th";
  put({{25, 1}, {26, -1}});
  EXPECT_EQ(fatal([] { ZQRE::NEWINDR(); }), "newindr: too many independent reactions");
  CALCMODE = calcmodetype::phasecalc;
  EXPECT_TRUE(ZQRE::NEWINDR()) << "no limit in calc mode 3";
}

// ln K of the reaction from its end-members' activities; the end-members
// it does not hold count for nothing, whatever their activity.
TEST_F(Kernel, LnKTerm) {
  rows({{"a", 0, 0, 1}, {"b", 0, 0, 1}, {"c", 0, 0, 1}});
  NR = 1;
  reaction({2, -1, 0});
  ACTIVITY[1] = 0.5L;
  ACTIVITY[2] = 2;
  ACTIVITY[3] = 0;
  for (calcmodetype mode : {calcmodetype::rockcalc, calcmodetype::phasecalc}) {
    CALCMODE = mode;
    ZQRE::CALCDEL();
    EXPECT_NEAR(ALNK[1], -3 * std::log(2.0L), 1e-18L);
  }
  CALCMODE = calcmodetype::nlecalc;
  ZQRE::CALCDEL();
  EXPECT_EQ(ALNK[1], 0);
}

}  // namespace
