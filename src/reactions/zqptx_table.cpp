// The reaction-line table of calc mode 3: the reactions, their linearised
// thermodynamics, and each reaction's line along the diagram's list with its
// uncertainty at one reference column. Every line is solved at every list
// value, shown or not, since the intersection search reads them all.
#include <cmath>
#include <vector>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "input/zqread1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_pseudo.h"
#include "reactions/zqptx.h"

using namespace ZQGLOBAL;
using IO::WSTR;

namespace ZQPTX {

namespace {

constexpr smallint MAXSHOWN = 20;     // columns shown without thinning
constexpr extended SDTOOBIG = 32767;  // an sdT this large prints "+"
constexpr extended SDPSHOWN = 100;    // largest sdP shown (kbar)
constexpr extended SDTSHOWN = 1000;   // largest derived sdT shown (K)
constexpr smallint LABEL = 6;

using listrow = farray<extended, 1, maxlistvalues>;

void put(smallint before, smallint after) { IO::PUTSTR(before, WSTR, after, CHANNEL::TERMSUMLOG); }

// The list of the other variable and its count.
void thelist(listrow& list, smallint& n) {
  switch (OTHERVARIABLE) {
    case othervariabletype::fixedpressure: list = LP, n = NLP; return;
    case othervariabletype::fixedtemperature: list = LT, n = NLT; return;
    case othervariabletype::fixedmolefractionCO2: list = LXCO2, n = NLX; return;
    case othervariabletype::fixedlnactivity:
      for (long i = 1; i <= maxlistvalues; ++i) list[i] = LLNA(1, i);
      n = NLLNA[1];
      return;
    case othervariabletype::fixedchemicalpotential:
      for (long i = 1; i <= maxlistvalues; ++i) list[i] = LMU(1, i);
      n = NLMU[1];
      return;
  }
  IO::ERROREXIT("ptxtable", "othervariable", myfault);
}

smallint tplaces() { return static_cast<smallint>(TPRECISION - 2 + (TPRECISION != 0 ? 1 : 0)); }

smallint columnwidth() {
  const smallint calc = CALCVARIABLE == calcvariabletype::calcpressure ? static_cast<smallint>(PPRECISION - 3) : tplaces();
  smallint other = 0;
  switch (OTHERVARIABLE) {
    case othervariabletype::fixedpressure: other = static_cast<smallint>(PPRECISION - 3); break;
    case othervariabletype::fixedtemperature: other = tplaces(); break;
    case othervariabletype::fixedmolefractionCO2: other = static_cast<smallint>(XCO2PRECISION - 2); break;
    case othervariabletype::fixedlnactivity: other = LNAPRECISION; break;
    case othervariabletype::fixedchemicalpotential: other = static_cast<smallint>(MUPRECISION + 2); break;
  }
  return static_cast<smallint>(7 + std::max(calc, other));
}

// The pseudo end-member of an ln a or mu diagram carries the list value v.
void setpseudo(extended v) {
  if (DIAGRAMMODE == diagramtype::plnacalc || DIAGRAMMODE == diagramtype::tlnacalc) ZQCALC2::SETLNAPSEUDO(v);
  if (DIAGRAMMODE == diagramtype::pmucalc || DIAGRAMMODE == diagramtype::tmucalc) ZQCALC2::SETMUPSEUDO(v);
}

// The conditions of list position i: the fixed one of P and T, and the fluid.
struct column {
  extended P = 0, T = 0, xco2 = 0, xh2o = 0;
};

column conditions(const listrow& list, smallint i) {
  column c{FIXEDP, FIXEDT, FIXEDXCO2, FIXEDXH2O};
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc:
      if (CALCVARIABLE == calcvariabletype::calcpressure)
        c.T = list[i];
      else
        c.P = list[i];
      break;
    case diagramtype::pxcalc:
    case diagramtype::txcalc:
      c.xco2 = list[i];
      c.xh2o = 1 - list[i];
      break;
    default: setpseudo(list[i]);
  }
  return c;
}

void solve(smallint k, const column& c, extended& y1, extended& y2) {
  extended dV1 = 0, dV2 = 0, d1 = 0, d2 = 0;
  if (CALCVARIABLE == calcvariabletype::calcpressure)
    ZQCALC2::PCALC(k, false, y1, y2, dV1, dV2, c.T, c.xco2, c.xh2o, d1, d2);
  else
    ZQCALC2::TCALC(k, false, y1, y2, dV1, dV2, c.P, c.xco2, c.xh2o, d1, d2);
}

void writevalue(extended y, smallint w) {
  if (CALCVARIABLE == calcvariabletype::calctemperature)
    ZQUTE2::WRITET(y - CONST::KELVIN, w, WSTR);
  else
    ZQUTE2::WRITEP(y, w, WSTR);
}

void thermodynamics() {
  WSTR = "linearised at T = " + IO::INT2STR(FIXEDT - CONST::KELVIN) + ", P = " + IO::REAL2STR(FIXEDP, 1, true);
  bool co2shown = false;
  if (CO2POS > 0 && FIXEDXCO2 > 0) {
    WSTR += ", x(CO2) = " + IO::REAL2STR(FIXEDXCO2, 3, true);
    co2shown = true;
  }
  if (H2OPOS > 0 && FIXEDXH2O > 0 && (!co2shown || std::fabs(FIXEDXCO2 + FIXEDXH2O - 1) > 0.001L))
    WSTR += ", x(H2O) = " + IO::REAL2STR(FIXEDXH2O, 3, true);
  const std::string point = WSTR;
  IO::PUTSTR(1, "Thermodynamics of reactions (0 = a + bT + cP + RT ln K)", 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, point, 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "(a, b and c includes fluid fugacities; ln K includes x(CO2), x(H2O))", 2, CHANNEL::TERMSUMLOG);
  WSTR = IO::BLANKSTRING(4);
  IO::ADDSTR("a", 10, WSTR);
  IO::ADDSTR("sd(a)", 8, WSTR);
  IO::ADDSTR("b", 11, WSTR);
  IO::ADDSTR("c", 11, WSTR);
  IO::ADDSTR("ln_K", 9, WSTR);
  IO::ADDSTR("sd(ln_K)", 9, WSTR);
  put(0, 1);

  ZQCALC2::CALCLNK();
  ZQCALC2::CALCVARLNA();
  const bool xin = FIXEDXCO2 > 0 && FIXEDXCO2 < 1;
  const bool hin = FIXEDXH2O > 0 && FIXEDXH2O < 1;
  for (smallint k = 1; k <= NR; ++k) {
    extended vara = 0, varl = 0;
    for (long i = 1; i <= NCV; ++i)
      for (long j = 1; j <= NCV; ++j) vara += (*R)(k, j) * COVINUSE(i, j) * (*R)(k, i);
    for (long j = 1; j <= NCV; ++j) varl += static_cast<extended>((*R)(k, j)) * (*R)(k, j) * VARLNA[j];
    extended dV = 0, dGdT = 0, dmu = 0;
    ZQCALC1::CALCDMU(k, dV, dGdT, dmu, FIXEDP, FIXEDT, FIXEDXCO2, FIXEDXH2O);
    extended lnK = ALNK[k];
    if (CO2POS != 0 && xin && (*R)(k, CO2POS) != 0) lnK += (*R)(k, CO2POS) * std::log(FIXEDXCO2);
    if (H2OPOS != 0 && hin && (*R)(k, H2OPOS) != 0) lnK += (*R)(k, H2OPOS) * std::log(FIXEDXH2O);
    const extended a = dmu - FIXEDT * dGdT - FIXEDP * dV;
    const extended b = dGdT - CONST::RGAS * lnK;
    WSTR.clear();
    IO::ADDINT(k, -4, WSTR);
    IO::ADDREAL(a, 3, true, 10, WSTR);
    // A variance that rounding of the covariances takes below 0 is 0.
    IO::ADDREAL(vara > 0 ? std::sqrt(vara) : 0, 2, true, 8, WSTR);
    IO::ADDREAL(b, 6, true, 11, WSTR);
    IO::ADDREAL(dV, 5, true, 11, WSTR);
    IO::ADDREAL(lnK, 3, true, 9, WSTR);
    IO::ADDREAL(varl > 0 ? std::sqrt(varl) : 0, 3, true, 9, WSTR);
    put(0, 1);
  }
}

void titleline() {
  const std::string& name = CONTROLJX.runnametext;
  if (CALCVARIABLE == calcvariabletype::calctemperature) {
    WSTR = name.empty() ? "Temperatures" : "Temperatures for " + name;
    WSTR += " in the range " + IO::INT2STR(TLOW - CONST::KELVIN) + " <-> " + IO::INT2STR(THIGH - CONST::KELVIN) +
            macroman::degree_s + "C;  ";
  } else {
    WSTR = name.empty() ? "Prsessures" : "Pressures for " + name;
    WSTR += " in the range " + IO::REAL2STR(PLOW, 1, true) + " <-> " + IO::REAL2STR(PHIGH, 1, true) + "kbar;  ";
  }
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc: ZQUTE1::FLUIDSTRING(WSTR); break;
    case diagramtype::pxcalc:
    case diagramtype::plnacalc:
    case diagramtype::pmucalc:
      WSTR += "for T = " + IO::INT2STR(FIXEDT - CONST::KELVIN) + macroman::degree_s + "C";
      break;
    case diagramtype::txcalc:
    case diagramtype::tlnacalc:
    case diagramtype::tmucalc: WSTR += "for P = " + IO::REAL2STR(FIXEDP, 1, true) + " kbar"; break;
    default: IO::ERROREXIT("ptxtable", "unknown diagrammode", myfault);
  }
  put(1, 1);
}

