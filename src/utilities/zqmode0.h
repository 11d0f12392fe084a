// The utilities of calc mode 0, which the main program refuses.
#pragma once

namespace ZQMODE0 {

void DOUTILITIES();

}  // namespace ZQMODE0
