// A batch run: its items translated from the order of the "with" list into
// the phase order, each item installed as the problem of its points, and
// the list of the items' equilibria with the csv headings.
#include <algorithm>
#include <memory>

#include "equilibria/zqnle2.h"
#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "equilibria/zqread3.h"
#include "frame/zqglobal_mode1.h"
#include "frame/zqglobal_script.h"
#include "frame/zqute1.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr smallint namebreak = 12;     // variable names per line of an item's equil entry
constexpr smallint maxnamebreaks = 4;  // line breaks of one entry at most
constexpr int fractionrulelength = 48;

const std::string quote = "\"";

// A with-list position through the translation; 0 and positions past the
// list stay as they are.
smallint translated(smallint k, const farray<smallint, 1, maxphaselist>& order) {
  return k >= 1 && k <= NWHSTRINGS ? order[k] : k;
}

// One csv heading field: "i-" and the name, right-aligned in 10, then ", ".
void heading(int bit, long i, const std::string& name) {
  csvfield(bit, csvname(IO::INT2STR(i) + "-" + name), 10);
  csvfield(bit, ", ", 0);
}

// The components an item's phases hold, each counted once.
void usedcomponents(const batchtype& item, farray<bool, 1, maxcomp>& used) {
  used.fill(false);
  for (long c = 1; c <= KNUV; ++c) {
    for (long i = 1; i <= NPSS && !used[c]; ++i) {
      if (!item.phase[i]) continue;
      const ptype1& p = (*PREC1)[i];
      for (long e = 1; e <= p.nprop; ++e) used[c] = used[c] || p.em[e].comp[c] != 0;
    }
    for (long i = 1; i <= NP0 && !used[c]; ++i) used[c] = item.phase[NPSS + i] && (*PREC0)[i].comp[c] != 0;
  }
}

// A pseudosection item's components in a run that holds none: those its
// phases hold, as many as its bulk gives.
void usedbulk(batchtype& item) {
  farray<bool, 1, maxcomp> used{"dobatch used"};
  usedcomponents(item, used);
  smallint count = 0, highest = 0;
  for (long c = 1; c <= KNUV; ++c) {
    item.hascomp[c] = used[c];
    if (!used[c]) continue;
    ++count;
    highest = static_cast<smallint>(c);
  }
  if (count != item.nfreecomp) IO::ERROREXIT("dobatch", "mismatch in making bcomps", yourfault);
  item.nuv = highest;
}

// A pseudosection item in a run whose variables hold components: as the
// plain pseudosection, the item's bulk is held over the free components
// only, scaled to 100, whatever it gives of a held one. Every free
// component the phases hold must be in the bulk, and nothing else.
void heldbulk(batchtype& item, const farray<bool, 1, maxcomp>& held) {
  farray<bool, 1, maxcomp> used{"dobatch used"};
  usedcomponents(item, used);
  // The bulk as read: one value per component it gives, in order.
  farray<extended, 1, maxcomp> given{"dobatch given"};
  smallint j = 0, highest = 0;
  for (long c = 1; c <= KNUV; ++c)
    if (item.hascomp[c]) given[c] = item.bulkcomp[++j];
  smallint nfree = 0;
  extended sum = 0;
  for (long c = 1; c <= KNUV; ++c) {
    const bool free = used[c] && !held[c];
    if (free != (item.hascomp[c] && !held[c]))
      IO::ERROREXIT("dobatch", "mismatch in making bcomps", yourfault);
    if (used[c] || held[c]) highest = static_cast<smallint>(c);
    item.hascomp[c] = free;
    if (!free) continue;
    item.bulkcomp[++nfree] = given[c];
    sum += given[c];
  }
  for (long c = nfree + 1; c <= KNUV; ++c) item.bulkcomp[c] = 0;
  if (nfree == 0 || !(sum > 0)) IO::ERROREXIT("dobatch", "mismatch in making bcomps", yourfault);
  for (long c = 1; c <= nfree; ++c) item.bulkcomp[c] = 100 * item.bulkcomp[c] / sum;
  item.nfreecomp = nfree;
  item.nuv = highest;
}

