// Mineral analyses into compositional variables: cations per formula unit,
// the plain recalculation, and the working analysis with its Monte Carlo
// spread of the variables.
#include <algorithm>
#include <cmath>
#include <string>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "frame/zqute1.h"
#include "utilities/zqmode0.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

bool (*MCSAMPLEFAILS)(smallint t) = nullptr;

namespace {

constexpr smallint mcsamples = 5000;           // Monte Carlo analyses per mineral
constexpr extended fe2o3perfeo = 1.111349L;    // wt% Fe2O3 holding the iron of 1 wt% FeO
constexpr extended minsuccess = 0.3L;          // smallest share of successful samples
constexpr extended maxcorrelation = 0.95L;     // bound on a correlation's magnitude
constexpr extended minspread = 1e-5L;          // smallest sd that forms a correlation
constexpr extended twopi = 6.283185307179586476925L;
// Bound on the size of a drawn ln wt%. A trace entry's sd of ln wt% grows as
// 1/sqrt(wt%) and can pass the number range (about 11356 in ln) in a draw,
// and then every ratio of the sample is inf/inf. An entry drawn past
// e^1000 wt% outweighs every other entry by far more than any printed digit,
// and one drawn below e^-1000 weighs nothing, so holding it there changes
// no result; within it the cations of two entries are at most e^2000 apart,
// and a term's product of up to four of them stays in range.
constexpr extended maxdrawnlnwt = 1000;

static_assert(mcsamples <= maxsortlen, "the median routines hold every sample");

// The samples' variables, row by row; kept here rather than on the stack.
fmatrix<extended, 1, mcsamples, 1, maxssem> samples{"mc samples"};
sortvector sorted{"mc sorted"};

// The row of the element/oxide table holding oxide name, 0 when none.
smallint tablerow(const sstring& name) {
  for (smallint r = 1; r <= maxcomp; ++r)
    if (OXNAME[r] == name) return r;
  return 0;
}

// A standard normal deviate from the program's generator (Box-Muller).
extended normaldeviate() {
  extended u1 = ZQMATH1::RANDOM();
  while (u1 <= 0) u1 = ZQMATH1::RANDOM();
  const extended u2 = ZQMATH1::RANDOM();
  return std::sqrt(-2 * std::log(u1)) * std::cos(twopi * u2);
}

// Iron written as FeOt or Fe2O3 becomes FeO before any entry is copied, so
// that the order of the entries never loses iron.
void mergeiron(mineraltype& m) {
  for (smallint j = 1; j <= m.nox; ++j)
    if (m.inoxide[j] == "FeOt") m.inoxide[j] = "FeO";
  for (smallint j = 1; j <= m.nox; ++j) {
    if (m.inoxide[j] != "Fe2O3") continue;
    smallint feo = 0;
    for (smallint k = 1; k <= m.nox && feo == 0; ++k)
      if (m.inoxide[k] == "FeO") feo = k;
    if (feo > 0) {
      m.wt[feo] += m.wt[j] / fe2o3perfeo;
      m.wt[j] = 0;
      m.inoxide[j] = "Cl2O";
    } else {
      m.inoxide[j] = "FeO";
      m.wt[j] = m.wt[j] / fe2o3perfeo;
    }
  }
}

// Appends one working entry from row r of the element/oxide table.
void addworking(mineraltype& m, cvector& w, smallint n, smallint r, extended amount) {
  w[n] = amount;
  m.molwt[n] = MOLWT[r];
  m.oxcations[n] = METALS[r];
  m.oxoxygens[n] = OXYGENS[r];
  m.cationname[n] = ELNAME[r];
  m.oxname[n] = OXNAME[r];
}

// The working analysis w of mineral m: its oxides of positive wt%, then the
// O entry that holds the ferric part of the iron.
void workinganalysis(mineraltype& m, cvector& w) {
  m.feopos = m.opos = m.fe2pos = m.fe3pos = 0;
  mergeiron(m);
  smallint n = 0;
  for (smallint j = 1; j <= m.nox; ++j) {
    const sstring& name = m.inoxide[j];
    if (name == "F" || name == "Cl" || name == "C" || name == "S")
      IO::ERROREXIT("calcxyz", name + " in " + m.name + " not implemented", yourfault);
    if (name == "O") IO::ERROREXIT("calcxyz", "O in analysis not implemented for " + m.name, yourfault);
    const smallint r = tablerow(name);
    if (r == 0) IO::ERROREXIT("calcxyz", "oxide unknown " + name, yourfault);
    if (m.wt[j] <= 0) continue;
    addworking(m, w, ++n, r, m.wt[j]);
    if (name == "FeO") m.feopos = n;
  }
  if (m.feopos == 0) {
    m.nox = n;
    return;
  }
  if (n >= maxcomp) IO::ERROREXIT("calcxyz", "too many oxides in " + m.name, yourfault);
  const smallint orow = tablerow("O"), feorow = tablerow("FeO");
  m.opos = m.nox = static_cast<smallint>(n + 1);
  addworking(m, w, m.opos, orow, 0.5L * std::exp(m.logx) * MOLWT[orow] * w[m.feopos] / MOLWT[feorow]);
  m.cationname[m.opos] = "Fe3";
  m.oxname[m.opos] = "Fe2O3";
  m.fe3pos = m.opos;
  m.cationname[m.feopos] = "Fe2";
  m.fe2pos = m.feopos;
}

// Each cation name of the phase's variables mapped onto its working entry.
void mapcations(const mineraltype& m) {
  ptype1& ph = (*PREC1)[m.phase];
  auto entry = [&m](const sstring& cation) -> smallint {
    for (smallint j = 1; j <= m.nox; ++j)
      if (m.cationname[j] == cation) return j;
    return 0;
  };
  for (smallint v = 1; v <= ph.nvar; ++v) {
    xvartype& x = ph.xvar[v];
    // An order variable is not recalculated, so its names take no part.
    if (!x.isorder) {
      const std::string at = " of " + x.name + " in " + m.name;
      for (smallint k = 1; k <= x.nnumnames; ++k) CHECKCATION(m, x.numnames[k], "the numerator" + at);
      for (smallint k = 1; k <= x.ndennames; ++k) CHECKCATION(m, x.dennames[k], "the denominator" + at);
    }
    for (smallint k = 1; k <= x.nnumnames; ++k) x.numcomp[k] = entry(x.numnames[k]);
    for (smallint k = 1; k <= x.ndennames; ++k) x.dencomp[k] = entry(x.dennames[k]);
  }
}

// Medians, spreads and correlations of the k samples into the record.
void spreads(mineraltype& m, smallint k) {
  const smallint nv = m.nxyz;
  empvector centre{"mc centre"};
  for (smallint v = 1; v <= nv; ++v) {
    for (smallint t = 1; t <= k; ++t) sorted[t] = samples(t, v);
    centre[v] = ZQMATH1::FINDMEDIAN(sorted, k);
    m.sdxyz[v] = ZQMATH1::FINDNMAD(sorted, k, centre[v]);
  }
  fmatrix<extended, 1, maxssem, 1, maxssem> cov{"mc cov"};
  for (smallint v = 1; v <= nv; ++v)
    for (smallint u = v; u <= nv; ++u) {
      extended s = 0;
      for (smallint t = 1; t <= k; ++t) s += (samples(t, u) - centre[u]) * (samples(t, v) - centre[v]) / (k - 1);
      cov(v, u) = s;
    }
  for (smallint v = 1; v <= nv; ++v)
    for (smallint u = v; u <= nv; ++u) {
      const extended sdv = std::sqrt(cov(v, v)), sdu = std::sqrt(cov(u, u));
      extended r = 0;
      if (std::fabs(sdv) >= minspread && std::fabs(sdu) >= minspread) r = u == v ? 1 : cov(v, u) / (sdv * sdu);
      if (u != v) r = std::fmax(-maxcorrelation, std::fmin(maxcorrelation, r));
      m.corxyz(v, u) = m.corxyz(u, v) = r;
    }
}

// Fatal for a central value whose denominator is 0, naming what met it.
void nodenominator(const mineraltype& m, smallint v) {
  IO::ERROREXIT("calcxyz", "denominator 0 for " + m.xyzname[v] + " in " + m.name, yourfault);
}

}  // namespace

