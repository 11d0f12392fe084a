// Activities of the end-members of solution phases, and the derivatives of
// a-x expressions that their Jacobian needs.
#pragma once

#include "frame/types.h"
#include "frame/zqglobal.h"

// d(RT ln a)/dx of every end-member by every unknown; some 580 kB: heap only.
using dRTlnadxtype = fmatrix<extended, 1, maxem, 1, maxeq>;

namespace ZQCALC2 {

// d(term)/dy[v] at x; v is the phase's own variable number, matched
// without the offset.
extended SUBSDIFFTERM(const termtype& term, smallint v, const eqvector& x, smallint offset);

// The activities of the end-members at x, P, T; the derivatives when asked.
void CALCA(const eqvector& x, bool ptderivs, bool xderivs, emvector& drtlnadp, emvector& drtlnadt,
           dRTlnadxtype& drtlnadx, extended p, extended t);

// Whether end-member e's van Laar size a + bT + cP is the a-x file's: not
// one that a fluid, or an aqueous phase's solvent and CO2, take from volumes.
bool FILESIZE(const ptype1& ph, long e);
// A size of the file's at (P, T) that is at or below 0 ends the run naming
// it and the state, in every calc mode that evaluates sizes.
void CHECKSIZE(const ptype1& ph, long e, extended size, extended P, extended T, const char* where);

// ALNK[1..NR]: sum of nu ln a of each reaction, without the fluid terms.
void CALCLNK();
// VARLNA[1..NCV]: variance of ln a from SDACTIVITY; all 0 in calc mode 1.
void CALCVARLNA();

// One reaction solved for P, T or x(CO2) inside the current window. A root
// that is not there comes back coded: NOROOT for a first root not found (or
// a guess outside the window), NOSECONDROOT for no second root, the
// window's end minus or plus 1 for a root beyond that end.
constexpr extended NOROOT = 1e21L;
constexpr extended NOSECONDROOT = -1e21L;
// Standard deviation of a position outside the window.
constexpr extended SDOUTSIDE = 1e31L;

// (a <= 0 and b <= 0) or (a >= 0 and b >= 0); false when either is not a number.
bool SAMESIGN(extended a, extended b);
// Roots x1 >= x2 of the affinity of reaction k along the variable of kind
// (the other of P, T is fixed), with dV and dmu/dT at each root in the
// window; with useguess, x1 brings the starting point.
void FIND(smallint k, findtype kind, bool useguess, extended& x1, extended& x2, extended& dV1, extended P,
          extended T, extended xCO2, extended xH2O, extended& dV2, extended& dmudT1, extended& dmudT2);
void PCALC(smallint k, bool useguess, extended& P1, extended& P2, extended& dV1, extended& dV2, extended T,
           extended xCO2, extended xH2O, extended& dmudT1, extended& dmudT2);
void TCALC(smallint k, bool useguess, extended& T1, extended& T2, extended& dV1, extended& dV2, extended P,
           extended xCO2, extended xH2O, extended& dmudT1, extended& dmudT2);
// Pressures of reaction k at T (temperatures at P) with their standard
// deviations from the enthalpy covariances and ln a variances, and the
// slopes dT/dP of the line there.
void PFIXEDT(smallint k, extended& P1, extended& P2, extended& sd1, extended& sd2, extended& slope1, extended T,
             extended xCO2, extended xH2O, extended& slope2);
void TFIXEDP(smallint k, extended& T1, extended& T2, extended& sd1, extended& sd2, extended& slope1, extended P,
             extended xCO2, extended xH2O, extended& slope2);
// Writes reaction k (R and ALNK) so that its products are stable just up
// the diagram's P or T axis from the point given; calc mode 3 only.
void TURNREACTION(smallint k, extended P, extended T, extended xCO2, extended xH2O, extended lnav, extended muv);

// g and mu = g + RT ln a of the calculation's end-members (solution phases,
// then the present pure phases) at x, P, T.
void CALCALLG(const bemvector& present, const eqvector& x, emvector& g, emvector& mu, extended P, extended T,
              extended xco2, extended xh2o);
// map[m]: the row of the element/oxide table of free component m.
void MAKEMW2C(icvector& map);
// G, S, V, H and density of every phase of the solved point, and the
// system's per mode set, into SU.
void CALCGPHASE(const bemvector& present, const eqvector& x, extended P, extended T, extended xco2,
                extended xh2o);
// The bulk step of mode row r of SU: the rows follow the seen steps from
// the first, two to a step (one per end) along a line.
smallint MODEROWSTEP(smallint r);

// RLINES[k]: reaction k as text ("3)  2A + B = C"); raises INDENTR to
// its length + 1.
void MAKERLINE(smallint k);

// The residuals of the equilibrium equations at the scaled unknowns x, and
// their Jacobian by the free scaled unknowns when dojac; false when the
// point cannot be evaluated.
bool NLEFUNC(const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac);

}  // namespace ZQCALC2
