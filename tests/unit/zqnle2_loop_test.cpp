// Whole calc-mode-1 passes run in-process on the made-up loop system, each
// point read through the run loop's hook: divariant points, an isopleth
// line with its window, a reaction of two pure phases beside a held
// solution, and a solvus. The expected numbers come from the closed forms
// of the made-up data (G = H - T S + (P - 0.001) V, ideal one-site or
// symmetric mixing, R = 0.0083144), solved in 40-digit arithmetic apart
// from the program.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "equilibria/zqnle2_solve.h"
#include "frame/zqglobal.h"
#include "input/zqread1.h"
#include "iotestsupport.h"
#include "mainprogram.h"

using namespace ZQGLOBAL;

namespace {

constexpr extended K = 273.15L;

struct point {
  bool ok = false, good = false, seen = false;
  smallint code = 0;
  std::string phases;          // names of the SU records, each followed by a blank
  extended p = 0, t = 0;       // as SU holds them
  extended xp = 0, xt = 0;     // X[1], X[2]
  std::vector<std::string> names;  // XNAME of the unknowns 3..NX+NXP
  std::vector<extended> x;         // their values
  extended value(const std::string& name) const {
    for (std::size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return x[i];
    ADD_FAILURE() << "no unknown " << name;
    return -1;
  }
};

std::vector<point> seen;

void record(bool ok, bool good, bool s, smallint code, const sutype& su, const eqvector& x) {
  point q;
  q.ok = ok, q.good = good, q.seen = s, q.code = code;
  for (smallint j = 1; j <= su.nph; ++j) q.phases += std::string(su.ph[j].name) + " ";
  q.p = su.pressure, q.t = su.temperature;
  q.xp = x[1], q.xt = x[2];
  for (smallint i = 3; i <= NX + NXP; ++i) q.names.emplace_back(XNAME[i]), q.x.push_back(x[i]);
  seen.push_back(q);
}

struct outcome {
  std::vector<point> points;
  std::string terminal, end;
};

// One pass with the given script, the loop's data set and a-x files.
outcome pass(const std::string& script, const std::string& answers = "",
             const std::vector<std::pair<std::string, std::string>>& extra = {}) {
  testsupport::ScratchDir dir;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(SOLVARINTH_FIXTURES) / "loop"))
    std::filesystem::copy_file(e.path(), dir.path() / e.path().filename());
  dir.write("jx-lp.txt", script);
  for (const auto& [name, text] : extra) dir.write(name, text);
  testsupport::freshstate();
  seen.clear();
  ZQNLE2::POINTHOOK = record;
  outcome o;
  o.end = testsupport::answered(answers, [] { MAINPROGRAM::RUN(); }, o.terminal);
  ZQNLE2::POINTHOOK = nullptr;
  if (ZQREAD1::PDATA.f != nullptr) std::fclose(ZQREAD1::PDATA.f);
  ZQREAD1::PDATA = IO::textfile{};
  testsupport::freshstate();
  o.points = seen;
  return o;
}

// Convergence well inside the agreement asked of the points.
const std::string tight = "convergence 1e-12 1e-12 0.005 1e-6\n";

std::string script(const std::string& ax, const std::string& lines) {
  return "axfile " + ax + "\n" + lines + "pseudosection no\n" + tight + "autoexit\n*\n";
}

TEST(LoopPoints, DivariantPoints) {
  struct c {
    extended p, t;  // kbar, K
    extended xalp, xbet;
  };
  const std::vector<c> want = {{5, 900, 0.408071603013L, 0.515584211305L},
                               {5, 600 + K, 0.421814667635L, 0.546813498168L},
                               {5, 650 + K, 0.390971288169L, 0.483739745575L},
                               {5, 700 + K, 0.326857589104L, 0.387842836499L},
                               {1, 900, 0.372630286384L, 0.458388619947L},
                               {9, 900, 0.429623648584L, 0.557518102087L}};
  const std::vector<std::string> frames = {"calcP 5\ncalcT 626.85\n", "calcP 5\ncalcT 600 700 50\n",
                                           "calcP 1 9 8\ncalcT 626.85\n"};
  std::vector<point> got;
  for (const std::string& f : frames) {
    const outcome o = pass(script("lpax", "with alp bet\ninexcess\ndiagramPT 1 10 400 800\n" + f));
    ASSERT_EQ(o.end, "") << o.terminal;
    // A plain run: one run of one item, so one banner.
    EXPECT_EQ(o.terminal.find("<====="), o.terminal.rfind("<=====")) << o.terminal;
    for (const point& q : o.points)
      if (q.phases == "alp bet ") got.push_back(q);
  }
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(got[i].good);
    EXPECT_NEAR(got[i].p, want[i].p, 1e-12L);
    EXPECT_NEAR(got[i].t, want[i].t, 1e-9L);
    EXPECT_NEAR(got[i].value("x(alp)"), want[i].xalp, 1e-8L);
    EXPECT_NEAR(got[i].value("x(bet)"), want[i].xbet, 1e-8L);
  }
}

