// Every file a least-squares run reads and leaves: the summary, the new
// data set, the new end-member file and the details file whole, the csv
// file that receives nothing and goes, the script's switches in the data
// set, and inputs that are missing.

#include "harness.h"

using e2e::has;
using e2e::stamped;
using e2e::versionnote;

namespace {

const std::string lsqhead = "\nrunning LSQDS from within SOLVARINTH 3.51\nat WHEN\n";

const std::string fitprefs = "jxdssuffix 6cv\nemsuffix ab\naxsuffix ab\nxpsuffix ab\n*\n";

// The fit of pa and pb to their calorimetry (-1000.3 sd 0.5, -1003.5 sd
// 0.7) and to the bracket of pa = pb (-3.99095 sd 0.053955, each pair,
// written code 1 first, measured from its code-0 half): weighted least
// squares worked out apart from the program (mpmath, 30 digits) gives H
// -1000.03383 and -1004.02168, sigfit 0.91766, covariances times sigfit
// squared 0.13968, 0.13885, 0.14047, hats 0.663, 0.340, 0.996. With dS
// -0.005 and dV -0.2 the line of pa = pb is T = (dH + 0.2 (P - 0.001))/0.005
// K: 724.4 C at 5 kbar, 844.4 C at 8; its sd 0.049415/0.005 = 9.88 rounds to
// 10. Each pair is one line, its code-0 half first. Einstein temperatures
// 10636/(6.44 + S/3) rounded: 460 and 496. The previous build gives the
// same for the file with each pair written code 0 first.
const std::string fitsummary =
    lsqhead + "\n1:  0.918\n2:  0.918\n\n\nThermodynamic properties (units : kJ, K, kbar)\n\n"
    "                 H  sd(H)       S       V       a        b        c        d     a0      K0    K0'    K0''"
    "   theta     Tc   Smax   Vmax\n"
    "pa        -1000.03   0.37   50.00   2.500       0        0        0        0      0       0      0       0"
    "   460.0\n"
    "pb        -1004.02   0.37   45.00   2.300       0        0        0        0      0       0      0       0"
    "   496.0\n\n\n"
    "Direct calorimetry\n\n           value     sd     e*    hat\n"
    "pa      -1000.30   0.50  -0.53   0.66\npb      -1003.50   0.70   0.75   0.34\n\n\n"
    "Oxide calorimetry\n\n          T   H(cal)    sd   H(298)     e*    hat\n\n\n"
    "____________________\nExperimental results\n\n" + std::string(65, '-') + "\n1) 1  pa = pb   (made up)\n\n"
    "     ln_K     x(CO2)   P(kbar)       T(C)     H(low) H(high)   miss   calc   2sd   cH =  -3.99 (sd  0.05)"
    "   within bracket\n"
    "        0        -       5.0       750  700    -4.12   -3.87           724    20   "
    "(-4.05 <-> -3.93), uH = 0.04, d/s = 1.8, h = 1.00\n"
    "        0        -       8.0       860  830    -4.07   -3.92           844    20   \n" + versionnote;

// Checksum: minus the mean of (H - 1000 S + 5 V)/10000 = 0.10375.
const std::string fitdataset =
    "6  2    don't fiddle with the numbers: you'll BREAK the dataset...\n  \n"
    "pa     AB   0  1   1.0000 10   2.0000  0 ff\n    0  -1000.034   0.05000   2.5000\n"
    "         0.0000    0.000000000       0.0    0.0000\n         0.0000000     0.00     0.00\n\n"
    "pb     AB   0  1   1.0000 10   2.0000  0\n    0  -1004.022   0.04500   2.3000\n"
    "         0.0000    0.000000000       0.0    0.0000\n         0.0000000     0.00     0.00\n\n\n"
    "  0.1038 0.1397 0.1389 0.1405\n\njx-ds6cv.txt produced at WHEN (sigfit =  0.918)\n";

std::string emrecord(const std::string& name, const std::string& h, const std::string& s, const std::string& v) {
  const std::string comment = std::string(35, ' ') + "% \n";
  return name + "      AB\n        1    1.00   10    2.00     0  0\n  0   " + h + "\n" + std::string(8, ' ') + s +
         std::string(35, ' ') + "% \n" + std::string(9, ' ') + v + comment +
         "         0.0000    0.000000000      0.0    0.0000 % \n      0.0000000" + std::string(35, ' ') + "% \n" +
         "           0.00  0.00" + std::string(29, ' ') + "% \n\n";
}

// The a-x model of the binary, listed by the reader of the models and once
// more after the experiments are read.
const std::string listing =
    "\n--------------------------------------\nab\n\n composition variables\n  x(ab)\n\n"
    " site fractions\n   xA = 1 - x\n   xB = x\n\n proportions\n   pa = 1 - x\n   pb = x\n\n"
    " activities\n  pa = xA\n  pb = xB\n\n";

TEST(LeastSquaresRunFiles, FitKeepsSummaryDataSetEndMembersAndDetails) {
  const e2e::Run r = e2e::run({"lsq"}, "2\n", {{"ds-prefs.txt", fitprefs}});
  EXPECT_EQ(r.status, 0);
  // Read: both preferences, the least-squares script (it must be there),
  // the script, the end-member, a-x and experiments files. Written: log,
  // summary, details (the a-x listing), the new data set and the new
  // end-member file; the csv file received nothing and is gone.
  EXPECT_EQ(e2e::names(r),
            (std::vector<std::string>{"ds-axab.txt", "ds-axgr.txt", "ds-emab-i.txt", "ds-emab.txt", "ds-emcv-f.txt",
                                      "ds-emgr.txt", "ds-ic6cv.txt", "ds-o6cv.txt", "ds-prefs.txt", "ds-scr6cv.txt",
                                      "ds-xpab.txt", "ds-xpgr.txt", "jx-ds6cv.txt", "jx-log.txt", "jx-lsq.txt",
                                      "jx-prefs.txt"}));
  EXPECT_EQ(stamped(r.files.at("ds-o6cv.txt")), fitsummary);
  EXPECT_EQ(stamped(r.files.at("jx-ds6cv.txt")), fitdataset);
  EXPECT_EQ(r.files.at("ds-emab-i.txt"), "6\n\n" + emrecord("pa", "-1000.034", "0.05000", "2.5000") +
                                             emrecord("pb", "-1004.022", "0.04500", "2.3000") + "*\n");
  EXPECT_EQ(r.files.at("ds-ic6cv.txt"), listing + listing);
  // The results go to summary and log, not to the terminal.
  const std::string& log = r.files.at("jx-log.txt");
  const std::string results = fitsummary.substr(fitsummary.find("Thermodynamic properties"));
  EXPECT_TRUE(has(log, results.substr(0, results.find("\n[ jx351")))) << log;
  EXPECT_FALSE(has(r.out, "Thermodynamic properties"));
  EXPECT_TRUE(has(r.out, "\nwriting data to \"jx-ds6cv.txt\"\n")) << r.out;
}

// A conversion reads the end-member file ending -f and the script, whose
// switches numerical and qvb give the word at the end of the first name
// line; the summary holds only the start and the end of the run.
TEST(LeastSquaresRunFiles, ConversionCarriesTheScriptsSwitches) {
  const struct {
    const char* script;
    const char* word;
  } cases[] = {
      {"*\n", " ff"},
      {"numerical yes\n*\n", " tf"},
      {"qvb yes\n*\n", " ft"},
      {"numerical yes\nqvb yes\n*\n", " tt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    const e2e::Run r = e2e::run({"lsq"}, "0\n", {{"jx-lsq.txt", c.script}});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.files.count("ds-ic6cv.txt"), 0u);
    EXPECT_EQ(r.files.count("ds-6cv.csv"), 0u);
    EXPECT_EQ(r.files.count("ds-emcv-i.txt"), 0u);
    EXPECT_EQ(stamped(r.files.at("ds-o6cv.txt")), lsqhead + versionnote);
    // -(sum of H - 1000 S + 5 V)/3/10000 = 0.0934.
    EXPECT_EQ(stamped(r.files.at("jx-ds6cv.txt")),
              "6  3    don't fiddle with the numbers: you'll BREAK the dataset...\n  \n"
              "q      SiO2   0  1   1.0000 10   2.0000  0" + std::string(c.word) +
                  "\n    0   -910.000   0.04150   2.2690\n"
                  "         0.0929   -0.000000642    -714.9   -0.7161\n"
                  "         0.0000065   730.00     6.00\n\n"
                  "lq     SiO2   0  1   1.0000 10   2.0000  0\n    1   -908.500   0.04350   2.3700\n"
                  "         0.0929   -0.000000642    -714.9   -0.7161\n"
                  "         0.0000065   730.00     6.00    847   0.00495    0.1188\n\n"
                  "qL     SiO2   0  1   1.0000 10   2.0000  0\n    7   -920.300   0.01600   2.7300\n"
                  "         0.0825    0.000000000       0.0    0.0000\n"
                  "         0.0000000   220.00     9.46   -0.00651\n\n\n"
                  "  0.0934 0 0 0 0 0 0\n\njx-ds6cv.txt produced at WHEN (sigfit =  0.000)\n");
  }
}

// The end-member file of the older layout: H and its sd on one line with
// a code, calorimetry taken from there, so the experiments file starts at
// the oxide calorimetry. The fit is that of the newer layout; the new
// end-member file is of the newer layout, with the calorimetry lines for
// the experiments file after it, and the terminal says so.
TEST(LeastSquaresRunFiles, OlderEndMemberFileGivesCalorimetryLinesToo) {
  const std::string em5 =
      "5   the two end-members of the binary in the old layout\n\n"
      "pa       AB\n   1   1.0   10   2.0   0   1   3.0\n  -1000.3   0.5   1    % cal 1990\n  0.050   0.0\n  2.5\n"
      "  0  0  0  0\n  0\n  0  0  0\n\n"
      "pb       AB\n   1   1.0   10   2.0   0   1   3.0\n  -1003.5   0.7   1    {made up}\n  0.045   0.0\n  2.3\n"
      "  0  0  0  0\n  0\n  0  0  0\n\n*\n";
  std::string xp = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/lsq/ds-xpab.txt");
  xp = xp.substr(xp.find("% oxide"));
  const e2e::Run r = e2e::run({"lsq"}, "2\n",
                              {{"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix ab5\naxsuffix ab\nxpsuffix ab5\n*\n"},
                               {"ds-emab5.txt", em5},
                               {"ds-xpab5.txt", xp}});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.out, "\ndsmode = 5 (old school)\n\n1:  0.918\n2:  0.918\n")) << r.out;
  const std::string dashes(64, '-');
  const std::string notice = "\n" + dashes +
                             "\nwith dsmode = 5 at the top of the emfile, the emifile contains\n"
                             "(1) the data in the new emfile format, AND (2) the H calorimetric\n"
                             "data to put at the head of the xpfile. (Edit/rename/cut & paste)\n" +
                             dashes + "\n";
  EXPECT_TRUE(has(r.out, notice)) << r.out;
  EXPECT_FALSE(has(r.files.at("jx-log.txt"), "with dsmode = 5"));
  // The records keep their site count; the calorimetry lines carry the H
  // and sd as read, with their notes cleaned.
  std::string i = "6\n\n" + emrecord("pa", "-1000.034", "0.05000", "2.5000") +
                  emrecord("pb", "-1004.022", "0.04500", "2.3000") +
                  "*\n1      pa    -1000.30     0.50    % cal 1990\n1      pb    -1003.50     0.70    % made up\n0\n";
  for (auto at = i.find("     0  0\n"); at != std::string::npos; at = i.find("     0  0\n", at + 1))
    i.replace(at, 10, "     0  1\n");
  EXPECT_EQ(r.files.at("ds-emab5-i.txt"), i);
  // No direct calorimetry of its own, so that table is empty.
  const std::string& o = r.files.at("ds-o6cv.txt");
  EXPECT_TRUE(has(o, "\nDirect calorimetry\n\n           value     sd     e*    hat\n\n\nOxide")) << o;
  EXPECT_TRUE(has(o, "\npa        -1000.03   0.37   50.00   2.500")) << o;
  // Two end-members written in the older layout would begin with a count
  // that a reader takes for the layout's number: the newer one is written.
  const std::string ds = stamped(r.files.at("jx-ds6cv.txt"));
  EXPECT_EQ(ds.substr(0, ds.find('\n')), "6  2    don't fiddle with the numbers: you'll BREAK the dataset...");
  EXPECT_TRUE(has(ds, "\n  0.1038 0.1397 0.1389 0.1405\n\njx-ds6cv.txt produced at WHEN (sigfit =  0.918)\n")) << ds;
}

