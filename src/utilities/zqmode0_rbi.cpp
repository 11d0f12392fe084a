// The rbi rows of the conversion utility: each mineral's composition in the
// system components from its compositional variables, and each pure
// phase's, as a bulk block in the log.
#include <string>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "utilities/zqmode0.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

namespace {

constexpr extended integerwithin = 1e-5L;  // a value this near an integer is written as one
const char* const rbidashes = "% -----------------------------------------------------";

// The mode of rbi row r; rows beyond the script's table have none given.
extended rbimode(long r) { return r <= maxrbi ? RBIMODE[r] : 0; }

// Appends the composition comp[1..NUV] in fields of 10.
void addcomposition(const cvector& comp, std::string& w) {
  for (smallint c = 1; c <= NUV; ++c) IO::ADDWHOLEORREAL(comp[c], integerwithin, 6, 10, w);
}

// The composition of mineral m from its variables, through the phase's
// end-member proportions; settles the mineral's phase.
void mineralcomposition(mineraltype& m, cvector& comp) {
  smallint k = 0;
  for (smallint p = 1; p <= NPSS && k == 0; ++p)
    if ((*PREC1)[p].name == m.name) k = p;
  if (k == 0) IO::ERROREXIT("make rbi", "unrecognised phase, " + m.name, yourfault);
  m.phase = k;
  const ptype1& ph = (*PREC1)[k];
  smallint nq = 0;
  for (smallint v = 1; v <= ph.nvar; ++v)
    if (ph.xvar[v].isorder) ++nq;
  if (ph.nvar != nq + m.nxyz) IO::ERROREXIT("make rbi", "phase size mismatch", yourfault);
  smallint next = 0;
  for (smallint v = 1; v <= ph.nvar; ++v) X[v] = ph.xvar[v].isorder ? 0 : m.xyz[++next];
  ZQUTE1::PHASECOMPOSITION(ph, X, comp);
}

}  // namespace

void MAKERBI() {
  std::string& w = IO::WSTR;
  cvector comp{"rbi comp"};
  for (smallint i = 1; i <= NMIN; ++i) {
    mineraltype& m = MINERAL[i];
    mineralcomposition(m, comp);
    if (i == 1) {
      IO::WRITETERMINAL("[ rbi is in the logfile ]\n");
      IO::PUTSTR(1, rbidashes, 1, CHANNEL::LOG);
      w = "%        " + std::string(14, ' ');
      for (smallint c = 1; c <= NUV; ++c) IO::ADDSTR(COMPNAME[c], 10, w);
      IO::PUTSTR(0, w, 1, CHANNEL::LOG);
    }
    w = "bulk  rbi";
    IO::ADDSTR(" " + m.name, 6, w);  // a name touching the keyword would read as another
    IO::ADDREAL(rbimode(i), 4, true, 10, w);
    addcomposition(comp, w);
    IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  }
  for (smallint j = 1; j <= NP0; ++j) {
    const ptype0& p = (*PREC0)[j];
    for (smallint c = 1; c <= NUV; ++c) comp[c] = static_cast<extended>(p.comp[c]) / static_cast<extended>(COMPDIV[c]);
    w = "bulk  rbi";
    IO::ADDSTR(" " + p.name, 6, w);
    IO::ADDREAL(rbimode(static_cast<long>(NMIN > 0 ? NMIN : 0) + j), 4, true, 8, w);
    addcomposition(comp, w);
    IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  }
  IO::PUTSTR(0, rbidashes, 1, CHANNEL::LOG);
}

}  // namespace ZQMODE0
