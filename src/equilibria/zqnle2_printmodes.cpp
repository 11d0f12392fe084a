// The modes table of a point with its renormalised and log-ratio lines, the
// activities table, the chemical potentials, and the tozero factor.
#include <algorithm>
#include <cmath>

#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/bytes.h"
#include "frame/zqglobal_sensitivity.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr int entriesperline = 8;  // "moreprec" entries before a line break

// The SU record that holds mode d (the d-th record that has a mode), 0
// when there is none.
smallint recordofmode(smallint d) {
  smallint n = 0;
  for (smallint i = 1; i <= SU.nph; ++i)
    if (SU.ph[i].hasmode && ++n == d) return i;
  return 0;
}

// One of the log-ratio uncertainty lines under the "m'" line.
void modeuncertaintyrow(const std::string& label, const eqvector& v, const tozerobtype& zeroed, longint m) {
  std::string& line = IO::WSTR;
  line.clear();
  IO::ADDSTR(label, -6, line);
  for (smallint d = 1; d <= NXP; ++d) {
    const smallint rec = recordofmode(d);
    if (d == KMPDEN || (rec > 0 && zeroed[rec])) {
      IO::ADDSTR("", 10, line);
      continue;
    }
    const extended value = v[d < KMPDEN ? NX + d : NX + d - 1];
    if (value > 0)
      IO::ADDREAL(value, 4, false, 10, line);
    else if (label == "h" || label == "w")
      IO::ADDSTR("0", 10, line);
    else if (label == "b")
      IO::ADDSTR("", 10, line);
    else
      IO::ADDSTR(" ", 10, line);
  }
  IO::PUTSTR(0, line, 1, m);
}

// The "m'" line and its uncertainty lines.
void modelogratios(const tozerobtype& zeroed, longint m) {
  for (smallint i = 1; i <= SU.nph; ++i)
    if (zeroed[i] && recordofmode(KMPDEN) == i)
      IO::ERROREXIT("printmodes", "zeroed mode-logratio clash", yourfault);
  std::string& line = IO::WSTR;
  line.clear();
  IO::ADDSTR("m'", -6, line);
  for (smallint v = static_cast<smallint>(NX + 1); v <= NX + NXP; ++v) {
    const smallint d = static_cast<smallint>(v - NX);
    const smallint rec = recordofmode(d);
    if (d == KMPDEN)
      IO::ADDSTR("//", 10, line);
    else if (!BX[v])
      IO::ADDSTR("", 10, line);
    else if (rec > 0 && zeroed[rec])
      IO::ADDSTR("-", 10, line);
    else if (on(CONTROLJX.c8) && X[v] <= 0)
      IO::ADDSTR("@", 10, line);
    else if (X[v] <= 0)
      IO::ADDSTR("", 10, line);
    else
      IO::ADDREAL(std::log(X[v] / X[NX + KMPDEN]), 4, false, 10, line);
  }
  IO::PUTSTR(0, line, 1, m);
  if (CONTROLJX.uncertaintylevel > 1) {
    modeuncertaintyrow("h", SDXH, zeroed, m);
    modeuncertaintyrow("w", SDXW, zeroed, m);
    modeuncertaintyrow("b", SDXBP, zeroed, m);
  }
  modeuncertaintyrow("sd", SDX, zeroed, m);
}

// The heading of the modes table.
void modeheading(longint m) {
  std::string& line = IO::WSTR;
  line = "mode  ";
  if (SU.ncomp > 1) IO::ADDSTR("pos   prop", 10, line);
  for (smallint i = 1; i <= SU.nph; ++i)
    if (SU.ph[i].hasmode) IO::ADDNAME(SU.ph[i].name, 10, line);
  if (CALCG) {
    IO::ADDSTR("G", 12, line);
    if (!DOGMIN && NTOZEROSTRINGS == 0) {
      IO::ADDSTR("H", 12, line);
      IO::ADDSTR("S", 10, line);
      IO::ADDSTR("V", 10, line);
      IO::ADDSTR("rho", 10, line);
    }
  }
  if (on(CONTROLJX.calcah2o) && !DOGMIN) IO::ADDSTR("a(H2O)", 10, line);
  if (on(CONTROLJX.calcmuo) && !DOGMIN) IO::ADDSTR("mu(O)", 12, line);
  IO::PUTSTR(1, line, 1, m);
}

