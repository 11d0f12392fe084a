#include "lsqds.h"
#include "zqglobal.h"
#include "zqscript.h"

namespace LSQDS {

// The least-squares preferences name the files of the run, so they are read
// before the files are made. The work arrays stand in until the refinement
// lands.
void INTRO() { ZQSCRIPT::READCONTROLDS(); }

// Stands in until the least-squares refinement lands: an empty pass.
void DOLSQDS() { ZQGLOBAL::FROMLSQDS = true; }

void DSCLEANUP() {}

}  // namespace LSQDS
