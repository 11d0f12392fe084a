// Value lists made from a window and an increment, typed or from the script.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "frame/io.h"
#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"

using namespace ZQGLOBAL;
using testsupport::Answers;
using testsupport::Terminal;

namespace {

constexpr extended K = 273.15L;

template <class L>
std::vector<extended> values(const L& list, smallint n) {
  std::vector<extended> v;
  for (long i = 1; i <= n; ++i) v.push_back(list[i]);
  return v;
}

std::vector<extended> row(const listmatrix& m, smallint k, smallint n) {
  std::vector<extended> v;
  for (long i = 1; i <= n; ++i) v.push_back(m(k, i));
  return v;
}

void expectnear(const std::vector<extended>& got, const std::vector<extended>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(static_cast<double>(got[i]), static_cast<double>(want[i]), 1e-9);
}

class Lists : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    IO::CONTROLIO.pagewidth = 200;
    CPINC = CTINC = 0;
    VARIANCE = 1;
    FIX = fixtype::fixp;
    CALCVARIABLE = calcvariabletype::calcpressure;
    CONTROLJX.setlna = yes;
    NLP = NLT = NLX = 0;
  }
  void TearDown() override {
    testsupport::freshstate();
    CPINC = CTINC = 0;
  }
  testsupport::ScratchDir dir;
};

TEST_F(Lists, SteppedAndOneShotLists) {
  // kind: 'P' LISTP3, 'T' LISTT3, 'p' LISTP, 't' LISTT; precisions -1 are
  // not looked at
  struct Case {
    char kind;
    fixtype fix;
    extended low, high, scriptinc;
    std::string answers;
    std::vector<extended> want;
    std::string said;
    smallint pprec, tprec;
  };
  const Case cases[] = {
      {'P', fixtype::fixp, 1, 10, 2, "", {1, 3, 5, 7, 9, 10}, "P interval = 2.0 (from script)\n", 3, 2},
      {'P', fixtype::fixp, 5, 5, 0, "", {5}, "", 3, -1},
      // nearest count for temperatures, truncated for pressures
      {'T', fixtype::fixp, 500 + K, 600 + K, 0, "35\n", {500 + K, 535 + K, 570 + K, 605 + K}, "T interval : ", 4, 2},
      {'P', fixtype::fixp, 100, 200, 0, "35\n", {100, 135, 170, 200}, "P interval : ", -1, -1},
      {'T', fixtype::fixp, 500 + K, 500 + K, 10, "", {500 + K}, "", -1, 2},
      {'T', fixtype::fixp, 400, 600, 50, "", {400, 450, 500, 550, 600}, "T interval = 50 (from script)\n", -1, -1},
      // the one-shot lists repair an increment rather than ask again
      {'p', fixtype::fixp, 1, 3, 5, "", {1, 2, 3}, "P interval = 1.0 kbar (from script)\n", -1, -1},
      {'t', fixtype::fixt, 400, 650, 0, "100\n", {400, 500, 600, 650}, "T interval : ", -1, -1},
      // with listed pressures the script's T increment is used unannounced
      {'t', fixtype::fixp, 400, 650, 30, "", {400, 430, 460, 490, 520, 550, 580, 610, 640, 650}, "", -1, -1},
  };
  for (const Case& c : cases) {
    Terminal term;
    Answers a(c.answers);
    FIX = c.fix;
    CPINC = CTINC = 0;
    TPRECISION = PPRECISION = 0;
    const bool p = c.kind == 'P' || c.kind == 'p';
    (p ? PLOW : TLOW) = c.low;
    (p ? PHIGH : THIGH) = c.high;
    (p ? CPINC : CTINC) = c.scriptinc;
    if (c.kind == 'P') ZQUTE1::LISTP3();
    if (c.kind == 'T') ZQUTE1::LISTT3();
    if (c.kind == 'p') ZQUTE1::LISTP();
    if (c.kind == 't') ZQUTE1::LISTT();
    expectnear(p ? values(LP, NLP) : values(LT, NLT), c.want);
    EXPECT_EQ(term.text(), c.said);
    if (c.pprec >= 0) {
      EXPECT_EQ(PPRECISION, c.pprec) << c.said;
    }
    if (c.tprec >= 0) {
      EXPECT_EQ(TPRECISION, c.tprec) << c.said;
    }
  }
  // pressures not listed: the caller's count stays
  Answers a("");
  FIX = fixtype::fixt;
  CPINC = 0;
  NLP = 7;
  ZQUTE1::LISTP();
  EXPECT_EQ(NLP, 7);
}

