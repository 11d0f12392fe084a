// Fractionation after a solved batch item: the first item's modes and
// phase compositions become the rock that the next step fractionates; a
// later item that finds a phase entering or leaving between this step and
// the next writes the rbi block to restart from, its bulk, and ends the run.
#include <cmath>
#include <functional>
#include <string>

#include "equilibria/zqnle2_fract.h"
#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/zqglobal_fract.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr smallint fractfield = 11;     // width of the drawing-data fields of the path
constexpr smallint restartfield = 13;   // width of the fields of the restart block
constexpr extended tinybulk = 1e-9L;    // a bulk entry at most this is left out of the drawing-data row

const char* const restartrule = "% --------------------------------------------------------";
const char* const restartdouble = "% ========================================================";

// The rows of the phases of the current assemblage over all components:
// each solution phase at its solved composition, then each other phase of
// PH among the first nonsolution, with its formula. Returns their number;
// rows beyond the table are counted, not kept.
using phaserows = fmatrix<extended, 1, maxeq, 1, maxcomp>;
smallint assemblagerows(const bemvector& ph, smallint nonsolution, phaserows& rows) {
  smallint k = 0;
  cvector comp{"fract comp"};
  for (smallint e = 1; e <= NCV; ++e) {
    if (!STARTSS[e]) continue;
    ZQNLE3::MAKEPHASE(e, comp);
    if (++k <= maxeq)
      for (smallint c = 1; c <= NUV; ++c) rows(k, c) = comp[c];
  }
  for (smallint i = 1; i <= nonsolution; ++i) {
    if (!ph[NPSS + i]) continue;
    if (++k <= maxeq)
      for (smallint c = 1; c <= NUV; ++c)
        rows(k, c) = static_cast<extended>((*PREC0)[i].comp[c]) / static_cast<extended>(COMPDIV[c]);
  }
  return k;
}

void logline(smallint before, const std::string& text) { IO::PUTSTR(before, text, 1, CHANNEL::LOG); }

// One "rbi    " row of the restart block.
// A line too long goes on in the next, ended by the script's continuation
// mark, as the block is read back.
void rbirow(const phaserows& rows, smallint i, const std::string& name) {
  IO::PUTROW(
      0, "rbi    ", NUV,
      [&](long c, std::string& o) {
        IO::ADDREAL(rows(i, static_cast<smallint>(c)), 6, false, restartfield, o);
        if (c == NUV) o += "    % " + name;
      },
      1, CHANNEL::LOG, " \\", "       ");
}

// A heading of the block: a comment in every line it takes.
void headingrow(smallint before, long n, const std::function<std::string(long)>& name) {
  IO::PUTROW(
      before, "%      ", n, [&](long k, std::string& o) { IO::ADDNAME(name(k), restartfield, o); }, 1, CHANNEL::LOG, "",
      "%      ");
}

}  // namespace

void solvestate::FRACTBULK() {
  for (smallint i = 1; i <= NXP; ++i) RBIMODE[i] = XRAW[NX + i];
  NRBIMODE = MODESBYNLE ? NXP : 0;
  static phaserows rows{"fractbulk rows"};
  K = assemblagerows(PH, NP0, rows);
  if (K != NRBIMODE) IO::ERROREXIT("fractbulk", "fract dimensions mismatch", yourfault);
  for (smallint i = 1; i <= K; ++i)
    for (smallint c = 1; c <= NUV; ++c) RBIC(i, c) = rows(i, c);
  const smallint k = FRACTINFO.phasepos;
  const extended fk = RBIMODE[k] / FRACT::rbiatoms(k);
  smallint n = 0;
  for (smallint j = 1; j <= NUV; ++j) {
    COMPFU[j] = fk * RBIC(k, j);
    if (!BATCHINFO[1].hascomp[j]) continue;
    ++n;
    FBULK[j] = COMPU[n] - COMPFU[j];
  }
  if (on(CONTROLJX.fractdebug)) PRINTFRACTBULK("step " + IO::INT2STR(IFRACT) + " in fractbulk");
}

