// Shared state of the numerics units: the matrices of the singular value
// decomposition, the seeds of the random generator and the positions of the
// end-members that the thermodynamics treats specially.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

constexpr int maxsvdrows = 800;   // rows of a matrix to decompose
constexpr int maxsvdcols = 400;   // columns of a matrix to decompose
constexpr int maxsortlen = 5000;  // the longest list: Monte Carlo samples

// Exact integer work: compositions and reactions as 32-bit integers.
using liemvector = farray<longint, 1, maxem>;
using liemmatrix = fmatrix<longint, 1, maxem, 1, maxem>;

using svdmatrix = growmatrix<extended, maxsvdrows, maxsvdcols>;  // made as used
using svdvector = farray<extended, 1, maxsvdcols>;
using sortvector = farray<extended, 1, maxsortlen>;

namespace ZQGLOBAL {

// The matrix to decompose and its factors; the caller fills USVD and reads
// all three afterwards. Whole, each would be some 5 MB: the matrices hold
// only the rows and columns a run has used.
extern svdmatrix USVD;  // the matrix on entry, U on return (the caller, CALCSVD)
extern svdvector SSVD;  // singular values, ascending (CALCSVD)
extern svdmatrix VSVD;  // V on return (CALCSVD)

// Seeds of the random generator.
extern longint SEED1, SEED2, SEED3;

// Position of aqueous silica in NAME (0 when absent); the other special
// positions are with the run constants.
extern smallint AQSIPOS;

}  // namespace ZQGLOBAL
