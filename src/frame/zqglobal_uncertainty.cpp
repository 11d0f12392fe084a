// The covariance of the results of a point, the P-T correlation and the
// bulk covariance, with their reset.
#include "frame/zqglobal_uncertainty.h"

namespace ZQGLOBAL {

// Defaults: RESETUNCERTAINTY below.
eqmatrix COVX{"COVX"};
extended CORPT;
covbpmatrix COVBP{"COVBP"};
cvector SDBP{"SDBP"};

void RESETUNCERTAINTY() {
  COVX.fill(0);
  CORPT = 0;
  COVBP.fill(0);
  SDBP.fill(0);
}

}  // namespace ZQGLOBAL
