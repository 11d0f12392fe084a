// The calc-mode-1 driver.
#pragma once

namespace ZQNLE2 {

// One whole phase-diagram calculation: one pass of the main loop.
void NLECALCS();

}  // namespace ZQNLE2