TEST(LoopPoints, IsoplethLineAndItsWindow) {
  const std::string base = "with alp bet\ninexcess\nxyzguess x(bet) 0.42\nisopleth x(alp) 0.35\ncalcTatP yes\ncalcP 1 9 4\n";
  const extended t[] = {918.052073747L, 959.078673123L, 999.992094140L};
  const extended xbet[] = {0.423759430946L, 0.420036591031L, 0.416684567257L};
  outcome o = pass(script("lpax", base + "diagramPT 1 10 400 800\ncalcT 400 800\n"));
  ASSERT_EQ(o.end, "") << o.terminal;
  ASSERT_EQ(o.points.size(), 3u) << o.terminal;
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(o.points[i].good);
    EXPECT_NEAR(o.points[i].t, t[i], 1e-6L);
    EXPECT_NEAR(o.points[i].value("x(alp)"), 0.35L, 1e-12L);
    EXPECT_NEAR(o.points[i].value("x(bet)"), xbet[i], 1e-8L);
  }
  // A window ending at 700 C: the third point lies above it.
  o = pass(script("lpax", base + "diagramPT 1 10 600 700\n"));
  ASSERT_EQ(o.points.size(), 3u) << o.terminal;
  EXPECT_TRUE(o.points[0].good);
  EXPECT_TRUE(o.points[1].good);
  EXPECT_FALSE(o.points[2].good);
  EXPECT_TRUE(o.points[2].ok);
  EXPECT_NEAR(o.points[2].t, 700 + K + 1, 1e-9L);
  EXPECT_NEAR(o.points[2].xt, t[2], 1e-6L);
  // Entirely below it: nothing in range.
  o = pass(script("lpax", base + "diagramPT 1 10 400 500\ndebuglevel 1\n"));
  for (const point& q : o.points) EXPECT_FALSE(q.good);
  EXPECT_NE(o.terminal.find("<== nothing in range ==>"), std::string::npos) << o.terminal;
}

TEST(LoopPoints, ReactionOfTwoPurePhasesBesideAHeldSolution) {
  const std::string base = "with alp pa pb\ninexcess\ndiagramPT 0.5 10 200 800\ncalcP 1 9 4\ndebuglevel 1\n";
  outcome o = pass(script("lpax", base + "calcTatP yes\nisopleth x(alp) 0.3\n"));
  ASSERT_EQ(o.end, "") << o.terminal;
  std::vector<point> line;
  for (const point& q : o.points)
    if (q.phases == "alp pa pb ") line.push_back(q);
  ASSERT_EQ(line.size(), 3u) << o.terminal;
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const extended p = 1 + 4 * static_cast<extended>(i);
    EXPECT_TRUE(line[i].good);
    EXPECT_NEAR(line[i].t, 600 + 20 * (p - 0.001L), 1e-6L);
  }
  // P at T along the same reaction.
  o = pass(script("lpax", base + "calcTatP no\ncalcP 0.5 10\ncalcT 346.83 426.83 80\nisopleth x(alp) 0.3\n"));
  line.clear();
  for (const point& q : o.points)
    if (q.phases == "alp pa pb ") line.push_back(q);
  ASSERT_EQ(line.size(), 2u) << o.terminal;
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(line[i].good);
    EXPECT_NEAR(line[i].p, 0.001L + (346.83L + K + 80 * static_cast<extended>(i) - 600) / 20, 1e-9L);
  }
  // Without the isopleth nothing holds x(alp): no points.
  o = pass(script("lpax", base + "calcT 400 500 100\n"));
  ASSERT_EQ(o.end, "") << o.terminal;
  for (const point& q : o.points) EXPECT_NE(q.phases, "alp pa pb ");
  EXPECT_NE(o.terminal.find("  cannot calculate this equilibrium (degenerate?)\n"), std::string::npos) << o.terminal;
}

