// The avPT+ x(CO2) preprocessing: calculations made along x(CO2) sections
// reordered into pressure blocks and, for avP+ and avT+, replaced by
// calculations interpolated to a typed temperature or pressure.
#include <cmath>
#include <memory>

#include "frame/io.h"
#include "frame/zqute1.h"
#include "frame/zqglobal_avptplus.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_windows.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"

namespace ZQNLE4 {

using namespace ZQGLOBAL;

namespace {

// The most P steps of calcP the calculations are sorted over: more than any
// list of a calculation is stepped through, and a quotient of any size is
// counted as a real, so no increment can wrap the count.
constexpr extended maxpsteps = 100000;

std::string listline(long i) {
  const jxcalctype& c = (*JXCALC)[i];
  return RIGHTW(std::to_string(i), 2) + ") " + FIXEDW(c.p, 8, 3) + FIXEDW(c.t, 8, 2) + FIXEDW(c.xfluid, 8, 4) + "\n";
}

// The listing of the store: the first lines whole, then "..." and the last
// ones; a blank line where the field that breaks groups changes.
template <class Same>
std::string listing(Same same) {
  const long m = std::min<long>(NJX, avptlistlines);
  std::string s;
  for (long i = 1; i <= m; ++i) {
    s += listline(i);
    if (i < NJX && !same(i)) s += "\n";
  }
  if (NJX > m) {
    long from = m + 1;
    if (m < NJX - avptlisttail) {
      s += "...\n";
      from = NJX - avptlisttail;
    }
    for (long i = from; i <= NJX; ++i) s += listline(i);
  }
  return s;
}

// The part of the record that interpolation reaches.
void interpolate(jxcalctype& to, const jxcalctype& a, const jxcalctype& b, extended f) {
  auto mix = [f](extended x, extended y) { return x + f * (y - x); };
  to.xfluid = mix(a.xfluid, b.xfluid);
  for (long i = 1; i <= NJXXYZ; ++i) {
    to.xyz[i] = mix(a.xyz[i], b.xyz[i]);
    to.sdxyz[i] = mix(a.sdxyz[i], b.sdxyz[i]);
  }
  for (long m = 1; m <= NJXXYZ * (NJXXYZ - 1) / 2; ++m) to.cor[m] = mix(a.cor[m], b.cor[m]);
}

bool between(extended x, extended a, extended b) { return (a <= x && x <= b) || (b <= x && x <= a); }

// The calculations along neighbouring pairs that share the fixed variable
// and bracket the typed value v of the other one, interpolated to v.
void interpolateall(const jxcalctable& copy, bool fixedt, extended v, const char* where) {
  long n = 0;
  for (long i = 1; i < NJX; ++i) {
    const jxcalctype& a = copy[i];
    const jxcalctype& b = copy[i + 1];
    const extended sa = fixedt ? a.t : a.p, sb = fixedt ? b.t : b.p;  // the value interpolated along
    if ((fixedt ? b.p != a.p : b.t != a.t) || !between(v, sa, sb)) continue;
    jxcalctype& to = (*JXCALC)[++n];
    to.p = fixedt ? a.p : v;
    to.t = fixedt ? v : a.t;
    if (std::fabs(sb - sa) < AVPTFLATSTEP) IO::ERROREXIT(where, "divide by zero", yourfault);
    interpolate(to, a, b, (v - sa) / (sb - sa));
  }
  NJX = static_cast<smallint>(n);
}

}  // namespace

void avptplusstate::WITHXCO2PREPROCESS() {
  IO::WRITETERMINAL("\ninitial info setup njx = " + IO::INT2STR(NJX) + "\n");
  IO::WRITETERMINAL(listing([](long i) { return (*JXCALC)[i + 1].xfluid == (*JXCALC)[i].xfluid; }));
  const auto copy = std::make_unique<jxcalctable>(*JXCALC);
  if (AVPTCALCTYPE < calctypeavt) {
    if (CPINC == 0) IO::ERROREXIT("withxco2 preprocess", "P inc = 0 in calcP", yourfault);
    long n = 0;
    const extended steps = std::round((PHIGH - PLOW) / CPINC) + 1;
    if (!(steps <= maxpsteps))
      IO::ERROREXIT("withxco2 preprocess", "P inc in calcP gives more than " + IO::INT2STR(maxpsteps) + " P steps",
                    yourfault);
    for (long k = 1; k <= steps; ++k) {
      const extended pk = PLOW + CPINC * static_cast<extended>(k - 1);
      for (long j = 1; j <= CONTROLJX.nxco2values; ++j) {
        const extended xj = CONTROLJX.xco2list[j];
        for (long i = 1; i <= NJX; ++i) {
          const jxcalctype& c = (*copy)[i];
          if (std::fabs(c.p - pk) < AVPTSAMEXCO2 && std::fabs(c.xfluid - xj) < AVPTSAMEXCO2) {
            // a full table has no room for a duplicate; the count shows it
            if (++n <= maxjx) (*JXCALC)[n] = c;
            break;
          }
        }
      }
    }
    if (n != NJX) IO::ERROREXIT("withxco2 preprocess", "njx mismatch", yourfault);
    IO::WRITETERMINAL(AVPTCALCTYPE == calctypeavp ? "\nshuffled\n" : "\nend of preprocess (shuffled)\n");
    IO::WRITETERMINAL(listing([](long i) { return (*JXCALC)[i + 1].p == (*JXCALC)[i].p; }));
  }
  if (AVPTCALCTYPE == calctypeavp) {
    extended tfix = 0;
    IO::PROMPTREAL("with x(CO2), the fixed T for avP+ is ", tfix);
    ZQUTE1::PHYSICALT(tfix, "fixed T for avP+", "withxco2preprocess");
    *copy = *JXCALC;
    interpolateall(*copy, true, tfix, "withxco2preprocess");
    AVPFIXEDT = tfix;
  } else if (AVPTCALCTYPE == calctypeavt) {
    extended pfix = 0;
    IO::PROMPTREAL("with x(CO2), the fixed P for avT+ is ", pfix);
    ZQUTE1::PHYSICALP(pfix, "fixed P for avT+", "withxco2 preprocess");
    interpolateall(*copy, false, pfix, "withxco2 preprocess");
    AVTFIXEDP = pfix;
  }
  if (AVPTCALCTYPE == calctypeavp || AVPTCALCTYPE == calctypeavt) {
    std::string s = "\nafter preprocess\n";
    for (long i = 1; i <= NJX; ++i) s += listline(i);
    IO::WRITETERMINAL(s);
  }
}

}  // namespace ZQNLE4
