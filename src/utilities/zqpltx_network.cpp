// The line network: crossover points, lines joined to their end points and
// clipped at the drawing window.
#include <algorithm>
#include <cmath>
#include <limits>
#include <functional>
#include <memory>
#include <vector>

#include "frame/io.h"
#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

// Coordinates in the log reports, and the rule above each record.
constexpr smallint reportplaces = 4, reportwidth = 10;
constexpr std::size_t reportrule = 33;

enum edge : smallint { bottom = 1, left = 2, top = 3, right = 4 };

bool openend(const sstring& w) { return w == "begin" || w == "end"; }

// Row j of line l as a place, with its rounding.
spot rowspot(const linetype& l, long j) { return {l.x[j], l.y[j], l.round[j]}; }

// Slope and intercept of the segment from (x1, y1) to (x2, y2), x1 != x2.
void slopeof(extended x1, extended y1, extended x2, extended y2, extended& m, extended& c) {
  m = (y2 - y1) / (x2 - x1);
  c = (x2 * y1 - y2 * x1) / (x2 - x1);
}

// The crossing of segment a (line la, from point ka) and segment b, ends
// included: whether they cross is asked of the rows exactly, where they
// cross is computed. Segments along one line have no one crossing. Read
// alike of a line and of a trial change to one.
template <class linea, class lineb>
bool segmentscross(const linea& la, long ka, const lineb& lb, long kb, extended& x, extended& y) {
  const extended ax1 = la.x[ka], ay1 = la.y[ka], ax2 = la.x[ka + 1], ay2 = la.y[ka + 1];
  const extended bx1 = lb.x[kb], by1 = lb.y[kb], bx2 = lb.x[kb + 1], by2 = lb.y[kb + 1];
  const int a1 = ORIENT(ax1, ay1, ax2, ay2, bx1, by1), a2 = ORIENT(ax1, ay1, ax2, ay2, bx2, by2);
  const int b1 = ORIENT(bx1, by1, bx2, by2, ax1, ay1), b2 = ORIENT(bx1, by1, bx2, by2, ax2, ay2);
  if (a1 * a2 > 0 || b1 * b2 > 0 || (a1 == 0 && a2 == 0)) return false;
  const bool avert = ax1 == ax2, bvert = bx1 == bx2;
  extended ma = 0, ca = 0, mb = 0, cb = 0;
  if (!avert) slopeof(ax1, ay1, ax2, ay2, ma, ca);
  if (!bvert) slopeof(bx1, by1, bx2, by2, mb, cb);
  if (avert) {
    x = ax1;
    y = cb + ax1 * mb;
  } else if (bvert) {
    x = bx1;
    y = ca + bx1 * ma;
  } else if (ma != mb) {
    x = (cb - ca) / (ma - mb);
    y = ca + x * ma;
  } else {
    // slopes too near to tell apart once rounded: along segment a, by
    // cross products whose rounded terms would cancel to nothing. The two
    // cross, so the exact share lies in [0, 1]; its rounding is kept there
    const extended t = std::clamp(CROSSVALUE(ax1, ay1, bx1, by1, bx1, by1, bx2, by2) /
                                      CROSSVALUE(ax1, ay1, ax2, ay2, bx1, by1, bx2, by2),
                                  0.0L, 1.0L);
    x = ax1 + t * (ax2 - ax1);
    y = ay1 + t * (ay2 - ay1);
  }
  // a crossing on a level segment is at its rows' level, not a hair off it
  if (ay1 == ay2) y = ay1;
  if (by1 == by2) y = by1;
  return true;
}

smallint linenamed(const sstring& name) {
  for (smallint i = 1; i <= NLINE; ++i)
    if ((*LINE)[i].name == name) return i;
  IO::ERROREXIT("crossover", name + " not found", yourfault);
}

// The corner between two adjacent window edges.
void corner(smallint e1, smallint e2, extended& x, extended& y, const sstring& name) {
  const smallint lo = e1 < e2 ? e1 : e2, hi = e1 < e2 ? e2 : e1;
  if (lo == bottom && hi == left) {
    x = XLOW;
    y = YLOW;
  } else if (lo == left && hi == top) {
    x = XLOW;
    y = YHIGH;
  } else if (lo == top && hi == right) {
    x = XHIGH;
    y = YHIGH;
  } else if (lo == bottom && hi == right) {
    x = XHIGH;
    y = YLOW;
  } else {
    IO::ERROREXIT("lines", "wierd line shape in " + name, yourfault);
  }
}

// How far a point lies inside the window as seen from one edge; negative
// beyond that edge.
extended inward(smallint e, extended x, extended y) {
  switch (e) {
    case bottom:
      return y - YLOW;
    case left:
      return x - XLOW;
    case top:
      return YHIGH - y;
    default:
      return XHIGH - x;
  }
}

// The part of a segment inside the window, edges included, as fractions of
// its length from its start: it comes in at tin through inedge and goes out
// at tout through outedge (0: the segment starts or ends inside). At a
// corner both edges give the same fraction and the first in the order
// bottom, left, top, right names it: a corner is one crossing.
struct segmentpart {
  bool none = false;  // the segment misses the window
  extended tin = 0, tout = 1;
  smallint inedge = 0, outedge = 0;
  // The edge that the segment's end lies on when the segment comes to it
  // from inside, 0 for none.
  smallint arrival = 0;
};

// The share of a segment from depth d1 to depth d2 at which it meets the
// edge, from halves: the depths of two far rows on either side would else
// differ by more than the number range holds.
extended cutshare(extended d1, extended d2) { return (d1 / 2) / (d1 / 2 - d2 / 2); }

segmentpart partinside(extended x1, extended y1, extended x2, extended y2) {
  segmentpart s;
  for (smallint e = bottom; e <= right; ++e) {
    const extended d1 = inward(e, x1, y1), d2 = inward(e, x2, y2);
    if (d1 < 0 && d2 < 0) {
      s.none = true;
    } else if (d1 < 0) {
      // a far row puts the fraction within the last digit of 1: an end off
      // the edge still comes in before it
      extended t = cutshare(d1, d2);
      if (d2 > 0 && !(t < 1)) t = std::nextafter(extended{1}, extended{0});
      if (s.inedge == 0 ? t >= s.tin : t > s.tin) {
        s.tin = t;
        s.inedge = e;
      }
    } else if (d2 < 0) {
      extended t = cutshare(d1, d2);
      if (d1 > 0 && !(t > 0)) t = std::nextafter(extended{0}, extended{1});
      if (s.outedge == 0 ? t <= s.tout : t < s.tout) {
        s.tout = t;
        s.outedge = e;
      }
    } else if (d2 == 0 && d1 > 0 && s.arrival == 0) {
      s.arrival = e;
    }
  }
  if (s.tin > s.tout) s.none = true;
  return s;
}

// Where the segment from (x1, y1) to (x2, y2) meets the line of edge e; the
// segment is not parallel to it. Taken from the segment's start rather than
// through its intercept: a steep segment a few digits long in a narrow
// window has an intercept whose rounding error alone puts the edge's
// crossing past a neighbouring line's. Where a far row's differences run
// past the number range, the share of the way is taken first, from halves,
// so that the crossing is a number.
void crossing(smallint e, extended x1, extended y1, extended x2, extended y2, extended& x, extended& y) {
  const auto along = [](extended v, extended a1, extended a2, extended b1, extended b2) {
    const extended at = b1 + (v - a1) * (b2 - b1) / (a2 - a1);
    if (std::isfinite(at)) return at;
    return b1 + (v / 2 - a1 / 2) / (a2 / 2 - a1 / 2) * (b2 / 2 - b1 / 2) * 2;
  };
  if (e == bottom || e == top) {
    y = e == bottom ? YLOW : YHIGH;
    x = x1 == x2 ? x1 : along(y, y1, y2, x1, x2);
  } else {
    x = e == left ? XLOW : XHIGH;
    y = y1 == y2 ? y1 : along(x, x1, x2, y1, y2);
  }
}

// A place on the side of the frame given: exact across it.
rounding onedge(smallint e, rounding r) {
  if (e == bottom || e == top) {
    r.wayy = r.aparty = 0;
  } else {
    r.wayx = r.apartx = 0;
  }
  return r;
}

// An end on the frame, as written or within its rounding of it, is
// attached to that side; so is one within edgetolerance of it. An open end
// has no place of the records to be told apart from but the frame, so its
// rounding is read as coarse as its line's rows allow: a row whose
// trailing zeros may have been dropped is still on the side it was
// written at.
void setlink(smallint& link, spot at) {
  at.round.apartx = std::max(at.round.apartx, at.round.wayx);
  at.round.aparty = std::max(at.round.aparty, at.round.wayy);
  const extended x = at.x, y = at.y;
  const smallint side = FRAMESIDE(at);
  if (side != 0) {
    link = static_cast<smallint>(-side);
  } else if (std::fabs(y - YLOW) < edgetolerance) {
    link = -bottom;
  } else if (std::fabs(x - XLOW) < edgetolerance) {
    link = -left;
  } else if (std::fabs(y - YHIGH) < edgetolerance) {
    link = -top;
  } else if (std::fabs(x - XHIGH) < edgetolerance) {
    link = -right;
  }
}

// An open end attached to a side of the frame lies on it: the fields on
// either side of the line are closed by the frame's own corner, and an end
// a digit off the side would leave a sliver between them that no field
// covers.
void ontoframe(smallint link, extended& x, extended& y) {
  if (link == -bottom) y = YLOW;
  if (link == -top) y = YHIGH;
  if (link == -left) x = XLOW;
  if (link == -right) x = XHIGH;
}

// A line's points in the making, with room for every point that set-up and
// clipping can add.
struct pointlist {
  linevector x, y;
  roundvector r;
  smallint n = 0;
  void add(extended px, extended py, const rounding& pr) {
    ++n;
    x[n] = px;
    y[n] = py;
    r[n] = pr;
  }
};

pointlist& scratch() {
  static pointlist p;
  return p;
}

void store(linetype& l, const pointlist& p) {
  for (long j = 1; j <= p.n; ++j) {
    l.x[j] = p.x[j];
    l.y[j] = p.y[j];
    l.round[j] = p.r[j];
  }
  l.npts = p.n;
}

// The side of the frame a segment runs along, both its ends on it in the
// window; 0 for none.
smallint sidealong(extended x1, extended y1, extended x2, extended y2) {
  if (!POINTSEEN(x1, y1) || !POINTSEEN(x2, y2)) return 0;
  for (smallint e = bottom; e <= right; ++e)
    if (inward(e, x1, y1) == 0 && inward(e, x2, y2) == 0) return e;
  return 0;
}

// Whether a line other than l meets side e strictly between the places a
// and b on it, crossing it or coming to it.
bool sidemetbetween(const linetype& l, smallint e, extended ax, extended ay, extended bx, extended by) {
  const bool ofx = e == bottom || e == top;
  const extended lo = ofx ? std::min(ax, bx) : std::min(ay, by), hi = ofx ? std::max(ax, bx) : std::max(ay, by);
  for (smallint q = 1; q <= NLINE; ++q) {
    const linetype& o = (*LINE)[q];
    if (&o == &l) continue;
    for (long k = 1; k < o.npts; ++k) {
      const extended d1 = inward(e, o.x[k], o.y[k]), d2 = inward(e, o.x[k + 1], o.y[k + 1]);
      if ((d1 > 0 && d2 > 0) || (d1 < 0 && d2 < 0) || (d1 == 0 && d2 == 0)) continue;
      const extended t = d1 / (d1 - d2);
      const extended at = ofx ? o.x[k] + t * (o.x[k + 1] - o.x[k]) : o.y[k] + t * (o.y[k + 1] - o.y[k]);
      if (lo < at && at < hi) return true;
    }
  }
  return false;
}

// One line's walk along its segments, clipped at the window: the pen is down
// while the walk is inside, edges included. A segment that ends on an edge
// leaves its crossing waiting for the next segment: a line that only
// touches the edge there neither comes in nor goes out.
// Rows rounded onto a side where the line crosses it run along the frame
// for a stretch: the line meets the frame where its rows first reach the
// side from inside, and leaves it into the window where they last leave
// it, as every other line crossing the side near there does. Only where
// it crosses: a line that comes back the way it came, or that lies along
// the frame to its end at a point, keeps its rows there.
struct clipwalk {
  linetype& l;
  pointlist& out;
  smallint b, e;  // the line's begin and end links as the walk finds them
  int cuts = 0;
  bool pendown = false;
  bool started = false;  // the line has crossed an edge
  bool moved = false;    // the walk has left the line's first point
  smallint waitin = 0;   // the edge a segment from outside ended on
  extended waitx = 0, waity = 0;
  rounding waitr{};
  smallint waitout = 0;  // the edge a segment from inside ended on
  long waitoutseg = 0;
  // The segment that came back through the edge the line had left by: going
  // out in the same segment, it passed through, and its two cuts drop out.
  long rejoinseg = 0;
  // Whether the line's first row lies inside, edges included, and is an
  // open begin rather than a point.
  bool firstinside = false, openbegin = false;
  // Segments heldfrom..heldto, along a side or repeated rows, held until
  // the segment after them tells whether the line crosses the side there:
  // from its open begin on the side, come to the side from inside, or come
  // to it from outside; `heldside` the side they last ran along.
  enum class held { none, begin, out, in };
  held holding = held::none;
  long heldfrom = 0, heldto = 0;
  smallint heldside = 0;

  // The first time in cuts off whatever came before. Back in after leaving
  // by -e: through an adjacent edge the corner between the two joins the
  // pieces and their two cuts drop out; either way the line's end is again
  // what the line names until it goes out once more.
  void comein(smallint edge, extended x, extended y, const rounding& r, long seg) {
    if (!started) {
      b = static_cast<smallint>(-edge);
      out.n = 0;
    } else {
      if (edge != -e) {
        extended cx = 0, cy = 0;
        corner(edge, static_cast<smallint>(-e), cx, cy, l.name);
        out.add(cx, cy, rounding{});
        cuts -= 2;
      } else {
        rejoinseg = seg;
      }
      e = l.endlink;
    }
    ++cuts;
    started = true;
    pendown = true;
    out.add(x, y, r);
  }

  void goout(smallint edge, long seg) {
    e = static_cast<smallint>(-edge);
    ++cuts;
    if (seg == rejoinseg) cuts -= 2;
    started = true;
    pendown = false;
  }

  // Segment k held, where it runs along a side the line is on in one of the
  // ways held tells.
  bool hold(long k) {
    const smallint side = sidealong(l.x[k], l.y[k], l.x[k + 1], l.y[k + 1]);
    const bool repeated = l.x[k] == l.x[k + 1] && l.y[k] == l.y[k + 1];
    if (holding == held::none) {
      if (side == 0) return false;
      if (firstinside && !moved) {
        holding = held::begin;
      } else if (pendown && waitout != 0) {
        holding = held::out;
      } else if (!pendown && waitin != 0) {
        holding = held::in;
      } else {
        return false;
      }
      heldfrom = k;
    } else if (side == 0 && !repeated) {
      return false;
    }
    heldto = k;
    if (side != 0) heldside = side;
    return true;
  }

  // The held segments settled by segment k after them (0: the line's end):
  // where the line crosses the side there, it is met where its rows first
  // reach the side, or drawn from where they last leave it; else walked as
  // they are.
  void release(long k) {
    if (holding == held::none) return;
    const held was = holding;
    holding = held::none;
    const long last = heldto + 1;
    bool outward = false;
    if (k > 0) {
      const segmentpart s = partinside(l.x[k], l.y[k], l.x[k + 1], l.y[k + 1]);
      outward = s.none || (s.outedge != 0 && s.tout == 0);
    }
    if (was == held::begin && k > 0 && outward && sidemetbetween(l, heldside, l.x[1], l.y[1], l.x[last], l.y[last])) {
      // along the frame from its first row and out, where another line
      // meets the side on the way: the line only touches the window, as
      // where it goes out from its first row
    } else if (was == held::begin && k > 0 && openbegin) {
      out.x[1] = l.x[last];
      out.y[1] = l.y[last];
      out.r[1] = l.round[last];
    } else if (was == held::out && (k > 0 ? outward : l.endlink <= 0)) {
      // the end waits where the line came to the side
    } else if (was == held::in && !outward) {
      // to its end along the side: met there only where another line meets
      // the side on the way, which a line along the frame would cross
      if (k == 0 && !sidemetbetween(l, heldside, waitx, waity, l.x[last], l.y[last])) {
        for (long j = heldfrom; j <= heldto; ++j) step(j);
        return;
      }
      waitin = heldside;
      waitx = l.x[last];
      waity = l.y[last];
      waitr = l.round[last];
    } else if (was == held::in) {
      // come to the side from outside, along it and out again: the line
      // only touches the window, as where it touches the side at one row
    } else {
      for (long j = heldfrom; j <= heldto; ++j) step(j);
    }
  }

  void segment(long k) {
    if (hold(k)) return;
    release(k);
    step(k);
  }

