// Reading the drawing data file: header, point and line records, areas.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "frame/io.h"
#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

// Coordinates in the log reports, and the rule above each record.
constexpr smallint reportplaces = 4, reportwidth = 10;
constexpr std::size_t reportrule = 23;

constexpr const char* here = "readdata";
constexpr const char* hererecord = "read data";

bool pointword(const sstring& w) { return w.size() >= 1 && w[0] == 'i' && (w.size() < 2 || w[1] != 'l'); }

bool openend(const sstring& w) { return w == "begin" || w == "end"; }

// Rows of a line read against a sloped interpolation, kept until the line's
// last row so that its runs can be cut.
struct slopedrows {
  linevector xs, ys, is;
  roundvector rs;
  smallint n = 0;
};

// The rounding of values as the reader hands them on: the unit of the last
// digit written, both readings, the finer marked (negative) where the text
// does not show its trailing zeros and so may have dropped some; the line
// set-up settles it once the window is known (RECORDROUNDING).
float asread(extended unit, bool zerosshown) { return static_cast<float>(zerosshown ? unit : -unit); }

// A place made from several rows (a point interpolated over them): as
// coarse as the coarsest of them, each way.
rounding coarsest(const roundvector& r, smallint n) {
  rounding c = r[1];
  for (long k = 2; k <= n; ++k) c = COARSER(c, r[k]);
  return c;
}

// The word stream of one reading, with one word of lookahead.
struct wordstream {
  IO::strings words;
  smallint nw = 0;
  smallint pos = 0;
  sstring w;  // the current word
  valuetype vt = valuetype::anemptystring;
  sstring last;  // the word consumed last
  valuetype lastvt = valuetype::anemptystring;

  // The next line that has words; false at the end of the file.
  bool nextline() {
    while (!IO::ENDOFFILE(IO::DATA)) {
      IO::READSTRINGS(IO::DATA, words, nw, true);
      if (nw > 0) return true;
    }
    nw = 0;
    return false;
  }

  void setcurrent() {
    if (pos >= 1 && pos <= nw) {
      w = words[pos];
    } else {
      w.clear();
    }
    vt = IO::WHATISSTRING(w);
  }

  // INCKOK: consume the current word and fetch the next one, from the next
  // line with words when this one is used up.
  void INCKOK(const std::string& where) {
    if (vt == valuetype::anemptystring) IO::ERROREXIT("reading", "unexpected end of input: " + where, yourfault);
    last = w;
    lastvt = vt;
    if (pos < nw) {
      ++pos;
    } else if (nextline()) {
      pos = 1;
    } else {
      pos = 0;
    }
    setcurrent();
  }

  bool isname() const { return vt == valuetype::astring; }

  sstring name(const std::string& where) {
    INCKOK(where);
    return GSTRING(lastvt, last, where);
  }
  smallint integer(const std::string& where) {
    INCKOK(where);
    return IO::GETINTEGER(lastvt, last, where);
  }
  extended real(const std::string& where) {
    INCKOK(where);
    return IO::GETREAL(lastvt, last, where);
  }
  // A row, and the unit of the last digit each of its values was written
  // with, and whether its trailing zeros show.
  void row(rowvector& r, rowvector& unit, farray<bool, 1, maxvalues>& shown, const std::string& where) {
    for (long j = 1; j <= NV; ++j) {
      r[j] = real(where);
      bool zeros = false;
      unit[j] = WRITTENUNIT(last, zeros);
      shown[j] = zeros;
    }
  }
};

// The reader's own state, for one file.
struct reader {
  wordstream s;
  smallint xcol = 0, ycol = 0, icol = 0;
  extended ival = 0, slope = 0;
  smallint np = 0, nl = 0, na = 0;
  rowvector row, unit;
  farray<bool, 1, maxvalues> shown;

  void readrow(const std::string& where) { s.row(row, unit, shown, where); }
  // The rounding of the row's x and y.
  rounding rowrounding() const {
    rounding r;
    r.wayx = static_cast<float>(unit[xcol]);
    r.wayy = static_cast<float>(unit[ycol]);
    r.apartx = asread(unit[xcol], shown[xcol]);
    r.aparty = asread(unit[ycol], shown[ycol]);
    // a unit whose trailing zeros may have been dropped tells nothing
    r.writtenx = std::max(0.0F, r.apartx);
    r.writteny = std::max(0.0F, r.aparty);
    return r;
  }

