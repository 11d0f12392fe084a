// The one reaction among a set of phases, by exact integer elimination,
// completed with the phases in excess and oriented; its storage and the
// judgement each mode makes of it; the independence test and ln K term.
#include <cmath>
#include <cstdint>
#include <limits>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqre.h"
#include "model/zqre_finder.h"

using namespace ZQGLOBAL;

namespace ZQRE {

namespace {

using i64 = std::int64_t;

// Fraction-free steps multiply entries before the gcds bring them down, so
// they work in 64 bits; what even that cannot hold, or what does not fit the
// 16-bit reaction table, stops the run instead of wrapping into a reaction
// that fails its balance later.
[[noreturn]] void toolarge() { IO::ERROREXIT("calcr", "reaction coefficient too large", yourfault); }

i64 mul(i64 a, i64 b) {
  i64 r;
  if (__builtin_mul_overflow(a, b, &r)) toolarge();
  return r;
}
i64 sub(i64 a, i64 b) {
  i64 r;
  if (__builtin_sub_overflow(a, b, &r)) toolarge();
  return r;
}
i64 add(i64 a, i64 b) {
  i64 r;
  if (__builtin_add_overflow(a, b, &r)) toolarge();
  return r;
}
i64 absv(i64 a) { return a < 0 ? sub(0, a) : a; }
i64 gcd(i64 a, i64 b) {
  a = absv(a);
  b = absv(b);
  while (b != 0) {
    const i64 t = a % b;
    a = b;
    b = t;
  }
  return a;
}
i64 lcm(i64 a, i64 b) {
  if (a == 0 || b == 0) return 0;
  return absv(mul(a / gcd(a, b), b));
}

// Columns: the chosen phases, at most one more than the rank of the
// components, which are at most maxcomp.
constexpr int maxcol = maxcomp + 1;
using amatrix = fmatrix<i64, 1, maxcomp, 1, maxcol>;
using reactionvector = farray<i64, 1, maxem>;

struct calcr {
  smallint k;
  const bcvector& ox;
  const bemvector& ph;
  bemvector& sel;
  smallint n = 0;  // columns: RANKC + 1
  amatrix A{"calcr a"};
  farray<smallint, 1, maxcol> col{"calcr col"};
  farray<i64, 1, maxcol> num{"calcr num"}, den{"calcr den"};
  reactionvector v{"calcr v"};

  // Rows over the chosen components, columns over the chosen phases, each
  // row divided by the gcd of its entries.
  void CALCA() {
    smallint rows = 0, phases = 0;
    for (smallint i = 1; i <= NU; ++i)
      if (ox[i]) ++rows;
    if (rows != k)
      IO::ERROREXIT("calca", "wrong no of components " + IO::INT2STR(rows) + " " + IO::INT2STR(k), myfault);
    for (smallint j = 1; j <= NNE; ++j)
      if (sel[j]) ++phases;
    if (phases != n) {
      wrongphases(rows, phases);
      IO::ERROREXIT("calca", "wrong no of phases ", myfault);
    }
    smallint r = 0;
    for (smallint i = 1; i <= NU; ++i) {
      if (!ox[i]) continue;
      ++r;
      smallint c = 0;
      for (smallint j = 1; j <= NNE; ++j) {
        if (!sel[j]) continue;
        ++c;
        A(r, c) = (*C)(i, j);
        col[c] = j;
      }
      i64 g = 0;
      for (smallint c2 = 1; c2 <= n; ++c2) g = gcd(g, A(r, c2));
      if (g > 1)
        for (smallint c2 = 1; c2 <= n; ++c2) A(r, c2) /= g;
    }
  }

  void wrongphases(smallint rows, smallint phases) {
    constexpr longint mask = CHANNEL::TERMSUMLOG;
    IO::PUTSTR(0,
               "ix = " + IO::INT2STR(rows) + ", no = " + IO::INT2STR(k) + ", iy = " + IO::INT2STR(phases) +
                   ", rankc+1 = " + IO::INT2STR(n),
               1, mask);
    for (smallint i = 1; i <= NU; ++i) {
      std::string line = ox[i] ? "" : "     ";
      IO::ADDNAME(COMPNAME[i], -5, line);
      IO::PUTSTR(i == NU ? 1 : 0, line, 1, mask);
    }
    for (smallint j = 1; j <= NNE; ++j) {
      std::string line = sel[j] ? "" : "     ";
      IO::ADDNAME(NAME[j], -8, line);
      if (sel[j]) IO::ADDSTR("     ", 0, line);
      if (ph[j]) IO::ADDSTR("*", 4, line);
      IO::PUTSTR(0, line, 1, mask);
    }
  }

