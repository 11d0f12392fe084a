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
// At start-up, before any output is made: the name of the file the first
// pass's utility reads (the drawing data of the drawing, the data set of
// every other utility) when the preferences leave it open, and so that
// utility too, from the script's "utilitycode" or its menu (FIRSTUTILITY).
void FIRSTNAMES();
// The "convert" job: the script's bulk analysis into mole% and its mineral
// analyses into compositional variables, rbi rows and script blocks.
void DOCONVERT();
// The mineral half of the "convert" job, from the script's analyses.
void MINERALCALC();
// The "convert bulk" line from wt% into mole% of the system components,
// printed and kept in the log as a bulk block; the line's globals end up in
// moles with the ferric iron split into FeO and O.
void MAKEBULK();
// The compositional variables of one mineral, in the order of its phase.
using empvector = farray<extended, 1, maxssem>;

// Cations per formula unit c of mineral i's working analysis from the oxide
// amounts mol (any scale); the iron pair gives Fe2 at FeO and Fe3 at O.
void CALCC(smallint i, const cvector& mol, cvector& c);
// The plain recalculation of the working analysis wt (wt%) of mineral i into
// cations c and its variables xyz (names and count into the record). Returns
// 0, or the first variable whose denominator came out 0.
smallint RECALC(smallint i, const cvector& wt, cvector& c, empvector& xyz, bool debug);
// The variables of mineral i's phase, order parameters left out, from the
// cations c; the return as for RECALC.
smallint VARIABLES(smallint i, const cvector& c, empvector& xyz);
// Mineral i's ideal constraints on cations rewritten as rows on the oxide
// amounts of its working analysis (a . n = 0).
void IDEALROWS(smallint i);
// The ideal-analysis fit of mineral i's working analysis wt (wt%, sds of
// its ln amounts s) into cations c and variables xyz. The central call
// (sample false) sets c0 and sigfit, returns the fitted analysis in wt and
// stops the run when the fit fails; a sample that fails gets xyz of -1 and
// returns -1. Otherwise the return is as for RECALC.
smallint IDEAL(smallint i, cvector& wt, const cvector& s, cvector& c, empvector& xyz, bool sample, bool debug);
// Debug printers of the fits, to standard output; nothing calls them. The
// plain recalculation: the analysis w, its normalised moles p, their grams
// and the cations c.
void DEBUGRECALC(smallint i, const cvector& w, const cvector& p, const cvector& c);
// The ideal fit after a step: the starting amounts p0, the constraint rows,
// the fit's matrices, the log-ratios before the step (last), the step, the
// iteration count and the amounts after it.
void DEBUGIDEAL(smallint i, smallint iteration, const cvector& p0, const cvector& last);
// Stops the run at a cation name m's user gave (what says where it stands)
// that would drop its term without a word: a name of no element or of one
// no analysis holds as a cation (O), or Fe where m's iron is Fe2 and Fe3
// (which of them is the user's to say). An element m's analysis lacks is
// none of it.
void CHECKCATION(const mineraltype& m, const sstring& name, const std::string& what);
// Mineral i's analysis into its working form, the central variables and
// their sds and correlations from 5000 perturbed analyses.
void CALCXYZ(smallint i);
// The rbi rows of the minerals, from their variables, and of the pure
// phases, to the log; sets each mineral's phase and overwrites X.
void MAKERBI();
// For tests only: when set, Monte Carlo sample t counts as failed whenever
// it answers true.
extern bool (*MCSAMPLEFAILS)(smallint t);

// The table of mineral i's compositional variables, sds and correlations
// (terminal, summary, log).
void PRINTXYZINFO(smallint i);
// The same as a mineral block for copying into a script, with comments on
// how it was obtained (log only).
void PRINTXYZSCRIPT(smallint i);

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
