// The line network: crossover points, lines joined to their end points and
// clipped at the drawing window.
#include <cmath>

#include "frame/io.h"
#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

// Coordinates in the log reports, and the rule above each record.
constexpr smallint reportplaces = 4, reportwidth = 10;
constexpr std::size_t reportrule = 33;

constexpr extended edgetolerance = 1e-7L;

enum edge : smallint { bottom = 1, left = 2, top = 3, right = 4 };

bool openend(const sstring& w) { return w == "begin" || w == "end"; }

bool between(extended v, extended a, extended b) { return (a <= v && v <= b) || (b <= v && v <= a); }

// Slope and intercept of the segment from (x1, y1) to (x2, y2), x1 != x2.
void slopeof(extended x1, extended y1, extended x2, extended y2, extended& m, extended& c) {
  m = (y2 - y1) / (x2 - x1);
  c = (x2 * y1 - y2 * x1) / (x2 - x1);
}

// The crossing of segment a (line la, from point ka) and segment b.
bool segmentscross(const linetype& la, long ka, const linetype& lb, long kb, extended& x, extended& y) {
  const extended ax1 = la.x[ka], ay1 = la.y[ka], ax2 = la.x[ka + 1], ay2 = la.y[ka + 1];
  const extended bx1 = lb.x[kb], by1 = lb.y[kb], bx2 = lb.x[kb + 1], by2 = lb.y[kb + 1];
  const bool avert = ax1 == ax2, bvert = bx1 == bx2;
  extended ma = 0, ca = 0, mb = 0, cb = 0;
  if (!avert) slopeof(ax1, ay1, ax2, ay2, ma, ca);
  if (!bvert) slopeof(bx1, by1, bx2, by2, mb, cb);
  if (avert && bvert) return false;
  if (avert) {
    if (!between(ax1, bx1, bx2)) return false;
    x = ax1;
    y = cb + x * mb;
    return true;
  }
  if (bvert) {
    if (!between(bx1, ax1, ax2)) return false;
    x = bx1;
    y = ca + x * ma;
    return true;
  }
  if (ma == mb) return false;
  const extended xc = (cb - ca) / (ma - mb);
  if (!between(xc, ax1, ax2) || !between(xc, bx1, bx2)) return false;
  x = xc;
  y = ca + xc * ma;
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

// The window edges that the segment from (x1, y1) to (x2, y2) crosses, in
// the order bottom, left, top, right; a third is fatal.
smallint edgecuts(extended x1, extended y1, extended x2, extended y2, farray<smallint, 1, 2>& edges,
                  farray<extended, 1, 2>& cx, farray<extended, 1, 2>& cy) {
  const bool vertical = x1 == x2, horizontal = y1 == y2;
  extended m = 0, c = 0;
  if (!vertical) slopeof(x1, y1, x2, y2, m, c);
  auto crosses = [](extended a, extended b, extended v) { return (a > v && v >= b) || (a < v && v <= b); };
  smallint count = 0;
  auto add = [&](smallint e, extended x, extended y) {
    if (count == 2) IO::ERROREXIT("edge", "too many cuts", yourfault);
    ++count;
    edges[count] = e;
    cx[count] = x;
    cy[count] = y;
  };
  for (smallint e = bottom; e <= right; ++e) {
    if (e == bottom || e == top) {
      const extended Y = e == bottom ? YLOW : YHIGH;
      if (horizontal || !crosses(y1, y2, Y)) continue;
      const extended x = vertical ? x1 : (Y - c) / m;
      if (XLOW <= x && x <= XHIGH) add(e, x, Y);
    } else {
      const extended X = e == left ? XLOW : XHIGH;
      if (vertical || !crosses(x1, x2, X)) continue;
      const extended y = horizontal ? y1 : c + m * X;
      if (YLOW <= y && y <= YHIGH) add(e, X, y);
    }
  }
  return count;
}

void setlink(smallint& link, extended x, extended y) {
  if (std::fabs(y - YLOW) < edgetolerance) {
    link = -bottom;
  } else if (std::fabs(x - XLOW) < edgetolerance) {
    link = -left;
  } else if (std::fabs(y - YHIGH) < edgetolerance) {
    link = -top;
  } else if (std::fabs(x - XHIGH) < edgetolerance) {
    link = -right;
  }
}

// A line's points in the making, with room for every point that set-up and
// clipping can add.
struct pointlist {
  linevector x, y;
  smallint n = 0;
  void add(extended px, extended py) {
    ++n;
    x[n] = px;
    y[n] = py;
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
  }
  l.npts = p.n;
}

}  // namespace

void DOCROSSOVER() {
  for (smallint i = 1; i <= NPOINT; ++i) {
    pointtype& p = (*POINT)[i];
    if (!p.crossover) continue;
    p.crossline1 = linenamed(p.crossname1);
    p.crossline2 = linenamed(p.crossname2);
    const linetype& a = (*LINE)[p.crossline1];
    const linetype& b = (*LINE)[p.crossline2];
    bool found = false;
    // A line of fewer than two points has no segment to cross.
    for (long ka = 1; ka <= a.npts - 1 && !found; ++ka)
      for (long kb = 1; kb <= b.npts - 1 && !found; ++kb) found = segmentscross(a, ka, b, kb, p.x, p.y);
    if (!found) IO::ERROREXIT("crossover", "lines don't cross for " + p.name, yourfault);
  }
}

smallint WHICHI(const sstring& name) {
  if (openend(name)) return 0;
  for (smallint i = 1; i <= NPOINT; ++i)
    if ((*POINT)[i].name == name) return i;
  IO::ERROREXIT("which point", "not recognised: " + name, yourfault);
}

