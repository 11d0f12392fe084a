// What the fractionation routines of the run loop share: the atoms of an
// rbi row, the fractionated phase's place in the first batch item's phase
// list, and the stop on a phase name that is not there.
#pragma once

#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_dataset.h"
#include "frame/zqglobal_script.h"

namespace ZQNLE2::FRACT {

// Atoms of rbi row i: its amounts weighted by the atoms of each component.
inline extended rbiatoms(smallint i) {
  using namespace ZQGLOBAL;
  extended a = 0;
  for (smallint j = 1; j <= NUV; ++j) a += RBIC(i, j) * ICOMP[j];
  return a;
}

// The fractionated phase's position among the first item's phases
// (solution phases first), 0 when it is not one of them.
smallint phaseposition();

[[noreturn]] inline void badname(const char* where) {
  IO::ERROREXIT(where, "bad name \"" + std::string(ZQGLOBAL::FRACTINFO.phase) + "\"", yourfault);
}

}  // namespace ZQNLE2::FRACT