  void step(long k) {
    const extended x1 = l.x[k], y1 = l.y[k], x2 = l.x[k + 1], y2 = l.y[k + 1];
    const rounding r1 = l.round[k], r2 = l.round[k + 1];
    if (x1 == x2 && y1 == y2) {
      // A repeated row: nothing to cross, and a wait goes on to the next.
      if (pendown && waitout == 0) out.add(x2, y2, r2);
      return;
    }
    const segmentpart s = partinside(x1, y1, x2, y2);
    const bool firstmove = !moved;
    moved = true;
    extended x = 0, y = 0;
    if (!pendown) {
      if (waitin != 0) {
        const smallint edge = waitin;
        waitin = 0;
        // Come to the edge only to go out again: never in.
        if (s.tout == 0) return;
        comein(edge, waitx, waity, waitr, 0);
        out.add(x1, y1, r1);
      } else if (s.none || (s.tin == s.tout && s.tin < 1)) {
        // Missed, or only grazed at a corner.
        return;
      } else if (s.tin == 1) {
        // the segment ends on the edge: that end is the line's place there
        waitin = s.inedge;
        waitx = x2;
        waity = y2;
        waitr = r2;
        return;
      } else {
        crossing(s.inedge, x1, y1, x2, y2, x, y);
        comein(s.inedge, x, y, onedge(s.inedge, ROUNDINGBETWEEN(r1, r2, s.tin)), k);
      }
    }
    const smallint waiting = waitout;
    waitout = 0;
    if (s.outedge != 0) {
      if (s.tout > 0) {
        crossing(s.outedge, x1, y1, x2, y2, x, y);
        out.add(x, y, onedge(s.outedge, ROUNDINGBETWEEN(r1, r2, s.tout)));
        goout(s.outedge, k);
      } else if (waiting != 0) {
        goout(waiting, waitoutseg);
      } else if (firstmove) {
        // Only the line's first point touches the window: the line starts
        // where it comes in, if it does.
        out.n = 0;
        pendown = false;
      } else {
        goout(s.outedge, k);
      }
    } else if (s.arrival != 0) {
      // Ends on the edge, at a point there or a row: the end keeps that
      // place, as every other line ending there does.
      out.add(x2, y2, r2);
      waitout = s.arrival;
      waitoutseg = k;
    } else {
      out.add(x2, y2, r2);
    }
  }

  // A line whose last point lies on an edge ends there: come from outside,
  // it comes in; come from inside, it goes out.
  void finish(long n) {
    release(0);
    if (waitin != 0) {
      comein(waitin, waitx, waity, waitr, 0);
      out.add(l.x[n], l.y[n], l.round[n]);
    } else if (waitout != 0) {
      goout(waitout, waitoutseg);
    }
  }
};

}  // namespace

void DOCROSSOVER() {
  for (smallint i = 1; i <= NPOINT; ++i) {
    pointtype& p = (*POINT)[i];
    if (!p.crossover) continue;
    p.crossline1 = linenamed(p.crossname1);
    p.crossline2 = linenamed(p.crossname2);
    const linetype& a = (*LINE)[p.crossline1];
    const linetype& b = (*LINE)[p.crossline2];
    // The first crossing in the window, else the first: rows carried on
    // past the frame may cross out there as well, within their rounding,
    // and the point placed there would leave the lines crossing in the
    // window where nothing joins them. A line of fewer than two points has
    // no segment to cross.
    bool found = false, seen = false;
    for (long ka = 1; ka <= a.npts - 1 && !seen; ++ka) {
      for (long kb = 1; kb <= b.npts - 1 && !seen; ++kb) {
        extended x = 0, y = 0;
        if (!segmentscross(a, ka, b, kb, x, y)) continue;
        const bool inwindow = POINTSEEN(x, y);
        if (found && !inwindow) continue;
        p.x = x;
        p.y = y;
        // as coarse as the rows of the two segments that place it
        p.round = COARSER(COARSER(a.round[ka], a.round[ka + 1]), COARSER(b.round[kb], b.round[kb + 1]));
        found = true;
        seen = inwindow;
      }
    }
    if (!found) IO::ERROREXIT("crossover", "lines don't cross for " + p.name, yourfault);
  }
}

smallint WHICHI(const sstring& name) {
  if (openend(name)) return 0;
  for (smallint i = 1; i <= NPOINT; ++i)
    if ((*POINT)[i].name == name) return i;
  IO::ERROREXIT("which point", "not recognised: " + name, yourfault);
}

namespace {

// The crossover point placed where lines i and j cross as read, or 0.
smallint crossoverof(smallint i, smallint j) {
  for (smallint p = 1; p <= NPOINT; ++p) {
    const pointtype& pt = (*POINT)[p];
    if (pt.crossover && ((pt.crossline1 == i && pt.crossline2 == j) || (pt.crossline1 == j && pt.crossline2 == i)))
      return p;
  }
  return 0;
}

// Whether the values c[1..n] never turn back, and how far they run.
bool monotonicrun(const linevector& c, long n, extended& span) {
  span = 0;
  long first = 0;
  for (long k = 2; k <= n; ++k) {
    if (c[k] != c[1]) {
      first = k;
      break;
    }
  }
  if (first == 0) return false;
  const bool rising = c[1] < c[first];
  for (long k = first + 1; k <= n; ++k) {
    const extended step = c[k] - c[k - 1];
    if ((rising && step < 0) || (!rising && step > 0)) return false;
  }
  span = std::fabs(c[n] - c[1]);
  return true;
}

}  // namespace

// A line is cut at its points along x where x never turns back, but one
// that runs further along y, never turning back there either, is cut along
// y: its x steps may be too small to place a point by. How its rows were
// written (a whole number, a decimal, a ratio) does not change that.
void MONOTONIC(smallint i) {
  linetype& l = (*LINE)[i];
  l.monox = true;
  if (l.npts < 3) return;
  extended xspan = 0, yspan = 0;
  l.monox = monotonicrun(l.x, l.npts, xspan);
  if (l.monox && monotonicrun(l.y, l.npts, yspan) && yspan / (YHIGH - YLOW) > xspan / (XHIGH - XLOW))
    l.monox = false;
}

namespace {

// The first segment of a line's rows r[1..n] that holds the value, or 0.
smallint segmentholding(const linevector& r, long n, extended at) {
  for (smallint k = 1; k <= n - 1; ++k)
    if (BETWEEN(at, r[k], r[k + 1])) return k;
  return smallint{0};
}

// Whether a place lies within its rounding, and the segment's, of the
// segment from a to b: some place of the segment is one place with it,
// each way by its own rounding (the coarser of the segment's two ends);
// beyonda: of the segment or its way on back past a.
bool nearsegment(const spot& at, const spot& a, const spot& b, bool beyonda = false) {
  const rounding r = COARSER(a.round, b.round);
  const extended tx = frameunits * (at.round.wayx + r.wayx), ty = frameunits * (at.round.wayy + r.wayy);
  extended tin = beyonda ? -std::numeric_limits<extended>::infinity() : 0, tout = 1;
  auto within = [&](extended from, extended to, extended v, extended reach) {
    if (from == to) {
      if (std::fabs(v - from) > reach) tin = 2;
      return;
    }
    extended t1 = (v - reach - from) / (to - from), t2 = (v + reach - from) / (to - from);
    if (t1 > t2) std::swap(t1, t2);
    tin = std::max(tin, t1);
    tout = std::min(tout, t2);
  };
  within(a.x, b.x, at.x, tx);
  within(a.y, b.y, at.y, ty);
  return tin <= tout;
}

// How near the segment from a to b passes a place, in the reach
// nearsegment allows each way: at most 1 where it passes within it.
extended passingdistance(const spot& at, const spot& a, const spot& b) {
  const rounding r = COARSER(a.round, b.round);
  const extended tx = frameunits * (at.round.wayx + r.wayx), ty = frameunits * (at.round.wayy + r.wayy);
  if (tx <= 0 || ty <= 0) return 0;
  const extended ax = (a.x - at.x) / tx, ay = (a.y - at.y) / ty;
  const extended dx = (b.x - a.x) / tx, dy = (b.y - a.y) / ty;
  const extended dd = dx * dx + dy * dy;
  const extended t = dd > 0 ? std::clamp(-(ax * dx + ay * dy) / dd, extended{0}, extended{1}) : 0;
  return std::hypot(ax + t * dx, ay + t * dy);
}

// Where point p falls along line l by the one coordinate the line is cut
// by alone: the first segment whose values of it hold the point's, ends
// included, else past the end it lies beyond.
smallint cutposition(const linetype& l, const pointtype& pt) {
  const linevector& c = l.monox ? l.x : l.y;
  const extended v = l.monox ? pt.x : pt.y;
  const auto within = [&](const linevector& r, extended at) { return segmentholding(r, l.npts, at); };
  const auto beyond = [&](const linevector& r, extended at) {
    if (r[l.npts] <= r[1]) return at <= r[1] ? l.npts : smallint{0};
    return at <= r[l.npts] ? smallint{0} : l.npts;
  };
  if (const smallint k = within(c, v); k > 0) return k;
  // Rows of one value in the coordinate the line is cut by (two rows of
  // one x) tell nothing of where a point beside them lies along the line:
  // by that value it would be placed by the side it lies on, and taken for
  // one named at the wrong end. The other coordinate tells.
  bool flat = true;
  for (long k = 2; k <= l.npts && flat; ++k) flat = c[k] == c[1];
  if (flat) {
    const linevector& o = l.monox ? l.y : l.x;
    const extended w = l.monox ? pt.y : pt.x;
    if (const smallint k = within(o, w); k > 0) return k;
    return beyond(o, w);
  }
  return beyond(c, v);
}

// Whether point p is where line l's rows end rather than where they
// begin: the open word at its other end tells; of two points, their order
// along the rows, else the order they are named in.
bool endofrows(const linetype& l, smallint p) {
  if (l.beginlink <= 0 || l.endlink <= 0) return l.beginname != "end" && l.endname != "end";
  const smallint other = p == l.beginlink ? l.endlink : l.beginlink;
  const smallint at = cutposition(l, (*POINT)[p]), there = cutposition(l, (*POINT)[other]);
  if (at != there) return at > there;
  return p == l.endlink && p != l.beginlink;
}

// Where along line l a point at `at` lies that no segment passes within
// its rounding: where a segment passes its value of the coordinate the
// line is cut by, between the segment's rows, or at a row of that value,
// the nearest of them by the other coordinate. Such a row lies beside the
// point and is a row of the line: it stays on the line's side of the
// point. -1 where the line holds the value nowhere.
long passingby(const linetype& l, const spot& at, bool atend) {
  const linevector& c = l.monox ? l.x : l.y;
  const linevector& o = l.monox ? l.y : l.x;
  const extended v = l.monox ? at.x : at.y, w = l.monox ? at.y : at.x;
  const extended span = l.monox ? YHIGH - YLOW : XHIGH - XLOW;
  long best = -1;
  extended bestfar = 0;
  const auto weigh = [&](long k, extended across) {
    const extended far = std::fabs(across - w) / span;
    // of two as near, the one nearer the end the point stands at
    if (best >= 0 && (far > bestfar || (far == bestfar && atend != (k > best)))) return;
    best = k;
    bestfar = far;
  };
  for (long k = 1; k <= l.npts - 1; ++k) {
    if (c[k] == v || c[k + 1] == v || !BETWEEN(v, c[k], c[k + 1])) continue;
    weigh(k, o[k] + (v - c[k]) / (c[k + 1] - c[k]) * (o[k + 1] - o[k]));
  }
  for (long r = 1; r <= l.npts; ++r)
    if (c[r] == v) weigh(atend ? r : r - 1, o[r]);
  return best;
}

}  // namespace

// A line's point lies where the line passes it by both coordinates: at a
// row within the point's rounding each way, which the point takes the
// place of, or on a segment that comes within its rounding; of several
// such places, the one nearest the end of the rows the point stands at. A
// row at the point's value of one coordinate but farther along the other
// is a row of the line, on whichever side of the point the rows put it.
// Where the point's value of the coordinate the line is cut by gives a
// place that keeps the same rows, but for rows within the point's
// rounding, that place is taken: rows next to a point go as they always
// went.
smallint FINDINSERTPOSI(smallint i, smallint p) {
  const linetype& l = (*LINE)[i];
  if (l.npts <= 1) return 1;
  const long n = l.npts;
  const bool atend = endofrows(l, p);
  const smallint bycut = cutposition(l, (*POINT)[p]);
  // A window a few units wide reads the rounding finer than the digits
  // were written to: where the line passes its point in neither reading of
  // the try, it may still as written.
  const auto aswritten = [](spot s) {
    s.round.wayx = std::max(s.round.wayx, s.round.writtenx);
    s.round.wayy = std::max(s.round.wayy, s.round.writteny);
    return s;
  };
  const auto search = [&](bool written) {
    const spot at = written ? aswritten(POINTSPOT(p)) : POINTSPOT(p);
    const auto row = [&](long r) { return written ? aswritten(rowspot(l, r)) : rowspot(l, r); };
    const auto own = [&](long r) { return ONEPLACE(row(r), at, reading::way); };
    const auto passes = [&](long k) { return nearsegment(at, row(k), row(k + 1)); };
    // Rounded rows pass a point within the rounding on a run of segments
    // next to one another: the point lies where the run passes nearest.
    const auto distance = [&](long k) { return passingdistance(at, row(k), row(k + 1)); };
    long found = -1;
    if (atend) {
      for (long k = n - 1; k >= 1 && found < 0; --k)
        if (own(k + 1) || (!own(k) && passes(k))) found = k;
      if (found >= 1 && !own(found + 1))
        for (long k = found - 1; k >= 1 && !own(k + 1) && !own(k) && passes(k); --k)
          if (distance(k) < distance(found)) found = k;
      while (found > 1 && own(found)) --found;
    } else {
      for (long k = 1; k <= n - 1 && found < 0; ++k)
        if (own(k) || (!own(k + 1) && passes(k))) found = k;
      if (found >= 1 && !own(found))
        for (long k = found + 1; k <= n - 1 && !own(k) && !own(k + 1) && passes(k); ++k)
          if (distance(k) < distance(found)) found = k;
      while (found >= 1 && found < n - 1 && own(found + 1)) ++found;
    }
    return found;
  };
  long found = search(false);
  if (found < 0) found = search(true);
  if (found < 0) found = passingby(l, POINTSPOT(p), atend);
  if (found < 0) return bycut;
  const spot at = aswritten(POINTSPOT(p));
  for (long r = std::min<long>(found, bycut) + 1; r <= std::max<long>(found, bycut); ++r)
    if (!ONEPLACE(rowspot(l, r), POINTSPOT(p), reading::way) && !ONEPLACE(aswritten(rowspot(l, r)), at, reading::way))
      return static_cast<smallint>(found);
  return bycut;
}

bool ADDPOINTS(smallint i, bool trial) {
  linetype& l = (*LINE)[i];
  const bool beginpoint = l.beginlink > 0, endpoint = l.endlink > 0;
  if (!beginpoint && !endpoint) return true;
  smallint pb = beginpoint ? FINDINSERTPOSI(i, l.beginlink) : smallint{0};
  smallint pe = endpoint ? FINDINSERTPOSI(i, l.endlink) : smallint{0};
  auto exchange = [&] {
    std::swap(l.beginname, l.endname);
    std::swap(l.beginlink, l.endlink);
    std::swap(pb, pe);
  };
  pointlist& out = scratch();
  out.n = 0;
  auto addpoint = [&](smallint p) { out.add((*POINT)[p].x, (*POINT)[p].y, (*POINT)[p].round); };
  // The rows between the points as written: those within the rounding of a
  // point are joined to it where lines meet at their points.
  auto adddata = [&](long from, long to) {
    for (long k = from; k <= to; ++k) out.add(l.x[k], l.y[k], l.round[k]);
  };
  if (beginpoint != endpoint) {
    if (l.endname == "begin" || l.beginname == "end") exchange();
    if (l.endname == "end") {
      if (pb == l.npts) {
        if (trial) return false;
        IO::ERROREXIT("add points", "\"end\" should be \"begin\" for " + l.name + "?", yourfault);
      }
      addpoint(l.beginlink);
      adddata(pb + 1, l.npts);
    } else {
      if (pe == 0) {
        if (trial) return false;
        IO::ERROREXIT("add points", "\"begin\" should be \"end\" for " + l.name + "?", yourfault);
      }
      adddata(1, pe);
      addpoint(l.endlink);
    }
  } else if (pb == pe) {
    addpoint(l.beginlink);
    addpoint(l.endlink);
  } else {
    if (pe < pb) exchange();
    addpoint(l.beginlink);
    adddata(pb + 1, pe);
    addpoint(l.endlink);
  }
  store(l, out);
  return true;
}

bool POINTSEEN(extended x, extended y) { return XLOW <= x && x <= XHIGH && YLOW <= y && y <= YHIGH; }

