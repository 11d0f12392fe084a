// Checks of the info items of a script line, and of the pressures and
// temperatures a line gives. A failed check is reported and counted, so that
// every problem of a script is listed in one run; under "strictscripting"
// the first failed info check ends the run instead.
#include "frame/constants.h"
#include "frame/bytes.h"
#include "frame/zqglobal.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

namespace {

const std::string degC = std::string(macroman::degree_s) + "C";

void complain(const std::string& line) { IO::PUTSTR(1, line, 1, CHANNEL::TERMLOG); }

// One failed test: its line, then either the fatal end or ok := false.
void failed(const sstring& keyword, const std::string& line, const std::string& shortmsg, bool& ok) {
  complain(line);
  if (CONTROLJX.strictscripting) IO::ERROREXIT("reading script for " + keyword, shortmsg, yourfault);
  ok = false;
}

bool closing(bool ok, const std::string& text) {
  if (!ok) {
    IO::NFAIL = static_cast<smallint>(IO::NFAIL + 1);
    IO::PUTSTR(0, text, 1, CHANNEL::TERMLOG);
  }
  return ok;
}

// The counted members share their tests; isok says which class an item needs.
bool checkcounted(const sstring& keyword, smallint& n, bool (*isok)(smallint), const std::string& what,
                  const std::string& includes, const std::string& shortmsg) {
  bool ok = true;
  const std::string k = "for " + keyword;
  if (INFOTYPE[1] == valuetype::anemptystring) {
    failed(keyword, k + ", no info given: one or more " + what + " expected", shortmsg, ok);
  } else if (n > NINFO) {
    failed(keyword, k + ", only " + IO::INT2STR(NINFO) + " " + (what == "reals" ? "numbers" : what) +
                        " in a line, " + "but " + IO::INT2STR(n) + " needed",
           shortmsg, ok);
  } else {
    const smallint last = n > 0 ? n : NINFO;
    for (smallint i = 1; i <= last; ++i)
      if (!isok(i)) {
        failed(keyword, k + ", info includes \"" + INFOSTRING[i] + includes, shortmsg, ok);
        break;
      }
  }
  if (ok && n == 0) n = NINFO;
  return closing(ok, "info in the script needs to be corrected");
}

bool isnumberitem(smallint i) { return ISNUMBER(INFOTYPE[i]); }

// An integer word too large for the program's integers is held as 0 beside
// its real value: it is no integer the run can use.
bool heldwhole(smallint i) { return INFOREAL[i] == INFOINT[i]; }

bool isintegeritem(smallint i) { return INFOTYPE[i] == valuetype::aninteger && heldwhole(i); }

std::string pstr(extended x, extended lo) { return IO::REAL2STR(x, lo < 0.1L ? 4 : 1, true); }

}  // namespace

bool CHECKSCRIPTR(const sstring& keyword, extended lo, extended hi) {
  bool ok = true;
  const std::string k = "for " + keyword;
  if (INFOTYPE[1] == valuetype::anemptystring) {
    failed(keyword, k + ", no info given: one real expected", "real expected", ok);
  } else if (!ISNUMBER(INFOTYPE[1])) {
    failed(keyword, k + ", info given is " + INFOSTRING[1] + "\"", "real expected", ok);
  } else if (lo != hi && (INFOREAL[1] < lo || INFOREAL[1] > hi)) {
    failed(keyword,
           k + ", info given is " + INFOSTRING[1] + "\"" + ", " + "but limits are " + IO::REAL2STR(lo, 3, true) +
               " to " + IO::REAL2STR(hi, 3, true),
           "real inappropriate", ok);
  }
  return closing(ok, "a real will be prompted for");
}

bool CHECKSCRIPTI(const sstring& keyword, smallint lo, smallint hi) {
  bool ok = true;
  const std::string k = "for " + keyword;
  if (INFOTYPE[1] == valuetype::anemptystring) {
    failed(keyword, k + ", no info given: one integer expected", "integer expected", ok);
  } else if (INFOTYPE[1] != valuetype::aninteger || (lo == hi && !heldwhole(1))) {
    failed(keyword, k + ", info given is " + INFOSTRING[1] + "\"", "integer expected", ok);
  } else if (lo != hi && (!heldwhole(1) || INFOINT[1] < lo || INFOINT[1] > hi)) {
    failed(keyword,
           k + ", info given is " + INFOSTRING[1] + "\"" + ", " + "but limits are " + IO::INT2STR(lo) + " to " +
               IO::INT2STR(hi),
           "integer inappropriate", ok);
  }
  return closing(ok, "an integer will be prompted for");
}

bool CHECKSCRIPTNR(const sstring& keyword, smallint& n) {
  return checkcounted(keyword, n, isnumberitem, "reals", "\", not just reals", "reals expected");
}

bool CHECKSCRIPTNI(const sstring& keyword, smallint& n) {
  return checkcounted(keyword, n, isintegeritem, "integers", "\" not just integers", "integers expected");
}

bool CHECKSCRIPTS(const sstring& keyword) {
  bool ok = true;
  if (INFOTYPE[1] == valuetype::anemptystring)
    failed(keyword, "for " + keyword + ", no info given: one string expected", "string expected", ok);
  return closing(ok, "a string is needed (or will be prompted for)");
}

bool CHECKSCRIPTNS(const sstring& keyword, smallint& n) {
  bool ok = true;
  const std::string k = "for " + keyword;
  if (INFOTYPE[1] == valuetype::anemptystring) {
    failed(keyword, k + ", no info given: one or more strings expected", "strings expected", ok);
  } else if (n > NINFO) {
    failed(keyword, k + ", only " + IO::INT2STR(NINFO) + "numbers in line " + "but " + IO::INT2STR(n) + " needed",
           "strings expected", ok);
  }
  if (ok && n == 0) n = NINFO;
  return closing(ok, "info in the script needs to be corrected");
}

