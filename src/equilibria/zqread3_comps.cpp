// The bulk composition of a pseudosection: the script's component list
// checked against the calculation's, the bulk built from "bulk" or from the
// "rbi" phases, reduced to the free components, a range or one bulk within
// it, the increments across a range and the report of what was settled.
#include <cmath>
#include <string>

#include "equilibria/zqread3.h"
#include "equilibria/zqread3_comps.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_bulk.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

namespace {

constexpr extended zerobulk = 1e-8L;   // a bulk entry smaller than this counts as a zero
constexpr smallint defaultincs = 10;   // increments across a range when none usable is given
constexpr smallint maxincs = 100;      // most increments across a range
constexpr smallint propplaces = 3;     // decimals of the proportions in the dialogue

std::string prop(extended p) { return IO::REAL2STR(p, propplaces, true); }

void line(const std::string& text) { IO::PUTSTR(0, text, 1, CHANNEL::TERMLOG); }

// The two advice lines, and the stop, when the script gives no bulk.
[[noreturn]] void nobulk() {
  IO::PUTSTR(1, "interactive entry of bulk composition has been discontinued", 1, CHANNEL::TERMLOG);
  line("Add a bulk or rbi script to the scriptfile, and rerun solvarinth.");
  IO::ERROREXIT("readcomps", "stopping now", yourfault);
}

// The script's component list must be the calculation's, in its order.
void checkcomponents() {
  std::string error;
  if (CONTROLJX.nbulkoxides != NUV) {
    error = "wrong number of components (oxides) in bulk";
  } else {
    for (long i = 1; i <= NUV && error.empty(); ++i)
      if (BULKC[i] != COMPNAME[i]) error = "mismatch of components (oxides) in bulk";
  }
  if (error.empty()) return;
  IO::PUTSTR(1, "components (oxides) in bulk should be:", 1, CHANNEL::TERMLOG);
  std::string names = "   ";
  for (long j = 1; j <= NUV; ++j)
    if (BCOMPS[j]) names += " " + COMPNAME[j];
  line(names);
  IO::ERROREXIT("readcomps", error, yourfault);
}

// The same vector over the free components only, in their order, scaled
// to 100. A vector whose free entries sum to 0 is left unscaled, so that
// the zero test refuses it rather than a division making it NaN.
void reduce(cvector& v) {
  smallint k = 0;
  extended sum = 0;
  for (long j = 1; j <= NUV; ++j) {
    if (!BCOMPS[j]) continue;
    ++k;
    v[k] = v[j];
    sum += v[k];
  }
  if (k != NUVLEFT) IO::ERROREXIT("readcomps", "nuvleft mismatch", yourfault);
  if (sum == 0) return;
  for (long i = 1; i <= NUVLEFT; ++i) v[i] = v[i] * 100 / sum;
}

// The bulk from the "rbi" phases: each phase's formula amount (its mode is
// per atom) times its composition, summed over the phases.
void fromrbi() {
  const controljxtype& c = CONTROLJX;
  NCOMP = 1;
  RBICHECKS();
  FINDKBPDEN();
  farray<extended, 1, maxrbi> m{"rbi amounts"};
  for (long i = 1; i <= NRBIMODE; ++i) {
    extended atoms = 0;
    for (long j = 1; j <= NUV; ++j) atoms += RBIC(i, j) * ICOMP[j];
    // A row with no atoms would make the bulk NaN, which passes every later test.
    if (!(atoms > 0)) IO::ERROREXIT("readcomps", "rbi phase without composition: " + RBISTRP[i], yourfault);
    m[i] = RBIMODE[i] / atoms;
  }
  if (c.avptplus == yes && c.avptpluswithxco2 == yes) {
    if (BULKC[1] != "H2O" || BULKC[2] != "CO2") IO::ERROREXIT("readcomps", "H2O and/or CO2 not in rbi", yourfault);
    if (NLNA != 0) IO::ERROREXIT("readcomps", "cannot set an activity and do H2O-CO2", yourfault);
    long fluid = 0;
    for (long i = 1; i <= NRBIMODE && fluid == 0; ++i)
      if (RBISTRP[i] == "fluid") fluid = i;
    if (fluid == 0) IO::ERROREXIT("readcomps", "can't find fluid in rbi", yourfault);
    extended all = 0;
    for (long i = 1; i <= NRBIMODE; ++i) all += m[i];
    FLUIDINBULKINFO = m[fluid] / all;
    m[fluid] = 0;
  }
  extended sum = 0;
  for (long j = 1; j <= NUV; ++j) {
    COMP1[j] = 0;
    for (long i = 1; i <= NRBIMODE; ++i) COMP1[j] += m[i] * RBIC(i, j);
    sum += COMP1[j];
  }
  if (!(sum > 0)) IO::ERROREXIT("readcomps", "comp sum not positive", yourfault);
  for (long j = 1; j <= NUV; ++j) COMP1[j] = 100 * COMP1[j] / sum;
  reduce(COMP1);
}

// The bulk from the rock minerals' measured compositions; one bulk.
void fromrmi() {
  if (NMIN < 1) IO::ERROREXIT("readcomps", "no minerals!", yourfault);
  NCOMP = 1;
  RBICHECKS();
  MINERALSETUP();
  CALCROCKXYZ();
  FINDKBPDEN();
  IO::rrvector bulk{"rmi bulk"}, bp{"rmi bp"};
  CALCBP(bulk, bp, ROCKXYZ, 0);
  for (long k = 1; k <= NUVLEFT; ++k) COMP1[k] = bulk[k];
}

// The bulk from the script's one or two compositions.
void frombulk() {
  // A negative amount is refused as given, of a held component too, as a
  // batch bulk of the same numbers is.
  NONEGATIVEBULK("readcomps", COMP1, NUV);
  if (NCOMP > 1) NONEGATIVEBULK("readcomps", COMP2, NUV);
  reduce(COMP1);
  if (NCOMP == 1) {
    COMP2.data = COMP1.data;
  } else {
    reduce(COMP2);
  }
}

// No zero entry in the bulks that the run uses, and then no negative one:
// a subrange or an "rbi" row can leave one, and the solver would take it.
void checkentries(const cvector& a, const cvector& b, const std::string& zeros) {
  for (const cvector* v : {&a, &b})
    for (long k = 1; k <= NUVLEFT; ++k)
      if (std::fabs((*v)[k]) < zerobulk) IO::ERROREXIT("readcomps", zeros, yourfault);
  for (const cvector* v : {&a, &b}) NONEGATIVEBULK("readcomps", *v, NUVLEFT);
}

}  // namespace

