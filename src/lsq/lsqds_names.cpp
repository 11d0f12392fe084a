// Look-up of end-member names among the data set's, and the positions of
// the special end-members in an experiment's list.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "input/zqread2.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;

namespace LSQDS {

bool POSINPHNAME(const sstring& name, smallint& index, bool fatal) {
  if (ZQREAD2::ISPHNAME(name, index)) return true;
  if (fatal) IO::ERROREXIT("posinphname", name + " is not an end-member name", yourfault);
  return false;
}

specialem SPECIALEM(smallint e) {
  if (e <= 0) return specialem::none;
  const std::string name = IO::TRIMSTRING(PHNAMES[e]);
  if (name == "H2O") return specialem::h2o;
  if (name == "CO2") return specialem::co2;
  if (name == "crd") return specialem::crd;
  if (name == "fcrd") return specialem::fcrd;
  if (name == "O2") return specialem::o2;
  if (name == "S2") return specialem::s2;
  return specialem::none;
}

void FINDPOSI(const ilvector& list, smallint n) {
  H2OPOS = CO2POS = CRDPOS = FCRDPOS = 0;
  IO2 = IS2 = 0;
  for (smallint k = 1; k <= n; ++k) {
    switch (SPECIALEM(list[k])) {
      case specialem::h2o: H2OPOS = k; break;
      case specialem::co2: CO2POS = k; break;
      case specialem::crd: CRDPOS = k; break;
      case specialem::fcrd: FCRDPOS = k; break;
      case specialem::o2: IO2 = k; break;
      case specialem::s2: IS2 = k; break;
      case specialem::none: break;
    }
  }
}

}  // namespace LSQDS
