#include "frame/zqglobal_nle.h"

namespace ZQGLOBAL {

bool NEARSING = false;
extended SINGRAT = 0;

void RESETNLE() {
  NEARSING = false;
  SINGRAT = 0;
}

}  // namespace ZQGLOBAL
