// The fixed fluid of a calculation: an H2O-CO2 composition, or fixed
// activities of H2O and CO2 when no fluid phase is present, taken from the
// script or asked for; and the short description of it on heading lines.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQUTE1 {

namespace {

void say(const std::string& text) { IO::PUTSTR(0, text, 1, CHANNEL::TERMLOG); }

void asktwoactivities() {
  IO::rrvector v;
  smallint n = 2;
  IO::PROMPTREALS("fixed a(CO2), a(H2O)", v, n);
  FIXEDXCO2 = v[1];
  FIXEDXH2O = v[2];
}

bool fraction(extended x) { return x >= 0 && x <= 1; }  // false for a value that is not a number

// An activity of an end-member of the calculation enters as its logarithm,
// so it must be above 0; one asked only for cordierite's hydration may be 0,
// none of that fluid. Above 1 it is no activity the fluid can have (and the
// reactions would take it as 1). False for a value that is not a number.
bool activity(bool present, extended a) { return (present ? a > 0 : a >= 0) && a <= 1; }

std::string shown(extended x) { return IO::REAL2STR(x, IO::NPLACES(x), true); }

}  // namespace

void PROMPTFLUID() {
  IO::PROMPTCONTROL("use the fluid composition given in the datafile", CONTROLJX.setfluid);
  bool fromscript = CONTROLJX.setfluid == yes;
  const bool h2o = H2OPOS != 0;
  const bool co2 = CO2POS != 0;
  const bool crd = CRDPOS != 0 || FCRDPOS != 0;

  if (fromscript) {
    bool suits = true;
    if (co2 && !h2o)
      suits = FIXEDXCO2 > 0;
    else if (h2o && !co2)
      suits = FIXEDXH2O > 0;
    else if (h2o && co2)
      suits = FIXEDXCO2 > 0 && FIXEDXH2O > 0;
    if (!suits) {
      if (CONTROLJX.strictscripting)
        IO::ERROREXIT("promptfluid", "script x(H2O) and/or x(CO2) inappropriate", yourfault);
      IO::PUTSTR(1, "fluid composition in script is inappropriate so not used", 1, CHANNEL::TERMLOG);
      fromscript = false;
    }
  }
  if (!fromscript) {
    FIXEDXH2O = 0;
    FIXEDXCO2 = 0;
  }

  bool acceptedfromscript = false;
  for (int pass = 1;; ++pass) {
    bool activities = false;
    if (!(pass == 1 && fromscript)) {
      if (!h2o && !co2) {
        if (crd) {
          say("for cordierite activity calculation");
          asktwoactivities();
          activities = true;
        }
      } else if (FLUIDTYPE == ftype::absent) {
        activities = true;
        if (!crd && h2o && !co2) {
          IO::PROMPTREAL("fixed a(H2O)", FIXEDXH2O);
        } else if (!crd && co2 && !h2o) {
          IO::PROMPTREAL("fixed a(CO2)", FIXEDXCO2);
        } else {
          if (crd && (!h2o || !co2)) say("for cordierite activity calculation");
          asktwoactivities();
        }
      } else if (!co2) {
        if (IO::QUERY("fluid just H2O")) {
          FIXEDXH2O = 1;
        } else {
          say("fluid is just H2O-CO2");
          IO::PROMPTREAL("fixed x(H2O)", FIXEDXH2O);
          FLUIDTYPE = ftype::ih2oco2;
          FIXEDXCO2 = 1 - FIXEDXH2O;
        }
      } else if (!h2o) {
        if (IO::QUERY("fluid just CO2")) {
          FIXEDXCO2 = 1;
        } else {
          say("fluid is just H2O-CO2");
          IO::PROMPTREAL("fixed x(CO2)", FIXEDXCO2);
          FLUIDTYPE = ftype::ih2oco2;
          FIXEDXH2O = 1 - FIXEDXCO2;
        }
      } else {
        say("fluid is just H2O-CO2");
        IO::PROMPTREAL("fixed x(CO2)", FIXEDXCO2);
        FLUIDTYPE = ftype::ih2oco2;
        FIXEDXH2O = 1 - FIXEDXCO2;
      }
    }

    const bool h2ook = activities ? activity(h2o, FIXEDXH2O) : !h2o || FIXEDXH2O != 0 || crd;
    const bool co2ok = activities ? activity(co2, FIXEDXCO2) : !co2 || FIXEDXCO2 != 0 || crd;
    const bool sumok = activities || FIXEDXCO2 + FIXEDXH2O <= 1.0001L;
    // A mole fraction typed outside 0 to 1 makes the other one outside too
    // while their sum stays 1: refused as the script's "setfluid" refuses it.
    const bool fractionsok = activities || (fraction(FIXEDXCO2) && fraction(FIXEDXH2O));
    if (h2ook && co2ok && sumok && fractionsok) {
      acceptedfromscript = pass == 1 && fromscript;
      break;
    }

    if (pass == 1 && fromscript) {
      say("x(CO2), x(H2O) from script not valid : ");
      if (CONTROLJX.strictscripting) IO::ERROREXIT("promptfluid", "bad values from script", yourfault);
      // Rejected script values are not used, as in the case of none: a
      // question that sets only one of the two must not add to the other.
      FIXEDXH2O = 0;
      FIXEDXCO2 = 0;
    } else {
      say("not valid : ");
    }
  }

  // Values that were rejected and then answered are not the script's.
  if (acceptedfromscript) {
    // The script's x(CO2) makes the same fluid as the answers that give it:
    // a mixed fluid, whose end-members then carry the mixing term, unless it
    // is all of the one fluid end-member present ("fluid just H2O/CO2").
    if ((h2o || co2) && FLUIDTYPE != ftype::absent) {
      const bool justone = (!co2 && FIXEDXH2O == 1) || (!h2o && FIXEDXCO2 == 1);
      if (!justone) FLUIDTYPE = ftype::ih2oco2;
    }
    if (!h2o && !co2 && !crd) return;
    const std::string a = IO::REAL2STR(FIXEDXCO2, 4, true);
    const std::string b = IO::REAL2STR(FIXEDXH2O, 4, true);
    if ((!h2o && !co2) || FLUIDTYPE == ftype::absent)
      say("a(CO2) = " + a + ", a(H2O) = " + b + " ( from script ) ");
    else
      say("x(CO2) = " + a + ", x(H2O) = " + b + " ( from script ) ");
  }
}

void FLUIDSTRING(std::string& line) {
  const bool co2 = FIXEDXCO2 > 0;
  const bool h2o = FIXEDXH2O > 0;
  if (!co2 && !h2o) return;
  const std::string kind = FLUIDTYPE == ftype::absent ? "a" : "x";
  if (co2 && h2o) {
    IO::ADDSTR(" (for " + kind + "(CO2) = " + shown(FIXEDXCO2) + " and ", 0, line);
    IO::ADDSTR(kind + "(H2O) = " + shown(FIXEDXH2O) + ")", 0, line);
  } else if (h2o) {
    // The composition form alone has no leading blank.
    IO::ADDSTR((kind == "a" ? " (for " : "(for ") + kind + "(H2O) = " + shown(FIXEDXH2O) + ")", 0, line);
  } else {
    IO::ADDSTR(" (for " + kind + "(CO2) = " + shown(FIXEDXCO2) + ")", 0, line);
  }
}

}  // namespace ZQUTE1
