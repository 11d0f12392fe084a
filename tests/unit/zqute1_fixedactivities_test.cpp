// Fixed activities of CO2 and H2O asked at the fluid prompt: a
// fluid-absent calculation with one or both end-members, or cordierite
// without either. A typed activity enters a reaction as its logarithm, so
// one of an end-member of the calculation is above 0 and at most 1, and is
// asked again when it is not; one asked only for cordierite's hydration may
// be 0 (none of that fluid) but not below, nor above 1.
#include <gtest/gtest.h>

#include <vector>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"

using namespace ZQGLOBAL;

namespace {

struct Case {
  smallint h2o, co2, crd;
  ftype kind;
  std::string answers, said;
  extended aco2, ah2o;
};

const std::string pair = "fixed a(CO2), a(H2O) : ";
const std::string crd = "for cordierite activity calculation\n";
const std::string again = "not valid : \n";
const std::string h2o = "fixed a(H2O) : ", co2 = "fixed a(CO2) : ";

// Each case answered at the prompt from a fresh state: what it said, the
// activities it kept, and the fluid type left as it was.
void answer(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    testsupport::freshstate();
    IO::CONTROLIO.pagewidth = 200;
    H2OPOS = c.h2o;
    CO2POS = c.co2;
    CRDPOS = c.crd;
    FCRDPOS = 0;
    FLUIDTYPE = c.kind;
    CONTROLJX.setfluid = no;
    std::string out;
    EXPECT_EQ(testsupport::answered(c.answers, ZQUTE1::PROMPTFLUID, out), "") << c.answers;
    EXPECT_EQ(out, c.said) << c.answers;
    EXPECT_EQ(FIXEDXCO2, c.aco2) << c.answers;
    EXPECT_EQ(FIXEDXH2O, c.ah2o) << c.answers;
    EXPECT_EQ(FLUIDTYPE, c.kind) << c.answers;
  }
  testsupport::freshstate();
}

TEST(FixedActivities, PairAskedForCordieriteOrAnAbsentFluid) {
  answer({
      // neither fluid end-member: asked only for cordierite
      {0, 0, 5, ftype::notset, "0.3 0.9\n", crd + pair, 0.3L, 0.9L},
      // fluid absent with both end-members: no sum test for activities
      {3, 4, 0, ftype::absent, "0.5 0.8\n", pair, 0.5L, 0.8L},
      // fluid absent, cordierite and only H2O
      {3, 0, 5, ftype::absent, "0.2 0.7\n", crd + pair, 0.2L, 0.7L},
      // an activity of 0 for an end-member that is present is asked again
      {3, 4, 0, ftype::absent, "0 0.8\n0.1 0.8\n", pair + again + pair, 0.1L, 0.8L},
  });
}

TEST(FixedActivities, ZeroOrBelowForAPresentEndMemberIsAskedAgain) {
  answer({
      // both end-members: each activity is refused below 0 and at 0
      {3, 4, 0, ftype::absent, "-0.5 0.3\n0.5 0.3\n", pair + again + pair, 0.5L, 0.3L},
      {3, 4, 0, ftype::absent, "0.3 -0.5\n0.3 0\n0.3 0.5\n", pair + again + pair + again + pair, 0.3L, 0.5L},
      // one end-member asked alone
      {3, 0, 0, ftype::absent, "-0.5\n0.25\n", h2o + again + h2o, 0, 0.25L},
      {0, 4, 0, ftype::absent, "-1e-9\n2\n0.75\n", co2 + again + co2 + again + co2, 0.75L, 0},
      // cordierite beside H2O: H2O's activity is still an end-member's
      {3, 0, 5, ftype::absent, "0.4 0\n0.4 0.6\n", crd + pair + again + crd + pair, 0.4L, 0.6L},
      // cordierite beside H2O: no CO2 at all is a CO2 activity of 0
      {3, 0, 5, ftype::absent, "0 0.6\n", crd + pair, 0, 0.6L},
      // cordierite alone: 0 for both is dry cordierite, below 0 is nothing
      {0, 0, 5, ftype::notset, "0 0\n", crd + pair, 0, 0},
      {0, 0, 5, ftype::notset, "-0.1 0\n0 1.5\n0 1\n", crd + pair + again + crd + pair + again + crd + pair, 0, 1},
  });
}

// 1 itself, and a hair below it, are taken as typed.
TEST(FixedActivities, AboveOneIsAskedAgainAndOneIsKept) {
  answer({
      // one end-member asked alone: a hair above 1 is refused, 1 is taken
      {3, 0, 0, ftype::absent, "1.000001\n1\n", h2o + again + h2o, 0, 1},
      {0, 4, 0, ftype::absent, "2\n0.999999\n", co2 + again + co2, 0.999999L, 0},
      // both: either one above 1 refuses the pair
      {3, 4, 0, ftype::absent, "1.5 0.5\n0.5 2\n1 1\n", pair + again + pair + again + pair, 1, 1},
      // cordierite beside H2O, and alone (where 0 is still dry cordierite)
      {3, 0, 5, ftype::absent, "0.2 1.1\n0.2 0.9\n", crd + pair + again + crd + pair, 0.2L, 0.9L},
      {0, 0, 5, ftype::notset, "3 0\n1 0\n", crd + pair + again + crd + pair, 1, 0},
  });
}

}  // namespace
