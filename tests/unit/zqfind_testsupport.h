// Reactions among made-up end-members of constant volume and no heat
// capacity beyond a linear term b T, whose G is
//   H - T S + (P - Pr) V - b (T - Tr)^2 / 2,
// so that their lines have closed forms; and the window and precision
// globals the one-reaction solver reads, put back after each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_model.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "model/zqcalc1.h"

namespace findtest {

using namespace ZQGLOBAL;

struct row {
  const char* name;
  extended H, S, V, b = 0;
};

// Polymorphs A and B: A = B lies at P = 5.001 kbar at 700 K and climbs
// 20 K per kbar.
const std::vector<row> POLYMORPHS = {{"A", -2000, 0.100L, 3.0L}, {"B", -2003, 0.095L, 2.9L}};
// B with less entropy and a heat capacity: the line bends back in T.
const std::vector<row> BEND = {{"A", -2000, 0.100L, 3.0L}, {"B", -2003, 0.090L, 2.9L, 2e-5L}};

class FindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetio();
    ZQUTE1::SETUP();
    RESETMODEL();
    RESETSOLVER();
    RESETREACTIONS();
    TD->fill(0);
    R->fill(0);
    COV->fill(0);
    CALCMODE = calcmodetype::phasecalc;
    DIAGRAMMODE = diagramtype::ptcalc;
    DSMODE = 6;
    WITHOLDSET = false;
    FLUIDTYPE = ftype::notset;
    CO2POS = H2OPOS = AQSIPOS = 0;
    TPRECISION = 2;
    PPRECISION = 3;
    XCO2PRECISION = 2;
    window(0, 40, 300, 1300);
    XCO2LOW = 0.01L;
    XCO2HIGH = 0.99L;
    FIXEDXCO2 = 0;
    FIXEDXH2O = 1;
    CONTROLJX.setloga = no;
    KEEPLNAS.fill(0);
    NR = 1;
    rows(POLYMORPHS);
    reaction({-1, 1});
  }
  void TearDown() override {
    ZQUTE1::CLEANUP();
    RESETMODEL();
    RESETSOLVER();
    RESETREACTIONS();
    NCV = 0;
    NR = 0;
    DSMODE = 0;
    CALCMODE = calcmode_;
    DIAGRAMMODE = diagram_;
    TLOW = tlow_, THIGH = thigh_, PLOW = plow_, PHIGH = phigh_;
    XCO2LOW = xlow_, XCO2HIGH = xhigh_, LNALOW = lnalow_, LNAHIGH = lnahigh_, MULOW = mulow_, MUHIGH = muhigh_;
    FIXEDP = fixedp_, FIXEDT = fixedt_, FIXEDXCO2 = fixedxco2_, FIXEDXH2O = fixedxh2o_;
    PPRECISION = 3, TPRECISION = 2, XCO2PRECISION = 2;
    CONTROLJX.setloga = no;
    KEEPLNAS.fill(0);
    ACTIVITY.fill(0);
    SDACTIVITY.fill(0);
    testsupport::resetio();
  }

  // End-members 1..n of the calculation with activity 1.
  static void rows(const std::vector<row>& list) {
    NCV = static_cast<smallint>(list.size());
    for (std::size_t k = 0; k < list.size(); ++k) {
      const long i = static_cast<long>(k + 1);
      NAME[i] = list[k].name;
      (*TD)(i, TDSLOT::H) = list[k].H;
      (*TD)(i, TDSLOT::S) = list[k].S;
      (*TD)(i, TDSLOT::V) = list[k].V;
      (*TD)(i, TDSLOT::CPB) = list[k].b;
      ACTIVITY[i] = 1;
      SDACTIVITY[i] = 0;
    }
  }
  static void reaction(const std::vector<smallint>& nu, long k = 1) {
    for (long j = 1; j <= maxem; ++j) (*R)(k, j) = 0;
    for (std::size_t j = 0; j < nu.size(); ++j) (*R)(k, static_cast<long>(j + 1)) = nu[j];
  }
  static void window(extended plow, extended phigh, extended tlow, extended thigh) {
    PLOW = plow;
    PHIGH = phigh;
    TLOW = tlow;
    THIGH = thigh;
  }
  // Gibbs-energy evaluations made by call.
  static long gems(const std::function<void()>& call) {
    const auto before = static_cast<std::uint32_t>(IO::NGEM);
    call();
    return static_cast<long>(static_cast<std::uint32_t>(IO::NGEM) - before);
  }
  static extended dmu(extended P, extended T, extended xco2 = 0, extended xh2o = 1, smallint k = 1) {
    extended dV = 0, dmudT = 0, d = 0;
    ZQCALC1::CALCDMU(k, dV, dmudT, d, P, T, xco2, xh2o);
    return d;
  }

 private:
  calcmodetype calcmode_ = CALCMODE;
  diagramtype diagram_ = DIAGRAMMODE;
  extended tlow_ = TLOW, thigh_ = THIGH, plow_ = PLOW, phigh_ = PHIGH;
  extended xlow_ = XCO2LOW, xhigh_ = XCO2HIGH, lnalow_ = LNALOW, lnahigh_ = LNAHIGH, mulow_ = MULOW,
           muhigh_ = MUHIGH;
  extended fixedp_ = FIXEDP, fixedt_ = FIXEDT, fixedxco2_ = FIXEDXCO2, fixedxh2o_ = FIXEDXH2O;
};

}  // namespace findtest