// ---------------------------------------------------------------- the range

void READCOMPS_STATE::mix(extended p, cvector& out) const {
  for (long k = 1; k <= NUVLEFT; ++k) out[k] = (1 - p) * c1[k] + p * c2[k];
}

void READCOMPS_STATE::takeone(extended p) {
  NCOMP = 1;
  chosen = true;
  chosenp = p;
  mix(p, w);
}

void READCOMPS_STATE::onebulk() {
  controljxtype& c = CONTROLJX;
  const bool wasask = c.onebulk == ask;
  const extended p = c.onebulkvalue;
  if (p >= 0 && p <= 1) {
    takeone(p);
    line("one bulk, at " + prop(p) + " between the two script bulk compositions (from script)");
    return;
  }
  if (!wasask) line("making one bulk composition within the range specified,");
  extended typed = 0;
  IO::PROMPTREAL("proportion across bulk composition range to use", typed);
  typed = std::fmin(1, std::fmax(0, typed));
  c.onebulkvalue = typed;
  takeone(typed);
  line("one bulk, at " + prop(typed) + " between the two script bulk compositions");
}

// The two ends of a subrange, both proportions of the original range.
void READCOMPS_STATE::subrange(extended s1, extended s2) {
  // An upper end past 1 would extrapolate the bulk, maybe to negative entries.
  if (!(s1 >= 0 && s1 < 1 && s2 > s1 && s2 <= 1))
    IO::ERROREXIT("readcomps", "entered bulk composition range is not 0<->1", yourfault);
  PROP1 = s1;
  PROP2 = s2;
  cvector a{"subrange start"}, b{"subrange end"};
  mix(s1, a);
  mix(s2, b);
  c1.data = a.data;
  c2.data = b.data;
}

