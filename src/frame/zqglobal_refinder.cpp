#include "frame/zqglobal_refinder.h"

namespace ZQGLOBAL {

rbitvector RBIT{"RBIT"};
smallint NRBIT = 0;
exavector EXA{"EXA"};
krrvector KRR{"KRR"};
// 240 kB and 160 kB: on the heap, made once for the run.
rrirmatrix& RRIR = *new rrirmatrix("RRIR");
smallint NINT = 0;
nirvector NIR{"NIR"};
irmatrix& IR = *new irmatrix("IR");
ibitvector IBIT{"IBIT"};
smallint ONIR = 0;
bool OVERNR = false;
bool OVERNI = false;
bool INCOMPLETE = false;
smallint NSYM = 0;
smallint RANKC = 0;

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
