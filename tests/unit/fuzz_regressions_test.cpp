// Inputs the fuzzing of the readers found, replayed through the same
// drivers: each must end normally or in a clean fatal stop with the user's
// fault, never in an internal fault or a sanitizer report.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "fuzzdrivers.h"
#include "iotestsupport.h"

namespace {

using driver = fuzzdrive::outcome (*)(const std::string&);

struct Case {
  const char* what;
  driver reader;
  std::string input;
  const char* where;  // of the fatal stop; nullptr: a normal end
  const char* message;
};

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(SOLVARINTH_FIXTURES) + "/" + name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string sep(std::initializer_list<std::string> parts) {
  std::string s;
  for (const std::string& p : parts) {
    if (&p != parts.begin()) s += fuzzdrive::SEPARATOR;
    s += p;
  }
  return s;
}

class FuzzRegressions : public ::testing::Test {
 protected:
  void TearDown() override {
    fuzzdrive::resetstate();
    ZQUTE1::CLEANUP();
  }
};

TEST_F(FuzzRegressions, ReadersStopCleanly) {
  const Case cases[] = {
      // a rational with a zero part passes for a number and converts to none
      {"zero denominator", fuzzdrive::script, "calcsdnle 3/0\n\n", "reading script for calcsdnle",
       "number is not a number"},
      // counts and codes written as reals must fit an integer
      {"mcfunc term count", fuzzdrive::script,
       "cinemu -cndowPT 0 0 0\nmu a0 0\nmcfunc f 0 327680\n", "reading scripts",
       "a number that should be an integer is too large (max 32766)"},
      {"mcit count", fuzzdrive::script, "mcit 1 1e6\n", "reading scripts",
       "a number that should be an integer is too large (max 32766)"},
      // a covariance beyond single precision would be held as an infinity
      {"huge covariance", fuzzdrive::dataset,
       replaced(fixture("dataset/jx-ds6qz1.txt"), "\n0.1 1.2", "\n1e39 1.2"), "setuptextread",
       "covariance too large for single precision - covariances of qtzx"},
      {"huge negative covariance", fuzzdrive::dataset,
       sep({replaced(fixture("dataset/jx-ds6qz1.txt"), " 2.4 ", " -4e38 "), "1"}), "setuptextread",
       "covariance too large for single precision - covariances of wqL"},
      // the words of an internal-fault notice in a data set's creation line
      // are the user's text, not an internal fault
      {"notice text in the creation line", fuzzdrive::dataset,
       replaced(fixture("dataset/jx-ds6qz1.txt"), "made up", "===This shouldn't have happened...==="),
       nullptr, nullptr},
      {"data set read", fuzzdrive::dataset, fixture("dataset/jx-ds6qz1.txt"), nullptr, nullptr},
      // calc mode 9 converts its end-member file through the whole run
      {"end-member file converted", fuzzdrive::run,
       sep({"scriptfile fz\ncalcmode 9\n", "*\n", "", "jxdssuffix fz\nemsuffix fz\n*\n", "0\n",
            "6\n\nq  SiO2\n 1 1 10 2 0\n0\n -910\n 0.04\n 2.2\n 0 0 0 0\n 0\n 730 6\n\n*\n"}),
       nullptr, nullptr},
      {"end-member file without its end", fuzzdrive::run,
       sep({"scriptfile fz\ncalcmode 9\n", "*\n", "", "jxdssuffix fz\nemsuffix fz\n*\n", "0\n", "6\n\nq  SiO2\n 1"}),
       "readth", "file ends without \"*\": a formula amount of q missing"},
      // a fit through the whole run, and its experiments file cut off
      {"fit of a binary", fuzzdrive::run,
       sep({"scriptfile fz\ncalcmode 9\n", "*\n", "", "jxdssuffix fz\nemsuffix fz\naxsuffix fz\nxpsuffix fz\n*\n",
            "2\n", fixture("lsq/ds-emab.txt"), fixture("lsq/ds-axab.txt"), fixture("lsq/ds-xpab.txt")}),
       nullptr, nullptr},
      {"experiments file without its end", fuzzdrive::run,
       sep({"scriptfile fz\ncalcmode 9\n", "*\n", "", "jxdssuffix fz\nemsuffix fz\naxsuffix fz\nxpsuffix fz\n*\n",
            "2\n", fixture("lsq/ds-emab.txt"), fixture("lsq/ds-axab.txt"),
            fixture("lsq/ds-xpab.txt").substr(0, fixture("lsq/ds-xpab.txt").find("0 5 750"))}),
       "readxy", "file ends inside the brackets of experiment 1 (made up)"},
  };
  for (const Case& c : cases) {
    testsupport::ScratchDir dir;
    testsupport::Terminal term;
    const fuzzdrive::outcome o = c.reader(c.input);
    const std::string text = term.text();
    EXPECT_FALSE(fuzzdrive::internalfault(o)) << c.what << "\n" << text;
    if (c.where == nullptr) {
      EXPECT_FALSE(o.ended) << c.what << ": " << o.where << " : " << o.message;
    } else {
      EXPECT_TRUE(o.ended) << c.what;
      EXPECT_EQ(o.where, c.where) << c.what;
      EXPECT_EQ(o.message, c.message) << c.what;
    }
  }
}

// The whole-run target runs one input after another in one process: a
// calc-mode-9 run finds the tables of the last and counts none again, so the
// heap count does not creep up, input after input, until it overflows.
TEST_F(FuzzRegressions, CalcModeNineRunsKeepTheHeapCount) {
  testsupport::ScratchDir dir;
  testsupport::Terminal term;
  const std::string convert =
      sep({"scriptfile fz\ncalcmode 9\n", "*\n", "", "jxdssuffix fz\nemsuffix fz\n*\n", "0\n",
           "6\n\nq  SiO2\n 1 1 10 2 0\n0\n -910\n 0.04\n 2.2\n 0 0 0 0\n 0\n 730 6\n\n*\n"});
  EXPECT_FALSE(fuzzdrive::run(convert).ended);
  const longint once = IO::HEAPSIZE;
  EXPECT_FALSE(fuzzdrive::run(convert).ended);
  EXPECT_EQ(IO::HEAPSIZE, once);
}

}  // namespace
