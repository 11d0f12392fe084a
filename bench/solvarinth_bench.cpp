// Speed of the hot path: end-member Gibbs energies, evaluations of the
// equilibrium equations with their Jacobian, and Newton solves on a made-up
// assemblage, and the Monte Carlo tries of avPT+, with the heap allocations
// made inside each timed loop (there must be none).
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <new>
#include <string>
#include <vector>

#include "assemblage_testsupport.h"
#include "avptplus_testsupport.h"
#include "equilibria/zqnle2.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_model.h"
#include "frame/zqglobal_newton.h"
#include "model/zqcalc1.h"
#include "model/zqcalc1_gem.h"
#include "model/zqcalc2.h"
#include "model/zqmath2.h"
#include "model/zqnle3.h"
#include "model/zqre.h"
#include "solverrecipe.h"
#include "uncertainty/zqnle4_avptplus.h"
#include "equilibria/zqnle2_solve.h"
#include "input/zqread1.h"
#include "iotestsupport.h"
#include "mainprogram.h"

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

// The arithmetic GEM does per call for the Tait row of gems() below, on
// the row held in locals: no table reads, no checks, and what depends on
// the row alone worked out once, outside the loop.
auto taitfloor() {
  struct row {
    extended H = -5000, S = 0.25L, V0 = 10, ca = 0.5L, cb = 1e-5L, cc = -3000, cd = -3;
    extended alpha0 = 2.5e-5L, K0 = 1500, Kp = 4, Kpp = -4.0L / 1500, theta = 500;
    extended ea = 0, eb = 0, ec = 0, norm = 0, xi0 = 0, eu0 = 0;
  } r;
  const extended Pr = CONST::PR, Tr = CONST::TR;
  r.ea = (1 + r.Kp) / (1 + r.Kp + r.Kpp * r.K0);
  r.eb = (r.Kp * r.Kp + r.Kp - r.Kpp * r.K0) / ((1 + r.Kp) * r.K0);
  r.ec = (1 + r.Kp + r.Kpp * r.K0) / (r.Kp * r.Kp + r.Kp - r.Kpp * r.K0);
  r.norm = r.ea * std::pow(1 + r.eb * Pr, -r.ec) + 1 - r.ea;
  r.xi0 = ZQCALC1::einstein(r.theta / Tr);
  r.eu0 = std::exp(r.theta / Tr);
  return [r, Pr, Tr](long k) {
    const extended P = 5 + 0.001L * static_cast<extended>(k % 1000);
    const extended T = 900 + 0.01L * static_cast<extended>(k % 997);
    const extended sT = std::sqrt(T), sTr = std::sqrt(Tr);
    const extended dH = r.ca * (T - Tr) + r.cb * (T * T - Tr * Tr) / 2 - r.cc * (1 / T - 1 / Tr) + 2 * r.cd * (sT - sTr);
    const extended dS = r.ca * std::log(T / Tr) + r.cb * (T - Tr) - r.cc * (1 / (T * T) - 1 / (Tr * Tr)) / 2 -
                        2 * r.cd * (1 / sT - 1 / sTr);
    const extended pth =
        r.K0 * r.alpha0 * r.theta / r.xi0 * (1 / (std::exp(r.theta / T) - 1) - 1 / (r.eu0 - 1));
    const extended e = 1 - r.ec;
    const extended GV =
        r.V0 *
        (r.ea * (std::pow(1 + r.eb * (Pr - pth), e) - std::pow(1 + r.eb * (P - pth), e)) / ((r.ec - 1) * r.eb) +
         (1 - r.ea) * (P - Pr)) /
        r.norm;
    volatile extended G = (r.H - T * r.S) + (dH - T * dS) + GV;
    (void)G;
  };
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
  const figure tait = timed(gem(1));
  report("GEM, Tait solid", tait, "calls");
  const figure floor = timed(taitfloor());
  report("floor: the Tait solid's arithmetic alone", floor, "calls");
  std::printf("%-44s %12.2f\n", "GEM, Tait solid, time against the floor", floor.persecond / tait.persecond);
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
  // One solve untimed: the decomposition's matrices are made at their first
  // use, at the size of this system, and kept for the timed ones.
  X = starts.front();
  smallint firstcode = -1;
  ZQMATH2::NLE(firstcode);
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

// Two phases of m end-members each over m components, one symmetric and
// one van Laar with every pair interacting, modes as unknowns, P and T held.
assemblage::system twophases(int m) {
  assemblage::system s;
  std::vector<std::string> vars;
  for (int k = 1; k < m; ++k) vars.push_back("v" + std::to_string(k));
  std::vector<std::string> props(static_cast<std::size_t>(m));
  props[0] = "1";
  for (int k = 1; k < m; ++k) {
    props[0] += " - v" + std::to_string(k);
    props[static_cast<std::size_t>(k)] = "v" + std::to_string(k);
  }
  for (int k = 1; k <= m; ++k) s.components.push_back("C" + std::to_string(k));
  auto phase = [&](const char* name, axtype model, extended shift) {
    std::vector<assemblage::endmember> ems;
    for (int k = 1; k <= m; ++k) {
      std::vector<int> comp(static_cast<std::size_t>(m), 0);
      comp[static_cast<std::size_t>(k - 1)] = 1;
      ems.push_back(assemblage::row(name + std::to_string(k), comp, 0, 0.1L + 0.001L * k + shift, 2 + 0.1L * k));
      ems.back().alpha = 1 + 0.1L * k;
    }
    assemblage::solution p = assemblage::onesite(name, model, vars, props, ems);
    for (int j = 1; j < m; ++j)
      for (int l = j + 1; l <= m; ++l) p.ws.push_back({j, l, 5 + j + 0.5L * l, 0.001L * j, 0.01L * l});
    return p;
  };
  s.solutions = {phase("a", axtype::symmetric, 0), phase("b", axtype::vanlaar, 0.01L)};
  s.pfree = s.tfree = false;
  return s;
}

// NLEFUNC with the Jacobian on two phases of 2, 4, 8 and 12 end-members
// (4 to 24 in all), and the exponent of a power law fitted to the times.
void scaling() {
  const int sizes[] = {2, 4, 8, 12};
  std::vector<double> lx, ly;
  std::printf("\n");
  for (int m : sizes) {
    assemblage::layout(twophases(m));
    std::vector<extended> x, modes = {0.5L, 0.5L};
    for (int ph = 0; ph < 2; ++ph)
      for (int k = 1; k < m; ++k) x.push_back(0.9L / m + 0.001L * k);
    assemblage::setpoint(8, 1000, x, modes);
    std::vector<extended> lambda;
    for (int k = 1; k <= m; ++k) lambda.push_back(-500 - 10 * k);
    assemblage::solvable(lambda);
    bool found = false;
    ZQRE::CALCRE2(found);
    const eqvector at = X;
    eqmatrix* jac = new eqmatrix;
    eqvector r;
    char what[64];
    std::snprintf(what, sizeof what, "NLEFUNC with the Jacobian, 2 phases of %d", m);
    const figure f = timed([&](long) { ZQCALC2::NLEFUNC(at, *jac, r, true); });
    report(what, f, "evaluations");
    delete jac;
    lx.push_back(std::log(2.0 * m));
    ly.push_back(std::log(1 / f.persecond));
  }
  double mx = 0, my = 0;
  for (std::size_t i = 0; i < lx.size(); ++i) mx += lx[i] / lx.size(), my += ly[i] / ly.size();
  double sxy = 0, sxx = 0;
  for (std::size_t i = 0; i < lx.size(); ++i) sxy += (lx[i] - mx) * (ly[i] - my), sxx += (lx[i] - mx) * (lx[i] - mx);
  std::printf("%-44s %12.2f\n", "time per evaluation ~ N^k, fitted k", sxy / sxx);
}

// What a dogmin or batch run repeats for every combination: the solver's
// layout of an assemblage and the exact reduction of its composition
// matrix, on the phases of the solver's fixture.
void layouts() {
  assemblage::layout(solverrecipe::threephases(true));
  NP = static_cast<smallint>(NPSS + NP0);
  NCOMP = 0;
  bemvector all;
  for (long p = 1; p <= NP; ++p) all[p] = true;
  report("MAKECROSSREFS of all the phases", timed([&](long) { ZQNLE3::MAKECROSSREFS(all); }), "layouts");
  smallint rank = 0;
  bool ok = true;
  ZQNLE2::CALCRANKP(all, rank, ok);  // its tables are made at the first call
  report("CALCRANKP of all the phases", timed([&](long) { ZQNLE2::CALCRANKP(all, rank, ok); }), "reductions");
}

// Monte Carlo tries of avPT+ on the linear fixture, each a crossover search
// over its 45 stored calculations; the tries' "@" marks go nowhere.
void avptplus() {
  avpttest::setuplinear();
  AVPTALGO = 2;
  PLOW = 4, PHIGH = 8, TLOW = 500 + 273.15L, THIGH = 700 + 273.15L;
  std::FILE* terminal = IO::TERMOUT;
  IO::TERMOUT = std::fopen("/dev/null", "w");
  auto* s = new ZQNLE4::avptplusstate;
  s->SETUPKIND();
  s->FITS();
  s->ROCKSIDE();
  s->PNOM = 6.5L, s->TNOM = 620;
  extended p = s->PNOM, t = s->TNOM, sigfit = 0;
  s->AVPTPLUS(ROCKXYZ, s->JXXYZ, 1, p, t, sigfit, false);  // the calculated side's covariance
  ZQNLE4::CHOLESKI(ROCKVXYZ, s->LROCK, NJXXYZ);
  ZQNLE4::CHOLESKI(JXVXYZ, s->LJX, NJXXYZ);
  s->UFAC = 1;
  s->GAUSS.seed(ZQNLE4::AVPTSEED);
  std::printf("\n");
  const figure f = timed([&](long) {
    if (s->NGOOD >= ZQNLE4::AVPTSAMPLESONE) s->NGOOD = 0;
    if (s->NTRY >= 30000) s->NTRY = 0;
    s->MCTRY(true);
  });
  report("avPT+ Monte Carlo tries (crossover search)", f, "tries");
  std::fclose(IO::TERMOUT);
  IO::TERMOUT = terminal;
  delete s;
}

// ---------------------------------------------------------------- calc mode 1
// Whole passes of calc mode 1 on the made-up loop system (two ideal MgO-FeO
// solutions, periclase at a fixed activity, two silica polymorphs). Reading
// the files and setting a pass up allocate; the span of each point from its
// starting values to its phase properties must not.

struct passtally {
  long points = 0, failed = 0, iterations = 0;
  longint ngem = 0;
  long spanallocations = 0, outsideallocations = 0;
  double spanseconds = 0;
  clock_type::time_point started;
  longint ngemstart = 0;
};
passtally tally;

void span(bool start) {
  if (start) {
    tally.outsideallocations += allocations;
    allocations = 0;
    tally.started = clock_type::now();
    tally.ngemstart = IO::NGEM;
    return;
  }
  tally.spanallocations += allocations;
  allocations = 0;
  tally.spanseconds += std::chrono::duration<double>(clock_type::now() - tally.started).count();
  tally.ngem += IO::NGEM - tally.ngemstart;
  tally.iterations += NLEIT;
  ++tally.points;
}

void pointdone(bool ok, bool, bool, smallint, const sutype&, const eqvector&) {
  if (!ok) ++tally.failed;
}

// One run of the program in a scratch folder on the loop files and the
// given script, its terminal output dropped, allocations counted throughout;
// arm() puts the hooks in place once the state is fresh. Returns its seconds.
template <class Arm>
double runloop(const std::string& script, const std::string& answers, Arm&& arm) {
  testsupport::ScratchDir dir;
  for (const char* f : {"jx-ds7lp.txt", "jx-lpax.txt", "jx-prefs.txt"}) {
    std::ifstream in(std::string(SOLVARINTH_FIXTURES) + "/loop/" + f, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    dir.write(f, ss.str());
  }
  // The same models with alp's first end-member made of aA alone, as an
  // end-member must be for a DQF to stand on it.
  std::string ax = dir.read("jx-lpax.txt");
  ax.replace(ax.find("p(aA)"), 5, "p(mA)");
  ax.replace(ax.find("  aA 1 1 xA 1\n"), 14, "  mA 1 1 xA 1 make 1 aA 1\n");
  dir.write("jx-lpmax.txt", ax);
  dir.write("jx-lp.txt", script);
  testsupport::freshstate();
  arm();
  double seconds = 0;
  {
    testsupport::Terminal quiet;
    testsupport::Answers typed(answers);
    allocations = 0;
    counting = true;
    const auto t0 = clock_type::now();
    try {
      MAINPROGRAM::RUN();
    } catch (const IO::runend& e) {
      std::printf("ended in %s: %s\n", e.where.c_str(), e.message.c_str());
    }
    seconds = std::chrono::duration<double>(clock_type::now() - t0).count();
    counting = false;
  }
  ZQNLE2::POINTSPAN = nullptr;
  ZQNLE2::POINTHOOK = nullptr;
  ZQNLE2::RUNSPAN = nullptr;
  if (ZQREAD1::PDATA.f != nullptr) std::fclose(ZQREAD1::PDATA.f);
  ZQREAD1::PDATA = IO::textfile{};
  testsupport::freshstate();
  return seconds;
}

// One pass of calc mode 1.
void onepass(const std::string& script, const std::string& answers, double& seconds) {
  seconds = runloop(script, answers, [] {
    tally = passtally{};
    ZQNLE2::POINTSPAN = span;
    ZQNLE2::POINTHOOK = pointdone;
  });
  tally.outsideallocations += allocations;
}

// The pass twice: the first makes what the process keeps once made; the
// second is reported.
void mode1pass(const char* what, const std::string& script, const std::string& answers) {
  double passseconds = 0;
  onepass(script, answers, passseconds);
  onepass(script, answers, passseconds);
  const double n = tally.points > 0 ? static_cast<double>(tally.points) : 1;
  std::printf("\n%s\n", what);
  std::printf("%-44s %12ld points, %ld failed\n", "  points", tally.points, tally.failed);
  std::printf("%-44s %12.0f points/s   allocations %ld\n", "  starting values to phase properties",
              n / (tally.spanseconds > 0 ? tally.spanseconds : 1e-9), tally.spanallocations);
  std::printf("%-44s %12.0f points/s\n", "  whole pass (reading, set-up, output)", n / passseconds);
  std::printf("%-44s %12.1f per point\n", "  iterations", static_cast<double>(tally.iterations) / n);
  std::printf("%-44s %12.0f per point\n", "  GEM calls (NGEM)", static_cast<double>(tally.ngem) / n);
  std::printf("%-44s %12ld (not held to zero)\n", "  allocations outside the points", tally.outsideallocations);
  totalallocations += tally.spanallocations;
}

void mode1() {
  const std::string head = "axfile lpax\ninexcess\n";
  const std::string tail = "autoexit\n*\n";
  mode1pass("calc mode 1: isopleth line x(alp) = 0.35, T at 201 pressures",
            head + "with alp bet\nxyzguess x(bet) 0.42\nisopleth x(alp) 0.35\ncalcTatP yes\ncalcP 1 9 0.04\n"
                   "diagramPT 0.5 10 400 800\npseudosection no\n" + tail,
            "");
  mode1pass("calc mode 1: divariant alp bet on a 10 x 12 P-T grid",
            head + "with alp bet\ncalcP 1 10 1\ncalcT 500 720 20\ndiagramPT 0.5 10 400 800\npseudosection no\n" + tail,
            "");
  mode1pass("calc mode 1: dogmin at one point over all phases",
            head + "with alp bet per pa pb\ndogmin yes 1\nmaxvar 4\ncalcP 5\ncalcT 600\ndiagramPT 1 10 400 800\n"
                   "pseudosection\nbulk SiO2 MgO FeO\nbulk 30 40 30\n" + tail,
            "4\n");
}

// ---------------------------------------------------------------- a series of batch runs
// A Monte Carlo series of the three-item batch of the loop system (5 kbar;
// alp held at 0.35 with T solved; 9 kbar), the DQF of mA in alp drawn each
// run. The first run writes the headings and makes the row store, so it is
// set-up; the runs after it must allocate nothing. A run's time is split into
// the solves of its points, the layouts of its items and the output of its
// points; what is left is the batch switch, the draws and the reactions.

constexpr long seriesruns = 1000;  // runs timed, after the first

struct seriestally {
  long started = 0, runs = 0, points = 0, failed = 0;
  long runallocations = 0, outsideallocations = 0;
  long writeallocations = 0, spanbefore = 0;  // of the runs' allocations, those of the output
  double runseconds = 0, solveseconds = 0, layoutseconds = 0, writeseconds = 0;
  clock_type::time_point runstart, spanstart, pointstart;
  bool timing = false;  // inside a run after the first
};
seriestally series;

double since(clock_type::time_point t) { return std::chrono::duration<double>(clock_type::now() - t).count(); }

void seriesspan(ZQNLE2::runspan what, bool start) {
  using ZQNLE2::runspan;
  if (what == runspan::run && start) {
    series.timing = ++series.started > 1;
    if (!series.timing) return;
    series.outsideallocations += allocations;
    allocations = 0;
    series.runstart = clock_type::now();
    return;
  }
  if (!series.timing) return;
  if (what == runspan::run) {
    series.runallocations += allocations;
    allocations = 0;
    series.runseconds += since(series.runstart);
    ++series.runs;
    series.timing = false;
  } else if (start) {
    series.spanbefore = allocations;
    series.spanstart = clock_type::now();
  } else {
    (what == runspan::layout ? series.layoutseconds : series.writeseconds) += since(series.spanstart);
    if (what == runspan::write) series.writeallocations += allocations - series.spanbefore;
  }
}

void seriespoint(bool start) {
  if (!series.timing) return;
  if (start)
    series.pointstart = clock_type::now();
  else
    series.solveseconds += since(series.pointstart);
}

void seriespointdone(bool, bool good, bool, smallint, const sutype&, const eqvector&) {
  if (!series.timing) return;
  ++series.points;
  if (!good) ++series.failed;
}

void batchseries() {
  const std::string script =
      "axfile lpmax\nwith bet alp\ninexcess\ndiagramPT 4 10 400 900\npseudosection no\n"
      "batchxyzguess startblock\nbatchxyzguess x(alp) 0.4\nbatchxyzguess x(bet) 0.5\n"
      "batch bet alp 2 1 1 5 626.85 1 1 0 0\n"
      "batch bet alp 2 1 1 5 626.85 1 1 0 1 alp 1 0.35\n"
      "batch bet alp 2 1 1 9 626.85 1 1 0 0\n"
      "mc alp a DQF(mA) 0 0.2\nmcit " + std::to_string(seriesruns + 1) + " 30000\n"
      "debuglevel 0\nautoexit\n*\n";
  auto arm = [] {
    series = seriestally{};
    ZQNLE2::RUNSPAN = seriesspan;
    ZQNLE2::POINTSPAN = seriespoint;
    ZQNLE2::POINTHOOK = seriespointdone;
  };
  // Twice, the second reported: the first makes what the process keeps.
  runloop(script, "", arm);
  const double whole = runloop(script, "", arm);
  series.outsideallocations += allocations;
  const double runs = series.runseconds > 0 ? series.runseconds : 1e-9;
  auto share = [&](const char* what, double t) { std::printf("%-44s %12.1f %%\n", what, 100 * t / runs); };
  std::printf("\ncalc mode 1: %ld runs of a 3-item batch (alp bet, DQF(mA) drawn)\n", seriesruns);
  std::printf("%-44s %12ld runs, %ld points, %ld failed\n", "  runs after the first", series.runs, series.points,
              series.failed);
  std::printf("%-44s %12.0f runs/s   allocations %ld\n", "  runs", static_cast<double>(series.runs) / runs,
              series.runallocations);
  std::printf("%-44s %12ld\n", "  of which in writing", series.writeallocations);
  share("  solving (starting values to properties)", series.solveseconds);
  share("  laying out (MAKECROSSREFS)", series.layoutseconds);
  share("  writing", series.writeseconds);
  share("  the rest (batch switch, draws, reactions)",
        series.runseconds - series.solveseconds - series.layoutseconds - series.writeseconds);
  std::printf("%-44s %12.3f s\n", "  reading, set-up and the first run", whole - series.runseconds);
  std::printf("%-44s %12ld (not held to zero)\n", "  allocations outside the runs", series.outsideallocations);
  if (series.runs != seriesruns) {
    std::printf("  expected %ld runs\n", seriesruns);
    ++totalallocations;  // a series that stops short fails the bench too
  }
  totalallocations += series.runallocations;
}

}  // namespace

int main() {
  IO::MACHEPS = std::ldexp(1.0L, -64);
  assemblage::tables tables;
  gems();
  solver();
  scaling();
  layouts();
  avptplus();
  mode1();
  batchseries();
  std::printf("\nheap allocations in the timed loops: %ld\n", totalallocations);
  return totalallocations == 0 ? 0 : 1;
}
