// The reactions among the calculation's end-members linearised about one
// P-T point as delta G^0 = a + bT + cP, and the departure of that form from
// the full calculation over a grid, reaction by reaction.
#include <string>
#include <vector>

#include "frame/bytes.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "model/zqcalc1.h"
#include "model/zqre.h"
#include "utilities/zqmode0.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

namespace {

const std::string listindent = "   ";  // opens a line that goes on with a list of the drawing data

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
  std::vector<linear> l(static_cast<std::size_t>(NR + 1));
  for (smallint r = 1; r <= NR; ++r) l[static_cast<std::size_t>(r)] = linearise(r);
  // The end-members' coefficients and a, b, c in as many blocks as the
  // line's length needs; in the drawing data each row goes on in the next line.
  const long ncols = NCV + 3;
  IO::PUTTABLE(
      1 + NR, ncols,
      [](long row, std::string& line) {
        if (row == 1)
          line += std::string(5, ' ');
        else
          IO::ADDINT(row - 1, 5, line);
      },
      [&](long row, long k, std::string& line) {
        static const char* const abc[] = {"a", "b", "c"};
        if (row == 1) {
          IO::ADDNAME(k <= NCV ? std::string(NAME[k]) : std::string(abc[k - NCV - 1]), k <= NCV ? 5 : 10, line);
          return;
        }
        const linear& c = l[static_cast<std::size_t>(row - 1)];
        if (k <= NCV) {
          const smallint nu = (*R)(static_cast<smallint>(row - 1), k);
          if (nu == 0)
            IO::ADDSTR(".", 5, line);
          else
            IO::ADDINT(nu, 5, line);
        } else if (k == NCV + 1) {
          IO::ADDREAL(c.a, 4, false, 10, line);
        } else if (k == NCV + 2) {
          IO::ADDREAL(c.b, 5, true, 10, line);
        } else {
          IO::ADDREAL(c.c, 3, true, 10, line);
        }
      },
      0, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "(* reaction thermo linearised " + where() + " *)", 2, CHANNEL::DRAWING);
  for (smallint r = 1; r <= NR; ++r) {
    const linear& c = l[static_cast<std::size_t>(r)];
    std::string head = r == 1 ? "{{" : " {";
    IO::ADDINT(r, 4, head);
    head += ",";
    IO::PUTROW(
        0, head, ncols,
        [&](long k, std::string& list) {
          if (k <= NCV) {
            const smallint nu = (*R)(r, k);
            if (nu == 0) {
              IO::ADDSTR("0,", 6, list);
            } else {
              IO::ADDINT(nu, 5, list);
              list += ",";
            }
            return;
          }
          IO::ADDREAL(k == NCV + 1 ? c.a : k == NCV + 2 ? c.b : c.c, k == NCV + 1 ? 4 : k == NCV + 2 ? 5 : 3,
                      k != NCV + 1, 10, list);
          list += k < ncols ? "," : r == NR ? "}};" : "},";
        },
        1, CHANNEL::DRAWING, "", listindent);
  }
}

// Reaction r against its linear form over the grid, as departures in the
// text and as the full delta G^0 in the list; the text in as many blocks
// as the line's length needs, each list going on in the next line.
void errormatrix(smallint r, const emvector& p, smallint np, const emvector& t, smallint nt) {
  const linear l = linearise(r);
  std::vector<std::vector<extended>> dg0(static_cast<std::size_t>(np + 1),
                                         std::vector<extended>(static_cast<std::size_t>(nt + 1)));
  for (long i = 1; i <= np; ++i)
    for (long j = 1; j <= nt; ++j)
      dg0[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = dg0at(r, p[i], t[j]);
  auto at = [&](long i, long j) { return dg0[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]; };
  IO::PUTTABLE(
      1 + np, nt,
      [&](long row, std::string& line) {
        if (row == 1)
          line += std::string(8, ' ');
        else
          IO::ADDREAL(p[row - 1], 2, true, 8, line);
      },
      [&](long row, long j, std::string& line) {
        if (row == 1)
          IO::ADDREAL(t[j] - CONST::KELVIN, 2, true, 8, line);
        else
          IO::ADDREAL(at(row - 1, j) - (l.a + l.b * t[j] + l.c * p[row - 1]), 2, true, 8, line);
      },
      1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(2, "(* reaction thermo for (" + IO::INT2STR(r) + ") *)", 0, CHANNEL::DRAWING);
  IO::PUTROW(
      1, "{", np,
      [&](long i, std::string& line) {
        IO::ADDREAL(p[i], 2, true, 8, line);
        line += i < np ? "," : "};";
      },
      1, CHANNEL::DRAWING, "", listindent);
  IO::PUTROW(
      0, "{", nt,
      [&](long j, std::string& line) {
        IO::ADDREAL(t[j], 2, true, 8, line);
        line += j < nt ? "," : "};";
      },
      2, CHANNEL::DRAWING, "", listindent);
  for (long i = 1; i <= np; ++i)
    IO::PUTROW(
        0, i == 1 ? "{{" : " {", nt,
        [&](long j, std::string& list) {
          IO::ADDREAL(at(i, j), 4, true, 10, list);
          if (j < nt) list += ",";
          if (j == nt) list += i < np ? "}," : "}};";
        },
        1, CHANNEL::DRAWING, "", listindent);
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
  ZQUTE1::PHYSICALP(FIXEDP, "P", "rthermo");
  ZQUTE1::PHYSICALT(FIXEDT, "T", "rthermo");
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
