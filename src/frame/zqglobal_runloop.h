// Shared state that the calc-mode-1 run loop leaves for the dogmin report
// and the printers besides the point's own records: the point counter of a
// batch item and the system's Gibbs energy of the current point.
#pragma once

#include "frame/types.h"

namespace ZQGLOBAL {

extern smallint KGMIN;   // points so far in the current batch item: the dogmin grid point (SOLVE)
extern extended GIBBS;   // system Gibbs energy of the current point, 0 until worked out (SOLVE, POSTPROCESS)

// Both back to their defaults.
void RESETRUNLOOP();

}  // namespace ZQGLOBAL
