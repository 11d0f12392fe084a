#include "frame/zqglobal.h"

namespace ZQGLOBAL {

smallint NHEADER = 0;
farray<std::string, 1, maxheader> HEADER{"HEADER"};
smallint NBUFFER = 0, BUFFERK = 0;
farray<sstring, 1, maxbuffers> BUFFERNAME{"BUFFERNAME"};
str255 HEAD1, HEAD2, HEAD3;
str255 AXFILENAME;
extended DEFSDW0P = 0, SDWP = 0, ARB = 0, MINSDLNA = 0;
extended LSDWP = 0;

ftype FLUIDTYPE = ftype::notset;
smallint NFLUIDNAME = 0;
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

}  // namespace ZQGLOBAL
