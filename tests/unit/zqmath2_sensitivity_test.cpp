// The inverse Jacobian of a converged solve in log-ratio coordinates:
// checked against differences of the residuals taken in those coordinates,
// its structure, the choice of the denominator mode, and the points that
// have no such inverse.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_newton.h"
#include "frame/zqglobal_sensitivity.h"
#include "iotestsupport.h"
#include "model/zqcalc2.h"
#include "model/zqmath2.h"
#include "model/zqre.h"
#include "solverrecipe.h"

using namespace ZQGLOBAL;
using assemblage::physical;

namespace {

constexpr extended xalpha = 0.4080716030130941004197679707L, xbeta = 0.5155842113049219121425483185L;
constexpr extended malpha = 0.6100141401732420117260824801L, mbeta = 0.3899858598267579882739175199L;
constexpr extended tloop = 959.0786731234291263750152721L, xbeta35 = 0.4200365910306408069554058438L;

// The rows of numbers that follow `marker` in a trace, up to the first
// empty line after the first row.
std::vector<std::vector<double>> rowsafter(const std::string& text, const std::string& marker, int skip) {
  std::vector<std::vector<double>> rows;
  const std::size_t at = text.find(marker);
  if (at == std::string::npos) return rows;
  std::istringstream in(text.substr(at + marker.size()));
  std::string line;
  int seen = 0;
  while (std::getline(in, line)) {
    if (seen++ < skip) continue;
    if (line.empty()) break;
    std::istringstream nums(line);
    std::vector<double> row;
    double v = 0;
    while (nums >> v) row.push_back(v);
    rows.push_back(row);
  }
  return rows;
}

class Sensitivity : public ::testing::Test {
 protected:
  void SetUp() override {
    IO::MACHEPS = std::ldexp(1.0L, -64);
    // Tight enough to pin the solution to 1e-9 and better.
    SMALLE = SMALLF = 1e-12L;
    SMALLDX = 1e-10L;
    MCIT = 1;
    IO::CONTROLIO.pagewidth = 250;
    CONTROLJX.uncertaintylevel = 1;
    RESETSENSITIVITY();
  }
  void TearDown() override { ZQMATH2::EQUATIONS = &ZQCALC2::NLEFUNC; }

  static void reactions() {
    bool found = false;
    ZQRE::CALCRE2(found);
    ASSERT_TRUE(found);
  }
  // The loop at its solution (5 kbar, 900 K), modes as unknowns.
  static void loop() {
    assemblage::layout(solverrecipe::binaryloop(true, false, false));
    COMPK[1] = 0.55L;
    COMPK[2] = 0.45L;
    KBPDEN = 2;
    assemblage::setpoint(5, 900, {xalpha, xbeta}, {malpha, mbeta});
    reactions();
  }
  // Solves from X moved off the solution, which it should hold: a start
  // that is already converged forms no sensitivities. The run's text.
  static void offsolution() {
    for (long i = 3; i <= NX; ++i)
      if (BX[i]) assemblage::setphysical(i, physical(i) + (i % 2 == 0 ? 0.004L : -0.003L));
    CONVSTATUS = "";
  }
  static std::string solve(smallint level = 1) {
    offsolution();
    DEBUGLEVEL = level;
    testsupport::Terminal term;
    smallint code = -1;
    EXPECT_TRUE(ZQMATH2::NLE(code));
    DEBUGLEVEL = 1;
    return term.text();
  }
  // Residuals at X with reaction rows as affinities.
  static std::vector<extended> residuals() {
    static eqmatrix jac{"sensitivity jac"};
    eqvector r{"sensitivity r"};
    EXPECT_TRUE(ZQCALC2::NLEFUNC(X, jac, r, false));
    std::vector<extended> out;
    for (long j = 1; j <= JROW; ++j) out.push_back(RNSITE[j] * r[j]);
    return out;
  }
  static void expectinverse(long s, const std::string& what, double tol = 1e-10) {
    for (long i = 1; i <= s; ++i)
      for (long j = 1; j <= s; ++j) {
        extended sum = 0;
        for (long k = 1; k <= s; ++k) sum += INVDEQDX(i, k) * DEQDX(k, j);
        EXPECT_NEAR(static_cast<double>(sum), i == j ? 1.0 : 0.0, tol) << what << " " << i << "," << j;
      }
  }

