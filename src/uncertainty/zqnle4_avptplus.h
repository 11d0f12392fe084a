// The state of one call of the avPT+ driver and the operations that share
// it: the set-up and fits, the solve with errors on both sides, the
// covariances of the calculated side, the brute-force table, the x(CO2)
// preprocessing, and (from the heading on) the nominal result and the Monte
// Carlo limits. Only the driver's own files include this.
#pragma once

#include <cstdio>
#include <string>

#include "frame/farray.h"
#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_avptplus.h"
#include "frame/zqglobal_numerics.h"
#include "frame/zqnle4_linalg.h"
#include "uncertainty/zqnle4_avptx.h"

namespace ZQNLE4 {

constexpr extended AVPTSAMEPT = 1e-4L;      // calcs this close in P (T) are at one P (T)
constexpr extended AVPTSAMEXYZ = 1e-5L;     // calculated values this close are one constant
constexpr extended AVPTSVDKEEP = 1e-14L;    // share of the largest singular value a fit keeps
constexpr extended AVPTCOVSINGULAR = 1e-12L;  // share below which a covariance is singular
constexpr extended AVPTCORCLIP = 0.95L;     // largest magnitude of an averaged correlation
constexpr smallint AVPTMAXIT = 60;          // iterations of one solve
constexpr extended AVPTDPCONV = 0.0005L;    // converged: |dP| below this (kbar)
constexpr extended AVPTDTCONV = 0.005L;     // and |dT| below this (degrees C)
constexpr extended AVPTZCONV = 1e-6L;       // and the two adjusted sides this close
constexpr extended AVPTNORESULT = 1000000;  // misfit of a calculation whose solve failed
constexpr smallint AVPTMINCALCS = 6;        // calculations the driver needs on entry
constexpr smallint AVPTMINFIT = 4;          // and after the x(CO2) preprocessing
constexpr extended AVPTSAMEXCO2 = 0.00001L; // a calculation sits on a calcP step and x(CO2) value this close
constexpr extended AVPTFLATSTEP = 1e-8L;    // neighbours this close cannot be interpolated
constexpr int avptlistlines = 50;           // lines of a calculation listing shown whole
constexpr int avptlisttail = 10;            // lines after "..." in a longer listing

// The AVPTCALCTYPE codes.
constexpr smallint calctypeavpt = 1;  // P and T together
constexpr smallint calctypeavp = 2;   // P at a fixed T
constexpr smallint calctypeavt = 3;   // T at a fixed P

// x written right-aligned in width with decimals places, as the lines
// written straight to the terminal show numbers.
inline std::string FIXEDW(extended x, int width, int decimals) { return IO::FIXEDPOINT(x, width, decimals); }
// s right-aligned in width (whole when longer).
inline std::string RIGHTW(const std::string& s, int width) {
  const auto w = static_cast<std::size_t>(width);
  return s.size() >= w ? s : std::string(w - s.size(), ' ') + s;
}

// A vector over both sides: the rock side 1..n, the calculated side n+1..2n.
using xyzsidesvector = farray<extended, 1, maxxyzsides>;
// One entry per stored calculation.
using jxvector = farray<extended, 1, maxjx>;

// One call of AVPTPLUSDRIVER. Large (its Monte Carlo samples), so the
// driver makes it on the heap.
struct avptplusstate {
  // ------------------------------------------------------------ run kind
  bool ONEP = false, ONET = false;        // every calc at the first calc's P (T) within AVPTSAMEPT
  bool AVPPLUS = false, AVTPLUS = false;  // avP+ or avT+; neither: avPT+

  // ------------------------------------------------------------ polynomial basis
  polyvector IPOW{"IPOW"}, JPOW{"JPOW"};    // exponents of p and t in each term
  farray<bool, 1, maxjxxyz> XYZCONST{"XYZCONST"};  // variable i is the same in every calc
  smallint ELL = 0;                         // first singular value a fit keeps
  polyvector COEFFROW{"COEFFROW"};          // work copy of one row of PTCOEFF
  polyvector XCO2COEFF{"XCO2COEFF"};        // x(fluid) as a polynomial ("with x(CO2)" only)

  // ------------------------------------------------------------ ranges of the calcs
  extended PMIN = 0, PMAX = 0;  // kbar
  extended TMIN = 0, TMAX = 0;  // degrees C