// The fluid whose x(CO2) a section buffered from outside holds over the
// whole run, and that variable; 0 and 0 when the run holds none.
void bufferedvar(smallint& ph, smallint& var) {
  ph = var = 0;
  if (!EXBUFF || CONTROLJX.xco2values == no || NLX < 1 || FLUIDPOS < 1) return;
  const ptype1& p = (*PREC1)[FLUIDPOS];
  for (long v = 1; v <= p.nvar; ++v) {
    const xvartype& x = p.xvar[v];
    if ((x.name == "x(CO2)" || x.name == "x(fluid)") && x.setindex > 0) {
      ph = FLUIDPOS;
      var = static_cast<smallint>(v);
    }
  }
}

// Whether the section's x(CO2) is held for an item that carries its fluid
// (CARRIEDFLUID): in an item with a bulk, as in the plain pseudosection;
// in one without whose isopleths leave more than P and T to fix, its
// variance counting the section's x(CO2) as the plain run does. One whose
// isopleths, or the run's held mu and ln a lists its variance counts,
// leave only P and T solves the fluid's x(CO2) as any variable of its own.
bool holdsxco2(const batchtype& item) { return item.withbulk || item.variance - item.niso > 2; }

// The buffered fluid of an item that carries it, and its x(CO2); returns
// the variable's value list where the item holds it, the run's own, never
// an item's, made the run's values again whatever an item without a bulk
// left there (0 when it holds none).
smallint bufferedfluid(const batchtype& item, smallint& ph, smallint& var) {
  ph = CARRIEDFLUID();
  var = 0;
  if (ph == 0) return 0;
  smallint fluidph = 0;
  bufferedvar(fluidph, var);
  if (!holdsxco2(item)) return 0;
  const smallint list = (*PREC1)[ph].xvar[var].setindex;
  NLISO[list] = NLX;
  for (long k = 1; k <= NLX; ++k) LISO(list, k) = LXCO2[k];
  return list;
}

// No mode or variable of the item before is left set, but the buffered
// fluid's x(CO2).
void clearmarks(smallint fluid, smallint fluidx) {
  for (long i = 1; i <= NPSS; ++i) {
    ptype1& p = (*PREC1)[i];
    p.modeset = false;
    for (long v = 1; v <= p.nvar; ++v) p.xvar[v].isset = i == fluid && v == fluidx;
  }
  for (long i = 1; i <= NP0; ++i) (*PREC0)[i].modeset = false;
}

// The phase rule for the phases of set, as the plain run counts its chosen
// phases: the rank of their compositions with each mu variable's component
// opened, plus 2, less the phases and the mu variables. A mu variable's
// phase is that opened component, not a phase of its own.
smallint phaserule(const bemvector& set) {
  // Some 1.3 MB: made at the first call, kept for the run.
  static std::unique_ptr<liemmatrix> m;
  if (!m) m = std::make_unique<liemmatrix>("batch phase rule");
  smallint col = 0, nphases = 0;
  const auto column = [&](const auto& comp) {
    ++col;
    for (long c = 1; c <= NUV; ++c) (*m)(c, col) = comp[c];
  };
  for (long i = 1; i <= NPSS; ++i) {
    if (!set[i]) continue;
    ++nphases;
    const ptype1& p = (*PREC1)[i];
    for (long e = 1; e <= p.nprop; ++e) column(p.em[e].comp);
  }
  farray<bool, 1, maxcomp> held{"batch held"};
  for (long k = 1; k <= NMU; ++k)
    for (long c = 1; c <= NUV; ++c) held[c] = held[c] || COMPNAME[c] == MUNAME[k];
  for (long i = 1; i <= NP0; ++i) {
    const ptype0& p = (*PREC0)[i];
    bool mu = false;
    for (long k = 1; k <= NMU; ++k) mu = mu || p.name == MUNAME[k];
    if (!set[NPSS + i] || mu) continue;
    ++nphases;
    column(p.comp);
  }
  return PHASERULE(*m, NUV, col, held, nphases, NMU);
}

