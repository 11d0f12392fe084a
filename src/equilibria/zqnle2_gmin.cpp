// The dogmin bookkeeping of one assemblage at one grid point: the lowest G
// of the point and its gap to the next, the seen assemblages of a
// single-point run, and the assemblage's row in the details file.
#include "equilibria/zqnle2_gmin.h"

#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/channels.h"
#include "frame/zqglobal_dogmin.h"
#include "frame/zqglobal_mode1.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

const char* const tablerule = "===========================================================";  // 59 "="

// Keeps the assemblage just seen at grid point KGMIN. The first one seen at
// a point is its minimum whatever its sign: with all energies positive a
// comparison with the starting 0 would keep none.
void keepminimum(const bemvector& ph) {
  gminrec& g = GMININFO[KGMIN];
  ++g.ncalc;
  if (g.ncalc == 1 || GIBBS < g.gmin) {
    if (g.ncalc > 1) g.del = g.gmin - GIBBS;
    g.gmin = GIBBS;
    g.imin = NGI;
    for (long i = 1; i <= maxphases; ++i) g.ph[i] = ph[i];
    if (NGMIN == 1) KSU = SU;
  } else if (GIBBS - g.gmin < g.del) {
    g.del = GIBBS - g.gmin;
  }
}

// Every seen assemblage of a single-point run, with its non-zero modes.
void keepassemblage(const bemvector& ph) {
  if (NONEDOG + 1 > maxonedog) {
    IO::WRITETERMINAL("\nuse less phases and/or have more phases in excess\n");
    IO::ERROREXIT("dogmin", "too many equilibria", yourfault);
  }
  onedogrec& d = ONEDOG[++NONEDOG];
  d.igi = NGI;
  d.ph = ph;
  d.g = GIBBS;
  d.mode.fill(0);
  smallint k = 0;
  for (smallint i = 1; i <= SU.nph; ++i)
    if (SU.ph[i].hasmode && SU.ph[i].mode[1] != 0) d.mode[++k] = SU.ph[i].mode[1];
}

// "X" or "-" per phase not in excess, each in 5.
void phasecolumns(const bemvector& ph, std::string& line) {
  for (long i = 1; i <= NP; ++i)
    if (!PINEX[i]) IO::ADDSTR(ph[i] ? "X" : "-", 5, line);
}

void tablehead() {
  IO::PUTSTR(1, tablerule, 1, CHANNEL::DETAILS);
  std::string line = "all equilibria";
  if (GMIN::anyexcess()) {
    line += ", with ";
    for (long i = 1; i <= NP; ++i)
      if (PINEX[i]) line += phasename(i) + " ";
    line += "in excess";
  }
  IO::PUTSTR(0, line, 1, CHANNEL::DETAILS);
  line.clear();
  IO::ADDSTR("#", -3, line);
  for (long i = 1; i <= NP; ++i)
    if (!PINEX[i]) IO::ADDNAME(phasename(i), 5, line);
  if (NGMIN == 1) IO::ADDSTR("G", 13, line);
  IO::PUTSTR(0, line, 1, CHANNEL::DETAILS);
}

}  // namespace

void solvestate::PRINTGINFO(bool good, bool seen) {
  if (DOGLEVEL < GMIN::pointlevel && NGI % GMIN::progressevery == 0) IO::WRITETERMINAL("@");
  if (good) {
    ++NGIOK;
    if (DOGLEVEL > 0) PRINTRESULT();
  }
  if (seen) {
    keepminimum(PH);
    if (NGMIN == 1) keepassemblage(PH);
  }
  if (DOGLEVEL <= 0) return;
  if (KGMIN == 1) {
    if (2 * NGMIN > GMIN::maxmarkslength) IO::ERROREXIT("dogmin", "too many PT points", yourfault);
    GMARKS.assign(static_cast<std::size_t>(2 * NGMIN), ' ');
  }
  if (NGI == 1 && KGMIN == 1) tablehead();
  std::string line;
  if (NGMIN == 1) {
    IO::ADDINT(NGI, -3, line);
    phasecolumns(PH, line);
    line += "  ";
    if (seen)
      IO::ADDREAL(GIBBS, 5, true, 13, line);
    else if (NLECODE == notseencode)
      IO::ADDSTR("---", 9, line);
    IO::PUTSTR(0, line, 1, CHANNEL::DETAILS);
    return;
  }
  const std::size_t at = static_cast<std::size_t>(2 * KGMIN - 2);
  if (at < GMARKS.size()) GMARKS[at] = seen ? '#' : (NLECODE == notseencode ? 'x' : '-');
  if (KGMIN != NGMIN) return;
  IO::ADDINT(NGI, -3, line);
  phasecolumns(PH, line);
  line += "     " + GMARKS;
  IO::PUTSTR(0, line, 1, CHANNEL::DETAILS);
}

}  // namespace ZQNLE2
