// The I/O layer: output channels, line buffers, the dialogue on the terminal,
// words and numbers, the preferences, the run's files and the fatal exit.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "frame/channels.h"
#include "frame/farray.h"
#include "frame/types.h"

namespace IO {

// ---------------------------------------------------------------- types
using strings = farray<sstring, 1, maxwords>;
using rrvector = farray<extended, 1, maxrr>;
using irrvector = farray<smallint, 1, maxrr>;
constexpr smallint maxbit = 30;  // highest bit of a bit set
constexpr int maxnth = 400;  // ordinal words "1st" .. kept ready
constexpr int maxeelines = 12;  // lines of one re-flowed message
using eestrtype = farray<str255, 1, maxeelines>;

// A text file of the run, read or written a line at a time.
struct textfile {
  std::FILE* f = nullptr;
  std::string name;
  bool writing = false;
  bool writeerror = false;
  // Text kept in memory until the file may be created (the log, until the
  // run's input names are known not to clash with it).
  bool holding = false;
  std::string held;
};

// The preferences and I/O settings.
struct controliotype {
  str255 progname;
  bool autoexit = false;
  bool dontwrap = true;
  sstring dsfile;
  sstring scriptfile;
  sstring axfile;
  smallint pagewidth = 80;
  smallint calcmode = -1;
  bool strictaxnames = true;
  bool monitorheap = false;
};

enum class DecStyle { FloatDecimal, FixedDecimal };
struct DecForm {
  DecStyle style = DecStyle::FloatDecimal;
  smallint digits = 0;
};
struct Decimal {
  byte sgn = 0;
  smallint exp = 0;
  DecStr sig = "0";
};
enum class NumClass { ZeroNum, NormalNum };

using timepoint = std::chrono::system_clock::time_point;

// How a run ends when it does not return normally: a fatal error or "kill".
// The message block has been written and the files tidied when it is thrown;
// main catches it and ends the process with status 0.
struct runend {
  std::string where;
  std::string message;
  bool killed = false;
  faulttype fault = yourfault;
};

// ---------------------------------------------------------------- state
extern extended MACHEPS;
extern farray<str5, 1, maxnth> NTH;
extern farray<longint, 0, maxbit> BITV;
extern str255 WHENSTRING;
extern timepoint FROMTIME, TOTIME;
extern longint NGEM;
extern longint HEAPSIZE;
extern bool DATAOPEN;
extern bool DUMMYBOOLEAN;

extern longint WHATSOPEN;
extern textfile OUT, LOGFILE, ICFILE, ITFILE, QKFILE, CSVFILE, CSV2FILE, PSFILE, SVGFILE;
extern bool ICFILEUSED, ITFILEUSED, QKFILEUSED, CSVFILEUSED, CSV2FILEUSED, PSFILEUSED, SVGFILEUSED;
extern textfile DATA;
extern bool SCRIPTOPEN;
extern str255 FILENAME;
extern str255 SCRIPTFILENAME;
extern sstring DATAFILENAMESUFFIX;
extern sstring SUFFIX;  // the suffix word of the input file being opened

extern str255 WSTR, OSTR, PSTR, ISTR, WSTRH;
extern eestrtype EESTR;

extern controliotype CONTROLIO;
extern smallint NFAIL, NFAIL1;

// The terminal: standard output and standard input, replaceable by tests.
extern std::FILE* TERMOUT;
extern std::FILE* TERMIN;
// The clock of the run stamp and the timer, replaceable by tests.
extern timepoint (*CLOCK)();

// ---------------------------------------------------------------- run frame
void INITIALISEIO(const std::string& version);
// MACHEPS, the ordinal words NTH and the bit values BITV.
void MAKECONSTANTS();
void MAKEWHEN();
void TIMER();
void HEAPINC(const sstring& what, longint bytes);
void HEAPDEC(const sstring& what, longint bytes);
// Writes text to the terminal outside the channel mask (it never reaches
// the log); the same stream as channel 0, so the order of lines holds.
void WRITETERMINAL(const std::string& text);

// ---------------------------------------------------------------- channels
void PUTSTR(smallint before, const std::string& text, smallint after, longint channels);
void FLUSHER();
void ADDSTR(const std::string& text, smallint width, std::string& line);
void ADDREAL(extended x, smallint places, bool fixed, smallint width, std::string& line);
void ADDINT(extended x, smallint width, std::string& line);
void FORMATTEXT(const eestrtype& lines);
void FILESTATE(const sstring& title);
// The file of channel bit k (2..10), and its used flag (nullptr for the
// summary and the log, which are always kept).
textfile& CHANNELFILE(int bit);
bool* CHANNELUSED(int bit);

// ---------------------------------------------------------------- fatal exit
[[noreturn]] void ERROREXIT(const std::string& where, const std::string& message, faulttype fault);
[[noreturn]] void USERINTERRUPT();
bool KILLSTRING(const std::string& s);
// An invariant of the program's own making: when condition is false the run
// ends as an internal fault (myfault) in where with what. Always on; the
// texts are plain C strings, so a check that holds costs no allocation.
inline void INTERNALCHECK(bool condition, const char* where, const char* what);
[[noreturn]] void INTERNALFAULT(const char* where, const char* what);
inline void INTERNALCHECK(bool condition, const char* where, const char* what) {
  if (!condition) [[unlikely]]
    INTERNALFAULT(where, what);
}

// ---------------------------------------------------------------- dialogue
void PRSTRINGS(strings& words, smallint& n);
void PROMPTSTRINGS(const std::string& prompt, strings& words, smallint& n);
void PROMPTSTRING(const std::string& prompt, sstring& w);
void PROMPTREAL(const std::string& prompt, extended& x);
void PROMPTINTEGER(const std::string& prompt, smallint& i);
void PROMPTREALS(const std::string& prompt, rrvector& v, smallint& n);
bool QUERY(const std::string& question);
void PROMPTCONTROL(const std::string& question, controlboolean& c);
void RSTRINGS(textfile& f, strings& words, smallint& n);
void READSTRINGS(textfile& f, strings& words, smallint& n, bool cut);
// One raw line of a file: false at the end of the file. Lines may end in
// LF, CR LF or a bare CR.
bool READLINE(textfile& f, std::string& line);
bool ENDOFFILE(textfile& f);

// ---------------------------------------------------------------- words
void STRINGBOUNDS(const std::string& s, smallint& first, smallint& last);
std::string TRIMSTRING(const std::string& s);
sstring MAKESSTRING(const std::string& s);
std::string BLANKSTRING(smallint n);
bool SAMESTRING(const std::string& a, const std::string& b);
bool MATCHSTRING(const sstring& w, const strings& list, smallint n, smallint& k);
void STRING2STRINGS(const std::string& s, smallint len, strings& words, smallint& n);
valuetype WHATISSTRING(const sstring& w);
bool ISNUMBER(valuetype vt);
bool STR2REAL(const sstring& w, extended& x, std::string& msg);
bool STR2INT(const sstring& w, smallint& i, std::string& msg);
bool STR2RAT(const sstring& w, smallint& p, smallint& q, std::string& msg);
bool STRINGS2REALS(const strings& words, smallint nw, smallint start, rrvector& v, smallint& n);
bool STRINGS2INTEGERS(const strings& words, smallint nw, smallint start, irrvector& v, smallint& n);
smallint GETINTEGER(valuetype vt, const sstring& w, const std::string& where);
extended GETREAL(valuetype vt, const sstring& w, const std::string& where);
void GETRATIONAL(valuetype vt, const sstring& w, smallint& p, smallint& q, const std::string& where);
void REAL2RATIONAL(extended x, longint& p, longint& q);
smallint LI2I(longint n);
smallint NPLACES(extended x);
smallint NPLACES0(extended x);

// ---------------------------------------------------------------- preferences
void READPREFS();
void READCONTROL(const strings& words, smallint n, controlboolean& c, smallint& k);

// ---------------------------------------------------------------- run files
std::string PROMPTDATAFILE(const std::string& prefix, sstring& suffix, const std::string& what, textfile& f);
std::string PROMPTOUTFILE(const std::string& prefix, const sstring& name, textfile& f);
void FILECLOSE(textfile& f, bool keep, const sstring& name);
// The log is held in memory from start-up until OPENLOG creates it, once the
// names of the run's files are settled; DROPLOG discards it instead, when the
// log would replace a file the run reads.
void OPENLOG();
void DROPLOG();
// The output file open on a channel under this name, or nullptr.
const textfile* OPENOUTPUT(const std::string& name);
void IOCLEANUP();

// ---------------------------------------------------------------- bit sets
struct longint3 {
  longint w1 = 0, w2 = 0, w3 = 0;
};
void BSET(longint& s, smallint i);
bool BTST(longint s, smallint i);
longint BAND(longint a, longint b);
longint BOR(longint a, longint b);
bool BSUBSET(longint a, longint b);
void BSET2(longint3& s, smallint i);
bool BTST2(const longint3& s, smallint i);
void BCLEAR2(longint3& s);
bool BSUBSET2(const longint3& a, const longint3& b);

// ---------------------------------------------------------------- number text
extended TEN(smallint n);
void NUM2DEC(const DecForm& form, extended x, Decimal& d);
void DEC2STR(const DecForm& form, const Decimal& d, DecStr& s);
void STR2DEC(const DecStr& s, smallint& index, Decimal& d, bool& valid);
extended DEC2NUM(const Decimal& d);
std::string REAL2STR(extended x, smallint places, bool fixed);
std::string INT2STR(extended x);
DecStr MAKESTR20(const std::string& s);
str5 MAKESTR5(const std::string& s);
void ADDNO(extended x, smallint width, std::string& line);
NumClass CLASSREAL(extended x);

}  // namespace IO
