// Runs calc mode 0, the utilities, as a build that accepts it would: the
// start-up of the program (preferences, output files, script), then the
// program's own pass loop with the utilities once a pass and the question
// for more, and the program's end of a run. The calc mode is taken as
// utilities whatever the preferences say, so no calc-mode question comes
// up. Built with the tests only.
#include "frame/io.h"
#include "mainprogram.h"

int main() {
  try {
    MAINPROGRAM::OPENRUN();
    MAINPROGRAM::SETCALCMODE(0);
    MAINPROGRAM::STARTRUN();
    MAINPROGRAM::PASSES();
    MAINPROGRAM::ENDRUN();
  } catch (const IO::runend& e) {
    // The message is out and the files are tidied.
    return e.status();
  }
  return IO::exitdone;
}
