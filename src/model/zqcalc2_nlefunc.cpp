// The equilibrium equations of an assemblage: one residual per independent
// reaction and, with modes as unknowns, one per independent mass balance,
// with their Jacobian by the free scaled unknowns.
#include <cmath>
#include <memory>

#include "frame/constants.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"

using namespace ZQGLOBAL;

namespace ZQCALC2 {

namespace {

constexpr smallint valuesperline = 15;  // unknowns per line of the failure report

std::string rightjustified(const std::string& s, std::size_t width) {
  return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

// A free scaled unknown lies in [0, 1]; an end that is inaccessible is
// excluded. A value that is not a number lies nowhere.
bool inrange(long v, extended s) {
  if (!(s >= 0 && s <= 1)) return false;
  if (s == 0 && INACC1[v] == acctype::inaccessible) return false;
  if (s == 1 && INACC2[v] == acctype::inaccessible) return false;
  return true;
}

// The unknowns of a point refused for a value out of range: names, then
// values, 15 to a line.
void failurereport(const nlefuncstate& s) {
  const long n = NX + NXP;
  IO::PUTSTR(2, "FAILED in nlefunc, at which stage x was:", 1, CHANNEL::TERMSUMLOG);
  std::string& line = IO::WSTR;
  auto table = [&](auto add) {
    line.clear();
    for (long v = 1; v <= n; ++v) {
      add(v);
      if (v % valuesperline == 0) {
        IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
        line.clear();
      }
    }
    if (!line.empty()) IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  };
  table([&](long v) { IO::ADDNAME(XNAME[v], 10, line); });
  table([&](long v) {
    if (v == 1)
      IO::ADDREAL(s.x[1], 2, true, 10, line);
    else if (v == 2)
      IO::ADDREAL(s.x[2] - CONST::KELVIN, 1, true, 10, line);
    else
      IO::ADDREAL(s.x[v], 4, false, 10, line);
  });
}

[[noreturn]] void nonsquare(nlefuncstate& s) {
  std::string t = "\n";
  if (IBATCH > 0) t += "mcjx: batch = " + rightjustified(IO::INT2STR(IBATCH), 3) + "\n";
  t += "\n";
  t += "row " + IO::INT2STR(JROW) + " (" + rightjustified(IO::INT2STR(NR), 3) +
       rightjustified(IO::INT2STR(NUVLEFT), 3) + rightjustified(IO::INT2STR(RANKDEFICIT), 3) + ")\n";
  t += "col " + IO::INT2STR(JCOL) + " (" + rightjustified(IO::INT2STR(s.ncolx), 3) +
       rightjustified(IO::INT2STR(s.ncolp), 3) + ")\n";
  t += "\n";
  IO::WRITETERMINAL(t);
  DEBUGLEVEL = 4;
  s.PRINTPROJC();
  s.PRINTXYZ();
  s.PRINTRESIDUAL();
  PRINTJAC("non-square jacobian", *s.jac, 0, 4, false, CHANNEL::TERMSUMLOG);
  IO::ERROREXIT("nlefunc", "non-square jacobian", myfault);
}

// One residual per reaction: its affinity divided by its normaliser.
void reactions(nlefuncstate& s) {
  constexpr extended rgas = CONST::RGAS;
  eqvector& r = *s.r;
  // The end-members a reaction involves, so that the sums skip zero nu.
  farray<smallint, 1, maxem> in{"nlefunc reaction members"};
  // The steps in P and T feed only the Jacobian's columns of a free P or T.
  ZQCALC1::PREPAREDG0(s.dojac && BX[1], s.dojac && BX[2], s.p, s.t);
  for (long i = 1; i <= NR; ++i) {
    ALNK[i] = 0;
    extended dgdp = 0, dgdt = 0, dg = 0;
    ZQCALC1::PREPAREDDG0(static_cast<smallint>(i), dgdp, dgdt, dg);
    long nin = 0;
    extended lnk = 0, sump = 0, sumt = 0;
    for (long j = 1; j <= NCV; ++j) {
      const smallint nu = (*R)(i, j);
      if (nu == 0) continue;
      in[++nin] = static_cast<smallint>(j);
      lnk = lnk + nu * std::log(ACTIVITY[j]);
      sump = sump + nu * s.drtlnadp[j];
      sumt = sumt + nu * s.drtlnadt[j];
    }
    const extended n = RNSITE[i];
    r[i] = (dg + rgas * s.t * lnk) / n;
    ALNK[i] = lnk;
    dgdp = dgdp + sump;
    dgdt = dgdt + sumt;
    if (!s.dojac) continue;
    eqmatrix& jac = *s.jac;
    long c = 0;
    if (BX[1]) jac(i, ++c) = dgdp / (n * XFACA[1]);
    if (BX[2]) jac(i, ++c) = dgdt / (n * XFACA[2]);
    for (long v = 3; v <= NX; ++v) {
      if (!BX[v]) continue;
      extended sum = 0;
      for (long q = 1; q <= nin; ++q) {
        const long j = in[q];
        sum = sum + (*R)(i, j) * s.drtlnadx(j, v);
      }
      jac(i, ++c) = sum / (n * XFACA[v]);
    }
  }
}

// Row i, column k of the projection of the mass balance: PROJC for a set
// whose phases span fewer components than the system (its enumeration
// writes PROJC only then), else the identity.
longint projection(long i, long k) {
  if (RANKDEFICIT > 0) return PROJC(i, k);
  return i == k ? 1 : 0;
}

// Projected mass balance: S times the phases' projected sum less the
// projected bulk, one row per free component; then the system's shape.
void massbalance(nlefuncstate& s) {
  s.CALCP();
  if (!s.ok) return;
  const eqvector& x = s.x;
  eqvector& r = *s.r;
  extended sum = 0;
  for (long p = 1; p <= NXP; ++p) sum = sum + x[NX + p];
  s.sumprop = sum;
  const extended S = sum;
  const long withrow = NUVLEFT - RANKDEFICIT;

  // Projected composition of mode p on row i.
  auto projected = [&](long i, long p) {
    extended v = 0;
    for (long k = 1; k <= NUVLEFT; ++k) {
      const longint pc = projection(i, k);
      if (pc != 0) v = v + pc * s.compcalc(p, k);
    }
    return v;
  };

  eqvector proj{"nlefunc projected"};  // projected composition of each mode on the row
  for (long i = 1; i <= NUVLEFT; ++i) {
    extended m = 0, bulk = 0;
    for (long p = 1; p <= NXP; ++p) {
      proj[p] = projected(i, p);
      m = m + x[NX + p] * proj[p];
    }
    for (long k = 1; k <= NUVLEFT; ++k) {
      const longint pc = projection(i, k);
      if (pc != 0) bulk = bulk + pc * COMPK[k];
    }
    const long row = NR + i;
    r[row] = S * m - bulk;
    s.CHECKRANKDEFICIT(static_cast<smallint>(i), r[row]);
    if (!s.dojac || i > withrow) continue;

    eqmatrix& jac = *s.jac;
    for (long p = 1; p <= NXPSS; ++p) {
      const long e = MP2X[p];
      const ptype1& ph = (*PREC1)[MP2SS[p]];
      const fmatrix<extended, 1, maxcomp, 1, maxssem>& dc = (*DCOMPDX)[p];
      for (long w = 1; w <= ph.nvar; ++w) {
        const long v = e + w - 1;
        if (!BX[v]) continue;
        extended d = 0;
        for (long k = 1; k <= NUVLEFT; ++k) {
          const longint pc = projection(i, k);
          if (pc != 0) d = d + pc * dc(k, w);
        }
        jac(row, s.column[v]) = S * x[NX + p] * d / XFACA[v];
      }
    }
    long c = s.ncolx;
    for (long q = 1; q <= NXP; ++q)
      if (BX[NX + q]) jac(row, ++c) = (m + S * proj[q]) / XFACA[NX + q];
  }

  s.ncolp = 0;
  for (long q = 1; q <= NXP; ++q)
    if (BX[NX + q]) ++s.ncolp;
  JROW = static_cast<smallint>(NR + withrow);
  JCOL = static_cast<smallint>(s.ncolx + s.ncolp);
  if (JROW != JCOL) nonsquare(s);
}

}  // namespace

nlefuncstate& NLEFUNCSTATE() {
  static std::unique_ptr<nlefuncstate> state;
  if (!state) state = std::make_unique<nlefuncstate>();
  return *state;
}

bool NLEFUNC(const eqvector& xin, eqmatrix& jac, eqvector& r, bool dojac) {
  nlefuncstate& s = NLEFUNCSTATE();
  s.x = xin;
  s.r = &r;
  s.jac = &jac;
  s.dojac = dojac;
  s.ok = true;
  const long nall = NX + NXP;

  for (long v = 1; v <= nall; ++v) {
    if (BX[v] && !inrange(v, s.x[v])) {
      if (!FDPROBE) IO::WRITETERMINAL("## bad " + XNAME[v] + " value\n");
      s.ok = false;
      break;
    }
  }
  if (MODESBYNLE && DEBUGLEVEL > 5) s.PRINTX1();
  for (long v = 1; v <= nall; ++v)
    if (BX[v]) s.x[v] = (s.x[v] - XFACB[v]) / XFACA[v];
  if (MODESBYNLE && DEBUGLEVEL > 5) s.PRINTX2();
  s.p = s.x[1];
  s.t = s.x[2];
  if (!s.ok) {
    if (!FDPROBE) failurereport(s);
    return false;
  }

  // CALCA writes only its own entries; the rest must read 0.
  for (long j = 1; j <= NCV; ++j) {
    s.drtlnadp[j] = 0;
    s.drtlnadt[j] = 0;
    for (long v = 3; v <= NX; ++v) s.drtlnadx(j, v) = 0;
  }

  s.ok = s.CHECKSF();
  if (!s.ok && !FDPROBE) IO::WRITETERMINAL("** NOT OK\n");
  if (s.ok) {
    // The derivatives feed only the Jacobian and the activity printout: a
    // trial point of the line search has no use for them.
    const bool derivatives = dojac || (DEBUGLEVEL == 4 && NLESTEPIT == 1);
    CALCA(s.x, derivatives, derivatives, s.drtlnadp, s.drtlnadt, s.drtlnadx, s.p, s.t);
    if (DEBUGLEVEL == 4 && NLESTEPIT == 1) {
      s.PRINTACTIVITY();
      if (NLEIT > 1)
        s.PRINTLNK();
      else
        IO::PUTSTR(0, "", 1, CHANNEL::TERMSUMLOG);
    }
    // An activity that overflowed would pass "> 0" and make every residual
    // infinite.
    for (long j = 1; j <= NCV; ++j)
      if (!(std::isfinite(ACTIVITY[j]) && ACTIVITY[j] > 0)) s.ok = false;
  }

  if (s.ok) {
    s.ncolx = 0;
    for (long v = 1; v <= NX; ++v) s.column[v] = BX[v] ? ++s.ncolx : 0;
    if (dojac) {
      long freemodes = 0;
      for (long q = 1; q <= NXP; ++q)
        if (BX[NX + q]) ++freemodes;
      const long rows = std::min<long>(NR + (MODESBYNLE ? NUVLEFT : 0), maxeq);
      const long cols = std::min<long>(s.ncolx + freemodes, maxeq);
      for (long i = 1; i <= rows; ++i)
        for (long c = 1; c <= cols; ++c) jac(i, c) = 0;
    }
    s.HANDLEFLUID();
    reactions(s);
    if (MODESBYNLE) {
      massbalance(s);
    } else {
      // Without modes the reactions alone must match the free unknowns, or
      // the solver reads rows that were never written.
      s.ncolp = 0;
      JROW = NR;
      JCOL = s.ncolx;
      if (JROW != JCOL) nonsquare(s);
    }
  }

  if (DEBUGLEVEL == 4 && NLESTEPIT == 1) {
    if (NLEIT == 1) s.PRINTPROJC();
    s.PRINTXYZ();
    s.PRINTRESIDUAL();
  }
  return s.ok;
}

}  // namespace ZQCALC2
