// Where the lines of a candidate intersection change order along the list,
// and the refinement of each such crossing by chords between exact solutions.
#include <cmath>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "model/zqcalc2.h"
#include "reactions/zqptx.h"

using namespace ZQGLOBAL;
using IO::WSTR;

namespace ZQPTX {

namespace {

constexpr smallint MAXREFINE = 6;          // chord steps of one refinement
constexpr extended NOTYET = 1e10L;         // previous point before the first chord
constexpr extended CHORDTINY = 1e-10L;     // zero width of a bracket, zero slope difference

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
  if (nlist < 2) IO::ERROREXIT("calcptx", "too few reactions", myfault);

  extended xtol = 0, ytol = 0;
  SETLIM(xtol, ytol);
  const smallint r1 = rn[lk[1]], r2 = rn[lk[2]];
  SETUPPTX(r1, r2, lb[1], lb[2], m);
  const extended xlo0 = xlo, xhi0 = xhi;
  extended xprev = NOTYET, yprev = NOTYET;
  bool outside = false, ok = false;
  for (smallint it = 1; it <= MAXREFINE; ++it) {
    CROSSPTX(x, y, ok);
    if (!ok) break;
    converged = std::fabs(x - xprev) < xtol && std::fabs(y - yprev) < ytol;
    if (converged) break;
    extended P = 0, T = 0, xco2 = 0, xh2o = 0, lna = 0, mu = 0;
    SETIPTX(P, T, xco2, xh2o, lna, mu, x, y);
    SETPSEUDO(lna, mu);
    outside = x < xlo0 || x > xhi0;
    if (outside) break;
    extended vA = y, vB = y, s2 = 0, dV1 = 0, dV2 = 0, d1 = 0, d2 = 0;
    if (CALCVARIABLE == calcvariabletype::calcpressure) {
      ZQCALC2::PCALC(r1, true, vA, s2, dV1, dV2, T, xco2, xh2o, d1, d2);
      ZQCALC2::PCALC(r2, true, vB, s2, dV1, dV2, T, xco2, xh2o, d1, d2);
    } else {
      ZQCALC2::TCALC(r1, true, vA, s2, dV1, dV2, P, xco2, xh2o, d1, d2);
      ZQCALC2::TCALC(r2, true, vB, s2, dV1, dV2, P, xco2, xh2o, d1, d2);
    }
    if ((Ahi < Bhi && vA < vB) || (Bhi < Ahi && vB < vA)) {
      xhi = x;
      Ahi = vA;
      Bhi = vB;
    } else {
      xlo = x;
      Alo = vA;
      Blo = vB;
    }
    xprev = x;
    yprev = y;
  }
  if (!converged) {
    std::string line = "finding the intersection : ";
    if (outside)
      line += "iteration went outside bracket - it shouldn't !!";
    else if (!ok)
      line += "divide by zero";
    else
      line += "iteration did not converge";
    line += " ( involving reactions: ";
    for (smallint k = 1; k <= n; ++k) line += IO::INT2STR(rn[k]) + " ";
    line += ")";
    IO::PUTSTR(1, line, 1, CHANNEL::TERMSUMLOG);
    x = NOLINE;
    y = NOLINE;
  }
  found = true;
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
