// The avPT+ state: the store of calculated points, the fits and the
// covariances of the two sides, with their defaults and the store's heap.
#include "frame/zqglobal_avptplus.h"

#include "frame/io.h"
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

namespace {
// The store's size as the heap monitor reports it: 800 records of 347
// ten-byte reals, whatever this machine's record layout makes them.
constexpr longint bytesjxcalc = 2776000;
}  // namespace

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
  JXCALC = new jxcalctable("JXCALC");
  IO::HEAPINC("jxcalc", bytesjxcalc);
}

void RELEASEJXCALC() {
  if (JXCALC == nullptr) return;
  delete JXCALC;
  JXCALC = nullptr;
  IO::HEAPDEC("jxcalc", bytesjxcalc);
}

}  // namespace ZQGLOBAL
