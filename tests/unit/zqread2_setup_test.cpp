// The boil-down of a solution phase and the limits and scaling of its
// variables, on phase records made by hand.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "zqglobal_axsetup.h"
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

// The whole set-up after reading a made-up a-x file, with the script's
// tables set by hand.
namespace {

class Against : public axtest::AxTest {
 protected:
  void SetUp() override {
    AxTest::SetUp();
    NWHSTRINGS = 0;
    NXYZ = -1;
    NEXCESSSTRINGS = NTOZEROSTRINGS = 0;
    NMC = NBATCH = NBATCHXYZ = -1;
    NRGBS = 0;
    NSC = -1;
  }
  void with(std::initializer_list<const char*> names) {
    NWHSTRINGS = 0;
    for (const char* n : names) WHSTRINGS[++NWHSTRINGS] = n;
  }
  void guess(const char* name, extended v, extended low = 0, extended high = 1) {
    NXYZ = static_cast<smallint>(NXYZ < 0 ? 1 : NXYZ + 1);
    XYZNAME[NXYZ] = name;
    XYZ[NXYZ] = v;
    XYZSD[NXYZ] = 0;
    XYZLIM1[NXYZ] = low;
    XYZLIM2[NXYZ] = high;
  }
  void group(std::initializer_list<const char*> names) {
    NSC = static_cast<smallint>(NSC < 0 ? 1 : NSC + 1);
    ISC[NSC] = 0;
    for (const char* n : names) {
      ++ISC[NSC];
      SCNAME(NSC, ISC[NSC]) = n;
      LONGSCNAME(NSC, ISC[NSC]) = n;
    }
  }
  // Reads text (the fixture when empty) and sets it up; the fatal message,
  // or "" when the set-up went through.
  std::string setup(std::string text = "") {
    dir.write("jx-t.txt", text.empty() ? fixture() : text);
    // A fatal end closes every channel; the next run has the terminal again.
    IO::WHATSOPEN = 1;
    try {
      auto reader = std::make_unique<ZQREAD2::axreader>();
      reader->READFILE();
      ZQREAD2::SETUPAGAINSTSCRIPT(*reader);
    } catch (const IO::runend& e) {
      return e.where + ": " + e.message;
    }
    return "";
  }
  static std::string fixture() {
    std::ifstream in(std::string(SOLVARINTH_FIXTURES) + "/setup/unit/jx-t.txt", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static std::vector<std::string> phases() {
    std::vector<std::string> v;
    for (long i = 1; i <= NPSS; ++i) v.push_back((*PREC1)[i].name);
    return v;
  }
  static std::vector<std::string> withlist() {
    std::vector<std::string> v;
    for (long i = 1; i <= NWHSTRINGS; ++i) v.push_back(WHSTRINGS[i] + "/" + LONGWHSTRINGS[i]);
    return v;
  }
  static const ptype1& phase(const std::string& name) {
    for (long i = 1; i <= NPSS; ++i)
      if ((*PREC1)[i].name == name) return (*PREC1)[i];
    throw std::runtime_error("no phase " + name);
  }
};

TEST_F(Against, FileGuessesLimitsAndClosedFile) {
  with({"q", "g"});
  ASSERT_EQ(setup(), "");
  EXPECT_EQ(NP, 4);
  EXPECT_FALSE(IO::DATAOPEN);
  EXPECT_EQ(IO::DATA.f, nullptr);
  EXPECT_EQ(withlist(), (std::vector<std::string>{"q/q", "g/g"}));
  const ptype1& g = phase("g");
  EXPECT_FALSE(g.scriptguess);
  EXPECT_EQ(g.nvar0, 2);
  EXPECT_EQ(g.xvar[1].guess, 0.3L);
  // x: the file range [0, 0.5], with the site fraction x only at the low end.
  EXPECT_EQ(g.xvar[1].low, 0);
  EXPECT_EQ(g.xvar[1].high, 0.5L);
  EXPECT_EQ(g.xvar[1].lowkind, acctype::xaccessible);
  EXPECT_EQ(g.xvar[1].xfaca, 2);
  // y: no range; 0 and 1 without a kind.
  EXPECT_EQ(g.xvar[2].low, 0);
  EXPECT_EQ(g.xvar[2].high, 1);
  EXPECT_EQ(g.nvarlim, 1);
  EXPECT_EQ(g.modeguess, -1);
  EXPECT_EQ(term.text().find("excluded"), std::string::npos);
}

TEST_F(Against, ScriptGuessesAndBoilDownInPlace) {
  with({"g", "ol"});
  guess("x(g)", 0.4L);
  guess("y(g)", 0);
  NMODEGUESS = 1;
  MODENAME[1] = "g";
  MODEGUESSV[1] = 0.25L;
  ASSERT_EQ(setup(), "");
  const ptype1& g = phase("g");
  EXPECT_TRUE(g.scriptguess);
  EXPECT_TRUE(g.boileddown);
  EXPECT_EQ(g.nprop, 2);
  EXPECT_EQ(g.nvar, 1);
  EXPECT_EQ(g.nzeroguess, 1);
  EXPECT_EQ(g.zeroguessname[1], "y(g)");
  EXPECT_EQ(g.varname0[2], "y(g)");
  EXPECT_FALSE(g.varkept[2]);
  EXPECT_FALSE(g.emkept[3]);
  EXPECT_EQ(g.nw, 1);
  EXPECT_EQ(g.xvar[1].guess, 0.4L);
  // The script's range [0, 1] widens the file's [0, 0.5].
  EXPECT_EQ(g.xvar[1].high, 1);
  EXPECT_EQ(g.modeguess, 0.25L);
}

TEST_F(Against, GuessesAgainstTheirLimits) {
  struct Case {
    extended x;
    std::string result;
  };
  const Case cases[] = {
      {0.5L, ""},
      {0.6L, "setupphases: guess too large for x(g)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    with({"g"});
    NXYZ = -1;
    guess("x(g)", c.x, 0, 0.5L);
    guess("y(g)", 0.1L, 0, 0.5L);
    EXPECT_EQ(setup(), c.result);
  }
  // A guess on a site-fraction limit is refused as illegal.
  with({"ol"});
  NXYZ = -1;
  guess("x(ol)", 1);
  EXPECT_EQ(setup(), "setupphases: inconsistent starting guesses");
  EXPECT_NE(term.text().find("\nfor ol, site fractions are:\nxMg =            0\nxFe =     1.000000\n"
                             "site fractions must all be positive (starting guess problems)\n"),
            std::string::npos)
      << term.text();
}

TEST_F(Against, ScriptGuessListFaults) {
  with({"g"});
  guess("x(g)", 0.2L);
  EXPECT_EQ(setup(), "setupphases: xyzguess: wrong no of vars");
  guess("z(g)", 0.2L);
  EXPECT_EQ(setup(), "setupphases: xyzguess names don't match axfile: \"y(g)\" \"z(g)\"");
}

TEST_F(Against, SameCodedCopiesStandAfterTheirModelInReverseOrder) {
  with({"q", "olc", "ol", "olb"});
  group({"ol", "olb", "olc"});
  guess("x(olb)", 0.3L);
  guess("x(olc)", 0.4L);
  ASSERT_EQ(setup(), "");
  EXPECT_EQ(phases(), (std::vector<std::string>{"ol", "olc", "olb", "g"}));
  EXPECT_EQ(NP, 6);
  const ptype1& c = phase("olc");
  EXPECT_EQ(c.sameasname, "ol");
  EXPECT_EQ(c.nsamecoding, 0);
  EXPECT_EQ(c.xvar[1].name, "x(olc)");
  EXPECT_EQ(c.xvar[1].guess, 0.4L);
  EXPECT_EQ(phase("olb").xvar[1].guess, 0.3L);
  EXPECT_EQ(phase("ol").xvar[1].guess, 0.2L);
  EXPECT_EQ(withlist(), (std::vector<std::string>{"q/q", "olc/olc", "ol/ol", "olb/olb"}));

  // A copy not in "with" is not made.
  with({"ol"});
  NSC = -1;
  group({"ol", "olb"});
  ASSERT_EQ(setup(), "");
  EXPECT_EQ(phases(), (std::vector<std::string>{"ol", "g"}));
}

TEST_F(Against, ListFaults) {
  struct Case {
    std::function<void()> script;
    std::string result;
  };
  const Case cases[] = {
      {[] { BUFFERC = "nnb"; }, ""},
      {[] {
         NEXCESSSTRINGS = 1;
         EXCESSSTRINGS[1] = "ky";
       },
       "setup phases: in excess phase, ky, not in \"with\""},
      {[] {
         NTOZEROSTRINGS = 1;
         TOZEROSTRINGS[1] = "ky";
       },
       "setup phases: tozero phase, ky,  not in \"with\""},
      {[] { WHSTRINGS[++NWHSTRINGS] = "q"; }, "setup phases: two phases, q and q, with the same name in \"with\""},
      {[this] { group({"olx", "olb"}); }, "setup phases: first samecoding phase, olx is not in the axfile"},
      {[this] { group({"ol", "olb"}); WHSTRINGS[++NWHSTRINGS] = "olb"; },
       "setup phases: no xyz starting guesses in scriptfile 2"},
      {[this] {
         group({"ol", "olb"});
         WHSTRINGS[++NWHSTRINGS] = "olb";
         NXYZ = 1;
         XYZNAME[1] = "x(ol)";
       },
       "setup phases: no xyzguess for samecoding phase olb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    SetUp();
    with({"q", "ol"});
    c.script();
    EXPECT_EQ(setup(), c.result);
  }
}

TEST_F(Against, CopiesBeyondTheTableEndTheRun) {
  std::string text;
  for (int i = 1; i <= maxss; ++i)
    text += "s" + std::to_string(i) +
            " 2 1 x(s" + std::to_string(i) + ") 0.5 p(fo) 1 1 1 1 -1 x p(fa) 1 1 0 1 1 x ideal 2 "
            "a 1 1 1 1 -1 x b 1 1 0 1 1 x fo 1 1 a 1 fa 1 1 b 1\n";
  with({"s1", "s0"});
  group({"s1", "s0"});
  guess("x(s0)", 0.5L);
  EXPECT_EQ(setup(text), "setup phases: too many ss phases (in making samecoding phases) (max = 80) ");
}

TEST_F(Against, EndMemberChecks) {
  const std::string base = fixture();
  struct Case {
    std::string from, to, result, line;
  };
  const Case cases[] = {
      {"fa 1 1 xFe 2 check 1", "fa 1 1 xFe 2 check 1/2",
       "setupphases:  ideal mixing terms not equal to 1 for pure end-members (also look at check coding)",
       "\n\ninconsistent ideal mixing activities: fa in ol = 0.2500\n"},
      {"fo 1 1 xMg 2 check 0", "fo 1 1 xMg 2 check 1",
       "setupphases: ideal mixing term = 0 for fo in ol (check coding wrong?)", ""},
      {"p(fa) 1 1 0 1 1 x", "p(fa) 1 1 0 1 1/2 x",
       "setupphases: proportions not equal to 1 for pure end-members (also look at check coding)",
       "\n\ninconsistent p coding: fa = 0.500, \n"},
      // An activity within 0.001 of 1 passes.
      {"fa 1 1 xFe 2 check 1", "fa 1.0004 1 xFe 2 check 1", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    std::string text = base;
    text.replace(text.find(c.from), c.from.size(), c.to);
    with({"ol"});
    EXPECT_EQ(setup(text), c.result);
    if (!c.line.empty()) {
      EXPECT_NE(term.text().find(c.line), std::string::npos) << term.text();
    }
  }
}


// A phase of coding 2 whose file entry declares its own same-coded phases.
const std::string coded =
    "sp_x 2 2 spinelfull 4 samecoding fullb spb fullc spc\n"
    "verbatim\n"
    "free text of the model\n"
    "verbatim\n"
    "x(sp_x) -\n"
    "p(fo) 1 1 1 1 -1 x p(fa) 1 1 0 1 1 x ideal 2 a 1 1 1 1 -1 x b 1 1 0 1 1 x fo 1 1 a 1 fa 1 1 b 1\n";

TEST_F(Against, FileGroupsAreListedAndMergedWithTheScripts) {
  with({"sp", "spb", "spd"});
  group({"sp_x", "spd", "spb"});
  guess("x(sp)", 0.3L);
  guess("x(spb)", 0.4L);
  guess("x(spd)", 0.5L);
  ASSERT_EQ(setup(coded), "");
  EXPECT_EQ(NSC, 1);
  EXPECT_EQ(ISC[1], 3);
  // Merged into the file's group, the script's group no longer counts as
  // one more than the script declared: no listing.
  EXPECT_EQ(term.text().find("all axfile samecodings"), std::string::npos) << term.text();
  EXPECT_EQ(phases(), (std::vector<std::string>{"sp", "spd", "spb"}));
  const ptype1& d = phase("spd");
  EXPECT_EQ(d.longname, "spd_x");
  EXPECT_EQ(d.fullname, "spinelfull");
  EXPECT_EQ(d.sameaslong, "sp_x");
  EXPECT_EQ(d.xvar[1].guess, 0.5L);
  EXPECT_EQ(phase("spb").fullname, "fullb");
}

TEST_F(Against, FileGroupsAloneAreListed) {
  with({"sp", "spb"});
  guess("x(sp)", 0.3L);
  guess("x(spb)", 0.4L);
  ASSERT_EQ(setup(coded), "");
  EXPECT_NE(term.text().find("\n\nall axfile samecodings\n  sp # spb spc \n"), std::string::npos) << term.text();
  EXPECT_EQ(phases(), (std::vector<std::string>{"sp", "spb"}));
}

TEST_F(Against, CodedPhasesNeedScriptGuessesAndGroupsHaveRoom) {
  with({"sp"});
  EXPECT_EQ(setup(coded), "setup phases: no xyz starting guesses in scriptfile 1");
  // Each pass's script read starts the groups afresh.
  NSC = -1;
  guess("x(zz)", 0.3L);
  EXPECT_EQ(setup(coded), "setup phases: no xyz starting guesses for sp");
  // The script's group short of a long name, then one too many to merge.
  NSC = -1;
  group({"sq", "sqd"});
  std::string plain = coded;
  plain.replace(plain.find("sp_x 2"), 4, "sq");
  plain.replace(plain.find("x(sp_x)"), 7, "x(sq)");
  EXPECT_EQ(setup(plain), "setup phases: first samecoding phase, sq should be a long phasename");
  NSC = -1;
  group({"sp_x", "s1", "s2", "s3", "s4", "s5", "s6", "s7"});
  EXPECT_EQ(setup(coded), "setup phases: too many names in a samecoding group (max = 8) ");
}

// Batch items 1 and 2 start y(g) at 0, item 3 x(g); item 4 starts nothing
// at 0.
class Batch : public Against {
 protected:
  void SetUp() override {
    Against::SetUp();
    CONTROLJX.batch = yes;
    with({"q", "g"});
    const extended blocks[4][2] = {{0.3L, 0}, {0.4L, 0}, {0, 0.2L}, {0.1L, 0.1L}};
    NBATCHXYZ = NBATCH = 4;
    for (long b = 1; b <= 4; ++b) {
      bxyztype& k = BATCHXYZ[b];
      k.count = 2;
      k.name[1] = "x(g)";
      k.name[2] = "y(g)";
      k.value[1] = blocks[b - 1][0];
      k.value[2] = blocks[b - 1][1];
      batchtype& item = BATCHINFO[b];
      item = batchtype{};
      item.phase[1] = item.phase[2] = true;
      item.kxyz = static_cast<smallint>(b);
      item.blockzeros = b == 4 ? 0 : 1;
      BATCHNO[b] = static_cast<smallint>(b);
    }
    BATCHINFO[1].withbulk = true;
    BATCHINFO[1].nmodeset = 1;
    BATCHINFO[1].modephase1 = 2;
    BATCHINFO[3].hasiso = true;
    BATCHINFO[3].niso = 1;
    BATCHINFO[3].isophase[1] = 2;
  }
};

TEST_F(Batch, VariantsAreMadeOnceAndItemsPointAtThem) {
  NMC = 1;
  mctype& m = MCINFO[1];
  m = mctype{};
  m.phasename[1] = "g";
  m.nphase = 1;
  m.kind = 1;
  m.abc = 1;
  m.parname = "W(py,hem)";
  m.base = 5;
  m.spread = 1.5L;
  ASSERT_EQ(setup(), "");
  EXPECT_EQ(phases(), (std::vector<std::string>{"ol", "g", "g-1", "g-2"}));
  EXPECT_EQ(NP, 6);
  EXPECT_EQ(NWHSTRINGS0, 2);
  EXPECT_EQ(withlist(), (std::vector<std::string>{"q/q", "g/g", "g-1/g-1", "g-2/g-2"}));
  const ptype1& v1 = phase("g-1");
  EXPECT_EQ(v1.nvar, 1);
  EXPECT_EQ(v1.xvar[1].name, "x(g)");
  EXPECT_TRUE(v1.varkept[1]);
  EXPECT_FALSE(v1.varkept[2]);
  EXPECT_EQ(phase("g-2").xvar[1].name, "y(g)");
  auto flags = [](long b) {
    std::string s;
    for (long i = 1; i <= 4; ++i) s += BATCHINFO[b].phase[i] ? '1' : '0';
    return s;
  };
  EXPECT_EQ(flags(1), "1010");
  EXPECT_EQ(flags(2), "1010");
  EXPECT_EQ(flags(3), "1001");
  EXPECT_EQ(flags(4), "1100");
  EXPECT_EQ(BATCHINFO[1].modephase1, 3);
  EXPECT_EQ(BATCHINFO[3].isophase[1], 4);
  // Blocks keep their non-zero guesses.
  EXPECT_EQ(BATCHXYZ[1].count, 1);
  EXPECT_EQ(BATCHXYZ[3].name[1], "y(g)");
  EXPECT_EQ(BATCHXYZ[4].count, 2);
  // The parameter found and set in the model, its variants named.
  EXPECT_EQ(m.parpos, 2);
  EXPECT_EQ(phase("g").wa[2], 5);
  EXPECT_EQ(m.nphase, 3);
  EXPECT_EQ(m.phasename[3], "g-2");

  const std::string out = term.text();
  EXPECT_NE(out.find("\n\nsummary of batches\n"
                     "         q     g\n"
                     " 1:      0     1\n"
                     " 2:      0     1\n"
                     " 3:      0     2\n"
                     " 4:      0     0\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("\n\nsummary of mc info\n" + std::string(37, ' ') + "      value     range\n"
                     " 1 : " "      g       W(py,hem)  1   2  1     5.000     1.500;  also     g-1    g"),
            std::string::npos)
      << out;
}

TEST_F(Batch, Faults) {
  struct Case {
    std::function<void()> script;
    std::string result;
  };
  const Case cases[] = {
      {[] { WHSTRINGS[++NWHSTRINGS] = "zz"; }, "read: name fubar with zz"},
      {[] {
         NMC = 1;
         MCINFO[1] = mctype{};
         MCINFO[1].kind = 1;
         MCINFO[1].abc = 1;
         MCINFO[1].parname = "W(py,alm)";
         MCINFO[1].nphase = maxmcnames;
         for (long j = 1; j <= maxmcnames; ++j) MCINFO[1].phasename[j] = "g";
       },
       "read: number of mcphase (max = 20) "},
      {[] { BATCHXYZ[2].name[1] = "u(g)"; }, "read: can't find first var x(g)"},
      {[] { BATCHXYZ[2].name[2] = "u(g)"; }, "read: no last var for g"},
      {[] {
         NMC = 1;
         MCINFO[1] = mctype{};
         MCINFO[1].phasename[1] = "g";
         MCINFO[1].kind = 2;
         MCINFO[1].abc = 1;
         MCINFO[1].parname = "a(fo)";
       },
       "read: finding kp in mc (3)"},
      {[] {
         NMC = 1;
         MCINFO[1] = mctype{};
         MCINFO[1].phasename[1] = "g";
         MCINFO[1].kind = 3;
         MCINFO[1].abc = 4;
         MCINFO[1].parname = "DQF(py)";
       },
       "read: finding kp in mc: bad abc code (3)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    SetUp();
    c.script();
    EXPECT_EQ(setup(), c.result);
  }
  EXPECT_NE(term.text().find("\n\nproblem in starting guess block 2 - missing phase g for batch 2?\n"),
            std::string::npos);
  EXPECT_NE(term.text().find("batch   2\n"), std::string::npos);
}

TEST_F(Against, APhaseHasAtMost29Variants) {
  // Five variables, each the proportion of one end-member: every set of
  // variables started at 0 is a variant of its own.
  std::string h = "h 6 1";
  const char* v[] = {"a", "b", "c", "d", "e"};
  for (const char* n : v) h += std::string(" ") + n + "(h) 0.1";
  h += " p(fo) 1 1 1 5 -1 a -1 b -1 c -1 d -1 e";
  const char* ems[] = {"fa", "di", "hed", "jd", "alm"};
  for (int i = 0; i < 5; ++i) h += std::string("\n p(") + ems[i] + ") 1 1 0 1 1 " + v[i];
  // Lines are read up to 255 characters: one item a line.
  h += "\n ideal 6 s0 1 1 1 5 -1 a -1 b -1 c -1 d -1 e\n";
  for (int i = 0; i < 5; ++i) h += std::string(" s") + v[i] + " 1 1 0 1 1 " + v[i] + "\n";
  h += " fo 1 1 s0 1";
  for (int i = 0; i < 5; ++i) h += std::string(" ") + ems[i] + " 1 1 s" + v[i] + " 1";
  CONTROLJX.batch = yes;
  CONTROLJX.batchdebug = no;
  // Items 1..n, item b starting at 0 the variables of the bits of b.
  auto items = [&](long n) {
    with({"h"});
    NBATCH = NBATCHXYZ = static_cast<smallint>(n);
    for (long b = 1; b <= n; ++b) {
      bxyztype& k = BATCHXYZ[b];
      k.count = 5;
      for (long i = 1; i <= 5; ++i) {
        k.name[i] = std::string(v[i - 1]) + "(h)";
        k.value[i] = (b >> (i - 1)) & 1 ? 0 : 0.1L;
      }
      BATCHINFO[b] = batchtype{};
      BATCHINFO[b].phase[1] = true;
      BATCHINFO[b].kxyz = static_cast<smallint>(b);
      BATCHINFO[b].blockzeros = 1;
      BATCHNO[b] = static_cast<smallint>(b);
    }
  };
  items(29);
  ASSERT_EQ(setup(h + "\n"), "");
  EXPECT_EQ(NPSS, 30);
  EXPECT_EQ(WHSTRINGS[30], "h-29");
  items(30);
  EXPECT_EQ(setup(h + "\n"), "setupphases: too many boils");
}

}  // namespace
