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

// ALNK[1..NR]: sum of nu ln a of each reaction, without the fluid terms.
void CALCLNK();
// VARLNA[1..NCV]: variance of ln a from SDACTIVITY; all 0 in calc mode 1.
void CALCVARLNA();

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

}  // namespace ZQCALC2
