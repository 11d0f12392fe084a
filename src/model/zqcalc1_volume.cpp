// The volume of a pressure-explicit end-member, P given as a function of
// V/V0 and T, solved for V/V0 by Newton's method from a series-reversion
// start; and the exponential-integral functions its pressure form rests on.
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
constexpr int maxseries = 16;             // terms of the DELEI series
constexpr extended seriestol = 1e-8L;
constexpr int deleifraction = maxseries + 1;  // the form past the series: the continued fraction

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

extended DELEI(extended x, extended k) {
  int used = 0;
  const extended d = deleiterms(x, k, 0, used);
  if (used == deleifraction) ZQGLOBAL::VD = ZQGLOBAL::VD + 1;
  return d;
}

extended gemcontext::delei(extended x) {
  smallint held = 0;
  const bool replay = HELDCHOICE(choicekind::seriesterms, held);
  int used = 0;
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
  if (qvb) return std::fabs(1 / K0) < SMALLRATE;
  return SMALLFORM(eb, 1 - 1 / ec);
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
