// Average P and average T of a made-up rock of five end-members (Si, Mg;
// G = H - T S + (P - 0.001) V) over three reactions. The activity of exxy
// (0.8, sd 0.08) is typed into the driver's edit dialogue.
#include <algorithm>
#include <cmath>
#include <map>
#include <regex>
#include <sstream>
#include <vector>

#include "harness.h"

using e2e::has;

namespace {

const std::string deg = "\xA1";

struct script {
  std::string calc = "calctype 1\n";
  std::string window = "diagramPT 1 15 400 800\ncalcT 500 700 50\n";
  std::string isr = "isr ex wy exy exyy exxy\nisr -1 -1 1 0 0\nisr -1 -2 0 1 0\nisr -2 -1 0 0 1\n";
  std::string extra = "printcor yes\nautoexit\n";
  std::string text() const {
    return "axfile rkax\nrunname rockb\nwith ex wy exy exyy exxy\n" + calc + window + isr + extra + "*\n";
  }
};

// Answers that set a(exxy) = 0.8, sd 0.08 on a pass that shows the table.
const std::string setexxy = "n\n\ny\nexxy\n0.8\n0.08\n\n";

e2e::Run rock(const script& s, const std::string& answers) { return e2e::run({"avrock"}, answers, {{"jx-rk.txt", s.text()}}); }

bool hasline(const std::string& text, const std::string& line) { return has(text, "\n" + line + "\n"); }

// Sums over the single end-member rows of the diagnostics: e* squared and hat.
void diagnosticsums(const std::string& text, long double& e2, long double& hat) {
  e2 = hat = 0;
  std::istringstream in(text.substr(text.find("a(calc)")));
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line) && !line.empty()) {
    std::istringstream w(line);
    std::vector<std::string> f;
    for (std::string s; w >> s;) f.push_back(s);
    ASSERT_EQ(f.size(), 10u) << line;
    e2 += std::stold(f[4]) * std::stold(f[4]) + std::stold(f[8]) * std::stold(f[8]);
    hat += std::stold(f[5]) + std::stold(f[9]);
  }
}

TEST(AverageRock, AverageP) {
  const e2e::Run r = rock(script{}, setexxy);
  const std::string& o = r.files.at("jx-rk-o.txt");
  for (const std::string& line :
       {"Activities and uncertainties for rockb at 8.00 kbar and T = 600 " + deg + "C",
        std::string("1        7.00     0.40      3.477    0.400  -0.012000    1.0000         0    0.0000"),
        std::string("3        9.00     1.57      2.358    0.300  -0.006000    0.5000   -0.2231    0.1000"),
        std::string("      8.18    0.84   2.966"),
        std::string("     exy    8.18    0.84    2.966        0        0      1.00      1.00   -3.717    0.214"),
        std::string("    exxy    8.16    0.85    2.949    0.482    0.028     0.800     0.839    0.199    0.005"),
        std::string("|e*| >2.5 suspect?  hat >0.60 influential?"),
        std::string("av P       6.97    7.58    8.18    8.79    9.39"),
        std::string("sd        0.834   0.837   0.841   0.844   0.848"),
        std::string("sigfit    2.951   2.958   2.966   2.974   2.983")})
    EXPECT_TRUE(hasline(o, line)) << line << "\n" << o;
  // The diagnostics come once, at the middle temperature.
  EXPECT_TRUE(has(o, "average P at T = 600" + deg + "C \n"));
  EXPECT_FALSE(has(o, "average P at T = 550"));
  // The list block goes to the drawing data file only.
  const std::string& qk = r.files.at("jx-rk-qk.txt");
  EXPECT_TRUE(has(qk, "  {  exxy,  -0.223144,   0.100000}}];\n")) << qk;
  EXPECT_TRUE(has(qk, "  { -2,  -1,   0,   0,   1}};\n")) << qk;
  EXPECT_TRUE(has(qk, "  {         0,          0,     0.0900}};\n")) << qk;
  // The linearisation of r3 at 8 kbar, 600 C: with ln K in dmu, b is -dS
  // of the reaction (R ln K taken off again) and a its dH - 0.001 dV.
  EXPECT_TRUE(has(qk, "\n  {   2.36,  -0.00600,    0.500,   -0.2231,    0.1000}}];\n")) << qk;
  EXPECT_FALSE(has(o, "Transpose"));
}

