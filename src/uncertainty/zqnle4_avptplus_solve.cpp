// The avPT+ solve with errors on both sides, and the covariance of the
// calculated side it uses: from one stored calculation, from medians over
// all of them, and its inverse square root.
#include <cmath>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal_avptplus.h"
#include "frame/zqglobal_numerics.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_windows.h"
#include "frame/zqmath1.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"

namespace ZQNLE4 {

using namespace ZQGLOBAL;

namespace {

// Walks the stored correlations m = 1..NCOR over their pairs (i, j), j < i:
// (2,1), (3,1), (3,2), (4,1), ..
template <class F>
void eachpair(F f) {
  long m = 0;
  for (long i = 2; i <= NJXXYZ; ++i)
    for (long j = 1; j < i; ++j) {
      if (++m > NCOR) return;
      f(m, i, j);
    }
}

}  // namespace

void avptplusstate::INVERSESQRT(const invmatrix& c, invmatrix& vih, smallint n) {
  if (n < 1) return;
  for (long i = 1; i <= n; ++i)
    for (long j = 1; j <= n; ++j) USVD(i, j) = c(i, j);
  ZQMATH1::CALCSVD(n, n);
  // the smallest value first; a singular covariance has no inverse root
  if (!(SSVD[1] > AVPTCOVSINGULAR * SSVD[n]))
    IO::ERROREXIT("avptplusdriver", "covariance not positive definite", yourfault);
  for (long i = 1; i <= n; ++i)
    for (long j = 1; j <= n; ++j) {
      extended s = 0;
      for (long m = 1; m <= n; ++m) s += VSVD(i, m) * USVD(j, m) / std::sqrt(SSVD[m]);
      vih(i, j) = s;
    }
}

void avptplusstate::SINGLECOV(smallint k) {
  const jxcalctype& c = (*JXCALC)[k];
  for (long i = 1; i <= NJXXYZ; ++i) {
    JXSD[i] = c.sdxyz[i];
    JXVXYZ(i, i) = c.sdxyz[i] * c.sdxyz[i];
  }
  eachpair([&](long m, long i, long j) { JXVXYZ(i, j) = JXVXYZ(j, i) = c.sdxyz[j] * c.cor[m] * c.sdxyz[i]; });
}

void avptplusstate::AVERAGECOV() {
  for (long i = 1; i <= NJXXYZ; ++i) {
    for (long k = 1; k <= NJX; ++k) SORTWORK[k] = (*JXCALC)[k].sdxyz[i];
    JXSD[i] = ZQMATH1::FINDMEDIAN(SORTWORK, NJX);
  }
  for (long i = 1; i <= NJXXYZ; ++i)
    for (long j = 1; j <= NJXXYZ; ++j) JXVXYZ(i, j) = 0;
  for (long i = 1; i <= NJXXYZ; ++i) JXVXYZ(i, i) = JXSD[i] * JXSD[i];
  eachpair([&](long m, long i, long j) {
    for (long k = 1; k <= NJX; ++k) SORTWORK[k] = (*JXCALC)[k].cor[m];
    const extended c = std::fmax(-AVPTCORCLIP, std::fmin(AVPTCORCLIP, ZQMATH1::FINDMEDIAN(SORTWORK, NJX)));
    JXVXYZ(i, j) = JXVXYZ(j, i) = JXSD[j] * JXSD[i] * c;
  });
}

void avptplusstate::CALCJXVIH(smallint /*k*/) { INVERSESQRT(JXVXYZ, JXVIH, NJXXYZ); }

bool avptplusstate::AVPTPLUS(const xyzvector& rock, const xyzvector& jx, smallint k, extended& p, extended& t,
                             extended& sigfit, bool info) {
  const long n = NJXXYZ;
  const bool trace = info && AVPTINFOLEVEL > 0;
  ++NAVPTPLUS;
  if (k > 0) SINGLECOV(k);
  // f_i(P, T), with calculated variable i's constant term from jx
  auto coeffs = [&](long i) {
    COEFFROW[1] = jx[i];
    for (long j = 2; j <= NPOLY; ++j) COEFFROW[j] = PTCOEFF(i, j);
  };
  // The basis terms and their derivatives hang on (p, t) alone: made once
  // per step and summed against each variable's coefficients.
  polyvector terms, dterms_p, dterms_t;
  const auto dot = [&](const polyvector& v) {
    extended s = 0;
    for (long j = 1; j <= NPOLY; ++j) s += COEFFROW[j] * v[j];
    return s;
  };
  PTTERMS(p, t, IPOW, JPOW, terms);
  for (long i = 1; i <= n; ++i) {
    coeffs(i);
    XYZSIDES[i] = rock[i];
    XYZSIDES[n + i] = dot(terms);
  }
  invmatrix sum, W;
  for (long i = 1; i <= n; ++i)
    for (long j = 1; j <= n; ++j) sum(i, j) = ROCKVXYZ(i, j) + JXVXYZ(i, j);
  INVERSE(sum, W, static_cast<smallint>(n));
  for (long i = 1; i <= 2 * n; ++i) XYZOPT[i] = XYZSIDES[i];

  fmatrix<extended, 1, maxjxxyz, 1, 2> A;
  xyzvector r, z, v;
  extended dP = 0, dT = 0, d = 0, a1 = 0;
  bool converged = false, outside = false;
  for (smallint it = 1; it <= AVPTMAXIT && !converged && !outside; ++it) {
    PTTERMS(p, t, IPOW, JPOW, terms);
    DPTTERMS(p, t, IPOW, JPOW, dterms_p, dterms_t);
    for (long i = 1; i <= n; ++i) {
      coeffs(i);
      const extended f = dot(terms);
      XYZSIDES[n + i] = f;
      A(i, 1) = -dot(dterms_p);
      A(i, 2) = -dot(dterms_t);
      r[i] = rock[i] - f;
    }
    // N = A^T W A and g = A^T W r
    extended N11 = 0, N12 = 0, N21 = 0, N22 = 0, g1 = 0, g2 = 0;
    for (long i = 1; i <= n; ++i)
      for (long j = 1; j <= n; ++j) {
        N11 += A(i, 1) * W(i, j) * A(j, 1);
        N12 += A(i, 1) * W(i, j) * A(j, 2);
        N21 += A(i, 2) * W(i, j) * A(j, 1);
        N22 += A(i, 2) * W(i, j) * A(j, 2);
        g1 += A(i, 1) * W(i, j) * r[j];
        g2 += A(i, 2) * W(i, j) * r[j];
      }
    if (AVPPLUS) {
      a1 = N11;
      dP = -g1 / N11;
      dT = 0;
    } else if (AVTPLUS) {
      a1 = N22;
      dP = 0;
      dT = -g2 / N22;
    } else {
      const extended det = N11 * N22 - N12 * N21;
      dP = -(N22 * g1 - N21 * g2) / det;
      dT = -(N11 * g2 - N12 * g1) / det;
    }
    p += dP;
    t += dT;
    outside = p < FIGPLOW || p > FIGPHIGH || t < FIGTLOW - CONST::KELVIN || t > FIGTHIGH - CONST::KELVIN;
    if (outside) break;
    for (long i = 1; i <= n; ++i) v[i] = r[i] + A(i, 1) * dP + A(i, 2) * dT;
    for (long i = 1; i <= n; ++i) {
      extended s = 0;
      for (long j = 1; j <= n; ++j) s += W(i, j) * v[j];
      z[i] = s;
    }
    d = 0;
    for (long i = 1; i <= n; ++i) {
      extended rs = 0, js = 0;
      for (long j = 1; j <= n; ++j) {
        rs += ROCKVXYZ(i, j) * z[j];
        js += JXVXYZ(i, j) * z[j];
      }
      XYZOPT[i] = XYZSIDES[i] - rs;
      XYZOPT[n + i] = XYZSIDES[n + i] + js;
      d += (XYZOPT[i] - XYZOPT[n + i]) * (XYZOPT[i] - XYZOPT[n + i]);
    }
    d = std::sqrt(d);
    converged = std::fabs(dP) < AVPTDPCONV && std::fabs(dT) < AVPTDTCONV && d < AVPTZCONV;
    if (trace) {
      std::string line = it == 1 ? "\niteration info\n" : "";
      line += RIGHTW(std::to_string(it), 2);
      if (AVPPLUS)
        line += ": P = " + FIXEDW(p, 8, 3) + ", dP = " + FIXEDW(dP, 10, 6) + ", ||z|| = " + FIXEDW(d, 12, 8);
      else if (AVTPLUS)
        line += ": dT = " + FIXEDW(dT, 10, 6) + ", ||z|| = " + FIXEDW(d, 12, 8);
      else
        line += ": dP = " + FIXEDW(dP, 8, 4) + ", dT = " + FIXEDW(dT, 8, 3) + ", ||z|| = " + FIXEDW(d, 9, 6);
      IO::WRITETERMINAL(line + "\n");
    }
  }
  if (trace) {
    std::string line = converged ? "converged\n" : outside ? "failed (outside of PT data range)\n" : "NOT converged\n";
    if (converged && (AVPPLUS || AVTPLUS)) line += "(??sd(avP/T+) = " + FIXEDW(std::sqrt(1 / a1), 8, 2) + ")\n";
    IO::WRITETERMINAL(line + "\n");
  }
  if (!converged) {
    if (!AVTPLUS) p = 0;
    if (!AVPPLUS) t = 0;
    sigfit = 0;
    for (long i = 1; i <= n; ++i) XYZOPTSD[i] = 0;
    return false;
  }
  if (k > 0) CALCJXVIH(k);
  extended s = 0;
  for (long i = 1; i <= n; ++i) {
    extended er = 0, ej = 0;
    for (long j = 1; j <= n; ++j) {
      er += ROCKVIH(i, j) * (XYZSIDES[j] - XYZOPT[j]);
      ej += JXVIH(i, j) * (XYZSIDES[n + j] - XYZOPT[n + j]);
    }
    ESTAR[i] = er;
    ESTAR[n + i] = ej;
    s += er * er + ej * ej;
  }
  const extended q = AVPPLUS || AVTPLUS ? 2 * n : 2 * n - 2;
  sigfit = std::sqrt(s / q);
  for (long i = 1; i <= n; ++i) {
    extended rwr = 0;
    for (long a = 1; a <= n; ++a)
      for (long b = 1; b <= n; ++b) rwr += ROCKVXYZ(i, a) * W(a, b) * ROCKVXYZ(b, i);
    XYZOPTSD[i] = std::sqrt(ROCKVXYZ(i, i) - rwr);
  }
  return true;
}

}  // namespace ZQNLE4
