// The equilibrium of an experiment given with its solution phases, solved
// at each bracket for its pressure or temperature and its compositions (or
// for the compositions alone at the bracket's P and T), with its table.
#include <cmath>
#include <string>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute2.h"
#include "lsq/lsqds.h"
#include "lsq/lsqds_fields.h"
#include "model/zqmath2.h"
#include "model/zqnle3.h"
#include "model/zqre.h"

using namespace ZQGLOBAL;

namespace LSQDS {

bool NOTCONVSEEN;

namespace {

constexpr longint out = CHANNEL::SUMLOG;
constexpr long double notcalculatedt = CONST::KELVIN;
constexpr long double startmin = 100.0L;  // the running minimum of the window starts here, the maximum at 0
constexpr long double ppadding = 11.0L;   // P window: this plus a twentieth of Pmin + Pmax either side
constexpr long double ppaddingfraction = 0.05L;
constexpr long double lowestp = 1e-16L;
constexpr long double tpadding = 600.0L;  // T window: this either side
constexpr long double lowestt = 373.0L;
constexpr long double wholep = 1e-10L;    // a P this close to a whole number is printed whole
constexpr long double onedecimalp = 99.9L;  // a P above this is printed whole in the table

// The calc mode and the switches of the calc-mode-1 solve that this one
// borrows, back on every way out.
struct solveguard {
  calcmodetype mode = CALCMODE;
  bool modes = MODESBYNLE, pseudo = PSEUDOSECTION;
  solveguard() {
    CALCMODE = calcmodetype::nlecalc;
    MODESBYNLE = false;
    PSEUDOSECTION = false;
  }
  ~solveguard() {
    CALCMODE = mode;
    MODESBYNLE = modes;
    PSEUDOSECTION = pseudo;
  }
  solveguard(const solveguard&) = delete;
  solveguard& operator=(const solveguard&) = delete;
};

struct window {
  extended pmin = startmin, pmax = 0, tmin = startmin, tmax = 0;
};

window setwindow(const xprec& x) {
  window w;
  for (smallint b = 1; b <= x.nbr; ++b) {
    w.pmin = std::fmin(w.pmin, x.br[b].p);
    w.pmax = std::fmax(w.pmax, x.br[b].p);
    w.tmin = std::fmin(w.tmin, x.br[b].t);
    w.tmax = std::fmax(w.tmax, x.br[b].t);
  }
  const extended pad = ppadding + ppaddingfraction * (w.pmin + w.pmax);
  w.pmin -= pad;
  if (w.pmin < 0) w.pmin = lowestp;
  w.pmax += pad;
  w.tmin -= tpadding;
  if (w.tmin < lowestt) w.tmin = lowestt;
  w.tmax += tpadding;
  PFACA = 1 / (w.pmax - w.pmin);
  PFACB = -w.pmin * PFACA;
  TYPP = 0.01L / (w.pmax - w.pmin);
  TFACA = 1 / (w.tmax - w.tmin);
  TFACB = -w.tmin * TFACA;
  TYPT = 0.1L / (w.tmax - w.tmin);
  return w;
}

using tablefields::real;
using tablefields::text;
using tablefields::whole;
extended celsius(extended t) { return t - CONST::KELVIN; }
// A table pressure: one decimal up to 99.9 kbar, whole above.
std::string pressure(extended p, smallint width) {
  return p > onedecimalp ? whole(p, width) : real(p, 1, width);
}

void printreactions() {
  std::string line = std::string(6, ' ') + (NR == 1 ? " 1 reaction: " : whole(NR, 2) + " reactions:");
  for (smallint i = 1; i <= NCV; ++i) IO::ADDNAME(NAME[i], 6, line);
  IO::PUTSTR(1, line, 1, out);
  for (smallint r = 1; r <= NR; ++r) {
    line = std::string(19, ' ');
    for (smallint i = 1; i <= NCV; ++i) line += whole((*R)(r, i), 6);
    IO::PUTSTR(0, line, 1, out);
  }
}

void printheader(smallint kind) {
  std::string line = std::string(5, ' ') + text("P(kbar)", 10) + " " + text("T(C)", 7) + "  ";
  if (kind < 3) line += text("calc", 9) + text("miss", 8);
  for (smallint i = 3; i <= NX; ++i) IO::ADDNAME(XNAME[i], 10, line);
  IO::PUTSTR(1, line, 1, out);
}

// The row of a bracket whose solve failed, and its count.
void notconverged(smallint ixp, const brrec& br, smallint kind, bool psolve, const window& w, smallint entry) {
  std::string line = std::string(5, ' ');
  if (kind == 3)
    line += real(X[1], 2, 10) + whole(celsius(br.t), 8);
  else if (!psolve)
    line += real(br.p, 2, 10) + "    --  ";
  else
    line += "      --  " + whole(celsius(br.t), 8);
  line += "  not converged";
  const xprec& x = XP(ixp);
  if (x.use && x.unknowncomps && NOTCONV == entry) {
    NOTCONV = static_cast<smallint>(NOTCONV + 1);
    NOTCONVSEEN = true;
  }
  if (kind == 2) {
    if (!psolve)
      line += "  (?not in T window: " + IO::INT2STR(celsius(w.tmin)) + " - " + IO::INT2STR(celsius(w.tmax)) + ")";
    else
      line += "  (?not in P window " + IO::REAL2STR(w.pmin, 1, true) + " - " + IO::REAL2STR(w.pmax, 1, true) + ")";
  }
  IO::PUTSTR(0, line, 1, out);
}

void logfailure(const brrec& br) {
  const extended pw = std::round(br.p);
  const std::string p = std::fabs(br.p - pw) < wholep ? IO::INT2STR(pw) : IO::REAL2STR(br.p, 1, true);
  IO::PUTSTR(0, "===NOT converged=== at {" + p + "," + IO::INT2STR(celsius(br.t)) + "}", 1, CHANNEL::LOG);
}

// Each pure phase of the calculation (after the solution phases' end-members)
// with its entry of the experiment's end-member list.
struct pureentry {
  smallint em = 0, entry = 0;
};
using purelist = farray<pureentry, 1, maxrxterms>;

// The pure phases in the order the calculation's cross-references put them:
// the list's fixed-activity entries, a made end-member's constituent left out.
smallint purephases(const xprec& x, purelist& pures) {
  smallint k = 0, n = 0;
  for (smallint p = 1; p <= NPSS; ++p) k = static_cast<smallint>(k + (*PREC1)[p].nprop);
  for (smallint j = 1; j <= x.nem; ++j) {
    if (x.emact[j] <= 0 || x.emact[j] == 0.5L) continue;
    ++n;
    pures[n].em = ++k;
    pures[n].entry = j;
  }
  IO::INTERNALCHECK(k == NCV, "calcass", "pure phases out of step with the calculation");
  return n;
}

// The fluid of the bracket, as its ln K has it: each pure phase at the
// bracket's activity (the fluid's from its x(CO2)) and every pure row's
// G with the fluid's mixing at that x(CO2).
void bracketfluid(const brrec& br, const purelist& pures, smallint n) {
  for (smallint q = 1; q <= n; ++q) {
    const smallint k = pures[q].em;
    ACTIVITY[k] = br.act[pures[q].entry];
    (*TD)(k, TDSLOT::XCO2) = br.xco2;
    (*TD)(k, TDSLOT::XH2O) = 1 - br.xco2;
  }
}

// The solve of bracket k: P or T free (kind 2) or neither (kind 3).
bool solvebracket(const brrec& br, smallint kind, bool psolve) {
  for (smallint m = 3; m <= NX; ++m) XGUESS[m] = br.xyz[m - 2];
  X[1] = br.p;
  X[2] = br.t;
  FIXEDP = br.p;
  FIXEDT = br.t;
  BX[1] = BX[2] = false;
  for (smallint m = 3; m <= NX; ++m) X[m] = XFACB[m] + XGUESS[m] * XFACA[m];
  if (kind == 2) {
    if (psolve) {
      BX[1] = true;
      X[1] = PFACB + br.p * PFACA;
    } else {
      BX[2] = true;
      X[2] = TFACB + br.t * TFACA;
    }
  }
  smallint code = 0;
  return ZQMATH2::NLE(code);
}

void stopquestion() {
  IO::WRITETERMINAL("\n" + XPLABEL + "\nis a \"not converged\" univariant with unknown comps\n\n");
  if (IO::QUERY("stop and attend to this experiment"))
    IO::ERROREXIT("calcass", "this univariant not converged", yourfault);
}

}  // namespace

void CALCASS(smallint ixp, smallint kind, bool print) {
  solveguard guard;
  xprec& x = XP(ixp);
  static bemvector present{"calcass present"};
  present.fill(false);
  for (smallint p = 1; p <= NPSS; ++p) present[p] = true;
  for (smallint j = 1; j <= NP0; ++j) present[NPSS + j] = (*PREC0)[j].activity > 0;
  const window w = setwindow(x);
  ZQNLE3::MAKECROSSREFS(present);
  ZQUTE2::POSITIONS();
  bool found = false;
  ZQRE::CALCRE2(found);
  if (print) printreactions();
  if (kind == 1) IO::ERROREXIT("calcass", "not currently implemented", yourfault);
  if (print) printheader(kind);
  const smallint entry = NOTCONV;
  NOTCONVSEEN = false;
  static purelist pures{"calcass pures"};
  const smallint npure = purephases(x, pures);
  // Where record j keeps what the solve at bracket k found. A solve of P or
  // T is the pair's when k heads one: record j shows it on the half it puts
  // first, and the other half is not calculated, whichever order a reversal
  // left either record in. Compositions are the half's own.
  const auto shownat = [&x, ixp](smallint j, smallint k) -> brrec& {
    const smallint at = SAMEBRACKETAT(j, ixp, k);
    const bool tail = x.br[k].pairp || x.br[k].pairt;
    const bool head = !tail && k < x.nbr && (x.br[k + 1].pairp || x.br[k + 1].pairt);
    if (!tail && !head) return XP(j).br[at];
    const smallint other = SAMEBRACKETAT(j, ixp, static_cast<smallint>(tail ? k - 1 : k + 1));
    return XP(j).br[head == (at < other) ? at : other];
  };
  // A bracket left unsolved now is unsolved in every reaction of the group:
  // a value from an earlier solve would stand for data no longer fitted.
  const auto notcalculated = [&x, ixp, &shownat](smallint k) {
    for (smallint j = ixp; j < ixp + x.nreac; ++j) {
      brrec& o = shownat(j, k);
      o.pcalc = 0;
      o.tcalc = notcalculatedt;
    }
  };
  for (smallint k = 1; k <= x.nbr; ++k) {
    const brrec* next = k < x.nbr ? &x.br[k + 1] : nullptr;
    if ((x.br[k].pairp && x.br[k].pairt) || (kind == 2 && (x.br[k].pairp || x.br[k].pairt))) {
      notcalculated(k);
      continue;
    }
    const bool psolve = kind == 2 && next != nullptr && next->pairt && !next->pairp;
    // A pair is solved once, at its half of code 0: its start, its fluid and
    // the compositions found are that half's whichever of the two lines
    // came first and whichever half a reversal of the group's first
    // reaction put first, so in every order of lines and reactions.
    const bool pair = next != nullptr && (kind == 2 ? next->pairp || next->pairt : next->pairp && next->pairt);
    const smallint at = pair && x.br[k].upasread ? static_cast<smallint>(k + 1) : k;
    const brrec& br = x.br[at];
    bracketfluid(br, pures, npure);
    if (!solvebracket(br, kind, psolve)) {
      if (!FROMOUTXY) logfailure(br);
      notcalculated(k);
      if (print) notconverged(ixp, br, kind, psolve, w, entry);
      continue;
    }
    if (kind == 2) {
      if (psolve)
        X[1] = (X[1] - PFACB) / PFACA;
      else
        X[2] = (X[2] - TFACB) / TFACA;
    }
    for (smallint m = 3; m <= NX; ++m) X[m] = (X[m] - XFACB[m]) / XFACA[m];
    for (smallint j = ixp; j < ixp + x.nreac; ++j) {
      brrec& o = shownat(j, k);
      // What the solve held is the bracket's own P or T, not a result: it
      // keeps the mark of a value not calculated.
      o.pcalc = kind == 2 && psolve ? X[1] : 0;
      o.tcalc = kind == 2 && !psolve ? X[2] : notcalculatedt;
      if (x.unknowncomps)
        for (smallint m = 3; m <= NX; ++m) SAMEBRACKET(j, ixp, at).xyz[m - 2] = X[m];
    }
    if (print) PRINTASS(ixp, k, kind);
  }
  if (NOTCONVSEEN) stopquestion();
}

void PRINTASS(smallint ixp, smallint k, smallint kind) {
  const xprec& x = XP(ixp);
  const brrec& b = x.br[k];
  const brrec* n = k < x.nbr ? &x.br[k + 1] : nullptr;
  const bool same = n != nullptr && n->pairp && n->pairt;
  const bool ppair = n != nullptr && n->pairt && !n->pairp && kind <= 2;
  const bool tpair = n != nullptr && n->pairp && (kind != 3 || same);
  const bool kind3t = kind == 3 && (b.pairt || (n != nullptr && n->pairt)) && !same;
  std::string line = std::string(5, ' ');
  if (ppair) {
    const brrec& first = x.reversed ? *n : b;
    const brrec& second = x.reversed ? b : *n;
    line += pressure(first.p, 5) + pressure(second.p, 5);
  } else if (kind3t) {
    line += b.dir ? std::string(5, ' ') + pressure(b.p, 5) : pressure(b.p, 5) + std::string(5, ' ');
  } else {
    line += pressure(b.p, 8) + "  ";
  }
  const extended t = celsius(b.t);
  if (ppair || same || kind3t) {
    line += whole(t, 8) + (same ? "  " : "   ");
  } else {
    const std::string blank5(5, ' '), blank6(6, ' ');
    const extended tn = n != nullptr ? celsius(n->t) : 0;
    if (!x.reversed) {
      if (!b.dir)
        line += whole(t, 5) + (tpair ? whole(tn, 6) : blank6);
      else
        line += blank5 + whole(t, 6);
    } else if (!b.dir) {
      line += blank5 + whole(t, 6);
    } else {
      line += tpair ? whole(tn, 5) + whole(t, 6) : whole(t, 5) + blank6;
    }
  }
  if (kind < 3) {
    line += ppair ? real(X[1], 1, 8) : whole(celsius(X[2]), 8);
    if (!same) {
      std::string miss(8, ' ');
      if (ppair) {
        const extended lo = std::fmin(b.p, n->p), hi = std::fmax(b.p, n->p);
        if (X[1] < lo || X[1] > hi) miss = real(X[1] - (X[1] < lo ? lo : hi), 1, 8);
      } else if (tpair) {
        const extended lo = std::fmin(b.t, n->t), hi = std::fmax(b.t, n->t);
        if (X[2] < lo || X[2] > hi) miss = whole(X[2] - (X[2] < lo ? lo : hi), 8);
      } else {
        const extended xs = X[2], tb = b.t;
        if (!x.reversed) {
          if ((!b.dir && xs < tb) || (b.dir && xs > tb)) miss = whole(xs - tb, 8);
        } else if (b.dir && xs < tb) {
          miss = whole(xs - tb, 8);
        } else if (!b.dir && xs > tb) {
          miss = whole(tb - xs, 8);
        }
      }
      line += miss;
    }
  }
  for (smallint m = 3; m <= NX; ++m) line += real(X[m], 4, 10);
  IO::PUTSTR(0, line, 1, out);
}

}  // namespace LSQDS
