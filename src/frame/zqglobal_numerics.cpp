// The shared state of the general numerics: the singular value
// decomposition's matrices and vector, the seeds of the random generator and
// the position of aqueous silica.
#include "frame/zqglobal.h"

namespace ZQGLOBAL {

svdmatrix USVD{"USVD"};
svdvector SSVD{"SSVD"};
svdmatrix VSVD{"VSVD"};

longint SEED1 = 1, SEED2 = 1, SEED3 = 1;

smallint AQSIPOS = 0;

}  // namespace ZQGLOBAL
