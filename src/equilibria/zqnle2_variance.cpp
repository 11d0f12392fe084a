// The variance of the chosen phases, its name, the P-T frame of the
// calculation with the solver's scaling of P and T, the starting
// activities, and the order-variable guesses of a phase.
#include <algorithm>
#include <memory>
#include <string>

#include "equilibria/zqnle2.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "input/zqread1.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

// The P scaling window reaches this far beyond the calculation's window, in
// proportion to its mid pressure; the T window a fixed step.
constexpr extended pmargin = 1.0L, pmarginperkbar = 0.075L;
constexpr extended tmargin = 75.0L;
// Typical steps of the scaled P and T, as fractions of their scaling span.
constexpr extended typpfraction = 0.01L, typtfraction = 0.1L;
// An activity this close to 1 counts as 1.
constexpr extended unitactivity = 0.99999L;

}  // namespace

smallint PHASECOMPS(liemmatrix& m) {
  long col = 0;
  for (long i = 1; i <= NPSS; ++i) {
    const ptype1& p = (*PREC1)[i];
    for (long e = 1; e <= p.nprop; ++e) {
      ++col;
      for (long j = 1; j <= NUV; ++j) m(j, col) = p.em[e].comp[j];
    }
  }
  for (long i = 1; i <= NP0; ++i) {
    ++col;
    for (long j = 1; j <= NUV; ++j) m(j, col) = (*PREC0)[i].comp[j];
  }
  return static_cast<smallint>(col);
}

smallint PHASERULE(liemmatrix& m, smallint ncomp, smallint ncol, const farray<bool, 1, maxcomp>& held,
                   smallint nphases, smallint nheld) {
  // A held potential opens its component whether or not a phase holds it:
  // it is counted as a column of its own, and the variable takes one off.
  for (long c = 1; c <= ncomp; ++c) {
    if (!held[c]) continue;
    ++ncol;
    for (long j = 1; j <= ncomp; ++j) m(j, ncol) = j == c ? 1 : 0;
  }
  const smallint r = ZQMATH1::CALCRANK(m, ncomp, ncol);
  return static_cast<smallint>(r + 2 - nphases - nheld);
}

smallint CALCVAR() {
  // Some 1.3 MB: on the heap, once per pass.
  auto m = std::make_unique<liemmatrix>("calcvar matrix");
  // The mu phases are made after this count; an ln a variable's phase is
  // one of the phases already, its composition among the columns.
  farray<bool, 1, maxcomp> held{"calcvar held"};
  for (long k = 1; k <= NMU; ++k)
    for (long c = 1; c <= NUV; ++c)
      if (COMPNAME[c] == MUNAME[k]) held[c] = true;
  return PHASERULE(*m, NUV, PHASECOMPS(*m), held, static_cast<smallint>(NPSS + NP0), NMU);
}

void PRINTVAR(smallint v) {
  static const char* const words[] = {"invariant", "univariant", "divariant", "trivariant", "quadrivariant"};
  if (v >= 0 && v <= 4)
    IO::PSTR += words[v];
  else
    IO::PSTR += IO::INT2STR(v) + "-variant";
}

