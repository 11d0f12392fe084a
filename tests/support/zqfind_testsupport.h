// Reactions among made-up end-members of constant volume whose G is
//   H - T S + (P - Pr) V - b (T - Tr)^2 / 2,
// so that their lines have closed forms; the window and precision globals
// the one-reaction solver reads are put back after each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <tuple>
#include <vector>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_model.h"
#include "frame/zqute1.h"
#include "handrows.h"
#include "iotestsupport.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"

namespace findtest {

using namespace ZQGLOBAL;

struct row {
  const char* name;
  extended H, S, V, b = 0;
};

// Polymorphs: A = B lies at 5.001 kbar at 700 K and climbs 20 K per kbar.
const std::vector<row> POLYMORPHS = {{"A", -2000, 0.100L, 3.0L}, {"B", -2003, 0.095L, 2.9L}};
// B with less entropy and a heat capacity: the line bends back in T.
const std::vector<row> BEND = {{"A", -2000, 0.100L, 3.0L}, {"B", -2003, 0.090L, 2.9L, 2e-5L}};

// The results of one search, derivatives preset to tell "untouched".
struct roots {
  extended x1 = 0, x2 = 0, dV1 = 9, dV2 = 9, dmudT1 = 9, dmudT2 = 9;
};

class FindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
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
    window(0, 40, 300, 1300);
    XCO2LOW = 0.01L, XCO2HIGH = 0.99L;
    FIXEDXCO2 = 0, FIXEDXH2O = 1;
    NR = 1;
    rows(POLYMORPHS);
    reaction({-1, 1});
  }
  void TearDown() override {
    ZQUTE1::CLEANUP();
    RESETMODEL();
    RESETSOLVER();
    RESETREACTIONS();
    NCV = NR = DSMODE = 0;
    CO2POS = H2OPOS = 0;
    PPRECISION = 3, TPRECISION = 2, XCO2PRECISION = 2;
    CONTROLJX.setloga = no;
    KEEPLNAS.fill(0);
    ACTIVITY.fill(0);
    SDACTIVITY.fill(0);
    std::tie(CALCMODE, DIAGRAMMODE) = modes_;
    std::tie(TLOW, THIGH, PLOW, PHIGH, XCO2LOW, XCO2HIGH, LNALOW, LNAHIGH, MULOW, MUHIGH) = windows_;
    std::tie(FIXEDP, FIXEDT, FIXEDXCO2, FIXEDXH2O) = fixed_;
    testsupport::freshstate();
  }

  // End-members 1..n of the calculation, activity 1.
  static void rows(const std::vector<row>& list) {
    NCV = static_cast<smallint>(list.size());
    for (long i = 1; i <= NCV; ++i) {
      const row& r = list[static_cast<std::size_t>(i - 1)];
      testsupport::handrow(i, r.name, r.H, r.S, r.V, r.b);
    }
  }
  static void reaction(const std::vector<smallint>& nu) {
    for (long j = 1; j <= maxem; ++j) (*R)(1, j) = j <= static_cast<long>(nu.size()) ? nu[static_cast<std::size_t>(j - 1)] : 0;
  }
  static void window(extended plow, extended phigh, extended tlow, extended thigh) {
    PLOW = plow, PHIGH = phigh, TLOW = tlow, THIGH = thigh;
  }
  // Gibbs-energy evaluations made by call.
  static long gems(const std::function<void()>& call) {
    const auto before = static_cast<std::uint32_t>(IO::NGEM);
    call();
    return static_cast<long>(static_cast<std::uint32_t>(IO::NGEM) - before);
  }
  static extended dmu(extended P, extended T) {
    extended dV = 0, dmudT = 0, d = 0;
    ZQCALC1::CALCDMU(1, dV, dmudT, d, P, T, 0, 1);
    return d;
  }
  // Reaction 1 solved along kind at the given P or T (both passed).
  static roots find(findtype kind, extended at, bool useguess = false, extended guess = 0) {
    roots r;
    r.x1 = guess;
    ZQCALC2::FIND(1, kind, useguess, r.x1, r.x2, r.dV1, at, at, 0, 1, r.dV2, r.dmudT1, r.dmudT2);
    return r;
  }

 private:
  std::tuple<calcmodetype, diagramtype> modes_{CALCMODE, DIAGRAMMODE};
  std::tuple<extended, extended, extended, extended, extended, extended, extended, extended, extended, extended>
      windows_{TLOW, THIGH, PLOW, PHIGH, XCO2LOW, XCO2HIGH, LNALOW, LNAHIGH, MULOW, MUHIGH};
  std::tuple<extended, extended, extended, extended> fixed_{FIXEDP, FIXEDT, FIXEDXCO2, FIXEDXH2O};
};

}  // namespace findtest
