// Value lists: the pressures, temperatures, x(CO2), activities and chemical
// potentials at which lines and tables are calculated, made from a window
// and an increment, and the decimals used to print them.
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "frame/bytes.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQUTE1 {

namespace {

constexpr long maxn = maxlistvalues;
// Far more values than any list holds; counting stops here.
constexpr long toomany = 100000;
// Windows narrower than these hold one value, and limits closer than these
// to a whole number print without decimals: kbar, K, ln a or activity, mu.
constexpr extended PSAME = 1e-6L;
constexpr extended TSAME = 1e-5L;
constexpr extended LNASAME = 1e-5L;
constexpr extended MUSAME = 0.001L;
// A stepped list whose last value falls short of the window's end by more
// than these gets the end value appended: kbar, K, ln a or activity, mu.
constexpr extended PENDTOL = 1e-4L;
constexpr extended TENDTOL = 0.01L;
constexpr extended LNAENDTOL = 1e-5L;
constexpr extended MUENDTOL = 1e-4L;
// A scripted T increment closer than this to a whole number prints as one.
constexpr extended WHOLETOL = 1e-4L;

void say(const std::string& text) { IO::PUTSTR(0, text, 1, CHANNEL::TERMLOG); }

smallint places(extended x) { return IO::NPLACES(x); }

std::string fixedtext(extended x) { return IO::REAL2STR(x, places(x), true); }

// Decimals that show a window limit: none for a whole number.
smallint limitplaces(extended x, extended tol) {
  return std::fabs(x - std::nearbyint(x)) < tol ? 0 : places(x);
}

// The number of stepped values before any end value: the whole number of
// increments in the range (truncated or nearest, ties to even) plus one.
long stepcount(extended range, extended inc, bool nearest) {
  const extended ratio = range / inc;
  if (!(ratio < toomany)) return toomany;
  return static_cast<long>(nearest ? std::nearbyint(ratio) : std::trunc(ratio)) + 1;
}

// Counts or stores low, low + inc, ... by repeated addition, n of them, and
// high after them when the last falls short of it by more than tol. The
// count and the list come from the same arithmetic, so a list that passed
// the count never outgrows its table. A sum that passes high by no more than
// the rounding of its additions is high itself, so the window's own edge
// is never taken as outside it.
long stepped(extended low, extended inc, long n, extended high, extended tol,
             const std::function<void(long, extended)>& store) {
  if (n >= toomany) return toomany;
  const extended rounding =
      static_cast<extended>(n) * std::numeric_limits<extended>::epsilon() * (std::fabs(low) + std::fabs(high));
  extended v = low;
  if (store) store(1, v);
  for (long i = 2; i <= n; ++i) {
    v += inc;
    if (v > high && v - high <= rounding) v = high;
    if (store) store(i, v);
  }
  if (v + tol < high) {
    if (store) store(n + 1, high);
    return n + 1;
  }
  return n;
}

// The texts of one increment dialogue.
struct dialogue {
  std::string first;     // the first question
  std::string again;     // the question after a failed increment
  std::string negative;  // the question after a negative one; empty: none
  std::function<void()> toolarge;
  std::string toosmall;
};

// Asks (or takes the given increment) until it is positive, no larger than
// the range, and makes a list of at most maxn values.
extended askincrement(const dialogue& dl, bool given, extended inc, extended range,
                      const std::function<long(extended)>& count) {
  for (int pass = 1;; ++pass) {
    if (pass == 1) {
      if (!given) IO::PROMPTREAL(dl.first, inc);
    } else if (inc > range) {
      dl.toolarge();
      IO::PROMPTREAL(dl.again, inc);
    } else if (inc < 0 && !dl.negative.empty()) {
      IO::PROMPTREAL(dl.negative, inc);
    } else {
      say(dl.toosmall);
      IO::PROMPTREAL(dl.again, inc);
    }
    if (inc > 0 && inc <= range && count(inc) <= maxn) return inc;
  }
}

void solvedprecision(const std::string& where) {
  switch (CALCVARIABLE) {
    case calcvariabletype::calcpressure: PPRECISION = 3; break;
    case calcvariabletype::calctemperature: TPRECISION = 2; break;
    default: IO::ERROREXIT(where, "unknown calcvariable", myfault);
  }
}

std::string windowline(const std::string& what, extended low, extended high) {
  return what + " window : " + fixedtext(low) + " <-> " + fixedtext(high) + " : ";
}

// The one-shot lists of calc modes 1 and 2: an unusable increment is
// repaired rather than asked again.
void oneshot(listvector& list, smallint& count, extended low, extended high, extended tol, extended scriptinc,
             bool listed, const std::string& ask, bool announce, const std::string& unit) {
  list[1] = low;
  if (std::fabs(low - high) < tol) {
    count = 1;
    return;
  }
  extended inc = 0;
  if (scriptinc > 0)
    inc = scriptinc;
  else if (listed)
    IO::PROMPTREAL(ask, inc);
  if (!(inc > 0)) return;
  const extended range = high - low;
  if (inc > range) inc = 0.5L * range;
  if (stepped(low, inc, stepcount(range, inc, false), high, tol, nullptr) > maxn) inc = range / 200;
  if (scriptinc > 0 && announce) say(ask + " = " + fixedtext(inc) + unit + " (from script)");
  count = static_cast<smallint>(
      stepped(low, inc, std::min(stepcount(range, inc, false), maxn), high, tol, [&](long i, extended v) {
        if (i <= maxn) list[i] = v;
      }));
  count = static_cast<smallint>(std::min<long>(count, maxn));
}

}  // namespace

