#include "model/zqcalc2.h"

namespace ZQCALC2 {

// Stands in until the equations land: no point can be evaluated.
bool NLEFUNC(const eqvector&, eqmatrix&, eqvector&, bool) { return false; }

}  // namespace ZQCALC2
