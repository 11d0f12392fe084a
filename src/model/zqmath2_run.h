// The state of one solve and the routines that share it. Only the solver's
// own files include this.
#pragma once

#include "frame/types.h"
#include "frame/zqglobal.h"
#include "model/zqmath2.h"

namespace ZQMATH2 {

constexpr extended svdcutoff = 1e-12L;  // singular values at or below this share of the largest are dropped
constexpr extended fdstep = 1e-8L;      // forward step of a finite-difference Jacobian column, scaled units

// One call of NLE. Everything lives here for the length of the solve, so
// that no evaluation, step or trial allocates.
struct nlerun final : nlemerit {
  smallint& code;              // the caller's outcome code
  smallint method = 0;         // 0 line search, 1 the second method
  smallint maxit = 0;          // iterations before overit
  smallint nfree = 0;          // free unknowns: the size of the square system
  smallint iter = 0;           // current iteration
  smallint stepcode = 0;       // outcome of the current iteration's line search
  extended step = 0;           // step accepted in the current iteration
  eqvector dx{"nle dx"};       // Newton direction over the free unknowns
  eqmatrix jac{"nle jac"};     // Jacobian of the latest evaluation
  eqvector resid{"nle resid"};  // residuals of the latest evaluation
  extended fstart = 0, estart = 0;  // merit and largest residual at the start point
  extended maxe = 1;           // largest residual of the latest trial
  extended maxdx = 1;          // largest scaled move of the latest trial
  bool esizeok = false, fsizeok = false, dxsmall = false, dxconverge = false;
  bool overit = false, done = false;
  eqvector grad{"nle grad"};   // jac^T resid at the start, for the second method
  eqvector trialx{"nle trial"};  // the trial point of FN
  eqmatrix fdjac{"nle fd jac"};  // Jacobian the finite-difference routines throw away
  farray<bool, 1, maxeq> fdcolumn{"nle fd columns"};  // per column of FDCALCJAC: formed by differences

  explicit nlerun(smallint& c) : code(c) {}

  bool solve();
  bool INITIALISE();
  bool NLEFUNCDRIVER(eqvector x, eqmatrix& j, eqvector& r);
  // The residuals alone at a finite-difference probe, refused quietly when
  // the point cannot be evaluated.
  static bool PROBE(const eqvector& x, eqmatrix& j, eqvector& r);
  void FDCALCJAC(eqvector& x, eqmatrix& j, eqvector& r);
  void FDCHECKJAC(eqvector& x, eqmatrix& j, eqvector& r);
  void STARTUP(extended& f0, extended& g0, extended& slim, smallint& code) override;
  bool FN(extended s, extended& f, extended& g, smallint callcode) override;
  bool CALCH(extended& s, smallint& code);
  void PRINTHEADER() override;
  void PRINTINFO(char kind, char mark, extended f, extended slope, extended step) override;
  void INTERMEDIATE();
  void MAKEDEQDX();
  void badstart();
  void report();
};

}  // namespace ZQMATH2
