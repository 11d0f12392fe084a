// Internal ordering: the Landau term against 40-digit values and its own
// derivatives, the equilibrium order parameter against the equilibrium
// condition it solves, and the impossible parameter sets that stop a run.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

#include "model/zqcalc1_terms.h"
#include "zqcalc1_testsupport.h"

namespace {

using testsupport::near;

constexpr extended TC0 = 800, SMAX = 0.004L, VMAX = 0.04L;

extended landau(extended P, extended T) { return ZQCALC1::LANDAUTERM("qtz", P, T, TC0, SMAX, VMAX); }

TEST(Landau, ValuesAndDerivatives) {
  // Tcrit at 10 kbar is 900 K: q = 0.25 at 850 K, fully disordered at 950 K.
  const extended q0 = std::sqrt(1 - CONST::TR / TC0), h = 1e-4L;
  for (auto [T, G, q] : {std::tuple{850.0L, -0.4049012973023165L, 0.25L}, {950.0L, -0.6883802112069964L, 0.0L}}) {
    EXPECT_TRUE(near(landau(10, T), G, 1e-13L));
    EXPECT_TRUE(near((landau(10, T + h) - landau(10, T - h)) / (2 * h), -SMAX * (q0 - q), 1e-6L));  // -Sx
    EXPECT_TRUE(near((landau(10 + h, T) - landau(10 - h, T)) / (2 * h), VMAX * (q0 - q), 1e-6L));  // Vx
  }
  EXPECT_NEAR(static_cast<double>(landau(10, 900 - 1e-9L)), static_cast<double>(landau(10, 900 + 1e-9L)), 1e-9);
  // A transition below Tr leaves the reference state disordered: nothing
  // above the transition, a finite term below it.
  EXPECT_EQ(ZQCALC1::LANDAUTERM("x", 0.001L, 400, 280, SMAX, VMAX), 0);
  EXPECT_EQ(ZQCALC1::LANDAUTERMOLD("x", 0.001L, 400, 280, SMAX, VMAX, 0, 0, 1000, 4, 0), 0);
  EXPECT_TRUE(std::isfinite(ZQCALC1::LANDAUTERM("x", 0.001L, 250, 280, SMAX, VMAX)));
  // The older form's Murnaghan volume part: ordinary, stiff, and K' near
  // or at 0 and near 1, where the plain closed form keeps no digits.
  for (auto [K0, Kp, G] : {std::tuple{1000.0L, 4.0L, -0.40191347345205633257L},
                           {1e20L, 4.0L, -0.40025151150315254032L}, {1000.0L, 1e-18L, -0.40193666279407047271L},
                           {1000.0L, 0.0L, -0.40193666279407047271L}, {1000.0L, 1 + 1e-15L, -0.40193077471288447429L}})
    EXPECT_TRUE(near(ZQCALC1::LANDAUTERMOLD("x", 10, 850, TC0, SMAX, VMAX, 2e-5L, 5, K0, Kp, -0.1L), G, 1e-14L))
        << K0 << " " << Kp;
}

TEST(Landau, ImpossibleParametersStop) {
  testsupport::modelswitches sw;
  testsupport::Terminal term;
  using ZQCALC1::LANDAUTERM, ZQCALC1::LANDAUTERMOLD;
  const std::function<void()> stops[] = {
      [] { LANDAUTERM("crd", 1, 800, 0, SMAX, VMAX); },
      [] { LANDAUTERM("crd", 1, 800, -5, SMAX, VMAX); },
      [] { LANDAUTERMOLD("crd", 1, 800, 0, SMAX, VMAX, 0, 0, 1000, 4, 0); },
      [] { LANDAUTERMOLD("crd", 1, 800, TC0, SMAX, VMAX, 0, 0, 1000, 1, 0); },  // K' = 1
      [] { LANDAUTERMOLD("crd", 100, 800, TC0, SMAX, -0.04L, 0, 0, 1000, 4, 0); },  // Tcrit below 0 K
  };
  for (const auto& call : stops) EXPECT_EQ(testsupport::fatal(call), "gem: crd: impossible Landau parameters");
  // The newer form has no use for Tcrit itself once it is passed.
  EXPECT_EQ(testsupport::fatal([] { LANDAUTERM("crd", 100, 800, TC0, SMAX, -0.04L); }), "");
}

struct ihqcase {
  extended T, dH, W;
  smallint n;
  extended f, Q;
};
const ihqcase IHQCASES[] = {
    {1000, 10, 0, 1, 1, 0.53802489473876953125L},
    {900, 15, 5, 1, 1, 0.843017509521484375L},
    {900, 20, 8, 2, -1, 0.84912102392578125L},
    {1200, 12, 3, 3, 0.5L, 0.66278072916259765625L},
};

TEST(OrderDisorder, EquilibriumOrderParameter) {
  EXPECT_TRUE(near(ZQCALC1::ihqrun{1000, 10, 0, 1, 1}.F(0.37L), 3.540989959404398L, 1e-13L));
  for (const ihqcase& c : IHQCASES) {
    SCOPED_TRACE(static_cast<double>(c.Q));
    auto G = [&](extended Q) { return ZQCALC1::ORDERG(Q, c.T, c.dH, c.W, c.n, c.f); };
    const extended Q = ZQCALC1::IHQ(c.T, c.dH, c.W, c.n, c.f);
    EXPECT_NEAR(static_cast<double>(Q), static_cast<double>(c.Q), 1e-12);
    // The term at Q is a minimum over Q, and F is minus its slope.
    EXPECT_LT(G(Q), G(Q - 0.01L));
    EXPECT_LT(G(Q), G(Q + 0.01L));
    const ZQCALC1::ihqrun run{c.T, c.dH, c.W, c.n, c.f};
    for (extended q : {0.05L, 0.37L, 0.8L, 0.98L})
      EXPECT_NEAR(static_cast<double>(run.F(q)), static_cast<double>(-(G(q + 1e-6L) - G(q - 1e-6L)) / 2e-6L), 1e-7);
  }
  // With n = 1, f = 1 and W = 0 the exact answer is tanh(dH / 2RT).
  EXPECT_NEAR(static_cast<double>(ZQCALC1::IHQ(1000, 10, 0, 1, 1)), std::tanh(10 / (2 * 0.0083144 * 1000)), 1e-5);
}

TEST(OrderDisorder, HalvingEdges) {
  struct edge {
    const char* what;
    extended dH, W, f, Q;
  };
  // f = 0 leaves F(Q) = (2Q - 1) W + dH, a line.
  const edge edges[] = {
      {"ordered throughout", 200, 0, 1, 0.9999999L},
      {"disordered throughout", -100, 0, 1, 1e-7L},
      {"F(0.5) = 0 still halves once", 0, -0.001L, 0, (0.5L + 1e-7L) / 2},
  };
  for (const edge& e : edges) {
    SCOPED_TRACE(e.what);
    EXPECT_EQ(ZQCALC1::IHQ(1000, e.dH, e.W, 1, e.f), e.Q);
  }
  // So steep that 20 halvings cannot reach |F| < 0.001: the last midpoint,
  // within the bracket's width of the root.
  const extended Q = ZQCALC1::IHQ(1000, 0.3L, -1e6L, 1, 0);
  EXPECT_NEAR(static_cast<double>(Q), 0.5 + 0.3 / 2e6, 1e-6);
  EXPECT_GT(std::fabs(ZQCALC1::ihqrun{1000, 0.3L, -1e6L, 1, 0}.F(Q)), 0.001L);
}

// At equilibrium Q the pressure derivative of the term is that of its
// enthalpy at fixed Q: dV (1 - Q) + WV Q (1 - Q).
TEST(OrderDisorder, PressureDerivative) {
  const extended dH = 10, dV = 0.05L, W = 3, WV = 0.02L, T = 1100, P = 10, h = 1e-3L;
  for (const extended f : {1.0L, -1.0L}) {
    const extended Q = ZQCALC1::IHQ(T, dH + dV * P, W + WV * P, 2, f);
    const extended slope =
        (ZQCALC1::ORDERTERM(P + h, T, dH, dV, W, WV, 2, f) - ZQCALC1::ORDERTERM(P - h, T, dH, dV, W, WV, 2, f)) /
        (2 * h);
    EXPECT_NEAR(static_cast<double>(slope), static_cast<double>(dV * (1 - Q) + WV * Q * (1 - Q)), 2e-4);
  }
}

// The term's S, V and H are its differences over 2e-4 K and 2e-5 kbar, so
// its order parameter must carry no stopping error of the halving, which
// moves with the halvings taken. Expected from the root of F next to the
// halving's answer taken to 40 digits by an own bisection in python3 with
// mpmath, and the term's differences there; the halving's own stopping
// points made the slopes off by up to 1e-4 of themselves at these states.
TEST(OrderDisorder, TermSlopesRestOnTheExactOrder) {
  struct state {
    extended dH, dV, W;
    smallint n;
    extended f, T, P, G, dGdP, dGdT;
  };
  const state states[] = {
      {2.22726L, 0.087045L, -1.81256L, 2, 1, 823.4552L, 4.5826L, -10.86217076714178074L, 0.07072050380188064211L,
       -0.01544666176379823369L},
      {18.2829L, 0.0086107L, 2.00426L, 1, 1, 1063.366L, 9.6959L, -1.75454521790394555L, 0.001695102309268040118L,
       -0.0053481481271491506L},
  };
  for (const state& s : states) {
    SCOPED_TRACE(static_cast<double>(s.T));
    auto term = [&s](extended P, extended T) { return ZQCALC1::ORDERTERM(P, T, s.dH, s.dV, s.W, 0, s.n, s.f); };
    const extended g = term(s.P, s.T);
    EXPECT_TRUE(near(g, s.G, 1e-15L));
    EXPECT_TRUE(near((term(s.P + 2e-5L, s.T) - g) / 2e-5L, s.dGdP, 1e-9L));
    EXPECT_TRUE(near((term(s.P, s.T + 2e-4L) - g) / 2e-4L, s.dGdT, 1e-9L));
  }
}

}  // namespace
