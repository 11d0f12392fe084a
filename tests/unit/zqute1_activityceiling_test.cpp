// A typed fluid activity above 1 is no activity the fluid can have: the
// reactions would take it as 1 under a heading naming the value typed, so
// it is refused and asked again at every activity prompt, cordierite's
// included; 1 itself, and a hair below it, are taken as typed.
#include <gtest/gtest.h>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"

using namespace ZQGLOBAL;

namespace {

TEST(FixedActivities, AboveOneIsAskedAgainAndOneIsKept) {
  struct Case {
    smallint h2o, co2, crd;
    std::string answers, said;
    extended aco2, ah2o;
  };
  const std::string pair = "fixed a(CO2), a(H2O) : ";
  const std::string crd = "for cordierite activity calculation\n";
  const std::string again = "not valid : \n";
  const std::string h2o = "fixed a(H2O) : ", co2 = "fixed a(CO2) : ";
  const Case cases[] = {
      // one end-member asked alone: a hair above 1 is refused, 1 is taken
      {3, 0, 0, "1.000001\n1\n", h2o + again + h2o, 0, 1},
      {0, 4, 0, "2\n0.999999\n", co2 + again + co2, 0.999999L, 0},
      // both: either one above 1 refuses the pair
      {3, 4, 0, "1.5 0.5\n0.5 2\n1 1\n", pair + again + pair + again + pair, 1, 1},
      // cordierite beside H2O, and alone (where 0 is still dry cordierite)
      {3, 0, 5, "0.2 1.1\n0.2 0.9\n", crd + pair + again + crd + pair, 0.2L, 0.9L},
      {0, 0, 5, "3 0\n1 0\n", crd + pair + again + crd + pair, 1, 0},
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
