// The composition of the solids beside an externally buffered H2O-CO2
// fluid: the proportion-weighted phases of the assemblage over the free
// components, in mol%, with the buffered H2O and CO2 shares.
#include <string>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqnle3.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;

namespace ZQNLE4 {

namespace {

// One phase's composition, normalised to its size, added to tot with the
// weight of the next proportion variable.
void accumulate(const cvector& comp, smallint& k, cvector& tot) {
  ++k;
  const extended m = X[NX + k];
  extended s = 0;
  for (long j = 1; j <= NUV; ++j) s += comp[j];
  if (s == 0) IO::ERROREXIT("fificalc", "t=0", yourfault);
  for (long j = 1; j <= NUV; ++j) tot[j] += comp[j] * m / s;
}

// A fixed H2O or CO2 component's share in the value line; nothing for a
// free or absent one, whose column the head still shows.
void addbuffered(long j, const cvector& tot, std::string& line) {
  if (j > 0 && !BCOMPS[j]) IO::ADDREAL(100 * tot[j], 6, true, 10, line);
}

}  // namespace

void CALCFLUIDCOMP(const bemvector& ph, extended, extended, extended& co2, extended& h2o) {
  smallint h = 0, c = 0;
  IO::MATCHSTRING("H2O", COMPNAME, NUV, h);
  IO::MATCHSTRING("CO2", COMPNAME, NUV, c);
  co2 = 0;
  h2o = 0;
  cvector tot{"fificalc tot"}, comp{"fificalc comp"};
  for (long j = 1; j <= NUV; ++j) tot[j] = 0;
  smallint k = 0;

  for (long i = 1; i <= NCV; ++i) {
    if (!STARTSS[i] || !ph[EM2SS[i]]) continue;
    ZQNLE3::MAKEPHASE(static_cast<smallint>(i), comp);
    if ((*PREC1)[EM2SS[i]].isfluid) {
      co2 = c > 0 ? comp[c] : 0;
      h2o = h > 0 ? comp[h] : 0;
    } else {
      accumulate(comp, k, tot);
    }
  }
  for (long j = 1; j <= NP0; ++j) {
    if (!ph[NPSS + j]) continue;
    const ptype0& p = (*PREC0)[j];
    bool hasfree = false;
    for (long l = 1; l <= NUV; ++l) hasfree = hasfree || (BCOMPS[l] && p.comp[l] != 0);
    // A phase of fixed components only (a pure buffered fluid) takes no
    // proportion variable.
    if (!hasfree) continue;
    for (long l = 1; l <= NUV; ++l) comp[l] = static_cast<extended>(p.comp[l]) / COMPDIV[l];
    accumulate(comp, k, tot);
  }

  extended s = 0;
  for (long j = 1; j <= NUV; ++j)
    if (BCOMPS[j]) s += tot[j];
  if (s == 0) IO::ERROREXIT("fificalc", "t=0", yourfault);
  for (long j = 1; j <= NUV; ++j) tot[j] /= s;

  std::string& line = IO::WSTR;
  line.clear();
  IO::ADDSTR("H2O", 10, line);
  IO::ADDSTR("CO2", 10, line);
  for (long j = 1; j <= NUV; ++j)
    if (BCOMPS[j]) IO::ADDNAME(COMPNAME[j], 8, line);
  IO::PUTSTR(2, line, 1, CHANNEL::TERMSUMLOG);

  // The values in the head's order, whatever the order of COMPNAME.
  line.clear();
  addbuffered(h, tot, line);
  addbuffered(c, tot, line);
  for (long j = 1; j <= NUV; ++j)
    if (BCOMPS[j]) IO::ADDREAL(100 * tot[j], 2, true, 8, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
}

}  // namespace ZQNLE4
