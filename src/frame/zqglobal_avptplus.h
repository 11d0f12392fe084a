// Shared state of the avPT+ estimate: the store of calculated points that
// the uncertainty propagation fills, the P-T polynomial basis in use with
// its fitted coefficients, and the rock's and the calculations' covariances.
// Temperatures here are in degrees C, unlike everywhere else.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_bulk.h"
#include "frame/zqnle4_linalg.h"

constexpr int maxjx = 800;                 // calculated points in the store
constexpr int maxjxxyz = maxinvorder;      // compositional variables compared (24)
constexpr int maxjxcor = maxjxxyz * (maxjxxyz - 1) / 2;  // correlations of one point (276)
constexpr int maxpoly = 20;                // terms a P-T basis may hold
constexpr int maxxyzsides = 2 * maxjxxyz;  // rock side then calculated side

// Values, derivatives, coefficients or exponents of the basis terms.
using polyvector = farray<extended, 1, maxpoly>;
// The compositional variables of a rock or of one calculation: xyzvector,
// with the rock's own (ROCKXYZ, ROCKVXYZ) in the bulk state.
static_assert(maxjxxyz == maxrockxyz, "a calculation compares every measured variable of the rock");
// One row of basis coefficients per calculated variable.
using polymatrix = fmatrix<extended, 1, maxjxxyz, 1, maxpoly>;

// One calculated point of the store.
struct jxcalctype {
  extended p = 0;       // pressure (kbar)
  extended t = 0;       // temperature (degrees C)
  extended xfluid = 0;  // the unknown "x(fluid)", 0 when the calculation has none
  xyzvector xyz{"jx xyz"};      // the rock's variables as calculated, in JXXYZNAME order
  xyzvector sdxyz{"jx sdxyz"};  // their standard deviations (-10: no variance, 0: held fixed)
  farray<extended, 1, maxjxcor> cor{"jx cor"};  // pair (i, j), j < i, at (i-1)(i-2)/2 + j
  polyvector poly{"jx poly"};   // basis terms at this point, for the driver
};
using jxcalctable = growtable<jxcalctype, maxjx>;  // each record some 5.5 kB: made as used

namespace ZQGLOBAL {

// ---------------------------------------------------------------- the store
extern jxcalctable* JXCALC;  // the calculated points, on the heap (ALLOCATEJXCALC; ACCUMULATE appends)
extern smallint NJX;         // records in use (ACCUMULATE; the x(CO2) preprocessing may shrink it)
extern smallint NJXXYZ;      // variables per record, fixed by the first record (ACCUMULATE)
extern farray<sstring, 1, maxjxxyz> JXXYZNAME;  // their names, in record order (ACCUMULATE)
extern smallint NCOR;        // correlations stored in the last record (ACCUMULATE)

// ---------------------------------------------------------------- the fits
extern smallint NPOLY;       // basis terms in use, 5 or 13 (avPT+ driver)
extern polyvector POLY;      // basis terms at the last point evaluated (avPT+ driver)
extern polymatrix PTCOEFF;   // fitted coefficients of each calculated variable (avPT+ driver)

// ---------------------------------------------------------------- the two sides
extern invmatrix JXVXYZ;     // covariance of the calculated variables (avPT+ solve)

// The store emptied and the fits and covariances cleared; the records'
// contents stay as they are.
void RESETAVPTPLUS();
// The store made on the heap, once, outside the heap monitor's count; a
// table already there is kept. RELEASEJXCALC gives it back.
void ALLOCATEJXCALC();
void RELEASEJXCALC();

}  // namespace ZQGLOBAL
