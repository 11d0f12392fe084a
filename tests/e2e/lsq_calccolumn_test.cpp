// Calc mode 9's tables of an unknown-composition univariant: each bracket
// line shows what its own solve calculated, never the P or T it held.
#include <map>
#include <string>

#include "harness.h"

using e2e::has;

namespace {

// ss (ideal binary of ma and mb) + pa + pb, ma = pa and mb = pb, with
// G = H - T S + (P - 0.001) V; calorimetry sd's of 0.001 keep the fitted
// enthalpies at those read (cH -11.24 and -10.42). Two P reversals (4 / 6
// kbar at 590 C, 7 / 9 kbar at 620 C) and a half-bracket at 8 kbar, 610 C.
// The equilibria, solved apart with mpmath (findroot of
// exp(dGa/RT) + exp(dGb/RT) = 1, 30 digits): P 5.14602 kbar at 590 C,
// 7.69652 kbar at 620 C, T 623.563 C at 8 kbar.
// The halves of a reversal differ in composition, so in ln K, and each
// prints as a line of its own.
TEST(LeastSquaresCalcColumn, PSolvedBracketsShowTheirPressure) {
  const e2e::Run r = e2e::run({"lsq", "lsqpsolve"}, "2\n",
                              {{"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix pv\naxsuffix gr\nxpsuffix pv\n*\n"}});
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string& sum = r.files.at("ds-o6cv.txt");
  // The solve's own table: P solved at the first two, T at the third. The
  // pairs, written code 1 first, run the wrong way measured from their
  // code-0 halves (h -11.07 at 6 kbar above -11.50 at 4): the group is
  // reversed at the first iteration and the half-bracket of code 0 stands
  // on the upper side from then on, 14 below its 624, as the previous build
  // shows for the file with each pair written code 0 first.
  EXPECT_TRUE(has(sum, "\n       4.0  6.0     590        5.1            0.3976\n"
                       "       7.0  9.0     620        7.7            0.4044\n"
                       "          8.0          610     624      14    0.4051\n"))
      << sum;
  // Each record's bracket lines: P in columns 20-28, calc in 68-74.
  for (const char* title : {"\n1) 1 ^  ma = pa   (pv)\n", "\n2) 2 ^  mb = pb   (pv)\n"}) {
    const std::size_t at = sum.find(title);
    ASSERT_NE(at, std::string::npos) << title << sum;
    std::map<std::string, std::string> calc;
    std::size_t line = sum.find('\n', sum.find("ln_K", at)) + 1;
    for (int k = 0; k < 5; ++k) {
      const std::size_t end = sum.find('\n', line);
      const std::string l = sum.substr(line, end - line);
      ASSERT_GE(l.size(), 74u) << l;
      calc[l.substr(19, 9)] = l.substr(67, 7);
      line = end + 1;
    }
    EXPECT_EQ(calc["      4.0"], "   5.15") << title;  // P solved at 590 C
    EXPECT_EQ(calc["      7.0"], "   7.70") << title;  // P solved at 620 C
    EXPECT_EQ(calc["      8.0"], "    624") << title;  // T solved at 8 kbar
    // The second halves were not solved.
    EXPECT_EQ(calc["      6.0"], "       ") << title;
    EXPECT_EQ(calc["      9.0"], "       ") << title;
  }
}

}  // namespace