void CHECKCATION(const mineraltype& m, const sstring& name, const std::string& what) {
  // A row of the table without a metal (oxygen) is never a working entry's
  // cation: the ferric entry is its row but is called Fe3.
  bool known = name == "Fe2" || name == "Fe3";
  for (smallint r = 1; r <= maxcomp && !known; ++r) known = ELNAME[r] == name && METALS[r] > 0;
  if (!known) IO::ERROREXIT("calcxyz", what + " names " + name + ", no cation", yourfault);
  if (name == "Fe" && m.feopos > 0) IO::ERROREXIT("calcxyz", what + " names Fe: its iron is Fe2 and Fe3", yourfault);
}

void CALCC(smallint i, const cvector& mol, cvector& c) {
  const mineraltype& m = MINERAL[i];
  cvector cat{"calcc cat"};
  extended osum = 0;
  for (smallint j = 1; j <= maxcomp; ++j) c[j] = cat[j] = 0;
  for (smallint j = 1; j <= m.nox; ++j) {
    if (j == m.opos || j == m.feopos) continue;
    cat[j] = mol[j] * m.oxcations[j];
    osum += mol[j] * m.oxoxygens[j];
  }
  if (m.opos > 0 && m.feopos > 0) {
    cat[m.opos] = 2 * mol[m.opos];
    cat[m.feopos] = mol[m.feopos] - 2 * mol[m.opos];
    osum += mol[m.opos] + mol[m.feopos];
  }
  for (smallint j = 1; j <= m.nox; ++j) c[j] = cat[j] * m.fu / osum;
}

