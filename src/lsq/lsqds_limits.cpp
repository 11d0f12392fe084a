// Enthalpy limits from the brackets of an experiment: reversal pairs, the
// reaction's energy at a bracket, the temperature and pressure at which it
// is at equilibrium, each bracket's limit and the experiment's limits and
// class.
#include <cmath>
#include <utility>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "lsq/lsqds.h"
#include "model/zqcalc1.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

constexpr long double nolimit = 1e10L;        // an extreme not yet given by a bracket
constexpr long double lowthreshold = 1.0L;    // the gap threshold's range
constexpr long double highthreshold = 1.5L;
constexpr long double tuncertainty = 2.5L;    // K of temperature uncertainty of a bracket
constexpr long double pfraction = 0.01L;      // pressure uncertainty as a fraction of P
constexpr long double activityfraction = 0.01L;
constexpr smallint maxnewton = 12;            // steps of CALCT and CALCP beyond the first

// The width factor of a gap g: 0.887 + g (0.194 + 0.0973 g).
extended widthfactor(extended g) { return 0.887L + g * (0.194L + 0.0973L * g); }

bool paired(const brrec& b) { return b.pairp || b.pairt; }

// The two halves of the pair that bracket b closes, its lower limit's
// (dir false) first, whichever of the two stands first: a pair is measured
// from its lower limit to its upper one.
struct halves {
  const brrec& lo;
  const brrec& hi;
};
halves lowerfirst(const xprec& x, smallint b) {
  const brrec& a = x.br[b - 1];
  const brrec& c = x.br[b];
  return a.dir ? halves{c, a} : halves{a, c};
}

// Newton iteration on dmu in one variable of bracket b: T (wantt) or P.
// Returns 0 with derivative 0 when it does not converge.
extended solvebracket(smallint k, smallint b, bool wantt, extended& slope) {
  brrec& br = XP(k).br[b];
  extended& var = wantt ? br.t : br.p;
  const extended x0 = var;
  const extended tol = wantt ? 0.01L : 0.001L, lo = wantt ? 300.0L : 0.01L, hi = wantt ? 3000.0L : 1500.0L;
  extended x = x0, best = 100000.0L, dmu = 0, dp = 0, dt = 0;
  smallint count = 0;
  bool converged = false, failed = false;
  do {
    ++count;
    var = x;
    DMU(k, b, dmu, !wantt, dp, wantt, dt);
    slope = wantt ? dt : dp;
    const extended step = slope == 0 ? 0 : -dmu / slope;
    x += step;
    converged = std::fabs(step) < tol;
    failed = std::fabs(step) > x0 || x < lo || x > hi;
    if (!converged && !failed) {
      if (std::fabs(dmu) < best)
        best = std::fabs(dmu);
      else
        failed = true;
    }
  } while (!converged && count <= maxnewton && !failed);
  var = x0;
  if (converged) return x;
  slope = 0;
  return 0;
}

}  // namespace

xprec& XP(smallint k) {
  IO::INTERNALCHECK(XPW != nullptr && k >= 1 && k <= static_cast<smallint>(XPW->size()), "xp",
                    "no such experiment record");
  return (*XPW)[static_cast<std::size_t>(k - 1)];
}

void SAMEPTX(smallint i) {
  xprec& x = XP(i);
  if (x.nbr < 1) return;
  x.br[1].pairp = x.br[1].pairt = x.br[1].pairall = false;
  for (smallint b = 2; b <= x.nbr; ++b) {
    brrec& c = x.br[b];
    const brrec& p = x.br[b - 1];
    c.pairall = false;
    const bool candidate = !paired(p) && p.dir != c.dir;
    c.pairp = candidate && p.p == c.p && p.xco2 == c.xco2;
    c.pairt = candidate && p.t == c.t && p.xco2 == c.xco2;
  }
}

