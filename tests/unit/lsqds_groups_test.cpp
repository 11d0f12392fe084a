// Experiments given with their solution phases in calc mode 9: the phase
// tables of an experiment, the activities at its brackets, and the
// equilibrium solved at them, against values worked out apart from the
// program (G = H - T S + (P - 0.001) V; an ideal one-site binary).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "lsq/lsqds.h"
#include "lsqds_testsupport.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

std::string em(const std::string& name, const std::string& formula, const std::string& h, const std::string& s,
               const std::string& v) {
  return name + "  X\n " + formula + "\n0\n " + h + "\n " + s + "\n " + v + "\n 0 0 0 0\n 0\n 0 0\n\n";
}
const std::string emfile = "6\n\n" + em("ma", "1 1 0", "-1000", "0.05", "2.0") + em("mb", "5 1 0", "-1000", "0.05", "2.0") +
                           em("pa", "1 1 0", "-1010", "0.045", "1.98") + em("pb", "5 1 0", "-1005", "0.048", "2.0") + "*\n";
// ss: a = proportion; sm: its second end-member made of mb at half a formula.
const std::string axfile =
    "ss 2 1\n  x(ss) 0.5\n  p(ma) 1 1 1 1 -1 x\n  p(mb) 1 1 0 1 1 x\n  ideal\n  2\n"
    "  xA 1 1 1 1 -1 x\n  xB 1 1 0 1 1 x\n  ma 1 1 xA 1\n  mb 1 1 xB 1\n"
    "sm 2 1\n  x(sm) 0.5\n  p(ma) 1 1 1 1 -1 x\n  p(mc) 1 1 0 1 1 x\n  ideal\n  2\n"
    "  xA 1 1 1 1 -1 x\n  xC 1 1 0 1 1 x\n  ma 1 1 xA 1\n  mc 1 1 xC 1 make 1 mb 1/2\n*\n";

class LeastSquaresGroups : public lsqtest::Mode9Test {
 protected:
  void SetUp() override { start(emfile, axfile); }
  std::string read(const std::string& xp) {
    dir.write("ds-xpt.txt", "0\n0\n" + xp + "0\n");
    return fatal(LSQDS::READXY);
  }
  testsupport::Terminal term;
};

const std::string unknowncomps =
    "1 ss pa pb univariant unknowncomps\n2 1 uc\nma pa\n -1 1\nmb pb\n -1 1\n"
    "1 5 520 0 0.6\n0 5 540 0 0.6\n1 10 525 0 0.6\n-1\n";

TEST_F(LeastSquaresGroups, PhaseTablesOfAnExperiment) {
  ASSERT_EQ(read("1 sm pa univariant\n1 1 made\nma pa\n -1 1\n1 5 500 0 0.3\n0 5 600 0 0.3\n-1\n"), "");
  const xprec& x = LSQDS::XP(1);
  // ma, mc (made, not in the file), mb (mc's constituent), pa.
  ASSERT_EQ(x.nem, 4);
  EXPECT_EQ((double)x.emact[3], 0.5);
  ASSERT_EQ(fatal([] { LSQDS::FILLPREC(1); }), "");
  EXPECT_TRUE(CALCMODE == calcmodetype::lsqdscalc);
  EXPECT_EQ(NCV, 4);
  EXPECT_EQ(NPSS, 1);
  EXPECT_EQ(NP0, 2);
  EXPECT_EQ((*PREC1)[1].name, "sm");
  EXPECT_EQ((double)(*PREC0)[1].activity, 0.0);  // a constituent: no phase of its own
  EXPECT_EQ((double)(*PREC0)[2].activity, 1.0);
}

