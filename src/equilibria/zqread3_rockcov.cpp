// The rock route of the bulk's log-ratio covariance: the bulk the rock's
// minerals make, compared with the "rbi" bulk, and the median, spread and
// covariance of its log-ratios over Gaussian samples of the minerals'
// measured compositional variables, drawn from a clock-seeded generator.
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "equilibria/zqread3.h"
#include "equilibria/zqread3_logratio.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "frame/zqnle4_linalg.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

namespace {

constexpr smallint nsamples = 5000;      // Gaussian samples of the minerals' variables
constexpr extended samebulk = 0.0002L;   // bulks closer than this (Euclidean) are the same
constexpr smallint namewidth = -8;       // field of a name in the listings
constexpr smallint valuewidth = 10;      // field of a number in the listings
constexpr smallint places = 4;           // decimals of the listings
constexpr smallint corwidth = 8;         // field of a correlation
constexpr smallint corplaces = 3;        // decimals of a correlation

// The free components in order, without the denominator: the names of
// the log-ratios.
std::vector<sstring> rationames() {
  std::vector<sstring> names = FREECOMPONENTS(false);
  const smallint den = KBPDENFREE();
  if (den >= 1 && static_cast<std::size_t>(den) <= names.size()) names.erase(names.begin() + (den - 1));
  return names;
}

// The "rbi" bulk against the one the minerals make, to standard output.
void compare(const IO::rrvector& input, const IO::rrvector& computed) {
  IO::WRITETERMINAL("bulk compare\n");
  std::string s;
  IO::ADDSTR("", namewidth, s);
  IO::ADDSTR("input", valuewidth, s);
  IO::ADDSTR("from x", valuewidth, s);
  IO::ADDSTR("diff", valuewidth, s);
  IO::WRITETERMINAL(s + "\n");
  extended norm = 0;
  smallint k = 0;
  for (long j = 1; j <= NUV; ++j) {
    if (!BCOMPS[j]) continue;
    ++k;
    const extended diff = input[k] - computed[k];
    norm += diff * diff;
    s.clear();
    IO::ADDNAME(COMPNAME[j], namewidth, s);
    IO::ADDREAL(input[k], places, true, valuewidth, s);
    IO::ADDREAL(computed[k], places, true, valuewidth, s);
    IO::ADDREAL(diff, places, true, valuewidth, s);
    IO::WRITETERMINAL(s + "\n");
  }
  IO::WRITETERMINAL(std::sqrt(norm) <= samebulk ? "bulks are the same, ok\n"
                                                : "## bulks are different, input bulk overridden: copy rbi into scriptfile\n");
}

// The lower Cholesky factor of ROCKVXYZ over the variables that vary; one
// measured without error (sd 0) is held at its value rather than stopping
// the factorisation.
void factor(invmatrix& l) {
  farray<long, 1, maxrockxyz> varies{"rock varies"};
  smallint n = 0;
  for (long a = 1; a <= NROCKXYZ; ++a)
    if (ROCKVXYZ(a, a) > 0) varies[++n] = a;
  invmatrix a{"rock a"}, lv{"rock lv"};
  for (long p = 1; p <= n; ++p)
    for (long q = 1; q <= n; ++q) a(p, q) = ROCKVXYZ(varies[p], varies[q]);
  ZQNLE4::CHOLESKI(a, lv, n);
  l.fill(0);
  for (long p = 1; p <= n; ++p)
    for (long q = 1; q <= p; ++q) l(varies[p], varies[q]) = lv(p, q);
}

// The medians, spreads and correlations of the log-ratios, to standard output.
void listing() {
  const std::vector<sstring> names = rationames();
  std::string s = "mc    ";
  IO::ADDSTR("b'", valuewidth, s);
  IO::ADDSTR("sd(b')", valuewidth, s);
  IO::WRITETERMINAL(s + "\n");
  for (std::size_t i = 1; i <= names.size(); ++i) {
    s.clear();
    IO::ADDNAME(names[i - 1], -6, s);
    IO::ADDREAL(BP[static_cast<long>(i)], places, true, valuewidth, s);
    IO::ADDREAL(SDBP[static_cast<long>(i)], places, true, valuewidth, s);
    IO::WRITETERMINAL(s + "\n");
  }
  IO::WRITETERMINAL("correlations of b'\n");
  for (long i = 1; i <= static_cast<long>(names.size()); ++i) {
    s.clear();
    IO::ADDNAME(names[static_cast<std::size_t>(i - 1)], -6, s);
    for (long j = 1; j <= i; ++j) {
      const extended d = std::sqrt(COVBP(i, i) * COVBP(j, j));
      IO::ADDREAL(d > 0 ? COVBP(i, j) / d : 0, corplaces, true, corwidth, s);
    }
    IO::WRITETERMINAL(s + "\n");
  }
}

}  // namespace