std::string bare(extended m) { return IO::REAL2STR(m, IO::NPLACES(m), true); }

void uncertaintyline() {
  const std::string mu = std::string(1, macroman::micro);
  switch (OTHERVARIABLE) {
    case othervariabletype::fixedpressure: WSTR = "uncertainties at " + IO::REAL2STR(FIXEDP, 1, true) + " kbars "; break;
    case othervariabletype::fixedtemperature:
      WSTR = "uncertainties at " + IO::INT2STR(FIXEDT - CONST::KELVIN) + macroman::degree_s + "C ";
      break;
    case othervariabletype::fixedmolefractionCO2:
      WSTR = "uncertainties at or near x(CO2) = " + bare(0.5L * (XCO2LOW + XCO2HIGH));
      break;
    case othervariabletype::fixedlnactivity:
      WSTR = std::string(CONTROLJX.setloga == yes ? "uncertainties at or near log a(" : "uncertainties at or near ln a(") +
             LNANAMEP[1] + ") " + bare(0.5L * (LNALOW + LNAHIGH));
      break;
    case othervariabletype::fixedchemicalpotential:
      WSTR = "uncertainties at or near " + mu + "(" + MUNAME[1] + ") " + bare(0.5L * (MULOW + MUHIGH));
      break;
  }
  put(0, 1);
}

