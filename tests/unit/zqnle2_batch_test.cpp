// Batch runs and Monte Carlo series driven directly on hand-made tables:
// solutions alp (x(alp)) and bet (x(bet)), and a four-end-member model mm
// reduced to its end-members 1, 3 and 4 with a batch variant of its own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "csvparse.h"
#include "iotestsupport.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/zqglobal_mode1.h"
#include "frame/zqglobal_script.h"
#include "frame/zqmath1.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

void solution(smallint p, const std::string& name, const std::vector<std::string>& ems,
              const std::vector<std::string>& vars) {
  ptype1& r = (*PREC1)[p];
  r.name = name;
  r.nprop = static_cast<smallint>(ems.size());
  for (std::size_t e = 0; e < ems.size(); ++e) r.em[static_cast<long>(e + 1)].name = ems[e];
  r.nvar = static_cast<smallint>(vars.size());
  for (std::size_t v = 0; v < vars.size(); ++v) r.xvar[static_cast<long>(v + 1)].name = vars[v];
  // W of every pair, named by its end-members.
  r.nw = 0;
  for (std::size_t i = 0; i < ems.size(); ++i)
    for (std::size_t j = i + 1; j < ems.size(); ++j) {
      ++r.nw;
      r.wname[r.nw] = "W(" + ems[i] + "," + ems[j] + ")";
      r.wa[r.nw] = 10 * r.nw;
    }
}

class BatchRuns : public ::testing::Test {
 protected:
  assemblage::tables t;
  testsupport::ScratchDir dir;
  ZQNLE2::solvestate st;

  void SetUp() override {
    NPSS = 4;
    NP0 = 0;
    NP = 4;
    solution(1, "alp", {"a1", "a2"}, {"x(alp)"});
    solution(2, "bet", {"b1", "b2"}, {"x(bet)"});
    solution(3, "mm", {"m1", "m3", "m4"}, {"x(mm)", "y(mm)"});  // m2 boiled away
    solution(4, "mm-1", {"m1", "m4"}, {"x(mm)"});               // a variant without m3
    st.PH.fill(false);
    for (long i = 1; i <= 4; ++i) st.PH[i] = true;
    PPRECISION = 3;
    TPRECISION = 2;
    DEBUGLEVEL = 0;
    testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk.txt");
    testsupport::openchannel(CHANNEL::SUMMARYBIT, "o.txt");
    testsupport::openchannel(CHANNEL::CSVBIT, "a.csv");
    testsupport::openchannel(CHANNEL::CSV2BIT, "a-2.csv");
  }

  std::string file(const std::string& name) {
    IO::FLUSHER();
    return dir.read(name);
  }

  // Item b of alp and bet at npt points, with filters on x(bet) of point 1.
  void item(long b, smallint npt) {
    batchtype& it = BATCHINFO[b];
    it = batchtype{};
    it.phase[1] = it.phase[2] = true;
    it.npt = it.np = npt;
    it.nt = 1;
    BATCHNO[b] = static_cast<smallint>(10 + b);
  }

  void filter(long b, long pt, const std::string& name, extended low, extended high) {
    batchtype& it = BATCHINFO[b];
    filtertype& f = it.filter(pt, ++it.nfilter[pt]);
    f.name = name;
    f.code = 0;
    f.low = low;
    f.high = high;
  }

  // A point of the current run through the row routine: good with x(alp),
  // x(bet), or bad.
  bool point(smallint b, smallint pt, bool good, extended xa = 0, extended xb = 0) {
    st.FIRSTBATCH = b == 1;
    NX = 4;
    NXP = 0;
    SU.pressure = 5;
    SU.temperature = 900;
    X[3] = xa;
    X[4] = xb;
    SU.gsys[1] = -100;
    bool g = good;
    st.PRINTMCRESULTS(b, pt, g);
    return g;
  }
};

