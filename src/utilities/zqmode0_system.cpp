// The end-members of the data set that lie within a chemical system the
// user names, with their formulas as fractions, and the activities of the
// pure phases in equilibrium with the script's chemical potentials.
#include <cmath>
#include <string>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute2.h"
#include "input/zqread1.h"
#include "input/zqread2.h"
#include "model/zqcalc1.h"
#include "utilities/zqmode0.h"
#include "utilities/zqmode0_text.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

namespace {

constexpr long offered = 12;        // components offered: the first rows of the element/oxide table
constexpr long linesperhead = 31;   // end-member lines under one column header
constexpr long maxtaken = maxcomp;  // words a system can be named by

// The position of w among the first rows of list, 0 when absent.
long offeredrow(const sstring& w, const farray<sstring, 1, maxcomp>& list) {
  for (long k = 1; k <= offered; ++k)
    if (list[k] == w) return k;
  return 0;
}

// Whether w names one of the components offered (by its number, oxide or
// element), turned into that oxide's name when it does.
bool offeredword(sstring& w) {
  const valuetype vt = IO::WHATISSTRING(w);
  if (vt == valuetype::aninteger) {
    const smallint v = IO::GETINTEGER(vt, w, "compname");
    if (v < 1 || v > offered) return false;
    w = OXNAME[v];
    return true;
  }
  if (offeredrow(w, OXNAME) > 0) return true;
  const long k = offeredrow(w, ELNAME);
  if (k > 0) w = OXNAME[k];
  return k > 0;
}

// The words typed (n of them), the accepted ones turned into oxide names;
// answers how many words are taken, counted from the first word typed.
smallint takenwords(IO::strings& words, smallint& n) {
  n = 0;
  IO::PROMPTSTRINGS("which system?", words, n);
  if (n == 0) IO::ERROREXIT("domakelist", "no system specified 1", yourfault);
  smallint accepted = 0;
  for (long i = 1; i <= n; ++i) {
    if (!offeredword(words[i])) continue;
    // Only repeated names can come to this; the system has no more columns.
    if (accepted == maxtaken)
      IO::ERROREXIT("domakelist", "more than " + IO::INT2STR(maxtaken) + " components named", yourfault);
    ++accepted;
  }
  if (accepted == 0) IO::ERROREXIT("domakelist", "no system specified 2", yourfault);
  return accepted;
}

void listline(long k, const farray<long, 1, maxtaken>& column, smallint taken) {
  std::string line;
  IO::ADDNAME(NAME[k], 8, line);
  for (long i = 1; i <= taken; ++i) {
    const long j = column[i];
    const double x = static_cast<double>((*C)(j, k)) / static_cast<double>(COMPDIV[j]);
    longint p = 0, q = 0;
    IO::REAL2RATIONAL(static_cast<extended>(x), p, q);
    if (p == 0) {
      IO::ADDSTR("-", 7, line);
    } else if (q == 1) {
      IO::ADDINT(p, 7, line);
    } else {
      IO::ADDINT(p, 5, line);
      line += "/" + IO::INT2STR(q);
    }
  }
  IO::ADDSTR(" ", 5, line);
  IO::PUTSTR(0, line + LONGPHNAMES[k], 1, CHANNEL::TERMSUMLOG);
}

}  // namespace

void DOMAKELIST() {
  ZQREAD1::READTHERMO(1);
  std::string line = "components:";
  for (long k = 1; k <= offered; ++k) line += OXNAME[k] + " ";
  IO::PUTSTR(1, line, 1, CHANNEL::TERMLOG);
  IO::strings words{"system words"};
  smallint typed = 0;
  const smallint taken = takenwords(words, typed);

  NCV = NTP;
  for (long k = 1; k <= NTP; ++k) NAME[k] = PHNAMES[k];
  ZQREAD1::READTHERMO(2);

  farray<bool, 1, maxcomp> chosen{"chosen components"};
  chosen.fill(false);
  farray<long, 1, maxtaken> column{"system columns"};
  // A component typed twice (or as its oxide and its element) is one column.
  long columns = 0;
  for (long i = 1; i <= taken; ++i) {
    long j = 0;
    for (long c = 1; c <= NUV && j == 0; ++c)
      if (COMPNAME[c] == words[i]) j = c;
    if (j == 0) IO::ERROREXIT("domakelist", "something wrong", yourfault);
    if (chosen[j]) continue;
    chosen[j] = true;
    column[++columns] = j;
  }
  // A word past the taken ones would be dropped from the system unsaid.
  for (long i = taken + 1; i <= typed; ++i) {
    sstring w = words[i];
    if (!offeredword(w)) IO::ERROREXIT("domakelist", words[i] + " names none of the components offered", yourfault);
  }

  long listed = 0;
  for (long k = 1; k <= NTP; ++k) {
    bool within = true;
    for (long j = 1; j <= NUV && within; ++j)
      if (!chosen[j] && (*C)(j, k) != 0) within = false;
    if (!within) continue;
    if (listed % linesperhead == 0) {
      line = std::string(8, ' ');
      for (long i = 1; i <= columns; ++i) IO::ADDNAME(COMPNAME[column[i]], 7, line);
      IO::PUTSTR(1, line, 1, CHANNEL::TERMSUMLOG);
    }
    ++listed;
    listline(k, column, static_cast<smallint>(columns));
  }
  IO::FILECLOSE(ZQREAD1::PDATA, true, "dsfile");
}

