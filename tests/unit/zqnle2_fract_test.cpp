// Fractionation along a P-T path on a hand-made rock: two phases alp and
// bet of MgO and FeO (two atoms in each oxide), alp at (0.6, 0.4) and bet
// at (0.5, 0.5), bet fractionated with a porosity of 0.01 along a path from
// 5 kbar and 700 C in steps of 0.5 kbar and -10 C. The expected bulks are
// worked out by hand from the modes over the atoms of each row.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/channels.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_dataset.h"
#include "frame/zqglobal_fract.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_solver.h"
#include "input/zqread1.h"
#include "equilibria/zqnle2.h"
#include "mainprogram.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

constexpr extended K = 273.15L;
const std::string deg = "\xA1";

std::string field(const std::string& s, std::size_t w) { return std::string(w > s.size() ? w - s.size() : 0, ' ') + s; }
std::string sig6(extended x) { return field(IO::REAL2STR(x, 6, false), 13); }

// Runs call with the answers typed at its prompts and the files left open:
// how it ended the run, with what it wrote to the terminal in out.
std::string typed(const std::string& answers, const std::function<void()>& call, std::string& out) {
  testsupport::Terminal term;
  testsupport::Answers a(answers);
  const std::string end = fatal(call);
  out = term.text();
  return end;
}

class Fractionation : public ::testing::Test {
 protected:
  assemblage::tables t;
  testsupport::ScratchDir dir;
  ZQNLE2::solvestate st;

  void SetUp() override {
    NUV = NUVLEFT = 2;
    COMPNAME[1] = "MgO";
    COMPNAME[2] = "FeO";
    ICOMP[1] = ICOMP[2] = 2;
    COMPDIV[1] = COMPDIV[2] = 10;
    NPSS = 0;
    NP0 = NP = 2;
    NCV = 0;
    (*PREC0)[1].name = "alp";
    (*PREC0)[1].comp[1] = 6, (*PREC0)[1].comp[2] = 4;
    (*PREC0)[2].name = "bet";
    (*PREC0)[2].comp[1] = 5, (*PREC0)[2].comp[2] = 5;
    st.PH.fill(false);
    st.PH[1] = st.PH[2] = true;
    CONTROLJX.rbi = yes;
    rock(0.94L, 0.06L);
    NBATCH = 2;
    for (smallint b = 1; b <= 2; ++b) {
      BATCHINFO[b].phase[1] = BATCHINFO[b].phase[2] = true;
      BATCHINFO[b].hascomp[1] = BATCHINFO[b].hascomp[2] = true;
      BATCHINFO[b].tatp = false;
      BATCHINFO[b].modephase1 = 0;
    }
    FRACTINFO.phase = "bet";
    FRACTINFO.porosity = 0.01L;
    FRACTINFO.p0 = 5;
    FRACTINFO.dp = 0.5L;
    FRACTINFO.t0 = 700 + K;
    FRACTINFO.dt = -10;
    FRACTINFO.nsteps = 5;
    testsupport::openchannel(CHANNEL::LOGBIT, "log.txt");
    testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk.txt");
  }

  void rock(extended alp, extended bet) {
    NRBIMODE = 2;
    RBISTRP[1] = "alp";
    RBISTRP[2] = "bet";
    RBIMODE[1] = alp;
    RBIMODE[2] = bet;
    RBIC(1, 1) = 0.6L, RBIC(1, 2) = 0.4L;
    RBIC(2, 1) = 0.5L, RBIC(2, 2) = 0.5L;
  }

  std::string file(const std::string& name) {
    IO::FLUSHER();
    return dir.read(name);
  }
};

const std::string heading = "          P          T        MgO        FeO       lost\n";