void LISTP() {
  const bool listed = FIX == fixtype::fixp || FIX == fixtype::fixpt;
  oneshot(LP, NLP, PLOW, PHIGH, PSAME, CPINC, listed, "P interval", FIX != fixtype::fixt, " kbar");
}

void LISTT() {
  const bool listed = FIX == fixtype::fixt || FIX == fixtype::fixpt;
  oneshot(LT, NLT, TLOW, THIGH, TSAME, CTINC, listed, "T interval", FIX != fixtype::fixp,
          std::string(" ") + macroman::degree_s + "C");
}

void LISTP3() {
  PPRECISION = 3;
  const bool given = CPINC > 0;
  extended inc = given ? CPINC : 0;
  if (std::fabs(PHIGH - PLOW) < PSAME) {
    NLP = 1;
    LP[1] = PLOW;
    PPRECISION = std::max<smallint>(3, places(PLOW));
  } else {
    const smallint d = std::max(limitplaces(PLOW, PSAME), limitplaces(PHIGH, PSAME));
    if (given) say("P interval = " + fixedtext(inc) + " (from script)");
    const extended range = PHIGH - PLOW;
    const dialogue dl{"P interval", "try again: P interval", "P interval must be positive - try again: P interval",
                      [&] {
                        say("P interval too large : max P(high) - P(low) = " +
                            IO::REAL2STR(range, d == 0 ? 1 : d, true));
                      },
                      "P interval too small : max of " + IO::INT2STR(maxn) + " pressures"};
    inc = askincrement(dl, given, inc, range, [&](extended x) {
      return stepped(PLOW, x, stepcount(range, x, false), PHIGH, PENDTOL, nullptr);
    });
    NLP = static_cast<smallint>(
        stepped(PLOW, inc, stepcount(range, inc, false), PHIGH, PENDTOL, [](long i, extended v) { LP[i] = v; }));
    PPRECISION = std::max<smallint>(std::max(places(inc), d), 3);
  }
  if (VARIANCE == 2)
    TPRECISION = std::max<smallint>(TPRECISION, static_cast<smallint>(PPRECISION - 1));
  else
    TPRECISION = std::clamp<smallint>(static_cast<smallint>(PPRECISION - 1), 2, 4);
}

