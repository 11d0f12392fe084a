// The avPT+ heading, the line of the nominal result (or the failure that
// ends the run), the diagnostics table, the window check of a Monte Carlo
// try and the count of a pass's failures; and the driver's last steps,
// which run them.
#include <string>

#include "frame/bytes.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"

namespace ZQNLE4 {

namespace {
const std::string degc = std::string(macroman::degree_s) + "C";
}  // namespace

void avptplusstate::HEADING() {
  using namespace ZQGLOBAL;
  IO::PUTSTR(1, "________________________________", 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "avPT+ calculations in SOLVARINTH", 1, CHANNEL::TERMSUMLOG);
  std::string s = AVPPLUS ? "avP+ for " : AVTPLUS ? "avT+ for " : "avPT+ for ";
  s += ROCKNAME + " with the assemblage ";
  if (PREC1 != nullptr)
    for (long i = 1; i <= NPSS; ++i) s += (*PREC1)[i].name + " ";
  if (PREC0 != nullptr)
    for (long i = 1; i <= NP0; ++i) s += (*PREC0)[i].name + " ";
  IO::PUTSTR(1, s, 1, CHANNEL::TERMSUMLOG);
}

void avptplusstate::PRINTAVPTPLUS(bool solved) {
  using namespace ZQGLOBAL;
  std::string& w = IO::WSTR;
  w.clear();
  if (solved) {
    if (AVPPLUS) {
      w = "at T = ";
      IO::ADDREAL(AVPFIXEDT, 2, true, 0, w);
      w += degc + ", with ";
      IO::ADDINT(NJX, 3, w);
      w += ONET ? " P calcs, avp+ = " : " PT calcs, avp+ = ";
      IO::ADDREAL(PNOM, 3, true, 0, w);
      w += " kbar, sigfit = ";
      IO::ADDREAL(SIGFIT, 3, true, 0, w);
      IO::PUTSTR(0, w, 2, CHANNEL::TERMSUMLOG);
    } else if (AVTPLUS) {
      w = "at P = ";
      IO::ADDREAL(AVTFIXEDP, 2, true, 0, w);
      w += " kbar, with ";
      IO::ADDINT(NJX, 3, w);
      w += ONEP ? " T calcs, avT+ = " : " PT calcs, avT+ = ";
      IO::ADDREAL(TNOM, 2, true, 0, w);
      w += degc + ", sigfit = ";
      IO::ADDREAL(SIGFIT, 3, true, 0, w);
      IO::PUTSTR(0, w, 2, CHANNEL::TERMSUMLOG);
    } else {
      w = "avPT+ = {";
      IO::ADDREAL(PNOM, 3, true, 0, w);
      w += " kbar, ";
      IO::ADDREAL(TNOM, 2, true, 0, w);
      w += degc + "}";
      if (CONTROLJX.avptpluswithxco2 == yes) {
        w += " with x(CO2) = ";
        IO::ADDREAL(SUMPTTERMS(PNOM, TNOM, XCO2COEFF, IPOW, JPOW), 3, true, 0, w);
      }
      w += ", sigfit = ";
      IO::ADDREAL(SIGFIT, 3, true, 0, w);
      w += ", using ";
      IO::ADDINT(NJX, 3, w);
      w += " PT calcs";
      IO::PUTSTR(1, w, 2, CHANNEL::TERMSUMLOG);
    }
    w.clear();
    return;
  }
  if (AVPPLUS || AVTPLUS) {
    BRUTEFORCE(ROCKXYZ, JXXYZ);
    IO::ERROREXIT("avptplusdriver", AVPPLUS ? "avP+ calculation did not converge" : "avT+ calculation did not converge",
                  yourfault);
  }
  IO::PUTSTR(0, "have you tried avP+ and/or avT+?", 0, CHANNEL::TERMSUMLOG);
  IO::ERROREXIT("avptplusdriver", "avPT+ calculation did not converge", yourfault);
}

bool avptplusstate::CHECKOUTSIDE() {
  using namespace ZQGLOBAL;
  if (!SOLVED || AVPTALGO == AVPTALGOAVERAGE) return false;
  const bool pout = PTRY < PLOW || PTRY > PHIGH;
  // avPT+ holds temperatures in degrees C, the window in K.
  constexpr extended kelvin = CONST::KELVIN;
  const bool tout = TTRY < TLOW - kelvin - AVPTTSLACK || TTRY > THIGH - kelvin + AVPTTSLACK;
  const bool outside = AVPPLUS ? pout : AVTPLUS ? tout : pout || tout;
  if (!outside) return false;
  ++NOUTSIDE;
  std::string s;
  if (AVPPLUS) {
    s = avptfixed(PTRY, 8, 3) + "(" + avptfixed(PLOW, 6, 2) + ", " + avptfixed(PHIGH, 6, 2) + ")";
  } else if (AVTPLUS) {
    s = avptfixed(TTRY, 8, 2) + "(" + avptfixed(TLOW - kelvin, 6, 1) + ", " + avptfixed(THIGH - kelvin, 6, 1) + ")";
  } else {
    s = std::string(40, ' ') + avptfixed(PTRY, 8, 3) + ":" + avptfixed(PLOW, 6, 2) + " <==>" + avptfixed(PHIGH, 6, 2) +
        "; " + avptfixed(TTRY, 8, 2) + ":" + avptfixed(TLOW - kelvin, 6, 1) + " <==>" +
        avptfixed(THIGH - kelvin, 6, 1) + "; " + IO::INT2STR(ITRY);
  }
  IO::WRITETERMINAL(s + "\n");
  return true;
}

void avptplusstate::PRINTFAILINFO(smallint ntried, smallint ngood) {
  std::string& w = IO::WSTR;
  w = "mc: good = " + IO::INT2STR(ngood) + " (tried = " + IO::INT2STR(ntried);
  if (ZQGLOBAL::AVPTALGO == AVPTALGOCROSSOVER) {
    const bool onevar = AVPPLUS || AVTPLUS;
    w += "; failed: too few data = " + IO::INT2STR(NFAILED1);
    w += (onevar ? ", no crossover (+?) = " : ", no block bracket = ") + IO::INT2STR(NFAILED2);
    w += (onevar ? ", no crossover (-?) = " : ", delP same in ih = ") + IO::INT2STR(NFAILED3);
    w += (onevar ? ", bad ih/data = " : ", no collapse in ih = ") + IO::INT2STR(NFAILED4);
  } else {
    w += ", not converged = " + IO::INT2STR(ntried - ngood);
  }
  w += ")";
  IO::PUTSTR(1, w, 1, CHANNEL::TERMSUMLOG);
  w.clear();
}

void avptplusstate::DIAGNOSTICS() {
  const smallint n = ZQGLOBAL::NJXXYZ;
  IO::PUTSTR(0, "diagnostics", 1, CHANNEL::TERMSUMLOG);
  std::string& w = IO::WSTR;
  w = std::string(16, ' ');
  for (const char* h : {"rock", "sd", "jx", "sd", "opt", "sd", "e*rock", "e*jx"}) IO::ADDSTR(h, 10, w);
  IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  for (long i = 1; i <= n; ++i) {
    w = "  ";
    IO::ADDSTR("\\text{" + ZQGLOBAL::JXXYZNAME[i] + "}", -14, w);
    for (const extended v : {XYZSIDES[i], ROCKSD[i], XYZSIDES[n + i], JXSD[i], XYZOPT[i], XYZOPTSD[i]})
      IO::ADDREAL(v, 4, true, 10, w);
    IO::ADDREAL(ESTAR[i], 3, true, 10, w);
    IO::ADDREAL(ESTAR[n + i], 3, true, 10, w);
    IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  }
  w.clear();
}

void avptplusstate::NOMINALANDLIMITS() {
  using namespace ZQGLOBAL;
  HEADING();
  ITRY = 0;
  if (AVPPLUS)
    SOLVED = AVPTPLUSX(ROCKXYZ, JXXYZ, PNOM, AVPFIXEDT, SIGFIT, FAILCODE, true);
  else if (AVTPLUS)
    SOLVED = AVPTPLUSX(ROCKXYZ, JXXYZ, AVTFIXEDP, TNOM, SIGFIT, FAILCODE, true);
  else
    SOLVED = AVPTPLUSX(ROCKXYZ, JXXYZ, PNOM, TNOM, SIGFIT, FAILCODE, true);
  PRINTAVPTPLUS(SOLVED);
  DIAGNOSTICS();
  CHOLESKI(ROCKVXYZ, LROCK, NJXXYZ);
  CHOLESKI(JXVXYZ, LJX, NJXXYZ);
  MONTECARLO();
}

}  // namespace ZQNLE4
