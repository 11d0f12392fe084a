#include "frame/zqglobal_reactions.h"

namespace ZQGLOBAL {

avtype AVMODE = avtype::avpmode;
extended SDAVVMAX = 0;
bool JUSTCHECKONE = false;

void RESETREACTIONS() {
  AVMODE = avtype::avpmode;
  SDAVVMAX = 0;
  JUSTCHECKONE = false;
}

}  // namespace ZQGLOBAL
