// Stand-ins for the script blocks of a calculation that are read later in
// the set-up: the projection plane and the bulk composition. Each does
// nothing until its reader lands, so a pass projects onto no plane and reads
// no bulk.
#include "equilibria/zqread3.h"

namespace ZQREAD3 {

// Stands in for the projection-plane reader: no plane is set up.
void READPROJPLANE() {}
// Stands in for the bulk-composition reader: no bulk is read.
void READCOMPS() {}

}  // namespace ZQREAD3
