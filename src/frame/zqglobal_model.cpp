#include "frame/zqglobal_model.h"

namespace ZQGLOBAL {

tdtype TDA{"TDA"};
bool FROMOUTXY = false;
extended VD = 0;

void RESETMODEL() {
  TDA.fill(tdrec{});
  FROMOUTXY = false;
  VD = 0;
}

}  // namespace ZQGLOBAL
