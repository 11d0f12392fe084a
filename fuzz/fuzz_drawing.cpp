// Fuzz target: fuzzdrive::drawing (see drivers.h for the layout of an input).
#include "harness.h"

SOLVARINTH_FUZZ_TARGET(fuzzdrive::drawing)