void solvestate::PRINTFRACTRESULTS() {
  const extended p = SU.pressure;
  const extended t = SU.temperature;
  const extended phi = FRACTINFO.porosity;
  const bool calct = BATCHINFO[1].tatp;
  const extended step = calct ? FRACTINFO.dt : FRACTINFO.dp;
  const extended start = calct ? FRACTINFO.t0 : FRACTINFO.p0;
  const extended there = calct ? t : p;
  // Both distances count along the path, which may go down in T or P. An
  // event the path has already passed (or one off a path that does not move
  // in this variable) is no reason to stop: only one between this step and
  // the next is.
  extended gap = start + step * static_cast<smallint>(IFRACT + 1) - there;
  extended done = there - (start + step * IFRACT);
  if (step < 0) gap = -gap, done = -done;
  const bool before = gap > 0 && done >= 0;
  if (!FRACTSTOP) FRACTSTOP = before;
  if (!before) return;
  ++NFRACTROW;
  IO::PUTSTR(0, "<-------------------------------------------------->", 1, CHANNEL::TERMSUMLOG);
  std::string& w = IO::WSTR;
  w.clear();
  // Never true: the gap is positive here and FRACTLAST starts below zero.
  if (NBATCH >= 3 && gap < FRACTLAST) {
    w = "best so far: ";
    FRACTLAST = gap;
  }
  const smallint mp = BATCHINFO[IBATCH].modephase1;
  const bool losing = mp >= 1 && BATCHINFO[1].phase[mp];
  w += losing ? "losing " : "added ";
  if (mp >= 1) w += phasename(mp);
  w += " by batch " + IO::INT2STR(IBATCH);
  IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);

  const smallint k = FRACTINFO.phasepos;
  if (NFRACTROW == 1) {
    FRACTPREV = 0;
    const extended m = RBIMODE[k];
    if (m > phi) {
      for (smallint i = 1; i <= NRBIMODE; ++i)
        if (i != k) RBIMODE[i] *= (1 - phi) / (1 - m);
      FRACTPREV = m - phi;
      FRACTINFO.removed += FRACTPREV;
      RBIMODE[k] = phi;
      MAKECOMP();
    }
  }

  // The solved modes, the fractionated phase's cut to the porosity.
  eqvector modes{"fract modes"};
  smallint q = 0;
  for (smallint i = 1; i <= NXP; ++i) {
    modes[i] = XRAW[NX + i];
    if (q == 0 && std::string(XNAME[NX + i]) == std::string(FRACTINFO.phase)) q = i;
  }
  if (q == 0) FRACT::badname("printfractresults");
  if (modes[q] > phi) {
    for (smallint i = 1; i <= NXP; ++i)
      if (i != q) modes[i] *= (1 - phi) / (1 - modes[q]);
    FRACTINFO.removed += modes[q] - phi - FRACTPREV;
    modes[q] = phi;
  }

  std::string& o = IO::OSTR;
  logline(1, restartrule);
  logline(0, "% rbi with extra precision for restarting fractcalcs with new equilibrium");
  o = "% at P = ";
  IO::ADDREAL(p, 4, true, 0, o);
  o += " kbar, and T = ";
  IO::ADDREAL(celsius(t), 3, true, 0, o);
  logline(0, o);
  logline(0, restartdouble);
  logline(0, WITHOLDSET ? "% 1-oxide-based modes" : "% 1-element-based modes");
  headingrow(0, NXP, [](long i) { return std::string(XNAME[NX + i]); });
  IO::PUTROW(
      0, "rbi yes", NXP, [&](long i, std::string& line) { IO::ADDREAL(modes[i], 6, false, restartfield, line); }, 1,
      CHANNEL::LOG, " \\", "       ");
  headingrow(1, NUV, [](long c) { return std::string(COMPNAME[c]); });
  static phaserows rows{"printfractresults rows"};
  const smallint nrows = assemblagerows(PH, static_cast<smallint>(NP0 - NMU), rows);
  if (nrows != NXP) IO::ERROREXIT("printfractresults", "mismatch", yourfault);
  for (smallint i = 1; i <= nrows; ++i) rbirow(rows, i, XNAME[NX + i]);
  logline(0, restartdouble);

  cvector bulk{"fract bulk"};
  for (smallint i = 1; i <= nrows; ++i) {
    extended atoms = 0;
    for (smallint c = 1; c <= NUV; ++c) atoms += rows(i, c) * ICOMP[c];
    for (smallint c = 1; c <= NUV; ++c) bulk[c] += modes[i] / atoms * rows(i, c);
  }
  extended total = 0;
  for (smallint c = 1; c <= NUV; ++c) total += bulk[c];
  for (smallint c = 1; c <= NUV; ++c) bulk[c] = 100 * bulk[c] / total;

  o.clear();
  IO::ADDREAL(p, 4, true, fractfield, o);
  IO::ADDREAL(celsius(t), 3, true, fractfield, o);
  for (smallint c = 1; c <= NUV; ++c)
    if (std::fabs(bulk[c]) > tinybulk) IO::ADDREAL(bulk[c], 5, true, fractfield, o);
  IO::ADDREAL(FRACTINFO.removed, 5, true, fractfield, o);
  IO::PUTSTR(0, o, 1, CHANNEL::DRAWING);
  o = "% bulk ";
  for (smallint c = 1; c <= NUV; ++c) IO::ADDREAL(bulk[c], 6, false, restartfield, o);
  logline(0, o);
  logline(0, restartrule);
  CANCONTINUE = true;
}

}  // namespace ZQNLE2
