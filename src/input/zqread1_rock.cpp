// The rock of a calc-mode-2 pass and the phases of a calc-mode-3 pass: the
// phase choice, the end-members with their rows, compositions, covariance
// and activities, and in calc mode 3 the fluid, the ln a or mu variable and
// the projection from the phases in excess.
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "frame/bytes.h"
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_axsetup.h"
#include "frame/zqmath1.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "input/zqread1.h"
#include "input/zqread2.h"
#include "input/zqscript.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace ZQREAD1 {

namespace {

constexpr extended resetactivity = 0.999L;  // an activity above 1 is taken as this
constexpr int headingwidth = 6;
constexpr int emwidth = 7;
constexpr int numberwidth = 8;
constexpr int numberplaces = 4;

// The phases kept by the user's choice, as drop flags.
void choosephases(bemvector& drop) {
  const long nphases = NPSS + NP0;
  IO::strings list{"phase list"};
  for (long i = 1; i <= NPSS; ++i) list[i] = (*PREC1)[i].longname;
  for (long i = 1; i <= NP0; ++i) list[NPSS + i] = (*PREC0)[i].name;

  IO::strings chosen{"chosen phases"};
  smallint n = 0;
  if (CALCMODE == calcmodetype::utilitycalc && NWHSTRINGS == 0) {
    n = 0;
  } else if (NWHSTRINGS >= 1) {
    n = NWHSTRINGS;
    for (long i = 1; i <= n; ++i) chosen[i] = LONGWHSTRINGS[i];
  } else {
    const bool endmembers = CALCMODE == calcmodetype::rockcalc && NPSS == 0;
    IO::PROMPTSTRINGS(endmembers ? "which end-members" : "which phases", chosen, n);
  }
  for (long i = 1; i <= maxem; ++i) drop[i] = false;
  if (n < 2) return;
  const bool omit = chosen[1] == "omit";
  for (long i = 1; i <= nphases; ++i) drop[i] = !omit;
  for (long k = omit ? 2 : 1; k <= n; ++k) {
    smallint pos = 0;
    sstring name = chosen[k];
    if (ZQUTE2::NAMEINLIST(name, list, false, pos)) drop[pos] = omit;
  }
}

std::string number(extended x) {
  std::string s;
  IO::ADDREAL(x, numberplaces, true, numberwidth, s);
  return s;
}

// The activities of every solution phase at the P and T for the a-x models,
// listed; the activities of the solution end-members that are not excluded,
// in order, into a and sda.
void solutionactivities(emvector& a, emvector& sda, long& count) {
  IO::PUTSTR(1, "activities of end-members in solid solutions are calculated with", 1, CHANNEL::TERMLOG);
  extended p = 0, t = 0;
  if (CONTROLJX.ptforaxe == no) {
    IO::PUTSTR(0, "input values of compositional variables", 1, CHANNEL::TERMLOG);
    IO::PROMPTREAL("P for a-x in kbar", p);
    IO::PROMPTREAL(std::string("T for a-x in ") + macroman::degree + "C", t);
  } else {
    p = CONTROLJX.ptforaxeP;
    t = CONTROLJX.ptforaxeT;
    IO::PUTSTR(0,
               "input values of compositional variables at PT: " + IO::REAL2STR(p, 1, true) + " kbar, " +
                   IO::INT2STR(std::round(t)) + macroman::degree + "C (from script)",
               1, CHANNEL::TERMLOG);
  }
  const std::string from = CONTROLJX.ptforaxe == no ? "" : " (from script)";
  ZQUTE1::PHYSICALP(p, "P for a-x" + from, "extractem");
  ZQUTE1::PHYSICALT(t, "T for a-x" + from, "extractem");
  t += CONST::KELVIN;
  FIXEDT = t;
  FIXEDP = p;

  count = 0;
  for (long i = 1; i <= NPSS; ++i) {
    ptype1& ph = (*PREC1)[i];
    bool moved = false;
    if (ph.hasorder && !FINDLEGALQ(static_cast<smallint>(i), true, p, t, moved))
      IO::ERROREXIT("extractem", "couldn't solve for state of order for " + ph.name, yourfault);
    eqvector x{"extractem x"}, pa{"extractem a"}, psd{"extractem sd"};
    for (long v = 1; v <= ph.nvar; ++v) x[v] = ph.xvar[v].guess;
    CALCACTIVITIES(static_cast<smallint>(i), x, p, t, pa, psd);

    std::string head;
    IO::ADDNAME(ph.name, -headingwidth, head);
    head += std::string(6, ' ');
    bool anyorder = false;
    for (long v = 1; v <= ph.nvar; ++v) {
      if (!ph.xvar[v].isorder) continue;
      if (anyorder) head += ", ";
      head += ph.xvar[v].name + " = " + IO::REAL2STR(ph.xvar[v].guess, numberplaces, true);
      anyorder = true;
    }
    bool anyexcluded = false;
    for (long e = 1; e <= ph.nprop; ++e) {
      if (!ph.em[e].exclude) continue;
      if (!anyexcluded) head += anyorder ? "; left out: " : "left out: ";
      anyexcluded = true;
      head += ph.em[e].name + " ";
    }
    IO::PUTSTR(1, head, 1, CHANNEL::TERMLOG);

    for (long e = 1; e <= ph.nprop; ++e) {
      const emtype& em = ph.em[e];
      if (em.exclude) continue;
      if (pa[e] <= 0) IO::ERROREXIT("extractem", "activity negative for " + em.name + ", in " + ph.name, yourfault);
      std::string line(6, ' ');
      IO::ADDNAME(em.name, emwidth, line);
      const extended was = pa[e];
      const bool reset = pa[e] > 1;
      if (reset) pa[e] = resetactivity;
      line += ": a = " + number(pa[e]) + ", sd(a) = " + number(psd[e]);
      if (reset) line += " ## reset, was " + number(was);
      IO::PUTSTR(0, line, 1, CHANNEL::TERMLOG);
      ++count;
      a[count] = pa[e];
      sda[count] = psd[e];
    }
  }
}

// The calculation's end-members: the solution end-members that are not
// excluded, then the pure phases, in the order their activities were
// stored. Rows are taken from the records, which MAKEEMTD filled in phase
// order, so nothing is overwritten before it is read.
void endmemberlist() {
  struct member {
    const sstring* name;
    const icvector* comp;
    const tdvector* td;
    const emvector* covrow;
    smallint makephase, makeem;
    long phaseorder;
  };
  std::vector<member> kept;
  long k = 0;
  const bool newset = !WITHOLDSET;
  for (long i = 1; i <= NPSS; ++i) {
    const ptype1& ph = (*PREC1)[i];
    for (long e = 1; e <= ph.nprop; ++e) {
      ++k;
      const emtype& em = ph.em[e];
      if (em.exclude) continue;
      const bool made = em.nmake != 0 && newset;
      kept.push_back({&em.name, &em.comp, &em.td, &em.covrow, static_cast<smallint>(made ? i : 0),
                      static_cast<smallint>(made ? e : 0), k});
    }
  }
  for (long i = 1; i <= NP0; ++i) {
    ++k;
    const ptype0& ph = (*PREC0)[i];
    const bool made = ph.nmake != 0 && newset;
    const sstring* name = CALCMODE == calcmodetype::utilitycalc ? &ph.name : &ph.emname;
    kept.push_back({name, &ph.comp, &ph.td, &ph.covrow, 0, static_cast<smallint>(made ? i : 0), k});
  }
  const long n = static_cast<long>(kept.size());
  for (long j = 1; j <= n; ++j) {
    const member& m = kept[static_cast<std::size_t>(j - 1)];
    for (long c = 1; c <= NUV; ++c) (*C)(c, j) = (*m.comp)[c];
    NAME[j] = *m.name;
    for (int s = 1; s <= maxtd; ++s) (*TD)(j, s) = s <= TDSLOT::BWF ? (*m.td)[s] : 0;
    (*TD)(j, TDSLOT::MAKEPHASE) = m.makephase;
    (*TD)(j, TDSLOT::MAKEEM) = m.makeem;
    (*TD)(j, TDSLOT::CODE) = (*m.td)[TDSLOT::CODE];
    for (long c = 1; c <= n; ++c) (*COV)(j, c) = (*m.covrow)[kept[static_cast<std::size_t>(c - 1)].phaseorder];
  }
  NCV = NNE = static_cast<smallint>(n);
}

}  // namespace

