// The activity of H2O and the chemical potentials of O and of every
// component at a solved point, each read off the first reaction through a
// pseudo end-member of one mole of the component.
#include <cmath>
#include <memory>
#include <string>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc1.h"
#include "model/zqre.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;

namespace ZQNLE4 {

namespace {

using rlinevector = farray<str255, 1, maxreac>;

// The Gibbs energy of H2O at 1 bar (kJ, T in K).
extended gwater(extended t) {
  return -243.84051L - 243.75L / t - 1.0048L * std::sqrt(t) + 0.1087083L * t - 4.328e-6L * t * t -
         0.0401L * t * std::log(t);
}

// The end-member list and the reaction set of the calculation, kept while
// a pseudo end-member stands at the end of the list and put back after.
struct pseudoframe {
  smallint ncv = 0, nr = 0;

  // Saves the list and the reactions, then appends the pseudo end-member
  // (its name and composition set by place()); fatal when the list is full.
  explicit pseudoframe(const char* where) {
    // The saved rows: 120 kB, made once and kept for the run.
    static std::unique_ptr<rmatrix> keep;
    if (!keep) keep = std::make_unique<rmatrix>("pseudo saved R");
    saved = keep.get();
    if (NCV + 1 > maxem) IO::ERROREXIT(where, "too many end-members", yourfault);
    ncv = NCV;
    nr = NR;
    for (long k = 1; k <= NR; ++k) {
      lines()[k] = RLINES[k];
      for (long j = 1; j <= NCV; ++j) (*saved)(k, j) = (*R)(k, j);
    }
    NCV = static_cast<smallint>(ncv + 1);
    NNE = NCV;
  }
  ~pseudoframe() {
    NCV = ncv;
    NNE = ncv;
    NR = nr;
    for (long k = 1; k <= nr; ++k) {
      RLINES[k] = lines()[k];
      for (long j = 1; j <= ncv; ++j) (*R)(k, j) = (*saved)(k, j);
    }
  }
  pseudoframe(const pseudoframe&) = delete;
  pseudoframe& operator=(const pseudoframe&) = delete;

  // The pseudo end-member becomes one mole of component k under name.
  static void place(long k, const sstring& name) {
    NAME[NCV] = name;
    for (long i = 1; i <= NUV; ++i) (*C)(i, NCV) = 0;
    (*C)(k, NCV) = static_cast<smallint>(COMPDIV[k]);
  }

  // The first reaction through the pseudo end-member: its number, 0 when none.
  static long reactionthrough() {
    bool found = false;
    ZQRE::CALCRE2(found);
    for (long q = 1; q <= NR; ++q)
      if ((*R)(q, NCV) != 0) return q;
    return 0;
  }

  // Sum of nu mu over the ordinary end-members of reaction q at P, T.
  static extended reactionsum(long q, extended p, extended t) {
    extended s = 0;
    for (long i = 1; i < NCV; ++i) {
      const smallint nu = (*R)(q, i);
      if (nu == 0) continue;
      // Unmixed H2O for the fluid term of the Gibbs energy.
      (*TD)(i, TDSLOT::XCO2) = 0;
      (*TD)(i, TDSLOT::XH2O) = 1;
      extended g = 0;
      ZQCALC1::GEMDRIVER(static_cast<smallint>(i), p, t, g);
      s += nu * (g + CONST::RGAS * t * std::log(ACTIVITY[i]));
    }
    return s;
  }

  // mu of the pseudo end-member's component from reaction q: -S / nu.
  static extended potential(long q, extended p, extended t) {
    return -reactionsum(q, p, t) / static_cast<extended>((*R)(q, NCV));
  }

 private:
  rmatrix* saved = nullptr;
  static rlinevector& lines() {
    static rlinevector l{"pseudo saved RLINES"};
    return l;
  }
};

// Position of component name among COMPNAME, 0 when absent.
smallint component(const sstring& name) {
  smallint k = 0;
  IO::MATCHSTRING(name, COMPNAME, NUV, k);
  return k;
}

}  // namespace

extended DOCALCAH2O(const bemvector&, extended p, extended t) {
  const smallint k = component("H2O");
  if (k == 0) IO::ERROREXIT("docalcah2o", "H2O is not a component", yourfault);
  pseudoframe frame("docalcah2o");
  pseudoframe::place(k, "H2O");
  const long q = pseudoframe::reactionthrough();
  if (q == 0) return 0;
  extended v = 0, rtlnf = 0;
  ZQCALC1::H2OPROPS(p, t, v, rtlnf);
  const extended nuw = (*R)(q, NCV);
  const extended s = pseudoframe::reactionsum(q, p, t) + nuw * (gwater(t) + rtlnf);
  return std::exp(-s / (nuw * CONST::RGAS * t));
}

extended DOCALCMUO(const bemvector&, extended p, extended t) {
  const smallint k = component("O");
  // Without O the pseudo end-member would have no component to stand for.
  if (k == 0) IO::ERROREXIT("docalcmuo", "O is not a component", yourfault);
  pseudoframe frame("docalcmuo");
  pseudoframe::place(k, COMPNAME[k]);
  const long q = pseudoframe::reactionthrough();
  return q == 0 ? 0 : pseudoframe::potential(q, p, t);
}

void DOCALCMU(const bemvector&, extended p, extended t) {
  pseudoframe frame("docalcmu");
  for (long j = 1; j <= NUV; ++j) {
    pseudoframe::place(j, COMPNAME[j]);
    const long q = pseudoframe::reactionthrough();
    MUCALCS(1, j) = q == 0 ? 0 : pseudoframe::potential(q, p, t);
  }
}

}  // namespace ZQNLE4
