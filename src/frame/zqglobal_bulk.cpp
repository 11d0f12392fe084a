// The bulk composition's log-ratio and rock-mineral state and its default.
#include "frame/zqglobal_bulk.h"

namespace ZQGLOBAL {

extended FLUIDINBULKINFO;
IO::rrvector BP{"BP"}, SDBP{"SDBP"};
bpmatrix COVBP{"COVBP"};
xyzvector ROCKXYZ{"ROCKXYZ"};
smallint NROCKXYZ;
xyzmatrix ROCKVXYZ{"ROCKVXYZ"};

void RESETBULK() {
  FLUIDINBULKINFO = 0;
  BP.fill(0);
  SDBP.fill(0);
  COVBP.fill(0);
  ROCKXYZ.fill(0);
  ROCKVXYZ.fill(0);
  NROCKXYZ = 0;
}

}  // namespace ZQGLOBAL
