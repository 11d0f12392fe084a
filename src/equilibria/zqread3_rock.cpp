// The rock's minerals as a bulk: each mineral's solution phase, the
// measured compositional variables of all of them with their covariance,
// and the bulk (with its log-ratios) that given variables and the "rbi"
// modes make.
#include <string>

#include "equilibria/zqread3.h"
#include "equilibria/zqread3_logratio.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

namespace {

constexpr extended integerwithin = 1e-5L;  // a listed amount this near an integer is written as one
constexpr smallint namewidth = -8;         // field of a phase or end-member name in the listings
constexpr smallint valuewidth = 10;        // field of a number in the listings
constexpr smallint modeplaces = 4;         // decimals of a mode or proportion
constexpr smallint amountplaces = 6;       // decimals of an amount

// Order variables are not measured: they are held at 0.
smallint unmeasured(const ptype1& p) {
  smallint n = 0;
  for (long v = 1; v <= p.nvar; ++v)
    if (p.xvar[v].isorder) ++n;
  return n;
}

void addamount(extended v, std::string& s) { IO::ADDWHOLEORREAL(v, integerwithin, amountplaces, valuewidth, s); }

// One row of the "rbi"-form listing.
void listrow(const sstring& name, extended mode, const cvector& comp) {
  std::string s;
  IO::ADDNAME(name, namewidth, s);
  IO::ADDREAL(mode, modeplaces, true, valuewidth, s);
  for (long j = 1; j <= NUV; ++j) addamount(comp[j], s);
  IO::WRITETERMINAL(s + "\n");
}

// Adds mode x comp per atom to the bulk.
void addperatom(const sstring& name, extended mode, const cvector& comp, cvector& all) {
  extended atoms = 0;
  for (long j = 1; j <= NUV; ++j) atoms += comp[j] * ICOMP[j];
  if (!(atoms > 0)) IO::ERROREXIT("calc covbp", "rbi phase without composition: " + name, yourfault);
  for (long j = 1; j <= NUV; ++j) all[j] += mode * comp[j] / atoms;
}

// Each end-member's proportion in phase p at x and its share of each
// component, to standard output.
void listcontributions(const ptype1& p, const eqvector& x) {
  IO::WRITETERMINAL("mineral composition contributions from end-members\n");
  for (long e = 1; e <= p.nprop; ++e) {
    const extended pe = ZQUTE1::SUBSTERM(p.prop[e], x, 1);
    std::string s;
    IO::ADDNAME(p.em[e].name, namewidth, s);
    IO::ADDREAL(pe, modeplaces, true, valuewidth, s);
    for (long j = 1; j <= NUV; ++j)
      addamount(pe * static_cast<extended>(p.em[e].comp[j]) / static_cast<extended>(COMPDIV[j]), s);
    IO::WRITETERMINAL(s + "\n");
  }
}

// The formula composition of rock mineral m at the variables of xyz from
// next on; next moves past them.
void mineralcomposition(const mineraltype& m, const xyzvector& xyz, long& next, cvector& comp, smallint printlevel) {
  const ptype1& p = (*PREC1)[m.phase];
  eqvector x{"calcbp x"};
  for (long v = 1; v <= p.nvar; ++v) x[v] = p.xvar[v].isorder ? 0 : xyz[++next];
  if (printlevel >= 2) listcontributions(p, x);
  ZQUTE1::PHASECOMPOSITION(p, x, comp);
}

}  // namespace

void MINERALSETUP() {
  for (long m = 1; m <= NMIN; ++m) {
    mineraltype& mn = MINERAL[m];
    smallint k = 0;
    for (long i = 1; i <= NPSS && k == 0; ++i)
      if ((*PREC1)[i].name == mn.name) k = static_cast<smallint>(i);
    if (k == 0) IO::ERROREXIT("calc covbp", "unrecognised phase, " + mn.name, yourfault);
    mn.phase = k;
    const ptype1& p = (*PREC1)[k];
    if (p.nvar != mn.nxyz + unmeasured(p)) IO::ERROREXIT("mineral setup", "phase size mismatch", yourfault);
  }
}

void CALCROCKXYZ() {
  NROCKXYZ = 0;
  ROCKVXYZ.fill(0);
  for (long m = 1; m <= NMIN; ++m) {
    const mineraltype& mn = MINERAL[m];
    if (NROCKXYZ + mn.nxyz > maxrockxyz)
      IO::ERROREXIT("calc covbp", "too many measured compositional variables in the rock", yourfault);
    const smallint first = NROCKXYZ;
    for (long a = 1; a <= mn.nxyz; ++a) {
      ROCKXYZ[first + a] = mn.xyz[a];
      for (long b = 1; b <= mn.nxyz; ++b) ROCKVXYZ(first + a, first + b) = mn.sdxyz[a] * mn.corxyz(a, b) * mn.sdxyz[b];
    }
    NROCKXYZ = static_cast<smallint>(first + mn.nxyz);
  }
}

void CALCBP(IO::rrvector& bulk, IO::rrvector& bp, const xyzvector& xyz, smallint printlevel) {
  cvector all{"calcbp all"}, comp{"calcbp comp"};
  all.fill(0);
  if (printlevel >= 1) IO::WRITETERMINAL("rbi-form, compositions calculated from input mineral xyz \n");
  long next = 0;
  for (long m = 1; m <= NMIN; ++m) {
    const mineraltype& mn = MINERAL[m];
    mineralcomposition(mn, xyz, next, comp, printlevel);
    addperatom(mn.name, RBIMODE[m], comp, all);
    if (printlevel >= 1) listrow(mn.name, RBIMODE[m], comp);
  }
  const long minerals = NMIN > 0 ? NMIN : 0;
  for (long j = 1; j <= NP0; ++j) {
    const ptype0& p = (*PREC0)[j];
    // The phase that sets the activity variable is not part of the rock.
    if (NLNA >= 1 && p.name == LNANAME[1]) continue;
    for (long c = 1; c <= NUV; ++c) comp[c] = static_cast<extended>(p.comp[c]) / static_cast<extended>(COMPDIV[c]);
    addperatom(p.name, RBIMODE[minerals + j], comp, all);
    if (printlevel >= 1) listrow(p.name, RBIMODE[minerals + j], comp);
  }
  extended sum = 0;
  smallint k = 0;
  for (long j = 1; j <= NUV; ++j) {
    if (!BCOMPS[j]) continue;
    bulk[++k] = all[j];
    sum += all[j];
  }
  if (sum > 0)
    for (long i = 1; i <= k; ++i) bulk[i] = 100 * bulk[i] / sum;
  CALCCOVBP_LOGRATIOS(bulk, bp);
}

}  // namespace ZQREAD3