// A variable filtered twice at one point, by name, by number or by both,
// is one filter when the windows agree; other windows stop the run.
TEST_F(BatchRuns, OneFilterPerVariable) {
  NBATCH = 1;
  item(1, 2);
  filter(1, 1, "T", 800, 900);
  filter(1, 1, "x(bet)", 0.5L, 0.6L);
  filter(1, 1, "", 800, 900);
  BATCHINFO[1].filter(1, 3).code = 2;
  filter(1, 1, "x(bet)", 0.5L, 0.6L);
  filter(1, 2, "x(alp)", 0.1L, 0.3L);
  filter(1, 2, "x(bet)", 0.1L, 0.3L);
  st.FINDFILTERCODES();
  const batchtype& it = BATCHINFO[1];
  ASSERT_EQ(it.nfilter[1], 2);
  EXPECT_EQ(it.filter(1, 1).code, 2);
  EXPECT_EQ(it.filter(1, 2).code, 4);
  EXPECT_EQ(it.nfilter[2], 2);

  filter(1, 2, "", 0.1L, 0.35L);
  BATCHINFO[1].filter(2, 3).code = 3;
  EXPECT_EQ(testsupport::fatal([&] { st.FINDFILTERCODES(); }),
            "setupmontecarlo: 3 given twice in \"filter\" with different values");
}

TEST_F(BatchRuns, ItemsFollowThePhasesNotTheWithList) {
  NWHSTRINGS = 4;
  const char* with[] = {"bet", "mm", "alp", "mm-1"};
  for (long k = 1; k <= 4; ++k) WHSTRINGS[k] = with[k - 1];
  NBATCH = 1;
  batchtype& it = BATCHINFO[1];
  it = batchtype{};
  it.phase[1] = it.phase[2] = true;  // bet and mm as listed
  it.nmodeset = 1;
  it.modephase1 = 3;  // alp
  it.modephase2 = 4;
  it.niso = 1;
  it.isophase[1] = 1;  // bet
  st.SETUPBATCH();
  EXPECT_TRUE(it.phase[2] && it.phase[3]);
  EXPECT_FALSE(it.phase[1] || it.phase[4]);
  EXPECT_EQ(it.modephase1, 1);
  EXPECT_EQ(it.modephase2, 0);
  EXPECT_EQ(it.isophase[1], 2);
  WHSTRINGS[4] = "gone";
  EXPECT_EQ(fatal([&] { st.SETUPBATCH(); }), "setupbatch: name gone not recognised");
}

TEST_F(BatchRuns, HeaderListsEveryItemAndOneCsvHeadingLine) {
  NBATCH = 3;
  for (long b = 1; b <= 3; ++b) item(b, 1);
  BATCHINFO[3].phase[3] = true;
  (*PREC1)[3].nvar = 12;
  for (long v = 1; v <= 12; ++v) (*PREC1)[3].xvar[v].name = "v" + std::to_string(v);
  st.PRINTBATCHHEADER(1);
  const auto qk = testsupport::lines(file("qk.txt"));
  ASSERT_EQ(qk.size(), 11u);
  EXPECT_EQ(qk[0], "");
  EXPECT_EQ(qk[1], " equil = {");
  EXPECT_EQ(qk[2], "{ (* 11 *) {\"alp\", \"bet\"},");
  EXPECT_EQ(qk[3], " {\"x(alp)\", \"x(bet)\"}},");
  // The 12th name of an item starts a line of its own.
  EXPECT_EQ(qk[9], " {\"x(alp)\", \"x(bet)\", \"v1\", \"v2\", \"v3\", \"v4\", \"v5\", \"v6\", \"v7\", \"v8\", \"v9\", ");
  EXPECT_EQ(qk[10], "  \"v10\", \"v11\", \"v12\"}} };");
  const std::string csv = file("a.csv");
  const auto rows = csvparse::rows(csv);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(csv.substr(0, 54), "   #,        1-P,        1-T,   1-x(alp),   1-x(bet), ");
  std::size_t groups = 0;
  for (std::size_t at = csv.find("   #, "); at != std::string::npos; at = csv.find("   #, ", at + 1)) ++groups;
  EXPECT_EQ(groups, 3u);
  EXPECT_NE(file("a-2.csv").find("   #,        1-G,        1-H,        1-S,        1-V,      1-rho, "), std::string::npos);
  EXPECT_TRUE(IO::CSVFILEUSED && IO::CSV2FILEUSED);
}

