// Combination enumerators, and the positions of the end-members that the
// thermodynamics treats specially, with the name lookups behind them.
#pragma once

#include "farray.h"
#include "io.h"
#include "types.h"
#include "zqglobal.h"

namespace ZQUTE2 {

// ---------------------------------------------------------------- enumerators
// k-element subsets of 1..n in lexicographic order: SETUPCHOOSE once, then
// CHOOSE until more is false.
void SETUPCHOOSE(iemvector& c, smallint k);
void CHOOSE(iemvector& c, smallint k, smallint n, bool& more);
// Every tuple with 1 <= c[j] <= max[j], the last position turning fastest.
void SETUPLOOPER(iemvector& c, smallint k);
void LOOPER(iemvector& c, const iemvector& max, smallint k, bool& more);

// ---------------------------------------------------------------- positions
smallint POSI(const sstring& name);
void POSITIONS();
bool NAMEINLIST(sstring& name, const IO::strings& list, bool quiet, smallint& pos);

}  // namespace ZQUTE2
