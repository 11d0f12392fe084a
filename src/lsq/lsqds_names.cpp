// Look-up of end-member names among the data set's, and the positions of
// the special end-members in an experiment's list.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;

namespace LSQDS {

bool POSINPHNAME(const sstring& name, smallint& index, bool fatal) {
  for (smallint i = 1; i <= NTP; ++i)
    if (IO::SAMESTRING(PHNAMES[i], name)) {
      index = i;
      return true;
    }
  if (fatal) IO::ERROREXIT("posinphname", name + " is not an end-member name", yourfault);
  index = 0;
  return false;
}

void FINDPOSI(const ilvector& list, smallint n) {
  H2OPOS = CO2POS = CRDPOS = FCRDPOS = 0;
  IO2 = IS2 = 0;
  for (smallint k = 1; k <= n; ++k) {
    if (list[k] <= 0) continue;
    const std::string name = IO::TRIMSTRING(PHNAMES[list[k]]);
    if (name == "H2O") H2OPOS = k;
    if (name == "crd") CRDPOS = k;
    if (name == "CO2") CO2POS = k;
    if (name == "fcrd") FCRDPOS = k;
    if (name == "O2") IO2 = k;
    if (name == "S2") IS2 = k;
  }
}

}  // namespace LSQDS
