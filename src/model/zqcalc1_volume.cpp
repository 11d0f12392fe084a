// The volume of a pressure-explicit end-member, P given as a function of
// V/V0 and T, solved for V/V0 by Newton's method from a series-reversion
// start; and the exponential-integral functions its pressure form rests on.
#include <algorithm>
#include <cmath>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal_model.h"
#include "model/zqcalc1.h"
#include "model/zqcalc1_gem.h"

using CONST::PR;

namespace ZQCALC1 {

namespace {

constexpr int maxnewton = 10;             // iterations of the volume solve
constexpr extended newtontol = 5e-7L;     // a step below this ends it
constexpr extended resetpressure = 30;    // kbar: above this a start past V0 is suspect
constexpr extended resettemperature = 400;
constexpr extended resetstart = 0.8L;     // the start used instead
constexpr extended floorratio = 0.7L;     // the first step from it goes no lower
constexpr extended seriestol = 1e-8L;

// log1p(x)/x and expm1(x)/x, 1 at x = 0.
extended log1pratio(extended x) { return x == 0 ? 1 : std::log1p(x) / x; }
extended expm1ratio(extended x) { return x == 0 ? 1 : std::expm1(x) / x; }

}  // namespace

extended POWDIFF(extended u, extended du, extended e) {
  // (1 + u)^(e - 1) (ln(1 + w)/w) (expm1(e d)/(e d)), w = du/(1 + u),
  // d = ln(1 + w): no 1 + small is formed where its digits matter.
  const extended w = du / (1 + u);
  const extended d = std::log1p(w);
  return std::exp((e - 1) * std::log1p(u)) * log1pratio(w) * expm1ratio(e * d);
}

extended POWDIFFGAP(extended u, extended du, extended t) {
  // With s = (1 + w) (ln(1 + w)/w) (expm1(-t d)/(-t d)) and l = ln(1 + u),
  // (1 - t)(1 - POWDIFF)/t is (s - 1) + l (expm1(-t l)/(-t l)) (1 - t s):
  // the t that 1 - POWDIFF is made of taken out by hand, so a power within
  // a hair of 1 loses nothing; s - 1 is of the size of w, as the rest.
  const extended w = du / (1 + u);
  const extended l = std::log1p(u);
  const extended s = (1 + w) * log1pratio(w) * expm1ratio(-t * std::log1p(w));
  return ((s - 1) + l * expm1ratio(-t * l) * (1 - t * s)) / (1 - t);
}

extended POW(extended x, smallint n) {
  if (n == 2) return x * x;
  extended r = 1;
  if (n >= 0)
    for (smallint k = 1; k <= n; ++k) r = r * x;
  else
    for (smallint k = -1; k >= n; --k) r = r / x;
  return r;
}

extended EI(extended x) {
  // The continued fraction, evaluated from its ninth level out.
  extended d = 17 - x;
  for (int m = 8; m >= 1; --m) d = (2 * m - 1 - x) - static_cast<extended>(m * m) / d;
  return -std::exp(x) / d;
}

extended deleiterms(extended x, extended k, int held, int& used) {
  if (held != deleifraction) {
    extended sum = 0;
    extended power = 1;       // (-x)^j
    extended expterm = 1;     // k^(j-1)/(j-1)!
    extended expsum = 0;      // 1 + k + ... + k^(j-1)/(j-1)!
    extended t = 0;
    for (int j = 1; j <= maxseries; ++j) {
      power = power * -x;
      if (j > 1) expterm = expterm * k / (j - 1);
      expsum = expsum + expterm;
      t = -(power / j) * expsum;
      sum = sum + t;
      if (held == 0 ? std::fabs(t) < seriestol : j == held) {
        used = j;
        return sum;
      }
    }
  }
  used = deleifraction;
  return std::exp(k) * (EI(-k * (1 + x)) - EI(-k));
}

extended deleiydifference(extended x1, extended x2, extended k, int n1, int n2) {
  // Term j of either series is c_j x^j, c_j = (-1)^(j+1) (1 + k + ... +
  // k^(j-1)/(j-1)!)/j, and (1 + x) times it adds c_j x^(j+1); a power's
  // difference is dx times h_(j-1) = x1^(j-1) + x1^(j-2) x2 + ... + x2^(j-1),
  // h_j = x1^j + x2 h_(j-1). Terms past the shorter series count whole.
  const extended dx = x1 - x2;
  extended sum = 0;
  extended h = 1;             // h_(j-1)
  extended p1 = 1, p2 = 1;    // x1^j, x2^j
  extended expterm = 1;       // k^(j-1)/(j-1)!
  extended expsum = 0;
  for (int j = 1; j <= std::max(n1, n2); ++j) {
    if (j > 1) expterm = expterm * k / (j - 1);
    expsum = expsum + expterm;
    p1 = p1 * x1;
    p2 = p2 * x2;
    const extended hj = p1 + x2 * h;
    const extended c = (j % 2 == 1 ? expsum : -expsum) / j;
    if (j <= n1 && j <= n2)
      sum = sum + c * dx * (h + hj);
    else if (j <= n1)
      sum = sum + c * p1 * (1 + x1);
    else
      sum = sum - c * p2 * (1 + x2);
    h = hj;
  }
  return sum;
}

extended DELEI(extended x, extended k) {
  int used = 0;
  const extended d = deleiterms(x, k, 0, used);
  if (used == deleifraction) ZQGLOBAL::VD = ZQGLOBAL::VD + 1;
  return d;
}

extended gemcontext::delei(extended x) {
  int used = 0;
  return delei(x, used);
}

extended gemcontext::delei(extended x, int& used) {
  smallint held = 0;
  const bool replay = HELDCHOICE(choicekind::seriesterms, held);
  const extended d = deleiterms(x, Kp, replay ? held : 0, used);
  if (used == deleifraction) ZQGLOBAL::VD = ZQGLOBAL::VD + 1;
  if (!replay) MADECHOICE(choicekind::seriesterms, static_cast<smallint>(used));
  return d;
}

void gemcontext::pressureofy(extended v, extended pth, int held, bool diff) {
  const extended y = diff ? 1 + v : v;
  const extended z = diff ? v : y - 1;
  if (qvb) {
    int used = 0;
    Pofy = PR + pth / y - K0 * deleiterms(z, Kp, held, used);
    if (used == deleifraction) ZQGLOBAL::VD = ZQGLOBAL::VD + 1;
    dPdy = -pth / (y * y) - K0 * std::exp((diff ? -z : 1 - y) * Kp) / y;
  } else {
    const extended b = diff ? z / ea + 1 : (y - 1) / ea + 1;
    if (diff)
      Pofy = PR + pth / y + std::expm1(-std::log1p(z / ea) / ec) / eb;
    else
      Pofy = PR + pth / y + (std::pow(b, -1 / ec) - 1) / eb;
    dPdy = -pth / (y * y) - K0 * std::pow(b, -1 / ec - 1);
  }
}

bool gemcontext::stiff() const {
  // The exponential form's differences of exp(-K' (y - 1)) are of the size
  // of K'/K0 per kbar, the Tait form's of its power's distance 1/ec from 0,
  // and those of (y - 1)/ea + 1 come weighted by ea/eb: each is a rate of
  // the form as much as 1/K0 and eb are.
  if (qvb) return std::fabs(1 / K0) < SMALLRATE || std::fabs(Kp / K0) < SMALLRATE;
  return SMALLFORM(eb, 1 - 1 / ec) || std::fabs(1 / ec) < SMALLRATE || std::fabs(eb / ea) < SMALLRATE;
}

extended gemcontext::startvalue(extended pth, extended q) const { return 1 + startincrement(pth, q); }

extended gemcontext::startincrement(extended pth, extended q) const {
  const extended p = pth / K0;
  const extended sq = (p - q) / (1 + p);
  const extended g1 = p + s[1], g2 = p + s[2], g3 = p + s[3], g4 = p + s[4], g5 = p + s[5], g6 = p + s[6];
  const extended r = sq / g1;
  const extended g1s = g1 * g1, g1c = g1s * g1, g2s = g2 * g2, g2c = g2s * g2;
  const extended t5 = 42 * g2c * g2s - 84 * g1 * g2c * g3 + 28 * g1s * g2 * g3 * g3 + 28 * g1s * g2s * g4 -
                      7 * g1c * g2 * g5 - 7 * g1c * g3 * g4 + g1c * g1 * g6;
  const extended t4 = 14 * g2s * g2s - 21 * g1 * g2s * g3 + 3 * g1s * g3 * g3 + 6 * g1s * g2 * g4 - g1c * g5;
  const extended t3 = 5 * g2c - 5 * g1 * g2 * g3 + g1s * g4;
  const extended t2 = 2 * g2s - g1 * g3;
  return sq * (1 + r * (g2 + r * (t2 + r * (t3 + r * (t4 + r * t5)))));
}

extended gemcontext::CALCV(extended p, extended t) { return solvevolume(p, t, false); }

extended gemcontext::CALCZ(extended p, extended t) { return solvevolume(p, t, true); }

extended gemcontext::solvevolume(extended p, extended t, bool diff) {
  // The root of P(y) = p is that of the series form at the root: a stepped
  // state solves with the base state's form throughout.
  smallint form = 0;
  const bool replay = qvb && HELDCHOICE(choicekind::seriesterms, form);
  const extended pth = thermalpressure(t);
  // In the difference form v is y - 1 throughout, so a volume within a
  // hair of V0 keeps its digits; otherwise v is y.
  const extended one = diff ? 0 : 1;
  const extended lowest = diff ? floorratio - 1 : floorratio;
  extended y = diff ? startincrement(pth, (p - PR) / K0) : startvalue(pth, (p - PR) / K0);
  bool floor = false;
  if (p >= resetpressure && p > (t - resettemperature) * A && y > one) {
    y = diff ? resetstart - 1 : resetstart;
    floor = true;
  }
  for (int it = 1; it <= maxnewton; ++it) {
    pressureofy(y, pth, replay ? form : 0, diff);
    extended step = (p - Pofy) / dPdy;
    if (it == 1 && floor && y + step < lowest) step = lowest - y;
    y = y + step;
    if (std::fabs(step) < newtontol) {
      if (qvb && !replay && CHOICESRECORDED()) {
        int used = 0;
        deleiterms(diff ? y : y - 1, Kp, 0, used);
        MADECHOICE(choicekind::seriesterms, static_cast<smallint>(used));
      }
      return y;
    }
  }
  IO::ERROREXIT("gem", "calc v not converged", yourfault);
}

extended gemcontext::CALCV0(extended t) { return startvalue(thermalpressure(t), 0); }

}  // namespace ZQCALC1
