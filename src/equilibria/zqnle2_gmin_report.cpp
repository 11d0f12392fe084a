// The report of a Gibbs-energy minimisation run after its last assemblage:
// the stable assemblage with its compositions and modes, the table of
// minima per grid point, the assemblages near the minimum, and the log
// copy-back blocks of the stable assemblage of a single-point run.
#include <array>
#include <cmath>

#include "equilibria/zqnle1.h"
#include "equilibria/zqnle2.h"
#include "equilibria/zqnle2_gmin.h"
#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/bytes.h"
#include "frame/zqglobal_dogmin.h"
#include "frame/zqglobal_mode1.h"
#include "frame/zqute2.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr longint results = CHANNEL::TERMSUMLOG;

const char* const reportrule = "##########################################################";  // 58 "#"
const char* const detailsrule = "-----------------------------------------------------------";  // 59 "-"

const std::string degC = std::string("T(") + macroman::degree_s + "C)";

std::string varianceword(smallint v) {
  switch (v) {
    case 2:
      return "divariant";
    case 3:
      return "trivariant";
    case 4:
      return "quadrivariant";
    default:
      return IO::INT2STR(v) + "-variant";
  }
}

// "at P = 6.00 kbar and T = 700.0°C" for the single grid point.
std::string attext() {
  std::string s = "at P = ";
  IO::ADDREAL(GMININFO[1].p, 2, true, 0, s);
  s += " kbar and T = ";
  IO::ADDREAL(celsius(GMININFO[1].t), 1, true, 0, s);
  return s + macroman::degree_s + "C";
}

// ", with, in excess," and the name of each phase in excess after a blank;
// empty without phases in excess.
std::string excesstext() {
  if (!GMIN::anyexcess()) return "";
  std::string s = ", with, in excess,";
  for (long i = 1; i <= NP; ++i)
    if (PINEX[i]) s += " " + phasename(i);
  return s;
}

// The stable assemblage's phases, what else was tried, its compositions,
// its modes and, with tozero phases, the renormalised modes.
void stableassemblage() {
  const gminrec& g = GMININFO[1];
  std::string line = "Gibbs energy minimisation gives the " + varianceword(SU.variance) + " assemblage ";
  for (smallint i = 1; i <= SU.nph; ++i) line += SU.ph[i].name + " ";
  IO::PUTSTR(0, line, 1, results);
  line = GMIN::anyexcess() ? excesstext().substr(2) + ", " : "with no in excess phases, ";
  std::string others;
  for (long i = 1; i <= NP; ++i)
    if (!g.ph[i]) others += " " + phasename(i);
  line += others.empty() ? "and with no additional phases tried" : "also trying assemblages involving" + others;
  IO::PUTSTR(0, line, 2, results);

  std::string head, values;
  IO::ADDSTR("P(kbar)", 10, head);
  IO::ADDSTR(degC, 10, head);
  IO::ADDREAL(SU.pressure, 4, true, 10, values);
  IO::ADDREAL(celsius(SU.temperature), 3, true, 10, values);
  int columns = 2;
  bool variablesinpart = false;
  for (smallint i = 1; i <= SU.nph; ++i) {
    const suphasetype& ph = SU.ph[i];
    for (smallint v = 1; v <= ph.nem - 1; ++v) {
      if ((columns + 1) * 10 > IO::CONTROLIO.pagewidth) {
        IO::PUTSTR(0, head, 1, results);
        IO::PUTSTR(0, values, 1, results);
        head.assign(20, ' ');
        values.assign(20, ' ');
        columns = 2;
        variablesinpart = false;
      }
      IO::ADDNAME(ph.varnames[v], 10, head);
      IO::ADDREAL(ph.x[v], 4, false, 10, values);
      ++columns;
      variablesinpart = true;
    }
  }
  IO::PUTSTR(0, head, 1, results);
  IO::PUTSTR(0, values, variablesinpart ? 2 : 1, results);

  head.clear();
  IO::ADDSTR("mode", 4, head);
  values = "    ";
  for (smallint i = 1; i <= SU.nph; ++i) {
    IO::ADDNAME(SU.ph[i].name, 10, head);
    IO::ADDREAL(SU.ph[i].mode[1], 4, true, 10, values);
  }
  IO::PUTSTR(0, head, 1, results);
  IO::PUTSTR(0, values, 1, results);

  tozerobtype zeroed{"printgmin zeroed"};
  extended factor = 1;
  TOZEROFAC(zeroed, factor);
  if (std::fabs(factor - 1) <= zeroedfactortol) return;
  values = "    ";
  for (smallint i = 1; i <= SU.nph; ++i) {
    if (SU.ph[i].mode[1] == 0 || zeroed[i])
      IO::ADDSTR("", 10, values);
    else
      IO::ADDREAL(SU.ph[i].mode[1] * factor, 4, true, 10, values);
  }
  values += NTOZEROSTRINGS < 2 ? "  mode zeroed" : "  modes zeroed";
  IO::PUTSTR(0, values, 1, results);
}

