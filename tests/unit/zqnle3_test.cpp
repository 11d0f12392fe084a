// The end-members in phase order: compositions of made end-members, their
// thermodynamic rows and covariance, and the number text of the a-x listing.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "model/zqcalc1.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

struct dsem {
  std::string name;
  std::vector<int> comp;
  extended H, S, V;
  std::vector<std::pair<int, extended>> slots;
  dsem(std::string n, std::vector<int> c, extended h = 0, extended s = 0, extended v = 0,
       std::vector<std::pair<int, extended>> sl = {})
      : name(std::move(n)), comp(std::move(c)), H(h), S(s), V(v), slots(std::move(sl)) {}
};

struct recipe {
  std::vector<std::string> names;
  std::vector<int> coefs;
  int div;
  std::vector<makeactiontype> actions;  // notspecified when empty
  extended a, b, c;
  recipe(std::vector<std::string> n, std::vector<int> k, int d, std::vector<makeactiontype> act = {},
         extended da = 0, extended db = 0, extended dc = 0)
      : names(std::move(n)), coefs(std::move(k)), div(d), actions(std::move(act)), a(da), b(db), c(dc) {}
};

class PhaseOrder : public ::testing::Test {
 protected:
  assemblage::tables t;

  // The data-set end-members of the calculation, as the data-set reader
  // leaves them: NAME, C, TD rows; COV zero.
  void dataset(const std::vector<std::string>& comps, const std::vector<dsem>& ems) {
    C->fill(0);
    TD->fill(0);
    COV->fill(0);
    NAME.fill("");
    NUV = NU = static_cast<smallint>(comps.size());
    for (long i = 1; i <= NUV; ++i) {
      COMPNAME[i] = comps[static_cast<std::size_t>(i - 1)];
      COMPDIV[i] = 1;
      ICOMP[i] = static_cast<smallint>(i);
    }
    NCV = static_cast<smallint>(ems.size());
    for (long j = 1; j <= NCV; ++j) {
      const dsem& e = ems[static_cast<std::size_t>(j - 1)];
      NAME[j] = e.name;
      for (std::size_t i = 0; i < e.comp.size(); ++i) (*C)(static_cast<long>(i + 1), j) = static_cast<smallint>(e.comp[i]);
      (*TD)(j, TDSLOT::H) = e.H;
      (*TD)(j, TDSLOT::S) = e.S;
      (*TD)(j, TDSLOT::V) = e.V;
      for (const auto& [slot, v] : e.slots) (*TD)(j, slot) = v;
    }
    NPSS = NP0 = 0;
  }

  emtype& addem(ptype1& p, const std::string& name, const recipe* r = nullptr) {
    emtype& em = p.em[++p.nprop];
    em = emtype{};
    em.name = name;
    if (r != nullptr) setrecipe(em, *r);
    return em;
  }
  template <class REC>
  static void setrecipe(REC& em, const recipe& r) {
    em.nmake = static_cast<smallint>(r.names.size());
    em.makediv = static_cast<smallint>(r.div);
    for (long m = 1; m <= em.nmake; ++m) {
      em.makename[m] = r.names[static_cast<std::size_t>(m - 1)];
      em.makecoef[m] = static_cast<smallint>(r.coefs[static_cast<std::size_t>(m - 1)]);
      em.makeaction[m] = r.actions.empty() ? makeactiontype::notspecified : r.actions[static_cast<std::size_t>(m - 1)];
    }
    em.dqfa = r.a;
    em.dqfb = r.b;
    em.dqfc = r.c;
  }
  ptype1& solution(const std::string& name) {
    ptype1& p = (*PREC1)[++NPSS];
    p = ptype1{};
    p.name = name;
    return p;
  }
  ptype0& pure(const std::string& name, const std::string& emname, const recipe* r = nullptr) {
    ptype0& p = (*PREC0)[++NP0];
    p = ptype0{};
    p.name = name;
    p.emname = emname;
    if (r != nullptr) setrecipe(p, *r);
    return p;
  }
  static void setcomp(icvector& comp, const std::vector<int>& v) {
    for (std::size_t i = 0; i < v.size(); ++i) comp[static_cast<long>(i + 1)] = static_cast<smallint>(v[i]);
  }
  static std::vector<int> column(long k) {
    std::vector<int> v;
    for (long i = 1; i <= NUV; ++i) v.push_back((*C)(i, k));
    return v;
  }
};

// ---------------------------------------------------------------- MAKEEMC

