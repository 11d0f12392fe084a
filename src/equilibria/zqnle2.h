// The calc-mode-1 driver: the set-up of a phase-diagram calculation, its
// variance and P-T frame, and the enumeration of the equilibria to solve.
#pragma once

#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_numerics.h"

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
// The phase rule over the first ncol columns of m (ncomp rows): the rank of
// those columns with a unit column added for each held component, plus 2,
// less the phases and the held variables. Writes the added columns into m.
smallint PHASERULE(liemmatrix& m, smallint ncomp, smallint ncol, const farray<bool, 1, maxcomp>& held,
                   smallint nphases, smallint nheld);
// The integer compositions over the components, one column per end-member
// of each solution phase, then per pure phase; returns the columns filled.
smallint PHASECOMPS(liemmatrix& m);
// Appends the word for variance v to IO::PSTR.
void PRINTVAR(smallint v);
// The P-T window or values of the calculation, the solver's scaling of P
// and T, and the P and T lists.
void CALCPTSETUP();
// Starting activities and their sds; phases of non-unit activity reported.
void CHECKA();
// The order-variable guesses of solution phase i at FIXEDP, FIXEDT.
void PRINTQ(smallint phase);

// The phases and fluid of the pass let phase properties be worked out: some
// solution phase, and no fluid of the aqueous or many-fluid kinds.
bool PROPERTIESMODELLED();

// ---------------------------------------------------------------- enumeration
// Every equilibrium of the pass, each handed to the run loop.
void CALCWHAT();
// Every phase 1..NP a candidate, n := NP, c := the composition rank of all
// the phases over all NUV components.
void CALCOXIDES(bemvector& candidates, smallint& n, smallint& c);
// Advances comb (k of n) and tests the phase set it makes: the phases every
// combination must hold, the reduced composition space, equations against
// unknowns, whether the bulk can be made. reason is the last test reached
// (7: passed); skip marks a refused set; more is false when comb is spent.
void CALCPHASES(iemvector& comb, const bemvector& candidates, bemvector& set, smallint n, smallint k,
                smallint& nv, smallint& nir, smallint& reason, bool& skip, bool& more);
// The composition matrix of the set reduced exactly: rank, RANKDEFICIT and,
// with a deficit, PROJC; ok is false when the bulk lies outside the reduced
// system.
void CALCRANKP(const bemvector& set, smallint& rank, bool& ok);

// ---------------------------------------------------------------- run loop and dogmin report
// Every run, batch item and point of the equilibrium of the phases PH
// (solution phases 1..NPSS, then the others).
void SOLVE(const bemvector& PH);
// The Gibbs-energy minimisation report, once all assemblages are done.
void PRINTGMIN();

// What the enumeration calls for each equilibrium and at the end of a
// dogmin run: SOLVE and PRINTGMIN, unless a test puts its own in their
// place.
struct calcwhatcalls {
  void (*solve)(const bemvector& PH) = SOLVE;
  void (*printgmin)() = PRINTGMIN;
};
extern calcwhatcalls CALCWHATCALLS;

// ---------------------------------------------------------------- dogmin report
// The log copy-back blocks of the stable assemblage of a single-point run
// (each first copies KSU into SU): its phases in rbi form with the bulk,
// and its starting guesses.
void PRINTBULK2();
void PRINTGUESSES2();

}  // namespace ZQNLE2
