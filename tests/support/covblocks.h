// Random blocks of enthalpy covariances of the three kinds a data set's
// block is judged to be, each made so that what the judgement must do is
// known by its construction: a positive-definite block is used as written;
// a block rounded, as calc mode 9 writes it, from a singular covariance
// matrix is used (and may be indefinite by the rounding); a block with a
// few members beyond any covariance matrix, the rest positive definite and
// uncorrelated with them, stops the run naming exactly those members; so
// does a pair beyond it in a direction that no eigenvector of the block
// shows, tied to the rest as a member that is nearly a sum of others is,
// and a triple so beyond whose pairs each lie within their rounding. A
// block indefinite by more than rounding can reach towards its nearest
// covariance matrix, yet with one within its rounding, is used.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace covblocks {

enum class kind { definite, rounded, beyond, hidden, triple, inside };

struct block {
  kind k = kind::definite;
  int places = 5;                          // decimals written
  double h() const { return 0.5 * std::pow(10.0, -places); }  // the rounding of each entry
  std::vector<std::vector<double>> c;      // as written, 0-based
  std::vector<int> bad;                    // the members a stop names, ascending
  std::vector<long long> cert;             // triple: the direction it was built to fail in
  std::vector<std::vector<long long>> witness;  // inside: n of the covariance matrix n / denom
  long long denom = 1;                     // within the rounding
  int size() const { return static_cast<int>(c.size()); }
  // The entry (i, j) as the file has it.
  std::string text(int i, int j) const {
    char s[64];
    std::snprintf(s, sizeof s, "%.*f", places, c[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]);
    return s;
  }
  // The entry (i, j) as written, in units of its last decimal: exact.
  long long units(int i, int j) const {
    std::string t = text(i, j);
    t.erase(t.find('.'), 1);
    return std::stoll(t);
  }
  // The upper triangle, row by row, as the data-set file holds it.
  std::string triangle() const {
    std::string t;
    for (int i = 0; i < size(); ++i)
      for (int j = i; j < size(); ++j) t += text(i, j) + (j + 1 == size() ? "\n" : " ");
    return t;
  }
  // The message of the stop, naming the bad members by names[i].
  std::string stop(const std::vector<std::string>& names) const {
    std::string list;
    for (std::size_t k = 0; k < bad.size(); ++k)
      list += (k == 0 ? "" : k + 1 == bad.size() ? " and " : ", ") + names[static_cast<std::size_t>(bad[k])];
    const char* what = bad.size() == 1   ? "variance below 0"
                       : bad.size() == 2 ? "covariance beyond the product of the sd's"
                                         : "covariance matrix not positive semi-definite beyond its rounding";
    return std::string(what) + " - covariances of " + list;
  }
};

inline double rounded(double x, int places) { return std::round(x * std::pow(10.0, places)) / std::pow(10.0, places); }

// L L' / r over the members listed, L of r random columns, plus a diagonal
// of at least floor: positive definite when floor > 0, of rank r when 0.
inline void product(std::mt19937& rng, block& b, const std::vector<int>& at, int r, double floor) {
  std::normal_distribution<double> z(0, 1);
  std::uniform_real_distribution<double> scale(0.1, 0.8), diag(floor, floor > 0 ? 0.5 : 0.0);
  std::vector<std::vector<double>> L(at.size(), std::vector<double>(static_cast<std::size_t>(r)));
  const double s = scale(rng);
  for (auto& row : L)
    for (double& x : row) x = s * z(rng);
  for (std::size_t i = 0; i < at.size(); ++i)
    for (std::size_t j = 0; j < at.size(); ++j) {
      double v = 0;
      for (int k = 0; k < r; ++k) v += L[i][static_cast<std::size_t>(k)] * L[j][static_cast<std::size_t>(k)];
      b.c[static_cast<std::size_t>(at[i])][static_cast<std::size_t>(at[j])] = v / r;
    }
  for (int i : at) b.c[static_cast<std::size_t>(i)][static_cast<std::size_t>(i)] += diag(rng);
}

using matrix = std::vector<std::vector<double>>;

