// Conversions of a solved calc-mode-1 point for printing: modes by weight,
// the activity of H2O, the chemical potentials of O and of every component,
// and the composition of the fluid; and the report of the uncertainties
// propagated.
#pragma once

#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQNLE4 {

// With "convliq": the melt of the assemblage recast onto the species of the
// script's conversion matrix and printed; v[1..CONVLIQROW] gets the weight
// per cent of each species.
void CONV2WT(const bemvector& ph, emvector& v);
// The activity of H2O of the assemblage at p (kbar) and t (K).
extended DOCALCAH2O(const bemvector& ph, extended p, extended t);
// The chemical potential of O of the assemblage at p and t.
extended DOCALCMUO(const bemvector& ph, extended p, extended t);
// The chemical potentials of the NUV components at p and t, into the first
// row of MUCALCS.
void DOCALCMU(const bemvector& ph, extended p, extended t);
// Prints the composition of the buffered fluid's surroundings; co2 and h2o
// get the fluid phase's amounts of those components.
void CALCFLUIDCOMP(const bemvector& ph, extended p, extended t, extended& co2, extended& h2o);
// The kinds of uncertainty propagated (data-set enthalpies, interaction
// parameters, bulk composition), on terminal, summary and log.
void PRINTUNCINFO();

}  // namespace ZQNLE4
