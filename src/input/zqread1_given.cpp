// The activities a script gives by name in calc modes 2 and 3 ("seta",
// "setlna", "setloga"): values for the end-members, not variables.
#include <cmath>
#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_script.h"
#include "frame/zqute2.h"
#include "input/zqread1.h"

using namespace ZQGLOBAL;

namespace ZQREAD1 {

namespace {

// A value the script left open is stored as this or more.
constexpr extended notgiven = 9.9L;

// How the list's values read: "seta" holds ln a of the activity it was
// given, "setlna" ln a, "setloga" log a.
struct listkind {
  std::string prefix;  // of the name in a question
  bool log10 = false;  // the values are log a
  bool asked = false;  // a typed answer is the activity itself
};

listkind kindoflist() {
  if (LNALISTKEY == "setloga") return {"log a(", true, false};
  if (LNALISTKEY == "setlna") return {"ln a(", false, false};
  return {"a(", false, true};
}

// The activity of entry i of the list, asked for when the script gave none.
extended givenactivity(long i, const listkind& kind) {
  extended v = FIXEDLNA[i];
  if (v < notgiven) return kind.log10 ? std::pow(10.0L, v) : std::exp(v);
  IO::PROMPTREAL(kind.prefix + LNANAME[i] + ")", v);
  if (!kind.asked) return kind.log10 ? std::pow(10.0L, v) : std::exp(v);
  if (!(v > 0)) IO::ERROREXIT("extractem", "activity of " + LNANAME[i] + " must be greater than 0", yourfault);
  return v;
}

}  // namespace

void GIVENACTIVITIES() {
  const listkind kind = kindoflist();
  // A section in x(CO2) holds H2O and CO2 at the fluid's own composition.
  const bool xsection = CALCMODE == calcmodetype::phasecalc &&
                        (DIAGRAMMODE == diagramtype::pxcalc || DIAGRAMMODE == diagramtype::txcalc);
  for (long i = 1; i <= NLNA; ++i) {
    const smallint j = ZQUTE2::ONEPOSITION(LNANAME[i], "extractem", LNALISTKEY);
    if (j == 0)
      IO::ERROREXIT("extractem",
                    LNALISTKEY + ": " + LNANAME[i] + " is not an end-member of the calculation",
                    yourfault);
    if (xsection && (LNANAME[i] == "H2O" || LNANAME[i] == "CO2"))
      IO::ERROREXIT("extractem", LNALISTKEY + ": the activity of " + LNANAME[i] + " is the section's x(CO2)",
                    yourfault);
    const extended a = givenactivity(i, kind);
    // The uncertainty of ln a stays that of the activity it replaces.
    SDACTIVITY[j] = ACTIVITY[j] > 0 ? SDACTIVITY[j] * a / ACTIVITY[j] : 0;
    ACTIVITY[j] = a;
  }
  // Spent: outside an ln a section no end-member carries a variable, and
  // an ln a section's set-up names its own.
  NLNA = 0;
}

}  // namespace ZQREAD1
