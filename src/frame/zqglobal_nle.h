// What the Newton solver found of the last Jacobian it decomposed. Its
// counters are with the equations' state (zqglobal_newton.h).
#pragma once

#include "frame/types.h"

namespace ZQGLOBAL {

extern bool NEARSING;       // the last Jacobian had a singular value dropped (NLE)
extern extended SINGRAT;    // largest over smallest singular value of the last Jacobian, 0 when not formed (NLE)

// Both back to their defaults.
void RESETNLE();

}  // namespace ZQGLOBAL
