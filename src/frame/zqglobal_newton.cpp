#include "frame/zqglobal_newton.h"

namespace ZQGLOBAL {

smallint NLEIT = 0;
smallint NLESTEPIT = 0;

}  // namespace ZQGLOBAL
