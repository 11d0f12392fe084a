// Tests of the activities of solution phases: derivative terms, closed
// forms, Gibbs-Duhem, partial molar excess terms, finite-difference
// derivatives and the refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "frame/constants.h"
#include "zqcalc2_testsupport.h"

using namespace ZQGLOBAL;
using namespace calctest;

namespace {

constexpr extended Rg = CONST::RGAS;

// RT ln of the activity of end-member g after a plain evaluation at x.
extended rtlna(const eqvector& x, long g) {
  derivs none;
  none.calca(x, false, false);
  return Rg * x[2] * std::log(ACTIVITY[g]);
}

// RT ln gamma of end-member e of phase record k after the last evaluation.
extended rtlngamma(long k, long e, extended T) {
  return Rg * T * std::log(SU.ph[k].gamma[e]);
}

// ---------------------------------------------------------------- a-x expressions

TEST(SubsDiffTerm, WorkedExamples) {
  eqvector x;
  x[3] = 0.3L;
  x[4] = 0.7L;
  x[11] = 0.3L;
  x[12] = 0.7L;
  const termtype square = term(1, {factor(0, 1, {{1, 1, 1}}), factor(0, 1, {{1, 1, 1}})});
  const termtype shifted = term(3, {factor(1, 2, {{1, 1, 2}})});
  termtype none = shifted;
  none.terms[1].coef = 0;
  // One factor naming variable 1 in six entries, times (1 + y1): more
  // occurrences than there are factors.
  const termtype repeated = term(
      1, {factor(0, 1, {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}}), factor(1, 1, {{1, 1, 1}})});
  struct row {
    const char* what;
    termtype t;
    smallint v, offset;
    extended want;
  };
  const std::vector<row> rows = {
      {"y1 squared by y1", square, 1, 3, 2 * 0.3L},
      {"y1 squared by y2", square, 2, 3, 0},
      {"3 (1/2 + y2) by y2", shifted, 2, 3, 3},
      {"matched before the offset", square, 1, 11, 2 * 0.3L},
      {"coefficient 0", none, 2, 3, 0},
      {"no terms", termtype{}, 1, 3, 0},
      {"six occurrences in one factor", repeated, 1, 3, 6 * (1 + 0.3L) + 6 * 0.3L},
  };
  for (const row& r : rows) EXPECT_NEAR(ZQCALC2::SUBSDIFFTERM(r.t, r.v, x, r.offset), r.want, 1e-15L) << r.what;
}

TEST(SubsDiffTerm, RandomPolynomialsMatchDifferences) {
  std::mt19937 rng(4711);
  std::uniform_int_distribution<int> small(-5, 5), den(1, 7), var(1, 3), nf(0, 4), ne(0, 5), nt(1, 6);
  std::uniform_real_distribution<double> coef(-3, 3), y(-1, 1);
  const smallint offset = 7;
  for (int trial = 0; trial < 200; ++trial) {
    termtype t;
    t.nterms = static_cast<smallint>(nt(rng));
    for (long i = 1; i <= t.nterms; ++i) {
      sxtermtype& st = t.terms[i];
      st.coef = trial % 5 == 0 && i == 1 ? 0 : coef(rng);
      st.nfactors = static_cast<smallint>(nf(rng));
      for (long f = 1; f <= st.nfactors; ++f) {
        std::vector<part> parts;
        const int m = ne(rng);
        for (int k = 0; k < m; ++k)
          parts.push_back(
              {static_cast<smallint>(small(rng)), static_cast<smallint>(den(rng)), static_cast<smallint>(var(rng))});
        st.factors[f] = factor(static_cast<smallint>(small(rng)), static_cast<smallint>(den(rng)), parts);
      }
    }
    eqvector x;
    for (long v = 1; v <= 3; ++v) x[offset + v - 1] = y(rng);
    for (smallint v = 1; v <= 3; ++v) {
      const extended h = 1e-5L;
      eqvector up = x, down = x;
      up[offset + v - 1] += h;
      down[offset + v - 1] -= h;
      const extended fd = (ZQUTE1::SUBSTERM(t, up, offset) - ZQUTE1::SUBSTERM(t, down, offset)) / (2 * h);
      const extended an = ZQCALC2::SUBSDIFFTERM(t, v, x, offset);
      EXPECT_NEAR(an, fd, 1e-8L * (1 + std::fabs(an))) << "trial " << trial << " variable " << v;
    }
  }
}