// The label of mode row r.
void rowlabel(smallint r, std::string& line) {
  if (SU.ncomp <= 1) {
    IO::ADDSTR("", 4, line);
  } else if (MODESBYNLE) {
    IO::ADDINT(SU.kcomp, 6, line);
    IO::ADDREAL(SU.prop[1], 4, true, 8, line);
  } else if (OVARIANCE == 1) {
    if (r % 2 == 1) {
      const smallint L = static_cast<smallint>(SU.firstmodeset + (r - 1) / 2);
      IO::ADDINT(L, 4, line);
      IO::ADDREAL(SU.prop[L], 4, true, 10, line);
    } else {
      IO::ADDSTR("", 14, line);
    }
  } else {
    const smallint L = static_cast<smallint>(SU.firstmodeset + r - 1);
    IO::ADDINT(L, 4, line);
    IO::ADDREAL(SU.prop[L], 4, true, 10, line);
  }
}

// The bulk of the batch item, on standard output ("mcdebug").
void mcdebugbulk() {
  std::string s = "\nwith bulk";
  for (long j = 1; j <= NUV; ++j)
    if (BCOMPS[j]) {
      std::string n = COMPNAME[j];
      s += std::string(n.size() < 8 ? 8 - n.size() : 0, ' ') + n;
    }
  s += "\n         ";
  for (long j = 1; j <= NUVLEFT; ++j) s += plainfixed(COMP1[j], 2, 8);
  IO::WRITETERMINAL(s + "\n");
}

// The compositional variables of every solution phase, on standard output
// ("moreprec").
void moreprecvariables() {
  std::string s = "\n";
  for (smallint i = 1; i <= SU.nph; ++i) {
    const suphasetype& ph = SU.ph[i];
    if (ph.nem <= 1) continue;
    s += "{";
    const int n = ph.nem - 1;
    for (int v = 1; v <= n; ++v) {
      s += ph.varnames[v] + "->" + plainfixed(ph.x[v], 10, 12);
      if (v < n) {
        s += ", ";
        if (v % entriesperline == 0) s += "\n ";
      }
    }
    s += "}\n";
  }
  IO::WRITETERMINAL(s);
}

}  // namespace

void TOZEROFAC(tozerobtype& zeroed, extended& factor) {
  for (smallint i = 1; i <= maxsu; ++i) zeroed[i] = false;
  factor = 1;
  if (NTOZEROSTRINGS <= 0) return;
  extended s = 0;
  for (long k = 1; k <= NTOZEROSTRINGS; ++k)
    for (smallint i = 1; i <= SU.nph; ++i)
      if (SU.ph[i].name == TOZEROSTRINGS[k] && SU.ph[i].hasmode && !zeroed[i]) {
        zeroed[i] = true;
        s += SU.ph[i].mode[1];
      }
  factor = 1 / (1 - s);
}

