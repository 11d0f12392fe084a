// The set-up of one phase-diagram calculation, from reading the inputs to
// handing the equilibria to the enumeration, in the order its prompts reach
// the user.
#include <string>

#include "equilibria/zqnle2.h"
#include "equilibria/zqread3.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute2.h"
#include "input/zqread1.h"
#include "input/zqread2.h"
#include "input/zqscript.h"
#include "model/zqnle3.h"
#include "uncertainty/zqnle4.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr smallint highestdebug = 5;
constexpr smallint askdebug = -1;
// Variances above the calculated one by more than this are taken for a typo.
constexpr smallint variancereach = 2;
// A compatibility diagram shows at most this many apices.
constexpr smallint maxapices = 4;

std::string i2s(long n) { return IO::INT2STR(n); }

// Why a dogmin run has no Gibbs energies to rank its assemblages by: each
// cause that switched the phase properties off. Without a solution phase
// they are never worked out, whatever else the run holds.
std::string nogibbs() {
  if (NPSS == 0) return "dogmin needs a solution phase: not with pure phases alone";
  std::string causes;
  const auto add = [&causes](const std::string& cause) { causes += (causes.empty() ? "" : " or ") + cause; };
  if (CONTROLJX.batch == yes) add("in a batch run");
  if (FLUIDTYPE == ftype::h2oaq || FLUIDTYPE == ftype::h2oco2aq) add("with an aqueous fluid");
  if (EXBUFF) add("with a buffered fluid");
  if (NLNA > 0) add("with ln a variables");
  if (NMU > 0) add("with mu variables");
  return "dogmin needs Gibbs energies" + (causes.empty() ? "" : ": not " + causes);
}

// The locals of one call, shared by its steps.
struct nlecalcs {
  smallint cv = 0;  // calculated variance
  smallint v = 0;   // variance of the equilibria to calculate
  sstring word;     // answer to a prompt
  smallint nq = 0;  // order-disorder phases reported with their solved state
  bool moved = false;

  void debuglevel() {
    if (DEBUGLEVEL >= 0 && DEBUGLEVEL <= highestdebug) return;
    if (DEBUGLEVEL != askdebug) {
      DEBUGLEVEL = 1;
      return;
    }
    if (!IO::QUERY("debug diagnostics"))
      DEBUGLEVEL = 1;
    else if (!IO::QUERY("more detailed debug diagnostics"))
      DEBUGLEVEL = 2;
    else
      DEBUGLEVEL = IO::QUERY("EVEN more detailed debug diagnostics") ? 4 : 3;
  }

  static void toolow(smallint c) { IO::PUTSTR(0, "variance too low: reset to " + i2s(c), 1, CHANNEL::TERMLOG); }

  // Outside dogmin: the variance from the script or from the user.
  void askvariance() {
    IO::PROMPTCONTROL("use the variance specified in the datafile", CONTROLJX.setvar);
    if (CONTROLJX.setvar == yes) {
      v = VARIANCE;
      if (v < cv) {
        toolow(cv);
        v = cv;
      }
      IO::PSTR = "required equilibria are ";
      PRINTVAR(VARIANCE);
      IO::PSTR += " (from script)";
      IO::PUTSTR(1, IO::PSTR, 1, CHANNEL::TERMLOG);
      return;
    }
    IO::PROMPTSTRING(NMU < 1 ? "variance of required equilibrium (" + i2s(cv) + "?)" : "variance of required equilibrium",
                     word);
    if (cv < 0) cv = 0;
    const valuetype vt = IO::WHATISSTRING(word);
    if (vt == valuetype::aninteger) {
      v = IO::GETINTEGER(vt, word, "for variance");
      if (NMU < 1 && v < cv) {
        toolow(cv);
        v = cv;
      } else if (NMU < 1 && v > cv + variancereach) {
        IO::PUTSTR(0, "variance looks awry: reset to " + i2s(cv), 1, CHANNEL::TERMLOG);
        v = cv;
      }
    } else if (vt == valuetype::anemptystring) {
      v = cv;
    } else {
      IO::PUTSTR(0, "garbage info for variance: set to " + i2s(cv), 1, CHANNEL::TERMLOG);
      v = cv;
    }
    if (NMU < 1 && v < cv) {
      toolow(cv);
      v = cv;
    }
  }

