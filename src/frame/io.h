// The I/O layer: output channels, line buffers, the dialogue on the terminal,
// words and numbers, the preferences, the run's files and the fatal exit.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

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
// The length of a line that tables and flowed rows go on after; a built
// line itself is never cut there, it keeps every character appended.
constexpr std::size_t linelength = 250;
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
  // The name is that of a file the run reads: held text never goes there.
  bool readbyrun = false;
  // Lines read so far, so that a stop can name the line it met.
  long lines = 0;
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

// The process's exit status: a run that ended as the user asked (its normal
// end, "kill", HALT) and one that a fatal stop ended, so that a script or a
// batch job that runs the program can tell a failed run from a good one.
constexpr int exitdone = 0;
constexpr int exitbombed = 1;

// How a run ends when it does not return normally: a fatal error, "kill" or
// HALT. The message block has been written and the files tidied when it is
// thrown; main catches it and ends the process with its status().
struct runend {
  std::string where;
  std::string message;
  bool killed = false;
  faulttype fault = yourfault;
  bool bombed = false;  // a fatal stop (ERROREXIT), end of input at a prompt included
  int status() const { return bombed ? exitbombed : exitdone; }
};

// ---------------------------------------------------------------- state
extern extended MACHEPS;  // the machine epsilon of extended; INITIALISEIO, RESETIO
extern farray<str5, 1, maxnth> NTH;  // ordinal words "1st", "2nd", ..; INITIALISEIO, RESETIO
extern farray<longint, 0, maxbit> BITV;  // BITV[i] = 2^i; INITIALISEIO, RESETIO
extern str255 WHENSTRING;  // the run stamp "hh.mm on Day d Mon, yyyy"; MAKEWHEN
extern timepoint FROMTIME, TOTIME;  // start of the run and time of the last TIMER; MAKEWHEN, TIMER
extern longint NGEM;  // end-member Gibbs energies evaluated; GEM counts, SETUP and DOLSQDS zero
extern longint HEAPSIZE;  // bytes of the work arrays as the heap monitor counts them; HEAPINC, HEAPDEC
extern bool DATAOPEN;  // an input file is open on DATA; the readers that open and close it
extern bool DUMMYBOOLEAN;  // a flag passed where a routine wants one and nobody reads it back

extern longint WHATSOPEN;  // bit set of the open output channels (CHANNEL::); INITIALISEIO, STARTOUT, IOCLEANUP
// The files of channels 2..10; INITIALISEIO (log), STARTOUT (the rest).
extern textfile OUT, LOGFILE, ICFILE, ITFILE, QKFILE, CSVFILE, CSV2FILE, PSFILE, SVGFILE;
// An optional file received text (else it is removed); PUTSTR sets, STARTOUT clears.
extern bool ICFILEUSED, ITFILEUSED, QKFILEUSED, CSVFILEUSED, CSV2FILEUSED, PSFILEUSED, SVGFILEUSED;
// A fatal stop is under way: a write that fails then is only marked on its
// file, for the close to report, and starts no second stop; ERROREXIT sets,
// RESETIO clears.
extern bool STOPPING;
// The ends of the run under way, one within the other (a fatal stop, and
// the clean-up it makes or that "kill" and the normal end make): a stop
// raised within one lets it finish instead of beginning it again; ERROREXIT
// and IOCLEANUP count them while they run (ENDSCOPE), RESETIO clears.
extern int ENDING;
// A stop's message is out in the end under way, so that a later stop of
// that end says none; ERROREXIT sets, the outermost end clears on leaving.
extern bool STOPSAID;
// Counts one end of the run under way for as long as it lives.
struct ENDSCOPE {
  ENDSCOPE() { ++ENDING; }
  ~ENDSCOPE() {
    if (--ENDING == 0) STOPSAID = false;
  }
  ENDSCOPE(const ENDSCOPE&) = delete;
  ENDSCOPE& operator=(const ENDSCOPE&) = delete;
};
extern textfile DATA;  // the input file being read (script, data set, a-x file); its readers
extern bool SCRIPTOPEN;  // the script is open on DATA; the script reader and the pass set-up
extern str255 FILENAME;  // name of the file last opened or made; PROMPTDATAFILE, PROMPTOUTFILE
extern str255 SCRIPTFILENAME;  // name of the run's script file; STARTOUT
extern sstring DATAFILENAMESUFFIX;  // suffix of the run's output file names; STARTOUT, SETUP clears

