// Shared state that the calc-mode-1 set-up settles once per pass and the run
// loop and the dogmin report read afterwards: the isopleth counts and lists,
// the fluid's place, the scaling sizes of P and T, the activity flag, and
// the dogmin grid. What the printers read besides (the chosen variance, the
// tozero flags, the bulk position) is in zqglobal_results.h.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_windows.h"

constexpr int maxgmin = 120;  // points of the dogmin P-T grid
constexpr int maxisolists = 10;    // isopleth value lists

using isolistmatrix = fmatrix<extended, 1, maxisolists, 1, maxlistvalues>;

// One point of the dogmin grid: where it is, the lowest Gibbs energy seen
// there and its gap to the next lowest, how many assemblages were
// calculated, which one won and its phases.
struct gminrec {
  extended p = 0, t = 0;
  extended gmin = 0, del = 0;
  smallint ncalc = 0, imin = 0;
  farray<bool, 1, maxphases> ph{"gmin ph"};
};

namespace ZQGLOBAL {

extern smallint NMODEISO;     // mode isopleths fixed (mode-isopleth reader; NLECALCS clears)
extern smallint NXYZISO;      // composition isopleths and x(CO2) values fixed (isopleth readers; NLECALCS clears)
// The value list of each isopleth: mode isopleths first, then the x(CO2)
// series, then composition isopleths (isopleth readers, the x(CO2) prompts).
extern isolistmatrix LISO;
extern farray<smallint, 1, maxisolists> NLISO;  // values in each list (isopleth readers, the x(CO2) prompts)
extern smallint FLUIDPOS;     // solution phase that is the fluid, 0 when none (NLECALCS)
extern extended TYPP, TYPT;   // typical sizes of the scaled P and T for the convergence test (CALCPTSETUP)
extern bool NONUNITA;         // some non-solution phase has an activity below 1 (CHECKA)
// Lowest TD row holding a dependent copy of a made end-member's constituent
// (MAKEEMTD); maxem + 1 when there is none. Rows appended from the top of the
// phase-order list (the mu pseudo end-members) must stay below it.
extern smallint LOWESTCOPYSLOT;

// The dogmin grid and its counters.
extern farray<gminrec, 1, maxgmin> GMININFO;  // one record per grid point (SETUPGMIN, the dogmin bookkeeping)
extern smallint NGMIN;        // grid points in use (SETUPGMIN)
extern smallint NONEDOG;      // seen assemblages of a single-point dogmin run kept in ONEDOG (PRINTGINFO; NLECALCS clears)
extern smallint NGIOK;        // of the NGI assemblages tried, those that calculated (run loop; NLECALCS clears)

// Every global above back to its default.
void RESETMODE1();

}  // namespace ZQGLOBAL
