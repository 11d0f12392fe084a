// Calc mode 3 over two passes of the main loop: a P-T pass after a P-ln a
// pass places the end-members of its own calculation, as a run of the P-T
// pass alone does.
#include <map>
#include <string>

#include "harness.h"

using e2e::has;

TEST(DiagramPasses, APassAfterAnLnAPassKeepsNoneOfItsVariable) {
  // No calc type in the script: each pass asks for its own.
  const std::map<std::string, std::string> files = {
      {"jx-ln.txt",
       "axfile lnax\nwith mta mtb mtc sil\ndiagramPT 1 8 300 700\ncalcTatP yes\ncalcP 1 8 1\nschreinemakers yes\n"
       "inexcess\n*\n"}};
  // Pass 1: P-ln a of sil, labelled "silly" (its window, the fixed T, the
  // label); pass 2: P-T.
  const std::string pt = "1\nn\n\nn\n\n";
  const e2e::Run two = e2e::run({"ptxlna"}, "5\nsil\nn\n1 8 -2 0\n0.5\n500\nsilly\ny\n" + pt, files);
  const e2e::Run fresh = e2e::run({"ptxlna"}, pt, files);
  for (const e2e::Run* r : {&two, &fresh}) {
    EXPECT_EQ(r->status, 0);
    EXPECT_FALSE(has(r->out, "bombed")) << r->out;
  }
  const std::string a = e2e::stamped(two.files.at("jx-ln-o.txt")), b = e2e::stamped(fresh.files.at("jx-ln-o.txt"));
  ASSERT_GT(a.size(), b.size());
  EXPECT_EQ(a.substr(a.size() - b.size()), b);
  // Pass 1 writes its label, pass 2 sil's own name, its activity among
  // those not at 1 (0.5 in the a-x file), and the reactions' table.
  const std::string second = a.substr(a.size() - b.size());
  EXPECT_TRUE(has(a, "1)  2mtb = mta + silly\n"));
  EXPECT_FALSE(has(second, "silly")) << second;
  EXPECT_TRUE(has(second, "Unit activities except :\n     name        a sd(ln a)\n      sil    0.500  0.07500\n"));
  EXPECT_TRUE(has(second, "Thermodynamics of reactions (0 = a + bT + cP + RT ln K)")) << second;
}
