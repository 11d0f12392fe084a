#include "frame/constants.h"
#include "frame/zqglobal.h"

namespace ZQGLOBAL {

smallint CONTROLCODE = -1;
calcmodetype CALCMODE = calcmodetype::nlecalc;
smallint MAINLOOP = 0;
bool FROMLSQDS = false;
diagramtype DIAGRAMMODE = diagramtype::ptcalc;
bool WHEREAT = false;

farray<sstring, 1, maxcomp> ELNAME{"ELNAME"}, OXNAME{"OXNAME"};
farray<extended, 1, maxcomp> MOLWT{"MOLWT"};
farray<smallint, 1, maxcomp> METALS{"METALS"}, OXYGENS{"OXYGENS"}, ORDER{"ORDER"};

cmatrix* C = nullptr;
covmatrix* COV = nullptr;
rmatrix* R = nullptr;
prec0table* PREC0 = nullptr;
prec1table* PREC1 = nullptr;
tdmatrix* TD = nullptr;
dcompdxarray* DCOMPDX = nullptr;

smallint NP0 = 0, NPSS = 0, NP = 0, KNP = 0, NUVLEFT = 0, NPLEFT = 0, NEX1 = 0, NEX = 0, NR = 0,
         NX = 0, NXP = 0, NXPSS = 0, NISO = 0;
smallint IV = 0, ICP = 0;
extended FIXEDXCO2 = 0, FIXEDXH2O = 0;
bool REHELP = false, MAKECDHYDROUS = false, CANCONTINUE = false, DOALLREACTIONS = true;
extended ABSPLOW = CONST::PFLOOR, TFACA = 0, TFACB = 0, PFACA = 0, PFACB = 0;
smallint PPRECISION = 3, TPRECISION = 2, XCO2PRECISION = 2, LNAPRECISION = 2, MUPRECISION = 1;
smallint CO2POS = 0, H2OPOS = 0, CRDPOS = 0, FCRDPOS = 0, NLNA = 0, NMU = 0, MUPOS = 0, LNAPOS = 0;
farray<bool, 1, maxcomp> BCOMPS{"BCOMPS"};
farray<smallint, 1, maxem> NSITE{"NSITE"};
farray<sstring, 1, maxlna> LNANAME{"LNANAME"}, LNANAMEP{"LNANAMEP"}, MUNAME{"MUNAME"};
farray<extended, 1, maxlna> FIXEDLNA{"FIXEDLNA"}, FIXEDMU{"FIXEDMU"};
farray<smallint, 1, maxlna> NLLNA{"NLLNA"}, NLMU{"NLMU"};
smallint GIXPW = 1;
smallint NAQSI = 4;
smallint VARIANCE = 1;
sstring CONVSTATUS = "-";
iemvector EXEM{"EXEM"};

controljxtype CONTROLJX;
bool DOGMIN = false;
smallint DEBUGLEVEL = 0;

}  // namespace ZQGLOBAL
