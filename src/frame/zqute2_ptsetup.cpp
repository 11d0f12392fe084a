// The overall P-T window of a run, the P-T set-up of a calculation (which
// of P and T is listed and which searched for), and the fields that print
// a P, T or x(CO2) value against the current window.
#include <algorithm>
#include <cmath>

#include "frame/constants.h"
#include "frame/bytes.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"

using namespace ZQGLOBAL;

namespace ZQUTE2 {

namespace {

const std::string degc = std::string(macroman::degree_s) + "C";

void say(const std::string& text) { IO::PUTSTR(0, text, 1, CHANNEL::TERMLOG); }

void writeprange(const std::string& pwhat) {
  std::string range;
  WRITEP(PLOW, 0, range);
  if (std::fabs(PHIGH - PLOW) >= 1e-6L) {
    range += " to ";
    WRITEP(PHIGH, 0, range);
  }
  IO::PSTR = pwhat + ": " + range + " kbar" + " (from script)";
  say(IO::PSTR);
}

void writetrange(const std::string& twhat) {
  std::string range;
  WRITET(TLOW - CONST::KELVIN, 0, range);
  if (std::fabs(THIGH - TLOW) >= 1e-4L) {
    range += " to ";
    WRITET(THIGH - CONST::KELVIN, 0, range);
  }
  IO::PSTR = twhat + ": " + range + degc + " (from script)";
  say(IO::PSTR);
}

void pressures(const std::string& pwhat) {
  if (CONTROLJX.calcP != no) {
    writeprange(pwhat);
    return;
  }
  say(pwhat);
  IO::rrvector v;
  smallint n = 0;
  IO::PROMPTREALS("P calcs: between P(low) and P(high), with P increment", v, n);
  PLOW = FIGPLOW;
  PHIGH = FIGPHIGH;
  if (n == 1) PLOW = PHIGH = v[1];
  if (n >= 2) {
    PLOW = v[1];
    PHIGH = v[2];
  }
  if (n >= 3) CPINC = v[3];
}

void temperatures(const std::string& twhat) {
  if (CONTROLJX.calcT != no) {
    writetrange(twhat);
    return;
  }
  say(twhat);
  IO::rrvector v;
  smallint n = 0;
  IO::PROMPTREALS("T calcs: between T(low) and T(high), with T increment", v, n);
  TLOW = FIGTLOW;
  THIGH = FIGTHIGH;
  if (n == 1) TLOW = THIGH = v[1] + CONST::KELVIN;
  if (n >= 2) {
    TLOW = v[1] + CONST::KELVIN;
    THIGH = v[2] + CONST::KELVIN;
  }
  if (n >= 3) CTINC = v[3];
}

// The window of the variable that is searched for rather than listed.
void searchedp(const std::string& pwhat) {
  PLOW = FIGPLOW;
  PHIGH = FIGPHIGH;
  if (CONTROLJX.calctatp2 == yes) {
    say("using overall P window for the " + pwhat);
    return;
  }
  say(pwhat);
  IO::rrvector v;
  smallint n = 0;
  IO::PROMPTREALS("P low,high (kbar)", v, n);
  if (n >= 2) {
    PLOW = v[1];
    PHIGH = v[2];
  }
}

void searchedt(const std::string& twhat) {
  TLOW = FIGTLOW;
  THIGH = FIGTHIGH;
  if (CONTROLJX.calctatp2 == yes) {
    say("using overall T window for the " + twhat);
    return;
  }
  say(twhat);
  IO::rrvector v;
  smallint n = 0;
  IO::PROMPTREALS("T low,high (" + degc + ")", v, n);
  if (n >= 2) {
    TLOW = v[1] + CONST::KELVIN;
    THIGH = v[2] + CONST::KELVIN;
  }
}

// The marks of a value that has none, or lies outside the window; false
// when the value is to be printed.
bool marked(extended x, extended low, extended high, const std::string& none, smallint width, std::string& line) {
  if (x < -1e20L) {
    IO::ADDSTR(none, width, line);
  } else if (x < low) {
    IO::ADDSTR("-", width, line);
  } else if (x > high) {
    IO::ADDSTR(x >= 1e20L ? "*" : "+", width, line);
  } else {
    return false;
  }
  return true;
}

}  // namespace

void DOFIGPT() {
  IO::SETTINGSHEAD("overall PT window:", CHANNEL::TERMLOG);
  const bool fromscript = CONTROLJX.diagramPT == yes;
  if (!fromscript) {
    IO::PUTSTR(1, "whereas solvarinth handles interactive input of overall PT window information, in", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "most cases this information is better entered in the scriptfile. For example, for a ", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "PT pseudosection the window info is simply the PT range of the diagram being drawn.", 2, CHANNEL::TERMLOG);
    if (IO::QUERY("stop, and put info in the scriptfile")) IO::USERINTERRUPT();
    IO::rrvector v;
    smallint n = 4;
    IO::PROMPTREALS("overall PT window: P low,high T low,high (in kbar, " + degc + ")", v, n);
    FIGPLOW = v[1];
    FIGPHIGH = v[2];
    FIGTLOW = v[3] + CONST::KELVIN;
    FIGTHIGH = v[4] + CONST::KELVIN;
    // Written so that a value that is not a number fails too.
    const bool fine = FIGPHIGH >= FIGPLOW && FIGTHIGH >= FIGTLOW && FIGPLOW >= ABSPLOW && FIGPHIGH <= CONST::PCEILING &&
                      FIGTLOW >= CONST::TFLOOR && FIGTHIGH <= CONST::TCEILING;
    if (!fine) IO::ERROREXIT("dofigPT", "inappropriate PT window input", yourfault);
  }
  say("overall PT window is P: " + IO::REAL2STR(FIGPLOW, 1, true) + " to " + IO::REAL2STR(FIGPHIGH, 1, true) +
      " kbar, and T: " + IO::INT2STR(FIGTLOW - CONST::KELVIN) + " to " + IO::INT2STR(FIGTHIGH - CONST::KELVIN) + degc +
      (fromscript ? " (from script)" : ""));
}

void DOCALCPT(const std::string& ptwhat, const std::string& pwhat, const std::string& twhat) {
  IO::SETTINGSHEAD("PT calcs:", CHANNEL::TERMLOG);
  controlboolean& calct = CONTROLJX.calcT;
  controlboolean& calcp = CONTROLJX.calcP;
  if (!(calct == yes && calcp == yes)) {
    if (calct == ask && calcp == ask) {
      IO::PROMPTCONTROL("use PT calcs given in datafile", calct);
      calcp = calct;
    } else if (calct == yes && calcp == ask) {
      IO::PROMPTCONTROL("T calcs set; use P calcs given in datafile", calcp);
    } else if (calct == ask && calcp == yes) {
      IO::PROMPTCONTROL("P calcs set; use T calcs given in datafile", calct);
    } else {
      IO::PROMPTCONTROL("use T calcs given in datafile", calct);
      IO::PROMPTCONTROL("use P calcs given in datafile", calcp);
    }
  }
  switch (FIX) {
    case fixtype::fixnone:
      PLOW = FIGPLOW;
      PHIGH = FIGPHIGH;
      TLOW = FIGTLOW;
      THIGH = FIGTHIGH;
      if (CONTROLJX.calctatp2 == yes) {
        say("using overall PT window for the " + ptwhat);
      } else {
        say(ptwhat);
        IO::rrvector v;
        smallint n = 0;
        IO::PROMPTREALS("PT window: P low,high, T low,high (kbar, " + degc + ")", v, n);
        if (n >= 4) {
          PLOW = v[1];
          PHIGH = v[2];
          TLOW = v[3] + CONST::KELVIN;
          THIGH = v[4] + CONST::KELVIN;
        }
      }
      break;
    case fixtype::fixp:
      pressures(pwhat);
      searchedt(twhat);
      break;
    case fixtype::fixt:
      temperatures(twhat);
      searchedp(pwhat);
      break;
    case fixtype::fixpt:
      pressures(pwhat);
      temperatures(twhat);
      break;
  }
}

void UNIVARIANTSETUP() {
  // The searched variable needs a real window; the listed one may be a
  // single value.
  if (CONTROLJX.calcTatP == yes) {
    CALCVARIABLE = calcvariabletype::calctemperature;
    OTHERVARIABLE = othervariabletype::fixedpressure;
    ZQUTE1::TOK3(TLOW, THIGH, xOKtype::mustbedifferent);
    ZQUTE1::POK3(PLOW, PHIGH, xOKtype::canbesame);
  } else {
    CALCVARIABLE = calcvariabletype::calcpressure;
    OTHERVARIABLE = othervariabletype::fixedtemperature;
    ZQUTE1::TOK3(TLOW, THIGH, xOKtype::canbesame);
    ZQUTE1::POK3(PLOW, PHIGH, xOKtype::mustbedifferent);
  }
}

void WRITET(extended t, smallint width, std::string& line) {
  if (marked(t, TLOW - CONST::KELVIN, THIGH - CONST::KELVIN, "", width, line)) return;
  if (TPRECISION < 1)
    IO::ADDINT(t, width, line);
  else
    IO::ADDREAL(t, TPRECISION, true, width, line);
}

void WRITEP(extended p, smallint width, std::string& line) {
  if (marked(p, PLOW, PHIGH, " ", width, line)) return;
  if (p > 99.9L) {
    IO::ADDINT(p, width, line);
    return;
  }
  const extended a = std::fabs(p);
  smallint least = 4;
  if (a >= 1)
    least = 1;
  else if (a >= 0.1L)
    least = 2;
  else if (a >= 0.01L)
    least = 3;
  IO::ADDREAL(p, std::max(least, PPRECISION), true, width, line);
}

void WRITEXCO2(extended x, smallint /*n*/, smallint width, std::string& line) {
  if (marked(x, XCO2LOW, XCO2HIGH, " ", width, line)) return;
  IO::ADDREAL(x, IO::NPLACES(x), true, width, line);
}

}  // namespace ZQUTE2
