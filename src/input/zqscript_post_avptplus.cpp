// After the last script line: the settings an avPT+, avP+ or avT+ run
// forces, and the calcP/calcT lines it needs for its grid of calculations
// and for its fixed temperature or pressure.
#include <cmath>
#include <string>

#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_avptplus.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

namespace {

constexpr smallint avptcalc = 1;                 // the kinds of calculation of "calc" in the avPT+ lines
constexpr smallint avpcalc = 2;
constexpr smallint avtcalc = 3;
constexpr extended singlevaluewithin = 0.0001L;  // a calcP or calcT range this narrow is one value

// Lines that say why the run stops, each on a line of its own.
void explain(std::initializer_list<const char*> lines) {
  for (const char* l : lines) IO::PUTSTR(1, l, 0, CHANNEL::TERMLOG);
}

// A script step no larger than 0 gave no series of values.
bool nostep(extended inc) { return inc <= 0; }

// What avP+ or avT+ needs: a series of the solved variable and a single
// value of the fixed one, which becomes that fixed value.
struct onefixed {
  extended solvedinc;            // step of the series of the solved variable
  extended fixedinc;             // step of the fixed variable, if one was given
  extended fixedlow, fixedhigh;  // the fixed variable's range
  const char* needs;             // why the series is needed
  const char* needsfatal;
  const char* uses;              // why a single value is needed
  const char* series;
  const char* singlefatal;
  const char* mess;
};

extended single(const onefixed& k) {
  if (nostep(k.solvedinc)) {
    explain({k.needs});
    SCRIPTFAULT(k.needsfatal);
  }
  if (std::fabs(k.fixedhigh - k.fixedlow) <= singlevaluewithin) return k.fixedlow;
  if (k.fixedinc > 0) {
    explain({k.uses, k.series});
    SCRIPTFAULT(k.singlefatal);
  }
  SCRIPTFAULT(k.mess);
}

void switchoff() {
  CONTROLJX.inexcess = no;
  CONTROLJX.tozero = no;
  NEXCESSSTRINGS = 0;
  NTOZEROSTRINGS = 0;
  CONTROLJX.isopleth = no;
  CONTROLJX.modeiso = no;
  CONTROLJX.zeromodeiso = no;
  CONTROLJX.setmu = no;
  NMU = 0;
  CONTROLJX.calcmu = no;
  CONTROLJX.plotix = no;
}

void gridorfixed() {
  if (CONTROLJX.avptpluswithxco2 == yes) {
    CONTROLJX.calcTatP = AVPTCALCTYPE == avtcalc ? no : yes;
    if (nostep(CPINC) || nostep(CTINC)) {
      explain({"avPT+, avP+ and avT+, with x(CO2), needs both calcT and calcP ",
               "to give a grid of PT values for calculating equilibria,"});
      SCRIPTFAULT("provide appropriate calcP and calcT scripts");
    }
    return;
  }
  switch (AVPTCALCTYPE) {
    case avptcalc:
      if (nostep(CPINC) || nostep(CTINC)) {
        explain({"avPT+ needs calcT + calcP to give a grid of PT values for calculating equilibria,"});
        SCRIPTFAULT("provide appropriate calcP and calcT scripts");
      }
      break;
    case avpcalc:
      AVPFIXEDT = single({CPINC, CTINC, TLOW, THIGH,
                          "avP+ needs calcP to give a series of P values for calculating equilibria,",
                          "provide an appropriate calcP script",
                          "avP+ uses the calcT script to get the fixed T for avP+,",
                          "but the calcT script involves a series of T values.",
                          "provide a single T with the calcT script", "calcT mess up for avP+"}) -
                  CONST::KELVIN;
      break;
    case avtcalc:
      AVTFIXEDP = single({CTINC, CPINC, PLOW, PHIGH,
                          "avT+ needs calcT to give a series of T values for calculating equilibria,",
                          "provide an appropriate calcT script",
                          "avT+ uses the calcP script to get the fixed P for avT+,",
                          "but the calcP script involves a series of P values.",
                          "provide a single P with the calcP script", "calcP mess up for avT+"});
      break;
    default:
      break;
  }
}

}  // namespace

void POSTREADAVPTPLUS() {
  if (CONTROLJX.avptplus != yes) return;
  if (CONTROLJX.someof) SCRIPTFAULT("\"with someof\" not implemented for avPTplus");
  CONTROLJX.uncertainties = yes;
  if (CONTROLJX.uncertaintylevel != 2) CONTROLJX.uncertaintylevel = 1;
  PSEUDOSECTION = true;
  switchoff();
  gridorfixed();
  NJX = 0;
}

}  // namespace ZQSCRIPT
