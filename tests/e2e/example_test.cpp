// The bundled examples, run as the README's first command runs them: each
// folder of examples/ copied whole into a scratch folder of its own and the
// program started there with its answers.txt on standard input.
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "harness.h"

using e2e::has;

namespace {

const e2e::fs::path top = e2e::fs::path(SOLVARINTH_FIXTURES).parent_path().parent_path();
const std::string deg = "\xA1";

// The example folders that the README's first command runs, in its order.
std::vector<std::string> readmefolders() {
  const std::string readme = e2e::slurp(top / "README.md");
  const std::size_t at = readme.find("cp -r examples scratch");
  if (at == std::string::npos) return {};
  const std::size_t end = readme.find('\n', at);
  const std::string command = readme.substr(at, end - at);
  static const std::regex one(R"(\(cd scratch/(\w+) && \.\./\.\./build/solvarinth < answers\.txt\))");
  std::vector<std::string> folders;
  for (std::sregex_iterator i(command.begin(), command.end(), one), none; i != none; ++i) folders.push_back((*i)[1]);
  return folders;
}

e2e::Run example(const std::string& folder) {
  const std::string from = "../../examples/" + folder;
  return e2e::run({from}, e2e::slurp(top / "examples" / folder / "answers.txt"));
}

// What every example run must show: it ends with status 0, through the
// closing note, with no fatal stop on the terminal or in the log, and keeps
// its own files next to the ones it wrote.
void endsclean(const e2e::Run& r, const std::set<std::string>& written) {
  EXPECT_EQ(r.status, 0);
  for (const char* stop : {"bombed", "run killed", "fatal"}) {
    EXPECT_FALSE(has(r.out, stop)) << r.out;
    EXPECT_FALSE(has(r.files.at("jx-log.txt"), stop));
  }
  EXPECT_TRUE(r.out.ends_with(std::string(60, '=') + "\n\n")) << r.out;
  std::set<std::string> kept;
  for (const std::string& name : e2e::names(r))
    if (!has(name, "jx-ds") && name != "answers.txt" && name != "jx-prefs.txt") kept.insert(name);
  EXPECT_EQ(kept, written);
}

TEST(BundledExample, TheReadmeRunsBothFolders) {
  EXPECT_EQ(readmefolders(), (std::vector<std::string>{"mode1", "mode3"}));
  for (const std::string& f : readmefolders()) {
    SCOPED_TRACE(f);
    EXPECT_TRUE(e2e::fs::is_regular_file(top / "examples" / f / "answers.txt"));
    EXPECT_TRUE(e2e::fs::is_regular_file(top / "examples" / f / "jx-prefs.txt"));
  }
}

// The loop of al and be at 6 kbar with a rock of 65 MgO : 35 FeO. Where an
// ideal loop of two one-site solutions closes: x(al) = (1 - KA)/(KB - KA),
// x(be) = KB x(al), K = exp(-dG/RT) of ala = bea and alb = beb with
// G = H - T S + (P - 0.001) V (R = 0.0083144); the modes by the lever rule
// on the FeO fraction 0.35, and the rock's G = 0.65 mu(MgO) + 0.35 mu(FeO)
// from al. Worked out by hand in python3, not by the program.
TEST(BundledExample, Mode1LoopAlongTemperatureWithModes) {
  const e2e::Run r = example("mode1");
  endsclean(r, {"jx-loop.txt", "jx-loopax.txt", "jx-log.txt", "jx-loop-o.txt", "jx-loop-ic.txt", "jx-loop-it.txt",
                "jx-loop-qk.txt", "jx-loop.csv", "jx-loop-2.csv"});
  EXPECT_TRUE(has(r.out, "P at which equilibria to be calculated: 6.000 kbar (from script)\n")) << r.out;
  EXPECT_TRUE(has(r.out, "T at which equilibria to be calculated: 500.00 to 800.00" + deg + "C (from script)\n"));
  EXPECT_TRUE(has(r.out, "composition (from bulk script)\n        MgO      FeO\n     65.000   35.000\n"));

  const std::string heading = " P(kbar)     T(" + deg + "C)     x(al)     x(be)\n";
  const std::string modehead = "\nmode          al        be           G           H         S         V       rho\n";
  // Inside the loop: the compositions, then the modes and the rock's G, H, S, V.
  const struct {
    const char* point;
    const char* modes;
  } inside[] = {
      {"   6.000   500.000    0.2922    0.5729\n", "          0.7942    0.2058 -1109.52119 -1023.03904    0.1119    2.0906 "},
      {"   6.000   550.000    0.3061    0.5355\n", "          0.8088    0.1912 -1115.12050 -1022.84196    0.1121    2.0891 "},
      {"   6.000   600.000    0.3140    0.4967\n", "          0.8031    0.1969 -1120.73077 -1022.67329    0.1123    2.0897 "},
      {"   6.000   650.000    0.3137    0.4534\n", "          0.7401    0.2599 -1126.35160 -1022.44357    0.1126    2.0960 "},
      {"   6.000   700.000    0.3000    0.4000\n", "          0.5000    0.5000 -1131.99450 -1021.70028    0.1133    2.1200 "},
  };
  for (const auto& p : inside) {
    SCOPED_TRACE(p.point);
    EXPECT_TRUE(has(r.out, heading + p.point + modehead + p.modes)) << r.out;
    EXPECT_TRUE(has(r.files.at("jx-loop-o.txt"), heading + p.point + modehead + p.modes));
  }
  // Past 700 C the rock lies outside the loop, on be's side: no modes.
  const std::string outside = "   6.000   750.000    0.2597    0.3220\n   6.000   800.000    0.1456    0.1689\n\n";
  EXPECT_TRUE(has(r.out, "    2.1200    2.4219\n" + outside)) << r.out;
  const std::string& ic = r.files.at("jx-loop-ic.txt");
  EXPECT_TRUE(has(ic, "al be  {6.0000, 700.000}  kbar/C\nvar = 2; seen\n")) << ic;
  EXPECT_TRUE(has(ic, "al be  {6.0000, 750.000}  kbar/C\nvar = 2; NOT seen\n")) << ic;
  EXPECT_TRUE(has(ic, "\nmode         al       be\n1       0.50000  0.50000\n")) << ic;

  // The tables: the compositions of every point, and the points with the
  // assemblage on the first.
  EXPECT_EQ(r.files.at("jx-loop-2.csv"),
            "    6.000,    500.00,   0.29222,   0.57292, \n"
            "    6.000,    550.00,   0.30613,   0.53554, \n"
            "    6.000,    600.00,   0.31404,   0.49666, \n"
            "    6.000,    650.00,   0.31369,   0.45342, \n"
            "    6.000,    700.00,   0.30000,   0.40000, \n"
            "    6.000,    750.00,   0.25974,   0.32199, \n"
            "    6.000,    800.00,   0.14555,   0.16891, \n");
  const std::string& csv = r.files.at("jx-loop.csv");
  EXPECT_TRUE(csv.starts_with("   P(kbar),      T(" + deg + "C), \n     6.000,     500.00,   al be \n")) << csv;
  EXPECT_TRUE(csv.ends_with("     6.000,     800.00, \n")) << csv;
  EXPECT_TRUE(has(r.files.at("jx-loop-qk.txt"), "d<k>   al be   divariant\n")) << r.files.at("jx-loop-qk.txt");
  EXPECT_TRUE(has(r.files.at("jx-loop-it.txt"), "\nbe\n\n composition variables\n  x(be)\n"));
  EXPECT_FALSE(has(r.out, "#\n")) << r.out;
}

// The reaction lines of three made-up silica polymorphs: its page is wide
// enough that the terminal cuts none of its tables.
TEST(BundledExample, Mode3ShowsItsTablesWhole) {
  const e2e::Run r = example("mode3");
  ASSERT_FALSE(has(r.out, "bombed")) << r.out;
  EXPECT_TRUE(has(r.out, "\nP = 4.501 kbar (sd = 0.8), T = 500.00 " + deg + "C (sd = 10), (cor = -0.154)\n")) << r.out;
  EXPECT_TRUE(has(r.out, "3)  wex = vel                                                [ura]    stable              -0.700\n"));
  EXPECT_FALSE(has(r.out, "#\n")) << r.out;
  endsclean(r, {"jx-example.txt", "jx-sxax.txt", "jx-log.txt", "jx-example-o.txt"});
  EXPECT_TRUE(has(r.files.at("jx-example-o.txt"), "\n1)  vel = ura\n2)  wex = ura\n3)  wex = vel\n"));
}

}  // namespace
