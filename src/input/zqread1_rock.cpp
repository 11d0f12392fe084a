#include "frame/zqglobal.h"
#include "frame/zqglobal_axsetup.h"
#include "input/zqread1.h"
#include "input/zqread2.h"
#include "input/zqscript.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"

using namespace ZQGLOBAL;

namespace ZQREAD1 {

namespace {

// Stands in for the end-member set-up until it lands: every phase read is
// kept, with the compositions and thermodynamic rows of its end-members,
// each of activity 1 with sd 0.
void allendmembers() {
  const bemvector none{"drop"};
  MAKENAME(none);
  READTHERMO(2);
  READTHERMO(3);
  NNE = NCV;
  for (long i = 1; i <= maxem; ++i) {
    ACTIVITY[i] = 1;
    SDACTIVITY[i] = 0;
  }
}

}  // namespace

// The inputs of a calc-mode-2 pass in their order, as far as their readers
// stand.
void READROCKDATA() {
  READTHERMO(1);
  ZQSCRIPT::READCONTROLJX();
  ZQREAD2::SETUPPHASES();
  // EXTRACTEM (phase choice, activities) is not built: all end-members stand in.
  allendmembers();
  CLEAN();
  ZQUTE2::POSITIONS();
}

// The inputs of a calc-mode-3 pass, as above.
void READDIAGRAMDATA() {
  READTHERMO(1);
  ZQSCRIPT::READCONTROLJX();
  ZQREAD2::SETUPPHASES();
  ZQUTE1::WHICHDIAGRAMTYPE();
  // EXTRACTEM (phase choice, activities) is not built: all end-members stand in.
  allendmembers();
  CLEAN();
  ZQUTE2::POSITIONS();
  // INEXCESS (fluid, ln a or mu variable, phases in excess) is not built.
}

}  // namespace ZQREAD1
