// The line search and its cubic fit, driven on made-up merit profiles.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "frame/bytes.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "model/zqmath2.h"

namespace {

using ZQMATH2::CUBIC;
using ZQMATH2::STEPLENGTH;

// ---------------------------------------------------------------- cubic

TEST(Cubic, StationaryPointsOfAKnownCubic) {
  // f(a) = (a - 0.3)^2 (a + 1) on [0, 1]: f' = (a - 0.3)(3a + 1.7).
  extended c1 = 0, c2 = 0;
  CUBIC(0, 0.09L, -0.51L, 1, 0.98L, 3.29L, c1, c2);
  EXPECT_NEAR(c1, -17.0L / 30, 1e-17L);
  EXPECT_NEAR(c2, 0.3L, 1e-17L);
}

// The fit through the end values and slopes of any cubic is that cubic, so
// its candidates are where the cubic is flat, on any interval.
TEST(Cubic, CandidatesAreTheStationaryPointsOfAnyCubic) {
  struct cubic {
    extended p0, p1, p2, p3, a1, a2;
  };
  const cubic table[] = {
      {1, -3, 0.5L, 1, 0, 1},   {0.2L, -1, -2, 4, 0.3L, 2.5L}, {5, 2, -7, 1.5L, -1, 4},
      {0, -0.01L, 0.3L, -0.2L, 0.1L, 0.2L}, {-4, 1, 3, -1, 2, 7},
  };
  for (const cubic& q : table) {
    auto f = [&](extended a) { return q.p0 + a * (q.p1 + a * (q.p2 + a * q.p3)); };
    auto g = [&](extended a) { return q.p1 + a * (2 * q.p2 + 3 * a * q.p3); };
    extended c1 = 0, c2 = 0;
    CUBIC(q.a1, f(q.a1), g(q.a1), q.a2, f(q.a2), g(q.a2), c1, c2);
    const extended scale = std::fabs(q.p1) + std::fabs(q.p2) + std::fabs(q.p3);
    EXPECT_NEAR(g(c1), 0, 1e-12L * scale * (1 + c1 * c1)) << q.p0;
    EXPECT_NEAR(g(c2), 0, 1e-12L * scale * (1 + c2 * c2)) << q.p0;
  }
}

TEST(Cubic, DegenerateFits) {
  struct row {
    const char* what;
    extended a1, f1, g1, a2, f2, g2, c1, c2;
  };
  const row table[] = {
      {"straight line: B = C = 0", 0.25L, 0, 1, 1.25L, 1, 1, -0.25L, -0.25L},
      {"parabola: C = 0", 0, 0.25L, -1, 1, 0.25L, 1, 0.5L, 0.5L},
      {"parabola shifted: C = 0", 2, 1, -2, 4, 1, 2, 3, 3},
      {"no stationary point: D < 0", 1, 2, 4, 2, 10, 13, -1, -1},
  };
  for (const row& r : table) {
    extended c1 = 0, c2 = 0;
    CUBIC(r.a1, r.f1, r.g1, r.a2, r.f2, r.g2, c1, c2);
    EXPECT_NEAR(c1, r.c1, 1e-18L) << r.what;
    EXPECT_NEAR(c2, r.c2, 1e-18L) << r.what;
  }
}

// ---------------------------------------------------------------- profiles

struct trialpoint {
  extended s;
  smallint callcode;
};
struct traceentry {
  char kind, mark;
  extended f, g, s;
};
struct response {
  extended f, g;
  bool fnok;
};

// A made-up point to search from: merit and slope either as functions of
// the step or as a script of responses, one per trial, whatever the step.
struct profile : ZQMATH2::nlemerit {
  extended startf = 1, startg = -2, limit = 1e20L;
  acctype startacc = acctype::inaccessible;
  smallint startcode = 0;
  std::function<extended(extended)> f, g;
  std::vector<response> script;
  std::vector<trialpoint> trials;
  std::vector<traceentry> trace;
  int headers = 0;

  void STARTUP(extended& f0out, extended& g0, extended& slim, smallint& stepcode) override {
    f0out = startf;
    g0 = startg;
    slim = limit;
    acc = startacc;
    stepcode = startcode;
  }
  bool FN(extended s, extended& fs, extended& gs, smallint callcode) override {
    const size_t k = trials.size();
    trials.push_back({s, callcode});
    if (!script.empty()) {
      const response& r = script.at(k < script.size() ? k : script.size() - 1);
      fs = r.f;
      gs = r.g;
      return r.fnok;
    }
    fs = f(s);
    gs = g(s);
    return false;
  }
  void PRINTHEADER() override { ++headers; }
  void PRINTINFO(char kind, char mark, extended fs, extended gs, extended s) override {
    trace.push_back({kind, mark, fs, gs, s});
  }
  std::string kinds() const {
    std::string k;
    for (const traceentry& t : trace) k += t.kind;
    return k;
  }
};

class LineSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    ZQGLOBAL::DEBUGLEVEL = 1;
  }
  void TearDown() override {
    testsupport::freshstate();
    ZQGLOBAL::DEBUGLEVEL = 1;
  }
  // Runs one search; returns the step taken.
  static extended run(profile& p, smallint& code) {
    extended s = -1;
    STEPLENGTH(p, s, code);
    return s;
  }
};

