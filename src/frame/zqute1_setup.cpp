// The calc-mode question, and the work arrays and constants of a run.
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQUTE1 {

namespace {

// The sizes the heap monitor reports are those of the tables as the program
// has always reported them, whatever this machine's record layout makes them.
constexpr longint bytesc = 20800, bytescov = 1600000, bytesr = 120000, bytesprec0 = 1920000,
                  bytesprec1 = 59178240, bytestd = 124000, bytesdcompdx = 1560000;

struct oxiderow {
  const char* el;
  const char* ox;
  extended molwt;
  smallint metals, oxygens, order;
};

constexpr oxiderow oxides[maxcomp] = {
    {"Si", "SiO2", 60.0848L, 1, 2, 3},     {"Ti", "TiO2", 79.8988L, 1, 2, 10},
    {"Al", "Al2O3", 101.96128L, 2, 3, 4},  {"Fe", "FeO", 71.8464L, 1, 1, 7},
    {"Mg", "MgO", 40.3044L, 1, 1, 6},      {"Mn", "MnO", 70.9374L, 1, 1, 11},
    {"Ca", "CaO", 56.0794L, 1, 1, 5},      {"Na", "Na2O", 61.97894L, 2, 1, 9},
    {"K", "K2O", 94.1954L, 2, 1, 8},       {"O", "O", 16.0L, 0, 1, 12},
    {"H", "H2O", 18.0152L, 2, 1, 1},       {"C", "CO2", 44.0098L, 1, 2, 2},
    {"Cl", "Cl2O", 86.9L, 2, 1, 13},       {"e", "O2-", 16.0L, 2, 1, 15},
    {"Ni", "NiO", 74.7094L, 1, 1, 16},     {"Zr", "ZrO2", 123.2188L, 1, 2, 17},
    {"S", "SO2", 64.0582L, 1, 2, 14},      {"Cu", "CuO", 79.546L, 1, 1, 18},
    {"Cr", "Cr2O3", 151.9902L, 2, 3, 19},  {"F", "F2O", 53.996L, 2, 1, 20},
    {"P", "P2O5", 283.889L, 2, 5, 21},     {"Ba", "BaO", 153.3394L, 1, 1, 22},
    {"Li", "Li2O", 29.8814L, 2, 1, 23},    {"Rb", "Rb2O", 186.935L, 2, 1, 24},
    {"Sr", "SrO", 103.6194L, 1, 1, 25},    {"Zn", "ZnO", 81.3794L, 1, 1, 26},
};

template <class T>
void allocate(T*& p, const char* monitorname, longint bytes) {
  delete p;
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

smallint GETCALCMODE() {
  if (IO::CONTROLIO.calcmode == 9) return 9;
  if (IO::CONTROLIO.calcmode >= 0 && IO::CONTROLIO.calcmode <= 3) return IO::CONTROLIO.calcmode;
  IO::PUTSTR(0, "calculation mode (calcmode) :", 1, CHANNEL::TERMLOG);
  IO::PUTSTR(0, "     0 = utilities: data tables, mineral recalc etc", 1, CHANNEL::TERMLOG);
  IO::PUTSTR(0, "     1 = phase diagram calculations (and avPT+)", 1, CHANNEL::TERMLOG);
  IO::PUTSTR(0, "     2 = average pressure-temperature calculations", 1, CHANNEL::TERMLOG);
  IO::PUTSTR(0, "     3 = calculations on all reactions between end-members", 1, CHANNEL::TERMLOG);
  sstring w;
  IO::PROMPTSTRING("calcmode code", w);
  if (IO::WHATISSTRING(w) != valuetype::aninteger)
    IO::ERROREXIT("getcalcmode", "integer needed (1), between 0 and " + IO::INT2STR(3), yourfault);
  smallint code = 0;
  std::string msg;
  // A code too large for an integer is as much out of range as 4 is; it must
  // not pass for mode 0.
  if (!IO::STR2INT(w, code, msg) || code < 0 || code > 3)
    IO::ERROREXIT("getcalcmode", "integer needed (2), between 0 and " + IO::INT2STR(3), yourfault);
  IO::PUTSTR(1, "this code can appear in the prefsfile (jx-prefs.txt) as", 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "calcmode " + IO::INT2STR(code), 2, CHANNEL::TERMSUMLOG);
  return code;
}

void SETUP() {
  allocate(C, "c", bytesc);
  allocate(COV, "cov", bytescov);
  allocate(R, "r", bytesr);
  allocate(PREC0, "prec0", bytesprec0);
  allocate(PREC1, "prec1", bytesprec1);
  allocate(TD, "td", bytestd);
  allocate(DCOMPDX, "compdx", bytesdcompdx);
  C->name = "C";
  COV->name = "COV";
  R->name = "R";
  TD->name = "TD";

  for (long i = 1; i <= maxcomp; ++i) {
    const oxiderow& o = oxides[i - 1];
    ELNAME[i] = o.el;
    OXNAME[i] = o.ox;
    MOLWT[i] = o.molwt;
    METALS[i] = o.metals;
    OXYGENS[i] = o.oxygens;
    ORDER[i] = o.order;
  }

  NP0 = NPSS = NP = KNP = NUVLEFT = NPLEFT = NEX1 = NEX = NR = NX = NXP = NXPSS = NISO = 0;
  IO::NGEM = 0;
  IV = ICP = 0;
  FIXEDXCO2 = FIXEDXH2O = 0;
  REHELP = MAKECDHYDROUS = CANCONTINUE = false;
  DOALLREACTIONS = true;
  ABSPLOW = CONST::PFLOOR;
  TFACA = 1.0L / (CONST::TCEILING - CONST::TFLOOR);
  TFACB = -CONST::TFLOOR / (CONST::TCEILING - CONST::TFLOOR);
  PFACA = 1.0L / (CONST::PCEILING - ABSPLOW);
  PFACB = -ABSPLOW * PFACA;
  PPRECISION = 3;
  TPRECISION = 2;
  XCO2PRECISION = 2;
  LNAPRECISION = 2;
  MUPRECISION = 1;
  CO2POS = H2OPOS = CRDPOS = FCRDPOS = NLNA = NMU = MUPOS = LNAPOS = 0;
  BCOMPS.fill(true);
  NSITE.fill(1);
  for (long k = 1; k <= maxlna; ++k) {
    LNANAME[k].clear();
    LNANAMEP[k].clear();
    MUNAME[k].clear();
    FIXEDLNA[k] = 10.0L;
    FIXEDMU[k] = 0;
    NLLNA[k] = 0;
    NLMU[k] = 0;
  }
  GIXPW = 1;
  NAQSI = 4;
  VARIANCE = 1;
  IO::DATAFILENAMESUFFIX.clear();
  C->fill(0);
  CONVSTATUS = "-";
  ZQMATH1::SETUPRANDOM(false);
}

void CLEANUP() {
  release(COV, "cov", bytescov);
  release(C, "c", bytesc);
  release(R, "r", bytesr);
  release(PREC0, "prec0", bytesprec0);
  release(PREC1, "prec1", bytesprec1);
  release(TD, "td", bytestd);
  release(DCOMPDX, "dcompdx", bytesdcompdx);
}

}  // namespace ZQUTE1