smallint RECALC(smallint i, const cvector& wt, cvector& c, empvector& xyz, bool /*debug*/) {
  mineraltype& m = MINERAL[i];
  cvector p{"recalc p"};
  extended psum = 0;
  for (smallint j = 1; j <= m.nox; ++j) {
    p[j] = wt[j] / m.molwt[j];
    psum += p[j];
  }
  if (psum == 0) IO::ERROREXIT("recalc", "psum = 0", yourfault);
  for (smallint j = 1; j <= m.nox; ++j) p[j] = p[j] / psum;
  CALCC(i, p, c);
  return VARIABLES(i, c, xyz);
}

smallint VARIABLES(smallint i, const cvector& c, empvector& xyz) {
  mineraltype& m = MINERAL[i];
  const ptype1& ph = (*PREC1)[m.phase];
  eqvector u{"recalc u"};
  smallint n = 0, failed = 0;
  for (smallint v = 1; v <= ph.nvar; ++v) {
    const xvartype& x = ph.xvar[v];
    if (x.isorder) continue;
    for (smallint k = 1; k <= x.nnumnames; ++k) u[k] = x.numcomp[k] > 0 ? c[x.numcomp[k]] : 0;
    const extended num = ZQUTE1::SUBSTERM(x.numerator, u, 1);
    for (smallint k = 1; k <= x.ndennames; ++k) u[k] = x.dencomp[k] > 0 ? c[x.dencomp[k]] : 0;
    const extended den = ZQUTE1::SUBSTERM(x.denominator, u, 1);
    ++n;
    m.xyzname[n] = x.name;
    xyz[n] = den == 0 ? 0 : num / den;
    if (den == 0 && failed == 0) failed = n;
  }
  m.nxyz = n;
  return failed;
}

void CALCXYZ(smallint i) {
  mineraltype& m = MINERAL[i];
  cvector w{"calcxyz w"}, l{"calcxyz l"}, s{"calcxyz s"}, c{"calcxyz c"}, wsample{"calcxyz sample"};
  workinganalysis(m, w);
  if (m.useideal) IDEALROWS(i);
  mapcations(m);
  for (smallint j = 1; j <= m.nox; ++j) {
    l[j] = std::log(w[j]);
    if (j != m.opos) s[j] = m.sdlogwt / std::sqrt(w[j]);
  }
  if (m.feopos > 0 && m.opos > 0) s[m.opos] = std::sqrt(s[m.feopos] * s[m.feopos] + m.sdlogx * m.sdlogx);
  m.wtwork = w;
  empvector xyz0{"calcxyz xyz0"}, row{"calcxyz row"};
  smallint failed = 0;
  if (m.useideal)
    failed = IDEAL(i, w, s, c, xyz0, false, false);
  else
    failed = RECALC(i, w, c, xyz0, false);
  if (failed > 0) nodenominator(m, failed);
  m.wt = w;
  m.cid = c;
  if (!m.useideal) m.c0 = c;
  m.xyz = xyz0;

  smallint k = 0;
  for (smallint t = 1; t <= mcsamples; ++t) {
    for (smallint j = 1; j <= m.nox; ++j)
      wsample[j] = std::exp(std::clamp(l[j] + s[j] * normaldeviate(), -maxdrawnlnwt, maxdrawnlnwt));
    bool ok = m.useideal ? IDEAL(i, wsample, s, c, row, true, false) == 0 && row[1] >= 0
                         : RECALC(i, wsample, c, row, false) == 0;
    if (MCSAMPLEFAILS != nullptr && MCSAMPLEFAILS(t)) ok = false;
    if (!ok) continue;
    ++k;
    for (smallint v = 1; v <= m.nxyz; ++v) samples(k, v) = row[v];
  }
  if (k < mcsamples) {
    std::string line = "in mc, ";
    IO::ADDINT(k, 0, line);
    line += " of ";
    IO::ADDINT(mcsamples, 0, line);
    IO::PUTSTR(0, line + " successes", 2, CHANNEL::TERMSUMLOG);
  }
  if (k == 0) IO::ERROREXIT("calcxyz", "no successes in mcjx", yourfault);
  if (static_cast<extended>(k) / mcsamples < minsuccess)
    IO::ERROREXIT("calcxyz", "low number of successes in mcjx", yourfault);
  spreads(m, k);
}

}  // namespace ZQMODE0
