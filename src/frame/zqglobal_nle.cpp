#include "frame/zqglobal_nle.h"

namespace ZQGLOBAL {

smallint NLEIT = 0;
smallint NLESTEPIT = 0;
bool NEARSING = false;
extended SINGRAT = 0;

void RESETNLE() {
  NLEIT = 0;
  NLESTEPIT = 0;
  NEARSING = false;
  SINGRAT = 0;
}

}  // namespace ZQGLOBAL
