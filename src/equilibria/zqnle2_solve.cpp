// The run loop of one equilibrium: runs (plain, Monte Carlo or
// fractionation), batch items and points, the window and mode checks of a
// solved point, its output, and the series lines at the end.
#include <cmath>
#include <memory>

#include "equilibria/zqnle1.h"
#include "equilibria/zqnle2.h"
#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "equilibria/zqread3.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_runloop.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "model/zqmath2.h"
#include "model/zqnle3.h"
#include "model/zqre.h"
#include "uncertainty/zqnle4.h"
#include "utilities/zqmode0.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

nlesolvertype NLESOLVER = ZQMATH2::NLE;
pointhooktype POINTHOOK = nullptr;
pointspantype POINTSPAN = nullptr;
runspantype RUNSPAN = nullptr;

void SOLVE(const bemvector& PH) {
  // The state is large and lives for one call: on the heap, made once.
  auto s = std::make_unique<solvestate>();
  s->PH = PH;
  s->RUNALL();
}

void solvestate::RUNALL() {
  IO::FROMTIME = IO::CLOCK();
  REHELP = false;
  MODESCALE = 1;
  DOINGMC = false;
  // Set first: what an item carries, which the batch set-up reads, depends on it.
  DOINGFRACT = on(CONTROLJX.fractionation);
  if (on(CONTROLJX.batch)) SETUPBATCH();
  if (DOINGFRACT) SETUPFRACT();
  if (on(CONTROLJX.mc)) SETUPMONTECARLO();
  RUN = 0;
  RUNCARRY = 0;
  do {
    ++RUN;
    if (RUN == runspercarry) {
      ++RUNCARRY;
      RUN = 0;
    }
    FIRSTRUN = RUNCARRY == 0 && RUN == 1;
    if (RUNSPAN != nullptr) RUNSPAN(runspan::run, true);
    if (!FIRSTRUN) {
      if (DOINGFRACT)
        DOFRACT();
      else
        DOMONTECARLO();
    }
    IBATCH = 0;
    do BATCHITEM();
    while (!DONE);
    if (DOINGMC)
      DONE = static_cast<extended>(RUNNUMBER()) >= MCIT || NOKBATCH == MCITOK;
    else if (DOINGFRACT)
      DONE = FRACTINFO.nsteps < static_cast<extended>(RUNNUMBER()) || FRACTSTOP || (IBATCH <= 1 && !GOOD);
    else
      DONE = true;
    if (RUNSPAN != nullptr) RUNSPAN(runspan::run, false);
  } while (!DONE);
  ENDSOLVE();
  UNSOLVABLESTOP();
}

void solvestate::BATCHITEM() {
  ++IBATCH;
  FIRSTBATCH = IBATCH == 1;
  IPT = 0;
  if (on(CONTROLJX.batch)) DOBATCH(IBATCH);
  if (RUNSPAN != nullptr) RUNSPAN(runspan::layout, true);
  ZQNLE3::MAKECROSSREFS(PH);
  if (RUNSPAN != nullptr) RUNSPAN(runspan::layout, false);
  if (on(CONTROLJX.mcdebug) && IBATCH == 1)
    for (smallint i = 1; i <= NPSS; ++i) ZQNLE3::WRITEAXBRIEF(i);
  ZQUTE2::POSITIONS();
  if (on(CONTROLJX.batch) && FIRSTRUN && FIRSTBATCH && (DEBUGLEVEL == 0 || on(CONTROLJX.mcdebug)))
    PRINTBATCHHEADER(IBATCH);
  const bool talk = DOGMIN ? DOGLEVEL == 2 : DEBUGLEVEL > 0;
  if (talk) PRINTHEADER1();
  ZQRE::CALCRE2(OK);
  // An item whose equations cannot be solved is named, then fails as one
  // that cannot be calculated; the run stops once every result is written.
  if (UNSOLVABLEITEM())
    VARCODE = 2;
  else
    CHECKVAR(VARCODE);
  if (VARCODE < 2) {
    K = 0;
    for (smallint i = 1; i <= NPSS; ++i) {
      if (!PH[i]) continue;
      for (smallint e = 1; e <= (*PREC1)[i].nprop; ++e) {
        ++K;
        ACTIVITY[K] = 1;
        SDACTIVITY[K] = 0;
      }
    }
    for (smallint i = 1; i <= NP0; ++i) {
      if (!PH[NPSS + i]) continue;
      ++K;
      ACTIVITY[K] = (*PREC0)[i].activity;
      SDACTIVITY[K] = (*PREC0)[i].sdactivity;
    }
    NOK = 0;
    NOCSVROW = 0;
    INRANGEOK = true;
    IOUT = 0;
    REHEAD = true;
    if (talk) IO::PUTSTR(0, "", 1, CHANNEL::TERMLOG);
    ZQNLE3::SETUPLOOPS(LOOPMAX, NLOOP, IBATCH);
    CHECKITEMPOINTS();
    ZQUTE2::SETUPLOOPER(LOOPAT, NLOOP);
    ++NGI;
    KGMIN = 0;
    do {
      ZQUTE2::LOOPER(LOOPAT, LOOPMAX, NLOOP, MORE);
      if (MORE) POINT();
    } while (MORE);
    if (DEBUGLEVEL != 0 && NOK == 0 && (!DOGMIN || DOGLEVEL >= 2)) {
      // The progress marks stand on the terminal and log line without its
      // end; the summary never had them.
      if (IOUT > 0) IO::PUTSTR(0, "", 1, CHANNEL::TERMLOG);
      IOUT = 0;
      IO::PUTSTR(0, INRANGEOK ? "<== nothing found ==>" : "<== nothing in range ==>", 1,
                 CHANNEL::TERMSUMLOG);
    }
  } else {
    // An item that cannot be calculated has failed, as a point that does
    // not solve has.
    OK = INRANGEOK = GOOD = GOODMC = false;
  }
  UNREACHEDPOINTS();
  if (DOINGFRACT && GOOD) {
    if (IBATCH == 1)
      FRACTBULK();
    else
      PRINTFRACTRESULTS();
  }
  // A failed item does not stop a batch or a run of a series: the items
  // after it are calculated, and the run is judged at its last item. Only
  // a fractionation run whose first item fails goes no further.
  if (IBATCH == NBATCH)
    DONE = true;
  else if (DOINGFRACT && !DOINGMC)
    DONE = IBATCH == 1 && !GOOD;
  else
    DONE = false;
}

