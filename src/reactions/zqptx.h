// Reaction lines and their intersections (calc mode 3).
#pragma once

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "frame/farray.h"
#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

// One boolean per reaction: which reactions took part in a printed intersection.
using brvector = farray<bool, 1, maxreac>;
// Every reaction's line at every value of the diagram's list.
using rlinematrix = fmatrix<extended, 1, maxreac, 1, maxlistvalues>;

namespace ZQPTX {

constexpr int maxintreactions = 28;  // reactions of one candidate intersection

// Fillers of the line tables, beyond every window: no root found, no second root.
constexpr extended NOLINE = 1e21L;
constexpr extended NOSECONDLINE = -1e21L;
// Values between -SOLUTIONBOUND and SOLUTIONBOUND are roots or below/above marks.
constexpr extended SOLUTIONBOUND = 1e10L;

extern findtype PTMODE;    // the calculated variable as a window kind (PHASEDIAGRAMCALCS)
extern rlinematrix RLINE1;  // lower root of each reaction at each list value (PTXTABLE)
extern rlinematrix RLINE2;  // higher root, or NOSECONDLINE (PTXTABLE)
// The window of the calculated variable kept while it is widened (ENLARGEWINDOW).
extern extended GTLOW, GTHIGH, GPLOW, GPHIGH;

// The calc-mode-3 pass: title, window, activities, reactions, tables and intersections.
void PHASEDIAGRAMCALCS();

// The activities the pass works with: a note when all are unit, a list of a
// few below unit, or a block table of every end-member but H2O and CO2.
void ACTIVITYTABLE();

// The reaction-line table, filling RLINE1 and RLINE2.
void PTXTABLE();
// Which list positions of n the table prints (at most 21, first and last always).
void SHOWNCOLUMNS(smallint n, farray<bool, 1, maxlistvalues>& shown);
// The list position nearest j0 whose value in row is inside the window,
// the upper one on a tie; 0 when there is none.
smallint NEARESTINRANGE(const farray<extended, 1, maxlistvalues>& row, smallint j0, smallint n, findtype kind);

// Widening of the calculated variable's window around a search, and back.
void ENLARGEWINDOW(calcvariabletype cv);
void RESTOREWINDOW(calcvariabletype cv);

// Intersections of the reaction lines of every candidate, with their stability.
void INTERSECTIONS();
// Convergence tolerances of a refined crossing in x (list) and y (calculated).
void SETLIM(extended& xtol, extended& ytol);
// The full point from the list value x and the calculated value y.
void SETIPTX(extended& P, extended& T, extended& xCO2, extended& xH2O, extended& lna, extended& mu, extended x,
             extended y);
// The pseudo end-member of an ln a or mu diagram set to the point's value.
void SETPSEUDO(extended lna, extended mu);
// The affinity of reaction r at the point (x, y) and its derivatives along
// the calculated variable (dy) and the list variable (dx); the pseudo
// end-member of an ln a or mu diagram keeps the value it had.
struct affinityslope {
  extended dmu = 0, dy = 0, dx = 0;
};
affinityslope AFFINITYAT(smallint r, extended x, extended y);
// Whether candidate intersection i is stable at (x, y).
bool ISTABLE(smallint i, extended x, extended y);
// Prints the stability of every reaction not involved in a printed intersection.
void RSTABLE(const brvector& involved);
// sd(P), sd(T) and their correlation at the crossing (x, y) of reactions r1 and r2.
void INTERSECTIONPTX(smallint r1, smallint r2, extended x, extended y, extended& sdp, extended& sdt, extended& cor);
// A reaction text without its coefficients (digits after H or O stay).
std::string STRIPN(const std::string& s);

// The skip tests of the stability rules over all three words of two sets.
bool BSHARE3(const IO::longint3& a, const IO::longint3& b);
bool BWITHIN3(const IO::longint3& a, const IO::longint3& b);

// The working state of one candidate's crossing search, and its steps.
struct crossings {
  static constexpr int maxn = maxintreactions;
  smallint N = 0;  // list values
  smallint n = 0;  // reactions of the candidate
  farray<smallint, 1, maxn> rn{};  // their reaction numbers
  // Branch values, in-window flags and crossing marks by position, branch, list position.
  fmatrix<extended, 1, 2 * maxn, 1, maxlistvalues>* val = nullptr;
  fmatrix<bool, 1, 2 * maxn, 1, maxlistvalues>* inw = nullptr;
  fmatrix<bool, 1, 2 * maxn, 1, maxlistvalues>* mark = nullptr;
  const farray<extended, 1, maxlistvalues>* X = nullptr;  // the list values
  // The crossing list of the current crossing.
  smallint nlist = 0;
  farray<smallint, 1, maxn> lk{}, lb{};
  // The bracket of the refinement.
  extended xlo = 0, xhi = 0, Alo = 0, Ahi = 0, Blo = 0, Bhi = 0;

