// End-members made by hand: a name and H, S, V (and the heat-capacity b)
// in the data-set table, at activity 1 with no uncertainty.
#pragma once

#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_axsetup.h"
#include "frame/zqglobal_dataset.h"

namespace testsupport {

inline void handrow(long i, const char* name, extended H, extended S, extended V, extended b = 0) {
  ZQGLOBAL::NAME[i] = name;
  (*ZQGLOBAL::TD)(i, TDSLOT::H) = H;
  (*ZQGLOBAL::TD)(i, TDSLOT::S) = S;
  (*ZQGLOBAL::TD)(i, TDSLOT::V) = V;
  (*ZQGLOBAL::TD)(i, TDSLOT::CPB) = b;
  ZQGLOBAL::ACTIVITY[i] = 1;
  ZQGLOBAL::SDACTIVITY[i] = 0;
}

}  // namespace testsupport
