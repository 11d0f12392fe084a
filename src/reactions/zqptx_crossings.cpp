// Where the lines of a candidate intersection change order along the list,
// and the refinement of each such crossing by chords between exact solutions.
#include <algorithm>
#include <cmath>
#include <utility>

#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "reactions/zqptx.h"

using namespace ZQGLOBAL;
using IO::WSTR;

namespace ZQPTX {

namespace {

constexpr smallint MAXREFINE = 6;          // chord steps of one refinement
constexpr extended NOTYET = 1e10L;         // previous point before the first chord
constexpr extended CHORDTINY = 1e-10L;     // zero width of a bracket, zero slope difference
constexpr extended GRADSTEP = 1e-7L;       // central difference of an affinity along the list variable
constexpr int MAXPOLISH = 12;              // Newton steps taking a crossing to the display's precision
constexpr extended POLISH = 1000;          // ... where the steps are this far below the tolerances

}  // namespace

crossings::crossings()
    : val(new fmatrix<extended, 1, 2 * maxn, 1, maxlistvalues>{}),
      inw(new fmatrix<bool, 1, 2 * maxn, 1, maxlistvalues>{}),
      mark(new fmatrix<bool, 1, 2 * maxn, 1, maxlistvalues>{}) {}

crossings::~crossings() {
  delete val;
  delete inw;
  delete mark;
}

void crossings::LOAD(smallint count, const farray<smallint, 1, maxn>& reactions, smallint listcount,
                     const farray<extended, 1, maxlistvalues>& list) {
  n = count;
  N = listcount;
  X = &list;
  for (smallint k = 1; k <= n; ++k) {
    rn[k] = reactions[k];
    for (smallint m = 1; m <= N; ++m) {
      v(k, 1, m) = RLINE1(rn[k], m);
      v(k, 2, m) = RLINE2(rn[k], m);
    }
  }
}

void crossings::COMPARE(smallint m, smallint a, smallint b, smallint ba, smallint bb, bool& above, bool& restart,
                        bool& crossed) {
  if (!in(a, ba, m) || !in(b, bb, m)) {
    restart = true;
    return;
  }
  const bool below = v(a, ba, m) < v(b, bb, m);
  if (restart) {
    restart = false;
  } else {
    crossed = above != below;
  }
  above = below;
}

void crossings::CROSSOVER(bool& found) {
  for (smallint k = 1; k <= n; ++k)
    for (smallint b = 1; b <= 2; ++b)
      for (smallint m = 1; m <= N; ++m) {
        in(k, b, m) = ZQUTE1::INRANGE(v(k, b, m), PTMODE);
        mk(k, b, m) = false;
      }
  found = false;
  for (smallint a = 1; a < n; ++a)
    for (smallint b = static_cast<smallint>(a + 1); b <= n; ++b)
      for (smallint ba = 1; ba <= 2; ++ba)
        for (smallint bb = 1; bb <= 2; ++bb) {
          bool restart = true, crossed = false, above = false;
          for (smallint m = 1; m <= N; ++m) {
            COMPARE(m, a, b, ba, bb, above, restart, crossed);
            if (crossed) {
              found = true;
              mk(a, ba, m) = true;
              mk(b, bb, m) = true;
              restart = true;
              crossed = false;
            }
          }
        }
}

bool crossings::CROSS(smallint ra, smallint rb, smallint ba, smallint bb, smallint m) {
  const extended a1 = v(ra, ba, m), a0 = v(ra, ba, static_cast<smallint>(m - 1));
  const extended b1 = v(rb, bb, m), b0 = v(rb, bb, static_cast<smallint>(m - 1));
  return (a1 > b1 && b0 > a0) || (b1 > a1 && a0 > b0);
}

void crossings::SETUPPTX(smallint ra, smallint rb, smallint ba, smallint bb, smallint m) {
  const rlinematrix& A = ba == 1 ? RLINE1 : RLINE2;
  const rlinematrix& B = bb == 1 ? RLINE1 : RLINE2;
  xlo = (*X)[m - 1];
  xhi = (*X)[m];
  Alo = A(ra, m - 1);
  Ahi = A(ra, m);
  Blo = B(rb, m - 1);
  Bhi = B(rb, m);
}

void crossings::CROSSPTX(extended& x, extended& y, bool& ok) {
  const extended dx = xhi - xlo;
  // On ln a and mu lists the bracket can end at 0: its width is then judged absolutely.
  ok = xhi == 0 ? std::fabs(dx) > CHORDTINY : std::fabs(dx / xhi) > CHORDTINY;
  if (!ok) return;
  const extended sA = (Ahi - Alo) / dx, cA = (Alo * xhi - Ahi * xlo) / dx;
  const extended sB = (Bhi - Blo) / dx, cB = (Blo * xhi - Bhi * xlo) / dx;
  if (std::fabs(sB - sA) >= CHORDTINY) {
    x = (cA - cB) / (sB - sA);
    y = cA + x * sA;
  } else {
    ok = false;
  }
}

void crossings::CALCPTX(extended& x, extended& y, bool& found, bool& converged) {
  found = false;
  converged = false;
  offline = false;
  unsettled.clear();
  smallint m = 0, k0 = 0;
  for (smallint mm = 1; mm <= N && m == 0; ++mm)
    for (smallint k = 1; k <= n; ++k)
      if (mk(k, 1, mm) || mk(k, 2, mm)) {
        m = mm;
        k0 = k;
        break;
      }
  if (m == 0) return;

  smallint kb = 0;
  for (smallint k = k0; k <= n; ++k)
    if (mk(k, 1, m) && mk(k, 2, m)) {
      kb = k;
      break;
    }
  nlist = 0;
  const auto add = [&](smallint k, smallint b) {
    ++nlist;
    lk[nlist] = k;
    lb[nlist] = b;
  };
  if (kb == 0) {
    for (smallint k = k0; k <= n; ++k) {
      if (mk(k, 1, m)) {
        add(k, 1);
        mk(k, 1, m) = false;
      } else if (mk(k, 2, m)) {
        add(k, 2);
        mk(k, 2, m) = false;
      }
    }
  } else {
    mk(kb, 1, m) = false;
    for (smallint k = k0; k <= n; ++k) {
      if (k == kb) continue;
      if (mk(k, 1, m) && mk(k, 2, m)) {
        if (CROSS(kb, k, 1, 1, m)) {
          add(k, 1);
          mk(k, 1, m) = false;
        } else {
          add(k, 2);
          mk(k, 2, m) = false;
        }
      } else {
        if (mk(k, 1, m) && CROSS(kb, k, 1, 1, m)) {
          add(k, 1);
          mk(k, 1, m) = CROSS(kb, k, 2, 1, m);
        }
        if (mk(k, 2, m) && CROSS(kb, k, 1, 2, m)) {
          add(k, 2);
          mk(k, 2, m) = CROSS(kb, k, 2, 2, m);
        }
      }
    }
  }
  // A mark whose partners' order does not change between the two list values
  // (crossings of branches the widened search reached below or above the
  // window) leaves no pair to refine: nothing was found there.
  if (nlist < 2) {
    x = NOLINE;
    y = NOLINE;
    found = true;
    return;
  }

  extended xtol = 0, ytol = 0;
  SETLIM(xtol, ytol);
  // The first two listed lines are refined; a point that does not lie on
  // its lines (one of them nearly vertical, or with no values in the
  // bracket) is tried again with the other pairs of the list.
  refinement last;
  for (smallint a = 1; a < nlist; ++a)
    for (smallint b = static_cast<smallint>(a + 1); b <= nlist; ++b) {
      refinement t = REFINE(a, b, m, xtol, ytol);
      // The first pair's point is printed as it settled; another pair's
      // chords may settle short of the crossing on one side, so its point
      // is taken on to where both affinities vanish.
      if (t.converged && (a != 1 || b != 2)) NEWTON(rn[lk[a]], rn[lk[b]], t, xtol, ytol);
      // Every listed line meets at the point, not only the two refined.
      for (smallint k = 1; k <= nlist && t.converged && !t.offline; ++k)
        if (!ONLINE(rn[lk[k]], t.x, t.y, xtol, ytol)) t.offline = true;
      if (a == 1 && b == 2) last = t;
      if (t.converged && !t.offline) {
        // The pair that settled is the one the uncertainty is taken on.
        std::swap(lk[1], lk[a]);
        std::swap(lb[1], lb[a]);
        std::swap(lk[2], lk[b]);
        std::swap(lb[2], lb[b]);
        x = t.x;
        y = t.y;
        converged = true;
        found = true;
        return;
      }
    }
  // A point off its lines is handed back marked: the caller tells of it
  // only where it would have been printed.
  if (last.offline) {
    x = last.x;
    y = last.y;
    offline = true;
    found = true;
    return;
  }
  // An unsettled crossing is told of where its first chords meet inside the
  // window; one met only in the widened band below or above it is dropped
  // without a word, as a settled one there would have been.
  const char* why = last.outside ? "iteration went outside bracket - it shouldn't !!"
                                 : !last.ok ? "divide by zero" : "iteration did not converge";
  x = NOLINE;
  y = NOLINE;
  found = true;
  if (last.first) {
    unsettled = why;
    x = last.x1;
    y = last.y1;
  } else {
    UNSETTLED(why);
  }
}

void crossings::UNSETTLED(const std::string& why) const {
  std::string line = "finding the intersection : " + why + " ( involving reactions: ";
  for (smallint k = 1; k <= n; ++k) line += IO::INT2STR(rn[k]) + " ";
  line += ")";
  IO::PUTSTR(1, line, 1, CHANNEL::TERMSUMLOG);
}

void crossings::NEWTON(smallint r1, smallint r2, refinement& t, extended xtol, extended ytol) {
  extended x = t.x, y = t.y;
  for (int it = 1; it <= MAXPOLISH; ++it) {
    const affinityslope a = AFFINITYAT(r1, x, y), b = AFFINITYAT(r2, x, y);
    const extended det = a.dy * b.dx - a.dx * b.dy;
    if (!std::isfinite(det) || det == 0) return;
    // a.dmu + a.dy dy + a.dx dx = 0 and the same for b.
    const extended dy = (-a.dmu * b.dx + b.dmu * a.dx) / det;
    const extended dx = (-a.dy * b.dmu + b.dy * a.dmu) / det;
    if (!std::isfinite(dx) || !std::isfinite(dy) || std::fabs(dx) > xtol || std::fabs(dy) > ytol) return;
    x += dx;
    y += dy;
    if (std::fabs(dx) < xtol / POLISH && std::fabs(dy) < ytol / POLISH) {
      t.x = x;
      t.y = y;
      return;
    }
  }
}

crossings::refinement crossings::REFINE(smallint a, smallint b, smallint m, extended xtol, extended ytol) {
  refinement t;
  const smallint r1 = rn[lk[a]], r2 = rn[lk[b]];
  SETUPPTX(r1, r2, lb[a], lb[b], m);
  const extended xlo0 = xlo, xhi0 = xhi;
  extended xprev = NOTYET, yprev = NOTYET;
  for (smallint it = 1; it <= MAXREFINE; ++it) {
    CROSSPTX(t.x, t.y, t.ok);
    if (!t.ok) break;
    if (it == 1) t.first = true, t.x1 = t.x, t.y1 = t.y;
    t.converged = std::fabs(t.x - xprev) < xtol && std::fabs(t.y - yprev) < ytol;
    if (t.converged) break;
    extended P = 0, T = 0, xco2 = 0, xh2o = 0, lna = 0, mu = 0;
    SETIPTX(P, T, xco2, xh2o, lna, mu, t.x, t.y);
    SETPSEUDO(lna, mu);
    t.outside = t.x < xlo0 || t.x > xhi0;
    if (t.outside) break;
    extended vA = t.y, vB = t.y, s2 = 0, dV1 = 0, dV2 = 0, d1 = 0, d2 = 0;
    if (CALCVARIABLE == calcvariabletype::calcpressure) {
      ZQCALC2::PCALC(r1, true, vA, s2, dV1, dV2, T, xco2, xh2o, d1, d2);
      ZQCALC2::PCALC(r2, true, vB, s2, dV1, dV2, T, xco2, xh2o, d1, d2);
    } else {
      ZQCALC2::TCALC(r1, true, vA, s2, dV1, dV2, P, xco2, xh2o, d1, d2);
      ZQCALC2::TCALC(r2, true, vB, s2, dV1, dV2, P, xco2, xh2o, d1, d2);
    }
    if ((Ahi < Bhi && vA < vB) || (Bhi < Ahi && vB < vA)) {
      xhi = t.x;
      Ahi = vA;
      Bhi = vB;
    } else {
      xlo = t.x;
      Alo = vA;
      Blo = vB;
    }
    xprev = t.x;
    yprev = t.y;
  }
  return t;
}

bool crossings::ONLINE(smallint r, extended x, extended y, extended xtol, extended ytol) {
  // The line passes through the box of the refinement's tolerances around
  // the point when the affinity does not keep one sign over the box. An
  // x(CO2) box stays between 0 and 1.
  extended xl = x - xtol, xh = x + xtol;
  if (DIAGRAMMODE == diagramtype::pxcalc || DIAGRAMMODE == diagramtype::txcalc) {
    xl = std::max(xl, x / 2);
    xh = std::min(xh, (1 + x) / 2);
  }
  bool negative = false, other = false;
  const extended xs[3] = {x, xl, xh}, ys[3] = {y, y - ytol, y + ytol};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      if ((i == 0) != (j == 0)) continue;  // the centre and the four corners
      extended P = 0, T = 0, xco2 = 0, xh2o = 0, lna = 0, mu = 0;
      SETIPTX(P, T, xco2, xh2o, lna, mu, xs[i], ys[j]);
      SETPSEUDO(lna, mu);
      extended dV = 0, dmudT = 0, dmu = 0;
      ZQCALC1::CALCDMU(r, dV, dmudT, dmu, P, T, xco2, xh2o);
      if (std::isnan(dmu)) return false;
      if (dmu == 0) return true;
      if (i == 0 && j == 0)
        negative = dmu < 0;
      else if ((dmu < 0) != negative)
        other = true;
    }
  return other;
}