TEST_F(PhaseOrder, HalfAndHalfRecipeStaysExactAndEmptyComponentsGo) {
  // aa = X2 Y1, bb = X2 Y2: they differ by an odd amount of Y only.
  dataset({"X", "Y", "Z"}, {{"aa", {2, 1, 0}}, {"bb", {2, 2, 0}}, {"cc", {1, 0, 0}}});
  const recipe half{{"aa", "bb"}, {1, 1}, 2};
  ptype1& s = solution("sol");
  addem(s, "bb");
  addem(s, "ab", &half);
  addem(s, "aa");
  pure("c", "cc");
  ZQNLE3::MAKEEMC();

  ASSERT_EQ(NUV, 2);
  EXPECT_EQ(NU, 2);
  EXPECT_EQ(KNU, 2);
  EXPECT_EQ(KNUV, 2);
  EXPECT_EQ(NUVLEFT, 2);
  EXPECT_EQ(COMPNAME[1], "X");
  EXPECT_EQ(COMPNAME[2], "Y");
  EXPECT_EQ(COMPDIV[1], 1);
  EXPECT_EQ(COMPDIV[2], 2);
  // Phase order: bb, ab, aa, c; every Y entry doubled with its divisor.
  EXPECT_EQ(column(1), (std::vector<int>{2, 4}));
  EXPECT_EQ(column(2), (std::vector<int>{2, 3}));
  EXPECT_EQ(column(3), (std::vector<int>{2, 2}));
  EXPECT_EQ(column(4), (std::vector<int>{1, 0}));
  EXPECT_EQ(s.em[2].comp[2], 3);
  EXPECT_EQ(s.em[2].comp[3], 0);
  EXPECT_EQ((*PREC0)[1].comp[1], 1);
}

