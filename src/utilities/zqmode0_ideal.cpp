// The ideal-analysis fit: the analysis moved, within its analytical
// uncertainty, onto up to four linear constraints on its cations, in the
// log-ratios of the oxide amounts; and the debug printers of both fits.
#include <cmath>
#include <functional>
#include <string>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqnle4_linalg.h"
#include "utilities/zqmode0.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

namespace {

constexpr smallint maxidealentries = maxinvorder + 1;  // the log-ratios fill the symmetric inverse
constexpr smallint maxiterations = 50;
constexpr extended divergednorm = 1;                    // a step this long gives up
constexpr extended convergednorm = 0.00005L;            // a step this short has converged
constexpr extended sigfitdivisor = 10;

// The fit's state of one call, kept off the stack and shared by its steps.
struct idealfit {
  smallint n = 0, nz = 0, nc = 0;
  cvector p{"ideal p"}, z0{"ideal z0"}, z{"ideal z"}, d{"ideal d"};
  invmatrix v{"ideal V"}, m{"ideal M"}, minv{"ideal Minv"};
  fmatrix<extended, 1, maxcomp, 1, maxcomp> g{"ideal G"};
  fmatrix<extended, 1, maxideal, 1, maxcomp> a{"ideal A"};
  farray<extended, 1, maxideal> r{"ideal r"}, mr{"ideal Minv r"};
};
idealfit fit;

// One Newton step of the fit from z; returns the length of the step.
extended idealstep(const mineraltype& mi) {
  idealfit& f = fit;
  for (smallint j = 1; j <= f.n; ++j)
    for (smallint k = 1; k <= f.nz; ++k) f.g(j, k) = j == k + 1 ? f.p[j] * (1 - f.p[j]) : -f.p[k + 1] * f.p[j];
  for (smallint c = 1; c <= f.nc; ++c)
    for (smallint k = 1; k <= f.nz; ++k) {
      extended s = 0;
      for (smallint j = 1; j <= f.n; ++j) s += mi.idealcoef(c, j) * f.g(j, k);
      f.a(c, k) = s;
    }
  for (smallint c = 1; c <= f.nc; ++c)
    for (smallint e = 1; e <= f.nc; ++e) {
      extended s = 0;
      for (smallint k = 1; k <= f.nz; ++k)
        for (smallint l = 1; l <= f.nz; ++l) s += f.a(c, k) * f.v(k, l) * f.a(e, l);
      f.m(c, e) = s;
    }
  if (f.nc == 1)
    f.minv(1, 1) = 1 / f.m(1, 1);
  else if (f.nc > 1)
    ZQNLE4::INVERSE(f.m, f.minv, f.nc);
  for (smallint c = 1; c <= f.nc; ++c) {
    extended s = 0;
    for (smallint j = 1; j <= f.n; ++j) s += mi.idealcoef(c, j) * f.p[j];
    for (smallint k = 1; k <= f.nz; ++k) s += f.a(c, k) * (f.z0[k] - f.z[k]);
    f.r[c] = s;
  }
  for (smallint c = 1; c <= f.nc; ++c) {
    extended s = 0;
    for (smallint e = 1; e <= f.nc; ++e) s += f.minv(c, e) * f.r[e];
    f.mr[c] = s;
  }
  extended norm = 0;
  for (smallint k = 1; k <= f.nz; ++k) {
    extended vatmr = 0;
    for (smallint l = 1; l <= f.nz; ++l)
      for (smallint c = 1; c <= f.nc; ++c) vatmr += f.v(k, l) * f.a(c, l) * f.mr[c];
    f.d[k] = (f.z0[k] - f.z[k]) - vatmr;
    norm += f.d[k] * f.d[k];
  }
  for (smallint k = 1; k <= f.nz; ++k) f.z[k] += f.d[k];
  extended sum = 1;
  for (smallint k = 1; k <= f.nz; ++k) sum += std::exp(f.z[k]);
  f.p[1] = 1 / sum;
  for (smallint k = 1; k <= f.nz; ++k) f.p[k + 1] = std::exp(f.z[k]) * f.p[1];
  return std::sqrt(norm);
}

// sqrt(q / 10) with q the fitted log-ratios' distance from the analysis's,
// weighted by their inverse covariance.
extended sigfitof() {
  idealfit& f = fit;
  ZQNLE4::INVERSE(f.v, f.m, f.nz);
  extended q = 0;
  for (smallint k = 1; k <= f.nz; ++k)
    for (smallint l = 1; l <= f.nz; ++l) q += (f.z0[k] - f.z[k]) * f.m(k, l) * (f.z0[l] - f.z[l]);
  return std::sqrt(q / sigfitdivisor);
}

// The coefficient constraint c gives the cations called name: the sum of
// its terms of that name (a cation written twice is counted twice, as the
// heading writes it), 0 when it names none.
extended constraintcoef(const mineraltype& m, smallint c, const sstring& name) {
  extended k = 0;
  for (smallint t = 1; t <= m.nidealterm[c]; ++t)
    if (m.idealname(c, t) == name) k += m.idealcoef(c, t);
  return k;
}

// A row that the rows before it already give (a constraint written twice,
// or one that follows from others) adds nothing the fit must meet, and would
// leave it a singular system: the rows are kept only while they add a
// direction, found by orthogonalising them in turn.
smallint independentrows(fmatrix<extended, 1, maxideal, 1, maxcomp>& rows, smallint nc, smallint n) {
  constexpr extended dependent = 1e-12L;  // of a row's length, what is left of it is rounding
  fmatrix<extended, 1, maxideal, 1, maxcomp> basis{"ideal basis"};
  smallint kept = 0;
  for (smallint c = 1; c <= nc; ++c) {
    extended length = 0;
    for (smallint j = 1; j <= n; ++j) {
      basis(kept + 1, j) = rows(c, j);
      length += rows(c, j) * rows(c, j);
    }
    for (smallint b = 1; b <= kept; ++b) {
      extended dot = 0;
      for (smallint j = 1; j <= n; ++j) dot += basis(kept + 1, j) * basis(b, j);
      for (smallint j = 1; j <= n; ++j) basis(kept + 1, j) -= dot * basis(b, j);
    }
    extended left = 0;
    for (smallint j = 1; j <= n; ++j) left += basis(kept + 1, j) * basis(kept + 1, j);
    if (!(left > dependent * dependent * length)) continue;
    ++kept;
    const extended norm = std::sqrt(left);
    for (smallint j = 1; j <= n; ++j) {
      basis(kept, j) /= norm;
      rows(kept, j) = rows(c, j);
    }
  }
  return kept;
}

void checkcationnames(const mineraltype& m) {
  for (smallint c = 1; c <= m.nideal; ++c)
    for (smallint t = 1; t <= m.nidealterm[c]; ++t)
      CHECKCATION(m, m.idealname(c, t), "an ideal constraint of " + m.name);
}

}  // namespace

