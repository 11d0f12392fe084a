// Where the lines of a candidate intersection change order along the list,
// and the refinement of each such crossing by chords between exact solutions.
#include <algorithm>
#include <cmath>
#include <limits>
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
constexpr smallint MAXHELD = 60;           // ... and beyond, held to the lines
constexpr extended NOTYET = 1e10L;         // previous point before the first chord
constexpr extended CHORDTINY = 1e-10L;     // zero width of a bracket, zero slope difference
constexpr extended GRADSTEP = 1e-7L;       // central difference of an affinity along the list variable
constexpr int MAXPOLISH = 12;              // Newton steps taking a crossing to the display's precision
constexpr extended POLISH = 1000;          // ... where the steps are this far below the tolerances
constexpr extended SAMEPOINT = 100;        // settled points this far within the tolerances are one
constexpr extended PASTSTEP = 0.01L;       // share of a bracket stepped past a crossing at its end
// The tolerance of x(CO2) in ln(x / (1 - x)): that of x(CO2) itself at x = 1/2.
constexpr extended LOGITSCALE = 4;

// The section's own measure u of the list variable: x(CO2) as ln(x / (1 - x)),
// in which the lines stay resolved however near 0 or 1 they run; other lists
// as they are.
bool logit() { return DIAGRAMMODE == diagramtype::pxcalc || DIAGRAMMODE == diagramtype::txcalc; }
extended tou(extended x) { return logit() ? std::log(x / (1 - x)) : x; }
extended fromu(extended u) { return logit() ? 1 / (1 + std::exp(-u)) : u; }
extended dxdu(extended x) { return logit() ? x * (1 - x) : 1; }
extended utol(extended xtol) { return logit() ? LOGITSCALE * xtol : xtol; }

// x, or the end of the bracket lo..hi it lies beyond but for the rounding.
extended toend(extended x, extended lo, extended hi) {
  const extended tiny = CHORDTINY * (hi - lo);
  if (x < lo && x >= lo - tiny) return lo;
  if (x > hi && x <= hi + tiny) return hi;
  return x;
}

// A bracket of no width; on ln a and mu lists it can end at 0, its width is
// then judged absolutely.
bool zerowidth(extended lo, extended hi) {
  return hi == 0 ? std::fabs(hi - lo) <= CHORDTINY : std::fabs((hi - lo) / hi) <= CHORDTINY;
}

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
  settled.clear();
  revisited.clear();
  for (smallint k = 1; k <= n; ++k) {
    rn[k] = reactions[k];
    for (smallint m = 1; m <= N; ++m) {
      v(k, 1, m) = RLINE1(rn[k], m);
      v(k, 2, m) = RLINE2(rn[k], m);
    }
  }
}

void crossings::COMPARE(smallint m, smallint a, smallint b, smallint ba, smallint bb, bool& above, bool& restart,
                        bool& crossed, bool& met) {
  if (!in(a, ba, m) || !in(b, bb, m)) {
    restart = true;
    return;
  }
  const extended va = v(a, ba, m), vb = v(b, bb, m);
  const bool below = va < vb;
  // Lines that meet at a list value, to the table's rounding, cross there
  // or close by, whichever way the rounding leaves them: both intervals
  // beside it are marked.
  const bool meet = MEET(va, vb);
  if (restart) {
    restart = false;
  } else {
    crossed = above != below || meet || met;
  }
  met = meet;
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
          bool restart = true, crossed = false, above = false, met = false;
          for (smallint m = 1; m <= N; ++m) {
            COMPARE(m, a, b, ba, bb, above, restart, crossed, met);
            // The comparison goes on from here: lines that cross again
            // within the next interval (a point on each side of a list
            // value) are marked there too.
            if (crossed) {
              found = true;
              mk(a, ba, m) = true;
              mk(b, bb, m) = true;
              crossed = false;
            }
          }
        }
}

bool crossings::CROSS(smallint ra, smallint rb, smallint ba, smallint bb, smallint m) {
  // As the crossing search reads the lines: the earlier position's line
  // below the other's or not, and lines that meet at the list value m cross
  // in the interval ending there.
  if (rb < ra) return CROSS(rb, ra, bb, ba, m);
  const extended a1 = v(ra, ba, m), a0 = v(ra, ba, static_cast<smallint>(m - 1));
  const extended b1 = v(rb, bb, m), b0 = v(rb, bb, static_cast<smallint>(m - 1));
  return (a0 < b0) != (a1 < b1) || MEET(a1, b1);
}

