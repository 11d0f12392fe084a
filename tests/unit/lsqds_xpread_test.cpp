// The experiments file of calc mode 9 read with its end-member and a-x
// files: calorimetry rows, experiment headers, activity lines, phase
// headers, brackets and every stop of the reader; and the heat content that
// brings oxide calorimetry to 298.15 K.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "lsq/lsqds.h"
#include "lsqds_testsupport.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

std::string em(const std::string& name, const std::string& h, const std::string& s = "0.05") {
  return name + "  AB\n 1 1.0 10 2.0 0\n0\n " + h + "\n " + s + "\n 2.5\n 0 0 0 0\n 0\n 0 0\n\n";
}
const std::string emfile = "6\n\n" + em("pa", "-1000") + em("pb", "-1004") + em("pc", "-1010", "0.04") + "*\n";
const std::string axfile =
    "ab 2 1\n  x(ab) 0.5\n  p(pa) 1 1 1 1 -1 x\n  p(pb) 1 1 0 1 1 x\n  ideal\n  2\n"
    "  xA 1 1 1 1 -1 x\n  xB 1 1 0 1 1 x\n  pa 1 1 xA 1\n  pb 1 1 xB 1\n*\n";

class LeastSquaresExperiments : public lsqtest::Mode9Test {
 protected:
  void SetUp() override { start(emfile, axfile); }
  std::string read(const std::string& xp) {
    dir.write("ds-xpt.txt", xp);
    return fatal(LSQDS::READXY);
  }
  testsupport::Terminal term;
};

