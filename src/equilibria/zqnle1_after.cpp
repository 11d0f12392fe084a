// The modes of a solved assemblage worked out after the solve: the
// normalising constants of the mode phases, their composition matrix, and
// the mass balance of every step of the bulk range, with which steps the
// assemblage sees.
#include <cmath>
#include <cstdio>
#include <string>

#include "equilibria/zqnle1.h"
#include "equilibria/zqnle2_print.h"
#include "frame/zqglobal_dataset.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_solver.h"
#include "frame/zqute1.h"
#include "model/zqnle3.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;

namespace ZQNLE1 {

namespace {

constexpr smallint maxmodephases = maxeq;  // columns of the mode problem
constexpr smallint maxseensteps = 101;     // seen steps (or mode rows) one point may have
constexpr extended bulkcoeftol = 1e-12L;   // a bulk coefficient this small: the bulk is not reached
constexpr extended tinyshare = 1e-8L;      // reaction coefficients below this share of the largest are nil
constexpr extended sumtol = 1e-10L;        // a mode sum this small cannot normalise
constexpr extended unnormalisedmode = 0.001L;  // what each mode shows then

using colvector = farray<smallint, 1, maxmodephases>;

// The working state of one call: kept once, as its matrices are large.
struct afterwork {
  cmatrix C{"after C"};   // free components by mode phase, per atom of the free components
  cmatrix D{"after D"};   // the sub-assemblage being solved, the bulk in its last column
  emvector v{"after v"};  // the reaction of D
  colvector rec{"after rec"};  // SU record of each mode phase
  farray<sstring, 1, maxmodephases> name{"after name"};  // its name
  eqvector r{"after r"};      // reaction coefficient of each mode phase (freedom 1)
  eqvector modes{"after modes"};  // modes of the last solved sub-assemblage, by mode phase
  smallint nm = 0;  // mode phases
};

afterwork& work() {
  static afterwork w;
  return w;
}

// A pure phase whose chemical potential or activity is set from outside.
bool fixedpure(const sstring& name) {
  const sstring n = name.substr(0, sstringlength);
  for (smallint k = 1; k <= NMU; ++k)
    if (MUNAME[k].substr(0, sstringlength) == n) return true;
  for (smallint k = 1; k <= NLNA; ++k)
    if (LNANAME[k].substr(0, sstringlength) == n) return true;
  return false;
}

bool hasfreeamount(const icvector& comp) {
  for (smallint c = 1; c <= NUV; ++c)
    if (BCOMPS[c] && comp[c] != 0) return true;
  return false;
}

// The bulk of step k into COMPK over the free components, its position
// into PROPK.
void setbulk(smallint k) {
  if (NCOMP == 1) {
    PROPK = 0;
    for (smallint c = 1; c <= NUVLEFT; ++c) COMPK[c] = COMP1[c] / 100;
    return;
  }
  const extended g = static_cast<extended>(k - 1) / static_cast<extended>(NCOMP - 1);
  PROPK = PROP1 + g * (PROP2 - PROP1);
  for (smallint c = 1; c <= NUVLEFT; ++c) COMPK[c] = ((1 - g) * COMP1[c] + g * COMP2[c]) / 100;
}

// The phase-composition matrix of the mode phases; the has-a-mode flags of
// SU follow it.
void makec(const bemvector& ph, afterwork& w) {
  w.nm = 0;
  smallint record = 0;
  for (smallint e = 1; e <= NCV; ++e) {
    if (!STARTSS[e] || !ph[EM2SS[e]]) continue;
    const ptype1& p = (*PREC1)[EM2SS[e]];
    SU.ph[++record].hasmode = !(EXBUFF && p.isfluid);
    if (!SU.ph[record].hasmode) continue;
    const smallint j = ++w.nm;
    extended sump = 0;
    for (smallint row = 1; row <= NUVLEFT; ++row) w.C(row, j) = 0;
    for (smallint m = 1; m <= p.nprop; ++m) {
      const extended pm = ZQUTE1::SUBSTERM(p.prop[m], X, EM2X[e]);
      sump += pm;
      smallint row = 0;
      for (smallint c = 1; c <= NUV; ++c)
        if (BCOMPS[c]) w.C(++row, j) += pm * p.em[m].comp[c] / static_cast<extended>(COMPDIV[c]);
    }
    for (smallint row = 1; row <= NUVLEFT; ++row) w.C(row, j) /= sump;
    w.rec[j] = record;
    w.name[j] = p.name;
  }
  for (smallint k = 1; k <= NP0; ++k) {
    if (!ph[NPSS + k]) continue;
    const ptype0& p = (*PREC0)[k];
    SU.ph[++record].hasmode = hasfreeamount(p.comp);
    if (!SU.ph[record].hasmode) continue;
    const smallint j = ++w.nm;
    smallint row = 0;
    for (smallint c = 1; c <= NUV; ++c)
      if (BCOMPS[c]) w.C(++row, j) = p.comp[c] / static_cast<extended>(COMPDIV[c]);
    w.rec[j] = record;
    w.name[j] = p.name;
  }
  smallint nfree = 0;
  for (smallint c = 1; c <= NUV; ++c)
    if (BCOMPS[c]) ++nfree;
  if (nfree != NUVLEFT) IO::ERROREXIT("makec", "nuvleft mismatch", yourfault);
}

// Whether the bulk of step k lies inside the sub-assemblage sub[1..ns]:
// its phases' amounts are all non-negative. Unless testonly, their modes,
// normalised, are left in w.modes (0 for the other phases). The columns
// are per atom of the free components, so the modes are too: the basis the
// equations take when they solve for the modes, and one that holds whether
// or not a component is set from outside (by a chemical potential, an
// activity or a buffered fluid).
bool isseen(smallint k, const colvector& sub, smallint ns, bool testonly) {
  afterwork& w = work();
  setbulk(k);
  for (smallint i = 1; i <= ns; ++i)
    for (smallint row = 1; row <= NUVLEFT; ++row) w.D(row, i) = w.C(row, sub[i]);
  for (smallint row = 1; row <= NUVLEFT; ++row) w.D(row, ns + 1) = COMPK[row];
  ZQNLE3::REALREACTION(w.D, NUVLEFT, static_cast<smallint>(ns + 1), w.v);
  const extended vb = w.v[ns + 1];
  if (std::fabs(vb) < bulkcoeftol) return false;
  bool inside = true;
  for (smallint i = 1; i <= ns; ++i) {
    w.v[i] = -w.v[i] / vb;
    if (w.v[i] < 0) inside = false;
  }
  if (!inside || testonly) return inside;
  for (smallint j = 1; j <= w.nm; ++j) w.modes[j] = 0;
  extended sum = 0;
  for (smallint i = 1; i <= ns; ++i) {
    w.modes[sub[i]] = w.v[i];
    sum += w.modes[sub[i]];
  }
  for (smallint i = 1; i <= ns; ++i) {
    extended& m = w.modes[sub[i]];
    m = std::fabs(sum) > sumtol ? m / sum : unnormalisedmode;
  }
  return true;
}

// Mode row `row` of every SU record cleared, then the last solved modes
// written to the mode phases' records.
void clearrow(smallint row) {
  for (smallint i = 1; i <= SU.nph; ++i) SU.ph[i].mode[row] = 0;
}

void writerow(smallint row) {
  const afterwork& w = work();
  for (smallint j = 1; j <= w.nm; ++j) SU.ph[w.rec[j]].mode[row] = w.modes[j];
}

// The reaction among the mode phases, by column; false when none was formed.
bool modereaction(const bemvector& ph, std::string& what) {
  afterwork& w = work();
  static IO::strings names{"after names"};
  static emvector nu{"after nu"};
  smallint count = 0;
  ZQNLE4::CALCREALREACTION(ph, names, nu, count, what);
  // A near-singular solve forms no reaction and leaves nu as it was.
  if (count == 0) return false;
  extended big = 0;
  for (smallint j = 1; j <= w.nm; ++j) {
    smallint k = 0;
    w.r[j] = IO::MATCHSTRING(w.name[j], names, count, k) ? nu[k] : 0;
    big = std::fmax(big, std::fabs(w.r[j]));
  }
  smallint nneg = 0;
  for (smallint j = 1; j <= w.nm; ++j) {
    if (std::fabs(w.r[j]) < tinyshare * big) w.r[j] = IO::MACHEPS;
    if (w.r[j] < 0) ++nneg;
  }
  if (2 * nneg > w.nm)
    for (smallint j = 1; j <= w.nm; ++j) w.r[j] = -w.r[j];
  return true;
}

// Freedom 1: each step is seen when the bulk lies in one of the
// sub-assemblages that leave out a phase on the reactant side; its two mode
// rows are the ends of the reaction's range at that bulk.
struct univariant {
  colvector neg{"after neg"}, pos{"after pos"}, sub{"after sub"};
  smallint nneg = 0, npos = 0;

