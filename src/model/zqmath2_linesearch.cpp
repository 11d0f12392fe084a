// The line search of one Newton iteration: accept, reach for the step limit
// or extend, then narrow a bracket by safeguarded cubic interpolation.
#include <cmath>
#include <string>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqmath2.h"

namespace ZQMATH2 {

namespace {

constexpr extended maxslim = 50;            // no step longer than this
constexpr extended firsttrialfrac = 0.9L;   // first trial within a limit below 1
constexpr extended suffrate = 0.01L;        // sufficient decrease: share of the slope
constexpr extended curvrate = 0.2L;         // slope reduced to this share
constexpr extended firstcurvrate = 0.5L;    // looser share at a first trial that decreased enough
constexpr extended nearlimitfrac = 0.9999999999L;   // trial just short of a window, mode or range limit
constexpr extended nearxlimitfrac = 0.99999L;       // trial just short of a variable's limit
constexpr extended extendfactor = 5;        // extension multiplies the step by this...
constexpr extended extendreach = 0.9L;      // ...while within this share of the way to the limit
constexpr smallint maxpasses = 10;          // passes of the extension and of the interpolation
constexpr extended lowguard = 0.1L;         // safeguard of the interpolated step, as shares of
constexpr extended midguard = 0.5L;         // the bracket
constexpr extended highguard = 0.9L;
constexpr smallint maxnotreduced = 3;       // iterations in a row without a fully acceptable step
constexpr extended endslack = 16;           // MACHEPS of the bracket's size: a candidate this far
                                            // beyond an end lies at that end by the formula

// Trial stages, as named in the failure message of a trial evaluation.
constexpr smallint firsttrial = 1, nearlimittrial = 2, extensiontrial = 4, interpolationtrial = 5;

char accmark(acctype acc) {
  switch (acc) {
    case acctype::windowlimit: return 'w';
    case acctype::xaccessible: return 'x';
    case acctype::paccessible: return 'p';
    case acctype::mulimit: return 'm';
    case acctype::inaccessible: return 'i';
  }
  return ' ';
}

[[noreturn]] void neitherininterval(extended a1, extended f1, extended g1, extended a2, extended f2, extended g2,
                                    extended c1, extended c2) {
  IO::PUTSTR(0, "neither in interval: info", 1, CHANNEL::TERMSUMLOG);
  auto three = [](const char* head, extended a, extended b, extended c) {
    std::string line = head;
    IO::ADDREAL(a, 4, false, 10, line);
    IO::ADDREAL(b, 4, false, 10, line);
    IO::ADDREAL(c, 4, false, 10, line);
    IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  };
  three("1: ", f1, g1, a1);
  three("2: ", f2, g2, a2);
  std::string line = "a,b:";
  IO::ADDREAL(c1, 4, false, 10, line);
  IO::ADDREAL(c2, 4, false, 10, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  IO::ERROREXIT("steplength", "neither in interval", myfault);
}

}  // namespace

void CUBIC(extended a1, extended f1, extended g1, extended a2, extended f2, extended g2, extended& c1,
           extended& c2) {
  const extended d = a2 - a1;
  const extended b = 3 * (f2 - f1) - d * (2 * g1 + g2);
  const extended c = d * (g1 + g2) - 2 * (f2 - f1);
  if (b == 0 && c == 0) {
    c1 = c2 = -a1;
  } else if (c == 0) {
    c1 = c2 = a1 + d * (-g1 * d) / (2 * b);
  } else {
    const extended disc = 4 * b * b - 12 * c * g1 * d;
    if (disc < 0) {
      c1 = c2 = -a1;
    } else {
      const extended root = std::sqrt(disc);
      c1 = a1 + d * (-2 * b - root) / (6 * c);
      c2 = a1 + d * (-2 * b + root) / (6 * c);
    }
  }
}

namespace {

// The cubic's stationary points without the cancellation of the plain
// quadratic formula: where the fit is nearly a parabola, the near root
// comes out of the difference of two near-equal terms and can miss a
// bracket's end by far more than the arithmetic's unit. The far root keeps
// the formula; the near one is taken from the product of the two.
void stablecubic(extended a1, extended f1, extended g1, extended a2, extended f2, extended g2, extended& c1,
                 extended& c2) {
  const extended d = a2 - a1;
  const extended b = 3 * (f2 - f1) - d * (2 * g1 + g2);
  const extended c = d * (g1 + g2) - 2 * (f2 - f1);
  const extended disc = b * b - 3 * c * g1 * d;
  c1 = c2 = -a1;
  if (!(disc >= 0)) return;
  const extended q = -(b + std::copysign(std::sqrt(disc), b));
  if (q == 0) return;
  if (c != 0) c1 = a1 + d * (q / (3 * c));
  c2 = a1 + d * (g1 * d / q);
}

// A candidate within rounding of the bracket [a1, a2], put on it; false
// when it lies truly outside.
bool onbracket(extended a1, extended a2, extended& c) {
  if (!std::isfinite(c)) return false;
  const extended slack = endslack * IO::MACHEPS * (std::fabs(a1) + std::fabs(a2));
  if (c < a1 - slack || c > a2 + slack) return false;
  c = c < a1 ? a1 : (c > a2 ? a2 : c);
  return true;
}

// One line search: the merit at the start, the two ends of the bracket and
// the step it settles on. Its stages follow the search: the first trial,
// then the near-limit trial or the extension, then the interpolation.
struct linesearch {
  nlemerit& m;
  extended& s;
  smallint& stepcode;
  extended f0 = 0, g0 = 0, slim = 0;
  bool tracing = false;
  // Lower and upper end: step, merit and slope; during the extension the
  // lower end is the best point so far.
  extended a1 = 0, f1 = 0, g1 = 0, a2 = 0, f2 = 0, g2 = 0;

