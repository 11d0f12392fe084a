// The judgement of the enthalpy covariances a calculation uses. A data-set
// file holds them rounded (calc mode 9 writes 4 decimals), so a block read
// from a covariance matrix may itself be none by a little. The block of the
// end-members in the reactions is refused only where no matrix within that
// rounding of it is a covariance matrix; otherwise it is used, as the
// covariance matrix nearest to it where rounding has left it indefinite.
//
// Within the rounding: E with |E(i,j)| <= h(i,j), h from the reader. For a
// unit vector v the least of v'(C + E)v over every such E is
// v'Cv - |v|'h|v|, so a v with v'Cv < -|v|'h|v| proves that no C + E is a
// covariance matrix. The vectors tried are the eigenvectors of the negative
// eigenvalues of C: a block rounded from a covariance matrix never fails
// this (v'Cv >= -|v|'h|v| for every v), while an indefinite block beyond its
// rounding fails it in the direction that shows it.
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

// Exponents beyond these are no rounding a covariance is written to.
constexpr long farthestplace = 4000;
// Eigenvalues come out to a few units in the last place of the largest
// entry per order of the block: a value within this many of them is 0.
constexpr extended arithmeticunits = 64;

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

// The block of the end-members in the reactions, their rounding, and the
// eigen-decomposition of the last sub-block looked at.
struct covblock {
  std::vector<long> at;  // places in NAME, ascending
  ZQMATH1::eigenmatrix c{"covariance block"}, h{"covariance rounding"};
  ZQMATH1::eigenmatrix work{"covariance rotations"}, vectors{"covariance eigenvectors"};
  emvector values{"covariance eigenvalues"};
  extended slack = 0;  // the arithmetic's share of the last eigenvalues

  // Decomposes the sub-block of members (1-based into at); true when one of
  // its eigenvectors shows that no matrix within the rounding is a
  // covariance matrix.
  bool beyond(const std::vector<long>& members) {
    const long m = static_cast<long>(members.size());
    extended largest = 0;
    for (long i = 1; i <= m; ++i)
      for (long j = 1; j <= m; ++j) {
        work(i, j) = c(members[static_cast<std::size_t>(i - 1)], members[static_cast<std::size_t>(j - 1)]);
        largest = std::fmax(largest, std::fabs(work(i, j)));
      }
    ZQMATH1::SYMMETRICEIGEN(m, work, values, vectors);
    slack = arithmeticunits * static_cast<extended>(m) * std::numeric_limits<extended>::epsilon() * largest;
    for (long k = 1; k <= m && values[k] < -slack; ++k) {
      extended reach = 0;
      for (long i = 1; i <= m; ++i)
        for (long j = 1; j <= m; ++j)
          reach += std::fabs(vectors(i, k)) *
                   h(members[static_cast<std::size_t>(i - 1)], members[static_cast<std::size_t>(j - 1)]) *
                   std::fabs(vectors(j, k));
      if (values[k] + reach < -slack) return true;
    }
    return false;
  }

  std::string name(long member) const { return NAME[at[static_cast<std::size_t>(member - 1)]]; }
};

// Stops the run at a block beyond its rounding, naming the fewest of its
// end-members found whose block alone is so: each left out in turn, and
// kept out when the rest still shows it.
[[noreturn]] void refuse(const std::string& where, covblock& b, std::vector<long> members) {
  for (std::size_t k = 0; k < members.size() && members.size() > 1;) {
    std::vector<long> fewer;
    for (std::size_t i = 0; i < members.size(); ++i)
      if (i != k) fewer.push_back(members[i]);
    if (b.beyond(fewer))
      members = fewer;
    else
      ++k;
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

bool LASTPLACE(const std::string& number, int& place) {
  const std::size_t e = number.find_first_of("eE");
  const std::size_t point = number.find('.');
  if (point == std::string::npos && e == std::string::npos) return false;
  long exponent = 0;
  if (e != std::string::npos) exponent = std::strtol(number.c_str() + e + 1, nullptr, 10);
  long decimals = 0;
  if (point != std::string::npos && (e == std::string::npos || point < e))
    decimals = static_cast<long>((e == std::string::npos ? number.size() : e) - point - 1);
  const long at = exponent - decimals;
  place = static_cast<int>(at < -farthestplace ? -farthestplace : at > farthestplace ? farthestplace : at);
  return true;
}

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
  if (m == 0) return;
  std::vector<long> all;
  for (long i = 1; i <= m; ++i) {
    all.push_back(i);
    for (long j = 1; j <= m; ++j) {
      const long p = b.at[static_cast<std::size_t>(i - 1)], q = b.at[static_cast<std::size_t>(j - 1)];
      b.c(i, j) = (*COV)(p, q);
      b.h(i, j) = COVARIANCEROUNDING(p, q);
    }
  }
  if (b.beyond(all)) refuse(where, b, all);
  if (!(b.values[1] < -b.slack)) return;
  // Rounding alone made it indefinite: the covariance matrix nearest to it,
  // its negative eigenvalues taken as the 0 they are within the rounding.
  for (long i = 1; i <= m; ++i)
    for (long j = i; j <= m; ++j) {
      extended s = 0;
      for (long k = 1; k <= m; ++k)
        if (b.values[k] > 0) s += b.values[k] * b.vectors(i, k) * b.vectors(j, k);
      (*COV)(b.at[static_cast<std::size_t>(i - 1)], b.at[static_cast<std::size_t>(j - 1)]) = s;
      (*COV)(b.at[static_cast<std::size_t>(j - 1)], b.at[static_cast<std::size_t>(i - 1)]) = s;
    }
}

}  // namespace ZQREAD1
