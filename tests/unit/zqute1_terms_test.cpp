// Tests of a-x expression evaluation and printing, and of short names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zqread2_testsupport.h"

using namespace ZQGLOBAL;

namespace {

// A factor cn/cd + sum of (an/ad) x[v].
xtermtype factor(smallint cn, smallint cd, std::vector<std::vector<smallint>> parts) {
  xtermtype f;
  f.cn = cn;
  f.cd = cd;
  f.m = static_cast<smallint>(parts.size());
  for (std::size_t k = 0; k < parts.size(); ++k) {
    f.an[static_cast<long>(k + 1)] = parts[k][0];
    f.ad[static_cast<long>(k + 1)] = parts[k][1];
    f.v[static_cast<long>(k + 1)] = parts[k][2];
  }
  return f;
}

termtype expression(std::vector<std::pair<extended, std::vector<xtermtype>>> terms) {
  termtype t;
  t.nterms = static_cast<smallint>(terms.size());
  for (std::size_t i = 0; i < terms.size(); ++i) {
    sxtermtype& st = t.terms[static_cast<long>(i + 1)];
    st.coef = terms[i].first;
    st.nfactors = static_cast<smallint>(terms[i].second.size());
    for (std::size_t j = 0; j < terms[i].second.size(); ++j) st.factors[static_cast<long>(j + 1)] = terms[i].second[j];
  }
  return t;
}

class Terms : public axtest::AxTest {
 protected:
  void SetUp() override {
    AxTest::SetUp();
    NPSS = 1;
    ptype1& p = (*PREC1)[1];
    p.name = "p";
    p.nprop = 3;
    p.nvar = 2;
    p.xvar[1].name = "x(p)";
    p.xvar[2].name = "y(p)";
  }
};

// Sums and products of the expression forms are covered through the reader.
TEST_F(Terms, Evaluation) {
  eqvector x;
  x[1] = 1;
  x[5] = 0.125L;
  struct row {
    termtype t;
    smallint offset;
    extended want;
  };
  const std::vector<row> rows = {
      {expression({{1, {factor(1, 1, {{-1, 1, 1}})}}}), 5, 0.875L},  // x[v + offset - 1]
      {expression({{0, {factor(1, 1, {})}}, {3, {}}}), 1, 3},        // coef 0 adds nothing; no factors adds coef
      {termtype{}, 1, 0},
      // ratios formed in double precision, then widened
      {expression({{1, {factor(1, 3, {})}}}), 1, static_cast<extended>(1.0 / 3.0)},
      {expression({{1, {factor(0, 1, {{2, 7, 1}})}}}), 1, static_cast<extended>(2.0 / 7.0)},
  };
  for (const row& r : rows) EXPECT_EQ(ZQUTE1::SUBSTERM(r.t, x, r.offset), r.want);
}

TEST_F(Terms, ZeroDenominatorIsReported) {
  eqvector x;
  for (const termtype& t : {expression({{1, {factor(1, 0, {})}}}), expression({{1, {factor(1, 1, {{1, 0, 1}})}}})}) {
    try {
      ZQUTE1::SUBSTERM(t, x, 1);
      ADD_FAILURE() << "no fatal error";
    } catch (const IO::runend& e) {
      EXPECT_EQ(e.where, "substerm");
      EXPECT_EQ(e.message, "zero denominator in an a-x expression");
    }
  }
}

TEST_F(Terms, ReadableAlgebra) {
  struct row {
    termtype t;
    bool magemin;
    std::string want;
  };
  const std::vector<row> rows = {
      {expression({{1, {factor(1, 1, {{-1, 1, 1}})}}}), false, "   e = 1 - x"},
      {expression({{1, {factor(0, 1, {{1, 1, 1}})}}, {1, {factor(0, 1, {{1, 1, 2}})}}}), false, "   e = x + y"},
      {expression({{1, {factor(1, 1, {{-1, 1, 1}}), factor(0, 1, {{1, 1, 2}})}}}), false, "   e = (1 - x)*y"},
      {expression({{1, {factor(1, 1, {{-1, 1, 1}}), factor(0, 1, {{1, 1, 2}})}}}), true, "   e = (1 - x) y"},
      {expression({{-2, {factor(0, 1, {{1, 1, 1}})}}}), false, "   e = (-2.00) x"},
      {expression({{1, {factor(1, 2, {{1, 2, 1}, {-3, 1, 2}})}}}), false, "   e = 1/2 + 1/2*x - 3*y"},
      {expression({{1, {factor(0, 1, {{1, 1, 1}})}}, {1, {factor(0, 1, {{-1, 1, 2}})}}}), false, "   e = x + (-y)"},
      {expression({{1, {factor(0, 1, {{1, 1, 1}})}}, {-3, {factor(0, 1, {{1, 1, 2}})}}}), false, "   e = x - 3.00 y"},
      {expression({{-1, {factor(0, 1, {{1, 1, 1}})}}, {1, {factor(2, 3, {})}}}), false, "   e = -x + 2/3"},
      {termtype{}, false, "   e = 0"},
  };
  for (const row& r : rows) {
    testsupport::Terminal t;
    CONTROLJX.magemin = r.magemin ? yes : no;
    ZQUTE1::WRITETERM(r.t, "e", 1, CHANNEL::TERMINAL);
    EXPECT_EQ(t.text(), r.want + "\n");
  }
}

TEST_F(Terms, LongExpressionsContinueOnANewLine) {
  termtype t;
  t.nterms = 24;
  for (long i = 1; i <= 24; ++i) t.terms[i] = expression({{1, {factor(1, 1, {{-1, 1, 1}, {1, 2, 2}})}}}).terms[1];
  testsupport::Terminal out;
  IO::CONTROLIO.dontwrap = false;  // the terminal shows the lines uncut
  ZQUTE1::WRITETERM(t, "long", 1, CHANNEL::TERMINAL);
  const std::string text = out.text();
  EXPECT_NE(text.find("\n        "), std::string::npos);
  for (std::size_t at = 0, next; (next = text.find('\n', at)) != std::string::npos; at = next + 1)
    EXPECT_LT(next - at, 200u);
}

TEST_F(Terms, ShortNamesLegalityAndPhaseList) {
  ptype1& p = (*PREC1)[1];
  p.xvar[1].name = "p(fo)";
  p.xvar[2].name = "Q[1](p)";
  nametype names;
  ZQUTE1::EXTRACTVNAME(1, names);
  EXPECT_EQ(names[1], "fo");
  EXPECT_EQ(names[2], "Q");

  p.nsf = 2;
  p.sf[1] = expression({{1, {factor(0, 1, {{1, 1, 1}})}}});
  p.sf[2] = expression({{1, {factor(1, 1, {{-1, 1, 1}})}}});
  p.xvar[1].guess = 0.3L;
  EXPECT_TRUE(ZQUTE1::XYZLEGAL(1));
  p.xvar[1].guess = 1;
  EXPECT_FALSE(ZQUTE1::XYZLEGAL(1));
  p.nsf = 0;
  EXPECT_TRUE(ZQUTE1::XYZLEGAL(1));

  NP0 = 1;
  (*PREC0)[1].name = "q";
  bemvector sel;
  sel[2] = true;
  testsupport::Terminal out;
  ZQUTE1::PRINTPHASES(sel);
  EXPECT_EQ(out.text(), "   (p)      q      \n");
}

}  // namespace
