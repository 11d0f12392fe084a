// The reading of a fit's inputs: the end-member file, the a-x models behind
// their working slots, and the experiments file's two calorimetry sections,
// which become rows of the problem at once, with the heat-content
// correction of oxide-melt calorimetry.
#include <cmath>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "input/zqread1.h"
#include "input/zqread2.h"
#include "lsq/lsqds.h"
#include "model/zqcalc1.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

const char* const where = "readxy";
constexpr long double tref = 298.15L;
constexpr long double trefsquared = 88893.4225L;            // 298.15^2
constexpr long double trefinverse = 0.0033540164346805299L;  // 1/298.15
constexpr long double trefroot = 17.267020588393354L;        // sqrt(298.15)
constexpr long double tmeasuredasref = 298.2L;  // a measurement at or below this needs no correction
constexpr long double nosdh = 99.0L;            // an sd(H) of this or more: no direct-calorimetry row (mode 5)
constexpr long double smallestsdh = 0.0001L;    // the sd of such a row, at least
constexpr long double zerosdcal = 0.001L;       // a direct-calorimetry sd given as 0
// The state at which the a-x models' order parameters are first made legal:
// nothing has set P and T yet.
constexpr long double axstartp = 0.001L;
constexpr long double axstartt = 298.15L;

bool cvtype(const tdrec& e) { return DSMODE == 7 && e.eqtype >= 3 && e.eqtype <= 5; }

// Row r := observation y with sd; both must be finite and the sd above 0,
// or the fit would carry a row it cannot weigh.
void checkedrow(smallint r, extended y, extended sd, const std::string& what) {
  if (r > maxrows) IO::ERROREXIT(where, "too much data -> increase maxnexp", yourfault);
  if (!std::isfinite(y) || !std::isfinite(sd) || !(sd > 0))
    IO::ERROREXIT(where,
                  what + ": the value (" + IO::REAL2STR(y, 4, true) + ") and its sd (" + IO::REAL2STR(sd, 4, true) +
                      ") must be numbers, the sd above 0",
                  yourfault);
  (*Y)[r] = y;
  SDYBR[r] = sd;
}

void singlerow(smallint j, extended y, extended sd) {
  const smallint r = static_cast<smallint>(NEXP + 1);
  checkedrow(r, y, sd, "direct calorimetry of " + PHNAMES[j]);
  NEXP = r;
  CALROW[j] = r;
  (*B)(r, j) = true;
  (*LHS)(r, j) = 1;
  IO::PUTSTR(0, "  " + IO::INT2STR(r) + ")  " + PHNAMES[j], 1, CHANNEL::LOG);
}

void directcalorimetry() {
  if (DSMODE == 5) {
    for (smallint j = 1; j <= NTOT; ++j)
      if (TDA[j].sdh < nosdh) singlerow(j, TDA[j].h, TDA[j].sdh < smallestsdh ? smallestsdh : TDA[j].sdh);
    return;
  }
  IO::PUTSTR(1, "reading direct calorimetry", 1, CHANNEL::LOG);
  static IO::strings w{"direct calorimetry line"};
  smallint n = 0;
  for (;;) {
    if (!READTAKENLINE(w, n)) IO::ERROREXIT(where, "file ends inside the direct calorimetry", yourfault);
    const smallint code = IO::GETINTEGER(IO::WHATISSTRING(w[1]), w[1], "reading direct cal code");
    if (code == 0) return;
    smallint j = 0;
    POSINPHNAME(w[2], j, true);
    tdrec& e = TDA[j];
    e.hcal = IO::GETREAL(IO::WHATISSTRING(w[3]), w[3], "cal enthalpy");
    e.sdhcal = IO::GETREAL(IO::WHATISSTRING(w[4]), w[4], "cal enthalpy sd");
    if (e.sdhcal == 0) e.sdhcal = zerosdcal;
    if (code == 1) singlerow(j, e.hcal, e.sdhcal);
  }
}

// One oxide-calorimetry datum after its code line.
void oxidedatum(smallint code, const IO::strings& w, smallint n) {
  if (NOXCAL == maxoxcal)
    IO::ERROREXIT(where, "more than " + IO::INT2STR(maxoxcal) + " oxide calorimetry data", yourfault);
  if (n - 1 > maxrxterms)
    IO::ERROREXIT(where, "more than " + IO::INT2STR(maxrxterms) + " end-members in oxide calorimetry datum " +
                             IO::INT2STR(NOXCAL + 1),
                  yourfault);
  NOXCAL = static_cast<smallint>(NOXCAL + 1);
  oxcalrec& o = (*OXCAL)[NOXCAL];
  o = oxcalrec{};
  o.use = code == 1;
  o.nterm = static_cast<smallint>(n - 1);
  for (smallint k = 1; k <= o.nterm; ++k) POSINPHNAME(w[k + 1], o.em[k], true);
  FINDPOSI(o.em, o.nterm);
  const std::string context = "oxide calorimetry datum " + IO::INT2STR(NOXCAL);
  for (smallint k = 1; k <= o.nterm; ++k) o.coef[k] = READINT(where, "a coefficient", context);
  CHECKCOEFSUMS(o.coef, o.em, o.nterm, context);
  IO::PUTSTR(0, "  " + IO::INT2STR(NEXP + 1) + ")  " + MAKERELINE(o.coef, o.em, o.nterm), 1, CHANNEL::LOG);
  o.hobs = READREAL(where, "the enthalpy", context);
  o.sdobs = READREAL(where, "its sd", context);
  o.t = READREAL(where, "the temperature", context);
  // In kelvin here: at or below 0 it is no temperature.
  if (!(o.t > 0)) {
    std::string t;
    IO::ADDNO(o.t, 0, t);
    IO::ERROREXIT(where, "the temperature of " + context + " = " + t + " K: at or below absolute zero (0 K)", yourfault);
  }
  READNEXTLINE();
  o.h298 = o.hobs;
  if (o.t > tmeasuredasref)
    for (smallint k = 1; k <= o.nterm; ++k) o.h298 += o.coef[k] * HEATCONTENT(TDA[o.em[k]], o.t);
  if (!o.use) return;
  const smallint r = static_cast<smallint>(NEXP + 1);
  checkedrow(r, o.h298, o.sdobs, context);
  NEXP = r;
  OXROW[NOXCAL] = r;
  for (smallint k = 1; k <= o.nterm; ++k) {
    (*B)(r, o.em[k]) = true;
    (*LHS)(r, o.em[k]) = static_cast<smallint>(-NETCOEF(o.coef, o.em, o.nterm, k));
  }
}

