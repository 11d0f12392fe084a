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
