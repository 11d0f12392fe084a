// The solver's narration at debug levels 2 to 4, and the check of the
// analytic Jacobian against forward differences at the start point.
#include <cmath>
#include <memory>
#include <string>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "frame/zqglobal_nle.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"
#include "model/zqcalc1.h"
#include "model/zqmath2.h"
#include "model/zqmath2_run.h"

using namespace ZQGLOBAL;

namespace ZQMATH2 {

namespace {

constexpr smallint dashes = 59;          // rule above a line search's table
constexpr smallint leadblanks = 62;      // indent of the first pair of the unknowns listing
constexpr smallint laterblanks = 82;     // indent of the later pairs
constexpr smallint perpair = 13;         // unknowns beyond P and T in one pair
constexpr extended smallentry = 1e-8L;   // analytic entries below this are not compared
constexpr extended reltol = 1e-4L;       // relative disagreement that counts
constexpr smallint itemised = 6;         // differences named in the report line
constexpr extended notmoved = 100;       // maxdx before any trial moved: shown blank

std::string one(char c) { return std::string(1, c); }

// The Jacobian the check's evaluations are given and never read, made once.
eqmatrix& scratchjacobian() {
  static std::unique_ptr<eqmatrix> j;
  if (!j) j = std::make_unique<eqmatrix>("fdcheckjac scratch");
  return *j;
}

}  // namespace

void nlerun::PRINTHEADER() {
  if (traceline < 2) {
    if (iter < 2 && DEBUGLEVEL < 4) STARTINGGUESSES();
    IO::PUTSTR(1, std::string(dashes, '-'), 1, CHANNEL::TERMSUMLOG);
  }
  std::string line = " ";
  if (DEBUGLEVEL == 2) {
    line += IO::BLANKSTRING(6);
  } else if (DEBUGLEVEL == 4) {
    IO::ADDINT(iter, -4, line);
  } else {
    IO::ADDINT(iter, -2, line);
    IO::ADDINT(traceline, 2, line);
  }
  IO::ADDSTR("f", 7, line);
  IO::ADDSTR("slope", 12, line);
  IO::ADDSTR("step", DEBUGLEVEL == 2 ? 10 : 14, line);
  IO::ADDSTR("maxe", 13, line);
  IO::ADDSTR("maxdx", 10, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
}

void nlerun::PRINTINFO(char kind, char mark, extended f, extended slope, extended s) {
  ++traceline;
  if (DEBUGLEVEL == 4 && traceline == 1) PRINTHEADER();
  const bool brief = DEBUGLEVEL == 2;
  std::string line = NEARSING ? "@" : " ";
  if (brief) IO::ADDINT(iter, -2, line);
  line += brief ? ' ' : kind;
  IO::ADDREAL(f, 4, false, 10, line);
  IO::ADDREAL(slope, 4, false, 12, line);
  const smallint width = brief ? 10 : 14;
  if (s == 1)
    IO::ADDSTR("1", width, line);
  else
    IO::ADDREAL(s, brief ? 4 : 8, false, width, line);
  IO::ADDSTR(one(mark), 2, line);
  IO::ADDREAL(maxe, 4, false, 11, line);
  if (maxdx == notmoved || maxdx == 0)
    line += IO::BLANKSTRING(10);
  else
    IO::ADDREAL(maxdx, 4, false, 10, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  if (brief) INTERMEDIATE();
}

void nlerun::INTERMEDIATE() {
  std::string names = IO::BLANKSTRING(leadblanks), values = names;
  bool written = false;
  for (long i = 1; i <= NX + NXP; ++i) {
    if (i == 1)
      IO::ADDSTR("P(kbar)", 10, names);
    else if (i == 2)
      IO::ADDSTR(std::string("T(") + macroman::degree + "C)", 10, names);
    else
      IO::ADDNAME(XNAME[i], 10, names);
    extended u = X[i];
    if (BX[i]) {
      u = (X[i] - XFACB[i]) / XFACA[i];
      if (i > NX) u = u / PHI;
    }
    if (i == 1)
      IO::ADDREAL(u, 4, true, 10, values);
    else if (i == 2)
      IO::ADDREAL(u - CONST::KELVIN, 4, true, 10, values);
    else
      IO::ADDREAL(u, 4, false, 10, values);
    written = false;
    if (i > 2 && (i - 2) % perpair == 0) {
      IO::PUTSTR(0, names, 1, CHANNEL::TERMSUMLOG);
      IO::PUTSTR(0, values, 1, CHANNEL::TERMSUMLOG);
      names = values = IO::BLANKSTRING(laterblanks);
      written = true;
    }
  }
  if (!written) {
    IO::PUTSTR(0, names, 1, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, values, 1, CHANNEL::TERMSUMLOG);
  }
}

// The evaluations below run with NLESTEPIT 0, so that the equations print
// nothing of their own; x and r end as they came, jac is never written. A
// probe that cannot be evaluated is passed over, and the trace says so.
void nlerun::FDCHECKJAC(eqvector& x, eqmatrix& j, eqvector& r) {
  const smallint saved = NLESTEPIT;
  NLESTEPIT = 0;
  const eqvector x0 = x, r0 = r;
  eqmatrix& scratch = scratchjacobian();
  ZQCALC2::PRINTJAC("jacobian", j, 0, 4, false, CHANNEL::TERMSUMLOG);
  long count = 0;
  std::string items;
  smallint c = 0;
  {
    // Every probe holds the model's choices at the point, recorded by
    // evaluating it once more.
    ZQCALC1::HELDSTEP hold;
    PROBE(x0, scratch, r);
    for (long i = 1; i <= NX + NXP; ++i) {
      if (!BX[i]) continue;
      ++c;
      // Order variables are solved by their own rules; their columns are not
      // compared.
      if (i <= NX && !XNAME[i].empty() && XNAME[i][0] == 'Q') continue;
      x = x0;
      x[i] = x[i] + fdstep;
      hold.STEPPED();
      // A point that cannot be evaluated has no residuals to compare.
      if (!PROBE(x, scratch, r)) {
        IO::PUTSTR(0, "jacobian: " + XNAME[i] + " + fd step cannot be evaluated: column not checked", 1,
                   CHANNEL::TERMSUMLOG);
        continue;
      }
      for (long row = 1; row <= nfree; ++row) {
        const extended a = j(row, c);
        if (!(std::fabs(a) >= smallentry)) continue;
        const extended q = ((r[row] - r0[row]) / fdstep) / a;
        if (!(std::fabs(q - 1) > reltol)) continue;
        if (++count > itemised) continue;
        items += "eq" + IO::INT2STR(row) + "," + XNAME[i] + " = ";
        IO::ADDREAL(q - 1, 4, false, 0, items);
        items += "; ";
      }
    }
  }
  std::string line;
  if (count == 0)
    line = "jacobian: no difference with fd";
  else
    line = "jacobian: prop diff with fd: " + items +
           (count <= itemised ? std::string(": just these") : ": of " + IO::INT2STR(count) + " in all");
  IO::PUTSTR(1, line, DEBUGLEVEL == 3 ? 2 : 1, CHANNEL::TERMSUMLOG);
  x = x0;
  EQUATIONS(x, scratch, r, false);
  NLESTEPIT = saved;
}

}  // namespace ZQMATH2