// A run's rows give each point of an item a group: P, T, the compositional
// variables and, for an item with a bulk, the modes. The headings give each
// such group its own, named by the item.
TEST_F(BatchRuns, EveryPointsGroupIsHeaded) {
  NBATCH = 2;
  item(1, 2);
  item(2, 1);
  BATCHINFO[2].withbulk = true;
  st.PRINTBATCHHEADER(1);
  const std::string xs = "   #,        1-P,        1-T,   1-x(alp),   1-x(bet), ";
  EXPECT_EQ(file("a.csv"),
            xs + xs + "   #,        2-P,        2-T,   2-x(alp),   2-x(bet),      2-alp,      2-bet, \n");
  auto props = [](const std::string& i) {
    return "   #,        " + i + "-G,        " + i + "-H,        " + i + "-S,        " + i + "-V,      " + i + "-rho, ";
  };
  EXPECT_EQ(file("a-2.csv"), props("1") + props("1") + props("2") + "\n");
}

// An item of pure phases alone, or with a solution phase, names its phases
// as one list.
TEST_F(BatchRuns, EquilEntryOfAnItemWithoutSolutionPhases) {
  NP0 = 2;
  NP = 6;
  (*PREC0)[1].name = "pa";
  (*PREC0)[2].name = "pb";
  NBATCH = 2;
  item(1, 1);
  item(2, 1);
  BATCHINFO[1].phase[1] = BATCHINFO[1].phase[2] = false;
  BATCHINFO[1].phase[5] = BATCHINFO[1].phase[6] = true;
  BATCHINFO[2].phase[2] = false;
  BATCHINFO[2].phase[6] = true;
  st.PRINTBATCHHEADER(1);
  EXPECT_EQ(file("qk.txt"),
            "\n equil = {\n{ (* 11 *) {\"pa\", \"pb\"},\n {}},\n\n"
            "{ (* 12 *) {\"alp\", \"pb\"},\n {\"x(alp)\"}} };\n");
}

