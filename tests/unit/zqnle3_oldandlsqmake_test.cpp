// Made end-members of the older data set and of the least-squares mode:
// complete rows built from their constituents' rows, checked through their
// Gibbs energies against sums worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "model/zqcalc1.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

struct constituent {
  std::string name;
  std::vector<std::pair<int, extended>> slots;
};

class OlderAndLsqMake : public ::testing::Test {
 protected:
  void SetUp() override {
    MAINLOOP = 2;  // no a-x listing
    CALCMODE = calcmodetype::phasecalc;
    WITHOLDSET = false;
  }
  void TearDown() override {
    WITHOLDSET = false;
    CALCMODE = calcmodetype::phasecalc;
  }
  // The data-set rows, one component, no covariance.
  static void dataset(const std::vector<constituent>& ems) {
    C->fill(0);
    TD->fill(0);
    COV->fill(0);
    NAME.fill("");
    NUV = NU = 1;
    COMPNAME[1] = "X";
    COMPDIV[1] = 1;
    NCV = static_cast<smallint>(ems.size());
    for (long j = 1; j <= NCV; ++j) {
      NAME[j] = ems[static_cast<std::size_t>(j - 1)].name;
      (*C)(1, j) = 1;
      for (const auto& [slot, v] : ems[static_cast<std::size_t>(j - 1)].slots) (*TD)(j, slot) = v;
    }
    NPSS = NP0 = 0;
  }
  // A solution phase of one made end-member.
  static emtype& made(const std::vector<std::string>& names, const std::vector<int>& coefs, int div, extended a,
                      extended b, extended c) {
    ptype1& p = (*PREC1)[++NPSS];
    p = ptype1{};
    p.name = "ss";
    emtype& em = p.em[++p.nprop];
    em = emtype{};
    em.name = "m";
    em.nmake = static_cast<smallint>(names.size());
    em.makediv = static_cast<smallint>(div);
    for (long m = 1; m <= em.nmake; ++m) {
      em.makename[m] = names[static_cast<std::size_t>(m - 1)];
      em.makecoef[m] = static_cast<smallint>(coefs[static_cast<std::size_t>(m - 1)]);
      em.makeaction[m] = makeactiontype::notspecified;
    }
    em.dqfa = a, em.dqfb = b, em.dqfc = c;
    return em;
  }
  // G of a row at P, T, as the data-set rows of the calculation are
  // evaluated (row 300 is free in these tests).
  static extended gof(const tdvector& td, extended P, extended T) {
    const calcmodetype mode = CALCMODE;
    CALCMODE = calcmodetype::phasecalc;
    for (int s = 1; s <= maxtd; ++s) (*TD)(300, s) = td[s];
    extended G = 0;
    ZQCALC1::GEM(300, P, T, G);
    CALCMODE = mode;
    return G;
  }
  assemblage::tables tables;
};

// Constant heat capacities and volumes: G = H + ca (T - Tr) - T (S + ca
// ln(T/Tr)) + V (P - Pr).
const constituent A{"A", {{TDSLOT::H, -1000}, {TDSLOT::S, 0.1L}, {TDSLOT::V, 2}, {TDSLOT::CPA, 0.2L}}};
const constituent B{"B", {{TDSLOT::H, -500}, {TDSLOT::S, 0.05L}, {TDSLOT::V, 1}, {TDSLOT::CPA, 0.1L}}};

TEST_F(OlderAndLsqMake, OlderSetRowIsTheWeightedSumWithItsCorrection) {
  WITHOLDSET = true;
  dataset({A, B});
  const emtype& m = made({"A", "B"}, {1, 3}, 2, 2, -0.001L, 0.01L);
  ZQNLE3::MAKEEMTD();
  // 0.5 G(A) + 1.5 G(B) + 2 - 0.001 T + 0.01 (P - Pr) at 10 kbar, 800 K.
  EXPECT_NEAR(gof(m.td, 10, 800), -1395.6430124197623L, 1e-9L);
  EXPECT_EQ(m.td[TDSLOT::K0], 10);
  EXPECT_EQ(m.td[TDSLOT::KP], 0);
  EXPECT_EQ(m.td[TDSLOT::KPP], 0);  // no constituent has a modulus
  EXPECT_EQ(m.td[TDSLOT::ALPHA0], 0);
  EXPECT_EQ(m.nmake, 2);
}