bool solvestate::ROWSKEPT() const {
  // The same points as reach the rows in POINT and OUTPUTPOINT.
  return on(CONTROLJX.batch) && (on(CONTROLJX.mcdebug) || (!DOGMIN && DEBUGLEVEL == 0));
}

void solvestate::UNREACHEDPOINTS() {
  if (!ROWSKEPT()) return;
  // An item that cannot be calculated never met the check of its points.
  CHECKITEMPOINTS();
  for (long p = 1, n = ITEMPOINTS(BATCHINFO[IBATCH]); p <= n; ++p) {
    if (SLOTFILLED(IBATCH, p)) continue;
    GOODMC = false;
    PRINTMCRESULTS(IBATCH, static_cast<smallint>(p), GOODMC);
  }
}

void solvestate::KEEPPOINT() {
  // The loop's levels run as SETUPLOOPS lays them out: the isopleths and
  // bulks, one level per ln a and per mu variable, then P and T. The count
  // of the item's points gives each held list all its values and P and T
  // the item's own lists, whatever values the loop walks of them; the
  // slots run through that count as the loop through its levels.
  const batchtype& item = BATCHINFO[IBATCH];
  const long firstheld = NLOOP - NLNA - NMU - 1, pat = NLOOP - 1;
  farray<long, 1, iemvector::hi> everystride{"keep everystride"}, everyvalues{"keep everyvalues"};
  long slot = 1, stride = 1, nevery = 0;
  for (long l = NLOOP; l >= 1; --l) {
    const bool pt = l >= pat;
    long values = pt ? (l == pat ? item.np : item.nt) : LOOPMAX[l];
    if (!pt && l >= firstheld)
      values = l < firstheld + NLNA ? NLLNA[l - firstheld + 1] : NLMU[l - firstheld - NLNA + 1];
    if (!pt && values > LOOPMAX[l]) {
      ++nevery;
      everystride[nevery] = stride;
      everyvalues[nevery] = values;
    } else {
      slot += (LOOPAT[l] - 1) * stride;
    }
    stride *= values;
  }
  // A layout whose count is not the item's keeps its points as they come.
  if (stride != ITEMPOINTS(item)) {
    slot = IPT;
    nevery = 0;
  }
  long copies = 1;
  for (long k = 1; k <= nevery; ++k) copies *= everyvalues[k];
  const bool good = GOODMC;
  for (long c = 0; c < copies; ++c) {
    long at = slot, rest = c;
    for (long k = 1; k <= nevery; ++k) {
      at += rest % everyvalues[k] * everystride[k];
      rest /= everyvalues[k];
    }
    GOODMC = good;
    PRINTMCRESULTS(IBATCH, static_cast<smallint>(at), GOODMC);
  }
}

