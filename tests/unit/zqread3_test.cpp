// The phase choice, the fluid type, the phases in excess and the effective
// variance, on phase tables set by hand.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "equilibria/zqread3.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "worktest.h"

using namespace ZQGLOBAL;

namespace {

using testsupport::fatal;

class PhaseChoice : public testsupport::WorkTest {
 protected:
  // Solution phases (one end-member each, named after the phase) and pure
  // phases, in that order.
  static void tables(const std::vector<std::string>& solutions, const std::vector<std::string>& pures) {
    NPSS = static_cast<smallint>(solutions.size());
    NP0 = static_cast<smallint>(pures.size());
    NP = static_cast<smallint>(NPSS + NP0);
    for (long i = 1; i <= NPSS; ++i) {
      ptype1& p = (*PREC1)[i];
      p = ptype1{};
      p.name = p.longname = p.fullname = solutions[static_cast<std::size_t>(i - 1)];
      p.coding = 1;
      p.nprop = 1;
      p.em[1].name = p.name + "em";
    }
    for (long i = 1; i <= NP0; ++i) {
      ptype0& p = (*PREC0)[i];
      p = ptype0{};
      p.name = p.longname = p.emname = pures[static_cast<std::size_t>(i - 1)];
    }
  }
  static void with(const std::vector<std::string>& names) {
    NWHSTRINGS = static_cast<smallint>(names.size());
    for (long i = 1; i <= NWHSTRINGS; ++i) WHSTRINGS[i] = LONGWHSTRINGS[i] = names[static_cast<std::size_t>(i - 1)];
  }
  static std::string kept() {
    std::string s;
    for (long i = 1; i <= NPSS; ++i) s += (*PREC1)[i].name + " ";
    for (long i = 1; i <= NP0; ++i) s += (*PREC0)[i].name + " ";
    return s;
  }
  // Runs f with the answers piped in; the end of the run it met, and the terminal.
};

TEST_F(PhaseChoice, WithListAndChoiceAtTheTerminal) {
  struct Case {
    std::vector<std::string> with;
    bool someof, batch;
    std::string answers, end, kept, shown;
  } cases[] = {
      {{"alp", "per"}, false, false, "", "", "alp per ", "\nwith: alp, per \n"},
      {{"alp", "alp"}, false, false, "", "whichphases: with phase list: duplicate found", "", ""},
      {{"alp", "bte"}, false, false, "", "whichphases: with phase \"bte\" not recognised", "", ""},
      {{"alp", "bet", "per"}, true, false, "\n", "", "alp bet per ", "\nwith someof: alp, bet, per \n"},
      {{"alp", "bet", "per"}, true, false, "omit bet\n", "", "alp per ", "choose phases : "},
      {{"alp", "bet", "per"}, true, false, "omit xx\n", "whichphases: xx not recognised 1", "", ""},
      {{"alp", "bet", "per"}, true, false, "bet yy\n", "whichphases: yy not recognised 2", "", ""},
      {{"bet", "per"}, true, false, "per\n", "", "per ", ""},
      {{"alp", "per"}, false, true, "", "", "alp per ", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers + c.with.back());
    tables({"alp", "bet"}, {"per", "pa"});
    with(c.with);
    CONTROLJX.someof = c.someof;
    CONTROLJX.batch = c.batch ? yes : no;
    std::string out;
    EXPECT_EQ(run(c.answers, ZQREAD3::WHICHPHASES, out), c.end);
    if (!c.end.empty()) continue;
    EXPECT_EQ(kept(), c.kept);
    EXPECT_NE(out.find(c.shown), std::string::npos) << out;
    EXPECT_EQ(out.find("with") != std::string::npos, !c.batch) << out;
  }
}

TEST_F(PhaseChoice, BufferEntryOfTheWithLine) {
  // The increment sign is the single byte C6, as in every other text.
  for (const auto& [del, entry] : std::vector<std::pair<extended, std::string>>{
           {0, "fmq(buffer) "}, {2, "fmq(buffer \xC6=2) "}, {1.99995L, "fmq(buffer \xC6=2) "},
           {0.5L, "fmq(buffer \xC6=0.5) "}}) {
    tables({"alp"}, {"fmq"});
    with({"alp", "fmq"});
    BUFFERC = "fmq";
    BUFFERDEL = del;
    std::string out;
    EXPECT_EQ(run("", ZQREAD3::WHICHPHASES, out), "");
    EXPECT_NE(out.find("\nwith: alp, " + entry + "\n"), std::string::npos) << out;
    const std::size_t at = out.find("\nwith: "), end = out.find('\n', at + 1);
    ASSERT_NE(end, std::string::npos) << out;
    std::size_t high = 0;
    for (std::size_t i = at; i < end; ++i)
      if (static_cast<unsigned char>(out[i]) > 0x7F) ++high;
    EXPECT_EQ(high, del == 0 ? 0u : 1u) << out;
  }
}

TEST_F(PhaseChoice, FluidTypeFromThePhasesKept) {
  // Solution phases: fluid flag, aqueous flag, H2O and CO2 positions, end-members.
  struct Solution {
    bool fluid, aq;
    smallint h2o, co2, nem;
  };
  struct Case {
    std::vector<Solution> solutions;
    std::vector<std::string> pureems;
    ftype want;
    std::string shown;  // the line, or the fatal message
  } cases[] = {
      {{}, {}, ftype::absent, ""},
      {{}, {"H2O"}, ftype::h2o, "fluid is just H2O\n"},
      {{}, {"CO2"}, ftype::co2, "fluid is just CO2\n"},
      {{}, {"H2O", "CO2"}, ftype::notset, "whichphases: facility not implemented yet (fluidtype not set)"},
      {{{true, false, 1, 2, 2}}, {}, ftype::h2oco2, "fluid is H2O-CO2\n"},
      {{{true, false, 1, 2, 3}}, {}, ftype::chos, "fluid is in CHOS\n"},
      {{{true, false, 1, 0, 2}}, {}, ftype::chos, "fluid is in CHOS\n"},
      {{{true, false, 1, 2, 2}}, {"H2O"}, ftype::notset, "whichphases: facility not implemented yet (fluidtype not set)"},
      {{{true, false, 1, 2, 2}, {true, false, 1, 0, 2}}, {}, ftype::several,
       "whichphases: several fluid and/or aq: choose just one"},
      {{{false, true, 1, 0, 3}}, {}, ftype::h2oaq, "fluid is H2O-aqueous\n"},
      {{{false, true, 1, 2, 3}}, {}, ftype::h2oco2aq, "fluid is H2O-CO2-aqueous\n"},
      {{{false, true, 0, 0, 3}}, {}, ftype::notset, "whichphases: facility not implemented yet (fluidtype not set)"},
      {{{false, true, 1, 0, 3}, {false, true, 1, 0, 3}}, {}, ftype::several,
       "whichphases: several fluid and/or aq: choose just one"},
      {{{true, false, 1, 2, 2}, {false, true, 1, 0, 3}}, {}, ftype::several,
       "whichphases: several fluid and/or aq: choose just one"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    std::vector<std::string> s, p;
    for (std::size_t i = 0; i < c.solutions.size(); ++i) s.push_back("s" + std::to_string(i));
    for (const std::string& em : c.pureems) p.push_back("p" + em);
    tables(s, p);
    for (long i = 1; i <= NPSS; ++i) {
      const Solution& d = c.solutions[static_cast<std::size_t>(i - 1)];
      ptype1& r = (*PREC1)[i];
      r.isfluid = d.fluid;
      r.isaq = d.aq;
      r.h2opos = d.h2o;
      r.co2pos = d.co2;
      r.nprop = d.nem;
    }
    for (long i = 1; i <= NP0; ++i) (*PREC0)[i].emname = c.pureems[static_cast<std::size_t>(i - 1)];
    EXBUFF = true;
    std::string out;
    const std::string end = run("", ZQREAD3::SETFLUIDTYPE, out);
    EXPECT_EQ(FLUIDTYPE, c.want);
    if (end.empty()) {
      EXPECT_EQ(out, c.shown);
      EXPECT_EQ(EXBUFF, c.want == ftype::h2oco2);
    } else {
      EXPECT_EQ(end, c.shown);
    }
  }
}

TEST_F(PhaseChoice, PhasesInExcess) {
  tables({"alp", "bet"}, {"per", "q"});
  CONTROLJX.inexcess = yes;
  NEXCESSSTRINGS = 2;
  EXCESSSTRINGS[1] = "qq";  // no phase: passed over, and not named
  EXCESSSTRINGS[2] = "per";
  std::string out;
  run("", ZQREAD3::PHASESINEXCESS, out);
  EXPECT_EQ(out, "in excess: per\n");
  EXPECT_EQ(NPINEX, 1);
  EXPECT_TRUE(PINEX[3] && PMBP[3]);
  EXPECT_FALSE(PINEX[1] || PINEX[4]);

  // Typed names; a tozero phase is flagged in both lists; H2O in excess is
  // the fluid in excess.
  tables({"alp", "bet"}, {"H2O", "q"});
  CONTROLJX.inexcess = no;
  CONTROLJX.tozero = yes;
  NTOZEROSTRINGS = 1;
  TOZEROSTRINGS[1] = "bet";
  run("H2O\n", ZQREAD3::PHASESINEXCESS, out);
  EXPECT_EQ(out, "alp  bet  H2O  q  \nin excess: names : in excess: H2O bet\n");
  EXPECT_EQ(NPINEX, 2);
  EXPECT_EQ(NPINEX0, 2);
  EXPECT_TRUE(PINEX0[2] && PINEX0[3]);

  // A phase in excess that is also taken to zero is named once; a phase
  // taken to zero alone follows it.
  tables({"alp", "bet"}, {"per", "q"});
  CONTROLJX.inexcess = yes;
  NEXCESSSTRINGS = 1;
  EXCESSSTRINGS[1] = "per";
  NTOZEROSTRINGS = 2;
  TOZEROSTRINGS[1] = "per";
  TOZEROSTRINGS[2] = "alp";
  run("", ZQREAD3::PHASESINEXCESS, out);
  EXPECT_EQ(out, "in excess: per alp\n");
  EXPECT_EQ(NPINEX, 2);
  EXPECT_EQ(NPINEX0, 2);
  EXPECT_TRUE(PINEX0[1] && PINEX0[3]);

  // One phase: nothing flagged, nothing asked.
  tables({"alp"}, {});
  run("", ZQREAD3::PHASESINEXCESS, out);
  EXPECT_EQ(out, "");
  EXPECT_EQ(NPINEX, 0);
}

TEST_F(PhaseChoice, EffectiveVariance) {
  struct Case {
    smallint ovariance, niso, nxyziso;
    bool pseudo, exbuff;
    smallint want;
    bool pseudoafter;
    std::string shown;
  } cases[] = {
      {4, 2, 2, false, false, 2, false, "\noriginal variance = 4, effective variance = 2  (0, 2)\n"},
      {2, 0, 0, true, true, 2, false, "original variance = 2, effective variance = 2  (0, 0, ex)\n"},
      {3, 0, 0, true, true, 3, true, "variance > 2"},
      {2, 0, 0, true, false, 2, true, "original variance = 2, effective variance = 2  (0, 0)\n"},
      {1, 2, 2, false, false, -1, false, "variance < 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    OVARIANCE = c.ovariance;
    NISO = c.niso;
    NXYZISO = c.nxyziso;
    NMODEISO = 0;
    PSEUDOSECTION = c.pseudo;
    // Modes after the solve go with the pseudosection: none are worked out
    // once it is off.
    MODESAFTERNLE = c.pseudo;
    EXBUFF = c.exbuff;
    std::string out;
    const std::string end = run("", ZQREAD3::VARCALC, out);
    EXPECT_EQ(VARIANCE, c.want);
    EXPECT_EQ(PSEUDOSECTION, c.pseudoafter);
    EXPECT_EQ(MODESAFTERNLE, c.pseudoafter);
    if (end.empty())
      EXPECT_EQ(out, c.shown);
    else
      EXPECT_EQ(end, "varcalc: " + c.shown);
  }
}

}  // namespace
