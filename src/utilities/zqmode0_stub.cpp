#include "utilities/zqmode0.h"

namespace ZQMODE0 {

// Stands in until the utilities land; never entered, as mode 0 is refused.
void DOUTILITIES() {}

}  // namespace ZQMODE0
