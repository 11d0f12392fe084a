#include "zqread1.h"
#include "zqscript.h"

namespace ZQREAD1 {

// Stands in until the rock set-up of calc mode 2 lands: the inputs of the
// pass are read in their order, as far as their readers stand.
void READROCKDATA() {
  READTHERMO(1);
  ZQSCRIPT::READCONTROLJX();
}

// Stands in until the phase set-up of calc mode 3 lands, as above.
void READDIAGRAMDATA() {
  READTHERMO(1);
  ZQSCRIPT::READCONTROLJX();
}

}  // namespace ZQREAD1
