// The shared state of a dogmin run beyond its grid, and its defaults.
#include "frame/zqglobal_dogmin.h"

#include "frame/zqglobal_reset.h"

namespace ZQGLOBAL {

// Defaults: RESETDOGMIN below.
farray<onedogrec, 1, maxonedog> ONEDOG{"ONEDOG"};
sutype KSU;

void RESETDOGMIN() {
  static const onedogrec blankentry;
  for (long k = 1; k <= maxonedog; ++k) ONEDOG[k] = blankentry;
  static const sutype blank;
  KSU = blank;
}

}  // namespace ZQGLOBAL
