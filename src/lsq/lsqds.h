// Least-squares refinement of the data set (calc mode 9).
#pragma once

namespace LSQDS {

void INTRO();
void DOLSQDS();
void DSCLEANUP();

}  // namespace LSQDS
