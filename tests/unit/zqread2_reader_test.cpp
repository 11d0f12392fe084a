// Tests of the a-x model file reader: the records it fills and every fault
// it ends a run with.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "zqread2_testsupport.h"

using namespace ZQGLOBAL;

namespace {

using AxReader = axtest::AxTest;

TEST_F(AxReader, MixedFileFillsTheRecords) {
  CONTROLJX.magemin = yes;
  (*PREC0)[1].modeset = (*PREC1)[1].modeset = true;  // left from an earlier pass
  ASSERT_EQ(run(axtest::fixture("jx-mixed.txt")), "");
  EXPECT_FALSE((*PREC0)[1].modeset || (*PREC1)[1].modeset);
  EXPECT_EQ(NP, 9);
  EXPECT_EQ(NP0, 5);
  EXPECT_EQ(NPSS, 4);

  // "%" leads are dropped, both closing lines are "#"
  ASSERT_EQ(NHEADER, 4);
  EXPECT_EQ(HEADER[3], " a commented header line");

  EXPECT_EQ((*PREC0)[2].activity, 0.5L);
  EXPECT_EQ((*PREC0)[2].sdactivity, 0.01L);

  const ptype0& qz = (*PREC0)[3];
  EXPECT_EQ(qz.emname, "qq");
  EXPECT_EQ(qz.nmake, 1);
  EXPECT_EQ(qz.dqfcode, 0);
  EXPECT_EQ(qz.dqfb, -0.001L);

  // buffer made with 1/2 and 1/3: divisor 6, coefficients 3 and 2
  const ptype0& bf = (*PREC0)[4];
  EXPECT_EQ(NBUFFER, 1);
  EXPECT_EQ(BUFFERNAME[1], "bf");
  EXPECT_EQ(bf.makediv, 6);
  EXPECT_EQ(bf.makecoef[1], 3);
  EXPECT_EQ(bf.makecoef[2], 2);
  EXPECT_EQ((*PREC0)[5].td[18], 1);
  EXPECT_EQ((*PREC0)[5].td[19], 1);

  const ptype1& oli = (*PREC1)[1];
  EXPECT_TRUE(oli.noverbatim);
  EXPECT_EQ(oli.model, axtype::ideal);
  EXPECT_EQ(oli.nw, 1);
  EXPECT_EQ(oli.nwpair, 0);
  EXPECT_EQ(oli.xvar[1].guess, 0.3L);
  EXPECT_EQ(oli.xvar[1].high0, 1);
  EXPECT_EQ(oli.em[1].maxpower, 2);

  const ptype1& cpx = (*PREC1)[2];
  EXPECT_EQ(cpx.model, axtype::symmetric);
  EXPECT_TRUE(cpx.hasorder);
  EXPECT_TRUE(cpx.xvar[2].isorder);
  EXPECT_EQ(cpx.xvar[2].low0, 11);
  EXPECT_EQ(cpx.xvar[2].high0, -11);
  ASSERT_EQ(cpx.nwpair, 3);
  const int rows[3][3] = {{1, 1, 2}, {2, 1, 3}, {3, 2, 3}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(cpx.wpair[i + 1].wpar, rows[i][0]);
    EXPECT_EQ(cpx.wpair[i + 1].wj, rows[i][1]);
    EXPECT_EQ(cpx.wpair[i + 1].wk, rows[i][2]);
  }
  EXPECT_EQ(cpx.wname[3], "W(jd,hed)");
  // default sd 2 scaled by the mean largest power (1) and the sizes (1, 1)
  EXPECT_EQ(cpx.wsd[1], 2);
  EXPECT_EQ(cpx.wsd[2], 0.5L);
  EXPECT_FALSE(cpx.wsddefault[2]);
  EXPECT_EQ(cpx.em[3].checkdiv, 1);
  EXPECT_EQ(cpx.em[3].checkcoef[2], 1);

  const ptype1& g = (*PREC1)[3];
  EXPECT_EQ(g.name, "g");
  EXPECT_EQ(g.suffix, "h");
  ASSERT_EQ(g.ninfo, 4);
  EXPECT_EQ(g.info[1], "# start x-eos: g_h");
  EXPECT_EQ(g.info[3], " a second line");
  EXPECT_EQ(g.xvar[1].name, "x(g)");
  EXPECT_EQ(g.xvar[1].readname, "x(g_h)");
  EXPECT_EQ(g.xvar[1].ndennames, 2);
  EXPECT_EQ(g.xvar[1].dennames[2], "xMg");
  EXPECT_EQ(g.xvar[1].denominator.terms[1].factors[1].v[2], 2);
  EXPECT_EQ(g.model, axtype::vanlaar);
  EXPECT_EQ(g.alphaa[2], 1.5L);
  EXPECT_EQ(g.wsd[1], 3 * 2 * (1 + 1.5L) * 0.5L);

  const ptype1& fl = (*PREC1)[4];
  EXPECT_TRUE(fl.isfluid);
  EXPECT_EQ(fl.em[2].fluidcode, 3);
  EXPECT_EQ(fl.model, axtype::vanlaar);
  EXPECT_EQ(fl.nwpair, 1);
  EXPECT_EQ(AIJ(2, 1), 10.5L);
  EXPECT_EQ(AIJ(6, 2), 0);
}

// A binary solution phase to break in the table below.
const std::string binary =
    "s 2 1\n x(s) 0.3\n p(fo) 1 1 1 1 -1 x\n p(fa) 1 1 0 1 1 x\n sf\n W(fo,fa) 3 0 0\n"
    " 2\n xa 1 1 1 1 -1 x\n xb 1 1 0 1 1 x\n fo 1 1 xa 1\n fa 1 1 xb 1\n";

std::string edit(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

struct failcase {
  std::string file;
  std::string message;
};

TEST_F(AxReader, EachFaultEndsTheRunWithItsMessage) {
  const std::string g2 = "g 2 2 garnet 12 ";
  const std::vector<failcase> cases = {
      {"*\nq\n", "setup phases: not enough in file"},
      {"oli 2 1\n x(oli)", "reading: unexpected end of input: guess for x(oli)"},
      {repeat("q\n", 401), "setup phases: too many phases (max = 400) "},
      {"q 1.5\n", "setupphases: activity for q not 0 > a \xB3 1"},
      {"q 0.5 2\n", "reading: expecting a name; got: 2 - name for 2nd phase"},
      {repeat("b 1 buffer make 1 q 1\n", 6), "setupphases: too many buffers"},
      {"qz 1 qz make 1 q 1\n", "setupphases: names: phase, qz, and end-member, qz, must be different"},
      {"qz 1\n", "read: unexpected end of input"},
      {"qz 1 qq 5\n", "reading: wrong code for additional info for qq"},
      {"qz 1 qq DQF 1 0 0\n", "setup phases: need to \"make\" end-member before DQF-ing it"},
      {"qz 1 qq make 1 q 1 DQF ordered\n", "setup phases: keyword after DQF not allowed now (include in make)"},
      {"qz 1 qq make 0\n", "setup phases: too few end-members to construct qq"},
      {"qz 1 qq make 7\n", "setup phases: too many end-members to construct qq (max = 6) "},
      {"qz 1 qq make 1 q x\n", "reading: expecting a rational (4); got: x - coeffs of end-members to construct qq"},
      {"zz\n", "reading: zz not in \"jx-ds62t.txt\""},
      {"Na+\n", "setupphases: charged species not allowed as end-members"},
      {"nc 1 n0 make 3 Na+ 1 Cl- 1 q 1\n", "setupphases: must be just 2 charged species in a compound"},
      {"nc 1 n0 make 2 Na+ 1 q 1\n", "setupphases: all species in a compound must be charged"},
      {"nc 1 n0 make 2 Na+ 1 Cl- 2\n", "setupphases: compound not in mean form"},
      {"nc 1 n0 make 2 Ca++ 1 Cl- 1\n", "setupphases: compound not charged-balanced"},
      {"s 0 1\n", "setup phases: less than 2 end-members in s"},
      {"s 16 1\n", "setup phases: too many end-members in s (max = 15) "},
      {edit(binary, "s 2 1", "s 2 3"), "setup phases: bad encoding for s"},
      {edit(edit(binary, "s 2 1", "s_h 2 1"), "x(s)", "x(s_h)"),
       "setup phases: longpnames not implemented for coding = 1"},
      {"_s 2 1\n", "long2shortpname: separator char in pname in wrong place in _s"},
      {g2 + "x(g)\n", "setup phases: no verbatim"},
      {g2 + "also f1 p1 f2 p2 f3 p3 f4 p4 f5 p5 f6 p6 f7 p7\n",
       "setup phases: too many samecoding names for g (max = 6) "},
      {g2 + "verbatim\n" + repeat("text\n", 100) + "verbatim\n", "setupphases: too many info lines for g"},
      {"header\n" + repeat("text\n", 599) + "header\n", "setupphases: too many header lines"},
      {g2 + "verbatim\nverbatim\n x(g) 0.5\n", "setup phases: with coding = 2, omit starting guesses for g"},
      {edit(binary, "x(s) 0.3", "x(s) 0"), "setup phases: guess for x(s) is zero"},
      {edit(binary, "x(s) 0.3", "x(s) 0.3 range 1 0"), "read: lower limit > upper limit (1)"},
      {edit(binary, "x(s) 0.3", "xs 0.3"), "setup phases: varname, \"xs\", should be in form \"xyzname(phasename)\""},
      {edit(binary, "x(s) 0.3", "x(t) 0.3"), "setup phases: name in t must be the same as phasename, s"},
      {edit(binary, " sf\n", " quad\n"), "setupphases: not recognised (should be ideal, sf or asf)"},
      {edit(binary, " 2\n xa", " 1\n xa"), "setup phases: less than 2 sf vars for s"},
      {edit(binary, " 2\n xa", " 31\n xa"), "setup phases: too many  sf vars for s (max = 30) "},
      {edit(binary, "fo 1 1 xa 1", "fo 1 0 xa 1"), "setup phases: too few terms in tmf for fo"},
      {edit(binary, "fo 1 1 xa 1", "fo 1 16 xa 1"), "setup phases: too many terms in tmf for fo (max = 15) "},
      {edit(binary, "fo 1 1 xa 1", "fo 1 1 xc 1"),
       "setup phases: xc not a sf name: name of 1st sf term in tmf for fo"},
      {edit(binary, "fo 1 1 xa 1", "fo 1 1 2 1"), "setup phases: 2 not a name of 1st sf term in tmf for fo"},
      {edit(binary, "fo 1 1 xa 1", "fo 1 1 xa 1 6"), "setup phases: wrong code in info for fo"},
      {edit(binary, "fo 1 1 xa 1", "fo 1 1 xa 1 make 1 fo 1"),
       "setupphases: names: end-member, fo, and name in make, fo, must be different"},
      {edit(binary, "p(fa)", "p(fb)"), "setupphases: name in propname, \"fb\" does not match fa in s"},
      {edit(binary, "W(fo,fa)", "Wfofa"), "setupphases: W not strictsyntax"},
      {edit(binary, "W(fo,fa)", "W(fo,py)"),
       "setupphases: names in  W name, \"W(fo,py)\" do not match \"fo\" and \"fa\" in s"},
      {edit(edit(binary, " sf\n", " asf\n"), " 2\n xa", " a(fo) 1 0 0 a(fx) 1 0 0\n 2\n xa"),
       "setupphases: name in alphaname, \"fx\" does not match \"fa\" in s"},
      {edit(binary, "p(fo) 1 1 1 1 -1 x", "p(fo) 0 1 1 1 -1 x"), "setup phases: too few sxterms in p(fo)"},
      {edit(binary, "p(fo) 1 1 1 1 -1 x", "p(fo) 25 1 1 1 -1 x"),
       "setup phases: too many sxterms in p(fo) (max = 24) "},
      {edit(binary, "p(fo) 1 1 1 1 -1 x", "p(fo) 1 0 1 1 -1 x"), "setup phases: too few x terms in p(fo)"},
      {edit(binary, "p(fo) 1 1 1 1 -1 x", "p(fo) 1 5 1 1 -1 x"),
       "setup phases: too many x terms in p(fo) (max = 4) "},
      {edit(binary, "p(fo) 1 1 1 1 -1 x", "p(fo) 1 1 1 -1 -1 x"), "setup phases: too few terms in x in p(fo)"},
      {edit(binary, "p(fo) 1 1 1 1 -1 x", "p(fo) 1 1 1 13 -1 x"),
       "setup phases: too many terms in x in p(fo) (max = 12) "},
      {edit(binary, "p(fo) 1 1 1 1 -1 x", "p(fo) 1 1 1 1 -1 z"),
       "setup phases: z not a variable name: index/name in 1st of 1st term in p(fo)"},
      {edit(binary, "p(fo) 1 1 1 1 -1 x", "p(fo) 1 1 1 1 -1 2"),
       "setup phases: illegal index/name in 1st of 1st term in p(fo)"},
      {edit(binary, "p(fo) 1 1 1 1 -1 x", "p(fo) 1 1 1 1 -1 1.5"),
       "setup phases: 1.5 not a index/name in 1st of 1st term in p(fo)"},
      {edit(binary, "p(fo) 1 1 1 1 -1 x", "p(fo) 1 1 0 0"), "setup phases: zero term in p(fo)"},
  };
  for (const failcase& c : cases) {
    SetUp();
    EXPECT_EQ(run(c.file), c.message) << c.file.substr(0, 200);
    TearDown();
  }
}

TEST_F(AxReader, FluidFaults) {
  auto fluid = [](const std::string& name, const std::string& e1, const std::string& e2, const std::string& w) {
    return name + " 2 1\n x(" + name + ") 0.5\n p(" + e1 + ") 1 1 1 1 -1 x\n p(" + e2 +
           ") 1 1 0 1 1 x\n sf W(" + e1 + "," + e2 + ") " + w + " 0 0\n 2\n xa 1 1 1 1 -1 x\n xb 1 1 0 1 1 x\n " +
           e1 + " 1 1 xa 1\n " + e2 + " 1 1 xb 1\n";
  };
  const std::vector<failcase> cases = {
      {fluid("fluidA", "H2O", "O2", "0"), "read: O2 not implemented in fluid coding"},
      {fluid("fluidA", "H2O", "N2", "0"), "read: end-member name in fluid not recognised"},
      {fluid("bi", "fo", "H2O", "0"), "read: H2O not in fluid/aq"},
      {fluid("aq1", "H2O", "CH4", "0"), "read: fluid name in aq not just H2O and CO2"},
      {fluid("aq1", "fo", "H2O", "0"), "read: 1st H2O-CO2 aq end-member must be \"H2O\""},
      {fluid("aq1", "H2O", "CO2", "3"), "read: set W(H2O-CO2) = 0 (its value is then hard-wired)"},
      {fluid("flx", "fo", "H2O", "0"), ""},
  };
  for (const failcase& c : cases) {
    SetUp();
    EXPECT_EQ(run(c.file), c.message) << c.file;
    TearDown();
  }
}

TEST_F(AxReader, AqueousPhaseGetsTheWaterCarbonDioxidePairFirst) {
  const std::string aq =
      "aq1 3 1\n x(aq1) 0.5\n y(aq1) 0.1\n p(H2O) 1 1 1 2 -1 x -1 y\n p(CO2) 1 1 0 1 1 x\n"
      " p(NaCl) 1 1 0 1 1 y\n sf W(H2O,CO2) 0 0 0 W(H2O,NaCl) 1 0 0 W(CO2,NaCl) 2 0 0\n"
      " 3\n xa 1 1 1 2 -1 x -1 y\n xb 1 1 0 1 1 x\n xc 1 1 0 1 1 y\n"
      " H2O 1 1 xa 1\n CO2 1 1 xb 1\n NaCl 1 1 xc 1 make 2 Na+ 1/2 Cl- 1/2\n";
  ASSERT_EQ(run(aq), "");
  const ptype1& p = (*PREC1)[1];
  EXPECT_TRUE(p.isaq);
  EXPECT_EQ(p.co2pos, 2);
  EXPECT_EQ(p.model, axtype::vanlaar);
  // The file's three pairs, the H2O-CO2 one among them, each once in file
  // order on its own parameter.
  ASSERT_EQ(p.nwpair, 3);
  for (long q = 1; q <= 3; ++q) {
    const long j = q == 3 ? 2 : 1, k = q == 1 ? 2 : 3;
    EXPECT_EQ(p.wpair[q].wpar, q);
    EXPECT_EQ(p.wpair[q].wj, j);
    EXPECT_EQ(p.wpair[q].wk, k);
  }
  EXPECT_EQ(p.em[3].makediv, 2);
  EXPECT_EQ(p.em[3].td[18], 1);
  EXPECT_EQ(p.em[3].td[19], 1);

  // An ideal file model has no pairs: the H2O-CO2 pair is put in, alone.
  TearDown();
  SetUp();
  ASSERT_EQ(run("aq2 2 1\n x(aq2) 0.5\n p(H2O) 1 1 1 1 -1 x\n p(CO2) 1 1 0 1 1 x\n ideal\n"
                " 2\n xa 1 1 1 1 -1 x\n xb 1 1 0 1 1 x\n H2O 1 1 xa 1\n CO2 1 1 xb 1\n"),
            "");
  const ptype1& b = (*PREC1)[1];
  EXPECT_EQ(b.model, axtype::vanlaar);
  ASSERT_EQ(b.nwpair, 1);
  EXPECT_EQ(b.wpair[1].wpar, 1);
  EXPECT_EQ(b.wpair[1].wj, 1);
  EXPECT_EQ(b.wpair[1].wk, 2);
}

TEST_F(AxReader, AmbiguousOneAfterADataSetName) {
  // "q 1" where q is a data-set end-member: the answer decides.
  ASSERT_EQ(run("q 1\n", "yes\n"), "");
  EXPECT_EQ((*PREC0)[1].activity, 1);
  EXPECT_NE(term.text().find("datafile appears to be ambiguous: a 1 immediately follows q;"), std::string::npos);
  ASSERT_EQ(run("q 1 qq make 1 q 1\n", "no\n"), "");
  EXPECT_EQ((*PREC0)[1].emname, "qq");
}

TEST_F(AxReader, OneLineFileAndOptionsByNumber) {
  ASSERT_EQ(run("qz 1 qq 4 1 ordered q 1/2 3 0 0 0"), "");
  const ptype0& p = (*PREC0)[1];
  EXPECT_EQ(p.makeaction[1], makeactiontype::ordered);
  EXPECT_EQ(p.makediv, 2);
  EXPECT_EQ(p.makecoef[1], 1);
  EXPECT_EQ(p.dqfcode, 0);
  ASSERT_EQ(run("qz 1 qq 6\n"), "");
  EXPECT_EQ((*PREC0)[1].nmake, -1);
}

TEST_F(AxReader, BufferDqfMovesWithTheScriptOffset) {
  BUFFERC = "bf";
  BUFFERDEL = 1;
  ASSERT_EQ(run("bf 1 buffer make 1 q 1 deltaG(mod) 0 0.5 0\n"), "");
  EXPECT_EQ((*PREC0)[1].dqfcode, 2);
  EXPECT_EQ((*PREC0)[1].dqfb, 0.5L + 0.0083144L * 2.302585092994046L);
}

TEST_F(AxReader, SameCodingGroupOfTheFile) {
  NSC = 1;  // one group from the script
  const std::string g =
      "g_h 2 2 garnet 12 also garnet2 gb garnet3 gc_h verbatim\nverbatim\n"
      " x(g_h) - p(alm) 1 1 0 1 1 x p(py) 1 1 1 1 -1 x ideal\n 2 xa 1 1 0 1 1 x xb 1 1 1 1 -1 x\n"
      " alm 1 1 xa 3 py 1 1 xb 3\n";
  // The file alone: the set-up against the script would merge the groups.
  dir.write("jx-t.txt", g);
  auto reader = std::make_unique<ZQREAD2::axreader>();
  reader->READFILE();
  EXPECT_EQ(reader->modelphase[2], 1);
  EXPECT_EQ(NSC, 2);
  EXPECT_EQ(ISC[2], 2);
  EXPECT_EQ(ISC0[1], 2);
  EXPECT_EQ(SCNAME(2, 1), "gb");
  EXPECT_EQ(LONGSCNAME(2, 1), "gb_h");
  EXPECT_EQ(LONGSCNAME(2, 2), "gc_h");
  EXPECT_EQ(FULLSCNAME(2, 2), "garnet3");
  const ptype1& p = (*PREC1)[1];
  EXPECT_EQ(p.nsamecoding, 2);
  EXPECT_EQ(p.samecodingnames[2], "gc");
  EXPECT_EQ(p.xvar[1].nnumnames, 0);
}

// A variable named from Q or N is an order variable without "isQ".
TEST_F(AxReader, VariablesNamedFromQOrNAreOrderVariables) {
  // the expressions by the variable's index
  std::string byindex = binary;
  for (std::size_t at = byindex.find(" x\n"); at != std::string::npos; at = byindex.find(" x\n", at))
    byindex.replace(at, 3, " 1\n");
  for (const std::string v : {"Q", "N"}) {
    ASSERT_EQ(run(edit(byindex, "x(s) 0.3", v + "(s) 0.3")), "") << v;
    EXPECT_TRUE((*PREC1)[1].xvar[1].isorder) << v;
    EXPECT_TRUE((*PREC1)[1].hasorder) << v;
  }
  ASSERT_EQ(run(binary), "");
  EXPECT_FALSE((*PREC1)[1].hasorder);
}

// The plain forms are read in the files above.
TEST_F(AxReader, HandlePhaseNameOtherSuffix) {
  sstring lng = "g_x", sh, sfx = "h";
  ZQREAD2::HANDLEPNAME(lng, sh, sfx);
  EXPECT_EQ(lng + " " + sh + " " + sfx, "g_h g h");
  lng = "abcdefghijklmnopqrst";  // lengthened past a name's 22 characters
  sfx = "xyz";
  EXPECT_THROW(ZQREAD2::HANDLEPNAME(lng, sh, sfx), IO::runend);
}

}  // namespace