  void header() {
    NV = s.integer("no of variables in each point");
    NSYS = s.integer("size of system");
    xcol = s.integer("column of x coordinate");
    ycol = s.integer("column of y coordinate");
    // Only a header without its interpolation part means no interpolation;
    // a column given as 0 is out of range like any other.
    const bool interpolated = s.w == "x";
    if (interpolated) {
      s.INCKOK("interpolation coordinate");
      icol = s.integer("interpolation coordinate");
      ival = s.real("interpolation value");
      if (!s.isname()) slope = s.real("interpolation value");
    }
    const std::string range = "not in range: must be 1 <=> " + IO::INT2STR(NV);
    if (NV > maxvalues)
      IO::ERROREXIT(here, "too many variables in each line of input: max = " + IO::INT2STR(maxvalues), yourfault);
    if (xcol < 1 || xcol > NV) IO::ERROREXIT(here, "xcol " + range, yourfault);
    if (ycol < 1 || ycol > NV) IO::ERROREXIT(here, "ycol " + range, yourfault);
    if (interpolated) {
      if (icol < 1 || icol > NV) IO::ERROREXIT(here, "icol " + range, yourfault);
      if (icol == xcol || icol == ycol) IO::ERROREXIT(here, "icol same as xcol or ycol", yourfault);
    }
  }

  // A record's name, with the skip mark read off.
  sstring recordname(bool& skipped) {
    const std::string where = "point/line name";
    sstring name = s.name(where);
    skipped = !name.empty() && name[0] == '#';
    if (skipped) name = s.name(where);
    if (name.size() >= 2 && name[1] == '<')
      IO::ERROREXIT(hererecord, "< in name: line/point name unassigned?", yourfault);
    if (name[0] != 'i' && name[0] != 'u')
      IO::ERROREXIT(hererecord, "point/line name must start with i/u but this name is " + name, yourfault);
    return name;
  }

  void addphase(headerlist& phases, smallint& n, const std::string& where) {
    if (n >= maxheader) IO::ERROREXIT(here, "too many phases in header in " + where, yourfault);
    phases[++n] = s.name(where);
  }

  void point(const sstring& name) {
    if (np >= maxpoint) IO::ERROREXIT(hererecord, "too many points: max = " + IO::INT2STR(maxpoint), yourfault);
    pointtype& p = (*POINT)[++np];
    p = pointtype{};
    p.name = name;
    auto pointhead = [&] { return s.w == "invariant" || s.w == "point" || s.w == "crossover"; };
    if (s.w == "invariant" || s.w == "point") {
      s.INCKOK("point header");
    } else if (s.w == "crossover") {
      s.INCKOK("point header");
      p.crossover = true;
    } else if (s.isname()) {
      std::string where = "nonzero-mode phases for " + name;
      smallint n = 0;
      while (s.isname() && s.w != "-" && !pointhead()) addphase(p.phases, n, where);
      p.nphases = n;
      if (!s.isname()) {
        p.nphases = 0;
      } else if (s.w == "crossover") {
        s.INCKOK(where);
        p.crossover = true;
      } else if (s.w == "invariant") {
        s.INCKOK(where);
      } else if (s.w == "point") {
        s.INCKOK(where);
        p.nphases = 0;
      } else {  // "-"
        s.INCKOK(where);
        where = "zero-mode phases for " + name;
        p.zero1 = p.zero2 = "none";
        if (s.isname() && !pointhead()) {
          p.zero1 = s.name(where);
          if (s.isname() && !pointhead()) p.zero2 = s.name(where);
        }
        if (s.w == "invariant" || s.w == "point") s.INCKOK(where);
      }
    }
    if (s.w == "crossover") {
      s.INCKOK("point header");
      p.crossover = true;
    }

    if (p.crossover) {
      const std::string where = "reading crossover lines" + name;
      p.crossname1 = s.name(where);
      p.crossname2 = s.name(where);
    } else if (icol == 0) {
      readrow("reading coordinates for " + name);
      p.x = row[xcol];
      p.y = row[ycol];
      p.round = rowrounding();
    } else {
      const std::string where = "interpolating coordinates for " + name;
      slopedrows& r = scratch();
      r.n = 0;
      do {
        if (r.n >= maxlinepts)
          IO::ERROREXIT(hererecord, "too much data for line: max = " + IO::INT2STR(maxlinepts), yourfault);
        readrow(where);
        ++r.n;
        r.xs[r.n] = row[xcol];
        r.ys[r.n] = row[ycol];
        r.is[r.n] = row[icol];
        r.rs[r.n] = rowrounding();
      } while (!s.isname());
      bool ok = false;
      INTERP(r.xs, r.ys, r.is, r.n, p.x, p.y, ival, slope, ok);
      if (!ok) IO::ERROREXIT(hererecord, "interpolation failed for " + name, yourfault);
      p.round = coarsest(r.rs, r.n);
    }
    DATAPRINT(1, np);
  }

