// Fractionation along a P-T path: the set-up before the run loop, the step
// taken before every later run (removing what the fractionated phase holds
// beyond the porosity), the bulk handed to the batch items, and the
// debugging listing of the carried bulk.
#include <cmath>
#include <string>

#include "equilibria/zqnle2_fract.h"
#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/zqglobal_fract.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr extended neartol = 1000;        // a mode within porosity / this counts as the porosity
constexpr extended unchangedtol = 1e6L;   // within porosity / this the phase was neither gained nor consumed
constexpr smallint fractfield = 11;       // width of the drawing-data fields of the path
constexpr smallint bulkfield = 12;        // width of the fields of the carried-bulk listing

void drawline(const std::string& text) { IO::PUTSTR(0, text, 1, CHANNEL::DRAWING); }

// The first batch item uses component j.
bool firstitemuses(smallint j) { return BATCHINFO[1].hascomp[j]; }

// The path position of step i to every batch item.
void movepath(smallint i) {
  for (smallint b = 1; b <= NBATCH; ++b) {
    BATCHINFO[b].plist[1] = FRACTINFO.p0 + FRACTINFO.dp * i;
    BATCHINFO[b].tlist[1] = FRACTINFO.t0 + FRACTINFO.dt * i;
  }
}

}  // namespace

smallint FRACT::phaseposition() {
  const batchtype& b = BATCHINFO[1];
  smallint n = 0;
  for (smallint p = 1; p <= NPSS + NP0; ++p) {
    if (!b.phase[p]) continue;
    ++n;
    if (phasename(p) == std::string(FRACTINFO.phase)) return n;
  }
  return 0;
}

void solvestate::SETUPFRACT() {
  if (!on(CONTROLJX.rbi)) IO::ERROREXIT("setupfract", "cannot fractionate without rbi", yourfault);
  FRACTFLAG = false;
  FRACTSTOP = false;
  IFRACT = 0;
  NMC = 0;
  NFRACTROW = 0;
  FRACTLAST = -1;
  FRACTXYZ = on(CONTROLJX.printxyz);
  movepath(0);
  TPRECISION = 2;
  PPRECISION = 3;
  const smallint k = FRACT::phaseposition();
  if (k == 0) FRACT::badname("setupfract");
  FRACTINFO.phasepos = k;
  FRACTINFO.removed = 0;
  // The carried bulk starts as the rock the rbi rows make, in the units of
  // the fractionated share (formula amounts), so that the first step
  // subtracts like from like.
  smallint n = 0;
  const extended fk = RBIMODE[k] / FRACT::rbiatoms(k);
  for (smallint j = 1; j <= NUV; ++j) {
    FBULK[j] = 0;
    COMPFU[j] = fk * RBIC(k, j);
    if (!firstitemuses(j)) continue;
    ++n;
    extended sum = 0;
    for (smallint i = 1; i <= NRBIMODE; ++i) sum += RBIMODE[i] / FRACT::rbiatoms(i) * RBIC(i, j);
    COMPU[n] = sum;
    FBULK[j] = COMPU[n] - COMPFU[j];
  }
  if (on(CONTROLJX.fractdebug)) PRINTFRACTBULK("right at start");
  std::string& o = IO::OSTR;
  o.clear();
  IO::ADDSTR("P", fractfield, o);
  IO::ADDSTR("T", fractfield, o);
  for (smallint j = 1; j <= NUV; ++j)
    if (firstitemuses(j)) IO::ADDNAME(COMPNAME[j], fractfield, o);
  IO::ADDSTR("lost", fractfield, o);
  drawline(o);
}

