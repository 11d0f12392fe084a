// The filled areas under the frame and the lines: one closed polygon per
// area, assembled from its bounding lines and, where a line ends on the
// frame, the way along the frame to the next one. The lines are first put
// in order round the area, whatever order they were listed in, and the
// frame is walked on the field's own side of them; an area they cannot
// close round stops the run rather than paint over its neighbours.
#include <algorithm>
#include <cmath>
#include <vector>

#include "frame/io.h"
#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

constexpr extended maxcolour = 255;

enum edge : smallint { bottom = 1, left = 2, top = 3, right = 4 };

// Line ends: 1 the first point, 2 the last.
constexpr smallint firstend = 1, lastend = 2;

smallint startof(bool forward) { return forward ? firstend : lastend; }
smallint finishof(bool forward) { return forward ? lastend : firstend; }

const linetype& lineat(smallint i) { return (*LINE)[i]; }

void endpoint(smallint line, smallint end, extended& x, extended& y) {
  const linetype& l = lineat(line);
  const long k = end == firstend ? 1 : l.npts;
  x = l.x[k];
  y = l.y[k];
}

spot endspot(smallint line, smallint end) { return LINESPOT(line, end == firstend ? 1 : lineat(line).npts); }

smallint linkof(smallint line, smallint end) {
  const linetype& l = lineat(line);
  return end == firstend ? l.beginlink : l.endlink;
}

bool atpoint(smallint link) { return link >= 1; }

void put(smallint before, const std::string& text, smallint after) { IO::PUTSTR(before, text, after, CHANNEL::SVG); }

void moveto(smallint line, smallint end) {
  extended x = 0, y = 0;
  endpoint(line, end, x, y);
  MOVETO(x, y);
}

// One colour component between the dark and the light colour, cut to an
// integer on the picture's scale.
long component(double grey, extended light, extended dark) {
  const extended g = grey;
  const extended v = g * light + (1 - g) * dark;
  if (!(v >= 0)) return 0;
  if (v > maxcolour) return static_cast<long>(maxcolour);
  return static_cast<long>(std::trunc(v));
}

// The frame's corners counterclockwise from the bottom left; the edge that
// leaves corner i counterclockwise holds slot i.
constexpr int ncorner = 4;

void cornerat(int i, extended& x, extended& y) {
  x = i == 1 || i == 2 ? XHIGH : XLOW;
  y = i >= 2 ? YHIGH : YLOW;
}

int slotof(smallint e) {
  switch (e) {
    case bottom: return 0;
    case right: return 1;
    case top: return 2;
    default: return 3;
  }
}

// Which side of a line a point lies on, the line taken as the straight way
// from the given end to its other end: 1 left, -1 right, 0 on it (or no way
// at all, a line of one point).
int sideof(smallint line, smallint end, extended x, extended y) {
  extended x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  endpoint(line, end, x0, y0);
  endpoint(line, end == firstend ? lastend : firstend, x1, y1);
  return ORIENT(x0, y0, x1, y1, x, y);
}

// Whether every corner met going round the frame from slot s1 to slot s2
// (counterclockwise or clockwise) lies in the field between the two lines:
// on the side of each line where the other line's end on the frame lies,
// or on the line itself. A line that cannot tell its sides apart (the two
// being one, or the other's end lying on it) leaves no corner in the field.
bool arcinfield(bool ccw, int s1, int s2, smallint line1, smallint end1, smallint line2, smallint end2,
                extended x1, extended y1, extended x2, extended y2) {
  const int side1 = sideof(line1, end1, x2, y2), side2 = sideof(line2, end2, x1, y1);
  if (side1 == 0 || side2 == 0) return false;
  for (int i = ccw ? s1 + 1 : s1;; i += ccw ? 1 : -1) {
    const int c = (i + ncorner) % ncorner;
    extended x = 0, y = 0;
    cornerat(c, x, y);
    const int a = sideof(line1, end1, x, y), b = sideof(line2, end2, x, y);
    if ((a != 0 && a != side1) || (b != 0 && b != side2)) return false;
    if (c == (ccw ? s2 : (s2 + 1) % ncorner)) return true;
  }
}

// The corners on the way along the frame from the end of line1 on edge e1,
// (x1, y1), to the end of line2 on the other edge e2, (x2, y2): the way
// whose corners lie in the field between the two lines. Where the lines
// cannot tell (one line closed along the frame, or neither way or both
// inside), adjacent edges go by their common corner, and opposite edges by
// the side nearer to the two ends.
void corners(smallint e1, smallint e2, smallint line1, smallint end1, smallint line2, smallint end2, extended x1,
             extended y1, extended x2, extended y2) {
  const int s1 = slotof(e1), s2 = slotof(e2);
  const int ahead = (s2 - s1 + ncorner) % ncorner;  // corners met counterclockwise
  bool ccw = ahead == 1;
  if (ahead == 2) {
    const bool sides = e1 == bottom || e1 == top;
    if (sides) {
      // the left side runs clockwise from the bottom, counterclockwise from the top
      const bool leftside = x1 + x2 - 2 * XLOW < XHIGH - XLOW;
      ccw = leftside == (e1 == top);
    } else {
      // the top side runs clockwise from the left, counterclockwise from the right
      const bool topside = 2 * YHIGH - y1 - y2 < YHIGH - YLOW;
      ccw = topside == (e1 == right);
    }
  }
  const bool ccwin = arcinfield(true, s1, s2, line1, end1, line2, end2, x1, y1, x2, y2);
  const bool cwin = arcinfield(false, s1, s2, line1, end1, line2, end2, x1, y1, x2, y2);
  if (ccwin != cwin) ccw = ccwin;
  const int n = ccw ? ahead : ncorner - ahead;
  for (int k = 1; k <= n; ++k) {
    const int c = ((ccw ? s1 + k : s1 + 1 - k) + ncorner) % ncorner;
    extended x = 0, y = 0;
    cornerat(c, x, y);
    LINETO(x, y);
  }
}

// ---------------------------------------------------------------- the walk
// A field's lines as one closed way round it: each line in its direction,
// and whether the way on to the next line (after the last, the first) runs
// along the frame or through the point the two share.
struct walkstep {
  smallint line = 0;
  bool forward = true;
  bool frame = false;
};

