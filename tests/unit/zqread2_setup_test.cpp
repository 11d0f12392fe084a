// The boil-down of a solution phase and the limits and scaling of its
// variables, on phase records made by hand.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "zqread2_setup.h"
#include "zqread2_testsupport.h"

using namespace ZQGLOBAL;

namespace {

// One factor: cn/cd plus the parts (an, variable), each over 1.
xtermtype factor(smallint cn, std::initializer_list<std::pair<smallint, smallint>> parts, smallint cd = 1) {
  xtermtype f;
  f.cn = cn;
  f.cd = cd;
  for (const auto& [an, v] : parts) {
    ++f.m;
    f.an[f.m] = an;
    f.ad[f.m] = 1;
    f.v[f.m] = v;
  }
  return f;
}

// A sum of one-factor terms.
termtype sum(std::initializer_list<xtermtype> factors) {
  termtype t;
  for (const xtermtype& f : factors) {
    ++t.nterms;
    t.terms[t.nterms].coef = 1;
    t.terms[t.nterms].nfactors = 1;
    t.terms[t.nterms].factors[1] = f;
  }
  return t;
}

class Setup : public axtest::AxTest {
 protected:
  ZQREAD2::axreader& reader() {
    if (!r) r = std::make_unique<ZQREAD2::axreader>();
    return *r;
  }
  // Phase 1 with end-members a, b, c, ... and variables x, y, z, ... of the
  // given guesses; symmetric, every pair with a named parameter.
  ptype1& phase(smallint n, std::vector<extended> guesses) {
    NPSS = 1;
    ptype1& p = (*PREC1)[1];
    p = ptype1{};
    p.name = "g";
    p.nprop = n;
    p.nvar = static_cast<smallint>(n - 1);
    p.model = axtype::symmetric;
    static const char* vn[] = {"x(g)", "y(g)", "z(g)", "u(g)"};
    for (long v = 1; v <= p.nvar; ++v) {
      p.xvar[v].name = vn[v - 1];
      p.xvar[v].guess = guesses[static_cast<std::size_t>(v - 1)];
      p.xvar[v].low = p.xvar[v].low0 = 11;
      p.xvar[v].high = p.xvar[v].high0 = -11;
    }
    long w = 0;
    for (long e = 1; e <= n; ++e) {
      p.em[e].name = std::string(1, static_cast<char>('a' + e - 1));
      p.alphaa[e] = static_cast<extended>(e);
      p.em[e].checkdiv = 1;
    }
    for (long j = 1; j < n; ++j)
      for (long k = j + 1; k <= n; ++k) {
        ++w;
        p.wname[w] = "W(" + p.em[j].name + "," + p.em[k].name + ")";
        p.wa[w] = static_cast<extended>(10 * j + k);
        p.wpair[w] = wpairtype{static_cast<smallint>(w), static_cast<smallint>(j), static_cast<smallint>(k)};
      }
    p.nw = p.nwpair = static_cast<smallint>(w);
    return p;
  }
  std::string fatal(const std::function<void()>& f) {
    try {
      f();
    } catch (const IO::runend& e) {
      return e.where + ": " + e.message;
    }
    return "";
  }
  std::unique_ptr<ZQREAD2::axreader> r;
};

TEST_F(Setup, BoilDownDropsTheEndMemberOfAZeroedVariable) {
  ptype1& p = phase(4, {0.3L, 0.2L, 0});
  p.prop[1] = sum({factor(1, {{-1, 1}, {-1, 2}, {-1, 3}})});
  p.prop[2] = sum({factor(0, {{1, 1}})});
  p.prop[3] = sum({factor(0, {{1, 2}})});
  p.prop[4] = sum({factor(0, {{1, 3}})});
  p.nsf = 3;
  p.sfname[1] = "xA";
  p.sf[1] = sum({factor(0, {{1, 1}})});
  p.sfname[2] = "xZ";
  p.sf[2] = sum({factor(0, {{1, 3}})});
  p.sfname[3] = "xV";
  p.sf[3] = sum({factor(1, {{-1, 1}, {-1, 2}, {-1, 3}})});
  p.em[1].nsfterm = 1;
  p.em[1].sfterm[1].sfindex = 3;
  p.em[4].nsfterm = 1;
  p.em[4].sfterm[1].sfindex = 2;
  p.em[3].checkcoef[2] = 1;

  ZQREAD2::SETUP::BOILDOWN(reader(), 1);
  EXPECT_TRUE(p.boileddown);
  EXPECT_EQ(p.nprop0, 4);
  EXPECT_EQ(p.nprop, 3);
  EXPECT_EQ(p.nvar, 2);
  EXPECT_EQ(std::vector<bool>({p.emkept[1], p.emkept[2], p.emkept[3], p.emkept[4]}),
            std::vector<bool>({true, true, true, false}));
  EXPECT_EQ(p.nw, 3);
  EXPECT_EQ(p.wname[1], "W(a,b)");
  EXPECT_EQ(p.wname[2], "W(a,c)");
  EXPECT_EQ(p.wname[3], "W(b,c)");
  EXPECT_EQ(p.wa[3], 23);
  ASSERT_EQ(p.nwpair, 3);
  EXPECT_EQ(p.wpair[3].wpar, 3);
  EXPECT_EQ(p.wpair[3].wj, 2);
  EXPECT_EQ(p.wpair[3].wk, 3);
  EXPECT_EQ(p.alphaa[3], 3);
  EXPECT_EQ(p.em[3].checkcoef[2], 1);
  EXPECT_EQ(p.em[1].checkdiv, 0);
  // 1 - x - y - z loses z; the site fraction of z goes and the factors
  // follow their site fractions.
  ASSERT_EQ(p.prop[1].terms[1].factors[1].m, 2);
  EXPECT_EQ(p.nsf, 2);
  EXPECT_EQ(p.sfname[2], "xV");
  EXPECT_EQ(p.em[1].sfterm[1].sfindex, 2);
  EXPECT_EQ(p.sf[2].terms[1].factors[1].m, 2);
}

TEST_F(Setup, BoilDownRenumbersTheVariablesLeft) {
  // x zeroed: y becomes variable 1 everywhere.
  ptype1& p = phase(3, {0, 0.4L});
  p.prop[1] = sum({factor(1, {{-1, 1}, {-1, 2}})});
  p.prop[2] = sum({factor(0, {{1, 1}})});
  p.prop[3] = sum({factor(0, {{1, 2}})});
  p.nsf = 2;
  p.sf[1] = sum({factor(0, {{1, 2}})});
  p.sf[2] = sum({factor(1, {{-1, 1}, {-1, 2}})});
  p.xvar[2].isorder = true;
  ZQREAD2::SETUP::BOILDOWN(reader(), 1);
  EXPECT_EQ(p.nvar, 1);
  EXPECT_EQ(p.xvar[1].name, "y(g)");
  EXPECT_TRUE(p.hasorder);
  EXPECT_EQ(p.em[2].name, "c");
  EXPECT_EQ(p.prop[2].terms[1].factors[1].v[1], 1);
  EXPECT_EQ(p.sf[1].terms[1].factors[1].v[1], 1);
  EXPECT_EQ(p.nw, 1);
  EXPECT_EQ(p.wname[1], "W(a,c)");
}

TEST_F(Setup, BoilDownThatLeavesTheWrongSizeIsRefused) {
  ptype1& p = phase(3, {0.5L, 0});
  p.prop[1] = sum({factor(1, {{-1, 1}, {-1, 2}})});
  p.prop[2] = sum({factor(0, {{1, 1}})});
  p.prop[3] = sum({factor(0, {{1, 1}}), factor(0, {{1, 2}})});
  EXPECT_EQ(fatal([&] { ZQREAD2::SETUP::BOILDOWN(reader(), 1); }), "setupphases: contraction wrong size");
  EXPECT_NE(term.text().find("\n\nproblem in      g  3  1\na  \nb  \nc  \nx(g)  \n"), std::string::npos)
      << term.text();
}

TEST_F(Setup, VariableLimitRowsAreStoredOnceEach) {
  varlimtype num{"num"}, den{"den"};
  smallint count = 0;
  const termtype t = sum({factor(1, {{-1, 1}, {-1, 2}})});
  ZQREAD2::SETUP::SETVARLIM(1, 1, 3, t, num, den, count);
  ZQREAD2::SETUP::SETVARLIM(1, 1, 3, t, num, den, count);
  // One part only: no row.
  ZQREAD2::SETUP::SETVARLIM(1, 1, 3, sum({factor(0, {{1, 1}})}), num, den, count);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(std::vector<int>({num(1, 1), num(1, 2), num(1, 3)}), std::vector<int>({-1, -1, 1}));
  EXPECT_EQ(std::vector<int>({den(1, 1), den(1, 2), den(1, 3)}), std::vector<int>({1, 1, 1}));
  // A different denominator is a different row.
  xtermtype half = factor(1, {{-1, 1}, {-1, 2}});
  half.ad[2] = 2;
  termtype h;
  h.nterms = 1;
  h.terms[1].coef = 1;
  h.terms[1].nfactors = 1;
  h.terms[1].factors[1] = half;
  ZQREAD2::SETUP::SETVARLIM(1, 1, 3, h, num, den, count);
  EXPECT_EQ(count, 2);

  for (smallint c = 3; c <= maxnvarlim; ++c)
    ZQREAD2::SETUP::SETVARLIM(1, 1, 3, sum({factor(c, {{-1, 1}, {-1, 2}})}), num, den, count);
  ASSERT_EQ(count, maxnvarlim);
  EXPECT_EQ(fatal([&] { ZQREAD2::SETUP::SETVARLIM(1, 1, 3, sum({factor(99, {{1, 1}, {1, 2}})}), num, den, count); }),
            "setvarlim: increase maxnvarlim");
  EXPECT_EQ(count, maxnvarlim);
}

TEST_F(Setup, LimitsFromRangesAndSiteFractions) {
  struct Case {
    const char* what;
    extended low, high;   // as read; 11 and -11 for none
    bool bounding;        // site fractions x and 1 - x
    extended wantlow, wanthigh;
    acctype lowkind, highkind;
  };
  const auto in = acctype::inaccessible, ok = acctype::xaccessible;
  const Case cases[] = {
      {"wide range", -0.5L, 1.5L, true, 0, 1, in, in},
      {"unit range", 0, 1, true, 0, 1, ok, in},
      {"no range", 11, -11, true, 0, 1, ok, ok},
      {"no range, no site fraction", 11, -11, false, 0, 1, ok, ok},
      {"narrow range", 0.2L, 0.6L, true, 0.2L, 0.6L, ok, ok},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ptype1& p = phase(2, {0.5L});
    p.prop[1] = sum({factor(1, {{-1, 1}})});
    p.prop[2] = sum({factor(0, {{1, 1}})});
    p.nsf = 2;
    p.sf[1] = sum({factor(0, {{1, 1}})});
    p.sf[2] = c.bounding ? sum({factor(1, {{-1, 1}})}) : sum({factor(0, {{1, 1}}), factor(1, {{-1, 1}})});
    if (!c.bounding) p.sf[1] = p.sf[2];
    p.xvar[1].low = c.low;
    p.xvar[1].high = c.high;
    ZQREAD2::SETUP::SETLIMITS(1);
    const xvartype& x = p.xvar[1];
    EXPECT_EQ(x.low, c.wantlow);
    EXPECT_EQ(x.high, c.wanthigh);
    EXPECT_EQ(x.lowkind, c.lowkind);
    EXPECT_EQ(x.highkind, c.highkind);
    EXPECT_EQ(x.xfaca, 1 / (c.wanthigh - c.wantlow));
    EXPECT_EQ(x.xfacb, -c.wantlow / (c.wanthigh - c.wantlow));
    EXPECT_EQ(x.typx, 0.0001L / (c.wanthigh - c.wantlow));
    EXPECT_EQ(p.allsfsimple, c.bounding);
    EXPECT_EQ(p.modefaca, 0.6666667L);
    EXPECT_EQ(p.modefacb, 0.1666667L);
    EXPECT_EQ(p.nvarlim, 0);
  }
}

TEST_F(Setup, LimitsOfOneValueEndTheRun) {
  ptype1& p = phase(2, {0.2L});
  p.xvar[1].low = 0.2L;
  p.xvar[1].high = 0.2L;
  EXPECT_EQ(fatal([] { ZQREAD2::SETUP::SETLIMITS(1); }), "read: lower limit > upper limit in xyz range");
}

TEST_F(Setup, SiteFractionsInTwoVariablesGiveLimitRows) {
  ptype1& p = phase(3, {0.2L, 0.3L});
  p.nsf = 3;
  p.sf[1] = sum({factor(1, {{-1, 1}, {-1, 2}})});
  p.sf[2] = sum({factor(1, {{-1, 1}, {-1, 2}})});
  p.sf[3] = sum({factor(0, {{1, 1}}), factor(0, {{1, 2}})});
  ZQREAD2::SETUP::SETLIMITS(1);
  EXPECT_EQ(p.nvarlim, 1);
  EXPECT_TRUE(p.sfsimple[1]);
  EXPECT_FALSE(p.sfsimple[3]);
  EXPECT_FALSE(p.allsfsimple);
}

}  // namespace
