// The control section at the end of the drawing data file.
#include <cmath>
#include <string>

#include "frame/io.h"
#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

constexpr const char* here = "readdata";
constexpr smallint minnumbersize = 4, maxnumbersize = 14, defaultnumbersize = 4;
constexpr smallint mincirclesize = 1, maxcirclesize = 7;
constexpr int bigticksperwindow = 10;  // default big ticks across the window
constexpr int smallperbig = 5;         // default small ticks in a big one

smallint limited(smallint v, smallint lo, smallint hi) { return v < lo ? lo : (v > hi ? hi : v); }

controlboolean askasyes(controlboolean c) { return c == ask ? yes : c; }

// The integer after the switch, when there is one.
bool sizeword(const IO::strings& words, smallint n, smallint k, smallint& size) {
  IO::irrvector v;
  smallint count = 1;
  if (!IO::STRINGS2INTEGERS(words, n, k, v, count)) return false;
  size = v[1];
  return true;
}

bool reals(const IO::strings& words, smallint n, smallint k, smallint count, IO::rrvector& v) {
  smallint c = count;
  return IO::STRINGS2REALS(words, n, k, v, c);
}

// The frame steps along each axis by these gaps from one edge to the other:
// a gap that is not positive, or so small against the window that the
// steps are countless or no longer move the value, would never get there.
constexpr extended maxticks = 10000;  // ticks along one axis

void checkgap(extended gap, extended low, extended high, const char* keyword, const char* values) {
  const bool usable = std::isfinite(gap) && gap > 0 && (high - low) / gap <= maxticks && low + gap > low &&
                      high + gap > high;
  if (!usable)
    IO::ERROREXIT(here, std::string(keyword) + " gap not positive or too small for the window in script (" + values + ")",
                  yourfault);
}

// The areas' phases are their lines' phases and zeros, matched by name
// exactly: a name of a list that no line holds would match nothing, and
// a label would lose a phase, or all of them, without a word.
bool lineshold(const sstring& name) {
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = (*LINE)[i];
    if (l.zero == name) return true;
    for (long j = 1; j <= l.nphases; ++j)
      if (l.phases[j] == name) return true;
  }
  return false;
}

void checkphases(const IO::strings& list, smallint n, const std::string& key) {
  for (long j = 1; j <= n; ++j)
    if (!lineshold(list[j])) IO::ERROREXIT(here, key + " names " + list[j] + ", no phase of the drawing", yourfault);
}

