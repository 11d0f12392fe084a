// The model's shared state (the least-squares end-member records, the flag
// of the least-squares output tables and the count of series fallbacks),
// with its reset.
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
