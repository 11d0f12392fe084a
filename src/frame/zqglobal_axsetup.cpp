// What the set-up of the a-x models against the script leaves (the long
// phase names in excess and set to zero, the end-members' activities and
// their sds), with its reset.
#include "frame/zqglobal_axsetup.h"

#include "frame/zqglobal_reset.h"

namespace ZQGLOBAL {

// Defaults: RESETAXSETUP below.
smallint NWHSTRINGS0;
farray<sstring, 1, maxexcess> LONGEXCESSSTRINGS{"LONGEXCESSSTRINGS"}, LONGTOZEROSTRINGS{"LONGTOZEROSTRINGS"};
emvector ACTIVITY{"ACTIVITY"}, SDACTIVITY{"SDACTIVITY"};

void RESETAXSETUP() {
  NWHSTRINGS0 = 0;
  for (sstring& s : LONGEXCESSSTRINGS) s.clear();
  for (sstring& s : LONGTOZEROSTRINGS) s.clear();
  ACTIVITY.fill(0);
  SDACTIVITY.fill(0);
}

}  // namespace ZQGLOBAL