void headingline(const listrow& list, smallint n, const farray<bool, 1, maxlistvalues>& shown, smallint w) {
  const bool pcalc = DIAGRAMMODE == diagramtype::pxcalc || DIAGRAMMODE == diagramtype::plnacalc ||
                     DIAGRAMMODE == diagramtype::pmucalc;
  std::string label;
  std::vector<std::string> sds;
  switch (OTHERVARIABLE) {
    case othervariabletype::fixedpressure: label = std::string("T") + macroman::degree_s + "C", sds = {"sdT", "sdP"}; break;
    case othervariabletype::fixedtemperature: label = "P(kbar)", sds = {"sdT", "sdP"}; break;
    case othervariabletype::fixedmolefractionCO2: label = "x(CO2)", sds = {pcalc ? "sdP" : "sdT"}; break;
    case othervariabletype::fixedlnactivity:
      label = CONTROLJX.setloga == yes ? "log a" : "ln a", sds = {pcalc ? "sdP" : "sdT"};
      break;
    case othervariabletype::fixedchemicalpotential:
      label = std::string(1, macroman::micro), sds = {pcalc ? "sdP" : "sdT"};
      break;
  }
  WSTR.clear();
  IO::ADDSTR(label, -LABEL, WSTR);
  for (smallint i = 1; i <= n; ++i) {
    if (!shown[i]) continue;
    const extended v = list[i];
    switch (OTHERVARIABLE) {
      case othervariabletype::fixedpressure: ZQUTE2::WRITEP(v, w, WSTR); break;
      case othervariabletype::fixedtemperature: ZQUTE2::WRITET(v - CONST::KELVIN, w, WSTR); break;
      case othervariabletype::fixedmolefractionCO2: ZQUTE2::WRITEXCO2(v, 0, w, WSTR); break;
      case othervariabletype::fixedlnactivity: IO::ADDREAL(v, IO::NPLACES(v), true, w, WSTR); break;
      case othervariabletype::fixedchemicalpotential: IO::ADDREAL(v, 1, true, w, WSTR); break;
    }
  }
  for (const std::string& s : sds) IO::ADDSTR(s, w, WSTR);
  put(1, 2);
}