void LISTT3() {
  TPRECISION = 2;
  PPRECISION = 3;
  const bool given = CTINC > 0;
  extended inc = given ? CTINC : 0;
  if (std::fabs(THIGH - TLOW) < TSAME) {
    NLT = 1;
    LT[1] = TLOW;
    TPRECISION = places(TLOW);
    return;
  }
  const smallint d = std::min<smallint>(std::max(limitplaces(TLOW, TSAME), limitplaces(THIGH, TSAME)), 4);
  if (given) {
    const bool whole = std::fabs(inc - std::nearbyint(inc)) < WHOLETOL;
    say("T interval = " + (whole ? IO::INT2STR(inc) : fixedtext(inc)) + " (from script)");
  }
  const extended range = THIGH - TLOW;
  const dialogue dl{"T interval", "try again: T interval", "T interval must be positive - try again: T interval",
                    [&] {
                      say("T interval too large : max T(high) - T(low) = " +
                          (d == 0 ? IO::INT2STR(range) : IO::REAL2STR(range, d, true)));
                    },
                    "T interval too small : max of " + IO::INT2STR(maxn) + " temperatures"};
  inc = askincrement(dl, given, inc, range, [&](extended x) {
    return stepped(TLOW, x, stepcount(range, x, true), THIGH, TENDTOL, nullptr);
  });
  NLT = static_cast<smallint>(
      stepped(TLOW, inc, stepcount(range, inc, true), THIGH, TENDTOL, [](long i, extended v) { LT[i] = v; }));
  const smallint dinc = limitplaces(inc, TSAME);
  TPRECISION = std::min<smallint>(std::max(dinc, d), 4);
  PPRECISION = std::clamp<smallint>(static_cast<smallint>(TPRECISION + 3), 3, 4);
}

void LISTLNA(smallint k, extended low, extended high) {
  const std::string what = CONTROLJX.setlna == yes ? "ln a" : "log a";
  say(windowline(what, low, high));
  if (std::fabs(high - low) < LNASAME) {
    NLLNA[k] = 1;
    LLNA(k, 1) = low;
    LNAPRECISION = std::max<smallint>(2, places(low));
    return;
  }
  const smallint d = std::max(places(low), places(high));
  const extended range = high - low;
  const dialogue dl{what + " interval", "try again: interval", "",
                    [&] {
                      say("interval too large : ");
                      say("   max = " + IO::REAL2STR(range, d, true));
                    },
                    "interval too small : max of " + IO::INT2STR(maxn) + " values"};
  const extended inc = askincrement(dl, false, 0, range, [&](extended x) {
    return stepped(low, x, stepcount(range, x, false), high, LNAENDTOL, nullptr);
  });
  NLLNA[k] = static_cast<smallint>(
      stepped(low, inc, stepcount(range, inc, false), high, LNAENDTOL, [&](long i, extended v) { LLNA(k, i) = v; }));
  LNAPRECISION = std::max<smallint>(std::max(places(inc), d), 2);
  solvedprecision("listlna");
}

void LISTMU(smallint k, extended low, extended high) {
  const std::string mu = macroman::micro_s;
  say(windowline(mu, low, high));
  if (std::fabs(high - low) < MUSAME) {
    NLMU[k] = 1;
    LMU(k, 1) = low;
    MUPRECISION = std::max<smallint>(1, places(low));
    return;
  }
  const smallint d = std::max(places(low), places(high));
  const extended range = high - low;
  const dialogue dl{mu + " interval", "try again: " + mu + " interval", "",
                    [&] {
                      say(mu + " interval too large : max " + mu + "(high) - " + mu +
                          "(low) =" + IO::REAL2STR(range, d, true));
                    },
                    mu + " interval too small : max of " + IO::INT2STR(maxn) + " values"};
  const extended inc = askincrement(dl, false, 0, range, [&](extended x) {
    return stepped(low, x, stepcount(range, x, false), high, MUENDTOL, nullptr);
  });
  NLMU[k] = static_cast<smallint>(
      stepped(low, inc, stepcount(range, inc, false), high, MUENDTOL, [&](long i, extended v) { LMU(k, i) = v; }));
  MUPRECISION = std::max<smallint>(std::max(places(inc), d), 1);
  solvedprecision("listmu");
}