  // Rows collected for interpolation; one set serves every record in turn.
  slopedrows& scratch() {
    static slopedrows rows;
    return rows;
  }

  // The points of a line read against a sloped interpolation: one from
  // each run of rows that share their x or their y.
  void runs(linetype& l, const slopedrows& r) {
    const smallint n = r.n;
    smallint start = 1;
    for (;;) {
      smallint k = 0;
      for (smallint j = start; j <= n - 1; ++j) {
        if (r.xs[j + 1] == r.xs[j] || r.ys[j + 1] == r.ys[j]) {
          k = j;
          break;
        }
      }
      if (k == 0) break;
      const bool samex = r.xs[k + 1] == r.xs[k];
      smallint last = k + 1;
      while (last < n && (samex ? r.xs[last + 1] == r.xs[k] : r.ys[last + 1] == r.ys[k])) ++last;
      slopedrows& run = runrows();
      run.n = 0;
      for (smallint j = k; j <= last; ++j) {
        ++run.n;
        run.xs[run.n] = r.xs[j];
        run.ys[run.n] = r.ys[j];
        run.is[run.n] = r.is[j];
        run.rs[run.n] = r.rs[j];
      }
      extended x = 0, y = 0;
      bool ok = false;
      INTERP(run.xs, run.ys, run.is, run.n, x, y, ival, slope, ok);
      if (ok) {
        ++l.npts;
        l.x[l.npts] = x;
        l.y[l.npts] = y;
        l.round[l.npts] = coarsest(run.rs, run.n);
      }
      if (last >= n) break;
      // The last row of a run may start the next one, at a corner.
      start = last;
    }
  }
  slopedrows& runrows() {
    static slopedrows rows;
    return rows;
  }

  // A colour value of the file, as the integer that the picture writes.
  smallint colourvalue(const std::string& where) {
    const extended v = s.real(where);
    const extended r = std::nearbyint(v);
    if (!std::isfinite(v) || std::fabs(r) >= 32767.0L)
      IO::ERROREXIT("reading", "expecting an integer (2); got: " + s.last + " - " + where, yourfault);
    return static_cast<smallint>(r);
  }

  void line(const sstring& name, bool skipped) {
    if (nl >= maxline) IO::ERROREXIT(here, "too many lines: max = " + IO::INT2STR(maxline), yourfault);
    linetype& l = (*LINE)[nl + 1];
    l = linetype{};
    l.name = name;
    auto linehead = [&] {
      return s.w == "-" || s.w == "univariant" || s.w == "line" || pointword(s.w) || openend(s.w);
    };
    if (pointword(s.w) || openend(s.w)) {
      // no phase information
    } else if (s.w == "line" || s.w == "univariant") {
      s.INCKOK("line header");
    } else {
      std::string where = "nonzero-mode phases for " + name;
      smallint n = 0;
      while (!linehead()) addphase(l.phases, n, where);
      l.nphases = n;
      if (s.w == "univariant") {
        s.INCKOK(where);
      } else if (s.w == "line") {
        s.INCKOK(where);
        l.nphases = 0;
      } else if (s.w == "-") {
        s.INCKOK(where);
        where = "zero-mode phase for " + name;
        if (s.w == "univariant" || s.w == "line" || pointword(s.w) || openend(s.w)) {
          l.zero = "none";
        } else {
          l.zero = s.name(where);
        }
        if (s.w == "univariant" || s.w == "line") s.INCKOK(where);
      } else {
        l.nphases = 0;
      }
    }
    {
      const std::string where = "line limit names for " + name;
      l.beginname = s.name(where);
      l.endname = s.name(where);
    }

    const std::string where = "reading coordinates for " + name;
    if (s.w == "connect") {
      s.INCKOK(where);
      l.connect = true;
    }
    if (s.w == "rgb") {
      s.INCKOK(where);
      for (long c = 1; c <= 3; ++c) l.rgb[c] = colourvalue(where);
      l.rgbset = true;
    }
    struct namedcolour {
      const char* word;
      smallint r, g, b;
    };
    static const namedcolour colours[] = {
        {"red", 255, 0, 0}, {"blue", 0, 0, 255}, {"green", 0, 170, 0}, {"magenta", 255, 0, 255}};
    for (const namedcolour& c : colours) {
      if (s.w != c.word) continue;
      s.INCKOK(where);
      l.rgb[1] = c.r;
      l.rgb[2] = c.g;
      l.rgb[3] = c.b;
      l.rgbset = true;
      break;
    }
    if (s.w == "thick") {
      s.INCKOK(where);
      l.thick = true;
    }
    if (s.w == "dashed") {
      s.INCKOK(where);
      l.dashed = true;
    }

    if (!l.connect) {
      const bool sloped = icol != 0 && slope != 0;
      slopedrows& r = scratch();
      r.n = 0;
      do {
        if (l.npts >= maxlinepts || r.n >= maxlinepts)
          IO::ERROREXIT(here, "too much data for line in " + where, yourfault);
        readrow(where);
        if (icol == 0 || (!sloped && row[icol] == ival)) {
          ++l.npts;
          l.x[l.npts] = row[xcol];
          l.y[l.npts] = row[ycol];
          l.round[l.npts] = rowrounding();
        } else if (sloped) {
          ++r.n;
          r.xs[r.n] = row[xcol];
          r.ys[r.n] = row[ycol];
          r.is[r.n] = row[icol];
          r.rs[r.n] = rowrounding();
        }
      } while (!s.isname());
      if (sloped && r.n > 1) runs(l, r);
      if (l.npts == 0) l.connect = true;
      const bool beginend = openend(l.beginname) && openend(l.endname);
      if (l.npts == 0 && (openend(l.beginname) || openend(l.endname)))
        IO::ERROREXIT(here, "default connect with begin/end: " + where, yourfault);
      if (l.npts == 1 && beginend) IO::ERROREXIT(here, "one point with begin end: " + where, yourfault);
    }
    DATAPRINT(2, static_cast<smallint>(nl + 1));
    if (!skipped) ++nl;
  }

