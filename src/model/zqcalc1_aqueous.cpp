// The solvent of aqueous species, H2O with dissolved CO2: its dielectric
// constant, the extended Debye-Hueckel activity coefficient of a solute and
// the matching term of the solvent.
#include <cmath>
#include <string>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc1.h"

namespace ZQCALC1 {

namespace {

constexpr smallint DHTRACELEVEL = 5;    // debug level that traces every solute term
constexpr extended M3PERKJKBAR = 1e-05L;  // a volume in kJ/kbar as m3/mol
constexpr extended IONSIZE = 4.5e-10L;  // m
constexpr extended MH2O = 1.8015L;      // molar masses (g/mol) over ten, matching V in kJ/kbar
constexpr extended MCO2 = 4.401L;
constexpr extended TCORR = 215.0L;      // K: the correlation factor's singular temperature
constexpr extended SIGMASERIESX = 0.1L;   // below it sigma(x) is summed as its series
constexpr int SIGMASERIESTERMS = 24;      // x^24 < 1e-24 there, far under extended's epsilon

// sigma(x) = (3/x^3)(1 + x - 1/(1 + x) - 2 ln(1 + x)). The bracket cancels to
// x^3/3 and the solvent's x is of order 1e-9, so the closed form would keep
// nothing but rounding; below SIGMASERIESX the series sum over k of
// (-1)^k 3(k + 1)/(k + 3) x^k gives the same function to full precision.
extended sigmadh(extended x) {
  if (x >= SIGMASERIESX) return (3 / (x * x * x)) * (1 + x - 1 / (1 + x) - 2 * std::log1p(x));
  extended sum = 0, xk = 1;
  for (int k = 0; k < SIGMASERIESTERMS; k++) {
    const extended term = 3 * static_cast<extended>(k + 1) / static_cast<extended>(k + 3) * xk;
    sum += (k % 2 == 0) ? term : -term;
    xk *= x;
  }
  return sum;
}

// The start of the debug trace line both Debye-Hueckel terms write.
std::string dhtrace(extended xCO2, extended xH2O, extended I, extended A) {
  std::string line = "xco2 = ";
  IO::ADDREAL(xCO2, 4, false, 0, line);
  IO::ADDSTR(", xh2o = ", 0, line);
  IO::ADDREAL(xH2O, 4, false, 0, line);
  IO::ADDSTR(", I = ", 0, line);
  IO::ADDREAL(I, 5, true, 0, line);
  IO::ADDSTR(", A = ", 0, line);
  IO::ADDREAL(A, 8, false, 0, line);
  return line;
}

}  // namespace

extended AWGF(extended P, extended T, extended xCO2, extended xH2O, extended V) {
  const extended rho = (MH2O * xH2O + MCO2 * xCO2) / V;
  const extended E = 263307.7L / (T * T) - 1246.311L / T - 69.28953L * P / T - 20444.73L * P / (T * T);
  const extended t = T - TCORR;
  const extended sqrtt = std::sqrt(t);
  return 1 + rho * (std::exp(E) - 4.044525L * P / T + 103.618L / std::sqrt(T) + 75.32165L / t -
                    23.23778L / sqrtt - 3.548184L / std::sqrt(sqrtt));
}

extended DIELECTRIC(extended P, extended T, extended xCO2, extended xH2O, extended V) {
  const extended g = AWGF(P, T, xCO2, xH2O, V);
  const extended X = 1 + (22.7024L / V) * (xH2O * (0.147L + 835.25L * g / T) + 0.265L * xCO2);
  // The positive root of 2 eps^2 - X eps - 1 = 0.
  return (X + std::sqrt(X * X + 8)) / 4;
}

extended DHSOLUTE(extended P, extended T, extended nCO2, extended nH2O, extended I, extended zz) {
  const extended xCO2 = nCO2 / (nCO2 + nH2O);
  const extended xH2O = nH2O / (nCO2 + nH2O);
  const extended V = VH2OCO2(P, T, xCO2, xH2O);
  const extended eps = DIELECTRIC(P, T, xCO2, xH2O, V);
  const extended s = 1 / std::sqrt(M3PERKJKBAR * V * eps * T);
  const extended A = 57674.4L * s / (T * eps);
  const extended B = 1.59021e10L * s;
  const extended sqrtI = std::sqrt(I);
  const extended dh = -A * zz * sqrtI / (1 + IONSIZE * B * sqrtI);
  if (ZQGLOBAL::DEBUGLEVEL == DHTRACELEVEL) {
    std::string line = dhtrace(xCO2, xH2O, I, A);
    IO::ADDSTR(", B x 10^-10 = ", 0, line);
    IO::ADDREAL(B * 1e-10L, 8, false, 0, line);
    IO::ADDSTR(", DH(solute) = ", 0, line);
    IO::ADDREAL(dh, 5, true, 0, line);
    IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  }
  return dh;
}

extended DHSOLVENT(extended P, extended T, extended nCO2, extended nH2O, extended I) {
  const extended xCO2 = nCO2 / (nCO2 + nH2O);
  const extended xH2O = nH2O / (nCO2 + nH2O);
  const extended V = VH2OCO2(P, T, xCO2, xH2O);
  const extended eps = DIELECTRIC(P, T, xCO2, xH2O, V);
  const extended s = 1 / std::sqrt(10 * V * eps * T);
  const extended A = 7745380.0L * s / (T * eps);
  const extended x = 9.72795e-07L * s * std::sqrt(I);
  const extended dh = 0.016461L * A * x * x * x * sigmadh(x);
  if (ZQGLOBAL::DEBUGLEVEL == DHTRACELEVEL) {
    std::string line = dhtrace(xCO2, xH2O, I, A);
    IO::ADDSTR(", DH(solvent) = ", 0, line);
    IO::ADDREAL(dh, 5, true, 0, line);
    IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  }
  return dh;
}

}  // namespace ZQCALC1
