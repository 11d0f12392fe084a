// The parts of a phase-diagram calculation that the script settles: which
// phases take part and which are in excess, the effective variance after
// isopleths, the isopleths, the projection plane and the bulk composition.
#pragma once

namespace ZQREAD3 {

// ---------------------------------------------------------------- phases
// Narrows the phase tables to the "with" list (or to a choice at the
// terminal), drops a pure H2O or CO2 phase that cannot coexist with the
// fluid, and sets FLUIDTYPE and EXBUFF.
void WHICHPHASES();
// Its last steps: FLUIDTYPE from the phases now kept (a type the program
// cannot handle ends the run), EXBUFF kept only for an H2O-CO2 fluid, and
// the line naming the fluid.
void SETFLUIDTYPE();
// Flags the phases in excess and those whose modes go to zero.
void PHASESINEXCESS();
// Which solution phases have their starting guesses from the script.
void XYZGUESSINFO();
// The warning at the end of a run that relied on the a-x file's guesses.
void XYZGUESSWARNING();

// ---------------------------------------------------------------- variance
// VARIANCE from OVARIANCE and the isopleths; outside 0..2 ends the run.
void VARCALC();

// ---------------------------------------------------------------- script blocks
void READMODEISOPLETHS();
void READXCO2VALUES();
void READISOPLETHS();
void READPROJPLANE();
// The free components (BCOMPS, NUVLEFT) and whether phase properties can
// be calculated (CALCG).
void SETTER();
void READCOMPS();

}  // namespace ZQREAD3
