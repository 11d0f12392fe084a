// The reactions among the calculation's end-members linearised about one
// P-T point as delta G^0 = a + bT + cP, and the departure of that form from
// the full calculation over a grid, reaction by reaction.
#include <string>

#include "frame/bytes.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc1.h"
#include "model/zqre.h"
#include "utilities/zqmode0.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

namespace {

struct linear {
  extended a = 0, b = 0, c = 0;
};

// Reaction r linearised about (FIXEDP, FIXEDT).
linear linearise(smallint r) {
  extended dv = 0, dgdt = 0, dg0 = 0;
  ZQCALC1::CALCDG0(r, dv, dgdt, dg0, FIXEDP, FIXEDT);
  return {dg0 - FIXEDT * dgdt - FIXEDP * dv, dgdt, dv};
}

extended dg0at(smallint r, extended p, extended t) {
  extended dv = 0, dgdt = 0, dg0 = 0;
  ZQCALC1::CALCDG0(r, dv, dgdt, dg0, p, t);
  return dg0;
}

std::string where() {
  return "at P = " + IO::REAL2STR(FIXEDP, 1, true) + " kbar and T = " + IO::INT2STR(FIXEDT - CONST::KELVIN) +
         utf8text::degree_s + "C";
}

void coefficienttable() {
  IO::PUTSTR(1, "(a, b and c includes fluid fugacities, " + where() + ")", 1, CHANNEL::TERMSUMLOG);
  std::string line(5, ' ');
  for (long k = 1; k <= NCV; ++k) IO::ADDSTR(NAME[k], 5, line);
  for (const char* h : {"a", "b", "c"}) IO::ADDSTR(h, 10, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "(* reaction thermo linearised " + where() + " *)", 2, CHANNEL::DRAWING);
  for (smallint r = 1; r <= NR; ++r) {
    const linear l = linearise(r);
    std::string text, list = r == 1 ? "{{" : " {";
    IO::ADDINT(r, 5, text);
    IO::ADDINT(r, 4, list);
    list += ",";
    for (long k = 1; k <= NCV; ++k) {
      const smallint nu = (*R)(r, k);
      if (nu == 0) {
        IO::ADDSTR(".", 5, text);
        IO::ADDSTR("0,", 6, list);
      } else {
        IO::ADDINT(nu, 5, text);
        IO::ADDINT(nu, 5, list);
        list += ",";
      }
    }
    IO::ADDREAL(l.a, 4, false, 10, text);
    IO::ADDREAL(l.b, 5, true, 10, text);
    IO::ADDREAL(l.c, 3, true, 10, text);
    IO::ADDREAL(l.a, 4, false, 10, list);
    list += ",";
    IO::ADDREAL(l.b, 5, true, 10, list);
    list += ",";
    IO::ADDREAL(l.c, 3, true, 10, list);
    list += r == NR ? "}};" : "},";
    IO::PUTSTR(0, text, 1, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, list, 1, CHANNEL::DRAWING);
  }
}

// Reaction r against its linear form over the grid, as departures in the
// text and as the full delta G^0 in the list.
void errormatrix(smallint r, const emvector& p, smallint np, const emvector& t, smallint nt) {
  const linear l = linearise(r);
  std::string line(8, ' ');
  for (long j = 1; j <= nt; ++j) IO::ADDREAL(t[j] - CONST::KELVIN, 2, true, 8, line);
  IO::PUTSTR(1, line, 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(2, "(* reaction thermo for (" + IO::INT2STR(r) + ") *)", 0, CHANNEL::DRAWING);
  line = "{";
  for (long i = 1; i <= np; ++i) {
    IO::ADDREAL(p[i], 2, true, 8, line);
    line += i < np ? "," : "};";
  }
  IO::PUTSTR(1, line, 1, CHANNEL::DRAWING);
  line = "{";
  for (long j = 1; j <= nt; ++j) {
    IO::ADDREAL(t[j], 2, true, 8, line);
    line += j < nt ? "," : "};";
  }
  IO::PUTSTR(0, line, 2, CHANNEL::DRAWING);
  for (long i = 1; i <= np; ++i) {
    std::string text, list = i == 1 ? "{{" : " {";
    IO::ADDREAL(p[i], 2, true, 8, text);
    for (long j = 1; j <= nt; ++j) {
      const extended dg0 = dg0at(r, p[i], t[j]);
      IO::ADDREAL(dg0 - (l.a + l.b * t[j] + l.c * p[i]), 2, true, 8, text);
      IO::ADDREAL(dg0, 4, true, 10, list);
      if (j < nt) list += ",";
    }
    list += i < np ? "}," : "}};";
    IO::PUTSTR(0, text, 1, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, list, 1, CHANNEL::DRAWING);
  }
}

}  // namespace

void RTHERMO() {
  bool ok = false;
  ZQRE::CALCRE(ok);
  if (NR == 0) IO::ERROREXIT("rthermo", "no reactions", yourfault);
  IO::PUTSTR(1, "Thermodynamics of reactions (delta G^0 = a + bT + cP)", 1, CHANNEL::TERMSUMLOG);
  emvector p{"grid P"}, t{"grid T"};
  smallint np = 0, nt = 0;
  // Asked and not used: the error matrix asks for its own grid.
  GETPTGRID(p, np, t, nt);
  IO::PUTSTR(1, "PT about which thermodynamics linearised", 1, CHANNEL::TERMLOG);
  IO::PROMPTREAL("  P", FIXEDP);
  IO::PROMPTREAL(std::string("  T") + utf8text::degree_s + "C", FIXEDT);
  FIXEDT = FIXEDT + CONST::KELVIN;
  coefficienttable();
  IO::PUTSTR(1, "error matrix for linearisation", 1, CHANNEL::TERMLOG);
  bool gridasked = false;
  for (;;) {
    smallint r = 0;
    IO::PROMPTINTEGER("which reaction", r);
    if (r < 1 || r > NR) return;
    if (!gridasked) GETPTGRID(p, np, t, nt);
    gridasked = true;
    errormatrix(r, p, np, t, nt);
  }
}

}  // namespace ZQMODE0
