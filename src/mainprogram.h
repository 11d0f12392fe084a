// The whole run, from start-up to the end.
#pragma once

namespace MAINPROGRAM {

extern const char* const VERSION;

// Runs the program; a fatal error or "kill" leaves through IO::runend.
void RUN();

}  // namespace MAINPROGRAM
