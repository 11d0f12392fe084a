// Shared state that the set-up of the a-x models against the script and the
// end-member set-up of calc modes 2 and 3 leave for later units.
#pragma once

#include "frame/zqglobal.h"

namespace ZQGLOBAL {

// The "with" list's length before batch variants were appended to it.
extern smallint NWHSTRINGS0;
// The long forms of the phases in excess and of the phases taken to zero.
extern farray<sstring, 1, maxexcess> LONGEXCESSSTRINGS, LONGTOZEROSTRINGS;
// The activities of the end-members of a calc-mode-2 or -3 calculation and
// their sds, parallel to NAME.
extern emvector ACTIVITY, SDACTIVITY;

}  // namespace ZQGLOBAL