  // ------------------------------------------------------------ vectors and matrices
  xyzvector JXXYZ{"JXXYZ"};          // calculated variables at the basis centre: PTCOEFF[i][1]
  xyzvector ROCKSD{"ROCKSD"};        // sqrt of ROCKVXYZ's diagonal
  invmatrix ROCKVIH{"ROCKVIH"};      // inverse square root of ROCKVXYZ
  invmatrix JXVIH{"JXVIH"};          // inverse square root of JXVXYZ
  invmatrix LROCK{"LROCK"}, LJX{"LJX"};  // Cholesky factors of ROCKVXYZ and JXVXYZ
  xyzvector ROCKXYZMC{"ROCKXYZMC"}, JXXYZMC{"JXXYZMC"};  // perturbed vectors of one Monte Carlo try

  // ------------------------------------------------------------ solve results
  extended PNOM = 0, TNOM = 0;   // nominal P and T: the guesses, then the nominal result
  extended SIGFIT = 0;           // sigfit of the nominal (or last brute-force) solve
  extended PTRY = 0, TTRY = 0, SIGFITMC = 0;  // one Monte Carlo try; in set-up the first calc's P and T
  bool SOLVED = false;           // result of the last solve
  smallint FAILCODE = 0;         // why the last crossover solve failed, 0 or 1..4

  // ------------------------------------------------------------ Monte Carlo counters and samples
  smallint ITRY = 0;             // try number; 0 during the nominal solve
  smallint NTRY = 0, NGOOD = 0, NSAMPLE = 0, NOUTSIDE = 0;
  smallint NFAILED1 = 0, NFAILED2 = 0, NFAILED3 = 0, NFAILED4 = 0;
  smallint NFAILTOTAL = 0, NFAILCHECK = 0, IPASS = 0;
  smallint NWRONGDELT = 0;       // counted by the crossover search
  smallint NAVPTPLUS = 0;        // calls of AVPTPLUS
  smallint NLIMBSPLIT = 0;       // counted by the crossover search
  extended UFAC = 0, UFACOLD = 0, FAILFRAC = 0, FAILFRACMAX = 0;
  bool LOTSOFFAILS = false;
  sortvector PSAMPLE{"PSAMPLE"}, TSAMPLE{"TSAMPLE"}, SORTWORK{"SORTWORK"};

  // ------------------------------------------------------------ per-calculation work
  jxvector DELPCALC{"DELPCALC"}, DELTCALC{"DELTCALC"}, SIGFITCALC{"SIGFITCALC"};
  jxvector DELPCALC2{"DELPCALC2"}, DELTCALC2{"DELTCALC2"}, SIGFITCALC2{"SIGFITCALC2"};
  extended BLOCKSTEP = 0;
  xyzsidesvector XYZSIDES{"XYZSIDES"};  // the two sides as the solve uses them
  xyzsidesvector XYZOPT{"XYZOPT"};      // the adjusted values of both sides
  xyzsidesvector ESTAR{"ESTAR"};        // weighted residuals: e*rock, then e*jx
  xyzvector XYZOPTSD{"XYZOPTSD"};       // sd of each adjusted rock value
  xyzvector JXSD{"JXSD"};               // sd of each calculated variable in use

  // ------------------------------------------------------------ the driver's steps
  // Checks, run kind, basis and ranges; ends the run on a bad store.
  void SETUPKIND();
  // The weighted fit of each calculated variable (and of x(fluid)).
  void FITS();
  // The calculations and coefficients on the terminal (info level 2).
  void LISTS();
  // How far the fits miss the calculations, in sds.
  void FITREPORT();
  // ROCKXYZ, ROCKVXYZ, ROCKSD and ROCKVIH from the rock's minerals.
  void ROCKSIDE();
  // From the heading on: the nominal solve and its report, the diagnostics
  // and the Monte Carlo limits.
  void NOMINALANDLIMITS();

