// The utilities of calc mode 0, which the main program refuses: the menu of
// jobs, the thermodynamic tables on a P-T grid, the fluid tables, the
// linearised reactions, the end-members of a chemical system and the
// activities that given chemical potentials imply.
#pragma once

#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQMODE0 {

// At most this many points a list of the table grid, typed or made from a range.
constexpr smallint maxgridpoints = 40;
// The codes of the utility and the table menus run from 0 to this.
constexpr smallint maxmenucode = 4;

// The entry of calc mode 0: reads the script, settles the utility code and
// runs its job.
void DOUTILITIES();
// Stands in for the conversion of analyses into compositional variables
// until that job is built; it writes one notice and returns.
void DOCONVERT();

// The "thermodynamic tables" job: loads the data set and the a-x models and
// runs the table chosen.
void DOTABLE();
// Pressures (kbar) p[1..np] and temperatures (K) t[1..nt] of a table, from
// the script or from two prompts.
void GETPTGRID(emvector& p, smallint& np, emvector& t, smallint& nt);

// The data-set parameters of the calculation's end-members and their G on a
// grid, as text and as lists on the drawing data file.
void EMTABLE();
// RT ln f of H2O (with lists) and of CO2.
void FUGACITIES();
// RT ln f of CH4, H2, H2S and S2 by corresponding states.
void FUGACITIES2();
// V of H2O and of CO2.
void VOLUMES();
// The reactions among the end-members linearised as a + bT + cP about a
// chosen point, and how far that form departs from the full calculation.
void RTHERMO();

// The data-set end-members within a chemical system typed by the user.
void DOMAKELIST();
// The activity each pure phase would have with the script's chemical
// potentials; written straight to standard output.
void ACTIVITYCALC();

}  // namespace ZQMODE0
