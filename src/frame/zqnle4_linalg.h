// Small dense linear algebra of unit ZQNLE4 in extended precision: the
// Cholesky factor and inverse of a symmetric positive-definite matrix, and
// an LU factorisation with scaled pivoting and the solve built on it. The
// rest of the unit (result conversions) sits with calc mode 1's
// uncertainties; these live here because the bulk covariance set-up, calc
// mode 0 and calc mode 2 call them from below that folder.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

constexpr int maxinvorder = 24;  // order of a matrix to factor or invert by Cholesky
constexpr int maxluorder = maxeq;  // order of a matrix to factor into LU

// A symmetric matrix to factor or invert; only the leading n x n block is used.
using invmatrix = fmatrix<extended, 1, maxinvorder, 1, maxinvorder>;
// Variables of the equilibrium system by end-members.
using jactype = fmatrix<extended, 1, maxeq, 1, maxem>;

namespace ZQNLE4 {

// Smallest row size and pivot of MAKELU; below it the matrix is singular.
constexpr extended LUTINY = 1e-14L;
// Log-determinant MAKELU gives a singular matrix.
constexpr extended LUSINGULARD = 1000;
// ln 2 as the log-determinant is defined with it (not the full-precision value).
constexpr extended LUTWOLN = 0.693147L;

// l := the lower-triangular Cholesky factor of a (l l^T = a), reading only
// a's lower triangle; zeros above the diagonal. A pivot that is not positive
// writes its row and value to standard output and ends the run.
void CHOLESKI(const invmatrix& a, invmatrix& l, smallint n);
// ainv := a^-1 through the Cholesky factor, exactly symmetric.
void INVERSE(const invmatrix& a, invmatrix& ainv, smallint n);
// The inverse of l l^T from its lower Cholesky factor l, symmetric to the
// last bit; shared by every positive-definite inverse of the program.
void INVERTFROMCHOLESKI(const invmatrix& l, invmatrix& ainv, smallint n);
// a overwritten by its Crout factors (L with its diagonal, U with a unit
// diagonal above it), piv[k] the row exchanged with row k, d the signed log
// of the determinant; false (d = LUSINGULARD, factors partial) when singular.
bool MAKELU(eqmatrix& a, ieqvector& piv, extended& d, smallint n);
// For every end-member e = 1..NCV, x[1..n][e] := the solution of a x = b
// with b[i] = -R[i][e] over the first min(n, NR) rows and 0 below; false
// (x untouched) when a is singular.
bool MLE(const eqmatrix& a, jactype& x, smallint n);

}  // namespace ZQNLE4
