#include "model/zqcalc2_nlefunc.h"

namespace ZQCALC2 {

// These stand in until the diagnostics of the equation system land: they
// print nothing.
void nlefuncstate::PRINTX1() {}
void nlefuncstate::PRINTX2() {}
void nlefuncstate::PRINTPROJC() {}
void nlefuncstate::PRINTXYZ() {}
void nlefuncstate::PRINTRESIDUAL() {}
void nlefuncstate::PRINTLNK() {}
void nlefuncstate::PRINTCOMPCALC() {}
void nlefuncstate::PRINTDCOMPDX() {}
void nlefuncstate::FDCHECKDCOMPDX() {}
void nlefuncstate::PRINTACTIVITY() {}
void nlefuncstate::PRINTDLNADXYZ() {}
void nlefuncstate::FDCHECKDLNADXYZ() {}

void PRINTJAC(const sstring&, const eqmatrix&, smallint, smallint, bool, smallint) {}

}  // namespace ZQCALC2
