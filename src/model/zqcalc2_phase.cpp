// Gibbs energy, entropy, volume, enthalpy and density of the phases of a
// solved point and of the system, by forward differences of the end-members'
// chemical potentials.
#include <cmath>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"

using namespace ZQGLOBAL;

namespace ZQCALC2 {

namespace {

// Forward-difference steps of the phase entropies and volumes.
constexpr extended phasedP = 2e-5L;  // kbar
constexpr extended phasedT = 2e-4L;  // K

// The row of the element/oxide table named like component i, 0 when none.
long oxiderow(long i) {
  for (long j = 1; j <= maxcomp; ++j)
    if (OXNAME[j] == COMPNAME[i]) return j;
  return 0;
}

// Molar mass of a formula unit: every system component counts through its
// own oxide row, free or not, as the volume is the whole formula unit's.
extended formulamass(const cvector& comp) {
  extended M = 0;
  for (long k = 1; k <= NUV; ++k) {
    if (comp[k] == 0) continue;
    const long row = oxiderow(k);
    if (row == 0) IO::ERROREXIT("calcgphase", COMPNAME[k] + " not found??", yourfault);
    M = M + comp[k] * MOLWT[row];
  }
  return M;
}

// The activities at x, P and T, without derivatives.
void activitiesat(const eqvector& x, extended P, extended T) {
  // CALCA writes no derivative with both switches off; one buffer serves.
  static dRTlnadxtype& nodrtlnadx = *new dRTlnadxtype("calcallg drtlnadx");
  static emvector nodrtlnadp{"calcallg drtlnadp"}, nodrtlnadt{"calcallg drtlnadt"};
  CALCA(x, false, false, nodrtlnadp, nodrtlnadt, nodrtlnadx, P, T);
}

}  // namespace

void CALCALLG(const bemvector& present, const eqvector& x, emvector& g, emvector& mu, extended P, extended T,
              extended xco2, extended xh2o) {
  long n = 0;
  const auto evaluate = [&](long row) {
    (*TD)(row, TDSLOT::XCO2) = xco2;
    (*TD)(row, TDSLOT::XH2O) = xh2o;
    ZQCALC1::GEMDRIVER(static_cast<smallint>(row), P, T, g[row]);
  };
  for (long i = 1; i <= NCV; ++i) {
    if (!STARTSS[i]) continue;
    const long nem = (*PREC1)[EM2SS[i]].nprop;
    for (long e = 1; e <= nem; ++e) evaluate(++n);
  }
  for (long i = 1; i <= NP0; ++i)
    if (present[NPSS + i]) evaluate(++n);
  activitiesat(x, P, T);
  for (long j = 1; j <= n; ++j) mu[j] = g[j] + CONST::RGAS * T * std::log(ACTIVITY[j]);
}

void MAKEMW2C(icvector& map) {
  long m = 0;
  for (long i = 1; i <= NUV; ++i) {
    if (!BCOMPS[i]) continue;
    ++m;
    const long row = oxiderow(i);
    if (row == 0) IO::ERROREXIT("makemw2c", COMPNAME[i] + " not found??", yourfault);
    map[m] = static_cast<smallint>(row);
  }
}

void CALCGPHASE(const bemvector& present, const eqvector& x, extended P, extended T, extended xco2, extended xh2o) {
  const extended R = CONST::RGAS;
  icvector map{"calcgphase map"};
  MAKEMW2C(map);
  emvector gP{"calcgphase gP"}, muP{"calcgphase muP"}, gT{"calcgphase gT"}, muT{"calcgphase muT"}, g0{"calcgphase g0"},
      mu0{"calcgphase mu0"};
  {
    // The steps hold the point's own choices, so the point is evaluated
    // first; its activities are formed again after them, to be the ones
    // left behind.
    ZQCALC1::HELDSTEP hold;
    CALCALLG(present, x, g0, mu0, P, T, xco2, xh2o);
    hold.STEPPED();
    CALCALLG(present, x, gP, muP, P + phasedP, T, xco2, xh2o);
    hold.STEPPED();
    CALCALLG(present, x, gT, muT, P, T + phasedT, xco2, xh2o);
  }
  activitiesat(x, P, T);

  for (long i = 1; i <= maxmodeset; ++i) {
    SU.gsys[i] = 0;
    SU.hsys[i] = 0;
    SU.ssys[i] = 0;
    SU.vsys[i] = 0;
  }
  const bool modes = MODESBYNLE || MODESAFTERNLE;

  // Density and the phase's share of the system sums.
  const auto finish = [&](suphasetype& ph, const char* zerovolume) {
    const extended M = formulamass(ph.comp);
    if (ph.v == 0) IO::ERROREXIT("calcgphase", zerovolume, yourfault);
    ph.rho = M / (CONST::CM3PERKJKBAR * ph.v);
    if (!modes) return;
    for (long i = 1; i <= SU.nmodeset; ++i) {
      const extended w = ph.mode[i] * ph.modefac[i];
      SU.gsys[i] = SU.gsys[i] + w * ph.g;
      SU.hsys[i] = SU.hsys[i] + w * ph.h;
      SU.ssys[i] = SU.ssys[i] + w * ph.s;
      SU.vsys[i] = SU.vsys[i] + w * ph.v;
    }
  };

  long n = 0, k = 0;
  for (long i = 1; i <= NCV; ++i) {
    if (!STARTSS[i]) continue;
    const ptype1& pr = (*PREC1)[EM2SS[i]];
    suphasetype& ph = SU.ph[++k];
    ph.g = ph.s = ph.v = ph.h = 0;
    for (long j = 1; j <= pr.nprop; ++j) {
      ++n;
      const extended pj = ZQUTE1::SUBSTERM(pr.prop[j], x, EM2X[i]);
      ph.p[j] = pj;
      ph.rtlna[j] = R * T * std::log(ACTIVITY[n]);
      ph.gem[j] = g0[n];
      const extended Sn = -(muT[n] - mu0[n]) / phasedT;
      const extended Vn = (muP[n] - mu0[n]) / phasedP;
      ph.g = ph.g + pj * mu0[n];
      ph.s = ph.s + pj * Sn;
      ph.v = ph.v + pj * Vn;
      ph.h = ph.h + pj * (mu0[n] + T * Sn);
    }
    finish(ph, "vph=0");
  }
  for (long i = 1; i <= NP0; ++i) {
    if (!present[NPSS + i]) continue;
    ++n;
    suphasetype& ph = SU.ph[++k];
    // The phase's own G, S, V and H: its fixed activity, which its mu
    // carries, is added to G alone, once.
    ph.gem[1] = g0[n];
    ph.rtlna[1] = 0;
    ph.g = ph.gem[1];
    ph.s = -(gT[n] - g0[n]) / phasedT;
    ph.v = (gP[n] - g0[n]) / phasedP;
    ph.h = g0[n] + T * ph.s;
    const extended a = (*PREC0)[i].activity;
    if (a != 1) {
      ph.rtlna[1] = R * T * std::log(a);
      ph.g = ph.g + ph.rtlna[1];
    }
    finish(ph, "vph=0 2");
  }

  if (!modes) return;
  // The mass of the bulk whose atoms weighted the row's modes.
  for (long i = 1; i <= SU.nmodeset; ++i) {
    const smallint k = MODEROWSTEP(static_cast<smallint>(i));
    extended Mb = 0;
    for (long m = 1; m <= NUVLEFT; ++m) Mb = Mb + SU.bulk(k, m) * MOLWT[map[m]];
    SU.rhosys[i] = SU.vsys[i] == 0 ? 0 : Mb / (CONST::CM3PERKJKBAR * SU.vsys[i]);
  }
}

smallint MODEROWSTEP(smallint r) {
  return static_cast<smallint>(SU.firstmodeset + (OVARIANCE == 1 ? (r - 1) / 2 : r - 1));
}

}  // namespace ZQCALC2
