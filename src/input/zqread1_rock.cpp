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

// Stand in until the rock set-up lands: the sds stay as set, the state of
// order is taken as found, and the end-members keep their activities.
void CHECKSDA() {}
bool FINDLEGALQ(smallint, bool, extended, extended, bool& moved) {
  moved = false;
  return true;
}
void CALCACTIVITIES(smallint i, const eqvector&, extended, extended, eqvector& a, eqvector& sda) {
  for (long j = 1; j <= (*PREC1)[i].nprop; ++j) {
    a[j] = 1;
    sda[j] = 0;
  }
}

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
