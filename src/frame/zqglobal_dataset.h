// Shared state of the dataset units.
#pragma once

#include "farray.h"
#include "types.h"

namespace ZQGLOBAL {
}  // namespace ZQGLOBAL
