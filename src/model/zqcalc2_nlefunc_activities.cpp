// The activities of one evaluation and the derivatives of RT ln a, listed,
// and those derivatives checked against forward differences.
#include <cmath>
#include <string>

#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"

using namespace ZQGLOBAL;

namespace ZQCALC2 {

namespace {

constexpr longint mask = CHANNEL::TERMSUMLOG;
constexpr smallint perpair = 20;          // end-members in one pair of activity lines
constexpr smallint cellwidth = 10;        // derivative listing: 4 digits and their company
constexpr smallint perblock = 242 / cellwidth;  // end-members in one block
constexpr smallint maxblocks = 10;
constexpr extended zeroderiv = 1e-8L;     // derivatives at or below this count as zero
constexpr extended pstep = 0.001L;        // forward steps: P (kbar), T (K), other unknowns
constexpr extended tstep = 0.01L;
constexpr extended xstep = 1e-7L;
constexpr extended reltol = 1e-4L;
constexpr smallint itemised = 6;

void cell(extended v, std::string& line) {
  if (std::fabs(v) <= zeroderiv)
    IO::ADDSTR("-", cellwidth, line);
  else
    IO::ADDREAL(v, 4, false, cellwidth, line);
}

}  // namespace

void nlefuncstate::PRINTACTIVITY() {
  IO::PUTSTR(1, "activity", 1, mask);
  std::string& names = IO::WSTRH;
  std::string& values = IO::WSTR;
  names.clear();
  values.clear();
  for (long i = 1; i <= NCV; ++i) {
    IO::ADDNAME(NAME[i], 11, names);
    IO::ADDREAL(ACTIVITY[i], 5, false, 11, values);
    if (i % perpair == 0) {
      IO::PUTSTR(0, names, 1, mask);
      IO::PUTSTR(0, values, 1, mask);
      names.clear();
      values.clear();
    }
  }
  if (NCV % perpair != 0) {
    IO::PUTSTR(0, names, 1, mask);
    IO::PUTSTR(0, values, 1, mask);
    names.clear();
    values.clear();
  }
}

void nlefuncstate::PRINTDLNADXYZ() {
  IO::PUTSTR(1, "dRTlna/dx etc", 1, mask);
  for (long b = 1; b <= maxblocks; ++b) {
    const long first = (b - 1) * perblock + 1;
    if (first > NCV) break;
    const long last = b * perblock < NCV ? b * perblock : NCV;
    std::string line = "   ";
    for (long e = first; e <= last; ++e) IO::ADDNAME(NAME[e], cellwidth, line);
    IO::PUTSTR(b == 1 ? 0 : 1, line, 1, mask);
    line = "dP ";
    for (long e = first; e <= last; ++e) cell(drtlnadp[e], line);
    IO::PUTSTR(0, line, 1, mask);
    line = "dT ";
    for (long e = first; e <= last; ++e) cell(drtlnadt[e], line);
    IO::PUTSTR(0, line, 1, mask);
    for (long c = 3; c <= NX; ++c) {
      line = c == 3 ? "dx " : "   ";
      for (long e = first; e <= last; ++e) cell(drtlnadx(e, c), line);
      IO::PUTSTR(0, line, 1, mask);
    }
  }
}

// The activities are formed at perturbed points with the derivative
// switches off, so the derivative arrays keep the values under test; at
// the end they are formed at the point again and ACTIVITY is restored
// exactly.
void nlefuncstate::FDCHECKDLNADXYZ() {
  constexpr extended rgas = CONST::RGAS;
  const eqvector kept = x;
  emvector& a0 = scratchactivity;
  for (long e = 1; e <= NCV; ++e) a0[e] = ACTIVITY[e];
  long count = 0;
  std::string& line = IO::WSTR;
  line.clear();
  // Every perturbed point holds the model's choices at the point, recorded
  // by forming its activities once more.
  ZQCALC1::HELDSTEP hold;
  CALCA(x, false, false, drtlnadp, drtlnadt, drtlnadx, p, t);
  for (long i = 1; i <= NX; ++i) {
    if (!BX[i]) continue;
    for (long v = 1; v <= NX; ++v) x[v] = kept[v];
    const extended h = i == 1 ? pstep : i == 2 ? tstep : xstep;
    x[i] = x[i] + h;
    p = x[1];
    t = x[2];
    hold.STEPPED();
    CALCA(x, false, false, drtlnadp, drtlnadt, drtlnadx, p, t);
    for (long e = 1; e <= NCV; ++e) {
      if (!(ACTIVITY[e] > 0)) IO::ERROREXIT("fdcheckdlnadxyz", "ln<=0", yourfault);
      const extended fd = (ACTIVITY[e] / a0[e] - 1) * rgas * t / h;
      const extended an = i == 1 ? drtlnadp[e] : i == 2 ? drtlnadt[e] : drtlnadx(e, i);
      extended d = fd;
      if (std::fabs(an) > zeroderiv) d = (i == 2 ? rgas * std::log(a0[e]) + fd : fd) / an - 1;
      if (!(std::fabs(d) > reltol)) continue;
      if (++count == 1) line += "dRTlna/dx: difference with fd: ";
      if (count <= itemised) line += "dx," + NAME[e] + " = " + IO::REAL2STR(d, 4, false) + "; ";
    }
  }
  if (count == 0)
    line += "dRTlna/dx: no difference with fd";
  else if (count > itemised)
    line += ": of" + IO::INT2STR(count) + " in all";
  else
    line += ": just these";
  IO::PUTSTR(1, line, 1, mask);
  for (long v = 1; v <= NX; ++v) x[v] = kept[v];
  p = x[1];
  t = x[2];
  CALCA(x, false, false, drtlnadp, drtlnadt, drtlnadx, p, t);
  for (long e = 1; e <= NCV; ++e) ACTIVITY[e] = a0[e];
}

}  // namespace ZQCALC2