struct fieldwalk {
  long n = 0;
  farray<walkstep, 1, maxbound> steps;
  int turn = 0;  // the frame walked 1 counterclockwise, -1 clockwise, 0 not known
  bool crossing = false;  // two lines that cross where no point joins them
  // A ring touching the frame at one place with its field outside: the
  // frame is walked all the way round from that place back to it.
  bool roundframe = false;
};

// A place on the frame: the slot of its side (0 bottom, 1 right, 2 top,
// 3 left, counterclockwise from the bottom left corner) and how far along
// that side the way round has come, as the coordinate read (x on the
// bottom, y on the right, -x on the top, -y on the left). A corner is the
// start of the side it leaves counterclockwise. Places are put in order
// exactly, however near.
struct frameplace {
  int slot = 0;
  extended along = 0;
};

bool before(const frameplace& a, const frameplace& b) {
  return a.slot < b.slot || (a.slot == b.slot && a.along < b.along);
}

bool sameplace(const frameplace& a, const frameplace& b) { return a.slot == b.slot && a.along == b.along; }

frameplace cornerplace(int c) {
  switch (c) {
    case 0: return {0, XLOW};
    case 1: return {1, YLOW};
    case 2: return {2, -XHIGH};
    default: return {3, -YHIGH};
  }
}

// Whether c lies strictly between a and b going counterclockwise from a.
bool ccwbetween(const frameplace& a, const frameplace& c, const frameplace& b) {
  if (before(a, b)) return before(a, c) && before(c, b);
  return before(a, c) || before(c, b);
}

// Two line ends at one place of the drawing: at one point, or where the
// set-up put them at one place (a point on the frame and the lines that
// come to it from outside). Other ends are apart however near, and take
// their order along the frame exactly.
bool oneplace(smallint line1, smallint end1, smallint line2, smallint end2) {
  const smallint link1 = linkof(line1, end1), link2 = linkof(line2, end2);
  if (atpoint(link1) && link1 == link2) return true;
  extended x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  endpoint(line1, end1, x1, y1);
  endpoint(line2, end2, x2, y2);
  return x1 == x2 && y1 == y2;
}

// The side of the frame a line end lies on (1 bottom, 2 left, 3 top,
// 4 right), 0 for an end inside the window.
smallint edgeof(smallint line, smallint end) {
  const smallint link = linkof(line, end);
  if (link < 0) return static_cast<smallint>(-link);
  // a point within its rounding of the frame was put on it when read: the
  // end lies on the frame as it now is, or not at all
  const spot at = endspot(line, end);
  return FRAMESIDEAT(at.x, at.y);
}

frameplace placeonframe(smallint line, smallint end) {
  extended x = 0, y = 0;
  endpoint(line, end, x, y);
  // an end within the rounding of the side but past its corner is at the corner
  x = std::clamp(x, XLOW, XHIGH);
  y = std::clamp(y, YLOW, YHIGH);
  switch (edgeof(line, end)) {
    case bottom: return x == XHIGH ? cornerplace(1) : frameplace{0, x};
    case right: return y == YHIGH ? cornerplace(2) : frameplace{1, y};
    case top: return x == XLOW ? cornerplace(3) : frameplace{2, -x};
    default: return y == YLOW ? cornerplace(0) : frameplace{3, -y};
  }
}

// The corners met going round the frame the given way (1
// counterclockwise, -1 clockwise) from the end of line1 to that of line2,
// in the order met; none at either end itself. Ends at one place are the
// way of no length, or once round the whole frame.
template <class take>
void cornersbetween(smallint line1, smallint end1, smallint line2, smallint end2, int turn, bool whole,
                    take corner) {
  const frameplace s1 = placeonframe(line1, end1), s2 = placeonframe(line2, end2);
  const bool one = sameplace(s1, s2);
  if (one && !whole) return;
  for (int k = 0; k < ncorner; ++k) {
    const int c = turn > 0 ? (s1.slot + 1 + k) % ncorner : (s1.slot - k + ncorner) % ncorner;
    const frameplace at = cornerplace(c);
    const bool passed = one ? !sameplace(at, s1) && !sameplace(at, s2)
                            : (turn > 0 ? ccwbetween(s1, at, s2) : ccwbetween(s2, at, s1));
    if (passed) {
      extended x = 0, y = 0;
      cornerat(c, x, y);
      corner(x, y);
    }
  }
}

// The frame from one line end to another, turning the given way: the
// corners passed, then the second end.
void framewalk(smallint line1, smallint end1, smallint line2, smallint end2, int turn, bool whole) {
  if (turn == 0) {
    DRAWEDGE(line1, end1, line2, end2);
    return;
  }
  cornersbetween(line1, end1, line2, end2, turn, whole, [](extended x, extended y) { LINETO(x, y); });
  extended x = 0, y = 0;
  endpoint(line2, end2, x, y);
  LINETO(x, y);
}

// A way from a line's end: from the end (x0, y0) to its first row at
// another place (x, y). The set-up took the rows within the rounding of a
// point the line names into that point, and put the rows it made along
// other lines' ways or the frame where they are: a row left is where the
// line goes, however near. False for a line of one place.
struct way {
  extended x0 = 0, y0 = 0, x = 0, y = 0;
};

// From row k0 of the line, its rows taken the way step (1 or -1).
bool awayfrom(smallint line, long k0, long step, way& w) {
  const linetype& l = lineat(line);
  for (long k = k0 + step; k >= 1 && k <= l.npts; k += step) {
    if (l.x[k] == l.x[k0] && l.y[k] == l.y[k0]) continue;
    w = way{l.x[k0], l.y[k0], l.x[k], l.y[k]};
    return true;
  }
  return false;
}

// The half turn counterclockwise from the base that a way lies in: 0 for
// angles from 0 up to a half turn, 1 from there on.
int halfturn(const way& base, const way& w) {
  const int c = CROSSSIGN(base.x0, base.y0, base.x, base.y, w.x0, w.y0, w.x, w.y);
  if (c != 0) return c > 0 ? 0 : 1;
  return DOTSIGN(base.x0, base.y0, base.x, base.y, w.x0, w.y0, w.x, w.y) > 0 ? 0 : 1;
}

