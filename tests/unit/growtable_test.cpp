// The table that makes its records as they are used: a record first used
// reads as a whole table's would, a record keeps what was written to it, and
// numbers outside the table stop the run as a fixed table's do.
#include <gtest/gtest.h>

#include <string>

#include "frame/farray.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"

namespace {

struct record {
  std::string name = "fresh";
  long double value = 0;
  farray<int, 1, 4> slots{"record slots"};
};

TEST(GrowTable, RecordsAreMadeAsUsedAndKept) {
  testsupport::freshstate();
  growtable<record, 6> t("test table");
  EXPECT_EQ(t.made(), 0);
  record& third = t[3];
  EXPECT_EQ(t.made(), 3) << "the records below a used one are made with it";
  EXPECT_EQ(third.name, "fresh");
  EXPECT_EQ(third.value, 0);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(third.slots[k], 0);
  third.name = "written";
  third.slots[2] = 7;
  const growtable<record, 6>& view = t;
  EXPECT_EQ(view[5].name, "fresh") << "a read makes the record too";
  EXPECT_EQ(t.made(), 5);
  EXPECT_EQ(&t[3], &third) << "a record stays where it was made";
  EXPECT_EQ(t[3].name, "written");
  EXPECT_EQ(t[3].slots[2], 7);

  EXPECT_EQ(testsupport::fatal([&] { t[7]; }), "array index: index 7 outside 1..6 of test table");
  EXPECT_EQ(testsupport::fatal([&] { t[0]; }), "array index: index 0 outside 1..6 of test table");
  EXPECT_EQ(t.made(), 5) << "a refused number makes nothing";
  testsupport::freshstate();
}

// The phase tables a run shares start with no records and index-fault
// messages as before.
TEST(GrowTable, PhaseTablesNameTheirFaultsAsBefore) {
  testsupport::freshstate();
  prec1table* table = new prec1table;
  EXPECT_EQ(table->made(), 0);
  EXPECT_EQ(testsupport::fatal([&] { (*table)[maxss + 1]; }),
            "array index: index " + std::to_string(maxss + 1) + " outside 1.." + std::to_string(maxss) + " of array");
  EXPECT_EQ((*table)[2].nprop, 0);
  EXPECT_EQ((*table)[2].modeguess, -1);
  EXPECT_EQ(table->made(), 2);
  delete table;
  testsupport::freshstate();
}

}  // namespace
