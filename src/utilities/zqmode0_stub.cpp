// Calc mode 0's entry, never reached while the main program refuses mode 0.
#include "utilities/zqmode0.h"

namespace ZQMODE0 {

// Stands in until the utilities land; never entered, as mode 0 is refused.
void DOUTILITIES() {}

}  // namespace ZQMODE0
