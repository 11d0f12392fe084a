// The run loop's point counter and Gibbs energy, with their reset.
#include "frame/zqglobal_runloop.h"

namespace ZQGLOBAL {

// Defaults: RESETRUNLOOP below.
smallint KGMIN;
extended GIBBS;

void RESETRUNLOOP() {
  KGMIN = 0;
  GIBBS = 0;
}

}  // namespace ZQGLOBAL