TEST_F(Fractionation, SetUpStartsFromTheRockInFormulaAmounts) {
  std::string out;
  ASSERT_EQ(typed("", [&] { st.SETUPFRACT(); }, out), "");
  EXPECT_EQ(FRACTINFO.phasepos, 2);
  EXPECT_EQ(FRACTINFO.removed, 0);
  const extended compu[] = {0.297L, 0.203L}, compfu[] = {0.015L, 0.015L}, fbulk[] = {0.282L, 0.188L};
  for (smallint j = 1; j <= 2; ++j) {
    EXPECT_NEAR(COMPU[j], compu[j - 1], 1e-17L) << j;
    EXPECT_NEAR(COMPFU[j], compfu[j - 1], 1e-17L) << j;
    EXPECT_NEAR(st.FBULK[j], fbulk[j - 1], 1e-17L) << j;
  }
  for (smallint b = 1; b <= 2; ++b) {
    EXPECT_EQ(BATCHINFO[b].plist[1], 5);
    EXPECT_EQ(BATCHINFO[b].tlist[1], 700 + K);
  }
  EXPECT_EQ(file("qk.txt"), heading);
  EXPECT_EQ(out, "");

  // The carried bulk to the drawing data with the debugging switch.
  CONTROLJX.fractdebug = yes;
  ASSERT_EQ(fatal([&] { st.SETUPFRACT(); }), "");
  EXPECT_NE(file("qk.txt").find("<-------------------------------------------->\nright at start\n"
                                "          MgO         FeO\n"
                                "m  0.28200000  0.18800000\n"
                                "f  0.01500000  0.01500000\n"
                                "a  0.59400000  0.40600000  0.50000000\n"),
            std::string::npos)
      << file("qk.txt");

  struct stop {
    const char* what;
    std::function<void()> spoil;
    const char* end;
  };
  const std::vector<stop> stops = {
      {"no rbi", [] { CONTROLJX.rbi = no; }, "setupfract: cannot fractionate without rbi"},
      {"a phase not among the first item's", [] { FRACTINFO.phase = "gam"; }, "setupfract: bad name \"gam\""},
      {"a phase left out of the first item", [] { BATCHINFO[1].phase[2] = false; }, "setupfract: bad name \"bet\""},
  };
  for (const stop& s : stops) {
    SCOPED_TRACE(s.what);
    SetUp();
    s.spoil();
    EXPECT_EQ(fatal([&] { st.SETUPFRACT(); }), s.end);
  }
}

struct stepcase {
  const char* what;
  extended alp, bet;       // the rock's modes before the step
  smallint ifract;         // steps taken before it
  const char* answers;     // typed at the question
  const char* terminal;    // what the step shows
  smallint ifractafter;
  extended removed;
  extended betafter;       // bet's rbi mode after the step
  std::vector<extended> fbulk, compfu, bulk;  // over MgO, FeO; bulk as handed to every item
  const char* row;         // the drawing-data row, "" for none
};

TEST_F(Fractionation, Steps) {
  const std::vector<stepcase> cases = {
      {"first step above the porosity: repeated with it filled", 0.94L, 0.06L, 0, "",
       "\n<--repeating first step----->\nto start with porosity just filled\n", 0, 0, 0.01L,
       {0.297L, 0.198L}, {0.0025L, 0.0025L}, {59.9L, 40.1L}, ""},
      {"a later step fractionates", 0.94L, 0.06L, 1, "",
       "\n<--for following step----------->\nfractionating\n", 2, 0.05L, 0.01L,
       {0.297L, 0.198L}, {0.0025L, 0.0025L}, {59.9L, 40.1L},
       "     6.0000    680.000   59.90000   40.10000    0.05000\n"},
      {"first step short of the porosity, filled", 0.995L, 0.005L, 0, "y\n",
       "increase fluid to fill porosity before starting to fractionate", 0, 0, 0.01L,
       {0.297L, 0.198L}, {0.0025L, 0.0025L}, {59.9L, 40.1L}, ""},
      {"first step short of the porosity, not filled", 0.995L, 0.005L, 0, "n\n",
       "\n<--fluid consumed ---------------->\nno fractionation at this step\n", 1, 0, 0.005L,
       {0.2985L, 0.199L}, {0.00125L, 0.00125L}, {59.95L, 40.05L},
       "     5.5000    690.000   59.95000   40.05000          0\n"},
      {"first step at the porosity within a thousandth", 0.990005L, 0.009995L, 0, "",
       "\n<--------------------------------->\nno fractionation at this step\n", 1, 0, 0.009995L,
       {0.2970015L, 0.198001L}, {0.00249875L, 0.00249875L}, {59.90005L, 40.09995L},
       "     5.5000    690.000"},
      {"a later step with the phase unchanged", 0.99L, 0.01L, 2, "",
       "\n<--fluid not gained or consumed -->\nno fractionation at this step\n", 3, 0, 0.01L,
       {0.297L, 0.198L}, {0.0025L, 0.0025L}, {59.9L, 40.1L},
       "     6.5000    670.000   59.90000   40.10000          0\n"},
      {"an absent phase filled takes its share from its row", 1, 0, 0, "y\n",
       "to start with porosity just filled\n", 0, 0, 0.01L,
       {0.297L, 0.198L}, {0.0025L, 0.0025L}, {59.9L, 40.1L}, ""},
  };
  for (const stepcase& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    rock(c.alp, c.bet);
    ASSERT_EQ(fatal([&] { st.SETUPFRACT(); }), "");
    IFRACT = c.ifract;
    std::string out;
    ASSERT_EQ(typed(c.answers, [&] { st.DOFRACT(); }, out), "");
    EXPECT_NE(out.find(c.terminal), std::string::npos) << out;
    EXPECT_EQ(IFRACT, c.ifractafter);
    EXPECT_NEAR(FRACTINFO.removed, c.removed, 1e-17L);
    EXPECT_NEAR(RBIMODE[2], c.betafter, 1e-18L);
    for (smallint j = 1; j <= 2; ++j) {
      EXPECT_NEAR(st.FBULK[j], c.fbulk[j - 1], 1e-17L) << j;
      EXPECT_NEAR(COMPFU[j], c.compfu[j - 1], 1e-17L) << j;
      EXPECT_NEAR(COMPU[j], c.fbulk[j - 1] + c.compfu[j - 1], 1e-17L) << j;
      for (smallint b = 1; b <= 2; ++b) EXPECT_NEAR(BATCHINFO[b].bulkcomp[j], c.bulk[j - 1], 1e-14L) << b;
    }
    for (smallint b = 1; b <= 2; ++b) {
      EXPECT_NEAR(BATCHINFO[b].plist[1], 5 + 0.5L * c.ifractafter, 1e-17L);
      EXPECT_NEAR(BATCHINFO[b].tlist[1], 700 + K - 10 * c.ifractafter, 1e-14L);
    }
    const std::string qk = file("qk.txt").substr(heading.size());
    if (std::string(c.row).empty())
      EXPECT_EQ(qk, "");
    else
      EXPECT_EQ(qk.rfind(c.row, 0), 0u) << qk;
  }
}