void solvestate::POINT() {
  ++IPT;
  ++KGMIN;
  if (DOGMIN && KGMIN > maxgmin) IO::ERROREXIT("solve", "PT grid in dogmin too big", yourfault);
  // The dogmin report keeps one record per grid point: a point beyond the
  // grid (a held list multiplies the points) would be written nowhere.
  if (DOGMIN && KGMIN > NGMIN) IO::ERROREXIT("solve", "more points than the dogmin PT grid", yourfault);
  if (POINTSPAN != nullptr) POINTSPAN(true);
  SETX(LOOPAT, IBATCH);
  INRANGEOK = true;
  OK = true;
  if (VARIANCE == 2 && NX + NXP == 0) {
    // nothing to solve
  } else if (VARIANCE == 1 && NX == 1 && NXP == 0) {
    SIMPLECALC();
  } else {
    OK = DONLE();
  }
  GIBBS = 0;
  SEEN = false;
  if (OK) {
    EXTRACT(SEEN);
    INRANGEOK = !BX[1] || ZQUTE1::INRANGE(SU.pressure, findtype::findp);
    if (INRANGEOK) INRANGEOK = !BX[2] || ZQUTE1::INRANGE(SU.temperature, findtype::findt);
    if (on(CONTROLJX.c8) && INRANGEOK && MODESBYNLE) {
      for (smallint i = NX + 1; i <= NX + NXP; ++i) {
        // A mode that is not a number fails too.
        if (!(X[i] >= 0 && X[i] <= 1)) {
          INRANGEOK = false;
          NLECODE = notseencode;
          SEEN = false;
          break;
        }
      }
    }
    if (INRANGEOK) POSTPROCESS();
    // A solve can meet its tests where an expression has left the domain
    // of its logarithm; what it leaves is no result, so the point fails as
    // one whose evaluation failed.
    if (INRANGEOK && !FINITEPOINT()) {
      OK = false;
      INRANGEOK = false;
      NLECODE = ZQMATH2::NLECODE::softfail;
      SEEN = false;
    }
  } else {
    INRANGEOK = false;
  }
  if (POINTSPAN != nullptr) POINTSPAN(false);
  GOOD = OK && INRANGEOK;
  if (DOGMIN && DOGLEVEL == 1 && GOOD) PRINTHEADER1();
  if (GOOD) {
    REHEAD = DEBUGLEVEL > 1 || MODESBYNLE || SU.nmodeset > 0 || on(CONTROLJX.project) ||
             on(CONTROLJX.calcmu) || on(CONTROLJX.convliq);
    DOREACTION = OVARIANCE == 1 || (EXBUFF && OVARIANCE == 2);
    DOPROJECT = on(CONTROLJX.project);
  } else {
    DOREACTION = false;
    DOPROJECT = false;
  }
  GOODMC = GOOD;
  if (GOOD) ++NOK;
  if (on(CONTROLJX.batch) && on(CONTROLJX.mcdebug)) KEEPPOINT();
  if (RUNSPAN != nullptr) RUNSPAN(runspan::write, true);
  OUTPUTPOINT();
  if (RUNSPAN != nullptr) RUNSPAN(runspan::write, false);
  if (POINTHOOK != nullptr) POINTHOOK(OK, GOOD, SEEN, NLECODE, SU, X);
}

void solvestate::OUTPUTPOINT() {
  if (DOGMIN) {
    PRINTGINFO(GOOD, SEEN);
  } else if (on(CONTROLJX.batch) && DEBUGLEVEL == 0) {
    if (!on(CONTROLJX.mcdebug)) KEEPPOINT();
  } else if (GOOD) {
    if (CONTROLJX.uncertaintylevel > 0) ZQNLE4::CALCSD(PH);
    if (DOREACTION) ZQNLE4::CALCREALREACTION(PH, RNAMES, RNU, NREACT, RSTR);
    PRINTRESULT();
    if (DOPROJECT) ZQNLE1::MAKEPROJECTION(PH, RNAMES, RNU, SU.pressure, SU.temperature);
    PRINTMORESTUFF();
  } else {
    NOTPRINTROW();
  }
}

void solvestate::ENDSOLVE() {
  CLOSERESULTS();
  if (!DOINGMC && !DOINGFRACT) ZQREAD3::XYZGUESSWARNING();
  const extended runs = static_cast<extended>(RUNNUMBER());
  if (MCITOK > 0 && NOKBATCH == MCITOK)
    IO::WRITETERMINAL("\n" + IO::INT2STR(NOKBATCH) + " successes in " + IO::INT2STR(runs) + " runs.\n");
  if (DOINGMC && DEBUGLEVEL == 0) {
    IO::PUTSTR(0, IO::INT2STR(NOKBATCH), 1, CHANNEL::SUMMARY);
    IO::PUTSTR(0, IO::INT2STR(NMCROWS), 1, CHANNEL::DRAWING);
  }
  if (on(CONTROLJX.avptplus)) {
    for (smallint i = 1; i <= NMIN; ++i) ZQMODE0::PRINTXYZINFO(i);
    ZQNLE4::AVPTPLUSDRIVER();
  }
  // What follows the call sees the run's components, not its last item's.
  if (on(CONTROLJX.batch)) RUNCOMPS.RESTORE();
}

}  // namespace ZQNLE2