  univariant() {
    const afterwork& w = work();
    for (smallint j = 1; j <= w.nm; ++j) {
      if (w.r[j] < 0)
        neg[++nneg] = j;
      else
        pos[++npos] = j;
    }
  }

  // Every phase but leftout, the positive ones first.
  smallint allbut(smallint leftout) {
    smallint ns = 0;
    for (smallint i = 1; i <= npos; ++i) sub[++ns] = pos[i];
    for (smallint i = 1; i <= nneg; ++i)
      if (neg[i] != leftout) sub[++ns] = neg[i];
    return ns;
  }

  // The trials leaving out one negative phase each: 1 seen, 0 not, -1 bad.
  smallint firstend(smallint k, bool testonly) {
    if (nneg == 1) return isseen(k, sub, allbut(neg[1]), testonly) ? 1 : 0;
    for (smallint t = 1; t <= nneg; ++t) {
      const smallint ns = allbut(neg[t]);
      if (ns != NUVLEFT) return -1;
      if (isseen(k, sub, ns, testonly)) return 1;
    }
    return 0;
  }

  // The trials leaving out one positive phase each, the negative ones first.
  bool secondend(smallint k) {
    for (smallint t = 1; t <= npos; ++t) {
      smallint ns = 0;
      for (smallint i = 1; i <= nneg; ++i) sub[++ns] = neg[i];
      for (smallint i = 1; i <= npos; ++i)
        if (i != t) sub[++ns] = pos[i];
      if (ns == NUVLEFT && isseen(k, sub, ns, false)) return true;
    }
    return false;
  }