namespace {

// The widest a value's rounding is ever taken, as a share of the window:
// a unit coarser than that (a whole number in a narrow window, a far end
// written 1e25) says nothing the picture could show, and taken whole it
// would make the value one with places far apart.
constexpr extended widestshare = 2e-2L;

// A coordinate within its rounding of an edge's value is that value.
void toedge(extended& v, extended edge, extended unit) {
  if (std::fabs(v - edge) <= frameunits * unit) v = edge;
}

// The finest units of the rows of a line, each way: of those inside the
// window, or of all when none is.
void finestof(const linetype& l, extended& ux, extended& uy) {
  ux = uy = -1;
  for (int pass = 0; pass < 2 && ux < 0; ++pass)
    for (long k = 1; k <= l.npts; ++k) {
      if (pass == 0 && !POINTSEEN(l.x[k], l.y[k])) continue;
      const extended wx = l.round[k].wayx, wy = l.round[k].wayy;
      ux = ux < 0 ? wx : std::min(ux, wx);
      uy = uy < 0 ? wy : std::min(uy, wy);
    }
}

// A value's two readings as the reader left them (the finer marked
// unsettled, negative, where its trailing zeros do not show) settled: the
// coarser is its own unit, the finer that or, where zeros may have been
// dropped, the finest of its fellows; neither wider than the widest share
// of the window.
void settle(float& way, float& apart, extended finest, extended span) {
  if (apart < 0) apart = static_cast<float>(finest >= 0 ? std::min(static_cast<extended>(-apart), finest) : -apart);
  const auto widest = static_cast<float>(widestshare * span);
  way = std::min(way, widest);
  apart = std::min(apart, widest);
}

}  // namespace

rounding COARSER(const rounding& a, const rounding& b) {
  auto wider = [](float u, float v) {
    const float m = std::max(std::fabs(u), std::fabs(v));
    return u < 0 || v < 0 ? -m : m;
  };
  return {std::max(a.wayx, b.wayx), std::max(a.wayy, b.wayy), wider(a.apartx, b.apartx),
          wider(a.aparty, b.aparty), std::max(a.writtenx, b.writtenx), std::max(a.writteny, b.writteny)};
}

void RECORDROUNDING() {
  // points: as exact as the rows of the lines that name them
  for (smallint i = 1; i <= NPOINT; ++i) {
    pointtype& p = (*POINT)[i];
    extended fx = -1, fy = -1;
    for (smallint j = 1; j <= NLINE; ++j) {
      const linetype& l = (*LINE)[j];
      if (l.beginname != p.name && l.endname != p.name) continue;
      extended ux = 0, uy = 0;
      finestof(l, ux, uy);
      if (ux >= 0) fx = fx < 0 ? ux : std::min(fx, ux);
      if (uy >= 0) fy = fy < 0 ? uy : std::min(fy, uy);
    }
    settle(p.round.wayx, p.round.apartx, fx, XHIGH - XLOW);
    settle(p.round.wayy, p.round.aparty, fy, YHIGH - YLOW);
  }
  for (smallint j = 1; j <= NLINE; ++j) {
    linetype& l = (*LINE)[j];
    extended fx = 0, fy = 0;
    finestof(l, fx, fy);
    for (long k = 1; k <= l.npts; ++k) {
      settle(l.round[k].wayx, l.round[k].apartx, fx, XHIGH - XLOW);
      settle(l.round[k].wayy, l.round[k].aparty, fy, YHIGH - YLOW);
    }
  }
}

spot LINESPOT(smallint line, long k) { return rowspot((*LINE)[line], k); }

spot POINTSPOT(smallint p) {
  const pointtype& pt = (*POINT)[p];
  return {pt.x, pt.y, pt.round};
}

rounding ROUNDINGBETWEEN(const rounding& a, const rounding& b, extended t) {
  auto at = [t](float u, float v) { return static_cast<float>(u + t * (v - u)); };
  return {at(a.wayx, b.wayx), at(a.wayy, b.wayy), at(a.apartx, b.apartx), at(a.aparty, b.aparty)};
}

bool ONEPLACE(const spot& a, const spot& b, reading how) {
  const bool way = how == reading::way;
  const extended ux = way ? a.round.wayx + b.round.wayx : a.round.apartx + b.round.apartx;
  const extended uy = way ? a.round.wayy + b.round.wayy : a.round.aparty + b.round.aparty;
  return std::fabs(b.x - a.x) <= frameunits * ux && std::fabs(b.y - a.y) <= frameunits * uy;
}

smallint FRAMESIDE(const spot& a) {
  const extended nearx = frameunits * a.round.apartx, neary = frameunits * a.round.aparty;
  if (std::fabs(a.y - YLOW) <= neary) return bottom;
  if (std::fabs(a.x - XLOW) <= nearx) return left;
  if (std::fabs(a.y - YHIGH) <= neary) return top;
  if (std::fabs(a.x - XHIGH) <= nearx) return right;
  return 0;
}

smallint FRAMESIDEAT(extended x, extended y) { return FRAMESIDE(spot{x, y, rounding{}}); }

bool FRAMEPOINTAT(const spot& a) {
  for (smallint i = 1; i <= NPOINT; ++i) {
    const pointtype& p = (*POINT)[i];
    if (p.seen && FRAMESIDEAT(p.x, p.y) != 0 && a.x == p.x && a.y == p.y) return true;
  }
  return false;
}

void ADDEDGES(smallint i) {
  for (smallint p = 1; p <= NPOINT; ++p) (*POINT)[p].seen = POINTSEEN((*POINT)[p].x, (*POINT)[p].y);
  linetype& l = (*LINE)[i];
  const smallint n = l.npts;
  pointlist& out = scratch();
  out.n = 0;
  clipwalk walk{l, out, l.beginlink, l.endlink};
  const bool firstinside = n >= 1 && POINTSEEN(l.x[1], l.y[1]);
  if (firstinside) {
    out.add(l.x[1], l.y[1], l.round[1]);
    walk.pendown = true;
    walk.firstinside = true;
    walk.openbegin = l.beginlink <= 0;
  }
  for (long k = 1; k <= n - 1; ++k) walk.segment(k);
  walk.finish(n);
  if (walk.cuts < 0 || walk.cuts > 2) IO::ERROREXIT("lines", "bad cuts of window edge", yourfault);
  l.beginlink = walk.b;
  l.endlink = walk.e;
  if (walk.cuts == 0 && !firstinside) {
    l.npts = 0;
    return;
  }
  store(l, out);
  if (l.npts == 0) return;
  // open ends within their rounding of the frame were put on it where
  // lines meet at their points: here the frame is read as it is
  const auto onframe = [&](smallint& link, long k) {
    const smallint side = FRAMESIDEAT(l.x[k], l.y[k]);
    if (side != 0) link = static_cast<smallint>(-side);
  };
  if (l.beginlink == 0) onframe(l.beginlink, 1);
  if (l.endlink == 0) onframe(l.endlink, l.npts);
}

namespace {

// A line as a change being weighed would leave it, read through the line's
// own rows: its rows from..from+gone-1 give way to up to three new ones.
// Trying a change so copies nothing of the line; only a change taken is
// made, by applyto. Its rows read as a line's do (x[k], y[k], round[k],
// npts), so the routines that weigh lines read either.
class trialline {
 public:
  // The rows of one coordinate, or their rounding, as the trial has them.
  template <class T, int column>
  struct rows {
    const trialline* t;
    T operator[](long k) const { return t->at<T, column>(k); }
  };

  trialline() = default;
  explicit trialline(const linetype& l) { reset(l); }
  trialline(const trialline& o) { *this = o; }
  trialline& operator=(const trialline& o) {
    line = o.line;
    npts = o.npts;
    beginlink = o.beginlink;
    endlink = o.endlink;
    from = o.from;
    gone = o.gone;
    added = o.added;
    nx = o.nx;
    ny = o.ny;
    nr = o.nr;
    return *this;
  }

  // Line l as written, no change tried yet.
  void reset(const linetype& l) {
    line = &l;
    npts = l.npts;
    beginlink = l.beginlink;
    endlink = l.endlink;
    from = 1;
    gone = 0;
    added = 0;
  }

  // As droprows and insertrow of a line. A trial holds one stretch of
  // change: rows dropped once before anything is put in, new rows put in
  // next to each other.
  void drop(long first, long last) {
    if (last < first) return;
    if (gone > 0 || added > 0) ARRAYINDEXFAULT("trial rows dropped", first, from, from + added);
    from = first;
    gone = last - first + 1;
    npts -= gone;
  }
  void insert(long k, extended x, extended y, const rounding& r) {
    if (gone == 0 && added == 0) from = k + 1;
    const long slot = k + 1 - from + 1;  // in the new rows
    if (slot < 1 || slot > added + 1) ARRAYINDEXFAULT("trial rows put in", k + 1, from, from + added);
    ++added;
    for (long j = added; j > slot; --j) {
      nx[j] = nx[j - 1];
      ny[j] = ny[j - 1];
      nr[j] = nr[j - 1];
    }
    nx[slot] = x;
    ny[slot] = y;
    nr[slot] = r;
    ++npts;
  }

  // The change made to the line itself: the same rows as the trial reads.
  void applyto(linetype& l) const;

  rows<extended, 0> x{this};
  rows<extended, 1> y{this};
  rows<rounding, 2> round{this};
  long npts = 0;
  smallint beginlink = 0, endlink = 0;

 private:
  template <class T, int column>
  T at(long k) const {
    const bool fresh = k >= from && k < from + added;
    const long j = k < from ? k : k - added + gone;
    if constexpr (column == 0) {
      return fresh ? nx[k - from + 1] : line->x[j];
    } else if constexpr (column == 1) {
      return fresh ? ny[k - from + 1] : line->y[j];
    } else {
      return fresh ? nr[k - from + 1] : line->round[j];
    }
  }