TEST_F(Lists, IncrementDialogueAsksUntilUsable) {
  Terminal term;
  Answers a("20\n-1\n0\n0.004\n0.005\n");
  PLOW = 1;
  PHIGH = 2;
  ZQUTE1::LISTP3();
  EXPECT_EQ(term.text(),
            "P interval : "
            "P interval too large : max P(high) - P(low) = 1.0\ntry again: P interval : "
            "P interval must be positive - try again: P interval : "
            "P interval too small : max of 201 pressures\ntry again: P interval : "
            "P interval too small : max of 201 pressures\ntry again: P interval : ");
  EXPECT_EQ(NLP, 201);
  EXPECT_NEAR(static_cast<double>(LP[201]), 2.0, 1e-9);
}

TEST_F(Lists, NoListOutgrowsItsTable) {
  struct Case {
    extended low, high, inc;
  };
  const Case cases[] = {{0, 1, 0.005L}, {0.3L, 1.3L, 0.005L}, {0, 3, 0.015L}};
  for (const Case& c : cases) {
    Terminal term;
    Answers a(IO::REAL2STR(c.inc, 6, true) + "\n");
    PLOW = c.low;
    PHIGH = c.high;
    CPINC = c.inc;
    ZQUTE1::LISTP3();
    EXPECT_LE(NLP, 201);
    EXPECT_NEAR(static_cast<double>(LP[NLP]), static_cast<double>(c.high), 1e-4);
    CPINC = c.inc / 1000;  // far too many values: repaired, not asked
    ZQUTE1::LISTP();
    EXPECT_EQ(NLP, 201);
    EXPECT_NEAR(static_cast<double>(LP[NLP]), static_cast<double>(c.high), 1e-6);
    ZQUTE1::LISTMU(1, c.low, c.high);
    EXPECT_LE(NLMU[1], 201);
    EXPECT_NEAR(static_cast<double>(LMU(1, NLMU[1])), static_cast<double>(c.high), 1e-4);
  }
}

// Increments whose repeated sums pass the window's top by a rounding error
// in 80 bits (1 + 10 x 0.1 is 2 + 2e-19): the last value is the edge itself,
// and a table heads its column with the value, not with "+".
TEST_F(Lists, LastValueOnTheWindowsEdgeIsInside) {
  struct Case {
    char kind;  // 'P' LISTP3, 'p' LISTP, 'l' LISTLNA, 'm' LISTMU
    extended low, high, inc;  // the increment from the script, or typed
    smallint n;
  };
  const Case cases[] = {{'P', 1, 2, 0.1L, 11}, {'P', 0.5L, 1.5L, 0.1L, 11}, {'P', 1, 3, 0.2L, 11},
                        {'p', 1, 2, 0.1L, 11}, {'l', -2, 0, 0.1L, 21},     {'m', 1, 3, 0.2L, 11}};
  for (const Case& c : cases) {
    Terminal term;
    Answers a(c.kind == 'l' || c.kind == 'm' ? IO::REAL2STR(c.inc, 1, true) + "\n" : "");
    PLOW = c.low, PHIGH = c.high, CPINC = c.inc;
    std::vector<extended> v;
    if (c.kind == 'P') ZQUTE1::LISTP3(), v = values(LP, NLP);
    if (c.kind == 'p') ZQUTE1::LISTP(), v = values(LP, NLP);
    if (c.kind == 'l') ZQUTE1::LISTLNA(1, c.low, c.high), v = row(LLNA, 1, NLLNA[1]);
    if (c.kind == 'm') ZQUTE1::LISTMU(1, c.low, c.high), v = row(LMU, 1, NLMU[1]);
    ASSERT_EQ(static_cast<smallint>(v.size()), c.n) << c.kind << " " << static_cast<double>(c.low);
    EXPECT_EQ(v.back(), c.high) << c.kind << " " << static_cast<double>(c.low);
    if (c.kind == 'P') {
      std::string field;
      ZQUTE2::WRITEP(v.back(), 8, field);
      EXPECT_EQ(field, "   " + IO::REAL2STR(c.high, 3, true)) << static_cast<double>(c.low);
    }
  }
}

