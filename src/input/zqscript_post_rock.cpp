// After the last script line: the rock's minerals of the "mineral" block
// made ready for the avPT+ route, each checked for what the route needs,
// cut down to the variables marked for use, and listed with their
// correlations.
#include <string>

#include "frame/zqglobal.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

namespace {

constexpr std::size_t ruledashes = 55;  // the line that opens the listing
constexpr smallint listwidth = 11;      // field of a name or a correlation in the listing
constexpr smallint listplaces = 5;      // decimals of a correlation in the listing

// Stops the run when the mineral lacks a line the route needs, or wants its
// values from an analysis (only the utilities convert).
void mustbecomplete(const mineraltype& mn) {
  if (mn.convert) {
    IO::PUTSTR(1, "converts can't be done on the fly", 0, CHANNEL::TERMSUMLOG);
    SCRIPTFAULT("run utilities to use convert for " + mn.name);
  }
  if (!mn.xyzgiven) SCRIPTFAULT("no xyz for " + mn.name);
  if (!mn.sdgiven) SCRIPTFAULT("no sd(xyz) for " + mn.name);
  if (!mn.inclgiven) SCRIPTFAULT("no incl for " + mn.name);
  if (!mn.corgiven) SCRIPTFAULT("no correlation coefficients for " + mn.name);
}

// Keeps the variables as given, then leaves only the included ones in the
// working fields, the correlations by rows and columns.
void keepincluded(mineraltype& mn) {
  const smallint n = mn.nxyz;
  mn.nxyzread = n;
  for (smallint i = 1; i <= n; ++i) {
    mn.xyznameread[i] = mn.xyzname[i];
    mn.xyzread[i] = mn.xyz[i];
    mn.sdxyzread[i] = mn.sdxyz[i];
    for (smallint j = 1; j <= n; ++j) mn.corxyzread(i, j) = mn.corxyz(i, j);
  }
  smallint k = 0;
  for (smallint i = 1; i <= n; ++i) {
    if (!mn.incl[i]) continue;
    ++k;
    mn.xyzname[k] = mn.xyznameread[i];
    mn.xyz[k] = mn.xyzread[i];
    mn.sdxyz[k] = mn.sdxyzread[i];
    smallint l = 0;
    for (smallint j = 1; j <= n; ++j)
      if (mn.incl[j]) mn.corxyz(k, ++l) = mn.corxyzread(i, j);
  }
  mn.nxyz = k;
}

void listcorrelations(const mineraltype& mn) {
  std::string s = "\nmineral = " + mn.name + ", n(xyz) = " + IO::INT2STR(mn.nxyz) + "\n";
  for (smallint i = 1; i <= mn.nxyz; ++i) IO::ADDNAME(mn.xyzname[i], listwidth, s);
  s += "\n";
  for (smallint i = 1; i <= mn.nxyz; ++i) {
    for (smallint j = 1; j <= mn.nxyz; ++j) IO::ADDREAL(mn.corxyz(i, j), listplaces, true, listwidth, s);
    s += "\n";
  }
  IO::WRITETERMINAL(s);
}

}  // namespace

void POSTREADMINERALS() {
  if (NMIN <= 0) return;
  // A block cut short by the end of the script is not a mineral.
  if (MINERAL[NMIN].blockopen) NMIN = static_cast<smallint>(NMIN - 1);
  for (smallint m = 1; m <= NMIN; ++m) {
    mustbecomplete(MINERAL[m]);
    keepincluded(MINERAL[m]);
  }
  smallint kept = 0;
  for (smallint m = 1; m <= NMIN; ++m) {
    if (MINERAL[m].nxyz < 1) continue;
    ++kept;
    if (kept != m) MINERAL[kept] = MINERAL[m];
  }
  NMIN = kept;
  IO::WRITETERMINAL(std::string(ruledashes, '-') + "\n");
  for (smallint m = 1; m <= NMIN; ++m) listcorrelations(MINERAL[m]);
}

}  // namespace ZQSCRIPT