TEST_F(Fractionation, FirstItemRebuildsTheRock) {
  ASSERT_EQ(fatal([&] { st.SETUPFRACT(); }), "");
  NX = 2;
  NXP = 2;
  MODESBYNLE = true;
  st.XRAW[3] = 0.9L;
  st.XRAW[4] = 0.1L;
  RBIC(1, 1) = RBIC(2, 2) = 7;  // the rows are rebuilt from the phases
  ASSERT_EQ(fatal([&] { st.FRACTBULK(); }), "");
  EXPECT_EQ(NRBIMODE, 2);
  EXPECT_EQ(RBIMODE[1], 0.9L);
  EXPECT_EQ(RBIMODE[2], 0.1L);
  EXPECT_NEAR(RBIC(1, 1), 0.6L, 1e-18L);
  EXPECT_NEAR(RBIC(2, 2), 0.5L, 1e-18L);
  EXPECT_NEAR(COMPFU[1], 0.025L, 1e-18L);
  EXPECT_NEAR(COMPFU[2], 0.025L, 1e-18L);
  EXPECT_NEAR(st.FBULK[1], 0.272L, 1e-17L);
  EXPECT_NEAR(st.FBULK[2], 0.178L, 1e-17L);

  // Modes worked out after the solve give no rows to rebuild.
  MODESBYNLE = false;
  EXPECT_EQ(fatal([&] { st.FRACTBULK(); }), "fractbulk: fract dimensions mismatch");
}

class FractionationEvent : public Fractionation {
 protected:
  void SetUp() override {
    Fractionation::SetUp();
    ASSERT_EQ(fatal([&] { st.SETUPFRACT(); }), "");
    IFRACT = 1;
    IBATCH = 2;
    BATCHINFO[2].modephase1 = 2;
    NX = 2;
    NXP = 2;
    XNAME[3] = "alp";
    XNAME[4] = "bet";
    st.XRAW[3] = 0.94L;
    st.XRAW[4] = 0.06L;
    SU.pressure = 5.8L;
    SU.temperature = 650 + K;
  }
};

TEST_F(FractionationEvent, BeyondTheNextStepWritesNothing) {
  struct c {
    bool calct;
    extended p, t;
  };
  // The next step is at 6 kbar and 680 C, the path going up in P and down in T.
  const std::vector<c> cases = {{false, 6.2L, 650 + K}, {false, 6, 650 + K}, {true, 5.8L, 679 + K}};
  for (const c& k : cases) {
    BATCHINFO[1].tatp = k.calct;
    SU.pressure = k.p;
    SU.temperature = k.t;
    std::string out;
    ASSERT_EQ(typed("", [&] { st.PRINTFRACTRESULTS(); }, out), "");
    EXPECT_EQ(out, "");
    EXPECT_FALSE(st.FRACTSTOP);
    EXPECT_EQ(st.NFRACTROW, 0);
  }
  EXPECT_EQ(file("qk.txt"), heading);
  EXPECT_EQ(file("log.txt"), "");
  EXPECT_FALSE(CANCONTINUE);
}

