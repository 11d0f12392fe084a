// The state of one Gibbs-energy evaluation of an end-member, shared by GEM
// and the routines nested in it (the volume solver, its start value, the
// dilatational heat-capacity series) and handed whole to the terms that
// model fluids, ordering, hydration and aqueous species. Internal to the
// model folder.
#pragma once

#include <string_view>

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "model/zqcalc1.h"

namespace ZQCALC1 {

constexpr int maxsimpson = 141;  // ordinates of the numerical heat-capacity integral

// Everything one call reads and derives. It lives on GEM's stack: a call
// allocates nothing.
struct gemcontext {
  // --- where and what
  smallint row = 0;          // the row (or least-squares record) number
  extended P = 0;            // kbar
  extended T = 0;            // K
  std::string_view name;     // the end-member's name, viewed in NAME or PHNAMES
  bool pressureexplicit = false;
  bool liquid = false;       // the name ends in "L"

  // --- the run's switches, as GEM read them at the call
  calcmodetype calcmode = calcmodetype::nlecalc;
  bool oldset = false;       // WITHOLDSET
  bool qvb = false;          // exponential-integral form of the pressure-explicit model
  bool numerical = false;    // Simpson instead of the series for the dilatational term
  ftype fluidtype = ftype::notset;
  bool makecdhydrous = false;

  // --- the row, by meaning. With the older data set the fields take that
  // generation's slots: alpha1 from slot 9, K0 from 11, Kp from 12, and Kpp
  // stays 0; the order-disorder values are then not read (bwn = 0).
  smallint code = 0;         // equation code
  extended H = 0, S = 0, V0 = 0;
  extended ca = 0, cb = 0, cc = 0, cd = 0;
  extended alpha0 = 0, alpha1 = 0;
  extended K0 = 0, Kp = 0, Kpp = 0;
  extended theta = 0;
  extended dKdT = 0;
  extended tcrit = 0, smax = 0, vmax = 0;     // Landau
  extended aq = 0, aq1 = 0, aq2 = 0;          // aqueous coefficient and solute parameters
  extended bwdh = 0, bwdv = 0, bww = 0, bwwv = 0;  // order-disorder
  smallint bwn = 0;
  extended bwf = 0;
  extended ionic = 0;        // slot 26, for the solute term
  extended xco2 = 0, xh2o = 0;  // the fluid the end-member belongs to

  // --- derived state of the pressure-explicit model
  extended u0 = 0, xi0 = 0;  // theta/Tr and the Einstein function there
  extended eu0 = 0;          // exp(u0)
  extended A = 0;            // thermal-pressure scale (kbar/K)
  extended Pth = 0;          // thermal pressure at T (kbar)
  extended ea = 0, eb = 0, ec = 0;  // Tait parameters
  farray<extended, 1, 6> s{"gem start series"};
  extended Pofy = 0, dPdy = 0;  // the volume solver's last P(y) and dP/dy

  // The volume ratio y = V/V0 of the pressure-explicit model at (P, T).
  extended CALCV(extended p, extended t);
  // The same as y - 1, solved for itself: the form of a stiff solid.
  extended CALCZ(extended p, extended t);
  // The solve of either: in y, or in y - 1 (diff).
  extended solvevolume(extended p, extended t, bool diff);
  // A modulus so high (or a power so near 1) that y - 1 and the powers of
  // the Tait form are to be taken in their difference forms.
  bool stiff() const;
  // Its start value at Pr, without iteration.
  extended CALCV0(extended t);
  // The dilatational heat-capacity contribution to G at t, by series.
  extended CALCICP(extended t) const;

  // Thermal pressure at t of the Einstein model with this row's scale A.
  extended thermalpressure(extended t) const;
  // P(y) and dP/dy of the pressure-explicit model at thermal pressure pth,
  // into Pofy and dPdy.
  // held: the series form to use (0: the free stop).
  // diff: v is y - 1 rather than y, the pressure of the Tait form taken
  // through logarithms.
  void pressureofy(extended v, extended pth, int held = 0, bool diff = false);
  // D(x, K') with the series form held across a difference; used: the
  // form taken, as deleiterms gives it.
  extended delei(extended x);
  extended delei(extended x, int& used);
  // The series-reversion start of the volume solve.
  extended startvalue(extended pth, extended q) const;
  // Its part beyond 1.
  extended startincrement(extended pth, extended q) const;
  // The integral of V dP from Pr to P at T, by the row's equation of state.
  extended pressureterm();
  // The pressure-explicit integral of a stiff solid.
  extended stiffpressureterm();
  // The heat-capacity part of G: the integrals of Cp and Cp/T from Tr to T.
  extended heatcapacityterm();
  // The dilatational contribution by Simpson's rule over [Tr, T].
  extended simpson();
  // Stops the run when the Tait parameters would divide by zero.
  void checktait() const;
};

// Step 1 and 2 of an evaluation without the count: the row (or the
// least-squares record) i read into c and the pressure-explicit state
// derived from it.
void gemread(gemcontext& c, smallint i, extended P, extended T);

// Number of Simpson intervals over a temperature span dT (K): one per 20 K,
// at least 4, at most 140, always even.
smallint simpsonintervals(extended dT);

constexpr int maxseries = 16;                 // terms of the D series
constexpr int deleifraction = maxseries + 1;  // the form past the series: the continued fraction

// D(x, k) by its series: summed until a term falls below the tolerance
// (held 0) or over exactly held terms; where 16 terms do not reach the
// tolerance, or held says so, the continued fraction. used: the form taken,
// 17 for the continued fraction.
extended deleiterms(extended x, extended k, int held, int& used);

// (1 + x1) D(x1, k) - (1 + x2) D(x2, k) of the series over n1 and n2 terms
// (neither the continued fraction), summed as differences of powers so that
// it keeps its digits however near x1 is to x2.
extended deleiydifference(extended x1, extended x2, extended k, int n1, int n2);

// The Einstein function u^2 e^u / (e^u - 1)^2.
extended einstein(extended u);

// The fluid, mixing, ordering, cordierite-hydration and aqueous terms of one
// evaluation, each in kJ. GEM adds them in this order after the pressure and
// heat-capacity terms.
void GEMTERMS(const gemcontext& c, extended& Gf, extended& Gmix, extended& Gord, extended& Ghyd, extended& Gaq);

}  // namespace ZQCALC1