void solvestate::DOFRACT() {
  const smallint k = FRACTINFO.phasepos;
  const extended phi = FRACTINFO.porosity;
  const extended m = RBIMODE[k];
  const extended d = m - phi;
  if (IFRACT < 1 && !FRACTFLAG) {
    if (std::fabs(d) >= phi / neartol)
      FRACTFLAG = m > phi || IO::QUERY("increase fluid to fill porosity before starting to fractionate");
    else
      FRACTFLAG = false;
  } else {
    FRACTFLAG = false;
  }
  extended r = 1, f = 1;
  bool fromrow = false;  // the share comes from the phase's row, not by scaling
  if (FRACTFLAG) {
    IO::PUTSTR(1, "<--repeating first step----->", 1, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, "to start with porosity just filled", 1, CHANNEL::TERMSUMLOG);
    r = (1 - phi) / (1 - m);
    // An absent phase has no share to scale up: its row gives the share
    // that the porosity holds.
    if (m > 0)
      f = phi / m;
    else
      fromrow = true;
    RBIMODE[k] = phi;
  } else if (d <= 0) {
    ++IFRACT;
    const char* head = IFRACT == 1 && std::fabs(d) < phi / neartol ? "<--------------------------------->"
                       : std::fabs(d) < phi / unchangedtol      ? "<--fluid not gained or consumed -->"
                                                                : "<--fluid consumed ---------------->";
    IO::PUTSTR(1, head, 1, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, "no fractionation at this step", 1, CHANNEL::TERMSUMLOG);
    movepath(IFRACT);
  } else {
    ++IFRACT;
    IO::PUTSTR(1, "<--for following step----------->", 1, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, "fractionating", 1, CHANNEL::TERMSUMLOG);
    movepath(IFRACT);
    r = (1 - phi) / (1 - m);
    f = phi / m;
    FRACTINFO.removed += m - phi;
    RBIMODE[k] = phi;
  }
  smallint n = 0;
  for (smallint j = 1; j <= NUV; ++j) {
    if (!firstitemuses(j)) continue;
    ++n;
    FBULK[j] *= r;
    COMPFU[j] = fromrow ? phi / FRACT::rbiatoms(k) * RBIC(k, j) : COMPFU[j] * f;
    COMPU[n] = FBULK[j] + COMPFU[j];
  }
  if (on(CONTROLJX.fractdebug)) PRINTFRACTBULK("step " + IO::INT2STR(IFRACT) + " in dofract");
  MAKECOMP();
}

void solvestate::MAKECOMP() {
  extended s = 0;
  for (smallint n = 1; n <= NUVLEFT; ++n) s += COMPU[n];
  for (smallint b = 1; b <= NBATCH; ++b)
    for (smallint n = 1; n <= NUVLEFT; ++n) BATCHINFO[b].bulkcomp[n] = 100 * COMPU[n] / s;
  if (FRACTFLAG) return;
  // The row stands at the path position the new bulk is calculated at.
  const batchtype& b = BATCHINFO[1];
  std::string& o = IO::OSTR;
  o.clear();
  IO::ADDREAL(b.plist[1], 4, true, fractfield, o);
  IO::ADDREAL(celsius(b.tlist[1]), 3, true, fractfield, o);
  for (smallint n = 1; n <= NUVLEFT; ++n) IO::ADDREAL(b.bulkcomp[n], 5, true, fractfield, o);
  IO::ADDREAL(FRACTINFO.removed, 5, true, fractfield, o);
  drawline(o);
}

void solvestate::PRINTFRACTBULK(const std::string& title) {
  std::string& o = IO::OSTR;
  drawline("<-------------------------------------------->");
  drawline(title);
  o = " ";
  for (smallint j = 1; j <= NUV; ++j)
    if (firstitemuses(j)) IO::ADDNAME(COMPNAME[j], bulkfield, o);
  drawline(o);
  extended s = 0;
  for (smallint j = 1; j <= NUV; ++j) s += FBULK[j] + COMPFU[j];
  auto row = [&](const char* label, auto value, bool withsum) {
    o = label;
    for (smallint j = 1; j <= NUV; ++j)
      if (firstitemuses(j)) IO::ADDREAL(value(j), 8, true, bulkfield, o);
    if (withsum) IO::ADDREAL(s, 8, true, bulkfield, o);
    drawline(o);
  };
  row("m", [&](smallint j) { return FBULK[j]; }, false);
  row("f", [&](smallint j) { return COMPFU[j]; }, false);
  row("a", [&](smallint j) { return (FBULK[j] + COMPFU[j]) / s; }, true);
}

}  // namespace ZQNLE2
