// One reset routine for each group of shared state.
//
// The pattern: a group's globals are defined in its own zqglobal_*.cpp (or
// io_state.cpp) without values; the group's reset, in the same file, holds
// every default of the group, once. The program's own set-up (SETUP,
// DEFAULTCONTROL, INITIALISEIO), every test fixture and every fuzz driver
// call these resets and set no global by hand to a default. A new group of
// state gets its RESET... here, in the file that defines it, and a line in
// RESETALL.
//
// Layers above the frame keep their state and its reset with their own
// unit (ZQCALC1::RESETFLUIDCACHE, ZQPLTX::RESETPLTX): the frame may not
// include them, so whoever calls RESETALL calls these next to it.
//
// A fresh process holds zeros until RESETALL has run: the main program runs
// it first, and so do the test and fuzz supports.
#pragma once

namespace IO {
// Every run file closed, only the terminal open, preferences, buffers, used
// flags and failure counts at their defaults. The terminal streams and the
// clock stay as they are: they are the process's wiring, not run state.
void RESETIO();
}  // namespace IO

namespace ZQGLOBAL {

// The run frame: calc mode, pass count, diagram mode and trace switch.
void RESETRUNFRAME();
// The run constants and counters that set-up gives (the oxide table, the
// scaling of P and T, precisions, special positions, the windows and lists).
void RESETRUNCONSTANTS();
// What each pass of the main loop finds afresh for its own calculation: the
// counts of its phases, end-members and equations, the end-members and
// assemblages excluded one by one, the special positions, the free
// components (all of them), the print precisions of its lists, the variance,
// and everything about the ln a and mu variables (names, labels, values,
// lists, positions and the rows that carry them; none until the pass's
// script and set-up give them), and the names kept from its files
// (IO::RESETKEPTNAMES). Part of the run constants.
void RESETPASS();
// A pass of the main loop starts where a fresh run's first pass starts:
// RESETPASS, and every group a calculation makes or leaves (the windows and
// lists, the data set and a-x tables, the solver's unknowns and the point's
// record, what the solver found, the reaction finder's results, the
// printers', set-up, dogmin, projection, run-loop, uncertainty, bulk and
// fractionation state) back to its reset, and the work arrays emptied. What
// the run keeps lies outside: the run frame, the files and the preferences,
// the values a script read leaves to later passes (ABSPLOW with the P
// scaling, RECALCCODE, the x(CO2) list), the avPT+ store, which its own
// switch empties, and the heap count. Layers above the frame reset their own
// state next to it (MAINPROGRAM::PASSES).
void STARTPASS();
// Which rows of TD carry the ln a variables, with their terms: none until a
// point's set-up carries them. Part of the pass's and the windows' resets,
// and of every new layout of TD, whose rows hold their own values again.
void RESETLNAROWS();
// The P-T, x(CO2), ln a and mu windows and lists and the P-T set-up; part of
// the run constants. The diagram window is a script setting.
void RESETWINDOWS();
// Every script setting as a script read starts from it; what a pass keeps
// from an earlier pass (the x(CO2) list, ABSPLOW, RECALCCODE) is untouched.
void RESETSCRIPTSETTINGS();
// The script settings and what passes keep, as a fresh process has them.
void RESETSCRIPT();
// The data set: generation, names, formulas and components.
void RESETDATASET();
// The a-x file's header, buffers, fluid tables and what its set-up leaves.
void RESETPHASETABLES();
// What the set-up of the a-x models against the script leaves; part of the
// phase tables.
void RESETAXSETUP();
// The work arrays: allocated when absent, kept (with their heap count) when
// present, and the composition matrix cleared. RELEASEWORK gives them back.
void ALLOCATEWORK();
void RELEASEWORK();
// The work arrays' contents as newly allocated ones hold them: tables of
// zeros and no phase record made.
void CLEARWORK();

// The least-squares end-member records and the model's flag and counter.
void RESETMODEL();
// The Newton solver's iteration counters.
void RESETNEWTON();
// What the Newton solver found of its last Jacobian.
void RESETNLE();
// The solver's unknowns, their layout, the bulk and the point's records.
void RESETSOLVER();
// The sensitivities of the last converged solve.
void RESETSENSITIVITY();
// What callers of the reaction finder set before a search.
void RESETREACTIONS();
// What the reaction finder leaves for its callers.
void RESETREFINDER();
// What the calc-mode-1 set-up and run loop leave for the printers.
void RESETRESULTS();
// How many projection apices are phases in excess.
void RESETPROJECTION();
// The covariance of the results of a point, the P-T correlation and the
// bulk covariance.
void RESETUNCERTAINTY();
// The bulk's log-ratios with their covariance and the rock minerals'
// measured variables.
void RESETBULK();

// What the calc-mode-1 set-up settles for a pass: isopleth counts and
// lists, fluid position, P and T scaling sizes, the dogmin grid.
void RESETMODE1();

// What a dogmin run keeps beyond its grid: the seen assemblages of a
// single point and the stable one's record.
void RESETDOGMIN();

// The run loop's point counter and the point's Gibbs energy.
void RESETRUNLOOP();

// The bulk a fractionation run carries and its fractionated share.
void RESETFRACT();

// The avPT+ store of calculated points, its fits and the covariances of
// the two sides (zqglobal_avptplus.h).
void RESETAVPTPLUS();

// Every group above but the work arrays, and the I/O layer.
void RESETALL();

}  // namespace ZQGLOBAL
