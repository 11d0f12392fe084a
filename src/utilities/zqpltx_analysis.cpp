// The topology analysis: whether the phases written on the points and lines
// of a diagram fit together, listed in the log when they do. A check that
// finds faults lists them all on the terminal first and then stops the run,
// so that one run shows the user every fault of its kind.
#include "frame/io.h"
#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

constexpr const char* here = "analyse";
constexpr smallint linesatpoint = 4;  // lines that meet at an invariant point

// Widths of the check-10 dump and of the log listing.
constexpr smallint dumpwidth = 4;
constexpr smallint listnamewidth = 7, listphasewidth = 5;
constexpr smallint listdashwidthsame = 10, listdashwidthless = 5;
constexpr std::size_t listrule = 42;

void term(const std::string& text) { IO::WRITETERMINAL(text); }

void term(const std::string& text, bool lineend) { IO::WRITETERMINAL(lineend ? text + "\n" : text); }

std::string field(const std::string& text, smallint width) {
  std::string s;
  IO::ADDSTR(text, width, s);
  return s;
}

// The fault list of one check: its lead-in before the first item, and the
// stop with the singular or plural message once the whole scope is seen.
struct faultlist {
  const char* leadin;  // nullptr: the items stand alone
  bool leadinend;
  const char* one;
  const char* more;
  smallint count = 0;

  void item(const std::string& text) {
    if (count == 0 && leadin != nullptr) term(leadin, leadinend);
    ++count;
    term(text);
  }
  void close() const {
    if (count == 1) IO::ERROREXIT(here, one, yourfault);
    if (count > 1) IO::ERROREXIT(here, more, yourfault);
  }
};

// Work lists: a record's phases with its zero phases after them.
IO::strings& worklist(int k) {
  static IO::strings lists[3];
  return lists[k];
}

template <class L>
void copyphases(const L& from, smallint n, IO::strings& to) {
  for (long j = 1; j <= n; ++j) to[j] = from[j];
}

// The point's phases, then zero1 and zero2: nphases + 2 names.
IO::strings& pointnames(const pointtype& p, int k) {
  IO::strings& t = worklist(k);
  copyphases(p.phases, p.nphases, t);
  t[p.nphases + 1] = p.zero1;
  t[p.nphases + 2] = p.zero2;
  return t;
}

// The line's phases, then its zero: nphases + 1 names.
IO::strings& linenames(const linetype& l, int k) {
  IO::strings& t = worklist(k);
  copyphases(l.phases, l.nphases, t);
  t[l.nphases + 1] = l.zero;
  return t;
}

bool among(const sstring& name, const headerlist& list, smallint n) {
  for (long j = 1; j <= n; ++j)
    if (list[j] == name) return true;
  return false;
}

bool allamong(const headerlist& a, const headerlist& b, smallint n) {
  for (long j = 1; j <= n; ++j)
    if (!among(a[j], b, n)) return false;
  return true;
}

pointtype& pointat(smallint i) { return (*POINT)[i]; }
linetype& lineat(smallint i) { return (*LINE)[i]; }

void duplicatephases() {
  faultlist points{"duplicate in phases in point: ", true, "remove the duplicate", "remove the duplicates"};
  for (smallint i = 1; i <= NPOINT; ++i) {
    const pointtype& p = pointat(i);
    if (!p.seen || p.nphases <= 0) continue;
    IO::strings& t = worklist(0);
    copyphases(p.phases, p.nphases, t);
    if (DUPLICATE(t, p.nphases, p.zero1, p.zero2)) points.item(p.name + " ");
  }
  points.close();

  faultlist lines{"duplicate in phases in line: ", true, "remove the duplicate", "remove the duplicates"};
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = lineat(i);
    if (l.npts == 0 || l.nphases == 0) continue;
    IO::strings& t = worklist(0);
    copyphases(l.phases, l.nphases, t);
    if (DUPLICATE(t, l.nphases, l.zero, "")) lines.item(l.name + " ");
  }
  lines.close();
}

