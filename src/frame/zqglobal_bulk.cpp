// The bulk composition's log-ratio and rock-mineral state and its default.
#include "frame/zqglobal_bulk.h"

namespace ZQGLOBAL {

extended FLUIDINBULKINFO;
IO::rrvector BP{"BP"};
xyzvector ROCKXYZ{"ROCKXYZ"};
smallint NROCKXYZ;
xyzmatrix ROCKVXYZ{"ROCKVXYZ"};

void RESETBULK() {
  FLUIDINBULKINFO = 0;
  BP.fill(0);
  ROCKXYZ.fill(0);
  ROCKVXYZ.fill(0);
  NROCKXYZ = 0;
}

smallint KBPDENFREE() {
  if (KBPDEN < 1 || KBPDEN > NUV || !BCOMPS[KBPDEN]) return 0;
  smallint k = 0;
  for (long j = 1; j <= KBPDEN; ++j)
    if (BCOMPS[j]) ++k;
  return k;
}

}  // namespace ZQGLOBAL
