#include "frame/zqglobal.h"

namespace ZQGLOBAL {

dsnamelist NAME{"NAME"};
smallint NCV = 0;

smallint DSMODE = 0;
smallint NTP = 0;
bool WITHOLDSET = false;
bool USESP = false;
dsnamelist PHNAMES{"PHNAMES"};
dsnamelist LONGPHNAMES{"LONGPHNAMES"};
str255 WHEN1;
sstring PDATAFILENAME;

farray<smallint, 1, maxem> NOX{"NOX"};
oxcodematrix OXCODE{"OXCODE"};
oxnomatrix OXNO{"OXNO"};
emvector NOOX{"NOOX"};

smallint NUV = 0, NU = 0, NNE = 0, NE = 0;
dsnamelist COMPNAME{"COMPNAME"};
farray<longint, 1, maxcomp> COMPDIV{"COMPDIV"};
farray<smallint, 1, maxcomp> ICOMP{"ICOMP"};
smallint KNU = 0, KNUV = 0;
smallint NCVDIFF = 0;

}  // namespace ZQGLOBAL
