// What callers of the reaction finder set before a search (the kind of
// average, its largest sd, the one-reaction check), with its reset.
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
