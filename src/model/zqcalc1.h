// Gibbs energies of end-members and the equations of state of the fluids
// they rest on.
#pragma once

#include <cmath>
#include <cstdint>

#include "frame/types.h"

namespace ZQCALC1 {

// G of end-member i at P (kbar) and T (K); counts every call in IO::NGEM.
void GEM(smallint i, extended P, extended T, extended& G);
// G of end-member i, made end-members formed from their constituents.
void GEMDRIVER(smallint i, extended P, extended T, extended& G);

// Exponential integral Ei(x) for x < 0.
extended EI(extended x);
// e^k (Ei(-k (1 + x)) - Ei(-k)).
extended DELEI(extended x, extended k);
// x^n by repeated multiplication.
extended POW(extended x, smallint n);
// ((1 + u + du)^e - (1 + u)^e) / (e du): the difference of powers in the
// closed forms of the pressure term, over its own first-order size, taken
// through logarithms so that it keeps its digits however small du, u or e
// (0 gives its limit).
extended POWDIFF(extended u, extended du, extended e);
// (1 - POWDIFF(u, du, 1 - t))/t, the mean of (1 - b^-t)/t over b from 1 + u
// to 1 + u + du, kept whole however small t (0 gives the mean of ln b).
extended POWDIFFGAP(extended u, extended du, extended t);
// A pressure form whose rate (1/kbar) or whose power's distance from 1 is
// below this loses digits in 1 + rate P or in dividing by that distance:
// such a form is taken through POWDIFF. Ordinary solids lie far above it.
constexpr extended SMALLRATE = 1e-5L;
// Whether a form of that rate and that distance of its power from 1 is one.
inline bool SMALLFORM(extended rate, extended power) {
  return std::fabs(rate) < SMALLRATE || std::fabs(power) < SMALLRATE;
}

// Equilibrium order parameter Q of an order-disorder end-member.
extended IHQ(extended T, extended dH, extended W, smallint n, extended f);

// Volume (kJ/kbar) and RT ln f (kJ) of pure H2O and CO2.
void H2OPROPS(extended P, extended T, extended& V, extended& RTlnf);
void CO2PROPS(extended P, extended T, extended& V, extended& RTlnf);
// Redlich-Kwong volume by iteration from the V given, and ln of the fugacity coefficient.
void FINDVS(extended P, extended T, extended dP, extended Pswitch, extended c, extended d, extended e,
            extended a, extended b, extended& V, extended& lnphi);
// Molar volume of an H2O-CO2 mixture (kJ/kbar).
extended VH2OCO2(extended P, extended T, extended xCO2, extended xH2O);
// Sterner-Pitzer volume and RT ln f; P and Pswitch in bar, V in: Vmax (cm3), out: kJ/kbar.
void DOSP(extended P, extended T, extended c1, extended c2, extended c3, extended c4, extended c5,
          extended c6, extended c7, extended c8, extended c9, extended c10, extended Pswitch, extended& V,
          extended& RTlnf);
// The last results of H2OPROPS or CO2PROPS, each keyed on its exact P, T
// and USESP, so repeated calls at one state give the same bits without the
// equation of state; written only by those routines. An evaluation of the
// equations asks at a handful of nearby states in turn (the point, the
// activity code's two steps, the reaction's two steps), so the last few
// are kept, the oldest replaced first.
struct fluidstate {
  bool valid = false;
  extended P = 0, T = 0;
  bool usesp = false;
  extended V = 0, RTlnf = 0;
};
constexpr int fluidcachesize = 8;  // states kept per fluid
struct fluidcache {
  fluidstate state[fluidcachesize];
  int next = 0;  // the entry the next new state replaces
};
extern fluidcache H2OCACHE;  // last pure-H2O states, set by H2OPROPS
extern fluidcache CO2CACHE;  // last pure-CO2 states, set by CO2PROPS
void RESETFLUIDCACHE();
// Corresponding-states gas of critical pressure (kbar) and temperature (K).
void CORRSTATE(extended P, extended T, extended Pcrit, extended Tcrit, extended& V, extended& RTlnf);

// Debye-Hueckel log10 activity coefficient of a solute, and the solvent's
// dielectric constant with its correlation factor.
extended DHSOLUTE(extended P, extended T, extended nCO2, extended nH2O, extended I, extended zz);
// The solvent's own Debye-Hueckel term, from the same volume and dielectric
// constant; nothing calls it, as a run carries no solvent term.
extended DHSOLVENT(extended P, extended T, extended nCO2, extended nH2O, extended I);
extended DIELECTRIC(extended P, extended T, extended xCO2, extended xH2O, extended V);
extended AWGF(extended P, extended T, extended xCO2, extended xH2O, extended V);

// Reaction k of R: dG0 with its P and T derivatives (forward differences),
// ln K from the activities and the fluid, and the affinity dmu = dG0 + RT ln K.
void CALCDG0(smallint k, extended& dV, extended& dGdT, extended& dG0, extended P, extended T);
// CALCDG0 for every reaction of R at one point, as a caller that takes them
// all needs them: each end-member of a reaction is evaluated once per point,
// the P and T steps only where asked for (dV and dGdT are then 0). NGEM
// counts the evaluations that CALCDG0 on each reaction would make.
void PREPAREDG0(bool pstep, bool tstep, extended P, extended T);
// Reaction k's energies from the last PREPAREDG0, the same bits as CALCDG0.
void PREPAREDDG0(smallint k, extended& dV, extended& dGdT, extended& dG0);
void CALCLNK(smallint k, extended& lnK, extended P, extended T, extended xCO2, extended xH2O);
void CALCDMU(smallint k, extended& dV, extended& dmudT, extended& dmu, extended P, extended T, extended xCO2,
             extended xH2O);


// Differences over P and T hold the model's discrete choices: at a stepped
// state the series' length or form, the branch of a piecewise formula,
// Simpson's interval count and the clamps are those the base state made, so
// that a switch lying between the two states does not enter the difference
// as a jump divided by the step. The value at any single state is made the
// free way, as without a difference.
//
// A HELDSTEP opened before the base state's evaluations records the choices
// they make, in the order they make them; each STEPPED() then replays that
// sequence for the next stepped state's evaluations, which take the same
// path. Scopes nest: a difference inside an evaluation (the mixture's
// volume, a fluid's slopes) holds its own base choices, and an enclosing
// stepped state replays through it. A stepped path that leaves the recorded
// sequence is evaluated free from there on. Nothing is allocated.
enum class choicekind : std::uint8_t {
  seriesterms,   // terms summed of the exponential-integral series; one past the last: the continued fraction
  icptail,       // the dilatational series' tail estimate added (1) or not (0)
  simpsoncount,  // intervals of the numerical heat-capacity integral
  water,         // the branches of the Redlich-Kwong water (bits, see H2OPROPS)
  co2,           // the virial branch of the Redlich-Kwong CO2
  aqueouscap,    // an aqueous species' density term past its temperature cap (1) or not (0)
  thermalcap,    // a Tait thermal pressure replaced by the largest the form takes (1) or not (0)
};
class HELDSTEP {
 public:
  HELDSTEP();
  ~HELDSTEP();
  HELDSTEP(const HELDSTEP&) = delete;
  HELDSTEP& operator=(const HELDSTEP&) = delete;
  // The evaluations that follow are of a stepped state.
  void STEPPED();

 private:
  bool outerrecording, outerreplaying, outerlost;
  int outercursor, outerend, outerlength;
  int start = 0;       // the first entry of this scope's base choices
  int baseend = 0;     // one past its last
  bool based = false;  // baseend is known
  bool baselost = false;
};
// True while a stepped state is evaluated and the next held choice is of
// this kind: value := that choice.
bool HELDCHOICE(choicekind kind, smallint& value);
// A choice made the free way at a decision point: recorded while a base
// state is evaluated.
void MADECHOICE(choicekind kind, smallint value);
// The choice at a decision point whose free choice is natural: the held one
// while a stepped state is evaluated, else natural, recorded at a base state.
smallint HOLDCHOICE(choicekind kind, smallint natural);
// A base state's choices are being recorded (a decision point whose free
// choice costs extra work makes it only then).
bool CHOICESRECORDED();
// No scope open and nothing held.
void RESETHELDCHOICES();

}  // namespace ZQCALC1
