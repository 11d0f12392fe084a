// Calc mode 9 as it stands until the refinement lands: the least-squares
// preferences are read and the switches settled, and nothing is refined.
#include "frame/io.h"
#include "lsq/lsqds.h"
#include "frame/zqglobal.h"
#include "input/zqscript.h"

using namespace ZQGLOBAL;

namespace LSQDS {

// The least-squares preferences name the files of the run, so they are read
// before the files are made. The work arrays stand in until the refinement
// lands.
void INTRO() { ZQSCRIPT::READCONTROLDS(); }

// Stands in until the least-squares refinement lands: the switches are
// settled and the script read as the refinement will, and nothing is
// calculated.
void DOLSQDS() {
  IO::NGEM = 0;
  FROMLSQDS = true;
  IO::PROMPTCONTROL("QR or Choleski to do LSQ: use QR", CONTROLDS.useqr);
  IO::PROMPTCONTROL("bullet \"pathological\" experiments", CONTROLDS.mark456);
  IO::PROMPTCONTROL("print omitted experiments", CONTROLDS.printomit);
  IO::PROMPTCONTROL("use \"rfac\"", CONTROLDS.userfac);
  if (CONTROLDS.userfac == yes) IO::PROMPTCONTROL("effectively fix \"good\" equilibria", CONTROLDS.tighten);
  ZQSCRIPT::READCONTROLJX();
  IO::CONTROLIO.strictaxnames = false;
}

void DSCLEANUP() {}

}  // namespace LSQDS