// ---------------------------------------------------------------- P and T
// A value below its window's floor is replaced by the default and counted,
// never used: the floors (ABSPLOW, 10 degrees C) lie above every pressure and
// temperature no calculation can take, so what these checks accept is
// always a value a calculation can take.

namespace {
void countfail(const std::string& line) {
  complain(line);
  IO::NFAIL = static_cast<smallint>(IO::NFAIL + 1);
}
}  // namespace

controlboolean POK(const sstring& keyword, extended& p, extended lo, extended hi, smallint i) {
  const extended v = INFOREAL[i];
  if (v < lo) {
    countfail("for " + keyword + ", the one P needs to be greater than " + pstr(lo, lo) + " kbar; default used");
    p = ABSPLOW;
    return no;
  }
  if (v > CONST::PCEILING) {
    countfail("for " + keyword + ", the one P needs to be less than " + IO::REAL2STR(hi, 1, true) +
              " kbar; default used");
    p = CONST::PCEILING;
    return no;
  }
  p = v;
  return yes;
}

namespace {
// Whether the range of variable v at info items i and i + 1 is in order;
// when not, a counted complaint and the two items put the other way round.
bool ordered(const sstring& keyword, const std::string& v, smallint i) {
  if (!(INFOREAL[i + 1] < INFOREAL[i])) return true;
  countfail("for " + keyword + ", the 2nd " + v + " in the " + v + " range must be larger than the 1st " + v);
  std::swap(INFOREAL[i], INFOREAL[i + 1]);
  std::swap(INFOSTRING[i], INFOSTRING[i + 1]);
  std::swap(INFOTYPE[i], INFOTYPE[i + 1]);
  std::swap(INFOINT[i], INFOINT[i + 1]);
  return false;
}
}  // namespace

controlboolean PPOK(const sstring& keyword, extended& plo, extended& phi, extended lo, extended hi, smallint i) {
  const controlboolean result = ordered(keyword, "P", i) ? yes : no;
  const extended x1 = INFOREAL[i], x2 = INFOREAL[i + 1];
  if (x1 < lo && x2 > hi) {
    countfail("for " + keyword + ", the P range needs to be within " + pstr(ABSPLOW, lo) + " kbar to " +
              IO::REAL2STR(hi, 1, true) + " kbar; default used");
    return no;
  }
  if (x1 < lo) {
    countfail("for " + keyword + ", the bottom of the P range needs to be greater than " + pstr(lo, lo) +
              " kbar; default used");
    phi = x2;
    return no;
  }
  if (x2 > CONST::PCEILING) {
    countfail("for " + keyword + ", the top of the P range needs to be less than " + IO::REAL2STR(hi, 1, true) +
              " kbar; default used");
    plo = x1;
    return no;
  }
  plo = x1;
  phi = x2;
  return result;
}

// The frame's floor and ceiling decide; the caller's window (lo, hi) is
// checked where it is used.
controlboolean TOK(const sstring& keyword, extended& t, [[maybe_unused]] extended lo, [[maybe_unused]] extended hi,
                   smallint i) {
  const extended v = INFOREAL[i];
  if (v < CONST::TFLOORC) {
    countfail("for " + keyword + ", the one T needs to be greater than " + IO::INT2STR(CONST::TFLOORC) + degC +
              "; default used");
    t = CONST::TFLOOR;
    return no;
  }
  if (v > CONST::TCEILINGC) {
    countfail("for " + keyword + ", the one T needs to be less than " + IO::INT2STR(CONST::TCEILINGC) + degC +
              "; default used");
    t = CONST::TCEILING;
    return no;
  }
  t = v + CONST::KELVIN;
  return yes;
}

controlboolean TTOK(const sstring& keyword, extended& tlo, extended& thi, [[maybe_unused]] extended lo,
                    [[maybe_unused]] extended hi, smallint i) {
  const controlboolean result = ordered(keyword, "T", i) ? yes : no;
  const extended x1 = INFOREAL[i], x2 = INFOREAL[i + 1];
  if (x1 < CONST::TFLOORC && x2 > CONST::TCEILINGC) {
    countfail("for " + keyword + ", the T range needs to be within " + IO::INT2STR(CONST::TFLOORC) + degC + " to " +
              IO::INT2STR(CONST::TCEILINGC) + degC + "; default used");
    return no;
  }
  if (x1 < CONST::TFLOORC) {
    countfail("for " + keyword + ", the bottom of the T range needs to be greater than " +
              IO::INT2STR(CONST::TFLOORC) + " " + degC + "; default used");
    thi = x2 + CONST::KELVIN;
    return no;
  }
  if (x2 > CONST::TCEILINGC) {
    countfail("for " + keyword + ", the top of the T range needs to be less than " + IO::INT2STR(CONST::TCEILINGC) +
              degC + "; default used");
    tlo = x1 + CONST::KELVIN;
    return no;
  }
  tlo = x1 + CONST::KELVIN;
  thi = x2 + CONST::KELVIN;
  return result;
}

void DEFAULTPTWINDOW() {
  if (CONTROLJX.calcT != yes) {
    CONTROLJX.calcT = yes;
    TLOW = FIGTLOW;
    THIGH = FIGTHIGH;
  }
  if (CONTROLJX.calcP != yes) {
    CONTROLJX.calcP = yes;
    PLOW = FIGPLOW;
    PHIGH = FIGPHIGH;
  }
}

}  // namespace ZQSCRIPT
