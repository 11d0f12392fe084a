// The starting values of a point: isopleths, legal states of order, the
// bulk of the point and its mode guesses, the fixed activities and chemical
// potentials, pressure and temperature, and the scaled starting vector; the
// debug tables of the mode unknowns.
#include <cmath>

#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "input/zqread1.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr int sulistcleared = 101;     // entries of each mode-row list of SU cleared per point
constexpr extended unitphi = 1e-6L;    // a bulk within this of one atom needs no normalising
constexpr extended modesumtol = 1e-5L; // starting modes must sum to 1 within this
constexpr extended spreadshare = 5;    // the spread of unguessed modes is 1/(spreadshare NXP) each way
constexpr extended unguessedshare = 0.01L;  // what each unguessed mode keeps when the guesses reach 1

// The scaled value of unknown i from its shown value v.
extended scaled(smallint i, extended v) { return BX[i] ? XFACB[i] + v * XFACA[i] : v; }

// Bulk step k of n as a fraction of the way from the first composition to
// the second, worked out in double precision.
extended bulkfraction(smallint k, smallint n) {
  return static_cast<extended>(static_cast<double>(k - 1) / static_cast<double>(n - 1));
}

}  // namespace

void solvestate::SETX(const iemvector& AT, smallint ibatch) {
  (void)ibatch;
  whereat("+setx");
  PHI = 0;
  for (smallint j = 1; j <= maxsu; ++j) {
    suphasetype& r = SU.ph[j];
    for (smallint k = 1; k <= sulistcleared; ++k) {
      r.mode[k] = 0;
      r.modefac[k] = 0;
    }
  }
  SU.gsys[1] = 0;
  SU.hsys[1] = 0;
  SU.ssys[1] = 0;
  SU.vsys[1] = 0;
  SU.rhosys[1] = 0;
  SU.nmodeset = MODESBYNLE ? 1 : 0;
  SU.firstmodeset = MODESBYNLE ? 1 : 0;
  SU.nuv = NUV;
  SU.nuvleft = NUVLEFT;
  for (smallint j = 1; j <= maxcomp; ++j) {
    SU.compname[j] = COMPNAME[j];
    SU.bcomps[j] = BCOMPS[j];
  }
  SU.variance = VARIANCE;
  SU.ovariance = DOGMIN ? VARIANCE : OVARIANCE;

  smallint m = 0;
  SETXISOPLETHS(AT, m);
  SETXORDER();
  smallint idx = 2;
  for (smallint i = 1; i <= NPSS; ++i) {
    if (!PH[i]) continue;
    const ptype1& p = (*PREC1)[i];
    for (smallint v = 1; v <= p.nvar; ++v) XGUESS[++idx] = p.xvar[v].guess;
  }
  for (smallint i = 3; i <= NX; ++i) X[i] = scaled(i, XGUESS[i]);

  SU.ncomp = NCOMP;
  PROPK = 0;
  SU.prop[1] = 0;
  if (!MODESBYNLE && MODESAFTERNLE) {
    NXP = 0;
    SU.kcomp = 1;
    if (NCOMP == 1) {
      for (smallint j = 1; j <= NUVLEFT; ++j) SU.bulk(1, j) = COMP1[j] / 100;
    } else {
      for (smallint k = 1; k <= NCOMP; ++k) {
        const extended f = bulkfraction(k, NCOMP);
        for (smallint j = 1; j <= NUVLEFT; ++j) SU.bulk(k, j) = (COMP2[j] * f + COMP1[j] * (1 - f)) / 100;
      }
    }
  }
  if (MODESBYNLE) SETXBULK(AT, m);

  for (smallint i = 1; i <= NLNA; ++i) {
    FIXEDLNA[i] = LLNA(i, AT[++m]);
    smallint at = 0;
    for (smallint k = 1; k <= NCV && at == 0; ++k)
      if (NAME[k] == LNANAME[i]) at = k;
    if (at == 0) IO::ERROREXIT("setx", "lna name not recognised", yourfault);
    CARRYLNA(i, at, CONST::RGAS * FIXEDLNA[i]);
  }
  for (smallint i = 1; i <= NMU; ++i) {
    FIXEDMU[i] = LMU(i, AT[++m]);
    (*TD)(NCV - NMU + i, TDSLOT::H) = FIXEDMU[i];
  }
  FIXEDP = LP[AT[++m]];
  X[1] = BX[1] ? PFACB + FIXEDP * PFACA : FIXEDP;
  FIXEDT = LT[AT[++m]];
  X[2] = BX[2] ? TFACB + FIXEDT * TFACA : FIXEDT;
  whereat("-setx");
}

// Held compositional variables take this point's isopleth values as their
// starting guesses, one loop level each, in the order of X.
void solvestate::SETXISOPLETHS(const iemvector& AT, smallint& m) {
  smallint idx = 2;
  for (smallint i = 1; i <= NPSS; ++i) {
    if (!PH[i]) continue;
    ptype1& p = (*PREC1)[i];
    for (smallint v = 1; v <= p.nvar; ++v) {
      ++idx;
      if (!BX[idx]) p.xvar[v].guess = LISO(PXSET[idx], AT[++m]);
    }
  }
}

