// Tests of the fluid end-members in the equilibrium equations: volumes,
// energies, solutes at infinite dilution and derivatives against
// differences.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "frame/constants.h"
#include "input/zqread2.h"
#include "model/zqcalc1.h"
#include "zqcalc1_testsupport.h"
#include "zqcalc2_testsupport.h"

using namespace ZQGLOBAL;
using namespace calctest;

namespace {

constexpr extended Rg = CONST::RGAS;
constexpr extended P0 = 5, T0 = 873;

extended vh2o(extended P, extended T) {
  extended V = 0, f = 0;
  ZQCALC1::H2OPROPS(P, T, V, f);
  return V;
}
extended vco2(extended P, extended T) {
  extended V = 0, f = 0;
  ZQCALC1::CO2PROPS(P, T, V, f);
  return V;
}
extended vch4(extended P, extended T) {
  extended V = 0, f = 0;
  ZQCALC1::CORRSTATE(P, T, CSP[3], CST[3], V, f);
  return V;
}

// RT ln gamma_e of a van Laar phase from its proportions, sizes and the W of
// the pairs (j, l) in the order listed; with aq, end-members from `solutes`
// on are aqueous species with the extra term of their pair with the solvent.
extended vanlaar(long e, const std::vector<extended>& p, const std::vector<extended>& a,
                 const std::vector<std::pair<long, long>>& jl, const std::vector<extended>& W, long solutes = 0) {
  extended S = 0;
  for (std::size_t i = 0; i < p.size(); ++i) S += p[i] * a[i];
  const auto phi = [&](long i) { return p[static_cast<std::size_t>(i - 1)] * a[static_cast<std::size_t>(i - 1)] / S; };
  const auto al = [&](long i) { return a[static_cast<std::size_t>(i - 1)]; };
  extended G = 0;
  for (std::size_t q = 0; q < jl.size(); ++q) {
    const long j = jl[q].first, l = jl[q].second;
    const extended Ws = W[q] * 2 * al(e) / (al(j) + al(l));
    const bool solvent = solutes > 0 && e >= solutes && j == 1 && l == e;
    G -= (((e == j) - phi(j)) * ((e == l) - phi(l)) + (solvent ? 1 : 0)) * Ws;
  }
  return G;
}

class Fluids : public CalcTest {
 protected:
  testsupport::modelswitches sw;
  void SetUp() override {
    CalcTest::SetUp();
    for (long i = 1; i <= maxfluid; ++i)
      for (long j = 1; j <= maxfluid; ++j) AIJ(i, j) = 0;
    AIJ(1, 2) = AIJ(2, 1) = 10.5L;
    AIJ(1, 3) = AIJ(3, 1) = 17.5L;
    AIJ(2, 3) = AIJ(3, 2) = 0.6L;
    CSP[3] = 0.046L;
    CST[3] = 190.6L;
  }
  // A fluid phase of H2O, CO2 and, with three, CH4, as the reader leaves it.
  ptype1& fluid(long n) {
    ptype1& p = onesite(1, n, axtype::vanlaar);
    p.name = "fluid";
    p.isfluid = true;
    p.h2opos = 1;
    p.co2pos = 2;
    const char* names[3] = {"H2O", "CO2", "CH4"};
    for (long e = 1; e <= n; ++e) {
      p.em[e].name = names[e - 1];
      p.em[e].fluidcode = static_cast<smallint>(e);
      p.alphaa[e] = 99;  // replaced by the volumes
    }
    pairs(p, std::vector<extended>(static_cast<std::size_t>(n * (n - 1) / 2), 99));
    return p;
  }
  // An aq phase: H2O, optionally CO2, then solutes with sizes of their own.
  ptype1& aq(bool withco2, long nsolutes) {
    const long n = (withco2 ? 2 : 1) + nsolutes;
    ptype1& p = onesite(1, n, axtype::vanlaar);
    p.name = "aq";
    p.isaq = true;
    p.h2opos = 1;
    p.co2pos = withco2 ? 2 : 0;
    p.em[1].name = "H2O";
    if (withco2) p.em[2].name = "CO2";
    for (long e = (withco2 ? 3 : 2); e <= n; ++e) {
      p.em[e].td[TDSLOT::AQ] = 1;
      p.alphaa[e] = 2.5L + e;
      p.alphab[e] = 0.001L;
      p.alphac[e] = -0.01L;
    }
    std::vector<extended> w, wt, wp;
    for (long q = 1; q <= n * (n - 1) / 2; ++q) {
      w.push_back(withco2 && q == 1 ? 0 : 4 + q);
      wt.push_back(withco2 && q == 1 ? 0 : 0.002L * q);
      wp.push_back(withco2 && q == 1 ? 0 : -0.05L);
    }
    pairs(p, w, wt, wp);
    return p;
  }
};

TEST_F(Fluids, SizesAndEnergiesComeFromTheVolumes) {
  // H2O-CO2: alpha(CO2) = V_CO2 / V_H2O, W = A12 (1/V_H2O + 1/V_CO2).
  fluid(2);
  place(1, 1, 3);
  eqvector x = point(P0, T0);
  x[3] = 0.35L;
  derivs none;
  none.calca(x, false, false);
  const extended Vw = vh2o(P0, T0), Vc = vco2(P0, T0), Vm = vch4(P0, T0);
  ASSERT_GT(Vw, 0);
  const std::vector<extended> p2 = {0.65L, 0.35L};
  const std::vector<extended> a2 = {1, Vc / Vw};
  const std::vector<extended> W2 = {10.5L * (1 / Vw + 1 / Vc)};
  for (long e = 1; e <= 2; ++e)
    EXPECT_TRUE(testsupport::near(Rg * T0 * std::log(SU.ph[1].gamma[e]), vanlaar(e, p2, a2, {{1, 2}}, W2), 1e-12L));

  // Three species: the pairs (1,2), (1,3), (2,3) take parameters 1, 2, 3.
  fluid(3);
  place(1, 1, 3);
  x[3] = 0.25L;
  x[4] = 0.15L;
  none.calca(x, false, false);
  const std::vector<extended> p3 = {0.6L, 0.25L, 0.15L};
  const std::vector<extended> a3 = {1, Vc / Vw, Vm / Vw};
  const std::vector<extended> W3 = {10.5L * (1 / Vw + 1 / Vc), 17.5L * (1 / Vw + 1 / Vm), 0.6L * (1 / Vc + 1 / Vm)};
  for (long e = 1; e <= 3; ++e)
    EXPECT_TRUE(testsupport::near(Rg * T0 * std::log(SU.ph[1].gamma[e]),
                                  vanlaar(e, p3, a3, {{1, 2}, {1, 3}, {2, 3}}, W3), 1e-12L))
        << "end-member " << e;
  // The phase record is never written.
  EXPECT_EQ((*PREC1)[1].alphaa[2], 99);
  EXPECT_EQ((*PREC1)[1].wa[1], 99);
}

TEST_F(Fluids, SoluteAtInfiniteDilutionGetsNothingFromTheSolvent) {
  ptype1& p = aq(false, 1);
  p.em[2].nsfterm = 0;  // a_id = 1, so the solute may sit at proportion 0
  place(1, 1, 3);
  eqvector x = point(P0, T0);
  x[3] = 0;
  derivs none;
  none.calca(x, false, false);
  EXPECT_NEAR(Rg * T0 * std::log(SU.ph[1].gamma[2]), 0, 1e-15L);

  // Away from it the solvent pair gives -(1 - phi1 (1 - phi2)) W*.
  x[3] = 0.2L;
  none.calca(x, false, false);
  const extended Vw = vh2o(P0, T0);
  const extended s = (0.001L * T0 + 4.5L) - 0.01L * P0;
  const extended a2 = s / Vw;
  const extended phi2 = 0.2L * a2 / (0.8L + 0.2L * a2), phi1 = 1 - phi2;
  const extended W = (0.002L * T0 + 5) - 0.05L * P0;
  const extended Ws = W * 2 * a2 / (1 + a2);
  EXPECT_TRUE(testsupport::near(Rg * T0 * std::log(SU.ph[1].gamma[2]), -((1 - phi2) * (-phi1) + 1) * Ws, 1e-12L));
}

TEST_F(Fluids, AqueousPhaseCountsItsWaterCarbonDioxidePairOnce) {
  // The phase as the file reader leaves it (every pair j < l once, or none
  // for an ideal model), then the fluid set-up. Expected: the van Laar
  // closed form with the H2O-CO2 pair once, alpha(CO2) = V_CO2 / V_H2O and
  // W = A12 (1/V_H2O + 1/V_CO2); a solute keeps its own size and its pairs.
  // The same binary named as a fluid gives the same activities.
  const extended Vw = vh2o(P0, T0), Vc = vco2(P0, T0);
  const extended W12 = 10.5L * (1 / Vw + 1 / Vc);
  const extended s3 = (0.001L * T0 + 5.5L) - 0.01L * P0;  // the solute's size, as aq() gives it
  struct Case {
    const char* name;
    bool ideal;
    std::vector<extended> comp, alpha, W;
    std::vector<std::pair<long, long>> jl;
  };
  const std::vector<Case> cases = {
      {"aq", false, {0.7L, 0.3L}, {1, Vc / Vw}, {W12}, {{1, 2}}},
      {"aq", true, {0.7L, 0.3L}, {1, Vc / Vw}, {W12}, {{1, 2}}},
      {"fluid", false, {0.7L, 0.3L}, {1, Vc / Vw}, {W12}, {{1, 2}}},
      {"aq",
       false,
       {0.6L, 0.25L, 0.15L},
       {1, Vc / Vw, s3 / Vw},
       {W12, (0.004L * T0 + 6) - 0.05L * P0, (0.006L * T0 + 7) - 0.05L * P0},
       {{1, 2}, {1, 3}, {2, 3}}},
  };
  for (const Case& c : cases) {
    const long n = static_cast<long>(c.comp.size());
    ptype1& p = aq(true, n - 2);
    p.name = c.name;
    if (c.ideal) {
      p.model = axtype::ideal;
      p.nwpair = 0;
    }
    place(1, 1, 3);
    std::make_unique<ZQREAD2::axreader>()->FLUIDHANDLING();
    eqvector x = point(P0, T0);
    setproportions(x, 3, c.comp);
    derivs none;
    none.calca(x, false, false);
    for (long e = 1; e <= n; ++e)
      EXPECT_TRUE(testsupport::near(Rg * T0 * std::log(SU.ph[1].gamma[e]),
                                    vanlaar(e, c.comp, c.alpha, c.jl, c.W, n > 2 ? 3 : 0), 1e-12L))
          << c.name << (c.ideal ? " ideal" : "") << " end-member " << e;
  }
}

// The sizes and energies take their P and T slopes from one-sided
// differences of the volumes over 0.001 kbar and 0.01 K, not from the
// derivatives of the equations of state. So the P and T derivatives are
// checked against a model built here: sizes and energies made linear in P
// and T through the same one-sided differences, and differentiated
// centrally. The true slopes differ from those only in second order (about
// 1e-5).
struct linear {
  extended f = 0, ft = 0, fp = 0;
  extended at(extended P, extended T) const { return f + ft * (T - T0) + fp * (P - P0); }
};

template <class F>
linear slopes(F value) {
  linear l;
  l.f = value(P0, T0);
  l.ft = (value(P0, T0 + 0.01L) - l.f) / 0.01L;
  l.fp = (value(P0 + 0.001L, T0) - l.f) / 0.001L;
  return l;
}

TEST_F(Fluids, DerivativesMatchDifferences) {
  struct setup {
    const char* what;
    bool isfluid;
    std::vector<extended> comp;
  };
  const std::vector<setup> setups = {{"fluid", true, {0.5L, 0.3L, 0.2L}},
                                     {"aq with CO2", false, {0.55L, 0.2L, 0.15L, 0.1L}}};
  for (const setup& s : setups) {
    const long n = static_cast<long>(s.comp.size());
    ptype1& p = s.isfluid ? fluid(n) : aq(true, n - 2);
    place(1, 1, 3);
    eqvector x = point(P0, T0);
    setproportions(x, 3, s.comp);
    derivs d;
    d.fill(0);
    d.calca(x, true, true);
    const emvector atpoint = ACTIVITY;

    // The model's sizes and energies as linear forms.
    const auto vol = [&](long e, extended P, extended T) {
      return e == 1 ? vh2o(P, T) : e == 2 ? vco2(P, T) : vch4(P, T);
    };
    std::vector<linear> alpha(static_cast<std::size_t>(n)), W;
    std::vector<std::pair<long, long>> jl;
    for (long e = 2; e <= n; ++e) {
      alpha[static_cast<std::size_t>(e - 1)] =
          s.isfluid || e == 2 ? slopes([&](extended P, extended T) { return vol(e, P, T) / vol(1, P, T); })
                              : slopes([&](extended P, extended T) {
                                  return ((p.alphab[e] * T + p.alphaa[e]) + p.alphac[e] * P) / vh2o(P, T);
                                });
    }
    alpha[0].f = 1;
    for (long q = 1; q <= p.nwpair; ++q) {
      const long j = p.wpair[q].wj, l = p.wpair[q].wk;
      jl.push_back({j, l});
      if (s.isfluid || q == 1) {
        const extended A = AIJ(j, l);
        W.push_back(slopes([&](extended P, extended T) { return A * (1 / vol(j, P, T) + 1 / vol(l, P, T)); }));
      } else {
        const long m = p.wpair[q].wpar;
        W.push_back(linear{(p.wb[m] * T0 + p.wa[m]) + p.wc[m] * P0, p.wb[m], p.wc[m]});
      }
    }
    // RT ln a of end-member e: ideal part p_e and the van Laar excess.
    const auto rtlna = [&](long e, extended P, extended T) {
      std::vector<extended> a, w;
      for (const linear& l : alpha) a.push_back(l.at(P, T));
      for (const linear& l : W) w.push_back(l.at(P, T));
      return Rg * T * std::log(s.comp[static_cast<std::size_t>(e - 1)]) +
             vanlaar(e, s.comp, a, jl, w, s.isfluid ? 0 : 3);
    };
    for (long g = 1; g <= n; ++g) {
      EXPECT_TRUE(testsupport::near(Rg * T0 * std::log(atpoint[g]), rtlna(g, P0, T0), 1e-12L)) << s.what << " " << g;
      const extended dP = (rtlna(g, P0 + 1e-4L, T0) - rtlna(g, P0 - 1e-4L, T0)) / 2e-4L;
      const extended dT = (rtlna(g, P0, T0 + 1e-3L) - rtlna(g, P0, T0 - 1e-3L)) / 2e-3L;
      EXPECT_NEAR(d.dp[g], dP, 1e-4L * (1 + std::fabs(dP))) << s.what << " d/dP row " << g;
      EXPECT_NEAR(d.dt[g], dT, 1e-4L * (1 + std::fabs(dT))) << s.what << " d/dT row " << g;
    }
  }
}

}  // namespace