TEST_F(LeastSquaresGroups, ActivitiesAtABracket) {
  // Three reactions share their brackets' activities.
  ASSERT_EQ(read("1 ss pa pb univariant\n3 1 three\nma pa\n -1 1\nmb pb\n -1 1\nma mb pa pb\n -1 1 1 -1\n"
                 "1 5 500 0 0.3\n0 5 600 0 0.3\n-1\n"),
            "");
  LSQDS::FILLPREC(1);
  ASSERT_EQ(fatal([] { LSQDS::CALCA(1, 2); }), "");
  EXPECT_TRUE(CALCMODE == calcmodetype::lsqdscalc);
  for (smallint r = 1; r <= 3; ++r) {
    EXPECT_NEAR((double)LSQDS::XP(r).br[2].act[1], 0.7, 1e-15) << r;
    EXPECT_NEAR((double)LSQDS::XP(r).br[2].act[2], 0.3, 1e-15) << r;
  }
  // Record 1's reversal exchanged on its own: the copies go to the other
  // records' brackets at the same conditions.
  SetUp();
  ASSERT_EQ(read("1 ss pa pb univariant\n2 1 two\nma pa\n -1 1\nmb pb\n -1 1\n"
                 "1 5 500 0 0.3\n0 5 600 0 0.2\n-1\n"),
            "");
  LSQDS::FILLPREC(1);
  std::swap(LSQDS::XP(1).br[1], LSQDS::XP(1).br[2]);
  LSQDS::CALCA(1, 1);
  EXPECT_NEAR((double)LSQDS::XP(2).br[2].act[1], 0.8, 1e-15);
  EXPECT_EQ((double)LSQDS::XP(2).br[1].act[1], 0.0);
  // A constituent of a made end-member: a(mb) = a(mc)^2.
  SetUp();
  ASSERT_EQ(read("1 sm pa univariant\n1 1 made\nma pa\n -1 1\n1 5 500 0 0.3\n0 5 600 0 1\n-1\n"), "");
  LSQDS::FILLPREC(1);
  LSQDS::CALCA(1, 1);
  EXPECT_NEAR((double)LSQDS::XP(1).br[1].act[3], 0.09, 1e-15);
  std::string out;
  EXPECT_EQ(testsupport::answered("", [] { LSQDS::CALCA(1, 2); }, out), "calca: messed up make a");
  EXPECT_NE(out.find("dependent end-member activity not between 0 and 1\n"), std::string::npos) << out;
}

// A composition reversal: both halves at one P, T and x(CO2). Record 1's
// reversal exchanges them, record 2 keeps them as read; each half's
// activities (ideal: a(ma) = 1 - x, a(mb) = x) reach that same half of
// record 2, however its conditions compare.
TEST_F(LeastSquaresGroups, AHalfIsKnownByItsPlaceAsRead) {
  ASSERT_EQ(read("1 ss pa pb univariant\n2 1 two\nma pa\n -1 1\nmb pb\n -1 1\n"
                 "0 5 500 0 0.3\n1 5 500 0 0.8\n-1\n"),
            "");
  LSQDS::FILLPREC(1);
  std::swap(LSQDS::XP(1).br[1], LSQDS::XP(1).br[2]);
  for (smallint b = 1; b <= 2; ++b) ASSERT_EQ(fatal([b] { LSQDS::CALCA(1, b); }), "");
  const xprec& other = LSQDS::XP(2);
  EXPECT_NEAR((double)other.br[1].act[1], 0.7, 1e-15);
  EXPECT_NEAR((double)other.br[1].act[2], 0.3, 1e-15);
  EXPECT_NEAR((double)other.br[2].act[1], 0.2, 1e-15);
  EXPECT_NEAR((double)other.br[2].act[2], 0.8, 1e-15);
  EXPECT_EQ(LSQDS::SAMEBRACKETAT(2, 1, 1), 2);
  EXPECT_EQ(LSQDS::SAMEBRACKETAT(1, 2, 1), 2);
}

TEST_F(LeastSquaresGroups, UnknownCompositionsSolvedAtTheBrackets) {
  ASSERT_EQ(read(unknowncomps), "");
  testsupport::openchannel(CHANNEL::SUMMARYBIT, "sum.txt");
  LSQDS::SAMEPTX(1);
  LSQDS::FILLPREC(1);
  ASSERT_EQ(fatal([] { LSQDS::CALCASS(1, 2, true); }), "");
  EXPECT_TRUE(CALCMODE == calcmodetype::lsqdscalc);
  // The first two brackets are a T reversal at 5 kbar: solved once, its
  // composition on the half of code 0.
  for (smallint r = 1; r <= 2; ++r) {
    const xprec& x = LSQDS::XP(r);
    EXPECT_NEAR((double)(x.br[1].tcalc - CONST::KELVIN), 527.24, 0.01) << r;
    EXPECT_NEAR((double)(1 - x.br[2].xyz[1]), 0.39998, 1e-5) << r;
    EXPECT_NEAR((double)(x.br[3].tcalc - CONST::KELVIN), 531.78, 0.01) << r;
    EXPECT_NEAR((double)(1 - x.br[3].xyz[1]), 0.39743, 1e-5) << r;
  }
  EXPECT_EQ((double)LSQDS::XP(1).br[2].pcalc, 0.0);
  EXPECT_EQ((double)LSQDS::XP(1).br[2].tcalc, (double)CONST::KELVIN);
  IO::FILECLOSE(IO::CHANNELFILE(CHANNEL::SUMMARYBIT), true, "sum");
  const std::string s = dir.read("sum.txt");
  EXPECT_NE(s.find("     2 reactions:    ma    mb    pa    pb\n"), std::string::npos) << s;
  // The reversal's first half is above, so its T shows in the second
  // column; 527 lies inside it. The last half-bracket is missed by 7.
  EXPECT_NE(s.find("\n          5.0          520     527            0.6000\n"), std::string::npos) << s;
  EXPECT_NE(s.find("\n         10.0          525     532       7    0.6026\n"), std::string::npos) << s;
}