TEST(LoopPoints, Solvus) {
  const outcome o = pass(
      script("mxax", "with mx1 mx2\ninexcess\ndiagramPT 1 10 400 900\ncalcP 5\ncalcT 626.85 826.85 100\n"));
  ASSERT_EQ(o.end, "") << o.terminal;
  const extended x[] = {0.100999195244L, 0.153048517516L, 0.228239687314L};
  std::vector<point> got;
  for (const point& q : o.points)
    if (q.phases == "mx1 mx2 ") got.push_back(q);
  ASSERT_EQ(got.size(), 3u) << o.terminal;
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(got[i].good);
    EXPECT_NEAR(got[i].t, 900 + 100 * static_cast<extended>(i), 1e-9L);
    EXPECT_NEAR(got[i].value("x(mx1)"), x[i], 1e-8L);
    EXPECT_NEAR(got[i].value("x(mx2)"), 1 - x[i], 1e-8L);
  }
}

// The mode of a solution set to zero along a bulk: where the second phase
// just appears. For the solvus T = W(1 - 2X)/(R ln((1 - X)/X)) at the bulk's
// X, W = 20 + 0.1 P.
TEST(LoopPoints, ZeroModeLines) {
  const std::string mx = "with mx1 mx2\ninexcess\nxyzguess x(mx1) 0.2\nxyzguess x(mx2) 0.8\ndiagramPT 0.5 10 400 1000\n"
                         "calcTatP yes\ncalcP 1 9 4\npseudosection\nbulk MgO FeO\nbulk 80 20\nzeromodeiso yes mx2\n";
  struct c {
    const char* what;
    std::string script;
    std::vector<extended> t, x;  // per point: T (K) and the bulk's X
  };
  const std::vector<c> cases = {
      {"one bulk", mx, {1046.311350977L, 1067.133467414L, 1087.955583851L}, {0.2L, 0.2L, 0.2L}},
      {"three bulks, bulk outermost",
       mx + "bulk 70 30 2\n",
       {1046.311350977L, 1067.133467414L, 1087.955583851L, 1100.248271385L, 1122.143759372L, 1144.039247360L,
        1141.271638266L, 1163.983511664L, 1186.695385062L},
       {0.2L, 0.2L, 0.2L, 0.25L, 0.25L, 0.25L, 0.3L, 0.3L, 0.3L}},
  };
  for (const c& k : cases) {
    SCOPED_TRACE(k.what);
    const outcome o = pass("axfile mxax\n" + k.script + tight + "autoexit\n*\n");
    ASSERT_EQ(o.end, "") << o.terminal;
    ASSERT_EQ(o.points.size(), k.t.size()) << o.terminal;
    for (std::size_t i = 0; i < k.t.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_TRUE(o.points[i].good);
      EXPECT_NEAR(o.points[i].t, k.t[i], 1e-6L);
      EXPECT_NEAR(o.points[i].value("x(mx1)"), k.x[i], 1e-8L);
      EXPECT_NEAR(o.points[i].value("mx1"), 1, 1e-8L);
      EXPECT_NEAR(o.points[i].value("mx2"), 0, 1e-12L);
    }
  }
  // The loop's two solutions, the mode of alp zero in a bulk of 55 MgO, 45 FeO.
  const outcome o = pass("axfile lpax\nwith alp bet\ninexcess\nxyzguess x(bet) 0.45\ndiagramPT 0.5 10 400 1000\n"
                         "calcTatP yes\ncalcP 1 9 4\npseudosection\nbulk MgO FeO\nbulk 55 45\nzeromodeiso yes alp\n" +
                         tight + "autoexit\n*\n");
  ASSERT_EQ(o.end, "") << o.terminal;
  const extended t[] = {904.676791641L, 943.694167763L, 982.768064989L};
  const extended xalp[] = {0.367343201437L, 0.370206690938L, 0.372879454989L};
  ASSERT_EQ(o.points.size(), 3u) << o.terminal;
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(o.points[i].good);
    EXPECT_NEAR(o.points[i].t, t[i], 1e-6L);
    EXPECT_NEAR(o.points[i].value("x(bet)"), 0.45L, 1e-8L);
    EXPECT_NEAR(o.points[i].value("x(alp)"), xalp[i], 1e-8L);
  }
}

