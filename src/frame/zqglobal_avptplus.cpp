// The avPT+ state: the store of calculated points, the fits and the
// covariances of the two sides, with their defaults; the store on the heap.
#include "frame/zqglobal_avptplus.h"

#include "frame/zqglobal_reset.h"

namespace ZQGLOBAL {

jxcalctable* JXCALC = nullptr;
smallint NJX = 0;
smallint NJXXYZ = 0;
farray<sstring, 1, maxjxxyz> JXXYZNAME{"JXXYZNAME"};
smallint NCOR = 0;

smallint NPOLY = 0;
polyvector POLY{"POLY"};
polymatrix PTCOEFF{"PTCOEFF"};

invmatrix JXVXYZ{"JXVXYZ"};

void RESETAVPTPLUS() {
  NJX = 0;
  NJXXYZ = 0;
  JXXYZNAME.fill("");
  NCOR = 0;
  NPOLY = 0;
  POLY.fill(0);
  PTCOEFF.fill(0);
  JXVXYZ.fill(0);
}

void ALLOCATEJXCALC() {
  if (JXCALC != nullptr) return;
  // Not one of the work arrays the heap monitor lists and counts.
  JXCALC = new jxcalctable("JXCALC");
}

void RELEASEJXCALC() {
  if (JXCALC == nullptr) return;
  delete JXCALC;
  JXCALC = nullptr;
}

}  // namespace ZQGLOBAL
