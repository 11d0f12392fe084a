// Shared state of the dataset units: the data set's end-member names and
// generation, the end-members of the current calculation with their formulas,
// and the system components built from those formulas.
#pragma once

#include <vector>

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

constexpr int maxdsem = 320;  // end-member records of one data-set file
constexpr int maxox = 8;      // (element, amount) pairs of one formula

using dsnamelist = farray<sstring, 1, maxwords>;  // the same type as IO::strings
using oxcodematrix = fmatrix<smallint, 1, maxem, 1, maxox>;
using oxnomatrix = fmatrix<extended, 1, maxem, 1, maxox>;
using covroundmatrix = fmatrix<double, 1, maxdsem, 1, maxdsem>;

namespace ZQGLOBAL {

// The end-members of the current calculation, parallel to the rows of TD.
extern dsnamelist NAME;      // end-member names of the calculation (ZQREAD1 name readers, MAKEEMTD)
extern smallint NCV;         // end-members in NAME (ZQREAD1 name readers, MAKEEMTD)

// The data-set file as a whole
extern smallint DSMODE;      // 5, 6, 7, or -1 for the older generation
extern smallint NTP;         // end-member records in the file
extern bool WITHOLDSET;      // the older generation
extern bool USESP;           // fluid equation of state of the newer data sets
extern dsnamelist PHNAMES;   // short names of the records, in file order
extern dsnamelist LONGPHNAMES;  // long names of the records, in file order (data-set reader)
// Short names of the records as written, whole, in file order: what a look-up
// that finds a record keeps its name as (data-set and end-member file readers).
extern farray<std::string, 1, maxdsem> PHWRITTEN;
extern str255 WHEN1;         // creation line, the fit quality cut off
extern sstring PDATAFILENAME;   // name of the data-set file read (data-set reader)
// How far each enthalpy covariance read may lie from the one it was written
// from, by pair of records: half a unit in the last place written, plus what
// single precision changed; 0 for a pair not read (data-set reader, pass 3).
extern covroundmatrix COVROUNDING;

// The enthalpy covariances the uncertainties of a calculation are made from
// where they are not COV's: the block of the end-members in its reactions as
// CHECKCOVARIANCE judged it, a covariance matrix within the rounding of
// COV's block, which stays as read. In force from that judgement until the
// data set is read again or a calculation of calc mode 2 starts
// (RESETJUDGEDCOV); the block read and its rounding are kept so that the
// same block is judged once.
struct judgedcovtype {
  bool inforce = false;
  std::vector<long> at;                     // places in NAME of the block's members, ascending
  farray<long, 1, maxem> member{"judged member"};  // each place's member number in at, 0 outside
  growmatrix<extended, maxem, maxem> read{"judged block read"}, rounding{"judged block rounding"};
  growmatrix<extended, maxem, maxem> used{"judged block used"};
};
extern judgedcovtype JUDGEDCOV;
// The covariance of the enthalpies of the end-members at places i and j that
// an uncertainty is made from: the judged block's where in force, else COV's.
extended COVINUSE(long i, long j);
void RESETJUDGEDCOV();

// Formulas of the end-members of the calculation
extern farray<smallint, 1, maxem> NOX;  // formula pairs of each end-member (data-set reader)
extern oxcodematrix OXCODE;  // component code of each formula pair (data-set reader)
extern oxnomatrix OXNO;      // amount of each formula pair (data-set reader)
extern emvector NOOX;        // oxygens of each end-member's formula (data-set reader)

// Components
extern smallint NUV, NU, NNE, NE;  // component and end-member counts of the calculation (MAKEOXIDES, MAKEEMC, MAKEEMTD)
extern dsnamelist COMPNAME;  // component names (ZQREAD1 component readers, MAKEEMC)
extern farray<longint, 1, maxcomp> COMPDIV;  // divisor of each component's row (ZQREAD1 component readers, MAKEEMC)
extern farray<smallint, 1, maxcomp> ICOMP;   // data-set code of each component (ZQREAD1 component readers, MAKEEMC)
// Component counts of the phase-order composition matrix, kept for the
// order-parameter solves that narrow the system to one phase (MAKEEMC).
extern smallint KNU, KNUV;
// NCV before MAKEEMTD rewrote it to the end-members in phase order.
extern smallint NCVDIFF;

}  // namespace ZQGLOBAL
