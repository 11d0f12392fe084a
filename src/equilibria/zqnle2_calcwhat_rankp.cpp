// The exact reduction of a phase set's composition matrix: its rank, the
// integer projection of the mass balance when the phases span fewer
// components than the system, the test that the bulk lies in the reduced
// system, the relations it must obey and the dump of the reduction.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <utility>

#include "equilibria/zqnle2.h"
#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

using i64 = std::int64_t;
using ZQMATH1::ADD64;
using ZQMATH1::MUL64;

const char* const where = "calcrankp";
// The bulk obeys a relation when its sum stays below this.
constexpr extended bulktolerance = 1e-6L;
// Field widths of the dump: column names and entries of the composition
// matrix, its row divisor, entries of the other matrices.
constexpr smallint namewidth = 5, entrywidth = 5, divwidth = 7, cellwidth = 4;
const std::string indent = "      ";

using work = fmatrix<i64, 1, maxcomp, 1, maxem>;
using square = fmatrix<i64, 1, maxcomp, 1, maxcomp>;

// The state of one reduction. Kept from call to call: dogmin reduces
// thousands of sets, and the tables are too big for the stack.
struct reduction {
  work a0{"calcrankp a0"}, a{"calcrankp a"};
  square t{"calcrankp t"};
  // Factors of the recorded row operations: above the diagonal, (s, r) the
  // factor of row r at step s; below it, (r, s) the factor of row s.
  square l{"calcrankp l"};
  farray<smallint, 1, maxcomp> perm{"calcrankp perm"};
  farray<smallint, 1, maxcomp> comp{"calcrankp comp"};  // the component of each row
  farray<longint, 1, maxcomp> d{"calcrankp d"};
  semvector names{"calcrankp names"};
  long m = 0, nc = 0, rank = 0;

  void build(const bemvector& set) {
    m = 0;
    for (long c = 1; c <= NUV; ++c)
      if (BCOMPS[c]) {
        comp[++m] = static_cast<smallint>(c);
        d[m] = COMPDIV[c];
      }
    nc = 0;
    auto addcolumn = [&](const icvector& cv, const sstring& name) {
      if (++nc > maxem) IO::ERROREXIT(where, "too many end-members", myfault);
      names[nc] = name;
      for (long r = 1; r <= m; ++r) a0(r, nc) = a(r, nc) = cv[comp[r]];
    };
    for (long p = 1; p <= NPSS; ++p) {
      if (!set[p]) continue;
      const ptype1& ph = (*PREC1)[p];
      for (long e = 1; e <= ph.nprop; ++e) addcolumn(ph.em[e].comp, ph.em[e].name);
    }
    for (long p = 1; p <= NP0; ++p)
      if (set[NPSS + p]) addcolumn((*PREC0)[p].comp, (*PREC0)[p].emname);
    for (long r = 1; r <= m; ++r) {
      perm[r] = static_cast<smallint>(r);
      for (long c = 1; c <= m; ++c) {
        t(r, c) = r == c ? 1 : 0;
        l(r, c) = c > r ? 1 : 0;
      }
    }
  }

  // The first non-zero entry from column j on, rows i..m within a column.
  bool findpivot(long i, long& j, long& row) const {
    if (a(i, j) != 0) {
      row = i;
      return true;
    }
    for (long c = j; c <= nc; ++c)
      for (long r = i; r <= m; ++r)
        if (a(r, c) != 0) {
          j = c;
          row = r;
          return true;
        }
    return false;
  }

  void exchange(long i, long row, long j) {
    for (long c = j; c <= nc; ++c) std::swap(a(i, c), a(row, c));
    std::swap(perm[i], perm[row]);
    for (long s = 1; s < i; ++s) {
      std::swap(l(s, i), l(s, row));
      std::swap(l(i, s), l(row, s));
    }
  }

