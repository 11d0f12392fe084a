// Calc mode 9 seen from outside: the conversion of an end-member file into
// a data set, and the ways a fit stops before it reads its inputs.
#include <fstream>
#include <iterator>

#include "harness.h"

using e2e::has;

namespace {

std::string fixture(const std::string& path) {
  std::ifstream f(std::string(SOLVARINTH_FIXTURES) + "/" + path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

TEST(LeastSquares, ConversionWritesTheDataSetFile) {
  const e2e::Run r = e2e::run({"lsq"}, "0\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.out,
                  "number of iterations  : dsfile conversion to new format\n\nnumber of end-members =    3\n\n"
                  "writing data to \"jx-ds6cv.txt\"\n"))
      << r.out;
  EXPECT_TRUE(has(r.files.at("jx-log.txt"), "\nreading thermodynamic data\n  1)  q\n  2)  lq\n  3)  qL\n"));
  EXPECT_TRUE(has(r.files.at("jx-log.txt"), "writing data to \"jx-ds6cv.txt\"\n"));
  const std::string& ds = r.files.at("jx-ds6cv.txt");
  EXPECT_EQ(ds.substr(0, ds.find('\n')), "6  3    don't fiddle with the numbers: you'll BREAK the dataset...");
  EXPECT_TRUE(has(ds, "\nq      SiO2   0  1   1.0000 10   2.0000  0 ff\n    0   -910.000   0.04150   2.2690\n"));
  EXPECT_TRUE(has(ds, "         0.0000065   730.00     6.00    847   0.00495    0.1188\n"));
  EXPECT_TRUE(has(ds, "    7   -920.300   0.01600   2.7300\n"));
  EXPECT_TRUE(has(ds, "   220.00     9.46   -0.00651\n"));
  // Checksum: minus the mean of (H - 1000 S + 5 V)/10000; then the six
  // covariances of three end-members, all zero without a fit.
  EXPECT_TRUE(has(ds, "\n\n  0.0934 0 0 0 0 0 0\n\njx-ds6cv.txt produced at ")) << ds;
  EXPECT_EQ(ds.substr(ds.size() - 19), " (sigfit =  0.000)\n");
  // Nothing fitted: no new-format end-member file.
  EXPECT_EQ(r.files.count("ds-emcv-i.txt"), 0u);
}

struct stopcase {
  const char* what;
  std::map<std::string, std::string> files;
  std::string answers;
  std::string shown;    // on the terminal
  std::string hidden;   // not on the terminal
};

TEST(LeastSquares, FitStopsAndStandIns) {
  const std::string em6 =
      "6\n\nq   SiO2\n 1 1 10 2 0\n0\n -910.7\n 0.0415\n 2.269\n 0.0929 -0.642e-6 -714.9 -0.7161\n 0.65e-5\n 730 6\n\n*\n";
  const std::string em7 = "7" + em6.substr(1);
  const stopcase cases[] = {
      {"more than 20 iterations, before any end-member file is opened",
       {{"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix cv\nuserfac no\ntighten ask\nuseqr ask\n*\n"}}, "y\n21\n",
       "\n-- run bombed in dolsqds : too many iterations\n", "effectively fix"},
      {"the tighten question follows rfac", {{"ds-prefs.txt", "jxdssuffix 6cv\nuserfac ask\ntighten ask\n*\n"}},
       "y\ny\n21\n", "use \"rfac\" ? effectively fix \"good\" equilibria ? number of iterations ", "cannot locate"},
      {"a fit reads the end-member file, then the a-x file",
       {{"ds-emcv.txt", em6}, {"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix cv\naxsuffix zz\n*\n"}}, "3\n",
       "number of end-members =    1\n\ncannot locate file \"ds-axzz.txt\"", "dsmode"},
      {"a fit takes modes 5 and 6 only, after reading its inputs",
       {{"ds-emab7.txt", "7" + fixture("lsq/ds-emab.txt").substr(1)},
        {"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix ab7\naxsuffix ab\nxpsuffix ab\n*\n"}},
       "3\n", "-- run bombed in dolsqds : dsmode not 5 or 6", "writing data"},
  };
  for (const stopcase& c : cases) {
    const e2e::Run r = e2e::run({"lsq"}, c.answers, c.files);
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_TRUE(has(r.out, c.shown)) << c.what << "\n" << r.out;
    EXPECT_FALSE(has(r.out, c.hidden)) << c.what << "\n" << r.out;
    EXPECT_EQ(r.files.count("jx-ds6cv.txt"), 0u) << c.what;
  }
}

TEST(LeastSquares, NewDataSetMayNotReplaceAFileTheRunReads) {
  // The data set named in the preferences and the new one share a name.
  const e2e::Run r = e2e::run({"lsq"}, "0\n", {{"jx-prefs.txt", "scriptfile lsq\ncalcmode 9\ndsfile 6cv\n"},
                                               {"jx-ds6cv.txt", "my data set\n"}});
  EXPECT_TRUE(has(r.out, "-- run bombed in startout : the output file \"jx-ds6cv.txt\" would overwrite the "
                         "data-set file"))
      << r.out;
  EXPECT_EQ(r.files.at("jx-ds6cv.txt"), "my data set\n");
  // Nor the script.
  const e2e::Run s = e2e::run({"lsq"}, "0\n", {{"jx-prefs.txt", "scriptfile ds6cv\ncalcmode 9\n"},
                                               {"jx-ds6cv.txt", "*\n"}});
  EXPECT_TRUE(has(s.out, "the output file \"jx-ds6cv.txt\" would overwrite the script file")) << s.out;
  EXPECT_EQ(s.files.at("jx-ds6cv.txt"), "*\n");
}

// A fit of two end-members of one binary to their direct calorimetry and
// one reaction between them with two reversals (numbers worked out apart
// from the program: G = H - T S + (P - 0.001) V).
const std::string fitprefs = "jxdssuffix 6cv\nemsuffix ab\naxsuffix ab\nxpsuffix ab\n";

TEST(LeastSquares, FitOfABinaryByQRAndByCholesky) {
  for (const char* solver : {"useqr yes\n", "useqr no\n"}) {
    const e2e::Run r = e2e::run({"lsq"}, "2\n", {{"ds-prefs.txt", fitprefs + solver + "infolevel 2\n*\n"}});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(has(r.out, "dsmode = 6 (5 tweaked, new format)\n")) << r.out;
    EXPECT_TRUE(has(r.out, "\n1:  0.919\n")) << r.out;
    EXPECT_TRUE(has(r.out, "\n2:  0.919\n")) << r.out;
    const std::string& sum = r.files.at("ds-o6cv.txt");
    EXPECT_TRUE(has(sum, "\npa        -1000.03   0.37   50.00   2.500")) << sum;
    EXPECT_TRUE(has(sum, "\npb        -1004.02   0.37   45.00   2.300")) << sum;
    EXPECT_TRUE(has(sum, "\npa      -1000.30   0.50  -0.53   0.66\npb      -1003.50   0.70   0.75   0.34\n")) << sum;
    EXPECT_TRUE(has(sum, "\n1) 1  pa = pb   (made up)\n\n")) << sum;
    EXPECT_TRUE(has(sum, "   cH =  -3.99 (sd  0.03)   within bracket\n")) << sum;
    // One line per reversal: the calculated T at its P and twice its sd.
    EXPECT_TRUE(has(sum, "        0        -       5.0            700            -3.87     <>    725    10   "
                         "(-4.05 <-> -3.93), uH = 0.04, d/s = 1.8, h = 1.00\n"))
        << sum;
    EXPECT_TRUE(has(sum, "        0        -       8.0            830            -3.92     <>    845    10   \n"))
        << sum;
    const std::string& log = r.files.at("jx-log.txt");
    EXPECT_TRUE(has(log, "\nexperimental brackets\n  3)    -3.99")) << log;
    EXPECT_TRUE(has(log, "    0.0289    pa  =  pb                            (made up )\n")) << log;
    EXPECT_TRUE(has(log, "\n    5.0    750   1.00000   1.00000\n")) << log;
    const std::string& ds = r.files.at("jx-ds6cv.txt");
    EXPECT_TRUE(has(ds, "\npa     AB   0  1   1.0000 10   2.0000  0 ff\n    0  -1000.033")) << ds;
    EXPECT_TRUE(has(ds, "\n    0  -1004.023   0.04500   2.3000\n")) << ds;
    EXPECT_TRUE(has(ds, "\n  0.1038 0.1399 0.1396 0.1401\n")) << ds;
    EXPECT_TRUE(has(ds, "(sigfit =  0.919)\n")) << ds;
    EXPECT_TRUE(has(r.files.at("ds-emab-i.txt"), "  0   -1004.023\n"));
  }
}

// The reaction pa = pb with pa from the binary at x(ab) = 0, where the
// binary's pb, not a reaction term, has activity 0. By hand, at 5 kbar:
// h = -0.005 T + 0.2 (5 - 0.001), -3.86595 at 700 C and -4.11595 at 750 C;
// s = 2 sqrt((2.5 x 0.005)^2 + (0.05 x 0.2)^2 + (0.01 R T)^2), the activity
// term that of a = 0 too: 0.16496 and 0.17312. One reversal: r = -0.7395,
// sd = 0.5 (s1 + s2)(0.887 + r (0.194 + 0.0973 r)) = 0.1347; class 2 with
// gap 1: -3.99095 -+ 1.1783 x 0.16904. Two rows, two unknowns: H(pb) =
// -1000.30 - 3.99.
TEST(LeastSquares, FitWithABracketAtAnEndMemberComposition) {
  const std::string xp = "1 pa -1000.3 0.5\n2 pb -1003.5 0.7\n0\n0\n"
                         "1 pa pb\n -1 1  1\nab 1  at pa\n1 5 700 0 0\n0 5 750 0 0\n-1\n0\n";
  const e2e::Run r =
      e2e::run({"lsq"}, "1\n", {{"ds-prefs.txt", fitprefs + "infolevel 2\n*\n"}, {"ds-xpab.txt", xp}});
  const std::string& log = r.files.at("jx-log.txt");
  EXPECT_TRUE(
      has(log, "\n      P      T        pa        pb        pb\n    5.0    700   1.00000         0   1.00000\n"))
      << log;
  EXPECT_TRUE(has(log, "\n  2)    -3.9909    0.1347    pa  =  pb ")) << log;
  const std::string& sum = r.files.at("ds-o6cv.txt");
  EXPECT_TRUE(has(sum, "(-4.19 <-> -3.79), uH = 0.17, d/s = 0.7, h = 1.00\n")) << sum;
  EXPECT_TRUE(has(sum, "\npb        -1004.29 ")) << sum;
  EXPECT_TRUE(has(r.files.at("jx-ds6cv.txt"), "\n    0  -1004.291   0.04500   2.3000\n"));
}

TEST(LeastSquares, RefitFromTheNewEndMemberFileGivesTheSameEnthalpies) {
  const e2e::Run first = e2e::run({"lsq"}, "1\n", {{"ds-prefs.txt", fitprefs + "*\n"}});
  const std::string written = first.files.at("ds-emab-i.txt");
  const e2e::Run again = e2e::run({"lsq"}, "1\n",
                                  {{"ds-prefs.txt", "jxdssuffix 6cv\nemsuffix ab-i\naxsuffix ab\nxpsuffix ab\n*\n"},
                                   {"ds-emab-i.txt", written}});
  EXPECT_TRUE(has(again.out, "\n1:  0.919\n")) << again.out;
  const std::string& ds = again.files.at("jx-ds6cv.txt");
  EXPECT_TRUE(has(ds, "\n    0  -1000.033   0.05000   2.5000\n")) << ds;
  EXPECT_TRUE(has(ds, "\n    0  -1004.023   0.04500   2.3000\n")) << ds;
}

// The reaction 2 pa = 2 pb in the oxide calorimetry and in an experiment
// with pa at activity 0.8, written with pa in two terms (-1 -1 2) and in one
// (-2 2): one fit. Its numbers from an own weighted least-squares fit
// (mpmath; G = H - T S + (P - 0.001) V, the bracket limits and widths worked
// through by hand, the 1 % error of pa's activity on the coefficient -2):
// the experiment row -11.97683 (sd 0.20378, class 2, limits -12.4058 <->
// -11.5479); with the calorimetry rows pa -1000.3 (0.5), pb -1003.5 (0.7)
// and the oxide row -11.2 (0.9): H(pa) -999.37669 (0.95464), H(pb)
// -1005.30969 (0.96365), sigfit 2.33849, cH -11.8660 (sd 0.4617).
TEST(LeastSquares, AnEndMemberWrittenTwiceCountsWithItsCoefficientsAdded) {
  for (const std::string form : {"twice", "once"}) {
    const e2e::Run r = e2e::run({"lsq", "lsqtwice/ds-xp" + form + ".txt"}, "1\n",
                                {{"ds-prefs.txt", fitprefs.substr(0, fitprefs.rfind("xpsuffix")) + "xpsuffix " + form +
                                                      "\ninfolevel 2\n*\n"}});
    EXPECT_EQ(r.status, 0) << form;
    EXPECT_TRUE(has(r.out, "\n1:  2.338\n")) << form << "\n" << r.out;
    const std::string& sum = r.files.at("ds-o6cv.txt");
    EXPECT_TRUE(has(sum, "\npa         -999.38   0.95   50.00   2.500")) << form << "\n" << sum;
    EXPECT_TRUE(has(sum, "\npb        -1005.31   0.96   45.00   2.300")) << form << "\n" << sum;
    EXPECT_TRUE(has(sum, "\n1) 1  2pa = 2pb   (made up)\n")) << form << "\n" << sum;
    EXPECT_TRUE(has(sum, "   cH =  -11.87 (sd  0.46)   within bracket\n")) << form << "\n" << sum;
    EXPECT_TRUE(has(sum, "(-12.41 <-> -11.55), ")) << form << "\n" << sum;
    const std::string& log = r.files.at("jx-log.txt");
    EXPECT_TRUE(has(log, "\n  3)  2pb = 2pa\n")) << form << "\n" << log;
    EXPECT_TRUE(has(log, "\n  3)     -11.20    0.90    pa    pb\n")) << form << "\n" << log;
    EXPECT_TRUE(has(log, "\n  4)   -11.9768    0.2038    pa  =  pb ")) << form << "\n" << log;
    const std::string& ds = r.files.at("jx-ds6cv.txt");
    EXPECT_TRUE(has(ds, "\n    0   -999.377   0.05000   2.5000\n")) << form << "\n" << ds;
    EXPECT_TRUE(has(ds, "\n    0  -1005.310   0.04500   2.3000\n")) << form << "\n" << ds;
    EXPECT_TRUE(has(ds, "(sigfit =  2.338)\n")) << form << "\n" << ds;
  }
}

// A fit of four end-members to their calorimetry and one unknown-
// composition univariant among them (an ideal binary ss of ma and mb with
// pure pa and pb): its compositions are solved at the brackets from the
// second iteration on.
const std::string groupprefs = "jxdssuffix 6cv\nemsuffix gr\naxsuffix gr\nxpsuffix gr\n";

TEST(LeastSquares, FitOfAnUnknownCompositionUnivariant) {
  const e2e::Run r = e2e::run({"lsq"}, "2\n", {{"ds-prefs.txt", groupprefs + "infolevel 2\n*\n"}});
  EXPECT_TRUE(has(r.out, "\n1:  0.036\n2:  0.027\n")) << r.out;
  const std::string& sum = r.files.at("ds-o6cv.txt");
  EXPECT_TRUE(has(sum, "\nunivariant involving ss pa pb  (unknown comps)  (uc)\n")) << sum;
  EXPECT_TRUE(has(sum, "\n       2 reactions:    ma    mb    pa    pb\n")) << sum;
  EXPECT_TRUE(has(sum, "\n1) 1 ^  ma = pa   (uc)\n")) << sum;
  EXPECT_TRUE(has(sum, "\n2) 2 ^  mb = pb   (uc)\n")) << sum;
  const std::string& log = r.files.at("jx-log.txt");
  EXPECT_TRUE(has(log, "univariant equilibrium with unknown comps (uc), involving:\n    1:  ma = pa\n    2:  mb = pb\n"))
      << log;
  EXPECT_TRUE(has(log, "    ma  =  pa                            in:  ss pa pb   (uc)\n")) << log;
  EXPECT_TRUE(has(log, "    mb  =  pb                                  -- ditto --\n")) << log;
  EXPECT_TRUE(has(r.files.at("jx-ds6cv.txt"), "(sigfit =  0.027)\n"));
  EXPECT_EQ(r.files.count("ds-emgr-i.txt"), 1u);
}

TEST(LeastSquares, UnivariantNotConvergedStopsBeforeWriting) {
  // A second group at 2000 kbar, where no equilibrium lies in its T window.
  std::string xp = fixture("lsq/ds-xpgr.txt");
  xp = xp.substr(0, xp.size() - 2) +
       "1 ss pa pb univariant unknowncomps\n2 1 far\nma pa\n -1 1\nmb pb\n -1 1\n"
       "1 2000 520 0 0.6\n0 2000 540 0 0.6\n-1\n0\n";
  const struct {
    const char* answer;
    const char* end;
  } cases[] = {
      {"n\n", "-- run bombed in writing dataset : some \"not converged\" present (dataset not written)"},
      {"y\n", "-- run bombed in calcass : this univariant not converged"},
  };
  for (const auto& c : cases) {
    const e2e::Run r =
        e2e::run({"lsq"}, std::string("2\n") + c.answer, {{"ds-prefs.txt", groupprefs + "*\n"}, {"ds-xpgr.txt", xp}});
    EXPECT_TRUE(has(r.out, "\nss pa pb  (far)\nis a \"not converged\" univariant with unknown comps\n\n"
                           "stop and attend to this experiment ? "))
        << r.out;
    EXPECT_TRUE(has(r.out, c.end)) << r.out;
    EXPECT_EQ(r.files.count("jx-ds6cv.txt"), 0u) << c.answer;
    EXPECT_EQ(r.files.count("ds-emgr-i.txt"), 0u) << c.answer;
    const std::string& sum = r.files.at("ds-o6cv.txt");
    EXPECT_TRUE(has(sum, "        2000.00    --    not converged  (?not in T window: 100 - 1140)\n")) << sum;
    // The solve of the assembly logs its failure; the results' does not.
    const std::string& log = r.files.at("jx-log.txt");
    EXPECT_EQ(log.find("===NOT converged=== at {2000,540}"), log.rfind("===NOT converged=== at {2000,540}"));
    EXPECT_TRUE(has(log, "===NOT converged=== at {2000,540}")) << log;
    // "no" still prints every table.
    if (*c.answer == 'n') {
      EXPECT_TRUE(has(sum, "\n4) 4 ^  mb = pb   (far)\n")) << sum;
    }
  }
}

}  // namespace
