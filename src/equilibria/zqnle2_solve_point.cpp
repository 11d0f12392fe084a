// Solving and extracting a point: whether the equilibrium can be calculated
// at all, the solve with its ionic-strength passes, the one-reaction solve,
// the unscaling of the solution into SU with its mode checks, the site
// fractions, compositions and phase properties of a point in the window,
// and whether all that the point leaves is finite.
#include <cmath>

#include "equilibria/zqnle1.h"
#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_nle.h"
#include "frame/zqglobal_runloop.h"
#include "frame/zqute1.h"
#include "model/zqcalc2.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr extended ionicstart = 0.00018L;  // ionic strength of the first solve
constexpr extended ioniccap = 0.0018L;     // largest ionic strength taken
constexpr extended ionictol = 1e-5L;       // two passes this close have converged
constexpr smallint maxionicpasses = 10;    // passes that may end normally
constexpr smallint sulistcleared = 202;    // normalising factors cleared per point: every mode row

// Every compositional variable named in the site-fraction expression.
void markvariables(const termtype& t, smallint firstx, farray<bool, 1, maxeq>& used) {
  for (smallint a = 1; a <= t.nterms; ++a) {
    const sxtermtype& term = t.terms[a];
    for (smallint f = 1; f <= term.nfactors; ++f) {
      const xtermtype& fac = term.factors[f];
      for (smallint k = 1; k <= fac.m; ++k) used[firstx + fac.v[k] - 1] = true;
    }
  }
}

}  // namespace

smallint solvestate::VARVERDICT() {
  if (NR == 0) return 1;
  for (smallint r = 1; r <= NR; ++r) TOUCHES[r] = false;
  for (smallint i = 1; i <= maxeq; ++i) USED[i] = false;
  smallint c = 0;
  for (smallint i = 1; i <= NCV; ++i) {
    if (!STARTSS[i]) continue;
    const ptype1& p = (*PREC1)[EM2SS[i]];
    for (smallint e = 1; e <= p.nprop; ++e) {
      ++c;
      for (smallint r = 1; r <= NR; ++r) {
        if ((*R)(r, c) == 0) continue;
        TOUCHES[r] = true;
        const emtype& em = p.em[e];
        for (smallint f = 1; f <= em.nsfterm; ++f) markvariables(p.sf[em.sfterm[f].sfindex], EM2X[i], USED);
      }
    }
  }
  bool all = true;
  for (smallint i = 3; i <= NX; ++i)
    if (BX[i]) all = all && USED[i];
  if (all) {
    smallint npure = 0;
    for (smallint r = 1; r <= NR; ++r)
      if (!TOUCHES[r]) ++npure;
    all = 2 - VARIANCE >= npure;
  }
  if (MODESBYNLE) all = true;
  return all ? 0 : 2;
}

void solvestate::CHECKVAR(smallint& CODE) {
  CODE = DOINGFRACT ? 0 : VARVERDICT();
  if (CODE == 0) return;
  const bool none = CODE == 1;
  if (DOGMIN) {
    if (DOGLEVEL > 1)
      IO::PUTSTR(0, none ? "  cannot calculate this equilibrium (no reactions)"
                         : "  cannot calculate this equilibrium (degenerate)",
                 1, CHANNEL::LOG);
  } else if (DEBUGLEVEL == 0) {
    IO::WRITETERMINAL(none ? "#" : "@");
  } else {
    IO::PUTSTR(0, none ? "  cannot calculate this equilibrium (no reactions)"
                       : "  cannot calculate this equilibrium (degenerate?)",
               1, CHANNEL::TERMSUMLOG);
  }
}

