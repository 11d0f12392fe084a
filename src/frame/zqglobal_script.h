// Shared state of the script units.
#pragma once

#include "farray.h"
#include "types.h"

namespace ZQGLOBAL {
}  // namespace ZQGLOBAL