  // Fraction-free elimination with full pivot search, until no pivot is
  // left or the last column is reached.
  void eliminate() {
    for (smallint i = 1;; ++i) {
      smallint pr = 0, pc = 0;
      if (i <= k && A(i, i) != 0) {
        pr = i;
        pc = i;
      } else {
        for (smallint c = i; c <= n && pr == 0; ++c)
          for (smallint r = i; r <= k; ++r)
            if (A(r, c) != 0) {
              pr = r;
              pc = c;
              break;
            }
      }
      if (pr == 0) return;
      if (pc > i) {
        for (smallint r = 1; r <= k; ++r) std::swap(A(r, pc), A(r, i));
        std::swap(col[pc], col[i]);
      }
      if (pr > i) {
        A(i, i) = A(pr, i);
        A(pr, i) = 0;
        for (smallint c = i + 1; c <= n; ++c) std::swap(A(pr, c), A(i, c));
      }
      for (smallint r = i; r <= k; ++r) {
        i64 g = 0;
        for (smallint c = i; c <= n; ++c) g = gcd(g, A(r, c));
        if (g > 1)
          for (smallint c = i; c <= n; ++c) A(r, c) /= g;
      }
      const i64 pivot = A(i, i);
      for (smallint r = i + 1; r <= k; ++r) {
        if (A(r, i) == 0) continue;
        const i64 g = gcd(pivot, A(r, i));
        const i64 a = pivot / g, b = A(r, i) / g;
        for (smallint c = i + 1; c <= n; ++c) A(r, c) = sub(mul(a, A(r, c)), mul(b, A(i, c)));
      }
      for (smallint r = i + 1; r <= k; ++r) A(r, i) = 0;
      if (i >= n) return;
    }
  }

  // The chosen phases must be one short of full rank: a non-zero last
  // pivot leaves no reaction among them.
  void checkrank() {
    if (k == RANKC || A(n, n) == 0) return;
    IO::PUTSTR(1,
               "   no =" + IO::INT2STR(k) + ",  nmax =" + IO::INT2STR(NPHSUB) + ", rank =" + IO::INT2STR(RANKC), 1,
               CHANNEL::TERMLOG);
    IO::ERROREXIT("re", "no reaction - WHY", myfault);
  }

  // Back substitution in rationals, with the last phase at -1; the
  // denominators' common multiple makes the coefficients whole.
  void solve() {
    for (smallint i = RANKC; i >= 1; --i) {
      const i64 d = A(i, i), e = A(i, n);
      if (d == 0) {
        num[i] = 0;
        den[i] = 1;
      } else {
        const i64 g = gcd(d, e);
        num[i] = e / g;
        den[i] = d / g;
        if (d < 0) {
          num[i] = -num[i];
          den[i] = -den[i];
        }
      }
      for (smallint r = 1; r <= i - 1; ++r) {
        const i64 g2 = gcd(A(r, i), den[i]);
        const i64 f = den[i] / g2;
        A(r, n) = sub(mul(f, A(r, n)), mul(num[i], A(r, i) / g2));
        if (f > 1)
          for (smallint c = r; c <= RANKC; ++c)
            if (c != i) A(r, c) = mul(f, A(r, c));
      }
    }
    i64 L = 1;
    for (smallint i = 1; i <= RANKC; ++i) L = lcm(L, den[i]);
    for (smallint j = 1; j <= NCV; ++j) v[j] = 0;
    for (smallint i = 1; i <= RANKC; ++i) v[col[i]] = mul(num[i], L / den[i]);
    v[col[n]] = -L;
  }

  // Each phase in excess takes up the balance of its own component; the
  // phases' coefficients are scaled so that its coefficient is whole.
  void excess() {
    if (NU >= NUV) return;
    farray<i64, 1, maxcomp> a{"calcr excess a"}, b{"calcr excess b"};
    i64 M = 1;
    for (smallint u = NU + 1; u <= NUV; ++u) {
      i64 s = 0;
      for (smallint j = 1; j <= NCV; ++j) s = add(s, mul(v[j], (*C)(u, j)));
      const i64 g = gcd(s, COMPDIV[u]);
      a[u] = s / g;
      b[u] = COMPDIV[u] / g;
      M = lcm(M, b[u]);
    }
    if (M > 1)
      for (smallint j = 1; j <= NNE; ++j) v[j] = mul(M, v[j]);
    for (smallint u = NU + 1; u <= NUV; ++u) v[NNE + (u - NU)] = -mul(M / b[u], a[u]);
  }

