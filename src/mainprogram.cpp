// The main program: start-up, the pass loop over the chosen calc mode, and
// the end of the run, each piece callable on its own.
#include "mainprogram.h"

#include "frame/io.h"
#include "lsq/lsqds.h"
#include "model/zqcalc1.h"
#include "utilities/zqpltx.h"
#include "reactions/zqavpt.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_reset.h"
#include "utilities/zqmode0.h"
#include "equilibria/zqnle2.h"
#include "reactions/zqptx.h"
#include "input/zqread1.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace MAINPROGRAM {

const char* const VERSION = "SOLVARINTH 3.51";

void OPENRUN() {
  // A run starts from the defaults of every group, whatever ran before it in
  // this process.
  RESETALL();
  ZQCALC1::RESETFLUIDCACHE();
  ZQCALC1::RESETHELDCHOICES();
  ZQPLTX::RESETPLTX();
  LSQDS::RESETLSQDS();
  IO::INITIALISEIO(VERSION);
  IO::HELDLOGGUARD = ZQUTE1::GUARDLOG;
}

void SETCALCMODE(smallint code) {
  CONTROLCODE = code;
  switch (CONTROLCODE) {
    case 0: CALCMODE = calcmodetype::utilitycalc; break;
    case 1: CALCMODE = calcmodetype::nlecalc; break;
    case 2: CALCMODE = calcmodetype::rockcalc; break;
    case 3: CALCMODE = calcmodetype::phasecalc; break;
    default: CALCMODE = calcmodetype::lsqdscalc; break;
  }
}

void STARTRUN() {
  ZQUTE1::SETUP();
  if (CALCMODE == calcmodetype::lsqdscalc) LSQDS::INTRO();
  ZQUTE1::OPENSCRIPT();
  // What the utilities read depends on the utility: the first pass's is
  // settled now when that is what leaves a name to ask.
  if (CALCMODE == calcmodetype::utilitycalc) ZQMODE0::FIRSTNAMES();
  ZQUTE1::MAKEOUTPUTS();
}

void PASSES() {
  MAINLOOP = 0;
  for (;;) {
    ++MAINLOOP;
    FROMLSQDS = false;
    // A pass is a calculation of its own: it starts from the state a fresh
    // run's first pass finds, so nothing an earlier pass excluded, placed,
    // held, solved or printed carries over into it.
    STARTPASS();
    ZQCALC1::RESETFLUIDCACHE();
    ZQCALC1::RESETHELDCHOICES();
    std::string question;
    switch (CALCMODE) {
      case calcmodetype::nlecalc:
        DIAGRAMMODE = diagramtype::ptcalc;
        ZQNLE2::NLECALCS();
        question = "more phase diagram calculations";
        break;
      case calcmodetype::rockcalc:
        ZQREAD1::READROCKDATA();
        ZQAVPT::ROCKCALCS();
        question = "more rock calculations";
        break;
      case calcmodetype::phasecalc:
        ZQREAD1::READDIAGRAMDATA();
        ZQPTX::PHASEDIAGRAMCALCS();
        question = "more calculations";
        break;
      case calcmodetype::lsqdscalc:
        LSQDS::DOLSQDS();
        break;
      case calcmodetype::utilitycalc:
        ZQMODE0::DOUTILITIES();
        question = "more utility calculations";
        break;
    }
    IO::PUTSTR(0, "", 1, CHANNEL::TERMLOG);
    IO::FLUSHER();
    if (CALCMODE == calcmodetype::lsqdscalc || IO::CONTROLIO.autoexit) break;
    if (!IO::QUERY(question)) break;
  }
}

void ENDRUN() {
  IO::PUTSTR(1, "[ jx351 is a jx version that performs jx350-consistent mode 1 calculations with the jx360-compliant ",
             1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "a-x files ahead of the release of jx360, after which jx351 is deprecated ]", 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, std::string(60, '='), 1, CHANNEL::TERMSUMLOG);
  if (CALCMODE != calcmodetype::lsqdscalc && !IO::CONTROLIO.autoexit) IO::QUERY("all done - hit return to exit");
  ZQUTE1::CLEANUP();
  if (CALCMODE == calcmodetype::lsqdscalc) LSQDS::DSCLEANUP();
  if (CALCMODE == calcmodetype::nlecalc && (CONTROLJX.batch == yes || DOGMIN || DEBUGLEVEL == 4)) IO::TIMER();
  IO::IOCLEANUP();
}

void RUN() {
  OPENRUN();
  SETCALCMODE(ZQUTE1::GETCALCMODE());
  if (CALCMODE == calcmodetype::utilitycalc)
    IO::ERROREXIT("setup", "sorry, mode 0 not available: use jx350", myfault);
  STARTRUN();
  PASSES();
  ENDRUN();
}

}  // namespace MAINPROGRAM
