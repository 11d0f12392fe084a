// The SVG document: head, info lines, frame with ticks and labels, lines
// with their numbers, circles at the points.
#include <cmath>

#include "frame/io.h"
#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

constexpr smallint frameleft = 60;    // left margin, also the right one
constexpr smallint framesize = 460;   // the square frame
constexpr smallint infospacing = 22;  // between info lines
constexpr smallint infogap = 12;      // from the last info line to the frame
constexpr smallint pagefoot = 50;     // below the frame
constexpr smallint labeldrop = 4;     // y labels sit this far below their tick
constexpr extended labelslack = 0.00001L;  // of the window, for the last label
constexpr extended integerlabel = 0.00001L;
constexpr extended tickslack = 0.00001L;  // of a gap, for the first tick on the low edge
constexpr smallint maxlabelplaces = 5;
constexpr int numberfontbase = 16;  // font size of numbers of size 12
constexpr int numberfontsize = 12;
constexpr int numberlift = 3;        // numbers sit a third of their size below their point
constexpr int tickparts = 60;        // a big tick is this fraction of the window, a small one half of it
constexpr int xlabelticks = 3;       // x labels stand this many tick lengths below the frame
constexpr int ylabelticks = 2;       // y labels this many to its left
constexpr smallint coordplaces = 2;  // decimals of every coordinate

const char* const svgnamespace = "http://www.w3.org/2000/svg";

// Unicode of the bytes 0x80..0xFF of the program's one-byte character set.
constexpr unsigned short upper[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

void utf8(unsigned code, std::string& out) {
  if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (code & 0x3F));
}

// Length of the valid UTF-8 sequence starting at s[i], 0 when there is none.
std::size_t utf8length(const std::string& s, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = byte(i);
  std::size_t len = 0;
  unsigned code = 0;
  unsigned minimum = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
    code = c & 0x1F;
    minimum = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    code = c & 0x0F;
    minimum = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    code = c & 0x07;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return len;
}

std::string real2(extended x) { return IO::REAL2STR(x, coordplaces, true); }

void put(smallint before, const std::string& text, smallint after) { IO::PUTSTR(before, text, after, CHANNEL::SVG); }

// The polygon MOVETO and LINETO add to instead of writing, set by
// KEEPPOINTS while the area filling makes its polygons.
areapolygon* keeping = nullptr;

// The picture point of the diagram's place (x, y). Every coordinate the
// document holds comes from here: a place whose picture point is no number
// or lies off the page would be written as blanks or as a number no viewer
// pairs right, so the run stops naming it.
void topage(extended x, extended y, extended& sx, extended& sy) {
  CONV(x, y, sx, sy);
  const extended width = SVGINFO.right + SVGINFO.left, height = SVGINFO.bottom + pagefoot;
  if (!(0 <= sx && sx <= width && 0 <= sy && sy <= height))
    IO::ERROREXIT("svg", "the place " + IO::ANYNO(x) + " " + IO::ANYNO(y) + " lies beyond the page", yourfault);
}

void point(smallint before, extended x, extended y) {
  if (keeping != nullptr) {
    keeping->x.push_back(x);
    keeping->y.push_back(y);
    return;
  }
  extended sx = 0, sy = 0;
  topage(x, y, sx, sy);
  put(before, "      " + real2(sx) + " " + real2(sy), 0);
}

// One stroke from (x1, y1) to (x2, y2) as its own polyline.
void tick(extended x1, extended y1, extended x2, extended y2) {
  put(1, "    <polyline points=\"", 1);
  MOVETO(x1, y1);
  LINETO(x2, y2);
  put(0, "\" />", 1);
}

