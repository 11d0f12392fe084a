#include "reactions/zqptx.h"

namespace ZQPTX {

// Stands in until the reaction-line calculation lands: an empty pass.
void PHASEDIAGRAMCALCS() {}

}  // namespace ZQPTX