// Each input, missing: the run names it and stops. The least-squares
// script is looked for before any output file is made; the others after
// the summary, which keeps the stop. No new data set or end-member file;
// the details file only when the a-x listing reached it.
TEST(LeastSquaresRunFiles, MissingInputsAreNamed) {
  struct Case {
    std::string answers;
    std::map<std::string, std::string> files;
    std::string missing;
    bool summary;
    bool listing;  // the a-x models were read and listed before the stop
  };
  const Case cases[] = {
      {"2\n", {{"ds-prefs.txt", "jxdssuffix 6no\nemsuffix ab\naxsuffix ab\nxpsuffix ab\n*\n"}}, "ds-scr6no.txt",
       false, false},
      {"2\n", {{"ds-prefs.txt", fitprefs}, {"jx-prefs.txt", "scriptfile gone\ncalcmode 9\n"}}, "jx-gone.txt",
       true, false},
      {"2\n", {{"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix lost\naxsuffix ab\nxpsuffix ab\n*\n"}}, "ds-emlost.txt",
       true, false},
      {"2\n", {{"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix ab\naxsuffix lost\nxpsuffix ab\n*\n"}}, "ds-axlost.txt",
       true, false},
      {"2\n", {{"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix ab\naxsuffix ab\nxpsuffix lost\n*\n"}}, "ds-xplost.txt",
       true, true},
      {"0\n", {{"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix lost\n*\n"}}, "ds-emlost-f.txt", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.missing);
    const e2e::Run r = e2e::run({"lsq"}, c.answers, c.files);
    e2e::expectmissing(r, c.missing, c.missing == "ds-scr6no.txt" ? "ds-o6no.txt" : "ds-o6cv.txt",
                       c.summary ? "-- run bombed in promptdatafile : datafile needed" : "",
                       {"jx-ds6cv.txt", "ds-emab-i.txt", "ds-6cv.csv"});
    EXPECT_EQ(r.files.count("ds-ic6cv.txt"), c.listing ? 1u : 0u);
  }
}

}  // namespace
