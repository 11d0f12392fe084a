// The end-member list of the chosen phases and its cleaning.
#include <vector>

#include "frame/bytes.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_axsetup.h"
#include "input/zqread1.h"
#include "input/zqread2.h"

using namespace ZQGLOBAL;

namespace ZQREAD1 {

namespace {

constexpr std::size_t maxworklist = 2 * maxem;

void append(std::vector<sstring>& list, const sstring& name, const char* which) {
  if (list.size() >= maxworklist)
    IO::ERROREXIT("makename", std::string("too many end-members ") + which, yourfault);
  list.push_back(name);
}

}  // namespace

void MAKENAME(const bemvector& drop) {
  std::vector<sstring> list;
  long kept1 = 0;
  for (long i = 1; i <= NPSS; ++i) {
    if (drop[i]) continue;
    ++kept1;
    if (kept1 != i) (*PREC1)[kept1] = (*PREC1)[i];
    const ptype1& p = (*PREC1)[kept1];
    for (long e = 1; e <= p.nprop; ++e)
      if (p.em[e].nmake == 0) append(list, p.em[e].name, "1");
  }
  long kept0 = 0;
  for (long i = 1; i <= NP0; ++i) {
    if (drop[NPSS + i]) continue;
    ++kept0;
    if (kept0 != i) (*PREC0)[kept0] = (*PREC0)[i];
    const ptype0& p = (*PREC0)[kept0];
    if (p.nmake == 0) append(list, p.emname, "2");
  }
  NPSS = static_cast<smallint>(kept1);
  NP0 = static_cast<smallint>(kept0);
  NP = static_cast<smallint>(NPSS + NP0);
  for (long i = 1; i <= NPSS; ++i) {
    const ptype1& p = (*PREC1)[i];
    for (long e = 1; e <= p.nprop; ++e)
      for (long k = 1; k <= p.em[e].nmake; ++k) append(list, p.em[e].makename[k], "3");
  }
  for (long i = 1; i <= NP0; ++i) {
    const ptype0& p = (*PREC0)[i];
    for (long k = 1; k <= p.nmake; ++k) append(list, p.makename[k], "4");
  }

  std::vector<sstring> unique;
  for (const sstring& n : list) {
    bool seen = false;
    for (const sstring& u : unique) seen = seen || u == n;
    if (!seen) unique.push_back(n);
  }
  if (unique.size() > static_cast<std::size_t>(maxem)) IO::ERROREXIT("makename", "too many end-members", yourfault);
  NCV = static_cast<smallint>(unique.size());
  for (long i = 1; i <= maxem; ++i) NAME[i] = i <= NCV ? unique[static_cast<std::size_t>(i - 1)] : sstring();
}

// The nested routines of CLEAN.
namespace {

void DELOXIDE(smallint k) {
  for (long i = k; i < NUV; ++i) {
    COMPNAME[i] = COMPNAME[i + 1];
    COMPDIV[i] = COMPDIV[i + 1];
    ICOMP[i] = ICOMP[i + 1];
    for (long j = 1; j <= NCV; ++j) (*C)(i, j) = (*C)(i + 1, j);
  }
  --NU;
  --NUV;
}

void DELPHASE(smallint k) {
  for (long j = k; j < NCV; ++j) {
    for (long i = 1; i <= NUV; ++i) (*C)(i, j) = (*C)(i, j + 1);
    NAME[j] = NAME[j + 1];
    ACTIVITY[j] = ACTIVITY[j + 1];
    SDACTIVITY[j] = SDACTIVITY[j + 1];
    for (long t = 1; t <= maxtd; ++t) (*TD)(j, t) = (*TD)(j + 1, t);
  }
  // Close up the covariance over the pairs that stay.
  for (long a = 1, ra = 1; a <= NCV; ++a) {
    if (a == k) continue;
    for (long b = 1, rb = 1; b <= NCV; ++b) {
      if (b == k) continue;
      (*COV)(ra, rb) = (*COV)(a, b);
      ++rb;
    }
    ++ra;
  }
  NAME[NCV] = sstring();
  --NCV;
  --NNE;
}

}  // namespace

void CLEAN() {
  bool first = true;
  bool changed = true;
  while (changed) {
    changed = false;
    for (long k = NUV; k >= 1; --k) {
      int found = 0;
      long last = 0;
      for (long j = 1; j <= NCV && found < 2; ++j) {
        if ((*C)(k, j) != 0) {
          ++found;
          last = j;
        }
      }
      if (found == 0) {
        DELOXIDE(static_cast<smallint>(k));
        changed = true;
      } else if (found == 1) {
        IO::PUTSTR(first ? 1 : 0, NAME[last] + " excluded", 1, CHANNEL::TERMLOG);
        first = false;
        DELOXIDE(static_cast<smallint>(k));
        DELPHASE(static_cast<smallint>(last));
        changed = true;
      }
    }
  }
  if (NCV < 2) IO::ERROREXIT("clean", "insufficient end-members", yourfault);
}

bool OKNAME(sstring& name) {
  smallint position = 0;
  if (ZQREAD2::ISPHNAME(name, position)) return true;
  IO::PROMPTSTRING(name + " not recognised : replace with", name);
  if (ZQREAD2::ISPHNAME(name, position)) return true;
  // The last character is the one-byte ellipsis of the terminal's set.
  IO::PUTSTR(0, std::string("forget it!  (check the name") + macroman::ellipsis + ")", 1, CHANNEL::TERMLOG);
  return false;
}

}  // namespace ZQREAD1