// An activity typed outside (0, 1] is asked for again until it fits; the
// fit is then the one of the activity finally typed.
TEST(AverageRock, ActivityOutsideItsRangeIsAskedAgain) {
  const e2e::Run r = rock(script{}, "n\n\ny\nexxy\n1.5\n0\n0.8\n0.08\n\n");
  const std::string& log = r.files.at("jx-log.txt");
  const std::string again = "should be 0 < activity <= 1 : try again";
  const auto first = log.find(again);
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_NE(log.find(again, first + 1), std::string::npos) << log;
  const std::string& o = r.files.at("jx-rk-o.txt");
  for (const char* line : {"    exxy    8.16    0.85    2.949    0.482    0.028     0.800     0.839    0.199    0.005",
                           "av P       6.97    7.58    8.18    8.79    9.39"})
    EXPECT_TRUE(hasline(o, line)) << line << "\n" << o;
}

// The fixture's own script: the activities come from the a-x file, the
// tables and the average go to terminal, summary and log alike.
TEST(AverageRock, ActivitiesFromTheAxFile) {
  const e2e::Run r = e2e::run({"avrock"}, "");
  ASSERT_FALSE(has(r.out, "bombed")) << r.out;
  const std::string& o = r.files.at("jx-rk-o.txt");
  const std::string& log = r.files.at("jx-log.txt");
  for (const std::string& line :
       {std::string("3        9.00     1.57      2.358    0.300  -0.006000    0.5000   -0.2231    0.1000"),
        std::string("    exxy    8.16    0.85    2.949    0.482    0.028     0.800     0.839    0.199    0.005"),
        std::string("av P       6.97    7.58    8.18    8.79    9.39")}) {
    EXPECT_TRUE(hasline(o, line)) << line << "\n" << o;
    EXPECT_TRUE(hasline(log, line)) << line;
  }
  // Without dataok's "no" nothing about the data was asked.
  EXPECT_FALSE(has(r.out, "these data ok"));
}

// The fit does not depend on the basis of the reactions: r1, r2, r1 + r3.
TEST(AverageRock, AnotherBasisGivesTheSameFit) {
  script s;
  s.isr = "isr ex wy exy exyy exxy\nisr -1 -1 1 0 0\nisr -1 -2 0 1 0\nisr -3 -2 1 0 1\n";
  const e2e::Run r = rock(s, setexxy);
  const std::string& o = r.files.at("jx-rk-o.txt");
  EXPECT_TRUE(hasline(o, "      8.18    0.84   2.966")) << o;
  EXPECT_TRUE(hasline(o, "av P       6.97    7.58    8.18    8.79    9.39")) << o;
  EXPECT_TRUE(hasline(o, "sigfit    2.951   2.958   2.966   2.974   2.983")) << o;
  long double e2 = 0, hat = 0;
  diagnosticsums(o, e2, hat);
  EXPECT_NEAR(e2, 2 * 2.966L * 2.966L, 0.02L);
  EXPECT_NEAR(hat, 1, 0.005L);
}

TEST(AverageRock, AverageTAtOnePressure) {
  script s;
  s.calc = "calctype 2\n";
  s.window = "diagramPT 1 15 400 800\ncalcP 8\n";
  const e2e::Run r = rock(s, setexxy);
  const std::string& o = r.files.at("jx-rk-o.txt");
  EXPECT_TRUE(hasline(o, "For P = 8.0 kbar, av T =     584.0 " + deg + "C, sd =      69.0, sigfit = 2.97")) << o;
  EXPECT_FALSE(has(o, "average T at P")) << o;
}

// A second pass shows the table, asks about the data and the window, and
// gives the same results.
TEST(AverageRock, SecondPassWithTheseData) {
  script s;
  s.extra = "printcor yes\n";
  const e2e::Run r = rock(s, setexxy + "y\ny\ny\ny\nn\nn\n");
  const std::string& log = r.files.at("jx-log.txt");
  for (const char* q : {"more calculations with these data ? ", "continue with/add to data changes in last calculation ? ",
                        "same PT window ? "})
    EXPECT_TRUE(has(log, q)) << q << "\n" << log;
  const std::string row = "\nav P       6.97    7.58    8.18    8.79    9.39\n";
  const std::string& o = r.files.at("jx-rk-o.txt");
  const auto first = o.find(row);
  ASSERT_NE(first, std::string::npos) << o;
  EXPECT_NE(o.find(row, first + 1), std::string::npos) << o;
  EXPECT_TRUE(has(o, "**************************************"));
  // The second table shows the typed activity of the first pass.
  const auto banner = log.find("**************************************");
  ASSERT_NE(banner, std::string::npos);
  EXPECT_TRUE(has(log.substr(banner), "     a     1.00     1.00     1.00     1.00    0.800\n")) << log.substr(banner);
}

