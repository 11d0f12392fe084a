// The free components of a calculation: those not fixed by an activity or
// chemical-potential variable or by an externally buffered fluid.
#include "equilibria/zqread3.h"
#include "frame/io.h"
#include "frame/zqglobal.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

void HELDCOMPONENTS(farray<bool, 1, maxcomp>& fixed) {
  fixed.fill(false);
  IO::strings comps;
  for (long j = 1; j <= NUV; ++j) comps[j] = COMPNAME[j];
  smallint k = 0;
  if (EXBUFF)
    for (const char* fluid : {"H2O", "CO2"})
      if (IO::MATCHSTRING(fluid, comps, NUV, k)) fixed[k] = true;
  for (long i = 1; i <= NLNA; ++i) {
    if (!IO::MATCHSTRING(LNANAMEP[i], comps, NUV, k))
      IO::ERROREXIT("setter", "setting non-oxide lna not implemented", yourfault);
    fixed[k] = true;
  }
  for (long i = 1; i <= NMU; ++i)
    if (IO::MATCHSTRING(MUNAME[i], comps, NUV, k)) fixed[k] = true;
}

void SETTER() {
  farray<bool, 1, maxcomp> fixed{"setter fixed"};
  // Phase properties need every component free.
  if (NLNA > 0 || NMU > 0 || EXBUFF) CALCG = false;
  HELDCOMPONENTS(fixed);
  smallint nfixed = 0;
  for (long j = 1; j <= NUV; ++j) {
    BCOMPS[j] = !fixed[j];
    if (fixed[j]) ++nfixed;
  }
  NUVLEFT = static_cast<smallint>(NUV - nfixed);
}

}  // namespace ZQREAD3
