// The data set's shared state (end-member names, formulas, components and
// their divisors, the generation and its date), with its reset.
#include "frame/zqglobal.h"
#include "frame/zqglobal_reset.h"

namespace ZQGLOBAL {

// Defaults: RESETDATASET below.
dsnamelist NAME{"NAME"};
smallint NCV;

smallint DSMODE;
smallint NTP;
bool WITHOLDSET;
bool USESP;
dsnamelist PHNAMES{"PHNAMES"};
dsnamelist LONGPHNAMES{"LONGPHNAMES"};
farray<std::string, 1, maxdsem> PHWRITTEN{"PHWRITTEN"};
str255 WHEN1;
sstring PDATAFILENAME;
covroundmatrix COVROUNDING{"COVROUNDING"};
judgedcovtype JUDGEDCOV;

farray<smallint, 1, maxem> NOX{"NOX"};
oxcodematrix OXCODE{"OXCODE"};
oxnomatrix OXNO{"OXNO"};
emvector NOOX{"NOOX"};

smallint NUV, NU, NNE, NE;
dsnamelist COMPNAME{"COMPNAME"};
farray<longint, 1, maxcomp> COMPDIV{"COMPDIV"};
farray<smallint, 1, maxcomp> ICOMP{"ICOMP"};
smallint KNU, KNUV;
smallint NCVDIFF;

void RESETDATASET() {
  NCV = 0;
  DSMODE = 0;
  NTP = 0;
  WITHOLDSET = false;
  USESP = false;
  WHEN1.clear();
  PDATAFILENAME.clear();
  NUV = NU = NNE = NE = 0;
  KNU = KNUV = 0;
  NCVDIFF = 0;
  // The lists are read only as far as their counts go; cleared all the same,
  // so that a test or a fuzz input sees what a fresh process holds.
  for (auto* list : {&NAME, &PHNAMES, &LONGPHNAMES, &COMPNAME})
    for (sstring& s : *list) s.clear();
  for (std::string& s : PHWRITTEN) s.clear();
  NOX.fill(0);
  OXCODE.fill(0);
  OXNO.fill(0);
  NOOX.fill(0);
  COMPDIV.fill(0);
  ICOMP.fill(0);
  COVROUNDING.fill(0);
  RESETJUDGEDCOV();
}

void RESETJUDGEDCOV() {
  JUDGEDCOV.inforce = false;
  JUDGEDCOV.at.clear();
  JUDGEDCOV.member.fill(0);
}

extended COVINUSE(long i, long j) {
  if (JUDGEDCOV.inforce) {
    const long a = JUDGEDCOV.member[i], b = JUDGEDCOV.member[j];
    if (a != 0 && b != 0) return JUDGEDCOV.used(a, b);
  }
  return (*COV)(i, j);
}

}  // namespace ZQGLOBAL