TEST_F(LeastSquaresExperiments, CalorimetryAndExperimentRecords) {
  const std::string xp =
      "% direct calorimetry\n1 pa -1000.3 0.5\n\n2 pb -1003.5 0\n0 and the rest ignored\n"
      "% oxide calorimetry\n1 pa pb\n 1 -1\n -3.8 0.1 973.15  % measured hot\n0\n"
      "% a divariant reaction shown, with a dropped bracket\n"
      "1 pa pb divariant show\n -1 1 2\n1 2  first label\n1 5 700 0\n2 5 720 0\n0 5 750 0\n-1\n"
      "% an activity line naming a phase; not used\n"
      "3 pa pb univariant\n -1 1 0\nab 1 second\n1 5 700 0 0.3\n0 5 750 0 0.35\n-1\n"
      "% two reactions of a phase header; compositions run short\n"
      "1 ab pc univariant unknowncomps\n2 1   grouped label \npa pc\n -1 1\npb pc\n -1 1\n"
      "1 5 700 0 0.4\n0 5 750 0\n1 6 700 0 0.2\n-1\n0\n";
  ASSERT_EQ(read(xp), "");
  EXPECT_EQ(LSQDS::NEC, 1);
  EXPECT_EQ(LSQDS::NEO, 2);
  EXPECT_EQ(LSQDS::NXPW, 4);
  EXPECT_EQ(LSQDS::NEXP, 6);
  EXPECT_EQ(LSQDS::NEXPT, 6);
  EXPECT_EQ(NTP, 3);
  // A code-2 datum keeps its values (an sd of 0 raised) without a row.
  EXPECT_EQ((double)TDA[2].hcal, -1003.5);
  EXPECT_EQ((double)TDA[2].sdhcal, 0.001);
  EXPECT_EQ(LSQDS::CALROW[1], 1);
  EXPECT_EQ(LSQDS::CALROW[2], 0);
  // The oxide datum: coefficients negated into the row, no heat content
  // without Cp.
  EXPECT_EQ((double)(*LSQDS::Y)[2], -3.8);
  EXPECT_EQ((*LSQDS::LHS)(2, 1), -1);
  EXPECT_EQ((*LSQDS::LHS)(2, 2), 1);
  EXPECT_EQ(LSQDS::OXROW[1], 2);

  const xprec& a = LSQDS::XP(1);
  EXPECT_TRUE(a.use && a.show && !a.grouped && !a.hasphase);
  EXPECT_EQ(a.kind, 2);
  EXPECT_EQ((double)a.rfac, 2.0);
  EXPECT_EQ(a.label, "first label ");
  EXPECT_EQ(a.nbr, 2);
  EXPECT_EQ((double)a.br[2].t, 750 + 273.15);
  EXPECT_FALSE(a.br[2].dir);
  EXPECT_EQ((double)a.br[1].act[2], 2.0);
  EXPECT_TRUE(a.nofluid);

  const xprec& b = LSQDS::XP(2);
  EXPECT_FALSE(b.use);
  EXPECT_FALSE(b.hasphase);  // the header names end-members only
  EXPECT_EQ(b.kind, 1);
  EXPECT_EQ((double)b.rfac, 1.0);  // 0 given: 1 unless good equilibria are tightened
  EXPECT_EQ(b.nem, 3);
  EXPECT_EQ((double)b.emact[1], -1);
  EXPECT_EQ((double)b.emact[2], -2);
  EXPECT_EQ((double)b.emact[3], 1);
  EXPECT_EQ(b.emphase[1], 5);  // behind the four working slots
  EXPECT_EQ(b.rxpos[1], 1);
  EXPECT_EQ(b.rxpos[2], 3);
  EXPECT_EQ((double)b.br[2].xyz[1], 0.35);
  EXPECT_EQ((double)b.br[1].act[1], -1);
  EXPECT_EQ((double)b.br[1].act[2], -2);

  const xprec& c = LSQDS::XP(3);
  const xprec& d = LSQDS::XP(4);
  EXPECT_TRUE(c.grouped && d.grouped && c.unknowncomps && c.xyzguess);
  EXPECT_EQ(c.nreac, 2);
  EXPECT_EQ(d.nreac, 2);
  EXPECT_EQ(c.ireac, 1);
  EXPECT_EQ(d.ireac, 2);
  EXPECT_EQ(d.label, "grouped label");
  EXPECT_EQ(d.nem, 3);
  EXPECT_EQ(d.emname[3], "pc");
  EXPECT_EQ(c.rxem[1], 1);
  EXPECT_EQ(d.rxem[1], 2);
  EXPECT_EQ(d.rxpos[2], 3);
  EXPECT_EQ(d.rxcoef[1], -1);
  EXPECT_EQ(c.nbr, 3);
  EXPECT_EQ(d.nbr, 3);
  EXPECT_EQ((double)d.br[3].p, 6.0);
  // Compositions from the first short line on are the a-x file's guesses.
  EXPECT_EQ((double)c.br[1].xyz[1], 0.4);
  EXPECT_EQ((double)c.br[2].xyz[1], 0.5);
  EXPECT_EQ((double)c.br[3].xyz[1], 0.5);
  EXPECT_EQ(LSQDS::SSNAME[1], "blah");
  EXPECT_EQ(LSQDS::SSNAME[5], "ab");
  EXPECT_EQ(LSQDS::NPDS, 5);
}

// The fluid's activity follows x(CO2) wherever H2O stands in the list; a
// phase's end-members put it behind the reaction's own terms, both under a
// phase header and after a phase named on an activity line.
TEST_F(LeastSquaresExperiments, FluidActivityAtAnyListPosition) {
  start("6\n\n" + em("pa", "-1000") + em("pb", "-1004") + em("pc", "-1010", "0.04") + em("H2O", "-241.81") + "*\n",
        axfile);
  const std::string brackets = "0 2 400 0.3 0.4\n1 2 500 0.3 0.4\n-1\n";
  ASSERT_EQ(read("0\n0\n1 ab pc H2O divariant\n1 1 grouped\npa pc H2O\n -1 1 1\n" + brackets +
                 "1 pa pc H2O\n -1 1 1 1\nab 1 1 simple\n" + brackets + "0\n"),
            "");
  for (smallint i = 1; i <= 2; ++i) {
    const xprec& x = LSQDS::XP(i);
    ASSERT_EQ(x.nem, 4) << i;
    EXPECT_EQ(x.nrx, 3) << i;
    EXPECT_EQ(x.emname[4], "H2O") << i;
    for (smallint b = 1; b <= 2; ++b) EXPECT_NEAR((double)x.br[b].act[4], 0.7, 1e-15) << i << " " << b;
  }
}

