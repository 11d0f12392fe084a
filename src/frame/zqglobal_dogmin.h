// Shared state of a Gibbs-energy minimisation ("dogmin") run beyond its
// grid and the run loop's point counter: the seen assemblages of a
// single-point run and the saved result record of its stable one.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_runloop.h"
#include "frame/zqglobal_solver.h"

constexpr int maxonedog = 200;  // seen assemblages kept in a single-point run

// One seen assemblage of a single-point run: its equilibrium number, its
// phase set, the non-zero modes of its phase records in record order, and
// the system Gibbs energy.
struct onedogrec {
  smallint igi = 0;
  bemvector ph{"onedog ph"};
  eqvector mode{"onedog mode"};
  extended g = 0;
};

namespace ZQGLOBAL {

extern farray<onedogrec, 1, maxonedog> ONEDOG;  // seen assemblages of a single-point run (PRINTGINFO)
// The result record of the stable assemblage of a single-point run: a copy
// of SU taken whenever a new lowest G is kept (PRINTGINFO).
extern sutype KSU;

// Every global above back to its default.
void RESETDOGMIN();

}  // namespace ZQGLOBAL
