// The frame of the script reader: the passes over the file, logical lines
// with their continuations, the typed info items and the keyword chain.
#include "frame/zqglobal.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

smallint NINFO = 0;
vtvector INFOTYPE{"INFOTYPE"};
IO::rrvector INFOREAL{"INFOREAL"};
IO::irrvector INFOINT{"INFOINT"};
srrvector INFOSTRING{"INFOSTRING"};

bool PSEUDOSECTIONGIVEN = false;
bool AVPTSEEN = false;
bool MINERALOPEN = false;
bool MUVALSEEN = false;

namespace {

constexpr int maxphysicallines = 50;

void clearinfo(smallint i) {
  INFOTYPE[i] = valuetype::anemptystring;
  INFOREAL[i] = 0;
  INFOINT[i] = 0;
  INFOSTRING[i].clear();
}

// Joins physical lines ending in a lone "\" into one word list. Answers
// false when the file was already at its end.
void joinline(scriptline& l) {
  l.n = 0;
  smallint k = 0;
  IO::strings w{"script line"};
  const long first = IO::DATA.lines + 1;
  for (;;) {
    ++k;
    smallint m = 0;
    if (!IO::ENDOFFILE(IO::DATA)) IO::READSTRINGS(IO::DATA, w, m, true);
    bool continuation = false;
    if (m > 0 && w[m] == "\\") {
      continuation = true;
      --m;
    }
    if (m > 0) {
      if (l.n + m > maxwords)
        IO::ERROREXIT("readcontrol",
                      "too many strings in a multiline: lines " + std::to_string(first) + " to " +
                          std::to_string(IO::DATA.lines) + " of " + QUOTE(IO::DATA.name) + " hold more than " +
                          std::to_string(maxwords) + " words",
                      yourfault);
      for (smallint i = 1; i <= m; ++i) l.words[l.n + i] = w[i];
      l.n = static_cast<smallint>(l.n + m);
    }
    if (m == 0 || !continuation || k == maxphysicallines) break;
  }
  if (k == maxphysicallines) IO::ERROREXIT("readcontrol", "multiline gone berko", yourfault);
}

}  // namespace

bool ISNUMBER(valuetype v) {
  return v == valuetype::aninteger || v == valuetype::areal || v == valuetype::arational;
}

std::string QUOTE(const std::string& s) { return "\"" + s + "\""; }

void SCRIPTFAULT(const std::string& message, const std::string& where) {
  IO::ERROREXIT(where, message, yourfault);
}

void TWICEFAULT(const std::string& name, const std::string& keyword) {
  SCRIPTFAULT(name + " given twice in " + QUOTE(keyword) + " with different values");
}

bool WORDINT(const sstring& w, smallint& i) {
  std::string msg;
  if (IO::WHATISSTRING(w) != valuetype::aninteger) return false;
  return IO::STR2INT(w, i, msg);
}

bool WORDREAL(const sstring& w, extended& x) {
  std::string msg;
  switch (IO::WHATISSTRING(w)) {
    case valuetype::aninteger: {
      smallint i = 0;
      if (IO::STR2INT(w, i, msg)) {
        x = i;
        return true;
      }
      return IO::STR2REAL(w, x, msg);
    }
    case valuetype::areal:
      return IO::STR2REAL(w, x, msg);
    case valuetype::arational: {
      smallint p = 0, q = 0;
      if (!IO::STR2RAT(w, p, q, msg)) return false;
      x = static_cast<extended>(static_cast<double>(p) / static_cast<double>(q));
      return true;
    }
    default:
      return false;
  }
}

smallint COUNTREALS() {
  smallint k = 0;
  while (k < NINFO && ISNUMBER(INFOTYPE[k + 1])) ++k;
  return k;
}

