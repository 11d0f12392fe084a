// What the dogmin bookkeeping of a point and the dogmin report share: the
// name of a phase by its number and the limits and marks of the tables.
#pragma once

#include <string>

#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQNLE2::GMIN {

constexpr smallint progressevery = 50;    // equilibria per "@" progress mark
constexpr int maxmarkslength = 254;       // the marks line of a grid row at most
constexpr int pointlevel = 2;             // from this search level on a point's results are not shown
constexpr extended nogapshown = 99;       // a gap above this is shown as "-"
constexpr extended nearminimum = 2;       // kJ: the near-minimum list stops beyond this above the minimum
constexpr int maxnearrows = 20;           // rows of the near-minimum list at most
constexpr extended unusableg = 10000;     // an entry of G this large or more is never listed

// The name of phase i over the whole table: solution phases 1..NPSS first.
inline const std::string& phasename(long i) {
  using namespace ZQGLOBAL;
  return i <= NPSS ? (*PREC1)[i].name : (*PREC0)[i - NPSS].name;
}

// Some phase of the table is in excess.
inline bool anyexcess() {
  using namespace ZQGLOBAL;
  for (long i = 1; i <= NP; ++i)
    if (PINEX[i]) return true;
  return false;
}

}  // namespace ZQNLE2::GMIN
