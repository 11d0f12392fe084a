// The reaction finder's own counters and set helpers, shared by its files
// and by nothing outside the unit.
#pragma once

#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQRE {

extern smallint NPHSUB;       // phases of the current component subsystem (CALCRE)
extern smallint NRSUB;        // reactions kept whose phases all lie in it (CALCLNIR, CALCR)
extern smallint NRSUBOLD;     // NRSUB on entering the subsystem (CALCLNIR)
extern smallint NRSUBTARGET;  // reactions the subsystem should yield, mode 2 (CALCLNIR)
extern bool SUBINFOWRITTEN;   // the subsystem's mark or line is out (CALCRE, WRITESYSTEMINFO)

// The counters above back to their defaults.
void RESETFINDER();

// The flagged phases among 1..NNE as a set.
IO::longint3 FLAGSET(const bemvector& flags);
// The phases among 1..NNE with a non-zero coefficient in reaction k.
IO::longint3 ROWSET(smallint k);
// Whether some excluded phase EXEM[1..NEX1] is flagged.
bool HOLDSEXEM(const bemvector& flags);
// Whether some excluded assemblage EXA[1..NEX] is a subset of s.
bool HOLDSEXA(const IO::longint3& s);

}  // namespace ZQRE