  // In a dogmin run: the highest variance looked at.
  void dogminvariance() {
    IO::PROMPTCONTROL(MINVARIANCE == 2 ? "in dogmin, use the max variance specified in the datafile"
                                       : "in dogmin, use the min and max variance specified in the datafile",
                      CONTROLJX.maxvar);
    if (CONTROLJX.maxvar == yes) {
      v = MAXVARIANCE;
      IO::PSTR = "running dogmin: min variance of equilibria is ";
      PRINTVAR(MINVARIANCE);
      IO::PSTR += "; max variance is ";
      PRINTVAR(MAXVARIANCE);
      IO::PUTSTR(1, IO::PSTR, 1, CHANNEL::TERMLOG);
      return;
    }
    IO::PROMPTSTRING("in dogmin, max variance of equilibria to be looked at", word);
    const valuetype vt = IO::WHATISSTRING(word);
    if (vt != valuetype::aninteger) IO::ERROREXIT("dogmin", "integer needed for max variance", yourfault);
    v = IO::GETINTEGER(vt, word, "for max variance");
  }

  void variance() {
    cv = CALCVAR();
    if (NPSS == 0) {
      v = 1;
    } else if (CONTROLJX.batch == yes) {
      v = cv;
    } else if (CONTROLJX.acceptvar == yes) {
      v = cv;
      IO::PUTSTR(1, "accepting the calculated variance (from script)", 1, CHANNEL::TERMLOG);
    } else if (!DOGMIN) {
      askvariance();
    } else {
      dogminvariance();
    }
    VARIANCE = v;
    OVARIANCE = v;
  }

  void modes() {
    auto none = [] {
      MODESBYNLE = MODESAFTERNLE = false;
      CONTROLJX.modeiso = CONTROLJX.zeromodeiso = no;
    };
    if (DOGMIN) {
      MODESBYNLE = v > 2;
      MODESAFTERNLE = v < 3;
      CONTROLJX.modeiso = CONTROLJX.zeromodeiso = no;
    } else if (!PSEUDOSECTION || v == 0) {
      none();
    } else {
      IO::PROMPTCONTROL("set modes to zero (to find edges/corners of fields)", CONTROLJX.zeromodeiso);
      if (CONTROLJX.zeromodeiso == yes)
        CONTROLJX.modeiso = yes;
      else
        IO::PROMPTCONTROL("set mode isopleths", CONTROLJX.modeiso);
      MODESBYNLE = VARIANCE >= 3 || CONTROLJX.modeiso == yes;
      MODESAFTERNLE = VARIANCE < 3 && CONTROLJX.modeiso != yes;
    }
  }

  void isopleths() {
    NISO = NMODEISO = NXYZISO = 0;
    if (CONTROLJX.modeiso == yes)
      ZQREAD3::READMODEISOPLETHS();
    else
      CONTROLJX.zeromodeiso = no;
    if (FLUIDTYPE == ftype::h2oco2) {
      if (CONTROLJX.xco2values == no && EXBUFF) {
        IO::PUTSTR(1, "if you want to set x(CO2) for calculations, use the calcx(CO2) script,", 1, CHANNEL::TERMLOG);
        IO::PUTSTR(0, "either with x(CO2): low, high, inc, or a list of values", 1, CHANNEL::TERMLOG);
      }
      if (CONTROLJX.xco2values != no) ZQREAD3::READXCO2VALUES();
    }
    if (CONTROLJX.batch != yes && NPSS > 0 && !PSEUDOSECTION && NISO == 0 && VARIANCE > 2) {
      IO::PSTR = "you will have to set at least " + i2s(VARIANCE - 2) +
                 (VARIANCE == 3 ? " compositional variable" : " compositional variables");
      IO::PUTSTR(1, IO::PSTR, 1, CHANNEL::TERMLOG);
      if (FLUIDTYPE == ftype::h2oco2) {
        if (VARIANCE < 4)
          IO::PUTSTR(0, "(or none, if you set fluid composition and nominate external buffering)", 1, CHANNEL::TERMLOG);
        else
          IO::PUTSTR(0, "(or " + i2s(VARIANCE - 3) + ", if you set fluid composition and nominate external buffering)",
                     1, CHANNEL::TERMLOG);
      }
      CONTROLJX.isopleth = yes;
      ZQREAD3::READISOPLETHS();
    } else if (!DOGMIN && VARIANCE != 0 && CONTROLJX.isopleth != no) {
      ZQREAD3::READISOPLETHS();
    }
  }

