// The state of one call of ZQNLE2::SOLVE, shared by the routines nested in
// it: the run and batch counters, the outcome of the current point, its
// reaction and the work vectors of its extraction. The printers of a point
// are members; the run loop adds its own steps to the same record. Only the
// calc-mode-1 driver and its printers include this.
#pragma once

#include <memory>
#include <string>

#include "equilibria/zqnle2_solve_batch.h"
#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_solver.h"

namespace ZQNLE2 {

constexpr int maxaqphases = 5;  // aqueous solution phases of one assemblage
constexpr smallint runspercarry = 10000;  // runs counted by RUN before RUNCARRY takes one
constexpr smallint notseencode = 8;  // NLECODE of an assemblage calculated but not seen

// Per phase record of SU: its mode is taken to zero by the "tozero" list.
using tozerobtype = farray<bool, 1, maxsu>;

// Zeroed flags of the records of SU and the factor 1 / (1 - sum of their
// modes) that renormalises the others.
void TOZEROFAC(tozerobtype& zeroed, extended& factor);

struct solvestate {
  bemvector PH{"solve PH"};  // the phase set of the equilibrium: solution phases 1..NPSS, then the others

  smallint RUN = 0;          // low part of the run counter, 0..runspercarry-1
  smallint RUNCARRY = 0;     // high part of the run counter, in runspercarry runs
  // The whole run number: RUNCARRY times runspercarry, and RUN.
  long RUNNUMBER() const { return static_cast<long>(RUNCARRY) * runspercarry + RUN; }
  bool FIRSTRUN = false;     // the first run of the call
  bool FIRSTBATCH = false;   // the first batch item
  smallint IPT = 0;          // point within the batch item, 0 before the first
  smallint NOK = 0;          // good points so far in the batch item
  smallint NOCSVROW = 0;     // of those, the ones the first csv file has no row for (PRINTCSV)
  smallint NLOOP = 0;        // levels of the point loop
  iemvector LOOPMAX{"solve LOOPMAX"};  // values of each level
  iemvector LOOPAT{"solve LOOPAT"};    // index of the current value of each level
  bool MORE = false;         // the point loop produced another point
  bool OK = false;           // the current point was solved
  smallint NLECODE = 0;      // outcome of the current point: the solver's code, or notseencode
  bool SEEN = false;         // every phase of the assemblage is present at the point
  bool INRANGEOK = false;    // the solved point lies inside the window
  bool GOOD = false;         // OK and INRANGEOK
  bool GOODMC = false;       // copy of GOOD the Monte Carlo rows may change
  bool DOREACTION = false;   // the reaction of the good point is worked out
  bool DOPROJECT = false;    // the good point is projected
  bool REHEAD = true;        // the variables table repeats its heading at every row
  bool DONE = false;         // end test of the batch and run loops
  smallint VARCODE = 0;      // variance check of the batch item: 0 calculate, 1 no reactions, 2 degenerate
  smallint K = 0;            // running index shared in turn by the steps of a point
  smallint NREACT = 0;       // phases in the reaction of the point
  IO::strings RNAMES{"solve RNAMES"};  // their names
  emvector RNU{"solve RNU"};           // their coefficients
  str255 RSTR;               // the reaction as text
  eqvector XRAW{"solve XRAW"};         // the unknowns of the point before unscaling
  eqvector NORMA{"solve NORMA"}, NORMB{"solve NORMB"};  // normalising vectors of the phase compositions
  extended MODESCALE = 1;    // scale of the modes table
  emvector CONVV{"solve CONVV"};       // scratch of the weight conversion of a point

  // Printers of a good point: the dispatch and its optional outputs.
  void PRINTRESULT();
  void PRINTMORESTUFF();
  // The progress mark of a failed point.
  void NOTPRINTROW();
  // Status line and the variables table.
  void PRINTVARIABLES();
  // The reaction text RSTR to the log.
  void PRINTREACTION();
  // Modes table with the renormalised and log-ratio lines.
  void PRINTMODES();
  // Activities of every end-member ("lsqds").
  void PRINTACTIVITIES();
  // Chemical potentials of the components ("calcmu").
  void PRINTMU();
  // Copy-back blocks in the log: starting guesses, rbi table, fractionation bulk.
  void PRINTGUESSES();
  void PRINTBULK();
  void PRINTFRACT();
  // Drawing data: record header, record row, list row, and the mode box.
  void PRINTHEADERO();
  void PRINTROWQK();
  void PRINTROWMATH();
  void PRINTMODEBOX();
  // Rows of the two csv files.
  void PRINTCSV();
  // Banner and phase line of an equilibrium.
  void PRINTHEADER1();

