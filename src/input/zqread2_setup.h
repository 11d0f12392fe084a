// The set-up of the a-x models against the script of the pass: what runs
// after the whole a-x file has been read, up to the closing of the file.
#pragma once

#include "frame/types.h"
#include "frame/zqglobal.h"
#include "input/zqread2.h"

namespace ZQREAD2 {

// Fits the phases just read to the script: buffer, "with" list, fluids,
// same-coded copies, names, starting guesses and boil-down, Monte Carlo
// items and batch variants, limits and scaling, and the checks at the pure
// end-members; closes the a-x file.
void SETUPAGAINSTSCRIPT(axreader& reader);

// The routines of the set-up, each sharing the reader's state as a nested
// routine of the reading would.
namespace SETUP {

// Removes the variables of phase whose guess is exactly 0, with the
// end-members, parameters and site fractions that vanish with them.
void BOILDOWN(axreader& reader, smallint phase);

// Stores factor `factor` of term `term` of expr as a variable-limit row over
// columns 1..n when it involves two or more variables.
void SETVARLIM(smallint term, smallint factor, smallint n, termtype expr, varlimtype& num, varlimtype& den,
               smallint& count);

// Limits, kinds and scaling of the variables of one solution phase, its
// variable-limit rows, site-fraction flags and mode-variable constants.
void SETLIMITS(smallint phase);

// The batch-on part: Monte Carlo parameters, positions of the "with"
// entries, batch variants, closed-up guess blocks and the two summaries.
void BATCHSETUP(axreader& reader);

}  // namespace SETUP

}  // namespace ZQREAD2