  void area() {
    if (na >= maxarea) IO::ERROREXIT(here, "too many areas: max = " + IO::INT2STR(maxarea), yourfault);
    atype& a = AREA[++na];
    a = atype{};
    a.grayscale = static_cast<double>(s.real("grayscale for area"));
    const std::string where = "points for area";
    a.boundnames[1] = s.name(where);
    a.nbound = 1;
    while (s.isname() && s.w != "*") {
      if (a.nbound >= maxbound)
        IO::ERROREXIT(here, "too many points in area: max = " + IO::INT2STR(maxbound), yourfault);
      a.boundnames[++a.nbound] = s.name(where);
    }
    DATAPRINT(3, na);
  }

  void read() {
    if (!s.nextline() || s.words[1][0] == '*') IO::ERROREXIT(here, "not enough in file", yourfault);
    s.pos = 1;
    s.setcurrent();
    header();
    while (s.w != "*") {
      bool skipped = false;
      const sstring name = recordname(skipped);
      if (name[0] == 'i') {
        point(name);
      } else {
        line(name, skipped);
      }
    }
    NLINE = nl;
    NPOINT = np;
    CHECKDUPL();
    s.INCKOK("areas");
    // The "*" that ends the areas is left as the current word: its line is
    // the last the word stream reads, the control section follows it.
    while (s.w != "*") area();
    NA = na;
  }
};

}  // namespace

extended WRITTENUNIT(const std::string& text, bool& zerosshown) {
  zerosshown = false;
  // a rational is exact as written
  if (text.find('/') != std::string::npos) {
    zerosshown = true;
    return 0;
  }
  const std::string mantissa = text.substr(0, text.find_first_of("eE"));
  const std::size_t dot = mantissa.find('.');
  zerosshown = dot != std::string::npos && dot + 1 < mantissa.size() && mantissa.back() == '0';
  int place = 0;
  IO::LASTPLACE(text, place);
  return std::pow(10.0L, static_cast<extended>(place));
}

sstring GSTRING(valuetype vt, const sstring& w, const std::string& where) {
  if (vt != valuetype::astring) IO::ERROREXIT("reading", "expecting a name; got: " + w + " - " + where, yourfault);
  return w;
}

void READDATA() {
  IO::FILENAME = IO::PROMPTDATAFILE(IO::DRAWINGNAME, IO::CONTROLIO.scriptfile, "", IO::DATA);
  IO::DATAOPEN = true;
  static reader r;
  r = reader{};
  r.read();
  READCONTROLQK();
  DATAPRINT(4, 0);
}