// Every value of a bracket line that is a fraction, x(CO2) and a phase's
// composition, in a simple reaction (the fluid's activity from x(CO2), or
// a phase on the activity line) and under a phase header (compositions
// given or unknown), on a bracket kept or dropped: in 0..1 it is read as
// written (the pure fluids and the end-members' compositions included);
// below 0 or above 1 (x(ab) gives ab the site fractions 1 - x and x) the
// reading stops naming the value and its bracket, where a mirror value
// used to pass until its activity came out at or below 0.
TEST_F(LeastSquaresExperiments, EveryFractionOfABracketLineInAndOutOfItsRange) {
  const struct {
    std::string head;
    bool composition;  // the line carries x(ab) after x(CO2)
  } records[] = {
      {"1 pa pb H2O\n -1 1 1 1\n1 1 1 lab\n", false},
      {"1 pa pb\n -1 1 1\nab 1 lab\n", true},
      {"1 ab pc univariant\n1 1 lab\npa pc\n -1 1\n", true},
      {"1 ab pc univariant unknowncomps\n1 1 lab\npa pc\n -1 1\n", true},
  };
  const std::string values[] = {"-0.3", "-1e-320", "0", "1e-320", "0.4", "1", "1.2", "1e3000"};
  for (const auto& rec : records)
    for (int slot = 0; slot < (rec.composition ? 2 : 1); ++slot)
      for (const char* code : {"0", "2"})
        for (const std::string& v : values) {
          const long double x = std::stold(v);
          // A site fraction within 1e-12 of an end counts as there: decimals
          // that add up to 1 need not do so in binary.
          const long double slack = slot == 0 ? 0 : 1e-12L;
          const bool inside = x >= -slack && x <= 1 + slack;
          // The bad value on the second line; the other fraction at 0.5.
          const std::string xco2 = slot == 0 ? v : "0.5", xab = rec.composition ? (slot == 1 ? " " + v : " 0.5") : "";
          const std::string line = std::string(code) + " 5 750 " + xco2 + xab + "\n";
          SetUp();
          start("6\n\n" + em("pa", "-1000") + em("pb", "-1004") + em("pc", "-1010", "0.04") + em("H2O", "-241.81") +
                    "*\n",
                axfile);
          const std::string xp = "0\n0\n" + rec.head + "1 5 700 0.5" + (rec.composition ? " 0.5" : "") + "\n" + line +
                                 "0 5 760 0.5" + (rec.composition ? " 0.5" : "") + "\n-1\n0\n";
          const std::string end = read(xp);
          SCOPED_TRACE(xp);
          if (inside) {
            ASSERT_EQ(end, "");
            if (*code == '2') continue;
            const brrec& b = LSQDS::XP(1).br[2];
            EXPECT_EQ(b.xco2, slot == 0 ? x : 0.5L);
            if (rec.composition) {
              EXPECT_EQ(b.xyz[1], slot == 1 ? x : 0.5L);
            }
            continue;
          }
          const std::string bracket = "bracket 2 of experiment 1 (lab";
          if (slot == 0) {
            EXPECT_EQ(end.rfind("readxy: x(CO2) of " + bracket + ") = ", 0), 0u) << end;
            EXPECT_NE(end.find(": a fraction of the fluid lies within 0 and 1"), std::string::npos) << end;
          } else {
            EXPECT_EQ(end.rfind("readxy: ab at x(ab) = ", 0), 0u) << end;
            EXPECT_NE(end.find(" in " + bracket + "): "), std::string::npos) << end;
            EXPECT_NE(end.find(": its site fraction xA = "), std::string::npos) << end;
            EXPECT_NE(end.find(" lies outside 0 and 1"), std::string::npos) << end;
          }
          if (v.size() <= 4) {
            EXPECT_NE(end.find(" = " + v), std::string::npos) << end;
          }
        }
  // A ternary of pa, pb, pc on one site whose last site fraction, 1 - x - y,
  // is the one below 0 while x and y each lie in 0..1; and its corner.
  const std::string ternary = "tc 3 1\n  x(tc) 0.3\n  y(tc) 0.3\n  p(pa) 1 1 1 2 -1 x -1 y\n  p(pb) 1 1 0 1 1 x\n"
                              "  p(pc) 1 1 0 1 1 y\n  ideal\n  3\n  xB 1 1 0 1 1 x\n  xC 1 1 0 1 1 y\n"
                              "  xA 1 1 1 2 -1 x -1 y\n  pa 1 1 xA 1\n  pb 1 1 xB 1\n  pc 1 1 xC 1\n*\n";
  for (const std::string xy : {"0.7 0.6", "0.3 0.7"}) {
    SetUp();
    start(emfile, ternary);
    const std::string end =
        read("0\n0\n1 pa pb\n -1 1 1\ntc 1 lab\n1 5 700 0 0.2 0.2\n0 5 750 0 " + xy + "\n-1\n0\n");
    EXPECT_EQ(end, xy[2] == '7' ? "readxy: tc at x(tc) = 0.7, y(tc) = 0.6 in bracket 2 of experiment 1 (lab): its site "
                                  "fraction xA = -0.3000 lies outside 0 and 1"
                                : "");
  }
}

