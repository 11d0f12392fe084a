// The set-up of the a-x models against the script: the boil-down and the
// limits on records made by hand, then the whole set-up on made-up files.
#include <gtest/gtest.h>

#include "iotestsupport.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "frame/zqglobal_axsetup.h"
#include "input/zqread2_setup.h"
#include "zqread2_testsupport.h"

using namespace ZQGLOBAL;

namespace {

using testsupport::fatal;

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
  // Phase 1 with end-members a, b, c, ... and variables x, y, z of the given
  // guesses, no ranges; every pair with a named parameter.
  ptype1& phase(smallint n, std::vector<extended> guesses) {
    NPSS = 1;
    ptype1& p = (*PREC1)[1];
    p = ptype1{};
    p.name = "g";
    p.nprop = n;
    p.nvar = static_cast<smallint>(n - 1);
    static const char* vn[] = {"x(g)", "y(g)", "z(g)"};
    for (long v = 1; v <= p.nvar; ++v) {
      p.xvar[v].name = vn[v - 1];
      p.xvar[v].guess = guesses[static_cast<std::size_t>(v - 1)];
      p.xvar[v].low = 11;
      p.xvar[v].high = -11;
    }
    for (long e = 1; e <= n; ++e) {
      p.em[e].name = std::string(1, static_cast<char>('a' + e - 1));
      p.alphaa[e] = static_cast<extended>(e);
      p.em[e].checkdiv = 1;
    }
    for (long j = 1; j < n; ++j)
      for (long k = j + 1; k <= n; ++k) {
        ++p.nw;
        p.wname[p.nw] = "W(" + p.em[j].name + "," + p.em[k].name + ")";
        p.wa[p.nw] = static_cast<extended>(10 * j + k);
        p.wpair[p.nw] = wpairtype{p.nw, static_cast<smallint>(j), static_cast<smallint>(k)};
      }
    p.nwpair = p.nw;
    return p;
  }
  ZQREAD2::axreader reader;
};

TEST_F(Setup, BoilDownDropsTheEndMemberOfAZeroedVariable) {
  ptype1& p = phase(4, {0.3L, 0.2L, 0});
  p.prop[1] = sum({factor(1, {{-1, 1}, {-1, 2}, {-1, 3}})});
  p.prop[2] = sum({factor(0, {{1, 1}})});
  p.prop[3] = sum({factor(0, {{1, 2}})});
  p.prop[4] = sum({factor(0, {{1, 3}})});
  p.nsf = 2;
  p.sf[1] = sum({factor(0, {{1, 3}})});
  p.sfname[2] = "xV";
  p.sf[2] = sum({factor(1, {{-1, 1}, {-1, 2}, {-1, 3}})});
  p.em[1].nsfterm = 1;
  p.em[1].sfterm[1].sfindex = 2;
  ZQREAD2::SETUP::BOILDOWN(reader, 1);
  EXPECT_TRUE(p.nprop == 3 && p.nvar == 2);
  EXPECT_FALSE(p.emkept[4]);
  EXPECT_EQ(p.em[1].checkdiv, 0);
  ASSERT_TRUE(p.nw == 3 && p.nwpair == 3);
  EXPECT_EQ(p.wname[3], "W(b,c)");
  EXPECT_EQ(p.wpair[3].wpar, 3);
  // 1 - x - y - z loses z; the site fraction of z goes and the factors
  // follow their site fractions.
  EXPECT_EQ(p.prop[1].terms[1].factors[1].m, 2);
  ASSERT_EQ(p.nsf, 1);
  EXPECT_EQ(p.sfname[1], "xV");
  EXPECT_EQ(p.em[1].sfterm[1].sfindex, 1);
}

