// The modes worked out after the solve, on hand-made phase sets whose
// modes per atom follow from a mass balance done by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "iotestsupport.h"
#include "equilibria/zqnle1.h"
#include "frame/zqglobal_nle.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_solver.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

constexpr extended tol = 1e-6L;

class ModesAfterSolve : public ::testing::Test {
 protected:
  assemblage::tables t;
  bemvector ph{"test ph"};
  eqvector a{"test a"}, b{"test b"};
  bool ok = false;
  std::string what;

  // ol (fo, fa) at x 0.2, opx (en, fs) at x 0.3 and q, out of MgO, FeO, SiO2.
  void divariant() {
    using assemblage::row;
    assemblage::system s;
    s.components = {"MgO", "FeO", "SiO2"};
    s.icomp = {2, 2, 3};
    s.modes = false;
    s.solutions = {assemblage::onesite("ol", axtype::ideal, {"x(ol)"}, {"1 - x(ol)", "x(ol)"},
                                       {row("fo", {2, 0, 1}, 0, 0, 0), row("fa", {0, 2, 1}, 0, 0, 0)}),
                   assemblage::onesite("opx", axtype::ideal, {"x(opx)"}, {"1 - x(opx)", "x(opx)"},
                                       {row("en", {2, 0, 2}, 0, 0, 0), row("fs", {0, 2, 2}, 0, 0, 0)})};
    s.pures = {{row("q", {0, 0, 1}, 0, 0, 0)}};
    assemblage::layout(s);
    X[3] = 0.2L;
    X[4] = 0.3L;
    common(3, {38, 12, 40});
  }

  // fo, en and q out of MgO and SiO2: univariant.
  void univariant(const std::vector<extended>& from, const std::vector<extended>& to, smallint steps) {
    using assemblage::row;
    assemblage::system s;
    s.components = {"MgO", "SiO2"};
    s.icomp = {2, 3};
    s.modes = false;
    s.pures = {{row("fo", {2, 1}, 0, 0, 0)}, {row("en", {2, 2}, 0, 0, 0)}, {row("q", {0, 1}, 0, 0, 0)}};
    assemblage::layout(s);
    common(3, from);
    NCOMP = steps;
    PROP1 = 0;
    PROP2 = 1;
    for (long c = 1; c <= 2; ++c) COMP2[c] = to[static_cast<std::size_t>(c - 1)];
  }

  void common(smallint nph, const std::vector<extended>& bulk) {
    NP = static_cast<smallint>(NPSS + NP0);
    ph.fill(false);
    for (smallint i = 1; i <= NP; ++i) ph[i] = true;
    SU = sutype{};
    SU.nph = nph;
    for (long c = 1; c <= NUVLEFT; ++c) COMP1[c] = bulk[static_cast<std::size_t>(c - 1)];
    NCOMP = 1;
    MODESBYNLE = false;
    MODESAFTERNLE = true;
    NEARSING = false;
    RANKDEFICIT = 0;
  }

  void run() { ZQNLE1::AFTER(ph, ok, what, a, b); }

  void expectrow(smallint r, const std::vector<extended>& modes) {
    SCOPED_TRACE("row " + std::to_string(r));
    for (smallint i = 1; i <= SU.nph; ++i) EXPECT_NEAR(SU.ph[i].mode[r], modes[static_cast<std::size_t>(i - 1)], tol);
  }
};

TEST_F(ModesAfterSolve, DivariantModesPerAtom) {
  divariant();
  run();
  EXPECT_TRUE(ok);
  EXPECT_EQ(what, "????");
  EXPECT_EQ(NXP, 3);
  EXPECT_EQ(SU.nmodeset, 1);
  EXPECT_EQ(SU.firstmodeset, 1);
  EXPECT_EQ(SU.stepstatus[1], 1);
  // ol 15, opx 10, q 5 formula units: 105, 100 and 15 atoms of 220.
  expectrow(1, {105.0L / 220, 100.0L / 220, 15.0L / 220});
  EXPECT_NEAR(a[1], 7, tol);
  EXPECT_NEAR(b[2], 10, tol);
  EXPECT_EQ(a[4], 1);
}

