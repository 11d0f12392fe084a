// The filled areas under the frame and the lines: one closed polygon per
// area, assembled from its bounding lines and, where a line ends on the
// frame, the way along the frame to the next one.
#include <cmath>

#include "frame/bytes.h"
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

smallint linkof(smallint line, smallint end) {
  const linetype& l = lineat(line);
  return end == firstend ? l.beginlink : l.endlink;
}

bool atpoint(smallint link) { return link >= 1; }

void put(smallint before, const std::string& text, smallint after) { IO::PUTSTR(before, text, after, CHANNEL::SVG); }

void report(const std::string& text) {
  IO::PUTSTR(0, std::string(utf8text::bullet_s) + " " + text, 1, CHANNEL::TERMSUMLOG);
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

// How a polygon goes on from one line to the next: the next line's
// direction, whether the frame lies between them, or why it cannot.
struct joint {
  bool first = true;   // direction of the first line (start table only)
  bool second = true;  // direction of the next line
  bool walk = false;
  int failure = 0;
};

joint shared(bool a, bool b) { return joint{a, b, false, 0}; }
joint walked(bool a, bool b) { return joint{a, b, true, 0}; }
joint failed(int code) { return joint{true, true, false, code}; }

constexpr bool fwd = true, bwd = false;

joint startjoint(smallint l1, smallint l2) {
  const smallint b1 = linkof(l1, firstend), e1 = linkof(l1, lastend);
  const smallint b2 = linkof(l2, firstend), e2 = linkof(l2, lastend);
  const int at = (atpoint(b1) ? 8 : 0) | (atpoint(e1) ? 4 : 0) | (atpoint(b2) ? 2 : 0) | (atpoint(e2) ? 1 : 0);
  auto dist = [&](smallint end1, smallint end2) { return DISTANCE(l1, end1, l2, end2); };
  switch (at) {
    case 15:
      if (e1 == b2) return shared(fwd, fwd);
      if (e1 == e2) return shared(fwd, bwd);
      if (b1 == b2) return shared(bwd, fwd);
      if (b1 == e2) return shared(bwd, bwd);
      return failed(1);
    case 14:  // b1, e1, b2
      if (e1 == b2) return shared(fwd, fwd);
      if (b1 == b2) return shared(bwd, fwd);
      return failed(2);
    case 13:  // b1, e1, e2
      if (e1 == e2) return shared(fwd, bwd);
      if (b1 == e2) return shared(bwd, bwd);
      return failed(3);
    case 11:  // b1, b2, e2
      if (b1 == b2) return shared(bwd, fwd);
      if (b1 == e2) return shared(bwd, bwd);
      return failed(4);
    case 7:  // e1, b2, e2
      if (e1 == b2) return shared(fwd, fwd);
      if (e1 == e2) return shared(fwd, bwd);
      return failed(5);
    case 10:  // b1, b2
      return b1 == b2 ? shared(bwd, fwd) : walked(fwd, bwd);
    case 9:  // b1, e2
      return b1 == e2 ? shared(bwd, bwd) : walked(fwd, fwd);
    case 6:  // e1, b2
      return e1 == b2 ? shared(fwd, fwd) : walked(bwd, bwd);
    case 5:  // e1, e2
      return e1 == e2 ? shared(fwd, bwd) : walked(bwd, fwd);
    case 3:  // b2, e2
      return failed(6);
    case 12:  // b1, e1
      return failed(7);
    case 8:  // b1
      if (e1 == b2) return walked(fwd, fwd);
      if (e1 == e2) return walked(fwd, bwd);
      return walked(fwd, dist(lastend, firstend) < dist(lastend, lastend));
    case 4:  // e1
      if (b1 == b2) return walked(bwd, fwd);
      if (b1 == e2) return walked(bwd, bwd);
      return walked(bwd, dist(firstend, firstend) < dist(firstend, lastend));
    case 2:  // b2
      if (b1 == e2) return walked(bwd, bwd);
      if (e1 == e2) return walked(fwd, bwd);
      return walked(dist(lastend, lastend) < dist(firstend, lastend), bwd);
    case 1:  // e2
      if (b1 == b2) return walked(bwd, fwd);
      if (e1 == b2) return walked(fwd, fwd);
      return walked(dist(lastend, firstend) < dist(firstend, firstend), fwd);
    default:
      return failed(8);
  }
}

// From the current line's travel end (line c, end cend) on to line n.
joint stepjoint(smallint c, smallint cend, smallint n) {
  const smallint t = linkof(c, cend);
  const smallint nb = linkof(n, firstend), ne = linkof(n, lastend);
  if (atpoint(t)) {
    if (atpoint(nb) && atpoint(ne)) {
      if (t == nb) return shared(fwd, fwd);
      if (t == ne) return shared(fwd, bwd);
      return failed(1);
    }
    if (atpoint(nb)) return t == nb ? shared(fwd, fwd) : failed(2);
    if (atpoint(ne)) return t == ne ? shared(fwd, bwd) : failed(3);
    return failed(4);
  }
  if (atpoint(nb) && atpoint(ne)) return failed(5);
  if (atpoint(nb)) return walked(fwd, bwd);
  if (atpoint(ne)) return walked(fwd, fwd);
  if (t == nb) return walked(fwd, fwd);
  if (t == ne) return walked(fwd, bwd);
  return walked(fwd, DISTANCE(c, cend, n, firstend) < DISTANCE(c, cend, n, lastend));
}

void moveto(smallint line, smallint end) {
  extended x = 0, y = 0;
  endpoint(line, end, x, y);
  MOVETO(x, y);
}

void oneline(smallint l) {
  moveto(l, firstend);
  ALINE(l, fwd);
  DRAWEDGE(l, lastend, l, firstend);
}

void twolines(smallint l1, smallint l2) {
  const smallint b1 = linkof(l1, firstend), e1 = linkof(l1, lastend);
  const smallint b2 = linkof(l2, firstend), e2 = linkof(l2, lastend);
  if (b1 < 0 && e1 < 0 && b2 < 0 && e2 < 0) {
    bool second = fwd;
    if (e1 == b2 || b1 == e2) {
      second = fwd;
    } else if (e1 == e2 || b1 == b2) {
      second = bwd;
    } else {
      second = DISTANCE(l1, lastend, l2, firstend) < DISTANCE(l1, lastend, l2, lastend);
    }
    moveto(l1, firstend);
    ALINE(l1, fwd);
    DRAWEDGE(l1, lastend, l2, startof(second));
    ALINE(l2, second);
    DRAWEDGE(l2, finishof(second), l1, firstend);
    return;
  }
  joint j = shared(bwd, bwd);
  if (atpoint(e1) && e1 == b2) {
    j = shared(fwd, fwd);
  } else if (atpoint(e1) && e1 == e2) {
    j = shared(fwd, bwd);
  } else if (atpoint(b1) && b1 == b2) {
    j = shared(bwd, fwd);
  }
  moveto(l1, startof(j.first));
  ALINE(l1, j.first);
  ALINE(l2, j.second);
  DRAWEDGE(l2, finishof(j.second), l1, startof(j.first));
}

void morelines(smallint k) {
  const atype& a = AREA[k];
  const smallint l1 = a.boundindex[1];
  const joint start = startjoint(l1, a.boundindex[2]);
  if (start.failure != 0) {
    report("something funny with area " + IO::INT2STR(k) + ": can't get started (" + IO::INT2STR(start.failure) + ")");
    return;
  }
  moveto(l1, startof(start.first));
  ALINE(l1, start.first);
  if (start.walk) DRAWEDGE(l1, finishof(start.first), a.boundindex[2], startof(start.second));
  bool dir = start.second;
  for (long j = 2; j <= a.nbound; ++j) {
    const smallint c = a.boundindex[j];
    joint next;
    smallint target = l1, targetend = startof(start.first);
    if (j < a.nbound) {
      const smallint n = a.boundindex[j + 1];
      next = stepjoint(c, finishof(dir), n);
      if (next.failure != 0) {
        report("something funny (" + IO::INT2STR(next.failure) + ") with area " + IO::INT2STR(k) +
               " looking at line " + lineat(n).name);
        return;
      }
      target = n;
      targetend = startof(next.second);
    } else {
      next.walk = linkof(c, finishof(dir)) < 0;
    }
    ALINE(c, dir);
    if (next.walk) DRAWEDGE(c, finishof(dir), target, targetend);
    dir = next.second;
  }
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
  const extended cross = (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0);
  return cross > 0 ? 1 : cross < 0 ? -1 : 0;
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

}  // namespace

smallint WHICHU(const sstring& name) {
  for (smallint i = 1; i <= NLINE; ++i)
    if ((*LINE)[i].name == name) return i;
  IO::ERROREXIT("which line", "not recognised: " + name, yourfault);
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

void DOAREAS() {
  put(0, "<!-- areas -->", 2);
  put(0, "  <g stroke=\"none\" >", 1);
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
    const rgbcolour& light = CONTROLQK.lightcolour;
    const rgbcolour& dark = CONTROLQK.darkcolour;
    put(1,
        "    <polygon fill=\"rgb(" + IO::INT2STR(component(a.grayscale, light.r, dark.r)) + "," +
            IO::INT2STR(component(a.grayscale, light.g, dark.g)) + "," +
            IO::INT2STR(component(a.grayscale, light.b, dark.b)) + ")\" points=\"",
        1);
    if (n == 1) {
      oneline(a.boundindex[1]);
    } else if (n == 2) {
      twolines(a.boundindex[1], a.boundindex[2]);
    } else {
      morelines(k);
    }
    put(0, "\" />", 1);
  }
  put(1, "  </g>", 1);
}

}  // namespace ZQPLTX