// How two ways follow each other going counterclockwise from the base:
// -1 when u comes first, 1 when v does, 0 for one direction. Exact, and
// the same in window units as in the coordinates read.
int turnorder(const way& base, const way& u, const way& v) {
  const int hu = halfturn(base, u), hv = halfturn(base, v);
  if (hu != hv) return hu < hv ? -1 : 1;
  const int c = CROSSSIGN(u.x0, u.y0, u.x, u.y, v.x0, v.y0, v.x, v.y);
  return c > 0 ? -1 : c < 0 ? 1 : 0;
}

// The segment of a line nearest to (x, y), the distance read in window
// units (0 for a line of one place).
long nearestof(const linetype& l, extended x, extended y) {
  long k = 0;
  extended best = -1;
  for (long j = 1; j < l.npts; ++j) {
    const extended dx = l.x[j + 1] - l.x[j], dy = l.y[j + 1] - l.y[j];
    const extended ux = XHIGH - XLOW, uy = YHIGH - YLOW;
    const extended len = (dx / ux) * (dx / ux) + (dy / uy) * (dy / uy);
    extended t = len > 0 ? (((x - l.x[j]) / ux) * (dx / ux) + ((y - l.y[j]) / uy) * (dy / uy)) / len : 0;
    t = std::clamp(t, extended{0}, extended{1});
    const extended px = l.x[j] + t * dx, py = l.y[j] + t * dy;
    const extended d = std::hypot((x - px) / ux, (y - py) / uy);
    if (best < 0 || d < best) {
      best = d;
      k = j;
    }
  }
  return k;
}

// A line's way from a point: from its end there, or, from a row of a line
// the set-up routed through the point (end 0), each way on from that row.
struct wayat {
  smallint line = 0, end = 0;
  long k0 = 0, step = 0;
  way w;
};

wayat fromend(smallint line, smallint end) {
  return {line, end, end == firstend ? 1 : lineat(line).npts, end == firstend ? 1 : -1, {}};
}

// Whether a place lies on a line as its rows are: at a row, or on a
// segment between two, exactly.
bool online(const linetype& l, extended x, extended y) {
  for (long j = 1; j < l.npts; ++j)
    if (ONSEGMENT(l, j, x, y)) return true;
  return l.npts >= 1 && l.x[l.npts] == x && l.y[l.npts] == y;
}

// The side of line p's way from the point that line q's way leaves it on,
// read at p's first row off q: 1 left, -1 right, 0 when p runs on q as far
// as both go. Lines that leave a point along one ray, as the set-up joins
// lines that run together, are put in order where they part.
int partside(const wayat& p, const wayat& q) {
  const linetype& lp = lineat(p.line);
  const linetype& lq = lineat(q.line);
  const long k0 = p.k0, step = p.step;
  // q's far end, where p may run on through a point q ends at: beyond it q
  // has no way to read a side against
  const smallint qfar = q.step > 0 ? lastend : firstend;
  const spot qend = endspot(q.line, qfar);
  for (long k = k0 + step; k >= 1 && k <= lp.npts; k += step) {
    if (atpoint(linkof(q.line, qfar)) && lp.x[k] == qend.x && lp.y[k] == qend.y) return 0;
    if (online(lq, lp.x[k], lp.y[k])) continue;
    const long j = nearestof(lq, lp.x[k], lp.y[k]);
    if (j == 0) continue;
    // q's segment in the way it leaves the point
    const bool out = q.step > 0;
    const int s = ORIENT(lq.x[j], lq.y[j], lq.x[j + 1], lq.y[j + 1], lp.x[k], lp.y[k]);
    return out ? s : -s;
  }
  return 0;
}

// Whether two ways from a point leave it along one ray, which their first
// rows cannot put in order.
bool oneray(const wayat& p, const wayat& q) {
  const way &u = p.w, &v = q.w;
  return CROSSSIGN(u.x0, u.y0, u.x, u.y, v.x0, v.y0, v.x, v.y) == 0 &&
         DOTSIGN(u.x0, u.y0, u.x, u.y, v.x0, v.y0, v.x, v.y) > 0;
}

// Where line a (arriving at its travel end) hands over to line b (leaving
// from its travel start) at a point, the field is the one of the two angles
// between them that no other line at the point enters: 1 when that is the
// angle on the left of the way, -1 on the right, 0 when the lines there do
// not tell. The ways round the point are put in order counterclockwise
// from b, exactly for their first rows, and where two leave along one
// ray, by where they part. How far the shortest of those ways runs, as a
// share of the window, goes to length: the shorter, the more the set-up's
// joining of rows at the point may have turned it. A share, not a count of
// written units, so that the same rows written a digit finer pick the same
// point.
extended waylength(const way& w) {
  return std::max(std::fabs(w.x - w.x0) / (XHIGH - XLOW), std::fabs(w.y - w.y0) / (YHIGH - YLOW));
}

int fieldsideat(const walkstep& a, const walkstep& b, extended& length) {
  length = 0;
  const smallint aend = finishof(a.forward), bend = startof(b.forward);
  std::vector<wayat> ways(2);
  ways[0] = fromend(b.line, bend);
  ways[1] = fromend(a.line, aend);
  const auto away = [](wayat& o) { return awayfrom(o.line, o.k0, o.step, o.w); };
  if (!away(ways[1]) || !away(ways[0])) return 0;
  extended px = 0, py = 0;
  endpoint(a.line, aend, px, py);
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = lineat(i);
    if (l.npts <= 0) continue;
    for (smallint e = firstend; e <= lastend; ++e) {
      if (!oneplace(i, e, a.line, aend) || (i == a.line && e == aend) || (i == b.line && e == bend)) continue;
      wayat o = fromend(i, e);
      if (away(o)) ways.push_back(o);
    }
    // a line routed through the point parts the fields there as two lines
    // ending at it would
    for (long k = 2; k < l.npts; ++k) {
      if (l.x[k] != px || l.y[k] != py) continue;
      for (const long step : {-1L, 1L}) {
        wayat o{i, 0, k, step, {}};
        if (away(o)) ways.push_back(o);
      }
    }
  }
  const way base = ways[0].w;
  // counterclockwise from b; a way along b's own comes just after it when
  // it parts to the left, last when to the right
  std::vector<wayat> order{ways[0]}, last;
  std::vector<wayat> rest(ways.begin() + 1, ways.end());
  std::stable_sort(rest.begin(), rest.end(),
                   [&](const wayat& u, const wayat& v) { return turnorder(base, u.w, v.w) < 0; });
  for (const wayat& o : rest) {
    if (!oneray(o, ways[0])) continue;
    const int s = partside(o, ways[0]);
    if (s == 0) return 0;
    (s > 0 ? order : last).push_back(o);
  }
  for (const wayat& o : rest)
    if (!oneray(o, ways[0])) order.push_back(o);
  order.insert(order.end(), last.begin(), last.end());
  // neighbours along one ray, by where they part
  for (std::size_t pass = 0; pass < order.size(); ++pass)
    for (std::size_t i = 1; i + 1 < order.size(); ++i) {
      if (!oneray(order[i], order[i + 1])) continue;
      const int s = partside(order[i], order[i + 1]);
      if (s == 0) return 0;
      if (s > 0) std::swap(order[i], order[i + 1]);
    }
  std::size_t at = 0;
  for (std::size_t i = 1; i < order.size(); ++i)
    if (order[i].line == a.line && order[i].end == aend) at = i;
  const long onleft = static_cast<long>(at) - 1, onright = static_cast<long>(order.size() - at) - 1;
  length = HUGE_VALL;
  for (const wayat& o : ways) length = std::min(length, waylength(o.w));
  if (onleft > 0 && onright == 0) return -1;
  if (onright > 0 && onleft == 0) return 1;
  return 0;
}

