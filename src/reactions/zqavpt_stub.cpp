#include "reactions/zqavpt.h"

namespace ZQAVPT {

// Stands in until the average P-T calculation lands: an empty pass.
void ROCKCALCS() {}

}  // namespace ZQAVPT
