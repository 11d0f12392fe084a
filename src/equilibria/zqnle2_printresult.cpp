// The result dispatch of a point, its optional outputs, the progress mark
// of a failed point, the variables table and the reaction line.
#include <algorithm>
#include <cmath>

#include "equilibria/zqnle1.h"
#include "frame/bytes.h"
#include "frame/zqglobal_newton.h"
#include "frame/zqglobal_nle.h"
#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr smallint marksperline = 80;  // progress marks before the terminal line is broken
constexpr smallint maxfixedplaces = 6;  // decimals of a held value at most
constexpr int reactionminlength = 5;    // shorter reaction texts are not printed

const char* const statusrule = "------------------------------------------------------------";  // 60 "-"

// The text of one held or solved unknown in the variables table.
void addvariable(smallint j, std::string& line) {
  if (BX[j])
    IO::ADDREAL(X[j], XPRECISION, false, 10, line);
  else
    IO::ADDREAL(X[j], std::min(IO::NPLACES(X[j]), maxfixedplaces), true, 10, line);
}

// One uncertainty row ("h", "w", "b" or "sd") of a block of the variables
// table; first: the block holds P and T.
void uncertaintyrow(const std::string& label, const eqvector& v, smallint from, smallint to, bool first,
                    longint mask) {
  const bool isb = label == "b";
  const bool issd = label == "sd";
  std::string& line = IO::WSTR;
  line.clear();
  if (issd)
    IO::ADDSTR(label, 2, line);
  else
    IO::ADDSTR(label, (MODESBYNLE && NCOMP > 1) ? -7 : -2, line);
  // h and w show a missing (negative) value as " 0", b leaves it blank.
  const bool hw = !isb && !issd;
  auto ptfield = [&](smallint j, smallint places, smallint width) {
    if (!BX[j] || (isb && v[j] < 0))
      IO::ADDSTR(" ", width, line);
    else if (hw && v[j] < 0)
      IO::ADDSTR(" 0", width, line);
    else
      IO::ADDREAL(v[j], places, true, width, line);
  };
  if (first) {
    ptfield(1, 3, 8);
    ptfield(2, 2, 10);
    if (NLNA > 0) IO::ADDSTR("", static_cast<smallint>(10 * NLNA), line);
  } else {
    IO::ADDSTR("", 18, line);
  }
  for (smallint j = from; j <= to; ++j) {
    if (!BX[j] || (isb && v[j] < 0))
      IO::ADDSTR(" ", 10, line);
    else if (hw && v[j] < 0)
      IO::ADDSTR(" 0", 10, line);
    else
      IO::ADDREAL(v[j], 4, false, 10, line);
  }
  IO::PUTSTR(0, line, 1, mask);
}

}  // namespace

void solvestate::PRINTRESULT() {
  whereat("+printresult");
  if (on(CONTROLJX.lsqds)) {
    PRINTACTIVITIES();
    if (SU.nmodeset > 0) PRINTMODES();
  } else if (DOGMIN) {
    PRINTVARIABLES();
    if (SU.nmodeset > 0) PRINTMODES();
    if (on(CONTROLJX.printxyz)) PRINTGUESSES();
  } else {
    PRINTVARIABLES();
    if (on(CONTROLJX.convliq)) ZQNLE4::CONV2WT(PH, CONVV);
    if (SU.nmodeset > 0) {
      PRINTMODES();
      if (on(CONTROLJX.modebox)) PRINTMODEBOX();
    }
    PRINTCSV();
    if (on(CONTROLJX.ombrycalc))
      ZQNLE1::PRINTICOMBRY();
    else
      ZQNLE1::PRINTIC();
    if (on(CONTROLJX.printxyz)) PRINTGUESSES();
  }
  whereat("-printresult");
}

void solvestate::PRINTMORESTUFF() {
  if (DOGMIN) IO::ERROREXIT("printmorestuff", "in here for dogmin?", yourfault);
  if (on(CONTROLJX.plotix))
    PRINTROWQK();
  else if (!on(CONTROLJX.compatibility) && !on(CONTROLJX.modebox) && CALCG)
    PRINTROWMATH();
  if (on(CONTROLJX.calcmu)) PRINTMU();
  if (on(CONTROLJX.printbulkinfo)) PRINTBULK();
  if (DOINGFRACT && IBATCH < 2) PRINTFRACT();
}