// ---------------------------------------------------------------- closed forms

class Activities : public CalcTest {};

TEST_F(Activities, BinaryClosedForms) {
  // Symmetric: RT ln gamma1 = W p2^2, RT ln gamma2 = W p1^2.
  ptype1& s = onesite(1, 2, axtype::symmetric);
  pairs(s, {12.5L});
  place(1, 1, 3);
  for (extended p2 : {0.1L, 0.5L, 0.85L}) {
    eqvector x = point(5, 900);
    x[3] = p2;
    rtlna(x, 1);
    EXPECT_NEAR(rtlngamma(1, 1, 900), 12.5L * p2 * p2, 1e-12L);
    EXPECT_NEAR(rtlngamma(1, 2, 900), 12.5L * (1 - p2) * (1 - p2), 1e-12L);
    EXPECT_NEAR(ACTIVITY[2], p2 * SU.ph[1].gamma[2], 1e-15L);
    EXPECT_EQ(SU.ph[1].p[2], p2);
  }

  // van Laar, W = 10, alpha 1 and 2, p1 = 0.3.
  ptype1& v = onesite(1, 2, axtype::vanlaar);
  pairs(v, {10});
  v.alphaa[2] = 2;
  eqvector x = point(5, 1000);
  x[3] = 0.7L;
  rtlna(x, 1);
  const extended g1 = rtlngamma(1, 1, 1000), g2 = rtlngamma(1, 2, 1000);
  EXPECT_NEAR(g1, 4.521337947L, 1e-9L);
  EXPECT_NEAR(g2, 0.415224913L, 1e-9L);
  const extended phi1 = 0.3L / (0.3L + 2 * 0.7L);
  EXPECT_NEAR(phi1, 0.176470588L, 1e-9L);
  EXPECT_NEAR(0.3L * g1 + 0.7L * g2, 1.647058824L, 1e-9L);
  EXPECT_NEAR(0.3L * g1 + 0.7L * g2, phi1 * (1 - phi1) * 10 * 2 * 1.7L / 3, 1e-12L);
}

// ---------------------------------------------------------------- identities

struct nonideal {
  const char* what;
  axtype model;
  long n;
  std::vector<extended> w, wt, wp, alpha;
};

const std::vector<nonideal> models = {
    {"symmetric 3", axtype::symmetric, 3, {12, -4, 7.5L}, {0.01L, 0, -0.003L}, {0.2L, -0.1L, 0}, {}},
    {"symmetric 4",
     axtype::symmetric,
     4,
     {12, -4, 7.5L, 20, 3, -9},
     {0.01L, 0, -0.003L, 0, 0.002L, 0},
     {0.2L, -0.1L, 0, 0.05L, 0, 0},
     {}},
    {"van Laar 3", axtype::vanlaar, 3, {12, -4, 7.5L}, {0.01L, 0, -0.003L}, {0.2L, -0.1L, 0}, {1, 0.6L, 1.8L}},
    {"van Laar 4",
     axtype::vanlaar,
     4,
     {12, -4, 7.5L, 20, 3, -9},
     {0.01L, 0, -0.003L, 0, 0.002L, 0},
     {0.2L, -0.1L, 0, 0.05L, 0, 0},
     {1, 0.6L, 1.8L, 2.4L}},
};

