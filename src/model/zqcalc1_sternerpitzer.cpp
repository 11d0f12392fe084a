// The Sterner-Pitzer equation of state: the volume that gives the wanted
// pressure, chosen among up to three roots, and the fugacity there. Works in
// bar and cm3/mol inside; leaves in kJ/kbar and kJ.
#include <algorithm>
#include <cmath>

#include "frame/constants.h"
#include "frame/farray.h"
#include "frame/io.h"
#include "frame/zqmath1.h"
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
// Steps of the refinement after the bisection: Newton takes three or four,
// and halving the bracket down to adjacent numbers takes no more than the
// bits of the mantissa.
constexpr int MAXREFINE = 100;

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

  // FUNCX and its slope dp/dV at one volume, the exponentials shared.
  void FUNCXD(extended V, extended& f, extended& dfdv) const {
    const extended rho = 1 / V;
    const extended rho2 = rho * rho;
    const extended q = Q(rho);
    const extended qd = c3 + 2 * c4 * rho + 3 * c5 * rho2 + 4 * c6 * rho2 * rho;
    const extended qdd = 2 * c4 + 6 * c5 * rho + 12 * c6 * rho2;
    const extended e8 = std::exp(-c8 * rho);
    const extended e10 = std::exp(-c10 * rho);
    const extended RT = CONST::RGASBAR * T;
    f = RT * (rho + c1 * rho2 - rho2 * qd / (q * q) + c7 * rho2 * e8 + c9 * rho2 * e10) - P;
    const extended dpdrho = RT * (1 + 2 * c1 * rho - (2 * rho * qd + rho2 * qdd) / (q * q) +
                                  2 * rho2 * qd * qd / (q * q * q) + c7 * e8 * (2 * rho - c8 * rho2) +
                                  c9 * e10 * (2 * rho - c10 * rho2));
    dfdv = -rho2 * dpdrho;
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

  // The root between neg (FUNCX <= 0) and pos (FUNCX > 0), to the last
  // bits the arithmetic resolves. A phase's volume is the difference of its
  // chemical potentials over a pressure step of 2e-5 kbar, and the fluid's
  // volume enters those potentials directly (its mixing energies and size
  // parameters), so a root left anywhere within the bisection's tolerance
  // puts that tolerance, divided by the step, into the volume. Newton steps
  // from the bisection's end; a step that would leave the bracket, or is not
  // half the one before it, halves the bracket instead.
  extended REFINE(extended neg, extended pos) const {
    extended x = neg;
    extended f = 0, dfdv = 0;
    FUNCXD(x, f, dfdv);
    extended last = std::fabs(pos - neg);
    for (int k = 1; k <= MAXREFINE && f != 0; ++k) {
      const extended step = f / dfdv;
      extended next = x - step;
      if (next == x) break;
      const bool newton = (next - neg) * (next - pos) < 0 && 2 * std::fabs(step) <= last;
      if (!newton) next = neg + (pos - neg) / 2;
      // x is one end of the bracket: a bracket of two neighbouring numbers
      // has no midpoint to go to.
      if (next == neg || next == pos) break;
      last = std::fabs(next - x);
      x = next;
      // Newton's next correction is about the square of this one.
      if (newton && std::fabs(step) <= ZQMATH1::POLISHDONE * std::fabs(x)) break;
      FUNCXD(x, f, dfdv);
      if (f < 0)
        neg = x;
      else
        pos = x;
    }
    return x;
  }

  // Bisection to xacc, from the end where FUNCX is negative; the bracket it
  // leaves is then refined.
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
      if (fmid == 0) return rtb;
      if (std::fabs(dx) < xacc) return REFINE(rtb, rtb + dx);
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