void duplicaterecords() {
  faultlist points{"duplicate points: ", false, "remove duplicate point", "remove duplicate points"};
  for (smallint i = 1; i <= NPOINT - 1; ++i) {
    const pointtype& p = pointat(i);
    if (!p.seen || p.nphases <= 0) continue;
    for (smallint j = static_cast<smallint>(i + 1); j <= NPOINT; ++j) {
      const pointtype& q = pointat(j);
      if (!q.seen || q.nphases != p.nphases || !allamong(p.phases, q.phases, p.nphases)) continue;
      const bool zeros = (p.zero1 == q.zero1 && p.zero2 == q.zero2) || (p.zero1 == q.zero2 && p.zero2 == q.zero1);
      if (zeros) points.item(p.name + "-&-" + q.name);
    }
  }
  points.close();

  faultlist lines{nullptr, false, "remove (or combine) duplicate line", "remove (or combine) duplicate lines"};
  for (smallint i = 1; i <= NLINE - 1; ++i) {
    const linetype& l = lineat(i);
    if (l.npts == 0 || l.nphases == 0) continue;
    for (smallint j = static_cast<smallint>(i + 1); j <= NLINE; ++j) {
      const linetype& m = lineat(j);
      if (m.npts == 0 || m.nphases != l.nphases || !allamong(l.phases, m.phases, l.nphases)) continue;
      if (l.zero == m.zero) lines.item(l.name + "--" + m.name);
    }
  }
  lines.close();
}

// What a point without full phase information might be given, when it is
// the crossing of two lines that have theirs.
std::string pointdiagnosis(const pointtype& p) {
  if (!p.crossover) return " not crossover\n";
  const linetype& l1 = lineat(p.crossline1);
  const linetype& l2 = lineat(p.crossline2);
  if (l1.nphases == 0 || l2.nphases == 0) return " crossover, but one or both lines without info\n";
  if (l1.zero.empty() || l2.zero.empty()) return " crossover, but one or both lines with zero not given\n";
  IO::strings& a = worklist(0);
  IO::strings& b = worklist(1);
  copyphases(l1.phases, l1.nphases, a);
  copyphases(l2.phases, l2.nphases, b);
  if (!SUBSET(a, l1.nphases, b, l2.nphases)) return " lines are incompatible in crossover\n";
  std::string s;
  for (long j = 1; j <= l1.nphases; ++j) s += l1.phases[j] + " ";
  return s + "- " + l1.zero + " " + l2.zero + "\n";
}

// What a connect line without full phase information might be given, from
// the two points it joins.
std::string linediagnosis(const linetype& l) {
  if (!l.connect) return " not connect\n";
  // Clipping at the window can move a connect line's end onto the frame.
  if (l.beginlink <= 0 || l.endlink <= 0) return " connect, but one or both ends not at a point\n";
  const pointtype& b = pointat(l.beginlink);
  const pointtype& e = pointat(l.endlink);
  if (b.nphases == 0 || e.nphases == 0) return " connect, but one or both points without info\n";
  if (b.zero1.empty() || b.zero2.empty() || e.zero1.empty() || e.zero2.empty())
    return " connect, but one or both points with no zeroes\n";
  const bool b1 = b.zero1 == e.zero1 || b.zero1 == e.zero2;
  const bool b2 = b.zero2 == e.zero1 || b.zero2 == e.zero2;
  if (!b1 && !b2) return " connect, but points don't share a zero\n";
  const sstring& bshared = b1 ? b.zero1 : b.zero2;
  const sstring& bother = b1 ? b.zero2 : b.zero1;
  const bool e1 = e.zero1 == b.zero1 || e.zero1 == b.zero2;
  const sstring& eshared = e1 ? e.zero1 : e.zero2;
  const sstring& eother = e1 ? e.zero2 : e.zero1;
  const smallint nb = b.nphases, ne = e.nphases;
  IO::strings& tb = worklist(0);
  IO::strings& te = worklist(1);
  copyphases(b.phases, nb, tb);
  tb[nb + 1] = bother;
  tb[nb + 2] = bshared;
  copyphases(e.phases, ne, te);
  te[ne + 1] = eother;
  te[ne + 2] = eshared;

  std::string s = "connect " + b.name + " and " + e.name + ": ";
  auto names = [&](const IO::strings& t, long n) {
    for (long j = 1; j <= n; ++j) s += t[j] + " ";
  };
  const auto two = static_cast<smallint>(2);
  if (nb == ne) {
    if (SUBSET(tb, nb, te, ne)) {
      names(tb, nb);
    } else if (SUBSET(tb, static_cast<smallint>(nb + two), te, static_cast<smallint>(ne + two))) {
      names(tb, nb + 1);
    } else {
      s += " incompatible points in connect 1\n";
    }
  } else if (nb == ne + 1) {
    if (SUBSET(tb, static_cast<smallint>(nb + two), te, static_cast<smallint>(ne + two))) {
      names(tb, nb);
    } else {
      s += " incompatible points in connect 2\n";
    }
  } else if (nb + 1 == ne) {
    if (SUBSET(te, static_cast<smallint>(ne + two), tb, static_cast<smallint>(nb + two))) {
      names(te, ne);
    } else {
      s += " incompatible points in connect 3\n";
    }
  } else {
    s += "??\n";
  }
  return s + " - " + bshared + "\n";
}