// A T reversal at 5 kbar whose halves give x(ss) 0.6 (520 C, code 1) and
// 0.3 (540 C, code 0): in either order of its two lines and of the
// reactions, each record reversed or not, the pair is solved once from its
// half of code 0, whose composition becomes the solve's (1 - x = 0.39998,
// T 527.24 C as above) in every record, while the other half keeps what it
// held; each record shows the solved T on the half it puts first.
TEST_F(LeastSquaresGroups, APairIsSolvedAtItsHalfOfCodeZeroInEveryOrder) {
  const std::string reactions[] = {"ma pa\n -1 1\nmb pb\n -1 1\n", "mb pb\n -1 1\nma pa\n -1 1\n"};
  const std::string lines[] = {"1 5 520 0 0.6\n0 5 540 0 0.3\n", "0 5 540 0 0.3\n1 5 520 0 0.6\n"};
  for (const std::string& pair : lines)
    for (const std::string& order : reactions)
      for (int turned = 0; turned < 4; ++turned) {
        SetUp();
        ASSERT_EQ(read("1 ss pa pb univariant unknowncomps\n2 1 uc\n" + order + pair + "-1\n"), "");
        for (smallint r = 1; r <= 2; ++r) {
          xprec& x = LSQDS::XP(r);
          if (turned & r) {
            std::swap(x.br[1], x.br[2]);
            for (smallint b = 1; b <= 2; ++b) x.br[b].dir = !x.br[b].dir;
          }
          LSQDS::SAMEPTX(r);
        }
        LSQDS::FILLPREC(1);
        ASSERT_EQ(fatal([] { LSQDS::CALCASS(1, 2, false); }), "");
        for (smallint r = 1; r <= 2; ++r) {
          const xprec& x = LSQDS::XP(r);
          const bool zerofirst = std::abs((double)x.br[1].t - (540 + CONST::KELVIN)) < 1e-9;
          const brrec& zero = zerofirst ? x.br[1] : x.br[2];
          const brrec& one = zerofirst ? x.br[2] : x.br[1];
          EXPECT_NEAR((double)(1 - zero.xyz[1]), 0.39998, 1e-5) << pair << order << turned << r;
          // The reader keeps the compositions read in the first record only.
          EXPECT_EQ((double)one.xyz[1], r == 1 ? 0.6 : 0.0) << pair << order << turned << r;
          EXPECT_NEAR((double)(x.br[1].tcalc - CONST::KELVIN), 527.24, 0.01) << pair << order << turned << r;
          EXPECT_EQ((double)x.br[2].tcalc, (double)CONST::KELVIN) << pair << order << turned << r;
        }
      }
}

TEST_F(LeastSquaresGroups, DivariantSolvedForCompositions) {
  ASSERT_EQ(read("1 ss pa divariant\n1 1 dv\nma pa\n -1 1\n1 5 500 0 0.5\n0 5 500 0 0.5\n-1\n"), "");
  LSQDS::FILLPREC(1);
  ASSERT_EQ(fatal([] { LSQDS::CALCASS(1, 3, false); }), "");
  // Compositions are not kept for a known-composition group; the solve's
  // own result is in X.
  EXPECT_NEAR((double)(1 - X[3]), 0.379154, 2e-6) << (double)X[3];
  EXPECT_EQ((double)LSQDS::XP(1).br[1].xyz[1], 0.5);
  EXPECT_EQ(fatal([] { LSQDS::CALCASS(1, 1, false); }), "calcass: not currently implemented");
  // The same equilibrium with a made end-member in the phase: its
  // constituent mb is no phase of the solve, and a(ma) is the same.
  SetUp();
  ASSERT_EQ(read("1 sm pa divariant\n1 1 dv\nma pa\n -1 1\n1 5 500 0 0.5\n0 5 500 0 0.5\n-1\n"), "");
  LSQDS::FILLPREC(1);
  ASSERT_EQ(fatal([] { LSQDS::CALCASS(1, 3, false); }), "");
  EXPECT_NEAR((double)(1 - X[3]), 0.379154, 2e-6) << (double)X[3];
}

