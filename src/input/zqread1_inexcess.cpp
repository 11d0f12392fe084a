// Calc mode 3: the fluid, the ln a or mu variable of the diagram, and the
// phases in excess, which are projected out of the composition space.
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

#include "frame/bytes.h"
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_axsetup.h"
#include "frame/zqglobal_script.h"
#include "frame/zqmath1.h"
#include "frame/zqute2.h"
#include "input/zqread1.h"

using namespace ZQGLOBAL;

namespace ZQREAD1 {

namespace {

constexpr extended muselfcovariance = 0.001L;  // the mu pseudo end-member's own variance

smallint position(const sstring& name) {
  smallint k = 0;
  IO::MATCHSTRING(name, NAME, NCV, k);
  return k;
}

// The position of a name the user gives, which must reach one end-member.
smallint given(const sstring& name, const std::string& what) { return ZQUTE2::ONEPOSITION(name, "inexcess", what); }

// The fluid question: absent without H2O and CO2, or when the user says
// there is none; otherwise CO2 or H2O unless the diagram fixed the kind.
void settlefluid() {
  const bool co2 = CO2POS > 0, h2o = H2OPOS > 0;
  if (!co2 && !h2o) {
    FLUIDTYPE = ftype::absent;
    return;
  }
  if (CONTROLJX.fluidpresent != yes && !IO::QUERY("fluid may be present")) {
    FLUIDTYPE = ftype::absent;
    return;
  }
  if (FLUIDTYPE == ftype::absent || FLUIDTYPE == ftype::ih2oco2) return;
  FLUIDTYPE = co2 ? ftype::co2 : ftype::h2o;
}

bool isfluidname(const sstring& s) { return s == "H2O" || s == "CO2"; }

// Fluid in excess when a variable of the diagram is set up.
bool variablefluidexcess() {
  if (FLUIDTYPE == ftype::absent) return false;
  if (CONTROLJX.fluidexcess == yes) return true;
  return IO::QUERY("fluid in excess");
}

void lnasetup(sstring& lnaname) {
  sstring name;
  IO::PROMPTSTRING("name of end-member to be used in log a", name);
  if (given(name, "log a") == 0) {
    IO::PROMPTSTRING("bad name : replace " + name + " with ", name);
    if (given(name, "log a") == 0) IO::ERROREXIT("inexcess", "log a setup", yourfault);
  }
  if (isfluidname(name) && CO2POS > 0 && H2OPOS > 0) {
    IO::PUTSTR(0, "Cannot handle H2O or CO2 in lna in system with H2O and CO2", 1, CHANNEL::TERMLOG);
    IO::PROMPTSTRING("replace " + name + " with ", name);
    if (given(name, "log a") == 0 || isfluidname(name)) IO::ERROREXIT("inexcess", "log a setup", yourfault);
  }
  // An activity the script gave this end-member cannot stand beside the
  // section's own values of it.
  for (long i = 1; i <= maxlna; ++i)
    if (!LNALISTKEY.empty() && LNANAME[i] == name)
      IO::ERROREXIT("inexcess", LNALISTKEY + ": the activity of " + name + " is the section's variable", yourfault);
  NLNA = 1;
  LNANAME[1] = name;
  LNAPOS = position(name);
  lnaname = name;
  if (isfluidname(name))
    FLUIDTYPE = ftype::absent;
  else
    settlefluid();
}

void musetup() {
  sstring name;
  IO::PROMPTSTRING("name of component to be used in mu", name);
  long comp = 0;
  for (long i = 1; i <= NUV && comp == 0; ++i)
    if (COMPNAME[i] == name) comp = i;
  if (comp == 0) {
    IO::PUTSTR(0, "Cannot handle mu variable not a component in system", 1, CHANNEL::TERMLOG);
    IO::ERROREXIT("inexcess", "mu setup problems", yourfault);
  }
  if (NCV >= maxem) IO::ERROREXIT("inexcess", "too many end-members", yourfault);
  MUNAME[1] = name;
  ++NCV;
  ++NNE;
  NMU = 1;
  MUPOS = NCV;
  NAME[NCV] = name;
  for (int s = 1; s <= maxtd; ++s) (*TD)(NCV, s) = 0;
  for (long i = 1; i <= NUV; ++i) (*C)(i, NCV) = 0;
  (*C)(comp, NCV) = static_cast<smallint>(COMPDIV[comp]);
  for (long j = 1; j <= NCV; ++j) (*COV)(NCV, j) = (*COV)(j, NCV) = 0;
  (*COV)(NCV, NCV) = muselfcovariance;
  ACTIVITY[NCV] = 1;
  SDACTIVITY[NCV] = 0;
}

// An amount or divisor outside 16 bits would wrap silently.
smallint fits(std::int64_t v, long component) {
  if (v < std::numeric_limits<smallint>::min() || v > std::numeric_limits<smallint>::max())
    IO::ERROREXIT("inexcess", "projection leaves the integer range in " + COMPNAME[component], yourfault);
  return static_cast<smallint>(v);
}

// The end-members named (NE of them, positions in ex) projected out: each
// takes one component, which is eliminated from the others.
void project(const std::vector<long>& ex) {
  const long ne = static_cast<long>(ex.size());
  std::vector<long> took(ex.size(), 0);
  auto taken = [&](long comp) {
    for (long t : took)
      if (t == comp) return true;
    return false;
  };
  for (long m = 0; m < ne; ++m) {
    long nonzero = 0, last = 0;
    for (long i = 1; i <= NUV; ++i)
      if ((*C)(i, ex[static_cast<std::size_t>(m)]) != 0) {
        ++nonzero;
        last = i;
      }
    if (nonzero == 1) took[static_cast<std::size_t>(m)] = last;
  }
  for (long m = 0; m < ne; ++m) {
    if (took[static_cast<std::size_t>(m)] != 0) continue;
    const long e = ex[static_cast<std::size_t>(m)];
    long comp = 0;
    for (long i = 1; i <= NUV && comp == 0; ++i)
      if ((*C)(i, e) != 0 && !taken(i)) comp = i;
    if (comp == 0) IO::ERROREXIT("in excess", "projection does not work", yourfault);
    took[static_cast<std::size_t>(m)] = comp;
    const std::int64_t c0 = (*C)(comp, e);
    for (long r = 1; r <= NUV; ++r) {
      if (r == comp) continue;
      const std::int64_t cre = (*C)(r, e);
      const std::int64_t g = ZQMATH1::GCD(static_cast<longint>(c0), static_cast<longint>(cre));
      const std::int64_t m1 = c0 / g, m2 = cre / g;
      for (long x = 1; x <= NCV; ++x) {
        if (x == e) continue;
        (*C)(r, x) = fits(m1 * (*C)(r, x) - m2 * (*C)(comp, x), r);
      }
      std::int64_t div = static_cast<std::int64_t>(COMPDIV[r]) * m1;
      if (div < 0) {
        div = -div;
        for (long x = 1; x <= NCV; ++x) (*C)(r, x) = fits(-static_cast<std::int64_t>((*C)(r, x)), r);
      }
      COMPDIV[r] = fits(div, r);
      (*C)(r, e) = 0;
    }
  }

  NE = static_cast<smallint>(ne);
  NNE = static_cast<smallint>(NCV - NE);
  NU = static_cast<smallint>(NUV - NE);

  // New end-member order: those not in excess, then those in excess as named.
  std::vector<long> order;
  auto inexcess = [&](long j) {
    for (long e : ex)
      if (e == j) return true;
    return false;
  };
  for (long j = 1; j <= NCV; ++j)
    if (!inexcess(j)) order.push_back(j);
  for (long e : ex) order.push_back(e);
  // New component order: those not taken, then one per end-member in excess.
  std::vector<long> comps;
  for (long i = 1; i <= NUV; ++i)
    if (!taken(i)) comps.push_back(i);

  auto oldc = std::make_unique<icmatrix>(*C);
  auto oldcov = std::make_unique<covmatrix>(*COV);
  auto oldtd = std::make_unique<tdmatrix>(*TD);
  const dsnamelist oldname = NAME, oldcompname = COMPNAME;
  const emvector olda = ACTIVITY, oldsd = SDACTIVITY;
  const farray<longint, 1, maxcomp> olddiv = COMPDIV;
  const farray<smallint, 1, maxcomp> oldicomp = ICOMP;
  const long n = NCV;

  for (long j = 1; j <= n; ++j) {
    const long from = order[static_cast<std::size_t>(j - 1)];
    NAME[j] = oldname[from];
    ACTIVITY[j] = olda[from];
    SDACTIVITY[j] = oldsd[from];
    for (int s = 1; s <= maxtd; ++s) (*TD)(j, s) = (*oldtd)(from, s);
    for (long c = 1; c <= n; ++c) (*COV)(j, c) = (*oldcov)(from, order[static_cast<std::size_t>(c - 1)]);
  }
  for (long r = 1; r <= NU; ++r) {
    const long from = comps[static_cast<std::size_t>(r - 1)];
    COMPNAME[r] = oldcompname[from];
    COMPDIV[r] = olddiv[from];
    ICOMP[r] = oldicomp[from];
    for (long j = 1; j <= n; ++j) {
      const long e = order[static_cast<std::size_t>(j - 1)];
      (*C)(r, j) = inexcess(e) ? 0 : (*oldc)(from, e);
    }
  }
  for (long m = 0; m < ne; ++m) {
    const long r = NU + 1 + m;
    const long from = took[static_cast<std::size_t>(m)];
    const long e = ex[static_cast<std::size_t>(m)];
    const smallint amount = (*oldc)(from, e);
    COMPNAME[r] = oldname[e];
    COMPDIV[r] = amount;
    ICOMP[r] = oldicomp[from];
    for (long j = 1; j <= n; ++j) {
      const long x = order[static_cast<std::size_t>(j - 1)];
      (*C)(r, j) = x == e ? amount : inexcess(x) ? 0 : (*oldc)(from, x);
    }
  }
}

}  // namespace

void INEXCESS() {
  NE = 0;
  NNE = NCV;
  settlefluid();
  std::string names;
  for (long j = 1; j <= NCV; ++j) names += NAME[j] + "  ";
  IO::PUTSTR(1, names, 1, CHANNEL::TERMLOG);
  MUNAME[1].clear();

  bool fluidexcess = false;
  sstring lnaname;
  bool withmu = false;
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc:
      if (FLUIDTYPE != ftype::absent)
        fluidexcess = CONTROLJX.fluidexcess == ask ? IO::QUERY("fluid in excess") : CONTROLJX.fluidexcess == yes;
      break;
    case diagramtype::pxcalc:
    case diagramtype::txcalc:
      if (CO2POS == 0 && H2OPOS == 0) IO::ERROREXIT("inexcess", "no H2O or CO2 in P-x/T-x?", yourfault);
      fluidexcess = true;
      IO::PUTSTR(0, "fluid in excess", 1, CHANNEL::TERMLOG);
      break;
    case diagramtype::plnacalc:
    case diagramtype::tlnacalc:
      lnasetup(lnaname);
      fluidexcess = variablefluidexcess();
      break;
    case diagramtype::pmucalc:
    case diagramtype::tmucalc:
      musetup();
      withmu = true;
      fluidexcess = variablefluidexcess();
      break;
    default:
      IO::ERROREXIT("inexcess", "unknown diagrammode", myfault);
  }
  if (fluidexcess) IO::PUTSTR(0, "additionally ", 0, CHANNEL::TERMLOG);

