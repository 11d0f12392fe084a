// The copy-back blocks of a point in the log: starting guesses, the rbi
// table of the phases, and the bulk that a fractionation step leaves.
#include <cmath>
#include <vector>

#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "model/zqcalc2.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr extended wholeamounttol = 0.0001L;  // an rbi amount nearer a whole number prints as one

const char* const copyrule = "% ----------------------------------------------------------";  // "% " and 58 "-"
const char* const phaserule = "% -----------------------------";  // "% " and 29 "-"

void logline(smallint before, const std::string& text, smallint after) {
  IO::PUTSTR(before, text, after, CHANNEL::LOG);
}

// The phase number (over PH) of mode d.
smallint phaseofmode(smallint d) { return static_cast<smallint>(d <= NXPSS ? MP2SS[d] : NPSS + MP2SS[d]); }

// The "% at P = .., T = .., for: .." line.
void atline() {
  std::string& o = IO::OSTR;
  o = "% at P = ";
  IO::ADDREAL(SU.pressure, 1, true, 0, o);
  o += ", T = ";
  IO::ADDINT(celsius(SU.temperature), 0, o);
  o += ", for: ";
}

}  // namespace

void solvestate::PRINTGUESSES() {
  std::string& o = IO::OSTR;
  logline(1, copyrule, 1);
  atline();
  if (NXP < 1) {
    bool firstname = true;
    auto add = [&](const std::string& n) {
      if (!firstname) o += " ";
      o += n;
      firstname = false;
    };
    for (smallint i = 1; i <= NPSS; ++i)
      if (PH[i]) add((*PREC1)[i].name);
    for (smallint i = 1; i <= NP0; ++i)
      if (PH[NPSS + i]) add((*PREC0)[i].name);
  } else {
    for (smallint v = static_cast<smallint>(NX + 1); v <= NX + NXP; ++v)
      if (!PINEX0[phaseofmode(static_cast<smallint>(v - NX))]) o += XNAME[v] + " ";
    bool firstzero = true;
    for (smallint v = static_cast<smallint>(NX + 1); v <= NX + NXP; ++v) {
      if (BX[v] || X[v] != 0) continue;
      o += firstzero ? " with " : ", ";
      o += XNAME[v] + " = 0";
      firstzero = false;
    }
    if (PROPK != 0) {
      o += ", and x = ";
      IO::ADDREAL(SU.prop[1], 4, true, 0, o);
    }
  }
  logline(0, o, 1);
  logline(0, copyrule, 1);
  if (!DOINGMC) {
    o = "ptguess ";
    IO::ADDREAL(SU.pressure, 3, true, 0, o);
    o += " ";
    IO::ADDREAL(celsius(SU.temperature), 2, true, 0, o);
  } else {
    o = "batchxyzguess startblock";
  }
  logline(0, o, 1);
  logline(0, copyrule, 1);
  const std::string keyword = DOINGMC ? "batchxyzguess " : "xyzguess ";
  smallint k = 2;
  for (long e = 1; e <= NCV; ++e) {
    if (!STARTSS[e]) continue;
    const ptype1& p = (*PREC1)[EM2SS[e]];
    smallint j = 0;
    const smallint nfull = p.nvar0 > 0 ? p.nvar0 : p.nvar;
    for (smallint i = 1; i <= nfull; ++i) {
      o = keyword;
      const bool solved = p.nvar0 > 0 ? p.varkept[i] : true;
      if (!solved) {
        IO::ADDSTR(p.varname0[i], -10, o);
        IO::ADDSTR("0", 12, o);
        o += "  % boiler";
      } else {
        const xvartype& xv = p.xvar[++j];
        IO::ADDSTR(xv.name, -10, o);
        ++k;
        // A blank before the value at any length of the name and the value.
        IO::ADDSTR(" " + IO::REAL2STR(X[k], 7, false), 12, o);
        if (xv.low != 0 || xv.high != 1) {
          o += "  range";
          if (xv.low == 0)
            IO::ADDSTR("  0.000", 7, o);
          else
            IO::ADDREAL(xv.low, 3, true, 7, o);
          IO::ADDREAL(xv.high, 3, true, 6, o);
        }
      }
      logline(0, o, 1);
    }
    if (k < NX) logline(0, phaserule, 1);
  }
  logline(0, copyrule, 2);
}