  // The acceptance test at a trial point; the first trial that decreased
  // enough gets the looser slope rule.
  bool test(extended a, extended f, extended g, bool first) {
    m.suff = f < f0 + suffrate * a * g0;
    const extended share = first && m.suff ? firstcurvrate : curvrate;
    m.curv = std::fabs(g) < share * std::fabs(g0);
    return m.fnok || (m.suff && m.curv);
  }
  void trial(extended a, extended& f, extended& g, smallint stage) { m.fnok = m.FN(a, f, g, stage); }
  void take(extended a, extended f, extended g) {
    s = a;
    m.gacc = g;
    m.facc = f;
  }

  // The first trial, then whatever it calls for.
  void run() {
    a1 = slim > 1 ? 1 : firsttrialfrac * slim;
    trial(a1, f1, g1, firsttrial);
    const bool acceptable = test(a1, f1, g1, true);
    if (tracing) m.PRINTINFO('s', accmark(m.acc), f1, g1, a1);
    if (acceptable) return take(a1, f1, g1);
    if (g1 >= 0 || f1 > f0) {
      // A minimum lies in (0, a1).
      a2 = a1, f2 = f1, g2 = g1;
      a1 = 0, f1 = f0, g1 = g0;
      return interpolation();
    }
    if (beyondfirst()) interpolation();
  }

  // f fell but not enough, the slope still negative: reach for the limit or
  // extend, by the kind of limit. True when a bracket is left to narrow.
  bool beyondfirst() {
    bool acceptable = false;
    switch (m.acc) {
      case acctype::windowlimit:
      case acctype::paccessible:
      case acctype::mulimit:
      case acctype::xaccessible:
        a2 = (m.acc == acctype::xaccessible ? nearxlimitfrac : nearlimitfrac) * slim;
        if (a2 <= a1) {
          // Within a hair of a limit beyond 1 the near-limit trial would fall
          // short of the first one: keep the first, as not reduced.
          take(a1, f1, g1);
          return false;
        }
        acceptable = nearlimit();
        break;
      case acctype::inaccessible:
        acceptable = extension();
        if (!acceptable && m.lscount == maxpasses) {
          s = a2;
          stepcode = LSCODE::nointerval;
          return false;
        }
        break;
      default:
        IO::ERROREXIT("steplength", "unknown accessibility", myfault);
    }
    if (!acceptable) return true;
    if (f1 <= f2)
      take(a1, f1, g1);
    else
      take(a2, f2, g2);
    return false;
  }

  // The trial just short of the limit; a lower merit with a falling slope
  // will do.
  bool nearlimit() {
    trial(a2, f2, g2, nearlimittrial);
    bool acceptable = test(a2, f2, g2, false);
    if (tracing) m.PRINTINFO('a', ' ', f2, g2, a2);
    if (!acceptable && g2 < 0) acceptable = f2 < f1;
    return acceptable;
  }

