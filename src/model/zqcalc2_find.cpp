// One reaction solved for P, T or x(CO2): a survey of the window's ends,
// Newton from a chosen side, and bisection when Newton strays. A reaction
// line can bend back inside the window, so up to two roots come back.
#include <cmath>
#include <utility>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "frame/zqute1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"

using namespace ZQGLOBAL;

namespace ZQCALC2 {

namespace {

// x(CO2) stays off the pure fluids, where ln x has no value.
constexpr extended XCO2FLOOR = 1e-7L;
constexpr extended XCO2CEILING = 0.9999999L;
constexpr extended XCO2FIRSTSTEP = 0.01L;
// Near a pure fluid the x(CO2) tolerance shrinks with the distance to it.
constexpr extended XCO2NEARCO2 = 0.9L;
constexpr extended XCO2NEARH2O = 0.1L;
// Below this pressure (kbar) the P tolerance is relative.
constexpr extended PRELATIVEBELOW = 1;
// Two Newton runs closer than this many steps found the same root.
constexpr extended CLOSESTEPS = 4;
// Bisection: first to 100 steps before Newton again, then to 2 steps; the
// count of halvings is kept in a range that converts safely.
constexpr extended COARSEBRACKET = 100;
constexpr extended FINEBRACKET = 2;
constexpr extended MINHALVINGS = 2;
constexpr extended MAXHALVINGS = 200;

enum class startside { low, high, free };

smallint halvings(extended length, extended per) {
  extended n = 1 + std::log2(length / per);
  if (!(n >= MINHALVINGS)) n = MINHALVINGS;  // a NaN from a reversed bracket too
  if (n > MAXHALVINGS) n = MAXHALVINGS;
  return static_cast<smallint>(std::trunc(n));
}

bool solvable(findtype kind) {
  return kind == findtype::findt || kind == findtype::findp || kind == findtype::findxco2;
}

// The settings of one search, shared by its steps.
struct search {
  smallint k;
  findtype kind;
  extended P, T, xCO2, xH2O;
  extended lo = 0, hi = 0, tol = 0, step = 0;
  smallint ndig = 0;
  startside side = startside::free;

  // dmu at x in f, its slope along the solved variable in s.
  void CALC(extended x, extended& s, extended& f) const {
    extended dV = 0, dmudT = 0;
    switch (kind) {
      case findtype::findt:
        ZQCALC1::CALCDMU(k, dV, dmudT, f, P, x, xCO2, xH2O);
        s = dmudT;
        return;
      case findtype::findp:
        ZQCALC1::CALCDMU(k, dV, dmudT, f, x, T, xCO2, xH2O);
        s = dV;
        return;
      case findtype::findxco2: {
        ZQCALC1::CALCDMU(k, dV, dmudT, f, P, T, x, 1 - x);
        // The step points away from the nearer pure fluid.
        const extended h = x > XCO2NEARCO2 ? -(1 - x) * tol : x < XCO2NEARH2O ? x * tol : XCO2NEARH2O * tol;
        extended fh = 0;
        ZQCALC1::CALCDMU(k, dV, dmudT, fh, P, T, x + h, 1 - x - h);
        s = (fh - f) / h;
        return;
      }
      default: IO::ERROREXIT("calc", "unimplemented", myfault);
    }
  }

  extended value(extended x) const {
    extended s = 0, f = 0;
    CALC(x, s, f);
    return f;
  }

  void SETLIMIT(extended x) {
    switch (kind) {
      case findtype::findt: step = tol; return;
      case findtype::findp: step = x > PRELATIVEBELOW ? tol : std::fabs(x) * tol; return;
      case findtype::findxco2:
        step = x > XCO2NEARCO2 ? (1 - x) * tol : x < XCO2NEARH2O ? x * tol : XCO2NEARH2O * tol;
        return;
      default: IO::ERROREXIT("setlimit", "unimplemented", myfault);
    }
  }