  void clearbelow(long i, long j) {
    const i64 p = a(i, j);
    for (long r = i + 1; r <= m; ++r) {
      if (a(r, j) == 0) continue;
      const i64 g = ZQMATH1::GCD64(p, a(r, j), where);
      const i64 x = p / g, y = a(r, j) / g;
      const i64 fr = x >= 0 ? x : -x;
      const i64 fi = x >= 0 ? -y : y;
      for (long c = j; c <= nc; ++c) a(r, c) = ADD64(MUL64(fr, a(r, c), where), MUL64(fi, a(i, c), where), where);
      l(i, r) = fr;
      l(r, i) = fi;
    }
  }

  void eliminate() {
    rank = 0;
    const long last = std::min(m, nc);
    long j = 0;
    for (long i = 1; i <= last; ++i) {
      ++j;
      long row = 0;
      if (j > nc || !findpivot(i, j, row)) break;
      ++rank;
      if (row > i) exchange(i, row, j);
      clearbelow(i, j);
      if (j == nc) break;
    }
  }

  // T as the product of the recorded operations.
  void transform() {
    for (long s = 1; s < m; ++s)
      for (long r = s + 1; r <= m; ++r)
        for (long c = 1; c <= m; ++c)
          t(r, c) = ADD64(MUL64(l(s, r), t(r, c), where), MUL64(l(r, s), t(s, c), where), where);
  }

  void projection() {
    for (long c = 1; c <= m; ++c) {
      long q = 0;
      for (long i = 1; i <= m; ++i)
        if (perm[i] == c) q = i;
      if (q == 0) IO::ERROREXIT(where, "couldn't rearrange columns", yourfault);
      for (long r = 1; r <= m; ++r) {
        const i64 v = MUL64(d[c], t(r, q), where);
        if (v < std::numeric_limits<longint>::min() || v > std::numeric_limits<longint>::max())
          ZQMATH1::OVERFLOW64(where);
        PROJC(r, c) = static_cast<longint>(v);
      }
    }
  }

  // Row r of PROJC applied to column e of the composition matrix.
  extended projected(long r, long e) const {
    extended s = 0;
    for (long c = 1; c <= m; ++c) s += static_cast<extended>(a0(c, e)) * PROJC(r, c) / d[c];
    return s;
  }

  bool consistent() const {
    for (long r = 1; r <= m; ++r)
      for (long e = 1; e <= nc; ++e)
        if (std::nearbyint(projected(r, e) - static_cast<extended>(a(r, e))) != 0) return false;
    return true;
  }

  static bool inbulk(long r, long m, const cvector& bulk) {
    extended s = 0;
    for (long c = 1; c <= m; ++c) s += bulk[c] * PROJC(r, c);
    return std::fabs(s) < bulktolerance;
  }

  bool bulkfits() const {
    for (long r = m - RANKDEFICIT + 1; r <= m; ++r) {
      if (!inbulk(r, m, COMP1)) return false;
      if (NCOMP > 1 && !inbulk(r, m, COMP2)) return false;
    }
    return true;
  }

  void WRITEEQ() const;
  void refused(const bemvector& set) const;
  void dump() const;
};

void putline(const std::string& line) { IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG); }

void reduction::WRITEEQ() const {
  putline(RANKDEFICIT == 1 ? "this equation must apply" : "these equations must apply");
  liemvector v{"writeeq coefficients"};
  for (long r = m - RANKDEFICIT + 1; r <= m; ++r) {
    for (long c = 1; c <= m; ++c) v[c] = PROJC(r, c);
    const longint g = ZQMATH1::VECTORGCD(v, static_cast<smallint>(m));
    if (g > 1)
      for (long c = 1; c <= m; ++c) v[c] /= g;
    std::string line = "   ";
    bool first = true;
    for (long c = 1; c <= m; ++c) {
      if (v[c] == 0) continue;
      if (v[c] < 0) {
        line += " - ";
        if (v[c] != -1) line += " " + IO::INT2STR(-static_cast<extended>(v[c]));
      } else {
        if (!first) line += " + ";
        if (v[c] != 1) line += " " + IO::INT2STR(v[c]);
      }
      first = false;
      line += COMPNAME[comp[c]];
    }
    putline(line + " = 0");
  }
}

