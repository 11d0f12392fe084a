// The state of one call of ZQNLE2::SOLVE, shared by the routines nested in
// it: the run and batch counters, the outcome of the current point, its
// reaction and the work vectors of its extraction. The printers of a point
// are members; the run loop adds its own steps to the same record. Only the
// calc-mode-1 driver and its printers include this.
#pragma once

#include <string>

#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_solver.h"

namespace ZQNLE2 {

// Per phase record of SU: its mode is taken to zero by the "tozero" list.
using tozerobtype = farray<bool, 1, maxsu>;

// Zeroed flags of the records of SU and the factor 1 / (1 - sum of their
// modes) that renormalises the others.
void TOZEROFAC(tozerobtype& zeroed, extended& factor);

struct solvestate {
  bemvector PH{"solve PH"};  // the phase set of the equilibrium: solution phases 1..NPSS, then the others

  smallint RUN = 0;          // low part of the run counter, 0..9999
  smallint RUNCARRY = 0;     // ten-thousands of the run counter
  bool FIRSTRUN = false;     // the first run of the call
  bool FIRSTBATCH = false;   // the first batch item
  smallint IPT = 0;          // point within the batch item, 0 before the first
  smallint NOK = 0;          // good points so far in the batch item
  smallint NLOOP = 0;        // levels of the point loop
  iemvector LOOPMAX{"solve LOOPMAX"};  // values of each level
  iemvector LOOPAT{"solve LOOPAT"};    // index of the current value of each level
  bool MORE = false;         // the point loop produced another point
  bool OK = false;           // the current point was solved
  smallint NLECODE = 0;      // outcome of the current point: the solver's code, or 8
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

  // ---------------------------------------------------------------- dogmin bookkeeping of a point
  // Per grid point of the current assemblage: "#" seen, "x" calculated but
  // not seen, "-" failed, each followed by a blank.
  std::string GMARKS;
  // Keeps the lowest G of the grid point and every seen assemblage of a
  // single-point run, and writes the assemblage's row of the details table.
  void PRINTGINFO(bool good, bool seen);
};

}  // namespace ZQNLE2
