// Random blocks of enthalpy covariances of the three kinds a data set's
// block is judged to be, each made so that what the judgement must do is
// known by its construction: a positive-definite block is used as written;
// a block rounded, as calc mode 9 writes it, from a singular covariance
// matrix is used (and may be indefinite by the rounding); a block with a
// few members beyond any covariance matrix, the rest positive definite and
// uncorrelated with them, stops the run naming exactly those members.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace covblocks {

enum class kind { definite, rounded, beyond };

struct block {
  kind k = kind::definite;
  int places = 5;                          // decimals written
  std::vector<std::vector<double>> c;      // as written, 0-based
  std::vector<int> bad;                    // the members a stop names, ascending
  int size() const { return static_cast<int>(c.size()); }
  // The entry (i, j) as the file has it.
  std::string text(int i, int j) const {
    char s[64];
    std::snprintf(s, sizeof s, "%.*f", places, c[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]);
    return s;
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

// A block of m members; beyond, nbad of them bad (1 to 3, at most m).
inline block draw(std::mt19937& rng, kind k, int m, int nbad = 1) {
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
  for (auto& row : b.c)
    for (double& x : row) x = rounded(x, b.places);
  return b;
}

}  // namespace covblocks
