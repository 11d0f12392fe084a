// The run frame and run constants of ZQGLOBAL (calc mode, counts, the
// element-oxide table, precisions, special positions) with their resets, and
// RESETALL over every group of shared state.
#include "frame/zqglobal.h"

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal_bulk.h"
#include "frame/zqglobal_fract.h"
#include "frame/zqglobal_mode1.h"
#include "frame/zqglobal_model.h"
#include "frame/zqglobal_newton.h"
#include "frame/zqglobal_nle.h"
#include "frame/zqglobal_reactions.h"
#include "frame/zqglobal_refinder.h"
#include "frame/zqglobal_reset.h"
#include "frame/zqglobal_runloop.h"
#include "frame/zqglobal_sensitivity.h"
#include "frame/zqglobal_solver.h"
#include "frame/zqglobal_uncertainty.h"

namespace ZQGLOBAL {

// Defaults: RESETRUNFRAME, RESETRUNCONSTANTS and RESETSCRIPT below.
smallint CONTROLCODE;
calcmodetype CALCMODE;
smallint MAINLOOP;
bool FROMLSQDS;
diagramtype DIAGRAMMODE;
bool WHEREAT;
smallint FIRSTUTILITY;
sstring FIRSTAXFILE;

farray<sstring, 1, maxcomp> ELNAME{"ELNAME"}, OXNAME{"OXNAME"};
farray<extended, 1, maxcomp> MOLWT{"MOLWT"};
farray<smallint, 1, maxcomp> METALS{"METALS"}, OXYGENS{"OXYGENS"}, ORDER{"ORDER"};

smallint NP0, NPSS, NP, KNP, NUVLEFT, NPLEFT, NEX1, NEX, NR, NX, NXP, NXPSS, NISO;
smallint IV, ICP;
extended FIXEDXCO2, FIXEDXH2O;
bool REHELP, MAKECDHYDROUS, CANCONTINUE, DOALLREACTIONS;
extended ABSPLOW, TFACA, TFACB, PFACA, PFACB;
smallint PPRECISION, TPRECISION, XCO2PRECISION, LNAPRECISION, MUPRECISION;
smallint CO2POS, H2OPOS, CRDPOS, FCRDPOS, NLNA, NMU, MUPOS, LNAPOS;
farray<bool, 1, maxcomp> BCOMPS{"BCOMPS"};
farray<smallint, 1, maxem> NSITE{"NSITE"};
farray<sstring, 1, maxlna> LNANAME{"LNANAME"}, LNANAMEP{"LNANAMEP"}, MUNAME{"MUNAME"};
farray<extended, 1, maxlna> FIXEDLNA{"FIXEDLNA"}, FIXEDMU{"FIXEDMU"};
farray<smallint, 1, maxlna> NLLNA{"NLLNA"}, NLMU{"NLMU"};
smallint GIXPW;
smallint NAQSI;
smallint VARIANCE;
sstring CONVSTATUS;
iemvector EXEM{"EXEM"};

controljxtype CONTROLJX;
bool DOGMIN;
smallint DEBUGLEVEL;

namespace {

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

}  // namespace

void RESETRUNFRAME() {
  CONTROLCODE = -1;
  CALCMODE = calcmodetype::nlecalc;
  MAINLOOP = 0;
  FROMLSQDS = false;
  DIAGRAMMODE = diagramtype::ptcalc;
  WHEREAT = false;
  FIRSTUTILITY = -1;
  FIRSTAXFILE.clear();
}

void RESETPASS() {
  NP0 = NPSS = NP = KNP = NUVLEFT = NPLEFT = NR = NX = NXP = NXPSS = NISO = 0;
  NEX1 = NEX = 0;
  IV = ICP = 0;
  // Before any script: a script read sets x(H2O) to 1 (RESETSCRIPTSETTINGS).
  FIXEDXCO2 = FIXEDXH2O = 0;
  REHELP = MAKECDHYDROUS = CANCONTINUE = false;
  DOALLREACTIONS = true;
  PPRECISION = 3;
  TPRECISION = 2;
  XCO2PRECISION = 2;
  LNAPRECISION = 2;
  MUPRECISION = 1;
  CO2POS = H2OPOS = CRDPOS = FCRDPOS = 0;
  // Every component free until the pass's own held ones are known: a mu,
  // an ln a or a buffer of an earlier pass would leave its component out
  // of the formula sizes and the mass balance of this one.
  BCOMPS.fill(true);
  NSITE.fill(1);
  GIXPW = 1;
  NAQSI = 4;
  VARIANCE = 1;
  CONVSTATUS = "-";
  EXEM.fill(0);
  LNAPOS = MUPOS = 0;
  NLNA = NMU = 0;
  for (long k = 1; k <= maxlna; ++k) {
    LNANAME[k].clear();
    LNANAMEP[k].clear();
    MUNAME[k].clear();
    FIXEDLNA[k] = 10.0L;
    FIXEDMU[k] = 0;
    NLLNA[k] = 0;
    NLMU[k] = 0;
  }
  LLNA.fill(0);
  LMU.fill(0);
  KEEPLNAS.fill(0);
  RESETLNAROWS();
  IO::RESETKEPTNAMES();
}

namespace {

// Every group a calculation fills, from the data set read to the results
// written: a run starts with them empty and so does each of its passes.
void resetcalculationgroups() {
  RESETDATASET();
  RESETPHASETABLES();
  RESETNEWTON();
  RESETNLE();
  RESETSOLVER();
  RESETSENSITIVITY();
  RESETREACTIONS();
  RESETREFINDER();
  RESETRESULTS();
  RESETMODE1();
  RESETDOGMIN();
  RESETPROJECTION();
  RESETRUNLOOP();
  RESETUNCERTAINTY();
  RESETBULK();
  RESETFRACT();
}

}  // namespace

void STARTPASS() {
  RESETPASS();
  RESETWINDOWS();
  resetcalculationgroups();
  CLEARWORK();
}

void RESETRUNCONSTANTS() {
  for (long i = 1; i <= maxcomp; ++i) {
    const oxiderow& o = oxides[i - 1];
    ELNAME[i] = o.el;
    OXNAME[i] = o.ox;
    MOLWT[i] = o.molwt;
    METALS[i] = o.metals;
    OXYGENS[i] = o.oxygens;
    ORDER[i] = o.order;
  }

  RESETPASS();
  IO::NGEM = 0;
  ABSPLOW = CONST::PFLOOR;
  // P and T scaled onto 0..1 over the widest windows.
  TFACA = 1.0L / (CONST::TCEILING - CONST::TFLOOR);
  TFACB = -CONST::TFLOOR / (CONST::TCEILING - CONST::TFLOOR);
  PFACA = 1.0L / (CONST::PCEILING - ABSPLOW);
  PFACB = -ABSPLOW * PFACA;
  IO::DATAFILENAMESUFFIX.clear();
  RESETWINDOWS();
}

void RESETALL() {
  IO::RESETIO();
  RESETRUNFRAME();
  RESETRUNCONSTANTS();
  RESETSCRIPT();
  RESETMODEL();
  RESETAVPTPLUS();
  resetcalculationgroups();
}

}  // namespace ZQGLOBAL
