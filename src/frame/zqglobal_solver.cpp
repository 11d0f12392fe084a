// The solver's unknowns, their names, scaling and layout, the bulk and the
// records of a point, with their reset.
#include "frame/zqglobal_solver.h"

namespace ZQGLOBAL {

// Defaults: RESETSOLVER below.
eqvector X{"X"};
beqvector BX{"BX"};
seqvector XNAME{"XNAME"};
eqvector XFACA{"XFACA"}, XFACB{"XFACB"}, TYPX{"TYPX"};
acceqvector INACC1{"INACC1"}, INACC2{"INACC2"};
smallint NXVARLIM;
xvarlimtype XVARLIMN{"XVARLIMN"}, XVARLIMD{"XVARLIMD"};
smallint NSFNH;
farray<smallint, 1, maxsfnh> SFNHIP{"SFNHIP"}, SFNHK{"SFNHK"}, SFNHIX{"SFNHIX"};
extended PHI;
ieqvector MP2SS{"MP2SS"}, MP2X{"MP2X"};
eqvector XGUESS{"XGUESS"};
ieqvector PXSET{"PXSET"};
smallint NISSET;
eqvector MODEG{"MODEG"};
bool ONLYXCO2SET, STARSET, NOTHINGSET, ONLYONESET, NOTHINGMODESET;

bemvector STARTSS{"STARTSS"}, STARTPH{"STARTPH"};
iemvector EM2SS{"EM2SS"}, EM2X{"EM2X"};

cvector COMPK{"COMPK"};
smallint KBPDEN;
liemmatrix PROJC{"PROJC"};
smallint RANKDEFICIT;
irvector RNSITE{"RNSITE"};
smallint JROW, JCOL;

smallint IBATCH, NOKBATCH;
bool DOINGMC;
sutype SU;

rvector ALNK{"ALNK"};
emvector VARLNA{"VARLNA"};
farray<str255, 1, maxreac> RLINES{"RLINES"};
smallint INDENTR;

void RESETSOLVER() {
  X.fill(0);
  BX.fill(false);
  XNAME.fill("");
  XFACA.fill(0);
  XFACB.fill(0);
  TYPX.fill(0);
  INACC1.fill(acctype::windowlimit);
  INACC2.fill(acctype::windowlimit);
  NXVARLIM = 0;
  XVARLIMN.fill(0);
  XVARLIMD.fill(1);  // a denominator is never 0, even in an unused row
  NSFNH = 0;
  SFNHIP.fill(0);
  SFNHK.fill(0);
  SFNHIX.fill(0);
  PHI = 0;
  MP2SS.fill(0);
  MP2X.fill(0);
  XGUESS.fill(0);
  PXSET.fill(0);
  NISSET = 0;
  MODEG.fill(-1);
  ONLYXCO2SET = STARSET = false;
  NOTHINGSET = ONLYONESET = false;
  NOTHINGMODESET = true;
  STARTSS.fill(false);
  STARTPH.fill(false);
  EM2SS.fill(0);
  EM2X.fill(0);
  COMPK.fill(0);
  KBPDEN = 0;
  PROJC.fill(0);
  RANKDEFICIT = 0;
  RNSITE.fill(1);  // a reaction beyond NR divides by 1
  JROW = 0;
  JCOL = 0;
  IBATCH = 0;
  NOKBATCH = 0;
  DOINGMC = false;
  static const sutype blank;
  SU = blank;
  ALNK.fill(0);
  VARLNA.fill(0);
  RLINES.fill("");
  INDENTR = 0;
}

}  // namespace ZQGLOBAL