TEST_F(BatchRuns, ItemFaultsEndTheRun) {
  NBATCH = 1;
  item(1, 1);
  BATCHINFO[1].kxyz = 1;
  bxyztype& block = BATCHXYZ[1];
  block.count = 2;
  block.name[1] = "x(alp)";
  block.value[1] = 0.3L;
  block.name[2] = "x(bet)";
  block.value[2] = 0.4L;
  st.FIRSTRUN = false;
  struct faultcase {
    const char* name;
    void (*change)(batchtype&, bxyztype&);
    std::string end;
  };
  const faultcase cases[] = {
      {"a guess missing", [](batchtype&, bxyztype& bl) { bl.count = 1; }, "dobatch: xyzguess: can't find x(bet)"},
      {"two fixed modes and a fixed variable",
       [](batchtype& it, bxyztype&) {
         it.nmodeset = 2;
         it.modephase1 = 1;
         it.modephase2 = 2;
         it.niso = 1;
         it.isophase[1] = 1;
         it.isovar[1] = 1;
       },
       "dobatch: negative variance (2)"},
      {"components of the bulk", [](batchtype& it, bxyztype&) { it.withbulk = true, it.nfreecomp = 3; },
       "dobatch: mismatch in making bcomps"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    item(1, 1);
    BATCHINFO[1].kxyz = 1;
    block.count = 2;
    c.change(BATCHINFO[1], block);
    st.FIRSTRUN = c.end.find("bcomps") != std::string::npos;
    EXPECT_EQ(fatal([&] { st.DOBATCH(1); }), c.end);
  }
  // A univariant item with three temperatures solves for P, three
  // pressures for T, one of each by its own choice.
  struct linecase {
    smallint np, nt;
    bool calct;
    calcvariabletype want;
  };
  const linecase lines[] = {{1, 3, false, calcvariabletype::calcpressure},
                            {3, 1, false, calcvariabletype::calctemperature},
                            {1, 1, true, calcvariabletype::calctemperature},
                            {1, 1, false, calcvariabletype::calcpressure}};
  for (const auto& l : lines) {
    item(1, static_cast<smallint>(l.np * l.nt));
    batchtype& it = BATCHINFO[1];
    it.kxyz = 1;
    it.variance = 1;
    it.np = l.np;
    it.nt = l.nt;
    it.tatp = l.calct;
    st.DOBATCH(1);
    EXPECT_EQ(CALCVARIABLE, l.want);
    EXPECT_EQ(NLP, l.np);
    EXPECT_EQ(NLT, l.nt);
    EXPECT_TRUE(st.PH[1] && st.PH[2] && !st.PH[3]);
  }
}

// In a fractionation run the first item is the rock being stepped: it alone
// switches the bulk and guess listings on and marks the log, and decides
// for every item whether a line solves for T.
TEST_F(BatchRuns, FractionationSettingsComeFromTheFirstItem) {
  testsupport::openchannel(CHANNEL::LOGBIT, "log.txt");
  NBATCH = 2;
  for (long b = 1; b <= 2; ++b) {
    item(b, 1);
    BATCHINFO[b].kxyz = 1;
  }
  BATCHINFO[1].variance = 3;
  BATCHINFO[1].tatp = true;
  BATCHINFO[2].variance = 1;
  bxyztype& block = BATCHXYZ[1];
  block.count = 2;
  block.name[1] = "x(alp)";
  block.name[2] = "x(bet)";
  DOINGFRACT = true;
  st.FRACTXYZ = true;
  st.FIRSTRUN = false;
  const std::string rule = "\n" + std::string(48, '+') + "\n\n";
  st.DOBATCH(1);
  EXPECT_EQ(CONTROLJX.printbulkinfo, yes);
  EXPECT_EQ(CONTROLJX.printxyz, yes);
  EXPECT_TRUE(MODESBYNLE && !PSEUDOSECTION);
  EXPECT_EQ(CALCVARIABLE, calcvariabletype::calctemperature);
  EXPECT_EQ(file("log.txt"), rule);
  // A later item lists nothing, and solves for T though it would say P.
  st.DOBATCH(2);
  EXPECT_EQ(CONTROLJX.printbulkinfo, no);
  EXPECT_EQ(CONTROLJX.printxyz, no);
  EXPECT_FALSE(MODESBYNLE || PSEUDOSECTION);
  EXPECT_EQ(CALCVARIABLE, calcvariabletype::calctemperature);
  EXPECT_EQ(file("log.txt"), rule);
}

// The score of a passing run: each good row against the filters of its
// own item and point, the largest in magnitude.
TEST_F(BatchRuns, RowsVerdictsAndScore) {
  NBATCH = 2;
  item(1, 2);
  item(2, 2);
  filter(1, 2, "x(bet)", 0.5L, 0.6L);
  filter(2, 1, "x(alp)", 0.1L, 0.3L);
  FILTERING = true;
  st.FINDFILTERCODES();
  EXPECT_EQ(BATCHINFO[1].filter(2, 1).code, 4);
  EXPECT_EQ(BATCHINFO[2].filter(1, 1).code, 3);
  NBATCHREQ = 1;
  BATCHREQ[1].count = 1;
  BATCHREQ[1].item[1] = 1;
  MCITOK = 5;
  st.FIRSTRUN = true;
  st.RUN = 1;
  testsupport::Terminal term;
  // Item 1: a bad first point, then x(bet) 0.58 (score 0.6); item 2:
  // x(alp) 0.25 (score 0.5), then a bad point.
  EXPECT_TRUE(point(1, 1, false));
  EXPECT_TRUE(point(1, 2, true, 0.2L, 0.58L));
  EXPECT_TRUE(point(2, 1, true, 0.25L, 0.1L));
  EXPECT_TRUE(point(2, 2, false));
  EXPECT_EQ(NOKBATCH, 1);
  const std::string qk = file("qk.txt");
  EXPECT_EQ(qk.find(" results = {\n"), 1u);
  EXPECT_NE(file("o.txt").find("starting to accumulate results"), std::string::npos);
  // A value on a limit fails; no point passing the filters of the request
  // fails the run and is counted.
  st.FIRSTRUN = false;
  st.RUN = 2;
  EXPECT_TRUE(point(1, 1, false));
  EXPECT_TRUE(point(1, 2, true, 0.2L, 0.6L));
  EXPECT_TRUE(point(2, 1, true, 0.25L, 0.1L));
  EXPECT_FALSE(point(2, 2, true, 0.2L, 0.1L));
  EXPECT_EQ(st.DEATHF[1], 1);
  EXPECT_EQ(st.DEATHC[1], 0);
  // No good point of the request's items.
  st.RUN = 3;
  EXPECT_TRUE(point(1, 1, false));
  EXPECT_TRUE(point(1, 2, false));
  EXPECT_TRUE(point(2, 1, true, 0.25L, 0.1L));
  EXPECT_FALSE(point(2, 2, true, 0.2L, 0.1L));
  EXPECT_EQ(st.DEATHC[1], 1);
  EXPECT_EQ(st.DEATHF[1], 2);
  EXPECT_EQ(NOKBATCH, 1);
  // Without requests every run passes.
  NBATCHREQ = 0;
  st.RUN = 4;
  point(1, 1, false);
  point(1, 2, false);
  point(2, 1, false);
  EXPECT_TRUE(point(2, 2, false));
  EXPECT_EQ(NOKBATCH, 2);
  // The first passing run's block took its separator when the next came.
  EXPECT_NE(file("qk.txt").find(" {         {0, 0}, {}}},     0.600},\n"), std::string::npos) << file("qk.txt");
}

// The results list is closed once the series is over, after the last block
// written, whether or not later runs passed, and when none did.
TEST_F(BatchRuns, ResultsListClosedAfterTheLastBlock) {
  NBATCH = 1;
  item(1, 1);
  NBATCHREQ = 1;
  BATCHREQ[1].count = 1;
  BATCHREQ[1].item[1] = 1;
  MCITOK = 5;
  testsupport::Terminal quiet;
  const bool runs[] = {true, true, false};
  for (std::size_t k = 0; k < 3; ++k) {
    st.FIRSTRUN = k == 0;
    st.RUN = static_cast<smallint>(k + 1);
    EXPECT_EQ(point(1, 1, runs[k], 0.2L, 0.5L), runs[k]);
  }
  const std::string row = " {{ (* 11 *) { 5.000, 626.85}, {0.2000, 0.5000}}},     0}";
  EXPECT_EQ(file("qk.txt").substr(file("qk.txt").size() - row.size()), row);
  st.CLOSERESULTS();
  st.CLOSERESULTS();
  const std::string qk = file("qk.txt");
  EXPECT_NE(qk.find(row + ",\n\n{{"), std::string::npos) << qk;
  EXPECT_EQ(qk.substr(qk.size() - row.size() - 4), row + "};\n\n") << qk;
  // A series without a passing run.
  ZQNLE2::solvestate none;
  testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk2.txt");
  none.FIRSTRUN = none.FIRSTBATCH = true;
  none.RUN = 1;
  bool g = false;
  none.PRINTMCRESULTS(1, 1, g);
  EXPECT_FALSE(g);
  none.CLOSERESULTS();
  EXPECT_EQ(file("qk2.txt"), "\n results = {\n};\n\n");
}

TEST_F(BatchRuns, ProgressMarksAndTheFullRunNumber) {
  NBATCH = 1;
  item(1, 1);
  NBATCHREQ = 2;
  BATCHREQ[1].count = BATCHREQ[2].count = 1;
  BATCHREQ[1].item[1] = BATCHREQ[2].item[1] = 1;
  FILTERING = true;
  filter(1, 1, "x(bet)", 0.5L, 0.52L);
  st.FINDFILTERCODES();
  st.FIRSTRUN = true;
  st.RUN = 1;
  {
    testsupport::Terminal quiet;
    point(1, 1, true, 0.1L, 0.51L);
  }
  st.FIRSTRUN = false;
  NOKBATCH = 3;
  st.RUN = 250;
  {
    testsupport::Terminal term;
    point(1, 1, true, 0.1L, 0.51L);
    EXPECT_EQ(term.text(), "(250, 3) ");
  }
  st.DEATHC[1] = 2;
  st.DEATHF[1] = 5;
  st.RUN = 0;
  st.RUNCARRY = 1;
  {
    testsupport::Terminal term;
    point(1, 1, true, 0.1L, 0.51L);
    EXPECT_EQ(term.text(), "(10000, 4) \n\n1:7(2/5) 2:0 \n\n");
  }
  EXPECT_EQ(st.DEATHC[1], 0);
  EXPECT_EQ(st.DEATHF[1], 0);
  st.RUN = 3;
  point(1, 1, true, 0.1L, 0.51L);
  const auto rows = csvparse::rows(file("a.csv"));
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows.back()[0], "10003");
  EXPECT_EQ(rows.back()[1], "      5.000");
  EXPECT_EQ(rows.back()[2], "     626.85");
  EXPECT_EQ(rows.back()[4], "    0.51000");
}