// A negative activity marks cordierite as hydrous: it stands at activity 1
// in the list, for both cordierites, while the other terms keep their own.
TEST_F(LeastSquaresExperiments, HydrousCordieriteStandsAtUnitActivity) {
  start("6\n\n" + em("pa", "-1000") + em("pb", "-1004") + em("crd", "-1004") + em("fcrd", "-1010") + "*\n", axfile);
  ASSERT_EQ(read("0\n0\n1 pa crd fcrd\n 2 -1 -1 1\n0.5 -1 -0.5 lab\n1 5 700 0\n0 5 750 0\n-1\n"
                 "1 crd pa\n -1 1 1\n0.5 1 plain\n1 5 700 0\n0 5 750 0\n-1\n0\n"),
            "");
  const xprec& x = LSQDS::XP(1);
  EXPECT_TRUE(x.crdhydrous);
  ASSERT_EQ(x.nem, 3);
  for (smallint e = 1; e <= 3; ++e) {
    const double want = x.emname[e] == "pa" ? 0.5 : 1.0;
    EXPECT_EQ((double)x.emact[e], want) << x.emname[e];
    for (smallint b = 1; b <= 2; ++b) EXPECT_EQ((double)x.br[b].act[e], want) << x.emname[e] << " " << b;
  }
  // Without the mark an activity below 1 of cordierite stays as written.
  const xprec& y = LSQDS::XP(2);
  EXPECT_FALSE(y.crdhydrous);
  ASSERT_EQ(y.nem, 2);
  EXPECT_EQ(y.emname[1], "crd");
  EXPECT_EQ((double)y.emact[1], 0.5);
  EXPECT_EQ((double)y.emact[2], 1.0);
}

