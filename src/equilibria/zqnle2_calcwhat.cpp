// The enumeration of the equilibria of a pass: for each wanted variance
// every combination of as many phases as the phase rule asks for, each
// tested and, when it passes, handed to the run loop; a dogmin run walks
// down the variances and ends with its report.
#include <algorithm>
#include <memory>
#include <string>

#include "equilibria/zqnle2.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "frame/zqute2.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

calcwhatcalls CALCWHATCALLS;

namespace {

// The reasons a combination stopped at, as CALCPHASES leaves them.
constexpr smallint notinex = 2, nocalc = 4, mismatch = 5, cantmake = 6, passed = 7;
// Width of the verdict and reason fields of a debug record.
constexpr smallint verdictwidth = 10;
// The debug level from which each combination is reported, and the range
// that shows the count of relations.
constexpr smallint infodebug = 2, countsdebuglow = 2, countsdebughigh = 4;

std::string i2s(long n) { return IO::INT2STR(n); }

const char* reasontext(smallint reason) {
  switch (reason) {
    case notinex: return "(not in ex)";
    case nocalc: return "(no calc)";
    case mismatch: return "(mismatch)";
    case cantmake: return "(bulk can't be made, eg in dogmin)";
    default: return "";
  }
}

// Names of the phases of a set, each followed by a blank: solution phases
// first.
std::string phasenames(const bemvector& set) {
  std::string s;
  for (long p = 1; p <= NPSS; ++p)
    if (set[p]) s += (*PREC1)[p].name + " ";
  for (long p = 1; p <= NP0; ++p)
    if (set[NPSS + p]) s += (*PREC0)[p].name + " ";
  return s;
}

// The locals of one CALCWHAT call, shared by INFOPRINT.
struct calcwhat {
  bemvector candidates{"calcwhat candidates"};
  bemvector set{"calcwhat set"};
  iemvector comb{"calcwhat comb"};
  smallint n = 0, c = 0, k = 0, nv = 0, nir = 0, reason = 0;
  bool skip = false, more = false;
  long handed = 0;  // sets handed to the run loop

  void INFOPRINT() const {
    IO::PUTSTR(0, "", 1, CHANNEL::TERMSUMLOG);
    std::string line;
    IO::ADDSTR(skip ? "excluded " : "good one ", -verdictwidth, line);
    IO::ADDSTR(reasontext(reason), verdictwidth, line);
    line += ": nu = " + i2s(NU) + "; rank = " + i2s(c) + "; ntake = " + i2s(k) + "; npmax = " + i2s(n) +
            "; nv = " + i2s(nv) + "; nir = " + i2s(nir);
    IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
    line = "     ";
    for (long i = 1; i <= NUV; ++i) line += COMPNAME[i] + " ";
    line += " " + phasenames(set);
    if (MODESBYNLE)
      line += "  - modes by nle";
    else if (MODESAFTERNLE)
      line += "  - modes after nle";
    else
      line += "  - not pseudosection";
    IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  }

  void level(smallint v) {
    if (DOGMIN) {
      VARIANCE = v;
      MODESBYNLE = v != 2;
      MODESAFTERNLE = v == 2;
    }
    CALCOXIDES(candidates, n, c);
    k = static_cast<smallint>(c + 2 - v);
    if (k <= 0 || k > n) return;
    ZQUTE2::SETUPCHOOSE(comb, k);
    do {
      CALCPHASES(comb, candidates, set, n, k, nv, nir, reason, skip, more);
      if (DEBUGLEVEL >= infodebug && more) INFOPRINT();
      if (more && (!skip || CONTROLJX.batch == yes)) {
        ++handed;
        CALCWHATCALLS.solve(set);
      }
    } while (more);
  }

  void run() {
    if (NP0 >= 2 && NPSS == 0 && NCOMP == 0) {
      IO::WRITETERMINAL("\nno solid solutions involved: run in mode 3\n");
      IO::ERROREXIT("calcwhat", "not currently implemented", yourfault);
    }
    const smallint vmax = OVARIANCE;
    const smallint vmin = std::min(DOGMIN ? MINVARIANCE : OVARIANCE, OVARIANCE);
    if (NU < 1) IO::ERROREXIT("calcwhat", "nu < 1", yourfault);
    for (smallint v = vmax; v >= vmin; --v) level(v);
    if (DOGMIN) CALCWHATCALLS.printgmin();
    // A pass that calculates nothing says so, as a point loop that finds
    // nothing in range does: a run ending silently reads as a success.
    if (handed == 0 && !DOGMIN)
      IO::PUTSTR(1, "<== nothing calculated: no assemblage of these phases can be solved ==>", 1,
                 CHANNEL::TERMSUMLOG);
  }
};

// The counts of a set that passed the reduction: equations against the
// unknowns solved for.
struct counts {
  const bemvector& set;
  smallint rank;

