// The end-member table: the data-set parameters of every end-member of the
// calculation, made end-members with the rows of what they are made from,
// then G on the table grid as text and as lists on the drawing data file.
#include <cmath>
#include <string>

#include "frame/bytes.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc1.h"
#include "utilities/zqmode0.h"
#include "utilities/zqmode0_text.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

namespace {

constexpr extended perJ = 1000;      // kJ/K shown as J/K
constexpr extended per1e5 = 100000;  // small coefficients shown times 10^5
constexpr int cdblank = 18;          // the width of the c and d columns together
constexpr int aqwidth = 9;
constexpr int odwidth = 8;

long nearest(extended x) { return std::lround(x); }

// A pressure-explicit row of the newest data set has no c and d.
bool nocd(long k) {
  const long type = nearest((*TD)(k, TDSLOT::CODE));
  return DSMODE == 7 && type >= 3 && type <= 5;
}

void blanks(int n, std::string& line) { line += std::string(static_cast<std::size_t>(n), ' '); }

// H, S and V: the columns every row opens with after its name.
void hsv(long k, std::string& line) {
  const tdmatrix& td = *TD;
  IO::ADDREAL(td(k, TDSLOT::H), 2, true, 11, line);
  IO::ADDREAL(td(k, TDSLOT::S) * perJ, 2, true, 9, line);
  IO::ADDREAL(td(k, TDSLOT::V), 3, true, 9, line);
}

// The parameter columns of row k after H, S and V.
void parameters(long k, bool oldgen, bool cdflag, smallint a0width, std::string& line) {
  const tdmatrix& td = *TD;
  IO::ADDREAL(td(k, TDSLOT::CPA), 4, true, 9, line);
  IO::ADDREAL(td(k, TDSLOT::CPB) * per1e5, 4, true, 9, line);
  if (nocd(k)) {
    if (cdflag) blanks(cdblank, line);
  } else {
    IO::ADDREAL(td(k, TDSLOT::CPC), 1, true, 9, line);
    IO::ADDREAL(td(k, TDSLOT::CPD), 4, true, 9, line);
  }
  const extended dkdt = td(k, TDSLOT::DKDT);
  if (oldgen) {
    IO::ADDREAL(td(k, TDSLOT::ALPHA0) * per1e5, 3, false, 9, line);
    IO::ADDREAL(td(k, TDSLOT::K0), 2, true, 9, line);
    IO::ADDINT(td(k, TDSLOT::KPP), 9, line);
    IO::ADDREAL(td(k, TDSLOT::THETA), 2, true, 9, line);
    IO::ADDREAL(dkdt, 4, true, 9, line);
  } else {
    IO::ADDREAL(td(k, TDSLOT::ALPHA0) * per1e5, 3, false, a0width, line);
    if (dkdt < 0)
      blanks(9, line);
    else
      IO::ADDINT(td(k, TDSLOT::THETA), 9, line);
    IO::ADDINT(td(k, TDSLOT::K0), 9, line);
    IO::ADDREAL(td(k, TDSLOT::KP), 2, true, 9, line);
    IO::ADDREAL(td(k, TDSLOT::KPP), 4, true, 9, line);
    if (dkdt < 0)
      IO::ADDREAL(dkdt, 4, true, aqwidth, line);
    else if (td(k, TDSLOT::AQ) != 0)
      IO::ADDREAL(td(k, TDSLOT::AQ), 2, true, aqwidth, line);
    else
      blanks(aqwidth, line);
  }
  if (td(k, TDSLOT::SMAX) > 0) {
    IO::ADDREAL(td(k, TDSLOT::TCRIT), 0, true, odwidth, line);
    IO::ADDREAL(td(k, TDSLOT::SMAX) * perJ, 1, true, odwidth, line);
    IO::ADDREAL(td(k, TDSLOT::VMAX), 4, true, odwidth, line);
  } else if (td(k, TDSLOT::BWN) > 0) {
    IO::ADDREAL(td(k, TDSLOT::BWDH), 2, true, odwidth, line);
    IO::ADDREAL(td(k, TDSLOT::BWDV), 3, true, odwidth, line);
    IO::ADDREAL(td(k, TDSLOT::BWW), 2, true, odwidth, line);
    IO::ADDREAL(td(k, TDSLOT::BWWV), 3, true, odwidth, line);
    IO::ADDREAL(td(k, TDSLOT::BWF), 2, true, odwidth, line);
    IO::ADDINT(td(k, TDSLOT::BWN), 6, line);
  }
}

void headings(bool cdflag) {
  std::string line;
  blanks(7, line);
  IO::ADDSTR("H", 12, line);
  for (const char* h : {"S", "V", "a", "b"}) IO::ADDSTR(h, 9, line);
  if (DSMODE == 7) {
    if (cdflag) blanks(cdblank, line);
  } else {
    IO::ADDSTR("c", 9, line);
    IO::ADDSTR("d", 9, line);
  }
  if (WITHOLDSET) {
    for (const char* h : {"a1", "a2", "K", "K'", "dK/dT"}) IO::ADDSTR(h, 9, line);
  } else {
    for (const char* h : {"a0", "theta", "K0", "K0'", "K0''", "dK/dT"}) IO::ADDSTR(h, 9, line);
  }
  for (const char* h : {"Tc", "Smax", "Vmax"}) IO::ADDSTR(h, odwidth, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  if (WITHOLDSET) return;
  line.clear();
  blanks(cdflag ? 136 : 118, line);
  IO::ADDSTR("aqcp", aqwidth, line);
  for (const char* h : {"dh", "dhv", "w", "wv", "fac"}) IO::ADDSTR(h, odwidth, line);
  IO::ADDSTR("n", 6, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
}

// The constituents of the recipe that made row k, as positions in NAME.
void recipe(long k, smallint& n, const makeitype*& pos) {
  const long phase = nearest((*TD)(k, TDSLOT::MAKEPHASE));
  const long number = nearest((*TD)(k, TDSLOT::MAKEEM));
  if (phase == 0) {
    const ptype0& p = (*PREC0)[number];
    n = p.nmake;
    pos = &p.makepos;
  } else {
    const emtype& em = (*PREC1)[phase].em[number];
    n = em.nmake;
    pos = &em.makepos;
  }
}

void parametertable() {
  bool cdflag = false;
  if (DSMODE == 7)
    for (long k = 1; k <= NCV; ++k)
      if ((*TD)(k, TDSLOT::CODE) < 3) cdflag = true;
  IO::PUTSTR(2, "Thermodynamic properties (units : kJ, K, kbar)", 1, CHANNEL::TERMSUMLOG);
  if (!WITHOLDSET)
    IO::PUTSTR(0, "(for \"make\": DQF and the thermo of what they are made from)", 2, CHANNEL::TERMSUMLOG);
  headings(cdflag);
  for (long k = 1; k <= NCV; ++k) {
    std::string line;
    IO::ADDNAME(NAME[k], -8, line);
    hsv(k, line);
    if (nearest((*TD)(k, TDSLOT::MAKEEM)) == 0) {
      parameters(k, WITHOLDSET, cdflag, 9, line);
    } else {
      IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
      smallint n = 0;
      const makeitype* pos = nullptr;
      recipe(k, n, pos);
      // A recipe of the pure phases narrows the expansion column.
      const smallint a0width = nearest((*TD)(k, TDSLOT::MAKEPHASE)) == 0 ? 7 : 9;
      line.clear();
      for (long m = 1; m <= n; ++m) {
        if (m > 1) IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
        const long c = (*pos)[m];
        line = "   ";
        IO::ADDNAME(NAME[c], 5, line);
        hsv(c, line);
        parameters(c, false, cdflag, a0width, line);
      }
    }
    IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  }
}

extended gibbs(long k, extended p, extended t) {
  (*TD)(k, TDSLOT::XCO2) = 0;
  (*TD)(k, TDSLOT::XH2O) = 0;
  extended g = 0;
  ZQCALC1::GEMDRIVER(static_cast<smallint>(k), p, t, g);
  return g;
}

std::string celsius(extended t) { return IO::INT2STR(t - CONST::KELVIN); }

void gtables(const emvector& p, smallint np, const emvector& t, smallint nt) {
  const bool single = np == 1 && nt == 1;
  if (single) {
    IO::PUTSTR(0,
               "G at " + IO::REAL2STR(p[1], 3, true) + " kbar and " + IO::REAL2STR(t[1] - CONST::KELVIN, 2, true) +
                   " " + utf8text::degree_s + "C",
               2, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, "", 1, CHANNEL::DRAWING);
    for (long k = 1; k <= NCV; ++k) {
      std::string line;
      IO::ADDNAME(NAME[k], 6, line);
      line += " =";
      // Ten decimals of a G of some hundred kJ: more digits than the
      // program's number text carries.
      IO::PUTSTR(0, line + IO::FIXEDPOINT(gibbs(k, p[1], t[1]), 16, 10), 1, CHANNEL::TERMSUMLOG);
    }
    return;
  }
  // Each table in as many blocks of temperatures as the line's length needs.
  for (long k = 1; k <= NCV; ++k) {
    IO::PUTSTR(1, "G(" + NAME[k] + ")", 2, CHANNEL::TERMSUMLOG);
    IO::PUTTABLE(
        1 + np, nt,
        [&](long row, std::string& line) {
          if (row == 1) {
            IO::ADDSTR("kbar", 7, line);
            line += std::string(" ") + utf8text::degree_s + "C";
            return;
          }
          if (row == 2 && p[1] == CONST::PR)
            IO::ADDSTR("0.001", 7, line);
          else
            IO::ADDREAL(p[row - 1], 1, true, 7, line);
          line += "   ";
        },
        [&](long row, long j, std::string& line) {
          if (row == 1)
            IO::ADDSTR(celsius(t[j]), 12, line);
          else
            IO::ADDREAL(gibbs(k, p[row - 1], t[j]), 4, true, 12, line);
        },
        0, CHANNEL::TERMSUMLOG);
  }
}

void glists(const emvector& p, smallint np, const emvector& t, smallint nt) {
  LISTWRITER lp("lp = {", "      ");
  for (long i = 1; i <= np; ++i) lp.add(IO::REAL2STR(p[i], 3, true), 8, i == np, "};");
  LISTWRITER lt("lt = 273.15 + {", "      ");
  for (long j = 1; j <= nt; ++j) lt.add(IO::REAL2STR(t[j] - CONST::KELVIN, 1, true), 8, j == nt, "};");
  for (long k = 1; k <= NCV; ++k) {
    if (np == 1 && nt == 1) {
      std::string line;
      IO::ADDSTR("G[" + NAME[k] + "] ^= {{", 15, line);
      IO::ADDREAL(gibbs(k, p[1], t[1]), 8, false, 12, line);
      IO::PUTSTR(0, line + "}};", 1, CHANNEL::DRAWING);
      continue;
    }
    IO::PUTSTR(1, "G[" + NAME[k] + "] ^= {", 2, CHANNEL::DRAWING);
    for (long i = 1; i <= np; ++i) {
      LISTWRITER row("    {", "     ", 0);
      for (long j = 1; j <= nt; ++j)
        row.add(IO::REAL2STR(gibbs(k, p[i], t[j]), 8, false), 18, j == nt, i == np ? "}};" : "},");
    }
  }
}

}  // namespace

void EMTABLE() {
  parametertable();
  emvector p{"grid P"}, t{"grid T"};
  smallint np = 0, nt = 0;
  GETPTGRID(p, np, t, nt);
  gtables(p, np, t, nt);
  glists(p, np, t, nt);
}

}  // namespace ZQMODE0
