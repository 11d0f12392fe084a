// Shared state of a fractionation run along a P-T path: the bulk it carries
// from step to step and the part of it that the fractionated phase makes.
#pragma once

#include "frame/zqglobal.h"

namespace ZQGLOBAL {

extern cvector COMPU;   // the current bulk over the first batch item's free components, entries 1..n (SETUPFRACT, DOFRACT)
extern cvector COMPFU;  // the fractionated phase's share of the bulk over all components (SETUPFRACT, DOFRACT, FRACTBULK)

// Both back to zero.
void RESETFRACT();

}  // namespace ZQGLOBAL