  // Longer steps towards a limit that does not bind, until one is
  // acceptable, the slope turns, or the passes run out.
  bool extension() {
    bool acceptable = false;
    m.lscount = 0;
    a2 = a1;
    do {
      ++m.lscount;
      const extended reach = a2 + extendreach * (slim - a2);
      a2 = extendfactor * a2 <= reach ? extendfactor * a2 : reach;
      trial(a2, f2, g2, extensiontrial);
      acceptable = test(a2, f2, g2, false);
      if (tracing) m.PRINTINFO('i', ' ', f2, g2, a2);
      if (!acceptable && g2 < 0) {
        if (m.lscount == maxpasses)
          acceptable = true;
        else if (f2 <= f1)
          a1 = a2, f1 = f2, g1 = g2;
      }
    } while (!acceptable && !(g2 >= 0) && m.lscount != maxpasses);
    return acceptable;
  }

  // The candidate of the cubic through the ends, kept off them.
  extended safeguarded() const {
    extended c1 = 0, c2 = 0, t = 0;
    CUBIC(a1, f1, g1, a2, f2, g2, c1, c2);
    if (a1 <= c1 && c1 <= a2)
      t = c1;
    else if (a1 <= c2 && c2 <= a2)
      t = c2;
    else {
      extended s1 = 0, s2 = 0;
      stablecubic(a1, f1, g1, a2, f2, g2, s1, s2);
      if (onbracket(a1, a2, s2))
        t = s2;
      else if (onbracket(a1, a2, s1))
        t = s1;
      else
        neitherininterval(a1, f1, g1, a2, f2, g2, c1, c2);
    }
    const extended d = a2 - a1;
    if (f1 <= f2) {
      if (t < a1 + lowguard * d) t = a1 + lowguard * d;
      if (t > a1 + midguard * d) t = a1 + midguard * d;
    } else {
      if (t < a1 + midguard * d) t = a1 + midguard * d;
      if (t > a1 + highguard * d) t = a1 + highguard * d;
    }
    return t;
  }

  char interpolationmark(extended f, extended g) const {
    if (g < 0 && f > f0) return macroman::bullet;
    if (m.suff && m.curv) return 'g';
    if (m.curv) return 'p';
    if (m.suff) return 'f';
    if (m.fnok) return '*';
    return ' ';
  }

  // Narrows the bracket [a1, a2] until a trial is acceptable or the passes
  // run out.
  void interpolation() {
    m.lscount = 0;
    extended f = 0, g = 0;
    bool acceptable = false;
    for (;;) {
      ++m.lscount;
      s = safeguarded();
      trial(s, f, g, interpolationtrial);
      acceptable = test(s, f, g, false);
      if (m.lscount == maxpasses) acceptable = m.suff;
      if (tracing) m.PRINTINFO('b', interpolationmark(f, g), f, g, s);
      if (acceptable || m.lscount == maxpasses) {
        m.gacc = g;
        m.facc = f;
        break;
      }
      if (g > 0 || (g < 0 && f > f1))
        a2 = s, f2 = f, g2 = g;
      else
        a1 = s, f1 = f, g1 = g;
    }
    if (!acceptable) stepcode = LSCODE::novalue;
  }
};

}  // namespace

bool STEPLENGTH(nlemerit& m, extended& s, smallint& stepcode) {
  using ZQGLOBAL::DEBUGLEVEL;
  m.traceline = 0;
  if (DEBUGLEVEL == 3) m.PRINTHEADER();
  linesearch ls{m, s, stepcode};
  stepcode = LSCODE::stepped;
  m.STARTUP(m.f0, ls.g0, ls.slim, stepcode);
  ls.f0 = m.f0;
  if (ls.slim > maxslim) {
    ls.slim = maxslim;
    m.acc = acctype::mulimit;
  }
  if (stepcode != LSCODE::stepped) return m.fnok;

  ls.tracing = DEBUGLEVEL == 3 || DEBUGLEVEL == 4;
  if (ls.tracing) m.PRINTINFO('0', ' ', ls.f0, ls.g0, 0);
  ls.run();

  if ((m.suff && m.curv) || m.fnok) {
    m.notreduced = 0;
  } else {
    ++m.notreduced;
    if (m.notreduced == maxnotreduced) stepcode = LSCODE::notreduced;
  }
  if (DEBUGLEVEL == 2) m.PRINTINFO('*', (m.suff && m.curv) || m.fnok ? ' ' : '#', m.facc, m.gacc, s);
  return m.fnok;
}

}  // namespace ZQMATH2