TEST_F(Setup, BoilDownRenumbersTheVariablesLeft) {
  // x zeroed: y becomes variable 1 everywhere, b and its parameters go.
  ptype1& p = phase(3, {0, 0.4L});
  p.prop[1] = sum({factor(1, {{-1, 1}, {-1, 2}})});
  p.prop[2] = sum({factor(0, {{1, 1}})});
  p.prop[3] = sum({factor(0, {{1, 2}})});
  p.nsf = 1;
  p.sf[1] = sum({factor(0, {{1, 2}})});
  p.xvar[2].isorder = true;
  p.em[3].checkcoef[2] = 1;
  ZQREAD2::SETUP::BOILDOWN(reader, 1);
  EXPECT_EQ(p.xvar[1].name, "y(g)");
  EXPECT_TRUE(p.hasorder);
  EXPECT_EQ(p.em[2].checkcoef[1], 1);
  EXPECT_EQ(p.alphaa[2], 3);
  EXPECT_EQ(p.prop[2].terms[1].factors[1].v[1], 1);
  EXPECT_EQ(p.sf[1].terms[1].factors[1].v[1], 1);
  EXPECT_EQ(p.wname[1], "W(a,c)");
  EXPECT_EQ(p.wpair[1].wk, 2);

  // A proportion in two variables keeps c when only y goes: wrong size.
  ptype1& q = phase(3, {0.5L, 0});
  q.prop[1] = sum({factor(1, {{-1, 1}, {-1, 2}})});
  q.prop[2] = sum({factor(0, {{1, 1}})});
  q.prop[3] = sum({factor(0, {{1, 1}}), factor(0, {{1, 2}})});
  EXPECT_EQ(fatal([&] { ZQREAD2::SETUP::BOILDOWN(reader, 1); }), "setupphases: contraction wrong size");
  EXPECT_NE(term.text().find("\n\nproblem in      g  3  1\na  \nb  \nc  \nx(g)  \n"), std::string::npos);
}

TEST_F(Setup, BoilDownOfTheFirstEndMemberKeepsTheLastPair) {
  // x zeroed takes a away; of the three pairs only the last, W(b,c), stays.
  ptype1& p = phase(3, {0, 0.4L});
  p.prop[1] = sum({factor(0, {{1, 1}})});
  p.prop[2] = sum({factor(0, {{1, 2}})});
  p.prop[3] = sum({factor(1, {{-1, 1}, {-1, 2}})});
  ZQREAD2::SETUP::BOILDOWN(reader, 1);
  ASSERT_TRUE(p.nprop == 2 && p.nvar == 1);
  EXPECT_EQ(p.em[1].name, "b");
  ASSERT_EQ(p.nw, 1);
  EXPECT_EQ(p.wname[1], "W(b,c)");
  EXPECT_EQ(p.wa[1], 23);
  ASSERT_EQ(p.nwpair, 1);
  EXPECT_TRUE(p.wpair[1].wpar == 1 && p.wpair[1].wj == 1 && p.wpair[1].wk == 2);
}

TEST_F(Setup, VariableLimitRowsAreStoredOnceEach) {
  varlimtype num{"num"}, den{"den"};
  smallint count = 0;
  const termtype t = sum({factor(1, {{-1, 1}, {-1, 2}})});
  ZQREAD2::SETUP::SETVARLIM(1, 1, 3, t, num, den, count);
  ZQREAD2::SETUP::SETVARLIM(1, 1, 3, t, num, den, count);
  ZQREAD2::SETUP::SETVARLIM(1, 1, 3, sum({factor(0, {{1, 1}})}), num, den, count);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(std::vector<int>({num(1, 1), num(1, 2), num(1, 3), den(1, 2)}), std::vector<int>({-1, -1, 1, 1}));
  termtype half = t;
  half.terms[1].factors[1].ad[2] = 2;
  ZQREAD2::SETUP::SETVARLIM(1, 1, 3, half, num, den, count);
  EXPECT_EQ(count, 2);
  for (smallint c = 3; c <= maxnvarlim; ++c)
    ZQREAD2::SETUP::SETVARLIM(1, 1, 3, sum({factor(c, {{-1, 1}, {-1, 2}})}), num, den, count);
  EXPECT_EQ(fatal([&] { ZQREAD2::SETUP::SETVARLIM(1, 1, 3, sum({factor(99, {{1, 1}, {1, 2}})}), num, den, count); }),
            "setvarlim: increase maxnvarlim");
  EXPECT_EQ(count, maxnvarlim);
}