TEST_F(ModesAfterSolve, DivariantVariants) {
  struct row {
    const char* what;
    void (*set)();
    bool ok;
    std::vector<extended> modes;
  };
  const row rows[] = {
      // A chemical potential's phase carries no free component, so it is never
      // a mode phase: the modes of the real phases still sum to 1.
      {"nmu", [] { NMU = 1; }, true, {105.0L / 220, 100.0L / 220, 15.0L / 220}},
      {"outside", [] { COMP1[3] = 10; }, false, {0, 0, 0}},
      {"freedom 3", [] { RANKDEFICIT = -1; }, false, {0, 0, 0}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.what);
    divariant();
    NMU = 0;
    r.set();
    for (smallint i = 1; i <= 3; ++i) SU.ph[i].mode[1] = 9;  // an earlier point's row
    run();
    EXPECT_EQ(ok, r.ok);
    if (r.ok) expectrow(1, r.modes);
    else EXPECT_EQ(SU.nmodeset, 0);
  }
}

TEST_F(ModesAfterSolve, UnivariantEndsAlongABulkRange) {
  univariant({60, 40}, {50, 50}, 3);
  run();
  EXPECT_TRUE(ok);
  EXPECT_NE(what, "????");
  EXPECT_EQ(SU.nmodeset, 6);
  EXPECT_EQ(SU.firstmodeset, 1);
  const std::vector<std::vector<extended>> want = {
      {0.875L, 0, 0.125L}, {7.0L / 12, 5.0L / 12, 0}, {11.0L / 14, 0, 3.0L / 14},
      {2.0L / 7, 5.0L / 7, 0}, {0.7L, 0, 0.3L}, {0, 1, 0}};
  for (smallint r = 1; r <= 6; ++r) expectrow(r, want[static_cast<std::size_t>(r - 1)]);
  EXPECT_NEAR(SU.prop[2], 0.5L, tol);
  for (smallint k = 1; k <= 3; ++k) EXPECT_EQ(SU.stepstatus[k], 1);
}

TEST_F(ModesAfterSolve, UnivariantUnseenAndMendedFaults) {
  univariant({70, 30}, {70, 30}, 1);
  run();
  EXPECT_FALSE(ok);
  EXPECT_EQ(SU.nmodeset, 0);
  // A near-singular solve forms no reaction: nothing is seen, whatever the
  // reaction of an earlier point said.
  univariant({60, 40}, {60, 40}, 1);
  NEARSING = true;
  run();
  EXPECT_FALSE(ok);
  EXPECT_EQ(what, "####");
  EXPECT_EQ(SU.nmodeset, 0);
  // Each end leaves its left-out phase at 0, whatever an earlier point left.
  univariant({66, 34}, {66, 34}, 1);
  for (smallint r = 1; r <= 2; ++r) SU.ph[1].mode[r] = SU.ph[2].mode[r] = SU.ph[3].mode[r] = 9;
  run();
  EXPECT_TRUE(ok);
  EXPECT_EQ(SU.nmodeset, 2);
  expectrow(1, {33 * 7 / 234.0L, 0, 1 * 3 / 234.0L});
  expectrow(2, {224 / 234.0L, 10 / 234.0L, 0});
}

TEST_F(ModesAfterSolve, Failures) {
  divariant();
  BCOMPS[2] = false;  // NUVLEFT still counts it
  EXPECT_EQ(fatal([&] { run(); }), "makec: nuvleft mismatch");
  divariant();
  NMU = 1;
  MUNAME[1] = "q";  // q takes no part in the normalising constants
  testsupport::Terminal term;
  EXPECT_EQ(fatal([&] { run(); }), "calcmodesafternle: dimensions do not match");
  EXPECT_EQ(term.text().substr(0, 9), "   3   2\n");
  NMU = 0;
  MUNAME[1] = "";
  univariant({60, 40}, {50, 50}, 102);
  EXPECT_EQ(fatal([&] { run(); }), "modes after nle: too many");
}

}  // namespace
