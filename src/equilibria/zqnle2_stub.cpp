#include "zqglobal.h"
#include "zqnle2.h"
#include "zqread1.h"
#include "zqscript.h"

namespace ZQNLE2 {

// Stands in until the phase-equilibrium driver lands: a pass reads its
// inputs in the driver's order, as far as their readers stand, and
// calculates nothing.
void NLECALCS() {
  ZQREAD1::READTHERMO(1);
  ZQSCRIPT::READCONTROLJX();
}

}  // namespace ZQNLE2