// Typed limits of a reaction's sd are pulled into their range; the script's
// value is taken as it is.
// The details file of a run on the rock up to its reactions: the
// end-members' Si and Mg, their divisors and the composition matrix.
const std::string rockdetails =
    "\n          Si    Mg\nex         1     0\nwy         0     1\nexy        1     1\nexyy       1     2\n"
    "exxy       2     1\ndiv        1     1\n\nc =   {{  1,   0,   1,   1,   2},\n"
    "       {  0,   1,   1,   2,   1}};\n\n\n";

TEST(AverageRock, MaxSdResets) {
  struct cas {
    const char* calc;
    std::string extra, answer, line;
    const char* bombed = "";  // the routine word of the fatal end, when the limit leaves no reaction
  };
  const std::vector<cas> cases = {
      {"calctype 1\n", "", "0.01", "max sd(P) reset to 0.05 kbar", "avP"},
      {"calctype 1\n", "", "25", "max sd(P) reset to 20 kbar"},
      {"calctype 2\ncalcP 8\n", "", "10", "max sd(T) reset to 20" + deg + "C", "avT"},
      {"calctype 2\ncalcP 8\n", "", "800", "max sd(T) reset to 500" + deg + "C"},
      {"calctype 1\n", "maxsdp 2.26\n", "", "max allowed sd(P): 2.3 kbar (from script)"},
      {"calctype 2\ncalcP 8\n", "maxsdt 37.6\n", "", "max allowed sd(T): 38" + deg + "C (from script)"},
  };
  for (const cas& c : cases) {
    script s;
    s.calc = c.calc;
    if (std::string(c.calc).find("calcP") != std::string::npos) s.window = "diagramPT 1 15 400 800\n";
    s.isr = "";
    s.extra = c.extra + "dataok yes\nautoexit\n";
    const e2e::Run r = rock(s, c.answer + "\n");
    EXPECT_TRUE(hasline(r.files.at("jx-log.txt"), c.line)) << c.line << "\n" << r.out;
    // Without reactions the run ends; the details file keeps the rock's
    // compositions and the fatal block. A run that goes on has no block.
    const std::string& ic = r.files.at("jx-rk-ic.txt");
    if (*c.bombed != '\0') {
      EXPECT_EQ(ic, rockdetails + "-- run bombed in " + c.bombed + " : incomplete set\n\n") << c.line;
    } else {
      EXPECT_EQ(ic.substr(0, rockdetails.size() - 2), rockdetails.substr(0, rockdetails.size() - 2)) << c.line;
      EXPECT_FALSE(has(ic, "run bombed")) << c.line;
    }
  }
  script s;
  s.isr = "";
  s.extra = "dataok yes\nautoexit\n";
  const e2e::Run r = rock(s, "0.05\n");
  EXPECT_FALSE(has(r.out, "reset to"));
  EXPECT_EQ(r.files.at("jx-rk-ic.txt"), rockdetails + "-- run bombed in avP : incomplete set\n\n");
}

TEST(AverageRock, ScriptReactionSetIsChecked) {
  struct cas {
    std::string isr, message;
  };
  const std::vector<cas> cases = {
      {"isr ex wy exy exyy\nisr -1 -1 1 0\n", "isr matrix has wrong shape"},
      {"isr wy ex exy exyy exxy\nisr -1 -1 1 0 0\n", "setisr phases do not match"},
      {"isr ex wy exy exyy exxy\nisr -1 -1 1 0 0\nisr -1 -1 0 1 0\n", "setisr reaction doesn't balance"},
  };
  for (const cas& c : cases) {
    script s;
    s.isr = c.isr;
    s.extra = "dataok yes\nautoexit\n";
    const e2e::Run r = rock(s, "");
    EXPECT_TRUE(has(r.out, "-- run bombed in rockcalcs : " + c.message)) << c.message << "\n" << r.out;
  }
}

