// Shared state of the numerics units.
#pragma once

#include "farray.h"
#include "types.h"

namespace ZQGLOBAL {
}  // namespace ZQGLOBAL