void IDEALROWS(smallint i) {
  mineraltype& m = MINERAL[i];
  checkcationnames(m);
  fmatrix<extended, 1, maxideal, 1, maxcomp> rows{"ideal rows"};
  const bool ironpair = m.opos > 0 && m.feopos > 0;
  for (smallint c = 1; c <= m.nideal; ++c)
    for (smallint j = 1; j <= m.nox; ++j) {
      // The constraint's weight on one mole of entry j: the cations that mole
      // gives each name, as the tables count them. The O entry carries the
      // ferric iron, two Fe3 per O taken from the FeO entry's Fe2, so a
      // constraint on Fe3 or Fe2 alone holds on those printed cations, and
      // one on Fe2 + Fe3 on all of the iron.
      extended cations = m.oxcations[j] * constraintcoef(m, c, m.cationname[j]);
      if (ironpair && j == m.opos)
        cations = 2 * (constraintcoef(m, c, m.cationname[m.opos]) - constraintcoef(m, c, m.cationname[m.feopos]));
      else if (ironpair && j == m.feopos)
        cations = constraintcoef(m, c, m.cationname[m.feopos]);
      rows(c, j) = m.oxoxygens[j] * (m.idealvalue[c] - m.idealconst[c]) - cations * m.fu;
    }
  m.nideal = independentrows(rows, m.nideal, m.nox);
  for (smallint c = 1; c <= m.nideal; ++c)
    for (smallint j = 1; j <= m.nox; ++j) m.idealcoef(c, j) = rows(c, j);
}

