// Positions of the specially treated end-members, and phase-name lookup.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqute2.h"

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
  EXPECT_EQ(std::vector<int>({CO2POS, H2OPOS, AQSIPOS, CRDPOS, FCRDPOS, LNAPOS}),
            std::vector<int>({2, 4, 6, 3, 5, -5}));  // no ln a variable: left alone
  NLNA = 1;
  LNANAME[1] = "ab";
  ZQUTE2::POSITIONS();
  EXPECT_EQ(LNAPOS, 7);

  setnames({"q", "CO2", "ky", "H2O"});
  EXEM[1] = 1;
  EXEM[2] = 4;
  NEX1 = 2;
  ZQUTE2::POSITIONS();
  EXPECT_EQ(H2OPOS, 0);  // excluded one by one: absent
  EXPECT_EQ(CO2POS, 2);
  NEX1 = 1;  // only the first exclusion counts now
  EXPECT_EQ(ZQUTE2::POSI("H2O"), 4);

  setnames({"h2o", "q", "ky"});
  ZQUTE2::POSITIONS();
  EXPECT_EQ(CO2POS, 0);
  EXPECT_EQ(H2OPOS, 0);  // names are matched exactly
}

TEST(ZqUte2Positions, NameInList) {
  const struct {
    const char* name;
    bool quiet;
    const char* answers;
    bool found;
    smallint pos;
    const char* newname;
    const char* terminal;
  } rows[] = {
      {"bi", false, "", true, 2, "bi", ""},
      {"biot", true, "mu\n", false, 0, "biot", ""},  // quiet: never asks
      {"q", true, "", false, 0, "q", ""},            // beyond NPSS + NP0
      {"biot", false, "\n", false, 0, "biot", "unrecognised name : replace \"biot\" with  : "},
      {"biot", false, "mu\n", true, 3, "mu", "unrecognised name : replace \"biot\" with  : "},
      {"biot", false, "Mu\n", false, 0, "Mu",
       "unrecognised name : replace \"biot\" with  :  still a bad name: name ignored\n"},
  };
  for (const auto& r : rows) {
    testsupport::freshstate();
    IO::strings list("phase list");
    list[1] = "g";
    list[2] = "bi";
    list[3] = "mu";
    list[4] = "q";
    NPSS = 2;
    NP0 = 1;
    testsupport::Terminal term;
    testsupport::Answers in(r.answers);
    sstring name = r.name;
    smallint pos = -1;
    EXPECT_EQ(ZQUTE2::NAMEINLIST(name, list, r.quiet, pos), r.found) << r.name << " " << r.answers;
    EXPECT_EQ(pos, r.pos);
    EXPECT_EQ(name, r.newname);
    EXPECT_EQ(term.text(), r.terminal) << r.answers;
  }
}

}  // namespace
