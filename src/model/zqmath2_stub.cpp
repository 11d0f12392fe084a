#include "model/zqmath2.h"

namespace ZQMATH2 {

// Stands in until the solver lands: every solve fails, which callers survive.
bool NLE(smallint& code) {
  code = 1;
  return false;
}

}  // namespace ZQMATH2
