// The effective variance of a calculation once its isopleths are fixed.
#include "equilibria/zqread3.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

void VARCALC() {
  // An externally buffered fluid with nothing to fix its composition
  // cannot make a pseudosection; with no bulk read, no modes can be worked
  // out after the solve, and no point is unseen for want of them.
  if (EXBUFF && (OVARIANCE < 2 || (OVARIANCE == 2 && NISO == 0))) {
    PSEUDOSECTION = false;
    MODESAFTERNLE = false;
  }
  if (PSEUDOSECTION)
    VARIANCE = static_cast<smallint>(2 + (EXBUFF ? 1 : 0) - NISO);
  else
    VARIANCE = static_cast<smallint>(OVARIANCE - NISO);

  std::string& line = IO::WSTR;
  line = "original variance = ";
  IO::ADDINT(OVARIANCE, 0, line);
  IO::ADDSTR(", effective variance = ", 0, line);
  IO::ADDINT(VARIANCE, 0, line);
  IO::ADDSTR("  (", 0, line);
  IO::ADDINT(NMODEISO, 0, line);
  IO::ADDSTR(", ", 0, line);
  IO::ADDINT(NXYZISO, 0, line);
  if (EXBUFF) IO::ADDSTR(", ex", 0, line);
  IO::ADDSTR(")", 0, line);
  IO::PUTSTR(NISO > 0 ? 1 : 0, line, 1, CHANNEL::TERMLOG);

  if (VARIANCE < 0) IO::ERROREXIT("varcalc", "variance < 0", yourfault);
  if (VARIANCE > 2) IO::ERROREXIT("varcalc", "variance > 2", yourfault);
}

}  // namespace ZQREAD3
