// The weighted least-squares solution of calc mode 9: Householder QR of
// the weighted design matrix, or the normal equations and their Cholesky
// factor; either leaves the enthalpies, the variance of unit weight, their
// unscaled covariance and the leverage of every row.
#include <cmath>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

// A pivot this small beside what its column or diagonal held at the start
// is zero up to rounding: the end-member is not fixed by the data, and a
// solve past it would give a huge enthalpy as if it were one.
constexpr long double pivotfraction = 1e-12L;

extended weighted(smallint r, smallint j) {
  return (*B)(r, j) ? static_cast<extended>((*LHS)(r, j)) / SDYBR[r] : 0.0L;
}

// SIG2 from the sum of squared weighted residuals of m rows and n unknowns.
void setsig2(extended sum, smallint m, smallint n) { SIG2 = n < m ? sum / (m - n) : sum; }

void leverages(smallint m, smallint n) {
  for (smallint r = 1; r <= m; ++r) {
    extended sum = 0;
    for (smallint j = 1; j <= n; ++j) {
      if (!(*B)(r, j)) continue;
      for (smallint l = 1; l <= n; ++l)
        if ((*B)(r, l)) sum += (*LHS)(r, j) * (*XX)(l, j) * (*LHS)(r, l);
    }
    (*HAT)[r] = sum / (SDYBR[r] * SDYBR[r]);
  }
}

void fillsymmetric(smallint n) {
  for (smallint k = 1; k <= n; ++k)
    for (smallint j = k + 1; j <= n; ++j) (*XX)(j, k) = (*XX)(k, j);
}

// One Householder step on column k of rows k..m, applied to the later
// columns and to the observations.
void householder(smallint k, smallint m, smallint n, extended scale) {
  static yvector v{"householder v"};
  xxmatrix& x = *XX;
  extended ss = 0;
  for (smallint i = k; i <= m; ++i) {
    v[i] = x(i, k) / scale;
    ss += v[i] * v[i];
  }
  const extended alpha = v[k];
  const extended sigma = alpha >= 0 ? -std::sqrt(ss) : std::sqrt(ss);
  const extended h = alpha * sigma - ss;
  v[k] = alpha - sigma;
  x(k, k) = scale * sigma;
  for (smallint j = k + 1; j <= n; ++j) {
    extended t = 0;
    for (smallint i = k; i <= m; ++i) t += x(i, j) * v[i];
    for (smallint i = k; i <= m; ++i) x(i, j) += v[i] * t / h;
  }
  extended t = 0;
  for (smallint i = k; i <= m; ++i) t += (*YY)[i] * v[i];
  for (smallint i = k; i <= m; ++i) (*YY)[i] += v[i] * t / h;
}

// C = (R'R)^-1 over R in the upper triangle, in place.
void qrcovariance(smallint n) {
  static yvector w{"qr w"};
  xxmatrix& x = *XX;
  x(n, n) = 1.0L / (x(n, n) * x(n, n));
  for (smallint k = static_cast<smallint>(n - 1); k >= 1; --k) {
    const extended c = -1.0L / x(k, k);
    for (smallint j = k + 1; j <= n; ++j) w[j] = x(k, j);
    extended acc = 0;
    for (smallint j = k + 1; j <= n; ++j) {
      extended t = 0;
      for (smallint l = k + 1; l <= j; ++l) t += x(l, j) * w[l];
      for (smallint l = j + 1; l <= n; ++l) t += x(j, l) * w[l];
      acc += w[j] * t;
      x(k, j) = c * t;
    }
    x(k, k) = (acc + 1) * c * c;
  }
}

}  // namespace

void QR() {
  static yvector colsum{"qr column sums"};
  const smallint m = NEXP, n = NTP;
  xxmatrix& x = *XX;
  if (n < 1) IO::ERROREXIT("qr", "matrix is singular", yourfault);
  for (smallint r = 1; r <= m; ++r) {
    for (smallint j = 1; j <= n; ++j) x(r, j) = weighted(r, j);
    (*YY)[r] = (*Y)[r] / SDYBR[r];
  }
  for (smallint j = 1; j <= n; ++j) {
    colsum[j] = 0;
    for (smallint r = 1; r <= m; ++r) colsum[j] += std::fabs(x(r, j));
  }
  for (smallint k = 1; k <= n; ++k) {
    extended scale = 0;
    for (smallint i = k; i <= m; ++i) scale += std::fabs(x(i, k));
    if (scale == 0 || scale <= pivotfraction * colsum[k]) IO::ERROREXIT("qr", "matrix is singular", yourfault);
    householder(k, m, n, scale);
  }
  (*THETA)[n] = (*YY)[n] / x(n, n);
  for (smallint k = static_cast<smallint>(n - 1); k >= 1; --k) {
    extended s = (*YY)[k];
    for (smallint j = k + 1; j <= n; ++j) s -= x(k, j) * (*THETA)[j];
    (*THETA)[k] = s / x(k, k);
  }
  extended sum = 0;
  for (smallint i = n + 1; i <= m; ++i) sum += (*YY)[i] * (*YY)[i];
  setsig2(sum, m, n);
  qrcovariance(n);
  fillsymmetric(n);
  leverages(m, n);
}

