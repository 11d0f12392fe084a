// Compaction of the reaction and intersection tables once exclusions have
// ruled reactions out, and the reaction texts at the end of a search.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc2.h"
#include "model/zqre.h"
#include "model/zqre_finder.h"

using namespace ZQGLOBAL;

namespace ZQRE {

void REDUCE(bool final) {
  NSYM = 0;
  farray<bool, 1, maxreac> keep{"reduce keep"};
  farray<smallint, 1, maxreac> newno{"reduce numbers"};
  smallint kept = 0;
  for (smallint k = 1; k <= NR; ++k) {
    keep[k] = !HOLDSEXA(RBIT[k]);
    for (smallint i = 1; i <= NEX1 && keep[k]; ++i)
      if (EXEM[i] >= 0 && EXEM[i] <= maxrephases) keep[k] = !IO::BTST2(RBIT[k], EXEM[i]);
    if (keep[k]) newno[k] = ++kept;
  }
  if (kept < NR) {
    smallint nint = 0;
    for (smallint n = 1; n <= NINT; ++n) {
      bool survives = true;
      for (smallint m = 1; m <= NIR[n] && survives; ++m) survives = keep[IR(n, m)];
      if (!survives) continue;
      ++nint;
      NIR[nint] = NIR[n];
      for (smallint m = 1; m <= NIR[n]; ++m) IR(nint, m) = newno[IR(n, m)];
      IBIT[nint] = IBIT[n];
    }
    NINT = nint;
    // ln K moves with its row, so that it stays the ln K of the reaction
    // the callers find there.
    for (smallint k = 1; k <= NR; ++k) {
      if (!keep[k] || newno[k] == k) continue;
      const smallint to = newno[k];
      for (smallint j = 1; j <= maxem; ++j) (*R)(to, j) = (*R)(k, j);
      RBIT[to] = RBIT[k];
      ALNK[to] = ALNK[k];
    }
    NR = NRBIT = kept;
  }
  if (!final) return;
  INDENTR = 0;
  const bool lna = LNAPOS > 0;
  sstring saved;
  if (lna) {
    saved = NAME[LNAPOS];
    NAME[LNAPOS] = LNANAMEP[1];
  }
  for (smallint k = 1; k <= NR; ++k) ZQCALC2::MAKERLINE(k);
  if (lna) NAME[LNAPOS] = saved;
  ++INDENTR;
}

}  // namespace ZQRE
