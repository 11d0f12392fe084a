// The judgement of the enthalpy covariances a calculation uses. A data-set
// file holds them rounded (calc mode 9 writes 4 decimals), so a block read
// from a covariance matrix may itself be none by a little. The block of the
// end-members in the reactions is refused exactly where no matrix within
// that rounding of it is a covariance matrix, and used otherwise: as read
// where it is one, else as a covariance matrix within its rounding, the
// nearest to it that is found. What was read is never written.
//
// Within the rounding: C + E with |E(i,j)| <= h(i,j), h from the reader.
// The largest v'(C + E)v over every such E is v'Cv + |v|'h|v|, so a v with
// v'Cv + |v|'h|v| < 0 proves that no C + E is a covariance matrix. The
// directions tried: the eigenvectors of C's negative eigenvalues, each
// member alone, each pair, the vectors the signs of those lead to, and the
// directions a search between the box of the rounding and the covariance
// matrices finds where the two do not meet. Where no proof is found the
// search's covariance matrix within the rounding is the one used.
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "input/zqread1.h"
#include "input/zqread2.h"

using namespace ZQGLOBAL;

namespace {

// Eigenvalues come out to a few units in the last place of the largest
// entry per order of the block: a value within this many of them is 0.
constexpr extended arithmeticunits = 64;
// Sign patterns tried from one direction before it is given up.
constexpr int refinerounds = 8;
// Steps of the search between the box and the covariance matrices, and how
// often its box point is looked at for a proof that they do not meet.
constexpr long searchsteps = 10000;
constexpr long gapevery = 10;
// The share of the rounding the search's box keeps, so that the covariance
// matrix it finds lies inside the rounding rather than on its edge.
constexpr extended narrowed = 1 - 1e-3L;

// A data-set record behind the covariances of an end-member, with the size
// of its coefficient there.
struct source {
  smallint record = 0;
  extended weight = 0;
};
using sourcelist = farray<source, 1, maxmake>;

// A phase-table number that TD holds as a real; one that is none meets the
// tables' own index checks.
long tableindex(extended x) { return std::fabs(x) < 1e9L ? static_cast<long>(std::nearbyint(x)) : 0L; }

// The records whose covariances make those of the end-member at place p: its
// own, or, for a made end-member, those of its recipe. None for a row the
// calculation made itself (a pseudo end-member), whose covariance is exact.
smallint sources(long p, sourcelist& s) {
  smallint n = 0;
  const auto add = [&](const sstring& name, extended weight) {
    smallint record = 0;
    if (ZQREAD2::ISPHNAME(name, record)) s[++n] = {record, std::fabs(weight)};
  };
  const long e = tableindex((*TD)(p, TDSLOT::MAKEEM));
  if (e != 0 && !WITHOLDSET) {
    const long ph = tableindex((*TD)(p, TDSLOT::MAKEPHASE));
    const auto recipe = [&](smallint nmake, smallint divisor, const makestype& names, const makeitype& coefs) {
      for (smallint k = 1; k <= nmake; ++k)
        add(names[k], static_cast<extended>(coefs[k]) / (divisor != 0 ? divisor : 1));
    };
    if (ph > 0) {
      const emtype& em = (*PREC1)[ph].em[e];
      recipe(em.nmake, em.makediv, em.makename, em.makecoef);
    } else {
      const ptype0& p0 = (*PREC0)[e];
      recipe(p0.nmake, p0.makediv, p0.makename, p0.makecoef);
    }
    if (n > 0) return n;
  }
  add(NAME[p], 1);
  return n;
}

// The block of the end-members in the reactions with its rounding, and the
// judgement of any of its sub-blocks: within its rounding, with a covariance
// matrix there, or beyond it, shown by a certificate.
struct covblock {
  std::vector<long> at;  // places in NAME, ascending
  ZQMATH1::eigenmatrix c{"covariance block"}, h{"covariance rounding"};
  // The sub-block judged last, its rounding, and the matrix it is used as.
  ZQMATH1::eigenmatrix sc{"covariance sub-block"}, sh{"covariance sub-block rounding"};
  ZQMATH1::eigenmatrix used{"covariance used"};
  ZQMATH1::eigenmatrix work{"covariance rotations"}, vectors{"covariance eigenvectors"};
  ZQMATH1::eigenmatrix x{"covariance search"}, p{"covariance search p"}, q{"covariance search q"};
  ZQMATH1::eigenmatrix best{"covariance search closest"};
  ZQMATH1::eigenmatrix turned{"covariance signed rounding"};
  emvector values{"covariance eigenvalues"}, v{"covariance direction"};
  long m = 0;
  extended slack = 0;  // the arithmetic's share of eigenvalues and forms

