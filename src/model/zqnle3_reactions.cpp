// The composition of a solution phase at the solver's unknowns, the one
// reaction among the columns of a real composition matrix by Gaussian
// elimination with column interchanges, and a reaction as text with small
// whole or tenth coefficients.
#include <cmath>
#include <string>
#include <utility>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace ZQNLE3 {

namespace {

// Entries smaller than this are zero in the elimination.
constexpr extended REACTIONTINY = 1e-5L;
// Shares of the largest coefficient above which a term is significant, and
// present.
constexpr extended SIGNIFICANTSHARE = 0.001L;
constexpr extended PRESENTSHARE = 1e-7L;
// Where the search for the smallest significant coefficient starts.
constexpr extended AMINSTART = 10000;
// Columns the working copy of REALREACTION holds: the columns of a cmatrix.
constexpr long maxreactioncols = maxem;

// The elimination's working copy of c; rows beyond m read as zero, as the
// copy never filled them.
struct elimination {
  cmatrix a{"realreaction a"};
  farray<smallint, 1, maxreactioncols> perm{"realreaction perm"};
  emvector y{"realreaction y"};
  long m = 0, n = 0;

  extended at(long i, long j) const { return i <= m ? a(i, j) : 0; }

  // The first entry of size at least REACTIONTINY, column by column from
  // column k and rows k..m within a column; false when there is none.
  bool findpivot(long k, long& row, long& col) const {
    for (long j = k; j <= n; ++j)
      for (long r = k; r <= m; ++r)
        if (std::fabs(a(r, j)) >= REACTIONTINY) {
          row = r;
          col = j;
          return true;
        }
    return false;
  }

  void swapcolumns(long j, long k) {
    for (long r = 1; r <= m; ++r) std::swap(a(r, j), a(r, k));
    std::swap(perm[j], perm[k]);
  }

  void swaprows(long r, long k) {
    for (long l = 1; l <= n; ++l) std::swap(a(r, l), a(k, l));
  }

  // Clears column k below the pivot row k.
  void eliminate(long k) {
    const extended rp = 1 / a(k, k);
    for (long i = k + 1; i <= m; ++i) {
      const extended f = a(i, k);
      if (f == 0) continue;
      for (long l = k + 1; l <= n; ++l) {
        a(i, l) -= f * a(k, l) * rp;
        if (std::fabs(a(i, l)) < REACTIONTINY) a(i, l) = 0;
      }
      a(i, k) = 0;
    }
  }

  void run() {
    for (long k = 1; k <= n; ++k) {
      long row = 0, col = 0;
      if (!findpivot(k, row, col)) break;
      if (col > k) swapcolumns(col, k);
      if (row > k) swaprows(row, k);
      eliminate(k);
    }
  }

  // The first n - 1 permuted columns against the last.
  void backsubstitute() {
    for (long i = n - 1; i >= 1; --i) {
      if (std::fabs(at(i, i)) < REACTIONTINY) {
        y[i] = 0;
        continue;
      }
      extended s = at(i, n);
      for (long l = i + 1; l <= n - 1; ++l) s -= at(i, l) * y[l];
      y[i] = s / at(i, i);
    }
  }
};

// The text of one term: coefficient and name, no blank between.
void addterm(long q, bool units, const sstring& name, bool& first, std::string& s) {
  if (!first) s += " + ";
  first = false;
  const long size = q < 0 ? -q : q;
  if (size < 10) {
    s += "0";
  } else {
    const long shown = units ? std::lround(static_cast<double>(size) / 10) : size;
    if (shown != 1) s += IO::INT2STR(static_cast<extended>(shown));
  }
  s += name;
}

}  // namespace

void MAKEPHASE(smallint i, cvector& comp) {
  const ptype1& ph = (*PREC1)[EM2SS[i]];
  for (long c = 1; c <= NUV; ++c) comp[c] = 0;
  for (long j = 1; j <= ph.nprop; ++j) {
    const extended p = ZQUTE1::SUBSTERM(ph.prop[j], X, EM2X[i]);
    for (long c = 1; c <= NUV; ++c) comp[c] += p * ph.em[j].comp[c] / COMPDIV[c];
  }
}

void REALREACTION(const cmatrix& c, smallint m, smallint n, emvector& nu) {
  // Some 170 kB: made once, kept for the run.
  static elimination e;
  IO::INTERNALCHECK(m >= 0 && m <= maxcomp && n >= 1 && n <= maxreactioncols, "realreaction",
                    "matrix beyond the composition matrices");
  e.m = m;
  e.n = n;
  for (long r = 1; r <= m; ++r)
    for (long j = 1; j <= n; ++j) e.a(r, j) = c(r, j);
  for (long j = 1; j <= n; ++j) e.perm[j] = static_cast<smallint>(j);
  e.run();
  if (n - 1 != m && !(std::fabs(e.at(n, n)) < REACTIONTINY))
    IO::ERROREXIT("realreaction", "no reaction - WHY", myfault);
  e.backsubstitute();
  for (long j = 1; j <= NCV; ++j) nu[j] = 0;
  for (long i = 1; i <= n - 1; ++i) nu[e.perm[i]] = e.y[i];
  nu[e.perm[n]] = -1;
}

void REACTION2STRING(const emvector& nu, const IO::strings& names, smallint n, std::string& s) {
  extended amax = 0;
  for (long i = 1; i <= n; ++i) amax = std::fmax(amax, std::fabs(nu[i]));
  // Per term: 2 significant, 1 present only, 0 absent.
  farray<smallint, 1, maxem> kind{"reaction2string kind"};
  extended amin = AMINSTART;
  for (long i = 1; i <= n; ++i) {
    const extended r = amax > 0 ? std::fabs(nu[i]) / amax : 0;
    kind[i] = r > SIGNIFICANTSHARE ? 2 : r > PRESENTSHARE ? 1 : 0;
    if (kind[i] == 2) amin = std::fmin(amin, std::fabs(nu[i]));
  }
  farray<long, 1, maxem> q{"reaction2string q"};
  bool units = true;
  for (long i = 1; i <= n; ++i) {
    if (kind[i] == 2)
      q[i] = std::lround(static_cast<double>(10 * nu[i] / amin));
    else
      q[i] = kind[i] == 1 ? (nu[i] <= 0 ? -1 : 1) : 0;
    if (q[i] % 10 != 0) units = false;
  }
  s.clear();
  bool first = true;
  for (long i = 1; i <= n; ++i)
    if (q[i] < 0) addterm(q[i], units, names[i], first, s);
  s += " = ";
  first = true;
  for (long i = 1; i <= n; ++i)
    if (q[i] > 0) addterm(q[i], units, names[i], first, s);
}

}  // namespace ZQNLE3
