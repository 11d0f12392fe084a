// The solver's narration and its Jacobian check, and the sensitivities of a
// converged solution: called where they belong, silent until the
// diagnostics are built.
#include "model/zqmath2_run.h"

namespace ZQMATH2 {

void nlerun::PRINTHEADER() {}

void nlerun::PRINTINFO(char, char, extended, extended, extended) {}

void nlerun::INTERMEDIATE() {}

void nlerun::FDCHECKJAC(eqvector&, eqmatrix&, eqvector&) {}

void nlerun::MAKEDEQDX() {}

}  // namespace ZQMATH2