void CHOLESKI() {
  IO::PUTSTR(1, "constructing LSQ for choleski...", 2, CHANNEL::TERMLOG);
  const smallint m = NEXP, n = NTP;
  xxmatrix& x = *XX;
  if (n < 1) IO::ERROREXIT("choleski", "sqrt", yourfault);
  for (smallint k = 1; k <= n; ++k) {
    (*YY)[k] = 0;
    for (smallint j = 1; j <= n; ++j) x(k, j) = 0;
  }
  for (smallint r = 1; r <= m; ++r) {
    const extended w = 1.0L / (SDYBR[r] * SDYBR[r]);
    for (smallint k = 1; k <= n; ++k) {
      if (!(*B)(r, k)) continue;
      (*YY)[k] += (*Y)[r] * (*LHS)(r, k) * w;
      for (smallint j = 1; j <= n; ++j)
        if ((*B)(r, j)) x(k, j) += static_cast<extended>((*LHS)(r, j) * (*LHS)(r, k)) * w;
    }
  }
  // The factor L in the lower triangle; the diagonal of N is kept aside
  // for the pivot test.
  for (smallint i = 1; i <= n; ++i) {
    for (smallint j = 1; j < i; ++j) {
      extended s = x(i, j);
      for (smallint l = 1; l < j; ++l) s -= x(j, l) * x(i, l);
      x(i, j) = s / x(j, j);
    }
    extended d = x(i, i);
    for (smallint l = 1; l < i; ++l) d -= x(i, l) * x(i, l);
    if (d <= pivotfraction * x(i, i)) IO::ERROREXIT("choleski", "sqrt", yourfault);
    x(i, i) = std::sqrt(d);
  }
  for (smallint i = 1; i <= n; ++i) {
    extended s = (*YY)[i];
    for (smallint l = 1; l < i; ++l) s -= x(i, l) * (*THETA)[l];
    (*THETA)[i] = s / x(i, i);
  }
  for (smallint i = n; i >= 1; --i) {
    extended s = (*THETA)[i];
    for (smallint l = i + 1; l <= n; ++l) s -= x(l, i) * (*THETA)[l];
    (*THETA)[i] = s / x(i, i);
  }
  extended sum = 0;
  for (smallint r = 1; r <= m; ++r) {
    extended res = (*Y)[r];
    for (smallint j = 1; j <= n; ++j)
      if ((*B)(r, j)) res -= (*THETA)[j] * (*LHS)(r, j);
    res /= SDYBR[r];
    sum += res * res;
  }
  setsig2(sum, m, n);
  IO::PUTSTR(1,
             "lsq (choleski) gives sigfit = " + IO::REAL2STR(std::sqrt(SIG2), 3, true) + "     (ndf = " +
                 IO::INT2STR(m - n) + ")",
             2, CHANNEL::TERMSUMLOG);
  // L^-1 in place in the lower triangle, column by column.
  for (smallint j = 1; j <= n; ++j) {
    for (smallint i = j; i <= n; ++i) {
      extended s = i == j ? 1.0L : 0.0L;
      for (smallint l = j; l < i; ++l) s -= x(i, l) * x(l, j);
      x(i, j) = s / x(i, i);
    }
  }
  // C = M'M into the upper triangle; column i of M is read before row i of
  // C is written over the diagonal.
  for (smallint i = 1; i <= n; ++i)
    for (smallint j = i; j <= n; ++j) {
      extended s = 0;
      for (smallint l = j; l <= n; ++l) s += x(l, i) * x(l, j);
      x(i, j) = s;
    }
  fillsymmetric(n);
  leverages(m, n);
}

}  // namespace LSQDS
