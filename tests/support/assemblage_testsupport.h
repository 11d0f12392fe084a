// An assemblage laid out by hand for the equilibrium equations and the
// solver: phase records with their a-x expressions, the end-members' rows
// of TD, the composition matrix, the layout of the unknowns with their
// scaling, the modes, the bulk and its projection. With `solvable` the
// end-members' enthalpies are chosen so that every residual vanishes at a
// chosen point.
//
// Usage:
//   assemblage::tables t;                 // work arrays allocated, state reset
//   assemblage::system s = ...;           // components, phases, what is free
//   assemblage::layout(s);
//   assemblage::setpoint(P, T, {x...}, {modes...});
//   assemblage::solvable({lambda per component});   // optional
//   bool found; ZQRE::CALCRE2(found);     // the reactions, then NLEFUNC at X
#pragma once

#include <array>
#include <string>
#include <vector>

#include "frame/zqglobal.h"

namespace assemblage {

// An a-x expression from text: a linear form in the phase's variables,
// by name, e.g. "1 - x - y", "0.5 + 0.5*x", "2*x(a) - 1".
termtype expr(const std::string& text, const std::vector<std::string>& vars);

struct endmember {
  std::string name;
  std::vector<int> comp;          // integer amounts over the system components
  extended H = 0, S = 0, V = 0;   // TD slots 1-3
  std::vector<std::pair<int, extended>> slots;  // further TD slots (slot, value)
  std::string prop;               // proportion expression (end-members of solution phases)
  extended norm = 1;              // constant of the ideal-mixing activity
  std::vector<std::array<int, 3>> ideal;  // ideal-mixing factors: site fraction, power num, power den
  smallint nsite = 1;             // site multiplicity
  extended alpha = 1;             // van Laar size parameter
  smallint fluidcode = 0;         // fluid-species number
};

struct variable {
  std::string name;
  extended low = 0, high = 1;  // range, scaled onto [0, 1]
  bool fixed = false;          // held fixed (an isopleth)
  acctype lowkind = acctype::xaccessible, highkind = acctype::xaccessible;
};

struct interaction {
  int j = 0, l = 0;  // end-members of the pair, j < l
  extended w = 0, wt = 0, wp = 0;
};

struct solution {
  std::string name;  // "aq..." or "fluid..." give the solvent treatments
  axtype model = axtype::ideal;
  std::vector<variable> vars;
  std::vector<std::pair<std::string, std::string>> sites;  // name, expression
  std::vector<endmember> ems;
  std::vector<interaction> ws;  // pairs; a "fluid" phase without any gets all j < l
  bool modefixed = false;
};

// An end-member of plain row G = H - T S + (P - Pr) V.
endmember row(const std::string& name, std::vector<int> comp, extended H, extended S, extended V);

// A phase of one site whose species are its end-members: site fraction m
// is the proportion of end-member m, which is also its ideal activity.
solution onesite(const std::string& name, axtype model, const std::vector<std::string>& vars,
                 const std::vector<std::string>& props, std::vector<endmember> ems);

struct pure {
  endmember em;
  bool modefixed = false;
};

struct system {
  std::vector<std::string> components;
  std::vector<longint> compdiv;  // per component; 1 when not given
  std::vector<smallint> icomp;   // atoms per component; 1 when not given
  std::vector<bool> free;        // components free (not fixed by a potential); all when not given
  std::vector<solution> solutions;
  std::vector<pure> pures;
  bool pfree = true, tfree = true;
  bool modes = true;               // modes are unknowns, with the mass balance
  extended plow = 0.001L, phigh = 50;   // P range scaled onto [0, 1] (kbar)
  extended tlow = 400, thigh = 1600;    // T range (K)
  extended modehigh = 2;                // modes scaled from [0, modehigh]
  std::vector<std::vector<longint>> projc;  // projection of the mass balance; the identity when empty
  smallint rankdeficit = 0;
};

// The work arrays of a run allocated and the solver's state at its
// defaults for the life of the object; the I/O layer as tests want it.
class tables {
 public:
  tables();
  ~tables();
  tables(const tables&) = delete;
  tables& operator=(const tables&) = delete;
};

// Lays the system out into the global tables, as the set-up of a
// calculation does; X is left at 0.
void layout(const system& s);

// X at a physical point: P (kbar), T (K), the compositional variables in
// layout order (3..NX) and the modes; free unknowns scaled, fixed ones not.
void setpoint(extended P, extended T, const std::vector<extended>& comps, const std::vector<extended>& modes);

// Physical value of unknown v of X.
extended physical(long v);
// X[v] set to the physical value u (scaled when free).
void setphysical(long v, extended u);

// Makes X a solution: each end-member's enthalpy is set so that its
// chemical potential G + RT ln a equals sum_i C[i][j] lambda_i at X, and
// COMPK is S times the mode-weighted phase compositions. Needs the
// reactions only afterwards.
void solvable(const std::vector<extended>& lambda);

// The composition per atom of mode p over the free components, computed
// here independently of the equations.
std::vector<extended> phasecomposition(long p);

}  // namespace assemblage