  assemblage::tables tables;
};

// The transformed Jacobian is the derivative of the affinities and of the
// log-ratio bulk rows by the compositional unknowns and by m' = ln(m_l /
// m_1), the modes being exp(m') normalised; its inverse inverts it, and
// row and column n are empty.
TEST_F(Sensitivity, LoopLogRatioJacobianAndItsInverse) {
  loop();
  const std::string out = solve(2);
  ASSERT_EQ(KMPDEN, 1);
  const long n = 4, s = 3;
  expectinverse(s, "loop");
  for (long j = 1; j <= n; ++j) {
    EXPECT_EQ(INVDEQDX(n, j), 0);
    EXPECT_EQ(INVDEQDX(j, n), 0);
  }

  const eqvector solved = X;
  const extended mprime = std::log(mbeta / malpha);
  // F(x_a, x_b, m'): two affinities and one log-ratio bulk row.
  auto F = [&](extended xa, extended xb, extended mp) {
    X = solved;
    assemblage::setphysical(3, xa);
    assemblage::setphysical(4, xb);
    const extended m2 = std::exp(mp) / (1 + std::exp(mp));
    assemblage::setphysical(5, 1 - m2);
    assemblage::setphysical(6, m2);
    const std::vector<extended> r = residuals();
    return std::vector<extended>{r[0], r[1], r[2] / COMPK[1] - r[3] / COMPK[2]};
  };
  const extended h = 1e-6L;
  const extended base[3] = {xalpha, xbeta, mprime};
  for (long c = 0; c < 3; ++c) {
    extended up[3] = {base[0], base[1], base[2]}, down[3] = {base[0], base[1], base[2]};
    up[c] += h;
    down[c] -= h;
    const std::vector<extended> fu = F(up[0], up[1], up[2]), fdn = F(down[0], down[1], down[2]);
    for (long j = 0; j < 3; ++j) {
      const extended fd = (fu[j] - fdn[j]) / (2 * h);
      EXPECT_NEAR(static_cast<double>(DEQDX(j + 1, c + 1)), static_cast<double>(fd),
                  1e-6 * std::max(1.0, std::fabs(static_cast<double>(fd))))
          << "row " << j + 1 << " column " << c + 1;
    }
  }

  // Both listings of the matrix at level 2.
  EXPECT_NE(out.find("(* deqdx, as is *)\n{{"), std::string::npos);
  EXPECT_NE(out.find("(* deqdx, after *)\n{{"), std::string::npos);
  EXPECT_EQ(out.find("deqdx is singular"), std::string::npos);
}

// Three phases over three components, each with its own denominator:
// the inverse holds, and the M trace has a row per free mode and a column
// per free mode but the denominator, which skips small and fixed modes.
TEST_F(Sensitivity, DenominatorModeAndModeMatrix) {
  const struct {
    const char* what;
    bool firstfixed;
    smallint kbpden, kmpden;
  } table[] = {
      {"all modes free", false, 1, 1},
      {"first mode too small", false, 3, 2},
      {"first mode fixed", true, 2, 2},
  };
  for (const auto& t : table) {
    assemblage::system sys = solverrecipe::threephases(false);
    sys.solutions[0].modefixed = t.firstfixed;
    sys.pfree = t.firstfixed;  // a fixed mode frees P to keep the system square
    assemblage::layout(sys);
    const solverrecipe::point pt = solverrecipe::threephasespoint(false);
    assemblage::setpoint(8, 1000, pt.x, pt.modes);
    assemblage::solvable(pt.lambda);
    KBPDEN = t.kbpden;
    reactions();
    // A mode that is all but gone: put in after the solve, before the
    // sensitivities.
    static bool shrink;
    shrink = t.kmpden == 2 && !t.firstfixed;
    ZQMATH2::EQUATIONS = [](const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac) {
      const bool ok = ZQCALC2::NLEFUNC(x, jac, r, dojac);
      if (!CONVSTATUS.empty() && shrink) assemblage::setphysical(NX + 1, 5e-9L);
      return ok;
    };
    const std::string out = solve(2);
    EXPECT_EQ(KMPDEN, t.kmpden) << t.what;
    long n = 0;
    for (long i = 1; i <= NX + NXP; ++i) n += BX[i];
    // A mode of 5e-9 puts a column of that size into the matrix.
    expectinverse(n - 1, t.what, shrink ? 1e-8 : 1e-10);
    for (long j = 1; j <= n; ++j) EXPECT_TRUE(INVDEQDX(n, j) == 0 && INVDEQDX(j, n) == 0) << t.what;

    std::vector<double> m;
    for (long k = 1; k <= 3; ++k)
      m.push_back(t.firstfixed && k == 1 ? 0.0 : shrink && k == 1 ? 5e-9 : static_cast<double>(pt.modes[k - 1]));
    const auto mline = rowsafter(out, "m, dm/dm'\n", 0);
    ASSERT_EQ(mline.size(), 1u) << t.what;
    for (long k = 0; k < 3; ++k) EXPECT_NEAR(mline[0][k], m[k], 1e-5) << t.what;
    // Row r belongs to the r-th free mode; its columns are the free modes
    // but the denominator.
    std::vector<long> freemodes, columns;
    for (long k = 1; k <= 3; ++k)
      if (!(t.firstfixed && k == 1)) {
        freemodes.push_back(k);
        if (k != t.kmpden) columns.push_back(k);
      }
    const auto M = rowsafter(out, "m, dm/dm'\n", 2);
    ASSERT_EQ(M.size(), freemodes.size()) << t.what;
    for (std::size_t r = 0; r < M.size(); ++r) {
      ASSERT_EQ(M[r].size(), columns.size()) << t.what;
      const long k = freemodes[r];
      for (std::size_t c = 0; c < columns.size(); ++c) {
        const long l = columns[c];
        const double want = k == l ? m[k - 1] * (1 - m[k - 1]) : -m[k - 1] * m[l - 1];
        EXPECT_NEAR(M[r][c], want, 1e-5) << t.what << " " << k << "," << l;
      }
    }
    // Each ratio row of B: 1/b_r and -1/b_den, nothing else.
    const auto B = rowsafter(out, "b, db'/db\n", 2);
    ASSERT_EQ(B.size(), 2u) << t.what;
    long row = 0;
    for (long r = 1; r <= 3; ++r) {
      if (r == t.kbpden) continue;
      for (long k = 1; k <= 3; ++k) {
        const double want = k == r ? 1 / static_cast<double>(COMPK[r])
                            : k == t.kbpden ? -1 / static_cast<double>(COMPK[t.kbpden]) : 0.0;
        EXPECT_NEAR(B[row][k - 1], want, 1e-5) << t.what << " row " << r;
      }
      ++row;
    }
  }
}

// Without modes the inverse is that of the unscaled Jacobian: here the
// isopleth with T solved, whose T column is scaled.
TEST_F(Sensitivity, WithoutModesThePlainInverse) {
  assemblage::layout(solverrecipe::binaryloop(false, true, true));
  assemblage::setpoint(5, tloop, {0.35L, xbeta35}, {});
  reactions();
  // The solve clears the sensitivities before it starts: KMPDEN is set
  // after that, at the start point, to see that MAKEDEQDX leaves it.
  ZQMATH2::EQUATIONS = [](const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac) {
    if (NLEIT == 0) KMPDEN = 7;
    return ZQCALC2::NLEFUNC(x, jac, r, dojac);
  };
  const std::string out = solve(2);
  EXPECT_EQ(KMPDEN, 7);
  EXPECT_EQ(out.find("b, db'/db"), std::string::npos);
  EXPECT_EQ(out.find("deqdx, as is"), std::string::npos);
  // The physical Jacobian by T and x(b), by central differences.
  const eqvector solved = X;
  const long unknowns[2] = {2, 4};
  const extended steps[2] = {1e-3L, 1e-7L};
  extended J[2][2];
  for (long c = 0; c < 2; ++c) {
    X = solved;
    assemblage::setphysical(unknowns[c], physical(unknowns[c]) + steps[c]);
    const std::vector<extended> up = residuals();
    X = solved;
    assemblage::setphysical(unknowns[c], physical(unknowns[c]) - steps[c]);
    const std::vector<extended> down = residuals();
    for (long j = 0; j < 2; ++j) J[j][c] = (up[j] - down[j]) / (2 * steps[c]);
  }
  for (long i = 0; i < 2; ++i)
    for (long j = 0; j < 2; ++j) {
      const extended sum = INVDEQDX(i + 1, 1) * J[0][j] + INVDEQDX(i + 1, 2) * J[1][j];
      EXPECT_NEAR(static_cast<double>(sum), i == j ? 1.0 : 0.0, 1e-6) << i << "," << j;
    }
}

// Points without log ratios: no uncertainties, no fatal stop, zeros.
TEST_F(Sensitivity, ZeroModesOrZeroBulkGiveNoUncertainties) {
  struct row {
    const char* what;
    bool tinymodes, zerobulk;
    smallint kbpden;
  };
  const row table[] = {
      {"every mode below 1e-8", true, false, 1},
      {"a zero bulk component", false, true, 1},
      {"no denominator component", false, false, 0},
  };
  for (const row& t : table) {
    assemblage::layout(solverrecipe::threephases(false));
    const solverrecipe::point pt = solverrecipe::threephasespoint(false);
    assemblage::setpoint(8, 1000, pt.x, pt.modes);
    assemblage::solvable(pt.lambda);
    KBPDEN = t.kbpden;
    reactions();
    static const row* now;
    now = &t;
    // The modes or the bulk change after the solve, before the
    // sensitivities.
    ZQMATH2::EQUATIONS = [](const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac) {
      const bool ok = ZQCALC2::NLEFUNC(x, jac, r, dojac);
      if (CONVSTATUS.empty()) return ok;
      if (now->zerobulk) COMPK[2] = 0;
      if (now->tinymodes)
        for (long i = NX + 1; i <= NX + NXP; ++i) assemblage::setphysical(i, 5e-9L);
      return ok;
    };
    INVDEQDX.fill(3);
    KMPDEN = 5;
    const std::string out = solve(1);
    EXPECT_EQ(out, "no uncertainties: zero mode or bulk component\n") << t.what;
    EXPECT_EQ(KMPDEN, 0) << t.what;
    bool zeros = true;
    for (extended v : INVDEQDX.data) zeros = zeros && v == 0;
    EXPECT_TRUE(zeros) << t.what;
  }
}

// Singular values at or below 1e-12 of the largest are left out, each
// with its line; the inverse stays of the size of the matrix.
TEST_F(Sensitivity, NumericallySingularJacobianIsLeftOut) {
  struct row {
    const char* what;
    extended a[2][2];
    int lines;
  };
  const row table[] = {
      {"regular", {{1, 2}, {3, 4}}, 0},
      {"exactly singular", {{1, 2}, {2, 4}}, 4},
      {"singular but for rounding", {{1, 2}, {1, 2 + 1e-17L}}, 4},
      {"badly conditioned but kept", {{1, 2}, {1, 2 + 1e-6L}}, 0},
  };
  for (const row& t : table) {
    assemblage::layout(solverrecipe::binaryloop(false, false, false));
    assemblage::setpoint(5, 900, {xalpha, xbeta}, {});
    reactions();
    static const row* now;
    now = &t;
    ZQMATH2::EQUATIONS = [](const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac) {
      const bool ok = ZQCALC2::NLEFUNC(x, jac, r, dojac);
      if (!CONVSTATUS.empty())
        for (long i = 1; i <= 2; ++i)
          for (long j = 1; j <= 2; ++j) jac(i, j) = now->a[i - 1][j - 1] / RNSITE[i];
      return ok;
    };
    const std::string out = solve(1);
    int lines = 0;
    for (std::size_t at = out.find("deqdx is singular\n"); at != std::string::npos;
         at = out.find("deqdx is singular\n", at + 1))
      ++lines;
    EXPECT_EQ(lines, t.lines) << t.what;
    extended biggest = 0;
    for (long i = 1; i <= 2; ++i)
      for (long j = 1; j <= 2; ++j) biggest = std::max(biggest, std::fabs(INVDEQDX(i, j)));
    if (t.lines > 0) {
      // The pseudo-inverse of the rank-one part: A^T / |A|^2.
      EXPECT_LT(biggest, 1) << t.what;
      const extended norm2 = t.a[0][0] * t.a[0][0] + t.a[0][1] * t.a[0][1] + t.a[1][0] * t.a[1][0] + t.a[1][1] * t.a[1][1];
      EXPECT_NEAR(static_cast<double>(INVDEQDX(2, 1)), static_cast<double>(t.a[0][1] / norm2), 1e-6) << t.what;
    } else {
      expectinverse(2, t.what);
    }
  }
}

TEST_F(Sensitivity, RankDeficitStops) {
  loop();
  ZQMATH2::EQUATIONS = [](const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac) {
    const bool ok = ZQCALC2::NLEFUNC(x, jac, r, dojac);
    if (!CONVSTATUS.empty()) RANKDEFICIT = 1;
    return ok;
  };
  offsolution();
  testsupport::Terminal term;
  smallint code = -1;
  EXPECT_EQ(testsupport::fatal([&] { ZQMATH2::NLE(code); }),
            "makedeqdx: rank deficit comps not yet implemented for uncertainty calcs");
  RANKDEFICIT = 0;
}

}  // namespace
