// What the dogmin bookkeeping of a point and the dogmin report share: the
// limits and marks of the tables and whether a phase is in excess.
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

// Some phase of the table is in excess.
inline bool anyexcess() {
  using namespace ZQGLOBAL;
  for (long i = 1; i <= NP; ++i)
    if (PINEX[i]) return true;
  return false;
}

}  // namespace ZQNLE2::GMIN