  std::vector<sstring> excess;
  IO::PROMPTCONTROL("use in excess phases specified in scriptfile", CONTROLJX.inexcess);
  if (CONTROLJX.inexcess == yes) {
    for (long i = 1; i <= NEXCESSSTRINGS; ++i) excess.push_back(EXCESSSTRINGS[i]);
    if (excess.empty()) {
      IO::PUTSTR(0, "no phases in excess (from script)", 1, CHANNEL::TERMSUMLOG);
    } else {
      std::string line = "phases in excess: ";
      for (const sstring& s : excess) line += s + " ";
      IO::PUTSTR(0, line + " (from script)", 1, CHANNEL::TERMSUMLOG);
    }
  } else {
    IO::strings words{"excess names"};
    smallint n = 0;
    IO::PROMPTSTRINGS("in excess: names", words, n);
    for (long i = 1; i <= n; ++i) excess.push_back(words[i]);
  }
  if (!excess.empty() && excess.back() == "*") excess.pop_back();
  // A name given twice would take a second component for the same
  // end-member: it counts once.
  std::vector<sstring> once;
  for (const sstring& s : excess) {
    bool seen = false;
    for (const sstring& o : once) seen = seen || o == s;
    if (!seen) once.push_back(s);
  }
  excess.swap(once);

