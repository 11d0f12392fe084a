// A Gibbs-energy minimisation run of the built program on the made-up
// MgO-FeO loop of al and be at one point: the report of the stable
// assemblage, the table of every equilibrium in the details file, the
// near-minimum list and the copy-back blocks of the stable assemblage.
#include <regex>
#include <string>

#include "harness.h"

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The run of the loop at 6 kbar and 700 C with the bulk MgO FeO given.
e2e::Run atbulk(const std::string& bulk) {
  const std::string script =
      "axfile alax\nwith al be\ninexcess\nmaxvar 3\ndogmin yes 1\ncalcP 6\ncalcT 700\n"
      "diagramPT 4 10 400 900\npseudosection\nbulk MgO FeO\nbulk " + bulk + "\nautoexit\n*\n";
  return e2e::run({"alloop"}, "", {{"jx-al.txt", script}});
}

TEST(DogminRun, SinglePointReportOnEveryFile) {
  const e2e::Run r = atbulk("65 35");
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  EXPECT_TRUE(std::regex_search(r.out, std::regex("=\n(elapsed = [0-9]+ msecs, n = [0-9]+\n)\n$"))) << r.out;
  // The stable assemblage on terminal and summary, with the rest tried.
  const std::size_t gives = r.out.find("\nGibbs energy minimisation gives the ");
  ASSERT_NE(gives, std::string::npos) << r.out;
  EXPECT_TRUE(has(r.files.at("jx-al-o.txt"), "\nGibbs energy minimisation gives the "));
  // Inside the two-phase loop the pair, with modes worked out from the bulk
  // after the solve, lies below either phase alone.
  EXPECT_TRUE(has(r.out, "\nGibbs energy minimisation gives the divariant assemblage al be \n")) << r.out;
  EXPECT_TRUE(has(r.out, "\nGibbs energy minimisation info at P = 6.00 kbar and T = 700.0\xA1" "C\n")) << r.out;
  EXPECT_TRUE(has(r.out, "\n     al     be            G       del     n     #\n")) << r.out;
  EXPECT_TRUE(has(r.out, "\n    #      al      be            G      odel       del\n")) << r.out;
  // Every equilibrium of the two levels has its row in the details file:
  // the two phases alone (trivariant), then together (divariant).
  const std::string& ic = r.files.at("jx-al-ic.txt");
  EXPECT_TRUE(has(ic, "all equilibria\n#     al   be            G\n1      X    -  ")) << ic;
  EXPECT_TRUE(has(ic, "\n2      -    X  ")) << ic;
  EXPECT_TRUE(has(ic, "\n3      X    X    -1131.99450\n")) << ic;
  EXPECT_TRUE(has(ic, "'---' = calculated but not seen\n-----------------------------------------------------------\n"))
      << ic;
  // The copy-back blocks of the stable assemblage in the log.
  const std::string& log = r.files.at("jx-log.txt");
  EXPECT_TRUE(has(log, "\nrbi                             MgO         FeO\n")) << log;
  EXPECT_TRUE(has(log, "\n% bulk                      65.0000     35.0000\n")) << log;
  EXPECT_TRUE(has(log, "\nptguess 6.0 700\n")) << log;
  EXPECT_TRUE(has(log, "\nxyzguess x(")) << log;
}

// The stable assemblage follows the bulk across the loop at 6 kbar and
// 700 C (it closes at x(al) 0.3, x(be) 0.4): al alone on the MgO side, be
// alone on the FeO side, the pair inside, where the list near the minimum
// is the pair, then be, then al (0.0428 and 0.0468 kJ above it).
TEST(DogminRun, StableAssemblageFollowsTheBulk) {
  const struct {
    const char* bulk;
    const char* gives;
    const char* rows;
  } cases[] = {
      {"80 20", "trivariant assemblage al ", "\n    1   1.000      -   -1113.01848         -         -\n"},
      {"50 50", "trivariant assemblage be ", "\n    2      -    1.000  -1150.59718         -         -\n"},
      {"65 35", "divariant assemblage al be ",
       "\n    3   0.500   0.500  -1131.99450         -         -\n"
       "    2      -    1.000  -1131.95168   0.04282   0.04282\n"
       "    1   1.000      -   -1131.94771   0.04679   0.00397\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bulk);
    const e2e::Run r = atbulk(c.bulk);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(has(r.out, std::string("\nGibbs energy minimisation gives the ") + c.gives + "\n")) << r.out;
    EXPECT_TRUE(has(r.out, c.rows)) << r.out;
  }
}

// Three ideal solutions of MgO, FeO and MnO at 6 kbar and 10 : 40 : 45.
// The lowest G of all the assemblages solved, ka kc at -1098.42738 (650 to
// 750 C alike), balances the bulk only with a negative amount of ka, so the
// stable assemblage is the lowest of those with every mode positive, kb kc,
// as a minimisation apart from the program finds (equal chemical potentials
// and mass balance per assemblage, 30 digits, the phase left out above the
// tangent plane). ka kc keeps its row in the table of every equilibrium,
// marked as calculated but not seen.
e2e::Run ternary(const std::string& temperatures) {
  const std::string script =
      "axfile ktax\nwith ka kb kc\ninexcess\nmaxvar 2 4\ndogmin yes 1\ncalcP 6\ncalcT " + temperatures +
      "\ndiagramPT 4 10 400 900\npseudosection\nbulk MgO FeO MnO\nbulk 10 40 45\n"
      "xyzguess x(ka) 0.11\nxyzguess y(ka) 0.04\nxyzguess x(kb) 0.04\nxyzguess y(kb) 0.07\n"
      "xyzguess x(kc) 0.4\nxyzguess y(kc) 0.45\nautoexit\n*\n";
  return e2e::run({"ternary3"}, "", {{"jx-kt.txt", script}});
}

TEST(DogminRun, NegativeModeIsNeverTheMinimum) {
  const e2e::Run r = ternary("700");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.out, "\nGibbs energy minimisation gives the trivariant assemblage kb kc \n")) << r.out;
  EXPECT_TRUE(has(r.out, "\n    6.0000   700.000   0.04076   0.06718    0.4388    0.4926\n")) << r.out;
  EXPECT_TRUE(has(r.out, "\nmode        kb        kc\n        0.0446    0.9554\n")) << r.out;
  EXPECT_TRUE(has(r.out, "\n      .      X      X  -1098.26343   0.07415     5     6\n")) << r.out;
  // Near the minimum only what is seen: the pair, then kc alone.
  EXPECT_TRUE(has(r.out, " del\n    6      -    0.045   0.955  -1098.26343         -         -\n"
                         "    3      -       -    1.000  -1098.18928   0.07415   0.07415\n\n"))
      << r.out;
  EXPECT_TRUE(has(r.files.at("jx-kt-ic.txt"), "\n5      X    -    X        ---\n")) << r.files.at("jx-kt-ic.txt");
}

