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

// The fixture's data set with the variance of eas and its covariance with ebt.
std::string dataset(const std::string& variance, const std::string& easebt) {
  std::string ds = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/negvarcov/jx-ds7zz.txt");
  return ds.replace(ds.find("-0.25661 -0.02458"), 17, variance + " " + easebt);
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
