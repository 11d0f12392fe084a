// The polygons of the fields tile the window, but a tiling can still put
// each field where its neighbour lies, all of them over to the wrong side
// of their lines. So before the polygons are written each is looked at
// from a place inside it, against the lines as the set-up cut them at
// their points, before the window clipped them: the first line a ray from
// the place crosses bounds the field the place is in, on the side facing
// the place, and the next line the ray crosses tells which side that is,
// the field between the two being a side of each. The place must lie on
// the side with the first line's zero phase exactly where the polygon's
// area holds that phase. The lines are read beyond the window: a window
// below every line has no line of its own to tell its field by.
// The rows' rounding decides nothing: the place is clear of every line by
// it, and a ray that passes a line's end or a turn within it, or crosses
// its two lines within it of each other, tells nothing; nor does one whose
// two lines share no side, or both, or that crosses one line twice, nor
// one whose lines meet another beyond the rounding of every point (their
// sides then are not one field each along them). Beyond the window a ray
// tells only where no line's rows stop at no point in the box it spans
// with the window: past such an end the line goes on unwritten.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "frame/io.h"
#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

// Rows of the window a place inside a polygon is looked for along, offset
// by a share of the gap between them that meets no place written to a few
// digits.
constexpr int placerows = 15;
constexpr extended placeoffset = 0.3819660112501051518L;
// Rays from the place: a quarter turn apart, tilted off the axes so that
// none runs along a row's value.
constexpr int rays = 4;
constexpr extended raytilt = 0.1L;
// Digits of the place named in a message.
constexpr smallint placedigits = 6;

// A line as the set-up cut it at its points, before the window clipped it.
struct cutline {
  std::vector<extended> x, y;
  std::vector<rounding> round;
};
// The lines of the drawing, index i - 1 for line i, and the ends of lines
// that are at no point (a line's rows stop there, where its calculation
// did): kept by KEEPCUTLINES each time the set-up cuts them, read by
// CHECKSIDES.
std::vector<cutline> cutlines;
std::vector<spot> openends;

struct place {
  extended x = 0, y = 0;
};

// Whether some place of the segment from a to b lies within (rx, ry) of
// c each way.
bool segmentnear(place a, place b, place c, extended rx, extended ry) {
  extended t0 = 0, t1 = 1;
  // the share of the segment where p t <= q
  const auto clip = [&](extended p, extended q) {
    if (p == 0) return q >= 0;
    const extended r = q / p;
    if (p < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
    return true;
  };
  const extended dx = b.x - a.x, dy = b.y - a.y;
  return clip(-dx, a.x - (c.x - rx)) && clip(dx, c.x + rx - a.x) && clip(-dy, a.y - (c.y - ry)) &&
         clip(dy, c.y + ry - a.y);
}

// How far a row's rounding reaches each way.
void reachof(const rounding& r, extended& rx, extended& ry) {
  rx = roundingunits * r.wayx;
  ry = roundingunits * r.wayy;
}

place rowof(const cutline& l, std::size_t k) { return {l.x[k], l.y[k]}; }

// Whether a place lies clear of every line by the rounding of its rows.
bool clear(place c) {
  for (const cutline& l : cutlines)
    for (std::size_t k = 0; k + 1 < l.x.size(); ++k) {
      extended rx = 0, ry = 0;
      reachof(COARSER(l.round[k], l.round[k + 1]), rx, ry);
      if (segmentnear(rowof(l, k), rowof(l, k + 1), c, rx, ry)) return false;
    }
  return true;
}

// A place inside the polygon clear of every line: the middle of a stretch
// of a row that the polygon winds round. False for a polygon too thin to
// hold one, which then tells nothing.
bool placeinside(const areapolygon& p, place& at) {
  const std::size_t n = p.x.size();
  for (int j = 0; j < placerows; ++j) {
    // from the middle row out
    const int r = placerows / 2 + (j % 2 == 0 ? j / 2 : -(j + 1) / 2);
    const extended v = YLOW + (r + placeoffset) / placerows * (YHIGH - YLOW);
    std::vector<std::pair<extended, int>> cuts;
    for (std::size_t a = 0, b = n - 1; a < n; b = a++) {
      if ((p.y[a] > v) == (p.y[b] > v)) continue;
      const extended u = p.x[b] + (v - p.y[b]) * (p.x[a] - p.x[b]) / (p.y[a] - p.y[b]);
      cuts.push_back({u, p.y[a] > p.y[b] ? 1 : -1});
    }
    std::sort(cuts.begin(), cuts.end());
    int winding = 0;
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
      winding += cuts[i].second;
      const place mid{(cuts[i].first + cuts[i + 1].first) / 2, v};
      if (winding != 0 && cuts[i].first < mid.x && mid.x < cuts[i + 1].first && clear(mid)) {
        at = mid;
        return true;
      }
    }
  }
  return false;
}