  static void uncertainties() {
    if (CONTROLJX.uncertaintylevel == 0 || DOGMIN || CONTROLJX.batch == yes || NPSS == 0)
      CONTROLJX.uncertainties = no;
    else
      IO::PROMPTCONTROL("calculate uncertainties", CONTROLJX.uncertainties);
    if (CONTROLJX.uncertainties == no) CONTROLJX.uncertaintylevel = 0;
    if (CONTROLJX.uncertaintylevel > 0) ZQNLE4::PRINTUNCINFO();
  }

  static void fluidpositions() {
    FLUIDPOS = EXBFLUIDPOS = 0;
    for (long i = 1; i <= NPSS; ++i) {
      if (!(*PREC1)[i].isfluid) continue;
      FLUIDPOS = static_cast<smallint>(i);
      if (FLUIDTYPE == ftype::h2oco2 && EXBUFF) EXBFLUIDPOS = static_cast<smallint>(i);
    }
  }

  void stateoforder() {
    if (CONTROLJX.batch == yes) return;
    nq = 0;
    for (long i = 1; i <= NPSS; ++i) {
      const ptype1& p = (*PREC1)[i];
      if (!p.hasorder) continue;
      const smallint ph = static_cast<smallint>(i);
      if (CONTROLJX.usecalcq == yes) {
        if (nq == 0)
          IO::PUTSTR(0, "equilibrium state of order (for given P, T and compositions)", 1, CHANNEL::TERMSUMLOG);
        ++nq;
        if (ZQREAD1::FINDLEGALQ(ph, true, FIXEDP, FIXEDT, moved))
          PRINTQ(ph);
        else
          IO::PUTSTR(1, "couldn't solve for state of order of " + p.name, 1, CHANNEL::TERMSUMLOG);
      } else if (!ZQREAD1::FINDLEGALQ(ph, false, FIXEDP, FIXEDT, moved)) {
        IO::PUTSTR(1, "state of order for " + p.name, 0, CHANNEL::TERMSUMLOG);
        IO::ERROREXIT("nlecalcs", "cannot find legal Q initial guess", yourfault);
      } else if (moved) {
        // Ended here: the banner of the first equilibrium follows without a line end before it.
        IO::PUTSTR(1, "illegal Q starting guess for " + p.name + ": random value used", 1, CHANNEL::TERMSUMLOG);
      }
      if (nq > 0) IO::PUTSTR(0, " ", 1, CHANNEL::TERMSUMLOG);
    }
  }

  static void projection() {
    controlboolean& project = CONTROLJX.project;
    if (DOGMIN) {
      project = no;
    } else if (NPSS == 0) {
      project = CONTROLJX.projplane = no;
    } else if (project == no) {
      CONTROLJX.projplane = no;
    } else if (DEBUGLEVEL < 2) {
      IO::PROMPTCONTROL("project mineral compositions onto a compatibility diagram", project);
    } else {
      project = CONTROLJX.projplane = no;
    }
    if (project == yes && NUV - NPINEX > maxapices) {
      IO::PUTSTR(1, "projection not useful if the compatibility diagram has more than 4 apices-", 1, CHANNEL::TERMLOG);
      IO::PUTSTR(0,
                 "you will need to project from at least " + i2s(NUV - maxapices) + " phases, " + "instead of just " +
                     i2s(NPINEX),
                 1, CHANNEL::TERMLOG);
      project = no;
    }
  }

