// Shared state of the reaction finder of calc modes 2 and 3 that its callers
// set before a search: the kind of average, the largest accepted spread of a
// reaction's position, and whether the window is a single line.
#pragma once

#include "frame/types.h"

// The kind of average of calc mode 2; only the first two are ever chosen.
enum class avtype {
  avpmode,
  avtmode,
  avptmode,
  avpxmode,
  avtxmode,
  avptxmode,
  avplnamode,
  avtlnamode,
  avptlnamode
};

namespace ZQGLOBAL {

extern avtype AVMODE;       // average P or average T of the rock calculation (ROCKCALCS)
extern extended SDAVVMAX;   // largest sd of a reaction's position that the average takes (ROCKCALCS)
extern bool JUSTCHECKONE;   // the window of the average is one line of fixed T or P (CALCRE)

// Every global above back to its default.
void RESETREACTIONS();

}  // namespace ZQGLOBAL