  smallint relations() const {
    long nvar = NUVLEFT - NUV;
    for (long p = 1; p <= NPSS; ++p)
      if (set[p]) nvar += (*PREC1)[p].nprop;
    for (long p = 1; p <= NP0; ++p)
      if (set[NPSS + p]) ++nvar;
    long nir = nvar - rank;
    if (MODESBYNLE) nir += NUVLEFT - RANKDEFICIT;
    if (DEBUGLEVEL >= countsdebuglow && DEBUGLEVEL <= countsdebughigh) {
      std::string line = "nuv = " + i2s(NUV) + "; nuvleft = " + i2s(NUVLEFT) + "; k = " + i2s(nvar) +
                         "; rank = " + i2s(rank);
      if (MODESBYNLE) line += "  rank deficit = " + i2s(RANKDEFICIT);
      line += "; nir = " + i2s(nir);
      IO::PUTSTR(2, line, 1, CHANNEL::TERMSUMLOG);
    }
    return static_cast<smallint>(nir);
  }

  smallint unknowns() const {
    long nv = std::max(0, 2 - VARIANCE);
    for (long p = 1; p <= NPSS; ++p) {
      if (!set[p]) continue;
      const ptype1& ph = (*PREC1)[p];
      for (long v = 1; v <= ph.nvar; ++v)
        if (!ph.xvar[v].isset) ++nv;
    }
    if (!MODESBYNLE) return static_cast<smallint>(nv);
    for (long p = 1; p <= NPSS; ++p)
      if (set[p] && !(*PREC1)[p].modeset) ++nv;
    for (long p = 1; p <= NP0; ++p)
      if (set[NPSS + p] && !(*PREC0)[p].modeset) ++nv;
    if (EXBUFF) --nv;
    if (NLNA > 0) nv -= NLNA;
    if (NMU > 0) nv -= NMU;
    return static_cast<smallint>(nv);
  }

  // Some phase of the set holds every component.
  bool allcomponents() const {
    for (long c = 1; c <= NUV; ++c) {
      bool found = false;
      for (long p = 1; p <= NPSS && !found; ++p) {
        if (!set[p]) continue;
        const ptype1& ph = (*PREC1)[p];
        for (long e = 1; e <= ph.nprop && !found; ++e) found = ph.em[e].comp[c] != 0;
      }
      for (long p = 1; p <= NP0 && !found; ++p) found = set[NPSS + p] && (*PREC0)[p].comp[c] != 0;
      if (!found) return false;
    }
    return true;
  }
};

}  // namespace

void CALCOXIDES(bemvector& candidates, smallint& n, smallint& c) {
  // Some 640 kB: made at the first call, kept for the run (dogmin calls this
  // at every level).
  static std::unique_ptr<liemmatrix> m;
  if (!m) m = std::make_unique<liemmatrix>("calcoxides matrix");
  for (long p = 1; p <= NP; ++p) candidates[p] = true;
  n = NP;
  const smallint col = PHASECOMPS(*m);
  c = ZQMATH1::CALCRANK(*m, NUV, col);
}

void CALCPHASES(iemvector& comb, const bemvector& candidates, bemvector& set, smallint n, smallint k,
                smallint& nv, smallint& nir, smallint& reason, bool& skip, bool& more) {
  ZQUTE2::CHOOSE(comb, k, n, more);
  reason = 0;
  skip = false;
  if (!more) return;

  long j = 0;
  for (long p = 1; p <= NP; ++p) {
    set[p] = false;
    if (!candidates[p]) continue;
    ++j;
    for (long i = 1; i <= k; ++i)
      if (comb[i] == j) set[p] = true;
  }

  reason = notinex;
  if (NPMBP > 0)
    for (long p = 1; p <= NP && !skip; ++p)
      if (candidates[p] && PMBP[p] && !set[p]) skip = true;

  smallint rank = -1;
  if (skip) {
    nv = nir = -1;
    return;
  }
  reason = nocalc;
  bool ok = true;
  CALCRANKP(set, rank, ok);
  if (!ok) {
    // Nothing was counted for a set the reduction refused.
    skip = true;
    nv = nir = -1;
    return;
  }

  reason = mismatch;
  const counts cn{set, rank};
  nir = cn.relations();
  nv = cn.unknowns();
  skip = nir == 0 || nir != nv;
  if (skip) return;

  reason = cantmake;
  if (MODESBYNLE) {
    bool all = true;
    for (long p = 1; p <= NP; ++p)
      if (candidates[p] && !set[p]) all = false;
    if (!all && (!cn.allcomponents() || RANKDEFICIT != 0)) skip = true;
  }
  if (!skip) reason = passed;
}

void CALCWHAT() {
  calcwhat state;
  state.run();
}

}  // namespace ZQNLE2
