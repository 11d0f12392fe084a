// What the uncertainty propagation of calc mode 1 leaves for the printers
// besides the standard deviations of the results (zqglobal_results.h): the
// covariance of the result positions and the correlation of P and T; and
// the bulk covariance it starts from; the fixed settings of that propagation, which its report quotes.
#pragma once

#include "frame/types.h"
#include "frame/zqglobal_solver.h"

namespace UNCERTAINTY {

constexpr long double SDWRELATIVE = 0.1L;  // sd of an interaction energy: this share of |W| ...
constexpr long double SDWFLOOR = 1.0L;     // ... and at least this (kJ)
constexpr long double BULKALPHA = 0.025L;  // relative sd of each bulk amount
constexpr long double BULKOXYGEN = 3.0L;   // the bulk sd of O is this many times BULKALPHA
constexpr long double VARFLOOR = 1e-14L;   // a variance at or below this gives no standard deviation ...
constexpr long double NOSD = -10.0L;       // ... but this marker in its place

}  // namespace UNCERTAINTY

namespace ZQGLOBAL {

// Covariance of the result positions (unknowns, then the mode log ratios
// without the denominator mode), all sources together (CALCSD).
extern eqmatrix COVX;
// Correlation of P and T at the last point, 0 unless both are free (CALCSD).
extern extended CORPT;

// The bulk composition as log ratios over KBPDEN: the covariance of the
// NUVLEFT - 1 ratios and their standard deviations (the bulk covariance
// set-up).
using covbpmatrix = fmatrix<extended, 1, maxcomp, 1, maxcomp>;
extern covbpmatrix COVBP;
extern cvector SDBP;

// All four back to zero.
void RESETUNCERTAINTY();

}  // namespace ZQGLOBAL
