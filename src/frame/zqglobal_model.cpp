// The model's shared state (the least-squares end-member records, the
// writer flag and the volume term of the last end-member), with its reset.
#include "frame/zqglobal_model.h"

namespace ZQGLOBAL {

// Defaults: RESETMODEL below.
tdtype TDA{"TDA"};
bool FROMOUTXY;
extended VD;

void RESETMODEL() {
  TDA.fill(tdrec{});
  FROMOUTXY = false;
  VD = 0;
}

}  // namespace ZQGLOBAL
