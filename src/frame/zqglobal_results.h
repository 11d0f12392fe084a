// State that the calc-mode-1 set-up and run loop leave for the printers of
// a point: the pass's chosen variance, the printed precision of solved
// values, the tozero and excess-fluid flags, the bulk position, the
// fractionation and enumeration counters, and the uncertainty rows of the
// last good point. Kept apart from the solver layout, which the printers
// read as well.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_solver.h"
#include "frame/zqglobal_windows.h"

namespace ZQGLOBAL {

// ---------------------------------------------------------------- set-up of the pass
extern smallint OVARIANCE;   // variance chosen for the pass, before isopleths (calc-mode-1 set-up)
extern smallint XPRECISION;  // significant digits of solved compositional values and modes (P-T set-up; 4)
extern farray<bool, 1, maxphases> PINEX0;  // per phase: tozero, or the first fluid in excess (phases in excess)
extern smallint NPINEX0;     // phases flagged in PINEX0 (phases in excess)
extern smallint EXBFLUIDPOS; // SU record of the externally buffered fluid, 0 when none (calc-mode-1 set-up)
extern extended PROP1, PROP2;  // bulk positions of the two ends of a bulk range (bulk reader)

// ---------------------------------------------------------------- run loop
extern extended PROPK;       // position along the bulk range of the current point (SETX)
extern smallint PXCO2;       // position of x(CO2) among the unknowns, below 1 when none (MAKECROSSREFS)
extern bool XCO2SET;         // x(CO2) is held rather than solved for (MAKECROSSREFS)
extern bool DOINGFRACT;      // a fractionation run is in progress (SOLVE)
extern smallint IFRACT;      // current fractionation step (SOLVE)
extern smallint IOUT;        // progress marks on the current terminal line (SOLVE, the printers)
extern smallint NGI;         // batch items of the pass so far: the equilibrium number of a dogmin (SOLVE)

// ---------------------------------------------------------------- uncertainties of a point
// Per unknown: standard deviation, and the sensitivities to the enthalpies,
// the interaction energies and the bulk; a negative entry means no value.
// Mode entries are packed without the denominator mode KMPDEN (CALCSD).
extern eqvector SDX, SDXH, SDXW, SDXBP;

// Every global above back to its default.
void RESETRESULTS();

}  // namespace ZQGLOBAL
