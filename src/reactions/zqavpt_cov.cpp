// Covariances of the reactions' enthalpies and ln K, and the inverse of a
// positive definite block by its Cholesky factor.
#include <cmath>
#include <limits>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "input/zqread1.h"
#include "reactions/zqavpt.h"

using namespace ZQGLOBAL;

namespace ZQAVPT {

namespace {
// Every entry of covh when the enthalpies are left out of the weights.
constexpr extended JUSTRELUCOVH = 0.001L;
// A Cholesky pivot at or below this share of its diagonal entry counts as
// no pivot: 2^-32, the square root of the unit roundoff of extended. Where
// the matrix is singular, rounding leaves a pivot of a few units in the
// last place of the diagonal, of either sign, more where the earlier rows
// nearly fix this one, yet far below this. A true pivot this small would
// fix the reaction by the others to 1.5e-5 of its own sd, which no
// activity or enthalpy is known to; the weights would be rounding.
constexpr extended SINGULARPIVOT = 0x1p31L * std::numeric_limits<extended>::epsilon();
}  // namespace

void CALCCOV(covmatrix& covh, covmatrix& covlnk) {
  if (CONTROLJX.justrelu != yes) ZQREAD1::CHECKCOVARIANCE("calccov");
  for (long i = 1; i <= NR; ++i)
    for (long j = i; j <= NR; ++j) {
      extended h = 0;
      if (CONTROLJX.justrelu == yes) {
        h = JUSTRELUCOVH;
      } else {
        for (long a = 1; a <= NCV; ++a) {
          if ((*R)(i, a) == 0) continue;
          extended s = 0;
          for (long b = 1; b <= NCV; ++b) s += COVINUSE(a, b) * (*R)(j, b);
          h += (*R)(i, a) * s;
        }
      }
      // What rounding alone takes below 0 is a variance of 0.
      if (i == j && h < 0) h = 0;
      covh(i, j) = covh(j, i) = h;
      extended l = 0;
      for (long a = 1; a <= NCV; ++a) l += (*R)(i, a) * VARLNA[a] * (*R)(j, a);
      covlnk(i, j) = covlnk(j, i) = l;
    }
}

void POSDEFINVERT(const invmatrix& a, invmatrix& ainv, smallint n) {
  invmatrix L{"posdefinvert L"};
  for (long i = 1; i <= n; ++i) {
    for (long j = 1; j < i; ++j) {
      extended s = a(i, j);
      for (long k = 1; k < j; ++k) s -= L(i, k) * L(j, k);
      L(i, j) = s / L(j, j);
    }
    extended p = a(i, i);
    for (long k = 1; k < i; ++k) p -= L(i, k) * L(i, k);
    if (!(p > SINGULARPIVOT * a(i, i))) IO::ERROREXIT("posdefinvert", "sqrt negative", faulttype::yourfault);
    L(i, i) = std::sqrt(p);
  }
  ZQNLE4::INVERTFROMCHOLESKI(L, ainv, n);
}

}  // namespace ZQAVPT