// The starting guesses of the item's phases from its guess block, but for
// the buffered fluid's x(CO2) where the section sets it. A buffered fluid
// the item does not name starts its x(CO2), when the block has none, where
// the run's points leave it.
void itemguesses(const batchtype& item, smallint fluid, smallint fluidx, bool held) {
  const bxyztype& block = BATCHXYZ[item.kxyz];
  for (long i = 1; i <= NPSS; ++i) {
    if (!item.phase[i] && i != fluid) continue;
    ptype1& p = (*PREC1)[i];
    for (long v = 1; v <= p.nvar; ++v) {
      const bool buffered = i == fluid && v == fluidx;
      if (buffered && held) continue;
      long at = 0;
      for (long e = 1; e <= block.count && at == 0; ++e)
        if (block.name[e] == p.xvar[v].name) at = e;
      if (at == 0 && buffered && !item.phase[i]) continue;
      if (at == 0) IO::ERROREXIT("dobatch", "xyzguess: can't find " + p.xvar[v].name, yourfault);
      p.xvar[v].guess = block.value[at];
    }
  }
}

// The variance before a point's modes and isopleths that makes it a line
// whose reaction is written (its modes, when worked out after the solve,
// one row for each end), or a buffered divariant assemblage whose reaction
// is written.
bool namesaline(smallint v) { return v == 1 || (EXBUFF && v == 2); }

}  // namespace

smallint CARRIEDFLUID() {
  // A fluid buffered by the section's x(CO2) is in excess at every point of
  // the section, so it comes with every item, named in it or not; whether
  // its x(CO2) is the section's is the item's variance to say (holdsxco2).
  if (DOINGFRACT) return 0;
  smallint ph = 0, var = 0;
  bufferedvar(ph, var);
  return ph;
}

bool ITEMPHASE(const batchtype& item, long i) { return item.phase[i] || i == CARRIEDFLUID(); }

long ITEMPOINTS(const batchtype& item) {
  // The run's mu and ln a variables come with every item, and the buffered
  // fluid's x(CO2) with the items that hold it: each of their values is a
  // point at every P-T point of the item. Counted up to a bound far past
  // any item's rows, so that no list length can overflow it.
  constexpr long bound = 1000000000000L;
  long points = item.npt;
  const auto times = [&](long n) { points = std::min(points * n, bound); };
  if (CARRIEDFLUID() > 0 && holdsxco2(item)) times(NLX);
  for (long k = 1; k <= NMU; ++k) times(NLMU[k]);
  for (long k = 1; k <= NLNA; ++k) times(NLLNA[k]);
  return points;
}

void runcomponents::transfer(bool back) {
  const auto mv = [back](auto& live, auto& kept) {
    if (back)
      live = kept;
    else
      kept = live;
  };
  mv(NUVLEFT, nuvleft);
  mv(NU, nu);
  mv(NUV, nuv);
  mv(NCOMP, ncomp);
  mv(BCOMPS.data, bcomps.data);
  mv(COMP1.data, comp1.data);
  if (back && resized) {
    ZQNLE3::COUNTCOMP();
    resized = false;
  }
}

