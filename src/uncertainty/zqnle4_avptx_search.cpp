// The avPT+ crossover search: the solve against each stored calculation
// gives a misfit between the calculation's own P (T) and the solved one;
// the search brackets the sign change of that misfit over the calculations
// (avP+, avT+) or over the pressure blocks (avPT+), narrows it by halving
// and interpolates to the zero.
#include <cmath>
#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "uncertainty/zqnle4_avptplus.h"

namespace ZQNLE4 {

namespace {

using ZQGLOBAL::JXCALC;

extended pk(long i) { return (*JXCALC)[i].p; }
extended tk(long i) { return (*JXCALC)[i].t; }

// The nearest integer (halves away from zero), kept within a smallint so
// that a wild quotient cannot overflow the conversion.
long nearest(extended x) {
  if (!(x > -32768.0L)) return -32768;
  if (!(x < 32767.0L)) return 32767;
  return std::lround(x);
}

// One call of AVPTPLUSX: its arguments and the locals that the nested
// BLOCKPAR, GOODBLOCK and CALCDELP share with it.
struct crossover {
  avptplusstate& S;
  const xyzvector& rock;
  const xyzvector& jx;
  extended& P;
  extended& T;
  extended& sigfit;
  smallint& failcode;
  const bool nominal;
  extended TSCALE = 0;
  bool ok = false;
  // The bracketing's message: a text and, when withn, a count after it.
  // Kept as a pointer so that a Monte Carlo try builds no text.
  const char* message = nullptr;
  long messagen = 0;
  bool withn = false;
  // Sought coordinate of avP+ / avT+.
  bool sought_p = true;

  bool run();

  // -------------------------------------------------------------- pieces
  void say(const char* text) { message = text, withn = false; }
  void say(const char* text, long n) { message = text, messagen = n, withn = true; }
  std::string messagetext() const { return std::string(message) + (withn ? IO::INT2STR(messagen) : std::string()); }
  // The nominal run ends here; a try only fails.
  void stopifnominal() {
    if (nominal) IO::ERROREXIT("avptplusx", messagetext(), yourfault);
  }
  // Lines of the nominal run; a try builds no text. Messages start a new
  // line; headings and rows go on with the block.
  void line(const char* text) const {
    if (nominal) IO::PUTSTR(1, text, 1, CHANNEL::TERMSUMLOG);
  }
  bool solve(smallint k, extended& p, extended& t) {
    if (S.SOLVESEAM != nullptr) return S.SOLVESEAM(S, k, p, t, sigfit);
    return S.AVPTPLUS(rock, jx, k, p, t, sigfit, false);
  }
  // The misfits and sigfit of calculation k from the solve that left P, T.
  void store(smallint k) {
    S.DELPCALC[k] = pk(k) - P;
    S.DELTCALC[k] = (tk(k) - T) / TSCALE;
    S.SIGFITCALC[k] = sigfit;
  }
  bool finish();
  bool nosolution();

  // -------------------------------------------------------------- avP+ and avT+
  extended calcvalue(long i) const { return sought_p ? pk(i) : tk(i); }
  jxvector& misfits() { return sought_p ? S.DELPCALC : S.DELTCALC; }
  extended misfit(long i, extended solved) const {
    return sought_p ? calcvalue(i) - solved : (calcvalue(i) - solved) / TSCALE;
  }
  extended solvedvalue(long i) { return sought_p ? pk(i) - S.DELPCALC[i] : tk(i) - S.DELTCALC[i] * TSCALE; }
  // Solves calculation k from the guess into x, the other coordinate fixed.
  bool solveone(smallint k, extended& x) {
    x = sought_p ? ZQGLOBAL::AVPGUESS : ZQGLOBAL::AVTGUESS;
    return sought_p ? solve(k, x, ZQGLOBAL::AVPFIXEDT) : solve(k, ZQGLOBAL::AVTFIXEDP, x);
  }
  void bracketone(smallint& lo, smallint& hi);
  void halveone(smallint mid, smallint& lo, smallint& hi);
  void traceone(smallint lo, smallint j, extended solved, smallint hi);
  void resultone(smallint lo, smallint hi);

