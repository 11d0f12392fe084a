#include "zqread1.h"

namespace ZQREAD1 {

// Stands in until the rock set-up of calc mode 2 lands.
void READROCKDATA() {}

// Stands in until the phase set-up of calc mode 3 lands.
void READDIAGRAMDATA() {}

}  // namespace ZQREAD1
