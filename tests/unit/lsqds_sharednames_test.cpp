// An experiment whose header gives one end-member twice, as a phase's
// end-member and as a phase of its own or as the end-member of two phases:
// a reaction naming it is refused whatever order the header names them in.
#include <gtest/gtest.h>

#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "lsq/lsqds.h"
#include "lsqds_testsupport.h"

using testsupport::fatal;

namespace {

std::string em(const std::string& name, const std::string& h) {
  return name + "  AB\n 1 1.0 10 2.0 0\n0\n " + h + "\n 0.05\n 2.5\n 0 0 0 0\n 0\n 0 0\n\n";
}
std::string binary(const std::string& phase, const std::string& a, const std::string& b) {
  return phase + " 2 1\n  x(" + phase + ") 0.5\n  p(" + a + ") 1 1 1 1 -1 x\n  p(" + b +
         ") 1 1 0 1 1 x\n  ideal\n  2\n  xA 1 1 1 1 -1 x\n  xB 1 1 0 1 1 x\n  " + a + " 1 1 xA 1\n  " + b +
         " 1 1 xB 1\n";
}

class SharedEndMembers : public lsqtest::Mode9Test {
 protected:
  void SetUp() override {
    start("6\n\n" + em("pa", "-1000") + em("pb", "-1004") + em("pc", "-1010") + "*\n",
          binary("ab", "pa", "pb") + binary("ac", "pa", "pc") + "*\n");
  }
  std::string read(const std::string& header, const std::string& reaction) {
    dir.write("ds-xpt.txt", "0\n0\n" + header + "\n1 1 lab\n" + reaction +
                                "\n -1 1\n1 5 700 0 0.3\n0 5 750 0 0.3\n-1\n0\n");
    return fatal(LSQDS::READXY);
  }
  testsupport::Terminal term;
};

TEST_F(SharedEndMembers, AReactionNamingAnEndMemberTheHeaderGivesTwiceStops) {
  const std::string two = "readrc: pa is an end-member of two phases of experiment 1";
  // ab's pa at 1 - x and the pure pa at 1: whichever came first was taken
  EXPECT_EQ(read("1 ab pa pc univariant", "pa pc"), two);
  SetUp();
  EXPECT_EQ(read("1 pa ab pc univariant", "pa pc"), two);
  SetUp();
  EXPECT_EQ(read("1 ab ac univariant", "pa pc"), two);
  // Named once, or the header's other end-members: read.
  SetUp();
  EXPECT_EQ(read("1 ab pc univariant", "pa pc"), "");
  SetUp();
  EXPECT_EQ(read("1 ab pa pc univariant", "pb pc"), "");
  // A pure end-member named twice is one participant.
  SetUp();
  EXPECT_EQ(read("1 ab pc pc univariant", "pa pc"), "");
}

}  // namespace
