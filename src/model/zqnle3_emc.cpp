// The composition matrix of the end-members in phase order, and the formula
// sizes over the free components.
#include <cstdint>
#include <limits>
#include <vector>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "model/zqnle3.h"
#include "model/zqnle3_order.h"

using namespace ZQGLOBAL;

namespace ZQNLE3 {

namespace {

// Amounts are held in 16 bits; a recipe or rescaling that leaves that range
// would wrap silently, so it is refused with the component named.
smallint toamount(std::int64_t v, long component) {
  if (v < std::numeric_limits<smallint>::min() || v > std::numeric_limits<smallint>::max())
    IO::ERROREXIT("make emc", "amount of " + COMPNAME[component] + " too large for its integer column", yourfault);
  return static_cast<smallint>(v);
}

}  // namespace

void MAKEEMC() {
  std::vector<emref> list = phaseorder();
  std::vector<smallint> div(list.size(), 1);
  bool fractions = false;

  // Every composition from the old columns before any column is rewritten.
  for (std::size_t k = 0; k < list.size(); ++k) {
    emref& r = list[k];
    if (*r.nmake == 0) {
      const smallint pos = nameposition(*r.lookup);
      if (pos == 0) IO::ERROREXIT("make emc", *r.lookup + (r.pure ? " not found 3" : " not found 1"), yourfault);
      for (long i = 1; i <= NUV; ++i) (*r.comp)[i] = (*C)(i, pos);
      continue;
    }
    farray<smallint, 1, maxmake> at{"make positions"};
    for (long m = 1; m <= *r.nmake; ++m) {
      at[m] = nameposition((*r.makename)[m]);
      if (at[m] == 0)
        IO::ERROREXIT("make emc", (*r.makename)[m] + (r.pure ? " not found 4" : " not found 2"), yourfault);
    }
    for (long i = 1; i <= NUV; ++i) {
      std::int64_t sum = 0;
      for (long m = 1; m <= *r.nmake; ++m)
        if ((*r.makecoef)[m] != 0) sum += static_cast<std::int64_t>((*r.makecoef)[m]) * (*C)(i, at[m]);
      (*r.comp)[i] = toamount(sum, i);
    }
    div[k] = *r.makediv;
    if (div[k] > 1) fractions = true;
  }

  long ncol = 0;
  for (const emref& r : list) {
    if (ncol + 1 > maxem)
      IO::ERROREXIT("make emc", r.pure ? "too many end-members2" : "too many end-members1", yourfault);
    ++ncol;
    for (long i = 1; i <= NUV; ++i) (*C)(i, ncol) = (*r.comp)[i];
  }

  long kept = 0;
  for (long i = 1; i <= NUV; ++i) {
    bool used = false;
    for (long k = 1; k <= ncol && !used; ++k) used = (*C)(i, k) != 0;
    if (!used) continue;
    ++kept;
    if (kept == i) continue;
    COMPNAME[kept] = COMPNAME[i];
    COMPDIV[kept] = COMPDIV[i];
    ICOMP[kept] = ICOMP[i];
    for (long k = 1; k <= ncol; ++k) (*C)(kept, k) = (*C)(i, k);
  }
  NUV = NU = NUVLEFT = KNU = KNUV = static_cast<smallint>(kept);

  if (fractions) {
    for (long i = 1; i <= NUV; ++i) {
      liemvector denominators{"make denominators"};
      smallint n = 0;
      for (long k = 1; k <= ncol; ++k) {
        const longint d = div[static_cast<std::size_t>(k - 1)];
        if (d <= 1) continue;
        const longint g = ZQMATH1::GCD((*C)(i, k), d);
        denominators[++n] = g == 1 ? d : d / g;
      }
      const longint lcm = n > 0 ? ZQMATH1::VECTORLCM(denominators, n) : 1;
      for (long k = 1; k <= ncol; ++k) {
        const std::int64_t product = static_cast<std::int64_t>((*C)(i, k)) * lcm;
        (*C)(i, k) = toamount(product / div[static_cast<std::size_t>(k - 1)], i);
      }
      const std::int64_t divisor = static_cast<std::int64_t>(COMPDIV[i]) * lcm;
      if (divisor > std::numeric_limits<longint>::max())
        IO::ERROREXIT("make emc", "divisor of " + COMPNAME[i] + " too large", yourfault);
      COMPDIV[i] = static_cast<longint>(divisor);
    }
  }

  long k = 0;
  for (emref& r : list) {
    ++k;
    for (long i = 1; i <= maxcomp; ++i) (*r.comp)[i] = i <= NUV ? (*C)(i, k) : 0;
  }
}

void COUNTCOMP() {
  if (WITHOLDSET)
    for (long i = 1; i <= NUV; ++i)
      if (COMPNAME[i] == "SO2") IO::ERROREXIT("countcomp", "sulphur verboten", myfault);
  farray<extended, 1, maxcomp> atoms{"countcomp atoms"};
  for (long i = 1; i <= NUV; ++i) {
    long row = 0;
    for (long j = 1; j <= maxcomp && row == 0; ++j)
      if (OXNAME[j] == COMPNAME[i] || ELNAME[j] == COMPNAME[i]) row = j;
    if (row == 0) IO::ERROREXIT("countcomp", "cannot find oxide name", yourfault);
    atoms[i] = WITHOLDSET ? 1 : METALS[row] + OXYGENS[row];
  }
  for (emref& r : phaseorder()) {
    extended natoms = 0, units = 0;
    for (long i = 1; i <= NUV; ++i) {
      if (!BCOMPS[i]) continue;
      const extended amount = static_cast<extended>((*r.comp)[i]) / static_cast<extended>(COMPDIV[i]);
      natoms += atoms[i] * amount;
      units += amount;
    }
    *r.formulasize = WITHOLDSET ? units : natoms;
    if (WITHOLDSET && units <= 0) {
      if (r.pure) IO::ERROREXIT("countcomp", "sumox <= 0 for " + *r.name, yourfault);
      IO::ERROREXIT("countcomp", "sumox <= 0 for " + *r.name + ", in " + (*PREC1)[r.phase].name, yourfault);
    }
  }
}

}  // namespace ZQNLE3
