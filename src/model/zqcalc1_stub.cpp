#include "io.h"
#include "zqcalc1.h"

namespace ZQCALC1 {

// Stands in until the end-member thermodynamics land: only the count of
// evaluations is kept.
void GEM(smallint, extended, extended, extended& G) {
  G = 0;
  ++IO::NGEM;
}

}  // namespace ZQCALC1