bool crossings::MEET(extended va, extended vb) {
  extended xtol = 0, ytol = 0;
  SETLIM(xtol, ytol);
  return std::fabs(va - vb) <= ytol / POLISH;
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
  ok = !zerowidth(xlo, xhi);
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

void crossings::LISTAT(smallint m, smallint k0) {
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
  // The marks at m as found, to visit the bracket again.
  std::vector<std::pair<bool, bool>> marks;
  for (smallint k = 1; k <= n; ++k) marks.emplace_back(mk(k, 1, m), mk(k, 2, m));

  LISTAT(m, k0);
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
  bool beyond = false;
  for (smallint a = 1; a < nlist; ++a)
    for (smallint b = static_cast<smallint>(a + 1); b <= nlist; ++b) {
      refinement t = REFINE(a, b, m, xtol, ytol);
      if (a == 1 && b == 2) last = t;
      beyond = beyond || t.beyond;
      if (!t.converged || t.offline) continue;
      // A crossing at a list value is settled once, from the bracket on
      // one side of it; in the bracket on its other side the lines are
      // followed again from just past it, where another crossing may lie.
      if (SETTLED(t.x, t.y, xtol, ytol)) {
        const bool atlo = SAME(t.x, t.lo, xtol), athi = SAME(t.x, t.hi, xtol);
        if (atlo || athi) t = REFINE(a, b, m, xtol, ytol, atlo ? -1 : 1);
        if (!(atlo || athi) || !t.converged || t.offline || SETTLED(t.x, t.y, xtol, ytol)) {
          x = NOLINE;
          y = NOLINE;
          found = true;
          return;
        }
      }
      settled.emplace_back(t.x, t.y);
      // A point at an end of the bracket is a crossing at a list value; the
      // bracket is visited once again, to follow the lines from just past it.
      if ((SAME(t.x, t.lo, xtol) || SAME(t.x, t.hi, xtol)) &&
          std::find(revisited.begin(), revisited.end(), m) == revisited.end()) {
        revisited.push_back(m);
        for (smallint k = 1; k <= n; ++k) {
          mk(k, 1, m) = marks[static_cast<std::size_t>(k - 1)].first;
          mk(k, 2, m) = marks[static_cast<std::size_t>(k - 1)].second;
        }
      }
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
  // Lines that meet at the list value ending the bracket and cross just
  // past it are refined in the next bracket: nothing was found here.
  if (beyond) {
    x = NOLINE;
    y = NOLINE;
    found = true;
    return;
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
  // Steps stay inside the window the lines were followed in.
  const auto within = [&](extended x, extended y) {
    return x >= t.lo && x <= t.hi && (!logit() || (x > 0 && x < 1)) && ZQUTE1::INRANGE(y, PTMODE);
  };
  if (!within(t.x, t.y)) return;
  const extended hu = utol(xtol);
  extended x = t.x, y = t.y, u = tou(x), before = std::numeric_limits<extended>::infinity();
  for (int it = 1; it <= MAXPOLISH; ++it) {
    const affinityslope a = AFFINITYAT(r1, x, y), b = AFFINITYAT(r2, x, y);
    const extended au = a.dx * dxdu(x), bu = b.dx * dxdu(x);
    const extended det = a.dy * bu - au * b.dy;
    if (!std::isfinite(det) || det == 0) return;
    // a.dmu + a.dy dy + au du = 0 and the same for b.
    const extended dy = (-a.dmu * bu + b.dmu * au) / det;
    const extended du = (-a.dy * b.dmu + b.dy * a.dmu) / det;
    // Steps that grow head for another crossing, or none.
    const extended step = std::max(std::fabs(du) / hu, std::fabs(dy) / ytol);
    if (!std::isfinite(step) || step > before) return;
    before = step;
    u += du;
    y += dy;
    x = fromu(u);
    // A crossing at an end of the bracket, but for the rounding, is at that end.
    if (toend(x, t.lo, t.hi) != x) x = toend(x, t.lo, t.hi), u = tou(x);
    if (!within(x, y)) return;
    if (step < 1 / POLISH) {
      t.x = x;
      t.y = y;
      t.converged = true;
      return;
    }
  }
}

bool crossings::ATNODE(smallint r1, smallint r2, refinement& t, extended xtol, extended ytol) const {
  // Lines that meet at an end of the bracket, at a list value, cross where
  // Newton steps from there lead: there or inside the bracket, or past the
  // list value, where the next bracket holds the crossing. Lines that only
  // touch there leave it to the chords.
  if (!MEET(Alo, Blo) && !MEET(Ahi, Bhi)) return false;
  const bool hi = MEET(Ahi, Bhi);
  refinement free = t;
  free.x = hi ? xhi : xlo;
  free.y = hi ? (Ahi + Bhi) / 2 : (Alo + Blo) / 2;
  free.lo = -std::numeric_limits<extended>::infinity(), free.hi = -free.lo;
  NEWTON(r1, r2, free, xtol, ytol);
  const extended x = toend(free.x, t.lo, t.hi);
  if (free.converged && x >= t.lo && x <= t.hi) {
    t.x = t.x1 = x, t.y = t.y1 = free.y;
    t.first = t.inside = t.ok = t.converged = true;
    ONLINEALL(t, xtol, ytol);
    return true;
  }
  if (free.converged && (hi ? x > t.hi : x < t.lo)) {
    t.beyond = t.ok = true;
    return true;
  }
  return false;
}

crossings::refinement crossings::REFINE(smallint a, smallint b, smallint m, extended xtol, extended ytol,
                                        int past) {
  refinement t;
  const smallint r1 = rn[lk[a]], r2 = rn[lk[b]];
  SETUPPTX(r1, r2, lb[a], lb[b], m);
  // The lines solved exactly at x, from y.
  const auto solve = [&](extended x, extended y, extended& vA, extended& vB) {
    extended P = 0, T = 0, xco2 = 0, xh2o = 0, lna = 0, mu = 0;
    SETIPTX(P, T, xco2, xh2o, lna, mu, x, y);
    SETPSEUDO(lna, mu);
    extended s2 = 0, dV1 = 0, dV2 = 0, d1 = 0, d2 = 0;
    vA = y, vB = y;
    if (CALCVARIABLE == calcvariabletype::calcpressure) {
      ZQCALC2::PCALC(r1, true, vA, s2, dV1, dV2, T, xco2, xh2o, d1, d2);
      ZQCALC2::PCALC(r2, true, vB, s2, dV1, dV2, T, xco2, xh2o, d1, d2);
    } else {
      ZQCALC2::TCALC(r1, true, vA, s2, dV1, dV2, P, xco2, xh2o, d1, d2);
      ZQCALC2::TCALC(r2, true, vB, s2, dV1, dV2, P, xco2, xh2o, d1, d2);
    }
  };
  // Past a crossing at one end the bracket starts a little inside it; the
  // lines must there be in the order opposite to the one at the other end.
  if (past != 0) {
    const extended xp = past < 0 ? xlo + PASTSTEP * (xhi - xlo) : xhi - PASTSTEP * (xhi - xlo);
    extended vA = 0, vB = 0;
    solve(xp, past < 0 ? (Alo + Blo) / 2 : (Ahi + Bhi) / 2, vA, vB);
    if ((vA < vB) == (past < 0 ? Ahi < Bhi : Alo < Blo)) return t;
    (past < 0 ? xlo : xhi) = xp;
    (past < 0 ? Alo : Ahi) = vA;
    (past < 0 ? Blo : Bhi) = vB;
  }
  t.lo = xlo;
  t.hi = xhi;
  extended xprev = NOTYET, yprev = NOTYET;
  int lastside = 0;
  // One chord step, false when the chords stop. Bound by the tolerances
  // they settle when two steps come close; held to the lines, only where
  // the lines meet at the chords' point or the bracket has closed.
  const auto chord = [&](smallint it, bool held) {
    extended x = t.x, y = t.y;
    CROSSPTX(x, y, t.ok);
    // A bracket closed on one value, as one ending where the lines meet at
    // a list value closes: they cross at the chords' last point.
    if (!t.ok && t.inside && zerowidth(xlo, xhi)) t.ok = t.converged = true;
    if (!t.ok || t.converged) return false;
    // Chords that meet at an end of the bracket, but for the rounding, meet there.
    x = toend(x, t.lo, t.hi);
    if (it == 1) t.first = true, t.x1 = x, t.y1 = y;
    if (!held) t.converged = std::fabs(x - xprev) < xtol && std::fabs(y - yprev) < ytol;
    t.outside = x < t.lo || x > t.hi;
    if (t.outside) return false;
    t.x = x, t.y = y, t.inside = true;
    if (t.converged) return false;
    extended vA = 0, vB = 0;
    solve(x, y, vA, vB);
    if (held && (MEET(vA, vB) || std::fabs(tou(xhi) - tou(xlo)) <= utol(xtol) / POLISH)) {
      t.y = (vA + vB) / 2;
      t.converged = true;
      return false;
    }
    const int side = (Ahi < Bhi && vA < vB) || (Bhi < Ahi && vB < vA) ? 1 : -1;
    (side > 0 ? xhi : xlo) = x;
    (side > 0 ? Ahi : Alo) = vA;
    (side > 0 ? Bhi : Blo) = vB;
    // An end the chords keep leaving has the lines' gap there halved, so
    // that along a steep or bent line they do not creep to the crossing.
    if (side == lastside) {
      extended& ea = side > 0 ? Alo : Ahi;
      extended& eb = side > 0 ? Blo : Bhi;
      const extended mid = (ea + eb) / 2;
      ea = mid + (ea - mid) / 2;
      eb = mid + (eb - mid) / 2;
    }
    lastside = side;
    xprev = x;
    yprev = y;
    return true;
  };
  if (ATNODE(r1, r2, t, xtol, ytol)) return t;
  smallint it = 1;
  while (it <= MAXREFINE && chord(it, false)) ++it;
  // The chords settle within the tolerances, not on the crossing; Newton
  // steps from their last point in the bracket take it there, or find it
  // where the chords, along a line too steep for them, did not settle.
  if (t.inside) {
    const bool settled = t.converged;
    t.converged = false;
    NEWTON(r1, r2, t, xtol, ytol);
    // Where they do not (lines so near parallel that two steps of the
    // chords come close far from where they meet), the chords go on,
    // held to the lines, and the point is polished again.
    if (!t.converged && !t.outside && t.ok) {
      const refinement chords = t;
      for (smallint more = 1; more <= MAXHELD && chord(++it, true); ++more) {
      }
      if (t.converged) {
        const refinement held = t;
        t.converged = false;
        NEWTON(r1, r2, t, xtol, ytol);
        if (!t.converged) t = held;
      } else {
        t = chords;
      }
    }
    if (!t.converged && settled) t.converged = true;
    if (t.converged) t.outside = false, t.ok = true;
  }
  ONLINEALL(t, xtol, ytol);
  return t;
}

void crossings::ONLINEALL(refinement& t, extended xtol, extended ytol) const {
  // Every listed line meets at the point, not only the two refined.
  for (smallint k = 1; k <= nlist && t.converged && !t.offline; ++k)
    if (!ONLINE(rn[lk[k]], t.x, t.y, xtol, ytol)) t.offline = true;
}

bool crossings::SAME(extended x1, extended x2, extended xtol) {
  return std::fabs(tou(x1) - tou(x2)) <= utol(xtol) / SAMEPOINT;
}

bool crossings::SETTLED(extended x, extended y, extended xtol, extended ytol) const {
  return std::any_of(settled.begin(), settled.end(), [&](const std::pair<extended, extended>& p) {
    return SAME(p.first, x, xtol) && std::fabs(p.second - y) <= ytol / SAMEPOINT;
  });
}

bool crossings::ONLINE(smallint r, extended x, extended y, extended xtol, extended ytol) {
  // The line passes within the tolerances of the point when its affinity
  // there is no more than the change its slopes give over them; x(CO2) is
  // measured as ln(x / (1 - x)), where a steep line near 0 or 1 is resolved.
  if ((logit() && !(x > 0 && x < 1)) || !ZQUTE1::INRANGE(y, PTMODE)) return false;
  const affinityslope a = AFFINITYAT(r, x, y);
  if (std::isnan(a.dmu)) return false;
  if (a.dmu == 0) return true;
  const extended reach = std::fabs(a.dx * dxdu(x)) * utol(xtol) + std::fabs(a.dy) * ytol;
  return std::fabs(a.dmu) <= reach;
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