void missinginfo() {
  faultlist points{"no or incorrect phase info for: ", true, "add/correct the info for this point",
                   "add/correct the info for these points"};
  for (smallint i = 1; i <= NPOINT; ++i) {
    const pointtype& p = pointat(i);
    if (!p.seen) continue;
    if (p.nphases == 0 || p.zero1.empty() || p.zero2.empty()) points.item(p.name + ": " + pointdiagnosis(p));
  }
  points.close();

  faultlist lines{"no or incorrect phase info for (with suggestion): ", true, "add/correct the info for this line",
                  "add/correct the info for these lines"};
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = lineat(i);
    if (l.npts == 0) continue;
    if (l.nphases == 0 || l.zero.empty()) lines.item(l.name + ": " + linediagnosis(l));
  }
  lines.close();
}

void fourlines() {
  faultlist points{"wrong number of lines at a point for: ", false, "fix up lines at the point",
                   "fix up lines at the point"};
  for (smallint i = 1; i <= NPOINT; ++i) {
    pointtype& p = pointat(i);
    if (!p.seen) continue;
    p.plines.fill(0);
    smallint count = 0;
    for (smallint j = 1; j <= NLINE && count <= linesatpoint; ++j) {
      const linetype& l = lineat(j);
      if (l.beginname != p.name && l.endname != p.name) continue;
      ++count;
      if (count <= linesatpoint) p.plines[count] = j;
    }
    if (count != linesatpoint) points.item(p.name + " ");
  }
  points.close();
}

void zeros() {
  faultlist points{"point and line zeroes don't match at: ", false, "fix up zeroes at the point",
                   "fix up zeroes at the points"};
  for (smallint i = 1; i <= NPOINT; ++i) {
    const pointtype& p = pointat(i);
    if (!p.seen) continue;
    for (long k = 1; k <= linesatpoint; ++k) {
      const sstring& z = lineat(p.plines[k]).zero;
      if (z != p.zero1 && z != p.zero2) {
        points.item(p.name + " ");
        break;
      }
    }
  }
  points.close();
}

void phasecounts() {
  faultlist points{"wrong number of phases in point or its lines for: ", false, "fix up phases at the point",
                   "fix up phases at the points"};
  for (smallint i = 1; i <= NPOINT; ++i) {
    const pointtype& p = pointat(i);
    if (!p.seen) continue;
    const int P = p.nphases + 2;
    bool ok = true;
    int full = 0;
    for (long k = 1; k <= linesatpoint; ++k) {
      const int L = lineat(p.plines[k]).nphases + 1;
      if (L != P && L != P - 1) ok = false;
      if (L == P) ++full;
    }
    if (!ok || full != 2) points.item(p.name + " ");
  }
  points.close();
}

