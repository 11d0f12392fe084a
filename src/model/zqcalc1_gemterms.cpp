// GEM's terms beyond heat capacity and volume, in the order it adds them:
// the fluid by name and its share of the H2O-CO2 non-ideality, internal
// ordering, cordierite's channel fluid and the aqueous-species term.
#include "model/zqcalc1_gem.h"
#include "model/zqcalc1_terms.h"

namespace ZQCALC1 {

void GEMTERMS(const gemcontext& c, extended& Gf, extended& Gmix, extended& Gord, extended& Ghyd, extended& Gaq) {
  FLUIDTERMS(c.name, c.P, c.T, c.xco2, c.xh2o, Gf, Gmix);
  // Order-disorder replaces a Landau term; the older data set has none
  // (its bwn stays 0), so a Landau row there keeps its own form.
  Gord = 0;
  if (c.bwn > 0)
    Gord = ORDERTERM(c.P, c.T, c.bwdh, c.bwdv, c.bww, c.bwwv, c.bwn, c.bwf);
  else if (c.smax > 0 && c.oldset)
    Gord = LANDAUTERMOLD(c.name, c.P, c.T, c.tcrit, c.smax, c.vmax, c.alpha0, c.alpha1, c.K0, c.Kp, c.dKdT);
  else if (c.smax > 0)
    Gord = LANDAUTERM(c.name, c.P, c.T, c.tcrit, c.smax, c.vmax);
  Ghyd = HYDRATIONTERM(c.name, c.P, c.T, c.xco2, c.xh2o);
  // In the least-squares mode the row's aqueous slots read as 0: no term.
  Gaq = AQUEOUSTERM(c.P, c.T, c.aq, c.aq1, c.aq2, c.ionic, c.xco2, c.xh2o);
}

}  // namespace ZQCALC1
