// Speed of the hot path: end-member Gibbs energies, evaluations of the
// equilibrium equations with their Jacobian, and Newton solves on a made-up
// assemblage, with the heap allocations made inside each timed loop (there
// must be none).
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "assemblage_testsupport.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_model.h"
#include "frame/zqglobal_newton.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "model/zqmath2.h"
#include "model/zqre.h"
#include "solverrecipe.h"

namespace {
long allocations = 0;
bool counting = false;
}  // namespace

// Every allocation of the program goes through here; the timed loops count
// theirs. (g++ cannot see that these frees pair with the mallocs below.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t n) {
  if (counting) ++allocations;
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

using namespace ZQGLOBAL;

namespace {

using clock_type = std::chrono::steady_clock;
constexpr double seconds = 1.0;  // length of each timed loop

struct figure {
  double persecond = 0;
  long count = 0;
  long allocations = 0;
};

// Runs body(k) for k = 0, 1, ... for about `seconds`, counting allocations.
template <class F>
figure timed(F&& body) {
  const auto t0 = clock_type::now();
  long n = 0;
  double elapsed = 0;
  allocations = 0;
  counting = true;
  do {
    body(n++);
    elapsed = std::chrono::duration<double>(clock_type::now() - t0).count();
  } while (elapsed < seconds);
  counting = false;
  return {static_cast<double>(n) / elapsed, n, allocations};
}

long totalallocations = 0;

void report(const char* what, const figure& f, const char* unit) {
  std::printf("%-44s %12.0f %s/s   allocations %ld\n", what, f.persecond, unit, f.allocations);
  totalallocations += f.allocations;
}

// One row of TD, everything else 0.
void row(long i, const char* name, std::initializer_list<std::pair<int, long double>> slots) {
  for (long k = 1; k <= maxtd; ++k) (*TD)(i, k) = 0;
  for (auto [k, v] : slots) (*TD)(i, k) = v;
  NAME[i] = name;
}

void gems() {
  RESETMODEL();
  TD->fill(0);
  CALCMODE = calcmodetype::nlecalc;
  DSMODE = 6;
  WITHOLDSET = false;
  QVB = false;
  row(1, "tait", {{1, -5000}, {2, 0.25L}, {3, 10}, {4, 0.5L}, {5, 1e-5L}, {6, -3000}, {7, -3}, {8, 2.5e-5L},
                  {9, 1500}, {10, 4}, {11, -4.0L / 1500}, {12, 500}});
  row(2, "pex", {{1, -3000}, {2, 0.15L}, {3, 5}, {4, 0.2L}, {5, 1e-5L}, {8, 3e-5L}, {9, 1000}, {10, 4},
                 {11, -0.004L}, {12, 600}, {31, 3}});
  // A row whose entropy is 0 is taken as its enthalpy alone: the fluid rows
  // need one to reach the equation of state.
  row(3, "H2O", {{1, -241.81L}, {2, 0.1887L}, {TDSLOT::XH2O, 1}});
  row(4, "H2O", {{1, -241.81L}, {2, 0.1887L}, {TDSLOT::XCO2, 0.3L}, {TDSLOT::XH2O, 0.7L}});
  // P and T move from call to call, so nothing is served from a cache.
  auto gem = [](smallint i) {
    return [i](long k) {
      extended G = 0;
      ZQCALC1::GEM(i, 5 + 0.001L * static_cast<extended>(k % 1000), 900 + 0.01L * static_cast<extended>(k % 997), G);
    };
  };
  report("GEM, Tait solid", timed(gem(1)), "calls");
  // Pressure-explicit rows belong to the newest data-set generation.
  DSMODE = 7;
  NUMERICAL = false;
  report("GEM, pressure-explicit row, series", timed(gem(2)), "calls");
  NUMERICAL = true;
  report("GEM, pressure-explicit row, Simpson", timed(gem(2)), "calls");
  NUMERICAL = false;
  DSMODE = 6;
  FLUIDTYPE = ftype::h2oco2;
  report("GEM, H2O alone", timed(gem(3)), "calls");
  FLUIDTYPE = ftype::ih2oco2;
  report("GEM, H2O with H2O-CO2 mixing", timed(gem(4)), "calls");
}

long evaluations = 0;

bool countedequations(const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac) {
  ++evaluations;
  return ZQCALC2::NLEFUNC(x, jac, r, dojac);
}

void solver() {
  FLUIDTYPE = ftype::h2oco2;
  AIJ(1, 2) = AIJ(2, 1) = CONST::AH2OCO2;
  // Four solution phases (an ideal two-site phase, a symmetric and a van
  // Laar ternary, an H2O-CO2 fluid) and two pure phases over five
  // components, modes as unknowns, P and T held.
  assemblage::layout(solverrecipe::threephases(true));
  const solverrecipe::point pt = solverrecipe::threephasespoint(true);
  const std::vector<extended>&x = pt.x, &m = pt.modes;
  const extended P = 8, T = 1000;
  assemblage::setpoint(P, T, x, m);
  assemblage::solvable(pt.lambda);
  bool found = false;
  ZQRE::CALCRE2(found);
  solverrecipe::watchsitefractions();
  std::printf("\nfixture: %d end-members, %d components, %d reactions, %d unknowns, %d watched site fractions\n",
              NCV, NUV, NR, NX + NXP - 2, NSFNH);

  const eqvector solution = X;
  eqmatrix* jac = new eqmatrix;
  eqvector r;
  report("NLEFUNC with the Jacobian", timed([&](long) { ZQCALC2::NLEFUNC(solution, *jac, r, true); }),
         "evaluations");

  // A fixed set of perturbed starts.
  std::vector<eqvector> starts;
  const extended shifts[][2] = {{0.02L, 0.1L},  {-0.02L, -0.1L}, {0.04L, 0.2L},  {-0.03L, 0.15L},
                                {0.01L, -0.2L}, {0.03L, -0.05L}, {-0.01L, 0.3L}, {0.05L, -0.15L}};
  for (const auto& d : shifts) {
    std::vector<extended> xs = x, ms = m;
    for (std::size_t i = 0; i < xs.size(); ++i) xs[i] += i % 2 == 0 ? d[0] : -d[0] / 2;
    for (std::size_t i = 0; i < ms.size(); ++i) ms[i] *= 1 + (i % 2 == 0 ? d[1] : -d[1]);
    assemblage::setpoint(P, T, xs, ms);
    starts.push_back(X);
  }
  ZQMATH2::EQUATIONS = &countedequations;
  long iterations = 0, converged = 0, solves = 0;
  evaluations = 0;
  const longint ngem0 = IO::NGEM;
  const figure f = timed([&](long k) {
    X = starts[static_cast<std::size_t>(k % static_cast<long>(starts.size()))];
    smallint code = -1;
    if (ZQMATH2::NLE(code)) ++converged;
    iterations += NLEIT;
    ++solves;
  });
  const double ngem = static_cast<double>(static_cast<std::uint32_t>(IO::NGEM - ngem0));
  ZQMATH2::EQUATIONS = &ZQCALC2::NLEFUNC;
  report("solves from perturbed starts", f, "solves");
  std::printf("%-44s %12.0f iterations/s\n", "", f.persecond * static_cast<double>(iterations) / static_cast<double>(solves));
  std::printf("%-44s %12.1f per solve\n", "iterations", static_cast<double>(iterations) / static_cast<double>(solves));
  std::printf("%-44s %12.1f per solve\n", "evaluations of the equations",
              static_cast<double>(evaluations) / static_cast<double>(solves));
  std::printf("%-44s %12.0f per solve\n", "GEM calls (NGEM)", ngem / static_cast<double>(solves));
  std::printf("%-44s %12ld of %ld\n", "converged", converged, solves);
  delete jac;
}

}  // namespace

int main() {
  IO::MACHEPS = std::ldexp(1.0L, -64);
  assemblage::tables tables;
  gems();
  solver();
  std::printf("\nheap allocations in the timed loops: %ld\n", totalallocations);
  return totalallocations == 0 ? 0 : 1;
}
