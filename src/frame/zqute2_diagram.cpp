// The windows, lists and fixed values of one calc-mode-3 section, by the
// kind of diagram chosen for the pass.
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
const std::string mu = macroman::micro_s;

extended mid(extended low, extended high) { return 0.5L * (low + high); }

// How strictly the section's two windows are checked; false when the
// variance asks for no checks at all.
bool strength(xOKtype& window, xOKtype& section) {
  switch (VARIANCE) {
    case 0:
      window = section = xOKtype::mustbedifferent;
      return true;
    case 1:
      window = xOKtype::mustbedifferent;
      section = xOKtype::canbesame;
      return true;
    case 2:
      window = section = xOKtype::canbesame;
      return true;
    default:
      return false;
  }
}

// The title of a section and its window of four values.
void askwindow(const std::string& title, const std::string& prompt, IO::rrvector& v) {
  IO::PUTSTR(1, title, 1, CHANNEL::TERMLOG);
  smallint n = 4;
  IO::PROMPTREALS(prompt, v, n);
}

// The value held fixed over the whole section.
void fixedt() {
  IO::PROMPTREAL("fixed T (in " + degc + ")", FIXEDT);
  ZQUTE1::PHYSICALT(FIXEDT, "fixed T", "diagram");
  FIXEDT += CONST::KELVIN;
  TLOW = THIGH = FIXEDT;
}

void fixedp() {
  IO::PROMPTREAL("fixed P (in kbar)", FIXEDP);
  ZQUTE1::PHYSICALP(FIXEDP, "fixed P", "diagram");
  PLOW = PHIGH = FIXEDP;
}

// The pressure or temperature half of a section window (values 1 and 2),
// the variable the lines are solved for and the one held fixed beside it.
void takeptwindow(bool pressure, const IO::rrvector& v, othervariabletype other) {
  if (pressure) {
    PLOW = v[1];
    PHIGH = v[2];
    CALCVARIABLE = calcvariabletype::calcpressure;
  } else {
    TLOW = v[1] + CONST::KELVIN;
    THIGH = v[2] + CONST::KELVIN;
    CALCVARIABLE = calcvariabletype::calctemperature;
  }
  OTHERVARIABLE = other;
}

// Checks the two windows of a section as strictly as the variance asks,
// the second with its own check. The P or T window is refused only as the
// section takes it: after the clamp or the questions asked again.
void checkwindows(bool pressure, void (*sectioncheck)(extended&, extended&, xOKtype), extended& low,
                  extended& high) {
  xOKtype window, section;
  if (strength(window, section)) {
    if (pressure)
      ZQUTE1::POK(PLOW, PHIGH, window);
    else
      ZQUTE1::TOK3(TLOW, THIGH, window);
    sectioncheck(low, high, section);
  }
  ZQUTE1::PHYSICALWINDOW(!pressure, "diagram");
}

void fixptmid(bool pressure) {
  if (pressure)
    FIXEDP = mid(PLOW, PHIGH);
  else
    FIXEDT = mid(TLOW, THIGH);
}

void ptsection(bool ask) {
  if (ask) {
    IO::PROMPTCONTROL("calculate T at P (rather than P at T)", CONTROLJX.calcTatP);
    FIX = CONTROLJX.calcTatP == yes ? fixtype::fixp : fixtype::fixt;
    std::string pwhat, twhat;
    if (FIX == fixtype::fixp) {
      pwhat = "P at which T of reactions to be calculated";
      twhat = "T window within which reactions expected to lie";
    } else {
      pwhat = "P window within which reactions expected to lie";
      twhat = "T at which P of reactions to be calculated";
    }
    DOCALCPT("", pwhat, twhat);
    UNIVARIANTSETUP();
    FIXEDT = mid(TLOW, THIGH);
    FIXEDP = mid(PLOW, PHIGH);
    NLP = NLT = 1;
    LP[1] = FIXEDP;
    LT[1] = FIXEDT;
    if (OTHERVARIABLE == othervariabletype::fixedpressure)
      ZQUTE1::LISTP3();
    else if (OTHERVARIABLE == othervariabletype::fixedtemperature)
      ZQUTE1::LISTT3();
    else
      IO::ERROREXIT("diagramwindowsetup", "othervariable", myfault);
    NLX = 0;
  }
  if (LNANAME[1] == "H2O") {
    FIXEDXH2O = 1;
    FIXEDXCO2 = 0;
  } else if (LNANAME[1] == "CO2") {
    FIXEDXH2O = 0;
    FIXEDXCO2 = 1;
  } else {
    ZQUTE1::PROMPTFLUID();
  }
  XCO2LOW = XCO2HIGH = FIXEDXCO2;
}