// The header names P, T and every composition solved for; the columns of
// the calculated value and the miss only when P or T is solved too.
TEST_F(LeastSquaresGroups, TableHeaderNamesEveryUnknown) {
  const struct {
    std::string xp;
    smallint kind;
    const char* header;
  } cases[] = {
      {unknowncomps, 2, "\n        P(kbar)    T(C)       calc    miss     x(ss)\n"},
      {"1 ss pa divariant\n1 1 dv\nma pa\n -1 1\n1 5 500 0 0.5\n0 5 500 0 0.5\n-1\n", 3,
       "\n        P(kbar)    T(C)       x(ss)\n"},
  };
  for (const auto& c : cases) {
    SetUp();
    ASSERT_EQ(read(c.xp), "");
    testsupport::openchannel(CHANNEL::SUMMARYBIT, "sum.txt");
    LSQDS::SAMEPTX(1);
    LSQDS::FILLPREC(1);
    ASSERT_EQ(fatal([&] { LSQDS::CALCASS(1, c.kind, true); }), "");
    IO::FILECLOSE(IO::CHANNELFILE(CHANNEL::SUMMARYBIT), true, "sum");
    IO::WHATSOPEN &= ~CHANNEL::SUMMARY;
    const std::string s = dir.read("sum.txt");
    EXPECT_NE(s.find(c.header), std::string::npos) << s;
  }
}

TEST_F(LeastSquaresGroups, TableRowsOfTheSolve) {
  // One solution: P 5 (6.5 when P is solved), 790 K (516.85 C), x 0.25;
  // the bracket at 5 kbar and 800 K, and a second one after it.
  const struct {
    const char* what;
    smallint kind;
    bool reversed, pairp, pairt;
    smallint nbr;
    long double p2;
    const char* row;
  } cases[] = {
      {"single half-bracket below", 2, false, false, false, 1, 0,
       "          5.0    527           517     -10    0.2500"},
      {"P pair", 2, false, false, true, 2, 8, "       5.0  8.0     527        6.5            0.2500"},
      {"written in reverse", 2, true, false, false, 1, 0, "          5.0          527     517            0.2500"},
      {"same conditions", 2, false, true, true, 2, 5, "          5.0       527       517    0.2500"},
      {"compositions alone beside a P pair", 3, false, false, true, 2, 8, "       5.0          527       0.2500"},
  };
  for (const auto& c : cases) {
    SetUp();
    ASSERT_EQ(read("1 ss pa pb univariant\n1 1 rows\nma pa\n -1 1\n1 5 526.85 0 0.3\n0 8 526.85 0 0.3\n-1\n"), "");
    xprec& x = LSQDS::XP(1);
    x.reversed = c.reversed;
    x.nbr = c.nbr;
    x.br[1].dir = false;
    x.br[1].t = 800;
    x.br[2].t = 800;
    x.br[2].p = c.p2;
    x.br[2].pairp = c.pairp;
    x.br[2].pairt = c.pairt;
    NX = 3;
    X[1] = c.p2 == 8 && c.kind == 2 ? 6.5L : 5;
    X[2] = 790;
    X[3] = 0.25L;
    testsupport::openchannel(CHANNEL::SUMMARYBIT, "sum.txt");
    LSQDS::PRINTASS(1, 1, c.kind);
    IO::FILECLOSE(IO::CHANNELFILE(CHANNEL::SUMMARYBIT), true, "sum");
    IO::WHATSOPEN &= ~CHANNEL::SUMMARY;
    EXPECT_EQ(dir.read("sum.txt"), std::string(c.row) + "\n") << c.what;
  }
}

// A phase marked as ordered whose bracket composition lies off its sites:
// no state of order can be found, and the bracket is named on the way out.
TEST_F(LeastSquaresGroups, StateOfOrderNotFound) {
  ASSERT_EQ(read("1 ss pa pb univariant\n1 1 ord\nma pa\n -1 1\n1 5 500 0 0.3\n0 5 600 0 0.3\n-1\n"), "");
  LSQDS::FILLPREC(1);
  (*PREC1)[1].hasorder = true;
  ASSERT_EQ(fatal([] { LSQDS::CALCA(1, 1); }), "");
  LSQDS::XP(1).br[2].xyz[1] = 1.5L;
  std::string out;
  EXPECT_EQ(testsupport::answered("", [] { LSQDS::CALCA(1, 2); }, out),
            "calca: couldn't solve for state of order for ss");
  EXPECT_NE(out.find("xp =    1, br =   2,    ss\n"), std::string::npos) << out;
}

}  // namespace
