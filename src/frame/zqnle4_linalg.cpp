// Cholesky factor and inverse of a symmetric positive-definite matrix, LU
// factors with scaled partial pivoting and the log of the determinant, and
// the solve over the reaction columns built on them.
#include "frame/zqnle4_linalg.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "frame/io.h"

using namespace ZQGLOBAL;

namespace ZQNLE4 {

namespace {

// The first n rows of piv applied to b, then the forward and back
// substitutions of the Crout factors in lu.
void lusolve(const eqmatrix& lu, const ieqvector& piv, eqvector& b, smallint n) {
  for (long k = 1; k <= n; ++k)
    if (piv[k] != k) std::swap(b[k], b[piv[k]]);
  for (long i = 1; i <= n; ++i) {
    extended s = b[i];
    for (long j = 1; j < i; ++j) s -= lu(i, j) * b[j];
    b[i] = s / lu(i, i);
  }
  for (long i = n; i >= 1; --i) {
    extended s = b[i];
    for (long j = i + 1; j <= n; ++j) s -= lu(i, j) * b[j];
    b[i] = s;
  }
}

// Keeps the determinant's mantissa in [1/16, 1), the power of two in e.
void normalise(extended& dm, long& e) {
  while (std::fabs(dm) >= 1) {
    dm *= 0.0625L;
    e += 4;
  }
  while (std::fabs(dm) < 0.0625L) {
    dm *= 16;
    e -= 4;
  }
}

}  // namespace

void CHOLESKI(const invmatrix& a, invmatrix& l, smallint n) {
  IO::INTERNALCHECK(n >= 0 && n <= maxinvorder, "choleski", "order beyond the Cholesky matrices");
  for (long i = 1; i <= n; ++i) {
    for (long j = 1; j < i; ++j) {
      extended s = a(i, j);
      for (long k = 1; k < j; ++k) s -= l(j, k) * l(i, k);
      l(i, j) = s / l(j, j);
    }
    extended s = a(i, i);
    for (long k = 1; k < i; ++k) s -= l(i, k) * l(i, k);
    if (!(s > 0)) {
      char line[64];
      std::snprintf(line, sizeof line, "%3ld%15.8LE\n", i, s);
      IO::WRITETERMINAL(line);
      IO::ERROREXIT("inverse", "sqrt negative", yourfault);
    }
    l(i, i) = std::sqrt(s);
    for (long j = i + 1; j <= n; ++j) l(i, j) = 0;
  }
}

void INVERSE(const invmatrix& a, invmatrix& ainv, smallint n) {
  invmatrix l{"inverse l"};
  CHOLESKI(a, l, n);
  INVERTFROMCHOLESKI(l, ainv, n);
}

void INVERTFROMCHOLESKI(const invmatrix& l, invmatrix& ainv, smallint n) {
  invmatrix m{"inverse m"};
  for (long j = 1; j <= n; ++j)
    for (long i = j; i <= n; ++i) {
      extended s = i == j ? 1 : 0;
      for (long k = j; k < i; ++k) s -= l(i, k) * m(k, j);
      m(i, j) = s / l(i, i);
    }
  for (long i = 1; i <= n; ++i)
    for (long j = i; j <= n; ++j) {
      extended s = 0;
      for (long k = j; k <= n; ++k) s += m(k, i) * m(k, j);
      ainv(i, j) = s;
      ainv(j, i) = s;
    }
}

bool MAKELU(eqmatrix& a, ieqvector& piv, extended& d, smallint n) {
  IO::INTERNALCHECK(n >= 0 && n <= maxluorder, "makelu", "order beyond the equilibrium matrices");
  eqvector scale{"makelu scale"};
  for (long i = 1; i <= n; ++i) {
    extended s = 0;
    for (long j = 1; j <= n; ++j) s += a(i, j) * a(i, j);
    scale[i] = s >= LUTINY ? 1 / std::sqrt(s) : 0;
  }
  extended dm = 1;
  long e = 0;
  bool singular = false;
  for (long k = 1; k <= n; ++k) {
    long p = k;
    extended pmax = 0;
    for (long i = k; i <= n; ++i) {
      extended s = a(i, k);
      for (long j = 1; j < k; ++j) s -= a(i, j) * a(j, k);
      a(i, k) = s;
      const extended size = std::fabs(scale[i] * s);
      if (size > pmax) {
        pmax = size;
        p = i;
      }
    }
    if (p != k) {
      for (long j = 1; j <= n; ++j) std::swap(a(k, j), a(p, j));
      scale[p] = scale[k];
      dm = -dm;
    }
    piv[k] = static_cast<smallint>(p);
    dm *= a(k, k);
    if (pmax < LUTINY) {
      singular = true;
      break;
    }
    normalise(dm, e);
    for (long j = k + 1; j <= n; ++j) {
      extended s = a(k, j);
      for (long i = 1; i < k; ++i) s -= a(k, i) * a(i, j);
      a(k, j) = s / a(k, k);
    }
  }
  if (singular) {
    d = LUSINGULARD;
    return false;
  }
  const extended log2part = LUTWOLN * static_cast<extended>(e);
  d = dm >= 0 ? log2part + std::log(dm) : -(log2part + std::log(-dm));
  return true;
}

bool MLE(const eqmatrix& a, jactype& x, smallint n) {
  // 130 kB each: kept for the run rather than on the stack.
  static eqmatrix lu{"mle lu"};
  static ieqvector piv{"mle piv"};
  static eqvector b{"mle b"};
  IO::INTERNALCHECK(n >= 0 && n <= maxluorder, "mle", "order beyond the equilibrium matrices");
  const long m = n < NR ? n : NR;
  for (long i = 1; i <= n; ++i)
    for (long j = 1; j <= n; ++j) lu(i, j) = a(i, j);
  extended d = 0;
  if (!MAKELU(lu, piv, d, n)) return false;
  for (long e = 1; e <= NCV; ++e) {
    for (long i = 1; i <= n; ++i) b[i] = i <= m ? -static_cast<extended>((*R)(i, e)) : 0;
    lusolve(lu, piv, b, n);
    for (long i = 1; i <= n; ++i) x(i, e) = b[i];
  }
  return true;
}

}  // namespace ZQNLE4
