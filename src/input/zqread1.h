// Readers of the data set and the set-up of calc modes 2 and 3.
#pragma once

#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQREAD1 {

// The data-set file, open from the first pass of READTHERMO to the end of
// the third.
extern IO::textfile PDATA;

// pass 1: header and names; pass 2: compositions and components of the
// end-members in NAME; any other value: their thermodynamic rows and
// enthalpy covariances, after which the file is closed.
void READTHERMO(smallint pass);
// The enthalpy covariances of the end-members in the reactions of R, judged
// with the rounding their file carries. A block that no covariance matrix
// lies within that rounding of stops the run in where, naming the fewest
// end-members whose block alone is so (an uncertainty made from it would
// depend on how it was reached). Any other block is used, put in force in
// JUDGEDCOV for COVINUSE: as read where it is a covariance matrix, else as
// one within its rounding, so that no reaction or position gets a variance
// below 0. COV is not written.
void CHECKCOVARIANCE(const std::string& where);
// How far the entries of COV at the end-members in places p and q of NAME may
// lie from the covariance they were written from: the data-set reader's
// COVROUNDING of their records, through the recipe of a made end-member.
extended COVARIANCEROUNDING(long p, long q);
// READTHERMO's reader of a name in a fixed field: skips leading blanks and
// line ends, then takes characters up to a blank or 8 of them; name is 8
// characters, blank-padded.
void READNAME(IO::textfile& f, sstring& name);

// Element formulas of NAME[1..NCV] (NOX, OXCODE, OXNO) to the components
// COMPNAME[1..NUV] and the integer composition matrix C with COMPDIV.
void MAKEOXIDES();

// The rock of a calc-mode-2 pass, and the phases of a calc-mode-3 pass.
void READROCKDATA();
void READDIAGRAMDATA();

// The phase choice, the end-members with their rows, compositions and
// covariance, and the activity of each with its sd.
void EXTRACTEM();
// Calc modes 2 and 3: each end-member named by the script's "seta",
// "setlna" or "setloga" list takes the activity given there (asked for when
// the list gave none); the list then names no ln a variable. A name that is
// no end-member of the calculation, or H2O or CO2 in a section in x(CO2),
// stops the run.
void GIVENACTIVITIES();
// Calc mode 3: the fluid, the ln a or mu variable of the diagram, and the
// phases in excess projected out of the composition space.
void INEXCESS();

// Activities a[e] and sds of the end-members of solution phase i at its
// compositional variables x[1..nvar], p (kbar) and t (K).
void CALCACTIVITIES(smallint i, const eqvector& x, extended p, extended t, eqvector& a, eqvector& sda);
// The equilibrium state of order of phase i at p, t; on success the phase's
// guesses hold it. Everything else it touches is put back.
bool CALCQ(smallint i, extended p, extended t);
// Legal starting values of the order variables of phase i (random draws when
// the stored ones are not), solved with CALCQ when solve is set.
bool FINDLEGALQ(smallint i, bool solve, extended p, extended t, bool& moved);
// The parameters of the floor under the activity sds.
void SETSDAPARAMS(bool defaults);
// Puts that floor under SDACTIVITY[1..NCV].
void CHECKSDA();

// Keeps the phases not dropped (solution phases first, then pure phases,
// in table order) and lists in NAME the data-set end-members they need.
void MAKENAME(const bemvector& drop);
// Removes components carried by no end-member and end-members that alone
// carry a component, which can take part in no reaction.
void CLEAN();
// True when name is a data-set end-member; asks once for a replacement.
bool OKNAME(sstring& name);

}  // namespace ZQREAD1
