// The whole run, from start-up to the end.
#pragma once

#include "frame/types.h"

namespace MAINPROGRAM {

extern const char* const VERSION;

// Runs the program; a fatal error or "kill" leaves through IO::runend.
void RUN();

// The pieces of a run in the order RUN calls them, for programs that run
// the same start-up and loop with a calc mode of their own choosing.
// Every group's defaults, the I/O layer and the preferences.
void OPENRUN();
// CONTROLCODE and CALCMODE from a calc-mode code (0, 1, 2, 3 or 9).
void SETCALCMODE(smallint code);
// The run's constants, work arrays, script and output files.
void STARTRUN();
// One calculation of the calc mode per pass, until the user stops.
void PASSES();
// The closing note, the clean-up and the pruning of the output files.
void ENDRUN();

}  // namespace MAINPROGRAM
