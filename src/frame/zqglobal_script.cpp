// The script settings that live outside CONTROLJX (levels, rock and mineral
// tables, tolerances, starting guesses, phase lists), with the reset each
// script read starts from and the one a fresh process has.
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_reset.h"

namespace ZQGLOBAL {

// Defaults: RESETSCRIPTSETTINGS and RESETSCRIPT below; the tables are read
// only as far as their counts go, and the counts are reset.
smallint DEBUGLEVELQ, OUTLEVEL;
smallint AVPTINFOLEVEL, AVPTCALCTYPE, AVPTALGO;
extended AVPGUESS, AVTGUESS, AVPFIXEDT, AVTFIXEDP;
smallint UTILITYCODE, TABLECODE, RECALCCODE;
bool DOINGCONVERT;

smallint NMIN;
sstring ROCKNAME;
farray<mineraltype, 1, maxminerals> MINERAL{"MINERAL"};
smallint NCONV, NCONVB, NMINCONV;
farray<mineralconvtype, 1, maxminerals> MINERALCONV{"MINERALCONV"};
farray<sstring, 1, maxcomp> CONVOX{"CONVOX"};
farray<extended, 1, maxcomp> CONVBULK{"CONVBULK"};

extended SMALLE, SMALLF, SMALLDX, SMALLSUMM;

smallint NXYZ;
farray<sstring, 1, maxxyz> XYZNAME{"XYZNAME"};
farray<extended, 1, maxxyz> XYZ{"XYZ"}, XYZSD{"XYZSD"}, XYZLIM1{"XYZLIM1"}, XYZLIM2{"XYZLIM2"};
extended P4XYZ, T4XYZ;
smallint NMODEGUESS;
farray<sstring, 1, maxmodeguess> MODENAME{"MODENAME"};
farray<extended, 1, maxmodeguess> MODEGUESSV{"MODEGUESSV"};

smallint NSC;
farray<smallint, 1, maxscgroups> ISC{"ISC"}, ISC0{"ISC0"};
fmatrix<sstring, 1, maxscgroups, 1, maxscnames> SCNAME{"SCNAME"}, LONGSCNAME{"LONGSCNAME"},
    FULLSCNAME{"FULLSCNAME"};

smallint FIGURE;
smallint NWHSTRINGS, NEXCESSSTRINGS, NTOZEROSTRINGS;
farray<sstring, 1, maxphaselist> WHSTRINGS{"WHSTRINGS"}, LONGWHSTRINGS{"LONGWHSTRINGS"};
farray<sstring, 1, maxexcess> EXCESSSTRINGS{"EXCESSSTRINGS"}, TOZEROSTRINGS{"TOZEROSTRINGS"};
smallint DOGLEVEL;
smallint MINVARIANCE, MAXVARIANCE;
bool EXBUFF, PSEUDOSECTION, MODESBYNLE, MODESAFTERNLE, CALCG;
bool NUMERICAL, QVB;

smallint NINCBULK, NCOMP;
farray<sstring, 1, maxcomp> BULKC{"BULKC"};
farray<extended, 1, maxcomp> COMP1{"COMP1"}, COMP2{"COMP2"};
smallint NRBIMODE, NRMIMODE;
farray<sstring, 1, maxrbi> RBISTRP{"RBISTRP"};
farray<extended, 1, maxrbi> RBIMODE{"RBIMODE"};
fmatrix<extended, 1, maxrbi, 1, maxcomp> RBIC{"RBIC"};
smallint NPROJAPEX;
farray<sstring, 1, maxcomp> PROJPLANEC{"PROJPLANEC"};
farray<sstring, 1, maxprojapex> PROJNAMES{"PROJNAMES"};
fmatrix<extended, 1, maxprojapex, 1, maxcomp> PROJPLANE{"PROJPLANE"};

sstring LNALISTKEY;
sstring BUFFERC;
extended BUFFERDEL;
smallint NRGBS;
farray<sstring, 1, maxrgb> RGBN{"RGBN"};
fmatrix<smallint, 1, maxrgb, 1, 3> RGBS{"RGBS"};
smallint CONVLIQROW, CONVLIQCOL;
fmatrix<extended, 1, maxconvliqrows, 1, maxconvliqcols> CONVLIQINFO{"CONVLIQINFO"};
extended OBLIQUEA, OBLIQUEB;

extended MUP, MUT;
smallint NMUCALCS;
fmatrix<extended, 1, maxmucalcs, 1, maxcomp> MUCALCS{"MUCALCS"};
farray<smallint, 1, maxmucalcs> MUCOUNT{"MUCOUNT"};

smallint NBATCH, NBATCHXYZ, NBATCHREQ, NBATCHSWITCH;
farray<batchtype, 1, maxbatch> BATCHINFO{"BATCHINFO"};
farray<bxyztype, 1, maxbatch> BATCHXYZ{"BATCHXYZ"};
farray<breqtype, 1, maxbreq> BATCHREQ{"BATCHREQ"};
farray<bool, 1, maxbatchswitch> BATCHSWITCH{"BATCHSWITCH"};
farray<smallint, 1, maxbatch> BATCHNO{"BATCHNO"};
bool FILTERING;
smallint NFILT, NFILTPT;
smallint NMC, NMCRANGE, NMCFUNC, NMCCOMP, BATCHNUVI;
farray<mctype, 1, maxmc> MCINFO{"MCINFO"};
farray<mcrangetype, 1, maxmc> MCRANGEINFO{"MCRANGEINFO"};
farray<mcfunctype, 1, maxmc> MCFUNCINFO{"MCFUNCINFO"};
farray<mccomptype, 1, maxmc> MCCOMPINFO{"MCCOMPINFO"};
fracttype FRACTINFO;
extended MCIT;
smallint MCITOK;
bool GAUSSMC;

controldstype CONTROLDS;

void RESETSCRIPTSETTINGS() {
  // the x(CO2) list keeps its values; only its count says what is in use
  const auto keptxco2 = CONTROLJX.xco2list;
  CONTROLJX = controljxtype{};
  CONTROLJX.xco2list = keptxco2;
  CONTROLJX.witholdset = WITHOLDSET;

  DEBUGLEVEL = 1;
  DEBUGLEVELQ = 1;
  OUTLEVEL = 1;
  AVPTINFOLEVEL = 1;
  AVPTCALCTYPE = 1;
  AVPTALGO = 1;
  AVPGUESS = 0;
  AVTGUESS = 0;
  AVPFIXEDT = 0;
  AVTFIXEDP = 0;
  NMIN = -2;
  ROCKNAME = "my rock";
  for (long i = 1; i <= maxminerals; ++i) MINERAL[i].n = -1;
  NCONV = -1;
  NCONVB = 0;
  NMINCONV = -1;
  for (long i = 1; i <= maxminerals; ++i) MINERALCONV[i].n = 0;
  UTILITYCODE = -1;
  TABLECODE = -1;
  SMALLE = 1e-8L;
  SMALLF = 1e-6L;
  SMALLDX = 0.005L;
  SMALLSUMM = 1e-6L;
  NXYZ = -1;
  NSC = -1;
  P4XYZ = -101;
  T4XYZ = -101;
  FIGTLOW = CONST::TFLOOR;
  FIGTHIGH = CONST::TCEILING;
  FIGPLOW = ABSPLOW;
  FIGPHIGH = CONST::PCEILING;
  CTINC = 0;
  CPINC = 0;
  FIGURE = 0;
  NWHSTRINGS = 0;
  NEXCESSSTRINGS = 0;
  NTOZEROSTRINGS = 0;
  DOGMIN = false;
  DOGLEVEL = -1;
  MINVARIANCE = 2;
  MAXVARIANCE = 0;
  EXBUFF = false;
  PSEUDOSECTION = false;
  NINCBULK = -1;
  NCOMP = -3;
  NRBIMODE = -1;
  NRMIMODE = -1;
  MODESBYNLE = false;
  MODESAFTERNLE = false;
  NLNA = 0;
  NMU = 0;
  LNALISTKEY.clear();
  BUFFERC.clear();
  BUFFERDEL = 0;
  NPROJAPEX = -1;
  CALCG = true;
  NRGBS = -1;
  NMODEGUESS = -1;
  FIXEDXCO2 = 0;
  FIXEDXH2O = 1;
  NUMERICAL = false;
  QVB = false;
  CONVLIQROW = -1;
  CONVLIQCOL = -1;
  OBLIQUEA = -1;
  OBLIQUEB = 0;
  NBATCHSWITCH = 0;
  NBATCH = -1;
  NBATCHXYZ = -1;
  NBATCHREQ = -1;
  FILTERING = false;
  NFILT = -1;
  NFILTPT = 0;
  GAUSSMC = false;
  NMC = -1;
  BATCHNUVI = 0;
  NMCCOMP = 0;
  NMCRANGE = -1;
  NMCFUNC = -1;
  MCIT = 1;
  // The successes wanted go with the runs: a later script without "mcit"
  // must not stop at, or report, an earlier script's count.
  MCITOK = 1;
  NMUCALCS = 0;
  MUCOUNT.fill(0);
  FRACTINFO = fracttype{};
}

void RESETSCRIPT() {
  CONTROLJX.xco2list = controljxtype{}.xco2list;
  RESETSCRIPTSETTINGS();
  RECALCCODE = -1;
  DOINGCONVERT = false;
  MUP = MUT = 0;
  CONTROLDS = controldstype{};
}

}  // namespace ZQGLOBAL
