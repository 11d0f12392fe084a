// The fields the analysis found are the whole window, each place in one:
// before the filling writes their polygons, it checks that they tile the
// window, so that a polygon walked the wrong way round the frame, or one
// painted over its neighbours, stops the run rather than make a picture.
// The check reads the polygons in window units (0..1 each way) under the
// picture's own rule, a place being in a polygon that winds round it, and
// exactly: the rows' rounding was settled where the lines were joined at
// their points, so no record's rounding loosens it. Where the polygons do
// not tile, two lines that cross where no point joins them are the data's
// own reason, and are named; else, for two polygons over each other, a
// line both their areas have, where they lie on one side of it; else
// lines that all run along the frame.
#include <algorithm>
#include <cmath>
#include <utility>

#include "frame/io.h"
#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

// Rows across the window the coverage is read along, offset by a share of
// the gap between them that meets no place written to a few digits.
constexpr int scanrows = 401;
constexpr extended scanoffset = 0.3819660112501051518L;
// What the binary form of the numbers may put wrong, in window units: of
// a stretch along a row, and of the polygons' areas summed.
constexpr extended binaryshare = 1e-12L;
constexpr extended areashare = 1e-9L;
// Digits of the place named in a message.
constexpr smallint placedigits = 6;

struct windowpolygon {
  smallint area = 0;
  std::vector<extended> x, y;
};

windowpolygon inwindowunits(const areapolygon& p) {
  windowpolygon w;
  w.area = p.area;
  for (std::size_t i = 0; i < p.x.size(); ++i) {
    w.x.push_back((p.x[i] - XLOW) / (XHIGH - XLOW));
    w.y.push_back((p.y[i] - YLOW) / (YHIGH - YLOW));
  }
  return w;
}

extended areaof(const windowpolygon& p) {
  extended twice = 0;
  const std::size_t n = p.x.size();
  for (std::size_t a = 0, b = n - 1; a < n; b = a++) twice += (p.x[b] - p.x[0]) * (p.y[a] - p.y[0]) -
                                                              (p.x[a] - p.x[0]) * (p.y[b] - p.y[0]);
  return std::fabs(twice) / 2;
}

// The stretches of the row at height v that a polygon winds round, from
// where its outline crosses the row. An edge is read from its lower end
// up, so that the two polygons on either side of a line cross the row at
// one place, to the last digit.
std::vector<std::pair<extended, extended>> coveredalong(const windowpolygon& p, extended v) {
  std::vector<std::pair<extended, int>> cuts;
  const std::size_t n = p.x.size();
  for (std::size_t a = 0, b = n - 1; a < n; b = a++) {
    if ((p.y[a] > v) == (p.y[b] > v)) continue;
    const bool up = p.y[a] > p.y[b];
    const std::size_t lo = up ? b : a, hi = up ? a : b;
    const extended u = p.x[lo] + (v - p.y[lo]) * (p.x[hi] - p.x[lo]) / (p.y[hi] - p.y[lo]);
    cuts.push_back({u, up ? 1 : -1});
  }
  std::sort(cuts.begin(), cuts.end());
  std::vector<std::pair<extended, extended>> covered;
  int winding = 0;
  for (std::size_t i = 0; i < cuts.size(); ++i) {
    const int before = winding;
    winding += cuts[i].second;
    if (before == 0 && winding != 0) covered.push_back({cuts[i].first, cuts[i].first});
    if (before != 0 && winding == 0) covered.back().second = cuts[i].first;
  }
  return covered;
}

std::string placeat(extended u, extended v) {
  return IO::REAL2STR(XLOW + u * (XHIGH - XLOW), placedigits, false) + " " +
         IO::REAL2STR(YLOW + v * (YHIGH - YLOW), placedigits, false);
}

}  // namespace

std::string AREANAMED(smallint k) {
  const atype& a = AREA[k];
  std::string names;
  for (long j = 1; j <= a.nbound; ++j) names += (j > 1 ? " " : "") + a.boundnames[j];
  return IO::INT2STR(k) + " (" + names + ")";
}