void keyword(const IO::strings& words, smallint n) {
  const sstring& key = words[1];
  controlboolean c = yes;
  smallint k = 1;
  IO::rrvector v;
  IO::READCONTROL(words, n, c, k);
  if (key == "analyse") {
    CONTROLQK.analyse = c;
  } else if (key == "doareas" || key == "areas") {
    CONTROLQK.doareas = c;
  } else if (key == "numbering") {
    CONTROLQK.numbering = askasyes(c);
    if (CONTROLQK.numbering == yes) {
      smallint size = defaultnumbersize;
      if (!sizeword(words, n, k, size)) size = defaultnumbersize;
      NUMBERSIZE = limited(size, minnumbersize, maxnumbersize);
    }
  } else if (key == "docircles" || key == "circles") {
    CONTROLQK.docircles = askasyes(c);
    if (CONTROLQK.docircles == yes) {
      smallint size = 0;
      if (!sizeword(words, n, k, size))
        size = NUMBERSIZE < 1 ? smallint{1} : static_cast<smallint>(std::nearbyint(NUMBERSIZE * 0.5L));
      CIRCLESIZE = limited(size, mincirclesize, maxcirclesize);
    }
  } else if (key == "info") {
    if (NINFO >= maxinfo) IO::ERROREXIT("script", "too much info!!", yourfault);
    std::string text;
    for (long j = k + 1; j <= n; ++j) text += " " + words[j];
    if (text.size() > static_cast<std::size_t>(maxinfolength)) text.resize(maxinfolength);
    INFO[++NINFO] = text;
  } else if (key == "darkcolour") {
    if (reals(words, n, k, 3, v)) CONTROLQK.darkcolour = rgbcolour{v[1], v[2], v[3]};
  } else if (key == "window") {
    if (!reals(words, n, k, 4, v))
      IO::ERROREXIT(here, "window bad in script (xlow, xhigh, ylow, yhigh needed)", yourfault);
    XLOW = v[1];
    XHIGH = v[2];
    YLOW = v[3];
    YHIGH = v[4];
    if (!(XLOW < XHIGH)) IO::ERROREXIT(here, "xhigh must be greater than xlow", yourfault);
    if (!(YLOW < YHIGH)) IO::ERROREXIT(here, "yhigh must be greater than ylow", yourfault);
    SETWINDOW = true;
  } else if (key == "bigticks") {
    if (!reals(words, n, k, 4, v))
      IO::ERROREXIT(here, "bigticks bad in script (xtick gap, xstart, ytick gap, ystart needed)", yourfault);
    BIGXTICK = v[1];
    STARTX = v[2];
    BIGYTICK = v[3];
    STARTY = v[4];
    if (BIGXTICK == 0) BIGXTICK = (XHIGH - XLOW) / bigticksperwindow;
    if (BIGYTICK == 0) BIGYTICK = (YHIGH - YLOW) / bigticksperwindow;
    if (STARTX >= XHIGH || STARTX < XLOW) STARTX = XLOW;
    if (STARTY >= YHIGH || STARTY < YLOW) STARTY = YLOW;
    SETBIGTICKS = true;
  } else if (key == "smallticks") {
    CONTROLQK.smallticks = askasyes(c);
    if (CONTROLQK.smallticks == yes) {
      if (!reals(words, n, k, 2, v)) IO::ERROREXIT(here, "small ticks bad in script (xtick gap, ytick gap)", yourfault);
      SMALLXTICK = v[1];
      SMALLYTICK = v[2];
      if (SMALLXTICK == 0) SMALLXTICK = BIGXTICK / smallperbig;
      if (SMALLYTICK == 0) SMALLYTICK = BIGYTICK / smallperbig;
    }
    SETSMALLTICKS = CONTROLQK.smallticks == yes;
  } else if (key == "phaseorder" || key == "inexcess") {
    const bool order = key == "phaseorder";
    IO::strings& list = order ? PHASEO : INEXCESS;
    smallint& count = order ? NPHASEO : NINEXCESS;
    count = 0;
    std::string shown = order ? "order: " : "in excess: ";
    for (long j = k + 1; j <= n; ++j) {
      list[++count] = words[j];
      shown += words[j] + " ";
    }
    IO::WRITETERMINAL(shown + "\n");
  }
}

}  // namespace

void READCONTROLQK() {
  SETWINDOW = SETBIGTICKS = SETSMALLTICKS = false;
  CONTROLQK.analyse = no;
  CONTROLQK.numbering = no;
  CONTROLQK.doareas = yes;
  CONTROLQK.lightcolour = rgbcolour{255, 255, 255};
  CONTROLQK.darkcolour = rgbcolour{0, 0, 0};
  NUMBERSIZE = CIRCLESIZE = NPHASEO = NINEXCESS = 0;

  IO::strings words;
  smallint n = 0;
  while (!IO::ENDOFFILE(IO::DATA)) {
    IO::READSTRINGS(IO::DATA, words, n, true);
    if (n == 0) continue;
    if (words[1] == "*") break;
    keyword(words, n);
  }

  if (!SETWINDOW) IO::ERROREXIT(here, "window script needed (xlow, xhigh, ylow, yhigh)", yourfault);
  if (!SETBIGTICKS) IO::ERROREXIT(here, "bigticks script needed (xtick gap, xstart, ytick gap, ystart)", yourfault);
  const char* const bigvalues = "xtick gap, xstart, ytick gap, ystart";
  checkgap(BIGXTICK, XLOW, XHIGH, "bigticks", bigvalues);
  checkgap(BIGYTICK, YLOW, YHIGH, "bigticks", bigvalues);
  if (SETSMALLTICKS) {
    checkgap(SMALLXTICK, XLOW, XHIGH, "smallticks", "xtick gap, ytick gap");
    checkgap(SMALLYTICK, YLOW, YHIGH, "smallticks", "xtick gap, ytick gap");
  }
  checkphases(PHASEO, NPHASEO, "phaseorder");
  checkphases(INEXCESS, NINEXCESS, "inexcess");
  IO::FILECLOSE(IO::DATA, true, IO::DATA.name);
  IO::DATAOPEN = false;
}

}  // namespace ZQPLTX