  const linetype* line = nullptr;
  long from = 1, gone = 0, added = 0;
  farray<extended, 1, 3> nx, ny;
  farray<rounding, 1, 3> nr;
};

// Where segment k of line a and segment j of line b meet, crossing or
// touching, but for a row the two share: false for none, and for
// segments along one line.
template <class linea, class lineb>
bool meetapart(const linea& a, long k, const lineb& b, long j, extended& x, extended& y) {
  auto shared = [&](long ka, long kb) { return a.x[ka] == b.x[kb] && a.y[ka] == b.y[kb]; };
  if (shared(k, j) || shared(k, j + 1) || shared(k + 1, j) || shared(k + 1, j + 1)) return false;
  if (a.x[k] == a.x[k + 1] && a.y[k] == a.y[k + 1]) return false;
  if (b.x[j] == b.x[j + 1] && b.y[j] == b.y[j + 1]) return false;
  return segmentscross(a, k, b, j, x, y);
}

// A line's rows from..to taken out.
void droprows(linetype& l, long from, long to) {
  if (to < from) return;
  const long gone = to - from + 1;
  for (long k = from; k + gone <= l.npts; ++k) {
    l.x[k] = l.x[k + gone];
    l.y[k] = l.y[k + gone];
    l.round[k] = l.round[k + gone];
  }
  l.npts = static_cast<smallint>(l.npts - gone);
}

void droprows(trialline& l, long from, long to) { l.drop(from, to); }

// A place put into line l after its row k.
void insertrow(trialline& l, long k, extended x, extended y, const rounding& r) { l.insert(k, x, y, r); }
void insertrow(linetype& l, long k, extended x, extended y, const rounding& r) {
  for (long j = l.npts; j >= k + 1; --j) {
    l.x[j + 1] = l.x[j];
    l.y[j + 1] = l.y[j];
    l.round[j + 1] = l.round[j];
  }
  l.x[k + 1] = x;
  l.y[k + 1] = y;
  l.round[k + 1] = r;
  ++l.npts;
}

// Rows from..to of line i, put in between two rows that other lines join
// by one segment of theirs: each such line takes them too. A place worked
// out on a way lies a hair off it in the arithmetic, and a line left
// straight between the two rows would be read as crossing the other at
// one of them, where the two run one way.
void sharenewrows(smallint i, long from, long to) {
  const linetype& l = (*LINE)[i];
  if (from <= 1 || to >= l.npts || to < from) return;
  const long n = to - from + 1;
  auto at = [&](const linetype& o, long m, long r) { return o.x[m] == l.x[r] && o.y[m] == l.y[r]; };
  for (smallint q = 1; q <= NLINE; ++q) {
    if (q == i) continue;
    linetype& o = (*LINE)[q];
    for (long m = 1; m < o.npts; ++m) {
      const bool forward = at(o, m, from - 1) && at(o, m + 1, to + 1);
      if (!forward && !(at(o, m, to + 1) && at(o, m + 1, from - 1))) continue;
      if (o.npts + n > maxlinestore) break;
      for (long j = 0; j < n; ++j) {
        const long r = forward ? from + j : to - j;
        insertrow(o, m + j, l.x[r], l.y[r], l.round[r]);
      }
      break;
    }
  }
}

void trialline::applyto(linetype& l) const {
  droprows(l, from, from + gone - 1);
  for (long j = 1; j <= added; ++j) insertrow(l, from + j - 2, nx[j], ny[j], nr[j]);
}

// How line l, met near point p on its segment k, is routed through p:
// none needed (the segment ends at p, or passes through it as written);
// from its place at p (by name, or routed there before) straight to the
// segment's far row, the rows between dropped; or, passing, through p
// between the segment's rows. Each only where the rows it moves lie
// within their rounding of the new way, else refused.
enum class route { none, drop, insert, refused };

// The first point written at exactly (x, y), 0 for none.
smallint pointat(extended x, extended y) {
  for (smallint i = 1; i <= NPOINT; ++i)
    if (x == (*POINT)[i].x && y == (*POINT)[i].y) return i;
  return 0;
}

struct routing {
  route how = route::none;
  long from = 0, to = 0;  // rows dropped, or the row p follows
  bool past = false;      // a row dropped lies past p, away from the far row
  // passing: taken straight from the segment's own first row to p, or from
  // p to its second, rather than from where it comes within p's reach
  bool fromrow = false, torow = false;
};

routing routeof(const linetype& l, long k, smallint p) {
  const pointtype& pt = (*POINT)[p];
  auto at = [&](long j) { return l.x[j] == pt.x && l.y[j] == pt.y; };
  auto row = [&](long j) { return rowspot(l, j); };
  if (at(k) || at(k + 1)) return {};
  if (ONSEGMENT(l, k, pt.x, pt.y)) return {};
  for (long q = 1; q <= l.npts; ++q) {
    if (!at(q)) continue;
    const long from = q < k ? q + 1 : k + 1, to = q < k ? k : q - 1;
    const spot far = q < k ? row(k + 1) : row(k);
    // a row between p and the far row, or on the way from it past p (the
    // point's own row rounded past it, the line turning back to p); but a
    // row past p is dropped only where it is a row of the data: a
    // point the line was taken through keeps it there
    auto named = [&](long j) { return pointat(l.x[j], l.y[j]) > 0; };
    bool past = false;
    for (long j = from; j <= to; ++j) {
      if (nearsegment(row(j), POINTSPOT(p), far)) continue;
      if (named(j) || !nearsegment(row(j), POINTSPOT(p), far, true)) return {route::refused};
      past = true;
    }
    return {route::drop, from, to, past};
  }
  if (l.npts + 3 > maxlinestore || !nearsegment(POINTSPOT(p), row(k), row(k + 1)))
    return {route::refused};
  return {route::insert, k, k};
}

// Passing a point, a segment is that point only where it lies within its
// rounding and the point's of it: it is taken to the point from where it
// comes within that reach and goes on from where it leaves it, and keeps
// its own place everywhere else, but between the point and another named
// one. Made to a line, or tried on one.
template <class someline>
void applyroute(someline& l, const routing& r, smallint p) {
  const pointtype& pt = (*POINT)[p];
  if (r.how == route::drop) droprows(l, r.from, r.to);
  if (r.how != route::insert) return;
  const long k = r.from;
  const extended x1 = l.x[k], y1 = l.y[k], x2 = l.x[k + 1], y2 = l.y[k + 1];
  const rounding r1 = l.round[k], r2 = l.round[k + 1];
  const rounding rs = COARSER(r1, r2);
  const extended hx = frameunits * (rs.wayx + pt.round.wayx), hy = frameunits * (rs.wayy + pt.round.wayy);
  // the part of the segment within reach of the point, as fractions of it
  extended tin = 0, tout = 1;
  auto within = [&](extended a, extended b, extended lo, extended hi) {
    if (a == b) return;
    extended ta = (lo - a) / (b - a), tb = (hi - a) / (b - a);
    if (ta > tb) std::swap(ta, tb);
    tin = std::max(tin, ta);
    tout = std::min(tout, tb);
  };
  within(x1, x2, pt.x - hx, pt.x + hx);
  within(y1, y2, pt.y - hy, pt.y + hy);
  // a named point at the segment's other end is exact: from it the way is
  // straight
  if ((k == 1 && l.beginlink > 0) || r.fromrow) tin = 0;
  if ((k + 1 == l.npts && l.endlink > 0) || r.torow) tout = 1;
  long at = k;
  if (tin > 0 && tin < tout) {
    insertrow(l, at++, x1 + tin * (x2 - x1), y1 + tin * (y2 - y1), ROUNDINGBETWEEN(r1, r2, tin));
  }
  insertrow(l, at++, pt.x, pt.y, pt.round);
  if (tout < 1 && tin < tout) insertrow(l, at, x1 + tout * (x2 - x1), y1 + tout * (y2 - y1), ROUNDINGBETWEEN(r1, r2, tout));
}

// The place where segments k of a and j of b meet, as coarse as the rows
// of the two.
spot meetingat(const linetype& a, long k, const linetype& b, long j, extended x, extended y) {
  return {x, y, COARSER(COARSER(a.round[k], a.round[k + 1]), COARSER(b.round[j], b.round[j + 1]))};
}

// Whether the place where segments k of a and j of b meet is within their
// rounding of point p.
bool crossingnear(const linetype& a, long k, const linetype& b, long j, extended x, extended y, smallint p) {
  return ONEPLACE(meetingat(a, k, b, j, x, y), POINTSPOT(p), reading::way);
}

// Whether a place where two lines meet lies within its rounding of a
// point: there the lines meet at that point, whether or not they name it.
bool nearanypoint(const spot& at) {
  for (smallint p = 1; p <= NPOINT; ++p)
    if (ONEPLACE(at, POINTSPOT(p), reading::way)) return true;
  return false;
}

// How many places two lines meet apart from the rows they share.
template <class linea, class lineb>
long meetingsapart(const linea& a, const lineb& b) {
  long n = 0;
  for (long k = 1; k < a.npts; ++k)
    for (long m = 1; m < b.npts; ++m) {
      extended x = 0, y = 0;
      if (meetapart(a, k, b, m, x, y)) ++n;
    }
  return n;
}

// Whether some segment of line l runs between the same two places as a
// segment of line m, but for one joining points p and q, when given.
template <class linel, class linem>
bool sameway(const linel& l, const linem& m, smallint p = 0, smallint q = 0) {
  auto same = [&](long k, long j) { return l.x[k] == m.x[j] && l.y[k] == m.y[j]; };
  auto atpoint = [&](long k, smallint i) { return i > 0 && l.x[k] == (*POINT)[i].x && l.y[k] == (*POINT)[i].y; };
  auto joins = [&](long k) { return (atpoint(k, p) && atpoint(k + 1, q)) || (atpoint(k, q) && atpoint(k + 1, p)); };
  for (long k = 1; k < l.npts; ++k)
    for (long j = 1; j < m.npts; ++j)
      if (((same(k, j) && same(k + 1, j + 1)) || (same(k, j + 1) && same(k + 1, j))) && !joins(k)) return true;
  return false;
}

// Whether line q joins points p and end.
bool joinsends(const linetype& q, smallint p, smallint end) {
  return (q.beginlink == p && q.endlink == end) || (q.beginlink == end && q.endlink == p);
}

bool closeswhole(smallint i, const routing& ri, smallint j, const routing& rj, smallint p);

// Whether line l, a trial of line `line`, meets a line but i and j apart
// more often than `line` does.
bool meetsmore(const trialline& l, smallint line, smallint i, smallint j) {
  for (smallint q = 1; q <= NLINE; ++q)
    if (q != i && q != j && meetingsapart(l, (*LINE)[q]) > meetingsapart((*LINE)[line], (*LINE)[q])) return true;
  return false;
}

// Whether taking lines i and j through point p, each within its own
// rounding, leaves them meeting apart fewer times, and neither then runs
// along another line's way: their crossing lay within the rows' rounding,
// though away from p along nearly parallel ways, and no field between them
// and a third line closes up, but for a sliver closed whole (closeswhole):
// a line so taken runs along lines on both sides of p, which the data
// cannot tell it from there.
bool routingundoes(smallint i, const routing& ri, smallint j, const routing& rj, smallint p) {
  const linetype& a = (*LINE)[i];
  const linetype& b = (*LINE)[j];
  trialline na(a), nb(b);
  applyroute(nb, rj, p);
  applyroute(na, ri, p);
  if (meetingsapart(na, nb) >= meetingsapart(a, b) || sameway(na, nb)) return false;
  for (smallint q = 1; q <= NLINE; ++q) {
    if (q == i || q == j) continue;
    if ((ri.how == route::insert && sameway(na, (*LINE)[q])) || (rj.how == route::insert && sameway(nb, (*LINE)[q])))
      return closeswhole(i, ri, j, rj, p);
  }
  return true;
}

// Whether taking lines i and j through point p as routed leaves each line
// so taken running along other lines on both sides of p, crossing none of
// them more often: the sliver between the crossing and p is then closed
// whole, no line going round it.
bool closeswhole(smallint i, const routing& ri, smallint j, const routing& rj, smallint p) {
  if (ri.how != route::insert && rj.how != route::insert) return false;
  const pointtype& pt = (*POINT)[p];
  auto along = [&](extended x1, extended y1, extended x2, extended y2) {
    for (smallint q = 1; q <= NLINE; ++q) {
      if (q == i || q == j) continue;
      const linetype& lq = (*LINE)[q];
      for (long m = 1; m < lq.npts; ++m)
        if ((lq.x[m] == x1 && lq.y[m] == y1 && lq.x[m + 1] == x2 && lq.y[m + 1] == y2) ||
            (lq.x[m] == x2 && lq.y[m] == y2 && lq.x[m + 1] == x1 && lq.y[m + 1] == y1))
          return true;
    }
    return false;
  };
  for (const auto& [line, r] : {std::pair{i, ri}, std::pair{j, rj}}) {
    if (r.how != route::insert) continue;
    trialline l((*LINE)[line]);
    applyroute(l, r, p);
    long at = r.from + 1;
    while (at < l.npts && !(l.x[at] == pt.x && l.y[at] == pt.y)) ++at;
    if (at >= l.npts) return false;
    if (!along(l.x[at - 1], l.y[at - 1], pt.x, pt.y) || !along(pt.x, pt.y, l.x[at + 1], l.y[at + 1])) return false;
    if (meetsmore(l, line, i, j)) return false;
  }
  return true;
}

// Whether taking line `line` through point p as routed has it meet a line
// but i and j apart more often: the rounding that takes it there keeps it
// on its side of every other line.
bool routemeetsmore(smallint line, const routing& r, smallint p, smallint i, smallint j) {
  if (r.how == route::none) return false;
  trialline l((*LINE)[line]);
  applyroute(l, r, p);
  return meetsmore(l, line, i, j);
}

// Routing r of line l through p, passing, taken straight from the row of
// its segment on the side of (x, y), where it crosses another line: the way
// then moves no farther than p lies off it, as from a named end, and a row
// of the data gives the crossing's side no other network than the line
// written without it.
routing straightto(const linetype& l, routing r, smallint p, extended x, extended y) {
  if (r.how != route::insert) return r;
  const long k = r.from;
  const extended dx = l.x[k + 1] - l.x[k], dy = l.y[k + 1] - l.y[k];
  auto along = [&](extended px, extended py) { return (px - l.x[k]) * dx + (py - l.y[k]) * dy; };
  // a crossing beyond the frame is cut away with the line
  if (!POINTSEEN(x, y)) return r;
  (along(x, y) < along((*POINT)[p].x, (*POINT)[p].y) ? r.fromrow : r.torow) = true;
  return r;
}

// Whether line l, routed straight by r through p, runs from p to its own
// row within their rounding of a third line's segment from p (of none of
// lines i and j): the way that line already is, as where a line taken
// straight from its named end runs along another's way.
bool straightalong(smallint i, smallint j, const linetype& l, const routing& r, smallint p) {
  if (!r.fromrow && !r.torow) return false;
  const pointtype& pt = (*POINT)[p];
  const spot own = rowspot(l, r.fromrow ? r.from : r.from + 1);
  for (smallint q = 1; q <= NLINE; ++q) {
    if (q == i || q == j) continue;
    const linetype& lq = (*LINE)[q];
    for (long m = 1; m <= lq.npts; ++m) {
      if (lq.x[m] != pt.x || lq.y[m] != pt.y) continue;
      if ((m > 1 && nearsegment(own, POINTSPOT(p), rowspot(lq, m - 1))) ||
          (m < lq.npts && nearsegment(own, POINTSPOT(p), rowspot(lq, m + 1))))
        return true;
    }
  }
  return false;
}

// Whether taking lines i and j through p, passing, undoes their crossing
// at (x, y) (routingundoes): within p's reach, or else straight from the
// rows on the crossing's side, the routes then so changed.
bool passingundoes(smallint i, routing& ri, smallint j, routing& rj, smallint p, extended x, extended y) {
  if (routingundoes(i, ri, j, rj, p)) return true;
  const routing si = straightto((*LINE)[i], ri, p, x, y), sj = straightto((*LINE)[j], rj, p, x, y);
  const bool straight = si.fromrow || si.torow || sj.fromrow || sj.torow;
  if (!straight || straightalong(i, j, (*LINE)[i], si, p) || straightalong(i, j, (*LINE)[j], sj, p) ||
      !routingundoes(i, si, j, sj, p))
    return false;
  ri = si;
  rj = sj;
  return true;
}

// Row of line b at row ka of line a, 0 for none.
long rowofat(const linetype& a, long ka, const linetype& b) {
  for (long j = 1; j <= b.npts; ++j)
    if (a.x[ka] == b.x[j] && a.y[ka] == b.y[j]) return j;
  return 0;
}

// Lines a and b one way between rows s < e of a, sb and eb of b, where the
// rows of a between lie within their rounding of b's way there (or, with
// either, b's of a's): the rows so lying taken out and the other's way put
// in. Whether the lines were so joined.
bool onewaybetween(linetype& a, long s, long e, linetype& b, long sb, long eb, bool either) {
  auto named = [](const linetype& l, long j) { return pointat(l.x[j], l.y[j]) > 0; };
  // whether rows from..to of l lie within their rounding of o's way
  // between its rows lo..hi
  auto within = [&](const linetype& l, long from, long to, const linetype& o, long lo, long hi) {
    if (from > to) return false;
    for (long j = from; j <= to; ++j) {
      if (named(l, j)) return false;
      bool near = false;
      for (long q = lo; q < hi && !near; ++q)
        near = nearsegment(rowspot(l, j), rowspot(o, q), rowspot(o, q + 1));
      if (!near) return false;
    }
    return true;
  };
  // whether rows from..to of l lie on o's way between its rows lo..hi as
  // written: l runs along o there already, and its rows, which other lines
  // may share, stay, else a row another line puts back in as running along
  // both would be taken out again, and so on without end
  auto onway = [&](const linetype& l, long from, long to, const linetype& o, long lo, long hi) {
    for (long j = from; j <= to; ++j) {
      bool on = false;
      for (long q = lo; q < hi && !on; ++q) on = ONSEGMENT(o, q, l.x[j], l.y[j]);
      if (!on) return false;
    }
    return true;
  };
  const long blo = std::min(sb, eb), bhi = std::max(sb, eb);
  auto takeway = [](linetype& l, long from, long to, const linetype& o, long ofrom, long oto) {
    // l's rows from+1..to-1 replaced by o's rows strictly between ofrom
    // and oto, in l's direction
    const long n = std::abs(oto - ofrom) - 1, step = oto > ofrom ? 1 : -1;
    if (l.npts - (to - from - 1) + n > maxlinestore) return false;
    droprows(l, from + 1, to - 1);
    for (long q = 0; q < n; ++q) {
      const long j = ofrom + step * (q + 1);
      insertrow(l, from + q, o.x[j], o.y[j], o.round[j]);
    }
    return true;
  };
  if (within(a, s + 1, e - 1, b, blo, bhi) && !onway(a, s + 1, e - 1, b, blo, bhi))
    return takeway(a, s, e, b, sb, eb);
  if (either && within(b, blo + 1, bhi - 1, a, s, e) && !onway(b, blo + 1, bhi - 1, a, s, e))
    return sb < eb ? takeway(b, sb, eb, a, s, e) : takeway(b, eb, sb, a, e, s);
  return false;
}

// Where lines a and b cross between two places they share (rows of both),
// and each row of one between them lies within its rounding of the other's
// way there, the two are one way between those places: the data cannot
// tell which runs on which side, and either order would leave a field
// between them that the other order needs on the far side. The rows of
// the one so lying (a's, where both do) are taken out and the other's way
// put in. Whether the lines were so joined.
bool runalong(linetype& a, long k, linetype& b, long m) {
  long s = k, e = k + 1, sb = 0, eb = 0;
  while (s >= 1 && (sb = rowofat(a, s, b)) == 0) --s;
  while (e <= a.npts && (eb = rowofat(a, e, b)) == 0) ++e;
  if (s < 1 || e > a.npts || !((sb <= m && m < eb) || (eb <= m && m < sb))) return false;
  return onewaybetween(a, s, e, b, sb, eb, true);
}

// How far along segment k of line l the place (x, y) lies, in shares of
// the segment.
extended alongsegment(const linetype& l, long k, extended x, extended y) {
  const extended dx = l.x[k + 1] - l.x[k], dy = l.y[k + 1] - l.y[k];
  return ((x - l.x[k]) * dx + (y - l.y[k]) * dy) / (dx * dx + dy * dy);
}

// Places 1 and 2 on segments s1 and s2 of line l made rows of it (a row
// already there kept): r1 and r2 their rows; put the rows put in, latest
// first, so that they can be taken out again in that order.
void placesasrows(linetype& l, long s1, extended x1, extended y1, long s2, extended x2, extended y2, long& r1,
                  long& r2, long (&put)[2], long& nput) {
  const bool oneearlier = s1 < s2 || (s1 == s2 && alongsegment(l, s1, x1, y1) <= alongsegment(l, s2, x2, y2));
  auto asrow = [&](long k, extended x, extended y, bool& in) {
    in = false;
    if (l.x[k] == x && l.y[k] == y) return k;
    if (l.x[k + 1] == x && l.y[k + 1] == y) return k + 1;
    insertrow(l, k, x, y, ROUNDINGBETWEEN(l.round[k], l.round[k + 1], alongsegment(l, k, x, y)));
    in = true;
    return k + 1;
  };
  // the later first: the earlier keeps its segment's number, and where put
  // in moves the later a row on
  long& rl = oneearlier ? r2 : r1;
  long& re = oneearlier ? r1 : r2;
  bool inl = false, ine = false;
  rl = oneearlier ? asrow(s2, x2, y2, inl) : asrow(s1, x1, y1, inl);
  re = oneearlier ? asrow(s1, x1, y1, ine) : asrow(s2, x2, y2, ine);
  if (ine) ++rl;
  nput = 0;
  if (inl) put[nput++] = rl;
  if (ine) put[nput++] = re;
}

// Where lines a and b share two places with no place shared between, and
// meet nowhere between them, the rows of one there lying within their
// rounding of the other's way: the two are one way between those places,
// as where they cross there (runalong). Rounded apart, the one may lie on
// either side of the other by a hair, and the fields beside them, each
// bounded by one of the two, would both cover the sliver between. Whether
// the lines were so joined.
bool lensalong(linetype& a, linetype& b) {
  for (long s = 1; s < a.npts; ++s) {
    const long sb = rowofat(a, s, b);
    if (sb == 0) continue;
    long e = s + 1, eb = 0;
    while (e <= a.npts && (eb = rowofat(a, e, b)) == 0) ++e;
    if (e > a.npts) return false;
    const long lo = std::min(sb, eb), hi = std::max(sb, eb);
    bool apart = e == s + 1 && hi == lo + 1;
    for (long j = lo + 1; j < hi && !apart; ++j) apart = rowofat(b, j, a) > 0;
    for (long k = s; k < e && !apart; ++k)
      for (long m = lo; m < hi && !apart; ++m) {
        extended x = 0, y = 0;
        apart = meetapart(a, k, b, m, x, y);
      }
    if (!apart && onewaybetween(a, s, e, b, sb, eb, true)) return true;
    s = e - 1;
  }
  return false;
}

bool onewaytoends(linetype& a, long s, long d, const linetype& b, long sb, long db);

// Where lines a and b cross at (x, y) on a's segment k and b's segment m,
// and a meets b nowhere on from there the way d to its open end, nor b a
// on from there to an open end of its own: where each row of either on
// that way, and the row of each before the crossing, not a point, lies
// within its rounding of the other's way there, the two are one way from the
// crossing to their ends (onewaytoends). Nothing beyond bounds the
// stretch, so both lines' rows are weighed; the data tell no crossing,
// and the lines' order where they leave the window is their rounding
// alone. The crossing is put into both, where it is not a row of one
// already (its k + 1 or m + 1). Whether they were so joined; where not,
// both are left as they were.
bool crossestoends(linetype& a, long k, long d, linetype& b, long m, extended x, extended y) {
  if ((d > 0 ? a.endlink : a.beginlink) != 0) return false;
  const bool ina = a.x[k + 1] != x || a.y[k + 1] != y, inb = b.x[m + 1] != x || b.y[m + 1] != y;
  if (ina) insertrow(a, k, x, y, ROUNDINGBETWEEN(a.round[k], a.round[k + 1], alongsegment(a, k, x, y)));
  if (inb) insertrow(b, m, x, y, ROUNDINGBETWEEN(b.round[m], b.round[m + 1], alongsegment(b, m, x, y)));
  // both now have the crossing as their rows k + 1 and m + 1; each
  // line's row before it must lie within its rounding of the other's way
  // there too: lines coming to the crossing from rows apart beyond their
  // rounding meet at an angle the data tell, however near their ends lie.
  // Nor may that row be a point: a line coming straight from its point
  // leaves it on the side the fields at the point give, and the stretch
  // is bounded there, not by the crossing
  auto nearway = [](const linetype& l, long j, const linetype& o) {
    if (pointat(l.x[j], l.y[j]) > 0) return false;
    bool near = false;
    for (long q = 1; q < o.npts && !near; ++q) near = nearsegment(rowspot(l, j), rowspot(o, q), rowspot(o, q + 1));
    return near;
  };
  const bool abefore = nearway(a, d > 0 ? k : k + 2, b);
  for (const long db : {1L, -1L}) {
    if (!abefore || (db > 0 ? b.endlink : b.beginlink) != 0 || !nearway(b, db > 0 ? m : m + 2, a)) continue;
    const long lo = db > 0 ? m + 1 : 1, hi = db > 0 ? b.npts : m + 1;
    bool meets = false;
    for (long j = lo; j <= hi && !meets; ++j) meets = j != m + 1 && rowofat(b, j, a) > 0;
    for (long j = lo; j < hi && !meets; ++j)
      for (long q = 1; q < a.npts && !meets; ++q) {
        extended cx = 0, cy = 0;
        meets = meetapart(a, q, b, j, cx, cy);
      }
    if (meets) continue;
    if (onewaytoends(a, k + 1, d, b, m + 1, db) || onewaytoends(b, m + 1, db, a, k + 1, d)) return true;
  }
  if (ina) droprows(a, k + 1, k + 1);
  if (inb) droprows(b, m + 1, m + 1);
  return false;
}

// Where lines a and b cross at (x, y) on a's segment k and b's segment m,
// through each other or at a row of one on the other's way, and the next
// place they meet, along both lines, is a crossing back, a row of one on
// the other's way (where it touches, or passes through at that row) or a
// row they share (at a point both name, say), with the rows of one between
// lying within their rounding of the other's way: the two are one way
// between those places, as between two places they share (runalong);
// where nothing is met on to open ends of both, from the crossing to those
// ends (crossestoends). Nearly parallel ways from points apart, or from one
// point, cross so where one row is rounded across the other line; no point
// joins them there, and the data tell no crossing. A crossing back is
// looked for on along a only: from the other crossing it is the one on
// along a. Whether the lines were so joined; where not, they are left as
// they were.
bool crossesback(linetype& a, long k, linetype& b, long m, extended x, extended y) {
  // whether segments q of a and j of b cross through each other, no row
  // of either on the other
  auto through = [&](long q, long j) {
    return ORIENT(a.x[q], a.y[q], a.x[q + 1], a.y[q + 1], b.x[j], b.y[j]) != 0 &&
           ORIENT(a.x[q], a.y[q], a.x[q + 1], a.y[q + 1], b.x[j + 1], b.y[j + 1]) != 0 &&
           ORIENT(b.x[j], b.y[j], b.x[j + 1], b.y[j + 1], a.x[q], a.y[q]) != 0 &&
           ORIENT(b.x[j], b.y[j], b.x[j + 1], b.y[j + 1], a.x[q + 1], a.y[q + 1]) != 0;
  };
  // the row of either that a meeting not through lies at, on the other's
  // segment there, as written
  auto rowon = [&](long q, long j, extended& rx, extended& ry) {
    for (const long r : {j, j + 1})
      if (ONSEGMENT(a, q, b.x[r], b.y[r])) {
        rx = b.x[r];
        ry = b.y[r];
        return true;
      }
    for (const long r : {q, q + 1})
      if (ONSEGMENT(b, j, a.x[r], a.y[r])) {
        rx = a.x[r];
        ry = a.y[r];
        return true;
      }
    return false;
  };
  if (a.npts + 2 > maxlinestore || b.npts + 2 > maxlinestore) return false;
  // a meeting at a row, where one line touches the other or passes through
  // it, is taken at that row as written, and from the segments that end
  // there (the row is a's k + 1 or b's m + 1), so only once
  const bool fromrow = !through(k, m);
  auto ends = [&](const linetype& l, long r) { return l.x[r] == x && l.y[r] == y; };
  if (fromrow && (!rowon(k, m, x, y) || !(ends(a, k + 1) || ends(b, m + 1)))) return false;
  const extended t = alongsegment(a, k, x, y);
  // how far along b, in segments, the crossing lies
  const extended onb = static_cast<extended>(m) + alongsegment(b, m, x, y);
  for (const long d : {1L, -1L}) {
    // the next meeting along a that way: a crossing on a's segment k2 and
    // b's m2 at (x2, y2), or a's row ks, which b shares
    long k2 = 0, m2 = 0, ks = 0;
    extended x2 = 0, y2 = 0, t2 = 0;
    auto crossingon = [&](long q) {
      for (long j = 1; j < b.npts; ++j) {
        extended cx = 0, cy = 0;
        if ((q == k && j == m) || !meetapart(a, q, b, j, cx, cy)) continue;
        // the row started from, met again on the segments beyond it
        extended rx = 0, ry = 0;
        if (fromrow && !through(q, j) && rowon(q, j, rx, ry) && rx == x && ry == y) continue;
        const extended tc = alongsegment(a, q, cx, cy);
        if ((q == k && d * (tc - t) <= 0) || (k2 != 0 && d * (tc - t2) >= 0)) continue;
        k2 = q;
        m2 = j;
        x2 = cx;
        y2 = cy;
        t2 = tc;
      }
    };
    if (d > 0) {
      for (long q = k; q <= a.npts && k2 == 0; ++q) {
        if (q > k && rowofat(a, q, b) > 0) {
          ks = q;
          break;
        }
        if (q < a.npts) crossingon(q);
      }
    } else {
      for (long q = k; q >= 1 && k2 == 0; --q) {
        crossingon(q);
        if (k2 == 0 && rowofat(a, q, b) > 0) {
          ks = q;
          break;
        }
      }
    }
    long ra1 = 0, ra2 = 0, rb1 = 0, rb2 = 0, puta[2] = {0, 0}, putb[2] = {0, 0}, na = 0, nb = 0;
    if (k2 != 0) {
      // a crossing through is met from the other crossing too, and taken
      // there, on along a; a row met, either way, is no crossing of its own
      const bool atrow = !through(k2, m2);
      if ((atrow && !rowon(k2, m2, x2, y2)) || (d < 0 && !atrow) || (x2 == x && y2 == y)) continue;
      // b between the two crossings shares no row with a either
      const long blo = std::min(m, m2), bhi = std::max(m, m2);
      bool shares = false;
      for (long j = blo + 1; j <= bhi; ++j) shares = shares || rowofat(b, j, a) > 0;
      if (shares) continue;
      placesasrows(a, k, x, y, k2, x2, y2, ra1, ra2, puta, na);
      placesasrows(b, m, x, y, m2, x2, y2, rb1, rb2, putb, nb);
    } else if (ks != 0) {
      // the shared row is the next meeting along b too: no row b shares
      // with a, nor crossing of the two, lies between it and the crossing
      const long sb = rowofat(a, ks, b);
      auto inside = [&](extended u) { return (onb < u && u < sb) || (sb < u && u < onb); };
      bool meets = false;
      for (long j = 1; j <= b.npts && !meets; ++j) meets = inside(static_cast<extended>(j)) && rowofat(b, j, a) > 0;
      for (long q = 1; q < a.npts && !meets; ++q)
        for (long j = 1; j < b.npts && !meets; ++j) {
          extended cx = 0, cy = 0;
          meets = meetapart(a, q, b, j, cx, cy) && inside(static_cast<extended>(j) + alongsegment(b, j, cx, cy));
        }
      if (meets) continue;
      // the shared row, already a row of both, is kept where it is
      placesasrows(a, k, x, y, ks, a.x[ks], a.y[ks], ra1, ra2, puta, na);
      placesasrows(b, m, x, y, sb, b.x[sb], b.y[sb], rb1, rb2, putb, nb);
    } else {
      if (crossestoends(a, k, d, b, m, x, y)) return true;
      continue;
    }
    if (ra1 < ra2 ? onewaybetween(a, ra1, ra2, b, rb1, rb2, true) : onewaybetween(a, ra2, ra1, b, rb2, rb1, true))
      return true;
    for (long q = 0; q < na; ++q) droprows(a, puta[q], puta[q]);
    for (long q = 0; q < nb; ++q) droprows(b, putb[q], putb[q]);
  }
  return false;
}

// Where a row of line b lies on segment k of line a as written, between
// a's rows, and the two run along each other within their rounding from
// there to a row they share: that row is made a row of a too, which
// leaves a's way as it was, and the two are one way between the shared
// rows (runalong). A row of one rounded onto the other's way there cannot
// tell on which side the lines run. Whether they were so joined; where
// not, a is left as it was.
bool touchesalong(linetype& a, long k, linetype& b, long m) {
  for (const long r : {m, m + 1}) {
    const extended x = b.x[r], y = b.y[r];
    if (!ONSEGMENT(a, k, x, y) || (x == a.x[k] && y == a.y[k]) || (x == a.x[k + 1] && y == a.y[k + 1])) continue;
    if (a.npts + 1 > maxlinestore) return false;
    insertrow(a, k, x, y, ROUNDINGBETWEEN(a.round[k], a.round[k + 1], alongsegment(a, k, x, y)));
    for (const long ka : {k, k + 1})
      for (const long mb : {r - 1, r})
        if (mb >= 1 && mb < b.npts && runalong(a, ka, b, mb)) return true;
    // a written along one side of the frame there, and b coming to that
    // side from inside and going back, or ending there: b touches a
    // without crossing it, and the row is theirs both
    const smallint side = FRAMESIDEAT(a.x[k], a.y[k]);
    auto inside = [&](long j) {
      if (j < 1 || j > b.npts) return (j < 1 ? b.beginlink : b.endlink) <= 0;
      return inward(side, b.x[j], b.y[j]) > 0;
    };
    if (side != 0 && FRAMESIDEAT(a.x[k + 2], a.y[k + 2]) == side && pointat(x, y) == 0 && inside(r - 1) &&
        inside(r + 1))
      return true;
    droprows(a, k + 1, k + 1);
    return false;
  }
  return false;
}

// Lines a and b, from their rows s and sb on (a going the way d, b the way
// db), run to open ends with no row shared between: where each row of
// either there lies within its rounding of the other's way, the data
// cannot tell the two apart, nor their order where they leave the window,
// and a takes b's way to its end. Whether a was so taken.
bool onewaytoends(linetype& a, long s, long d, const linetype& b, long sb, long db) {
  const long ea = d > 0 ? a.npts : 1, eb = db > 0 ? b.npts : 1;
  if ((d > 0 ? a.endlink : a.beginlink) != 0 || (db > 0 ? b.endlink : b.beginlink) != 0) return false;
  if (ea == s || eb == sb) return false;
  // whether rows of l from f on the way step to its end lie within their
  // rounding of o's way from g on the way ostep to its end
  auto within = [&](const linetype& l, long f, long step, long end, const linetype& o, long g, long ostep,
                    long oend) {
    for (long j = f + step; j != end + step; j += step) {
      if (pointat(l.x[j], l.y[j]) > 0) return false;
      bool near = false;
      for (long q = g; q != oend && !near; q += ostep) near = nearsegment(rowspot(l, j), rowspot(o, q), rowspot(o, q + ostep));
      if (!near) return false;
    }
    return true;
  };
  if (!within(a, s, d, ea, b, sb, db, eb) || !within(b, sb, db, eb, a, s, d, ea)) return false;
  // a already on another line's way to its end keeps it: else, with a
  // third line as near, a would be taken from one to the other for ever
  for (smallint q = 1; q <= NLINE; ++q) {
    const linetype& o = (*LINE)[q];
    if (&o == &a) continue;
    bool on = true;
    for (long j = s + d; j != ea + d && on; j += d) on = rowofat(a, j, o) > 0;
    if (on) return false;
  }
  const long na = std::abs(ea - s), nb = std::abs(eb - sb);
  if (a.npts - na + nb > maxlinestore) return false;
  if (d > 0) {
    droprows(a, s + 1, a.npts);
    for (long q = 1; q <= nb; ++q) insertrow(a, a.npts, b.x[sb + db * q], b.y[sb + db * q], b.round[sb + db * q]);
  } else {
    droprows(a, 1, s - 1);
    for (long q = 1; q <= nb; ++q) insertrow(a, 0, b.x[sb + db * q], b.y[sb + db * q], b.round[sb + db * q]);
  }
  return true;
}

// Where line a was taken through a point p it does not name, and line b
// leaves p, the two meeting again further on with a's rows between within
// their rounding of b's way: a passes p on the side the data put it, which
// they cannot tell from b's, and b's lines there run from p, so a runs
// along b from p, and from each place they meet on to the next. Whether a
// was so taken.
bool passesalong(linetype& a, linetype& b) {
  for (long r = 2; r < a.npts; ++r) {
    const smallint p = pointat(a.x[r], a.y[r]);
    if (p == 0 || p == a.beginlink || p == a.endlink) continue;
    const long rb = rowofat(a, r, b);
    if (rb == 0 || !((rb == 1 && b.beginlink == p) || (rb == b.npts && b.endlink == p))) continue;
    for (const long d : {-1L, 1L})
      for (long s = r, sb = rb, db = rb == 1 ? 1 : -1;;) {
        long e = s + d, eb = 0;
        while (e >= 1 && e <= a.npts && (eb = rowofat(a, e, b)) == 0) e += d;
        if (e < 1 || e > a.npts) {
          if (onewaytoends(a, s, d, b, sb, db)) return true;
          break;
        }
        if (std::abs(e - s) >= 2 &&
            (d > 0 ? onewaybetween(a, s, e, b, sb, eb, false) : onewaybetween(a, e, s, b, eb, sb, false)))
          return true;
        db = eb > sb ? 1 : -1;
        s = e;
        sb = eb;
      }
  }
  return false;
}

// Where line a's segment k ends at point p, and line b, crossing that
// segment at (x, y) on its own segment m, passes p within their rounding
// on its way to its own named end, which a third line joins to p: the
// sliver between the crossing, p and that end is closed, b taken from the
// crossing along a to p and on along the third line, each line keeping its
// places but for the crossing put into both. The two lines' rows cross
// within their rounding of each other and no point joins them there; the
// data name the side of a that b keeps by the point b ends at, and b then
// runs only along lines, cutting no field. Only where the two then meet
// apart fewer times and b meets no other line more often, nor runs along
// one but between p and its end, where the third line runs (and any line
// taken along it): the field between b and a line it runs along elsewhere
// goes on beyond p, bounded by a; only its corner closes up. With na and nb
// the two lines so (as trials), -1 where no such sliver lies there, 0 where
// the lines cannot be so taken, 1 where they can.
int closesliver(smallint i, long k, smallint j, long m, extended x, extended y, smallint p, trialline& na,
                trialline& nb) {
  const linetype& a = (*LINE)[i];
  const linetype& b = (*LINE)[j];
  const pointtype& pt = (*POINT)[p];
  auto at = [&](long q) { return a.x[q] == pt.x && a.y[q] == pt.y; };
  if (!at(k) && !at(k + 1)) return -1;
  routing rb = routeof(b, m, p), ra;
  // where the crossing is within their rounding of p, or b taken straight
  // through p undoes it, that is their way
  if (rb.how != route::insert || a.npts + 1 > maxlinestore || crossingnear(a, k, b, m, x, y, p) ||
      passingundoes(i, ra, j, rb, p, x, y))
    return -1;
  // which side of p b passes is told by the rounding that tells places
  // apart
  auto apart = [](spot place) {
    place.round.wayx = std::fabs(place.round.apartx);
    place.round.wayy = std::fabs(place.round.aparty);
    return place;
  };
  if (!nearsegment(apart(POINTSPOT(p)), apart(LINESPOT(j, m)), apart(LINESPOT(j, m + 1)))) return -1;
  // p before or after the crossing along b's segment, and passed by it
  const extended dx = b.x[m + 1] - b.x[m], dy = b.y[m + 1] - b.y[m];
  const extended tp = (pt.x - b.x[m]) * dx + (pt.y - b.y[m]) * dy, tx = (x - b.x[m]) * dx + (y - b.y[m]) * dy;
  if (tp <= 0 || tp >= dx * dx + dy * dy) return -1;
  na.reset(a);
  nb.reset(b);
  insertrow(na, k, x, y, COARSER(a.round[k], a.round[k + 1]));
  const rounding rx = COARSER(b.round[m], b.round[m + 1]);
  // the sliver lies between the crossing, p and the named end of b beyond
  // p, which b then goes to straight: elsewhere b's way on from p would
  // cut through the fields beside a
  const smallint end = tp >= tx ? (m + 1 == b.npts ? b.endlink : smallint{0}) : (m == 1 ? b.beginlink : smallint{0});
  if (end <= 0 || (x == (*POINT)[end].x && y == (*POINT)[end].y)) return -1;
  if (tp >= tx) {
    insertrow(nb, m, x, y, rx);
    insertrow(nb, m + 1, pt.x, pt.y, pt.round);
  } else {
    insertrow(nb, m, pt.x, pt.y, pt.round);
    insertrow(nb, m + 1, x, y, rx);
  }
  if (meetingsapart(na, nb) >= meetingsapart(a, b)) return 0;
  bool closed = false;
  for (smallint q = 1; q <= NLINE; ++q) {
    if (q == i || q == j) continue;
    const linetype& lq = (*LINE)[q];
    if (meetingsapart(nb, lq) > meetingsapart(b, lq) || sameway(nb, lq, p, end)) return 0;
    closed = closed || (joinsends(lq, p, end) && sameway(nb, lq));
  }
  return closed ? 1 : 0;
}

// Of the slivers that close a crossing of lines i and j at (x, y), the
// one whose point lies nearest the crossing (in shares of the window), the
// line moved the least; where that cannot be closed, none. Whether one was.
bool closenearestsliver(smallint i, long k, smallint j, long m, extended x, extended y, const smallint (&ends)[4]) {
  trialline na, nb, ta, tb;
  smallint into = 0, from = 0;
  extended best = -1;
  bool closes = false;
  for (const smallint p : ends) {
    if (p <= 0) continue;
    const extended ex = ((*POINT)[p].x - x) / (XHIGH - XLOW), ey = ((*POINT)[p].y - y) / (YHIGH - YLOW);
    const extended d = ex * ex + ey * ey;
    for (const bool turn : {false, true}) {
      if (best >= 0 && d >= best) continue;
      const int how = turn ? closesliver(j, m, i, k, x, y, p, ta, tb) : closesliver(i, k, j, m, x, y, p, ta, tb);
      if (how < 0) continue;
      best = d;
      closes = how > 0;
      if (!closes) continue;
      na = ta;
      nb = tb;
      into = turn ? j : i;
      from = turn ? i : j;
    }
  }
  if (!closes) return false;
  na.applyto((*LINE)[into]);
  nb.applyto((*LINE)[from]);
  // the crossing put into both, and the point into the line that passes it
  const long kinto = into == i ? k : m, kfrom = into == i ? m : k;
  sharenewrows(into, kinto + 1, kinto + 1);
  sharenewrows(from, kfrom + 1, kfrom + 2);
  return true;
}

// Where segment m of line b runs from a's way onto a's segment k, its row
// there lying on that segment as written, and a's rows between lie on b's
// segment, the two run together there: that row is made a row of a too,
// which leaves a's way as it was, and the stretch is then one way of both,
// the lines parting where their rows part. Whether a row was so put in.
// Its other row may be a row of a or lie between two: a line written along
// the frame shares no row with another that runs on it for a stretch. Rows
// there at named points are left to the routes: one taken into a line
// that does not name it would take that line through the point.
bool runstogether(linetype& a, long k, const linetype& b, long m) {
  auto rowofa = [&](long r) {
    return (b.x[r] == a.x[k] && b.y[r] == a.y[k]) || (b.x[r] == a.x[k + 1] && b.y[r] == a.y[k + 1]);
  };
  // whether b's row o lies on a's way with a's rows from there to segment
  // k on b's segment m
  auto fromaway = [&](long o) {
    for (long q = 1; q < a.npts; ++q) {
      if (!ONSEGMENT(a, q, b.x[o], b.y[o])) continue;
      const long lo = q < k ? q + 1 : k + 1, hi = q < k ? k : q;
      bool along = true;
      for (long j = lo; j <= hi && along; ++j) along = ONSEGMENT(b, m, a.x[j], a.y[j]);
      if (along) return true;
    }
    return false;
  };
  for (const long r : {m, m + 1}) {
    const long o = r == m ? m + 1 : m;
    const extended x = b.x[r], y = b.y[r];
    if (rowofa(r) || !ONSEGMENT(a, k, x, y) || a.npts + 1 > maxlinestore) continue;
    if (!rowofa(o) && (pointat(x, y) > 0 || pointat(b.x[o], b.y[o]) > 0 || !fromaway(o))) continue;
    const extended t =
        a.x[k] != a.x[k + 1] ? (x - a.x[k]) / (a.x[k + 1] - a.x[k]) : (y - a.y[k]) / (a.y[k + 1] - a.y[k]);
    insertrow(a, k, x, y, ROUNDINGBETWEEN(a.round[k], a.round[k + 1], t));
    return true;
  }
  return false;
}

// Changes allowed to the joining, beyond which lines that keep meeting near
// their points are left as they are.
constexpr long maxjoins = 4 * maxline;
constexpr std::size_t digestfactor = 1000003;  // a prime, mixing one value into the digest

}  // namespace

