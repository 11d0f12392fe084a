// The "convert" lines: a bulk analysis to turn from wt% into mole
// proportions, and mineral analyses to recalculate, for the utilities.
//
//   convert bulk wt2mole SiO2 Al2O3 ... 50.1 15.2 ...   names, then as many wt%
//   convert gt 4 SiO2 Al2O3 FeO MgO                    start line: oxides of gt
//   convert gt wt2xyz 38.2 21.5 30.1 8.0               the analysis, one per oxide
//   convert gt info 12 0.02 0.05 0.15 [2]              fu, sd(ln wt%) factor, x range, [sd mult]
//   convert gt ideal 8 0 2 1 Si 1 Al                   value, constant, terms, coefficient-name pairs
#include <cmath>

#include "frame/zqglobal.h"
#include "input/zqscript.h"
#include "frame/zqute1.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

namespace {

// ln x of a bound of the Fe3/(Fe2 + Fe3) range: a bound of 0 or less stands
// for all iron ferrous, below the ln x that the recalculation reads as such.
constexpr extended lnxallferrous = -12;

extended lnx(extended x) {
  if (x <= 0) return lnxallferrous;
  return x >= 1 ? 0 : std::log(x);
}

// An analysis's oxide as the recalculation reads it: total iron as FeO.
sstring ironasfeo(const sstring& oxide) { return oxide == "FeOt" ? sstring("FeO") : oxide; }

// How many info items from item `from` on are numbers, in a row.
smallint numbersfrom(smallint from) {
  smallint k = 0;
  while (from + k <= NINFO && ISNUMBER(INFOTYPE[from + k])) ++k;
  return k;
}

void bulk() {
  // items: "bulk", "wt2mole", then the names and their amounts
  if (NINFO < 2) SCRIPTFAULT("not enough input for oxides in convert bulk");
  if (INFOSTRING[2] != "wt2mole") SCRIPTFAULT("wrong form for convert bulk");
  const smallint k = static_cast<smallint>(NINFO - 2);
  if (k < 2 || k % 2 != 0) SCRIPTFAULT("not enough input for oxides in convert bulk");
  const smallint n = static_cast<smallint>(k / 2);
  if (n > maxcomp) SCRIPTFAULT("too many oxides in convert bulk" + ZQUTE1::MAXSTR(maxcomp));
  for (smallint i = 1; i <= n; ++i)
    if (INFOTYPE[2 + i] != valuetype::astring || !ISNUMBER(INFOTYPE[2 + n + i]))
      SCRIPTFAULT("wrong form for convert bulk");
  // An oxide written twice is taken once when its amounts agree.
  smallint kept = 0;
  for (smallint i = 1; i <= n; ++i) {
    const sstring& name = INFOSTRING[2 + i];
    const extended wt = INFOREAL[2 + n + i];
    if (wt < 0) SCRIPTFAULT("negative wt% of " + name + " in convert bulk");
    smallint seen = 0;
    for (smallint j = 1; j <= kept && seen == 0; ++j)
      if (CONVOX[j] == name) seen = j;
    if (seen > 0 && CONVBULK[seen] != wt) TWICEFAULT(name, "convert bulk");
    if (seen > 0) continue;
    ++kept;
    CONVOX[kept] = name;
    CONVBULK[kept] = wt;
  }
  NCONVB = kept;
}

void startline(const sstring& name) {
  if (NMINCONV >= maxminerals) SCRIPTFAULT("too many minerals in the rock");
  if (NINFO < 2 || INFOTYPE[1] != valuetype::astring || INFOTYPE[2] != valuetype::aninteger || INFOINT[2] < 1)
    SCRIPTFAULT("not enough info in mineral start line");
  const smallint n = INFOINT[2];
  if (n > maxcomp) SCRIPTFAULT("too many oxides for " + name + ZQUTE1::MAXSTR(maxcomp));
  smallint given = 0;
  while (given < n && 2 + given < NINFO && INFOTYPE[3 + given] == valuetype::astring) ++given;
  if (given < n) SCRIPTFAULT("insufficient oxnames for " + name);
  NMINCONV = static_cast<smallint>(NMINCONV < 0 ? 1 : NMINCONV + 1);
  mineralconvtype& m = MINERALCONV[NMINCONV];
  m = mineralconvtype{};
  m.name = name;
  m.n = n;
  for (smallint i = 1; i <= n; ++i) m.inoxide[i] = INFOSTRING[2 + i];
}

void wt2xyz(mineralconvtype& m) {
  if (numbersfrom(3) < m.n) SCRIPTFAULT("insufficient analysis values for " + m.name);
  for (smallint i = 1; i <= m.n; ++i) {
    m.wt[i] = INFOREAL[2 + i];
    if (m.wt[i] < 0) SCRIPTFAULT("negative wt% of " + m.inoxide[i] + " for " + m.name);
  }
  // An oxide written twice is taken once when its amounts agree: the later
  // entry is left empty, as an oxide of no wt% is. FeOt is FeO to the
  // recalculation, so the two are one oxide written twice.
  for (smallint i = 1; i <= m.n; ++i)
    for (smallint j = 1; j < i; ++j)
      if (ironasfeo(m.inoxide[j]) == ironasfeo(m.inoxide[i])) {
        if (INFOREAL[2 + j] != INFOREAL[2 + i]) TWICEFAULT(ironasfeo(m.inoxide[i]) + " of " + m.name, "convert");
        m.wt[i] = 0;
      }
  m.analysed = true;
}

void info(mineralconvtype& m) {
  const smallint k = numbersfrom(3);
  if (k < 4) SCRIPTFAULT("insufficient recalc info for " + m.name);
  // The sd multiplier is optional; a word in its place is no multiplier.
  if (NINFO > 2 + k) SCRIPTFAULT(QUOTE(INFOSTRING[3 + k]) + " is not a number, in the recalc info for " + m.name);
  const extended xlow = INFOREAL[5], xhigh = INFOREAL[6];
  if (!(xhigh > xlow)) SCRIPTFAULT("xhigh must be bigger than xlow for " + m.name);
  // A fraction of the iron: a bound outside 0..1 is a slip, never read as
  // the nearest end of the range.
  if (xlow < 0) SCRIPTFAULT("xlow of " + m.name + " below 0: the x range is of Fe3/(Fe2 + Fe3)");
  if (xhigh > 1) SCRIPTFAULT("xhigh of " + m.name + " above 1: the x range is of Fe3/(Fe2 + Fe3)");
  if (INFOREAL[4] < 0) SCRIPTFAULT("negative sd(ln wt%) factor for " + m.name);
  if (k >= 5 && !(INFOREAL[7] > 0)) SCRIPTFAULT("the sd multiplier for " + m.name + " must be positive");
  m.fu = INFOREAL[3];
  m.sdlogwt = INFOREAL[4];
  m.xlow = xlow;
  m.xhigh = xhigh;
  // the range is read as a 95% interval of ln x: two sd either side
  m.logx = (lnx(xlow) + lnx(xhigh)) / 2;
  m.sdlogx = (lnx(xhigh) - lnx(xlow)) / 4;
  if (k >= 5) m.sdmult = INFOREAL[7];
}

void ideal(mineralconvtype& m) {
  if (m.nideal >= maxideal) SCRIPTFAULT("too many peq for " + m.name);
  if (numbersfrom(3) < 3 || INFOTYPE[5] != valuetype::aninteger || INFOINT[5] < 1)
    SCRIPTFAULT("insufficient recalc info (1) for " + m.name);
  const smallint nterm = INFOINT[5];
  if (nterm > maxcomp) SCRIPTFAULT("insufficient recalc info (1) for " + m.name + ZQUTE1::MAXSTR(maxcomp));
  if (NINFO < 5 + 2 * nterm) SCRIPTFAULT("insufficient recalc info (2) for " + m.name);
  for (smallint t = 1; t <= nterm; ++t)
    if (!ISNUMBER(INFOTYPE[4 + 2 * t]) || INFOTYPE[5 + 2 * t] != valuetype::astring)
      SCRIPTFAULT("insufficient recalc info (2) for " + m.name);
  const smallint c = static_cast<smallint>(m.nideal + 1);
  m.idealvalue[c] = INFOREAL[3];
  m.idealconst[c] = INFOREAL[4];
  m.nidealterm[c] = nterm;
  for (smallint t = 1; t <= nterm; ++t) {
    m.idealcoef(c, t) = INFOREAL[4 + 2 * t];
    m.idealname(c, t) = INFOSTRING[5 + 2 * t];
  }
  m.nideal = c;
  m.useideal = true;
}

}  // namespace

void CONVERTLINE() {
  NCONV = static_cast<smallint>(NCONV < 0 ? 1 : NCONV + 1);
  if (NINFO >= 1 && INFOSTRING[1] == "bulk") {
    bulk();
    return;
  }
  const sstring name = INFOSTRING[1];
  const sstring sub = INFOSTRING[2];
  if (sub != "wt2xyz" && sub != "info" && sub != "ideal") {
    startline(name);
    return;
  }
  if (NMINCONV < 1) SCRIPTFAULT("missing mineral start line");
  mineralconvtype& m = MINERALCONV[NMINCONV];
  if (name != m.name) SCRIPTFAULT("not for the same mineral, for " + name);
  if (sub == "wt2xyz") {
    wt2xyz(m);
  } else if (sub == "info") {
    info(m);
  } else {
    ideal(m);
  }
}

}  // namespace ZQSCRIPT
