// The dilatational heat capacity of a pressure-explicit end-member, Cp - Cv
// at Pr, integrated into G in closed form: the integrand is expanded in
// powers of T and every power integrated exactly. Powers are built by
// repeated multiplication and division so that the sums come out the same
// on every platform.
#include <cmath>

#include "frame/constants.h"
#include "model/zqcalc1.h"
#include "model/zqcalc1_gem.h"

using CONST::TR;

namespace ZQCALC1 {

namespace {

constexpr int lowpower = -13;  // the lowest power of T integrated
constexpr int highpower = 8;
constexpr extended tailthreshold = 0.00025L;  // |t7| above this: add the geometric remainder

using powertable = farray<extended, lowpower, highpower>;

// x^lowpower .. x^highpower from x, its square and the reciprocal of the
// square: up by multiplication, down by division.
void powers(extended x, extended x2, extended xinv, extended xinv2, powertable& p) {
  p[0] = 1;
  p[1] = x;
  p[2] = x2;
  for (int n = 3; n <= highpower; ++n) p[n] = p[n - 1] * x;
  p[-1] = xinv;
  p[-2] = xinv2;
  for (int n = -3; n >= lowpower; --n) p[n] = p[n + 1] / x;
}

// The coefficients of xi(u)^2 in powers of u^2.
constexpr extended k2 = 0.0152777778L;
constexpr extended k3 = -0.00102513228L;
constexpr extended k4 = 5.64925044e-05L;
constexpr extended k5 = -2.71815376e-06L;
constexpr extended k6 = 1.18504273e-07L;
constexpr extended k7 = -4.79617364e-09L;

}  // namespace

extended gemcontext::CALCICP(extended t) const {
  // Over an empty range the integral is 0; the powers of t and the decimal
  // constants of Tr differ in their last bits, so say so outright.
  if (t == TR) return 0;
  powertable tp{"icp T powers"}, rp{"icp Tr powers"};
  powers(t, t * t, 1 / t, 1 / (t * t), tp);
  powers(TR, CONST::TR2, CONST::TRINV, CONST::TRINV2, rp);
  const extended lnratio = std::log(t / TR);

  // G_n(t): the integral of (1 - t/s) s^n ds from Tr to t.
  auto G = [&](int n) -> extended {
    if (n == 0) return (t - TR) - t * lnratio;
    if (n == -1) return lnratio - t * (CONST::TRINV - tp[-1]);
    return (tp[n + 1] - rp[n + 1]) / (n + 1) - t * (tp[n] - rp[n]) / n;
  };

  const extended k1 = -1.0L / 6;
  const farray<extended, 0, 7> kj = [&] {
    farray<extended, 0, 7> k{"icp xi2 coefficients"};
    k[0] = 1;
    k[1] = k1;
    k[2] = k2;
    k[3] = k3;
    k[4] = k4;
    k[5] = k5;
    k[6] = k6;
    k[7] = k7;
    return k;
  }();

  const extended c = A * A * V0 / K0;
  const extended b = A / K0;
  const extended w = 1 / (1 - eu0) - 0.5L;
  const extended q = theta;

  farray<extended, 0, 16> qp{"icp theta powers"};
  qp[0] = 1;
  for (int n = 1; n <= 16; ++n) qp[n] = qp[n - 1] * q;

  farray<extended, 0, 7> tj{"icp main terms"};
  extended base = 0;
  for (int j = 0; j <= 7; ++j) {
    tj[j] = kj[j] * c * qp[2 * j] * G(1 - 2 * j);
    base = base + tj[j];
  }
  if (HOLDCHOICE(choicekind::icptail, std::fabs(tj[7]) > tailthreshold ? 1 : 0) == 1) {
    const extended r = tj[6] / tj[7];
    base = base + tj[7] / ((tj[6] / tj[5]) * (r * r) - 1);
  }

  // The short series with every power raised by s.
  auto S = [&](int s) -> extended {
    extended sum = 0;
    for (int j = 0; j <= 4; ++j) sum = sum + kj[j] * c * qp[2 * j] * G(1 - 2 * j + s);
    return sum;
  };

  const extended kp = Kp;
  const extended p1 = kp - 2;
  const extended p2 = (2 * POW(kp, 2) - 8 * kp + 9) / 2;
  const extended p3 = (6 * POW(kp, 3) - 37 * POW(kp, 2) + 81 * kp - 64) / 6;
  const extended p4 = (24 * POW(kp, 4) - 204 * POW(kp, 3) + 668 * POW(kp, 2) - 1024 * kp + 625) / 24;
  const extended p5 =
      (120 * POW(kp, 5) - 1318 * POW(kp, 4) + 5802 * POW(kp, 3) - 13177 * POW(kp, 2) + 15625 * kp - 7776) / 120;
  const extended p6 = (720 * POW(kp, 6) - 9792 * POW(kp, 5) + 54612 * POW(kp, 4) - 164984 * POW(kp, 3) +
                       288894 * POW(kp, 2) - 279936 * kp + 117649) /
                      720;

  farray<extended, 1, 6> bp{"icp beta powers"};
  bp[1] = b;
  for (int n = 2; n <= 6; ++n) bp[n] = bp[n - 1] * b;
  const extended w2 = w * w, w3 = w2 * w, w4 = w3 * w, w5 = w4 * w, w6 = w5 * w;
  const extended a1 = p1 * bp[1], a2 = p2 * bp[2], a3 = p3 * bp[3], a4 = p4 * bp[4], a5 = p5 * bp[5],
                 a6 = p6 * bp[6];

  farray<extended, -3, 6> m{"icp bracket coefficients"};
  m[6] = a6;
  m[5] = a5 + 6 * a6 * w * q;
  m[4] = a4 + 5 * a5 * w * q + a6 * qp[2] * (15 * w2 + 0.5L);
  m[3] = a3 + 4 * a4 * w * q + a5 * qp[2] * (10 * w2 + 5.0L / 12) + a6 * qp[3] * (20 * w3 + 5 * w / 2);
  m[2] = a2 + 3 * a3 * w * q + a4 * qp[2] * (6 * w2 + 1.0L / 3) + a5 * qp[3] * (10 * w3 + 5 * w / 3) +
         a6 * qp[4] * (15 * w4 + 5 * w2 + 23.0L / 240);
  m[1] = a1 + 2 * a2 * w * q + a3 * qp[2] * (3 * w2 + 0.25L) + a4 * qp[3] * (4 * w3 + w) +
         a5 * qp[4] * (5 * w4 + 5 * w2 / 2 + 1.0L / 16) + a6 * qp[5] * (6 * w5 + 5 * w3 + 3 * w / 8);
  m[0] = a1 * w * q + a2 * qp[2] * (w2 + 1.0L / 6) + a3 * qp[3] * (w3 + w / 2) +
         a4 * qp[4] * (w4 + w2 + 13.0L / 360) + a5 * qp[5] * (w5 + 5 * w3 / 3 + 13 * w / 72) +
         a6 * qp[6] * (w6 + 5 * w4 / 2 + 13 * w2 / 24 + 251.0L / 30240);
  m[-1] = a1 * qp[2] / 12 + a2 * w * qp[3] / 6 + a3 * qp[4] * (w2 / 4 + 1.0L / 60) +
          a4 * qp[5] * (w3 / 3 + w / 15) + a5 * qp[6] * (5 * w4 / 12 + w2 / 6 + 11.0L / 3024);
  m[-2] = a2 * qp[4] / 240 + a3 * w * qp[5] / 80 + a4 * qp[6] * (w2 / 40 + 1.0L / 945) +
          a5 * qp[7] * (w3 / 24 + w / 189);
  m[-3] = -a1 * qp[4] / 720 - a2 * w * qp[5] / 360 - a3 * qp[6] * (w2 / 240 + 1.0L / 60480) -
          a4 * qp[7] * (w3 / 180 + w / 15120) - a5 * qp[8] * (w4 / 144 + w2 / 6048 - 1.0L / 45360);

  extended result = base;
  for (int s = -3; s <= 6; ++s) result = result + m[s] * S(s);
  return result;
}

}  // namespace ZQCALC1
