// The avPT+ brute-force table: the solve against every stored calculation
// with that calculation's own uncertainties, with the misfits in P and T on
// which the crossover search works; and the temperature scale of those
// misfits.
#include <cmath>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal_avptplus.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_windows.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"

namespace ZQNLE4 {

using namespace ZQGLOBAL;

extended avptplusstate::TEMPERATURESCALE() const {
  // the guesses are the basis centre; without a positive P guess and a
  // ratio of at least 1 no temperature misfit can be scaled
  if (!(AVPGUESS > 0)) IO::ERROREXIT("avptplusdriver", "avP and avT guesses needed", yourfault);
  const extended scale = std::round(AVTGUESS / AVPGUESS);
  if (!(scale >= 1)) IO::ERROREXIT("avptplusdriver", "avP and avT guesses needed", yourfault);
  return scale;
}

void avptplusstate::BRUTEFORCE(const xyzvector& rock, const xyzvector& jx) {
  const extended scale = TEMPERATURESCALE();
  const bool withx = CONTROLJX.avptpluswithxco2 == yes;
  std::string w = "brute force: njx = " + IO::INT2STR(NJX);
  if (AVPPLUS)
    w += ", at T = " + IO::REAL2STR(AVPFIXEDT, 2, true) + macroman::degree_s + "C, starting guesses at " +
         IO::REAL2STR(P4XYZ, 2, true) + " kbar";
  else if (AVTPLUS)
    w += ", at P = " + IO::REAL2STR(AVTFIXEDP, 2, true) + " kbar";
  IO::PUTSTR(1, w, 1, CHANNEL::TERMSUMLOG);
  IO::WRITETERMINAL("jx min/max P = " + FIXEDW(PMIN, 6, 2) + FIXEDW(PMAX, 6, 2) + FIXEDW(CPINC, 6, 3) + "\n");
  w.clear();
  if (AVPPLUS || AVTPLUS) {
    const char* x = AVPPLUS ? "P" : "T";
    w = "  ";
    for (const std::string& label : {std::string(x), std::string("av") + x, std::string("del") + x, std::string("sigfit")})
      IO::ADDSTR(label, 8, w);
  } else {
    for (const char* label : {"P", "T", "avP", "avT", "delP", "delT", "sigfit"}) IO::ADDSTR(label, 8, w);
    if (withx) IO::ADDSTR("x(CO2)", 8, w);
  }
  IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  for (long i = 1; i <= NJX; ++i) DELPCALC[i] = DELTCALC[i] = AVPTNORESULT;

  extended Pg = 0, Tg = 0;
  bool anyrow = false;
  extended lastp = 0;
  for (long i = 1; i <= NJX; ++i) {
    const jxcalctype& c = (*JXCALC)[i];
    const smallint k = static_cast<smallint>(i);
    w.clear();
    if (AVPPLUS) {
      if (Pg == 0) Pg = AVPGUESS;
      if (!AVPTPLUS(rock, jx, k, Pg, AVPFIXEDT, SIGFIT, false)) continue;
      DELPCALC[i] = c.p - Pg;
      IO::ADDINT(static_cast<extended>(i), 2, w);
      for (const extended v : {c.p, Pg, DELPCALC[i], SIGFIT}) IO::ADDREAL(v, 3, true, 8, w);
    } else if (AVTPLUS) {
      if (Tg == 0) Tg = AVTGUESS;
      if (!AVPTPLUS(rock, jx, k, AVTFIXEDP, Tg, SIGFIT, false)) continue;
      DELTCALC[i] = (c.t - Tg) / scale;
      IO::ADDINT(static_cast<extended>(i), 2, w);
      IO::ADDREAL(c.t, 2, true, 8, w);
      for (const extended v : {Tg, DELTCALC[i], SIGFIT}) IO::ADDREAL(v, 3, true, 8, w);
    } else {
      if (Pg == 0) {
        Pg = AVPGUESS;
        Tg = AVTGUESS;
      }
      const bool ok = AVPTPLUS(rock, jx, k, Pg, Tg, SIGFIT, false);
      // a new pressure block starts again from the guesses
      const bool newblock = i < NJX && (*JXCALC)[i + 1].p != c.p;
      if (ok) {
        DELPCALC[i] = c.p - Pg;
        DELTCALC[i] = (c.t - Tg) / scale;
        if (anyrow && c.p != lastp) IO::PUTSTR(0, "-----------------", 1, CHANNEL::TERMSUMLOG);
        anyrow = true;
        lastp = c.p;
        IO::ADDREAL(c.p, 3, true, 8, w);
        IO::ADDREAL(c.t, 2, true, 8, w);
        IO::ADDREAL(Pg, 3, true, 8, w);
        IO::ADDREAL(Tg, 2, true, 8, w);
        for (const extended v : {DELPCALC[i], DELTCALC[i], SIGFIT}) IO::ADDREAL(v, 3, true, 8, w);
        if (withx) IO::ADDREAL(c.xfluid, 3, true, 8, w);
      }
      if (newblock) Pg = 0;
      if (!ok) continue;
    }
    IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  }
}

}  // namespace ZQNLE4
