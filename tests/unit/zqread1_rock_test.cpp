// End-member activities with their sds and the floor under them, the
// state of order of an order-disorder phase, and the projection of the
// phases in excess.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_axsetup.h"
#include "frame/zqmath1.h"
#include "input/zqread1.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

// ---------------------------------------------------------------- CHECKSDA

TEST(ActivityFloor, FloorsAndParameters) {
  struct Case {
    std::string what;
    controlboolean justrelu, usedefsda;
    extended a, sd;
    smallint nsite;
    extended expected;
  };
  const Case cases[] = {
      {"composition-dependent floor", no, yes, 0.5L, 0, 1, 0.0375L},
      {"a larger sd stands", no, yes, 0.5L, 0.1L, 1, 0.1L},
      {"two sites: floor on the site activity", no, yes, 0.25L, 0, 2, 0.0375L},
      {"activity 1 has no sd", no, yes, 1, 0.3L, 1, 0},
      {"small site activity: absolute floor", no, yes, 0.01L, 0, 1, 0.01L},
      {"justrelu: relative floor above the absolute one", yes, yes, 0.5L, 0, 1, 0.025L},
      {"justrelu: absolute floor", yes, yes, 0.1L, 0, 1, 0.01L},
      {"no floor: a negative sd becomes 0", no, no, 0.5L, -0.2L, 1, 0},
      {"no floor: sd kept", no, no, 0.5L, 0.001L, 1, 0.001L},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::resetio();
    CONTROLJX = controljxtype{};
    CONTROLJX.justrelu = c.justrelu;
    CONTROLJX.usedefsda = c.usedefsda;
    CALCMODE = calcmodetype::phasecalc;
    ZQREAD1::SETSDAPARAMS(true);
    NCV = 1;
    ACTIVITY[1] = c.a;
    SDACTIVITY[1] = c.sd;
    NSITE[1] = c.nsite;
    ZQREAD1::CHECKSDA();
    EXPECT_NEAR(SDACTIVITY[1], c.expected, 1e-7L);
  }
  CALCMODE = calcmodetype::lsqdscalc;
  ZQREAD1::SETSDAPARAMS(true);
  EXPECT_EQ(SDWP, 0.1L);
  CALCMODE = calcmodetype::nlecalc;
  testsupport::Terminal term;
  ZQREAD1::SETSDAPARAMS(false);
  EXPECT_EQ(term.text(), "**resetting default uncertainty parameters not currently available\n");
  EXPECT_EQ(ARB, 0.01L);
  EXPECT_EQ(MINSDLNA, 0.05L);
}

// ---------------------------------------------------------------- CALCACTIVITIES

class SiteActivities : public ::testing::Test {
 protected:
  assemblage::tables t;
  ptype1& binary(axtype model, extended w, extended alpha2) {
    assemblage::system s;
    s.components = {"X"};
    assemblage::solution so =
        assemblage::onesite("sol", model, {"x"}, {"1 - x", "x"},
                            {assemblage::row("aa", {1}, 0, 0, 0), assemblage::row("bb", {1}, 0, 0, 0)});
    so.ems[1].alpha = alpha2;
    if (model != axtype::ideal) so.ws.push_back({1, 2, w, 0, 0});
    s.solutions.push_back(so);
    assemblage::layout(s);
    ptype1& p = (*PREC1)[1];
    p.wsd[1] = 2;
    return p;
  }
  static void calc(extended x, eqvector& a, eqvector& sd) {
    eqvector v{"x"};
    v[1] = x;
    ZQREAD1::CALCACTIVITIES(1, v, 8, 873.15L, a, sd);
  }
};

TEST_F(SiteActivities, VanLaarAgainstItsClosedForm) {
  const extended w = 12, a1 = 1, a2 = 2, x = 0.3L, rt = CONST::RGAS * 873.15L;
  binary(axtype::vanlaar, w, a2);
  eqvector a{"a"}, sd{"sd"};
  calc(x, a, sd);
  const extended phi2 = a2 * x / (a1 * (1 - x) + a2 * x), phi1 = 1 - phi2;
  const extended g1 = phi2 * phi2 * w * 2 * a1 / (a1 + a2);
  const extended g2 = phi1 * phi1 * w * 2 * a2 / (a1 + a2);
  EXPECT_NEAR(a[1], (1 - x) * std::exp(g1 / rt), 1e-15L);
  EXPECT_NEAR(a[2], x * std::exp(g2 / rt), 1e-15L);
  // sd(a) / a = sd(W) / W times RT ln gamma / RT.
  EXPECT_NEAR(sd[2] / a[2], 2 * g2 / w / rt, 1e-15L);
}

