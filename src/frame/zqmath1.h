// General numerical routines: exact integer arithmetic on compositions and
// reactions, the singular value decomposition, sorting and robust
// statistics, powers, and the random generator.
#pragma once

#include <cmath>
#include <cstdint>

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQMATH1 {

// ---------------------------------------------------------------- integers
longint GCD(longint a, longint b);
longint VECTORGCD(const liemvector& v, smallint n);
longint LCM(longint a, longint b);
longint VECTORLCM(const liemvector& v, smallint n);
void REALS2INTEGERS(emvector& v, smallint n, longint& m);
// The caller's matrix is not changed: both work on a copy of rows 1..m,
// columns 1..n.
smallint CALCRANK(const liemmatrix& a, smallint m, smallint n);
// The rank of a; and writes the shared reaction table: one balanced
// reaction per free column of a (the last first) appended to R as rows
// NR + 1, NR + 2, ..., with NR raised by one each. The caller sets NR (to 0
// for a fresh basis) and copies a from C, against which each reaction is
// checked (fatal "reaction doesn't balance").
smallint NULLSPACE(const liemmatrix& a, smallint m, smallint n);

// The eliminations work in 64-bit integers, so that the growth of the
// fraction-free steps cannot wrap where 32 bits would. Made as used: a run
// pays for the rows and columns of its largest matrix.
using workmatrix = growmatrix<std::int64_t, maxem, maxem>;
// Writes a working matrix of the null-space elimination to the details file.
void NULLSPACE_PRINTA(const workmatrix& b, smallint m, smallint n);

// Checked steps of the exact eliminations in 64-bit integers: a result that
// 64 bits cannot hold ends the run in `where` with "integer overflow in
// elimination: matrix entries too large".
[[noreturn]] void OVERFLOW64(const char* where);
std::int64_t MUL64(std::int64_t a, std::int64_t b, const char* where);
std::int64_t ADD64(std::int64_t a, std::int64_t b, const char* where);
std::int64_t SUB64(std::int64_t a, std::int64_t b, const char* where);
std::int64_t ABS64(std::int64_t a, const char* where);
// Greatest common divisor of the magnitudes; 0 only when both are 0.
std::int64_t GCD64(std::int64_t a, std::int64_t b, const char* where);

// ---------------------------------------------------------------- svd
// Decomposes the m x n matrix in USVD: writes U over it, the singular
// values, ascending, to SSVD[1..n] and V to VSVD.
void CALCSVD(smallint m, smallint n);

// ---------------------------------------------------------------- eigen
using eigenmatrix = growmatrix<extended, maxem, maxem>;
// The eigenvalues of the symmetric n x n block of a, ascending, into
// values[1..n], and their unit eigenvectors as the columns of vectors. The
// rotations overwrite a.
void SYMMETRICEIGEN(long n, eigenmatrix& a, emvector& values, eigenmatrix& vectors);

// ---------------------------------------------------------------- sorting
void SORT(sortvector& v, smallint n);
void QUICKSORT(sortvector& v, smallint lo, smallint hi);
extended QUANTILE(const sortvector& v, smallint n, extended p);
smallint QI(extended p, smallint n);
extended FINDMEDIAN(const sortvector& v, smallint n);
extended FINDNMAD(const sortvector& v, smallint n, extended centre);
extended TENTOPOWER(smallint k);
extended TOPOWER(extended x, smallint p, smallint q);

// ---------------------------------------------------------------- roots
constexpr int POLISHMAX = 8;  // Newton steps at most: from within 0.1 % three or four reach the last bit
// A step this small (relative to the root, where asked) leaves an error of
// about its square, under the last bit of an extended real.
constexpr extended POLISHDONE = 1e-12L;

// A root found to a loose tolerance taken on by Newton steps to the last
// bits the arithmetic resolves: a quantity differenced over small steps of P
// and T (a fluid's volume, an order parameter) would otherwise carry that
// tolerance, a different part of it at either state, over the step.
// fd(x, f, dfdx) gives the function and its slope. Each step must be at most
// half the one before (the first at most half of last) and keep x strictly
// between lo and hi, else x stays where it is: rounding noise, or a step out
// of the root's reach.
template <class FD>
extended NEWTONPOLISH(extended x, extended last, extended lo, extended hi, bool relative, const FD& fd) {
  for (int k = 1; k <= POLISHMAX; ++k) {
    extended f = 0, dfdx = 0;
    fd(x, f, dfdx);
    if (f == 0 || dfdx == 0) break;
    const extended step = f / dfdx;
    const extended next = x - step;
    if (!(2 * std::fabs(step) <= last) || !(next > lo && next < hi)) break;
    x = next;
    if (std::fabs(step) <= POLISHDONE * (relative ? std::fabs(x) : 1)) break;
    last = std::fabs(step);
  }
  return x;
}

// ---------------------------------------------------------------- random
// Writes the seeds SEED1, SEED2, SEED3: fixed ones, or from the clock.
void SETUPRANDOM(bool fixed);
// The next uniform number in [0, 1); advances the three seeds.
extended RANDOM();

}  // namespace ZQMATH1
