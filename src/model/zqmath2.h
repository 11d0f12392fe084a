// The damped Newton solver of the equilibrium equations.
#pragma once

#include "frame/types.h"

namespace ZQMATH2 {

// True exactly when the solve converged (code 0).
bool NLE(smallint& code);

}  // namespace ZQMATH2
