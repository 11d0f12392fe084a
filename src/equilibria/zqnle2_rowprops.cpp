// The system properties of a batch row. A batch run leaves phase
// properties out of the work on its points, so a row works out its own, as
// the same point would have them outside a batch, and then puts back all
// that the working overwrote: with "mcdebug" the point's own printers come
// after the row and show the point as it was solved.
#include <cmath>

#include "equilibria/zqnle2.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "model/zqcalc2.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

void keep(rowpropkeep& k) {
  for (smallint i = 1; i <= SU.nph; ++i) {
    const suphasetype& r = SU.ph[i];
    rowpropkeep::phase& q = k.ph[i];
    q.p = r.p;
    q.ideal = r.ideal;
    q.gamma = r.gamma;
    q.activity = r.activity;
    q.gem = r.gem;
    q.rtlna = r.rtlna;
    q.modefac = r.modefac[1];
    q.g = r.g;
    q.s = r.s;
    q.v = r.v;
    q.h = r.h;
    q.rho = r.rho;
  }
  k.gsys = SU.gsys;
  k.hsys = SU.hsys;
  k.ssys = SU.ssys;
  k.vsys = SU.vsys;
  k.rhosys = SU.rhosys;
  k.activity = ACTIVITY;
  for (smallint e = 1; e <= NCV; ++e) {
    k.xco2[e] = (*TD)(e, TDSLOT::XCO2);
    k.xh2o[e] = (*TD)(e, TDSLOT::XH2O);
  }
}

void putback(const rowpropkeep& k) {
  for (smallint i = 1; i <= SU.nph; ++i) {
    suphasetype& r = SU.ph[i];
    const rowpropkeep::phase& q = k.ph[i];
    r.p = q.p;
    r.ideal = q.ideal;
    r.gamma = q.gamma;
    r.activity = q.activity;
    r.gem = q.gem;
    r.rtlna = q.rtlna;
    r.modefac[1] = q.modefac;
    r.g = q.g;
    r.s = q.s;
    r.v = q.v;
    r.h = q.h;
    r.rho = q.rho;
  }
  SU.gsys = k.gsys;
  SU.hsys = k.hsys;
  SU.ssys = k.ssys;
  SU.vsys = k.vsys;
  SU.rhosys = k.rhosys;
  ACTIVITY = k.activity;
  for (smallint e = 1; e <= NCV; ++e) {
    (*TD)(e, TDSLOT::XCO2) = k.xco2[e];
    (*TD)(e, TDSLOT::XH2O) = k.xh2o[e];
  }
}

}  // namespace

bool solvestate::ROWPROPERTIES(farray<extended, 1, nmcprops>& prop) {
  // Without modes among the unknowns the point has no amount of anything
  // (with them it has the one mode row); the rest are the conditions under
  // which a point outside a batch has phase properties.
  if (!MODESBYNLE || SU.nmodeset != 1 || !PROPERTIESMODELLED() || EXBUFF || NLNA > 0 || NMU > 0) return false;
  if (!ROWKEEP) ROWKEEP = std::make_unique<rowpropkeep>();
  keep(*ROWKEEP);
  MODEFACTORS();
  ZQCALC2::CALCGPHASE(PH, X, SU.pressure, SU.temperature, FIXEDXCO2, FIXEDXH2O);
  const extended got[] = {SU.gsys[1], SU.hsys[1], SU.ssys[1], SU.vsys[1], SU.rhosys[1]};
  bool finite = true;
  for (long q = 1; q <= nmcprops; ++q) {
    prop[q] = got[q - 1];
    finite = finite && std::isfinite(prop[q]);
  }
  putback(*ROWKEEP);
  return finite;
}

}  // namespace ZQNLE2