TEST_F(Lists, ActivityAndChemicalPotentialLists) {
  {
    Terminal term;
    Answers a("3\n");
    CALCVARIABLE = calcvariabletype::calctemperature;
    ZQUTE1::LISTMU(2, 0, 10);
    expectnear(row(LMU, 2, NLMU[2]), {0, 3, 6, 9, 10});
    EXPECT_EQ(term.text(), "\xB5 window : 0 <-> 10.0 : \n\xB5 interval : ");
    EXPECT_EQ(TPRECISION, 2);
  }
  {
    Terminal term;
    Answers a("5\n0\n0.5\n");
    ZQUTE1::LISTLNA(1, -2, 0);
    expectnear(row(LLNA, 1, NLLNA[1]), {-2, -1.5L, -1, -0.5L, 0});
    EXPECT_EQ(term.text(),
              "ln a window : -2.0 <-> 0 : \nln a interval : interval too large : \n   max = 2.0\n"
              "try again: interval : interval too small : max of 201 values\ntry again: interval : ");
    EXPECT_EQ(LNAPRECISION, 2);
  }
  {
    Terminal term;
    Answers a("0.3\n");
    ZQUTE1::LISTA(1, 0.1L, 0.5L);
    expectnear(row(LLNA, 1, NLLNA[1]), {std::log(0.1L), std::log(0.4L), std::log(0.5L)});
  }
}

TEST_F(Lists, XCO2FromTheBuiltInListOrTyped) {
  {
    Terminal term;
    Answers a("y\n");
    XCO2LOW = 0.02L;
    XCO2HIGH = 0.9L;
    ZQUTE1::LISTXCO2();
    EXPECT_EQ(term.text(),
              "x(CO2) window : 0.02 <-> 0.9\n0.02 0.05 0.1 0.2 0.4 0.6 0.8 0.9  : use these x(CO2) ? ");
    expectnear(values(LXCO2, NLX), {0.02L, 0.05L, 0.1L, 0.2L, 0.4L, 0.6L, 0.8L, 0.9L});
    EXPECT_NEAR(static_cast<double>(LXH2O[1]), 0.98, 1e-12);
    EXPECT_EQ(XCO2PRECISION, 2);
  }
  {
    Terminal term;
    Answers a("0.3 0.2 0.25\n");
    XCO2LOW = 0.1L;
    XCO2HIGH = 0.5L;  // only four entries: a list is asked for
    ZQUTE1::LISTXCO2();
    EXPECT_EQ(term.text(), "x(CO2) window : 0.1 <-> 0.5\nx(CO2) in ascending order : ");
    expectnear(values(LXCO2, NLX), {0.1L, 0.3L, 0.25L, 0.5L});
  }
  {
    Terminal term;
    Answers a("\n");
    XCO2LOW = 0.0001L;
    XCO2HIGH = 0.5L;
    ZQUTE1::LISTXCO2();
    expectnear(values(LXCO2, NLX), {0.0001L, 0.5L});
    EXPECT_EQ(XCO2PRECISION, 4);
  }
}

}  // namespace
