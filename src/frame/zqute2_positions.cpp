// Where the specially treated end-members stand in the current list, and
// the lookup of phase names with one chance to correct them.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute2.h"

namespace ZQUTE2 {

smallint POSI(const sstring& name) {
  using namespace ZQGLOBAL;
  smallint pos = 0;
  IO::MATCHSTRING(name, NAME, NCV, pos);
  // An end-member excluded by the reaction finder counts as absent.
  if (pos != 0)
    for (smallint i = 1; i <= NEX1; ++i)
      if (EXEM[i] == pos) return 0;
  return pos;
}

smallint ONEPOSITION(const sstring& name, const std::string& where, const std::string& what) {
  using namespace ZQGLOBAL;
  smallint pos = 0;
  for (smallint i = 1; i <= NCV; ++i) {
    if (NAME[i] != name) continue;
    // Set on one copy, the value would leave the other as it was.
    if (pos != 0)
      IO::ERROREXIT(where, what + ": " + name + " is an end-member of two phases of the calculation", yourfault);
    pos = i;
  }
  return pos;
}

void POSITIONS() {
  using namespace ZQGLOBAL;
  CO2POS = POSI("CO2");
  H2OPOS = POSI("H2O");
  AQSIPOS = POSI("aqSi");
  CRDPOS = POSI("crd");
  FCRDPOS = POSI("fcrd");
  if (NLNA >= 1) LNAPOS = POSI(LNANAME[1]);
}

bool NAMEINLIST(sstring& name, const IO::strings& list, bool quiet, smallint& pos) {
  using namespace ZQGLOBAL;
  const smallint n = static_cast<smallint>(NPSS + NP0);
  bool found = IO::MATCHSTRING(name, list, n, pos);
  if (!found && !quiet) {
    sstring answer;
    IO::PROMPTSTRING("unrecognised name : replace \"" + name + "\" with ", answer);
    if (!answer.empty()) {
      name = answer;
      found = IO::MATCHSTRING(name, list, n, pos);
      if (!found) IO::PUTSTR(0, " still a bad name: name ignored", 1, CHANNEL::TERMLOG);
    }
  }
  if (!found) pos = 0;
  return found;
}

}  // namespace ZQUTE2