affinityslope AFFINITYAT(smallint r, extended x, extended y) {
  affinityslope a;
  const bool lnav = DIAGRAMMODE == diagramtype::plnacalc || DIAGRAMMODE == diagramtype::tlnacalc;
  const bool muv = DIAGRAMMODE == diagramtype::pmucalc || DIAGRAMMODE == diagramtype::tmucalc;
  const int slot = lnav ? TDSLOT::S : TDSLOT::H;
  const extended keep = (lnav || muv) && NCV > 0 ? (*TD)(NCV, slot) : 0;
  const auto at = [&](extended xv, extended& dV, extended& dmudT) {
    extended P = 0, T = 0, xco2 = 0, xh2o = 0, lna = 0, mu = 0, dmu = 0;
    SETIPTX(P, T, xco2, xh2o, lna, mu, xv, y);
    SETPSEUDO(lna, mu);
    ZQCALC1::CALCDMU(r, dV, dmudT, dmu, P, T, xco2, xh2o);
    return dmu;
  };
  extended dV = 0, dmudT = 0;
  a.dmu = at(x, dV, dmudT);
  const bool ybyp = CALCVARIABLE == calcvariabletype::calcpressure;
  a.dy = ybyp ? dV : dmudT;
  if (DIAGRAMMODE == diagramtype::ptcalc) {
    a.dx = ybyp ? dmudT : dV;
  } else {
    // A central difference; on x(CO2) it stays between 0 and 1.
    extended h = GRADSTEP;
    if (DIAGRAMMODE == diagramtype::pxcalc || DIAGRAMMODE == diagramtype::txcalc) h = std::min({h, x / 4, (1 - x) / 4});
    if (h > 0) {
      extended v = 0, t = 0;
      const extended lo = at(x - h, v, t), hi = at(x + h, v, t);
      a.dx = (hi - lo) / (2 * h);
    }
  }
  if (lnav || muv) (*TD)(NCV, slot) = keep;
  return a;
}