// A block of kind k and m members, all 0, written to 1 to 3 decimals drawn
// from rng.
inline block fresh(std::mt19937& rng, kind k, int m) {
  block b;
  b.k = k;
  b.places = 1 + static_cast<int>(rng() % 3);
  b.c.assign(std::size_t(m), std::vector<double>(std::size_t(m), 0.0));
  return b;
}

// rows by cols draws of z, row by row.
inline matrix normals(std::mt19937& rng, std::normal_distribution<double>& z, int rows, int cols) {
  matrix L(static_cast<std::size_t>(rows), std::vector<double>(static_cast<std::size_t>(cols)));
  for (auto& row : L)
    for (double& x : row) x = z(rng);
  return L;
}

// Every entry as the file writes it.
inline void roundall(block& b) {
  for (auto& row : b.c)
    for (double& x : row) x = rounded(x, b.places);
}

// v'Cv over the block as it stands.
inline double form(const block& b, const std::vector<long long>& v) {
  double f = 0;
  for (std::size_t i = 0; i < v.size(); ++i)
    for (std::size_t j = 0; j < v.size(); ++j)
      f += static_cast<double>(v[i]) * b.c[i][j] * static_cast<double>(v[j]);
  return f;
}

// Eigenvalues w and eigenvectors (columns of v) of the symmetric a, by
// cyclic Jacobi rotations.
inline void eigen(matrix a, std::vector<double>& w, matrix& v) {
  const std::size_t n = a.size();
  v.assign(n, std::vector<double>(n, 0.0));
  for (std::size_t i = 0; i < n; ++i) v[i][i] = 1;
  for (int sweep = 0; sweep < 100; ++sweep)
    for (std::size_t p = 0; p < n; ++p)
      for (std::size_t q = p + 1; q < n; ++q) {
        if (std::fabs(a[p][q]) < 1e-300) continue;
        const double th = (a[q][q] - a[p][p]) / (2 * a[p][q]);
        const double t = (th >= 0 ? 1 : -1) / (std::fabs(th) + std::sqrt(th * th + 1)), c = 1 / std::sqrt(t * t + 1);
        const double s = t * c;
        for (std::size_t k = 0; k < n; ++k) {
          const double kp = a[k][p], kq = a[k][q];
          a[k][p] = c * kp - s * kq, a[k][q] = s * kp + c * kq;
        }
        for (std::size_t k = 0; k < n; ++k) {
          const double pk = a[p][k], qk = a[q][k];
          a[p][k] = c * pk - s * qk, a[q][k] = s * pk + c * qk;
          const double vp = v[k][p], vq = v[k][q];
          v[k][p] = c * vp - s * vq, v[k][q] = s * vp + c * vq;
        }
      }
  w.resize(n);
  for (std::size_t i = 0; i < n; ++i) w[i] = a[i][i];
}

// Whether the eigenvectors u of the negative eigenvalues alone leave the
// block unrefused: lambda + |u|'h|u| >= 0 for each.
inline bool eigenvectorsmiss(const block& b) {
  std::vector<double> w;
  matrix v;
  eigen(b.c, w, v);
  for (std::size_t k = 0; k < w.size(); ++k) {
    double reach = 0;
    for (const auto& row : v) reach += std::fabs(row[k]);
    if (w[k] + b.h() * reach * reach < 0) return false;
  }
  return true;
}

// Whether the block without member skip is within its rounding, shown by
// one matrix there that is positive definite: every variance raised by h
// and every covariance moved h towards 0 (own Cholesky).
inline bool withinwithout(const block& b, int skip) {
  std::vector<int> at;
  for (int i = 0; i < b.size(); ++i)
    if (i != skip) at.push_back(i);
  matrix l(at.size(), std::vector<double>(at.size(), 0.0));
  for (std::size_t i = 0; i < at.size(); ++i)
    for (std::size_t j = 0; j <= i; ++j) {
      const double c = b.c[std::size_t(at[i])][std::size_t(at[j])];
      double s = i == j ? c + b.h() : (c > 0 ? 1 : -1) * std::max(0.0, std::fabs(c) - b.h());
      for (std::size_t k = 0; k < j; ++k) s -= l[i][k] * l[j][k];
      if (i == j && !(s > 0)) return false;
      l[i][j] = i == j ? std::sqrt(s) : s / l[j][j];
    }
  return true;
}

