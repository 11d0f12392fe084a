// The Newton solver's iteration counters, with their reset.
#include "frame/zqglobal_newton.h"

namespace ZQGLOBAL {

// Defaults: RESETNEWTON below.
smallint NLEIT;
smallint NLESTEPIT;

void RESETNEWTON() {
  NLEIT = 0;
  NLESTEPIT = 0;
}

}  // namespace ZQGLOBAL
