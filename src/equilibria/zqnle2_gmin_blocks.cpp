// The log copy-back blocks of the stable assemblage of a single-point
// dogmin run, taken from its saved record: its phases in rbi form with the
// bulk, and its starting guesses.
#include <cmath>

#include "equilibria/zqnle2.h"
#include "equilibria/zqnle2_print.h"
#include "frame/zqglobal_dogmin.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr extended wholeamounttol = 1e-5L;  // an rbi amount this near a whole number prints as one

const char* const copyrule = "% --------------------------------------------------------";  // "% " and 56 "-"
const char* const phaserule = "% -----------------------------";                            // "% " and 29 "-"

void logline(smallint before, const std::string& text, smallint after) {
  IO::PUTSTR(before, text, after, CHANNEL::LOG);
}

}  // namespace

void PRINTBULK2() {
  SU = KSU;
  logline(1, copyrule, 1);
  bool hasO = false;
  for (long c = 1; c <= SU.nuv; ++c) hasO = hasO || SU.compname[c] == "O";
  // Every line of the block is read back: a row too long for a line goes
  // on in the next, ended by the script's continuation mark.
  const std::string pad(20, ' ');
  IO::PUTTABLEROWS(
      1, SU.nuv, [&](long, std::string& line) { line += "rbi" + pad; },
      [&](long, long c, std::string& line) {
        IO::ADDSTR(hasO && SU.compname[c] == "FeO" ? "FeOt" : SU.compname[c], 12, line);
      },
      [](long, std::string& line) { line += " \\"; }, [&](long, std::string& line) { line += "   " + pad; }, 0,
      CHANNEL::LOG);
  logline(0, copyrule, 1);
  static farray<extended, 1, maxsu> m{"printbulk2 modes"};
  rbimodes(m);
  IO::PUTTABLEROWS(
      SU.nph, SU.nuv,
      [&](long i, std::string& line) {
        const suphasetype& ph = SU.ph[i];
        // A blank before the name at any length: touching, the two read as
        // one unknown keyword.
        line += "rbi";
        IO::ADDSTR(" " + ph.name, 8, line);
        IO::ADDREAL(ph.hasmode ? m[i] : ph.mode[1], 6, true, 12, line);
      },
      [](long i, long c, std::string& line) {
        const extended a = SU.ph[i].comp[c];
        if (std::fabs(a - std::nearbyint(a)) < wholeamounttol)
          IO::ADDINT(a, 12, line);
        else
          IO::ADDREAL(a, 6, true, 12, line);
      },
      [](long, std::string& line) { line += " \\"; }, [&](long, std::string& line) { line += "   " + pad; }, 0,
      CHANNEL::LOG);
  logline(0, copyrule, 1);
  putrbibulkline("% bulk" + std::string(17, ' '), 1);
  logline(0, copyrule, 1);
}

void PRINTGUESSES2() {
  SU = KSU;
  logline(1, copyrule, 1);
  std::string line = "ptguess ";
  IO::ADDREAL(SU.pressure, 1, true, 0, line);
  line += " ";
  IO::ADDINT(celsius(SU.temperature), 0, line);
  logline(0, line, 1);
  logline(0, copyrule, 1);
  smallint withvariables = 0;
  for (smallint i = 1; i <= SU.nph; ++i)
    if (SU.ph[i].nem > 1) ++withvariables;
  smallint written = 0;
  for (smallint i = 1; i <= SU.nph; ++i) {
    const suphasetype& ph = SU.ph[i];
    if (ph.nem <= 1) continue;
    const ptype1& p = (*PREC1)[ph.phase];
    // The variables of the phase's record in order, solved or not: the
    // values of the stable record fill those it solved for.
    smallint next = 0;
    const smallint nfull = p.nvar0 > 0 ? p.nvar0 : p.nvar;
    for (smallint v = 1; v <= nfull; ++v) {
      line = "xyzguess ";
      const bool solved = p.nvar0 > 0 ? p.varkept[v] : true;
      if (!solved) {
        IO::ADDSTR(p.varname0[v], -10, line);
        IO::ADDSTR("0", 12, line);
        line += "  % boiler";
      } else {
        ++next;
        const xvartype& xv = p.xvar[next];
        IO::ADDSTR(xv.name, -10, line);
        IO::ADDREAL(next <= ph.nem - 1 ? ph.x[next] : 0, 6, false, 12, line);
        if (xv.low != 0 || xv.high != 1) {
          line += "  range";
          if (xv.low == 0)
            IO::ADDSTR("  0.000", 7, line);
          else
            IO::ADDREAL(xv.low, 3, true, 7, line);
          IO::ADDREAL(xv.high, 3, true, 6, line);
        }
      }
      logline(0, line, 1);
    }
    if (++written < withvariables) logline(0, phaserule, 1);
  }
  logline(0, copyrule, 1);
}

}  // namespace ZQNLE2