void SAMEPTXW(smallint i) {
  xprec& x = XP(i);
  if (x.nbr < 1) return;
  x.br[1].pairp = x.br[1].pairt = x.br[1].pairall = false;
  for (smallint b = 2; b <= x.nbr; ++b) {
    brrec& c = x.br[b];
    const brrec& p = x.br[b - 1];
    c.pairp = c.pairt = c.pairall = false;
    const bool candidate = !paired(p) && !p.pairall && p.dir != c.dir;
    c.pairp = candidate && p.p == c.p && p.xco2 == c.xco2 && p.lnk == c.lnk;
    c.pairt = candidate && p.t == c.t && p.xco2 == c.xco2 && p.lnk == c.lnk;
    c.pairall = p.p == c.p && p.t == c.t && p.xco2 == c.xco2;
  }
}

extended CALC(smallint k, extended p, extended t, extended xco2) {
  const xprec& x = XP(k);
  extended sum = 0;
  for (smallint i = 1; i <= x.nrx; ++i) {
    TDA[x.rxem[i]].xmix = xco2;
    extended g = 0;
    ZQCALC1::GEM(x.rxem[i], p, t, g);
    sum += x.rxcoef[i] * g;
  }
  return sum;
}

void DMU(smallint k, smallint b, extended& dmu, bool wantp, extended& dmudp, bool wantt, extended& dmudt) {
  const brrec& br = XP(k).br[b];
  ZQCALC1::HELDSTEP hold;
  const extended g0 = CALC(k, br.p, br.t, br.xco2);
  if (wantp) hold.STEPPED();
  dmudp = wantp ? (CALC(k, br.p + 0.01L, br.t, br.xco2) - g0) / 0.01L : 0;
  if (wantt) hold.STEPPED();
  dmudt = wantt ? (CALC(k, br.p, br.t + 1, br.xco2) - g0) + CONST::RGAS * br.lnk : 0;
  dmu = g0 + br.t * CONST::RGAS * br.lnk;
}

void CALCT(smallint k, smallint b, extended& t, extended& sdt) {
  extended slope = 0;
  t = solvebracket(k, b, true, slope);
  sdt = slope == 0 || t < CONST::KELVIN ? 0 : std::fabs(XP(k).sdch / slope);
}

void CALCP(smallint k, smallint b, extended& p, extended& sdp) {
  extended slope = 0;
  p = solvebracket(k, b, false, slope);
  sdp = slope == 0 || p < 0.01L ? 0 : std::fabs(XP(k).sdch / slope);
}

void CALCHBR(smallint k) {
  SAMEPTX(k);
  xprec& x = XP(k);
  for (smallint b = 1; b <= x.nbr; ++b) {
    brrec& br = x.br[b];
    extended dmu = 0, dmudp = 0, dmudt = 0;
    DMU(k, b, dmu, true, dmudp, true, dmudt);
    br.dh = x.ch - dmu;
    const extended sigp = pfraction * br.p;
    extended var = (tuncertainty * dmudt) * (tuncertainty * dmudt) + (sigp * dmudp) * (sigp * dmudp);
    for (smallint i = 1; i <= x.nrx; ++i) {
      // Each term by its own entry of the list, as ln K takes it: the row
      // is then the same in whatever order the reaction names its terms.
      const smallint e = x.rxpos[i];
      // Oxygen and sulphur by name: each of their entries is free of it.
      const specialem sp = SPECIALEM(x.emds[e]);
      if (sp == specialem::o2 || sp == specialem::s2) continue;
      if (br.act[e] >= 1) continue;
      // 1 % of a through d(RT ln a)/da = RT/a: a cancels, so an activity
      // of 0 contributes as much as any other below 1.
      const extended u = activityfraction * x.rxcoef[i] * CONST::RGAS * br.t;
      var += u * u;
    }
    br.sd2 = 2 * std::sqrt(var);
  }
}

