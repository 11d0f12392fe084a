// The P-T polynomial basis of avPT+: the terms and their P and T
// derivatives at a point, the sums of coefficients times terms, and the
// terminal report of a fit.
#include <cmath>
#include <cstdio>

#include "frame/io.h"
#include "frame/zqglobal_avptplus.h"
#include "frame/zqglobal_numerics.h"
#include "frame/zqglobal_script.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"

namespace ZQNLE4 {

namespace {

constexpr extended pscale = 12;   // kbar of one unit of p
constexpr extended tscale = 300;  // degrees C of one unit of t
constexpr extended misfitpercent = 0.5L;  // a fit missing a calc by more than this % is counted

// x to the whole power e (held as a real, at least 0); a zero power gives 1
// without evaluating anything, so 0^0 never arises.
extended wholepower(extended x, extended e) {
  extended r = 1;
  const long n = std::lround(e);
  for (long k = 1; k <= n; ++k) r *= x;
  return r;
}

void scaled(extended P, extended T, extended& p, extended& t) {
  p = (P - ZQGLOBAL::AVPGUESS) / pscale;
  t = (T - ZQGLOBAL::AVTGUESS) / tscale;
}

}  // namespace

void PTTERMS(extended P, extended T, const polyvector& ipow, const polyvector& jpow, polyvector& terms) {
  extended p, t;
  scaled(P, T, p, t);
  for (long k = 1; k <= ZQGLOBAL::NPOLY; ++k) terms[k] = wholepower(p, ipow[k]) * wholepower(t, jpow[k]);
}

void DPTTERMS(extended P, extended T, const polyvector& ipow, const polyvector& jpow, polyvector& dp, polyvector& dt) {
  extended p, t;
  scaled(P, T, p, t);
  for (long k = 1; k <= ZQGLOBAL::NPOLY; ++k) {
    const extended i = ipow[k], j = jpow[k];
    if (i == 0 && j == 0) {
      dp[k] = 0;
      dt[k] = 0;
    } else if (j == 0) {
      dp[k] = i * wholepower(p, i - 1) / pscale;
      dt[k] = 0;
    } else if (i == 0) {
      dp[k] = 0;
      dt[k] = j * wholepower(t, j - 1) / tscale;
    } else {
      dp[k] = i * wholepower(p, i - 1) * wholepower(t, j) / pscale;
      dt[k] = j * wholepower(p, i) * wholepower(t, j - 1) / tscale;
    }
  }
}

extended SUMPTTERMS(extended p, extended t, const polyvector& coef, const polyvector& ipow, const polyvector& jpow) {
  polyvector terms;
  PTTERMS(p, t, ipow, jpow, terms);
  extended s = 0;
  for (long k = 1; k <= ZQGLOBAL::NPOLY; ++k) s += coef[k] * terms[k];
  return s;
}

void SUMDPTTERMS(const polyvector& coef, const polyvector& ipow, const polyvector& jpow, extended p, extended t,
                 extended& fp, extended& ft) {
  polyvector dp, dt;
  DPTTERMS(p, t, ipow, jpow, dp, dt);
  fp = 0;
  ft = 0;
  for (long k = 1; k <= ZQGLOBAL::NPOLY; ++k) {
    fp += coef[k] * dp[k];
    ft += coef[k] * dt[k];
  }
}

void SETUPINFO(const polyvector& ipow, const polyvector& jpow) {
  using namespace ZQGLOBAL;
  std::string s = "\nsingular values\n";
  for (long k = 1; k <= NPOLY; ++k) s += RIGHTW(std::to_string(k), 2) + FIXEDW(SSVD[k], 22, 9);
  s += "\n\ncoeff\n";
  for (long i = 1; i <= NJXXYZ; ++i) {
    s += "{";
    for (long k = 1; k <= NPOLY; ++k) s += (k > 1 ? ", " : "") + FIXEDW(PTCOEFF(i, k), 13, 6);
    s += "},\n";
  }
  s += "\n" + std::string(20, ' ');
  for (long i = 1; i <= NJXXYZ; ++i) s += RIGHTW(JXXYZNAME[i], 10);
  s += "\n" + std::string(20, ' ');
  polyvector coef;
  for (long i = 1; i <= NJXXYZ; ++i) {
    for (long k = 1; k <= NPOLY; ++k) coef[k] = PTCOEFF(i, k);
    int bad = 0;
    for (long c = 1; c <= NJX; ++c) {
      const jxcalctype& r = (*JXCALC)[c];
      const extended f = SUMPTTERMS(r.p, r.t, coef, ipow, jpow);
      if (std::fabs(100 * (r.xyz[i] - f) / r.xyz[i]) > misfitpercent) ++bad;
    }
    s += RIGHTW(bad == 0 ? "-" : std::to_string(bad), 10);
  }
  s += "\n";
  IO::WRITETERMINAL(s);
}

}  // namespace ZQNLE4