// Step 1 of a path from 5 kbar and 700 C, its steps going either way: an
// event counts from this step up to (not at) the next one, in the variable
// the first item solves for; one the path has passed, or one off a path
// that does not move in that variable, does not.
TEST_F(FractionationEvent, OnlyAnEventUpToTheNextStepCounts) {
  struct c {
    const char* what;
    bool calct;
    extended dp, dt;  // the steps
    extended at;      // the event's P (kbar) or T (C)
    bool counts;
  };
  const std::vector<c> cases = {
      {"cooling, passed", true, 0.5L, -10, 695, false},
      {"cooling, at this step", true, 0.5L, -10, 690, true},
      {"cooling, ahead", true, 0.5L, -10, 680.5L, true},
      {"heating, passed", true, 0.5L, 10, 705, false},
      {"heating, just passed", true, 0.5L, 10, 709.99L, false},
      {"heating, ahead", true, 0.5L, 10, 715, true},
      {"heating, at the next step", true, 0.5L, 10, 720, false},
      {"rising P, passed", false, 0.5L, -10, 5.2L, false},
      {"rising P, ahead", false, 0.5L, -10, 5.9L, true},
      {"falling P, passed", false, -0.5L, 10, 4.8L, false},
      {"falling P, ahead", false, -0.5L, 10, 4.2L, true},
      {"falling P, beyond the next step", false, -0.5L, 10, 3.9L, false},
      {"T held, T solved below it", true, 0.5L, 0, 650, false},
      {"P held, P solved above it", false, 0, -10, 6.5L, false},
  };
  for (const c& k : cases) {
    SCOPED_TRACE(k.what);
    SetUp();
    FRACTINFO.dp = k.dp;
    FRACTINFO.dt = k.dt;
    BATCHINFO[1].tatp = k.calct;
    SU.pressure = k.calct ? 5 + k.dp : k.at;
    SU.temperature = k.calct ? k.at + K : 700 + k.dt + K;
    std::string out;
    ASSERT_EQ(typed("", [&] { st.PRINTFRACTRESULTS(); }, out), "");
    EXPECT_EQ(st.FRACTSTOP, k.counts);
    EXPECT_EQ(st.NFRACTROW, k.counts ? 1 : 0);
    EXPECT_EQ(out.find("losing bet by batch 2") != std::string::npos, k.counts) << out;
    EXPECT_EQ(file("log.txt").empty(), !k.counts);
  }
  // A stop already called for stays.
  SetUp();
  st.FRACTSTOP = true;
  SU.pressure = 5.2L;
  ASSERT_EQ(fatal([&] { st.PRINTFRACTRESULTS(); }), "");
  EXPECT_TRUE(st.FRACTSTOP);
  EXPECT_EQ(st.NFRACTROW, 0);
}

TEST_F(FractionationEvent, BeforeTheNextStepWritesTheRestartBlock) {
  std::string out;
  ASSERT_EQ(typed("", [&] { st.PRINTFRACTRESULTS(); }, out), "");
  EXPECT_EQ(out, "<-------------------------------------------------->\nlosing bet by batch 2\n");
  EXPECT_TRUE(st.FRACTSTOP);
  EXPECT_TRUE(CANCONTINUE);
  EXPECT_EQ(st.NFRACTROW, 1);
  // The rock's bet above the porosity is cut to it, alp scaled by 0.99/0.94.
  EXPECT_NEAR(RBIMODE[1], 0.99L, 1e-18L);
  EXPECT_EQ(RBIMODE[2], 0.01L);
  EXPECT_NEAR(FRACTINFO.removed, 0.05L, 1e-18L);
  const std::string rule = "% --------------------------------------------------------\n";
  const std::string dbl = "% ========================================================\n";
  const std::string want = "<-------------------------------------------------->\nlosing bet by batch 2\n\n" + rule +
                           "% rbi with extra precision for restarting fractcalcs with new equilibrium\n"
                           "% at P = 5.8000 kbar, and T = 650.000\n" +
                           dbl + "% 1-element-based modes\n" + "%      " + field("alp", 13) + field("bet", 13) + "\n" +
                           "rbi yes" + sig6(0.99L) + sig6(0.01L) + "\n\n" + "%      " + field("MgO", 13) +
                           field("FeO", 13) + "\n" + "rbi    " + sig6(0.6L) + sig6(0.4L) + "    % alp\n" + "rbi    " +
                           sig6(0.5L) + sig6(0.5L) + "    % bet\n" + dbl + "% bulk " + sig6(59.9L) + sig6(40.1L) + "\n" +
                           rule;
  EXPECT_EQ(file("log.txt"), want);
  // The rock's row at the step, then the event's bulk.
  EXPECT_EQ(file("qk.txt"), heading + "     5.0000    700.000   59.40000   40.60000    0.05000\n" +
                                "     5.8000    650.000   59.90000   40.10000    0.05000\n");

  // A second event in the same run leaves the rock as it is.
  ASSERT_EQ(fatal([&] { st.PRINTFRACTRESULTS(); }), "");
  EXPECT_EQ(st.NFRACTROW, 2);
  EXPECT_NEAR(RBIMODE[1], 0.99L, 1e-18L);
  EXPECT_NEAR(FRACTINFO.removed, 0.05L, 1e-18L);
}