std::string CROSSINGOFLINES() {
  auto crossat = [](smallint i, smallint j, extended x, extended y) {
    return "lines " + (*LINE)[i].name + " and " + (*LINE)[j].name + " cross at " +
           IO::REAL2STR(x, placedigits, false) + " " + IO::REAL2STR(y, placedigits, false) +
           ", where no point joins them";
  };
  auto first = [&](auto meet) -> std::string {
    for (smallint i = 1; i <= NLINE; ++i)
      for (smallint j = static_cast<smallint>(i + 1); j <= NLINE; ++j) {
        extended x = 0, y = 0;
        if (meet(i, j, x, y)) return crossat(i, j, x, y);
      }
    return "";
  };
  // lines as drawn that meet between their rows beyond their rounding of
  // every point first, then at a row both were written with: rounded
  // alike there, they may still pass each other; last, lines that meet
  // within the rounding of a point the joining did not take them through,
  // but for one both name: there they meet at it.
  // A crossing of lines as read that the joining took apart is none of
  // these: the joining moves rows only within their rounding, so where it
  // took two lines through a point, along each other or round a sliver,
  // they crossed within their rounding, and the data do not tell it.
  std::string why = first([](smallint i, smallint j, extended& x, extended& y) { return LINESCROSS(i, j, x, y); });
  if (why.empty()) why = first(LINESCROSSATROW);
  if (why.empty())
    why = first([](smallint i, smallint j, extended& x, extended& y) { return LINESCROSS(i, j, x, y, true); });
  return why;
}

bool LINEALONGFRAME(smallint i) {
  const linetype& l = (*LINE)[i];
  auto onside = [](extended a, extended b, extended low, extended high) { return a == b && (a == low || a == high); };
  for (long k = 1; k < l.npts; ++k)
    if (!onside(l.x[k], l.x[k + 1], XLOW, XHIGH) && !onside(l.y[k], l.y[k + 1], YLOW, YHIGH)) return false;
  return l.npts >= 2;
}

namespace {

// The line an area names, 0 for none: areas given in the file may name
// lines the records do not hold.
smallint lineindex(const sstring& name) {
  for (smallint i = 1; i <= NLINE; ++i)
    if ((*LINE)[i].name == name) return i;
  return 0;
}

// Whether every line of area k runs along the frame: rows written coarser
// than the window put there leave the field no width for the picture to
// find its side by.
bool alongframe(smallint k) {
  const atype& a = AREA[k];
  for (long j = 1; j <= a.nbound; ++j) {
    const smallint i = lineindex(a.boundnames[j]);
    if (i == 0 || !LINEALONGFRAME(i)) return false;
  }
  return true;
}

// Which side of segment k of line i (from row k to row k + 1) a polygon
// covers beside it, as the check reads the polygon: along the row through
// the segment's middle (the column, for a segment along a row), 1 where a
// stretch it winds round starts where the segment crosses, -1 where one
// ends there, 0 for both or neither. Two polygons that give one segment
// the same side lie over each other beside it.
int sidealong(const windowpolygon& p, smallint i, long k) {
  const linetype& l = (*LINE)[i];
  extended ax = (l.x[k] - XLOW) / (XHIGH - XLOW), ay = (l.y[k] - YLOW) / (YHIGH - YLOW);
  extended bx = (l.x[k + 1] - XLOW) / (XHIGH - XLOW), by = (l.y[k + 1] - YLOW) / (YHIGH - YLOW);
  const bool alongrow = ay == by;
  windowpolygon turned;
  if (alongrow) {
    turned = p;
    std::swap(turned.x, turned.y);
    std::swap(ax, ay);
    std::swap(bx, by);
  }
  const windowpolygon& q = alongrow ? turned : p;
  if (ay == by) return 0;  // no length
  // where the segment crosses the row, as the polygon's edge does: read
  // from its lower end up
  if (ay > by) {
    std::swap(ax, bx);
    std::swap(ay, by);
  }
  const extended v = (ay + by) / 2;
  const extended u = ax + (v - ay) * (bx - ax) / (by - ay);
  int towards = 0;
  for (const auto& [from, to] : coveredalong(q, v)) towards += (from == u ? 1 : 0) - (to == u ? 1 : 0);
  return towards;
}

// A line both areas have that their polygons lie beside on one side: the
// two fields of a line lie on its two sides, so there the data put one
// over the other. 0 for none.
smallint sharedside(const windowpolygon& p1, const windowpolygon& p2) {
  const atype& a1 = AREA[p1.area];
  const atype& a2 = AREA[p2.area];
  for (long j1 = 1; j1 <= a1.nbound; ++j1)
    for (long j2 = 1; j2 <= a2.nbound; ++j2) {
      const smallint i = a1.boundnames[j1] == a2.boundnames[j2] ? lineindex(a1.boundnames[j1]) : 0;
      for (long k = 1; i > 0 && k < (*LINE)[i].npts; ++k) {
        const int s = sidealong(p1, i, k);
        if (s != 0 && s == sidealong(p2, i, k)) return i;
      }
    }
  return 0;
}

[[noreturn]] void overlap(const windowpolygon& p1, const windowpolygon& p2, extended u, extended v) {
  std::string why = CROSSINGOFLINES();
  const smallint i = why.empty() ? sharedside(p1, p2) : 0;
  if (i > 0) why = "both lie on one side of line " + (*LINE)[i].name;
  if (why.empty() && alongframe(p1.area) && alongframe(p2.area)) why = "their lines lie along the frame";
  IO::ERROREXIT("areas",
                "areas " + AREANAMED(p1.area) + " and " + AREANAMED(p2.area) + " cannot be drawn: " +
                    (why.empty() ? "their polygons both cover the place " + placeat(u, v) : why),
                yourfault);
}

[[noreturn]] void gap(smallint k, extended u, extended v) {
  std::string why = CROSSINGOFLINES();
  if (why.empty() && alongframe(k)) why = "its lines lie along the frame";
  IO::ERROREXIT("areas",
                "area " + AREANAMED(k) + " cannot be drawn: " +
                    (why.empty() ? "beside it no polygon covers the place " + placeat(u, v) : why),
                yourfault);
}

// Along one row: every stretch of the window longer than the tolerance lies
// in exactly one polygon.
// Columns are read as rows of the polygons turned over (x and y changed
// round), and named the right way round.
void checkrow(const std::vector<windowpolygon>& polys, const std::vector<windowpolygon>& asdrawn, extended v,
              extended tolerance, bool whole, bool column) {
  struct event {
    extended at;
    int change;
    std::size_t poly;
  };
  std::vector<event> events;
  for (std::size_t i = 0; i < polys.size(); ++i)
    for (const auto& [from, to] : coveredalong(polys[i], v)) {
      if (!(from < to)) continue;
      events.push_back({from, 1, i});
      events.push_back({to, -1, i});
    }
  std::sort(events.begin(), events.end(), [](const event& a, const event& b) {
    return a.at < b.at || (a.at == b.at && a.change < b.change);
  });
  std::vector<std::size_t> in;
  extended from = 0;
  std::size_t last = polys.size();  // the polygon left last, beside a gap
  auto stretch = [&](extended to, std::size_t next) {
    const extended a = std::max(from, extended{0}), b = std::min(to, extended{1});
    if (b - a <= tolerance) return;
    const extended mid = (a + b) / 2;
    const extended u = column ? v : mid, w = column ? mid : v;
    if (in.size() > 1) overlap(asdrawn[in[0]], asdrawn[in[1]], u, w);
    if (in.empty() && whole) gap(polys[last < polys.size() ? last : next].area, u, w);
  };
  for (const event& e : events) {
    stretch(e.at, e.poly);
    if (e.change > 0) {
      in.push_back(e.poly);
    } else {
      in.erase(std::find(in.begin(), in.end(), e.poly));
      last = e.poly;
    }
    from = e.at;
  }
  stretch(1, polys.empty() ? 0 : polys.size() - 1);
}

}  // namespace