// The polygon of a walk, its frame walked the given way (1
// counterclockwise, -1 clockwise), in the coordinates read.
struct outline {
  std::vector<extended> x, y;
  extended xmin = 0, xmax = 0, ymin = 0, ymax = 0;  // the box round it
  void add(extended px, extended py) {
    x.push_back(px);
    y.push_back(py);
    xmin = x.size() == 1 ? px : std::min(xmin, px);
    xmax = x.size() == 1 ? px : std::max(xmax, px);
    ymin = y.size() == 1 ? py : std::min(ymin, py);
    ymax = y.size() == 1 ? py : std::max(ymax, py);
  }
};

outline outlineof(const fieldwalk& w, int turn) {
  outline o;
  for (long i = 1; i <= w.n; ++i) {
    const walkstep& s = w.steps[i];
    const linetype& l = lineat(s.line);
    for (long k = 1; k <= l.npts; ++k) {
      const long j = s.forward ? k : l.npts + 1 - k;
      o.add(l.x[j], l.y[j]);
    }
    if (!s.frame) continue;
    const walkstep& t = w.steps[i % w.n + 1];
    cornersbetween(s.line, finishof(s.forward), t.line, startof(t.forward), turn, w.roundframe,
                   [&o](extended x, extended y) { o.add(x, y); });
  }
  return o;
}

// Where a place lies: 1 in the polygon, -1 outside it, 0 on its outline;
// each side asked exactly.
int placeof(const outline& o, extended px, extended py) {
  if (px < o.xmin || px > o.xmax || py < o.ymin || py > o.ymax) return -1;
  bool in = false;
  for (std::size_t a = 0, b = o.x.size() - 1; a < o.x.size(); b = a++) {
    const int side = ORIENT(o.x[b], o.y[b], o.x[a], o.y[a], px, py);
    if (side == 0 && BETWEEN(px, o.x[a], o.x[b]) && BETWEEN(py, o.y[a], o.y[b])) return 0;
    // the outline crosses the row of the place right of it
    if ((o.y[a] > py) != (o.y[b] > py) && (o.y[a] > o.y[b] ? side > 0 : side < 0)) in = !in;
  }
  return in ? 1 : -1;
}

// Whether a place lies strictly inside the window.
bool inwindow(extended x, extended y) { return XLOW < x && x < XHIGH && YLOW < y && y < YHIGH; }

// Where the middle of a line's segment k lies, as placeof; 0 also where
// it lies outside the window, which the picture does not hold.
int midplaceof(const outline& o, const linetype& l, long k) {
  const extended x = (l.x[k] + l.x[k + 1]) / 2, y = (l.y[k] + l.y[k + 1]) / 2;
  return inwindow(x, y) ? placeof(o, x, y) : 0;
}

// Whether a line's segment k lies along an edge of the outline, both its
// rows on it (lines written with the same rows there): its middle, rounded
// to the digits kept, could read a hair to either side.
bool alongoutline(const outline& o, const linetype& l, long k) {
  for (std::size_t a = 0, b = o.x.size() - 1; a < o.x.size(); b = a++) {
    const auto onedge = [&](long r) { return ONSEGMENTAT(o.x[b], o.y[b], o.x[a], o.y[a], l.x[r], l.y[r]); };
    if ((o.x[a] != o.x[b] || o.y[a] != o.y[b]) && onedge(k) && onedge(k + 1)) return true;
  }
  return false;
}

// The way a ring runs: 1 counterclockwise, -1 clockwise, read from the
// turn at its lowest leftmost corner, exactly; where the ring turns back
// on itself there (two of its lines through one row), or comes to that
// corner more than once, from its area: a ring that touches itself at the
// corner, as one run out along a line and back along another from it,
// turns there as each visit does, which need not be as the ring does.
int ringturn(const outline& o) {
  const std::size_t n = o.x.size();
  std::size_t m = 0;
  for (std::size_t k = 1; k < n; ++k)
    if (o.x[k] < o.x[m] || (o.x[k] == o.x[m] && o.y[k] < o.y[m])) m = k;
  auto differs = [&](std::size_t k) { return o.x[k] != o.x[m] || o.y[k] != o.y[m]; };
  std::size_t visits = 0;
  for (std::size_t k = 0; k < n; ++k)
    if (!differs(k) && differs((k + n - 1) % n)) ++visits;
  if (visits == 1) {
    std::size_t p = (m + n - 1) % n, q = (m + 1) % n;
    for (std::size_t k = 0; k < n && !differs(p); ++k) p = (p + n - 1) % n;
    for (std::size_t k = 0; k < n && !differs(q); ++k) q = (q + 1) % n;
    const int turn = ORIENT(o.x[p], o.y[p], o.x[m], o.y[m], o.x[q], o.y[q]);
    if (turn != 0) return turn;
  }
  extended twice = 0;
  for (std::size_t a = 0, b = n - 1; a < n; b = a++)
    twice += (o.x[b] - o.x[0]) * (o.y[a] - o.y[0]) - (o.x[a] - o.x[0]) * (o.y[b] - o.y[0]);
  return twice > 0 ? 1 : twice < 0 ? -1 : 0;
}