bool solvestate::DONLE() {
  whereat("+donle");
  NAQ = 0;
  for (smallint i = 1; i <= NCV; ++i) {
    if (!STARTSS[i] || !(*PREC1)[EM2SS[i]].isaq) continue;
    if (NAQ == maxaqphases) IO::ERROREXIT("donle", "no of aq", yourfault);
    ++NAQ;
    AQPHASE[NAQ] = EM2SS[i];
    AQX[NAQ] = EM2X[i];
    AQFIRST[NAQ] = i;
    AQLAST[NAQ] = static_cast<smallint>(i + (*PREC1)[EM2SS[i]].nprop - 1);
  }
  bool result = false;
  if (NAQ == 0) {
    result = NLESOLVER(NLECODE);
  } else {
    for (smallint a = 1; a <= NAQ; ++a)
      for (smallint k = AQFIRST[a]; k <= AQLAST[a]; ++k) (*TD)(k, TDSLOT::IONIC) = ionicstart;
    result = NLESOLVER(NLECODE);
    smallint pass = 0;
    bool converged = true;
    while (result) {
      ++pass;
      converged = true;
      for (smallint a = 1; a <= NAQ; ++a) {
        const ptype1& p = (*PREC1)[AQPHASE[a]];
        const extended last = (*TD)(AQFIRST[a], TDSLOT::IONIC);
        extended s = 0;
        for (smallint j = 1; j <= p.nprop; ++j)
          s += ZQUTE1::SUBSTERM(p.prop[j], X, AQX[a]) * p.em[j].td[TDSLOT::CHARGE1] * p.em[j].td[TDSLOT::CHARGE2];
        const extended ionic = 0.5L * s > ioniccap ? ioniccap : 0.5L * s;
        for (smallint k = AQFIRST[a]; k <= AQLAST[a]; ++k) (*TD)(k, TDSLOT::IONIC) = ionic;
        if (converged) converged = std::fabs(ionic - last) < ionictol;
      }
      result = NLESOLVER(NLECODE);
      if (pass > maxionicpasses) IO::ERROREXIT("solve", "debye-huckel loop", yourfault);
      if (converged) break;
    }
  }
  whereat("-donle");
  return result;
}

void solvestate::SIMPLECALC() {
  switch (FLUIDTYPE) {
    case ftype::absent:
      FIXEDXCO2 = 0;
      FIXEDXH2O = 0;
      break;
    case ftype::h2o:
      FIXEDXCO2 = 0;
      FIXEDXH2O = 1;
      break;
    case ftype::co2:
      FIXEDXCO2 = 1;
      FIXEDXH2O = 0;
      break;
    case ftype::several:
    case ftype::h2oco2:
    case ftype::h2oaq:
    case ftype::h2oco2aq:
      IO::ERROREXIT("simplecalc", "not simple?", myfault);
    default:
      IO::ERROREXIT("simplecalc", "unknown fluidtype", yourfault);
  }
  extended v = 0;
  if (CALCVARIABLE == calcvariabletype::calcpressure) {
    ZQCALC2::PCALC(1, false, v, SCP2, SCDV1, SCDV2, FIXEDT, FIXEDXCO2, FIXEDXH2O, SCDMU1, SCDMU2);
    SU.pressure = v;
    SU.temperature = FIXEDT;
    OK = ZQUTE1::INRANGE(v, findtype::findp);
  } else if (CALCVARIABLE == calcvariabletype::calctemperature) {
    ZQCALC2::TCALC(1, false, v, SCP2, SCDV1, SCDV2, FIXEDP, FIXEDXCO2, FIXEDXH2O, SCDMU1, SCDMU2);
    SU.pressure = FIXEDP;
    SU.temperature = v;
    OK = ZQUTE1::INRANGE(v, findtype::findt);
  } else {
    IO::ERROREXIT("calc", "unknown calcvariable", myfault);
  }
  NLECODE = 0;
}

