// The work arrays: the large tables of a run, on the heap and counted by the
// heap monitor.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_avptplus.h"
#include "frame/zqglobal_reset.h"

namespace ZQGLOBAL {

icmatrix* C = nullptr;
covmatrix* COV = nullptr;
rmatrix* R = nullptr;
prec0table* PREC0 = nullptr;
prec1table* PREC1 = nullptr;
tdmatrix* TD = nullptr;
dcompdxarray* DCOMPDX = nullptr;

namespace {

// The sizes the heap monitor reports are those of the tables as the program
// has always reported them, whatever this machine's record layout makes them.
constexpr longint bytesc = 20800, bytescov = 1600000, bytesr = 120000, bytesprec0 = 1920000,
                  bytesprec1 = 59178240, bytestd = 124000, bytesdcompdx = 1560000;

// A table already there is kept with its contents, as a later pass of a
// run finds it; only a new one is counted.
template <class T>
void allocate(T*& p, const char* monitorname, longint bytes) {
  if (p != nullptr) return;
  p = new T();
  IO::HEAPINC(monitorname, bytes);
}

template <class T>
void release(T*& p, const char* monitorname, longint bytes) {
  if (p == nullptr) return;
  delete p;
  p = nullptr;
  IO::HEAPDEC(monitorname, bytes);
}

}  // namespace

void ALLOCATEWORK() {
  allocate(C, "c", bytesc);
  allocate(COV, "cov", bytescov);
  allocate(R, "r", bytesr);
  allocate(PREC0, "prec0", bytesprec0);
  allocate(PREC1, "prec1", bytesprec1);
  allocate(TD, "td", bytestd);
  allocate(DCOMPDX, "compdx", bytesdcompdx);
  ALLOCATEJXCALC();
  C->name = "C";
  COV->name = "COV";
  R->name = "R";
  TD->name = "TD";
  C->fill(0);
}

void CLEARWORK() {
  if (C != nullptr) C->fill(0);
  if (COV != nullptr) COV->fill(0);
  if (R != nullptr) R->fill(0);
  if (PREC0 != nullptr) PREC0->clear();
  if (PREC1 != nullptr) PREC1->clear();
  if (TD != nullptr) TD->fill(0);
  if (DCOMPDX != nullptr)
    for (auto& m : *DCOMPDX) m.fill(0);
}

void RELEASEWORK() {
  RELEASEJXCALC();
  release(COV, "cov", bytescov);
  release(C, "c", bytesc);
  release(R, "r", bytesr);
  release(PREC0, "prec0", bytesprec0);
  release(PREC1, "prec1", bytesprec1);
  release(TD, "td", bytestd);
  release(DCOMPDX, "dcompdx", bytesdcompdx);
}

}  // namespace ZQGLOBAL
