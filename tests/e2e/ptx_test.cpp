// Calc mode 3 seen from outside: three made-up silica polymorphs whose
// reaction lines meet once near 4.5 kbar and 500 degrees.
#include "../support/sxlines.h"
#include "harness.h"

using e2e::has;
using sxlines::deg;
using sxlines::intersection;
using sxlines::lines;
using sxlines::script;
using sxlines::thermo;

namespace {

const std::string menu =
    "required action:\n 0: do Schreinemakers (reactions which cannot be stable in the \n"
    "     window not calculated)\n 1: calculate all reactions within the window regardless of stability\n";

TEST(ReactionLines, SchreinemakersRunPrintsTablesAndTheIntersection) {
  const e2e::Run r = e2e::run({"ptx"}, "", {{"jx-sx.txt", script("1 8 1", "schreinemakers yes\n")}});
  EXPECT_EQ(r.status, 0);
  const std::string& sum = r.files.at("jx-sx-o.txt");
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  EXPECT_TRUE(has(sum, "\npressure-temperature calculations (from script)\n")) << sum;
  EXPECT_TRUE(has(sum, "\nUnit activities\n"));
  EXPECT_TRUE(has(sum, "\n1)  vel = ura\n2)  wex = ura\n3)  wex = vel\n"));
  EXPECT_TRUE(has(sum, "\nThermodynamics of reactions (0 = a + bT + cP + RT ln K)\n" + thermo)) << sum;
  EXPECT_TRUE(has(sum, "\n" + lines + intersection)) << sum;
  EXPECT_TRUE(has(r.files.at("jx-log.txt"), intersection));
  EXPECT_FALSE(has(sum, "Stability of reactions not involved"));
  EXPECT_FALSE(has(r.out, "required action:"));
}

TEST(ReactionLines, TheMenuChoosesBetweenSchreinemakersAndAllReactions) {
  struct Case {
    std::string answer;
    bool intersections;
  } cases[] = {{"0\n", true}, {"1\n", false}, {"7\n", false}};
  for (const Case& c : cases) {
    const e2e::Run r = e2e::run({"ptx"}, c.answer, {{"jx-sx.txt", script("1 8 1", "")}});
    SCOPED_TRACE(c.answer);
    EXPECT_TRUE(has(r.out, menu + "code : ")) << r.out;
    EXPECT_TRUE(has(r.files.at("jx-log.txt"), menu));
    const std::string& sum = r.files.at("jx-sx-o.txt");
    EXPECT_FALSE(has(sum, "required action:"));
    EXPECT_TRUE(has(sum, "\n" + lines)) << sum;
    EXPECT_EQ(has(sum, intersection), c.intersections) << sum;
    EXPECT_EQ(has(sum, "P-T of intersections"), c.intersections);
  }
}

TEST(ReactionLines, ACrossingBeyondTheListLeavesEveryReactionUninvolved) {
  const e2e::Run r = e2e::run({"ptx"}, "", {{"jx-sx.txt", script("1 4 1", "schreinemakers yes\n")}});
  const std::string& sum = r.files.at("jx-sx-o.txt");
  EXPECT_TRUE(has(sum, "window : P 1.0 <-> 4.0 kbars; T 300 <-> 700" + deg +
                           "C\n\nsorry, none in the window\n\n" + std::string(52, '-') +
                           "\nStability of reactions not involved in intersections :\n\n"
                           "<= stable => 1)  vel = ura\n<= stable => 2)  wex = ura\nmetastable   3)  wex = vel\n"))
      << sum;
  EXPECT_FALSE(has(sum, "intersection 1 involving"));
}

// A heat capacity on wex (b = -1e-4, H lowered by b/2 (773.15 - 298.15)^2 so
// that its G at 773.15 K is unchanged at every P) bends the lines through
// wex but keeps the point where all three meet at 4.501 kbar, 500 C. The
// first chord between the lines' values at 4 and 5 kbar misses it by
// 0.009 kbar; the refinement must reach it.
TEST(ReactionLines, CurvedLinesMeetWhereTheirGibbsEnergiesSay) {
  std::string ds = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/ptx/jx-ds7sx.txt");
  const std::string row = "20.45375 0.125 1.75 0.0 0.0 0.0 0.0\n";
  ASSERT_NE(ds.find(row), std::string::npos);
  ds.replace(ds.find(row), row.size(), "9.1725 0.125 1.75 0.0 -1e-4 0.0 0.0\n");
  const e2e::Run r = e2e::run({"ptx"}, "", {{"jx-sx.txt", script("1 8 1", "schreinemakers yes\n")}, {"jx-ds7sx.txt", ds}});
  ASSERT_FALSE(has(r.out, "bombed")) << r.out;
  const std::string& sum = r.files.at("jx-sx-o.txt");
  EXPECT_FALSE(has(sum, "finding the intersection")) << sum;
  EXPECT_TRUE(has(sum, "\nP = 4.501 kbar (sd = ")) << sum;
  EXPECT_TRUE(has(sum, "), T = 500.00 " + deg + "C (sd = ")) << sum;
}

// A heat-capacity term that is a number in the data set but overflows at
// the run's temperatures stops the run instead of printing zeros.
TEST(ReactionLines, GibbsEnergyThatIsNotANumberStopsTheRun) {
  std::string ds = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/ptx/jx-ds7sx.txt");
  const std::string row = "0.0 0.100 2.00 0.0 0.0 0.0 0.0\n";
  ASSERT_NE(ds.find(row), std::string::npos);
  ds.replace(ds.find(row), row.size(), "0.0 0.100 2.00 1e4931 0.0 0.0 0.0\n");
  const e2e::Run r = e2e::run({"ptx"}, "", {{"jx-sx.txt", script("1 8 1", "schreinemakers yes\n")}, {"jx-ds7sx.txt", ds}});
  EXPECT_EQ(r.status, 1);
  const std::string stop = "-- run bombed in gem : ura: Gibbs energy is not a number at this P and T";
  EXPECT_TRUE(has(r.out, stop)) << r.out;
  EXPECT_TRUE(has(r.files.at("jx-sx-o.txt"), stop));
  EXPECT_FALSE(has(r.files.at("jx-sx-o.txt"), "Thermodynamics of reactions"));
}

}  // namespace