// Shared line buffers of the writers; any writer, emptied by INITIALISEIO.
extern str255 WSTR, OSTR, PSTR, ISTR, WSTRH;
// Appends of the line builder that took a line past linelength, counted so
// that the tables and rows that go on in blocks or lines know where; ADDSTR
// counts, RESETIO clears.
extern std::size_t OVERRUNS;
extern eestrtype EESTR;  // lines of a message for FORMATTEXT; its callers

extern controliotype CONTROLIO;  // preferences and I/O settings; READPREFS, the script reader (autoexit)
extern smallint NFAIL, NFAIL1;  // failed checks of the script read so far; the script checks, DEFAULTCONTROL

// Decides, when a run ends before its start-up has checked the names of its
// files, whether the log held in memory is one of the files the run reads as
// far as they are known then, and marks it readbyrun if so; the main program
// sets it (ZQUTE1::GUARDLOG), RESETIO clears it.
extern void (*HELDLOGGUARD)();

// Writes kept back while a part of the run is tried before it is written
// (a picture tried one way, then another): the file of each (null: the
// terminal) and its text, in the order made.
using heldwrites = std::vector<std::pair<textfile*, std::string>>;
// Where writes are kept instead of written, while a try runs; the try sets
// and clears it (HOLDWRITES), RESETIO clears. A fatal stop within the try
// ends the try alone: it writes, closes and asks nothing.
extern heldwrites* HELDWRITES;

// The terminal: standard output and standard input, replaceable by tests.
extern std::FILE* TERMOUT;
extern std::FILE* TERMIN;
// The clock of the run stamp and the timer, replaceable by tests.
extern timepoint (*CLOCK)();

// ---------------------------------------------------------------- run frame
// Starts the I/O layer: constants, banner, preferences, the log, the run stamp.
void INITIALISEIO(const std::string& version);
// MACHEPS, the ordinal words NTH and the bit values BITV.
void MAKECONSTANTS();
// Sets FROMTIME and WHENSTRING from CLOCK.
void MAKEWHEN();
// Writes the time since FROMTIME and NGEM to the terminal.
void TIMER();
// Adds bytes to HEAPSIZE; reports it when the heap is monitored.
void HEAPINC(const sstring& what, longint bytes);
// Takes bytes off HEAPSIZE; reports it when the heap is monitored.
void HEAPDEC(const sstring& what, longint bytes);
// Writes text to the terminal outside the channel mask (it never reaches
// the log); the same stream as channel 0, so the order of lines holds.
void WRITETERMINAL(const std::string& text);

// ---------------------------------------------------------------- channels
// Writes text with line ends before and after (0 none, 1 one, else two) to the open channels of the mask.
void PUTSTR(smallint before, const std::string& text, smallint after, longint channels);
// The heading of one group of a run's settings as the user gave them
// ("... of bulk composition"), one line end before and after.
void SETTINGSHEAD(const std::string& topic, longint channels);
// Flushes every open file channel.
void FLUSHER();
// Every write to a file of the run goes through these two (text kept for a
// held file too). The first that fails ends the run at once as a fatal stop,
// so that no result is lost unseen; one that fails during a fatal stop only
// marks the file.
void WRITEFILE(textfile& f, const std::string& text);
void FLUSHFILE(textfile& f);
// Keeps the writes of the scope's life in into, as HELDWRITES.
struct HOLDWRITES {
  explicit HOLDWRITES(heldwrites& into) : was(HELDWRITES) { HELDWRITES = &into; }
  ~HOLDWRITES() { HELDWRITES = was; }
  HOLDWRITES(const HOLDWRITES&) = delete;
  HOLDWRITES& operator=(const HOLDWRITES&) = delete;

