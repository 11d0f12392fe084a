// Every script setting back to its default before a read, so that a pass
// sees exactly what the script says now.
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

void DEFAULTCONTROL() {
  // the x(CO2) list keeps its values; only its count says what is in use
  const auto keptxco2 = CONTROLJX.xco2list;
  CONTROLJX = controljxtype{};
  CONTROLJX.xco2list = keptxco2;
  CONTROLJX.witholdset = WITHOLDSET;

  IO::NFAIL = 0;
  IO::NFAIL1 = 0;
  IO::CONTROLIO.autoexit = false;
  DEBUGLEVEL = 1;
  DEBUGLEVELQ = 1;
  OUTLEVEL = 1;
  AVPTINFOLEVEL = 1;
  AVPTCALCTYPE = 1;
  AVPTALGO = 1;
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
  NMUCALCS = 0;

  AVPTSEEN = false;
  MINERALOPEN = false;
  PSEUDOSECTIONGIVEN = false;
  MUVALSEEN = false;
}

}  // namespace ZQSCRIPT
