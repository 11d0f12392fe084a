// The table that makes its records as they are used, and the matrix that
// grows its block of rows and columns as they are used: what is first used
// reads as a whole table's would, what was written is kept, and numbers
// outside the table stop the run as a fixed table's do.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "frame/farray.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
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

// The store of avPT+ calculations is copied and copied back whole while it
// is reordered: records past the source's are blank in the copy.
TEST(GrowTable, CopiesHoldWhatAWholeTableWould) {
  testsupport::freshstate();
  testsupport::Terminal term;
  growtable<record, 6> longer("longer"), shorter("shorter");
  for (long i = 1; i <= 4; ++i) longer[i].value = static_cast<long double>(i);
  shorter[2].name = "second";

  growtable<record, 6> copy(longer);
  EXPECT_EQ(copy.made(), 4);
  EXPECT_EQ(copy[4].value, 4);
  copy[4].value = 40;
  EXPECT_EQ(longer[4].value, 4) << "the copy's records are its own";

  copy = shorter;
  EXPECT_EQ(copy[2].name, "second");
  EXPECT_EQ(copy[4].value, 0) << "a record the source never made is blank";
  EXPECT_EQ(testsupport::fatal([&] { copy[7]; }), "array index: index 7 outside 1..6 of shorter");
  testsupport::freshstate();
}

// Entries keep their row and column while the block grows under them one
// way or both; entries never written read as blank, or as the last fill.
TEST(GrowMatrix, EntriesKeepTheirPlaceAsTheBlockGrows) {
  testsupport::freshstate();
  testsupport::Terminal term;
  growmatrix<long, 40, 30> m("test matrix");
  const auto value = [](long i, long j) { return 100 * i + j; };
  const auto write = [&](long rows, long cols) {
    for (long i = 1; i <= rows; ++i)
      for (long j = 1; j <= cols; ++j) m(i, j) = value(i, j);
  };
  const auto kept = [&](long rows, long cols, const char* after) {
    const growmatrix<long, 40, 30>& view = m;
    for (long i = 1; i <= rows; ++i)
      for (long j = 1; j <= cols; ++j) ASSERT_EQ(view(i, j), value(i, j)) << i << "," << j << " after " << after;
  };
  write(3, 2);
  m(5, 3) = 7;
  kept(3, 2, "more rows and columns");
  m(3, 30) = 7;
  kept(3, 2, "more columns");
  m.fill(-1);
  write(4, 3);
  m(40, 1) = 7;
  kept(4, 3, "more rows");
  EXPECT_EQ(m(3, 29), -1) << "made before the fill";
  EXPECT_EQ(m(39, 30), -1) << "made after it";

  growmatrix<long, 40, 30> blank;
  EXPECT_EQ(blank(5, 7), 0);
  EXPECT_TRUE(blank.maderows() < 40 && blank.madecols() < 30) << "a corner makes a small block";
  EXPECT_EQ(testsupport::fatal([&] { m(41, 1); }), "array index: index 41 outside 1..40 of test matrix");
  testsupport::freshstate();
}

// The decomposition's matrices and the eliminations' workspace reach the
// same limits as before, whatever block earlier calls made.
TEST(GrowMatrix, SharedMatricesKeepTheirLimits) {
  testsupport::freshstate();
  testsupport::Terminal term;
  ZQGLOBAL::USVD(800, 400) = 0;
  EXPECT_EQ(testsupport::fatal([] { ZQGLOBAL::USVD(801, 1); }), "array index: index 801 outside 1..800 of USVD");
  EXPECT_EQ(testsupport::fatal([] { ZQGLOBAL::VSVD(1, 401); }), "array index: index 401 outside 1..400 of VSVD");

  auto a = std::make_unique<liemmatrix>("a");
  (*a)(1, 1) = 2;
  EXPECT_EQ(ZQMATH1::CALCRANK(*a, 2, 3), 1);
  (*a)(2, maxem) = 5;  // a pivot in the last column there is
  EXPECT_EQ(ZQMATH1::CALCRANK(*a, 2, maxem), 2);
  testsupport::freshstate();
}

}  // namespace
