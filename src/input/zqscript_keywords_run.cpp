// Keywords that set how the run behaves, what it prints and how the solver
// converges.
#include <cmath>

#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

namespace {

controlboolean asktoyes(controlboolean c) { return c == ask ? yes : c; }

// "1e" and the decimal exponent of a tolerance; the second and third may
// be exactly 0, which has no exponent.
std::string convtext(extended v) {
  if (v == 0) return "0";
  const extended e = std::nearbyint(std::log10(v));
  std::string s = IO::INT2STR(e);
  while (s.size() < 2) s = " " + s;
  return "1e" + s;
}

void convergence(const scriptline& l) {
  if (l.sw != yes) return;
  smallint n = 4;
  bool ok = CHECKSCRIPTNR(l.keyword, n);
  if (ok) {
    // No tolerance may be negative; the first and the fourth are compared
    // by their logarithms, so they may not be 0 either.
    for (smallint i = 1; i <= 4 && ok; ++i) {
      const bool mayzero = i == 2 || i == 3;
      if (INFOREAL[i] > 0 || (mayzero && INFOREAL[i] == 0)) continue;
      IO::PUTSTR(1, "for " + l.keyword + ", info given is " + INFOSTRING[i] + "\"" + ", " +
                        (mayzero ? "but a tolerance may not be negative" : "but this tolerance must be greater than 0"),
                 1, CHANNEL::TERMLOG);
      if (CONTROLJX.strictscripting)
        IO::ERROREXIT("reading script for " + l.keyword, "reals inappropriate", yourfault);
      IO::NFAIL = static_cast<smallint>(IO::NFAIL + 1);
      IO::PUTSTR(0, "info in the script needs to be corrected", 1, CHANNEL::TERMLOG);
      ok = false;
    }
  }
  // Only tolerances that were taken are reported.
  if (!ok) return;
  SMALLE = INFOREAL[1];
  SMALLF = INFOREAL[2];
  SMALLDX = INFOREAL[3];
  SMALLSUMM = INFOREAL[4];
  std::string line = "conv: ";
  for (smallint i = 1; i <= 4; ++i) line += convtext(INFOREAL[i]) + (i < 4 ? " " : "");
  IO::WRITETERMINAL(line + "\n");
}

void rgb(const scriptline& l) {
  if (l.sw == no || NRGBS == 0 || NINFO < 4) return;
  if (NRGBS < 0) NRGBS = 0;
  if (NRGBS >= maxrgb) SCRIPTFAULT("too many rgb");
  NRGBS = static_cast<smallint>(NRGBS + 1);
  RGBN[NRGBS] = INFOSTRING[1];
  bool good = true;
  for (smallint k = 1; k <= 3; ++k) {
    const smallint i = static_cast<smallint>(k + 1);
    if (INFOTYPE[i] != valuetype::aninteger || INFOINT[i] < 0 || INFOINT[i] > 255 || INFOREAL[i] > 255) {
      good = false;
      break;
    }
    RGBS(NRGBS, k) = INFOINT[i];
  }
  if (!good) {
    NRGBS = 0;
    IO::WRITETERMINAL("rgb = -\n");
    return;
  }
  // A phase coloured twice has one colour.
  for (smallint j = 1; j < NRGBS; ++j)
    if (RGBN[j] == RGBN[NRGBS]) {
      for (smallint k = 1; k <= 3; ++k)
        if (RGBS(j, k) != RGBS(NRGBS, k)) TWICEFAULT(RGBN[j], l.keyword);
      NRGBS = static_cast<smallint>(NRGBS - 1);
      return;
    }
  IO::WRITETERMINAL("rgb = " + IO::INT2STR(NRGBS) + ") " + RGBN[NRGBS] + " " + IO::INT2STR(RGBS(NRGBS, 1)) + " " +
                    IO::INT2STR(RGBS(NRGBS, 2)) + " " + IO::INT2STR(RGBS(NRGBS, 3)) + "\n");
}

void level(const scriptline& l, smallint& target, smallint hi) {
  target = 1;
  if (CHECKSCRIPTI(l.keyword, 0, hi)) target = INFOINT[1];
}

}  // namespace

bool KEYWORDSRUN(const scriptline& l) {
  const sstring& k = l.keyword;
  const controlboolean sw = l.sw;
  if (k == "strictscripting") {
    CONTROLJX.strictscripting = sw == yes;
  } else if (k == "autoexit") {
    IO::CONTROLIO.autoexit = sw == yes;
  } else if (k == "numerical") {
    NUMERICAL = sw == yes;
  } else if (k == "qvb") {
    QVB = sw == yes;
  } else if (k == "ombrycalc") {
    CONTROLJX.ombrycalc = sw;
  } else if (k == "magemin") {
    CONTROLJX.magemin = sw;
  } else if (k == "moreprec") {
    CONTROLJX.moreprec = sw;
  } else if (k == "convergence") {
    convergence(l);
  } else if (k == "defsdaparams") {
    CONTROLJX.defsdaparams = sw;
  } else if (k == "usedefsda") {
    CONTROLJX.usedefsda = sw;
  } else if (k == "printcor") {
    CONTROLJX.printcor = sw;
  } else if (k == "latex") {
    CONTROLJX.latex = sw;
  } else if (k == "debuglevel") {
    level(l, DEBUGLEVEL, 6);
  } else if (k == "debuglevelq") {
    level(l, DEBUGLEVELQ, 4);
  } else if (k == "outlevel") {
    level(l, OUTLEVEL, 1);
  } else if (k == "compatibility") {
    CONTROLJX.compatibility = sw;
  } else if (k == "plotix") {
    CONTROLJX.plotix = sw;
    CONTROLJX.plotixcode = 0;
    if (NINFO > 0 && CHECKSCRIPTI(k, 0, 1)) CONTROLJX.plotixcode = INFOINT[1];
  } else if (k == "fifi") {
    CONTROLJX.fifi = sw;
  } else if (k == "printbulkinfo") {
    CONTROLJX.printbulkinfo = sw;
  } else if (k == "c8") {
    CONTROLJX.c8 = sw;
  } else if (k == "lsqds") {
    CONTROLJX.lsqds = sw;
  } else if (k == "calcah2o" || k == "calca(H2O)") {
    CONTROLJX.calcah2o = sw;
  } else if (k == "calcmuo") {
    CONTROLJX.calcmuo = sw;
  } else if (k == "calcmu") {
    CONTROLJX.calcmu = sw;
  } else if (k == "usecalcq") {
    CONTROLJX.usecalcq = sw;
  } else if (k == "printguessform" || k == "printxyz") {
    CONTROLJX.printxyz = sw;
  } else if (k == "modebox") {
    CONTROLJX.modebox = asktoyes(sw);
  } else if (k == "negp" || k == "negP") {
    ABSPLOW = -50;
    PFACA = 1 / (CONST::PCEILING - ABSPLOW);
    PFACB = -ABSPLOW * PFACA;
  } else if (k == "incnler") {
    CONTROLJX.incnler = sw;
  } else if (k == "justrelu") {
    CONTROLJX.justrelu = sw;
  } else if (k == "dataok") {
    CONTROLJX.dataok = sw;
  } else if (k == "rgb") {
    rgb(l);
  } else {
    return false;
  }
  return true;
}

}  // namespace ZQSCRIPT