 private:
  heldwrites* was;
};
// Writes what a try kept, as it would have been written then.
void WRITEHELD(const heldwrites& writes);
// Appends text to line, right-justified in width (left-justified in -width
// when negative), whole at any length of the line.
void ADDSTR(const std::string& text, smallint width, std::string& line);
// A name (phase, end-member, variable, site fraction, component, reaction)
// in a column of width as ADDSTR puts it, right-justified keeping at least
// one blank before it: a name narrower than its column comes out as ADDSTR
// writes it, one as wide or wider stays apart from what goes before, so
// that the names of a heading read one by one. Left-justified (width < 0)
// it comes out as ADDSTR writes it after a blank, and with one blank before
// it after a field that filled its own column (a name as wide as its
// column, say); in no column (0) it is appended as ADDSTR does.
void ADDNAME(const std::string& name, smallint width, std::string& line);
// Text as ADDSTR justifies it, whole at any length of the line it joins: a
// csv row is built of these, since its reader takes a row as one line.
std::string PADSTR(const std::string& text, smallint width);
// Appends x as REAL2STR writes it, right-justified in width.
void ADDREAL(extended x, smallint places, bool fixed, smallint width, std::string& line);
// Appends x as INT2STR writes it, right-justified in width.
void ADDINT(extended x, smallint width, std::string& line);
// Appends x as the whole number nearest it (ADDINT) when it lies less than
// within from one, else as ADDREAL with places decimals, fixed.
void ADDWHOLEORREAL(extended x, extended within, smallint places, smallint width, std::string& line);
// A table whose columns run along its rows, written to channels: row r is
// what label appends, then cell c of it for c = 1..ncols. Where a row would
// pass a line's length, the table goes on in further blocks of the same rows
// over the columns left, so that no cell is lost; a table that fits is one
// block, as a row built whole would be. The first row of the first block
// has before line ends before it, that of each later block one; every row
// ends its line.
using tablelabel = std::function<void(long row, std::string& line)>;
using tablecell = std::function<void(long row, long col, std::string& line)>;
void PUTTABLE(long nrows, long ncols, const tablelabel& label, const tablecell& cell, smallint before,
              longint channels);
// As PUTTABLE, the columns parted at the same places, but each row goes on
// in the next lines instead of in later blocks, so that a reader that joins
// a row's lines takes it whole: a line that the next continues ends in what
// goeson appends for its row, and a continuation begins with what cont
// appends. A table that fits is as PUTTABLE writes it.
void PUTTABLEROWS(long nrows, long ncols, const tablelabel& label, const tablecell& cell, const tablelabel& goeson,
                  const tablelabel& cont, smallint before, longint channels);
// A row of n fields after head, field k appended by field: where a field
// would pass a line's length the line so far ends in goeson and the row goes
// on in the next line, which begins with indent, so that no field is lost;
// a row that fits is one line, as a row built whole would be. A field that
// starts a line is appended whole. The row's lines, in order.
using rowfield = std::function<void(long k, std::string& line)>;
std::vector<std::string> FLOWROW(const std::string& head, long n, const rowfield& field, const std::string& goeson,
                                 const std::string& indent);
// FLOWROW's lines written to channels: before line ends before the first,
// every line but the last ending its line, after line ends after the last.
void PUTROW(smallint before, const std::string& head, long n, const rowfield& field, smallint after,
            longint channels, const std::string& goeson = "", const std::string& indent = "");
// Writes the words of lines re-flowed to terminal and log.
void FORMATTEXT(const eestrtype& lines);
// Writes, after title, which file channels are open and used.
void FILESTATE(const sstring& title);
// The file of channel bit k (2..10), and its used flag (nullptr for the
// summary and the log, which are always kept).
textfile& CHANNELFILE(int bit);
bool* CHANNELUSED(int bit);

// ---------------------------------------------------------------- fatal exit
// Ends the run: the message block on the main channels, files tidied, the
// Return wait, IO::runend thrown as a fatal stop (the process ends with exitbombed).
[[noreturn]] void ERROREXIT(const std::string& where, const std::string& message, faulttype fault);
// Stops the process at once: every open file flushed, nothing written lost,
// and none of the rest of a run's end (no message, no clean-up); IO::runend
// thrown with an empty where and message, not as a fatal stop (unless a
// flush fails, as any failed write does).
[[noreturn]] void HALT();
// The wait for Return at the end of a fatal stop, unless "autoexit".
void WAITRETURN();
// Ends the run for a "kill" answer.
[[noreturn]] void USERINTERRUPT();
// True when s, trimmed, is "kill".
bool KILLSTRING(const std::string& s);
// An invariant of the program's own making: when condition is false the run
// ends as an internal fault (myfault) in where with what. Always on; the
// texts are plain C strings, so a check that holds costs no allocation.
inline void INTERNALCHECK(bool condition, const char* where, const char* what);
// The end of the run for a broken internal check.
[[noreturn]] void INTERNALFAULT(const char* where, const char* what);
inline void INTERNALCHECK(bool condition, const char* where, const char* what) {
  if (!condition) [[unlikely]]
    INTERNALFAULT(where, what);
}

