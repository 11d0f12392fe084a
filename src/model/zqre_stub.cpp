#include "frame/zqglobal.h"
#include "model/zqre.h"

namespace ZQRE {

// Stands in until the reaction finder lands: no reactions.
void CALCRE2(bool& found) {
  ZQGLOBAL::NR = 0;
  found = false;
}

}  // namespace ZQRE
