// The script reader: keyword lines of the script file into CONTROLJX and the
// script globals, checked and made consistent; and the least-squares
// preferences reader.
#pragma once

#include <string>

#include "frame/farray.h"
#include "frame/io.h"
#include "frame/types.h"

namespace ZQSCRIPT {

using vtvector = farray<valuetype, 1, maxrr>;
using srrvector = farray<sstring, 1, maxrr>;

// The typed info items of the line being handled.
extern smallint NINFO;
extern vtvector INFOTYPE;
extern IO::rrvector INFOREAL;
extern IO::irrvector INFOINT;
extern srrvector INFOSTRING;

// Lines seen in this read that the post-read checks or later lines ask about.
extern bool PSEUDOSECTIONGIVEN;
extern bool AVPTSEEN;
extern bool MINERALOPEN;
extern bool MUVALSEEN;

// One logical line of the script, split.
struct scriptline {
  sstring keyword;
  controlboolean sw = yes;
  IO::strings words{"script words"};
  smallint n = 0;
  smallint pos = 1;
};

// Reading
void READCONTROLJX();
void GETSCRIPTFILE();
void DEFAULTCONTROL();
void MAKEINFO(const sstring& keyword, const IO::strings& words, smallint n, smallint pos);
void SHIFTINFO(smallint k);
bool ISNUMBER(valuetype v);
void POSTREADCHECKS();
// Its last two steps: the rock's minerals (when any were given) and the
// avPT+ settings (when its switch is on).
void POSTREADMINERALS();
void POSTREADAVPTPLUS();

// The keyword table, in its fixed order; each answers whether it took the line.
bool KEYWORDSRUN(const scriptline& l);
bool KEYWORDSWINDOW(const scriptline& l);
bool KEYWORDSPHASES(const scriptline& l);
bool KEYWORDSBATCH(const scriptline& l);
bool KEYWORDSOTHER(const scriptline& l);
void KEYWORDTABLE(const scriptline& l);
// One "convert" line, from its info items.
void CONVERTLINE();

// Value checks of the info items
bool CHECKSCRIPTR(const sstring& keyword, extended lo, extended hi);
bool CHECKSCRIPTNR(const sstring& keyword, smallint& n);
bool CHECKSCRIPTI(const sstring& keyword, smallint lo, smallint hi);
bool CHECKSCRIPTNI(const sstring& keyword, smallint& n);
bool CHECKSCRIPTS(const sstring& keyword);
bool CHECKSCRIPTNS(const sstring& keyword, smallint& n);

// Pressure and temperature checks of the script's windows: the value at
// info item i (two at i and i + 1 for a range), stored when it passes, a
// fallback and a counted complaint when not. The frame's own limits decide:
// a pressure must lie in lo..CONST::PCEILING (hi is shown in the complaints
// and tested only for a range that breaks both ends); a temperature (typed
// in degrees C) in CONST::TFLOORC..CONST::TCEILINGC whatever lo and hi are.
// The callers' windows are checked again where they are used (ZQUTE1::POK,
// ZQUTE1::TOK).
controlboolean POK(const sstring& keyword, extended& p, extended lo, extended hi, smallint i);
controlboolean PPOK(const sstring& keyword, extended& plo, extended& phi, extended lo, extended hi,
                    smallint i);
controlboolean TOK(const sstring& keyword, extended& t, extended lo, extended hi, smallint i);
controlboolean TTOK(const sstring& keyword, extended& tlo, extended& thi, extended lo, extended hi,
                    smallint i);
void DEFAULTPTWINDOW();

// Helpers shared by the keyword groups
std::string QUOTE(const std::string& s);
// Counts the leading info items that are numbers.
smallint COUNTREALS();
// A fatal user error of the keyword table, where-word "reading scripts".
[[noreturn]] void SCRIPTFAULT(const std::string& message, const std::string& where = "reading scripts");
// A name written twice in one list of a keyword with two different values:
// the list contradicts itself, and the run ends naming it.
[[noreturn]] void TWICEFAULT(const std::string& name, const std::string& keyword);
// Reads a word as a real (integer, real or rational); false when it is none.
bool WORDREAL(const sstring& w, extended& x);
bool WORDINT(const sstring& w, smallint& i);

// Least-squares preferences
void READCONTROLDS();

}  // namespace ZQSCRIPT