  // Newton from x. A run may not leave the window through the end it
  // started from; through the other it is held at the end once.
  void ITERATE(extended& x, bool& ok) {
    if (!solvable(kind)) IO::ERROREXIT("iterate", "unimplemented", myfault);
    const int maxit = 3 * ndig + 9;
    int it = 0;
    bool outside = false, clamped = false, converged = false, toomany = false, flat = false;
    do {
      ++it;
      extended s = 0, f = 0;
      CALC(x, s, f);
      // No step from a flat point: the run has failed.
      if (s == 0) {
        flat = true;
        break;
      }
      const extended dx = -f / s;
      x = x + dx;
      SETLIMIT(x);
      if (kind == findtype::findxco2) {
        if (x < XCO2FLOOR)
          x = (XCO2FLOOR + x) / 2;
        else if (x > XCO2CEILING)
          x = (XCO2CEILING + x) / 2;
      } else if (x < lo || x > hi) {
        if (clamped)
          outside = true;
        else if (x < lo && side != startside::low) {
          x = lo;
          clamped = true;
        } else if (x > hi && side != startside::high) {
          x = hi;
          clamped = true;
        } else
          outside = true;
      }
      converged = std::fabs(dx) < step;
      toomany = it > maxit;
    } while (!(converged || toomany || outside));
    ok = converged && lo <= x && x <= hi;
    if (ok) return;
    if (toomany || outside || flat)
      x = NOROOT;
    else
      x = x < lo ? lo - 1 : hi + 1;
  }

  // Halves [left, right] n times at most, keeping the sign change inside.
  void INTERVALHALVING(extended& left, extended& right, smallint n) {
    const extended fl = value(left);
    const extended fr = value(right);
    if (SAMESIGN(fl, fr)) IO::ERROREXIT("interval halving", "same sign", myfault);
    if (n < 1) IO::ERROREXIT("interval halving", "v2<v1", myfault);
    smallint j = 0;
    do {
      ++j;
      const extended xm = (left + right) / 2;
      const extended fm = value(xm);
      SETLIMIT(xm);
      if (SAMESIGN(fm, fl))
        left = xm;
      else
        right = xm;
    } while (!(right - left < step || j == n));
  }

  // The root in [a, b], whose ends differ in sign: Newton from x, then
  // Newton from a narrowed bracket, then the bisection's midpoint.
  void FINDCROSSOVER(extended& x, extended a, extended b) {
    bool ok = false;
    ITERATE(x, ok);
    if (ok && a <= x && x <= b) return;
    extended left = a, right = b;
    SETLIMIT(left);
    INTERVALHALVING(left, right, halvings(right - left, COARSEBRACKET * step));
    x = (left + right) / 2;
    ITERATE(x, ok);
    if (ok) return;
    SETLIMIT(left);
    INTERVALHALVING(left, right, halvings(right - left, FINEBRACKET * step));
    x = (left + right) / 2;
  }

