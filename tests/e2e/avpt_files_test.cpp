// Every file a run of average P or T reads and leaves: the summary and the
// drawing data file whole, the a-x listing of a rock with a solution
// phase, and the optional files that receive nothing and go. Numbers of
// the made-up rock (G = H - T S + (P - 0.001) V, RT = 7.2597 kJ at 600 C)
// are worked out apart from the program.

#include "harness.h"

using e2e::has;
using e2e::stamped;
using e2e::versionnote;
using e2e::runhead;

namespace {

const std::string deg = "\xA1";

// The part of the summary the log holds as well: from the activity table
// to the last line of the closing table.
std::string results(const std::string& summary) {
  const auto from = summary.find("\nActivities and uncertainties");
  const auto to = summary.find("\n[ jx351");
  return from == std::string::npos || to == std::string::npos ? "?" : summary.substr(from, to - from);
}

// Of ex + wy = exy, ex + 2wy = exyy and 2ex + wy = exxy: dH 3.4778, 3.9556,
// 2.3588; dS 0.012, 0.024, 0.006; dV 1, 2, 0.5; ln a(exxy) = ln 0.8 with sd
// 0.1. The data set's covariances of H (exy 0.16, exyy 0.36, exxy 0.09,
// exy-exyy 0.12) give those of the reactions and their correlation 0.5.
const std::string rocksummary =
    "\nActivities and uncertainties for rockb at 8.00 kbar and T = 600 " + deg + "C\n"
    "                  ex        wy       exy      exyy      exxy\n"
    "a              1.000     1.000     1.000     1.000    0.8000\n"
    "sd(a)/a            0         0         0         0   0.10000\n\n"
    "Independent set of reactions\n1)  ex + wy = exy\n2)  ex + 2wy = exyy\n3)  2ex + wy = exxy\n\n"
    "Calculations for the set of reactions at T = 600" + deg + "C \n"
    "            P    sd(P)          a    sd(a)          b         c      ln_K  sd(ln_K)\n"
    "1        7.00     0.40      3.477    0.400  -0.012000    1.0000         0    0.0000\n"
    "2        8.50     0.30      3.954    0.600  -0.024000    2.0000         0    0.0000\n"
    "3        9.00     1.57      2.358    0.300  -0.006000    0.5000   -0.2231    0.1000\n\n"
    "Correlation matrix: enthalpy of reaction\n\n"
    "   1.0000   0.5000        0\n   0.5000   1.0000        0\n        0        0   1.0000\n\n"
    "Correlation matrix: ln K\n\n"
    "        0        0        0\n        0        0        0\n        0        0   1.0000\n\n"
    "Correlation matrix:  calculated pressures\n\n"
    "   1.0000   0.5000        0\n   0.5000   1.0000        0\n        0        0   1.0000\n\n\n"
    "average P at T = 600" + deg + "C \n       avP      sd  sigfit\n      8.18    0.84   2.966\n\n"
    "for 95% confidence, fit (= sd(fit) = sqrt(MSWD)) < 1.73 (but larger may be OK)\n\n"
    "column:\n1-3: result of doubling the uncertainty on ln a.\n4-5: e* and hat for ln(activity) of end-members\n"
    "6-7: observed and calculated activities of endmembers.\n8-9: e* and hat for enthalpies of end-members\n\n"
    "               P      sd   sigfit       e*      hat    a(obs)   a(calc)       e*      hat\n"
    "      ex    8.18    0.84    2.966        0        0      1.00      1.00        0        0\n"
    "      wy    8.18    0.84    2.966        0        0      1.00      1.00        0        0\n"
    "     exy    8.18    0.84    2.966        0        0      1.00      1.00   -3.717    0.214\n"
    "    exyy    8.18    0.84    2.966        0        0      1.00      1.00    1.871    0.754\n"
    "    exxy    8.16    0.85    2.949    0.482    0.028     0.800     0.839    0.199    0.005\n\n"
    "|e*| >2.5 suspect?  hat >0.60 influential?\n\n"
    "Average pressures for rockb\n\n"
    "T" + deg + "C         500     550     600     650     700\n"
    "av P       6.97    7.58    8.18    8.79    9.39\n"
    "sd        0.834   0.837   0.841   0.844   0.848\n"
    "sigfit    2.951   2.958   2.966   2.974   2.983\n";

// The list block: a = dH - 0.001 dV, b = -dS, c = dV.
const std::string rockqk =
    "\n\n{name, lna, sdlna} = Transpose[{\n"
    "  {    ex,          0,          0},\n  {    wy,          0,          0},\n"
    "  {   exy,          0,          0},\n  {  exyy,          0,          0},\n"
    "  {  exxy,  -0.223144,   0.100000}}];\n\n"
    "r = {\n  { -1,  -1,   1,   0,   0},\n  { -1,  -2,   0,   1,   0},\n  { -2,  -1,   0,   0,   1}};\n\n"
    "{a, b, c, lnK, sdlnK} = Transpose[{\n"
    "  {   3.48,  -0.01200,    1.000,         0,         0},\n"
    "  {   3.95,  -0.02400,    2.000,         0,         0},\n"
    "  {   2.36,  -0.00600,    0.500,   -0.2231,    0.1000}}];\n\n"
    "covh = {\n  {    0.1600,     0.1200,          0},\n  {    0.1200,     0.3600,          0},\n"
    "  {         0,          0,     0.0900}};\n";

TEST(AverageRockFiles, PureRockKeepsSummaryLogAndDrawingData) {
  const e2e::Run r = e2e::run({"avrock"}, "");
  EXPECT_EQ(r.status, 0);
  // Read: preferences, script, data set, a-x file. Written and kept: log,
  // summary, drawing data; the a-x listing, details, both csv and the
  // graphics file received nothing and are gone.
  EXPECT_EQ(e2e::names(r), (std::vector<std::string>{"jx-ds7rk.txt", "jx-ds7sl.txt", "jx-ds7ss.txt", "jx-log.txt",
                                                     "jx-prefs.txt", "jx-rk-o.txt", "jx-rk-qk.txt", "jx-rk.txt",
                                                     "jx-rkax.txt", "jx-slax.txt", "jx-ssax.txt"}));
  const std::string o = stamped(r.files.at("jx-rk-o.txt"));
  EXPECT_EQ(o, runhead("made-up rock data set rk, 7 dec 2026", "jx-rkax.txt", "jx-rk.txt") + rocksummary + versionnote);
  EXPECT_EQ(r.files.at("jx-rk-qk.txt"), rockqk);
  const std::string& log = r.files.at("jx-log.txt");
  EXPECT_TRUE(has(log, results(o))) << log;
  EXPECT_TRUE(has(log, "\nT at which average P to be calculated: 500.00 to 700.00" + deg + "C (from script)\n"));
  EXPECT_TRUE(has(log, "\nusing independent set of reactions (from script)\n"));
  // The list block is for the drawing data file alone.
  EXPECT_FALSE(has(log, "Transpose"));
  EXPECT_FALSE(has(r.out, "Transpose"));
}

const std::string sollisting =
    "\n--------------------------------------\nsol\n\n composition variables\n  x(sol)\n\n"
    " site fractions\n   xA = 1 - x\n   xB = x\n\n proportions\n   exy = 1 - x\n   exyb = x\n\n"
    " ideal mixing activities\n  exy = xA\n  exyb = xB\n\n"
    " non-ideality by symmetric formalism\n  W(exy,exyb) = 10 + 0.5 P\n\n";

// Average T over 6, 8 and 10 kbar: T = (a + c P)/(-b - R ln K) of each
// reaction at 8 kbar is 683.3, 558.2 and 536.3 C, with sd sd(a) over the
// denominator. At 6 kbar reaction 2 lies at 391.6 C and at 10 kbar
// reaction 1 at 850.0 C, outside the 400-800 C window: no average there.
// At 8 kbar the mean weighted by the inverse covariance of the positions
// is 584.0 C, sigfit 2.965, sd 2.965 x 23.27 = 69.0. Without solution
// phases no report of the fit is printed.
TEST(AverageRockFiles, AverageTShowsWhereNoAverageIs) {
  const std::string s =
      "axfile rkax\ncalctype 2\nrunname rockb\ndataok yes\nwith ex wy exy exyy exxy\ndiagramPT 1 15 400 800\n"
      "calcP 6 10 2\nisr ex wy exy exyy exxy\nisr -1 -1 1 0 0\nisr -1 -2 0 1 0\nisr -2 -1 0 0 1\nautoexit\n*\n";
  const e2e::Run r = e2e::run({"avrock"}, "", {{"jx-rk.txt", s}});
  // An isr block of one end-member is read as written, and is no set for five.
  const std::string one = s.substr(0, s.find("isr ")) + "isr ex\nisr -1\nautoexit\n*\n";
  EXPECT_TRUE(has(e2e::run({"avrock"}, "", {{"jx-rk.txt", one}}).out,
                  "\n-- run bombed in rockcalcs : isr matrix has wrong shape\n"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.files.count("jx-rk-qk.txt"), 1u);
  EXPECT_EQ(r.files.count("jx-rk-ic.txt"), 0u);
  const std::string& o = r.files.at("jx-rk-o.txt");
  const std::string tail =
      "\nCalculations for the set of reactions at P = 8.0 kbar\n"
      "            T    sd(T)          a    sd(a)          b         c      ln_K  sd(ln_K)\n"
      "1       683.3     33.3      3.477    0.400  -0.012000    1.0000         0    0.0000\n"
      "2       558.2     25.0      3.954    0.600  -0.024000    2.0000         0    0.0000\n"
      "3       536.3     93.8      2.358    0.300  -0.006000    0.5000   -0.2231    0.1000\n\n\n"
      "Average temperatures for rockb\n\n"
      "P            6.00     8.00    10.00\n"
      "av T            ?    584.0        ?\n"
      "sd                    69.0         \n"
      "sigfit               2.965         \n" +
      versionnote;
  EXPECT_TRUE(o.size() > tail.size() && o.substr(o.size() - tail.size()) == tail) << o;
  EXPECT_TRUE(has(r.files.at("jx-log.txt"), tail.substr(0, tail.find("\n[ jx351")))) << r.files.at("jx-log.txt");
}

// A rock with a solution phase: sol of exy and exyb, x = 0.3, W = 10 + 0.5
// P, so at 8 kbar ln a(exy) = ln 0.7 + 14 (0.09)/RT and ln a(exyb) =
// ln 0.3 + 14 (0.49)/RT.
TEST(AverageRockFiles, SolutionRockKeepsItsAxListing) {
  const std::string s =
      "axfile ssax\nwith sol ex wy exyy\nptforaxe 8 600\ncalctype 1\ncalcT 550 650 50\ndataok yes\n"
      "diagramPT 1 15 400 800\nisr exy exyb ex wy exyy\nisr 1 0 -1 -1 0\nisr 0 0 -1 -2 1\nisr -1 1 0 0 0\n"
      "autoexit\n*\n";
  const e2e::Run r =
      e2e::run({"avrock"}, "", {{"jx-prefs.txt", "dsfile 7ss\nscriptfile ss\ncalcmode 2\n"}, {"jx-ss.txt", s}});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(e2e::names(r), (std::vector<std::string>{"jx-ds7rk.txt", "jx-ds7sl.txt", "jx-ds7ss.txt", "jx-log.txt",
                                                     "jx-prefs.txt", "jx-rk.txt", "jx-rkax.txt", "jx-slax.txt",
                                                     "jx-ss-it.txt", "jx-ss-o.txt", "jx-ss-qk.txt", "jx-ss.txt",
                                                     "jx-ssax.txt"}));
  EXPECT_EQ(r.files.at("jx-ss-it.txt"), sollisting);
  const std::string& qk = r.files.at("jx-ss-qk.txt");
  // Reactions exy - ex - wy, exyy - ex - 2wy and exyb - exy: covariances
  // from exy 0.16, exyb 0.25, exyy 0.36 and exy-exyy 0.12.
  for (const char* piece :
       {"  {   exy,  -0.183114,   0.024794},\n  {  exyb,  -0.259033,   0.134991},\n",
        "r = {\n  {  1,   0,  -1,  -1,   0},\n  {  0,   0,  -1,  -2,   1},\n  { -1,   1,   0,   0,   0}};\n",
        "  {  11.50,  -0.00800,   -0.500,   -0.0759,    0.1372}}];\n",
        "covh = {\n  {    0.1600,     0.1200,    -0.1600},\n  {    0.1200,     0.3600,    -0.1200},\n"
        "  {   -0.1600,    -0.1200,     0.4100}};\n"})
    EXPECT_TRUE(has(qk, piece)) << piece << "\n" << qk;
  const std::string o = stamped(r.files.at("jx-ss-o.txt"));
  EXPECT_EQ(o.substr(0, o.find("\nActivities")),
            runhead("made-up rock data set ss, 7 dec 2026", "jx-ssax.txt", "jx-ss.txt"));
  EXPECT_TRUE(has(o, "\nActivities and uncertainties at 8.00 kbar and T = 600 " + deg +
                         "C\n                 exy      exyb        ex        wy      exyy\n"
                         "a             0.8327    0.7718     1.000     1.000     1.000\n"))
      << o;
  EXPECT_TRUE(has(o, "\n3)  exy = exyb\n"));
  EXPECT_TRUE(has(o, "\n3        7.93     2.37     11.500    0.640  -0.008000   -0.5000   -0.0759    0.1372\n")) << o;
  EXPECT_TRUE(has(o, "\nAverage pressures \n\nT" + deg + "C         550     600     650\n")) << o;
  EXPECT_TRUE(o.size() > versionnote.size() && o.substr(o.size() - versionnote.size()) == versionnote);
  EXPECT_TRUE(has(r.files.at("jx-log.txt"), results(o)));
  // The listing is for the a-x information file alone.
  EXPECT_FALSE(has(o, "composition variables"));
}

// Two passes of the main loop: each appends its results to the summary,
// but the a-x models are listed on the first only.
TEST(AverageRockFiles, SecondRockPassListsTheModelsOnce) {
  const std::string s =
      "axfile ssax\nwith sol ex wy exyy\nptforaxe 8 600\ncalctype 1\ncalcT 600\ndataok yes\n"
      "diagramPT 1 15 400 800\nisr exy exyb ex wy exyy\nisr 1 0 -1 -1 0\nisr 0 0 -1 -2 1\nisr -1 1 0 0 0\n*\n";
  const e2e::Run r = e2e::run({"avrock"}, "n\ny\nn\nn\n\n",
                              {{"jx-prefs.txt", "dsfile 7ss\nscriptfile ss\ncalcmode 2\n"}, {"jx-ss.txt", s}});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.out, "\nall done - hit return to exit ? ")) << r.out;
  EXPECT_EQ(r.files.at("jx-ss-it.txt"), sollisting);
  const std::string& o = r.files.at("jx-ss-o.txt");
  const std::string line = "\nFor T = 600 " + deg + "C, av P = 8.466 kbar, sd = 0.29, sigfit = 0.3\n";
  const auto first = o.find(line);
  ASSERT_NE(first, std::string::npos) << o;
  EXPECT_NE(o.find(line, first + 1), std::string::npos) << o;
  EXPECT_NE(o.find("SOLVARINTH 3.51 running at"), o.rfind("SOLVARINTH 3.51 running at"));
}

