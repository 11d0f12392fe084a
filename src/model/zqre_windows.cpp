// Whether a reaction line passes through the window of a diagram or of an
// average P or T. A line is in a diagram's window when its affinity changes
// sign between the corners, or, with one sign at every corner, when it
// enters and leaves through one edge: looked for along an edge whose two
// corners see the affinity's slope change sign, and, on the sections with a
// diagram variable, over the affinity's values inside the window.
#include <array>
#include <cmath>
#include <limits>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_pseudo.h"
#include "model/zqre.h"

using namespace ZQGLOBAL;

namespace ZQRE {

namespace {

// The variables a diagram window spans.
enum class axis { pressure, temperature, xco2, lna, mu };

// A corner by the ends of the two axes it sits at.
struct cornerends {
  bool firsthigh, secondhigh;
};

// One kind of diagram: its axes, its corners in order, the corner pairs of
// its edge searches in order, and the corner pair of its x test (0 when it
// has none). The first axis is the one solved for along an edge.
struct windowmember {
  const char* word;
  axis first, second;
  std::array<cornerends, 4> corners;
  smallint nedges;
  std::array<std::array<smallint, 2>, 4> edges;
  std::array<smallint, 2> xtest;
  bool scan;  // the affinity is also looked at inside the window
};

// P or T first, then the diagram variable, going round from the low corner.
constexpr std::array<cornerends, 4> ROUNDX = {{{false, false}, {false, true}, {true, true}, {true, false}}};

const windowmember PT = {"inPTwindow",
                         axis::pressure,
                         axis::temperature,
                         {{{false, false}, {true, false}, {true, true}, {false, true}}},
                         4,
                         {{{1, 4}, {2, 3}, {1, 2}, {3, 4}}},
                         {0, 0},
                         false};
const windowmember PX = {"inPXwindow", axis::pressure, axis::xco2, ROUNDX, 2, {{{1, 4}, {2, 3}}}, {3, 4}, true};
const windowmember TX = {"inTXwindow", axis::temperature, axis::xco2, ROUNDX, 2, {{{1, 4}, {2, 3}}}, {1, 2}, true};
const windowmember PLNA = {"inPlnawindow", axis::pressure, axis::lna, ROUNDX, 2, {{{1, 4}, {2, 3}}}, {0, 0}, true};
const windowmember TLNA = {"inTlnawindow", axis::temperature, axis::lna, ROUNDX, 2, {{{1, 4}, {2, 3}}}, {0, 0}, true};
const windowmember PMU = {"inPmuwindow", axis::pressure, axis::mu, ROUNDX, 2, {{{1, 4}, {2, 3}}}, {0, 0}, true};
const windowmember TMU = {"inTmuwindow", axis::temperature, axis::mu, ROUNDX, 2, {{{1, 4}, {2, 3}}}, {0, 0}, true};

// A point of a diagram; v is the ln a or mu of the pseudo end-member.
struct point {
  extended P, T, xco2, xh2o, v;
};

extended windowend(axis a, bool high) {
  switch (a) {
    case axis::pressure: return high ? PHIGH : PLOW;
    case axis::temperature: return high ? THIGH : TLOW;
    case axis::xco2: return high ? XCO2HIGH : XCO2LOW;
    case axis::lna: return high ? LNAHIGH : LNALOW;
    case axis::mu: return high ? MUHIGH : MULOW;
  }
  return 0;
}

void setvalue(point& p, axis a, extended value) {
  switch (a) {
    case axis::pressure: p.P = value; return;
    case axis::temperature: p.T = value; return;
    case axis::xco2:
      p.xco2 = value;
      p.xh2o = 1 - value;
      return;
    case axis::lna:
    case axis::mu: p.v = value; return;
  }
}

// The diagram's fixed values: a P-x diagram holds T, a T-x diagram P, and
// the fluid stays as set unless x(CO2) is an axis.
point fixedpoint() { return {FIXEDP, FIXEDT, FIXEDXCO2, FIXEDXH2O, 0}; }

point corner(const windowmember& m, smallint c) {
  if (c < 1 || c > 4) IO::ERROREXIT(m.word, "impossible", myfault);
  const cornerends& e = m.corners[static_cast<std::size_t>(c - 1)];
  point p = fixedpoint();
  setvalue(p, m.first, windowend(m.first, e.firsthigh));
  setvalue(p, m.second, windowend(m.second, e.secondhigh));
  return p;
}

// The pseudo end-member takes the point's diagram variable.
void carry(const windowmember& m, const point& p) {
  if (m.second == axis::lna) ZQCALC2::SETLNAPSEUDO(p.v);
  if (m.second == axis::mu) ZQCALC2::SETMUPSEUDO(p.v);
}

struct affinity {
  extended dmu = 0, dV = 0, dmudT = 0;
  // The slope along P or along T.
  extended along(axis a) const { return a == axis::pressure ? dV : dmudT; }
};

affinity evaluate(smallint k, const windowmember& m, const point& p) {
  carry(m, p);
  affinity a;
  ZQCALC1::CALCDMU(k, a.dV, a.dmudT, a.dmu, p.P, p.T, p.xco2, p.xh2o);
  return a;
}

// Whether the reaction's line crosses the edge from corner a to corner b
// twice: solved for along the axis in which the two corners differ.
axis edgeaxis(const windowmember& m, smallint a, smallint b) {
  const cornerends& ea = m.corners[static_cast<std::size_t>(a - 1)];
  const cornerends& eb = m.corners[static_cast<std::size_t>(b - 1)];
  return ea.firsthigh != eb.firsthigh ? m.first : m.second;
}

bool edgecrossed(smallint k, const windowmember& m, smallint a, smallint b) {
  const axis along = edgeaxis(m, a, b);
  const point p = corner(m, a);
  carry(m, p);
  extended x1 = 0, x2 = 0, dV1 = 0, dV2 = 0, dmudT1 = 0, dmudT2 = 0;
  if (along == axis::pressure) {
    ZQCALC2::PCALC(k, false, x1, x2, dV1, dV2, p.T, p.xco2, p.xh2o, dmudT1, dmudT2);
    return ZQUTE1::INRANGE(x1, findtype::findp);
  }
  ZQCALC2::TCALC(k, false, x1, x2, dV1, dV2, p.P, p.xco2, p.xh2o, dmudT1, dmudT2);
  return ZQUTE1::INRANGE(x1, findtype::findt);
}

// The scan of the window's inside: a grid over the two axes, x(CO2) taken
// both evenly and evenly in ln(x / (1 - x)) so that the ends, where the
// fluid's terms change fastest, are looked at as closely as the middle;
// then a climb from the grid point nearest the other sign.
constexpr int SCANFIRST = 8;    // intervals along P or T
constexpr int SCANSECOND = 8;   // intervals along the diagram variable, for each of its two spacings
constexpr extended SCANSTEP = 1.0L / 8;  // first step of the climb, as a share of each axis
constexpr extended SCANEND = 1e-4L;      // the climb's last step, as a share of each axis
constexpr int SCANCLIMB = 80;            // affinities the climb may take

// A place of the window by its shares s (first axis) and u (second axis).
struct scanplace {
  extended s, u;
};

// The second axis as a share u: ln(x / (1 - x)) for x(CO2) when both ends lie
// strictly between 0 and 1, the variable itself otherwise.
struct secondaxis {
  bool logit;
  extended lo, hi;
  secondaxis(axis a) {
    const extended l = windowend(a, false), h = windowend(a, true);
    logit = a == axis::xco2 && l > 0 && h < 1 && l < h;
    lo = logit ? std::log(l / (1 - l)) : l;
    hi = logit ? std::log(h / (1 - h)) : h;
  }
  extended value(extended u) const {
    const extended t = lo + u * (hi - lo);
    return logit ? 1 / (1 + std::exp(-t)) : t;
  }
  // The share of an x(CO2) of the window, on a logit axis (whose ends differ).
  extended share(extended v) const { return (std::log(v / (1 - v)) - lo) / (hi - lo); }
};

// The diagram variables the evaluations overwrite, kept to be put back
// (a reaction is tested, so there is an end-member NCV).
struct scanstate {
  std::array<extended, 2 * maxem + 2> keep{};
  void save() {
    for (long e = 1; e <= NCV; ++e) {
      keep[static_cast<std::size_t>(2 * e - 2)] = (*TD)(e, TDSLOT::XCO2);
      keep[static_cast<std::size_t>(2 * e - 1)] = (*TD)(e, TDSLOT::XH2O);
    }
    keep[2 * maxem] = (*TD)(NCV, TDSLOT::S);
    keep[2 * maxem + 1] = (*TD)(NCV, TDSLOT::H);
  }
  void restore() const {
    for (long e = 1; e <= NCV; ++e) {
      (*TD)(e, TDSLOT::XCO2) = keep[static_cast<std::size_t>(2 * e - 2)];
      (*TD)(e, TDSLOT::XH2O) = keep[static_cast<std::size_t>(2 * e - 1)];
    }
    (*TD)(NCV, TDSLOT::S) = keep[2 * maxem];
    (*TD)(NCV, TDSLOT::H) = keep[2 * maxem + 1];
  }
};

// Whether reaction k's affinity takes, somewhere inside the window, the sign
// the corners do not have (below zero when the corners are not; zero or
// above when they are all below): then its line is in the window, wherever
// it enters and leaves.
bool othersigninside(smallint k, const windowmember& m, bool cornersnegative) {
  const extended flo = windowend(m.first, false), fhi = windowend(m.first, true);
  const secondaxis sa(m.second);
  // Larger is nearer the other sign; a NaN is as far as can be.
  const auto toward = [&](const scanplace& q) {
    point p = fixedpoint();
    setvalue(p, m.first, flo + q.s * (fhi - flo));
    setvalue(p, m.second, sa.value(q.u));
    const extended d = evaluate(k, m, p).dmu;
    if (std::isnan(d)) return -std::numeric_limits<extended>::infinity();
    return cornersnegative ? d : -d;
  };
  const auto othersign = [&](extended t) { return cornersnegative ? t >= 0 : t > 0; };

  std::array<extended, 2 * SCANSECOND + 1> us{};
  std::size_t nu = 0;
  for (int j = 0; j <= SCANSECOND; ++j) us[nu++] = static_cast<extended>(j) / SCANSECOND;
  if (sa.logit)
    for (int j = 1; j < SCANSECOND; ++j)
      us[nu++] = sa.share(windowend(m.second, false) +
                          (windowend(m.second, true) - windowend(m.second, false)) * j / SCANSECOND);
  scanplace best{0, 0};
  extended top = -std::numeric_limits<extended>::infinity();
  for (int i = 0; i <= SCANFIRST; ++i)
    for (std::size_t j = 0; j < nu; ++j) {
      const scanplace q{static_cast<extended>(i) / SCANFIRST, us[j]};
      const extended t = toward(q);
      if (othersign(t)) return true;
      if (t > top) top = t, best = q;
    }
  if (!std::isfinite(top)) return false;

  // A compass climb: a step along either axis is taken when it gets nearer,
  // the step halves when none does.
  extended step = SCANSTEP;
  for (int used = 0; step >= SCANEND && used < SCANCLIMB;) {
    bool moved = false;
    for (int d = 0; d < 4 && !moved; ++d) {
      scanplace q = best;
      extended& c = d < 2 ? q.s : q.u;
      c += d % 2 == 0 ? step : -step;
      if (c < 0 || c > 1) continue;
      const extended t = toward(q);
      ++used;
      if (othersign(t)) return true;
      if (t > top) top = t, best = q, moved = true;
    }
    if (!moved) step /= 2;
  }
  return false;
}

bool inwindow(smallint k, const windowmember& m, g4vector& g) {
  std::array<affinity, 4> at;
  for (smallint c = 1; c <= 4; ++c) {
    const affinity a = evaluate(k, m, corner(m, c));
    at[static_cast<std::size_t>(c - 1)] = a;
    g[c] = a.dmu < 0;
  }
  const auto slope = [&](smallint c, axis a) { return at[static_cast<std::size_t>(c - 1)].along(a); };
  bool out = (g[1] && g[2] && g[3] && g[4]) || !(g[1] || g[2] || g[3] || g[4]);

  // Along the fluid the reaction itself releases, dmu has its extremum in
  // x(CO2): the line can cut that composition twice between the corners.
  const smallint xa = m.xtest[0], xb = m.xtest[1];
  if (out && xa > 0 && !ZQCALC2::SAMESIGN(slope(xa, m.first), slope(xb, m.first)) && H2OPOS > 0 && CO2POS > 0) {
    const smallint nuc = (*R)(k, CO2POS), nuh = (*R)(k, H2OPOS);
    if (nuc > 0 && nuh > 0) {
      const extended xm = static_cast<extended>(nuc) / (nuc + nuh);
      point p = fixedpoint();
      setvalue(p, m.second, xm);
      setvalue(p, m.first, windowend(m.first, false));
      const extended low = evaluate(k, m, p).dmu;
      setvalue(p, m.first, windowend(m.first, true));
      const extended high = evaluate(k, m, p).dmu;
      out = (low >= 0 && high >= 0) || (low < 0 && high < 0);
    }
  }

  for (smallint e = 0; e < m.nedges && out; ++e) {
    const smallint a = m.edges[static_cast<std::size_t>(e)][0], b = m.edges[static_cast<std::size_t>(e)][1];
    const axis along = edgeaxis(m, a, b);
    if (ZQCALC2::SAMESIGN(slope(a, along), slope(b, along))) continue;
    out = !edgecrossed(k, m, a, b);
  }

  // The tests above look at the corners and at one derivative's sign; a
  // line that rises and falls inside the window (both fluids released, a
  // root pair between two edges) escapes them. Only the affinity's values
  // inside the window can tell that it has no equilibrium there.
  if (out && m.scan && (g[1] == g[2] && g[2] == g[3] && g[3] == g[4])) {
    scanstate kept;
    kept.save();
    out = !othersigninside(k, m, g[1]);
    kept.restore();
  }
  return !out;
}

}  // namespace

bool INPTWINDOW(smallint k, g4vector& g) { return inwindow(k, PT, g); }
bool INPXWINDOW(smallint k, g4vector& g) { return inwindow(k, PX, g); }
bool INTXWINDOW(smallint k, g4vector& g) { return inwindow(k, TX, g); }
bool INPLNAWINDOW(smallint k, g4vector& g) { return inwindow(k, PLNA, g); }
bool INTLNAWINDOW(smallint k, g4vector& g) { return inwindow(k, TLNA, g); }
bool INPMUWINDOW(smallint k, g4vector& g) { return inwindow(k, PMU, g); }
bool INTMUWINDOW(smallint k, g4vector& g) { return inwindow(k, TMU, g); }

bool INPTXWINDOW(smallint k, g4vector& g) {
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc: return INPTWINDOW(k, g);
    case diagramtype::pxcalc: return INPXWINDOW(k, g);
    case diagramtype::txcalc: return INTXWINDOW(k, g);
    case diagramtype::plnacalc: return INPLNAWINDOW(k, g);
    case diagramtype::tlnacalc: return INTLNAWINDOW(k, g);
    case diagramtype::pmucalc: return INPMUWINDOW(k, g);
    case diagramtype::tmucalc: return INTMUWINDOW(k, g);
  }
  IO::ERROREXIT("inPTXwindow", "unknown diagrammode", myfault);
}