// ---------------------------------------------------------------- dialogue
// Reads one answer line from the terminal into its words.
void PRSTRINGS(strings& words, smallint& n);
// Shows prompt and reads the words of the answer (echoed to the log).
void PROMPTSTRINGS(const std::string& prompt, strings& words, smallint& n);
// Shows prompt; w is the first word of the answer, empty for none.
void PROMPTSTRING(const std::string& prompt, sstring& w);
// Asks until the first word of an answer is a number; "kill" ends the run.
void PROMPTREAL(const std::string& prompt, extended& x);
// Asks until the first word of an answer is a smallint; "kill" ends the run.
void PROMPTINTEGER(const std::string& prompt, smallint& i);
// Asks for n numbers (n = 0: as many as one answer holds, at most 40) into v.
void PROMPTREALS(const std::string& prompt, rrvector& v, smallint& n);
// Asks a yes/no question; true for yes.
bool QUERY(const std::string& question);
// Resolves c = ask by asking question; yes and no are left as they are.
void PROMPTCONTROL(const std::string& question, controlboolean& c);
// The words of the next line of f; fatal at the end of the file.
void RSTRINGS(textfile& f, strings& words, smallint& n);
// The words of the next line of f, cut at a word starting with "%" when asked.
void READSTRINGS(textfile& f, strings& words, smallint& n, bool cut);
// As READSTRINGS, but false instead of a stop, for a line that cannot be
// read or holds more words than a list takes.
bool TRYREADSTRINGS(textfile& f, strings& words, smallint& n, bool cut);
// The words of a line just read from f, cut at a word starting with "%"
// when asked; a line of more words than a list takes stops the run, naming
// the file, the line and the limit.
void SPLITLINE(const std::string& line, bool cut, const textfile& f, strings& words, smallint& n);
// "line k of "name"": where in f the line read last stands.
std::string LINEPLACE(const textfile& f);
// One raw line of a file: false at the end of the file. Lines may end in
// LF, CR LF or a bare CR.
bool READLINE(textfile& f, std::string& line);
// True when nothing is left to read in f.
bool ENDOFFILE(textfile& f);
// Back to the start of f, its lines counted from there again.
void REWIND(textfile& f);

// ---------------------------------------------------------------- words
// Positions of the first and last non-blank characters of s (1-based; 0 when blank).
void STRINGBOUNDS(const std::string& s, smallint& first, smallint& last);
// s without leading and trailing blanks.
std::string TRIMSTRING(const std::string& s);
// s cut to the length of a name.
sstring MAKESSTRING(const std::string& s);
// Names as written and as kept (cut to the length of a name): in one pass a
// kept name of full length stands for one name as written among the entries
// of one list that a look-up searches (list names it), and a second entry
// written otherwise stops the run naming both. KEEPNAME enters an entry as
// written; KEPTNAME enters it and gives it cut.
void KEEPNAME(const std::string& list, const std::string& written);
sstring KEPTNAME(const std::string& list, const std::string& written);
// Word k of the line split last as written: kept, unless it was cut.
std::string WRITTENWORD(smallint k, const sstring& kept);
// The splitter's record of the words it cuts: a new line, and word k cut.
void NEWSPLIT();
void NOTECUT(smallint k, const std::string& written);
// The pass's names forgotten (a pass reads its files afresh).
void RESETKEPTNAMES();
// n blanks.
std::string BLANKSTRING(smallint n);
// a and b equal when trimmed.
bool SAMESTRING(const std::string& a, const std::string& b);
// Position k of w among list[1..n]; false (k = 0) when absent.
bool MATCHSTRING(const sstring& w, const strings& list, smallint n, smallint& k);
// The blank-separated words of the first len characters of s: a name is
// kept to its first 22 characters, a number whole.
void STRING2STRINGS(const std::string& s, long len, strings& words, smallint& n);
// Whether w is empty, an integer, a real, a rational or a name.
valuetype WHATISSTRING(const sstring& w);
// True for an integer, a real or a rational.
bool ISNUMBER(valuetype vt);
// w as a real; false with msg when it is none.
bool STR2REAL(const sstring& w, extended& x, std::string& msg);
// w as a smallint; false with msg when it is none or does not fit.
bool STR2INT(const sstring& w, smallint& i, std::string& msg);
// w ("p/q" or an integer) as p/q; false with msg when it is none.
bool STR2RAT(const sstring& w, smallint& p, smallint& q, std::string& msg);
// words[start..nw] as reals; false at the first that is none.
bool STRINGS2REALS(const strings& words, smallint nw, smallint start, rrvector& v, smallint& n);
// words[start..nw] as integers; false at the first that is none.
bool STRINGS2INTEGERS(const strings& words, smallint nw, smallint start, irrvector& v, smallint& n);
// w as an integer; fatal in where when it is none.
smallint GETINTEGER(valuetype vt, const sstring& w, const std::string& where);
// w as a real (a rational counts); fatal in where when it is none.
extended GETREAL(valuetype vt, const sstring& w, const std::string& where);
// w as p/q; fatal in where when it is none.
void GETRATIONAL(valuetype vt, const sstring& w, smallint& p, smallint& q, const std::string& where);
// A rational p/q within 0.001 of x, by continued fractions.
void REAL2RATIONAL(extended x, longint& p, longint& q);
// n as a smallint; fatal when it does not fit.
smallint LI2I(longint n);
// Decimals needed to show x (1 for a whole number).
smallint NPLACES(extended x);
// Decimals needed to show x (0 for a whole number).
smallint NPLACES0(extended x);
// Places beyond every power of ten an extended holds: a number word's last
// place is held within them, so its unit is what the arithmetic would give.
constexpr long FARTHESTPLACE = 5000;
// The decimal place of the last digit of a number word as written: -4 for
// "0.0069" and for "6.9e-3", within FARTHESTPLACE either way however long
// its exponent. False for a bare integer, which shows none.
bool LASTPLACE(const std::string& number, int& place);

