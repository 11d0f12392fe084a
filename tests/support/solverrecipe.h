// Made-up assemblages with known solutions, for the solver's tests and its
// benchmark.
#pragma once

#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "frame/zqglobal.h"

namespace solverrecipe {

// A one-site ideal binary of end-members A and B: both formula units one
// atom, so x is the proportion of B.
inline assemblage::solution binary(const std::string& name, extended ha, extended sa, extended va, extended hb,
                                   extended sb, extended vb, bool xfixed) {
  assemblage::solution s;
  s.name = name;
  s.vars = {{"x", 0, 1, xfixed}};
  s.sites = {{"xA", "1 - x"}, {"xB", "x"}};
  assemblage::endmember a, b;
  a.name = name + "A";
  a.comp = {1, 0};
  a.H = ha, a.S = sa, a.V = va;
  a.prop = "1 - x";
  a.ideal = {{1, 1, 1}};
  b.name = name + "B";
  b.comp = {0, 1};
  b.H = hb, b.S = sb, b.V = vb;
  b.prop = "x";
  b.ideal = {{2, 1, 1}};
  s.ems = {a, b};
  return s;
}

// The loop between alpha and beta. At 5 kbar and 900 K: x(B, alpha) =
// 0.408071603013, x(B, beta) = 0.515584211305, and with bulk x(B) = 0.45
// modes 0.610014140173 and 0.389985859827. With x(B, alpha) held at 0.35
// and T solved: T = 959.078673123 K, x(B, beta) = 0.420036591031.
inline assemblage::system binaryloop(bool modes, bool tfree, bool xafixed) {
  assemblage::system s;
  s.components = {"A", "B"};
  s.solutions = {binary("alpha", -1000, 0.10L, 2.0L, -1100, 0.12L, 2.2L, xafixed),
                 binary("beta", -990, 0.11L, 2.1L, -1106, 0.115L, 2.15L, false)};
  s.pfree = false;
  s.tfree = tfree;
  s.modes = modes;
  return s;
}

inline assemblage::endmember em(const std::string& name, std::vector<int> comp, extended H, extended S, extended V,
                                const std::string& prop, std::vector<std::array<int, 3>> ideal) {
  assemblage::endmember e;
  e.name = name;
  e.comp = std::move(comp);
  e.H = H, e.S = S, e.V = V;
  e.prop = prop;
  e.ideal = std::move(ideal);
  return e;
}

// Three solution phases over MgO, CaO and SiO2, P and T held: an ideal
// two-site phase (Mg, Ca on both sites), a symmetric and a van Laar
// ternary. With `fluid`, also an H2O-CO2 fluid and quartz over H2O and CO2
// too: 12 end-members in all. As many phases as components keep the modes
// determined. The enthalpies are left for assemblage::solvable to set at
// the chosen point.
inline assemblage::system threephases(bool fluid) {
  assemblage::system s;
  s.components = {"MgO", "CaO", "SiO2"};
  s.icomp = {2, 2, 3};
  s.pfree = s.tfree = false;
  auto c = [fluid](std::vector<int> v) {
    if (fluid) v.insert(v.end(), {0, 0});
    return v;
  };

  assemblage::solution cpx;
  cpx.name = "cpx";
  cpx.vars = {{"y", 0, 1}, {"z", 0, 1}};
  cpx.sites = {{"xMgM2", "1 - y"}, {"xCaM2", "y"}, {"xMgM1", "1 - z"}, {"xCaM1", "z"}};
  cpx.ems = {em("en", c({2, 0, 2}), 0, 0.132L, 6.262L, "1 - y", {{1, 1, 1}, {3, 1, 1}}),
             em("di", c({1, 1, 2}), 0, 0.143L, 6.619L, "y - z", {{2, 1, 1}, {3, 1, 1}}),
             em("cwo", c({0, 2, 2}), 0, 0.16L, 7.0L, "z", {{2, 1, 1}, {4, 1, 1}})};

  assemblage::solution ol;
  ol.name = "ol";
  ol.model = axtype::symmetric;
  ol.vars = {{"x", 0, 1}, {"c", 0, 1}};
  ol.sites = {{"xfo", "1 - x - c"}, {"xmo", "x"}, {"xla", "c"}};
  ol.ems = {em("fo", c({2, 0, 1}), 0, 0.0951L, 4.366L, "1 - x - c", {{1, 1, 1}}),
            em("mont", c({1, 1, 1}), 0, 0.109L, 5.148L, "x", {{2, 1, 1}}),
            em("larn", c({0, 2, 1}), 0, 0.1275L, 5.16L, "c", {{3, 1, 1}})};
  ol.ws = {{1, 2, 12}, {1, 3, 30, 0, 0.05L}, {2, 3, 8}};

  assemblage::solution g;
  g.name = "g";
  g.model = axtype::vanlaar;
  g.vars = {{"x", 0, 1}, {"z", 0, 1}};
  g.sites = {{"xMg", "1 - x - z"}, {"xCa", "x"}, {"xMC", "z"}};
  g.ems = {em("g1", c({3, 0, 3}), 0, 0.269L, 11.31L, "1 - x - z", {{1, 1, 1}}),
           em("g2", c({0, 3, 3}), 0, 0.255L, 12.535L, "x", {{2, 1, 1}}),
           em("g3", c({1, 2, 3}), 0, 0.26L, 12.1L, "z", {{3, 1, 1}})};
  g.ems[1].alpha = 2.5L;
  g.ws = {{1, 2, 45}, {1, 3, 20}, {2, 3, 6}};

  s.solutions = {cpx, ol, g};
  if (!fluid) return s;

  s.components.insert(s.components.end(), {"H2O", "CO2"});
  s.icomp.insert(s.icomp.end(), {3, 3});
  assemblage::solution fl;
  fl.name = "fluid";
  fl.model = axtype::vanlaar;
  fl.vars = {{"x(CO2)", 0, 1}};
  fl.sites = {{"xH2O", "1 - x(CO2)"}, {"xCO2", "x(CO2)"}};
  // A row whose entropy is 0 is taken as its enthalpy alone: the fluid's
  // need one to reach the equation of state.
  fl.ems = {em("H2O", {0, 0, 0, 1, 0}, 0, 0.1887L, 0, "1 - x(CO2)", {{1, 1, 1}}),
            em("CO2", {0, 0, 0, 0, 1}, 0, 0.2137L, 0, "x(CO2)", {{2, 1, 1}})};
  fl.ems[0].fluidcode = 1;
  fl.ems[1].fluidcode = 2;
  s.solutions.push_back(fl);
  assemblage::pure q;
  q.em = em("q", c({0, 0, 1}), 0, 0.0415L, 2.269L, "", {});
  s.pures = {q};
  return s;
}

// The point threephases() is solved at (8 kbar and 1000 K): its
// compositional variables in layout order, its modes, and the chemical
// potentials of the components.
struct point {
  std::vector<extended> x, modes, lambda;
};
inline point threephasespoint(bool fluid) {
  if (fluid) return {{0.3L, 0.05L, 0.1L, 0.05L, 0.2L, 0.1L, 0.3L}, {0.3L, 0.25L, 0.25L, 0.1L, 0.1L},
                     {-700, -800, -900, -300, -450}};
  return {{0.3L, 0.05L, 0.1L, 0.05L, 0.2L, 0.1L}, {0.35L, 0.35L, 0.3L}, {-700, -800, -900}};
}

// Every site fraction of every solution phase is watched along a step.
inline void watchsitefractions() {
  using namespace ZQGLOBAL;
  NSFNH = 0;
  for (long i = 1; i <= NCV; ++i) {
    if (!STARTSS[i]) continue;
    const ptype1& p = (*PREC1)[EM2SS[i]];
    for (long k = 1; k <= p.nsf; ++k) {
      ++NSFNH;
      SFNHIP[NSFNH] = EM2SS[i];
      SFNHK[NSFNH] = static_cast<smallint>(k);
      SFNHIX[NSFNH] = EM2X[i];
    }
  }
}

}  // namespace solverrecipe