// Whether line i is one of the field's own lines.
bool bounds(const fieldwalk& w, smallint i) {
  for (long j = 1; j <= w.n; ++j)
    if (w.steps[j].line == i) return true;
  return false;
}

// A field bounded by one run of lines from the frame to the frame lies on
// one side of it, and no line that does not bound it enters it: 1 when the
// other lines all lie on the clockwise side (the field turns
// counterclockwise round the frame), -1 the other way, 0 when they do not
// tell (none at all, or on both sides). Where their segments lie on both
// sides, a segment with an end on the run may have been left a hair
// across it by the rows of a point, and only the segments apart from the
// run tell; where none is apart, the side holding more segments tells.
// The tiling check stops a picture this reads wrong.
int turnbyotherlines(const fieldwalk& w) {
  const outline o = outlineof(w, 1);
  int in = 0, out = 0, apartin = 0, apartout = 0;
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = lineat(i);
    if (bounds(w, i) || l.npts < 2) continue;
    // where each row lies, each read once for the two segments it ends
    int from = placeof(o, l.x[1], l.y[1]);
    for (long k = 1; k < l.npts; ++k) {
      const int at = midplaceof(o, l, k), to = placeof(o, l.x[k + 1], l.y[k + 1]);
      const bool apart = from != 0 && to != 0;
      from = to;
      if (at > 0) {
        ++in;
        apartin += apart ? 1 : 0;
      } else if (at < 0) {
        ++out;
        apartout += apart ? 1 : 0;
      }
    }
  }
  if (in > 0 && out > 0) {
    if (apartin + apartout == 0) return out > in ? 1 : in > out ? -1 : 0;
    in = apartin;
    out = apartout;
  }
  if (out > 0 && in == 0) return 1;
  if (in > 0 && out == 0) return -1;
  return 0;
}

// Whether a line that does not bound the field, and runs between points
// or the frame, lies in the polygon: then the field is not one piece
// there, and the polygon would cover other fields.
bool holdsotherline(const fieldwalk& w, int turn) {
  const outline o = outlineof(w, turn);
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = lineat(i);
    if (bounds(w, i) || l.npts < 2 || l.beginlink == 0 || l.endlink == 0) continue;
    for (long k = 1; k < l.npts; ++k)
      if (!alongoutline(o, l, k) && midplaceof(o, l, k) > 0) return true;
  }
  return false;
}

// The polygons made before they are written, while DOAREAS makes them: an
// area that stops the run leaves those before it written, as they always
// were; polygons that do not tile the window leave none.
std::vector<areapolygon>* made = nullptr;
// Whether the ends of a field's lines at two points written at one place
// meet at their own points alone (partnersof); set by DOAREAS while it
// makes the polygons, for a try after the picture as written and at the
// points' finer places.
bool parted = false;

void writepolygons(const std::vector<areapolygon>& polygons) {
  for (const areapolygon& p : polygons) {
    const atype& a = AREA[p.area];
    const rgbcolour& light = CONTROLQK.lightcolour;
    const rgbcolour& dark = CONTROLQK.darkcolour;
    put(1,
        "    <polygon fill=\"rgb(" + IO::INT2STR(component(a.grayscale, light.r, dark.r)) + "," +
            IO::INT2STR(component(a.grayscale, light.g, dark.g)) + "," +
            IO::INT2STR(component(a.grayscale, light.b, dark.b)) + ")\" points=\"",
        1);
    for (std::size_t i = 0; i < p.x.size(); ++i) (i == 0 ? MOVETO : LINETO)(p.x[i], p.y[i]);
    put(0, "\" />", 1);
  }
}

[[noreturn]] void stop(const std::string& where, const std::string& message) {
  if (made != nullptr) {
    std::vector<areapolygon>* before = made;
    made = nullptr;
    writepolygons(*before);
  }
  IO::ERROREXIT(where, message, yourfault);
}

// The lines' ends joined, the walk may still close round the field more
// than one way, or round a place that is not all of it: then lines that
// cross where no point joins them are the data's own reason, named. Lines
// that all run along the frame leave nothing to close round.
enum class closing { open, closed };

[[noreturn]] void nowalk(smallint k, const farray<smallint, 1, maxbound>& lines, long n,
                         closing how = closing::open) {
  std::string names;
  for (long j = 1; j <= n; ++j) names += (j > 1 ? " " : "") + lineat(lines[j]).name;
  std::string why = how == closing::closed ? CROSSINGOFLINES() : "";
  bool along = true;
  for (long j = 1; j <= n; ++j) along = along && LINEALONGFRAME(lines[j]);
  if (why.empty() && along) why = "its lines lie along the frame";
  stop("areas", "area " + IO::INT2STR(k) + " (" + names + ") cannot be drawn: " +
                    (why.empty() ? "its lines and the frame between their ends do not close round it" : why));
}

// The ends of the field's lines are numbered 2j-1 and 2j for line j of the
// list; two ends at one point, or at one place however each was attached
// (to a point on the frame, or to the frame there), are joined; an end that
// is joined to no other must lie on the frame.
long endid(long j, smallint end) { return 2 * (j - 1) + end; }

long lineofend(long id) { return (id + 1) / 2; }
smallint endofid(long id) { return static_cast<smallint>(id % 2 == 1 ? firstend : lastend); }

// Two attached ends meet: at one point, or at one place.
bool meet(smallint line1, smallint end1, smallint line2, smallint end2) {
  const smallint link1 = linkof(line1, end1), link2 = linkof(line2, end2);
  if (atpoint(link1) && link1 == link2) return true;
  return link1 != 0 && link2 != 0 && oneplace(line1, end1, line2, end2);
}

// Whether two lines, each read from the given end, pass through the same
// rows in the same order, exactly.
bool samerows(smallint line1, smallint end1, smallint line2, smallint end2) {
  const linetype& a = lineat(line1);
  const linetype& b = lineat(line2);
  if (a.npts != b.npts) return false;
  for (long k = 1; k <= a.npts; ++k) {
    const long i = end1 == firstend ? k : a.npts + 1 - k;
    const long j = end2 == firstend ? k : b.npts + 1 - k;
    if (a.x[i] != b.x[j] || a.y[i] != b.y[j]) return false;
  }
  return true;
}

