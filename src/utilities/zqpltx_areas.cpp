// The areas of a diagram that passed the consistency checks: each line
// parts the assemblage without its zero-mode phase from the one with it, so
// the line sides that face the same assemblage make up one area. Each area
// gets its bounding lines in order round it, a variance, a grey level and a
// label, and the log gets rows that paste back as area records.
#include <memory>

#include "frame/io.h"
#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

constexpr const char* here = "analyse";
constexpr smallint maxarealines = maxline / 2;  // lines the side table takes
constexpr smallint maxsidephases = maxheader;   // phase names on one side

// Grey levels: the areas of highest variance get the darkest one.
constexpr extended greyhighvariance = 0.4L, greyspan = 0.55L;
// The search bounds of the smallest and largest phase count.
constexpr smallint phasecountstart = 100;

// Row layout of the log lists.
constexpr smallint phasewidth = 6;
constexpr smallint orderwidth = 2, coordplaces = 2;
constexpr smallint labelcolumn = 24, linescolumn = 50;
constexpr smallint greyplaces = 2, greywidth = 6;
constexpr smallint commentcolumn = 24;

struct side {
  smallint line = 0;
  smallint count = 0;
  farray<sstring, 1, maxsidephases> phases;
  bool claimed = false;
};

using sidetable = farray<side, 1, 2 * maxarealines>;

linetype& lineat(smallint i) { return (*LINE)[i]; }

std::string phasesin(const atype& a, smallint width) {
  std::string s;
  for (long j = 1; j <= a.nphases; ++j) IO::ADDNAME(a.phases[j], width, s);
  return s;
}

void setarea(smallint sideno, smallint line, smallint area) {
  if (sideno % 2 == 1) {
    lineat(line).area1 = area;
  } else {
    lineat(line).area2 = area;
  }
}

// A line that comes from outside to the frame only to end there keeps one
// place of it, on the frame: like a line wholly outside, it parts no
// fields.
bool touchesonly(smallint i) {
  const linetype& l = lineat(i);
  if (FRAMESIDEAT(l.x[1], l.y[1]) == 0) return false;
  for (long k = 2; k <= l.npts; ++k)
    if (l.x[k] != l.x[1] || l.y[k] != l.y[1]) return false;
  return true;
}

smallint makesides(sidetable& sides) {
  smallint ns = 0;
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = lineat(i);
    if (l.npts <= 0 || touchesonly(i)) continue;
    if (l.nphases + 1 > maxsidephases)
      IO::ERROREXIT(here, "too many phases with the zero of " + l.name + ": max = " + IO::INT2STR(maxsidephases),
                    yourfault);
    side& without = sides[++ns];
    without = side{};
    without.line = i;
    without.count = l.nphases;
    for (long j = 1; j <= l.nphases; ++j) without.phases[j] = l.phases[j];
    side& with = sides[++ns];
    with = without;
    with.count = static_cast<smallint>(l.nphases + 1);
    with.phases[with.count] = l.zero;
  }
  return ns;
}

void addbound(atype& a, smallint line) {
  if (a.nbound >= maxbound)
    IO::ERROREXIT(here, "too many lines bounding area " + IO::INT2STR(NA) + ": max = " + IO::INT2STR(maxbound),
                  yourfault);
  ++a.nbound;
  a.boundnames[a.nbound] = lineat(line).name;
  a.boundindex[a.nbound] = line;
}

void gathersides(sidetable& sides, smallint ns) {
  NA = 0;
  IO::strings& other = *[] {
    static IO::strings s;
    return &s;
  }();
  for (smallint pass = 1; pass <= NLINE; ++pass) {
    smallint s = 1;
    while (s <= ns && sides[s].claimed) ++s;
    if (s > ns) return;
    if (NA >= maxarea) IO::ERROREXIT(here, "too many areas: max = " + IO::INT2STR(maxarea), yourfault);
    atype& a = AREA[++NA];
    a = atype{};
    addbound(a, sides[s].line);
    setarea(s, sides[s].line, NA);
    sides[s].claimed = true;
    a.nphases = sides[s].count;
    for (long j = 1; j <= a.nphases; ++j) a.phases[j] = sides[s].phases[j];
    for (smallint t = static_cast<smallint>(s + 1); t <= ns; ++t) {
      side& st = sides[t];
      if (st.claimed || st.count != a.nphases) continue;
      for (long j = 1; j <= st.count; ++j) other[j] = st.phases[j];
      if (!SUBSET(a.phases, a.nphases, other, st.count)) continue;
      addbound(a, st.line);
      setarea(t, st.line, NA);
      st.claimed = true;
    }
  }
}

// Whether a line end lies where the area meets the frame: on an edge, or
// at a point on the frame that no other of the area's lines reaches there.
// The lines that run out of the window from such a point are left without
// points, so the area goes on along the frame beyond its one line; an area
// with two of its lines at the point only touches the frame there.
bool frameend(const atype& a, smallint link) {
  if (link < 0) return true;
  if (link == 0) return false;
  // a point within its rounding of the frame was put on it when read
  const spot at = POINTSPOT(link);
  if (FRAMESIDEAT(at.x, at.y) == 0) return false;
  smallint ends = 0;
  for (long j = 1; j <= a.nbound; ++j) {
    const linetype& l = lineat(a.boundindex[j]);
    if (l.beginlink == link) ++ends;
    if (l.endlink == link) ++ends;
  }
  return ends == 1;
}