TEST(DogminRun, NegativeModeIsNeverTheMinimumOnAGrid) {
  const e2e::Run r = ternary("650 750 50");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.out, "\n   6.000   650.000      .      X      X  -1092.90506   0.11285     5     6\n"
                         "   6.000   700.000      .      X      X  -1098.26343   0.07415     5     6\n"
                         "   6.000   750.000      .      X      X  -1103.63039   0.04405     5     6\n"))
      << r.out;
  EXPECT_TRUE(has(r.files.at("jx-kt-ic.txt"), "\n5      X    -    X     x x x \n")) << r.files.at("jx-kt-ic.txt");
}

// The guesses blocks of a dogmin run's log (the point's, then dogmin's own
// of the stable assemblage), each pasted back into the script as the log
// asks, give the point again. At 0.04 kbar dogmin's block writes its P as
// 0.0, below the lowest pressure a guess takes: the guess is switched off
// and the run goes on. x(al), x(be) and the mode of al at 600 C, own closed
// form (mpmath: K = exp(-dG/RT) per end-member pair with G = H - TS +
// (P - 0.001)V, x(al) = (1 - K(Mg))/(K(Fe) - K(Mg)), x(be) = K(Fe) x(al),
// mode = (x(be) - 0.35)/(x(be) - x(al))): 0.2210697, 0.3795365, 0.18639 at
// 0.04 kbar; 0.3140444, 0.4966623, 0.80311 at 6 kbar.
TEST(DogminRun, GuessBlocksPastedBackGiveThePointAgain) {
  const struct {
    const char* p;
    const char* row;
    const char* modes;
    const char* dogminguess;
  } points[] = {
      {"0.04", "\n    0.0400   600.000    0.2211    0.3795\n", "\n        0.1864    0.8136\n", "\nptguess 0.0 600\n"},
      {"6", "\n    6.0000   600.000    0.3140    0.4967\n", "\n        0.8031    0.1969\n", "\nptguess 6.0 600\n"},
  };
  const auto script = [](const std::string& p, const std::string& block) {
    return "axfile alax\nwith al be\ninexcess\ncalcP " + p + "\ncalcT 600\ndiagramPT 0.001 10 400 900\n" +
           "pseudosection\nbulk MgO FeO\nbulk 65 35\nzeromodeiso no\nmodeiso no\nprintxyz yes\ndogmin yes 1\n" +
           block + "autoexit yes\n*\n";
  };
  for (const auto& pt : points) {
    const e2e::Run first = e2e::run({"alloop"}, "2\n", {{"jx-al.txt", script(pt.p, "")}});
    ASSERT_EQ(first.status, 0) << first.out;
    EXPECT_TRUE(has(first.out, pt.row)) << first.out;
    EXPECT_TRUE(has(first.out, pt.modes)) << first.out;
    const std::string& log = first.files.at("jx-log.txt");
    EXPECT_TRUE(has(log, pt.dogminguess)) << log;
    // each block from its ptguess line to the blank line that ends it
    std::size_t at = 0;
    for (int block = 1; block <= 2; ++block) {
      SCOPED_TRACE(std::string(pt.p) + " kbar, block " + std::to_string(block));
      at = log.find("\nptguess ", at);
      ASSERT_NE(at, std::string::npos) << log;
      const std::size_t end = log.find("\n\n", at);
      const std::string pasted = log.substr(at + 1, end - at);
      at = end;
      const e2e::Run again = e2e::run({"alloop"}, "2\n", {{"jx-al.txt", script(pt.p, pasted)}});
      EXPECT_EQ(again.status, 0) << again.out;
      EXPECT_TRUE(has(again.out, "in the scriptfile: al be; not in the scriptfile: none")) << again.out;
      EXPECT_TRUE(has(again.out, pt.row)) << again.out;
      EXPECT_TRUE(has(again.out, pt.modes)) << again.out;
    }
  }
}

}  // namespace