void MONOTONIC(smallint i) {
  linetype& l = (*LINE)[i];
  l.monox = true;
  if (l.npts < 3) return;
  long first = 0;
  for (long k = 2; k <= l.npts; ++k) {
    if (l.x[k] != l.x[1]) {
      first = k;
      break;
    }
  }
  if (first == 0) {
    l.monox = false;
    return;
  }
  const bool rising = l.x[1] < l.x[first];
  for (long k = first + 1; k <= l.npts; ++k) {
    const extended step = l.x[k] - l.x[k - 1];
    if ((rising && step < 0) || (!rising && step > 0)) {
      l.monox = false;
      return;
    }
  }
}

smallint FINDINSERTPOSI(smallint i, smallint p) {
  const linetype& l = (*LINE)[i];
  const pointtype& pt = (*POINT)[p];
  const linevector& c = l.monox ? l.x : l.y;
  const extended v = l.monox ? pt.x : pt.y;
  if (l.npts <= 1) return 1;
  for (smallint k = 1; k <= l.npts - 1; ++k)
    if (between(v, c[k], c[k + 1])) return k;
  if (c[l.npts] <= c[1]) return v <= c[1] ? l.npts : smallint{0};
  return v <= c[l.npts] ? smallint{0} : l.npts;
}

void ADDPOINTS(smallint i) {
  linetype& l = (*LINE)[i];
  const bool beginpoint = l.beginlink > 0, endpoint = l.endlink > 0;
  if (!beginpoint && !endpoint) return;
  smallint pb = beginpoint ? FINDINSERTPOSI(i, l.beginlink) : smallint{0};
  smallint pe = endpoint ? FINDINSERTPOSI(i, l.endlink) : smallint{0};
  auto exchange = [&] {
    std::swap(l.beginname, l.endname);
    std::swap(l.beginlink, l.endlink);
    std::swap(pb, pe);
  };
  pointlist& out = scratch();
  out.n = 0;
  auto addpoint = [&](smallint p) { out.add((*POINT)[p].x, (*POINT)[p].y); };
  auto adddata = [&](long from, long to) {
    for (long k = from; k <= to; ++k) out.add(l.x[k], l.y[k]);
  };
  if (beginpoint != endpoint) {
    if (l.endname == "begin" || l.beginname == "end") exchange();
    if (l.endname == "end") {
      if (pb == l.npts) IO::ERROREXIT("add points", "\"end\" should be \"begin\" for " + l.name + "?", yourfault);
      addpoint(l.beginlink);
      adddata(pb + 1, l.npts);
    } else {
      if (pe == 0) IO::ERROREXIT("add points", "\"begin\" should be \"end\" for " + l.name + "?", yourfault);
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
}

bool POINTSEEN(extended x, extended y) { return XLOW <= x && x <= XHIGH && YLOW <= y && y <= YHIGH; }

void ADDEDGES(smallint i) {
  for (smallint p = 1; p <= NPOINT; ++p) (*POINT)[p].seen = POINTSEEN((*POINT)[p].x, (*POINT)[p].y);
  linetype& l = (*LINE)[i];
  const smallint n = l.npts;
  smallint b = l.beginlink, e = l.endlink;
  smallint cuts = 0;
  bool started = false;
  bool inside = n >= 1 && POINTSEEN(l.x[1], l.y[1]);
  const bool firstinside = inside;
  pointlist& out = scratch();
  out.n = 0;
  if (inside) out.add(l.x[1], l.y[1]);
  farray<smallint, 1, 2> edges;
  farray<extended, 1, 2> cx, cy;
  for (long k = 1; k <= n - 1; ++k) {
    const smallint count = edgecuts(l.x[k], l.y[k], l.x[k + 1], l.y[k + 1], edges, cx, cy);
    cuts = static_cast<smallint>(cuts + count);
    if (count == 0) {
      if (inside) out.add(l.x[k + 1], l.y[k + 1]);
    } else if (count == 1 && !inside) {
      if (!started) {
        b = static_cast<smallint>(-edges[1]);
        out.n = 0;
      } else if (edges[1] != -e) {
        extended x = 0, y = 0;
        corner(edges[1], static_cast<smallint>(-e), x, y, l.name);
        out.add(x, y);
        e = l.endlink;
        cuts = static_cast<smallint>(cuts - 2);
      }
      out.add(cx[1], cy[1]);
      out.add(l.x[k + 1], l.y[k + 1]);
    } else if (count == 1) {
      out.add(cx[1], cy[1]);
      e = static_cast<smallint>(-edges[1]);
    } else {
      if (!started) {
        out.n = 0;
        b = static_cast<smallint>(-edges[1]);
      } else {
        cuts = static_cast<smallint>(cuts - 2);
      }
      out.add(cx[1], cy[1]);
      out.add(cx[2], cy[2]);
      e = static_cast<smallint>(-edges[2]);
    }
    if (count == 1) {
      started = true;
      inside = !inside;
    } else if (count == 2) {
      started = true;
      inside = false;
    }
  }
  if (cuts < 0 || cuts > 2) IO::ERROREXIT("lines", "bad cuts of window edge", yourfault);
  l.beginlink = b;
  l.endlink = e;
  if (cuts == 0 && !firstinside) {
    l.npts = 0;
    return;
  }
  store(l, out);
  if (l.npts == 0) return;
  if (l.beginlink == 0) setlink(l.beginlink, l.x[1], l.y[1]);
  if (l.endlink == 0) setlink(l.endlink, l.x[l.npts], l.y[l.npts]);
}

void SETUPLINES() {
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
      l.x[2] = p2.x;
      l.y[2] = p2.y;
      l.npts = 2;
    } else {
      ADDPOINTS(i);
    }
    ADDEDGES(i);
    PRINTLINE(i, 3);
  }
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