  // The sub-block of members (1-based into at).
  void load(const std::vector<long>& members) {
    m = static_cast<long>(members.size());
    extended largest = 0;
    for (long i = 1; i <= m; ++i)
      for (long j = 1; j <= m; ++j) {
        const long a = members[static_cast<std::size_t>(i - 1)], b = members[static_cast<std::size_t>(j - 1)];
        sc(i, j) = c(a, b);
        sh(i, j) = h(a, b);
        largest = std::fmax(largest, std::fabs(sc(i, j)));
      }
    slack = arithmeticunits * static_cast<extended>(m) * std::numeric_limits<extended>::epsilon() * largest;
  }

  // The eigenvalues (ascending) and eigenvectors of a.
  void decompose(const ZQMATH1::eigenmatrix& a) {
    for (long i = 1; i <= m; ++i)
      for (long j = 1; j <= m; ++j) work(i, j) = a(i, j);
    ZQMATH1::SYMMETRICEIGEN(m, work, values, vectors);
  }

  // The largest v'(C + E)v over every E within the rounding is
  // v'Cv + |v|'h|v|: below 0, no matrix within the rounding is a
  // covariance matrix. The arithmetic's share is kept out of the proof.
  bool shows(const emvector& d) const {
    extended form = 0, norm = 0;
    for (long i = 1; i <= m; ++i) {
      norm += d[i] * d[i];
      for (long j = 1; j <= m; ++j) form += d[i] * sc(i, j) * d[j] + std::fabs(d[i]) * sh(i, j) * std::fabs(d[j]);
    }
    return norm > 0 && form < -slack * norm;
  }
  bool showsvector(long k) {
    for (long i = 1; i <= m; ++i) v[i] = vectors(i, k);
    return shows(v);
  }

  // From the direction in v: with the signs s of v the largest form is
  // v'(C + S h S)v, whose least over unit vectors is the least eigenvalue;
  // its eigenvector is tried and its signs taken again, until they repeat.
  bool refined() {
    for (int round = 0; round < refinerounds; ++round) {
      if (shows(v)) return true;
      for (long i = 1; i <= m; ++i)
        for (long j = 1; j <= m; ++j)
          turned(i, j) = sc(i, j) + (v[i] < 0 ? -1 : 1) * (v[j] < 0 ? -1 : 1) * sh(i, j);
      decompose(turned);
      if (!(values[1] < -slack)) return false;
      bool same = true;
      for (long i = 1; i <= m; ++i) {
        same = same && ((vectors(i, 1) < 0) == (v[i] < 0));
        v[i] = vectors(i, 1);
      }
      if (same) return shows(v);
    }
    return false;
  }

  // A member alone, or a pair: the pair's form with v = (1, t) is
  // (c11 + h11) - 2t(|c12| - h12) + t^2 (c22 + h22), least at t = g/b.
  bool fewcertificate() {
    for (long i = 1; i <= m; ++i) {
      for (long k = 1; k <= m; ++k) v[k] = k == i ? 1 : 0;
      if (shows(v)) return true;
    }
    for (long i = 1; i <= m; ++i)
      for (long j = i + 1; j <= m; ++j) {
        const extended a = sc(i, i) + sh(i, i), b = sc(j, j) + sh(j, j), g = std::fabs(sc(i, j)) - sh(i, j);
        if (!(g > 0) || a < 0 || b < 0) continue;
        for (long k = 1; k <= m; ++k) v[k] = 0;
        const extended sign = sc(i, j) < 0 ? 1 : -1;
        if (b > 0)
          v[i] = 1, v[j] = sign * g / b;
        else if (a > 0)
          v[j] = 1, v[i] = sign * g / a;
        else
          v[i] = 1, v[j] = sign;
        if (shows(v)) return true;
      }
    return false;
  }

  // The covariance matrix nearest to a, its negative eigenvalues taken as
  // 0, into out.
  void nearest(const ZQMATH1::eigenmatrix& a, ZQMATH1::eigenmatrix& out) {
    decompose(a);
    for (long i = 1; i <= m; ++i)
      for (long j = i; j <= m; ++j) {
        extended s = 0;
        for (long k = 1; k <= m; ++k)
          if (values[k] > 0) s += values[k] * vectors(i, k) * vectors(j, k);
        out(i, j) = out(j, i) = s;
      }
  }

  bool withinrounding(const ZQMATH1::eigenmatrix& a) const {
    for (long i = 1; i <= m; ++i)
      for (long j = 1; j <= m; ++j)
        if (!(std::fabs(a(i, j) - sc(i, j)) <= sh(i, j) + slack)) return false;
    return true;
  }