// Where a ray crosses a line: how far along it, and the line's segment.
struct crossing {
  extended t = 0;
  smallint line = 0;
  std::size_t k = 0;
};

// The crossings of the ray from c through c + d with the lines, in order
// along it; false where it runs through a row, which no crossing tells.
bool crossingsof(place c, place d, std::vector<crossing>& found) {
  const place e{c.x + d.x, c.y + d.y};
  found.clear();
  for (std::size_t i = 0; i < cutlines.size(); ++i) {
    const cutline& l = cutlines[i];
    for (std::size_t k = 0; k < l.x.size(); ++k) {
      if (ORIENT(c.x, c.y, e.x, e.y, l.x[k], l.y[k]) == 0 && DOTSIGN(c.x, c.y, e.x, e.y, c.x, c.y, l.x[k], l.y[k]) > 0)
        return false;
      if (k + 1 == l.x.size()) continue;
      const place a = rowof(l, k), b = rowof(l, k + 1);
      if (ORIENT(c.x, c.y, e.x, e.y, a.x, a.y) * ORIENT(c.x, c.y, e.x, e.y, b.x, b.y) >= 0) continue;
      // ahead of the place, not behind it
      if (CROSSSIGN(c.x, c.y, a.x, a.y, a.x, a.y, b.x, b.y) != CROSSSIGN(c.x, c.y, e.x, e.y, a.x, a.y, b.x, b.y))
        continue;
      const extended t = CROSSVALUE(c.x, c.y, a.x, a.y, a.x, a.y, b.x, b.y) /
                         CROSSVALUE(c.x, c.y, e.x, e.y, a.x, a.y, b.x, b.y);
      found.push_back({t, static_cast<smallint>(i + 1), k});
    }
  }
  std::sort(found.begin(), found.end(), [](const crossing& u, const crossing& v) { return u.t < v.t; });
  return true;
}

// Whether segment i of line a and segment j of line b meet beyond their
// rounding of every point: crossing, or one's row on the other's segment.
// Where no point joins two lines the fields about them are not what their
// sides tell; within the rounding of a point they meet at it.
bool segmentsmeetapart(const cutline& a, std::size_t i, const cutline& b, std::size_t j) {
  const auto apart = [&](extended x, extended y) {
    const spot at{x, y, COARSER(COARSER(a.round[i], a.round[i + 1]), COARSER(b.round[j], b.round[j + 1]))};
    for (smallint p = 1; p <= NPOINT; ++p)
      if (ONEPLACE(at, POINTSPOT(p), reading::way)) return false;
    return true;
  };
  const int sa = ORIENT(b.x[j], b.y[j], b.x[j + 1], b.y[j + 1], a.x[i], a.y[i]);
  const int sb = ORIENT(b.x[j], b.y[j], b.x[j + 1], b.y[j + 1], a.x[i + 1], a.y[i + 1]);
  const int sc = ORIENT(a.x[i], a.y[i], a.x[i + 1], a.y[i + 1], b.x[j], b.y[j]);
  const int sd = ORIENT(a.x[i], a.y[i], a.x[i + 1], a.y[i + 1], b.x[j + 1], b.y[j + 1]);
  if (sa * sb < 0 && sc * sd < 0) {
    const extended t = CROSSVALUE(a.x[i], a.y[i], b.x[j], b.y[j], b.x[j], b.y[j], b.x[j + 1], b.y[j + 1]) /
                       CROSSVALUE(a.x[i], a.y[i], a.x[i + 1], a.y[i + 1], b.x[j], b.y[j], b.x[j + 1], b.y[j + 1]);
    return apart(a.x[i] + t * (a.x[i + 1] - a.x[i]), a.y[i] + t * (a.y[i + 1] - a.y[i]));
  }
  for (std::size_t k : {i, i + 1})
    if (ONSEGMENTAT(b.x[j], b.y[j], b.x[j + 1], b.y[j + 1], a.x[k], a.y[k]) && apart(a.x[k], a.y[k])) return true;
  for (std::size_t k : {j, j + 1})
    if (ONSEGMENTAT(a.x[i], a.y[i], a.x[i + 1], a.y[i + 1], b.x[k], b.y[k]) && apart(b.x[k], b.y[k])) return true;
  return false;
}

