// Eigenvalues and eigenvectors of a symmetric matrix by cyclic Jacobi
// rotations: slow for large orders, but every value comes out to a few
// units of the largest in the last place, the small and negative ones that
// tell a covariance matrix from one that is none included.
#include <cmath>
#include <limits>
#include <utility>

#include "frame/zqmath1.h"

namespace ZQMATH1 {

namespace {

constexpr int maxsweeps = 60;  // quadratic convergence needs a dozen at the orders met

// Rotates rows and columns p and q of the n x n block of a by the angle
// that zeroes a(p, q), and the columns of v with them.
void rotate(long n, eigenmatrix& a, eigenmatrix& v, long p, long q) {
  const extended apq = a(p, q);
  const extended theta = (a(q, q) - a(p, p)) / (2 * apq);
  const extended t = (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
  const extended c = 1 / std::sqrt(t * t + 1), s = t * c;
  for (long k = 1; k <= n; ++k) {
    const extended akp = a(k, p), akq = a(k, q);
    a(k, p) = c * akp - s * akq;
    a(k, q) = s * akp + c * akq;
  }
  for (long k = 1; k <= n; ++k) {
    const extended apk = a(p, k), aqk = a(q, k);
    a(p, k) = c * apk - s * aqk;
    a(q, k) = s * apk + c * aqk;
  }
  a(p, q) = a(q, p) = 0;
  for (long k = 1; k <= n; ++k) {
    const extended vkp = v(k, p), vkq = v(k, q);
    v(k, p) = c * vkp - s * vkq;
    v(k, q) = s * vkp + c * vkq;
  }
}

}  // namespace

void SYMMETRICEIGEN(long n, eigenmatrix& a, emvector& values, eigenmatrix& vectors) {
  a.extend(n, n);
  vectors.extend(n, n);
  for (long i = 1; i <= n; ++i)
    for (long j = 1; j <= n; ++j) vectors(i, j) = i == j ? 1 : 0;
  extended scale = 0;
  for (long i = 1; i <= n; ++i)
    for (long j = 1; j <= n; ++j) scale = std::fmax(scale, std::fabs(a(i, j)));
  // An off-diagonal entry this far below the largest entry changes no
  // eigenvalue by more than the arithmetic resolves.
  const extended negligible = scale * std::numeric_limits<extended>::epsilon() / static_cast<extended>(n);
  for (int sweep = 1; sweep <= maxsweeps; ++sweep) {
    bool rotated = false;
    for (long p = 1; p < n; ++p)
      for (long q = p + 1; q <= n; ++q) {
        if (!(std::fabs(a(p, q)) > negligible)) continue;
        rotate(n, a, vectors, p, q);
        rotated = true;
      }
    if (!rotated) break;
  }
  for (long i = 1; i <= n; ++i) values[i] = a(i, i);
  // Ascending, the vectors with their values.
  for (long i = 1; i < n; ++i) {
    long low = i;
    for (long j = i + 1; j <= n; ++j)
      if (values[j] < values[low]) low = j;
    if (low == i) continue;
    std::swap(values[i], values[low]);
    for (long k = 1; k <= n; ++k) std::swap(vectors(k, i), vectors(k, low));
  }
}

}  // namespace ZQMATH1
