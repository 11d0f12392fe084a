// The uncertainty propagation of one solved calc-mode-1 point: the locals
// that its nested routines read, and the steps that tests drive alone.
// Only the unit's own files and its tests include this.
#pragma once

#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_phases.h"
#include "frame/zqglobal_solver.h"

namespace ZQNLE4 {

// d(k, m): the derivative of RT ln(activity coefficient) of end-member k
// by interaction energy m of one phase.
using wderivmatrix = fmatrix<extended, 1, maxssem, 1, maxw>;

// The derivatives d(k, m) of solution phase `phase` at the compositional
// variables of x from position firstx, at p (kbar) and t (K), in the van
// Laar form (the symmetric one when every size is 1); pairs numbered
// (1,2), (1,3), .., (ne-1,ne).
void WDERIVATIVES(const ptype1& phase, const eqvector& x, smallint firstx, extended p, extended t,
                  wderivmatrix& d);
// The enthalpy variance that the DQF of end-member em adds (kJ squared);
// an unclassified or unknown class ends the run.
extended DQFVARIANCE(const emtype& em);
// Result position (1..n) to the unknown it stands for: the denominator
// mode has no position, later modes sit one place before their unknown.
long UNKNOWNOF(long position, long n);

// One call of CALCSD.
struct calcsdstate {
  const bemvector& ph;  // phases of the assemblage
  smallint n = 0;       // result positions: NX, or NX + NXP - 1 with the modes

  explicit calcsdstate(const bemvector& phases) : ph(phases) {}
  void run();
  // Appends the point to the store of calculated results (avPT+).
  void ACCUMULATE();
  // The point's block of the second csv file.
  void PRINTSDINFO();
};

}  // namespace ZQNLE4