// ---------------------------------------------------------------- preferences
// Reads the preferences file into CONTROLIO; absent file: defaults.
void READPREFS();
// The switch word words[2] (yes/on, no/none, ask) into c, yes when absent; k: the last word used.
void READCONTROL(const strings& words, smallint n, controlboolean& c, smallint& k);

// ---------------------------------------------------------------- run files
// Asks for an empty suffix ("suffix to name for " + what + " datafile");
// fatal when it stays empty or holds a NUL byte.
void PROMPTSUFFIX(sstring& suffix, const std::string& what);
// Opens the file name for reading as what; fatal when it is an output of
// the run or absent; the name.
std::string OPENDATAFILE(const std::string& name, const std::string& what, textfile& f);
// OPENDATAFILE of the name nameof forms of the suffix (asked when empty).
std::string PROMPTDATAFILE(std::string (*nameof)(const sstring&), sstring& suffix, const std::string& what,
                           textfile& f);
// Creates the file name for writing, locked against other runs; fatal when
// it is another output of this run or another run holds it; the name.
std::string OPENOUTFILE(const std::string& name, textfile& f);
// OPENOUTFILE of OUTPUTNAME(prefix, name).
std::string PROMPTOUTFILE(const std::string& prefix, const sstring& name, textfile& f);

