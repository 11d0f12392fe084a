// Stands in for the solver layout of a phase set and its point loops until
// they land: no unknowns are laid out and the loops have no level.
#include "model/zqnle3.h"

namespace ZQNLE3 {

void MAKECROSSREFS(const bemvector&) {}
void SETUPLOOPS(iemvector&, smallint& NLOOP, smallint) { NLOOP = 0; }

}  // namespace ZQNLE3
