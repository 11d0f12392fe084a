// Internal ordering of an end-member: a Landau transition, or Bragg-Williams
// order-disorder with its equilibrium order parameter found by halving.
#include <cmath>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqmath1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc1_terms.h"

namespace ZQCALC1 {

namespace {

constexpr extended QLOW = 1e-7L;        // the order parameter stays inside (0, 1): the entropy has ln Q and ln(1 - Q)
constexpr extended QHIGH = 0.9999999L;
constexpr extended QSTART = 0.5L;
constexpr int MAXHALVINGS = 20;
constexpr extended FTOL = 0.001L;       // kJ: |F| this small is equilibrium

// dF/dQ, for the Newton steps that finish the halving's root.
extended slopeF(const ihqrun& r, extended Q) {
  const extended R = CONST::RGAS;
  const extended m = r.n + 1;
  if (r.f < 0)
    return (r.n / m) * R * r.T * (-1 / (1 - Q) - r.n / (1 + r.n * Q) - r.f * (-1 / (1 - Q) - 1 / (r.n + Q))) +
           2 * r.W;
  return (r.n * r.f / m) * R * r.T * (-2 / (1 - Q) - r.n / (1 + r.n * Q) - 1 / (r.n + Q)) + 2 * r.W;
}

// The halving stops within 1e-6 of the root or where |F| < 0.001 kJ, and
// where it stops moves with P and T as the halvings taken change: the
// term's S, V and H are differences over 2e-4 K and 2e-5 kbar, so that
// stopping error over the step reached them (S off by 0.004 kJ/K). Newton
// takes the root on to the last bits while its steps keep halving; the ends
// of the range, where F has no root, stay as they are.
extended polished(const ihqrun& r, extended Q) {
  if (Q <= QLOW || Q >= QHIGH) return Q;
  return ZQMATH1::NEWTONPOLISH(Q, 1, QLOW, QHIGH, false, [&r](extended q, extended& F, extended& dF) {
    F = r.F(q);
    dF = slopeF(r, q);
  });
}

[[noreturn]] void impossible(std::string_view name) {
  IO::ERROREXIT("gem", std::string(name) + ": impossible Landau parameters", yourfault);
}

// Order parameter at Tr; a transition below Tr leaves the reference state
// disordered.
extended q0of(extended Tcrit0) {
  if (Tcrit0 <= CONST::TR) return 0;
  return std::sqrt(1 - CONST::TR / Tcrit0);
}

}  // namespace

extended ihqrun::F(extended Q) const {
  const extended R = CONST::RGAS;
  const extended m = n + 1;
  if (f < 0)
    return (n / m) * R * T * (std::log(n * (1 - Q) / (1 + n * Q)) - f * std::log((1 - Q) / (n + Q))) +
           (2 * Q - 1) * W + dH;
  return (n * f / m) * R * T * std::log(n * (1 - Q) * (1 - Q) / ((1 + n * Q) * (n + Q))) + (2 * Q - 1) * W + dH;
}

extended IHQ(extended T, extended dH, extended W, smallint n, extended f) {
  const ihqrun run{T, dH, W, n, f};
  const extended F1 = run.F(QLOW);
  const extended F2 = run.F(QHIGH);
  if (F2 > 0) return QHIGH;
  if (F1 < 0) return QLOW;
  extended lo = QLOW, hi = QHIGH, Q = QSTART;
  extended FQ = run.F(Q);
  for (int k = 1; k <= MAXHALVINGS; ++k) {
    if (FQ > 0)
      lo = Q;
    else
      hi = Q;
    Q = (hi + lo) / 2;
    FQ = run.F(Q);
    if (std::fabs(FQ) < FTOL) break;
  }
  return Q;
}

extended LANDAUTERM(std::string_view name, extended P, extended T, extended Tcrit0, extended Smax, extended Vmax) {
  if (Tcrit0 <= 0) impossible(name);
  const extended q0 = q0of(Tcrit0);
  const extended Tcrit = Tcrit0 + Vmax * P / Smax;
  const extended q = T > Tcrit ? 0 : std::sqrt((Tcrit - T) / Tcrit0);
  const extended Sx = Smax * (q0 - q);
  const extended Hx = Tcrit0 * Smax * ((q0 - q) - (q0 * q0 * q0 - q * q * q) / 3) + Vmax * P * (q0 - q);
  return Hx - T * Sx;
}

extended LANDAUTERMOLD(std::string_view name, extended P, extended T, extended Tcrit0, extended Smax, extended Vmax,
                       extended alpha0, extended alpha1, extended K0, extended Kp, extended dKdT) {
  if (Tcrit0 <= 0 || Kp == 1) impossible(name);
  const extended q0 = q0of(Tcrit0);
  const extended Tcrit = Tcrit0 + Vmax * P / Smax;
  if (Tcrit <= 0) impossible(name);
  const extended q = T > Tcrit ? 0 : std::sqrt(1 - T / Tcrit);
  const extended KT = K0 + (T - CONST::TR) * dKdT;
  const extended Sx = Smax * (q0 - q);
  const extended vt = 1 + alpha0 * ((T - CONST::TR) - 2 * alpha1 * (std::sqrt(T) - std::sqrt(CONST::TR)));
  const extended e = 1 - 1 / Kp, k = Kp / KT;
  // The integral of the Murnaghan volume from 0 to P, over KT: its limits
  // at K' = 0 (constant modulus) and in digits-keeping form where small.
  extended dil;
  if (Kp == 0)
    dil = vt * KT * Vmax * q0 * -std::expm1(-P / KT);
  else if (SMALLFORM(k, e))
    dil = vt * Vmax * q0 * P * POWDIFF(0, k * P, e);
  else
    dil = vt * KT * Vmax * q0 * (std::pow(1 + Kp * P / KT, e) - 1) / (Kp - 1);
  const extended Hx = dil + Smax * (Tcrit0 * q0 * (1 - q0 * q0 / 3) - Tcrit * q * (1 - q * q / 3));
  return Hx - T * Sx;
}

extended ORDERG(extended Q, extended T, extended dH, extended W, smallint n, extended f) {
  const extended R = CONST::RGAS;
  const extended m = n + 1;
  const extended Hx = dH * (1 - Q) + W * Q * (1 - Q);
  const extended a = (1 + n * Q) * std::log((1 + n * Q) / m);
  const extended c = n * (1 - Q) * std::log(n * (1 - Q) / m);
  const extended d = n * (1 - Q) * std::log((1 - Q) / m);
  const extended e = n * (n + Q) * std::log((n + Q) / m);
  extended Sx;
  if (f < 0)
    Sx = -(R / m) * (a + c - f * (d + e));
  else
    Sx = -(R * f / m) * (a + d + c + e);
  return Hx - T * Sx;
}

extended ORDERTERM(extended P, extended T, extended dH, extended dV, extended W, extended WV, smallint n,
                   extended f) {
  const extended dHp = dH + dV * P;
  const extended Wp = W + WV * P;
  const extended Q = polished(ihqrun{T, dHp, Wp, n, f}, IHQ(T, dHp, Wp, n, f));
  return ORDERG(Q, T, dHp, Wp, n, f);
}

}  // namespace ZQCALC1