void solvestate::SETUPBATCH() {
  RUNCOMPS.KEEP();
  IO::strings names{"batch names"};
  smallint n = 0;
  for (long i = 1; i <= NPSS + NP0; ++i)
    if (PH[i]) names[++n] = phasename(i);
  for (long k = 1; k <= NWHSTRINGS; ++k) {
    smallint at = 0;
    if (!IO::MATCHSTRING(WHSTRINGS[k], names, n, at))
      IO::ERROREXIT("setupbatch", "name " + WHSTRINGS[k] + " not recognised", yourfault);
    BATCHORDER[k] = at;
  }
  for (long b = 1; b <= NBATCH; ++b) {
    batchtype& item = BATCHINFO[b];
    const auto scratch = item.phase;
    for (long k = 1; k <= NWHSTRINGS; ++k) item.phase[BATCHORDER[k]] = scratch[k];
    item.modephase1 = translated(item.modephase1, BATCHORDER);
    item.modephase2 = item.nmodeset == 2 ? translated(item.modephase2, BATCHORDER) : 0;
    for (long k = 1; k <= item.niso; ++k) item.isophase[k] = translated(item.isophase[k], BATCHORDER);
  }
  // A batch run judges its points by their filters with or without a Monte
  // Carlo series, so the names become numbers here; a series resolves them
  // in its own set-up, where a bad name has always been reported.
  if (!on(CONTROLJX.mc)) FINDFILTERCODES("setupbatch");
}