// An isopleth on a phase with order variables may leave its state of order
// illegal: an order variable held illegal is the user's; otherwise a legal
// order is looked for at the P and T that stand (the previous point's).
void solvestate::SETXORDER() {
  smallint idx = 2;
  for (smallint i = 1; i <= NPSS; ++i) {
    if (!PH[i]) continue;
    const ptype1& p = (*PREC1)[i];
    if (!p.hasorder) {
      idx = static_cast<smallint>(idx + p.nvar);
      continue;
    }
    bool needlegal = false;
    for (smallint v = 1; v <= p.nvar; ++v) {
      ++idx;
      if (BX[idx]) continue;
      if (p.xvar[v].isorder) {
        if (!ZQUTE1::XYZLEGAL(i))
          IO::ERROREXIT("setx", "illegal starting guess in isopleth-ing Q in " + p.name, yourfault);
      } else if (!needlegal) {
        needlegal = !ZQUTE1::XYZLEGAL(i);
      }
    }
    if (!needlegal) continue;
    bool moved = false;
    const bool found = ZQREAD1::FINDLEGALQ(i, false, FIXEDP, FIXEDT, moved);
    if (moved)
      IO::PUTSTR(0, "illegal Q starting guess in isopleth-ing involving " + p.name + ": random value used", 1,
                 CHANNEL::TERMSUMLOG);
    else if (!found)
      IO::ERROREXIT("setx", "cannot find legal Q for isopleth in " + p.name, yourfault);
  }
}

// With the modes as unknowns: held modes, the mode guesses, the bulk of the
// point, its normalising factor PHI and the scaled modes.
void solvestate::SETXBULK(const iemvector& AT, smallint& m) {
  for (smallint i = NX + 1; i <= NX + NXP; ++i)
    if (!BX[i]) XGUESS[i] = LISO(PXSET[i], AT[++m]);
  SETMODEGUESS();
  ++m;
  if (NCOMP == 1) {
    // One bulk with the subrange switched on is a single proportion typed
    // at the subrange prompt, which the bulk reader leaves in PROP1.
    if (on(CONTROLJX.onebulk))
      PROPK = CONTROLJX.onebulkvalue;
    else if (on(CONTROLJX.splitbulk))
      PROPK = PROP1;
    else
      PROPK = 0;
    for (smallint j = 1; j <= NUVLEFT; ++j) COMPK[j] = COMP1[j] / 100;
    SU.kcomp = 1;
  } else if (NCOMP > 1) {
    const smallint k = AT[m];
    const extended f = bulkfraction(k, NCOMP);
    PROPK = PROP1 + f * (PROP2 - PROP1);
    for (smallint j = 1; j <= NUVLEFT; ++j) COMPK[j] = (COMP2[j] * f + COMP1[j] * (1 - f)) / 100;
    SU.kcomp = k;
  }
  SU.prop[1] = PROPK;
  for (smallint j = 1; j <= NUVLEFT; ++j) SU.bulk(1, j) = COMPK[j];

  extended s = 0;
  smallint j = 0;
  for (smallint c = 1; c <= NUV; ++c)
    if (BCOMPS[c]) s += COMPK[++j] * ICOMP[c];
  PHI = std::fabs(s - 1) < unitphi ? 1 : std::sqrt(s);
  for (smallint i = 1; i <= NXP; ++i) {
    const smallint idx = NX + i;
    if (i <= NXPSS) {
      XFACA[idx] = (*PREC1)[MP2SS[i]].modefaca / PHI;
      XFACB[idx] = (*PREC1)[MP2SS[i]].modefacb;
    } else {
      XFACA[idx] = (*PREC0)[MP2SS[i]].modefaca / PHI;
      XFACB[idx] = (*PREC0)[MP2SS[i]].modefacb;
    }
    X[idx] = BX[idx] ? XFACB[idx] + XFACA[idx] * XGUESS[idx] * PHI : XGUESS[idx] * PHI;
  }
  if (DEBUGLEVEL == 3 || DEBUGLEVEL == 4) PRINTMODEDEBUG1();
}

