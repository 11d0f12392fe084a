// The process entry: runs the program and ends with status 0 however the
// run ends.
#include "frame/io.h"
#include "mainprogram.h"

int main() {
  try {
    MAINPROGRAM::RUN();
  } catch (const IO::runend&) {
    // A fatal error or "kill": the message is out and the files are tidied.
  }
  return 0;
}
