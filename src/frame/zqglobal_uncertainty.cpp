// The covariance of the results of a point and the P-T correlation, with
// their reset.
#include "frame/zqglobal_uncertainty.h"

namespace ZQGLOBAL {

// Defaults: RESETUNCERTAINTY below.
eqmatrix COVX{"COVX"};
extended CORPT;

void RESETUNCERTAINTY() {
  COVX.fill(0);
  CORPT = 0;
}

}  // namespace ZQGLOBAL
