// Run set-up: the calc mode, the work arrays and constants, the run's files.
#pragma once

#include "types.h"

namespace ZQUTE1 {

smallint GETCALCMODE();
void SETUP();
void CLEANUP();
void STARTOUT();

}  // namespace ZQUTE1
