// Average pressure or temperature of a rock (calc mode 2).
#pragma once

namespace ZQAVPT {

void ROCKCALCS();

}  // namespace ZQAVPT