void EXTRACTEM() {
  bemvector drop{"extractem drop"};
  for (long i = 1; i <= maxem; ++i) drop[i] = false;
  MAKENAME(drop);
  choosephases(drop);
  MAKENAME(drop);
  READTHERMO(2);
  ZQNLE3::MAKEEMC();
  READTHERMO(3);
  ZQNLE3::MAKEEMTD();

  for (long i = 1; i <= maxem; ++i) {
    ACTIVITY[i] = 1;
    SDACTIVITY[i] = 0;
  }
  const bool activities = CALCMODE != calcmodetype::utilitycalc;
  if (activities) {
    long count = 0;
    if (NPSS > 0) solutionactivities(ACTIVITY, SDACTIVITY, count);
    for (long i = 1; i <= NP0; ++i) {
      ACTIVITY[count + i] = (*PREC0)[i].activity;
      SDACTIVITY[count + i] = (*PREC0)[i].sdactivity;
    }
  }
  endmemberlist();
  if (activities) {
    // The script's activities stand where the a-x file's would, before the
    // floor under their sds.
    GIVENACTIVITIES();
    if (NPSS == 0) {
      IO::PROMPTCONTROL("standard default uncertainties on activities", CONTROLJX.defsdaparams);
      SETSDAPARAMS(CONTROLJX.defsdaparams == yes);
      CHECKSDA();
    }
  }
}

void READROCKDATA() {
  READTHERMO(1);
  ZQSCRIPT::READCONTROLJX();
  ZQREAD2::SETUPPHASES();
  EXTRACTEM();
  CLEAN();
  ZQUTE2::POSITIONS();
}

void READDIAGRAMDATA() {
  READTHERMO(1);
  ZQSCRIPT::READCONTROLJX();
  ZQREAD2::SETUPPHASES();
  ZQUTE1::WHICHDIAGRAMTYPE();
  EXTRACTEM();
  CLEAN();
  ZQUTE2::POSITIONS();
  INEXCESS();
}

}  // namespace ZQREAD1
