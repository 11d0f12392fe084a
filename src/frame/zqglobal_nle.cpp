#include "frame/zqglobal_nle.h"

namespace ZQGLOBAL {

// Defaults: RESETNLE below.
bool NEARSING;
extended SINGRAT;

void RESETNLE() {
  NEARSING = false;
  SINGRAT = 0;
}

}  // namespace ZQGLOBAL