  // ---------------------------------------------------------------- run loop
  // Aqueous solution phases of the assemblage, for the ionic-strength
  // passes of a solve: phase number, first X position, first and last
  // end-member positions.
  smallint NAQ = 0;
  farray<smallint, 1, maxaqphases> AQPHASE{"solve AQPHASE"}, AQX{"solve AQX"};
  farray<smallint, 1, maxaqphases> AQFIRST{"solve AQFIRST"}, AQLAST{"solve AQLAST"};
  // Results of the one-reaction search that the point does not use.
  extended SCP2 = 0, SCDV1 = 0, SCDV2 = 0, SCDMU1 = 0, SCDMU2 = 0;
  // Per reaction, it touches a solution phase; per unknown, a touching
  // reaction's ideal-mixing term names it (CHECKVAR).
  farray<bool, 1, maxreac> TOUCHES{"solve TOUCHES"};
  farray<bool, 1, maxeq> USED{"solve USED"};
  // A phase record's variables as the site-fraction expressions read them.
  eqvector XPHASE{"solve XPHASE"};
  // Bulk atoms per bulk step (POSTPROCESS).
  modesetvector ATOMS{"solve ATOMS"};
  bool FRACTSTOP = false;  // a fractionation run has come to its end
  smallint NMCROWS = 0;    // Monte Carlo rows written to the drawing data file
  farray<bool, 1, maxbatch> UNSOLVABLE{"solve UNSOLVABLE"};  // per batch item, named as unsolvable (UNSOLVABLEITEM)
  smallint NUNSOLVABLE = 0;      // items so named
  std::string FIRSTUNSOLVABLE;   // the first one's name and why

  // The whole calculation of the phase set: runs, batch items, points.
  void RUNALL();
  void BATCHITEM();
  void POINT();
  void OUTPUTPOINT();
  void ENDSOLVE();
  // Starting values of a point from its loop position.
  void SETX(const iemvector& AT, smallint ibatch);
  void SETXISOPLETHS(const iemvector& AT, smallint& m);
  void SETXORDER();
  void SETXBULK(const iemvector& AT, smallint& m);
  void SETMODEGUESS();
  void PRINTMODEDEBUG1();
  void PRINTMODEDEBUG2(bool AFTER, extended T);
  // Can the equilibrium be calculated at all: 0 yes, 1 no reactions, 2 degenerate.
  void CHECKVAR(smallint& CODE);
  // CHECKVAR's verdict, whatever the run, with nothing reported.
  smallint VARVERDICT();
  // The batch item's equations cannot be solved for its unknowns: the
  // item is named with why the first time it is met, and kept for the
  // stop after the batch (UNSOLVABLESTOP).
  bool UNSOLVABLEITEM();
  // A run with such items, its results all written, ends naming them.
  void UNSOLVABLESTOP() const;
  // A batch item whose held lists give it more points than its rows can
  // keep ends the run, naming it.
  void CHECKITEMPOINTS();
  // The points of the batch run are kept as rows (Monte Carlo and batch
  // tables), not printed one by one.
  bool ROWSKEPT() const;
  // The solve of one point, with the ionic-strength passes.
  bool DONLE();
  // A point solved by its single reaction.
  void SIMPLECALC();
  // The solution unscaled into SU; SEEN false when a phase is missing or,
  // with the modes solved for, has a negative mode.
  void EXTRACT(bool& seen);
  void MODESUMWARNING(extended sumall);
  // Site fractions, compositions, mode factors and phase properties.
  void POSTPROCESS();
  // The weight factors of the phases in each mode row: the bulk's atoms
  // over the phase's.
  void MODEFACTORS();
  // The unknowns, modes and phase and system properties of the point are
  // all finite.
  bool FINITEPOINT() const;

  // Batch and Monte Carlo runs.
  void SETUPBATCH();
  void DOBATCH(smallint ibatch);
  void PRINTBATCHHEADER(smallint ibatch);
  void SETUPMONTECARLO();
  void DOMONTECARLO();
  // A row into slot ipt of item ibatch; the run is judged once the last
  // item has every slot filled, in whatever order.
  void PRINTMCRESULTS(smallint ibatch, smallint ipt, bool& goodmc);
  // The system's G, H, S, V and density of the good point just solved, for
  // its row: false when the point has none (no modes among its unknowns,
  // or a system whose properties are not modelled).
  bool ROWPROPERTIES(farray<extended, 1, nmcprops>& prop);
  // The point just made, as a row in the slot of the held-list values and
  // P-T point it was made at; a point whose equilibrium holds no reaction
  // of a held list's variable holds at each of its values, and goes into
  // each of their slots.
  void KEEPPOINT();
  // The slots of the item that its point loop did not reach (a P-T point
  // its variance does not walk, within each group of held-list values), as
  // failed rows, so that the run is judged and written all the same.
  void UNREACHEDPOINTS();
  // Slot ipt of item ibatch holds a row of the current run.
  bool SLOTFILLED(smallint ibatch, long ipt) const;
  // The end of the results list, once the series is over.
  void CLOSERESULTS();
  // Fractionation along a P-T path.
  void SETUPFRACT();
  void DOFRACT();
  void FRACTBULK();
  void PRINTFRACTRESULTS();
  // The step's bulk to every batch item, with its drawing-data row.
  void MAKECOMP();
  // The carried bulk, its fractionated share and their sum, to the drawing data.
  void PRINTFRACTBULK(const std::string& title);
  bool FRACTFLAG = false;    // the first step is being repeated with the porosity just filled
  smallint NFRACTROW = 0;    // restart blocks written
  extended FRACTLAST = -1;   // smallest gap to the next step seen so far
  extended FRACTPREV = 0;    // mode removed when the first restart block was prepared
  cvector FBULK{"solve FBULK"};  // the bulk without the fractionated phase, over all components

