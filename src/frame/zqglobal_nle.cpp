// What the Newton solver found of its last Jacobian (near-singular and the
// ratio of its singular values), with its reset.
#include "frame/zqglobal_nle.h"

namespace ZQGLOBAL {

// Defaults: RESETNLE below.
bool NEARSING;
extended SINGRAT;

void RESETNLE() {
  NEARSING = false;
  SINGRAT = 0;
}

}  // namespace ZQGLOBAL
