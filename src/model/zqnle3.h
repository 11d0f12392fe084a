// The end-members of a calculation in phase order: their composition
// matrix, the thermodynamic rows and enthalpy covariance of made
// end-members, the listing of the a-x models, the composition of a solved
// solution phase and the reaction among the columns of a real composition
// matrix with its text.
//
// The unit sits with the model, below the readers: the rock and diagram
// set-up of the data-set reader builds its end-members with it, and the
// calc-mode-1 set-up and the least-squares mode call it from above.
#pragma once

#include <string>

#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQNLE3 {

// C rebuilt in phase order (solution end-members, excluded ones included,
// then one column per pure phase) from the columns of NAME, made end-members
// from their constituents; empty components dropped; rows rescaled so that
// fractional recipes stay exact; each record's composition written back.
void MAKEEMC();
// The formula size of every end-member and pure phase over the free
// components.
void COUNTCOMP();
// The thermodynamic row and covariance row of every end-member in phase
// order, made ones from their recipes; COV rewritten in phase order, NCV and
// NNE the count of end-members in phase order. On the first pass the a-x
// models are listed.
void MAKEEMTD();
// The dogmin grid: one record per point of LP crossed with LT, pressure
// major; a grid of several points is searched at level 2 at least.
void SETUPGMIN();

// The solver's layout of the assemblage of the phases PH (solution phases
// 1..NPSS, then the others): NAME, C, TD, NSITE and NCV in assemblage order,
// the unknowns with their scalings, limits and fixed flags, the watched site
// fractions, the mode unknowns, what is held fixed, COV narrowed when
// uncertainties are propagated, and the phase records of SU.
void MAKECROSSREFS(const bemvector& PH);
// Phase i (solution phases 1..NPSS, then the others) takes a mode unknown
// when the modes are solved for: not the fluid of an external buffer, nor a
// phase that stands for a chemical potential or an activity.
bool TAKESMODE(long i);
// Phase i is a pure phase that stands for one of the pass's mu or ln a
// variables: it belongs to every equilibrium the pass calculates.
bool VARIABLEPHASE(long i);
// The levels of the point loops of the equilibrium laid out last, each with
// its count of values in LOOPMAX[1..NLOOP], pressure and temperature the
// last two, the run's ln a then mu variables, one level each, just before
// them; P or T held fixed where they are stepped. Needs the assemblage's
// reactions in R. The batch item does not change the result.
void SETUPLOOPS(iemvector& LOOPMAX, smallint& NLOOP, smallint IBATCH);

// The composition over the NUV components, per formula unit, of the
// solution phase whose first end-member in assemblage order is i, at the
// current values of X.
void MAKEPHASE(smallint i, cvector& comp);

// The listing of solution phase i on the a-x information file (the details
// file in calc mode 9).
void WRITEAX(smallint i);
// A compact table of solution phase i on terminal, summary and log.
void WRITEAXBRIEF(smallint i);
// nu[1..NCV] := 0 but for the n coefficients of the one reaction among the
// columns 1..n of c over its rows 1..m, the last column of the pivot order
// at -1; ends the run when the columns admit no single reaction.
void REALREACTION(const cmatrix& c, smallint m, smallint n, emvector& nu);
// s := the reaction nu[1..n] among names[1..n] as text, reactants first,
// coefficients scaled to the smallest significant one.
void REACTION2STRING(const emvector& nu, const IO::strings& names, smallint n, std::string& s);

// x appended with as few decimals as show it exactly (at most 6), else with
// n + 1 decimals.
void ADDREALTR(extended x, smallint n, std::string& line);

}  // namespace ZQNLE3