TEST_F(OlderAndLsqMake, OlderSetLandauAndVolumeTerms) {
  WITHOLDSET = true;
  // C: Landau with Tcrit 800 K; moduli (older slot 11) on both.
  dataset({{"A", {{TDSLOT::H, -1000}, {TDSLOT::S, 0.1L}, {TDSLOT::V, 2}, {TDSLOT::ALPHA0, 3e-5L},
                  {TDSLOT::KPP, 1000}, {TDSLOT::THETA, 4}, {TDSLOT::DKDT, -0.2L}, {TDSLOT::AQ, 0.5L},
                  {TDSLOT::CODE, 2}}},
           {"C", {{TDSLOT::H, -800}, {TDSLOT::S, 0.2L}, {TDSLOT::V, 3}, {TDSLOT::ALPHA0, 1e-5L},
                  {TDSLOT::KPP, 500}, {TDSLOT::THETA, 6}, {TDSLOT::TCRIT, 800}, {TDSLOT::SMAX, 0.01L},
                  {TDSLOT::VMAX, 0.05L}, {TDSLOT::AQ, 0.25L}}}});
  const emtype& m = made({"A", "C"}, {1, 1}, 1, 0, 0, 0);
  ZQNLE3::MAKEEMTD();
  // Q = sqrt(1 - 298.15/800); H, S, V of the sum plus coef x the Landau terms.
  EXPECT_NEAR(m.td[TDSLOT::H], -1794.9886902742096L, 1e-10L);
  EXPECT_NEAR(m.td[TDSLOT::S], 0.3079203061809504L, 1e-13L);
  EXPECT_NEAR(m.td[TDSLOT::V], 5.0396015309047515L, 1e-13L);
  const extended V = m.td[TDSLOT::V];
  EXPECT_NEAR(m.td[TDSLOT::ALPHA0], (2 * 3e-5L + 3 * 1e-5L) / V, 1e-18L);
  EXPECT_NEAR(m.td[TDSLOT::KPP], V / (2.0L / 1000 + 3.0L / 500), 1e-9L);
  EXPECT_EQ(m.td[TDSLOT::THETA], 4);   // from the first constituent
  EXPECT_EQ(m.td[TDSLOT::DKDT], -0.2L);
  EXPECT_EQ(m.td[TDSLOT::AQ], 0.75L);
  EXPECT_EQ(m.td[TDSLOT::CODE], 2);
  for (int s : {TDSLOT::TCRIT, TDSLOT::SMAX, TDSLOT::VMAX}) EXPECT_EQ(m.td[s], 0) << s;

  // A last coefficient of 0 is refused.
  dataset({A, B});
  made({"A", "B"}, {1, 0}, 1, 0, 0, 0);
  EXPECT_EQ(fatal([] { ZQNLE3::MAKEEMTD(); }), "makeemtd: coeff=0 no longer implemented");
}

// The older set takes a DQF on an end-member that is not made, of a
// solution phase or a pure phase: its G is the data-set end-member's plus
// a + bT + c(P - Pr), here with a volume of no modulus.
TEST_F(OlderAndLsqMake, OlderSetDqfOnAnEndMemberNotMade) {
  WITHOLDSET = true;
  dataset({A, B});
  ptype1& p = (*PREC1)[++NPSS];
  p = ptype1{};
  p.name = "ss";
  emtype& a = p.em[++p.nprop];
  a = emtype{};
  a.name = "A";
  a.dqfa = 2, a.dqfb = -0.001L, a.dqfc = 0.01L;
  ptype0& q = (*PREC0)[++NP0];
  q = ptype0{};
  q.name = "q";
  q.emname = "B";
  q.dqfa = 1.5L, q.dqfb = 0.002L, q.dqfc = -0.02L;
  ZQNLE3::MAKEEMTD();
  EXPECT_NEAR(gof(a.td, 10, 800), -1116.2544119358100L, 1e-9L);
  EXPECT_NEAR(gof(q.td, 10, 800), -555.87718096790499L, 1e-9L);
  // Without the DQF the rows are the data set's, bit for bit.
  a.dqfa = a.dqfb = a.dqfc = 0;
  q.dqfa = q.dqfb = q.dqfc = 0;
  ZQNLE3::MAKEEMTD();
  for (int s = 1; s <= TDSLOT::BWF; ++s) {
    EXPECT_EQ(a.td[s], (*TD)(1, s)) << s;
    EXPECT_EQ(q.td[s], (*TD)(2, s)) << s;
  }
  // The newer set reads no such DQF; a term left in a record stays unused.
  WITHOLDSET = false;
  a.dqfa = 2;
  ZQNLE3::MAKEEMTD();
  EXPECT_EQ(a.td[TDSLOT::H], -1000);
}