  // ---------------------------------------------------------------- dogmin bookkeeping of a point
  // Per grid point of the current assemblage: "#" seen, "x" calculated but
  // not seen, "-" failed, each followed by a blank.
  std::string GMARKS;
  // Keeps the lowest G of the grid point and every seen assemblage of a
  // single-point run, and writes the assemblage's row of the details table.
  void PRINTGINFO(bool good, bool seen);

  // ---------------------------------------------------------------- batch runs and Monte Carlo series
  farray<smallint, 1, maxphaselist> BATCHORDER{"solve BATCHORDER"};  // per with-list entry: its place among the phases of PH (SETUPBATCH)
  farray<extended, 1, maxmc> MCVAL{"solve MCVAL"};    // per range: its draw in the current run (DOMONTECARLO)
  farray<extended, 1, maxmc> MCVAL0{"solve MCVAL0"};  // per parameter: the value printed with the results
  smallint NMCVAR = 0;                                // Gaussian variables: the ranges, then the own-width parameters
  farray<extended, 1, maxmcvar> MCL{"solve MCL"};     // the standard deviation of each (half the width given)
  farray<extended, 1, maxmcvar> MCG{"solve MCG"};     // their draws in the current run
  bool FRACTXYZ = false;                              // a fractionation run writes the starting guesses of its first item
  smallint MCK = 0;                                   // rows of the current run in the store
  std::unique_ptr<mcrowstore> MCROWS;                 // the rows of the current run
  // The item whose slots the store is filling, in which run; the rows of
  // the run's items before it; its slots filled, and how many (PRINTMCRESULTS).
  smallint MCITEM = 0;
  long MCITEMRUN = 0;
  long MCBASE = 0;
  long MCFILLED = 0;
  farray<bool, 1, maxbatchpt> MCSLOT{"solve MCSLOT"};
  std::string MCLINE;                                 // the line PRINTMCBLOCK builds, kept between runs
  std::unique_ptr<rowpropkeep> ROWKEEP;               // what ROWPROPERTIES puts back, made at its first call
  runcomponents RUNCOMPS;                             // the run's own component settings (SETUPBATCH)
  bool RESULTSOPEN = false;   // the results list of the drawing data file is open (PRINTMCRESULTS)
  bool BLOCKPENDING = false;  // the last block written waits for its separator or the list's end
  // Per batch request: runs that failed it because none of its items gave a
  // good point, and because none passed its filters.
  farray<longint, 1, maxbreq> DEATHC{"solve DEATHC"}, DEATHF{"solve DEATHF"};
  // A normal deviate of the given mean and standard deviation.
  extended GAUSSIAN(extended mean, extended sd);
  // Filter entries named rather than numbered get the number of what they
  // name; a name that is none ends the run, reported as from where.
  void FINDFILTERCODES(const std::string& where = "setupmontecarlo");
  void ONEFILTERPERVARIABLE(batchtype& item, smallint pt, const std::string& where);
  // The mcinfo, mcrange, mcfunc and filter lists of the drawing data file.
  void PRINTMCLISTS();
  // The block of a passing run: drawing data, summary and csv rows.
  void PRINTMCBLOCK(extended score);
  // Stored row r of the run on the drawing data, summary and csv files; the
  // last row of the run carries the run's score.
  void PRINTMCROW(long r, extended score);
};

// The solver a point calls: ZQMATH2::NLE unless a test has put its own here.
using nlesolvertype = bool (*)(smallint& code);
extern nlesolvertype NLESOLVER;
// Called after each point with its outcome, SU and X; null in production.
using pointhooktype = void (*)(bool ok, bool good, bool seen, smallint nlecode, const sutype& su,
                               const eqvector& x);
extern pointhooktype POINTHOOK;
// Called with true before a point's starting values and with false once it
// is solved, checked and worked out, the span that allocates nothing; null
// in production.
using pointspantype = void (*)(bool start);
extern pointspantype POINTSPAN;
// The spans of a series that the bench times apart: each run, the layout of
// an item's assemblage, and the output of a point. Called with true as one
// starts and false as it ends; null in production.
enum class runspan { run, layout, write };
using runspantype = void (*)(runspan what, bool start);
extern runspantype RUNSPAN;

}  // namespace ZQNLE2
