#include "frame/zqglobal_reactions.h"

namespace ZQGLOBAL {

// Defaults: RESETREACTIONS below.
avtype AVMODE;
extended SDAVVMAX;
bool JUSTCHECKONE;

void RESETREACTIONS() {
  AVMODE = avtype::avpmode;
  SDAVVMAX = 0;
  JUSTCHECKONE = false;
}

}  // namespace ZQGLOBAL
