// What the solve of an experiment given with its phases keeps at each
// bracket: the P or T it calculated, and the marks of a value not
// calculated (P 0, T 273.15 K) for what it held at the bracket's own.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "lsq/lsqds.h"
#include "lsqds_testsupport.h"

using namespace ZQGLOBAL;
using testsupport::fatal;

namespace {

std::string fixture(const std::string& path) {
  std::ifstream f(std::string(SOLVARINTH_FIXTURES) + "/" + path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

class LeastSquaresSolvedValues : public lsqtest::Mode9Test {
 protected:
  // ss (ideal binary ma-mb) + pa + pb of the lsqpsolve fixture, enthalpies
  // as read.
  void SetUp() override { start(fixture("lsqpsolve/ds-empv.txt"), fixture("lsq/ds-axgr.txt")); }
  std::string read(const std::string& xp) {
    dir.write("ds-xpt.txt", "0\n0\n" + xp + "0\n");
    return fatal(LSQDS::READXY);
  }
};

// The equilibria, solved apart with mpmath (findroot of exp(dGa/RT) +
// exp(dGb/RT) = 1, G = H - T S + (P - 0.001) V, 30 digits): P 5.146022
// kbar at 590 C, T 623.5630 C at 8 kbar (x 0.397615 and 0.405140); the
// same with x(ss) given the range 0.2-0.9, which the solve scales x by.
TEST_F(LeastSquaresSolvedValues, OnlyTheSolvedVariableIsKept) {
  for (const char* range : {"", " range 0.2 0.9"}) {
    SCOPED_TRACE(range);
    std::string ax = fixture("lsq/ds-axgr.txt");
    start(fixture("lsqpsolve/ds-empv.txt"), ax.replace(ax.find("x(ss) 0.5") + 9, 0, range));
    ASSERT_EQ(read("1 ss pa pb univariant unknowncomps\n2 1 pv\nma pa\n -1 1\nmb pb\n -1 1\n"
                   "1 4 590 0 0.4\n0 6 590 0 0.4\n0 8 610 0 0.4\n-1\n"),
              "");
    LSQDS::SAMEPTX(1);
    LSQDS::FILLPREC(1);
    ASSERT_EQ(fatal([] { LSQDS::CALCASS(1, 2, false); }), "");
    for (smallint r = 1; r <= 2; ++r) {
      SCOPED_TRACE(r);
      const xprec& x = LSQDS::XP(r);
      // The P reversal: P solved at 590 C, no T calculated; the composition
      // goes to its half of code 0.
      EXPECT_NEAR((double)x.br[1].pcalc, 5.146022, 2e-5);
      EXPECT_EQ((double)x.br[1].tcalc, (double)CONST::KELVIN);
      EXPECT_NEAR((double)x.br[2].xyz[1], 0.397615, 2e-6);
      // T solved at 8 kbar, no P calculated.
      EXPECT_NEAR((double)(x.br[3].tcalc - CONST::KELVIN), 623.5630, 2e-3);
      EXPECT_EQ((double)x.br[3].pcalc, 0.0);
      EXPECT_NEAR((double)x.br[3].xyz[1], 0.405140, 2e-6);
    }
  }
  // Compositions alone at the bracket's P and T: neither is calculated.
  SetUp();
  ASSERT_EQ(read("1 ss pa divariant\n1 1 dv\nma pa\n -1 1\n1 5 500 0 0.5\n0 5 500 0 0.5\n-1\n"), "");
  LSQDS::FILLPREC(1);
  ASSERT_EQ(fatal([] { LSQDS::CALCASS(1, 3, false); }), "");
  EXPECT_EQ((double)LSQDS::XP(1).br[1].pcalc, 0.0);
  EXPECT_EQ((double)LSQDS::XP(1).br[1].tcalc, (double)CONST::KELVIN);
}

}  // namespace
