// Enumerators of index tuples; the caller keeps the tuple between steps.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute2.h"

namespace ZQUTE2 {

namespace {

void checkk(smallint k, const char* where) {
  if (k < 1 || k > maxem)
    IO::ERROREXIT(where, "tuple length " + IO::INT2STR(k) + " outside 1..400", myfault);
}

// Positions 1..k-1 from first, position k one short of its first value,
// the rest marked unused.
void setup(iemvector& c, smallint k, bool ascending, const char* where) {
  checkk(k, where);
  for (smallint j = 1; j <= k - 1; ++j) c[j] = ascending ? j : 1;
  c[k] = ascending ? static_cast<smallint>(k - 1) : 0;
  for (smallint j = k + 1; j <= maxem; ++j) c[j] = -1;
}

// Once position k has run past its top: the last position before it that
// can still step up (below its top, top(p)), or 0 when none can.
template <class Top>
smallint carryposition(const iemvector& c, smallint k, Top top) {
  smallint i = k - 1;
  while (i >= 1 && c[i] == top(i)) --i;
  return i;
}

}  // namespace

void SETUPCHOOSE(iemvector& c, smallint k) { setup(c, k, true, "setupchoose"); }

void SETUPLOOPER(iemvector& c, smallint k) { setup(c, k, false, "setuplooper"); }

void CHOOSE(iemvector& c, smallint k, smallint n, bool& more) {
  checkk(k, "choose");
  // There is no k-subset of fewer than k numbers; stepping on would hand out
  // indices beyond n.
  if (k > n) {
    more = false;
    return;
  }
  ++c[k];
  if (c[k] <= n) {
    more = true;
    return;
  }
  const smallint i = carryposition(c, k, [&](smallint p) { return n - k + p; });
  if (i < 1) {
    more = false;
    return;
  }
  ++c[i];
  for (smallint j = i + 1; j <= k; ++j) c[j] = static_cast<smallint>(c[i] + j - i);
  more = true;
}

void LOOPER(iemvector& c, const iemvector& max, smallint k, bool& more) {
  checkk(k, "looper");
  // A position with no value at all leaves no tuple to make.
  for (smallint j = 1; j <= k; ++j)
    if (max[j] < 1) {
      more = false;
      return;
    }
  ++c[k];
  if (c[k] <= max[k]) {
    more = true;
    return;
  }
  const smallint i = carryposition(c, k, [&](smallint p) { return max[p]; });
  if (i < 1) {
    more = false;
    return;
  }
  ++c[i];
  for (smallint j = i + 1; j <= k; ++j) c[j] = 1;
  more = true;
}

}  // namespace ZQUTE2
