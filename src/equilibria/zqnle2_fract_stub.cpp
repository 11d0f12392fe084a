// Stand-ins for fractionation along a P-T path until it lands: no step
// changes the bulk and no fractionation result is printed.
#include "equilibria/zqnle2_solve.h"

namespace ZQNLE2 {

void solvestate::SETUPFRACT() {}
void solvestate::DOFRACT() {}
void solvestate::FRACTBULK() {}
void solvestate::PRINTFRACTRESULTS() {}

}  // namespace ZQNLE2