  // -------------------------------------------------------------- avPT+
  smallint nb = 0;  // pressure blocks the calcP steps give
  extended T1 = 0, d1 = 0, T2 = 0, d2 = 0;  // crossover T and P misfit of the lo and hi blocks
  void BLOCKPAR(smallint ib, smallint& first, smallint& last) const;
  bool GOODBLOCK(smallint ib, smallint& first, smallint& last, smallint& i1, smallint& i2);
  bool CALCDELP(smallint i1, smallint i2, extended& step, extended& tx, extended& delp);
  void bracketblocks(smallint& lo, smallint& hi);
  void halveblocks(smallint iter, smallint mid, smallint& lo, smallint& hi);
  void resultblocks(smallint lo, smallint hi);
  std::string blockrow(extended p, extended t, extended d) const;
};

bool crossover::finish() {
  // A zero or a non-number is no result, whatever the search said.
  if (P == 0 || T == 0 || !std::isfinite(P) || !std::isfinite(T)) return false;
  return ok;
}

bool crossover::nosolution() {
  line("no solution in the range of the calculations");
  if (failcode != XFAILHIGHEND && failcode != XFAILLOWEND) failcode = XFAILTOOFEW;
  ok = false;
  return finish();
}

// ---------------------------------------------------------------- avP+ and avT+

void crossover::bracketone(smallint& lo, smallint& hi) {
  const smallint njx = ZQGLOBAL::NJX;
  smallint i1 = 0;
  extended x1 = 0, sig1 = 0;
  bool found = false;
  do {
    ++i1;
    found = solveone(i1, x1);
  } while (!found && i1 < njx);
  if (!found) {
    say(sought_p ? "no avP calcs, with njx = " : "no avT calcs, with njx = ", njx);
    stopifnominal();
    return;
  }
  sig1 = sigfit;
  smallint i2 = njx + 1;
  extended x2 = 0;
  found = false;
  do {
    --i2;
    found = solveone(i2, x2);
  } while (!found && i2 > i1);
  if (!found) {
    say(sought_p ? "only one avP calc" : "only one avT calc");
    stopifnominal();
    return;
  }
  if (i2 - i1 + 1 < 2) {
    say(sought_p ? "too few avP calcs = " : "too few avT calcs = ", i2 - i1 + 1);
    stopifnominal();
    return;
  }
  const extended c1 = calcvalue(i1), c2 = calcvalue(i2);
  if ((c1 <= x1 && c2 >= x2) || (c1 >= x1 && c2 <= x2)) {
    say(sought_p ? "there is a crossover defining avP+" : "there is a crossover defining avT+");
    ok = true;
  } else {
    say("there is NOT a crossover");
    failcode = std::fabs(x2 - c2) < std::fabs(x1 - c1) ? XFAILHIGHEND : XFAILLOWEND;
    return;
  }
  jxvector& other = sought_p ? S.DELTCALC : S.DELPCALC;
  for (long i = 1; i <= njx; ++i) other[i] = 0;
  misfits()[i1] = misfit(i1, x1);
  misfits()[i2] = misfit(i2, x2);
  S.SIGFITCALC[i1] = sig1;
  S.SIGFITCALC[i2] = sigfit;
  lo = i1;
  hi = i2;
}

void crossover::traceone(smallint lo, smallint j, extended solved, smallint hi) {
  if (!nominal) return;
  const char* sep = sought_p ? "  : " : "  :";
  std::string s;
  const auto group = [&](smallint i, extended v) {
    IO::ADDINT(i, 2, s);
    IO::ADDREAL(calcvalue(i), 3, true, 8, s);
    IO::ADDREAL(v, 3, true, 8, s);
    IO::ADDREAL(misfits()[i], 3, true, 8, s);
  };
  group(lo, solvedvalue(lo));
  s += sep;
  group(j, solved);
  s += sep;
  group(hi, solvedvalue(hi));
  IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
}

void crossover::halveone(smallint mid, smallint& lo, smallint& hi) {
  extended& x = sought_p ? P : T;
  smallint j = mid;
  bool found = false;
  for (j = mid; j <= hi - 1; ++j)
    if ((found = solveone(j, x))) break;
  if (!found)
    for (j = mid; j >= lo + 1; --j)
      if ((found = solveone(j, x))) break;
  if (!found) {
    ok = false;
    return;
  }
  jxvector& del = misfits();
  del[j] = misfit(j, x);
  S.SIGFITCALC[j] = sigfit;
  traceone(lo, j, x, hi);
  if ((del[j] >= 0 && del[hi] <= 0) || (del[j] <= 0 && del[hi] >= 0))
    lo = j;
  else
    hi = j;
  ok = true;
}

void crossover::resultone(smallint lo, smallint hi) {
  const jxvector& del = misfits();
  if (del[hi] == del[lo]) {
    // Both ends at the same misfit: no line through them crosses zero once.
    if (nominal) IO::WRITETERMINAL(IO::INT2STR(S.ITRY) + " failed at the end\n");
    ok = false;
    failcode = XFAILLOWEND;
    return;
  }
  const extended x = (calcvalue(lo) * del[hi] - calcvalue(hi) * del[lo]) / (del[hi] - del[lo]);
  if (sought_p)
    P = x;
  else
    T = x;
}

// ---------------------------------------------------------------- avPT+

void crossover::BLOCKPAR(smallint ib, smallint& first, smallint& last) const {
  const smallint njx = ZQGLOBAL::NJX;
  // The first calculation always opens block 1, even at a pressure of 0.
  extended current = pk(1);
  smallint count = 1;
  smallint i = 1;
  first = 1;
  while (count < ib && i < njx) {
    ++i;
    if (pk(i) != current) {
      current = pk(i);
      first = i;
      ++count;
    }
  }
  last = first;
  while (last < njx && pk(last + 1) == current) ++last;
}

bool crossover::GOODBLOCK(smallint ib, smallint& first, smallint& last, smallint& i1, smallint& i2) {
  BLOCKPAR(ib, first, last);
  const auto fromguess = [&](smallint k) {
    P = ZQGLOBAL::AVPGUESS;
    T = ZQGLOBAL::AVTGUESS;
    return solve(k, P, T);
  };
  bool found = false;
  for (i1 = first;; ++i1)
    if ((found = fromguess(i1)) || i1 >= last) break;
  if (!found) return false;
  // The high end's solve overwrites P and T: keep the low end's result.
  const extended p1 = P, t1 = T, sig1 = sigfit;
  found = false;
  for (i2 = last;; --i2)
    if ((found = fromguess(i2)) || i2 <= i1) break;
  if (!found || i2 == i1) return false;
  store(i2);
  S.DELPCALC[i1] = pk(i1) - p1;
  S.DELTCALC[i1] = (tk(i1) - t1) / TSCALE;
  S.SIGFITCALC[i1] = sig1;
  if (S.DELTCALC[i1] >= 0 && S.DELTCALC[i2] <= 0) ++S.NWRONGDELT;
  return S.DELTCALC[i1] < 0 && S.DELTCALC[i2] > 0;
}

// Within one block, whose ends i1 and i2 passed GOODBLOCK: the temperature
// where the solve crosses the block's own temperatures and the pressure
// misfit there. The solve can follow two limbs (from below and from above);
// where they part, the crossing is placed by the sigfits of the two.
bool crossover::CALCDELP(smallint i1, smallint i2, extended& step, extended& tx, extended& delp) {
  jxvector& DP = S.DELPCALC;
  jxvector& DT = S.DELTCALC;
  extended pg1 = 0, tg1 = 0, pg2 = 0, tg2 = 0;
  const auto from = [&](smallint k, extended pg, extended tg) {
    P = pg;
    T = tg;
    return solve(k, P, T);
  };
  // Halving over the calculations of the block.
  smallint l = i1, h = i2, n = 0;
  bool done = false;
  do {
    ++n;
    const smallint m = static_cast<smallint>((l + h) / 2);
    done = m == l || m == h;
    if (!done) {
      pg1 = pk(l) - DP[l];
      tg1 = tk(l) - DT[l] * TSCALE;
      if (pg1 == 0 || tg1 == 0) IO::ERROREXIT("calcdelp", "zero starting guess stuffup", yourfault);
      smallint j = m;
      bool found = false;
      for (;; ++j)
        if ((found = from(j, pg1, tg1)) || j >= h) break;
      if (!found || j == h) {
        done = true;
      } else {
        store(j);
        if (DT[j] < 0) pg1 = P, tg1 = T;
        if (DT[j] <= 0)
          l = j;
        else
          h = j;
      }
    }
    if (!done && n > AVPTMAXHALVING) IO::ERROREXIT("calcdelp", "initial interval halving failed (2)", yourfault);
  } while (!done);
  // A block of two calculations makes no halving step and so no guess;
  // the scan below needs one only where l's own misfit is exactly 0.
  if (pg1 == 0 && tg1 == 0) pg1 = pk(l) - DP[l], tg1 = tk(l) - DT[l] * TSCALE;
  step = 1;
  tx = 0;
  delp = 0;
  // The neighbours of l and h get their misfits where they can; only the
  // upper-limb guess is taken from them.
  if (l != i1 && DT[l - 1] == 0 && !(l - 2 == i1) && !(l - 2 > i1 && DT[l - 2] != 0)) {
    for (smallint j = l - 1; j >= i1 + 1; --j)
      if (from(j, pg1, tg1)) {
        store(j);
        break;
      }
  }
  pg2 = pk(h) - DP[h];
  tg2 = tk(h) - DT[h] * TSCALE;
  if (h != i2 && DT[h + 1] == 0 && !(h + 2 == i2) && !(h + 2 < i2 && DT[h + 2] != 0)) {
    for (smallint j = h + 1; j <= i2 - 1; ++j)
      if (from(j, pg2, tg2)) {
        store(j);
        pg2 = P, tg2 = T;
        break;
      }
  }
  // Down from l: the lower and the upper limb solved at each calculation.
  smallint npos = 0, nsplit = 0, kk = 0;
  extended dsl = 0, dskk = 0;
  for (smallint k = l; k >= i1; --k) {
    bool stop = false;
    if (DP[k] == 0) {
      if (!from(k, pg1, tg1)) {
        stop = true;
      } else {
        store(k);
        pg1 = P, tg1 = T;
      }
    }
    if (!stop && !from(k, pg2, tg2)) stop = true;
    if (!stop) {
      S.DELPCALC2[k] = pk(k) - P;
      S.DELTCALC2[k] = (tk(k) - T) / TSCALE;
      S.SIGFITCALC2[k] = sigfit;
      const extended dp = S.DELPCALC2[k] - DP[k];
      const extended dt = S.DELTCALC2[k] - DT[k];
      step = dp > dt ? dp : dt;
      const extended ds = S.SIGFITCALC2[k] - S.SIGFITCALC[k];
      if (k == l) dsl = ds;
      if (step <= AVPTLIMBAGREE) {
        stop = true;
      } else {
        if (++nsplit == 1) ++S.NLIMBSPLIT;
        pg2 = P, tg2 = T;
        kk = k;
        dskk = ds;
        if (ds > 0) ++npos;
        if (npos == AVPTLIMBSIGNS) stop = true;
      }
    }
    if (stop || k == i1) break;
  }
  const auto D = [&](smallint k) {
    return (DP[k] * S.DELTCALC2[k] - S.DELPCALC2[k] * DT[k]) / (S.DELTCALC2[k] - DT[k]);
  };
  if (kk == 0) {
    tx = (tk(l) * DT[h] - tk(h) * DT[l]) / (DT[h] - DT[l]);
    delp = (DP[l] * DT[h] - DP[h] * DT[l]) / (DT[h] - DT[l]);
  } else if (kk == l) {
    tx = tk(l);
    delp = D(l);
  } else {
    tx = (tk(l) * dskk - tk(kk) * dsl) / (dskk - dsl);
    if (tx > tk(h))
      tx = tk(h);
    else if (tx < tk(kk))
      tx = tk(l);
    delp = D(kk) + (D(l) - D(kk)) * (tx - tk(kk)) / (tk(l) - tk(kk));
  }
  return true;
}

std::string crossover::blockrow(extended p, extended t, extended d) const {
  std::string s;
  IO::ADDREAL(p, 3, true, 8, s);
  IO::ADDREAL(t, 2, true, 8, s);
  IO::ADDREAL(d, 3, true, 8, s);
  IO::ADDREAL(S.BLOCKSTEP, 3, true, 8, s);
  return s;
}

void crossover::bracketblocks(smallint& lo, smallint& hi) {
  const smallint njx = ZQGLOBAL::NJX;
  if (!(std::fabs(ZQGLOBAL::CPINC) > 0)) IO::ERROREXIT("avptplusx", "P inc = 0 in calcP", yourfault);
  nb = static_cast<smallint>(nearest((pk(njx) - pk(1)) / ZQGLOBAL::CPINC) + 1);
  if (nominal) IO::PUTSTR(1, "number of P blocks = " + IO::INT2STR(nb), 1, CHANNEL::TERMSUMLOG);
  smallint f1 = 0, l1 = 0, f2 = 0, l2 = 0, a1 = 0, a2 = 0;
  smallint iblo = 1;
  bool found = false;
  for (;; ++iblo) {
    if ((found = GOODBLOCK(iblo, f1, l1, a1, a2)) || iblo >= nb) break;
  }
  if (!found) {
    say("crossover not found (1)");
    return;
  }
  IO::DUMMYBOOLEAN = !CALCDELP(a1, a2, S.BLOCKSTEP, T1, d1);
  if (nominal) {
    line("P bracket");
    std::string head;
    for (const char* h : {"P", "T", "delP", "step"}) IO::ADDSTR(h, 8, head);
    IO::PUTSTR(0, head, 1, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, blockrow(pk(a1), T1, d1), 1, CHANNEL::TERMSUMLOG);
  }
  smallint ibhi = nb < 1 ? 1 : nb;
  for (;; --ibhi) {
    if ((found = GOODBLOCK(ibhi, f2, l2, a1, a2)) || ibhi <= 1) break;
  }
  if (!found) {
    say("crossover not found (2)");
    return;
  }
  if (pk(f2) == pk(f1)) {
    say("just one P block");
    ok = false;
    return;
  }
  IO::DUMMYBOOLEAN = !CALCDELP(a1, a2, S.BLOCKSTEP, T2, d2);
  if (nominal) IO::PUTSTR(0, blockrow(pk(a1), T2, d2), 1, CHANNEL::TERMSUMLOG);
  if ((d1 >= 0 && d2 <= 0) || (d1 <= 0 && d2 >= 0)) {
    message = nullptr;
    smallint changes = 1;
    for (smallint i = f1; i < l2; ++i)
      if (pk(i + 1) != pk(i)) ++changes;
    if (changes != nearest((pk(f2) - pk(f1)) / ZQGLOBAL::CPINC) + 1)
      IO::ERROREXIT("avptplusx", "block mismatch", yourfault);
    ok = true;
    lo = iblo;
    hi = ibhi;
  } else {
    say("crossover not found (3)");
    ok = false;
    failcode = XFAILHIGHEND;
    line("but delP has the same sign");
  }
}

void crossover::halveblocks(smallint iter, smallint mid, smallint& lo, smallint& hi) {
  smallint first = 0, last = 0, a1 = 0, a2 = 0;
  if (!GOODBLOCK(mid, first, last, a1, a2)) {
    ok = false;
    return;
  }
  extended tm = 0, dm = 0;
  IO::DUMMYBOOLEAN = !CALCDELP(a1, a2, S.BLOCKSTEP, tm, dm);
  if ((dm >= 0 && d2 <= 0) || (dm <= 0 && d2 >= 0)) {
    lo = mid;
    T1 = tm, d1 = dm;
  } else {
    hi = mid;
    T2 = tm, d2 = dm;
  }
  if (nominal) {
    smallint f1 = 0, f2 = 0, dummy = 0;
    BLOCKPAR(lo, f1, dummy);
    BLOCKPAR(hi, f2, dummy);
    const extended pe = (pk(f1) * d2 - pk(f2) * d1) / (d2 - d1);
    const extended te = (T1 * d2 - T2 * d1) / (d2 - d1);
    if (iter == 1) line("interval halving");
    std::string s = blockrow(pk(a1), tm, dm);
    s += "   ";
    IO::ADDREAL(pe, 3, true, 8, s);
    IO::ADDREAL(te, 2, true, 8, s);
    IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
  }
  ok = true;
}

void crossover::resultblocks(smallint lo, smallint hi) {
  smallint f1 = 0, f2 = 0, dummy = 0;
  BLOCKPAR(lo, f1, dummy);
  BLOCKPAR(hi, f2, dummy);
  if (d2 == d1) {
    if (nominal) IO::WRITETERMINAL(IO::INT2STR(S.ITRY) + " failed at the end\n");
    ok = false;
    failcode = XFAILLOWEND;
    return;
  }
  P = (pk(f1) * d2 - pk(f2) * d1) / (d2 - d1);
  T = (T1 * d2 - T2 * d1) / (d2 - d1);
  if (nominal) {
    line("finally");
    std::string s;
    IO::ADDREAL(P, 3, true, 8, s);
    IO::ADDREAL(T, 2, true, 8, s);
    IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
  }
}

// ---------------------------------------------------------------- the search

bool crossover::run() {
  using namespace ZQGLOBAL;
  const bool onevar = S.AVPPLUS || S.AVTPLUS;
  sought_p = !S.AVTPLUS;
  failcode = XFAILNONE;
  TSCALE = S.TEMPERATURESCALE();
  sigfit = 0;
  if (S.AVPPLUS) T = AVPFIXEDT;
  if (S.AVTPLUS) P = AVTFIXEDP;
  for (long i = 1; i <= NJX; ++i) S.DELPCALC[i] = 0, S.DELTCALC[i] = 0;
  ok = false;
  if (NJX < (onevar ? 2 : 4)) {
    say("too few jx calcs, njx = ", NJX);
    stopifnominal();
    return nosolution();
  }
  smallint lo = 0, hi = 0;
  if (onevar)
    bracketone(lo, hi);
  else
    bracketblocks(lo, hi);
  if (message != nullptr && nominal) IO::PUTSTR(1, messagetext(), 1, CHANNEL::TERMSUMLOG);
  if (!ok) return nosolution();

  smallint iter = 0;
  bool done = false;
  do {
    ++iter;
    const smallint mid = static_cast<smallint>((lo + hi) / 2);
    done = mid == lo || mid == hi;
    if (!done) {
      if (onevar)
        halveone(mid, lo, hi);
      else
        halveblocks(iter, mid, lo, hi);
    }
    if (iter > AVPTMAXHALVING) {
      if (!nominal)
        IO::PUTSTR(1,
                   "interval halving failed at mc counter = " + IO::INT2STR(S.ITRY) + " with ell = " +
                       IO::INT2STR(lo) + " " + IO::INT2STR(hi) + "  " + IO::INT2STR(mid) + "?",
                   1, CHANNEL::TERMSUMLOG);
      IO::ERROREXIT("avptplusx", "failure: interval halving problem", yourfault);
    }
    if (!done && !nominal && AVPTALGO == AVPTALGOONESTEP) done = true;
    if (done) ok = true;
  } while (!done && ok);
  if (!done) {
    line("no success in interval halving");
    failcode = XFAILNOCOLLAPSE;
    return finish();
  }
  if (onevar)
    resultone(lo, hi);
  else
    resultblocks(lo, hi);
  return finish();
}

}  // namespace

bool avptplusstate::AVPTPLUSX(const xyzvector& rock, const xyzvector& jx, extended& p, extended& t,
                              extended& sigfit, smallint& failcode, bool nominal) {
  crossover x{*this, rock, jx, p, t, sigfit, failcode, nominal};
  return x.run();
}

}  // namespace ZQNLE4
