// The damped Newton solver: start, direction, trial evaluations,
// convergence tests and the outcome report.
#include <cmath>
#include <string>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "frame/zqglobal_nle.h"
#include "frame/zqglobal_sensitivity.h"
#include "frame/zqmath1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "model/zqmath2.h"
#include "model/zqmath2_run.h"

using namespace ZQGLOBAL;

namespace ZQMATH2 {

equationstype EQUATIONS = &ZQCALC2::NLEFUNC;

namespace {

constexpr smallint maxitlinesearch = 25;   // iterations of the line-search method
constexpr smallint maxitsecond = 100;      // iterations of the second method
constexpr extended smallestslim = 1e-8L;   // a step limit below this ends the iteration
constexpr extended mcsoft = 0.01L;         // Monte Carlo series: MCIT less this above 1
constexpr smallint underscores = 54;       // rule under the outcome report

extended physical(long i) { return BX[i] ? (X[i] - XFACB[i]) / XFACA[i] : X[i]; }

// The larger of m and |a|; a value that is not a number stays, so that no
// convergence test passes on it.
extended absmax(extended m, extended a) {
  const extended b = std::fabs(a);
  if (std::isnan(m)) return m;
  return b <= m ? m : b;
}

// Names of the unknowns first..last, each right-justified in 10.
std::string namesline(const std::string& lead, long first, long last) {
  std::string line = lead;
  for (long i = first; i <= last; ++i) IO::ADDNAME(XNAME[i], 10, line);
  return line;
}

const char* reasonline(smallint code, const nlerun& r) {
  switch (code) {
    case NLECODE::converged:
      if (r.esizeok) return "size of max residual (esize)";
      if (r.fsizeok) return "size of sum of squares of residual (fsize)";
      return "step too small near solution (dxconverge)";
    case NLECODE::smallstep: return "   step too small distant from solution (dxstop)";
    case NLECODE::overit: return "   too many iterations (overit)";
    case LSCODE::nointerval + NLECODE::linesearch: return "   too many iterations in finding interval in steplength";
    case LSCODE::novalue + NLECODE::linesearch: return "   too many iterations in finding value in interval in steplength";
    case LSCODE::notreduced + NLECODE::linesearch:
      return "   sequence of not reduced (at accessible boundary) in steplength";
    case LSCODE::slimsmall + NLECODE::linesearch: return "   slim too small (on edge looking out?)";
    case NLECODE::nodirection: return "   jacobian is zero (no direction)";
    default: return "   shouldn't get here";
  }
}

}  // namespace

bool NLE(smallint& code) {
  nlerun run(code);
  return run.solve();
}

bool nlerun::solve() {
  NLEIT = 0;
  NLESTEPIT = 0;
  // The propagation reads the sensitivities of this point or none: never
  // those an earlier solve left behind.
  const bool sensitivities = CONTROLJX.uncertaintylevel > 0;
  if (sensitivities) RESETSENSITIVITY();
  if (!INITIALISE()) {
    code = NLECODE::badstart;
    return false;
  }
  // A merit past the number range (a potential or a datum of some 1e2466
  // squared) has no step that reduces it: no point, as for a merit no step
  // of the line search can reduce.
  if (!std::isfinite(fstart)) {
    code = LSCODE::novalue + NLECODE::linesearch;
    if (DEBUGLEVEL >= 2 && DEBUGLEVEL <= 4) report();
    return false;
  }
  if (fstart < SMALLF || estart < SMALLE) {
    code = NLECODE::converged;
    if (sensitivities) MAKEDEQDX();
    return true;
  }
  iter = 0;
  do {
    ++iter;
    NLEIT = iter;
    NLESTEPIT = 1;
    overit = iter > maxit;
    fnok = method == 0 ? STEPLENGTH(*this, step, stepcode) : CALCH(step, stepcode);
    done = stepcode > 0 || fnok;
    if (stepcode == LSCODE::stepped) {
      smallint j = 0;
      for (long i = 1; i <= NX + NXP; ++i)
        if (BX[i]) X[i] = X[i] - step * dx[++j];
    }
    if (DEBUGLEVEL == 3) INTERMEDIATE();
  } while (!done && !overit);

  if (esizeok || fsizeok || dxconverge)
    code = NLECODE::converged;
  else if (dxsmall)
    code = NLECODE::smallstep;
  else if (overit)
    code = NLECODE::overit;
  else if (stepcode > 0)
    code = stepcode + NLECODE::linesearch;
  else
    code = NLECODE::softfail;
  if (code == NLECODE::converged && sensitivities) MAKEDEQDX();
  if (DEBUGLEVEL >= 2 && DEBUGLEVEL <= 4) report();
  return code == NLECODE::converged;
}

bool nlerun::INITIALISE() {
  method = CONTROLJX.linesearch ? 0 : 1;
  maxit = method == 0 ? maxitlinesearch : maxitsecond;
  nfree = 0;
  for (long i = 1; i <= NX + NXP; ++i)
    if (BX[i]) ++nfree;
  if (DEBUGLEVEL == 2) PRINTHEADER();
  maxe = 1;
  maxdx = 1;
  notreduced = 0;
  fnok = esizeok = fsizeok = dxconverge = dxsmall = false;
  acc = acctype::inaccessible;
  if (!NLEFUNCDRIVER(X, jac, resid)) {
    badstart();
    return false;
  }
  extended sum = 0, emax = 0;
  for (long j = 1; j <= nfree; ++j) {
    sum += resid[j] * resid[j];
    emax = absmax(emax, resid[j]);
  }
  fstart = 0.5L * sum;
  facc = fstart;
  estart = emax;
  if (method == 1)
    for (long k = 1; k <= nfree; ++k) {
      extended g = 0;
      for (long j = 1; j <= nfree; ++j) g += jac(j, k) * resid[j];
      grad[k] = g;
    }
  return true;
}

// The start point cannot be evaluated: quietly refused in a search, noted
// once at debug level 0, otherwise the end of the run.
void nlerun::badstart() {
  if (DOGMIN) {
    if (DOGLEVEL > 0) IO::WRITETERMINAL("solver could not start\n");
    return;
  }
  std::string head;
  if (DEBUGLEVEL == 0) {
    head = "\nillegal start ";
    IO::ADDINT(IBATCH, 3, head);
    IO::ADDINT(NOKBATCH, 3, head);
    head += "\n";
  }
  std::string values;
  IO::ADDREAL(X[1], 1, true, 10, values);
  IO::ADDINT(X[2] - CONST::KELVIN, 10, values);
  for (long i = 3; i <= NX; ++i) IO::ADDREAL(X[i], 4, true, 10, values);
  IO::WRITETERMINAL(head + namesline("", 1, NX) + "\n" + values + "\n");
  if (DEBUGLEVEL != 0) IO::ERROREXIT("nle", "illegal start", yourfault);
  DEBUGLEVEL = 1;
}

bool nlerun::NLEFUNCDRIVER(eqvector x, eqmatrix& j, eqvector& r) {
  const bool ok = EQUATIONS(x, j, r, DEBUGLEVEL != 5);
  if ((DEBUGLEVEL == 3 || DEBUGLEVEL == 4) && NLEIT == 0) FDCHECKJAC(x, j, r);
  // A refused point's Jacobian is never read: nothing to form.
  if (DEBUGLEVEL == 5 && ok) FDCALCJAC(x, j, r);
  return ok;
}

bool nlerun::PROBE(const eqvector& x, eqmatrix& j, eqvector& r) {
  // Cleared however the evaluation ends, a fatal stop included.
  struct probing {
    probing() { FDPROBE = true; }
    ~probing() { FDPROBE = false; }
    probing(const probing&) = delete;
    probing& operator=(const probing&) = delete;
  } on;
  return EQUATIONS(x, j, r, false);
}

// A column whose forward point cannot be evaluated is differenced backwards;
// when neither side can be, the analytic column stands in: no column keeps
// the values of an earlier Jacobian.
void nlerun::FDCALCJAC(eqvector& x, eqmatrix& j, eqvector& r) {
  const smallint saved = NLESTEPIT;
  NLESTEPIT = 0;
  const eqvector x0 = x, r0 = r;
  smallint c = 0;
  bool analytic = false;
  {
    // Every column holds the model's choices at the point, recorded by
    // evaluating it once more.
    ZQCALC1::HELDSTEP hold;
    PROBE(x0, fdjac, r);
    for (long i = 1; i <= NX + NXP; ++i) {
      if (!BX[i]) continue;
      ++c;
      x = x0;
      x[i] = x[i] + fdstep;
      extended h = fdstep;
      hold.STEPPED();
      if (!PROBE(x, fdjac, r)) {
        x[i] = x0[i] - fdstep;
        h = -fdstep;
        hold.STEPPED();
        if (!PROBE(x, fdjac, r)) {
          IO::PUTSTR(0, "jacobian: " + XNAME[i] + " +/- fd step cannot be evaluated: analytic column used", 1,
                     CHANNEL::TERMSUMLOG);
          fdcolumn[c] = false;
          analytic = true;
          continue;
        }
        IO::PUTSTR(0, "jacobian: " + XNAME[i] + " + fd step cannot be evaluated: backward difference used", 1,
                   CHANNEL::TERMSUMLOG);
      }
      fdcolumn[c] = true;
      for (long row = 1; row <= nfree; ++row) j(row, c) = (r[row] - r0[row]) / h;
    }
  }
  x = x0;
  if (analytic) {
    // The start point was evaluated, so it can be again, this time with
    // its Jacobian.
    EQUATIONS(x, fdjac, r, true);
    for (long k = 1; k <= c; ++k)
      if (!fdcolumn[k])
        for (long row = 1; row <= nfree; ++row) j(row, k) = fdjac(row, k);
  }
  EQUATIONS(x, fdjac, r, false);
  NLESTEPIT = saved;
}

void nlerun::STARTUP(extended& f0out, extended& g0, extended& slim, smallint& lscode) {
  maxdx = 0;
  if (!NLEFUNCDRIVER(X, jac, resid)) IO::ERROREXIT("startup", "bad start to iteration", yourfault);
  extended sum = 0;
  for (long j = 1; j <= nfree; ++j) sum += resid[j] * resid[j];
  f0out = 0.5L * sum;

  const smallint n = nfree;
  smallint k = 1;
  if (n > 0) {
    for (long i = 1; i <= n; ++i)
      for (long j = 1; j <= n; ++j) USVD(i, j) = jac(i, j);
    ZQMATH1::CALCSVD(n, n);
    k = n;
    for (smallint m = 1; m <= n - 1; ++m)
      if (SSVD[m] > svdcutoff * SSVD[n]) {
        k = m;
        break;
      }
  }
  NEARSING = k > 1;
  SINGRAT = n > 0 && std::fabs(SSVD[1]) >= svdcutoff ? SSVD[n] / SSVD[1] : 0;
  g0 = -2 * f0out;
  if (n > 0 && SSVD[n] == 0) {
    // Nothing to invert: no direction, so no step either.
    for (long i = 1; i <= n; ++i) dx[i] = 0;
    slim = 0;
    lscode = LSCODE::nodirection;
    return;
  }
  for (long i = 1; i <= n; ++i) {
    extended sum_i = 0;
    for (long m = k; m <= n; ++m) {
      extended utr = 0;
      for (long j = 1; j <= n; ++j) utr += USVD(j, m) * resid[j];
      sum_i += (1 / SSVD[m]) * VSVD(i, m) * utr;
    }
    dx[i] = sum_i;
  }
  FINDLIMIT(dx, slim, acc);
  lscode = slim < smallestslim ? LSCODE::slimsmall : LSCODE::stepped;
}

bool nlerun::FN(extended s, extended& f, extended& g, smallint callcode) {
  esizeok = fsizeok = dxsmall = dxconverge = false;
  if (s <= 0) IO::ERROREXIT("fn", "called with step <= 0", myfault);
  smallint j = 0;
  for (long i = 1; i <= NX + NXP; ++i) trialx[i] = BX[i] ? X[i] - s * dx[++j] : X[i];
  ++NLESTEPIT;
  if (!NLEFUNCDRIVER(trialx, jac, resid)) {
    if (MCIT - mcsoft > 1 || DEBUGLEVEL == 0 || DOGMIN) {
      f = 1;
      g = 0;
      maxe = 1;
      maxdx = 1;
      return true;
    }
    IO::ERROREXIT("fn", "not ok (" + IO::INT2STR(callcode) + ")", myfault);
  }
  extended sum = 0, slope = 0, emax = 0, dxmax = 0;
  for (long row = 1; row <= nfree; ++row) {
    sum += resid[row] * resid[row];
    extended jd = 0;
    for (long c = 1; c <= nfree; ++c) jd += jac(row, c) * dx[c];
    slope += resid[row] * jd;
    emax = absmax(emax, resid[row]);
  }
  f = 0.5L * sum;
  g = -slope;
  // A held unknown never moves, and some callers leave its typical size at
  // 0: dividing its nought by that would leave no step test standing.
  for (long i = 1; i <= NX + NXP; ++i)
    if (BX[i]) dxmax = absmax(dxmax, (trialx[i] - X[i]) / TYPX[i]);
  maxe = emax;
  maxdx = dxmax;
  esizeok = maxe <= SMALLE;
  fsizeok = std::sqrt(2 * f) < SMALLF;
  dxsmall = maxdx < SMALLDX;
  dxconverge = dxsmall && maxe < std::sqrt(SMALLE);
  if (esizeok && fsizeok)
    CONVSTATUS = "ef";
  else if (fsizeok)
    CONVSTATUS = "f";
  else if (esizeok)
    CONVSTATUS = "e";
  else if (dxconverge)
    CONVSTATUS = "dx";
  return esizeok || fsizeok || dxsmall;
}

// The second method is not built: it takes no step.
bool nlerun::CALCH(extended& s, smallint& lscode) {
  s = 0;
  lscode = LSCODE::stepped;
  return false;
}

void nlerun::report() {
  const char* reason = reasonline(code, *this);
  if (code == NLECODE::converged) {
    IO::PUTSTR(1, reason, 1, CHANNEL::TERMSUMLOG);
    return;
  }
  IO::PUTSTR(1, "No solution (" + IO::INT2STR(code) + "):", 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, reason, 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "at which stage x was:", 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, namesline("", 1, NX), 1, CHANNEL::TERMSUMLOG);
  std::string values;
  for (long i = 1; i <= NX; ++i) IO::ADDREAL(i == 2 ? physical(i) - CONST::KELVIN : physical(i), 4, false, 10, values);
  IO::PUTSTR(0, values, 1, CHANNEL::TERMSUMLOG);
  if (NXP > 0) {
    IO::PUTSTR(0, namesline(IO::BLANKSTRING(20), NX + 1, NX + NXP), 1, CHANNEL::TERMSUMLOG);
    std::string modes = IO::BLANKSTRING(20);
    for (long i = NX + 1; i <= NX + NXP; ++i) IO::ADDREAL(physical(i) / PHI, 4, false, 10, modes);
    IO::PUTSTR(0, modes, 1, CHANNEL::TERMSUMLOG);
  }
  IO::PUTSTR(0, std::string(underscores, '_'), 2, CHANNEL::TERMSUMLOG);
}

void STARTINGGUESSES() {
  const longint mask = DEBUGLEVEL < 2 ? CHANNEL::DETAILS : CHANNEL::TERMSUMLOG;
  std::string& names = IO::WSTRH;
  std::string& values = IO::WSTR;
  names.clear();
  values.clear();
  IO::ADDSTR("starting guesses:", 17, names);
  IO::ADDSTR("P(kbar)", 10, names);
  IO::ADDSTR(std::string("T(") + macroman::degree + "C)", 10, names);
  values = IO::BLANKSTRING(17);
  IO::ADDREAL(physical(1), 4, true, 10, values);
  IO::ADDREAL(physical(2) - CONST::KELVIN, 3, true, 10, values);
  smallint count = 2;
  for (long i = 3; i <= NX + NXP; ++i) {
    if (!BX[i]) continue;
    IO::ADDNAME(XNAME[i], 10, names);
    IO::ADDREAL(i > NX ? physical(i) / PHI : physical(i), 4, false, 10, values);
    if (++count > 19) {
      IO::PUTSTR(0, names, 1, mask);
      IO::PUTSTR(0, values, 1, mask);
      names = IO::BLANKSTRING(37);
      values = IO::BLANKSTRING(37);
      count = 2;
    }
  }
  IO::PUTSTR(0, names, 1, mask);
  IO::PUTSTR(0, values, count > 2 ? 2 : 1, mask);
}

}  // namespace ZQMATH2