void oxidecalorimetry() {
  IO::PUTSTR(1, "reading oxide calorimetry", 1, CHANNEL::LOG);
  NOXCAL = 0;
  static IO::strings w{"oxide calorimetry line"};
  smallint n = 0;
  for (;;) {
    if (!READTAKENLINE(w, n)) IO::ERROREXIT(where, "file ends inside the oxide calorimetry", yourfault);
    const smallint code = IO::GETINTEGER(IO::WHATISSTRING(w[1]), w[1], "reading oxcal code");
    if (code == 0) return;
    oxidedatum(code, w, n);
  }
}

}  // namespace

extended HEATCONTENT(const tdrec& e, extended t) {
  extended h = 0;
  // The Cv types of a mode-7 file are refused by a fit right after reading,
  // so their heat content is never used: they add nothing here.
  if (!cvtype(e))
    h += e.cpa * (t - tref) + 0.5L * e.cpb * (t * t - trefsquared) - e.cpc * (1 / t - trefinverse) +
         2 * e.cpd * (std::sqrt(t) - trefroot);
  if (e.bwn >= 1) {
    const extended q = ZQCALC1::IHQ(t, e.bwdh, e.bww, e.bwn, e.bwfac);
    h += e.bwdh + q * (e.bww - e.bwdh) - e.bww * q * q;
  } else if (e.smax >= 0) {
    if (t <= e.tcrit) {
      const extended q0 = std::sqrt(1 - tref / e.tcrit), q = std::sqrt(1 - t / e.tcrit);
      h += e.smax * e.tcrit * ((q * q * q - q0 * q0 * q0) / 3 - (q - q0));
    } else {
      h += 2 * e.smax * e.tcrit / 3;
    }
  }
  return h;
}

void READAX() {
  IO::PUTSTR(1, "reading a-x relationships", 1, CHANNEL::LOG);
  ZQREAD2::SETUPPHASES();
  for (smallint k = 1; k <= NPSS; ++k) {
    if (!(*PREC1)[k].hasorder) continue;
    bool moved = false;
    if (!ZQREAD1::FINDLEGALQ(k, false, axstartp, axstartt, moved))
      IO::ERROREXIT("readax", "cannot find legal Q guess", yourfault);
  }
  if (NP + workslots > maxss) IO::ERROREXIT(where, "too many ss -> make maxnp bigger", yourfault);
  for (smallint k = 1; k <= NPSS; ++k) ZQNLE3::WRITEAX(k);
  for (smallint k = NP; k >= 1; --k) (*PREC1)[k + workslots] = (*PREC1)[k];
  for (smallint k = 1; k <= workslots; ++k) (*PREC1)[k].name = "blah";
  NP = static_cast<smallint>(NP + workslots);
  for (smallint k = 1; k <= NP; ++k) SSNAME[k] = (*PREC1)[k].name;
  NPDS = NP;
}

void READXY() {
  MAKECDHYDROUS = false;
  IO::FILENAME = IO::OPENDATAFILE(IO::EMNAME(CONTROLDS.emsuffix), "thermo", IO::DATA);
  IO::DATAOPEN = true;
  READTH();
  IO::FILECLOSE(IO::DATA, true, "emfile");
  IO::DATAOPEN = false;
  // The a-x reader looks end-member names up among the data set's first
  // NTP, so the count is set before it runs.
  NTP = NTOT;
  READAX();

  IO::FILENAME = IO::OPENDATAFILE(IO::XPNAME(CONTROLDS.xpsuffix), "xp info", IO::DATA);
  IO::DATAOPEN = true;
  READERSTART();
  NEXP = 0;
  IO::PUTSTR(1, "reading direct calorimetry", 1, CHANNEL::LOG);
  for (smallint j = 1; j <= NTOT; ++j) TDA[j].hcal = TDA[j].sdhcal = 0;
  CALROW.fill(0);
  OXROW.fill(0);
  directcalorimetry();
  NEC = NEXP;
  oxidecalorimetry();
  NED = NEXP;
  if (CONTROLDS.infolevel < 2) IO::PUTSTR(1, "reading experimental data", 1, CHANNEL::LOG);
  NEO = NEXP;
  FLUIDTYPE = ftype::ih2oco2;
  READEXPERIMENTS();
  if (NEXP + NXPW > maxrows) IO::ERROREXIT(where, "too much data -> increase maxnexp", yourfault);
  NEXP = static_cast<smallint>(NEXP + NXPW);
  NEXPT = NEXP;
  IO::FILECLOSE(IO::DATA, true, "xpfile");
  IO::DATAOPEN = false;
  for (smallint k = workslots + 1; k <= NP; ++k) ZQNLE3::WRITEAX(k);
}

}  // namespace LSQDS