// One row per grid point: where, the stable phases, the lowest G, its gap
// to the next lowest, how many were seen and which won. A point where
// nothing was seen shows no phase columns.
void minimatable() {
  const bool grid = NGMIN != 1;
  std::string line;
  if (grid) {
    IO::ADDSTR("P(kbar)", 8, line);
    IO::ADDSTR(degC, 10, line);
  }
  for (long i = 1; i <= NP; ++i)
    if (!PINEX[i]) IO::ADDNAME(phasename(i), 7, line);
  IO::ADDSTR("G", 13, line);
  IO::ADDSTR("del", 10, line);
  IO::ADDSTR("n", 6, line);
  IO::ADDSTR("#", 6, line);
  IO::PUTSTR(0, line, 1, results);
  for (long k = 1; k <= NGMIN; ++k) {
    const gminrec& g = GMININFO[k];
    line.clear();
    if (grid) {
      ZQUTE2::WRITEP(g.p, 8, line);
      IO::ADDREAL(celsius(g.t), 3, true, 10, line);
    }
    if (g.ncalc > 0)
      for (long i = 1; i <= NP; ++i)
        if (!PINEX[i]) IO::ADDSTR(g.ph[i] ? "X" : ".", 7, line);
    IO::ADDREAL(g.gmin, 5, true, 13, line);
    if (g.del < 0)
      IO::ADDSTR("*wrong", 10, line);
    else if (g.del > GMIN::nogapshown)
      IO::ADDSTR("-", 10, line);
    else
      IO::ADDREAL(g.del, 5, true, 10, line);
    IO::ADDINT(g.ncalc, 6, line);
    IO::ADDINT(g.imin, 6, line);
    IO::PUTSTR(0, line, 1, results);
  }
  IO::PUTSTR(0, "", 1, results);
}

// The mode of phase i of a seen assemblage: its modes are stored in the
// order of its phases over the table.
extended modeof(const onedogrec& d, long i) {
  long j = 0;
  for (long k = 1; k <= i; ++k)
    if (d.ph[k]) ++j;
  return j >= 1 && j <= maxeq ? d.mode[j] : 0;
}

void nearminimumrow(const onedogrec& d, bool first, extended gref, extended gprev) {
  std::string line;
  IO::ADDINT(d.igi, 5, line);
  for (long i = 1; i <= NP; ++i) {
    if (PINEX[i]) continue;
    if (d.ph[i])
      IO::ADDREAL(modeof(d, i), 3, true, 8, line);
    else
      IO::ADDSTR("- ", 8, line);
  }
  if (GMIN::anyexcess()) {
    line += "  :";
    for (long i = 1; i <= NP; ++i)
      if (PINEX[i] && d.ph[i]) IO::ADDREAL(modeof(d, i), 3, true, 8, line);
  }
  IO::ADDREAL(d.g, 5, true, 13, line);
  if (first) {
    IO::ADDSTR("-", 10, line);
    IO::ADDSTR("-", 10, line);
  } else {
    IO::ADDREAL(d.g - gref, 5, true, 10, line);
    IO::ADDREAL(d.g - gprev, 5, true, 10, line);
  }
  IO::PUTSTR(0, line, 1, results);
}

