#include "frame/zqglobal_axsetup.h"

namespace ZQGLOBAL {

smallint NWHSTRINGS0 = 0;
farray<sstring, 1, maxexcess> LONGEXCESSSTRINGS{"LONGEXCESSSTRINGS"}, LONGTOZEROSTRINGS{"LONGTOZEROSTRINGS"};
emvector ACTIVITY{"ACTIVITY"}, SDACTIVITY{"SDACTIVITY"};

}  // namespace ZQGLOBAL
