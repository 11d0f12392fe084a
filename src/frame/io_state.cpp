// The state of the I/O layer.
#include <string>

#include "frame/io.h"
#include "frame/zqglobal_reset.h"

namespace IO {

// Defaults: RESETIO below; HEAPSIZE belongs to the work arrays and NGEM
// to the run constants (ZQGLOBAL resets).
extended MACHEPS;
farray<str5, 1, maxnth> NTH{"NTH"};
farray<longint, 0, maxbit> BITV{"BITV"};
str255 WHENSTRING;
timepoint FROMTIME, TOTIME;
longint NGEM;
longint HEAPSIZE = 0;
bool DATAOPEN;
bool DUMMYBOOLEAN;

longint WHATSOPEN;
textfile OUT, LOGFILE, ICFILE, ITFILE, QKFILE, CSVFILE, CSV2FILE, PSFILE, SVGFILE;
bool ICFILEUSED, ITFILEUSED, QKFILEUSED, CSVFILEUSED, CSV2FILEUSED, PSFILEUSED, SVGFILEUSED;
bool STOPPING;
int ENDING;
bool STOPSAID;
textfile DATA;
bool SCRIPTOPEN;
str255 FILENAME;
str255 SCRIPTFILENAME;
sstring DATAFILENAMESUFFIX;

str255 WSTR, OSTR, PSTR, ISTR, WSTRH;
std::size_t OVERRUNS;
eestrtype EESTR{"EESTR"};

controliotype CONTROLIO;
smallint NFAIL, NFAIL1;
void (*HELDLOGGUARD)();
heldwrites* HELDWRITES;

std::FILE* TERMOUT = stdout;
std::FILE* TERMIN = stdin;

static timepoint systemclock() { return std::chrono::system_clock::now(); }
timepoint (*CLOCK)() = systemclock;

namespace {
void closefile(textfile& f) {
  if (f.f != nullptr) std::fclose(f.f);
  f = textfile{};
}
}  // namespace

void RESETIO() {
  MAKECONSTANTS();
  for (int k = CHANNEL::FIRSTFILEBIT; k <= CHANNEL::LASTBIT; ++k) closefile(CHANNELFILE(k));
  closefile(DATA);
  WHATSOPEN = CHANNEL::TERMINAL;
  ICFILEUSED = ITFILEUSED = QKFILEUSED = CSVFILEUSED = CSV2FILEUSED = PSFILEUSED = SVGFILEUSED = false;
  SCRIPTOPEN = DATAOPEN = false;
  STOPPING = false;
  ENDING = 0;
  STOPSAID = false;
  DUMMYBOOLEAN = false;
  WHENSTRING.clear();
  FILENAME.clear();
  SCRIPTFILENAME.clear();
  WSTR.clear();
  OSTR.clear();
  PSTR.clear();
  ISTR.clear();
  WSTRH.clear();
  OVERRUNS = 0;
  for (str255& line : EESTR) line.clear();
  CONTROLIO = controliotype{};
  NFAIL = NFAIL1 = 0;
  HELDLOGGUARD = nullptr;
  HELDWRITES = nullptr;
  RESETKEPTNAMES();
}

}  // namespace IO

void ARRAYINDEXFAULT(const char* name, long index, long lo, long hi) {
  // INT2STR blanks out whole numbers past 32 bits, and a wild index is
  // just what this message must show.
  IO::ERROREXIT("array index",
                "index " + std::to_string(index) + " outside " + IO::INT2STR(lo) + ".." +
                    IO::INT2STR(hi) + " of " + name,
                myfault);
}