void solvestate::PRINTMODES() {
  whereat("+printmodes");
  const longint m = resultmask();
  tozerobtype zeroed{"printmodes zeroed"};
  extended f = 1;
  TOZEROFAC(zeroed, f);
  modeheading(m);
  std::string& line = IO::WSTR;
  bool outofrange = false;
  for (smallint r = 1; r <= SU.nmodeset; ++r) {
    outofrange = false;
    if (on(CONTROLJX.c8))
      for (smallint i = 1; i <= SU.nph; ++i)
        if (SU.ph[i].hasmode && (SU.ph[i].mode[r] < 0 || SU.ph[i].mode[r] > 1)) outofrange = true;
    line = outofrange ? "# " : (CONTROLJX.uncertaintylevel >= 1 ? "m " : "  ");
    rowlabel(r, line);
    for (smallint i = 1; i <= SU.nph; ++i) {
      if (!SU.ph[i].hasmode) continue;
      if (SU.ph[i].mode[r] == 0)
        IO::ADDSTR("", 10, line);
      else
        IO::ADDREAL(SU.ph[i].mode[r], XPRECISION, false, 10, line);
    }
    if (CALCG && !outofrange) {
      IO::ADDREAL(SU.gsys[r], 5, true, 12, line);
      if (!DOGMIN && NTOZEROSTRINGS == 0) {
        IO::ADDREAL(SU.hsys[r], 5, true, 12, line);
        IO::ADDREAL(SU.ssys[r], 4, true, 10, line);
        IO::ADDREAL(SU.vsys[r], 4, true, 10, line);
        IO::ADDREAL(SU.rhosys[r], 4, true, 10, line);
      }
    }
    if (on(CONTROLJX.calcah2o) && !DOGMIN)
      IO::ADDREAL(ZQNLE4::DOCALCAH2O(PH, SU.pressure, SU.temperature), 4, true, 10, line);
    if (on(CONTROLJX.calcmuo) && !DOGMIN)
      IO::ADDREAL(ZQNLE4::DOCALCMUO(PH, SU.pressure, SU.temperature), 4, true, 12, line);
    IO::PUTSTR(0, line, 1, m);
    if (std::fabs(f - 1) > zeroedfactortol && !outofrange) {
      line.clear();
      IO::ADDSTR("", 6, line);
      if (SU.ncomp > 1) IO::ADDSTR("", 10, line);
      for (smallint i = 1; i <= SU.nph; ++i) {
        if (!SU.ph[i].hasmode) continue;
        if (zeroed[i])
          IO::ADDSTR("z", 10, line);
        else if (SU.ph[i].mode[r] == 0)
          IO::ADDSTR(" ", 10, line);
        else
          IO::ADDREAL(SU.ph[i].mode[r] * f, XPRECISION, false, 10, line);
      }
      IO::PUTSTR(0, line, 1, m);
    }
  }
  if (on(CONTROLJX.mcdebug) && IBATCH >= 1 && IBATCH <= maxbatch && BATCHINFO[IBATCH].withbulk) mcdebugbulk();
  if (EXBUFF && on(CONTROLJX.fifi)) {
    extended co2 = 0, h2o = 0;
    ZQNLE4::CALCFLUIDCOMP(PH, SU.pressure, SU.temperature, co2, h2o);
  }
  // Without a denominator mode there are no log ratios: entry NX + 0
  // would stand for one.
  if (CONTROLJX.uncertaintylevel > 0 && (!on(CONTROLJX.c8) || !outofrange) && (NXP == 0 || KMPDEN > 0))
    modelogratios(zeroed, m);
  if (on(CONTROLJX.moreprec)) moreprecvariables();
  whereat("-printmodes");
}

void solvestate::PRINTACTIVITIES() {
  const longint m = CHANNEL::TERMSUMLOG;
  const long W = IO::CONTROLIO.pagewidth;
  const bool wrap = W < (NCV + 2L) * 12 + 2;
  const bool heading = wrap || SU.nmodeset > 0;
  const long per = wrap ? std::max(1L, (W - 20) / 12) : std::max(1L, static_cast<long>(NCV));
  std::string& line = IO::WSTR;
  for (long from = 1, k = 1; from <= NCV; from += per, ++k) {
    const long to = std::min<long>(NCV, from + per - 1);
    if (IOUT > 0) IO::PUTSTR(0, "", 1, CHANNEL::TERMLOG);
    IOUT = 0;
    if (heading) {
      line = " ";
      if (k == 1) {
        IO::ADDSTR("P(kbar)", 8, line);
        IO::ADDSTR(std::string("T(") + macroman::degree_s + "C)", 10, line);
      } else {
        IO::ADDSTR("", 18, line);
      }
      for (long e = from; e <= to; ++e) IO::ADDNAME(NAME[e], 12, line);
      IO::PUTSTR(0, line, 1, m);
    }
    line = " ";
    if (k == 1) {
      IO::ADDREAL(SU.pressure, 3, true, 8, line);
      IO::ADDREAL(celsius(SU.temperature), 2, true, 10, line);
    } else {
      IO::ADDSTR("", 18, line);
    }
    for (long e = from; e <= to; ++e) IO::ADDREAL(ACTIVITY[e], 6, false, 12, line);
    IO::PUTSTR(0, line, 1, m);
  }
}

void solvestate::PRINTMU() {
  ZQNLE4::DOCALCMU(PH, SU.pressure, SU.temperature);
  // Names over values, in as many blocks as the line's length needs.
  IO::PUTTABLE(
      2, NUV, [](long row, std::string& line) { line += row == 1 ? " mu   " : "      "; },
      [](long row, long j, std::string& line) {
        if (row == 1)
          IO::ADDNAME(COMPNAME[j], 12, line);
        else
          IO::ADDREAL(MUCALCS(1, j), 5, true, 12, line);
      },
      1, CHANNEL::TERMSUMLOG);
  // In the drawing data the row goes on in the next line, under the
  // heading's own continuation.
  if (on(CONTROLJX.plotix))
    IO::PUTROW(
        0, std::string(10, ' '), NUV, [](long j, std::string& o) { IO::ADDREAL(MUCALCS(1, j), 4, true, 12, o); }, 1,
        CHANNEL::DRAWING, "", std::string(10, ' '));
}

}  // namespace ZQNLE2
