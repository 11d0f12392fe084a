// Within one evaluation of the equilibrium equations: the compositions of
// the phases that take modes, the solvent proportions handed to the
// end-member energies, and the guards on site fractions and on the
// mass-balance rows a rank-deficient system leaves out.
#include <cmath>
#include <cstdio>
#include <memory>

#include "frame/constants.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "frame/zqute1.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"

using namespace ZQGLOBAL;

namespace ZQCALC2 {

namespace {

constexpr extended rankresidual = 1e-5L;    // largest residual a left-out mass-balance row may keep

using phasecomptype = fmatrix<extended, 1, maxssem, 1, maxcomp>;

// A real in exponent form, 12 characters wide.
std::string exponentform(extended v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%12.5LE", v);
  return buf;
}

}  // namespace

void nlefuncstate::CALCP() {
  phasecomptype c{"calcp c"};
  farray<extended, 1, maxssem> size{"calcp t"};
  fmatrix<extended, 1, maxssem, 1, maxssem - 1> d{"calcp d"};
  for (long p = 1; p <= NXPSS; ++p) {
    const ptype1& ph = (*PREC1)[MP2SS[p]];
    const smallint e = MP2X[p];
    const long n = ph.nprop;
    for (long kk = 1; kk <= NUV; ++kk) compcalc(p, kk) = 0;
    for (long m = 1; m <= n; ++m) {
      size[m] = 0;
      long kk = 0;
      for (long k = 1; k <= NUV; ++k) {
        if (!BCOMPS[k]) continue;
        c(m, ++kk) = static_cast<extended>(ph.em[m].comp[k]) / COMPDIV[k];
        size[m] = size[m] + c(m, kk) * ICOMP[k];
      }
    }
    extended sp = 0;
    for (long m = 1; m <= n; ++m) {
      const extended q = ZQUTE1::SUBSTERM(ph.prop[m], x, e);
      for (long kk = 1; kk <= NUVLEFT; ++kk) compcalc(p, kk) = compcalc(p, kk) + c(m, kk) * q;
      sp = sp + q * ph.em[m].formulasize;
    }
    // Proportions of mixed sign can cancel the formula sum: there is no
    // composition per atom at such a point.
    if (sp == 0) {
      ok = false;
      return;
    }
    for (long kk = 1; kk <= NUVLEFT; ++kk) compcalc(p, kk) = compcalc(p, kk) / sp;
    for (long m = 1; m <= n; ++m)
      for (long w = 1; w <= n - 1; ++w) d(m, w) = SUBSDIFFTERM(ph.prop[m], static_cast<smallint>(w), x, e);
    fmatrix<extended, 1, maxcomp, 1, maxssem>& dc = (*DCOMPDX)[p];
    for (long w = 1; w <= ph.nvar; ++w) {
      extended ds = 0;
      for (long m = 1; m <= n; ++m) ds = ds + d(m, w) * size[m];
      for (long kk = 1; kk <= NUVLEFT; ++kk) {
        extended sum = 0;
        for (long m = 1; m <= n; ++m) sum = sum + d(m, w) * c(m, kk);
        dc(kk, w) = (sum - compcalc(p, kk) * ds) / sp;
      }
    }
  }
  for (long p = NXPSS + 1; p <= NXP; ++p) {
    const ptype0& ph = (*PREC0)[MP2SS[p]];
    long kk = 0;
    for (long k = 1; k <= NUV; ++k) {
      if (!BCOMPS[k]) continue;
      ++kk;
      compcalc(p, kk) = static_cast<extended>(ph.comp[k]) / COMPDIV[k] / ph.formulasize;
    }
  }
}

void nlefuncstate::FDCALCDCOMPDX() {
  // Each CALCP below rewrites all of DCOMPDX analytically, so the
  // differences are kept aside and written once the last one has run.
  static std::unique_ptr<dcompdxarray> fd;
  if (!fd) fd = std::make_unique<dcompdxarray>();
  eqvector keep = x;
  farray<extended, 1, maxcomp> base{"fdcalcdcompdx base"};
  for (long p = 1; p <= NXPSS; ++p) {
    const ptype1& ph = (*PREC1)[MP2SS[p]];
    const long e = MP2X[p];
    for (long kk = 1; kk <= NUVLEFT; ++kk) base[kk] = compcalc(p, kk);
    for (long w = 1; w <= ph.nvar; ++w) {
      for (long v = 1; v <= NX; ++v) x[v] = keep[v];
      for (long kk = 1; kk <= NUVLEFT; ++kk) compcalc(p, kk) = base[kk];
      x[e + w - 1] = x[e + w - 1] + compfdstep;
      CALCP();
      for (long kk = 1; kk <= NUVLEFT; ++kk) (*fd)[p](kk, w) = (compcalc(p, kk) - base[kk]) / compfdstep;
    }
    for (long kk = 1; kk <= NUVLEFT; ++kk) compcalc(p, kk) = base[kk];
  }
  for (long v = 1; v <= NX; ++v) x[v] = keep[v];
  for (long p = 1; p <= NXPSS; ++p) {
    const long nxv = (*PREC1)[MP2SS[p]].nvar;
    for (long w = 1; w <= nxv; ++w)
      for (long kk = 1; kk <= NUVLEFT; ++kk) (*DCOMPDX)[p](kk, w) = (*fd)[p](kk, w);
  }
}

void nlefuncstate::HANDLEFLUID() {
  for (long j = 1; j <= NCV; ++j) {
    if (!STARTSS[j]) continue;
    const ptype1& ph = (*PREC1)[EM2SS[j]];
    const smallint e = EM2X[j];
    pco2 = 0;
    ph2o = 0;
    if (!ph.isfluid && ph.isaq) {
      if (ph.co2pos > 0) pco2 = ZQUTE1::SUBSTERM(ph.prop[ph.co2pos], x, e);
      if (ph.h2opos > 0) ph2o = ZQUTE1::SUBSTERM(ph.prop[ph.h2opos], x, e);
    }
    for (long m = 0; m < ph.nprop; ++m) {
      (*TD)(j + m, TDSLOT::XCO2) = pco2;
      (*TD)(j + m, TDSLOT::XH2O) = ph2o;
    }
  }
}

bool nlefuncstate::CHECKSF() {
  bool result = true;
  const bool quiet = DOINGMC || (DOGMIN && DOGLEVEL < 2) || FDPROBE;
  std::string& line = IO::WSTR;
  for (long j = 1; j <= NCV; ++j) {
    if (!STARTSS[j]) continue;
    const ptype1& ph = (*PREC1)[EM2SS[j]];
    const smallint e = EM2X[j];
    for (long f = 1; f <= ph.nsf; ++f) {
      const extended y = ZQUTE1::SUBSTERM(ph.sf[f], x, e);
      if (y > 0) continue;
      result = false;
      if (quiet) continue;
      farray<extended, 1, maxsf> sf{"checksf sf"};
      for (long g = 1; g <= ph.nsf; ++g) sf[g] = ZQUTE1::SUBSTERM(ph.sf[g], x, e);
      DUMPSITEFRACTIONS(ph, x, sf, 1, "      ", 6, line);
      if (DOGMIN) {
        IO::PUTSTR(1, "checksf, negative sf term - change starting guesses?", 1, CHANNEL::TERMSUMLOG);
      } else {
        IO::PUTSTR(1, "sorry - try changing starting guesses!", 1, CHANNEL::TERMSUMLOG);
        IO::ERROREXIT("calcsf", "negative sf term", yourfault);
      }
    }
  }
  if (!result && !FDPROBE) IO::WRITETERMINAL("*");
  return result;
}

void nlefuncstate::CHECKRANKDEFICIT(smallint i, extended r) {
  if (i <= NUVLEFT - RANKDEFICIT) return;
  if (std::fabs(r) < rankresidual) return;
  if (DOGMIN && DOGLEVEL < 2) return;
  // A probe of a debug level only reports: refused, never the end of the run.
  if (FDPROBE) {
    ok = false;
    return;
  }
  IO::WRITETERMINAL("residual (" + exponentform(r) + ") should be zero in rank-deficient case\n");
  if (DOGMIN) {
    IO::WRITETERMINAL("residuals not in reduced system - shouldn't have happened?\n");
    ok = false;
    return;
  }
  IO::ERROREXIT("nlefunc", "residuals not in reduced system", yourfault);
}

}  // namespace ZQCALC2