// The ends of the field's lines that an end meets: how many, and the first
// two in the order of the ends.
struct meeting {
  long count = 0;
  long first = 0, second = 0;
};

using meetings = farray<meeting, 1, 2 * maxbound>;

bool meetsjust(const meetings& met, long id, long a, long b) {
  const meeting& m = met[id];
  return m.count == 2 && ((m.first == a && m.second == b) || (m.first == b && m.second == a));
}

// An end met by two others whose lines run from there over the same rows
// to far ends that meet again (one line folded back on itself, or two
// lines along one stretch, as rows rounded onto the frame leave them):
// joined to either, the walk goes out along one and back along the other
// through the same places, so the field's outline is the same. The end is
// joined to the first of the two, and the second left to the frame.
bool foldedback(const farray<smallint, 1, maxbound>& lines, const meetings& met, long id) {
  const meeting& m = met[id];
  if (m.count != 2 || !meetsjust(met, m.first, id, m.second) || !meetsjust(met, m.second, id, m.first)) return false;
  const smallint l1 = lines[lineofend(m.first)], e1 = endofid(m.first);
  const smallint l2 = lines[lineofend(m.second)], e2 = endofid(m.second);
  const smallint far1 = e1 == firstend ? lastend : firstend, far2 = e2 == firstend ? lastend : firstend;
  return samerows(l1, e1, l2, e2) && meet(l1, far1, l2, far2);
}

using partners = farray<long, 1, 2 * maxbound>;

// Each end of the field's lines joined to the one end it meets at a point
// (0 for an end on the frame); an end meeting more than one, or an end
// inside the window meeting none, stops the run.
partners partnersof(smallint k, const farray<smallint, 1, maxbound>& lines, long n) {
  auto link = [&](long id) { return linkof(lines[lineofend(id)], endofid(id)); };
  // Two points written at one place (crossings closer than the rows'
  // unit), parted: an end at one meets the ends at its own point, where
  // the field's outline turns, not those at the other, else it would meet
  // the ends of both and the walk could go on two ways. Only where neither
  // end has a fellow at its own point does the outline pass from one point
  // to the other there.
  farray<bool, 1, 2 * maxbound> sharespoint;
  sharespoint.fill(false);
  for (long id = 1; id <= 2 * n && parted; ++id)
    for (long other = 1; other <= 2 * n; ++other)
      if (other != id && atpoint(link(id)) && link(id) == link(other)) sharespoint[id] = true;
  auto twopoints = [&](long id, long other) {
    // sharespoint is set only while parted
    return atpoint(link(id)) && atpoint(link(other)) && link(id) != link(other) &&
           (sharespoint[id] || sharespoint[other]);
  };
  meetings met;
  for (long id = 1; id <= 2 * n; ++id)
    for (long other = 1; other <= 2 * n; ++other) {
      if (other == id || !meet(lines[lineofend(id)], endofid(id), lines[lineofend(other)], endofid(other)) ||
          twopoints(id, other))
        continue;
      meeting& m = met[id];
      ++m.count;
      if (m.count == 1) m.first = other;
      if (m.count == 2) m.second = other;
    }
  partners partner;
  partner.fill(0);
  farray<bool, 1, 2 * maxbound> settled;
  settled.fill(false);
  for (long id = 1; id <= 2 * n; ++id) {
    const meeting& m = met[id];
    if (settled[id] || !foldedback(lines, met, id)) continue;
    partner[id] = m.first;
    partner[m.first] = id;
    settled[id] = settled[m.first] = settled[m.second] = true;
  }
  for (long id = 1; id <= 2 * n; ++id) {
    if (settled[id]) continue;
    if (met[id].count > 1) nowalk(k, lines, n, closing::closed);
    partner[id] = met[id].first;
  }
  for (long id = 1; id <= 2 * n; ++id)
    if (partner[id] == 0 && edgeof(lines[lineofend(id)], endofid(id)) == 0) nowalk(k, lines, n);
  return partner;
}

// Two lines from the frame to the frame that cross: the second line turned
// by the sides their ends share, or else by the nearer end, as such a pair
// has always been drawn.
fieldwalk crossingpair(const farray<smallint, 1, maxbound>& lines) {
  const smallint b1 = linkof(lines[1], firstend), e1 = linkof(lines[1], lastend);
  const smallint b2 = linkof(lines[2], firstend), e2 = linkof(lines[2], lastend);
  bool second = DISTANCE(lines[1], lastend, lines[2], firstend) < DISTANCE(lines[1], lastend, lines[2], lastend);
  if (e1 == b2 || b1 == e2) {
    second = true;
  } else if (e1 == e2 || b1 == b2) {
    second = false;
  }
  fieldwalk pair;
  pair.n = 2;
  pair.crossing = true;
  pair.steps[1] = walkstep{lines[1], true, true};
  pair.steps[2] = walkstep{lines[2], second, true};
  return pair;
}