TEST_F(BatchRuns, GaussianDeviatesOfTheSeededGenerator) {
  ZQMATH1::SETUPRANDOM(true);
  constexpr int n = 20000;
  long double s = 0, s2 = 0;
  for (int i = 0; i < n; ++i) {
    const long double g = st.GAUSSIAN(3, 2);
    s += g;
    s2 += g * g;
  }
  const long double mean = s / n, sd = std::sqrt(s2 / n - mean * mean);
  EXPECT_NEAR(static_cast<double>(mean), 3, 0.05);
  EXPECT_NEAR(static_cast<double>(sd), 2, 0.05);
}

class MonteCarloRuns : public BatchRuns {
 protected:
  void SetUp() override {
    BatchRuns::SetUp();
    NBATCH = 1;
    item(1, 1);
    MCIT = 10;
    NMCRANGE = 2;
    MCRANGEINFO[1] = {"r1", 20, 1};
    MCRANGEINFO[2] = {"r2", 5, 2};
    NMCFUNC = 1;
    MCFUNCINFO[1].name = "f";
    MCFUNCINFO[1].constant = 1;
    MCFUNCINFO[1].nterm = 2;
    MCFUNCINFO[1].coef[1] = 1;
    MCFUNCINFO[1].termrange[1] = 1;
    MCFUNCINFO[1].coef[2] = -1;
    MCFUNCINFO[1].termrange[2] = 2;
    NMC = 4;
    // W(a1,a2) of alp and W(b1,b2) of bet on range 1, W(m1,m4) of mm and
    // its variant by its own width, W(m1,m3) of mm by the function.
    param(1, "alp", "W(a1,a2)", 1, 1, 0);
    param(2, "bet", "W(b1,b2)", 1, 1, 0);
    param(3, "mm", "W(m1,m4)", 2, 0, 0, "mm-1");
    MCINFO[3].spread = 0.5L;
    param(4, "mm", "W(m1,m3)", 1, -1, -2);
  }

