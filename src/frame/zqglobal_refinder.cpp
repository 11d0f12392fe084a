// What the reaction finder leaves for its callers (reaction and
// intersection sets, their counts and overflow flags, the rank of C), with
// its reset.
#include "frame/zqglobal_refinder.h"

namespace ZQGLOBAL {

// Defaults: RESETREFINDER below.
rbitvector RBIT{"RBIT"};
smallint NRBIT;
exavector EXA{"EXA"};
krrvector KRR{"KRR"};
// 240 kB and 160 kB: on the heap, made once for the run.
rrirmatrix& RRIR = *new rrirmatrix("RRIR");
smallint NINT;
nirvector NIR{"NIR"};
irmatrix& IR = *new irmatrix("IR");
ibitvector IBIT{"IBIT"};
smallint ONIR;
bool OVERNR;
bool OVERNI;
bool INCOMPLETE;
smallint NSYM;
smallint RANKC;

void RESETREFINDER() {
  RBIT.fill(IO::longint3{});
  NRBIT = 0;
  EXA.fill(IO::longint3{});
  KRR.fill(0);
  RRIR.fill(0);
  NINT = 0;
  NIR.fill(0);
  IR.fill(0);
  IBIT.fill(IO::longint3{});
  ONIR = 0;
  OVERNR = OVERNI = INCOMPLETE = false;
  NSYM = 0;
  RANKC = 0;
}

}  // namespace ZQGLOBAL
