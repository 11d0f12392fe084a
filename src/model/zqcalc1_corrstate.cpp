// Fluids other than H2O and CO2: one corresponding-states equation scaled
// by the gas's critical temperature and pressure.
#include <cmath>

#include "frame/constants.h"
#include "model/zqcalc1.h"

namespace ZQCALC1 {

void CORRSTATE(extended P, extended T, extended Pcrit, extended Tcrit, extended& V, extended& RTlnf) {
  const extended RT = CONST::RGAS * T;
  const extended sqrtT = std::sqrt(T);
  const extended sqrtP = std::sqrt(P);
  const extended a = (5.45963e-05L * Tcrit - 8.6392e-06L * T) * Tcrit * std::sqrt(Tcrit) / Pcrit;
  const extended b = 9.18301e-04L * Tcrit / Pcrit;
  const extended c = (-3.30558e-05L * Tcrit + 2.30524e-06L * T) / (Pcrit * std::sqrt(Pcrit));
  const extended d = (6.93054e-07L * Tcrit - 8.38293e-08L * T) / (Pcrit * Pcrit);
  V = RT / P + b - a * CONST::RGAS * sqrtT / ((RT + b * P) * (RT + 2 * b * P)) + c * sqrtP + d * P;
  RTlnf = RT * std::log(CONST::BARPERKBAR * P) + b * P +
          (a / (b * sqrtT)) * (std::log(RT + b * P) - std::log(RT + 2 * b * P)) + (2.0L / 3.0L) * c * P * sqrtP +
          (d / 2) * P * P;
}

}  // namespace ZQCALC1