bool LINESCROSS(smallint i, smallint j, extended& x, extended& y, bool nearpoints) {
  const linetype& a = (*LINE)[i];
  const linetype& b = (*LINE)[j];
  // a point both lines name, within their rounding of where they meet, is
  // that meeting: the two meet there by their own data
  auto nearshared = [&](const spot& at) {
    if (const smallint c = crossoverof(i, j); c > 0 && ONEPLACE(at, POINTSPOT(c), reading::way)) return true;
    for (const smallint p : {a.beginlink, a.endlink})
      if (p > 0 && (p == b.beginlink || p == b.endlink) && ONEPLACE(at, POINTSPOT(p), reading::way)) return true;
    return false;
  };
  for (long k = 1; k < a.npts; ++k)
    for (long m = 1; m < b.npts; ++m) {
      if (!meetapart(a, k, b, m, x, y)) continue;
      const spot at = meetingat(a, k, b, m, x, y);
      if (nearpoints ? !nearshared(at) : !nearanypoint(at)) return true;
    }
  return false;
}

namespace {

// Where ray u from place o lies counterclockwise from ray base: 0 within
// the first half turn, 1 in the second, 2 along base itself.
int halfturnfrom(extended ox, extended oy, extended bx, extended by, extended ux, extended uy) {
  const int c = CROSSSIGN(ox, oy, bx, by, ox, oy, ux, uy);
  if (c != 0) return c > 0 ? 0 : 1;
  return DOTSIGN(ox, oy, bx, by, ox, oy, ux, uy) > 0 ? 2 : 1;
}

// Whether, going counterclockwise from ray base at o, ray u comes before
// ray v: 1 yes, -1 no, 0 when either runs along base or the two run
// along each other, which tells no side.
int comesbefore(extended ox, extended oy, extended bx, extended by, extended ux, extended uy, extended vx,
                extended vy) {
  const int hu = halfturnfrom(ox, oy, bx, by, ux, uy), hv = halfturnfrom(ox, oy, bx, by, vx, vy);
  if (hu == 2 || hv == 2) return 0;
  if (hu != hv) return hu < hv ? 1 : -1;
  const int c = CROSSSIGN(ox, oy, ux, uy, ox, oy, vx, vy);
  return c > 0 ? 1 : c < 0 ? -1 : 0;
}

}  // namespace