smallint referencecolumn(const listrow& list, smallint n) {
  for (smallint i = 1; i <= n; ++i) {
    switch (OTHERVARIABLE) {
      case othervariabletype::fixedpressure:
        if (FIXEDP <= list[i]) return i;
        break;
      case othervariabletype::fixedtemperature:
        if (FIXEDT <= list[i]) return i;
        break;
      default:
        if (list[i] >= list[n == 1 ? 1 : n / 2]) return i;
    }
  }
  return n;
}

// The uncertainty cells of one row of reaction k, L being that row's table.
void uncertaintycells(smallint k, const rlinematrix& L, bool firstrow, const listrow& list, smallint n, smallint j0,
                      smallint w) {
  listrow row{};
  for (long i = 1; i <= n; ++i) row[i] = L(k, i);
  const smallint jsel = NEARESTINRANGE(row, j0, n, PTMODE);
  if (jsel == 0) return;
  ZQCALC2::CALCVARLNA();
  const column c = conditions(list, jsel);
  extended r1 = 0, r2 = 0, s1 = 0, s2 = 0, sl1 = 0, sl2 = 0;
  const bool tcalc = CALCVARIABLE == calcvariabletype::calctemperature;
  if (tcalc)
    ZQCALC2::TFIXEDP(k, r1, r2, s1, s2, sl1, c.P, c.xco2, c.xh2o, sl2);
  else
    ZQCALC2::PFIXEDT(k, r1, r2, s1, s2, sl1, c.T, c.xco2, c.xh2o, sl2);
  const bool in1 = ZQUTE1::INRANGE(r1, PTMODE), in2 = ZQUTE1::INRANGE(r2, PTMODE);
  if (!in1 && !in2) return;
  const extended ref = L(k, jsel);
  const bool use1 = in1 && (!in2 || std::fabs(r2 - ref) > std::fabs(r1 - ref));
  const extended r = use1 ? r1 : r2;
  const extended s = use1 ? s1 : s2;
  const bool fine = firstrow && use1;  // the first row's first root gets more digits
  if (tcalc) {
    if (s >= SDTOOBIG)
      IO::ADDSTR("+", w, WSTR);
    else if (fine)
      IO::ADDREAL(s, 1, true, w, WSTR);
    else
      IO::ADDINT(std::fabs(s), w, WSTR);
    if (OTHERVARIABLE == othervariabletype::fixedpressure) {
      extended dV = 0, dGdT = 0, dmu = 0;
      ZQCALC1::CALCDMU(k, dV, dGdT, dmu, list[jsel], r, FIXEDXCO2, FIXEDXH2O);
      if (std::fabs(dGdT * s) > std::fabs(SDPSHOWN * dV))
        IO::ADDSTR("+", w, WSTR);
      else
        IO::ADDREAL(std::fabs(dGdT * s / dV), 2, fine, w, WSTR);
    }
  } else {
    if (OTHERVARIABLE == othervariabletype::fixedtemperature) {
      extended dV = 0, dGdT = 0, dmu = 0;
      ZQCALC1::CALCDMU(k, dV, dGdT, dmu, r, list[jsel], FIXEDXCO2, FIXEDXH2O);
      if (std::fabs(dV * s) > std::fabs(SDTSHOWN * dGdT))
        IO::ADDSTR("+", w, WSTR);
      else
        IO::ADDINT(std::fabs(dV * s / dGdT), w, WSTR);
    }
    IO::ADDREAL(std::fabs(s), 2, true, w, WSTR);
  }
}

}  // namespace

