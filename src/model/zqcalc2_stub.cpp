#include "model/zqcalc2.h"

namespace ZQCALC2 {

// Both stand in until the activity code lands: no derivative, no activity.
extended SUBSDIFFTERM(const termtype&, smallint, const eqvector&, smallint) { return 0; }

void CALCA(const eqvector&, bool, bool, emvector&, emvector&, dRTlnadxtype&, extended, extended) {}

}  // namespace ZQCALC2
