// Where a reaction lies: its pressure or temperature with the standard
// deviation that the data-set and activity uncertainties give it and the
// slope of its line, and which side of it is the product side.
#include <cmath>

#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_pseudo.h"

using namespace ZQGLOBAL;

namespace ZQCALC2 {

namespace {

// How far up the diagram's axis the product side is looked for.
constexpr extended TURNDT = 5;     // K
constexpr extended TURNDP = 0.2L;  // kbar

// Variance of the reaction enthalpy from the covariances of the end-member
// enthalpies, and of ln K from those of ln a.
void variances(smallint k, extended& covH, extended& varlnK) {
  CALCVARLNA();
  covH = 0;
  varlnK = 0;
  for (long i = 1; i <= NCV; ++i) {
    const smallint nui = (*R)(k, i);
    if (nui == 0) continue;
    for (long j = 1; j <= NCV; ++j) {
      const smallint nuj = (*R)(k, j);
      if (nuj != 0) covH = covH + nui * COVINUSE(i, j) * nuj;
    }
  }
  for (long j = 1; j <= NCV; ++j) {
    const smallint nu = (*R)(k, j);
    varlnK = varlnK + static_cast<extended>(nu) * nu * VARLNA[j];
  }
}

// sd of a root from the variance of its affinity and the affinity's slope
// along the solved variable.
extended spread(extended covH, extended varlnK, extended T, extended slope) {
  const extended RT = CONST::RGAS * T;
  // What rounding of the covariances takes below 0 is a variance of 0.
  const extended variance = covH + RT * RT * varlnK;
  return std::sqrt((variance > 0 ? variance : 0) / (slope * slope));
}

// One root of a reaction's search: whether it lies in the window, the
// temperature there, the affinity's slope along the solved variable, and
// dV and d(mu)/dT.
struct root {
  bool in;
  extended T, along, dV, dmudT;
};

// The sd and slope of each root in the window; one outside keeps SDOUTSIDE
// and its slope as it was.
void place(smallint k, const root& r1, const root& r2, extended& sd1, extended& sd2, extended& slope1,
           extended& slope2) {
  extended covH = 0, varlnK = 0;
  if (r1.in || r2.in) variances(k, covH, varlnK);
  sd1 = SDOUTSIDE;
  sd2 = SDOUTSIDE;
  if (r1.in) {
    sd1 = spread(covH, varlnK, r1.T, r1.along);
    slope1 = -r1.dV / r1.dmudT;
  }
  if (r2.in) {
    sd2 = spread(covH, varlnK, r2.T, r2.along);
    slope2 = -r2.dV / r2.dmudT;
  }
}

}  // namespace

void PFIXEDT(smallint k, extended& P1, extended& P2, extended& sd1, extended& sd2, extended& slope1, extended T,
             extended xCO2, extended xH2O, extended& slope2) {
  extended dV1 = 0, dV2 = 0, dmudT1 = 0, dmudT2 = 0;
  PCALC(k, false, P1, P2, dV1, dV2, T, xCO2, xH2O, dmudT1, dmudT2);
  const bool in1 = ZQUTE1::INRANGE(P1, findtype::findp);
  const bool in2 = ZQUTE1::INRANGE(P2, findtype::findp);
  place(k, {in1, T, dV1, dV1, dmudT1}, {in2, T, dV2, dV2, dmudT2}, sd1, sd2, slope1, slope2);
}

void TFIXEDP(smallint k, extended& T1, extended& T2, extended& sd1, extended& sd2, extended& slope1, extended P,
             extended xCO2, extended xH2O, extended& slope2) {
  extended dV1 = 0, dV2 = 0, dmudT1 = 0, dmudT2 = 0;
  TCALC(k, false, T1, T2, dV1, dV2, P, xCO2, xH2O, dmudT1, dmudT2);
  const bool in1 = ZQUTE1::INRANGE(T1, findtype::findt);
  const bool in2 = ZQUTE1::INRANGE(T2, findtype::findt);
  // The activity term is R T ln a at the root itself.
  place(k, {in1, T1, dmudT1, dV1, dmudT1}, {in2, T2, dmudT2, dV2, dmudT2}, sd1, sd2, slope1, slope2);
}

void TURNREACTION(smallint k, extended P, extended T, extended xCO2, extended xH2O, extended lnav, extended muv) {
  if (CALCMODE != calcmodetype::phasecalc) {
    IO::PUTSTR(1, "call of turnreaction unexpected", 1, CHANNEL::TERMLOG);
    return;
  }
  extended Pd = P, Td = T;
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc:
    case diagramtype::txcalc: Td = T + TURNDT; break;
    case diagramtype::pxcalc: Pd = P + TURNDP; break;
    case diagramtype::plnacalc:
      SETLNAPSEUDO(lnav);
      Pd = P + TURNDP;
      break;
    case diagramtype::tlnacalc:
      SETLNAPSEUDO(lnav);
      Td = T + TURNDT;
      break;
    case diagramtype::pmucalc:
      SETMUPSEUDO(muv);
      Pd = P + TURNDP;
      break;
    case diagramtype::tmucalc:
      SETMUPSEUDO(muv);
      Td = T + TURNDT;
      break;
    default: IO::ERROREXIT("turnreaction", "unknown diagrammode", myfault);
  }
  extended dV = 0, dmudT = 0, dmu = 0;
  ZQCALC1::CALCDMU(k, dV, dmudT, dmu, Pd, Td, xCO2, xH2O);
  if (!(dmu > 0)) return;
  for (long j = 1; j <= NCV; ++j) (*R)(k, j) = static_cast<smallint>(-(*R)(k, j));
  ALNK[k] = -ALNK[k];
}

}  // namespace ZQCALC2