void INTERP(const linevector& xs, const linevector& ys, const linevector& is, smallint n, extended& x,
            extended& y, extended value, extended slope, bool& ok) {
  x = 0;
  y = 0;
  ok = false;
  if (slope == 0) {
    if (n == 1) {
      if (is[1] == value) {
        x = xs[1];
        y = ys[1];
        ok = true;
      }
      return;
    }
    for (long k = 1; k <= n - 1; ++k) {
      const extended i1 = is[k], i2 = is[k + 1];
      if ((i1 <= value && value < i2) || (i2 < value && value <= i1)) {
        const extended f = (value - i1) / (i2 - i1);
        x = xs[k] + f * (xs[k + 1] - xs[k]);
        y = ys[k] + f * (ys[k + 1] - ys[k]);
        ok = true;
        return;
      }
    }
    return;
  }
  for (long k = 1; k <= n - 1; ++k) {
    const extended x1 = xs[k], x2 = xs[k + 1], y1 = ys[k], y2 = ys[k + 1], i1 = is[k], i2 = is[k + 1];
    if (y2 == y1) {
      // Equal values too would leave the fraction 0/0: such a segment
      // holds no single point.
      if (i2 == i1) continue;
      const extended t = value + slope * y1;
      if (!BETWEEN(t, i1, i2)) continue;
      const extended f = (t - i1) / (i2 - i1);
      x = x1 + f * (x2 - x1);
      y = y1 + f * (y2 - y1);
      ok = true;
      return;
    }
    extended ystar;
    if (i2 == i1) {
      ystar = (i1 - value) / slope;
    } else {
      const extended m = (i2 - i1) / (y2 - y1);
      const extended c = (y2 * i1 - i2 * y1) / (y2 - y1);
      if (m == slope) continue;
      ystar = (value - c) / (m - slope);
    }
    if (!BETWEEN(ystar, y1, y2)) continue;
    const extended f = (ystar - y1) / (y2 - y1);
    x = x1 + f * (x2 - x1);
    y = ystar;
    ok = true;
    return;
  }
}

void CHECKDUPL() {
  auto check = [](smallint n, auto nameof, const char* one, const char* many) {
    smallint dups = 0;
    for (smallint i = 1; i <= n - 1; ++i) {
      for (smallint j = static_cast<smallint>(i + 1); j <= n; ++j) {
        if (nameof(i) != nameof(j)) continue;
        if (dups == 0) IO::WRITETERMINAL("duplication of: ");
        ++dups;
        IO::WRITETERMINAL(nameof(i) + " ");
        break;
      }
    }
    if (dups == 1) IO::ERROREXIT(here, std::string("remove the duplication for this ") + one, yourfault);
    if (dups > 1) IO::ERROREXIT(here, std::string("remove the duplication for these ") + many, yourfault);
  };
  check(NPOINT, [](smallint i) { return (*POINT)[i].name; }, "point", "points");
  check(NLINE, [](smallint i) { return (*LINE)[i].name; }, "line", "lines");
}

// A hook after each record is read; nothing is done with it.
void DATAPRINT(smallint, smallint) {}

void DEBUGPRINT(smallint kind, smallint index) {
  const std::string rule = std::string(reportrule, '_');
  auto xy = [](extended x, extended y) {
    std::string s;
    IO::ADDREAL(x, reportplaces, true, reportwidth, s);
    IO::ADDREAL(y, reportplaces, true, reportwidth, s);
    return s;
  };
  if (kind == 1) {
    const pointtype& p = (*POINT)[index];
    IO::PUTSTR(0, rule, 1, CHANNEL::TERMSUMLOG);
    std::string s = p.name + ") ";
    for (long j = 1; j <= p.nphases; ++j) s += p.phases[j] + " ";
    s += "(" + p.zero1 + " " + p.zero2 + ")";
    IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, xy(p.x, p.y), 1, CHANNEL::TERMSUMLOG);
  } else if (kind == 2) {
    const linetype& l = (*LINE)[index];
    IO::PUTSTR(0, rule, 1, CHANNEL::TERMSUMLOG);
    std::string s = l.name + ") ";
    for (long j = 1; j <= l.nphases; ++j) s += l.phases[j] + " ";
    s += "(" + l.zero + ")";
    IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
    for (long j = 1; j <= l.npts; ++j) IO::PUTSTR(0, xy(l.x[j], l.y[j]), 1, CHANNEL::TERMSUMLOG);
  } else if (kind == 3) {
    if (index == 1) IO::PUTSTR(1, "areas", 1, CHANNEL::TERMSUMLOG);
    const atype& a = AREA[index];
    std::string s = "  ";
    for (long j = 1; j <= a.nbound; ++j) s += a.boundnames[j] + " ";
    IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
  }
}

}  // namespace ZQPLTX