ptype1& build(const nonideal& m, long index) {
  ptype1& p = onesite(index, m.n, m.model);
  pairs(p, m.w, m.wt, m.wp);
  for (std::size_t e = 0; e < m.alpha.size(); ++e) {
    const long i = static_cast<long>(e + 1);
    p.alphaa[i] = m.alpha[e];
    p.alphab[i] = 0.0004L * static_cast<extended>(i);  // sizes that move with T and P
    p.alphac[i] = -0.002L * static_cast<extended>(i);
  }
  return p;
}

TEST_F(Activities, ExcessTermsObeyGibbsDuhemAndArePartialMolar) {
  std::mt19937 rng(99);
  const extended P = 8, T = 950;
  for (const nonideal& m : models) {
    ptype1& p = build(m, 1);
    for (long e = 1; e <= m.n; ++e) p.em[e].nsfterm = 0;  // a_id = 1: drtlnadx is the excess part alone
    place(1, 1, 3);
    for (int trial = 0; trial < 5; ++trial) {
      const std::vector<extended> comp = composition(rng, m.n);
      eqvector x = point(P, T);
      setproportions(x, 3, comp);
      derivs d;
      d.fill(0);
      d.calca(x, false, true);
      std::vector<extended> lngamma;
      for (long e = 1; e <= m.n; ++e) lngamma.push_back(rtlngamma(1, e, T));
      for (long v = 1; v < m.n; ++v) {
        extended gd = 0;
        for (long e = 1; e <= m.n; ++e) gd += comp[static_cast<std::size_t>(e - 1)] * (*d.dx)(e, 3 + v - 1);
        EXPECT_NEAR(gd, 0, 1e-10L) << m.what << " variable " << v;
      }
      // n Gex as a function of the amounts; its slope by n_e is RT ln gamma_e.
      const auto nGex = [&](std::vector<extended> amounts) {
        extended N = 0;
        for (extended a : amounts) N += a;
        std::vector<extended> q;
        for (extended a : amounts) q.push_back(a / N);
        eqvector y = point(P, T);
        setproportions(y, 3, q);
        rtlna(y, 1);
        extended g = 0;
        for (long e = 1; e <= m.n; ++e) g += q[static_cast<std::size_t>(e - 1)] * rtlngamma(1, e, T);
        return N * g;
      };
      for (long e = 1; e <= m.n; ++e) {
        const extended h = 1e-5L;
        std::vector<extended> up = comp, down = comp;
        up[static_cast<std::size_t>(e - 1)] += h;
        down[static_cast<std::size_t>(e - 1)] -= h;
        const extended fd = (nGex(up) - nGex(down)) / (2 * h);
        EXPECT_NEAR(fd, lngamma[static_cast<std::size_t>(e - 1)], 1e-7L) << m.what << " end-member " << e;
      }
    }
  }
}

// Two sites: A (Mg, Fe), multiplicity 1, and B (Mg, Fe), entering with the
// power 3/2. End-members Mg-Mg, Fe-Fe and Fe-Mg; variables p2 and p3.
ptype1& twosite(long index) {
  ptype1& p = onesite(index, 3, axtype::ideal);
  p.nsf = 4;
  p.sf[1] = p.prop[1];                                        // Mg on A = p1
  p.sf[2] = term(1, {factor(0, 1, {{1, 1, 1}, {1, 1, 2}})});  // Fe on A = p2 + p3
  p.sf[3] = term(1, {factor(1, 1, {{-1, 1, 1}})});            // Mg on B = 1 - p2
  p.sf[4] = term(1, {factor(0, 1, {{1, 1, 1}})});             // Fe on B = p2
  const smallint on[4][2] = {{1, 3}, {2, 4}, {2, 3}};
  for (long e = 1; e <= 3; ++e) {
    emtype& em = p.em[e];
    em.nsfterm = 2;
    em.sfterm[1] = sftermtype{on[e - 1][0], 1, 1};
    em.sfterm[2] = sftermtype{on[e - 1][1], 3, 2};
  }
  return p;
}