void CALCCOVBP_ROCK(IO::rrvector& bulk) {
  const smallint nphases = NRBIMODE > 0 ? NRBIMODE : NRMIMODE;
  if (nphases <= 0) IO::ERROREXIT("calc covbp", "bulk calcs not properly set up", yourfault);
  if (NMIN + NP0 != nphases) IO::ERROREXIT("calc covbp", "nmode mismatch", yourfault);
  if (NUV - NLNA != NUVLEFT) IO::ERROREXIT("calc covbp", "nuvleft mismatch", yourfault);
  MINERALSETUP();
  CALCROCKXYZ();
  IO::rrvector computed{"rock bulk"};
  CALCBP(computed, BP, ROCKXYZ, 1);
  if (CONTROLJX.rbi == yes) compare(bulk, computed);
  for (long k = 1; k <= NUVLEFT; ++k) bulk[k] = computed[k];

  invmatrix l{"rock l"};
  factor(l);
  const auto seed = static_cast<std::uint32_t>(IO::CLOCK().time_since_epoch().count());
  IO::WRITETERMINAL(" seed = " + std::to_string(seed) + "\n");
  std::mt19937 generator(seed);
  std::normal_distribution<extended> gauss;

  const long n = NUVLEFT - 1;
  std::vector<sortvector> samples(static_cast<std::size_t>(n > 0 ? n : 0));
  xyzvector z{"rock z"}, xyz{"rock xyz"};
  IO::rrvector scratch{"rock scratch"}, bp{"rock bp"};
  for (smallint s = 1; s <= nsamples; ++s) {
    for (long a = 1; a <= NROCKXYZ; ++a) z[a] = gauss(generator);
    for (long a = 1; a <= NROCKXYZ; ++a) {
      xyz[a] = ROCKXYZ[a];
      for (long b = 1; b <= a; ++b) xyz[a] += l(a, b) * z[b];
    }
    CALCBP(scratch, bp, xyz, 0);
    for (long i = 1; i <= n; ++i) samples[static_cast<std::size_t>(i - 1)][s] = bp[i];
  }
  for (long i = 1; i <= n; ++i) {
    sortvector sorted = samples[static_cast<std::size_t>(i - 1)];
    ZQMATH1::SORT(sorted, nsamples);
    BP[i] = sorted[ZQMATH1::QI(0.5L, nsamples)];
    SDBP[i] = ZQMATH1::FINDNMAD(sorted, nsamples, BP[i]);
  }
  // The covariance pairs the entries of each sample, so it is formed from
  // the samples as drawn, not from the sorted copies; each pair once, its
  // mirror the same number.
  for (long i = 1; i <= n; ++i)
    for (long j = i; j <= n; ++j) {
      const sortvector& si = samples[static_cast<std::size_t>(i - 1)];
      const sortvector& sj = samples[static_cast<std::size_t>(j - 1)];
      extended sum = 0;
      for (smallint s = 1; s <= nsamples; ++s) sum += (si[s] - BP[i]) * (sj[s] - BP[j]);
      COVBP(i, j) = COVBP(j, i) = sum / (nsamples - 1);
    }
  listing();
}

}  // namespace ZQREAD3