// A merit that falls far too slowly to satisfy the decrease test anywhere:
// the search must reach for the limit or extend.
void slowfall(profile& p) {
  p.f = [](extended s) { return 1 - 0.001L * s; };
  p.g = [](extended) { return -0.001L; };
}

TEST_F(LineSearch, FirstTrialAcceptedOnTheLooserSlopeRule) {
  // f(1) = -0.1 decreases enough; |g(1)| = 0.7 passes 0.5 |g0| only.
  profile p;
  p.limit = 2;
  p.f = [](extended s) { return 1 - 1.5L * s + 0.4L * s * s; };
  p.g = [](extended s) { return -1.5L + 0.8L * s; };
  smallint code = -1;
  EXPECT_EQ(run(p, code), 1);
  EXPECT_EQ(code, 0);
  ASSERT_EQ(p.trials.size(), 1u);
  EXPECT_EQ(p.notreduced, 0);
  EXPECT_EQ(p.facc, p.f(1));
  EXPECT_EQ(p.gacc, p.g(1));
}

// The first trial and the near-limit trial by the step limit and its kind.
TEST_F(LineSearch, FirstAndNearLimitTrials) {
  struct row {
    extended slim;
    acctype acc, accafter;
    extended first, nearlimit;
  };
  const row table[] = {
      {1, acctype::windowlimit, acctype::windowlimit, 0.9L, 0.9999999999L},
      {1.5L, acctype::xaccessible, acctype::xaccessible, 1, 0.99999L * 1.5L},
      {1.5L, acctype::paccessible, acctype::paccessible, 1, 0.9999999999L * 1.5L},
      {80, acctype::xaccessible, acctype::mulimit, 1, 0.9999999999L * 50},
      {0.5L, acctype::mulimit, acctype::mulimit, 0.45L, 0.9999999999L * 0.5L},
  };
  for (const row& r : table) {
    profile p;
    slowfall(p);
    p.limit = r.slim;
    p.startacc = r.acc;
    smallint code = -1;
    const extended s = run(p, code);
    ASSERT_EQ(p.trials.size(), 2u) << r.slim;
    EXPECT_EQ(p.acc, r.accafter) << r.slim;
    EXPECT_EQ(p.trials[0].s, r.first) << r.slim;
    EXPECT_EQ(p.trials[0].callcode, 1);
    EXPECT_EQ(p.trials[1].s, r.nearlimit) << r.slim;
    EXPECT_EQ(p.trials[1].callcode, 2);
    // Not acceptable, but lower than the first trial with a falling slope:
    // taken, and counted as not reduced.
    EXPECT_EQ(s, r.nearlimit) << r.slim;
    EXPECT_EQ(code, 0);
    EXPECT_EQ(p.notreduced, 1);
    EXPECT_EQ(p.facc, p.f(r.nearlimit));
  }
}

// A limit just above 1 puts the near-limit trial below the first trial:
// no trial is made there, the first is taken as not reduced, no fatal stop.
TEST_F(LineSearch, LimitJustAboveOneTakesTheFirstTrial) {
  struct row {
    extended slim;
    acctype acc;
  };
  const row table[] = {
      {1.000001L, acctype::xaccessible},
      {1 + 1e-11L, acctype::windowlimit},
      {1 + 1e-11L, acctype::paccessible},
  };
  for (const row& r : table) {
    profile p;
    slowfall(p);
    p.limit = r.slim;
    p.startacc = r.acc;
    smallint code = -1;
    std::string fault = testsupport::fatal([&] { EXPECT_EQ(run(p, code), 1) << r.slim; });
    EXPECT_EQ(fault, "") << r.slim;
    EXPECT_EQ(code, 0);
    EXPECT_EQ(p.trials.size(), 1u) << r.slim;
    EXPECT_EQ(p.notreduced, 1);
    EXPECT_EQ(p.facc, p.f(1));
  }
}

