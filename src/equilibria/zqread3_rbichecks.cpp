// The "rbi" rows against the rock's minerals: which minerals the bulk's
// routes use, and the rows put in the order those routes read them,
// minerals first, then the non-solution phases.
#include <string>

#include "equilibria/zqread3.h"
#include "frame/io.h"
#include "frame/zqglobal.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

namespace {

// The "rbi" row of a name, 0 when there is none.
long rbirow(const sstring& name) {
  for (long i = 1; i <= NRBIMODE && i <= maxrbi; ++i)
    if (RBISTRP[i] == name) return i;
  return 0;
}

// Every rock mineral and non-solution phase has a row, else the run stops
// with the name and tail; the rows are then put in that order, the
// composition rows too when withcomp.
void reorder(const std::string& tail, bool withcomp) {
  farray<long, 1, maxrbi> from{"rbichecks from"};
  long n = 0;
  const auto take = [&](const sstring& name) {
    const long r = rbirow(name);
    if (r == 0) IO::ERROREXIT("rbichecks", name + tail, yourfault);
    if (n >= maxrbi) IO::ERROREXIT("rbichecks", "too many phases in rbi", yourfault);
    from[++n] = r;
  };
  for (long m = 1; m <= NMIN; ++m) take(MINERAL[m].name);
  for (long j = 1; j <= NP0; ++j) take((*PREC0)[j].name);
  farray<sstring, 1, maxrbi> names{"rbichecks names"};
  farray<extended, 1, maxrbi> modes{"rbichecks modes"};
  fmatrix<extended, 1, maxrbi, 1, maxcomp> comps{"rbichecks comps"};
  for (long i = 1; i <= n; ++i) {
    names[i] = RBISTRP[from[i]];
    modes[i] = RBIMODE[from[i]];
    for (long j = 1; j <= maxcomp; ++j) comps(i, j) = RBIC(from[i], j);
  }
  for (long i = 1; i <= n; ++i) {
    RBISTRP[i] = names[i];
    RBIMODE[i] = modes[i];
    if (withcomp)
      for (long j = 1; j <= maxcomp; ++j) RBIC(i, j) = comps(i, j);
  }
  NRBIMODE = static_cast<smallint>(n);
}

// The rock minerals that are solution phases of the calculation, in their
// order; every solution phase must be one.
void keepphaseminerals() {
  for (long i = 1; i <= NPSS; ++i) {
    bool found = false;
    for (long m = 1; m <= NMIN && !found; ++m) found = MINERAL[m].name == (*PREC1)[i].name;
    if (!found) IO::ERROREXIT("rbichecks", "info for " + (*PREC1)[i].name + " not in mineral", yourfault);
  }
  smallint kept = 0;
  for (long m = 1; m <= NMIN; ++m) {
    bool phase = false;
    for (long i = 1; i <= NPSS && !phase; ++i) phase = MINERAL[m].name == (*PREC1)[i].name;
    if (!phase) continue;
    ++kept;
    if (kept != m) MINERAL[kept] = MINERAL[m];
  }
  NMIN = kept;
  if (NMIN != NPSS) IO::ERROREXIT("rbichecks", "nmin, npss mismatch", yourfault);
}

}  // namespace

void RBICHECKS() {
  const controljxtype& c = CONTROLJX;
  if (c.avptplus != yes) {
    if (c.rbi == yes) {
      NMIN = 0;
      return;
    }
    reorder(" not in rmi", false);
    return;
  }
  if (c.rbi != yes && c.rmi != yes) IO::ERROREXIT("rbichecks", "bulk must be by rbi or rmi for avPT+", yourfault);
  if (c.rmi == yes) NRBIMODE = NRMIMODE;
  keepphaseminerals();
  if (NRBIMODE < 1) IO::ERROREXIT("rbichecks", "nrbimode = " + IO::INT2STR(NRBIMODE), yourfault);
  reorder(" not in rbi", c.rbi == yes);
}

}  // namespace ZQREAD3
