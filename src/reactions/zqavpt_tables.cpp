// The tables of a calc-mode-2 rock: activities, reactions with their
// thermodynamics and uncertainties, correlations, and the same as lists on
// the drawing data file.
#include <cmath>
#include <cstdio>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "reactions/zqavpt.h"

using namespace ZQGLOBAL;

namespace ZQAVPT {

namespace {

constexpr long blockwidth = 14;       // end-members per block of the activity table
constexpr extended SDFLOOR = 1e-8L;   // sd of a reaction whose variance is not positive

// ln of a mole fraction or activity; 0 outside (0, 1), as ln K leaves such a term out.
extended lnin01(extended a) { return a > 0 && a < 1 ? std::log(a) : 0; }

// sqrt of a diagonal entry, or the floor with a warning on the terminal.
extended sdof(const char* what, long k, extended v) {
  if (v > 0) return std::sqrt(v);
  std::fprintf(IO::TERMOUT, "%s%ld)  %14.6Le\n", what, k, v);
  return SDFLOOR;
}

void correlations(const std::string& title, const covmatrix& m, const avrvector& s) {
  IO::PUTSTR(1, title, 2, CHANNEL::TERMSUMLOG);
  for (long i = 1; i <= NR; ++i) {
    std::string& w = IO::WSTR;
    w.clear();
    for (long j = 1; j <= NR; ++j) {
      const extended ss = s[i] * s[j];
      IO::ADDREAL(ss != 0 ? m(i, j) / ss : 0, 4, true, 9, w);
    }
    IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  }
}

// The next element of a list line, after ", ": where the line would pass the
// length a line holds, the list goes on in the next line of the same braces,
// so that no element is lost; a line that fits is as it always was.
void addelement(std::string& w, const std::string& text, smallint width) {
  if (w.size() + 2 + text.size() > IO::linelength) {
    w += ",";
    IO::PUTSTR(0, w, 1, CHANNEL::DRAWING);
    w = "   ";
  } else {
    w += ", ";
  }
  IO::ADDSTR(text, width, w);
}

// Closes an element line of a list: the last carries the list's end.
void closeline(std::string& w, bool last, const char* end, smallint after) {
  if (last) {
    w += "}";
    w += end;
    IO::PUTSTR(0, w, after, CHANNEL::DRAWING);
  } else {
    w += "},";
    IO::PUTSTR(0, w, 1, CHANNEL::DRAWING);
  }
}

}  // namespace

void TABLE() {
  const longint mask = CHANNEL::TERMSUMLOG;
  const bool avp = AVMODE != avtype::avtmode;
  std::string& w = IO::WSTR;
  ZQCALC2::CALCVARLNA();
  w = CONTROLJX.runnametext.empty() ? "Activities and uncertainties at "
                                     : "Activities and uncertainties for " + CONTROLJX.runnametext + " at ";
  IO::ADDREAL(FIXEDP, 2, true, 0, w);
  IO::ADDSTR(" kbar and T = ", 0, w);
  IO::ADDINT(FIXEDT - CONST::KELVIN, 0, w);
  IO::ADDSTR(std::string(" ") + macroman::degree_s + "C", 0, w);
  IO::PUTSTR(1, w, 1, mask);
  for (long b0 = 1; b0 <= NCV; b0 += blockwidth) {
    const long b1 = std::min<long>(b0 + blockwidth - 1, NCV);
    std::string names(10, ' '), act, sda;
    IO::ADDSTR("a", -10, act);
    IO::ADDSTR("sd(a)/a", -10, sda);
    for (long j = b0; j <= b1; ++j) {
      if (ZQUTE2::POSI(NAME[j]) == 0) continue;
      IO::ADDSTR(NAME[j], 10, names);
      const bool fluid = j == CO2POS || j == H2OPOS;
      IO::ADDREAL(j == CO2POS ? FIXEDXCO2 : j == H2OPOS ? FIXEDXH2O : ACTIVITY[j], 4, false, 10, act);
      if (fluid)
        IO::ADDSTR(" ", 10, sda);
      else
        IO::ADDREAL(std::sqrt(VARLNA[j]), 5, true, 10, sda);
    }
    IO::PUTSTR(0, names, 1, mask);
    IO::PUTSTR(0, act, 1, mask);
    IO::PUTSTR(0, sda, 1, mask);
  }

  ZQCALC2::CALCLNK();
  covmatrix covh{"table covh"}, covlnk{"table covlnk"};
  CALCCOV(covh, covlnk);
  for (long k = 1; k <= NR; ++k) {
    if (CO2POS != 0 && FIXEDXCO2 > 0 && FIXEDXCO2 < 1 && (*R)(k, CO2POS) != 0)
      ALNK[k] += (*R)(k, CO2POS) * std::log(FIXEDXCO2);
    if (H2OPOS != 0 && FIXEDXH2O > 0 && FIXEDXH2O < 1 && (*R)(k, H2OPOS) != 0)
      ALNK[k] += (*R)(k, H2OPOS) * std::log(FIXEDXH2O);
  }
  avrvector sdh{"table sdh"}, sdlnk{"table sdlnk"}, bT{"table bT"}, c{"table c"}, a{"table a"}, d{"table d"},
      e{"table e"}, x{"table x"}, sdx{"table sdx"};
  farray<bool, 1, maxavr> inwindow{"table inwindow"};
  for (long k = 1; k <= NR; ++k) {
    sdh[k] = sdof("covh(", k, covh(k, k));
    sdlnk[k] = sdof("covlnk(", k, covlnk(k, k));
  }
  for (long k = 1; k <= NR; ++k) {
    extended x2 = 0, dV2 = 0, dT2 = 0;
    const auto kk = static_cast<smallint>(k);
    if (avp) {
      ZQCALC2::PCALC(kk, false, x[k], x2, c[k], dV2, FIXEDT, FIXEDXCO2, FIXEDXH2O, bT[k], dT2);
      a[k] = -bT[k] * FIXEDT - c[k] * x[k];
      inwindow[k] = ZQUTE1::INRANGE(x[k], findtype::findp);
    } else {
      ZQCALC2::TCALC(kk, false, x[k], x2, c[k], dV2, FIXEDP, FIXEDXCO2, FIXEDXH2O, bT[k], dT2);
      a[k] = -bT[k] * x[k] - c[k] * FIXEDP;
      inwindow[k] = ZQUTE1::INRANGE(x[k], findtype::findt);
    }
    // Without a root in the window the slope is 0: the position has no spread to show.
    const extended slope = avp ? c[k] : bT[k];
    if (inwindow[k] && slope != 0) {
      d[k] = -1 / slope;
      e[k] = d[k] * CONST::RGAS * (avp ? FIXEDT : x[k]);
    } else {
      d[k] = e[k] = 0;
    }
  }
  covmatrix V{"table V"};
  for (long i = 1; i <= NR; ++i)
    for (long j = i; j <= NR; ++j) {
      const extended h = CONTROLJX.justrelu == yes ? 0 : d[i] * covh(i, j) * d[j];
      V(i, j) = V(j, i) = h + e[i] * covlnk(i, j) * e[j];
    }
  for (long k = 1; k <= NR; ++k) sdx[k] = V(k, k) > 0 ? std::sqrt(V(k, k)) : 0;

  IO::PUTSTR(1,
             INCOMPLETE ? std::string(macroman::bullet_s) + macroman::bullet_s + "INCOMPLETE" + macroman::bullet_s +
                              macroman::bullet_s + " independent set of reactions"
                        : std::string("Independent set of reactions"),
             1, mask);
  for (long k = 1; k <= NR; ++k) {
    ZQCALC2::MAKERLINE(static_cast<smallint>(k));
    IO::PUTSTR(0, RLINES[k], 1, mask);
  }

  if (avp)
    w = "Calculations for the set of reactions at T = " + IO::INT2STR(FIXEDT - CONST::KELVIN) + macroman::degree_s +
        "C ";
  else
    w = "Calculations for the set of reactions at P = " + IO::REAL2STR(FIXEDP, 1, true) + " kbar";
  ZQUTE1::FLUIDSTRING(w);
  IO::PUTSTR(1, w, 1, mask);
  w = "    ";
  IO::ADDSTR(avp ? "P" : "T", 9, w);
  IO::ADDSTR(avp ? "sd(P)" : "sd(T)", 9, w);
  IO::ADDSTR("a", 11, w);
  IO::ADDSTR("sd(a)", 9, w);
  IO::ADDSTR("b", 11, w);
  IO::ADDSTR("c", 10, w);
  IO::ADDSTR("ln_K", 10, w);
  IO::ADDSTR("sd(ln_K)", 10, w);
  IO::PUTSTR(0, w, 1, mask);
  for (long k = 1; k <= NR; ++k) {
    w.clear();
    IO::ADDINT(k, -4, w);
    if (!inwindow[k]) {
      IO::ADDSTR("", 18, w);
    } else if (avp) {
      IO::ADDREAL(x[k], 2, true, 9, w);
      IO::ADDREAL(sdx[k], 2, true, 9, w);
    } else {
      IO::ADDREAL(x[k] - CONST::KELVIN, 1, true, 9, w);
      IO::ADDREAL(sdx[k], 1, true, 9, w);
    }
    IO::ADDREAL(a[k], 3, true, 11, w);
    IO::ADDREAL(sdh[k], 3, true, 9, w);
    IO::ADDREAL(bT[k] - CONST::RGAS * ALNK[k], 6, true, 11, w);
    IO::ADDREAL(c[k], 4, true, 10, w);
    IO::ADDREAL(ALNK[k], 4, true, 10, w);
    IO::ADDREAL(sdlnk[k], 4, true, 10, w);
    IO::PUTSTR(0, w, 1, mask);
  }

  if (CONTROLJX.printcor == yes || DEBUGLEVEL >= 2) {
    if (CONTROLJX.justrelu != yes) correlations("Correlation matrix: enthalpy of reaction", covh, sdh);
    correlations("Correlation matrix: ln K", covlnk, sdlnk);
    correlations(avp ? "Correlation matrix:  calculated pressures" : "Correlation matrix:  calculated temperatures",
                 V, sdx);
  }
}

void SPECIALTABLES() {
  std::string& w = IO::WSTR;
  ZQCALC2::CALCVARLNA();
  covmatrix covh{"special covh"}, covlnk{"special covlnk"};
  CALCCOV(covh, covlnk);
  IO::PUTSTR(2, "{name, lna, sdlna} = Transpose[{", 1, CHANNEL::DRAWING);
  for (long j = 1; j <= NCV; ++j) {
    const bool fluid = j == CO2POS || j == H2OPOS;
    w = "  {";
    IO::ADDSTR(NAME[j], 6, w);
    w += ", ";
    IO::ADDREAL(lnin01(j == CO2POS ? FIXEDXCO2 : j == H2OPOS ? FIXEDXH2O : ACTIVITY[j]), 6, true, 10, w);
    w += ", ";
    IO::ADDREAL(fluid ? 0 : std::sqrt(VARLNA[j]), 6, true, 10, w);
    closeline(w, j == NCV, "}];", 2);
  }
  IO::PUTSTR(0, "r = {", 1, CHANNEL::DRAWING);
  for (long k = 1; k <= NR; ++k) {
    w = "  {";
    for (long j = 1; j <= NCV; ++j) {
      if (j > 1)
        addelement(w, IO::INT2STR((*R)(k, j)), 3);
      else
        IO::ADDINT((*R)(k, j), 3, w);
    }
    closeline(w, k == NR, "};", 1);
  }
  IO::PUTSTR(1, "{a, b, c, lnK, sdlnK} = Transpose[{", 1, CHANNEL::DRAWING);
  for (long k = 1; k <= NR; ++k) {
    extended dV = 0, dGdT = 0, dmu = 0;
    ZQCALC1::CALCDMU(static_cast<smallint>(k), dV, dGdT, dmu, FIXEDP, FIXEDT, FIXEDXCO2, FIXEDXH2O);
    w = "  {";
    IO::ADDREAL(dmu - dGdT * FIXEDT - dV * FIXEDP, 2, true, 7, w);
    w += ", ";
    IO::ADDREAL(dGdT - CONST::RGAS * ALNK[k], 5, true, 9, w);
    w += ", ";
    IO::ADDREAL(dV, 3, true, 8, w);
    w += ", ";
    IO::ADDREAL(ALNK[k], 4, true, 9, w);
    w += ", ";
    IO::ADDREAL(covlnk(k, k) > 0 ? std::sqrt(covlnk(k, k)) : 0, 4, true, 9, w);
    closeline(w, k == NR, "}];", 2);
  }
  IO::PUTSTR(0, "covh = {", 1, CHANNEL::DRAWING);
  for (long i = 1; i <= NR; ++i) {
    w = "  {";
    for (long j = 1; j <= NR; ++j) {
      if (j > 1)
        addelement(w, IO::REAL2STR(covh(i, j), 4, true), 10);
      else
        IO::ADDREAL(covh(i, j), 4, true, 10, w);
    }
    closeline(w, i == NR, "};", 1);
  }
}

}  // namespace ZQAVPT
