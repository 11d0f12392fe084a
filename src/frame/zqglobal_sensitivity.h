// The sensitivities of the last converged solve: the Jacobian of the
// equations in log-ratio coordinates of the bulk and the modes, and its
// inverse, which the uncertainty propagation of calc mode 1 reads.
#pragma once

#include "frame/types.h"
#include "frame/zqglobal_solver.h"

namespace ZQGLOBAL {

extern eqmatrix DEQDX;     // unscaled Jacobian, transformed in place; scratch of MAKEDEQDX
extern eqmatrix INVDEQDX;  // inverse of the transformed Jacobian, zeros when there is none (MAKEDEQDX)
extern smallint KMPDEN;    // denominator mode of the mode log ratios, 0: no uncertainties for this point (MAKEDEQDX)

// All three back to their defaults.
void RESETSENSITIVITY();

}  // namespace ZQGLOBAL
