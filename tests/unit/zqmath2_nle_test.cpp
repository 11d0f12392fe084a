// The Newton solver on made-up equation systems: convergence, the outcome
// codes and their report, failed starts and trials, the finite-difference
// Jacobian, and the start-point listing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "frame/bytes.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "frame/zqglobal_nle.h"
#include "iotestsupport.h"
#include "model/zqcalc2.h"
#include "model/zqmath2.h"

using namespace ZQGLOBAL;

namespace {

using testsupport::fatal;
using testsupport::Terminal;

// The equations of the test at hand, in physical values of the free
// unknowns 3.. (P and T are held fixed): residuals, and the Jacobian by the
// physical unknowns, which the adapter scales.
struct system {
  std::function<bool(const std::vector<extended>& u, std::vector<extended>& r, std::vector<std::vector<extended>>& j)>
      eval;
  int calls = 0, jaccalls = 0;
  std::vector<smallint> stepits;
};
system* current = nullptr;

bool equations(const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac) {
  system& s = *current;
  ++s.calls;
  if (dojac) ++s.jaccalls;
  s.stepits.push_back(NLESTEPIT);
  std::vector<extended> u;
  std::vector<long> pos;
  for (long i = 3; i <= NX + NXP; ++i)
    if (BX[i]) {
      u.push_back((x[i] - XFACB[i]) / XFACA[i]);
      pos.push_back(i);
    }
  std::vector<extended> res(u.size(), 0);
  std::vector<std::vector<extended>> j(u.size(), std::vector<extended>(u.size(), 0));
  if (!s.eval(u, res, j)) return false;
  for (size_t a = 0; a < u.size(); ++a) {
    r[static_cast<long>(a + 1)] = res[a];
    if (dojac)
      for (size_t b = 0; b < u.size(); ++b) jac(static_cast<long>(a + 1), static_cast<long>(b + 1)) = j[a][b] / XFACA[pos[b]];
  }
  return true;
}

class Solver : public ::testing::Test {
 public:
  void SetUp() override {
    testsupport::freshstate();
    RESETSOLVER();
    RESETNLE();
    IO::MACHEPS = std::ldexp(1.0L, -64);
    SMALLE = 1e-8L;
    SMALLF = 1e-6L;
    SMALLDX = 0.005L;
    DEBUGLEVEL = 1;
    DOGMIN = false;
    DOGLEVEL = -1;
    MCIT = 1;
    CONTROLJX.linesearch = true;
    CONTROLJX.uncertaintylevel = 0;
    CONVSTATUS = "before";
    IO::CONTROLIO.pagewidth = 250;
    ZQMATH2::EQUATIONS = &equations;
    current = &sys;
  }
  void TearDown() override {
    ZQMATH2::EQUATIONS = &ZQCALC2::NLEFUNC;
    current = nullptr;
    RESETSOLVER();
    NX = NXP = 0;
    DEBUGLEVEL = 1;
    DOGMIN = false;
    testsupport::freshstate();
  }
  // P = 5 kbar and T = 700 °C held fixed, then n free unknowns in [0, 1],
  // the first of them scaled as 0.8 u + 0.1, the rest as they are; the last
  // `modes` of them are modes.
  void layout(int n, int modes = 0) {
    NX = static_cast<smallint>(2 + n - modes);
    NXP = static_cast<smallint>(modes);
    XNAME[1] = "P(kbar)";
    XNAME[2] = std::string("T(") + macroman::degree + "C)";
    X[1] = 5;
    X[2] = 973.15L;
    TYPX[1] = TYPX[2] = 1;
    for (long i = 3; i <= NX + NXP; ++i) {
      BX[i] = true;
      XFACA[i] = i == 3 ? 0.8L : 1;
      XFACB[i] = i == 3 ? 0.1L : 0;
      TYPX[i] = 1;
      INACC1[i] = INACC2[i] = acctype::xaccessible;
      XNAME[i] = i > NX ? "mode" + std::to_string(i) : "y" + std::to_string(i);
    }
    PHI = 2;
  }
  void start(const std::vector<extended>& u) {
    for (size_t k = 0; k < u.size(); ++k) {
      const long i = static_cast<long>(k + 3);
      X[i] = XFACA[i] * u[k] + XFACB[i];
    }
  }
  extended phys(long i) const { return (X[i] - XFACB[i]) / XFACA[i]; }
  bool solve(smallint& code) { return ZQMATH2::NLE(code); }

