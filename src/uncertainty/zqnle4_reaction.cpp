// The reaction among the phases of a solved assemblage at their solved
// compositions, as coefficients, names and text.
#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_nle.h"
#include "frame/zqglobal_results.h"
#include "model/zqnle3.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;

namespace ZQNLE4 {

namespace {

// Column n of a an integer composition over COMPDIV.
void integercolumn(const icvector& comp, cmatrix& a, long n) {
  for (long i = 1; i <= NUV; ++i) a(i, n) = static_cast<extended>(comp[i]) / COMPDIV[i];
}

// The coefficient of the first column named name, 0 when none.
extended coefficient(const char* name, const IO::strings& names, const emvector& nu, smallint n) {
  smallint k = 0;
  return IO::MATCHSTRING(name, names, n, k) ? nu[k] : 0;
}

}  // namespace

void CALCREALREACTION(const bemvector& ph, IO::strings& names, emvector& nu, smallint& n, std::string& s) {
  // Some 170 kB: made once, kept for the run.
  static cmatrix a{"calcrealreaction a"};
  cvector comp{"calcrealreaction comp"};
  // A buffered H2O-CO2 fluid of a divariant assemblage stands as its two
  // end-members, so that the reaction can shift the fluid's composition.
  const bool splitfluid = FLUIDTYPE == ftype::h2oco2 && EXBUFF && OVARIANCE == 2;
  long cols = 0;
  for (long i = 1; i <= NCV; ++i) {
    if (!STARTSS[i] || !ph[EM2SS[i]]) continue;
    const ptype1& p = (*PREC1)[EM2SS[i]];
    if (p.isfluid && splitfluid) {
      for (long e = 1; e <= 2; ++e) {
        names[++cols] = p.em[e].name;
        integercolumn(p.em[e].comp, a, cols);
      }
      continue;
    }
    names[++cols] = p.name;
    ZQNLE3::MAKEPHASE(static_cast<smallint>(i), comp);
    for (long c = 1; c <= NUV; ++c) a(c, cols) = comp[c];
  }
  for (long j = 1; j <= NP0; ++j) {
    if (!ph[NPSS + j]) continue;
    names[++cols] = (*PREC0)[j].name;
    integercolumn((*PREC0)[j].comp, a, cols);
  }
  n = static_cast<smallint>(cols);
  if (NEARSING) {
    s = "####";
    n = 0;
    return;
  }
  ZQNLE3::REALREACTION(a, NUV, n, nu);
  // H2O and CO2 together on the right-hand side, or balanced.
  if (coefficient("H2O", names, nu, n) + coefficient("CO2", names, nu, n) < 0)
    for (long k = 1; k <= n; ++k) nu[k] = -nu[k];
  ZQNLE3::REACTION2STRING(nu, names, n, s);
}

}  // namespace ZQNLE4