// Puts an area's bounding lines in order round it, when its lines meet the
// frame at most twice.
void orderarea(smallint k) {
  atype& a = AREA[k];
  smallint edgeends = 0;
  for (long j = 1; j <= a.nbound; ++j) {
    const linetype& l = lineat(a.boundindex[j]);
    if (frameend(a, l.beginlink)) ++edgeends;
    if (frameend(a, l.endlink)) ++edgeends;
  }
  const std::string number = IO::INT2STR(k);
  if (edgeends % 2 == 1) {
    IO::WRITETERMINAL(number + "): " + phasesin(a, phasewidth));
    IO::ERROREXIT(here, "area only hits edge odd times", yourfault);
  }
  if (edgeends > 2) return;

  long start = 1;
  if (edgeends == 2) {
    start = 0;
    for (long j = 1; j <= a.nbound && start == 0; ++j) {
      const linetype& l = lineat(a.boundindex[j]);
      if (frameend(a, l.beginlink) || frameend(a, l.endlink)) start = j;
    }
    if (start == 0) {
      IO::WRITETERMINAL("area " + number + "): " + phasesin(a, phasewidth));
      IO::ERROREXIT(here, "can't find line that hits edge", yourfault);
    }
  }
  // A closed triangle is in order whichever way it was found.
  if (edgeends == 0 && a.nbound == 3) return;

  const linetype& first = lineat(a.boundindex[start]);
  // A line alone from the frame to the frame bounds its area with the
  // frame and is in order (it may pass a corner point by a hair); with
  // others, one between two edges is not taken for a whole area.
  if (first.beginlink < 0 && first.endlink < 0 && a.nbound > 1) {
    IO::WRITETERMINAL("area " + number + ") for " + first.name + "\n");
    IO::ERROREXIT(here, "both ends are edges?", yourfault);
  }
  farray<smallint, 1, maxbound> placed;
  farray<bool, 1, maxbound> used;
  used.fill(false);
  placed[1] = a.boundindex[start];
  used[start] = true;
  smallint node = frameend(a, first.beginlink) ? first.endlink : first.beginlink;
  for (long place = 2; place <= a.nbound; ++place) {
    long found = 0;
    for (long j = 1; j <= a.nbound && found == 0; ++j) {
      const linetype& l = lineat(a.boundindex[j]);
      if (!used[j] && (l.beginlink == node || l.endlink == node)) found = j;
    }
    if (found == 0) {
      IO::WRITETERMINAL("area " + number + ") connection not found\n");
      IO::ERROREXIT(here, "stuffup in ordering", yourfault);
    }
    const linetype& l = lineat(a.boundindex[found]);
    node = l.beginlink == node ? l.endlink : l.beginlink;
    used[found] = true;
    placed[place] = a.boundindex[found];
  }
  for (long j = 1; j <= a.nbound; ++j) {
    a.boundindex[j] = placed[j];
    a.boundnames[j] = lineat(placed[j]).name;
  }
}

bool inlist(const sstring& name, const IO::strings& list, smallint n) {
  smallint k = 0;
  return IO::MATCHSTRING(name, list, n, k);
}

void variancesandlabels(smallint& vmin, smallint& vmax) {
  smallint pmin = phasecountstart, pmax = -phasecountstart;
  for (smallint k = 1; k <= NA; ++k) {
    if (AREA[k].nphases < pmin) pmin = AREA[k].nphases;
    if (AREA[k].nphases > pmax) pmax = AREA[k].nphases;
  }
  vmax = static_cast<smallint>(NSYS - pmin + 2);
  vmin = static_cast<smallint>(NSYS - pmax + 2);
  for (smallint k = 1; k <= NA; ++k) {
    atype& a = AREA[k];
    a.variance = static_cast<smallint>(NSYS - a.nphases + 2);
    // All areas of one variance: none is lighter than another.
    const extended grey = vmin == vmax ? greyhighvariance
                                       : greyhighvariance + greyspan * static_cast<extended>(a.variance - vmax) /
                                                                static_cast<extended>(vmin - vmax);
    a.grayscale = static_cast<double>(grey);
    a.nlabel = 0;
    if (NPHASEO == 0) {
      for (long j = 1; j <= a.nphases; ++j) a.labelphases[++a.nlabel] = a.phases[j];
    } else {
      for (long j = 1; j <= NPHASEO; ++j) {
        const sstring& name = PHASEO[j];
        if (!inlist(name, a.phases, a.nphases)) continue;
        if (NINEXCESS != 0 && inlist(name, INEXCESS, NINEXCESS)) continue;
        a.labelphases[++a.nlabel] = name;
      }
    }
  }
}