void CALCPTSETUP() {
  const smallint v = CONTROLJX.batch == yes ? 0 : VARIANCE;
  if (v == 0) {
    FIX = fixtype::fixnone;
    ZQUTE2::DOCALCPT("PT window within which invariant points expected to lie",
                     "P window within which invariant points expected to lie",
                     "T window within which invariant points expected to lie");
    CALCVARIABLE = calcvariabletype::calctemperature;
    OTHERVARIABLE = othervariabletype::fixedpressure;
    ZQUTE1::TOK(TLOW, THIGH, xOKtype::mustbedifferent);
    ZQUTE1::POK(PLOW, PHIGH, xOKtype::mustbedifferent);
  } else if (v == 1) {
    IO::PROMPTCONTROL("calculate T at P (rather than P at T)", CONTROLJX.calcTatP);
    if (CONTROLJX.calcTatP == yes) {
      FIX = fixtype::fixp;
      ZQUTE2::DOCALCPT("", "P at which T of reactions to be calculated", "T window within which reactions expected to lie");
      CALCVARIABLE = calcvariabletype::calctemperature;
      OTHERVARIABLE = othervariabletype::fixedpressure;
      ZQUTE1::TOK(TLOW, THIGH, xOKtype::mustbedifferent);
      ZQUTE1::POK(PLOW, PHIGH, xOKtype::canbesame);
    } else {
      FIX = fixtype::fixt;
      ZQUTE2::DOCALCPT("", "P window within which reactions expected to lie", "T at which P of reactions to be calculated");
      CALCVARIABLE = calcvariabletype::calcpressure;
      OTHERVARIABLE = othervariabletype::fixedtemperature;
      ZQUTE1::TOK(TLOW, THIGH, xOKtype::canbesame);
      ZQUTE1::POK(PLOW, PHIGH, xOKtype::mustbedifferent);
    }
  } else {
    FIX = fixtype::fixpt;
    ZQUTE2::DOCALCPT("", "P at which equilibria to be calculated", "T at which equilibria to be calculated");
    ZQUTE1::TOK(TLOW, THIGH, xOKtype::canbesame);
    ZQUTE1::POK(PLOW, PHIGH, xOKtype::canbesame);
  }

  // What the user typed is refused only as the windows take it, once the
  // overall window has clamped what it could.
  ZQUTE1::PHYSICALWINDOW(true, "docalcpt");
  ZQUTE1::PHYSICALWINDOW(false, "docalcpt");
  FIXEDT = (TLOW + THIGH) / 2;
  FIXEDP = (PLOW + PHIGH) / 2;
  if (CONTROLJX.ptguess == yes) {
    // One guess is taken, the temperature's first.
    if (T4XYZ >= TLOW && T4XYZ <= THIGH)
      FIXEDT = T4XYZ;
    else if (P4XYZ >= PLOW && P4XYZ <= PHIGH)
      FIXEDP = P4XYZ;
  }

  const extended d = pmargin + pmarginperkbar * (PLOW + PHIGH) / 2;
  const extended plower = std::max(PLOW - d, ABSPLOW);
  const extended pupper = std::min(PHIGH + d, CONST::PCEILING);
  PFACA = 1 / (pupper - plower);
  PFACB = -PFACA * plower;
  TYPP = typpfraction / (pupper - plower);
  const extended tlower = std::max(TLOW - tmargin, CONST::TFLOOR);
  const extended tupper = std::min(THIGH + tmargin, CONST::TCEILING);
  TFACA = 1 / (tupper - tlower);
  TFACB = -TFACA * tlower;
  TYPT = typtfraction / (tupper - tlower);

  NLP = 1;
  LP[1] = FIXEDP;
  NLT = 1;
  LT[1] = FIXEDT;
  for (long k = 1; k <= maxlna; ++k) NLMU[k] = NLLNA[k] = 0;

  if (v == 1 || v < 0) {
    if (FIX == fixtype::fixt)
      ZQUTE1::LISTT();
    else
      ZQUTE1::LISTP();
  } else if (v >= 2) {
    ZQUTE1::LISTP();
    ZQUTE1::LISTT();
  }
  PPRECISION = 3;
  TPRECISION = 2;
  XPRECISION = 4;
}

void CHECKA() {
  long k = 0;
  for (long i = 1; i <= NPSS; ++i) {
    const ptype1& p = (*PREC1)[i];
    for (long e = 1; e <= p.nprop; ++e) {
      ++k;
      ACTIVITY[k] = 1;
      SDACTIVITY[k] = 0;
      NSITE[k] = std::max<smallint>(p.em[e].nsite, 1);
    }
  }
  NONUNITA = false;
  for (long i = 1; i <= NP0; ++i) {
    const ptype0& p = (*PREC0)[i];
    ++k;
    ACTIVITY[k] = p.activity;
    SDACTIVITY[k] = p.sdactivity;
    NSITE[k] = 1;
    if (p.activity < unitactivity) NONUNITA = true;
  }
  if (!NONUNITA) return;

  IO::PROMPTCONTROL("standard default uncertainties on activities", CONTROLJX.defsdaparams);
  ZQREAD1::SETSDAPARAMS(CONTROLJX.defsdaparams == yes);
  ZQREAD1::CHECKSDA();
  IO::PUTSTR(0, "non-unit activities :", 1, CHANNEL::TERMSUMLOG);
  std::string line;
  IO::ADDSTR("name", 9, line);
  IO::ADDSTR("a", 9, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  for (long i = 1; i <= NP0; ++i) {
    const ptype0& p = (*PREC0)[i];
    if (p.activity >= unitactivity) continue;
    line.clear();
    IO::ADDNAME(p.name, 9, line);
    IO::ADDSTR(IO::REAL2STR(p.activity, 3, false), 9, line);
    IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  }
}

void PRINTQ(smallint phase) {
  const ptype1& p = (*PREC1)[phase];
  std::string& line = IO::WSTR;
  line = " P(kbar)    T(C)";
  for (long v = 1; v <= p.nvar; ++v) IO::ADDNAME(p.xvar[v].name, 10, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  line.clear();
  IO::ADDSTR(FIXEDP == CONST::PR ? std::string("0.001") : IO::REAL2STR(FIXEDP, 1, true), 8, line);
  IO::ADDINT(FIXEDT - CONST::KELVIN, 8, line);
  for (long v = 1; v <= p.nvar; ++v) IO::ADDREAL(p.xvar[v].guess, 4, true, 10, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
}

}  // namespace ZQNLE2
