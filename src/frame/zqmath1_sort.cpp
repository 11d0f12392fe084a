// Sorting, the robust centre and spread of a sample, quantiles, and powers.
#include <cmath>
#include <utility>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"

namespace ZQMATH1 {

namespace {

// A list length from a caller must fit the vector; a wrong one is the
// caller's fault, not the data's.
void checklength(smallint n, const char* where) {
  if (n < 0 || n > maxsortlen)
    IO::ERROREXIT(where, "list length " + IO::INT2STR(n) + " outside 0..5000", myfault);
}

// Median of v[1..n], already sorted.
extended sortedmedian(const sortvector& v, smallint n) {
  if (n == 1) return v[1];
  if (n % 2 == 1) return v[static_cast<smallint>(std::trunc(n * 0.5L)) + 1];
  return (v[n / 2] + v[n / 2 + 1]) * 0.5L;
}

void quicksort(sortvector& v, smallint l, smallint r) {
  smallint i = l, j = r;
  const extended pivot = v[(l + r) / 2];
  do {
    while (v[i] < pivot) ++i;
    while (pivot < v[j]) --j;
    if (i <= j) {
      std::swap(v[i], v[j]);
      ++i;
      --j;
    }
  } while (i <= j);
  if (l < j) quicksort(v, l, j);
  if (i < r) quicksort(v, i, r);
}

}  // namespace

void SORT(sortvector& v, smallint n) {
  if (n < 2) return;
  checklength(n, "sort");
  smallint gap = static_cast<smallint>(std::trunc(n * 0.5L));
  while (gap > 0) {
    for (smallint i = 1; i <= n - gap; ++i) {
      smallint j = i;
      while (j > 0 && v[j + gap] < v[j]) {
        std::swap(v[j], v[j + gap]);
        j = static_cast<smallint>(j - gap);
      }
    }
    gap = static_cast<smallint>(std::trunc(gap * 0.5L));
  }
}

void QUICKSORT(sortvector& v, smallint lo, smallint hi) {
  if (lo >= hi) return;
  if (lo < 1 || hi > maxsortlen)
    IO::ERROREXIT("quicksort",
                  "range " + IO::INT2STR(lo) + ".." + IO::INT2STR(hi) + " outside 1..5000", myfault);
  quicksort(v, lo, hi);
}

extended QUANTILE(const sortvector& v, smallint n, extended p) {
  checklength(n, "quantile");
  const extended np = n * p;
  const extended k1 = std::trunc(np);
  const extended k2 = std::nearbyint(np);
  if (n == 0) return 0;
  if (n == 1 || p <= 0) return v[1];
  if (p >= 1 || k1 == n) return v[n];
  if (np == k2) {
    const smallint k = static_cast<smallint>(k2);
    return (v[k] + v[k + 1]) * 0.5L;
  }
  return v[static_cast<smallint>(k1) + 1];
}

smallint QI(extended p, smallint n) {
  const extended np = p * n;
  extended k = std::nearbyint(np);
  if (std::fabs(k - np) > 1e-8L) k = std::trunc(np) + 1;
  if (!(k >= -32768 && k <= 32767))
    IO::ERROREXIT("qi", "quantile index out of range", myfault);
  return static_cast<smallint>(k);
}

extended FINDMEDIAN(const sortvector& v, smallint n) {
  checklength(n, "findmedian");
  sortvector s = v;
  SORT(s, n);
  if (n == 0) IO::ERROREXIT("findmedian", "zero length list", yourfault);
  return sortedmedian(s, n);
}

extended FINDNMAD(const sortvector& v, smallint n, extended centre) {
  checklength(n, "findnmad");
  sortvector d("findnmad deviations");
  for (smallint i = 1; i <= n; ++i) d[i] = std::fabs(v[i] - centre);
  SORT(d, n);
  if (n == 0) IO::ERROREXIT("findmedian", "zero length list", yourfault);
  const extended m = n == 1 ? 0 : sortedmedian(d, n);
  return m / 0.6745L;
}

extended TENTOPOWER(smallint k) {
  static const extended table[21] = {1e-10L, 1e-9L, 1e-8L, 1e-7L, 1e-6L, 1e-5L, 1e-4L,
                                     1e-3L,  1e-2L, 1e-1L, 1e0L,  1e1L,  1e2L,  1e3L,
                                     1e4L,   1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L};
  if (k < -10 || k > 10) IO::ERROREXIT("tentopower", "stuffed", yourfault);
  return table[k + 10];
}

extended TOPOWER(extended x, smallint p, smallint q) {
  if (p == 1 && q == 2) return std::sqrt(x);
  if (q == 1) {
    // Small whole powers by multiplication: exact where exp and ln are not,
    // and defined at x = 0.
    switch (p) {
      case 1: return x;
      case 0: return 1;
      case 2: return x * x;
      case 3: return x * x * x;
      case 4: return (x * x) * (x * x);
      case 5: {
        const extended x4 = (x * x) * (x * x);
        return x4 * x;
      }
      case 6: {
        const extended x2 = x * x;
        return (x2 * x2) * x2;
      }
      case 7: return (x * x * x) * ((x * x) * (x * x));
      case 8: {
        const extended x2 = x * x;
        const extended x4 = x2 * x2;
        return x4 * x4;
      }
      default: return std::exp(p * std::log(x));
    }
  }
  const double ratio = static_cast<double>(p) / static_cast<double>(q);
  return std::exp(static_cast<extended>(ratio) * std::log(x));
}

}  // namespace ZQMATH1
