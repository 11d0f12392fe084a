// Volume and fugacity of pure H2O and CO2: the Redlich-Kwong cubic with
// virial terms above a threshold pressure, or the Sterner-Pitzer form when
// the data set asks for it; and the volume of their mixture.
#include <cmath>
#include <limits>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal_dataset.h"
#include "frame/zqmath1.h"
#include "model/zqcalc1.h"

namespace ZQCALC1 {

fluidcache H2OCACHE;
fluidcache CO2CACHE;

void RESETFLUIDCACHE() {
  H2OCACHE = fluidcache{};
  CO2CACHE = fluidcache{};
}

namespace {

constexpr extended NEWTONTOL = 0.001L;   // relative size of the last Newton step that counts as converged
constexpr smallint NEWTONMAX = 20;       // steps beyond the first before the iteration gives up
constexpr extended BELOWB = 1.001L;      // a step below b lands this far above it at high pressure
constexpr extended PSWITCHRK = 100.0L;   // kbar: below it a step under b restarts at the ideal-gas volume
constexpr extended PSATFLOOR = 0.001L;   // kbar: the least saturation pressure of the cubic
constexpr extended TSUPER = 695.0L;      // K: from here on the cubic has no saturation
constexpr extended TALIQ = 673.0L;       // K: the attraction parameters change formula here
constexpr extended DPMIX = 0.0001L;      // kbar: step of the mixture's excess-volume derivative
constexpr extended WMIXVOL = 21.0L;      // kJ kJ/kbar: excess term 21 xCO2 xH2O / V of the mixture

// The Redlich-Kwong constants of one fluid.
struct rkfluid {
  extended b;    // co-volume (kJ/kbar)
  extended p0;   // threshold pressure of the virial terms (kbar)
  extended vstartb;  // the start volume lies this many b above the ideal-gas volume
};
constexpr rkfluid RKH2O{1.465L, 2.01L, 3.0L};
constexpr rkfluid RKCO2{3.057L, 5.01L, 3.0L};
constexpr extended VAPSTARTB = 5.0L;  // the saturated vapour starts this many b above RT/Psat

constexpr extended CH2O = 0.0019853L, DH2O = -0.08909L, EH2O = 0.080331L;  // H2O virial terms c, d, e

// Saturation pressure of water (kbar) without its constant term; the
// Redlich-Kwong saturation and the Sterner-Pitzer switch add different ones.
extended psatpoly(extended T) {
  const extended T2 = T * T;
  const extended T3 = T2 * T;
  return 7.29395e-07L * T2 - 2.34622e-09L * T3 + 4.83607e-15L * T3 * T2;
}
constexpr extended PSATRK0 = -0.013628L;  // constant term of the cubic's saturation pressure
// Constant term of the Sterner-Pitzer switch: the two differ, as the model has them.
constexpr extended PSATSP0 = -0.013627L;

// The branches the Redlich-Kwong water takes at a state, as bits: held
// across a difference, each formula is continued past its switch from the
// base state's side.
constexpr smallint WATERHOT = 1;      // T >= 673: the high-temperature a_liq, and a_vap = a_liq
constexpr smallint WATERSUB = 2;      // T < 695: saturation pressure, a_vap and the liquid side's correction
constexpr smallint WATERFLOOR = 4;    // the saturation pressure raised to its floor
constexpr smallint WATERVIRIAL = 8;   // P above the threshold of the virial terms

extended rawpsat(extended T) { return PSATRK0 + psatpoly(T); }

smallint waterbranches(extended P, extended T) {
  smallint b = 0;
  if (T >= TALIQ) b |= WATERHOT;
  if (T < TSUPER) {
    b |= WATERSUB;
    if (rawpsat(T) < PSATFLOOR) b |= WATERFLOOR;
  }
  if (P > RKH2O.p0) b |= WATERVIRIAL;
  return b;
}

extended aliq(extended T, bool hot) {
  if (hot) return 1037.2L + 0.53013L * T - 0.00073907L * T * T + 1.7782e-07L * T * T * T;
  return -1451.88L + 12.718L * T - 0.02212L * T * T + 1.3204e-05L * T * T * T;
}

extended avap(extended T, bool hot) {
  if (hot) return aliq(T, hot);
  return 16137.46L - 69.656L * T + 0.11618L * T * T - 6.8128e-05L * T * T * T;
}

void h2ork(extended P, extended T, smallint branches, extended& V, extended& RTlnf) {
  const extended RT = CONST::RGAS * T;
  const bool hot = (branches & WATERHOT) != 0, sub = (branches & WATERSUB) != 0;
  extended Pswitch = PSWITCHRK;
  const extended dP = (branches & WATERVIRIAL) != 0 ? P - RKH2O.p0 : 0;
  const extended al = aliq(T, hot);
  extended av = al;
  extended psat = 0;
  if (sub) {
    av = avap(T, hot);
    psat = (branches & WATERFLOOR) != 0 ? PSATFLOOR : rawpsat(T);
    Pswitch = psat;
  }
  extended lnphi1 = 0, lnphi2 = 0, lnphi3 = 0;
  const extended b = RKH2O.b;
  if (sub && P > psat) {
    // On the liquid side ln f carries the step across the saturation curve:
    // vapour and liquid at Psat have the same fugacity in the real fluid.
    extended vs = RT / psat + VAPSTARTB * b;
    FINDVS(psat, T, dP, psat, CH2O, DH2O, EH2O, av, b, vs, lnphi1);
    vs = b;
    FINDVS(psat, T, dP, psat, CH2O, DH2O, EH2O, al, b, vs, lnphi2);
  }
  V = RT / P + RKH2O.vstartb * b;
  extended a = al;
  if (sub) {
    if (P > psat)
      V = b;
    else
      a = av;
  }
  FINDVS(P, T, dP, Pswitch, CH2O, DH2O, EH2O, a, b, V, lnphi3);
  RTlnf = RT * (std::log(CONST::BARPERKBAR * P) + lnphi3 - lnphi2 + lnphi1);
}

// CO2's one branch: P above the threshold of its virial terms.
smallint co2branches(extended P, extended) { return P > RKCO2.p0 ? 1 : 0; }

void co2rk(extended P, extended T, smallint branches, extended& V, extended& RTlnf) {
  const extended RT = CONST::RGAS * T;
  const extended dP = branches != 0 ? P - RKCO2.p0 : 0;
  const extended c = 0.00540776L - 1.59046e-06L * T;
  const extended d = -0.178198L + 2.45317e-05L * T;
  const extended a = 659.8L + 0.21078L * T - 0.00063976L * T * T;
  V = RT / P + RKCO2.vstartb * RKCO2.b;
  extended lnphi = 0;
  FINDVS(P, T, dP, PSWITCHRK, c, d, 0, a, RKCO2.b, V, lnphi);
  RTlnf = RT * (std::log(CONST::BARPERKBAR * P) + lnphi);
}

// The volume search of the Sterner-Pitzer form ends this far (cm3) above
// the ideal-gas volume.
constexpr extended SPVMAXH2O = 20.0L;
constexpr extended SPVMAXCO2 = 60.0L;

void h2osp(extended P, extended T, extended& V, extended& RTlnf) {
  const extended T2 = T * T;
  const extended T4 = T2 * T2;
  const extended c1 = 246576.88L / T + 51.359951L;
  const extended c2 = 0.58638965L / T - 0.0028646939L + 3.1375577e-05L * T;
  const extended c3 = -6.278384L / T + 0.014791599L + 0.00035779579L * T + 1.5432925e-08L * T2;
  const extended c4 = -0.42719875L - 1.6325155e-05L * T;
  const extended c5 = 5665.4978L / T - 16.580167L + 0.076560762L * T;
  const extended c6 = 0.10917883L;
  const extended c7 = 3.8878656e12L / T4 - 134948780.0L / T2 + 309165.64L / T + 7.5591105L;
  const extended c8 = -65537.898L / T + 188.10675L;
  const extended c9 = -1.4182435e13L / T4 + 181653900.0L / T2 - 197690.68L / T - 23.530318L;
  const extended c10 = 92093.375L / T + 122.46777L;
  const extended pswitch = CONST::BARPERKBAR * (PSATSP0 + psatpoly(T));
  V = SPVMAXH2O + CONST::RGASCM3 * T / P;
  DOSP(CONST::BARPERKBAR * P, T, c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, pswitch, V, RTlnf);
}

void co2sp(extended P, extended T, extended& V, extended& RTlnf) {
  const extended T2 = T * T;
  const extended c1 = 1826134.0L / T + 79.224365L;
  const extended c2 = 6.656066e-05L + 5.7152798e-06L * T + 3.0222363e-10L * T2;
  const extended c3 = 0.0059957845L + 7.1669631e-05L * T + 6.2416103e-09L * T2;
  const extended c4 = -1.3270279L / T - 0.15210731L + 0.00053654244L * T - 7.1115142e-08L * T2;
  const extended c5 = 0.12456776L / T + 4.9045367L + 0.009822056L * T + 5.5962121e-06L * T2;
  const extended c6 = 0.75522299L;
  const extended c7 = -3.9344644e11L / (T2 * T2) + 90918237.0L / T2 + 427767.16L / T - 22.347856L;
  const extended c8 = 402.82608L / T + 119.71627L;
  const extended c9 = 22995650.0L / T2 - 78971.817L / T - 63.376456L;
  const extended c10 = 95029.765L / T + 18.038071L;
  V = SPVMAXCO2 + CONST::RGASCM3 * T / P;
  // CO2 has no vapour branch: a switch pressure of 0 always takes the densest root.
  DOSP(CONST::BARPERKBAR * P, T, c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, 0, V, RTlnf);
}

// Gives a cached result when the key matches exactly; the fluid's routine
// is asked for three times per end-member in every evaluation of the
// equations, mostly at states asked for before. The cache holds the free
// evaluation only: a stepped state whose held branches are not its own is
// evaluated anew.
template <class Eval>
void cached(fluidcache& cache, extended P, extended T, extended& V, extended& RTlnf, Eval eval) {
  const bool usesp = ZQGLOBAL::USESP;
  for (const fluidstate& s : cache.state)
    if (s.valid && s.P == P && s.T == T && s.usesp == usesp) {
      V = s.V;
      RTlnf = s.RTlnf;
      return;
    }
  eval(P, T, V, RTlnf);
  cache.state[cache.next] = fluidstate{true, P, T, usesp, V, RTlnf};
  cache.next = (cache.next + 1) % fluidcachesize;
}

template <class Branches, class RK>
void redlichkwong(fluidcache& cache, choicekind kind, extended P, extended T, extended& V, extended& RTlnf,
                  Branches branchesat, RK rk) {
  const smallint own = branchesat(P, T);
  const smallint held = HOLDCHOICE(kind, own);
  if (held != own) {
    rk(P, T, held, V, RTlnf);
    return;
  }
  cached(cache, P, T, V, RTlnf, [&](extended p, extended t, extended& v, extended& f) { rk(p, t, own, v, f); });
}

}  // namespace

void FINDVS(extended P, extended T, extended dP, extended Pswitch, extended c, extended d, extended e,
            extended a, extended b, extended& V, extended& lnphi) {
  const extended RT = CONST::RGAS * T;
  const extended s = std::sqrt(T);
  const extended lin = a / s - b * RT - b * b * P;
  smallint k = 0;
  bool converged = false;
  do {
    ++k;
    const extended f = P * V * V * V - RT * V * V + lin * V - a * b / s;
    const extended fd = 3 * P * V * V - 2 * RT * V + lin;
    const extended dV = f / fd;
    V = V - dV;
    if (V < b) V = P > Pswitch ? BELOWB * b : RT / P;
    converged = NEWTONTOL * V > std::fabs(dV);
  } while (!converged && k <= NEWTONMAX);
  if (!converged) IO::ERROREXIT("findVs", "did not converge", yourfault);
  // The fluid's V, S and H are differences of RT ln f over steps of 2e-5
  // kbar and 2e-4 K, and the mixture's volume differences these volumes
  // again: a root left anywhere within the converged 0.001 V, a different
  // place at either state when the steps taken differ, puts that tolerance
  // over the step into the result. Newton goes on from the converged root
  // while its steps keep halving; the next would be under the last bit.
  V = ZQMATH1::NEWTONPOLISH(V, std::fabs(V), b, std::numeric_limits<extended>::max(), true,
                            [&](extended v, extended& f, extended& fd) {
                              f = P * v * v * v - RT * v * v + lin * v - a * b / s;
                              fd = 3 * P * v * v - 2 * RT * v + lin;
                            });
  const extended z = P * V / RT;
  const extended B = b * P / RT;
  lnphi = z - 1 - std::log(z - B) - (a / (b * RT * s)) * std::log(1 + B / z);
  if (dP > 0) {
    const extended rt2 = std::sqrt(dP);
    const extended rt4 = std::sqrt(rt2);
    V = V + c * dP + d * rt2 + e * rt4;
    lnphi = lnphi + (c * dP * dP / 2 + (2.0L / 3.0L) * d * dP * rt2 + (4.0L / 5.0L) * e * dP * rt4) / RT;
  }
}

void H2OPROPS(extended P, extended T, extended& V, extended& RTlnf) {
  if (ZQGLOBAL::USESP)
    cached(H2OCACHE, P, T, V, RTlnf, h2osp);
  else
    redlichkwong(H2OCACHE, choicekind::water, P, T, V, RTlnf, waterbranches, h2ork);
}

void CO2PROPS(extended P, extended T, extended& V, extended& RTlnf) {
  if (ZQGLOBAL::USESP)
    cached(CO2CACHE, P, T, V, RTlnf, co2sp);
  else
    redlichkwong(CO2CACHE, choicekind::co2, P, T, V, RTlnf, co2branches, co2rk);
}

extended VH2OCO2(extended P, extended T, extended xCO2, extended xH2O) {
  extended V1 = 0, V2 = 0, rtlnf = 0;
  if (xCO2 > 0) {
    extended V1d = 0, V2d = 0;
    HELDSTEP hold;
    CO2PROPS(P, T, V1, rtlnf);
    H2OPROPS(P, T, V2, rtlnf);
    hold.STEPPED();
    CO2PROPS(P + DPMIX, T, V1d, rtlnf);
    H2OPROPS(P + DPMIX, T, V2d, rtlnf);
    const extended vm = xCO2 * V1 + xH2O * V2;
    const extended vmd = xCO2 * V1d + xH2O * V2d;
    return vm + WMIXVOL * xCO2 * xH2O * (1 / vmd - 1 / vm) / DPMIX;
  }
  H2OPROPS(P, T, V2, rtlnf);
  return V2;
}

}  // namespace ZQCALC1