bool INAVWINDOW(extended& sd) {
  const auto dmuat = [](extended P, extended T) {
    extended dV = 0, dmudT = 0, dmu = 0;
    ZQCALC1::CALCDMU(NR, dV, dmudT, dmu, P, T, FIXEDXCO2, FIXEDXH2O);
    return dmu;
  };
  const bool pmode = AVMODE == avtype::avpmode || AVMODE == avtype::avptmode;
  const bool tmode = AVMODE == avtype::avtmode;
  bool in = false;
  if (JUSTCHECKONE) {
    extended a = 0, b = 0;
    if (pmode) {
      a = dmuat(PLOW, FIXEDT);
      b = dmuat(PHIGH, FIXEDT);
    } else if (tmode) {
      a = dmuat(FIXEDP, TLOW);
      b = dmuat(FIXEDP, THIGH);
    }
    in = (a > 0 && b <= 0) || (a <= 0 && b > 0);
  } else {
    // Two lines of the window, each of which the reaction must cross the
    // same way: at TLOW and THIGH for average P, at PLOW and PHIGH for T.
    extended d1 = 0, d2 = 0, d3 = 0, d4 = 0;
    if (pmode) {
      d1 = dmuat(PLOW, TLOW);
      d2 = dmuat(PHIGH, TLOW);
      d3 = dmuat(PLOW, THIGH);
      d4 = dmuat(PHIGH, THIGH);
    } else if (tmode) {
      d1 = dmuat(PLOW, TLOW);
      d2 = dmuat(PLOW, THIGH);
      d3 = dmuat(PHIGH, TLOW);
      d4 = dmuat(PHIGH, THIGH);
    }
    in = (d1 > 0 && d2 <= 0 && d3 > 0 && d4 <= 0) || (d1 <= 0 && d2 > 0 && d3 <= 0 && d4 > 0);
  }
  if (!in) {
    sd = AVSDOUTSIDE;
    return false;
  }
  extended x1 = 0, x2 = 0, sd1 = 0, sd2 = 0, slope1 = 0, slope2 = 0;
  if (AVMODE == avtype::avtmode)
    ZQCALC2::TFIXEDP(NR, x1, x2, sd1, sd2, slope1, FIXEDP, FIXEDXCO2, FIXEDXH2O, slope2);
  else
    ZQCALC2::PFIXEDT(NR, x1, x2, sd1, sd2, slope1, FIXEDT, FIXEDXCO2, FIXEDXH2O, slope2);
  sd = sd1;
  return true;
}

}  // namespace ZQRE