  crossings();
  ~crossings();
  crossings(const crossings&) = delete;
  crossings& operator=(const crossings&) = delete;

  static long row(smallint k, smallint b) { return 2L * (k - 1) + b; }
  extended& v(smallint k, smallint b, smallint m) { return (*val)(row(k, b), m); }
  bool& in(smallint k, smallint b, smallint m) { return (*inw)(row(k, b), m); }
  bool& mk(smallint k, smallint b, smallint m) { return (*mark)(row(k, b), m); }

  // Loads the candidate's lines from the line tables.
  void LOAD(smallint count, const farray<smallint, 1, maxn>& reactions, smallint listcount,
            const farray<extended, 1, maxlistvalues>& list);
  void CROSSOVER(bool& found);
  void COMPARE(smallint m, smallint a, smallint b, smallint ba, smallint bb, bool& above, bool& restart,
               bool& crossed, bool& met);
  void CALCPTX(extended& x, extended& y, bool& found, bool& converged);
  // The crossing list at list position m from the marks there, the first
  // at position k0; the marks listed are consumed.
  void LISTAT(smallint m, smallint k0);
  void SETUPPTX(smallint ra, smallint rb, smallint ba, smallint bb, smallint m);
  void CROSSPTX(extended& x, extended& y, bool& ok);
  bool CROSS(smallint ra, smallint rb, smallint ba, smallint bb, smallint m);
  // Whether two lines' values at one list value meet, to the table's rounding.
  static bool MEET(extended va, extended vb);

  // One chord refinement on the listed lines a and b of the bracket ending at m.
  struct refinement {
    extended x = 0, y = 0;
    bool ok = false, converged = false, outside = false, offline = false;
    bool first = false;     // the first chords met, at (x1, y1)
    extended x1 = 0, y1 = 0;
    bool inside = false;    // (x, y) is a chord point inside the first bracket
    bool beyond = false;    // the lines meet at an end and cross just past it
    // The first bracket along the list variable; none when unset.
    extended lo = -std::numeric_limits<extended>::infinity(), hi = std::numeric_limits<extended>::infinity();
  };
  // The chords of the pair, then Newton steps from their last point inside
  // the bracket, and whether every listed line passes the point; past -1
  // or 1: from just inside the low or high end of the bracket, past a
  // crossing there.
  refinement REFINE(smallint a, smallint b, smallint m, extended xtol, extended ytol, int past = 0);
  // Whether the lines of the bracket meet at one of its ends, where t then
  // holds their crossing there or inside the bracket, or marks it past the end.
  bool ATNODE(smallint r1, smallint r2, refinement& t, extended xtol, extended ytol) const;
  // Whether x1 and x2, or (x, y) and a point settled before, are one.
  static bool SAME(extended x1, extended x2, extended xtol);
  bool SETTLED(extended x, extended y, extended xtol, extended ytol) const;
  // Newton steps on the affinities of r1 and r2 in the section's own
  // measure of the list variable (x(CO2) as ln(x / (1 - x))); the point
  // moves, and counts as settled, only when the steps shrink to far below
  // the tolerances without leaving the bracket.
  static void NEWTON(smallint r1, smallint r2, refinement& t, extended xtol, extended ytol);
  // Whether reaction r's line passes within the tolerances of (x, y), told
  // from its affinity and slopes in the section's own measure.
  static bool ONLINE(smallint r, extended x, extended y, extended xtol, extended ytol);
  // Marks a settled point off its lines unless every listed line passes it.
  void ONLINEALL(refinement& t, extended xtol, extended ytol) const;
  // The points settled for the candidate so far: a crossing at a list value
  // is marked in the brackets on both sides of it, by different pairs, and
  // is settled once.
  std::vector<std::pair<extended, extended>> settled;
  // The list positions whose bracket was visited again past such a point.
  std::vector<smallint> revisited;
  // Set by CALCPTX when every pair settled off its lines: (x, y) is then the
  // first pair's point, to be told of, not printed.
  bool offline = false;
  // Set by CALCPTX when no pair settled: why, with (x, y) where the first
  // chords met, to be told of only inside the window.
  std::string unsettled;
  // The line telling that a crossing was not settled, with the candidate's reactions.
  void UNSETTLED(const std::string& why) const;
};

}  // namespace ZQPTX
