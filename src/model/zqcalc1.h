// Gibbs energies of end-members.
#pragma once

#include "types.h"

namespace ZQCALC1 {

// G of end-member i at P (kbar) and T (K).
void GEM(smallint i, extended P, extended T, extended& G);

}  // namespace ZQCALC1
