// The data-set reader: three passes over one file. The first learns the
// generation and the names of every record; once the caller has chosen the
// end-members of the calculation, the second reads their formulas and the
// third their thermodynamic rows and enthalpy covariances.
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "frame/constants.h"
#include "frame/bytes.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "input/zqread1.h"
#include "input/zqread2.h"

namespace ZQREAD1 {

IO::textfile PDATA;

}  // namespace ZQREAD1

namespace {

using namespace ZQGLOBAL;
using ZQREAD1::PDATA;

constexpr int maxcopies = 4;  // positions in NAME that may carry one record

// The position map of passes 2 and 3: which records the calculation needs
// and where in NAME each of them goes.
farray<bool, 1, maxdsem> NEEDED{"needed"};
farray<smallint, 1, maxdsem> NPOS{"npos"};
fmatrix<smallint, 1, maxdsem, 1, maxcopies> POS{"pos"};
farray<smallint, 1, maxem> RECORDOF{"recordof"};

bool newgeneration() { return DSMODE == 6 || DSMODE == 7; }
int linesperrecord() { return newgeneration() ? 5 : DSMODE == 5 ? 4 : 2; }
int headerlines() { return DSMODE == 5 ? 3 : 2; }
bool isliquid(const sstring& name) { return !name.empty() && name.back() == 'L'; }

// ------------------------------------------------------------ file access
//
// Numbers of a record are read one after another across line ends, while
// names are read a line at a time; the part of the current line that the
// number reader has not used yet is held here, and any line-wise read drops
// it, as the rest of a line is never wanted after its last number.
struct numberstream {
  std::string line;
  std::size_t at = 0;
  bool open = false;
};
numberstream NUMS;

[[noreturn]] void earlyend(const std::string& where, const std::string& what) {
  IO::ERROREXIT(where, "unexpected end of dsfile - " + what, yourfault);
}

void rewindfile() {
  if (PDATA.f == nullptr) IO::ERROREXIT("readthermo", "dsfile not open", myfault);
  IO::REWIND(PDATA);
  NUMS = numberstream{};
}

void skiplines(int k, const std::string& where, const std::string& what) {
  NUMS.open = false;
  std::string line;
  for (int i = 1; i <= k; ++i)
    if (!IO::READLINE(PDATA, line)) earlyend(where, what);
}

void readwords(IO::strings& words, smallint& n, const std::string& where, const std::string& what) {
  NUMS.open = false;
  if (IO::ENDOFFILE(PDATA)) earlyend(where, what);
  IO::READSTRINGS(PDATA, words, n, false);
}

void endline() { NUMS.open = false; }

bool isseparator(char c) { return c == ' ' || c == '\t' || c == macroman::nbsp; }

std::string nexttoken(const std::string& where, const std::string& what) {
  for (;;) {
    if (!NUMS.open) {
      if (!IO::READLINE(PDATA, NUMS.line)) earlyend(where, what);
      NUMS.at = 0;
      NUMS.open = true;
    }
    while (NUMS.at < NUMS.line.size() && isseparator(NUMS.line[NUMS.at])) ++NUMS.at;
    if (NUMS.at == NUMS.line.size()) {
      NUMS.open = false;
      continue;
    }
    const std::size_t start = NUMS.at;
    while (NUMS.at < NUMS.line.size() && !isseparator(NUMS.line[NUMS.at])) ++NUMS.at;
    return NUMS.line.substr(start, NUMS.at - start);
  }
}

// A number written by another program may carry a "+" before it or in its
// exponent, which the program's own number grammar leaves out.
std::string withoutplus(const std::string& w) {
  std::string t;
  for (std::size_t i = 0; i < w.size(); ++i) {
    const bool lead = i == 0;
    const bool inexponent = i > 0 && (w[i - 1] == 'e' || w[i - 1] == 'E');
    if (w[i] == '+' && (lead || inexponent)) continue;
    t += w[i];
  }
  return t;
}

[[noreturn]] void notanumber(const std::string& w, const std::string& where, const std::string& what) {
  IO::ERROREXIT(where, "expecting a number; got: " + w + " - " + what, yourfault);
}

// With text, the number as written (without its "+" signs).
extended readreal(const std::string& where, const std::string& what, std::string* text = nullptr) {
  const std::string w = nexttoken(where, what);
  const std::string t = withoutplus(w);
  const valuetype vt = IO::WHATISSTRING(t);
  extended x = 0;
  std::string msg;
  if ((vt != valuetype::aninteger && vt != valuetype::areal) || !IO::STR2REAL(t, x, msg))
    notanumber(w, where, what);
  if (text != nullptr) *text = t;
  return x;
}

// Half a unit in the decimal place given (-4 for 0.00005).
extended halfunit(int place) { return 0.5L * std::pow(10.0L, static_cast<extended>(place)); }

smallint readinteger(const std::string& where, const std::string& what) {
  const std::string w = nexttoken(where, what);
  const std::string t = withoutplus(w);
  smallint i = 0;
  std::string msg;
  if (IO::WHATISSTRING(t) != valuetype::aninteger || !IO::STR2INT(t, i, msg))
    IO::ERROREXIT(where, "expecting an integer; got: " + w + " - " + what, yourfault);
  return i;
}

smallint wordinteger(const IO::strings& words, long k, const std::string& item) {
  return IO::GETINTEGER(IO::WHATISSTRING(words[k]), words[k], item);
}

extended wordreal(const IO::strings& words, long k, const std::string& item) {
  return IO::GETREAL(IO::WHATISSTRING(words[k]), words[k], item);
}

// ------------------------------------------------------------ formulas

struct formula {
  smallint nsite = 0;
  smallint nox = 0;
  farray<smallint, 1, maxox> code{"formula codes"};
  farray<extended, 1, maxox> amount{"formula amounts"};
  extended noox = 0;
  long next = 0;  // the word after the code 0 that ends the pairs
};

// The name line of a record after its name(s): the site multiplicity, then
// (element code, amount) pairs up to a code 0.
formula readformula(const IO::strings& words, const std::string& elitem, const std::string& where) {
  formula f;
  const sstring& name = words[1];
  long k = newgeneration() ? 3 : 2;
  f.nsite = wordinteger(words, k++, "nsite");
  for (;;) {
    const smallint code = wordinteger(words, k++, elitem);
    if (code == 0) break;
    if (code < 1 || code > maxcomp)
      IO::ERROREXIT(where,
                    "element code " + IO::INT2STR(code) + " not in 1.." + IO::INT2STR(maxcomp) + " in " + name,
                    yourfault);
    if (f.nox == maxox)
      IO::ERROREXIT(where, "more than " + IO::INT2STR(maxox) + " elements in the formula of " + name, yourfault);
    const extended x = wordreal(words, k++, "oxno");
    f.nox = static_cast<smallint>(f.nox + 1);
    f.code[f.nox] = code;
    f.amount[f.nox] = x;
    f.noox += x;
  }
  f.next = k;
  return f;
}

void storeformula(long p, const formula& f) {
  NSITE[p] = f.nsite;
  NOX[p] = f.nox;
  NOOX[p] = f.noox;
  for (long k = 1; k <= maxox; ++k) {
    OXCODE(p, k) = k <= f.nox ? f.code[k] : smallint(0);
    OXNO(p, k) = k <= f.nox ? f.amount[k] : extended(0);
  }
}

void copyposition(long from, long to, bool withrow) {
  NSITE[to] = NSITE[from];
  NOX[to] = NOX[from];
  NOOX[to] = NOOX[from];
  for (long k = 1; k <= maxox; ++k) {
    OXCODE(to, k) = OXCODE(from, k);
    OXNO(to, k) = OXNO(from, k);
  }
  if (withrow)
    for (long k = 1; k <= maxtd; ++k) (*TD)(to, k) = (*TD)(from, k);
}

// ------------------------------------------------------------ pass 1

void openfile() {
  if (PDATA.f != nullptr) IO::FILECLOSE(PDATA, true, "dsfile");
  const std::string name = IO::PROMPTDATAFILE(IO::DATASETNAME, IO::CONTROLIO.dsfile, "thermo dataset", PDATA);
  PDATAFILENAME = IO::MAKESSTRING(name);
  const char g = name.size() >= 6 ? name[5] : ' ';
  if (g == '6' || g == '7')
    USESP = true;
  else if (g == '5')
    USESP = false;
  else
    IO::ERROREXIT("setuptextread", "bad dsfile name", yourfault);
}

void readheader() {
  const std::string where = "setuptextread";
  IO::strings words;
  smallint n = 0;
  if (!IO::ENDOFFILE(PDATA)) IO::READSTRINGS(PDATA, words, n, false);
  if (n < 10) IO::ERROREXIT(where, "first line of dsfile incorrectly formed 0", yourfault);
  if (IO::WHATISSTRING(words[1]) != valuetype::aninteger)
    IO::ERROREXIT(where, "first line of dsfile incorrectly formed 1", yourfault);
  const smallint first = wordinteger(words, 1, "ntp?");
  WITHOLDSET = first == 190;
  if (first < 51) {
    DSMODE = first;
    if (DSMODE != 6 && DSMODE != 7) IO::ERROREXIT(where, "dsmode <> 6 or 7??", yourfault);
    if (IO::WHATISSTRING(words[2]) != valuetype::aninteger)
      IO::ERROREXIT(where, "first line of dsfile incorrectly formed 4", yourfault);
    NTP = wordinteger(words, 2, "ntp");
    if (words[3] != "don't") IO::ERROREXIT(where, "first line of dsfile incorrectly formed 2b", yourfault);
  } else {
    DSMODE = WITHOLDSET ? smallint(-1) : smallint(5);
    NTP = first;
    if (words[2] != "don't") IO::ERROREXIT(where, "first line of dsfile incorrectly formed 2a", yourfault);
  }
  if (NTP > maxdsem) IO::ERROREXIT(where, "too many end-members", yourfault);
  if (NTP < 1) IO::ERROREXIT(where, "no end-members in dsfile", yourfault);

  readwords(words, n, "readthermo", "line 2");
  if (n != 0) IO::ERROREXIT("readthermo", "expecting a blank line", yourfault);
  readwords(words, n, "readthermo", "line 3");
  if (n == 0) IO::ERROREXIT("readthermo", "not expecting blank line", yourfault);
  if (DSMODE == -1) {
    readwords(words, n, "readthermo", "line 4");
    if (n < 10) IO::ERROREXIT("readthermo", "insufficient info on 2nd line", yourfault);
  } else if (DSMODE == 5) {
    skiplines(1, "readthermo", "line 4");
  }
  if (CALCMODE == calcmodetype::lsqdscalc && DSMODE < 5)
    IO::ERROREXIT("thermo read", "old lsqds not implemented", yourfault);
}

// The checksum and the upper triangle of the covariance matrix; with store,
// the entries of needed pairs go to COV.
void readcovariances(const std::string& where, bool store) {
  readreal(where, "checksum");
  // The finest place any entry is written to, which a bare integer (the
  // writer's " 0" for a value below its last place) is taken to carry.
  int finest = 0;
  bool placed = false;
  struct bare {
    long i, j;
    extended stored;
  };
  std::vector<bare> bares;
  std::string text;
  // A pair not read now holds no rounding of an earlier pass, and no
  // judgement of the covariances read before holds for these.
  if (store) {
    COVROUNDING.fill(0);
    RESETJUDGEDCOV();
  }
  for (long i = 1; i <= NTP; ++i) {
    const std::string what = "covariances of " + PHNAMES[i];
    for (long j = i; j <= NTP; ++j) {
      const extended x = readreal(where, what, &text);
      // Held in single precision: a larger value would become an infinity
      // and spoil every uncertainty made from it without a word.
      if (std::fabs(x) > static_cast<extended>(std::numeric_limits<float>::max()))
        IO::ERROREXIT(where, "covariance too large for single precision - " + what, yourfault);
      int place = 0;
      const bool written = IO::LASTPLACE(text, place);
      if (written && (!placed || place < finest)) finest = place;
      placed = placed || written;
      if (!store || !NEEDED[i] || !NEEDED[j]) continue;
      const extended v = static_cast<extended>(static_cast<float>(x));
      for (long a = 1; a <= NPOS[i]; ++a)
        for (long b = 1; b <= NPOS[j]; ++b) {
          (*COV)(POS(i, a), POS(j, b)) = v;
          (*COV)(POS(j, b), POS(i, a)) = v;
        }
      const extended stored = std::fabs(v - x);
      if (written)
        COVROUNDING(i, j) = COVROUNDING(j, i) = static_cast<double>(halfunit(place) + stored);
      else
        bares.push_back({i, j, stored});
    }
  }
  for (const bare& b : bares)
    COVROUNDING(b.i, b.j) = COVROUNDING(b.j, b.i) = static_cast<double>((placed ? halfunit(finest) : 0) + b.stored);
  endline();
}

void readcreationline() {
  const std::string where = "setuptextread";
  skiplines(1, where, "line before the creation line");
  std::string line;
  if (!IO::READLINE(PDATA, line)) earlyend(where, "creation line");
  // Whole: the tail cut off below is that of the line as the writer ended
  // it, whatever its length.
  const std::size_t cut = WITHOLDSET ? 25 : 18;
  if (line.size() < cut)
    IO::ERROREXIT(where, "creation line of dsfile shorter than " + IO::INT2STR(static_cast<extended>(cut)) +
                             " characters",
                  yourfault);
  WHEN1 = line.substr(0, line.size() - cut);
  IO::PUTSTR(1, WHEN1, 2, CHANNEL::TERMINAL);
}

void SETUPTEXTREAD() {
  openfile();
  readheader();

  rewindfile();
  skiplines(headerlines(), "setuptextread", "header");
  IO::strings words;
  smallint n = 0;
  for (long i = 1; i <= NTP; ++i) {
    readwords(words, n, "setuptextread", "end-member " + IO::INT2STR(i));
    PHNAMES[i] = words[1];
    PHWRITTEN[i] = IO::WRITTENWORD(1, words[1]);
    LONGPHNAMES[i] = newgeneration() ? words[2] : sstring();
    skiplines(linesperrecord() - 1, "setuptextread", "end-member " + words[1]);
  }
  readcovariances("setuptextread", false);
  readcreationline();
}

// ------------------------------------------------------------ position map

void MAKEP() {
  for (long i = 1; i <= maxdsem; ++i) {
    NEEDED[i] = false;
    NPOS[i] = 0;
  }
  for (long p = 1; p <= NCV; ++p) {
    smallint i = 0;
    if (!ZQREAD2::ISPHNAME(NAME[p], i)) IO::ERROREXIT("makep", "stuff up : unrecognised name : " + NAME[p], yourfault);
    if (NPOS[i] == maxcopies)
      IO::ERROREXIT("makep", NAME[p] + " stands more than " + IO::INT2STR(maxcopies) + " times in the end-member list",
                    yourfault);
    NPOS[i] = static_cast<smallint>(NPOS[i] + 1);
    POS(i, NPOS[i]) = static_cast<smallint>(p);
    NEEDED[i] = true;
    RECORDOF[p] = i;
  }
}

// ------------------------------------------------------------ pass 2

void TEXTCOMPREAD() {
  const std::string where = "textcompread";
  rewindfile();
  skiplines(headerlines(), where, "header");
  IO::strings words;
  smallint n = 0;
  for (long i = 1; i <= NTP; ++i) {
    if (!NEEDED[i]) {
      skiplines(linesperrecord(), where, "end-member " + PHNAMES[i]);
      continue;
    }
    readwords(words, n, where, "end-member " + PHNAMES[i]);
    const formula f = readformula(words, "ell 1", where);
    storeformula(POS(i, 1), f);
    for (long a = 2; a <= NPOS[i]; ++a) copyposition(POS(i, 1), POS(i, a), false);
    skiplines(linesperrecord() - 1, where, "end-member " + PHNAMES[i]);
  }
}

// ------------------------------------------------------------ pass 3

// The Einstein temperature of an end-member whose record does not give it,
// from its entropy per atom.
extended einsteintemperature(extended s, extended noox, const sstring& name) {
  if (noox == 0) return 0;
  const extended d = 6.44L + 1000.0L * s / noox;
  if (d == 0) IO::ERROREXIT("texthermoread", "zero divisor in the Einstein temperature of " + name, yourfault);
  return std::nearbyint(10636.0L / d);
}

void readrecord(long i) {
  const std::string where = "texthermoread";
  const sstring& name = PHNAMES[i];
  const std::string what = "data of " + name;
  IO::strings words;
  smallint n = 0;
  readwords(words, n, where, "end-member " + name);
  const formula f = readformula(words, "ell 2", where);
  const long p = POS(i, 1);
  storeformula(p, f);

  farray<extended, 1, maxtd> td{"td row"};
  td.fill(0);
  const bool liquid = isliquid(name);
  smallint type = 0;
  smallint od = 0;

  if (DSMODE == -1) {
    td[TDSLOT::H] = wordreal(words, f.next, "H");
    td[TDSLOT::S] = wordreal(words, f.next + 1, "S");
    td[TDSLOT::V] = wordreal(words, f.next + 2, "V");
    // The older generation: alpha1 in the bulk-modulus slot, K0 and K' two further on.
    static const long into[] = {TDSLOT::CPA, TDSLOT::CPB, TDSLOT::CPC,  TDSLOT::CPD, TDSLOT::ALPHA0,
                                TDSLOT::K0,  TDSLOT::KPP, TDSLOT::THETA, TDSLOT::DKDT};
    for (long k : into) td[k] = readreal(where, what);
    od = readinteger(where, what);
  } else {
    if (newgeneration()) type = readinteger(where, what);
    const bool einsteingiven = DSMODE == 7 && type >= 3 && type <= 5;
    if (DSMODE == 5) {
      for (long k = TDSLOT::H; k <= TDSLOT::KPP; ++k) td[k] = readreal(where, what);
    } else if (einsteingiven) {
      // The Einstein temperature comes in the third heat-capacity slot.
      static const long into[] = {TDSLOT::H,   TDSLOT::S,      TDSLOT::V,  TDSLOT::CPA, TDSLOT::CPB,
                                  TDSLOT::CPC, TDSLOT::ALPHA0, TDSLOT::K0, TDSLOT::KP,  TDSLOT::KPP};
      for (long k : into) td[k] = readreal(where, what);
      if (td[TDSLOT::K0] == 0) IO::ERROREXIT(where, "k0 of " + name + " is zero", yourfault);
      if (std::fabs(td[TDSLOT::KPP] + td[TDSLOT::KP] / td[TDSLOT::K0]) > 1e-5L) IO::ERROREXIT(where, "k0pp not regularised?", yourfault);
    } else {
      for (long k = TDSLOT::H; k <= TDSLOT::KP; ++k) td[k] = readreal(where, what);
      td[TDSLOT::KPP] = td[TDSLOT::K0] > 0 ? -td[TDSLOT::KP] / td[TDSLOT::K0] : extended(0);
    }
    if (liquid) td[TDSLOT::DKDT] = readreal(where, what);
    if (DSMODE == 5)
      od = readinteger(where, what);
    else
      od = type == 1 || type == 4 ? 1 : type == 2 || type == 5 ? 2 : type == 8 ? -1 : 0;

    if (liquid) {
      td[TDSLOT::THETA] = 0;
    } else {
      td[TDSLOT::THETA] = einsteingiven ? td[TDSLOT::CPC] : einsteintemperature(td[TDSLOT::S], f.noox, name);
      if (td[TDSLOT::THETA] < 10) td[TDSLOT::THETA] = 10;
    }
    if (einsteingiven) {
      td[TDSLOT::CPC] = 0;
      td[TDSLOT::CPD] = 0;
    }
  }

  td[TDSLOT::TCRIT] = 0;
  td[TDSLOT::SMAX] = -1;
  td[TDSLOT::VMAX] = -1;
  td[TDSLOT::BWF] = 1;
  if (od == 1) {
    for (long k = TDSLOT::TCRIT; k <= TDSLOT::VMAX; ++k) td[k] = readreal(where, what);
  } else if (od == 2) {
    for (long k = TDSLOT::BWDH; k <= TDSLOT::BWF; ++k) td[k] = readreal(where, what);
  } else if (od == -1) {
    td[TDSLOT::AQ] = readreal(where, what);
    if (td[TDSLOT::AQ] != 0) td[TDSLOT::AQ] = td[TDSLOT::AQ] - CONST::TR * td[TDSLOT::CPB];
  }

  if (newgeneration()) {
    td[TDSLOT::CODE] = type;
  } else {
    smallint t = od;
    if (liquid)
      t = 7;
    else if (od == -1)
      t = 8;
    else if (td[TDSLOT::V] == 0)
      t = 6;
    td[TDSLOT::CODE] = t;
  }

  endline();
  if (newgeneration()) skiplines(1, where, "end-member " + name);

  for (long k = 1; k <= maxtd; ++k) (*TD)(p, k) = td[k];
  for (long a = 2; a <= NPOS[i]; ++a) copyposition(p, POS(i, a), true);
}

void TEXTTHERMOREAD() {
  const std::string where = "texthermoread";
  rewindfile();
  skiplines(headerlines(), where, "header");
  TD->fill(0);
  for (long i = 1; i <= NTP; ++i) {
    if (NEEDED[i])
      readrecord(i);
    else
      skiplines(linesperrecord(), where, "end-member " + PHNAMES[i]);
  }
}

void TEXTCOVREAD() {
  readcovariances("textcovread", true);
  IO::FILECLOSE(PDATA, true, "dsfile");
}

}  // namespace

namespace ZQREAD1 {

void READTHERMO(smallint pass) {
  if (pass == 1) {
    SETUPTEXTREAD();
  } else if (pass == 2) {
    MAKEP();
    TEXTCOMPREAD();
    MAKEOXIDES();
  } else {
    MAKEP();
    TEXTTHERMOREAD();
    TEXTCOVREAD();
  }
}

}  // namespace ZQREAD1
