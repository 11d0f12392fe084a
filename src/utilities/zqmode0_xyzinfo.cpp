// The two printers of a rock mineral's compositional variables: the table of
// values, sds and correlations, and the block in the script's mineral syntax
// that the log keeps for copying back into a script.
#include <cmath>
#include <string>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "utilities/zqmode0.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

namespace {

constexpr extended allferrous = -11;       // ln x below this: all Fe taken as FeO
constexpr extended allferric = -0.00005L;  // ln x above this: all Fe taken as Fe2O3
const char* const dashes = "% ---------------------------------------------------";

// A script line of the mineral block: "mineral", the name and the row word,
// each after a blank at any length of the name: touching, two words of the
// block would read back as one.
std::string mineralrow(const mineraltype& m, const std::string& word) {
  std::string line = "mineral";
  IO::ADDSTR(" " + m.name, 5, line);
  IO::ADDSTR(" " + word, 5, line);
  return line;
}

// The comment on how the iron and the uncertainties were treated, with the
// sd multiplier when it is not 1.
void ironlines(const mineraltype& m) {
  std::string line;
  if (m.logx < allferrous) {
    line = "% all Fe set to FeO; uncertainties calculated using monte carlo";
  } else if (m.logx > allferric) {
    line = "% all Fe set to Fe2O3; uncertainties calculated using monte carlo";
  } else {
    std::string full = "% log x = log Fe3/(Fe2 + Fe3) = ";
    IO::ADDREAL(m.logx, 2, true, 0, full);
    full += std::string(" ") + utf8text::plusminus_s + " ";
    IO::ADDREAL(2 * m.sdlogx, 2, true, 0, full);
    full += " from x range ";
    IO::ADDREAL(m.xlow, 2, true, 0, full);
    full += " to ";
    IO::ADDREAL(m.xhigh, 2, true, 0, full);
    full += " (95% \"ci\")";
    IO::PUTSTR(0, full, 1, CHANNEL::LOG);
    line = "% uncertainties calculated using monte carlo";
  }
  if (m.sdmult != 1) {
    line += " (sd mult = ";
    if (m.sdmult == std::nearbyint(m.sdmult))
      IO::ADDINT(m.sdmult, 0, line);
    else
      IO::ADDREAL(m.sdmult, 1, true, 0, line);
    line += ")";
  }
  IO::PUTSTR(0, line, 1, CHANNEL::LOG);
}

}  // namespace

void PRINTXYZINFO(smallint i) {
  const mineraltype& m = MINERAL[i];
  std::string& w = IO::WSTR;
  w.clear();
  IO::ADDSTR(m.name, -4, w);
  w += " ";
  if (!m.analysed)
    w += "      ";
  else
    IO::ADDSTR(m.useideal ? "ideal" : "recalc", 6, w);
  IO::ADDSTR("xyz", 10, w);
  IO::ADDSTR("sd(xyz)", 10, w);
  w += "    ";
  if (m.nxyz > 1) w += "correlations";
  IO::PUTSTR(1, w, 1, CHANNEL::TERMSUMLOG);
  for (smallint j = 1; j <= m.nxyz; ++j) {
    w.clear();
    IO::ADDSTR(m.xyzname[j], 11, w);
    IO::ADDREAL(m.xyz[j], 5, true, 10, w);
    IO::ADDREAL(m.sdxyz[j], 5, true, 10, w);
    if (m.nxyz > 1) {
      IO::ADDSTR("1", static_cast<smallint>(5 + 8 * (j - 1)), w);
      for (smallint k = static_cast<smallint>(j + 1); k <= m.nxyz; ++k) IO::ADDREAL(m.corxyz(j, k), 4, true, 8, w);
    }
    IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  }
}

void PRINTXYZSCRIPT(smallint i) {
  const mineraltype& m = MINERAL[i];
  std::string& w = IO::WSTR;
  IO::PUTSTR(1, "[ xyz info to copy into the scriptfile for avPT+ calcs: ]", 2, CHANNEL::LOG);
  IO::PUTSTR(0, "% " + (*PREC1)[m.phase].fullname, 1, CHANNEL::LOG);
  IO::PUTSTR(0, dashes, 1, CHANNEL::LOG);
  w = "mineral";
  IO::ADDSTR(" " + m.name, 5, w);
  IO::ADDINT(m.nxyz, 5, w);
  for (smallint j = 1; j <= m.nxyz; ++j) IO::ADDSTR(" " + m.xyzname[j], 9, w);
  IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  w = mineralrow(m, "incl");
  for (smallint j = 1; j <= m.nxyz; ++j) IO::ADDSTR("1", 9, w);
  IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  w = mineralrow(m, "xyz");
  for (smallint j = 1; j <= m.nxyz; ++j) IO::ADDREAL(m.xyz[j], 5, true, 9, w);
  IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  w = mineralrow(m, "sd");
  for (smallint j = 1; j <= m.nxyz; ++j) IO::ADDREAL(m.sdxyz[j] * m.sdmult, 5, true, 9, w);
  IO::PUTSTR(0, w, 2, CHANNEL::LOG);
  for (smallint j = 1; j <= m.nxyz; ++j) {
    w = mineralrow(m, "cor");
    for (smallint k = 1; k <= m.nxyz; ++k) {
      if (k == j)
        IO::ADDSTR("1", 9, w);
      else
        IO::ADDREAL(m.corxyz(j, k), 4, true, 9, w);
    }
    IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  }
  IO::PUTSTR(1, "% xyz calculated with the following analysis in wt% (all Fe as FeO),", 1, CHANNEL::LOG);
  if (m.useideal) {
    w = "% using ideal analysis (eg fixed cation sum), with sigfit = ";
    IO::ADDREAL(m.sigfit, 2, true, 0, w);
    IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  }
  w = "% ";
  for (smallint j = 1; j <= m.nox; ++j)
    if (j != m.opos) IO::ADDSTR(m.oxname[j], 9, w);
  IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  w = "% ";
  for (smallint j = 1; j <= m.nox; ++j)
    if (j != m.opos) IO::ADDREAL(m.wt[j], 2, true, 9, w);
  IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  w = "% with, natural logs, sd(log wt%) = ";
  IO::ADDREAL(m.sdlogwt, 3, true, 0, w);
  w += "/sqrt(wt%), and";
  IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  ironlines(m);
  IO::PUTSTR(0, dashes, 1, CHANNEL::LOG);
}

}  // namespace ZQMODE0
