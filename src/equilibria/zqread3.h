// The parts of a phase-diagram calculation that the script settles: which
// phases take part and which are in excess, the effective variance after
// isopleths, the isopleths, the projection plane and the bulk composition.
#pragma once

#include <string>
#include <vector>

#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal_bulk.h"

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

// ---------------------------------------------------------------- isopleths
// Mode and zero-mode isopleths: phases whose modes are fixed at a series.
void READMODEISOPLETHS();
// The x(CO2) series of a binary H2O-CO2 fluid.
void READXCO2VALUES();
// Composition isopleths: compositional variables fixed at a series, values
// that would make a site fraction non-positive dropped.
void READISOPLETHS();
// The values low, low + inc, ... up to high (high itself always last), into
// list row of LISO; the count in NLISO[row]. More than fit are thinned to
// 101 values.
void SERIES(extended low, extended high, extended inc, smallint row);
// The part of a name before its first underscore.
sstring SHORTEN(const sstring& name);

// ---------------------------------------------------------------- script blocks
// The apices of the compatibility diagram: the script's plane when it fits
// the free components, else asked; then one apex per non-solution phase in
// excess. A plane given wrongly twice turns the projection off.
void READPROJPLANE();
// The first of the columns (each over the free components) that is a
// combination of those before it, as "name = combination" ("name = 0" for
// a column of zeros); empty when they are independent.
std::string APEXDEPENDENCY(const std::vector<std::vector<extended>>& cols, const std::vector<std::string>& names);
// The free components (BCOMPS, NUVLEFT) and whether phase properties can
// be calculated (CALCG).
void SETTER();
// The components an activity or chemical-potential variable or an
// externally buffered fluid holds: true for each, over 1..NUV.
void HELDCOMPONENTS(farray<bool, 1, maxcomp>& fixed);
// The bulk composition over the free components, from "bulk" or "rbi":
// COMP1, COMP2, NCOMP, PROP1, PROP2, with the report.
void READCOMPS();
// The free components' names in order; labelled, "FeO" reads "FeOt" when
// oxygen is a free component of its own, as the printed tables head it.
std::vector<sstring> FREECOMPONENTS(bool labelled);
// Matches the "rbi" rows with the rock minerals (NMIN) where a route needs
// them.
void RBICHECKS();

// ---------------------------------------------------------------- bulk log-ratios
// The denominator component of the bulk's log-ratios (KBPDEN).
void FINDKBPDEN();
// BP, SDBP and COVBP for bulk[1..NUVLEFT]; on the rock route the bulk is
// replaced by the one the minerals give.
void CALCCOVBP(IO::rrvector& bulk);
// The bulk (free components, to 100) and its log-ratios from the rock
// minerals' variables xyz and the "rbi" modes; printlevel 1 lists the rows
// to standard output, 2 the end-members' shares as well.
void CALCBP(IO::rrvector& bulk, IO::rrvector& bp, const xyzvector& xyz, smallint printlevel);
// Each rock mineral's solution phase, checked against its measured count.
void MINERALSETUP();
// ROCKXYZ, NROCKXYZ and ROCKVXYZ from the rock minerals.
void CALCROCKXYZ();

}  // namespace ZQREAD3