void solvestate::EXTRACT(bool& seen) {
  whereat("+extract");
  seen = true;
  extended p = X[1], t = X[2];
  if (BX[1]) {
    X[1] = (X[1] - PFACB) / PFACA;
    // Shown just outside the window so that the window test fails, while X
    // keeps the solved value.
    p = X[1] > PHIGH ? PHIGH + 1 : X[1] < PLOW ? PLOW - 1 : X[1];
  }
  if (BX[2]) {
    X[2] = (X[2] - TFACB) / TFACA;
    t = X[2] > THIGH ? THIGH + 1 : X[2] < TLOW ? TLOW - 1 : X[2];
  }
  for (smallint i = 3; i <= NX; ++i)
    if (BX[i]) X[i] = (X[i] - XFACB[i]) / XFACA[i];
  for (smallint i = NX + 1; i <= NX + NXP; ++i)
    X[i] = BX[i] ? (X[i] - XFACB[i]) / (XFACA[i] * PHI) : X[i] / PHI;
  if (MODESBYNLE) {
    ZQNLE1::NORMCONST(PH, NORMA, NORMB, K);
    extended sumall = 0, sumkeep = 0;
    for (smallint i = 1; i <= NXP; ++i) {
      sumall += X[NX + i];
      const smallint phase = i <= NXPSS ? MP2SS[i] : static_cast<smallint>(NPSS + MP2SS[i]);
      if (!PINEX0[phase]) sumkeep += X[NX + i];
    }
    if (!NEARSING && std::fabs(sumall - 1) > SMALLSUMM) MODESUMWARNING(sumall);
    if (DEBUGLEVEL == 3 || DEBUGLEVEL == 4) PRINTMODEDEBUG2(true, 0);
    for (smallint i = 1; i <= NX; ++i) XRAW[i] = X[i];
    for (smallint i = NX + 1; i <= NX + NXP; ++i) {
      XRAW[i] = X[i] / sumkeep;
      X[i] = X[i] / sumall;
    }
    if (DEBUGLEVEL == 3 || DEBUGLEVEL == 4) PRINTMODEDEBUG2(false, sumall);
    // The equations balance the bulk whatever the sign of a mode: a phase
    // of negative amount puts the bulk outside the assemblage, which then
    // cannot be the stable one however low its G. Only the minimisation
    // marks its row by the code; elsewhere a point outside the window
    // keeps the solver's code in its report.
    for (smallint i = NX + 1; i <= NX + NXP; ++i)
      if (X[i] < 0) seen = false;
    if (!seen && DOGMIN) NLECODE = notseencode;
  } else if (MODESAFTERNLE) {
    bool after = false;
    ZQNLE1::AFTER(PH, after, RSTR, NORMA, NORMB);
    seen = after;
    if (!after) NLECODE = notseencode;
  }
  SU.pressure = p;
  SU.temperature = t;
  smallint j = 0, m = 0;
  auto record = [&](smallint firstx) -> suphasetype& {
    if (++j > maxsu) IO::ERROREXIT("extract", "number of phases in summary does not match", yourfault);
    suphasetype& r = SU.ph[j];
    for (smallint v = 1; v < r.nem && firstx > 0; ++v) r.x[v] = X[firstx + v - 1];
    // Modes worked out from the bulk after the solve are the point's
    // modes: the -1 of "no mode" would overwrite them.
    if (r.hasmode) {
      if (MODESBYNLE)
        r.mode[1] = X[NX + ++m];
      else if (!(MODESAFTERNLE && seen))
        r.mode[1] = -1;
    }
    return r;
  };
  for (smallint i = 1; i <= NCV; ++i)
    if (STARTSS[i]) record(EM2X[i]);
  for (smallint i = 1; i <= NP0; ++i)
    if (PH[NPSS + i]) record(0);
  if (j != SU.nph) IO::ERROREXIT("extract", "number of phases in summary does not match", yourfault);
  whereat("-extract");
}

