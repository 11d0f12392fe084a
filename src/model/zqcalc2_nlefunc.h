// The state of one evaluation of the equilibrium equations, which the
// routines nested in the evaluation and its diagnostic printers share.
#pragma once

#include <string>

#include "frame/zqglobal.h"
#include "model/zqcalc2.h"

// Composition of the phase of each mode unknown over the free components.
using compcalctype = fmatrix<extended, 1, maxeq, 1, maxcomp>;

namespace ZQCALC2 {

constexpr extended compfdstep = 1e-5L;  // forward step of the difference derivatives of the phase compositions

struct nlefuncstate {
  eqvector x{"nlefunc x"};  // the unknowns as passed; physical values once unscaled
  bool ok = true;           // the point can be evaluated
  extended p = 0, t = 0;    // x[1] and x[2] unscaled (kbar, K)
  emvector drtlnadp{"nlefunc drtlnadp"};  // d(RT ln a)/dP of each end-member (kJ/kbar)
  emvector drtlnadt{"nlefunc drtlnadt"};  // d(RT ln a)/dT (kJ/K)
  dRTlnadxtype drtlnadx{"nlefunc drtlnadx"};  // d(RT ln a)/du by each unknown
  compcalctype compcalc{"compcalc"};          // filled by CALCP
  eqvector* r = nullptr;    // the caller's residuals
  eqmatrix* jac = nullptr;  // the caller's Jacobian
  bool dojac = false;
  extended pco2 = 0, ph2o = 0;  // solvent proportions of the last aq phase (HANDLEFLUID)
  extended sumprop = 0;         // S, the sum of all mode unknowns
  smallint ncolx = 0;           // free unknowns among 1..NX: the columns before the modes'
  smallint ncolp = 0;           // free modes
  ieqvector column{"nlefunc column"};  // Jacobian column of each free unknown among 1..NX
  emvector scratchactivity{"nlefunc a0"};  // activities kept by the activity check

  // Phase compositions per atom and their derivatives into DCOMPDX; clears
  // ok where a phase's formula sum vanishes.
  void CALCP();
  // DCOMPDX by forward differences of CALCP.
  void FDCALCDCOMPDX();
  // TD slots 27 and 28 of every solution phase's end-members.
  void HANDLEFLUID();
  // True when every site fraction is positive.
  bool CHECKSF();
  // Mass-balance row i, left out of a rank-deficient Jacobian, must vanish.
  void CHECKRANKDEFICIT(smallint i, extended r);

  // Diagnostics of the evaluation.
  void PRINTX1();
  void PRINTX2();
  void PRINTPROJC();
  void PRINTXYZ();
  void PRINTRESIDUAL();
  void PRINTLNK();
  void PRINTCOMPCALC();
  void PRINTDCOMPDX();
  void FDCHECKDCOMPDX();
  void PRINTACTIVITY();
  void PRINTDLNADXYZ();
  void FDCHECKDLNADXYZ();
};

// The one state record, made at the first evaluation and kept for the run:
// the evaluation runs at every trial point and allocates nothing.
nlefuncstate& NLEFUNCSTATE();

// The unknowns and the site fractions sf of phase ph, as the two guards
// against a site fraction that is not positive print them before they stop
// or give up: lead blank lines and namepad before the unknowns' names, the
// site fractions with sfdigits places; line is the work string.
void DUMPSITEFRACTIONS(const ptype1& ph, const eqvector& x, const farray<extended, 1, maxsf>& sf, smallint lead,
                       const char* namepad, smallint sfdigits, std::string& line);

// A Jacobian by blocks of free unknowns.
void PRINTJAC(const sstring& title, const eqmatrix& j, smallint part, smallint places, bool fixed,
              smallint mask);
// Name of the k-th free component (BCOMPS), "" past the last.
std::string freecomponentname(long k);

// A matrix as a brace literal of nrow rows and ncol columns.
void DEBUGPRINT(const eqmatrix& m, const std::string& title, smallint nrow, smallint ncol);

}  // namespace ZQCALC2