TEST_F(SiteActivities, CompositionSdAndEmptySite) {
  ptype1& p = binary(axtype::ideal, 0, 1);
  eqvector a{"a"}, sd{"sd"};
  calc(0.3L, a, sd);
  EXPECT_NEAR(a[1], 0.7L, 1e-18L);
  EXPECT_EQ(sd[1], 0);  // a variable of sd 0 adds nothing
  p.xvar[1].sd = 0.05L;
  calc(0.3L, a, sd);
  EXPECT_NEAR(sd[1], 0.05L, 1e-15L);
  EXPECT_NEAR(sd[2], 0.05L, 1e-15L);
  // A site fraction of 0 gives no activity and no sd, nothing undefined.
  ptype1& q = binary(axtype::symmetric, 10, 1);
  q.xvar[1].sd = 0.05L;
  calc(0, a, sd);
  EXPECT_EQ(a[2], 0);
  EXPECT_EQ(sd[2], 0);
  EXPECT_TRUE(std::isfinite(sd[1]));
  // An excluded end-member has neither.
  q.em[1].exclude = true;
  calc(0.5L, a, sd);
  EXPECT_EQ(a[1], 0);
  EXPECT_EQ(sd[1], 0);
}

// ---------------------------------------------------------------- CALCQ

class Order : public ::testing::Test {
 protected:
  assemblage::tables t;
  static constexpr extended T = 800, P = 5, dH = 5, W = 3;

  // One order variable Q between two end-members of equal composition:
  // x1 = 1 - Q, x2 = Q on one site, symmetric W.
  ptype1& odphase(bool isorder = true) {
    assemblage::system s;
    s.components = {"X", "Y"};
    assemblage::solution so =
        assemblage::onesite("od", axtype::symmetric, {"Q"}, {"1 - Q", "Q"},
                            {assemblage::row("o1", {1, 1}, 0, 0, 0), assemblage::row("o2", {1, 1}, dH, 0, 0)});
    so.ws.push_back({1, 2, W, 0, 0});
    s.solutions.push_back(so);
    assemblage::layout(s);
    KNU = KNUV = NUV;
    NP = 1;
    ptype1& p = (*PREC1)[1];
    p.hasorder = true;
    xvartype& q = p.xvar[1];
    q.isorder = isorder;
    q.guess = 0.5L;
    q.xfaca = 1 / (q.high - q.low);
    q.xfacb = -q.low * q.xfaca;
    q.typx = 0.0001L;
    q.lowkind = q.highkind = acctype::inaccessible;
    return p;
  }