TEST_F(Activities, ConsistentTwoSiteIdealPhaseObeysGibbsDuhem) {
  twosite(1);
  place(1, 1, 3);
  std::mt19937 rng(5);
  for (int trial = 0; trial < 10; ++trial) {
    const std::vector<extended> comp = composition(rng, 3);
    eqvector x = point(3, 700);
    setproportions(x, 3, comp);
    derivs d;
    d.fill(0);
    d.calca(x, true, true);
    for (long v = 1; v <= 2; ++v) {
      extended gd = 0;
      for (long e = 1; e <= 3; ++e) gd += comp[static_cast<std::size_t>(e - 1)] * (*d.dx)(e, 3 + v - 1) / (Rg * 700);
      EXPECT_NEAR(gd, 0, 1e-14L);
    }
    for (long e = 1; e <= 3; ++e) {
      EXPECT_EQ(d.dp[e], 0);
      EXPECT_NEAR(d.dt[e], Rg * std::log(ACTIVITY[e]), 1e-18L);
    }
  }
}

// Every analytic derivative against central differences of the activities,
// for three phases side by side and a pure phase after them.
TEST_F(Activities, DerivativesMatchCentralDifferences) {
  twosite(1);
  build(models[1], 2);  // symmetric, 4 end-members
  build(models[2], 3);  // van Laar, 3 end-members
  place(1, 1, 3);
  place(2, 4, 5);
  place(3, 8, 8);
  NCV = 11;  // a pure phase
  std::mt19937 rng(17);
  eqvector x = point(12, 1100);
  setproportions(x, 3, composition(rng, 3));
  setproportions(x, 5, composition(rng, 4));
  setproportions(x, 8, composition(rng, 3));
  derivs d;
  const extended sentinel = -777;
  d.fill(sentinel);
  // The pure phase's fixed activity and its sd, as the run loop sets them,
  // and stale values in a solution phase's slots.
  ACTIVITY[11] = 0.75L;
  SDACTIVITY[11] = 0.05L;
  SDACTIVITY[2] = 0.3L;
  d.calca(x, true, true);
  for (long g = 1; g <= 10; ++g) {
    const long phase = g <= 3 ? 1 : g <= 7 ? 2 : 3;
    const long first = phase == 1 ? 3 : phase == 2 ? 5 : 8;
    const long last = phase == 1 ? 4 : phase == 2 ? 7 : 9;
    for (long c = 1; c <= maxeq; ++c) {
      const extended an = (*d.dx)(g, c);
      if (c < first || c > last) {
        EXPECT_EQ(an, sentinel) << "row " << g << " column " << c << " belongs to no variable of its phase";
        continue;
      }
      const extended h = 1e-6L;
      eqvector up = x, down = x;
      up[c] += h;
      down[c] -= h;
      const extended fd = (rtlna(up, g) - rtlna(down, g)) / (2 * h);
      EXPECT_NEAR(an, fd, 1e-7L * (1 + std::fabs(an))) << "d/dx row " << g << " column " << c;
    }
    for (long k : {1L, 2L}) {
      const extended h = k == 1 ? 1e-4L : 1e-3L;
      eqvector up = x, down = x;
      up[k] += h;
      down[k] -= h;
      const extended fd = (rtlna(up, g) - rtlna(down, g)) / (2 * h);
      const extended an = k == 1 ? d.dp[g] : d.dt[g];
      EXPECT_NEAR(an, fd, 1e-7L * (1 + std::fabs(an))) << (k == 1 ? "d/dP" : "d/dT") << " row " << g;
    }
  }
  EXPECT_EQ(d.dp[11], sentinel);
  EXPECT_EQ(d.dt[11], sentinel);
  for (long c = 1; c <= maxeq; ++c) EXPECT_EQ((*d.dx)(11, c), sentinel);
  EXPECT_EQ(ACTIVITY[11], 0.75L);
  EXPECT_EQ(SDACTIVITY[11], 0.05L);
  EXPECT_EQ(SDACTIVITY[2], 0);

  // With both switches off nothing of the three arrays is written.
  derivs off;
  off.fill(sentinel);
  off.calca(x, false, false);
  for (long g = 1; g <= maxem; ++g) {
    ASSERT_EQ(off.dp[g], sentinel);
    ASSERT_EQ(off.dt[g], sentinel);
  }
  for (long g = 1; g <= 11; ++g)
    for (long c = 1; c <= maxeq; ++c) ASSERT_EQ((*off.dx)(g, c), sentinel);
}

