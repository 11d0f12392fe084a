// Every file a run of reaction lines and their intersections reads and
// leaves: the summary whole, the a-x listing of a solution phase, the
// optional files that receive nothing and go, and inputs that are missing.

#include "../support/sxlines.h"
#include "harness.h"

using e2e::has;
using e2e::stamped;
using e2e::versionnote;
using e2e::runhead;

namespace {

const std::string script = sxlines::script("1 8 1", "schreinemakers yes\n");

// The summary of the script's run, whole.
const std::string summary =
    "no phases in excess (from script)\n\npressure-temperature calculations (from script)\n\n"
    "Unit activities\n\nno excluded assemblages\n\nno of reactions = 3, no of intersections = 1\n\n"
    "1)  vel = ura\n2)  wex = ura\n3)  wex = vel\n\n"
    "Thermodynamics of reactions (0 = a + bT + cP + RT ln K)\n" + sxlines::thermo + "\n" + sxlines::lines +
    sxlines::intersection;

TEST(ReactionLineFiles, PurePhasesKeepSummaryAndLogOnly) {
  const e2e::Run r = e2e::run({"ptx"}, "", {{"jx-sx.txt", script}});
  EXPECT_EQ(r.status, 0);
  // Read: preferences, script, data set, a-x file. Kept: log and summary;
  // nothing went to the drawing data, a-x listing, details, csv or
  // graphics files, so none is left.
  EXPECT_EQ(e2e::names(r), (std::vector<std::string>{"jx-ds7sx.txt", "jx-log.txt", "jx-prefs.txt", "jx-sx-o.txt",
                                                     "jx-sx.txt", "jx-sxax.txt"}));
  EXPECT_EQ(stamped(r.files.at("jx-sx-o.txt")),
            runhead("made-up silica polymorphs, 7 dec 2026", "jx-sxax.txt", "jx-sx.txt") + summary + versionnote);
  const std::string& log = r.files.at("jx-log.txt");
  EXPECT_TRUE(has(log, summary.substr(summary.find("no of reactions")))) << log;
  EXPECT_TRUE(has(log, "\nP at which T of reactions to be calculated: 1.000 to 8.000 kbar (from script)\n")) << log;
  EXPECT_TRUE(has(log, "\nreading ax: ura vel wex \n")) << log;
}

// A solution phase: its listing goes to the a-x information file, which
// is then kept beside the summary and the log.
TEST(ReactionLineFiles, SolutionPhaseKeepsItsAxListing) {
  const std::string s =
      "axfile abax\nwith sol cc\nptforaxe 8 600\ndiagramPT 4 10 400 700\npseudosection no\ncalcTatP yes\n"
      "calcP 4 10 2\nschreinemakers yes\nautoexit\n*\n";
  const e2e::Run r = e2e::run({"rock"}, "1\n\n", {{"jx-qtest.txt", s}});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(e2e::names(r), (std::vector<std::string>{"jx-abax.txt", "jx-ds7ab.txt", "jx-log.txt", "jx-mkax.txt",
                                                     "jx-odax.txt", "jx-prefs.txt", "jx-qtest-it.txt",
                                                     "jx-qtest-o.txt", "jx-qtest.txt"}));
  EXPECT_EQ(r.files.at("jx-qtest-it.txt"),
            "\n--------------------------------------\nsol\n\n composition variables\n  x(sol)\n\n"
            " site fractions\n   xA = 1 - x\n   xB = x\n\n proportions\n   aa = 1 - x\n   bb = x\n\n"
            " ideal mixing activities\n  aa = xA\n  bb = xB\n\n"
            " non-ideality by symmetric formalism\n  W(aa,bb) = 10\n\n");
  // At x = 0.3 and W = 10: ln a(aa) = ln 0.7 + 10 (0.09)/RT, ln a(bb) =
  // ln 0.3 + 10 (0.49)/RT, RT = 7.2597.
  const std::string o = stamped(r.files.at("jx-qtest-o.txt"));
  EXPECT_EQ(o.substr(0, o.find("pressure-temperature")),
            runhead("made-up data set ab, 7 dec 2026", "jx-abax.txt", "jx-qtest.txt") + "\n");
  EXPECT_TRUE(has(o, "\nUnit activities except :\n     name        a sd(ln a)\n       aa    0.792  0.02479\n"
                     "       bb    0.589  0.13499\n"))
      << o;
  EXPECT_TRUE(has(o, "\nno of reactions = 0, no of intersections = 0\n" + versionnote)) << o;
  EXPECT_FALSE(has(o, "composition variables"));
  EXPECT_FALSE(has(r.files.at("jx-log.txt"), "composition variables"));
}

// Each input, missing: the run names it and stops; the summary, once made,
// keeps the stop, and no optional file is left.
TEST(ReactionLineFiles, MissingInputsAreNamed) {
  struct Case {
    std::map<std::string, std::string> files;
    std::string missing;
    bool summary;
  };
  std::string noax = script;
  noax.replace(noax.find("sxax"), 4, "noax");
  const Case cases[] = {
      {{{"jx-sx.txt", script}, {"jx-prefs.txt", "dsfile 7no\nscriptfile sx\ncalcmode 3\n"}}, "jx-ds7no.txt", true},
      {{{"jx-sx.txt", noax}}, "jx-noax.txt", true},
      {{{"jx-prefs.txt", "dsfile 7sx\nscriptfile gone\ncalcmode 3\n"}}, "jx-gone.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.missing);
    e2e::expectmissing(e2e::run({"ptx"}, "\n", c.files), c.missing, "jx-sx-o.txt",
                       c.summary ? "\ncannot locate file \"" + c.missing + "\"\n" : "",
                       {"jx-sx-qk.txt", "jx-sx-it.txt", "jx-sx-ic.txt", "jx-sx.csv", "jx-sx-2.csv", "jx-sx.svg"});
  }
}

}  // namespace
