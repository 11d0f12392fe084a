// Calc-mode-1 printers of the details file.
#pragma once

namespace ZQNLE1 {

// The compact details-file block of the current point.
void PRINTIC();
// The sectioned details-file block of the current point ("ombrycalc").
void PRINTICOMBRY();

}  // namespace ZQNLE1