bool meetapart(const cutline& a, const cutline& b) {
  for (std::size_t i = 0; i + 1 < a.x.size(); ++i)
    for (std::size_t j = 0; j + 1 < b.x.size(); ++j)
      if (segmentsmeetapart(a, i, b, j)) return true;
  return false;
}

// Whether line i meets another line where no point joins them: then its
// sides are not one field each along all of it. Asked once a line for
// each check (-1 not yet, 0 no, 1 yes), by CHECKSIDES.
std::vector<int> linemeets;

bool meetsapart(std::size_t i) {
  if (linemeets[i] < 0) {
    linemeets[i] = 0;
    for (std::size_t j = 0; j < cutlines.size() && linemeets[i] == 0; ++j)
      if (j != i && meetapart(cutlines[i], cutlines[j])) linemeets[i] = 1;
  }
  return linemeets[i] == 1;
}

// Whether the ray's first two crossings are told apart by the rounding:
// the two far enough apart, the second not where a third line runs with
// it, and no row but those the lines cross it
// between lies within its rounding of the ray up to the second.
bool toldapart(place c, place d, const crossing& c1, const crossing& c2, const crossing* c3) {
  const auto at = [&](const crossing& k) {
    const cutline& l = cutlines[static_cast<std::size_t>(k.line - 1)];
    return spot{c.x + k.t * d.x, c.y + k.t * d.y, COARSER(l.round[k.k], l.round[k.k + 1])};
  };
  const spot s1 = at(c1), s2 = at(c2);
  if (ONEPLACE(s1, s2, reading::way) || (c3 != nullptr && c3->t == c2.t)) return false;
  // Beyond the window the rows tell the fields only where no line stops at
  // no point: past such an end the line goes on unwritten, and could part
  // the two crossings. So a ray that leaves the window holds no such end
  // in the box round the window and the ray.
  if (!POINTSEEN(s1.x, s1.y) || !POINTSEEN(s2.x, s2.y)) {
    const extended xlow = std::min({XLOW, s1.x, s2.x}), xhigh = std::max({XHIGH, s1.x, s2.x});
    const extended ylow = std::min({YLOW, s1.y, s2.y}), yhigh = std::max({YHIGH, s1.y, s2.y});
    for (const spot& e : openends) {
      extended rx = 0, ry = 0;
      reachof(e.round, rx, ry);
      if (e.x >= xlow - rx && e.x <= xhigh + rx && e.y >= ylow - ry && e.y <= yhigh + ry) return false;
    }
  }
  for (std::size_t i = 0; i < cutlines.size(); ++i) {
    const cutline& l = cutlines[i];
    for (std::size_t k = 0; k < l.x.size(); ++k) {
      // a row inside a line, next to where the ray crosses it: the line
      // goes on past it either way
      const auto nextto = [&](const crossing& m) {
        return m.line == static_cast<smallint>(i + 1) && (k == m.k || k == m.k + 1) && k > 0 && k + 1 < l.x.size();
      };
      if (nextto(c1) || nextto(c2)) continue;
      extended rx = 0, ry = 0;
      reachof(l.round[k], rx, ry);
      if (segmentnear(c, {s2.x, s2.y}, rowof(l, k), rx, ry)) return false;
    }
  }
  return true;
}

