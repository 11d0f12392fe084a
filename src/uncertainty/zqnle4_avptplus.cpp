// The avPT+ driver: the checks on the store, the run kind and basis, the
// weighted fits of the calculated variables, their report, the rock's side,
// and the choice between the brute-force table and the nominal solve.
#include <cmath>
#include <memory>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal_avptplus.h"
#include "frame/zqglobal_numerics.h"
#include "frame/zqglobal_script.h"
#include "frame/zqmath1.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"

namespace ZQNLE4 {

using namespace ZQGLOBAL;

namespace {

// The exponents of p and t of the three term sets.
constexpr int npolyone = 5;
constexpr int npolyboth = 13;
constexpr extended ipowboth[npolyboth] = {0, 1, 2, 3, 4, 0, 0, 0, 0, 1, 2, 1, 2};
constexpr extended jpowboth[npolyboth] = {0, 0, 0, 0, 0, 1, 2, 3, 4, 1, 1, 2, 2};

jxcalctype& calc(long k) { return (*JXCALC)[k]; }

// The first index 1..NPOLY-1 whose singular value counts beside the
// largest, NPOLY when none does.
smallint firstkept() {
  for (smallint m = 1; m < NPOLY; ++m)
    if (SSVD[m] > AVPTSVDKEEP * SSVD[NPOLY]) return m;
  return NPOLY;
}

// The least-squares solution of the decomposed matrix for the right-hand
// side b(k), k = 1..NJX, from the singular values ell..NPOLY, into coef.
template <class RHS>
void backsolve(smallint ell, RHS b, polyvector& coef) {
  for (long j = 1; j <= NPOLY; ++j) {
    extended s = 0;
    for (long m = ell; m <= NPOLY; ++m)
      for (long k = 1; k <= NJX; ++k) s += VSVD(j, m) * USVD(k, m) / SSVD[m] * b(k);
    coef[j] = s;
  }
}

}  // namespace

void avptplusstate::SETUPKIND() {
  if (NJX < AVPTMINCALCS) {
    IO::WRITETERMINAL(
        "\npseudosection field is too small or not there, starting guess \n"
        "problems, or calcT and/or calcP and/or diagramPT inappropriately set\n");
    IO::ERROREXIT("avptplus driver", "too few calcs, njx = " + IO::INT2STR(NJX), yourfault);
  }
  if (CONTROLJX.avptpluswithxco2 == yes) {
    WITHXCO2PREPROCESS();
    // what the preprocessing left is checked before it is compared, so that
    // a store it emptied is "too small" rather than at one P and one T
    if (NJX < AVPTMINFIT) IO::ERROREXIT("avpt+ driver", "njx too small", yourfault);
  }
  PTRY = calc(1).p;
  TTRY = calc(1).t;
  ONET = true;
  for (long k = 2; k <= NJX && ONET; ++k) ONET = std::fabs(calc(k).t - TTRY) < AVPTSAMEPT;
  ONEP = true;
  for (long k = 2; k <= NJX && ONEP; ++k) ONEP = std::fabs(calc(k).p - PTRY) < AVPTSAMEPT;
  if (ONET && ONEP) IO::ERROREXIT("avptplusdriver", "onep/onet mess", yourfault);
  IPOW.fill(0);
  JPOW.fill(0);
  if (ONET || ONEP) {
    NPOLY = npolyone;
    for (long k = 1; k <= npolyone; ++k) (ONET ? IPOW : JPOW)[k] = static_cast<extended>(k - 1);
  } else {
    NPOLY = npolyboth;
    for (long k = 1; k <= npolyboth; ++k) {
      IPOW[k] = ipowboth[k - 1];
      JPOW[k] = jpowboth[k - 1];
    }
  }
  if (AVPTCALCTYPE == calctypeavpt && (ONET || ONEP))
    IO::ERROREXIT("avptplusdriver", "cannot do avPT+ with calcs at just one P or T", yourfault);
  AVPPLUS = ONET || (!ONEP && AVPTCALCTYPE == calctypeavp);
  AVTPLUS = !ONET && (ONEP || AVPTCALCTYPE == calctypeavt);
  PMIN = PMAX = calc(1).p;
  TMIN = TMAX = calc(1).t;
  for (long k = 2; k <= NJX; ++k) {
    PMIN = std::fmin(PMIN, calc(k).p);
    PMAX = std::fmax(PMAX, calc(k).p);
    TMIN = std::fmin(TMIN, calc(k).t);
    TMAX = std::fmax(TMAX, calc(k).t);
  }
  if (NJX < AVPTMINFIT) IO::ERROREXIT("avpt+ driver", "njx too small", yourfault);
  for (long i = 1; i <= NJXXYZ; ++i) {
    XYZCONST[i] = true;
    for (long k = 2; k <= NJX && XYZCONST[i]; ++k)
      XYZCONST[i] = !(std::fabs(calc(k).xyz[i] - calc(1).xyz[i]) > AVPTSAMEXYZ);
  }
  PNOM = AVPGUESS;
  TNOM = AVTGUESS;
}

void avptplusstate::FITS() {
  bool ellfound = false;
  for (long i = 1; i <= NJXXYZ; ++i) {
    for (long j = 1; j <= maxpoly; ++j) PTCOEFF(i, j) = 0;
    if (XYZCONST[i]) {
      PTCOEFF(i, 1) = calc(1).xyz[i];
    } else {
      for (long k = 1; k <= NJX; ++k) {
        PTTERMS(calc(k).p, calc(k).t, IPOW, JPOW, POLY);
        for (long j = 1; j <= NPOLY; ++j) {
          calc(k).poly[j] = POLY[j];
          USVD(k, j) = POLY[j] / calc(k).sdxyz[i];
        }
      }
      ZQMATH1::CALCSVD(NJX, NPOLY);
      ELL = firstkept();
      ellfound = true;
      if (ELL > 1)
        IO::WRITETERMINAL("\nnot full rank for " + JXXYZNAME[i] + ": npoly = " + IO::INT2STR(NPOLY) +
                          ", ell = " + IO::INT2STR(ELL) + "\n");
      backsolve(ELL, [&](long k) { return calc(k).xyz[i] / calc(k).sdxyz[i]; }, COEFFROW);
      for (long j = 1; j <= NPOLY; ++j) PTCOEFF(i, j) = COEFFROW[j];
    }
    JXXYZ[i] = PTCOEFF(i, 1);
  }
  if (CONTROLJX.avptpluswithxco2 != yes) return;
  for (long k = 1; k <= NJX; ++k) {
    PTTERMS(calc(k).p, calc(k).t, IPOW, JPOW, POLY);
    for (long j = 1; j <= NPOLY; ++j) USVD(k, j) = POLY[j];
  }
  ZQMATH1::CALCSVD(NJX, NPOLY);
  // every variable constant: this fit finds its own cut by the same rule
  if (!ellfound) ELL = firstkept();
  backsolve(ELL, [&](long k) { return calc(k).xfluid; }, XCO2COEFF);
}

void avptplusstate::LISTS() {
  std::string s = "  " + RIGHTW(" P", 9) + RIGHTW("T", 9);
  for (long i = 1; i <= NJXXYZ; ++i) s += RIGHTW(JXXYZNAME[i], 9);
  s += "   \n";
  for (long k = 1; k <= NJX; ++k) {
    s += "  {" + FIXEDW(calc(k).p, 8, 2) + "," + FIXEDW(calc(k).t, 8, 1) + ",";
    for (long i = 1; i <= NJXXYZ; ++i) s += (i > 1 ? "," : "") + FIXEDW(calc(k).xyz[i], 8, 4);
    s += "},\n";
  }
  s += "\n";
  for (long i = 1; i <= NJXXYZ; ++i) {
    s += "{";
    for (long j = 1; j <= NPOLY; ++j) s += (j > 1 ? ", " : "") + FIXEDW(PTCOEFF(i, j), 13, 8);
    s += "},\n";
  }
  s += "\n";
  IO::WRITETERMINAL(s);
}

void avptplusstate::FITREPORT() {
  IO::PUTSTR(1, "difference between jx xyz and its poly", 2, CHANNEL::TERMSUMLOG);
  std::string w;
  IO::ADDSTR("xyz", 10, w);
  IO::ADDSTR("med e*", 10, w);
  IO::ADDSTR("max e*", 10, w);
  IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  for (long i = 1; i <= NJXXYZ; ++i) {
    for (long j = 1; j <= NPOLY; ++j) COEFFROW[j] = PTCOEFF(i, j);
    extended largest = 0;
    for (long k = 1; k <= NJX; ++k) {
      const jxcalctype& c = calc(k);
      SORTWORK[k] = std::fabs(SUMPTTERMS(c.p, c.t, COEFFROW, IPOW, JPOW) - c.xyz[i]) / c.sdxyz[i];
      largest = k == 1 ? SORTWORK[k] : std::fmax(largest, SORTWORK[k]);
    }
    w.clear();
    IO::ADDNAME(JXXYZNAME[i], 10, w);
    IO::ADDREAL(ZQMATH1::FINDMEDIAN(SORTWORK, NJX), 4, true, 10, w);
    IO::ADDREAL(largest, 4, true, 10, w);
    IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  }
}

void avptplusstate::ROCKSIDE() {
  smallint total = 0;
  for (long m = 1; m <= NMIN; ++m) total = static_cast<smallint>(total + MINERAL[m].nxyz);
  if (total != NJXXYZ) IO::ERROREXIT("avptplusdriver", "bung assembly of rockVxyz", yourfault);
  ROCKVXYZ.fill(0);
  long at = 0;
  for (long m = 1; m <= NMIN; ++m) {
    const mineraltype& mi = MINERAL[m];
    for (long a = 1; a <= mi.nxyz; ++a) {
      ROCKXYZ[at + a] = mi.xyz[a];
      for (long b = 1; b <= mi.nxyz; ++b) ROCKVXYZ(at + a, at + b) = mi.sdxyz[b] * mi.corxyz(a, b) * mi.sdxyz[a];
    }
    at += mi.nxyz;
  }
  for (long i = 1; i <= NJXXYZ; ++i) ROCKSD[i] = std::sqrt(ROCKVXYZ(i, i));
  INVERSESQRT(ROCKVXYZ, ROCKVIH, NJXXYZ);
}

void AVPTPLUSDRIVER() {
  IO::INTERNALCHECK(JXCALC != nullptr, "avptplusdriver", "the store of calculations was never made");
  const auto s = std::make_unique<avptplusstate>();
  s->SETUPKIND();
  s->FITS();
  if (AVPTINFOLEVEL >= 2) s->LISTS();
  if (AVPTINFOLEVEL >= 1) s->FITREPORT();
  s->ROCKSIDE();
  if (AVPTALGO == AVPTALGOAVERAGE) {
    s->AVERAGECOV();
    s->CALCJXVIH(0);
  }
  if (AVPTALGO == AVPTALGOBRUTEFORCE) {
    s->BRUTEFORCE(ROCKXYZ, s->JXXYZ);
    IO::HALT();
  }
  s->NOMINALANDLIMITS();
}

}  // namespace ZQNLE4