fieldwalk makewalk(smallint k, const farray<smallint, 1, maxbound>& lines, long n) {
  const partners partner = partnersof(k, lines, n);

  // The runs of lines joined at points: from the frame to the frame, or
  // round to where they began.
  farray<bool, 1, maxbound> used;
  used.fill(false);
  fieldwalk w;
  farray<long, 1, maxbound> runfirst, runlast;  // their first and last steps in w
  long runs = 0, rings = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (long j = 1; j <= n; ++j) {
      if (used[j]) continue;
      long id = 0;
      if (pass == 0) {
        if (partner[endid(j, lastend)] == 0) id = endid(j, lastend);
        if (partner[endid(j, firstend)] == 0) id = endid(j, firstend);
        if (id == 0) continue;
      } else {
        id = endid(j, firstend);
        ++rings;
      }
      ++runs;
      runfirst[runs] = w.n + 1;
      for (;;) {
        const long m = lineofend(id);
        if (used[m]) break;  // round to the first line of a ring
        used[m] = true;
        w.steps[++w.n] = walkstep{lines[m], endofid(id) == firstend, false};
        const long out = endofid(id) == firstend ? id + 1 : id - 1;
        if (partner[out] == 0) break;
        id = partner[out];
      }
      runlast[runs] = w.n;
    }
  }
  if (rings > 0 && runs > 1) nowalk(k, lines, n);
  if (rings > 0) return w;

  // Runs from the frame to the frame: going round the frame their ends
  // take turns at being the start of a stretch inside the field and of one
  // outside, so one of the two ways of pairing neighbouring ends closes the
  // field; the other closes the pieces beyond each run.
  struct terminal {
    frameplace at;
    long run;
    bool runstart;
  };
  std::vector<terminal> ends;
  for (long r = 1; r <= runs; ++r) {
    const walkstep& f = w.steps[runfirst[r]];
    const walkstep& l = w.steps[runlast[r]];
    ends.push_back({placeonframe(f.line, startof(f.forward)), r, true});
    ends.push_back({placeonframe(l.line, finishof(l.forward)), r, false});
  }
  std::stable_sort(ends.begin(), ends.end(), [](const terminal& a, const terminal& b) { return before(a.at, b.at); });
  const long m = static_cast<long>(ends.size());
  long chosen = -1;
  farray<long, 1, 2 * maxbound> order;  // runs in walk order, negated when walked backward
  long norder = 0;
  for (long shift = 0; shift < 2; ++shift) {
    // the stretch counterclockwise from ends[i] to its neighbour
    std::vector<long> next(static_cast<std::size_t>(m));
    for (long i = shift; i < m + shift; i += 2) {
      next[static_cast<std::size_t>(i % m)] = (i + 1) % m;
      next[static_cast<std::size_t>((i + 1) % m)] = i % m;
    }
    auto endindex = [&](long run, bool start) {
      for (long i = 0; i < m; ++i)
        if (ends[static_cast<std::size_t>(i)].run == run && ends[static_cast<std::size_t>(i)].runstart == start)
          return i;
      return 0L;
    };
    long seen = 1, cur = endindex(1, false);
    farray<long, 1, 2 * maxbound> got;
    got[1] = 1;
    for (;;) {
      const terminal& t = ends[static_cast<std::size_t>(next[static_cast<std::size_t>(cur)])];
      if (t.run == 1) break;
      got[++seen] = t.runstart ? t.run : -t.run;
      cur = endindex(t.run, !t.runstart);
    }
    if (seen != runs) continue;
    if (chosen >= 0 && runs > 1) {
      // both close: runs that cross where no point joins them
      if (n > 2) nowalk(k, lines, n, closing::closed);
      w.turn = 0;
      w.crossing = true;
    }
    if (chosen >= 0) break;
    chosen = shift;
    norder = seen;
    for (long i = 1; i <= seen; ++i) order[i] = got[i];
    // walking on from the end of run 1 goes counterclockwise when that end
    // starts its stretch
    const long e1 = endindex(1, false);
    w.turn = (e1 - shift) % 2 == 0 ? 1 : -1;
  }
  if (chosen < 0) nowalk(k, lines, n);
  if (runs == 1) w.turn = 0;
  if (w.crossing) return crossingpair(lines);

  fieldwalk joined;
  joined.turn = w.turn;
  for (long i = 1; i <= norder; ++i) {
    const long r = order[i] > 0 ? order[i] : -order[i];
    const bool back = order[i] < 0;
    for (long s = 0; s <= runlast[r] - runfirst[r]; ++s) {
      walkstep st = w.steps[back ? runlast[r] - s : runfirst[r] + s];
      if (back) st.forward = !st.forward;
      joined.steps[++joined.n] = st;
    }
    joined.steps[joined.n].frame = true;
  }
  return joined;
}

// The walk turned round, still starting with its first line.
fieldwalk reversed(const fieldwalk& w) {
  fieldwalk r;
  r.n = w.n;
  r.turn = -w.turn;
  for (long k = 1; k <= w.n; ++k) {
    const walkstep& s = w.steps[k == 1 ? 1 : w.n - k + 2];
    r.steps[k] = walkstep{s.line, !s.forward, w.steps[w.n - k + 1].frame};
  }
  return r;
}

// The walk starting at the given step.
fieldwalk rotated(const fieldwalk& w, long first) {
  fieldwalk r = w;
  for (long k = 1; k <= w.n; ++k) r.steps[k] = w.steps[(first - 1 + k - 1) % w.n + 1];
  return r;
}

// A ring whose field lies outside it: one polygon shows the field when
// the ring touches the frame at one place, the ring walked from there and
// the frame once round back to it, the field on the side given. Touching
// it nowhere or at more places, the field is not one piece or has a hole.
// The places a ring touches the frame, and the step ending at the last.
long frametouches(const fieldwalk& ring, long& at) {
  long touches = 0;
  for (long j = 1; j <= ring.n; ++j) {
    const walkstep& s = ring.steps[j];
    if (edgeof(s.line, finishof(s.forward)) != 0) {
      ++touches;
      at = j;
    }
  }
  return touches;
}

fieldwalk roundtheframe(smallint k, const farray<smallint, 1, maxbound>& lines, long n, const fieldwalk& ring,
                        int side) {
  long at = 0;
  if (frametouches(ring, at) != 1) nowalk(k, lines, n, closing::closed);
  fieldwalk w = rotated(ring, at % ring.n + 1);
  w.steps[w.n].frame = true;
  w.turn = side;
  w.roundframe = true;
  if (holdsotherline(w, w.turn)) nowalk(k, lines, n, closing::closed);
  return w;
}

// Whether a line end lies at the place of a point on the frame.
bool atframepoint(smallint line, smallint end) {
  // points within their rounding of the frame were put on it when read
  const spot at = endspot(line, end);
  return FRAMESIDEAT(at.x, at.y) != 0 && FRAMEPOINTAT(at);
}

// A field of one line from a point on the frame to the frame, whose side
// nothing in the window tells: the fields on its two sides have the same
// line, and the frame's own rule for a line between two edges would give
// both the same way round, so the field is not drawn rather than drawn on
// a side chosen blind.
void undecided(smallint k, const farray<smallint, 1, maxbound>& lines, long n, const fieldwalk& w) {
  if (w.n != 1) return;
  const smallint line = w.steps[1].line;
  if (atframepoint(line, firstend) || atframepoint(line, lastend)) nowalk(k, lines, n, closing::closed);
}

