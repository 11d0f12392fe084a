// The process entry: runs the program and ends with status 0, or 1 when a
// fatal stop ended the run, so that whoever ran it can tell the two apart.
#include "frame/io.h"
#include "mainprogram.h"

int main() {
  try {
    MAINPROGRAM::RUN();
  } catch (const IO::runend& e) {
    // The message is out and the files are tidied.
    return e.status();
  }
  return IO::exitdone;
}