// A side of a line as its phases: 1 the line's own, 2 with its zero too.
std::vector<std::string> sideof(smallint i, int s) {
  const linetype& l = (*LINE)[i];
  std::vector<std::string> names;
  for (long j = 1; j <= l.nphases; ++j) names.push_back(l.phases[j]);
  if (s == 2) names.push_back(l.zero);
  std::sort(names.begin(), names.end());
  return names;
}

bool hassides(smallint i) {
  const linetype& l = (*LINE)[i];
  return l.nphases > 0 && !l.zero.empty() && l.zero != "none";
}

// The side of line i that line j shares (1 or 2), 0 for none or both.
int sharedside(smallint i, smallint j) {
  int shared = 0;
  for (int s = 1; s <= 2; ++s)
    for (int t = 1; t <= 2; ++t)
      if (sideof(i, s) == sideof(j, t)) shared = shared == 0 || shared == s ? s : -1;
  return shared < 0 ? 0 : shared;
}

bool holds(const atype& a, const sstring& phase) {
  for (long j = 1; j <= a.nphases; ++j)
    if (a.phases[j] == phase) return true;
  return false;
}

// The line whose side a place of area k's polygon lies on against the
// area's phases, 0 for none; the place is given back.
smallint wrongside(const areapolygon& p, place& c) {
  if (p.x.size() < 3 || !placeinside(p, c)) return 0;
  const extended pi = std::acos(extended{-1});
  std::vector<crossing> found;
  for (int r = 0; r < rays; ++r) {
    const extended angle = raytilt + r * pi / 2;
    const place d{std::cos(angle) * (XHIGH - XLOW), std::sin(angle) * (YHIGH - YLOW)};
    if (!crossingsof(c, d, found) || found.size() < 2) continue;
    const crossing &c1 = found[0], &c2 = found[1];
    if (c1.line == c2.line || c1.t == c2.t || !hassides(c1.line) || !hassides(c2.line)) continue;
    const int beyond = sharedside(c1.line, c2.line);
    if (beyond == 0 || !toldapart(c, d, c1, c2, found.size() > 2 ? &found[2] : nullptr) ||
        meetsapart(static_cast<std::size_t>(c1.line - 1)) || meetsapart(static_cast<std::size_t>(c2.line - 1)))
      continue;
    const bool onzeroside = beyond == 1;
    if (onzeroside != holds(AREA[p.area], (*LINE)[c1.line].zero)) return c1.line;
  }
  return 0;
}

}  // namespace

void KEEPCUTLINES() {
  cutlines.assign(static_cast<std::size_t>(NLINE), cutline{});
  openends.clear();
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = (*LINE)[i];
    if (l.npts >= 1 && l.beginlink <= 0) openends.push_back(LINESPOT(i, 1));
    if (l.npts >= 1 && l.endlink <= 0) openends.push_back(LINESPOT(i, l.npts));
    cutline& c = cutlines[static_cast<std::size_t>(i - 1)];
    for (long k = 1; k <= l.npts; ++k) {
      c.x.push_back(l.x[k]);
      c.y.push_back(l.y[k]);
      c.round.push_back(l.round[k]);
    }
  }
}

void FORGETCUTLINES() {
  cutlines.clear();
  openends.clear();
}

void CHECKSIDES(const std::vector<areapolygon>& drawn) {
  // lines the set-up did not cut tell nothing
  if (cutlines.size() != static_cast<std::size_t>(NLINE)) return;
  linemeets.assign(cutlines.size(), -1);
  for (const areapolygon& p : drawn) {
    place c;
    const smallint i = wrongside(p, c);
    if (i == 0) continue;
    const linetype& l = (*LINE)[i];
    IO::ERROREXIT("areas",
                  "area " + AREANAMED(p.area) + " cannot be drawn: its polygon holds the place " +
                      IO::REAL2STR(c.x, placedigits, false) + " " + IO::REAL2STR(c.y, placedigits, false) +
                      ", which lies on the side of line " + l.name + (holds(AREA[p.area], l.zero) ? " without " : " with ") +
                      l.zero,
                  yourfault);
  }
}

}  // namespace ZQPLTX
