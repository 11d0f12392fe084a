// The working matrix of the null space, written as a bracketed list on the
// details channel.
#include <gtest/gtest.h>

#include <memory>

#include "frame/io.h"
#include "frame/zqmath1.h"
#include "iotestsupport.h"

namespace {

class MatrixPrint : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    testsupport::openchannel(4, "ic.txt");
  }
  void TearDown() override { testsupport::freshstate(); }
  testsupport::ScratchDir dir;
};

TEST_F(MatrixPrint, RowsInBracesOnTheDetailsChannelOnly) {
  struct Case {
    std::vector<std::vector<std::int64_t>> rows;
    std::string want;
  };
  const Case cases[] = {
      {{{7}}, "x =   {{  7}};\n\n"},
      {{{1, -2, 3}, {0, 10, -4}}, "x =   {{  1,  -2,   3},\n       {  0,  10,  -4}};\n\n"},
      // wider numbers are not cut
      {{{1234}, {-567}, {0}}, "x =   {{1234},\n       {-567},\n       {  0}};\n\n"},
  };
  auto b = std::make_unique<ZQMATH1::workmatrix>();
  std::string all;
  for (const Case& c : cases) {
    const auto m = static_cast<smallint>(c.rows.size());
    const auto n = static_cast<smallint>(c.rows[0].size());
    for (smallint r = 1; r <= m; ++r)
      for (smallint l = 1; l <= n; ++l) (*b)(r, l) = c.rows[r - 1][l - 1];
    testsupport::Terminal term;
    ZQMATH1::NULLSPACE_PRINTA(*b, m, n);
    EXPECT_EQ(term.text(), "");
    all += c.want;
  }
  IO::FLUSHER();
  EXPECT_EQ(dir.read("ic.txt"), all);
  EXPECT_TRUE(IO::ICFILEUSED);
}

}  // namespace