bool LINESCROSSATROW(smallint i, smallint j, extended& x, extended& y) {
  const linetype& a = (*LINE)[i];
  const linetype& b = (*LINE)[j];
  auto same = [&](long k, long m) { return m >= 1 && m <= b.npts && a.x[k] == b.x[m] && a.y[k] == b.y[m]; };
  for (long k = 2; k < a.npts; ++k)
    for (long m = 2; m < b.npts; ++m) {
      // each run of shared rows once, from its first row along a
      if (!same(k, m) || same(k - 1, m - 1) || same(k - 1, m + 1)) continue;
      const long d = same(k + 1, m + 1) ? 1 : same(k + 1, m - 1) ? -1 : 0;
      long k1 = k, m1 = m;
      while (d != 0 && k1 < a.npts && same(k1 + 1, m1 + d)) {
        ++k1;
        m1 += d;
      }
      const long bin = d == 0 ? m - 1 : m - d, bout = d == 0 ? m + 1 : m1 + d;
      if (k1 == a.npts || bin < 1 || bin > b.npts || bout < 1 || bout > b.npts) continue;
      bool nearpoint = false;
      for (long q = k; q <= k1; ++q) nearpoint = nearpoint || nearanypoint(LINESPOT(i, q));
      if (nearpoint) continue;
      int crosses = 0;
      if (d == 0) {
        // one row: b comes in on one side of a's two ways and goes on on
        // the other
        auto side = [&](long q) {
          return comesbefore(a.x[k], a.y[k], a.x[k - 1], a.y[k - 1], b.x[q], b.y[q], a.x[k + 1], a.y[k + 1]);
        };
        const int bi = side(bin), bo = side(bout);
        crosses = bi != 0 && bo != 0 && bi != bo;
      } else {
        // a run of rows: a comes in on one side of b and goes on on the
        // other, read from the run at each of its ends
        const int in = comesbefore(a.x[k], a.y[k], a.x[k + 1], a.y[k + 1], a.x[k - 1], a.y[k - 1], b.x[bin], b.y[bin]);
        const int out = comesbefore(a.x[k1], a.y[k1], a.x[k1 - 1], a.y[k1 - 1], a.x[k1 + 1], a.y[k1 + 1], b.x[bout],
                                    b.y[bout]);
        crosses = in != 0 && out != 0 && in == out;
      }
      if (!crosses) continue;
      x = a.x[k];
      y = a.y[k];
      return true;
    }
  return false;
}

namespace {

// The unit of a place's rounding along a side of the frame, by which ends
// on that side are told apart.
extended alongside(smallint side, const rounding& r) { return side == bottom || side == top ? r.apartx : r.aparty; }

// The sides of the frame a place lies on within its rounding, one bit
// each: a place at a corner lies on both sides that meet there.
unsigned framesides(const spot& a) {
  const extended nearx = frameunits * a.round.apartx, neary = frameunits * a.round.aparty;
  unsigned sides = 0;
  if (std::fabs(a.y - YLOW) <= neary) sides |= 1U << bottom;
  if (std::fabs(a.x - XLOW) <= nearx) sides |= 1U << left;
  if (std::fabs(a.y - YHIGH) <= neary) sides |= 1U << top;
  if (std::fabs(a.x - XHIGH) <= nearx) sides |= 1U << right;
  return sides;
}

// A side of the frame both places lie on, 0 where none: the one FRAMESIDE
// gives the first where both lie on it, else the first they share. Two
// ends of which one is at a corner are compared along the side the other
// lies on, whichever of the two FRAMESIDE names first.
smallint sharedside(const spot& a, const spot& b) {
  const unsigned both = framesides(a) & framesides(b);
  const smallint first = FRAMESIDE(a);
  if (first != 0 && (both & (1U << first)) != 0) return first;
  for (const smallint side : {bottom, left, top, right})
    if ((both & (1U << side)) != 0) return side;
  return 0;
}

// Open ends that joinframeends gave another's place along the frame, and
// that other end: openendsontoframe puts each where it puts the other.
// Read at a corner as on the other side it lies on, an end so joined
// would else be put back on the corner, a sliver apart again.
class joinedends {
 public:
  void put(smallint line, long end, smallint to, long toend) {
    for (smallint n = 1; n <= count; ++n)
      if (ends[n].line == line && ends[n].end == end) {
        ends[n] = {line, end, to, toend};
        return;
      }
    if (count >= maxjoined) return;
    ends[++count] = {line, end, to, toend};
  }
  bool has(smallint line, long end) const {
    for (smallint n = 1; n <= count; ++n)
      if (ends[n].line == line && ends[n].end == end) return true;
    return false;
  }
  // Each joined end put at the place of the end it was joined to, or of
  // the end that one was joined to in turn, as it now is.
  void follow() const {
    for (smallint n = 1; n <= count; ++n) {
      smallint to = ends[n].to;
      long toend = ends[n].toend;
      for (smallint step = 1; step <= count; ++step) {
        smallint next = 0;
        for (smallint m = 1; m <= count && next == 0; ++m)
          if (ends[m].line == to && ends[m].end == toend) next = m;
        if (next == 0) break;
        to = ends[next].to;
        toend = ends[next].toend;
      }
      linetype& l = (*LINE)[ends[n].line];
      const linetype& o = (*LINE)[to];
      l.x[ends[n].end] = o.x[toend];
      l.y[ends[n].end] = o.y[toend];
    }
  }

