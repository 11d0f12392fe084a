// The shared state of calc mode 9: the heap tables of the problem, its
// counters, the writers' output file, and their defaults.
#include "lsq/lsqds.h"

namespace LSQDS {

// Made by INTRO; defaults of the rest: RESETLSQDS below.
oxcaltype* OXCAL = nullptr;
std::vector<xprec>* XPW = nullptr;
yvector* Y = nullptr;
yvector* YY = nullptr;
yvector* THETA = nullptr;
xxmatrix* XX = nullptr;
yvector* HAT = nullptr;
ixmatrix* LHS = nullptr;
bxmatrix* B = nullptr;

yvector SDYBR{"SDYBR"};
rowivector TBAR{"TBAR"};
smallint NTOT;
smallint NEXP, NEC, NED, NEO, NEXPT;
smallint NXPW, NOXCAL;
extended SIG2;
smallint ITERNO;
smallint IO2, IS2;
IO::strings SSNAME{"SSNAME"};
smallint NPDS;
farray<smallint, 1, maxdsem> CALROW{"CALROW"};
farray<smallint, 1, maxoxcal> OXROW{"OXROW"};
smallint NOTCONV;
str255 XPLABEL;
IO::textfile ATEXT1;
bool ATEXT1OPEN;

void RESETLSQDS() {
  SDYBR.fill(0);
  TBAR.fill(0);
  NTOT = 0;
  NEXP = NEC = NED = NEO = NEXPT = 0;
  NXPW = NOXCAL = 0;
  SIG2 = 0;
  ITERNO = 0;
  IO2 = IS2 = 0;
  for (long i = 1; i <= SSNAME.hi; ++i) SSNAME[i].clear();
  NPDS = 0;
  CALROW.fill(0);
  OXROW.fill(0);
  NOTCONV = 0;
  NOTCONVSEEN = false;
  XPLABEL.clear();
  if (ATEXT1.f != nullptr) std::fclose(ATEXT1.f);
  ATEXT1 = IO::textfile{};
  ATEXT1OPEN = false;
}

}  // namespace LSQDS