TEST_F(Setup, LimitsFromRangesAndSiteFractions) {
  struct Case {
    const char* what;
    extended low, high;  // as read; 11 and -11 for none
    bool bounding;       // site fractions x and 1 - x
    extended wantlow, wanthigh;
    acctype lowkind, highkind;
    const char* result;
  };
  const auto in = acctype::inaccessible, ok = acctype::xaccessible;
  const Case cases[] = {
      {"wide range", -0.5L, 1.5L, true, 0, 1, in, in, ""},
      {"unit range", 0, 1, true, 0, 1, ok, in, ""},
      {"no range", 11, -11, true, 0, 1, ok, ok, ""},
      {"no range, no site fraction", 11, -11, false, 0, 1, ok, ok, ""},
      {"narrow range", 0.2L, 0.6L, true, 0.2L, 0.6L, ok, ok, ""},
      {"range of one value", 0.2L, 0.2L, false, 0, 0, ok, ok, "read: lower limit > upper limit in xyz range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ptype1& p = phase(2, {0.5L});
    p.nsf = 2;
    p.sf[1] = sum({factor(0, {{1, 1}})});
    p.sf[2] = c.bounding ? sum({factor(1, {{-1, 1}})}) : sum({factor(0, {{1, 1}}), factor(1, {{-1, 1}})});
    if (!c.bounding) p.sf[1] = p.sf[2];
    p.xvar[1].low = c.low;
    p.xvar[1].high = c.high;
    ASSERT_EQ(fatal([] { ZQREAD2::SETUP::SETLIMITS(1); }), c.result);
    if (*c.result != 0) continue;
    const xvartype& x = p.xvar[1];
    const extended w = c.wanthigh - c.wantlow;
    EXPECT_EQ(std::vector<extended>({x.low, x.high, x.xfaca, x.xfacb, x.typx}),
              std::vector<extended>({c.wantlow, c.wanthigh, 1 / w, -c.wantlow / w, 0.0001L / w}));
    EXPECT_TRUE(x.lowkind == c.lowkind && x.highkind == c.highkind);
    EXPECT_EQ(p.allsfsimple, c.bounding);
  }
  // Two equal factors in two variables give one row.
  ptype1& p = phase(3, {0.2L, 0.3L});
  p.nsf = 2;
  p.sf[1] = p.sf[2] = sum({factor(1, {{-1, 1}, {-1, 2}})});
  ZQREAD2::SETUP::SETLIMITS(1);
  EXPECT_EQ(p.nvarlim, 1);
  EXPECT_TRUE(p.allsfsimple);

  // Without a list of site fractions the end-members' ideal-mixing terms
  // name them, the first one included: x and 1 - x close a wide range.
  ptype1& q = phase(2, {0.5L});
  q.nsf = 0;
  q.sf[1] = sum({factor(0, {{1, 1}})});
  q.sf[2] = sum({factor(1, {{-1, 1}})});
  for (smallint e = 1; e <= 2; ++e) {
    q.em[e].nsfterm = 1;
    q.em[e].sfterm[1].sfindex = e;
  }
  q.xvar[1].low = -0.5L;
  q.xvar[1].high = 1.5L;
  ZQREAD2::SETUP::SETLIMITS(1);
  EXPECT_EQ(std::vector<extended>({q.xvar[1].low, q.xvar[1].high}), std::vector<extended>({0, 1}));
  EXPECT_TRUE(q.xvar[1].lowkind == acctype::inaccessible && q.xvar[1].highkind == acctype::inaccessible);
}

// The whole set-up after reading a made-up a-x file, with the script's
// tables set by hand.
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
  // A batch run whose Monte Carlo item on phase already names n phases,
  // with one same-coded copy of it in "with".
  void mcon(const char* phase, smallint n) {
    CONTROLJX.batch = yes;
    NMC = 1;
    MCINFO[1] = mctype{};  // as a script line would give it, not as an earlier test left it
    MCINFO[1].nphase = n;
    for (smallint k = 1; k <= n; ++k) MCINFO[1].phasename[k] = phase;
    group({phase, "olb"});
    WHSTRINGS[++NWHSTRINGS] = "olb";
  }
  void group(std::initializer_list<const char*> names) {
    NSC = static_cast<smallint>(NSC < 0 ? 1 : NSC + 1);
    ISC[NSC] = 0;
    for (const char* n : names) {
      ++ISC[NSC];
      SCNAME(NSC, ISC[NSC]) = LONGSCNAME(NSC, ISC[NSC]) = n;
    }
  }
  // Reads text (the fixture when empty) and sets it up; the fatal message,
  // or "" when the set-up went through.
  // fault is the kind of the last fatal end.
  std::string setup(const std::string& text = "") {
    dir.write("jx-t.txt", text.empty() ? fixture() : text);
    IO::WHATSOPEN = 1;  // a fatal end closed the terminal channel
    try {
      auto reader = std::make_unique<ZQREAD2::axreader>();
      reader->READFILE();
      ZQREAD2::SETUPAGAINSTSCRIPT(*reader);
    } catch (const IO::runend& e) {
      fault = e.fault;
      return e.where + ": " + e.message;
    }
    return "";
  }
  faulttype fault = yourfault;
  static std::string fixture() {
    std::ifstream in(std::string(SOLVARINTH_FIXTURES) + "/setup/unit/jx-t.txt", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static std::string edited(std::initializer_list<std::pair<std::string, std::string>> edits) {
    std::string text = fixture();
    for (const auto& [from, to] : edits) text.replace(text.find(from), from.size(), to);
    return text;
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

// A phase of coding 2 whose file entry declares its own same-coded phases.
const std::string coded =
    "sp_x 2 2 spinelfull 4 samecoding fullb spb fullc spc\n"
    "verbatim\nfree text of the model\nverbatim\n"
    "x(sp_x) -\n"
    "p(fo) 1 1 1 1 -1 x p(fa) 1 1 0 1 1 x ideal 2 a 1 1 1 1 -1 x b 1 1 0 1 1 x fo 1 1 a 1 fa 1 1 b 1\n";

TEST_F(Against, FileAndScriptGuessesWithTheirLimits) {
  with({"q", "g"});
  ASSERT_EQ(setup(), "");
  EXPECT_EQ(NP, 4);
  EXPECT_FALSE(IO::DATAOPEN);
  const ptype1& g = phase("g");
  EXPECT_FALSE(g.scriptguess);
  EXPECT_EQ(g.xvar[1].guess, 0.3L);
  // x: the file range [0, 0.5]; y: no range, so [0, 1].
  EXPECT_TRUE(g.xvar[1].high == 0.5L && g.xvar[2].high == 1);
  EXPECT_EQ(g.nvarlim, 1);
  EXPECT_EQ(g.modeguess, -1);

  // Script guesses: y started at 0 boils g down in place; the script's
  // range [0, 1] widens the file's [0, 0.5].
  with({"g", "ol"});
  guess("x(g)", 0.4L);
  guess("y(g)", 0);
  NMODEGUESS = 1;
  MODENAME[1] = "g";
  MODEGUESSV[1] = 0.25L;
  ASSERT_EQ(setup(), "");
  const ptype1& b = phase("g");
  EXPECT_TRUE(b.scriptguess);
  EXPECT_EQ(b.nprop, 2);
  ASSERT_EQ(b.nzeroguess, 1);
  EXPECT_EQ(b.zeroguessname[1], "y(g)");
  EXPECT_EQ(b.varname0[2], "y(g)");
  EXPECT_FALSE(b.varkept[2] || b.emkept[3]);
  EXPECT_TRUE(b.xvar[1].guess == 0.4L && b.xvar[1].high == 1);
  EXPECT_EQ(b.modeguess, 0.25L);
}

TEST_F(Against, EachFaultEndsTheSetUp) {
  struct Case { std::function<void()> script; std::string text, result, line = ""; };
  std::string many;
  for (int i = 1; i <= maxss; ++i)
    many += "s" + std::to_string(i) + " 2 1 x(s" + std::to_string(i) +
            ") 0.5 p(fo) 1 1 1 1 -1 x p(fa) 1 1 0 1 1 x ideal 2 "
            "a 1 1 1 1 -1 x b 1 1 0 1 1 x fo 1 1 a 1 fa 1 1 b 1\n";
  const std::string large = edited({{"x(g) 0.3", "x(g) 0.7"}});
  const std::string buffered = edited({{"ky\n", "ky\nbf 1 buffer make 1 q 1\n"}});
  std::string unsuffixed = coded;
  unsuffixed.replace(unsuffixed.find("sp_x 2"), 4, "sq");
  unsuffixed.replace(unsuffixed.find("x(sp_x)"), 7, "x(sq)");
  const Case cases[] = {
      {[] { EXCESSSTRINGS[NEXCESSSTRINGS = 1] = "ky"; }, "", "setup phases: in excess phase, ky, not in \"with\""},
      {[] { TOZEROSTRINGS[NTOZEROSTRINGS = 1] = "ky"; }, "", "setup phases: tozero phase, ky,  not in \"with\""},
      {[] { WHSTRINGS[++NWHSTRINGS] = "q"; }, "", "setup phases: two phases, q and q, with the same name in \"with\""},
      {[this] { group({"olx", "olb"}); }, "", "setup phases: first samecoding phase, olx is not in the axfile"},
      // A Monte Carlo item on a same-coded phase names each copy, at most 20.
      {[this] { mcon("ol", maxmcnames); }, "", "setup phases: number of mcphase (max = 20) "},
      // the 20th taken, the set-up goes on to the item's parameter, not given
      {[this] { mcon("ol", maxmcnames - 1); }, "", "read: finding kp in mc (2a)"},
      // A buffer the file does not hold: a typo, or another file's buffer.
      {[] { BUFFERC = "fm"; }, buffered, "read: script, \"fm\", not in axfile"},
      {[] { BUFFERC = "bf"; }, buffered, ""},
      {[this] { group({"ol", "olb"}); WHSTRINGS[++NWHSTRINGS] = "olb"; }, "",
       "setup phases: no xyz starting guesses in scriptfile 2"},
      {[this] { group({"ol", "olb"}); guess("x(ol)", 0.5L); WHSTRINGS[++NWHSTRINGS] = "olb"; }, "",
       "setup phases: no xyzguess for samecoding phase olb"},
      {[this] { with({"s1", "s0"}); group({"s1", "s0"}); guess("x(s0)", 0.5L); }, many,
       "setup phases: too many ss phases (in making samecoding phases)"},
      {[this] { with({"sp"}); }, coded, "setup phases: no xyz starting guesses in scriptfile 1"},
      {[this] { with({"sp"}); guess("x(zz)", 0.3L); }, coded, "setup phases: no xyz starting guesses for sp"},
      {[this] { group({"sq", "sqd"}); }, unsuffixed,
       "setup phases: first samecoding phase, sq should be a long phasename"},
      {[this] { group({"sp_x", "s1", "s2", "s3", "s4", "s5", "s6", "s7"}); }, coded,
       "setup phases: too many names in a samecoding group (max = 8) "},
      // Script guesses: on a range limit accepted, beyond it refused.
      {[this] { with({"g"}); guess("x(g)", 0.5L, 0, 0.5L); guess("y(g)", 0.1L, 0, 0.5L); }, "", ""},
      {[this] { with({"g"}); guess("x(g)", 0.6L, 0, 0.5L); guess("y(g)", 0.1L, 0, 0.5L); }, "",
       "setupphases: guess too large for x(g)"},
      // With batch at "ask" the guesses are neither taken nor checked.
      {[this] { with({"g"}); }, large, "setupphases: guess too large for x(g)"},
      {[this] { with({"g"}); CONTROLJX.batch = ask; }, large, ""},
      {[this] { with({"g"}); guess("x(g)", 0.2L); }, "", "setupphases: xyzguess: wrong no of vars"},
      {[this] { with({"g"}); guess("x(g)", 0.2L); guess("z(g)", 0.2L); }, "",
       "setupphases: xyzguess names don't match axfile: \"y(g)\" \"z(g)\""},
      // A guess on a site-fraction limit is illegal.
      {[this] { with({"ol"}); guess("x(ol)", 1); }, "", "setupphases: inconsistent starting guesses",
       "\nfor ol, site fractions are:\nxMg =            0\nxFe =     1.000000\n"
       "site fractions must all be positive (starting guess problems)\n"},
      // The models at their pure end-members.
      {[] {}, edited({{"fa 1 1 xFe 2 check 1", "fa 1 1 xFe 2 check 1/2"}}),
       "setupphases:  ideal mixing terms not equal to 1 for pure end-members (also look at check coding)",
       "\n\ninconsistent ideal mixing activities: fa in ol = 0.2500\n"},
      {[] {}, edited({{"fo 1 1 xMg 2 check 0", "fo 1 1 xMg 2 check 1"}}),
       "setupphases: ideal mixing term = 0 for fo in ol (check coding wrong?)"},
      {[] {}, edited({{"fa 1 1 xFe 2 check 1", "fa 1.0004 1 xFe 2 check 1"}}), ""},
      {[] {}, edited({{"p(fa) 1 1 0 1 1 x", "p(fa) 1 1 0 1 1/2 x"}, {"p(hem) 1 1 0 1 1 y", "p(hem) 1 1 0 1 2 y"}}),
       "setupphases: proportions not equal to 1 for pure end-members (also look at check coding)",
       "\n\ninconsistent p coding: fa = 0.500, , hem = 2.000, \n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    SetUp();
    with({"q", "ol"});
    c.script();
    const std::size_t before = term.text().size();
    fault = yourfault;
    EXPECT_EQ(setup(c.text), c.result);
    EXPECT_EQ(fault, yourfault);  // every one the user's to mend
    EXPECT_TRUE(c.line.empty() || term.text().find(c.line, before) != std::string::npos) << term.text();
  }
}

TEST_F(Against, SameCodedCopiesStandAfterTheirModelInReverseOrder) {
  with({"q", "olc", "ol", "olb"});
  group({"ol", "olb", "olc", "olb"});
  guess("x(olb)", 0.3L);
  guess("x(olc)", 0.4L);
  ASSERT_EQ(setup(), "");
  EXPECT_EQ(phases(), (std::vector<std::string>{"ol", "olc", "olb", "g"}));
  EXPECT_EQ(NP, 6);
  const ptype1& c = phase("olc");
  EXPECT_EQ(c.sameasname, "ol");
  EXPECT_TRUE(c.xvar[1].name == "x(olc)" && c.xvar[1].guess == 0.4L);
  EXPECT_EQ(phase("ol").xvar[1].guess, 0.2L);
  EXPECT_EQ(withlist(), (std::vector<std::string>{"q/q", "olc/olc", "ol/ol", "olb/olb"}));

  // A copy not in "with" is not made.
  with({"ol"});
  NSC = -1;
  group({"ol", "olb"});
  ASSERT_EQ(setup(), "");
  EXPECT_EQ(phases(), (std::vector<std::string>{"ol", "g"}));

  // Copies of 21 characters told apart by the last: their x(name), cut to
  // 22 characters, are one name.
  SetUp();
  const std::string b1 = std::string(20, 'b') + "1", b2 = std::string(20, 'b') + "2";
  with({"ol", b1.c_str(), b2.c_str()});
  group({"ol", b1.c_str(), b2.c_str()});
  const std::string kept = "x(" + std::string(20, 'b');  // as a script gives either
  guess(kept.c_str(), 0.3L);
  const std::string result = setup();
  EXPECT_TRUE(result == "keepname: x(" + b2 + ") and x(" + b1 + ") are one name when cut to 22 characters" ||
              result == "keepname: x(" + b1 + ") and x(" + b2 + ") are one name when cut to 22 characters")
      << result;
}

TEST_F(Against, FileGroupsAreListedAndMergedWithTheScripts) {
  with({"sp", "spb"});
  guess("x(sp)", 0.3L);
  guess("x(spb)", 0.4L);
  ASSERT_EQ(setup(coded), "");
  EXPECT_NE(term.text().find("\n\nall axfile samecodings\n  sp # spb spc \n"), std::string::npos) << term.text();
  EXPECT_EQ(phases(), (std::vector<std::string>{"sp", "spb"}));

  // Merged into the file's group, the script's group is listed no more.
  SetUp();
  with({"sp", "spb", "spd"});
  group({"sp_x", "spd", "spb"});
  guess("x(sp)", 0.3L);
  guess("x(spb)", 0.4L);
  guess("x(spd)", 0.5L);
  ASSERT_EQ(setup(coded), "");
  EXPECT_EQ(ISC[1], 3);
  EXPECT_EQ(term.text().find("all axfile samecodings"), term.text().rfind("all axfile samecodings"));
  EXPECT_EQ(phases(), (std::vector<std::string>{"sp", "spd", "spb"}));
  const ptype1& d = phase("spd");
  EXPECT_EQ(d.longname + " " + d.fullname + " " + phase("spb").fullname, "spd_x spinelfull fullb");
  EXPECT_EQ(d.xvar[1].guess, 0.5L);
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
  static mctype& mc(smallint kind, smallint abc, const char* parname) {
    NMC = 1;
    mctype& m = MCINFO[1] = mctype{};
    m.phasename[m.nphase = 1] = "g";
    m.kind = kind;
    m.abc = abc;
    m.parname = parname;
    return m;
  }
};

TEST_F(Batch, VariantsAreMadeOnceAndItemsPointAtThem) {
  mctype& m = mc(1, 1, "W(py,hem)");
  m.base = 5;
  m.spread = 1.5L;
  ASSERT_EQ(setup(), "");
  EXPECT_EQ(phases(), (std::vector<std::string>{"ol", "g", "g-1", "g-2"}));
  EXPECT_TRUE(NP == 6 && NWHSTRINGS0 == 2);
  EXPECT_EQ(withlist(), (std::vector<std::string>{"q/q", "g/g", "g-1/g-1", "g-2/g-2"}));
  EXPECT_FALSE(phase("g-1").varkept[2]);
  EXPECT_EQ(phase("g-1").xvar[1].name + phase("g-2").xvar[1].name, "x(g)y(g)");
  auto flags = [](long b) {
    std::string s;
    for (long i = 1; i <= 4; ++i) s += BATCHINFO[b].phase[i] ? '1' : '0';
    return s;
  };
  EXPECT_EQ(flags(1) + flags(2) + flags(3) + flags(4), "1010101010011100");
  EXPECT_TRUE(BATCHINFO[1].modephase1 == 3 && BATCHINFO[3].isophase[1] == 4);
  // Blocks keep their non-zero guesses.
  EXPECT_TRUE(BATCHXYZ[1].count == 1 && BATCHXYZ[3].name[1] == "y(g)");
  // The parameter found and set in the model, its variants named.
  EXPECT_TRUE(m.parpos == 2 && phase("g").wa[2] == 5);
  EXPECT_TRUE(m.nphase == 3 && m.phasename[3] == "g-2");
  const std::string out = term.text();
  EXPECT_NE(out.find("\n\nsummary of batches\n         q     g\n 1:      0     1\n 2:      0     1\n"
                     " 3:      0     2\n 4:      0     0\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("\n\nsummary of mc info\n" + std::string(37, ' ') + "      value     range\n" +
                     " 1 :       g       W(py,hem)  1   2  1     5.000     1.500;  also     g-1"),
            std::string::npos)
      << out;
}

TEST_F(Batch, Faults) {
  struct Case { std::function<void()> script; std::string result; };
  const Case cases[] = {
      {[] { WHSTRINGS[++NWHSTRINGS] = "zz"; }, "read: name fubar with zz"},
      {[] { mc(1, 1, "W(py,alm)").nphase = maxmcnames; }, "read: number of mcphase"},
      {[] { BATCHXYZ[2].name[1] = "u(g)"; }, "read: can't find first var x(g)"},
      {[] { BATCHXYZ[2].name[2] = "u(g)"; }, "read: no last var for g"},
      {[] { mc(2, 1, "a(fo)"); }, "read: finding kp in mc (3)"},
      {[] { mc(3, 4, "DQF(py)"); }, "read: finding kp in mc: bad abc code (3)"},
      {[] { mc(1, 1, "W(py,alm)").phasename[1] = "q"; }, "read: finding kp in mc (1) - q"},
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

// A Monte Carlo DQF stands where the a-x file could hold a DQF: on a made
// end-member, or with the older set on any; else it is refused as the
// file's DQF is, before a series prints a DQF that no G takes.
TEST_F(Batch, DqfParameterOnlyWhereTheFileTakesADqf) {
  const struct {
    bool oldset, made;
    smallint abc;
    std::string result;
  } cases[] = {
      {false, false, 1, "setup phases: need to \"make\" end-member before DQF-ing it"},
      {false, false, 2, "setup phases: need to \"make\" end-member before DQF-ing it"},
      {false, true, 2, ""},
      {true, false, 1, ""},
      {true, false, 3, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result + (c.oldset ? " old" : " new") + (c.made ? " made" : ""));
    SetUp();
    WITHOLDSET = c.oldset;
    mctype& m = mc(3, c.abc, "DQF(py)");
    m.base = 2.5L;
    // The older set's file has no coding word.
    const std::string text = c.made     ? edited({{"check 0 0\n", "check 0 0 make 1 fo 1\n"}})
                             : c.oldset ? edited({{"ol 2 1\n", "ol 2\n"}, {"g 3 1\n", "g 3\n"}})
                                        : "";
    EXPECT_EQ(setup(text), c.result);
    if (c.result.empty()) {
      const emtype& py = phase("g").em[1];
      EXPECT_EQ(c.abc == 1 ? py.dqfa : c.abc == 2 ? py.dqfb : py.dqfc, 2.5L);
    }
  }
  WITHOLDSET = false;
}

TEST_F(Against, APhaseHasAtMost29Variants) {
  // Five variables, each the proportion of one end-member: every set of
  // variables started at 0 is a variant of its own.
  std::string h = "h 6 1";
  const char* v[] = {"a", "b", "c", "d", "e"};
  const char* ems[] = {"fa", "di", "hed", "jd", "alm"};
  for (const char* n : v) h += std::string(" ") + n + "(h) 0.1";
  h += " p(fo) 1 1 1 5 -1 a -1 b -1 c -1 d -1 e";
  for (int i = 0; i < 5; ++i) h += std::string("\n p(") + ems[i] + ") 1 1 0 1 1 " + v[i];
  h += "\n ideal 6 s0 1 1 1 5 -1 a -1 b -1 c -1 d -1 e\n";  // lines hold 255 characters
  for (int i = 0; i < 5; ++i) h += std::string(" s") + v[i] + " 1 1 0 1 1 " + v[i] + "\n";
  h += " fo 1 1 s0 1";
  for (int i = 0; i < 5; ++i) h += std::string(" ") + ems[i] + " 1 1 s" + v[i] + " 1";
  // Items 1..n, item b starting at 0 the variables of the bits of b.
  auto items = [&](long n) {
    CONTROLJX.batch = yes;
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
  EXPECT_EQ(WHSTRINGS[30], "h-29");
  items(30);
  EXPECT_EQ(setup(h + "\n"), "setupphases: too many boils");
}

}  // namespace