smallint IDEAL(smallint i, cvector& wt, const cvector& s, cvector& c, empvector& xyz, bool sample, bool /*debug*/) {
  mineraltype& m = MINERAL[i];
  idealfit& f = fit;
  if (m.nox > maxidealentries) IO::ERROREXIT("ideal", "too many oxides for the ideal fit of " + m.name, yourfault);
  f.n = m.nox;
  f.nz = static_cast<smallint>(m.nox - 1);
  f.nc = m.nideal;
  extended psum = 0;
  for (smallint j = 1; j <= f.n; ++j) {
    f.p[j] = wt[j] / m.molwt[j];
    psum += f.p[j];
  }
  if (psum == 0) IO::ERROREXIT("ideal", "psum = 0", yourfault);
  for (smallint j = 1; j <= f.n; ++j) f.p[j] = f.p[j] / psum;
  if (!sample) CALCC(i, f.p, m.c0);
  for (smallint j = 1; j <= f.n; ++j)
    if (f.p[j] <= 0) IO::ERROREXIT("ideal", "p <= 0", yourfault);
  for (smallint k = 1; k <= f.nz; ++k) {
    f.z0[k] = f.z[k] = std::log(f.p[k + 1] / f.p[1]);
    for (smallint l = 1; l <= f.nz; ++l) f.v(k, l) = s[1] * s[1] + (k == l ? s[k + 1] * s[k + 1] : 0);
  }
  extended norm = 0;
  for (smallint it = 1; it <= maxiterations; ++it) {
    norm = idealstep(m);
    if (norm > divergednorm || norm < convergednorm) break;
  }
  if (!(norm < convergednorm)) {
    if (sample) {
      for (smallint v = 1; v <= m.nxyz; ++v) xyz[v] = -1;
      return -1;
    }
    IO::PUTSTR(1, "ideal analysis iteration did not converge for " + m.name, 1, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, "instead, here is the ordinary recalc result:", 1, CHANNEL::TERMSUMLOG);
    IO::ERROREXIT("ideal", "ideal analysis calculation failed", yourfault);
  }
  CALCC(i, f.p, c);
  if (!sample) {
    extended grams = 0;
    for (smallint l = 1; l <= f.n; ++l) grams += m.molwt[l] * f.p[l];
    for (smallint j = 1; j <= f.n; ++j) wt[j] = 100 * m.molwt[j] * f.p[j] / grams;
    m.sigfit = sigfitof();
  }
  return VARIABLES(i, c, xyz);
}

}  // namespace ZQMODE0

namespace ZQMODE0 {

namespace {

// One labelled row of n values to standard output.
void debugrow(const std::string& label, smallint n, const std::function<extended(smallint)>& value) {
  std::string w;
  IO::ADDSTR(label, -6, w);
  for (smallint j = 1; j <= n; ++j) IO::ADDREAL(value(j), 5, true, 12, w);
  IO::WRITETERMINAL(w + "\n");
}

}  // namespace

void DEBUGIDEAL(smallint i, smallint iteration, const cvector& p0, const cvector& last) {
  const mineraltype& m = MINERAL[i];
  const idealfit& f = fit;
  debugrow(" p0", f.n, [&](smallint j) { return p0[j]; });
  for (smallint c = 1; c <= f.nc; ++c) debugrow("A0", f.n, [&](smallint j) { return m.idealcoef(c, j); });
  for (smallint j = 1; j <= f.n; ++j) debugrow("J", f.nz, [&](smallint k) { return f.g(j, k); });
  for (smallint c = 1; c <= f.nc; ++c) debugrow("A", f.nz, [&](smallint k) { return f.a(c, k); });
  for (smallint c = 1; c <= f.nc; ++c) debugrow("AVzAT", f.nc, [&](smallint e) { return f.m(c, e); });
  for (smallint c = 1; c <= f.nc; ++c) debugrow("inv", f.nc, [&](smallint e) { return f.minv(c, e); });
  debugrow("last", f.nz, [&](smallint k) { return last[k]; });
  debugrow("delz", f.nz, [&](smallint k) { return f.d[k]; });
  IO::WRITETERMINAL(IO::INT2STR(iteration) + "\n");
  debugrow(" p", f.n, [&](smallint j) { return f.p[j]; });
  IO::WRITETERMINAL("-------------------------\n");
}

void DEBUGRECALC(smallint i, const cvector& w, const cvector& p, const cvector& c) {
  const mineraltype& m = MINERAL[i];
  std::string head = "      ";
  for (smallint j = 1; j <= m.nox; ++j) IO::ADDNAME(m.oxname[j], 12, head);
  IO::WRITETERMINAL(head + "\n");
  debugrow("w  ", m.nox, [&](smallint j) { return w[j]; });
  debugrow("p  ", m.nox, [&](smallint j) { return p[j]; });
  debugrow("G.p", m.nox, [&](smallint j) { return m.molwt[j] * p[j]; });
  debugrow("c  ", m.nox, [&](smallint j) { return c[j]; });
}

}  // namespace ZQMODE0
