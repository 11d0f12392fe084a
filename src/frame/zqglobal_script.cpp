#include "frame/zqglobal.h"

namespace ZQGLOBAL {

smallint DEBUGLEVELQ = 1, OUTLEVEL = 1;
smallint AVPTINFOLEVEL = 1, AVPTCALCTYPE = 1, AVPTALGO = 1;
smallint UTILITYCODE = -1, TABLECODE = -1, RECALCCODE = -1;
bool DOINGCONVERT = false;

smallint NMIN = -2;
sstring ROCKNAME = "my rock";
farray<mineraltype, 1, maxminerals> MINERAL{"MINERAL"};
smallint NCONV = -1, NCONVB = 0, NMINCONV = -1;
farray<mineralconvtype, 1, maxminerals> MINERALCONV{"MINERALCONV"};
farray<sstring, 1, maxcomp> CONVOX{"CONVOX"};
farray<extended, 1, maxcomp> CONVBULK{"CONVBULK"};

extended SMALLE = 1e-8L, SMALLF = 1e-6L, SMALLDX = 0.005L, SMALLSUMM = 1e-6L;

smallint NXYZ = -1;
farray<sstring, 1, maxxyz> XYZNAME{"XYZNAME"};
farray<extended, 1, maxxyz> XYZ{"XYZ"}, XYZSD{"XYZSD"}, XYZLIM1{"XYZLIM1"}, XYZLIM2{"XYZLIM2"};
extended P4XYZ = -101, T4XYZ = -101;
smallint NMODEGUESS = -1;
farray<sstring, 1, maxmodeguess> MODENAME{"MODENAME"};
farray<extended, 1, maxmodeguess> MODEGUESSV{"MODEGUESSV"};

smallint NSC = -1;
farray<smallint, 1, maxscgroups> ISC{"ISC"}, ISC0{"ISC0"};
fmatrix<sstring, 1, maxscgroups, 1, maxscnames> SCNAME{"SCNAME"}, LONGSCNAME{"LONGSCNAME"},
    FULLSCNAME{"FULLSCNAME"};

smallint FIGURE = 0;
smallint NWHSTRINGS = 0, NEXCESSSTRINGS = 0, NTOZEROSTRINGS = 0;
farray<sstring, 1, maxphaselist> WHSTRINGS{"WHSTRINGS"}, LONGWHSTRINGS{"LONGWHSTRINGS"};
farray<sstring, 1, maxexcess> EXCESSSTRINGS{"EXCESSSTRINGS"}, TOZEROSTRINGS{"TOZEROSTRINGS"};
smallint DOGLEVEL = -1;
smallint MINVARIANCE = 2, MAXVARIANCE = 0;
bool EXBUFF = false, PSEUDOSECTION = false, MODESBYNLE = false, MODESAFTERNLE = false, CALCG = true;
bool NUMERICAL = false, QVB = false;

smallint NINCBULK = -1, NCOMP = -3;
farray<sstring, 1, maxcomp> BULKC{"BULKC"};
farray<extended, 1, maxcomp> COMP1{"COMP1"}, COMP2{"COMP2"};
smallint NRBIMODE = -1, NRMIMODE = -1;
farray<sstring, 1, maxrbi> RBISTRP{"RBISTRP"};
farray<extended, 1, maxrbi> RBIMODE{"RBIMODE"};
fmatrix<extended, 1, maxrbi, 1, maxcomp> RBIC{"RBIC"};
smallint NPROJAPEX = -1;
farray<sstring, 1, maxcomp> PROJPLANEC{"PROJPLANEC"};
farray<sstring, 1, maxprojapex> PROJNAMES{"PROJNAMES"};
fmatrix<extended, 1, maxprojapex, 1, maxcomp> PROJPLANE{"PROJPLANE"};

sstring BUFFERC;
extended BUFFERDEL = 0;
smallint NRGBS = -1;
farray<sstring, 1, maxrgb> RGBN{"RGBN"};
fmatrix<smallint, 1, maxrgb, 1, 3> RGBS{"RGBS"};
smallint CONVLIQROW = -1, CONVLIQCOL = -1;
fmatrix<extended, 1, maxconvliqrows, 1, maxconvliqcols> CONVLIQINFO{"CONVLIQINFO"};
extended OBLIQUEA = -1, OBLIQUEB = 0;

extended MUP = 0, MUT = 0;
smallint NMUCALCS = 0;
fmatrix<extended, 1, maxmucalcs, 1, maxcomp> MUCALCS{"MUCALCS"};

smallint NBATCH = -1, NBATCHXYZ = -1, NBATCHREQ = -1, NBATCHSWITCH = 0;
farray<batchtype, 1, maxbatch> BATCHINFO{"BATCHINFO"};
farray<bxyztype, 1, maxbatch> BATCHXYZ{"BATCHXYZ"};
farray<breqtype, 1, maxbreq> BATCHREQ{"BATCHREQ"};
farray<bool, 1, maxbatchswitch> BATCHSWITCH{"BATCHSWITCH"};
farray<smallint, 1, maxbatch> BATCHNO{"BATCHNO"};
bool FILTERING = false;
smallint NFILT = -1, NFILTPT = 0;
smallint NMC = -1, NMCRANGE = -1, NMCFUNC = -1, NMCCOMP = 0, BATCHNUVI = 0;
farray<mctype, 1, maxmc> MCINFO{"MCINFO"};
farray<mcrangetype, 1, maxmc> MCRANGEINFO{"MCRANGEINFO"};
farray<mcfunctype, 1, maxmc> MCFUNCINFO{"MCFUNCINFO"};
farray<mccomptype, 1, maxmc> MCCOMPINFO{"MCCOMPINFO"};
fracttype FRACTINFO;
extended MCIT = 1;
smallint MCITOK = 1;
bool GAUSSMC = false;

controldstype CONTROLDS;

}  // namespace ZQGLOBAL