  // x^2 + y^2 = 1/2 and x = y: (1/2, 1/2).
  void circle() {
    sys.eval = [](const std::vector<extended>& u, std::vector<extended>& r, std::vector<std::vector<extended>>& j) {
      r[0] = u[0] * u[0] + u[1] * u[1] - 0.5L;
      r[1] = u[0] - u[1];
      j[0] = {2 * u[0], 2 * u[1]};
      j[1] = {1, -1};
      return true;
    };
  }
  // (u - root)^3 in each unknown: Newton gains only a third per step.
  void cubes(extended root) {
    sys.eval = [root](const std::vector<extended>& u, std::vector<extended>& r,
                      std::vector<std::vector<extended>>& j) {
      for (size_t k = 0; k < u.size(); ++k) {
        const extended e = u[k] - root;
        r[k] = e * e * e;
        j[k][k] = 3 * e * e;
      }
      return true;
    };
  }

  system sys;
};

// At debug level 5 every evaluation is followed by one at the point itself
// (recording the model's choices the columns hold), one per free unknown
// and one more at the point, all counted as no step of the iteration.
TEST_F(Solver, DifferenceJacobianEvaluations) {
  layout(2);
  circle();
  DEBUGLEVEL = 5;
  start({0.5L, 0.5L});
  smallint code = -1;
  EXPECT_TRUE(solve(code));
  EXPECT_EQ(sys.calls, 5);
  EXPECT_EQ(sys.stepits, (std::vector<smallint>{0, 0, 0, 0, 0}));
}

// A start on the edge of what the equations accept: at level 5 a column
// whose forward point is refused is differenced backwards, one refused on
// both sides takes the analytic column, and the solve ends where level 1's
// does, the trace naming the unknown.
TEST_F(Solver, DifferenceJacobianAroundRefusedProbes) {
  for (const bool bothsides : {false, true}) {
    SCOPED_TRACE(bothsides);
    layout(2);
    start({0.7L, 0.3L});
    const extended edge = phys(3);
    extended last = edge;  // y3 of the last evaluation that was no probe
    sys.eval = [&](const std::vector<extended>& u, std::vector<extended>& r, std::vector<std::vector<extended>>& j) {
      if (u[0] > edge || (bothsides && FDPROBE && u[0] != last)) return false;
      if (!FDPROBE) last = u[0];
      r[0] = u[0] * u[0] + u[1] * u[1] - 0.5L;
      r[1] = u[0] - u[1];
      j[0] = {2 * u[0], 2 * u[1]};
      j[1] = {1, -1};
      return true;
    };
    smallint code = -1;
    ASSERT_TRUE(solve(code));
    const smallint iterations = NLEIT;
    const extended y3 = phys(3), y4 = phys(4);

    start({0.7L, 0.3L});
    last = edge;
    DEBUGLEVEL = 5;
    Terminal term;
    ASSERT_TRUE(solve(code)) << term.text();
    DEBUGLEVEL = 1;
    EXPECT_EQ(NLEIT, iterations);
    EXPECT_NEAR(phys(3), y3, 1e-9L);
    EXPECT_NEAR(phys(4), y4, 1e-9L);
    EXPECT_NE(term.text().find(bothsides ? "\njacobian: y3 +/- fd step cannot be evaluated: analytic column used\n"
                                         : "\njacobian: y3 + fd step cannot be evaluated: backward difference used\n"),
              std::string::npos)
        << term.text();
    EXPECT_EQ(term.text().find("y4 +"), std::string::npos) << "y4 is probed forward";
  }

  // A probe whose evaluation ends the run leaves later evaluations free to
  // speak again.
  sys.eval = [](const std::vector<extended>&, std::vector<extended>&, std::vector<std::vector<extended>>&) {
    if (FDPROBE) IO::ERROREXIT("probe", "stopped", yourfault);
    return true;
  };
  start({0.5L, 0.5L});
  DEBUGLEVEL = 5;
  smallint code = -1;
  EXPECT_EQ(fatal([&] { solve(code); }), "probe: stopped");
  EXPECT_FALSE(FDPROBE);
}

TEST_F(Solver, ConvergedStartTouchesNothing) {
  layout(2);
  circle();
  DEBUGLEVEL = 2;
  start({0.5L, 0.5L});
  const eqvector before = X;
  Terminal term;
  smallint code = -1;
  EXPECT_TRUE(solve(code));
  EXPECT_EQ(code, 0);
  EXPECT_EQ(std::memcmp(&before.data, &X.data, sizeof X.data), 0);
  EXPECT_EQ(CONVSTATUS, "before");
  EXPECT_EQ(NLEIT, 0);
  EXPECT_EQ(sys.calls, 1);
  // Only the table's head of level 2: no trace line, no report.
  const std::string out = term.text();
  const std::string heads = "             f       slope      step         maxe     maxdx\n";
  EXPECT_EQ(out.substr(out.size() - heads.size()), heads);
  EXPECT_EQ(out.find("No solution"), std::string::npos);
}

// Outcome codes of made-up systems, with the reason line of the report.
TEST_F(Solver, OutcomeCodes) {
  struct row {
    const char* what;
    std::function<void(Solver&)> set;
    smallint code;
    const char* reason;
  };
  const row table[] = {
      {"slow Newton runs out of iterations",
       [](Solver& s) {
         s.layout(1);
         s.cubes(0.3L);
         s.start({0.45L});
         SMALLE = SMALLF = 1e-300L;
         SMALLDX = 1e-30L;
       },
       2, "   too many iterations (overit)"},
      {"small step far from the solution",
       [](Solver& s) {
         s.layout(1);
         s.cubes(0.45L);
         s.start({0.3L});
         SMALLDX = 0.9L;
       },
       1, "   step too small distant from solution (dxstop)"},
      {"on its bound with the solution beyond",
       [](Solver& s) {
         s.layout(1);
         X[3] = 1;
         s.sys.eval = [](const std::vector<extended>& u, std::vector<extended>& r,
                         std::vector<std::vector<extended>>& j) {
           r[0] = u[0] - 1.5L;
           j[0][0] = 1;
           return true;
         };
       },
       7, "   slim too small (on edge looking out?)"},
      {"zero Jacobian",
       [](Solver& s) {
         s.layout(2);
         s.start({0.3L, 0.7L});
         s.sys.eval = [](const std::vector<extended>&, std::vector<extended>& r, std::vector<std::vector<extended>>&) {
           r[0] = 1;
           r[1] = -1;
           return true;
         };
       },
       8, "   jacobian is zero (no direction)"},
  };
  for (const row& t : table) {
    SetUp();
    sys = system{};
    t.set(*this);
    const eqvector before = X;
    DEBUGLEVEL = 2;
    Terminal term;
    smallint code = -1;
    EXPECT_FALSE(solve(code)) << t.what;
    EXPECT_EQ(code, t.code) << t.what;
    const std::string head = "\nNo solution (" + std::to_string(t.code) + "):\n" + t.reason + "\nat which stage x was:\n";
    EXPECT_NE(term.text().find(head), std::string::npos) << t.what;
    const bool moved = std::memcmp(&before.data, &X.data, sizeof X.data) != 0;
    EXPECT_EQ(moved, t.code != 7 && t.code != 8) << t.what;
    if (t.code == 2) { EXPECT_EQ(NLEIT, 26); }
  }
}

// A residual that is not a number, beside one that is exactly 0, passes no
// convergence test.
TEST_F(Solver, ResidualNotANumberNeverConverges) {
  layout(2);
  circle();
  start({0.9L, 0.2L});
  auto inner = sys.eval;
  sys.eval = [inner](const std::vector<extended>& u, std::vector<extended>& r, std::vector<std::vector<extended>>& j) {
    inner(u, r, j);
    if (NLESTEPIT >= 2) r = {std::nan(""), 0};
    return true;
  };
  Terminal term;
  smallint code = -1;
  bool ok = false;
  fatal([&] { ok = solve(code); });
  EXPECT_FALSE(ok);
  EXPECT_EQ(CONVSTATUS, "before");
}

TEST_F(Solver, FailureReportListsThePointReached) {
  layout(2, 1);
  cubes(0.3L);
  start({0.45L, 0.5L});
  SMALLE = SMALLF = 1e-300L;
  SMALLDX = 1e-30L;
  DEBUGLEVEL = 3;
  Terminal term;
  smallint code = -1;
  EXPECT_FALSE(solve(code));
  std::string values, modes = std::string(20, ' ');
  IO::ADDREAL(5, 4, false, 10, values);
  IO::ADDREAL(700, 4, false, 10, values);
  IO::ADDREAL(phys(3), 4, false, 10, values);
  IO::ADDREAL(phys(4) / 2, 4, false, 10, modes);
  const std::string want = "\nNo solution (2):\n   too many iterations (overit)\nat which stage x was:\n"
                           "   P(kbar)     T(\xA1" "C)        y3\n" + values + "\n" + std::string(20, ' ') +
                           "     mode4\n" + modes + "\n" + std::string(54, '_') + "\n\n";
  const std::string out = term.text();
  ASSERT_GE(out.size(), want.size());
  EXPECT_EQ(out.substr(out.size() - want.size()), want);
}

// With 26 unknowns the report's names and values lines are longer than a
// line's usual length: both keep every unknown, the last one's name over
// its value.
TEST_F(Solver, FailureReportOfManyUnknownsKeepsTheLast) {
  layout(24);
  cubes(0.3L);
  start(std::vector<extended>(24, 0.45L));
  SMALLE = SMALLF = 1e-300L;
  SMALLDX = 1e-30L;
  DEBUGLEVEL = 3;
  IO::CONTROLIO.dontwrap = false;  // the terminal shows the lines whole
  Terminal term;
  smallint code = -1;
  EXPECT_FALSE(solve(code));
  const std::string out = term.text();
  const std::size_t at = out.rfind("at which stage x was:\n");
  ASSERT_NE(at, std::string::npos) << out;
  std::istringstream in(out.substr(at));
  std::string head, names, values;
  std::getline(in, head);
  std::getline(in, names);
  std::getline(in, values);
  std::string want = "   P(kbar)     T(\xA1" "C)";
  for (int i = 3; i <= 26; ++i) IO::ADDSTR("y" + std::to_string(i), 10, want);
  EXPECT_EQ(names, want);
  std::istringstream ws(values);
  std::vector<std::string> w;
  for (std::string x; ws >> x;) w.push_back(x);
  ASSERT_EQ(w.size(), 26u) << values;
  EXPECT_NEAR(std::stod(w.back()), phys(26), 1e-3);
  EXPECT_EQ(values.size(), 260u);
}

TEST_F(Solver, ConvergedReportNamesTheTestPassed) {
  layout(2);
  circle();
  start({0.9L, 0.2L});
  DEBUGLEVEL = 4;
  Terminal term;
  smallint code = -1;
  EXPECT_TRUE(solve(code));
  const std::string out = term.text();
  const std::string reason = CONVSTATUS == "ef" || CONVSTATUS == "e" ? "size of max residual (esize)"
                             : CONVSTATUS == "f"                    ? "size of sum of squares of residual (fsize)"
                                                                    : "step too small near solution (dxconverge)";
  const std::string tail = "\n\n" + reason + "\n";
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}

// A small step ends the solve as converged only where the largest residual
// is below the square root of SMALLE; Newton on a cube gains a third a step,
// so it takes that way out with residuals still far above SMALLE.
TEST_F(Solver, SmallStepNearTheSolutionConverges) {
  struct row {
    extended root, from, smalldx;
    smallint code;
    const char* status;
  };
  // Steps below 0.01 come with residuals near 1e-5; steps below 0.03 with
  // residuals near 4e-4, beyond sqrt(1e-8).
  for (const row& t : {row{0.3L, 0.45L, 0.01L, 0, "dx"}, row{0.3L, 0.45L, 0.03L, 1, "before"}}) {
    SCOPED_TRACE(static_cast<double>(t.smalldx));
    SetUp();
    sys = system{};
    layout(1);
    cubes(t.root);
    start({t.from});
    SMALLE = 1e-8L;
    SMALLF = 1e-300L;
    SMALLDX = t.smalldx;
    DEBUGLEVEL = 4;
    Terminal term;
    smallint code = -1;
    EXPECT_EQ(solve(code), t.code == 0);
    EXPECT_EQ(code, t.code);
    EXPECT_EQ(CONVSTATUS, t.status);
    const extended e = phys(3) - t.root, maxe = std::fabs(e * e * e);
    if (t.code == 0) {
      EXPECT_TRUE(maxe > 1e-8L && maxe < 1e-4L) << static_cast<double>(maxe);
      EXPECT_NE(term.text().find("\n\nstep too small near solution (dxconverge)\n"), std::string::npos) << term.text();
    } else {
      EXPECT_GT(maxe, 1e-4L);
    }
  }
}

// P and T held with their typical sizes left at 0, as the order solve of
// the input stage leaves them: the step tests judge the free unknowns alone
// and end the solve as they would with sizes of 1. A parabola lifted off 0
// has a smallest residual that Newton creeps towards, halving its distance
// each step from 0.1 away: by the fifth step the line search holds it near
// the bottom with a step below SMALLDX, which is convergence where the
// residual there is below sqrt(SMALLE) and a stop where it is above.
TEST_F(Solver, StepTestsIgnoreHeldUnknowns) {
  struct row {
    extended floor;
    smallint code;
    int iterations;
    const char* status;
  };
  for (const row& t : {row{5e-5L, 0, 5, "dx"}, row{1e-3L, 1, 4, "before"}}) {
    for (const extended held : {0.0L, 1.0L}) {
      SCOPED_TRACE(static_cast<double>(t.floor) + held);
      SetUp();
      sys = system{};
      layout(1);
      TYPX[1] = TYPX[2] = held;
      sys.eval = [floor = t.floor](const std::vector<extended>& u, std::vector<extended>& r,
                                   std::vector<std::vector<extended>>& j) {
        r[0] = (u[0] - 0.5L) * (u[0] - 0.5L) + floor;
        j[0][0] = 2 * (u[0] - 0.5L);
        return true;
      };
      start({0.6L});
      smallint code = -1;
      EXPECT_EQ(solve(code), t.code == 0);
      EXPECT_EQ(code, t.code);
      EXPECT_EQ(NLEIT, t.iterations);
      EXPECT_EQ(CONVSTATUS, t.status);
      EXPECT_EQ(X[1], 5);
      EXPECT_EQ(X[2], 973.15L);
    }
  }
}

TEST_F(Solver, FailedTrialIsSoftOnlyInASearchASeriesOrQuietly) {
  struct row {
    smallint level;
    bool dogmin;
    extended mcit;
    std::string fault;
  };
  const row table[] = {
      {1, false, 1, "fn: not ok (1)"}, {0, false, 1, ""}, {1, true, 1, ""}, {1, false, 2, ""}, {2, false, 1.005L, "fn: not ok (1)"},
  };
  for (const row& t : table) {
    layout(2);
    circle();
    start({0.9L, 0.2L});
    auto inner = sys.eval;
    sys.eval = [inner](const std::vector<extended>& u, std::vector<extended>& r, std::vector<std::vector<extended>>& j) {
      return NLESTEPIT < 2 && inner(u, r, j);
    };
    DEBUGLEVEL = t.level;
    DOGMIN = t.dogmin;
    MCIT = t.mcit;
    Terminal term;
    smallint code = -1;
    EXPECT_EQ(fatal([&] { solve(code); }), t.fault) << t.level << t.dogmin << double(t.mcit);
    if (t.fault.empty()) { EXPECT_EQ(code, 10); }
  }
}

TEST_F(Solver, StartingGuessesListing) {
  struct row {
    int n;
    smallint level;
    int pairs;
    const char* lastend;
  };
  // 18 free unknowns beyond P and T fill a pair; the next pair starts
  // after 37 blanks.
  const row table[] = {{1, 2, 1, "\n\n"}, {18, 3, 2, "\n"}, {20, 4, 2, "\n\n"}, {1, 1, 0, ""}};
  for (const row& t : table) {
    layout(t.n);
    for (long i = 3; i <= NX; ++i) X[i] = XFACA[i] * 0.25L + XFACB[i];
    DEBUGLEVEL = t.level;
    Terminal term;
    ZQMATH2::STARTINGGUESSES();
    const std::string out = term.text();
    if (t.pairs == 0) {
      EXPECT_EQ(out, "") << "the details file is not open";
      continue;
    }
    std::string head = "starting guesses:   P(kbar)     T(\xA1" "C)";
    EXPECT_EQ(out.substr(0, head.size()), head);
    EXPECT_NE(out.find("\n" + std::string(17, ' ') + "    5.0000   700.000    0.2500"), std::string::npos) << out;
    size_t lines = 0;
    for (char c : out) lines += c == '\n';
    EXPECT_EQ(lines, static_cast<size_t>(2 * t.pairs) + (std::string(t.lastend) == "\n\n" ? 1 : 0)) << t.n;
    if (t.pairs == 2) { EXPECT_NE(out.find("\n" + std::string(37, ' ')), std::string::npos) << out; }
  }
}

}  // namespace
