// A data set's enthalpy covariances that mean nothing: calc modes 2 and 3
// stop naming the end-members rather than print uncertainties whose values
// depend on the path that reached them (with a variance of -0.25661 kJ^2
// average P came out 10.64 or 10.57 at one T, by the list of T).
#include <string>

#include "harness.h"

using e2e::has;

namespace {

// Five made-up end-members; the covariance block's first entry, the
// variance of eas, is below 0 (the rest of the block is positive definite
// when it is +0.25661). Calc mode 2, average P over calcT 500 700 50.
const std::vector<std::string> fixture = {"negvarcov"};

std::string dataset(const std::string& first, const std::string& easebt) {
  return "7 5 don't alter this line or the layout of the records below, made up for testing\n\n"
         "eas  easlong  1  1 2.0  0\n0\n-270.877 0.1658 2.639 0.0 0.0 0.0 0.0\n0.0 0.0 0.0\n\n"
         "ebt  ebtlong  1  5 2.0  0\n0\n-494.525 0.0900 5.764 0.0 0.0 0.0 0.0\n0.0 0.0 0.0\n\n"
         "ecu  eculong  1  6 1.0  0\n0\n57.851 0.2990 1.223 0.0 0.0 0.0 0.0\n0.0 0.0 0.0\n\n"
         "edv  edvlong  1  1 1.0 5 2.0 6 2.0  0\n0\n-914.854 0.2608 4.016 0.0 0.0 0.0 0.0\n0.0 0.0 0.0\n\n"
         "eew  eewlong  1  1 1.0 5 1.0  0\n0\n-367.679 0.1268 2.418 0.0 0.0 0.0 0.0\n0.0 0.0 0.0\n\n"
         "1.0\n" +
         first + " " + easebt +
         " 0.01775 -0.01322 -0.00190 0.14321 -0.00241 -0.00492\n"
         "-0.01188 0.37296 -0.00952 -0.00119 0.47721 0.00772 0.40758\n\n"
         "made-up rock data set zz, 8 dec 2026 (sigfit =  1.000)\n";
}

TEST(MeaninglessCovariance, StopsAverageAndSectionNamingTheEndMembers) {
  const struct {
    const char* what;
    std::map<std::string, std::string> files;
    const char* answers;
    const char* stop;
  } cases[] = {
      {"a variance below 0", {}, "", "-- run bombed in calccov : variance below 0 - covariances of eas\n"},
      // 0.5 against sqrt(0.25661 x 0.14321) = 0.1917
      {"a correlation above 1",
       {{"jx-ds7zz.txt", dataset("0.25661", "0.5")}},
       "",
       "-- run bombed in calccov : covariance beyond the product of the sd's - covariances of eas and ebt\n"},
      {"calc mode 3",
       {{"jx-prefs.txt", "dsfile 7zz\nscriptfile zz\ncalcmode 3\nsetpagewidth 250\n*\n"},
        {"jx-zz.txt", "axfile zzax\nwith eas ebt ecu edv eew\ncalctype 1\ndiagramPT 0.5 30 200 1200\n"
                      "schreinemakers no\ninexcess\nfluidpresent no\n*\n"}},
       "y\n2 28 2\n",
       "-- run bombed in ptxtable : variance below 0 - covariances of eas\n"},
  };
  for (const auto& c : cases) {
    const e2e::Run r = e2e::run(fixture, c.answers, c.files);
    EXPECT_EQ(r.status, 1) << c.what << "\n" << r.out;
    EXPECT_TRUE(has(r.out, c.stop)) << c.what << "\n" << r.out;
    EXPECT_FALSE(has(r.out, "av P")) << c.what;
    EXPECT_FALSE(has(r.out, "sd(ln_K)")) << c.what;
  }
  // The same block with the variance above 0 means something: the averages.
  const e2e::Run r = e2e::run(fixture, "", {{"jx-ds7zz.txt", dataset("0.25661", "-0.02458")}});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(has(r.out, "av P")) << r.out;
}

}  // namespace