TEST(AverageRock, ReactionSetWrittenToTheLogForRereading) {
  script s;
  s.extra = "dataok yes\npisr yes\nautoexit\n";
  const e2e::Run r = rock(s, "");
  EXPECT_TRUE(has(r.files.at("jx-log.txt"),
                  "\nisr        ex   wy  exy exyy exxy\nisr        -1   -1    1    0    0\n"
                  "isr        -1   -2    0    1    0\nisr        -2   -1    0    0    1\n\n"))
      << r.files.at("jx-log.txt");
  EXPECT_FALSE(has(r.files.at("jx-rk-o.txt"), "isr  "));
}

// With names of five and six characters and coefficients of five, the block
// written for rereading keeps a blank before every entry, so pasted into
// the script it is read back as the same set, and written again the same.
TEST(AverageRock, ReactionSetWithLongNamesIsReadBack) {
  const auto renamed = [](std::string text) {
    text = std::regex_replace(text, std::regex("\\bexyy\\b"), "exyyy");
    return std::regex_replace(text, std::regex("\\bexxy\\b"), "exxyyy");
  };
  const e2e::fs::path fixtures = e2e::fs::path(SOLVARINTH_FIXTURES) / "avrock";
  const auto runwith = [&](const std::string& isr) {
    script s;
    s.isr = isr;
    s.extra = "dataok yes\npisr yes\nautoexit\n";
    return e2e::run({"avrock"}, "",
                    {{"jx-rk.txt", renamed(s.text())},
                     {"jx-ds7rk.txt", renamed(e2e::slurp(fixtures / "jx-ds7rk.txt"))},
                     {"jx-rkax.txt", renamed(e2e::slurp(fixtures / "jx-rkax.txt"))}});
  };
  const std::string block =
      "isr         ex    wy  exy exyyy exxyyy\nisr         -1    -1    1     0      0\n"
      "isr      -1000 -2000    0  1000      0\nisr         -2    -1    0     0      1\n";
  const e2e::Run first = runwith(renamed(script{}.isr.substr(0, script{}.isr.find('\n') + 1)) +
                                 "isr -1 -1 1 0 0\nisr -1000 -2000 0 1000 0\nisr -2 -1 0 0 1\n");
  ASSERT_TRUE(has(first.files.at("jx-log.txt"), "\n" + block + "\n")) << first.files.at("jx-log.txt");
  const e2e::Run again = runwith(block);
  EXPECT_FALSE(has(again.out, "bombed")) << again.out;
  EXPECT_TRUE(has(again.files.at("jx-log.txt"), "using independent set of reactions (from script)"));
  EXPECT_TRUE(has(again.files.at("jx-log.txt"), "\n" + block + "\n")) << again.files.at("jx-log.txt");
}

// Excluding ex, exy and exyy leaves wy and exxy; exxy alone then carries
// Si and goes, after which wy alone carries Mg and goes too.
TEST(AverageRock, EndMembersAloneWithAComponentAreExcluded) {
  const e2e::Run r = rock(script{}, "n\nex exy exyy\ny\n");
  const std::string& o = r.files.at("jx-rk-o.txt");
  EXPECT_TRUE(has(o, "T = 600 " + deg + "C\n          \na         \nsd(a)/a   \n")) << o;
}

}  // namespace

