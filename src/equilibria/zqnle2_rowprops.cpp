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

// What working out a row's properties overwrites, walked one way to keep
// it and the other to put it back, so that both name the same things.
void transfer(rowpropkeep& k, bool back) {
  const auto mv = [back](auto& live, auto& kept) {
    if (back)
      live = kept;
    else
      kept = live;
  };
  for (smallint i = 1; i <= SU.nph; ++i) {
    suphasetype& r = SU.ph[i];
    rowpropkeep::phase& q = k.ph[i];
    mv(r.p, q.p);
    mv(r.ideal, q.ideal);
    mv(r.gamma, q.gamma);
    mv(r.activity, q.activity);
    mv(r.gem, q.gem);
    mv(r.rtlna, q.rtlna);
    mv(r.modefac[1], q.modefac);
    mv(r.g, q.g);
    mv(r.s, q.s);
    mv(r.v, q.v);
    mv(r.h, q.h);
    mv(r.rho, q.rho);
  }
  mv(SU.gsys, k.gsys);
  mv(SU.hsys, k.hsys);
  mv(SU.ssys, k.ssys);
  mv(SU.vsys, k.vsys);
  mv(SU.rhosys, k.rhosys);
  mv(ACTIVITY, k.activity);
  for (smallint e = 1; e <= NCV; ++e) {
    mv((*TD)(e, TDSLOT::XCO2), k.xco2[e]);
    mv((*TD)(e, TDSLOT::XH2O), k.xh2o[e]);
  }
}

}  // namespace

bool solvestate::ROWPROPERTIES(farray<extended, 1, nmcprops>& prop) {
  // Without modes among the unknowns the point has no amount of anything
  // (with them it has the one mode row); the rest are the conditions under
  // which a point outside a batch has phase properties.
  if (!MODESBYNLE || SU.nmodeset != 1 || !PROPERTIESMODELLED() || EXBUFF || NLNA > 0 || NMU > 0) return false;
  if (!ROWKEEP) ROWKEEP = std::make_unique<rowpropkeep>();
  transfer(*ROWKEEP, false);
  MODEFACTORS();
  ZQCALC2::CALCGPHASE(PH, X, SU.pressure, SU.temperature, FIXEDXCO2, FIXEDXH2O);
  const extended got[] = {SU.gsys[1], SU.hsys[1], SU.ssys[1], SU.vsys[1], SU.rhosys[1]};
  bool finite = true;
  for (long q = 1; q <= nmcprops; ++q) {
    prop[q] = got[q - 1];
    finite = finite && std::isfinite(prop[q]);
  }
  transfer(*ROWKEEP, true);
  return finite;
}

}  // namespace ZQNLE2
