// The melt of a solved assemblage recast from the system components onto
// the species of the script's "convliq" matrix, in mol% and wt%.
#include <cmath>
#include <cstdio>
#include <string>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqnle3.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;

namespace ZQNLE4 {

namespace {

// A residual at or below this size counts as cleared.
constexpr extended RESIDTINY = 1e-6L;
// Blanks that open each printed line.
constexpr smallint CONVINDENT = 13;

using liqvector = farray<extended, 1, maxconvliqrows>;

// How the peeling ended.
enum class recast { complete, stuck, passlimit };

// The first solution phase of ph named "liq..."; s + 1 its first end-member.
bool findmelt(const bemvector& ph, long& first) {
  long s = 0;
  for (long i = 1; i <= NPSS; ++i) {
    const ptype1& p = (*PREC1)[i];
    if (p.name.compare(0, 3, "liq") == 0 && ph[i]) {
      first = s + 1;
      return true;
    }
    s += p.nprop;
  }
  return false;
}

// Molar mass of each species from the oxide table; a component without an
// oxide of its name adds nothing.
void molarmasses(liqvector& mw) {
  for (long r = 1; r <= CONVLIQROW; ++r) {
    mw[r] = 0;
    for (long j = 1; j <= NUV; ++j) {
      long m = 1;
      while (m <= maxcomp && OXNAME[m] != COMPNAME[j]) ++m;
      if (m <= maxcomp) mw[r] += CONVLIQINFO(r, j) * MOLWT[m];
    }
  }
}

bool residualleft(const cvector& resid) {
  for (long i = 1; i <= NUV; ++i)
    if (std::fabs(resid[i]) > RESIDTINY) return true;
  return false;
}

// The first component with a residual that exactly one unused row holds;
// false when none.
bool nextpeel(const cvector& resid, const farray<bool, 1, maxconvliqrows>& used, long& comp, long& row) {
  for (long j = 1; j <= NUV; ++j) {
    if (!(std::fabs(resid[j]) > RESIDTINY)) continue;
    long found = 0, count = 0;
    for (long r = 1; r <= CONVLIQROW; ++r)
      if (!used[r] && CONVLIQINFO(r, j) != 0) {
        ++count;
        found = r;
      }
    if (count == 1) {
      comp = j;
      row = found;
      return true;
    }
  }
  return false;
}

// Peels the species off the melt one at a time, at most CONVLIQROW passes.
recast peel(cvector& resid, liqvector& n) {
  farray<bool, 1, maxconvliqrows> used{"conv2wt used"};
  for (long r = 1; r <= CONVLIQROW; ++r) {
    n[r] = 0;
    used[r] = false;
  }
  for (long pass = 1; pass <= CONVLIQROW; ++pass) {
    long j = 0, r = 0;
    if (!nextpeel(resid, used, j, r)) return recast::stuck;
    used[r] = true;
    const extended f = resid[j] / CONVLIQINFO(r, j);
    n[r] = f;
    for (long i = 1; i <= NUV; ++i) resid[i] -= CONVLIQINFO(r, i) * f;
    if (!residualleft(resid)) return recast::complete;
  }
  return recast::passlimit;
}

// What is left of the melt, on standard output only.
void writeresidual(const cvector& resid) {
  std::string line = "residual mol = ";
  for (long i = 1; i <= NUV; ++i) {
    if (resid[i] == 0) continue;
    std::string name = COMPNAME[i];
    if (name.size() < 6) name.insert(0, 6 - name.size(), ' ');
    line += "{" + name + IO::FIXEDPOINT(resid[i], 8, 2) + "} ";
  }
  IO::WRITETERMINAL(line + "\n");
}

void printrow(const std::string& tail, smallint before, long count, smallint places, const auto& value) {
  std::string& line = IO::WSTR;
  line = IO::BLANKSTRING(CONVINDENT);
  for (long k = 1; k <= count; ++k) IO::ADDREAL(value(k), places, true, 7, line);
  line += tail;
  IO::PUTSTR(before, line, 1, CHANNEL::TERMSUMLOG);
}

}  // namespace

void CONV2WT(const bemvector& ph, emvector& v) {
  long first = 0;
  if (!findmelt(ph, first)) return;
  if (CONVLIQCOL != NUV) return;
  cvector c{"conv2wt c"};
  ZQNLE3::MAKEPHASE(static_cast<smallint>(first), c);
  liqvector mw{"conv2wt mw"}, n{"conv2wt n"}, pn{"conv2wt pn"};
  molarmasses(mw);

  cvector resid = c;
  const recast how = peel(resid, n);
  // A recast that stops with part of the melt left over reports it too,
  // so that percentages of part of the melt never pass as the whole.
  if (how == recast::passlimit || (how == recast::stuck && residualleft(resid))) writeresidual(resid);
  if (how == recast::passlimit) IO::ERROREXIT("conv2wt", "couldn't make mol%", yourfault);

  extended total = 0;
  for (long j = 1; j <= NUV; ++j) total += c[j];
  if (total == 0) {
    for (long r = 1; r <= CONVLIQROW; ++r) v[r] = 0;
    return;
  }
  extended tn = 0;
  for (long r = 1; r <= CONVLIQROW; ++r) tn += n[r];
  if (tn == 0) IO::ERROREXIT("conv2wt", "sum of mol% = 0 2", yourfault);
  for (long r = 1; r <= CONVLIQROW; ++r) pn[r] = 100 * n[r] / tn;
  extended tw = 0;
  for (long r = 1; r <= CONVLIQROW; ++r) tw += mw[r] * pn[r];
  if (tw == 0) IO::ERROREXIT("conv2wt", "sum of mol% = 0 3", yourfault);
  for (long r = 1; r <= CONVLIQROW; ++r) v[r] = 100 * pn[r] * mw[r] / tw;

  std::string& line = IO::WSTR;
  line = IO::BLANKSTRING(CONVINDENT);
  for (long j = 1; j <= NUV; ++j) IO::ADDNAME(COMPNAME[j], 7, line);
  IO::PUTSTR(1, line, 1, CHANNEL::TERMSUMLOG);
  printrow(" ==>", 0, NUV, 3, [&](long j) { return 100 * c[j] / total; });
  printrow(" ==>", 0, CONVLIQROW, 2, [&](long r) { return pn[r]; });
  printrow("", 0, CONVLIQROW, 2, [&](long r) { return v[r]; });
}

}  // namespace ZQNLE4
