// Positions of the specially treated end-members, and phase-name lookup.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iotestsupport.h"
#include "zqglobal.h"
#include "zqute2.h"

namespace {

using namespace ZQGLOBAL;

void setnames(const std::vector<std::string>& names) {
  NAME.fill("");
  for (size_t i = 0; i < names.size(); ++i) NAME[static_cast<long>(i) + 1] = names[i];
  NCV = static_cast<smallint>(names.size());
  NEX1 = 0;
  EXEM.fill(0);
  NLNA = 0;
  LNAPOS = -5;
}

TEST(ZqUte2Positions, SpecialEndMembers) {
  setnames({"q", "CO2", "crd", "H2O", "fcrd", "aqSi", "ab"});
  ZQUTE2::POSITIONS();
  EXPECT_EQ(CO2POS, 2);
  EXPECT_EQ(H2OPOS, 4);
  EXPECT_EQ(AQSIPOS, 6);
  EXPECT_EQ(CRDPOS, 3);
  EXPECT_EQ(FCRDPOS, 5);
  EXPECT_EQ(LNAPOS, -5);  // no ln a variable: left alone

  NLNA = 1;
  LNANAME[1] = "ab";
  ZQUTE2::POSITIONS();
  EXPECT_EQ(LNAPOS, 7);
  LNANAME[1] = "an";
  ZQUTE2::POSITIONS();
  EXPECT_EQ(LNAPOS, 0);
}

TEST(ZqUte2Positions, ExcludedAbsentAndMiscasedNames) {
  setnames({"q", "CO2", "ky", "H2O"});
  EXEM[1] = 1;
  EXEM[2] = 4;
  NEX1 = 2;
  ZQUTE2::POSITIONS();
  EXPECT_EQ(H2OPOS, 0);  // excluded one by one: absent
  EXPECT_EQ(CO2POS, 2);
  EXPECT_EQ(ZQUTE2::POSI("q"), 0);
  EXPECT_EQ(ZQUTE2::POSI("ky"), 3);
  NEX1 = 1;  // only the first exclusion counts now
  EXPECT_EQ(ZQUTE2::POSI("H2O"), 4);

  setnames({"q", "ky", "sill"});
  ZQUTE2::POSITIONS();
  EXPECT_EQ(CO2POS, 0);
  EXPECT_EQ(H2OPOS, 0);
  EXPECT_EQ(AQSIPOS, 0);
  setnames({"h2o", "co2"});
  EXPECT_EQ(ZQUTE2::POSI("H2O"), 0);
  EXPECT_EQ(ZQUTE2::POSI("h2o"), 1);
  // Only the first NCV names are looked at.
  setnames({"q", "H2O"});
  NCV = 1;
  EXPECT_EQ(ZQUTE2::POSI("H2O"), 0);
}

struct lookup {
  bool found;
  smallint pos;
  sstring name;
  std::string terminal;
};

lookup namein(sstring name, bool quiet, const std::string& answers) {
  testsupport::resetio();
  IO::strings list("phase list");
  list[1] = "g";
  list[2] = "bi";
  list[3] = "mu";
  list[4] = "q";
  NPSS = 2;
  NP0 = 1;  // "q" lies beyond the names looked at
  testsupport::Terminal term;
  testsupport::Answers in(answers);
  lookup r;
  r.pos = -1;
  r.found = ZQUTE2::NAMEINLIST(name, list, quiet, r.pos);
  r.name = name;
  r.terminal = term.text();
  return r;
}

TEST(ZqUte2Positions, NameInList) {
  lookup r = namein("bi", false, "");
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.pos, 2);
  EXPECT_EQ(r.terminal, "");

  r = namein("biot", true, "mu\n");
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.pos, 0);
  EXPECT_EQ(r.name, "biot");
  EXPECT_EQ(r.terminal, "");  // quiet: never asks

  r = namein("q", true, "");
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.pos, 0);

  r = namein("biot", false, "\n");
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.pos, 0);
  EXPECT_NE(r.terminal.find("unrecognised name : replace \"biot\" with "), std::string::npos);
  EXPECT_EQ(r.terminal.find("still a bad name"), std::string::npos);

  r = namein("biot", false, "mu\n");
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.pos, 3);
  EXPECT_EQ(r.name, "mu");
  EXPECT_EQ(r.terminal.find("still a bad name"), std::string::npos);

  r = namein("biot", false, "Mu\n");
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.pos, 0);
  EXPECT_EQ(r.name, "Mu");
  EXPECT_NE(r.terminal.find(" still a bad name: name ignored\n"), std::string::npos);
}

}  // namespace