// The name of each file a run reads or writes, formed by these alone: the
// readers, the writers and start-up's checks all take it from here.
std::string INPUTNAME(const std::string& prefix, const sstring& suffix);  // prefix + suffix + ".txt"
std::string OUTPUTNAME(const std::string& prefix, const sstring& name);   // prefix + name cut to a word
std::string PREFSNAME();                                                   // the preferences
std::string LSQPREFSNAME();                                                // calc mode 9's preferences
std::string LOGNAME();                                                     // the log
std::string SCRIPTNAME(const sstring& suffix);                             // the script
std::string AXNAME(const sstring& suffix);                                 // the a-x file of calc modes 0-3
std::string DATASETNAME(const sstring& suffix);                            // the data set
std::string DRAWINGNAME(const sstring& suffix);                            // the drawing's data
std::string LSQSCRIPTNAME(const sstring& suffix);                          // calc mode 9's own script
std::string LSQAXNAME(const sstring& suffix);                              // calc mode 9's a-x file
std::string EMNAME(const sstring& suffix);                                 // calc mode 9's end-member file
std::string EMFNAME(const sstring& suffix);                                // the same, to convert
std::string XPNAME(const sstring& suffix);                                 // calc mode 9's experiments
std::string NEWDATASETNAME(const sstring& suffix);                         // the data set calc mode 9 makes
std::string NEWEMNAME(const sstring& suffix);                              // its new-format end-member file
// Closes f; removes it when keep is false.
void FILECLOSE(textfile& f, bool keep, const sstring& name);
// True when both names reach one file (one device and inode, through
// symbolic and hard links alike) or, neither being there yet, both lead
// through their links to one name that creating them would make.
bool SAMEFILE(const std::string& a, const std::string& b);
// Fatal when another run holds the file name (its log) open for writing.
void CHECKFOLDERFREE(const std::string& name);
// Fatal in where when name holds a byte that no file name can hold (NUL),
// the message calling it what.
void CHECKNAMEBYTES(const sstring& name, const std::string& what, const std::string& where);
// The log is held in memory from start-up until OPENLOG creates it, once the
// names of the run's files are settled (or the run ends sooner); DROPLOG
// discards it instead, when the log would replace a file the run reads, and
// OPENLOG does so for a log marked readbyrun. ENDHELDLOG is the end of a
// run that never got so far: the log is written, or given up, as
// HELDLOGGUARD finds it now.
void OPENLOG();
void ENDHELDLOG();
void DROPLOG();
// The output file open on a channel under this name, or as the same file
// under another name, or nullptr.
const textfile* OPENOUTPUT(const std::string& name);
// Closes every output channel, removing optional files that received
// nothing. A stop raised on the way (a failed write, the held log) ends the
// run once the files are closed, unless a stop is already ending it.
void IOCLEANUP();

// ---------------------------------------------------------------- bit sets
struct longint3 {
  longint w1 = 0, w2 = 0, w3 = 0;
};
// Adds member i to the set s.
void BSET(longint& s, smallint i);
// True when i is a member of s.
bool BTST(longint s, smallint i);
// The members of both.
longint BAND(longint a, longint b);
// The members of either.
longint BOR(longint a, longint b);
// True when every member of a is in b.
bool BSUBSET(longint a, longint b);
// Adds member i (0..92) to the wide set s.
void BSET2(longint3& s, smallint i);
// True when i is a member of the wide set s.
bool BTST2(const longint3& s, smallint i);
// Empties the wide set s.
void BCLEAR2(longint3& s);
// True when every member of a is in b.
bool BSUBSET2(const longint3& a, const longint3& b);

// ---------------------------------------------------------------- number text
// 10^n.
extended TEN(smallint n);
// x as a decimal record in the given form.
void NUM2DEC(const DecForm& form, extended x, Decimal& d);
// The decimal record as text in the given form.
void DEC2STR(const DecForm& form, const Decimal& d, DecStr& s);
// Reads a decimal number from s at index; valid when one was there.
void STR2DEC(const DecStr& s, smallint& index, Decimal& d, bool& valid);
// The value of a decimal record.
extended DEC2NUM(const Decimal& d);
// x with places decimals (fixed) or places significant digits; "0" below 1e-12,
// blanks for a value that cannot be shown (beyond 1e20, infinite or NaN).
std::string REAL2STR(extended x, smallint places, bool fixed);
// x in fixed-point notation with places decimals, right-justified in
// width, every digit written however many; a value beyond the number range
// (infinite) is BEYONDRANGETEXT and one that is no number NONUMBERTEXT, in
// the same field, never a number.
std::string FIXEDPOINT(extended x, int width, int places);
inline constexpr const char* BEYONDRANGETEXT = "beyond range";
inline constexpr const char* NONUMBERTEXT = "no number";
// x rounded to a whole number, as text; blanks when it cannot be shown.
std::string INT2STR(extended x);
// s cut to 20 characters.
DecStr MAKESTR20(const std::string& s);
// s cut to 5 characters.
str5 MAKESTR5(const std::string& s);
// Appends x right-justified in width: whole, or with the decimals it needs (at most 8).
void ADDNO(extended x, smallint width, std::string& line);
// The largest magnitude a stop names in its usual form; beyond it, and for
// a value no field shows, EXPNO's form.
inline constexpr extended WIDESTNO = 1e15L;
// x in exponent form with 4 decimals ("-5.0000e+3000").
std::string EXPNO(extended x);
// x as ADDNO writes it, or beyond WIDESTNO as EXPNO does.
std::string ANYNO(extended x);
// Whether x is zero.
NumClass CLASSREAL(extended x);

}  // namespace IO
