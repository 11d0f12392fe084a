// Draws a drawing data file by hand: starts up as a calc-mode-1 run does
// (preferences, script, output files) and then runs the drawing component,
// turning qk-<suffix>.txt into jx-<suffix>.svg. Built with the tests only.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "mainprogram.h"
#include "utilities/zqpltx.h"

int main() {
  try {
    IO::INITIALISEIO(MAINPROGRAM::VERSION);
    ZQGLOBAL::CONTROLCODE = 1;
    ZQGLOBAL::CALCMODE = calcmodetype::nlecalc;
    ZQUTE1::SETUP();
    ZQUTE1::STARTOUT();
    ZQPLTX::PLOTIX();
  } catch (const IO::runend& e) {
    // The message is out and the files are tidied.
    return e.status();
  }
  return IO::exitdone;
}