namespace {

// Every muval name is a component, every muval line gives one value to
// each of the m names, and a name given twice has one value on every line:
// else no value could be used as it was given.
void checkmuvalues(smallint m) {
  // A PT the script gave is above absolute zero: 0 K is none given.
  if (MUT <= 0) IO::ERROREXIT("acalc", "muval gives no PT", yourfault);
  if (NMUCALCS < 1) IO::ERROREXIT("acalc", "muval gives no line of values", yourfault);
  // A name that is no component would have its values go unused unsaid.
  for (smallint c = 1; c <= m; ++c) {
    bool component = false;
    for (long j = 1; j <= NUV && !component; ++j) component = MUNAME[c] == COMPNAME[j];
    if (!component) IO::ERROREXIT("acalc", "muval names " + MUNAME[c] + ", no component", yourfault);
  }
  for (smallint l = 1; l <= NMUCALCS; ++l) {
    const std::string line = "muval line " + IO::INT2STR(l) + " of values";
    if (MUCOUNT[l] < m)
      IO::ERROREXIT("acalc", line + " gives no mu for " + MUNAME[MUCOUNT[l] + 1], yourfault);
    if (MUCOUNT[l] > m) IO::ERROREXIT("acalc", line + " gives more values than muval names", yourfault);
    for (smallint c = 1; c <= m; ++c)
      for (smallint d = static_cast<smallint>(c + 1); d <= m; ++d)
        if (MUNAME[c] == MUNAME[d] && MUCALCS(l, c) != MUCALCS(l, d))
          IO::ERROREXIT("acalc", line + " gives " + MUNAME[c] + " two values", yourfault);
  }
}

// a(name) = exp(lna), every digit of it. Potentials far from those of the
// rock (a slip of a sign or a digit) give activities past any number the
// program holds: the line says so, with the ln a that still tells how far.
void writeactivity(const sstring& name, extended lna) {
  const extended a = std::exp(lna);
  if (std::isinf(a))
    IO::WRITETERMINAL("a(" + name + ") is beyond the number range: ln a(" + name + ") = " +
                      IO::FIXEDPOINT(lna, 0, 4) + "\n");
  else
    IO::WRITETERMINAL("a(" + name + ") = " + IO::FIXEDPOINT(a, 7, 4) + "\n");
}

}  // namespace

void ACTIVITYCALC() {
  ZQREAD1::READTHERMO(1);
  ZQREAD2::SETUPPHASES();
  ZQREAD1::EXTRACTEM();
  ZQUTE2::POSITIONS();
  const smallint m = CONTROLJX.nbulkoxides;

  std::string line = "\n    ";
  for (long j = 1; j <= NUV; ++j) IO::ADDNAME(COMPNAME[j], 6, line);
  line += "\n";
  IO::ADDSTR("div", 4, line);
  for (long j = 1; j <= NUV; ++j) IO::ADDINT(COMPDIV[j], 6, line);
  IO::WRITETERMINAL(line + "\n\n");
  for (long i = 1; i <= NP0; ++i) {
    line.clear();
    IO::ADDNAME(NAME[i], 4, line);
    for (long j = 1; j <= NUV; ++j) IO::ADDINT((*C)(j, i), 6, line);
    IO::WRITETERMINAL(line + "\n");
  }
  IO::WRITETERMINAL("\n" + IO::INT2STR(NP0) + " " + IO::INT2STR(NUV) + " " + IO::INT2STR(m) + "\n\n");
  checkmuvalues(m);

  for (smallint l = 1; l <= NMUCALCS; ++l) {
    if (NMUCALCS > 1) IO::WRITETERMINAL(std::string(l > 1 ? "\n" : "") + "muval line " + IO::INT2STR(l) + "\n");
    for (long i = 1; i <= NP0; ++i) {
      (*TD)(i, TDSLOT::XCO2) = 0;
      (*TD)(i, TDSLOT::XH2O) = 0;
      extended g = 0;
      ZQCALC1::GEMDRIVER(static_cast<smallint>(i), MUP, MUT, g);
      for (long j = 1; j <= NUV; ++j) {
        const smallint n = (*C)(j, i);
        if (n == 0) continue;
        long k = 0;
        for (long c = 1; c <= m && k == 0; ++c)
          if (MUNAME[c] == COMPNAME[j]) k = c;
        if (k == 0) IO::ERROREXIT("acalc", COMPNAME[j] + " not recognised", yourfault);
        g = g - n * MUCALCS(l, k) / COMPDIV[j];
      }
      writeactivity(NAME[i], -g / (CONST::RGAS * MUT));
    }
  }
}

}  // namespace ZQMODE0