// The first of the ticks start + k gap (k of either sign) within the window
// [low, high), or the low edge when none is. The reader clamps the start
// against the window read before it, which a later window line may move;
// from within the window the reader's limit on the count of ticks holds.
extended firsttick(extended start, extended gap, extended low, extended high) {
  if (low <= start && start < high) return start;
  extended r = std::fmod(start - low, gap);
  if (r < 0) r += gap;
  // A tick that rounding alone puts off the low edge stands on it.
  if (r < tickslack * gap || gap - r < tickslack * gap) return low;
  const extended t = low + r;
  return t < high ? t : low;
}

// The tick values from start by gap, the last one the first that reaches
// the far edge less a gap.
template <class F>
void ticks(extended start, extended gap, extended high, F draw) {
  extended t = start;
  for (;;) {
    draw(t);
    if (t >= high - gap) break;
    t += gap;
  }
}

// The tick values from start by gap up to the far edge, with a little slack.
template <class F>
void labels(extended start, extended gap, extended low, extended high, F draw) {
  for (extended t = start; t - high < labelslack * (high - low); t += gap) draw(t);
}

std::string labeltext(extended t) {
  // A value just below zero rounds to a negative zero, which would read "-0".
  if (const extended n = std::nearbyint(t); std::fabs(t - n) < integerlabel) return IO::INT2STR(n == 0 ? 0.0L : n);
  smallint places = IO::NPLACES(t);
  if (places > maxlabelplaces) places = maxlabelplaces;
  return IO::REAL2STR(t, places, true);
}

void label(extended x, extended y, extended down, const std::string& text, const char* open, const char* close) {
  extended sx = 0, sy = 0;
  topage(x, y, sx, sy);
  put(0, "    <text x=\"" + real2(sx) + "\" y=\"" + real2(sy + down) + open + SVGTEXT(text) + close, 1);
}

void numbergroup() {
  const long size = std::lround(static_cast<extended>(numberfontbase) * NUMBERSIZE / numberfontsize);
  put(0, "  <g stroke=\"none\" fill=\"black\" text-anchor=\"middle\" font-size=\"" + IO::INT2STR(size) + "px\" >", 2);
}

bool strictlyinside(extended x, extended y) { return XLOW < x && x < XHIGH && YLOW < y && y < YHIGH; }

// A name without its first character, the "i" or "u" of its record.
std::string number(const sstring& name) { return name.size() > 1 ? name.substr(1) : std::string(); }

}  // namespace

std::string SVGTEXT(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c < 0x20 || c == 0x7F) {
      // Control characters have no place in the document's text.
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (const std::size_t len = utf8length(text, i); len > 0) {
      out.append(text, i, len);
      i += len;
      continue;
    } else {
      utf8(upper[c - 0x80], out);
    }
    ++i;
  }
  return out;
}