// Variance 3 asked of two solutions: each alone, with no reaction to solve,
// takes the whole bulk.
TEST(LoopPoints, EachSolutionAloneTakesTheBulk) {
  const outcome o = pass("axfile lpax\nwith alp bet\ninexcess\ndiagramPT 0.5 10 400 1000\ncalcP 5\ncalcT 626.85\n"
                         "pseudosection\nbulk MgO FeO\nbulk 55 45\nacceptvar no\ndebuglevel 1\n" +
                         tight + "autoexit\n*\n",
                         "3\n\n");
  ASSERT_EQ(o.end, "") << o.terminal;
  ASSERT_EQ(o.points.size(), 2u) << o.terminal;
  const char* names[] = {"alp", "bet"};
  std::size_t from = 0;
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(o.points[i].phases, std::string(names[i]) + " ");
    EXPECT_TRUE(o.points[i].good);
    EXPECT_NEAR(o.points[i].value("x(" + std::string(names[i]) + ")"), 0.45L, 1e-8L);
    EXPECT_NEAR(o.points[i].value(names[i]), 1, 1e-12L);
    const std::string note = "phases: " + std::string(names[i]) + " ";
    from = o.terminal.find(note, from);
    ASSERT_NE(from, std::string::npos) << o.terminal;
    EXPECT_NE(o.terminal.find("  cannot calculate this equilibrium (no reactions)\n", from), std::string::npos);
  }
}

}  // namespace

namespace {

// The spans a series reports, as letters: R run, L layout, W writing, each
// opened with ( and closed with ).
std::string spans;

void spanrecord(ZQNLE2::runspan what, bool start) {
  const char c = what == ZQNLE2::runspan::run ? 'R' : what == ZQNLE2::runspan::layout ? 'L' : 'W';
  spans += start ? std::string("(") + c : std::string(1, c) + ")";
}

TEST(LoopPoints, SeriesSpansNestPerRunItemAndPoint) {
  const std::string series =
      "axfile lpmax\nwith bet alp\ninexcess\ndiagramPT 4 10 400 900\npseudosection no\n"
      "batchxyzguess startblock\nbatchxyzguess x(alp) 0.4\nbatchxyzguess x(bet) 0.5\n"
      "batch bet alp 2 1 1 5 626.85 1 1 0 0\n"
      "batch bet alp 2 1 1 5 626.85 1 1 0 1 alp 1 0.35\n"
      "batch bet alp 2 1 1 9 626.85 1 1 0 0\n"
      "mc alp a DQF(mA) 0 0.2\nmcit 3 30000\ndebuglevel 0\nautoexit\n*\n";
  // The drawn DQF stands on an end-member made of aA alone, as a DQF must.
  std::ifstream in(std::string(SOLVARINTH_FIXTURES) + "/loop/jx-lpax.txt", std::ios::binary);
  std::string ax((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ax.replace(ax.find("p(aA)"), 5, "p(mA)");
  ax.replace(ax.find("  aA 1 1 xA 1\n"), 14, "  mA 1 1 xA 1 make 1 aA 1\n");
  spans.clear();
  ZQNLE2::RUNSPAN = spanrecord;
  const outcome o = pass(series, "", {{"jx-lpmax.txt", ax}});
  ZQNLE2::RUNSPAN = nullptr;
  const std::string item = "(LL)(WW)";
  const std::string run = "(R" + item + item + item + "R)";
  EXPECT_EQ(spans, run + run + run);
  ASSERT_EQ(o.points.size(), 9u);
  for (const point& q : o.points) EXPECT_TRUE(q.good);
  // The first run is undrawn; the draws of the next move item 2's T.
  EXPECT_NEAR(o.points[0].value("x(alp)"), 0.40807L, 5e-6L);
  EXPECT_NEAR(o.points[1].t - K, 685.93L, 5e-3L);
  EXPECT_GT(std::fabs(o.points[4].t - o.points[1].t), 1e-3L);
}

}  // namespace
