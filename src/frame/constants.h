// Physical constants of the model and the slots of an end-member's
// thermodynamic row, each named once so every unit reads the same value.
#pragma once

namespace CONST {

// The reference state and units: P in kbar, T in K, energies in kJ.
constexpr long double TR = 298.15L;          // reference temperature (K)
constexpr long double PR = 0.001L;           // reference pressure (kbar)
// Tr^2, 1/Tr and 1/Tr^2 as the model writes them: every closed form that
// integrates from Tr takes these decimals, not values worked out from TR.
constexpr long double TR2 = 88893.4225L;
constexpr long double TRINV = 0.0033540164346805299L;
constexpr long double TRINV2 = 1.1249426244107093e-05L;
constexpr long double KELVIN = 273.15L;      // degrees Celsius to kelvin
constexpr long double RGAS = 0.0083144L;     // gas constant (kJ/K), the literal every model routine uses
constexpr long double RLN10 = 0.019144654296L;  // R ln 10 as the model writes it where a log10 a enters
constexpr long double LN10 = 2.302585092994046L;  // ln 10
constexpr long double PCEILING = 1500.0L;    // highest pressure of any window (kbar)
constexpr long double PFLOOR = 0.0009L;      // lowest pressure of any window (kbar)
constexpr long double TFLOOR = 283.0L;       // lowest temperature of any window (K)
constexpr long double TCEILING = 3000.0L;    // highest temperature of any window (K)
// The same two in degrees Celsius, as the script's temperature checks
// compare typed values with them: these decimals, not TFLOOR - KELVIN,
// which lies one unit in the last place above 9.85.
constexpr long double TFLOORC = 9.85L;
constexpr long double TCEILINGC = 2726.85L;
static_assert(TFLOORC + KELVIN - TFLOOR < 1e-15L && TFLOOR - TFLOORC - KELVIN < 1e-15L);
static_assert(TCEILINGC + KELVIN - TCEILING < 1e-15L && TCEILING - TCEILINGC - KELVIN < 1e-15L);
constexpr long double RGASBAR = 83.144L;      // gas constant (cm3 bar/K) of the Sterner-Pitzer routines
constexpr long double RLN10AQ = 0.019144612724L;  // R ln 10 of the aqueous solute term, as written there
constexpr long double BARPERKBAR = 1000.0L;   // fugacities are in bar, pressures in kbar
constexpr long double CM3PERKJKBAR = 10.0L;   // 1 kJ/kbar = 10 cm3
constexpr long double RGASCM3 = 8.3144L;      // gas constant (cm3 kbar/K), sizing the Sterner-Pitzer volume search

// H2O-CO2 interaction constant of the fluid mixing model (W = AH2OCO2 (1/V1 + 1/V2)).
constexpr long double AH2OCO2 = 10.5L;

// Critical temperature (K) and pressure (kbar) of the corresponding-states gases.
constexpr long double TCRITCH4 = 190.6L, PCRITCH4 = 0.046L;
constexpr long double TCRITCO = 132.9L, PCRITCO = 0.035L;
constexpr long double TCRITH2 = 41.2L, PCRITH2 = 0.0211L;
constexpr long double TCRITH2S = 373.2L, PCRITH2S = 0.0893L;
constexpr long double TCRITS2 = 259.6L, PCRITS2 = 0.08L;

}  // namespace CONST

// Slots of one row of TD (tdvector): what the data-set reader writes and
// the end-member model reads. The older data-set generation uses slots 8-13
// differently, as marked.
namespace TDSLOT {

constexpr int H = 1;        // enthalpy of formation at Tr, Pr (kJ); DQF a of a made end-member
constexpr int S = 2;        // entropy at Tr, Pr (kJ/K)
constexpr int V = 3;        // volume at Tr, Pr (kJ/kbar)
constexpr int CPA = 4;      // heat capacity ca + cb T + cc/T^2 + cd/sqrt(T); Einstein coefficient of a pressure-explicit row
constexpr int CPB = 5;      // linear coefficient
constexpr int CPC = 6;
constexpr int CPD = 7;
constexpr int ALPHA0 = 8;   // thermal expansion (1/K)
constexpr int K0 = 9;       // bulk modulus at Tr (kbar); older set: alpha1
constexpr int KP = 10;      // dK/dP; older set: unused
constexpr int KPP = 11;     // d2K/dP2 (1/kbar); older set: K0
constexpr int THETA = 12;   // Einstein temperature (K); older set: K'
constexpr int DKDT = 13;    // dK/dT of liquids (kbar/K); older set: of every row
constexpr int TCRIT = 14;   // Landau critical temperature at Pr (K)
constexpr int SMAX = 15;    // Landau maximum entropy of disorder; > 0 switches the term on
constexpr int VMAX = 16;    // Landau maximum volume of disorder
constexpr int AQ = 17;      // aqueous-species coefficient; non-zero marks an aqueous species
constexpr int AQ1 = 18;     // aqueous-species parameters; non-zero switches the solute term on
constexpr int AQ2 = 19;
constexpr int CHARGE1 = AQ1;  // the charges z1, z2 of a made end-member, from the a-x reader's charge test
constexpr int CHARGE2 = AQ2;
constexpr int BWDH = 20;    // order-disorder (Bragg-Williams) dH
constexpr int BWDV = 21;    // dV
constexpr int BWW = 22;     // W
constexpr int BWWV = 23;    // WV
constexpr int BWN = 24;     // n, taken as an integer; > 0 switches the term on
constexpr int BWF = 25;     // f
constexpr int IONIC = 26;   // ionic strength for the solute term, written during calc mode 1
constexpr int XCO2 = 27;    // proportion of CO2 of the row's fluid, written by callers before evaluation
constexpr int XH2O = 28;    // proportion of H2O
constexpr int MAKEPHASE = 29;  // phase of a made end-member (> 0: PREC1 number, else PREC0)
constexpr int MAKEEM = 30;     // its end-member or record number (0: not made)
constexpr int CODE = 31;    // equation code (type), an integer held as a real

}  // namespace TDSLOT