// Terms of one end-member at one activity join into the first. A reaction
// of the most terms allowed, 8 of pa and 7 of pb, all at activity 1, is
// 8 pa = 8 pb with a list of two entries. Of three terms in blocks of ab,
// pa at x 0.3 twice and pb at x 0.4, the second block goes and the third's
// composition moves up into its place.
TEST_F(LeastSquaresExperiments, JoinedTermsLeaveTheListAndTheCompositionsClosedUp) {
  std::string names = "1", coefs, acts;
  for (int k = 1; k <= maxrxterms; ++k) {
    names += k % 2 == 1 ? " pa" : " pb";
    coefs += k % 2 == 1 ? " -1" : k == maxrxterms - 1 ? " 2" : " 1";
    acts += "1 ";
  }
  ASSERT_EQ(read("0\n0\n" + names + "\n" + coefs + " 1\n" + acts + "many\n1 5 700 0\n0 5 750 0\n-1\n" +
                 "1 pa pa pb\n -1 -1 2 1\nab ab ab blocks\n1 5 700 0 0.3 0.3 0.4\n0 5 750 0 0.3 0.3 0.4\n-1\n0\n"),
            "");
  const xprec& m = LSQDS::XP(1);
  ASSERT_EQ(m.nrx, 2);
  EXPECT_EQ(m.nem, 2);
  EXPECT_EQ(m.rxcoef[1], -8);
  EXPECT_EQ(m.rxcoef[2], 8);
  EXPECT_EQ(m.emname[m.rxpos[1]], "pa");
  EXPECT_EQ(m.emname[m.rxpos[2]], "pb");

  const xprec& b = LSQDS::XP(2);
  ASSERT_EQ(b.nrx, 2);
  ASSERT_EQ(b.nem, 4);
  EXPECT_EQ(b.rxcoef[1], -2);
  EXPECT_EQ(b.rxcoef[2], 2);
  EXPECT_EQ(b.emname[b.rxpos[1]], "pa");
  EXPECT_EQ(b.emname[b.rxpos[2]], "pb");
  EXPECT_EQ(b.rxpos[2], 4);
  for (smallint n = 1; n <= 2; ++n) {
    EXPECT_EQ((double)b.br[n].xyz[1], 0.3) << n;
    EXPECT_EQ((double)b.br[n].xyz[2], 0.4) << n;
    EXPECT_EQ((double)b.br[n].xyz[3], 0) << n;
  }
}

TEST_F(LeastSquaresExperiments, ListingOfTheRecords) {
  dir.write("ds-prefs.txt", "emsuffix t\naxsuffix t\nxpsuffix t\ninfolevel 3\n*\n");
  LSQDS::INTRO();
  testsupport::openchannel(CHANNEL::LOGBIT, "log.txt");
  ASSERT_EQ(read("0\n0\n1 pa pb\n -1 1 1\n1 1 lab\n1 5 700 0\n0 5 750 0\n-1\n"
                 "1 ab pc univariant\n2 1 gl\npa pc\n -1 1\npb pc\n -1 1\n1 5 700 0 0.4\n0 5 750 0 0.4\n-1\n0\n"),
            "");
  EXPECT_NE(term.text().find("\n 1)  pa = pb  (lab )\n"), std::string::npos) << term.text();
  IO::FILECLOSE(IO::CHANNELFILE(CHANNEL::LOGBIT), true, "log");
  const std::string log = dir.read("log.txt");
  EXPECT_NE(log.find("\n\nREADING experimental work\n  1)  pa = pb  (lab )\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\n  equil: ab pc   (gl), involving next 2 reactions:\n    2)  pa = pc\n    3)  pb = pc\n"),
            std::string::npos)
      << log;
}