void CALCHLIMS(smallint k) {
  xprec& x = XP(k);
  const smallint nb = x.nbr;
  x.reversed = false;
  if (x.grouped) {
    smallint np = 0, nneg = 0;
    for (smallint b = 2; b <= nb; ++b)
      if (paired(x.br[b])) {
        ++np;
        const halves h = lowerfirst(x, b);
        if (h.hi.dh - h.lo.dh < 0) ++nneg;
      }
    if (0.5L * np < nneg) {
      x.reversed = true;
      for (smallint b = 1; b <= nb; ++b) x.br[b].dir = !x.br[b].dir;
    }
  }
  // Every pair with its lower half first, as a reversal of pairs written
  // so leaves them: what is solved and shown of a pair from here on is the
  // same whichever of its two lines the file gives first.
  bool moved = false;
  for (smallint b = 2; b <= nb; ++b)
    if (paired(x.br[b]) && x.br[b - 1].dir) {
      std::swap(x.br[b], x.br[b - 1]);
      moved = true;
    }
  if (moved) SAMEPTX(k);
  static sortvector rs{"pair gaps"};
  smallint nr = 0;
  x.wsum = 0;
  for (smallint b = 2; b <= nb; ++b) {
    if (!paired(x.br[b])) continue;
    const halves h = lowerfirst(x, b);
    const extended r = (h.hi.dh - h.lo.dh) / (h.lo.sd2 + h.hi.sd2);
    const extended v = 0.5L * (h.lo.sd2 + h.hi.sd2) * widthfactor(r);
    x.wsum += 1 / (v * v);
    rs[++nr] = r;
  }
  extended threshold = highthreshold;
  if (nr > 0) {
    x.wsum = std::sqrt(x.wsum);
    if (nr > 1) ZQMATH1::SORT(rs, nr);
    threshold = std::min(highthreshold, std::max(lowthreshold, rs[1]));
  }
  x.rval = threshold;

  static sortvector lower{"lower limits"}, upper{"upper limits"};
  smallint nlo = 0, nup = 0, blo = 0, bhi = 0;
  extended hmax = -nolimit, hmin = nolimit;
  for (smallint b = 1; b <= nb; ++b) {
    const extended h = x.br[b].dh;
    if (!x.br[b].dir) {
      lower[++nlo] = h;
      if (blo == 0 || h > hmax) {
        hmax = h;
        blo = b;
      }
    } else {
      upper[++nup] = h;
      if (bhi == 0 || h < hmin) {
        hmin = h;
        bhi = b;
      }
    }
  }
  // The reader gives every experiment both sides; without one there is no
  // width to take, and no limit.
  IO::INTERNALCHECK(blo > 0 && bhi > 0, "calchlims", "an experiment without brackets on both sides");
  const extended sbar = 0.5L * (x.br[blo].sd2 + x.br[bhi].sd2);
  const extended g = (hmin - hmax) / (2 * sbar);
  x.uh = sbar;
  x.dsratio = x.ds0 = g;
  x.hlow = hmax;
  x.hhigh = hmin;
  extended m = 0.5L * (hmax + hmin), gf = threshold;
  if (g >= threshold) {
    x.hcase = 1;
    gf = g;
  } else if (nlo <= 2 && nup <= 2) {
    x.hcase = 2;
  } else {
    const extended l = nlo > 2 ? ZQMATH1::FINDMEDIAN(lower, nlo) : hmax;
    const extended u = nup > 2 ? ZQMATH1::FINDMEDIAN(upper, nup) : hmin;
    const extended g2 = (u - l) / (2 * sbar);
    m = 0.5L * (l + u);
    if (g > 0 || (hmin >= l && u >= hmax)) {
      x.hcase = 3;
      const extended a = hmax - l, c = u - hmin;
      // Both medians at the extremes leave no side to lean to: the middle.
      m = a + c == 0 ? 0.5L * (hmax + hmin)
                     : 0.5L * (hmax + hmin + (c - a) * (hmax + 2 * sbar * threshold - hmin) / (a + c));
    } else if (hmin < l && u < hmax) {
      x.hcase = 4;
      gf = 2;
    } else if (g2 > threshold) {
      x.hcase = 5;
      gf = g2;
    } else {
      x.hcase = 6;
    }
  }
  x.hval = gf;
  const extended w = widthfactor(gf);
  x.hlow = m - w * sbar;
  x.hhigh = m + w * sbar;
}

}  // namespace LSQDS
