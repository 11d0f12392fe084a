// Unit ZQNLE4: what calc mode 1 works out of a solved point for printing,
// and the dialogue on x(CO2) between runs. Its dense linear algebra sits in
// the frame (frame/zqnle4_linalg.h), included here so that this header
// gives the whole unit.
#pragma once

#include <string>

#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_avptplus.h"
#include "frame/zqnle4_linalg.h"

namespace ZQNLE4 {

// The melt of the assemblage ph (the first solution phase in ph whose name
// starts "liq") recast onto the species of the "convliq" matrix: component
// mol%, species mol% and species wt% printed, the wt% in v[1..CONVLIQROW].
// v is untouched when there is no melt or the matrix does not fit.
void CONV2WT(const bemvector& ph, emvector& v);

// a(H2O) at P (kbar), T (K) from the first reaction of the end-members
// through a pseudo end-member of one mole of H2O; 0 when none.
extended DOCALCAH2O(const bemvector& ph, extended p, extended t);
// mu(O) (kJ) likewise through one mole of the component O.
extended DOCALCMUO(const bemvector& ph, extended p, extended t);
// mu (kJ) of every component into MUCALCS row 1, columns 1..NUV.
void DOCALCMU(const bemvector& ph, extended p, extended t);

// The proportion-weighted composition of the phases of ph beside an
// externally buffered fluid, normalised to the free components, printed
// as a head line and a line of mol%; co2 and h2o: the fluid phase's CO2
// and H2O in one formula unit (0 without one).
void CALCFLUIDCOMP(const bemvector& ph, extended p, extended t, extended& co2, extended& h2o);
// The kinds of uncertainty propagated (data-set enthalpies, interaction
// parameters, bulk composition), on terminal, summary and log.
void PRINTUNCINFO();
// First-order propagation of the enthalpy, interaction-energy and bulk
// uncertainties onto the unknowns of the solved point whose phases are
// ph: SDX, SDXH, SDXW, SDXBP, COVX, CORPT and the sds in SU; the csv block
// at level 2 and above.
void CALCSD(const bemvector& ph);
// The avPT+ estimate of the rock's minerals.
void AVPTPLUSDRIVER();

// The reaction among the phases of ph at their solved compositions: names
// and coefficients of the n columns and the text; "####" and n = 0 after a
// near-singular solve.
void CALCREALREACTION(const bemvector& ph, IO::strings& names, emvector& nu, smallint& n, std::string& s);

// The fixed x(CO2) of a single-valued list, kept or replaced.
void DOXCO2();
// The x(CO2) window, kept or replaced, and its list rebuilt.
void DOXCO2RANGE();

// ---------------------------------------------------------------- avPT+
// The P-T basis: p = (P - AVPGUESS) / 12, t = (T - AVTGUESS) / 300 (kbar,
// degrees C); term k is p^ipow[k] t^jpow[k], k = 1..NPOLY.
void PTTERMS(extended p, extended t, const polyvector& ipow, const polyvector& jpow, polyvector& terms);
// The derivatives of each term by P (per kbar) and by T (per degree C).
void DPTTERMS(extended p, extended t, const polyvector& ipow, const polyvector& jpow, polyvector& dp, polyvector& dt);
// The sum of coef[k] times term k.
extended SUMPTTERMS(extended p, extended t, const polyvector& coef, const polyvector& ipow, const polyvector& jpow);
// The sums of coef[k] times the P and the T derivatives of term k.
void SUMDPTTERMS(const polyvector& coef, const polyvector& ipow, const polyvector& jpow, extended p, extended t,
                 extended& fp, extended& ft);
// The singular values, coefficients and misfits of the last fits, on the
// terminal only.
void SETUPINFO(const polyvector& ipow, const polyvector& jpow);

// The avPT+ estimate from the store: fits, the rock's covariance and, by
// AVPTALGO, the brute-force table (then the process stops) or the nominal
// solve and its Monte Carlo limits.
void AVPTPLUSDRIVER();

}  // namespace ZQNLE4
