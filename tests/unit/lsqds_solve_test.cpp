// The two least-squares solvers of calc mode 9 against a reference worked
// out in exact rational arithmetic, and their stops on an unfixed problem.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;

namespace {

struct row {
  std::vector<smallint> coef;
  long double y, sd;
};

const std::vector<row> sixrows = {{{1, 0, 0}, -900, 1},   {{0, 1, 0}, -1205, 2},  {{0, 0, 1}, -2110, 1.5},
                                  {{-1, 1, 0}, -303, 0.5}, {{-2, 0, 1}, -308, 0.8}, {{0, -1, 1}, -903, 1.2}};

class LeastSquaresSolve : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    dir.write("ds-prefs.txt", "*\n");
    LSQDS::INTRO();
  }
  void TearDown() override { testsupport::freshstate(); }
  void load(const std::vector<row>& rows, long double sdfactor = 1) {
    LSQDS::NEXP = static_cast<smallint>(rows.size());
    NTP = static_cast<smallint>(rows[0].coef.size());
    for (smallint r = 1; r <= LSQDS::NEXP; ++r) {
      const row& w = rows[static_cast<std::size_t>(r - 1)];
      for (smallint j = 1; j <= NTP; ++j) {
        const smallint c = w.coef[static_cast<std::size_t>(j - 1)];
        (*LSQDS::B)(r, j) = c != 0;
        (*LSQDS::LHS)(r, j) = c;
      }
      (*LSQDS::Y)[r] = w.y;
      LSQDS::SDYBR[r] = w.sd * sdfactor;
    }
  }
  testsupport::ScratchDir dir;
  testsupport::Terminal term;
};

TEST_F(LeastSquaresSolve, BothSolversMatchTheReference) {
  const double theta[] = {-900.42799148, -1203.80071432, -2108.51585501};
  const double c[3][3] = {{0.357921607, 0.360731696, 0.506781215},
                          {0.360731696, 0.573386746, 0.564699068},
                          {0.506781215, 0.564699068, 1.101597567}};
  const double hat[] = {0.357922, 0.143347, 0.489599, 0.839380, 0.790874, 0.378879};
  for (void (*solve)() : {LSQDS::QR, LSQDS::CHOLESKI}) {
    load(sixrows);
    solve();
    for (int j = 1; j <= 3; ++j) EXPECT_NEAR((double)(*LSQDS::THETA)[j], theta[j - 1], 1e-7);
    EXPECT_NEAR((double)LSQDS::SIG2, 1.43367423, 1e-8);
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) EXPECT_NEAR((double)(*LSQDS::XX)(i, j), c[i - 1][j - 1], 1e-9) << i << "," << j;
    for (int r = 1; r <= 6; ++r) EXPECT_NEAR((double)(*LSQDS::HAT)[r], hat[r - 1], 1e-6) << r;

    // Every sd doubled: the same enthalpies, a quarter of the variance.
    load(sixrows, 2);
    solve();
    EXPECT_NEAR((double)(*LSQDS::THETA)[2], theta[1], 1e-7);
    EXPECT_NEAR((double)LSQDS::SIG2, 1.43367423 / 4, 1e-8);

    // As many rows as unknowns: the data back, nothing left over.
    load({sixrows[0], sixrows[1], sixrows[2]});
    solve();
    EXPECT_NEAR((double)(*LSQDS::THETA)[3], -2110, 1e-9);
    EXPECT_NEAR((double)LSQDS::SIG2, 0, 1e-18);
  }
  EXPECT_NE(term.text().find("\nlsq (choleski) gives sigfit = 1.197     (ndf = 3)\n\n"), std::string::npos);
}

TEST_F(LeastSquaresSolve, UnfixedEnthalpiesStopTheFit) {
  // An end-member in no row; and two seen only as their difference, which
  // rounding leaves a pivot of about 1e-16 instead of 0.
  const std::vector<row> unused = {{{1, 0}, -10, 1}, {{1, 0}, -11, 1}};
  const std::vector<row> difference = {{{1, 0, 0}, -10, 1}, {{0, 1, -1}, -3, 0.3}, {{0, 1, -1}, -3.1, 0.7},
                                       {{1, 1, -1}, -13, 1}};
  for (const auto& rows : {unused, difference}) {
    load(rows);
    EXPECT_EQ(testsupport::fatal(LSQDS::QR), "qr: matrix is singular");
    load(rows);
    EXPECT_EQ(testsupport::fatal(LSQDS::CHOLESKI), "choleski: sqrt");
  }
}

}  // namespace