  void param(long m, const std::string& phase, const std::string& name, smallint parpos, smallint rangeindex,
             smallint rangecode, const std::string& also = "") {
    mctype& mc = MCINFO[m];
    mc = mctype{};
    mc.nphase = 1;
    mc.phasename[1] = phase;
    if (!also.empty()) mc.phasename[++mc.nphase] = also;
    mc.kind = 1;
    mc.abc = 1;
    mc.parname = name;
    mc.parpos = parpos;
    mc.rangeindex = rangeindex;
    mc.rangecode = rangecode;
  }
};

TEST_F(MonteCarloRuns, DrawsMoveTogetherAndLandByName) {
  // A coefficient other than 1 shows that each term is the draw times it.
  MCFUNCINFO[1].coef[2] = -2;
  ZQMATH1::SETUPRANDOM(true);
  st.SETUPMONTECARLO();
  EXPECT_TRUE(DOINGMC);
  EXPECT_EQ(MCINFO[1].label, "\"w(a1,a2)a\"");
  EXPECT_EQ(MCINFO[3].label, "\"w(m1,m4)a\"");
  // The reduced model's W 2 is the pair (1, 4) of its full model.
  EXPECT_NEAR(static_cast<double>(MCINFO[3].orig), 20, 1e-12);
  for (int run = 0; run < 50; ++run) {
    st.DOMONTECARLO();
    const extended d1 = (*PREC1)[1].wa[1] - 10, d2 = (*PREC1)[2].wa[1] - 10;
    EXPECT_NEAR(static_cast<double>(d1), static_cast<double>(d2), 1e-15);
    EXPECT_NEAR(static_cast<double>(d1), static_cast<double>(st.MCVAL[1]), 1e-15);
    EXPECT_LE(std::fabs(static_cast<double>(st.MCVAL[1])), 1.0);
    // The function 1 r1 - 2 r2 moves W(m1,m3) by r1's draw less twice r2's.
    EXPECT_NEAR(static_cast<double>((*PREC1)[3].wa[1] - 10), static_cast<double>(st.MCVAL[1] - 2 * st.MCVAL[2]),
                1e-15);
    // Own width: in [orig - width, orig + width), into the variant at its own place.
    const extended w = (*PREC1)[3].wa[2];
    EXPECT_GE(static_cast<double>(w), 19.5);
    EXPECT_LT(static_cast<double>(w), 20.5);
    EXPECT_EQ((*PREC1)[4].wa[1], w);
  }
  EXPECT_EQ((*PREC1)[4].wa[2], 0);  // nothing lands where the variant has no such W
}

