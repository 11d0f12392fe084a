// Gibbs energy, equilibrium constant and affinity of one reaction of R.
#include <cmath>
#include <cstdint>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc1.h"

using namespace ZQGLOBAL;

namespace ZQCALC1 {

namespace {

// Forward-difference steps of the reaction volume and entropy.
constexpr extended reactiondP = 1e-5L;   // kbar
constexpr extended reactiondT = 0.001L;  // K

// Sum of nu G over reaction k, nu from R, G from g.
extended reactionsum(smallint k, const emvector& g) {
  extended sum = 0;
  for (long j = 1; j <= NCV; ++j) {
    const smallint nu = (*R)(k, j);
    if (nu == 0) continue;
    sum = sum + nu * g[j];
  }
  return sum;
}

// The end-member energies of the last PREPAREDG0.
struct preparedpoint {
  emvector g{"dg0 g"}, gp{"dg0 gp"}, gt{"dg0 gt"};  // at (P, T), (P + dP, T), (P, T + dT)
  farray<bool, 1, maxem> used{"dg0 used"};          // in some reaction
  bool pstep = false, tstep = false;
};
preparedpoint prepared;

void addtongem(std::uint32_t n) { IO::NGEM = static_cast<longint>(static_cast<std::uint32_t>(IO::NGEM) + n); }

}  // namespace

void PREPAREDG0(bool pstep, bool tstep, extended P, extended T) {
  if (NR < 1) return;
  if (T <= 0) IO::ERROREXIT("calcdg0", "T <= 0 !", myfault);
  preparedpoint& d = prepared;
  d.pstep = pstep;
  d.tstep = tstep;
  // GEM calls of one evaluation of each end-member: one, or a made
  // end-member's recipe.
  std::uint32_t once = 0, made = 0;
  iemvector calls{"dg0 calls"};
  for (long j = 1; j <= NCV; ++j) {
    d.used[j] = false;
    for (long k = 1; k <= NR && !d.used[j]; ++k) d.used[j] = (*R)(k, j) != 0;
  }
  HELDSTEP hold;
  for (long j = 1; j <= NCV; ++j) {
    if (!d.used[j]) continue;
    const auto before = static_cast<std::uint32_t>(IO::NGEM);
    GEMDRIVER(static_cast<smallint>(j), P, T, d.g[j]);
    calls[j] = static_cast<smallint>(static_cast<std::uint32_t>(IO::NGEM) - before);
    once += static_cast<std::uint32_t>(calls[j]);
  }
  if (pstep) {
    hold.STEPPED();
    for (long j = 1; j <= NCV; ++j)
      if (d.used[j]) GEMDRIVER(static_cast<smallint>(j), P + reactiondP, T, d.gp[j]);
  }
  if (tstep) {
    hold.STEPPED();
    for (long j = 1; j <= NCV; ++j)
      if (d.used[j]) GEMDRIVER(static_cast<smallint>(j), P, T + reactiondT, d.gt[j]);
  }
  made = once * (1u + (pstep ? 1u : 0u) + (tstep ? 1u : 0u));
  std::uint32_t asked = 0;
  for (long k = 1; k <= NR; ++k)
    for (long j = 1; j <= NCV; ++j)
      if ((*R)(k, j) != 0) asked += 3u * static_cast<std::uint32_t>(calls[j]);
  addtongem(asked - made);
}

void PREPAREDDG0(smallint k, extended& dV, extended& dGdT, extended& dG0) {
  const preparedpoint& d = prepared;
  dG0 = reactionsum(k, d.g);
  dV = d.pstep ? (reactionsum(k, d.gp) - dG0) / reactiondP : 0;
  dGdT = d.tstep ? (reactionsum(k, d.gt) - dG0) / reactiondT : 0;
}

void CALCDG0(smallint k, extended& dV, extended& dGdT, extended& dG0, extended P, extended T) {
  if (T <= 0) IO::ERROREXIT("calcdg0", "T <= 0 !", myfault);
  iemvector nu{"calcdg0 nu"};
  for (long j = 1; j <= NCV; ++j) nu[j] = (*R)(k, j);
  // Sum of nu G over the reaction at (P', T').
  const auto CALC = [&nu](extended Pd, extended Td) {
    extended sum = 0;
    for (long j = 1; j <= NCV; ++j) {
      if (nu[j] == 0) continue;
      extended G = 0;
      GEMDRIVER(static_cast<smallint>(j), Pd, Td, G);
      sum = sum + nu[j] * G;
    }
    return sum;
  };
  HELDSTEP hold;
  dG0 = CALC(P, T);
  hold.STEPPED();
  dV = (CALC(P + reactiondP, T) - dG0) / reactiondP;
  hold.STEPPED();
  dGdT = (CALC(P, T + reactiondT) - dG0) / reactiondT;
}

void CALCLNK(smallint k, extended& lnK, extended, extended, extended xCO2, extended xH2O) {
  lnK = 0;
  for (long j = 1; j <= NCV; ++j) {
    const smallint nu = (*R)(k, j);
    if (nu == 0) continue;
    if (ACTIVITY[j] <= 0) IO::ERROREXIT("calclnk", "ln<=0", myfault);
    lnK = lnK + nu * std::log(ACTIVITY[j]);
  }
  if (CO2POS > 0 && xCO2 > 0 && xCO2 < 1 && (*R)(k, CO2POS) != 0) lnK = lnK + (*R)(k, CO2POS) * std::log(xCO2);
  if (H2OPOS > 0 && xH2O > 0 && xH2O < 1 && (*R)(k, H2OPOS) != 0) lnK = lnK + (*R)(k, H2OPOS) * std::log(xH2O);
  if (AQSIPOS > 0 && H2OPOS > 0) {
    const smallint m = static_cast<smallint>((*R)(k, AQSIPOS) * NAQSI);
    if (xH2O > 0 && xH2O < 1 && m != 0) lnK = lnK - m * std::log(xH2O);
  }
}

void CALCDMU(smallint k, extended& dV, extended& dmudT, extended& dmu, extended P, extended T, extended xCO2,
             extended xH2O) {
  const extended Rgas = CONST::RGAS;
  for (long j = 1; j <= NCV; ++j) {
    if ((*R)(k, j) == 0) continue;
    (*TD)(j, TDSLOT::XCO2) = xCO2;
    (*TD)(j, TDSLOT::XH2O) = xH2O;
  }
  CALCDG0(k, dV, dmudT, dmu, P, T);
  extended lnK = 0;
  CALCLNK(k, lnK, P, T, xCO2, xH2O);
  dmu = dmu + T * Rgas * lnK;
  dmudT = dmudT + Rgas * lnK;
}

}  // namespace ZQCALC1
