#include <cstdio>

#include "zqread2.h"

using namespace ZQGLOBAL;

namespace ZQREAD2 {

// Stands in until the set-up against the script lands: only the fluid
// handling and the closing of the a-x file.
void axreader::SETUPAGAINSTSCRIPT() {
  FLUIDHANDLING();
  NP = static_cast<smallint>(NPSS + NP0);
  if (IO::DATA.f != nullptr && std::fclose(IO::DATA.f) != 0)
    IO::ERROREXIT("setupphases", "problems closing datafile", yourfault);
  IO::DATA.f = nullptr;
  IO::DATAOPEN = false;
}

}  // namespace ZQREAD2