void CHECKTILES(const std::vector<areapolygon>& drawn, bool whole) {
  std::vector<windowpolygon> polys;
  for (const areapolygon& p : drawn)
    if (p.x.size() >= 3) polys.push_back(inwindowunits(p));
  if (polys.empty()) return;
  const extended width = binaryshare;
  extended total = 0, largest = -1;
  smallint biggest = polys[0].area;
  for (const windowpolygon& p : polys) {
    const extended a = areaof(p);
    total += a;
    if (a > largest) {
      largest = a;
      biggest = p.area;
    }
  }
  for (int r = 0; r < scanrows; ++r) checkrow(polys, polys, (r + scanoffset) / scanrows, width, whole, false);
  // a sliver along the rows lies across the columns
  std::vector<windowpolygon> turned = polys;
  for (windowpolygon& p : turned) std::swap(p.x, p.y);
  for (int r = 0; r < scanrows; ++r) checkrow(turned, polys, (r + scanoffset) / scanrows, width, whole, true);
  if (whole ? std::fabs(total - 1) > areashare : total - 1 > areashare) {
    const std::string why = CROSSINGOFLINES();
    IO::ERROREXIT("areas",
                  "area " + AREANAMED(biggest) + " cannot be drawn: " +
                      (why.empty() ? std::string("with it the polygons cover ") + (total > 1 ? "more" : "less") +
                                         " than the window, by " +
                                         IO::REAL2STR(std::fabs(total - 1), placedigits, false) + " of it"
                                   : why),
                  yourfault);
  }
}

}  // namespace ZQPLTX