void correspondence() {
  for (smallint i = 1; i <= NPOINT; ++i) {
    const pointtype& p = pointat(i);
    if (!p.seen) continue;
    for (long k = 1; k <= linesatpoint; ++k) {
      const linetype& l = lineat(p.plines[k]);
      const IO::strings& tp = pointnames(p, 0);
      const IO::strings& tl = linenames(l, 1);
      const auto np = static_cast<smallint>(p.nphases + 2);
      const auto nl = static_cast<smallint>(l.nphases + 1);
      if (SUBSET(tp, np, tl, nl)) continue;
      std::string s = std::string(listrule, '.') + "\n" + field(p.name, dumpwidth) + ": ";
      for (long j = 1; j <= np; ++j) s += field(tp[j], dumpwidth);
      s += "\n" + field(l.name, dumpwidth) + ": ";
      for (long j = 1; j <= nl; ++j) s += field(tl[j], dumpwidth);
      term(s);
      IO::ERROREXIT(here, "don't correspond", yourfault);
    }
  }
}

void listing() {
  IO::PUTSTR(1, "consistency check: 4 lines at each point", 1, CHANNEL::LOG);
  std::string& w = IO::WSTR;
  for (smallint i = 1; i <= NPOINT; ++i) {
    const pointtype& p = pointat(i);
    if (!p.seen) continue;
    IO::PUTSTR(0, std::string(listrule, '-'), 1, CHANNEL::LOG);
    w.clear();
    IO::ADDSTR(p.name + ": ", listnamewidth, w);
    for (long j = 1; j <= p.nphases; ++j) IO::ADDNAME(p.phases[j], listphasewidth, w);
    IO::ADDSTR("   - ", 0, w);
    IO::ADDNAME(p.zero1, listphasewidth, w);
    IO::ADDNAME(p.zero2, listphasewidth, w);
    IO::PUTSTR(0, w, 1, CHANNEL::LOG);
    IO::PUTSTR(0, std::string(listrule, '.'), 1, CHANNEL::LOG);
    for (long k = 1; k <= linesatpoint; ++k) {
      const linetype& l = lineat(p.plines[k]);
      w.clear();
      IO::ADDSTR(l.name + ": ", listnamewidth, w);
      for (long j = 1; j <= l.nphases; ++j) IO::ADDNAME(l.phases[j], listphasewidth, w);
      IO::ADDSTR("- ", l.nphases == p.nphases ? listdashwidthsame : listdashwidthless, w);
      IO::ADDNAME(l.zero, listphasewidth, w);
      IO::PUTSTR(0, w, 1, CHANNEL::LOG);
    }
  }
}

void openends() {
  faultlist lines{"lines that just begin or end within the diagram: ", false, "fix this line", "fix these lines"};
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = lineat(i);
    if (l.npts == 0) continue;
    if (l.beginlink == 0 || l.endlink == 0) lines.item(l.name + " ");
  }
  lines.close();
}

}  // namespace

bool DUPLICATE(const IO::strings& list, smallint n, const std::string& extra1, const std::string& extra2) {
  if (n <= 0) return false;
  farray<sstring, 1, 2> extras;
  smallint ne = 0;
  if (!extra1.empty()) extras[++ne] = IO::MAKESSTRING(extra1);
  if (!extra2.empty()) extras[++ne] = IO::MAKESSTRING(extra2);
  const long total = n + ne;
  auto entry = [&](long k) { return k <= n ? IO::MAKESSTRING(list[k]) : extras[k - n]; };
  for (long i = 1; i <= total - 1; ++i)
    for (long j = i + 1; j <= total; ++j)
      if (entry(i) == entry(j)) return true;
  return false;
}

bool SUBSET(const IO::strings& a, smallint na, const IO::strings& b, smallint nb) {
  if (na <= 0 || nb <= 0) return false;
  for (long i = 1; i <= nb; ++i) {
    bool found = false;
    for (long j = 1; j <= na && !found; ++j) found = a[j] == b[i];
    if (!found) return false;
  }
  return true;
}

void ANALYSIS() {
  duplicatephases();
  duplicaterecords();
  missinginfo();
  fourlines();
  zeros();
  phasecounts();
  correspondence();
  listing();
  openends();
  FINDAREAS();
}

}  // namespace ZQPLTX
