// Singular value decomposition by Householder bidiagonalisation and
// implicitly shifted QR steps, on the shared matrices USVD, SSVD, VSVD.
#include <algorithm>
#include <cmath>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"

namespace ZQMATH1 {

namespace {

// QR sweeps on one singular value before the run says it gave up; the
// decomposition goes on with what it has.
constexpr smallint maxsweeps = 30;

extended sign(extended g, extended f) { return f >= 0 ? std::fabs(g) : -std::fabs(g); }

// One decomposition: the matrix, its factors and the state that the steps
// share (the superdiagonal e and the norm bound anorm). The steps reach
// rows 1..m and columns 1..n of the matrix and the n x n of V, and work
// through views of just those.
struct svdrun {
  smallint m, n;
  svdmatrix::view a;
  svdvector& w = ZQGLOBAL::SSVD;
  svdmatrix::view v;
  svdvector e{"svd superdiagonal"};
  extended anorm = 0;

  svdrun(smallint rows, smallint cols)
      : m(rows), n(cols), a(ZQGLOBAL::USVD.block(rows, cols)), v(ZQGLOBAL::VSVD.block(cols, cols)) {}

  // Small beside the largest entry of the bidiagonal form: adding it to the
  // norm bound changes nothing in extended precision.
  bool negligible(extended x) const { return anorm + std::fabs(x) == anorm; }

  void bidiag() {
    extended g = 0, scale = 0, s = 0;
    anorm = 0;
    for (smallint i = 1; i <= n; ++i) {
      const smallint l = i + 1;
      e[i] = scale * g;
      g = 0;
      s = 0;
      scale = 0;
      if (i <= m) {
        for (smallint k = i; k <= m; ++k) scale += std::fabs(a(k, i));
        if (scale > 0) {
          for (smallint k = i; k <= m; ++k) {
            a(k, i) /= scale;
            s += a(k, i) * a(k, i);
          }
          const extended f = a(i, i);
          g = -sign(std::sqrt(s), f);
          const extended h = f * g - s;
          a(i, i) = f - g;
          for (smallint j = l; j <= n; ++j) {
            extended sj = 0;
            for (smallint k = i; k <= m; ++k) sj += a(k, i) * a(k, j);
            const extended fj = sj / h;
            for (smallint k = i; k <= m; ++k) a(k, j) += a(k, i) * fj;
          }
          for (smallint k = i; k <= m; ++k) a(k, i) *= scale;
        }
      }
      w[i] = scale * g;
      g = 0;
      s = 0;
      scale = 0;
      if (i <= m && l <= n) {
        for (smallint k = l; k <= n; ++k) scale += std::fabs(a(i, k));
        if (scale > 0) {
          for (smallint k = l; k <= n; ++k) {
            a(i, k) /= scale;
            s += a(i, k) * a(i, k);
          }
          const extended f = a(i, l);
          g = -sign(std::sqrt(s), f);
          const extended h = f * g - s;
          a(i, l) = f - g;
          for (smallint k = l; k <= n; ++k) e[k] = a(i, k) / h;
          for (smallint j = l; j <= m; ++j) {
            extended sj = 0;
            for (smallint k = l; k <= n; ++k) sj += a(j, k) * a(i, k);
            for (smallint k = l; k <= n; ++k) a(j, k) += e[k] * sj;
          }
          for (smallint k = l; k <= n; ++k) a(i, k) *= scale;
        }
      }
      anorm = std::max(anorm, std::fabs(w[i]) + std::fabs(e[i]));
    }
  }

  void righttrans() {
    v(n, n) = 1;
    for (smallint i = n - 1; i >= 1; --i) {
      const smallint l = i + 1;
      const extended g = e[l];
      if (g != 0) {
        for (smallint j = l; j <= n; ++j) v(j, i) = (a(i, j) / a(i, l)) / g;
        for (smallint j = l; j <= n; ++j) {
          extended s = 0;
          for (smallint k = l; k <= n; ++k) s += a(i, k) * v(k, j);
          for (smallint k = l; k <= n; ++k) v(k, j) += s * v(k, i);
        }
      }
      for (smallint j = l; j <= n; ++j) {
        v(i, j) = 0;
        v(j, i) = 0;
      }
      v(i, i) = 1;
    }
  }

  void lefttrans() {
    for (smallint i = std::min(m, n); i >= 1; --i) {
      const smallint l = i + 1;
      const extended g = w[i];
      for (smallint j = l; j <= n; ++j) a(i, j) = 0;
      if (g != 0) {
        for (smallint j = l; j <= n; ++j) {
          extended s = 0;
          for (smallint k = l; k <= m; ++k) s += a(k, i) * a(k, j);
          const extended f = (s / a(i, i)) / g;
          for (smallint k = i; k <= m; ++k) a(k, j) += f * a(k, i);
        }
        for (smallint j = i; j <= m; ++j) a(j, i) /= g;
      } else {
        for (smallint j = i; j <= m; ++j) a(j, i) = 0;
      }
      a(i, i) += 1;
    }
  }

