// The calc-mode-3 pass, and the widening of the calculated variable's window
// that lets a line or a crossing just outside the window still be found.
#include <algorithm>
#include <cmath>
#include <vector>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute2.h"
#include "model/zqcalc2.h"
#include "model/zqre.h"
#include "reactions/zqptx.h"

using namespace ZQGLOBAL;
using IO::WSTR;

namespace ZQPTX {

findtype PTMODE = findtype::findt;
rlinematrix RLINE1{}, RLINE2{};
extended GTLOW = 0, GTHIGH = 0, GPLOW = 0, GPHIGH = 0;

namespace {

// How far a search may follow a line beyond the window: down and up in T (K), in P (kbar).
constexpr extended WIDENTDOWN = 300;
constexpr extended WIDENTUP = 400;
constexpr extended WIDENP = 5;
// An activity at or above this counts as unit activity.
constexpr extended UNITACTIVITY = 0.999L;
constexpr smallint BLOCKCOLUMNS = 8;
constexpr smallint FIELD = 9;

std::string title() {
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc: return "pressure-temperature calculations";
    case diagramtype::pxcalc: return "pressure-x(CO2) calculations";
    case diagramtype::txcalc: return "temperature-x(CO2) calculations";
    case diagramtype::plnacalc: return "pressure-log a calculations";
    case diagramtype::tlnacalc: return "temperature-log a calculations";
    case diagramtype::pmucalc: return std::string("pressure-") + macroman::micro + " calculations";
    case diagramtype::tmucalc: return std::string("temperature-") + macroman::micro + " calculations";
  }
  IO::ERROREXIT("phasediagramcalcs", "unknown diagrammode", myfault);
}

void unitactivity(long i) {
  if (i <= 0) return;
  ACTIVITY[i] = 1;
  SDACTIVITY[i] = 0;
}

// The diagram variable's end-members take part at unit activity.
void diagramactivities() {
  switch (DIAGRAMMODE) {
    case diagramtype::pxcalc:
    case diagramtype::txcalc:
      unitactivity(H2OPOS);
      unitactivity(CO2POS);
      break;
    case diagramtype::plnacalc:
    case diagramtype::tlnacalc: unitactivity(LNAPOS); break;
    case diagramtype::pmucalc:
    case diagramtype::tmucalc:
      if (MUPOS > 0) {
        (*TD)(NCV, TDSLOT::H) = 0.5L * (MULOW + MUHIGH);
        unitactivity(MUPOS);
      }
      break;
    case diagramtype::ptcalc: break;
  }
}

void activityrow(long i) {
  IO::ADDNAME(NAME[i], FIELD, WSTR);
}

}  // namespace

void ACTIVITYTABLE() {
  const auto special = [](long i) { return i == H2OPOS || i == CO2POS || i == LNAPOS; };
  smallint c = 0;
  for (long i = 1; i <= NCV; ++i)
    if (!special(i) && ACTIVITY[i] < UNITACTIVITY) ++c;
  WSTR.clear();
  if (c == 0) {
    for (long i = 1; i <= maxem; ++i) VARLNA[i] = 0;
    IO::PUTSTR(1, "Unit activities", 1, CHANNEL::TERMSUMLOG);
    return;
  }
  ZQCALC2::CALCVARLNA();
  if (c <= 3) {
    IO::PUTSTR(1, "Unit activities except :", 1, CHANNEL::TERMSUMLOG);
    WSTR.clear();
    IO::ADDSTR("name", FIELD, WSTR);
    IO::ADDSTR("a", FIELD, WSTR);
    IO::ADDSTR("sd(ln a)", FIELD, WSTR);
    IO::PUTSTR(0, WSTR, 1, CHANNEL::TERMSUMLOG);
    for (long i = 1; i <= NCV; ++i) {
      if (special(i) || !(ACTIVITY[i] < UNITACTIVITY)) continue;
      WSTR.clear();
      activityrow(i);
      IO::ADDREAL(ACTIVITY[i], 3, false, FIELD, WSTR);
      IO::ADDREAL(std::sqrt(VARLNA[i]), 5, true, FIELD, WSTR);
      IO::PUTSTR(0, WSTR, 1, CHANNEL::TERMSUMLOG);
    }
    return;
  }
  // Every end-member but H2O and CO2 gets a column, in the order of NAME.
  std::vector<long> shown;
  for (long i = 1; i <= NCV; ++i)
    if (i != H2OPOS && i != CO2POS) shown.push_back(i);
  for (std::size_t first = 0; first < shown.size(); first += BLOCKCOLUMNS) {
    const std::size_t last = std::min(shown.size(), first + BLOCKCOLUMNS);
    WSTR = IO::BLANKSTRING(10);
    for (std::size_t j = first; j < last; ++j) activityrow(shown[j]);
    IO::PUTSTR(1, WSTR, 1, CHANNEL::TERMSUMLOG);
    WSTR.clear();
    IO::ADDSTR("a", -10, WSTR);
    for (std::size_t j = first; j < last; ++j) IO::ADDREAL(ACTIVITY[shown[j]], 3, false, FIELD, WSTR);
    IO::PUTSTR(0, WSTR, 1, CHANNEL::TERMSUMLOG);
    WSTR.clear();
    IO::ADDSTR("sd(ln a)", -10, WSTR);
    for (std::size_t j = first; j < last; ++j) IO::ADDREAL(std::sqrt(VARLNA[shown[j]]), 5, true, FIELD, WSTR);
    IO::PUTSTR(0, WSTR, 1, CHANNEL::TERMSUMLOG);
  }
}