  auto named = [&](const sstring& s) {
    for (const sstring& e : excess)
      if (e == s) return true;
    return false;
  };
  if (fluidexcess) {
    if (CO2POS > 0 && !named("CO2")) excess.push_back("CO2");
    if (H2OPOS > 0 && !named("H2O")) excess.push_back("H2O");
  }
  if (!lnaname.empty() && !named(lnaname)) excess.push_back(lnaname);
  if (withmu) excess.push_back(MUNAME[1]);

  const long n = static_cast<long>(excess.size());
  if (n > 0 && n < NU) {
    std::vector<long> ex;
    for (sstring name : excess) {
      smallint k = given(name, "in excess");
      if (k == 0) {
        IO::PROMPTSTRING(name + " not recognised : replace with", name);
        k = given(name, "in excess");
        if (k == 0) {
          IO::PUTSTR(0, "forget it!  (name still unrecognised)", 1, CHANNEL::TERMLOG);
          continue;
        }
      }
      // A replacement may name an end-member already taken.
      bool seen = false;
      for (long e : ex) seen = seen || e == k;
      if (!seen) ex.push_back(k);
    }
    if (!ex.empty()) project(ex);
  }

  // The mu pseudo end-member moved to the end with the others in excess.
  if (withmu) MUPOS = position(MUNAME[1]);
  if (NLNA > 0 && !lnaname.empty()) {
    LNAPOS = position(LNANAME[1]);
    if (LNAPOS > 0) KEEPLNAS[1] = (*TD)(LNAPOS, TDSLOT::S);
  }
}

}  // namespace ZQREAD1
