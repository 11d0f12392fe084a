// The calc-mode-1 driver as it stands until its set-up and solve land: it
// reads the data set, the script and the a-x models as a pass of calc mode 1
// does, keeps the phases the script names, and calculates nothing.
#include "frame/zqglobal.h"
#include "equilibria/zqnle2.h"
#include "input/zqread1.h"
#include "input/zqread2.h"
#include "input/zqscript.h"
#include "frame/zqute2.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

// Until the driver's own phase choice lands, the phases of the script's
// "with" list are kept, by short or long name; every phase without a list.
bemvector unchosen() {
  bemvector drop{"drop"};
  if (NWHSTRINGS <= 0) return drop;
  auto named = [](const sstring& n) {
    for (long i = 1; i <= NWHSTRINGS; ++i)
      if (WHSTRINGS[i] == n || LONGWHSTRINGS[i] == n) return true;
    return false;
  };
  for (long i = 1; i <= NPSS; ++i) drop[i] = !named((*PREC1)[i].name) && !named((*PREC1)[i].longname);
  for (long i = 1; i <= NP0; ++i) drop[NPSS + i] = !named((*PREC0)[i].name);
  return drop;
}

}  // namespace

// Stands in until the phase-equilibrium driver lands: a pass reads its
// inputs in the driver's order, as far as their readers stand, and
// calculates nothing.
void NLECALCS() {
  ZQUTE2::POSITIONS();
  ZQREAD1::READTHERMO(1);
  ZQSCRIPT::READCONTROLJX();
  ZQREAD2::SETUPPHASES();
  ZQREAD1::MAKENAME(unchosen());
  ZQREAD1::READTHERMO(2);
  ZQREAD1::READTHERMO(3);
}

}  // namespace ZQNLE2
