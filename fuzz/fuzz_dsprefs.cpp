// Fuzz target: fuzzdrive::dsprefs (see tests/support/fuzzdrivers.h for the layout of an input).
#include "harness.h"

SOLVARINTH_FUZZ_TARGET(fuzzdrive::dsprefs)
