// Counters of the Newton solver that the equations read to decide when
// their debug printers run, and whether a refused point may speak.
#pragma once

#include "frame/types.h"

namespace ZQGLOBAL {

extern smallint NLEIT;      // iteration of the current solve, 0 at its start evaluation (NLE)
extern smallint NLESTEPIT;  // evaluation within the iteration: 1 at its start, 2.. line-search trials (NLE)
extern bool FDPROBE;        // the equations run at a debug level's difference probe: refuse quietly (FDCHECKJAC, FDCALCJAC)

// The counters and the probe switch back to their defaults.
void RESETNEWTON();

}  // namespace ZQGLOBAL
