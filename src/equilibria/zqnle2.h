// The calc-mode-1 driver: the set-up of a phase-diagram calculation, its
// variance and P-T frame, and the enumeration of the equilibria to solve.
#pragma once

#include "frame/types.h"

namespace ZQNLE2 {

// One whole phase-diagram calculation: one pass of the main loop.
void NLECALCS();
// Called right after the script is read when set: a test's way to switch
// on what no script line reaches (the uncertainty level). Only tests set
// it; the program leaves it empty.
extern void (*AFTERSCRIPT)();

// ---------------------------------------------------------------- variance and P-T frame
// The phase-rule variance of the chosen phases; may be negative.
smallint CALCVAR();
// Appends the word for variance v to IO::PSTR.
void PRINTVAR(smallint v);
// The P-T window or values of the calculation, the solver's scaling of P
// and T, and the P and T lists.
void CALCPTSETUP();
// Starting activities and their sds; phases of non-unit activity reported.
void CHECKA();
// The order-variable guesses of solution phase i at FIXEDP, FIXEDT.
void PRINTQ(smallint phase);

// ---------------------------------------------------------------- enumeration
// Every equilibrium of the pass, each handed to the run loop.
void CALCWHAT();

}  // namespace ZQNLE2