void SHOWNCOLUMNS(smallint n, farray<bool, 1, maxlistvalues>& shown) {
  smallint step = 1;
  if (n > MAXSHOWN) step = static_cast<smallint>(n / MAXSHOWN + (n % MAXSHOWN != 0 ? 1 : 0));
  for (long i = 1; i <= maxlistvalues; ++i) shown[i] = i <= n && (i - 1) % step == 0;
  if (n >= 1) shown[n] = true;
}

smallint NEARESTINRANGE(const farray<extended, 1, maxlistvalues>& row, smallint j0, smallint n, findtype kind) {
  if (ZQUTE1::INRANGE(row[j0], kind)) return j0;
  smallint down = 0, up = 0;
  for (smallint j = static_cast<smallint>(j0 - 1); j >= 1; --j)
    if (ZQUTE1::INRANGE(row[j], kind)) {
      down = j;
      break;
    }
  for (smallint j = static_cast<smallint>(j0 + 1); j <= n; ++j)
    if (ZQUTE1::INRANGE(row[j], kind)) {
      up = j;
      break;
    }
  if (down != 0 && up != 0) return j0 - down < up - j0 ? down : up;
  return down != 0 ? down : up;
}

void PTXTABLE() {
  extended lo = 0, hi = 0;
  switch (CALCVARIABLE) {
    case calcvariabletype::calcpressure: lo = PLOW, hi = PHIGH; break;
    case calcvariabletype::calctemperature: lo = TLOW, hi = THIGH; break;
    default: IO::ERROREXIT("ptxtable", "unknown calcvariable", myfault);
  }
  listrow list{};
  smallint n = 0;
  thelist(list, n);
  farray<bool, 1, maxlistvalues> shown{};
  SHOWNCOLUMNS(n, shown);

  for (smallint k = 1; k <= NR; ++k) IO::PUTSTR(k == 1 ? 1 : 0, RLINES[k], 1, CHANNEL::TERMSUMLOG);
  const smallint w = columnwidth();
  // Every sd of the tables and intersections that follow comes from the
  // enthalpy covariances: none is made from a matrix without meaning.
  ZQREAD1::CHECKCOVARIANCE("ptxtable");
  if (LNAPOS < 1 && MUPOS < 1) thermodynamics();
  titleline();
  uncertaintyline();
  headingline(list, n, shown, w);
  const smallint j0 = referencecolumn(list, n);
  ZQCALC2::CALCLNK();

  for (smallint k = 1; k <= NR; ++k) {
    ENLARGEWINDOW(CALCVARIABLE);
    for (smallint i = 1; i <= n; ++i) {
      extended y1 = 0, y2 = 0;
      solve(k, conditions(list, i), y1, y2);
      RLINE1(k, i) = y1;
      RLINE2(k, i) = y2;
    }
    RESTOREWINDOW(CALCVARIABLE);

    bool second = false;
    for (smallint i = 1; i <= n; ++i)
      if (!(RLINE2(k, i) < -SOLUTIONBOUND)) second = true;
    if (second)
      for (smallint i = 1; i <= n; ++i) {
        extended& y1 = RLINE1(k, i);
        extended& y2 = RLINE2(k, i);
        if (y1 <= SOLUTIONBOUND && y2 > -SOLUTIONBOUND && y2 < y1) std::swap(y1, y2);
      }

    WSTR.clear();
    IO::ADDINT(k, -LABEL, WSTR);
    for (smallint i = 1; i <= n; ++i) {
      if (!shown[i]) continue;
      const extended y1 = RLINE1(k, i), y2 = RLINE2(k, i);
      if (0 < y1 && y1 < lo && 0 < y2 && y2 < lo)
        WSTR += IO::BLANKSTRING(w);
      else
        writevalue(y1, w);
    }
    uncertaintycells(k, RLINE1, true, list, n, j0, w);
    put(0, 1);

    WSTR = IO::BLANKSTRING(LABEL);
    for (smallint i = 1; i <= n; ++i) {
      if (!shown[i]) continue;
      const extended y1 = RLINE1(k, i), y2 = RLINE2(k, i);
      if (hi < y1 && y1 < SOLUTIONBOUND && hi < y2 && y2 < SOLUTIONBOUND)
        WSTR += IO::BLANKSTRING(w);
      else
        writevalue(y2, w);
    }
    uncertaintycells(k, RLINE2, false, list, n, j0, w);
    put(0, 1);
  }
}

}  // namespace ZQPTX