  // Where the box of the rounding and the covariance matrices do not meet,
  // the box's point nearest them has negative eigenvalues whose directions
  // show it, one by one or together: Y, the sum of -lambda u u' over them,
  // has <Y, C + E> <= <Y, C> + <|Y|, h> < 0 for every E within the rounding,
  // while <Y, X> >= 0 for every covariance matrix X.
  bool gapcertificate() {
    decompose(x);
    for (long k = 1; k <= m && values[k] < -slack; ++k) {
      for (long i = 1; i <= m; ++i) v[i] = vectors(i, k);
      if (refined()) return true;
      decompose(x);
    }
    extended form = 0, trace = 0;
    for (long i = 1; i <= m; ++i)
      for (long j = 1; j <= m; ++j) {
        extended y = 0;
        for (long k = 1; k <= m && values[k] < 0; ++k) y -= values[k] * vectors(i, k) * vectors(j, k);
        form += y * sc(i, j) + std::fabs(y) * sh(i, j);
        if (i == j) trace += y;
      }
    return trace > 0 && form < -slack * trace;
  }

  // Whether the sub-block of members is beyond its rounding; where it is
  // not, used holds the covariance matrix it is taken as. With eigenonly,
  // only the eigenvectors of its negative eigenvalues are tried.
  bool beyond(const std::vector<long>& members, bool eigenonly = false) {
    load(members);
    decompose(sc);
    if (!(values[1] < -slack)) {
      for (long i = 1; i <= m; ++i)
        for (long j = 1; j <= m; ++j) used(i, j) = sc(i, j);
      return false;
    }
    for (long k = 1; k <= m && values[k] < -slack; ++k)
      if (showsvector(k)) return true;
    if (eigenonly) return false;
    // Rounding alone may have made it indefinite: the covariance matrix
    // nearest to it, where that lies within the rounding.
    nearest(sc, used);
    if (withinrounding(used)) return false;
    if (fewcertificate()) return true;
    decompose(sc);
    for (long k = 1; k <= m && values[k] < -slack; ++k) {
      for (long i = 1; i <= m; ++i) v[i] = vectors(i, k);
      if (refined()) return true;
      decompose(sc);
    }
    return search();
  }

  // Alternating projections with Dykstra's corrections between the box,
  // narrowed by a hair so that the point found lies inside the rounding,
  // and the covariance matrices: they approach the covariance matrix
  // within the rounding nearest to the block, or, where there is none, the
  // pair of nearest points whose gap shows it. Where the covariance
  // matrices meet the rounding only at its edge (an entry written as a
  // tie, half way between two decimals, is one way), the narrowed box
  // misses them all without a gap that proves anything, so the whole box
  // is searched next.
  bool search() {
    extended closest = std::numeric_limits<extended>::infinity();
    for (const extended share : {narrowed, extended{1}}) {
      for (long i = 1; i <= m; ++i)
        for (long j = 1; j <= m; ++j) x(i, j) = sc(i, j), p(i, j) = 0, q(i, j) = 0;
      ZQMATH1::eigenmatrix& y = used;
      for (long it = 1; it <= searchsteps; ++it) {
        for (long i = 1; i <= m; ++i)
          for (long j = 1; j <= m; ++j) p(i, j) += x(i, j);
        nearest(p, y);
        for (long i = 1; i <= m; ++i)
          for (long j = 1; j <= m; ++j) p(i, j) -= y(i, j);
        if (withinrounding(y)) return false;
        keepclosest(closest);
        for (long i = 1; i <= m; ++i)
          for (long j = 1; j <= m; ++j) {
            const extended z = y(i, j) + q(i, j), reach = share * sh(i, j);
            x(i, j) = std::fmin(std::fmax(z, sc(i, j) - reach), sc(i, j) + reach);
            q(i, j) = z - x(i, j);
          }
        if (it % gapevery == 0 && gapcertificate()) return true;
      }
    }
    // Where they meet in a sliver at the edge of the rounding, the two
    // approach it only slowly: from the closest covariance matrix found,
    // steps down the distance to the box, each taken on past the last by
    // the share (k - 1)/(k + 2) of their difference, come nearer by orders.
    for (long i = 1; i <= m; ++i)
      for (long j = 1; j <= m; ++j) x(i, j) = p(i, j) = best(i, j);
    for (long it = 1; it <= searchsteps; ++it) {
      for (long i = 1; i <= m; ++i)
        for (long j = 1; j <= m; ++j) q(i, j) = std::fmin(std::fmax(p(i, j), sc(i, j) - sh(i, j)), sc(i, j) + sh(i, j));
      nearest(q, used);
      if (withinrounding(used)) return false;
      keepclosest(closest);
      const extended on = static_cast<extended>(it - 1) / static_cast<extended>(it + 2);
      for (long i = 1; i <= m; ++i)
        for (long j = 1; j <= m; ++j) p(i, j) = used(i, j) + on * (used(i, j) - x(i, j)), x(i, j) = used(i, j);
    }
    // Neither found: the block lies on the edge of its rounding as far as
    // the arithmetic and the search reach, and no proof that it is beyond
    // exists at that reach. It is used, as the covariance matrix found
    // nearest to its rounding.
    for (long i = 1; i <= m; ++i)
      for (long j = 1; j <= m; ++j) used(i, j) = best(i, j);
    return false;
  }

