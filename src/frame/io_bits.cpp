// Sets of small member numbers held as bits.
#include "frame/io.h"

namespace IO {

void BSET(longint& s, smallint i) {
  if (i < 0 || i > maxbit) ERROREXIT("BSet", "out of range", yourfault);
  s |= BITV[i];
}

bool BTST(longint s, smallint i) {
  return (s & BITV[i]) == BITV[i];
}

longint BAND(longint a, longint b) { return a & b; }
longint BOR(longint a, longint b) { return a | b; }

bool BSUBSET(longint a, longint b) {
  if (a == b || a == 0) return true;
  if (b == 0) return false;
  return a <= b && (a & b) == a;
}

void BSET2(longint3& s, smallint i) {
  if (i > 90) ERROREXIT("BSet2", "out of range", yourfault);
  if (i > 60)
    BSET(s.w3, static_cast<smallint>(i - 60));
  else if (i > 30)
    BSET(s.w2, static_cast<smallint>(i - 30));
  else
    BSET(s.w1, i);
}

bool BTST2(const longint3& s, smallint i) {
  if (i < 0 || i > 90) ERROREXIT("BTst2", "out of range", yourfault);
  if (i > 60) return BTST(s.w3, static_cast<smallint>(i - 60));
  if (i > 30) return BTST(s.w2, static_cast<smallint>(i - 30));
  return BTST(s.w1, i);
}

void BCLEAR2(longint3& s) { s = longint3{}; }

bool BSUBSET2(const longint3& a, const longint3& b) {
  if (a.w1 == b.w1 && a.w2 == b.w2 && a.w3 == b.w3) return true;
  if (a.w1 == 0 && a.w2 == 0 && a.w3 == 0) return true;
  if (b.w1 == 0 && b.w2 == 0 && b.w3 == 0) return false;
  return (a.w1 & b.w1) == a.w1 && (a.w2 & b.w2) == a.w2 && (a.w3 & b.w3) == a.w3;
}

}  // namespace IO