  void CHECK() {
    for (smallint i = 1; i <= NUV; ++i) {
      i64 s = 0;
      for (smallint j = 1; j <= NCV; ++j) s = add(s, mul(v[j], (*C)(i, j)));
      if (s == 0) continue;
      unbalanced();
      (void)IO::QUERY("in check");
      IO::ERROREXIT("check", "unbalanced", myfault);
    }
  }

  // The reaction and the composition matrix straight to the terminal, for
  // the maintainer.
  void unbalanced() {
    std::string out = "\n\n";
    for (smallint j = 1; j <= NNE; ++j) {
      if (!sel[j]) continue;
      IO::ADDNAME(NAME[j], 8, out);
      IO::ADDINT(static_cast<extended>(v[j]), 8, out);
      out += '\n';
    }
    out += "\n ";
    for (smallint i = 1; i <= NUV; ++i) IO::ADDNAME(COMPNAME[i], 8, out);
    out += '\n';
    for (smallint j = 1; j <= NCV; ++j) {
      out += NAME[j];
      out += '\n';
      for (smallint i = 1; i <= NUV; ++i) IO::ADDINT((*C)(i, j), 8, out);
      if (j <= NNE && sel[j]) out += std::string(" ") + macroman::bullet;
      out += '\n';
    }
    out += ' ';
    for (smallint i = 1; i <= NUV; ++i) IO::ADDSTR(i <= NU && ox[i] ? macroman::bullet_s : " ", 8, out);
    out += "\n\n";
    IO::WRITETERMINAL(out);
  }

  // H2O and CO2 together never on the reactant side.
  void REVERSE() {
    i64 s = 0;
    if (H2OPOS > 0) s = add(s, v[H2OPOS]);
    if (CO2POS > 0) s = add(s, v[CO2POS]);
    if (s < 0)
      for (smallint j = 1; j <= NCV; ++j) v[j] = -v[j];
  }

  // A reaction outside the diagram window: the phases on its side that is
  // unstable throughout the window become an excluded phase or assemblage.
  void BUILDEXA(bool negative) {
    --NR;
    --NRBIT;
    IO::longint3 s;
    smallint m = 0, p = 0;
    for (smallint j = 1; j <= NNE; ++j)
      if (negative ? v[j] < 0 : v[j] > 0) {
        IO::BSET2(s, j);
        ++m;
        p = j;
      }
    bool isnew = false;
    if (m == 1) {
      bool there = false;
      for (smallint i = 1; i <= NEX1; ++i) there = there || EXEM[i] == p;
      if (!there) {
        if (NEX1 >= maxem) IO::ERROREXIT("buildexa", "too many excluded phases", yourfault);
        EXEM[++NEX1] = p;
        isnew = true;
      }
      smallint kept = 0;
      for (smallint i = 1; i <= NEX; ++i)
        if (!IO::BTST2(EXA[i], p)) EXA[++kept] = EXA[i];
      NEX = kept;
    } else if (m > 1 && NEX == 0) {
      if (!holdsexem(s)) {
        NEX = 1;
        EXA[1] = s;
        isnew = true;
      }
    } else if (m > 1) {
      bool covered = false, anysubset = false;
      for (smallint i = 1; i <= NEX && !covered; ++i) {
        if (IO::BSUBSET2(s, EXA[i]))
          covered = true;
        else if (IO::BSUBSET2(EXA[i], s))
          anysubset = true;
      }
      if (!covered) {
        isnew = true;
        if (anysubset) {
          smallint kept = 0;
          for (smallint i = 1; i <= NEX; ++i)
            if (!IO::BSUBSET2(EXA[i], s)) EXA[++kept] = EXA[i];
          NEX = kept;
        }
        if (NEX >= maxexa) IO::ERROREXIT("buildexa", "too many excluded assemblages", yourfault);
        EXA[++NEX] = s;
      }
    }
    WRITEMARK(isnew ? '+' : '-');
  }