// The seen assemblages of a single point in increasing G (the earlier on a
// tie), from the minimum up to 2 kJ above it, at most 20.
void nearminimum() {
  IO::PUTSTR(0, "assemblage modes for minimum G, and near minimum G, " + attext(), 2, results);
  std::string line;
  IO::ADDSTR("#", 5, line);
  for (long i = 1; i <= NP; ++i)
    if (!PINEX[i]) IO::ADDNAME(phasename(i), 8, line);
  if (GMIN::anyexcess()) {
    line += "  :";
    for (long i = 1; i <= NP; ++i)
      if (PINEX[i]) IO::ADDNAME(phasename(i), 8, line);
  }
  IO::ADDSTR("G", 13, line);
  IO::ADDSTR("odel", 10, line);
  IO::ADDSTR("del", 10, line);
  IO::PUTSTR(0, line, 1, results);
  std::array<bool, maxonedog + 1> listed{};
  extended gref = 0, gprev = 0;
  for (int rows = 0; rows < GMIN::maxnearrows; ++rows) {
    long best = 0;
    for (long e = 1; e <= NONEDOG; ++e) {
      const extended g = ONEDOG[e].g;
      if (listed[static_cast<std::size_t>(e)] || g >= GMIN::unusableg) continue;
      if (best == 0 || g < ONEDOG[best].g) best = e;
    }
    if (best == 0) return;
    const onedogrec& d = ONEDOG[best];
    if (rows > 0 && d.g - gref > GMIN::nearminimum) return;
    listed[static_cast<std::size_t>(best)] = true;
    if (rows == 0) gref = d.g;
    nearminimumrow(d, rows == 0, gref, gprev);
    gprev = d.g;
  }
}

void paragraph(std::initializer_list<const char*> parts) {
  IO::eestrtype& e = IO::EESTR;
  long k = 0;
  for (const char* p : parts) e[++k] = p;
  e[++k].clear();
  IO::FORMATTEXT(e);
}

bool someguessmissing() {
  for (long i = 1; i <= NPSS; ++i)
    if (!(*PREC1)[i].scriptguess && (*PREC1)[i].coding != 2) return true;
  return false;
}

}  // namespace

void PRINTGMIN() {
  const bool single = NGMIN == 1;
  // The stable record is there only when something was seen at the point
  // in this pass: the first one seen is always kept.
  const bool found = single && GMININFO[1].ncalc > 0;
  IO::PUTSTR(1, reportrule, 1, results);
  if (single) {
    IO::PUTSTR(0, "'---' = calculated but not seen", 1, CHANNEL::DETAILS);
    IO::PUTSTR(0, detailsrule, 1, CHANNEL::DETAILS);
    IO::PUTSTR(0, HEAD1, 1, CHANNEL::DETAILS);
    IO::PUTSTR(0, HEAD2, 1, CHANNEL::DETAILS);
    IO::PUTSTR(0, HEAD3, 1, CHANNEL::DETAILS);
    if (found) {
      SU = KSU;
      stableassemblage();
    } else {
      IO::PUTSTR(0, "Gibbs energy minimisation found no assemblage", 1, results);
    }
  } else {
    std::string line = "Gibbs energy minimisation with ";
    for (long i = 1; i <= NP; ++i)
      if (!PINEX[i]) line += " " + phasename(i);
    IO::PUTSTR(0, line + excesstext(), 1, results);
  }
  if (DOGLEVEL > 0) {
    if (single)
      IO::PUTSTR(1, "Gibbs energy minimisation info " + attext() + excesstext(), 2, results);
    else
      IO::PUTSTR(0, "", 1, results);
    minimatable();
    if (NONEDOG > 0 && NONEDOG < maxonedog) nearminimum();
  }
  if (found) {
    SU = KSU;
    ZQNLE1::PRINTIC();
    PRINTBULK2();
    PRINTGUESSES2();
  } else if (!single) {
    paragraph({"note that dogmin for a single PT gives more and more easily-digestible information about the possible ",
               "equilibria for the bulk used."});
  }
  if (someguessmissing())
    paragraph({"starting guesses (using the xyzguess script) are not provided for all the phases in the dogmin "
               "calculation. ",
               "This is potentially dangerous: careful organisation of starting guesses is essential. ",
               "Use the xyzguess blocks in the logfile from this or previous runs of dogmin. Several runs may be "
               "needed to ",
               "get effective starting guesses for all phases."});
}

}  // namespace ZQNLE2
