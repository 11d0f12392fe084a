// Independent sets of reactions among end-members.
#pragma once

namespace ZQRE {

void CALCRE2(bool& found);

}  // namespace ZQRE