TEST_F(PhaseOrder, CompositionFailures) {
  struct Case {
    std::string what;
    int phases, pures;     // solution phases of 15 end-members, pure phases
    bool madeinpure;
    std::string fault;
  };
  const Case cases[] = {
      {"exactly 400", 26, 10, false, ""},
      {"401st is a pure phase", 26, 11, false, "make emc: too many end-members2"},
      {"401st is in a solution", 27, 0, false, "make emc: too many end-members1"},
      {"constituent missing from a pure phase", 0, 1, true, "make emc: zz not found 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dataset({"X"}, {{"aa", {1}}});
    for (int p = 0; p < c.phases; ++p) {
      ptype1& s = solution("s" + std::to_string(p));
      for (int e = 0; e < maxssem; ++e) addem(s, "aa");
    }
    const recipe bad{{"zz"}, {1}, 1};
    for (int p = 0; p < c.pures; ++p) pure("p", "aa", c.madeinpure ? &bad : nullptr);
    EXPECT_EQ(fatal([] { ZQNLE3::MAKEEMC(); }), c.fault);
  }
}

TEST_F(PhaseOrder, RecipeBeyondSixteenBitsIsRefusedNamingTheComponent) {
  dataset({"X", "Y"}, {{"aa", {1, 200}}, {"bb", {1, 1}}});
  const recipe big{{"aa", "bb"}, {300, 1}, 1};
  ptype1& s = solution("sol");
  addem(s, "bb");
  addem(s, "big", &big);
  EXPECT_EQ(fatal([] { ZQNLE3::MAKEEMC(); }), "make emc: amount of Y too large for its integer column");
}

// ---------------------------------------------------------------- COUNTCOMP

// Formula sizes over the free components: atoms per unit from the element
// and oxide table, found by oxide name (SiO2, 3 atoms) or by element name
// (Mg, counting the 2 of MgO), or oxide units with the older data set.
TEST_F(PhaseOrder, FormulaSizesOverTheFreeComponents) {
  struct Case {
    bool oldset, mgfree;
    extended fo, q;
  };
  // fo: 1 SiO2 and 4/2 Mg; q: 1 SiO2.
  for (const Case& c : {Case{false, true, 3 + 2 * 2, 3}, Case{false, false, 3, 3}, Case{true, true, 1 + 2, 1},
                        Case{true, false, 1, 1}}) {
    SCOPED_TRACE(std::to_string(c.oldset) + std::to_string(c.mgfree));
    RESETRUNCONSTANTS();
    dataset({"SiO2", "Mg"}, {});
    ptype1& s = solution("ol");
    setcomp(addem(s, "fo").comp, {1, 4});
    setcomp(pure("qz", "q").comp, {1, 0});
    COMPDIV[2] = 2;
    BCOMPS[1] = true;
    BCOMPS[2] = c.mgfree;
    WITHOLDSET = c.oldset;
    EXPECT_EQ(fatal([] { ZQNLE3::COUNTCOMP(); }), "");
    EXPECT_EQ(s.em[1].formulasize, c.fo);
    EXPECT_EQ((*PREC0)[1].formulasize, c.q);
  }
  WITHOLDSET = false;
}

TEST_F(PhaseOrder, FormulaSizeStops) {
  struct Case {
    std::vector<std::string> comps;
    bool oldset;
    std::vector<int> solution, pure;  // compositions; empty: no such phase
    std::string fault;
  };
  const Case cases[] = {
      {{"SiO2", "Xx"}, false, {1, 1}, {}, "countcomp: cannot find oxide name"},
      {{"SiO2", "SO2"}, true, {1, 1}, {}, "countcomp: sulphur verboten"},
      {{"SiO2", "MgO"}, true, {0, 1}, {}, "countcomp: sumox <= 0 for e1, in ss"},
      {{"SiO2", "MgO"}, true, {1, 0}, {0, 1}, "countcomp: sumox <= 0 for pp"},
      {{"SiO2", "MgO"}, false, {0, 1}, {0, 1}, ""},  // no such test without the older data set
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    RESETRUNCONSTANTS();
    dataset(c.comps, {});
    setcomp(addem(solution("ss"), "e1").comp, c.solution);
    if (!c.pure.empty()) setcomp(pure("pp", "p1").comp, c.pure);
    BCOMPS[1] = true;
    BCOMPS[2] = false;  // MgO held fixed
    WITHOLDSET = c.oldset;
    EXPECT_EQ(fatal([] { ZQNLE3::COUNTCOMP(); }), c.fault);
  }
  WITHOLDSET = false;
}

// ---------------------------------------------------------------- MAKEEMTD

class MadeRows : public PhaseOrder {
 protected:
  void SetUp() override {
    MAINLOOP = 2;  // no a-x listing
    CALCMODE = calcmodetype::phasecalc;
  }
  static extended cov(long a, long b) { return (*COV)(a, b); }
};

TEST_F(MadeRows, DqfRowCopiesAndCovariance) {
  dataset({"X"}, {{"aa", {1}, -100, 0.1L, 1}, {"bb", {1}, -90, 0.2L, 2}, {"cc", {1}, -80, 0.3L, 3}});
  (*COV)(1, 1) = 4;
  (*COV)(2, 2) = 9;
  (*COV)(3, 3) = 16;
  (*COV)(1, 2) = (*COV)(2, 1) = 1;
  (*COV)(2, 3) = (*COV)(3, 2) = 2;
  const recipe half{{"aa", "bb"}, {1, 1}, 2, {}, 2, -0.001L, 0.01L};
  ptype1& s = solution("sol");
  addem(s, "aa");
  addem(s, "ab", &half);
  ptype1& s2 = solution("sol2");
  addem(s2, "ab2", &half);
  addem(s2, "cc");
  ZQNLE3::MAKEEMTD();

  const emtype& ab = (*PREC1)[1].em[2];
  EXPECT_EQ(ab.td[TDSLOT::H], 2);
  EXPECT_EQ(ab.td[TDSLOT::S], 0.001L);
  EXPECT_EQ(ab.td[TDSLOT::V], 0.01L);
  EXPECT_EQ(ab.td[TDSLOT::CODE], 0);
  EXPECT_EQ(ab.makepos[1], 400);
  EXPECT_EQ(ab.makepos[2], 399);
  EXPECT_EQ(NAME[400], "aa");
  EXPECT_EQ(NAME[399], "bb");
  EXPECT_EQ((*TD)(399, TDSLOT::H), -90);
  EXPECT_EQ(ab.makeaction[1], makeactiontype::notrelevant);
  // The second recipe with the same constituents and actions reuses them.
  const emtype& ab2 = (*PREC1)[2].em[1];
  EXPECT_EQ(ab2.makepos[1], 400);
  EXPECT_EQ(ab2.makepos[2], 399);
  EXPECT_EQ(NAME[398], "");
  // Plain end-members copy their row.
  EXPECT_EQ((*PREC1)[1].em[1].td[TDSLOT::H], -100);

  EXPECT_EQ(NCVDIFF, 3);
  EXPECT_EQ(NCV, 4);
  EXPECT_EQ(NNE, 4);
  // Phase order aa, ab, ab2, cc.
  EXPECT_NEAR(cov(2, 2), 0.25L * 4 + 0.25L * 9 + 0.5L * 1, 1e-15L);
  EXPECT_NEAR(cov(2, 3), 3.75L, 1e-15L);
  EXPECT_NEAR(cov(1, 2), 0.5L * 4 + 0.5L * 1, 1e-15L);
  EXPECT_NEAR(cov(4, 2), 0.5L * 0 + 0.5L * 2, 1e-15L);
  for (long a = 1; a <= 4; ++a)
    for (long b = 1; b <= 4; ++b) EXPECT_EQ(cov(a, b), cov(b, a)) << a << "," << b;
  EXPECT_EQ(cov(4, 4), 16);
}

TEST_F(MadeRows, LandauConstituentAtItsReferenceCriticalTemperature) {
  const extended smax = 0.01L, vmax = 0.05L;
  dataset({"X"}, {{"cc", {1}, -80, 0.3L, 3, {{TDSLOT::TCRIT, CONST::TR}, {TDSLOT::SMAX, smax}, {TDSLOT::VMAX, vmax}}}});
  const recipe dis{{"cc"}, {1}, 1, {makeactiontype::disordered}};
  const recipe ord{{"cc"}, {1}, 1, {makeactiontype::ordered}};
  ptype1& s = solution("sol");
  addem(s, "dis", &dis);
  addem(s, "ord", &ord);
  ZQNLE3::MAKEEMTD();

  const emtype& d = s.em[1];
  const emtype& o = s.em[2];
  EXPECT_EQ(d.td[TDSLOT::H], 0);
  EXPECT_EQ(d.td[TDSLOT::S], 0);
  EXPECT_EQ(d.td[TDSLOT::V], 0);
  EXPECT_NEAR(o.td[TDSLOT::H], -2.0L / 3.0L * smax * CONST::TR, 1e-15L);
  EXPECT_EQ(o.td[TDSLOT::S], -smax);
  EXPECT_EQ(o.td[TDSLOT::V], -vmax);
  // Two copies, both without the Landau terms.
  EXPECT_EQ(d.makepos[1], 400);
  EXPECT_EQ(o.makepos[1], 399);
  for (long slot : {399L, 400L}) {
    EXPECT_EQ((*TD)(slot, TDSLOT::TCRIT), 0);
    EXPECT_EQ((*TD)(slot, TDSLOT::SMAX), 0);
    EXPECT_EQ((*TD)(slot, TDSLOT::H), -80);
  }
}

TEST_F(MadeRows, ChargedPairCombinesIntoAnOrdinaryRow) {
  dataset({"X"}, {{"na", {1}, -240, 0.06L, 0, {{TDSLOT::AQ1, 1}}}, {"cl", {1}, -167, 0.056L, 0, {{TDSLOT::AQ1, -1}}}});
  (*COV)(1, 1) = 1;
  (*COV)(2, 2) = 1;
  const recipe salt{{"na", "cl"}, {1, 1}, 1, {}, 5, 0, 0};
  ptype1& s = solution("sol");
  addem(s, "salt", &salt);
  addem(s, "na");
  ZQNLE3::MAKEEMTD();
  EXPECT_EQ(s.em[1].nmake, 0);
  EXPECT_EQ(s.em[1].td[TDSLOT::H], -402);  // the DQF of 5 kept
  EXPECT_NEAR(s.em[1].td[TDSLOT::S], 0.116L, 1e-15L);
  // Its covariance still comes from both constituents.
  EXPECT_EQ((*COV)(1, 1), 2);
  EXPECT_EQ((*COV)(1, 2), 1);
  EXPECT_EQ((*COV)(2, 1), 1);
}

// The combined row keeps every term of its DQF: G = 0.5 (G(na) + G(cl))
// + a + bT + c(P - Pr) for rows of H and S alone.
TEST_F(MadeRows, ChargedPairKeepsItsDqf) {
  dataset({"X"}, {{"na", {1}, -240, 0.06L, 0, {{TDSLOT::AQ1, 1}}}, {"cl", {1}, -167, 0.056L, 0, {{TDSLOT::AQ1, -1}}}});
  const recipe salt{{"na", "cl"}, {1, 1}, 2, {}, 1.25L, 0.004L, 0.3L};
  ptype1& s = solution("sol");
  addem(s, "salt", &salt);
  ZQNLE3::MAKEEMTD();
  ASSERT_EQ(s.em[1].nmake, 0);
  for (int slot = 1; slot <= maxtd; ++slot) (*TD)(300, slot) = s.em[1].td[slot];
  extended G = 0;
  ZQCALC1::GEM(300, 8, 900, G);
  EXPECT_NEAR(G, -203.5L + 1.25L - 900 * (0.058L - 0.004L) + 0.3L * 7.999L, 1e-10L);
}

TEST_F(MadeRows, Failures) {
  struct Case {
    std::string what;
    makeactiontype action;
    bool od;
    bool asymmetric;
    int fillers;  // further plain end-members in phase order
    std::string fault, line;
  };
  const Case cases[] = {
      {"action on a plain constituent", makeactiontype::ordered, false, false, 0,
       "domake: action specified for a non-od end-member", "\nin the make for m, problem with aa\n"},
      {"no action on an od constituent", makeactiontype::notspecified, true, false, 0,
       "domake: action for od end-member not specified", "\nin the make for m, problem with aa\n"},
      {"asymmetric data-set covariance", makeactiontype::notspecified, false, true, 0,
       "finishcov: matrix not symmetric", ""},
      {"copies would meet the end-members in use", makeactiontype::notspecified, false, false, 398,
       "finddep: too many end-members", ""},
      {"one slot to spare", makeactiontype::notspecified, false, false, 397, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::resetio();
    testsupport::Terminal term;
    std::vector<std::pair<int, extended>> od;
    if (c.od) od = {{TDSLOT::TCRIT, 500}, {TDSLOT::SMAX, 0.01L}};
    dataset({"X"}, {{"aa", {1}, -1, 0, 0, od}, {"bb", {1}}});
    if (c.asymmetric) (*COV)(1, 2) = 0.001L;
    const recipe r{{"aa"}, {1}, 1, {c.action}};
    ptype1* s = &solution("sol");
    addem(*s, "m", &r);
    if (c.asymmetric) addem(*s, "aa");
    for (int k = 0; k < c.fillers + (c.asymmetric ? 1 : 0); ++k) {
      if (s->nprop == maxssem) s = &solution("more");
      addem(*s, "bb");
    }
    EXPECT_EQ(fatal([] { ZQNLE3::MAKEEMTD(); }), c.fault);
    if (!c.line.empty()) {
      EXPECT_NE(term.text().find(c.line), std::string::npos) << term.text();
    }
  }
}

// ---------------------------------------------------------------- ADDREALTR

TEST(AddRealTr, FewestDecimalsThatShowTheValue) {
  struct Case {
    extended x;
    smallint n;
    std::string text;
  };
  const Case cases[] = {
      {2.5L, 3, "2.5"},       {3.0L, 3, "3"},           {0.125L, 3, "0.125"},
      {1.0L / 3, 3, "0.3333"}, {1.0L / 3, 5, "0.333333"}, {2.0000000001L, 3, "2"},
      {-0.75L, 3, "-0.75"},   {0.000001L, 3, "0.000001"}, {0, 3, "0"},
  };
  for (const Case& c : cases) {
    std::string line = "x=";
    ZQNLE3::ADDREALTR(c.x, c.n, line);
    EXPECT_EQ(line, "x=" + c.text) << static_cast<double>(c.x);
  }
}

}  // namespace

// ---------------------------------------------------------------- WRITEAXBRIEF

TEST(AxBrief, PairsInBlocksOfFifteen) {
  assemblage::tables t;
  IO::CONTROLIO.dontwrap = false;
  testsupport::Terminal term;
  ptype1& p = (*PREC1)[1];
  p = ptype1{};
  p.name = "gtx";
  p.model = axtype::symmetric;
  p.nprop = 7;
  p.nvar = 1;
  p.xvar[1].name = "x(gtx)";
  p.xvar[1].guess = 0.123456L;
  for (long e = 1; e <= 7; ++e) p.em[e].name = "e" + std::to_string(e);
  long w = 0;
  for (smallint j = 1; j <= 7 && w < 16; ++j)
    for (smallint k = static_cast<smallint>(j + 1); k <= 7 && w < 16; ++k) {
      ++w;
      p.wpair[w] = wpairtype{static_cast<smallint>(w), j, k};
      p.wa[w] = static_cast<extended>(w);
    }
  p.nwpair = 16;
  p.wb[16] = 0.5L;
  ZQNLE3::WRITEAXBRIEF(1);
  const std::string out = term.text();
  EXPECT_EQ(out.substr(0, out.find('\n')), "gtx  " + std::string(40, '-'));
  EXPECT_NE(out.find("\n  var    x(gtx)\n          0.123\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\n  W       e1-e2"), std::string::npos) << out;
  // The second block holds the 16th pair alone, its T term below it.
  EXPECT_NE(out.find("\n          e4-e5\n         16.000\n          0.500\n"), std::string::npos) << out;
  // The T line of the first block is blank where a pair has no T term.
  EXPECT_NE(out.find("\n     " + std::string(150, ' ') + "\n"), std::string::npos) << out;
}
