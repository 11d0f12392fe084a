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

// Three solution phases and a pure phase over MgO, FeO, CaO and SiO2, P and
// T held: an ideal two-site phase (Mg, Fe on one site, Mg, Ca on the other),
// a symmetric and a van Laar ternary. The enthalpies are left for
// assemblage::solvable to set at the chosen point.
inline assemblage::system threephases() {
  assemblage::system s;
  s.components = {"MgO", "FeO", "CaO", "SiO2"};
  s.icomp = {2, 2, 2, 3};
  s.pfree = s.tfree = false;

  assemblage::solution px;
  px.name = "px";
  px.vars = {{"x", 0, 1}, {"y", 0, 1}};
  px.sites = {{"xMgM1", "1 - x"}, {"xFeM1", "x"}, {"xMgM2", "1 - y"}, {"xCaM2", "y"}};
  px.ems = {em("en", {2, 0, 0, 2}, 0, 0.132L, 6.262L, "1 - x - y", {{1, 1, 1}, {3, 1, 1}}),
            em("fs", {1, 1, 0, 2}, 0, 0.150L, 6.4L, "x", {{2, 1, 1}, {3, 1, 1}}),
            em("di", {1, 0, 1, 2}, 0, 0.143L, 6.619L, "y", {{1, 1, 1}, {4, 1, 1}})};

  assemblage::solution ol;
  ol.name = "ol";
  ol.model = axtype::symmetric;
  ol.vars = {{"x", 0, 1}, {"c", 0, 1}};
  ol.sites = {{"xMg", "1 - x - c"}, {"xFe", "x"}, {"xCa", "c"}};
  ol.ems = {em("fo", {2, 0, 0, 1}, 0, 0.0951L, 4.366L, "1 - x - c", {{1, 2, 1}}),
            em("fa", {0, 2, 0, 1}, 0, 0.151L, 4.631L, "x", {{2, 2, 1}}),
            em("cfo", {1, 0, 1, 1}, 0, 0.109L, 5.1L, "c", {{1, 1, 1}, {3, 1, 1}})};
  ol.ws = {{1, 2, 8}, {1, 3, 30, 0, 0.05L}, {2, 3, 22}};

  assemblage::solution gt;
  gt.name = "g";
  gt.model = axtype::vanlaar;
  gt.vars = {{"x", 0, 1}, {"z", 0, 1}};
  gt.sites = {{"xMg", "1 - x - z"}, {"xFe", "x"}, {"xCa", "z"}};
  gt.ems = {em("py", {3, 0, 0, 3}, 0, 0.269L, 11.31L, "1 - x - z", {{1, 3, 1}}),
            em("alm", {0, 3, 0, 3}, 0, 0.34L, 11.525L, "x", {{2, 3, 1}}),
            em("gr", {0, 0, 3, 3}, 0, 0.255L, 12.535L, "z", {{3, 3, 1}})};
  gt.ems[2].alpha = 2.5L;
  gt.ws = {{1, 2, 4}, {1, 3, 45}, {2, 3, 17}};

  s.solutions = {px, ol, gt};
  assemblage::pure q;
  q.em = em("q", {0, 0, 0, 1}, 0, 0.0415L, 2.269L, "", {});
  s.pures = {q};
  return s;
}

// The point threephases() is solved at: 8 kbar, 1100 K, the compositional
// variables in layout order and the modes.
inline const std::vector<extended>& threephasesx() {
  static const std::vector<extended> x = {0.18L, 0.12L, 0.22L, 0.04L, 0.3L, 0.15L};
  return x;
}
inline const std::vector<extended>& threephasesmodes() {
  static const std::vector<extended> m = {0.35L, 0.25L, 0.3L, 0.1L};
  return m;
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
