// Shared state that the reaction finder of calc modes 2 and 3 leaves for its
// callers: the phase sets of the reactions tried, the excluded assemblages,
// the independent rows kept, the intersections and the search's flags.
#pragma once

#include "frame/farray.h"
#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

constexpr int maxrbit = 600;  // phase sets of reactions tried in one search
constexpr int maxexa = 600;   // excluded assemblages
constexpr int maxint = 200;   // intersections
// Phases (end-members not in excess) the finder can hold in one set.
constexpr int maxrephases = 90;

using rbitvector = farray<IO::longint3, 1, maxrbit>;
using exavector = farray<IO::longint3, 1, maxexa>;
using ibitvector = farray<IO::longint3, 1, maxint>;
using krrvector = farray<smallint, 1, maxreac>;
using rrirmatrix = fmatrix<longint, 1, maxreac, 1, maxem>;
using irmatrix = fmatrix<smallint, 1, maxint, 1, maxem>;
using nirvector = farray<smallint, 1, maxint>;

namespace ZQGLOBAL {

extern rbitvector RBIT;     // phase set of each reaction stored (CALCR, REDUCE)
extern smallint NRBIT;      // sets in RBIT (CALCRE, CALCR, REDUCE)
extern exavector EXA;       // excluded assemblages (CALCR's BUILDEXA; callers clear NEX)
extern krrvector KRR;       // pivot column of each independent reaction kept (NEWINDR)
extern rrirmatrix& RRIR;    // reduced row of each independent reaction kept (NEWINDR)
extern smallint NINT;       // intersections recorded (CALCRE, CALCI, REDUCE)
extern nirvector NIR;       // reactions through each intersection (CALCI, REDUCE)
extern irmatrix& IR;        // those reactions, ascending (CALCI, REDUCE)
extern ibitvector IBIT;     // phases of each intersection (CALCI, REDUCE)
extern smallint ONIR;       // independent reactions of the whole rock (CALCRE, mode 2)
extern bool OVERNR;         // the reaction table stayed full (CALCRE)
extern bool OVERNI;         // the intersection table is full (CALCRE)
extern bool INCOMPLETE;     // fewer independent reactions than the rock has (CALCRE, mode 2)
extern smallint NSYM;       // progress marks since the last reset (WRITEMARK, REDUCE, WRITESYSTEMINFO)
extern smallint RANKC;      // rank of the current component subsystem (CALCRE)

// Every global above back to its default.
void RESETREFINDER();

}  // namespace ZQGLOBAL
