// The bulk composition and the projection plane of a pseudosection as a
// user meets them on the made-up MgO-FeO loop: a zero-mode isopleth, a
// range of two bulks cut to a script subrange, the plane asked as an oxide
// list and written back to the log.
#include "harness.h"

using e2e::has;

namespace {

const std::string script =
    "axfile lpax\nwith alp bet\ninexcess\ncalcTatP yes\ncalcP 6\ncalcT 400 700\ndiagramPT 4 10 400 700\n"
    "pseudosection\nbulk MgO FeO\nbulk 80 20\nbulk 60 40 4\nsplitbulk yes 0.2 0.6\nzeromodeiso yes bet\n"
    "project yes\nautoexit\n*\n";

TEST(Mode1Bulk, SubrangeAndProjectionPlane) {
  const e2e::Run r = e2e::run({"loop"}, "0\n2 1\n", {{"jx-lp.txt", script}});
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  EXPECT_TRUE(has(r.out, "\nmode of bet set to zero\n\noriginal variance = 2, effective variance = 1  (1, 0)\n")) << r.out;
  EXPECT_TRUE(has(r.out, "code : oxide list (2 indices) : \nprojection plane \n           MgO     FeO\n"
                         "FeO          0   1.000\nMgO      1.000       0\n"))
      << r.out;
  EXPECT_TRUE(has(r.out, "\ncomposition\n     MgO     FeO\n  76.000  24.000\n  68.000  32.000      4 increments across "
                         "0.200 to 0.600 of original range\n"))
      << r.out;
  const std::string table =
      "\ncomposition\npos        1     2     3     4     5   (in this range)\n"
      "prop   0.200 0.300 0.400 0.500 0.600   (of overall range)\n"
      "   MgO 76.00 74.00 72.00 70.00 68.00\n   FeO 24.00 26.00 28.00 30.00 32.00\n";
  EXPECT_TRUE(has(r.files.at("jx-lp-o.txt"), table)) << r.files.at("jx-lp-o.txt");
  const std::string& log = r.files.at("jx-log.txt");
  EXPECT_TRUE(has(log, table)) << log;
  const std::string rule = "% ----------------------------------------------------------\n";
  EXPECT_TRUE(has(log, "\nin form to copy to scriptfile:\n\n" + rule + "projplane             MgO   FeO\n" + rule +
                           "projplane    FeO        0     1\nprojplane    MgO        1     0\n" + rule + "\n"))
      << log;
  EXPECT_TRUE(has(log, "bulk subrange, 0.200 to 0.600, between the two script bulk compositions (from script)\n"));
}

}  // namespace