  // Keeps the covariance matrix in used as best where it lies nearer the
  // rounding than any before.
  void keepclosest(extended& closest) {
    extended out = 0;
    for (long i = 1; i <= m; ++i)
      for (long j = 1; j <= m; ++j) out = std::fmax(out, std::fabs(used(i, j) - sc(i, j)) - sh(i, j));
    if (out < closest) {
      closest = out;
      for (long i = 1; i <= m; ++i)
        for (long j = 1; j <= m; ++j) best(i, j) = used(i, j);
    }
  }

  std::string name(long member) const { return NAME[at[static_cast<std::size_t>(member - 1)]]; }
};

// Stops the run at a block beyond its rounding, naming the fewest of its
// end-members found whose block alone is so: each left out in turn, and
// kept out when the rest still shows it; first by the eigenvectors alone
// where they show the whole block, then by every certificate tried.
[[noreturn]] void refuse(const std::string& where, covblock& b, std::vector<long> members) {
  const bool byeigenvectors = b.beyond(members, true);
  for (const bool eigenonly : {true, false}) {
    if (eigenonly && !byeigenvectors) continue;
    for (std::size_t k = 0; k < members.size() && members.size() > 1;) {
      std::vector<long> fewer;
      for (std::size_t i = 0; i < members.size(); ++i)
        if (i != k) fewer.push_back(members[i]);
      if (b.beyond(fewer, eigenonly))
        members = fewer;
      else
        ++k;
    }
  }
  const std::size_t n = members.size();
  std::string names;
  for (std::size_t k = 0; k < n; ++k)
    names += (k == 0 ? "" : k + 1 == n ? " and " : ", ") + b.name(members[k]);
  const std::string what = n == 1   ? "variance below 0"
                           : n == 2 ? "covariance beyond the product of the sd's"
                                    : "covariance matrix not positive semi-definite beyond its rounding";
  IO::ERROREXIT(where, what + " - covariances of " + names, yourfault);
}

}  // namespace

namespace ZQREAD1 {

extended COVARIANCEROUNDING(long p, long q) {
  static sourcelist a{"rounding sources"}, b{"rounding sources"};
  const smallint na = sources(p, a), nb = sources(q, b);
  extended h = 0;
  for (smallint i = 1; i <= na; ++i)
    for (smallint j = 1; j <= nb; ++j)
      h += a[i].weight * b[j].weight * static_cast<extended>(COVROUNDING(a[i].record, b[j].record));
  return h;
}

void CHECKCOVARIANCE(const std::string& where) {
  static covblock b;
  b.at.clear();
  for (long a = 1; a <= NCV; ++a)
    for (long k = 1; k <= NR; ++k)
      if ((*R)(k, a) != 0) {
        b.at.push_back(a);
        break;
      }
  const long m = static_cast<long>(b.at.size());
  judgedcovtype& J = JUDGEDCOV;
  bool same = J.at == b.at;
  std::vector<long> all;
  for (long i = 1; i <= m; ++i) {
    all.push_back(i);
    for (long j = 1; j <= m; ++j) {
      const long p = b.at[static_cast<std::size_t>(i - 1)], q = b.at[static_cast<std::size_t>(j - 1)];
      b.c(i, j) = (*COV)(p, q);
      b.h(i, j) = COVARIANCEROUNDING(p, q);
      same = same && J.read(i, j) == b.c(i, j) && J.rounding(i, j) == b.h(i, j);
    }
  }
  // The block judged before, unchanged, is what it was.
  if (same) {
    J.inforce = true;
    return;
  }
  RESETJUDGEDCOV();
  if (m > 0 && b.beyond(all)) refuse(where, b, all);
  J.at = b.at;
  for (long i = 1; i <= m; ++i) {
    J.member[b.at[static_cast<std::size_t>(i - 1)]] = i;
    for (long j = 1; j <= m; ++j) {
      J.read(i, j) = b.c(i, j);
      J.rounding(i, j) = b.h(i, j);
      J.used(i, j) = b.used(i, j);
    }
  }
  J.inforce = true;
}

}  // namespace ZQREAD1
