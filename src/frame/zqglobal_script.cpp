#include "zqglobal.h"

namespace ZQGLOBAL {
}  // namespace ZQGLOBAL