  void run();
};

void nlecalcs::run() {
  ZQREAD1::READTHERMO(1);
  ZQSCRIPT::READCONTROLJX();
  if (AFTERSCRIPT != nullptr) AFTERSCRIPT();
  ZQREAD2::SETUPPHASES();
  debuglevel();
  ZQREAD3::WHICHPHASES();
  ZQREAD3::PHASESINEXCESS();
  ZQUTE2::POSITIONS();
  if (CONTROLJX.batch != yes) ZQREAD3::XYZGUESSINFO();
  if (CONTROLJX.batch == yes || !PROPERTIESMODELLED()) CALCG = false;
  if (DOGMIN || CONTROLJX.acceptvar == ask) CONTROLJX.acceptvar = no;
  ZQREAD1::READTHERMO(2);
  ZQNLE3::MAKEEMC();
  // The components are settled now; a mu name that is none of them would
  // count in the variance and then be set up nowhere. So would any name
  // while the switch is not on, as no question is put for it here: those
  // count nowhere, as ln a names under such a switch.
  if (CONTROLJX.setmu != yes) NMU = 0;
  ZQUTE2::CHECKMUNAMES();
  ZQUTE2::DOFIGPT();
  if (CONTROLJX.batch != yes) {
    if (DOGMIN)
      PSEUDOSECTION = true;
    else if (NPSS == 0)
      PSEUDOSECTION = false;
  }
  variance();
  modes();
  isopleths();
  if (EXBUFF) CALCG = false;
  if (CONTROLJX.batch != yes && !DOGMIN) ZQREAD3::VARCALC();
  CALCPTSETUP();
  uncertainties();
  ZQREAD1::READTHERMO(3);
  ZQNLE3::MAKEEMTD();
  fluidpositions();
  stateoforder();
  CHECKA();
  if (CONTROLJX.setmu == yes) {
    CONTROLJX.calcmu = yes;
    ZQUTE2::SETUPMU();
  }
  if (CONTROLJX.seta == yes || CONTROLJX.setlna == yes || CONTROLJX.setloga == yes || NLNA > 0) ZQUTE2::SETUPLNA();
  projection();
  if (CONTROLJX.project == yes) ZQREAD3::READPROJPLANE();
  if (!PSEUDOSECTION) {
    NCOMP = 0;
    PROPK = 0;
  } else {
    ZQREAD3::READCOMPS();
  }
  if (CONTROLJX.project != yes)
    CONTROLJX.projcomp = no;
  else if (!PSEUDOSECTION)
    CONTROLJX.projcomp = no;
  else
    IO::PROMPTCONTROL("project bulk compositions onto the compatibility diagram", CONTROLJX.projcomp);
  NONEDOG = NGI = NGIOK = 0;
  if (DOGMIN) {
    // Without Gibbs energies every assemblage would tie at zero and the
    // report would name whichever came first.
    if (!CALCG) IO::ERROREXIT("dogmin", nogibbs(), yourfault);
    ZQNLE3::SETUPGMIN();
  }
  ZQNLE3::COUNTCOMP();
  if (PSEUDOSECTION && CONTROLJX.witholdset) IO::WRITETERMINAL("oxide-based modes\n");
  CALCWHAT();
}

}  // namespace

bool PROPERTIESMODELLED() {
  return NPSS > 0 && FLUIDTYPE != ftype::h2oaq && FLUIDTYPE != ftype::h2oco2aq && FLUIDTYPE != ftype::several;
}

void (*AFTERSCRIPT)() = nullptr;

void NLECALCS() {
  nlecalcs state;
  state.run();
}

}  // namespace ZQNLE2