// The hidden kind: member x nearly a sum of the others, its variance and
// that of the member it follows most closely, p, with a covariance beyond
// their product's root by 0.5 to 3% more than the rounding reaches; kept
// only where no eigenvector shows it and the block without x, and without
// p, lies within its rounding, so that the pair is what a stop names.
inline block hidden(std::mt19937& rng, int m) {
  std::normal_distribution<double> z(0, 1);
  std::uniform_real_distribution<double> u(0, 1);
  for (;;) {
    block b = fresh(rng, kind::hidden, m);
    matrix L = normals(rng, z, m, m - 1);
    const auto x = std::size_t(rng() % unsigned(m));
    const double tie = 0.15 + 0.25 * u(rng);
    for (std::size_t k = 0; k + 1 < std::size_t(m); ++k) {
      double s = 0;
      for (std::size_t i = 0; i < std::size_t(m); ++i)
        if (i != x) s += z(rng) * L[i][k];
      L[x][k] = tie * s / std::sqrt(m - 1.0);
    }
    const double scale = b.h() * (20 + 80 * u(rng)) * (m - 1);
    for (std::size_t i = 0; i < std::size_t(m); ++i)
      for (std::size_t j = 0; j < std::size_t(m); ++j) {
        for (std::size_t k = 0; k + 1 < std::size_t(m); ++k) b.c[i][j] += L[i][k] * L[j][k];
        b.c[i][j] = rounded((b.c[i][j] + (i == j ? 0.02 * (m - 1) * u(rng) : 0)) * scale / (m - 1), b.places);
      }
    std::size_t p = x == 0 ? 1 : 0;
    const auto cor = [&](std::size_t i) { return std::fabs(b.c[x][i]) / std::sqrt(b.c[x][x] * b.c[i][i]); };
    for (std::size_t i = 0; i < std::size_t(m); ++i)
      if (i != x && cor(i) > cor(p)) p = i;
    if (!(b.c[x][x] > 0 && b.c[p][p] > 0)) continue;
    const double reach = std::sqrt((b.c[x][x] + b.h()) * (b.c[p][p] + b.h())) * (1.005 + 0.025 * u(rng)) + b.h();
    b.c[x][p] = b.c[p][x] = (b.c[x][p] < 0 ? -1 : 1) * std::ceil(reach * std::pow(10.0, b.places)) / std::pow(10.0, b.places);
    b.bad = {int(std::min(x, p)), int(std::max(x, p))};
    if (eigenvectorsmiss(b) && withinwithout(b, int(x)) && withinwithout(b, int(p))) return b;
  }
}

// The pair rule in closed form, from the entries as written: a member alone
// or a pair is beyond its rounding where (|c12| - h)^2 > (c11 + h)(c22 + h)
// with |c12| > h, or c11 + h < 0.
inline bool pairsfine(const block& b) {
  for (int i = 0; i < b.size(); ++i) {
    const double a = b.c[std::size_t(i)][std::size_t(i)] + b.h();
    if (a < 0) return false;
    for (int j = i + 1; j < b.size(); ++j) {
      const double g = std::fabs(b.c[std::size_t(i)][std::size_t(j)]) - b.h();
      if (g > 0 && g * g > a * (b.c[std::size_t(j)][std::size_t(j)] + b.h())) return false;
    }
  }
  return true;
}