void solvestate::DOBATCH(smallint ibatch) {
  batchtype& item = BATCHINFO[ibatch];
  // 1. Nothing of the item before is left marked.
  NREACT = 0;
  MODESBYNLE = false;
  // A fluid buffered by the section's x(CO2) comes with the item
  // (CARRIEDFLUID): where the item holds its x(CO2), it stays set on the
  // run's list, and the item's lists follow it.
  smallint fluid = 0, fluidx = 0;
  const smallint firstlist = bufferedfluid(item, fluid, fluidx);
  const bool heldx = firstlist > 0;
  clearmarks(fluid, heldx ? fluidx : 0);
  NLISO[firstlist + 1] = 0;
  // 2. Starting guesses from the item's guess block.
  itemguesses(item, fluid, fluidx, heldx);
  // 3. The isopleth values start there, and every start must be legal.
  if (FIRSTRUN) {
    for (long k = 1; k <= item.niso; ++k) (*PREC1)[item.isophase[k]].xvar[item.isovar[k]].guess = item.isovalue[k];
    for (long i = 1; i <= NPSS; ++i)
      if (item.phase[i] && !ZQUTE1::XYZLEGAL(static_cast<smallint>(i)))
        IO::ERROREXIT("setupbatch",
                      "starting guess not legal for " + (*PREC1)[i].name + " in batch " + IO::INT2STR(ibatch),
                      yourfault);
  }
  // 4., 5. The phases, the variance and the P-T points of the item. The
  // run's mu and ln a variables belong to every item: their phases, which no
  // batch line can name (a mu phase is made after the script is read), come
  // with each item as they come with every equilibrium of a plain run.
  PH.fill(false);
  for (long i = 1; i <= NPSS + NP0; ++i) PH[i] = ITEMPHASE(item, i) || ZQNLE3::VARIABLEPHASE(i);
  VARIANCE = OVARIANCE = item.variance;
  NLP = item.np;
  for (long k = 1; k <= item.np; ++k) LP[k] = item.plist[k];
  NLT = item.nt;
  for (long k = 1; k <= item.nt; ++k) LT[k] = item.tlist[k];
  // 6. A pseudosection item brings its own bulk; any other item has the
  // run's, whatever an item before it brought.
  RUNCOMPS.RESTORE();
  if (item.withbulk) {
    MODESBYNLE = true;
    farray<bool, 1, maxcomp> held{"dobatch held"};
    if (NMU > 0 || NLNA > 0 || EXBUFF) ZQREAD3::HELDCOMPONENTS(held);
    bool holds = false;
    for (long c = 1; c <= NUV; ++c) holds = holds || held[c];
    if (FIRSTRUN) {
      if (holds)
        heldbulk(item, held);
      else
        usedbulk(item);
    }
    NUVLEFT = item.nfreecomp;
    NU = NUV = item.nuv;
    for (long c = 1; c <= item.nuv; ++c) BCOMPS[c] = item.hascomp[c];
    NCOMP = 1;
    for (long c = 1; c <= item.nuv; ++c) COMP1[c] = item.bulkcomp[c];
    if (holds) {
      // The free components are the item's own, not the run's: the
      // reduction of the mass balance is made again over them.
      smallint rank = 0;
      bool fits = true;
      CALCRANKP(PH, rank, fits);
      if (!fits) IO::ERROREXIT("dobatch", "bulk not in the reduced system of batch " + IO::INT2STR(ibatch), yourfault);
      // Modes are per atom of the free components, as in the plain run.
      ZQNLE3::COUNTCOMP();
      RUNCOMPS.resized = true;
    } else if (item.nfreecomp != item.nuv && RANKDEFICIT > 0) {
      IO::ERROREXIT("dobatch", "danger - projc not diagonal", yourfault);
    }
    // A bulk fixes the point as the plain pseudosection's does: with no
    // mode or variable set, P and T are the item's, whatever lower
    // variance it was given (which would leave the solve a row short and
    // ask a divariant field for its reaction). Fractionation steps keep
    // their own reading of an item's variance.
    if (!DOINGFRACT && item.nmodeset == 0 && item.niso == 0 && VARIANCE < 2) VARIANCE = OVARIANCE = 2;
    // The buffered fluid's x(CO2) is the plain run's one set variable:
    // P-T given, the phase rule's count is one more than what is left.
    if (!DOINGFRACT && heldx && item.nmodeset == 0 && item.niso == 0) {
      VARIANCE = 2;
      OVARIANCE = 3;
    }
    // The item solves its own modes, so it is neither a line with its modes
    // worked out after the solve nor an assemblage with a reaction to
    // write, whatever variance it was given: where the given one would make
    // it so, the phase rule's count for its phases stands in its place, as
    // the plain pseudosection's variance does.
    if (!DOINGFRACT && namesaline(OVARIANCE)) OVARIANCE = phaserule(PH);
  } else if (heldx) {
    // The section's x(CO2) is a variable the item's variance counts.
    VARIANCE = static_cast<smallint>(VARIANCE - 1);
  }
  // 7. Fixed modes, then 8. fixed compositional variables, each a value list of one.
  if (item.nmodeset > 0) {
    VARIANCE = static_cast<smallint>(2 - item.nmodeset);
    if (VARIANCE < 0) IO::ERROREXIT("dobatch", "negative variance (1)", yourfault);
    auto fixmode = [&](smallint phase, smallint list, extended value) {
      if (phase <= NPSS) {
        (*PREC1)[phase].modeset = true;
        (*PREC1)[phase].modelist = list;
      } else {
        (*PREC0)[phase - NPSS].modeset = true;
        (*PREC0)[phase - NPSS].modelist = list;
      }
      LISO(list, 1) = value;
      NLISO[list] = 1;
    };
    fixmode(item.modephase1, static_cast<smallint>(firstlist + 1), item.mode1);
    if (item.modephase2 != 0) fixmode(item.modephase2, static_cast<smallint>(firstlist + 2), item.mode2);
  }
  if (item.niso > 0) {
    if (item.withbulk && item.nmodeset == 0) VARIANCE = 2;
    VARIANCE = static_cast<smallint>(VARIANCE - item.niso);
    if (VARIANCE < 0) IO::ERROREXIT("dobatch", "negative variance (2)", yourfault);
    for (long k = 1; k <= item.niso; ++k) {
      const smallint list = static_cast<smallint>(firstlist + item.nmodeset + k);
      LISO(list, 1) = item.isovalue[k];
      NLISO[list] = 1;
      xvartype& xv = (*PREC1)[item.isophase[k]].xvar[item.isovar[k]];
      xv.isset = true;
      xv.setindex = list;
    }
  }
  // 9., 10. What a line solves for.
  if (!DOINGFRACT) {
    if (VARIANCE == 1) {
      if (item.nt >= 2)
        CALCVARIABLE = calcvariabletype::calcpressure;
      else if (item.np >= 2)
        CALCVARIABLE = calcvariabletype::calctemperature;
      else
        CALCVARIABLE = item.tatp ? calcvariabletype::calctemperature : calcvariabletype::calcpressure;
    } else {
      CALCVARIABLE = calcvariabletype::calcpressure;
    }
    return;
  }
  CALCVARIABLE = BATCHINFO[1].tatp ? calcvariabletype::calctemperature : calcvariabletype::calcpressure;
  if (ibatch == 1) {
    MODESBYNLE = BATCHINFO[1].variance > 2;
    PSEUDOSECTION = !MODESBYNLE;
    CONTROLJX.printbulkinfo = yes;
    CONTROLJX.printxyz = FRACTXYZ ? yes : no;
    IO::PUTSTR(1, std::string(fractionrulelength, '+'), 2, CHANNEL::LOG);
  } else {
    CONTROLJX.printbulkinfo = no;
    CONTROLJX.printxyz = no;
  }
}