void READCOMPS_STATE::typedsubrange() {
  IO::strings words;
  smallint n = 0;
  IO::PROMPTSTRINGS("start and finish proportions across bulk composition range", words, n);
  if (n == 0) return;
  const valuetype v1 = IO::WHATISSTRING(words[1]);
  if (n == 1) {
    if (!IO::ISNUMBER(v1)) return;
    const extended v = IO::GETREAL(v1, words[1], "first proportion");
    if (v < 0 || v >= 1) return;
    PROP1 = v;
    CONTROLJX.onebulkvalue = v;
    takeone(v);
    line("bulk subrange is one bulk, " + prop(v) + ", between the two script bulk compositions");
    return;
  }
  const valuetype v2 = IO::WHATISSTRING(words[2]);
  if (!IO::ISNUMBER(v1) || !IO::ISNUMBER(v2)) return;
  const extended p1 = IO::GETREAL(v1, words[1], "first proportion");
  const extended p2 = IO::GETREAL(v2, words[2], "second proportion");
  subrange(p1, p2);
  line("bulk subrange, " + prop(p1) + " to " + prop(p2) + ", between the two script bulk compositions");
}

void READCOMPS_STATE::splitbulk() {
  controljxtype& c = CONTROLJX;
  if (c.splitbulk == no) return;
  const bool wasask = c.splitbulk == ask;
  const extended s1 = c.subrangelow, s2 = c.subrangehigh;
  IO::PROMPTCONTROL(s1 >= 0 ? "use bulk subrange in script" : "make a bulk subrange", c.splitbulk);
  if (c.splitbulk != yes) return;
  if (s1 >= 0 && s1 < 1 && s2 > s1) {
    subrange(s1, s2);
    line("bulk subrange, " + prop(s1) + " to " + prop(s2) + ", between the two script bulk compositions (from script)");
    return;
  }
  if (!wasask) line("making a bulk composition subrange within the range specified,");
  typedsubrange();
}

void READCOMPS_STATE::increments() {
  smallint n = defaultincs;
  if (NINCBULK >= 3) {
    n = static_cast<smallint>(NINCBULK - 1);
  } else {
    IO::strings words;
    smallint nw = 0;
    IO::PROMPTSTRINGS("how many increments across the composition range (max = " + IO::INT2STR(maxincs) + ")", words, nw);
    const valuetype vt = nw == 0 ? valuetype::anemptystring : IO::WHATISSTRING(words[1]);
    if (nw == 0)
      line("using the default, 10 increments");
    else if (vt == valuetype::aninteger)
      n = IO::GETINTEGER(vt, words[1], "no increments");
  }
  if (n < 1 || n > maxincs) {
    line("inappropriate number of increments: 10 used");
    n = defaultincs;
  }
  NCOMP = static_cast<smallint>(n + 1);
}

void READCOMPS_STATE::settle() {
  w.data = COMP1.data;
  if (NCOMP == 1) return;
  c1.data = COMP1.data;
  c2.data = COMP2.data;
  if (CONTROLJX.onebulk != no) {
    IO::PROMPTCONTROL("choose one bulk within the range specified", CONTROLJX.onebulk);
    if (CONTROLJX.onebulk == yes) {
      onebulk();
      return;
    }
  }
  splitbulk();
}

// ---------------------------------------------------------------- the routine

void READCOMPS() {
  const controljxtype& c = CONTROLJX;
  if ((c.bulk != yes && c.rbi != yes) || NCOMP < 1 || c.nbulkoxides == 0) nobulk();
  PROP1 = 0;
  PROP2 = 1;
  SETTER();
  IO::SETTINGSHEAD("bulk composition", CHANNEL::TERMLOG);
  checkcomponents();
  if (c.rbi == yes)
    fromrbi();
  else if (c.rmi == yes)
    fromrmi();
  else
    frombulk();

  READCOMPS_STATE r;
  r.settle();
  if (NCOMP == 1) {
    checkentries(r.w, r.w, "zeroes not allowed in a bulk (1)");
    COMP1.data = COMP2.data = r.w.data;
  } else {
    checkentries(r.c1, r.c2, "zeroes not allowed in a bulk (2)");
    COMP1.data = r.c1.data;
    COMP2.data = r.c2.data;
    r.increments();
  }
  r.report();
}

}  // namespace ZQREAD3