void SETLIM(extended& xtol, extended& ytol) {
  constexpr extended TTOL = 0.5L, PTOL = 0.01L, XTOL = 0.001L, MUTOL = 0.01L;
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc:
      if (CALCVARIABLE == calcvariabletype::calcpressure)
        xtol = TTOL, ytol = PTOL;
      else
        xtol = PTOL, ytol = TTOL;
      return;
    case diagramtype::pxcalc:
    case diagramtype::plnacalc: xtol = XTOL, ytol = PTOL; return;
    case diagramtype::txcalc:
    case diagramtype::tlnacalc: xtol = XTOL, ytol = TTOL; return;
    case diagramtype::pmucalc: xtol = MUTOL, ytol = PTOL; return;
    case diagramtype::tmucalc: xtol = MUTOL, ytol = TTOL; return;
  }
  IO::ERROREXIT("setlim", "unknown diagrammode", myfault);
}

void SETIPTX(extended& P, extended& T, extended& xCO2, extended& xH2O, extended& lna, extended& mu, extended x,
             extended y) {
  P = FIXEDP;
  T = FIXEDT;
  xCO2 = FIXEDXCO2;
  xH2O = FIXEDXH2O;
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc:
      if (CALCVARIABLE == calcvariabletype::calcpressure)
        T = x, P = y;
      else
        P = x, T = y;
      return;
    case diagramtype::pxcalc: P = y, xCO2 = x, xH2O = 1 - x; return;
    case diagramtype::txcalc: T = y, xCO2 = x, xH2O = 1 - x; return;
    case diagramtype::plnacalc: P = y, lna = x; return;
    case diagramtype::tlnacalc: T = y, lna = x; return;
    case diagramtype::pmucalc: P = y, mu = x; return;
    case diagramtype::tmucalc: T = y, mu = x; return;
  }
  IO::ERROREXIT("setiptx", "unknown diagrammode", myfault);
}

}  // namespace ZQPTX