// The triple kind (m >= 4): members a, b, c with a whole direction v on
// them (entries 1 or 2, signed) in the null space of a block of rank
// m - 2, then each covariance of the three moved against v's signs until
// v'Cv + |v|'h|v| is 1.2 to 2.2 times that rounding term below 0. Kept
// only where no single member or pair is beyond its rounding, no
// eigenvector shows it, and without any of the three the block lies within
// its rounding, so that the triple is what a stop names.
inline block triple(std::mt19937& rng, int m) {
  std::normal_distribution<double> z(0, 1);
  std::uniform_real_distribution<double> u(0, 1);
  for (;;) {
    block b = fresh(rng, kind::triple, m);
    std::vector<int> pick(static_cast<std::size_t>(m));
    for (int i = 0; i < m; ++i) pick[std::size_t(i)] = i;
    std::shuffle(pick.begin(), pick.end(), rng);
    const std::size_t t[3] = {std::size_t(pick[0]), std::size_t(pick[1]), std::size_t(pick[2])};
    b.cert.assign(std::size_t(m), 0);
    for (const std::size_t i : t) b.cert[i] = (rng() % 2 ? 1 : -1) * (1 + static_cast<long long>(rng() % 2));
    const auto v = [&b](std::size_t i) { return static_cast<double>(b.cert[i]); };
    matrix L = normals(rng, z, m, m - 2);
    for (std::size_t k = 0; k + 2 < std::size_t(m); ++k) L[t[2]][k] = -(v(t[0]) * L[t[0]][k] + v(t[1]) * L[t[1]][k]) / v(t[2]);
    const double scale = b.h() * (20 + 80 * u(rng)) / (m - 1);
    for (std::size_t i = 0; i < std::size_t(m); ++i) {
      for (std::size_t j = 0; j < std::size_t(m); ++j)
        for (std::size_t k = 0; k + 2 < std::size_t(m); ++k) b.c[i][j] += L[i][k] * L[j][k] * scale;
      b.c[i][i] += 0.02 * scale * u(rng);
    }
    double reach = 0, pairs = 0;
    for (std::size_t i = 0; i < std::size_t(m); ++i) reach += std::fabs(v(i));
    for (int i = 0; i < 3; ++i)
      for (int j = i + 1; j < 3; ++j) pairs += 2 * std::fabs(v(t[i]) * v(t[j]));
    const double d = (form(b, b.cert) + b.h() * reach * reach * (1.2 + u(rng))) / pairs;
    for (int i = 0; i < 3; ++i)
      for (int j = i + 1; j < 3; ++j) {
        double& x = b.c[t[i]][t[j]];
        x -= (v(t[i]) * v(t[j]) > 0 ? 1 : -1) * d;
        b.c[t[j]][t[i]] = x;
      }
    roundall(b);
    b.bad = {int(t[0]), int(t[1]), int(t[2])};
    std::sort(b.bad.begin(), b.bad.end());
    if (form(b, b.cert) + b.h() * reach * reach < -0.1 * b.h() && pairsfine(b) && eigenvectorsmiss(b) &&
        withinwithout(b, int(t[0])) && withinwithout(b, int(t[1])) && withinwithout(b, int(t[2])))
      return b;
  }
}

// The inside kind: a covariance matrix n / denom of rank below m, n = L L'
// with small integer L, each entry written as the neighbour on the grid of
// the decimals that lies against the direction of its least eigenvalue
// where that neighbour is within the rounding, else as the other. Kept only
// where the block is indefinite and its nearest covariance matrix lies
// beyond its rounding, so that only a matrix deeper inside it is one.
inline block inside(std::mt19937& rng, int m) {
  for (;;) {
    block b = fresh(rng, kind::inside, m);
    const long long grid = static_cast<long long>(std::llround(std::pow(10.0, b.places)));
    const int r = 1 + static_cast<int>(rng() % static_cast<unsigned>(std::max(1, m - 1)));
    const auto n = static_cast<std::size_t>(m);
    std::vector<std::vector<long long>> L(n, std::vector<long long>(static_cast<std::size_t>(r)));
    for (auto& row : L)
      for (long long& x : row) x = static_cast<long long>(rng() % 19) - 9;
    b.denom = r * (5 + static_cast<long long>(rng() % 20));
    b.witness.assign(std::size_t(m), std::vector<long long>(std::size_t(m), 0));
    matrix p(n, std::vector<double>(n));
    for (std::size_t i = 0; i < std::size_t(m); ++i)
      for (std::size_t j = 0; j < std::size_t(m); ++j) {
        for (std::size_t k = 0; k < std::size_t(r); ++k) b.witness[i][j] += L[i][k] * L[j][k];
        p[i][j] = static_cast<double>(b.witness[i][j]) / static_cast<double>(b.denom);
      }
    std::vector<double> w;
    matrix vec;
    eigen(p, w, vec);
    const std::size_t low = std::size_t(std::min_element(w.begin(), w.end()) - w.begin());
    b.c = p;
    for (std::size_t i = 0; i < std::size_t(m); ++i)
      for (std::size_t j = i; j < std::size_t(m); ++j) {
        // floor(n g / denom), and the grid point against the direction.
        const long long ng = b.witness[i][j] * grid;
        long long at = ng / b.denom - ((ng % b.denom) < 0 ? 1 : 0);
        if (!(vec[i][low] * vec[j][low] > 0)) ++at;
        const auto fits = [&](long long k) { return std::llabs(2 * k * b.denom - 2 * ng) <= b.denom; };
        if (!fits(at)) at += vec[i][low] * vec[j][low] > 0 ? 1 : -1;
        b.c[i][j] = b.c[j][i] = static_cast<double>(at) / static_cast<double>(grid);
      }
    eigen(b.c, w, vec);
    bool far = false;
    for (std::size_t i = 0; i < std::size_t(m); ++i)
      for (std::size_t j = 0; j < std::size_t(m); ++j) {
        double s = 0;
        for (std::size_t k = 0; k < std::size_t(m); ++k) s += std::max(0.0, w[k]) * vec[i][k] * vec[j][k];
        far = far || std::fabs(s - b.c[i][j]) > b.h();
      }
    if (*std::min_element(w.begin(), w.end()) < 0 && far) return b;
  }
}