void solvestate::NOTPRINTROW() {
  ++IOUT;
  if (IOUT % marksperline == 0) {
    IO::PUTSTR(0, "", 1, CHANNEL::TERMLOG);
    IOUT = 1;
  }
  if (!on(CONTROLJX.avptplus)) IO::PUTSTR(0, IO::INT2STR(NLECODE), 0, CHANNEL::TERMLOG);
}

void solvestate::PRINTVARIABLES() {
  const longint m = resultmask();
  const long W = IO::CONTROLIO.pagewidth;
  const bool wrap = (NLNA + NX) * 10L + 2 > W;
  const bool heading = wrap || REHEAD || NOK == 1;
  std::string& line = IO::WSTR;
  if (!DOINGFRACT) {
    if (heading) {
      if (DEBUGLEVEL == 5)
        IO::PUTSTR(IOUT > 0 ? 1 : 0, "calculation with finite difference jacobian", 1, m);
      line = statusrule;
      IO::ADDSTR(CONVSTATUS, 0, line);
      IO::ADDSTR(" ", 0, line);
      IO::ADDINT(NLEIT, 0, line);
      if (on(CONTROLJX.moreprec) || DEBUGLEVEL > 1) IO::ADDREAL(SINGRAT, 4, false, 10, line);
      IO::PUTSTR(IOUT > 0 ? 1 : 0, line, 1, m);
      IOUT = 0;
    } else if (IOUT > 0) {
      IO::PUTSTR(0, "", 1, m);
      IOUT = 0;
    }
  }
  // Blocks of compositional variables: [from, to] each.
  const long first = wrap ? std::max(0L, (W - 20 - 10L * NLNA) / 10) : NX - 2;
  const long per = wrap ? std::max(1L, (W - 20) / 10) : NX - 2;
  smallint from = 3;
  for (int k = 1; from <= NX || k == 1; ++k) {
    const long width = k == 1 ? first : per;
    const smallint to = static_cast<smallint>(std::min<long>(NX, from + width - 1));
    const bool firstblock = k == 1;
    std::string prefix;
    if (NEARSING)
      prefix = " ";
    else if (CONTROLJX.uncertaintylevel > 0)
      prefix = "  ";
    if (heading) {
      line = prefix;
      if (firstblock) {
        IO::ADDSTR("P(kbar)", 8, line);
        IO::ADDSTR(std::string("T(") + macroman::degree_s + "C)", 10, line);
        for (long i = 1; i <= NLNA; ++i) {
          std::string a = "ln a(";
          if (on(CONTROLJX.seta)) a = "a(";
          else if (on(CONTROLJX.setloga)) a = "log a(";
          IO::ADDNAME(a + LNANAMEP[i] + ")", 10, line);
        }
      } else {
        IO::ADDSTR("", 18, line);
      }
      for (smallint j = from; j <= to; ++j) IO::ADDSTR(XNAME[j].substr(0, 9), 10, line);
      IO::PUTSTR(0, line, 1, m);
    }
    line = NEARSING ? (firstblock ? "#" : " ") : prefix;
    if (firstblock) {
      IO::ADDREAL(SU.pressure, 3, true, 8, line);
      IO::ADDREAL(celsius(SU.temperature), 3, true, 10, line);
      for (long i = 1; i <= NLNA; ++i) {
        if (on(CONTROLJX.seta))
          IO::ADDREAL(std::exp(FIXEDLNA[i]), 3, true, 10, line);
        else
          IO::ADDREAL(FIXEDLNA[i], 4, true, 10, line);
      }
    } else {
      IO::ADDSTR("", 18, line);
    }
    for (smallint j = from; j <= to; ++j) addvariable(j, line);
    IO::PUTSTR(0, line, 1, m);
    if (CONTROLJX.uncertaintylevel > 1) {
      uncertaintyrow("h", SDXH, from, to, firstblock, m);
      uncertaintyrow("w", SDXW, from, to, firstblock, m);
      if (MODESBYNLE) uncertaintyrow("b", SDXBP, from, to, firstblock, m);
    }
    if (CONTROLJX.uncertaintylevel > 0) uncertaintyrow("sd", SDX, from, to, firstblock, m);
    from = static_cast<smallint>(to + 1);
  }
}

void solvestate::PRINTREACTION() {
  if (static_cast<int>(RSTR.size()) < reactionminlength) return;
  IO::PUTSTR(SU.firstmodeset >= 1 ? 1 : 0, "    " + RSTR, 1, CHANNEL::LOG);
}

}  // namespace ZQNLE2