void xsection(bool ask, bool pressure) {
  if (ask) {
    IO::rrvector v;
    if (pressure)
      askwindow("P-x(CO2) window in which the phase diagram to be drawn", "P low, high , x(CO2) low, high", v);
    else
      askwindow("T-x(CO2) window in which the phase diagram to be drawn", "T low, high , x(CO2) low, high", v);
    takeptwindow(pressure, v, othervariabletype::fixedmolefractionCO2);
    XCO2LOW = v[3];
    XCO2HIGH = v[4];
    checkwindows(pressure, ZQUTE1::XCO2OK, XCO2LOW, XCO2HIGH);
    fixptmid(pressure);
    FIXEDXCO2 = mid(XCO2LOW, XCO2HIGH);
    FIXEDXH2O = 1 - FIXEDXCO2;
    if (pressure) {
      if (CALCMODE != calcmodetype::nlecalc) ZQUTE1::LISTXCO2();
      NLT = 0;
    } else {
      ZQUTE1::LISTXCO2();
      NLP = 0;
    }
  }
  if (pressure)
    fixedt();
  else
    fixedp();
}

void lnasection(bool ask, bool pressure) {
  const std::string v1 = pressure ? "P" : "T";
  if (ask) {
    CONTROLJX.seta = CONTROLJX.setlna = CONTROLJX.setloga = no;
    std::string log;
    if (!IO::QUERY("for " + v1 + "-log a, are logs to be to the base 10")) {
      CONTROLJX.setlna = yes;
      IO::PUTSTR(0, "logs are to the base e (ie natural logs)", 1, CHANNEL::TERMSUMLOG);
      log = "ln a";
    } else {
      CONTROLJX.setloga = yes;
      IO::PUTSTR(0, "logs are to the base 10", 1, CHANNEL::TERMSUMLOG);
      log = "log a";
    }
    IO::rrvector v;
    askwindow(v1 + "-" + log + " window in which the phase diagram to be drawn",
              v1 + " low, high , " + log + " low, high", v);
    takeptwindow(pressure, v, othervariabletype::fixedlnactivity);
    LNALOW = v[3];
    LNAHIGH = v[4];
    checkwindows(pressure, ZQUTE1::LNAOK, LNALOW, LNAHIGH);
    fixptmid(pressure);
    FIXEDLNA[1] = mid(LNALOW, LNAHIGH);
    ZQUTE1::LISTLNA(1, LNALOW, LNAHIGH);
    if (pressure)
      NLT = 0;
    else
      NLP = 0;
  }
  if (pressure)
    fixedt();
  else
    fixedp();
  LNANAMEP[1] = LNANAME[1];
  if (LNANAME[1] == "CO2") {
    FIXEDXCO2 = 1;
  } else if (LNANAME[1] == "H2O") {
    FIXEDXH2O = 1;
  } else {
    // Only a name that is not a fluid end-member is offered a new label.
    ZQUTE1::PROMPTFLUID();
    IO::PUTSTR(1, CONTROLJX.setlna == yes ? "for labelling purposes in ln a, " : "for labelling purposes in log a, ",
               0, CHANNEL::TERMLOG);
    sstring label;
    IO::PROMPTSTRING("replace name, '" + LNANAME[1] + "', with", label);
    if (!label.empty()) LNANAMEP[1] = label;
  }
}

void musection(bool ask, bool pressure) {
  const std::string v1 = pressure ? "P" : "T";
  if (ask) {
    IO::rrvector v;
    askwindow(v1 + "-" + mu + " window in which the phase diagram to be drawn",
              v1 + " low, high , " + mu + "(" + MUNAME[1] + ") low, high", v);
    // Solved for the section's P or T, as every other section is.
    takeptwindow(pressure, v, othervariabletype::fixedchemicalpotential);
    MULOW = v[3];
    MUHIGH = v[4];
    checkwindows(pressure, ZQUTE1::MUOK, MULOW, MUHIGH);
    fixptmid(pressure);
    FIXEDMU[1] = mid(MULOW, MUHIGH);
    ZQUTE1::LISTMU(1, MULOW, MUHIGH);
  }
  if (pressure)
    fixedt();
  else
    fixedp();
  if (MUNAME[1] == "CO2")
    FIXEDXCO2 = 1;
  else if (MUNAME[1] == "H2O")
    FIXEDXH2O = 1;
  else
    ZQUTE1::PROMPTFLUID();
}

}  // namespace

void DIAGRAMWINDOWSETUP(bool ask) {
  DOFIGPT();
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc: ptsection(ask); break;
    case diagramtype::pxcalc: xsection(ask, true); break;
    case diagramtype::txcalc: xsection(ask, false); break;
    case diagramtype::plnacalc: lnasection(ask, true); break;
    case diagramtype::tlnacalc: lnasection(ask, false); break;
    case diagramtype::pmucalc: musection(ask, true); break;
    case diagramtype::tmucalc: musection(ask, false); break;
    default: IO::ERROREXIT("diagram", "unknown diagrammode", myfault);
  }
}

}  // namespace ZQUTE2