void reduction::refused(const bemvector& set) const {
  if (DOGMIN) putline("<" + std::string(50, '=') + ">");
  std::string line = "reduced system needed for handling equilibrium involving: ";
  for (long p = 1; p <= NPSS; ++p)
    if (set[p]) line += (*PREC1)[p].name + " ";
  for (long p = 1; p <= NP0; ++p)
    if (set[NPSS + p]) line += (*PREC0)[p].name + " ";
  IO::PUTSTR(DOGMIN ? 0 : 1, line, 1, CHANNEL::TERMSUMLOG);
  if (DOGMIN) return;
  putline("bulk NOT in reduced system");
  WRITEEQ();
}

void reduction::dump() const {
  const longint mask = CHANNEL::TERMSUMLOG;
  const std::string bullets = std::string(3, macroman::bullet);
  IO::PUTSTR(2, bullets + " debugging information " + bullets, 2, mask);
  IO::PUTSTR(1, "matrix is rank deficient", 2, mask);
  auto title = [&](const char* text) { IO::PUTSTR(1, text, 1, mask); };
  auto matrix = [&](long rows, long cols, bool indented, auto entry) {
    for (long r = 1; r <= rows; ++r) {
      std::string line = indented ? indent : "";
      for (long c = 1; c <= cols; ++c) IO::ADDINT(static_cast<extended>(entry(r, c)), cellwidth, line);
      putline(line);
    }
  };
  title("composition matrix");
  std::string line;
  for (long e = 1; e <= nc; ++e) IO::ADDNAME(names[e], namewidth, line);
  putline(line);
  for (long r = 1; r <= m; ++r) {
    line.clear();
    for (long e = 1; e <= nc; ++e) IO::ADDINT(static_cast<extended>(a0(r, e)), entrywidth, line);
    IO::ADDINT(d[r], divwidth, line);
    putline(line);
  }
  title("permutation matrix");
  for (long r = 1; r <= m; ++r) {
    line = indent;
    for (long c = 1; c <= m; ++c) line += perm[r] == c ? " 1" : " 0";
    putline(line);
  }
  title("L info");
  matrix(m, m, true, [&](long r, long c) { return l(r, c); });
  title("inv L");
  matrix(m, m, true, [&](long r, long c) { return t(r, c); });
  title("projc");
  matrix(m, m, true, [&](long r, long c) { return static_cast<i64>(PROJC(r, c)); });
  title("row-reduced matrix, U");
  matrix(m, nc, false, [&](long r, long c) { return a(r, c); });
  title("alternatively, projc A");
  matrix(m, nc, false, [&](long r, long c) { return std::nearbyint(projected(r, c)); });
  IO::ERROREXIT(where, "bulk not in reduced system", yourfault);
}

}  // namespace

void CALCRANKP(const bemvector& set, smallint& rank, bool& ok) {
  // Some 100 kB of 64-bit tables: made at the first call, kept for the run.
  static std::unique_ptr<reduction> state;
  if (!state) state = std::make_unique<reduction>();
  reduction& rd = *state;
  ok = true;
  rd.build(set);
  rd.eliminate();
  rank = static_cast<smallint>(rd.rank);
  RANKDEFICIT = static_cast<smallint>(rd.m - rd.rank);
  rd.transform();
  if (RANKDEFICIT <= 0) return;
  rd.projection();
  // Exact arithmetic that did not overflow always passes; a failure is a
  // fault of the reduction, not of the user's input.
  if (!rd.consistent()) IO::ERROREXIT(where, "can't make LU", myfault);
  if (NCOMP == 0) return;
  ok = rd.bulkfits();
  if (ok || (DOGMIN && DOGLEVEL <= 1)) return;
  rd.refused(set);
  if (DEBUGLEVEL > 1 && !DOGMIN) rd.dump();
}

}  // namespace ZQNLE2