  // ------------------------------------------------------------ nested operations
  // The solve with errors on both sides from (p, t); k > 0 takes the
  // calculated side's covariance from calculation k. True on convergence.
  bool AVPTPLUS(const xyzvector& rock, const xyzvector& jx, smallint k, extended& p, extended& t, extended& sigfit,
                bool info);
  // JXVXYZ and JXSD from calculation k.
  void SINGLECOV(smallint k);
  // JXVXYZ and JXSD from medians over all calculations.
  void AVERAGECOV();
  // JXVIH from JXVXYZ; k is not used.
  void CALCJXVIH(smallint k);
  // The solve against every calculation, as a table; ends no run.
  void BRUTEFORCE(const xyzvector& rock, const xyzvector& jx);
  // The store reordered into P blocks and, for avP+ and avT+, interpolated
  // to a typed T or P.
  void WITHXCO2PREPROCESS();
  // round(AVTGUESS / AVPGUESS), by which temperature misfits are divided;
  // ends the run when the guesses give no scale of at least 1.
  extended TEMPERATURESCALE() const;
  // The inverse square root of the covariance c over n, by its singular
  // value decomposition; ends the run when c is singular.
  static void INVERSESQRT(const invmatrix& c, invmatrix& vih, smallint n);

  // ------------------------------------------------------------ Monte Carlo statistics (PRINTMC)
  extended PMED = 0, TMED = 0;                          // medians of the samples, at ufac 1
  extended PLO95 = 0, PHI95 = 0, TLO95 = 0, THI95 = 0;  // 2.5% and 97.5% quantiles
  extended PMID = 0, TMID = 0;                          // mid-points of the 95% intervals
  extended PNMADLOW = 0, PNMADHIGH = 0;                 // two-sided nMADs of P about PNOM
  extended TNMADLOW = 0, TNMADHIGH = 0;                 // and of T about TNOM
  extended SDP = 0, SDT = 0;                            // sds implied by the 95% intervals
  extended PBOXLO = 0, PBOXHI = 0, TBOXLO = 0, TBOXHI = 0;  // box around the 95% ellipse
  extended RBEST = 0;                                   // correlation of the smallest 90% ellipse
  avptgauss GAUSS;                                      // the Gaussian numbers of the tries

  // ------------------------------------------------------------ seams for tests
  // When set, stands in for the single solve of calculation k that the
  // crossover search makes (AVPTPLUS with k > 0).
  bool (*SOLVESEAM)(avptplusstate& s, smallint k, extended& p, extended& t, extended& sigfit) = nullptr;
  // When set, stands in for the whole solve of a Monte Carlo try: it sets
  // PTRY, TTRY, SIGFITMC and FAILCODE and gives SOLVED.
  bool (*TRYSEAM)(avptplusstate& s) = nullptr;

  // ------------------------------------------------------------ nominal result and Monte Carlo limits
  // The crossover search over the stored calculations from (p, t); true
  // with the result in p and t. nominal: trace lines, and bad data end the run.
  bool AVPTPLUSX(const xyzvector& rock, const xyzvector& jx, extended& p, extended& t, extended& sigfit,
                 smallint& failcode, bool nominal);
  // The heading of the avPT+ output.
  void HEADING();
  // The nominal result's line; a failed solve ends the run.
  void PRINTAVPTPLUS(bool solved);
  // Rock, calculated and adjusted values with their sds and residuals.
  void DIAGNOSTICS();
  // A solved try outside the calculation's window: counted and shown.
  bool CHECKOUTSIDE();
  // The counts of good and failed tries of a pass.
  void PRINTFAILINFO(smallint ntried, smallint ngood);
  // The statistics of a pass's samples (none without samples).
  void PRINTMC(bool full);
  void PRINTMCONE(bool full);
  void PRINTMCPT(bool full);
  void BESTCORRELATION();
  // Two-sided normalised median absolute deviations of the sorted SORTWORK
  // about m; ends the run when a side has no usable half.
  void FINDNMAD2(extended m, extended& low, extended& high);
  // A sample taken back to the scale of ufac 1.
  extended CONVP(extended p) const;
  extended CONVT(extended t) const;
  // The passes and the csv samples.
  void MONTECARLO();
  void MCTRY(bool crossover);
  void SETSAMPLESIZE(smallint n);
  void FIRSTPASS();
  void FURTHERPASS();
  void WRITESAMPLES();
  // SORTWORK := v sorted, with its 2.5% and 97.5% quantiles.
  void sortsamples(const sortvector& v, extended& lo95, extended& hi95);
  std::string ufacsuffix() const;
};

}  // namespace ZQNLE4