// The modes of a solve that do not add to 1: the sum, the normalising
// vectors over the components, and the modes as solved and as divided.
void solvestate::MODESUMWARNING(extended sumall) {
  std::string line = "sum of modes should be 1, but sum = " + plainfixed(sumall, 6, 10) + " (phi = " +
                     plainfixed(PHI, 6, 0) + ")";
  IO::PUTSTR(1, line, 1, CHANNEL::TERMSUMLOG);
  line = "     ";
  for (smallint c = 1; c <= NUV; ++c) IO::ADDNAME(COMPNAME[c], 10, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  line = "at   ";
  for (smallint c = 1; c <= NUV; ++c) line += plainfixed(NORMA[c], 5, 10);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  line = "atcut";
  for (smallint c = 1; c <= NUV; ++c) line += plainfixed(NORMB[c], 5, 10);
  IO::PUTSTR(0, line, 2, CHANNEL::TERMSUMLOG);
  line = "     ";
  for (smallint i = NX + 1; i <= NX + NXP; ++i) IO::ADDNAME(XNAME[i], 10, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  line = "x    ";
  for (smallint i = NX + 1; i <= NX + NXP; ++i) line += plainfixed(X[i], 5, 10);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  line = "x    ";
  for (smallint i = NX + 1; i <= NX + NXP; ++i) line += plainfixed(X[i] / sumall, 5, 10);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
}

void solvestate::POSTPROCESS() {
  whereat("+postprocess");
  smallint j = 0;
  for (smallint i = 1; i <= NCV; ++i) {
    if (!STARTSS[i]) continue;
    suphasetype& r = SU.ph[++j];
    const ptype1& p = (*PREC1)[r.phase];
    for (smallint v = 1; v < r.nem; ++v) XPHASE[v] = r.x[v];
    for (smallint s = 1; s <= r.nsf; ++s) r.sf[s] = ZQUTE1::SUBSTERM(p.sf[s], XPHASE, 1);
    ZQNLE3::MAKEPHASE(i, r.comp);
  }
  for (smallint k = j + 1; k <= SU.nph; ++k) {
    suphasetype& r = SU.ph[k];
    const ptype0& p = (*PREC0)[r.phase];
    for (smallint c = 1; c <= NUV; ++c)
      r.comp[c] = static_cast<extended>(static_cast<double>(p.comp[c]) / static_cast<double>(COMPDIV[c]));
  }
  for (smallint k = 1; k <= SU.nph; ++k)
    for (smallint r = 1; r <= sulistcleared; ++r) SU.ph[k].modefac[r] = 0;
  if (PSEUDOSECTION) MODEFACTORS();
  if (CALCG) {
    ZQCALC2::CALCGPHASE(PH, X, SU.pressure, SU.temperature, FIXEDXCO2, FIXEDXH2O);
    if (SU.nmodeset > 0) GIBBS = SU.gsys[1];
  }
  whereat("-postprocess");
}

void solvestate::MODEFACTORS() {
  for (smallint k = 1; k <= NCOMP; ++k) {
    extended a = 0;
    smallint f = 0;
    for (smallint c = 1; c <= NUV; ++c)
      if (BCOMPS[c]) a += SU.bulk(k, ++f) * ICOMP[c];
    ATOMS[k] = a;
  }
  // Modes are shares of the atoms of the free components, as the bulk is:
  // a phase's factor to its formula units divides by its own such atoms.
  for (smallint k = 1; k <= SU.nph; ++k)
    for (smallint r = 1; r <= SU.nmodeset; ++r) SU.ph[k].modefac[r] = ATOMS[ZQCALC2::MODEROWSTEP(r)] / NORMB[k];
}

bool solvestate::FINITEPOINT() const {
  const auto finite = [](auto... v) { return (std::isfinite(v) && ...); };
  for (smallint i = 1; i <= NX + NXP; ++i)
    if (!finite(X[i])) return false;
  for (smallint k = 1; k <= SU.nph; ++k) {
    const suphasetype& r = SU.ph[k];
    if (r.hasmode)
      for (smallint m = 1; m <= SU.nmodeset; ++m)
        if (!finite(r.mode[m])) return false;
    if (CALCG && !finite(r.g, r.h, r.s, r.v, r.rho)) return false;
  }
  if (!CALCG) return true;
  for (smallint m = 1; m <= SU.nmodeset; ++m)
    if (!finite(SU.gsys[m], SU.hsys[m], SU.ssys[m], SU.vsys[m], SU.rhosys[m])) return false;
  return true;
}

}  // namespace ZQNLE2
