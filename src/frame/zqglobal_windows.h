// The calculation windows and the increments of the value lists, which the
// script reader fills first and the window and list routines use later.
#pragma once

#include "types.h"

namespace ZQGLOBAL {

extern extended TLOW, THIGH, PLOW, PHIGH;
extern extended FIGPLOW, FIGPHIGH, FIGTLOW, FIGTHIGH;
extern extended CTINC, CPINC;

}  // namespace ZQGLOBAL
