// Shared state of the equilibrium solver: the layout of the unknowns with
// their scaling and limits, the numbering of the calculation's end-members,
// the bulk composition and its projection, the per-phase work records of a
// solved point, and the reaction table's companions. The calc-mode-1 set-up
// fills it; the activities, the equations and the solver read it.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_numerics.h"

constexpr int maxxvarlim = 50;   // linear limit rows on the unknowns
constexpr int maxsfnh = 50;      // site fractions watched along a step
constexpr int maxsu = 15;        // phase work records of one point
constexpr int maxmodeset = 202;  // mode sets (mode rows) of one point

using beqvector = farray<bool, 1, maxeq>;
using ieqvector = farray<smallint, 1, maxeq>;
using eqmatrix = fmatrix<extended, 1, maxeq, 1, maxeq>;
using acceqvector = farray<acctype, 1, maxeq>;
using seqvector = farray<sstring, 1, maxeq>;
using bcvector = farray<bool, 1, maxcomp>;
using rvector = farray<extended, 1, maxreac>;
using irvector = farray<smallint, 1, maxreac>;
using dcompdxtype = dcompdxarray;
// Rows of rational coefficients over the unknowns 1..NX, the constant in
// column NX + 1 (one column beyond the unknowns, so NX = 90 still fits).
using xvarlimtype = fmatrix<smallint, 1, maxxvarlim, 1, maxeq + 1>;
using modesetvector = farray<extended, 1, maxmodeset>;

// One phase of the assemblage as the solver and the printers see it.
struct suphasetype {
  sstring name;                                        // phase name
  smallint phase = 0;                                  // solution- or pure-phase number
  smallint firstx = 0;                                 // position in X of its first variable, 0 for a pure phase
  bool hasmode = false;                                // the phase takes a mode
  bool fluidphase = false, aqphase = false;            // name begins "fluid" / "aq"
  smallint nem = 0;                                    // end-members, 1 for a pure phase
  farray<sstring, 1, maxssem> varnames{"su varnames"};  // compositional variables
  farray<extended, 1, maxssem> x{"su x"}, xsd{"su xsd"};  // their values (EXTRACT) and sds (CALCSD)
  smallint nsf = 0;                                    // site fractions
  farray<sstring, 1, maxsf> sfnames{"su sfnames"};
  farray<extended, 1, maxsf> sf{"su sf"};  // site-fraction values (POSTPROCESS)
  farray<str255, 1, maxssem> emnames{"su emnames"};
  cvector comp{"su comp"};  // components in one formula unit, all NUV in system order
  // Per end-member: proportion, ideal-mixing activity, activity coefficient,
  // activity, Gibbs energy, RT ln a.
  farray<extended, 1, maxssem> p{"su p"}, ideal{"su ideal"}, gamma{"su gamma"}, activity{"su activity"},
      gem{"su gem"}, rtlna{"su rtlna"};
  modesetvector mode{"su mode"}, modefac{"su modefac"};  // per mode set: mode and its weight factor
  extended modesd = 0;  // sd of the log ratio of its mode, 0 for the denominator mode or none (CALCSD)
  extended g = 0, s = 0, v = 0, h = 0, rho = 0;          // phase G, S, V, H, density
};

// The result record of the current point.
struct sutype {
  smallint nph = 0;  // phase records in use
  farray<suphasetype, 1, maxsu> ph{"SU ph"};
  smallint nmodeset = 0;                                    // mode sets: 1 when modes are unknowns, else 0
  smallint firstmodeset = 0;  // label of the first mode set: the first bulk step seen (SETX, modes after the solve)
  smallint variance = 0, ovariance = 0;  // variance of the point, and before isopleths and set values (SETX)
  smallint ncomp = 0;   // bulk compositions of the bulk range, 1 or less for a single bulk (SETX)
  smallint kcomp = 0;   // current step along the bulk range (SETX)
  modesetvector prop{"SU prop"};  // bulk position of each row label; the first is the current step's (SETX)
  // Per bulk step, when the modes are worked out after the solve: 1 seen,
  // 0 not seen, -1 a sub-assemblage of the wrong size (AFTER).
  farray<smallint, 1, maxmodeset> stepstatus{"SU stepstatus"};
  smallint nuv = 0, nuvleft = 0;  // components, and free ones (SETX)
  farray<sstring, 1, maxcomp> compname{"SU compname"};  // component names (SETX)
  bcvector bcomps{"SU bcomps"};  // per component: free (SETX)
  fmatrix<extended, 1, maxmodeset, 1, maxcomp> bulk{"SU bulk"};  // bulk per mode set over the free components
  modesetvector gsys{"SU gsys"}, hsys{"SU hsys"}, ssys{"SU ssys"}, vsys{"SU vsys"}, rhosys{"SU rhosys"};
  extended pressure = 0, temperature = 0;  // the solved point (kbar, K)
};

