// The a-x file's shared state (header lines, buffers, model header values,
// the fluid tables and the species list), with its reset.
#include "frame/zqglobal.h"
#include "frame/zqglobal_reset.h"

namespace ZQGLOBAL {

// Defaults: RESETPHASETABLES below.
smallint NHEADER;
farray<std::string, 1, maxheader> HEADER{"HEADER"};
smallint NBUFFER, BUFFERK;
farray<sstring, 1, maxbuffers> BUFFERNAME{"BUFFERNAME"};
str255 HEAD1, HEAD2, HEAD3;
str255 AXFILENAME;
extended DEFSDW0P, SDWP, ARB, MINSDLNA;
extended LSDWP;

ftype FLUIDTYPE;
smallint NFLUIDNAME;
IO::strings FLUIDNAME{"FLUIDNAME"};
farray<extended, 1, maxfluid> CSP{"CSP"}, CST{"CST"};
fmatrix<extended, 1, maxfluid, 1, maxfluid> AIJ{"AIJ"};

namespace {
farray<sstring, 1, nsplist> makesplist() {
  static const char* const names[nsplist] = {
      "H2O",   "CO2",   "CO",     "CH4",  "O2",   "H2",   "H2S",  "S2",    "H+",    "Cl-",  "OH-",   "Na+",
      "K+",    "Ca++",  "Mg++",   "Fe++", "Al+++", "CO3--", "AlOH3", "AlOH4-", "KOH", "HCl",  "KCl",   "NaCl",
      "CaCl2", "CaCl+", "MgCl2", "MgCl+", "FeCl2", "HS-",  "HSO3-", "SO42-", "HSO4-", "aqSi"};
  farray<sstring, 1, nsplist> list{"SPLIST"};
  for (long i = 1; i <= nsplist; ++i) list[i] = names[i - 1];
  return list;
}
}  // namespace

const farray<sstring, 1, nsplist> SPLIST = makesplist();

// The a-x reader fills the fluid tables (SETFLUIDTABLES) for each file; the
// phase records themselves are work arrays.
void RESETPHASETABLES() {
  NHEADER = 0;
  for (std::string& h : HEADER) h.clear();
  NBUFFER = BUFFERK = 0;
  for (sstring& b : BUFFERNAME) b.clear();
  HEAD1.clear();
  HEAD2.clear();
  HEAD3.clear();
  AXFILENAME.clear();
  DEFSDW0P = SDWP = ARB = MINSDLNA = 0;
  LSDWP = 0;
  FLUIDTYPE = ftype::notset;
  NFLUIDNAME = 0;
  for (sstring& f : FLUIDNAME) f.clear();
  CSP.fill(0);
  CST.fill(0);
  AIJ.fill(0);
  RESETAXSETUP();
}

}  // namespace ZQGLOBAL