  // Case of a bend: dmu has an extremum in the window.
  void bend(extended& x1, extended& x2, extended fLo, extended sLo, extended fHi) {
    if (SAMESIGN(fLo, sLo)) {
      // dmu moves away from zero from both ends: no root.
      x1 = lo - 1;
      x2 = hi + 1;
      return;
    }
    bool ok1 = false, ok2 = false;
    side = startside::low;
    x1 = lo;
    ITERATE(x1, ok1);
    side = startside::high;
    x2 = hi;
    ITERATE(x2, ok2);
    bool close = false;
    if (ok1 && ok2)
      close = std::fabs(x2 - x1) < CLOSESTEPS * step;
    else if (ok1) {
      close = true;
      x2 = x1;
    } else if (ok2)
      close = true;
    else {
      x1 = NOROOT;
      x2 = NOSECONDROOT;
    }
    if (close) {
      // One root found: the other crossing lies above or below it. The
      // probe above is held at the window's top, so the bracket keeps its
      // order.
      extended s = 0, f = 0;
      extended xm = x2 + CLOSESTEPS * step;
      if (xm > hi) xm = hi;
      CALC(xm, s, f);
      if (!SAMESIGN(f, fHi)) {
        side = startside::free;
        x1 = (hi + xm) / 2;
        FINDCROSSOVER(x1, xm, hi);
      } else {
        xm = x2 - CLOSESTEPS * step;
        if (xm < lo) xm = lo;
        CALC(xm, s, f);
        if (!SAMESIGN(f, fLo)) {
          side = startside::free;
          x1 = (lo + xm) / 2;
          FINDCROSSOVER(x1, lo, xm);
        } else
          x1 = x2;
      }
    }
    if (x1 < x2) std::swap(x1, x2);
  }
};

}  // namespace

bool SAMESIGN(extended a, extended b) { return (a <= 0 && b <= 0) || (a >= 0 && b >= 0); }

void FIND(smallint k, findtype kind, bool useguess, extended& x1, extended& x2, extended& dV1, extended P,
          extended T, extended xCO2, extended xH2O, extended& dV2, extended& dmudT1, extended& dmudT2) {
  search w{k, kind, P, T, xCO2, xH2O};
  switch (kind) {
    case findtype::findt:
      w.lo = TLOW;
      w.hi = THIGH;
      w.tol = ZQMATH1::TENTOPOWER(static_cast<smallint>(-1 - TPRECISION));
      w.ndig = static_cast<smallint>(TPRECISION - 2);
      w.step = w.tol;
      break;
    case findtype::findp:
      w.lo = PLOW;
      w.hi = PHIGH;
      w.tol = ZQMATH1::TENTOPOWER(static_cast<smallint>(-1 - PPRECISION));
      w.ndig = static_cast<smallint>(PPRECISION - 3);
      w.step = w.tol;
      break;
    case findtype::findxco2:
      w.lo = XCO2LOW < XCO2FLOOR ? XCO2FLOOR : XCO2LOW;
      w.hi = XCO2HIGH > XCO2CEILING ? XCO2CEILING : XCO2HIGH;
      w.tol = ZQMATH1::TENTOPOWER(static_cast<smallint>(-1 - XCO2PRECISION));
      w.ndig = 0;
      w.step = XCO2FIRSTSTEP;
      break;
    default: IO::ERROREXIT("find", "unimplemented", myfault);
  }
  if (useguess && !ZQUTE1::INRANGE(x1, kind)) {
    x1 = NOROOT;
    x2 = NOSECONDROOT;
    return;
  }
  const extended lo = w.lo, hi = w.hi;
  if (useguess) {
    bool ok = false;
    w.side = startside::free;
    w.ITERATE(x1, ok);
    x2 = NOSECONDROOT;
  } else {
    extended sLo = 0, fLo = 0, sHi = 0, fHi = 0;
    w.CALC(lo, sLo, fLo);
    w.CALC(hi, sHi, fHi);
    const bool crossing = !SAMESIGN(fLo, fHi);
    bool above = false, bend = false;
    if (!crossing) {
      if (sLo > 0 && sHi > 0)
        above = fLo < 0;
      else if (sLo < 0 && sHi < 0)
        above = fLo > 0;
      else
        bend = true;
    }
    if (crossing && SAMESIGN(sLo, sHi)) {
      w.side = startside::free;
      x1 = (lo + hi) / 2;
      w.FINDCROSSOVER(x1, lo, hi);
      x2 = NOSECONDROOT;
    } else if (crossing) {
      // The line bends back: the root is on the side where dmu heads for 0.
      if (SAMESIGN(fLo, sLo)) {
        w.side = startside::high;
        x1 = hi;
        w.FINDCROSSOVER(x1, lo, hi);
        x2 = lo - 1;
      } else {
        w.side = startside::low;
        x1 = lo;
        w.FINDCROSSOVER(x1, lo, hi);
        x2 = hi + 1;
      }
    } else if (bend)
      w.bend(x1, x2, fLo, sLo, fHi);
    else {
      x1 = above ? hi + 1 : lo - 1;
      x2 = NOSECONDROOT;
    }
  }

  dV1 = dV2 = dmudT1 = dmudT2 = 0;
  if (kind == findtype::findxco2) return;
  const auto at = [&](extended x, extended& dV, extended& dmudT) {
    extended dmu = 0;
    if (kind == findtype::findp)
      ZQCALC1::CALCDMU(k, dV, dmudT, dmu, x, T, xCO2, xH2O);
    else
      ZQCALC1::CALCDMU(k, dV, dmudT, dmu, P, x, xCO2, xH2O);
  };
  if (!ZQUTE1::INRANGE(x1, kind)) return;
  at(x1, dV1, dmudT1);
  if (ZQUTE1::INRANGE(x2, kind)) at(x2, dV2, dmudT2);
}

void PCALC(smallint k, bool useguess, extended& P1, extended& P2, extended& dV1, extended& dV2, extended T,
           extended xCO2, extended xH2O, extended& dmudT1, extended& dmudT2) {
  FIND(k, findtype::findp, useguess, P1, P2, dV1, 0, T, xCO2, xH2O, dV2, dmudT1, dmudT2);
}

void TCALC(smallint k, bool useguess, extended& T1, extended& T2, extended& dV1, extended& dV2, extended P,
           extended xCO2, extended xH2O, extended& dmudT1, extended& dmudT2) {
  FIND(k, findtype::findt, useguess, T1, T2, dV1, P, 0, xCO2, xH2O, dV2, dmudT1, dmudT2);
}

}  // namespace ZQCALC2
