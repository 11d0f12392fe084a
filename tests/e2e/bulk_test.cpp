// The bulk composition and the projection plane of a pseudosection as a
// user meets them on the made-up MgO-FeO loop: a zero-mode isopleth, a
// range of two bulks cut to a script subrange, the plane asked as an oxide
// list and written back to the log; on the bundled example, one bulk taken
// from a range and the density of each row of a range.
#include <sstream>
#include <string>

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

// The bundled example's script and files, with the script's lines changed.
const e2e::fs::path examples = e2e::fs::path(SOLVARINTH_FIXTURES).parent_path().parent_path() / "examples" / "mode1";

std::string examplescript(const std::string& from, const std::string& to) {
  std::string s = e2e::slurp(examples / "jx-loop.txt");
  const std::size_t at = s.find(from);
  if (at == std::string::npos) return s;
  return s.replace(at, from.size(), to);
}

e2e::Run example(const std::string& script, const std::string& answers) {
  return e2e::run({"../../examples/mode1"}, answers, {{"jx-loop.txt", script}});
}

// One bulk at 0.3 between 65/35 and 45/55 of MgO/FeO is 59/41: with al's
// mode held at zero, be holds the whole bulk, x(be) 0.41. Typed at the
// subrange prompt or given with "onebulk", the line's copy-back block and
// its drawing row both carry that proportion as x.
TEST(Mode1Bulk, OneBulkOfARangeKeepsItsProportion) {
  const struct {
    const char* lines;
    const char* answers;
    const char* said;
  } cases[] = {
      {"splitbulk yes 0.5 0.5\n", "y\n0.3\n",
       "bulk subrange is one bulk, 0.300, between the two script bulk compositions\n"},
      {"onebulk yes 0.3\n", "y\n", "one bulk, at 0.300 between the two script bulk compositions (from script)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    const e2e::Run r = example(
        examplescript("bulk 65 35\nzeromodeiso no\n", std::string("bulk 65 35\nbulk 45 55\n") + c.lines +
                                                          "zeromodeiso yes al\n"),
        c.answers);
    EXPECT_FALSE(has(r.out, "bombed")) << r.out;
    EXPECT_TRUE(has(r.out, c.said)) << r.out;
    EXPECT_TRUE(has(r.out, "\n     59.000   41.000   (0.300 across original range)\n")) << r.out;
    EXPECT_TRUE(has(r.out, "\n   6.000   691.695    0.3036    0.4100\n")) << r.out;
    const std::string& log = r.files.at("jx-log.txt");
    EXPECT_TRUE(has(log, "\n% at P = 6.0, T = 692, for: al be  with al = 0, and x = 0.3000\n")) << log;
    const std::string& qk = r.files.at("jx-loop-qk.txt");
    EXPECT_TRUE(has(qk, "\n0.30000 6.000 691.70  % al = 0\n")) << qk;
  }
}

// A range of five bulks from 75/25 to 40/60 of MgO/FeO, of which steps 2
// to 4 lie in the al-be loop at 500 and 550 C. The density of each row is
// the mass of its own step's bulk over the row's volume (1 kJ/kbar is
// 10 cm3), and lies between the densities of the two phases.
TEST(Mode1Bulk, DensityOfEachRowOfARange) {
  const std::string script =
      "axfile loopax\nwith al be\ninexcess\ncalcP 6\ncalcT 500 550 50\ndiagramPT 4 10 400 900\npseudosection\n"
      "bulk MgO FeO\nbulk 75 25 5\nbulk 40 60\nzeromodeiso no\nmodeiso no\nproject yes\nautoexit yes\n*\n";
  const e2e::Run r = example(script, "0\n1 2\n4\n");
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  const long double mgo = 40.3044L, feo = 71.8464L;  // g/mol, from the atomic weights
  auto mass = [&](int step) {
    const long double f = (step - 1) / 4.0L;
    return ((75 - 35 * f) * mgo + (25 + 35 * f) * feo) / 100;
  };
  // The details file: the phases' lines, then one system line per step.
  const std::string& ic = r.files.at("jx-loop-ic.txt");
  const std::string head = "\n                        G            H        S        V      rho\n";
  int blocks = 0;
  for (std::size_t at = ic.find(head); at != std::string::npos; at = ic.find(head, at + 1)) {
    ++blocks;
    std::istringstream lines(ic.substr(at + head.size()));
    long double g = 0, h = 0, s = 0, v = 0, rhoal = 0, rhobe = 0, rho = 0;
    std::string name;
    ASSERT_TRUE(lines >> name >> g >> h >> s >> v >> rhoal && name == "al") << ic;
    ASSERT_TRUE(lines >> name >> g >> h >> s >> v >> rhobe && name == "be") << ic;
    for (int step = 2; step <= 4; ++step) {
      SCOPED_TRACE(step);
      ASSERT_TRUE(lines >> name >> g >> h >> s >> v >> rho) << ic;
      EXPECT_EQ(name, std::to_string(step));
      EXPECT_NEAR(static_cast<double>(rho), static_cast<double>(mass(step) / (10 * v)), 2e-5);
      EXPECT_GT(rho, rhoal);
      EXPECT_LT(rho, rhobe);
    }
  }
  EXPECT_EQ(blocks, 2) << ic;
  // The modes tables print the same density to four decimals.
  EXPECT_TRUE(has(r.files.at("jx-loop-o.txt"), "    2.0836    2.4452\n")) << r.files.at("jx-loop-o.txt");
  EXPECT_TRUE(has(r.out, "    2.1810    2.5892\n")) << r.out;
}

}  // namespace