namespace {

// A rock with a solution phase of two polymorphs, exy and exyb, whose
// activities depend on P (W = 0.5 P) and T: the averages are made
// self-consistent with them.
e2e::Run solutionrock(const std::string& calc) {
  const std::string s = "axfile ssax\nwith sol ex wy exyy\nptforaxe 8 600\n" + calc +
                        "dataok yes\ndiagramPT 1 15 400 800\nisr exy exyb ex wy exyy\nisr 1 0 -1 -1 0\n"
                        "isr 0 0 -1 -2 1\nisr -1 1 0 0 0\nautoexit\n*\n";
  return e2e::run({"avrock"}, "", {{"jx-prefs.txt", "dsfile 7ss\nscriptfile ss\ncalcmode 2\n"}, {"jx-ss.txt", s}});
}

// The trace at the middle temperature: the start, then iterations until two
// averages agree within 0.0001 kbar; the report follows at the settled
// activities.
TEST(AverageRock, AveragePIteratesWithTheActivities) {
  const e2e::Run r = solutionrock("calctype 1\ncalcT 550 650 50\n");
  ASSERT_FALSE(has(r.out, "bombed")) << r.out;
  const std::string& o = r.files.at("jx-ss-o.txt");
  EXPECT_TRUE(has(o, "avP iteration at T = 600" + deg +
                         "C \n"
                         "         avP                           sd(avP)  sigfit\n"
                         " 0    8.4509 (  8.26,   8.50,   8.53)      0.3    0.44\n"
                         " 1    8.4665 (  8.31,   8.50,   8.11)      0.3    0.34\n"
                         " 2    8.4663 (  8.31,   8.50,   8.11)      0.3    0.34\n"
                         " 3    8.4663 (  8.31,   8.50,   8.11)      0.3    0.34\n\n"
                         "average P at T = 600" + deg + "C \n"))
      << o;
  EXPECT_FALSE(has(o, "did NOT converge"));
  EXPECT_FALSE(has(o, "avP iteration at T = 550"));
  EXPECT_TRUE(hasline(o, "av P       7.81    8.47    9.12")) << o;
}

// Average T searches the temperature of the activities; only the middle
// pressure shows its steps, the others say so.
TEST(AverageRock, AverageTSearchesTheTemperatureOfTheActivities) {
  const e2e::Run r = solutionrock("calctype 2\ncalcP 7 9 1\n");
  ASSERT_FALSE(has(r.out, "bombed")) << r.out;
  const std::string& o = r.files.at("jx-ss-o.txt");
  EXPECT_TRUE(has(o, "\navT iteration at P = 7.0 kbar (details not shown)\n\navT iteration at P = 8.0 kbar \n"
                     "               avT                           sd(avT)      sigfit\n"
                     " 0   600.0  566.76  ( 575.6,  558.2,  595.8)    21.3     0.47978\n"
                     " 1   536.2  570.88  ( 582.8,  558.2,  649.9)    21.9     0.74251\n"
                     " 1   663.8  561.89  ( 569.4,  558.2,  554.0)    20.7     0.26661\n"
                     " 2   600.0  566.76  ( 575.6,  558.2,  595.8)    21.3     0.47978\n"))
      << o;
  EXPECT_TRUE(has(o, "\n20   663.8  561.89  ( 569.4,  558.2,  554.0)    20.7     0.26661\n\naverage T at P = 8.0 kbar\n"))
      << o;
  EXPECT_TRUE(has(o, "\n\navT iteration at P = 9.0 kbar (details not shown)\n"));
  EXPECT_TRUE(hasline(o, "av T        491.2    561.9    643.1")) << o;
}

// A later entry at the set-up's pressure starts from activities at that
// pressure, not from those the entry before left: its first row is that of
// a run at that pressure alone.
TEST(AverageRock, AverageTStartsEachEntryAfreshAtTheSetUpPressure) {
  const std::string row0 = "\n 0   600.0  566.76  ( 575.6,  558.2,  595.8)    21.3     0.47978\n";
  EXPECT_TRUE(has(solutionrock("calctype 2\ncalcP 8\n").files.at("jx-ss-o.txt"), row0));
  const std::string o = solutionrock("calctype 2\ncalcP 7 8 1\n").files.at("jx-ss-o.txt");
  EXPECT_TRUE(has(o, "\navT iteration at P = 8.0 kbar \n")) << o;
  EXPECT_TRUE(has(o, row0)) << o;
}

// The a-x model's activities belong to the P and T given for it, not to the
// middle of a window that lies elsewhere: 8 kbar and 600 degrees against a
// window centred on 7 kbar and 550. At 8 kbar, 600 degrees a(exy) = 0.8327
// and a(exyb) = 0.7718, as the passes of this rock show.
TEST(AverageRock, SolutionActivitiesStayAtThePointGivenForThem) {
  const std::string s = "axfile ssax\nwith sol ex wy exyy\nptforaxe 8 600\ncalctype 1\ncalcT 550 650 50\ndataok yes\n"
                        "diagramPT 2 12 450 650\nisr exy exyb ex wy exyy\nisr 1 0 -1 -1 0\nisr 0 0 -1 -2 1\n"
                        "isr -1 1 0 0 0\nautoexit\n*\n";
  const e2e::Run r =
      e2e::run({"avrock"}, "", {{"jx-prefs.txt", "dsfile 7ss\nscriptfile ss\ncalcmode 2\n"}, {"jx-ss.txt", s}});
  ASSERT_FALSE(has(r.out, "bombed")) << r.out;
  const std::string& o = r.files.at("jx-ss-o.txt");
  EXPECT_TRUE(hasline(o, "Activities and uncertainties at 8.00 kbar and T = 600 " + deg + "C")) << o;
  EXPECT_TRUE(hasline(o, "a             0.8327    0.7718     1.000     1.000     1.000")) << o;
}

// Of an even list the upper middle entry carries the trace and the report.
TEST(AverageRock, EvenListReportsAtItsUpperMiddle) {
  const std::string o = solutionrock("calctype 1\ncalcT 550 600 50\n").files.at("jx-ss-o.txt");
  EXPECT_TRUE(has(o, "avP iteration at T = 600" + deg + "C \n")) << o;
  EXPECT_TRUE(has(o, "average P at T = 600" + deg + "C \n")) << o;
  EXPECT_FALSE(has(o, "at T = 550"));
}

}  // namespace

