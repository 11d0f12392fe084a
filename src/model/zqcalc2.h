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

}  // namespace ZQCALC2
