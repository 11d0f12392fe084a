// The ways a run ends early: a fatal error, the user's "kill" and the
// stop at once of a diagnostic table.
#include "frame/io.h"

namespace IO {

namespace {

// The channels a fatal message reaches, in the order it is written.
constexpr int bombchannels[] = {CHANNEL::TERMINALBIT, CHANNEL::SUMMARYBIT, CHANNEL::LOGBIT, CHANNEL::DETAILSBIT};
constexpr int killchannels[] = {CHANNEL::TERMINALBIT, CHANNEL::SUMMARYBIT, CHANNEL::LOGBIT};

void writedirect(int bit, const std::string& text) {
  if (!BTST(WHATSOPEN, static_cast<smallint>(bit))) return;
  if (bit == 0) {
    WRITETERMINAL(text);
  } else {
    WRITEFILE(CHANNELFILE(bit), text);
  }
}

}  // namespace

void ERROREXIT(const std::string& where, const std::string& message, faulttype fault) {
  // A try's stop is the try's alone: the run goes on another way, or meets
  // the stop again written.
  if (HELDWRITES != nullptr) throw runend{where, message, false, fault, true};
  // From here on a file that cannot be written, perhaps the very one that
  // brought the run here, is left to the close to report.
  STOPPING = true;
  // PRINTMESSAGE: the same block on each channel.
  auto PRINTMESSAGE = [&](int bit) {
    std::string block = "\n-- run bombed in " + where + " : " + message + "\n\n";
    if (fault == myfault)
      block += "\n===This shouldn't have happened...===\n"
               "please report it to the maintainers of SOLVARINTH\n"
               "with full details, relevant files etc etc\n\n";
    writedirect(bit, block);
  };
  // One message for the end: a stop within an end that an earlier stop
  // began has said its own.
  if (!STOPSAID)
    for (int bit : bombchannels) PRINTMESSAGE(bit);
  STOPSAID = true;
  const runend stop{where, message, false, fault, true};
  // Raised while the run is ending (its clean-up, the held log and the
  // check of the run's files it makes, the same line read again): the end
  // under way goes on from where it was. Begun again, it would meet the
  // same stop again, without end.
  if (ENDING > 0) throw stop;
  const ENDSCOPE end;
  IOCLEANUP();
  WAITRETURN();
  throw stop;
}

void WAITRETURN() {
  if (!CONTROLIO.autoexit) {
    WRITETERMINAL("\nhit return to exit program\n");
    std::fflush(TERMOUT);
    // Whatever comes, even the end of input, lets the run end.
    int ch;
    do ch = std::fgetc(TERMIN);
    while (ch != EOF && ch != '\n' && ch != '\r');
  }
  std::fflush(TERMOUT);
}

void USERINTERRUPT() {
  auto PRINTKILL = [](int bit) { writedirect(bit, "\n-- run killed --\n"); };
  for (int bit : killchannels) PRINTKILL(bit);
  IOCLEANUP();
  std::fflush(TERMOUT);
  throw runend{"", "kill", true};
}

void HALT() {
  // a log not yet made holds its text in memory: made now, or it is lost
  ENDHELDLOG();
  FLUSHER();
  std::fflush(TERMOUT);
  throw runend{"", "", false, yourfault};
}

void INTERNALFAULT(const char* where, const char* what) { ERROREXIT(where, what, myfault); }

bool KILLSTRING(const std::string& s) { return TRIMSTRING(s) == "kill"; }

}  // namespace IO
