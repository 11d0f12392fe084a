// The projection plane's set-up state and its default.
#include "frame/zqglobal_projection.h"

namespace ZQGLOBAL {

smallint IENPROJPLANE;

void RESETPROJECTION() { IENPROJPLANE = 0; }

}  // namespace ZQGLOBAL
