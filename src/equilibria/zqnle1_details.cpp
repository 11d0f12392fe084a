// The details-file blocks of a solved point: the compact one and the one in
// titled sections, both read from the result record SU alone.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "equilibria/zqnle1.h"
#include "equilibria/zqnle2_print.h"
#include "frame/bytes.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_solver.h"

using namespace ZQGLOBAL;
using ZQNLE2::on;
using ZQNLE2::plainfixed;

namespace ZQNLE1 {

namespace {

constexpr longint ic = CHANNEL::DETAILS;
constexpr extended wholetol = 1e-5L;       // an oxide amount this near a whole number prints as one
constexpr extended fractiontol = 1e-12L;   // an eight-decimal value with less fraction prints whole
const char* const icrule = "===========================================================";  // 59 "="

bool seen() { return SU.nmodeset > 0; }
bool singlebulk() { return SU.ncomp <= 1; }
bool nofluidcolumn(const suphasetype& p) { return EXBUFF && p.fluidphase; }

// An end-member's first value after its name: a blank between the two
// where the name filled its column and the value fills its own.
void firstvalue(extended x, smallint places, smallint width, std::string& o) {
  std::string v;
  IO::ADDREAL(x, places, false, width, v);
  if (!o.empty() && o.back() != ' ' && !v.empty() && v.front() != ' ') o += ' ';
  o += v;
}

// The label of mode row r; bynlewidth is the width of the bulk step number
// when the modes were unknowns of the solve.
void rowlabel(smallint r, smallint bynlewidth, std::string& o) {
  if (MODESBYNLE)
    IO::ADDINT(SU.kcomp, bynlewidth, o);
  else if (OVARIANCE == 1) {
    // Only a univariant assemblage gives each step two rows, one per end of
    // its line.
    if (r % 2 == 1)
      IO::ADDINT(SU.firstmodeset + (r - 1) / 2, -6, o);
    else
      IO::ADDSTR("", 6, o);
  } else
    IO::ADDINT(SU.firstmodeset + r - 1, -6, o);
}

// The system lines' label: "sys" for the one row of a single bulk.
void syslabel(smallint r, smallint bynlewidth, std::string& o) {
  if (r == 1 && singlebulk())
    IO::ADDSTR("sys", -6, o);
  else
    rowlabel(r, bynlewidth, o);
}

// The suffix of the variance line: how the bulk stands to the assemblage.
std::string seensuffix() {
  if (MODESBYNLE) return " (seen)";
  if (!MODESAFTERNLE) return "";
  if (!seen()) return "; NOT seen";
  return singlebulk() ? "; seen" : "";
}

void sitefractions() {
  for (smallint i = 1; i <= SU.nph; ++i) {
    const suphasetype& p = SU.ph[i];
    if (p.nem <= 1) continue;
    // Names over values, in as many blocks as the line's length needs.
    IO::PUTTABLE(
        2, p.nsf,
        [&](long row, std::string& o) {
          if (row == 1)
            IO::ADDNAME(p.name, -5, o);
          else
            o += "     ";
        },
        [&](long row, long k, std::string& o) {
          if (row == 1)
            IO::ADDNAME(p.sfnames[k], 10, o);
          else
            IO::ADDREAL(p.sf[k], 5, true, 10, o);
        },
        0, ic);
  }
}

// Component c of a bulk line: blank where the component is not free.
void bulkcolumn(smallint row, smallint c, std::string& o) {
  if (!SU.bcomps[c]) {
    IO::ADDSTR("", 12, o);
    return;
  }
  smallint j = 0;
  for (smallint k = 1; k <= c; ++k)
    if (SU.bcomps[k]) ++j;
  IO::ADDREAL(100 * SU.bulk(row, j), 4, true, 12, o);
}

// The component header, the bulk lines and one composition line per phase,
// in as many blocks as the line's length needs; the step notes follow the
// last component.
void oxidecompositions() {
  const bool bulkline = MODESBYNLE || MODESAFTERNLE;
  const bool toline = bulkline && !MODESBYNLE && SU.ncomp > 1;
  const long nbulk = (bulkline ? 1 : 0) + (toline ? 1 : 0);
  auto phaseof = [&](long row) -> const suphasetype& { return SU.ph[static_cast<smallint>(row - 1 - nbulk)]; };
  IO::PUTTABLE(
      1 + nbulk + SU.nph, SU.nuv,
      [&](long row, std::string& o) {
        if (row == 1)
          o += "      ";
        else if (row == 2 && bulkline)
          IO::ADDSTR("bulk", -6, o);
        else if (row == 3 && toline)
          IO::ADDSTR("  to", -6, o);
        else
          IO::ADDNAME(phaseof(row).name, -6, o);
      },
      [&](long row, long col, std::string& o) {
        const smallint c = static_cast<smallint>(col);
        if (row == 1) {
          IO::ADDNAME(SU.compname[c], 12, o);
        } else if (row <= 1 + nbulk) {
          const bool first = row == 2;
          bulkcolumn(first ? 1 : std::min<smallint>(SU.ncomp, maxmodeset), c, o);
          if (col < SU.nuv) return;
          if (first && MODESBYNLE && SU.kcomp > 1) {
            o += "  step ";
            IO::ADDINT(SU.kcomp, 0, o);
            o += ", x = ";
            IO::ADDREAL(SU.prop[1], 4, true, 0, o);
          } else if (!first) {
            o += "  ";
            IO::ADDINT(SU.ncomp - 1, 2, o);
            o += " steps";
          }
        } else {
          const extended a = phaseof(row).comp[c];
          if (std::fabs(a - std::round(a)) < wholetol)
            IO::ADDINT(a, 12, o);
          else
            IO::ADDREAL(a, 6, true, 12, o);
        }
      },
      0, ic);
}

// The modes of every mode row, one column per phase (none for a buffered
// fluid), labels in lw, values with d decimals in w; a zero mode is blank.
void modetable(smallint lw, smallint d, smallint w) {
  // The heading names every phase but a buffered fluid, a row every phase
  // with a mode: column c of each is its own c-th.
  std::vector<smallint> named, moded;
  for (smallint i = 1; i <= SU.nph; ++i) {
    if (!nofluidcolumn(SU.ph[i])) named.push_back(i);
    if (SU.ph[i].hasmode) moded.push_back(i);
  }
  IO::PUTTABLE(
      1 + SU.nmodeset, static_cast<long>(std::max(named.size(), moded.size())),
      [&](long row, std::string& o) {
        if (row == 1)
          IO::ADDSTR("mode", lw, o);
        else
          rowlabel(static_cast<smallint>(row - 1), lw, o);
      },
      [&](long row, long c, std::string& o) {
        const std::vector<smallint>& cols = row == 1 ? named : moded;
        if (c > static_cast<long>(cols.size())) return;
        const suphasetype& p = SU.ph[cols[static_cast<std::size_t>(c - 1)]];
        if (row == 1)
          IO::ADDNAME(p.name, w, o);
        else if (p.mode[row - 1] == 0)
          IO::ADDSTR("", w, o);
        else
          IO::ADDREAL(p.mode[row - 1], d, true, w, o);
      },
      1, ic);
}

// The conversion factor of every phase per mode row.
void factortable(smallint d, smallint w) {
  IO::PUTTABLE(
      1 + SU.nmodeset, SU.nph,
      [&](long row, std::string& o) {
        if (row == 1)
          IO::ADDSTR("factor", -6, o);
        else
          rowlabel(static_cast<smallint>(row - 1), -6, o);
      },
      [&](long row, long i, std::string& o) {
        if (row == 1)
          IO::ADDNAME(SU.ph[i].name, w, o);
        else
          IO::ADDREAL(SU.ph[i].modefac[row - 1], d, true, w, o);
      },
      1, ic);
}

// The mode table and, without an external buffer, the conversion factors.
void modetables(smallint d, smallint w) {
  modetable(-6, d, w);
  if (EXBUFF) return;
  factortable(d, w);
}

void phaseproperties(smallint d, smallint w) {
  std::string& o = IO::OSTR;
  o = "            ";
  if (DOGMIN) {
    IO::ADDSTR("mode", w, o);
    IO::ADDSTR("f", w, o);
  }
  IO::ADDSTR("G", w + 4, o);
  IO::ADDSTR("H", w + 4, o);
  IO::ADDSTR("S", w, o);
  IO::ADDSTR("V", w, o);
  IO::ADDSTR("rho", w, o);
  IO::PUTSTR(1, o, 1, ic);
  for (smallint i = 1; i <= SU.nph; ++i) {
    const suphasetype& p = SU.ph[i];
    o.clear();
    IO::ADDNAME(p.name, -12, o);
    if (DOGMIN) {
      IO::ADDREAL(p.mode[1], d, true, w, o);
      IO::ADDREAL(p.modefac[1], d, true, w, o);
    }
    o += plainfixed(p.g, d, w + 4) + plainfixed(p.h, d, w + 4);
    o += plainfixed(p.s, d, w) + plainfixed(p.v, d, w) + plainfixed(p.rho, d, w);
    IO::PUTSTR(0, o, 1, ic);
  }
  if (!seen()) return;
  for (smallint r = 1; r <= SU.nmodeset; ++r) {
    o.clear();
    syslabel(r, -6, o);
    IO::ADDSTR("", DOGMIN ? 30 : 6, o);
    o += plainfixed(SU.gsys[r], d, w + 4) + plainfixed(SU.hsys[r], d, w + 4);
    o += plainfixed(SU.ssys[r], d, w) + plainfixed(SU.vsys[r], d, w) + plainfixed(SU.rhosys[r], d, w);
    IO::PUTSTR(0, o, 1, ic);
  }
}

void endmembers(smallint d, smallint w) {
  std::string& o = IO::OSTR;
  o = "             ";
  IO::ADDSTR("ideal", w + 1, o);
  IO::ADDSTR("gamma", w, o);
  IO::ADDSTR("activity", w + 2, o);
  IO::ADDSTR("prop", w + 2, o);
  if (!EXBUFF) {
    IO::ADDSTR("mu0", w + 4, o);
    IO::ADDSTR("RT ln a", w + 4, o);
  }
  IO::PUTSTR(1, o, 1, ic);
  for (smallint i = 1; i <= SU.nph; ++i) {
    const suphasetype& p = SU.ph[i];
    if (p.nem <= 1) {
      o.clear();
      IO::ADDNAME(p.name, -6, o);
      if (!EXBUFF) {
        IO::ADDSTR("", 5 * w + 3, o);
        o += plainfixed(p.gem[1], d, w + 4);
      }
      IO::PUTSTR(0, o, 1, ic);
      continue;
    }
    for (smallint j = 1; j <= p.nem; ++j) {
      o.clear();
      if (j == 1)
        IO::ADDNAME(p.name, -6, o);
      else
        IO::ADDSTR(" ", 6, o);
      IO::ADDNAME(p.emnames[j], -7, o);
      firstvalue(p.ideal[j], d, w + 1, o);
      IO::ADDREAL(p.gamma[j], d, false, w, o);
      IO::ADDREAL(p.activity[j], d, false, w + 2, o);
      IO::ADDREAL(p.p[j], d, true, w + 2, o);
      if (!EXBUFF) o += plainfixed(p.gem[j], d, w + 4) + plainfixed(p.rtlna[j], d, w + 4);
      IO::PUTSTR(0, o, j == p.nem ? 2 : 1, ic);
    }
  }
}

// The compositional variables of every solution phase: the phase name in
// width -phasew, then names and values in width valuew.
void variables(smallint phasew, smallint valuew, const char* sdlabel) {
  const long rows = CONTROLJX.uncertaintylevel > 0 ? 3 : 2;
  for (smallint i = 1; i <= SU.nph; ++i) {
    const suphasetype& p = SU.ph[i];
    if (p.nem <= 1) continue;
    IO::PUTTABLE(
        rows, p.nem - 1,
        [&](long row, std::string& o) {
          if (row == 1)
            IO::ADDNAME(p.name, static_cast<smallint>(-phasew), o);
          else if (row == 2)
            o.append(static_cast<std::size_t>(phasew), ' ');
          else
            o += sdlabel;
        },
        [&](long row, long v, std::string& o) {
          if (row == 1)
            IO::ADDNAME(p.varnames[v], valuew, o);
          else
            IO::ADDREAL(row == 2 ? p.x[v] : p.xsd[v], 5, true, valuew, o);
        },
        0, ic);
  }
}


// A value of the sectioned end-member table: eight decimals in fixed
// notation, or the whole number alone when it has no fraction to show.
std::string eightdecimals(extended x) {
  const extended whole = std::trunc(x);
  if (std::fabs(x - whole) < fractiontol) return plainfixed(whole == 0 ? 0.0L : whole, 0, 0);
  return plainfixed(x, 8, 0);
}

void ombrymodes() {
  std::string& o = IO::OSTR;
  IO::PUTSTR(2, "Modal abundance of phases", 0, ic);
  modetable(-10, 8, 12);
  if (MODESBYNLE && CONTROLJX.uncertaintylevel > 0) {
    o = "    sdmode";
    for (smallint i = 1; i <= SU.nph; ++i) IO::ADDREAL(SU.ph[i].modesd, 8, true, 12, o);
    IO::PUTSTR(0, o, 1, ic);
  }
  if (EXBUFF) return;
  IO::PUTSTR(2, "Conversion factor per atom/per formula unit", 0, ic);
  factortable(8, 12);
}

void ombryproperties() {
  std::string& o = IO::OSTR;
  IO::PUTSTR(2, "Thermodynamic properties of phases and system", 0, ic);
  o = "            ";
  if (DOGMIN) {
    IO::ADDSTR("mode", 12, o);
    IO::ADDSTR("f", 12, o);
  }
  for (const char* h : {"G", "H", "S", "V", "rho"}) IO::ADDSTR(h, 12, o);
  IO::PUTSTR(1, o, 1, ic);
  for (smallint i = 1; i <= SU.nph; ++i) {
    const suphasetype& p = SU.ph[i];
    o.clear();
    IO::ADDNAME(p.name, -12, o);
    if (DOGMIN) {
      IO::ADDREAL(p.mode[1], 8, true, 12, o);
      IO::ADDREAL(p.modefac[1], 8, true, 12, o);
    }
    for (extended v : {p.g, p.h, p.s}) IO::ADDREAL(v, 4, true, 12, o);
    for (extended v : {p.v, p.rho}) IO::ADDREAL(v, 5, true, 12, o);
    IO::PUTSTR(0, o, 1, ic);
  }
  if (!seen()) return;
  for (smallint r = 1; r <= SU.nmodeset; ++r) {
    o.clear();
    syslabel(r, -6, o);
    IO::ADDSTR("", DOGMIN ? 30 : 6, o);
    for (extended v : {SU.gsys[r], SU.hsys[r], SU.ssys[r], SU.vsys[r], SU.rhosys[r]}) IO::ADDREAL(v, 5, true, 12, o);
    IO::PUTSTR(0, o, 1, ic);
  }
}

void ombryendmembers() {
  std::string& o = IO::OSTR;
  IO::PUTSTR(2, "Thermodynamic properties of end-members", 0, ic);
  o = "             ";
  for (const char* h : {"ideal", "gamma", "activity", "prop"}) IO::ADDSTR(h, 12, o);
  if (!EXBUFF) {
    IO::ADDSTR("0", 17, o);
    IO::ADDSTR("RT ln a", 16, o);
  }
  IO::PUTSTR(1, o, 1, ic);
  for (smallint i = 1; i <= SU.nph; ++i) {
    const suphasetype& p = SU.ph[i];
    if (p.nem <= 1) {
      o.clear();
      IO::ADDNAME(p.name, -6, o);
      if (!EXBUFF) {
        IO::ADDSTR("", 55, o);
        IO::ADDREAL(p.gem[1], 4, true, 12, o);
      }
      IO::PUTSTR(0, o, 1, ic);
      continue;
    }
    for (smallint j = 1; j <= p.nem; ++j) {
      o.clear();
      if (j == 1)
        IO::ADDNAME(p.name, -6, o);
      else
        IO::ADDSTR(" ", 6, o);
      IO::ADDNAME(p.emnames[j], -7, o);
      firstvalue(p.ideal[j], 6, 12, o);
      IO::ADDREAL(p.gamma[j], 6, false, 12, o);
      IO::ADDREAL(p.activity[j], 6, false, 12, o);
      IO::ADDREAL(p.p[j], 5, false, 12, o);
      if (!EXBUFF) {
        IO::ADDSTR(eightdecimals(p.gem[j]), 17, o);
        IO::ADDSTR(eightdecimals(p.rtlna[j]), 16, o);
      }
      IO::PUTSTR(0, o, 1, ic);
    }
  }
}

}  // namespace

void PRINTIC() {
  ZQNLE2::whereat("+printic");
  const smallint d = on(CONTROLJX.moreprec) ? 8 : 5;
  const smallint w = static_cast<smallint>(d + 4);
  std::string& o = IO::OSTR;
  IO::PUTSTR(1, icrule, 1, ic);
  o.clear();
  for (smallint i = 1; i <= SU.nph; ++i) o += SU.ph[i].name + " ";
  o += " {";
  IO::ADDREAL(SU.pressure, 4, true, 0, o);
  o += ", ";
  IO::ADDREAL(ZQNLE2::celsius(SU.temperature), 3, true, 0, o);
  o += "}  kbar/C";
  IO::PUTSTR(1, o, 1, ic);
  o.clear();
  if (OVARIANCE != VARIANCE) {
    o += "ovar = ";
    IO::ADDINT(SU.ovariance, 0, o);
    o += "; ";
  }
  o += "var = ";
  IO::ADDINT(SU.variance, 0, o);
  o += seensuffix();
  IO::PUTSTR(0, o, 2, ic);
  variables(5, 10, "   sd");
  IO::PUTSTR(1, "site fractions", 1, ic);
  sitefractions();
  IO::PUTSTR(1, "oxide compositions", 1, ic);
  oxidecompositions();
  if (seen() && !DOGMIN) modetables(d, w);
  if (!EXBUFF) phaseproperties(d, w);
  endmembers(d, w);
  ZQNLE2::whereat("-printic");
}

void PRINTICOMBRY() {
  ZQNLE2::whereat("+printicombry");
  std::string& o = IO::OSTR;
  IO::PUTSTR(1, icrule, 1, ic);
  IO::PUTSTR(1, "Conditions and assemblage", 0, ic);
  o = "pressure     ";
  IO::ADDREAL(SU.pressure, 4, true, 0, o);
  IO::PUTSTR(1, o + "  kbar", 0, ic);
  o = "temperature  ";
  IO::ADDREAL(ZQNLE2::celsius(SU.temperature), 4, true, 0, o);
  IO::PUTSTR(1, o + " " + macroman::degree_s + "C", 0, ic);
  o = "phases       ";
  for (smallint i = 1; i <= SU.nph; ++i) o += SU.ph[i].name + " ";
  IO::PUTSTR(1, o, 0, ic);
  o = "variance     ";
  IO::ADDINT(SU.ovariance, 0, o);
  IO::PUTSTR(1, o + seensuffix(), 2, ic);
  IO::PUTSTR(1, "SOLVARINTH compositional variables", 1, ic);
  variables(8, 11, "   sdxyz");
  IO::PUTSTR(2, "Site fractions", 1, ic);
  sitefractions();
  IO::PUTSTR(2, "Oxide compositions", 1, ic);
  oxidecompositions();
  if (seen() && !DOGMIN) ombrymodes();
  if (!EXBUFF) ombryproperties();
  ombryendmembers();
  ZQNLE2::whereat("-printicombry");
}

}  // namespace ZQNLE1
