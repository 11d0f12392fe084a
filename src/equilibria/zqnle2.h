// The calc-mode-1 driver: the set-up of a phase-diagram calculation, its
// variance and P-T frame, and the enumeration of the equilibria to solve.
#pragma once

#include "frame/types.h"

namespace ZQNLE2 {

// One whole phase-diagram calculation: one pass of the main loop.
void NLECALCS();

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

// ---------------------------------------------------------------- dogmin report
// The result of a Gibbs-energy minimisation run, after every assemblage at
// every grid point: the stable assemblage, the table of minima, the
// assemblages near the minimum and the copy-back blocks.
void PRINTGMIN();
// The log copy-back blocks of the stable assemblage of a single-point run
// (each first copies KSU into SU): its phases in rbi form with the bulk,
// and its starting guesses.
void PRINTBULK2();
void PRINTGUESSES2();

}  // namespace ZQNLE2