// ---------------------------------------------------------------- refusals

TEST_F(Activities, ZeroSiteFractionInAnIdealTermStopsWithAReport) {
  ptype1& p = onesite(1, 2, axtype::ideal);
  p.name = "ol";
  p.nsf = 3;
  p.sf[3] = term(1, {factor(0, 1, {{1, 1, 1}})});  // watched by no term
  p.sfname[3] = "xUnused";
  place(1, 1, 3);
  eqvector x = point(5, 900);

  // x = 1: sf1 = 0 is used by end-member 1.
  x[3] = 1;
  testsupport::Terminal screen;
  const std::string how = testsupport::fatal([&] { rtlna(x, 1); });
  EXPECT_EQ(how, "calca: negative sf term");
  const std::string want = std::string("\n\n") + "     " + std::string(5, ' ') + "y1(ph1)\n" +  //
                           "x =  " + "     1.00000\n" +                                         //
                           "\n     " + std::string(10, ' ') + "x1" + std::string(10, ' ') + "x2" + std::string(5, ' ') +
                           "xUnused\n" +  //
                           "sf = " + std::string(11, ' ') + "0     1.00000     1.00000\n" +
                           "\nphase = ol, end-member = e1, tmf term no = 1, sf term no = 1, sf = 0\n" +
                           "\nsorry - try changing starting guesses!\n";
  EXPECT_NE(screen.text().find(want), std::string::npos) << screen.text();

  // A zero site fraction that no ideal-mixing term uses is accepted.
  x[3] = 0.5L;
  p.sf[3] = term(0, {});
  EXPECT_EQ(testsupport::fatal([&] { rtlna(x, 1); }), "");
}

TEST_F(Activities, OtherRefusals) {
  ptype1& p = onesite(1, 2, axtype::symmetric);
  pairs(p, {5});
  place(1, 1, 3);
  eqvector x = point(5, 900);
  x[3] = 0.4L;
  p.em[2].norm = 0;
  EXPECT_EQ(testsupport::fatal([&] { rtlna(x, 1); }), "calca: ln <= 0");
  p.em[2].norm = 1;

  // An aqueous species paired with the solvent has no symmetric form.
  p.isaq = true;
  p.em[2].td[TDSLOT::AQ] = 1;
  EXPECT_EQ(testsupport::fatal([&] { rtlna(x, 1); }), "calca: symmetric aq??");

  // A size at or below 0 at the state stops, naming it.
  ptype1& v = onesite(1, 2, axtype::vanlaar);
  pairs(v, {5});
  v.alphaa[2] = -1;
  x[3] = 0.5L;
  EXPECT_EQ(testsupport::fatal([&] { rtlna(x, 1); }).rfind("calca: van Laar size of e2 in ph1 = -1.0000 at 5.0 kbar", 0),
            0u);

  // Sizes whose weighted sum is 0 lie outside the van Laar model: activity 0,
  // no derivatives (sizes 2 and 1, proportions -1 and 2).
  v.alphaa[1] = 2;
  v.alphaa[2] = 1;
  x[3] = 2;
  derivs d;
  d.fill(-1);
  d.calca(x, true, true);
  EXPECT_EQ(ACTIVITY[1], 0);
  EXPECT_EQ(ACTIVITY[2], 0);
  EXPECT_EQ(d.dt[1], -1);
  EXPECT_EQ((*d.dx)(2, 3), -1);
}

}  // namespace
