// The Sterner-Pitzer equation of state: the volume that gives the wanted
// pressure, chosen among up to three roots, and the fugacity there. Works in
// bar and cm3/mol inside; leaves in kJ/kbar and kJ.
#include <algorithm>
#include <cmath>

#include "frame/constants.h"
#include "frame/farray.h"
#include "frame/io.h"
#include "model/zqcalc1.h"

namespace ZQCALC1 {

namespace {

constexpr smallint MAXBRACKETS = 3;   // an equation of state of this kind has at most three roots
constexpr extended VLOW = 3.0L;       // cm3/mol: no fluid is denser
// The volume scan steps by this ratio: liquid, unstable and vapour roots lie
// at volumes a factor of ten and more apart, and equal steps as wide as the
// vapour's volume would put them all in the first cell.
constexpr extended GRIDRATIO = 1.1L;
constexpr extended WHOLETOL = 0.001L;  // cm3/mol: tolerance of the bisection over the whole search
constexpr extended BRACKETTOL = 1e-06L;  // relative tolerance of the bisection within one bracket
constexpr int MAXHALVINGS = 40;

using bracketlist = farray<extended, 1, MAXBRACKETS>;

std::string field(const std::string& text, smallint width) {
  std::string line;
  IO::ADDSTR(text, width, line);
  return line;
}

// One call of DOSP: the pressure wanted and the coefficients at T, read by
// the routines that scan, bisect and take the fugacity.
struct dosprun {
  extended P, T;
  extended c1, c2, c3, c4, c5, c6, c7, c8, c9, c10;

  [[noreturn]] void zerovolume(const std::string& message) const {
    IO::WRITETERMINAL("P = " + field(IO::REAL2STR(P, 2, true), 8) + ", T = " +
                      field(IO::REAL2STR(T - CONST::KELVIN, 1, true), 10) + "\n");
    IO::ERROREXIT("doSP", message, myfault);
  }

  extended Q(extended rho) const {
    return c2 + c3 * rho + c4 * rho * rho + c5 * rho * rho * rho + c6 * rho * rho * rho * rho;
  }

  extended FUNCX(extended V) const {
    if (V == 0) zerovolume("V = 0 in funcx");
    const extended rho = 1 / V;
    const extended rho2 = rho * rho;
    const extended q = Q(rho);
    const extended qd = c3 + 2 * c4 * rho + 3 * c5 * rho2 + 4 * c6 * rho2 * rho;
    return CONST::RGASBAR * T *
               (rho + c1 * rho2 - rho2 * qd / (q * q) + c7 * rho2 * std::exp(-c8 * rho) +
                c9 * rho2 * std::exp(-c10 * rho)) -
           P;
  }

  extended CALCLNF(extended V) const {
    if (V == 0) zerovolume("V = 0 in calclnf");
    const extended rho = 1 / V;
    const extended rt = rho * CONST::RGASBAR * T;
    return std::log(rt) + P / rt - 1 + c1 * rho + 1 / Q(rho) - 1 / c2 - (c7 / c8) * (std::exp(-c8 * rho) - 1) -
           (c9 / c10) * (std::exp(-c10 * rho) - 1);
  }

  // Sign changes of FUNCX on the geometric grid x1, x1 r, x1 r^2, ... with x2
  // the last point, in order of volume; nb holds the most wanted on entry.
  void ZBRAK(extended x1, extended x2, bracketlist& xb1, bracketlist& xb2, smallint& nb) const {
    const smallint nbmax = nb;
    nb = 0;
    extended x = x1;
    extended fp = FUNCX(x);
    while (x < x2) {
      const extended xn = std::min(x * GRIDRATIO, x2);
      const extended fc = FUNCX(xn);
      if (fc * fp < 0) {
        ++nb;
        xb1[nb] = x;
        xb2[nb] = xn;
        if (nb == nbmax) return;
      }
      x = xn;
      fp = fc;
    }
  }

  extended RTBIS(extended x1, extended x2, extended xacc) const {
    extended fmid = FUNCX(x2);
    const extended f = FUNCX(x1);
    if (f * fmid >= 0) IO::ERROREXIT("sterner-pitzer", "no bracket", yourfault);
    extended rtb = f < 0 ? x1 : x2;
    extended dx = f < 0 ? x2 - x1 : x1 - x2;
    for (int j = 1; j <= MAXHALVINGS; ++j) {
      dx = dx / 2;
      const extended xmid = rtb + dx;
      fmid = FUNCX(xmid);
      if (fmid <= 0) rtb = xmid;
      if (std::fabs(dx) < xacc || fmid == 0) return rtb;
    }
    IO::WRITETERMINAL("P = " + field(IO::REAL2STR(P, 3, true), 10) + ", T = " +
                      field(IO::INT2STR(T - CONST::KELVIN), 8));
    IO::ERROREXIT("sterner-pitzer", "did not converge", yourfault);
  }
};

}  // namespace

void DOSP(extended P, extended T, extended c1, extended c2, extended c3, extended c4, extended c5, extended c6,
          extended c7, extended c8, extended c9, extended c10, extended Pswitch, extended& V, extended& RTlnf) {
  const dosprun run{P, T, c1, c2, c3, c4, c5, c6, c7, c8, c9, c10};
  const extended vmax = V;
  bracketlist xb1("xb1"), xb2("xb2");
  smallint nb = MAXBRACKETS;
  run.ZBRAK(VLOW, vmax, xb1, xb2, nb);
  if (nb == 0) IO::ERROREXIT("sterner-pitzer", "no bracket", yourfault);
  extended root = 0;
  if (nb == 1) {
    root = run.RTBIS(VLOW, vmax, WHOLETOL);
  } else {
    extended largest = 0, smallest = 0;
    for (smallint i = 1; i <= nb; ++i) {
      const extended r = run.RTBIS(xb1[i], xb2[i], BRACKETTOL * (xb1[i] + xb2[i]) / 2);
      if (i == 1) {
        largest = smallest = r;
      } else {
        if (r > largest) largest = r;
        if (r < smallest) smallest = r;
      }
    }
    // Below the switch pressure the vapour-like root is taken, at or above
    // it the liquid-like one.
    root = P < Pswitch ? largest : smallest;
  }
  V = root / CONST::CM3PERKJKBAR;
  RTlnf = run.CALCLNF(root) * CONST::RGAS * T;
}

}  // namespace ZQCALC1
