// The calculation windows: a value tested against the window of its
// variable, P and T windows repaired against the overall window, and pairs
// of limits checked against the absolute limits and asked for again.
#include <cmath>
#include <functional>
#include <utility>

#include "frame/constants.h"
#include "frame/bytes.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQUTE1 {

namespace {

constexpr int maxtries = 5;

void say(const std::string& text) { IO::PUTSTR(0, text, 1, CHANNEL::TERMLOG); }

// The texts and limits that tell one member of the retry family from
// another. range gives the message of the first absolute limit the pair
// breaks, empty when it keeps them.
struct retryrule {
  std::string prompt;
  std::string orderequal;    // the order message when equal limits are allowed
  std::string orderstrict;   // the order message when they are not
  std::function<std::string(extended, extended)> range;
  extended shift;            // added to each typed value (°C to K)
};

void retry(const retryrule& rule, extended& low, extended& high, xOKtype how) {
  for (int check = 1;; ++check) {
    std::string message;
    const bool misordered = how == xOKtype::canbesame ? high < low : high <= low;
    if (misordered)
      message = how == xOKtype::canbesame ? rule.orderequal : rule.orderstrict;
    else if (rule.range)
      message = rule.range(low, high);
    if (message.empty()) return;
    say(message);
    if (check >= maxtries) IO::ERROREXIT("*OK", "too many tries", yourfault);
    PROMPTRANGE(rule.prompt, low, high);
    low += rule.shift;
    high += rule.shift;
  }
}

std::string fraction(const std::string& what, extended low, extended high) {
  if (high >= 1) return what + " high must be less than 1 : try again";
  if (low <= 0) return what + " low must be greater than 0 : try again";
  return "";
}

retryrule fractionrule(const std::string& what) {
  return {what,
          what + " low must be less than or equal to " + what + " high : try again",
          what + " low must be less than " + what + " high : try again",
          [what](extended low, extended high) { return fraction(what, low, high); },
          0};
}

retryrule openrule(const std::string& prompt, const std::string& label) {
  return {prompt,
          label + "(low) must be less than or equal to " + label + "(high) : try again",
          label + "(low) must be less than " + label + "(high) : try again",
          nullptr,
          0};
}

// Limits closer than this count as one value.
constexpr extended samelimits = 1e-8L;

// The pair of variable v against the overall window [lo, hi], repaired, with
// a line for each repair; a limit is shown less shown (in degrees C when
// shown is KELVIN).
void overallcheck(const std::string& v, extended& low, extended& high, xOKtype how, extended lo, extended hi,
                  extended shown) {
  const bool same = std::fabs(high - low) < samelimits;
  if (!same && high <= low) {
    std::swap(low, high);
    say(v + "(low) must be less than " + v + "(high): values swapped");
  }
  // With the high end clamped the low end waits for the next check.
  if (high > hi) {
    say(v + "(high) must be less than " + IO::REAL2STR(hi - shown, 1, true) + ": this used");
    high = hi;
  } else if (low < lo) {
    say(v + "(low) must be greater than " + IO::REAL2STR(lo - shown, 1, true) + ": this used");
    low = lo;
  }
  if (same && how == xOKtype::mustbedifferent) {
    low = lo;
    high = hi;
    say(v + " window needed but " + v + "(low) = " + v + "(high): overall " + v +
        " window used (script overridden)");
  }
}

}  // namespace

bool INRANGE(extended v, findtype kind) {
  extended low = 0, high = 0;
  switch (kind) {
    case findtype::findt: low = TLOW, high = THIGH; break;
    case findtype::findp: low = PLOW, high = PHIGH; break;
    case findtype::findxco2: low = XCO2LOW, high = XCO2HIGH; break;
    case findtype::findlna: low = LNALOW, high = LNAHIGH; break;
    case findtype::findmu: low = MULOW, high = MUHIGH; break;
    default: IO::ERROREXIT("inrange", "unknown type", myfault);
  }
  return low <= v && v <= high;  // false for a value that is not a number
}