void SVGSETUP() {
  SVGINFO.left = frameleft;
  SVGINFO.right = frameleft + framesize;
  SVGINFO.top = static_cast<smallint>((NINFO + 2) * infospacing);
  SVGINFO.bottom = static_cast<smallint>(SVGINFO.top + framesize);
  const std::string width = IO::INT2STR(SVGINFO.right + SVGINFO.left);
  const std::string height = IO::INT2STR(SVGINFO.bottom + pagefoot);
  put(0, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>", 2);
  put(0, "<svg viewBox=\"0 0 " + width + " " + height + "\" xmlns=\"" + svgnamespace + "\" version=\"1.1\">", 2);
  // The missing ";" is kept: with it, the 16px would also override the
  // numbers' own font size.
  put(0, "  <style> text{font-family:Helvetica,sans-serif font-size:16px;} </style>", 2);
  put(0, "  <rect width=\"" + width + "\" height=\"" + height +
             "\" stroke=\"black\" stroke-opacity=\"0.1\" fill=\"white\" />",
      2);
}

void CONV(extended x, extended y, extended& sx, extended& sy) {
  const svginfotype& s = SVGINFO;
  sx = s.left + (x - XLOW) * (s.right - s.left) / (XHIGH - XLOW);
  sy = s.bottom + (y - YLOW) * (s.top - s.bottom) / (YHIGH - YLOW);
}

void KEEPPOINTS(areapolygon* into) { keeping = into; }

void MOVETO(extended x, extended y) { point(0, x, y); }

void LINETO(extended x, extended y) { point(1, x, y); }

void ALINE(smallint line, bool forward) {
  const linetype& l = (*LINE)[line];
  if (l.npts < 2) return;
  if (forward) {
    for (long k = 2; k <= l.npts; ++k) LINETO(l.x[k], l.y[k]);
  } else {
    for (long k = l.npts - 1; k >= 1; --k) LINETO(l.x[k], l.y[k]);
  }
}

void FINDMID(smallint line, extended& xm, extended& ym) {
  const linetype& l = (*LINE)[line];
  linevector& d = *[] {
    static linevector v;
    return &v;
  }();
  d[1] = 0;
  for (long k = 2; k <= l.npts; ++k) {
    const extended u = (l.x[k - 1] - l.x[k]) / (XHIGH - XLOW);
    const extended v = (l.y[k - 1] - l.y[k]) / (YHIGH - YLOW);
    d[k] = d[k - 1] + std::sqrt(u * u + v * v);
  }
  const extended target = l.npts >= 1 ? d[l.npts] / 2 : 0;
  if (target == 0) {
    // Clipping leaves a line that only touches the window as a point on its
    // edge: that point is its middle, which gets no number. Points of its
    // own that all coincide inside the window are the data's fault.
    if (l.npts < 1 || strictlyinside(l.x[1], l.y[1]))
      IO::ERROREXIT("findmid", "zero sum distance for " + l.name, yourfault);
    xm = l.x[1];
    ym = l.y[1];
    return;
  }
  long k = 2;
  while (k < l.npts && d[k] < target) ++k;
  if (d[k] == target) {
    xm = l.x[k];
    ym = l.y[k];
    return;
  }
  const extended f = (target - d[k - 1]) / (d[k] - d[k - 1]);
  xm = l.x[k - 1] + f * (l.x[k] - l.x[k - 1]);
  ym = l.y[k - 1] + f * (l.y[k] - l.y[k - 1]);
}

void DRAWBOX() {
  const extended dx = (XHIGH - XLOW) / tickparts;
  const extended dy = (YHIGH - YLOW) / tickparts;
  put(0, "", 1);

  SVGINFO.textx = SVGINFO.left;
  SVGINFO.texty = static_cast<float>(SVGINFO.top - infogap - infospacing * (NINFO + 1));
  for (long k = 1; k <= NINFO + 1; ++k) {
    SVGINFO.texty += infospacing;
    const std::string text =
        k == 1 ? IO::CONTROLIO.progname + " (running at " + IO::WHENSTRING + ")" : INFO[k - 1];
    put(0, "  <text x=\"" + real2(SVGINFO.textx) + "\" y=\"" + real2(SVGINFO.texty) + "\" > " + SVGTEXT(text) +
               " </text>",
        1);
  }

  put(1, "<!-- box -->", 1);
  put(1, "    <polygon stroke=\"black\" fill=\"none\" points=\"", 1);
  MOVETO(XLOW, YLOW);
  LINETO(XLOW, YHIGH);
  LINETO(XHIGH, YHIGH);
  LINETO(XHIGH, YLOW);
  LINETO(XLOW, YLOW);
  put(0, "\" />", 1);

  put(1, "<!-- axis ticks -->", 2);
  put(0, "  <g stroke=\"black\" fill=\"none\" >", 1);
  const extended startx = firsttick(STARTX, BIGXTICK, XLOW, XHIGH);
  const extended starty = firsttick(STARTY, BIGYTICK, YLOW, YHIGH);
  ticks(startx, BIGXTICK, XHIGH, [&](extended t) { tick(t, YLOW, t, YLOW + dy); });
  ticks(starty, BIGYTICK, YHIGH, [&](extended t) { tick(XLOW, t, XLOW + dx, t); });
  put(0, "  </g>", 1);

  put(1, "<!-- axis labelling -->", 2);
  put(0, "  <g text-anchor=\"middle\" >", 1);
  labels(startx, BIGXTICK, XLOW, XHIGH,
         [&](extended t) { label(t, YLOW - xlabelticks * dy, 0, labeltext(t), "\" > ", " </text>"); });
  put(1, "  </g>", 2);
  put(0, "  <g text-anchor=\"end\" >", 1);
  labels(starty, BIGYTICK, YLOW, YHIGH,
         [&](extended t) { label(XLOW - ylabelticks * dx, t, labeldrop, labeltext(t), "\" > ", " </text>"); });
  put(0, "  </g>", 1);

  if (SETSMALLTICKS) {
    put(1, "<!-- small ticks -->", 2);
    put(0, "  <g stroke=\"black\" fill=\"none\" >", 1);
    ticks(XLOW + SMALLXTICK, SMALLXTICK, XHIGH, [&](extended t) { tick(t, YLOW, t, YLOW + dy / 2); });
    ticks(YLOW + SMALLYTICK, SMALLYTICK, YHIGH, [&](extended t) { tick(XLOW, t, XLOW + dx / 2, t); });
    put(0, "</g>", 1);
  }
}

void DOLINES() {
  put(1, "<!-- lines -->", 2);
  put(0, "  <g stroke=\"black\" fill=\"none\">", 1);
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = (*LINE)[i];
    if (l.npts <= 0) continue;
    std::string s = "    <polyline ";
    if (l.rgbset)
      s += "stroke=\"rgb(" + IO::INT2STR(l.rgb[1]) + "," + IO::INT2STR(l.rgb[2]) + "," + IO::INT2STR(l.rgb[3]) +
           ")\" ";
    if (l.thick) s += "stroke-width=\"1.6\" ";
    if (l.dashed) s += "stroke-dasharray=\"4 3\" ";
    s += "points=\"";
    put(1, s, 1);
    MOVETO(l.x[1], l.y[1]);
    for (long k = 2; k <= l.npts; ++k) LINETO(l.x[k], l.y[k]);
    put(0, "\"  />", 1);
  }
  put(1, "  </g>", 1);

  if (CONTROLQK.numbering != yes) return;
  put(1, "<!-- line numbering -->", 2);
  numbergroup();
  for (smallint i = 1; i <= NLINE; ++i) {
    const linetype& l = (*LINE)[i];
    if (l.npts == 0 || l.connect) continue;
    extended xm = 0, ym = 0;
    FINDMID(i, xm, ym);
    if (strictlyinside(xm, ym)) label(xm, ym, static_cast<extended>(NUMBERSIZE) / numberlift, number(l.name), "\" >", "</text>");
  }
  put(1, "  </g>", 1);
}

void DOCIRCLES() {
  put(1, "<!-- circles -->", 2);
  put(0, "  <g stroke=\"none\" fill=\"black\" fill-opacity=\"0.1\" >", 2);
  for (smallint i = 1; i <= NPOINT; ++i) {
    const pointtype& p = (*POINT)[i];
    if (!strictlyinside(p.x, p.y)) continue;
    extended sx = 0, sy = 0;
    topage(p.x, p.y, sx, sy);
    put(0, "    <circle cx=\"" + real2(sx) + "\" cy=\"" + real2(sy) + "\" r=\"" + real2(CIRCLESIZE) + "\" />", 1);
  }
  put(1, "  </g>", 1);

  if (CONTROLQK.numbering != yes) return;
  put(1, "<!-- circle numbering -->", 2);
  numbergroup();
  for (smallint i = 1; i <= NPOINT; ++i) {
    const pointtype& p = (*POINT)[i];
    if (strictlyinside(p.x, p.y)) label(p.x, p.y, static_cast<extended>(NUMBERSIZE) / numberlift, number(p.name), "\" >", "</text>");
  }
  put(1, "  </g>", 1);
}

}  // namespace ZQPLTX
