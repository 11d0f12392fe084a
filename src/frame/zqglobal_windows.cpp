#include "zqglobal.h"

namespace ZQGLOBAL {

extended TLOW = 283, THIGH = 3000, PLOW = 0.0009L, PHIGH = 1500;
extended FIGPLOW = 0.0009L, FIGPHIGH = 1500, FIGTLOW = 283, FIGTHIGH = 3000;
extended CTINC = 0, CPINC = 0;

}  // namespace ZQGLOBAL
