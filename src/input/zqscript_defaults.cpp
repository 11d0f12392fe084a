// Every script setting back to its default before a read, so that a pass
// sees exactly what the script says now.
#include "frame/zqglobal.h"
#include "frame/zqglobal_reset.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

void DEFAULTCONTROL() {
  RESETSCRIPTSETTINGS();
  IO::NFAIL = 0;
  IO::NFAIL1 = 0;
  IO::CONTROLIO.autoexit = false;
  AVPTSEEN = false;
  MINERALOPEN = false;
  PSEUDOSECTIONGIVEN = false;
  MUVALSEEN = false;
}

}  // namespace ZQSCRIPT
