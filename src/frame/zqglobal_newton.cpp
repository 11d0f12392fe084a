// The Newton solver's iteration counters and probe switch, with their reset.
#include "frame/zqglobal_newton.h"

namespace ZQGLOBAL {

// Defaults: RESETNEWTON below.
smallint NLEIT;
smallint NLESTEPIT;
bool FDPROBE;

void RESETNEWTON() {
  NLEIT = 0;
  NLESTEPIT = 0;
  FDPROBE = false;
}

}  // namespace ZQGLOBAL