TEST_F(MonteCarloRuns, ListsOfTheDrawingData) {
  FILTERING = true;
  filter(1, 1, "T", 773.15L, 873.15L);
  filter(1, 1, "x(bet)", 0.5L, 0.52L);
  DEBUGLEVEL = 1;
  st.SETUPMONTECARLO();
  EXPECT_EQ(file("qk.txt"), "");
  DEBUGLEVEL = 0;
  st.SETUPMONTECARLO();
  EXPECT_EQ(file("qk.txt"),
            " mcinfo = {{\"w(m1,m4)a\", 20.0000, 0.5000}};\n"
            "\n"
            " mcrange = {{{\"r1\", 20.0000, 1.0000}, {\"w(a1,a2)a\", \"w(b1,b2)a\", {\"func1\", \"term1\"}}},\n"
            "            {{\"r2\", 5.0000, 2.0000}, {{\"func1\", \"term2\"}}}};\n"
            "\n"
            " mcfunc = {{(* 1 *) \"f\", 1.0000, 1.0000, \"r1\", -1.0000, \"r2\"}};\n"
            "\n"
            " filter = {{ (* 11 *) { {2, 500, 600}, {4, 0.5000, 0.5200} }}};\n");
  EXPECT_NEAR(static_cast<double>(st.MCVAL0[4]), 16, 1e-12);
  MCIT = 0;
  EXPECT_EQ(fatal([&] { st.SETUPMONTECARLO(); }), "solve: mcit = 0");
}

// A function of exactly a full line of terms lists them on that one line,
// closing it there.
TEST_F(MonteCarloRuns, FunctionOfOneFullLineOfTerms) {
  MCFUNCINFO[1].nterm = 8;
  for (long t = 1; t <= 8; ++t) {
    MCFUNCINFO[1].coef[t] = t;
    MCFUNCINFO[1].termrange[t] = 2 - t % 2;
  }
  st.SETUPMONTECARLO();
  const std::string qk = file("qk.txt");
  const std::size_t at = qk.find(" mcfunc = ");
  ASSERT_NE(at, std::string::npos) << qk;
  EXPECT_EQ(qk.substr(at, qk.find("\n\n", at) - at),
            " mcfunc = {{(* 1 *) \"f\", 1.0000, 1.0000, \"r1\", 2.0000, \"r2\", 3.0000, \"r1\", 4.0000, \"r2\", "
            "5.0000, \"r1\", 6.0000, \"r2\", 7.0000, \"r1\", 8.0000, \"r2\"}};");
}

