// Gibbs-energy terms that rest on the fluid equations of state: pure fluids
// by name, the H2O-CO2 non-ideality, cordierite's channel fluid and the
// aqueous species.
#include <cmath>

#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_dataset.h"
#include "model/zqcalc1.h"
#include "model/zqcalc1_terms.h"

namespace ZQCALC1 {

namespace {

// Cordierite's channel sites: enthalpy of hydration of the newer and older
// data sets (kJ), its entropy and heat capacity, and the CO2 equilibrium.
constexpr extended HHYD = 42.84L;
constexpr extended HHYDOLD = 41.79L;
constexpr extended SHYD = 0.109L;
constexpr extended CPHYD = 0.0083L;
constexpr extended LNKCO2 = 12.73L, TKCO2 = 1930.0L;

// Aqueous species: above this temperature the density term scales with T
// instead; the reference volume of water (kJ/kbar) of that term.
constexpr extended TAQCAP = 500.0L;
constexpr extended VAQREF = 1.81799456L;

struct gas {
  const char* name;
  extended pcrit, tcrit;
};
constexpr gas GASES[] = {{"CH4", CONST::PCRITCH4, CONST::TCRITCH4},
                         {"H2", CONST::PCRITH2, CONST::TCRITH2},
                         {"CO", CONST::PCRITCO, CONST::TCRITCO},
                         {"H2S", CONST::PCRITH2S, CONST::TCRITH2S},
                         {"S2", CONST::PCRITS2, CONST::TCRITS2}};

}  // namespace

extended MIXTERM(bool ofh2o, extended VH, extended VC, extended xCO2, extended xH2O) {
  const extended W = CONST::AH2OCO2 * (VH + VC) / (VH * VC);
  const extended den = VC * xCO2 + VH * xH2O;
  if (ofh2o) return 2 * W * xCO2 * xCO2 * VC * VC * VH / (den * den * (VH + VC));
  return 2 * W * xH2O * xH2O * VH * VH * VC / (den * den * (VH + VC));
}

void FLUIDTERMS(std::string_view name, extended P, extended T, extended xCO2, extended xH2O, extended& Gf,
                extended& Gmix) {
  Gf = 0;
  Gmix = 0;
  const bool mixing = ZQGLOBAL::FLUIDTYPE == ftype::ih2oco2;
  extended VH = 0, VC = 0, other = 0;
  if (name == "H2O") {
    H2OPROPS(P, T, VH, Gf);
    if (mixing && xCO2 > 0 && xH2O < 1) {
      CO2PROPS(P, T, VC, other);
      Gmix = MIXTERM(true, VH, VC, xCO2, xH2O);
    }
    return;
  }
  if (name == "CO2") {
    CO2PROPS(P, T, VC, Gf);
    if (mixing && xCO2 < 1 && xH2O > 0) {
      H2OPROPS(P, T, VH, other);
      Gmix = MIXTERM(false, VH, VC, xCO2, xH2O);
    }
    return;
  }
  for (const gas& g : GASES) {
    if (name == g.name) {
      extended V = 0;
      CORRSTATE(P, T, g.pcrit, g.tcrit, V, Gf);
      return;
    }
  }
}

extended HYDRATIONTERM(std::string_view name, extended P, extended T, extended xCO2, extended xH2O) {
  if (name != "crd" && name != "fcrd") return 0;
  if (ZQGLOBAL::CALCMODE == calcmodetype::nlecalc) return 0;
  if (ZQGLOBAL::CALCMODE == calcmodetype::lsqdscalc && !ZQGLOBAL::MAKECDHYDROUS) return 0;
  const extended RT = CONST::RGAS * T;
  extended V = 0, rtlnf = 0;
  extended s = 1;
  if (xH2O > 0) {
    const extended h0 = ZQGLOBAL::WITHOLDSET ? HHYDOLD : HHYD;
    const extended KH =
        std::exp(-(h0 - SHYD * T - CPHYD * ((T - CONST::TR) - T * std::log(T / CONST::TR))) / RT);
    H2OPROPS(P, T, V, rtlnf);
    const extended fH = std::exp(rtlnf / RT);
    s = s + fH * xH2O / KH;
  }
  if (xCO2 > 0) {
    const extended KC = std::exp(LNKCO2 - TKCO2 / T);
    CO2PROPS(P, T, V, rtlnf);
    const extended fC = std::exp(rtlnf / RT);
    s = s + fC * xCO2 / KC;
  }
  return -RT * std::log(s);
}

extended AQUEOUSTERM(extended P, extended T, extended aq, extended s18, extended s19, extended s26, extended s27,
                     extended s28) {
  if (aq == 0) return 0;
  const extended Tl = HOLDCHOICE(choicekind::aqueouscap, T > TAQCAP ? 1 : 0) == 1 ? TAQCAP : T;
  extended VH = 0, rtlnf = 0;
  H2OPROPS(P, T, VH, rtlnf);
  extended Gaq = aq * (350.42L * (T / Tl) * std::log(VAQREF / VH) + 0.09086L * T - 27.091L - 15.8L * P);
  if (ZQGLOBAL::CALCMODE != calcmodetype::lsqdscalc) {
    Gaq = Gaq + 0.03354L * T;
    if (s18 != 0 && s26 > 0) Gaq = Gaq + DHSOLUTE(P, T, s27, s28, s26, s18 * s19) * CONST::RLN10AQ * T;
  }
  return Gaq;
}

}  // namespace ZQCALC1