void MAKEINFO(const sstring& keyword, const IO::strings& words, smallint n, smallint pos) {
  (void)n;
  for (smallint i = 1; i <= maxrr; ++i) clearinfo(i);
  if (NINFO < 1) return;
  const std::string where = "reading script for " + keyword;
  if (NINFO > maxrr) IO::ERROREXIT(where, "too much info", yourfault);
  std::string msg;
  for (smallint i = 1; i <= NINFO; ++i) {
    INFOSTRING[i] = words[pos + i];
    INFOTYPE[i] = IO::WHATISSTRING(INFOSTRING[i]);
    bool ok = true;
    switch (INFOTYPE[i]) {
      case valuetype::aninteger: {
        smallint v = 0;
        if (IO::STR2INT(INFOSTRING[i], v, msg)) {
          INFOINT[i] = v;
          INFOREAL[i] = v;
        } else {
          INFOINT[i] = 0;
          extended x = 0;
          ok = IO::STR2REAL(INFOSTRING[i], x, msg);
          INFOREAL[i] = ok ? x : 0;
        }
        break;
      }
      case valuetype::areal: {
        extended x = 0;
        ok = IO::STR2REAL(INFOSTRING[i], x, msg);
        INFOREAL[i] = ok ? x : 0;
        break;
      }
      case valuetype::arational: {
        smallint p = 0, q = 0;
        ok = IO::STR2RAT(INFOSTRING[i], p, q, msg);
        // the quotient is formed in double precision, as the reader always did
        if (ok) INFOREAL[i] = static_cast<extended>(static_cast<double>(p) / static_cast<double>(q));
        break;
      }
      default:
        break;
    }
    // A word that looks like a number and converts to none (3/0, 0/3) is the
    // user's typing, not the program's fault.
    if (!ok) IO::ERROREXIT(where, "number is not a number", yourfault);
  }
}

void SHIFTINFO(smallint k) {
  if (k == 0 || NINFO <= k) return;
  for (smallint i = static_cast<smallint>(k + 1); i <= NINFO; ++i) {
    INFOTYPE[i - k] = INFOTYPE[i];
    INFOSTRING[i - k] = INFOSTRING[i];
    INFOINT[i - k] = INFOINT[i];
    INFOREAL[i - k] = INFOREAL[i];
  }
  for (smallint i = static_cast<smallint>(NINFO - k + 1); i <= maxrr; ++i) clearinfo(i);
  NINFO = static_cast<smallint>(NINFO - k);
}

void KEYWORDTABLE(const scriptline& l) {
  if (KEYWORDSRUN(l)) return;
  if (KEYWORDSWINDOW(l)) return;
  if (KEYWORDSPHASES(l)) return;
  if (KEYWORDSBATCH(l)) return;
  if (KEYWORDSOTHER(l)) return;
  IO::NFAIL = static_cast<smallint>(IO::NFAIL + 1);
  IO::PUTSTR(1, "the script, " + QUOTE(l.keyword) + ", is unrecognised (or discontinued)", 1, CHANNEL::TERMSUMLOG);
}

void GETSCRIPTFILE() {
  if (IO::CONTROLIO.scriptfile.empty()) {
    IO::strings w{"answer"};
    smallint n = 0;
    IO::PROMPTSTRINGS("use same script file?", w, n);
    if (n > 0 && !(w[1] == "y" || w[1] == "1" || w[1] == "=")) IO::DATAFILENAMESUFFIX.clear();
  }
  IO::FILENAME = IO::PROMPTDATAFILE(IO::SCRIPTNAME, IO::DATAFILENAMESUFFIX, "script info", IO::DATA);
  IO::SCRIPTFILENAME = IO::FILENAME;
  IO::SCRIPTOPEN = true;
}

void READCONTROLJX() {
  IO::NFAIL = 0;
  if (ZQGLOBAL::MAINLOOP > 1) GETSCRIPTFILE();
  DEFAULTCONTROL();
  scriptline l;
  bool ended = IO::ENDOFFILE(IO::DATA);
  while (!ended) {
    joinline(l);
    if (l.n > 0 && l.words[1][0] == '*') {
      ended = true;
    } else if (l.n > 0) {
      l.keyword = l.words[1];
      IO::READCONTROL(l.words, l.n, l.sw, l.pos);
      NINFO = static_cast<smallint>(l.n - l.pos);
      MAKEINFO(l.keyword, l.words, l.n, l.pos);
      KEYWORDTABLE(l);
    }
    if (IO::ENDOFFILE(IO::DATA)) ended = true;
  }
  POSTREADCHECKS();
}

}  // namespace ZQSCRIPT