TEST_F(FractionationEvent, EventLineAndStops) {
  struct c {
    const char* what;
    std::function<void()> change;
    const char* line;  // the event line, "" when the run stops
    const char* log;   // a line of the log
    const char* end;
  };
  const std::vector<c> cases = {
      {"a phase the first item lacks is added", [] { BATCHINFO[1].phase[2] = false; }, "added bet by batch 2\n",
       "% 1-element-based modes\n", ""},
      {"the oxide-based data set", [] { WITHOLDSET = true; }, "losing bet by batch 2\n", "% 1-oxide-based modes\n", ""},
      {"solving for T on the way down to the next step",
       [] { BATCHINFO[1].tatp = true, SU.temperature = 685 + K; }, "losing bet by batch 2\n",
       "% at P = 5.8000 kbar, and T = 685.000\n", ""},
      {"the fractionated phase not among the modes", [] { XNAME[4] = "gam"; }, "", "",
       "printfractresults: bad name \"bet\""},
      {"more modes than phases", [] { NXP = 3, XNAME[5] = "gam"; }, "", "", "printfractresults: mismatch"},
  };
  for (const c& k : cases) {
    SCOPED_TRACE(k.what);
    WITHOLDSET = false;
    SetUp();
    k.change();
    std::string out;
    EXPECT_EQ(typed("", [&] { st.PRINTFRACTRESULTS(); }, out), k.end);
    if (std::string(k.line).empty()) continue;
    EXPECT_NE(out.find(k.line), std::string::npos) << out;
    EXPECT_NE(file("log.txt").find(k.log), std::string::npos) << file("log.txt");
  }
}


// ---------------------------------------------------------------- a whole run

// bet fractionated down to 0.01 along a path from 5 kbar and t0, 0.5 kbar
// and -10 C a step.
void betpath(extended t0, smallint nsteps) {
  CONTROLJX.fractionation = yes;
  FRACTINFO.phase = "bet";
  FRACTINFO.porosity = 0.01L;
  FRACTINFO.p0 = 5;
  FRACTINFO.dp = 0.5L;
  FRACTINFO.t0 = t0;
  FRACTINFO.dt = -10;
  FRACTINFO.nsteps = nsteps;
}

// No script line switches fractionation on: the script is read, then this
// sets the switch, the path and the first item's phases and components.
void fractionatebet() {
  betpath(650 + K, 2);
  BATCHINFO[1].phase.fill(false);
  BATCHINFO[1].phase[1] = BATCHINFO[1].phase[2] = true;
  BATCHINFO[1].hascomp.fill(false);
  BATCHINFO[1].hascomp[1] = BATCHINFO[1].hascomp[2] = true;
  BATCHINFO[1].tatp = false;
}

struct runoutcome {
  std::string end, terminal, drawing;
};