void ENLARGEWINDOW(calcvariabletype cv) {
  switch (cv) {
    case calcvariabletype::calctemperature:
      GTLOW = TLOW;
      GTHIGH = THIGH;
      TLOW = std::max(TLOW - WIDENTDOWN, CONST::TFLOOR);
      THIGH = std::min(THIGH + WIDENTUP, CONST::TCEILING);
      return;
    case calcvariabletype::calcpressure:
      GPLOW = PLOW;
      GPHIGH = PHIGH;
      PLOW = std::max(PLOW - WIDENP, ABSPLOW);
      PHIGH = std::min(PHIGH + WIDENP, CONST::PCEILING);
      return;
  }
  IO::ERROREXIT("enlargewindow", "unknown calcvariable", myfault);
}

void RESTOREWINDOW(calcvariabletype cv) {
  switch (cv) {
    case calcvariabletype::calctemperature:
      TLOW = GTLOW;
      THIGH = GTHIGH;
      return;
    case calcvariabletype::calcpressure:
      PLOW = GPLOW;
      PHIGH = GPHIGH;
      return;
  }
  IO::ERROREXIT("restorewindow", "unknown calcvariable", myfault);
}

void PHASEDIAGRAMCALCS() {
  NEX1 = 0;
  NEX = 0;
  WSTR.clear();
  IO::ADDSTR(title(), 0, WSTR);
  if (CONTROLJX.calctypecode >= 1 && CONTROLJX.calctypecode <= 5) IO::ADDSTR(" (from script)", 0, WSTR);
  IO::PUTSTR(1, WSTR, 1, CHANNEL::TERMSUMLOG);

  VARIANCE = 1;
  ZQUTE2::POSITIONS();
  ZQUTE2::DIAGRAMWINDOWSETUP(true);
  diagramactivities();
  ACTIVITYTABLE();

  REHELP = false;
  switch (CALCVARIABLE) {
    case calcvariabletype::calcpressure: PTMODE = findtype::findp; break;
    case calcvariabletype::calctemperature: PTMODE = findtype::findt; break;
    default: IO::ERROREXIT("phasediagramcalcs", "unknown calcvariable", myfault);
  }

  switch (CONTROLJX.doallreactions) {
    case yes: DOALLREACTIONS = true; break;
    case no: DOALLREACTIONS = false; break;
    default: {
      IO::PUTSTR(1, "required action:", 1, CHANNEL::TERMLOG);
      IO::PUTSTR(0, " 0: do Schreinemakers (reactions which cannot be stable in the ", 1, CHANNEL::TERMLOG);
      IO::PUTSTR(0, "     window not calculated)", 1, CHANNEL::TERMLOG);
      IO::PUTSTR(0, " 1: calculate all reactions within the window regardless of stability", 1, CHANNEL::TERMLOG);
      smallint code = 0;
      IO::PROMPTINTEGER("code", code);
      DOALLREACTIONS = code != 0;
    }
  }

  bool ok = false;
  ZQRE::CALCRE(ok);
  if (NR != 0) PTXTABLE();
  if (!DOALLREACTIONS && NR > 2) INTERSECTIONS();
}

}  // namespace ZQPTX