namespace ZQGLOBAL {

// ---------------------------------------------------------------- unknowns (counts NX, NXP, NXPSS with the run counts)
extern eqvector X;         // unknowns: P, T, compositional variables, modes (set by the driver and the solver)
extern beqvector BX;       // true for a free unknown (MAKECROSSREFS, SETUPLOOPS)
extern seqvector XNAME;    // display names of the unknowns (MAKECROSSREFS)
extern eqvector XFACA;     // scale factor of each unknown: scaled = XFACA * physical + XFACB (MAKECROSSREFS)
extern eqvector XFACB;     // scale offset of each unknown (MAKECROSSREFS)
extern eqvector TYPX;      // typical magnitude of each unknown in scaled units, non-zero (MAKECROSSREFS)
extern acceqvector INACC1; // kind of the lower limit of each unknown (MAKECROSSREFS)
extern acceqvector INACC2; // kind of the upper limit of each unknown (MAKECROSSREFS)
extern smallint NXVARLIM;  // linear limit rows in use (MAKECROSSREFS)
extern xvarlimtype XVARLIMN;  // numerators of the limit rows (MAKECROSSREFS)
extern xvarlimtype XVARLIMD;  // denominators of the limit rows, non-zero where used (MAKECROSSREFS)
extern smallint NSFNH;     // watched site fractions in use (MAKECROSSREFS)
extern farray<smallint, 1, maxsfnh> SFNHIP;  // phase of each watched site fraction (MAKECROSSREFS)
extern farray<smallint, 1, maxsfnh> SFNHK;   // site-fraction number within its phase (MAKECROSSREFS)
extern farray<smallint, 1, maxsfnh> SFNHIX;  // position in X of that phase's first variable (MAKECROSSREFS)
extern extended PHI;       // normalising factor of the mode unknowns (SETX)
extern ieqvector MP2SS;    // per mode unknown: its solution- or pure-phase number (MAKECROSSREFS)
extern ieqvector MP2X;     // per mode unknown: X position of its phase's first variable, 0 for a pure phase (MAKECROSSREFS)
extern eqvector XGUESS;    // starting value of each unknown before scaling (MAKECROSSREFS, CALCQ)
extern ieqvector PXSET;    // per unknown: index of the value that fixes it, 0 when none (MAKECROSSREFS, CALCQ)
extern smallint NISSET;    // compositional unknowns held fixed (MAKECROSSREFS, CALCQ)
extern eqvector MODEG;     // per mode unknown: the starting guess of its phase's mode, below 0 when none (MAKECROSSREFS)
// What is held fixed among the unknowns (MAKECROSSREFS): x(CO2) alone, x(CO2)
// and one more, nothing, exactly one, and no mode.
extern bool ONLYXCO2SET, STARSET, NOTHINGSET, ONLYONESET, NOTHINGMODESET;

// ---------------------------------------------------------------- end-members of the calculation
extern bemvector STARTSS;  // true at the first end-member of each solution phase (MAKECROSSREFS)
extern bemvector STARTPH;  // the same positions: a phase begins there (MAKECROSSREFS)
extern iemvector EM2SS;    // there: the phase's record number in PREC1 (MAKECROSSREFS)
extern iemvector EM2X;     // there: X position of the phase's first variable (MAKECROSSREFS)

// ---------------------------------------------------------------- bulk and projection
extern cvector COMPK;      // bulk over the free components, one-atom basis (SETX)
extern smallint KBPDEN;    // denominator component of the log-ratio bulk (SETX)
extern liemmatrix PROJC;   // integer projection of the mass balance over the free components (CALCRANKP)
extern smallint RANKDEFICIT;  // rank deficit of PROJC (CALCRANKP)
extern irvector RNSITE;    // per reaction: normaliser of its residual, 1..500 (MAKERNSITE)
extern smallint JROW;      // rows of the last Jacobian (NLEFUNC)
extern smallint JCOL;      // columns of the last Jacobian (NLEFUNC)

// ---------------------------------------------------------------- run state
extern smallint IBATCH;    // current batch, Monte Carlo or fractionation item, 0 outside them (SOLVE)
extern smallint NOKBATCH;  // successful items so far (SOLVE)
extern bool DOINGMC;       // a Monte Carlo run is in progress (SOLVE)
extern sutype SU;          // work records of the current point (MAKECROSSREFS, SOLVE, CALCA, CALCGPHASE)

// ---------------------------------------------------------------- reactions
extern rvector ALNK;       // ln K (sum of nu ln a) per reaction (CALCLNK, NLEFUNC, the reaction finders)
extern emvector VARLNA;    // variance of ln a per end-member (CALCVARLNA)
extern farray<str255, 1, maxreac> RLINES;  // reaction texts (MAKERLINE)
extern smallint INDENTR;   // widest reaction text plus 1 (MAKERLINE; callers reset it)

// Every global above back to its default.
void RESETSOLVER();

}  // namespace ZQGLOBAL
