// Shared state the Newton solver leaves for its callers and for the
// equation printers: its counters and what it found of the last Jacobian.
#pragma once

#include "frame/types.h"

namespace ZQGLOBAL {

extern smallint NLEIT;      // iteration of the current solve, 0 at the start evaluation (NLE)
extern smallint NLESTEPIT;  // evaluations within the iteration, 1 at its first (NLE)
extern bool NEARSING;       // the last Jacobian had a singular value dropped (NLE)
extern extended SINGRAT;    // largest over smallest singular value of the last Jacobian, 0 when not formed (NLE)

// The solver's globals back to their defaults.
void RESETNLE();

}  // namespace ZQGLOBAL