void solvestate::SETMODEGUESS() {
  if (NXP == 1) {
    XGUESS[NX + 1] = 1;
    return;
  }
  extended sg = 0;
  for (smallint i = 1; i <= NXP; ++i) {
    if (MODEG[i] > 0 && BX[NX + i]) {
      XGUESS[NX + i] = MODEG[i];
      sg += MODEG[i];
    }
  }
  smallint ns = 0;
  extended ss = 0;
  for (smallint i = 1; i <= NXP; ++i) {
    if (MODEG[i] > 0 || !BX[NX + i]) {
      ++ns;
      ss += XGUESS[NX + i];
    }
  }
  bool spread = true;
  if (ns == 0) {
    ss = 0;
  } else if (ns == NXP && sg > 0) {
    // Held modes that fill the assemblage must add to 1; within the
    // tolerance of the final check, as extended sums of decimals rarely
    // give 1 exactly.
    for (smallint i = 1; i <= NXP; ++i)
      if (!BX[NX + i] && std::fabs(ss - 1) > modesumtol)
        IO::ERROREXIT("setmodeguess", "mode isopleths not sum to 1", yourfault);
    for (smallint i = 1; i <= NXP; ++i)
      if (BX[NX + i]) XGUESS[NX + i] *= 1 + (1 - ss) / sg;
    spread = false;
  } else if (ss >= 1) {
    ss = 1 - unguessedshare * (NXP - ns);
    if (sg > 0) {
      for (smallint i = 1; i <= NXP; ++i)
        if (!BX[NX + i]) IO::ERROREXIT("setmodeguess", "mode isopleths sum to >1", yourfault);
      for (smallint i = 1; i <= NXP; ++i)
        if (BX[NX + i]) XGUESS[NX + i] *= ss / sg;
    }
  }
  if (spread) {
    const smallint n = static_cast<smallint>(NXP - ns);
    smallint j = 0;
    for (smallint i = 1; i <= NXP; ++i) {
      if (MODEG[i] > 0 || !BX[NX + i]) continue;
      ++j;
      if (n == 1) {
        XGUESS[NX + i] = 1 - ss;
      } else {
        const double share = (2.0 * (j - 1) / (n - 1) - 1) / (static_cast<double>(spreadshare) * NXP) + 1.0 / n;
        XGUESS[NX + i] = (1 - ss) * static_cast<extended>(share);
      }
    }
  }
  extended sum = 0;
  for (smallint i = 1; i <= NXP; ++i) sum += XGUESS[NX + i];
  if (std::fabs(sum - 1) <= modesumtol) return;
  std::string line = "mode setup problem: sum = ";
  IO::ADDREAL(sum, 4, true, 10, line);
  IO::WRITETERMINAL(line + "\n\nmode guesses: \n");
  for (smallint i = 1; i <= NXP; ++i) {
    line.clear();
    IO::ADDNAME(XNAME[NX + i], 7, line);
    IO::ADDREAL(XGUESS[NX + i], 5, true, 10, line);
    IO::WRITETERMINAL(line + "\n");
  }
  IO::WRITETERMINAL("\n");
  IO::ERROREXIT("mode guess subs", "don't sum to 1", yourfault);
}

namespace {

// One debug line: a 12-character label, then a value per solved mode.
template <typename F>
std::string modeline(const std::string& label, F value) {
  std::string line;
  IO::ADDSTR(label, 12, line);
  for (smallint i = NX + 1; i <= NX + NXP; ++i)
    if (BX[i]) line += plainfixed(value(i), 5, 10);
  return line;
}

std::string nameline() {
  std::string line;
  IO::ADDSTR("", 12, line);
  for (smallint i = NX + 1; i <= NX + NXP; ++i)
    if (BX[i]) IO::ADDNAME(XNAME[i], 10, line);
  return line;
}

}  // namespace

void solvestate::PRINTMODEDEBUG1() {
  const smallint f = NX + 1;
  const extended a = XFACA[f], b = XFACB[f];
  IO::WRITETERMINAL(nameline() + "\n");
  IO::WRITETERMINAL(modeline("setx", [](smallint i) { return XGUESS[i]; }) + "  xguess" + plainfixed(a, 5, 10) +
                    plainfixed(b, 5, 10) + "  phi = " + plainfixed(PHI, 5, 10) + "\n");
  IO::WRITETERMINAL(modeline("", [](smallint i) { return X[i]; }) + "  x     " +
                    plainfixed(b - a * 0.25L * PHI, 5, 10) + plainfixed(b + a * 0.25L * 5 * PHI, 5, 10) + "\n");
  IO::WRITETERMINAL(modeline("", [](smallint i) { return (X[i] - XFACB[i]) / (XFACA[i] * PHI); }) + "  un    " +
                    plainfixed((0 - b) / (a * PHI), 5, 10) + plainfixed((1 - b) / (a * PHI), 5, 10) + "\n\n");
}

void solvestate::PRINTMODEDEBUG2(bool AFTER, extended T) {
  const smallint f = NX + 1;
  if (AFTER) {
    IO::WRITETERMINAL(nameline() + "\n");
    IO::WRITETERMINAL(modeline("extract", [](smallint i) { return X[i]; }) + "  x" + plainfixed(XFACA[f], 5, 10) +
                      plainfixed(XFACB[f], 5, 10) + "  t = " + plainfixed(T, 5, 10) + "\n");
  } else {
    IO::WRITETERMINAL(modeline("", [](smallint i) { return X[i]; }) + "  un x\n");
    IO::WRITETERMINAL(modeline("", [this](smallint i) { return XRAW[i]; }) + "  xprint\n\n");
  }
}

}  // namespace ZQNLE2