// One pass of the loop system with the given lines, fractionation switched on.
runoutcome fractionationpass(const std::string& lines) {
  testsupport::ScratchDir dir;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(SOLVARINTH_FIXTURES) / "loop"))
    std::filesystem::copy_file(e.path(), dir.path() / e.path().filename());
  dir.write("jx-lp.txt", "axfile lpax\nwith alp bet\ninexcess\npseudosection\ndiagramPT 1 10 400 800\ncalcP 5\n"
                         "calcT 650\n" + lines + "convergence 1e-12 1e-12 0.005 1e-6\nautoexit\n*\n");
  testsupport::freshstate();
  ZQNLE2::AFTERSCRIPT = fractionatebet;
  runoutcome o;
  o.end = testsupport::answered("\n\n\n\n", [] { MAINPROGRAM::RUN(); }, o.terminal);
  ZQNLE2::AFTERSCRIPT = nullptr;
  if (ZQREAD1::PDATA.f != nullptr) std::fclose(ZQREAD1::PDATA.f);
  ZQREAD1::PDATA = IO::textfile{};
  IO::FLUSHER();
  o.drawing = dir.read("jx-lp-qk.txt");
  testsupport::freshstate();
  return o;
}

// The run loop sets fractionation up before its first run: the rock's
// bulk is checked and the drawing data gets the heading of the path rows.
TEST(FractionationRun, SolveSetsUpBeforeItsRuns) {
  runoutcome o = fractionationpass("rbi MgO FeO\nrbi alp 0.94 0.6 0.4\nrbi bet 0.06 0.5 0.5\n");
  EXPECT_EQ(o.drawing.rfind("          P          T        MgO        FeO       lost\n", 0), 0u) << o.drawing;
  EXPECT_NE(o.terminal.find("phases: alp bet"), std::string::npos) << o.terminal;
  o = fractionationpass("bulk MgO FeO\nbulk 60 40\n");
  EXPECT_EQ(o.end, "setupfract: cannot fractionate without rbi") << o.terminal;
}

// A whole pass of calc mode 1 whose path after sets up once the script is
// read; what ended it ("" for a normal end), its terminal in terminal.
std::string runalongpath(void (*after)(), std::string& terminal) {
  testsupport::freshstate();
  ZQNLE2::AFTERSCRIPT = after;
  const std::string end = testsupport::answered("\n\n\n\n\n\n", [] { MAINPROGRAM::RUN(); }, terminal);
  ZQNLE2::AFTERSCRIPT = nullptr;
  if (ZQREAD1::PDATA.f != nullptr) std::fclose(ZQREAD1::PDATA.f);
  ZQREAD1::PDATA = IO::textfile{};
  IO::FLUSHER();
  return end;
}

// The rock as the one batch item of a run stepped along the path from 5 kbar
// and 700 C, 0.5 kbar and -10 C a step, bet fractionated down to 0.01.
void rockalongpath(extended mgo, extended feo) {
  betpath(700 + K, 5);
  CONTROLJX.batch = yes;
  NBATCH = 1;
  BATCHNO[1] = 1;
  batchtype& b = BATCHINFO[1];
  b.phase.fill(false);
  b.phase[1] = b.phase[2] = true;
  b.variance = 3;  // modes solved with the equilibrium
  b.np = b.nt = 1;
  b.kxyz = 1;
  b.withbulk = true;
  b.nfreecomp = 2;
  b.hascomp.fill(false);
  b.hascomp[1] = b.hascomp[2] = true;
  b.bulkcomp[1] = mgo;
  b.bulkcomp[2] = feo;
  b.tatp = false;
  NBATCHXYZ = 1;
  BATCHXYZ[1].count = 2;
  BATCHXYZ[1].name[1] = "x(alp)";
  BATCHXYZ[1].value[1] = 0.3L;
  BATCHXYZ[1].name[2] = "x(bet)";
  BATCHXYZ[1].value[2] = 0.6L;
}

struct pathcase {
  const char* what;
  const char* rbi;        // the rock's rbi lines
  extended mgo, feo;      // its bulk, mol% per oxide
  std::vector<std::string> terminal;  // in this order
  std::vector<std::string> rows;      // path rows of the drawing data
};