// Where the label goes: the mean of the bounding lines' end points, the
// two points where the area meets the frame counted twice.
void labelposition(atype& a) {
  extended sx = 0, sy = 0;
  smallint c = 0;
  auto add = [&](extended x, extended y) {
    sx += x;
    sy += y;
    ++c;
  };
  for (long j = 1; j <= a.nbound; ++j) {
    const linetype& l = lineat(a.boundindex[j]);
    add(l.x[1], l.y[1]);
    add(l.x[l.npts], l.y[l.npts]);
  }
  const linetype& f = lineat(a.boundindex[1]);
  const linetype& g = lineat(a.boundindex[a.nbound]);
  const bool fbegin = frameend(a, f.beginlink);
  long gend = frameend(a, g.beginlink) ? 1 : g.npts;
  // one line alone meets the frame at both its ends
  if (a.nbound == 1) gend = fbegin ? g.npts : 1;
  if (fbegin) {
    add(f.x[1], f.y[1]);
    add(g.x[gend], g.y[gend]);
  } else if (frameend(a, f.endlink)) {
    add(f.x[f.npts], f.y[f.npts]);
    add(g.x[gend], g.y[gend]);
  }
  a.labelx = sx / c;
  a.labely = sy / c;
}

std::string labeltext(const atype& a) {
  std::string s;
  for (long j = 1; j <= a.nlabel; ++j) s += a.labelphases[j] + " ";
  return s;
}

// The areas from the top of the diagram down, numbered as they are listed.
void arealist() {
  farray<bool, 1, maxarea> taken;
  taken.fill(false);
  std::string& w = IO::WSTR;
  for (smallint r = 1; r <= NA; ++r) {
    smallint best = 0;
    for (smallint k = 1; k <= NA; ++k) {
      if (taken[k]) continue;
      if (best == 0 || AREA[k].labely > AREA[best].labely) best = k;
    }
    taken[best] = true;
    atype& a = AREA[best];
    a.order = r;
    a.label = labeltext(a);
    w.clear();
    IO::ADDINT(r, orderwidth, w);
    IO::ADDSTR(") {", 0, w);
    IO::ADDREAL(a.labelx, coordplaces, true, 0, w);
    IO::ADDSTR(", ", 0, w);
    IO::ADDREAL(a.labely, coordplaces, true, 0, w);
    IO::ADDSTR("}: ", 0, w);
    IO::ADDSTR(" ", static_cast<smallint>(labelcolumn - static_cast<long>(w.size())), w);
    IO::ADDSTR(a.label, 0, w);
    IO::ADDSTR(" ", static_cast<smallint>(linescolumn - static_cast<long>(w.size())), w);
    for (long j = 1; j <= a.nbound; ++j) IO::ADDSTR(a.boundnames[j] + " ", 0, w);
    IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  }
}

std::string varianceword(smallint v) {
  switch (v) {
    case 2: return "divariant";
    case 3: return "trivariant";
    case 4: return "quadrivariant";
    default: return IO::INT2STR(v) + "-variant";
  }
}

// Rows in the form of the data file's area records, by variance.
void colouring(smallint vmin, smallint vmax) {
  IO::PUTSTR(1, "area colouring info", 1, CHANNEL::LOG);
  std::string& w = IO::WSTR;
  for (int v = vmin; v <= vmax; ++v) {
    bool headed = false;
    for (smallint k = 1; k <= NA; ++k) {
      const atype& a = AREA[k];
      if (a.variance != v) continue;
      if (!headed) IO::PUTSTR(1, "% " + varianceword(static_cast<smallint>(v)), 1, CHANNEL::LOG);
      headed = true;
      w.clear();
      IO::ADDREAL(a.grayscale, greyplaces, true, greywidth, w);
      IO::ADDSTR("  ", 0, w);
      long names = a.nbound;
      for (long j = 1; j <= a.nbound; ++j) {
        IO::ADDSTR(a.boundnames[j] + " ", 0, w);
        names += static_cast<long>(a.boundnames[j].size());
      }
      IO::ADDSTR("  % ", static_cast<smallint>(commentcolumn - names), w);
      for (long j = 1; j <= a.nlabel; ++j) IO::ADDSTR(a.labelphases[j] + " ", 0, w);
      IO::PUTSTR(0, w, 1, CHANNEL::LOG);
    }
  }
}

}  // namespace

void FINDAREAS() {
  if (NLINE > maxarealines) IO::ERROREXIT(here, "too many line", yourfault);
  const auto sides = std::make_unique<sidetable>();
  const smallint ns = makesides(*sides);
  gathersides(*sides, ns);
  for (smallint k = 1; k <= NA; ++k) orderarea(k);

  smallint vmin = 0, vmax = 0;
  variancesandlabels(vmin, vmax);

  std::string heading = "area info determined in analysis (in excess: ";
  if (NINEXCESS == 0) {
    heading += "none";
  } else {
    for (long j = 1; j <= NINEXCESS; ++j) heading += INEXCESS[j] + " ";
  }
  IO::PUTSTR(1, heading + ")", 2, CHANNEL::LOG);

  for (smallint k = 1; k <= NA; ++k) labelposition(AREA[k]);
  arealist();
  colouring(vmin, vmax);
}

}  // namespace ZQPLTX