  void run() {
    smallint s = 0;
    for (smallint k = 1; k <= NCOMP; ++k) {
      setbulk(k);
      const smallint status = firstend(k, true);
      SU.prop[k] = PROPK;
      SU.stepstatus[k] = status;
      if (status != 1) continue;
      if (s == maxseensteps) IO::ERROREXIT("modes after nle", "too many", yourfault);
      const smallint row = static_cast<smallint>(2 * s + 1);
      clearrow(row);
      clearrow(row + 1);
      firstend(k, false);
      writerow(row);
      if (SU.firstmodeset == 0) SU.firstmodeset = k;
      ++s;
      if (secondend(k)) writerow(row + 1);
    }
    SU.nmodeset = static_cast<smallint>(2 * s);
  }
};

// Freedom 2: the mode phases are a square system for every step.
void divariant() {
  const afterwork& w = work();
  colvector all{"after all"};
  for (smallint j = 1; j <= w.nm; ++j) all[j] = j;
  for (smallint k = 1; k <= NCOMP; ++k) {
    if (!isseen(k, all, w.nm, false)) {
      SU.stepstatus[k] = 0;
      continue;
    }
    SU.prop[k] = PROPK;
    SU.stepstatus[k] = 1;
    if (SU.firstmodeset == 0) SU.firstmodeset = k;
    if (SU.nmodeset == maxseensteps) IO::ERROREXIT("modes after nle", "too many modes", yourfault);
    // The phases of the chemical potentials carry no free component, so
    // they are never mode phases: the modes already sum to 1 over the real
    // phases.
    const smallint row = ++SU.nmodeset;
    clearrow(row);
    writerow(row);
  }
}

}  // namespace

void NORMCONST(const bemvector& ph, eqvector& a, eqvector& b, smallint& n) {
  for (smallint i = 1; i <= maxeq; ++i) a[i] = b[i] = 0;
  n = 0;
  cvector comp{"normconst comp"};
  for (smallint e = 1; e <= NCV; ++e) {
    if (!STARTSS[e] || !ph[EM2SS[e]]) continue;
    if (EXBUFF && (*PREC1)[EM2SS[e]].isfluid) continue;
    ++n;
    ZQNLE3::MAKEPHASE(e, comp);
    for (smallint c = 1; c <= NUV; ++c) {
      a[n] += comp[c] * ICOMP[c];
      if (BCOMPS[c]) b[n] += comp[c] * ICOMP[c];
    }
  }
  for (smallint k = 1; k <= NP0; ++k) {
    const ptype0& p = (*PREC0)[k];
    if (!ph[NPSS + k] || fixedpure(p.name) || !hasfreeamount(p.comp)) continue;
    ++n;
    for (smallint c = 1; c <= NUV; ++c) {
      const extended atoms = p.comp[c] * ICOMP[c] / static_cast<extended>(COMPDIV[c]);
      a[n] += atoms;
      if (BCOMPS[c]) b[n] += atoms;
    }
  }
  for (smallint i = static_cast<smallint>(n + 1); i <= maxeq; ++i) a[i] = b[i] = 1;
}

void AFTER(const bemvector& ph, bool& ok, std::string& what, eqvector& a, eqvector& b) {
  ZQNLE2::whereat("+after");
  afterwork& w = work();
  what = "????";
  makec(ph, w);
  smallint n = 0;
  NORMCONST(ph, a, b, n);
  if (n != w.nm) {
    char line[32];
    std::snprintf(line, sizeof line, "%4d%4d\n", static_cast<int>(w.nm), static_cast<int>(n));
    IO::WRITETERMINAL(line);
    IO::ERROREXIT("calcmodesafternle", "dimensions do not match", yourfault);
  }
  for (smallint j = 1; j <= w.nm; ++j)
    for (smallint row = 1; row <= NUVLEFT; ++row) w.C(row, j) /= b[j];
  for (smallint k = 1; k <= maxmodeset; ++k) SU.stepstatus[k] = 0;
  SU.nmodeset = 0;
  SU.firstmodeset = 0;
  const int freedom = 2 - w.nm + NUVLEFT - RANKDEFICIT;
  if (freedom == 1 && modereaction(ph, what)) univariant().run();
  if (freedom == 2) divariant();
  NXP = w.nm;
  ok = false;
  for (smallint k = 1; k <= maxmodeset; ++k)
    if (SU.stepstatus[k] == 1) ok = true;
  ZQNLE2::whereat("-after");
}

}  // namespace ZQNLE1
