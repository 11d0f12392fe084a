// Reaction lines and their intersections (calc mode 3).
#pragma once

namespace ZQPTX {

void PHASEDIAGRAMCALCS();

}  // namespace ZQPTX
