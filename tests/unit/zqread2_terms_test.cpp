// Tests of the a-x expression reader: token forms, printing read back,
// names of analysis expressions and zeroing.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "zqread2_testsupport.h"

using namespace ZQGLOBAL;

namespace {

bool same(const termtype& a, const termtype& b) {
  if (a.nterms != b.nterms) return false;
  for (long t = 1; t <= a.nterms; ++t) {
    const sxtermtype &p = a.terms[t], &q = b.terms[t];
    if (p.coef != q.coef || p.nfactors != q.nfactors) return false;
    for (long f = 1; f <= p.nfactors; ++f) {
      const xtermtype &x = p.factors[f], &y = q.factors[f];
      if (x.cn != y.cn || x.cd != y.cd || x.m != y.m) return false;
      for (long k = 1; k <= x.m; ++k)
        if (x.an[k] != y.an[k] || x.ad[k] != y.ad[k] || x.v[k] != y.v[k]) return false;
    }
  }
  return true;
}

// A reader over tokens, in a phase whose variables are x(p) and y(p).
class ReadTerm : public axtest::AxTest {
 protected:
  void SetUp() override {
    AxTest::SetUp();
    NPSS = 1;
    (*PREC1)[1].nvar = 2;
    (*PREC1)[1].nprop = 3;
  }
  std::unique_ptr<ZQREAD2::axreader> reader(const std::string& tokens) {
    dir.write("e.txt", tokens + "\nend\n");
    if (IO::DATA.f != nullptr) std::fclose(IO::DATA.f);
    IO::DATA = IO::textfile{};
    IO::DATA.f = std::fopen("e.txt", "rb");
    auto r = std::make_unique<ZQREAD2::axreader>();
    r->STARTTOKENS();
    r->nvnames = 2;
    r->vnames[1] = "x";
    r->vnames[2] = "y";
    return r;
  }
  termtype read(const std::string& tokens, bool single = false, bool withcoef = false) {
    auto r = reader(tokens);
    termtype t;
    try {
      r->READTERM(t, " in e", single, withcoef);
    } catch (const IO::runend& e) {
      ADD_FAILURE() << tokens << ": " << e.where << ": " << e.message;
    }
    EXPECT_EQ(r->token, "end") << tokens;
    return t;
  }
};

TEST_F(ReadTerm, TokenForms) {
  eqvector x;
  x[1] = 0.25L;
  x[2] = 0.5L;
  struct row {
    std::string tokens;
    bool single, withcoef;
    extended want;
  };
  const std::vector<row> rows = {
      {"1 1 1 1 -1 x", false, false, 0.75L},
      {"1 1 1 1 -1 1", false, false, 0.75L},
      {"2 1 0 1 1 x 1 0 1 1 y", false, false, 0.75L},
      {"1 1 1 0", false, false, 1},
      {"1 2 1/2 1 1 y 0 2 2 x 1/2 y", false, false, 1 * (0.5L + 0.5L) * (0.5L + 0.25L)},
      {"1 1 0.5 0", false, false, 0.5L},
      {"1 1 -1 x", true, false, 0.75L},
      {"2 3 1 0 1 1 x -1 1 0 1 1 y", false, true, 3 * 0.25L - 0.5L},
      {"-2 1 1 -1 x", true, true, -1.5L},
  };
  for (const row& r : rows) {
    const termtype t = read(r.tokens, r.single, r.withcoef);
    EXPECT_EQ(ZQUTE1::SUBSTERM(t, x, 1), r.want) << r.tokens;
  }
  EXPECT_TRUE(same(read("1 1 1 1 -1 x"), read("1 1 1 1 -1 1")));
}

TEST_F(ReadTerm, RawPrintingReadsBackTheSameRecord) {
  for (const std::string tokens : {"1 1 1 1 -1 x", "2 1 0 1 1 x 1 0 1 1 y", "1 2 1/2 1 1 y 0 2 2 x 1/2 y",
                                   "3 1 1/3 2 -1 x 2/3 y 2 1 1 1 x 0 1 1 y 1 0 2 1/2 y 2 x"}) {
    const termtype t = read(tokens);
    std::string raw;
    {
      testsupport::Terminal out;
      auto r = reader("x");
      r->WRITERAWTERM("e", t);
      raw = out.text();
    }
    ASSERT_EQ(raw.substr(0, 2), "e\n");
    EXPECT_TRUE(same(read(raw.substr(2)), t)) << tokens << "\n" << raw;
  }
}

TEST_F(ReadTerm, AnalysisExpressionsCollectTheirNames) {
  auto r = reader("0 3 1 xFe 1/2 xMg 1 xFe 1 1 2 xCa 1 0 1 0");
  termtype num, den;
  r->READTERMXYZ(num, 1, 1, " of numerator in x(p)");
  const xvartype& xv = (*PREC1)[1].xvar[1];
  EXPECT_EQ(xv.nnames, 2);
  EXPECT_EQ(xv.names[2], "xMg");
  EXPECT_EQ(num.terms[1].factors[1].v[3], 1);
  // the list starts afresh for each expression
  r->READTERMXYZ(den, 1, 1, " of denominator in x(p)");
  EXPECT_EQ(xv.nnames, 1);
  EXPECT_EQ(xv.names[1], "xCa");
  EXPECT_EQ(den.terms[1].factors[1].an[1], 2);

  auto r2 = reader("0 1 1 3");
  EXPECT_THROW(r2->READTERMXYZ(num, 1, 1, ""), IO::runend);  // an index beyond the list
  auto r3 = reader("1 0 1 1 0");
  EXPECT_THROW(r3->READTERM(num, "", false, true), IO::runend);  // a coefficient of 0
}

TEST_F(ReadTerm, Zeroing) {
  struct row {
    std::string tokens;
    long zero;
    bool empty;
    std::string left;
  };
  const std::vector<row> rows = {
      {"1 1 1 1 -1 x", 1, false, "1 1 1 0"},
      {"1 1 0 1 1 x", 1, true, ""},
      {"2 1 0 1 1 x 1 0 1 1 y", 1, false, "1 1 0 1 1 y"},
      {"1 1 1 2 -1 x -1 y", 2, false, "1 1 1 1 -1 x"},
      {"1 2 1 1 -1 y 0 1 1 x", 1, true, ""},
      {"1 1 1 1 -1 x", 2, false, "1 1 1 1 -1 x"},
  };
  for (const row& r : rows) {
    auto rd = reader(r.tokens);
    termtype t;
    rd->READTERM(t, " in e", false, false);
    rd->zeroed.fill(false);
    rd->zeroed[r.zero] = true;
    EXPECT_EQ(rd->ZTERM(t), r.empty) << r.tokens;
    if (!r.empty) {
      EXPECT_TRUE(same(t, read(r.left))) << r.tokens;
    }
  }
}

}  // namespace