// The current-way line of a run: the own-width values, then on a line of
// their own the ranges' values, parted from them by a comma only when there
// are own-width values to part them from.
TEST_F(MonteCarloRuns, CurrentWayLineOfARun) {
  const struct {
    smallint range3;  // the range of W(m1,m4) of mm: 0 for its own width
    controlboolean cw;
    std::string lines;
  } cases[] = {
      {0, yes, "{{(* cw *) 20.00000, \n  20.00000, 5.00000\n  (* nw    "},
      {1, yes, "{{(* cw *) \n  20.00000, 5.00000\n  (* nw    "},
      {1, no, "{{(* cw  \n  20.00000, 5.00000 *)\n  (* nw *) "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    testsupport::openchannel(CHANNEL::DRAWINGBIT, "qk.txt");
    MCINFO[3].rangeindex = c.range3;
    CONTROLJX.mcoutcurrentway = c.cw;
    st.SETUPMONTECARLO();
    st.FIRSTRUN = true;
    st.RUN = 1;
    testsupport::Terminal quiet;
    EXPECT_TRUE(point(1, 1, true, 0.1L, 0.5L));
    const std::string qk = file("qk.txt");
    const std::size_t at = qk.find(" results = {\n");
    ASSERT_NE(at, std::string::npos) << qk;
    EXPECT_EQ(qk.substr(at + 13, c.lines.size()), c.lines) << qk;
  }
}

// At debug level 1 each draw of a DQF term is shown as the a-x model's
// term, the term after the draw, the draw, and the row entry before and
// after it. The draw sets the term itself: the row's entropy entry holds
// -b, so it moves against a drawn b, and G = ... - T S gains b T.
TEST_F(MonteCarloRuns, DqfDrawsShownAtDebugLevel1) {
  emtype& a1 = (*PREC1)[1].em[1];
  a1.dqfa = 2.5L;
  a1.dqfb = 0.004L;
  a1.dqfc = 0.15L;
  auto f4 = [](extended v) {
    char b[32];
    std::snprintf(b, sizeof b, "%12.4f", static_cast<double>(v));
    return std::string(b);
  };
  const struct {
    smallint abc;
    extended term;
    int sign;
  } cases[] = {{1, 2.5L, 1}, {2, 0.004L, -1}, {3, 0.15L, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.abc);
    NMC = 1;
    NMCRANGE = NMCFUNC = 0;
    param(1, "alp", "DQF(a1)", 1, 0, 0);
    MCINFO[1].kind = 3;
    MCINFO[1].abc = c.abc;
    MCINFO[1].spread = 0.5L;
    a1.td[c.abc] = 7;
    DEBUGLEVEL = 1;
    ZQMATH1::SETUPRANDOM(true);
    st.SETUPMONTECARLO();
    testsupport::Terminal term;
    st.DOMONTECARLO();
    const mctype& mc = MCINFO[1];
    EXPECT_EQ(mc.orig, c.term);
    const extended d = mc.value - mc.orig;
    EXPECT_NE(d, 0);
    EXPECT_LT(std::fabs(d), 0.5L);
    std::string label = "DQF(a1)" + std::string(1, static_cast<char>('a' + c.abc - 1));
    label += std::string(18 - label.size(), ' ');
    EXPECT_NE(term.text().find("\n" + label + f4(c.term) + f4(c.term + d) + f4(d) + f4(7) + f4(7 + c.sign * d) +
                               "\n\n"),
              std::string::npos)
        << term.text();
    EXPECT_EQ(a1.td[c.abc], 7 + c.sign * d);  // the row entry the term acts on
  }
  DEBUGLEVEL = 0;
}

}  // namespace
