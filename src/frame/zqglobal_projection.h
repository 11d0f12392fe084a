// Shared state of the projection plane that the set-up settles past what
// the script gives: how many of its apices are phases in excess.
#pragma once

#include "frame/types.h"

namespace ZQGLOBAL {

extern smallint IENPROJPLANE;  // apices that are non-solution phases in excess, the last ones (projection-plane set-up)

// The projection plane's set-up state back to its default.
void RESETPROJECTION();

}  // namespace ZQGLOBAL
