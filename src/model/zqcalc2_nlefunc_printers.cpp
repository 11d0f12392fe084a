// What one evaluation of the equilibrium equations saw: the mode unknowns
// before and after unscaling, the projection, all unknowns, the residuals,
// ln K, and the phase compositions with a check of their derivatives.
#include <cmath>
#include <string>

#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc2_nlefunc.h"

using namespace ZQGLOBAL;

namespace ZQCALC2 {

namespace {

constexpr longint mask = CHANNEL::TERMSUMLOG;
constexpr smallint xlead = 12;           // indent of the mode lines
constexpr smallint firstpair = 20;       // entries of a first pair of lines
constexpr smallint laterpair = 18;       // entries of the later pairs of PRINTXYZ...
constexpr smallint laterlead = 22;       // ...after this indent
constexpr smallint projcwidth = 7;
constexpr smallint phasewidth = 7;       // phase names of the composition tables
constexpr extended smallderiv = 1e-8L;   // smaller analytic derivatives are not compared
constexpr extended reltol = 1e-4L;
constexpr smallint listed = 7;           // differences named before " etc"

void pair(std::string& names, std::string& values) {
  IO::PUTSTR(0, names, 1, mask);
  IO::PUTSTR(0, values, 1, mask);
}

std::string freenames(smallint width) {
  std::string line;
  for (long k = 1; k <= NUVLEFT; ++k) IO::ADDNAME(freecomponentname(k), width, line);
  return line;
}

std::string phasename(long p) { return p <= NXPSS ? (*PREC1)[MP2SS[p]].name : (*PREC0)[MP2SS[p]].name; }

}  // namespace

std::string freecomponentname(long k) {
  long seen = 0;
  for (long c = 1; c <= NUV; ++c)
    if (BCOMPS[c] && ++seen == k) return COMPNAME[c];
  return "";
}

void nlefuncstate::PRINTX1() {
  IO::PUTSTR(0, IO::WSTR, 1, mask);
  std::string line = IO::BLANKSTRING(xlead);
  for (long v = NX + 1; v <= NX + NXP; ++v)
    if (BX[v]) IO::ADDNAME(XNAME[v], 10, line);
  IO::PUTSTR(0, line, 1, mask);
  line.clear();
  IO::ADDSTR("nlefunc", xlead, line);
  for (long v = NX + 1; v <= NX + NXP; ++v)
    if (BX[v]) IO::ADDREAL(x[v], 5, false, 10, line);
  line += "  pre un";
  const long first = NX < maxeq ? NX + 1 : maxeq;
  IO::ADDREAL(XFACA[first], 5, true, 10, line);
  IO::ADDREAL(XFACB[first], 5, true, 10, line);
  IO::PUTSTR(0, line, 1, mask);
}

void nlefuncstate::PRINTX2() {
  std::string line = IO::BLANKSTRING(xlead);
  extended S = 0;
  for (long v = NX + 1; v <= NX + NXP; ++v) {
    S = S + x[v];
    if (BX[v]) IO::ADDREAL(x[v], 5, false, 10, line);
  }
  line += "  un    ";
  IO::ADDREAL(S, 5, true, 10, line);
  IO::PUTSTR(0, line, 1, mask);
  line = IO::BLANKSTRING(xlead);
  for (long v = NX + 1; v <= NX + NXP; ++v)
    if (BX[v]) IO::ADDREAL(x[v] / PHI, 5, false, 10, line);
  line += "  un/phi = mode";
  IO::PUTSTR(0, line, 1, mask);
}

void nlefuncstate::PRINTPROJC() {
  const std::string head = "projc: (rankdeficit = " + IO::INT2STR(RANKDEFICIT) + ")";
  if (RANKDEFICIT == 0) {
    IO::PUTSTR(0, head + " diagonal", 1, mask);
    return;
  }
  IO::PUTSTR(1, head, 1, mask);
  IO::PUTSTR(0, freenames(projcwidth), 1, mask);
  for (long i = 1; i <= NUVLEFT; ++i) {
    std::string line;
    for (long k = 1; k <= NUVLEFT; ++k) IO::ADDINT(PROJC(i, k), projcwidth, line);
    IO::PUTSTR(0, line, 1, mask);
  }
}

void nlefuncstate::PRINTXYZ() {
  IO::PUTSTR(1, "xyz", 1, mask);
  std::string names, values;
  long count = 0, limit = firstpair;
  for (long v = 1; v <= NX + NXP; ++v) {
    IO::ADDNAME(XNAME[v], 11, names);
    if (v == 1)
      IO::ADDREAL(x[1], 3, true, 11, values);
    else if (v == 2)
      IO::ADDREAL(x[2] - CONST::KELVIN, 4, true, 11, values);
    else
      IO::ADDREAL(x[v], 6, false, 11, values);
    if (++count == limit) {
      pair(names, values);
      names = values = IO::BLANKSTRING(laterlead);
      count = 0;
      limit = laterpair;
    }
  }
  pair(names, values);
}

void nlefuncstate::PRINTRESIDUAL() {
  const eqvector& res = *r;
  extended f = 0;
  for (long i = 1; i <= JROW; ++i) f = f + res[i] * res[i];
  IO::PUTSTR(1, "residuals (f = " + IO::REAL2STR(0.5L * f, 4, false) + ")", 1, mask);
  std::string heads, values;
  for (long i = 1; i <= JROW; ++i) {
    if (i <= NR) {
      IO::ADDINT(i, 11, heads);
      IO::ADDREAL(res[i] * RNSITE[i], 4, false, 11, values);
    } else {
      IO::ADDNAME(freecomponentname(i - NR), 11, heads);
      IO::ADDREAL(res[i], 4, false, 11, values);
    }
    if (i % firstpair == 0) {
      pair(heads, values);
      heads.clear();
      values.clear();
    }
  }
  pair(heads, values);
}

void nlefuncstate::PRINTLNK() {
  IO::PUTSTR(1, "ln K", 1, mask);
  std::string heads, values;
  for (long i = 1; i <= NR; ++i) {
    IO::ADDINT(i, 11, heads);
    IO::ADDREAL(ALNK[i], 6, false, 11, values);
    if (i % firstpair == 0) {
      pair(heads, values);
      heads.clear();
      values.clear();
    }
  }
  pair(heads, values);
}

void nlefuncstate::PRINTCOMPCALC() {
  IO::PUTSTR(1, "compcalc", 1, mask);
  IO::PUTSTR(0, IO::BLANKSTRING(phasewidth) + freenames(11), 1, mask);
  for (long p = 1; p <= NXP; ++p) {
    std::string line;
    IO::ADDNAME(phasename(p), phasewidth, line);
    for (long k = 1; k <= NUVLEFT; ++k) IO::ADDREAL(compcalc(p, k), 5, false, 11, line);
    IO::PUTSTR(0, line, 1, mask);
  }
}

void nlefuncstate::PRINTDCOMPDX() {
  IO::PUTSTR(1, "dcompdx", 1, mask);
  IO::PUTSTR(0, IO::BLANKSTRING(18) + freenames(11), 1, mask);
  for (long p = 1; p <= NXPSS; ++p) {
    const ptype1& ph = (*PREC1)[MP2SS[p]];
    for (long w = 1; w <= ph.nvar; ++w) {
      std::string line = w == 1 ? std::string() : IO::BLANKSTRING(phasewidth);
      if (w == 1) IO::ADDNAME(ph.name, phasewidth, line);
      IO::ADDNAME(ph.xvar[w].name, 11, line);
      for (long k = 1; k <= NUVLEFT; ++k) IO::ADDREAL((*DCOMPDX)[p](k, w), 5, false, 11, line);
      IO::PUTSTR(0, line, 1, mask);
    }
  }
}

// The compositions and their derivatives are formed again at the point
// itself at the end, so that nothing after the check reads a perturbed
// state.
void nlefuncstate::FDCHECKDCOMPDX() {
  const eqvector kept = x;
  const bool wasok = ok;
  std::string& line = IO::WSTR;
  line.clear();
  long count = 0;
  cvector base{"fdcheckdcompdx base"};
  for (long p = 1; p <= NXPSS; ++p) {
    const long e = MP2X[p];
    const ptype1& ph = (*PREC1)[MP2SS[p]];
    for (long k = 1; k <= NUVLEFT; ++k) base[k] = compcalc(p, k);
    for (long w = 1; w <= ph.nvar; ++w) {
      for (long v = 1; v <= NX; ++v) x[v] = kept[v];
      for (long k = 1; k <= NUVLEFT; ++k) compcalc(p, k) = base[k];
      x[e + w - 1] = x[e + w - 1] + compfdstep;
      CALCP();
      for (long k = 1; k <= NUVLEFT; ++k) {
        const extended d = (*DCOMPDX)[p](k, w);
        const extended fd = (compcalc(p, k) - base[k]) / compfdstep;
        if (!(std::fabs(d) >= smallderiv && std::fabs((d - fd) / d) >= reltol)) continue;
        if (++count == 1) line += "dcompdx: difference with fd: ";
        if (count > listed) continue;
        line += ph.xvar[w].name + "," + freecomponentname(k) + " = " + IO::REAL2STR(d - fd, 4, false) + "; ";
      }
    }
    for (long k = 1; k <= NUVLEFT; ++k) compcalc(p, k) = base[k];
  }
  for (long v = 1; v <= NX; ++v) x[v] = kept[v];
  CALCP();
  ok = wasok;
  if (count == 0)
    line += "dcompdx: no difference with fd";
  else if (count >= listed)
    line += " etc";
  IO::PUTSTR(1, line, 1, mask);
}

}  // namespace ZQCALC2