TEST_F(LineSearch, ExtensionByFiveThenNinetyPercent) {
  profile p;
  slowfall(p);
  p.limit = 20;
  smallint code = -1;
  const extended s = run(p, code);
  // 1, then 5 (within 90 % of the way to 20), then 90 % of what is left.
  const extended want[] = {1, 5, 18.5L, 19.85L, 19.985L, 19.9985L, 19.99985L, 19.999985L, 19.9999985L,
                           19.99999985L, 19.999999985L};
  ASSERT_EQ(p.trials.size(), 11u);
  for (size_t k = 0; k < 11; ++k) {
    EXPECT_NEAR(p.trials[k].s, want[k], 1e-15L) << k;
    EXPECT_EQ(p.trials[k].callcode, k == 0 ? 1 : 4) << k;
  }
  // Still falling on the tenth pass: that point is taken, as not reduced.
  EXPECT_EQ(code, 0);
  EXPECT_EQ(s, p.trials[10].s);
  EXPECT_EQ(p.notreduced, 1);
  EXPECT_EQ(p.lscount, 10);
}

// A slope that turns up during the extension brackets a minimum; one that
// turns up only on the tenth pass ends the search with code 2.
TEST_F(LineSearch, ExtensionEndsInABracketOrWithCodeTwo) {
  struct row {
    extended turn, c;
    smallint code;
    bool interpolated;
  };
  const row table[] = {{10, 0.01L, 0, true}, {20 - 5e-8L, 1e-4L, 2, false}};
  for (const row& r : table) {
    profile p;
    p.limit = 20;
    const extended t = r.turn, c = r.c;
    p.f = [t, c](extended s) { return 1 + c * ((s - t) * (s - t) - t * t); };
    p.g = [t, c](extended s) { return 2 * c * (s - t); };
    // The true slope at 0 lets the decrease test pass near the minimum; the
    // steeper made-up one never lets it pass.
    if (r.code == 0) p.startg = -2 * c * t;
    smallint code = -1;
    run(p, code);
    EXPECT_EQ(code, r.code) << t;
    bool interpolated = false;
    for (const trialpoint& tp : p.trials) interpolated = interpolated || tp.callcode == 5;
    EXPECT_EQ(interpolated, r.interpolated) << t;
    if (r.code == 2) { EXPECT_EQ(p.trials.size(), 11u); }
  }
}

TEST_F(LineSearch, RisingFirstTrialInterpolatesFromTheStart) {
  // f rises at the first trial: the bracket is [0, 1], and with f0 <= f1
  // the first candidate is held in [0.1, 0.5]. Each row: the first trial's
  // (f, g), then the second step.
  struct row {
    const char* what;
    extended f1, g1, second;
  };
  const row table[] = {
      {"candidate inside", 2, 1, (2 - std::sqrt(2.0L)) / 3},
      {"raised to 0.1", 10, 1, 0.1L},
      {"lowered to 0.5", 1.5L, 50, 0.5L},
      // Below f0 but with a rising slope: held in [0.5, 0.9].
      {"f1 > f2, C = 0, inside", 0.5L, 1, 2.0L / 3},
      {"f1 > f2, raised to 0.5", 0.97L, 1, 0.5L},
      {"f1 > f2, lowered to 0.9", -1, 1, 0.9L},
  };
  for (const row& r : table) {
    profile p;
    p.limit = 2;
    p.script = {{r.f1, r.g1, false}, {-10, 0, false}};
    smallint code = -1;
    const extended s = run(p, code);
    ASSERT_EQ(p.trials.size(), 2u) << r.what;
    EXPECT_EQ(p.trials[1].callcode, 5) << r.what;
    EXPECT_NEAR(p.trials[1].s, r.second, 1e-18L) << r.what;
    EXPECT_EQ(s, p.trials[1].s) << r.what;
    EXPECT_EQ(code, 0) << r.what;
  }
}

// Ten interpolations: without sufficient decrease the search gives up with
// code 3; with it on the tenth, that point is taken though its slope fails.
TEST_F(LineSearch, TenthInterpolation) {
  struct row {
    extended lastf;
    smallint code;
    smallint notreduced;
  };
  const row table[] = {{2, 3, 1}, {0.5L, 0, 1}};
  for (const row& r : table) {
    profile p;
    p.limit = 2;
    p.script = std::vector<response>(11, {2, 1, false});
    p.script[10].f = r.lastf;
    smallint code = -1;
    const extended s = run(p, code);
    ASSERT_EQ(p.trials.size(), 11u);
    EXPECT_EQ(code, r.code) << r.lastf;
    EXPECT_EQ(p.notreduced, r.notreduced);
    EXPECT_EQ(p.facc, r.lastf);
    EXPECT_EQ(s, p.trials[10].s);
    // The rising slope keeps replacing the upper end: the bracket shrinks
    // towards 0 and every step lies in it.
    for (size_t k = 2; k < 11; ++k) EXPECT_LT(p.trials[k].s, p.trials[k - 1].s) << k;
  }
}