// With ideal one-site mixing and no heat capacities, the two-phase field of
// the loop system at P, T has x(alp) = kB (1 - kA) / (kB - kA) and x(bet) =
// (1 - kA) / (kB - kA), k = exp(dG / RT) of the exchange of each end-member
// from alp to bet. At 5 kbar and 700 C it spans x = 0.3268576 to 0.3878428;
// at 5.5 kbar and 690 C 0.3515354 to 0.4217986, so a rock whose bet is cut
// to the porosity at the start lies outside it at the first step.
TEST(FractionationRun, StepsAlongThePath) {
  const std::vector<pathcase> cases = {
      {"a rock outside the two-phase field ends after the plain run",
       "rbi alp 0.94 0.6 0.4\nrbi bet 0.06 0.5 0.5\n", 59.4L, 40.6L,
       {"<== step 0 ===", "phases: alp bet", "<== nothing in range ==>"}, {}},
      // Its bet (mode 0.1105581 from the field) is first cut to the porosity,
      // the run repeated; that leaves 0.99 alp + 0.01 bet at x 32.746744 %
      // FeO, the bulk of step 1, away from bet's side; there alp alone is
      // stable and the run ends.
      {"a rock inside the field fills the porosity, then steps",
       "rbi alp 0.94 0.67 0.33\nrbi bet 0.06 0.61 0.39\n", 66.64L, 33.36L,
       {"<== step 0 ===", "0.8894    0.1106", "\n<--repeating first step----->\nto start with porosity just filled\n",
        // bet now solves to the porosity up to rounding, so whether step 1
        // says it fractionates (nothing) or not hangs on that rounding.
        "<== step 0 ===", "0.9900   0.01000", "<== step 1 ===", "<== nothing in range ==>"},
       {"     5.5000    690.000   67.25326   32.74674          0"}},
  };
  for (const pathcase& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::ScratchDir dir;
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(SOLVARINTH_FIXTURES) / "loop"))
      std::filesystem::copy_file(e.path(), dir.path() / e.path().filename());
    dir.write("jx-lp.txt", "axfile lpax\nwith alp bet\ninexcess\npseudosection\ndiagramPT 1 10 400 800\nrbi MgO FeO\n" +
                               std::string(c.rbi) + "convergence 1e-12 1e-12 0.005 1e-6\nautoexit\n*\n");
    static extended mgo, feo;
    mgo = c.mgo, feo = c.feo;
    std::string terminal;
    const std::string end = runalongpath([] { rockalongpath(mgo, feo); }, terminal);
    const std::string drawing = dir.read("jx-lp-qk.txt");
    testsupport::freshstate();

    EXPECT_EQ(end, "") << terminal;
    std::size_t at = 0;
    for (const std::string& t : c.terminal) {
      at = terminal.find(t, at);
      ASSERT_NE(at, std::string::npos) << t << "\n" << terminal;
      ++at;
    }
    EXPECT_EQ(terminal.find("<== step 2 ==="), std::string::npos) << terminal;
    // The path rows are those of five fields of 11 after the heading.
    EXPECT_EQ(drawing.rfind(heading, 0), 0u) << drawing;
    std::vector<std::string> rows;
    std::size_t from = heading.size();
    for (std::size_t nl; (nl = drawing.find('\n', from)) != std::string::npos; from = nl + 1) {
      const std::string line = drawing.substr(from, nl - from);
      if (line.size() == 55 && line.rfind("     ", 0) == 0) rows.push_back(line);
    }
    EXPECT_EQ(rows, c.rows) << drawing;
  }
}

// The rock of 0.8 alp at x 0.326858 and 0.2 bet at x 0.387843 (x the FeO
// share; the two-phase field at 5 kbar and 700 C, closed form as above) as
// batch item 1, and as item 2 with bet's mode held at 0, which finds where
// bet leaves the rock along the path: its T at the path's P when the items
// solve for T, else its P at the path's T.
struct eventpath {
  extended dp, dt;
  bool calct;
};
void rockandbetleaving(const eventpath& e) {
  rockalongpath(66.0945L, 33.9055L);
  FRACTINFO.dp = e.dp;
  FRACTINFO.dt = e.dt;
  FRACTINFO.nsteps = 4;
  BATCHINFO[1].tatp = e.calct;
  NBATCH = 2;
  BATCHNO[2] = 2;
  BATCHINFO[2] = BATCHINFO[1];
  BATCHINFO[2].variance = 2;
  BATCHINFO[2].nmodeset = 1;
  BATCHINFO[2].modephase1 = 2;
  BATCHINFO[2].mode1 = 0;
  BATCHXYZ[1].value[1] = 0.33L;
  BATCHXYZ[1].value[2] = 0.39L;
}

struct eventcase {
  const char* what;
  eventpath path;
  std::vector<std::string> terminal;     // in this order
  std::vector<std::vector<double>> rows;  // path rows: P, T, MgO, FeO, lost
  const char* log;                        // a line of the log, "" for none
};

