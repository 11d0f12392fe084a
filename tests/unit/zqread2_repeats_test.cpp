// A name written twice in one list of one a-x model: the name once where
// the two say the same and the list is reached by name alone (site
// fractions, end-member options, samecoding pairs), else a stop naming it.
// Lists whose places are counted by the model (variables, proportions,
// interaction energies, size parameters, end-members) stop either way: a
// second place under one name is reached by no look-up.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "zqread2_testsupport.h"

using namespace ZQGLOBAL;

namespace {

using AxRepeats = axtest::AxTest;

// A ternary of three site fractions, strict names, one option slot after jd.
const std::string ternary =
    "cpx 3 1\n x(cpx) 0.2\n j(cpx) 0.1\n"
    " p(di) 1 1 1 2 -1 x -1 j\n p(hed) 1 1 0 1 1 x\n p(jd) 1 1 0 1 1 j\n"
    " sf\n W(di,hed) 4 0 0\n W(di,jd) 26 0 0\n W(hed,jd) 24 0 0\n"
    " 3\n xMg 1 1 1 2 -1 x -1 j\n xFe 1 1 0 1 1 x\n xNa 1 1 0 1 1 j\n"
    " di 1 1 xMg 1\n hed 1 1 xFe 1\n jd 1 1 xNa 1 OPTIONS\n";

std::string edit(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string options(const std::string& o) { return edit(ternary, "OPTIONS", o); }

struct repeatcase {
  std::string file;
  std::string message;  // "" where the file is read
};

class AxRepeatsRun : public AxRepeats {
 protected:
  std::string read(const std::string& text) { return run(text); }
  void expectall(const std::vector<repeatcase>& cases, bool strict) {
    for (const repeatcase& c : cases) {
      IO::CONTROLIO.strictaxnames = strict;
      EXPECT_EQ(read(c.file), c.message) << c.file;
    }
  }
};

TEST_F(AxRepeatsRun, EveryCountedListStopsAtARepeatAlikeOrNot) {
  const std::string twice = "setup phases: ";
  const std::vector<repeatcase> cases = {
      // variables, order variables among them
      {edit(options(""), "j(cpx) 0.1", "x(cpx) 0.2"), twice + "x(cpx) given twice in the variables of cpx"},
      {edit(options(""), "j(cpx) 0.1", "x(cpx) 0.1 isQ"), twice + "x(cpx) given twice in the variables of cpx"},
      // proportions, with the same expression and another
      {edit(options(""), "p(jd) 1 1 0 1 1 j", "p(hed) 1 1 0 1 1 x"),
       twice + "p(hed) given twice in the proportions of cpx"},
      {edit(options(""), "p(jd)", "p(hed)"), twice + "p(hed) given twice in the proportions of cpx"},
      // interaction energies, the same values and others
      {edit(options(""), "W(hed,jd) 24", "W(di,hed) 4"), twice + "W(di,hed) given twice in the interaction energies of cpx"},
      {edit(options(""), "W(hed,jd)", "W(di,jd)"), twice + "W(di,jd) given twice in the interaction energies of cpx"},
      // size parameters
      {edit(edit(options(""), " sf\n", " asf\n"), " 3\n xMg", " a(di) 1 0 0 a(hed) 1 0 0 a(hed) 1 0 0\n 3\n xMg"),
       twice + "a(hed) given twice in the size parameters of cpx"},
      // end-members, the same ideal-mixing term and another
      {edit(options(""), "jd 1 1 xNa 1", "hed 1 1 xFe 1"), twice + "hed given twice in the end-members of cpx"},
      {edit(options(""), "jd 1 1 xNa 1", "di 1 1 xNa 1"), twice + "di given twice in the end-members of cpx"},
      // a constituent of a recipe (a factor of an ideal-mixing term is a product)
      {options("make 2 q 1/2 q 1/2"), twice + "q given twice in the make of jd in cpx"},
      {"qz 1 qq make 3 q 1 ky 1 q 1\n", twice + "q given twice in the make of qq in qz"},
  };
  // Strict names would stop at the proportion or W name first: the lists
  // are reached each by itself without them.
  expectall(cases, false);
  // With strict names the end-member written twice stops at its proportion,
  // named, before the names are matched.
  IO::CONTROLIO.strictaxnames = true;
  EXPECT_EQ(read(edit(edit(options(""), "jd 1 1 xNa 1", "hed 1 1 xNa 1"), "p(jd)", "p(hed)")),
            twice + "p(hed) given twice in the proportions of cpx");
}

// A product or a sum as written: an ideal-mixing factor twice is its square,
// a variable twice in one factor of a site fraction the sum of its parts,
// in the value, the variable-limit row and the bounds alike (1 - x - j with
// x in two halves is the row of 1 - x - j; 1 - 2x with x twice bounds x
// at 1/2).
TEST_F(AxRepeatsRun, AFactorTwiceIsTheProductAndAPartTwiceTheSum) {
  ASSERT_EQ(read(edit(options(""), "hed 1 1 xFe 1", "hed 1 2 xFe 1 xFe 1")), "");
  const emtype& hed = (*PREC1)[1].em[2];
  ASSERT_EQ(hed.nsfterm, 2);
  EXPECT_EQ(hed.sfterm[1].sfindex, 2);
  EXPECT_EQ(hed.sfterm[2].sfindex, 2);

  // xMg's row (x, j, constant), its value at x 0.2, j 0.1, and x's bounds
  auto row = [] {
    const ptype1& p = (*PREC1)[1];
    EXPECT_EQ(p.nvarlim, 1);
    std::string r = IO::REAL2STR(p.xvar[1].high, 3, true) + (p.xvar[1].highkind == acctype::inaccessible ? "!" : "?");
    for (long c = 1; c <= p.nprop; ++c) r += " " + IO::INT2STR(p.varlimn(1, c)) + "/" + IO::INT2STR(p.varlimd(1, c));
    eqvector x{"x"};
    x[1] = 0.2L;
    x[2] = 0.1L;
    return r + " = " + IO::REAL2STR(ZQUTE1::SUBSTERM(p.sf[1], x, 1), 6, true);
  };
  const std::string ranged = edit(options(""), "x(cpx) 0.2", "x(cpx) 0.2 range -1 2");
  ASSERT_EQ(read(edit(ranged, "xFe 1 1 0 1 1 x", "xFe 1 1 1 1 -2 x")), "");
  const std::string once = row();
  EXPECT_EQ(once, "0.500! -1/1 -1/1 1/1 = 0.700000");
  for (const char* halves : {"1 1 1 3 -1/2 x -1 j -1/2 x", "1 1 1 3 -0.5 x -1 j -2/4 x"}) {
    const std::string xfe = "xFe 1 1 1 2 -1 x -1 x";
    ASSERT_EQ(read(edit(edit(ranged, "1 1 1 2 -1 x -1 j", halves), "xFe 1 1 0 1 1 x", xfe)), "");
    EXPECT_EQ(row(), once) << halves;
  }
}

TEST_F(AxRepeatsRun, ASiteFractionWrittenTwiceAlikeIsKeptOnce) {
  const std::string four = edit(options(""), " 3\n xMg 1 1 1 2 -1 x -1 j\n xFe 1 1 0 1 1 x\n",
                                " 4\n xMg 1 1 1 2 -1 x -1 j\n xFe 1 1 0 1 1 x\n xFe 1 1 0 1 1 x\n");
  ASSERT_EQ(read(four), "");
  const ptype1& p = (*PREC1)[1];
  ASSERT_EQ(p.nsf, 3);
  EXPECT_EQ(p.sfname[3], "xNa");
  EXPECT_EQ(p.em[3].sfterm[1].sfindex, 3);
  EXPECT_EQ(p.em[2].sfterm[1].sfindex, 2);
  // written with its rationals in another form: the same value
  ASSERT_EQ(read(edit(four, "xFe 1 1 0 1 1 x\n xFe 1 1 0 1 1 x", "xFe 1 1 0 1 1 x\n xFe 1 1 0.0 1 2/2 x")), "");
  EXPECT_EQ((*PREC1)[1].nsf, 3);

  const std::string differ = "setup phases: xFe given twice in the site fractions of cpx with different values";
  EXPECT_EQ(read(edit(four, "xFe 1 1 0 1 1 x\n xFe 1 1 0 1 1 x", "xFe 1 1 0 1 1 x\n xFe 1 1 1 1 -1 x")), differ);
  EXPECT_EQ(read(edit(four, "xFe 1 1 0 1 1 x\n xFe 1 1 0 1 1 x", "xFe 1 1 0 1 1 x\n xFe 1 1 0 1 1 j")), differ);
  // the same first factor, then a second one of 1/2: x / 2
  EXPECT_EQ(read(edit(four, "xFe 1 1 0 1 1 x\n xFe 1 1 0 1 1 x", "xFe 1 1 0 1 1 x\n xFe 1 2 0 1 1 x 1/2 0")), differ);
  // two alike leave one: fewer than a model needs
  EXPECT_EQ(read(edit(four, " 4\n xMg 1 1 1 2 -1 x -1 j\n", " 2\n")), "setup phases: less than 2 sf vars for cpx");
}

TEST_F(AxRepeatsRun, AnEndMemberOptionWrittenTwiceIsTheOptionOnceOrAStop) {
  const std::vector<repeatcase> once = {
      {options("make 1 q 1 DQF 5 0 0 DQF 5 0 0"), ""},
      {options("make 1 q 1 make 1 q 1"), ""},
      {options("make 2 q 1/2 ky 1/3 make 2 q 2/4 ky 1/3"), ""},
      {options("check 0 1 check 0 1"), ""},
      {options("exclude exclude"), ""},
  };
  expectall(once, true);
  ASSERT_EQ(read(options("make 1 q 1 DQF 5 0 0 DQF 5 0 0")), "");
  EXPECT_EQ((*PREC1)[1].em[3].dqfa, 5);

  const std::string dqf = "setup phases: DQF of jd given twice in cpx with different values";
  const std::string make = "setup phases: make of jd given twice in cpx with different values";
  const std::vector<repeatcase> differ = {
      {options("make 1 q 1 DQF 5 0 0 DQF 1 0 0"), dqf},
      {options("make 1 q 1 DQF 5 0 0 DQF 5 0 0.1"), dqf},
      {options("make 1 q 1 DQF 5 0 0 deltaG(make) 5 0 0"), dqf},
      {options("make 1 ky 1 DQF 5 0 0 make 1 q 1"), make},
      {options("make 1 q 1 make 1 q 1/2"), make},
      {options("make 1 q 1 make 1 ordered q 1"), make},
      {options("make 1 q 1 make 2 q 1 ky 1"), make},
      {options("check 1 0 check 0 1"), "setup phases: check of jd given twice in cpx with different values"},
  };
  expectall(differ, true);
}

TEST_F(AxRepeatsRun, APurePhaseOptionWrittenTwice) {
  ASSERT_EQ(read("qz 1 qq make 1 q 1 DQF 1.5 0 0 DQF 1.5 0 0\n"), "");
  EXPECT_EQ((*PREC0)[1].dqfa, 1.5L);
  ASSERT_EQ(read("qz 1 qq 6 6\n"), "");
  EXPECT_EQ((*PREC0)[1].nmake, -1);
  EXPECT_EQ(read("qz 1 qq make 1 q 1 DQF 3 0 0 DQF 1 0 0\n"),
            "setup phases: DQF of qq given twice in qz with different values");
  EXPECT_EQ(read("qz 1 qq make 1 q 1 6\n"), "setup phases: make of qq given twice in qz with different values");
  EXPECT_EQ(read("qz 1 qq 6 make 1 q 1\n"), "setup phases: make of qq given twice in qz with different values");
}

TEST_F(AxRepeatsRun, ASameCodingPairWrittenTwiceIsThePairOnce) {
  const std::string g = "g_h 2 2 garnet 12 also LIST verbatim\nverbatim\n"
                        " x(g_h) - p(alm) 1 1 0 1 1 x p(py) 1 1 1 1 -1 x ideal\n 2 xa 1 1 0 1 1 x xb 1 1 1 1 -1 x\n"
                        " alm 1 1 xa 3 py 1 1 xb 3\n";
  auto list = [&](const std::string& l) {
    dir.write("jx-t.txt", edit(g, "LIST", l));
    auto reader = std::make_unique<ZQREAD2::axreader>();
    try {
      reader->READFILE();
    } catch (const IO::runend& e) {
      return e.where + ": " + e.message;
    }
    return std::string();
  };
  // gb_h is gb with the phase's suffix: the same pair
  ASSERT_EQ(list("garnet2 gb garnet3 gc garnet2 gb_h"), "");
  EXPECT_EQ(ISC[NSC], 2);
  EXPECT_EQ((*PREC1)[1].nsamecoding, 2);
  EXPECT_EQ(FULLSCNAME(NSC, 2), "garnet3");
  EXPECT_EQ(list("garnet2 gb garnet2 gc"),
            "setup phases: garnet2 given twice in the samecoding list of g_h with different values");
  EXPECT_EQ(list("garnet2 gb garnet3 gb"),
            "setup phases: gb given twice in the samecoding list of g_h with different values");
}

TEST_F(AxRepeatsRun, AFluidsEndMemberWrittenTwice) {
  IO::CONTROLIO.strictaxnames = false;
  const std::string fluid =
      "fluid 2 1\n x(fluid) 0.5\n p(a) 1 1 1 1 -1 x\n p(b) 1 1 0 1 1 x\n sf W(w) 10 0 0\n"
      " 2\n xa 1 1 1 1 -1 x\n xb 1 1 0 1 1 x\n H2O 1 1 xa 1\n CO2 1 1 xb 1\n";
  ASSERT_EQ(read(fluid), "");
  EXPECT_EQ(read(edit(fluid, "CO2 1 1 xb 1", "H2O 1 1 xb 1")),
            "setup phases: H2O given twice in the end-members of fluid");
}

}  // namespace