// Each input the run reads, missing: the run names it and stops, and
// keeps nothing but what it had written when it stopped.
TEST(AverageRockFiles, MissingInputsAreNamed) {
  struct Case {
    std::map<std::string, std::string> files;
    std::string missing;
    bool summary;  // the summary was made before the stop
  };
  const Case cases[] = {
      {{{"jx-prefs.txt", "dsfile 7no\nscriptfile rk\ncalcmode 2\n"}}, "jx-ds7no.txt", true},
      {{{"jx-rk.txt", "axfile noax\nwith ex wy\ncalctype 1\ndataok yes\ndiagramPT 1 15 400 800\nautoexit\n*\n"}},
       "jx-noax.txt",
       true},
      {{{"jx-prefs.txt", "dsfile 7rk\nscriptfile gone\ncalcmode 2\n"}}, "jx-gone.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.missing);
    e2e::expectmissing(e2e::run({"avrock"}, "\n", c.files), c.missing, "jx-rk-o.txt",
                       c.summary ? "-- run bombed in promptdatafile : datafile needed" : "",
                       {"jx-rk-qk.txt", "jx-rk-it.txt", "jx-rk-ic.txt", "jx-rk.csv", "jx-rk-2.csv", "jx-rk.svg"});
  }
}

}  // namespace
