// The damped Newton solver of the equilibrium equations.
#pragma once

#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQMATH2 {

// True exactly when the solve converged (code 0).
bool NLE(smallint& code);

// ---------------------------------------------------------------- pieces
// The pieces below belong to one solve; they are open so that the line
// search and the step limits can be driven on made-up profiles and layouts.

// Outcome codes of a solve.
namespace NLECODE {
constexpr smallint converged = 0;
constexpr smallint smallstep = 1;      // step too small far from the solution
constexpr smallint overit = 2;         // iteration limit passed
constexpr smallint linesearch = 2;     // code = line-search code + this
constexpr smallint nodirection = 8;    // no singular value above zero
constexpr smallint badstart = 9;       // the start point cannot be evaluated
constexpr smallint softfail = 10;      // a trial evaluation failed and was taken softly
}  // namespace NLECODE

// Codes of one line search (0: a step was taken).
namespace LSCODE {
constexpr smallint stepped = 0;
constexpr smallint nointerval = 2;     // extension ended with a rising slope
constexpr smallint novalue = 3;        // interpolation without sufficient decrease
constexpr smallint notreduced = 4;     // three iterations without a fully acceptable step
constexpr smallint slimsmall = 5;      // step limit below the smallest usable step
constexpr smallint nodirection = 6;    // the Jacobian is zero
}  // namespace LSCODE

// What one line search works on: the point it starts from, the trial
// evaluations along the direction, and the state it shares with the solver.
// The solver is one such source; tests make up others.
struct nlemerit {
  extended f0 = 0;        // merit at the start of the iteration
  extended facc = 0;      // merit at the step accepted last
  extended gacc = 0;      // slope there
  acctype acc = acctype::inaccessible;  // kind of the limit that binds the step
  bool fnok = false;      // the last trial evaluation ends the solve
  smallint lscount = 0;   // pass counter of the search's inner loops
  smallint notreduced = 0;  // iterations in a row without a fully acceptable step
  smallint traceline = 0;   // line counter of the trace table
  bool suff = false;      // last test: sufficient decrease
  bool curv = false;      // last test: slope reduced

  virtual ~nlemerit() = default;
  // The evaluation at the current point, the direction and the largest step
  // along it; stepcode 0, or the code that ends the iteration at once.
  virtual void STARTUP(extended& f0, extended& g0, extended& slim, smallint& stepcode) = 0;
  // Merit and slope at step s; true when that ends the solve.
  virtual bool FN(extended s, extended& f, extended& g, smallint callcode) = 0;
  virtual void PRINTHEADER() {}
  virtual void PRINTINFO(char kind, char mark, extended f, extended slope, extended step) {
    (void)kind, (void)mark, (void)f, (void)slope, (void)step;
  }
};

// The stationary points of the cubic through (a1, f1) and (a2, f2) with
// slopes g1 and g2 there; -a1 for both when there are none.
void CUBIC(extended a1, extended f1, extended g1, extended a2, extended f2, extended g2, extended& c1,
           extended& c2);

// One iteration's search for a step along the direction; s is the step
// taken when stepcode is 0. The result is the source's fnok.
bool STEPLENGTH(nlemerit& m, extended& s, smallint& stepcode);

// The largest step along -dx (dx over the free unknowns in their order)
// that keeps the unknowns, the window rows and the watched site fractions
// admissible, and the kind of limit that binds it; acc is kept when
// nothing binds.
void FINDLIMIT(const eqvector& dx, extended& slim, acctype& acc);

// The start point as two aligned lines of names and values.
void STARTINGGUESSES();

// The equations the solver evaluates: residuals at x and, when dojac, the
// Jacobian by the free scaled unknowns; false when x cannot be evaluated.
using equationstype = bool (*)(const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac);
// ZQCALC2::NLEFUNC unless a test has put its own equations here.
extern equationstype EQUATIONS;

}  // namespace ZQMATH2
