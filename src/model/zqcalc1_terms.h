// The contributions to an end-member's Gibbs energy beyond heat capacity and
// volume: internal ordering, the fluids named in the data set, cordierite's
// channel water and CO2, and aqueous species. GEM adds them in its own order;
// each stands alone so it can be checked by itself.
#pragma once

#include <string_view>

#include "frame/types.h"

namespace ZQCALC1 {

// The equilibrium function of IHQ: -dG/dQ of the order-disorder term at
// fixed T, pressure-corrected dH and W, n and f.
struct ihqrun {
  extended T, dH, W;
  smallint n;
  extended f;
  extended F(extended Q) const;
};

// Landau term Hx - T Sx (kJ) of a row with Smax > 0; name is the end-member's,
// for the message when its parameters cannot describe a transition.
extended LANDAUTERM(std::string_view name, extended P, extended T, extended Tcrit0, extended Smax, extended Vmax);
// The same in the older data-set generation, which scales the volume part
// with the row's own thermal expansion and Murnaghan compressibility.
extended LANDAUTERMOLD(std::string_view name, extended P, extended T, extended Tcrit0, extended Smax, extended Vmax,
                       extended alpha0, extended alpha1, extended K0, extended Kp, extended dKdT);
// Hx - T Sx of the order-disorder term at order parameter Q, from the
// pressure-corrected dH and W.
extended ORDERG(extended Q, extended T, extended dH, extended W, smallint n, extended f);
// The order-disorder term at equilibrium Q.
extended ORDERTERM(extended P, extended T, extended dH, extended dV, extended W, extended WV, smallint n,
                   extended f);

// RT ln f of a pure fluid end-member chosen by its exact name (0 for any
// other name), and its share of the H2O-CO2 non-ideality in a fluid of the
// given proportions.
void FLUIDTERMS(std::string_view name, extended P, extended T, extended xCO2, extended xH2O, extended& Gf,
                extended& Gmix);
// The van Laar mixing term of H2O (ofh2o) or CO2 from the two volumes.
extended MIXTERM(bool ofh2o, extended VH, extended VC, extended xCO2, extended xH2O);
// -RT ln of the channel filling of cordierite by H2O and CO2 (0 for other
// names, in calc mode 1 and in the least-squares mode unless asked for).
extended HYDRATIONTERM(std::string_view name, extended P, extended T, extended xCO2, extended xH2O);
// Density, ideal and solute terms of an aqueous species of coefficient aq;
// s18, s19, s26, s27 and s28 are its row's slots of those numbers.
extended AQUEOUSTERM(extended P, extended T, extended aq, extended s18, extended s19, extended s26, extended s27,
                     extended s28);

}  // namespace ZQCALC1