TEST_F(LeastSquaresExperiments, EveryStopOfTheReader) {
  const std::string simple = "1 pa pb\n -1 1 1\n";
  const std::string names16 = "1 pa pb pc pa pb pc pa pb pc pa pb pc pa pb pc pa\n";
  const struct {
    std::string xp;
    std::string end;
  } cases[] = {
      {"1 zz -1 1\n", "posinphname: zz is not an end-member name"},
      {"0\n1 pa pb\n 1 -1\n -3.8 0 298\n0\n",
       "readxy: oxide calorimetry datum 1: the value (-3.8000) and its sd (0) must be numbers, the sd above 0"},
      {"0\n0\n1 pa pb show\n", "readrc: not recognised \"show\""},
      {"0\n0\n1 pa pb unknowncomps\n", "readxy: need univariant keyword"},
      {"0\n0\n1 pa zz\n", "readrc: not recognised \"zz\""},
      {"0\n0\n" + names16, "readxy: more than 15 names in experiment 1"},
      {"0\n0\n" + simple + "xx 1\n", "reading activity: name, xx, not recognised 1"},
      {"0\n0\n1 pa pc\n -1 1 1\n1 ab\n", "readxy: pc in ab not recognised"},
      {"0\n0\n" + simple + "-0.5 1\n", "readxy: activity of pa below 0 in experiment 1"},
      {"0\n0\n" + simple + "0 1 lab\n1 5 700 0 0\n", "readxy: activity of pa not above 0 in bracket 1 of experiment 1 (lab)"},
      {"0\n0\n" + simple + "ab 1\n1 5 700 0\n", "readxy: not enough info 1"},
      {"0\n0\n" + simple + "0 1\n1 5 700 0\n", "readxy: not enough info 2"},
      {"0\n0\n" + simple + "1 1 lab\n1 5 700 0\n1 6 700 0\n-1\n", "readxy: brackets on one side only in experiment 1 (lab)"},
      {"0\n0\n1 ab\n1 1 l\npc pa\n", "readrc: not recognised \"pc\" 1"},
      {"0\n0\n1 ab ab\n", "readrc: ab given twice in experiment 1"},
      {"0\n0\n" + simple + "1 1\n1 5 700 0\n", "readxy: file ends inside the brackets of experiment 1 ()"},
  };
  for (const auto& c : cases) {
    SetUp();
    EXPECT_EQ(read(c.xp), c.end) << c.xp;
  }
}

// Five solution phases in one header are more than the working slots hold:
// five models of the same binary under five names.
TEST_F(LeastSquaresExperiments, MoreSolutionPhasesThanSlots) {
  std::string five;
  for (const std::string n : {"ab", "ac", "ad", "ae", "af"}) {
    std::string model = axfile.substr(0, axfile.size() - 2);
    for (std::size_t at = model.find("ab"); at != std::string::npos; at = model.find("ab", at + 2))
      model.replace(at, 2, n);
    five += model;
  }
  start(emfile, five + "*\n");
  EXPECT_EQ(read("0\n0\n1 ab ac ad ae af\n"), "readxy: more than 4 solution phases in experiment 1");
}

