// Draws a drawing data file by hand: starts up as a calc-mode-0 run does
// (preferences, script, output files, the drawing's input among the files
// checked against them) and then runs the drawing component, turning
// qk-<suffix>.txt into jx-<suffix>.svg. Built with the tests only.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "mainprogram.h"
#include "utilities/zqpltx.h"

int main() {
  try {
    MAINPROGRAM::OPENRUN();
    MAINPROGRAM::SETCALCMODE(0);
    // The drawing is the run's one job, so its input is asked, when the
    // preferences leave it open, before any output is made.
    ZQGLOBAL::FIRSTUTILITY = 0;
    MAINPROGRAM::STARTRUN();
    ZQPLTX::PLOTIX();
  } catch (const IO::runend& e) {
    // The message is out and the files are tidied.
    return e.status();
  }
  return IO::exitdone;
}
