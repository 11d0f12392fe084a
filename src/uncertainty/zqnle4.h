// Result conversions and uncertainty propagation of calc mode 1.
#pragma once

namespace ZQNLE4 {

// The kinds of uncertainty propagated (data-set enthalpies, interaction
// parameters, bulk composition), on terminal, summary and log.
void PRINTUNCINFO();

}  // namespace ZQNLE4