  // Where the bidiagonal block ending at k splits off; a negligible
  // diagonal entry above it is first rotated away.
  smallint findl(smallint k) {
    smallint l = k;
    bool cancel = false;
    for (; l >= 1; --l) {
      if (negligible(e[l]) || l == 1) break;
      if (negligible(w[l - 1])) {
        cancel = true;
        break;
      }
    }
    if (cancel) {
      const smallint nm = l - 1;
      extended c = 0, s = 1;
      for (smallint i = l; i <= k; ++i) {
        const extended f = s * e[i];
        e[i] = c * e[i];
        if (negligible(f)) break;
        const extended g = w[i];
        const extended h = std::sqrt(f * f + g * g);
        w[i] = h;
        c = g / h;
        s = -f / h;
        for (smallint j = 1; j <= m; ++j) {
          const extended y = a(j, nm), z = a(j, i);
          a(j, nm) = y * c + z * s;
          a(j, i) = z * c - y * s;
        }
      }
    }
    return l;
  }

  void qrtrans(smallint k, smallint l) {
    extended x = w[l];
    const smallint nm = k - 1;
    extended y = w[nm], g = e[nm], h = e[k], z = w[k];
    extended f = ((g + h) * (g - h) + (y + z) * (y - z)) / (y * 2 * h);
    g = std::sqrt(1 + f * f);
    f = ((x + z) * (x - z) + h * (y / (f + sign(g, f)) - h)) / x;
    extended c = 1, s = 1;
    for (smallint j = l; j <= nm; ++j) {
      const smallint i = j + 1;
      g = e[i];
      y = w[i];
      h = s * g;
      g = c * g;
      z = std::sqrt(f * f + h * h);
      e[j] = z;
      c = f / z;
      s = h / z;
      f = x * c + g * s;
      g = g * c - x * s;
      h = y * s;
      y = y * c;
      for (smallint jj = 1; jj <= n; ++jj) {
        const extended xv = v(jj, j), zv = v(jj, i);
        v(jj, j) = xv * c + zv * s;
        v(jj, i) = zv * c - xv * s;
      }
      z = std::sqrt(f * f + h * h);
      w[j] = z;
      if (z > 0) {
        c = f / z;
        s = h / z;
      }
      f = c * g + s * y;
      x = c * y - s * g;
      for (smallint jj = 1; jj <= m; ++jj) {
        const extended yu = a(jj, j), zu = a(jj, i);
        a(jj, j) = yu * c + zu * s;
        a(jj, i) = zu * c - yu * s;
      }
    }
    e[l] = 0;
    e[k] = f;
    w[k] = x;
  }

  // Ascending order, each value taking its columns of U and V along;
  // values of 1e35 or more stay where they are.
  void sortq() {
    for (smallint p = 1; p <= n - 1; ++p) {
      smallint jmin = 0;
      extended best = 1e35L;
      for (smallint j = p; j <= n; ++j)
        if (w[j] < best) {
          best = w[j];
          jmin = j;
        }
      if (jmin == 0) break;
      if (jmin == p) continue;
      std::swap(w[p], w[jmin]);
      for (smallint r = 1; r <= n; ++r) std::swap(v(r, p), v(r, jmin));
      for (smallint r = 1; r <= m; ++r) std::swap(a(r, p), a(r, jmin));
    }
  }
};

}  // namespace

void CALCSVD(smallint m, smallint n) {
  if (m < 1 || m > maxsvdrows || n < 1 || n > maxsvdcols)
    IO::ERROREXIT("calcsvd",
                  "matrix size " + IO::INT2STR(m) + " x " + IO::INT2STR(n) + " outside 800 x 400",
                  myfault);
  svdrun run(m, n);
  run.w.fill(0);
  run.bidiag();
  run.righttrans();
  run.lefttrans();
  for (smallint k = n; k >= 1; --k) {
    smallint its = 0;
    do {
      ++its;
      const smallint l = run.findl(k);
      if (l == k) break;
      run.qrtrans(k, l);
    } while (its <= maxsweeps);
    if (its > maxsweeps) {
      std::string line = "too many iterations (k = ";
      IO::ADDINT(k, 4, line);
      IO::WRITETERMINAL(line + ")\n");
    }
    if (run.w[k] < 0) {
      run.w[k] = -run.w[k];
      for (smallint j = 1; j <= n; ++j) run.v(j, k) = -run.v(j, k);
    }
  }
  run.sortq();
}

}  // namespace ZQMATH1