TEST_F(LineSearch, ThreeUnreducedIterationsInARowGiveCodeFour) {
  profile p;
  slowfall(p);
  p.limit = 3;
  p.startacc = acctype::windowlimit;
  const smallint codes[] = {0, 0, 4};
  for (int it = 0; it < 3; ++it) {
    smallint code = -1;
    run(p, code);
    EXPECT_EQ(code, codes[it]) << it;
    EXPECT_EQ(p.notreduced, it + 1);
  }
  // A fully acceptable step clears the count.
  profile q;
  q.notreduced = 2;
  q.limit = 2;
  q.f = [](extended s) { return (1 - s) * (1 - s); };
  q.g = [](extended s) { return -2 * (1 - s); };
  smallint code = -1;
  run(q, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(q.notreduced, 0);
}

// Which trace lines a search asks for, by debug level, and their marks.
TEST_F(LineSearch, TraceCallsByDebugLevel) {
  struct row {
    smallint level;
    std::string kinds;
    int headers;
  };
  const row table[] = {{1, "", 0}, {2, "*", 0}, {3, "0sa", 1}, {4, "0sa", 0}, {5, "", 0}};
  for (const row& r : table) {
    ZQGLOBAL::DEBUGLEVEL = r.level;
    profile p;
    slowfall(p);
    p.limit = 3;
    p.startacc = acctype::windowlimit;
    smallint code = -1;
    run(p, code);
    EXPECT_EQ(p.kinds(), r.kinds) << r.level;
    EXPECT_EQ(p.headers, r.headers) << r.level;
    if (r.level == 2) { EXPECT_EQ(p.trace[0].mark, '#'); }
    if (r.level == 3) { EXPECT_EQ(p.trace[1].mark, 'w'); }
  }
  ZQGLOBAL::DEBUGLEVEL = 3;
  profile p;
  p.limit = 2;
  // Rising first trial, then interpolation trials that show each mark.
  p.script = {{2, 1, false},   {3, -1, false}, {2, 0.1L, false},
              {0.5L, 1, false}, {2, 1, false},  {2, 1, true}};
  smallint code = -1;
  run(p, code);
  EXPECT_EQ(p.kinds(), "0sbbbbb");
  std::string marks;
  for (size_t k = 2; k < p.trace.size(); ++k) marks += p.trace[k].mark;
  EXPECT_EQ(marks, std::string(1, macroman::bullet) + "pf *");
  EXPECT_EQ(p.trace[1].mark, 'i');
}

// A merit flat at the bracket's upper end puts the cubic's stationary point
// on that end by the formula; a nearly parabolic fit computes it beyond by
// cancellation alone. It is the end, held to 0.9 of the bracket, and the
// search goes on; only a candidate truly outside stops it.
TEST_F(LineSearch, NoCandidateInTheBracketStopsTheRun) {
  std::mt19937_64 gen(121);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int k = 0; k < 400; ++k) {
    profile p;
    p.startacc = acctype::windowlimit;
    p.limit = 2;
    const extended a1 = 1, a2 = 0.9999999999L * 2, d = a2 - a1;
    // The parabola of slope g1 at a1 and 0 at a2, or the cubic flat at a2
    // and at a1 - d/2, off by a few units.
    const extended scale = 0.001L + 0.02L * static_cast<extended>(unit(gen)), f1 = 0.99L;
    const extended g1 = k % 2 ? -1.5L * scale / d : -2 * scale / d;
    const extended f2 = f1 - (k % 2 ? 1.25L : 1) * scale + 1e-18L * static_cast<extended>(unit(gen) - 0.5);
    p.script = {{f1, g1, false}, {f2, 0, false}, {0.5L, 0, false}};
    smallint code = -1;
    run(p, code);
    ASSERT_EQ(p.trials.size(), 3u) << k;
    EXPECT_NEAR(p.trials[2].s, a1 + 0.9L * d, 1e-18L) << k;
  }
  testsupport::Terminal term;
  profile p;
  p.limit = 2;
  p.script = {{2, std::numeric_limits<extended>::quiet_NaN(), false}};
  smallint code = -1;
  EXPECT_EQ(testsupport::fatal([&] { run(p, code); }), "steplength: neither in interval");
  const std::string out = term.text();
  EXPECT_NE(out.find("neither in interval: info\n1: "), std::string::npos) << out;
  EXPECT_NE(out.find("\na,b:"), std::string::npos) << out;
}

}  // namespace