TEST_F(LeastSquaresExperiments, AssemblyRows) {
  const std::string brackets = "1 5 700 0 0.3\n0 5 750 0 0.3\n-1\n";
  ASSERT_EQ(read("0\n0\n1 pa pb\n -1 1 1\nab 1 lab\n" + brackets +
                 "3 pb pc\n -1 1 1\n1 1 unused\n1 5 700 0\n0 5 750 0\n-1\n"
                 "1 pb pc\n -1 1 2\n1 1 third\n1 5 700 0\n0 6 750 0\n-1\n0\n"),
            "");
  ASSERT_EQ(fatal([] { LSQDS::ASSEMBLY(1); }), "");
  // Rows for the used experiments only, numbered on from the calorimetry.
  EXPECT_EQ(LSQDS::NEXP, 2);
  const xprec& a = LSQDS::XP(1);
  const xprec& b = LSQDS::XP(2);
  const xprec& c = LSQDS::XP(3);
  EXPECT_EQ(a.row, 1);
  EXPECT_EQ(c.row, 2);
  EXPECT_EQ(b.row, 0);
  EXPECT_NE((double)b.hlow, 0.0);  // limits all the same
  EXPECT_EQ(LSQDS::TBAR[1], 998);
  // The ideal binary at x = 0.3 gives pa 0.7; ln K takes pb's fixed entry.
  EXPECT_NEAR((double)a.br[2].act[1], 0.7, 1e-15);
  EXPECT_NEAR((double)a.br[2].act[2], 0.3, 1e-15);
  EXPECT_NEAR((double)a.br[1].lnk, -std::log(0.7), 1e-15);
  EXPECT_EQ((double)a.ch, -4.0);
  EXPECT_EQ((double)(*LSQDS::Y)[1], (double)(0.5L * (a.hlow + a.hhigh)));
  // A reversal pair weighs by its width; brackets at two pressures by the
  // limits' width times rfac.
  EXPECT_GT((double)a.wsum, 0.0);
  EXPECT_EQ((double)LSQDS::SDYBR[1], (double)(1 / a.wsum));
  EXPECT_EQ((double)c.wsum, 0.0);
  EXPECT_EQ((double)LSQDS::SDYBR[2], (double)(c.hhigh - c.hlow));
  EXPECT_EQ((*LSQDS::LHS)(2, 2), -1);
  EXPECT_EQ((*LSQDS::LHS)(2, 3), 1);
  EXPECT_FALSE((*LSQDS::B)(2, 1));

  // An activity of 0 from the model for a reaction term stops the assembly.
  SetUp();
  ASSERT_EQ(read("0\n0\n1 pa pb\n -1 1 1\nab 1 lab\n1 5 700 0 1\n0 5 750 0 0.3\n-1\n0\n"), "");
  EXPECT_EQ(fatal([] { LSQDS::ASSEMBLY(1); }), "assembly: activity of pa not above 0 at bracket 1 of experiment 1 (lab)");
  SetUp();
  ASSERT_EQ(read("0\n0\n1 ab pc univariant\n1 1 g\npa pc\n -1 1\n1 5 700 0 0.4\n0 5 750 0 0.4\n-1\n0\n"), "");
  ASSERT_EQ(fatal([] { LSQDS::ASSEMBLY(1); }), "");
  // An equilibrium given with its phases: activities from the model at
  // every bracket, and a row like any other.
  EXPECT_NEAR((double)LSQDS::XP(1).br[2].act[1], 0.6, 1e-15);
  EXPECT_NEAR((double)LSQDS::XP(1).br[2].lnk, -std::log(0.6), 1e-15);
  EXPECT_EQ(LSQDS::NEXP, 1);
  EXPECT_TRUE(CALCMODE == calcmodetype::lsqdscalc);
  // Equal S and V: every bracket at one limit with no width, no row to weigh.
  SetUp();
  ASSERT_EQ(read("0\n0\n1 pa pb\n -1 1 1\n1 1 x\n1 5 700 0\n0 5 750 0\n-1\n0\n"), "");
  EXPECT_EQ(fatal([] { LSQDS::ASSEMBLY(1); }), "assembly: no finite enthalpy limits with a width above 0 for experiment 1 (x)");
}

TEST(LeastSquaresHeatContent, PerUnitCoefficient) {
  testsupport::freshstate();
  const struct {
    long double cpa, cpb, cpc, cpd, smax, tcrit, t;
    double h;
  } cases[] = {
      {0.3L, 1e-5L, -3000, -2, -1, 0, 973.15L, 144.098034118},
      {0, 0, 0, 0, 0.01L, 1200, 973.15L, 2.908191745},
      {0, 0, 0, 0, 0.01L, 800, 973.15L, 5.333333333},  // above Tc: 2/3 Smax Tc whatever T
      {0, 0, 0, 0, 0.01L, 800, 1500, 5.333333333},
  };
  for (const auto& c : cases) {
    tdrec e;
    e.cpa = c.cpa;
    e.cpb = c.cpb;
    e.cpc = c.cpc;
    e.cpd = c.cpd;
    e.smax = c.smax;
    e.tcrit = c.tcrit;
    EXPECT_NEAR((double)LSQDS::HEATCONTENT(e, c.t), c.h, 1e-8) << c.smax << " " << c.tcrit;
  }
}

}  // namespace
