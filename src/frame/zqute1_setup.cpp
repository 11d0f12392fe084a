// The calc-mode question, and the work arrays and constants of a run.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_reset.h"
#include "frame/zqmath1.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQUTE1 {

smallint GETCALCMODE() {
  if (IO::CONTROLIO.calcmode == 9) return 9;
  if (IO::CONTROLIO.calcmode >= 0 && IO::CONTROLIO.calcmode <= 3) return IO::CONTROLIO.calcmode;
  IO::PUTSTR(0, "calculation mode (calcmode) :", 1, CHANNEL::TERMLOG);
  IO::PUTSTR(0, "     0 = utilities: data tables, mineral recalc etc", 1, CHANNEL::TERMLOG);
  IO::PUTSTR(0, "     1 = phase diagram calculations (and avPT+)", 1, CHANNEL::TERMLOG);
  IO::PUTSTR(0, "     2 = average pressure-temperature calculations", 1, CHANNEL::TERMLOG);
  IO::PUTSTR(0, "     3 = calculations on all reactions between end-members", 1, CHANNEL::TERMLOG);
  sstring w;
  IO::PROMPTSTRING("calcmode code", w);
  if (IO::WHATISSTRING(w) != valuetype::aninteger)
    IO::ERROREXIT("getcalcmode", "integer needed (1), between 0 and " + IO::INT2STR(3), yourfault);
  smallint code = 0;
  std::string msg;
  // A code too large for an integer is as much out of range as 4 is; it must
  // not pass for mode 0.
  if (!IO::STR2INT(w, code, msg) || code < 0 || code > 3)
    IO::ERROREXIT("getcalcmode", "integer needed (2), between 0 and " + IO::INT2STR(3), yourfault);
  IO::PUTSTR(1, "this code can appear in the prefsfile (jx-prefs.txt) as", 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "calcmode " + IO::INT2STR(code), 2, CHANNEL::TERMSUMLOG);
  return code;
}

void SETUP() {
  RESETRUNCONSTANTS();
  ALLOCATEWORK();
  ZQMATH1::SETUPRANDOM(false);
}

void CLEANUP() { RELEASEWORK(); }

}  // namespace ZQUTE1