// With expansion and modulus the DQF, volume term included, moves G as it
// moves the G of an end-member made of that one end-member alone.
TEST_F(OlderAndLsqMake, OlderSetDqfNotMadeAsOnTheOneConstituentMake) {
  WITHOLDSET = true;
  const constituent D{"D", {{TDSLOT::H, -900}, {TDSLOT::S, 0.08L}, {TDSLOT::V, 2.5L}, {TDSLOT::CPA, 0.15L},
                            {TDSLOT::CPB, 2e-6L}, {TDSLOT::ALPHA0, 3e-5L}, {TDSLOT::K0, 10},
                            {TDSLOT::KPP, 1200}, {TDSLOT::THETA, 4}, {TDSLOT::DKDT, -0.25L}}};
  for (const extended c : {0.0L, 0.05L, -0.03L}) {
    SCOPED_TRACE(static_cast<double>(c));
    dataset({D});
    const emtype& m = made({"D"}, {1}, 1, 1.5L, 0.003L, c);
    ptype1& p = (*PREC1)[NPSS];
    emtype& d = p.em[++p.nprop];
    d = emtype{};
    d.name = "D";
    d.dqfa = 1.5L, d.dqfb = 0.003L, d.dqfc = c;
    ZQNLE3::MAKEEMTD();
    for (const auto& [P, T] : {std::pair<extended, extended>{10, 800}, {25, 1200}, {0.5L, 500}})
      EXPECT_NEAR(gof(d.td, P, T), gof(m.td, P, T), 1e-9L) << static_cast<double>(P);
  }
}

TEST_F(OlderAndLsqMake, LeastSquaresRowScalesOneConstituent) {
  CALCMODE = calcmodetype::lsqdscalc;
  struct Case {
    const char* what;
    extended code;
    int lastscaled;  // slots 1..lastscaled scaled, the rest to 13 copied
  };
  for (const Case& c : {Case{"ordinary row", 0, TDSLOT::CPD}, Case{"pressure-explicit row", 3, TDSLOT::CPB}}) {
    std::vector<std::pair<int, extended>> slots;
    for (int s = 1; s <= TDSLOT::DKDT; ++s) slots.push_back({s, static_cast<extended>(s) + 0.5L});
    slots.push_back({TDSLOT::CODE, c.code});
    dataset({{"A", slots}});
    const emtype& m = made({"A"}, {3}, 2, 7, 7, 7);  // the DQF terms are not used here
    ZQNLE3::MAKEEMTD();
    for (int s = 1; s <= TDSLOT::DKDT; ++s)
      EXPECT_EQ(m.td[s], (s <= c.lastscaled ? 1.5L : 1) * (static_cast<extended>(s) + 0.5L)) << c.what << " slot " << s;
    EXPECT_EQ(m.td[TDSLOT::CODE], c.code) << c.what;
  }
  // G of a row with constant heat capacity and volume scales with it.
  dataset({A});
  const emtype& m = made({"A"}, {3}, 2, 7, 7, 7);
  ZQNLE3::MAKEEMTD();
  EXPECT_NEAR(gof(m.td, 10, 800), -1676.3316029037148L, 1e-9L);

  struct Bad {
    std::vector<constituent> ems;
    std::vector<std::string> names;
    std::string fault;
  };
  const Bad bad[] = {
      {{A, B}, {"A", "B"}, "lsqdsmake: od make not implemented yet"},
      {{{"L", {{TDSLOT::SMAX, 0.01L}}}}, {"L"}, "makeemtd: wrong type of end-member to make"},
      {{{"Q", {{TDSLOT::AQ, 1}}}}, {"Q"}, "makeemtd: wrong type of end-member to make"},
      {{{"W", {{TDSLOT::BWN, 1}}}}, {"W"}, "makeemtd: wrong type of end-member to make"},
  };
  for (const Bad& b : bad) {
    dataset(b.ems);
    made(b.names, std::vector<int>(b.names.size(), 1), 1, 0, 0, 0);
    testsupport::Terminal term;
    EXPECT_EQ(fatal([] { ZQNLE3::MAKEEMTD(); }), b.fault);
  }
}

}  // namespace