  static bool holdsexem(const IO::longint3& s) {
    for (smallint i = 1; i <= NEX1; ++i)
      if (EXEM[i] >= 0 && EXEM[i] <= maxrephases && IO::BTST2(s, EXEM[i])) return true;
    return false;
  }
};

// The standard deviation of a kept reaction's position, for the user's eye
// only: straight to the terminal.
void writesd(extended sd) {
  std::string line;
  if (AVMODE == avtype::avtmode) {
    line = " ";
    IO::ADDINT(sd, 0, line);
  } else {
    IO::ADDREAL(sd, 1, true, 5, line);
  }
  IO::WRITETERMINAL(line + "\n");
}

}  // namespace

void CALCR(smallint k, const bcvector& ox, const bemvector& ph, bemvector& sel) {
  if (k < 1 || k > maxcomp) IO::ERROREXIT("calcr", "component count outside 1..26", myfault);
  calcr w{k, ox, ph, sel};
  w.n = static_cast<smallint>(RANKC + 1);
  if (RANKC < 1 || w.n > maxcol) IO::ERROREXIT("calcr", "rank of the subsystem outside 1..26", myfault);
  w.CALCA();
  w.eliminate();
  w.checkrank();
  w.solve();
  w.excess();
  w.CHECK();
  w.REVERSE();

  if (NR >= maxreac) IO::ERROREXIT("calcr", "reaction table full", myfault);
  farray<smallint, 1, maxem> coef{"calcr coefficients"};
  for (smallint j = 1; j <= NCV; ++j) {
    if (w.v[j] < std::numeric_limits<smallint>::min() || w.v[j] > std::numeric_limits<smallint>::max())
      toolarge();
    coef[j] = static_cast<smallint>(w.v[j]);
  }
  ++NR;
  for (smallint j = 1; j <= maxem; ++j) (*R)(NR, j) = j <= NCV ? coef[j] : 0;
  for (smallint j = 1; j <= NNE; ++j) sel[j] = w.v[j] != 0;
  if (NRBIT < maxrbit) RBIT[++NRBIT] = FLAGSET(sel);
  if (CALCMODE != calcmodetype::nlecalc && CALCMODE != calcmodetype::rockcalc) CALCDEL();

  if (CALCMODE == calcmodetype::rockcalc) {
    char mark = '-';
    extended sd = 0;
    if (NEWINDR()) {
      CALCDEL();
      if (!INAVWINDOW(sd))
        mark = '0';
      else
        mark = sd > SDAVVMAX ? ':' : 'X';
    }
    if (mark == 'X')
      ++NRSUB;
    else
      --NR;
    WRITEMARK(mark);
    if (mark == 'X') writesd(sd);
  } else if (CALCMODE == calcmodetype::phasecalc) {
    g4vector g;
    if (INPTXWINDOW(NR, g)) {
      WRITEMARK('X');
    } else if (DOALLREACTIONS) {
      --NR;
      --NRBIT;
      WRITEMARK('+');
    } else {
      w.BUILDEXA(g[1]);
    }
  }
}

bool NEWINDR() {
  const smallint limit = CALCMODE == calcmodetype::nlecalc ? 80 : CALCMODE == calcmodetype::rockcalc ? 24 : 0;
  reactionvector w{"newindr w"};
  for (smallint j = 1; j <= NCV; ++j) w[j] = (*R)(NR, j);
  auto reduce = [&] {
    i64 g = 0;
    for (smallint j = 1; j <= NCV; ++j) g = gcd(g, w[j]);
    if (g > 1)
      for (smallint j = 1; j <= NCV; ++j) w[j] /= g;
    return g != 0;
  };
  for (smallint i = 1; i <= NR - 1; ++i) {
    const smallint p = KRR[i];
    if (w[p] == 0) continue;
    const i64 g = gcd(RRIR(i, p), w[p]);
    const i64 a = RRIR(i, p) / g, b = w[p] / g;
    for (smallint j = 1; j <= NCV; ++j) w[j] = sub(mul(a, w[j]), mul(b, RRIR(i, j)));
    reduce();
  }
  if (!reduce()) return false;
  if (limit > 0 && NR > limit) IO::ERROREXIT("newindr", "too many independent reactions", yourfault);
  smallint first = 0;
  for (smallint j = NCV; j >= 1; --j)
    if (w[j] != 0) first = j;
  KRR[NR] = first;
  for (smallint j = 1; j <= NCV; ++j) {
    if (w[j] < std::numeric_limits<longint>::min() || w[j] > std::numeric_limits<longint>::max()) toolarge();
    RRIR(NR, j) = static_cast<longint>(w[j]);
  }
  return true;
}

void CALCDEL() {
  if (CALCMODE == calcmodetype::nlecalc) {
    ALNK[NR] = 0;
    return;
  }
  // End-members outside the reaction add nothing, whatever their activity.
  extended s = 0;
  for (smallint j = 1; j <= NCV; ++j) {
    const smallint nu = (*R)(NR, j);
    if (nu != 0) s = s + static_cast<extended>(nu) * std::log(ACTIVITY[j]);
  }
  ALNK[NR] = s;
}

void WRITEMARK(char ch) {
  ++NSYM;
  IO::PUTSTR(0, std::string(1, ch), 0, CHANNEL::TERMLOG);
}

}  // namespace ZQRE