namespace {

// With W = 1.2 P and reactions 1 and 2 nearly weightless, each iteration
// moves the average only 4% closer to where it settles: ten are not enough.
TEST(AverageRock, AveragePThatDoesNotSettleInTenIterations) {
  const std::string s =
      "axfile slax\nwith sol ex wy exyy\nptforaxe 4 600\ncalctype 1\ndataok yes\ndiagramPT 1 15 400 800\n"
      "calcT 600\nisr exy exyb ex wy exyy\nisr 1 0 -1 -1 0\nisr 0 0 -1 -2 1\nisr -1 1 0 0 0\nautoexit\n*\n";
  const e2e::Run r =
      e2e::run({"avrock"}, "", {{"jx-prefs.txt", "dsfile 7sl\nscriptfile sl\ncalcmode 2\n"}, {"jx-sl.txt", s}});
  const std::string& o = r.files.at("jx-sl-o.txt");
  EXPECT_TRUE(has(o, "\n10    6.5784 (  8.90,   8.50,   6.49)      2.3    0.12\ndid NOT converge\n")) << o;
  // The entry keeps the tenth values, and no report follows.
  EXPECT_TRUE(hasline(o, "For T = 600 " + deg + "C, av P = 6.578 kbar, sd = 2.30, sigfit = 0.1")) << o;
  EXPECT_FALSE(has(o, "average P at T"));
}

}  // namespace

namespace {

// Of the rock in avsingular only exy and exyy carry an uncertainty (exxy
// has neither an activity sd nor an enthalpy variance), and its third
// reaction, r1 + r3 of avrock, moves with exy alone as the first does: the
// covariance of the three positions has rank 2 by construction, with or
// without the enthalpies, whatever rounding leaves of its last pivot. No
// list, of average P or average T, of one value (the middle, where the
// diagnostics fit) or more, gives an average: the run stops where the
// weights are inverted, after the tables.
TEST(AverageRock, SingularWeightsGiveNoAverageForAnyList) {
  struct cas {
    std::string calc, justrelu;
  };
  const std::vector<cas> cases = {{"", ""},  // the fixture's own script: calcT 460 510 50, justrelu yes
                                  {"calctype 1\ncalcT 470 520 50\n", "no"},
                                  {"calctype 1\ncalcT 500 600 100\n", "yes"},
                                  {"calctype 1\ncalcT 600\n", "yes"},
                                  {"calctype 1\ncalcT 600\n", "no"},
                                  {"calctype 2\ncalcP 4 10 2\n", "yes"},
                                  {"calctype 2\ncalcP 6 9 1\n", "no"}};
  for (const cas& c : cases) {
    std::map<std::string, std::string> extra;
    if (!c.calc.empty())
      extra["jx-sg.txt"] = "axfile sgax\n" + c.calc + "dataok yes\nwith ex wy exy exyy exxy\ndiagramPT 1 15 400 800\n" +
                           "isr ex wy exy exyy exxy\nisr -1 -1 1 0 0\nisr -1 -2 0 1 0\nisr -3 -2 1 0 1\njustrelu " +
                           c.justrelu + "\nautoexit\n*\n";
    const e2e::Run r = e2e::run({"avsingular"}, "", extra);
    const std::string what = c.calc.empty() ? "the fixture's script" : c.calc + "justrelu " + c.justrelu;
    EXPECT_TRUE(has(r.out, "\n-- run bombed in posdefinvert : sqrt negative\n")) << what << "\n" << r.out;
    const std::string& o = r.files.at("jx-sg-o.txt");
    EXPECT_TRUE(has(o, "Calculations for the set of reactions")) << what;
    for (const char* average : {"av P", "av T", "average P at", "average T at", "Average pressures", "Average temperatures"})
      EXPECT_FALSE(has(o, average)) << what << ": " << average << "\n" << o;
  }
}

}  // namespace