void LISTA(smallint k, extended low, extended high) {
  say(windowline("activity", low, high));
  if (std::fabs(high - low) < LNASAME) {
    NLLNA[k] = 1;
    LLNA(k, 1) = std::log(low);
    LNAPRECISION = std::max<smallint>(2, places(low));
    return;
  }
  const smallint d = std::max(places(low), places(high));
  const extended range = high - low;
  const extended lnhigh = std::log(high);
  // The activity steps linearly while the list holds its logarithm.
  const auto build = [&](extended inc, const std::function<void(long, extended)>& store) -> long {
    const long n = stepcount(range, inc, false);
    if (n >= toomany) return toomany;
    extended v = std::log(low);
    if (store) store(1, v);
    for (long i = 2; i <= n; ++i) {
      v = std::log(std::exp(v) + inc);
      if (store) store(i, v);
    }
    if (v + LNAENDTOL < lnhigh) {
      if (store) store(n + 1, lnhigh);
      return n + 1;
    }
    return n;
  };
  const dialogue dl{"activity interval", "try again: activity interval", "",
                    [&] {
                      say("activity interval too large : ");
                      say("   max a(high) - a(low) =" + IO::REAL2STR(range, d, true));
                    },
                    "activity interval too small : max of " + IO::INT2STR(maxn) + " values"};
  const extended inc = askincrement(dl, false, 0, range, [&](extended x) { return build(x, nullptr); });
  NLLNA[k] = static_cast<smallint>(build(inc, [&](long i, extended v) { LLNA(k, i) = v; }));
  LNAPRECISION = std::max<smallint>(std::max(places(inc), d), 2);
  solvedprecision("rstable");
}

void LISTXCO2() {
  say("x(CO2) window : " + fixedtext(XCO2LOW) + " <-> " + fixedtext(XCO2HIGH));
  farray<extended, 1, 12> builtin{"builtin x(CO2)"};
  const extended values[12] = {0.001L, 0.01L, 0.05L, 0.1L, 0.2L, 0.4L, 0.6L, 0.8L, 0.9L, 0.95L, 0.99L, 0.999L};
  for (long i = 1; i <= 12; ++i) builtin[i] = values[i - 1];

  std::vector<extended> list;
  if (XCO2LOW >= 0.001L && XCO2HIGH <= 0.999L) {
    long lo = 1;
    while (lo <= 12 && builtin[lo] < XCO2LOW) ++lo;
    long hi = 12;
    while (hi >= 1 && builtin[hi] > XCO2HIGH) --hi;
    // A window limit between two entries takes the place of the entry
    // just outside it.
    if (lo > 12 || builtin[lo] != XCO2LOW) {
      if (lo > 1) --lo;
      builtin[lo] = XCO2LOW;
    }
    if (hi < 1 || builtin[hi] != XCO2HIGH) {
      if (hi < 12) ++hi;
      builtin[hi] = XCO2HIGH;
    }
    if (hi - lo + 1 >= 6) {
      std::string line;
      for (long i = lo; i <= hi; ++i) line += fixedtext(builtin[i]) + " ";
      IO::PUTSTR(0, line, 0, CHANNEL::TERMLOG);
      if (IO::QUERY(" : use these x(CO2)"))
        for (long i = lo; i <= hi; ++i) list.push_back(builtin[i]);
    }
  }
  if (list.empty()) {
    IO::rrvector v;
    smallint n = 0;
    for (int attempt = 1;; ++attempt) {
      n = 0;
      IO::PROMPTREALS("x(CO2) in ascending order", v, n);
      long total = n;
      if (n > 0) total += (v[1] != XCO2LOW ? 1 : 0) + (v[n] != XCO2HIGH ? 1 : 0);
      if (n == 0 || total <= maxn) break;
      const std::string message = "too many x(CO2)'s " + MAXSTR(maxn);
      if (attempt >= 2) IO::ERROREXIT("listxco2", message, yourfault);
      say(message);
    }
    list.push_back(XCO2LOW);
    for (long i = 1; i <= n; ++i)
      if (v[i] > XCO2LOW && v[i] < XCO2HIGH && (i == 1 || v[i] > v[i - 1])) list.push_back(v[i]);
    list.push_back(XCO2HIGH);
  }
  NLX = static_cast<smallint>(std::min<std::size_t>(list.size(), maxn));
  XCO2PRECISION = 0;
  for (long i = 1; i <= NLX; ++i) {
    LXCO2[i] = list[static_cast<std::size_t>(i - 1)];
    LXH2O[i] = 1 - LXCO2[i];
    XCO2PRECISION = std::max(XCO2PRECISION, places(LXCO2[i]));
  }
  solvedprecision("listxco2");
}

}  // namespace ZQUTE1
