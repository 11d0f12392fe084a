// The avPT+ Monte Carlo limits on the linear fixture: thousands of
// crossover searches, run once by their own test program. For this linear
// model the samples' covariance is (J'WJ)^-1.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "avptx_testsupport.h"

using namespace ZQGLOBAL;
using namespace avptxtest;

namespace {

struct moments {
  std::size_t n = 0;
  double mp = 0, mt = 0, sp = 0, st = 0, r = 0;
};

// Mean, sd and correlation of the "P, T" rows; each row P in 10 with 3
// decimals, ", ", T in 10 with 2 decimals.
moments csvmoments(const std::string& csv, double pnom, double tnom) {
  moments m;
  double sp = 0, st = 0, spp = 0, stt = 0, spt = 0;
  for (const std::string& row : testsupport::lines(csv)) {
    EXPECT_EQ(row.size(), 22u) << row;
    EXPECT_EQ(row.substr(10, 2), ", ");
    EXPECT_EQ(row[6], '.');
    EXPECT_EQ(row[19], '.');
    const double p = std::stod(row.substr(0, 10)) - pnom, t = std::stod(row.substr(12)) - tnom;
    ++m.n, sp += p, st += t, spp += p * p, stt += t * t, spt += p * t;
  }
  const double n = static_cast<double>(m.n);
  m.mp = sp / n, m.mt = st / n;
  const double vp = spp / n - m.mp * m.mp, vt = stt / n - m.mt * m.mt;
  m.sp = std::sqrt(vp * n / (n - 1)), m.st = std::sqrt(vt * n / (n - 1));
  m.r = (spt / n - m.mp * m.mt) / std::sqrt(vp * vt);
  return m;
}

// The covariance of the samples for this linear model, (J'WJ)^-1 with
// W = (rock cov + calculated cov)^-1 and J the b and c columns.
constexpr double sdp = 0.471721, sdt = 7.806682, corr = -0.237454;

}  // namespace

TEST(AvptXLimits, SamplesSpreadAsTheLinearModelSays) {
  setup();
  const run r = driver("1\n0\n");
  ASSERT_EQ(r.end, "") << r.out.substr(r.out.size() > 2000 ? r.out.size() - 2000 : 0);
  inorder(r.out, {"mc: good = 2000 (tried = 2000; failed: too few data = 0, no block bracket = 0, delP same in ih = 0, "
                  "no collapse in ih = 0)",
                  "looks like an ok result?"});
  const std::vector<double> sd = numbers(r.out, "from the 95% ci");
  ASSERT_EQ(sd.size(), 3u) << r.out;
  EXPECT_NEAR(sd[0] / sdp, 1, 0.08);
  EXPECT_NEAR(sd[1] / sdt, 1, 0.08);
  EXPECT_NEAR(sd[2], corr, 0.25);
  const std::vector<double> mid = numbers(r.out, "mid 95% ci");
  ASSERT_EQ(mid.size(), 2u);
  EXPECT_NEAR(mid[0], 6.5, 0.15 * sdp);
  EXPECT_NEAR(mid[1], 620, 0.15 * sdt);
  const moments m = csvmoments(r.csv, 6.5, 620);
  EXPECT_EQ(m.n, 2000u);
  EXPECT_NEAR(m.sp / sdp, 1, 0.06);
  EXPECT_NEAR(m.st / sdt, 1, 0.06);
  EXPECT_NEAR(m.r, corr, 0.07);
}

TEST(AvptXLimits, ASmallerFactorIsTakenBack) {
  setup();
  const run r = driver("1\n0.2\n0\n");
  ASSERT_EQ(r.end, "");
  EXPECT_NE(r.out.find("(with ufac = 0.200)"), std::string::npos);
  const moments m = csvmoments(r.csv, 6.5, 620);
  EXPECT_EQ(m.n, 4000u);
  EXPECT_NEAR(m.sp / sdp, 1, 0.06);
  EXPECT_NEAR(m.st / sdt, 1, 0.06);
  EXPECT_NEAR(m.r, corr, 0.07);
}

TEST(AvptXLimits, OneVariableAtAFixedTOrP) {
  // At a fixed T (P) the samples' sd is 1 / sqrt(b'Wb) (1 / sqrt(c'Wc)).
  struct fc {
    smallint kind;
    const char* result;
    double nominal, sd;
  };
  const fc cases[] = {
      {2, "at T = 620.00\xA1" "C, with  45 PT calcs, avp+ = 6.500 kbar, sigfit = ",
       6.500010, 0.458229},
      {3, "at P = 6.50 kbar, with  45 PT calcs, avT+ = 620.00\xA1" "C, sigfit = ",
       620.000051, 7.583402},
  };
  for (const fc& c : cases) {
    SCOPED_TRACE(c.kind);
    setup(c.kind);
    AVPFIXEDT = 620;
    AVTFIXEDP = 6.5L;
    const run r = driver("1\n0\n");
    ASSERT_EQ(r.end, "");
    EXPECT_NE(r.out.find(c.result), std::string::npos) << r.out.substr(0, 3000);
    // A sample beyond the calculations (3 sd above 6.5 kbar) has no
    // crossover, and only such tries fail.
    EXPECT_NE(r.out.find("mc: good = 4000 (tried = 40"), std::string::npos);
    EXPECT_NE(r.out.find("; failed: too few data = 0, no crossover (+?) = "), std::string::npos);
    EXPECT_NE(r.out.find(", bad ih/data = 0)"), std::string::npos);
    const std::vector<double> sd = numbers(r.out, "from the 95% ci");
    ASSERT_EQ(sd.size(), 1u);
    EXPECT_NEAR(sd[0] / c.sd, 1, 0.08);
    double n = 0, s = 0, ss = 0;
    for (const std::string& row : testsupport::lines(r.csv)) {
      EXPECT_EQ(row.size(), 10u);
      const double x = std::stod(row) - c.nominal;
      n += 1, s += x, ss += x * x;
    }
    EXPECT_EQ(n, 4000);
    EXPECT_NEAR(std::sqrt((ss - s * s / n) / (n - 1)) / c.sd, 1, 0.06);
    EXPECT_NEAR(s / n, 0, 0.15 * c.sd);
  }
}