void solvestate::PRINTBULK() {
  if (EXBUFF) {
    logline(1, "printbulkinfo not yet working for exbuff - sorry!", 1);
    return;
  }
  logline(1, copyrule, 1);
  bool hasO = false;
  for (long c = 1; c <= SU.nuv; ++c) hasO = hasO || SU.compname[c] == "O";
  // A point whose bulk lies outside its assemblage has no modes to give: its
  // table is left for the user to fill, as outside a pseudosection.
  const bool modes = PSEUDOSECTION && SU.nmodeset > 0;
  static farray<extended, 1, maxsu> m{"printbulk modes"};
  if (modes) rbimodes(m);
  // The phases that have a mode, one row each under the component heading;
  // a row too long for a line goes on in the next, ended by the script's
  // continuation mark, so that the block pasted back reads whole.
  std::vector<smallint> phases;
  for (smallint i = 1; i <= SU.nph; ++i)
    if (SU.ph[i].hasmode) phases.push_back(i);
  const std::string headingstart = "%" + std::string(28, ' ');
  IO::PUTTABLEROWS(
      1 + static_cast<long>(phases.size()), SU.nuv,
      [&](long row, std::string& line) {
        if (row == 1) {
          line += headingstart;
          return;
        }
        const smallint i = phases[static_cast<std::size_t>(row - 2)];
        line += "bulk  rbi";
        IO::ADDSTR(" " + SU.ph[i].name, 8, line);  // never touching the keyword
        if (modes)
          IO::ADDREAL(m[i], 6, true, 12, line);
        else
          IO::ADDSTR("##", 12, line);
      },
      [&](long row, long c, std::string& line) {
        if (row == 1) {
          IO::ADDSTR(hasO && SU.compname[c] == "FeO" ? "FeOt" : SU.compname[c], 12, line);
          return;
        }
        const extended a = SU.ph[phases[static_cast<std::size_t>(row - 2)]].comp[c];
        if (std::fabs(a - std::nearbyint(a)) < wholeamounttol)
          IO::ADDINT(a, 12, line);
        else
          IO::ADDREAL(a, 6, true, 12, line);
      },
      [](long row, std::string& line) {
        if (row > 1) line += " \\";
      },
      [&](long row, std::string& line) { line += row == 1 ? headingstart : std::string(headingstart.size(), ' '); },
      0, CHANNEL::LOG);
  logline(0, copyrule, 1);
  if (!modes) {
    logline(0, "replace the ''##'' by the modes you want to use to make the bulk", 1);
    return;
  }
  // The bulk that the table makes: that of the step whose modes it holds.
  std::string label;
  IO::ADDSTR("% bulk", -23, label);
  putrbibulkline(label, ZQCALC2::MODEROWSTEP(1));
  logline(0, copyrule, 1);
  logline(0, "% delete this bulk line if you have modified the rbi tableau", 1);
}

void solvestate::PRINTFRACT() {
  const smallint n = MODESBYNLE ? NXP : NPLEFT;
  static fmatrix<extended, 1, maxeq, 1, maxcomp> rows{"printfract rows"};
  smallint k = 0;
  cvector comp{"printfract comp"};
  for (long e = 1; e <= NCV; ++e) {
    if (!STARTSS[e]) continue;
    ZQNLE3::MAKEPHASE(static_cast<smallint>(e), comp);
    if (++k <= maxeq)
      for (long c = 1; c <= NUV; ++c) rows(k, c) = comp[c];
  }
  for (smallint i = 1; i <= NP0 - NMU; ++i) {
    if (!PH[NPSS + i]) continue;
    if (++k <= maxeq)
      for (long c = 1; c <= NUV; ++c)
        rows(k, c) = static_cast<extended>(static_cast<double>((*PREC0)[i].comp[c]) / static_cast<double>(COMPDIV[c]));
  }
  if (k != n) {
    IO::WRITETERMINAL("nxp = " + IO::INT2STR(NXP) + ", npleft = " + IO::INT2STR(NPLEFT) + "k = " + IO::INT2STR(k) +
                      ", lnrbimode = " + IO::INT2STR(n) + "\n");
    IO::ERROREXIT("printmorestuff", "mismatch", yourfault);
  }
  cvector bulk{"printfract bulk"};
  for (smallint i = 1; i <= n; ++i) {
    extended s = 0;
    for (long c = 1; c <= NUV; ++c) s += rows(i, c) * ICOMP[c];
    const extended rbi = XRAW[NX + i] / s;
    for (long c = 1; c <= NUV; ++c) bulk[c] += rows(i, c) * rbi;
  }
  extended total = 0;
  for (long c = 1; c <= NUV; ++c) total += bulk[c];
  // A comment in every line it takes.
  IO::PUTROW(
      0, "% bulk ", NUV,
      [&](long c, std::string& line) {
        IO::ADDREAL(100 * bulk[c] / total, 5, true, 10, line);
        if (c == NUV) line += "    from rbi";
      },
      2, CHANNEL::LOG, "", "%      ");
}

}  // namespace ZQNLE2
