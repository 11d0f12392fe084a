// The drawing component: reads a drawing data file with its control
// section, joins the lines to their points, clips them at the window and
// writes the phase diagram as an SVG document.
#pragma once

#include <string>
#include <vector>

#include "frame/channels.h"
#include "frame/farray.h"
#include "frame/io.h"
#include "frame/types.h"

namespace ZQPLTX {

// ---------------------------------------------------------------- limits
constexpr int maxpoint = 500;       // points of one file
constexpr int maxline = 800;        // lines of one file
constexpr int maxarea = 300;        // areas of one file
constexpr int maxlinepts = 201;     // data points of one line as read
constexpr int maxvalues = 20;       // values in one data row
constexpr int maxheader = 20;       // phases in the header of a point or line
constexpr int maxbound = 15;        // names bounding one area
constexpr int maxinfo = 10;         // info lines
constexpr int maxinfolength = 255;  // characters of one info line
// The set-up adds the two named end points to a line, and clipping adds at
// most a corner and a crossing per segment: room for all of them.
constexpr int maxlinestore = 3 * (maxlinepts + 2);
// A line's open end this near a side of the window, in diagram units, lies
// on it.
constexpr extended edgetolerance = 1e-7L;
// Two positions of the records are one within this many units of the last
// digit their values carry, in each coordinate: a unit or two of their two
// roundings, and half a unit for the values' binary form. A position and
// the frame, which is not rounded, are one within half of that; so are
// two positions within that share of the sum of their own units.
constexpr extended roundingunits = 2.5L;
constexpr extended frameunits = roundingunits / 2;

// The rounding of a place of the records: the unit of the last digit each
// of its values was written with. Where the file cannot tell how far a
// value was rounded (a value without trailing zeros among values of more
// digits: those zeros may have been dropped), it holds two readings: the
// coarser, for the way a line leaves its point, and the finer, for telling
// places apart, so that the rounding never merges places the data keep
// apart. A place the drawing makes exactly (a corner, a side of the frame)
// has 0 that way.
// Units need no more digits than a float holds, and every point of every
// line carries one.
struct rounding {
  float wayx = 0, wayy = 0;      // for the way a line leaves its point
  float apartx = 0, aparty = 0;  // for telling places apart
  // the unit of the last digit written, where its zeros show, which no
  // window narrows (0 where they may have been dropped)
  float writtenx = 0, writteny = 0;
};
// Which reading of the rounding a comparison takes.
enum class reading { way, apart };

using linevector = farray<extended, 1, maxlinestore>;
using roundvector = farray<rounding, 1, maxlinestore>;
using rowvector = farray<extended, 1, maxvalues>;
using headerlist = farray<sstring, 1, maxheader>;

// ---------------------------------------------------------------- records
struct pointtype {
  sstring name;
  headerlist phases;      // phases with non-zero modes
  sstring zero1, zero2;   // zero-mode phases: "none" when not named, empty without "-"
  smallint nphases = 0;
  extended x = 0, y = 0;
  rounding round;          // of x and y: as read, or of the places it was made from
  bool crossover = false;  // placed at the crossing of two lines
  sstring crossname1, crossname2;
  smallint crossline1 = 0, crossline2 = 0;
  bool seen = false;  // inside the window, edges included
  farray<smallint, 1, 4> plines;
};

struct linetype {
  sstring name;
  headerlist phases;
  sstring zero;  // "none" when not named, empty without "-"
  smallint nphases = 0;
  linevector x, y;
  roundvector round;  // of each point: as read, or of the places it was made from
  smallint npts = 0;
  sstring beginname, endname;  // point names, or "begin" / "end" for open ends
  // A point index (> 0), a window edge (-1 bottom, -2 left, -3 top,
  // -4 right), or 0 for an end attached to nothing.
  smallint beginlink = 0, endlink = 0;
  bool connect = false;  // the straight segment between its two end points
  bool monox = false;    // the line is cut at its points along x (MONOTONIC), else along y
  bool dashed = false, thick = false;
  bool rgbset = false;
  farray<smallint, 1, 3> rgb;
  smallint area1 = 0, area2 = 0;
};

struct atype {
  double grayscale = 0;
  farray<sstring, 1, maxbound> boundnames;
  farray<smallint, 1, maxbound> boundindex;
  smallint nbound = 0;
  IO::strings phases;
  smallint nphases = 0;
  smallint variance = 0;
  IO::strings labelphases;
  smallint nlabel = 0;
  smallint order = 0;
  str255 label;
  extended labelx = 0, labely = 0;
};

struct rgbcolour {
  extended r = 0, g = 0, b = 0;
};

struct controlqktype {
  controlboolean analyse = no;
  controlboolean smallticks = yes;
  controlboolean numbering = no;
  controlboolean doareas = yes;
  controlboolean docircles = yes;
  rgbcolour lightcolour{255, 255, 255};
  rgbcolour darkcolour{0, 0, 0};
};

struct svginfotype {
  smallint left = 0, right = 0, top = 0, bottom = 0;  // the frame in picture units
  float textx = 0, texty = 0;                         // where the next info line goes
};

using pointtable = farray<pointtype, 1, maxpoint>;
using linetable = farray<linetype, 1, maxline>;
using areatable = growtable<atype, maxarea>;  // made as a drawing uses them

// ---------------------------------------------------------------- state
// The tables, allocated by OVERALLSETUP, filled by READDATA and changed in
// place by the line set-up; released at the end of PLOTIX.
extern pointtable* POINT;
extern linetable* LINE;
extern smallint NPOINT, NLINE;  // records in use, set by READDATA
extern areatable AREA;          // area records of the file, set by READDATA
extern smallint NA;

extern smallint NV;    // values in each data row, from the file header
extern smallint NSYS;  // size of the chemical system, from the file header

// The window and ticks in diagram units, set by READCONTROLQK.
extern extended XLOW, XHIGH, YLOW, YHIGH;
extern extended BIGXTICK, STARTX, BIGYTICK, STARTY;
extern extended SMALLXTICK, SMALLYTICK;
extern bool SETWINDOW, SETBIGTICKS, SETSMALLTICKS;
extern smallint NUMBERSIZE;  // line and point numbers, 4..14; set by READCONTROLQK
extern smallint CIRCLESIZE;  // point circles, 1..7; set by READCONTROLQK
extern farray<str255, 1, maxinfo> INFO;  // "info" lines, set by READCONTROLQK
extern smallint NINFO;
extern IO::strings PHASEO, INEXCESS;  // "phaseorder" and "inexcess" lists, set by READCONTROLQK
extern smallint NPHASEO, NINEXCESS;
extern controlqktype CONTROLQK;  // drawing switches and colours, set by READCONTROLQK
extern svginfotype SVGINFO;      // the picture frame, set by SVGSETUP and DRAWBOX

// Defaults of the drawing state, before a drawing run reads its file.
void RESETPLTX();

// ---------------------------------------------------------------- run
void PLOTIX();
void OVERALLSETUP();
void SVGDRAW();

// ---------------------------------------------------------------- topology analysis
// The consistency checks of the points' and lines' phase information, then
// the areas of the diagram (FINDAREAS); every fault stops the run.
void ANALYSIS();
void FINDAREAS();
// Two equal entries among list[1..n] and the extras that are not empty.
bool DUPLICATE(const IO::strings& list, smallint n, const std::string& extra1, const std::string& extra2);
// Every b[1..nb] among a[1..na]; false when either list is empty.
bool SUBSET(const IO::strings& a, smallint na, const IO::strings& b, smallint nb);

// ---------------------------------------------------------------- area filling
// Where `partedpoints`, the ends of a field's lines at two points written
// at one place meet at their own points alone.
void DOAREAS(bool partedpoints = false);
// The polygon of one area as the filling makes it, in the diagram's units.
struct areapolygon {
  smallint area = 0;
  std::vector<extended> x, y;
};
// Stops the run, naming the areas, unless the polygons tile the window:
// each place of it in exactly one of them, and their areas summing to the
// window's. Areas given in the file need not be every field: of those,
// no place in two, and no more than the window.
void CHECKTILES(const std::vector<areapolygon>& drawn, bool whole);
// Stops the run, naming the area and the line, where a place inside an
// analysed area's polygon lies on the side of a line the area's phases do
// not put it on, as the lines kept by KEEPCUTLINES tell it.
void CHECKSIDES(const std::vector<areapolygon>& drawn);
// The lines as the set-up cut them at their points, kept before the window
// clips them, for CHECKSIDES.
void KEEPCUTLINES();
// Forgets them, so that a drawing whose set-up cuts no lines checks no
// sides against another drawing's.
void FORGETCUTLINES();
// An area as a refusal names it: its number and its lines.
std::string AREANAMED(smallint k);
// Two lines of the drawing that cross, or touch, where no point of both
// joins them, as a refusal names them, as drawn; an empty text for none.
std::string CROSSINGOFLINES();
// Whether line i runs along the frame, each of its segments on one side of
// it, so that nothing of the window lies between it and the frame.
bool LINEALONGFRAME(smallint i);
smallint WHICHU(const sstring& name);
// Line ends are 1 (first point) and 2 (last point).
extended DISTANCE(smallint line1, smallint end1, smallint line2, smallint end2);
void DRAWEDGE(smallint line1, smallint end1, smallint line2, smallint end2);

// ---------------------------------------------------------------- reading
void READDATA();
sstring GSTRING(valuetype vt, const sstring& w, const std::string& where);
// The point where the interpolation value is value + slope * y, over rows
// 1..n; ok false (and x, y 0) when no segment holds it.
void INTERP(const linevector& xs, const linevector& ys, const linevector& is, smallint n, extended& x,
            extended& y, extended value, extended slope, bool& ok);
void CHECKDUPL();
void DATAPRINT(smallint kind, smallint index);
void DEBUGPRINT(smallint kind, smallint index);
void READCONTROLQK();

// ---------------------------------------------------------------- line network
// The lines and points as they stand, to be put back for a second setting
// up.
struct networkcopy {
  growtable<linetype, maxline> lines{"lines as written"};
  growtable<pointtype, maxpoint> points{"points as written"};
};
networkcopy COPYNETWORK();
void PUTBACKNETWORK(const networkcopy& copy);
void DOCROSSOVER();
// The lines cut at their points and joined there. Where `finer`, every
// point written coarser than the rows of its lines is first put at their
// finer place: false, the set-up left unfinished, where none moves or the
// lines cannot be cut so. Where `aswritten`, the lines are cut at their
// points and clipped with no point moved and no line joined to another:
// false where they cannot be cut so, or where two of them meet, exactly as
// written, anywhere but where both end at points. Where `inside`, points
// written inside the window within their rounding of the frame are put on
// it as well.
bool SETUPLINES(bool finer = false, bool aswritten = false, bool inside = false);
smallint WHICHI(const sstring& name);
void MONOTONIC(smallint i);
smallint FINDINSERTPOSI(smallint i, smallint p);
// Where `trial`, false instead of a stop where the line cannot be cut at
// its point (the point lies past the end the line leaves it by).
bool ADDPOINTS(smallint i, bool trial = false);
void ADDEDGES(smallint i);
bool POINTSEEN(extended x, extended y);
// The unit of the last digit of a value as written ("6.00" 0.01,
// "0.0001272" 1e-7, "1.5e-05" 1e-6, "400" 1), and whether the text shows
// its trailing zeros ("6.50", "0.05290"), so that none were dropped.
extended WRITTENUNIT(const std::string& text, bool& zerosshown);
// The finer reading of the values whose trailing zeros may have been
// dropped: as exact as the rows of their own line (a point: of the lines
// at it) inside the window, so that rows outside it change nothing within;
// then the points within their rounding of the frame put on it.
void RECORDROUNDING();
// A place with its rounding.
struct spot {
  extended x = 0, y = 0;
  rounding round;
};
spot LINESPOT(smallint line, long k);
spot POINTSPOT(smallint p);
// A place made from two: as coarse as the coarser each way.
rounding COARSER(const rounding& a, const rounding& b);
// The rounding of a place a fraction t of the way from a to b.
rounding ROUNDINGBETWEEN(const rounding& a, const rounding& b, extended t);
// Two places that their roundings, in the reading given, make one: apart
// by no more than frameunits times the sum of their units, each way.
bool ONEPLACE(const spot& a, const spot& b, reading how);
// The side of the frame a place lies on within its rounding, read to tell
// places apart (1 bottom, 2 left, 3 top, 4 right, the first of two at a
// corner), 0 for none.
smallint FRAMESIDE(const spot& a);
// The side of the frame a place lies on as it is, with no rounding: where
// lines have met at their points, every end that is on the frame was put
// there, and the frame is read exactly.
smallint FRAMESIDEAT(extended x, extended y);
// Whether a point of the window's records that lies on the frame is at the
// place.
bool FRAMEPOINTAT(const spot& a);
// The sign (1, 0, -1) of the cross product (b - a) x (d - c), exact for
// the numbers given: 1 when the way c to d turns left of the way a to b.
int CROSSSIGN(extended ax, extended ay, extended bx, extended by, extended cx, extended cy, extended dx,
              extended dy);
// The cross product (b - a) x (d - c), as near its exact value as the last
// place allows, where its rounded terms would cancel.
extended CROSSVALUE(extended ax, extended ay, extended bx, extended by, extended cx, extended cy, extended dx,
                    extended dy);
// The sign of the dot product (b - a) . (d - c), exact.
int DOTSIGN(extended ax, extended ay, extended bx, extended by, extended cx, extended cy, extended dx,
            extended dy);
// Whether v lies between a and b, either way round, ends included.
inline bool BETWEEN(extended v, extended a, extended b) { return (a <= v && v <= b) || (b <= v && v <= a); }
// The side of the line from a to b that p lies on: 1 left, -1 right, 0 on it.
inline int ORIENT(extended ax, extended ay, extended bx, extended by, extended px, extended py) {
  return CROSSSIGN(ax, ay, bx, by, ax, ay, px, py);
}
// Whether (x, y) lies on the segment from a to b, ends included, exactly.
inline bool ONSEGMENTAT(extended ax, extended ay, extended bx, extended by, extended x, extended y) {
  return ORIENT(ax, ay, bx, by, x, y) == 0 && BETWEEN(x, ax, bx) && BETWEEN(y, ay, by);
}
// Whether (x, y) lies on segment k of line l as its rows are, ends
// included, exactly.
inline bool ONSEGMENT(const linetype& l, long k, extended x, extended y) {
  return ONSEGMENTAT(l.x[k], l.y[k], l.x[k + 1], l.y[k + 1], x, y);
}
void PRINTLINE(smallint i, smallint level);
// The one place the rows' rounding joins lines: where two lines meet,
// crossing or touching, within the rounding of a point that either names,
// they meet at that point; a line named there goes from the point straight
// to the rows beyond the meeting, a line passing it is routed through it.
// A line's rows next to its own point and within the rounding of it are
// that point, and an open end within its rounding of the frame is on it.
// Everywhere else a row is the number written.
void JOINATPOINTS();
// Whether lines i and j cross or touch where no row of both joins them,
// beyond their rounding of every point (or, with nearpoints, of every
// point both name), and where.
bool LINESCROSS(smallint i, smallint j, extended& x, extended& y, bool nearpoints = false);
// Whether lines i and j pass to the other side of each other at a row, or
// a run of rows, they share beyond their rounding of every point, and
// where.
bool LINESCROSSATROW(smallint i, smallint j, extended& x, extended& y);

// ---------------------------------------------------------------- SVG
void SVGSETUP();
void CONV(extended x, extended y, extended& sx, extended& sy);
// While a polygon is given, MOVETO and LINETO add their points to it
// instead of writing them; nullptr writes them again.
void KEEPPOINTS(areapolygon* into);
void MOVETO(extended x, extended y);
void LINETO(extended x, extended y);
void ALINE(smallint line, bool forward);
void FINDMID(smallint line, extended& xm, extended& ym);
void DRAWBOX();
void DOLINES();
void DOCIRCLES();
// Text made safe for the document: markup characters escaped, bytes of the
// one-byte character set that are not UTF-8 written as UTF-8.
std::string SVGTEXT(const std::string& text);

}  // namespace ZQPLTX