// The bulk of each step is 0.99 alp + 0.01 bet as the field gave them at the
// step before; bet's mode, and where bet leaves the bulk (alp alone at the
// bulk's x), come from the closed form of the field (mpmath roots). Heating
// or lowering P moves the field to lower x, so bet grows and leaves behind
// the path: at 692.971 C, then 699.667, 699.667, 709.748, 719.814 C; at
// 5.6892, 5.0328, 5.0328, 4.5288, 4.0252 kbar. Cooling, it leaves at
// 692.971 C, between the first step and the next.
TEST(FractionationRun, EventsBehindThePathLetItGoOn) {
  const std::vector<eventcase> cases = {
      {"heating, items solving for T", {0, 10, true},
       {"<== step 0 ===", "0.8000    0.2000", "   5.000   692.971", "<--repeating first step----->",
        "<== step 0 ===", "   5.000   699.667", "<== step 1 ===", "0.6225    0.3775", "   5.000   699.667",
        "<--for following step----------->", "<== step 2 ===", "0.4934    0.5066", "   5.000   709.748",
        "<== step 3 ===", "0.2941    0.7059", "   5.000   719.814"},
       {{5, 710, 67.25326, 32.74674, 0},
        {5, 720, 69.25288, 30.74712, 0.36747},
        {5, 730, 71.62035, 28.37965, 0.86407}},
       ""},
      {"lowering P, items solving for P", {-0.5L, 0, false},
       {"<== step 0 ===", "0.8000    0.2000", "   5.689   700.000", "<--repeating first step----->",
        "<== step 0 ===", "   5.033   700.000", "<== step 1 ===", "0.8223    0.1777", "   5.033   700.000",
        "<== step 2 ===", "0.7984    0.2016", "   4.529   700.000", "<== step 3 ===", "0.7695    0.2305",
        "   4.025   700.000"},
       {{4.5, 700, 67.25326, 32.74674, 0},
        {4, 700, 68.22609, 31.77391, 0.16769},
        {3.5, 700, 69.27946, 30.72054, 0.35930}},
       ""},
      {"cooling: the event lies ahead", {0, -10, true},
       {"<== step 0 ===", "0.8000    0.2000", "   5.000   692.971", "losing bet by batch 2"},
       {{5, 700, 66.0945, 33.9055, 0.19001}, {5, 692.971, 66.0945, 33.9055, 0.19001}},
       "% at P = 5.0000 kbar, and T = 692.971\n"},
  };
  for (const eventcase& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::ScratchDir dir;
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(SOLVARINTH_FIXTURES) / "loop"))
      std::filesystem::copy_file(e.path(), dir.path() / e.path().filename());
    dir.write("jx-lp.txt", "axfile lpax\nwith alp bet\ninexcess\npseudosection\ndiagramPT 1 10 400 800\n"
                           "rbi MgO FeO\nrbi alp 0.8 0.673142 0.326858\nrbi bet 0.2 0.612157 0.387843\n"
                           "convergence 1e-12 1e-12 0.005 1e-6\nautoexit\n*\n");
    static eventpath path;
    path = c.path;
    std::string terminal;
    const std::string end = runalongpath([] { rockandbetleaving(path); }, terminal);
    const std::string drawing = dir.read("jx-lp-qk.txt");
    const std::string log = dir.read("jx-log.txt");
    testsupport::freshstate();

    EXPECT_EQ(end, "") << terminal;
    std::size_t at = 0;
    for (const std::string& t : c.terminal) {
      at = terminal.find(t, at);
      if (at == std::string::npos) {
        ADD_FAILURE() << t << "\n" << terminal;
        break;
      }
      ++at;
    }
    const bool stops = std::string(c.log).size() > 0;
    EXPECT_EQ(terminal.find("losing") != std::string::npos, stops) << terminal;
    EXPECT_EQ(terminal.find(stops ? "<== step 1 ===" : "<== step 4 ==="), std::string::npos) << terminal;
    if (stops) {
      EXPECT_NE(log.find(c.log), std::string::npos) << log;
    }
    // The path rows (and the event's row), five numbers each after the heading.
    std::vector<std::vector<double>> rows;
    std::istringstream in(drawing.substr(drawing.find(heading) + heading.size()));
    for (std::string line; std::getline(in, line);) {
      std::istringstream l(line);
      std::vector<double> v;
      for (double d; l >> d;) v.push_back(d);
      if (v.size() == 5 && line.size() == 55) rows.push_back(v);
    }
    EXPECT_EQ(rows.size(), c.rows.size()) << drawing;
    for (std::size_t r = 0; r < std::min(rows.size(), c.rows.size()); ++r)
      for (std::size_t k = 0; k < 5; ++k) EXPECT_NEAR(rows[r][k], c.rows[r][k], 2e-5) << r << " " << k;
  }
}

}  // namespace