bool solvestate::UNSOLVABLEITEM() {
  if (!on(CONTROLJX.batch) || DOINGFRACT || DOGMIN) return false;
  // The solver's equations and unknowns, as it counts them: a reaction
  // each, and with the modes solved the mass balance's independent rows;
  // P and T as the variance leaves them, every free variable and mode.
  const smallint rows = static_cast<smallint>(NR + (MODESBYNLE ? NUVLEFT - RANKDEFICIT : 0));
  smallint cols = static_cast<smallint>(VARIANCE == 0 ? 2 : VARIANCE == 1 ? 1 : 0);
  for (long v = 3; v <= NX + NXP; ++v)
    if (BX[v]) ++cols;
  const bool square = rows == cols;
  if (square && VARVERDICT() != 2) return false;
  // A Monte Carlo series meets the item in every run: it is named once.
  if (UNSOLVABLE[IBATCH]) return true;
  const batchtype& item = BATCHINFO[IBATCH];
  std::string why = "batch " + IO::INT2STR(BATCHNO[IBATCH]) + " (";
  for (long i = 1; i <= NPSS + NP0; ++i)
    if (PH[i]) why += (why.back() == '(' ? "" : " ") + phasename(i);
  why += "): ";
  // A bulk settles the item's variance; without one the given variance
  // stands, and it is set beside the phase rule's.
  const smallint count = phaserule(PH);
  if (!item.withbulk && item.variance != count)
    why += "variance " + IO::INT2STR(item.variance) + " given, " + IO::INT2STR(count) + " by the phase rule; ";
  if (square)
    why += "degenerate, its reactions leave a variable unfixed";
  else
    why += IO::INT2STR(rows) + (rows == 1 ? " equation for " : " equations for ") + IO::INT2STR(cols) +
           (cols == 1 ? " unknown" : " unknowns");
  // On a line of its own, after any progress marks of the item before,
  // and whole on the terminal as the stop's message is: its end is why.
  if (IOUT > 0) IO::PUTSTR(0, "", 1, CHANNEL::TERMLOG);
  IOUT = 0;
  IO::WRITETERMINAL(why + "\n");
  IO::PUTSTR(0, why, 1, CHANNEL::SUMLOG);
  UNSOLVABLE[IBATCH] = true;
  if (++NUNSOLVABLE == 1) FIRSTUNSOLVABLE = why;
  return true;
}

void solvestate::UNSOLVABLESTOP() const {
  if (NUNSOLVABLE == 0) return;
  const smallint more = static_cast<smallint>(NUNSOLVABLE - 1);
  std::string why = FIRSTUNSOLVABLE;
  if (more > 0)
    why += "; and " + IO::INT2STR(more) + (more == 1 ? " more item" : " more items") + " that cannot be calculated";
  IO::ERROREXIT("batch", why, yourfault);
}

