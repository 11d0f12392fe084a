// Three made-up silica polymorphs ura, vel and wex (tests/fixtures/ptx),
// whose reaction lines meet once near 4.5 kbar and 500 degrees: the script
// and the tables a run of it writes. vel = ura, wex = ura, wex = vel: dH
// 6.8315, -20.45375, -27.28525; dS 0.01, -0.025, -0.035; dV 0.2, 0.25,
// 0.05; var H of vel 0.04, of wex 0.09. Each line is T = (dH - 0.001 dV +
// dV P)/dS; the three meet where the first two do, at 4.501 kbar and
// 773.15 K.
#pragma once

#include <string>

namespace sxlines {

inline std::string script(const std::string& calcp, const std::string& schreinemakers) {
  return "axfile sxax\nwith ura vel wex\ncalctype 1\ndiagramPT 1 8 300 700\ncalcTatP yes\ncalcP " + calcp + "\n" +
         schreinemakers + "inexcess\nautoexit yes\n*\n";
}

inline const std::string deg = "\xA1";

inline const std::string thermo =
    "linearised at T = 500, P = 4.5\n"
    "(a, b and c includes fluid fugacities; ln K includes x(CO2), x(H2O))\n\n"
    "             a   sd(a)          b          c     ln_K sd(ln_K)\n"
    "1        6.831    0.20  -0.010000    0.20000        0        0\n"
    "2      -20.454    0.30   0.025000    0.25000        0        0\n"
    "3      -27.285    0.36   0.035000    0.05000        0        0\n";

inline const std::string blankrow = std::string(70, ' ') + "\n";

inline const std::string lines =
    "Temperatures in the range 300 <-> 700" + deg + "C;  \nuncertainties at 4.5 kbars \n\n"
    "T" + deg + "C      1.000   2.000   3.000   4.000   5.000   6.000   7.000   8.000     sdT     sdP\n\n"
    "1       429.98  449.98  469.98  489.98  509.98  529.98  549.98  569.98    20.0    1.00\n" + blankrow +
    "2       535.01  525.01  515.01  505.01  495.01  485.01  475.01  465.01    12.0    1.20\n" + blankrow +
    "3       505.00  503.57  502.14  500.72  499.29  497.86  496.43  495.00    10.3    7.21\n" + blankrow;

inline const std::string intersection =
    "P-T of intersections\nwindow : P 1.0 <-> 8.0 kbars; T 300 <-> 700" + deg + "C\n" + std::string(58, '-') +
    "\n# stable intersection 1 involving ura vel wex\n" + std::string(66, ' ') +
    "     low T    high T     dp/dt\n"
    "3)  wex = vel                                                [ura]    stable              -0.700\n"
    "2)  wex = ura                                                [vel]              stable    -0.100\n"
    "1)  vel = ura                                                [wex]    stable              0.0500\n\n"
    "P = 4.501 kbar (sd = 0.8), T = 500.00 " + deg + "C (sd = 10), (cor = -0.154)\n";

}  // namespace sxlines