void PROMPTRANGE(const std::string& what, extended& low, extended& high) {
  IO::rrvector v;
  smallint n = 2;
  IO::PROMPTREALS(what + " low,high", v, n);
  low = v[1];
  high = v[2];
}

void POK(extended& low, extended& high, xOKtype how) { overallcheck("P", low, high, how, FIGPLOW, FIGPHIGH, 0); }

void TOK(extended& low, extended& high, xOKtype how) {
  overallcheck("T", low, high, how, FIGTLOW, FIGTHIGH, CONST::KELVIN);
}

void POK3(extended& low, extended& high, xOKtype how) {
  retryrule rule = openrule("P", "P");
  rule.range = [](extended lo, extended hi) -> std::string {
    if (hi > CONST::PCEILING) return "P(high) must be less than " + IO::INT2STR(CONST::PCEILING) + " : try again";
    if (lo < ABSPLOW) return "P(low) must be greater than " + IO::REAL2STR(ABSPLOW, 3, true) + " : try again";
    return "";
  };
  retry(rule, low, high, how);
}

void TOK3(extended& low, extended& high, xOKtype how) {
  retryrule rule = openrule(" T", "T");
  rule.range = [](extended lo, extended hi) -> std::string {
    if (hi > CONST::TCEILING)
      return "T(high) must be less than " + IO::INT2STR(CONST::TCEILING - CONST::KELVIN) + " : try again";
    if (lo < CONST::TFLOOR)
      return "T(low) must be greater than " + IO::INT2STR(CONST::TFLOOR - CONST::KELVIN) + " : try again";
    return "";
  };
  rule.shift = CONST::KELVIN;
  retry(rule, low, high, how);
}

void XCO2OK(extended& low, extended& high, xOKtype how) { retry(fractionrule("x(CO2)"), low, high, how); }

void XH2OOK(extended& low, extended& high, xOKtype how) { retry(fractionrule("x(H2O)"), low, high, how); }

void AOK(extended& low, extended& high, xOKtype how) { retry(openrule("activity", "a"), low, high, how); }

void LNAOK(extended& low, extended& high, xOKtype how) { retry(openrule("log a", "log a"), low, high, how); }

void MUOK(extended& low, extended& high, xOKtype how) {
  retry(openrule(macroman::micro_s, macroman::micro_s), low, high, how);
}

std::string MAXSTR(smallint n) { return " (max = " + IO::INT2STR(n) + ") "; }

namespace {

// The value as typed: its own decimals, none for a whole number.
std::string given(extended x) {
  std::string s;
  IO::ADDNO(x, 0, s);
  return s;
}

}  // namespace

// Written so that a value that is not a number is refused too.
void PHYSICALT(extended celsius, const std::string& what, const std::string& where) {
  if (celsius > -CONST::KELVIN) return;
  const std::string c = std::string(macroman::degree_s) + "C";
  IO::ERROREXIT(where,
                what + " = " + given(celsius) + c + ": at or below absolute zero (" +
                    IO::REAL2STR(-CONST::KELVIN, 2, true) + c + ")",
                yourfault);
}

void PHYSICALP(extended kbar, const std::string& what, const std::string& where) {
  if (ABSPLOW < 0 ? kbar >= ABSPLOW : kbar > 0) return;
  IO::ERROREXIT(where,
                what + " = " + given(kbar) + " kbar: " +
                    (ABSPLOW < 0 ? "below " + given(ABSPLOW) + " kbar, the lowest pressure with negp"
                                 : std::string("a pressure must be above 0 kbar")),
                yourfault);
}

void PHYSICALPT(bool temperature, extended value, const std::string& what, const std::string& where) {
  if (temperature)
    PHYSICALT(value, what, where);
  else
    PHYSICALP(value, what, where);
}

void PHYSICALWINDOW(bool temperature, const std::string& where) {
  const extended shift = temperature ? CONST::KELVIN : 0;
  const std::string v = temperature ? "T" : "P";
  PHYSICALPT(temperature, (temperature ? TLOW : PLOW) - shift, v + " low", where);
  PHYSICALPT(temperature, (temperature ? THIGH : PHIGH) - shift, v + " high", where);
}

}  // namespace ZQUTE1