  // The root of the equilibrium condition G1 + RT ln(1 - Q) + W Q^2 =
  // G2 + RT ln Q + W (1 - Q)^2, found by bisection.
  static extended qeq() {
    const extended rt = CONST::RGAS * T;
    auto f = [&](extended q) { return -dH + rt * std::log((1 - q) / q) + W * (2 * q - 1); };
    extended lo = 1e-12L, hi = 1 - 1e-12L;
    for (int i = 0; i < 200; ++i) {
      const extended mid = (lo + hi) / 2;
      (f(mid) > 0 ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
  }
};

TEST_F(Order, SolvesForTheEquilibriumOrderAndPutsEverythingBack) {
  ptype1& p = odphase();
  // State that the solve must leave as it found it.
  NAME[3] = "other";
  NAME[400] = "copy";
  NCV = NNE = 3;
  NR = 2;
  (*R)(1, 1) = 7;
  (*C)(2, 3) = 9;
  (*TD)(3, TDSLOT::H) = -1;
  ACTIVITY[2] = 0.25L;
  FIXEDP = 1;
  FIXEDT = 2;
  DEBUGLEVEL = 3;
  CALCMODE = calcmodetype::phasecalc;
  MODESBYNLE = true;
  const dsnamelist name = NAME;
  auto c = std::make_unique<icmatrix>(*C);
  auto td = std::make_unique<tdmatrix>(*TD);
  auto r = std::make_unique<rmatrix>(*R);

  ASSERT_TRUE(ZQREAD1::CALCQ(1, P, T));
  EXPECT_NEAR(p.xvar[1].guess, qeq(), 1e-6L);

  for (long i = 1; i <= maxem; ++i) EXPECT_EQ(NAME[i], name[i]) << i;
  EXPECT_EQ(c->data, C->data);
  EXPECT_EQ(td->data, TD->data);
  EXPECT_EQ(r->data, R->data);
  EXPECT_EQ(NCV, 3);
  EXPECT_EQ(NNE, 3);
  EXPECT_EQ(NR, 2);
  EXPECT_EQ(ACTIVITY[2], 0.25L);
  EXPECT_EQ(FIXEDP, 1);
  EXPECT_EQ(FIXEDT, 2);
  EXPECT_EQ(DEBUGLEVEL, 3);
  EXPECT_EQ(CALCMODE, calcmodetype::phasecalc);
  EXPECT_TRUE(MODESBYNLE);
}

TEST_F(Order, LegalStartsDrawNothing) {
  ptype1& p = odphase();
  struct Case {
    std::string what;
    extended guess;
    bool moved, draws;
  };
  const Case cases[] = {
      {"legal stored values", 0.4L, false, false},
      {"an empty site", 1.5L, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    p.xvar[1].guess = c.guess;
    ZQMATH1::SETUPRANDOM(true);
    const extended first = ZQMATH1::RANDOM();
    ZQMATH1::SETUPRANDOM(true);
    bool moved = false;
    ASSERT_TRUE(ZQREAD1::FINDLEGALQ(1, true, P, T, moved));
    EXPECT_EQ(moved, c.moved);
    EXPECT_EQ(ZQMATH1::RANDOM() != first, c.draws);
    EXPECT_NEAR(p.xvar[1].guess, qeq(), 1e-6L);
  }
  // Without the solve: a legal draw only.
  p.xvar[1].guess = -1;
  bool moved = false;
  EXPECT_TRUE(ZQREAD1::FINDLEGALQ(1, false, P, T, moved));
  EXPECT_TRUE(moved);
  EXPECT_GT(p.xvar[1].guess, 0);
  EXPECT_LT(p.xvar[1].guess, 1);
}

TEST_F(Order, RefusedPhases) {
  bool moved = false;
  ptype1& p = odphase(false);
  EXPECT_EQ(fatal([] { ZQREAD1::CALCQ(1, P, T); }), "calcq: no of reactions not equal to no of Qs");
  p.hasorder = false;
  EXPECT_EQ(fatal([] { ZQREAD1::CALCQ(1, P, T); }), "calcq: not an OD phase");
  EXPECT_EQ(fatal([&] { ZQREAD1::FINDLEGALQ(1, true, P, T, moved); }), "findlegalq: not an odd phase");
}

// ---------------------------------------------------------------- INEXCESS

class Excess : public ::testing::Test {
 protected:
  assemblage::tables t;
  void SetUp() override {
    testsupport::resetio();
    CONTROLJX = controljxtype{};
    CONTROLJX.inexcess = yes;
    FLUIDTYPE = ftype::notset;
    CO2POS = H2OPOS = 0;
    NLNA = NMU = 0;
    NEXCESSSTRINGS = 0;
    const std::vector<std::string> names = {"xy", "zed", "yz", "xz", "xyz"};
    const std::vector<std::vector<int>> comps = {{1, 1, 0}, {0, 0, 1}, {0, 1, 1}, {1, 0, 2}, {1, 1, 1}};
    NUV = NU = 3;
    COMPNAME[1] = "X";
    COMPNAME[2] = "Y";
    COMPNAME[3] = "Z";
    for (long i = 1; i <= 3; ++i) COMPDIV[i] = 1;
    NCV = NNE = 5;
    C->fill(0);
    TD->fill(0);
    COV->fill(0);
    for (long j = 1; j <= NCV; ++j) {
      NAME[j] = names[static_cast<std::size_t>(j - 1)];
      for (long i = 1; i <= 3; ++i) (*C)(i, j) = static_cast<smallint>(comps[static_cast<std::size_t>(j - 1)][static_cast<std::size_t>(i - 1)]);
      ACTIVITY[j] = 0.1L * j;
      SDACTIVITY[j] = 0.01L * j;
      (*TD)(j, TDSLOT::S) = j;
      for (long k = 1; k <= NCV; ++k) (*COV)(j, k) = 10 * j + k;
    }
  }
  static void excess(const std::vector<std::string>& names) {
    NEXCESSSTRINGS = static_cast<smallint>(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) EXCESSSTRINGS[static_cast<long>(i + 1)] = names[i];
  }
  static std::vector<std::string> names() {
    std::vector<std::string> v;
    for (long j = 1; j <= NCV; ++j) v.push_back(NAME[j]);
    return v;
  }
  static std::vector<int> row(long i) {
    std::vector<int> v;
    for (long j = 1; j <= NCV; ++j) v.push_back((*C)(i, j));
    return v;
  }
};

TEST_F(Excess, ProjectionFromTwoEndMembers) {
  for (const std::vector<std::string>& given : {std::vector<std::string>{"zed", "xz"}, {"zed", "xz", "zed"}}) {
    SCOPED_TRACE(given.size());
    SetUp();
    DIAGRAMMODE = diagramtype::ptcalc;
    excess(given);
    testsupport::Terminal term;
    ZQREAD1::INEXCESS();
    EXPECT_EQ(names(), (std::vector<std::string>{"xy", "yz", "xyz", "zed", "xz"}));
    EXPECT_EQ(NE, 2);
    EXPECT_EQ(NNE, 3);
    EXPECT_EQ(NU, 1);
    EXPECT_EQ(FLUIDTYPE, ftype::absent);
    EXPECT_EQ(COMPNAME[1], "Y");
    EXPECT_EQ(COMPNAME[2], "zed");
    EXPECT_EQ(COMPNAME[3], "xz");
    for (long i = 1; i <= 3; ++i) EXPECT_EQ(COMPDIV[i], 1);
    EXPECT_EQ(row(1), (std::vector<int>{1, 1, 1, 0, 0}));
    EXPECT_EQ(row(2), (std::vector<int>{-2, 1, -1, 1, 0}));
    EXPECT_EQ(row(3), (std::vector<int>{1, 0, 1, 0, 1}));
    // Old positions 1 3 5 2 4.
    const long from[] = {1, 3, 5, 2, 4};
    for (long j = 1; j <= 5; ++j) {
      EXPECT_NEAR(ACTIVITY[j], 0.1L * from[j - 1], 1e-18L);
      EXPECT_NEAR(SDACTIVITY[j], 0.01L * from[j - 1], 1e-18L);
      EXPECT_EQ((*TD)(j, TDSLOT::S), from[j - 1]);
      for (long k = 1; k <= 5; ++k) EXPECT_EQ((*COV)(j, k), 10 * from[j - 1] + from[k - 1]);
    }
    EXPECT_NE(term.text().find("\nxy  zed  yz  xz  xyz  \nphases in excess: " + given[0] + " "), std::string::npos)
        << term.text();
  }
}

TEST_F(Excess, AsManyNamesAsComponentsLeaveItUnprojected) {
  DIAGRAMMODE = diagramtype::ptcalc;
  excess({"zed", "xz", "xy"});
  ZQREAD1::INEXCESS();
  EXPECT_EQ(NE, 0);
  EXPECT_EQ(NNE, 5);
  EXPECT_EQ(names(), (std::vector<std::string>{"xy", "zed", "yz", "xz", "xyz"}));
}

TEST_F(Excess, VariablesOfTheDiagram) {
  struct Case {
    diagramtype mode;
    std::string answers;
    std::vector<std::string> names;
    std::string fault;
  };
  const Case cases[] = {
      {diagramtype::pmucalc, "Y\n", {"xy", "zed", "yz", "xz", "xyz", "Y"}, ""},
      {diagramtype::tmucalc, "Q\n", {}, "inexcess: mu setup problems"},
      {diagramtype::tlnacalc, "bogus\nyz\n", {"xy", "zed", "xz", "xyz", "yz"}, ""},
      {diagramtype::plnacalc, "bogus\nworse\n", {}, "inexcess: log a setup"},
      {diagramtype::pxcalc, "", {}, "inexcess: no H2O or CO2 in P-x/T-x?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    SetUp();
    DIAGRAMMODE = c.mode;
    testsupport::Terminal term;
    testsupport::Answers answers(c.answers);
    EXPECT_EQ(fatal([] { ZQREAD1::INEXCESS(); }), c.fault);
    if (!c.fault.empty()) continue;
    EXPECT_EQ(names(), c.names);
    EXPECT_EQ(NE, 1);
    EXPECT_NE(term.text().find("no phases in excess (from script)\n"), std::string::npos) << term.text();
    if (c.mode == diagramtype::pmucalc) {
      EXPECT_EQ(MUNAME[1], "Y");
      EXPECT_EQ(NMU, 1);
      EXPECT_EQ(MUPOS, 6);
      EXPECT_EQ(COMPNAME[3], "Y");
      EXPECT_EQ(row(3), (std::vector<int>{1, 0, 1, 0, 1, 1}));
      EXPECT_EQ((*COV)(6, 6), 0.001L);
      EXPECT_EQ((*COV)(6, 1), 0);
      EXPECT_EQ(ACTIVITY[6], 1);
    } else {
      EXPECT_EQ(LNANAME[1], "yz");
      EXPECT_EQ(LNAPOS, 5);
      EXPECT_EQ(KEEPLNAS[1], 3);  // S of yz, third in the old order
    }
  }
}

}  // namespace
