// A typed fluid activity enters a reaction as its logarithm: one of an
// end-member of the calculation must be above 0, and is asked again when
// it is not; one asked only for cordierite's hydration may be 0 (none of
// that fluid) but not below.
#include <gtest/gtest.h>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"

using namespace ZQGLOBAL;

namespace {

TEST(FixedActivities, ZeroOrBelowForAPresentEndMemberIsAskedAgain) {
  struct Case {
    smallint h2o, co2, crd;
    std::string answers, said;
    extended aco2, ah2o;
  };
  const std::string pair = "fixed a(CO2), a(H2O) : ";
  const std::string crd = "for cordierite activity calculation\n";
  const std::string again = "not valid : \n";
  const Case cases[] = {
      // both end-members: each activity is refused below 0 and at 0
      {3, 4, 0, "-0.5 0.3\n0.5 0.3\n", pair + again + pair, 0.5L, 0.3L},
      {3, 4, 0, "0.3 -0.5\n0.3 0\n0.3 0.5\n", pair + again + pair + again + pair, 0.3L, 0.5L},
      // one end-member asked alone
      {3, 0, 0, "-0.5\n0.25\n", "fixed a(H2O) : " + again + "fixed a(H2O) : ", 0, 0.25L},
      {0, 4, 0, "-1e-9\n2\n0.75\n", "fixed a(CO2) : " + again + "fixed a(CO2) : " + again + "fixed a(CO2) : ",
       0.75L, 0},
      // cordierite beside H2O: H2O's activity is still an end-member's
      {3, 0, 5, "0.4 0\n0.4 0.6\n", crd + pair + again + crd + pair, 0.4L, 0.6L},
      // cordierite beside H2O: no CO2 at all is a CO2 activity of 0
      {3, 0, 5, "0 0.6\n", crd + pair, 0, 0.6L},
      // cordierite alone: 0 for both is dry cordierite, below 0 is nothing
      {0, 0, 5, "0 0\n", crd + pair, 0, 0},
      {0, 0, 5, "-0.1 0\n0 1.5\n0 1\n", crd + pair + again + crd + pair + again + crd + pair, 0, 1},
  };
  for (const Case& c : cases) {
    testsupport::freshstate();
    IO::CONTROLIO.pagewidth = 200;
    H2OPOS = c.h2o;
    CO2POS = c.co2;
    CRDPOS = c.crd;
    FCRDPOS = 0;
    FLUIDTYPE = c.h2o + c.co2 > 0 ? ftype::absent : ftype::notset;
    CONTROLJX.setfluid = no;
    std::string out;
    EXPECT_EQ(testsupport::answered(c.answers, ZQUTE1::PROMPTFLUID, out), "") << c.answers;
    EXPECT_EQ(out, c.said) << c.answers;
    EXPECT_EQ(FIXEDXCO2, c.aco2) << c.answers;
    EXPECT_EQ(FIXEDXH2O, c.ah2o) << c.answers;
  }
  testsupport::freshstate();
}

}  // namespace