// A block of m members; beyond, nbad of them bad (1 to 3, at most m).
inline block draw(std::mt19937& rng, kind k, int m, int nbad = 1) {
  if (k == kind::hidden) return hidden(rng, m);
  if (k == kind::triple) return triple(rng, m);
  if (k == kind::inside) return inside(rng, m);
  block b;
  b.k = k;
  b.c.assign(static_cast<std::size_t>(m), std::vector<double>(static_cast<std::size_t>(m), 0.0));
  std::vector<int> all;
  for (int i = 0; i < m; ++i) all.push_back(i);
  if (k == kind::definite) {
    product(rng, b, all, m, 0.02);
  } else if (k == kind::rounded) {
    // A covariance matrix of rank below m, as a fit's whose data tie some
    // enthalpies closely, to calc mode 9's 4 decimals.
    b.places = 4;
    product(rng, b, all, 1 + static_cast<int>(rng() % static_cast<unsigned>(std::max(1, m - 1))), 0.0);
  } else {
    std::vector<int> pick = all;
    std::shuffle(pick.begin(), pick.end(), rng);
    nbad = std::min(m, nbad);
    b.bad.assign(pick.begin(), pick.begin() + nbad);
    std::sort(b.bad.begin(), b.bad.end());
    std::vector<int> rest(pick.begin() + nbad, pick.end());
    if (!rest.empty()) product(rng, b, rest, static_cast<int>(rest.size()), 0.02);
    std::uniform_real_distribution<double> var(0.05, 0.5), tie(0.8, 0.97), over(1.05, 1.5);
    std::vector<double> sd;
    for (std::size_t a = 0; a < b.bad.size(); ++a) sd.push_back(std::sqrt(var(rng)));
    auto set = [&](std::size_t a, std::size_t c, double rho) {
      const auto i = static_cast<std::size_t>(b.bad[a]), j = static_cast<std::size_t>(b.bad[c]);
      b.c[i][j] = b.c[j][i] = rho * sd[a] * sd[c];
    };
    for (std::size_t a = 0; a < b.bad.size(); ++a) set(a, a, 1);
    if (nbad == 1) {
      b.c[static_cast<std::size_t>(b.bad[0])][static_cast<std::size_t>(b.bad[0])] *= -1;
    } else if (nbad == 2) {
      set(0, 1, (rng() % 2 ? 1 : -1) * over(rng));
    } else {
      // Each pair within [-1, 1], the three together not: correlations
      // -r1, r2, r3 give det 1 - r1^2 - r2^2 - r3^2 - 2 r1 r2 r3 < 0; a
      // member's sign turned leaves that so.
      const double r1 = tie(rng), r2 = tie(rng), r3 = tie(rng);
      const double flip = rng() % 2 ? 1 : -1;
      set(0, 1, -r1 * flip);
      set(0, 2, r2 * flip);
      set(1, 2, r3);
    }
  }
  roundall(b);
  return b;
}

}  // namespace covblocks
