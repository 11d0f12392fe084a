// Fixed activities of CO2 and H2O asked as one pair: a fluid-absent
// calculation with both end-members, or cordierite without either.
#include <gtest/gtest.h>

#include <functional>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"

using namespace ZQGLOBAL;

namespace {

TEST(FixedActivities, PairAskedForCordieriteOrAnAbsentFluid) {
  struct Case {
    smallint h2o, co2, crd;
    ftype kind;
    std::string answers, said;
    extended aco2, ah2o;
  };
  const std::string pair = "fixed a(CO2), a(H2O) : ";
  const std::string crd = "for cordierite activity calculation\n";
  const Case cases[] = {
      // neither fluid end-member: asked only for cordierite
      {0, 0, 5, ftype::notset, "0.3 0.9\n", crd + pair, 0.3L, 0.9L},
      // fluid absent with both end-members: no sum test for activities
      {3, 4, 0, ftype::absent, "0.5 0.8\n", pair, 0.5L, 0.8L},
      // fluid absent, cordierite and only H2O
      {3, 0, 5, ftype::absent, "0.2 0.7\n", crd + pair, 0.2L, 0.7L},
      // an activity of 0 for an end-member that is present is asked again
      {3, 4, 0, ftype::absent, "0 0.8\n0.1 0.8\n", pair + "not valid : \n" + pair, 0.1L, 0.8L},
  };
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
    EXPECT_EQ(testsupport::answered(c.answers, ZQUTE1::PROMPTFLUID, out), "");
    EXPECT_EQ(out, c.said);
    EXPECT_EQ(FIXEDXCO2, c.aco2);
    EXPECT_EQ(FIXEDXH2O, c.ah2o);
    EXPECT_EQ(FLUIDTYPE, c.kind);
  }
  testsupport::freshstate();
}

}  // namespace