void solvestate::CHECKITEMPOINTS() {
  if (!ROWSKEPT()) return;
  const long points = ITEMPOINTS(BATCHINFO[IBATCH]);
  if (points <= maxbatchpt) return;
  IO::ERROREXIT("batch",
                "batch " + IO::INT2STR(BATCHNO[IBATCH]) + ": " + IO::INT2STR(static_cast<extended>(points)) +
                    " points with its held lists, at most " + IO::INT2STR(maxbatchpt) + " to an item",
                yourfault);
}

void solvestate::PRINTBATCHHEADER(smallint /*ibatch*/) {
  // Every list here is made from the item's phases as its points are laid
  // out (ITEMPHASE), so that each value of a row stands under its own name.
  const longint qk = CHANNEL::DRAWING;
  for (long b = 1; b <= NBATCH; ++b) {
    const batchtype& item = BATCHINFO[b];
    if (b == 1) IO::PUTSTR(1, " equil = {", 0, qk);
    std::string line = "{ (* " + IO::INT2STR(BATCHNO[b]) + " *) {";
    bool first = true;
    for (long i = 1; i <= NPSS + NP0; ++i) {
      if (!ITEMPHASE(item, i)) continue;
      line += (first ? "" : ", ") + quote + phasename(i) + quote;
      first = false;
    }
    IO::PUTSTR(1, line + "},", 1, qk);
    line = " {";
    long k = 0;
    for (long i = 1; i <= NPSS; ++i) {
      if (!ITEMPHASE(item, i)) continue;
      const ptype1& p = (*PREC1)[i];
      for (long v = 1; v <= p.nvar; ++v) {
        ++k;
        if (k > 1) {
          line += ", ";
          if (k % namebreak == 0 && k / namebreak <= maxnamebreaks) {
            IO::PUTSTR(0, line, 1, qk);
            line = "  ";
          }
        }
        line += quote + p.xvar[v].name + quote;
      }
    }
    IO::PUTSTR(0, line + "}}" + (b == NBATCH ? " };" : ","), 1, qk);
  }
  // A run's rows give every point of an item a group of its own, holding
  // P, T and the point's unknowns: the compositional variables, then the
  // modes when they are solved for. Each group is headed by its item.
  for (long b = 1; b <= NBATCH; ++b) {
    const batchtype& item = BATCHINFO[b];
    // As the item is set up: its bulk makes the modes unknowns, except in
    // the first item of a fractionation run, where its variance decides.
    const bool modes = DOINGFRACT && b == 1 ? item.variance > 2 : item.withbulk;
    const long points = ITEMPOINTS(item);
    for (long pt = 1; pt <= points; ++pt) {
      csvfield(CHANNEL::CSVBIT, "   #, ", 0);
      heading(CHANNEL::CSVBIT, b, "P");
      heading(CHANNEL::CSVBIT, b, "T");
      for (long i = 1; i <= NPSS; ++i) {
        if (!ITEMPHASE(item, i)) continue;
        const ptype1& p = (*PREC1)[i];
        for (long v = 1; v <= p.nvar; ++v) heading(CHANNEL::CSVBIT, b, p.xvar[v].name);
      }
      if (modes)
        for (long i = 1; i <= NPSS + NP0; ++i)
          if (ITEMPHASE(item, i) && ZQNLE3::TAKESMODE(i)) heading(CHANNEL::CSVBIT, b, phasename(i));
      csvfield(CHANNEL::CSV2BIT, "   #, ", 0);
      for (const char* q : {"G", "H", "S", "V", "rho"}) heading(CHANNEL::CSV2BIT, b, q);
    }
  }
  IO::PUTSTR(0, "", 1, CHANNEL::CSV);
  IO::PUTSTR(0, "", 1, CHANNEL::CSV2);
}

}  // namespace ZQNLE2
