// Exact integer arithmetic: common divisors and multiples, integer
// compositions from reals, and the rank and null space of integer matrices
// by fraction-free elimination. No tolerance anywhere: reactions must
// balance exactly.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"

namespace ZQMATH1 {

// The fraction-free steps can grow entries past 32 bits long before the
// result does; 64 bits hold far more, and what even they cannot hold stops
// the run rather than wrapping into a wrong reaction.
[[noreturn]] void OVERFLOW64(const char* where) {
  IO::ERROREXIT(where, "integer overflow in elimination: matrix entries too large", yourfault);
}

std::int64_t MUL64(std::int64_t a, std::int64_t b, const char* where) {
  std::int64_t r;
  if (__builtin_mul_overflow(a, b, &r)) OVERFLOW64(where);
  return r;
}

std::int64_t ADD64(std::int64_t a, std::int64_t b, const char* where) {
  std::int64_t r;
  if (__builtin_add_overflow(a, b, &r)) OVERFLOW64(where);
  return r;
}

std::int64_t SUB64(std::int64_t a, std::int64_t b, const char* where) {
  std::int64_t r;
  if (__builtin_sub_overflow(a, b, &r)) OVERFLOW64(where);
  return r;
}

std::int64_t ABS64(std::int64_t a, const char* where) { return a < 0 ? SUB64(0, a, where) : a; }

std::int64_t GCD64(std::int64_t a, std::int64_t b, const char* where) {
  a = ABS64(a, where);
  b = ABS64(b, where);
  if (a == 0) return b;
  if (b == 0) return a;
  while (b != 0) {
    const std::int64_t t = a % b;
    a = b;
    b = t;
  }
  return a;
}

namespace {

using i64 = std::int64_t;

// The rules of VECTORGCD over entries get(1..n): one entry keeps its sign,
// two give their plain gcd, more are folded from the last one down.
template <class Get>
i64 vectorgcd64(smallint n, Get get, const char* where) {
  if (n < 1 || n > maxem) return 0;
  if (n == 1) return get(1);
  if (n == 2) return GCD64(get(1), get(2), where);
  i64 g = ABS64(get(n), where);
  for (smallint k = n - 1; k >= 1; --k) {
    g = GCD64(get(k), g, where);
    if (g == 1) break;
  }
  return g;
}

longint narrow32(i64 x, const char* where, const char* message) {
  if (x < std::numeric_limits<longint>::min() || x > std::numeric_limits<longint>::max())
    IO::ERROREXIT(where, message, yourfault);
  return static_cast<longint>(x);
}

smallint narrow16(i64 x, const char* where, const char* message) {
  if (x < std::numeric_limits<smallint>::min() || x > std::numeric_limits<smallint>::max())
    IO::ERROREXIT(where, message, yourfault);
  return static_cast<smallint>(x);
}

void checksize(smallint m, smallint n, const char* where) {
  if (m < 1 || m > maxem || n < 1 || n > maxem)
    IO::ERROREXIT(where,
                  "matrix size " + IO::INT2STR(m) + " x " + IO::INT2STR(n) + " outside 1..400",
                  myfault);
}

// Pivot search of both eliminations: below row i, from column j+1 on, the
// first column with a non-zero entry and its first such row. Without one,
// col is n.
bool findpivot(const workmatrix& b, smallint m, smallint n, smallint i, smallint j, smallint& k,
               smallint& col) {
  if (b(i + 1, j + 1) != 0) {
    k = i + 1;
    col = j + 1;
    return true;
  }
  for (col = j + 1; col <= n; ++col)
    for (k = i + 1; k <= m; ++k)
      if (b(k, col) != 0) return true;
  col = n;
  return false;
}

// One step of both eliminations: row i moves down one and j to the next
// pivot column (n when none is left), k the row the pivot stands in.
bool nextpivot(const workmatrix& b, smallint m, smallint n, smallint& i, smallint& j, smallint& k) {
  smallint col = 0;
  const bool found = findpivot(b, m, n, i, j, k, col);
  ++i;
  j = col;
  return found;
}

// Moves the pivot to row i and divides that row by the gcd of its entries
// from the pivot on; returns the reduced pivot.
i64 pivotrow(workmatrix& b, smallint n, smallint i, smallint j, smallint k, const char* where) {
  i64 p = b(k, j);
  if (k > i) {
    b(i, j) = p;
    b(k, j) = 0;
    for (smallint l = j + 1; l <= n; ++l) std::swap(b(i, l), b(k, l));
  }
  const i64 g = vectorgcd64(
      static_cast<smallint>(n - j + 1), [&](smallint q) { return b(i, j + q - 1); }, where);
  if (g > 1) {
    p /= g;
    for (smallint l = j; l <= n; ++l) b(i, l) /= g;
  }
  return p;
}

// Row r := alpha * row r - beta * row i over column l, with the sign of
// alpha taken out so that the multiplier of row r stays positive.
void combine(workmatrix& b, smallint r, smallint i, smallint l, i64 alpha, i64 beta,
             const char* where) {
  if (alpha < 0)
    b(r, l) = ADD64(MUL64(-alpha, b(r, l), where), MUL64(beta, b(i, l), where), where);
  else
    b(r, l) = SUB64(MUL64(alpha, b(r, l), where), MUL64(beta, b(i, l), where), where);
}

// Row r divided by the gcd of its entries in the columns the elimination
// keeps. A positive factor changes neither the zero pattern, nor the signs,
// nor the ratios that rank and reactions are read from, but without it the
// entries of fraction-free elimination grow with every pivot.
void reducerow(workmatrix& b, smallint r, smallint from, smallint n, smallint skip, const char* where) {
  i64 g = 0;
  for (smallint l = from; l <= n && g != 1; ++l)
    if (l != skip) g = GCD64(b(r, l), g, where);
  if (g > 1)
    for (smallint l = from; l <= n; ++l)
      if (l != skip) b(r, l) /= g;
}

// The working copy of rows 1..m, columns 1..n of a, in w (made at the
// first call, grown to the largest m and n so far). The pivot steps swap
// entries by reference, so the block is made whole before they start.
workmatrix& workspace(std::unique_ptr<workmatrix>& w, const liemmatrix& a, smallint m, smallint n) {
  if (!w) w = std::make_unique<workmatrix>("elimination matrix");
  workmatrix& b = *w;
  b.extend(m, n);
  for (smallint r = 1; r <= m; ++r)
    for (smallint l = 1; l <= n; ++l) b(r, l) = a(r, l);
  return b;
}

}  // namespace

longint GCD(longint a, longint b) {
  return narrow32(GCD64(a, b, "gcd"), "gcd", "greatest common divisor too large");
}

longint VECTORGCD(const liemvector& v, smallint n) {
  return narrow32(vectorgcd64(n, [&](smallint k) -> i64 { return v[k]; }, "vectorgcd"), "vectorgcd",
                  "greatest common divisor too large");
}

longint LCM(longint a, longint b) {
  if (a == 0 || b == 0) return 0;
  if (a == b) return a;
  // The quotient and product in double, as the callers have always had it;
  // both are whole numbers far inside double's exact range.
  const double q = static_cast<double>(b) / static_cast<double>(GCD(a, b));
  const double prod = std::fabs(std::nearbyint(q * static_cast<double>(a)));
  if (prod > static_cast<double>(std::numeric_limits<longint>::max()))
    IO::ERROREXIT("lcm", "least common multiple too large", yourfault);
  return static_cast<longint>(prod);
}

longint VECTORLCM(const liemvector& v, smallint n) {
  if (n < 1) return 0;
  if (n > maxem) IO::ERROREXIT("vectorlcm", "vector longer than 400", myfault);
  // The running multiple is a 16-bit integer; a partial result that leaves
  // its range stops the run instead of wrapping.
  // A literal, not a string: the reaction set-up of every batch item calls
  // this, and a run of a series allocates nothing.
  const char* const toolarge = "common multiple of denominators too large (over 32767)";
  smallint running = narrow16(v[1], "vectorlcm", toolarge);
  for (smallint k = 2; k <= n; ++k) running = narrow16(LCM(running, v[k]), "vectorlcm", toolarge);
  return running;
}

void REALS2INTEGERS(emvector& v, smallint n, longint& m) {
  if (n > maxem) IO::ERROREXIT("reals2integers", "vector longer than 400", myfault);
  liemvector p("reals2integers p"), q("reals2integers q");
  for (smallint i = 1; i <= n; ++i) IO::REAL2RATIONAL(v[i], p[i], q[i]);
  m = VECTORLCM(q, n);
  for (smallint i = 1; i <= n; ++i) {
    if (q[i] == 0) IO::ERROREXIT("reals2integers", "zero denominator", myfault);
    v[i] = static_cast<extended>(MUL64(p[i], m / q[i], "reals2integers"));
  }
}

smallint CALCRANK(const liemmatrix& a, smallint m, smallint n) {
  const char* where = "calcrank";
  checksize(m, n, where);
  static std::unique_ptr<workmatrix> work;
  workmatrix& b = workspace(work, a, m, n);

  const smallint mn = std::min(m, n);
  smallint i = 0, j = 0, k = 0;
  bool found;
  do {
    found = nextpivot(b, m, n, i, j, k);
    if (!found) break;
    if (j == n) {
      b(i, n) = b(k, n);
      break;
    }
    const i64 p = pivotrow(b, n, i, j, k, where);
    // Below the pivot only; column j keeps its entries, the search never
    // comes back to it.
    for (smallint r = i + 1; r <= m; ++r) {
      if (b(r, j) == 0) continue;
      const i64 g = GCD64(p, b(r, j), where);
      const i64 alpha = p / g, beta = b(r, j) / g;
      for (smallint l = j + 1; l <= n; ++l) combine(b, r, i, l, alpha, beta, where);
      reducerow(b, r, j + 1, n, 0, where);
    }
  } while (i != mn);
  return found ? i : static_cast<smallint>(i - 1);
}

void NULLSPACE_PRINTA(const workmatrix& b, smallint m, smallint n) {
  IO::ISTR = "x =   {";
  for (smallint r = 1; r <= m; ++r) {
    IO::ISTR += r == 1 ? "{" : "       {";
    for (smallint l = 1; l <= n; ++l) {
      IO::ADDINT(static_cast<extended>(b(r, l)), 3, IO::ISTR);
      if (l < n) IO::ISTR += ", ";
    }
    if (r < m) {
      IO::ISTR += "},";
      IO::PUTSTR(0, IO::ISTR, 1, CHANNEL::DETAILS);
      IO::ISTR.clear();
    } else {
      IO::ISTR += "}";
    }
  }
  IO::ISTR += "};";
  IO::PUTSTR(0, IO::ISTR, 2, CHANNEL::DETAILS);
}

smallint NULLSPACE(const liemmatrix& a, smallint m, smallint n) {
  using namespace ZQGLOBAL;
  const char* where = "nullspace";
  checksize(m, n, where);
  if (C == nullptr || R == nullptr)
    IO::ERROREXIT(where, "composition or reaction matrix not allocated", myfault);
  if (NR < 0 || NR > maxreac) IO::ERROREXIT(where, "reaction count out of range", myfault);

  static std::unique_ptr<workmatrix> work;
  workmatrix& b = workspace(work, a, m, n);
  farray<smallint, 1, maxem> pivcol("nullspace pivot columns");
  farray<bool, 1, maxem> pivot("nullspace pivot flags");

  // Gauss-Jordan: every other row is cleared in the pivot column, so that
  // each free column reads off one reaction.
  const smallint mn = std::min(m, n);
  smallint i = 0, j = 0, k = 0;
  bool found;
  do {
    found = nextpivot(b, m, n, i, j, k);
    pivcol[i] = found ? j : 0;
    pivot[j] = found;
    if (!found) break;
    if (j == n) {
      b(i, n) = b(k, n);
      break;
    }
    const i64 p = pivotrow(b, n, i, j, k, where);
    for (smallint r = 1; r <= m; ++r) {
      if (r == i || b(r, j) == 0) continue;
      const i64 g = GCD64(p, b(r, j), where);
      const i64 alpha = p / g, beta = b(r, j) / g;
      for (smallint l = 1; l <= n; ++l)
        if (l != j) combine(b, r, i, l, alpha, beta, where);
      reducerow(b, r, 1, n, j, where);
    }
    for (smallint r = 1; r <= m; ++r)
      if (r != i) b(r, j) = 0;
  } while (i != mn);
  const smallint rank = found ? i : static_cast<smallint>(i - 1);

  for (smallint r = 1; r <= m; ++r) {
    const i64 g = vectorgcd64(n, [&](smallint l) { return b(r, l); }, where);
    if (g > 1)
      for (smallint l = 1; l <= n; ++l) b(r, l) /= g;
  }

  const char* const toolarge = "reaction coefficient too large (over 32767)";  // no allocation per call
  farray<i64, 1, maxem> v("nullspace reaction");
  farray<i64, 1, maxem> num("nullspace num"), den("nullspace den");
  liemvector dens("nullspace denominators");
  for (smallint f = n; f >= 1; --f) {
    if (pivot[f]) continue;
    v.fill(0);
    smallint nd = 0;
    for (smallint r = 1; r <= mn; ++r) {
      const smallint c = pivcol[r];
      if (c == 0) continue;
      const i64 g = b(r, f) != 0 ? GCD64(b(r, f), b(r, c), where) : 1;
      num[r] = -b(r, f) / g;
      den[r] = b(r, c) / g;
      if (num[r] != 0) dens[++nd] = narrow32(den[r], where, toolarge);
    }
    const longint lcm = VECTORLCM(dens, nd);
    v[f] = lcm;
    for (smallint r = 1; r <= mn; ++r) {
      const smallint c = pivcol[r];
      if (c != 0) v[c] = MUL64(lcm, num[r], where) / den[r];
    }

    for (smallint comp = 1; comp <= m; ++comp) {
      i64 sum = 0;
      for (smallint l = 1; l <= n; ++l) sum = ADD64(sum, MUL64(v[l], (*C)(comp, l), where), where);
      if (sum != 0) IO::ERROREXIT(where, "reaction doesn't balance", myfault);
    }

    farray<smallint, 1, maxem> coef("nullspace coefficients");
    for (smallint l = 1; l <= n; ++l) coef[l] = narrow16(v[l], where, toolarge);
    if (NR >= maxreac)
      IO::ERROREXIT(where, "too many reactions: the reaction table holds 150", yourfault);
    ++NR;
    for (smallint l = 1; l <= n; ++l) (*R)(NR, l) = coef[l];
  }
  return rank;
}

}  // namespace ZQMATH1