 private:
  struct joint {
    smallint line = 0;
    long end = 0;
    smallint to = 0;
    long toend = 0;
  };
  static constexpr smallint maxjoined = 2 * maxline;
  farray<joint, 1, maxjoined> ends;
  smallint count = 0;
};

// Open ends on one side of the frame of two lines that leave one point,
// within their rounding of each other, are one place there: the data
// cannot tell their order along the side, and written the wrong way round
// they would leave a sliver between them covered twice. The coarser takes
// the finer's place. Lines from different points keep their ends: their
// order is told by their ways.
void joinframeends(joinedends& joined) {
  for (smallint i = 1; i <= NLINE; ++i)
    for (smallint j = 1; j <= NLINE; ++j) {
      if (i == j) continue;
      linetype& a = (*LINE)[i];
      const linetype& b = (*LINE)[j];
      if (a.npts < 2 || b.npts < 2) continue;
      for (const long ka : {1L, static_cast<long>(a.npts)}) {
        const smallint afrom = ka == 1 ? a.endlink : a.beginlink;
        if ((ka == 1 ? a.beginlink : a.endlink) != 0 || afrom <= 0) continue;
        for (const long kb : {1L, static_cast<long>(b.npts)}) {
          if ((kb == 1 ? b.beginlink : b.endlink) != 0 || (kb == 1 ? b.endlink : b.beginlink) != afrom) continue;
          const spot sa = LINESPOT(i, ka), sb = LINESPOT(j, kb);
          const smallint side = sharedside(sa, sb);
          if (side == 0 || !POINTSEEN(sa.x, sa.y) || !POINTSEEN(sb.x, sb.y)) continue;
          if ((sa.x == sb.x && sa.y == sb.y) || !ONEPLACE(sa, sb, reading::apart)) continue;
          if (std::fabs(alongside(side, sa.round)) <= std::fabs(alongside(side, sb.round))) continue;
          if (side == bottom || side == top) {
            a.x[ka] = sb.x;
          } else {
            a.y[ka] = sb.y;
          }
          joined.put(i, ka, j, kb);
        }
      }
    }
}

// Whether line l, from its row m on to its next row the way db, passes
// point p within the rounding of that next row (an end of the line at a
// point) and of p: a coarse row before it does not widen the pass.
bool passesnear(const linetype& l, long m, long db, smallint p) {
  const spot end = rowspot(l, m + db);
  spot from = rowspot(l, m);
  from.round = end.round;
  return nearsegment(POINTSPOT(p), from, end);
}

// Where lines a and b cross at the one row they share, away from every
// point, and on from it a runs straight to its named end p while b runs
// straight to its own named end, which a third line joins to p, b passing
// p within their rounding (where the two ends are apart, within the
// rounding of b's end itself, so that two lines sharing a row touch there
// whatever side each leaves it by): between that row and p the data cannot tell the
// two ways apart, and b's end lies across a only by its rounding. b is
// taken from the row along a to p and on along the third line, keeping
// the side of a it comes in on from the far side of the row, where it
// then meets no line apart more often. Of the ends of the two lines so
// passed, the one nearest the way that passes it (in shares of the
// window) is taken: the other side of the row tells the lines' order
// better. Whether a line was so taken.
bool closesatrow(smallint li, smallint lj) {
  trialline best;
  smallint moved = 0;
  extended nearest = -1;
  auto namedend = [](const linetype& l, long r) {
    return r == 1 ? l.beginlink : r == l.npts ? l.endlink : smallint{0};
  };
  for (const auto& [i, j] : {std::pair{li, lj}, std::pair{lj, li}}) {
    const linetype& a = (*LINE)[i];
    const linetype& b = (*LINE)[j];
    if (b.npts + 1 > maxlinestore) continue;
    for (long k = 2; k < a.npts; ++k) {
      const long m = rowofat(a, k, b);
      if (m <= 1 || m >= b.npts || rowofat(a, k - 1, b) > 0 || rowofat(a, k + 1, b) > 0) continue;
      // b comes in on one side of a's two ways at the row and goes on on
      // the other
      auto side = [&](long q) {
        return comesbefore(a.x[k], a.y[k], a.x[k - 1], a.y[k - 1], b.x[q], b.y[q], a.x[k + 1], a.y[k + 1]);
      };
      const int bi = side(m - 1), bo = side(m + 1);
      if (bi == 0 || bo == 0 || bi == bo || nearanypoint(LINESPOT(i, k))) continue;
      for (const long d : {-1L, 1L})
        for (const long db : {-1L, 1L}) {
          const smallint p = namedend(a, k + d), end = namedend(b, m + db);
          if (p <= 0 || end <= 0 || p == end || !nearsegment(POINTSPOT(p), rowspot(b, m), rowspot(b, m + db)) ||
              (!ONEPLACE(POINTSPOT(p), POINTSPOT(end), reading::way) && !passesnear(b, m, db, p)))
            continue;
          const pointtype& pt = (*POINT)[p];
          const extended ux = (b.x[m + db] - b.x[m]) / (XHIGH - XLOW), uy = (b.y[m + db] - b.y[m]) / (YHIGH - YLOW);
          const extended px = (pt.x - b.x[m]) / (XHIGH - XLOW), py = (pt.y - b.y[m]) / (YHIGH - YLOW);
          const extended off = std::fabs(ux * py - uy * px) / std::sqrt(ux * ux + uy * uy);
          if (nearest >= 0 && off >= nearest) continue;
          trialline nb(b);
          insertrow(nb, db > 0 ? m : m - 1, pt.x, pt.y, pt.round);
          bool third = false, fewer = true;
          for (smallint q = 1; q <= NLINE && fewer; ++q) {
            if (q == j) continue;
            const linetype& lq = (*LINE)[q];
            fewer = meetingsapart(nb, lq) <= meetingsapart(b, lq);
            third = third || (q != i && joinsends(lq, p, end) && sameway(nb, lq));
          }
          if (!third || !fewer) continue;
          nearest = off;
          best = nb;
          moved = j;
        }
    }
  }
  if (moved == 0) return false;
  best.applyto((*LINE)[moved]);
  return true;
}

// Two lines that cross within their rounding of a side of the frame, each
// going through that side in the segment that crosses: no point joins them
// there, and as far as their rows tell, they cross beyond the frame. Both
// are taken through the place on the side by the crossing, where they
// touch and leave the window together, but only where that leaves them
// meeting apart less and meeting no third line more. Whether they were so
// taken.
bool crossesatframe(smallint i, long k, smallint j, long m, extended x, extended y) {
  linetype& a = (*LINE)[i];
  linetype& b = (*LINE)[j];
  if (!POINTSEEN(x, y) || a.npts + 1 > maxlinestore || b.npts + 1 > maxlinestore) return false;
  const rounding ra = ROUNDINGBETWEEN(a.round[k], a.round[k + 1], alongsegment(a, k, x, y));
  const rounding rb = ROUNDINGBETWEEN(b.round[m], b.round[m + 1], alongsegment(b, m, x, y));
  const smallint side = FRAMESIDE(spot{x, y, ra});
  if (side == 0 || FRAMESIDE(spot{x, y, rb}) != side) return false;
  // through the side in the segment, not along it
  const auto leaves = [side](const linetype& l, long s) {
    const extended d1 = inward(side, l.x[s], l.y[s]), d2 = inward(side, l.x[s + 1], l.y[s + 1]);
    return (d1 <= 0 || d2 <= 0) && (d1 > 0 || d2 > 0);
  };
  if (!leaves(a, k) || !leaves(b, m)) return false;
  extended px = x, py = y;
  ontoframe(static_cast<smallint>(-side), px, py);
  // a row on the side gives way to the place, else the place is put in
  bool atpoint = false;
  const auto through = [&](const linetype& l, long s, const rounding& r) {
    trialline t(l);
    if ((l.x[s] == px && l.y[s] == py) || (l.x[s + 1] == px && l.y[s + 1] == py)) return t;
    const long on = inward(side, l.x[s], l.y[s]) == 0 ? s : inward(side, l.x[s + 1], l.y[s + 1]) == 0 ? s + 1 : 0;
    atpoint = atpoint || (on == 1 && l.beginlink > 0) || (on == l.npts && l.endlink > 0);
    if (on != 0) t.drop(on, on);
    t.insert(on != 0 ? on - 1 : s, px, py, onedge(side, r));
    return t;
  };
  const trialline na = through(a, k, ra), nb = through(b, m, rb);
  if (atpoint) return false;
  if (meetingsapart(na, nb) >= meetingsapart(a, b) || meetsmore(na, i, i, j) || meetsmore(nb, j, i, j)) return false;
  na.applyto(a);
  nb.applyto(b);
  return true;
}

// Where lines a and b cross, and both run on to open ends on one side of
// the frame that lie within the rounding of one of them from the other's:
// the data do not tell the two ends' order along the frame, and where the
// one end, put at the other's place, leaves the two crossing nowhere, the
// crossing is that rounding alone, no evidence; the lines end at one
// place. An end moves only within its own rounding, the coarser first, and
// only where no row of another line lies in the sliver it sweeps: such a
// row, between the two ends, tells their order (and a third line crossed
// anew would have one there). Whether an end was so moved.
bool endsacrossonframe(smallint li, smallint lj) {
  const linetype& la = (*LINE)[li];
  if (la.npts < 2 || (*LINE)[lj].npts < 2 || meetingsapart(la, (*LINE)[lj]) == 0) return false;
  for (const auto& [i, j] : {std::pair{li, lj}, std::pair{lj, li}})
    for (const long ka : {1L, static_cast<long>((*LINE)[i].npts)})
      for (const long kb : {1L, static_cast<long>((*LINE)[j].npts)}) {
        const linetype& a = (*LINE)[i];
        const linetype& b = (*LINE)[j];
        if ((ka == 1 ? a.beginlink : a.endlink) != 0 || (kb == 1 ? b.beginlink : b.endlink) != 0) continue;
        const spot sa = LINESPOT(i, ka), sb = LINESPOT(j, kb);
        const smallint side = sharedside(sa, sb);
        if (side == 0 || !POINTSEEN(sa.x, sa.y) || !POINTSEEN(sb.x, sb.y)) continue;
        if (sa.x == sb.x && sa.y == sb.y) continue;
        const extended gap = side == bottom || side == top ? sb.x - sa.x : sb.y - sa.y;
        const extended own = std::fabs(alongside(side, sa.round)), other = std::fabs(alongside(side, sb.round));
        if (std::fabs(gap) > frameunits * own || own < other) continue;
        trialline na(a);
        droprows(na, ka, ka);
        insertrow(na, ka == 1 ? 0 : ka - 1, sb.x, sb.y, sa.round);
        if (meetingsapart(na, b) != 0) continue;
        const long kp = ka == 1 ? 2 : ka - 1;
        bool swept = false;
        for (smallint q = 1; q <= NLINE && !swept; ++q) {
          const linetype& lq = (*LINE)[q];
          if (q == i) continue;
          for (long r = 1; r <= lq.npts && !swept; ++r) {
            const extended tx = lq.x[r], ty = lq.y[r];
            if ((tx == a.x[kp] && ty == a.y[kp]) || (tx == sb.x && ty == sb.y)) continue;
            const int t1 = ORIENT(a.x[kp], a.y[kp], sa.x, sa.y, tx, ty), t2 = ORIENT(sa.x, sa.y, sb.x, sb.y, tx, ty),
                      t3 = ORIENT(sb.x, sb.y, a.x[kp], a.y[kp], tx, ty);
            swept = (t1 >= 0 && t2 >= 0 && t3 >= 0) || (t1 <= 0 && t2 <= 0 && t3 <= 0);
          }
        }
        if (swept) continue;
        na.applyto((*LINE)[i]);
        return true;
      }
  return false;
}

// A point a line names that lies beyond its end rows, within the rounding
// that makes it one place with an end row, is at that row: the row is
// joined to it, so that the point is put into the line as written. Both
// points are weighed against the rows as read; a line named against its
// rows' direction has its points at the other end rows. Where both points
// are at one row, the begin takes it, but a line of two rows with both
// points on or at it runs from the one to the other, each row joined to a
// point; elsewhere a row is not joined where the other point would leave
// the rows it lies on. A line with one point and an open end joins only
// the row at the point's own end: at the open end, the line would shrink
// to a stub beside the point.
void joinendrows(smallint i) {
  linetype& l = (*LINE)[i];
  if (l.npts <= 1) return;
  const linevector& c = l.monox ? l.x : l.y;
  const bool open = l.beginlink <= 0 || l.endlink <= 0;
  const bool openatend = l.beginname == "end" || l.endname == "end";
  long at[2] = {0, 0};
  bool onrows[2] = {false, false};
  const smallint links[2] = {l.beginlink, l.endlink};
  const auto along = [&](smallint p) { return l.monox ? (*POINT)[p].x : (*POINT)[p].y; };
  const auto jointo = [&](long k, smallint p) {
    l.x[k] = (*POINT)[p].x;
    l.y[k] = (*POINT)[p].y;
  };
  for (int e = 0; e < 2; ++e)
    if (links[e] > 0) onrows[e] = segmentholding(c, l.npts, along(links[e])) > 0;
  // A row joined to one point must leave the other on the rows it lies on.
  const auto keepsother = [&](long k, int e) {
    const int o = 1 - e;
    if (!onrows[o]) return true;
    const extended wasx = l.x[k], wasy = l.y[k];
    jointo(k, links[e]);
    const bool kept = segmentholding(c, l.npts, along(links[o])) > 0;
    l.x[k] = wasx;
    l.y[k] = wasy;
    return kept;
  };
  bool atfirst[2] = {false, false}, atlast[2] = {false, false};
  for (int e = 0; e < 2; ++e) {
    const smallint p = links[e];
    if (p <= 0 || onrows[e]) continue;
    atfirst[e] = (!open || openatend) && ONEPLACE(LINESPOT(i, 1), POINTSPOT(p), reading::way);
    atlast[e] = (!open || !openatend) && ONEPLACE(LINESPOT(i, l.npts), POINTSPOT(p), reading::way);
  }
  const auto onorat = [&](int e) { return onrows[e] || atfirst[e] || atlast[e]; };
  if (l.npts == 2 && !open && !(onrows[0] && onrows[1]) && onorat(0) && onorat(1)) {
    jointo(1, links[0]);
    jointo(2, links[1]);
    return;
  }
  for (int e = 0; e < 2; ++e) {
    if (atfirst[e] && keepsother(1, e)) {
      at[e] = 1;
    } else if (atlast[e] && keepsother(l.npts, e)) {
      at[e] = l.npts;
    }
  }
  if (at[1] == at[0]) at[1] = 0;
  for (int e = 0; e < 2; ++e)
    if (at[e] > 0) jointo(at[e], links[e]);
}

// A line's rows next to a point it names, less those at the point: a row
// within the rounding of its point, read as coarse as the file allows, is
// that point, and would step back from it; the way the line leaves its
// point starts beyond. A row at the point's value of one coordinate but
// farther along the other is a row of the line, not the point's. The row at
// an open end is where the line ends there, however near its point: the
// data keep the two apart.
void joinrowstoownpoints(smallint i) {
  linetype& l = (*LINE)[i];
  const smallint before = l.beginlink > 0 ? l.beginlink : smallint{0};
  const smallint after = l.endlink > 0 ? l.endlink : smallint{0};
  if (before == 0 && after == 0) return;
  const long first = before > 0 ? 2 : 1, last = after > 0 ? l.npts - 1 : l.npts;
  long from = first, to = last;
  auto atpoint = [&](long k, smallint p) {
    if (p <= 0) return false;
    const pointtype& pt = (*POINT)[p];
    // a row on the frame is where the line meets it, a point inside the
    // window however near
    if (FRAMESIDEAT(l.x[k], l.y[k]) != 0 && FRAMESIDEAT(pt.x, pt.y) == 0) return false;
    return ONEPLACE(LINESPOT(i, k), POINTSPOT(p), reading::way);
  };
  const long keepfirst = before == 0 ? 1 : 0, keeplast = after == 0 ? 1 : 0;
  while (from <= to - keeplast && atpoint(from, before)) ++from;
  while (to >= from + keepfirst && atpoint(to, after)) --to;
  // the later rows first: the earlier keep their numbers
  droprows(l, std::max(to + 1, from), last);
  droprows(l, first, from - 1);
}

// Whether a line ending at point i leaves it for a row on the side of the
// frame at `edge` (of x where `ofx`, else of y): its first row past the
// point's own, or its open other end, however near. A point at the other
// end is put on the frame or kept off by its own lines.
bool leavesforside(smallint i, bool ofx, extended edge) {
  for (smallint j = 1; j <= NLINE; ++j) {
    const linetype& l = (*LINE)[j];
    if (l.npts < 2) continue;
    for (const int end : {0, 1}) {
      if ((end == 0 ? l.beginlink : l.endlink) != i) continue;
      const long step = end == 0 ? 1 : -1, far = end == 0 ? l.npts : 1;
      long k = end == 0 ? 2 : l.npts - 1;
      while (k != far && ONEPLACE(LINESPOT(j, k), POINTSPOT(i), reading::way)) k += step;
      if (k == far && (end == 0 ? l.endlink : l.beginlink) > 0) continue;
      if ((ofx ? l.x[k] : l.y[k]) == edge) return true;
    }
  }
  return false;
}

// Whether points written inside the window within their rounding of the
// frame are put on it too: the last picture tried, where keeping them
// inside gives none. Set by SETUPLINES for its set-up.
bool insideontoframe = false;

// A point written outside the window within its rounding of the frame is
// on it: one place there for every line that ends at it, however each
// comes to it. The lines were set up from the point as written; their rows
// at it move with it. A point written inside the window stays there: the
// fields between it and the frame keep their area. A point off a side as
// written, with a line leaving it for a row on that side, stays: put
// there, the line would run along the frame and tell no side of it.
void pointsontoframe() {
  for (smallint i = 1; i <= NPOINT; ++i) {
    pointtype& p = (*POINT)[i];
    if (!insideontoframe && POINTSEEN(p.x, p.y)) continue;
    const extended ux = frameunits * p.round.apartx, uy = frameunits * p.round.aparty;
    const bool acrossx = XLOW - ux <= p.x && p.x <= XHIGH + ux;
    const bool acrossy = YLOW - uy <= p.y && p.y <= YHIGH + uy;
    const extended wasx = p.x, wasy = p.y;
    const auto onto = [&](extended& v, bool ofx, extended edge, extended unit) {
      if (v != edge && !leavesforside(i, ofx, edge)) toedge(v, edge, unit);
    };
    if (acrossx) {
      onto(p.y, false, YLOW, p.round.aparty);
      onto(p.y, false, YHIGH, p.round.aparty);
    }
    if (acrossy) {
      onto(p.x, true, XLOW, p.round.apartx);
      onto(p.x, true, XHIGH, p.round.apartx);
    }
    if (p.x == wasx && p.y == wasy) continue;
    for (smallint j = 1; j <= NLINE; ++j) {
      linetype& l = (*LINE)[j];
      if (l.npts < 1) continue;
      for (const long k : {1L, static_cast<long>(l.npts)}) {
        if ((k == 1 ? l.beginlink : l.endlink) != i) continue;
        l.x[k] = p.x;
        l.y[k] = p.y;
      }
    }
  }
}

// A line's open ends inside the window and within their rounding of the
// frame put on it.
void openendsontoframe(const joinedends& joined) {
  for (smallint i = 1; i <= NLINE; ++i) {
    linetype& l = (*LINE)[i];
    if (l.npts < 1) continue;
    for (const long k : {1L, static_cast<long>(l.npts)}) {
      if ((k == 1 ? l.beginlink : l.endlink) != 0 || !POINTSEEN(l.x[k], l.y[k]) || joined.has(i, k)) continue;
      smallint link = 0;
      setlink(link, LINESPOT(i, k));
      ontoframe(link, l.x[k], l.y[k]);
    }
  }
  joined.follow();
}

}  // namespace

namespace {

// A digest of every line's rows, to tell a state of the joining met
// before.
std::size_t networkstate() {
  std::size_t h = 0;
  const auto mix = [&h](std::size_t v) { h = h * digestfactor + v; };
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = (*LINE)[i];
    mix(static_cast<std::size_t>(l.npts));
    for (long k = 1; k <= l.npts; ++k) {
      mix(std::hash<extended>{}(l.x[k]));
      mix(std::hash<extended>{}(l.y[k]));
    }
  }
  return h;
}

}  // namespace

