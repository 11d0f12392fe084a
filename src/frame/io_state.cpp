// The state of the I/O layer.
#include "frame/io.h"

namespace IO {

extended MACHEPS = 0;
farray<str5, 1, maxnth> NTH{"NTH"};
// Filled here as well as at start-up, so that the channel routines work in
// a process that has not been through the start-up (the unit tests).
farray<longint, 0, maxbit> BITV = [] {
  farray<longint, 0, maxbit> b{"BITV"};
  for (long i = 0; i <= maxbit; ++i) b[i] = static_cast<longint>(1L << i);
  return b;
}();
str255 WHENSTRING;
timepoint FROMTIME, TOTIME;
longint NGEM = 0;
longint HEAPSIZE = 0;
bool DATAOPEN = false;
bool DUMMYBOOLEAN = false;

longint WHATSOPEN = 0;
textfile OUT, LOGFILE, ICFILE, ITFILE, QKFILE, CSVFILE, CSV2FILE, PSFILE, SVGFILE;
bool ICFILEUSED = false, ITFILEUSED = false, QKFILEUSED = false, CSVFILEUSED = false,
     CSV2FILEUSED = false, PSFILEUSED = false, SVGFILEUSED = false;
textfile DATA;
bool SCRIPTOPEN = false;
str255 FILENAME;
str255 SCRIPTFILENAME;
sstring DATAFILENAMESUFFIX;
sstring SUFFIX;

str255 WSTR, OSTR, PSTR, ISTR, WSTRH;
eestrtype EESTR{"EESTR"};

controliotype CONTROLIO;
smallint NFAIL = 0, NFAIL1 = 0;

std::FILE* TERMOUT = stdout;
std::FILE* TERMIN = stdin;

static timepoint systemclock() { return std::chrono::system_clock::now(); }
timepoint (*CLOCK)() = systemclock;

}  // namespace IO

void ARRAYINDEXFAULT(const char* name, long index, long lo, long hi) {
  IO::ERROREXIT("array index",
                "index " + IO::INT2STR(index) + " outside " + IO::INT2STR(lo) + ".." +
                    IO::INT2STR(hi) + " of " + name,
                myfault);
}
