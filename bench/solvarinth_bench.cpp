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

// Four solution phases (an ideal two-site phase, a symmetric and a van Laar
// ternary, an H2O-CO2 fluid) and two pure phases over five components:
// 13 end-members, modes as unknowns, P and T held.
assemblage::system fixture() {
  using solverrecipe::em;
  assemblage::system s;
  s.components = {"MgO", "CaO", "SiO2", "H2O", "CO2"};
  s.icomp = {2, 2, 3, 3, 3};
  s.pfree = s.tfree = false;

  assemblage::solution cpx;
  cpx.name = "cpx";
  cpx.vars = {{"y", 0, 1}, {"z", 0, 1}};
  cpx.sites = {{"xMgM2", "1 - y"}, {"xCaM2", "y"}, {"xMgM1", "1 - z"}, {"xCaM1", "z"}};
  cpx.ems = {em("en", {2, 0, 2, 0, 0}, 0, 0.132L, 6.262L, "1 - y", {{1, 1, 1}, {3, 1, 1}}),
             em("di", {1, 1, 2, 0, 0}, 0, 0.143L, 6.619L, "y - z", {{2, 1, 1}, {3, 1, 1}}),
             em("cwo", {0, 2, 2, 0, 0}, 0, 0.16L, 7.0L, "z", {{2, 1, 1}, {4, 1, 1}})};

  assemblage::solution ol;
  ol.name = "ol";
  ol.model = axtype::symmetric;
  ol.vars = {{"x", 0, 1}, {"c", 0, 1}};
  ol.sites = {{"xfo", "1 - x - c"}, {"xmo", "x"}, {"xla", "c"}};
  ol.ems = {em("fo", {2, 0, 1, 0, 0}, 0, 0.0951L, 4.366L, "1 - x - c", {{1, 1, 1}}),
            em("mont", {1, 1, 1, 0, 0}, 0, 0.109L, 5.148L, "x", {{2, 1, 1}}),
            em("larn", {0, 2, 1, 0, 0}, 0, 0.1275L, 5.16L, "c", {{3, 1, 1}})};
  ol.ws = {{1, 2, 12}, {1, 3, 30, 0, 0.05L}, {2, 3, 8}};

  assemblage::solution g;
  g.name = "g";
  g.model = axtype::vanlaar;
  g.vars = {{"x", 0, 1}, {"z", 0, 1}};
  g.sites = {{"xMg", "1 - x - z"}, {"xCa", "x"}, {"xMC", "z"}};
  g.ems = {em("g1", {3, 0, 3, 0, 0}, 0, 0.269L, 11.31L, "1 - x - z", {{1, 1, 1}}),
           em("g2", {0, 3, 3, 0, 0}, 0, 0.255L, 12.535L, "x", {{2, 1, 1}}),
           em("g3", {1, 2, 3, 0, 0}, 0, 0.26L, 12.1L, "z", {{3, 1, 1}})};
  g.ems[1].alpha = 2.5L;
  g.ws = {{1, 2, 45}, {1, 3, 20}, {2, 3, 6}};

  assemblage::solution fl;
  fl.name = "fluid";
  fl.model = axtype::vanlaar;
  fl.vars = {{"x(CO2)", 0, 1}};
  fl.sites = {{"xH2O", "1 - x(CO2)"}, {"xCO2", "x(CO2)"}};
  fl.ems = {em("H2O", {0, 0, 0, 1, 0}, 0, 0.1887L, 0, "1 - x(CO2)", {{1, 1, 1}}),
            em("CO2", {0, 0, 0, 0, 1}, 0, 0.2137L, 0, "x(CO2)", {{2, 1, 1}})};
  fl.ems[0].fluidcode = 1;
  fl.ems[1].fluidcode = 2;

  s.solutions = {cpx, ol, g, fl};
  assemblage::pure q, mag;
  q.em = em("q", {0, 0, 1, 0, 0}, 0, 0.0415L, 2.269L, "", {});
  mag.em = em("mag", {1, 0, 0, 0, 1}, 0, 0.0657L, 2.803L, "", {});
  s.pures = {q, mag};
  return s;
}

long evaluations = 0;

bool countedequations(const eqvector& x, eqmatrix& jac, eqvector& r, bool dojac) {
  ++evaluations;
  return ZQCALC2::NLEFUNC(x, jac, r, dojac);
}

void solver() {
  FLUIDTYPE = ftype::h2oco2;
  AIJ(1, 2) = AIJ(2, 1) = CONST::AH2OCO2;
  assemblage::layout(fixture());
  const std::vector<extended> x = {0.3L, 0.05L, 0.1L, 0.05L, 0.2L, 0.1L, 0.3L};
  const std::vector<extended> m = {0.3L, 0.25L, 0.25L, 0.1L, 0.05L, 0.05L};
  const extended P = 8, T = 1000;
  assemblage::setpoint(P, T, x, m);
  assemblage::solvable({-700, -800, -900, -300, -450});
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