void JOINATPOINTS() {
  pointsontoframe();
  for (smallint i = 1; i <= NLINE; ++i) joinrowstoownpoints(i);
  // once a drawing, and too large for the stack
  const auto joined = std::make_unique<joinedends>();
  joinframeends(*joined);
  openendsontoframe(*joined);
  long joins = 0;
  std::vector<std::size_t> states{networkstate()};
  for (bool changed = true; changed && joins < maxjoins;) {
    changed = false;
    for (smallint i = 1; i <= NLINE && !changed; ++i)
      for (smallint j = static_cast<smallint>(i + 1); j <= NLINE && !changed; ++j) {
        linetype& a = (*LINE)[i];
        linetype& b = (*LINE)[j];
        if (passesalong(a, b) || passesalong(b, a) || lensalong(a, b) || closesatrow(i, j)) {
          changed = true;
          continue;
        }
        for (long k = 1; k < a.npts && !changed; ++k)
          for (long m = 1; m < b.npts && !changed; ++m) {
            extended x = 0, y = 0;
            if (runstogether(a, k, b, m) || runstogether(b, m, a, k)) {
              changed = true;
              continue;
            }
            if (!meetapart(a, k, b, m, x, y)) continue;
            if (runalong(a, k, b, m)) {
              changed = true;
              continue;
            }
            // the first point named by either line that both can be routed
            // through; else a sliver closed where one line ends at a point
            // the other passes on its way to its own; a line is taken
            // through a point it does not name only where no point joins
            // the two by their own rows
            // where no point lies within their rounding of the crossing,
            // the nearest through which the lines, kept within their
            // rounding, no longer cross there
            const smallint ends[4] = {a.beginlink, a.endlink, b.beginlink, b.endlink};
            // their own crossover, placed where the two cross as read, is
            // on both, wherever their named ends cut them: where neither
            // names it, first of all, but only where one of them would else
            // be bent to an end within their rounding of it (three
            // crossovers that near come out of the rounding in any order);
            // lines that merely pass it keep their rows as written
            const smallint own = crossoverof(i, j);
            bool bent = false;
            for (const smallint p : ends) {
              if (own <= 0 || p == own) {
                bent = false;
                break;
              }
              if (p <= 0) continue;
              const routing ra = routeof(a, k, p), rb = routeof(b, m, p);
              bent = bent || (ra.how != route::refused && rb.how != route::refused &&
                              (ra.how != route::none || rb.how != route::none));
            }
            const smallint via[5] = {bent ? own : smallint{0}, a.beginlink, a.endlink, b.beginlink, b.endlink};
            // where both pass exactly through a point either names, the
            // point joins them as written: neither is bent to another point
            // within their rounding of it
            bool atnamed = false;
            for (const smallint p : via)
              atnamed = atnamed || (p > 0 && routeof(a, k, p).how == route::none && routeof(b, m, p).how == route::none);
            for (int pass = 0; pass < 4 && !changed; ++pass) {
              if (pass == 1) {
                changed = closenearestsliver(i, k, j, m, x, y, ends);
                continue;
              }
              // the first point listed, but before it one through which the
              // lines are taken along their rows (no row dropped lies past
              // the point), or, passing, along other lines on both sides of
              // it, closing the sliver between them whole
              smallint to = 0;
              routing ta, tb;
              bool first = false;
              for (const smallint p : via) {
                if (p <= 0 || first) continue;
                routing ra = routeof(a, k, p), rb = routeof(b, m, p);
                if (ra.how == route::refused || rb.how == route::refused) continue;
                if (ra.how == route::none && rb.how == route::none) continue;
                if (routemeetsmore(i, ra, p, i, j) || routemeetsmore(j, rb, p, i, j)) continue;
                const bool passing = ra.how == route::insert || rb.how == route::insert;
                if (pass == 0 && passing) continue;
                const bool near = crossingnear(a, k, b, m, x, y, p);
                if (pass == 2 && passing && (!near || atnamed)) continue;
                if (pass == 3 && (atnamed || !passing || near || !passingundoes(i, ra, j, rb, p, x, y))) continue;
                first = pass == 0 ? !ra.past && !rb.past : pass == 2 ? closeswhole(i, ra, j, rb, p) : true;
                if (to > 0 && !first) continue;
                to = p;
                ta = ra;
                tb = rb;
              }
              if (to > 0) {
                // b first: a's rows before segment k stay where they are
                const long na = a.npts, nb = b.npts;
                applyroute(b, tb, to);
                applyroute(a, ta, to);
                if (tb.how == route::insert) sharenewrows(j, tb.from + 1, tb.from + b.npts - nb);
                if (ta.how == route::insert) sharenewrows(i, ta.from + 1, ta.from + a.npts - na);
                changed = true;
              }
            }
            // nearly parallel, crossing there and back within their
            // rounding, where no point takes them: no evidence a refusal
            // could name
            if (!changed && crossesback(a, k, b, m, x, y)) changed = true;
            if (!changed && (touchesalong(a, k, b, m) || touchesalong(b, m, a, k))) changed = true;
            if (!changed && crossesatframe(i, k, j, m, x, y)) changed = true;
          }
        // ends across each other by their rounding alone, where nothing
        // above took the crossing
        if (!changed && endsacrossonframe(i, j)) changed = true;
      }
    if (!changed) break;
    ++joins;
    // a state met before: the joining goes round a cycle, and only the
    // last turns up to the limit, which end where the whole run would,
    // are made
    if (states.empty()) continue;
    const std::size_t now = networkstate();
    const auto seen = std::find(states.begin(), states.end(), now);
    if (seen != states.end()) {
      const long cycle = joins - (seen - states.begin());
      joins = maxjoins - (maxjoins - joins) % cycle;
      states.clear();
      continue;
    }
    states.push_back(now);
  }
}

namespace {

// The lines set up from their rows: cut at their points and joined there.
// Where `trial`, false instead of a stop where a line cannot be cut.
bool buildlines(bool trial, bool join = true) {
  for (smallint i = 1; i <= NLINE; ++i) {
    linetype& l = (*LINE)[i];
    MONOTONIC(i);
    l.beginlink = WHICHI(l.beginname);
    l.endlink = WHICHI(l.endname);
    if (l.connect) {
      if (l.beginlink <= 0 || l.endlink <= 0) IO::ERROREXIT("lines", "connect not using a point", yourfault);
      const pointtype& p1 = (*POINT)[l.beginlink];
      const pointtype& p2 = (*POINT)[l.endlink];
      l.x[1] = p1.x;
      l.y[1] = p1.y;
      l.round[1] = p1.round;
      l.x[2] = p2.x;
      l.y[2] = p2.y;
      l.round[2] = p2.round;
      l.npts = 2;
    } else {
      if (join) joinendrows(i);
      if (!ADDPOINTS(i, trial)) return false;
    }
  }
  if (join) JOINATPOINTS();
  return true;
}

// Whether lines i and j, as written, may touch at (x, y): where both end
// at points they name, at a row both hold, or at a point either names.
// There they touch and do not cross, whatever side each leaves by; the
// tiling of their polygons tells whether the picture holds. A point is
// read by its name, as the clipping links an end at a point on the frame
// to the frame.
bool touchaswritten(smallint i, smallint j, extended x, extended y) {
  const auto at = [x, y](const sstring& name) {
    const smallint p = WHICHI(name);
    return p > 0 && (*POINT)[p].x == x && (*POINT)[p].y == y;
  };
  const auto holds = [x, y](const linetype& l) {
    for (long k = 1; k <= l.npts; ++k)
      if (l.x[k] == x && l.y[k] == y) return true;
    return false;
  };
  const linetype& a = (*LINE)[i];
  const linetype& b = (*LINE)[j];
  return (holds(a) && holds(b)) || at(a.beginname) || at(a.endname) || at(b.beginname) || at(b.endname);
}

// Whether segment k of line i and segment m of line j cross, or touch
// where touchaswritten does not allow it, exactly as their rows are. A
// meeting as near a row of the two where they may touch as the row's
// decimals in binary put it is that touch.
bool meetasread(smallint i, long k, smallint j, long m) {
  const linetype& a = (*LINE)[i];
  const linetype& b = (*LINE)[j];
  if (std::max(a.x[k], a.x[k + 1]) < std::min(b.x[m], b.x[m + 1]) ||
      std::max(b.x[m], b.x[m + 1]) < std::min(a.x[k], a.x[k + 1]) ||
      std::max(a.y[k], a.y[k + 1]) < std::min(b.y[m], b.y[m + 1]) ||
      std::max(b.y[m], b.y[m + 1]) < std::min(a.y[k], a.y[k + 1]))
    return false;
  const auto allowed = [&](smallint l, long r, extended x, extended y) {
    const spot row = LINESPOT(l, r);
    return ONEPLACE(spot{x, y, row.round}, row, reading::apart) && touchaswritten(i, j, row.x, row.y);
  };
  // a row both hold: there alone, where they may touch
  for (const long r : {k, k + 1})
    for (const long q : {m, m + 1}) {
      if (a.x[r] != b.x[q] || a.y[r] != b.y[q]) continue;
      const long ro = 2 * k + 1 - r, qo = 2 * m + 1 - q;
      const auto on = [&](const linetype& l, long s, const linetype& o, long t) {
        return ONSEGMENT(l, s, o.x[t], o.y[t]) && !touchaswritten(i, j, o.x[t], o.y[t]);
      };
      return !touchaswritten(i, j, a.x[r], a.y[r]) || on(b, m, a, ro) || on(a, k, b, qo);
    }
  extended x = 0, y = 0;
  if (segmentscross(a, k, b, m, x, y))
    return !(allowed(i, k, x, y) || allowed(i, k + 1, x, y) || allowed(j, m, x, y) || allowed(j, m + 1, x, y));
  // along one line: each end of one on the other is a touch
  const auto touches = [&](const linetype& l, long s, smallint o, long r) {
    return ONSEGMENT(l, s, (*LINE)[o].x[r], (*LINE)[o].y[r]) && !touchaswritten(i, j, (*LINE)[o].x[r], (*LINE)[o].y[r]);
  };
  return touches(b, m, i, k) || touches(b, m, i, k + 1) || touches(a, k, j, m) || touches(a, k, j, m + 1);
}

// Whether the lines, as set up from their rows as written, meet only where
// they may touch.
bool meetonlytouching() {
  for (smallint i = 1; i <= NLINE; ++i)
    for (smallint j = static_cast<smallint>(i + 1); j <= NLINE; ++j)
      for (long k = 1; k < (*LINE)[i].npts; ++k)
        for (long m = 1; m < (*LINE)[j].npts; ++m)
          if (meetasread(i, k, j, m)) return false;
  return true;
}

// Pairs of joined lines still crossing away from every point; each line of
// such a pair marked in `crossing` (indexed by line) where given.
long crossingsapart(farray<bool, 1, maxline>* crossing) {
  long n = 0;
  for (smallint i = 1; i <= NLINE; ++i)
    for (smallint j = static_cast<smallint>(i + 1); j <= NLINE; ++j) {
      extended x = 0, y = 0;
      if (!LINESCROSS(i, j, x, y)) continue;
      ++n;
      if (crossing) (*crossing)[i] = (*crossing)[j] = true;
    }
  return n;
}

// The finer place of the rows of the lines naming point i that the point,
// written coarser, is one place with: a row of one of them, or where two
// of them cross or touch, the nearest; false where there is none. The
// rows as written, before they are cut at points.
bool finerplace(smallint i, spot& best) {
  const pointtype& p = (*POINT)[i];
  if (p.crossover) return false;
  const spot at = POINTSPOT(i);
  extended bestfar = -1;
  const auto weigh = [&](const spot& s) {
    if (!(s.round.wayx < at.round.wayx) && !(s.round.wayy < at.round.wayy)) return;
    if (!ONEPLACE(s, at, reading::way)) return;
    const extended ex = (s.x - at.x) / (XHIGH - XLOW), ey = (s.y - at.y) / (YHIGH - YLOW);
    const extended far = ex * ex + ey * ey;
    if (bestfar >= 0 && far >= bestfar) return;
    best = s;
    bestfar = far;
  };
  const auto names = [&](const linetype& l) { return !l.connect && (l.beginname == p.name || l.endname == p.name); };
  for (smallint a = 1; a <= NLINE; ++a) {
    const linetype& la = (*LINE)[a];
    if (!names(la)) continue;
    for (long k = 1; k <= la.npts; ++k) weigh(rowspot(la, k));
    for (smallint b = static_cast<smallint>(a + 1); b <= NLINE; ++b) {
      const linetype& lb = (*LINE)[b];
      if (!names(lb)) continue;
      for (long k = 1; k < la.npts; ++k)
        for (long m = 1; m < lb.npts; ++m) {
          extended x = 0, y = 0;
          if (!segmentscross(la, k, lb, m, x, y)) continue;
          weigh({x, y,
                 COARSER(ROUNDINGBETWEEN(la.round[k], la.round[k + 1], alongsegment(la, k, x, y)),
                         ROUNDINGBETWEEN(lb.round[m], lb.round[m + 1], alongsegment(lb, m, x, y)))});
        }
    }
  }
  return bestfar >= 0;
}

// Point i at the finer place `best` in each coordinate the place was
// written finer in, but where the point's value is on the frame; whether
// it moved.
bool placeat(smallint i, const spot& best) {
  pointtype& p = (*POINT)[i];
  const spot at = POINTSPOT(i);
  bool moved = false;
  if (best.round.wayx < at.round.wayx && p.x != XLOW && p.x != XHIGH) {
    moved = true;
    p.x = best.x;
    p.round.wayx = best.round.wayx;
    p.round.apartx = std::min(p.round.apartx, best.round.apartx);
  }
  if (best.round.wayy < at.round.wayy && p.y != YLOW && p.y != YHIGH) {
    moved = true;
    p.y = best.y;
    p.round.wayy = best.round.wayy;
    p.round.aparty = std::min(p.round.aparty, best.round.aparty);
  }
  return moved;
}

// Each point that `which` takes and that was written coarser than the rows
// of its lines put at their finer place; whether one moved. Every place is
// read from the rows as written before any point moves.
template <class Which>
bool putatfinerplaces(Which which) {
  farray<spot, 1, maxpoint> place;
  farray<bool, 1, maxpoint> found;
  for (smallint i = 1; i <= NPOINT; ++i) found[i] = which(i) && finerplace(i, place[i]);
  bool moved = false;
  for (smallint i = 1; i <= NPOINT; ++i) moved = (found[i] && placeat(i, place[i])) || moved;
  return moved;
}

// A point keeps its place as written, unless the lines joined there still
// cross a line away from every point, and, with each point written coarser
// than the rows of such a line put at the finer place of those rows, fewer
// pairs cross so. The lines and points as written are given back to be set
// up again.
void settlecoarsepoints(const networkcopy& written) {
  farray<bool, 1, maxline> crossing;
  const long before = crossingsapart(&crossing);
  if (before == 0) return;
  PUTBACKNETWORK(written);
  const auto named = [&](smallint i) {
    const pointtype& p = (*POINT)[i];
    for (smallint j = 1; j <= NLINE; ++j) {
      const linetype& l = (*LINE)[j];
      if (crossing[j] && (l.beginname == p.name || l.endname == p.name)) return true;
    }
    return false;
  };
  if (putatfinerplaces(named) && buildlines(true) && crossingsapart(nullptr) < before) return;
  PUTBACKNETWORK(written);
  buildlines(false);
}

}  // namespace

networkcopy COPYNETWORK() {
  networkcopy c;
  for (smallint i = 1; i <= NLINE; ++i) c.lines[i] = (*LINE)[i];
  for (smallint i = 1; i <= NPOINT; ++i) c.points[i] = (*POINT)[i];
  return c;
}

void PUTBACKNETWORK(const networkcopy& copy) {
  for (smallint i = 1; i <= NLINE; ++i) (*LINE)[i] = copy.lines[i];
  for (smallint i = 1; i <= NPOINT; ++i) (*POINT)[i] = copy.points[i];
}

bool SETUPLINES(bool finer, bool aswritten, bool inside) {
  insideontoframe = inside;
  RECORDROUNDING();
  if (aswritten) {
    if (!buildlines(true, false)) return false;
    KEEPCUTLINES();
    for (smallint i = 1; i <= NLINE; ++i) ADDEDGES(i);
    if (!meetonlytouching()) return false;
    for (smallint i = 1; i <= NLINE; ++i) PRINTLINE(i, 3);
    return true;
  }
  if (finer) {
    if (!putatfinerplaces([](smallint) { return true; }) || !buildlines(true)) return false;
  } else {
    const networkcopy written = COPYNETWORK();
    buildlines(false);
    settlecoarsepoints(written);
  }
  KEEPCUTLINES();
  for (smallint i = 1; i <= NLINE; ++i) {
    ADDEDGES(i);
    PRINTLINE(i, 3);
  }
  return true;
}

void PRINTLINE(smallint i, smallint level) {
  if (level != 3) return;
  const linetype& l = (*LINE)[i];
  if (l.npts < 1) return;
  auto attachment = [](smallint link, bool last) {
    static const char* edges[] = {"bottom edge", "left edge", "top edge", "right edge"};
    std::string s;
    if (link == 0) {
      s = "line end";
    } else if (link >= -4 && link <= -1) {
      s = edges[-link - 1];
    } else if (link < 0) {
      s = "????";
    } else {
      s = (*POINT)[link].name;
    }
    return last ? s : s + "; ";
  };
  IO::PUTSTR(0, std::string(reportrule, '_'), 1, CHANNEL::LOG);
  std::string s = l.name + ") ";
  for (long j = 1; j <= l.nphases; ++j) s += l.phases[j] + " ";
  s += "(" + l.zero + ")  ";
  s += "  start = " + attachment(l.beginlink, false) + "end = " + attachment(l.endlink, true);
  if (l.connect) s += "  connect";
  IO::PUTSTR(0, s, 1, CHANNEL::LOG);
  auto pointline = [&](long j, const char* tail) {
    std::string t;
    IO::ADDREAL(l.x[j], reportplaces, true, reportwidth, t);
    IO::ADDREAL(l.y[j], reportplaces, true, reportwidth, t);
    IO::PUTSTR(0, t + tail, 1, CHANNEL::LOG);
  };
  if (l.npts < 5) {
    for (long j = 1; j <= l.npts; ++j) pointline(j, "");
  } else {
    pointline(1, "");
    pointline(2, " ...");
    pointline(l.npts - 1, "");
    pointline(l.npts, "");
  }
}

}  // namespace ZQPLTX