// The field's walk, starting with its first listed line; the first line
// turned towards the second listed where that follows it, as the polygon
// has always begun.
fieldwalk fieldwalkof(smallint k, const farray<smallint, 1, maxbound>& lines, long n) {
  fieldwalk w = makewalk(k, lines, n);
  if (w.crossing) return w;
  long first = 1;
  while (w.steps[first].line != lines[1]) ++first;
  w = rotated(w, first);
  bool forward = true;
  if (n == 2) {
    // two lines: forward unless only the first line's first end is joined
    auto joined = [&](smallint end) {
      const smallint link = linkof(lines[1], end);
      return atpoint(link) && (link == linkof(lines[2], firstend) || link == linkof(lines[2], lastend));
    };
    forward = joined(lastend) || !joined(firstend);
  } else if (n >= 3) {
    if (w.steps[2].line == lines[2]) {
      forward = w.steps[1].forward;
    } else if (w.steps[n].line == lines[2]) {
      forward = !w.steps[1].forward;
    }
  }
  if (w.steps[1].forward != forward) w = reversed(w);

  // One run from the frame to the frame, or a ring: which side of it the
  // field lies on, from the points where its lines meet others.
  long framesteps = 0;
  for (long j = 1; j <= w.n; ++j) framesteps += w.steps[j].frame ? 1 : 0;
  if (framesteps >= 2 && holdsotherline(w, w.turn)) nowalk(k, lines, n, closing::closed);
  if (framesteps <= 1) {
    // the side told at the point whose ways the joining of rows turns least
    int side = 0;
    extended best = -1;
    for (long j = 1; j <= w.n; ++j) {
      if (w.steps[j].frame) continue;
      extended length = 0;
      const int told = fieldsideat(w.steps[j], w.steps[j % w.n + 1], length);
      if (told != 0 && length > best) {
        side = told;
        best = length;
      }
    }
    if (framesteps == 1) {
      w.turn = side != 0 ? side : turnbyotherlines(w);
      if (w.turn == 0) undecided(k, lines, n, w);
    } else if (side != 0) {
      // a ring holds its field inside, walked with the field on the left
      // when it runs counterclockwise
      const outline o = outlineof(w, 1);
      // a ring that encloses nothing, its points on one line as written,
      // turns neither way: away from the frame its field is the ring itself
      const int turn = ringturn(o);
      long at = 0;
      if ((turn > 0) != (side > 0) && (turn != 0 || frametouches(w, at) == 1))
        w = roundtheframe(k, lines, n, w, side);
    }
  }
  return w;
}

void drawwalk(const fieldwalk& w) {
  const walkstep& first = w.steps[1];
  moveto(first.line, startof(first.forward));
  for (long j = 1; j <= w.n; ++j) {
    const walkstep& s = w.steps[j];
    const walkstep& t = w.steps[j % w.n + 1];
    ALINE(s.line, s.forward);
    if (s.frame) {
      framewalk(s.line, finishof(s.forward), t.line, startof(t.forward), w.turn, w.roundframe);
    } else if (j == w.n && w.n <= 2) {
      // one or two lines have always been closed with their start again
      extended x = 0, y = 0;
      endpoint(t.line, startof(t.forward), x, y);
      LINETO(x, y);
    }
  }
}

}  // namespace

smallint WHICHU(const sstring& name) {
  for (smallint i = 1; i <= NLINE; ++i)
    if ((*LINE)[i].name == name) return i;
  stop("which line", "not recognised: " + name);
}

extended DISTANCE(smallint line1, smallint end1, smallint line2, smallint end2) {
  extended x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  endpoint(line1, end1, x1, y1);
  endpoint(line2, end2, x2, y2);
  const extended dx = (x2 - x1) / (XHIGH - XLOW);
  const extended dy = (y2 - y1) / (YHIGH - YLOW);
  return std::sqrt(dx * dx + dy * dy);
}

void DRAWEDGE(smallint line1, smallint end1, smallint line2, smallint end2) {
  extended x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  endpoint(line1, end1, x1, y1);
  endpoint(line2, end2, x2, y2);
  const auto e1 = static_cast<smallint>(-linkof(line1, end1));
  const auto e2 = static_cast<smallint>(-linkof(line2, end2));
  if (e1 > 0 && e2 > 0 && e1 != e2) corners(e1, e2, line1, end1, line2, end2, x1, y1, x2, y2);
  LINETO(x2, y2);
}

void DOAREAS(bool partedpoints) {
  put(0, "<!-- areas -->", 2);
  put(0, "  <g stroke=\"none\" >", 1);
  std::vector<areapolygon> polygons;
  // held while they are made, whichever way the making ends
  struct holding {
    holding(std::vector<areapolygon>* p, bool part) {
      made = p;
      parted = part;
    }
    ~holding() {
      made = nullptr;
      parted = false;
    }
    holding(const holding&) = delete;
    holding& operator=(const holding&) = delete;
  } hold(&polygons, partedpoints);
  for (smallint k = 1; k <= NA; ++k) {
    atype& a = AREA[k];
    smallint n = 0;
    for (long j = 1; j <= a.nbound; ++j) {
      const smallint i = WHICHU(a.boundnames[j]);
      if (lineat(i).npts <= 0) continue;
      ++n;
      a.boundnames[n] = a.boundnames[j];
      a.boundindex[n] = i;
    }
    a.nbound = n;
    if (n == 0) continue;
    // the walk round the field, each line once
    farray<smallint, 1, maxbound> lines;
    long nl = 0;
    for (long j = 1; j <= n; ++j) {
      bool again = false;
      for (long i = 1; i <= nl; ++i) again = again || lines[i] == a.boundindex[j];
      if (!again) lines[++nl] = a.boundindex[j];
    }
    const fieldwalk w = fieldwalkof(k, lines, nl);
    polygons.push_back(areapolygon{k, {}, {}});
    KEEPPOINTS(&polygons.back());
    drawwalk(w);
    KEEPPOINTS(nullptr);
  }
  made = nullptr;
  // the fields analysed are the whole window, each place in one; fields
  // given in the file may be some of them, but never one over another
  CHECKTILES(polygons, CONTROLQK.analyse == yes);
  // and each field on its own side of its lines
  if (CONTROLQK.analyse == yes) CHECKSIDES(polygons);
  writepolygons(polygons);
  put(1, "  </g>", 1);
}

}  // namespace ZQPLTX
