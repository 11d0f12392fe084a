// Stand-ins for the batch and Monte Carlo routines of the run loop until
// they land: no batch is set up or installed and no Monte Carlo row is
// kept, so a run is one plain calculation.
#include "equilibria/zqnle2_solve.h"

namespace ZQNLE2 {

void solvestate::SETUPBATCH() {}
void solvestate::DOBATCH(smallint) {}
void solvestate::PRINTBATCHHEADER(smallint) {}
void solvestate::SETUPMONTECARLO() {}
void solvestate::DOMONTECARLO() {}
void solvestate::PRINTMCRESULTS(smallint, smallint, bool&) {}

}  // namespace ZQNLE2
